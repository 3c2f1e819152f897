#include "drawing/line_tool.h"
#include "drawing/testing_drawing_target.h"
#include "drawing/testing_picture_folder.h"

#include "framework/exceptions.h"
#include "platform/program_paths.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

inline int Alpha(ARGB c) { return int(c >> 24); }
inline int Red(ARGB c) { return int((c >> 16) & 0xFF); }
inline int Blue(ARGB c) { return int(c & 0xFF); }

// A drag from (sx, sy) to (ex, ey) with one preview at the end, released and committed.
void DrawLine(TTestingDrawingTarget& t, int sx, int sy, int ex, int ey)
{
    t.Press(sx, sy);
    t.MoveTo(ex, ey);
    LinePreview(t, ex == sx && ey == sy ? "xy" : "dorvelt");
    t.Release();
    LineCommit(t, "dorvelt");
}

int PaintedCount(const TTestingDrawingTarget& t)
{
    int n = 0;
    for (int y = 0; y < t.CurrentHeight; ++y)
        for (int x = 0; x < t.CurrentWidth; ++x)
            n += Alpha(t.Pixel(x, y)) != 0;
    return n;
}

using PictureFolder = TTestingPictureFolder;

} // namespace

TEST(LineTool, SinglePointRule)
{
    struct Case {
        const char* name;
        QString kind;
        int tool;
        int fillStyle;
        int button;
        ARGB before;
        int a, r, g, b; // primary
        ARGB after;
    };
    const Case cases[] = {
        {"transparent pixel takes the colour exactly", "XP", 2, 1, 1, 0x00000000, 200, 10, 20, 30, 0xC80A141E},
        {"the right button clicks in the secondary colour", "XP", 2, 1, 2, 0x00000000, 200, 10, 20, 30, 0xFF0000FF},
        {"nor does the fill style", "XP", 2, 3, 1, 0x00000000, 200, 10, 20, 30, 0xC80A141E},
        {"alphas add up, capped", "XP", 2, 1, 1, 0x64112233, 200, 1, 2, 3, 0xFF010203},
        {"alphas add up below the cap", "16.8M", 4, 1, 1, 0x20112233, 16, 1, 2, 3, 0x30010203},
        {"erasing takes 30 off on XP", "XP", 2, 1, 1, 0x64112233, 0, 7, 8, 9, 0x46070809},
        {"erasing never goes below 0", "XP", 12, 1, 1, 0x14112233, 0, 7, 8, 9, 0x00070809},
        {"erasing clears other kinds", "256", 2, 1, 1, 0x64112233, 0, 7, 8, 9, 0x00070809},
        {"erasing with the filled rectangle clears", "XP", 6, 1, 1, 0xFF112233, 0, 7, 8, 9, 0x00000000},
    };
    for (const Case& c : cases) {
        TTestingDrawingTarget t(8, 8, c.kind);
        t.CurrentTool = c.tool;
        t.FillStyle = c.fillStyle;
        t.StrokeButton = c.button;
        t.SetPixel(3, 4, c.before);
        t.SetPixel(5, 5, 0xFF445566);
        t.SetPrimary(c.a, c.r, c.g, c.b);
        t.Press(3, 4);
        t.Release();
        LineCommit(t, "dorvelt");
        EXPECT_EQ(t.Pixel(3, 4), c.after) << c.name;
        EXPECT_EQ(t.Pixel(5, 5), 0xFF445566u) << c.name;
        EXPECT_EQ(PaintedCount(t), 1 + (Alpha(c.after) != 0)) << c.name;
        // The committed pixel is on both canvases.
        EXPECT_EQ(t.BackdropPixel(3, 4), t.ViewPixel(3, 4)) << c.name;
    }
}

TEST(LineTool, ErasingPressLowersThePixelOncePerMoveAndOnceAtTheRelease)
{
    TTestingDrawingTarget t(8, 8, "XP");
    t.SetPixel(2, 2, 0x64112233);
    t.SetPrimary(0, 7, 8, 9);
    t.Press(2, 2);
    for (int expected : {70, 40, 10}) {
        LinePreview(t, "xy");
        EXPECT_EQ(t.Pixel(2, 2), (ARGB(expected) << 24) | 0x112233);
    }
    // The eraser's opaque white held the colour edits during the drag.
    EXPECT_EQ(t.Edits["upa"], "255");
    t.Release();
    LineCommit(t, "dorvelt");
    EXPECT_EQ(t.Pixel(2, 2), 0x00070809u);
}

TEST(LineTool, ThinLinesInEveryDirectionReachBothEnds)
{
    const int ends[][4] = {
        {3, 2, 3, 12}, {3, 12, 3, 2},   // vertical down, up
        {2, 5, 13, 5}, {13, 5, 2, 5},   // right, left
        {2, 2, 12, 9}, {12, 9, 2, 2},   // down-right, up-left
        {2, 12, 13, 3}, {13, 3, 2, 12}, // up-right, down-left
        {1, 1, 9, 9},  {9, 1, 1, 9},    // exact diagonals
    };
    for (const auto& e : ends) {
        TTestingDrawingTarget t(16, 16, "16.8M");
        t.SetPrimary(255, 10, 20, 30);
        DrawLine(t, e[0], e[1], e[2], e[3]);
        const QString where = QString("%1,%2 -> %3,%4").arg(e[0]).arg(e[1]).arg(e[2]).arg(e[3]);
        EXPECT_EQ(t.Pixel(e[0], e[1]), 0xFF0A141Eu) << where.toStdString();
        EXPECT_EQ(t.Pixel(e[2], e[3]), 0xFF0A141Eu) << where.toStdString();
        EXPECT_EQ(PaintedCount(t), std::max(std::abs(e[2] - e[0]), std::abs(e[3] - e[1])) + 1) << where.toStdString();
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const ARGB c = t.Pixel(x, y);
                EXPECT_TRUE(c == 0 || c == 0xFF0A141E) << where.toStdString() << " " << x << "," << y;
                if (c != 0) {
                    EXPECT_GE(x, std::min(e[0], e[2]));
                    EXPECT_LE(x, std::max(e[0], e[2]));
                    EXPECT_GE(y, std::min(e[1], e[3]));
                    EXPECT_LE(y, std::max(e[1], e[3]));
                }
            }
    }
}

TEST(LineTool, EveryWidthIsThatManyPixelsThickAndRoundCapsReachHalfAWidthBeyondTheEnds)
{
    for (int width = 1; width <= 12; ++width) {
        for (int cap : {1, 2}) {
            TTestingDrawingTarget t(30, 24, "16.8M");
            t.PenWidth = width;
            t.LineCapStyle = cap;
            DrawLine(t, 8, 11, 20, 11);
            int thickness = 0;
            for (int y = 0; y < 24; ++y)
                thickness += Alpha(t.Pixel(14, y)) != 0;
            EXPECT_EQ(thickness, width) << "width " << width << " cap " << cap;
            const int reach = (width - 1) / 2;
            if (cap == 2) {
                EXPECT_NE(t.Pixel(20 + reach, 11), 0u) << "width " << width;
                EXPECT_NE(t.Pixel(8 - reach, 11), 0u) << "width " << width;
                EXPECT_EQ(t.Pixel(20 + reach + 2, 11), 0u) << "width " << width;
            } else {
                EXPECT_EQ(t.Pixel(21, 11), 0u) << "width " << width;
                EXPECT_EQ(t.Pixel(6, 11), 0u) << "width " << width;
            }
        }
    }
}

TEST(LineTool, AntialiasedOnlyOnXpAndNeverForTheFilledRectangle)
{
    struct Case {
        QString kind;
        int tool;
        bool smooth;
    };
    for (const Case& c : {Case{"XP", 2, true}, Case{"XP", 6, false}, Case{"16.8M", 2, false}, Case{"256", 5, false}}) {
        TTestingDrawingTarget t(16, 16, c.kind);
        t.CurrentTool = c.tool;
        DrawLine(t, 1, 2, 14, 9);
        bool partial = false;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                partial |= Alpha(t.Pixel(x, y)) != 0 && Alpha(t.Pixel(x, y)) != 255;
        EXPECT_EQ(partial, c.smooth) << c.kind.toStdString() << " tool " << c.tool;
    }
}

TEST(LineTool, GradientsRunFromTheirFirstColourToTheirSecond)
{
    // Primary red, secondary blue. The first colour of the pair is at the start side of the
    // gradient: the top (vertical), the left (horizontal), the surround (radial).
    struct Case {
        const char* name;
        int style;
        int button;
        int sx, sy, ex, ey;
        bool firstIsRed;
    };
    const Case cases[] = {
        {"vertical", 2, 1, 8, 1, 8, 14, true},
        {"vertical, right button swaps", 2, 2, 8, 1, 8, 14, false},
        {"horizontal", 3, 1, 1, 8, 14, 8, true},
        {"horizontal drawn leftwards", 3, 1, 14, 8, 1, 8, true},
        {"horizontal, right button swaps", 3, 2, 1, 8, 14, 8, false},
        {"angle runs from the primary for either button", 5, 2, 1, 1, 14, 14, true},
        {"other angle likewise", 6, 2, 1, 1, 14, 14, true},
    };
    for (const Case& c : cases) {
        TTestingDrawingTarget t(16, 16, "16.8M", 1);
        t.FillStyle = c.style;
        t.StrokeButton = c.button;
        DrawLine(t, c.sx, c.sy, c.ex, c.ey);
        const ARGB first = t.Pixel(std::min(c.sx, c.ex), std::min(c.sy, c.ey));
        const ARGB last = t.Pixel(std::max(c.sx, c.ex), std::max(c.sy, c.ey));
        if (c.style == 5) // backward diagonal: from the top-right corner
            continue;
        EXPECT_EQ(Red(first) > Blue(first), c.firstIsRed) << c.name;
        EXPECT_EQ(Red(last) > Blue(last), !c.firstIsRed) << c.name;
        EXPECT_EQ(Alpha(first), 255) << c.name;
    }
    // Radial: the secondary colour in the middle of the line for the left button, the primary
    // toward its ends.
    TTestingDrawingTarget t(20, 20, "16.8M", 1);
    t.FillStyle = 4;
    t.PenWidth = 3;
    DrawLine(t, 2, 2, 17, 17);
    EXPECT_GT(Blue(t.Pixel(10, 10)), Red(t.Pixel(10, 10)));
    EXPECT_GT(Red(t.Pixel(2, 2)), Blue(t.Pixel(2, 2)));
}

TEST(LineTool, AcrossAnAxisParallelLineTheGradientSpreadsWithTheZoom)
{
    auto column = [](int zoom) {
        TTestingDrawingTarget t(16, 16, "16.8M", zoom);
        t.FillStyle = 3;
        t.PenWidth = 3;
        DrawLine(t, 4, 2, 4, 9);
        return QList<ARGB>{t.Pixel(3, 5), t.Pixel(4, 5), t.Pixel(5, 5)};
    };
    EXPECT_NE(column(1), column(12));
}

TEST(LineTool, PatternKindsDrawThePatternWhateverTheColoursAndStyle)
{
    PictureFolder folder;
    for (const QString kind : {"16", "Mono"}) {
        for (int style : {1, 3, 8}) {
            TTestingDrawingTarget t(16, 16, kind);
            t.PatternPaths[0] = "image\\16color\\17.bmp";
            t.FillStyle = style;
            t.StrokeButton = 2;
            t.PenWidth = 3;
            DrawLine(t, 1, 3, 14, 12);
            int painted = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    if (t.Pixel(x, y) != 0) {
                        ++painted;
                        EXPECT_EQ(t.Pixel(x, y), PictureFolder::PatternAt(x, y)) << x << "," << y;
                    }
            EXPECT_GT(painted, 30) << kind.toStdString() << " style " << style;
        }
    }
    // Without its picture the line is simply not drawn.
    TTestingDrawingTarget t(16, 16, "16");
    t.PatternPaths[0] = "image\\16color\\missing.bmp";
    DrawLine(t, 1, 3, 14, 12);
    EXPECT_EQ(PaintedCount(t), 0);
}

TEST(LineTool, ImageFillTilesThePicture)
{
    PictureFolder folder;
    TTestingDrawingTarget t(16, 16, "16.8M");
    t.FillStyle = 8;
    t.GradientImageFile = folder.Path("green.png");
    DrawLine(t, 1, 5, 14, 5);
    EXPECT_EQ(t.Pixel(7, 5), 0xFF00FF00u);
    // A picture that cannot be loaded leaves the line undrawn, and the diamond style has no
    // brush in this tool: both calls complete without drawing.
    for (int style : {8, 7, 0, 9}) {
        TTestingDrawingTarget u(16, 16, "XP");
        u.FillStyle = style;
        u.GradientImageFile = folder.Path("missing.png");
        DrawLine(u, 1, 5, 14, 5);
        EXPECT_EQ(PaintedCount(u), 0) << style;
        EXPECT_EQ(u.iconview->UpdateCount(), 0);
        EXPECT_EQ(u.iconviewbg->UpdateCount(), 0);
    }
}

TEST(LineTool, PreviewShowsTheLineOnTheCanvasOnlyAndCommitWritesIt)
{
    TTestingDrawingTarget t(16, 16, "16.8M");
    t.SetPrimary(255, 0, 128, 0);
    t.Fill(0xFF808080);
    t.Press(2, 3);
    t.MoveTo(12, 3);
    LinePreview(t, "dorvelt");
    EXPECT_EQ(t.Pixel(7, 3), 0xFF808080u) << "the format is untouched";
    EXPECT_EQ(t.ViewPixel(7, 3) | 0xFF000000, 0xFF008000u);
    t.MoveTo(12, 10);
    LinePreview(t, "dorvelt");
    EXPECT_EQ(t.ViewPixel(7, 3) | 0xFF000000, 0xFF808080u) << "the previous preview is gone";
    EXPECT_EQ(t.iconview->UpdateCount(), 0);
    EXPECT_EQ(t.iconview->Bitmap()->UpdateCount(), 0);
    t.Release();
    LineCommit(t, "dorvelt");
    EXPECT_EQ(t.Pixel(2, 3), 0xFF008000u);
    EXPECT_EQ(t.Pixel(12, 10), 0xFF008000u);
    EXPECT_EQ(t.Pixel(7, 3), 0xFF808080u);
    EXPECT_EQ(t.BackdropPixel(12, 10) | 0xFF000000, 0xFF008000u);
    EXPECT_EQ(t.ViewPixel(12, 10) | 0xFF000000, 0xFF008000u);
    EXPECT_EQ(t.iconviewbg->UpdateCount(), 0);
    EXPECT_EQ(t.iconviewbg->Bitmap()->UpdateCount(), 0);
    // A preview outside a drag does nothing at all.
    const QImage before = t.Format();
    t.MoveTo(2, 12);
    LinePreview(t, "dorvelt");
    EXPECT_EQ(t.Format(), before);
}

TEST(LineTool, ErasingSolidLineTakesAlphaOnlyAndTheCommitKeepsTheLastMerge)
{
    for (int button : {1, 2}) {
        TTestingDrawingTarget t(16, 16, "16.8M");
        t.Fill(0xFF0A141E);
        t.StrokeButton = button;
        t.SetPrimary(0, 50, 60, 70);
        t.SetSecondary(100, 1, 2, 3);
        t.Press(2, 8);
        t.MoveTo(12, 8);
        LinePreview(t, "dorvelt");
        const ARGB erased = button == 1 ? 0x000A141E : 0x9B0A141E; // 255 - 255, 255 - 100
        EXPECT_EQ(t.Pixel(7, 8), erased) << button;
        EXPECT_EQ(t.Pixel(7, 2), 0xFF0A141Eu) << button;
        // Each preview erases from the press's state: moving away gives the pixels back.
        t.MoveTo(12, 2);
        LinePreview(t, "dorvelt");
        EXPECT_EQ(t.Pixel(7, 8), 0xFF0A141Eu) << button;
        const QImage merged = t.Format();
        t.Release();
        LineCommit(t, "dorvelt");
        EXPECT_EQ(t.Format(), merged) << button;
    }
}

TEST(LineTool, ErasingGradientLineUsesTheTransparentPrimaryAsItsEnd)
{
    TTestingDrawingTarget t(16, 16, "16.8M", 1);
    t.Fill(0xFF0A141E);
    t.FillStyle = 3;
    t.SetPrimary(0, 255, 0, 0);
    t.SetSecondary(255, 0, 0, 255);
    t.Press(1, 8);
    t.MoveTo(14, 8);
    LinePreview(t, "dorvelt");
    EXPECT_EQ(t.Edits["upa"], "0");
    EXPECT_EQ(t.Pixel(7, 8), 0xFF0A141Eu) << "no erase merge for gradients";
    t.Release();
    LineCommit(t, "dorvelt");
    // The line is drawn into the format from transparent red to opaque blue.
    EXPECT_LT(Blue(t.Pixel(2, 8)), Blue(t.Pixel(13, 8)));
    EXPECT_EQ(t.Pixel(13, 7), 0xFF0A141Eu);
}

TEST(LineTool, AColourTextThatIsNoNumberEndsTheCallWithEveryBracketClosed)
{
    TTestingDrawingTarget t(16, 16, "XP");
    t.Press(1, 1);
    t.MoveTo(9, 9);
    t.Edits["downb"] = "blue";
    EXPECT_THROW(LinePreview(t, "dorvelt"), EConvertError);
    EXPECT_EQ(t.iconview->UpdateCount(), 0);
    EXPECT_EQ(t.iconview->Bitmap()->UpdateCount(), 0);
    t.Release();
    EXPECT_THROW(LineCommit(t, "dorvelt"), EConvertError);
    EXPECT_EQ(t.iconviewbg->UpdateCount(), 0);
    EXPECT_EQ(t.iconviewbg->Bitmap()->UpdateCount(), 0);
}

TEST(LineTool, ErasingWithoutAFittingBaseCopyErasesFromTheFormatAsItIs)
{
    // A primary alpha text such as " 0" marks the stroke as erasing (the snapshot is trimmed)
    // while the press, which looks for exactly "0", kept no base copy: the merge must not read
    // pixels of a missing copy, or of one left from a format of another size.
    for (bool staleBase : {false, true}) {
        TTestingDrawingTarget t(16, 16, "XP");
        t.Fill(0xFF0A141E);
        t.Edits["upa"] = " 0";
        t.StrokeButton = 2; // the mask is the opaque secondary colour
        t.Press(2, 8);
        if (staleBase)
            GdipCreateBitmapFromScan0(4, 4, 0, PixelFormat32bppARGB, nullptr, &t.EraseBaseImage);
        ASSERT_EQ(t.StrokeColorA, "0");
        t.MoveTo(12, 8);
        LinePreview(t, "dorvelt");
        EXPECT_EQ(t.Pixel(7, 8), 0x000A141Eu) << staleBase;
        EXPECT_EQ(t.Pixel(7, 3), 0xFF0A141Eu) << staleBase;
    }
}
