#pragma once

// The 3D frame tool: a bevelled frame on the dragged rectangle, its left and top edges in a
// first colour and its right and bottom edges in a second, as PenWidth div 2 + 1 nested
// one-pixel outlines. Always aliased; the fill style plays no part.

#include <QString>

struct TDrawingTarget;

void Frame3DPreview(TDrawingTarget& t, const QString& marker);
void Frame3DCommit(TDrawingTarget& t, const QString& marker);
