#include "skin/theme_items.h"

#include <gtest/gtest.h>

namespace {

using namespace ThemeItem;

// The built-in values of every non-image item in the five styles (MacOS, WinXP, DeepBlue,
// Protein, BlueGlass), transcribed independently of the library's table.
struct Row {
    int Item;
    ThemeValueKind Kind;
    int64_t V[5];
};
const Row Rows[] = {
    {ButtonTransparentBool, tvkBool, {1, 0, 0, 0, 1}},
    {TitleBarButtonTransparentBool, tvkBool, {0, 0, 0, 1, 1}},
    {TitleBarButtonLeftOffsetInt, tvkInteger, {3, 2, 0, 0, 4}},
    {TitleBarButtonRightOffsetInt, tvkInteger, {-2, -2, 0, 0, -3}},
    {TitleBarButtonTopInt, tvkInteger, {4, 5, 2, 2, 6}},
    {FormMinWidthInt, tvkInteger, {130, 150, 130, 130, 270}},
    {FormRoundCornerInt, tvkInteger, {0, 13, 0, 0, 11}},
    {FormBackgroundColor, tvkColor, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
    {FormBorderColor, tvkColor, {0x7F7F7F, 0xC82C00, 0, 0, 0}},
    {FormBorderWidthInt, tvkInteger, {1, 3, 1, 1, 1}},
    {MenuSelectedBorderColor, tvkColor, {0xC47339, 0xC66931, 0xA04A44, 0xC4302D, 0xEC5E5E}},
    {MenuSelectedBackgroundColor, tvkColor, {0xC47339, 0xEFD3C6, 0xA04A44, 0xC4302D, 0xEC5E5E}},
    {MenuSelectedFontColor, tvkColor, {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    {MenuBackgroundColor, tvkColor, {0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xE7E7E7}},
    {MenuFontColor, tvkColor, {0, 0, 0, 0, 0}},
    {MenuBarColor, tvkColor, {0, 0xCED3D6, 0xCED3D6, 0xCED3D6, 0xCED3D6}},
    {ControlBorderColor, tvkColor, {0x7F7F7F, 0x686868, 0, 0, 0}},
    {ControlBackgroundColor, tvkColor, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
    {ControlFontColor, tvkColor, {0, 0xCF4602, 0, 0, 0}},
    {ScrollBarBackgroundColor, tvkColor, {0xC9C9C9, 0xF9F9F9, 0xF5F5F5, 0xF5F5F5, 0xF4F4F4}},
    {ToolBarButtonBorderColor, tvkColor, {0x474747, 0xC66931, 0x474747, 0x474747, 0x474747}},
    {ToolBarButtonBackgroundColor, tvkColor, {0xEFEFEF, 0xEFD3C6, 0xEFEFEF, 0xEFEFEF, 0xEFEFEF}},
    {ToolBarButtonDownBackgroundColor, tvkColor, {0xD8D8D8, 0xE1AC93, 0xD8D8D8, 0xD8D8D8, 0xD8D8D8}},
};

TEST(BuiltinTheme, EveryValueOfEveryStyle)
{
    int checked = 0;
    for (const Row& r : Rows) {
        for (int s = MacOS; s <= BlueGlass; ++s) {
            const int64_t want = r.V[s - 1];
            const BuiltinThemeValue v = GetBuiltinThemeValue(s, r.Item);
            EXPECT_EQ(v.Kind, r.Kind) << ThemeItemNames[r.Item];
            EXPECT_EQ(v.Value, want) << ThemeItemNames[r.Item] << " style " << s;
            // Each typed getter answers only for its own kind.
            EXPECT_EQ(GetBuiltinThemeColor(s, r.Item), r.Kind == tvkColor ? uint32_t(want) : 0u);
            EXPECT_EQ(GetBuiltinThemeInteger(s, r.Item), r.Kind == tvkInteger ? int(want) : -1);
            EXPECT_EQ(GetBuiltinThemeBool(s, r.Item), r.Kind == tvkBool && want != 0);
            EXPECT_TRUE(BuiltinThemeImageName(s, r.Item).isEmpty());
            ++checked;
        }
    }
    EXPECT_EQ(checked, 23 * 5);
}

TEST(BuiltinTheme, ImageItemsNameTheirResources)
{
    const char* const suffixes[] = {
        "BUTTON", "CHECKBOX", "RADIOBUTTON", "TITLEBTN", "TITLE_LEFT", "TITLE_CLIENT", "TITLE_RIGHT",
        "PROGRESSBAR", "TRACKBAR_BAR", "TRACKBAR_SLIDER", "TRACKBAR_SLIDER_V", "SCROLLBAR_BUTTON",
        "SCROLLBAR_TRACK", "CHECKLIST", "SCROLLBUTTON", "TAB", "TAB_LINE", "SIDECHENNEL_HANDLE",
        "SIDECHENNEL_BAR"};
    const char* const prefixes[] = {"MACOS", "WINXP", "DEEPBLUE", "PROTEIN", "BLUEGLASS"};
    int n = 0;
    for (int item = 1; item <= Count; ++item) {
        if (ThemeItemKind(item) != tvkImage)
            continue;
        for (int s = MacOS; s <= BlueGlass; ++s) {
            QString want = QString("%1_%2").arg(prefixes[s - 1], suffixes[n]);
            if (item == ScrollButtonImage && s >= DeepBlue)
                want = "MORE_SCROLLBUTTON";
            EXPECT_EQ(BuiltinThemeImageName(s, item), want);
            EXPECT_EQ(GetBuiltinThemeInteger(s, item), -1);
            EXPECT_EQ(GetBuiltinThemeColor(s, item), 0u);
        }
        ++n;
    }
    EXPECT_EQ(n, 19);
}

TEST(BuiltinTheme, StyleIsMaskedAndOutsideStylesGiveNothing)
{
    EXPECT_EQ(GetBuiltinThemeInteger(0x80 | WinXP, FormRoundCornerInt), 13);
    EXPECT_EQ(BuiltinThemeImageName(0x80 | Protein, ButtonImage), "PROTEIN_BUTTON");
    for (int style : {int(FromThemeFile), 6, 0x7F, -1}) {
        const BuiltinThemeValue v = GetBuiltinThemeValue(style, FormBorderColor);
        EXPECT_EQ(v.Value, -1);
        EXPECT_EQ(v.Kind, tvkInteger);
        EXPECT_EQ(GetBuiltinThemeColor(style, FormBorderColor), 0u);
        EXPECT_EQ(GetBuiltinThemeInteger(style, FormMinWidthInt), -1);
        EXPECT_FALSE(GetBuiltinThemeBool(style, ButtonTransparentBool));
        EXPECT_TRUE(BuiltinThemeImageName(style, ButtonImage).isEmpty());
    }
    EXPECT_EQ(GetBuiltinThemeValue(DeepBlue, 0).Value, -1);
    EXPECT_EQ(GetBuiltinThemeValue(DeepBlue, 43).Value, -1);
}

TEST(BuiltinTheme, ItemNamesAreTheFileKeys)
{
    EXPECT_STREQ(ThemeItemNames[ButtonImage], "ButtonImage");
    EXPECT_STREQ(ThemeItemNames[MenuBarColor], "MenuBarColor");
    EXPECT_STREQ(ThemeItemNames[ProgressBarImage], "ProgressBarImage");
    EXPECT_STREQ(ThemeItemNames[SideChannelBarImage], "SideChannelBarImage");
    EXPECT_EQ(SideChannelBarImage, 42);
}

} // namespace
