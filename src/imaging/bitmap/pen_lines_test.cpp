#include "imaging/bitmap/bitmap32.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The pixel a deposit of colour with weight w leaves on background.
TColor32 Mixed(TColor32 colour, TColor32 background, uint32_t w)
{
    MixInto(colour, background, w);
    return background;
}

// Rows of a bitmap as text: '.' untouched background, '#' anything else.
std::string Touched(const TBitmap32& b, TColor32 background)
{
    std::string s;
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x)
            s += *b.PixelAddress(x, y) == background ? '.' : '#';
        s += '\n';
    }
    return s;
}

constexpr TColor32 Black = 0xFF000000;

} // namespace

TEST(PenLines, HorizontalWholePixelLineLeavesTheEndPoint)
{
    TBitmap32 b;
    b.SetSize(12, 12);
    b.Clear(Black);
    b.SetPenColor(0xFFFFFFFF);
    b.MovePenTo(0, 5);
    b.SmoothLineTo(10, 5);
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(*b.PixelAddress(x, 5), x < 10 ? Mixed(0xFFFFFFFF, Black, 253) : Black) << x;
    for (int x = 0; x < 12; ++x) {
        EXPECT_EQ(*b.PixelAddress(x, 4), Black);
        EXPECT_EQ(*b.PixelAddress(x, 6), Black);
    }
    EXPECT_EQ(b.PenX(), 10 * FixedOne);
    EXPECT_EQ(b.PenY(), 5 * FixedOne);
}

TEST(PenLines, HalfPixelPointSpreadsOverFourPixels)
{
    TBitmap32 b;
    b.SetSize(4, 4);
    b.Clear(Black);
    b.SetPenColor(0xFFFFFFFF);
    b.MovePenTo(0.5f, 0.5f);
    b.SmoothLineTo(1.5f, 0.5f);
    // One whole plot; the remaining fraction of the length is 0 and deposits nothing.
    const TColor32 quarter = Mixed(0xFFFFFFFF, Black, 95);
    EXPECT_EQ(*b.PixelAddress(0, 0), quarter);
    EXPECT_EQ(*b.PixelAddress(1, 0), quarter);
    EXPECT_EQ(*b.PixelAddress(0, 1), quarter);
    EXPECT_EQ(*b.PixelAddress(1, 1), quarter);
    EXPECT_EQ(Touched(b, Black), "##..\n##..\n....\n....\n");
}

TEST(PenLines, PenAlphaScalesTheWeights)
{
    TBitmap32 b;
    b.SetSize(8, 8);
    b.SetPenColor(0x80FFFFFF);
    b.MovePenTo(1, 2);
    b.SmoothLineTo(6, 2);
    // (255 * 128 * 255) >> 16 = 127 against 253 for an opaque pen.
    EXPECT_EQ(*b.PixelAddress(3, 2), Mixed(0x80FFFFFF, 0, 127));
}

TEST(PenLines, PolylineJoinsWithoutDoublePlots)
{
    TBitmap32 whole, joined;
    for (TBitmap32* b : {&whole, &joined}) {
        b->SetSize(16, 8);
        b->Clear(Black);
        b->SetPenColor(0xC0FF8000);
        b->MovePenTo(1.25f, 3.5f);
    }
    whole.SmoothLineTo(13.25f, 3.5f);
    joined.SmoothLineTo(7.25f, 3.5f);
    joined.SmoothLineTo(13.25f, 3.5f);
    for (int i = 0; i < 16 * 8; ++i)
        ASSERT_EQ(whole.Bits()[i], joined.Bits()[i]) << i;
}

TEST(PenLines, RowAndColumnLinesDepositWhatTheirPlotsDo)
{
    // A line along a row or a column, at any sub-pixel offset, leaves what its whole-pixel plots
    // leave one by one (the lengths are whole, so the closing plot carries nothing). The pen's
    // alpha and the background vary, so each mix of every pixel counts, in its order.
    struct Case {
        float x1, y1, x2, y2;
        TColor32 pen;
    };
    const Case cases[] = {
        {2, 3, 14, 3, 0xFFFFFFFF},       // whole pixels
        {2.25f, 3.5f, 13.25f, 3.5f, 0xFFFF8000}, // both fractions
        {1.75f, 9, 12.75f, 9, 0xC040A0FF},      // x fraction only
        {3, 2.5f, 3, 13.5f, 0xFF00FF00},       // column, y fraction only
        {6.625f, 1.125f, 6.625f, 14.125f, 0x80FFFFFF}, // column, both fractions
        {9.5f, 4, 9.5f, 10, 0xFF0000FF},       // column, x fraction only
    };
    for (const Case& c : cases) {
        TBitmap32 line, plots;
        for (TBitmap32* b : {&line, &plots}) {
            b->SetSize(18, 18);
            for (int i = 0; i < 18 * 18; ++i)
                b->Bits()[i] = 0x01000000u * uint32_t(i * 37 % 256) + uint32_t(i * 2654435761u % 0xFFFFFFu);
        }
        line.SetPenColor(c.pen);
        line.MovePenTo(c.x1, c.y1);
        line.SmoothLineTo(c.x2, c.y2);
        const int steps = int(c.x2 - c.x1 + c.y2 - c.y1);
        const int dx = c.x2 > c.x1 ? 256 : 0, dy = c.y2 > c.y1 ? 256 : 0;
        for (int k = 0; k < steps; ++k)
            plots.PlotSubpixel(int(c.x1 * 256) + k * dx, int(c.y1 * 256) + k * dy, c.pen);
        for (int i = 0; i < 18 * 18; ++i)
            ASSERT_EQ(line.Bits()[i], plots.Bits()[i]) << "line from " << c.x1 << "," << c.y1 << " pixel " << i;
    }
}

TEST(PenLines, ChangeSignals)
{
    TBitmap32 b;
    b.SetSize(10, 10);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.MovePenTo(3, 3);
    b.SmoothLineTo(3.001f, 3); // below 1/256 pixel: nothing drawn, still a change
    EXPECT_EQ(changes, 1);
    b.MovePenTo(-20, -20);
    b.SmoothLineTo(-5, -30); // wholly outside: no change at all
    b.MovePenTo(30, 2);
    b.SmoothLineTo(50, 8);
    EXPECT_EQ(changes, 1);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(b.Bits()[i], 0u);
}

TEST(PenLines, ClippedLinesStayInsideTheBitmap)
{
    // Lines from far outside, also beyond the 16.16 range, cover only pixels of the bitmap; the
    // memory checkers of the sanitizer build watch the edges.
    struct Case {
        float x1, y1, x2, y2;
        const char* touched;
    };
    const Case cases[] = {
        {-100.0f, 2.0f, 100.0f, 2.0f, "......\n......\n######\n......\n"},
        {3.0f, -50.0f, 3.0f, 1e9f, "...#..\n...#..\n...#..\n...#..\n"},
        {-1e9f, -1e9f, 1e9f, 1e9f, "##....\n###...\n.###..\n..###.\n"},
        {5.5f, 3.5f, 40.0f, 3.5f, "......\n......\n......\n.....#\n"},
    };
    for (const Case& c : cases) {
        TBitmap32 b;
        b.SetSize(6, 4);
        b.Clear(Black);
        b.MovePenTo(c.x1, c.y1);
        b.SmoothLineTo(c.x2, c.y2);
        EXPECT_EQ(Touched(b, Black), c.touched) << c.x1 << "," << c.y1 << " to " << c.x2 << "," << c.y2;
    }
}

TEST(PenLines, CutEndPointIsPlotted)
{
    // Towards the top edge the line is cut one pixel above the bitmap; that end then gets its
    // plot, whose lower half lands on row 0. Uncut, the same line stops short of row 0.
    TBitmap32 cut, inside;
    cut.SetSize(5, 6);
    inside.SetSize(5, 6);
    cut.MovePenTo(2, 3.5f);
    cut.SmoothLineTo(2, -4);
    inside.MovePenTo(2, 3.5f);
    inside.SmoothLineTo(2, 0.5f);
    EXPECT_NE(*cut.PixelAddress(2, 0), 0u);
    EXPECT_EQ(*inside.PixelAddress(2, 0), 0u);
}

TEST(PenLines, SafePlotWritesOnlyPixelsInside)
{
    TBitmap32 b;
    b.SetSize(3, 3);
    b.Clear(Black);
    b.PlotSubpixelSafe(-128, -128, 0xFFFFFFFF); // (-0.5, -0.5): only pixel (0, 0) is inside
    b.PlotSubpixelSafe(-257, 0, 0xFFFFFFFF);    // more than a pixel left: nothing
    b.PlotSubpixelSafe(2 * 256 + 128, 2 * 256 + 128, 0xFFFFFFFF);
    EXPECT_EQ(Touched(b, Black), "#..\n...\n..#\n");
}

TEST(ClipLine, CutsToTheRectangle)
{
    struct Case {
        int x1, y1, x2, y2;
        bool visible;
        int cx1, cy1, cx2, cy2;
    };
    const Case cases[] = {
        {1, 1, 5, 5, true, 1, 1, 5, 5},          // inside: unchanged
        {-5, 1, -1, 9, false, 0, 0, 0, 0},       // left of the rectangle
        {-10, 5, 20, 5, true, 0, 5, 10, 5},      // across, horizontally
        {5, -10, 5, 20, true, 5, 0, 5, 10},      // across, vertically
        {-5, -5, 15, 15, true, 0, 0, 10, 10},    // diagonal through the corners
        {0, -3, 3, 0, true, 3, 0, 3, 0},         // touching the corner region
        {-3, 8, 8, -3, true, 0, 5, 5, 0},        // one end cut in y, the other in x
        {11, 0, 20, 10, false, 0, 0, 0, 0},      // right, both ends
    };
    for (const Case& c : cases) {
        int x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
        ASSERT_EQ(ClipLineToRect(x1, y1, x2, y2, 0, 0, 10, 10), c.visible) << c.x1 << "," << c.y1;
        if (c.visible) {
            EXPECT_EQ(x1, c.cx1);
            EXPECT_EQ(y1, c.cy1);
            EXPECT_EQ(x2, c.cx2);
            EXPECT_EQ(y2, c.cy2);
        }
    }
}
