#include "drawing/frame3d_tool.h"

#include "drawing/drawing_frame.h"
#include "drawing/shape_phases.h"

#include <utility>

namespace {

// The one-pixel pen of one edge pair: a plain colour with flat ends, or on "16" and "Mono" the
// pattern picture (index 0 primary, 1 secondary) with round ends unless LineCapStyle is 1.
GpPen* EdgePen(TDrawingFrame& f, const GpRect& F, bool primary)
{
    const TDrawingTarget& t = f.T;
    GpBrush* brush = nullptr;
    bool round = false;
    if (f.PatternKind()) {
        f.PatternBrush(primary ? 0 : 1);
        std::swap(brush, f.Brush);
        round = t.LineCapStyle != 1;
    } else {
        const ARGB colour = EditColour(t, primary ? QStringLiteral("up") : QStringLiteral("down"));
        GdipCreateLineBrushFromRectI(&F, colour, colour, LinearGradientModeHorizontal, WrapModeTile, &brush);
    }
    GpPen* pen = nullptr;
    GdipCreatePen2(brush, 1.0f, UnitWorld, &pen);
    GdipDeleteBrush(brush);
    if (round) {
        GdipSetPenStartCap(pen, LineCapRound);
        GdipSetPenEndCap(pen, LineCapRound);
    }
    return pen;
}

void Frame(TDrawingFrame& f)
{
    const TDragBox box = NormaliseDrag(f.T);
    if (!box.HasFigure)
        return;
    const int x = box.F.X, y = box.F.Y, w = box.F.Width, h = box.F.Height;
    const int n = f.T.PenWidth / 2;
    // The left button lays the primary on the top-left edges; any other swaps them.
    const bool left = f.T.StrokeButton == 1;

    // Both pens are made before any line is drawn: a colour text that is no number then ends
    // the call with the format untouched rather than half framed.
    struct Pens {
        GpPen* first = nullptr;
        GpPen* second = nullptr;
        ~Pens()
        {
            GdipDeletePen(first);
            GdipDeletePen(second);
        }
    } pens;
    pens.first = EdgePen(f, box.F, left);
    pens.second = EdgePen(f, box.F, !left);
    for (int i = 0; i <= n; ++i) {
        GdipDrawLineI(f.G, pens.first, x + i, y + i, x + i, y + h - i);
        GdipDrawLineI(f.G, pens.first, x + i, y + i, x + w - i, y + i);
    }
    // Drawn last, so the second colour covers the corners the two L shapes share.
    for (int i = 0; i <= n; ++i) {
        GdipDrawLineI(f.G, pens.second, x + w - i, y + h - i, x + w - i, y + i);
        GdipDrawLineI(f.G, pens.second, x + w - i, y + h - i, x + i, y + h - i);
    }
}

} // namespace

void Frame3DPreview(TDrawingTarget& t, const QString&)
{
    ShapePreview(t, false, Frame);
}

void Frame3DCommit(TDrawingTarget& t, const QString&)
{
    ShapeCommit(t, false, Frame);
}
