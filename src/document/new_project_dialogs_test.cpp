#include "document/addimage.h"
#include "document/createico.h"
#include "document/deleteicon.h"
#include "document/format_list.h"
#include "document/new_size_dialog.h"
#include "document/newiconview.h"
#include "document/testing_editor_state.h"
#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/ini_file.h"
#include "framework/menus.h"
#include "platform/help_viewer.h"
#include "platform/program_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class NewProjectDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(dir.path());
        QDir(dir.path()).mkpath("data");
        templ = std::make_unique<Tnewiconview>();
        // Every message box the dialogs show is noted and answered OK; other forms are left to
        // the test.
        answers = std::make_unique<TDialogAnswererScope>([this](TDialogRequest& r) {
            QObject* label = r.Dialog ? r.Dialog->findChild<QObject*>("lbl") : nullptr;
            if (r.Kind == TDialogRequest::dkForm && label) {
                warnings << label->property("Caption").toString();
                r.Result = mrOk;
                return true;
            }
            if (r.Kind == TDialogRequest::dkMessageDlg) {
                warnings << r.Text;
                r.Result = mrOk;
                return true;
            }
            if (r.Kind == TDialogRequest::dkForm && onForm)
                return onForm(r);
            return false;
        });
    }
    void TearDown() override
    {
        answers.reset();
        HtmlHelp(nullptr, QString(), HH_CLOSE_ALL, 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete createico;
        delete addimage;
        delete deleteicon;
        for (int n = 1; n <= 9; ++n)
            delete FindForm("iconview" + QString::number(n));
        templ.reset();
        SetProgramFolder(QString());
    }
    void WriteDefaults(const QMap<QString, QString>& keys)
    {
        TIniFile ini(dir.filePath("data/rozazuvidodiro.ini"));
        for (auto it = keys.begin(); it != keys.end(); ++it)
            ini.WriteString("default", it.key(), it.value());
    }
    static QString Text(TForm& f, const char* name) { return f.FindComponent(name)->property("Text").toString(); }
    static void Type(TForm& f, const char* name, const QString& text) { f.FindComponent(name)->setProperty("Text", text); }
    static bool Checked(TForm& f, const char* name) { return f.FindComponent(name)->property("Checked").toBool(); }
    static bool Enabled(TForm& f, const char* name) { return qobject_cast<TControl*>(f.FindComponent(name))->Enabled(); }
    static void Check(TForm& f, const char* name) { f.FindComponent(name)->setProperty("Checked", true); }
    static void Click(TForm& f, const char* name) { ASSERT_TRUE(ClickComponentByName(&f, name)) << name; }
    static QString Format(TForm* doc, int f)
    {
        return FormatCaption(*qobject_cast<Tnewiconview*>(doc), f);
    }
    // The size radio of the new-project dialog that is selected, or "" for none.
    static QString SelectedSize(TForm& f)
    {
        QString selected;
        for (int side : {16, 32, 48, 64, 72, 96, 128})
            if (Checked(f, qPrintable("iconsize" + QString::number(side))))
                selected += QString::number(side);
        return selected;
    }
    // An open project of one 16 x 16 "XP" format.
    Tnewiconview* OpenProject(int n)
    {
        state.NewImageWidth = state.NewImageHeight = 16;
        state.NewImageKind = "XP";
        auto* doc = new Tnewiconview;
        doc->setObjectName("iconview" + QString::number(n));
        state.ActiveDocumentName = doc->objectName();
        return doc;
    }
    // Shows the dialog as New does and clicks its OK.
    TForm* CreateProject()
    {
        Tcreateico& dialog = CreateIco();
        dialog.FormShow(&dialog);
        const int before = state.DocumentCounter;
        dialog.iconsetokClick(&dialog);
        return state.DocumentCounter >= before ? FindForm(state.ActiveDocumentName) : nullptr;
    }

    QTemporaryDir dir;
    TTestingEditorState state;
    std::unique_ptr<Tnewiconview> templ;
    std::unique_ptr<TDialogAnswererScope> answers;
    std::function<bool(TDialogRequest&)> onForm;
    QStringList warnings;
};

} // namespace

TEST(SizeTexts, SidesAreWholeNumbersFromOneTo255)
{
    const struct {
        const char* Text;
        TSideText Result;
        int Value;
    } rows[] = {
        {"1", TSideText::Taken, 1},         {" 255 ", TSideText::Taken, 255},  {"007", TSideText::Taken, 7},
        {"256", TSideText::TooLarge, 0},    {"00000300", TSideText::TooLarge, 0}, {"99999999999", TSideText::TooLarge, 0},
        {"", TSideText::Incomplete, 0},     {"0", TSideText::Incomplete, 0},   {"3.5", TSideText::NotInteger, 0},
        {"-5", TSideText::NotInteger, 0},   {"1a", TSideText::NotInteger, 0},  {"１２", TSideText::NotInteger, 0},
    };
    for (const auto& row : rows) {
        int v = 0;
        EXPECT_EQ(ReadSideText(QString::fromUtf8(row.Text), v), row.Result) << row.Text;
        EXPECT_EQ(v, row.Value) << row.Text;
    }
    for (const auto& [typed, kept] : {std::pair{'7', '7'}, {'\b', '\b'}, {'a', '\0'}, {'.', '\0'}, {'-', '\0'}}) {
        QChar key = QLatin1Char(typed);
        FilterSizeKey(key);
        EXPECT_EQ(key, QLatin1Char(kept)) << typed;
    }
}

TEST_F(NewProjectDialogs, StartsFromTheStoredDefaultsAndCreatesThatProject)
{
    const struct {
        QMap<QString, QString> Stored;
        const char* Radio; // selected size radio, "" for none
        const char* Width; // edit texts when no radio is selected
        const char* Height;
        const char* KindRadio;
        const char* Created;
    } rows[] = {
        {{}, "48", "", "", "iconcolorxp", "48 * 48 - XP"},
        {{{"x", "20"}, {"y", "30"}}, "", "20", "30", "iconcolorxp", "20 * 30 - XP"},
        {{{"x", "32"}, {"y", "32"}, {"color", "256"}}, "32", "", "", "iconcolor256", "32 * 32 - 256"},
        {{{"x", "128"}, {"y", "128"}, {"color", "Mono"}}, "128", "", "", "iconcolor1", "128 * 128 - Mono"},
        // Unreadable values count as missing: 48 and "XP".
        {{{"x", "big"}, {"y", "4.5"}, {"color", "purple"}}, "48", "", "", "iconcolorxp", "48 * 48 - XP"},
        {{{"x", "300"}, {"y", "0"}}, "48", "", "", "iconcolorxp", "48 * 48 - XP"},
        {{{"x", "no"}, {"y", "24"}, {"color", "16.8M"}}, "", "48", "24", "iconcolor24", "48 * 24 - 16.8M"},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Created);
        QFile::remove(dir.filePath("data/rozazuvidodiro.ini"));
        WriteDefaults(row.Stored);
        delete createico;
        Tcreateico& dialog = CreateIco();
        EXPECT_EQ(SelectedSize(dialog), row.Radio);
        if (!*row.Radio) {
            EXPECT_EQ(Text(dialog, "iconwidth"), row.Width);
            EXPECT_EQ(Text(dialog, "iconheight"), row.Height);
        }
        EXPECT_TRUE(Checked(dialog, row.KindRadio));
        TForm* project = CreateProject();
        ASSERT_NE(project, nullptr);
        EXPECT_EQ(project->objectName(), "iconview" + QString::number(++n));
        EXPECT_EQ(Format(project, 1), row.Created);
        EXPECT_EQ(qobject_cast<Tnewiconview*>(project)->FormatCount(), 1);
    }
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join("|").toStdString();
    // Reading changed nothing in the file.
    EXPECT_EQ(TIniFile(dir.filePath("data/rozazuvidodiro.ini")).ReadString("default", "x", "no"), "no");
}

TEST_F(NewProjectDialogs, ChoosesSizeAndKindAndKeepsTheChoiceForTheNextProject)
{
    Tcreateico& dialog = CreateIco();
    // A standard size and a kind.
    Click(dialog, "iconsize16");
    Click(dialog, "iconcolor16");
    EXPECT_EQ(Format(CreateProject(), 1), "16 * 16 - 16");

    // The custom size: its controls come on, the size radios go off.
    EXPECT_FALSE(Enabled(dialog, "iconwidth"));
    Click(dialog, "suiRadioButton1");
    EXPECT_EQ(SelectedSize(dialog), "");
    for (const char* c : {"iconwidth", "iconheight", "Label2", "Label4", "suiCheckBox1"})
        EXPECT_TRUE(Enabled(dialog, c)) << c;
    Type(dialog, "iconwidth", "200");
    Type(dialog, "iconheight", "7");
    // A kind chosen afterwards switches the custom controls off but keeps the typed size.
    Click(dialog, "iconcolor24");
    EXPECT_FALSE(Enabled(dialog, "iconwidth"));
    EXPECT_FALSE(Checked(dialog, "suiRadioButton1"));
    EXPECT_EQ(Format(CreateProject(), 1), "200 * 7 - 16.8M");

    // The next New shows the same choice; only the name moves on.
    EXPECT_EQ(SelectedSize(dialog), "");
    EXPECT_TRUE(Checked(dialog, "iconcolor24"));
    dialog.FormShow(&dialog);
    EXPECT_EQ(Text(dialog, "iconname"), "Project 3");
    EXPECT_EQ(Format(CreateProject(), 1), "200 * 7 - 16.8M");

    // "Square" copies the width into the height.
    Click(dialog, "iconwidth");
    Check(dialog, "suiCheckBox1");
    Type(dialog, "iconwidth", "99");
    EXPECT_EQ(Text(dialog, "iconheight"), "99");
    EXPECT_EQ(Format(CreateProject(), 1), "99 * 99 - 16.8M");
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(NewProjectDialogs, BadSizesAreRefusedWithAMessageAndMakeNoProject)
{
    Tcreateico& dialog = CreateIco();
    Click(dialog, "suiRadioButton1");
    Type(dialog, "iconwidth", "20");
    Type(dialog, "iconwidth", "300");
    EXPECT_EQ(warnings, QStringList({"Icon width exceeds 255"}));
    EXPECT_EQ(dialog.NewWidth, 20);
    Type(dialog, "iconheight", "1.5");
    EXPECT_EQ(warnings.last(), "Icon height mast be integer");
    EXPECT_EQ(Text(dialog, "iconheight"), "32");
    EXPECT_EQ(dialog.NewHeight, 32);

    // OK takes the custom sides from the edits and refuses what is not 1..255.
    const struct {
        const char* Width;
        const char* Height;
        const char* Warning;
    } rows[] = {
        {"300", "32", "Icon size exceeds 255"},
        {"", "32", "Please set image size"},
        {"0", "32", "Please set image size"},
        {"20", "", "Please set image size"},
    };
    for (const auto& row : rows) {
        Type(dialog, "iconwidth", row.Width);
        Type(dialog, "iconheight", row.Height);
        warnings.clear();
        dialog.FormShow(&dialog);
        dialog.iconsetokClick(&dialog);
        EXPECT_EQ(warnings.value(warnings.size() - 1), row.Warning) << row.Width << " " << row.Height;
        EXPECT_EQ(FindForm("iconview1"), nullptr);
        EXPECT_EQ(state.DocumentCounter, 1);
        // Set to Default refuses the same and writes nothing.
        dialog.setdefaultClick(&dialog);
        EXPECT_FALSE(QFile::exists(dir.filePath("data/rozazuvidodiro.ini")));
    }
}

TEST_F(NewProjectDialogs, ProjectsTakeTheFirstFreeNumber)
{
    std::unique_ptr<Tnewiconview> one(OpenProject(1));
    Tcreateico& dialog = CreateIco();
    dialog.FormShow(&dialog);
    EXPECT_EQ(Text(dialog, "iconname"), "Project 2");
    state.Log.clear();
    Type(dialog, "iconname", "My icons");
    dialog.iconsetokClick(&dialog);
    TForm* two = FindForm("iconview2");
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->Caption(), "My icons");
    EXPECT_EQ(state.ActiveDocumentName, "iconview2");
    EXPECT_EQ(state.ActiveDocumentNumber, 2);
    EXPECT_EQ(state.DocumentCounter, 2);
    EXPECT_TRUE(state.Log.contains("HighlightDocumentTab 5"));
    EXPECT_TRUE(two->isVisible());

    // With 1 and 3 open and the counter at 3, number 2 is taken again; the counter stays.
    std::unique_ptr<Tnewiconview> three(OpenProject(3));
    delete two;
    state.DocumentCounter = 3;
    dialog.FormShow(&dialog);
    EXPECT_EQ(Text(dialog, "iconname"), "Project 2");
    ASSERT_NE(CreateProject(), nullptr);
    EXPECT_EQ(state.ActiveDocumentName, "iconview2");
    EXPECT_EQ(state.DocumentCounter, 3);
}

TEST_F(NewProjectDialogs, SetToDefaultStoresTheChoiceTheNextStartReads)
{
    Tcreateico& dialog = CreateIco();
    Click(dialog, "suiRadioButton1");
    Type(dialog, "iconwidth", "24");
    Type(dialog, "iconheight", "40");
    Click(dialog, "iconcolor256");
    Click(dialog, "setdefault");
    TIniFile ini(dir.filePath("data/rozazuvidodiro.ini"));
    EXPECT_EQ(ini.ReadString("default", "x", "no"), "24");
    EXPECT_EQ(ini.ReadString("default", "y", "no"), "40");
    EXPECT_EQ(ini.ReadString("default", "color", "no"), "256");
    EXPECT_EQ(state.DocumentCounter, 1);

    delete createico;
    Tcreateico& again = CreateIco();
    EXPECT_EQ(Text(again, "iconwidth"), "24");
    EXPECT_EQ(Text(again, "iconheight"), "40");
    EXPECT_TRUE(Checked(again, "iconcolor256"));
    EXPECT_EQ(Format(CreateProject(), 1), "24 * 40 - 256");
}

TEST_F(NewProjectDialogs, NewFormatDialogAddsTheChosenFormatToTheDocument)
{
    std::unique_ptr<Tnewiconview> doc(OpenProject(1));
    // Each showing is a new dialog that starts from 48 x 48 "XP"; OK adds and closes.
    const struct {
        std::function<void(Taddimage&)> Choose;
        const char* Added;
    } rows[] = {
        {[](Taddimage&) {}, "48 * 48 - XP"},
        {[](Taddimage& d) { Click(d, "size24"); Click(d, "icon8"); }, "24 * 24 - 256"},
        {[](Taddimage& d) { Click(d, "icon1"); Click(d, "size128"); }, "128 * 128 - Mono"},
        {[](Taddimage& d) {
             Click(d, "sizeset");
             Type(d, "Edit1", "20");
             Click(d, "icon4");
         },
         "20 * 20 - 16"},
        {[](Taddimage& d) {
             Click(d, "sizeset");
             Click(d, "suiCheckBox1");
             Type(d, "Edit1", "255");
             Type(d, "Edit2", "1");
             Click(d, "icon24");
         },
         "255 * 1 - 16.8M"},
    };
    for (const auto& row : rows) {
        bool shown = false;
        onForm = [&](TDialogRequest& r) {
            auto* dialog = qobject_cast<Taddimage*>(r.Dialog);
            if (!dialog)
                return false;
            shown = true;
            EXPECT_TRUE(Checked(*dialog, "size48") && Checked(*dialog, "icon32"));
            EXPECT_FALSE(Enabled(*dialog, "Edit1"));
            row.Choose(*dialog);
            Click(*dialog, "suiButton1");
            r.Result = mrOk;
            return true;
        };
        const int before = doc->FormatCount();
        Click(*doc, "addimageSHOW1");
        EXPECT_TRUE(shown);
        ASSERT_EQ(doc->FormatCount(), before + 1) << row.Added;
        EXPECT_EQ(FormatCaption(*doc, doc->CurrentFormat()), row.Added);
    }
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join("|").toStdString();
    // The second popup's item opens it as well; Cancel adds nothing.
    bool shown = false;
    onForm = [&](TDialogRequest& r) {
        auto* dialog = qobject_cast<Taddimage*>(r.Dialog);
        shown = dialog;
        if (dialog)
            Click(*dialog, "suiButton2");
        return shown;
    };
    Click(*doc, "NewImageFormat1");
    EXPECT_TRUE(shown);
    EXPECT_EQ(doc->FormatCount(), 6);
}

TEST_F(NewProjectDialogs, NewFormatDialogRefusesBadSizesAndStaysOpen)
{
    std::unique_ptr<Tnewiconview> doc(OpenProject(1));
    Taddimage& d = NewAddImage();
    Click(d, "sizeset");
    Click(d, "suiCheckBox1"); // each side on its own
    Type(d, "Edit1", "400");
    EXPECT_EQ(warnings, QStringList({"Icon width exceeds 255"}));
    Type(d, "Edit2", "5.");
    EXPECT_EQ(warnings.last(), "Icon height mast be integer");
    EXPECT_EQ(Text(d, "Edit2"), "32");
    d.Show();
    Click(d, "suiButton1");
    EXPECT_EQ(warnings.last(), "Icon size exceeds 255");
    Type(d, "Edit1", "");
    Click(d, "suiButton1");
    EXPECT_EQ(warnings.last(), "Please set image size");
    Type(d, "Edit1", "0");
    Click(d, "suiButton1");
    EXPECT_EQ(warnings.last(), "Please set image size");
    for (const char* kind : {"icon32", "icon24", "icon8", "icon4", "icon1"})
        d.FindComponent(kind)->setProperty("Checked", false);
    Click(d, "size16");
    Click(d, "suiButton1");
    EXPECT_EQ(warnings.last(), "Please set icon format");
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(doc->FormatCount(), 1);

    // A size the document holds already is refused by the document; the dialog closes.
    Click(d, "icon32");
    warnings.clear();
    Click(d, "suiButton1");
    EXPECT_EQ(warnings, QStringList({"The icon format has existed"}));
    EXPECT_EQ(doc->FormatCount(), 1);
    EXPECT_FALSE(d.isVisible());
}

TEST_F(NewProjectDialogs, EveryButtonAndItemDoesItsWork)
{
    std::unique_ptr<Tnewiconview> doc(OpenProject(1));
    QStringList asked;
    onForm = [&](TDialogRequest& r) {
        asked << r.Dialog->metaObject()->className();
        r.Result = mrCancel;
        return true;
    };
    // A lone format is not removed, and the user is told why.
    Click(*doc, "RemoveImageFormat2");
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(warnings, QStringList({"The only image format of a project cannot be removed"}));
    warnings.clear();
    // With two, the second popup's remove item asks as the first one does.
    NewFormatChoice() = {32, 32, "XP"};
    Click(*doc, "BitBtn18");
    Click(*doc, "RemoveImageFormat2");
    EXPECT_EQ(asked, QStringList({"Tdeleteicon"}));

    Tcreateico& dialog = CreateIco();
    dialog.Show();
    Click(dialog, "iconcancel");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(FindForm("iconview2"), nullptr);
    dialog.Show();
    Click(dialog, "iconsetok");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_NE(FindForm("iconview2"), nullptr);
    Click(dialog, "setdefault");
    EXPECT_EQ(TIniFile(dir.filePath("data/rozazuvidodiro.ini")).ReadString("default", "color", "no"), "XP");

    // Help: without help pages the dialogs say so; with them the topic opens.
    Taddimage& add = NewAddImage();
    dialog.suiForm1TitleBarHelpBtnClick(&dialog, 0);
    add.suiForm1TitleBarHelpBtnClick(&add, 0);
    EXPECT_EQ(warnings.size(), 2);
    EXPECT_EQ(HelpWindow(), nullptr);
    QDir(dir.path()).mkpath("help");
    for (const char* page : {"help/index.htm", "help/2_1.htm"}) {
        QFile f(dir.filePath(page));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<html><a name=\"new\">New</a></html>");
    }
    dialog.suiForm1TitleBarHelpBtnClick(&dialog, 0);
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_EQ(HelpWindowPage(), "2_1.htm#new");
    // A topic that has no page opens the contents.
    add.suiForm1TitleBarHelpBtnClick(&add, 0);
    EXPECT_EQ(HelpWindowPage(), "index.htm");
    EXPECT_EQ(warnings.size(), 2);
}
