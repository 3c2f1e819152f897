#include "controls/hint_window.h"

#include "controls/controls_testing.h"
#include "framework/application.h"
#include "framework/canvas.h"
#include "framework/edit.h"

#include <QHelpEvent>
#include <QToolTip>
#include <set>
#include <gtest/gtest.h>

using namespace ControlsTest;

namespace {

// Sets the hint style for one test and puts the desktop's tooltips back after it.
struct Style {
    Style(uint8_t shape, uint8_t shadow, bool tail, int alignment) { InstallStyledHintWindow(shape, shadow, tail, alignment); }
    ~Style()
    {
        SetHintWindowClass(nullptr);
        HintShape = 0;
        HintShadowSize = 0;
        HintTail = false;
        HintAlignment = 0;
    }
};

// The size of text as the hint window lays it out.
TSize Measure(THintWindow& w, const QString& text)
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    TCanvas c;
    c.SetBits(scratch.bits(), 1, 1, int(scratch.bytesPerLine()));
    c.Font()->Assign(w.Font());
    TRect r = Rect(0, 0, 10000, 0);
    DrawText(&c, text, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    c.SetBits(nullptr, 0, 0, 0);
    return {r.Width(), r.Height()};
}

uint32_t Px(const QImage& i, int x, int y) { return i.pixel(x, y) | 0xFF000000u; }

} // namespace

TEST(RxHintWindow, SizeOfTheBuildersStyle)
{
    Style style(0, 3, false, 2);
    TRxHintWindow w;
    const QString text = QStringLiteral("Move Backward");
    const TSize t = Measure(w, text);
    const TRect r = w.CalcHintRect(Screen->Width(), text);
    EXPECT_EQ(r, Rect(0, 0, t.cx + 8 + 3, t.cy + 4 + 3));
    EXPECT_EQ(w.BodyRect(), Rect(0, 0, t.cx + 8, t.cy + 4));
    // Centred text moves one pixel left inside the body.
    EXPECT_EQ(w.TextRect(), Rect(0, 1, t.cx + 6, t.cy + 3));

    // Long text wraps within the width it is given.
    const TRect narrow = w.CalcHintRect(60, QStringLiteral("several words that cannot fit on one line"));
    EXPECT_LE(narrow.Width(), 60 + 8 + 3 + 20);
    EXPECT_GT(narrow.Height(), 2 * t.cy);
}

TEST(RxHintWindow, ShapesGrowAroundTheText)
{
    const QString text = QStringLiteral("Ellipse hint");
    for (uint8_t shape : {1, 2}) {
        Style style(shape, 0, false, 0);
        TRxHintWindow w;
        const TSize t = Measure(w, text);
        const TRect r = w.CalcHintRect(Screen->Width(), text);
        const TRect body = w.BodyRect(), inner = w.TextRect();
        EXPECT_EQ(r, body);
        EXPECT_GT(body.Width(), t.cx + 8);
        EXPECT_GT(body.Height(), t.cy + 4);
        if (shape == 2) {
            // Every corner of the text lies inside the ellipse.
            const double a = body.Width() / 2.0, b = body.Height() / 2.0;
            for (TPoint p : {inner.TopLeft(), inner.BottomRight(), TPoint{inner.Left, inner.Bottom}, TPoint{inner.Right, inner.Top}}) {
                const double x = (p.X - a) / a, y = (p.Y - b) / b;
                EXPECT_LE(x * x + y * y, 1.05) << p.X << "," << p.Y;
            }
        }
    }
    // With a tail the window grows by the tail; below the cursor the body moves down and right.
    Style style(0, 0, true, 0);
    TRxHintWindow w;
    const TRect plain = w.CalcHintRect(Screen->Width(), text);
    const TSize t = Measure(w, text);
    const int tail = std::max(14, std::min(t.cx + 6, t.cy + 2) / 2);
    EXPECT_EQ(plain.Width(), t.cx + 8 + tail - 8);
    EXPECT_EQ(plain.Height(), t.cy + 4 + tail);
    w.ActivateHintAt(Bounds(100, 100, 10, 10), text, {200, 10});
    EXPECT_EQ(w.TailPosition(), 2);
    EXPECT_EQ(w.BodyRect().Top, tail);
    EXPECT_EQ(w.BodyRect().Left, tail - 8);
    w.ActivateHintAt(Bounds(100, 100, 10, 10), text, {200, 300});
    EXPECT_EQ(w.TailPosition(), 0);
    EXPECT_EQ(w.y() + w.height(), 300 - 3);
    EXPECT_EQ(w.x(), 201);
    EXPECT_EQ(w.BodyRect().Top, 0);
}

TEST(RxHintWindow, StaysOnTheScreenWithoutCoveringTheCursor)
{
    Style style(0, 3, false, 2);
    TRxHintWindow w;
    const QString text = QStringLiteral("Preview with IE");
    const TRect size = w.CalcHintRect(Screen->Width(), text);
    const int sw = Screen->Width(), sh = Screen->Height();
    struct Case {
        TPoint at, cursor, expected;
    } cases[] = {
        // Room enough: where it was asked for.
        {{100, 120}, {100, 100}, {100, 120}},
        // Past the right edge: ends at the edge...
        {{sw - 20, 120}, {sw - 200, 100}, {sw - size.Width(), 120}},
        // ...or, when that would cover the cursor, 3 pixels left of it.
        {{sw - 20, 120}, {sw - 10, 100}, {sw - 10 - size.Width() - 3, 120}},
        // Past the bottom: above the cursor.
        {{100, sh - 5}, {100, sh - 10}, {100, sh - 10 - size.Height() - 3}},
    };
    for (const Case& c : cases) {
        w.ActivateHintAt(Bounds(c.at.X, c.at.Y, 1, 1), text, c.cursor);
        EXPECT_EQ(w.pos(), QPoint(c.expected.X, c.expected.Y)) << c.at.X << "," << c.at.Y;
        EXPECT_EQ(w.size(), QSize(size.Width(), size.Height()));
    }
    w.hide();
}

TEST(RxHintWindow, PictureOfPlainAndShadowedHints)
{
    const QString text = QStringLiteral("Insert");
    {
        // Plain: a raised edge around the hint colour, nothing read from the screen.
        TRxHintWindow w;
        w.ActivateHintAt(Bounds(50, 50, 1, 1), text, {40, 40});
        EXPECT_FALSE(w.ScreenCaptured());
        const QImage shot = w.grab().toImage();
        EXPECT_EQ(Px(shot, 0, 0), ColorToArgb(cl3DLight));
        EXPECT_EQ(Px(shot, shot.width() - 1, shot.height() - 1), ColorToArgb(cl3DDkShadow));
        EXPECT_EQ(Px(shot, 1, shot.height() / 2), ColorToArgb(clInfoBk));
        w.hide();
    }
    Style style(0, 3, false, 2);
    TRxHintWindow w;
    w.ActivateHintAt(Bounds(50, 50, 1, 1), text, {40, 40});
    // Offscreen there is no screen to read: the corners outside the shape take the hint colour.
    EXPECT_FALSE(w.ScreenCaptured());
    const QImage shot = w.grab().toImage();
    const int W = shot.width(), H = shot.height();
    EXPECT_EQ(Px(shot, W - 1, 0), ColorToArgb(clInfoBk));
    EXPECT_EQ(Px(shot, 0, H - 1), ColorToArgb(clInfoBk));
    // The last 3 pixels each way are the dithered shadow.
    std::set<uint32_t> shadow;
    for (int x = 3; x < W - 3; ++x)
        shadow.insert(Px(shot, x, H - 2));
    EXPECT_EQ(shadow, (std::set<uint32_t>{ColorToArgb(clBtnFace), ColorToArgb(clWindowText)}));
    EXPECT_EQ(Px(shot, 0, 0), ColorToArgb(cl3DLight));
    w.hide();
}

TEST(RxHintWindow, InstalledForEveryHintOfTheProgram)
{
    Window win;
    auto* edit = win.Add<TEdit>(10, 10, 100, 21);
    edit->SetHint(QStringLiteral("Frame duration|Duration of the frame in hundredths of a second"));
    edit->SetShowHint(true);
    Style style(0, 3, false, 2);
    QWidget* target = edit->findChild<QWidget*>();
    ASSERT_NE(target, nullptr);
    const QPoint local(5, 5);
    QHelpEvent help(QEvent::ToolTip, local, target->mapToGlobal(local));
    QApplication::sendEvent(target, &help);
    THintWindow* w = CurrentHintWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_NE(dynamic_cast<TRxHintWindow*>(w), nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->Caption(), "Frame duration");
    // The desktop's own tooltip does not show as well.
    EXPECT_FALSE(QToolTip::isVisible());

    // A key press takes the hint away; so does leaving the control.
    Key(target, Qt::Key_Shift);
    EXPECT_FALSE(w->isVisible());
    QApplication::sendEvent(target, &help);
    EXPECT_TRUE(w->isVisible());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(target, &leave);
    EXPECT_FALSE(w->isVisible());

    // Installing again makes a new window of the new style for the next hint.
    InstallStyledHintWindow(2, 0, true, 0);
    EXPECT_EQ(CurrentHintWindow(), nullptr);
    QApplication::sendEvent(target, &help);
    ASSERT_NE(CurrentHintWindow(), nullptr);
    EXPECT_TRUE(CurrentHintWindow()->isVisible());
    CurrentHintWindow()->hide();
}
