#pragma once

// What the snapshot window and the 1:1 view share: an image control placed in its scroll box
// and a picture shown on the window's checkerboard tile.

class QImage;
class TControl;
class TImage;

// Sizes the control to width by height and centres it in its scroll box; a control larger than
// the box starts at the box's edge, so every pixel can be scrolled to.
void PlaceInScrollBox(TControl* box, TImage* control, int width, int height);

// The control shows the tile's pattern over its whole size with the picture drawn over it at
// (0, 0) in the picture's own size.
void ShowOnTile(TImage* control, TImage* tile, const QImage& picture);

// The picture an image control holds, as 32-bit pixels; empty when it holds none.
QImage PictureOfImage(TImage* tile);
