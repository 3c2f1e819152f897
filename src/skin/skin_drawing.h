#pragma once

// Drawing helpers the skinned controls share: the parent's background under a control, tiled and
// nine-piece stretched skin pictures, three-part bars, quarter turns, window shapes from
// pictures, window frames, rectangle tests, placement shortcuts, the screen's work area and
// pushing a style into a container's children. They keep no state.

#include "framework/types.h"
#include "skin/theme_items.h"

class QObject;
class QRegion;
class QWidget;
class TBitmap;
class TCanvas;
class TForm;
class TGraphic;
class TsuiFileTheme;

// Paints the part of the control's parent that lies under the control onto the canvas (whose
// origin is the control's top-left corner): the parent's background and its own painting, not
// its other children. Nothing without a parent.
void PaintParentUnderControl(TCanvas* canvas, QWidget* control);

// Copies of the picture from the canvas origin (not rect's corner), columns outer, one copy
// beyond rect's extent in each direction. Nothing for an empty picture.
void TilePicture(TCanvas* canvas, TGraphic* picture, const TRect& rect);

// Draws a skin picture into target in nine pieces: the corners at their own size (masked with
// 0xFF00FF when transparent, opaque otherwise), edges and centre stretched and always masked
// with 0xFF00FF. Every source piece is clipped to the picture; a piece left empty is skipped.
void StretchSkinImage(TBitmap* source, TCanvas* canvas, const TRect& target, bool transparent);

// A bar from a 3-frame strip: the caps unscaled at both ends (masked with the strip's top-left
// pixel when maskFromCorner, else with 0xFF00FF), the middle frame stretched opaque between them.
void DrawThreePartBar(TBitmap* strip, TCanvas* canvas, const TRect& rect, bool maskFromCorner);

// Quarter turns in place: anticlockwise (the old top-right corner becomes the top-left) and
// clockwise (the old bottom-left corner becomes the top-left).
void RotateBitmapLeft(TBitmap* bitmap);
void RotateBitmapRight(TBitmap* bitmap);

// The region of the bitmap's pixels that are not the transparent colour, row by row. The last
// column belongs to it like any other when it is opaque.
QRegion RegionFromBitmap(TBitmap* bitmap, TColor transparentColor);
// Gives the window that region as its shape.
void SetWindowRegionFromBitmap(QWidget* window, TBitmap* bitmap, TColor transparentColor);

// Frames the rectangle (0, 0, size) in borderColor and, with drawInner, the rectangle inset by
// one pixel in innerColor (system colours resolved first).
void DrawWindowFrame(TCanvas* canvas, const TSize& size, TColor borderColor, TColor innerColor, bool drawInner);
// The same on the whole control; call it while the control paints.
void DrawWindowFrame(QWidget* control, TColor borderColor, TColor innerColor, bool drawInner);

// Left <= x <= Right and Top <= y <= Bottom: all four edges count as inside.
bool IsPointInRectInclusive(const TPoint& point, const TRect& rect);
bool IsPointInRectInclusive(int x, int y, const TRect& rect);

// Left and Top, through the control's published writers.
void SetControlPos(QObject* control, const TPoint& point);
// Left, Top, Width and Height, one after another.
void SetControlBounds(QObject* control, const TRect& rect);

// The primary screen without its panels (task bars).
void GetWorkAreaRect(TRect& rect);

// Whether a drawn title bar shows its form as active: an MDI frame's own bar always is; while
// another program is in front no other form is; then the main form, a missing form and the
// frame's active MDI child are; any other form by its own Active flag.
bool IsFormActive(TForm* form);

// For each direct child control in order that publishes both FileTheme and UIStyle: FileTheme
// then UIStyle, through the child's own writers.
void ContainerApplyUIStyle(QWidget* container, TsuiUIStyle style, TsuiFileTheme* fileTheme);
