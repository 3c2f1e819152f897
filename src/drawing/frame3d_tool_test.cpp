#include "drawing/frame3d_tool.h"
#include "drawing/testing_drawing_target.h"
#include "drawing/testing_picture_folder.h"

#include <gtest/gtest.h>

namespace {

constexpr ARGB kP = 0xFFC00000; // primary
constexpr ARGB kS = 0xFF0000C0; // secondary

struct Target : TTestingDrawingTarget {
    explicit Target(const QString& kind = "16.8M") : TTestingDrawingTarget(12, 10, kind)
    {
        CurrentTool = 11;
        SetPrimary(255, 192, 0, 0);
        SetSecondary(255, 0, 0, 192);
    }
};

} // namespace

TEST(Frame3DTool, NestedOutlinesWithTheSecondColourDrawnLast)
{
    struct Case {
        int width;
        int button;
        int fillStyle;
        const char* cells; // columns 1..10, rows 1..7 of a drag from (2, 2) to (9, 6)
    };
    const Case cases[] = {
        {1, 1, 1,
         "..........\n"
         ".PPPPPPPS.\n"
         ".P......S.\n"
         ".P......S.\n"
         ".P......S.\n"
         ".SSSSSSSS.\n"
         "..........\n"},
        // Three outlines; at the innermost the bottom edge covers the top edge it coincides with.
        {5, 1, 1,
         "..........\n"
         ".PPPPPPPS.\n"
         ".PPPPPPSS.\n"
         ".PPSSSSSS.\n"
         ".PSSSSSSS.\n"
         ".SSSSSSSS.\n"
         "..........\n"},
        // Widths round down to an odd count of outlines: 4 draws what 5 does.
        {4, 1, 1,
         "..........\n"
         ".PPPPPPPS.\n"
         ".PPPPPPSS.\n"
         ".PPSSSSSS.\n"
         ".PSSSSSSS.\n"
         ".SSSSSSSS.\n"
         "..........\n"},
        // The right button swaps the colours; the fill style plays no part.
        {1, 2, 2,
         "..........\n"
         ".SSSSSSSP.\n"
         ".S......P.\n"
         ".S......P.\n"
         ".S......P.\n"
         ".PPPPPPPP.\n"
         "..........\n"},
    };
    for (const Case& c : cases) {
        for (bool leftUp : {false, true}) {
            Target t;
            t.PenWidth = c.width;
            t.FillStyle = c.fillStyle;
            t.StrokeButton = c.button;
            if (leftUp)
                t.Drag(Frame3DPreview, Frame3DCommit, 9, 6, 2, 2);
            else
                t.Drag(Frame3DPreview, Frame3DCommit, 2, 2, 9, 6);
            EXPECT_EQ(t.Cells(1, 1, 10, 7, {{kP, 'P'}, {kS, 'S'}}), c.cells)
                << "width " << c.width << " button " << c.button << (leftUp ? " left-up" : " right-down");
            // The committed frame is on the backdrop as well.
            EXPECT_EQ(t.BackdropPixel(2, 2) | 0xFF000000u, c.button == 1 ? kP : kS);
        }
    }
}

TEST(Frame3DTool, AliasedOnXpAndSafeWhenOutlinesCross)
{
    Target t("XP");
    t.PenWidth = 7;
    t.Drag(Frame3DPreview, Frame3DCommit, 3, 3, 5, 5);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            const ARGB c = t.Pixel(x, y);
            EXPECT_TRUE(c == 0 || c == kP || c == kS) << x << "," << y;
        }
    for (int y = 3; y <= 5; ++y)
        for (int x = 3; x <= 5; ++x)
            EXPECT_NE(t.Pixel(x, y), 0u) << x << "," << y;
}

TEST(Frame3DTool, PreviewShowsTheFrameWithoutTouchingTheFormat)
{
    Target t;
    t.Press(2, 2);
    t.MoveTo(9, 6);
    Frame3DPreview(t, "dorvelt");
    EXPECT_EQ(t.ViewPixel(2, 4), kP);
    EXPECT_EQ(t.ViewPixel(9, 4), kS);
    EXPECT_EQ(t.Pixel(2, 4), 0u);
    // Back in the start's column: no frame, and the previous one is gone.
    t.MoveTo(2, 8);
    Frame3DPreview(t, "dorvelt");
    EXPECT_NE(t.ViewPixel(9, 4), kS);
    // No preview once the mouse is up.
    t.MoveTo(9, 6);
    t.MouseIsDown = false;
    Frame3DPreview(t, "dorvelt");
    EXPECT_NE(t.ViewPixel(9, 4), kS);
}

TEST(Frame3DTool, PatternKindsUseBothPatternPictures)
{
    TTestingPictureFolder folder;
    for (int button : {1, 2}) {
        Target t("16");
        t.PatternPaths[0] = "image\\16color\\17.bmp";
        t.PatternPaths[1] = "image\\16color\\18.bmp";
        t.StrokeButton = button;
        t.Drag(Frame3DPreview, Frame3DCommit, 2, 2, 9, 6);
        auto first = button == 1 ? TTestingPictureFolder::PatternAt : TTestingPictureFolder::SecondPatternAt;
        auto second = button == 1 ? TTestingPictureFolder::SecondPatternAt : TTestingPictureFolder::PatternAt;
        for (int y = 2; y <= 5; ++y)
            EXPECT_EQ(t.Pixel(2, y), first(2, y)) << button << " left edge " << y;
        for (int x = 2; x <= 8; ++x)
            EXPECT_EQ(t.Pixel(x, 2), first(x, 2)) << button << " top edge " << x;
        for (int x = 2; x <= 9; ++x)
            EXPECT_EQ(t.Pixel(x, 6), second(x, 6)) << button << " bottom edge " << x;
        EXPECT_EQ(t.Pixel(9, 2), second(9, 2)) << button;
        EXPECT_EQ(t.Pixel(5, 4), 0u);
    }
}

TEST(Frame3DTool, ErasingWithSolidClearsTheTopLeftEdges)
{
    Target t("XP");
    t.Fill(0xFF336699);
    t.SetPrimary(0, 1, 2, 3);
    t.SetSecondary(255, 0, 0, 192);
    t.Drag(Frame3DPreview, Frame3DCommit, 2, 2, 9, 6);
    EXPECT_EQ(t.Pixel(2, 4), 0x00336699u) << "erased, colour kept";
    EXPECT_EQ(t.Pixel(5, 2), 0x00336699u);
    EXPECT_EQ(t.Pixel(9, 4), kS) << "the commit paints the secondary edges";
    EXPECT_EQ(t.Pixel(5, 4), 0xFF336699u);
    EXPECT_EQ(t.Pixel(0, 0), 0xFF336699u);
}
