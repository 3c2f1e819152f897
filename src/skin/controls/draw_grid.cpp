#include "skin/controls/draw_grid.h"

#include "framework/canvas.h"
#include "skin/controls/scroll_bar.h"
#include "skin/controls/scroll_bar_link.h"
#include "skin/file_theme.h"
#include "skin/skin_drawing.h"
#include "skin/theme_lookup.h"

#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

TsuiCustomDrawGrid::TsuiCustomDrawGrid(QWidget* parent) : TCustomControl(parent)
{
    style_ = StartUIStyle(parent);
    SetControlStyle(ControlStyle() | csOpaque);
    SetFillsBackground(false);
    SetTabStop(true);
    SetBorderWidth(1);
    hNative_ = new QScrollBar(Qt::Horizontal, this);
    vNative_ = new QScrollBar(Qt::Vertical, this);
    connect(vNative_, &QScrollBar::valueChanged, this, [this](int v) { SetTopRow(v); });
    connect(hNative_, &QScrollBar::valueChanged, this, [this](int v) { SetLeftCol(v); });
    link_ = new TsuiScrollBarLink(this, TsuiScrollBarLink::lkStrict, 1);
    link_->NativeInfo = [this](Qt::Orientation o) {
        QScrollBar* b = NativeScrollBar(o);
        TsuiNativeScrollInfo info;
        info.Usable = !b->isHidden() && b->isEnabled();
        info.Min = b->minimum();
        info.Max = b->maximum();
        info.Page = b->pageStep();
        info.Position = b->value();
        info.ThumbLength = TsuiScrollBarLink::ThumbLength(b);
        return info;
    };
    link_->ScrollFromBar = [this](Qt::Orientation o, TsuiScrollBar* bar) { NativeScrollBar(o)->setValue(bar->Position()); };
    link_->SetNativeScrollBars = [this](bool h, bool v) { SetScrollBars(h && v ? ssBoth : v ? ssVertical : h ? ssHorizontal : ssNone); };
    for (QScrollBar* b : {hNative_, vNative_})
        connect(b, &QScrollBar::rangeChanged, this, [this] {
            if (!updatingRanges_)
                link_->SyncScrollBars();
        });
    SetBounds(Left(), Top(), 320, 120);
    SetUIStyle(style_);
    UpdateScrollRanges();
}

TsuiCustomDrawGrid::~TsuiCustomDrawGrid() = default;

bool TsuiCustomDrawGrid::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnDrawCell", OnDrawCell, h, "TObject*,int,int,TRect,TGridDrawState")
        || BindEventTo(name, "OnSelectCell", OnSelectCell, h, "TObject*,int,int,bool&")
        || BindEventTo(name, "OnTopLeftChanged", OnTopLeftChanged, h, "TObject*") || TCustomControl::BindEvent(name, h);
}

QScrollBar* TsuiCustomDrawGrid::NativeScrollBar(Qt::Orientation o) const { return o == Qt::Vertical ? vNative_ : hNative_; }

void TsuiCustomDrawGrid::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    borderColor_ = ThemeColor(fileTheme_, style, ThemeItem::ControlBorderColor);
    fixedColor_ = ThemeColor(fileTheme_, style, ThemeItem::MenuSelectedBackgroundColor);
    SetColor(ThemeColor(fileTheme_, style, ThemeItem::ControlBackgroundColor));
    fixedFontColor_ = ThemeColor(fileTheme_, style, ThemeItem::MenuSelectedFontColor);
    const TColor font = ThemeColor(fileTheme_, style, ThemeItem::MenuFontColor);
    Font()->SetColor(font == clWhite ? clBlack : font);
    link_->ApplyStyle(style, fileTheme_);
    update();
}

void TsuiCustomDrawGrid::SetFileTheme(TsuiFileTheme* fileTheme)
{
    if (fileTheme_ != fileTheme) {
        if (fileTheme_)
            RemoveFreeNotification(fileTheme_);
        fileTheme_ = fileTheme;
        if (fileTheme_)
            FreeNotification(fileTheme_);
    }
    SetUIStyle(style_);
}

void TsuiCustomDrawGrid::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(DeepBlue);
    }
}

void TsuiCustomDrawGrid::SetBorderColor(TColor c)
{
    borderColor_ = c;
    update();
}

void TsuiCustomDrawGrid::SetFocusedColor(TColor c)
{
    focusedColor_ = c;
    update();
}

void TsuiCustomDrawGrid::SetSelectedColor(TColor c)
{
    selectedColor_ = c;
    update();
}

void TsuiCustomDrawGrid::SetFixedFontColor(TColor c)
{
    fixedFontColor_ = c;
    update();
}

TColor TsuiCustomDrawGrid::FontColor() const { return Font()->Color(); }

void TsuiCustomDrawGrid::SetFontColor(TColor c)
{
    Font()->SetColor(c);
    update();
}

TsuiScrollBar* TsuiCustomDrawGrid::VScrollBar() const { return link_->VScrollBar(); }
void TsuiCustomDrawGrid::SetVScrollBar(TsuiScrollBar* bar) { link_->SetVScrollBar(bar); }
TsuiScrollBar* TsuiCustomDrawGrid::HScrollBar() const { return link_->HScrollBar(); }
void TsuiCustomDrawGrid::SetHScrollBar(TsuiScrollBar* bar) { link_->SetHScrollBar(bar); }

void TsuiCustomDrawGrid::SetColCount(int v)
{
    colCount_ = std::max(v, 1);
    fixedCols_ = std::min(fixedCols_, colCount_ - 1);
    FocusCell(std::min(col_, colCount_ - 1), row_, true);
    UpdateScrollRanges();
}

void TsuiCustomDrawGrid::SetRowCount(int v)
{
    rowCount_ = std::max(v, 1);
    fixedRows_ = std::min(fixedRows_, rowCount_ - 1);
    FocusCell(col_, std::min(row_, rowCount_ - 1), true);
    UpdateScrollRanges();
}

void TsuiCustomDrawGrid::SetFixedCols(int v)
{
    fixedCols_ = std::clamp(v, 0, colCount_ - 1);
    leftCol_ = std::max(leftCol_, fixedCols_);
    FocusCell(std::max(col_, fixedCols_), row_, true);
    UpdateScrollRanges();
}

void TsuiCustomDrawGrid::SetFixedRows(int v)
{
    fixedRows_ = std::clamp(v, 0, rowCount_ - 1);
    topRow_ = std::max(topRow_, fixedRows_);
    FocusCell(col_, std::max(row_, fixedRows_), true);
    UpdateScrollRanges();
}

void TsuiCustomDrawGrid::SetFixedColor(TColor c)
{
    fixedColor_ = c;
    update();
}

void TsuiCustomDrawGrid::SetDefaultColWidth(int v)
{
    defaultColWidth_ = std::max(v, 0);
    UpdateScrollRanges();
}

void TsuiCustomDrawGrid::SetDefaultRowHeight(int v)
{
    defaultRowHeight_ = std::max(v, 0);
    UpdateScrollRanges();
}

void TsuiCustomDrawGrid::SetDefaultDrawing(bool v)
{
    defaultDrawing_ = v;
    update();
}

void TsuiCustomDrawGrid::SetGridLineWidth(int v)
{
    gridLineWidth_ = std::max(v, 0);
    UpdateScrollRanges();
}

void TsuiCustomDrawGrid::SetOptions(TGridOptions o)
{
    options_ = o;
    update();
}

void TsuiCustomDrawGrid::SetScrollBars(TScrollStyle s)
{
    scrollBars_ = s;
    UpdateScrollRanges();
}

TRect TsuiCustomDrawGrid::CellArea() const
{
    const int b = BorderWidth();
    const int right = Width() - b - (vNative_ && !vNative_->isHidden() ? vNative_->width() : 0);
    const int bottom = Height() - b - (hNative_ && !hNative_->isHidden() ? hNative_->height() : 0);
    return Rect(b, b, std::max(right, b), std::max(bottom, b));
}

namespace {

// How many cells of the given extent fit whole in the space after the fixed ones.
int WholeCells(int space, int extent)
{
    return extent > 0 ? std::max(space / extent, 0) : 0;
}

} // namespace

int TsuiCustomDrawGrid::VisibleColCount() const
{
    const TRect area = CellArea();
    const int step = defaultColWidth_ + gridLineWidth_;
    const int space = area.Width() - fixedCols_ * step;
    return std::min(WholeCells(space + gridLineWidth_, step), colCount_ - leftCol_);
}

int TsuiCustomDrawGrid::VisibleRowCount() const
{
    const TRect area = CellArea();
    const int step = defaultRowHeight_ + gridLineWidth_;
    const int space = area.Height() - fixedRows_ * step;
    return std::min(WholeCells(space + gridLineWidth_, step), rowCount_ - topRow_);
}

int TsuiCustomDrawGrid::LastTopRow() const
{
    const int step = defaultRowHeight_ + gridLineWidth_;
    const int fit = std::max(WholeCells(CellArea().Height() - fixedRows_ * step + gridLineWidth_, step), 1);
    return std::max(rowCount_ - fit, fixedRows_);
}

int TsuiCustomDrawGrid::LastLeftCol() const
{
    const int step = defaultColWidth_ + gridLineWidth_;
    const int fit = std::max(WholeCells(CellArea().Width() - fixedCols_ * step + gridLineWidth_, step), 1);
    return std::max(colCount_ - fit, fixedCols_);
}

void TsuiCustomDrawGrid::UpdateScrollRanges()
{
    if (!hNative_ || !vNative_ || updatingRanges_)
        return;
    updatingRanges_ = true;
    // Twice: showing one bar can make the other one needed.
    for (int pass = 0; pass < 2; ++pass) {
        const bool wantV = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
        const bool wantH = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
        vNative_->setVisible(wantV && LastTopRow() > fixedRows_);
        hNative_->setVisible(wantH && LastLeftCol() > fixedCols_);
        const int b = BorderWidth();
        const int ext = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        const int vw = vNative_->isHidden() ? 0 : ext, hh = hNative_->isHidden() ? 0 : ext;
        vNative_->setGeometry(Width() - b - ext, b, ext, std::max(Height() - 2 * b - hh, 0));
        hNative_->setGeometry(b, Height() - b - ext, std::max(Width() - 2 * b - vw, 0), ext);
    }
    topRow_ = std::clamp(topRow_, fixedRows_, LastTopRow());
    leftCol_ = std::clamp(leftCol_, fixedCols_, LastLeftCol());
    vNative_->setRange(fixedRows_, LastTopRow());
    vNative_->setPageStep(std::max(VisibleRowCount(), 1));
    vNative_->setValue(topRow_);
    hNative_->setRange(fixedCols_, LastLeftCol());
    hNative_->setPageStep(std::max(VisibleColCount(), 1));
    hNative_->setValue(leftCol_);
    updatingRanges_ = false;
    link_->SyncScrollBars();
    update();
}

void TsuiCustomDrawGrid::SetTopRow(int r)
{
    r = std::clamp(r, fixedRows_, LastTopRow());
    if (r == topRow_)
        return;
    topRow_ = r;
    vNative_->setValue(r);
    if (!link_->ScrollingFromBar())
        link_->SyncScrollBars();
    update();
    Fire(OnTopLeftChanged, this);
}

void TsuiCustomDrawGrid::SetLeftCol(int c)
{
    c = std::clamp(c, fixedCols_, LastLeftCol());
    if (c == leftCol_)
        return;
    leftCol_ = c;
    hNative_->setValue(c);
    if (!link_->ScrollingFromBar())
        link_->SyncScrollBars();
    update();
    Fire(OnTopLeftChanged, this);
}

TRect TsuiCustomDrawGrid::CellRect(int col, int row) const
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return {};
    if ((col >= fixedCols_ && col < leftCol_) || (row >= fixedRows_ && row < topRow_))
        return {};
    const TRect area = CellArea();
    const int cstep = defaultColWidth_ + gridLineWidth_, rstep = defaultRowHeight_ + gridLineWidth_;
    const int x = area.Left + (col < fixedCols_ ? col : fixedCols_ + col - leftCol_) * cstep;
    const int y = area.Top + (row < fixedRows_ ? row : fixedRows_ + row - topRow_) * rstep;
    if (x >= area.Right || y >= area.Bottom)
        return {};
    return Rect(x, y, std::min(x + defaultColWidth_, area.Right), std::min(y + defaultRowHeight_, area.Bottom));
}

bool TsuiCustomDrawGrid::MouseToCell(int x, int y, int& col, int& row) const
{
    const TRect area = CellArea();
    if (x < area.Left || y < area.Top || x >= area.Right || y >= area.Bottom)
        return false;
    const int cstep = defaultColWidth_ + gridLineWidth_, rstep = defaultRowHeight_ + gridLineWidth_;
    if (cstep <= 0 || rstep <= 0)
        return false;
    const int cx = (x - area.Left) / cstep, cy = (y - area.Top) / rstep;
    col = cx < fixedCols_ ? cx : leftCol_ + cx - fixedCols_;
    row = cy < fixedRows_ ? cy : topRow_ + cy - fixedRows_;
    return col < colCount_ && row < rowCount_;
}

void TsuiCustomDrawGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state)
{
    TCanvas* c = Canvas();
    if (defaultDrawing_ && !(state & gdFixed)) {
        c->Brush()->SetStyle(bsSolid);
        if (state & gdFocused)
            c->Brush()->SetColor(focusedColor_);
        else if (state & gdSelected)
            c->Brush()->SetColor(selectedColor_);
        else
            c->Brush()->SetColor(Color());
        c->FillRect(rect);
    }
    Fire(OnDrawCell, this, col, row, rect, state);
}

void TsuiCustomDrawGrid::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    const bool focused = hasFocus();
    for (int row = 0; row < rowCount_; ++row) {
        for (int col = 0; col < colCount_; ++col) {
            const TRect r = CellRect(col, row);
            if (r.Width() <= 0 || r.Height() <= 0)
                continue;
            TGridDrawState state;
            const bool fixed = col < fixedCols_ || row < fixedRows_;
            if (fixed) {
                state |= gdFixed;
            } else {
                const bool inSel = col >= selection_.Left && col <= selection_.Right && row >= selection_.Top
                    && row <= selection_.Bottom;
                if (inSel && (!(col == col_ && row == row_) || (options_ & goDrawFocusSelected) || (options_ & goRowSelect)))
                    state |= gdSelected;
                if (col == col_ && row == row_ && focused)
                    state |= gdFocused;
            }
            if (fixed && defaultDrawing_) {
                c->Brush()->SetColor(fixedColor_);
                c->FillRect(r);
            }
            // Lines in the gap after each cell.
            const bool vline = fixed ? bool(options_ & goFixedVertLine) : bool(options_ & goVertLine);
            const bool hline = fixed ? bool(options_ & goFixedHorzLine) : bool(options_ & goHorzLine);
            if (gridLineWidth_ > 0) {
                c->Brush()->SetColor(fixed ? clBlack : clSilver);
                if (vline)
                    c->FillRect(Rect(r.Right, r.Top, r.Right + gridLineWidth_, r.Bottom + gridLineWidth_));
                if (hline)
                    c->FillRect(Rect(r.Left, r.Bottom, r.Right + gridLineWidth_, r.Bottom + gridLineWidth_));
            }
            c->Font()->Assign(Font());
            c->Brush()->SetColor(fixed ? fixedColor_ : Color());
            DrawCell(col, row, r, state);
        }
    }
    DrawWindowFrame(c, TSize{Width(), Height()}, borderColor_, Color(), true);
}

void TsuiCustomDrawGrid::Resize()
{
    TCustomControl::Resize();
    UpdateScrollRanges();
}

void TsuiCustomDrawGrid::SetBounds(int left, int top, int width, int height)
{
    TCustomControl::SetBounds(left, top, width, height);
    if (link_)
        link_->PlaceScrollBars();
}

void TsuiCustomDrawGrid::SetVisible(bool v)
{
    TCustomControl::SetVisible(v);
    if (!link_)
        return;
    if (v)
        link_->PlaceScrollBars();
    else
        link_->HideScrollBars();
}

void TsuiCustomDrawGrid::EnabledChanged()
{
    TCustomControl::EnabledChanged();
    if (link_)
        link_->SyncScrollBars();
}

void TsuiCustomDrawGrid::MakeVisible(int col, int row)
{
    if (row >= fixedRows_) {
        if (row < topRow_)
            SetTopRow(row);
        else if (const int vis = std::max(VisibleRowCount(), 1); row >= topRow_ + vis)
            SetTopRow(row - vis + 1);
    }
    if (col >= fixedCols_) {
        if (col < leftCol_)
            SetLeftCol(col);
        else if (const int vis = std::max(VisibleColCount(), 1); col >= leftCol_ + vis)
            SetLeftCol(col - vis + 1);
    }
}

void TsuiCustomDrawGrid::FocusCell(int col, int row, bool moveAnchor)
{
    col = std::clamp(col, fixedCols_, colCount_ - 1);
    row = std::clamp(row, fixedRows_, rowCount_ - 1);
    if (col != col_ || row != row_) {
        bool canSelect = true;
        Fire(OnSelectCell, this, col, row, canSelect);
        if (!canSelect)
            return;
    }
    col_ = col;
    row_ = row;
    if (moveAnchor || !(options_ & goRangeSelect))
        selection_ = {col, row, col, row};
    if (options_ & goRowSelect)
        selection_ = {fixedCols_, row, colCount_ - 1, row};
    MakeVisible(col, row);
    update();
}

void TsuiCustomDrawGrid::KeyDown(WORD& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
    const int page = std::max(VisibleRowCount(), 1);
    switch (key) {
    case VK_UP: FocusCell(col_, row_ - 1, true); break;
    case VK_DOWN: FocusCell(col_, row_ + 1, true); break;
    case VK_LEFT: FocusCell(col_ - 1, row_, true); break;
    case VK_RIGHT: FocusCell(col_ + 1, row_, true); break;
    case VK_PRIOR: FocusCell(col_, row_ - page, true); break;
    case VK_NEXT: FocusCell(col_, row_ + page, true); break;
    case VK_HOME: FocusCell(fixedCols_, row_, true); break;
    case VK_END: FocusCell(colCount_ - 1, row_, true); break;
    default: break;
    }
}

void TsuiCustomDrawGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && CanFocus())
        SetFocus();
    int col = 0, row = 0;
    if (button == mbLeft && MouseToCell(x, y, col, row) && col >= fixedCols_ && row >= fixedRows_)
        FocusCell(col, row, true);
    TCustomControl::MouseDown(button, shift, x, y);
}

void TsuiCustomDrawGrid::wheelEvent(QWheelEvent* e)
{
    if (!vNative_->isHidden()) {
        const int steps = e->angleDelta().y() / 120;
        SetTopRow(topRow_ - steps);
        e->accept();
        return;
    }
    TCustomControl::wheelEvent(e);
}

void TsuiCustomDrawGrid::focusInEvent(QFocusEvent* e)
{
    TCustomControl::focusInEvent(e);
    update();
}

void TsuiCustomDrawGrid::focusOutEvent(QFocusEvent* e)
{
    TCustomControl::focusOutEvent(e);
    update();
}
