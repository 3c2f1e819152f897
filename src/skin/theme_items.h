#pragma once

// The vocabulary of the skinned controls: the five built-in styles, the 42 theme items with their
// names (the keys of a skin file), and the values the built-in styles give them.

#include <QObject>
#include <QString>
#include <cstdint>

namespace SkinTypes {
Q_NAMESPACE
// The style byte every skinned component publishes as UIStyle.
enum TsuiUIStyle : uint8_t { FromThemeFile = 0, MacOS = 1, WinXP = 2, DeepBlue = 3, Protein = 4, BlueGlass = 5 };
Q_ENUM_NS(TsuiUIStyle)
} // namespace SkinTypes
using SkinTypes::TsuiUIStyle;
using enum SkinTypes::TsuiUIStyle;

// Kind of a built-in value; fixed by the item, not by the style.
enum ThemeValueKind { tvkInteger = 0, tvkColor = 1, tvkImage = 2, tvkBool = 3 };

// Theme item numbers; the number is the item's identity in every lookup.
namespace ThemeItem {
enum : int {
    ButtonImage = 1,
    ButtonTransparentBool,
    CheckBoxImage,
    RadioButtonImage,
    TitleBarButtonImage,
    TitleBarButtonTransparentBool,
    TitleBarButtonLeftOffsetInt,
    TitleBarButtonRightOffsetInt,
    TitleBarButtonTopInt,
    TitleBarLeftImage,
    TitleBarClientImage,
    TitleBarRightImage,
    FormMinWidthInt,
    FormRoundCornerInt,
    FormBackgroundColor,
    FormBorderColor,
    FormBorderWidthInt,
    MenuSelectedBorderColor,
    MenuSelectedBackgroundColor,
    MenuSelectedFontColor,
    MenuBackgroundColor,
    MenuFontColor,
    MenuBarColor,
    ProgressBarImage,
    ControlBorderColor,
    ControlBackgroundColor,
    ControlFontColor,
    TrackBarBarImage,
    TrackBarSliderImage,
    TrackBarSliderVImage,
    ScrollBarBackgroundColor,
    ScrollBarButtonImage,
    ScrollBarSliderImage,
    CheckListBoxImage,
    ToolBarButtonBorderColor,
    ToolBarButtonBackgroundColor,
    ToolBarButtonDownBackgroundColor,
    ScrollButtonImage,
    TabControlTabImage,
    TabControlBarImage,
    SideChannelHandleImage,
    SideChannelBarImage,
};
inline constexpr int Count = 42;
} // namespace ThemeItem

// Item names indexed by item number (index 0 is an empty name); a skin file keys its records by them.
extern const char* const ThemeItemNames[ThemeItem::Count + 1];

// The kind of an item (1..42); items outside that range answer tvkInteger.
ThemeValueKind ThemeItemKind(int item);

struct BuiltinThemeValue {
    // An integer, a colour 0x00BBGGRR, a boolean 0/1, or for images the index into the resource
    // name table (use BuiltinThemeImageName).
    int Value = -1;
    ThemeValueKind Kind = tvkInteger;
};

// Style is masked with 0x7F; a style outside 1..5 (or an item outside 1..42) gives -1 of kind 0.
BuiltinThemeValue GetBuiltinThemeValue(int style, int item);
// The value when the item is a colour, else 0.
uint32_t GetBuiltinThemeColor(int style, int item);
// The value when the item is an integer, else -1.
int GetBuiltinThemeInteger(int style, int item);
// The value when the item is a boolean, else false.
bool GetBuiltinThemeBool(int style, int item);
// The resource name of an image item in a built-in style ("DEEPBLUE_BUTTON"); empty otherwise.
QString BuiltinThemeImageName(int style, int item);
