#include "drawing/filled_rectangle_tool.h"
#include "drawing/testing_drawing_target.h"
#include "drawing/testing_picture_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr ARGB kP = 0xFFFF0000; // primary: opaque red
constexpr ARGB kS = 0xFF0000FF; // secondary: opaque blue

struct Target : TTestingDrawingTarget {
    explicit Target(const QString& kind = "XP", int size = 16) : TTestingDrawingTarget(size, size, kind)
    {
        CurrentTool = 6;
        SetPrimary(255, 255, 0, 0);
        SetSecondary(255, 0, 0, 255);
    }
};

// Every channel within tolerance of the expected colour.
bool Near(ARGB c, ARGB expected, int tolerance = 40)
{
    for (int shift : {24, 16, 8, 0})
        if (std::abs(int((c >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

std::string Empty(int size)
{
    std::string s;
    for (int y = 0; y < size; ++y)
        s += std::string(size_t(size), '.') + '\n';
    return s;
}

} // namespace

TEST(FilledRectangleTool, SolidFillCoversColumnsXToXPlusWidthMinusOne)
{
    struct Case {
        int sx, sy, ex, ey, shift;
        GpRect filled;
    };
    const Case cases[] = {
        {2, 3, 6, 5, 1, {2, 3, 4, 2}},
        {6, 5, 2, 3, 1, {2, 3, 4, 2}},
        {2, 5, 6, 3, 1, {2, 3, 4, 2}},
        {6, 2, 1, 10, 2, {1, 2, 5, 5}}, // left-down with Shift: the height takes the width
        {5, 5, 6, 6, 1, {5, 5, 1, 1}},
        {3, 3, 20, 20, 1, {3, 3, 9, 9}}, // clipped to the format
    };
    for (const Case& c : cases) {
        Target t("16.8M", 12);
        t.SetPixel(0, 0, 0xFF123456);
        t.Press(c.sx, c.sy);
        t.MoveTo(c.ex, c.ey);
        t.ShiftMode = c.shift;
        FilledRectanglePreview(t, "dorvelt");
        t.Release();
        FilledRectangleCommit(t, "dorvelt");
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x) {
                const bool in = x >= c.filled.X && x < c.filled.X + c.filled.Width && y >= c.filled.Y &&
                                y < c.filled.Y + c.filled.Height;
                const ARGB expected = in ? kP : (x == 0 && y == 0 ? 0xFF123456 : 0);
                EXPECT_EQ(t.Pixel(x, y), expected) << c.sx << "," << c.sy << " -> " << c.ex << "," << c.ey << " at "
                                                   << x << "," << y;
            }
    }

    // A half-transparent colour keeps its channels on a transparent pixel and blends over an
    // opaque one.
    Target t("XP", 8);
    t.SetPixel(3, 3, 0xFF0000FF);
    t.SetPrimary(128, 255, 0, 0);
    t.Drag(FilledRectanglePreview, FilledRectangleCommit, 1, 1, 5, 5);
    EXPECT_EQ(t.Pixel(2, 2), 0x80FF0000u);
    EXPECT_EQ(t.Pixel(3, 3), 0xFF80007Fu);
}

TEST(FilledRectangleTool, EveryFillStyleByItsEndColours)
{
    TTestingPictureFolder folder;
    struct Case {
        int style, button;
        int ax, ay; // a cell near colour A ...
        int bx, by; // ... and one near colour B
        ARGB a, b;
    };
    // Drag (2, 2) - (13, 13): F covers cells 2 .. 12, I = (1, 1, 13, 13).
    const Case cases[] = {
        {2, 1, 7, 2, 7, 12, kP, kS},   // vertical: A at the top
        {2, 2, 7, 2, 7, 12, kS, kP},   // the right button swaps the pair
        {3, 1, 2, 7, 12, 7, kP, kS},   // horizontal: A at the left
        {3, 2, 2, 7, 12, 7, kS, kP},
        {5, 1, 12, 2, 2, 12, kP, kS},  // backward diagonal: the primary at the upper right
        {5, 2, 12, 2, 2, 12, kP, kS},  // ... whatever the button
        {6, 1, 2, 2, 12, 12, kP, kS},  // forward diagonal: the primary at the upper left
        {6, 2, 2, 2, 12, 12, kP, kS},
        {4, 1, 2, 2, 7, 7, 0, kS},     // radial: B exactly at the centre
        {4, 2, 2, 2, 7, 7, 0, kP},
        {8, 1, 2, 2, 12, 12, 0xFF00FF00, 0xFF00FF00},
    };
    for (const Case& c : cases) {
        Target t;
        t.FillStyle = c.style;
        t.StrokeButton = c.button;
        t.GradientImageFile = folder.Path("green.png");
        t.Drag(FilledRectanglePreview, FilledRectangleCommit, 2, 2, 13, 13);
        const std::string name = "style " + std::to_string(c.style) + " button " + std::to_string(c.button);
        if (c.style == 4) {
            EXPECT_EQ(t.Pixel(c.bx, c.by), c.b) << name;
            EXPECT_FALSE(Near(t.Pixel(c.ax, c.ay), c.b, 60)) << name << ": the corner leans to the surround";
        } else {
            EXPECT_TRUE(Near(t.Pixel(c.ax, c.ay), c.a)) << name << " " << std::hex << t.Pixel(c.ax, c.ay);
            EXPECT_TRUE(Near(t.Pixel(c.bx, c.by), c.b)) << name << " " << std::hex << t.Pixel(c.bx, c.by);
        }
        EXPECT_EQ(t.Pixel(1, 1), 0u) << name;
        EXPECT_EQ(t.Pixel(13, 13), 0u) << name;
    }

    // The radial brush paints nothing outside its ellipse: the corner of a large fill keeps its pixel.
    Target big("XP", 64);
    big.FillStyle = 4;
    big.SetPixel(0, 0, 0xFF445566);
    big.Drag(FilledRectanglePreview, FilledRectangleCommit, 0, 0, 60, 60);
    EXPECT_EQ(big.Pixel(0, 0), 0xFF445566u);
    EXPECT_EQ(big.Pixel(30, 30), kS);

    // A picture that cannot be read paints nothing.
    Target missing;
    missing.FillStyle = 8;
    missing.GradientImageFile = folder.Path("missing.png");
    missing.Drag(FilledRectanglePreview, FilledRectangleCommit, 2, 2, 13, 13);
    EXPECT_EQ(missing.Cells(0, 0, 15, 15, {}), Empty(16));
}

TEST(FilledRectangleTool, DiamondWorkedExampleInPreviewAndCommit)
{
    const std::string expected =
        "..............\n"
        "..............\n"
        "..OOOOOOOOOO..\n"
        "..OIIIIIIIIO..\n"
        "..OIIIIIIIIO..\n"
        "..OOOOOOOOOO..\n"
        "..............\n";
    const std::map<ARGB, char> legend{{0xFF990066, 'O'}, {0xFF660099, 'I'}};
    // The rings start at the drag box's top-left corner in every direction.
    const int drags[][4] = {{2, 2, 12, 6}, {12, 6, 2, 2}, {2, 6, 12, 2}, {12, 2, 2, 6}};
    for (const auto& d : drags) {
        Target t("XP", 14);
        t.FillStyle = 7;
        t.Press(d[0], d[1]);
        t.MoveTo(d[2], d[3]);
        FilledRectanglePreview(t, "dorvelt");
        EXPECT_EQ(t.ViewPixel(2, 2), 0xFF990066u);
        EXPECT_EQ(t.ViewPixel(5, 4), 0xFF660099u);
        EXPECT_EQ(t.Pixel(5, 4), 0u);
        t.Release();
        FilledRectangleCommit(t, "dorvelt");
        EXPECT_EQ(t.Cells(0, 0, 13, 6, legend), expected) << d[0] << "," << d[1] << " -> " << d[2] << "," << d[3];
    }
}

TEST(FilledRectangleTool, DiamondRingLoops)
{
    // Square: the row loop; ring 0 at i = 0 is exactly A.
    auto rings = DiamondRings(0, 0, 4, 4, kP, kS);
    ASSERT_EQ(rings.size(), 2u);
    EXPECT_EQ(rings[0].Colour, kP);
    EXPECT_EQ(rings[1].Rect.X, 1);
    EXPECT_EQ(rings[1].Rect.Width, 2);
    // Q = cy = 3: per cell red steps by 255 div 3 = 85 and blue by 85.
    EXPECT_EQ(rings[1].Colour, 0xFFAA0055u);

    // Taller than wide: the column loop, i from D.x = 4 with Q = cx = 7 (steps of 36).
    rings = DiamondRings(4, 1, 8, 11, kP, kS);
    ASSERT_FALSE(rings.empty());
    EXPECT_EQ(rings[0].Colour, 0xFF6F0090u);

    // A middle left of or above the image (Q <= 0) has no ramp: no rings, no division by zero.
    EXPECT_TRUE(DiamondRings(2, 2, -10, 30, kP, kS).empty());
    EXPECT_TRUE(DiamondRings(0, 1, 30, -3, kP, kS).empty());

    // Cells left of the image step away from B; they hold at A rather than wrapping.
    rings = DiamondRings(20, 2, -10, 60, kP, kS);
    ASSERT_FALSE(rings.empty());
    EXPECT_EQ(rings[0].Colour, kP);

    Target t("XP", 8);
    t.FillStyle = 7;
    t.Drag(FilledRectanglePreview, FilledRectangleCommit, 2, 2, -10, 30);
    EXPECT_EQ(t.Cells(0, 0, 7, 7, {}), Empty(8));
}

TEST(FilledRectangleTool, PatternKindsFillWithThePictureForEveryStyle)
{
    TTestingPictureFolder folder;
    for (int style : {1, 4, 7}) {
        Target t("16", 10);
        t.PatternPaths[0] = "image\\16color\\17.bmp";
        t.FillStyle = style;
        t.StrokeButton = 2;
        t.Drag(FilledRectanglePreview, FilledRectangleCommit, 1, 2, 8, 7);
        for (int y = 2; y < 7; ++y)
            for (int x = 1; x < 8; ++x)
                EXPECT_EQ(t.Pixel(x, y), TTestingPictureFolder::PatternAt(x, y)) << style << " " << x << "," << y;
        EXPECT_EQ(t.Pixel(8, 7), 0u);
    }
}

TEST(FilledRectangleTool, ErasingWithSolidFollowsTheLastPreview)
{
    Target t("XP", 10);
    t.Fill(0xFF336699);
    t.SetPrimary(0, 1, 2, 3);
    t.Press(1, 1);
    t.MoveTo(8, 8);
    FilledRectanglePreview(t, "dorvelt");
    EXPECT_EQ(t.Pixel(7, 7), 0x00336699u) << "erased while dragging";
    t.MoveTo(4, 4);
    FilledRectanglePreview(t, "dorvelt");
    EXPECT_EQ(t.Pixel(7, 7), 0xFF336699u) << "narrowing gives the pixels back";
    t.Release();
    FilledRectangleCommit(t, "dorvelt");
    EXPECT_EQ(t.Pixel(3, 3), 0x00336699u);
    EXPECT_EQ(t.Pixel(4, 4), 0xFF336699u);

    // With a gradient nothing is erased: the primary end of the gradient is transparent.
    Target g("XP", 10);
    g.Fill(0xFF336699);
    g.FillStyle = 3;
    g.SetPrimary(0, 1, 2, 3);
    g.Drag(FilledRectanglePreview, FilledRectangleCommit, 1, 1, 8, 8);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(g.Pixel(x, 4) >> 24, 255u) << x;
    EXPECT_TRUE(Near(g.Pixel(1, 4), 0xFF336699)) << "near the transparent end";
    EXPECT_GT(int(g.Pixel(7, 4) & 0xFF), int(g.Pixel(1, 4) & 0xFF) + 40) << "toward the secondary";
}
