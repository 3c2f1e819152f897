#include "skin/theme_pictures.h"

#include "framework/bitmap.h"
#include "skin/file_theme.h"
#include "skin/theme_items.h"

#include <gtest/gtest.h>

namespace {

using namespace ThemeItem;

constexpr uint32_t Fuchsia = 0xFFFF00FF;

TEST(CutStripFrame, TakesOneEqualWidthFrame)
{
    TBitmap strip(7, 2, pf24bit);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 7; ++x)
            strip.SetPixelArgb(x, y, 0xFF000000u | uint32_t(x * 16 + y));
    TBitmap frame;
    CutStripFrame(&strip, &frame, 3, 2);
    ASSERT_EQ(frame.Width(), 2); // 7 div 3
    ASSERT_EQ(frame.Height(), 2);
    EXPECT_EQ(frame.PixelArgb(0, 0), 0xFF000020u);
    EXPECT_EQ(frame.PixelArgb(1, 1), 0xFF000031u);

    // An index past the strip reads nothing outside it.
    CutStripFrame(&strip, &frame, 3, 5);
    EXPECT_EQ(frame.PixelArgb(0, 0), 0xFFFFFFFFu);
    CutStripFrame(&strip, &frame, 3, 0);
    EXPECT_EQ(frame.PixelArgb(1, 0), 0xFFFFFFFFu);
}

TEST(BuiltinThemePictures, WholePicturesAndFrames)
{
    TBitmap whole;
    LoadBuiltinThemeFrame(DeepBlue, ButtonImage, &whole, 0, 0);
    ASSERT_EQ(whole.Width(), 222);
    TBitmap pressed;
    LoadBuiltinThemeFrame(DeepBlue, ButtonImage, &pressed, 3, 3);
    ASSERT_EQ(pressed.Width(), 74);
    ASSERT_EQ(pressed.Height(), 21);
    for (int y = 0; y < 21; y += 5)
        for (int x = 0; x < 74; x += 7)
            ASSERT_EQ(pressed.PixelArgb(x, y), whole.PixelArgb(148 + x, y));

    TBitmap close;
    LoadBuiltinThemeFrame(WinXP, TitleBarButtonImage, &close, 18, 16);
    EXPECT_EQ(close.Width(), 21);

    // No picture for a value item or outside the built-in styles: the graphic stays.
    TBitmap untouched(3, 3, pf24bit);
    LoadBuiltinThemeFrame(DeepBlue, FormBorderColor, &untouched, 0, 0);
    LoadBuiltinThemeFrame(FromThemeFile, ButtonImage, &untouched, 3, 1);
    LoadBuiltinThemeImage(9, ButtonImage, &untouched);
    EXPECT_EQ(untouched.Width(), 3);
    LoadBuiltinThemeFrame(DeepBlue, ButtonImage, nullptr, 3, 1);
}

// Where the controls draw a picture with a transparent colour, the art must key on it; where
// they draw it opaque, 0xFF00FF must not appear at all (edges of stretched pictures key on it
// whatever the style says).
TEST(BuiltinThemePictures, KeyColoursWhereTheControlsUseThem)
{
    for (int s = MacOS; s <= BlueGlass; ++s) {
        auto load = [&](int item) {
            auto b = std::make_unique<TBitmap>();
            LoadBuiltinThemeImage(s, item, b.get());
            return b;
        };
        auto radio = load(RadioButtonImage);
        EXPECT_EQ(radio->PixelArgb(0, radio->Height() - 1), Fuchsia) << s;
        auto slider = load(TrackBarSliderImage);
        EXPECT_EQ(slider->PixelArgb(0, slider->Height() - 1), Fuchsia) << s;
        auto bar = load(TrackBarBarImage);
        EXPECT_EQ(bar->PixelArgb(0, 0), Fuchsia) << s;
        auto tab = load(TabControlTabImage);
        EXPECT_EQ(tab->PixelArgb(0, 0), Fuchsia) << s;
        auto titleButtons = load(TitleBarButtonImage);
        EXPECT_EQ(titleButtons->PixelArgb(0, titleButtons->Height() - 1) == Fuchsia,
                  GetBuiltinThemeBool(s, TitleBarButtonTransparentBool))
            << s;
        auto button = load(ButtonImage);
        bool anyKey = false;
        for (int y = 0; y < button->Height(); ++y)
            for (int x = 0; x < button->Width(); ++x)
                anyKey |= button->PixelArgb(x, y) == Fuchsia;
        EXPECT_EQ(anyKey, GetBuiltinThemeBool(s, ButtonTransparentBool)) << s;
    }
}

TEST(FileThemePictures, DefaultSkinFramesAndMissingItems)
{
    TsuiFileTheme theme(nullptr);
    theme.SetThemeFile(QStringLiteral(BRELNOVA_TESTDATA "/../assets/suk/ziroz.sui"));
    ASSERT_TRUE(theme.IsLoaded());
    TBitmap close;
    theme.GetImageFrame(TitleBarButtonImage, &close, 18, 16);
    EXPECT_EQ(close.Width(), 19);
    EXPECT_EQ(close.Height(), 19);
    TBitmap left;
    theme.GetImage(TitleBarLeftImage, &left);
    EXPECT_EQ(left.Height(), 30);

    // An item the file does not hold leaves the picture as it was.
    TBitmap keep(5, 4, pf24bit);
    theme.GetImageFrame(FormBorderColor, &keep, 2, 1);
    theme.GetImage(0, &keep);
    EXPECT_EQ(keep.Width(), 5);
}

} // namespace
