#include "skin/controls/progress_bar.h"

#include "framework/forms.h"
#include "skin/skin_testing.h"
#include "skin/theme_items.h"

#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

TEST(SuiProgressBar, CaptionAndFilledPart)
{
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        TForm form;
        auto* p = new TsuiProgressBar(&form);
        p->SetParent(&form);
        p->SetUIStyle(style);
        EXPECT_EQ(p->Width(), 150);
        EXPECT_EQ(p->Height(), 12);
        const TColor back = GetBuiltinThemeColor(style, ThemeItem::ControlBackgroundColor);
        EXPECT_EQ(p->Color(), back);
        EXPECT_EQ(p->BorderColor(), GetBuiltinThemeColor(style, ThemeItem::ControlBorderColor));
        p->SetShowCaption(false);
        struct Case {
            int min, max, position;
            const char* text;
            int filled; // of 149
        } cases[] = {
            {0, 100, 37, "37%", 149 * 37 / 100},
            {0, 100, 150, "150%", 149},
            {5, 5, 5, "0%", 0},
            {0, 100, -20, "-20%", 0},
        };
        for (const Case& c : cases) {
            p->SetMin(c.min);
            p->SetMax(c.max);
            p->SetPosition(c.position);
            EXPECT_EQ(p->Caption(), QString::fromLatin1(c.text));
            EXPECT_EQ(p->FilledLength(149), c.filled);
            const QImage shot = Shot(p);
            // Just past the filled part the background shows.
            if (c.filled < 147)
                EXPECT_EQ(Px(shot, std::max(c.filled, 1) + 1, 6), ColorToArgb(back) & 0xFFFFFF) << c.text << int(style);
            EXPECT_EQ(Px(shot, 0, 0), ColorToArgb(p->BorderColor()) & 0xFFFFFF);
        }
    }
}

TEST(SuiProgressBar, SmartCaptionHidesTheTextAtMin)
{
    TForm form;
    auto* p = new TsuiProgressBar(&form);
    p->SetParent(&form);
    p->SetBounds(0, 0, 150, 20);
    p->SetCaptionColor(clRed);
    p->SetPosition(0);
    auto hasCaption = [&] {
        const QImage shot = Shot(p);
        for (int y = 1; y < shot.height() - 1; ++y)
            for (int x = 1; x < shot.width() - 1; ++x)
                if (qRed(shot.pixel(x, y)) > 150 && qGreen(shot.pixel(x, y)) < 100)
                    return true;
        return false;
    };
    EXPECT_TRUE(hasCaption());
    p->SetSmartShowCaption(true);
    EXPECT_FALSE(hasCaption());
    p->SetPosition(1);
    EXPECT_TRUE(hasCaption());
}
