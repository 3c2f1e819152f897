#include "skin/theme_items.h"

const char* const ThemeItemNames[ThemeItem::Count + 1] = {
    "",
    "ButtonImage",
    "ButtonTransparentBool",
    "CheckBoxImage",
    "RadioButtonImage",
    "TitleBarButtonImage",
    "TitleBarButtonTransparentBool",
    "TitleBarButtonLeftOffsetInt",
    "TitleBarButtonRightOffsetInt",
    "TitleBarButtonTopInt",
    "TitleBarLeftImage",
    "TitleBarClientImage",
    "TitleBarRightImage",
    "FormMinWidthInt",
    "FormRoundCornerInt",
    "FormBackgroundColor",
    "FormBorderColor",
    "FormBorderWidthInt",
    "MenuSelectedBorderColor",
    "MenuSelectedBackgroundColor",
    "MenuSelectedFontColor",
    "MenuBackgroundColor",
    "MenuFontColor",
    "MenuBarColor",
    "ProgressBarImage",
    "ControlBorderColor",
    "ControlBackgroundColor",
    "ControlFontColor",
    "TrackBarBarImage",
    "TrackBarSliderImage",
    "TrackBarSliderVImage",
    "ScrollBarBackgroundColor",
    "ScrollBarButtonImage",
    "ScrollBarSliderImage",
    "CheckListBoxImage",
    "ToolBarButtonBorderColor",
    "ToolBarButtonBackgroundColor",
    "ToolBarButtonDownBackgroundColor",
    "ScrollButtonImage",
    "TabControlTabImage",
    "TabControlBarImage",
    "SideChannelHandleImage",
    "SideChannelBarImage",
};

namespace {

constexpr int StyleCount = 5;

struct ItemRow {
    ThemeValueKind Kind;
    // Per style MacOS, WinXP, DeepBlue, Protein, BlueGlass. Image rows hold no numbers: their
    // value is the resource name made from the style prefix and Suffix.
    int Values[StyleCount];
    const char* Suffix;
};

// clang-format off
const ItemRow Items[ThemeItem::Count + 1] = {
    /*  0 */ {tvkInteger, {-1, -1, -1, -1, -1}, nullptr},
    /*  1 */ {tvkImage,   {}, "BUTTON"},
    /*  2 */ {tvkBool,    {1, 0, 0, 0, 1}, nullptr},
    /*  3 */ {tvkImage,   {}, "CHECKBOX"},
    /*  4 */ {tvkImage,   {}, "RADIOBUTTON"},
    /*  5 */ {tvkImage,   {}, "TITLEBTN"},
    /*  6 */ {tvkBool,    {0, 0, 0, 1, 1}, nullptr},
    /*  7 */ {tvkInteger, {3, 2, 0, 0, 4}, nullptr},
    /*  8 */ {tvkInteger, {-2, -2, 0, 0, -3}, nullptr},
    /*  9 */ {tvkInteger, {4, 5, 2, 2, 6}, nullptr},
    /* 10 */ {tvkImage,   {}, "TITLE_LEFT"},
    /* 11 */ {tvkImage,   {}, "TITLE_CLIENT"},
    /* 12 */ {tvkImage,   {}, "TITLE_RIGHT"},
    /* 13 */ {tvkInteger, {130, 150, 130, 130, 270}, nullptr},
    /* 14 */ {tvkInteger, {0, 13, 0, 0, 11}, nullptr},
    /* 15 */ {tvkColor,   {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}, nullptr},
    /* 16 */ {tvkColor,   {0x7F7F7F, 0xC82C00, 0x000000, 0x000000, 0x000000}, nullptr},
    /* 17 */ {tvkInteger, {1, 3, 1, 1, 1}, nullptr},
    /* 18 */ {tvkColor,   {0xC47339, 0xC66931, 0xA04A44, 0xC4302D, 0xEC5E5E}, nullptr},
    /* 19 */ {tvkColor,   {0xC47339, 0xEFD3C6, 0xA04A44, 0xC4302D, 0xEC5E5E}, nullptr},
    /* 20 */ {tvkColor,   {0xFFFFFF, 0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}, nullptr},
    /* 21 */ {tvkColor,   {0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xE7E7E7}, nullptr},
    /* 22 */ {tvkColor,   {0x000000, 0x000000, 0x000000, 0x000000, 0x000000}, nullptr},
    /* 23 */ {tvkColor,   {0x000000, 0xCED3D6, 0xCED3D6, 0xCED3D6, 0xCED3D6}, nullptr},
    /* 24 */ {tvkImage,   {}, "PROGRESSBAR"},
    /* 25 */ {tvkColor,   {0x7F7F7F, 0x686868, 0x000000, 0x000000, 0x000000}, nullptr},
    /* 26 */ {tvkColor,   {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}, nullptr},
    /* 27 */ {tvkColor,   {0x000000, 0xCF4602, 0x000000, 0x000000, 0x000000}, nullptr},
    /* 28 */ {tvkImage,   {}, "TRACKBAR_BAR"},
    /* 29 */ {tvkImage,   {}, "TRACKBAR_SLIDER"},
    /* 30 */ {tvkImage,   {}, "TRACKBAR_SLIDER_V"},
    /* 31 */ {tvkColor,   {0xC9C9C9, 0xF9F9F9, 0xF5F5F5, 0xF5F5F5, 0xF4F4F4}, nullptr},
    /* 32 */ {tvkImage,   {}, "SCROLLBAR_BUTTON"},
    /* 33 */ {tvkImage,   {}, "SCROLLBAR_TRACK"},
    /* 34 */ {tvkImage,   {}, "CHECKLIST"},
    /* 35 */ {tvkColor,   {0x474747, 0xC66931, 0x474747, 0x474747, 0x474747}, nullptr},
    /* 36 */ {tvkColor,   {0xEFEFEF, 0xEFD3C6, 0xEFEFEF, 0xEFEFEF, 0xEFEFEF}, nullptr},
    /* 37 */ {tvkColor,   {0xD8D8D8, 0xE1AC93, 0xD8D8D8, 0xD8D8D8, 0xD8D8D8}, nullptr},
    /* 38 */ {tvkImage,   {}, "SCROLLBUTTON"},
    /* 39 */ {tvkImage,   {}, "TAB"},
    /* 40 */ {tvkImage,   {}, "TAB_LINE"},
    /* 41 */ {tvkImage,   {}, "SIDECHENNEL_HANDLE"},
    /* 42 */ {tvkImage,   {}, "SIDECHENNEL_BAR"},
};
// clang-format on

const char* const StylePrefixes[StyleCount] = {"MACOS", "WINXP", "DEEPBLUE", "PROTEIN", "BLUEGLASS"};

bool ValidItem(int item) { return item >= 1 && item <= ThemeItem::Count; }

// Index 0..4 of a built-in style, or -1.
int StyleIndex(int style)
{
    const int s = style & 0x7F;
    return s >= MacOS && s <= BlueGlass ? s - MacOS : -1;
}

} // namespace

ThemeValueKind ThemeItemKind(int item) { return ValidItem(item) ? Items[item].Kind : tvkInteger; }

BuiltinThemeValue GetBuiltinThemeValue(int style, int item)
{
    const int s = StyleIndex(style);
    if (s < 0 || !ValidItem(item))
        return {};
    const ItemRow& row = Items[item];
    return {row.Kind == tvkImage ? item : row.Values[s], row.Kind};
}

uint32_t GetBuiltinThemeColor(int style, int item)
{
    const BuiltinThemeValue v = GetBuiltinThemeValue(style, item);
    return v.Kind == tvkColor ? static_cast<uint32_t>(v.Value) : 0;
}

int GetBuiltinThemeInteger(int style, int item)
{
    const BuiltinThemeValue v = GetBuiltinThemeValue(style, item);
    return v.Kind == tvkInteger ? v.Value : -1;
}

bool GetBuiltinThemeBool(int style, int item)
{
    const BuiltinThemeValue v = GetBuiltinThemeValue(style, item);
    return v.Kind == tvkBool && v.Value != 0;
}

QString BuiltinThemeImageName(int style, int item)
{
    const int s = StyleIndex(style);
    if (s < 0 || !ValidItem(item) || Items[item].Kind != tvkImage)
        return {};
    // The three styles without scroll-button art of their own share one picture.
    if (item == ThemeItem::ScrollButtonImage && (s + MacOS) >= DeepBlue)
        return QStringLiteral("MORE_SCROLLBUTTON");
    return QString::fromLatin1(StylePrefixes[s]) + QLatin1Char('_') + QString::fromLatin1(Items[item].Suffix);
}
