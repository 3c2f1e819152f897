// The selection tool on the document's overlay, the floating pixels and the editor's clipboard:
// cut, copy, delete, the pastes, the text placement and select-all. The clipboard is the main
// window's three pictures, shared by every document; the system clipboard is never touched.
//
// The shared pictures are never shared between slots: each slot owns its picture, and taking a
// picture over from another slot copies it. A picture therefore cannot be freed under a slot that
// still shows it, whichever document replaces it.

#include "document/newiconview.h"

#include "document/canvas_mouse.h"
#include "document/editor_state.h"
#include "framework/beep.h"
#include "framework/canvas.h"
#include "framework/cursors.h"
#include "framework/exceptions.h"
#include "imaging/bitmap/image32.h"

#include <QCursor>
#include <QMetaObject>
#include <QPointer>
#include <algorithm>

namespace {

TEditorState* State()
{
    return RequiredEditorState();
}

QString CellText(int x, int y)
{
    return QString::number(x) + QLatin1Char(',') + QString::number(y);
}

// The zoom and the current format on the main window's status labels.
void ShowZoomAndFormat(Tnewiconview& doc)
{
    TEditorState* s = State();
    const int f = doc.CurrentFormat();
    s->SetLabelText(QStringLiteral("bigbig"), QString::number(doc.Zoom * 100) + QStringLiteral(" %"));
    s->SetLabelText(QStringLiteral("formaticon"), doc.FormatTable.Width(f) + QStringLiteral(" * ") +
                                                      doc.FormatTable.Height(f) + QStringLiteral(" - ") +
                                                      doc.FormatTable.Kind(f));
}

// A rectangle one image cell wide or high shows no outline.
bool MarqueeVisible(const TRect& r, int zoom)
{
    return !IsRectEmpty(r) && r.Right / zoom - r.Left / zoom != 1 && r.Bottom / zoom - r.Top / zoom != 1;
}

// The zoom of the canvas the rectangle was last drawn for (0 before the first).
int& SelectionRectZoom()
{
    static int zoom = 0;
    return zoom;
}

QPointer<Tnewiconview>& FloatingOwner()
{
    static QPointer<Tnewiconview> owner;
    return owner;
}

// The document the shared rectangle was drawn in.
QPointer<Tnewiconview>& SelectionOwner()
{
    static QPointer<Tnewiconview> owner;
    return owner;
}

} // namespace

// A tool change then drops what floats (the caption of BitBtn5 says nothing was dropped yet).
void Tnewiconview::MarkCanvasTouched()
{
    if (auto* flag = qobject_cast<TControl*>(FindComponent(QStringLiteral("BitBtn5"))))
        flag->SetCaption(QStringLiteral("false"));
    State()->CanvasTouched = 1;
}

void Tnewiconview::MarkFloatingOwner()
{
    FloatingOwner() = this;
}

bool Tnewiconview::OwnsSelection() const
{
    return SelectionOwner() == this;
}

void Tnewiconview::TakeSelection()
{
    if (OwnsSelection())
        return;
    // The document that held the rectangle loses its marquee.
    if (Tnewiconview* before = SelectionOwner(); before && before->PaintBox1)
        before->PaintBox1->update();
    SelectionRect() = Rect(0, 0, 0, 0);
    SelectionRectZoom() = Zoom;
    SelectionOwner() = this;
}

void Tnewiconview::ClaimSelection()
{
    Tnewiconview* owner = FloatingOwner();
    if (owner && owner != this && owner->HasFloatingPixels())
        owner->BitBtn1Click(owner);
    FloatingOwner() = HasFloatingPixels() ? this : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Drawing

void Tnewiconview::FitSelectionToZoom()
{
    if (!OwnsSelection())
        return;
    int& zoom = SelectionRectZoom();
    if (zoom >= 1 && Zoom >= 1 && zoom != Zoom) {
        const TRect cells = SelectionCells(SelectionRect(), zoom);
        SelectionRect() = Rect(cells.Left * Zoom, cells.Top * Zoom, cells.Right * Zoom, cells.Bottom * Zoom);
    }
    zoom = Zoom;
}

void Tnewiconview::ShowSelectionAtZoom()
{
    FitSelectionToZoom();
    if (HasFloatingPixels())
        RedrawWithFloatingPixels();
    if (PaintBox1)
        PaintBox1->update();
}

void Tnewiconview::DrawSelectionMarquee()
{
    SelectionRectZoom() = Zoom;
    MarqueeDotted = true;
    MarqueeWidth = 1;
    if (PaintBox1)
        PaintBox1->update();
}

void Tnewiconview::RedrawWithFloatingPixels()
{
    TEditorState* s = State();
    if (FloatingSelection)
        ReplaceImage(s->FloatingImage, CloneImage(PastedImage));
    DrawFloatingOverlay();
    NoteFloatingPlace();
}

void Tnewiconview::NoteFloatingPlace()
{
    if (HasFloatingPixels() && !IsRectEmpty(SelectionRect()) && Zoom >= 1)
        FloatingCells = SelectionCells(SelectionRect(), Zoom);
}

void Tnewiconview::PaintBox1Paint(TObject*)
{
    FitSelectionToZoom();
    const TRect r = SelectionRect();
    const int z = Zoom;
    if (MarqueeDotted && z >= 1 && OwnsSelection() && MarqueeVisible(r, z)) {
        // The outline inverts what lies under it, so it shows on any picture.
        TCanvas* canvas = PaintBox1->Canvas();
        canvas->Pen()->SetColor(clWhite);
        canvas->Pen()->SetStyle(psDot);
        canvas->Pen()->SetMode(pmXor);
        canvas->Pen()->SetWidth(MarqueeWidth);
        canvas->Brush()->SetStyle(bsClear);
        const int l = SnapToCell(r.Left, z), t = SnapToCell(r.Top, z), rr = SnapToCell(r.Right, z),
                  b = SnapToCell(r.Bottom, z);
        canvas->Polyline({{l, t}, {rr, t}, {rr, b}, {l, b}, {l, t}});
    }
    // Moving the picture from inside a paint would repaint the canvas within this paint.
    if (FloatingSelection && !FloatingPlaced)
        QMetaObject::invokeMethod(this, [this] { PlaceFloatingPixels(); }, Qt::QueuedConnection);
}

void Tnewiconview::PlaceFloatingPixels()
{
    if (!FloatingSelection || FloatingPlaced)
        return;
    const TSize size = ImageSize(PastedImage);
    TakeSelection();
    SelectionRect() = Rect(0, 0, size.cx * Zoom, size.cy * Zoom);
    SelectionRectZoom() = Zoom;
    RedrawWithFloatingPixels();
    FloatingPlaced = true;
    if (PaintBox1)
        PaintBox1->update();
}

// ---------------------------------------------------------------------------------------------
// The mouse on the overlay

void Tnewiconview::StartSelectionRectangle(int px, int py)
{
    TRect& r = SelectionRect();
    const int z = Zoom;
    const int w = SnapToCell(iconview->Width(), z), h = SnapToCell(iconview->Height(), z);
    if (!PtInRect(Rect(0, 0, w, h), Point(px, py)))
        return;
    SelectionMoved = false;
    if (FloatingSelection) {
        const TSize size = ImageSize(PastedImage);
        r = Rect(0, 0, size.cx * z + z, size.cy * z + z);
    } else {
        r = Rect(px, py, px + z, py + z);
        SelectAnchorX = r.Left;
        SelectAnchorY = r.Top;
    }
    MoveLastX = px;
    MoveLastY = py;
    SelectingRect = true;
    // The pointer stays on the image while the rectangle is dragged out.
    CursorClipRect = Rect(0, 0, w, h);
}

void Tnewiconview::DropFloatingPixels()
{
    TEditorState* s = State();
    TRect& r = SelectionRect();
    const bool floating = HasFloatingPixels();
    if (FloatingSelection) {
        ReplaceImage(s->FloatingImage, CloneImage(PastedImage));
        FloatingSelection = false;
    }
    MarqueeDotted = false;
    if (auto* flag = qobject_cast<TControl*>(FindComponent(QStringLiteral("BitBtn5"))))
        flag->SetCaption(QStringLiteral("true"));
    DrawFloatingOverlay();
    if (floating) {
        LandFloatingPixels(SelectionCells(r, Zoom));
    }
    r = Rect(0, 0, 0, 0);
    RepaintFormatList();
    UpdateThumbnails();
    MoveStarted = false;
    SelectionActive = true;
    DroppedAtPress = floating;
    ReplaceImage(s->FloatingImage, NewTransparentBitmap(CurrentWidth, CurrentHeight));
    SortFormatsKeepingCurrent();
}

void Tnewiconview::PaintBox1MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y)
{
    TEditorState* s = State();
    const int z = Zoom;
    if (z < 1)
        return;
    ClaimSelection();
    TakeSelection();
    FitSelectionToZoom();
    DroppedAtPress = false;
    s->SetLabelText(QStringLiteral("beginxy"), CellText(X / z + 1, Y / z + 1));
    ShowZoomAndFormat(*this);
    EnsureBaseState();
    SelectPressX = X;
    SelectPressY = Y;
    DropRedoTail();
    MarkCanvasTouched();
    SelectionLifted = false;
    SelectionActive = false;
    MarqueeDotted = true;
    // What the press works on, drawn afresh: the backdrop may be stale after an eraser set-up.
    RedrawWithFloatingPixels();

    TRect& r = SelectionRect();
    const int px = SnapToCell(X, z), py = SnapToCell(Y, z);
    if (SelectingRect) {
        // A second press while a rectangle is dragged out moves its far corner there.
        if (px != SnapToCell(r.Right, z) || py != SnapToCell(r.Bottom, z)) {
            r.Right = px + z;
            r.Bottom = py + z;
        }
    } else if (IsRectEmpty(r)) {
        StartSelectionRectangle(px, py);
    } else if (PtInRect(r, Point(px, py))) {
        // The pixels follow the pointer from the pressed cell on.
        MoveLastX = px;
        MoveLastY = py;
        if (!MoveStarted) {
            MoveStarted = true;
            if (FloatingSelection) {
                RedrawWithFloatingPixels();
            } else {
                SelectionEverLifted = true;
                LiftCells = SelectionCells(r, z);
                ReplaceImage(s->FloatingImage, CopyCells(CurrentImage(), LiftCells, true));
                SelectionLifted = true;
            }
            MarkFloatingOwner();
            NoteFloatingPlace();
        }
        MovingSelection = true;
    } else {
        DropFloatingPixels();
        StartSelectionRectangle(px, py);
    }
    MarqueeDotted = true;
    DrawSelectionMarquee();
}

void Tnewiconview::PaintBox1MouseMove(TObject*, TShiftState, int X, int Y)
{
    TEditorState* s = State();
    const int z = Zoom;
    if (z < 1)
        return;
    FitSelectionToZoom();
    if (SelectingRect && !IsRectEmpty(CursorClipRect)) {
        X = std::clamp(X, CursorClipRect.Left, CursorClipRect.Right - 1);
        Y = std::clamp(Y, CursorClipRect.Top, CursorClipRect.Bottom - 1);
    }
    if (!SelectingRect)
        s->SetLabelText(QStringLiteral("beginxy"), CellText(X / z + 1, Y / z + 1));
    ShowZoomAndFormat(*this);

    TRect& r = SelectionRect();
    const bool overSelection = OwnsSelection() && X >= r.Left && X <= r.Right && Y >= r.Top && Y <= r.Bottom;
    if (SelectingRect || !overSelection) {
        SetCursorShape(1, LoadedToolCursor(1));
        PaintBox1->SetCursor(1);
    } else {
        PaintBox1->SetCursor(crSizeAll);
    }

    const int sx = SnapToCell(X, z), sy = SnapToCell(Y, z);
    if (MovingSelection) {
        SelectionEverLifted = true;
        SelectionMoved = true;
        OffsetRect(r, sx - SnapToCell(MoveLastX, z), sy - SnapToCell(MoveLastY, z));
        MoveLastX = sx;
        MoveLastY = sy;
        PaintBox1->update();
        RedrawWithFloatingPixels();
    }
    // Every move of the drag reaches the rectangle: skipping the pointer's cell when it lies just
    // past the far corner would leave a diagonal drag one cell short.
    if (SelectingRect) {
        s->SetLabelText(QStringLiteral("whsize"), CellText(X / z + 1, Y / z + 1));
        if (FloatingSelection) {
            const TSize size = ImageSize(PastedImage);
            r.Right = size.cx * z;
            r.Bottom = size.cy * z + z;
            ReplaceImage(s->FloatingImage, CloneImage(PastedImage));
        } else {
            DragRectangle(r, sx, sy, SelectAnchorX, SelectAnchorY, z);
        }
        DrawSelectionMarquee();
    }
}

void Tnewiconview::PaintBox1MouseUp(TObject*, TMouseButton, TShiftState, int X, int Y)
{
    TEditorState* s = State();
    const int z = Zoom;
    if (z < 1)
        return;
    FitSelectionToZoom();
    SetCutCopyControls(!JustPasted);
    JustPasted = false;

    TRect& r = SelectionRect();
    if (SelectingRect) {
        OrderRectangle(r, z);
        CursorClipRect = TRect();
        SelectingRect = false;
        DrawSelectionMarquee();
    }
    if (MovingSelection) {
        RedrawWithFloatingPixels();
        MovingSelection = false;
    }
    UpdateThumbnails();
    RepaintFormatList();

    if (X == SelectPressX && Y == SelectPressY) {
        // A click drops whatever floats and is one undo step, changed or not.
        DropFloatingIntoFormat();
        PasteShown = 0;
        RecordStepWithoutBaseCheck();
    } else if (DroppedAtPress) {
        RecordStepWithoutBaseCheck();
    }
    DroppedAtPress = false;
    // The pixels under a new rectangle are ready for a paste. A click leaves no rectangle, and
    // the picture of an earlier cut or copy stays.
    if (GpBitmap* picture = CopyCellsInside(CurrentImage(), SelectionCells(r, z))) {
        ReplaceImage(s->SelectionBuffer, picture);
        UpdateThumbnails();
    }
}

void Tnewiconview::SetCutCopyControls(bool enabled)
{
    TEditorState* s = State();
    for (const char* name : {"ToolButton8", "ToolButton9", "ToolButton11", "Cut1", "Copy1", "Delete1"})
        s->SetControlEnabled(QLatin1String(name), enabled);
    s->SetControlHint(QStringLiteral("ToolButton11"), enabled ? QStringLiteral("Delete") : QStringLiteral("Delete image format"));
}

// ---------------------------------------------------------------------------------------------
// Commands

void Tnewiconview::CommitFloatingPixels()
{
    if (HasFloatingPixels())
        BitBtn1Click(this);
}

bool Tnewiconview::CancelFloatingPixels()
{
    if (!HasFloatingPixels())
        return false;
    TEditorState* s = State();
    const bool lifted = HasLiftedPixels();
    if (lifted)
        CompositeInto(CurrentImage(), s->FloatingImage, LiftCells.Left, LiftCells.Top);
    FloatingSelection = false;
    MoveStarted = false;
    MovingSelection = false;
    SelectionRect() = Rect(0, 0, 0, 0);
    ReplaceImage(s->FloatingImage, NewTransparentBitmap(CurrentWidth, CurrentHeight));
    RebuildView();
    UpdateThumbnails();
    return lifted;
}

void Tnewiconview::BitBtn4Click(TObject*)
{
    FloatingPlaced = false;
}

void Tnewiconview::CancelSelect1Click(TObject*)
{
    State()->RunMainCommand(QStringLiteral("N30Click"));
}

bool Tnewiconview::CopySelection(TCopyMode mode)
{
    TEditorState* s = State();
    ClaimSelection();
    // A rectangle drawn in another document selects nothing here.
    if (!OwnsSelection() && !HasFloatingPixels()) {
        MessageBeep(0);
        return false;
    }
    OpacityBaseStale = true;
    s->SetTrackBarPosition(QStringLiteral("layer_a"), 255);
    FitSelectionToZoom();
    TRect& r = SelectionRect();
    const TRect cells = SelectionCells(r, Zoom);
    const TSize size{cells.Width(), cells.Height()};
    // Floating pixels are what the user sees selected: cut and copy take them, not the format
    // under them, and only cut and delete let them go.
    const bool floating = HasFloatingPixels();
    bool keepFloating = false;
    if (mode != TCopyMode::Delete) {
        // An empty selection copies nothing and leaves the clipboard's picture as it was.
        if (floating) {
            GpImage* picture = FloatingSelection ? PastedImage : s->FloatingImage;
            if (picture)
                ReplaceImage(s->SelectionBuffer, CloneImage(picture));
            keepFloating = mode == TCopyMode::Copy;
        } else {
            if (GpBitmap* picture = CopyCellsInside(CurrentImage(), cells))
                ReplaceImage(s->SelectionBuffer, picture);
            if (mode == TCopyMode::Cut && !SelectionLifted) {
                ClearCells(CurrentImage(), cells);
                SelectionLifted = true;
            }
        }
        SelectingRect = false;
        MarqueeDotted = keepFloating;
    } else {
        if (!floating && !SelectionLifted)
            ClearCells(CurrentImage(), cells);
        r = Rect(0, 0, 0, 0);
    }
    if (!keepFloating) {
        FloatingSelection = false;
        MoveStarted = false;
        ReplaceImage(s->FloatingImage, size.cx > 0 && size.cy > 0 ? NewTransparentBitmap(size.cx, size.cy)
                                                                  : NewTransparentBitmap(CurrentWidth, CurrentHeight));
    }
    PaintBox1->Show();
    RedrawWithFloatingPixels();
    PaintBox1->update();
    UpdateThumbnails();
    FloatingOwner() = HasFloatingPixels() ? this : nullptr;
    return true;
}

void Tnewiconview::BitBtn27Click(TObject*)
{
    SelectionLifted = false;
    if (!CopySelection(TCopyMode::Cut))
        return;
    RecordStep();
    RepaintFormatList();
}

void Tnewiconview::BitBtn28Click(TObject*)
{
    CopySelection(TCopyMode::Copy);
}

void Tnewiconview::BitBtn31Click(TObject*)
{
    if (!CopySelection(TCopyMode::Delete))
        return;
    RecordStep();
    RepaintFormatList();
}

void Tnewiconview::PasteFrom(GpImage* picture, bool scaled)
{
    TEditorState* s = State();
    MarkFloatingOwner();
    MarkCanvasTouched();
    FloatingPlaced = false;
    ReplaceImage(PastedImage, scaled ? StretchNearest(picture, CurrentWidth, CurrentHeight) : CloneImage(picture));
    FloatingSelection = true;
    MoveStarted = false;
    PaintBox1->Show();
    const TSize size = ImageSize(PastedImage);
    TakeSelection();
    SelectionRect() = Rect(0, 0, size.cx * Zoom, size.cy * Zoom);
    SelectionRectZoom() = Zoom;
    RedrawWithFloatingPixels();
    FloatingPlaced = true;
    DrawSelectionMarquee();
    MarqueeWidth = 2;
    s->SetControlEnabled(QStringLiteral("ToolButton8"), false);
    s->SetControlEnabled(QStringLiteral("ToolButton9"), false);
    s->SetControlHint(QStringLiteral("ToolButton11"), QStringLiteral("Delete image format"));
    s->SetControlEnabled(QStringLiteral("ToolButton11"), false);
    s->SetControlEnabled(QStringLiteral("ToolButton10"), true);
}

namespace {

// The picture a paste takes: the last Cut or Copy's for the first paste after it, the kept paste
// picture afterwards. Null when there is nothing to paste.
GpImage* PasteSource(TEditorState* s)
{
    if (s->PasteState == 1 || !s->PasteBuffer) {
        if (!s->SelectionBuffer)
            return nullptr;
        ReplaceImage(s->PasteBuffer, CloneImage(s->SelectionBuffer));
        s->PasteState = 2;
    } else {
        ReplaceImage(s->SelectionBuffer, CloneImage(s->PasteBuffer));
    }
    return s->SelectionBuffer;
}

} // namespace

void Tnewiconview::BitBtn15Click(TObject*)
{
    TEditorState* s = State();
    ClaimSelection();
    GpImage* picture = PasteSource(s);
    if (!picture) {
        MessageBeep(0);
        return;
    }
    // The previous paste, and pixels lifted out of the format, land where they are first.
    if (PasteShown == 1 || HasLiftedPixels())
        DropFloatingIntoFormat();
    RecordStepWithoutBaseCheck();
    JustPasted = true;
    PasteFrom(picture, false);
    PasteShown = 1;
}

void Tnewiconview::BitBtn16Click(TObject*)
{
    TEditorState* s = State();
    ClaimSelection();
    GpImage* picture = PasteSource(s);
    if (!picture) {
        MessageBeep(0);
        return;
    }
    // Pixels lifted out of the format land where they are before the paste floats over them.
    if (HasLiftedPixels())
        BitBtn1Click(this);
    PasteFrom(picture, true);
}

void Tnewiconview::BitBtn17Click(TObject*)
{
    GpImage* text = TextImage();
    if (!text) {
        MessageBeep(0);
        return;
    }
    ClaimSelection();
    if (HasLiftedPixels())
        BitBtn1Click(this);
    MarkFloatingOwner();
    TakeSelection();
    MarkCanvasTouched();
    FloatingPlaced = false;
    ReplaceImage(PastedImage, CloneImage(text));
    FloatingSelection = true;
    MoveStarted = false;
    PaintBox1->Show();
    RedrawWithFloatingPixels();
    DrawSelectionMarquee();
}

void Tnewiconview::BitBtn38Click(TObject*)
{
    TEditorState* s = State();
    Selectall1Click(this);
    s->CurrentTool = 1;
    s->SelectToolImage(0, 1);
}

void Tnewiconview::Selectall1Click(TObject*)
{
    // Whatever floats lands first, so that everything the user sees is what gets selected.
    ClaimSelection();
    if (HasFloatingPixels())
        BitBtn1Click(this);
    SelectWholeCanvas();
    // Whichever way everything was selected, it can be cut, copied and deleted at once.
    SetCutCopyControls(true);
}

void Tnewiconview::Copy1Click(TObject*)
{
    ReplaceImage(State()->SelectionBuffer, CloneImage(CurrentImage()));
}
