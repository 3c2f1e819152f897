#include "framework/grids.h"

#include "framework/canvas.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>
#include <climits>

namespace {
constexpr WORD VK_F2 = VK_F1 + 1;
} // namespace

// One direction of the grid: the cells' extents, how many are fixed, the first scrolled cell
// shown and the span [start, end) of the cell area they are laid out in.
struct TCustomGrid::Axis {
    int start = 0, end = 0, lw = 0, count = 0, fixed = 0, first = 0;
    const std::vector<int>* ext = nullptr;

    int Ext(int i) const { return (*ext)[size_t(i)]; }
    int FixedBoundary() const
    {
        int p = start;
        for (int i = 0; i < fixed; ++i)
            p += Ext(i) + lw;
        return p;
    }
    // Where cell i begins; INT_MIN for a scrolled cell before the first shown.
    int Pos(int i) const
    {
        if (i < fixed) {
            int p = start;
            for (int k = 0; k < i; ++k)
                p += Ext(k) + lw;
            return p;
        }
        if (i < first)
            return INT_MIN;
        int p = FixedBoundary();
        for (int k = first; k < i; ++k)
            p += Ext(k) + lw;
        return p;
    }
    // The cell whose extent or line holds p, -1 when none.
    int CellAt(int p) const
    {
        if (p < start || p >= end)
            return -1;
        int pos = start;
        for (int i = 0; i < fixed; ++i) {
            if (p < pos + Ext(i) + lw)
                return i;
            pos += Ext(i) + lw;
        }
        for (int i = first; i < count && pos < end; ++i) {
            if (p < pos + Ext(i) + lw)
                return i;
            pos += Ext(i) + lw;
        }
        return -1;
    }
    // Cells from `from` on that are shown whole.
    int FullCells(int from) const
    {
        int n = 0;
        int pos = FixedBoundary();
        for (int i = from; i < count; ++i) {
            if (pos + Ext(i) > end)
                break;
            ++n;
            pos += Ext(i) + lw;
        }
        return n;
    }
    // The first scrolled cell that shows `last` whole as the last cell (or alone when it does
    // not fit).
    int FirstShowing(int last) const
    {
        const int space = end - FixedBoundary();
        int acc = 0;
        int result = last;
        for (int i = last; i >= fixed; --i) {
            acc += Ext(i);
            if (acc > space)
                break;
            result = i;
            acc += lw;
        }
        return std::max(result, fixed);
    }
    int LastFirst() const { return count > fixed ? FirstShowing(count - 1) : fixed; }
};

// ---- TInplaceEdit --------------------------------------------------------------------------------

TInplaceEdit::TInplaceEdit(TCustomGrid* grid) : TCustomEdit(grid), grid_(grid)
{
    SetBorderStyle(bsNone);
    SetParentFont(true);
    SetAutoSelect(true);
    TControl::SetVisible(false);
    SetParent(grid);
}

void TInplaceEdit::UpdateContents()
{
    SetMaxLength(grid_->GetEditLimit());
    SetText(grid_->GetEditText(grid_->Col(), grid_->Row()));
    SetModified(false);
}

void TInplaceEdit::Move(const TRect& rect)
{
    SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
    BoundsChanged();
    TControl::SetVisible(true);
    raise();
}

void TInplaceEdit::Deselect() { SetSelLength(0); }

void TInplaceEdit::BoundsChanged() { PlaceInner(); }

void TInplaceEdit::resizeEvent(QResizeEvent* e)
{
    TCustomEdit::resizeEvent(e);
    BoundsChanged();
}

void TInplaceEdit::SendToGrid(WORD& key, TShiftState shift)
{
    grid_->GridKeyDown(key, shift);
    key = 0;
}

void TInplaceEdit::KeyDown(WORD& key, TShiftState shift)
{
    TCustomEdit::KeyDown(key, shift);
    const QLineEdit* le = LineEdit();
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE:
        SendToGrid(key, shift);
        break;
    case VK_LEFT:
        if (le->cursorPosition() == 0 && !le->hasSelectedText())
            SendToGrid(key, shift);
        break;
    case VK_RIGHT:
        if (le->cursorPosition() == le->text().size() && !le->hasSelectedText())
            SendToGrid(key, shift);
        break;
    case VK_TAB:
        if (!(shift & ssAlt))
            SendToGrid(key, shift);
        break;
    default:
        break;
    }
}

void TInplaceEdit::KeyPress(QChar& key)
{
    TCustomEdit::KeyPress(key);
    if (key.isNull())
        return;
    if (key.unicode() >= 32 && !grid_->CanEditAcceptKey(key)) {
        key = QChar();
        return;
    }
    if (key == QLatin1Char('\r')) {
        grid_->GridKeyPress(key);
        key = QChar();
        return;
    }
    if (key == QChar(27) || key == QLatin1Char('\t')) {
        key = QChar();
        return;
    }
    if (!grid_->CanEditModify())
        key = QChar();
}

// ---- TCustomGrid -----------------------------------------------------------------------------------

TCustomGrid::TCustomGrid(QWidget* parent) : TCustomControl(parent)
{
    // Double-clicks come through MouseDown (ssDouble); the grid fires DblClick from there.
    SetControlStyle(TControlStyle(csCaptureMouse) | csOpaque | csClickEvents);
    SetFillsBackground(false);
    SetTabStop(true);
    SetColor(clWindow);
    colWidths_.assign(size_t(colCount_), defaultColWidth_);
    rowHeights_.assign(size_t(rowCount_), defaultRowHeight_);
    hNative_ = new QScrollBar(Qt::Horizontal, this);
    vNative_ = new QScrollBar(Qt::Vertical, this);
    connect(vNative_, &QScrollBar::valueChanged, this, [this](int v) { SetTopRow(v); });
    connect(hNative_, &QScrollBar::valueChanged, this, [this](int v) { SetLeftCol(v); });
    for (QScrollBar* b : {hNative_, vNative_}) {
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QScrollBar::rangeChanged, this, [this] {
            if (!updatingRanges_)
                ScrollBarsChanged();
        });
    }
    setMouseTracking(true);
    SetBounds(Left(), Top(), 320, 120);
    UpdateScrollRanges();
}

TCustomGrid::~TCustomGrid() = default;

QScrollBar* TCustomGrid::NativeScrollBar(Qt::Orientation o) const { return o == Qt::Vertical ? vNative_ : hNative_; }

TCustomGrid::Axis TCustomGrid::ColAxis() const
{
    const TRect area = CellArea();
    Axis a;
    a.start = area.Left;
    a.end = area.Right;
    a.lw = gridLineWidth_;
    a.count = colCount_;
    a.fixed = fixedCols_;
    a.first = leftCol_;
    a.ext = &colWidths_;
    return a;
}

TCustomGrid::Axis TCustomGrid::RowAxis() const
{
    const TRect area = CellArea();
    Axis a;
    a.start = area.Top;
    a.end = area.Bottom;
    a.lw = gridLineWidth_;
    a.count = rowCount_;
    a.fixed = fixedRows_;
    a.first = topRow_;
    a.ext = &rowHeights_;
    return a;
}

void TCustomGrid::ResizeExtents()
{
    colWidths_.resize(size_t(colCount_), defaultColWidth_);
    rowHeights_.resize(size_t(rowCount_), defaultRowHeight_);
}

void TCustomGrid::SetColCount(int v)
{
    v = std::max(v, 1);
    if (v == colCount_)
        return;
    HideEdit();
    colCount_ = v;
    ResizeExtents();
    fixedCols_ = std::min(fixedCols_, colCount_ - 1);
    FocusCell(std::min(col_, colCount_ - 1), row_, true);
    UpdateScrollRanges();
}

void TCustomGrid::SetRowCount(int v)
{
    v = std::max(v, 1);
    if (v == rowCount_)
        return;
    HideEdit();
    rowCount_ = v;
    ResizeExtents();
    fixedRows_ = std::min(fixedRows_, rowCount_ - 1);
    FocusCell(col_, std::min(row_, rowCount_ - 1), true);
    UpdateScrollRanges();
}

void TCustomGrid::SetFixedCols(int v)
{
    fixedCols_ = std::clamp(v, 0, colCount_ - 1);
    leftCol_ = std::max(leftCol_, fixedCols_);
    FocusCell(std::max(col_, fixedCols_), row_, true);
    UpdateScrollRanges();
}

void TCustomGrid::SetFixedRows(int v)
{
    fixedRows_ = std::clamp(v, 0, rowCount_ - 1);
    topRow_ = std::max(topRow_, fixedRows_);
    FocusCell(col_, std::max(row_, fixedRows_), true);
    UpdateScrollRanges();
}

void TCustomGrid::SetFixedColor(TColor c)
{
    fixedColor_ = c;
    update();
}

void TCustomGrid::SetDefaultColWidth(int v)
{
    defaultColWidth_ = std::max(v, 0);
    colWidths_.assign(size_t(colCount_), defaultColWidth_);
    UpdateScrollRanges();
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int v)
{
    defaultRowHeight_ = std::max(v, 0);
    rowHeights_.assign(size_t(rowCount_), defaultRowHeight_);
    UpdateScrollRanges();
    RowHeightsChanged();
}

int TCustomGrid::ColWidths(int col) const
{
    return col >= 0 && col < colCount_ ? colWidths_[size_t(col)] : defaultColWidth_;
}

void TCustomGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= colCount_)
        return;
    width = std::max(width, 0);
    if (colWidths_[size_t(col)] == width)
        return;
    colWidths_[size_t(col)] = width;
    UpdateScrollRanges();
    UpdateEdit();
    ColWidthsChanged();
}

int TCustomGrid::RowHeights(int row) const
{
    return row >= 0 && row < rowCount_ ? rowHeights_[size_t(row)] : defaultRowHeight_;
}

void TCustomGrid::SetRowHeights(int row, int height)
{
    if (row < 0 || row >= rowCount_)
        return;
    height = std::max(height, 0);
    if (rowHeights_[size_t(row)] == height)
        return;
    rowHeights_[size_t(row)] = height;
    UpdateScrollRanges();
    UpdateEdit();
    RowHeightsChanged();
}

void TCustomGrid::SetDefaultDrawing(bool v)
{
    defaultDrawing_ = v;
    update();
}

void TCustomGrid::SetGridLineWidth(int v)
{
    gridLineWidth_ = std::max(v, 0);
    UpdateScrollRanges();
}

void TCustomGrid::SetOptions(TGridOptions o)
{
    if (o == options_)
        return;
    options_ = o;
    if (options_ & goRowSelect)
        selection_ = {fixedCols_, row_, colCount_ - 1, row_};
    if (!(options_ & goEditing))
        HideEditor();
    else if (options_ & goAlwaysShowEditor)
        SetEditorMode(true);
    update();
}

void TCustomGrid::SetScrollBars(TScrollStyle s)
{
    scrollBars_ = s;
    UpdateScrollRanges();
}

void TCustomGrid::SetCtl3D(bool v)
{
    ctl3D_ = v;
    update();
}

TRect TCustomGrid::CellArea() const
{
    const int b = BorderWidth();
    const int right = Width() - b - (vNative_ && !vNative_->isHidden() ? vNative_->width() : 0);
    const int bottom = Height() - b - (hNative_ && !hNative_->isHidden() ? hNative_->height() : 0);
    return Rect(b, b, std::max(right, b), std::max(bottom, b));
}

int TCustomGrid::VisibleColCount() const
{
    const Axis a = ColAxis();
    return a.FullCells(leftCol_);
}

int TCustomGrid::VisibleRowCount() const
{
    const Axis a = RowAxis();
    return a.FullCells(topRow_);
}

void TCustomGrid::UpdateScrollRanges()
{
    if (!hNative_ || !vNative_ || updatingRanges_)
        return;
    updatingRanges_ = true;
    // Twice: showing one bar can make the other one needed.
    for (int pass = 0; pass < 2; ++pass) {
        const bool wantV = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
        const bool wantH = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
        vNative_->setVisible(wantV && RowAxis().LastFirst() > fixedRows_);
        hNative_->setVisible(wantH && ColAxis().LastFirst() > fixedCols_);
        const int b = BorderWidth();
        const int ext = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        const int vw = vNative_->isHidden() ? 0 : ext, hh = hNative_->isHidden() ? 0 : ext;
        vNative_->setGeometry(Width() - b - ext, b, ext, std::max(Height() - 2 * b - hh, 0));
        hNative_->setGeometry(b, Height() - b - ext, std::max(Width() - 2 * b - vw, 0), ext);
    }
    const int lastTop = RowAxis().LastFirst(), lastLeft = ColAxis().LastFirst();
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(lastTop, fixedRows_));
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(lastLeft, fixedCols_));
    vNative_->setRange(fixedRows_, lastTop);
    vNative_->setPageStep(std::max(VisibleRowCount(), 1));
    vNative_->setValue(topRow_);
    hNative_->setRange(fixedCols_, lastLeft);
    hNative_->setPageStep(std::max(VisibleColCount(), 1));
    hNative_->setValue(leftCol_);
    updatingRanges_ = false;
    ScrollBarsChanged();
    update();
}

void TCustomGrid::SetTopRow(int r)
{
    r = std::clamp(r, fixedRows_, std::max(RowAxis().LastFirst(), fixedRows_));
    if (r == topRow_)
        return;
    topRow_ = r;
    vNative_->setValue(r);
    update();
    UpdateEdit();
    TopLeftChanged();
}

void TCustomGrid::SetLeftCol(int c)
{
    c = std::clamp(c, fixedCols_, std::max(ColAxis().LastFirst(), fixedCols_));
    if (c == leftCol_)
        return;
    leftCol_ = c;
    hNative_->setValue(c);
    update();
    UpdateEdit();
    TopLeftChanged();
}

void TCustomGrid::SetSelection(const TGridRect& r)
{
    selection_ = r;
    update();
}

TRect TCustomGrid::CellRect(int col, int row) const
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return {};
    const Axis ca = ColAxis(), ra = RowAxis();
    const int x = ca.Pos(col), y = ra.Pos(row);
    if (x == INT_MIN || y == INT_MIN || x >= ca.end || y >= ra.end)
        return {};
    return Rect(x, y, std::min(x + colWidths_[size_t(col)], ca.end), std::min(y + rowHeights_[size_t(row)], ra.end));
}

bool TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const
{
    const int c = ColAxis().CellAt(x), r = RowAxis().CellAt(y);
    if (c < 0 || r < 0)
        return false;
    col = c;
    row = r;
    return true;
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const
{
    TGridCoord g{-1, -1};
    if (!MouseToCell(x, y, g.X, g.Y))
        return {-1, -1};
    return g;
}

void TCustomGrid::InvalidateCell(int col, int row)
{
    const TRect r = CellRect(col, row);
    if (r.Width() > 0 && r.Height() > 0)
        update(r.Left, r.Top, r.Width() + gridLineWidth_, r.Height() + gridLineWidth_);
}

void TCustomGrid::InvalidateRow(int row)
{
    const TRect area = CellArea();
    const TRect r = CellRect(0, row);
    if (r.Height() > 0)
        update(area.Left, r.Top, area.Width(), r.Height() + gridLineWidth_);
}

void TCustomGrid::DrawCell(int, int, const TRect&, TGridDrawState) {}
bool TCustomGrid::SelectCell(int, int) { return true; }
void TCustomGrid::TopLeftChanged() {}
void TCustomGrid::ColWidthsChanged() {}
void TCustomGrid::RowHeightsChanged() {}
void TCustomGrid::ScrollBarsChanged() {}
bool TCustomGrid::CanGridAcceptKey(WORD, TShiftState) { return true; }
bool TCustomGrid::CanEditAcceptKey(QChar) { return true; }
QString TCustomGrid::GetEditText(int, int) { return QString(); }
void TCustomGrid::SetEditText(int, int, const QString&) {}
int TCustomGrid::GetEditLimit() { return 0; }

bool TCustomGrid::GridFocused() const { return hasFocus() || (editor_ && editor_->isAncestorOf(QApplication::focusWidget())); }

void TCustomGrid::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    const bool focused = GridFocused();
    const Axis ca = ColAxis(), ra = RowAxis();
    auto shown = [](const Axis& a) {
        std::vector<int> cells;
        for (int i = 0; i < a.fixed; ++i)
            cells.push_back(i);
        int pos = a.FixedBoundary();
        for (int i = a.first; i < a.count && pos < a.end; ++i) {
            cells.push_back(i);
            pos += a.Ext(i) + a.lw;
        }
        return cells;
    };
    const std::vector<int> rows = shown(ra), cols = shown(ca);
    for (int row : rows) {
        for (int col : cols) {
            const TRect r = CellRect(col, row);
            if (r.Width() <= 0 || r.Height() <= 0)
                continue;
            TGridDrawState state;
            const bool fixed = col < fixedCols_ || row < fixedRows_;
            const bool current = col == col_ && row == row_;
            if (fixed) {
                state |= gdFixed;
            } else {
                if (col >= selection_.Left && col <= selection_.Right && row >= selection_.Top && row <= selection_.Bottom)
                    state |= gdSelected;
                if (current && focused)
                    state |= gdFocused;
            }
            // Lines in the gap after each cell.
            const bool vline = fixed ? bool(options_ & goFixedVertLine) : bool(options_ & goVertLine);
            const bool hline = fixed ? bool(options_ & goFixedHorzLine) : bool(options_ & goHorzLine);
            if (gridLineWidth_ > 0) {
                c->Brush()->SetStyle(bsSolid);
                c->Brush()->SetColor(fixed ? clBlack : clSilver);
                if (vline)
                    c->FillRect(Rect(r.Right, r.Top, r.Right + gridLineWidth_, r.Bottom + gridLineWidth_));
                if (hline)
                    c->FillRect(Rect(r.Left, r.Bottom, r.Right + gridLineWidth_, r.Bottom + gridLineWidth_));
            }
            c->Font()->Assign(Font());
            c->Brush()->SetStyle(bsSolid);
            if (defaultDrawing_) {
                if ((state & gdSelected) && (!(state & gdFocused) || (options_ & (goDrawFocusSelected | goRowSelect)))) {
                    c->Brush()->SetColor(clHighlight);
                    c->Font()->SetColor(clHighlightText);
                } else {
                    c->Brush()->SetColor(fixed ? fixedColor_ : Color());
                }
                c->FillRect(r);
            } else {
                c->Brush()->SetColor(fixed ? fixedColor_ : Color());
            }
            DrawCell(col, row, r, state);
            if (defaultDrawing_ && (state & gdFocused) && !(options_ & goRowSelect)
                && (options_ & (goEditing | goAlwaysShowEditor)) != (goEditing | goAlwaysShowEditor))
                c->DrawFocusRect(r);
        }
    }
}

void TCustomGrid::Resize()
{
    TCustomControl::Resize();
    UpdateScrollRanges();
    UpdateEdit();
}

void TCustomGrid::SetBounds(int left, int top, int width, int height)
{
    TCustomControl::SetBounds(left, top, width, height);
}

void TCustomGrid::MakeVisible(int col, int row)
{
    if (row >= fixedRows_) {
        if (row < topRow_)
            SetTopRow(row);
        else if (const int vis = std::max(VisibleRowCount(), 1); row >= topRow_ + vis)
            SetTopRow(RowAxis().FirstShowing(row));
    }
    if (col >= fixedCols_) {
        if (col < leftCol_)
            SetLeftCol(col);
        else if (const int vis = std::max(VisibleColCount(), 1); col >= leftCol_ + vis)
            SetLeftCol(ColAxis().FirstShowing(col));
    }
}

void TCustomGrid::FocusCell(int col, int row, bool moveAnchor)
{
    col = std::clamp(col, fixedCols_, colCount_ - 1);
    row = std::clamp(row, fixedRows_, rowCount_ - 1);
    if (col != col_ || row != row_) {
        if (!SelectCell(col, row))
            return;
        HideEdit();
    }
    col_ = col;
    row_ = row;
    if (moveAnchor || !(options_ & goRangeSelect))
        selection_ = {col, row, col, row};
    if (options_ & goRowSelect)
        selection_ = {fixedCols_, row, colCount_ - 1, row};
    MakeVisible(col, row);
    // In editor mode the editor follows the current cell.
    UpdateEdit();
    update();
}

bool TCustomGrid::EditorShowing() const { return editor_ && !editor_->isHidden(); }

bool TCustomGrid::CanEditShow()
{
    return (options_ & (goRowSelect | goEditing)) == goEditing && editorMode_
        && ((options_ & goAlwaysShowEditor) || GridFocused());
}

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

void TCustomGrid::SetEditorMode(bool v)
{
    if (v)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::ShowEditor()
{
    editorMode_ = true;
    UpdateEdit();
}

void TCustomGrid::HideEditor()
{
    editorMode_ = false;
    HideEdit();
}

void TCustomGrid::UpdateText()
{
    if (editor_ && inplaceCol_ >= 0 && inplaceRow_ >= 0)
        SetEditText(inplaceCol_, inplaceRow_, editor_->Text());
}

void TCustomGrid::HideEdit()
{
    if (!EditorShowing())
        return;
    const bool hadFocus = editor_->isAncestorOf(QApplication::focusWidget());
    UpdateText();
    inplaceCol_ = inplaceRow_ = -1;
    editor_->TControl::SetVisible(false);
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
    update();
}

void TCustomGrid::UpdateEdit()
{
    if (!editorMode_)
        return;
    if (!CanEditShow()) {
        if (EditorShowing())
            HideEdit();
        return;
    }
    if (!editor_)
        editor_ = CreateEditor();
    const TRect r = CellRect(col_, row_);
    if (r.Width() <= 0 || r.Height() <= 0) {
        // Scrolled out of view: the editor waits, its text kept.
        if (EditorShowing())
            editor_->TControl::SetVisible(false);
        return;
    }
    if (inplaceCol_ != col_ || inplaceRow_ != row_) {
        if (EditorShowing())
            UpdateText();
        inplaceCol_ = col_;
        inplaceRow_ = row_;
        editor_->UpdateContents();
        editor_->SelectAll();
    }
    const bool wasShowing = EditorShowing();
    editor_->Move(r);
    if (!wasShowing && GridFocused())
        editor_->SetFocus();
}

bool TCustomGrid::SizingAt(int x, int y, TGridState& state, int& index) const
{
    const Axis ca = ColAxis(), ra = RowAxis();
    // A line is taken within 2 pixels of it, inside the fixed band that shows the headings.
    auto lineNear = [](const Axis& a, const std::vector<int>& cells, int p) {
        for (int i : cells) {
            const int pos = a.Pos(i);
            if (pos == INT_MIN)
                continue;
            const int edge = pos + a.Ext(i) + a.lw / 2;
            if (p >= edge - 2 && p <= edge + 2)
                return i;
        }
        return -1;
    };
    auto cellsOf = [](const Axis& a) {
        std::vector<int> v;
        int pos = a.FixedBoundary();
        for (int i = 0; i < a.fixed; ++i)
            v.push_back(i);
        for (int i = a.first; i < a.count && pos < a.end; ++i) {
            v.push_back(i);
            pos += a.Ext(i) + a.lw;
        }
        return v;
    };
    if ((options_ & goColSizing) && y >= ra.start && y < ra.FixedBoundary()) {
        const int i = lineNear(ca, cellsOf(ca), x);
        if (i >= 0) {
            state = gsColSizing;
            index = i;
            return true;
        }
    }
    if ((options_ & goRowSizing) && x >= ca.start && x < ca.FixedBoundary()) {
        const int i = lineNear(ra, cellsOf(ra), y);
        if (i >= 0) {
            state = gsRowSizing;
            index = i;
            return true;
        }
    }
    return false;
}

void TCustomGrid::CancelMouseState()
{
    gridState_ = gsNormal;
    sizingIndex_ = -1;
}

void TCustomGrid::KeyDown(WORD& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
    if (key == 0)
        return;
    if (!CanGridAcceptKey(key, shift)) {
        key = 0;
        return;
    }
    const int page = std::max(VisibleRowCount(), 1);
    const bool extend = (shift & ssShift) && (options_ & goRangeSelect);
    switch (key) {
    case VK_UP: FocusCell(col_, row_ - 1, !extend); break;
    case VK_DOWN: FocusCell(col_, row_ + 1, !extend); break;
    case VK_LEFT: FocusCell(col_ - 1, row_, !extend); break;
    case VK_RIGHT: FocusCell(col_ + 1, row_, !extend); break;
    case VK_PRIOR: FocusCell(col_, row_ - page, !extend); break;
    case VK_NEXT: FocusCell(col_, row_ + page, !extend); break;
    case VK_HOME:
        if (shift & ssCtrl)
            FocusCell(col_, fixedRows_, true);
        else
            FocusCell(fixedCols_, row_, true);
        break;
    case VK_END:
        if (shift & ssCtrl)
            FocusCell(col_, rowCount_ - 1, true);
        else
            FocusCell(colCount_ - 1, row_, true);
        break;
    case VK_TAB:
        if (options_ & goTabs) {
            if (shift & ssShift)
                FocusCell(col_ > fixedCols_ ? col_ - 1 : colCount_ - 1, col_ > fixedCols_ ? row_ : row_ - 1, true);
            else
                FocusCell(col_ < colCount_ - 1 ? col_ + 1 : fixedCols_, col_ < colCount_ - 1 ? row_ : row_ + 1, true);
        }
        break;
    case VK_F2:
        if (options_ & goEditing)
            ShowEditor();
        break;
    default:
        return;
    }
    if (extend && key != VK_HOME && key != VK_END && key != VK_TAB) {
        // The selection spans from its anchor to the new current cell.
        selection_.Left = std::min(selection_.Left, col_);
        selection_.Right = std::max(selection_.Right, col_);
        selection_.Top = std::min(selection_.Top, row_);
        selection_.Bottom = std::max(selection_.Bottom, row_);
    }
}

void TCustomGrid::KeyPress(QChar& key)
{
    TCustomControl::KeyPress(key);
    if (key.isNull())
        return;
    if (!(options_ & goAlwaysShowEditor) && key == QLatin1Char('\r')) {
        if (EditorShowing())
            HideEditor();
        else if (options_ & goEditing)
            ShowEditor();
        key = QChar();
        return;
    }
    // A typed character starts editing and goes into the editor, replacing the selected text.
    if ((options_ & goEditing) && !EditorShowing() && (key == QLatin1Char('\b') || key.unicode() >= 32)
        && (key == QLatin1Char('\b') || CanEditAcceptKey(key))) {
        ShowEditor();
        if (EditorShowing()) {
            QKeyEvent press(QEvent::KeyPress, key == QLatin1Char('\b') ? Qt::Key_Backspace : 0, Qt::NoModifier, QString(key));
            QApplication::sendEvent(editor_->focusProxy() ? editor_->focusProxy() : editor_, &press);
        }
        key = QChar();
    }
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (CanFocus() && !GridFocused())
        SetFocus();
    if (button == mbLeft && (shift & ssDouble)) {
        DblClick();
        return;
    }
    if (button == mbLeft) {
        TGridState sizing = gsNormal;
        int index = -1;
        if (SizingAt(x, y, sizing, index)) {
            HideEdit();
            gridState_ = sizing;
            sizingIndex_ = index;
            sizingOrigin_ = sizing == gsColSizing ? x : y;
            sizingStart_ = sizing == gsColSizing ? ColWidths(index) : RowHeights(index);
        } else {
            int col = 0, row = 0;
            if (MouseToCell(x, y, col, row) && col >= fixedCols_ && row >= fixedRows_) {
                const bool again = col == col_ && row == row_;
                if ((shift & ssShift) && (options_ & goRangeSelect)) {
                    FocusCell(col, row, false);
                    selection_.Left = std::min(selection_.Left, col);
                    selection_.Right = std::max(selection_.Right, col);
                    selection_.Top = std::min(selection_.Top, row);
                    selection_.Bottom = std::max(selection_.Bottom, row);
                } else {
                    FocusCell(col, row, true);
                }
                gridState_ = gsSelecting;
                if (again && (options_ & goEditing))
                    ShowEditor();
            }
        }
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y)
{
    if (gridState_ == gsColSizing || gridState_ == gsRowSizing) {
        const int delta = (gridState_ == gsColSizing ? x : y) - sizingOrigin_;
        const int size = std::max(sizingStart_ + delta, 0);
        if (gridState_ == gsColSizing)
            SetColWidths(sizingIndex_, size);
        else
            SetRowHeights(sizingIndex_, size);
    } else if (gridState_ == gsSelecting && (shift & ssLeft) && (options_ & goRangeSelect) && !(options_ & goRowSelect)) {
        int col = 0, row = 0;
        if (MouseToCell(x, y, col, row) && col >= fixedCols_ && row >= fixedRows_) {
            const TGridRect anchor = selection_;
            const int ax = anchor.Left == col_ ? anchor.Right : anchor.Left;
            const int ay = anchor.Top == row_ ? anchor.Bottom : anchor.Top;
            if (SelectCell(col, row)) {
                col_ = col;
                row_ = row;
                selection_ = {std::min(ax, col), std::min(ay, row), std::max(ax, col), std::max(ay, row)};
                MakeVisible(col, row);
                update();
            }
        }
    } else if (!(shift & (ssLeft | ssRight | ssMiddle))) {
        TGridState sizing = gsNormal;
        int index = -1;
        if (SizingAt(x, y, sizing, index))
            setCursor(CursorShape(sizing == gsColSizing ? crHSplit : crVSplit));
        else
            setCursor(CursorShape(Cursor()));
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft)
        CancelMouseState();
    TCustomControl::MouseUp(button, shift, x, y);
}

void TCustomGrid::wheelEvent(QWheelEvent* e)
{
    bool handled = false;
    const QPoint g = e->globalPosition().toPoint();
    Fire(OnMouseWheel, this, ShiftStateFromQt(e->modifiers(), e->buttons()), e->angleDelta().y(), TPoint{g.x(), g.y()}, handled);
    if (!handled && !vNative_->isHidden())
        SetTopRow(topRow_ - e->angleDelta().y() / 120);
    e->accept();
}

void TCustomGrid::focusInEvent(QFocusEvent* e)
{
    TCustomControl::focusInEvent(e);
    UpdateEdit();
    update();
}

void TCustomGrid::focusOutEvent(QFocusEvent* e)
{
    TCustomControl::focusOutEvent(e);
    update();
}

// ---- TDrawGrid -------------------------------------------------------------------------------------

bool TDrawGrid::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnDrawCell", OnDrawCell, h, "TObject*,int,int,TRect,TGridDrawState")
        || BindEventTo(name, "OnSelectCell", OnSelectCell, h, "TObject*,int,int,bool&")
        || BindEventTo(name, "OnTopLeftChanged", OnTopLeftChanged, h, "TObject*")
        || BindEventTo(name, "OnGetEditText", OnGetEditText, h, "TObject*,int,int,QString&")
        || BindEventTo(name, "OnSetEditText", OnSetEditText, h, "TObject*,int,int,QString")
        || TCustomGrid::BindEvent(name, h);
}

void TDrawGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state)
{
    Fire(OnDrawCell, this, col, row, rect, state);
}

bool TDrawGrid::SelectCell(int col, int row)
{
    bool canSelect = true;
    Fire(OnSelectCell, this, col, row, canSelect);
    return canSelect;
}

void TDrawGrid::TopLeftChanged()
{
    TCustomGrid::TopLeftChanged();
    Fire(OnTopLeftChanged, this);
}

QString TDrawGrid::GetEditText(int col, int row)
{
    QString value;
    Fire(OnGetEditText, this, col, row, value);
    return value;
}

void TDrawGrid::SetEditText(int col, int row, const QString& value)
{
    Fire(OnSetEditText, this, col, row, value);
}
