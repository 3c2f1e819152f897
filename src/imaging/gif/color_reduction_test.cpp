#include "imaging/gif/color_reduction.h"

#include "framework/exceptions.h"

#include <gtest/gtest.h>

#include <QtEndian>
#include <set>
#include <tuple>
#include <vector>

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// A 24-bit image in storage layout: rows bottom-up, blue-green-red, padded to 4 bytes. pixel(x, y)
// gives the colour of picture row y (top first).
template <class F>
std::vector<uint8_t> Rows24(int w, int h, F pixel)
{
    const int stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> rows(size_t(stride) * h, 0xEE);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Rgb c = pixel(x, y);
            uint8_t* p = rows.data() + size_t(h - 1 - y) * stride + x * 3;
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
    return rows;
}

// Index of picture pixel (x, y) in reduced rows.
uint8_t At(const std::vector<uint8_t>& rows, int w, int h, int x, int y)
{
    const int stride = (w + 3) & ~3;
    return rows[size_t(h - 1 - y) * stride + x];
}

Rgb Colour(const TPaletteEntry& e)
{
    return {e.Red, e.Green, e.Blue};
}

bool operator==(Rgb a, Rgb b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

} // namespace

TEST(ColorReduction, LevelBoundaries)
{
    struct Case {
        int levels;
        std::vector<int> changes;
    } cases[] = {
        {4, {43, 128, 213}},
        {6, {26, 77, 128, 179, 230}},
        {7, {22, 65, 107, 150, 192, 235}},
        {8, {19, 55, 92, 128, 165, 201, 238}},
    };
    for (const Case& c : cases) {
        std::vector<int> changes;
        for (int v = 1; v < 256; ++v)
            if (NearestLevelIndex(c.levels, uint8_t(v)) != NearestLevelIndex(c.levels, uint8_t(v - 1)))
                changes.push_back(v);
        EXPECT_EQ(changes, c.changes) << c.levels << " levels";
    }
}

TEST(ColorReduction, FixedPaletteMethods)
{
    struct Case {
        const char* name;
        uint8_t method;
        Rgb colour;
        int index;
        int important;
    } cases[] = {
        {"6x6x6 white", MethodTrunc666, {255, 255, 255}, 215, 216},
        {"6x6x6 black", MethodTrunc666, {0, 0, 0}, 0, 216},
        {"6x6x6 mid", MethodTrunc666, {102, 200, 30}, 2 * 36 + 4 * 6 + 1, 216},
        {"7x8x4 white", MethodTrunc784, {255, 255, 255}, 223, 224},
        {"7x8x4 mixed", MethodTrunc784, {128, 36, 170}, 3 * 32 + 1 * 4 + 2, 224},
        {"grey white", MethodGrayscale, {255, 255, 255}, 255, 0},
        {"grey red", MethodGrayscale, {255, 0, 0}, 76, 0},
        {"grey green", MethodGrayscale, {0, 255, 0}, 149, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto rows = Rows24(5, 3, [&](int, int) { return c.colour; });
        TPaletteEntry pal[256];
        EXPECT_EQ(ReduceRows24To8(rows.data(), 5, 3, c.method, pal), c.important);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                ASSERT_EQ(At(rows, 5, 3, x, y), c.index);
    }
    TPaletteEntry pal[256];
    auto rows = Rows24(1, 1, [](int, int) { return Rgb{0, 0, 0}; });
    ReduceRows24To8(rows.data(), 1, 1, MethodTrunc784, pal);
    EXPECT_TRUE(Colour(pal[223]) == (Rgb{255, 255, 255}));
    EXPECT_TRUE(Colour(pal[3 * 32 + 1 * 4 + 2]) == (Rgb{128, 36, 170}));
    EXPECT_EQ(pal[224].Reserved, 128);
    ReduceRows24To8(rows.data(), 1, 1, MethodTrunc666, pal);
    EXPECT_TRUE(Colour(pal[215]) == (Rgb{255, 255, 255}));
    EXPECT_TRUE(Colour(pal[240]) == (Rgb{128, 128, 128}));
    ReduceRows24To8(rows.data(), 1, 1, MethodGrayscale, pal);
    EXPECT_TRUE(Colour(pal[77]) == (Rgb{77, 77, 77}));
}

TEST(ColorReduction, TripelSpreadsChannelsOverColumnsAndRows)
{
    auto rows = Rows24(4, 2, [](int, int) { return Rgb{200, 100, 40}; });
    TPaletteEntry pal[256];
    ReduceRows24To8(rows.data(), 4, 2, MethodTripel, pal);
    // Storage row 0 is the bottom picture row.
    const int red = 200 >> 2, green = 64 + (100 >> 2), blue = 128 + (40 >> 2);
    EXPECT_EQ(At(rows, 4, 2, 0, 1), red);
    EXPECT_EQ(At(rows, 4, 2, 1, 1), green);
    EXPECT_EQ(At(rows, 4, 2, 2, 1), blue);
    EXPECT_EQ(At(rows, 4, 2, 3, 1), red);
    EXPECT_EQ(At(rows, 4, 2, 0, 0), green);
    EXPECT_TRUE(Colour(pal[red]) == (Rgb{200, 0, 0}));
    EXPECT_TRUE(Colour(pal[green]) == (Rgb{0, 100, 0}));
    EXPECT_TRUE(Colour(pal[blue]) == (Rgb{0, 0, 40}));
}

TEST(ColorReduction, FrequencyKeepsUpTo256ColoursExactly)
{
    const int w = 64, h = 40;
    auto colour = [](int x, int y) { return Rgb{uint8_t(x * 4 + 1), uint8_t(y % 4 * 60), 7}; };
    auto rows = Rows24(w, h, colour);
    TPaletteEntry pal[256];
    ReduceRows24To8(rows.data(), w, h, MethodFrequency, pal);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_TRUE(Colour(pal[At(rows, w, h, x, y)]) == colour(x, y)) << x << "," << y;
}

TEST(ColorReduction, FrequencyPrefersCommonColoursAndCoarsensBlueFirst)
{
    // 3000 colours: after dropping the lowest blue bit 1500 remain, which fits the table.
    const int w = 100, h = 30;
    auto colour = [](int x, int y) { return Rgb{uint8_t(x / 10 * 20), uint8_t(x % 10 * 20), uint8_t(y)}; };
    auto rows = Rows24(w, h, colour);
    TPaletteEntry pal[256];
    ReduceRows24To8(rows.data(), w, h, MethodFrequency, pal);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(pal[i].Blue % 2, 0) << i;
    std::set<std::tuple<int, int, int>> distinct;
    for (int i = 0; i < 256; ++i)
        distinct.insert({pal[i].Red, pal[i].Green, pal[i].Blue});
    EXPECT_EQ(distinct.size(), 256u);

    // The most frequent colour takes index 0; a picture of fewer colours pads with grey.
    auto few = Rows24(10, 1, [](int x, int) { return x < 7 ? Rgb{9, 8, 7} : Rgb{1, 2, 3}; });
    ReduceRows24To8(few.data(), 10, 1, MethodFrequency, pal);
    EXPECT_TRUE(Colour(pal[0]) == (Rgb{9, 8, 7}));
    EXPECT_TRUE(Colour(pal[1]) == (Rgb{1, 2, 3}));
    EXPECT_TRUE(Colour(pal[2]) == (Rgb{128, 128, 128}));
    EXPECT_EQ(At(few, 10, 1, 9, 0), 1);
}

TEST(ColorReduction, MedianCut)
{
    TPaletteEntry pal[256];
    // One colour: one box whose entry is the cell's 4-bit values scaled up.
    auto one = Rows24(3, 3, [](int, int) { return Rgb{0x35, 0xA0, 0xFF}; });
    EXPECT_EQ(ReduceRows24To8(one.data(), 3, 3, MethodMedianCut, pal), 1);
    EXPECT_TRUE(Colour(pal[0]) == (Rgb{16 * 3 + 15, 16 * 10 + 15, 16 * 15 + 15}));
    EXPECT_EQ(At(one, 3, 3, 2, 2), 0);
    auto dark = Rows24(2, 2, [](int, int) { return Rgb{0x0F, 0x05, 0x00}; });
    EXPECT_EQ(ReduceRows24To8(dark.data(), 2, 2, MethodMedianCut, pal), 1);
    EXPECT_TRUE(Colour(pal[0]) == (Rgb{0, 0, 0}));

    // Four well separated colours end in four boxes that reproduce them to within a cell.
    const Rgb four[4] = {{250, 10, 10}, {10, 250, 10}, {10, 10, 250}, {250, 250, 250}};
    auto rows = Rows24(8, 8, [&](int x, int y) { return four[(x / 4) + 2 * (y / 4)]; });
    EXPECT_EQ(ReduceRows24To8(rows.data(), 8, 8, MethodMedianCut, pal), 4);
    for (int q = 0; q < 4; ++q) {
        Rgb got = Colour(pal[At(rows, 8, 8, (q % 2) * 4, (q / 2) * 4)]);
        EXPECT_LE(std::abs(got.r - four[q].r), 16);
        EXPECT_LE(std::abs(got.g - four[q].g), 16);
        EXPECT_LE(std::abs(got.b - four[q].b), 16);
    }
    // Many colours never give more than 256 boxes.
    auto ramp = Rows24(64, 64, [](int x, int y) { return Rgb{uint8_t(x * 4), uint8_t(y * 4), uint8_t((x ^ y) * 4)}; });
    EXPECT_EQ(ReduceRows24To8(ramp.data(), 64, 64, MethodMedianCut, pal), 256);
}

TEST(ColorReduction, ReducedDibFile)
{
    auto rows = Rows24(5, 2, [](int x, int) { return Rgb{uint8_t(x * 50), 0, 0}; });
    QByteArray dib24 = MakeDibFile(5, 2, 24, nullptr, 0, rows.data());
    QByteArray dib8 = ReduceDib24To8(dib24, MethodTrunc666);
    TDibInfo info;
    ASSERT_TRUE(ParseDib(dib8, info));
    EXPECT_EQ(info.Width, 5);
    EXPECT_EQ(info.Height, 2);
    EXPECT_EQ(info.BitCount, 8);
    EXPECT_EQ(info.BitsOffset, 14 + 40 + 1024);
    EXPECT_EQ(info.ImportantColors, 216);
    EXPECT_EQ(dib8.size(), 14 + 40 + 1024 + 8 * 2);
    const auto* d = reinterpret_cast<const uint8_t*>(dib8.constData());
    EXPECT_EQ(qFromLittleEndian<uint32_t>(d + 2), uint32_t(dib8.size()));
    EXPECT_EQ(d[info.BitsOffset + 1], 1 * 36);
    EXPECT_EQ(d[info.BitsOffset + 5], 0) << "row padding is cleared";
    EXPECT_THROW(ReduceDib24To8(QByteArray("BM"), MethodTrunc666), EInvalidGraphic);
}
