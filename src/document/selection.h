#pragma once

// The selection of a document and the pixel work behind it: the state the selection tool keeps
// per document, the rectangle arithmetic of a drag, and the copies that lift, cut, copy and paste
// pixels. The rectangle itself is one for the application (SelectionRect) and holds canvas pixels,
// so an image cell is a canvas pixel divided by the zoom.
//
// Every routine here reads and writes only pixels that lie inside the format: a rectangle may
// reach past it (select-all takes one cell more on the right and at the bottom, a moved rectangle
// can be dragged over the edge), and what lies outside is simply transparent in the copies.

#include "framework/types.h"
#include "platform/gdip.h"

#include <functional>

// The selection state of one document window.
class TDocumentSelection {
public:
    TDocumentSelection() = default;
    virtual ~TDocumentSelection();
    TDocumentSelection(const TDocumentSelection&) = delete;
    TDocumentSelection& operator=(const TDocumentSelection&) = delete;

    // Pasted or text pixels float over the canvas in PastedImage and are not yet dropped.
    bool FloatingSelection = false;
    // The overlay has put the floating pixels at the canvas's top-left corner.
    bool FloatingPlaced = false;
    // The document's floating picture; owned.
    GpImage* PastedImage = nullptr;
    // A press outside the rectangle has dropped the floating pixels into the format.
    bool SelectionActive = false;
    // A new rectangle is being dragged out.
    bool SelectingRect = false;
    // The selected or floating pixels are being dragged.
    bool MovingSelection = false;
    bool SelectionMoved = false;
    // A press inside the rectangle has lifted (or taken up the pasted) pixels; they float until
    // they are dropped.
    bool MoveStarted = false;
    // The selected pixels were taken out of the format (by a lift or a cut).
    bool SelectionLifted = false;
    bool SelectionEverLifted = false;
    // Set by the 1:1 paste; the next selection release reads and clears it.
    bool JustPasted = false;
    int PasteShown = 0;
    int SelectPressX = 0, SelectPressY = 0;
    int SelectAnchorX = 0, SelectAnchorY = 0;
    int MoveLastX = 0, MoveLastY = 0;
    // The press dropped floating pixels; its release records the step.
    bool DroppedAtPress = false;
    // The image cells the floating pixels were lifted from.
    TRect LiftCells;
    // The image cells where the floating pixels were last shown: they land there even when the
    // shared rectangle was emptied under them.
    TRect FloatingCells;
    // The canvas area the pointer is held in while a rectangle is dragged (empty when free).
    TRect CursorClipRect;
    // The overlay's pen: the marquee shows only while it is dotted; pastes draw it 2 wide.
    bool MarqueeDotted = true;
    int MarqueeWidth = 1;

    // Lifted pixels or the pasted picture float over the canvas, not yet in the format.
    bool HasFloatingPixels() const { return MoveStarted || FloatingSelection; }
    // Lifted pixels float: they were taken out of the format and live only in the floating image.
    bool HasLiftedPixels() const { return MoveStarted && !FloatingSelection; }
};

// The value snapped to the cell grid: (v div zoom) * zoom, truncating like the rest of the canvas
// arithmetic.
inline int SnapToCell(int v, int zoom)
{
    return v / zoom * zoom;
}

// The image cells L..R-1 by T..B-1 that a rectangle of canvas pixels covers.
TRect SelectionCells(const TRect& rect, int zoom);

// Extends the rectangle being dragged from the anchor cell (its left and top edge ax, ay) to the
// pointer's cell (snapped sx, sy). A rectangle dragged up or left stays reversed, with the anchor
// cell's far edge as its left or top, until the release puts it in order.
void DragRectangle(TRect& rect, int sx, int sy, int ax, int ay, int zoom);
// Puts a dragged rectangle in order, swapping reversed edges as snapped values.
void OrderRectangle(TRect& rect, int zoom);

// A new picture of the cells' size holding the format's pixels under them, exactly; cells that
// lie outside the format stay transparent. With clear, the copied pixels become 0 in the format
// (the lift). Null for empty cells.
GpBitmap* CopyCells(GpBitmap* format, const TRect& cells, bool clear);
// The part of the cells that lies inside the format, as a new picture (what cut and copy put
// into the editor's clipboard). Null when no cell lies inside.
GpBitmap* CopyCellsInside(GpBitmap* format, const TRect& cells);
// Sets the format's pixels under the cells to 0.
void ClearCells(GpBitmap* format, const TRect& cells);
// The picture stretched to width x height by nearest neighbour with half-pixel offset, computed
// per pixel so that colours stay exact. Null for an empty source or size.
GpBitmap* StretchNearest(GpImage* source, int width, int height);
// Draws the floating picture into the format at cell (x, y), source over, exactly; what lies
// outside the format is cut off.
void CompositeInto(GpBitmap* format, GpImage* floating, int x, int y);

// A copy of the image, or null.
GpImage* CloneImage(GpImage* image);
// Puts image into an owning slot, freeing what it held.
void ReplaceImage(GpImage*& slot, GpImage* image);
// The width and height of an image; 0 x 0 for none.
TSize ImageSize(GpImage* image);

// The picture the text-options dialog rendered; that dialog installs its source when it is made.
// The text placement copies it.
using TTextImageSource = std::function<GpImage*()>;
void SetTextImageSource(TTextImageSource source);
GpImage* TextImage();
