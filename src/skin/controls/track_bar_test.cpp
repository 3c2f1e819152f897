#include "skin/controls/track_bar.h"

#include "framework/bitmap.h"
#include "framework/forms.h"
#include "skin/controls/scroll_bar.h"
#include "skin/controls/skin_entry_classes.h"
#include "skin/skin_testing.h"
#include "skin/theme_pictures.h"

#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

constexpr TsuiUIStyle AllStyles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};

struct TrackForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    TsuiTrackBar* track;
    int changes = 0;
    explicit TrackForm(TsuiUIStyle style = DeepBlue, TsuiProgressBarOrientation o = suiHorizontal, int length = 401)
    {
        form->SetBounds(0, 0, 500, 500);
        track = new TsuiTrackBar(form.get());
        track->SetParent(form.get());
        track->SetUIStyle(style);
        track->SetOrientation(o);
        if (o == suiHorizontal)
            track->SetBounds(10, 10, length, track->Height());
        else
            track->SetBounds(10, 10, track->Width(), length);
        track->OnChange = [this](TObject*) { ++changes; };
    }
};

} // namespace

TEST(SuiTrackBar, RangeRules)
{
    TrackForm f;
    TsuiTrackBar* t = f.track;
    t->SetMin(-255);
    t->SetMax(255);
    t->SetPosition(0);
    f.changes = 0;
    t->SetPosition(300);
    EXPECT_EQ(t->Position(), 255);
    EXPECT_EQ(f.changes, 1);
    EXPECT_EQ(t->LastChange(), 255);
    t->SetPosition(255);
    EXPECT_EQ(f.changes, 1);

    // Max below Min is held at Min and pulls Position down with it.
    TrackForm g;
    g.track->SetPosition(7);
    g.track->SetMax(-5);
    EXPECT_EQ(g.track->Max(), 0);
    EXPECT_EQ(g.track->Position(), 0);
    g.track->SetMin(20);
    EXPECT_EQ(g.track->Min(), 0);

    // Page and line sizes outside 0..Max are ignored.
    TrackForm h;
    h.track->SetPageSize(20);
    h.track->SetLineSize(-1);
    EXPECT_EQ(h.track->PageSize(), 2);
    EXPECT_EQ(h.track->LineSize(), 1);
    h.track->SetPageSize(10);
    EXPECT_EQ(h.track->PageSize(), 10);
}

TEST(SuiTrackBar, SliderFollowsPositionInEveryStyle)
{
    for (TsuiUIStyle style : AllStyles) {
        for (auto o : {suiHorizontal, suiVertical}) {
            TrackForm f(style, o, 211);
            TsuiTrackBar* t = f.track;
            TBitmap slider;
            LoadBuiltinThemeImage(style, o == suiHorizontal ? ThemeItem::TrackBarSliderImage : ThemeItem::TrackBarSliderVImage,
                                  &slider);
            ASSERT_EQ(t->Slider()->Width(), slider.Width()) << int(style);
            ASSERT_EQ(t->Slider()->Height(), slider.Height()) << int(style);
            // The bar is as thick as the larger of bar picture and slider.
            TBitmap bar;
            LoadBuiltinThemeImage(style, ThemeItem::TrackBarBarImage, &bar);
            const int thickness = std::max(bar.Height(), o == suiHorizontal ? slider.Height() : slider.Width());
            EXPECT_EQ(o == suiHorizontal ? t->Height() : t->Width(), thickness) << int(style);

            const int s = o == suiHorizontal ? slider.Width() : slider.Height();
            t->SetPosition(5);
            const TPoint origin = t->GetSliderOrigin();
            EXPECT_EQ(o == suiHorizontal ? origin.X : origin.Y, 5 * (211 - s) / 10) << int(style);
            EXPECT_EQ(t->Slider()->Left(), origin.X);
            EXPECT_EQ(t->Slider()->Top(), origin.Y);
            // The point under the slider's centre gives its position back.
            const int centre = (o == suiHorizontal ? origin.X : origin.Y) + s / 2;
            EXPECT_EQ(o == suiHorizontal ? t->PositionFromPoint(centre, 0) : t->PositionFromPoint(0, centre), 5);
        }
    }
}

TEST(SuiTrackBar, PositionFromPointRoundsHalvesToEven)
{
    TrackForm f(DeepBlue, suiHorizontal, 11 + 20); // slider 11 wide: 20 pixels of travel
    TsuiTrackBar* t = f.track;
    ASSERT_EQ(t->Slider()->Width(), 11);
    t->SetMax(10);
    // (x - 5) * 10 / 20: 1.5 -> 2, 2.5 -> 2, 3.5 -> 4, -0.5 -> 0.
    EXPECT_EQ(t->PositionFromPoint(8, 0), 2);
    EXPECT_EQ(t->PositionFromPoint(10, 0), 2);
    EXPECT_EQ(t->PositionFromPoint(12, 0), 4);
    EXPECT_EQ(t->PositionFromPoint(4, 0), 0);
    EXPECT_EQ(t->PositionFromPoint(100, 0), 48); // not held within Min..Max
}

TEST(SuiTrackBar, KeysStepThePosition)
{
    for (TsuiUIStyle style : AllStyles) {
        TrackForm f(style);
        TsuiTrackBar* t = f.track;
        t->SetMax(100);
        t->SetPageSize(10);
        t->SetLineSize(3);
        t->SetPosition(50);
        struct Case {
            int key;
            int want;
        } cases[] = {{Qt::Key_PageUp, 40}, {Qt::Key_PageDown, 50}, {Qt::Key_Left, 47}, {Qt::Key_Up, 44},
                     {Qt::Key_Right, 47}, {Qt::Key_Down, 50}, {Qt::Key_End, 100}, {Qt::Key_Down, 100},
                     {Qt::Key_Home, 0}, {Qt::Key_PageUp, 0}};
        for (const Case& c : cases) {
            KeyClick(t, c.key);
            EXPECT_EQ(t->Position(), c.want) << int(style) << " key " << c.key;
        }
    }
}

TEST(SuiTrackBar, PressBesideSliderPagesTowardTheCursor)
{
    for (auto o : {suiHorizontal, suiVertical}) {
        TrackForm f(DeepBlue, o, 211);
        TsuiTrackBar* t = f.track;
        t->SetMax(100);
        t->SetPageSize(2);
        // The cursor stands for position 30.
        const int s = o == suiHorizontal ? t->Slider()->Width() : t->Slider()->Height();
        const int c = 30 * (211 - s) / 100 + s / 2;
        const QPoint at = o == suiHorizontal ? QPoint(c, 2) : QPoint(2, c);
        Press(t, at);
        EXPECT_EQ(t->Position(), 2);
        EXPECT_TRUE(t->Paging());
        t->RepeatTick();
        // Three pages at a time across, one page up and down.
        EXPECT_EQ(t->Position(), o == suiHorizontal ? 8 : 4);
        for (int i = 0; i < 30; ++i)
            t->RepeatTick();
        EXPECT_EQ(t->Position(), 30);
        // Leaving the control stops the repeat.
        Move(t, {-5, -5});
        EXPECT_FALSE(t->Paging());
        Release(t, {-5, -5});

        // Pressing before the slider pages back.
        Press(t, {0, 0});
        EXPECT_EQ(t->Position(), 28);
        Release(t, {0, 0});
        EXPECT_FALSE(t->Paging());
    }
}

TEST(SuiTrackBar, DraggingTheSliderFiresChangesAndRelaysMouse)
{
    TrackForm f(DeepBlue, suiHorizontal, 211);
    TsuiTrackBar* t = f.track;
    t->SetMax(200);
    QPoint down;
    t->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { down = {x, y}; };
    t->SetPosition(100);
    f.changes = 0;
    TsuiTrackBarSlider* s = t->Slider();
    Press(s, {3, 4});
    EXPECT_TRUE(t->Dragging());
    EXPECT_EQ(down, QPoint(s->Left() + 3, s->Top() + 4));
    // Moves arrive in slider coordinates and are taken in the track's.
    Mouse(s, QEvent::MouseMove, QPoint(150, 4) - s->pos());
    EXPECT_EQ(t->Position(), t->PositionFromPoint(150, 0));
    EXPECT_EQ(f.changes, 1);
    Mouse(s, QEvent::MouseMove, QPoint(1000, 4) - s->pos());
    EXPECT_EQ(t->Position(), 200);
    EXPECT_EQ(s->Left(), 200);
    EXPECT_EQ(f.changes, 2);
    Release(s, {3, 4});
    EXPECT_FALSE(t->Dragging());
}

TEST(SuiTrackBar, TicksAndTransparency)
{
    TrackForm f(DeepBlue, suiHorizontal, 211);
    TsuiTrackBar* t = f.track;
    t->SetMax(10);
    t->SetFrequency(3);
    EXPECT_EQ(t->TickValues(), (QList<int>{0, 3, 6, 9, 10}));
    t->SetFrequency(0);
    EXPECT_EQ(t->TickValues(), (QList<int>{0, 10}));
    t->SetFrequency(3);
    t->SetColor(clWhite);
    t->SetPosition(10); // the slider away from the tick at 3
    const QImage shot = Shot(t);
    const int x = (211 - 11) * 3 / 10 + 11 / 2;
    EXPECT_EQ(Px(shot, x, t->Height() - 1), 0x000000u);
    EXPECT_EQ(Px(shot, x, t->Height() - 4), 0xFFFFFFu);

    // MacOS turns Transparent on, and no other style turns it off.
    EXPECT_FALSE(t->Transparent());
    t->SetUIStyle(MacOS);
    EXPECT_TRUE(t->Transparent());
    t->SetUIStyle(WinXP);
    EXPECT_TRUE(t->Transparent());
}

TEST(SuiTrackBar, LoadsFromAWindowDefinitionWithoutFiringChange)
{
    RegisterSkinEntryControlClasses();
    TForm form;
    int changes = 0;
    form.LoadDefinitionText(R"(object Dlg: TForm
  object suiTrackBar1: TsuiTrackBar
    Left = 8
    Top = 8
    Width = 150
    Max = 255
    Position = 128
    Orientation = suiHorizontal
  end
  object suiScrollBar1: TsuiScrollBar
    Left = 8
    Top = 40
    Width = 200
    Max = 50
    Position = 20
  end
  object suiProgressBar1: TsuiProgressBar
    Left = 8
    Top = 80
    Position = 30
  end
end
)");
    auto* t = form.findChild<TsuiTrackBar*>(QStringLiteral("suiTrackBar1"));
    ASSERT_TRUE(t);
    t->OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(t->Position(), 128);
    EXPECT_EQ(changes, 0);
    auto* s = form.findChild<TsuiScrollBar*>(QStringLiteral("suiScrollBar1"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Position(), 20);
    auto* p = form.findChild<TsuiProgressBar*>(QStringLiteral("suiProgressBar1"));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Caption(), QStringLiteral("30%"));
}
