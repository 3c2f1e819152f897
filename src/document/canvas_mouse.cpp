#include "document/canvas_mouse.h"

#include "document/editor_state.h"
#include "document/newiconview.h"
#include "drawing/drawing_target.h"
#include "framework/cursors.h"
#include "framework/exceptions.h"
#include "framework/palette.h"
#include "imaging/bitmap/image32.h"
#include "platform/icon_handle.h"
#include "platform/program_paths.h"

#include <QCursor>
#include <QImage>
#include <QPixmap>

namespace {

TDrawingEngines& Engines()
{
    static TDrawingEngines engines;
    return engines;
}

TEditorState* State()
{
    return RequiredEditorState();
}

// Tools whose moves and releases reach an engine.
bool DrawingTool(int tool)
{
    switch (tool) {
    case 2: case 4: case 5: case 6: case 7: case 8: case 11: case 12: return true;
    default: return false;
    }
}

QString CellText(int x, int y)
{
    return QString::number(x) + QLatin1Char(',') + QString::number(y);
}

// Both update brackets of a canvas, closed on every path.
class TCanvasUpdate {
public:
    explicit TCanvasUpdate(TImage32* image) : image_(image)
    {
        image_->BeginUpdate();
        image_->Bitmap()->BeginUpdate();
    }
    ~TCanvasUpdate()
    {
        image_->Bitmap()->EndUpdate();
        image_->EndUpdate();
    }
    TCanvasUpdate(const TCanvasUpdate&) = delete;
    TCanvasUpdate& operator=(const TCanvasUpdate&) = delete;

private:
    TImage32* image_;
};

void Redraw(Tnewiconview& doc, TImage32* canvas)
{
    {
        TCanvasUpdate update(canvas);
        doc.FillCheckerboard(canvas);
        doc.DrawFormatOver(canvas);
    }
    canvas->Repaint();
}

// The move's engine by tool and by how the drag end lies to its start.
void RunPreview(Tnewiconview& doc, int tool)
{
    const TDrawingEngines& e = Engines();
    const bool sameX = doc.DragEndX == doc.DragStartX, sameY = doc.DragEndY == doc.DragStartY;
    if (sameX && sameY) {
        RunDrawingEngine(doc, e.LinePreview, QStringLiteral("xy"));
        return;
    }
    const bool oneAxis = sameX || sameY;
    const QString marker = QStringLiteral("dorvelt");
    switch (tool) {
    case 2: RunDrawingEngine(doc, e.LinePreview, marker); break;
    case 4: RunDrawingEngine(doc, e.FreehandStroke, marker); break;
    case 12: RunDrawingEngine(doc, e.FreehandStroke, QStringLiteral("dorv")); break;
    case 5: RunDrawingEngine(doc, oneAxis ? e.LinePreview : e.RectanglePreview, marker); break;
    case 6: if (!oneAxis) RunDrawingEngine(doc, e.FilledRectanglePreview, marker); break;
    case 7: if (!oneAxis) RunDrawingEngine(doc, e.EllipsePreview, marker); break;
    case 8: if (!oneAxis) RunDrawingEngine(doc, e.FilledEllipsePreview, marker); break;
    case 11: RunDrawingEngine(doc, e.Frame3DPreview, marker); break;
    default: break;
    }
}

void RunCommit(Tnewiconview& doc, int tool)
{
    const TDrawingEngines& e = Engines();
    const QString marker = QStringLiteral("dorvelt");
    TDrawingEngine engine = e.LineCommit;
    if (doc.DragEndX != doc.DragStartX && doc.DragEndY != doc.DragStartY) {
        switch (tool) {
        case 5: engine = e.RectangleCommit; break;
        case 6: engine = e.FilledRectangleCommit; break;
        case 7: engine = e.EllipseCommit; break;
        case 8: engine = e.FilledEllipseCommit; break;
        case 11: engine = e.Frame3DCommit; break;
        default: break; // the line, and the freehand tools, whose start always follows the end
        }
    }
    RunDrawingEngine(doc, engine, marker);
}

} // namespace

// The cursor files are read once; every move puts the tool's cursor into its slot again.
const QCursor& LoadedToolCursor(int n)
{
    static QCursor cursors[12];
    static bool loaded[12] = {};
    if (!loaded[n]) {
        cursors[n] = ToolCursor(n);
        loaded[n] = true;
    }
    return cursors[n];
}

void SetDrawingEngines(const TDrawingEngines& engines)
{
    Engines() = engines;
}

const TDrawingEngines& InstalledDrawingEngines()
{
    return Engines();
}

void AttachCanvasMouse(Tnewiconview* doc)
{
    if (!doc || !doc->iconview)
        return;
    doc->iconview->OnMouseDown = [doc](TObject*, TMouseButton button, TShiftState shift, int x, int y, TCustomLayer*) {
        CanvasMouseDown(*doc, button, shift, x, y);
    };
    doc->iconview->OnMouseMove = [doc](TObject*, TShiftState shift, int x, int y, TCustomLayer*) {
        CanvasMouseMove(*doc, shift, x, y);
    };
    doc->iconview->OnMouseUp = [doc](TObject*, TMouseButton button, TShiftState shift, int x, int y, TCustomLayer*) {
        CanvasMouseUp(*doc, button, shift, x, y);
    };
    doc->iconview->OnMouseLeave = [doc](TObject*) { CanvasMouseLeave(*doc); };
}

TDrawingTarget DrawingTargetOf(Tnewiconview& doc)
{
    TEditorState* s = State();
    TDrawingTarget t;
    t.DragStartX = doc.DragStartX;
    t.DragStartY = doc.DragStartY;
    t.DragEndX = doc.DragEndX;
    t.DragEndY = doc.DragEndY;
    t.ShiftMode = doc.ShiftMode;
    t.MouseIsDown = doc.MouseIsDown;
    t.StrokeButton = doc.FormatTable.StrokeButton();
    t.StrokeColorA = doc.StrokeColorA;
    t.StrokeColorR = doc.StrokeColorR;
    t.StrokeColorG = doc.StrokeColorG;
    t.StrokeColorB = doc.StrokeColorB;
    t.CurrentKind = doc.CurrentKind;
    t.CurrentWidth = doc.CurrentWidth;
    t.CurrentHeight = doc.CurrentHeight;
    t.Zoom = doc.Zoom;
    t.FormatImage = doc.CurrentImage();
    t.EraseBaseImage = doc.EraseBaseImage;
    t.PatternPaths[0] = doc.FormatTable.PatternPath(0);
    t.PatternPaths[1] = doc.FormatTable.PatternPath(1);
    t.iconview = doc.iconview;
    t.iconviewbg = doc.iconviewbg;
    t.bgimage = doc.bgimage;
    t.CurrentTool = s->CurrentTool;
    t.PenWidth = s->PenWidth;
    t.LineCapStyle = s->LineCapStyle;
    t.FillStyle = s->FillStyle;
    t.RadialCenterX = s->RadialCenterX;
    t.RadialCenterY = s->RadialCenterY;
    t.GradientImageFile = s->GradientImageFile;
    t.EditText = [s](const QString& name) { return s->EditText(name); };
    t.SetEditText = [s](const QString& name, const QString& text) { s->SetEditText(name, text); };
    return t;
}

void RunDrawingEngine(Tnewiconview& doc, TDrawingEngine engine, const QString& marker)
{
    if (!engine)
        return;
    TDrawingTarget t = DrawingTargetOf(doc);
    // Taken back even when the engine ends with an exception: it may already have replaced the
    // erase base copy.
    struct TakeBack {
        Tnewiconview& doc;
        TDrawingTarget& t;
        ~TakeBack()
        {
            doc.DragStartX = t.DragStartX;
            doc.DragStartY = t.DragStartY;
            doc.EraseBaseImage = t.EraseBaseImage;
        }
    } takeBack{doc, t};
    engine(t, marker);
}

void ReducePaletteFormat(Tnewiconview& doc)
{
    const QImage* format = GdipImageData(doc.CurrentImage());
    // The format's own table: the one its file brought, else its kind's fixed one.
    const TPaletteEntries& palette = doc.ActiveFormatPalette();
    if (palette.empty() || !format || PaletteBitsOfKind(doc.CurrentKind) == 0)
        return;
    // Computed pixel by pixel: the pixel is blended over white exactly, then mapped to the
    // nearest colour of the table.
    TColorMapper mapper(palette);
    const int w = format->width(), h = format->height();
    QImage reduced(w, h, QImage::Format_ARGB32);
    reduced.fill(0);
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(format->constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(reduced.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = src[x];
            const int a = qAlpha(c);
            if (a < 130)
                continue;
            auto overWhite = [a](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
            const QRgb blended = qRgb(overWhite(qRed(c)), overWhite(qGreen(c)), overWhite(qBlue(c)));
            dst[x] = 0xFF000000u | (palette[size_t(mapper.IndexOf(blended))] & 0x00FFFFFFu);
        }
    }
    doc.SetFormatImage(doc.CurrentFormat(), GdipImageFromQImage(reduced));
}

void PickColour(Tnewiconview& doc, int cellX, int cellY)
{
    TEditorState* s = State();
    ARGB c = 0;
    GdipBitmapGetPixel(doc.CurrentImage(), cellX, cellY, &c);
    const int channels[4] = {int(c >> 24), int((c >> 16) & 0xFF), int((c >> 8) & 0xFF), int(c & 0xFF)};
    const char* suffix[4] = {"a", "r", "g", "b"};
    for (int i = 0; i < 4; ++i) {
        const QString value = QString::number(channels[i]);
        s->SetEditText(QStringLiteral("color") + QLatin1String(suffix[i]), value);
        s->SetTrackBarPosition(QStringLiteral("colorbar") + QLatin1String(suffix[i]), channels[i]);
        s->SetEditText(QStringLiteral("up") + QLatin1String(suffix[i]), value);
    }
    s->RunMainCommand(QStringLiteral("colorbarrChange"));
}

QCursor ToolCursor(int n)
{
    const QString path = ProgramPath(QStringLiteral("cursors\\MY") + QString::number(n) + QStringLiteral(".cur"));
    HCURSOR cursor = LoadCursorFromFile(path);
    ICONINFO info{};
    const QImage image = IconToImage(cursor);
    if (image.isNull() || !GetIconInfo(cursor, &info)) {
        DestroyIcon(cursor);
        return QCursor(Qt::ArrowCursor);
    }
    QCursor shape(QPixmap::fromImage(image), int(info.xHotspot), int(info.yHotspot));
    DestroyIcon(cursor);
    return shape;
}

// ---- the handlers ---------------------------------------------------------------------------------

void CanvasMouseDown(Tnewiconview& doc, TMouseButton button, TShiftState, int x, int y)
{
    TEditorState* s = State();
    doc.EditState = 1;
    doc.EnsureBaseState();
    doc.ListClicked = false;
    doc.RepaintFormatList();
    s->SetControlEnabled(QStringLiteral("ToolButton8"), false);
    s->SetControlEnabled(QStringLiteral("ToolButton9"), false);
    s->SetControlHint(QStringLiteral("ToolButton11"), QStringLiteral("Delete image format"));
    s->SetControlEnabled(QStringLiteral("ToolButton11"), false);
    s->SetControlEnabled(QStringLiteral("ToolButton5"), true);
    s->SetControlEnabled(QStringLiteral("Cut1"), false);
    s->SetControlEnabled(QStringLiteral("Copy1"), false);
    s->SetControlEnabled(QStringLiteral("Delete1"), false);
    doc.DropRedoTail();

    const int zoom = doc.Zoom;
    const int f = doc.CurrentFormat();
    s->SetLabelText(QStringLiteral("bigbig"), QString::number(zoom * 100) + QStringLiteral(" %"));
    s->SetLabelText(QStringLiteral("beginxy"), CellText(x / zoom + 1, y / zoom + 1));
    s->SetLabelText(QStringLiteral("formaticon"), doc.FormatTable.Width(f) + QStringLiteral(" * ") +
                                                      doc.FormatTable.Height(f) + QStringLiteral(" - ") +
                                                      doc.FormatTable.Kind(f));

    doc.StrokeColorA = s->EditText(QStringLiteral("upa")).trimmed();
    doc.StrokeColorR = s->EditText(QStringLiteral("upr")).trimmed();
    doc.StrokeColorG = s->EditText(QStringLiteral("upg")).trimmed();
    doc.StrokeColorB = s->EditText(QStringLiteral("upb")).trimmed();

    // An erasing stroke draws its mask in opaque white and erases from the format as it is now.
    if (s->EditText(QStringLiteral("upa")) == QLatin1String("0")) {
        for (const char* e : {"upa", "upr", "upg", "upb"})
            s->SetEditText(QLatin1String(e), QStringLiteral("255"));
        // An exact copy: the merge writes every pixel back from it, so one drawn over
        // transparency would take the colour channels of the pixels transparent already.
        GpBitmap* base = nullptr;
        GdipCloneImage(doc.CurrentImage(), &base);
        GdipDisposeImage(doc.EraseBaseImage);
        doc.EraseBaseImage = base;
        doc.ClearBackdrop();
    }

    doc.OpacityBaseStale = true;
    s->SetTrackBarPosition(QStringLiteral("layer_a"), 255);
    if (s->CurrentTool == 1 && doc.PaintBox1)
        doc.PaintBox1->Show();

    doc.DragStartX = doc.DragEndX = x / zoom;
    doc.DragStartY = doc.DragEndY = y / zoom;
    doc.MouseIsDown = true;
    // A click without a move draws in the colour of the button pressed, not in that of an
    // earlier drag; the moves of a drag say again which button is held.
    doc.FormatTable.SetStrokeButton(button == mbLeft ? 1 : 2);

    if (s->CurrentTool == 1) {
        // The overlay takes the mouse from here on; this press already starts its selection.
        doc.PaintBox1MouseDown(doc.PaintBox1, mbLeft, TShiftState(), x, y);
    } else if (s->CurrentTool == 3) {
        if (auto bucket = Engines().BucketFill) {
            TDrawingTarget t = DrawingTargetOf(doc);
            // The fill takes the colour pair of the button just pressed, not of the last drag.
            t.StrokeButton = button == mbLeft ? 1 : 2;
            bucket(t);
        }
    } else if (s->CurrentTool == 10) {
        PickColour(doc, x / zoom, y / zoom);
    }
}

void CanvasMouseMove(Tnewiconview& doc, TShiftState shift, int x, int y)
{
    TEditorState* s = State();
    const int tool = s->CurrentTool;
    const int zoom = doc.Zoom;
    if (tool >= 2 && tool <= 12) {
        // The pencil shares the brush's cursor.
        const int n = tool == 12 ? 4 : tool;
        SetCursorShape(n, LoadedToolCursor(n));
        doc.iconview->SetCursor(n);
    }
    if (tool == 1 && doc.MouseIsDown) {
        doc.PaintBox1MouseMove(doc.PaintBox1, shift, x, y);
        return;
    }
    if (!doc.MouseIsDown) {
        if (tool != 10)
            doc.ShowHoverCell(x, y);
        if (x >= 1 && y >= 1 && zoom >= 1)
            s->SetLabelText(QStringLiteral("beginxy"), CellText(x / zoom + 1, y / zoom + 1));
        return;
    }

    doc.ShiftMode = 1;
    if (!doc.GridOff && !doc.GridLayer)
        doc.CreateGridLayer();
    doc.FormatTable.SetStrokeButton(shift.testFlag(ssLeft) ? 1 : 2);
    if (shift.testFlag(ssShift))
        doc.ShiftMode = 2;
    if (!DrawingTool(tool))
        return;
    doc.DragEndX = x / zoom;
    doc.DragEndY = y / zoom;
    s->SetLabelText(QStringLiteral("whsize"), CellText(doc.DragEndX + 1, doc.DragEndY + 1));
    RunPreview(doc, tool);
}

void CanvasMouseLeave(Tnewiconview& doc)
{
    // The hover cell belongs to the pointer; a drag keeps its preview.
    if (!doc.MouseIsDown)
        doc.HideHoverCell();
}

void CanvasMouseUp(Tnewiconview& doc, TMouseButton button, TShiftState shift, int x, int y)
{
    TEditorState* s = State();
    // The format list is repainted after every release, in a drag or not.
    struct RepaintList {
        Tnewiconview& doc;
        ~RepaintList() { doc.RepaintFormatList(); }
    } repaintList{doc};
    if (!doc.MouseIsDown)
        return;

    doc.suiForm1Click(nullptr);
    s->SetEditText(QStringLiteral("upa"), doc.StrokeColorA);
    s->SetEditText(QStringLiteral("upr"), doc.StrokeColorR);
    s->SetEditText(QStringLiteral("upg"), doc.StrokeColorG);
    s->SetEditText(QStringLiteral("upb"), doc.StrokeColorB);
    doc.MouseIsDown = false;

    const int tool = s->CurrentTool;
    if (tool == 1) {
        // A selection drag that began on the canvas ends as the overlay's own release would.
        doc.PaintBox1MouseUp(doc.PaintBox1, button, shift, x, y);
        return;
    }
    if (DrawingTool(tool))
        RunCommit(doc, tool);
    ReducePaletteFormat(doc);

    doc.ListClicked = false;
    Redraw(doc, doc.iconviewbg);
    Redraw(doc, doc.iconview);
    doc.RecordStep();
    doc.UpdateThumbnails();

    if (tool == 10) {
        PickColour(doc, doc.DragStartX, doc.DragStartY);
        doc.FormPaint(nullptr);
        // The picker hands back to the tool used before it.
        if (s->ToolImageIndex != 10) {
            s->SelectToolImage(s->ToolImageIndex, 1);
            s->RunMainCommand(QStringLiteral("tool_") + QString::number(s->ToolImageIndex) + QStringLiteral("Click"));
        }
    }
}
