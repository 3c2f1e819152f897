#include "settings/icon_locations.h"

#include "platform/icon_handle.h"
#include "platform/registry_store.h"
#include "settings/customiser_items.h"
#include "settings/settings_testing.h"

using namespace IconLocations;
using namespace CustomiserItems;
using settingstest::SettingsWorld;

namespace {

uint32_t CentreColour(HICON icon)
{
    const QImage image = IconToImage(icon);
    return image.isNull() ? 0 : image.pixel(image.width() / 2, image.height() / 2);
}

QString StoredShell(int number)
{
    RegistryValue v;
    return RegistryStore::GetValue(HKEY_LOCAL_MACHINE, kShellIconsKey, QString::number(number), &v) ? v.Text()
                                                                                                   : QStringLiteral("<none>");
}

} // namespace

TEST(IconLocations, ResolvesStoredLocations)
{
    SetWindowsDirectory("C:\\WINDOWS");
    struct Case {
        const char* value;
        bool programFilesRule;
        bool ok;
        const char* file;
        int index;
    } cases[] = {
        {" %SystemRoot%\\system32\\shell32.dll,17 ", false, true, "C:\\WINDOWS\\system32\\shell32.dll", 17},
        {"%anything%\\a.dll , -190", false, true, "C:\\WINDOWS\\a.dll", -190},
        {"%programfiles%\\x\\a.exe,2", true, true, "C:\\Program Files\\x\\a.exe", 2},
        // Only the lower-case prefix is recognised; mixed case resolves into the Windows folder.
        {"%ProgramFiles%\\x\\a.exe,2", true, true, "C:\\WINDOWS\\x\\a.exe", 2},
        {"%programfiles%\\x\\a.exe,2", false, true, "C:\\WINDOWS\\x\\a.exe", 2},
        {"D:\\icons\\my.icl,3", false, true, "D:\\icons\\my.icl", 3},
        {"D:\\icons\\my.icl", false, false, "", 0},
        {"D:\\icons\\my.icl,three", false, false, "", 0},
        // A file path may hold commas: the index is after the last one.
        {"D:\\a,b\\my,2.icl,3", false, true, "D:\\a,b\\my,2.icl", 3},
        {"%SystemRoot%\\x,y\\a.dll,4", false, true, "C:\\WINDOWS\\x,y\\a.dll", 4},
    };
    for (const Case& c : cases) {
        QString file;
        int index = 0;
        EXPECT_EQ(ResolveIconValue(c.value, c.programFilesRule, &file, &index), c.ok) << c.value;
        if (c.ok) {
            EXPECT_EQ(file, QString(c.file)) << c.value;
            EXPECT_EQ(index, c.index) << c.value;
        }
    }
    SetWindowsDirectory(QString());
}

TEST_F(SettingsWorld, ItemsWithoutValueShowTheShellLibraryAndCustomisedOnesTheirOwn)
{
    // Start Menu "Program" is Shell Icons 19: the library's icon 19 until it gets a value.
    IconSource source = LoadStartMenuIcon(1);
    ASSERT_TRUE(source.Loaded);
    EXPECT_EQ(source.Customised, 1);
    HICON icon = ExtractSourceIcon(source);
    EXPECT_EQ(CentreColour(icon), 0xFF000013u);
    DestroyIcon(icon);

    settingstest::WriteFile(dir.path() + "/mine.ico", settingstest::IconFileOfColour(0xFF123456u));
    ASSERT_TRUE(WriteShellValue(19, dir.path() + "/mine.ico,0"));
    source = LoadStartMenuIcon(1);
    EXPECT_EQ(source.Customised, 2);
    icon = ExtractSourceIcon(source);
    EXPECT_EQ(CentreColour(icon), 0xFF123456u);
    DestroyIcon(icon);

    // A location the readers cannot take apart leaves the row without an icon and the value alone.
    ASSERT_TRUE(WriteShellValue(19, "no comma here"));
    source = LoadStartMenuIcon(1);
    EXPECT_EQ(source.Customised, 2);
    EXPECT_EQ(ExtractSourceIcon(source), nullptr);
    EXPECT_EQ(StoredShell(19), "no comma here");
}

TEST_F(SettingsWorld, EveryItemIsWrittenDefaultedAndRestoredWhereItLives)
{
    settingstest::WriteFile(dir.path() + "/lib.icl", QByteArray());
    settingstest::WriteLibrary(dir.path() + "/lib.icl", 8);
    const QString file = dir.path() + "/lib.icl";
    for (Page page : {Page::StartMenu, Page::Desktop, Page::System, Page::Drives}) {
        for (int row = 1; row <= RowCount(page); ++row) {
            PickedIcon pick;
            pick.ItemRow = row;
            pick.File = file;
            pick.SelectedCell = 6;
            pick.FromPage = page;
            if (page == Page::StartMenu) {
                pick.Mode = ModeStartMenu;
                pick.ShellIconNumber = StartMenuRow(row)->Number;
            } else if (page == Page::Desktop) {
                pick.Mode = ModeDesktop;
            } else if (page == Page::System && row <= 3) {
                pick.Mode = ModeSystemClass;
            } else {
                pick.Mode = ModeShellIcon;
                pick.ShellIconNumber = page == Page::System ? SystemShellRow(row)->Number : DriveRow(row)->Number;
            }
            QString error;
            ASSERT_TRUE(WritePickedIcon(pick, &error)) << error.toStdString();
            auto load = [&] {
                switch (page) {
                case Page::StartMenu: return LoadStartMenuIcon(row);
                case Page::Desktop: return LoadDesktopIcon(row);
                case Page::System: return LoadSystemIcon(row);
                case Page::Drives: return LoadDriveIcon(row);
                }
                return IconSource{};
            };
            IconSource source = load();
            EXPECT_EQ(source.Customised, 2) << int(page) << " row " << row;
            HICON icon = ExtractSourceIcon(source);
            EXPECT_EQ(CentreColour(icon), 0xFF000005u) << int(page) << " row " << row;
            DestroyIcon(icon);

            ASSERT_TRUE(DefaultRow(page, row));
            if (pick.Mode == ModeDesktop || pick.Mode == ModeSystemClass) {
                const ClassRow* c = pick.Mode == ModeDesktop ? DesktopRow(row) : SystemClassRow(row);
                EXPECT_EQ(ReadClassValue(MakeRecord(*c)), QString(c->DefaultData)) << int(page) << " row " << row;
            } else {
                EXPECT_EQ(load().Customised, 1) << int(page) << " row " << row;
            }
        }
    }
    // Class items default to their data, Shell Icons items lose their value.
    EXPECT_EQ(ReadClassValue(MakeRecord(*DesktopRow(2))), "%SystemRoot%\\system32\\shell32.dll,17");
    EXPECT_EQ(ReadClassValue(MakeRecord(*DesktopRow(6))), "%SystemRoot%\\system32\\shell32.dll,32");
    EXPECT_EQ(StoredShell(26), "<none>");

    // Restore all reaches every item of a page, Start Menu's "Undock(Exit PC)" included.
    for (int number : {19, 26, 43, 4, 5, 12})
        WriteShellValue(number, file + ",1");
    WriteClassValue(MakeRecord(*SystemClassRow(1)), file + ",1");
    for (int row = 1; row <= kDesktopRows; ++row)
        WriteClassValue(MakeRecord(*DesktopRow(row)), file + ",1");
    RestoreAll(Page::StartMenu);
    RestoreAll(Page::Desktop);
    RestoreAll(Page::System);
    RestoreAll(Page::Drives);
    for (int row = 1; row <= kDesktopRows; ++row)
        EXPECT_EQ(ReadClassValue(MakeRecord(*DesktopRow(row))), QString(DesktopRow(row)->DefaultData)) << "desktop row " << row;
    for (int number : {19, 26, 43, 4, 5, 12})
        EXPECT_EQ(StoredShell(number), "<none>") << number;
    EXPECT_EQ(ReadClassValue(MakeRecord(*SystemClassRow(1))), "%SystemRoot%\\System32\\shell32.dll,-138");
}

TEST_F(SettingsWorld, RecycleBinCountsAsCustomisedOnlyWhenItDiffersFromItsDefaultExactly)
{
    const IconItemRecord empty = MakeRecord(*DesktopRow(5));
    EXPECT_EQ(empty.ValueName, "Empty");
    WriteClassValue(empty, "%SystemRoot%\\system32\\shell32.dll,31");
    EXPECT_EQ(LoadDesktopIcon(5).Customised, 1);
    WriteClassValue(empty, "%SystemRoot%\\System32\\shell32.dll,31");
    EXPECT_EQ(LoadDesktopIcon(5).Customised, 2);
    // Reading an item whose key is missing makes the key, empty.
    EXPECT_TRUE(RegistryStore::KeyExists(HKEY_CURRENT_USER, MakeRecord(*DesktopRow(7)).Key) == false);
    EXPECT_EQ(LoadDesktopIcon(7).Customised, 1);
    EXPECT_TRUE(RegistryStore::KeyExists(HKEY_CURRENT_USER, MakeRecord(*DesktopRow(7)).Key));
}

TEST_F(SettingsWorld, WithoutAWindowsFolderLookupsFailHonestly)
{
    SetWindowsDirectory(QString());
    qunsetenv("Windir");
    qunsetenv("WINDIR");
    EXPECT_TRUE(ShellLibrary().isEmpty());
    const IconSource source = LoadDesktopIcon(2);
    EXPECT_TRUE(source.Loaded);
    EXPECT_EQ(ExtractSourceIcon(source), nullptr);
    EXPECT_EQ(ExtractSourceIcon(LoadStartMenuIcon(1)), nullptr);
}

TEST_F(SettingsWorld, FolderIconsLiveInTheFoldersDesktopIni)
{
    const QString folder = dir.path() + "/pictures/";
    QDir().mkpath(folder);
    settingstest::WriteLibrary(dir.path() + "/lib.icl", 4);
    QString error;
    ASSERT_TRUE(WriteFolderIcon(folder, dir.path() + "/lib.icl", 2, &error));
    EXPECT_EQ(settingstest::ReadFile(folder + "Desktop.ini"),
              "[.ShellClassInfo]\r\nIconFile = " + (dir.path() + "/lib.icl").toUtf8() + "\r\nIconIndex =2\r\n");
    QString iconFile;
    IconSource source = LoadFolderItemIcon(folder, &iconFile);
    EXPECT_EQ(iconFile, dir.path() + "/lib.icl");
    EXPECT_EQ(CentreColour(ExtractSourceIcon(source)), 0xFF000002u);

    // Without IconIndex the icon is number 1; other content of the file survives both writing
    // and Default.
    settingstest::WriteFile(folder + "Desktop.ini", "[.ShellClassInfo]\r\nIconFile=" + (dir.path() + "/lib.icl").toUtf8()
                                                        + "\r\nInfoTip=Holiday\r\n[Other]\r\nx=1\r\n");
    source = LoadFolderItemIcon(folder.chopped(1), &iconFile);
    EXPECT_EQ(source.Index, 1);
    ASSERT_TRUE(WriteFolderIcon(folder.chopped(1), dir.path() + "/lib.icl", 3));
    EXPECT_EQ(LoadFolderItemIcon(folder, &iconFile).Index, 3);
    ASSERT_TRUE(RemoveFolderIcon(folder));
    EXPECT_EQ(settingstest::ReadFile(folder + "Desktop.ini"), "[.ShellClassInfo]\r\nInfoTip=Holiday\r\n[Other]\r\nx=1\r\n");
    EXPECT_EQ(LoadFolderItemIcon(folder, &iconFile).Index, 3) << "no icon: the shell's folder icon";
    EXPECT_EQ(iconFile, "no");

    // A folder path without its separator never touches the file beside the folder.
    settingstest::WriteFile(dir.path() + "/picturesDesktop.ini", "keep");
    ASSERT_TRUE(WriteFolderIcon(folder, "a.icl", 0));
    ASSERT_TRUE(RemoveFolderIcon(folder.chopped(1)));
    EXPECT_EQ(settingstest::ReadFile(dir.path() + "/picturesDesktop.ini"), "keep");
    EXPECT_EQ(settingstest::ReadFile(folder + "Desktop.ini"), "[.ShellClassInfo]\r\nInfoTip=Holiday\r\n[Other]\r\nx=1\r\n");

    // A file holding only our icon lines goes away with them.
    const QString bare = dir.path() + "/bare/";
    QDir().mkpath(bare);
    ASSERT_TRUE(WriteFolderIcon(bare, "a.icl", 0));
    ASSERT_TRUE(RemoveFolderIcon(bare));
    EXPECT_FALSE(QFile::exists(bare + "Desktop.ini"));
}

TEST_F(SettingsWorld, DriveRootsLiveUnderTheirDriveKey)
{
    EXPECT_TRUE(IsDriveRoot("C:\\"));
    EXPECT_FALSE(IsDriveRoot("/tm"));
    IconSource source = LoadFolderItemIcon("C:\\", nullptr);
    EXPECT_EQ(source.Customised, 1);
    EXPECT_EQ(CentreColour(ExtractSourceIcon(source)), 0xFF000008u);
    ASSERT_TRUE(WriteDriveRootValue('C', "%SystemRoot%\\system32\\shell32.dll,9"));
    source = LoadFolderItemIcon(" C:\\ ", nullptr);
    EXPECT_EQ(source.Customised, 2);
    EXPECT_EQ(CentreColour(ExtractSourceIcon(source)), 0xFF000009u);
    ASSERT_TRUE(DeleteDriveRoot('C'));
    EXPECT_FALSE(RegistryStore::KeyExists(HKEY_CLASSES_ROOT, "Applications\\explorer.exe\\Drives\\C"));
}
