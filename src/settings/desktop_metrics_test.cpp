#include "settings/desktop_metrics.h"

#include "framework/exceptions.h"
#include "platform/registry_store.h"
#include "platform/shell_notify.h"
#include "settings/customiser_items.h"
#include "settings/settings_testing.h"

using namespace DesktopMetrics;
using settingstest::SettingsWorld;

namespace {

QString Metric(const char* name)
{
    RegistryValue v;
    return RegistryStore::GetValue(HKEY_CURRENT_USER, kWindowMetricsKey, name, &v) ? v.Text() : QStringLiteral("<none>");
}

void SetMetric(const char* name, const QString& text)
{
    RegistryStore::CreateKey(HKEY_CURRENT_USER, kWindowMetricsKey);
    RegistryStore::SetValue(HKEY_CURRENT_USER, kWindowMetricsKey, name, RegistryValue::String(text));
}

const QString kSendWinIni = "SendMessage 0x1a 0 0";
const QString kShellNotify = "SHChangeNotify 0x8000000 0x1000";
const QString kSettingChange = "SendMessageTimeout 0x1a 42 0";

} // namespace

TEST_F(SettingsWorld, ApplyWritesSizeAndSpacingsAndTellsTheShell)
{
    struct Case {
        bool normal;
        const char* h;
        const char* v;
        const char* size;
        const char* hs;
        const char* vs;
    } cases[] = {
        {true, "35", " 1 ", "32", "-1005", "-495"},
        {false, "99", "35", "48", "-1965", "-1005"},
    };
    for (const Case& c : cases) {
        ClearShellNotificationLog();
        QString error;
        ASSERT_TRUE(ApplyIconSizeSettings({c.normal, c.h, c.v}, &error));
        EXPECT_EQ(Metric("Shell Icon Size"), c.size);
        EXPECT_EQ(Metric("IconSpacing"), c.hs);
        EXPECT_EQ(Metric("IconVerticalspacing"), c.vs);
        EXPECT_EQ(ShellNotificationLog(), QStringList({kSendWinIni, kShellNotify}));
    }
    // A box that holds no number writes nothing at all, not even the size.
    for (const char* bad : {"abc", "", "-40", "99999999999"}) {
        ClearShellNotificationLog();
        QString error;
        EXPECT_FALSE(ApplyIconSizeSettings({true, "35", bad}, &error)) << bad;
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(Metric("Shell Icon Size"), "48");
        EXPECT_TRUE(ShellNotificationLog().isEmpty());
    }
}

TEST_F(SettingsWorld, LoadingTurnsStoredSpacingsBackIntoBoxNumbers)
{
    IconSizeSettings settings;
    ASSERT_TRUE(LoadIconSizeSettings(&settings));
    EXPECT_TRUE(settings.Normal) << "no stored size is the shell's own 32 pixels";
    EXPECT_EQ(settings.Horizontal, "35") << "an absent spacing leaves the box alone";

    SetMetric("Shell Icon Size", "32");
    SetMetric("IconSpacing", " -465 ");
    SetMetric("IconVerticalspacing", "-2160");
    ASSERT_TRUE(LoadIconSizeSettings(&settings));
    EXPECT_TRUE(settings.Normal);
    EXPECT_EQ(settings.Horizontal, "-1");
    EXPECT_EQ(settings.Vertical, "112");
    SetMetric("IconSpacing", "wide");
    SetMetric("Shell Icon Size", "48");
    ASSERT_TRUE(LoadIconSizeSettings(&settings));
    EXPECT_EQ(settings.Horizontal, "-1");
    EXPECT_FALSE(settings.Normal);
}

TEST_F(SettingsWorld, RebuildWritesTheSizeOneLessAndBackWithTwoBroadcasts)
{
    ClearShellNotificationLog();
    EXPECT_FALSE(RebuildIconCache()) << "no stored size: nothing to do";
    EXPECT_EQ(Metric("Shell Icon Size"), "<none>");
    EXPECT_TRUE(ShellNotificationLog().isEmpty());

    SetMetric("Shell Icon Size", "32");
    EXPECT_TRUE(RebuildIconCache());
    EXPECT_EQ(Metric("Shell Icon Size"), "32");
    EXPECT_EQ(ShellNotificationLog(), QStringList({kSettingChange, kSettingChange}));

    SetMetric("Shell Icon Size", "big");
    EXPECT_THROW(RebuildIconCache(), EConvertError);
    EXPECT_EQ(Metric("Shell Icon Size"), "big");
}

TEST_F(SettingsWorld, DesktopDefaultTellsTheShellWithoutRebuildingAndOtherPagesRebuild)
{
    using namespace CustomiserItems;
    SetMetric("Shell Icon Size", "32");
    ClearShellNotificationLog();
    ASSERT_TRUE(DefaultRow(Page::Desktop, 1));
    EXPECT_EQ(ShellNotificationLog(), QStringList({kSendWinIni, kShellNotify}));
    ClearShellNotificationLog();
    RestoreAll(Page::Desktop);
    EXPECT_EQ(ShellNotificationLog(), QStringList({kSettingChange, kSettingChange}));
    ClearShellNotificationLog();
    PickedIcon pick;
    pick.Mode = ModeStartMenu;
    PickerDefault(pick);
    EXPECT_EQ(ShellNotificationLog(), QStringList({kSendWinIni, kShellNotify}));
}
