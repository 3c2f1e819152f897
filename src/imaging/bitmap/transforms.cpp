#include "imaging/bitmap/transforms.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace {

// Runs a step when the scope ends, also by an exception.
template <typename F> struct Finally {
    F f;
    ~Finally() { f(); }
};
template <typename F> Finally(F) -> Finally<F>;

// Half to even, as the mappings are specified; the default rounding mode does that.
inline int RoundEven(float v) { return int(std::nearbyint(v)); }

// Where one computed pixel lands.
struct TLander {
    TDrawMode Mode;
    uint32_t Master;
    const TPixelCombineEvent* Combine;

    void Land(TColor32 c, TColor32& d) const
    {
        switch (Mode) {
        case dmOpaque:
            d = c;
            break;
        case dmBlend:
            BlendIntoMaster(c, d, Master);
            break;
        case dmCustom:
            (*Combine)(c, d, Master);
            break;
        }
    }
};

void StretchNearest(TBitmap32* dst, const TRect& dstRect, const TRect& clip, TBitmap32* src,
                    const TRect& srcRect, TDrawMode mode, const TPixelCombineEvent& combine)
{
    const int cw = clip.Width();
    const int ch = clip.Height();
    const int64_t dw = int64_t(dstRect.Right) - dstRect.Left;
    const int64_t dh = int64_t(dstRect.Bottom) - dstRect.Top;
    const int sw = srcRect.Width();
    const int sh = srcRect.Height();

    // The corner form of the mapping: destination pixel d starts at source d * (sw / dw). The
    // clamp only guards against single-precision error on enormous destinations.
    std::vector<int> columns(cw);
    if (dw > 1) {
        const float scale = float(sw) / float(dw);
        for (int i = 0; i < cw; ++i) {
            const int v = int(float(int64_t(clip.Left) + i - dstRect.Left) * scale + float(srcRect.Left));
            columns[i] = std::clamp(v, srcRect.Left, srcRect.Right - 1);
        }
    } else {
        std::fill(columns.begin(), columns.end(), (srcRect.Left + srcRect.Right - 1) / 2);
    }
    const float rowScale = dh > 1 ? float(sh) / float(dh) : 0.0f;
    auto sourceRow = [&](int j) {
        if (dh <= 1)
            return (srcRect.Top + srcRect.Bottom - 1) / 2;
        const int v = int(float(int64_t(clip.Top) + j - dstRect.Top) * rowScale + float(srcRect.Top));
        return std::clamp(v, srcRect.Top, srcRect.Bottom - 1);
    };

    const uint32_t master = src->MasterAlpha();
    TArrayOfColor32 buffer;
    if (mode != dmOpaque)
        buffer.resize(cw);
    int previous = -1;
    for (int j = 0; j < ch; ++j) {
        const int sy = sourceRow(j);
        TColor32* d = dst->PixelAddress(clip.Left, clip.Top + j);
        const TColor32* s = src->RowAddress(sy);
        if (mode == dmOpaque) {
            if (sy != previous) {
                for (int i = 0; i < cw; ++i)
                    d[i] = s[columns[i]];
            } else {
                MoveColors(d - dst->Width(), d, cw);
            }
        } else {
            if (sy != previous)
                for (int i = 0; i < cw; ++i)
                    buffer[i] = s[columns[i]];
            if (mode == dmBlend) {
                if (master >= 255)
                    BlendSpan(buffer.data(), d, cw);
                else
                    BlendSpanMaster(buffer.data(), d, cw, master);
            } else {
                for (int i = 0; i < cw; ++i)
                    combine(buffer[i], d[i], master);
            }
        }
        previous = sy;
    }
}

// Bilinear map of one axis: the left (upper) source pixel of each clip index and its weight out
// of 256; the right (lower) neighbour takes the rest.
struct TLinearEntry {
    int Pos;
    int Weight;
};

std::vector<TLinearEntry> LinearMap(int64_t dstStart, int64_t dstSize, int clipStart, int count,
                                    int srcStart, int srcEnd, int srcLimit)
{
    std::vector<TLinearEntry> map(count);
    const float scale = float(srcEnd - srcStart) / float(dstSize);
    const float shift = float(srcStart) - 0.5f;
    for (int i = 0; i < count; ++i) {
        float t = (float(int64_t(clipStart) + i - dstStart) + 0.5f) * scale + shift;
        if (t < 0)
            t = 0;
        if (t > float(srcLimit - 1))
            t = float(srcLimit - 1);
        const float f = std::floor(t);
        map[i] = {int(f), 256 - RoundEven((t - f) * 256.0f)};
    }
    if (count > 0 && map[count - 1].Pos == srcEnd - 1)
        map[count - 1] = {srcEnd - 2, 0};
    return map;
}

// w/256 of a and the rest of b, each channel rounded down on its own. Two channels travel in the
// 16-bit lanes of one word: a lane's sum never exceeds 255 * 256, so nothing carries across.
inline TColor32 Mix256(TColor32 a, TColor32 b, uint32_t w)
{
    const uint32_t rb = (((a & 0x00FF00FF) * w + (b & 0x00FF00FF) * (256 - w)) >> 8) & 0x00FF00FF;
    const uint32_t ag = (((a >> 8) & 0x00FF00FF) * w + ((b >> 8) & 0x00FF00FF) * (256 - w)) & 0xFF00FF00;
    return rb | ag;
}

// Every destination row first mixes its two source rows over the columns the map reads (once per
// distinct row mapping), then mixes neighbours of that row horizontally. A weight of 256 on one
// side means the other pixel is never read: it may lie outside the bitmap.
void StretchLinear(TBitmap32* dst, const TRect& dstRect, const TRect& clip, TBitmap32* src,
                   const TRect& srcRect, const TLander& lander)
{
    const int cw = clip.Width();
    const int ch = clip.Height();
    const auto columns = LinearMap(dstRect.Left, int64_t(dstRect.Right) - dstRect.Left, clip.Left, cw,
                                   srcRect.Left, srcRect.Right, src->Width());
    const auto rows = LinearMap(dstRect.Top, int64_t(dstRect.Bottom) - dstRect.Top, clip.Top, ch,
                                srcRect.Top, srcRect.Bottom, src->Height());

    int lo = INT32_MAX, hi = INT32_MIN;
    for (const TLinearEntry& e : columns) {
        if (e.Weight != 0)
            lo = std::min(lo, e.Pos), hi = std::max(hi, e.Pos);
        if (e.Weight != 256)
            lo = std::min(lo, e.Pos + 1), hi = std::max(hi, e.Pos + 1);
    }
    TArrayOfColor32 mixed(size_t(hi - lo + 1));
    const TColor32* m = mixed.data() - lo;

    for (int j = 0; j < ch; ++j) {
        const int wy = rows[j].Weight;
        const int py = rows[j].Pos;
        if (j == 0 || wy != rows[j - 1].Weight || py != rows[j - 1].Pos) {
            const TColor32* upper = wy != 0 ? src->RowAddress(py) : nullptr;
            const TColor32* lower = wy != 256 ? src->RowAddress(py + 1) : nullptr;
            for (int x = lo; x <= hi; ++x)
                mixed[size_t(x - lo)] = wy == 256 ? upper[x] : (wy == 0 ? lower[x] : Mix256(upper[x], lower[x], wy));
        }
        TColor32* d = dst->PixelAddress(clip.Left, clip.Top + j);
        for (int i = 0; i < cw; ++i) {
            const int p = columns[i].Pos;
            const int wx = columns[i].Weight;
            const TColor32 c = wx == 256 ? m[p] : (wx == 0 ? m[p + 1] : Mix256(m[p], m[p + 1], wx));
            if (lander.Mode == dmOpaque)
                d[i] = c;
            else
                lander.Land(c, d[i]);
        }
    }
}

// The clusters of one axis laid out flat for the inner loops: pair k of cluster i is
// Pairs[Start[i] + k] with its index taken relative to the first needed source index.
struct TFlatTable {
    std::vector<int> Start;
    std::vector<TPointRec> Pairs;
};

TFlatTable Flatten(const TMappingTable& table, int origin)
{
    TFlatTable flat;
    flat.Start.reserve(table.size() + 1);
    for (const TCluster& c : table) {
        flat.Start.push_back(int(flat.Pairs.size()));
        for (const TPointRec& p : c)
            flat.Pairs.push_back({p.Pos - origin, p.Weight});
    }
    flat.Start.push_back(int(flat.Pairs.size()));
    return flat;
}

// Negative weights (Lanczos, Mitchell) push a sum below 0 or above one unit near an edge. The
// clamp runs for every kernel: where all weights are non-negative it never bites, and no
// normalised cluster can then wrap a channel into its neighbour.
inline uint32_t ClampChannel(int32_t v)
{
    if (v > 0xFF0000)
        v = 0xFF0000;
    else if (v < 0)
        v = 0;
    return uint32_t(v) >> 16;
}

// Blue, green, red and alpha sums side by side, so that one vector operation weighs a pixel.
using TChannels = int32_t __attribute__((vector_size(16)));

template <TDrawMode Mode>
void ResampleRows(TBitmap32* dst, const TRect& clip, TBitmap32* src, const TMappingTable& rows,
                  const TFlatTable& columns, int x0, int x1, const TLander& lander)
{
    // Vertical sums of every needed source column for the current destination row, each channel
    // in 1/256 units; every destination column of the row reuses them.
    const int span = x1 - x0 + 1;
    std::vector<TChannels> sums(static_cast<size_t>(span));
    const int cw = int(columns.Start.size()) - 1;
    for (int j = 0; j < int(rows.size()); ++j) {
        std::fill(sums.begin(), sums.end(), TChannels{0, 0, 0, 0});
        for (const TPointRec& p : rows[size_t(j)]) {
            const TColor32* s = src->PixelAddress(x0, p.Pos);
            for (int x = 0; x < span; ++x) {
                const TColor32 c = s[x];
                const TChannels v{int32_t(c & 0xFF), int32_t((c >> 8) & 0xFF), int32_t((c >> 16) & 0xFF),
                                  int32_t(c >> 24)};
                sums[size_t(x)] += p.Weight * v;
            }
        }
        TColor32* d = dst->PixelAddress(clip.Left, clip.Top + j);
        const TPointRec* pairs = columns.Pairs.data();
        for (int i = 0; i < cw; ++i) {
            TChannels acc{0, 0, 0, 0};
            for (int k = columns.Start[size_t(i)], e = columns.Start[size_t(i) + 1]; k < e; ++k)
                acc += pairs[k].Weight * sums[size_t(pairs[k].Pos)];
            const TColor32 c = (ClampChannel(acc[3]) << 24) | (ClampChannel(acc[2]) << 16) |
                               (ClampChannel(acc[1]) << 8) | ClampChannel(acc[0]);
            if constexpr (Mode == dmOpaque)
                d[i] = c;
            else
                lander.Land(c, d[i]);
        }
    }
}

void StretchFiltered(TBitmap32* dst, const TRect& dstRect, const TRect& clip, TBitmap32* src,
                     const TRect& srcRect, TStretchFilter filter, const TLander& lander)
{
    const TMappingTable columns = MakeClusterTable(dstRect.Left, dstRect.Right, clip.Left, clip.Right,
                                                   srcRect.Left, srcRect.Right, filter);
    const TMappingTable rows = MakeClusterTable(dstRect.Top, dstRect.Bottom, clip.Top, clip.Bottom,
                                                srcRect.Top, srcRect.Bottom, filter);
    if (columns.empty() || rows.empty())
        return;

    int x0 = columns.front().front().Pos;
    int x1 = x0;
    for (const TCluster& c : columns)
        for (const TPointRec& p : c) {
            x0 = std::min(x0, p.Pos);
            x1 = std::max(x1, p.Pos);
        }
    const TFlatTable flat = Flatten(columns, x0);
    if (lander.Mode == dmOpaque)
        ResampleRows<dmOpaque>(dst, clip, src, rows, flat, x0, x1, lander);
    else
        ResampleRows<dmBlend>(dst, clip, src, rows, flat, x0, x1, lander);
}

} // namespace

// ---- kernels ---------------------------------------------------------------------------------

float BoxKernel(float x)
{
    return (x > -0.5f && x <= 0.5f) ? 1.0f : 0.0f;
}

float TriangleKernel(float x)
{
    if (x < 0)
        x = -x;
    return x < 1.0f ? 1.0f - x : 0.0f;
}

float CubicSplineKernel(float x)
{
    const float t = std::fabs(x);
    if (t < 1.0f)
        return t * t * t / 2.0f - t * t + 2.0f / 3.0f;
    if (t < 2.0f) {
        const float u = 2.0f - t;
        return u * u * u / 6.0f;
    }
    return 0.0f;
}

float SincValue(float x)
{
    if (x == 0.0f)
        return 1.0f;
    const float px = std::numbers::pi_v<float> * x;
    return std::sin(px) / px;
}

float Lanczos3Kernel(float x)
{
    const float t = std::fabs(x);
    return t < 3.0f ? SincValue(t) * SincValue(t / 3.0f) : 0.0f;
}

float MitchellKernel(float x)
{
    const float t = std::fabs(x);
    const float t2 = t * t;
    const float t3 = t2 * t;
    if (t < 1.0f)
        return (7.0f * t3 - 12.0f * t2 + 16.0f / 3.0f) / 6.0f;
    if (t < 2.0f)
        return (-7.0f / 3.0f * t3 + 12.0f * t2 - 20.0f * t + 32.0f / 3.0f) / 6.0f;
    return 0.0f;
}

const TStretchKernel StretchKernels[5] = {
    {BoxKernel, 1.0f},
    {TriangleKernel, 1.0f},
    {CubicSplineKernel, 2.0f},
    {Lanczos3Kernel, 3.0f},
    {MitchellKernel, 2.0f},
};

// ---- cluster tables --------------------------------------------------------------------------

TMappingTable MakeClusterTable(int dstStart, int dstEnd, int clipStart, int clipEnd, int srcStart,
                               int srcEnd, TStretchFilter filter)
{
    const int64_t s = int64_t(srcEnd) - srcStart;
    const int64_t d = int64_t(dstEnd) - dstStart;
    const int64_t c = int64_t(clipEnd) - clipStart;
    TMappingTable table;
    if (s <= 0 || c <= 0 || d <= 0)
        return table;
    table.resize(size_t(c));
    if (s == 1) {
        for (TCluster& cluster : table)
            cluster.push_back({srcStart, 256});
        return table;
    }

    const float scale = float(d) / float(s);
    const TStretchKernel& kernel = StretchKernels[filter >= 0 && filter < 5 ? filter : 0];
    const float step = float(s) / float(d);
    const float shift = float(srcStart) - 0.5f;
    const bool magnify = scale >= 1.0f;
    const float width = magnify ? kernel.Width : kernel.Width / scale;

    for (int64_t i = 0; i < c; ++i) {
        TCluster& cluster = table[size_t(i)];
        const float centre = (float(clipStart + i - dstStart) + 0.5f) * step + shift;
        const int first = int(std::floor(centre - width));
        const int last = int(std::ceil(centre + width));
        for (int j = first; j <= last; ++j) {
            const int w = magnify ? RoundEven(kernel.Filter(centre - float(j)) * 256.0f)
                                  : RoundEven(kernel.Filter((centre - float(j)) * scale) * 256.0f * scale);
            if (w != 0)
                cluster.push_back({std::clamp(j, srcStart, srcEnd - 1), w});
        }
        if (cluster.empty())
            cluster.push_back({std::clamp(int(std::floor(centre)), srcStart, srcEnd - 1), 256});
        int sum = 0;
        for (const TPointRec& p : cluster)
            sum += p.Weight;
        if (sum != 256)
            cluster[(cluster.size() - 1) / 2].Weight -= sum - 256;
    }
    return table;
}

// ---- checks and the transfer -----------------------------------------------------------------

void EnsureBitmaps(TBitmap32* dst, TBitmap32* src)
{
    if (!dst || dst->IsEmpty())
        throw ETransformError(QString::fromLatin1(TransformText::DstNilOrEmpty));
    if (!src || src->IsEmpty())
        throw ETransformError(QString::fromLatin1(TransformText::SrcNilOrEmpty));
}

bool EnsureSourceRect(TBitmap32* src, const TRect& srcRect)
{
    if (IsEmptyRect(srcRect))
        return false;
    if (srcRect.Left >= 0 && srcRect.Top >= 0 && srcRect.Right <= src->Width() && srcRect.Bottom <= src->Height())
        return true;
    throw ETransformError(QString::fromLatin1(TransformText::SrcInvalid));
}

void TransferScaled(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                    const TRect& srcRect, TStretchFilter filter, TDrawMode mode,
                    const TPixelCombineEvent& combine)
{
    if (src && src->IsEmpty())
        return;
    Finally end{[] { EndBlending(); }};
    EnsureBitmaps(dst, src);
    if (!EnsureSourceRect(src, srcRect))
        return;

    TRect clip;
    IntersectRects(clip, dstClip, dst->GetBounds());
    IntersectRects(clip, clip, dstRect);
    if (IsEmptyRect(clip))
        return;

    if (mode == dmCustom && !combine)
        mode = dmOpaque;
    if (mode == dmBlend && src->MasterAlpha() == 0)
        return;

    const int64_t dw = int64_t(dstRect.Right) - dstRect.Left;
    const int64_t dh = int64_t(dstRect.Bottom) - dstRect.Top;
    if (dw == srcRect.Width() && dh == srcRect.Height()) {
        TransferRows(dst, clip, src, srcRect.Left + clip.Left - dstRect.Left,
                     srcRect.Top + clip.Top - dstRect.Top, mode, combine);
        return;
    }

    const TLander lander{mode, src->MasterAlpha(), &combine};
    switch (filter) {
    case sfLinear:
        if (dw > srcRect.Width() && dh > srcRect.Height())
            StretchLinear(dst, dstRect, clip, src, srcRect, lander);
        else
            StretchFiltered(dst, dstRect, clip, src, srcRect, sfLinear, lander);
        break;
    case sfSpline:
    case sfLanczos:
    case sfMitchell:
        StretchFiltered(dst, dstRect, clip, src, srcRect, filter, lander);
        break;
    default:
        StretchNearest(dst, dstRect, clip, src, srcRect, mode, combine);
        break;
    }
}

// ---- TBitmap32::StretchOnto ------------------------------------------------------------------

void TBitmap32::StretchOnto(TBitmap32* target, const TRect& dstRect)
{
    if (IsEmpty() || !target || target->IsEmpty())
        return;
    TransferScaled(target, dstRect, target->GetBounds(), this, GetBounds(), StretchFilter(), DrawMode(),
                   OnPixelCombine);
    target->Changed();
}
