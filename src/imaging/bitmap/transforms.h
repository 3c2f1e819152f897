#pragma once

// Scaled transfers between 32-bit bitmaps: a rectangle of one bitmap drawn into a rectangle of
// another of any size, by nearest neighbour, bilinear magnification or a two-pass kernel
// resampler, landed with the source's draw mode.

#include "framework/exceptions.h"
#include "framework/types.h"
#include "imaging/bitmap/bitmap32.h"

#include <cstdint>
#include <vector>

BRELNOVA_EXCEPTION(ETransformError, Exception)

namespace TransformText {
inline constexpr const char* DstNilOrEmpty = "Destination bitmap is nil or empty";
inline constexpr const char* SrcNilOrEmpty = "Source bitmap is nil or empty";
inline constexpr const char* SrcInvalid = "Source rectangle is invalid";
} // namespace TransformText

// ---- resampling kernels (single precision) ----

float BoxKernel(float x);
float TriangleKernel(float x);
float CubicSplineKernel(float x);
float SincValue(float x);
float Lanczos3Kernel(float x);
// Mitchell-Netravali with B = C = 1/3.
float MitchellKernel(float x);

struct TStretchKernel {
    float (*Filter)(float);
    float Width;
};
// Indexed by TStretchFilter; the sfNearest entry is never used for resampling.
extern const TStretchKernel StretchKernels[5];

// One destination column (or row) of the kernel resampler: source indices with weights in 1/256
// units that sum to exactly 256.
struct TPointRec {
    int32_t Pos;
    int32_t Weight;
};
using TCluster = std::vector<TPointRec>;
using TMappingTable = std::vector<TCluster>;

// The clusters of the clip's columns (or rows) for one axis; empty when the source span is empty.
TMappingTable MakeClusterTable(int dstStart, int dstEnd, int clipStart, int clipEnd, int srcStart,
                               int srcEnd, TStretchFilter filter);

// Raises ETransformError when the destination, then the source, is missing or empty.
void EnsureBitmaps(TBitmap32* dst, TBitmap32* src);
// False for an empty rectangle, true for one inside the source; raises "Source rectangle is
// invalid" for one that reaches outside it.
bool EnsureSourceRect(TBitmap32* src, const TRect& srcRect);

// Draws srcRect of src into dstRect of dst, clipped to dstClip and dst's bounds. An empty
// source does nothing; a missing or empty destination or a source rectangle outside the source
// raises ETransformError before anything is drawn.
void TransferScaled(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                    const TRect& srcRect, TStretchFilter filter, TDrawMode mode,
                    const TPixelCombineEvent& combine);
