#include "drawing/shape_phases.h"

#include "drawing/drawing_frame.h"

void ShapePreview(TDrawingTarget& t, bool antialias, TShapeFigure figure)
{
    TDrawingFrame f(t);
    if (!f.DragGuard())
        return;
    f.ViewRestore();
    f.ScratchLayer();
    f.EraseSetUp();
    f.Antialiasing(antialias);
    f.ViewSurface();
    figure(f);
    f.PreviewShow();
    f.ViewRelease();
}

void ShapeCommit(TDrawingTarget& t, bool antialias, TShapeFigure figure)
{
    TDrawingFrame f(t);
    f.EraseSetUp();
    f.FormatSurface();
    f.Antialiasing(antialias);
    f.BackdropRebuild();
    f.BackdropSurface();
    figure(f);
    f.CommitShow();
}

bool ShapeAntialiased(const TDrawingTarget& t)
{
    return t.CurrentKind == QLatin1String("XP") && t.CurrentTool != 6;
}

void ShapeBrush(TDrawingFrame& f, const GpRect& I, const GpRect& R, const GpRect& F)
{
    if (f.PatternKind()) {
        f.PatternBrush(0);
        return;
    }
    // The factors scale the absolute cell of F's middle, not an offset within F.
    const GpPointF centre{REAL((F.X + F.Width / 2) * f.T.RadialCenterX), REAL((F.Y + F.Height / 2) * f.T.RadialCenterY)};
    f.FillStyleBrush(I, R, centre);
}
