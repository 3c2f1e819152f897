#include "imaging/toolkit/toolkit_image.h"

#include "framework/timer.h"
#include "imaging/toolkit/toolkit_test_support.h"
#include "imaging/toolkit/toolkit_panwindow.h"
#include "imaging/toolkit/toolkit_regions.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QRegion>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

namespace {

// A bitmap whose every pixel tells where it comes from: blue = x, green = y, red = 7.
TKBitmap Marked(int w, int h, int bits = 24)
{
    TKBitmap b;
    EXPECT_EQ(TK_AllocateBitmap(&b, w, h, bits), TK_Success);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = b.Row(y) + x * (bits / 8);
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = 7;
            if (bits == 32)
                p[3] = 200;
        }
    return b;
}

// Blue and green of a pixel: where it came from.
std::pair<int, int> Origin(const TKBitmap& b, int x, int y)
{
    const uint8_t* p = b.Row(y) + x * (b.BitsPerPixel / 8);
    return {p[0], p[1]};
}

TKRegionTransform Zoom2()
{
    TKRegionTransform t;
    t.XScaleNumerator = t.YScaleNumerator = 1;
    t.XScaleDenominator = t.YScaleDenominator = 2;
    return t;
}

QString Raised(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QString();
}

// ---- The toolkit layer ---------------------------------------------------------------------------

TEST(ToolkitRegions, ShapesThroughATransformLandOnTheRightPixels)
{
    TKBitmap b = Marked(40, 30);
    const TKRegionTransform t = Zoom2();
    // Client pixels 10 to 19 are bitmap pixels 5 to 9 at zoom 2, whichever corner the rectangle
    // starts from once it is normalised.
    ASSERT_EQ(TK_SetBitmapRgnRect(&b, &t, Rect(10, 10, 20, 20), TKRGN_Replace), TK_Success);
    EXPECT_EQ(*b.Region, QRegion(5, 5, 5, 5));
    QRegion out;
    TKRegionTransform back;
    back.XScaleNumerator = back.YScaleNumerator = 2;
    back.XOffset = 3;
    ASSERT_EQ(TK_GetBitmapRgnHandle(&b, &back, &out), TK_Success);
    EXPECT_EQ(out, QRegion(13, 10, 10, 10));

    // A rectangle reaching past the bitmap is cut to it; an empty one leaves an empty region.
    ASSERT_EQ(TK_SetBitmapRgnRect(&b, nullptr, Rect(35, -5, 60, 3), TKRGN_Replace), TK_Success);
    EXPECT_EQ(*b.Region, QRegion(35, 0, 5, 3));
    TRect bounds;
    ASSERT_EQ(TK_GetBitmapRgnBounds(&b, &bounds), TK_Success);
    EXPECT_EQ(bounds.Left, 35);
    EXPECT_EQ(bounds.Right, 40);
    EXPECT_EQ(TK_SetBitmapRgnRect(&b, nullptr, Rect(3, 3, 3, 9), TKRGN_Union), TK_Success);
    EXPECT_EQ(*b.Region, QRegion(35, 0, 5, 3));

    // Ellipses leave their bounding box's corners out; polygons follow the fill mode.
    ASSERT_EQ(TK_SetBitmapRgnEllipse(&b, nullptr, Rect(0, 0, 20, 10), TKRGN_Replace), TK_Success);
    EXPECT_EQ(b.Region->boundingRect(), QRect(0, 0, 20, 10));
    EXPECT_FALSE(b.Region->contains(QPoint(0, 0)));
    EXPECT_TRUE(b.Region->contains(QPoint(10, 5)));
    ASSERT_EQ(TK_SetBitmapRgnRoundRect(&b, nullptr, Rect(0, 0, 30, 30), 10, 10, TKRGN_Replace), TK_Success);
    EXPECT_FALSE(b.Region->contains(QPoint(0, 0)));
    EXPECT_TRUE(b.Region->contains(QPoint(5, 0)));
    const TPoint triangle[] = {{0, 0}, {20, 0}, {0, 20}};
    ASSERT_EQ(TK_SetBitmapRgnPolygon(&b, nullptr, triangle, 3, TKFILL_Alternate, TKRGN_Replace), TK_Success);
    EXPECT_TRUE(b.Region->contains(QPoint(2, 2)));
    EXPECT_FALSE(b.Region->contains(QPoint(15, 15)));

    // Shapes far beyond the bitmap are cut to it without making a region of their whole size.
    const TPoint huge[] = {{-1000000000, -1000000000}, {1000000000, -1000000000}, {0, 1000000000}};
    ASSERT_EQ(TK_SetBitmapRgnPolygon(&b, nullptr, huge, 3, TKFILL_Winding, TKRGN_Replace), TK_Success);
    EXPECT_EQ(*b.Region, QRegion(0, 0, 40, 30));
    ASSERT_EQ(TK_SetBitmapRgnEllipse(&b, nullptr, Rect(-900000000, -900000000, 900000000, 900000000), TKRGN_Replace),
              TK_Success);
    EXPECT_EQ(*b.Region, QRegion(0, 0, 40, 30));
    ASSERT_EQ(TK_SetBitmapRgnRoundRect(&b, nullptr, Rect(-900000000, 0, 20, 900000000), 50, 50, TKRGN_Replace),
              TK_Success);
    // Only the top right corner, 25 pixels round, lies on the bitmap.
    EXPECT_EQ(b.Region->boundingRect(), QRect(0, 1, 20, 29));
    EXPECT_TRUE(b.Region->contains(QPoint(0, 5)));
    EXPECT_FALSE(b.Region->contains(QPoint(19, 0)));
    EXPECT_TRUE(b.Region->contains(QPoint(19, 29)));
    TKRegionTransform far;
    far.XScaleNumerator = far.YScaleNumerator = INT32_MAX;
    far.XOffset = far.YOffset = INT32_MAX;
    EXPECT_EQ(TK_SetBitmapRgnRect(&b, &far, Rect(INT32_MAX - 1, 0, INT32_MAX, 1), TKRGN_Replace), TK_Success);
    EXPECT_TRUE(b.Region->isEmpty());

    // Copies of a record keep the region they were made with.
    TKBitmap copy = b;
    ASSERT_EQ(TK_FreeBitmapRgn(&b), TK_Success);
    EXPECT_FALSE(TK_IsBitmapRgnPresent(&b));
    EXPECT_TRUE(TK_IsBitmapRgnPresent(&copy));

    TKRegionTransform bad;
    bad.XScaleDenominator = 0;
    EXPECT_EQ(TK_SetBitmapRgnRect(&b, &bad, Rect(0, 0, 1, 1), TKRGN_Replace), TK_ErrParameter);
    EXPECT_EQ(TK_SetBitmapRgnRect(&b, nullptr, Rect(0, 0, 1, 1), 99), TK_ErrParameter);
    TKBitmap empty;
    EXPECT_EQ(TK_SetBitmapRgnRect(&empty, nullptr, Rect(0, 0, 1, 1), TKRGN_Replace), TK_ErrBitmapHandle);
}

TEST(ToolkitRegions, PerspectivesTurnRegionsAndRectangles)
{
    TKBitmap b = Marked(4, 3);
    for (int perspective = 1; perspective <= 8; ++perspective) {
        b.ViewPerspective = perspective;
        // Every pixel as the view shows it goes to the stored pixel the view shows there, and back.
        for (int vy = 0; vy < BitmapViewHeight(b); ++vy)
            for (int vx = 0; vx < BitmapViewWidth(b); ++vx) {
                int sx = vx, sy = vy;
                TK_PointToBitmap(&b, &sx, &sy);
                const TRect stored = TK_ViewRectToStored(b, perspective, Rect(vx, vy, vx + 1, vy + 1));
                EXPECT_EQ(stored.Left, sx) << perspective;
                EXPECT_EQ(stored.Top, sy) << perspective;
                const TRect view = TK_StoredRectToView(b, perspective, stored);
                EXPECT_EQ(view.Left, vx);
                EXPECT_EQ(view.Top, vy);
            }
    }
    // A region drawn on a view turned by a quarter lands on the stored pixels it covered.
    b.ViewPerspective = 6;
    TKRegionTransform t;
    t.ViewPerspective = 6;
    ASSERT_EQ(TK_SetBitmapRgnRect(&b, &t, Rect(0, 0, 1, 1), TKRGN_Replace), TK_Success);
    EXPECT_EQ(*b.Region, QRegion(0, 2, 1, 1));
    QRegion shown;
    ASSERT_EQ(TK_GetBitmapRgnHandle(&b, &t, &shown), TK_Success);
    EXPECT_EQ(shown, QRegion(0, 0, 1, 1));
}

TEST(ToolkitRegions, CopyAndCombinePixels)
{
    const TKBitmap source = Marked(40, 30);
    TKBitmap part;
    // Cut at the edges: a rectangle starting left of and above the bitmap loses what lies outside.
    ASSERT_EQ(TK_CopyBitmapRect(&source, &part, Rect(-2, -1, 3, 2)), TK_Success);
    EXPECT_EQ(part.Width, 3);
    EXPECT_EQ(part.Height, 2);
    EXPECT_EQ(Origin(part, 2, 1), std::make_pair(2, 1));
    EXPECT_FALSE(TK_IsBitmapRgnPresent(&part));
    EXPECT_EQ(TK_CopyBitmapRect(&source, &part, Rect(50, 0, 60, 5)), TK_ErrWidthHeight);

    // Combining keeps to the target's region, cuts at its edges and turns 24 into opaque 32 bits.
    TKBitmap target;
    ASSERT_EQ(TK_AllocateBitmap(&target, 10, 10, 32), TK_Success);
    ASSERT_EQ(TK_SetBitmapRgnRect(&target, nullptr, Rect(0, 0, 5, 10), TKRGN_Replace), TK_Success);
    ASSERT_EQ(TK_CombineBitmap(&target, 3, 8, &source, Rect(20, 20, 30, 30), TKCB_Copy), TK_Success);
    EXPECT_EQ(Origin(target, 4, 9), std::make_pair(21, 21));
    EXPECT_EQ(target.Row(9)[4 * 4 + 3], 255);
    EXPECT_EQ(Origin(target, 5, 9), std::make_pair(0, 0)); // outside the region
    EXPECT_EQ(Origin(target, 2, 9), std::make_pair(0, 0));
    EXPECT_EQ(TK_CombineBitmap(&target, 0, 0, &source, Rect(0, 0, 2, 2), 801), TK_ErrNotSupported);
}

TEST(ToolkitRegions, RotateTurnsPixelsAndRegion)
{
    TKBitmap b = Marked(3, 2);
    ASSERT_EQ(TK_SetBitmapRgnRect(&b, nullptr, Rect(0, 0, 1, 2), TKRGN_Replace), TK_Success);
    ASSERT_EQ(TK_RotateBitmap(&b, 90, 0, 0), TK_Success);
    ASSERT_EQ(b.Width, 2);
    ASSERT_EQ(b.Height, 3);
    // A quarter clockwise: the bottom-left pixel comes to the top left.
    EXPECT_EQ(Origin(b, 0, 0), std::make_pair(0, 1));
    EXPECT_EQ(Origin(b, 1, 0), std::make_pair(0, 0));
    EXPECT_EQ(Origin(b, 0, 2), std::make_pair(2, 1));
    EXPECT_EQ(*b.Region, QRegion(0, 0, 2, 1));

    // Other angles grow the bitmap and fill the corners.
    TKBitmap square = Marked(10, 10);
    ASSERT_EQ(TK_RotateBitmap(&square, 45, TKROT_Smooth, 0x00FF8040), TK_Success);
    EXPECT_EQ(square.Width, 14);
    const uint8_t* corner = square.Row(0);
    EXPECT_EQ(corner[0], 0xFF);
    EXPECT_EQ(corner[1], 0x80);
    EXPECT_EQ(corner[2], 0x40);

    EXPECT_EQ(TK_RotateBitmap(&square, std::nan(""), 0, 0), TK_ErrParameter);
    EXPECT_EQ(TK_RotateBitmap(&square, 10, 0x100, 0), TK_ErrParameter);
}

TEST(ToolkitRegions, RotatingTheViewChangesThePerspective)
{
    const struct {
        int From, Angle, To;
    } cases[] = {{1, 90, 6}, {1, -90, 8}, {1, 180, 3}, {1, 360, 1}, {6, 90, 3}, {2, 90, 7}, {8, 270, 3}};
    for (const auto& c : cases) {
        TKBitmap b = Marked(3, 2);
        b.ViewPerspective = c.From;
        ASSERT_EQ(TK_RotateBitmapViewPerspective(&b, c.Angle), TK_Success);
        EXPECT_EQ(b.ViewPerspective, c.To) << c.From << " " << c.Angle;
    }
    TKBitmap b = Marked(3, 2);
    EXPECT_EQ(TK_RotateBitmapViewPerspective(&b, 45), TK_ErrParameter);
}

// ---- The control ---------------------------------------------------------------------------------

class ToolkitImageRegionsTest : public imaging_test::ImagingTest {
protected:
    void SetUp() override
    {
        ImagingTest::SetUp();
        c = std::make_unique<TToolkitImage>();
        c->SetName(QStringLiteral("Image"));
        c->SetBounds(0, 0, 100, 100);
    }

    // A 40 x 30 marked picture shown at the given zoom (percent).
    void Give(int zoom = 100)
    {
        c->ToolkitBitmap = Marked(40, 30);
        c->HasBitmap = 1;
        TK_CreateBitmapList(&c->BitmapList);
        TK_InsertBitmapListItem(c->BitmapList, -1, &c->ToolkitBitmap);
        c->ImageChanged();
        if (zoom != 100)
            c->SetPaintZoomFactor(zoom);
    }

    void Send(QEvent::Type type, int x, int y, Qt::MouseButtons buttons)
    {
        QMouseEvent e(type, QPointF(x, y), c->mapToGlobal(QPointF(x, y)), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(c.get(), &e);
    }
    void Drag(std::initializer_list<TPoint> points)
    {
        auto it = points.begin();
        Send(QEvent::MouseButtonPress, it->X, it->Y, Qt::LeftButton);
        for (++it; it != points.end(); ++it)
            Send(QEvent::MouseMove, it->X, it->Y, Qt::LeftButton);
        const TPoint last = *(points.end() - 1);
        Send(QEvent::MouseButtonRelease, last.X, last.Y, Qt::NoButton);
    }
    TRect RegionBounds() const
    {
        return Bounds(c->RegionLeft, c->RegionTop, c->RegionWidth, c->RegionHeight);
    }

    std::unique_ptr<TToolkitImage> c;
};

TEST_F(ToolkitImageRegionsTest, RectangleDrawnEitherWayGivesTheSameRegion)
{
    Give();
    int changes = 0;
    c->OnRgnChange = [&](TObject*) { ++changes; };
    c->RegionTool = 1;
    Drag({{5, 6}, {12, 9}, {20, 15}});
    ASSERT_TRUE(c->HasRgn());
    const QRegion forward = c->GetRgnHandle();
    EXPECT_EQ(forward, QRegion(5, 6, 15, 9));
    Drag({{20, 15}, {9, 9}, {5, 6}});
    EXPECT_EQ(c->GetRgnHandle(), forward);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(RegionBounds().Left, 5);
    EXPECT_EQ(RegionBounds().Bottom, 15);
    // The list keeps the bitmap with its region.
    TKBitmap item;
    ASSERT_EQ(TK_GetBitmapListItem(c->BitmapList, 0, &item), TK_Success);
    EXPECT_TRUE(TK_IsBitmapRgnPresent(&item));

    // A press outside the picture draws nothing; a click frees the region and sets none.
    Drag({{60, 60}, {80, 80}});
    EXPECT_TRUE(c->HasRgn());
    Drag({{3, 3}});
    EXPECT_FALSE(c->HasRgn());
    EXPECT_EQ(c->RegionWidth, 0);
}

TEST_F(ToolkitImageRegionsTest, ShapesAndPolygonFollowTheMouse)
{
    Give(200);
    c->RegionTool = 3;
    Drag({{0, 0}, {40, 20}});
    QRegion r = c->GetRgnHandle();
    EXPECT_EQ(r.boundingRect(), QRect(0, 0, 20, 10));
    EXPECT_FALSE(r.contains(QPoint(0, 0)));

    c->RegionTool = 4;
    // Points past the picture are held at its edge; the buffer grows by 50 as points come.
    std::vector<TPoint> path{{0, 0}};
    for (int i = 1; i <= 60; ++i)
        path.push_back(TPoint{i, 0});
    path.push_back(TPoint{200, 200});
    path.push_back(TPoint{0, 60});
    Send(QEvent::MouseButtonPress, 0, 0, Qt::LeftButton);
    for (size_t i = 1; i < path.size(); ++i)
        Send(QEvent::MouseMove, path[i].X, path[i].Y, Qt::LeftButton);
    EXPECT_EQ(c->PolygonSize(), 100);
    Send(QEvent::MouseButtonRelease, 0, 60, Qt::NoButton);
    EXPECT_EQ(c->PolygonSize(), 0);
    r = c->GetRgnHandle();
    EXPECT_EQ(r.boundingRect(), QRect(0, 0, 40, 30));
    EXPECT_TRUE(r.contains(QPoint(2, 25)));
}

TEST_F(ToolkitImageRegionsTest, FloaterDragRoundsLeftDownAndRightTowardZero)
{
    const struct {
        int Dx, WantLeft;
    } cases[] = {{-1, 4}, {1, 5}, {-2, 4}, {-3, 3}, {3, 6}};
    for (const auto& k : cases) {
        SetUp();
        Give(200);
        c->SetEnableFloater(true);
        ASSERT_TRUE(c->EnableFloater());
        c->RegionTool = 1;
        Drag({{10, 10}, {20, 20}}); // bitmap pixels 5 to 9
        ASSERT_EQ(RegionBounds().Left, 5);
        Drag({{14, 14}, {14 + k.Dx, 14}});
        EXPECT_EQ(RegionBounds().Left, k.WantLeft) << k.Dx;
        EXPECT_EQ(RegionBounds().Width(), 5);
        EXPECT_EQ(RegionBounds().Top, 5);
        // The floater's pixels are at the new place.
        EXPECT_EQ(Origin(c->ToolkitBitmap, k.WantLeft, 5), std::make_pair(5, 5)) << k.Dx;
    }
}

TEST_F(ToolkitImageRegionsTest, LiftingAndDroppingInPlaceChangesNoPixel)
{
    Give();
    c->SetEnableFloater(true);
    c->RegionTool = 3;
    Drag({{2, 2}, {20, 14}});
    ASSERT_TRUE(c->HasRgn());
    const TKBitmap before = Marked(40, 30);
    Drag({{11, 8}});
    ASSERT_TRUE(c->HasRgn());
    EXPECT_EQ(*c->ToolkitBitmap.Pixels, *before.Pixels);

    // A second drag moves the copy dropped by the first; what it covered comes back.
    Drag({{11, 8}, {21, 8}});
    EXPECT_EQ(RegionBounds().Left, 12);
    Drag({{25, 8}, {15, 8}});
    EXPECT_EQ(RegionBounds().Left, 2);
    EXPECT_EQ(*c->ToolkitBitmap.Pixels, *before.Pixels);
}

TEST_F(ToolkitImageRegionsTest, MovingOutlineStepsThroughEightPhasesASecondEach)
{
    Give();
    c->RegionFrameKind = 2;
    c->RegionTool = 1;
    Drag({{2, 2}, {30, 20}});
    c->RegionTool = 0;
    c->grab();
    auto* timer = c->findChild<TTimer*>(QStringLiteral("RegionOutlineTimer"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 1000);
    std::vector<QImage> shots;
    for (int i = 0; i <= 8; ++i) {
        shots.push_back(c->grab().toImage());
        timer->Timer();
    }
    for (int i = 1; i < 8; ++i)
        EXPECT_NE(shots[size_t(i)], shots[0]) << i;
    EXPECT_EQ(shots[8], shots[0]);

    // A still outline stops the stepping; no frame kind stops the timer.
    c->RegionFrameKind = 1;
    timer->Timer();
    EXPECT_EQ(c->grab().toImage(), shots[1]);
    c->RegionFrameKind = 0;
    timer->Timer();
    EXPECT_FALSE(timer->Enabled());
}

TEST_F(ToolkitImageRegionsTest, AShownOutlineDoesNotKeepTheControlPainting)
{
    Give();
    c->RegionFrameKind = 1;
    c->RegionTool = 1;
    Drag({{2, 2}, {30, 20}});
    int paints = 0;
    c->OnPaint = [&](TObject*) { ++paints; };
    c->show();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    EXPECT_GE(paints, 1);
    const int settled = paints;
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    EXPECT_EQ(paints, settled);
    c->hide();
}

TEST_F(ToolkitImageRegionsTest, PolygonPointsAndRegionCalls)
{
    EXPECT_EQ(Raised([&] { c->FreeRgn(); }), QStringLiteral("Image \nFreeRgn: Image not allocated."));
    EXPECT_EQ(c->LastResult, TK_ErrBitmapHandle);
    EXPECT_EQ(Raised([&] { c->GetRgnHandle(); }), QStringLiteral("Image \nGetRgnHandle: Image not allocated."));
    EXPECT_FALSE(c->HasRgn());
    EXPECT_EQ(c->LastResult, 1);

    c->SetPolygonSize(5);
    c->SetPolygonPoint(4, TPoint{1, 2});
    EXPECT_EQ(c->LastResult, 1);
    for (int index : {5, -1}) {
        try {
            c->SetPolygonPoint(index, TPoint{});
            ADD_FAILURE() << index;
        } catch (const ERangeError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Image \nPolygonPoint[]: Index out of range."));
        }
        EXPECT_EQ(c->LastResult, 0);
    }
}

TEST_F(ToolkitImageRegionsTest, RubberBandIsNormalisedAndReported)
{
    Give();
    int bands = 0;
    c->OnRubberBand = [&](TObject*) { ++bands; };
    Drag({{30, 25}, {10, 5}});
    EXPECT_EQ(bands, 0); // not enabled
    c->RubberBandEnabled = 1;
    Drag({{30, 25}, {20, 8}, {10, 5}});
    EXPECT_EQ(bands, 1);
    EXPECT_EQ(c->RubberBandRect.Left, 10);
    EXPECT_EQ(c->RubberBandRect.Top, 5);
    EXPECT_EQ(c->RubberBandRect.Right, 30);
    EXPECT_EQ(c->RubberBandRect.Bottom, 25);
    EXPECT_FALSE(c->HasRgn());
    // Points past the picture are held at its edge.
    Drag({{5, 5}, {90, 90}});
    EXPECT_EQ(c->RubberBandRect.Right, 40);
    EXPECT_EQ(c->RubberBandRect.Bottom, 30);
}

TEST_F(ToolkitImageRegionsTest, DoubleClicksAndMovesWithoutAPressDoNothing)
{
    Give();
    c->RegionTool = 1;
    Send(QEvent::MouseMove, 10, 10, Qt::NoButton);
    Send(QEvent::MouseButtonRelease, 10, 10, Qt::NoButton);
    EXPECT_FALSE(c->HasRgn());
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5), c->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(c.get(), &dbl);
    Send(QEvent::MouseMove, 20, 20, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, 20, 20, Qt::NoButton);
    EXPECT_FALSE(c->HasRgn());

    // Nor does a press while the magnifier runs.
    ASSERT_EQ(c->StartMagGlass(50, 50, 2, 1, 0, false, 0, false, 0, false, false), TK_Success);
    Drag({{2, 2}, {20, 20}});
    EXPECT_FALSE(c->HasRgn());
    c->StopMagGlass();
    Drag({{2, 2}, {20, 20}});
    EXPECT_TRUE(c->HasRgn());
}

TEST_F(ToolkitImageRegionsTest, RotateTurnsTheFloaterInPlaceWithoutPilingUp)
{
    Give();
    c->SetEnableFloater(true);
    c->RegionTool = 1;
    Drag({{2, 2}, {6, 4}}); // 4 x 2
    int changes = 0;
    c->OnChange = [&](TObject*) { ++changes; };
    ASSERT_EQ(c->Rotate(90, 0, 0), TK_Success);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(c->ToolkitBitmap.Width, 40);
    // Centred on the old place: left 2 + (4 - 2) / 2, top 2 + (2 - 4) / 2.
    EXPECT_EQ(RegionBounds().Left, 3);
    EXPECT_EQ(RegionBounds().Top, 1);
    EXPECT_EQ(RegionBounds().Width(), 2);
    EXPECT_EQ(RegionBounds().Height(), 4);
    EXPECT_EQ(Origin(c->ToolkitBitmap, 3, 1), std::make_pair(2, 3));
    // Pixels the first turn left uncovered are the picture's again after the second.
    ASSERT_EQ(c->Rotate(90, 0, 0), TK_Success);
    EXPECT_EQ(RegionBounds().Left, 2);
    EXPECT_EQ(RegionBounds().Top, 2);
    EXPECT_EQ(Origin(c->ToolkitBitmap, 3, 1), std::make_pair(3, 1));
    EXPECT_EQ(Origin(c->ToolkitBitmap, 2, 2), std::make_pair(5, 3));

    EXPECT_EQ(Raised([&] { c->FastRotate(90); }), QStringLiteral("Image \nError code: -16\nFastRotate: Feature not supported. "));
    EXPECT_EQ(c->LastResult, TK_ErrNotSupported);
}

TEST_F(ToolkitImageRegionsTest, RotateAndFastRotateTurnThePicture)
{
    EXPECT_EQ(Raised([&] { c->Rotate(90, 0, 0); }), QStringLiteral("Image \nError code: -2\nRotate: Invalid bitmap handle. "));
    Give();
    ASSERT_EQ(c->Rotate(90, 0, 0), TK_Success);
    EXPECT_EQ(c->ToolkitBitmap.Width, 30);
    EXPECT_EQ(c->BitmapWidth, 30);
    ASSERT_EQ(c->FastRotate(90), TK_Success);
    EXPECT_EQ(c->ToolkitBitmap.ViewPerspective, 6);
    EXPECT_EQ(Raised([&] { c->FastRotate(45); }), QStringLiteral("Image \nError code: -13\nFastRotate: Invalid parameter passed. "));
    // The turned picture is what the list holds.
    TKBitmap item;
    ASSERT_EQ(TK_GetBitmapListItem(c->BitmapList, 0, &item), TK_Success);
    EXPECT_EQ(item.ViewPerspective, 6);
}

TEST_F(ToolkitImageRegionsTest, RotationsReportProgressAndAnAbortPutsThePictureBack)
{
    Give();
    c->SetEnableProgressEvent(true);
    std::vector<int> percents;
    int changes = 0;
    c->OnChange = [&](TObject*) { ++changes; };
    c->OnStatus = [&](TObject*, int percent) { percents.push_back(percent); };
    ASSERT_EQ(c->Rotate(90, 0, 0), TK_Success);
    ASSERT_GT(percents.size(), 3u);
    EXPECT_EQ(percents.front(), 0);
    EXPECT_EQ(percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(changes, 1);

    // Switching progress off from the status event stops each kind of rotation: the picture, its
    // list item and its view stay as they were, and no change is announced.
    c->SetEnableMethodErrors(false);
    const std::function<int()> operations[] = {[&] { return c->Rotate(30, 0, 0); },
                                               [&] { return c->FastRotate(90); }};
    for (const auto& operation : operations) {
        const TKBitmap before = c->ToolkitBitmap;
        const std::vector<uint8_t> pixels = *before.Pixels;
        changes = 0;
        percents.clear();
        c->OnStatus = [&](TObject*, int percent) {
            percents.push_back(percent);
            c->SetEnableProgressEvent(false);
        };
        c->SetEnableProgressEvent(true);
        EXPECT_EQ(operation(), TK_ErrUserAbort);
        EXPECT_EQ(percents, std::vector<int>{0});
        EXPECT_EQ(c->ToolkitBitmap.Width, before.Width);
        EXPECT_EQ(c->ToolkitBitmap.ViewPerspective, before.ViewPerspective);
        EXPECT_EQ(*c->ToolkitBitmap.Pixels, pixels);
        EXPECT_EQ(c->BitmapWidth, before.Width);
        TKBitmap item;
        ASSERT_EQ(TK_GetBitmapListItem(c->BitmapList, 0, &item), TK_Success);
        EXPECT_EQ(*item.Pixels, pixels);
        EXPECT_EQ(changes, 0);
    }
    // The control is free again and the next rotation runs whole.
    c->SetEnableProgressEvent(false);
    EXPECT_EQ(c->FastRotate(90), TK_Success);
}

TEST_F(ToolkitImageRegionsTest, FloaterFromOutside)
{
    Give();
    TKBitmap given = Marked(40, 30);
    ASSERT_EQ(TK_SetBitmapRgnRect(&given, nullptr, Rect(10, 10, 14, 13), TKRGN_Replace), TK_Success);
    c->SetFloaterBitmap(&given);
    EXPECT_FALSE(c->AutoFloater());
    EXPECT_FALSE(c->EnableFloater());
    EXPECT_EQ(c->FloaterBitmap().Width, 4);
    EXPECT_EQ(c->FloaterBitmap().Height, 3);
    EXPECT_EQ(c->FloaterDestRect.Right, 4);
    EXPECT_EQ(c->FloaterDestClip.Right, 100);
    c->FloaterDestRect = Bounds(50, 50, 8, 6);
    c->SetFloaterVisible(1);
    EXPECT_EQ(c->LastResult, 1);
    const QImage shot = c->grab().toImage();
    EXPECT_EQ(shot.pixelColor(51, 51), QColor(7, 10, 10));
    EXPECT_EQ(shot.pixelColor(57, 55), QColor(7, 10 + 2, 10 + 3));

    // Presses on a visible floater are the floater's: no shape starts.
    c->RegionTool = 1;
    c->FloaterDestRect = Bounds(2, 2, 8, 6);
    c->SetFloaterVisible(1);
    Drag({{4, 4}, {20, 20}});
    EXPECT_FALSE(c->HasRgn());
    Drag({{12, 12}, {20, 20}});
    EXPECT_TRUE(c->HasRgn());

    // EnableFloater follows only while AutoFloater is on.
    c->SetEnableFloater(true);
    EXPECT_EQ(c->LastResult, 0);
    EXPECT_FALSE(c->EnableFloater());
    c->SetAutoFloater(true);
    EXPECT_EQ(c->FloaterBitmap().Width, 0);
    c->SetFloaterBitmap(nullptr);
    EXPECT_FALSE(IsBitmapAllocated(&c->FloaterBitmap()));
}

TEST_F(ToolkitImageRegionsTest, ExternalChangeDropsTheRegionWithAutoFloater)
{
    Give();
    c->RegionTool = 1;
    Drag({{2, 2}, {10, 10}});
    ASSERT_TRUE(c->HasRgn());
    c->ExternalBitmapChange();
    EXPECT_FALSE(c->HasRgn());
}

TEST_F(ToolkitImageRegionsTest, OperationsWaitWhileTheControlIsBusy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.gif"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(toolkit_test::MakeGif(2, false));
    file.close();
    QString raised;
    c->OnFilePage = [&](TObject*) { raised = Raised([&] { c->Rotate(90, 0, 0); }); };
    ASSERT_EQ(c->Load(path, 24, 1, 1), TK_Success);
    EXPECT_EQ(raised, QStringLiteral("Image \nError code: 0\nProcessing Not allowed: Function not successful. "));
}

} // namespace
