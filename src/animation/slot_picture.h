#pragma once

// The pictures the animated cursor builder and the hot-spot dialog share: the checkerboard
// ground of a frame slot, a frame drawn on it, the red hot-spot mark, and the bridge between a
// picture control and an image.

#include <QImage>

class TImage;

// Side of a frame slot and the place of a frame's picture in it.
inline constexpr int SlotSize = 56;
inline constexpr int SlotInset = 11;

// The 24 by 24 checkerboard tile with which slots and the preview are cleared.
QImage CheckerTile();
// A slot-sized picture: the tile as a brush, the frame (when not null) at (11, 11).
QImage SlotPicture(const QImage& frame);
// Two red lines from (x + 11, y + 11) down and right by 4 pixels; the corner sits on the hot spot.
void DrawHotSpotMark(QImage& picture, int x, int y);

QImage ImageOf(TImage* image);
void SetImage(TImage* image, const QImage& picture);
