#include "controls/combo_edit.h"

#include "controls/control_text.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/definition_reader.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "framework/qimage_bridge.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>

std::unique_ptr<TBitmap> MakeEllipsisGlyph(int buttonWidth)
{
    const int width = std::max(1, buttonWidth - 6);
    auto b = std::make_unique<TBitmap>(width, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < width; ++x)
            b->SetPixelArgb(x, y, 0xFFFFFFFFu);
    const int s = std::clamp((width - 6) / 2, 1, 3);
    const int x0 = (width - 6 - 2 * s) / 2;
    for (int dot : {x0, x0 + s + 2, x0 + 2 * s + 4})
        for (int y = 1; y < 3; ++y)
            for (int x = dot; x < dot + 2; ++x)
                if (x >= 0 && x < width)
                    b->SetPixelArgb(x, y, 0xFF000000u);
    b->SetTransparentColor(clWhite);
    return b;
}

namespace {

// The arrow of a drop-down button: a black triangle 7 pixels wide on white.
std::unique_ptr<TBitmap> DropDownArrow()
{
    auto b = std::make_unique<TBitmap>(7, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x)
            b->SetPixelArgb(x, y, x >= y && x <= 6 - y ? 0xFF000000u : 0xFFFFFFFFu);
    b->SetTransparentColor(clWhite);
    return b;
}

int ScrollBarWidth()
{
    return QApplication::style() ? QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 16;
}

bool IsWithin(QWidget* w, QWidget* container)
{
    for (; w; w = w->parentWidget())
        if (w == container)
            return true;
    return false;
}

} // namespace

// Closes the popup without taking its value when the mouse is pressed anywhere but on the popup
// or the button.
class TCustomComboEdit::PopupWatcher : public QObject {
public:
    explicit PopupWatcher(TCustomComboEdit* edit) : edit_(edit) { qApp->installEventFilter(this); }
    ~PopupWatcher() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if ((e->type() == QEvent::MouseButtonPress || e->type() == QEvent::NonClientAreaMouseButtonPress)
            && edit_->PopupVisible() && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (!IsWithin(w, edit_->Popup()) && !IsWithin(w, edit_->ButtonContainer()))
                edit_->PopupCloseUp(false);
        }
        return false;
    }

private:
    TCustomComboEdit* edit_;
};

// ---- TEditButton --------------------------------------------------------------------------------

TEditButton::TEditButton(QWidget* parent) : TRxSpeedButton(parent) { SetParentShowHint(true); }

void TEditButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && edit_) {
        noAction_ = edit_->Popup() && edit_->PopupVisible();
        if (!edit_->PopupVisible()) {
            if (edit_->TabStop() && edit_->CanFocus() && !edit_->Focused())
                edit_->SetFocus();
        } else {
            edit_->PopupCloseUp(true);
        }
    }
    TRxSpeedButton::MouseDown(button, shift, x, y);
}

void TEditButton::Click()
{
    if (noAction_) {
        noAction_ = false;
        return;
    }
    TRxSpeedButton::Click();
}

void TEditButton::Paint()
{
    TRxSpeedButton::Paint();
    if (State() == StateDown)
        return;
    // The button's left edge continues the edit's face.
    TCanvas* c = Canvas();
    c->Pen()->SetColor(clBtnFace);
    c->MoveTo(0, 0);
    c->LineTo(0, Height() - 1);
    c->Pen()->SetColor(clBtnHighlight);
    c->MoveTo(1, 1);
    c->LineTo(1, Height() - 2);
}

// ---- TCustomComboEdit ---------------------------------------------------------------------------

TCustomComboEdit::TCustomComboEdit(QWidget* parent) : TMaskEdit(parent)
{
    SetControlStyle(ControlStyle() | csCaptureMouse);
    buttonWindow_ = new TWinControl(this);
    buttonWindow_->SetParent(this);
    buttonWindow_->SetColor(clBtnFace);
    buttonWindow_->SetBounds(0, 0, 21, 17);
    button_ = new TEditButton(buttonWindow_);
    button_->SetParent(buttonWindow_);
    button_->SetComboEdit(this);
    button_->SetBounds(0, 0, 21, 17);
    button_->OnClick = [this](TObject*) { EditButtonClick(); };
    button_->Show();
    buttonWindow_->Show();
    buttonWindow_->raise();
    LineEdit()->installEventFilter(this);
    SetBounds(Left(), Top(), Width(), 21);
    ArrangeButton();
}

TCustomComboEdit::~TCustomComboEdit()
{
    watcher_.reset();
    if (button_)
        button_->OnClick = nullptr;
}

bool TCustomComboEdit::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnButtonClick", OnButtonClick, h, "TObject*") || TMaskEdit::BindEvent(name, h);
}

bool TCustomComboEdit::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
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
    return TMaskEdit::ReadDefinitionProperty(name, value, reader);
}

void TCustomComboEdit::SetAlignment(TAlignment a)
{
    if (a == alignment_)
        return;
    alignment_ = a;
    const Qt::Alignment h = a == taRightJustify ? Qt::AlignRight : a == taCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    LineEdit()->setAlignment(h | Qt::AlignVCenter);
}

QString TCustomComboEdit::ButtonHint() const { return button_->Hint(); }
void TCustomComboEdit::SetButtonHint(const QString& hint) { button_->SetHint(hint); }

int TCustomComboEdit::ButtonWidth() const { return buttonWindow_->Width(); }

void TCustomComboEdit::SetButtonWidth(int width)
{
    if (width == ButtonWidth())
        return;
    if (!IsLoading() && width >= ClientWidth())
        return;
    buttonWindow_->SetVisible(width > 1);
    buttonWindow_->SetWidth(width);
    button_->SetWidth(width);
    fixedButtonWidth_ = false;
    ArrangeButton();
    RecreateGlyph();
}

void TCustomComboEdit::SetDirectInput(bool v)
{
    directInput_ = v;
    ApplyInput();
}

void TCustomComboEdit::SetReadOnly(bool v)
{
    if (v == readOnly_)
        return;
    readOnly_ = v;
    ApplyInput();
}

void TCustomComboEdit::ApplyInput()
{
    // The line edit itself stays editable unless a popup disables it, so that it keeps showing
    // its caret; the keys, drops and menu entries that would change the text are refused here.
    LineEdit()->setReadOnly(editDisabledByPopup_);
    LineEdit()->setAcceptDrops(!InputBlocked());
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind kind)
{
    if (kind == glyphKind_)
        return;
    glyphKind_ = kind;
    if (kind == gkCustom && IsLoading())
        button_->SetGlyph(nullptr);
    RecreateGlyph();
}

int TCustomComboEdit::NumGlyphs() const { return button_->NumGlyphs(); }

void TCustomComboEdit::SetNumGlyphs(int n)
{
    if (glyphKind_ == gkDropDown || glyphKind_ == gkEllipsis)
        n = 1;
    else if (glyphKind_ == gkDefault)
        n = defaultNumGlyphs_;
    button_->SetNumGlyphs(std::clamp(n, 1, 4));
}

TBitmap* TCustomComboEdit::Glyph() const { return button_->Glyph(); }

void TCustomComboEdit::SetGlyph(TBitmap* bitmap)
{
    glyphKind_ = gkCustom;
    button_->SetGlyph(bitmap);
}

TBitmap* TCustomComboEdit::DefaultGlyph(bool& ownedByCaller) const
{
    ownedByCaller = false;
    return nullptr;
}

void TCustomComboEdit::RecreateGlyph()
{
    switch (glyphKind_) {
    case gkCustom:
        break;
    case gkDefault: {
        bool owned = false;
        TBitmap* b = DefaultGlyph(owned);
        std::unique_ptr<TBitmap> holder(owned ? b : nullptr);
        button_->SetGlyph(b);
        button_->SetNumGlyphs(defaultNumGlyphs_);
        if (b && !b->Empty()) {
            const int wanted = std::max(b->Width() / defaultNumGlyphs_ + 6, ButtonWidth());
            if (wanted != ButtonWidth()) {
                buttonWindow_->SetWidth(wanted);
                ArrangeButton();
            }
        }
        break;
    }
    case gkDropDown: {
        auto arrow = DropDownArrow();
        button_->SetGlyph(arrow.get());
        button_->SetNumGlyphs(1);
        buttonWindow_->SetWidth(ScrollBarWidth());
        fixedButtonWidth_ = true;
        ArrangeButton();
        break;
    }
    case gkEllipsis: {
        auto dots = MakeEllipsisGlyph(ButtonWidth());
        button_->SetGlyph(dots.get());
        button_->SetNumGlyphs(1);
        break;
    }
    }
}

int TCustomComboEdit::MinHeight() const
{
    constexpr int borderHeight = 1;
    const int system = QFontMetrics(QApplication::font()).height();
    const int own = QFontMetrics(Font()->ToQFont()).height();
    return std::min(system, own) + 4 * borderHeight + 1;
}

void TCustomComboEdit::SetBounds(int left, int top, int width, int height)
{
    if (!IsLoading() && height < MinHeight())
        height = MinHeight();
    TMaskEdit::SetBounds(left, top, width, height);
}

void TCustomComboEdit::ArrangeButton()
{
    if (!buttonWindow_ || !button_)
        return;
    const int w = Width(), h = Height(), b = ButtonWidth();
    const int frame = BorderStyle() == bsSingle ? 2 : 0;
    if (BorderStyle() == bsSingle)
        buttonWindow_->SetBounds(w - b - 4 + frame, frame, b, h - 4);
    else
        buttonWindow_->SetBounds(w - b, 0, b, h);
    button_->SetBounds(0, 0, b, buttonWindow_->Height());
    // The text never runs under the button.
    LineEdit()->setTextMargins(0, 0, (buttonWindow_->Visible() ? b : 0) + 2 - frame, 0);
}

void TCustomComboEdit::Resize()
{
    ArrangeButton();
    TMaskEdit::Resize();
}

void TCustomComboEdit::FontChanged()
{
    TMaskEdit::FontChanged();
    ArrangeButton();
}

void TCustomComboEdit::EnabledChanged()
{
    TMaskEdit::EnabledChanged();
    button_->SetEnabled(Enabled());
}

void TCustomComboEdit::EditButtonClick()
{
    if (readOnly_ && !alwaysEnable_)
        return;
    Fire(OnButtonClick, this);
    if (popup_) {
        if (popupVisible_)
            PopupCloseUp(true);
        else
            DropDown(true);
    }
}

void TCustomComboEdit::CutToClipboard()
{
    if (directInput_ && !readOnly_)
        TMaskEdit::CutToClipboard();
}

void TCustomComboEdit::PasteFromClipboard()
{
    if (directInput_ && !readOnly_)
        TMaskEdit::PasteFromClipboard();
}

void TCustomComboEdit::KeyDown(WORD& key, TShiftState shift)
{
    TMaskEdit::KeyDown(key, shift);
    if (key == 0)
        return;
    if (ButtonWidth() > 0 && ShortCut(key, shift) == clickKey_) {
        EditButtonClick();
        key = 0;
        return;
    }
    if (InputBlocked() && EditsTextWithoutCharacter(key, shift))
        key = 0;
}

void TCustomComboEdit::KeyPress(QChar& key)
{
    if (key == QLatin1Char('\r') || key == QChar(27)) {
        if (popupVisible_) {
            PopupCloseUp(key == QLatin1Char('\r'));
            key = QChar();
            return;
        }
        TMaskEdit::KeyPress(key);
        if (key.isNull())
            return;
        const WORD dialogKey = key == QLatin1Char('\r') ? VK_RETURN : VK_ESCAPE;
        // Handled here, so the edit passes neither key on a second time.
        key = QChar();
        if (TForm* form = ParentForm())
            form->DialogKey(dialogKey);
        return;
    }
    TMaskEdit::KeyPress(key);
    if (!key.isNull() && InputBlocked() && (key.unicode() >= 32 || key.unicode() == 8))
        key = QChar();
}

void TCustomComboEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (popupVisible_)
        PopupCloseUp(false);
    TMaskEdit::MouseDown(button, shift, x, y);
}

void TCustomComboEdit::DoEnter()
{
    if (AutoSelect() && directInput_ && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        SelectAll();
    TWinControl::DoEnter();
}

void TCustomComboEdit::DoExit()
{
    if (popupVisible_)
        PopupCloseUp(false);
    TMaskEdit::DoExit();
}

bool TCustomComboEdit::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == LineEdit() && InputBlocked()) {
        if (e->type() == QEvent::ContextMenu && !PopupMenu()) {
            ShowCopyOnlyContextMenu(LineEdit(), static_cast<QContextMenuEvent*>(e)->globalPos());
            return true;
        }
        if (e->type() == QEvent::InputMethod)
            return true;
    }
    return TMaskEdit::eventFilter(watched, e);
}

// ---- Popup protocol -----------------------------------------------------------------------------

void TCustomComboEdit::ShowPopup(const QPoint& origin)
{
    popup_->setAttribute(Qt::WA_ShowWithoutActivating);
    popup_->move(origin);
    popup_->SetVisible(true);
    popup_->show();
    popup_->raise();
}

void TCustomComboEdit::HidePopup() { popup_->SetVisible(false); }

bool TCustomComboEdit::AcceptPopup(QVariant&) { return true; }

void TCustomComboEdit::TakePopupValue(const QVariant& value)
{
    const QString text = value.toString();
    if (text == Text())
        return;
    SetText(text);
    SetModified(true);
}

void TCustomComboEdit::PushPopupValue(const QVariant&) {}
void TCustomComboEdit::PullPopupValue(QVariant& value) { value = QVariant(); }

void TCustomComboEdit::DropDown(bool disableEdit)
{
    if (!popup_ || readOnly_ || popupVisible_)
        return;
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    const int pw = popup_->Width(), ph = popup_->Height();
    const int screenW = Screen->Width(), screenH = Screen->Height();
    int y = origin.y() + Height();
    if (y + ph > screenH)
        y = origin.y() - ph;
    int x;
    if (popupAlign_ == epaRight) {
        x = origin.x() + Width() - pw;
        if (x < 0)
            x = origin.x();
    } else {
        x = origin.x();
        if (x + pw > screenW)
            x = origin.x() + Width() - pw;
    }
    if (x + pw > screenW)
        x = screenW - pw;
    if (x < 0)
        x = 0;
    PushPopupValue(Text().isEmpty() ? QVariant() : QVariant(Text()));
    if (!Focused())
        SetFocus();
    ShowPopup(QPoint(x, y));
    popupVisible_ = true;
    if (!watcher_)
        watcher_ = std::make_unique<PopupWatcher>(this);
    if (disableEdit) {
        editDisabledByPopup_ = true;
        ApplyInput();
    }
}

void TCustomComboEdit::PopupCloseUp(bool accept)
{
    if (!popup_ || !popupVisible_)
        return;
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    QVariant value;
    PullPopupValue(value);
    HidePopup();
    popupVisible_ = false;
    watcher_.reset();
    SetFocus();
    editDisabledByPopup_ = false;
    ApplyInput();
    Invalidate();
    if (accept && AcceptPopup(value) && EditCanModify()) {
        const QString before = Text();
        TakePopupValue(value);
        if (Text() != before)
            PopupTextChanged();
        if (AutoSelect())
            SelectAll();
    }
}
