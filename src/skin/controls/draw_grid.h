#pragma once

// The skinned draw grid: an owner-drawn grid of cells (OnDrawCell paints them) with fixed rows
// and columns, a current cell, a selection and scroll bars of its own, framed and coloured from
// the theme, and able to drive a pair of skinned scroll bars laid over its own. The framework of
// this program has no draw grid, so the grid's own behaviour lives here as well.

#include "framework/controls.h"
#include "skin/controls/scroll_bar.h"
#include "skin/theme_items.h"

class QScrollBar;
class TsuiFileTheme;
class TsuiScrollBarLink;

namespace GridTypes {
Q_NAMESPACE
enum TGridOption {
    goFixedVertLine = 0x1,
    goFixedHorzLine = 0x2,
    goVertLine = 0x4,
    goHorzLine = 0x8,
    goRangeSelect = 0x10,
    goDrawFocusSelected = 0x20,
    goRowSizing = 0x40,
    goColSizing = 0x80,
    goRowMoving = 0x100,
    goColMoving = 0x200,
    goEditing = 0x400,
    goTabs = 0x800,
    goRowSelect = 0x1000,
    goAlwaysShowEditor = 0x2000,
    goThumbTracking = 0x4000,
};
Q_DECLARE_FLAGS(TGridOptions, TGridOption)
Q_FLAG_NS(TGridOptions)
enum TGridDrawStateFlag { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
Q_DECLARE_FLAGS(TGridDrawState, TGridDrawStateFlag)
} // namespace GridTypes
Q_DECLARE_OPERATORS_FOR_FLAGS(GridTypes::TGridOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(GridTypes::TGridDrawState)
using namespace GridTypes;

struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;

class TsuiCustomDrawGrid : public TCustomControl {
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
    Q_PROPERTY(int ColCount READ ColCount WRITE SetColCount)
    Q_PROPERTY(int RowCount READ RowCount WRITE SetRowCount)
    Q_PROPERTY(int FixedCols READ FixedCols WRITE SetFixedCols)
    Q_PROPERTY(int FixedRows READ FixedRows WRITE SetFixedRows)
    Q_PROPERTY(uint FixedColor READ FixedColor WRITE SetFixedColor)
    Q_PROPERTY(int DefaultColWidth READ DefaultColWidth WRITE SetDefaultColWidth)
    Q_PROPERTY(int DefaultRowHeight READ DefaultRowHeight WRITE SetDefaultRowHeight)
    Q_PROPERTY(bool DefaultDrawing READ DefaultDrawing WRITE SetDefaultDrawing)
    Q_PROPERTY(int GridLineWidth READ GridLineWidth WRITE SetGridLineWidth)
    Q_PROPERTY(GridTypes::TGridOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(ControlTypes::TScrollStyle ScrollBars READ ScrollBars WRITE SetScrollBars)
    Q_PROPERTY(int VisibleColCount READ VisibleColCount)
    Q_PROPERTY(int VisibleRowCount READ VisibleRowCount)
    Q_PROPERTY(int Col READ Col WRITE SetCol)
    Q_PROPERTY(int Row READ Row WRITE SetRow)
    Q_PROPERTY(int TopRow READ TopRow WRITE SetTopRow)
    Q_PROPERTY(int LeftCol READ LeftCol WRITE SetLeftCol)

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
    bool Ctl3D() const { return false; }
    void SetCtl3D(bool) {}

    int ColCount() const { return colCount_; }
    void SetColCount(int v);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int v);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int v);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int v);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor c);
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int v);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int v);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool v);
    int GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int v);
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions o);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle s);
    int VisibleColCount() const;
    int VisibleRowCount() const;

    int Col() const { return col_; }
    void SetCol(int c) { FocusCell(c, row_, true); }
    int Row() const { return row_; }
    void SetRow(int r) { FocusCell(col_, r, true); }
    int TopRow() const { return topRow_; }
    void SetTopRow(int r);
    int LeftCol() const { return leftCol_; }
    void SetLeftCol(int c);
    TGridRect Selection() const { return selection_; }

    // The cell's rectangle in client coordinates; empty when it is not shown.
    TRect CellRect(int col, int row) const;
    // The cell under a client point; false when there is none.
    bool MouseToCell(int x, int y, int& col, int& row) const;
    // The grid's own scroll bars, under the skinned ones.
    QScrollBar* NativeScrollBar(Qt::Orientation o) const;
    TsuiScrollBarLink* ScrollBarLink() const { return link_; }

    void Notification(QObject* AComponent, TOperation Operation) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;
    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool v) override;

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TNotifyEvent OnTopLeftChanged;

protected:
    // Fills the cell (DefaultDrawing on, cells that are not fixed) in SelectedColor, FocusedColor
    // or Color by its state, then runs the grid's own cell drawing (OnDrawCell).
    virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
    void Paint() override;
    void Resize() override;
    void EnabledChanged() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void wheelEvent(QWheelEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    TRect CellArea() const;
    void UpdateScrollRanges();
    void FocusCell(int col, int row, bool moveAnchor);
    void MakeVisible(int col, int row);
    int LastTopRow() const;
    int LastLeftCol() const;

    TsuiUIStyle style_ = DeepBlue;
    TsuiFileTheme* fileTheme_ = nullptr;
    TColor borderColor_ = clBlack;
    TColor focusedColor_ = clGreen;
    TColor selectedColor_ = clYellow;
    TColor fixedFontColor_ = clBlack;
    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    TColor fixedColor_ = clBtnFace;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    bool defaultDrawing_ = true;
    int gridLineWidth_ = 1;
    TGridOptions options_ = TGridOptions(goFixedVertLine) | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    TScrollStyle scrollBars_ = ssBoth;
    int col_ = 1;
    int row_ = 1;
    int topRow_ = 1;
    int leftCol_ = 1;
    TGridRect selection_{1, 1, 1, 1};
    QScrollBar* hNative_ = nullptr;
    QScrollBar* vNative_ = nullptr;
    TsuiScrollBarLink* link_ = nullptr;
    bool updatingRanges_ = false;
};

class TsuiDrawGrid : public TsuiCustomDrawGrid {
    Q_OBJECT
public:
    explicit TsuiDrawGrid(QWidget* parent = nullptr) : TsuiCustomDrawGrid(parent) {}
};
