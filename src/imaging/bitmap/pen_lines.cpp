// Anti-aliased pen lines of TBitmap32: every whole pixel of length deposits the pen colour over
// the 2 x 2 pixels around the current sub-pixel point with gamma weights.

#include "imaging/bitmap/bitmap32.h"

#include <climits>
#include <algorithm>
#include <cmath>

namespace {

template <typename F> struct Finally {
    F f;
    ~Finally() { f(); }
};
template <typename F> Finally(F) -> Finally<F>;

// a*b/c rounded half away from zero, on 64-bit operands: the clip works on 16.16 coordinates
// whose differences no longer fit in 32 bits when a pen point lies far outside the bitmap.
int64_t MulDivRound64(int64_t a, int64_t b, int64_t c)
{
    const __int128 p = __int128(a) * b;
    const bool negative = (p < 0) != (c < 0);
    const unsigned __int128 mp = p < 0 ? -p : p;
    const unsigned __int128 mc = c < 0 ? -__int128(c) : __int128(c);
    const int64_t q = int64_t((2 * mp + mc) / (2 * mc));
    return negative ? -q : q;
}

int RegionCode(int64_t x, int64_t y, int64_t minX, int64_t minY, int64_t maxX, int64_t maxY)
{
    int code = 0;
    if (x < minX)
        code |= 1;
    else if (x > maxX)
        code |= 2;
    if (y < minY)
        code |= 4;
    else if (y > maxY)
        code |= 8;
    return code;
}

int XCode(int64_t x, int64_t minX, int64_t maxX)
{
    return x < minX ? 1 : (x > maxX ? 2 : 0);
}

} // namespace

bool ClipLineToRect(int& x1, int& y1, int& x2, int& y2, int minX, int minY, int maxX, int maxY)
{
    int64_t X1 = x1, Y1 = y1, X2 = x2, Y2 = y2;
    int c1 = RegionCode(X1, Y1, minX, minY, maxX, maxY);
    int c2 = RegionCode(X2, Y2, minX, minY, maxX, maxY);
    if (c1 & c2)
        return false;
    if ((c1 | c2) == 0)
        return true;

    if (c1 & 12) {
        const int64_t y = c1 < 8 ? minY : maxY;
        X1 += MulDivRound64(y - Y1, X2 - X1, Y2 - Y1);
        Y1 = y;
        c1 = XCode(X1, minX, maxX);
    }
    if (c2 & 12) {
        const int64_t y = c2 < 8 ? minY : maxY;
        X2 += MulDivRound64(y - Y2, X2 - X1, Y2 - Y1);
        Y2 = y;
        c2 = XCode(X2, minX, maxX);
    }
    if (c1 & c2)
        return false;
    if ((c1 | c2) != 0) {
        if (c1 != 0) {
            const int64_t x = c1 == 1 ? minX : maxX;
            Y1 += MulDivRound64(x - X1, Y2 - Y1, X2 - X1);
            X1 = x;
        }
        if (c2 != 0) {
            const int64_t x = c2 == 1 ? minX : maxX;
            Y2 += MulDivRound64(x - X2, Y2 - Y1, X2 - X1);
            X2 = x;
        }
    }
    // Every moved end now lies on the rectangle, so it fits the 32-bit coordinates again.
    x1 = int(X1);
    y1 = int(Y1);
    x2 = int(X2);
    y2 = int(Y2);
    return true;
}

void TBitmap32::MovePenTo(float x, float y)
{
    penX_ = FloatToFixed(x);
    penY_ = FloatToFixed(y);
}

void TBitmap32::SmoothLineTo(float x, float y)
{
    SmoothLineToFixed(FloatToFixed(x), FloatToFixed(y));
}

void TBitmap32::SmoothLineToFixed(TFixed16 x, TFixed16 y)
{
    SmoothLineFixedClipped(penX_, penY_, x, y, PenColor(), false);
    penX_ = x;
    penY_ = y;
}

void TBitmap32::PlotSubpixel(int x, int y, TColor32 color)
{
    const uint32_t fx = uint32_t(x) & 255, fy = uint32_t(y) & 255;
    const uint32_t a = color >> 24;
    const uint8_t* g = GammaTable;
    TColor32* p = PixelAddress(x >> 8, y >> 8);
    MixInto(color, p[0], (g[255 - fx] * a * g[255 - fy]) >> 16);
    MixInto(color, p[1], (g[fx] * a * g[255 - fy]) >> 16);
    MixInto(color, p[width_ + 1], (g[fx] * a * g[fy]) >> 16);
    MixInto(color, p[width_], (g[255 - fx] * a * g[fy]) >> 16);
}

void TBitmap32::PlotSubpixelSafe(int x, int y, TColor32 color)
{
    if (x < -256 || y < -256)
        return;
    const int px = x >> 8, py = y >> 8;
    if (px >= width_ || py >= height_)
        return;
    const uint32_t fx = uint32_t(x) & 255, fy = uint32_t(y) & 255;
    const uint32_t a = color >> 24;
    const uint8_t* g = GammaTable;
    if (px >= 0 && py >= 0)
        MixInto(color, *PixelAddress(px, py), (g[255 - fx] * a * g[255 - fy]) >> 16);
    if (px < width_ - 1 && py >= 0)
        MixInto(color, *PixelAddress(px + 1, py), (g[fx] * a * g[255 - fy]) >> 16);
    if (px < width_ - 1 && py < height_ - 1)
        MixInto(color, *PixelAddress(px + 1, py + 1), (g[fx] * a * g[fy]) >> 16);
    if (px >= 0 && py < height_ - 1)
        MixInto(color, *PixelAddress(px, py + 1), (g[255 - fx] * a * g[fy]) >> 16);
}

namespace {

// The walk shared by the checked and the unchecked line: whole-pixel plots along the line, then
// one plot carrying the remaining fraction of the length halfway to the end point. Run may take
// the whole-pixel plots over (cnt of them from (x, y) in steps of (ex, ey), 8.8 sub-pixels) and
// returns false when it leaves them to Plot.
template <typename Plot, typename Run>
void WalkLine(int64_t x1, int64_t y1, int64_t x2, int64_t y2, TColor32 color, bool withLastPoint, Plot plot, Run run)
{
    const int64_t dx = x2 - x1, dy = y2 - y1;
    x1 += 127;
    y1 += 127;
    x2 += 127;
    y2 += 127;
    int64_t n = int64_t(std::nearbyint(std::hypot(double(dx), double(dy))));
    if (withLastPoint)
        n += 65536;
    if (n < 256)
        return;
    const int64_t cnt = n >> 16;
    int64_t ex, ey;
    if (cnt > 0) {
        const float step = 65536.0f / float(n);
        ex = int64_t(std::nearbyint(float(dx) * step));
        ey = int64_t(std::nearbyint(float(dy) * step));
        if (run(int(x1 >> 8), int(y1 >> 8), cnt, ex, ey, color)) {
            x1 += cnt * ex;
            y1 += cnt * ey;
        } else {
            for (int64_t i = 0; i < cnt; ++i) {
                plot(int(x1 >> 8), int(y1 >> 8), color);
                x1 += ex;
                y1 += ey;
            }
        }
    } else {
        ex = dx;
        ey = dy;
    }
    const uint32_t alpha = uint32_t(((color >> 24) * uint64_t(n - cnt * 65536)) >> 16);
    plot(int((x1 + x2 - ex) >> 9), int((y1 + y2 - ey) >> 9), (color & 0x00FFFFFFu) | (alpha << 24));
}

} // namespace

void TBitmap32::SmoothLineFixed(TFixed16 x1, TFixed16 y1, TFixed16 x2, TFixed16 y2, TColor32 color,
                                bool withLastPoint)
{
    Finally done{[this] {
        EndBlending();
        Changed();
    }};
    // A line along a row or a column keeps the same sub-pixel offset at every plot, so each of
    // the four pixels of a plot takes the same weight all along: the plots become runs of one
    // mix. A pixel takes its mixes in the order of the plots (first as the right or lower
    // neighbour of the plot before, then as its own plot's corner), and so do the runs.
    auto run = [this](int x, int y, int64_t cnt, int64_t ex, int64_t ey, TColor32 c) {
        const bool across = ex == 65536 && ey == 0, down = ex == 0 && ey == 65536;
        if (!across && !down)
            return false;
        const uint32_t fx = uint32_t(x) & 255, fy = uint32_t(y) & 255;
        const uint32_t a = c >> 24;
        const uint8_t* g = GammaTable;
        const uint32_t w00 = (g[255 - fx] * a * g[255 - fy]) >> 16, w10 = (g[fx] * a * g[255 - fy]) >> 16;
        const uint32_t w11 = (g[fx] * a * g[fy]) >> 16, w01 = (g[255 - fx] * a * g[fy]) >> 16;
        TColor32* p = PixelAddress(x >> 8, y >> 8);
        const int n = int(cnt);
        if (across) {
            MixSpan(c, p + 1, n, w10);
            MixSpan(c, p, n, w00);
            MixSpan(c, p + width_ + 1, n, w11);
            MixSpan(c, p + width_, n, w01);
        } else {
            const ptrdiff_t stride = width_;
            auto column = [n, c, stride](TColor32* q, uint32_t w) {
                if (w == 0)
                    return;
                for (int i = 0; i < n; ++i, q += stride)
                    MixInto(c, *q, w);
            };
            column(p + width_, w01);
            column(p, w00);
            column(p + width_ + 1, w11);
            column(p + 1, w10);
        }
        return true;
    };
    WalkLine(x1, y1, x2, y2, color, withLastPoint,
             [this](int x, int y, TColor32 c) { PlotSubpixel(x, y, c); }, run);
}

void TBitmap32::SmoothLineFixedClipped(TFixed16 x1, TFixed16 y1, TFixed16 x2, TFixed16 y2, TColor32 color,
                                       bool withLastPoint)
{
    // Positions beyond 32767 pixels do not exist in 16.16; the edge is held at the largest one.
    const int maxX = int(std::min<int64_t>(int64_t(width_) * 65536, INT_MAX));
    const int maxY = int(std::min<int64_t>(int64_t(height_) * 65536, INT_MAX));
    const int ex = x2, ey = y2;
    if (!ClipLineToRect(x1, y1, x2, y2, -65536, -65536, maxX, maxY))
        return;
    if (x2 != ex || y2 != ey)
        withLastPoint = true;

    const int64_t limitX = int64_t(width_) * 65536 - 131072;
    const int64_t limitY = int64_t(height_) * 65536 - 131072;
    auto inside = [](int64_t v, int64_t limit) { return v > 0 && v < limit; };
    if (inside(x1, limitX) && inside(x2, limitX) && inside(y1, limitY) && inside(y2, limitY)) {
        SmoothLineFixed(x1, y1, x2, y2, color, false);
        return;
    }
    Finally done{[this] {
        EndBlending();
        Changed();
    }};
    WalkLine(x1, y1, x2, y2, color, withLastPoint,
             [this](int x, int y, TColor32 c) { PlotSubpixelSafe(x, y, c); },
             [](int, int, int64_t, int64_t, int64_t, TColor32) { return false; });
}
