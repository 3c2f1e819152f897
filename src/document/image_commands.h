#pragma once

// The whole-picture commands of one format as plain routines on its 32-bit ARGB bitmap: master
// opacity, flips and quarter turns, one-pixel shifts, exact colour replacement, rotation by an
// angle, rescaling inside the format and the stretched hand-over copies. The document window's
// command buttons run them on the current format; they know nothing of windows.

#include "platform/gdip.h"

// Every pixel of base that is not 0 in all four components is written to target as
// (max(0, A - (255 - position)), R, G, B); the others leave target alone. Only pixels inside
// both bitmaps are visited.
void ApplyMasterOpacity(GpBitmap* base, GpBitmap* target, int position);

enum class TQuarterTurn { FlipVertical, FlipHorizontal, RotateLeft, RotateRight };
// In place; a turn exchanges the bitmap's width and height.
void ApplyQuarterTurn(GpBitmap* image, TQuarterTurn turn);

// A new bitmap of the image's size holding the picture moved by (dx, dy): what crosses an edge
// is lost, what comes in is transparent. Null for a null image.
GpBitmap* ShiftedCopy(GpBitmap* image, int dx, int dy);

// Sets every pixel equal to find in all four components to replacement; returns how many.
int ReplaceExactColor(GpBitmap* image, ARGB find, ARGB replacement);

// A new bitmap of the image's size with the picture turned by angle degrees, clockwise on the
// screen, about the middle of the bitmap; corners that receive nothing are transparent.
GpBitmap* RotatedCopy(GpBitmap* image, int angle);

// Where the resize puts a picture stretched to nw x nh in a format of w x h: the top-left corner
// along a side that shrinks or stays, centred (edges cut off) along a side that grows.
GpPoint ResizePlacement(int w, int h, int nw, int nh);
// A new bitmap of the image's size holding the picture stretched to nw x nh (nearest neighbour,
// pixel centres sampled) at its resize placement; the rest is transparent. nw and nh >= 1.
GpBitmap* ResizedCopy(GpBitmap* image, int nw, int nh);

// A new w x h bitmap holding source stretched over all of it (nearest neighbour, pixel centres
// sampled). Null when source is null or empty or the size is not positive.
GpBitmap* StretchedCopy(GpImage* source, int w, int h);
