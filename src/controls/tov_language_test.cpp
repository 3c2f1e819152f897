#include "controls/controls_classes.h"
#include "controls/tov_language.h"
#include "framework/button.h"
#include "framework/forms.h"
#include "framework/ini_file.h"
#include "framework/label.h"
#include "platform/program_paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class Language : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TForm* form = nullptr;

    void SetUp() override
    {
        RegisterControlsClasses();
        SetProgramFolder(dir.path());
        form = new TForm;
        form->LoadDefinitionText(R"(object iconmain: TForm
  Caption = 'Main'
  object Label1: TLabel
    Caption = 'Old label'
    Hint = 'Old hint'
  end
  object Button1: TButton
    Caption = 'Old button'
    Hint = 'Keep'
    Tag = 5
  end
  object Label2: TLabel
    Caption = 'Label two'
  end
  object brelnova: TtovLanguage
  end
end
)");
    }
    void TearDown() override
    {
        delete form;
        SetProgramFolder(QString());
    }

    void WriteLanguageFile(const QByteArray& text)
    {
        QDir(dir.path()).mkpath("Language");
        QFile f(dir.filePath("Language/Language.lng"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    TtovLanguage* Switcher() { return qobject_cast<TtovLanguage*>(form->FindComponent("brelnova")); }
    QString Caption(const char* name) { return qobject_cast<TControl*>(form->FindComponent(name))->Caption(); }
};

TEST_F(Language, EntriesOfTheFormReplaceItsComponentsTexts)
{
    WriteLanguageFile("; translated\r\n"
                      "[Other]\r\n"
                      "iconmain.Label1.Caption=wrong section\r\n"
                      "[Language]\r\n"
                      "iconmain.Label1.Caption=  \"First~~Second\"  \r\n"
                      "iconmain.label1.hint=Tip\r\n"
                      "ICONMAIN.Label2.Caption=form part in capitals\r\n"
                      "iconmain.Button1.Font.Name=Courier\r\n"  // nested object: no such property
                      "iconmain.Button1.Tag=9\r\n"              // not a text property
                      "iconmain.Caption=form itself\r\n"        // two parts: no component
                      "iconmain.Missing.Caption=unknown component\r\n"
                      "iconmain.Button1.Nothing=unknown property\r\n"
                      "iconmain.Button1.Hint\r\n"               // no '=': skipped, not emptied
                      "newiconview.Button1.Caption=other window\r\n"
                      "iconmain.Button1.Caption=Go~~~~on~~~\r\n");
    ASSERT_NE(Switcher(), nullptr);
    Switcher()->ApplyToForm(form);
    EXPECT_EQ(Caption("Label1"), "First\r\nSecond");
    EXPECT_EQ(qobject_cast<TControl*>(form->FindComponent("Label1"))->Hint(), "Tip");
    EXPECT_EQ(Caption("Button1"), "Go\r\n\r\non\r\n~");
    EXPECT_EQ(Caption("Label2"), "Label two");
    EXPECT_EQ(qobject_cast<TControl*>(form->FindComponent("Button1"))->Hint(), "Keep");
    EXPECT_EQ(form->FindComponent("Button1")->property("Tag").toInt(), 5);
    EXPECT_EQ(form->Caption(), "Main");
    EXPECT_EQ(Switcher()->LanguageFile, dir.filePath("Language/Language.lng"));
}

TEST_F(Language, OnlyComponentsTheWindowOwnsAreTranslated)
{
    // Both labels sit on the window; one is owned by the button, the other by nobody.
    auto* ownedByButton = new TLabel(form);
    ownedByButton->SetName("Inner");
    ownedByButton->SetCaption("inner");
    InsertComponent(form->FindComponent("Button1"), ownedByButton);
    auto* unowned = new TLabel(form);
    unowned->SetName("Loose");
    unowned->SetCaption("loose");
    WriteLanguageFile("[Language]\n"
                      "iconmain.Inner.Caption=changed\n"
                      "iconmain.Loose.Caption=changed\n"
                      "iconmain.Label2.Caption=owned\n");
    Switcher()->ApplyToForm(form);
    EXPECT_EQ(ownedByButton->Caption(), "inner");
    EXPECT_EQ(unowned->Caption(), "loose");
    EXPECT_EQ(Caption("Label2"), "owned");
}

TEST_F(Language, EveryEntryOfALargeFileIsRead)
{
    // Far more key names than a 16 KB name buffer holds; the entry that matters is the last.
    QByteArray text = "[Language]\n";
    for (int i = 0; i < 3000; ++i)
        text += "iconmain.Filler" + QByteArray::number(i) + ".Caption=x\n";
    text += "iconmain.Button1.Caption=Last\n";
    WriteLanguageFile(text);
    Switcher()->ApplyToForm(form);
    EXPECT_EQ(Caption("Button1"), "Last");
}

TEST_F(Language, KeysDifferingInCaseAllTakeTheFirstValue)
{
    WriteLanguageFile("[Language]\niconmain.Button1.Caption=one\niconmain.BUTTON1.Caption=two\n");
    Switcher()->ApplyToForm(form);
    EXPECT_EQ(Caption("Button1"), "one");
}

TEST_F(Language, TheRecordNamesTheFileForTheWindowAndItsFailureDoesNotStopTheWindow)
{
    WriteLanguageFile("[Language]\niconmain.Button1.Caption=New\n");
    const QString ini = GetProgramIniName();
    EXPECT_EQ(QFileInfo(ini).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
    EXPECT_TRUE(ini.endsWith(".ini"));
    {
        TIniFile f(ini);
        f.WriteString("Language", "iconmain", "earlier");
        f.WriteString("Language", "newiconview", "kept");
    }
    Switcher()->ApplyToForm(form);
    TIniFile f(ini);
    EXPECT_EQ(f.ReadString("Language", "iconmain", ""), dir.filePath("Language/Language.lng"));
    EXPECT_EQ(f.ReadString("Language", "newiconview", ""), "kept");

    // An INI file that cannot be written: the texts are applied all the same.
    QFile::remove(ini);
    ASSERT_TRUE(QDir().mkpath(ini)); // a folder in the file's place cannot be replaced
    WriteLanguageFile("[Language]\niconmain.Button1.Caption=Again\n");
    EXPECT_NO_THROW(Switcher()->ApplyToForm(form));
    EXPECT_EQ(Caption("Button1"), "Again");
}

TEST_F(Language, AMissingFileOrSectionChangesNothing)
{
    Switcher()->ApplyLanguageFile(form, dir.filePath("nothing.lng"));
    WriteLanguageFile("[Other]\niconmain.Button1.Caption=No\n");
    Switcher()->ApplyToForm(form);
    EXPECT_EQ(Caption("Button1"), "Old button");
}

TEST(LanguageLine, Splits)
{
    struct Case {
        const char* line;
        const char* form;
        const char* component;
        const char* property;
        const char* text;
    } cases[] = {
        {"F.C.P=a~~b", "F", "C", "P", "a\r\nb"},
        {"F.C.Font.Name=x=y", "F", "C", "Font.Name", "x=y"},
        {"F.C=t", "F", "C", "", "t"},
        {"F.C.P", "", "", "", ""},
        {"=t", "", "", "", "t"},
    };
    for (const Case& c : cases) {
        const TLanguageLine l = SplitLanguageLine(c.line);
        EXPECT_EQ(l.Form, c.form) << c.line;
        EXPECT_EQ(l.Component, c.component) << c.line;
        EXPECT_EQ(l.Property, c.property) << c.line;
        EXPECT_EQ(l.Text, c.text) << c.line;
    }
}

} // namespace
