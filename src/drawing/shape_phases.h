#pragma once

// The phases the shape tools (rectangle, filled rectangle, ellipse, filled ellipse, 3D frame)
// run around their figure: a preview on a scratch layer shown over the restored canvas, and a
// commit into the format followed by a rebuilt backdrop. A tool supplies only its figure, drawn
// on the frame's surface G, and whether that figure is antialiased.

#include "platform/gdip.h"

class TDrawingFrame;
struct TDrawingTarget;

using TShapeFigure = void (*)(TDrawingFrame& f);

void ShapePreview(TDrawingTarget& t, bool antialias, TShapeFigure figure);
void ShapeCommit(TDrawingTarget& t, bool antialias, TShapeFigure figure);

// The ellipse tools smooth their figure on "XP", unless the filled rectangle is the tool.
bool ShapeAntialiased(const TDrawingTarget& t);

// The figure's brush: the pattern picture on "16" and "Mono", else the fill style over the
// gradient rectangle I (the radial ellipse inscribed in R), centred on figure rectangle F scaled
// by the radial-centre factors.
void ShapeBrush(TDrawingFrame& f, const GpRect& I, const GpRect& R, const GpRect& F);

// Rectangle r grown by margin on the left and top and by extra in width and height.
inline GpRect Grown(const GpRect& r, int margin, int extra)
{
    return {r.X - margin, r.Y - margin, r.Width + extra, r.Height + extra};
}
