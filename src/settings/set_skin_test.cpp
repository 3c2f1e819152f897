#include "settings/set_skin.h"

#include "framework/commands.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "platform/program_paths.h"
#include "settings/testing_settings_program.h"
#include "skin/file_theme.h"
#include "skin/theme_manager.h"
#include "testsupport/testdata.h"

#include <QFile>
#include <QSet>

namespace {

class SkinChooser : public SettingsProgram {
protected:
    void SetUp() override
    {
        SettingsProgram::SetUp();
        QDir(dir.path()).mkpath("suk");
        for (int n = 1; n <= 12; ++n) {
            const QString file = Tset_skin::SkinFileOf(n).section('\\', 1);
            ASSERT_TRUE(QFile::copy(TestDataPath("../assets/suk/" + file), QDir(dir.path()).filePath("suk/" + file))) << file.toStdString();
        }
        chooser = new Tset_skin(nullptr);
    }
    static QString ThemeFile(TForm* form)
    {
        return qobject_cast<TsuiFileTheme*>(form->FindComponent("suiFileTheme1"))->ThemeFile();
    }
    Tset_skin* chooser = nullptr;
};

TEST_F(SkinChooser, EachSkinIsAppliedFromTheChooser)
{
    QSet<QByteArray> looks;
    for (int n = 1; n <= 16; ++n) {
        chooser->Show();
        ASSERT_TRUE(ClickComponentByName(chooser, QString("suiRadioButton%1").arg(n)));
        chooser->suiButton3Click(nullptr);
        EXPECT_FALSE(chooser->isVisible());
        if (n <= 12) {
            EXPECT_EQ(chooser->SkinChoice, n);
            EXPECT_EQ(iconmain->SkinStyle, 0) << n;
            EXPECT_EQ(iconmain->SkinFileName, ProgramFolder() + Tset_skin::SkinFileOf(n));
            EXPECT_EQ(ThemeFile(iconmain), LocalPath(iconmain->SkinFileName));
            auto* theme = qobject_cast<TsuiFileTheme*>(iconmain->FindComponent("suiFileTheme1"));
            ASSERT_TRUE(theme->IsLoaded()) << n;
            // Every skin file is a look of its own.
            QFile f(LocalPath(iconmain->SkinFileName));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            looks.insert(f.readAll());
        } else {
            EXPECT_EQ(chooser->SkinChoice, n - 17);
            EXPECT_EQ(iconmain->SkinStyle, n - 12) << n;
        }
    }
    EXPECT_EQ(looks.size(), 12);
}

TEST_F(SkinChooser, OkWithoutAChoiceChangesNothingAndTheChoiceIsKept)
{
    const QString before = iconmain->SkinFileName;
    const int style = iconmain->SkinStyle;
    chooser->suiButton3Click(nullptr);
    EXPECT_EQ(iconmain->SkinFileName, before);
    EXPECT_EQ(iconmain->SkinStyle, style);

    ClickComponentByName(chooser, "suiRadioButton14");
    chooser->suiButton3Click(nullptr);
    ClickComponentByName(iconmain, "MacOS1");
    ASSERT_EQ(iconmain->SkinStyle, 1);
    // Opened again from the menu, OK at once applies the previous choice again.
    TDialogAnswererScope scope([&](TDialogRequest& r) {
        if (r.Kind != TDialogRequest::dkForm)
            return false;
        chooser->suiButton3Click(nullptr);
        r.Result = 1;
        return true;
    });
    ASSERT_TRUE(ClickComponentByName(iconmain, "FromOutsideFile1"));
    EXPECT_EQ(iconmain->SkinStyle, 2);
}

TEST_F(SkinChooser, MoreTakesAnyFileAndCancelChangesNothing)
{
    const QString other = QDir(dir.path()).filePath("suk/DeepCyan.sui");
    const QString before = iconmain->SkinFileName;
    QString folder;
    bool accept = false;
    TDialogAnswererScope scope([&](TDialogRequest& r) {
        if (r.Kind != TDialogRequest::dkOpen)
            return false;
        auto* dialog = qobject_cast<TOpenDialog*>(r.Dialog);
        folder = dialog->InitialDir();
        dialog->SetFileName(other);
        r.Result = accept ? 1 : 0;
        return true;
    });
    chooser->Show();
    chooser->suiButton1Click(nullptr);
    EXPECT_EQ(iconmain->SkinFileName, before);
    EXPECT_FALSE(chooser->isVisible());
    EXPECT_EQ(folder, ProgramFolder() + "suk/");

    accept = true;
    chooser->suiButton1Click(nullptr);
    EXPECT_EQ(iconmain->SkinFileName, other);
    EXPECT_EQ(ThemeFile(iconmain), other);
}

} // namespace

namespace {

TEST_F(SkinChooser, AMissingOrDamagedSkinFileIsReportedAndChangesNothing)
{
    const QString damaged = QDir(dir.path()).filePath("suk/damaged.sui");
    {
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a skin at all");
    }
    ASSERT_TRUE(QFile::remove(QDir(dir.path()).filePath("suk/OneBlue.sui")));
    const QString before = iconmain->SkinFileName;
    const QString themeBefore = ThemeFile(iconmain);
    QStringList said;
    TDialogAnswererScope scope([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkOpen) {
            qobject_cast<TOpenDialog*>(r.Dialog)->SetFileName(damaged);
            r.Result = 1;
            return true;
        }
        if (r.Kind != TDialogRequest::dkMessageBox)
            return false;
        said << r.Text;
        r.Result = 1;
        return true;
    });
    chooser->suiButton1Click(nullptr);
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].startsWith(damaged + " is not a skin file the program can use")) << said[0].toStdString();

    ClickComponentByName(chooser, "suiRadioButton12");
    chooser->suiButton3Click(nullptr);
    ASSERT_EQ(said.size(), 2);
    EXPECT_EQ(said[1], "The skin file " + LocalPath(ProgramFolder() + Tset_skin::SkinFileOf(12)) + " cannot be found.");
    EXPECT_EQ(iconmain->SkinFileName, before);
    EXPECT_EQ(ThemeFile(iconmain), themeBefore);
}

} // namespace
