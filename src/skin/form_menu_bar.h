#pragma once

// The menu bar of the skinned windows: a flat bar of drawn, auto-sized buttons, one for each
// top-level item of a main menu, that open the item's submenu (in the menu's own skinned drawing)
// or run the item. The bar wraps its buttons into further rows when they do not fit and takes the
// height of its rows. The MDI frame also puts the three buttons of a maximised child on it.

#include "framework/controls.h"
#include "skin/theme_items.h"

#include <QPointer>
#include <vector>

class QMenu;
class TMainMenu;
class TMenuItem;
class TsuiFileTheme;

class TsuiFormMenuBar : public TCustomControl {
    Q_OBJECT
public:
    explicit TsuiFormMenuBar(QWidget* parent = nullptr);
    ~TsuiFormMenuBar() override;

    TMainMenu* Menu() const { return menu_; }
    // Shows the menu's top-level items (none for no menu).
    void SetMenu(TMainMenu* menu);
    // Where the drawing takes its style and skin file when the menu is not a skinned one.
    void SetStyleSource(TsuiUIStyle style, TsuiFileTheme* fileTheme);
    // The height of one row of buttons.
    int ButtonHeight() const { return buttonHeight_; }
    void SetButtonHeight(int h);
    // Room kept free at the right end of the bar (for the MDI child buttons).
    void SetRightReserve(int w);

    // One button per top-level item, in menu order.
    void RebuildButtons();
    // Captions and enabled states from the items again.
    void RefreshButtons();
    // The bar's font: the system menu font or the skinned menu's own font.
    void UpdateFont();

    int ButtonCount() const { return int(buttons_.size()); }
    TMenuItem* ButtonItem(int index) const;
    QString ButtonCaption(int index) const;
    bool ButtonEnabled(int index) const;
    QRect ButtonRect(int index) const;
    int HotIndex() const { return hot_; }
    int OpenIndex() const { return open_; }
    // The submenu shown for the open button.
    QMenu* OpenMenu() const;
    // Opens the button's submenu below it, or runs an item without sub-items.
    void OpenButton(int index);
    // Opens the button whose caption has c as its accelerator; false when none has.
    bool OpenByAccelerator(QChar c);

protected:
    void Paint() override;
    void Resize() override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseLeave() override;

private:
    struct Button {
        QPointer<TMenuItem> Item;
        QString Caption;
        bool Enabled = true;
        QRect Rect;
    };
    void Layout();
    int ButtonAt(const QPoint& p) const;
    // The style, file and font the drawing uses.
    TsuiUIStyle DrawStyle() const;
    TsuiFileTheme* DrawFileTheme() const;
    void DrawFont(TFont* font) const;

    QPointer<TMainMenu> menu_;
    TsuiUIStyle style_ = DeepBlue;
    QPointer<TsuiFileTheme> fileTheme_;
    int buttonHeight_ = 22;
    int rightReserve_ = 0;
    std::vector<Button> buttons_;
    int hot_ = -1;
    int open_ = -1;
    QPointer<QObject> openMenu_;
};

// The small flat glyph buttons of a maximised MDI child on the frame's menu bar: minimise,
// restore and close.
class TsuiMDIChildButton : public TCustomControl {
    Q_OBJECT
public:
    // frame: 1 minimise, 2 restore, 3 close of the "MDI_CONTROL_BUTTON" strip.
    TsuiMDIChildButton(QWidget* parent, int frame);
    int GlyphFrame() const { return frame_; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    int frame_;
    bool hot_ = false;
    bool down_ = false;
};
