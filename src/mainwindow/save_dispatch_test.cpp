#include "mainwindow/save_dispatch.h"

#include "document/scratch_folder.h"
#include "framework/string_list.h"
#include "imaging/icons/icon_library.h"
#include "imaging/icons/multi_icon.h"
#include "mainwindow/testing_file_host.h"
#include "platform/registry_store.h"
#include "testsupport/testdata.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

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
    // The folder, missing before, is made for the icon to go into.
    EXPECT_TRUE(QFileInfo(Path("My Desk")).isDir());
    qunsetenv("BRELNOVA_REGISTRY");
}

TEST_F(SaveDispatchTest, EveryRoadAsksBeforeWritingOverAFile)
{
    // Each road with the name chosen and the file it would write, which exists already.
    const struct {
        int entry; // 0: File > Export > PNG Files; -1: Send to Desktop
        const char* name;
        const char* written;
        const char* command;
    } cases[] = {
        {1, "a", "a.ico", "BitBtn21"},  {2, "a", "a.cur", "BitBtn22"},    {3, "a", "a.icl", "BitBtn21 icl"},
        {4, "a", "a.bmp", "Button1"},   {5, "a", "a.gif", "Button1"},     {6, "a", "a.emf", "Button1"},
        {7, "a", "a.wmf", "Button1"},   {8, "a", "a.jpg", "JpegOptions"}, {9, "a.png", "a.png", "Button1"},
        {10, "a", "a.tif", "Button1"},  {11, "a", "a.tga", "Button1"},    {0, "a", "a.png", "Button1"},
        {-1, "", "desk/project1.ico", "BitBtn21"},
    };
    host.OnDocumentCommand = [](const QString& component, const QString& argument) {
        if (component == "BitBtn21" && argument == "icl")
            QFile::copy(TestDataPath("icons/pillow/python.ico"), ScratchPath("icl.ico"));
        return true;
    };
    qputenv("BRELNOVA_REGISTRY", Path("registry.txt").toUtf8());
    RegistryStore::SetValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                            "Desktop", RegistryValue::String(Path("desk")));
    QDir().mkpath(Path("desk"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        for (const bool replace : {false, true}) {
            Write(c.written, "mine");
            host.Log.clear();
            host.ReplaceQuestions.clear();
            host.ReplaceAnswer = replace;
            host.State.SaveNotDone = false;
            host.DialogAnswer = Path(c.name);
            host.SaveFilterIndex = c.entry;
            if (c.entry > 0)
                SaveCommand(host);
            else if (c.entry == 0)
                ExportPngCommand(host);
            else
                SendToDesktopCommand(host);
            EXPECT_EQ(host.ReplaceQuestions, QStringList{Path(c.written)});
            EXPECT_EQ(Commands().join('|').contains(c.command), replace) << Commands().join('|').toStdString();
            if (!replace) {
                EXPECT_EQ(host.State.SaveNotDone, c.entry > 0);
                EXPECT_EQ(ReadFile(Path(c.written)), "mine");
            }
        }
    }
    qunsetenv("BRELNOVA_REGISTRY");

    // A name that stands for no file yet is written without a question.
    host.Log.clear();
    host.ReplaceQuestions.clear();
    host.DialogAnswer = Path("fresh");
    host.SaveFilterIndex = 1;
    SaveCommand(host);
    EXPECT_TRUE(host.ReplaceQuestions.isEmpty());
    EXPECT_EQ(Commands(), QStringList{"BitBtn21 " + Path("fresh.ico")});
}

TEST_F(SaveDispatchTest, TheDialogStartsWithTheProjectsOwnFileOrNoName)
{
    host.DialogAnswer.clear();
    Tnewiconview* doc = host.NewDocumentWindow("iconview1", "Project 1");
    host.Editor.ActiveDocumentName = "iconview1";
    // Whatever name the dialog kept from another project's save, a new project starts with none.
    host.SaveFileName = Path("other.ico");
    SaveAsCommand(host);
    ExportImagesCommand(host);
    EXPECT_EQ(host.ProposedNames, (QStringList{QString(), QString()}));

    // A project from a file starts with that file: whole for a save, with the entry of its kind;
    // without its extension for an export; another kind of file proposes an icon of its name.
    const struct {
        const char* saved;
        const char* last;
        const char* save;
        int entry;
        const char* exported;
    } cases[] = {
        {"b.ico", "", "b.ico", 1, "b"},
        {"", "hand.cur", "hand.cur", 2, "hand"},
        {"b.ico", "c.cur", "c.cur", 2, "c"},
        {"", "walk.ani", "walk.ico", 1, "walk"},
        {"", "lib.icl", "lib.ico", 1, "lib"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.save);
        doc->SavedFileName = *c.saved ? Path(c.saved) : QString();
        doc->LastFileName = *c.last ? Path(c.last) : QString();
        host.ProposedNames.clear();
        host.ProposedEntries.clear();
        SaveAsCommand(host);
        ExportImagesCommand(host);
        EXPECT_EQ(host.ProposedNames, (QStringList{Path(c.save), Path(c.exported)}));
        // An export keeps the entry the dialog had.
        EXPECT_EQ(host.ProposedEntries, (std::vector<int>{c.entry, 0}));
    }
}
