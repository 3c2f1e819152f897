#include "skin/menus.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/forms.h"
#include "framework/graphics.h"
#include "framework/imagelist.h"
#include "skin/skin_testing.h"
#include "skin/theme_lookup.h"
#include "skin/theme_pictures.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <gtest/gtest.h>

using namespace SkinTest;

namespace {

QRgb Rgb(TColor c) { return ColorToArgb(c) & 0xFFFFFF; }

// Draws one item into a picture of the given size.
QImage DrawOne(TsuiMenuSkin& skin, const TsuiMenuItemInfo& info, int w = 140, int h = 21)
{
    TsuiOffscreen buffer(w, h);
    buffer.Canvas()->Brush()->SetColor(0x00FF00);
    buffer.Canvas()->FillRect(Rect(0, 0, w, h));
    skin.DrawItem(buffer.Canvas(), Rect(0, 0, w, h), info);
    return buffer.Image().copy();
}

TsuiMenuItemInfo Item(const QString& caption, bool selected = false, bool enabled = true)
{
    TsuiMenuItemInfo i;
    i.Caption = caption;
    i.Selected = selected;
    i.Enabled = enabled;
    return i;
}

TMenuItem* AddItem(TMenuItem* parent, const QString& caption)
{
    auto* item = new TMenuItem(parent);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

} // namespace

TEST(SuiMenu, StartValuesThenStyleValues)
{
    TsuiPopupMenu menu;
    EXPECT_EQ(menu.MenuItemHeight(), 21);
    EXPECT_EQ(menu.SeparatorHeight(), 21);
    EXPECT_EQ(menu.BarWidth(), 0);
    EXPECT_EQ(menu.Color(), clWhite);
    EXPECT_EQ(menu.SelectedColor(), clHighlight);
    EXPECT_TRUE(menu.OwnerDraw());
    menu.SetOwnerDraw(false);
    EXPECT_TRUE(menu.OwnerDraw());

    struct Case {
        TsuiUIStyle style;
        int itemHeight, separatorHeight;
        TColor separatorColor;
    };
    for (const Case& c : {Case{MacOS, 20, 12, 0}, Case{WinXP, 21, 5, 0x848284}, Case{DeepBlue, 21, 5, 0x848284},
                          Case{Protein, 21, 5, 0x848284}, Case{BlueGlass, 21, 5, 0x848284}}) {
        menu.SetUIStyle(c.style);
        EXPECT_EQ(menu.BarWidth(), 26);
        EXPECT_EQ(menu.MenuItemHeight(), c.itemHeight) << int(c.style);
        EXPECT_EQ(menu.SeparatorHeight(), c.separatorHeight);
        EXPECT_EQ(menu.SeparatorColor(), c.separatorColor);
        EXPECT_EQ(menu.BarColor(), GetBuiltinThemeColor(c.style, ThemeItem::MenuBarColor));
        EXPECT_EQ(menu.Color(), GetBuiltinThemeColor(c.style, ThemeItem::MenuBackgroundColor));
        EXPECT_EQ(menu.FontColor(), GetBuiltinThemeColor(c.style, ThemeItem::MenuFontColor));
        EXPECT_EQ(menu.SelectedColor(), GetBuiltinThemeColor(c.style, ThemeItem::MenuSelectedBackgroundColor));
        EXPECT_EQ(menu.SelectedBorderColor(), GetBuiltinThemeColor(c.style, ThemeItem::MenuSelectedBorderColor));
        EXPECT_EQ(menu.SelectedFontColor(), GetBuiltinThemeColor(c.style, ThemeItem::MenuSelectedFontColor));
        // MacOS keeps its heights whatever is assigned.
        menu.SetMenuItemHeight(30);
        menu.SetSeparatorHeight(9);
        EXPECT_EQ(menu.MenuItemHeight(), c.style == MacOS ? 20 : 30);
        EXPECT_EQ(menu.SeparatorHeight(), c.style == MacOS ? 12 : 9);
    }
}

TEST(SuiMenu, MeasureItem)
{
    TsuiPopupMenu menu;
    menu.SetUIStyle(WinXP);
    TFont font;
    menu.ItemFont(&font);
    const QFontMetrics fm(font.ToQFont());
    TsuiMenuItemInfo open = Item(QStringLiteral("&Open..."));
    open.ShortCutText = QStringLiteral("Ctrl+O");
    const TSize s = menu.MeasureItem(open);
    EXPECT_EQ(s.cy, 21);
    EXPECT_EQ(s.cx, fm.horizontalAdvance(QStringLiteral("Open...")) + fm.horizontalAdvance(QStringLiteral("Ctrl+O")) + 26 + 40);
    EXPECT_EQ(menu.MeasureItem(Item(QStringLiteral("-"))).cy, 5);
    menu.SetUIStyle(MacOS);
    EXPECT_EQ(menu.MeasureItem(Item(QStringLiteral("-"))).cy, 12);
    EXPECT_EQ(menu.MeasureItem(open).cy, 20);
}

// Background, bar, selection and text colours of items in every built-in style but MacOS,
// which draws pictures instead.
TEST(SuiMenu, ItemColoursInEachStyle)
{
    TsuiPopupMenu menu;
    for (TsuiUIStyle style : {WinXP, DeepBlue, Protein, BlueGlass}) {
        menu.SetUIStyle(style);
        QImage img = DrawOne(menu, Item(QStringLiteral("Paste")));
        EXPECT_EQ(Px(img, 3, 10), Rgb(menu.BarColor())) << int(style);
        EXPECT_EQ(Px(img, 130, 2), Rgb(menu.Color())) << int(style);

        img = DrawOne(menu, Item(QStringLiteral("Paste"), true));
        EXPECT_EQ(Px(img, 0, 0), Rgb(menu.SelectedBorderColor())) << int(style);
        EXPECT_EQ(Px(img, 139, 20), Rgb(menu.SelectedBorderColor()));
        EXPECT_EQ(Px(img, 3, 10), Rgb(menu.SelectedColor()));
        EXPECT_EQ(Px(img, 130, 2), Rgb(menu.SelectedColor()));

        // A disabled item under the mouse looks unselected, its text grey.
        img = DrawOne(menu, Item(QStringLiteral("WWWW"), true, false));
        EXPECT_EQ(Px(img, 3, 10), Rgb(menu.BarColor()));
        int darkest = 255;
        for (int y = 4; y < 18; ++y)
            for (int x = 30; x < 80; ++x)
                darkest = std::min(darkest, qGray(Px(img, x, y)));
        EXPECT_NEAR(darkest, 0x80, 16);

        // A separator: bar, background and a line at row 2 from BarWidth + 4 to the right - 2.
        img = DrawOne(menu, Item(QStringLiteral("-")), 140, 5);
        EXPECT_EQ(Px(img, 26 + 4, 2), Rgb(0x848284));
        EXPECT_EQ(Px(img, 137, 2), Rgb(0x848284));
        EXPECT_EQ(Px(img, 138, 2), Rgb(menu.Color()));
        EXPECT_EQ(Px(img, 29, 2), Rgb(menu.Color()));
        EXPECT_EQ(Px(img, 3, 2), Rgb(menu.BarColor()));
    }
}

TEST(SuiMenu, MacOSDrawsItsPictures)
{
    TsuiPopupMenu menu;
    menu.SetUIStyle(MacOS);
    TBitmap bar, select;
    LoadSkinResourceBitmap(QStringLiteral("MACOS_MENU_BAR"), &bar);
    LoadSkinResourceBitmap(QStringLiteral("MACOS_MENU_SELECT"), &select);
    ASSERT_FALSE(bar.Empty());
    ASSERT_FALSE(select.Empty());
    // The pictures are cut to 20 rows and stretched over the item (one column wide strips).
    QImage img = DrawOne(menu, Item(QStringLiteral("x")), 100, 20);
    EXPECT_EQ(Px(img, 90, 0), bar.PixelArgb(0, 0) & 0xFFFFFF);
    img = DrawOne(menu, Item(QStringLiteral("x"), true), 100, 20);
    EXPECT_EQ(Px(img, 90, 0), select.PixelArgb(0, 0) & 0xFFFFFF);
    EXPECT_EQ(Px(img, 90, 19), select.PixelArgb(0, 19) & 0xFFFFFF);
}

// A checked item shows the check picture; with an image of the user's list a framed box in
// SelectedColor behind the image instead.
TEST(SuiMenu, CheckMarkOrFramedImage)
{
    TsuiPopupMenu menu;
    menu.SetUIStyle(DeepBlue);
    TsuiMenuItemInfo item = Item(QStringLiteral("Grid"));
    const QImage plain = DrawOne(menu, item);
    item.Checked = true;
    const QImage checked = DrawOne(menu, item);
    int changed = 0;
    for (int y = 3; y < 19; ++y)
        for (int x = 4; x < 20; ++x)
            changed += Px(plain, x, y) != Px(checked, x, y);
    EXPECT_GT(changed, 10);
    EXPECT_EQ(Px(checked, 2, 1), Px(plain, 2, 1)); // no frame

    TImageList images(16, 16);
    TBitmap red(16, 16, pf24bit);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            red.SetPixelArgb(x, y, 0xFFFF0000u);
    images.Add(&red, nullptr);
    menu.SetImages(&images);
    item.ImageIndex = 0;
    const QImage framed = DrawOne(menu, item);
    EXPECT_EQ(Px(framed, 2, 1), 0u);
    EXPECT_EQ(Px(framed, 20, 19), 0u);
    EXPECT_EQ(Px(framed, 3, 2), Rgb(menu.SelectedColor()));
    EXPECT_EQ(Px(framed, 10, 10), 0xFF0000u);
    // An index outside the list is no image.
    item.ImageIndex = 1;
    EXPECT_EQ(Px(DrawOne(menu, item), 2, 1), Px(plain, 2, 1));
}

TEST(SuiMenu, FlatBorderInsideThePopup)
{
    TsuiPopupMenu menu;
    menu.SetUIStyle(WinXP);
    menu.SetFlatMenu(true);
    TsuiOffscreen buffer(50, 40);
    menu.DrawMenuFrame(buffer.Canvas(), {50, 40});
    const QImage img = buffer.Image();
    const QRgb form = Rgb(GetBuiltinThemeColor(WinXP, ThemeItem::FormBackgroundColor));
    EXPECT_EQ(Px(img, 0, 5), 0u);       // left edge black
    EXPECT_EQ(Px(img, 10, 1), 0u);      // frame top one row down
    EXPECT_EQ(Px(img, 1, 5), 0xFFFFFFu); // white inside it
    EXPECT_EQ(Px(img, 10, 0), form);     // top row, right column and bottom row in the form colour
    EXPECT_EQ(Px(img, 49, 20), form);
    EXPECT_EQ(Px(img, 20, 39), form);
}

// The Qt menus take the skin's item heights and colours, also for items added later and for
// submenus.
TEST(SuiMenu, QtMenusUseTheSkin)
{
    TsuiPopupMenu menu;
    menu.SetUIStyle(DeepBlue);
    AddItem(menu.Items(), QStringLiteral("&Copy"));
    AddItem(menu.Items(), QStringLiteral("-"));
    TMenuItem* more = AddItem(menu.Items(), QStringLiteral("More"));
    AddItem(more, QStringLiteral("Inner"));
    menu.Popup(10, 10);
    QMenu* qmenu = menu.PopupQMenu();
    ASSERT_TRUE(qmenu->isVisible());
    EXPECT_EQ(MenuSkinOf(qmenu), static_cast<TsuiMenuSkin*>(&menu));
    const QList<QAction*> actions = qmenu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(qmenu->actionGeometry(actions[0]).height(), 21);
    EXPECT_EQ(qmenu->actionGeometry(actions[1]).height(), 5);
    EXPECT_EQ(MenuSkinOf(more->SubMenu()), static_cast<TsuiMenuSkin*>(&menu));

    const QImage shot = Shot(qmenu);
    const QRect first = qmenu->actionGeometry(actions[0]);
    EXPECT_EQ(Px(shot, first.left() + 3, first.top() + 10), Rgb(menu.BarColor()));
    EXPECT_EQ(Px(shot, first.right() - 3, first.top() + 2), Rgb(menu.Color()));
    qmenu->hide();

    // Added at run time, with a submenu of its own.
    TMenuItem* late = AddItem(menu.Items(), QStringLiteral("Late"));
    AddItem(late, QStringLiteral("Deep"));
    EXPECT_EQ(MenuSkinOf(late->SubMenu()), static_cast<TsuiMenuSkin*>(&menu));
}

TEST(SuiMenu, MainMenuSubmenusAndShortcuts)
{
    TForm form;
    auto* menu = new TsuiMainMenu(&form);
    TMenuItem* file = AddItem(menu->Items(), QStringLiteral("&File"));
    TMenuItem* open = AddItem(file, QStringLiteral("&Open"));
    open->SetShortCut(ShortCut('O', TShiftState(ssCtrl)));
    int opened = 0;
    open->OnClick = [&](TObject*) { ++opened; };
    menu->HookItems();
    EXPECT_EQ(MenuSkinOf(file->SubMenu()), static_cast<TsuiMenuSkin*>(menu));
    menu->AddShortcutsTo(&form);
    EXPECT_TRUE(form.actions().contains(open->Action()));
    menu->AddShortcutsTo(&form);
    EXPECT_EQ(form.actions().count(open->Action()), 1);
    const TsuiMenuItemInfo info = MenuItemInfoOf(open->Action(), false);
    EXPECT_EQ(info.ShortCutText, QStringLiteral("Ctrl+O"));
}

TEST(SuiMenu, FreedFileThemeAppliesDeepBlue)
{
    TForm form;
    auto* theme = new TsuiFileTheme(&form);
    auto* menu = new TsuiPopupMenu(&form);
    menu->SetUIStyle(WinXP);
    menu->SetFileTheme(theme);
    delete theme;
    EXPECT_EQ(menu->FileTheme(), nullptr);
    EXPECT_EQ(menu->UIStyle(), DeepBlue);
    EXPECT_EQ(menu->SelectedColor(), GetBuiltinThemeColor(DeepBlue, ThemeItem::MenuSelectedBackgroundColor));
}
