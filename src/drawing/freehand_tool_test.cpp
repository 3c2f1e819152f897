#include "drawing/freehand_tool.h"
#include "drawing/line_tool.h"
#include "drawing/testing_drawing_target.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

inline int Alpha(ARGB c) { return int(c >> 24); }
inline int Red(ARGB c) { return int((c >> 16) & 0xFF); }
inline int Blue(ARGB c) { return int(c & 0xFF); }

// A stroke through the cells, as the canvas handlers drive it: moves that leave the start cell
// add a segment; the release ends with the line commit of a single point.
void Stroke(TTestingDrawingTarget& t, const QString& marker, const std::vector<std::pair<int, int>>& cells)
{
    t.Press(cells[0].first, cells[0].second);
    for (size_t i = 1; i < cells.size(); ++i) {
        t.MoveTo(cells[i].first, cells[i].second);
        if (t.DragEndX == t.DragStartX && t.DragEndY == t.DragStartY)
            LinePreview(t, "xy");
        else
            FreehandStroke(t, marker);
    }
    t.Release();
    LineCommit(t, "dorvelt");
}

bool HasPartialAlpha(const TTestingDrawingTarget& t)
{
    for (int y = 0; y < t.CurrentHeight; ++y)
        for (int x = 0; x < t.CurrentWidth; ++x)
            if (Alpha(t.Pixel(x, y)) != 0 && Alpha(t.Pixel(x, y)) != 255)
                return true;
    return false;
}

} // namespace

TEST(FreehandTool, SegmentsGoStraightIntoTheFormatAndTheStartFollows)
{
    TTestingDrawingTarget t(16, 16, "XP");
    t.SetPrimary(255, 0, 0, 200);
    t.Press(2, 2);
    t.MoveTo(8, 2);
    FreehandStroke(t, "dorv");
    EXPECT_EQ(t.Pixel(5, 2), 0xFF0000C8u) << "drawn during the drag";
    EXPECT_EQ(t.DragStartX, 8);
    EXPECT_EQ(t.DragStartY, 2);
    EXPECT_EQ(t.ViewPixel(5, 2) | 0xFF000000, 0xFF0000C8u) << "and shown";
    EXPECT_EQ(t.iconview->UpdateCount(), 0);
    EXPECT_EQ(t.iconview->Bitmap()->UpdateCount(), 0);
    t.MoveTo(8, 10);
    FreehandStroke(t, "dorv");
    EXPECT_EQ(t.Pixel(8, 6), 0xFF0000C8u);
    t.Release();
    LineCommit(t, "dorvelt");
    EXPECT_EQ(t.Pixel(8, 10), 0xFF0000C8u);
    EXPECT_EQ(t.Pixel(3, 8), 0u);
}

TEST(FreehandTool, OnlyTheBrushOnXpAntialiases)
{
    struct Case {
        const char* marker;
        QString kind;
        bool smooth;
    };
    for (const Case& c : {Case{"dorvelt", "XP", true}, Case{"dorvelt", "16.8M", false}, Case{"dorv", "XP", false},
                          Case{"dorv", "256", false}}) {
        TTestingDrawingTarget t(16, 16, c.kind);
        Stroke(t, c.marker, {{1, 1}, {6, 3}, {12, 13}});
        EXPECT_EQ(HasPartialAlpha(t), c.smooth) << c.marker << " " << c.kind.toStdString();
    }
}

TEST(FreehandTool, SemiTransparentColourIsAppliedTwiceWhereSegmentsMeet)
{
    TTestingDrawingTarget t(16, 16, "16.8M");
    t.SetPrimary(128, 255, 0, 0);
    Stroke(t, "dorv", {{2, 5}, {7, 5}, {12, 5}});
    EXPECT_EQ(Alpha(t.Pixel(4, 5)), 128);
    EXPECT_GT(Alpha(t.Pixel(7, 5)), 128) << "the shared cell";
    EXPECT_GT(Alpha(t.Pixel(12, 5)), 128) << "the last cell gets the single point once more";
}

TEST(FreehandTool, VerticalGradientFollowsTheImageNotTheStroke)
{
    TTestingDrawingTarget t(16, 32, "16.8M");
    t.FillStyle = 2; // primary red at the top of the format, secondary blue at the bottom
    Stroke(t, "dorv", {{2, 1}, {13, 1}});
    Stroke(t, "dorv", {{2, 30}, {13, 30}});
    EXPECT_GT(Red(t.Pixel(7, 1)), Blue(t.Pixel(7, 1)));
    EXPECT_GT(Blue(t.Pixel(7, 30)), Red(t.Pixel(7, 30)));
    // A short stroke in the middle takes the middle colour, not a whole gradient of its own.
    Stroke(t, "dorv", {{2, 16}, {4, 16}});
    EXPECT_NEAR(Red(t.Pixel(3, 16)), Blue(t.Pixel(3, 16)), 40);
}

TEST(FreehandTool, RadialCentreIsTheMiddleOfTheFormat)
{
    TTestingDrawingTarget t(32, 32, "16.8M");
    t.FillStyle = 4;
    t.PenWidth = 3;
    Stroke(t, "dorv", {{1, 16}, {30, 16}});
    EXPECT_GT(Blue(t.Pixel(16, 16)), 240) << "the secondary colour at the centre";
    EXPECT_GT(Red(t.Pixel(2, 16)), Blue(t.Pixel(2, 16)));
}

TEST(FreehandTool, ErasingTakesAlphaAlongTheStrokeAndAccumulates)
{
    TTestingDrawingTarget t(16, 16, "16.8M");
    t.Fill(0xFF112233);
    t.SetPrimary(0, 9, 9, 9);
    t.Press(2, 4);
    t.MoveTo(10, 4);
    FreehandStroke(t, "dorv");
    EXPECT_EQ(t.Pixel(6, 4), 0x00112233u) << "colour channels stay";
    // The base follows the stroke, erased pixels with their colour channels.
    const QImage base = *GdipImageData(t.EraseBaseImage);
    EXPECT_EQ(base.pixel(3, 10), 0xFF112233u);
    EXPECT_EQ(base.pixel(6, 4), 0x00112233u);
    // The latest segment's pixels show the mask's white on the canvas.
    EXPECT_EQ(t.ViewPixel(6, 4) | 0xFF000000, 0xFFFFFFFFu);
    t.MoveTo(10, 12);
    FreehandStroke(t, "dorv");
    EXPECT_EQ(t.Pixel(6, 4), 0x00112233u) << "earlier erasure is kept, colour channels too";
    EXPECT_EQ(t.Pixel(10, 9), 0x00112233u);
    EXPECT_EQ(t.Pixel(3, 10), 0xFF112233u);
    t.Release();
    LineCommit(t, "dorvelt");
    EXPECT_EQ(t.Pixel(10, 12), 0x00090909u) << "the closing single point: primary channels, alpha floored";
    EXPECT_EQ(t.Edits["upa"], "0");
}

TEST(FreehandTool, ErasingWithAGradientFadesAlongIt)
{
    TTestingDrawingTarget t(32, 8, "16.8M");
    t.Fill(0xFF112233);
    t.FillStyle = 3; // the mask runs from the eraser's opaque white to the secondary's alpha
    t.SetPrimary(0, 0, 0, 0);
    t.SetSecondary(0, 0, 0, 0);
    Stroke(t, "dorv", {{0, 4}, {31, 4}});
    EXPECT_LT(Alpha(t.Pixel(2, 4)), 60);
    EXPECT_GT(Alpha(t.Pixel(28, 4)), 190);
}

TEST(FreehandTool, RoundCapsFillTheJointOfASharpBend)
{
    auto painted = [](int cap) {
        TTestingDrawingTarget t(32, 32, "16.8M");
        t.PenWidth = 7;
        t.LineCapStyle = cap;
        Stroke(t, "dorv", {{4, 26}, {16, 6}, {28, 26}});
        int n = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 32; ++x)
                n += Alpha(t.Pixel(x, y)) != 0;
        return n;
    };
    EXPECT_GT(painted(2), painted(1));
}

TEST(FreehandTool, MoveOnTheStartCellDrawsNoSegment)
{
    TTestingDrawingTarget t(16, 16, "XP");
    t.Press(5, 5);
    LinePreview(t, "xy");
    EXPECT_EQ(t.Pixel(5, 5), 0u) << "the preview of a single point leaves the format";
    EXPECT_EQ(t.DragStartX, 5);
}
