#pragma once

// The filled rectangle tool: the dragged rectangle filled with the fill style's brush (the
// pattern picture on "16" and "Mono"), or, with the diamond gradient, nested one-pixel rings
// stepping from one colour toward the other. Never antialiased; no pen.

#include "platform/gdip.h"

#include <QString>
#include <vector>

struct TDrawingTarget;

void FilledRectanglePreview(TDrawingTarget& t, const QString& marker);
void FilledRectangleCommit(TDrawingTarget& t, const QString& marker);

// One ring of the diamond gradient: the rectangle it fills and its colour.
struct TDiamondRing {
    GpRect Rect;
    ARGB Colour;
};
// The rings of a drag from (sx, sy) to (ex, ey), colour a toward colour b, in painting order.
// Rings that cover no pixel are left out.
std::vector<TDiamondRing> DiamondRings(int sx, int sy, int ex, int ey, ARGB a, ARGB b);
