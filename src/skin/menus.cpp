#include "skin/menus.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/forms.h"
#include "framework/graphics.h"
#include "framework/imagelist.h"
#include "skin/theme_lookup.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

// The style our menus give their Qt menus: item sizes and pictures come from the skin; the
// menu's own frame is drawn inside the popup.
class TsuiMenuStyle : public QProxyStyle {
public:
    explicit TsuiMenuStyle(TsuiMenuSkin* skin) : skin_(skin) {}
    TsuiMenuSkin* Skin() const { return skin_; }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_MenuPanelWidth:
            return 2;
        case PM_MenuHMargin:
        case PM_MenuVMargin:
        case PM_MenuDesktopFrameWidth:
        case PM_MenuTearoffHeight:
            return 0;
        case PM_SubMenuOverlap:
            return -2;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        if (type != CT_MenuItem)
            return QProxyStyle::sizeFromContents(type, option, size, widget);
        const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (!mi)
            return size;
        // The option alone: looking up the action here would lay the menu out again.
        TsuiMenuItemInfo info = InfoFromOption(*mi, nullptr);
        // Qt adds the widest shortcut text to every row itself.
        info.ShortCutText.clear();
        const TSize s = skin_->MeasureItem(info);
        return {s.cx, s.cy};
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element == PE_PanelMenu) {
            painter->fillRect(option->rect, ColorToQColor(skin_->Color()));
            return;
        }
        if (element == PE_FrameMenu) {
            TCanvas canvas;
            canvas.SetPainter(painter);
            skin_->DrawMenuFrame(&canvas, {option->rect.width(), option->rect.height()});
            canvas.SetPainter(nullptr);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        if (element == CE_MenuEmptyArea) {
            painter->fillRect(option->rect, ColorToQColor(skin_->Color()));
            return;
        }
        if (element != CE_MenuItem)
            return QProxyStyle::drawControl(element, option, painter, widget);
        const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (!mi)
            return;
        const TsuiMenuItemInfo info = InfoFromOption(*mi, widget);
        TCanvas canvas;
        canvas.SetPainter(painter);
        const QRect r = option->rect;
        skin_->DrawItem(&canvas, Rect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()), info);
        canvas.SetPainter(nullptr);
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_Menu_Scrollable)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    // The item behind a style option: the action whose geometry the option's rectangle is.
    static QAction* ActionOf(const QStyleOptionMenuItem& mi, const QWidget* widget)
    {
        const auto* menu = qobject_cast<const QMenu*>(widget);
        if (!menu)
            return nullptr;
        for (QAction* a : menu->actions())
            if (menu->actionGeometry(a) == mi.rect)
                return a;
        return nullptr;
    }

    TsuiMenuItemInfo InfoFromOption(const QStyleOptionMenuItem& mi, const QWidget* widget) const
    {
        if (QAction* a = widget ? ActionOf(mi, widget) : nullptr)
            return MenuItemInfoOf(a, mi.state & State_Selected);
        TsuiMenuItemInfo info;
        const qsizetype tab = mi.text.indexOf(QLatin1Char('\t'));
        info.Caption = mi.menuItemType == QStyleOptionMenuItem::Separator ? QStringLiteral("-") : mi.text.left(tab);
        if (tab >= 0)
            info.ShortCutText = mi.text.mid(tab + 1);
        info.Selected = mi.state & State_Selected;
        info.Enabled = mi.state & State_Enabled;
        info.Checked = mi.checkType != QStyleOptionMenuItem::NotCheckable && mi.checked;
        info.Default = mi.menuItemType == QStyleOptionMenuItem::DefaultItem;
        info.HasSubMenu = mi.menuItemType == QStyleOptionMenuItem::SubMenu;
        return info;
    }

    TsuiMenuSkin* skin_;
};

TsuiMenuItemInfo MenuItemInfoOf(QAction* action, bool selected)
{
    TsuiMenuItemInfo info;
    info.Selected = selected;
    if (auto* item = action ? qobject_cast<TMenuItem*>(action->parent()) : nullptr) {
        info.Caption = item->Caption();
        info.ShortCutText = item->ShortCut() ? ShortCutToText(item->ShortCut()) : QString();
        info.Enabled = item->Enabled();
        info.Checked = item->Checked();
        info.Default = item->Default();
        info.HasSubMenu = item->Count() > 0;
        info.ImageIndex = item->ImageIndex();
    } else if (action) {
        info.Caption = action->isSeparator() ? QStringLiteral("-") : action->text();
        info.ShortCutText = action->shortcut().toString(QKeySequence::NativeText);
        info.Enabled = action->isEnabled();
        info.Checked = action->isChecked();
        info.HasSubMenu = action->menu() != nullptr;
    }
    return info;
}

TsuiMenuSkin* MenuSkinOf(QMenu* menu)
{
    auto* style = menu ? dynamic_cast<TsuiMenuStyle*>(menu->style()) : nullptr;
    return style ? style->Skin() : nullptr;
}

void SetSystemMenuFont(TFont* font)
{
    if (!font)
        return;
    // The desktop's menu font of the system this was made for: 8 points of its sans serif.
    font->SetName(QStringLiteral("Tahoma"));
    font->SetHeight(-11);
    font->SetStyle(0);
    font->SetColor(clMenuText);
}

namespace {

// The check mark of the items, white transparent, for all menus of the process.
TImageList& CheckMarkList()
{
    static TImageList* list = [] {
        auto* l = new TImageList(16, 16);
        TBitmap mark;
        mark.Assign(const_cast<TBitmap*>(&SkinPicture(QStringLiteral("MENU_CHECKED"))));
        if (!mark.Empty())
            l->AddMasked(&mark, clWhite);
        return l;
    }();
    return *list;
}

// A MacOS menu picture cut to the given height and stretched over r.
void DrawMacPicture(TCanvas* canvas, const char* name, int height, const TRect& r)
{
    TBitmap picture;
    picture.Assign(const_cast<TBitmap*>(&SkinPicture(QString::fromLatin1(name))));
    if (picture.Empty())
        return;
    picture.SetHeight(height);
    canvas->StretchDraw(r, &picture);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TsuiMenuSkin

TsuiMenuSkin::TsuiMenuSkin()
    : barColor_(clBtnFace), color_(clWhite), selectedBorderColor_(clHighlight), selectedColor_(clHighlight),
      selectedFontColor_(clWhite), fontColor_(clWhite)
{
    InstallSkinFontSubstitutes();
}

TsuiMenuSkin::~TsuiMenuSkin() = default;

void TsuiMenuSkin::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    barWidth_ = 26;
    if (style == MacOS) {
        menuItemHeight_ = 20;
        separatorHeight_ = 12;
        separatorColor_ = 0;
    } else {
        menuItemHeight_ = 21;
        separatorHeight_ = 5;
        separatorColor_ = 0x848284;
    }
    barColor_ = ThemeColor(fileTheme_, style, ThemeItem::MenuBarColor);
    color_ = ThemeColor(fileTheme_, style, ThemeItem::MenuBackgroundColor);
    fontColor_ = ThemeColor(fileTheme_, style, ThemeItem::MenuFontColor);
    selectedBorderColor_ = ThemeColor(fileTheme_, style, ThemeItem::MenuSelectedBorderColor);
    selectedColor_ = ThemeColor(fileTheme_, style, ThemeItem::MenuSelectedBackgroundColor);
    selectedFontColor_ = ThemeColor(fileTheme_, style, ThemeItem::MenuSelectedFontColor);
}

void TsuiMenuSkin::SetFileTheme(TsuiFileTheme* fileTheme)
{
    if (fileTheme != fileTheme_) {
        WatchFileTheme(fileTheme_, fileTheme);
        fileTheme_ = fileTheme;
    }
    SetUIStyle(style_);
}

void TsuiMenuSkin::FileThemeRemoved(QObject* component)
{
    if (!component || component != fileTheme_)
        return;
    fileTheme_ = nullptr;
    SetUIStyle(DeepBlue);
}

void TsuiMenuSkin::SetMenuItemHeight(int v)
{
    if (style_ != MacOS)
        menuItemHeight_ = v;
}

void TsuiMenuSkin::SetSeparatorHeight(int v)
{
    if (style_ != MacOS)
        separatorHeight_ = v;
}

void TsuiMenuSkin::ItemFont(TFont* font) const
{
    if (useSystemFont_) {
        SetSystemMenuFont(font);
        return;
    }
    font->SetName(fontName_);
    font->SetSize(fontSize_);
    font->SetCharset(uint8_t(fontCharset_));
    font->SetStyle(0);
}

TSize TsuiMenuSkin::MeasureItem(const TsuiMenuItemInfo& item) const
{
    TFont font;
    ItemFont(&font);
    if (item.Default)
        font.SetStyle(fsBold);
    const QFontMetrics fm(font.ToQFont());
    const int height = item.IsSeparator() ? separatorHeight_ : menuItemHeight_;
    const int captionWidth = fm.boundingRect(QRect(), Qt::TextSingleLine | Qt::TextShowMnemonic, item.Caption).width();
    const int width = captionWidth + (item.ShortCutText.isEmpty() ? 0 : fm.horizontalAdvance(item.ShortCutText)) + barWidth_ + 40;
    return {width, height};
}

void TsuiMenuSkin::DrawItem(TCanvas* canvas, const TRect& r, const TsuiMenuItemInfo& item) const
{
    auto fillBarAndRest = [&] {
        canvas->Brush()->SetStyle(bsSolid);
        if (barWidth_ > 0) {
            canvas->Brush()->SetColor(barColor_);
            canvas->FillRect(Rect(r.Left, r.Top, r.Left + barWidth_, r.Bottom));
        }
        canvas->Brush()->SetColor(color_);
        canvas->FillRect(Rect(r.Left + std::max(barWidth_, 0), r.Top, r.Right, r.Bottom));
    };

    if (item.IsSeparator()) {
        if (style_ == MacOS) {
            DrawMacPicture(canvas, "MACOS_MENU_BAR", 12, r);
            return;
        }
        fillBarAndRest();
        canvas->Pen()->SetColor(separatorColor_);
        canvas->Pen()->SetStyle(psSolid);
        canvas->Pen()->SetWidth(1);
        canvas->MoveTo(r.Left + barWidth_ + 4, r.Top + 2);
        canvas->LineTo(r.Right - 2, r.Top + 2);
        return;
    }

    if (item.Selected && item.Enabled) {
        if (style_ == MacOS) {
            DrawMacPicture(canvas, "MACOS_MENU_SELECT", 20, r);
        } else {
            canvas->Brush()->SetStyle(bsSolid);
            canvas->Brush()->SetColor(selectedColor_);
            canvas->FillRect(r);
            canvas->Brush()->SetColor(selectedBorderColor_);
            canvas->FrameRect(r);
        }
    } else if (style_ == MacOS) {
        DrawMacPicture(canvas, "MACOS_MENU_BAR", 20, r);
    } else {
        fillBarAndRest();
    }

    ItemFont(canvas->Font());
    if (item.Default)
        canvas->Font()->SetStyle(canvas->Font()->Style() | fsBold);
    const TColor textColor = !item.Enabled ? TColor(0x808080) : item.Selected ? selectedFontColor_ : fontColor_;
    canvas->Font()->SetColor(textColor);
    canvas->Brush()->SetStyle(bsClear);
    DrawMnemonicText(canvas, Rect(r.Left + barWidth_ + 4, r.Top + 4, r.Right, r.Bottom),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, item.Caption);
    if (!item.ShortCutText.isEmpty()) {
        const int w = canvas->TextWidth(item.ShortCutText);
        DrawMnemonicText(canvas, Rect(r.Right - w - 16, r.Top + 4, r.Right, r.Bottom),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, item.ShortCutText);
    }
    if (item.HasSubMenu) {
        // The arrow the system draws beside owner-drawn items with a submenu.
        const int cx = r.Right - 9, cy = r.Top + (r.Bottom - r.Top) / 2;
        canvas->Pen()->SetColor(textColor);
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(textColor);
        canvas->Polygon({{cx, cy - 3}, {cx + 3, cy}, {cx, cy + 3}});
    }

    TImageList* images = ItemImages();
    const bool hasImage = images && item.ImageIndex != -1 && item.ImageIndex >= 0 && item.ImageIndex < images->Count();
    if (item.Checked) {
        if (hasImage) {
            canvas->Brush()->SetStyle(bsSolid);
            canvas->Brush()->SetColor(clBlack);
            canvas->FrameRect(Rect(r.Left + 2, r.Top + 1, r.Left + 21, r.Top + 20));
            canvas->Brush()->SetColor(selectedColor_);
            canvas->FillRect(Rect(r.Left + 3, r.Top + 2, r.Left + 20, r.Top + 19));
        } else {
            CheckMarkList().Draw(canvas, r.Left + 4, r.Top + 3, 0, item.Enabled);
        }
    }
    if (hasImage)
        images->Draw(canvas, r.Left + 4, r.Top + 3, item.ImageIndex, item.Enabled);
}

void TsuiMenuSkin::DrawMenuFrame(TCanvas* canvas, const TSize& size) const
{
    const int L = 0, T = 0, R = size.cx, B = size.cy;
    canvas->Brush()->SetStyle(bsSolid);
    if (!flatMenu_) {
        canvas->Brush()->SetColor(cl3DLight);
        canvas->FrameRect(Rect(L, T, R, B));
        canvas->Pen()->SetColor(cl3DDkShadow);
        canvas->MoveTo(L, B - 1);
        canvas->LineTo(R - 1, B - 1);
        canvas->LineTo(R - 1, T - 1);
        canvas->Brush()->SetColor(clBtnHighlight);
        canvas->FrameRect(Rect(L + 1, T + 1, R - 1, B - 1));
        canvas->Pen()->SetColor(clBtnShadow);
        canvas->MoveTo(L + 1, B - 2);
        canvas->LineTo(R - 2, B - 2);
        canvas->LineTo(R - 2, T);
        return;
    }
    canvas->Brush()->SetColor(clBlack);
    canvas->FrameRect(Rect(L, T + 1, R - 1, B - 1));
    canvas->Brush()->SetColor(clWhite);
    canvas->FrameRect(Rect(L + 1, T + 2, R - 2, B - 2));
    canvas->Pen()->SetColor(ThemeColor(fileTheme_, style_, ThemeItem::FormBackgroundColor));
    canvas->Pen()->SetStyle(psSolid);
    canvas->MoveTo(L, B - 1);
    canvas->LineTo(R - 1, B - 1);
    canvas->LineTo(R - 1, T);
    canvas->LineTo(R, T);
    canvas->MoveTo(R, T);
    canvas->LineTo(L - 1, T);
}

void TsuiMenuSkin::HookMenu(TMenuItem* root, bool withRoot)
{
    if (!root || !menuStyle_)
        return;
    std::function<void(TMenuItem*)> hook = [&](TMenuItem* item) {
        for (int i = 0; i < item->Count(); ++i) {
            TMenuItem* child = item->Items(i);
            if (child->Count() > 0) {
                QMenu* sub = child->SubMenu();
                if (sub->style() != menuStyle_)
                    sub->setStyle(menuStyle_);
                hook(child);
            }
        }
    };
    if (withRoot) {
        QMenu* menu = root->SubMenu();
        if (menu->style() != menuStyle_)
            menu->setStyle(menuStyle_);
    }
    hook(root);
}

// ---------------------------------------------------------------------------------------------
// TsuiPopupMenu

TsuiPopupMenu::TsuiPopupMenu(QObject* owner) : TPopupMenu(owner)
{
    // A child made after the items, so the style outlives their Qt menus.
    auto* style = new TsuiMenuStyle(this);
    style->setParent(this);
    SetMenuStyleObject(style);
    StoreStyle(StartUIStyle(owner));
}

TsuiPopupMenu::~TsuiPopupMenu() = default;

void TsuiPopupMenu::HookItems() { HookMenu(Items(), true); }

void TsuiPopupMenu::Popup(int x, int y)
{
    HookItems();
    TPopupMenu::Popup(x, y);
}

void TsuiPopupMenu::MenuChanged()
{
    HookItems();
    TPopupMenu::MenuChanged();
}

void TsuiPopupMenu::Loaded()
{
    TPopupMenu::Loaded();
    HookItems();
}

TImageList* TsuiPopupMenu::ItemImages() const { return qobject_cast<TImageList*>(Images()); }

void TsuiPopupMenu::WatchFileTheme(TsuiFileTheme* oldTheme, TsuiFileTheme* newTheme)
{
    if (oldTheme)
        RemoveFreeNotification(oldTheme);
    if (newTheme)
        FreeNotification(newTheme);
}

void TsuiPopupMenu::Notification(QObject* AComponent, TOperation Operation)
{
    TPopupMenu::Notification(AComponent, Operation);
    if (Operation == opRemove)
        FileThemeRemoved(AComponent);
}

// ---------------------------------------------------------------------------------------------
// TsuiMainMenu

TsuiMainMenu::TsuiMainMenu(QObject* owner) : TMainMenu(owner)
{
    auto* style = new TsuiMenuStyle(this);
    style->setParent(this);
    SetMenuStyleObject(style);
    StoreStyle(StartUIStyle(owner));
}

TsuiMainMenu::~TsuiMainMenu() = default;

void TsuiMainMenu::HookItems()
{
    HookMenu(Items(), false);
    emit ItemsRebuilt();
}

void TsuiMainMenu::MenuChanged()
{
    TMainMenu::MenuChanged();
    HookMenu(Items(), false);
    emit ItemsChanged();
}

void TsuiMainMenu::Loaded()
{
    TMainMenu::Loaded();
    // A skinned form shows the menu itself: the window's own menu bar gives it up.
    if (auto* form = qobject_cast<TForm*>(Owner())) {
        if (form->Menu() == this)
            form->SetMenu(nullptr);
        for (TControl* c : form->ControlList())
            if (c->inherits("TsuiForm")) {
                c->setProperty("Menu", QVariant::fromValue(this));
                break;
            }
    }
    HookItems();
}

void TsuiMainMenu::SetUseSystemFont(bool v)
{
    TsuiMenuSkin::SetUseSystemFont(v);
    emit UseSystemFontChanged();
}

void TsuiMainMenu::AddShortcutsTo(QWidget* window)
{
    if (!window)
        return;
    std::function<void(TMenuItem*)> add = [&](TMenuItem* item) {
        for (int i = 0; i < item->Count(); ++i) {
            TMenuItem* child = item->Items(i);
            if (child->ShortCut() != 0 && !window->actions().contains(child->Action()))
                window->addAction(child->Action());
            add(child);
        }
    };
    add(Items());
}

TImageList* TsuiMainMenu::ItemImages() const { return qobject_cast<TImageList*>(Images()); }

void TsuiMainMenu::WatchFileTheme(TsuiFileTheme* oldTheme, TsuiFileTheme* newTheme)
{
    if (oldTheme)
        RemoveFreeNotification(oldTheme);
    if (newTheme)
        FreeNotification(newTheme);
}

void TsuiMainMenu::Notification(QObject* AComponent, TOperation Operation)
{
    TMainMenu::Notification(AComponent, Operation);
    if (Operation == opRemove)
        FileThemeRemoved(AComponent);
}
