#pragma once

// The mouse on a document's zoomed canvas: the press starts a drag (undo base, colour snapshot,
// eraser set-up, drag start), every move of the drag runs the current tool's preview engine (or
// the line preview while the pointer is back on the start cell), and the release runs its commit
// engine, reduces palette formats to their palette, redraws both canvases, records one undo step
// and refreshes the thumbnails. The colour picker takes the pressed pixel.

#include "drawing/drawing_engines.h"
#include "framework/controls.h"

#include <QString>

class Tnewiconview;
struct TDrawingTarget;

// The engines the handlers call; the program installs the drawing library's once.
void SetDrawingEngines(const TDrawingEngines& engines);
const TDrawingEngines& InstalledDrawingEngines();

// Binds the three handlers below to the document's canvas.
void AttachCanvasMouse(Tnewiconview* doc);

// Canvas pixels of the canvas control; the button of a press chooses the colour pair until a move
// of the drag says which button is held.
void CanvasMouseDown(Tnewiconview& doc, TMouseButton button, TShiftState shift, int x, int y);
void CanvasMouseMove(Tnewiconview& doc, TShiftState shift, int x, int y);
void CanvasMouseUp(Tnewiconview& doc, TMouseButton button, TShiftState shift, int x, int y);
// The pointer left the canvas: the hover cell goes with it.
void CanvasMouseLeave(Tnewiconview& doc);

// What an engine call works on: the document's drag state, current format and canvases, and the
// main window's drawing settings.
TDrawingTarget DrawingTargetOf(Tnewiconview& doc);
// Runs an engine on the document and takes back what it changed of the drag state; nothing when
// the engine is missing.
void RunDrawingEngine(Tnewiconview& doc, TDrawingEngine engine, const QString& marker);

// Reduces the current format of a "256", "16" or "Mono" document to its colour table (the one
// its file brought, else its kind's fixed one): pixels of alpha 130 or more become opaque with
// the table's colour nearest to the pixel blended over white (the lower index on a tie), the
// others transparent. Other kinds are left alone.
void ReducePaletteFormat(Tnewiconview& doc);

// The colour picker: the pixel of the current format at the image cell goes into the colour
// panel and the primary colour.
void PickColour(Tnewiconview& doc, int cellX, int cellY);

// The program's cursor "MY" + n (1..11) from the installation's cursor files; the arrow when the
// file is missing.
QCursor ToolCursor(int n);
// The same, read once and kept.
const QCursor& LoadedToolCursor(int n);
