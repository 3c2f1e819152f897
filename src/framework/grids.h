#pragma once

// The framework's grids: TCustomGrid lays out rows and columns of cells (fixed ones first, the
// others scrolled by its own scroll bars), keeps a current cell and a selection, moves them by
// mouse and keys, lets columns and rows be sized by dragging their lines, and edits a cell in a
// small edit laid over it (TInplaceEdit). TDrawGrid leaves the painting of every cell to its
// OnDrawCell handler.
//
// Cell rectangles are in client coordinates, right and bottom exclusive; the grid line of a cell
// lies after it (to its right and below it), GridLineWidth pixels wide.

#include "framework/edit.h"

#include <vector>

class QScrollBar;
class TCustomGrid;

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
enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };
Q_ENUM_NS(TGridState)
} // namespace GridTypes
Q_DECLARE_OPERATORS_FOR_FLAGS(GridTypes::TGridOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(GridTypes::TGridDrawState)
using namespace GridTypes;

struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

struct TGridCoord {
    int X = 0, Y = 0;
    friend bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const QString& Value)>;

// The edit a grid lays over the cell being edited. Keys that move between cells go on to the
// grid; the text goes back to the cell when the editor hides or moves.
class TInplaceEdit : public TCustomEdit {
    Q_OBJECT
public:
    explicit TInplaceEdit(TCustomGrid* grid);

    TCustomGrid* Grid() const { return grid_; }
    // Takes the current cell's text and edit limit.
    virtual void UpdateContents();
    // Places the editor on rect and shows it.
    void Move(const TRect& rect);
    void Deselect();

protected:
    // The editor's size or place changed: the text area is laid out again.
    virtual void BoundsChanged();
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void resizeEvent(QResizeEvent* e) override;
    // Hands a key to the grid and swallows it.
    void SendToGrid(WORD& key, TShiftState shift);

private:
    TCustomGrid* grid_;
};

class TCustomGrid : public TCustomControl {
    Q_OBJECT
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
    Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE SetCtl3D)
    Q_PROPERTY(int VisibleColCount READ VisibleColCount)
    Q_PROPERTY(int VisibleRowCount READ VisibleRowCount)
    Q_PROPERTY(int Col READ Col WRITE SetCol)
    Q_PROPERTY(int Row READ Row WRITE SetRow)
    Q_PROPERTY(int TopRow READ TopRow WRITE SetTopRow)
    Q_PROPERTY(int LeftCol READ LeftCol WRITE SetLeftCol)
    Q_PROPERTY(bool EditorMode READ EditorMode WRITE SetEditorMode)

public:
    explicit TCustomGrid(QWidget* parent = nullptr);
    ~TCustomGrid() override;

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
    // Setting a default size gives every column (row) that size.
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
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool v);
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    // Whole cells shown after the fixed ones.
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
    void SetSelection(const TGridRect& r);
    TGridState GridState() const { return gridState_; }

    // The cell's rectangle in client coordinates, cut to the cell area; empty when it is not
    // shown.
    TRect CellRect(int col, int row) const;
    // The cell under a client point; false when there is none.
    bool MouseToCell(int x, int y, int& col, int& row) const;
    // The cell under a client point, (-1, -1) when there is none.
    TGridCoord MouseCoord(int x, int y) const;
    // The area the cells are drawn in: the client area less the border and the scroll bars.
    TRect CellArea() const;
    // The grid's own scroll bars.
    QScrollBar* NativeScrollBar(Qt::Orientation o) const;
    void InvalidateCell(int col, int row);
    void InvalidateRow(int row);

    bool EditorMode() const { return editorMode_; }
    void SetEditorMode(bool v);
    void ShowEditor();
    void HideEditor();
    // The editor, once it has been created.
    TInplaceEdit* InplaceEditor() const { return editor_; }
    bool EditorShowing() const;

    void SetBounds(int left, int top, int width, int height) override;

    // For the editor: the keys it hands on, and the text and limit of the current cell.
    void GridKeyDown(WORD& key, TShiftState shift) { KeyDown(key, shift); }
    void GridKeyPress(QChar& key) { KeyPress(key); }
    virtual QString GetEditText(int col, int row);
    virtual void SetEditText(int col, int row, const QString& value);
    virtual int GetEditLimit();
    virtual bool CanEditAcceptKey(QChar key);
    virtual bool CanEditModify() { return true; }

protected:
    // Paints one cell after the grid filled it (DefaultDrawing on); the default does nothing.
    virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
    // Asked before the current cell moves; false keeps it.
    virtual bool SelectCell(int col, int row);
    virtual void TopLeftChanged();
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    // The grid's scroll bars have new ranges, sizes or positions.
    virtual void ScrollBarsChanged();
    virtual bool CanGridAcceptKey(WORD key, TShiftState shift);
    virtual bool CanEditShow();
    virtual TInplaceEdit* CreateEditor();
    // Whether the point lies on a line that sizes a column or a row, and which.
    bool SizingAt(int x, int y, TGridState& state, int& index) const;
    // Ends column or row sizing, cell selection by dragging and moving, as a cancelled mouse
    // capture does.
    void CancelMouseState();
    // Puts the editor on the current cell (or hides it when it may not show).
    void UpdateEdit();
    void HideEdit();
    // The editor's text goes to its cell.
    void UpdateText();
    bool GridFocused() const;
    // The framework's own drawing flag, switched without repainting (for derived painting that
    // does the default drawing itself).
    void SetDefaultDrawingQuiet(bool v) { defaultDrawing_ = v; }
    // Ends editor mode without touching the editor (a refusal to show it).
    void LeaveEditorMode() { editorMode_ = false; }

    void Paint() override;
    void Resize() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void wheelEvent(QWheelEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

    void FocusCell(int col, int row, bool moveAnchor);

private:
    struct Axis;
    Axis ColAxis() const;
    Axis RowAxis() const;
    void UpdateScrollRanges();
    void MakeVisible(int col, int row);
    void ResizeExtents();

    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    TColor fixedColor_ = clBtnFace;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    bool defaultDrawing_ = true;
    int gridLineWidth_ = 1;
    TGridOptions options_ = TGridOptions(goFixedVertLine) | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    TScrollStyle scrollBars_ = ssBoth;
    bool ctl3D_ = true;
    int col_ = 1;
    int row_ = 1;
    int topRow_ = 1;
    int leftCol_ = 1;
    TGridRect selection_{1, 1, 1, 1};
    QScrollBar* hNative_ = nullptr;
    QScrollBar* vNative_ = nullptr;
    bool updatingRanges_ = false;
    TGridState gridState_ = gsNormal;
    int sizingIndex_ = -1;
    int sizingOrigin_ = 0;
    int sizingStart_ = 0;
    TInplaceEdit* editor_ = nullptr;
    bool editorMode_ = false;
    int inplaceCol_ = -1;
    int inplaceRow_ = -1;
};

class TDrawGrid : public TCustomGrid {
    Q_OBJECT
public:
    explicit TDrawGrid(QWidget* parent = nullptr) : TCustomGrid(parent) {}

    QString GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const QString& value) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TNotifyEvent OnTopLeftChanged;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;

protected:
    // Runs OnDrawCell.
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    bool SelectCell(int col, int row) override;
    void TopLeftChanged() override;
};
