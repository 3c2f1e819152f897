#include "mainwindow/save_dispatch.h"

#include "document/scratch_folder.h"
#include "framework/string_list.h"
#include "imaging/icons/icon_library.h"
#include "imaging/icons/multi_icon.h"
#include "mainwindow/testing_file_host.h"
#include "platform/registry_store.h"
#include "testsupport/testdata.h"

#include <QFile>

namespace {

// The dispatch alone: every document command is recorded and counts as run.
class SaveDispatchTest : public FileRoadsTest {
protected:
    void SetUp() override
    {
        FileRoadsTest::SetUp();
        host.OnDocumentCommand = [](const QString&, const QString&) { return true; };
    }
    QStringList Commands() const
    {
        QStringList out;
        for (const QString& line : host.Log)
            if (line != "SaveDialog")
                out << line;
        return out;
    }
};

} // namespace

TEST_F(SaveDispatchTest, SaveWritesBackToAnIconOrCursorPathInAnyCase)
{
    const struct {
        const char* combo;
        const char* command; // empty: the dialog is shown
    } cases[] = {
        {"  /x/App.ico ", "BitBtn21 /x/App.ico"},
        {"/x/App.ICO", "BitBtn21 /x/App.ICO"},
        {"/x/arrow.Cur", "BitBtn22 /x/arrow.Cur"},
        {"/x/notes.txt", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        host.Log.clear();
        host.ComboText = c.combo;
        SaveCommand(host);
        EXPECT_EQ(host.Editor.CurrentFilePath, QString(c.combo).trimmed()) << c.combo;
        if (*c.command)
            EXPECT_EQ(host.Log, QStringList{c.command}) << c.combo;
        else
            EXPECT_EQ(host.Log, QStringList{"SaveDialog"}) << c.combo;
    }
}

TEST_F(SaveDispatchTest, DialogEntryChoosesTheWriter)
{
    const struct {
        int entry;
        const char* name;
        const char* command;
    } cases[] = {
        {1, "logo", "BitBtn21 logo.ico"},   {1, "logo.ICO", "BitBtn21 logo.ICO"},
        {2, "hand", "BitBtn22 hand.cur"},   {2, "hand.CUR", "BitBtn22 hand.CUR"},
        {4, "p", "Button1 bmp"},            {5, "p", "Button1 gif"},
        {6, "p", "Button1 emf"},            {7, "p", "Button1 wmf"},
        {8, "p", "JpegOptions"},            {9, "p", "Button1 png"},
        {10, "p", "Button1 tif"},           {11, "p", "Button1 tga"},
    };
    for (const auto& c : cases) {
        host.Log.clear();
        host.DialogAnswer = c.name;
        host.SaveFilterIndex = c.entry;
        SaveCommand(host);
        EXPECT_EQ(Commands(), QStringList{c.command}) << c.entry << " " << c.name;
        EXPECT_EQ(host.SaveFileName, c.name);
    }
    EXPECT_FALSE(host.State.SaveNotDone);
    host.Log.clear();
    host.DialogAnswer.clear();
    SaveCommand(host);
    EXPECT_TRUE(Commands().isEmpty());
    // A cancelled dialog is told to whoever asked for the save (the close question).
    EXPECT_TRUE(host.State.SaveNotDone);
}

TEST_F(SaveDispatchTest, IconLibraryIsBuiltFromTheDocumentsIcon)
{
    const QString scratch = ScratchPath("icl.ico");
    host.OnDocumentCommand = [&](const QString& component, const QString& argument) {
        if (component == "BitBtn21" && argument == "icl")
            QFile::copy(TestDataPath("icons/pillow/python.ico"), scratch);
        return true;
    };
    host.SaveFilterIndex = 3;
    for (const char* name : {"set", "Other.ICL"}) {
        host.DialogAnswer = Path(name);
        SaveCommand(host);
    }
    for (const char* written : {"set.icl", "Other.ICL"}) {
        TIconLibrary library;
        library.LoadFromFile(Path(written));
        ASSERT_EQ(library.Icons()->Count(), 1) << written;
        EXPECT_EQ(static_cast<TMultiIcon*>(library.Icons()->Objects(0))->Count(), 3);
    }
    EXPECT_EQ(host.Editor.CommandArgument, Path("Other.ICL"));

    // Without a document nothing is written, not even from the icon of the last save.
    host.OnDocumentCommand = [](const QString&, const QString&) { return false; };
    host.DialogAnswer = Path("none");
    SaveCommand(host);
    EXPECT_FALSE(QFile::exists(Path("none.icl")));
}

TEST_F(SaveDispatchTest, SaveAsMovesTheProjectExportKeepsIt)
{
    host.ComboText = "/old/a.ico";
    host.Editor.CurrentFilePath = "/old/a.ico";
    host.DialogAnswer = Path("new");
    host.SaveFilterIndex = 1;
    SaveAsCommand(host);
    EXPECT_EQ(host.ComboText, Path("new.ico"));
    host.Log.clear();
    SaveCommand(host);
    EXPECT_EQ(host.Log, QStringList{"BitBtn21 " + Path("new.ico")});

    host.Log.clear();
    host.DialogAnswer = Path("copy.png");
    host.SaveFilterIndex = 9;
    ExportImagesCommand(host);
    EXPECT_EQ(host.Log, (QStringList{"SaveDialog", "Button1 png"}));
    EXPECT_EQ(host.ComboText, Path("new.ico"));
    EXPECT_EQ(host.Editor.CurrentFilePath, Path("new.ico"));

    host.Log.clear();
    host.DialogAnswer = Path("shot.png");
    ExportPngCommand(host);
    EXPECT_EQ(host.SaveFileName, Path("shot.png"));
    EXPECT_EQ(host.Log, QStringList{"Button1 png"});
}

TEST_F(SaveDispatchTest, SendToDesktopUsesTheShellFolderAsFound)
{
    qputenv("BRELNOVA_REGISTRY", Path("registry.txt").toUtf8());
    RegistryStore::SetValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                            "Desktop", RegistryValue::String(Path("My Desk")));
    EXPECT_EQ(GetDesktopFolder(), Path("My Desk"));
    host.Editor.ActiveDocumentNumber = 3;
    SendToDesktopCommand(host);
    EXPECT_EQ(host.Log, (QStringList{"BitBtn21 " + Path("My Desk/project3.ico"), "Minimize"}));
    qunsetenv("BRELNOVA_REGISTRY");
}
