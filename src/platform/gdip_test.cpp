#include "platform/gdip.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct ImageDeleter {
    void operator()(GpImage* i) const { GdipDisposeImage(i); }
};
using ImagePtr = std::unique_ptr<GpImage, ImageDeleter>;

ImagePtr NewBitmap(int w, int h)
{
    GpBitmap* b = nullptr;
    EXPECT_EQ(GdipCreateBitmapFromScan0(w, h, 0, PixelFormat32bppARGB, nullptr, &b), Ok);
    return ImagePtr(b);
}

ARGB Pixel(GpImage* img, int x, int y)
{
    ARGB c = 0xDEADBEEF;
    GdipBitmapGetPixel(img, x, y, &c);
    return c;
}

// Runs one drawing call on a fresh graphics over img.
template <typename F>
void Draw(GpImage* img, SmoothingMode smoothing, F&& f)
{
    GpGraphics* g = nullptr;
    ASSERT_EQ(GdipGetImageGraphicsContext(img, &g), Ok);
    GdipSetSmoothingMode(g, smoothing);
    f(g);
    GdipDeleteGraphics(g);
}

GpPen* SolidPen(ARGB c, float width)
{
    GpBrush* b = nullptr;
    GdipCreateSolidFill(c, &b);
    GpPen* pen = nullptr;
    GdipCreatePen2(b, width, UnitWorld, &pen);
    GdipDeleteBrush(b);
    return pen;
}

// Which pixels of the image are not transparent, as rows of '#' and '.'.
std::string Coverage(GpImage* img)
{
    UINT w = 0, h = 0;
    GdipGetImageWidth(img, &w);
    GdipGetImageHeight(img, &h);
    std::string s;
    for (UINT y = 0; y < h; ++y) {
        for (UINT x = 0; x < w; ++x)
            s += (Pixel(img, int(x), int(y)) >> 24) ? '#' : '.';
        s += '\n';
    }
    return s;
}

} // namespace

TEST(Gdip, ZeroSizedBitmapIsNotMadeAndCallsOnNoneDoNothing)
{
    GpBitmap* b = reinterpret_cast<GpBitmap*>(1);
    EXPECT_NE(GdipCreateBitmapFromScan0(0, 5, 0, PixelFormat32bppARGB, nullptr, &b), Ok);
    EXPECT_EQ(b, nullptr);
    GpGraphics* g = nullptr;
    EXPECT_NE(GdipGetImageGraphicsContext(nullptr, &g), Ok);
    EXPECT_NE(GdipDrawImageRectI(nullptr, nullptr, 0, 0, 1, 1), Ok);
    ARGB c;
    auto img = NewBitmap(2, 2);
    EXPECT_EQ(GdipBitmapGetPixel(img.get(), 2, 0, &c), InvalidParameter);
    EXPECT_EQ(GdipBitmapSetPixel(img.get(), -1, 0, 1), InvalidParameter);
}

TEST(Gdip, ZoomedViewGivesSharpBlocks)
{
    auto src = NewBitmap(2, 2);
    const ARGB colours[4] = {0xFFFF0000, 0x8000FF00, 0x00000000, 0xFF0000FF};
    for (int i = 0; i < 4; ++i)
        GdipBitmapSetPixel(src.get(), i % 2, i / 2, colours[i]);
    QImage canvas(16, 16, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter dc(&canvas);
        GpGraphics* g = nullptr;
        ASSERT_EQ(GdipCreateFromHDC(&dc, &g), Ok);
        GdipSetInterpolationMode(g, InterpolationModeNearestNeighbor);
        GdipSetPixelOffsetMode(g, PixelOffsetModeHalf);
        GdipDrawImageRectI(g, src.get(), 0, 0, 16, 16);
        GdipDeleteGraphics(g);
    }
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb expect = canvas.pixel((x / 8) * 8, (y / 8) * 8);
            ASSERT_EQ(canvas.pixel(x, y), expect) << x << "," << y;
        }
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(15, 15), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(0, 15), qRgb(255, 255, 255)); // transparent shows the ground
}

TEST(Gdip, AliasedLinesAndRectanglesCoverTheirEndPoints)
{
    struct Case {
        const char* name;
        std::function<void(GpGraphics*, GpPen*)> draw;
        float width;
        const char* expect;
    };
    const Case cases[] = {
        {"horizontal line", [](GpGraphics* g, GpPen* p) { GdipDrawLineI(g, p, 1, 1, 4, 1); }, 1,
         "......\n.####.\n......\n......\n......\n"},
        {"diagonal line", [](GpGraphics* g, GpPen* p) { GdipDrawLineI(g, p, 4, 0, 0, 4); }, 1,
         "....#.\n...#..\n..#...\n.#....\n#.....\n"},
        {"outline w1", [](GpGraphics* g, GpPen* p) { GdipDrawRectangleI(g, p, 1, 1, 3, 2); }, 1,
         "......\n.####.\n.#..#.\n.####.\n......\n"},
        {"outline w3 keeps corners", [](GpGraphics* g, GpPen* p) { GdipDrawRectangleI(g, p, 2, 2, 5, 4); }, 3,
         "..........\n.########.\n.########.\n.########.\n.###..###.\n.########.\n.########.\n.########.\n..........\n"},
    };
    for (const Case& c : cases) {
        auto img = c.width > 1 ? NewBitmap(10, 9) : NewBitmap(6, 5);
        GpPen* pen = SolidPen(0xFF000000, c.width);
        Draw(img.get(), SmoothingModeDefault, [&](GpGraphics* g) { c.draw(g, pen); });
        GdipDeletePen(pen);
        EXPECT_EQ(Coverage(img.get()), c.expect) << c.name;
    }
    // A 3-pixel line is three rows thick, centred on its row.
    auto img = NewBitmap(8, 5);
    GpPen* pen = SolidPen(0xFF000000, 3);
    Draw(img.get(), SmoothingModeDefault, [&](GpGraphics* g) { GdipDrawLineI(g, pen, 1, 2, 6, 2); });
    GdipDeletePen(pen);
    const std::string rows = Coverage(img.get());
    EXPECT_EQ(rows.substr(0, 9), "........\n");
    EXPECT_EQ(rows.substr(36, 9), "........\n");
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(rows.substr(r * 9, 9), ".######.\n") << r; // both end cells covered
}

TEST(Gdip, FilledRectangleCoversExactlyItsCellsWithTheExactColour)
{
    auto img = NewBitmap(6, 4);
    GpBrush* b = nullptr;
    const GpRect r{0, 0, 6, 4};
    // A "gradient" between one colour and itself is the plain colour, as the Solid style uses it.
    GdipCreateLineBrushFromRectI(&r, 0x40123456, 0x40123456, LinearGradientModeHorizontal, WrapModeTile, &b);
    Draw(img.get(), SmoothingModeHighQuality, [&](GpGraphics* g) {
        GdipFillRectangleI(g, b, 1, 1, 3, 2);
        GdipFillRectangleI(g, b, 5, 0, 0, 3); // empty: nothing
    });
    GdipDeleteBrush(b);
    EXPECT_EQ(Coverage(img.get()), "......\n.###..\n.###..\n......\n");
    EXPECT_EQ(Pixel(img.get(), 2, 2), 0x40123456u); // low alpha keeps its colour exactly
}

TEST(Gdip, GradientsInterpolateUnpremultipliedAndScaleDiagonals)
{
    auto img = NewBitmap(21, 5);
    GpBrush* b = nullptr;
    const GpRect r{0, 0, 20, 4};
    GdipCreateLineBrushFromRectI(&r, 0xFFFF0000, 0x00FF0000, LinearGradientModeHorizontal, WrapModeTile, &b);
    Draw(img.get(), SmoothingModeDefault, [&](GpGraphics* g) { GdipFillRectangleI(g, b, 0, 0, 20, 1); });
    GdipDeleteBrush(b);
    // Towards a transparent red the hue stays red; only alpha falls.
    for (int x = 0; x < 20; x += 3) {
        const ARGB c = Pixel(img.get(), x, 0);
        EXPECT_EQ(c & 0xFFFFFF, 0xFF0000u) << x;
    }
    EXPECT_EQ(Pixel(img.get(), 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(img.get(), 10, 0) >> 24, 128u);

    // Forward diagonal on a wide rectangle: the top-right and bottom-left corners are midway.
    auto d = NewBitmap(200, 40);
    const GpRect wide{0, 0, 200, 40};
    GdipCreateLineBrushFromRectI(&wide, 0xFF000000, 0xFFFFFFFF, LinearGradientModeForwardDiagonal, WrapModeClamp, &b);
    Draw(d.get(), SmoothingModeDefault, [&](GpGraphics* g) { GdipFillRectangleI(g, b, 0, 0, 200, 40); });
    GdipDeleteBrush(b);
    const int topRight = int(Pixel(d.get(), 199, 0) & 0xFF), bottomLeft = int(Pixel(d.get(), 0, 39) & 0xFF);
    EXPECT_NEAR(topRight, 128, 4);
    EXPECT_NEAR(bottomLeft, 128, 4);
    EXPECT_EQ(Pixel(d.get(), 0, 0) & 0xFF, 0u);
}

TEST(Gdip, PathGradientHasItsCentreColourAtTheCentre)
{
    auto img = NewBitmap(41, 41);
    GpPath* path = nullptr;
    GdipCreatePath(FillModeAlternate, &path);
    GdipAddPathEllipseI(path, 0, 0, 40, 40);
    GpBrush* b = nullptr;
    ASSERT_EQ(GdipCreatePathGradientFromPath(path, &b), Ok);
    const GpPointF centre{10, 20};
    GdipSetPathGradientCenterPoint(b, &centre);
    GdipSetPathGradientCenterColor(b, 0xFF00FF00);
    const ARGB surround = 0xFF0000FF;
    INT count = 1;
    GdipSetPathGradientSurroundColorsWithCount(b, &surround, &count);
    Draw(img.get(), SmoothingModeDefault, [&](GpGraphics* g) { GdipFillEllipseI(g, b, 0, 0, 40, 40); });
    GdipDeleteBrush(b);
    GdipDeletePath(path);
    EXPECT_EQ(Pixel(img.get(), 10, 20), 0xFF00FF00u);
    EXPECT_EQ(Pixel(img.get(), 0, 0) >> 24, 0u); // outside the ellipse
    const ARGB nearEdge = Pixel(img.get(), 38, 20);
    EXPECT_GT(int(nearEdge & 0xFF), 200); // mostly the surround colour near the edge
}

TEST(Gdip, RotateFlipCodesMoveEveryPixel)
{
    // 3x2 image with distinct pixels; (x, y) holds x + 10y + 1.
    struct Case {
        RotateFlipType type;
        int w, h;
        std::function<std::pair<int, int>(int, int)> to;
    };
    const Case cases[] = {
        {RotateNoneFlipX, 3, 2, [](int x, int y) { return std::pair{2 - x, y}; }},
        {Rotate180FlipX, 3, 2, [](int x, int y) { return std::pair{x, 1 - y}; }},
        {Rotate90FlipNone, 2, 3, [](int x, int y) { return std::pair{1 - y, x}; }},
        {Rotate270FlipNone, 2, 3, [](int x, int y) { return std::pair{y, 2 - x}; }},
    };
    for (const Case& c : cases) {
        auto img = NewBitmap(3, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                GdipBitmapSetPixel(img.get(), x, y, ARGB(x + 10 * y + 1));
        ASSERT_EQ(GdipImageRotateFlip(img.get(), c.type), Ok);
        UINT w, h;
        GdipGetImageWidth(img.get(), &w);
        GdipGetImageHeight(img.get(), &h);
        ASSERT_EQ(int(w), c.w);
        ASSERT_EQ(int(h), c.h);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                auto [dx, dy] = c.to(x, y);
                EXPECT_EQ(Pixel(img.get(), dx, dy), ARGB(x + 10 * y + 1)) << c.type;
            }
    }
}

TEST(Gdip, PngRoundTripIsExactForEveryAlphaAndChannelValue)
{
    auto img = NewBitmap(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            GdipBitmapSetPixel(img.get(), x, y, (ARGB(y) << 24) | (ARGB(x) << 16) | (ARGB(255 - x) << 8) | ARGB((x + y) & 255));
    CLSID png;
    ASSERT_GE(FindEncoderByMimeType("image/png", &png), 0);
    CLSID untouched;
    EXPECT_EQ(FindEncoderByMimeType("image/PNG", &untouched), -1);
    EXPECT_EQ(untouched, CLSID{});
    QTemporaryDir dir;
    const QString file = dir.filePath("round.png");
    ASSERT_EQ(GdipSaveImageToFile(img.get(), file, &png, nullptr), Ok);
    GpImage* back = nullptr;
    ASSERT_EQ(GdipLoadImageFromFile(file, &back), Ok);
    ImagePtr holder(back);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            ASSERT_EQ(Pixel(back, x, y), Pixel(img.get(), x, y)) << x << "," << y;
}

TEST(Gdip, LoadFailuresGiveNoImage)
{
    QTemporaryDir dir;
    GpImage* img = reinterpret_cast<GpImage*>(1);
    EXPECT_NE(GdipLoadImageFromFile(dir.filePath("missing.png"), &img), Ok);
    EXPECT_EQ(img, nullptr);
    QFile f(dir.filePath("bad.png"));
    f.open(QIODevice::WriteOnly);
    f.write("\x89PNG\r\n\x1a\n garbage");
    f.close();
    EXPECT_NE(GdipLoadImageFromFile(f.fileName(), &img), Ok);
    EXPECT_EQ(img, nullptr);
}

TEST(Gdip, TextDrawsWithAKnownFamilyAndNothingWithAnUnknownOne)
{
    GpFontFamily* fam = nullptr;
    EXPECT_EQ(GdipCreateFontFamilyFromName("No Such Family 123", nullptr, &fam), FontFamilyNotFound);
    EXPECT_EQ(fam, nullptr);
    ASSERT_EQ(GdipCreateFontFamilyFromName("dejavu sans", nullptr, &fam), Ok);
    GpFont* font = nullptr;
    ASSERT_EQ(GdipCreateFont(fam, 20, FontStyleBold, UnitPixel, &font), Ok);
    GpBrush* b = nullptr;
    GdipCreateSolidFill(0xFF0000FF, &b);
    auto img = NewBitmap(60, 40);
    const GpPointF at{1, 10};
    Draw(img.get(), SmoothingModeDefault, [&](GpGraphics* g) {
        GdipSetTextRenderingHint(g, TextRenderingHintAntiAlias);
        EXPECT_EQ(GdipDrawString(g, "Ab", -1, font, &at, nullptr, b), Ok);
    });
    // Ink lies below the layout point and starts near its left edge.
    int top = 99, left = 99;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            if (Pixel(img.get(), x, y) >> 24) {
                top = std::min(top, y);
                left = std::min(left, x);
            }
    EXPECT_GE(top, 10);
    EXPECT_LT(top, 20);
    EXPECT_LT(left, 6);
    GdipDeleteBrush(b);
    GdipDeleteFont(font);
    GdipDeleteFontFamily(fam);
}
