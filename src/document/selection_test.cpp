#include "document/selection.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// A w x h picture whose pixel (x, y) is 0xFF000000 | (x << 8) | y, so every copy shows where its
// pixels came from.
GpBitmap* Numbered(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, 0xFF000000u | uint32_t(x << 8) | uint32_t(y));
    return GdipImageFromQImage(image);
}

struct Owned {
    GpImage* image;
    ~Owned() { GdipDisposeImage(image); }
    QImage& operator*() const { return *GdipImageData(image); }
};

} // namespace

TEST(SelectionGeometry, DraggingFromTheAnchorCellCoversTheAnchorAndThePointerCell)
{
    const int z = 10;
    // Anchor cell (5, 5); each step drags to the pointer's snapped cell and is then put in order
    // as the release would.
    struct Case {
        int sx, sy;
        TRect dragged;
        TRect ordered;
    };
    const Case cases[] = {
        {80, 70, Rect(50, 50, 90, 80), Rect(50, 50, 90, 80)},   // right and down
        {20, 30, Rect(60, 60, 20, 30), Rect(20, 30, 60, 60)},   // left and up: reversed
        {80, 30, Rect(50, 60, 90, 30), Rect(50, 30, 90, 60)},   // right and up
        {20, 70, Rect(60, 50, 20, 80), Rect(20, 50, 60, 80)},   // left and down
    };
    for (const Case& c : cases) {
        TRect r = Rect(50, 50, 60, 60);
        DragRectangle(r, c.sx, c.sy, 50, 50, z);
        EXPECT_EQ(r, c.dragged) << c.sx << "," << c.sy;
        OrderRectangle(r, z);
        EXPECT_EQ(r, c.ordered) << c.sx << "," << c.sy;
    }

    // Left of the anchor and back: the cell just right of it gives no width until one cell more.
    TRect r = Rect(50, 50, 60, 60);
    for (int sx : {30, 40, 50, 60})
        DragRectangle(r, sx, 50, 50, 50, z);
    EXPECT_EQ(r.Width(), 0);
    DragRectangle(r, 70, 50, 50, 50, z);
    EXPECT_EQ(r.Left, 50);
    EXPECT_EQ(r.Right, 80);
}

TEST(SelectionPixels, CopiesReadAndWriteOnlyInsideTheFormat)
{
    Owned format{Numbered(4, 3)};
    // A rectangle hanging over the top-left and the right edge.
    const TRect cells = Rect(-1, -1, 6, 2);
    Owned lifted{CopyCells(format.image, cells, true)};
    ASSERT_NE(lifted.image, nullptr);
    EXPECT_EQ((*lifted).size(), QSize(7, 3));
    EXPECT_EQ((*lifted).pixel(0, 0), 0u);                      // outside: transparent
    EXPECT_EQ((*lifted).pixel(1 + 2, 1 + 1), 0xFF000201u);     // format pixel (2, 1)
    EXPECT_EQ((*lifted).pixel(6, 2), 0u);
    EXPECT_EQ((*format).pixel(2, 1), 0u);                      // lifted out
    EXPECT_EQ((*format).pixel(2, 2), 0xFF000202u);             // row 2 is not selected

    Owned fresh{Numbered(4, 3)};
    Owned inside{CopyCellsInside(fresh.image, Rect(2, 1, 9, 9))};
    ASSERT_NE(inside.image, nullptr);
    EXPECT_EQ((*inside).size(), QSize(2, 2));
    EXPECT_EQ((*inside).pixel(1, 1), 0xFF000302u);
    EXPECT_EQ(CopyCellsInside(fresh.image, Rect(5, 5, 9, 9)), nullptr);
    EXPECT_EQ(CopyCells(fresh.image, Rect(1, 1, 1, 3), false), nullptr);

    ClearCells(fresh.image, Rect(3, -5, 40, 40));
    EXPECT_EQ((*fresh).pixel(3, 0), 0u);
    EXPECT_EQ((*fresh).pixel(2, 0), 0xFF000200u);
}

TEST(SelectionPixels, StretchingKeepsEveryColourExact)
{
    QImage two(2, 1, QImage::Format_ARGB32);
    two.setPixel(0, 0, 0x01FF8040); // alpha 1 would lose its colour in a premultiplied blend
    two.setPixel(1, 0, 0xFF00FF00);
    Owned source{GdipImageFromQImage(two)};
    Owned up{StretchNearest(source.image, 4, 3)};
    ASSERT_NE(up.image, nullptr);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ((*up).pixel(1, y), 0x01FF8040u);
        EXPECT_EQ((*up).pixel(2, y), 0xFF00FF00u);
    }
    // Shrinking takes the pixel under each target pixel's centre.
    Owned wide{Numbered(4, 1)};
    Owned down{StretchNearest(wide.image, 2, 1)};
    EXPECT_EQ((*down).pixel(0, 0), 0xFF000100u);
    EXPECT_EQ((*down).pixel(1, 0), 0xFF000300u);
    EXPECT_EQ(StretchNearest(nullptr, 4, 4), nullptr);
}
