#pragma once

// The graphic-control routines that need the framework's controls: painting what lies behind a
// control that draws its whole area itself.

class TCanvas;
class TControl;

// Paints onto the canvas (the control's own drawing surface, origin at its top-left corner) what
// lies behind the control: the parent's background and painting, then every visible graphic
// control below it that overlaps it. Nothing happens without a control, a parent or a canvas
// that can draw.
void PaintParentBackground(TControl* control, TCanvas* canvas);
