#include "drawing/rectangle_tool.h"
#include "drawing/testing_drawing_target.h"
#include "drawing/testing_picture_folder.h"

#include <gtest/gtest.h>

namespace {

constexpr ARGB kC = 0xFF10A040;

struct Target : TTestingDrawingTarget {
    explicit Target(const QString& kind = "16.8M") : TTestingDrawingTarget(10, 10, kind)
    {
        CurrentTool = 5;
        SetPrimary(255, 0x10, 0xA0, 0x40);
    }
};

} // namespace

TEST(RectangleTool, OutlineCoversExactlyTheFigureEdges)
{
    struct Case {
        int sx, sy, ex, ey, width, shift;
        const char* cells; // the whole 10 x 10 format
    };
    const char* thin =
        "..........\n"
        "..........\n"
        "..CCCC....\n"
        "..C..C....\n"
        "..C..C....\n"
        "..CCCC....\n"
        "..........\n"
        "..........\n"
        "..........\n"
        "..........\n";
    // PenWidth 3 on a drag from (2, 2) to (7, 7): one cell more on each side of the path.
    const char* thick =
        "..........\n"
        ".CCCCCCCC.\n"
        ".CCCCCCCC.\n"
        ".CCCCCCCC.\n"
        ".CCC..CCC.\n"
        ".CCC..CCC.\n"
        ".CCCCCCCC.\n"
        ".CCCCCCCC.\n"
        ".CCCCCCCC.\n"
        "..........\n";
    const Case cases[] = {
        {2, 2, 5, 5, 1, 1, thin},
        {5, 5, 2, 2, 1, 1, thin},
        {2, 5, 5, 2, 1, 1, thin},
        {5, 2, 2, 5, 1, 1, thin},
        {2, 2, 7, 7, 3, 1, thick},
        {7, 7, 2, 2, 3, 1, thick},
        // Shift: a right-up drag 6 wide and 3 high takes the height, its bottom-left at the start.
        {2, 6, 8, 3, 1, 2,
         "..........\n"
         "..........\n"
         "..........\n"
         "..CCCC....\n"
         "..C..C....\n"
         "..C..C....\n"
         "..CCCC....\n"
         "..........\n"
         "..........\n"
         "..........\n"},
        // Shift: a left-down drag 6 wide and 3 high takes the width, its top-right at the start.
        {8, 1, 2, 4, 1, 2,
         "..........\n"
         "..CCCCCCC.\n"
         "..C.....C.\n"
         "..C.....C.\n"
         "..C.....C.\n"
         "..C.....C.\n"
         "..C.....C.\n"
         "..CCCCCCC.\n"
         "..........\n"
         "..........\n"},
    };
    for (const Case& c : cases) {
        for (int cap : {1, 2}) {
            Target t;
            t.PenWidth = c.width;
            t.LineCapStyle = cap; // a closed outline has no caps
            t.ShiftMode = c.shift;
            t.Press(c.sx, c.sy);
            t.MoveTo(c.ex, c.ey);
            t.ShiftMode = c.shift;
            RectanglePreview(t, "dorvelt");
            EXPECT_EQ(t.Pixel(c.sx, c.sy), 0u) << "the preview leaves the format";
            EXPECT_EQ(t.ViewPixel(c.sx, c.sy), kC);
            t.Release();
            RectangleCommit(t, "dorvelt");
            EXPECT_EQ(t.Cells(0, 0, 9, 9, {{kC, 'C'}}), c.cells)
                << c.sx << "," << c.sy << " -> " << c.ex << "," << c.ey << " width " << c.width << " cap " << cap;
            EXPECT_EQ(t.BackdropPixel(c.sx, c.sy), kC);
        }
    }
}

TEST(RectangleTool, VerticalGradientRunsFromTheTopOfTheThickStrokeToItsBottom)
{
    TTestingDrawingTarget t(14, 14, "XP");
    t.CurrentTool = 5;
    t.PenWidth = 3;
    t.FillStyle = 2;
    t.SetPrimary(255, 255, 0, 0);
    t.SetSecondary(255, 0, 0, 255);
    t.Drag(RectanglePreview, RectangleCommit, 2, 2, 10, 10);
    int previousRed = 256;
    for (int y = 1; y <= 11; ++y) {
        const ARGB c = t.Pixel(1, y);
        ASSERT_EQ(c >> 24, 255u) << y;
        const int red = int((c >> 16) & 0xFF);
        EXPECT_LT(red, previousRed) << "row " << y;
        EXPECT_NEAR(red + int(c & 0xFF), 255, 1) << "row " << y;
        previousRed = red;
    }
    EXPECT_GT((t.Pixel(5, 1) >> 16) & 0xFF, 220u) << "the top edge is near the first colour";
    EXPECT_LT((t.Pixel(5, 11) >> 16) & 0xFF, 35u) << "the bottom edge near the second";
    // Never antialiased, on "XP" either.
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 14; ++x)
            EXPECT_TRUE((t.Pixel(x, y) >> 24) == 0 || (t.Pixel(x, y) >> 24) == 255) << x << "," << y;
}

TEST(RectangleTool, PatternKindsStrokeWithThePatternPicture)
{
    TTestingPictureFolder folder;
    for (const char* kind : {"16", "Mono"}) {
        Target t(kind);
        t.PatternPaths[0] = "image\\16color\\17.bmp";
        t.FillStyle = 3;
        t.StrokeButton = 2;
        t.Drag(RectanglePreview, RectangleCommit, 7, 7, 1, 2);
        for (int x = 1; x <= 7; ++x) {
            EXPECT_EQ(t.Pixel(x, 2), TTestingPictureFolder::PatternAt(x, 2)) << kind << " " << x;
            EXPECT_EQ(t.Pixel(x, 7), TTestingPictureFolder::PatternAt(x, 7)) << kind << " " << x;
        }
        EXPECT_EQ(t.Pixel(4, 4), 0u);
        // A pattern that cannot be read draws nothing.
        Target u(kind);
        u.PatternPaths[0] = "image\\16color\\missing.bmp";
        u.Drag(RectanglePreview, RectangleCommit, 1, 1, 7, 7);
        std::string empty;
        for (int row = 0; row < 10; ++row)
            empty += "..........\n";
        EXPECT_EQ(u.Cells(0, 0, 9, 9, {}), empty) << kind;
    }
}

TEST(RectangleTool, ErasingWithSolidTakesAlphaUnderTheOutlineOnly)
{
    Target t("XP");
    t.Fill(0xFF336699);
    t.SetPrimary(0, 1, 2, 3);
    t.Press(2, 2);
    t.MoveTo(8, 8);
    RectanglePreview(t, "dorvelt");
    t.MoveTo(5, 5);
    RectanglePreview(t, "dorvelt");
    EXPECT_EQ(t.Pixel(8, 8), 0xFF336699u) << "the larger preview's erasure is given back";
    t.Release();
    RectangleCommit(t, "dorvelt");
    EXPECT_EQ(t.Pixel(2, 4), 0x00336699u);
    EXPECT_EQ(t.Pixel(5, 5), 0x00336699u);
    EXPECT_EQ(t.Pixel(3, 3), 0xFF336699u);
    EXPECT_EQ(t.Pixel(6, 6), 0xFF336699u);
}
