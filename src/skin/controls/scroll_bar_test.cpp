#include "skin/controls/scroll_bar.h"

#include "framework/bitmap.h"
#include "framework/forms.h"
#include "skin/controls/button.h"
#include "skin/controls/track_bar.h"
#include "skin/skin_testing.h"
#include "skin/theme_pictures.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

struct BarForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    TsuiScrollBar* bar;
    explicit BarForm(TsuiUIStyle style = DeepBlue, TsuiProgressBarOrientation o = suiHorizontal)
    {
        form->SetBounds(0, 0, 500, 500);
        bar = new TsuiScrollBar(form.get());
        bar->SetParent(form.get());
        bar->SetUIStyle(style);
        bar->SetOrientation(o);
        if (o == suiHorizontal)
            bar->SetBounds(0, 0, 232, bar->Height());
        else
            bar->SetBounds(0, 0, bar->Width(), 232);
    }
};

void Wait(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

TEST(SuiScrollBar, PartsFollowTheStyleAndOrientation)
{
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        TBitmap buttons;
        LoadBuiltinThemeImage(style, ThemeItem::ScrollBarButtonImage, &buttons);
        const int bw = buttons.Width() / 6, bh = buttons.Height();
        TBitmap slider;
        LoadBuiltinThemeImage(style, ThemeItem::ScrollBarSliderImage, &slider);

        BarForm v(style, suiVertical);
        TsuiScrollBar* b = v.bar;
        EXPECT_EQ(b->Width(), bw) << int(style);
        EXPECT_EQ(b->StartButton()->BoundsRect(), Bounds(0, 0, bw, bh)) << int(style);
        EXPECT_EQ(b->EndButton()->BoundsRect(), Bounds(0, 232 - bh, bw, bh)) << int(style);
        EXPECT_EQ(b->Track()->Top(), bh);
        EXPECT_EQ(b->Track()->Height(), 232 - 2 * bh - 1);
        EXPECT_EQ(b->Track()->Width(), slider.Height()) << int(style);
        EXPECT_EQ(b->Track()->Color(), GetBuiltinThemeColor(style, ThemeItem::ScrollBarBackgroundColor));

        // Across, the arrow pictures are turned: the bar is as high as a button is wide.
        BarForm h(style, suiHorizontal);
        EXPECT_EQ(h.bar->Height(), bw) << int(style);
        EXPECT_EQ(h.bar->StartButton()->Width(), bh);
        EXPECT_EQ(h.bar->Track()->Left(), bh);
        EXPECT_EQ(h.bar->Track()->Width(), 232 - 2 * bh);
        EXPECT_EQ(h.bar->Track()->Height(), slider.Height());
    }
}

TEST(SuiScrollBar, SliderLengthFromPageSizeOrLineButton)
{
    BarForm f(DeepBlue, suiVertical);
    TsuiScrollBar* b = f.bar;
    const int track = b->Track()->Height();
    struct Case {
        int pageSize;
        int lineButton;
        int length;
    } cases[] = {
        {2, 0, 10 * track / 100},  // below 10 counts as 10
        {50, 0, 50 * track / 100}, // half
        {100, 0, track},
        {50, 5, 18}, // a fixed length is at least 18
        {50, 40, 40},
    };
    for (const Case& c : cases) {
        b->SetPageSize(c.pageSize);
        b->SetLineButton(c.lineButton);
        EXPECT_EQ(b->Track()->Slider()->Height(), c.length) << c.pageSize << " " << c.lineButton;
    }
    EXPECT_EQ(b->LineButton(), 40);
    // A slider longer than the room between the buttons is refused.
    b->SetLineButton(1000);
    EXPECT_EQ(b->LineButton(), 40);
    // LargeChange is the track's page.
    b->SetLargeChange(7);
    EXPECT_EQ(b->PageSize(), 7);
    EXPECT_EQ(b->LargeChange(), 7);
}

TEST(SuiScrollBar, ArrowsStepOnlyWhileHeld)
{
    BarForm f;
    TsuiScrollBar* b = f.bar;
    b->SetSmallChange(5);
    b->SetPosition(50);
    int changes = 0;
    b->OnChange() = [&](TObject*) { ++changes; };
    // A quick click moves nothing.
    Click(b->EndButton(), {3, 3});
    QApplication::processEvents();
    EXPECT_EQ(b->Position(), 50);
    // Held, the end button steps by SmallChange every 100 ms.
    Press(b->EndButton(), {3, 3});
    Wait(350);
    Release(b->EndButton(), {3, 3});
    const int held = b->Position();
    EXPECT_GE(held, 55);
    EXPECT_EQ((held - 50) % 5, 0);
    EXPECT_EQ(changes, (held - 50) / 5);
    EXPECT_EQ(b->GetLastChange(), 5);
    Wait(150);
    EXPECT_EQ(b->Position(), held);

    b->LineDecrease();
    EXPECT_EQ(b->Position(), held - 5);
    b->SetPosition(-3);
    EXPECT_EQ(b->Position(), 0);
    b->LineDecrease();
    EXPECT_EQ(b->Position(), 0);
    b->SetSmallChange(0);
    EXPECT_EQ(b->SmallChange(), 1);
}

TEST(SuiScrollBar, ZeroSizeHidesAndVisibilityReachesParts)
{
    BarForm f;
    TsuiScrollBar* b = f.bar;
    b->SetSliderVisible(false);
    EXPECT_FALSE(b->SliderVisible());
    b->SetSliderVisible(true);
    b->SetWidth(0);
    EXPECT_FALSE(b->Visible());
    EXPECT_FALSE(b->Track()->Visible());
    EXPECT_FALSE(b->StartButton()->Visible());
}
