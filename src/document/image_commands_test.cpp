#include "document/image_commands.h"

#include <QImage>
#include <gtest/gtest.h>

#include <functional>

namespace {

// A bitmap whose every pixel names its own place: opaque, red = x + 1, green = y + 1.
GpBitmap* Numbered(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgba(x + 1, y + 1, 7, 255));
    return GdipImageFromQImage(img);
}

ARGB At(GpBitmap* b, int x, int y)
{
    ARGB c = 0;
    EXPECT_EQ(GdipBitmapGetPixel(b, x, y, &c), Ok) << x << "," << y;
    return c;
}

QImage& Img(GpBitmap* b) { return *GdipImageData(b); }

struct Owned {
    GpBitmap* p;
    ~Owned() { GdipDisposeImage(p); }
};

} // namespace

TEST(ImageCommands, QuarterTurnsAndFlipsMoveEveryPixelExactly)
{
    // (x, y) of a 3 x 2 picture goes to map(x, y) in a picture of the given size.
    struct Case {
        TQuarterTurn turn;
        QSize size;
        std::function<QPoint(int, int)> map;
    };
    const int W = 3, H = 2;
    const Case cases[] = {
        {TQuarterTurn::FlipVertical, {3, 2}, [](int x, int y) { return QPoint(x, H - 1 - y); }},
        {TQuarterTurn::FlipHorizontal, {3, 2}, [](int x, int y) { return QPoint(W - 1 - x, y); }},
        {TQuarterTurn::RotateLeft, {2, 3}, [](int x, int y) { return QPoint(y, W - 1 - x); }},
        {TQuarterTurn::RotateRight, {2, 3}, [](int x, int y) { return QPoint(H - 1 - y, x); }},
    };
    for (const Case& c : cases) {
        Owned src{Numbered(W, H)}, out{Numbered(W, H)};
        ApplyQuarterTurn(out.p, c.turn);
        ASSERT_EQ(Img(out.p).size(), c.size) << int(c.turn);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const QPoint to = c.map(x, y);
                EXPECT_EQ(At(out.p, to.x(), to.y()), At(src.p, x, y)) << int(c.turn) << " " << x << "," << y;
            }
    }

    // Round trips give the picture back.
    const std::vector<std::vector<TQuarterTurn>> trips = {
        {TQuarterTurn::FlipVertical, TQuarterTurn::FlipVertical},
        {TQuarterTurn::FlipHorizontal, TQuarterTurn::FlipHorizontal},
        {TQuarterTurn::RotateLeft, TQuarterTurn::RotateLeft, TQuarterTurn::RotateLeft, TQuarterTurn::RotateLeft},
        {TQuarterTurn::RotateLeft, TQuarterTurn::RotateRight},
    };
    for (const auto& trip : trips) {
        Owned src{Numbered(5, 4)}, out{Numbered(5, 4)};
        for (TQuarterTurn t : trip)
            ApplyQuarterTurn(out.p, t);
        EXPECT_EQ(Img(out.p), Img(src.p));
    }
}

TEST(ImageCommands, ShiftsMoveByOnePixelAndBringInTransparency)
{
    const struct {
        int dx, dy;
    } cases[] = {{0, -1}, {-1, 0}, {1, 0}, {0, 1}};
    for (const auto& c : cases) {
        Owned src{Numbered(4, 3)};
        Owned out{ShiftedCopy(src.p, c.dx, c.dy)};
        ASSERT_EQ(Img(out.p).size(), QSize(4, 3));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                const int sx = x - c.dx, sy = y - c.dy;
                const bool inside = sx >= 0 && sx < 4 && sy >= 0 && sy < 3;
                EXPECT_EQ(At(out.p, x, y), inside ? At(src.p, sx, sy) : 0u) << c.dx << c.dy << " " << x << "," << y;
            }
    }
    EXPECT_EQ(ShiftedCopy(nullptr, 1, 0), nullptr);
}

TEST(ImageCommands, MasterOpacityLowersAlphaFromTheBaseAndSkipsEmptyPixels)
{
    QImage base(4, 1, QImage::Format_ARGB32);
    base.setPixel(0, 0, 0xFF102030u);
    base.setPixel(1, 0, 0x80405060u);
    base.setPixel(2, 0, 0x00000000u); // all four components 0: never written
    base.setPixel(3, 0, 0x00A0B0C0u); // transparent but coloured: written
    Owned b{GdipImageFromQImage(base)};
    const struct {
        int position;
        ARGB p0, p1, p3;
    } cases[] = {
        {255, 0xFF102030u, 0x80405060u, 0x00A0B0C0u},
        {200, 0xC8102030u, 0x49405060u, 0x00A0B0C0u},
        {100, 0x64102030u, 0x00405060u, 0x00A0B0C0u},
        {0, 0x00102030u, 0x00405060u, 0x00A0B0C0u},
    };
    for (const auto& c : cases) {
        QImage start(4, 1, QImage::Format_ARGB32);
        start.fill(0xFF777777u);
        Owned t{GdipImageFromQImage(start)};
        ApplyMasterOpacity(b.p, t.p, c.position);
        EXPECT_EQ(At(t.p, 0, 0), c.p0) << c.position;
        EXPECT_EQ(At(t.p, 1, 0), c.p1) << c.position;
        EXPECT_EQ(At(t.p, 2, 0), 0xFF777777u) << c.position;
        EXPECT_EQ(At(t.p, 3, 0), c.p3) << c.position;
    }
    // A base larger than the target is read only where the target has pixels.
    Owned small{Numbered(2, 1)};
    ApplyMasterOpacity(b.p, small.p, 255);
    EXPECT_EQ(Img(small.p).size(), QSize(2, 1));
    EXPECT_EQ(At(small.p, 1, 0), 0x80405060u);
}

TEST(ImageCommands, ColourReplacementMatchesAllFourComponentsExactly)
{
    QImage img(3, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, 0xFF0A141Eu); // (255, 10, 20, 30)
    img.setPixel(1, 0, 0xFE0A141Eu); // (254, 10, 20, 30)
    img.setPixel(2, 0, 0xFF0A141Fu);
    Owned b{GdipImageFromQImage(img)};
    EXPECT_EQ(ReplaceExactColor(b.p, 0xFF0A141Eu, 0x01020304u), 1);
    EXPECT_EQ(At(b.p, 0, 0), 0x01020304u);
    EXPECT_EQ(At(b.p, 1, 0), 0xFE0A141Eu);
    EXPECT_EQ(At(b.p, 2, 0), 0xFF0A141Fu);
}

TEST(ImageCommands, ResizePlacesTheStretchedPictureByItsSides)
{
    const struct {
        int nw, nh;
        GpPoint at;
    } cases[] = {
        {48, 48, {0, 0}}, {20, 30, {0, 0}}, {60, 70, {-6, -11}}, {61, 48, {-6, 0}}, {10, 51, {0, -1}},
    };
    for (const auto& c : cases) {
        const GpPoint at = ResizePlacement(48, 48, c.nw, c.nh);
        EXPECT_EQ(at.X, c.at.X) << c.nw << "x" << c.nh;
        EXPECT_EQ(at.Y, c.at.Y) << c.nw << "x" << c.nh;
    }

    Owned src{Numbered(4, 4)};
    // The same size gives the picture back unchanged.
    Owned same{ResizedCopy(src.p, 4, 4)};
    EXPECT_EQ(Img(same.p), Img(src.p));
    // Half the size: every other pixel, in the top-left corner; a transparent band beyond.
    Owned half{ResizedCopy(src.p, 2, 2)};
    ASSERT_EQ(Img(half.p).size(), QSize(4, 4));
    EXPECT_EQ(At(half.p, 0, 0), At(src.p, 1, 1));
    EXPECT_EQ(At(half.p, 1, 1), At(src.p, 3, 3));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(At(half.p, 2, i), 0u);
        EXPECT_EQ(At(half.p, i, 3), 0u);
    }
    // Twice the size: the middle is kept, two pixels per source pixel, edges cut off.
    Owned twice{ResizedCopy(src.p, 8, 8)};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(twice.p, x, y), At(src.p, (x + 2) / 2, (y + 2) / 2)) << x << "," << y;
}

TEST(ImageCommands, StretchedCopyFillsTheGivenSize)
{
    Owned src{Numbered(2, 2)};
    Owned out{StretchedCopy(src.p, 4, 6)};
    ASSERT_EQ(Img(out.p).size(), QSize(4, 6));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(out.p, x, y), At(src.p, x / 2, y / 3));
    EXPECT_EQ(StretchedCopy(nullptr, 4, 4), nullptr);
    EXPECT_EQ(StretchedCopy(src.p, 0, 4), nullptr);
}

TEST(ImageCommands, RotationTurnsEverySizeAboutItsOwnMiddle)
{
    for (int side : {16, 32, 48}) {
        Owned src{Numbered(side, side)};
        // A quarter turn by angle lands each pixel where the exact quarter turn puts it.
        Owned turned{RotatedCopy(src.p, 90)};
        Owned exact{Numbered(side, side)};
        ApplyQuarterTurn(exact.p, TQuarterTurn::RotateRight);
        EXPECT_EQ(Img(turned.p), Img(exact.p)) << side;
        Owned none{RotatedCopy(src.p, 360)};
        EXPECT_EQ(Img(none.p), Img(src.p)) << side;
    }
    // A 45-degree turn keeps the middle and leaves the corners transparent.
    Owned src{Numbered(16, 16)};
    Owned turned{RotatedCopy(src.p, 45)};
    EXPECT_EQ(At(turned.p, 0, 0) >> 24, 0u);
    EXPECT_EQ(At(turned.p, 15, 15) >> 24, 0u);
    EXPECT_EQ(At(turned.p, 8, 8) >> 24, 255u);
}
