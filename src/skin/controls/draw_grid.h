#pragma once

// The skinned draw grid: the framework's draw grid framed and coloured from the theme, and able
// to drive a pair of skinned scroll bars laid over its own.

#include "framework/grids.h"
#include "skin/controls/scroll_bar.h"
#include "skin/theme_items.h"

class TsuiFileTheme;
class TsuiScrollBarLink;

class TsuiCustomDrawGrid : public TDrawGrid {
    Q_OBJECT
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(uint FocusedColor READ FocusedColor WRITE SetFocusedColor)
    Q_PROPERTY(uint SelectedColor READ SelectedColor WRITE SetSelectedColor)
    Q_PROPERTY(uint FixedFontColor READ FixedFontColor WRITE SetFixedFontColor)
    Q_PROPERTY(uint FontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(TsuiScrollBar* VScrollBar READ VScrollBar WRITE SetVScrollBar)
    Q_PROPERTY(TsuiScrollBar* HScrollBar READ HScrollBar WRITE SetHScrollBar)
    Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE SetCtl3D)

public:
    explicit TsuiCustomDrawGrid(QWidget* parent = nullptr);
    ~TsuiCustomDrawGrid() override;

    TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* fileTheme);
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor c);
    TColor FocusedColor() const { return focusedColor_; }
    void SetFocusedColor(TColor c);
    TColor SelectedColor() const { return selectedColor_; }
    void SetSelectedColor(TColor c);
    // Kept and published; the drawing does not use it.
    TColor FixedFontColor() const { return fixedFontColor_; }
    void SetFixedFontColor(TColor c);
    TColor FontColor() const;
    void SetFontColor(TColor c);
    TsuiScrollBar* VScrollBar() const;
    void SetVScrollBar(TsuiScrollBar* bar);
    TsuiScrollBar* HScrollBar() const;
    void SetHScrollBar(TsuiScrollBar* bar);
    // The skinned grid is always flat.
    bool Ctl3D() const { return false; }
    void SetCtl3D(bool) {}

    TsuiScrollBarLink* ScrollBarLink() const { return link_; }

    void Notification(QObject* AComponent, TOperation Operation) override;
    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool v) override;

protected:
    // Fills the cell (DefaultDrawing on, cells that are not fixed) in SelectedColor, FocusedColor
    // or Color by its state, then runs the grid's own cell drawing (OnDrawCell).
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    void Paint() override;
    void EnabledChanged() override;
    void TopLeftChanged() override;
    void ScrollBarsChanged() override;

private:
    TsuiUIStyle style_ = DeepBlue;
    TsuiFileTheme* fileTheme_ = nullptr;
    TColor borderColor_ = clBlack;
    TColor focusedColor_ = clGreen;
    TColor selectedColor_ = clYellow;
    TColor fixedFontColor_ = clBlack;
    TsuiScrollBarLink* link_ = nullptr;
};

class TsuiDrawGrid : public TsuiCustomDrawGrid {
    Q_OBJECT
public:
    explicit TsuiDrawGrid(QWidget* parent = nullptr) : TsuiCustomDrawGrid(parent) {}
};
