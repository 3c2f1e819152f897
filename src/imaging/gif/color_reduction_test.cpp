#include "imaging/gif/color_reduction.h"

#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/streams.h"

#include <gtest/gtest.h>

#include <QtEndian>
#include <memory>
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

// Cells that tie on the axis being split: the sort's order among equal values decides which
// cells share a box. Worked by hand from the splitting rules.
TEST(ColorReduction, MedianCutSplitsTiesInTheSortsOrder)
{
    TPaletteEntry pal[256];
    struct Case {
        const char* what;
        std::vector<Rgb> pixels;   // one row, one pixel per cell
        std::vector<uint8_t> box;  // box of each pixel
    } cases[] = {
        // Four cells, red 1, 1, 1, 8: insertion sort puts the three reds of 1 in reverse order
        // (C, B, A), the first box takes C and B; green splits C from B, then the tie on green
        // reverses A and D once more.
        {"insertion sort", {{0x10, 0x00, 0}, {0x10, 0x50, 0}, {0x10, 0xA0, 0}, {0x80, 0x00, 0}}, {3, 0, 2, 1}},
        // Eight cells of red 1 and green 0..7: the quicksort swaps the whole list end for end
        // and each half is then reversed again (g4..g7, g0..g3); the later splits on green keep
        // the order and those on blue reverse each pair.
        {"quicksort",
         {{0x10, 0x00, 0}, {0x10, 0x10, 0}, {0x10, 0x20, 0}, {0x10, 0x30, 0},
          {0x10, 0x40, 0}, {0x10, 0x50, 0}, {0x10, 0x60, 0}, {0x10, 0x70, 0}},
         {5, 1, 7, 4, 3, 0, 6, 2}},
    };
    for (const Case& c : cases) {
        const int w = int(c.pixels.size());
        auto rows = Rows24(w, 1, [&](int x, int) { return c.pixels[size_t(x)]; });
        EXPECT_EQ(ReduceRows24To8(rows.data(), w, 1, MethodMedianCut, pal), w) << c.what;
        for (int x = 0; x < w; ++x) {
            ASSERT_EQ(At(rows, w, 1, x, 0), c.box[size_t(x)]) << c.what << " pixel " << x;
            // One cell per box: its entry is the cell's 4-bit values times 16 plus 15.
            const Rgb p = c.pixels[size_t(x)];
            EXPECT_TRUE(Colour(pal[c.box[size_t(x)]]) == (Rgb{uint8_t((p.r >> 4) * 16 + 15), uint8_t((p.g >> 4) * 16 + 15),
                                                             uint8_t((p.b >> 4) * 16 + 15)}))
                << c.what << " pixel " << x;
        }
    }
}

// Asking for the depth a bitmap already has gives its own BMP image; greyscale is the exception.
TEST(ColorReduction, SameFormatGivesTheBitmapsOwnImage)
{
    TBitmap b(5, 3, pf8bit);
    TPaletteEntries palette(256, 0);
    palette[1] = 0x123456;
    palette[2] = 0xFF8000;
    b.SetPalette(palette);
    b.ScanLine(0)[0] = 1;
    b.ScanLine(2)[4] = 2;
    TMemoryStream own;
    b.SaveToStream(&own);
    for (uint8_t method : {MethodFrequency, MethodMedianCut, MethodTrunc784, MethodTrunc666, MethodTripel}) {
        std::unique_ptr<TMemoryStream> s(ReduceBitmapColors(&b, pf8bit, method));
        EXPECT_EQ(s->Position(), 0) << int(method);
        EXPECT_EQ(s->Bytes(), own.Bytes()) << int(method);
    }
    std::unique_ptr<TMemoryStream> grey(ReduceBitmapColors(&b, pf8bit, MethodGrayscale));
    TDibInfo info;
    ASSERT_TRUE(ParseDib(grey->Bytes(), info));
    EXPECT_EQ(info.BitCount, 8);
    const auto* d = reinterpret_cast<const uint8_t*>(grey->Bytes().constData());
    // Entry 7 of a grey table is (7, 7, 7); the top-left pixel 0x123456 is grey (77*0x12 + 150*0x34 + 29*0x56) >> 8.
    EXPECT_EQ(d[info.PaletteOffset + 7 * 4], 7);
    EXPECT_EQ(d[info.PaletteOffset + 7 * 4 + 2], 7);
    EXPECT_EQ(d[info.BitsOffset + 2 * 8], (77 * 0x12 + 150 * 0x34 + 29 * 0x56) >> 8);
}

// The images the reduction makes keep the source's resolution, and its count of important
// colours where the method names none and the count fits the new table.
TEST(ColorReduction, ImagesKeepTheSourcesInformationHeader)
{
    TBitmap b(6, 4, pf24bit);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            b.SetPixelArgb(x, y, 0xFF000000u | uint32_t(x * 40) << 16 | uint32_t(y * 60) << 8);
    b.SetResolution(3780, 2835);
    b.SetImportantColors(12);
    struct Case {
        TPixelFormat format;
        uint8_t method;
        uint32_t important;
    } cases[] = {
        {pf8bit, MethodFrequency, 12}, {pf8bit, MethodGrayscale, 12}, {pf8bit, MethodMedianCut, 24},
        {pf8bit, MethodTrunc666, 216}, {pf4bit, MethodFrequency, 12}, {pf1bit, MethodFrequency, 0},
        {pf24bit, MethodFrequency, 12},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TMemoryStream> s(ReduceBitmapColors(&b, c.format, c.method));
        const QByteArray image = s->Bytes();
        ASSERT_GE(image.size(), 54);
        const auto* info = reinterpret_cast<const uint8_t*>(image.constData()) + 14;
        EXPECT_EQ(qFromLittleEndian<int32_t>(info + 24), 3780) << int(c.format) << "/" << int(c.method);
        EXPECT_EQ(qFromLittleEndian<int32_t>(info + 28), 2835) << int(c.format) << "/" << int(c.method);
        EXPECT_EQ(qFromLittleEndian<uint32_t>(info + 36), c.important) << int(c.format) << "/" << int(c.method);
    }
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
