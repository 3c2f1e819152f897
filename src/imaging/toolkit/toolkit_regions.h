#pragma once

// The imaging toolkit's regions on bitmaps, rectangle copies, combining and rotation.
//
// A bitmap's region (TKBitmap::Region) is kept in stored pixel coordinates and cut to the bitmap.
// Calls that take or give coordinates outside the bitmap (a window's client area, a floater) go
// through a transform:
//   into the bitmap:  view = (outside + offset) * numerator / denominator, rounded down;
//   out of it:        outside = view * numerator / denominator (rounded down) + offset;
// where "view" is the bitmap as it shows in the transform's view perspective: perspective 1 is the
// stored layout, 2 to 8 the turned and mirrored ones of TKBitmap::ViewPerspective. Rectangles have
// exclusive right and bottom edges.
//
// Every call returns 1 for success or a toolkit code (toolkit_codes.h).

#include "framework/types.h"
#include "imaging/toolkit/toolkit_codes.h"

#include <cstdint>

class QRegion;

struct TKRegionTransform {
    uint32_t StructSize = sizeof(TKRegionTransform);
    int32_t ViewPerspective = 1;
    int32_t XScaleNumerator = 1;
    int32_t XScaleDenominator = 1;
    int32_t YScaleNumerator = 1;
    int32_t YScaleDenominator = 1;
    int32_t XOffset = 0;
    int32_t YOffset = 0;
};

// How a new shape meets the region already on the bitmap.
enum : uint32_t {
    TKRGN_Replace = 1,
    TKRGN_Union = 2,
    TKRGN_Intersect = 3,
    TKRGN_Xor = 4,
    TKRGN_Subtract = 5,
};

// How a polygon that crosses itself is filled.
enum : int32_t {
    TKFILL_Alternate = 1,
    TKFILL_Winding = 2,
};

// Combine codes of TK_CombineBitmap.
enum : int32_t {
    // The source's pixels replace the target's, inside the target's region when it has one.
    TKCB_Copy = 800,
};

// Flags of TK_RotateBitmap.
enum : uint32_t {
    TKROT_Smooth = 0x01, // interpolate between pixels instead of taking the nearest
};

// Regions on a bitmap. A transform of null is the identity in perspective 1.
int TK_SetBitmapRgnRect(TKBitmap* bitmap, const TKRegionTransform* transform, const TRect& rect, uint32_t combine);
int TK_SetBitmapRgnRoundRect(TKBitmap* bitmap, const TKRegionTransform* transform, const TRect& rect,
                             int32_t cornerWidth, int32_t cornerHeight, uint32_t combine);
int TK_SetBitmapRgnEllipse(TKBitmap* bitmap, const TKRegionTransform* transform, const TRect& rect, uint32_t combine);
int TK_SetBitmapRgnPolygon(TKBitmap* bitmap, const TKRegionTransform* transform, const TPoint* points, int32_t count,
                           int32_t fillMode, uint32_t combine);
int TK_SetBitmapRgnHandle(TKBitmap* bitmap, const TKRegionTransform* transform, const QRegion& region,
                          uint32_t combine);
// The bitmap's region in outside coordinates (empty when it has none).
int TK_GetBitmapRgnHandle(const TKBitmap* bitmap, const TKRegionTransform* transform, QRegion* region);
// The bounds of the region in stored coordinates; an empty rectangle when there is none.
int TK_GetBitmapRgnBounds(const TKBitmap* bitmap, TRect* bounds);
int TK_FreeBitmapRgn(TKBitmap* bitmap);
bool TK_IsBitmapRgnPresent(const TKBitmap* bitmap);

// A rectangle of stored coordinates as it shows in `perspective`, and back; both corners of the
// rectangle are turned, so the result is again a rectangle.
TRect TK_StoredRectToView(const TKBitmap& bitmap, int32_t perspective, const TRect& rect);
TRect TK_ViewRectToStored(const TKBitmap& bitmap, int32_t perspective, const TRect& rect);

// Copies `rect` (stored coordinates, cut at the bitmap's edges) into a new bitmap of the source's
// depth, view perspective and flags. The new bitmap has no region.
int TK_CopyBitmapRect(const TKBitmap* source, TKBitmap* target, const TRect& rect);
// Puts the pixels of `sourceRect` of source onto target with their top-left corner at (x, y),
// stored coordinates, as `code` says; whatever falls outside the target is left out. The two
// bitmaps may differ in depth: a 32-bit target gets opaque pixels from a 24-bit source.
int TK_CombineBitmap(TKBitmap* target, int32_t x, int32_t y, const TKBitmap* source, const TRect& sourceRect,
                     int32_t code);
// Turns the pixels clockwise by angle degrees into a bitmap just large enough to hold them; the
// corners left uncovered get fillColor (0x00BBGGRR, opaque). A region turns with the pixels.
int TK_RotateBitmap(TKBitmap* bitmap, double angle, uint32_t flags, uint32_t fillColor);
// Turns the way the bitmap shows clockwise by angle degrees (a multiple of 90) by changing its
// view perspective; the pixels stay as they are stored.
int TK_RotateBitmapViewPerspective(TKBitmap* bitmap, int32_t angle);
