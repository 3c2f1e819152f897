#include "drawing/line_tool.h"

#include "drawing/drawing_frame.h"
#include "drawing/shape_phases.h"
#include "framework/sysutils.h"
#include "imaging/bitmap/image32.h"

#include <algorithm>

namespace {

// End points, line box U and radial centre of a drag, by its direction.
struct TLineGeometry {
    bool SinglePoint = false;
    GpRect U{0, 0, 0, 0};
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    GpPointF Centre{0, 0};
};

TLineGeometry LineGeometry(const TDrawingTarget& t)
{
    const int sx = t.DragStartX, sy = t.DragStartY, ex = t.DragEndX, ey = t.DragEndY;
    const int z = t.Zoom;
    TLineGeometry g;
    enum { Vertical, Horizontal, Diagonal } axis = Diagonal;
    if (ex == sx && ey == sy) {
        g.SinglePoint = true;
        return g;
    }
    // A zero extent of an axis-parallel line is replaced by the zoom, so the gradient across such
    // a line spreads with the zoom it is drawn at.
    if (ex == sx && ey > sy) {
        g.U = {sx, sy, z, ey - sy};
        g.X1 = sx, g.Y1 = sy, g.X2 = sx, g.Y2 = ey;
        axis = Vertical;
    } else if (ex > sx && ey == sy) {
        g.U = {sx, sy, ex - sx, z};
        g.X1 = sx, g.Y1 = sy, g.X2 = ex, g.Y2 = sy;
        axis = Horizontal;
    } else if (ex < sx && ey == sy) {
        g.U = {ex, ey, sx - ex, z};
        g.X1 = ex, g.Y1 = sy, g.X2 = sx, g.Y2 = sy;
        axis = Horizontal;
    } else if (ex == sx && ey < sy) {
        g.U = {ex, ey, z, sy - ey};
        g.X1 = ex, g.Y1 = ey, g.X2 = ex, g.Y2 = sy;
        axis = Vertical;
    } else if (ex > sx && ey > sy) {
        g.U = {sx, sy, ex - sx, ey - sy};
        g.X1 = sx, g.Y1 = sy, g.X2 = ex, g.Y2 = ey;
    } else if (ex < sx && ey < sy) {
        g.U = {ex, ey, sx - ex, sy - ey};
        g.X1 = ex, g.Y1 = ey, g.X2 = sx, g.Y2 = sy;
    } else if (ex > sx && ey < sy) {
        g.U = {sx, ey, ex - sx, sy - ey};
        g.X1 = sx, g.Y1 = sy, g.X2 = ex, g.Y2 = ey;
    } else { // down-left
        g.U = {ex, sy, sx - ex, ey - sy};
        g.X1 = sx, g.Y1 = sy, g.X2 = ex, g.Y2 = ey;
    }
    const GpRect& u = g.U;
    const int cx = axis == Vertical ? u.X : u.X + u.Width / 2;
    const int cy = axis == Horizontal ? u.Y : u.Y + u.Height / 2;
    g.Centre = {REAL(cx * t.RadialCenterX), REAL(cy * t.RadialCenterY)};
    return g;
}

// The brush and pen of a line: the pattern on "16" and "Mono", else the fill style over the
// gradient rectangle I around the line box (the radial ellipse inscribed in the same rectangle).
void LinePen(TDrawingFrame& f, const TLineGeometry& g)
{
    const int pw = f.T.PenWidth;
    const int hp = pw / 2;
    const GpRect I{g.U.X - hp - 1, g.U.Y - hp - 1, g.U.Width + pw + 1, g.U.Height + pw + 1};
    if (f.PatternKind())
        f.PatternBrush(0);
    else
        f.FillStyleBrush(I, I, g.Centre);
    f.OutlinePen();
}

inline int Clamp255(int v)
{
    return std::min(255, v) & 0xFF;
}

// The single point of a click: on a transparent pixel exactly the button's colour; on any other
// the alphas add up (capped) and that colour's channels replace the pixel's. An erasing click
// then takes 30 off the pixel's alpha on "XP" and clears it on the other kinds and with the
// filled rectangle tool. The first write goes to the scratch layer in a preview.
void SinglePoint(TDrawingFrame& f, bool preview)
{
    TDrawingTarget& t = f.T;
    const int x = t.DragStartX, y = t.DragStartY;
    ARGB c = 0;
    if (GdipBitmapGetPixel(t.FormatImage, x, y, &c) != Ok)
        return; // outside the format: nothing to set
    // A right-button click, and the last pixel of a right-button freehand stroke, take the
    // secondary colour like the rest of the stroke.
    const QString colour = ButtonColourPrefix(t);
    auto edit = [&](const char* c) { return StrToInt(t.EditText ? t.EditText(colour + QLatin1String(c)) : QString()); };
    const int a0 = edit("a"), r0 = edit("r"), g0 = edit("g"), b0 = edit("b");
    const int a = int(c >> 24);
    ARGB first;
    if (a == 0)
        first = (ARGB(a0 & 0xFF) << 24) | (ARGB(r0 & 0xFF) << 16) | (ARGB(g0 & 0xFF) << 8) | ARGB(b0 & 0xFF);
    else
        first = (ARGB(Clamp255(a + a0)) << 24) | (ARGB(Clamp255(r0)) << 16) | (ARGB(Clamp255(g0)) << 8) |
                ARGB(Clamp255(b0));
    GdipBitmapSetPixel(preview ? f.Scratch : t.FormatImage, x, y, first);
    if (preview && a == 0)
        return;

    const bool erasing = f.Erasing();
    if (t.CurrentTool == 6 && erasing) {
        GdipBitmapSetPixel(t.FormatImage, x, y, 0);
        return;
    }
    ARGB p = 0;
    GdipBitmapGetPixel(t.FormatImage, x, y, &p);
    int alpha = std::max(0, int(p >> 24) - 30);
    if (t.CurrentKind != QLatin1String("XP"))
        alpha = 0;
    if (erasing)
        GdipBitmapSetPixel(t.FormatImage, x, y, (ARGB(alpha) << 24) | (p & 0x00FFFFFF));
}

} // namespace

void LinePreview(TDrawingTarget& t, const QString& marker)
{
    TDrawingFrame f(t);
    if (!f.DragGuard())
        return;

    // The canvas is rebuilt from the checkerboard and the format, not from the backdrop.
    f.ResetCanvas();
    f.BeginUpdate(t.iconview);
    GpGraphics* base = f.NewViewSurface(t.iconview);
    f.DrawScaled(base, t.FormatImage);
    GdipDeleteGraphics(base);
    f.EndBitmapUpdate(t.iconview);
    f.EndControlUpdate(t.iconview);

    // A gradient stroke with a transparent primary uses that transparent colour as its end, for
    // the rest of the drag, instead of the eraser's opaque white.
    if (f.Erasing() && t.FillStyle != 1 && t.SetEditText) {
        t.SetEditText(QStringLiteral("upa"), t.StrokeColorA);
        t.SetEditText(QStringLiteral("upr"), t.StrokeColorR);
        t.SetEditText(QStringLiteral("upg"), t.StrokeColorG);
        t.SetEditText(QStringLiteral("upb"), t.StrokeColorB);
    }

    f.ScratchLayer();
    f.Antialiasing(ShapeAntialiased(t));
    f.ViewSurface();

    const TLineGeometry g = LineGeometry(t);
    if (g.SinglePoint) {
        SinglePoint(f, true);
        f.DrawScaled(f.V, f.Scratch);
        f.ViewRelease();
        return;
    }
    LinePen(f, g);
    GdipDrawLineI(f.G, f.Pen, g.X1, g.Y1, g.X2, g.Y2);

    if (!f.Erasing() || t.FillStyle != 1) {
        f.DrawScaled(f.V, f.Scratch);
    } else {
        f.EraseMerge();
        f.ReleaseView();
        f.ResetCanvas();
        f.V = f.NewViewSurface(t.iconview);
        f.DrawScaled(f.V, t.FormatImage);
    }
    f.ViewRelease();
}

void LineCommit(TDrawingTarget& t, const QString& marker)
{
    TDrawingFrame f(t);
    // An erasing solid stroke keeps what the last preview's merge wrote: its line goes to the
    // visible canvas only, which the closing copy of the backdrop overwrites.
    if (f.Erasing() && t.FillStyle == 1) {
        if (t.iconview)
            GdipCreateFromHDC(t.iconview->Bitmap()->DC(), &f.G);
    } else {
        f.FormatSurface();
    }
    f.Antialiasing(ShapeAntialiased(t));
    f.BackdropRebuild();
    f.BackdropSurface();

    const TLineGeometry g = LineGeometry(t);
    if (g.SinglePoint) {
        SinglePoint(f, false);
    } else {
        LinePen(f, g);
        GdipDrawLineI(f.G, f.Pen, g.X1, g.Y1, g.X2, g.Y2);
    }
    f.CommitShow();

    if (t.iconview && t.iconviewbg) {
        t.iconview->Bitmap()->DrawBitmap(0, 0, t.iconviewbg->Bitmap());
        t.iconview->Refresh();
    }
}
