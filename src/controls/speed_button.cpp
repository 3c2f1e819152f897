#include "controls/speed_button.h"

#include "controls/control_text.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/definition_reader.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "framework/qimage_bridge.h"
#include "framework/timer.h"
#include "imaging/gif/graphic_utils.h"
#include "imaging/gif/graphic_utils_controls.h"

#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcutEvent>

namespace {

// The two-colour pattern a button that stays down is filled with.
TBitmap* ExclusivePattern()
{
    static TBitmap* pattern = [] {
        auto* b = new TBitmap(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                b->SetPixelArgb(x, y, ColorToArgb((x + y) % 2 ? clBtnHighlight : clBtnFace));
        return b;
    }();
    return pattern;
}

// Keeps the press that closes a drop-down menu over its button from reaching the button again.
class MenuCloseFilter : public QObject {
public:
    MenuCloseFilter(QMenu* menu, QWidget* button) : QObject(menu), menu_(menu), button_(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched == menu_ && (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)) {
            const QPoint global = static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
            if (!menu_->rect().contains(menu_->mapFromGlobal(global))
                && QRect(button_->mapToGlobal(QPoint()), button_->size()).contains(global))
                menu_->setAttribute(Qt::WA_NoMouseReplay);
        }
        return false;
    }

private:
    QMenu* menu_;
    QWidget* button_;
};

} // namespace

TRxSpeedButton::TRxSpeedButton(QWidget* parent)
    : TGraphicControl(parent), glyph_(std::make_unique<TRxButtonGlyph>()), drawImage_(std::make_unique<TBitmap>())
{
    // Clicks come from finishing a press, not from the framework's release handling.
    SetControlStyle((ControlStyle() & ~TControlStyle(csClickEvents)) | csCaptureMouse | csOpaque | csDoubleClicks);
    glyph_->OnChange = [this] { Invalidate(); };
    SetBounds(0, 0, 25, 25);
    SetParentFont(true);
    SetShowHint(true);
}

TRxSpeedButton::~TRxSpeedButton()
{
    glyph_->OnChange = nullptr;
    delete repeatTimer_;
    repeatTimer_ = nullptr;
}

bool TRxSpeedButton::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Glyph"), Qt::CaseInsensitive) == 0) {
        const QString path = reader.AssetPath(reader.StringValue(value));
        const QImage image(path);
        if (image.isNull())
            reader.Error(QStringLiteral("Cannot load picture %1").arg(path));
        TBitmap bitmap;
        QImageToBitmap(image, bitmap);
        SetGlyph(&bitmap);
        return true;
    }
    return TGraphicControl::ReadDefinitionProperty(name, value, reader);
}

// ---- Properties ---------------------------------------------------------------------------------

void TRxSpeedButton::SetAlignment(TAlignment a)
{
    if (a == glyph_->Alignment())
        return;
    glyph_->SetAlignment(a);
    Invalidate();
}

void TRxSpeedButton::SetAllowAllUp(bool v)
{
    if (v == allowAllUp_)
        return;
    allowAllUp_ = v;
    ReleaseGroup();
}

void TRxSpeedButton::SetAllowTimer(bool v)
{
    allowTimer_ = v;
    if (!v && repeatTimer_) {
        repeatTimer_->SetEnabled(false);
        delete repeatTimer_;
        repeatTimer_ = nullptr;
    }
}

void TRxSpeedButton::SetDown(bool v)
{
    if (groupIndex_ == 0)
        v = false;
    if (v == down_ || (down_ && !allowAllUp_))
        return;
    down_ = v;
    if (v) {
        if (state_ == StateUp)
            Invalidate();
        state_ = StateExclusive;
    } else {
        state_ = StateUp;
    }
    Repaint();
    if (v)
        ReleaseGroup();
    Invalidate();
}

TPopupMenu* TRxSpeedButton::DropDownMenu() const { return dropDownMenu_; }

void TRxSpeedButton::SetDropDownMenu(TPopupMenu* menu)
{
    if (menu == dropDownMenu_)
        return;
    if (dropDownMenu_)
        RemoveFreeNotification(dropDownMenu_);
    dropDownMenu_ = menu;
    if (menu)
        FreeNotification(menu);
    if (markDropDown_)
        Invalidate();
}

void TRxSpeedButton::Notification(QObject* component, TOperation operation)
{
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == dropDownMenu_.data())
        SetDropDownMenu(nullptr);
}

void TRxSpeedButton::SetFlat(bool v)
{
    if (v == flat_)
        return;
    flat_ = v;
    Invalidate();
}

void TRxSpeedButton::SetGrayedInactive(bool v)
{
    if (v == grayedInactive_)
        return;
    grayedInactive_ = v;
    Invalidate();
}

void TRxSpeedButton::SetGroupIndex(int v)
{
    if (v == groupIndex_)
        return;
    groupIndex_ = v;
    ReleaseGroup();
}

void TRxSpeedButton::SetLayout(TButtonLayout l)
{
    if (l == layout_)
        return;
    layout_ = l;
    Invalidate();
}

void TRxSpeedButton::SetMargin(int v)
{
    if (v == margin_ || v < -1)
        return;
    margin_ = v;
    Invalidate();
}

void TRxSpeedButton::SetMarkDropDown(bool v)
{
    if (v == markDropDown_)
        return;
    markDropDown_ = v;
    Invalidate();
}

void TRxSpeedButton::SetNumGlyphs(int n)
{
    n = std::min(n, 5);
    if (n == glyph_->NumGlyphs())
        return;
    glyph_->SetGlyphCount(n);
    Invalidate();
}

void TRxSpeedButton::SetSpacing(int v)
{
    if (v == spacing_)
        return;
    spacing_ = v;
    Invalidate();
}

void TRxSpeedButton::SetStyle(TButtonStyle s)
{
    if (s == style_)
        return;
    style_ = s;
    Invalidate();
}

void TRxSpeedButton::SetTransparent(bool v)
{
    if (v == transparent_)
        return;
    transparent_ = v;
    Invalidate();
}

void TRxSpeedButton::SetWordWrap(bool v)
{
    if (v == glyph_->WordWrap())
        return;
    glyph_->SetWordWrap(v);
    Invalidate();
}

void TRxSpeedButton::SetGlyph(TBitmap* bitmap)
{
    glyph_->AssignGlyph(bitmap);
    Invalidate();
}

// ---- Painting -----------------------------------------------------------------------------------

void TRxSpeedButton::Paint()
{
    if (!Enabled()) {
        state_ = StateDisabled;
        pressed_ = false;
    } else if (state_ == StateDisabled) {
        state_ = down_ && groupIndex_ != 0 ? StateExclusive : StateUp;
    }
    const SpeedButtonState paintState = flat_ && !mouseIn_ ? StateInactive : state_;

    TBitmap* image = drawImage_.get();
    image->SetSize(Width(), Height());
    TCanvas* c = image->Canvas();
    c->Font()->Assign(Font());
    c->Brush()->SetColor(clBtnFace);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetBitmap(nullptr);
    TRect r = Rect(0, 0, Width(), Height());
    c->FillRect(r);
    if (transparent_)
        PaintParentBackground(this, c);

    if (!(paintState == StateInactive && state_ != StateExclusive))
        r = DrawSpeedButtonFrame(c, r, state_ == StateDown || state_ == StateExclusive, flat_, style_);
    else if (flat_)
        InflateRect(r, -2, -2);

    if (state_ == StateExclusive && !transparent_ && (!flat_ || paintState == StateInactive)) {
        TRect fill = r;
        InflateRect(fill, 1, 1);
        c->Brush()->SetBitmap(ExclusivePattern());
        c->FillRect(fill);
        c->Brush()->SetBitmap(nullptr);
    }
    if (state_ == StateDown || state_ == StateExclusive)
        OffsetRect(r, 1, 1);

    SpeedButtonState glyphState = state_;
    if (state_ != StateDisabled && grayedInactive_)
        glyphState = paintState;
    DrawContent(c, r, glyphState, markDropDown_ && dropDownMenu_);
    c->FinishDrawing();
    Canvas()->Draw(0, 0, image);
}

void TRxSpeedButton::DrawContent(TCanvas* canvas, const TRect& rect, SpeedButtonState state, bool drawMark)
{
    const TAlignment a = glyph_->Alignment();
    const uint32_t flags = a == taLeftJustify ? DT_LEFT : a == taRightJustify ? DT_RIGHT : DT_CENTER;
    QString caption = Caption();
    glyph_->DrawPlain(canvas, rect, caption, layout_, margin_, spacing_, drawMark, state, flags);
}

// ---- Mouse --------------------------------------------------------------------------------------

void TRxSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (menuTracking_)
        return;
    TGraphicControl::MouseDown(button, shift, x, y);
    if (Enabled() && !mouseIn_) {
        mouseIn_ = true;
        Repaint();
    }
    if (button == mbRight)
        RefreshHover();
    if (button != mbLeft || !Enabled())
        return;
    if (!down_) {
        state_ = StateDown;
        Repaint();
    }
    pressed_ = true;
    menuTracking_ = true;
    QPointer<TRxSpeedButton> self(this);
    try {
        const TPoint anchor = MenuAnchor();
        const bool opened = OpenDropDownMenu(anchor);
        if (!self)
            return;
        if (opened) {
            const QPoint p = mapFromGlobal(QCursor::pos());
            FinishPress(mbLeft, p.x(), p.y());
            DiscardPendingMessage(this, QEvent::MouseButtonPress);
            DiscardPendingMessage(this, QEvent::MouseButtonDblClick);
        }
    } catch (...) {
        if (self)
            menuTracking_ = false;
        throw;
    }
    menuTracking_ = false;
    if (allowTimer_) {
        if (!repeatTimer_) {
            repeatTimer_ = new TTimer(this);
            repeatTimer_->OnTimer = [this](TObject*) { RepeatTick(); };
        }
        repeatTimer_->SetInterval(initPause_);
        repeatTimer_->SetEnabled(true);
    }
}

void TRxSpeedButton::MouseMove(TShiftState shift, int x, int y)
{
    TGraphicControl::MouseMove(shift, x, y);
    if (!pressed_)
        return;
    SpeedButtonState s = down_ ? StateExclusive : Inside(x, y) ? StateDown : StateUp;
    if (s != state_) {
        state_ = s;
        Repaint();
    }
}

void TRxSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseUp(button, shift, x, y);
    FinishPress(button, x, y);
    if (repeatTimer_)
        repeatTimer_->SetEnabled(false);
}

void TRxSpeedButton::FinishPress(TMouseButton button, int x, int y)
{
    if (pressed_ && button == mbLeft) {
        pressed_ = false;
        const bool inside = Inside(x, y);
        if (groupIndex_ == 0) {
            state_ = StateUp;
            mouseIn_ = false;
            if (inside)
                Repaint();
            else
                Invalidate();
        } else if (inside) {
            SetDown(!down_);
            if (down_)
                Repaint();
        } else {
            if (down_)
                state_ = StateExclusive;
            Repaint();
        }
        if (inside && !menuTracking_)
            Click();
    }
    RefreshHover();
}

void TRxSpeedButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (menuTracking_)
        return;
    inDoubleClick_ = true;
    TGraphicControl::mouseDoubleClickEvent(e);
    inDoubleClick_ = false;
    if (e->button() == Qt::LeftButton && down_)
        TGraphicControl::DblClick();
}

void TRxSpeedButton::DblClick()
{
    // The double click is reported only for a button that is down, after the press it makes.
    if (!inDoubleClick_)
        TGraphicControl::DblClick();
}

void TRxSpeedButton::MouseEnter()
{
    if (!Enabled() || mouseIn_ || !OwnsActiveWindow())
        return;
    mouseIn_ = true;
    if (flat_)
        Repaint();
    TGraphicControl::MouseEnter();
}

void TRxSpeedButton::MouseLeave()
{
    if (!Enabled() || !mouseIn_ || pressed_)
        return;
    mouseIn_ = false;
    if (flat_)
        Invalidate();
    TGraphicControl::MouseLeave();
}

void TRxSpeedButton::RefreshHover()
{
    QWidget* under = QApplication::widgetAt(QCursor::pos());
    const bool over = Enabled() && under == this && OwnsActiveWindow();
    if (over == mouseIn_)
        return;
    mouseIn_ = over;
    if (flat_) {
        if (over)
            Repaint();
        else
            Invalidate();
    }
    if (over)
        TGraphicControl::MouseEnter();
    else
        TGraphicControl::MouseLeave();
}

// ---- Clicks, menus and groups -------------------------------------------------------------------

void TRxSpeedButton::Click()
{
    if (TForm* form = ParentForm())
        form->SetModalResult(modalResult_);
    TGraphicControl::Click();
}

void TRxSpeedButton::ClickNow()
{
    if (TForm* form = ParentForm())
        form->SetModalResult(modalResult_);
    if (OnClick && !IsLoading())
        OnClick(this);
}

void TRxSpeedButton::RepeatTick()
{
    if (!repeatTimer_)
        return;
    repeatTimer_->SetInterval(repeatInterval_);
    if (state_ != StateDown || !pressed_)
        return;
    try {
        ClickNow();
    } catch (...) {
        repeatTimer_->SetEnabled(false);
        throw;
    }
}

TPoint TRxSpeedButton::MenuAnchor() const
{
    if (!dropDownMenu_)
        return {0, 0};
    const int w = Width(), h = Height();
    const QVariant a = dropDownMenu_->property("Alignment");
    const int alignment = a.isValid() ? a.toInt() : paLeft;
    if (menuPosition_ == dmpBottom) {
        if (alignment == paRight)
            return {w + 1, h};
        if (alignment == paCenter)
            return {w / 2, h};
        return {-1, h};
    }
    if (alignment == paRight)
        return {-1, -1};
    if (alignment == paCenter)
        return {w / 2, h};
    return {w, -1};
}

bool TRxSpeedButton::OpenDropDownMenu(TPoint anchor)
{
    if (!dropDownMenu_ || !dropDownMenu_->AutoPopup())
        return false;
    dropDownMenu_->SetPopupComponent(this);
    if (dropDownMenu_->OnPopup)
        dropDownMenu_->OnPopup(dropDownMenu_);
    QMenu* menu = dropDownMenu_->PopupQMenu();
    QPoint at = mapToGlobal(QPoint(anchor.X, anchor.Y));
    const QVariant a = dropDownMenu_->property("Alignment");
    const int alignment = a.isValid() ? a.toInt() : paLeft;
    if (alignment == paRight)
        at.rx() -= menu->sizeHint().width();
    else if (alignment == paCenter)
        at.rx() -= menu->sizeHint().width() / 2;
    QPointer<QObject> filter = new MenuCloseFilter(menu, this);
    menu->installEventFilter(filter);
    menu->setAttribute(Qt::WA_NoMouseReplay, false);
    menu->exec(at);
    delete filter.data();
    return true;
}

void TRxSpeedButton::ReleaseGroup()
{
    if (groupIndex_ == 0 || !parentWidget())
        return;
    for (QObject* o : parentWidget()->children())
        if (auto* b = qobject_cast<TRxSpeedButton*>(o))
            b->GroupButtonPressed(groupIndex_, this);
}

void TRxSpeedButton::GroupButtonPressed(int groupIndex, TRxSpeedButton* sender)
{
    if (groupIndex != groupIndex_ || sender == this || !sender)
        return;
    if (sender->down_ && down_) {
        down_ = false;
        state_ = StateUp;
        Repaint();
    }
    allowAllUp_ = sender->allowAllUp_;
}

// ---- Notifications ------------------------------------------------------------------------------

void TRxSpeedButton::PrepareNextPicture()
{
    glyph_->StateImageIndex(!Enabled() ? StateDisabled : flat_ ? StateInactive : StateUp);
}

void TRxSpeedButton::Loaded()
{
    TGraphicControl::Loaded();
    PrepareNextPicture();
}

void TRxSpeedButton::EnabledChanged()
{
    PrepareNextPicture();
    TGraphicControl::EnabledChanged();
    RefreshHover();
}

void TRxSpeedButton::SetVisible(bool v)
{
    TGraphicControl::SetVisible(v);
    if (v)
        RefreshHover();
}

void TRxSpeedButton::TextChanged()
{
    TGraphicControl::TextChanged();
    UpdateMnemonic();
    Invalidate();
}

void TRxSpeedButton::FontChanged()
{
    TGraphicControl::FontChanged();
    Invalidate();
}

void TRxSpeedButton::UpdateMnemonic()
{
    if (mnemonicId_)
        releaseShortcut(mnemonicId_);
    mnemonicId_ = 0;
    const QKeySequence seq = QKeySequence::mnemonic(Caption());
    if (!seq.isEmpty())
        mnemonicId_ = grabShortcut(seq);
}

bool TRxSpeedButton::event(QEvent* e)
{
    if (e->type() == QEvent::Shortcut && mnemonicId_ && static_cast<QShortcutEvent*>(e)->shortcutId() == mnemonicId_) {
        if (Enabled())
            RunGuarded([this] { Click(); }, this);
        return true;
    }
    if (e->type() == QEvent::ApplicationPaletteChange || e->type() == QEvent::PaletteChange) {
        // System colours are part of the state pictures.
        glyph_->ReleaseImages();
        Invalidate();
    }
    return TGraphicControl::event(e);
}
