#include "settings/setfile.h"

#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/registry.h"
#include "settings/testing_settings_program.h"
#include "settings/settings_windows.h"
#include "skin/controls/check_box.h"

#include <QProcess>

namespace {

class FileAssociations : public SettingsProgram {
protected:
    void SetUp() override
    {
        qputenv("BRELNOVA_REGISTRY", (registry.path() + "/registry.txt").toUtf8());
        SettingsProgram::SetUp();
        ASSERT_TRUE(ClickComponentByName(iconmain, "FileAssociations1"));
        ASSERT_TRUE(setfile);
    }
    void TearDown() override
    {
        SettingsProgram::TearDown();
        qunsetenv("BRELNOVA_REGISTRY");
    }
    static QString Default(const QString& key)
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_CLASSES_ROOT);
        if (!reg.OpenKeyReadOnly("\\" + key))
            return "<missing>";
        return reg.ReadString(QString());
    }
    void Tick(int n) { qobject_cast<TsuiCheckBox*>(setfile->FindComponent(QString("ok%1").arg(n)))->SetChecked(true); }
    TControl* Custom() const { return qobject_cast<TControl*>(setfile->FindComponent("nameok")); }
    // Presses Update and answers the question with answer.
    void Update(int answer)
    {
        TDialogAnswererScope scope([&](TDialogRequest& r) {
            if (r.Kind != TDialogRequest::dkForm)
                return false;
            asked << r.Dialog->findChild<QObject*>("lbl")->property("Caption").toString();
            r.Result = answer;
            return true;
        });
        setfile->suiButton1Click(nullptr);
    }

    QTemporaryDir registry;
    QStringList asked;
};

TEST_F(FileAssociations, UpdateWritesEachTickedTypeAndTheCustomOne)
{
    Tick(1);
    Tick(16);
    Custom()->SetText("  x.y ");
    Update(2);
    EXPECT_EQ(asked, QStringList{"Are you Sure ?"});
    EXPECT_EQ(Default(".ico"), "<missing>");

    Update(1);
    const QString command = "\"" + Tsetfile::CommandProgram() + "\" \"%1\"";
    EXPECT_EQ(Default(".ico"), "RozazuviDodiro.ico");
    EXPECT_EQ(Default("RozazuviDodiro.ico"), "Icon");
    EXPECT_EQ(Default("RozazuviDodiro.ico\\DefaultIcon"), "%1");
    EXPECT_EQ(Default("RozazuviDodiro.ico\\shell\\open\\command"), command);
    EXPECT_EQ(Default("RozazuviDodiro.ico\\shell\\edit\\command"), command);
    EXPECT_EQ(Default(".cur"), "<missing>");
    // The dots leave the extension; the ProgID keeps them.
    EXPECT_EQ(Default(".xy"), "RozazuviDodiro.x.y");
    EXPECT_EQ(Default("RozazuviDodiro.x.y"), "x.y");

    // Hovering reads the association back; a type without a class says None.
    setfile->ok1MouseMove(nullptr, {}, 0, 0);
    EXPECT_EQ(setfile->NoteText(), "Currently Associated with : " + command);
    setfile->ok2MouseMove(nullptr, {}, 0, 0);
    EXPECT_EQ(setfile->NoteText(), "Currently Associated with : None");
    setfile->suiTabSheet1MouseMove(nullptr, {}, 0, 0);
    EXPECT_TRUE(setfile->NoteText().startsWith("Note"));
}

TEST_F(FileAssociations, UpdateSaysWhyItCannotWriteAndWritesNothing)
{
    const struct {
        bool TickCustom;
        const char* Custom;
        const char* Said;
    } cases[] = {
        {false, "", "No file type is ticked: tick the types that Brelnova Studio should open."},
        {true, "  ", "Type the extension of the custom file type after \"Custom ( *.\"."},
        {true, "..", "Type the extension of the custom file type after \"Custom ( *.\"."},
        {true, "a\\b", "\"a\\b\" cannot be a file extension."},
        {true, "x y", "\"x y\" cannot be a file extension."},
        {true, "*.png", "\"*.png\" cannot be a file extension."},
    };
    for (const auto& c : cases) {
        if (c.TickCustom)
            Tick(16);
        Custom()->SetText(c.Custom);
        if (c.TickCustom)
            Tick(2); // a good type beside the bad one is not written either
        asked.clear();
        Update(1);
        EXPECT_EQ(asked, QStringList{c.Said}) << c.Custom;
        EXPECT_EQ(Default(".cur"), "<missing>") << c.Custom;
        EXPECT_EQ(Default(".a"), "<missing>") << c.Custom;
    }
}

TEST_F(FileAssociations, ProgramTypesCannotBeTypedAndEmptyInputWritesNothing)
{
    for (const char* typed : {"DLL", " exe ", "ocx", "Com"}) {
        Custom()->SetText(typed);
        setfile->nameokChange(nullptr);
        EXPECT_EQ(Custom()->Text(), "") << typed;
    }
    Custom()->SetText("xyz");
    setfile->nameokChange(nullptr);
    EXPECT_EQ(Custom()->Text(), "xyz");

    Tsetfile::RegisterFileType("...", "P", "/bin/prog", "D");
    Tsetfile::RegisterFileType(".abc", "", "", "D");
    EXPECT_EQ(Default("."), "<missing>");
    EXPECT_EQ(Default(".abc"), "<missing>");
    // A program folder with a blank stays one program in both commands.
    Tsetfile::RegisterFileType("abc", "", "/opt/My Programs/prog", "D");
    EXPECT_EQ(Default(".abc"), "abc_auto_file");
    for (const char* verb : {"open", "edit"})
        EXPECT_EQ(QProcess::splitCommand(Default(QString("abc_auto_file\\shell\\%1\\command").arg(verb))),
                  QStringList({"/opt/My Programs/prog", "%1"}))
            << verb;
}

} // namespace
