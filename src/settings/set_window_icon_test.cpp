#include "settings/set_window_icon.h"

#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "imaging/icons/icon_library.h"
#include "platform/icon_handle.h"
#include "platform/registry_store.h"
#include "settings/customisation_undo.h"
#include "settings/desktop_metrics.h"
#include "settings/selecticon.h"
#include "settings/settings_testing.h"
#include "settings/testing_settings_program.h"
#include "skin/controls/page_control.h"
#include "testsupport/testdata.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace IconLocations;
using settingstest::SettingsWorld;

namespace {

uint32_t CentreColour(HICON icon)
{
    const QImage image = IconToImage(icon);
    const uint32_t c = image.isNull() ? 0 : image.pixel(image.width() / 2, image.height() / 2);
    DestroyIcon(icon);
    return c;
}

// Windows made fresh for each test: the globals keep them between openings in the program.
class CustomiserWindow : public SettingsWorld {
protected:
    void SetUp() override
    {
        SettingsWorld::SetUp();
        delete set_window_icon;
        delete selecticon;
    }
    void TearDown() override
    {
        delete set_window_icon;
        delete selecticon;
        SettingsWorld::TearDown();
    }
    Tset_window_icon* Make()
    {
        set_window_icon = new Tset_window_icon();
        return set_window_icon;
    }
    static void Click(TForm* form, const char* name)
    {
        auto* control = qobject_cast<TControl*>(form->FindComponent(name));
        ASSERT_TRUE(control) << name;
        ASSERT_TRUE(bool(control->OnClick)) << name;
        control->OnClick(control);
    }
    static bool Enabled(TForm* form, const char* name) { return qobject_cast<TControl*>(form->FindComponent(name))->Enabled(); }
    static void Select(TForm* form, const char* grid, int col, int row)
    {
        auto* g = qobject_cast<TDrawGrid*>(form->FindComponent(grid));
        ASSERT_TRUE(g && g->OnSelectCell) << grid;
        bool can = true;
        g->OnSelectCell(g, col, row, can);
    }
};

// Answers the picker's modal showing by choosing cell (col, row) of the file and pressing OK.
TDialogAnswerer PickCell(const QString& file, int col, int row, QStringList* messages = nullptr)
{
    return [=](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkForm && r.Dialog == selecticon) {
            selecticon->SetFileText(file);
            bool can = true;
            auto* grid = qobject_cast<TDrawGrid*>(selecticon->FindComponent("suiDrawGrid1"));
            grid->OnSelectCell(grid, col, row, can);
            selecticon->suiButton3Click(nullptr);
            r.Result = 1;
            return true;
        }
        if (messages)
            messages->append(r.Text);
        r.Result = IDOK;
        return true;
    };
}

} // namespace

TEST_F(CustomiserWindow, EveryButtonOfBothWindowsActs)
{
    Tset_window_icon* window = Make();
    EXPECT_EQ(window->Caption(), "Customize Windows Icons - (Unknown)");
    EXPECT_EQ(CommandsWithoutHandler(window), QStringList());
    EXPECT_EQ(CommandsWithoutHandler(SelectIconWindow()), QStringList());
    QStringList shown;
    TDialogAnswererScope answers([&](TDialogRequest& r) {
        shown.append(r.Kind == TDialogRequest::dkForm ? r.Dialog->objectName() : r.Text);
        r.Result = r.Kind == TDialogRequest::dkForm ? 2 : IDOK;
        return true;
    });
    const char* names[] = {"suiButton1", "suiButton3", "suiButton4", "suiButton5", "suiButton6", "suiButton7",
                           "suiButton8", "suiButton12", "suiButton13", "suiButton14", "suiButton9", "suiButton40",
                           "suiButton10", "suiButton11", "suiButton15", "suiButton16", "suiButton41", "suiButton17",
                           "suiButton18", "suiButton19", "suiButton24", "suiButton2", "suiButton25", "suiButton26",
                           "suiButton27", "suiButton28", "suiButton20", "suiButton29", "suiButton30", "suiButton31",
                           "icon_size1", "icon_size2"};
    for (const char* name : names)
        Click(window, name);
    // Without a selected row Modify, Undo and Default say so instead of doing nothing.
    EXPECT_GE(shown.count("Please select an item in the list first."), 12);
    for (const char* grid : {"beginicon", "suiDrawGrid2", "suiDrawGrid1", "suiDrawGrid4"}) {
        auto* g = qobject_cast<TDrawGrid*>(window->FindComponent(grid));
        EXPECT_TRUE(g && g->OnDrawCell && g->OnSelectCell) << grid;
        EXPECT_EQ(g->TopRow(), 0) << grid;
    }
    Tselecticon* picker = SelectIconWindow();
    for (const char* name : {"suiButton1", "suiButton2", "suiButton3", "suiButton4"})
        Click(picker, name);
    EXPECT_TRUE(bool(qobject_cast<TDrawGrid*>(picker->FindComponent("suiDrawGrid1"))->OnDblClick));
}

TEST_F(CustomiserWindow, ModifyUndoAndDefaultOnTheListPages)
{
    settingstest::WriteLibrary(dir.path() + "/ten.icl", 10);
    Tset_window_icon* window = Make();
    EXPECT_EQ(qobject_cast<TDrawGrid*>(window->FindComponent("beginicon"))->RowCount(), 10);
    // Until their pages are shown, System Icons and Drives keep the counts of the definition.
    auto* system = qobject_cast<TDrawGrid*>(window->FindComponent("suiDrawGrid1"));
    auto* drives = qobject_cast<TDrawGrid*>(window->FindComponent("suiDrawGrid4"));
    EXPECT_EQ(system->RowCount(), 14);
    EXPECT_EQ(drives->RowCount(), 12);
    window->suiTabSheet6Show(nullptr);
    window->suiTabSheet7Show(nullptr);
    EXPECT_EQ(system->RowCount(), 15);
    EXPECT_EQ(drives->RowCount(), 8);
    // Start Menu "Program": the third icon of the second grid row of a 3-column library.
    Select(window, "beginicon", 0, 0);
    EXPECT_FALSE(Enabled(window, "suiButton40"));
    {
        TDialogAnswererScope answers(PickCell(dir.path() + "/ten.icl", 1, 1));
        Click(window, "suiButton9");
    }
    EXPECT_EQ(selecticon->SelectedCell, 5);
    EXPECT_EQ(ReadShellValue(19), dir.path() + "/ten.icl,4");
    EXPECT_EQ(CentreColour(ExtractSourceIcon(window->LoadRow(CustomiserItems::Page::StartMenu, 1))), 0xFF000004u);
    EXPECT_EQ(window->Customised, 2);
    EXPECT_TRUE(Enabled(window, "suiButton40"));
    Click(window, "suiButton40");
    EXPECT_FALSE(RegistryStore::ValueNames(HKEY_LOCAL_MACHINE, kShellIconsKey).contains("19"));

    // Desktop "Network": the picker starts from the file of the row's current icon.
    window->LoadRow(CustomiserItems::Page::Desktop, 2);
    EXPECT_EQ(window->DesktopItems[1].IconFile, GetWindowsDirWithSlash() + "system32\\shell32.dll");
    Select(window, "suiDrawGrid2", 0, 1);
    {
        TDialogAnswererScope answers([&](TDialogRequest& r) {
            if (r.Kind != TDialogRequest::dkForm)
                return false;
            EXPECT_EQ(selecticon->FileText(), window->DesktopItems[1].IconFile);
            EXPECT_EQ(selecticon->IconCount(), 50);
            bool can = true;
            auto* grid = qobject_cast<TDrawGrid*>(selecticon->FindComponent("suiDrawGrid1"));
            grid->OnSelectCell(grid, 2, 0, can);
            selecticon->suiButton3Click(nullptr);
            r.Result = 1;
            return true;
        });
        Click(window, "suiButton16");
    }
    EXPECT_EQ(ReadClassValue(window->DesktopItems[1]), GetWindowsDirWithSlash() + "system32\\shell32.dll,2");
    Click(window, "suiButton17");
    EXPECT_EQ(ReadClassValue(window->DesktopItems[1]), "%SystemRoot%\\system32\\shell32.dll,17");

    // System Icons rows 1 to 3 never offer Undo.
    Select(window, "suiDrawGrid1", 0, 0);
    EXPECT_FALSE(Enabled(window, "suiButton2"));
}

TEST_F(CustomiserWindow, OnWindowsXpTheStartMenuListsNineAndTheMetricsLoad)
{
    SetWindowsVersionName("Windows XP");
    RegistryStore::CreateKey(HKEY_CURRENT_USER, DesktopMetrics::kWindowMetricsKey);
    RegistryStore::SetValue(HKEY_CURRENT_USER, DesktopMetrics::kWindowMetricsKey, "IconSpacing", RegistryValue::String("-1125"));
    RegistryStore::SetValue(HKEY_CURRENT_USER, DesktopMetrics::kWindowMetricsKey, "Shell Icon Size", RegistryValue::String("48"));
    Tset_window_icon* window = Make();
    EXPECT_EQ(window->Caption(), "Customize Windows Icons - (Windows XP)");
    EXPECT_EQ(qobject_cast<TDrawGrid*>(window->FindComponent("beginicon"))->RowCount(), 9);
    EXPECT_EQ(window->FindComponent("suiComboBox1")->property("Text").toString(), "43");
    EXPECT_TRUE(window->FindComponent("icon_size2")->property("Checked").toBool());
    window->FindComponent("icon_size1")->setProperty("Checked", true);
    window->FindComponent("suiComboBox2")->setProperty("Text", "zz");
    QStringList messages;
    {
        TDialogAnswererScope answers(PickCell(QString(), 0, 0, &messages));
        Click(window, "suiButton5");
    }
    EXPECT_EQ(messages, QStringList({"'zz' is not a valid icon spacing"}));
    RegistryValue v;
    ASSERT_TRUE(RegistryStore::GetValue(HKEY_CURRENT_USER, DesktopMetrics::kWindowMetricsKey, "Shell Icon Size", &v));
    EXPECT_EQ(v.Text(), "48") << "a box without a number writes nothing";
    EXPECT_FALSE(Enabled(window, "suiButton5"));
}

TEST_F(CustomiserWindow, FoldersPageWritesKeepsAndDefaultsTheFolderIcon)
{
    settingstest::WriteLibrary(dir.path() + "/ten.icl", 10);
    const QString folder = dir.path() + "/album";
    QDir().mkpath(folder);
    Tset_window_icon* window = Make();
    window->FindComponent("Edit1")->setProperty("Text", folder + "/");
    {
        TDialogAnswererScope answers(PickCell(dir.path() + "/ten.icl", 0, 1));
        Click(window, "suiButton7");
    }
    EXPECT_EQ(settingstest::ReadFile(folder + "/Desktop.ini"),
              "[.ShellClassInfo]\r\nIconFile = " + (dir.path() + "/ten.icl").toUtf8() + "\r\nIconIndex =3\r\n");
    EXPECT_EQ(window->FolderIconFile, dir.path() + "/ten.icl");
    Click(window, "suiButton13");
    EXPECT_TRUE(QFile::exists(folder + "/Desktop.ini")) << "Cancel keeps the icon the picker wrote";
    Click(window, "suiButton8");
    EXPECT_FALSE(QFile::exists(folder + "/Desktop.ini"));

    // A drive root gets its drive key.
    window->FindComponent("Edit1")->setProperty("Text", "D:\\");
    {
        TDialogAnswererScope answers(PickCell(dir.path() + "/ten.icl", 1, 0));
        Click(window, "suiButton7");
    }
    RegistryValue v;
    ASSERT_TRUE(RegistryStore::GetValue(HKEY_CLASSES_ROOT, "Applications\\explorer.exe\\Drives\\D\\DefaultIcon", "", &v));
    EXPECT_EQ(v.Text(), dir.path() + "/ten.icl,1");

    // A folder that does not exist is not made up: the picker says why and writes nothing.
    QStringList messages;
    window->FindComponent("Edit1")->setProperty("Text", dir.path() + "/nowhere/");
    {
        TDialogAnswererScope answers(PickCell(dir.path() + "/ten.icl", 0, 0, &messages));
        Click(window, "suiButton7");
    }
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Cannot write")) << messages[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/nowhere"));
}

TEST_F(CustomiserWindow, ThePickerShowsIconFilesLibrariesExecutablesAndDlls)
{
    Tselecticon* picker = SelectIconWindow();
    settingstest::WriteLibrary(dir.path() + "/ten.icl", 10);
    picker->SetFileText(" " + dir.path() + "/ten.icl ");
    EXPECT_EQ(picker->FileText(), dir.path() + "/ten.icl");
    EXPECT_EQ(picker->IconCount(), 10);
    EXPECT_EQ(picker->Columns(), 3);
    EXPECT_EQ(CentreColour(picker->CellIcon(10)), 0xFF000009u);
    EXPECT_EQ(picker->CellIcon(11), nullptr);

    // An icon file is one icon, drawn from its 16 by 16 image when it has no 32 by 32 one.
    icontest::Dib small, big;
    small.Width = small.Height = 16;
    small.Pixel = [](int, int) { return 0xFF00FF00u; };
    big.Width = big.Height = 48;
    big.Pixel = [](int, int) { return 0xFFFF0000u; };
    settingstest::WriteFile(dir.path() + "/two.ico", icontest::MakeIco({icontest::MakeImage(small), icontest::MakeImage(big)}));
    picker->SetFileText(dir.path() + "/two.ico");
    EXPECT_EQ(picker->IconCount(), 1);
    EXPECT_EQ(CentreColour(picker->CellIcon(1)), 0xFF00FF00u);

    // A DLL and the same file named as an executable.
    const QString dll = TestDataPath("platform/exe/icons32.dll");
    picker->SetFileText(dll);
    const int count = picker->IconCount();
    ASSERT_GT(count, 0);
    HICON last = picker->CellIcon(count);
    EXPECT_NE(last, nullptr);
    DestroyIcon(last);
    QFile::copy(dll, dir.path() + "/tool.exe");
    picker->SetFileText(dir.path() + "/tool.exe");
    EXPECT_EQ(picker->IconCount(), count);

    // Mixed-case endings and missing files show nothing.
    QFile::copy(dll, dir.path() + "/tool.Exe");
    picker->SetFileText(dir.path() + "/tool.Exe");
    EXPECT_EQ(picker->IconCount(), 0);
    picker->SetFileText(dir.path() + "/missing.icl");
    EXPECT_EQ(picker->IconCount(), 0);

    // Mode 3 takes index 0 of an .ico whatever cell was chosen; mode 4 the cell's index.
    CustomiserItems::PickedIcon pick;
    pick.File = "a.ico";
    pick.SelectedCell = 3;
    pick.Mode = CustomiserItems::ModeStartMenu;
    EXPECT_EQ(CustomiserItems::PickedValue(pick), "a.ico,0");
    pick.Mode = CustomiserItems::ModeDesktop;
    EXPECT_EQ(CustomiserItems::PickedValue(pick), "a.ico,2");
}


TEST_F(CustomiserWindow, ThePickerWritesAChoiceFromAnIconFileAnExecutableAndRefusesAnEmptyOne)
{
    Tset_window_icon* window = Make();
    const QString ico = dir.path() + "/blue.ico";
    settingstest::WriteFile(ico, settingstest::IconFileOfColour(0xFF0000FFu));
    const QString exe = dir.path() + "/tool.exe";
    ASSERT_TRUE(QFile::copy(TestDataPath("platform/exe/icons32.dll"), exe));

    // Desktop "My Document" from an icon file.
    window->suiTabSheet4Show(nullptr);
    Select(window, "suiDrawGrid2", 0, 2);
    {
        TDialogAnswererScope answers(PickCell(ico, 0, 0));
        Click(window, "suiButton16");
    }
    EXPECT_EQ(ReadClassValue(window->DesktopItems[2]), ico + ",0");
    EXPECT_EQ(CentreColour(ExtractSourceIcon(window->LoadRow(CustomiserItems::Page::Desktop, 3))), 0xFF0000FFu);
    EXPECT_EQ(window->Customised, 2);

    // Drives "3.5 Inch Disc" (Shell Icons 6) from an executable; Undo takes it away again.
    window->suiTabSheet7Show(nullptr);
    Select(window, "suiDrawGrid4", 0, 1);
    {
        TDialogAnswererScope answers(PickCell(exe, 0, 0));
        Click(window, "suiButton28");
    }
    EXPECT_EQ(ReadShellValue(6), exe + ",0");
    HICON shown = ExtractSourceIcon(window->LoadRow(CustomiserItems::Page::Drives, 2));
    EXPECT_NE(shown, nullptr);
    DestroyIcon(shown);
    EXPECT_TRUE(Enabled(window, "suiButton20"));
    Click(window, "suiButton20");
    EXPECT_EQ(ReadShellValue(6), "");

    // A damaged library shows no icons, and OK then says so and writes nothing; so does OK on a
    // blank cell of a good file.
    const QString broken = dir.path() + "/broken.icl";
    settingstest::WriteFile(broken, QByteArray("MZ") + QByteArray(300, '\x7f'));
    // An icon whose directory reads but whose picture does not: its cell stays blank.
    const QString damaged = dir.path() + "/damaged.ico";
    QByteArray damagedBytes = settingstest::IconFileOfColour(0xFF00FF00u);
    damagedBytes.replace(22, 4, QByteArray("\xff\xff\xff\x7f", 4));
    settingstest::WriteFile(damaged, damagedBytes);
    for (auto [file, col, row, count, said] : {std::tuple{broken, 0, 0, 0, "The file named holds no icons to choose from."},
                                               {ico, 0, 3, 1, "Please choose an icon in the grid first."},
                                               {damaged, 0, 0, 1, "Please choose an icon in the grid first."}}) {
        QStringList messages;
        {
            TDialogAnswererScope answers(PickCell(file, col, row, &messages));
            Click(window, "suiButton16");
        }
        EXPECT_EQ(selecticon->IconCount(), count) << file.toStdString();
        EXPECT_EQ(messages, QStringList({said})) << file.toStdString();
        EXPECT_EQ(ReadClassValue(window->DesktopItems[2]), ico + ",0");
    }
}

TEST_F(CustomiserWindow, ThePickerWritesOnlyAnIconChosenInTheFileItShows)
{
    Tset_window_icon* window = Make();
    const QString ten = dir.path() + "/ten.icl";
    const QString three = dir.path() + "/my,icons/three.icl";
    settingstest::WriteLibrary(ten, 10);
    settingstest::WriteLibrary(three, 3);
    auto image3 = [] { return qobject_cast<TImage*>(selecticon->FindComponent("Image3"))->Picture()->Graphic(); };
    Select(window, "beginicon", 0, 0);
    QStringList messages;
    TDialogAnswererScope answers([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkOpen) {
            r.Result = 0; // "...." cancelled
            return true;
        }
        if (r.Kind != TDialogRequest::dkForm || r.Dialog != selecticon) {
            messages << r.Text;
            r.Result = IDOK;
            return true;
        }
        auto* grid = qobject_cast<TDrawGrid*>(selecticon->FindComponent("suiDrawGrid1"));
        bool can = true;
        selecticon->SetFileText(ten);
        // Cell 3 of one library, then another library typed into the box: its cell 3 was never
        // chosen.
        grid->OnSelectCell(grid, 2, 0, can);
        EXPECT_EQ(selecticon->SelectedCell, 3);
        EXPECT_TRUE(image3());
        qobject_cast<TControl*>(selecticon->FindComponent("filepath"))->SetText(three);
        EXPECT_EQ(selecticon->SelectedCell, 0);
        EXPECT_FALSE(image3()) << "the preview of a choice that is gone";
        ClickComponentByName(selecticon, "suiButton3");
        // A cancelled "...." keeps the box and what it shows.
        ClickComponentByName(selecticon, "suiButton1");
        EXPECT_EQ(selecticon->FileText(), three);
        EXPECT_EQ(selecticon->IconCount(), 3);
        // Its second icon, from a folder with a comma in its name.
        grid->OnSelectCell(grid, 1, 0, can);
        ClickComponentByName(selecticon, "suiButton3");
        r.Result = 1;
        return true;
    });
    ClickComponentByName(window, "suiButton9");
    EXPECT_EQ(messages, QStringList({"Please choose an icon in the grid first."}));
    EXPECT_EQ(ReadShellValue(19), three + ",1");
    EXPECT_EQ(CentreColour(ExtractSourceIcon(window->LoadRow(CustomiserItems::Page::StartMenu, 1))), 0xFF000001u);
}

TEST_F(CustomiserWindow, ALibraryPathOfAnyLengthIsShownAndWrittenWhole)
{
    Tset_window_icon* window = Make();
    QString folder = dir.path();
    while (folder.size() < 300)
        folder += "/a-rather-long-folder-name";
    const QString dll = folder + "/icons32.dll";
    QDir().mkpath(folder);
    ASSERT_TRUE(QFile::copy(TestDataPath("platform/exe/icons32.dll"), dll));
    Select(window, "beginicon", 0, 0);
    {
        TDialogAnswererScope answers(PickCell(dll, 0, 0));
        Click(window, "suiButton9");
    }
    EXPECT_GT(selecticon->IconCount(), 0);
    EXPECT_EQ(selecticon->DllPath, dll);
    EXPECT_EQ(ReadShellValue(19), dll + ",0");
}

TEST_F(CustomiserWindow, HelpWithoutTheHelpPagesSaysWhy)
{
    Tset_window_icon* window = Make();
    try {
        window->suiForm1TitleBarHelpBtnClick(nullptr, 0);
        ADD_FAILURE() << "the missing help pages went unreported";
    } catch (const EOSError& e) {
        EXPECT_TRUE(e.Message().startsWith("System Error.  Code: ")) << e.Message().toStdString();
    }
}

namespace {

// The program started and quit as a user does, the customiser opened from its menu.
class CustomiserAcrossRuns : public SettingsProgram {
protected:
    void SetUp() override
    {
        qputenv("BRELNOVA_REGISTRY", (world.path() + "/registry.txt").toUtf8());
        settingstest::WriteLibrary(library, 10);
        settingstest::WriteLibrary(world.path() + "/windows/system32/shell32.dll", 50);
        SetWindowsDirectory(world.path() + "/windows");
        SettingsProgram::SetUp();
    }
    void TearDown() override
    {
        SettingsProgram::TearDown();
        SetWindowsDirectory(QString());
        qunsetenv("BRELNOVA_REGISTRY");
    }
    // Exit without saving the project, and start again.
    void Restart()
    {
        {
            TDialogAnswererScope answers([](TDialogRequest& r) {
                r.Result = r.Kind == TDialogRequest::dkMessageDlg ? int(mrNo) : int(IDOK);
                return true;
            });
            iconmain->Exit1Click(nullptr);
        }
        SettingsProgram::TearDown();
        ASSERT_FALSE(set_window_icon);
        SettingsProgram::SetUp();
    }
    // Opens the customiser from the menu and runs act while it is shown; the picker, when
    // Modify shows it, chooses cell (col, 0) of the library.
    void WithCustomiser(const std::function<void(Tset_window_icon*)>& act)
    {
        TDialogAnswererScope answers([&](TDialogRequest& r) {
            if (r.Kind == TDialogRequest::dkForm && r.Dialog == selecticon) {
                selecticon->SetFileText(library);
                auto* grid = qobject_cast<TDrawGrid*>(selecticon->FindComponent("suiDrawGrid1"));
                bool can = true;
                grid->OnSelectCell(grid, pickColumn, 0, can);
                ClickComponentByName(selecticon, "suiButton3");
            } else if (r.Kind == TDialogRequest::dkForm && r.Dialog == set_window_icon) {
                act(set_window_icon);
            }
            r.Result = r.Kind == TDialogRequest::dkForm ? 2 : IDOK;
            return true;
        });
        ASSERT_TRUE(ClickComponentByName(iconmain, "CustomizeWindowsIcons1"));
    }
    static void Pick(Tset_window_icon* window, const char* grid, int row)
    {
        auto* g = qobject_cast<TDrawGrid*>(window->FindComponent(grid));
        bool can = true;
        g->OnSelectCell(g, 0, row, can);
    }
    static QString Text(TForm* window, const char* name) { return window->FindComponent(name)->property("Text").toString(); }
    static bool Checked(TForm* window, const char* name) { return window->FindComponent(name)->property("Checked").toBool(); }

    QTemporaryDir world;
    QString library = world.path() + "/ten.icl";
    int pickColumn = 0;
};

TEST_F(CustomiserAcrossRuns, UndoAndTheIconMetricsKeepToTheRunTheyBelongTo)
{
    // First run: Start Menu "Program" changed; big icons spaced 43 and 50 applied.
    WithCustomiser([&](Tset_window_icon* window) {
        Pick(window, "beginicon", 0);
        ClickComponentByName(window, "suiButton9");
        EXPECT_TRUE(qobject_cast<TControl*>(window->FindComponent("suiButton40"))->Enabled());
        window->FindComponent("icon_size2")->setProperty("Checked", true);
        window->FindComponent("suiComboBox1")->setProperty("Text", "43");
        window->FindComponent("suiComboBox2")->setProperty("Text", "50");
        ClickComponentByName(window, "suiButton5");
    });
    EXPECT_EQ(ReadShellValue(19), library + ",0");
    Restart();

    // Second run: the page shows what was applied, and nothing of the first run can be undone.
    pickColumn = 1;
    WithCustomiser([&](Tset_window_icon* window) {
        EXPECT_TRUE(Checked(window, "icon_size2"));
        EXPECT_FALSE(Checked(window, "icon_size1"));
        EXPECT_EQ(Text(window, "suiComboBox1"), "43");
        EXPECT_EQ(Text(window, "suiComboBox2"), "50");
        Pick(window, "beginicon", 0);
        EXPECT_FALSE(qobject_cast<TControl*>(window->FindComponent("suiButton40"))->Enabled());
        // Changed in this run, Undo gives back what this run began with.
        ClickComponentByName(window, "suiButton9");
        EXPECT_EQ(ReadShellValue(19), library + ",1");
        ClickComponentByName(window, "suiButton40");
        EXPECT_EQ(ReadShellValue(19), library + ",0");
    });
}

TEST_F(CustomiserAcrossRuns, TheCancelOfEveryListPageClosesTheWindow)
{
    // Opened from the menu, each list page brought up and its Cancel clicked with the mouse.
    const std::pair<int, const char*> cancels[] = {{2, "suiButton15"}, {3, "suiButton19"}, {4, "suiButton27"}, {5, "suiButton31"}};
    for (const auto& [page, name] : cancels) {
        bool closed = false;
        TDialogAnswererScope answers([&, page = page, name = name](TDialogRequest& r) {
            if (r.Kind != TDialogRequest::dkForm || r.Dialog != set_window_icon)
                return false;
            set_window_icon->Show();
            qobject_cast<TsuiPageControl*>(set_window_icon->FindComponent("suiPageControl1"))->SelectPage(page);
            auto* button = qobject_cast<QWidget*>(set_window_icon->FindComponent(name));
            EXPECT_TRUE(button && button->isVisible()) << name;
            if (button)
                QTest::mouseClick(set_window_icon->windowHandle(), Qt::LeftButton, {},
                                  button->mapTo(set_window_icon, QPoint(button->width() / 2, button->height() / 2)));
            closed = !set_window_icon->isVisible();
            set_window_icon->Hide();
            r.Result = mrCancel;
            return true;
        });
        ASSERT_TRUE(ClickComponentByName(iconmain, "CustomizeWindowsIcons1"));
        EXPECT_TRUE(closed) << name;
    }
}

} // namespace
