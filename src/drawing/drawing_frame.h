#pragma once

// The frame every drawing engine shares: the surfaces an engine draws on (a scratch layer for
// previews, the format itself for commits), the view and backdrop canvases, the drag rectangle
// with its Shift constraint, the colour pair, the fill-style brush or pattern brush and the pen
// made from it, the erase merge, and the show steps. An engine makes one TDrawingFrame per call
// and runs the steps it needs in its own order; whatever way the call ends, the frame releases
// every object it made and closes every update bracket it opened.

#include "drawing/drawing_target.h"
#include "platform/gdip.h"

class TImage32;

// The colour of the four edits prefix + "a", "r", "g", "b" ("up" primary, "down" secondary):
// each text converted strictly (a text that is no number raises EConvertError) and cut to 8 bits.
ARGB EditColour(const TDrawingTarget& t, const QString& prefix);

// The edits of the colour a click paints with: "down" (the secondary colour) for the right
// button, "up" (the primary) otherwise.
QString ButtonColourPrefix(const TDrawingTarget& t);

// The drag box and figure rectangle of a drag.
struct TDragBox {
    GpRect D{0, 0, 0, 0}; // the drag box, whatever the direction
    GpRect F{0, 0, 0, 0}; // the figure rectangle, Shift constraint applied
    bool HasFigure = false; // false when the end shares the start's X or Y
};
TDragBox NormaliseDrag(const TDrawingTarget& t);

class TDrawingFrame {
public:
    explicit TDrawingFrame(TDrawingTarget& target);
    ~TDrawingFrame();
    TDrawingFrame(const TDrawingFrame&) = delete;
    TDrawingFrame& operator=(const TDrawingFrame&) = delete;

    TDrawingTarget& T;
    GpGraphics* G = nullptr;     // drawing surface: the scratch layer or the format
    GpGraphics* V = nullptr;     // view surface on a canvas bitmap
    GpBitmap* Scratch = nullptr; // scratch layer of a preview
    GpBrush* Brush = nullptr;
    GpPen* Pen = nullptr;

    bool Erasing() const;
    // "16" and "Mono" draw with the pattern picture.
    bool PatternKind() const;

    // ---- the named steps ----
    // Previews do nothing unless a drag is in progress.
    bool DragGuard() const { return T.MouseIsDown; }
    // The committed composite of the backdrop replaces the visible canvas.
    void ViewRestore();
    void ScratchLayer();
    // For an erasing stroke with a fill style other than solid: the stroke's own colour texts go
    // back into the primary edits (so alpha 0 is the transparent end of a gradient) and the
    // format is drawn over the visible canvas.
    void EraseSetUp();
    void Antialiasing(bool condition);
    void ViewSurface();
    // A texture of pattern picture index (0 primary, 1 secondary) of the document.
    void PatternBrush(int index = 0);
    // (A, B): primary then secondary for the left button, swapped for any other; the angle
    // gradients always run from the primary.
    void ColourPair(ARGB& a, ARGB& b) const;
    // The brush of the main window's fill style over gradient rectangle I (radial: the ellipse
    // inscribed in R, centred at centre). Styles without a brush leave Brush null.
    void FillStyleBrush(const GpRect& I, const GpRect& R, const GpPointF& centre);
    // The pen made from Brush: PenWidth wide, round caps unless LineCapStyle is 1.
    void OutlinePen();
    void PreviewShow();
    // The format becomes the erase base copy with the scratch layer's alpha taken away; the
    // colour channels of the base stay.
    void EraseMerge();
    void ViewRelease();
    void FormatSurface();
    void BackdropRebuild();
    void BackdropSurface();
    void CommitShow();

    // ---- canvas helpers ----
    // The document's canvas reset: the canvas bitmap takes the canvas control's size and the
    // area of the backdrop control's size is filled with the checkerboard.
    void ResetCanvas();
    // The checkerboard tile filled over (0, 0, width, height) of the target's bitmap.
    void CheckerboardFill(TImage32* target, int width, int height);
    // Draws an image over a view surface at the visible canvas's size.
    void DrawScaled(GpGraphics* view, GpImage* image);
    // A view surface on a canvas bitmap: nearest neighbour, half-pixel offset.
    GpGraphics* NewViewSurface(TImage32* canvas);
    void ReleaseView();

    // Update brackets of a canvas control and its bitmap, kept count of so that the frame can
    // close what an interrupted call left open.
    void BeginUpdate(TImage32* canvas);
    void EndBitmapUpdate(TImage32* canvas);
    void EndControlUpdate(TImage32* canvas);
    // The control shows its bitmap again.
    static void RepaintCanvas(TImage32* canvas);

private:
    int& ControlCount(TImage32* canvas);
    int& BitmapCount(TImage32* canvas);

    int viewControl_ = 0, viewBitmap_ = 0, backControl_ = 0, backBitmap_ = 0;
    int otherCount_ = 0;
};
