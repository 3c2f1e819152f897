#pragma once

// The rectangle tool: the outline of the dragged rectangle, stroked with a pen PenWidth wide
// made from the fill style's brush (the pattern picture on "16" and "Mono"). Never antialiased.

#include <QString>

struct TDrawingTarget;

void RectanglePreview(TDrawingTarget& t, const QString& marker);
void RectangleCommit(TDrawingTarget& t, const QString& marker);
