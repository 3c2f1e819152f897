#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/graphics.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <vector>

namespace {

// Rows of the bitmap as text: '#' for pixels of the colour, '.' for others.
std::vector<std::string> Shape(TBitmap& b, uint32_t argb)
{
    std::vector<std::string> rows;
    for (int y = 0; y < b.Height(); ++y) {
        std::string row;
        for (int x = 0; x < b.Width(); ++x)
            row += (b.PixelArgb(x, y) & 0xFFFFFF) == (argb & 0xFFFFFF) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

} // namespace

TEST(Colors, SystemColoursResolveThroughTheOneTable)
{
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clHighlight), RGB(10, 36, 106));
    EXPECT_EQ(ColorToRGB(clInfoBk), RGB(255, 255, 225));
    EXPECT_EQ(ColorToRGB(clFuchsia), clFuchsia);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ColorToRGB(clDefault), clDefault);
    EXPECT_EQ(ColorToRGB(clSystemColor | 200), clBlack);
    EXPECT_EQ(ColorToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ColorToQColor(clNone).alpha(), 0);
    EXPECT_EQ(QColorToColor(QColor(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(ColorToArgb(clBtnShadow), 0xFF808080u);
    EXPECT_EQ(ArgbToColor(0x80112233), RGB(0x11, 0x22, 0x33));
}

TEST(Canvas, ShapesCoverTheirRectangleWithoutRightAndBottomEdges)
{
    TBitmap b(6, 5, pf24bit);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clRed);
    c->FillRect(Rect(1, 1, 4, 3));
    EXPECT_EQ(Shape(b, 0xFF0000), (std::vector<std::string>{"......", ".###..", ".###..", "......", "......"}));

    TBitmap r(6, 5, pf24bit);
    r.Canvas()->Pen()->SetColor(clBlue);
    r.Canvas()->Brush()->SetStyle(bsClear);
    r.Canvas()->Rectangle(0, 0, 5, 4);
    EXPECT_EQ(Shape(r, 0x0000FF), (std::vector<std::string>{"#####.", "#...#.", "#...#.", "#####.", "......"}));

    TBitmap f(6, 5, pf24bit);
    f.Canvas()->Brush()->SetColor(clLime);
    f.Canvas()->FrameRect(Rect(1, 0, 5, 3));
    EXPECT_EQ(Shape(f, 0x00FF00), (std::vector<std::string>{".####.", ".#..#.", ".####.", "......", "......"}));
}

TEST(Canvas, LineToLeavesTheEndPointAndMovesThePen)
{
    TBitmap b(5, 3, pf24bit);
    TCanvas* c = b.Canvas();
    c->MoveTo(0, 1);
    c->LineTo(4, 1);
    c->LineTo(4, 0);
    EXPECT_EQ(Shape(b, 0), (std::vector<std::string>{".....", "#####", "....."}));
    EXPECT_EQ(c->PenPos(), Point(4, 0));
}

TEST(Canvas, DrawingOnThirtyTwoBitPixelsMixesColourBytesOnly)
{
    // A checkerboard of two colours, with alpha bytes of every kind, drawn over with a
    // half-transparent red: each cell mixes with its own colour, so the checkerboard stays, and
    // pixels outside the fill keep their exact bytes.
    const int w = 4, h = 2;
    std::vector<uint32_t> px(w * h);
    const uint32_t cells[2] = {0x01FFFFFF, 0xFF000000};
    for (int i = 0; i < w * h; ++i)
        px[i] = cells[(i % w + i / w) % 2];
    const std::vector<uint32_t> before = px;
    TCanvas canvas;
    canvas.SetBits(px.data(), w, h, w * 4);
    canvas.Handle()->fillRect(QRect(0, 0, 2, 2), QColor(255, 0, 0, 128));
    canvas.FinishDrawing();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t p = px[y * w + x];
            if (x >= 2) {
                EXPECT_EQ(p, before[y * w + x]);
                continue;
            }
            const bool white = (x + y) % 2 == 0;
            EXPECT_NEAR(int(p >> 16 & 0xFF), white ? 255 : 128, 1);
            EXPECT_NEAR(int(p >> 8 & 0xFF), white ? 127 : 0, 1) << x << "," << y;
            EXPECT_NEAR(int(p & 0xFF), white ? 127 : 0, 1);
        }
    }
}

TEST(Canvas, SourceCopyOfThirtyTwoBitPixelsKeepsAlphaBytes)
{
    TBitmap src(2, 1, pf32bit);
    src.SetPixelArgb(0, 0, 0x10203040);
    src.SetPixelArgb(1, 0, 0x00FFFFFF);
    std::vector<uint32_t> px(4, 0xFFFFFFFF);
    TCanvas canvas;
    canvas.SetBits(px.data(), 2, 2, 8);
    canvas.Draw(0, 1, &src);
    EXPECT_EQ(px[2], 0x10203040u);
    EXPECT_EQ(px[3], 0x00FFFFFFu);
    EXPECT_EQ(px[0], 0xFFFFFFFFu);
}

TEST(Canvas, BrushCopyReplacesTheColourByTheBrush)
{
    TBitmap src(3, 1, pf24bit);
    src.SetPixelArgb(0, 0, 0xFF000000);
    src.SetPixelArgb(1, 0, 0xFFFF00D2);
    src.SetPixelArgb(2, 0, 0xFF112233);
    TBitmap dst(3, 1, pf24bit);
    dst.Canvas()->Brush()->SetColor(RGB(250, 249, 248));
    dst.Canvas()->BrushCopy(Rect(0, 0, 3, 1), &src, Rect(0, 0, 3, 1), clBlack);
    EXPECT_EQ(dst.PixelArgb(0, 0), 0xFFFAF9F8u);
    EXPECT_EQ(dst.PixelArgb(1, 0), 0xFFFF00D2u);
    EXPECT_EQ(dst.PixelArgb(2, 0), 0xFF112233u);
}

TEST(Canvas, TransparentBitmapLeavesItsTransparentColourOut)
{
    TBitmap sprite(2, 2, pf24bit);
    sprite.Canvas()->Brush()->SetColor(clFuchsia);
    sprite.Canvas()->FillRect(Rect(0, 0, 2, 2));
    sprite.SetPixelArgb(1, 0, 0xFF0000FF);
    sprite.SetTransparent(true); // automatic: the bottom-left pixel, fuchsia
    TBitmap back(2, 2, pf24bit);
    back.Canvas()->Brush()->SetColor(clGreen);
    back.Canvas()->FillRect(Rect(0, 0, 2, 2));
    back.Canvas()->Draw(0, 0, &sprite);
    EXPECT_EQ(Shape(back, 0x008000), (std::vector<std::string>{"#.", "##"}));
    EXPECT_EQ(back.PixelArgb(1, 0), 0xFF0000FFu);
    // A stretched draw keys the same colour out.
    TBitmap big(4, 4, pf24bit);
    big.Canvas()->StretchDraw(Rect(0, 0, 4, 4), &sprite);
    EXPECT_EQ(Shape(big, 0x0000FF), (std::vector<std::string>{"..##", "..##", "....", "...."}));
    EXPECT_EQ(big.PixelArgb(0, 3), 0xFFFFFFFFu);
}

TEST(Canvas, CopyModesCombineSourceAndTarget)
{
    struct Case {
        TCopyMode mode;
        uint32_t out;
    };
    // Target 0x0F0F0F over source 0x3C3C3C.
    const Case cases[] = {
        {cmSrcCopy, 0x3C3C3C},    {cmSrcAnd, 0x0C0C0C},   {cmSrcPaint, 0x3F3F3F}, {cmSrcInvert, 0x333333},
        {cmNotSrcCopy, 0xC3C3C3}, {cmBlackness, 0x000000}, {cmWhiteness, 0xFFFFFF}, {cmDstInvert, 0xF0F0F0},
    };
    TBitmap src(1, 1, pf24bit);
    src.SetPixelArgb(0, 0, 0xFF3C3C3C);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.mode);
        TBitmap dst(1, 1, pf24bit);
        dst.SetPixelArgb(0, 0, 0xFF0F0F0F);
        dst.Canvas()->SetCopyMode(c.mode);
        dst.Canvas()->CopyRect(Rect(0, 0, 1, 1), src.Canvas(), Rect(0, 0, 1, 1));
        EXPECT_EQ(dst.PixelArgb(0, 0) & 0xFFFFFF, c.out);
    }
}

TEST(Canvas, DrawingOnAPaletteBitmapStoresTheNearestEntry)
{
    TBitmap b(3, 1, pf4bit);
    b.Canvas()->SetPixel(0, 0, RGB(250, 0, 0));
    b.Canvas()->Brush()->SetColor(RGB(0, 0, 120));
    b.Canvas()->FillRect(Rect(1, 0, 3, 1));
    EXPECT_EQ(b.ScanLine(0)[0], 0x94); // red (9), navy (4)
    EXPECT_EQ(b.ScanLine(0)[1] >> 4, 4);
    EXPECT_EQ(b.Canvas()->Pixel(0, 0), clRed);
}

TEST(Canvas, PixelsOutsideTheTargetAreNoColour)
{
    TBitmap b(2, 2, pf24bit);
    EXPECT_EQ(b.Canvas()->Pixel(2, 0), clNone);
    EXPECT_EQ(b.Canvas()->Pixel(-1, 0), clNone);
    TCanvas unbound;
    EXPECT_EQ(unbound.Pixel(0, 0), clNone);
    EXPECT_EQ(unbound.Handle(), nullptr);
    unbound.FillRect(Rect(0, 0, 5, 5)); // nothing to draw on: no crash
}

TEST(Canvas, TextOutFillsItsCellAndMovesThePen)
{
    TBitmap b(60, 20, pf24bit);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clYellow);
    c->Font()->SetColor(clBlack);
    const TSize extent = c->TextExtent(QStringLiteral("Hi"));
    ASSERT_GT(extent.cx, 0);
    ASSERT_GT(extent.cy, 0);
    c->TextOut(2, 1, QStringLiteral("Hi"));
    EXPECT_EQ(c->PenPos(), Point(2 + extent.cx, 1));
    EXPECT_EQ(b.PixelArgb(2, 1), 0xFFFFFF00u);
    EXPECT_EQ(b.PixelArgb(0, 0), 0xFFFFFFFFu);
    int dark = 0;
    for (int y = 1; y < 1 + extent.cy; ++y)
        for (int x = 2; x < 2 + extent.cx; ++x)
            dark += (b.PixelArgb(x, y) & 0xFF) < 128;
    EXPECT_GT(dark, 0);
}

TEST(Canvas, LockNestsAndTryLockSeesAnotherHolder)
{
    TCanvas c;
    c.Lock();
    c.Lock();
    EXPECT_EQ(c.LockCount(), 2);
    c.Unlock();
    c.Unlock();
    EXPECT_EQ(c.LockCount(), 0);
    EXPECT_TRUE(c.TryLock());
    c.Unlock();
}
