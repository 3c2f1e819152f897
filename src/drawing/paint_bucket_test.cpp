#include "drawing/paint_bucket.h"
#include "drawing/testing_drawing_target.h"
#include "drawing/testing_picture_folder.h"

#include <gtest/gtest.h>

namespace {

constexpr ARGB kP = 0xFF00C000; // primary: green
constexpr ARGB kS = 0xFF0000C0; // secondary: blue
constexpr ARGB kWall = 0xFF000000;

struct Target : TTestingDrawingTarget {
    explicit Target(const QString& kind = "XP", int w = 10, int h = 10) : TTestingDrawingTarget(w, h, kind)
    {
        CurrentTool = 3;
        SetPrimary(255, 0, 0xC0, 0);
        SetSecondary(255, 0, 0, 0xC0);
    }
    // Rows of text: '#' a black wall, 'r' pure red, 'w' opaque white, 'h' half-transparent white,
    // anything else transparent.
    void Paint(const std::vector<std::string>& rows)
    {
        for (int y = 0; y < int(rows.size()); ++y)
            for (int x = 0; x < int(rows[size_t(y)].size()); ++x) {
                const char c = rows[size_t(y)][size_t(x)];
                SetPixel(x, y, c == '#' ? kWall : c == 'r' ? 0xFFFF0000 : c == 'w' ? 0xFFFFFFFF : c == 'h' ? 0x80FFFFFF : 0);
            }
    }
    void Click(int x, int y)
    {
        Press(x, y);
        BucketFill(*this);
        Release();
    }
};

// Cells text of a format painted with Target::Paint, after a fill.
const std::map<ARGB, char> kLegend{{kP, 'P'}, {kS, 'S'}, {kWall, '#'}, {0xFFFF0000, 'r'}, {0xFFFFFFFF, 'w'},
                                   {0x80FFFFFF, 'h'}};

} // namespace

TEST(PaintBucket, FloodAreaFollowsEdgeNeighboursOfExactlyThePressedColour)
{
    // 1 is the area's colour; 2 differs by one step of blue.
    const std::vector<uint32_t> cells = {
        1, 1, 2, 1, //
        1, 2, 1, 1, //
        1, 1, 2, 2, //
    };
    const std::vector<uint8_t> fromCorner = FloodArea(cells, 4, 3, 0, 0);
    EXPECT_EQ(fromCorner, (std::vector<uint8_t>{1, 1, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0}))
        << "cells touching only at a corner stay apart";
    const std::vector<uint8_t> right = FloodArea(cells, 4, 3, 3, 1);
    EXPECT_EQ(right, (std::vector<uint8_t>{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(FloodArea(cells, 4, 3, 4, 0), std::vector<uint8_t>(12, 0)) << "outside: nothing";
    EXPECT_EQ(FloodArea(cells, 4, 3, 0, -1), std::vector<uint8_t>(12, 0));
}

TEST(PaintBucket, FloodAreaOfTheLargestFormatsAndDeepestShapes)
{
    // One colour over 255 x 255 cells.
    std::vector<uint32_t> plain(255 * 255, 7);
    const std::vector<uint8_t> all = FloodArea(plain, 255, 255, 128, 200);
    EXPECT_EQ(std::count(all.begin(), all.end(), 1), 255 * 255);

    // A serpentine corridor: each row open, walls between rows open at alternating ends, so the
    // area is one path of every other row, as deep as a shape gets.
    std::vector<uint32_t> maze(255 * 255, 0);
    for (int y = 1; y < 255; y += 2)
        for (int x = 0; x < 255; ++x)
            maze[size_t(y) * 255 + x] = (y / 2) % 2 ? (x == 0 ? 0 : 1) : (x == 254 ? 0 : 1);
    const std::vector<uint8_t> path = FloodArea(maze, 255, 255, 0, 0);
    size_t open = 0;
    for (uint32_t c : maze)
        open += c == 0;
    EXPECT_EQ(size_t(std::count(path.begin(), path.end(), 1)), open);
}

TEST(PaintBucket, FillsTheConnectedAreaOnlyOnEveryKind)
{
    TTestingPictureFolder folder;
    const std::vector<std::string> rows = {
        "....#.....", //
        "....#.....", //
        "....#.....", //
        "#####.....", //
        "..........", //
        "..........", //
        "..........", //
        "..........", //
        "..........", //
        "..........", //
    };
    for (const char* kind : {"XP", "16.8M", "256", "16", "Mono"}) {
        Target t(kind);
        t.PatternPaths[0] = "image\\16color\\17.bmp";
        t.Paint(rows);
        t.Click(1, 1);
        const bool pattern = QString(kind) == "16" || QString(kind) == "Mono";
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                const bool inArea = x < 4 && y < 3;
                const ARGB expected = inArea ? (pattern ? TTestingPictureFolder::PatternAt(x, y) : kP)
                                             : (rows[size_t(y)][size_t(x)] == '#' ? kWall : 0u);
                EXPECT_EQ(t.Pixel(x, y), expected) << kind << " " << x << "," << y;
            }
        // Both canvases show the fill at once.
        EXPECT_EQ(t.BackdropPixel(1, 1), t.Pixel(1, 1)) << kind;
        EXPECT_EQ(t.ViewPixel(1, 1), t.Pixel(1, 1)) << kind;
    }
}

TEST(PaintBucket, AreaIsTheColourOverWhite)
{
    Target t;
    // Transparent, opaque white and half-transparent white show alike over white; pure red is an
    // area like any other.
    t.Paint({
        ".w.#rr.", //
        "hw.#rr.", //
        "####r#.", //
        ".......", //
    });
    t.Click(0, 0);
    t.Click(4, 0);
    EXPECT_EQ(t.Cells(0, 0, 6, 3, kLegend),
              "PPP#PP.\n"
              "PPP#PP.\n"
              "####P#.\n"
              ".......\n");

    // A half-transparent colour replaces what the area held, alpha included.
    Target half;
    half.Paint({"www", "www"});
    half.SetPrimary(128, 0, 0, 255);
    half.Click(1, 1);
    EXPECT_EQ(half.Pixel(2, 1), 0x800000FFu);
}

TEST(PaintBucket, GradientsSpanTheWholeFormat)
{
    Target t("XP", 10, 20);
    t.FillStyle = 2;
    for (int x = 0; x < 10; ++x)
        t.SetPixel(x, 14, kWall);
    t.Click(3, 17);
    // The same rows of a fill of the whole format.
    Target whole("XP", 10, 20);
    whole.FillStyle = 2;
    whole.Click(3, 3);
    for (int y = 15; y < 20; ++y)
        EXPECT_EQ(t.Pixel(5, y), whole.Pixel(5, y)) << y;
    EXPECT_EQ(t.Pixel(5, 5), 0u);
    EXPECT_GT(int(t.Pixel(5, 19) & 0xFF), int((t.Pixel(5, 19) >> 8) & 0xFF)) << "the lower half leans to blue";

    // The radial style fills a horizontal gradient.
    Target radial("XP", 20, 4);
    radial.FillStyle = 4;
    radial.Click(0, 0);
    EXPECT_EQ(radial.Pixel(0, 0), kP);
    EXPECT_EQ(radial.Pixel(0, 3), kP);
    EXPECT_GT(int(radial.Pixel(19, 0) & 0xFF), 150);
}

TEST(PaintBucket, ButtonErasingAndUnreadablePictures)
{
    TTestingPictureFolder folder;
    struct Case {
        const char* name;
        int button, style, a;
        QString picture;
        ARGB expected;
    };
    const Case cases[] = {
        {"left: the primary", 1, 1, 255, "", kP},
        {"right: the secondary", 2, 1, 255, "", kS},
        {"angle gradients start from the primary with either button", 2, 6, 255, "", kP},
        {"erasing fills transparent", 1, 1, 0, "", 0},
        {"image fill", 1, 8, 255, "green.png", 0xFF00FF00},
        {"a picture that cannot be read changes nothing", 1, 8, 255, "missing.png", kWall},
    };
    for (const Case& c : cases) {
        Target t;
        t.Fill(kWall);
        t.StrokeButton = c.button;
        t.FillStyle = c.style;
        t.GradientImageFile = c.picture.isEmpty() ? QString() : folder.Path(c.picture);
        t.SetPrimary(c.a, 0, 0xC0, 0);
        t.Click(0, 0);
        EXPECT_EQ(t.Pixel(0, 0), c.expected) << c.name;
        EXPECT_EQ(t.Pixel(9, 9) >> 24, c.expected >> 24) << c.name;
    }
}
