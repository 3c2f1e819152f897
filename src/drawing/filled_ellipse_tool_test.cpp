#include "drawing/filled_ellipse_tool.h"
#include "drawing/testing_drawing_target.h"
#include "drawing/testing_picture_folder.h"

#include <gtest/gtest.h>

namespace {

constexpr ARGB kP = 0xFFFF0000;
constexpr ARGB kS = 0xFF0000FF;

struct Target : TTestingDrawingTarget {
    explicit Target(const QString& kind = "16.8M") : TTestingDrawingTarget(16, 14, kind)
    {
        CurrentTool = 8;
        SetPrimary(255, 255, 0, 0);
        SetSecondary(255, 0, 0, 255);
    }
};

} // namespace

TEST(FilledEllipseTool, AliasedFillFitsTheFilledRectangleOfTheSameDrag)
{
    struct Case {
        int sx, sy, ex, ey, shift;
        GpRect F;
    };
    const Case cases[] = {
        {2, 2, 12, 8, 1, {2, 2, 10, 6}},
        {12, 8, 2, 2, 1, {2, 2, 10, 6}},
        {3, 9, 9, 4, 2, {3, 4, 5, 5}}, // right-up with Shift: the width takes the height
        {9, 4, 3, 9, 2, {3, 4, 6, 6}}, // left-down with Shift: the height takes the width
        {5, 5, 6, 6, 1, {5, 5, 1, 1}},
    };
    for (const Case& c : cases) {
        Target t;
        t.Press(c.sx, c.sy);
        t.MoveTo(c.ex, c.ey);
        t.ShiftMode = c.shift;
        FilledEllipsePreview(t, "dorvelt");
        t.Release();
        FilledEllipseCommit(t, "dorvelt");
        const std::string name = std::to_string(c.sx) + "," + std::to_string(c.sy) + " -> " + std::to_string(c.ex) +
                                 "," + std::to_string(c.ey);
        const int l = c.F.X, tp = c.F.Y, r = c.F.X + c.F.Width - 1, b = c.F.Y + c.F.Height - 1;
        for (int y = 0; y < 14; ++y) {
            int runs = 0;
            for (int x = 0; x < 16; ++x) {
                const ARGB p = t.Pixel(x, y);
                ASSERT_TRUE(p == 0 || p == kP) << name << " " << x << "," << y;
                if (p && (x == 0 || !t.Pixel(x - 1, y)))
                    ++runs;
                if (x < l || x > r || y < tp || y > b) {
                    EXPECT_EQ(p, 0u) << name << " outside F at " << x << "," << y;
                    continue;
                }
                EXPECT_EQ(p, t.Pixel(l + r - x, y)) << name << " " << x << "," << y;
                EXPECT_EQ(p, t.Pixel(x, tp + b - y)) << name << " " << x << "," << y;
            }
            EXPECT_LE(runs, 1) << name << " row " << y;
            if (y >= tp && y <= b)
                EXPECT_EQ(runs, 1) << name << " every row of F has its run, row " << y;
        }
        EXPECT_EQ(t.Pixel(l, (tp + b) / 2), kP) << name << " reaches the left side";
        EXPECT_EQ(t.Pixel((l + r) / 2, tp), kP) << name << " reaches the top";
        EXPECT_EQ(t.Pixel(l, tp), c.F.Width == 1 ? kP : 0u) << name << " but not the corner";
    }
}

TEST(FilledEllipseTool, FillStylesAndSmoothing)
{
    // Radial: the centre colour exactly at F's middle scaled by the factors.
    for (double factor : {1.0, 0.5}) {
        Target t;
        t.FillStyle = 4;
        t.RadialCenterX = factor;
        t.Drag(FilledEllipsePreview, FilledEllipseCommit, 3, 4, 9, 7); // F = (3, 4, 6, 3)
        EXPECT_EQ(t.Pixel(factor == 1.0 ? 6 : 3, 5), kS) << factor;
    }
    // Vertical gradient with the right button: the secondary colour on top.
    Target v;
    v.FillStyle = 2;
    v.StrokeButton = 2;
    v.Drag(FilledEllipsePreview, FilledEllipseCommit, 2, 1, 13, 13);
    EXPECT_GT(int(v.Pixel(7, 1) & 0xFF), 200);
    EXPECT_GT(int((v.Pixel(7, 12) >> 16) & 0xFF), 200);
    // Angle gradients keep the primary first with either button.
    for (int button : {1, 2}) {
        Target a;
        a.FillStyle = 6;
        a.StrokeButton = button;
        a.Drag(FilledEllipsePreview, FilledEllipseCommit, 1, 1, 14, 13);
        EXPECT_GT(int((a.Pixel(4, 4) >> 16) & 0xFF), int(a.Pixel(4, 4) & 0xFF)) << button;
        EXPECT_LT(int((a.Pixel(10, 10) >> 16) & 0xFF), int(a.Pixel(10, 10) & 0xFF)) << button;
    }
    // Smoothed edges on "XP" only.
    for (const char* kind : {"XP", "16.8M"}) {
        Target t(kind);
        t.Drag(FilledEllipsePreview, FilledEllipseCommit, 2, 2, 13, 11);
        bool partial = false;
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 16; ++x)
                partial |= (t.Pixel(x, y) >> 24) != 0 && (t.Pixel(x, y) >> 24) != 255;
        EXPECT_EQ(partial, QString(kind) == "XP") << kind;
        EXPECT_EQ(t.Pixel(7, 6), kP) << kind;
    }
    // "16" fills with the primary pattern whatever the style and button.
    TTestingPictureFolder folder;
    Target p("16");
    p.PatternPaths[0] = "image\\16color\\17.bmp";
    p.FillStyle = 4;
    p.StrokeButton = 2;
    p.Drag(FilledEllipsePreview, FilledEllipseCommit, 2, 2, 13, 11);
    for (int x = 3; x < 12; ++x)
        EXPECT_EQ(p.Pixel(x, 6), TTestingPictureFolder::PatternAt(x, 6)) << x;
}

TEST(FilledEllipseTool, ErasingWithSolidClearsTheInsideOnly)
{
    Target t("XP");
    t.Fill(0xFF336699);
    t.SetPrimary(0, 1, 2, 3);
    t.Drag(FilledEllipsePreview, FilledEllipseCommit, 2, 2, 13, 11);
    EXPECT_EQ(t.Pixel(7, 6), 0x00336699u);
    EXPECT_EQ(t.Pixel(0, 0), 0xFF336699u);
    EXPECT_EQ(t.Pixel(2, 2), 0xFF336699u);
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(t.Pixel(x, y) & 0xFFFFFF, 0x336699u) << x << "," << y;
}
