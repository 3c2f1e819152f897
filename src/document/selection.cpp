#include "document/selection.h"

#include <QImage>
#include <algorithm>

namespace {

TTextImageSource& TextSource()
{
    static TTextImageSource source;
    return source;
}

// The cells that lie inside an image of width x height.
TRect Inside(const TRect& cells, const QImage& image)
{
    return Rect(std::max(cells.Left, 0), std::max(cells.Top, 0), std::min(cells.Right, image.width()),
                std::min(cells.Bottom, image.height()));
}

} // namespace

TDocumentSelection::~TDocumentSelection()
{
    GdipDisposeImage(PastedImage);
}

TRect SelectionCells(const TRect& rect, int zoom)
{
    if (zoom < 1)
        return TRect();
    return Rect(rect.Left / zoom, rect.Top / zoom, rect.Right / zoom, rect.Bottom / zoom);
}

void DragRectangle(TRect& r, int sx, int sy, int ax, int ay, int z)
{
    if (sx > r.Left && sy > r.Top) {
        r.Right = sx + z;
        r.Bottom = sy + z;
        r.Top = r.Top < z ? 0 : ay;
        r.Left = r.Left < z ? 0 : ax;
    } else if (sx > r.Left) {
        r.Right = sx + z;
        r.Bottom = sy;
        r.Top = ay + z;
        r.Left = ax;
    } else if (sy > r.Top) {
        r.Right = sx;
        r.Bottom = sy + z;
        r.Left = ax + z;
        r.Top = ay;
    } else {
        r.Right = sx;
        r.Bottom = sy;
        r.Top = ay + z;
        r.Left = ax + z;
    }
    if (sx < r.Left && sy < r.Top) {
        r.Top = ay + z;
        r.Left = ax + z;
    }
}

void OrderRectangle(TRect& r, int z)
{
    if (SnapToCell(r.Left, z) > SnapToCell(r.Right, z)) {
        const int left = SnapToCell(r.Left, z);
        r.Left = SnapToCell(r.Right, z);
        r.Right = left;
    }
    if (SnapToCell(r.Top, z) > SnapToCell(r.Bottom, z)) {
        const int top = SnapToCell(r.Top, z);
        r.Top = SnapToCell(r.Bottom, z);
        r.Bottom = top;
    }
}

GpBitmap* CopyCells(GpBitmap* format, const TRect& cells, bool clear)
{
    QImage* source = GdipImageData(format);
    const int w = cells.Width(), h = cells.Height();
    if (!source || w < 1 || h < 1)
        return nullptr;
    QImage copy(w, h, QImage::Format_ARGB32);
    copy.fill(0);
    const TRect in = Inside(cells, *source);
    for (int y = in.Top; y < in.Bottom; ++y) {
        auto* from = reinterpret_cast<QRgb*>(source->scanLine(y));
        auto* to = reinterpret_cast<QRgb*>(copy.scanLine(y - cells.Top));
        for (int x = in.Left; x < in.Right; ++x) {
            to[x - cells.Left] = from[x];
            if (clear)
                from[x] = 0;
        }
    }
    return GdipImageFromQImage(copy);
}

GpBitmap* CopyCellsInside(GpBitmap* format, const TRect& cells)
{
    const QImage* source = GdipImageData(format);
    if (!source)
        return nullptr;
    const TRect in = Inside(cells, *source);
    if (IsRectEmpty(in))
        return nullptr;
    return GdipImageFromQImage(source->copy(in.Left, in.Top, in.Width(), in.Height()));
}

void ClearCells(GpBitmap* format, const TRect& cells)
{
    QImage* image = GdipImageData(format);
    if (!image)
        return;
    const TRect in = Inside(cells, *image);
    for (int y = in.Top; y < in.Bottom; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image->scanLine(y));
        std::fill(line + in.Left, line + std::max(in.Left, in.Right), 0u);
    }
}

GpBitmap* StretchNearest(GpImage* source, int width, int height)
{
    const QImage* from = GdipImageData(source);
    if (!from || from->isNull() || width < 1 || height < 1)
        return nullptr;
    const int sw = from->width(), sh = from->height();
    QImage out(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        // The centre of the target pixel falls into this source pixel.
        const int sy = std::min(sh - 1, int((2LL * y + 1) * sh / (2LL * height)));
        const auto* in = reinterpret_cast<const QRgb*>(from->constScanLine(sy));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = in[std::min(sw - 1, int((2LL * x + 1) * sw / (2LL * width)))];
    }
    return GdipImageFromQImage(out);
}

void CompositeInto(GpBitmap* format, GpImage* floating, int x, int y)
{
    if (!format || !floating)
        return;
    GpGraphics* g = nullptr;
    GdipGetImageGraphicsContext(format, &g);
    GdipSetInterpolationMode(g, InterpolationModeNearestNeighbor);
    GdipSetPixelOffsetMode(g, PixelOffsetModeHalf);
    GdipDrawImageI(g, floating, x, y);
    GdipDeleteGraphics(g);
}

GpImage* CloneImage(GpImage* image)
{
    GpImage* clone = nullptr;
    if (image)
        GdipCloneImage(image, &clone);
    return clone;
}

void ReplaceImage(GpImage*& slot, GpImage* image)
{
    if (slot == image)
        return;
    GdipDisposeImage(slot);
    slot = image;
}

TSize ImageSize(GpImage* image)
{
    UINT w = 0, h = 0;
    if (image) {
        GdipGetImageWidth(image, &w);
        GdipGetImageHeight(image, &h);
    }
    return {int(w), int(h)};
}

void SetTextImageSource(TTextImageSource source)
{
    TextSource() = std::move(source);
}

GpImage* TextImage()
{
    return TextSource() ? TextSource()() : nullptr;
}
