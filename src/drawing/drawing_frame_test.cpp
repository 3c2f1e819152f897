#include "drawing/drawing_frame.h"
#include "drawing/testing_drawing_target.h"

#include <gtest/gtest.h>

TEST(DrawingFrame, DragNormalisationWithAndWithoutShift)
{
    struct Case {
        const char* name;
        int sx, sy, ex, ey, shift;
        GpRect F;
    };
    const Case cases[] = {
        {"right-down", 2, 2, 7, 4, 1, {2, 2, 5, 2}},
        {"right-down, Shift takes the larger side", 2, 2, 7, 4, 2, {2, 2, 5, 5}},
        {"right-up", 2, 9, 8, 6, 1, {2, 6, 6, 3}},
        {"right-up, Shift takes the height", 2, 9, 8, 6, 2, {2, 6, 3, 3}},
        {"left-down", 8, 2, 2, 5, 1, {2, 2, 6, 3}},
        {"left-down, Shift takes the width", 8, 2, 2, 5, 2, {2, 2, 6, 6}},
        {"left-up", 9, 9, 4, 7, 1, {4, 7, 5, 2}},
        {"left-up, Shift keeps the start bottom-right", 9, 9, 4, 7, 2, {4, 4, 5, 5}},
        {"left-up, Shift, taller than wide", 9, 9, 7, 3, 2, {3, 3, 6, 6}},
    };
    for (const Case& c : cases) {
        TDrawingTarget t;
        t.DragStartX = c.sx, t.DragStartY = c.sy, t.DragEndX = c.ex, t.DragEndY = c.ey, t.ShiftMode = c.shift;
        const TDragBox box = NormaliseDrag(t);
        ASSERT_TRUE(box.HasFigure) << c.name;
        EXPECT_EQ(box.F.X, c.F.X) << c.name;
        EXPECT_EQ(box.F.Y, c.F.Y) << c.name;
        EXPECT_EQ(box.F.Width, c.F.Width) << c.name;
        EXPECT_EQ(box.F.Height, c.F.Height) << c.name;
        // The drag box ignores Shift.
        EXPECT_EQ(box.D.Width, std::abs(c.ex - c.sx)) << c.name;
        EXPECT_EQ(box.D.Height, std::abs(c.ey - c.sy)) << c.name;
    }
    TDrawingTarget t;
    t.DragStartX = 3, t.DragStartY = 3, t.DragEndX = 3, t.DragEndY = 8;
    EXPECT_FALSE(NormaliseDrag(t).HasFigure);
}

TEST(DrawingFrame, ColourPairFollowsTheButtonExceptForTheAngleGradients)
{
    TTestingDrawingTarget t;
    t.SetPrimary(255, 1, 2, 3);
    t.SetSecondary(128, 4, 5, 6);
    TDrawingFrame f(t);
    for (int style = 1; style <= 6; ++style) {
        for (int button : {0, 1, 2}) {
            t.FillStyle = style;
            t.StrokeButton = button;
            ARGB a = 0, b = 0;
            f.ColourPair(a, b);
            const bool primaryFirst = button == 1 || style == 5 || style == 6;
            EXPECT_EQ(a, primaryFirst ? 0xFF010203u : 0x80040506u) << style << " " << button;
            EXPECT_EQ(b, primaryFirst ? 0x80040506u : 0xFF010203u) << style << " " << button;
        }
    }
    // Texts are read as integers and cut to 8 bits.
    t.Edits["upr"] = "257";
    EXPECT_EQ(EditColour(t, "up"), 0xFF010203u);
}
