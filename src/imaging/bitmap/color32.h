#pragma once

// The 32-bit colour every raster operation works in, its conversions, the per-pixel mixing
// routines and the small integer, rectangle and fixed-point helpers around them.

#include "framework/types.h"

#include <cstdint>
#include <vector>

// 0xAARRGGBB, not premultiplied; in memory blue, green, red, alpha. Alpha 255 is opaque.
using TColor32 = uint32_t;
using PColor32 = TColor32*;
using TArrayOfColor32 = std::vector<TColor32>;

// 16.16 fixed point; 65536 is 1.0.
using TFixed16 = int32_t;
inline constexpr TFixed16 FixedOne = 65536;

struct TFloatRect {
    float Left = 0;
    float Top = 0;
    float Right = 0;
    float Bottom = 0;
    friend bool operator==(const TFloatRect&, const TFloatRect&) = default;
};

// Channels of a colour.
constexpr uint8_t AlphaComponent(TColor32 c) { return uint8_t(c >> 24); }
constexpr uint8_t RedComponent(TColor32 c) { return uint8_t(c >> 16); }
constexpr uint8_t GreenComponent(TColor32 c) { return uint8_t(c >> 8); }
constexpr uint8_t BlueComponent(TColor32 c) { return uint8_t(c); }

// ---- Colour and geometry routines ----------------------------------------------------------

// Framework colour (0x00BBGGRR; a negative value names a system colour) to an opaque TColor32.
TColor32 ColorToColor32(TColor color);

constexpr TColor32 MakeColor32(int red, int green, int blue, int alpha = 255)
{
    return (TColor32(uint8_t(alpha)) << 24) | (TColor32(uint8_t(red)) << 16) |
           (TColor32(uint8_t(green)) << 8) | TColor32(uint8_t(blue));
}
// The colour's low 24 bits with alpha clamped to 0..255.
TColor32 WithAlpha(TColor32 color, int alpha);
// round(x * 65536), halves to even; saturates outside the 16.16 range.
TFixed16 FloatToFixed(float x);

inline TPoint MakePoint(int x, int y) { return {x, y}; }
inline TRect MakeRect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
inline TFloatRect MakeFloatRect(float left, float top, float right, float bottom)
{
    return {left, top, right, bottom};
}
// Largest left/top, smallest right/bottom. True when the result is not inverted: rectangles that
// only touch give a zero-width (or zero-height) result and true. False leaves an all-zero rect.
bool IntersectRects(TRect& dst, const TRect& r1, const TRect& r2);
void OffsetRectBy(TRect& r, int dx, int dy);
bool IsEmptyRect(const TRect& r);
bool IsPointInRect(const TRect& r, const TPoint& p);

// ---- Integer routines ----------------------------------------------------------------------

constexpr int ClampByte(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
constexpr int ClampInt(int v, int low, int high) { return v < low ? low : (v > high ? high : v); }
void FillColors(TColor32* dst, int count, TColor32 value);
// Ascending copy; the ranges must not overlap unless they are the same.
void MoveColors(const TColor32* src, TColor32* dst, int count);
void SortPair(int& a, int& b);
// Orders the bounds, clips them to 0..size-1 and tells whether anything is left.
bool ClipSpan(int& first, int& second, int size);
// a*b/c rounded to nearest (halves away from zero); -1 when the quotient does not fit in 31 bits
// or c is 0.
int MulDivRound(int a, int b, int c);

// ---- Gamma table of the anti-aliased plots --------------------------------------------------

extern uint8_t GammaTable[256];
void BuildGammaTable(float gamma);

// ---- Blend routine set ----------------------------------------------------------------------
// F foreground, B background or pixel, W weight 0..255, M master alpha 0..255 (larger values are
// taken as 255), A = F's alpha. All four channels, alpha included, are mixed.

using TMixColors = TColor32 (*)(TColor32 X, TColor32 Y, uint32_t W);
using TMixInto = void (*)(TColor32 X, TColor32& Y, uint32_t W);
using TBlendColors = TColor32 (*)(TColor32 F, TColor32 B);
using TBlendInto = void (*)(TColor32 F, TColor32& B);
using TBlendColorsMaster = TColor32 (*)(TColor32 F, TColor32 B, uint32_t M);
using TBlendIntoMaster = void (*)(TColor32 F, TColor32& B, uint32_t M);
using TBlendSpan = void (*)(const TColor32* src, TColor32* dst, int count);
using TBlendSpanMaster = void (*)(const TColor32* src, TColor32* dst, int count, uint32_t M);
// Mixes one colour into a run of pixels with one weight (the inner loop of the blended fill; same
// results as MixInto on each pixel).
using TMixSpan = void (*)(TColor32 X, TColor32* dst, int count, uint32_t W);

struct TBlendRoutines {
    TMixColors MixColors;
    TMixInto MixInto;
    TBlendColors BlendColors;
    TBlendInto BlendInto;
    TBlendColorsMaster BlendColorsMaster;
    TBlendIntoMaster BlendIntoMaster;
    TBlendSpan BlendSpan;
    TBlendSpanMaster BlendSpanMaster;
    TMixSpan MixSpan;
};

// The two implementations. Their mixes differ by -2..+1 per channel; one is installed per run.
//   scalar: ((X*W + 128) >> 8) + ((Y*(255-W) + 128) >> 8)
//   SIMD:   (Y*256 + 128 + (X-Y)*W) >> 8
extern const TBlendRoutines ScalarBlendRoutines;
extern const TBlendRoutines SimdBlendRoutines;
// The SIMD set with its span routines on wider vectors (same results), when the processor has
// them; null otherwise. SelectBlendImplementation prefers it.
const TBlendRoutines* SimdWideBlendRoutines();

// The SIMD set's one-pixel mix, (Y*(256-W) + X*W + 128) >> 8 per channel on two channels at a
// time in a 32-bit word (each lane's sum stays below 65536). W = 0 gives Y exactly.
inline TColor32 SimdMixPixel(TColor32 x, TColor32 y, uint32_t w)
{
    constexpr uint32_t kLow = 0x00FF00FFu, kBias = 0x00800080u;
    const uint32_t iw = 256 - w;
    const uint32_t rb = (((y & kLow) * iw + (x & kLow) * w + kBias) >> 8) & kLow;
    const uint32_t ag = (((y >> 8) & kLow) * iw + ((x >> 8) & kLow) * w + kBias) & ~kLow;
    return rb | ag;
}

// The SIMD set's per-pixel routines (the ones its table holds).
void SimdMixInto(TColor32 x, TColor32& y, uint32_t w);
void SimdBlendInto(TColor32 f, TColor32& b);

// The slots of the two per-pixel blends the drawing loops call most. A slot holds the installed
// routine like any other; when that is the SIMD set's, the call runs its body inline instead of
// jumping through the pointer, so a loop over pixels costs no call per pixel and can be
// vectorised. Any other routine installed is called through the pointer.
struct TMixIntoSlot {
    TMixInto Routine;
    void operator()(TColor32 x, TColor32& y, uint32_t w) const
    {
        if (Routine != &SimdMixInto) {
            Routine(x, y, w);
            return;
        }
        if (w == 0)
            return;
        y = w >= 255 ? x : SimdMixPixel(x, y, w);
    }
    constexpr operator TMixInto() const { return Routine; }
    TMixIntoSlot& operator=(TMixInto routine)
    {
        Routine = routine;
        return *this;
    }
};

struct TBlendIntoSlot {
    TBlendInto Routine;
    void operator()(TColor32 f, TColor32& b) const
    {
        if (Routine != &SimdBlendInto) {
            Routine(f, b);
            return;
        }
        // Alpha 0 mixes to the pixel itself, so the store leaves it as it was.
        const uint32_t a = f >> 24;
        b = a == 255 ? f : SimdMixPixel(f, b, a);
    }
    constexpr operator TBlendInto() const { return Routine; }
    TBlendIntoSlot& operator=(TBlendInto routine)
    {
        Routine = routine;
        return *this;
    }
};

// The installed slots; callers always call through them.
extern TMixColors MixColors;
extern TMixIntoSlot MixInto;
extern TBlendColors BlendColors;
extern TBlendIntoSlot BlendInto;
extern TBlendColorsMaster BlendColorsMaster;
extern TBlendIntoMaster BlendIntoMaster;
extern TBlendSpan BlendSpan;
extern TBlendSpanMaster BlendSpanMaster;
extern TMixSpan MixSpan;
extern bool UseSimdBlending;

// Processor test: family 5 or later with the MMX feature bit.
bool HasMMX();
// Installs the SIMD set when the processor test passes, else the scalar set. Runs at start.
void SelectBlendImplementation();
// Called once by every drawing operation that used a slot. The SIMD set here keeps no state that
// outlives a routine, so there is nothing to undo.
inline void EndBlending() {}
