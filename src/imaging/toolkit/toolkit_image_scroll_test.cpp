#include "imaging/toolkit/toolkit_image.h"

#include "imaging/toolkit/toolkit_panwindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>

namespace {

// A control of 100 x 80 pixels; pictures are put straight into its bitmap.
class ToolkitScrollTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        c = std::make_unique<TToolkitImage>();
        c->SetName(QStringLiteral("Image1"));
        c->SetBounds(0, 0, 100, 80);
    }
    void TearDown() override
    {
        c.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A picture whose pixel (x, y) is blue x, green y, red 7.
    void Picture(int width, int height)
    {
        ASSERT_EQ(TK_AllocateBitmap(&c->ToolkitBitmap, width, height, 24), TK_Success);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t* p = c->ToolkitBitmap.Row(y) + x * 3;
                p[0] = uint8_t(x);
                p[1] = uint8_t(y);
                p[2] = 7;
            }
        c->HasBitmap = 1;
        c->ImageChanged();
    }

    QScrollBar* Bar(Qt::Orientation o) const
    {
        for (QScrollBar* b : c->findChildren<QScrollBar*>())
            if (b->orientation() == o)
                return b;
        return nullptr;
    }

    void Key(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent down(QEvent::KeyPress, qtKey, mods);
        QCoreApplication::sendEvent(c.get(), &down);
        QKeyEvent up(QEvent::KeyRelease, qtKey, mods);
        QCoreApplication::sendEvent(c.get(), &up);
    }

    void Wheel(int delta, Qt::MouseButtons buttons = Qt::NoButton, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWheelEvent e(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), buttons, mods, Qt::NoScrollPhase,
                      false);
        QCoreApplication::sendEvent(c.get(), &e);
    }

    std::unique_ptr<TToolkitImage> c;
};

QString RaisedMessage(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QString();
}

TEST_F(ToolkitScrollTest, BarsShowOnlyWithARangeAndLeaveTheClientArea)
{
    Picture(40, 30);
    EXPECT_TRUE(Bar(Qt::Horizontal)->isHidden());
    EXPECT_TRUE(Bar(Qt::Vertical)->isHidden());
    EXPECT_EQ(c->ClientWidth(), 100);

    Picture(400, 50); // wider only: the horizontal bar takes height from the client area
    ASSERT_FALSE(Bar(Qt::Horizontal)->isHidden());
    const int extent = Bar(Qt::Horizontal)->height();
    EXPECT_EQ(c->ClientHeight(), 80 - extent);
    EXPECT_EQ(c->ClientWidth(), 100);
    EXPECT_EQ(c->ScrollRangeX(), 300);
    EXPECT_EQ(Bar(Qt::Horizontal)->maximum(), 300);
    EXPECT_EQ(c->ScrollRangeY(), 50 > 80 - extent ? 50 - (80 - extent) : 0);

    c->SetAutoScroll(false);
    EXPECT_TRUE(Bar(Qt::Horizontal)->isHidden());
    EXPECT_EQ(c->LastResult, 1);
    c->SetAutoScroll(true);
    EXPECT_FALSE(Bar(Qt::Horizontal)->isHidden());

    // Fitted to the sides, the fit leaves the vertical bar out of account: no bar across.
    c->SetPaintSizeMode(TToolkitImage::smFitSides);
    Picture(50, 400);
    EXPECT_FALSE(Bar(Qt::Vertical)->isHidden());
    EXPECT_TRUE(Bar(Qt::Horizontal)->isHidden());
    EXPECT_EQ(c->ViewWidth, 100);
    EXPECT_EQ(c->ScrollRangeX(), 0);
    EXPECT_EQ(c->ScrollRangeY(), 800 - 80);
    c->SetPaintSizeMode(TToolkitImage::smNormal);
    Picture(400, 50);

    // Sized to the picture, as the multi-frame viewer has it: nothing to scroll, no bars.
    c->SetAutoSize(true);
    EXPECT_TRUE(Bar(Qt::Horizontal)->isHidden());
    EXPECT_TRUE(Bar(Qt::Vertical)->isHidden());
    EXPECT_EQ(c->Width(), 400);
    EXPECT_EQ(c->Height(), 50);
}

TEST_F(ToolkitScrollTest, KeysMoveByLinesAndPages)
{
    Picture(400, 300);
    c->ScrollStep(50, 50);
    ASSERT_EQ(c->ScrollPosX(), 50);
    ASSERT_EQ(c->ScrollPosY(), 50);
    const struct {
        int Key;
        int Dx, Dy;
    } cases[] = {
        {Qt::Key_Right, 1, 0}, {Qt::Key_Left, -1, 0}, {Qt::Key_Down, 0, 2},
        {Qt::Key_Up, 0, -2},   {Qt::Key_PageDown, 0, 30}, {Qt::Key_PageUp, 0, -30},
    };
    for (const auto& k : cases) {
        const int x = c->ScrollPosX(), y = c->ScrollPosY();
        Key(k.Key);
        EXPECT_EQ(c->ScrollPosX() - x, k.Dx) << k.Key;
        EXPECT_EQ(c->ScrollPosY() - y, k.Dy) << k.Key;
        EXPECT_EQ(c->ViewLeft, -c->ScrollPosX());
        EXPECT_EQ(c->ViewTop, -c->ScrollPosY());
    }
    c->SetEnableKeyboard(false);
    Key(Qt::Key_Right);
    EXPECT_EQ(c->ScrollPosX(), 50);
}

TEST_F(ToolkitScrollTest, OnKeyDownFiresOnceAndOnlyWithTheFocus)
{
    Picture(400, 300);
    int downs = 0, ups = 0;
    TShiftState seen;
    c->OnKeyDown = [&](TObject*, WORD&, TShiftState shift) {
        ++downs;
        seen = shift;
    };
    c->OnKeyUp = [&](TObject*, WORD&, TShiftState) { ++ups; };
    Key(Qt::Key_A);
    EXPECT_EQ(downs, 0);
    c->setFocusPolicy(Qt::StrongFocus);
    c->show();
    QApplication::setActiveWindow(c.get());
    c->setFocus();
    if (!c->Focused())
        GTEST_SKIP() << "the platform gives no focus";
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
    EXPECT_TRUE(seen.testFlag(ssCtrl));
}

TEST_F(ToolkitScrollTest, PageIsATenthOfTheFirstPictureAndStays)
{
    Picture(400, 300);
    EXPECT_EQ(Bar(Qt::Horizontal)->pageStep(), 40);
    EXPECT_EQ(Bar(Qt::Vertical)->pageStep(), 30);
    Picture(800, 600);
    EXPECT_EQ(Bar(Qt::Horizontal)->pageStep(), 40);
    EXPECT_EQ(Bar(Qt::Vertical)->pageStep(), 30);
    c->HandleHScroll(3);
    EXPECT_EQ(c->ScrollPosX(), 40);
}

// A control that never painted nor showed a bar still pages by the picture's tenth.
TEST_F(ToolkitScrollTest, PagingBeforeAnyBarWasSetUp)
{
    c->SetAutoScroll(false);
    Picture(400, 300);
    c->SetAutoScroll(true);
    c->HandleVScroll(3);
    EXPECT_EQ(c->ScrollPosY(), 30);
}

TEST_F(ToolkitScrollTest, ScrollCodesClampAndFireEvents)
{
    Picture(400, 300);
    const int rangeX = c->ScrollRangeX();
    int before = 0, after = 0;
    c->OnBeforeScroll = [&](TObject*) { ++before; };
    c->OnScroll = [&](TObject*) { ++after; };
    c->HandleHScroll(0); // already at the start: no change
    EXPECT_EQ(c->ScrollPosX(), 0);
    EXPECT_EQ(before, 0);
    EXPECT_EQ(after, 1);
    c->HandleHScroll(7);
    EXPECT_EQ(c->ScrollPosX(), rangeX);
    EXPECT_EQ(before, 1);
    c->HandleHScroll(1);
    EXPECT_EQ(c->ScrollPosX(), rangeX);
    c->HandleHScroll(5, 100);
    EXPECT_EQ(c->ScrollPosX(), 100);
    c->HandleHScroll(5, 100000);
    EXPECT_EQ(c->ScrollPosX(), rangeX);
    c->HandleHScroll(6);
    EXPECT_EQ(c->ScrollPosX(), 0);
    c->HandleHScroll(99);
    EXPECT_EQ(c->ScrollPosX(), 0);

    c->SetEnableScroll(false);
    const int calls = after;
    c->HandleVScroll(3);
    EXPECT_EQ(c->ScrollPosY(), 0);
    EXPECT_EQ(after, calls);
}

TEST_F(ToolkitScrollTest, LongViewsHalveTheBarRange)
{
    Picture(400, 3);
    c->SetPaintZoomFactor(20000); // a view 80,000 pixels wide
    const int range = c->ScrollRangeX();
    int halved = range, shift = 0;
    while (halved > 32767) {
        halved = (halved + 1) / 2;
        ++shift;
    }
    ASSERT_EQ(shift, 2);
    EXPECT_EQ(Bar(Qt::Horizontal)->maximum(), halved);
    c->HandleHScroll(5, 1000);
    EXPECT_EQ(c->ScrollPosX(), 4000);
    EXPECT_EQ(Bar(Qt::Horizontal)->value(), 1000);
}

TEST_F(ToolkitScrollTest, WheelPagesUnlessAButtonIsHeld)
{
    Picture(400, 300);
    int wheels = 0;
    c->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool&) { ++wheels; };
    Wheel(-120);
    EXPECT_EQ(c->ScrollPosY(), 30);
    Wheel(120);
    EXPECT_EQ(c->ScrollPosY(), 0);
    Wheel(-120, Qt::LeftButton);
    Wheel(-120, Qt::MiddleButton);
    EXPECT_EQ(c->ScrollPosY(), 0);
    EXPECT_EQ(wheels, 4);
    Wheel(-120, Qt::NoButton, Qt::ShiftModifier);
    EXPECT_EQ(c->ScrollPosX(), 0);
    Wheel(120, Qt::NoButton, Qt::ShiftModifier);
    EXPECT_EQ(c->ScrollPosX(), 40);
    // Fine-grained wheels add up to a notch.
    Wheel(-60);
    EXPECT_EQ(c->ScrollPosY(), 0);
    Wheel(-60);
    EXPECT_EQ(c->ScrollPosY(), 30);
    c->WheelOff = true;
    Wheel(-120);
    EXPECT_EQ(c->ScrollPosY(), 30);
}

TEST_F(ToolkitScrollTest, ChildControlsFollowTheView)
{
    Picture(400, 300);
    auto* child = new TPanel(c.get());
    child->SetBounds(10, 20, 30, 30);
    c->ScrollStep(5, 8);
    EXPECT_EQ(child->Left(), 5);
    EXPECT_EQ(child->Top(), 12);
    // The picture is redrawn whole; children still follow rather than stay behind.
    c->DoubleBuffer = 1;
    c->ScrollStep(-5, -8);
    EXPECT_EQ(child->Left(), 10);
    EXPECT_EQ(child->Top(), 20);
}

TEST_F(ToolkitScrollTest, ScrollStepsOutOfRangeRaiseAndKeepTheStep)
{
    Picture(400, 300);
    c->ScrollStep(20, 20);
    const struct {
        std::function<void(int)> Set;
        std::function<int()> Get;
        const char* Text;
    } steps[] = {
        {[&](int v) { c->SetHScrollStep(v); }, [&] { return c->HScrollStep(); }, "Image1 \nHScrollStep: Scroll step out of range."},
        {[&](int v) { c->SetVScrollStep(v); }, [&] { return c->VScrollStep(); }, "Image1 \nVScrollStep: Scroll step out of range."},
    };
    for (const auto& s : steps) {
        bool range = false;
        try {
            s.Set(0);
        } catch (const ERangeError& e) {
            range = true;
            EXPECT_EQ(e.Message(), QLatin1String(s.Text));
        }
        EXPECT_TRUE(range);
        EXPECT_EQ(c->LastResult, 0);
        EXPECT_EQ(s.Get(), 10);
        EXPECT_EQ(c->ScrollPosX(), 20);
        s.Set(4);
        EXPECT_EQ(s.Get(), 4);
        EXPECT_EQ(c->ScrollPosX(), 0); // back to the origin
        c->ScrollStep(20, 20);
    }
}

TEST_F(ToolkitScrollTest, PanWindowFollowsAndMovesTheView)
{
    c->SetPanWinVisible(1); // no picture: nothing opens
    EXPECT_EQ(c->PanWindowHandle(), nullptr);
    Picture(400, 300);
    std::vector<int> kinds;
    c->OnPanWin = [&](TObject*, QWidget*, int kind) { kinds.push_back(kind); };
    c->SetPanWinTitle(QStringLiteral("Overview"));
    c->SetPanWinVisible(1);
    QWidget* pan = c->PanWindowHandle();
    ASSERT_NE(pan, nullptr);
    EXPECT_EQ(kinds, std::vector<int>{0});
    EXPECT_EQ(pan->windowTitle(), QLatin1String("Overview"));
    EXPECT_EQ(pan->objectName(), QLatin1String("TK_PANWINDOW_32"));
    TKRect frame;
    ASSERT_TRUE(TK_PanWindowFrame(pan, &frame));
    EXPECT_EQ(frame.Left, 0);
    EXPECT_EQ(frame.Width, c->ClientWidth());
    EXPECT_EQ(frame.Height, c->ClientHeight());

    c->ScrollStep(30, 40);
    ASSERT_TRUE(TK_PanWindowFrame(pan, &frame));
    EXPECT_EQ(frame.Left, 30);
    EXPECT_EQ(frame.Top, 40);

    // A drag centres the frame on the point: the control scrolls there.
    const double scale = std::min(pan->width() / 400.0, pan->height() / 300.0);
    const double left = (pan->width() - 400 * scale) / 2, top = (pan->height() - 300 * scale) / 2;
    ASSERT_EQ(TK_DragPanWindowFrame(pan, int(left + 200 * scale), int(top + 150 * scale)), TK_Success);
    EXPECT_EQ(kinds.back(), 1);
    EXPECT_NEAR(c->ScrollPosX(), 200 - c->ClientWidth() / 2, 2);
    EXPECT_NEAR(c->ScrollPosY(), 150 - c->ClientHeight() / 2, 2);
    EXPECT_EQ(c->ViewLeft, -c->ScrollPosX());

    // The whole picture with the frame in PanWinRectColor (255: red).
    c->SetPanWinRectColor(0x0000FF);
    const QImage shown = pan->grab().toImage();
    int red = 0, picture = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QColor px = shown.pixelColor(x, y);
            red += px == QColor(255, 0, 0);
            picture += px.red() == 7;
        }
    EXPECT_GT(red, 20);
    EXPECT_GT(picture, shown.width() * shown.height() / 3);

    // The user closes it.
    pan->close();
    EXPECT_EQ(kinds.back(), 2);
    EXPECT_EQ(c->PanWinVisible(), 0);
    EXPECT_EQ(c->PanWindowHandle(), nullptr);
}

TEST_F(ToolkitScrollTest, PanWindowGeometryAndFlags)
{
    Picture(400, 300);
    c->SetPanWinX(40);
    c->SetPanWinWidth(120);
    EXPECT_EQ(c->PanWinX(), 40);
    c->SetPanWinVisible(1);
    QWidget* pan = c->PanWindowHandle();
    ASSERT_NE(pan, nullptr);
    EXPECT_EQ(pan->width(), 120);
    c->SetPanWinHeight(90);
    EXPECT_EQ(pan->height(), 90);
    pan->resize(130, 95); // the user sizes it
    EXPECT_EQ(c->PanWinWidth(), 130);
    EXPECT_EQ(c->PanWinHeight(), 95);

    EXPECT_EQ(c->PanWinFlags(), 1u);
    const struct {
        std::function<void()> Set;
        uint32_t Flags;
    } steps[] = {
        {[&] { c->SetPanWinPaintDither(TToolkitImage::pdDiffusion); }, 0x0},
        {[&] { c->SetPanWinBitonalScaling(TToolkitImage::btsFavorBlack); }, 0x40},
        {[&] { c->SetPanWinBitonalScaling(TToolkitImage::btsScaleToGray); }, 0x10},
        {[&] { c->SetPanWinPaintPalette(TToolkitImage::ppFixedNetscape); }, 0x190},
        {[&] { c->SetPanWinPaintPalette(TToolkitImage::ppAutoNetscape); }, 0x110},
        {[&] { c->SetPanWinPaintScaling(TToolkitImage::psBicubic); }, 0x510},
        {[&] { c->SetPanWinPaintScaling(TToolkitImage::psResample); }, 0x310},
        {[&] { c->SetPanWinBitonalScaling(TToolkitImage::btsNormal); }, 0x300},
        {[&] { c->SetPanWinPaintPalette(TToolkitImage::ppAuto); }, 0x200},
        {[&] { c->SetPanWinPaintDither(TToolkitImage::pdOrdered); }, 0x201},
    };
    for (const auto& s : steps) {
        s.Set();
        EXPECT_EQ(c->PanWinFlags(), s.Flags);
        EXPECT_EQ(c->LastResult, 1);
    }
    // Minimising the window the control is on hides the pan window; it stays open.
    c->setWindowState(Qt::WindowMinimized);
    if (c->isMinimized()) {
        QEvent change(QEvent::WindowStateChange);
        QCoreApplication::sendEvent(c.get(), &change);
        EXPECT_FALSE(pan->isVisible());
        EXPECT_EQ(c->PanWindowHandle(), pan);
    }
    c->SetPanWinVisible(0);
    EXPECT_EQ(c->PanWindowHandle(), nullptr);
    c->SetPanWinVisible(1);
    ASSERT_NE(c->PanWindowHandle(), nullptr);
    c->ClearImage();
    EXPECT_EQ(c->PanWindowHandle(), nullptr);
    EXPECT_EQ(c->PanWinVisible(), 0);
}

TEST_F(ToolkitScrollTest, MagGlassResults)
{
    for (bool errors : {true, false}) {
        c->SetEnableMethodErrors(errors);
        EXPECT_EQ(RaisedMessage([&] { c->StartMagGlass(50, 50, 200, 1, 0, false, 0, false, 0, false, false); }),
                  QLatin1String("Image1 \nStartMagGlass: Image not allocated."));
        EXPECT_EQ(c->LastResult, -2);
    }
    c->SetEnableMethodErrors(true);
    EXPECT_EQ(RaisedMessage([&] { c->StopMagGlass(); }),
              QStringLiteral("Image1 \nError code: 0\nStopMagGlass: %1 ").arg(ToolkitErrorText(0)));
    c->SetEnableMethodErrors(false);
    EXPECT_EQ(c->StopMagGlass(), 0);

    Picture(40, 30);
    EXPECT_EQ(c->StartMagGlass(20, 20, 400, 0, 0, false, 0, false, 0, false, false), 1);
    EXPECT_TRUE(c->MagGlassActive());
    EXPECT_EQ(c->StartMagGlass(20, 20, 400, 0, 0, false, 0, false, 0, false, false), -13);
    EXPECT_EQ(c->LastResult, -13);
    EXPECT_EQ(c->StopMagGlass(), 1);
    EXPECT_FALSE(c->MagGlassActive());
    EXPECT_FALSE(TK_IsMagnifierOn(c.get()));
}

TEST_F(ToolkitScrollTest, MagGlassShowsThePictureEnlarged)
{
    Picture(40, 30);
    c->SetMagGlassPaintScaling(TToolkitImage::psNormal);
    ASSERT_EQ(c->StartMagGlass(20, 20, 400, 0, 0, false, 0, false, 0, false, false), 1);
    // The mouse over pixel (10, 12): the glass centre shows it, four glass pixels per picture pixel.
    const QImage glass = TK_MagnifierGlassAt(c.get(), 10, 12);
    ASSERT_EQ(glass.size(), QSize(20, 20));
    EXPECT_EQ(QColor(glass.pixel(10, 10)), QColor(7, 12, 10));
    EXPECT_EQ(QColor(glass.pixel(10 + 4, 10)), QColor(7, 12, 11));
    EXPECT_EQ(QColor(glass.pixel(10, 10 - 4)), QColor(7, 11, 10));
    EXPECT_TRUE(TK_MagnifierGlassAt(c.get(), 60, 12).isNull()); // beside the picture

    // A scroll moves the destination with the view.
    Picture(400, 300);
    ASSERT_TRUE(c->MagGlassActive()); // restarted with the new picture
    c->ScrollStep(100, 0);
    const QImage moved = TK_MagnifierGlassAt(c.get(), 10, 12);
    EXPECT_EQ(QColor(moved.pixel(10, 10)), QColor(7, 12, 110));
}

TEST_F(ToolkitScrollTest, MagGlassCallbackOrderAndSwitch)
{
    Picture(40, 30);
    std::vector<std::array<int, 3>> seen;
    c->OnMagGlass = [&](TObject*, int kind, int x, int y) { seen.push_back({kind, x, y}); };
    c->MagGlassCallbackEnabled = true;
    ASSERT_EQ(c->StartMagGlass(20, 20, 200, 0, 0, false, 0, false, 0, false, false), 1);
    TK_MagnifierGlassAt(c.get(), 5, 9);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], (std::array<int, 3>{0, 5, 9}));
    c->MagGlassCallbackEnabled = false;
    TK_MagnifierGlassAt(c.get(), 6, 9); // answered -100: the toolkit stops calling
    c->MagGlassCallbackEnabled = true;
    TK_MagnifierGlassAt(c.get(), 7, 9);
    EXPECT_EQ(seen.size(), 1u);
}

// Losing the picture while the glass runs stops it instead of raising from inside the change.
TEST_F(ToolkitScrollTest, MagGlassStopsQuietlyWithoutAPicture)
{
    Picture(40, 30);
    ASSERT_EQ(c->StartMagGlass(20, 20, 200, 0, 0, false, 0, false, 0, false, false), 1);
    c->ClearImage();
    EXPECT_NO_THROW(c->ImageChanged());
    EXPECT_FALSE(c->MagGlassActive());
    EXPECT_FALSE(TK_IsMagnifierOn(c.get()));
}

TEST_F(ToolkitScrollTest, MagGlassCursorEvent)
{
    Picture(40, 30);
    int cursors = 0;
    c->OnMagGlassCursor = [&](TObject*) { ++cursors; };
    c->MagGlassFlags = TKMF_OwnerCursor;
    ASSERT_EQ(c->StartMagGlass(20, 20, 200, 0, 0, false, 0, false, 0, false, false), 1);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(c.get(), &enter);
    EXPECT_EQ(cursors, 1);
    c->MagGlassCursorSuppress = true;
    QCoreApplication::sendEvent(c.get(), &enter);
    EXPECT_EQ(cursors, 1);
}

// A zoom factor of 0 would divide the capture size by nothing.
TEST_F(ToolkitScrollTest, ZoomInCaptureWithAZeroZoom)
{
    Picture(40, 30);
    c->SetPaintZoomFactor(0);
    EXPECT_NO_THROW(c->ZoomInTimer());
    EXPECT_GT(c->LastZoomInRect.Width(), 0);
    EXPECT_GT(c->LastZoomInRect.Height(), 0);
}

TEST_F(ToolkitScrollTest, ZoomInCaptureTakesTheScreenAroundTheMouse)
{
    Picture(40, 30);
    c->SetPaintZoomFactor(200);
    QWidget target;
    target.resize(300, 300);
    c->ZoomInTarget = &target;
    c->ZoomInTimer();
    const TRect r = c->LastZoomInRect;
    EXPECT_LE(r.Width(), c->ClientWidth() * 100 / 200);
    EXPECT_LE(r.Height(), c->ClientHeight() * 100 / 200);
    if (c->LastResult == TK_Success) {
        EXPECT_EQ(c->ToolkitBitmap.Width, r.Width());
        EXPECT_EQ(c->ToolkitBitmap.Height, r.Height());
        EXPECT_EQ(c->HasBitmap, 1);
    }
    // The outline of the capture is taken away by the next one.
    EXPECT_EQ(target.findChildren<QWidget*>().size(), 1);
    c->ZoomInTimer();
    EXPECT_EQ(target.findChildren<QWidget*>().size(), 1);
    c->ZoomInTarget = nullptr;
    c->ZoomInTimer();
    EXPECT_EQ(target.findChildren<QWidget*>().size(), 0);
}

} // namespace
