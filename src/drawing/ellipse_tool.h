#pragma once

// The ellipse tool: the outline of the ellipse inscribed in the dragged rectangle (a circle with
// Shift), stroked with a pen PenWidth wide made from the fill style's brush (the pattern picture
// on "16" and "Mono"); antialiased on "XP".

#include <QString>

struct TDrawingTarget;

void EllipsePreview(TDrawingTarget& t, const QString& marker);
void EllipseCommit(TDrawingTarget& t, const QString& marker);
