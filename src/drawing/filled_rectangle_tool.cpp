#include "drawing/filled_rectangle_tool.h"

#include "drawing/drawing_frame.h"
#include "drawing/shape_phases.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Channel value of ring i, stepping from f toward t by (f div q) or (t div q) per cell of the
// absolute position. Cells left of or above the image (negative i) would step away from t; the
// value is held within f .. t so that they never wrap into an unrelated colour.
int RingChannel(int f, int t, int q, int i)
{
    int v;
    if (f > t) {
        v = f - (f / q) * i;
        v = std::clamp(v, t, f);
    } else {
        v = f + (t / q) * i;
        v = std::clamp(v, f, t);
    }
    return v & 0xFF;
}

ARGB RingColour(ARGB a, ARGB b, int q, int i)
{
    ARGB c = 0;
    for (int shift : {24, 16, 8, 0})
        c |= ARGB(RingChannel(int((a >> shift) & 0xFF), int((b >> shift) & 0xFF), q, i)) << shift;
    return c;
}

void Diamond(TDrawingFrame& f)
{
    ARGB a = 0, b = 0;
    f.ColourPair(a, b);
    const TDrawingTarget& t = f.T;
    for (const TDiamondRing& ring : DiamondRings(t.DragStartX, t.DragStartY, t.DragEndX, t.DragEndY, a, b)) {
        GpBrush* brush = nullptr;
        GdipCreateSolidFill(ring.Colour, &brush);
        GdipFillRectangleI(f.G, brush, ring.Rect.X, ring.Rect.Y, ring.Rect.Width, ring.Rect.Height);
        GdipDeleteBrush(brush);
    }
}

void Fill(TDrawingFrame& f)
{
    const TDragBox box = NormaliseDrag(f.T);
    if (!box.HasFigure)
        return;
    if (!f.PatternKind() && f.T.FillStyle == 7) {
        Diamond(f);
        return;
    }
    // The gradient spans the unconstrained drag box while only F is filled.
    ShapeBrush(f, Grown(box.D, 1, 2), Grown(box.D, 10, 20), box.F);
    GdipFillRectangleI(f.G, f.Brush, box.F.X, box.F.Y, box.F.Width, box.F.Height);
}

} // namespace

std::vector<TDiamondRing> DiamondRings(int sx, int sy, int ex, int ey, ARGB a, ARGB b)
{
    std::vector<TDiamondRing> rings;
    const GpRect d{std::min(sx, ex), std::min(sy, ey), std::abs(ex - sx), std::abs(ey - sy)};
    // The ramp runs over the absolute cells up to one past the drag's middle column (taller
    // boxes) or row (wider or square ones).
    const bool columns = d.Width < d.Height;
    const int q = columns ? (sx + ex) / 2 + 1 : (sy + ey) / 2 + 1;
    const int first = columns ? d.X : d.Y;
    // A middle left of or above the image has no ramp to step along.
    if (q <= 0)
        return rings;
    ARGB colour = 0;
    for (int i = first, k = 0; i <= q; ++i, ++k) {
        // From cell 255 on the ramp stops and the last colour carries on.
        if (i < 255)
            colour = RingColour(a, b, q, i);
        const GpRect r{d.X + k, d.Y + k, d.Width - 2 * k, d.Height - 2 * k};
        if (r.Width <= 0 || r.Height <= 0)
            break;
        rings.push_back({r, colour});
    }
    return rings;
}

void FilledRectanglePreview(TDrawingTarget& t, const QString&)
{
    ShapePreview(t, false, Fill);
}

void FilledRectangleCommit(TDrawingTarget& t, const QString&)
{
    ShapeCommit(t, false, Fill);
}
