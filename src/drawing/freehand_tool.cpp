#include "drawing/freehand_tool.h"

#include "drawing/drawing_frame.h"
#include "imaging/bitmap/image32.h"

void FreehandStroke(TDrawingTarget& t, const QString& marker)
{
    TDrawingFrame f(t);
    const bool erasing = f.Erasing();
    // An erasing segment is drawn as a mask on a scratch layer; a painting one goes straight into
    // the format.
    if (erasing)
        f.ScratchLayer();
    else
        f.FormatSurface();
    f.Antialiasing(marker == QLatin1String("dorvelt") && t.CurrentKind == QLatin1String("XP"));

    // The gradient rectangles cover the whole format, so a stroke reveals one gradient laid over
    // the image whatever the stroke's own extent.
    const int pw = t.PenWidth;
    const int hp = pw / 2;
    const int w = t.CurrentWidth, h = t.CurrentHeight;
    if (f.PatternKind()) {
        f.PatternBrush(0);
    } else {
        const GpRect I{-hp - 1, -hp - 1, w + pw + 1, h + pw + 1};
        const GpRect R{-hp - 10, -hp - 10, w + pw + 20, h + pw + 20};
        const GpPointF centre{REAL((w / 2) * t.RadialCenterX), REAL((h / 2) * t.RadialCenterY)};
        f.FillStyleBrush(I, R, centre);
    }
    f.OutlinePen();
    GdipDrawLineI(f.G, f.Pen, t.DragStartX, t.DragStartY, t.DragEndX, t.DragEndY);
    t.DragStartX = t.DragEndX;
    t.DragStartY = t.DragEndY;
    GdipDeleteGraphics(f.G);
    f.G = nullptr;
    GdipDeletePen(f.Pen);
    f.Pen = nullptr;

    if (!t.iconview || !t.iconviewbg)
        return;
    f.BeginUpdate(t.iconview);
    // The backdrop is left holding the checkerboard alone; the canvas shows it with the format
    // over it (and, while erasing, the segment's mask under the format).
    f.CheckerboardFill(t.iconviewbg, t.iconviewbg->Width(), t.iconviewbg->Height());
    t.iconview->Bitmap()->DrawBitmap(0, 0, t.iconviewbg->Bitmap());
    f.V = f.NewViewSurface(t.iconview);
    f.DrawScaled(f.V, f.Scratch);
    if (erasing) {
        f.EraseMerge();
        // The next segment erases from what this one left, so erasure accumulates. The copy is
        // exact: drawn over transparency, the pixels erased so far would lose their colour
        // channels, and the next merge would write them back without.
        GpBitmap* copy = nullptr;
        GdipCloneImage(t.FormatImage, &copy);
        GdipDisposeImage(t.EraseBaseImage);
        t.EraseBaseImage = copy;
    }
    f.DrawScaled(f.V, t.FormatImage);
    f.ViewRelease();
}
