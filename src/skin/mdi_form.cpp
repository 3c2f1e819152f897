#include "skin/mdi_form.h"

#include "framework/application.h"
#include "framework/menus.h"
#include "skin/form.h"
#include "skin/form_menu_bar.h"
#include "skin/menus.h"
#include "skin/theme_lookup.h"
#include "skin/title_bar.h"

#include <QApplication>
#include <QChildEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>

namespace {

// The tags and glyph frames of the child buttons: minimise, restore, close.
constexpr int ChildButtonTags[3] = {-1383, -1382, -1381};

} // namespace

TsuiMDIForm::TsuiMDIForm(QObject* AOwner) : TComponent(AOwner)
{
    if (AOwner)
        EnsureAttached();
}

TsuiMDIForm::~TsuiMDIForm()
{
    // Without an owner the window itself is going away and needs nothing back.
    Detach(ComponentOwner(this) != nullptr);
}

void TsuiMDIForm::EnsureAttached()
{
    if (host_ || destroying_)
        return;
    QObject* owner = Owner();
    if (!owner)
        return;
    auto* form = qobject_cast<TForm*>(owner);
    if (!form)
        throw Exception(QString::fromLatin1(MDIFormText::NotOnAForm));
    Attach(form);
}

void TsuiMDIForm::Loaded()
{
    TComponent::Loaded();
    EnsureAttached();
}

void TsuiMDIForm::Attach(TForm* form)
{
    host_ = form;
    TSizeConstraints c = form->Constraints();
    c.MinHeight = 50;
    c.MinWidth = 125;
    form->SetConstraints(c);
    if (form->Menu())
        form->SetMenu(nullptr);
    switch (form->BorderStyle()) {
    case bsNone:
    case bsSingle:
    case bsToolWindow: form->SetBorderStyle(bsDialog); break;
    default: break;
    }
    form->SetBorderWidth(SkinFrameInset);

    titleBar_ = new TsuiTitleBar(form);
    InsertComponent(this, titleBar_);
    titleBar_->SetParent(form);
    titleBar_->SetAlign(alTop);
    titleBar_->SetCaption(form->Caption());

    menuBar_ = new TsuiFormMenuBar(form);
    InsertComponent(this, menuBar_);
    menuBar_->SetParent(form);
    menuBar_->SetAlign(alTop);
    menuBar_->SetVisible(false);
    for (int i = 0; i < 3; ++i) {
        auto* b = new TsuiMDIChildButton(menuBar_, i + 1);
        b->SetParent(menuBar_);
        b->SetTag(ChildButtonTags[i]);
        // Close at the bar's width - 20, each further one 18 pixels to its left.
        b->SetBounds(menuBar_->Width() - 20 - 18 * (2 - i), 1, b->Width(), b->Height());
        b->SetAnchors(TAnchors(akTop) | akRight);
        b->SetVisible(false);
        const int frame = i + 1;
        b->OnClick = [this, frame](TObject*) { ChildButtonClick(frame); };
        childButtons_[i] = b;
    }
    KeepBarsOnTop();

    form->setMouseTracking(true);
    form->installEventFilter(this);
    keys_ = std::make_unique<TsuiApplicationKeys>([this](QWidget* w, QKeyEvent* e) { return HandleKey(w, e); });
    if (QMdiArea* area = form->ClientArea()) {
        connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) { ChildActivated(sub); });
        area->viewport()->installEventFilter(this);
    }
    SetFormFrameless(form, true);
    RebuildMenuBar();
    SetUIStyle(DeepBlue);
}

void TsuiMDIForm::Detach(bool restore)
{
    if (destroying_)
        return;
    destroying_ = true;
    if (auto* m = qobject_cast<TsuiMainMenu*>(menu_.data()); m && m->ShowingForm() == this)
        m->SetShowingForm(nullptr);
    keys_.reset();
    if (!host_)
        return;
    host_->removeEventFilter(this);
    if (QMdiArea* area = host_->ClientArea())
        area->viewport()->removeEventFilter(this);
    if (restore) {
        host_->SetBorderWidth(0);
        host_->clearMask();
        if (edgeCursor_)
            host_->unsetCursor();
        SetFormFrameless(host_, false);
    }
}

TsuiMDIChildButton* TsuiMDIForm::ChildButton(int frame) const
{
    return frame >= 1 && frame <= 3 ? childButtons_[frame - 1] : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Properties

void TsuiMDIForm::SetUIStyle(TsuiUIStyle style)
{
    EnsureAttached();
    style_ = style;
    const bool fromFile = UsesFileTheme(fileTheme_, style);
    borderColor_ = ThemeColor(fileTheme_, style, ThemeItem::FormBorderColor);
    menuBarColor_ = ThemeColor(fileTheme_, style, ThemeItem::FormBackgroundColor);
    borderWidth_ = std::max(0, ThemeInteger(fileTheme_, style, ThemeItem::FormBorderWidthInt));
    if (fromFile) {
        const TColor font = ThemeColor(fileTheme_, style, ThemeItem::ControlFontColor);
        if (font == 0x20000)
            menuBarColor_ = 0xAC5B3B;
        else if (font == 0x30000)
            menuBarColor_ = 0x996733;
    }
    roundCorner_ = ThemeInteger(fileTheme_, style, ThemeItem::FormRoundCornerInt);
    if (auto* m = qobject_cast<TsuiMainMenu*>(menu_.data())) {
        m->SetUIStyle(style);
        m->SetFileTheme(fileTheme_);
    }
    if (titleBar_) {
        titleBar_->SetFileTheme(fileTheme_);
        titleBar_->SetUIStyle(style);
        // The frame's own shape gives the corners; the bar keeps none of its own.
        titleBar_->SetRoundCorner(0);
    }
    if (menuBar_) {
        menuBar_->SetColor(menuBarColor_);
        menuBar_->SetStyleSource(style, fileTheme_);
    }
    for (TsuiMDIChildButton* b : childButtons_)
        if (b)
            b->SetColor(menuBarColor_);
    if (host_ && host_->BorderWidth() != std::max(SkinFrameInset, borderWidth_))
        host_->SetBorderWidth(std::max(SkinFrameInset, borderWidth_));
    UpdateRegion();
    PaintBorder();
}

void TsuiMDIForm::SetFileTheme(TsuiFileTheme* fileTheme)
{
    EnsureAttached();
    if (fileTheme == fileTheme_)
        return;
    if (fileTheme_)
        RemoveFreeNotification(fileTheme_);
    fileTheme_ = fileTheme;
    if (fileTheme_)
        FreeNotification(fileTheme_);
    SetUIStyle(style_);
}

void TsuiMDIForm::SetMenu(TMainMenu* menu)
{
    EnsureAttached();
    if (auto* old = qobject_cast<TsuiMainMenu*>(menu_.data())) {
        if (old->ShowingForm() == this)
            old->SetShowingForm(nullptr);
        disconnect(old, nullptr, this, nullptr);
    }
    if (menu_ && menu_ != menu)
        RemoveFreeNotification(menu_);
    menu_ = menu;
    if (menu)
        FreeNotification(menu);
    if (auto* m = qobject_cast<TsuiMainMenu*>(menu)) {
        m->SetShowingForm(this);
        connect(m, &TsuiMainMenu::ItemsRebuilt, this, [this] { RebuildMenuBar(); });
        connect(m, &TsuiMainMenu::ItemsChanged, this, [this] {
            if (menuBar_)
                menuBar_->RefreshButtons();
        });
        connect(m, &TsuiMainMenu::UseSystemFontChanged, this, [this] {
            if (menuBar_)
                menuBar_->UpdateFont();
        });
    }
    RebuildMenuBar();
}

void TsuiMDIForm::SetMenuBarColor(TColor c)
{
    menuBarColor_ = c;
    if (menuBar_)
        menuBar_->SetColor(c);
    for (TsuiMDIChildButton* b : childButtons_)
        if (b)
            b->SetColor(c);
    PaintBorder();
}

void TsuiMDIForm::SetBorderColor(TColor c)
{
    borderColor_ = c;
    PaintBorder();
}

QString TsuiMDIForm::Caption() const { return host_ ? host_->Caption() : QString(); }

void TsuiMDIForm::SetCaption(const QString& text)
{
    EnsureAttached();
    if (host_)
        host_->SetCaption(text);
    if (titleBar_)
        titleBar_->SetCaption(text);
}

bool TsuiMDIForm::TitleBarDrawAppIcon() const { return titleBar_ && titleBar_->DrawAppIcon(); }

void TsuiMDIForm::SetTitleBarDrawAppIcon(bool v)
{
    EnsureAttached();
    if (titleBar_)
        titleBar_->SetDrawAppIcon(v);
}

bool TsuiMDIForm::TitleBarCustom() const { return titleBar_ && titleBar_->Custom(); }

void TsuiMDIForm::SetTitleBarCustom(bool v)
{
    EnsureAttached();
    if (titleBar_)
        titleBar_->SetCustom(v);
}

void TsuiMDIForm::SetTitleBarVisible(bool v)
{
    EnsureAttached();
    if (v == titleBarVisible_)
        return;
    titleBarVisible_ = v;
    if (titleBar_)
        titleBar_->SetVisible(v);
    KeepBarsOnTop();
    PaintBorder();
}

void TsuiMDIForm::SetTitleBarDrawChildMenus(bool v)
{
    drawChildMenus_ = v;
    RebuildMenuBar();
}

void TsuiMDIForm::SetRoundCorner(int r)
{
    roundCorner_ = r;
    UpdateRegion();
}

// ---------------------------------------------------------------------------------------------
// Menu bar and children

TsuiForm* TsuiMDIForm::ChildSkin(TForm* child) const
{
    if (!child)
        return nullptr;
    for (TControl* c : child->ControlList())
        if (auto* skin = qobject_cast<TsuiForm*>(c))
            return skin;
    return nullptr;
}

TMainMenu* TsuiMDIForm::GetEffectiveMenu() const
{
    if (!drawChildMenus_ || !titleBar_ || !host_)
        return menu_;
    TForm* child = host_->ClientArea() && host_->ClientArea()->activeSubWindow() ? host_->ActiveMDIChild() : nullptr;
    if (!child)
        return menu_;
    if (child->Menu())
        return child->Menu();
    if (TsuiForm* skin = ChildSkin(child); skin && skin->Menu())
        return skin->Menu();
    return menu_;
}

void TsuiMDIForm::RebuildMenuBar()
{
    if (!menuBar_ || destroying_)
        return;
    TMainMenu* menu = GetEffectiveMenu();
    menuBar_->SetMenu(menu);
    menuBar_->SetVisible(menu != nullptr);
    KeepBarsOnTop();
    UpdateChildButtons();
    PaintBorder();
}

void TsuiMDIForm::KeepBarsOnTop()
{
    // Top-aligned controls are placed in the order of their tops: ours go first.
    if (!host_ || destroying_)
        return;
    host_->DisableAlign();
    if (titleBar_ && titleBar_->Visible())
        titleBar_->SetTop(-2);
    if (menuBar_ && menuBar_->Visible())
        menuBar_->SetTop(-1);
    host_->EnableAlign();
    host_->Realign();
}

void TsuiMDIForm::ChildActivated(QMdiSubWindow* sub)
{
    if (destroying_)
        return;
    if (watchedChild_)
        disconnect(watchedChild_, nullptr, this, nullptr);
    TForm* child = sub ? qobject_cast<TForm*>(sub->widget()) : nullptr;
    watchedChild_ = ChildSkin(child);
    if (watchedChild_)
        connect(watchedChild_, &TsuiForm::MenuChanged, this, [this] { RebuildMenuBar(); });
    RebuildMenuBar();
    if (titleBar_ && host_)
        titleBar_->SetCaption(host_->Caption());
}

void TsuiMDIForm::ShowChildButtons()
{
    TsuiForm* skin = host_ ? ChildSkin(host_->ActiveMDIChild()) : nullptr;
    if (!skin || !skin->TitleBarButtons())
        return;
    TsuiTitleBarCollection* buttons = skin->TitleBarButtons();
    for (int i = 0; i < buttons->Count(); ++i) {
        switch (static_cast<TsuiTitleBarButton*>(buttons->Items(i))->ButtonType()) {
        case suiMin: childButtons_[0]->SetVisible(true); break;
        case suiMax: childButtons_[1]->SetVisible(true); break;
        case suiClose: childButtons_[2]->SetVisible(true); break;
        default: break;
        }
    }
}

void TsuiMDIForm::UpdateChildButtons()
{
    if (!menuBar_)
        return;
    for (TsuiMDIChildButton* b : childButtons_)
        b->SetVisible(false);
    TForm* child = host_ && host_->ClientArea() && host_->ClientArea()->activeSubWindow() ? host_->ActiveMDIChild() : nullptr;
    if (child && child->WindowState() == wsMaximized)
        ShowChildButtons();
    bool any = false;
    for (TsuiMDIChildButton* b : childButtons_)
        any = any || b->Visible();
    menuBar_->SetRightReserve(any ? 3 * 18 + 4 : 0);
}

void TsuiMDIForm::ChildButtonClick(int frame)
{
    TForm* child = host_ ? host_->ActiveMDIChild() : nullptr;
    if (!child)
        return;
    switch (frame) {
    case 1: child->SetWindowState(wsMinimized); break;
    case 2: child->SetWindowState(wsNormal); break;
    default: child->Close(); break;
    }
    Application->ProcessMessages();
    UpdateChildButtons();
}

void TsuiMDIForm::Cascade(const TChildFilter& arranged)
{
    QMdiArea* area = host_ ? host_->ClientArea() : nullptr;
    if (!area)
        return;
    const QSize client = area->viewport()->size();
    const int w = int(client.width() * 0.8), h = int(client.height() * 0.6);
    int x = 0, y = 0;
    for (int i = host_->MDIChildCount() - 1; i >= 0; --i) {
        TForm* child = host_->MDIChildren(i);
        if (!child || child->WindowState() == wsMinimized || (arranged && !arranged(child)))
            continue;
        if (child->WindowState() == wsMaximized)
            child->SetWindowState(wsNormal);
        child->SetBounds(x, y, w, h);
        x += 22;
        y += 22;
    }
}

void TsuiMDIForm::Tile(const TChildFilter& arranged)
{
    QMdiArea* area = host_ ? host_->ClientArea() : nullptr;
    if (!area)
        return;
    int n = 0;
    bool minimised = false;
    for (int i = 0; i < host_->MDIChildCount(); ++i) {
        TForm* child = host_->MDIChildren(i);
        if (!child || (arranged && !arranged(child)))
            continue;
        if (child->WindowState() == wsMinimized)
            minimised = true;
        else
            ++n;
    }
    if (n == 0)
        return;
    // The client area holds no aligned controls of the window: they lie outside it already.
    const QSize client = area->viewport()->size();
    const int H = client.height() - (minimised ? 25 : 0);
    const bool vertical = host_->TileMode() == tbVertical;
    const int w = client.width() / n, h = H / n;
    int pos = 0;
    for (int i = host_->MDIChildCount() - 1; i >= 0; --i) {
        TForm* child = host_->MDIChildren(i);
        if (!child || child->WindowState() == wsMinimized || (arranged && !arranged(child)))
            continue;
        if (child->WindowState() == wsMaximized)
            child->SetWindowState(wsNormal);
        if (vertical) {
            child->SetBounds(pos, 0, w - 2, H - 4);
            pos += w - 2;
        } else {
            child->SetBounds(0, pos, client.width() - 4, h - 2);
            pos += h - 2;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Frame

TsuiFrameSpec TsuiMDIForm::FrameSpec() const
{
    TsuiFrameSpec s;
    if (!host_)
        return s;
    s.Inset = host_->BorderWidth();
    s.BorderWidth = borderWidth_;
    s.BorderColor = borderColor_;
    s.InnerColor = menuBarColor_;
    if (titleBar_ && titleBar_->Visible()) {
        s.TitleBar = titleBar_;
        s.TitleRect = titleBar_->geometry();
        // The bar of the frame draws its pictures 4 pixels left and 3 up.
        s.TitleOffset = QPoint(-4, -3);
    }
    if (menuBar_ && menuBar_->Visible())
        s.MenuBarRect = menuBar_->geometry();
    s.MenuBarColor = menuBarColor_;
    s.RoundCorner = titleBar_ && titleBar_->Visible() ? roundCorner_ : 0;
    return s;
}

void TsuiMDIForm::PaintBorder()
{
    if (host_ && !destroying_)
        host_->update();
}

void TsuiMDIForm::UpdateRegion()
{
    if (!host_ || destroying_)
        return;
    if (roundCorner_ <= 0 || host_->WindowState() == wsMaximized)
        host_->clearMask();
    else
        host_->setMask(RoundTopRegion(host_->width(), host_->height(), roundCorner_));
}

bool TsuiMDIForm::HandleKey(QWidget* target, QKeyEvent* e)
{
    if (destroying_ || !host_)
        return false;
    TForm* form = FormOfWidget(target);
    if (!form || (form != host_ && FormOfWidget(form->parent()) != host_))
        return false;
    // A window of its own that the frame owns (a question, a dialog), or any modal window open,
    // keeps its keys: the frame's menu serves the frame and the children in its client area.
    if (target->window() != host_ || QApplication::activeModalWidget())
        return false;
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (form == host_ && e->key() == Qt::Key_Space && mods == Qt::AltModifier && titleBar_) {
        const TPoint p = titleBar_->ClientToScreen({0, titleBar_->Visible() ? titleBar_->Height() : 0});
        titleBar_->SystemMenu()->Popup(p.X, p.Y);
        return true;
    }
    if (mods == Qt::AltModifier && menuBar_ && menuBar_->Visible() && !e->text().isEmpty()
        && menuBar_->OpenByAccelerator(e->text().at(0)))
        return true;
    TMainMenu* menu = GetEffectiveMenu();
    const WORD vk = QtKeyToVirtualKey(e->key());
    return menu && vk != 0 && menu->IsShortCut(vk, ShiftStateFromQt(e->modifiers()));
}

bool TsuiMDIForm::eventFilter(QObject* watched, QEvent* e)
{
    if (destroying_ || !host_)
        return false;
    if (QMdiArea* area = host_->ClientArea(); area && watched == area->viewport()) {
        // Children coming and going, maximised and restored.
        // A sub-window is announced while it is still being made: watch every child.
        if (e->type() == QEvent::ChildAdded)
            static_cast<QChildEvent*>(e)->child()->installEventFilter(this);
        if (e->type() == QEvent::ChildRemoved)
            RebuildMenuBar();
        return false;
    }
    if (qobject_cast<QMdiSubWindow*>(watched)) {
        if (e->type() == QEvent::WindowStateChange) {
            UpdateChildButtons();
            if (titleBar_)
                titleBar_->SetCaption(host_->Caption());
        }
        return false;
    }
    if (watched != host_)
        return false;
    switch (e->type()) {
    case QEvent::Paint: {
        if (host_->WindowState() == wsMinimized || host_->BorderWidth() == 0)
            return false;
        static_cast<QObject*>(host_.data())->event(e);
        QPainter p(host_.data());
        PaintSkinnedFrame(p, host_->size(), FrameSpec());
        return true;
    }
    case QEvent::Resize:
    case QEvent::WindowStateChange:
        if (titleBar_)
            titleBar_->RefreshMaxButton();
        UpdateRegion();
        PaintBorder();
        break;
    case QEvent::Show:
        if (host_->Menu())
            host_->SetMenu(nullptr);
        SetFormFrameless(host_, true);
        KeepBarsOnTop();
        UpdateRegion();
        break;
    case QEvent::ChildPolished:
        // A control put on the window later must not come above the bars.
        if (static_cast<QChildEvent*>(e)->child() != titleBar_ && static_cast<QChildEvent*>(e)->child() != menuBar_)
            KeepBarsOnTop();
        break;
    case QEvent::ActivationChange:
        if (titleBar_)
            titleBar_->SetFormActive(host_->isActiveWindow());
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

void TsuiMDIForm::Notification(QObject* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || destroying_)
        return;
    if (AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(DeepBlue);
    }
    if (AComponent == menu_.data()) {
        menu_ = nullptr;
        RebuildMenuBar();
    }
    if (AComponent == titleBar_)
        titleBar_ = nullptr;
    if (AComponent == menuBar_) {
        menuBar_ = nullptr;
        for (auto& b : childButtons_)
            b = nullptr;
    }
}
