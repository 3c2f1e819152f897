#pragma once

// The effects of the image control, one table row per operation: its name (the operation's name
// on the control), its arguments, its family and what it computes. Every effect keeps the
// picture's size; colour effects keep each pixel's alpha, geometric effects move alpha with the
// pixels (uncovered places become transparent). Effects with a random part draw from the seed
// only, so the same seed gives the same result.

#include "framework/magick_bridge.h"

#include <QString>
#include <cstdint>
#include <vector>

enum class TEffectArgs { None, Int, IntInt, IntIntInt, Float, FloatInt };
enum class TEffectFamily { Colour, Geometric };

struct TEffectParams {
    double A = 0;
    double B = 0;
    double C = 0;
    uint32_t Seed = 0;
};

using TEffectFunction = void (*)(TRGBABuffer& picture, const TEffectParams& params);

struct TImagingEffect {
    const char* Name;
    TEffectArgs Args;
    TEffectFamily Family;
    TEffectFunction Apply;
};

const std::vector<TImagingEffect>& ImagingEffects();
// The row of an operation name (compared exactly), or null.
const TImagingEffect* FindImagingEffect(const QString& name);
// Runs the effect on the picture; an empty picture stays as it is.
void ApplyImagingEffect(const TImagingEffect& effect, TRGBABuffer& picture, const TEffectParams& params);
