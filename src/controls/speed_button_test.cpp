#include "controls/speed_button.h"

#include "controls/controls_testing.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/exceptions.h"
#include "framework/menus.h"

#include <QMenu>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ControlsTest;

namespace {

constexpr uint32_t Red = 0xFFFF0000u, Blue = 0xFF0000FFu, Fuchsia = 0xFFFF00FFu, Black = 0xFF000000u;

// A strip of `count` square pictures of size h: picture i is a filled square of colors[i] with a
// one-pixel fuchsia (transparent) border.
std::unique_ptr<TBitmap> Strip(int count, int h, std::initializer_list<uint32_t> colors)
{
    auto b = std::make_unique<TBitmap>(count * h, h);
    auto it = colors.begin();
    for (int i = 0; i < count; ++i, ++it)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < h; ++x) {
                const bool border = x == 0 || y == 0 || x == h - 1 || y == h - 1;
                b->SetPixelArgb(i * h + x, y, border ? Fuchsia : *it);
            }
    return b;
}

uint32_t ListPixel(TRxButtonGlyph& g, int index, int x, int y) { return g.GlyphList()->Image(index).pixel(x, y); }

QImage Shot(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }
uint32_t Px(const QImage& i, int x, int y) { return i.pixel(x, y) | 0xFF000000u; }

} // namespace

TEST(ButtonGlyph, StripIsCutIntoStatePictures)
{
    TRxButtonGlyph g;
    auto two = Strip(2, 16, {Red, Blue});
    g.AssignGlyph(two.get());
    EXPECT_EQ(g.NumGlyphs(), 2);
    EXPECT_EQ(g.TransparentColor(), clFuchsia);
    const int up = g.StateImageIndex(StateUp);
    const int disabled = g.StateImageIndex(StateDisabled);
    ASSERT_GE(up, 0);
    ASSERT_GE(disabled, 0);
    EXPECT_EQ(ListPixel(g, up, 5, 5), Red);
    EXPECT_EQ(ListPixel(g, disabled, 5, 5), Blue);
    // The transparent border is left out.
    EXPECT_EQ(qAlpha(ListPixel(g, up, 0, 0)), 0);
    // Down shares the up picture; exclusive is a copy of picture 0; inactive is its grey.
    EXPECT_EQ(g.StateImageIndex(StateDown), up);
    EXPECT_EQ(ListPixel(g, g.StateImageIndex(StateExclusive), 5, 5), Red);
    const int grey = (77 * 255) >> 8;
    EXPECT_EQ(ListPixel(g, g.StateImageIndex(StateInactive), 5, 5), qRgb(grey, grey, grey));
    // A picture once built is kept.
    EXPECT_EQ(g.StateImageIndex(StateUp), up);

    struct Case {
        int width, height, numGlyphs;
    } cases[] = {{96, 16, 1}, {80, 16, 5}, {48, 16, 3}, {16, 16, 1}, {20, 16, 1}};
    for (const Case& c : cases) {
        TRxButtonGlyph h;
        h.SetGlyphCount(2);
        TBitmap b(c.width, c.height);
        h.AssignGlyph(&b);
        // A strip that is not a row of squares keeps the count it had.
        EXPECT_EQ(h.NumGlyphs(), c.width % c.height ? 2 : c.numGlyphs) << c.width;
    }

    // A single picture gets its disabled look from its black pixels.
    TRxButtonGlyph one;
    auto outline = Strip(1, 8, {Black});
    one.AssignGlyph(outline.get());
    const int d = one.StateImageIndex(StateDisabled);
    EXPECT_EQ(ListPixel(one, d, 3, 3) | 0xFF000000u, ColorToArgb(clBtnShadow));
    EXPECT_EQ(qAlpha(ListPixel(one, d, 0, 0)), 0);

    TRxButtonGlyph empty;
    EXPECT_EQ(empty.StateImageIndex(StateUp), -1);
}

TEST(ButtonGlyph, SameSizedGlyphsShareOneListThatGoesWithTheLastPicture)
{
    auto strip = Strip(1, 16, {Red});
    auto other = Strip(1, 12, {Blue});
    {
        auto a = std::make_unique<TRxButtonGlyph>();
        auto b = std::make_unique<TRxButtonGlyph>();
        auto c = std::make_unique<TRxButtonGlyph>();
        a->AssignGlyph(strip.get());
        b->AssignGlyph(strip.get());
        c->AssignGlyph(other.get());
        const int ia = a->StateImageIndex(StateUp);
        const int ib = b->StateImageIndex(StateUp);
        c->StateImageIndex(StateUp);
        EXPECT_EQ(a->GlyphList(), b->GlyphList());
        EXPECT_NE(a->GlyphList(), c->GlyphList());
        EXPECT_NE(ia, ib);
        ASSERT_NE(GlyphCache(), nullptr);
        EXPECT_EQ(GlyphCache()->ListCount(), 2);
        // A freed slot is taken again by the next picture.
        a->ReleaseImages();
        EXPECT_EQ(b->GlyphList()->UsedCount(), 1);
        EXPECT_EQ(a->StateImageIndex(StateUp), ia);
        c.reset();
        EXPECT_EQ(GlyphCache()->ListCount(), 1);
    }
    EXPECT_EQ(GlyphCache(), nullptr);
}

TEST(ButtonGlyph, LayoutPlacesGlyphAndCaption)
{
    TBitmap canvasBitmap(100, 100);
    TCanvas* c = canvasBitmap.Canvas();
    // The frame of an up, new-style button leaves (3,3)-(21,20) of a 24 by 23 button.
    EXPECT_EQ(DrawSpeedButtonFrame(c, Rect(0, 0, 24, 23), false, false, bsNew), Rect(3, 3, 21, 20));
    EXPECT_EQ(DrawSpeedButtonFrame(c, Rect(0, 0, 24, 23), true, false, bsNew), Rect(3, 3, 21, 20));
    EXPECT_EQ(DrawSpeedButtonFrame(c, Rect(0, 0, 24, 23), false, true, bsNew), Rect(2, 2, 22, 21));

    TRxButtonGlyph g;
    auto strip = Strip(1, 16, {Red});
    g.AssignGlyph(strip.get());
    QString caption;
    TRxButtonGlyph::Layout l = g.ComputeLayout(c, Rect(3, 3, 21, 20), caption, blGlyphTop, -1, 1, false, nullptr, -1, DT_CENTER);
    EXPECT_EQ(l.glyph, (TPoint{4, 3}));

    // Automatic margin and spacing split the free room in three.
    caption = QStringLiteral("Go");
    TRect measured = Rect(0, 0, 100, 0);
    DrawText(c, caption, measured, DT_CALCRECT);
    const int textWidth = measured.Width();
    l = g.ComputeLayout(c, Rect(0, 0, 100, 30), caption, blGlyphLeft, -1, -1, false, nullptr, -1, DT_CENTER);
    const int third = (100 - 16 - textWidth) / 3;
    EXPECT_EQ(l.glyph.X, third);
    EXPECT_EQ(l.caption.Left, third + 16 + third);
    EXPECT_EQ(l.caption.Width(), textWidth);

    // A caption too long for the room is shortened with an ellipsis.
    caption = QStringLiteral("A caption far too long for this button");
    l = g.ComputeLayout(c, Rect(0, 0, 60, 30), caption, blGlyphLeft, 2, 2, false, nullptr, -1, DT_CENTER);
    EXPECT_TRUE(caption.endsWith(QLatin1String("...")));
    EXPECT_LE(c->TextWidth(caption), 60 - 16 - 4);

    // The drop-down mark: 7, 5, 3 and 1 pixels.
    TBitmap mark(10, 6);
    mark.Canvas()->Brush()->SetColor(clWhite);
    mark.Canvas()->FillRect(Rect(0, 0, 10, 6));
    TRxButtonGlyph::DrawDropDownMark(mark.Canvas(), 1, 1, StateUp);
    mark.Canvas()->FinishDrawing();
    int dark[4] = {};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 10; ++x)
            dark[y] += (mark.PixelArgb(x, y) & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_EQ(dark[0], 7);
    EXPECT_EQ(dark[1], 5);
    EXPECT_EQ(dark[2], 3);
    EXPECT_EQ(dark[3], 1);
}

TEST(RxSpeedButton, PressMovesThroughTheStatesAndClicksInside)
{
    Window w;
    auto* b = w.Add<TRxSpeedButton>(10, 10, 24, 23);
    auto strip = Strip(1, 16, {Red});
    b->SetGlyph(strip.get());
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    // The glyph sits at (4, 3) and moves by one pixel while the button is pressed.
    EXPECT_EQ(Px(Shot(b), 5, 4), Red);
    EXPECT_NE(Px(Shot(b), 4, 3), Red);
    QTest::mousePress(b, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(b->State(), StateDown);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(Px(Shot(b), 6, 5), Red);
    EXPECT_NE(Px(Shot(b), 5, 4), Red);
    QTest::mouseMove(b, QPoint(40, 5));
    EXPECT_EQ(b->State(), StateUp);
    QTest::mouseMove(b, QPoint(23, 23)); // the bottom edge still counts as inside
    EXPECT_EQ(b->State(), StateDown);
    QTest::mouseRelease(b, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(b->State(), StateUp);
    EXPECT_EQ(clicks, 1);

    QTest::mousePress(b, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(b, Qt::LeftButton, Qt::NoModifier, QPoint(40, 5));
    EXPECT_EQ(clicks, 1);

    // Writing Down on a button outside a group leaves it up.
    b->SetDown(true);
    EXPECT_FALSE(b->Down());

    // A disabled button paints disabled and ignores the mouse; enabled again it is up.
    b->SetEnabled(false);
    Shot(b);
    EXPECT_EQ(b->State(), StateDisabled);
    b->SetEnabled(true);
    Shot(b);
    EXPECT_EQ(b->State(), StateUp);
}

TEST(RxSpeedButton, OneButtonOfAGroupStaysDown)
{
    Window w;
    auto* first = w.Add<TRxSpeedButton>(10, 10, 25, 25);
    auto* second = w.Add<TRxSpeedButton>(40, 10, 25, 25);
    auto* elsewhere = w.Add<TRxSpeedButton>(70, 10, 25, 25);
    for (TRxSpeedButton* b : {first, second})
        b->SetGroupIndex(1);
    elsewhere->SetGroupIndex(2);
    first->SetDown(true);
    elsewhere->SetDown(true);
    EXPECT_EQ(first->State(), StateExclusive);

    QTest::mouseClick(second, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_TRUE(second->Down());
    EXPECT_EQ(second->State(), StateExclusive);
    EXPECT_FALSE(first->Down());
    EXPECT_EQ(first->State(), StateUp);
    EXPECT_TRUE(elsewhere->Down());

    // Pressing the down button again keeps it down...
    int clicks = 0;
    second->OnClick = [&](TObject*) { ++clicks; };
    QTest::mouseClick(second, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_TRUE(second->Down());
    EXPECT_EQ(clicks, 1);
    // ...unless the group allows all up; the setting spreads to the group.
    first->SetAllowAllUp(true);
    EXPECT_TRUE(second->AllowAllUp());
    QTest::mouseClick(second, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(second->Down());
    EXPECT_EQ(second->State(), StateUp);
    EXPECT_FALSE(first->Down());
}

TEST(RxSpeedButton, HeldButtonRepeatsItsClick)
{
    Window w;
    auto* b = w.Add<TRxSpeedButton>(10, 10, 25, 25);
    b->SetAllowTimer(true);
    b->SetInitPause(150);
    b->SetRepeatInterval(50);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    QTest::mousePress(b, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::qWait(420);
    // About 150, 200, ... 400 ms: six ticks, give or take the test machine.
    EXPECT_GE(clicks, 3);
    EXPECT_LE(clicks, 7);
    const int held = clicks;
    // Outside the button the timer does not click.
    QTest::mouseMove(b, QPoint(60, 5));
    b->RepeatTick();
    EXPECT_EQ(clicks, held);
    QTest::mouseMove(b, QPoint(5, 5));
    QTest::mouseRelease(b, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_GE(clicks, held + 1);
    const int released = clicks;
    QTest::qWait(150);
    EXPECT_EQ(clicks, released);

    // A click handler that fails stops the timer and its error goes on.
    QTest::mousePress(b, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    b->OnClick = [&](TObject*) { throw Exception("stop"); };
    EXPECT_THROW(b->RepeatTick(), Exception);
    b->OnClick = [&](TObject*) { ++clicks; };
    QTest::qWait(150);
    EXPECT_EQ(clicks, released);
    QTest::mouseRelease(b, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
}

TEST(RxSpeedButton, DropDownMenuOpensUnderTheButtonWithoutAClick)
{
    Window w;
    auto* b = w.Add<TRxSpeedButton>(30, 20, 40, 25);
    auto* menu = new TPopupMenu(w.form.get());
    auto* item = new TMenuItem(menu);
    item->SetCaption(QStringLiteral("First"));
    menu->Items()->Add(item);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_EQ(b->MenuAnchor(), (TPoint{0, 0}));
    b->SetDropDownMenu(menu);
    EXPECT_EQ(b->MenuAnchor(), (TPoint{-1, 25}));
    b->SetMenuPosition(dmpRight);
    EXPECT_EQ(b->MenuAnchor(), (TPoint{40, -1}));
    b->SetMenuPosition(dmpBottom);

    QPoint shownAt;
    bool popupRan = false;
    menu->OnPopup = [&](TObject*) { popupRan = true; };
    QTimer::singleShot(50, [&] {
        shownAt = menu->PopupQMenu()->pos();
        menu->PopupQMenu()->close();
    });
    QTest::mousePress(b, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_TRUE(popupRan);
    EXPECT_EQ(menu->PopupComponent(), b);
    EXPECT_EQ(shownAt, b->mapToGlobal(QPoint(-1, 25)));
    QTest::mouseRelease(b, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(b->State(), StateUp);

    // A menu that goes away leaves the button without one.
    delete menu;
    EXPECT_EQ(b->DropDownMenu(), nullptr);
}

TEST(RxSpeedButton, FlatButtonIsRaisedOnlyUnderTheMouse)
{
    Window w;
    auto* b = w.Add<TRxSpeedButton>(10, 10, 24, 23);
    b->SetFlat(true);
    auto strip = Strip(1, 16, {Red});
    b->SetGlyph(strip.get());
    const uint32_t face = ColorToArgb(clBtnFace);
    QImage s = Shot(b);
    // No frame, and the glyph is grey until the mouse comes.
    EXPECT_EQ(Px(s, 0, 0), face);
    EXPECT_EQ(Px(s, 23, 22), face);
    const int grey = (77 * 255) >> 8;
    EXPECT_EQ(Px(s, 10, 10), qRgb(grey, grey, grey) | 0xFF000000u);

    int entered = 0;
    b->OnMouseEnter = [&](TObject*) { ++entered; };
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(b->mapToGlobal(QPoint(5, 5))));
    QApplication::sendEvent(b, &enter);
    EXPECT_TRUE(b->MouseInControl());
    EXPECT_EQ(entered, 1);
    s = Shot(b);
    EXPECT_EQ(Px(s, 0, 0), ColorToArgb(clBtnHighlight));
    EXPECT_EQ(Px(s, 10, 10), Red);

    b->SetGrayedInactive(false);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b, &leave);
    EXPECT_FALSE(b->MouseInControl());
    EXPECT_EQ(Px(Shot(b), 10, 10), Red);
}
