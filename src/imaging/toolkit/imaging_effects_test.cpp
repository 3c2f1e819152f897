#include "imaging/toolkit/imaging_effects.h"

#include "imaging/toolkit/imaging_test_support.h"

#include <gtest/gtest.h>

#include <set>

using namespace imaging_test;

namespace {

// Arguments as the effects dialog passes them at its default slider positions.
TEffectParams Typical(const TImagingEffect& e)
{
    const QString name = QLatin1String(e.Name);
    if (name == "MaskEllipse")
        return {double(0x00FF8040)};
    if (name == "FishEye")
        return {1.0};
    if (name.startsWith("Shake"))
        return {0.05};
    if (name == "TweakGamma")
        return {1.2};
    if (name == "TexturedGlass" || name == "Mosaic")
        return {4, 4};
    if (name == "AddNoise")
        return {50, -1};
    if (name.startsWith("Buttonize"))
        return {4, 4};
    if (name == "Colorize")
        return {60, 40, 20};
    if (name == "Posterize")
        return {1};
    if (name == "Solarize")
        return {100};
    if (name == "Swirl")
        return {150};
    if (name == "AdjustBrightness" || name == "AdjustContrast")
        return {40};
    if (name.startsWith("Tile"))
        return {50};
    if (name == "Wind")
        return {20};
    return {5};
}

bool IsRandom(const QString& name)
{
    return name == "Spray" || name == "AddNoise" || name == "RippleRandom" || name == "Tile1" || name == "TexturedGlass" ||
           name == "Wind";
}

TRGBABuffer Applied(const TImagingEffect& e, TRGBABuffer p, TEffectParams params)
{
    ApplyImagingEffect(e, p, params);
    return p;
}

class EveryEffect : public ImagingTest, public ::testing::WithParamInterface<TImagingEffect> {};

} // namespace

TEST(ImagingEffectTable, HoldsEveryOperationOnceWithItsArguments)
{
    std::set<std::string> names;
    for (const TImagingEffect& e : ImagingEffects())
        EXPECT_TRUE(names.insert(e.Name).second) << e.Name;
    EXPECT_EQ(names.size(), 48u);
    EXPECT_EQ(FindImagingEffect("TexturedGlass")->Args, TEffectArgs::FloatInt);
    EXPECT_EQ(FindImagingEffect("Colorize")->Args, TEffectArgs::IntIntInt);
    EXPECT_EQ(FindImagingEffect("Mosaic")->Family, TEffectFamily::Geometric);
    EXPECT_EQ(FindImagingEffect("Spray")->Family, TEffectFamily::Colour);
    EXPECT_EQ(FindImagingEffect("negative"), nullptr);
}

TEST_P(EveryEffect, KeepsSizeAndAlphaChangesThePictureAndRepeats)
{
    const TImagingEffect& e = GetParam();
    const TRGBABuffer source = Pattern();
    TEffectParams params = Typical(e);
    params.Seed = 7;
    const TRGBABuffer result = Applied(e, source, params);
    ASSERT_EQ(result.Width, source.Width);
    ASSERT_EQ(result.Height, source.Height);
    ASSERT_EQ(result.Pixels.size(), source.Pixels.size());
    EXPECT_NE(result.Pixels, source.Pixels);
    EXPECT_EQ(Applied(e, source, params).Pixels, result.Pixels) << "same seed, same result";

    if (e.Family == TEffectFamily::Colour) {
        for (size_t i = 3; i < source.Pixels.size(); i += 4)
            ASSERT_EQ(result.Pixels[i], source.Pixels[i]) << "alpha of pixel " << i / 4;
    } else {
        // Alpha travels with the pixels: a transparent picture stays transparent whatever moves.
        const TRGBABuffer clear = Applied(e, Solid(12, 10, 90, 90, 90, 0), params);
        for (size_t i = 3; i < clear.Pixels.size(); i += 4)
            ASSERT_EQ(clear.Pixels[i], 0) << "pixel " << i / 4;
        // And an opaque one stays opaque, except where tiles leave joints.
        if (QLatin1String(e.Name) != QLatin1String("Tile1") && QLatin1String(e.Name) != QLatin1String("Tile2")) {
            const TRGBABuffer opaque = Applied(e, Solid(12, 10, 90, 90, 90, 255), params);
            for (size_t i = 3; i < opaque.Pixels.size(); i += 4)
                ASSERT_EQ(opaque.Pixels[i], 255) << "pixel " << i / 4;
        }
    }
    if (IsRandom(QLatin1String(e.Name))) {
        params.Seed = 8;
        EXPECT_NE(Applied(e, source, params).Pixels, result.Pixels) << "another seed";
    }
}

TEST_P(EveryEffect, SurvivesExtremeArgumentsAndTinyPictures)
{
    const TImagingEffect& e = GetParam();
    const double extremes[] = {0, -1, -100000, 1e9, std::numeric_limits<double>::quiet_NaN()};
    for (const TRGBABuffer& source : {Pattern(1, 1), Pattern(2, 3), Pattern(3, 1)})
        for (double v : extremes) {
            TRGBABuffer p = Applied(e, source, {v, v, v, 1});
            ASSERT_EQ(p.Width, source.Width) << v;
            ASSERT_EQ(p.Pixels.size(), source.Pixels.size()) << v;
        }
    TRGBABuffer empty;
    ApplyImagingEffect(e, empty, Typical(e));
    EXPECT_TRUE(empty.Empty());
}

INSTANTIATE_TEST_SUITE_P(All, EveryEffect, ::testing::ValuesIn(ImagingEffects()),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ImagingTest, EffectsComputeWhatTheirNamesSay)
{
    const auto run = [](const char* name, TRGBABuffer p, TEffectParams a = {}) {
        ApplyImagingEffect(*FindImagingEffect(name), p, a);
        return p;
    };
    const auto rgb = [](const TRGBABuffer& p, int x, int y) {
        const uint8_t* q = Px(p, x, y);
        return std::array<int, 3>{q[0], q[1], q[2]};
    };
    const TRGBABuffer pattern = Pattern();

    EXPECT_EQ(rgb(run("SwapRedGreen", Solid(1, 1, 10, 20, 30, 255)), 0, 0), (std::array<int, 3>{20, 10, 30}));
    EXPECT_EQ(rgb(run("SwapGreenBlue", Solid(1, 1, 10, 20, 30, 255)), 0, 0), (std::array<int, 3>{10, 30, 20}));
    EXPECT_EQ(rgb(run("Negative", Solid(1, 1, 10, 20, 30, 255)), 0, 0), (std::array<int, 3>{245, 235, 225}));

    const TRGBABuffer grey = run("Grayscale", pattern);
    EXPECT_EQ(Px(grey, 5, 5)[0], Px(grey, 5, 5)[1]);
    EXPECT_EQ(Px(grey, 5, 5)[1], Px(grey, 5, 5)[2]);

    // The colour argument is 0x00BBGGRR; corners lie outside the ellipse, the centre inside.
    const TRGBABuffer masked = run("MaskEllipse", pattern, {double(0x00332211)});
    EXPECT_EQ(rgb(masked, 11, 0), (std::array<int, 3>{0x11, 0x22, 0x33}));
    EXPECT_EQ(rgb(masked, 6, 5), rgb(pattern, 6, 5));

    // Solarize takes its threshold in 0..255: only channels above it are inverted.
    EXPECT_EQ(rgb(run("Solarize", Solid(1, 1, 100, 200, 50, 255), {150}), 0, 0), (std::array<int, 3>{100, 55, 50}));

    // Posterize 0 leaves two levels a channel.
    const TRGBABuffer two = run("Posterize", pattern, {0});
    for (size_t i = 0; i < two.Pixels.size(); i += 4)
        if (two.Pixels[i + 3] == 255)
            ASSERT_TRUE(two.Pixels[i] == 0 || two.Pixels[i] == 255) << int(two.Pixels[i]);

    // Neutral arguments change nothing.
    const TRGBABuffer opaque = Solid(4, 4, 90, 140, 30, 255);
    EXPECT_EQ(run("AdjustBrightness", opaque, {0}).Pixels, opaque.Pixels);
    EXPECT_EQ(run("AdjustContrast", opaque, {0}).Pixels, opaque.Pixels);
    EXPECT_EQ(run("TweakGamma", opaque, {1.0}).Pixels, opaque.Pixels);
    const TRGBABuffer colourised = run("Colorize", opaque, {0, 0, 0});
    for (size_t i = 0; i < opaque.Pixels.size(); ++i)
        ASSERT_NEAR(colourised.Pixels[i], opaque.Pixels[i], 1);

    // Reflections mirror one half onto the other.
    const TRGBABuffer lr = run("ReflectLeftRight", pattern);
    EXPECT_TRUE(std::equal(Px(lr, 10, 3), Px(lr, 10, 3) + 4, Px(pattern, 1, 3)));
    EXPECT_EQ(Px(lr, 11, 3)[3], 0);
    EXPECT_TRUE(std::equal(Px(lr, 2, 3), Px(lr, 2, 3) + 4, Px(pattern, 2, 3)));
    const TRGBABuffer ud = run("ReflectUpDown", pattern);
    EXPECT_TRUE(std::equal(Px(ud, 4, 9), Px(ud, 4, 9) + 4, Px(pattern, 4, 0)));

    // Mosaic: every cell one colour, the mean of its pixels.
    TRGBABuffer cells = Solid(4, 2, 0, 0, 0, 255);
    std::fill_n(Px(cells, 1, 0), 3, 200);
    const TRGBABuffer mosaic = run("Mosaic", cells, {2, 2});
    EXPECT_EQ(Px(mosaic, 0, 1)[0], 50);
    EXPECT_EQ(Px(mosaic, 3, 0)[0], 0);

    // A stretch keeps its own corner in place.
    const TRGBABuffer stretched = run("StretchDownRight", pattern);
    EXPECT_TRUE(std::equal(Px(stretched, 11, 9), Px(stretched, 11, 9) + 4, Px(pattern, 11, 9)));

    // Shake and fish eye move nothing at zero strength.
    EXPECT_EQ(run("ShakeUpDown", opaque, {0.0}).Pixels, opaque.Pixels);
}
