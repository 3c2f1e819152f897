#include "drawing/filled_ellipse_tool.h"

#include "drawing/drawing_frame.h"
#include "drawing/shape_phases.h"

namespace {

void Fill(TDrawingFrame& f)
{
    const TDragBox box = NormaliseDrag(f.T);
    if (!box.HasFigure)
        return;
    const GpRect I = Grown(box.D, 1, 2);
    ShapeBrush(f, I, I, box.F);
    GdipFillEllipseI(f.G, f.Brush, box.F.X, box.F.Y, box.F.Width, box.F.Height);
}

} // namespace

void FilledEllipsePreview(TDrawingTarget& t, const QString&)
{
    ShapePreview(t, ShapeAntialiased(t), Fill);
}

void FilledEllipseCommit(TDrawingTarget& t, const QString&)
{
    ShapeCommit(t, ShapeAntialiased(t), Fill);
}
