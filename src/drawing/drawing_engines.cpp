#include "drawing/drawing_engines.h"

#include "drawing/ellipse_tool.h"
#include "drawing/filled_ellipse_tool.h"
#include "drawing/filled_rectangle_tool.h"
#include "drawing/frame3d_tool.h"
#include "drawing/freehand_tool.h"
#include "drawing/line_tool.h"
#include "drawing/paint_bucket.h"
#include "drawing/rectangle_tool.h"

TDrawingEngines DrawingEngines()
{
    TDrawingEngines e;
    e.LinePreview = LinePreview;
    e.LineCommit = LineCommit;
    e.FreehandStroke = FreehandStroke;
    e.RectanglePreview = RectanglePreview;
    e.RectangleCommit = RectangleCommit;
    e.FilledRectanglePreview = FilledRectanglePreview;
    e.FilledRectangleCommit = FilledRectangleCommit;
    e.EllipsePreview = EllipsePreview;
    e.EllipseCommit = EllipseCommit;
    e.FilledEllipsePreview = FilledEllipsePreview;
    e.FilledEllipseCommit = FilledEllipseCommit;
    e.Frame3DPreview = Frame3DPreview;
    e.Frame3DCommit = Frame3DCommit;
    e.BucketFill = BucketFill;
    return e;
}
