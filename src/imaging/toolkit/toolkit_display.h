#pragma once

// The imaging toolkit's display calls: painting a bitmap onto a painter with source, destination
// and clip rectangles, the display modes, contrast, intensity and gamma, effect painting in
// passes, transitions (gradients and patterns), frames, paint palettes and a double buffer.
//
// Rectangles are in the coordinates of the picture as shown: the bitmap's view perspective is
// applied by these calls, so a source rectangle of a bitmap on its side has the shown width and
// height. Right and bottom are exclusive.
//
// Effects, transitions and gradients: every code of the toolkit's ranges is computed. Pass p of
// n of an effect shows the part p / n of the picture (the last pass all of it); the grain is the
// side of the squares, bars and columns of the families that have them.
//
//   1000, 1001    none: everything at once
//   2000-2554     sweeps in 1 to 35 strips: code 2000 + 16 x (strips - 1) + kind, kinds 0-3 wipe
//                 from the left, right, top, bottom; 4-7 split out from the middle horizontally,
//                 vertically, in from the edges horizontally, vertically; 8-11 diagonal wipe from
//                 the top-left, top-right, bottom-left, bottom-right; 12-15 diagonal split out
//                 from the rising, the falling diagonal, in to them. Every second strip runs the
//                 other way.
//   3000          dissolve in squares of the grain, in a fixed random order
//   3001          fade in (each pass blends the picture further over what is there)
//   3002, 3003    rows, columns of the grain in a fixed random order
//   3004, 3005    dissolve within a wipe from the left, the top
//   4000-4009     box, ellipse, diamond, cross, circle: out from the middle, then in to it
//   4010-4029     the same five shapes growing from the top-left, top-right, bottom-left,
//                 bottom-right corner (code 4010 + 4 x shape + corner)
//   5000-5263     blinds: kinds 0-7 of the sweeps in each of 2 to 34 slats (5000 + 8 x (slats
//                 - 2) + kind)
//   6000-6525     checkerboard of 2 to 133 cells each way, wiped from the left, right, top,
//                 bottom (6000 + 4 x (cells - 2) + direction); every second cell comes later
//   7000-7263     square spiral of 2 to 34 cells each way (7000 + 8 x (cells - 2) + kind):
//                 clockwise from the top-left, anticlockwise from the top-right, clockwise from
//                 the bottom-right, anticlockwise from the bottom-left, inwards; then outwards
//   8000-8259     slide: the picture moves in from the left, right, top, bottom, in 1 to 65
//                 strips taking turns in direction (8000 + 4 x (strips - 1) + direction). As
//                 the picture moves, each pass paints all of what it shows, so the pixels of a
//                 translucent picture build up over the passes.
//   9000, 9001    columns of the grain running down, up, each from a random start
//   10000-10003   clock hand from 12, 3, 6, 9 o'clock, clockwise; 11000-11003 anticlockwise
//   11004-11006   windmill of 2, 3, 4 blades
//   12000-12009   squares of the grain by rows, columns, snaking rows, snaking columns, in
//                 diagonals from each corner (as 4010), out from the middle, in from the edges
//   13000-13007   zigzag wipe from the left, right, top, bottom with 4, then 8 teeth
//   14000-14007   in each square of the grain: box, ellipse, diamond, cross, out and in
//   15000-15035   lattice of 2 to 10 slats each way, opening from their starts, ends, middles,
//                 edges (15000 + 4 x (slats - 2) + kind)
//   16000-16035   2 to 7 rings of box, ellipse, diamond, out and in (16000 + 6 x (rings - 2)
//                 + kind)
//
//   Gradient styles, from the start colour to the end colour in GradientSteps bands:
//   1000-1015     linear, as the sweeps 2000-2015
//   2000, 2001    circle out from the middle, in to it; 2002-2005 circle from each corner
//   2006, 2007    ellipse out, in
//   3000, 3001    box out, in
//   4000, 4001    diamond out, in
//   5000-5007     angle round the middle, as the clock hands
//   Patterns (styles 0 to 7): solid back colour, transparent (nothing painted), then horizontal,
//   vertical, downward diagonal, upward diagonal, cross and diagonal cross lines in the fore
//   colour over the back colour.
//
// The display has true colour: dithering and paint palettes do not change what is shown; the
// palette bits are kept and realising a palette changes no colour.

#include "framework/types.h"
#include "imaging/toolkit/toolkit_codes.h"

#include <cstdint>

class QImage;
class QPainter;

// Bits of the display mode.
enum : uint32_t {
    TKDM_OrderedDither = 0x001,   // ordered dithering on palette displays (else error diffusion)
    TKDM_ScaleToGray = 0x010,     // a shrunk picture averages the pixels it merges
    TKDM_TrueColour = 0x020,      // paint in the display's own colours
    TKDM_FavorBlack = 0x040,      // a shrunk picture keeps the darkest of the pixels it merges
    TKDM_FixedPalette = 0x080,
    TKDM_NetscapePalette = 0x100,
    TKDM_Resample = 0x200,        // smooth scaling
    TKDM_Bicubic = 0x400,         // bicubic scaling
};

// The current display mode of the toolkit (process-wide; the GUI thread only).
uint32_t TK_GetDisplayMode();
// Sets the bits of mask to those of value and returns the mode as it was.
uint32_t TK_SetDisplayMode(uint32_t mask, uint32_t value);

// Contrast and intensity from -100 to 100 (0 unchanged); gamma in hundredths (100 unchanged).
struct TKDisplayAdjust {
    int32_t Contrast = 0;
    int32_t Intensity = 0;
    uint32_t Gamma = 100;
};

// Raster operations of the paint calls.
enum : uint32_t {
    TK_SRCCOPY = 0x00CC0020,
    TK_SRCPAINT = 0x00EE0086,
    TK_SRCAND = 0x008800C6,
    TK_SRCINVERT = 0x00660046,
};

// Paints `source` of the bitmap (shown coordinates) into `dest`, limited to the part of the
// source inside sourceClip and the part of the painter inside destClip, with the current
// display mode. 32-bit pixels blend by their alpha. TK_ErrParameter for an unknown raster
// operation, TK_ErrBitmapHandle for a bitmap without pixels.
int TK_PaintBitmap(QPainter* dc, const TKBitmap* bitmap, const TRect& source, const TRect& sourceClip,
                   const TRect& dest, const TRect& destClip, uint32_t rop, const TKDisplayAdjust& adjust);

// One pass of an effect.
struct TKEffect {
    int32_t Code = 1000;
    int32_t Grain = 5;
    int32_t Delay = 0;  // kept; the passes are the caller's
    int32_t Speed = 0;  // kept
    int32_t Cycles = 0; // kept
    int32_t Pass = 1;
    int32_t MaxPasses = 1;
    bool UseTransparentColor = false;
    uint32_t TransparentColor = 0; // 0x00BBGGRR
    uint32_t WandSize = 0;         // how far (per channel) a colour may be from it and still count
    uint32_t WandColor = 0;        // kept
    uint32_t Rop = TK_SRCCOPY;
};

// Whether the code lies in the toolkit's ranges of effect codes, of gradient styles.
bool TK_IsEffectCode(int32_t code);
bool TK_IsGradientStyle(int32_t style);
// Whether this layer computes the effect, the gradient style: every code of the ranges.
bool TK_IsEffectComputed(int32_t code);
bool TK_IsGradientComputed(int32_t style);

// Effect painting: as TK_PaintBitmap, showing the part of the destination that pass Pass of
// MaxPasses reveals. Pixels of the transparent colour (UseTransparentColor) and, when the
// bitmap's transparency bit is set, of the bitmap's own transparent colour are left out.
int TK_EfxPaintBitmap(QPainter* dc, const TKBitmap* bitmap, const TRect& source, const TRect& sourceClip,
                      const TRect& dest, const TRect& destClip, const TKEffect& effect, const TKDisplayAdjust& adjust);

// Transition: paints a gradient (style is a gradient style, colours start and end) or a pattern
// (style 0 to 7, colours back and fore) into area, the part that the effect's pass reveals.
// TK_ErrParameter for a style that is neither.
int TK_EfxPaintTransition(QPainter* dc, const TRect& area, int32_t style, uint32_t color1, uint32_t color2,
                          int32_t gradientSteps, const TKEffect& effect);

// Flags of TK_EfxDrawFrame.
enum : uint32_t {
    TKFR_InnerRaised = 0x01,
    TKFR_OuterRaised = 0x10,
};

// Draws a frame inside rect: the outer bevel, the frame band in its colour, the inner bevel,
// from the outside in. An inset bevel has the shadow at the top and left, a raised one the
// highlight. Colours are framework colours.
int TK_EfxDrawFrame(QPainter* dc, const TRect& rect, uint32_t flags, int32_t thickness, uint32_t color,
                    int32_t innerThickness, uint32_t innerShadow, uint32_t innerHilite, int32_t outerThickness,
                    uint32_t outerShadow, uint32_t outerHilite);

// Paint palettes: handles, 0 none. On a true-colour display a palette holds the bitmap's colours
// for callers that ask, and realising it changes nothing.
using TKPalette = uint32_t;
int TK_CreatePaintPalette(const TKBitmap* bitmap, TKPalette* palette);
int TK_DeletePalette(TKPalette palette);
// The number of display colours that changed (0 on true colour), or a code below 0.
int TK_RealizePalette(TKPalette palette, bool background);

// Double buffer: painting goes into an image of the window's size, copied to the window in one
// step when it ends. Handles, 0 none.
using TKDoubleBuffer = uint32_t;
int TK_CreateDoubleBuffer(TKDoubleBuffer* buffer);
int TK_DestroyDoubleBuffer(TKDoubleBuffer buffer);
int TK_EnableDoubleBuffer(TKDoubleBuffer buffer, bool enable);
bool TK_IsDoubleBufferEnabled(TKDoubleBuffer buffer);
// Starts a buffered paint of rect of window: the painter to draw with, which is window itself
// when the buffer is disabled or cannot be made. translucent starts the buffer clear so that
// what lies under the window shows through.
QPainter* TK_BeginDoubleBuffer(TKDoubleBuffer buffer, QPainter* window, const TRect& rect, bool translucent);
// Ends the buffered paint and copies the buffer onto the window.
int TK_EndDoubleBuffer(TKDoubleBuffer buffer);
