#include "controls/draw_grid.h"

#include "controls/storage/form_placement.h"
#include "controls/storage/placement_store.h"
#include "framework/canvas.h"
#include "framework/forms.h"
#include "framework/string_list.h"
#include "controls/control_text.h"

#include <QMouseEvent>

namespace {

// One-pixel edge lines of a cell, as the platform's inner edges draw them: the left and top
// sides in one colour, the right and bottom sides in the other.
struct EdgeSides {
    bool left, top, right, bottom;
};

void DrawInnerEdge(TCanvas* c, const TRect& r, bool sunken, EdgeSides sides)
{
    if (r.Width() <= 0 || r.Height() <= 0)
        return;
    const TColor light = sunken ? cl3DDkShadow : clBtnHighlight;
    const TColor dark = sunken ? cl3DLight : clBtnShadow;
    c->Brush()->SetStyle(bsSolid);
    // Right and bottom first, then left and top over their corners.
    c->Brush()->SetColor(dark);
    if (sides.right)
        c->FillRect(Rect(r.Right - 1, r.Top, r.Right, r.Bottom));
    if (sides.bottom)
        c->FillRect(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom));
    c->Brush()->SetColor(light);
    if (sides.left)
        c->FillRect(Rect(r.Left, r.Top, r.Left + 1, r.Bottom - (sides.bottom ? 1 : 0)));
    if (sides.top)
        c->FillRect(Rect(r.Left, r.Top, r.Right - (sides.right ? 1 : 0), r.Top + 1));
}

} // namespace

TRxDrawGrid::TRxDrawGrid(QWidget* parent) : TDrawGrid(parent), link_(std::make_unique<TIniLink>())
{
    SetDefaultRowHeight(18);
    SetOptions(TGridOptions(goFixedVertLine) | goFixedHorzLine | goVertLine | goHorzLine | goDrawFocusSelected | goColSizing);
    link_->SaveHandler = [this](TIniLink* l) { StoreLinkSave(l); };
    link_->LoadHandler = [this](TIniLink* l) { StoreLinkLoad(l); };
}

TRxDrawGrid::~TRxDrawGrid()
{
    OnChangeFocus = nullptr;
    link_.reset();
}

TFormPlacement* TRxDrawGrid::IniStorage() const { return link_->Store(); }
void TRxDrawGrid::SetIniStorage(TFormPlacement* placement) { link_->SetStore(placement); }

void TRxDrawGrid::SetFixedButtons(bool v)
{
    if (fixedButtons_ == v)
        return;
    fixedButtons_ = v;
    update();
}

bool TRxDrawGrid::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnColumnSized", OnColumnSized, h, "TObject*")
        || BindEventTo(name, "OnRowSized", OnRowSized, h, "TObject*")
        || BindEventTo(name, "OnEditChange", OnEditChange, h, "TObject*")
        || BindEventTo(name, "OnCancelEdit", OnCancelEdit, h, "TObject*")
        || BindEventTo(name, "OnChangeFocus", OnChangeFocus, h, "TObject*")
        || BindEventTo(name, "OnEditButtonClick", OnEditButtonClick, h, "TObject*")
        || BindEventTo(name, "OnAcceptEditKey", OnAcceptEditKey, h, "TObject*,QChar&,bool&")
        || BindEventTo(name, "OnGetEditLimit", OnGetEditLimit, h, "TObject*,int&")
        || BindEventTo(name, "OnShowEditor", OnShowEditor, h, "TObject*,int,int,bool&")
        || BindEventTo(name, "OnFixedCellClick", OnFixedCellClick, h, "TObject*,int,int")
        || BindEventTo(name, "OnCheckButton", OnCheckButton, h, "TObject*,int,int,bool&")
        || BindEventTo(name, "OnGetEditAlign", OnGetEditAlign, h, "TObject*,int,int,TAlignment&")
        || BindEventTo(name, "OnGetPicklist", OnGetPicklist, h, "TObject*,int,int,TStrings*")
        || BindEventTo(name, "OnGetEditStyle", OnGetEditStyle, h, "TObject*,int,int,TEditStyle&")
        || TDrawGrid::BindEvent(name, h);
}

// ---- storage -------------------------------------------------------------------------------------

void TRxDrawGrid::StoreLinkSave(TIniLink* link)
{
    TObject* store = link->StoreObject();
    if (Name().isEmpty() || !store)
        return;
    SaveGridColumnWidths(this, store, link->RootSection() + DefaultStorageSection(this));
}

void TRxDrawGrid::StoreLinkLoad(TIniLink* link)
{
    TObject* store = link->StoreObject();
    if (Name().isEmpty() || !store)
        return;
    RestoreGridColumnWidths(this, store, link->RootSection() + DefaultStorageSection(this));
}

// ---- painting ------------------------------------------------------------------------------------

void TRxDrawGrid::Paint()
{
    // The framework paints the lines and walks the cells; the cells' default drawing is ours.
    savedDefaultDrawing_ = DefaultDrawing();
    SetDefaultDrawingQuiet(false);
    try {
        TDrawGrid::Paint();
    } catch (...) {
        SetDefaultDrawingQuiet(savedDefaultDrawing_);
        throw;
    }
    SetDefaultDrawingQuiet(savedDefaultDrawing_);
    const TGridOptions o = Options();
    if (savedDefaultDrawing_ && GridFocused() && (o & goRowSelect) && !(o & goRangeSelect) && Row() >= FixedRows()) {
        // One focus rectangle round the cells of the current row after the fixed columns.
        const int first = std::max(FixedCols(), LeftCol());
        TRect box = CellRect(first, Row());
        for (int c = first + 1; c < ColCount(); ++c) {
            const TRect r = CellRect(c, Row());
            if (r.Width() <= 0)
                break;
            box.Right = r.Right;
        }
        if (box.Width() > 0 && box.Height() > 0) {
            if (!(o & goHorzLine))
                box.Bottom += GridLineWidth();
            TCanvas* c = Canvas();
            c->Font()->SetColor(Font()->Color());
            c->Brush()->SetColor(Color());
            c->DrawFocusRect(box);
        }
    }
}

void TRxDrawGrid::DrawCellContent(int col, int row, const TRect& rect, TGridDrawState state)
{
    TDrawGrid::DrawCell(col, row, rect, state);
}

void TRxDrawGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state)
{
    TCanvas* c = Canvas();
    const TGridOptions o = Options();
    const bool fixed = state & gdFixed;
    TRect r = rect;
    if (savedDefaultDrawing_) {
        c->Font()->Assign(Font());
        if ((o & goRowSelect) && !fixed) {
            if (!(o & goVertLine))
                r.Right += GridLineWidth();
            if (!(o & goHorzLine))
                r.Bottom += GridLineWidth();
        }
        c->Brush()->SetStyle(bsSolid);
        if ((state & gdSelected) && (!(state & gdFocused) || (o & (goDrawFocusSelected | goRowSelect)))) {
            c->Brush()->SetColor(clHighlight);
            c->Font()->SetColor(clHighlightText);
        } else {
            c->Brush()->SetColor(fixed ? FixedColor() : Color());
        }
        c->FillRect(r);
    }
    const bool pressed = fixedButtons_ && fixed && Ctl3D() && !IsLoading() && down_ && savedDefaultDrawing_
        && pressed_ == TGridCoord{col, row};
    TRect content = r;
    if (pressed) {
        content.Left += GridLineWidth();
        content.Top += GridLineWidth();
    }
    SetDefaultDrawingQuiet(savedDefaultDrawing_);
    try {
        DrawCellContent(col, row, content, state);
    } catch (...) {
        SetDefaultDrawingQuiet(false);
        throw;
    }
    SetDefaultDrawingQuiet(false);
    if (savedDefaultDrawing_ && fixed && Ctl3D()) {
        const bool v = o & goFixedVertLine, h = o & goFixedHorzLine;
        if (v || h) {
            TRect edge = r;
            if (h && !v)
                edge.Right += GridLineWidth();
            if (v && !h)
                edge.Bottom += GridLineWidth();
            DrawInnerEdge(c, edge, pressed, {v, h, v, h});
        }
    }
    if (savedDefaultDrawing_ && (state & gdFocused) && !((o & goEditing) && (o & goAlwaysShowEditor)) && !(o & goRowSelect))
        c->DrawFocusRect(r);
}

void TRxDrawGrid::InvalidateRowCells(int row)
{
    for (int c = 0; c < ColCount(); ++c)
        InvalidateCell(c, row);
}

// ---- fixed cells as buttons ------------------------------------------------------------------------

bool TRxDrawGrid::IsFixedCell(int col, int row) const
{
    return col >= 0 && row >= 0 && (col < FixedCols() || row < FixedRows());
}

void TRxDrawGrid::CheckFixedButton(int col, int row, bool& enabled)
{
    if (col < 0 || row < 0 || !IsFixedCell(col, row)) {
        enabled = false;
        return;
    }
    Fire(OnCheckButton, this, col, row, enabled);
}

void TRxDrawGrid::FixedCellClicked(int col, int row) { Fire(OnFixedCellClick, this, col, row); }

void TRxDrawGrid::TrackButton(int x, int y)
{
    const TGridCoord cell = MouseCoord(x, y);
    const bool inside = x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight();
    const bool down = inside && cell == pressed_;
    if (down != down_) {
        down_ = down;
        InvalidateCell(cell.X, cell.Y);
        InvalidateCell(pressed_.X, pressed_.Y);
    }
}

void TRxDrawGrid::StopButtonTracking()
{
    if (!tracking_)
        return;
    TrackButton(-1, -1);
    tracking_ = false;
}

void TRxDrawGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    HideEdit();
    if (CanFocus() || !ParentForm()) {
        if (!GridFocused())
            SetFocus();
        if (!GridFocused() && ParentForm() && ParentForm()->isActiveWindow())
            return;
    }
    const TGridCoord cell = MouseCoord(x, y);
    const bool fixedCell = cell.X >= 0 && IsFixedCell(cell.X, cell.Y);
    if (button == mbLeft && (shift & ssDouble) && !(fixedButtons_ && fixedCell)) {
        DblClick();
        return;
    }
    TGridState sizing = gsNormal;
    int index = -1;
    if (!SizingAt(x, y, sizing, index) && fixedCell && fixedButtons_) {
        if (button == mbRight && (Options() & (goRowMoving | goColMoving))) {
            rightMove_ = true;
            TDrawGrid::MouseDown(mbLeft, (shift & ~TShiftState(ssRight)) | ssLeft, x, y);
            return;
        }
        if (button == mbLeft) {
            bool enabled = true;
            CheckFixedButton(cell.X, cell.Y, enabled);
            if (enabled) {
                tracking_ = true;
                pressed_ = cell;
                down_ = false;
                TrackButton(x, y);
            } else {
                DefaultBeep();
            }
            return;
        }
    }
    TDrawGrid::MouseDown(button, shift, x, y);
}

void TRxDrawGrid::MouseMove(TShiftState shift, int x, int y)
{
    if (tracking_)
        TrackButton(x, y);
    TDrawGrid::MouseMove(shift, x, y);
}

void TRxDrawGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (tracking_ && pressed_.X >= 0 && pressed_.Y >= 0) {
        const TGridCoord cell = MouseCoord(x, y);
        const TGridCoord pressed = pressed_;
        StopButtonTracking();
        const bool inside = x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight();
        if (inside && cell == pressed && pressed.X < ColCount() && pressed.Y < RowCount())
            FixedCellClicked(pressed.X, pressed.Y);
        pressed_ = {-1, -1};
    }
    if (rightMove_ && button == mbRight) {
        rightMove_ = false;
        TDrawGrid::MouseUp(mbLeft, shift, x, y);
        return;
    }
    TDrawGrid::MouseUp(button, shift, x, y);
}

void TRxDrawGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const TGridCoord cell = MouseCoord(p.x(), p.y());
    if (e->button() == Qt::LeftButton && fixedButtons_ && cell.X >= 0 && IsFixedCell(cell.X, cell.Y)) {
        // A second press on a button cell is a press again, not a double-click.
        CancelMouseState();
        MouseDown(mbLeft, ShiftStateFromQt(e->modifiers(), e->buttons()), p.x(), p.y());
        return;
    }
    TDrawGrid::mouseDoubleClickEvent(e);
}

void TRxDrawGrid::TopLeftChanged()
{
    StopButtonTracking();
    if ((Options() & goRowSelect) && DefaultDrawing())
        InvalidateRowCells(Row());
    TDrawGrid::TopLeftChanged();
}

void TRxDrawGrid::ColWidthsChanged()
{
    StopButtonTracking();
    TDrawGrid::ColWidthsChanged();
    Fire(OnColumnSized, this);
}

void TRxDrawGrid::RowHeightsChanged()
{
    StopButtonTracking();
    TDrawGrid::RowHeightsChanged();
    Fire(OnRowSized, this);
}

void TRxDrawGrid::focusInEvent(QFocusEvent* e)
{
    TDrawGrid::focusInEvent(e);
    Fire(OnChangeFocus, this);
}

void TRxDrawGrid::focusOutEvent(QFocusEvent* e)
{
    StopButtonTracking();
    TDrawGrid::focusOutEvent(e);
    Fire(OnChangeFocus, this);
}

// ---- editing -------------------------------------------------------------------------------------

TInplaceEdit* TRxDrawGrid::CreateEditor()
{
    auto* ed = new TRxInplaceEdit(this);
    ed->OnChange = [this](TObject*) { EditorTextChanged(); };
    return ed;
}

void TRxDrawGrid::EditorTextChanged()
{
    if (Options() & goAlwaysShowEditor) {
        UpdateText();
        return;
    }
    if (EditorShowing())
        EditChanged();
}

void TRxDrawGrid::EditChanged() { Fire(OnEditChange, this); }

void TRxDrawGrid::EditButtonClicked() { Fire(OnEditButtonClick, this); }

bool TRxDrawGrid::CanEditShow()
{
    bool result = TDrawGrid::CanEditShow();
    if (result && OnShowEditor) {
        Fire(OnShowEditor, this, Col(), Row(), result);
        if (!result)
            LeaveEditorMode();
    }
    return result;
}

bool TRxDrawGrid::CanEditAcceptKey(QChar key)
{
    bool accept = TDrawGrid::CanEditAcceptKey(key);
    if (OnAcceptEditKey)
        Fire(OnAcceptEditKey, this, key, accept);
    return accept;
}

int TRxDrawGrid::GetEditLimit()
{
    int limit = TDrawGrid::GetEditLimit();
    Fire(OnGetEditLimit, this, limit);
    return limit;
}

void TRxDrawGrid::SetEditText(int col, int row, const QString& value)
{
    // A cancelled edit leaves the cell as it was.
    if (!cancelling_)
        TDrawGrid::SetEditText(col, row, value);
}

void TRxDrawGrid::KeyDown(WORD& key, TShiftState shift)
{
    if (!CanGridAcceptKey(key, shift)) {
        key = 0;
        return;
    }
    if (key == VK_ESCAPE && !(shift & ssCtrl) && EditorMode() && EditorShowing() && !(Options() & goAlwaysShowEditor)) {
        cancelling_ = true;
        try {
            HideEditor();
            Fire(OnCancelEdit, this);
        } catch (...) {
            cancelling_ = false;
            throw;
        }
        cancelling_ = false;
        key = 0;
        return;
    }
    TDrawGrid::KeyDown(key, shift);
}

TAlignment TRxDrawGrid::CellEditAlignment(int col, int row)
{
    TAlignment a = taLeftJustify;
    Fire(OnGetEditAlign, this, col, row, a);
    return a;
}

TEditStyle TRxDrawGrid::CellEditStyle(int col, int row)
{
    TEditStyle s = esSimple;
    Fire(OnGetEditStyle, this, col, row, s);
    return s;
}

void TRxDrawGrid::FillPickList(int col, int row, TStrings* list) { Fire(OnGetPicklist, this, col, row, list); }
