#include "drawing/drawing_engines.h"
#include "drawing/testing_drawing_target.h"
#include "drawing/testing_picture_folder.h"

#include "framework/exceptions.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

struct Named {
    const char* name;
    TDrawingEngine engine;
    int tool;
    bool preview;
};

std::vector<Named> ShapeEngines()
{
    const TDrawingEngines e = DrawingEngines();
    return {
        {"RectanglePreview", e.RectanglePreview, 5, true},
        {"RectangleCommit", e.RectangleCommit, 5, false},
        {"FilledRectanglePreview", e.FilledRectanglePreview, 6, true},
        {"FilledRectangleCommit", e.FilledRectangleCommit, 6, false},
        {"EllipsePreview", e.EllipsePreview, 7, true},
        {"EllipseCommit", e.EllipseCommit, 7, false},
        {"FilledEllipsePreview", e.FilledEllipsePreview, 8, true},
        {"FilledEllipseCommit", e.FilledEllipseCommit, 8, false},
        {"Frame3DPreview", e.Frame3DPreview, 11, true},
        {"Frame3DCommit", e.Frame3DCommit, 11, false},
    };
}

// The engine's call on a drag from (2, 2) to (12, 10), as the canvas handlers make it.
void RunOnDrag(TTestingDrawingTarget& t, const Named& n)
{
    t.CurrentTool = n.tool;
    t.Press(2, 2);
    t.MoveTo(12, 10);
    if (!n.preview)
        t.Release();
    n.engine(t, QStringLiteral("dorvelt"));
}

} // namespace

TEST(DrawingEngines, EveryToolHasItsEngines)
{
    const TDrawingEngines e = DrawingEngines();
    for (const Named& n : ShapeEngines())
        EXPECT_NE(n.engine, nullptr) << n.name;
    EXPECT_NE(e.LinePreview, nullptr);
    EXPECT_NE(e.LineCommit, nullptr);
    EXPECT_NE(e.FreehandStroke, nullptr);
    EXPECT_NE(e.BucketFill, nullptr);
}

TEST(DrawingEngines, AColourTextThatIsNoNumberChangesNothingAndClosesEveryBracket)
{
    for (const Named& n : ShapeEngines()) {
        for (const char* edit : {"upg", "downb"}) {
            TTestingDrawingTarget t(16, 16, "XP");
            t.Fill(0xFF112233);
            t.FillStyle = 2;
            t.Edits[edit] = "blue";
            EXPECT_THROW(RunOnDrag(t, n), EConvertError) << n.name << " " << edit;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    ASSERT_EQ(t.Pixel(x, y), 0xFF112233u) << n.name << " " << x << "," << y;
            for (TImage32* canvas : {t.iconview, t.iconviewbg}) {
                EXPECT_EQ(canvas->UpdateCount(), 0) << n.name;
                EXPECT_EQ(canvas->Bitmap()->UpdateCount(), 0) << n.name;
            }
        }
    }
    TTestingDrawingTarget t(16, 16, "XP");
    t.Fill(0xFF112233);
    t.Edits["downa"] = "";
    t.Press(3, 3);
    t.StrokeButton = 2;
    EXPECT_THROW(DrawingEngines().BucketFill(t), EConvertError);
    EXPECT_EQ(t.Pixel(3, 3), 0xFF112233u);
}

TEST(DrawingEngines, APatternPictureThatIsNoPictureDrawsNothing)
{
    TTestingPictureFolder folder;
    QFile garbage(folder.Path("image/16color/17.bmp"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
    garbage.write("BM this is not a bitmap");
    garbage.close();
    for (const Named& n : ShapeEngines()) {
        TTestingDrawingTarget t(16, 16, "Mono");
        t.PatternPaths[0] = "image\\16color\\17.bmp";
        t.PatternPaths[1] = "image\\16color\\17.bmp";
        t.Fill(0xFF000000);
        RunOnDrag(t, n);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(t.Pixel(x, y), 0xFF000000u) << n.name << " " << x << "," << y;
    }
    TTestingDrawingTarget t(16, 16, "16");
    t.PatternPaths[0] = "image\\16color\\17.bmp";
    t.Fill(0xFF000000);
    t.Press(3, 3);
    DrawingEngines().BucketFill(t);
    EXPECT_EQ(t.Pixel(3, 3), 0xFF000000u) << "the area keeps its pixels";
}
