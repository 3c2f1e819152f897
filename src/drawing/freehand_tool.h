#pragma once

// The brush ("dorvelt") and the pencil ("dorv"): every mouse move of a drag adds one straight
// segment from the last drawn cell to the pointer's cell, straight into the current format; a
// transparent primary colour erases instead. The brush antialiases on "XP" formats, the pencil
// never. Mouse up finishes the stroke with the line tool's commit for a single point.

#include <QString>

struct TDrawingTarget;

void FreehandStroke(TDrawingTarget& t, const QString& marker);
