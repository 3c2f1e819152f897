#include "skin/form.h"

#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/definition_reader.h"
#include "framework/dialogs.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "skin/form_menu_bar.h"
#include "skin/menus.h"
#include "skin/skin_drawing.h"
#include "skin/theme_lookup.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>

namespace FormText {
inline constexpr const char* OwnFormPanel = "Sorry, you can't select the Form assign to FormPanel property";
}


TsuiForm::TsuiForm(QWidget* parent) : TCustomPanel(parent)
{
    menuBarColor_ = Color();
    SetBevelOuter(bvNone);
    SetBevelInner(bvNone);
    SetControlStyle(ControlStyle() | csOpaque);
    SetFillsBackground(false);
    if (auto* form = qobject_cast<TForm*>(parent))
        Attach(form);
}

TsuiForm::~TsuiForm()
{
    // The owner takes its components out of its list before destroying them: without an owner
    // the window is going away too and needs nothing back.
    Detach(ComponentOwner(this) != nullptr);
}

void TsuiForm::SetParent(TWinControl* parent)
{
    TCustomPanel::SetParent(parent);
    if (!host_ && !destroying_)
        if (auto* form = qobject_cast<TForm*>(parent))
            Attach(form);
}

void TsuiForm::Attach(TForm* form)
{
    // Only the first skinned form of a window skins it; a second one stays an inert panel.
    for (QWidget* c : ChildControls(form))
        if (auto* other = qobject_cast<TsuiForm*>(c); other && other != this && other->host_)
            return;
    host_ = form;
    if (!ComponentOwner(this))
        InsertComponent(form, this);

    TSizeConstraints c = form->Constraints();
    c.MinHeight = 50;
    c.MinWidth = 125;
    form->SetConstraints(c);
    createdBounds_ = QRect(form->Left(), form->Top(), form->Width(), form->Height());
    createdMaximized_ = form->WindowState() == wsMaximized;

    titleBar_ = new TsuiTitleBar(this);
    titleBar_->SetParent(this);
    titleBar_->SetAlign(alNone);
    InsertComponent(this, titleBar_);
    menuBarColor_ = Color();
    menuBarHeight_ = 22;
    autoUpdateSub_ = false;

    SetAlign(alClient);
    titleBar_->SetCaption(form->Caption());
    titleBarVisible_ = true;
    TControl::SetText(QStringLiteral(" "));

    switch (form->BorderStyle()) {
    case bsNone:
    case bsSingle:
    case bsToolWindow: form->SetBorderStyle(bsDialog); break;
    default: break;
    }
    form->setMouseTracking(true);
    form->installEventFilter(this);
    keys_ = std::make_unique<TsuiApplicationKeys>([this](QWidget* w, QKeyEvent* e) { return HandleKey(w, e); });
    WatchMdiFrame();
    RemoveCaptionStyle();
    SetUIStyle(DeepBlue);
}

void TsuiForm::Detach(bool restore)
{
    if (destroying_)
        return;
    destroying_ = true;
    if (auto* m = qobject_cast<TsuiMainMenu*>(menu_.data()); m && m->ShowingForm() == this)
        m->SetShowingForm(nullptr);
    if (!host_)
        return;
    keys_.reset();
    host_->removeEventFilter(this);
    if (mdiFrame_)
        mdiFrame_->removeEventFilter(this);
    if (restore) {
        // The window gets its native frame and caption back.
        host_->SetBorderWidth(0);
        host_->clearMask();
        if (mdiFrame_)
            mdiFrame_->clearMask();
        if (edgeCursor_)
            host_->unsetCursor();
        SetFormFrameless(host_, false);
    }
}

// ---------------------------------------------------------------------------------------------
// Properties

bool TsuiForm::TitleBarCustom() const { return titleBar_ && titleBar_->Custom(); }

void TsuiForm::SetTitleBarCustom(bool v)
{
    if (titleBar_)
        titleBar_->SetCustom(v);
}

void TsuiForm::SetFileTheme(TsuiFileTheme* fileTheme)
{
    if (fileTheme == fileTheme_)
        return;
    if (fileTheme_)
        RemoveFreeNotification(fileTheme_);
    fileTheme_ = fileTheme;
    if (fileTheme_)
        FreeNotification(fileTheme_);
    SetUIStyle(style_);
}

TsuiUIStyle TsuiForm::EffectiveStyle() const { return EffectiveThemeStyle(fileTheme_, style_); }

void TsuiForm::SetUIStyle(TsuiUIStyle style)
{
    const QRect bounds = host_ ? QRect(host_->Left(), host_->Top(), host_->Width(), host_->Height()) : QRect();
    style_ = style;
    const bool fromFile = UsesFileTheme(fileTheme_, style);
    borderColor_ = ThemeColor(fileTheme_, style, ThemeItem::FormBorderColor);
    borderWidth_ = std::max(0, ThemeInteger(fileTheme_, style, ThemeItem::FormBorderWidthInt));
    SetColor(ThemeColor(fileTheme_, style, ThemeItem::FormBackgroundColor));
    const int corner = ThemeInteger(fileTheme_, style, ThemeItem::FormRoundCornerInt);
    if (!fromFile) {
        menuBarColor_ = Color();
    } else if (menuBar_) {
        const TColor font = ThemeColor(fileTheme_, style, ThemeItem::ControlFontColor);
        menuBarColor_ = font == 0x20000 ? TColor(0xAC5B3B) : font == 0x30000 ? TColor(0x996733) : Color();
    }
    if (menuBar_) {
        menuBar_->SetColor(menuBarColor_);
        menuBar_->SetStyleSource(style, fileTheme_);
    }
    if (titleBar_) {
        titleBar_->SetFileTheme(fileTheme_);
        titleBar_->SetUIStyle(style);
        titleBar_->SetRoundCorner(corner);
    }
    if (auto* m = qobject_cast<TsuiMainMenu*>(menu_.data())) {
        m->SetUIStyle(style);
        m->SetFileTheme(fileTheme_);
    }
    if (autoUpdateSub_)
        ContainerApplyUIStyle(this, style, fileTheme_);
    if (host_ && host_->FormStyle() == fsMDIChild && host_->WindowState() == wsNormal && bounds.isValid())
        host_->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    ApplyFrameInset();
    update();
    PaintBorder();
    UpdateRegion();
}

void TsuiForm::SetBorderColor(TColor c)
{
    borderColor_ = c;
    PaintBorder();
}

void TsuiForm::SetBorderWidth(int v)
{
    borderWidth_ = std::max(0, v);
    ApplyFrameInset();
    PaintBorder();
}

void TsuiForm::ApplyFrameInset()
{
    if (!host_)
        return;
    // A maximised MDI child shows no frame: the frame's own place is outside the MDI client.
    const bool maxChild = host_->MdiFrame() && host_->WindowState() == wsMaximized;
    const int inset = maxChild ? 0 : std::max(SkinFrameInset, borderWidth_);
    if (host_->BorderWidth() != inset)
        host_->SetBorderWidth(inset);
}

void TsuiForm::SetTitleBarVisible(bool v)
{
    if (v == titleBarVisible_)
        return;
    titleBarVisible_ = v;
    if (titleBar_)
        titleBar_->SetVisible(v && !scrolled_);
    Realign();
    PaintBorder();
    UpdateRegion();
}

QString TsuiForm::Caption() const { return titleBar_ ? titleBar_->Caption() : QString(); }

void TsuiForm::SetCaption(const QString& text)
{
    if (titleBar_)
        titleBar_->SetCaption(text);
    if (host_)
        host_->SetCaption(text);
}

void TsuiForm::SetFormPanel(TCustomPanel* panel)
{
    if (panel == this) {
        MessageBox(QString::fromLatin1(FormText::OwnFormPanel), Application->Title(), MB_OK | MB_ICONERROR);
        return;
    }
    formPanel_ = panel;
    if (!panel)
        return;
    panel->SetAlign(alClient);
    if (panel->inherits("TsuiImagePanel")) {
        panel->SetCaption(QString());
    } else {
        panel->SetBevelInner(bvNone);
        panel->SetBevelOuter(bvNone);
        panel->SetBorderStyle(bsNone);
        panel->SetCaption(QString());
    }
}

bool TsuiForm::TitleBarDrawAppIcon() const { return titleBar_ && titleBar_->DrawAppIcon(); }

void TsuiForm::SetTitleBarDrawAppIcon(bool v)
{
    if (titleBar_)
        titleBar_->SetDrawAppIcon(v);
}

TsuiTitleBarCollection* TsuiForm::TitleBarButtons() const { return titleBar_ ? titleBar_->Buttons() : nullptr; }

void TsuiForm::SetTitleBarButtons(TCollection* buttons)
{
    if (titleBar_)
        titleBar_->SetButtons(buttons);
}

TsuiTitleBarCollection* TsuiForm::TitleBarSections() const { return titleBar_ ? titleBar_->Sections() : nullptr; }

void TsuiForm::SetTitleBarSections(TCollection* sections)
{
    if (titleBar_)
        titleBar_->SetSections(sections);
}

TFont* TsuiForm::TitleBarFont() const { return titleBar_ ? titleBar_->Font() : nullptr; }

int TsuiForm::GetTitleBarHeight() const
{
    return titleBar_ && titleBarVisible_ && titleBar_->Visible() ? titleBar_->Height() : 0;
}

int TsuiForm::RoundCorner() const { return titleBar_ && titleBarVisible_ ? titleBar_->RoundCorner() : 0; }

void TsuiForm::SetRoundCorner(int r)
{
    if (titleBar_)
        titleBar_->SetRoundCorner(r);
    UpdateRegion();
}

TsuiTitleBarButtonClickEvent& TsuiForm::OnTitleBarCustomBtnsClick() { return titleBar_->OnCustomBtnsClick; }
TsuiTitleBarButtonClickEvent& TsuiForm::OnTitleBarHelpBtnClick() { return titleBar_->OnHelpBtnClick; }

// ---------------------------------------------------------------------------------------------
// Menu bar

void TsuiForm::SetMenu(TMainMenu* menu)
{
    if (auto* old = qobject_cast<TsuiMainMenu*>(menu_.data())) {
        if (old->ShowingForm() == this)
            old->SetShowingForm(nullptr);
        disconnect(old, nullptr, this, nullptr);
    }
    if (menu_ && menu_ != menu)
        RemoveFreeNotification(menu_);
    menu_ = menu;
    if (auto* m = qobject_cast<TsuiMainMenu*>(menu)) {
        m->SetShowingForm(this);
        connect(m, &TsuiMainMenu::ItemsRebuilt, this, [this] { RebuildMenuBar(); });
        connect(m, &TsuiMainMenu::ItemsChanged, this, [this] {
            if (menuBar_)
                menuBar_->RefreshButtons();
            emit MenuChanged();
        });
        connect(m, &TsuiMainMenu::UseSystemFontChanged, this, [this] {
            if (menuBar_)
                menuBar_->UpdateFont();
        });
    }
    if (menu) {
        FreeNotification(menu);
        CreateMenuBar();
        RebuildMenuBar();
    } else {
        DestroyMenuBar();
    }
    emit MenuChanged();
}

void TsuiForm::CreateMenuBar()
{
    // An MDI child's menu shows on the frame's bar.
    if (menuBar_ || !host_ || host_->FormStyle() == fsMDIChild)
        return;
    menuBar_ = new TsuiFormMenuBar(this);
    menuBar_->SetParent(this);
    menuBar_->SetAlign(alNone);
    menuBar_->SetColor(menuBarColor_);
    menuBar_->SetButtonHeight(menuBarHeight_);
    menuBar_->SetStyleSource(style_, fileTheme_);
    menuBar_->Show();
    Realign();
}

void TsuiForm::RebuildMenuBar()
{
    if (!menuBar_)
        return;
    menuBar_->SetMenu(menu_);
    Realign();
    PaintBorder();
}

void TsuiForm::DestroyMenuBar()
{
    menu_ = nullptr;
    if (!menuBar_)
        return;
    TsuiFormMenuBar* bar = menuBar_;
    menuBar_ = nullptr;
    delete bar;
    Realign();
    PaintBorder();
}

void TsuiForm::SetMenuBarColor(TColor c)
{
    menuBarColor_ = c;
    if (menuBar_)
        menuBar_->SetColor(c);
    PaintBorder();
}

void TsuiForm::SetMenuBarHeight(int h)
{
    menuBarHeight_ = h;
    if (menuBar_)
        menuBar_->SetButtonHeight(h);
}

bool TsuiForm::CheckMenuShortCut(WORD key, TShiftState shift)
{
    return host_ && IsFormActive(host_) && host_->Active() && menu_ && menu_->IsShortCut(key, shift);
}

// ---------------------------------------------------------------------------------------------
// Layout and painting

void TsuiForm::AlignControls(TControl* control, TRect& rect)
{
    // The title bar and the menu bar sit above every control aligned to the top.
    if (titleBar_ && titleBar_->Visible()) {
        titleBar_->SetBounds(rect.Left, rect.Top, rect.Width(), titleBar_->Height());
        rect.Top += titleBar_->Height();
    }
    if (menuBar_ && menuBar_->Visible()) {
        menuBar_->SetBounds(rect.Left, rect.Top, rect.Width(), menuBar_->Height());
        rect.Top += menuBar_->Height();
    }
    TCustomPanel::AlignControls(control, rect);
}

void TsuiForm::Paint()
{
    TsuiOffscreen buffer(Width(), Height());
    QPainter& p = *buffer.Canvas()->Handle();
    const bool pattern = !UsesFileTheme(fileTheme_, style_) && (style_ == MacOS || style_ == Protein);
    const TBitmap& tile = SkinPicture(style_ == MacOS ? QStringLiteral("MACOS_FORM_BACKGROUND") : QStringLiteral("PROTEIN_FORM_BACKGROUND"));
    if (pattern && !tile.Empty())
        p.fillRect(0, 0, Width(), Height(), QBrush(const_cast<TBitmap&>(tile).ToImage()));
    else
        p.fillRect(0, 0, Width(), Height(), ColorToQColor(Color()));
    buffer.CopyTo(Canvas());
}

TsuiFrameSpec TsuiForm::FrameSpec() const
{
    TsuiFrameSpec s;
    if (!host_)
        return s;
    s.Inset = host_->BorderWidth();
    s.BorderWidth = borderWidth_;
    s.BorderColor = borderColor_;
    s.InnerColor = Color();
    if (titleBar_ && titleBar_->Visible()) {
        s.TitleBar = titleBar_;
        s.TitleRect = QRect(titleBar_->mapTo(host_.data(), QPoint(0, 0)), titleBar_->size());
        // Where the bar draws its pictures: 3 pixels up and left, over the frame.
        s.TitleOffset = QPoint(-3, -3);
    }
    if (menuBar_ && menuBar_->Visible())
        s.MenuBarRect = QRect(menuBar_->mapTo(host_.data(), QPoint(0, 0)), menuBar_->size());
    s.MenuBarColor = menuBarColor_;
    s.RoundCorner = RoundCorner();
    return s;
}

void TsuiForm::PaintBorder()
{
    if (host_ && !destroying_ && host_->WindowState() != wsMinimized)
        host_->update();
}

void TsuiForm::UpdateRegion()
{
    if (!host_ || destroying_)
        return;
    // An MDI child is shaped through its sub-window; the form inside it keeps no shape.
    QWidget* window = mdiFrame_ ? mdiFrame_.data() : host_.data();
    if (mdiFrame_ && !host_->mask().isEmpty())
        host_->clearMask();
    const int r = RoundCorner();
    if (r <= 0 || (mdiFrame_ && host_->WindowState() == wsMaximized))
        window->clearMask();
    else
        window->setMask(RoundTopRegion(window->width(), window->height(), r));
}

void TsuiForm::RemoveCaptionStyle()
{
    if (!host_ || destroying_)
        return;
    QWidget* sub = host_->MdiFrame();
    const bool subHadFrame = sub && !(sub->windowFlags() & Qt::FramelessWindowHint);
    SetFormFrameless(host_, true);
    if (subHadFrame && mdiSize_.isValid() && host_->WindowState() == wsNormal)
        sub->resize(mdiSize_);
    if (sub)
        mdiSize_ = QSize();
    UpdateRegion();
}

// ---------------------------------------------------------------------------------------------
// The window's events

void TsuiForm::WatchMdiFrame()
{
    auto* sub = host_ ? qobject_cast<QMdiSubWindow*>(host_->parentWidget()) : nullptr;
    if (sub == mdiFrame_)
        return;
    if (mdiFrame_)
        mdiFrame_->removeEventFilter(this);
    mdiFrame_ = sub;
    if (!sub)
        return;
    // The size the child was made with: the sub-window's decorations go, the child keeps it.
    mdiSize_ = host_->size();
    sub->installEventFilter(this);
    if (QMdiArea* area = sub->mdiArea())
        connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
            if (mdiFrame_ && !destroying_)
                SetActiveState(w == mdiFrame_);
        });
}

void TsuiForm::SetActiveState(bool active)
{
    if (titleBar_)
        titleBar_->SetFormActive(active);
}

void TsuiForm::HostShown()
{
    // The window shows its menu through this panel's bar only.
    if (host_->Menu())
        host_->SetMenu(nullptr);
    WatchMdiFrame();
    RemoveCaptionStyle();
    ApplyFrameInset();
    UpdateRegion();
}

void TsuiForm::HostResized()
{
    if (inResize_)
        return;
    inResize_ = true;
    const TWindowState state = host_->WindowState();
    if (createdMaximized_ && state == wsNormal && lastState_ == wsMaximized) {
        // A window created maximised goes back to where it was made the first time it is restored.
        createdMaximized_ = false;
        host_->SetBounds(createdBounds_.x(), createdBounds_.y(), createdBounds_.width(), createdBounds_.height());
    }
    if (host_->MdiFrame() && titleBar_) {
        // A maximised child shows no title bar (the frame shows its buttons) and moves its
        // contents up into the bar's place; restored, it takes both back.
        const int shift = titleBar_->Height() - 3;
        auto move = [this](int dy) {
            for (TControl* c : ControlList())
                if (c != titleBar_ && c != menuBar_ && c->Align() == alNone)
                    c->SetTop(c->Top() + dy);
        };
        if (state == wsMaximized && !scrolled_) {
            scrolled_ = true;
            titleBar_->SetVisible(false);
            move(-shift);
        } else if (state != wsMaximized && scrolled_) {
            scrolled_ = false;
            titleBar_->SetVisible(titleBarVisible_);
            move(shift);
        }
    }
    ApplyFrameInset();
    if (titleBar_)
        titleBar_->RefreshMaxButton();
    Realign();
    PaintBorder();
    UpdateRegion();
    lastState_ = state;
    inResize_ = false;
}

bool TsuiForm::HandleKey(QWidget* w, QKeyEvent* e)
{
    if (destroying_ || !host_ || FormOfWidget(w) != host_)
        return false;
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (e->key() == Qt::Key_Space && mods == Qt::AltModifier && titleBar_) {
        // The window's own system menu, below its own title bar.
        const TPoint p = titleBar_->ClientToScreen({0, titleBar_->Visible() ? titleBar_->Height() : 0});
        titleBar_->SystemMenu()->Popup(p.X, p.Y);
        return true;
    }
    if (mods == Qt::AltModifier && menuBar_ && menuBar_->Visible() && !e->text().isEmpty()
        && menuBar_->OpenByAccelerator(e->text().at(0)))
        return true;
    const WORD vk = QtKeyToVirtualKey(e->key());
    return vk != 0 && CheckMenuShortCut(vk, ShiftStateFromQt(e->modifiers()));
}

bool TsuiForm::eventFilter(QObject* watched, QEvent* e)
{
    if (destroying_ || !host_)
        return false;
    if (watched == mdiFrame_) {
        if (e->type() == QEvent::Show)
            RemoveCaptionStyle();
        else if (e->type() == QEvent::Resize)
            // The sub-window sets a shape of its own after it is resized: ours goes after it.
            QMetaObject::invokeMethod(this, [this] { UpdateRegion(); }, Qt::QueuedConnection);
        return false;
    }
    if (watched != host_)
        return false;
    switch (e->type()) {
    case QEvent::Paint: {
        if (host_->WindowState() == wsMinimized || host_->BorderWidth() == 0)
            return false;
        // The window paints itself first; the ring goes over its edges.
        static_cast<QObject*>(host_.data())->event(e);
        QPainter p(host_.data());
        PaintSkinnedFrame(p, host_->size(), FrameSpec());
        return true;
    }
    case QEvent::Resize:
    case QEvent::WindowStateChange:
        HostResized();
        break;
    case QEvent::Show:
        HostShown();
        break;
    case QEvent::ParentChange:
        WatchMdiFrame();
        break;
    case QEvent::ActivationChange:
        if (!mdiFrame_)
            SetActiveState(host_->isActiveWindow());
        break;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        return HandleFrameMouse(host_, e, resizer_, edgeCursor_);
    default:
        break;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------

void TsuiForm::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        ContainerApplyUIStyle(this, DeepBlue, nullptr);
        SetUIStyle(DeepBlue);
    }
    if (AComponent == menu_.data()) {
        menu_ = nullptr;
        DestroyMenuBar();
    }
}

bool TsuiForm::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    // The form's font is its title bar's.
    if (name.startsWith(QLatin1String("Font."), Qt::CaseInsensitive) && titleBar_)
        return TDefinitionReader::ApplyFontProperty(name.mid(5), value, titleBar_->Font());
    return TCustomPanel::ReadDefinitionProperty(name, value, reader);
}

bool TsuiForm::BindEvent(const QString& name, const TMethodRef& handler)
{
    if (titleBar_) {
        if (name.compare(QLatin1String("OnTitleBarCustomBtnsClick"), Qt::CaseInsensitive) == 0)
            return titleBar_->BindEvent(QStringLiteral("OnCustomBtnsClick"), handler);
        if (name.compare(QLatin1String("OnTitleBarHelpBtnClick"), Qt::CaseInsensitive) == 0)
            return titleBar_->BindEvent(QStringLiteral("OnHelpBtnClick"), handler);
    }
    return TCustomPanel::BindEvent(name, handler);
}
