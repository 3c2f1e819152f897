#include "drawing/ellipse_tool.h"
#include "drawing/testing_drawing_target.h"
#include "drawing/testing_picture_folder.h"

#include <gtest/gtest.h>

namespace {

constexpr ARGB kC = 0xFF102030;

struct Target : TTestingDrawingTarget {
    explicit Target(const QString& kind = "16.8M") : TTestingDrawingTarget(16, 12, kind)
    {
        CurrentTool = 7;
        SetPrimary(255, 0x10, 0x20, 0x30);
        SetSecondary(255, 0, 0, 255);
    }
    // Bounds of the painted cells: left, top, right, bottom.
    std::array<int, 4> Painted() const
    {
        std::array<int, 4> b{99, 99, -1, -1};
        for (int y = 0; y < CurrentHeight; ++y)
            for (int x = 0; x < CurrentWidth; ++x)
                if (Pixel(x, y) >> 24)
                    b = {std::min(b[0], x), std::min(b[1], y), std::max(b[2], x), std::max(b[3], y)};
        return b;
    }
    bool PartialAlpha() const
    {
        for (int y = 0; y < CurrentHeight; ++y)
            for (int x = 0; x < CurrentWidth; ++x)
                if ((Pixel(x, y) >> 24) != 0 && (Pixel(x, y) >> 24) != 255)
                    return true;
        return false;
    }
};

} // namespace

TEST(EllipseTool, AliasedOutlineSpansTheFigureAndIsSymmetric)
{
    struct Case {
        int sx, sy, ex, ey, width, shift;
        std::array<int, 4> bounds;
    };
    const Case cases[] = {
        {2, 2, 12, 8, 1, 1, {2, 2, 12, 8}},
        {12, 8, 2, 2, 1, 1, {2, 2, 12, 8}},
        {2, 8, 12, 2, 1, 1, {2, 2, 12, 8}},
        {2, 2, 12, 8, 3, 1, {1, 1, 13, 9}},
        {3, 3, 11, 7, 5, 1, {1, 1, 13, 9}},
        {2, 2, 10, 6, 1, 2, {2, 2, 10, 10}}, // Shift: a circle of the larger side
        {5, 5, 6, 6, 1, 1, {5, 5, 6, 6}},
    };
    for (const Case& c : cases) {
        Target t;
        t.PenWidth = c.width;
        t.Press(c.sx, c.sy);
        t.MoveTo(c.ex, c.ey);
        t.ShiftMode = c.shift;
        EllipsePreview(t, "dorvelt");
        t.Release();
        EllipseCommit(t, "dorvelt");
        const std::string name = std::to_string(c.sx) + "," + std::to_string(c.sy) + " -> " + std::to_string(c.ex) +
                                 "," + std::to_string(c.ey) + " width " + std::to_string(c.width);
        EXPECT_EQ(t.Painted(), c.bounds) << name;
        const auto [l, tp, r, b] = c.bounds;
        for (int y = tp; y <= b; ++y)
            for (int x = l; x <= r; ++x) {
                const ARGB p = t.Pixel(x, y);
                ASSERT_TRUE(p == 0 || p == kC) << name << " " << x << "," << y;
                EXPECT_EQ(p, t.Pixel(l + r - x, y)) << name << " mirrored across at " << x << "," << y;
                EXPECT_EQ(p, t.Pixel(x, tp + b - y)) << name << " mirrored up and down at " << x << "," << y;
                if (r - l == b - tp)
                    EXPECT_EQ(p, t.Pixel(l + (y - tp), tp + (x - l))) << name << " a circle at " << x << "," << y;
            }
        if (r - l > 2 * c.width && b - tp > 2 * c.width) {
            EXPECT_EQ(t.Pixel((l + r) / 2, (tp + b) / 2), 0u) << name << ": an outline, not a fill";
            // The stroke is the pen's width thick where it crosses the axes.
            int thick = 0;
            for (int x = l; x <= (l + r) / 2; ++x)
                thick += t.Pixel(x, (tp + b) / 2) != 0;
            EXPECT_EQ(thick, c.width) << name;
        }
        EXPECT_EQ(t.BackdropPixel((l + r) / 2, tp), t.Pixel((l + r) / 2, tp)) << name;
    }
}

TEST(EllipseTool, AntialiasedOnXpOnly)
{
    for (const char* kind : {"XP", "16.8M", "256"}) {
        Target t(kind);
        t.PenWidth = 3;
        t.Drag(EllipsePreview, EllipseCommit, 2, 2, 13, 9);
        EXPECT_EQ(t.PartialAlpha(), QString(kind) == "XP") << kind;
        EXPECT_NE(t.Pixel(7, 2), 0u) << kind;
    }
}

TEST(EllipseTool, GradientFollowsThePenAndPatternsIgnoreTheStyle)
{
    Target t;
    t.FillStyle = 2;
    t.StrokeButton = 2; // the secondary colour at the top
    t.PenWidth = 3;
    t.Drag(EllipsePreview, EllipseCommit, 2, 2, 13, 9);
    EXPECT_GT(int(t.Pixel(7, 2) & 0xFF), 200);
    EXPECT_GT(int(t.Pixel(7, 2) & 0xFF), int(t.Pixel(7, 9) & 0xFF) + 100);

    TTestingPictureFolder folder;
    Target p("16");
    p.PatternPaths[0] = "image\\16color\\17.bmp";
    p.FillStyle = 4;
    p.StrokeButton = 2;
    p.PenWidth = 3;
    p.Drag(EllipsePreview, EllipseCommit, 2, 2, 13, 9);
    int painted = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            if (const ARGB c = p.Pixel(x, y)) {
                EXPECT_EQ(c, TTestingPictureFolder::PatternAt(x, y)) << x << "," << y;
                ++painted;
            }
    EXPECT_GT(painted, 40);
}

TEST(EllipseTool, ErasingWithSolidClearsUnderTheOutlineOnly)
{
    Target t("XP");
    t.Fill(0xFF336699);
    t.SetPrimary(0, 1, 2, 3);
    t.PenWidth = 3;
    t.Drag(EllipsePreview, EllipseCommit, 2, 2, 13, 9);
    EXPECT_EQ(t.Pixel(2, 5), 0x00336699u) << "on the outline";
    EXPECT_EQ(t.Pixel(7, 5), 0xFF336699u) << "inside";
    EXPECT_EQ(t.Pixel(0, 0), 0xFF336699u) << "outside";
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(t.Pixel(x, y) & 0xFFFFFF, 0x336699u) << "colours kept at " << x << "," << y;
}
