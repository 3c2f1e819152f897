#include "drawing/drawing_engines.h"

#include "drawing/freehand_tool.h"
#include "drawing/line_tool.h"

TDrawingEngines DrawingEngines()
{
    TDrawingEngines e;
    e.LinePreview = LinePreview;
    e.LineCommit = LineCommit;
    e.FreehandStroke = FreehandStroke;
    return e;
}
