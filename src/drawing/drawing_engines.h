#pragma once

// The engine routines the document's canvas handlers call, one per tool and phase. The program
// installs the drawing library's table in the document window once at start-up
// (SetDrawingEngines(DrawingEngines())); an engine missing from the table is not called.

#include <QString>

struct TDrawingTarget;

using TDrawingEngine = void (*)(TDrawingTarget& target, const QString& marker);

struct TDrawingEngines {
    TDrawingEngine LinePreview = nullptr;
    TDrawingEngine LineCommit = nullptr;
    TDrawingEngine FreehandStroke = nullptr;
    TDrawingEngine RectanglePreview = nullptr;
    TDrawingEngine RectangleCommit = nullptr;
    TDrawingEngine FilledRectanglePreview = nullptr;
    TDrawingEngine FilledRectangleCommit = nullptr;
    TDrawingEngine EllipsePreview = nullptr;
    TDrawingEngine EllipseCommit = nullptr;
    TDrawingEngine FilledEllipsePreview = nullptr;
    TDrawingEngine FilledEllipseCommit = nullptr;
    TDrawingEngine Frame3DPreview = nullptr;
    TDrawingEngine Frame3DCommit = nullptr;
    void (*BucketFill)(TDrawingTarget& target) = nullptr;
};

// The engines this library has.
TDrawingEngines DrawingEngines();
