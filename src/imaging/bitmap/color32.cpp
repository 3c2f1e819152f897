#include "imaging/bitmap/color32.h"

#include "framework/graphics.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <immintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

// ---- Colour and geometry routines ----------------------------------------------------------

TColor32 ColorToColor32(TColor color)
{
    if (int32_t(color) < 0)
        color = ColorToRGB(clSystemColor | (color & 0xFF));
    return 0xFF000000u | (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}

TColor32 WithAlpha(TColor32 color, int alpha)
{
    return (color & 0x00FFFFFFu) | (TColor32(ClampByte(alpha)) << 24);
}

TFixed16 FloatToFixed(float x)
{
    // The product is exact in single precision (a power of two); nearbyint rounds halves to even.
    const double v = std::nearbyint(double(x) * 65536.0);
    if (!(v >= double(std::numeric_limits<int32_t>::min())))
        return std::isnan(v) ? 0 : std::numeric_limits<int32_t>::min();
    if (v > double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return TFixed16(v);
}

bool IntersectRects(TRect& dst, const TRect& r1, const TRect& r2)
{
    const TRect r{std::max(r1.Left, r2.Left), std::max(r1.Top, r2.Top), std::min(r1.Right, r2.Right),
                  std::min(r1.Bottom, r2.Bottom)};
    if (r.Right >= r.Left && r.Bottom >= r.Top) {
        dst = r;
        return true;
    }
    dst = TRect{};
    return false;
}

void OffsetRectBy(TRect& r, int dx, int dy)
{
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}

bool IsEmptyRect(const TRect& r)
{
    return r.Right <= r.Left || r.Bottom <= r.Top;
}

bool IsPointInRect(const TRect& r, const TPoint& p)
{
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// ---- Integer routines ----------------------------------------------------------------------

void FillColors(TColor32* dst, int count, TColor32 value)
{
    if (count > 0)
        std::fill_n(dst, count, value);
}

void MoveColors(const TColor32* src, TColor32* dst, int count)
{
    if (count > 0 && src != dst)
        std::memmove(dst, src, size_t(count) * sizeof(TColor32));
}

void SortPair(int& a, int& b)
{
    if (a > b)
        std::swap(a, b);
}

bool ClipSpan(int& first, int& second, int size)
{
    SortPair(first, second);
    if (first < 0)
        first = 0;
    if (second >= size)
        second = size - 1;
    return second >= first;
}

int MulDivRound(int a, int b, int c)
{
    const uint64_t ma = a < 0 ? uint64_t(-int64_t(a)) : uint64_t(a);
    const uint64_t mb = b < 0 ? uint64_t(-int64_t(b)) : uint64_t(b);
    const uint64_t mc = c < 0 ? uint64_t(-int64_t(c)) : uint64_t(c);
    if (mc == 0)
        return -1;
    const uint64_t product = ma * mb; // at most 2^62
    // Round half away from zero on the magnitudes; 2 * product still fits in 64 bits.
    const uint64_t q = (2 * product + mc) / (2 * mc);
    // Test the rounded quotient itself: a test on the product's high word alone lets quotients
    // between 2^31 and 2^32 through when c is small.
    if (q > uint64_t(std::numeric_limits<int32_t>::max()))
        return -1;
    const bool negative = ((a < 0) != (b < 0)) != (c < 0);
    return negative ? -int(q) : int(q);
}

// ---- Gamma table -----------------------------------------------------------------------------

uint8_t GammaTable[256];

void BuildGammaTable(float gamma)
{
    // nearbyint in the default rounding mode rounds halves to even.
    for (int i = 0; i < 256; ++i)
        GammaTable[i] = uint8_t(ClampByte(int(std::nearbyint(255.0 * std::pow(i / 255.0, double(gamma))))));
}

// ---- The mixes ------------------------------------------------------------------------------
// Both sets work on a pixel spread into four 16-bit lanes of a 64-bit word (00AA00RR00GG00BB):
// every intermediate value stays below 65536, so lanes never carry into each other.

namespace {

constexpr uint64_t LaneMask = 0x00FF00FF00FF00FFull;
constexpr uint64_t LaneBias = 0x0080008000800080ull;

inline uint64_t Spread(TColor32 c)
{
    uint64_t v = c;
    v = (v | (v << 16)) & 0x0000FFFF0000FFFFull;
    return (v | (v << 8)) & LaneMask;
}

inline TColor32 Pack(uint64_t v)
{
    v = (v | (v >> 8)) & 0x0000FFFF0000FFFFull;
    return TColor32(v | (v >> 16));
}

inline uint32_t MasterWeight(TColor32 f, uint32_t m)
{
    return ((std::min<uint32_t>(m, 255) + 1) * (f >> 24)) >> 8;
}

// ---- scalar set: ((X*W + 128) >> 8) + ((Y*(255-W) + 128) >> 8) ----

inline TColor32 ScalarMix(TColor32 x, TColor32 y, uint32_t w)
{
    const uint64_t a = ((Spread(x) * w + LaneBias) >> 8) & LaneMask;
    const uint64_t b = ((Spread(y) * (255 - w) + LaneBias) >> 8) & LaneMask;
    return Pack(a + b);
}

TColor32 ScalarMixColors(TColor32 x, TColor32 y, uint32_t w)
{
    if (w == 0)
        return y;
    if (w >= 255)
        return x;
    return ScalarMix(x, y, w);
}

void ScalarMixInto(TColor32 x, TColor32& y, uint32_t w)
{
    if (w == 0)
        return;
    y = w >= 255 ? x : ScalarMix(x, y, w);
}

TColor32 ScalarBlendColors(TColor32 f, TColor32 b)
{
    const uint32_t a = f >> 24;
    if (a == 255)
        return f;
    if (a == 0)
        return b;
    return ScalarMix(f, b, a);
}

void ScalarBlendInto(TColor32 f, TColor32& b)
{
    const uint32_t a = f >> 24;
    if (a == 0)
        return;
    b = a == 255 ? f : ScalarMix(f, b, a);
}

TColor32 ScalarBlendColorsMaster(TColor32 f, TColor32 b, uint32_t m)
{
    const uint32_t w = MasterWeight(f, m);
    return w == 0 ? b : ScalarMix(f, b, w);
}

void ScalarBlendIntoMaster(TColor32 f, TColor32& b, uint32_t m)
{
    const uint32_t w = MasterWeight(f, m);
    if (w != 0)
        b = ScalarMix(f, b, w);
}

void ScalarBlendSpan(const TColor32* src, TColor32* dst, int count)
{
    for (int i = 0; i < count; ++i)
        ScalarBlendInto(src[i], dst[i]);
}

void ScalarBlendSpanMaster(const TColor32* src, TColor32* dst, int count, uint32_t m)
{
    for (int i = 0; i < count; ++i)
        ScalarBlendIntoMaster(src[i], dst[i], m);
}

void ScalarMixSpan(TColor32 x, TColor32* dst, int count, uint32_t w)
{
    if (count <= 0 || w == 0)
        return;
    if (w >= 255) {
        FillColors(dst, count, x);
        return;
    }
    const uint64_t a = ((Spread(x) * w + LaneBias) >> 8) & LaneMask;
    const uint32_t iw = 255 - w;
    for (int i = 0; i < count; ++i)
        dst[i] = Pack(a + (((Spread(dst[i]) * iw + LaneBias) >> 8) & LaneMask));
}

// ---- SIMD set: (Y*256 + 128 + (X-Y)*W) >> 8 = (Y*(256-W) + X*W + 128) >> 8 ----

inline TColor32 SimdMix(TColor32 x, TColor32 y, uint32_t w) { return SimdMixPixel(x, y, w); }

TColor32 SimdMixColors(TColor32 x, TColor32 y, uint32_t w)
{
    return SimdMix(x, y, std::min<uint32_t>(w, 255));
}


TColor32 SimdBlendColors(TColor32 f, TColor32 b)
{
    return SimdMix(f, b, f >> 24);
}


TColor32 SimdBlendColorsMaster(TColor32 f, TColor32 b, uint32_t m)
{
    const uint32_t w = MasterWeight(f, m);
    return w == 0 ? b : SimdMix(f, b, w);
}

void SimdBlendIntoMaster(TColor32 f, TColor32& b, uint32_t m)
{
    const uint32_t w = MasterWeight(f, m);
    if (w != 0)
        b = SimdMix(f, b, w);
}

#if defined(__SSE2__)

// Two pixels of 16-bit lanes: d*256 + 128 + (s-d)*w, kept in 16-bit wrap-around arithmetic (the
// true value lies in 128..65408, so the wrapped one is exact), then >> 8.
inline __m128i MixLanes(__m128i s, __m128i d, __m128i w)
{
    const __m128i bias = _mm_set1_epi16(128);
    __m128i r = _mm_add_epi16(_mm_slli_epi16(d, 8), bias);
    r = _mm_add_epi16(r, _mm_mullo_epi16(_mm_sub_epi16(s, d), w));
    return _mm_srli_epi16(r, 8);
}

// Four pixels mixed with four per-pixel weights held in the low 16 bits of each 32-bit lane.
inline __m128i MixPixels4(__m128i s, __m128i d, __m128i w32)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i w16 = _mm_or_si128(w32, _mm_slli_epi32(w32, 16));
    const __m128i lo = MixLanes(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero),
                                _mm_unpacklo_epi32(w16, w16));
    const __m128i hi = MixLanes(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero),
                                _mm_unpackhi_epi32(w16, w16));
    return _mm_packus_epi16(lo, hi);
}

// Four pixels mixed by four weights (each in both 16-bit halves of its pixel's 32-bit lane) with
// the 16-bit lanes of red and blue, then of alpha and green, taken in place: no unpacking.
inline __m128i MixPixelsInPlace4(__m128i s, __m128i d, __m128i w)
{
    const __m128i low = _mm_set1_epi32(0x00FF00FF);
    const __m128i bias = _mm_set1_epi16(128);
    __m128i rb = _mm_or_si128(_mm_slli_epi16(d, 8), bias);
    rb = _mm_add_epi16(rb, _mm_mullo_epi16(_mm_sub_epi16(_mm_and_si128(s, low), _mm_and_si128(d, low)), w));
    __m128i ag = _mm_or_si128(_mm_andnot_si128(low, d), bias);
    ag = _mm_add_epi16(ag, _mm_mullo_epi16(_mm_sub_epi16(_mm_srli_epi16(s, 8), _mm_srli_epi16(d, 8)), w));
    return _mm_or_si128(_mm_srli_epi16(rb, 8), _mm_andnot_si128(low, ag));
}

void SimdBlendSpan(const TColor32* src, TColor32* dst, int count)
{
    const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000u));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i sa = _mm_and_si128(s, alphaMask);
        const __m128i opaque = _mm_cmpeq_epi32(sa, alphaMask);
        const int opaqueBits = _mm_movemask_ps(_mm_castsi128_ps(opaque));
        if (opaqueBits == 0xF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
            continue;
        }
        const __m128i clear = _mm_cmpeq_epi32(sa, _mm_setzero_si128());
        if (_mm_movemask_ps(_mm_castsi128_ps(clear)) == 0xF)
            continue;
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        const __m128i a = _mm_srli_epi32(s, 24);
        const __m128i mixed = MixPixelsInPlace4(s, d, _mm_or_si128(a, _mm_slli_epi32(a, 16)));
        // Alpha 255 stores the source exactly; alpha 0 already gives d from the mix.
        const __m128i r = _mm_or_si128(_mm_and_si128(opaque, s), _mm_andnot_si128(opaque, mixed));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), r);
    }
    for (; i < count; ++i)
        SimdBlendInto(src[i], dst[i]);
}

void SimdBlendSpanMaster(const TColor32* src, TColor32* dst, int count, uint32_t m)
{
    const __m128i m1 = _mm_set1_epi32(int(std::min<uint32_t>(m, 255) + 1));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        // (M+1)*A <= 65280 fits the low 16-bit lane; the high lane stays 0.
        const __m128i w = _mm_srli_epi32(_mm_mullo_epi16(_mm_srli_epi32(s, 24), m1), 8);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(w, _mm_setzero_si128())) == 0xFFFF)
            continue;
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        // Weight 0 gives d exactly, so no selection is needed.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), MixPixels4(s, d, w));
    }
    for (; i < count; ++i)
        SimdBlendIntoMaster(src[i], dst[i], m);
}

void SimdMixSpan(TColor32 x, TColor32* dst, int count, uint32_t w)
{
    if (count <= 0 || w == 0)
        return;
    if (w >= 255) {
        FillColors(dst, count, x);
        return;
    }
    // (d*(256-w) + x*w + 128) >> 8 with the constant part precomputed; no lane exceeds 65408.
    const __m128i zero = _mm_setzero_si128();
    const __m128i xs = _mm_unpacklo_epi8(_mm_set1_epi32(int(x)), zero);
    const __m128i k = _mm_add_epi16(_mm_mullo_epi16(xs, _mm_set1_epi16(short(w))), _mm_set1_epi16(128));
    const __m128i iw = _mm_set1_epi16(short(256 - w));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        const __m128i lo = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), iw), k), 8);
        const __m128i hi = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), iw), k), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
    }
    for (; i < count; ++i)
        dst[i] = SimdMix(x, dst[i], w);
}

// The same SIMD formulas eight pixels at a time where the processor has 256-bit integer
// vectors; the unpack and pack steps work within 128-bit halves, so pixel order is kept.
#if defined(__x86_64__)
#define BRELNOVA_HAVE_WIDE 1

__attribute__((target("avx2"))) inline __m256i MixLanes8(__m256i s, __m256i d, __m256i w)
{
    __m256i r = _mm256_add_epi16(_mm256_slli_epi16(d, 8), _mm256_set1_epi16(128));
    r = _mm256_add_epi16(r, _mm256_mullo_epi16(_mm256_sub_epi16(s, d), w));
    return _mm256_srli_epi16(r, 8);
}

__attribute__((target("avx2"))) inline __m256i MixPixels8(__m256i s, __m256i d, __m256i w32)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i w16 = _mm256_or_si256(w32, _mm256_slli_epi32(w32, 16));
    const __m256i lo = MixLanes8(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero),
                                 _mm256_unpacklo_epi32(w16, w16));
    const __m256i hi = MixLanes8(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero),
                                 _mm256_unpackhi_epi32(w16, w16));
    return _mm256_packus_epi16(lo, hi);
}

// Eight pixels mixed by eight weights, each given as 128 * W in both 16-bit halves of its pixel's
// lane. Per channel (Y*256 + 128 + (X-Y)*W) >> 8 = Y + round((X-Y)*W / 256) with halves rounded
// up, which is what the rounding high multiply gives for (X-Y) * 128W / 32768. The result lies in
// 0..255, so adding it to a byte of Y in place never carries into the byte beside it.
__attribute__((target("avx2"))) inline __m256i MixPixelsInPlace8(__m256i s, __m256i d, __m256i w128)
{
    const __m256i low = _mm256_set1_epi32(0x00FF00FF);
    const __m256i rb = _mm256_mulhrs_epi16(_mm256_sub_epi16(_mm256_and_si256(s, low), _mm256_and_si256(d, low)), w128);
    const __m256i ag = _mm256_mulhrs_epi16(_mm256_sub_epi16(_mm256_srli_epi16(s, 8), _mm256_srli_epi16(d, 8)), w128);
    return _mm256_add_epi16(_mm256_add_epi16(d, rb), _mm256_slli_epi16(ag, 8));
}

// Eight pixels of a span: all opaque are copied, all clear skipped, the rest mixed.
__attribute__((target("avx2"))) inline void WideBlend8(const TColor32* src, TColor32* dst)
{
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000u));
    // Each pixel's alpha byte copied into both 16-bit halves of its lane, the high bytes zero.
    const __m256i spreadAlpha = _mm256_setr_epi8(3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1,
                                                 3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1);
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
    const __m256i sa = _mm256_and_si256(s, alphaMask);
    const __m256i opaque = _mm256_cmpeq_epi32(sa, alphaMask);
    if (_mm256_movemask_ps(_mm256_castsi256_ps(opaque)) == 0xFF) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), s);
        return;
    }
    if (_mm256_testz_si256(sa, sa))
        return;
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst));
    const __m256i mixed = MixPixelsInPlace8(s, d, _mm256_slli_epi16(_mm256_shuffle_epi8(s, spreadAlpha), 7));
    // Alpha 255 stores the source exactly; alpha 0 already gives d from the mix.
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), _mm256_blendv_epi8(mixed, s, opaque));
}

__attribute__((target("avx2"))) void WideBlendSpan(const TColor32* src, TColor32* dst, int count)
{
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        WideBlend8(src + i, dst + i);
        WideBlend8(src + i + 8, dst + i + 8);
    }
    if (i + 8 <= count) {
        WideBlend8(src + i, dst + i);
        i += 8;
    }
    SimdBlendSpan(src + i, dst + i, count - i);
}

__attribute__((target("avx2"))) void WideBlendSpanMaster(const TColor32* src, TColor32* dst, int count, uint32_t m)
{
    const __m256i m1 = _mm256_set1_epi32(int(std::min<uint32_t>(m, 255) + 1));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i w = _mm256_srli_epi32(_mm256_mullo_epi16(_mm256_srli_epi32(s, 24), m1), 8);
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(w, _mm256_setzero_si256())) == -1)
            continue;
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), MixPixels8(s, d, w));
    }
    SimdBlendSpanMaster(src + i, dst + i, count - i, m);
}

__attribute__((target("avx2"))) void WideMixSpan(TColor32 x, TColor32* dst, int count, uint32_t w)
{
    if (count <= 0 || w == 0 || w >= 255) {
        SimdMixSpan(x, dst, count, w);
        return;
    }
    const __m256i zero = _mm256_setzero_si256();
    const __m256i xs = _mm256_unpacklo_epi8(_mm256_set1_epi32(int(x)), zero);
    const __m256i k = _mm256_add_epi16(_mm256_mullo_epi16(xs, _mm256_set1_epi16(short(w))), _mm256_set1_epi16(128));
    const __m256i iw = _mm256_set1_epi16(short(256 - w));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        const __m256i lo = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), iw), k), 8);
        const __m256i hi = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), iw), k), 8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_packus_epi16(lo, hi));
    }
    SimdMixSpan(x, dst + i, count - i, w);
}
#endif

#else

void SimdBlendSpan(const TColor32* src, TColor32* dst, int count)
{
    for (int i = 0; i < count; ++i)
        SimdBlendInto(src[i], dst[i]);
}

void SimdBlendSpanMaster(const TColor32* src, TColor32* dst, int count, uint32_t m)
{
    for (int i = 0; i < count; ++i)
        SimdBlendIntoMaster(src[i], dst[i], m);
}

void SimdMixSpan(TColor32 x, TColor32* dst, int count, uint32_t w)
{
    if (count <= 0 || w == 0)
        return;
    if (w >= 255) {
        FillColors(dst, count, x);
        return;
    }
    for (int i = 0; i < count; ++i)
        dst[i] = SimdMix(x, dst[i], w);
}

#endif

} // namespace

void SimdMixInto(TColor32 x, TColor32& y, uint32_t w)
{
    if (w == 0)
        return;
    y = w >= 255 ? x : SimdMix(x, y, w);
}

void SimdBlendInto(TColor32 f, TColor32& b)
{
    const uint32_t a = f >> 24;
    if (a == 0)
        return;
    b = a == 255 ? f : SimdMix(f, b, a);
}

constexpr TBlendRoutines ScalarBlendRoutines{
    ScalarMixColors,         ScalarMixInto,  ScalarBlendColors,     ScalarBlendInto, ScalarBlendColorsMaster,
    ScalarBlendIntoMaster,   ScalarBlendSpan, ScalarBlendSpanMaster, ScalarMixSpan};

constexpr TBlendRoutines SimdBlendRoutines{
    SimdMixColors,       SimdMixInto,  SimdBlendColors,     SimdBlendInto, SimdBlendColorsMaster,
    SimdBlendIntoMaster, SimdBlendSpan, SimdBlendSpanMaster, SimdMixSpan};

// Every x86-64 processor passes the processor test, so the SIMD set is in the slots from the
// first instruction on; the start-up selection below confirms it (or falls back elsewhere).
#if defined(BRELNOVA_HAVE_WIDE)
static const TBlendRoutines WideBlendRoutines{
    SimdMixColors,       SimdMixInto,  SimdBlendColors,     SimdBlendInto, SimdBlendColorsMaster,
    SimdBlendIntoMaster, WideBlendSpan, WideBlendSpanMaster, WideMixSpan};
#endif

const TBlendRoutines* SimdWideBlendRoutines()
{
#if defined(BRELNOVA_HAVE_WIDE)
    if (__builtin_cpu_supports("avx2"))
        return &WideBlendRoutines;
#endif
    return nullptr;
}

#if defined(__x86_64__)
#define BRELNOVA_DEFAULT_SET SimdBlendRoutines
constinit bool UseSimdBlending = true;
#else
#define BRELNOVA_DEFAULT_SET ScalarBlendRoutines
constinit bool UseSimdBlending = false;
#endif

constinit TMixColors MixColors = BRELNOVA_DEFAULT_SET.MixColors;
constinit TMixIntoSlot MixInto{BRELNOVA_DEFAULT_SET.MixInto};
constinit TBlendColors BlendColors = BRELNOVA_DEFAULT_SET.BlendColors;
constinit TBlendIntoSlot BlendInto{BRELNOVA_DEFAULT_SET.BlendInto};
constinit TBlendColorsMaster BlendColorsMaster = BRELNOVA_DEFAULT_SET.BlendColorsMaster;
constinit TBlendIntoMaster BlendIntoMaster = BRELNOVA_DEFAULT_SET.BlendIntoMaster;
constinit TBlendSpan BlendSpan = BRELNOVA_DEFAULT_SET.BlendSpan;
constinit TBlendSpanMaster BlendSpanMaster = BRELNOVA_DEFAULT_SET.BlendSpanMaster;
constinit TMixSpan MixSpan = BRELNOVA_DEFAULT_SET.MixSpan;
#undef BRELNOVA_DEFAULT_SET

bool HasMMX()
{
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    if (((eax >> 8) & 0xF) < 5)
        return false;
    return (edx & (1u << 23)) != 0;
#else
    return false;
#endif
}

void SelectBlendImplementation()
{
    UseSimdBlending = HasMMX();
    const TBlendRoutines* wide = SimdWideBlendRoutines();
    const TBlendRoutines& set = !UseSimdBlending ? ScalarBlendRoutines : wide ? *wide : SimdBlendRoutines;
    MixColors = set.MixColors;
    MixInto = set.MixInto;
    BlendColors = set.BlendColors;
    BlendInto = set.BlendInto;
    BlendColorsMaster = set.BlendColorsMaster;
    BlendIntoMaster = set.BlendIntoMaster;
    BlendSpan = set.BlendSpan;
    BlendSpanMaster = set.BlendSpanMaster;
    MixSpan = set.MixSpan;
}

namespace {
const bool blendRoutinesReady = [] {
    SelectBlendImplementation();
    BuildGammaTable(0.7f);
    return true;
}();
} // namespace
