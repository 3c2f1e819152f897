#include "settings/customisation_undo.h"

#include "document/scratch_folder.h"
#include "platform/registry_store.h"
#include "settings/customiser_items.h"
#include "settings/settings_testing.h"

using namespace IconLocations;
using namespace CustomiserItems;
using settingstest::SettingsWorld;

namespace {

PickedIcon Pick(int mode, Page page, int row, int number, const QString& file, int cell)
{
    PickedIcon pick;
    pick.Mode = mode;
    pick.FromPage = page;
    pick.ItemRow = row;
    pick.ShellIconNumber = number;
    pick.File = file;
    pick.SelectedCell = cell;
    return pick;
}

} // namespace

TEST_F(SettingsWorld, UndoReturnsEveryKindOfItemToWhatItHadBeforeItsFirstChange)
{
    // Start Menu "Shutdown" (27) and Desktop "Network" had values when the window was made.
    WriteShellValue(27, "old.dll,4");
    WriteClassValue(MakeRecord(*DesktopRow(2)), "mine.dll,1");
    ASSERT_TRUE(CustomisationUndo::SnapshotStartMenuIcons());
    ASSERT_TRUE(CustomisationUndo::SnapshotDesktopIcons());
    const QByteArray recorded = settingstest::ReadFile(CustomisationUndo::FileName());
    EXPECT_TRUE(recorded.startsWith("[.begin_file]\r\nIcon9=old.dll,4\r\nIcon_9=false\r\n[.dasktop_file]\r\n")) << recorded.constData();
    EXPECT_FALSE(UndoAvailable(Page::StartMenu, 9)) << "recorded but never changed";

    QString error;
    for (int cell : {2, 3}) {
        ASSERT_TRUE(WritePickedIcon(Pick(ModeStartMenu, Page::StartMenu, 9, 27, "a.icl", cell), &error));
        ASSERT_TRUE(WritePickedIcon(Pick(ModeDesktop, Page::Desktop, 2, 0, "a.icl", cell), &error));
        // System Icons and Drives items had values before too: Undo must give them back.
        WriteShellValue(43, "sys.dll,7");
        ASSERT_TRUE(WritePickedIcon(Pick(ModeShellIcon, Page::System, 4, 43, "a.icl", cell), &error));
    }
    // A Start Menu item without a value of its own.
    ASSERT_TRUE(WritePickedIcon(Pick(ModeStartMenu, Page::StartMenu, 1, 19, "b.ico", 5), &error));
    EXPECT_EQ(ReadShellValue(19), "b.ico,0") << "an .ico in mode 3 is always index 0";
    ASSERT_TRUE(WritePickedIcon(Pick(ModeShellIcon, Page::Drives, 3, 8, "a.icl", 1), &error));

    for (auto [page, row] : {std::pair{Page::StartMenu, 9}, {Page::Desktop, 2}, {Page::System, 4}, {Page::StartMenu, 1},
                             {Page::Drives, 3}})
        ASSERT_TRUE(UndoRow(page, row)) << int(page) << " row " << row;
    EXPECT_EQ(ReadShellValue(27), "old.dll,4");
    EXPECT_EQ(ReadClassValue(MakeRecord(*DesktopRow(2))), "mine.dll,1");
    EXPECT_EQ(ReadShellValue(43), "sys.dll,7");
    EXPECT_EQ(CustomisationUndo::RecordedValue(".begin_file", 1), "true");
    EXPECT_FALSE(RegistryStore::ValueNames(HKEY_LOCAL_MACHINE, kShellIconsKey).contains("19"));
    EXPECT_FALSE(RegistryStore::ValueNames(HKEY_LOCAL_MACHINE, kShellIconsKey).contains("8"));
    // The marks stay: Undo stays offered and gives the same result again.
    EXPECT_TRUE(UndoRow(Page::StartMenu, 9));
    EXPECT_EQ(ReadShellValue(27), "old.dll,4");

    // No undo for rows without a change, for System rows 1 to 3, or with nothing selected.
    WritePickedIcon(Pick(ModeSystemClass, Page::System, 1, 0, "a.icl", 1), &error);
    EXPECT_FALSE(UndoAvailable(Page::System, 1));
    EXPECT_FALSE(UndoRow(Page::Desktop, 3));
    EXPECT_FALSE(UndoRow(Page::Drives, 0));
    EXPECT_FALSE(DefaultRow(Page::Drives, 0));
}

TEST_F(SettingsWorld, ADesktopItemWithoutValueUndoesToItsDefaultData)
{
    ASSERT_TRUE(CustomisationUndo::SnapshotDesktopIcons());
    QString error;
    ASSERT_TRUE(WritePickedIcon(Pick(ModeDesktop, Page::Desktop, 6, 0, "a.icl", 2), &error));
    EXPECT_EQ(ReadClassValue(MakeRecord(*DesktopRow(6))), "a.icl,1");
    ASSERT_TRUE(UndoRow(Page::Desktop, 6));
    EXPECT_EQ(ReadClassValue(MakeRecord(*DesktopRow(6))), "%SystemRoot%\\system32\\shell32.dll,32");
}

TEST_F(SettingsWorld, WhatARunRecordedGoesWithItsScratchFiles)
{
    WriteShellValue(19, "first.dll,1");
    ASSERT_TRUE(CustomisationUndo::SnapshotStartMenuIcons());
    QString error;
    ASSERT_TRUE(WritePickedIcon(Pick(ModeStartMenu, Page::StartMenu, 1, 19, "x.icl", 1), &error));
    EXPECT_TRUE(UndoAvailable(Page::StartMenu, 1));
    // The program's close empties its scratch folder; the next run records afresh.
    EXPECT_TRUE(EmptyScratchFolder().isEmpty());
    EXPECT_FALSE(QFile::exists(CustomisationUndo::FileName()));
    WriteShellValue(19, "second.dll,1");
    ASSERT_TRUE(CustomisationUndo::SnapshotStartMenuIcons());
    EXPECT_EQ(settingstest::ReadFile(CustomisationUndo::FileName()).count("[.begin_file]"), 1);
    EXPECT_FALSE(UndoAvailable(Page::StartMenu, 1));
    ASSERT_TRUE(WritePickedIcon(Pick(ModeStartMenu, Page::StartMenu, 1, 19, "x.icl", 2), &error));
    ASSERT_TRUE(UndoRow(Page::StartMenu, 1));
    EXPECT_EQ(ReadShellValue(19), "second.dll,1");
}

TEST_F(SettingsWorld, ARecordedValueStaysOnItsOwnLine)
{
    WriteShellValue(19, "a\nIcon_1=true");
    ASSERT_TRUE(CustomisationUndo::SnapshotStartMenuIcons());
    EXPECT_FALSE(UndoAvailable(Page::StartMenu, 1));
}
