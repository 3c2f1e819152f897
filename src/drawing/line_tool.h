#pragma once

// The line tool: a straight line PenWidth pixels wide from the drag start to the drag end with
// the frame's pen, or, for a click that stays on its start cell, one pixel set by a colour rule
// of its own. Every drag that another shape tool cannot draw (clicks, and drags that keep the
// start's X or Y) reaches these two routines as well.

#include <QString>

struct TDrawingTarget;

// Shows the line over the canvas while the mouse moves; the format changes only while erasing.
void LinePreview(TDrawingTarget& t, const QString& marker);
// Draws the line into the current format at mouse up and refreshes both canvases.
void LineCommit(TDrawingTarget& t, const QString& marker);
