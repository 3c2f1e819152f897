#pragma once

// The filled ellipse tool: the ellipse inscribed in the dragged rectangle (a circle with Shift)
// filled with the fill style's brush (the pattern picture on "16" and "Mono"); antialiased on
// "XP". No outline.

#include <QString>

struct TDrawingTarget;

void FilledEllipsePreview(TDrawingTarget& t, const QString& marker);
void FilledEllipseCommit(TDrawingTarget& t, const QString& marker);
