#include "document/image_commands.h"

#include <QImage>
#include <algorithm>
#include <vector>

namespace {

QImage* Pixels(GpImage* image)
{
    QImage* img = GdipImageData(image);
    return img && !img->isNull() ? img : nullptr;
}

GpBitmap* NewBitmap(int w, int h)
{
    GpBitmap* b = nullptr;
    GdipCreateBitmapFromScan0(w, h, 0, PixelFormat32bppARGB, nullptr, &b);
    return b;
}

// Nearest-neighbour stretch of src to nw x nh placed at (ox, oy) in dst, written (not blended):
// dst is transparent where the stretch lands, and a blend over transparent is the source pixel.
// Each target pixel takes the source pixel under its centre, as the half-pixel offset does.
void StretchNearest(const QImage& src, QImage& dst, int ox, int oy, int nw, int nh)
{
    const int sw = src.width(), sh = src.height();
    const int x0 = std::max(0, ox), x1 = int(std::min<long long>(dst.width(), (long long)ox + nw));
    const int y0 = std::max(0, oy), y1 = int(std::min<long long>(dst.height(), (long long)oy + nh));
    if (x0 >= x1 || y0 >= y1)
        return;
    std::vector<int> column(size_t(x1 - x0));
    for (int x = x0; x < x1; ++x)
        column[size_t(x - x0)] = int((2LL * (x - ox) + 1) * sw / (2LL * nw));
    for (int y = y0; y < y1; ++y) {
        const long long sy = (2LL * (y - oy) + 1) * sh / (2LL * nh);
        const auto* s = reinterpret_cast<const ARGB*>(src.constScanLine(int(sy)));
        auto* d = reinterpret_cast<ARGB*>(dst.scanLine(y)) + x0;
        for (int sx : column)
            *d++ = s[sx];
    }
}

} // namespace

void ApplyMasterOpacity(GpBitmap* base, GpBitmap* target, int position)
{
    QImage* b = Pixels(base);
    QImage* t = Pixels(target);
    if (!b || !t)
        return;
    const int cut = 255 - std::clamp(position, 0, 255);
    const int w = std::min(b->width(), t->width()), h = std::min(b->height(), t->height());
    for (int y = 0; y < h; ++y) {
        const auto* s = reinterpret_cast<const ARGB*>(b->constScanLine(y));
        auto* d = reinterpret_cast<ARGB*>(t->scanLine(y));
        for (int x = 0; x < w; ++x) {
            const ARGB c = s[x];
            if (c == 0)
                continue;
            const ARGB a = ARGB(std::max(0, int(c >> 24) - cut));
            d[x] = (a << 24) | (c & 0x00FFFFFF);
        }
    }
}

void ApplyQuarterTurn(GpBitmap* image, TQuarterTurn turn)
{
    switch (turn) {
    case TQuarterTurn::FlipVertical:
        GdipImageRotateFlip(image, Rotate180FlipX);
        break;
    case TQuarterTurn::FlipHorizontal:
        GdipImageRotateFlip(image, RotateNoneFlipX);
        break;
    case TQuarterTurn::RotateLeft:
        GdipImageRotateFlip(image, Rotate90FlipX);
        GdipImageRotateFlip(image, Rotate180FlipX);
        break;
    case TQuarterTurn::RotateRight:
        GdipImageRotateFlip(image, Rotate270FlipX);
        GdipImageRotateFlip(image, Rotate180FlipX);
        break;
    }
}

GpBitmap* ShiftedCopy(GpBitmap* image, int dx, int dy)
{
    QImage* src = Pixels(image);
    if (!src)
        return nullptr;
    const int w = src->width(), h = src->height();
    GpBitmap* out = NewBitmap(w, h);
    QImage* dst = GdipImageData(out);
    for (int y = std::max(0, dy); y < std::min(h, h + dy); ++y) {
        const auto* s = reinterpret_cast<const ARGB*>(src->constScanLine(y - dy));
        auto* d = reinterpret_cast<ARGB*>(dst->scanLine(y));
        for (int x = std::max(0, dx); x < std::min(w, w + dx); ++x)
            d[x] = s[x - dx];
    }
    return out;
}

int ReplaceExactColor(GpBitmap* image, ARGB find, ARGB replacement)
{
    QImage* img = Pixels(image);
    if (!img)
        return 0;
    int count = 0;
    for (int y = 0; y < img->height(); ++y) {
        auto* p = reinterpret_cast<ARGB*>(img->scanLine(y));
        for (int x = 0; x < img->width(); ++x)
            if (p[x] == find) {
                p[x] = replacement;
                ++count;
            }
    }
    return count;
}

GpBitmap* RotatedCopy(GpBitmap* image, int angle)
{
    QImage* src = Pixels(image);
    if (!src)
        return nullptr;
    const int w = src->width(), h = src->height();
    GpBitmap* out = NewBitmap(w, h);
    GpGraphics* g = nullptr;
    GdipGetImageGraphicsContext(out, &g);
    GdipSetPixelOffsetMode(g, PixelOffsetModeHalf);
    // Turning about the bitmap's own middle keeps every size's picture in place; a fixed point
    // would carry small formats out of their own area.
    const REAL cx = REAL(w) / 2, cy = REAL(h) / 2;
    GpMatrix* m = nullptr;
    GdipCreateMatrix(&m);
    GdipTranslateMatrix(m, -cx, -cy, MatrixOrderAppend);
    GdipRotateMatrix(m, REAL(angle % 360), MatrixOrderAppend);
    GdipTranslateMatrix(m, cx, cy, MatrixOrderAppend);
    GdipSetWorldTransform(g, m);
    GdipDrawImageRectI(g, image, 0, 0, w, h);
    GdipDeleteMatrix(m);
    GdipDeleteGraphics(g);
    return out;
}

GpPoint ResizePlacement(int w, int h, int nw, int nh)
{
    // C++ division truncates toward zero, as the placement asks.
    return {nw > w ? (w - nw) / 2 : 0, nh > h ? (h - nh) / 2 : 0};
}

GpBitmap* ResizedCopy(GpBitmap* image, int nw, int nh)
{
    QImage* src = Pixels(image);
    if (!src || nw < 1 || nh < 1)
        return nullptr;
    const int w = src->width(), h = src->height();
    GpBitmap* out = NewBitmap(w, h);
    const GpPoint at = ResizePlacement(w, h, nw, nh);
    StretchNearest(*src, *GdipImageData(out), at.X, at.Y, nw, nh);
    return out;
}

GpBitmap* StretchedCopy(GpImage* source, int w, int h)
{
    QImage* src = Pixels(source);
    if (!src || w < 1 || h < 1)
        return nullptr;
    GpBitmap* out = NewBitmap(w, h);
    if (out)
        StretchNearest(*src, *GdipImageData(out), 0, 0, w, h);
    return out;
}
