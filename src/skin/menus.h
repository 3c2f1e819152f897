#pragma once

// Skinned menus: every item of a TsuiPopupMenu or TsuiMainMenu is measured and painted by the
// menu in the colours of its theme: a coloured bar down the left for images and check marks,
// the shortcut right-aligned, pictures instead of colours in MacOS. The drawing is done by a
// style of ours that the menu gives to its Qt menus and all their submenus.

#include "framework/menus.h"
#include "skin/file_theme.h"
#include "skin/theme_items.h"

#include <QPointer>
#include <memory>

class QMenu;
class TCanvas;
class TFont;
class TImageList;
class TsuiMenuStyle;

// What the drawing needs to know of one item.
struct TsuiMenuItemInfo {
    QString Caption;
    QString ShortCutText;
    bool Selected = false;
    bool Enabled = true;
    bool Checked = false;
    bool Default = false;
    bool HasSubMenu = false;
    int ImageIndex = -1;
    bool IsSeparator() const { return Caption == QLatin1String("-"); }
};

// The settings and drawing both skinned menus share.
class TsuiMenuSkin {
public:
    TsuiMenuSkin();
    virtual ~TsuiMenuSkin();

    TsuiUIStyle UIStyle() const { return style_; }
    // Stores the style and copies the theme's menu values into the menu's own settings.
    void SetUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    // Stores the reference and applies the current style again.
    void SetFileTheme(TsuiFileTheme* fileTheme);

    bool OwnerDraw() const { return true; }
    void SetOwnerDraw(bool) {}
    int MenuItemHeight() const { return menuItemHeight_; }
    // Ignored in MacOS, whose pictures fix the heights.
    void SetMenuItemHeight(int v);
    int SeparatorHeight() const { return separatorHeight_; }
    void SetSeparatorHeight(int v);
    int BarWidth() const { return barWidth_; }
    void SetBarWidth(int v) { barWidth_ = v; }
    TColor BarColor() const { return barColor_; }
    void SetBarColor(TColor v) { barColor_ = v; }
    TColor Color() const { return color_; }
    void SetColor(TColor v) { color_ = v; }
    TColor SeparatorColor() const { return separatorColor_; }
    void SetSeparatorColor(TColor v) { separatorColor_ = v; }
    TColor SelectedBorderColor() const { return selectedBorderColor_; }
    void SetSelectedBorderColor(TColor v) { selectedBorderColor_ = v; }
    TColor SelectedColor() const { return selectedColor_; }
    void SetSelectedColor(TColor v) { selectedColor_ = v; }
    TColor SelectedFontColor() const { return selectedFontColor_; }
    void SetSelectedFontColor(TColor v) { selectedFontColor_ = v; }
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor v) { fontColor_ = v; }
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor v) { borderColor_ = v; }
    bool FlatMenu() const { return flatMenu_; }
    void SetFlatMenu(bool v) { flatMenu_ = v; }
    QString FontName() const { return fontName_; }
    void SetFontName(const QString& v) { fontName_ = v; }
    int FontSize() const { return fontSize_; }
    void SetFontSize(int v) { fontSize_ = v; }
    int FontCharset() const { return fontCharset_; }
    void SetFontCharset(int v) { fontCharset_ = v; }
    bool UseSystemFont() const { return useSystemFont_; }
    virtual void SetUseSystemFont(bool v) { useSystemFont_ = v; }

    // The font items are drawn in: the system's menu font, or FontName, FontSize, FontCharset.
    void ItemFont(TFont* font) const;
    // Width and height of an item: a separator ("-") is SeparatorHeight high, any other item
    // MenuItemHeight; the width is caption + shortcut text + BarWidth + 40 in the item font.
    TSize MeasureItem(const TsuiMenuItemInfo& item) const;
    // Paints an item into rect r of the canvas.
    void DrawItem(TCanvas* canvas, const TRect& r, const TsuiMenuItemInfo& item) const;
    // The frame around a whole menu of the given size: the flat border in the theme's form
    // colour with FlatMenu, else a raised frame. It is two pixels wide.
    void DrawMenuFrame(TCanvas* canvas, const TSize& size) const;

    // The images the items draw from (index ImageIndex), when the user gave the menu a list.
    virtual TImageList* ItemImages() const = 0;

protected:
    // Hands the menu's style to every Qt menu of the item tree, the root's own included when
    // withRoot.
    void HookMenu(TMenuItem* root, bool withRoot);
    TsuiMenuStyle* Style() const { return menuStyle_; }
    void SetMenuStyleObject(TsuiMenuStyle* style) { menuStyle_ = style; }
    // The style at creation, before any theme value is applied.
    void StoreStyle(TsuiUIStyle style) { style_ = style; }
    // The owner's hook for a removed FileTheme; components call it from Notification.
    void FileThemeRemoved(QObject* component);
    virtual void WatchFileTheme(TsuiFileTheme* oldTheme, TsuiFileTheme* newTheme) = 0;

private:
    TsuiUIStyle style_ = DeepBlue;
    TsuiFileTheme* fileTheme_ = nullptr;
    int menuItemHeight_ = 21;
    int separatorHeight_ = 21;
    int barWidth_ = 0;
    TColor barColor_;
    TColor color_;
    TColor separatorColor_ = 0x808080;
    TColor selectedBorderColor_;
    TColor selectedColor_;
    TColor selectedFontColor_;
    TColor fontColor_;
    TColor borderColor_ = 0;
    bool flatMenu_ = false;
    QString fontName_ = QStringLiteral("MS Sans Serif");
    int fontSize_ = 8;
    int fontCharset_ = 1; // DEFAULT_CHARSET
    bool useSystemFont_ = true;
    TsuiMenuStyle* menuStyle_ = nullptr;
};

#define SUI_MENU_PROPERTIES                                                                                      \
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)                                     \
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)                                       \
    Q_PROPERTY(bool OwnerDraw READ OwnerDraw WRITE SetOwnerDraw)                                                 \
    Q_PROPERTY(int MenuItemHeight READ MenuItemHeight WRITE SetMenuItemHeight)                                   \
    Q_PROPERTY(int SeparatorHeight READ SeparatorHeight WRITE SetSeparatorHeight)                                \
    Q_PROPERTY(int BarWidth READ BarWidth WRITE SetBarWidth)                                                     \
    Q_PROPERTY(uint BarColor READ BarColor WRITE SetBarColor)                                                    \
    Q_PROPERTY(uint Color READ Color WRITE SetColor)                                                             \
    Q_PROPERTY(uint SeparatorColor READ SeparatorColor WRITE SetSeparatorColor)                                  \
    Q_PROPERTY(uint SelectedBorderColor READ SelectedBorderColor WRITE SetSelectedBorderColor)                   \
    Q_PROPERTY(uint SelectedColor READ SelectedColor WRITE SetSelectedColor)                                     \
    Q_PROPERTY(uint SelectedFontColor READ SelectedFontColor WRITE SetSelectedFontColor)                         \
    Q_PROPERTY(uint FontColor READ FontColor WRITE SetFontColor)                                                 \
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)                                           \
    Q_PROPERTY(bool FlatMenu READ FlatMenu WRITE SetFlatMenu)                                                    \
    Q_PROPERTY(QString FontName READ FontName WRITE SetFontName)                                                 \
    Q_PROPERTY(int FontSize READ FontSize WRITE SetFontSize)                                                     \
    Q_PROPERTY(int FontCharset READ FontCharset WRITE SetFontCharset)                                            \
    Q_PROPERTY(bool UseSystemFont READ UseSystemFont WRITE SetUseSystemFont)

class TsuiPopupMenu : public TPopupMenu, public TsuiMenuSkin {
    Q_OBJECT
    SUI_MENU_PROPERTIES

public:
    explicit TsuiPopupMenu(QObject* owner = nullptr);
    ~TsuiPopupMenu() override;

    using TsuiMenuSkin::OwnerDraw;
    using TsuiMenuSkin::SetOwnerDraw;

    // Gives the menu's drawing to its Qt menu and every submenu; runs after loading and whenever
    // the items change, so items added later are drawn like the others.
    void HookItems();
    void Popup(int x, int y) override;
    void MenuChanged() override;
    Q_INVOKABLE void Loaded() override;

    TImageList* ItemImages() const override;
    void Notification(QObject* AComponent, TOperation Operation) override;

protected:
    void WatchFileTheme(TsuiFileTheme* oldTheme, TsuiFileTheme* newTheme) override;
};

class TsuiMainMenu : public TMainMenu, public TsuiMenuSkin {
    Q_OBJECT
    SUI_MENU_PROPERTIES

public:
    explicit TsuiMainMenu(QObject* owner = nullptr);
    ~TsuiMainMenu() override;

    using TsuiMenuSkin::OwnerDraw;
    using TsuiMenuSkin::SetOwnerDraw;

    void HookItems();
    void MenuChanged() override;
    Q_INVOKABLE void Loaded() override;
    void SetUseSystemFont(bool v) override;

    // The skinned form that shows this menu as its menu bar (set by that form).
    QObject* ShowingForm() const { return showingForm_; }
    void SetShowingForm(QObject* form) { showingForm_ = form; }
    // Adds every item's action to the window, so that the shortcuts work while the menus are
    // shown by buttons of ours rather than a menu bar.
    void AddShortcutsTo(QWidget* window);

    TImageList* ItemImages() const override;
    void Notification(QObject* AComponent, TOperation Operation) override;

signals:
    // The items were hooked again: the showing form rebuilds its menu-bar buttons.
    void ItemsRebuilt();
    // Captions or enabled states changed: the showing form refreshes its buttons.
    void ItemsChanged();
    void UseSystemFontChanged();

protected:
    void WatchFileTheme(TsuiFileTheme* oldTheme, TsuiFileTheme* newTheme) override;

private:
    QPointer<QObject> showingForm_;
};

// The system's menu font in the menu-text colour.
void SetSystemMenuFont(TFont* font);

// The proxy style that draws the items of a skinned menu's Qt menus.
TsuiMenuSkin* MenuSkinOf(QMenu* menu);
// What the skin knows of the Qt menu's action at index (for tests and the form's menu bar).
TsuiMenuItemInfo MenuItemInfoOf(QAction* action, bool selected);
