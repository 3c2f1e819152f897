#include "drawing/drawing_frame.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "framework/sysutils.h"
#include "imaging/bitmap/image32.h"
#include "platform/program_paths.h"

#include <algorithm>
#include <cstdlib>

namespace {

inline ARGB MakeArgb(int a, int r, int g, int b)
{
    return (ARGB(a & 0xFF) << 24) | (ARGB(r & 0xFF) << 16) | (ARGB(g & 0xFF) << 8) | ARGB(b & 0xFF);
}

// A picture file as a GDI+ image; null when it cannot be loaded (no message: the figure simply
// has no brush then).
GpImage* LoadPicture(const QString& path)
{
    if (path.trimmed().isEmpty())
        return nullptr;
    GpImage* image = nullptr;
    GdipLoadImageFromFile(path, &image);
    return image;
}

} // namespace

ARGB EditColour(const TDrawingTarget& t, const QString& prefix)
{
    auto value = [&](const char* channel) {
        return StrToInt(t.EditText ? t.EditText(prefix + QLatin1String(channel)) : QString());
    };
    const int a = value("a");
    const int r = value("r");
    const int g = value("g");
    const int b = value("b");
    return MakeArgb(a, r, g, b);
}

QString ButtonColourPrefix(const TDrawingTarget& t)
{
    return t.StrokeButton == 2 ? QStringLiteral("down") : QStringLiteral("up");
}

TDragBox NormaliseDrag(const TDrawingTarget& t)
{
    const int sx = t.DragStartX, sy = t.DragStartY, ex = t.DragEndX, ey = t.DragEndY;
    TDragBox box;
    box.D = {std::min(sx, ex), std::min(sy, ey), std::abs(ex - sx), std::abs(ey - sy)};
    const bool shift = t.ShiftMode == 2;
    if (ex > sx && ey > sy) { // right-down
        box.F = {sx, sy, ex - sx, ey - sy};
        if (shift)
            box.F.Width = box.F.Height = std::max(box.F.Width, box.F.Height);
    } else if (ex < sx && ey < sy) { // left-up: the start stays the bottom-right corner
        box.F = {ex, ey, sx - ex, sy - ey};
        if (shift) {
            const int side = std::max(box.F.Width, box.F.Height);
            box.F = {sx - side, sy - side, side, side};
        }
    } else if (ex > sx && ey < sy) { // right-up
        box.F = {sx, ey, ex - sx, sy - ey};
        if (shift)
            box.F.Width = box.F.Height;
    } else if (ex < sx && ey > sy) { // left-down
        box.F = {ex, sy, sx - ex, ey - sy};
        if (shift)
            box.F.Height = box.F.Width;
    } else {
        return box;
    }
    box.HasFigure = true;
    return box;
}

TDrawingFrame::TDrawingFrame(TDrawingTarget& target) : T(target) {}

TDrawingFrame::~TDrawingFrame()
{
    GdipDeleteGraphics(G);
    GdipDeleteGraphics(V);
    GdipDeletePen(Pen);
    GdipDeleteBrush(Brush);
    GdipDisposeImage(Scratch);
    // Brackets an interrupted call left open (a colour text that is no number ends an engine
    // call with an exception half-way).
    for (TImage32* canvas : {T.iconview, T.iconviewbg}) {
        if (!canvas)
            continue;
        while (BitmapCount(canvas) > 0)
            EndBitmapUpdate(canvas);
        while (ControlCount(canvas) > 0)
            EndControlUpdate(canvas);
    }
}

bool TDrawingFrame::Erasing() const
{
    return T.StrokeColorA == QLatin1String("0");
}

bool TDrawingFrame::PatternKind() const
{
    return T.CurrentKind == QLatin1String("16") || T.CurrentKind == QLatin1String("Mono");
}

// ---- update brackets ----------------------------------------------------------------------------

int& TDrawingFrame::ControlCount(TImage32* canvas)
{
    return canvas == T.iconview ? viewControl_ : canvas == T.iconviewbg ? backControl_ : otherCount_;
}

int& TDrawingFrame::BitmapCount(TImage32* canvas)
{
    return canvas == T.iconview ? viewBitmap_ : canvas == T.iconviewbg ? backBitmap_ : otherCount_;
}

void TDrawingFrame::BeginUpdate(TImage32* canvas)
{
    if (!canvas)
        return;
    canvas->BeginUpdate();
    ++ControlCount(canvas);
    canvas->Bitmap()->BeginUpdate();
    ++BitmapCount(canvas);
}

void TDrawingFrame::EndBitmapUpdate(TImage32* canvas)
{
    if (!canvas || BitmapCount(canvas) <= 0)
        return;
    --BitmapCount(canvas);
    canvas->Bitmap()->EndUpdate();
}

void TDrawingFrame::EndControlUpdate(TImage32* canvas)
{
    if (!canvas || ControlCount(canvas) <= 0)
        return;
    --ControlCount(canvas);
    canvas->EndUpdate();
}

void TDrawingFrame::RepaintCanvas(TImage32* canvas)
{
    if (!canvas)
        return;
    // Repaint rebuilds the control's buffer, which changes made inside an update bracket left valid.
    canvas->Repaint();
}

// ---- canvases ----------------------------------------------------------------------------------

void TDrawingFrame::CheckerboardFill(TImage32* target, int width, int height)
{
    if (!target || target->Bitmap()->IsEmpty())
        return;
    // The tile is laid from the bitmap's origin, as the document lays it.
    TGraphic* picture = T.bgimage ? T.bgimage->Picture()->Graphic() : nullptr;
    TBitmap tile;
    if (picture && !picture->Empty()) {
        tile.SetSize(picture->Width(), picture->Height());
        tile.Canvas()->Draw(0, 0, picture);
    } else {
        tile.SetSize(8, 8);
        tile.Canvas()->Brush()->SetColor(clWhite);
        tile.Canvas()->FillRect(Rect(0, 0, 8, 8));
    }
    TCanvas* canvas = target->Bitmap()->GetCanvas();
    canvas->Brush()->SetBitmap(&tile);
    canvas->FillRect(Rect(0, 0, width, height));
    canvas->Brush()->SetBitmap(nullptr);
}

void TDrawingFrame::ResetCanvas()
{
    if (!T.iconview)
        return;
    T.iconview->Bitmap()->SetSize(T.iconview->Width(), T.iconview->Height());
    const TImage32* back = T.iconviewbg ? T.iconviewbg : T.iconview;
    CheckerboardFill(T.iconview, back->Width(), back->Height());
}

GpGraphics* TDrawingFrame::NewViewSurface(TImage32* canvas)
{
    GpGraphics* view = nullptr;
    if (canvas)
        GdipCreateFromHDC(canvas->Bitmap()->DC(), &view);
    GdipSetInterpolationMode(view, InterpolationModeNearestNeighbor);
    GdipSetPixelOffsetMode(view, PixelOffsetModeHalf);
    return view;
}

void TDrawingFrame::ReleaseView()
{
    GdipDeleteGraphics(V);
    V = nullptr;
}

void TDrawingFrame::DrawScaled(GpGraphics* view, GpImage* image)
{
    if (view && image && T.iconview)
        GdipDrawImageRectI(view, image, 0, 0, T.iconview->Width(), T.iconview->Height());
}

// ---- steps -------------------------------------------------------------------------------------

void TDrawingFrame::ViewRestore()
{
    if (!T.iconview || !T.iconviewbg)
        return;
    BeginUpdate(T.iconview);
    T.iconview->Bitmap()->DrawBitmap(0, 0, T.iconviewbg->Bitmap());
    EndBitmapUpdate(T.iconview);
    EndControlUpdate(T.iconview);
}

void TDrawingFrame::ScratchLayer()
{
    GdipDisposeImage(Scratch);
    Scratch = nullptr;
    GdipDeleteGraphics(G);
    G = nullptr;
    GdipCreateBitmapFromScan0(T.CurrentWidth, T.CurrentHeight, 0, PixelFormat32bppARGB, nullptr, &Scratch);
    GdipGetImageGraphicsContext(Scratch, &G);
}

void TDrawingFrame::EraseSetUp()
{
    if (!Erasing() || T.FillStyle == 1)
        return;
    if (T.SetEditText) {
        T.SetEditText(QStringLiteral("upa"), T.StrokeColorA);
        T.SetEditText(QStringLiteral("upr"), T.StrokeColorR);
        T.SetEditText(QStringLiteral("upg"), T.StrokeColorG);
        T.SetEditText(QStringLiteral("upb"), T.StrokeColorB);
    }
    GpGraphics* view = NewViewSurface(T.iconview);
    DrawScaled(view, T.FormatImage);
    GdipDeleteGraphics(view);
}

void TDrawingFrame::Antialiasing(bool condition)
{
    if (condition)
        GdipSetSmoothingMode(G, SmoothingModeHighQuality);
}

void TDrawingFrame::ViewSurface()
{
    BeginUpdate(T.iconview);
    ReleaseView();
    V = NewViewSurface(T.iconview);
}

void TDrawingFrame::PatternBrush(int index)
{
    GdipDeleteBrush(Brush);
    Brush = nullptr;
    GpImage* picture = LoadPicture(ProgramPath(T.PatternPaths[index & 1]));
    GdipCreateTexture(picture, WrapModeTile, &Brush);
    GdipDisposeImage(picture);
}

void TDrawingFrame::ColourPair(ARGB& a, ARGB& b) const
{
    const ARGB p = EditColour(T, QStringLiteral("up"));
    const ARGB s = EditColour(T, QStringLiteral("down"));
    if (T.StrokeButton == 1 || T.FillStyle == 5 || T.FillStyle == 6) {
        a = p;
        b = s;
    } else {
        a = s;
        b = p;
    }
}

void TDrawingFrame::FillStyleBrush(const GpRect& I, const GpRect& R, const GpPointF& centre)
{
    GdipDeleteBrush(Brush);
    Brush = nullptr;
    ARGB a = 0, b = 0;
    switch (T.FillStyle) {
    case 1:
        ColourPair(a, b);
        GdipCreateLineBrushFromRectI(&I, a, a, LinearGradientModeHorizontal, WrapModeTile, &Brush);
        break;
    case 2:
        ColourPair(a, b);
        GdipCreateLineBrushFromRectI(&I, a, b, LinearGradientModeVertical, WrapModeTile, &Brush);
        break;
    case 3:
        ColourPair(a, b);
        GdipCreateLineBrushFromRectI(&I, a, b, LinearGradientModeHorizontal, WrapModeTile, &Brush);
        break;
    case 4: {
        ColourPair(a, b);
        GpPath* path = nullptr;
        GdipCreatePath(FillModeAlternate, &path);
        GdipAddPathEllipseI(path, R.X, R.Y, R.Width, R.Height);
        GdipCreatePathGradientFromPath(path, &Brush);
        GdipDeletePath(path);
        GdipSetPathGradientCenterPoint(Brush, &centre);
        GdipSetPathGradientCenterColor(Brush, b);
        INT count = 0;
        GdipGetPathGradientPointCount(Brush, &count);
        INT one = 1;
        GdipSetPathGradientSurroundColorsWithCount(Brush, &a, &one);
        break;
    }
    case 5:
        ColourPair(a, b);
        GdipCreateLineBrushFromRectI(&I, a, b, LinearGradientModeBackwardDiagonal, WrapModeTile, &Brush);
        break;
    case 6:
        ColourPair(a, b);
        GdipCreateLineBrushFromRectI(&I, a, b, LinearGradientModeForwardDiagonal, WrapModeTile, &Brush);
        break;
    case 8: {
        GpImage* picture = LoadPicture(LocalPath(T.GradientImageFile));
        GdipCreateTexture(picture, WrapModeTile, &Brush);
        GdipDisposeImage(picture);
        break;
    }
    default:
        // Diamond (7) belongs to the filled rectangle; other values have no brush at all.
        break;
    }
}

void TDrawingFrame::OutlinePen()
{
    GdipDeletePen(Pen);
    Pen = nullptr;
    if (!Brush)
        return;
    GdipCreatePen2(Brush, REAL(T.PenWidth), UnitWorld, &Pen);
    if (T.LineCapStyle != 1) {
        GdipSetPenStartCap(Pen, LineCapRound);
        GdipSetPenEndCap(Pen, LineCapRound);
    }
}

void TDrawingFrame::PreviewShow()
{
    if (!Erasing() || T.FillStyle != 1) {
        DrawScaled(V, Scratch);
        return;
    }
    EraseMerge();
    DrawScaled(V, T.FormatImage);
    ReleaseView();
    ViewRestore();
    V = NewViewSurface(T.iconview);
    DrawScaled(V, T.FormatImage);
}

void TDrawingFrame::EraseMerge()
{
    GpBitmap* format = T.FormatImage;
    if (!format)
        return;
    // A stroke whose press kept no base copy (or one of another size) erases from the format as
    // it is, rather than from pixels that do not exist.
    UINT bw = 0, bh = 0;
    GdipGetImageWidth(T.EraseBaseImage, &bw);
    GdipGetImageHeight(T.EraseBaseImage, &bh);
    const bool haveBase = T.EraseBaseImage && int(bw) == T.CurrentWidth && int(bh) == T.CurrentHeight;
    GpBitmap* base = haveBase ? T.EraseBaseImage : format;
    for (int x = 0; x < T.CurrentWidth; ++x) {
        for (int y = 0; y < T.CurrentHeight; ++y) {
            ARGB b = 0, s = 0;
            if (GdipBitmapGetPixel(base, x, y, &b) != Ok)
                continue;
            GdipBitmapGetPixel(Scratch, x, y, &s);
            const int alpha = std::max(0, int(b >> 24) - int(s >> 24));
            GdipBitmapSetPixel(format, x, y, (ARGB(alpha) << 24) | (b & 0x00FFFFFF));
        }
    }
}

void TDrawingFrame::ViewRelease()
{
    ReleaseView();
    EndBitmapUpdate(T.iconview);
    RepaintCanvas(T.iconview);
    EndControlUpdate(T.iconview);
}

void TDrawingFrame::FormatSurface()
{
    GdipDeleteGraphics(G);
    G = nullptr;
    GdipGetImageGraphicsContext(T.FormatImage, &G);
}

void TDrawingFrame::BackdropRebuild()
{
    if (!T.iconviewbg)
        return;
    BeginUpdate(T.iconviewbg);
    CheckerboardFill(T.iconviewbg, T.iconviewbg->Width(), T.iconviewbg->Height());
}

void TDrawingFrame::BackdropSurface()
{
    ReleaseView();
    V = NewViewSurface(T.iconviewbg);
}

void TDrawingFrame::CommitShow()
{
    GdipDeleteGraphics(G);
    G = nullptr;
    DrawScaled(V, T.FormatImage);
    ReleaseView();
    EndBitmapUpdate(T.iconviewbg);
    RepaintCanvas(T.iconviewbg);
    EndControlUpdate(T.iconviewbg);
}
