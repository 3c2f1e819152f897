#include "drawing/ellipse_tool.h"

#include "drawing/drawing_frame.h"
#include "drawing/shape_phases.h"

namespace {

void Outline(TDrawingFrame& f)
{
    const TDragBox box = NormaliseDrag(f.T);
    if (!box.HasFigure)
        return;
    const int pw = f.T.PenWidth;
    // One rectangle serves the linear gradients and the radial ellipse alike.
    const GpRect I = Grown(box.D, pw / 2 + 1, pw + 2);
    ShapeBrush(f, I, I, box.F);
    f.OutlinePen();
    GdipDrawEllipseI(f.G, f.Pen, box.F.X, box.F.Y, box.F.Width, box.F.Height);
}

} // namespace

void EllipsePreview(TDrawingTarget& t, const QString&)
{
    ShapePreview(t, ShapeAntialiased(t), Outline);
}

void EllipseCommit(TDrawingTarget& t, const QString&)
{
    ShapeCommit(t, ShapeAntialiased(t), Outline);
}
