#include "drawing/rectangle_tool.h"

#include "drawing/drawing_frame.h"
#include "drawing/shape_phases.h"

namespace {

void Outline(TDrawingFrame& f)
{
    const TDragBox box = NormaliseDrag(f.T);
    if (!box.HasFigure)
        return;
    const int pw = f.T.PenWidth;
    const int hp = pw / 2;
    // The gradient spans the whole stroke of the unconstrained drag.
    ShapeBrush(f, Grown(box.D, hp + 1, pw + 1), Grown(box.D, hp + 10, pw + 20), box.F);
    f.OutlinePen();
    GdipDrawRectangleI(f.G, f.Pen, box.F.X, box.F.Y, box.F.Width, box.F.Height);
}

} // namespace

void RectanglePreview(TDrawingTarget& t, const QString&)
{
    ShapePreview(t, false, Outline);
}

void RectangleCommit(TDrawingTarget& t, const QString&)
{
    ShapeCommit(t, false, Outline);
}
