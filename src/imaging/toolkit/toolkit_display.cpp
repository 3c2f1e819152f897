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

// ---- Effects ---------------------------------------------------------------------------------

double PassFraction(int pass, int total)
{
    if (total <= 0)
        return 1.0;
    return std::clamp(double(pass) / total, 0.0, 1.0);
}

// A fixed random order of n squares: the rank at which each is shown.
const std::vector<uint32_t>& DissolveRanks(size_t n)
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

// Which pixels of area the pass shows, as a test on painter coordinates, and the opacity of the
// pass. Returns false for an effect that is not computed (everything shown at once).
struct TEffectMask {
    int Code = 1000;
    QRect Area;
    double Fraction = 1;
    double Before = 0; // the part the passes before showed
    int Grain = 1;
    size_t Columns = 0, Rows = 0;
    const std::vector<uint32_t>* Ranks = nullptr;
    double Opacity = 1;

    // Whether the part f of the effect shows the pixel.
    bool Shows(int x, int y, double f) const
    {
        if (f <= 0)
            return false;
        const int l = Area.left(), t = Area.top(), w = Area.width(), h = Area.height();
        const int rx = x - l, ry = y - t;
        const auto part = [f](int size) { return int(std::lround(size * f)); };
        switch (Code) {
        case 2000: return rx < part(w);
        case 2001: return rx >= w - part(w);
        case 2002: return ry < part(h);
        case 2003: return ry >= h - part(h);
        case 2004: { const int s = part(w); const int a = (w - s) / 2; return rx >= a && rx < a + s; }
        case 2005: { const int s = part(h); const int a = (h - s) / 2; return ry >= a && ry < a + s; }
        case 2006: { const int s = int(std::ceil(w * f / 2)); return rx < s || rx >= w - s; }
        case 2007: { const int s = int(std::ceil(h * f / 2)); return ry < s || ry >= h - s; }
        case 3000: {
            const size_t index = size_t(ry / Grain) * Columns + size_t(rx / Grain);
            return (*Ranks)[index] < uint32_t(std::lround(double(Ranks->size()) * f));
        }
        case 4000: case 4001: {
            const double dx = std::abs(rx + 0.5 - w / 2.0) / std::max(1.0, w / 2.0);
            const double dy = std::abs(ry + 0.5 - h / 2.0) / std::max(1.0, h / 2.0);
            const double d = std::max(dx, dy);
            return Code == 4000 ? d <= f : d >= 1 - f;
        }
        case 4002: case 4003: {
            const double dx = (rx + 0.5 - w / 2.0) / std::max(1.0, w / 2.0);
            const double dy = (ry + 0.5 - h / 2.0) / std::max(1.0, h / 2.0);
            const double d = std::sqrt(dx * dx + dy * dy) / std::sqrt(2.0);
            return Code == 4002 ? d <= f : d >= 1 - f;
        }
        default: return true;
        }
    }
};

bool IsPlainEffect(int32_t code)
{
    return code == 0 || code == 1000 || code == 1001;
}

TEffectMask MakeMask(const TKEffect& effect, const QRect& area)
{
    TEffectMask mask;
    mask.Code = effect.Code;
    mask.Area = area;
    mask.Fraction = PassFraction(effect.Pass, effect.MaxPasses);
    mask.Before = PassFraction(effect.Pass - 1, effect.MaxPasses);
    if (!TK_IsEffectComputed(effect.Code) || IsPlainEffect(effect.Code)) {
        // Everything at the first pass; the passes after it add nothing.
        mask.Code = 1000;
        mask.Opacity = effect.Pass <= 1 ? 1.0 : 0.0;
        return mask;
    }
    if (effect.Code == 3000) {
        mask.Grain = std::clamp(effect.Grain, 1, 256);
        mask.Columns = size_t((area.width() + mask.Grain - 1) / mask.Grain);
        mask.Rows = size_t((area.height() + mask.Grain - 1) / mask.Grain);
        mask.Ranks = &DissolveRanks(std::max<size_t>(1, mask.Columns * mask.Rows));
    } else if (effect.Code == 3001) {
        // Each pass blends over the result of the one before, so that after pass p the picture
        // stands at p / n of its strength.
        const double before = mask.Before;
        mask.Opacity = before >= 1 ? 0.0 : (mask.Fraction - before) / (1 - before);
        mask.Code = 1000;
    }
    return mask;
}

void ApplyMask(QImage& image, const QPoint& origin, const TEffectMask& mask)
{
    if (mask.Code == 1000 || mask.Area.isEmpty())
        return;
    for (int y = 0; y < image.height(); ++y) {
        auto* px = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QPoint p(origin.x() + x, origin.y() + y);
            // Each pass paints only what it adds, so that pixels with alpha are blended once.
            if (!mask.Area.contains(p) || !mask.Shows(p.x(), p.y(), mask.Fraction) ||
                mask.Shows(p.x(), p.y(), mask.Before))
                px[x] = 0;
        }
    }
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
    const int result = effect && !TK_IsEffectComputed(effect->Code) && !IsPlainEffect(effect->Code) ? TK_ErrNotSupported
                                                                                                       : TK_Success;
    TMapping m;
    if (!MapPaint(dc, *bitmap, source, sourceClip, dest, destClip, m))
        return result;
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
    return result;
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

// Where a pixel lies between the start (0) and the end (1) of a gradient.
double GradientPosition(int style, int rx, int ry, int w, int h)
{
    const double x = rx + 0.5, y = ry + 0.5;
    switch (style) {
    case 1000: return x / w;
    case 1001: return 1 - x / w;
    case 1002: return y / h;
    case 1003: return 1 - y / h;
    case 2000: {
        const double dx = x - w / 2.0, dy = y - h / 2.0;
        return std::sqrt(dx * dx + dy * dy) / std::sqrt(w * w / 4.0 + h * h / 4.0);
    }
    case 3000: return std::max(std::abs(x - w / 2.0) / (w / 2.0), std::abs(y - h / 2.0) / (h / 2.0));
    default: return 0;
    }
}

void FillGradient(QImage& image, const QRect& area, const QPoint& origin, int style, uint32_t start, uint32_t end,
                  int steps)
{
    steps = std::max(2, steps);
    std::vector<uint32_t> bands(static_cast<size_t>(steps));
    for (int k = 0; k < steps; ++k)
        bands[size_t(k)] = Mix(start, end, double(k) / (steps - 1));
    const bool computed = TK_IsGradientComputed(style);
    for (int y = 0; y < image.height(); ++y) {
        auto* px = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (!computed) {
                px[x] = bands[0];
                continue;
            }
            const double t = std::clamp(GradientPosition(style, origin.x() + x - area.left(),
                                                          origin.y() + y - area.top(), area.width(), area.height()),
                                        0.0, 1.0);
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

bool InRanges(int32_t code, const std::initializer_list<std::pair<int32_t, int32_t>>& ranges)
{
    for (const auto& [low, high] : ranges)
        if (code >= low && code <= high)
            return true;
    return false;
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
    return InRanges(code, {{1000, 1001},   {2000, 2554},   {3000, 3005},   {4000, 4029},   {5000, 5263},
                           {6000, 6525},   {7000, 7263},   {8000, 8259},   {9000, 9001},   {10000, 10003},
                           {11000, 11006}, {12000, 12009}, {13000, 13007}, {14000, 14007}, {15000, 15035},
                           {16000, 16035}});
}

bool TK_IsGradientStyle(int32_t style)
{
    return InRanges(style, {{1000, 1015}, {2000, 2007}, {3000, 3001}, {4000, 4001}, {5000, 5007}});
}

bool TK_IsEffectComputed(int32_t code)
{
    return InRanges(code, {{1000, 1001}, {2000, 2007}, {3000, 3001}, {4000, 4003}});
}

bool TK_IsGradientComputed(int32_t style)
{
    return InRanges(style, {{1000, 1003}, {2000, 2000}, {3000, 3000}});
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
    int result = TK_Success;
    if (!pattern && !TK_IsGradientComputed(style))
        result = TK_ErrNotSupported;
    if (!TK_IsEffectComputed(effect.Code) && !IsPlainEffect(effect.Code))
        result = TK_ErrNotSupported;
    if (pattern && style == 1) // transparent: nothing to paint
        return result;
    QRect visible = ToQRect(area);
    if (const QPaintDevice* device = dc->device())
        visible &= dc->deviceTransform().inverted().mapRect(QRect(0, 0, device->width(), device->height()));
    if (visible.isEmpty())
        return result;
    QImage image(visible.size(), QImage::Format_ARGB32);
    if (image.isNull())
        return TK_ErrNoMemory;
    const uint32_t first = ColorToArgb(color1), second = ColorToArgb(color2);
    if (pattern)
        FillPattern(image, visible.topLeft(), style, first, second);
    else
        FillGradient(image, ToQRect(area), visible.topLeft(), style, first, second, gradientSteps);
    const TEffectMask mask = MakeMask(effect, ToQRect(area));
    ApplyMask(image, visible.topLeft(), mask);
    DrawPrepared(dc, image, visible.topLeft(), mode, mask.Opacity);
    return result;
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
