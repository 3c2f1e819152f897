#include "imaging/toolkit/toolkit_display.h"

#include "framework/graphics.h"

#include <Magick++.h>

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <numeric>
#include <random>
#include <vector>

namespace {

uint32_t g_displayMode = TKDM_TrueColour;

struct TDoubleBufferState {
    bool Enabled = false;
    QImage Image;
    std::unique_ptr<QPainter> Painter;
    QPainter* Window = nullptr;
    TRect Area;
};

std::map<TKDoubleBuffer, TDoubleBufferState>& DoubleBuffers()
{
    static std::map<TKDoubleBuffer, TDoubleBufferState> buffers;
    return buffers;
}

std::map<TKPalette, bool>& Palettes()
{
    static std::map<TKPalette, bool> palettes;
    return palettes;
}

template <class Map>
uint32_t NewHandle(const Map& map)
{
    uint32_t handle = map.empty() ? 1 : map.rbegin()->first + 1;
    while (handle == 0 || map.count(handle))
        ++handle;
    return handle;
}

QRect ToQRect(const TRect& r)
{
    return QRect(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
}

TRect Intersection(const TRect& a, const TRect& b)
{
    TRect r;
    IntersectRect(r, a, b);
    return r;
}

// The pixel the view shows at (x, y) in stored coordinates; w and h are the stored size.
inline void SourceOf(int perspective, int w, int h, int x, int y, int& sx, int& sy)
{
    switch (perspective) {
    case 2: sx = w - 1 - x; sy = y; break;
    case 3: sx = w - 1 - x; sy = h - 1 - y; break;
    case 4: sx = x; sy = h - 1 - y; break;
    case 5: sx = y; sy = x; break;
    case 6: sx = y; sy = h - 1 - x; break;
    case 7: sx = w - 1 - y; sy = h - 1 - x; break;
    case 8: sx = w - 1 - y; sy = x; break;
    default: sx = x; sy = y; break;
    }
}

bool HasPixels(const TKBitmap* b)
{
    return HasBitmapPixels(b);
}

// Contrast, intensity and gamma as one table per channel value.
std::array<uint8_t, 256> AdjustTable(const TKDisplayAdjust& a)
{
    std::array<uint8_t, 256> table{};
    const double contrast = (100.0 + std::clamp(a.Contrast, -100, 100)) / 100.0;
    const double intensity = std::clamp(a.Intensity, -100, 100) * 255.0 / 100.0;
    const double gamma = a.Gamma == 0 ? 1.0 : a.Gamma / 100.0;
    for (int i = 0; i < 256; ++i) {
        double v = (i - 127.5) * contrast + 127.5 + intensity;
        v = std::clamp(v, 0.0, 255.0);
        if (gamma != 1.0)
            v = 255.0 * std::pow(v / 255.0, 1.0 / gamma);
        table[size_t(i)] = uint8_t(std::lround(std::clamp(v, 0.0, 255.0)));
    }
    return table;
}

bool IsIdentity(const TKDisplayAdjust& a)
{
    return a.Contrast == 0 && a.Intensity == 0 && (a.Gamma == 100 || a.Gamma == 0);
}

// The shown pixels of part (shown coordinates, inside the view) as Format_ARGB32.
QImage ViewPart(const TKBitmap& b, const QRect& part, const TKDisplayAdjust& adjust)
{
    QImage image(part.size(), QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    const int bytes = b.BitsPerPixel / 8;
    const bool identity = IsIdentity(adjust);
    const std::array<uint8_t, 256> table = AdjustTable(adjust);
    for (int y = 0; y < part.height(); ++y) {
        auto* out = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < part.width(); ++x) {
            int sx = 0, sy = 0;
            SourceOf(b.ViewPerspective, b.Width, b.Height, part.left() + x, part.top() + y, sx, sy);
            uint8_t blue, green, red, alpha = 255;
            if (b.BitsPerPixel <= 8) {
                const uint32_t colour = BitmapColour(b, sx, sy);
                blue = uint8_t(colour);
                green = uint8_t(colour >> 8);
                red = uint8_t(colour >> 16);
            } else {
                const uint8_t* p = b.Row(sy) + size_t(sx) * size_t(bytes);
                blue = p[0];
                green = p[1];
                red = p[2];
                if (bytes == 4)
                    alpha = p[3];
            }
            if (!identity) {
                blue = table[blue];
                green = table[green];
                red = table[red];
            }
            out[x] = uint32_t(alpha) << 24 | uint32_t(red) << 16 | uint32_t(green) << 8 | blue;
        }
    }
    return image;
}

bool NearColour(uint32_t argb, uint32_t colour, uint32_t tolerance)
{
    const auto near = [tolerance](int a, int b) { return uint32_t(std::abs(a - b)) <= tolerance; };
    return near(int(argb >> 16 & 0xFF), int(colour & 0xFF)) && near(int(argb >> 8 & 0xFF), int(colour >> 8 & 0xFF)) &&
           near(int(argb & 0xFF), int(colour >> 16 & 0xFF));
}

void ClearKeyColour(QImage& image, uint32_t colour, uint32_t tolerance)
{
    const uint32_t rgb = ColorToRGB(colour) & 0xFFFFFF;
    for (int y = 0; y < image.height(); ++y) {
        auto* px = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (NearColour(px[x], rgb, tolerance))
                px[x] = 0;
    }
}

// The geometry of one paint: the visible part of the destination and the source pixels under it.
struct TMapping {
    QRect Visible;     // destination pixels painted, in painter coordinates
    QRect SourceNeed;  // shown-bitmap pixels they come from
    double ScaleX = 1, ScaleY = 1;
    TRect Source, Dest;
};

bool MapPaint(QPainter* dc, const TKBitmap& b, const TRect& source, const TRect& sourceClip, const TRect& dest,
              const TRect& destClip, TMapping& m)
{
    if (source.Width() <= 0 || source.Height() <= 0 || dest.Width() <= 0 || dest.Height() <= 0)
        return false;
    const TRect view = Rect(0, 0, BitmapViewWidth(b), BitmapViewHeight(b));
    const TRect src = Intersection(Intersection(source, sourceClip), view);
    if (IsRectEmpty(src))
        return false;
    m.Source = source;
    m.Dest = dest;
    m.ScaleX = double(dest.Width()) / source.Width();
    m.ScaleY = double(dest.Height()) / source.Height();
    // The destination pixels whose centres fall on the clipped source.
    const auto toDestX = [&](int sx) { return int(std::ceil(dest.Left + (sx - source.Left) * m.ScaleX - 0.5)); };
    const auto toDestY = [&](int sy) { return int(std::ceil(dest.Top + (sy - source.Top) * m.ScaleY - 0.5)); };
    TRect covered = Rect(toDestX(src.Left), toDestY(src.Top), toDestX(src.Right), toDestY(src.Bottom));
    TRect visible = Intersection(Intersection(covered, dest), destClip);
    if (const QPaintDevice* device = dc->device()) {
        // Painter coordinates are the device's as long as nobody moved the origin.
        const QTransform t = dc->deviceTransform().inverted();
        const QRect deviceRect = t.mapRect(QRect(0, 0, device->width(), device->height()));
        visible = Intersection(visible, Rect(deviceRect.left(), deviceRect.top(), deviceRect.right() + 1,
                                             deviceRect.bottom() + 1));
    }
    if (IsRectEmpty(visible))
        return false;
    m.Visible = ToQRect(visible);
    const auto toSourceX = [&](double dx) { return source.Left + (dx - dest.Left) / m.ScaleX; };
    const auto toSourceY = [&](double dy) { return source.Top + (dy - dest.Top) / m.ScaleY; };
    TRect need = Rect(int(std::floor(toSourceX(visible.Left))), int(std::floor(toSourceY(visible.Top))),
                      int(std::ceil(toSourceX(visible.Right))), int(std::ceil(toSourceY(visible.Bottom))));
    need = Intersection(need, src);
    if (IsRectEmpty(need))
        return false;
    m.SourceNeed = ToQRect(need);
    return true;
}

// Nearest pixel: the source pixel under the centre of each destination pixel.
void ScaleNearest(const QImage& part, const TMapping& m, QImage& out)
{
    const int w = m.Visible.width(), h = m.Visible.height();
    std::vector<int> columns(size_t(w), -1);
    for (int x = 0; x < w; ++x) {
        const double sx = m.Source.Left + (m.Visible.left() + x + 0.5 - m.Dest.Left) / m.ScaleX;
        const int c = int(std::floor(sx)) - m.SourceNeed.left();
        columns[size_t(x)] = c >= 0 && c < part.width() ? c : -1;
    }
    for (int y = 0; y < h; ++y) {
        const double sy = m.Source.Top + (m.Visible.top() + y + 0.5 - m.Dest.Top) / m.ScaleY;
        const int r = int(std::floor(sy)) - m.SourceNeed.top();
        auto* o = reinterpret_cast<uint32_t*>(out.scanLine(y));
        if (r < 0 || r >= part.height()) {
            std::fill(o, o + w, 0u);
            continue;
        }
        const auto* in = reinterpret_cast<const uint32_t*>(part.constScanLine(r));
        for (int x = 0; x < w; ++x)
            o[x] = columns[size_t(x)] >= 0 ? in[columns[size_t(x)]] : 0u;
    }
}

// A shrunk bitonal picture that keeps dark lines: each destination pixel takes the darkest
// source pixel under it.
void ScaleFavorBlack(const QImage& part, const TMapping& m, QImage& out)
{
    const int w = m.Visible.width(), h = m.Visible.height();
    for (int y = 0; y < h; ++y) {
        const double top = m.Source.Top + (m.Visible.top() + y - m.Dest.Top) / m.ScaleY - m.SourceNeed.top();
        const int r0 = std::clamp(int(std::floor(top)), 0, part.height() - 1);
        const int r1 = std::clamp(int(std::ceil(top + 1 / m.ScaleY)), r0 + 1, part.height());
        auto* o = reinterpret_cast<uint32_t*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double left = m.Source.Left + (m.Visible.left() + x - m.Dest.Left) / m.ScaleX - m.SourceNeed.left();
            const int c0 = std::clamp(int(std::floor(left)), 0, part.width() - 1);
            const int c1 = std::clamp(int(std::ceil(left + 1 / m.ScaleX)), c0 + 1, part.width());
            uint32_t best = 0;
            int bestLight = 1 << 30;
            for (int r = r0; r < r1; ++r) {
                const auto* in = reinterpret_cast<const uint32_t*>(part.constScanLine(r));
                for (int c = c0; c < c1; ++c) {
                    const uint32_t p = in[c];
                    const int light = int(p >> 16 & 0xFF) + int(p >> 8 & 0xFF) + int(p & 0xFF);
                    if (light < bestLight) {
                        bestLight = light;
                        best = p;
                    }
                }
            }
            o[x] = best;
        }
    }
}

QImage ScaleBicubic(const QImage& part, int width, int height)
{
    try {
        Magick::Image image(size_t(part.width()), size_t(part.height()), "BGRA", Magick::CharPixel, part.constBits());
        image.filterType(Magick::CatromFilter);
        Magick::Geometry size{size_t(width), size_t(height)};
        size.aspect(true);
        image.resize(size);
        QImage out(width, height, QImage::Format_ARGB32);
        if (out.isNull() || image.columns() != size_t(width) || image.rows() != size_t(height))
            return QImage();
        image.write(0, 0, size_t(width), size_t(height), "BGRA", Magick::CharPixel, out.bits());
        return out;
    } catch (const Magick::Exception&) {
        return QImage();
    }
}

// The picture of one paint, scaled as the display mode says, cut to the visible destination.
QImage ScaledPicture(const QImage& part, const TMapping& m)
{
    QImage out(m.Visible.size(), QImage::Format_ARGB32);
    if (out.isNull())
        return out;
    const uint32_t mode = g_displayMode;
    const bool shrinking = m.ScaleX < 1 || m.ScaleY < 1;
    const bool scaled = m.ScaleX != 1 || m.ScaleY != 1;
    if (shrinking && (mode & TKDM_FavorBlack)) {
        ScaleFavorBlack(part, m, out);
        return out;
    }
    const bool smooth = scaled && ((shrinking && (mode & TKDM_ScaleToGray)) || (mode & (TKDM_Resample | TKDM_Bicubic)));
    if (!smooth) {
        ScaleNearest(part, m, out);
        return out;
    }
    // Where the needed source lands, relative to the visible part.
    const QRectF target((m.Dest.Left + (m.SourceNeed.left() - m.Source.Left) * m.ScaleX) - m.Visible.left(),
                        (m.Dest.Top + (m.SourceNeed.top() - m.Source.Top) * m.ScaleY) - m.Visible.top(),
                        m.SourceNeed.width() * m.ScaleX, m.SourceNeed.height() * m.ScaleY);
    out.fill(Qt::transparent);
    QImage source = part;
    QRectF sourceRect(source.rect());
    const int w = std::max(1, int(std::lround(target.width())));
    const int h = std::max(1, int(std::lround(target.height())));
    // Scaled beforehand when the result is of the window's order of size: Qt then averages the
    // pixels a shrunk picture merges. A part zoomed far beyond the window is scaled as it is drawn.
    if (double(w) * h <= 4.0 * m.Visible.width() * m.Visible.height() + 65536.0) {
        QImage scaledPart;
        if ((mode & TKDM_Bicubic) && !(shrinking && (mode & TKDM_ScaleToGray)))
            scaledPart = ScaleBicubic(part, w, h);
        if (scaledPart.isNull())
            scaledPart = part.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (!scaledPart.isNull()) {
            source = scaledPart;
            sourceRect = QRectF(scaledPart.rect());
        }
    }
    QImage premultiplied = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    out = out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&out);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.drawImage(target, premultiplied, sourceRect);
    }
    return out.convertToFormat(QImage::Format_ARGB32);
}

// ---- Effects and gradients ---------------------------------------------------------------------
//
// Every effect code and gradient style belongs to a family of reveals. A family ranks each pixel
// of the painted area in [0, 1]: pass p of n of an effect shows the pixels ranked below p / n (the
// last pass all of them), and a gradient colours a pixel by its rank. Within its row of the table
// a code's offset picks the variant (offset modulo Variants, counted from VariantBase) and a
// count (offset divided by Variants, counted from CountBase): the strips, slats, cells, teeth,
// blades or rings of the family.

enum class TReveal : uint8_t {
    None,            // everything at once
    Sweep,           // 16 variants: see SweepRank; in count strips, every second one reversed
    Dissolve,        // squares of the effect grain in a fixed random order
    Fade,            // the whole picture, stronger with each pass
    RandomBars,      // rows (0) or columns (1) of the grain in a fixed random order
    DissolvingSweep, // squares of the grain at random within a wipe from the left (0) or top (1)
    Shape,           // 30 variants: see ShapeRank
    Blinds,          // sweep variants 0-7 inside each of count slats
    Checker,         // count x count cells wiped from the left, right, top, bottom; every second
                     // cell in the second half of the passes
    Spiral,          // count x count cells in a square spiral: clockwise from the top-left,
                     // anticlockwise from the top-right, clockwise from the bottom-right,
                     // anticlockwise from the bottom-left, in to the middle; then out from it
    Slide,           // the picture moves in from the left, right, top, bottom, in count strips
                     // that take turns in direction
    Drip,            // columns of the grain run down (0) or up (1), each from a random start
    Clock,           // a hand round the middle from 12, 3, 6, 9 o'clock, clockwise (0-3), then
                     // anticlockwise (4-7)
    Windmill,        // count blades turning clockwise from 12 o'clock
    SquaresInOrder,  // squares of the grain by rows, columns, snaking rows, snaking columns, in
                     // diagonals from the top-left, top-right, bottom-left, bottom-right, out
                     // from the middle, in from the edges
    Zigzag,          // wipes from the left, right, top, bottom with an edge of 4 x count teeth
    Mosaic,          // shape variants 0-7 inside each square of the grain
    Lattice,         // count slats both ways at once, from their starts, ends, middles, edges
    Rings,           // shape variants 0-5 repeated in count rings
};

struct TFamilyRow {
    int32_t First, Last;
    bool Gradient;
    TReveal Family;
    uint8_t VariantBase, Variants, CountBase;
};

// The toolkit's effect codes and gradient styles: every valid code has its row.
constexpr TFamilyRow FamilyTable[] = {
    {1000, 1001, false, TReveal::None, 0, 1, 1},
    {2000, 2554, false, TReveal::Sweep, 0, 16, 1},
    {3000, 3000, false, TReveal::Dissolve, 0, 1, 1},
    {3001, 3001, false, TReveal::Fade, 0, 1, 1},
    {3002, 3003, false, TReveal::RandomBars, 0, 2, 1},
    {3004, 3005, false, TReveal::DissolvingSweep, 0, 2, 1},
    {4000, 4029, false, TReveal::Shape, 0, 30, 1},
    {5000, 5263, false, TReveal::Blinds, 0, 8, 2},
    {6000, 6525, false, TReveal::Checker, 0, 4, 2},
    {7000, 7263, false, TReveal::Spiral, 0, 8, 2},
    {8000, 8259, false, TReveal::Slide, 0, 4, 1},
    {9000, 9001, false, TReveal::Drip, 0, 2, 1},
    {10000, 10003, false, TReveal::Clock, 0, 4, 1},
    {11000, 11003, false, TReveal::Clock, 4, 4, 1},
    {11004, 11006, false, TReveal::Windmill, 0, 1, 2},
    {12000, 12009, false, TReveal::SquaresInOrder, 0, 10, 1},
    {13000, 13007, false, TReveal::Zigzag, 0, 4, 1},
    {14000, 14007, false, TReveal::Mosaic, 0, 8, 1},
    {15000, 15035, false, TReveal::Lattice, 0, 4, 2},
    {16000, 16035, false, TReveal::Rings, 0, 6, 2},
    // Gradients: linear (the sweeps), circle out and in, circle from each corner, ellipse, box,
    // diamond, and the angle round the middle.
    {1000, 1015, true, TReveal::Sweep, 0, 16, 1},
    {2000, 2001, true, TReveal::Shape, 8, 2, 1},
    {2002, 2005, true, TReveal::Shape, 26, 4, 1},
    {2006, 2007, true, TReveal::Shape, 2, 2, 1},
    {3000, 3001, true, TReveal::Shape, 0, 2, 1},
    {4000, 4001, true, TReveal::Shape, 4, 2, 1},
    {5000, 5007, true, TReveal::Clock, 0, 8, 1},
};

const TFamilyRow* FindFamily(int32_t code, bool gradient)
{
    for (const TFamilyRow& row : FamilyTable)
        if (row.Gradient == gradient && code >= row.First && code <= row.Last)
            return &row;
    return nullptr;
}

double Frac(double v)
{
    return v - std::floor(v);
}

// Sweeps, with x and y across the area from 0 to 1: wipes from the left, right, top, bottom (0-3);
// splits out from the middle horizontally, vertically and in from the edges horizontally,
// vertically (4-7); diagonal wipes from the top-left, top-right, bottom-left, bottom-right
// corner (8-11); diagonal splits out from the rising and the falling diagonal and in to them
// (12-15).
double SweepRank(int variant, double x, double y)
{
    switch (variant) {
    case 0: return x;
    case 1: return 1 - x;
    case 2: return y;
    case 3: return 1 - y;
    case 4: return std::abs(2 * x - 1);
    case 5: return std::abs(2 * y - 1);
    case 6: return 1 - std::abs(2 * x - 1);
    case 7: return 1 - std::abs(2 * y - 1);
    case 8: return (x + y) / 2;
    case 9: return (1 - x + y) / 2;
    case 10: return (x + 1 - y) / 2;
    case 11: return (2 - x - y) / 2;
    case 12: return std::abs(x + y - 1);
    case 13: return std::abs(x - y);
    case 14: return 1 - std::abs(x + y - 1);
    default: return 1 - std::abs(x - y);
    }
}

// Whether a sweep moves up or down (its strips and slats then stand side by side).
bool SweepsVertically(int variant)
{
    return variant == 2 || variant == 3 || variant == 5 || variant == 7;
}

// Shapes: box, ellipse, diamond, cross and circle growing out from the middle, each followed by
// the same shrinking in to it (0-9); then the five growing from the top-left, top-right,
// bottom-left and bottom-right corner (10-29). w and h give the circle its aspect.
double ShapeRank(int variant, double x, double y, double w, double h)
{
    int shape;
    bool in = false;
    if (variant < 10) {
        shape = variant / 2;
        in = variant % 2;
        x = std::abs(2 * x - 1);
        y = std::abs(2 * y - 1);
    } else {
        shape = (variant - 10) / 4;
        const int corner = (variant - 10) % 4;
        if (corner & 1)
            x = 1 - x;
        if (corner & 2)
            y = 1 - y;
    }
    double r;
    switch (shape) {
    case 0: r = std::max(x, y); break;
    case 1: r = std::sqrt((x * x + y * y) / 2); break;
    case 2: r = (x + y) / 2; break;
    case 3: r = std::min(x, y); break;
    default: r = std::sqrt((x * w * x * w + y * h * y * h) / (w * w + h * h)); break;
    }
    return in ? 1 - r : r;
}

// The turn of a clock hand at (x, y) round the middle, from 0 to 1.
double ClockRank(int variant, double x, double y)
{
    const double turn = std::atan2(y - 0.5, x - 0.5) / (2 * std::numbers::pi) + 0.25 - (variant % 4) / 4.0;
    const double t = Frac(turn);
    return variant >= 4 && t > 0 ? 1 - t : t;
}

// The place of cell (i, j) of a columns x rows grid on a square spiral walked clockwise from the
// top-left corner inwards.
int SpiralIndex(int i, int j, int columns, int rows)
{
    const int ring = std::min({i, j, columns - 1 - i, rows - 1 - j});
    const int c = columns - 2 * ring, r = rows - 2 * ring;
    const int before = columns * rows - c * r;
    const int x = i - ring, y = j - ring;
    if (c == 1 || r == 1)
        return before + x + y;
    if (y == 0)
        return before + x;
    if (x == c - 1)
        return before + c - 1 + y;
    if (y == r - 1)
        return before + (c - 1) + (r - 1) + (c - 1 - x);
    return before + 2 * (c - 1) + (r - 1) + (r - 1 - y);
}

// A random order of n items: the place of each.
const std::vector<uint32_t>& RandomRanks(size_t n)
{
    static std::map<size_t, std::vector<uint32_t>> cache;
    auto it = cache.find(n);
    if (it != cache.end())
        return it->second;
    if (cache.size() > 16)
        cache.clear();
    std::vector<uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    std::mt19937 random(0x5EED);
    std::shuffle(order.begin(), order.end(), random);
    std::vector<uint32_t> rank(n);
    for (size_t i = 0; i < n; ++i)
        rank[order[i]] = uint32_t(i);
    return cache.emplace(n, std::move(rank)).first->second;
}

// One effect or gradient laid over an area of w x h pixels.
struct TRevealArea {
    TReveal Family = TReveal::None;
    int Variant = 0, Count = 1;
    int W = 1, H = 1;
    int Grain = 1;
    int Columns = 1, Rows = 1; // squares of the grain
    const std::vector<uint32_t>* Ranks = nullptr;

    double Ranked(size_t item) const { return (*Ranks)[item] / double(Ranks->size()); }

    // The rank of pixel (rx, ry) of the area.
    double Rank(int rx, int ry) const
    {
        const double x = (rx + 0.5) / W, y = (ry + 0.5) / H;
        const size_t square = size_t(ry / Grain) * size_t(Columns) + size_t(rx / Grain);
        switch (Family) {
        case TReveal::None:
        case TReveal::Fade: return 0;
        case TReveal::Sweep:
        case TReveal::Slide: {
            const double r = SweepRank(Variant, x, y);
            const double across = SweepsVertically(Variant) ? x : y;
            return int(across * Count) % 2 ? 1 - r : r;
        }
        case TReveal::Dissolve: return Ranked(square);
        case TReveal::RandomBars: return Ranked(size_t(Variant == 0 ? ry / Grain : rx / Grain));
        case TReveal::DissolvingSweep: return (Ranked(square) + (Variant == 0 ? x : y)) / 2;
        case TReveal::Shape: return ShapeRank(Variant, x, y, W, H);
        case TReveal::Blinds:
            return SweepsVertically(Variant) ? SweepRank(Variant, x, Frac(y * Count))
                                             : SweepRank(Variant, Frac(x * Count), y);
        case TReveal::Checker: {
            const double cx = x * Count, cy = y * Count;
            const int parity = (int(cx) + int(cy)) & 1;
            return (SweepRank(Variant, Frac(cx), Frac(cy)) + parity) / 2;
        }
        case TReveal::Spiral: {
            int i = std::min(Count - 1, int(x * Count)), j = std::min(Count - 1, int(y * Count));
            const int m = Variant % 4;
            if (m == 1 || m == 2)
                i = Count - 1 - i;
            if (m == 2 || m == 3)
                j = Count - 1 - j;
            const int n = Count * Count, index = SpiralIndex(i, j, Count, Count);
            return double(Variant < 4 ? index : n - 1 - index) / n;
        }
        case TReveal::Drip: return Ranked(size_t(rx / Grain)) / 2 + (Variant == 0 ? y : 1 - y) / 2;
        case TReveal::Clock: return ClockRank(Variant, x, y);
        case TReveal::Windmill: return Frac(ClockRank(0, x, y) * Count);
        case TReveal::SquaresInOrder: {
            const int i = rx / Grain, j = ry / Grain, c = Columns, r = Rows;
            const double n = double(c) * r;
            switch (Variant) {
            case 0: return (j * c + i) / n;
            case 1: return (i * r + j) / n;
            case 2: return (j * c + (j % 2 ? c - 1 - i : i)) / n;
            case 3: return (i * r + (i % 2 ? r - 1 - j : j)) / n;
            case 8:
            case 9: return ShapeRank(Variant - 8, (i + 0.5) / c, (j + 0.5) / r, 1, 1);
            default: {
                const int corner = Variant - 4;
                const int a = corner & 1 ? c - 1 - i : i, b = corner & 2 ? r - 1 - j : j;
                return double(a + b) / (c + r - 1);
            }
            }
        }
        case TReveal::Zigzag: {
            const double along = SweepRank(Variant, x, y);
            const double tooth = std::abs(2 * Frac((Variant < 2 ? y : x) * 4 * Count) - 1);
            return (along + 0.1 * tooth) / 1.1;
        }
        case TReveal::Mosaic:
            return ShapeRank(Variant, (rx % Grain + 0.5) / Grain, (ry % Grain + 0.5) / Grain, 1, 1);
        case TReveal::Lattice: {
            const auto slat = [this](double t) {
                t = Frac(t * Count);
                switch (Variant) {
                case 0: return t;
                case 1: return 1 - t;
                case 2: return std::abs(2 * t - 1);
                default: return 1 - std::abs(2 * t - 1);
                }
            };
            return std::min(slat(x), slat(y));
        }
        case TReveal::Rings: return Frac(ShapeRank(Variant, x, y, W, H) * Count);
        }
        return 0;
    }
};

TRevealArea MakeReveal(const TFamilyRow* row, int32_t code, const QSize& area, int grain)
{
    TRevealArea a;
    a.W = std::max(1, area.width());
    a.H = std::max(1, area.height());
    if (!row)
        return a;
    const int offset = code - row->First;
    a.Family = row->Family;
    a.Variant = row->VariantBase + offset % row->Variants;
    a.Count = row->CountBase + offset / row->Variants;
    // Slats, cells and rings keep at least four pixels across, so that each still opens in
    // steps; a small area has fewer of them. A slat that splits (blinds variants 4-7) opens from
    // both of its halves, so each half keeps the four.
    constexpr int narrowest = 4;
    const auto fit = [&a](int pixels) { a.Count = std::clamp(pixels / narrowest, 1, a.Count); };
    switch (a.Family) {
    case TReveal::Blinds: fit((SweepsVertically(a.Variant) ? a.H : a.W) / (a.Variant >= 4 ? 2 : 1)); break;
    case TReveal::Checker:
    case TReveal::Lattice: fit(std::min(a.W, a.H)); break;
    case TReveal::Rings: fit(std::min(a.W, a.H) / 2); break;
    default: break;
    }
    a.Grain = std::clamp(grain, 1, 256);
    a.Columns = (a.W + a.Grain - 1) / a.Grain;
    a.Rows = (a.H + a.Grain - 1) / a.Grain;
    switch (a.Family) {
    case TReveal::Dissolve:
    case TReveal::DissolvingSweep: a.Ranks = &RandomRanks(size_t(a.Columns) * size_t(a.Rows)); break;
    case TReveal::RandomBars: a.Ranks = &RandomRanks(size_t(a.Variant == 0 ? a.Rows : a.Columns)); break;
    case TReveal::Drip: a.Ranks = &RandomRanks(size_t(a.Columns)); break;
    default: break;
    }
    return a;
}

double PassFraction(int pass, int total)
{
    if (total <= 0)
        return 1.0;
    return std::clamp(double(pass) / total, 0.0, 1.0);
}

// Which pixels of the area one pass paints, and its opacity.
struct TEffectMask {
    TRevealArea Reveal;
    QRect Area;
    double Fraction = 1;
    double Before = 0; // the part the passes before showed
    double Opacity = 1;
    bool Masked = false;
};

TEffectMask MakeMask(const TKEffect& effect, const QRect& area)
{
    TEffectMask mask;
    mask.Area = area;
    mask.Fraction = PassFraction(effect.Pass, effect.MaxPasses);
    mask.Before = PassFraction(effect.Pass - 1, effect.MaxPasses);
    mask.Reveal = MakeReveal(FindFamily(effect.Code, false), effect.Code, area.size(), effect.Grain);
    switch (mask.Reveal.Family) {
    case TReveal::None:
        // Everything at the first pass; the passes after it add nothing.
        mask.Opacity = effect.Pass <= 1 ? 1.0 : 0.0;
        break;
    case TReveal::Fade:
        // Each pass blends over the result of the one before, so that after pass p the picture
        // stands at p / n of its strength.
        mask.Opacity = mask.Before >= 1 ? 0.0 : (mask.Fraction - mask.Before) / (1 - mask.Before);
        break;
    default: mask.Masked = !area.isEmpty(); break;
    }
    return mask;
}

// Clears the pixels of image (placed at origin) that the pass does not add: each pass paints only
// its own share, so that pixels with alpha are blended once.
void ApplyMask(QImage& image, const QPoint& origin, const TEffectMask& mask)
{
    if (!mask.Masked)
        return;
    const bool all = mask.Fraction >= 1;
    for (int y = 0; y < image.height(); ++y) {
        auto* px = reinterpret_cast<uint32_t*>(image.scanLine(y));
        const int ry = origin.y() + y - mask.Area.top();
        for (int x = 0; x < image.width(); ++x) {
            const int rx = origin.x() + x - mask.Area.left();
            if (ry < 0 || ry >= mask.Area.height() || rx < 0 || rx >= mask.Area.width()) {
                px[x] = 0;
                continue;
            }
            const double rank = mask.Reveal.Rank(rx, ry);
            if (!(all || rank < mask.Fraction) || rank < mask.Before)
                px[x] = 0;
        }
    }
}

// One strip of a slide: the part of it shown and how far the picture is moved to fill it.
struct TSlidePiece {
    QRect Shown;
    QPoint Offset;
};

// A slide moves the picture, so each pass paints the whole of what it shows.
std::vector<TSlidePiece> SlidePieces(const TKEffect& effect, const QRect& area)
{
    std::vector<TSlidePiece> pieces;
    const TFamilyRow* row = FindFamily(effect.Code, false);
    const TRevealArea slide = MakeReveal(row, effect.Code, area.size(), effect.Grain);
    const bool horizontal = slide.Variant < 2;
    const int length = horizontal ? area.width() : area.height();
    const int across = horizontal ? area.height() : area.width();
    const int shown = int(std::lround(length * PassFraction(effect.Pass, effect.MaxPasses)));
    if (effect.Pass > effect.MaxPasses || shown <= 0 || across <= 0)
        return pieces;
    const int count = std::clamp(slide.Count, 1, across);
    for (int k = 0; k < count; ++k) {
        const int a0 = across * k / count, a1 = across * (k + 1) / count;
        const bool fromStart = (slide.Variant % 2 == 0) != (k % 2 == 1);
        const int s0 = fromStart ? 0 : length - shown;
        const int move = fromStart ? shown - length : length - shown;
        if (horizontal)
            pieces.push_back({QRect(area.left() + s0, area.top() + a0, shown, a1 - a0), QPoint(move, 0)});
        else
            pieces.push_back({QRect(area.left() + a0, area.top() + s0, a1 - a0, shown), QPoint(0, move)});
    }
    return pieces;
}

bool IsSlide(int32_t code)
{
    const TFamilyRow* row = FindFamily(code, false);
    return row && row->Family == TReveal::Slide;
}

bool IsPlainEffect(int32_t code)
{
    return code == 0 || code == 1000 || code == 1001;
}

bool CompositionFor(uint32_t rop, QPainter::CompositionMode& mode)
{
    switch (rop) {
    case TK_SRCCOPY: mode = QPainter::CompositionMode_SourceOver; return true;
    case TK_SRCPAINT: mode = QPainter::RasterOp_SourceOrDestination; return true;
    case TK_SRCAND: mode = QPainter::RasterOp_SourceAndDestination; return true;
    case TK_SRCINVERT: mode = QPainter::RasterOp_SourceXorDestination; return true;
    default: return false;
    }
}

// Draws a prepared picture (Format_ARGB32, not premultiplied) at its place.
void DrawPrepared(QPainter* dc, const QImage& image, const QPoint& at, QPainter::CompositionMode mode, double opacity)
{
    if (opacity <= 0)
        return;
    dc->save();
    dc->setCompositionMode(mode);
    dc->setOpacity(dc->opacity() * opacity);
    dc->drawImage(at, image);
    dc->restore();
}

int PaintPicture(QPainter* dc, const TKBitmap* bitmap, const TRect& source, const TRect& sourceClip,
                 const TRect& dest, const TRect& destClip, uint32_t rop, const TKDisplayAdjust& adjust,
                 const TKEffect* effect)
{
    if (!dc || !dc->isActive())
        return TK_ErrParameter;
    if (!HasPixels(bitmap))
        return TK_ErrBitmapHandle;
    QPainter::CompositionMode mode;
    if (!CompositionFor(rop, mode))
        return TK_ErrParameter;
    if (effect && IsSlide(effect->Code)) {
        TKEffect still = *effect;
        still.Code = 1000;
        still.Pass = still.MaxPasses = 1;
        for (const TSlidePiece& piece : SlidePieces(*effect, ToQRect(dest))) {
            TRect moved = dest;
            OffsetRect(moved, piece.Offset.x(), piece.Offset.y());
            const QRect& s = piece.Shown;
            const TRect clip = Intersection(destClip, Rect(s.left(), s.top(), s.left() + s.width(), s.top() + s.height()));
            const int result = PaintPicture(dc, bitmap, source, sourceClip, moved, clip, rop, adjust, &still);
            if (result != TK_Success)
                return result;
        }
        return TK_Success;
    }
    TMapping m;
    if (!MapPaint(dc, *bitmap, source, sourceClip, dest, destClip, m))
        return TK_Success;
    QImage part = ViewPart(*bitmap, m.SourceNeed, adjust);
    if (part.isNull())
        return TK_ErrNoMemory;
    if (effect) {
        if (effect->UseTransparentColor)
            ClearKeyColour(part, effect->TransparentColor, effect->WandSize);
        if (bitmap->Flags & TKBF_Transparent)
            ClearKeyColour(part, bitmap->TransparentColor, 0);
    }
    QImage picture = ScaledPicture(part, m);
    if (picture.isNull())
        return TK_ErrNoMemory;
    double opacity = 1;
    if (effect) {
        const TEffectMask mask = MakeMask(*effect, ToQRect(dest));
        ApplyMask(picture, m.Visible.topLeft(), mask);
        opacity = mask.Opacity;
    }
    DrawPrepared(dc, picture, m.Visible.topLeft(), mode, opacity);
    return TK_Success;
}

// ---- Gradients and patterns ------------------------------------------------------------------

uint32_t Mix(uint32_t a, uint32_t b, double t)
{
    const auto channel = [t](uint32_t x, uint32_t y) {
        return uint32_t(std::lround(double(x) + (double(y) - double(x)) * t)) & 0xFF;
    };
    return 0xFF000000u | channel(a >> 16 & 0xFF, b >> 16 & 0xFF) << 16 | channel(a >> 8 & 0xFF, b >> 8 & 0xFF) << 8 |
           channel(a & 0xFF, b & 0xFF);
}

// Fills image, placed at origin, with the gradient laid over area: each pixel takes the band of
// its rank, from the start colour (rank 0) to the end colour (rank 1).
void FillGradient(QImage& image, const QRect& area, const QPoint& origin, int style, uint32_t start, uint32_t end,
                  int steps)
{
    steps = std::max(2, steps);
    std::vector<uint32_t> bands(static_cast<size_t>(steps));
    for (int k = 0; k < steps; ++k)
        bands[size_t(k)] = Mix(start, end, double(k) / (steps - 1));
    const TRevealArea gradient = MakeReveal(FindFamily(style, true), style, area.size(), 1);
    for (int y = 0; y < image.height(); ++y) {
        auto* px = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double t =
                std::clamp(gradient.Rank(origin.x() + x - area.left(), origin.y() + y - area.top()), 0.0, 1.0);
            px[x] = bands[size_t(std::min(steps - 1, int(t * steps)))];
        }
    }
}

void FillPattern(QImage& image, const QPoint& origin, int style, uint32_t back, uint32_t fore)
{
    static const Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                             Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    image.fill(QColor::fromRgba(back));
    if (style < 2)
        return;
    QPainter p(&image);
    QBrush brush{QColor::fromRgba(fore), hatches[style - 2]};
    // Hatches line up with the painter's coordinates, whatever part is painted.
    p.setBrushOrigin(-origin);
    p.fillRect(image.rect(), brush);
}

void FillBand(QPainter* dc, const QRect& r, uint32_t colour)
{
    if (r.width() > 0 && r.height() > 0)
        dc->fillRect(r, QColor::fromRgba(ColorToArgb(colour)));
}

// A bevel ring of thickness t inside r: top and left in one colour, bottom and right in the other.
void Bevel(QPainter* dc, TRect& r, int t, uint32_t topLeft, uint32_t bottomRight)
{
    for (int i = 0; i < t && !IsRectEmpty(r); ++i) {
        const int l = r.Left, top = r.Top, right = r.Right, bottom = r.Bottom;
        FillBand(dc, QRect(l, top, right - l - 1, 1), topLeft);
        FillBand(dc, QRect(l, top, 1, bottom - top - 1), topLeft);
        FillBand(dc, QRect(right - 1, top, 1, bottom - top), bottomRight);
        FillBand(dc, QRect(l, bottom - 1, right - l, 1), bottomRight);
        InflateRect(r, -1, -1);
    }
}

} // namespace

// ---- Display mode ----------------------------------------------------------------------------

uint32_t TK_GetDisplayMode()
{
    return g_displayMode;
}

uint32_t TK_SetDisplayMode(uint32_t mask, uint32_t value)
{
    const uint32_t old = g_displayMode;
    g_displayMode = (old & ~mask) | (value & mask);
    return old;
}

// ---- Codes -----------------------------------------------------------------------------------

bool TK_IsEffectCode(int32_t code)
{
    return FindFamily(code, false) != nullptr;
}

bool TK_IsGradientStyle(int32_t style)
{
    return FindFamily(style, true) != nullptr;
}

bool TK_IsEffectComputed(int32_t code)
{
    return TK_IsEffectCode(code);
}

bool TK_IsGradientComputed(int32_t style)
{
    return TK_IsGradientStyle(style);
}

// ---- Painting --------------------------------------------------------------------------------

int TK_PaintBitmap(QPainter* dc, const TKBitmap* bitmap, const TRect& source, const TRect& sourceClip,
                   const TRect& dest, const TRect& destClip, uint32_t rop, const TKDisplayAdjust& adjust)
{
    return PaintPicture(dc, bitmap, source, sourceClip, dest, destClip, rop, adjust, nullptr);
}

int TK_EfxPaintBitmap(QPainter* dc, const TKBitmap* bitmap, const TRect& source, const TRect& sourceClip,
                      const TRect& dest, const TRect& destClip, const TKEffect& effect, const TKDisplayAdjust& adjust)
{
    if (!IsPlainEffect(effect.Code) && !TK_IsEffectCode(effect.Code))
        return TK_ErrParameter;
    return PaintPicture(dc, bitmap, source, sourceClip, dest, destClip, effect.Rop, adjust, &effect);
}

int TK_EfxPaintTransition(QPainter* dc, const TRect& area, int32_t style, uint32_t color1, uint32_t color2,
                          int32_t gradientSteps, const TKEffect& effect)
{
    if (!dc || !dc->isActive())
        return TK_ErrParameter;
    const bool pattern = style >= 0 && style <= 7;
    if (!pattern && !TK_IsGradientStyle(style))
        return TK_ErrParameter;
    if (!IsPlainEffect(effect.Code) && !TK_IsEffectCode(effect.Code))
        return TK_ErrParameter;
    QPainter::CompositionMode mode;
    if (!CompositionFor(effect.Rop, mode))
        return TK_ErrParameter;
    if (pattern && style == 1) // transparent: nothing to paint
        return TK_Success;
    QRect visible = ToQRect(area);
    if (const QPaintDevice* device = dc->device())
        visible &= dc->deviceTransform().inverted().mapRect(QRect(0, 0, device->width(), device->height()));
    const uint32_t first = ColorToArgb(color1), second = ColorToArgb(color2);
    // Paints the fill, moved by offset, into the part `into` of the area.
    const auto paint = [&](const QRect& into, const QPoint& offset, bool masked) -> int {
        const QRect part = into & visible;
        if (part.isEmpty())
            return TK_Success;
        QImage image(part.size(), QImage::Format_ARGB32);
        if (image.isNull())
            return TK_ErrNoMemory;
        if (pattern)
            FillPattern(image, part.topLeft() - offset, style, first, second);
        else
            FillGradient(image, ToQRect(area).translated(offset), part.topLeft(), style, first, second, gradientSteps);
        double opacity = 1;
        if (masked) {
            const TEffectMask mask = MakeMask(effect, ToQRect(area));
            ApplyMask(image, part.topLeft(), mask);
            opacity = mask.Opacity;
        }
        DrawPrepared(dc, image, part.topLeft(), mode, opacity);
        return TK_Success;
    };
    if (!IsSlide(effect.Code))
        return paint(ToQRect(area), QPoint(), true);
    for (const TSlidePiece& piece : SlidePieces(effect, ToQRect(area)))
        if (const int result = paint(piece.Shown, piece.Offset, false); result != TK_Success)
            return result;
    return TK_Success;
}

int TK_EfxDrawFrame(QPainter* dc, const TRect& rect, uint32_t flags, int32_t thickness, uint32_t color,
                    int32_t innerThickness, uint32_t innerShadow, uint32_t innerHilite, int32_t outerThickness,
                    uint32_t outerShadow, uint32_t outerHilite)
{
    if (!dc || !dc->isActive())
        return TK_ErrParameter;
    if (thickness < 0 || innerThickness < 0 || outerThickness < 0)
        return TK_ErrParameter;
    TRect r = rect;
    if (flags & TKFR_OuterRaised)
        Bevel(dc, r, outerThickness, outerHilite, outerShadow);
    else
        Bevel(dc, r, outerThickness, outerShadow, outerHilite);
    const int band = std::min(thickness, std::max(0, std::min(r.Width(), r.Height()) + 1) / 2);
    if (band > 0) {
        const QRect q = ToQRect(r);
        FillBand(dc, QRect(q.left(), q.top(), q.width(), band), color);
        FillBand(dc, QRect(q.left(), q.bottom() + 1 - band, q.width(), band), color);
        FillBand(dc, QRect(q.left(), q.top(), band, q.height()), color);
        FillBand(dc, QRect(q.right() + 1 - band, q.top(), band, q.height()), color);
        InflateRect(r, -band, -band);
    }
    if (flags & TKFR_InnerRaised)
        Bevel(dc, r, innerThickness, innerHilite, innerShadow);
    else
        Bevel(dc, r, innerThickness, innerShadow, innerHilite);
    return TK_Success;
}

// ---- Palettes --------------------------------------------------------------------------------

int TK_CreatePaintPalette(const TKBitmap* bitmap, TKPalette* palette)
{
    if (!palette)
        return TK_ErrParameter;
    *palette = 0;
    if (!HasPixels(bitmap))
        return TK_ErrBitmapHandle;
    const TKPalette handle = NewHandle(Palettes());
    Palettes()[handle] = true;
    *palette = handle;
    return TK_Success;
}

int TK_DeletePalette(TKPalette palette)
{
    return Palettes().erase(palette) ? TK_Success : TK_ErrParameter;
}

int TK_RealizePalette(TKPalette palette, bool)
{
    return Palettes().count(palette) ? 0 : TK_ErrParameter;
}

// ---- Double buffer ---------------------------------------------------------------------------

int TK_CreateDoubleBuffer(TKDoubleBuffer* buffer)
{
    if (!buffer)
        return TK_ErrParameter;
    *buffer = NewHandle(DoubleBuffers());
    DoubleBuffers()[*buffer];
    return TK_Success;
}

int TK_DestroyDoubleBuffer(TKDoubleBuffer buffer)
{
    auto it = DoubleBuffers().find(buffer);
    if (it == DoubleBuffers().end())
        return TK_ErrParameter;
    if (it->second.Painter)
        it->second.Painter->end();
    DoubleBuffers().erase(it);
    return TK_Success;
}

int TK_EnableDoubleBuffer(TKDoubleBuffer buffer, bool enable)
{
    auto it = DoubleBuffers().find(buffer);
    if (it == DoubleBuffers().end())
        return TK_ErrParameter;
    it->second.Enabled = enable;
    return TK_Success;
}

bool TK_IsDoubleBufferEnabled(TKDoubleBuffer buffer)
{
    auto it = DoubleBuffers().find(buffer);
    return it != DoubleBuffers().end() && it->second.Enabled;
}

QPainter* TK_BeginDoubleBuffer(TKDoubleBuffer buffer, QPainter* window, const TRect& rect, bool translucent)
{
    auto it = DoubleBuffers().find(buffer);
    if (it == DoubleBuffers().end() || !it->second.Enabled || !window || IsRectEmpty(rect) || it->second.Painter)
        return window;
    TDoubleBufferState& s = it->second;
    const QSize size(rect.Width(), rect.Height());
    if (s.Image.size() != size)
        s.Image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    if (s.Image.isNull())
        return window;
    if (translucent)
        s.Image.fill(Qt::transparent);
    s.Painter = std::make_unique<QPainter>(&s.Image);
    s.Painter->translate(-rect.Left, -rect.Top);
    s.Window = window;
    s.Area = rect;
    return s.Painter.get();
}

int TK_EndDoubleBuffer(TKDoubleBuffer buffer)
{
    auto it = DoubleBuffers().find(buffer);
    if (it == DoubleBuffers().end() || !it->second.Painter)
        return TK_ErrParameter;
    TDoubleBufferState& s = it->second;
    s.Painter->end();
    s.Painter.reset();
    s.Window->save();
    s.Window->setCompositionMode(QPainter::CompositionMode_SourceOver);
    s.Window->drawImage(QPoint(s.Area.Left, s.Area.Top), s.Image);
    s.Window->restore();
    s.Window = nullptr;
    return TK_Success;
}
