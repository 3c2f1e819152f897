#include "skin/skin_resources.h"
#include "skin/theme_items.h"

#include <QSize>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

QSize BmpSize(const QByteArray& b)
{
    if (b.size() < 26 || !b.startsWith("BM"))
        return {};
    return {qFromLittleEndian<qint32>(b.constData() + 18), qFromLittleEndian<qint32>(b.constData() + 22)};
}

struct SizeRow {
    int Item;
    QSize S[5]; // MacOS, WinXP, DeepBlue, Protein, BlueGlass
};

// The layout of the skinned controls follows from these sizes.
const SizeRow Sizes[] = {
    {ThemeItem::ButtonImage, {{252, 23}, {54, 21}, {222, 21}, {222, 21}, {231, 27}}},
    {ThemeItem::CheckBoxImage, {{60, 17}, {52, 13}, {52, 13}, {52, 13}, {52, 13}}},
    {ThemeItem::RadioButtonImage, {{64, 17}, {52, 13}, {52, 13}, {52, 13}, {52, 13}}},
    {ThemeItem::TitleBarButtonImage, {{306, 17}, {378, 21}, {342, 19}, {342, 19}, {342, 19}}},
    {ThemeItem::TitleBarLeftImage, {{48, 23}, {35, 29}, {97, 32}, {441, 23}, {162, 33}}},
    {ThemeItem::TitleBarClientImage, {{49, 23}, {37, 29}, {98, 32}, {1, 23}, {179, 33}}},
    {ThemeItem::TitleBarRightImage, {{48, 23}, {35, 29}, {97, 32}, {1, 23}, {101, 33}}},
    {ThemeItem::ProgressBarImage, {{13, 10}, {6, 10}, {1, 10}, {1, 10}, {1, 10}}},
    {ThemeItem::TrackBarBarImage, {{45, 5}, {45, 8}, {45, 4}, {45, 4}, {45, 4}}},
    {ThemeItem::TrackBarSliderImage, {{11, 20}, {11, 21}, {11, 20}, {11, 20}, {11, 20}}},
    {ThemeItem::TrackBarSliderVImage, {{19, 11}, {22, 11}, {18, 11}, {18, 11}, {18, 11}}},
    {ThemeItem::ScrollBarButtonImage, {{96, 22}, {96, 17}, {96, 16}, {96, 16}, {102, 16}}},
    {ThemeItem::ScrollBarSliderImage, {{33, 16}, {21, 16}, {21, 16}, {21, 16}, {21, 16}}},
    {ThemeItem::CheckListBoxImage, {{40, 11}, {44, 11}, {44, 11}, {44, 11}, {44, 11}}},
    {ThemeItem::ScrollButtonImage, {{72, 18}, {72, 18}, {72, 17}, {72, 17}, {72, 17}}},
    {ThemeItem::TabControlTabImage, {{36, 27}, {18, 18}, {12, 17}, {18, 17}, {18, 17}}},
    {ThemeItem::TabControlBarImage, {{17, 7}, {8, 1}, {5, 5}, {10, 5}, {10, 5}}},
    {ThemeItem::SideChannelHandleImage, {{7, 84}, {8, 86}, {8, 83}, {8, 83}, {8, 86}}},
    {ThemeItem::SideChannelBarImage, {{1, 21}, {1, 21}, {1, 20}, {1, 21}, {1, 21}}},
};

TEST(SkinResources, EveryStylePictureHasItsSize)
{
    for (const SizeRow& row : Sizes)
        for (int s = MacOS; s <= BlueGlass; ++s) {
            const QString name = BuiltinThemeImageName(s, row.Item);
            EXPECT_EQ(BmpSize(SkinResourceBytes(name)), row.S[s - 1]) << name.toStdString();
        }
}

// A progress bar stretches its picture along the bar: every column of it must be the same, or
// the stretch smears whatever runs across it.
TEST(SkinResources, ProgressPicturesStretchCleanly)
{
    for (int s = MacOS; s <= BlueGlass; ++s) {
        const QString name = BuiltinThemeImageName(s, ThemeItem::ProgressBarImage);
        const QByteArray b = SkinResourceBytes(name);
        const QSize size = BmpSize(b);
        ASSERT_FALSE(size.isEmpty()) << name.toStdString();
        const int bits = qFromLittleEndian<quint16>(b.constData() + 28);
        ASSERT_TRUE(bits == 24 || bits == 32) << name.toStdString();
        const int bytes = bits / 8, stride = (size.width() * bytes + 3) & ~3;
        const char* rows = b.constData() + qFromLittleEndian<quint32>(b.constData() + 10);
        for (int y = 0; y < size.height(); ++y) {
            const char* row = rows + y * stride;
            for (int x = 1; x < size.width(); ++x)
                ASSERT_EQ(QByteArray(row + x * bytes, 3), QByteArray(row, 3)) << name.toStdString() << " row " << y << " column " << x;
        }
    }
}

TEST(SkinResources, NamedStripsAndPatterns)
{
    const std::pair<const char*, QSize> named[] = {
        {"MSGDLG", {168, 42}},          {"PANEL_BUTTON", {52, 12}},        {"MDI_CONTROL_BUTTON", {48, 16}},
        {"MENU_CHECKED", {16, 16}},     {"MACOS_FORM_BACKGROUND", {8, 8}}, {"PROTEIN_FORM_BACKGROUND", {8, 8}},
        {"MACOS_MENU_BAR", {1, 22}},    {"MACOS_MENU_SELECT", {1, 21}},    {"macos_combobox_button", {17, 20}},
        {"WINXP_COMBOBOX_BUTTON", {17, 20}},
    };
    for (const auto& [name, size] : named)
        EXPECT_EQ(BmpSize(SkinResourceBytes(name)), size) << name;
    EXPECT_TRUE(SkinResourceBytes("MAINICON").startsWith(QByteArray("\0\0\1\0", 4)));
    EXPECT_TRUE(SkinResourceBytes("NO_SUCH_PICTURE").isEmpty());
    EXPECT_TRUE(SkinResourceBytes("../skinart").isEmpty());
}

} // namespace
