#include "imaging/bitmap/transforms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

const TStretchFilter AllFilters[] = {sfNearest, sfLinear, sfSpline, sfLanczos, sfMitchell};

// A bitmap whose pixels are given row by row.
void Fill(TBitmap32& b, int w, int h, const std::vector<TColor32>& pixels)
{
    b.SetSize(w, h);
    for (int i = 0; i < w * h; ++i)
        b.Bits()[i] = pixels[size_t(i)];
}

void Noise(TBitmap32& b, int w, int h, unsigned seed)
{
    b.SetSize(w, h);
    std::mt19937 rng(seed);
    for (int i = 0; i < w * h; ++i)
        b.Bits()[i] = rng();
}

// A grey ramp along x: every row holds the values given, opaque.
void Ramp(TBitmap32& b, const std::vector<int>& values, int h)
{
    b.SetSize(int(values.size()), h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < int(values.size()); ++x)
            *b.PixelAddress(x, y) = MakeColor32(values[size_t(x)], values[size_t(x)], values[size_t(x)]);
}

std::vector<int> BlueRow(const TBitmap32& b, int y)
{
    std::vector<int> row;
    for (int x = 0; x < b.Width(); ++x)
        row.push_back(BlueComponent(*b.PixelAddress(x, y)));
    return row;
}

} // namespace

TEST(Kernels, ValuesAndPartitionOfUnity)
{
    EXPECT_EQ(BoxKernel(0.5f), 1.0f);
    EXPECT_EQ(BoxKernel(-0.5f), 0.0f);
    EXPECT_FLOAT_EQ(TriangleKernel(-0.25f), 0.75f);
    EXPECT_FLOAT_EQ(CubicSplineKernel(0.0f), 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(CubicSplineKernel(1.5f), 0.125f / 6.0f);
    EXPECT_FLOAT_EQ(Lanczos3Kernel(0.0f), 1.0f);
    EXPECT_NEAR(Lanczos3Kernel(2.0f), 0.0f, 1e-6);
    EXPECT_EQ(Lanczos3Kernel(3.0f), 0.0f);
    EXPECT_FLOAT_EQ(MitchellKernel(0.0f), 8.0f / 9.0f);
    EXPECT_NEAR(MitchellKernel(1.0f), 1.0f / 18.0f, 1e-6);
    EXPECT_EQ(MitchellKernel(2.0f), 0.0f);

    // Shifted copies of each kernel add up to one everywhere (Lanczos only nearly).
    for (int f = sfLinear; f <= sfMitchell; ++f) {
        const TStretchKernel& k = StretchKernels[f];
        const float tolerance = f == sfLanczos ? 0.01f : 1e-5f;
        for (float x = 0.0f; x < 1.0f; x += 0.125f) {
            float sum = 0;
            for (int j = -4; j <= 4; ++j)
                sum += k.Filter(x - float(j));
            EXPECT_NEAR(sum, 1.0f, tolerance) << "filter " << f << " at " << x;
        }
    }
}

TEST(ClusterTable, EveryClusterSumsTo256AndStaysInSource)
{
    struct Case {
        int src, dst;
    };
    const Case cases[] = {{2, 7}, {7, 2}, {8, 4}, {64, 1024}, {1000, 3}, {3, 1000}, {255, 254}, {5, 5}};
    for (int f = sfLinear; f <= sfMitchell; ++f)
        for (const Case& c : cases) {
            const TMappingTable t = MakeClusterTable(0, c.dst, 0, c.dst, 10, 10 + c.src, TStretchFilter(f));
            ASSERT_EQ(int(t.size()), c.dst);
            for (const TCluster& cluster : t) {
                int sum = 0;
                for (const TPointRec& p : cluster) {
                    sum += p.Weight;
                    EXPECT_GE(p.Pos, 10);
                    EXPECT_LT(p.Pos, 10 + c.src);
                }
                EXPECT_EQ(sum, 256) << "filter " << f << " " << c.src << "->" << c.dst;
            }
        }
    EXPECT_TRUE(MakeClusterTable(0, 4, 0, 4, 3, 3, sfSpline).empty());
    const TMappingTable one = MakeClusterTable(0, 4, 1, 3, 6, 7, sfSpline);
    ASSERT_EQ(one.size(), 2u);
    EXPECT_EQ(one[0].size(), 1u);
    EXPECT_EQ(one[0][0].Pos, 6);
    EXPECT_EQ(one[0][0].Weight, 256);
}

TEST(ClusterTable, TriangleReductionByHalf)
{
    // Centre of destination 0 is source 0.5; the stretched kernel reaches 2 pixels each way and
    // the pair left of the source is clamped onto pixel 0.
    const TMappingTable t = MakeClusterTable(0, 4, 0, 4, 0, 8, sfLinear);
    ASSERT_EQ(t[0].size(), 4u);
    const int pos[] = {0, 0, 1, 2}, weight[] = {32, 96, 96, 32};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(t[0][size_t(i)].Pos, pos[i]);
        EXPECT_EQ(t[0][size_t(i)].Weight, weight[i]);
    }
}

TEST(TransferScaled, NearestRepeatsPixelsInEveryDrawMode)
{
    for (TDrawMode mode : {dmOpaque, dmBlend}) {
        TBitmap32 src, dst;
        Fill(src, 2, 2, {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004});
        src.SetDrawMode(mode);
        dst.SetSize(4, 4);
        src.StretchOnto(&dst, MakeRect(0, 0, 4, 4));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(*dst.PixelAddress(x, y), 0xFF000001u + TColor32((y / 2) * 2 + x / 2))
                    << "mode " << mode << " at " << x << "," << y;
    }
    // Four into eight: rows and columns 0,0,1,1,2,2,3,3, also through a clip that starts inside.
    TBitmap32 src, dst;
    Ramp(src, {10, 20, 30, 40}, 4);
    dst.SetSize(8, 8);
    TransferScaled(&dst, MakeRect(0, 0, 8, 8), MakeRect(3, 0, 8, 8), &src, src.GetBounds(), sfNearest,
                   dmOpaque, nullptr);
    EXPECT_EQ(BlueRow(dst, 7), (std::vector<int>{0, 0, 0, 20, 30, 30, 40, 40}));
}

TEST(TransferScaled, NearestSinglePixelDestinationTakesTheMiddle)
{
    TBitmap32 src, dst;
    Ramp(src, {10, 20, 30, 40, 50}, 3);
    dst.SetSize(1, 1);
    TransferScaled(&dst, MakeRect(0, 0, 1, 1), dst.GetBounds(), &src, src.GetBounds(), sfNearest, dmOpaque,
                   nullptr);
    EXPECT_EQ(BlueComponent(*dst.Bits()), 30);
}

TEST(TransferScaled, LinearMagnifiesBilinearlyAndEndsOnTheLastPixel)
{
    TBitmap32 src, dst;
    Ramp(src, {0, 255}, 2);
    src.SetStretchFilter(sfLinear);
    dst.SetSize(4, 4);
    src.StretchOnto(&dst, MakeRect(0, 0, 4, 4));
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(BlueRow(dst, y), (std::vector<int>{0, 63, 191, 255}));

    // Vertically: the upper row's weight is 256 - round(frac * 256).
    TBitmap32 column;
    column.SetSize(2, 2);
    column.FillRectPlain(0, 0, 2, 1, 0xFF000000);
    column.FillRectPlain(0, 1, 2, 2, 0xFF0000FF);
    column.SetStretchFilter(sfLinear);
    column.StretchOnto(&dst, MakeRect(0, 0, 4, 4));
    std::vector<int> down;
    for (int y = 0; y < 4; ++y)
        down.push_back(BlueComponent(*dst.PixelAddress(1, y)));
    EXPECT_EQ(down, (std::vector<int>{0, 63, 191, 255}));
}

TEST(TransferScaled, LinearReductionUsesTheTriangleKernel)
{
    TBitmap32 src, dst;
    Ramp(src, {0, 32, 64, 96, 128, 160, 192, 224}, 8);
    src.SetStretchFilter(sfLinear);
    dst.SetSize(4, 4);
    src.StretchOnto(&dst, MakeRect(0, 0, 4, 4));
    // (32 * v0 + 96 * v0 + 96 * v1 + 32 * v2) / 256 = 20 for the first column; a bilinear
    // reduction would give 16.
    EXPECT_EQ(BlueComponent(*dst.PixelAddress(0, 0)), 20);
    EXPECT_EQ(BlueRow(dst, 0), BlueRow(dst, 3));
}

TEST(TransferScaled, LanczosKeepsAnEdgeInsideTheChannelRange)
{
    TBitmap32 src, dst;
    Ramp(src, {0, 0, 0, 255, 255, 255}, 6);
    src.SetStretchFilter(sfLanczos);
    dst.SetSize(24, 24);
    src.StretchOnto(&dst, dst.GetBounds());
    const std::vector<int> row = BlueRow(dst, 10);
    // The ringing below black and above white is clamped: nothing wraps to the other end.
    for (int x = 0; x < 10; ++x)
        EXPECT_LT(row[size_t(x)], 64) << x;
    for (int x = 14; x < 24; ++x)
        EXPECT_GT(row[size_t(x)], 192) << x;
    EXPECT_EQ(row.front(), 0);
    EXPECT_EQ(row.back(), 255);
}

TEST(TransferScaled, SameSizeCopiesExactlyWhateverTheFilter)
{
    for (TStretchFilter f : AllFilters) {
        TBitmap32 src, dst;
        Noise(src, 3, 3, 7);
        dst.SetSize(6, 6);
        dst.Clear(0);
        TransferScaled(&dst, MakeRect(2, 1, 5, 4), dst.GetBounds(), &src, src.GetBounds(), f, dmOpaque, nullptr);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(*dst.PixelAddress(x + 2, y + 1), *src.PixelAddress(x, y)) << "filter " << f;
        EXPECT_EQ(*dst.PixelAddress(1, 1), 0u);
    }
}

TEST(TransferScaled, ReductionsKeepAFlatColour)
{
    // A flat half-transparent colour must come out unchanged by every kernel and size; a weight
    // fault shows as a drift of the channels.
    const TColor32 flat = 0x80C04020;
    for (TStretchFilter f : AllFilters)
        for (int side : {1, 3, 7, 20}) {
            TBitmap32 src, dst;
            src.SetSize(17, 13);
            src.Clear(flat);
            dst.SetSize(side, side);
            TransferScaled(&dst, dst.GetBounds(), dst.GetBounds(), &src, src.GetBounds(), f, dmOpaque, nullptr);
            for (int i = 0; i < side * side; ++i)
                ASSERT_EQ(dst.Bits()[i], flat) << "filter " << f << " side " << side;
        }
}

TEST(TransferScaled, DrawModesLandThePixels)
{
    // Half-transparent red over opaque blue, magnified by each filter: the blend is the same as
    // blending one source pixel, and a master alpha of 0 draws nothing.
    for (TStretchFilter f : AllFilters) {
        TBitmap32 src, dst;
        src.SetSize(2, 2);
        src.Clear(0x80FF0000);
        src.SetDrawMode(dmBlend);
        src.SetStretchFilter(f);
        dst.SetSize(5, 5);
        dst.Clear(0xFF0000FF);
        TColor32 expected = 0xFF0000FF;
        if (f == sfNearest)
            BlendInto(0x80FF0000, expected);
        else
            BlendIntoMaster(0x80FF0000, expected, 255);
        src.StretchOnto(&dst, dst.GetBounds());
        EXPECT_EQ(*dst.PixelAddress(4, 4), expected) << "filter " << f;

        dst.Clear(0xFF0000FF);
        src.SetMasterAlpha(0);
        src.StretchOnto(&dst, dst.GetBounds());
        EXPECT_EQ(*dst.PixelAddress(2, 2), 0xFF0000FFu);

        int calls = 0;
        src.SetDrawMode(dmCustom);
        src.SetMasterAlpha(77);
        src.OnPixelCombine = [&](TColor32 F, TColor32& B, TColor32 M) {
            ++calls;
            EXPECT_EQ(M, 77u);
            B = F ^ 0x00FFFFFF;
        };
        src.StretchOnto(&dst, dst.GetBounds());
        EXPECT_EQ(calls, 25);
        EXPECT_EQ(*dst.PixelAddress(0, 0), 0x8000FFFFu);
    }
}

TEST(TransferScaled, ClipsAndRefusals)
{
    TBitmap32 src, dst, empty;
    Noise(src, 4, 4, 3);
    dst.SetSize(8, 8);
    dst.Clear(0xFF123456);

    // A clip beside the destination rectangle and an empty source rectangle draw nothing.
    TransferScaled(&dst, MakeRect(0, 0, 4, 4), MakeRect(4, 4, 8, 8), &src, src.GetBounds(), sfSpline, dmOpaque,
                   nullptr);
    TransferScaled(&dst, MakeRect(0, 0, 8, 8), dst.GetBounds(), &src, MakeRect(2, 2, 2, 4), sfSpline, dmOpaque,
                   nullptr);
    // A destination rectangle hanging off the bitmap draws only the part inside.
    TransferScaled(&dst, MakeRect(-100, 6, 100, 30), dst.GetBounds(), &src, src.GetBounds(), sfLanczos,
                   dmOpaque, nullptr);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(*dst.PixelAddress(x, y), 0xFF123456u);

    // An empty source is no error; a missing destination and a source rectangle past the source
    // are, before anything is drawn.
    TransferScaled(&dst, dst.GetBounds(), dst.GetBounds(), &empty, MakeRect(0, 0, 1, 1), sfNearest, dmOpaque,
                   nullptr);
    struct Refusal {
        TBitmap32* dst;
        TBitmap32* src;
        TRect srcRect;
        const char* text;
    };
    const Refusal refusals[] = {
        {nullptr, &src, MakeRect(0, 0, 4, 4), "Destination bitmap is nil or empty"},
        {&empty, &src, MakeRect(0, 0, 4, 4), "Destination bitmap is nil or empty"},
        {&dst, nullptr, MakeRect(0, 0, 4, 4), "Source bitmap is nil or empty"},
        {&dst, &src, MakeRect(1, 1, 5, 4), "Source rectangle is invalid"},
        {&dst, &src, MakeRect(-1, 0, 2, 2), "Source rectangle is invalid"},
    };
    for (const Refusal& r : refusals) {
        try {
            TransferScaled(r.dst, MakeRect(0, 0, 3, 3), MakeRect(0, 0, 8, 8), r.src, r.srcRect, sfLinear, dmOpaque,
                           nullptr);
            ADD_FAILURE() << "no error for " << r.text;
        } catch (const ETransformError& e) {
            EXPECT_EQ(e.Message(), QString::fromLatin1(r.text));
        }
    }
    EXPECT_EQ(*dst.PixelAddress(0, 0), 0xFF123456u);
}

TEST(TransferScaled, StretchOntoSignalsTheTargetOnce)
{
    TBitmap32 src, dst, empty;
    Noise(src, 3, 3, 5);
    dst.SetSize(9, 9);
    int changes = 0;
    dst.OnChange = [&](TObject*) { ++changes; };
    empty.StretchOnto(&dst, dst.GetBounds());
    src.StretchOnto(&empty, MakeRect(0, 0, 9, 9));
    src.StretchOnto(nullptr, MakeRect(0, 0, 9, 9));
    EXPECT_EQ(changes, 0);
    src.StretchOnto(&dst, dst.GetBounds());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(*dst.PixelAddress(8, 8), *src.PixelAddress(2, 2));
}
