#include "controls/controls_classes.h"
#include "controls/html_help.h"
#include "framework/application.h"
#include "framework/forms.h"
#include "platform/help_viewer.h"
#include "platform/program_paths.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class Help : public ::testing::Test {
protected:
    QTemporaryDir dir;
    void SetUp() override
    {
        RegisterControlsClasses();
        SetProgramFolder(dir.path());
        QDir(dir.path()).mkpath("help");
        Write("help/index.htm", "<html><title>Contents</title><a href=\"2_1.htm\">Basics</a></html>");
        Write("help/2_1.htm", "<html><a name=\"new\">New</a></html>");
        Application->SetHelpFile("dodozizozodazo.zed");
    }
    void TearDown() override
    {
        HtmlHelp(nullptr, QString(), HH_CLOSE_ALL, 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Application->SetHelpFile(QString());
        SetProgramFolder(QString());
    }
    void Write(const QString& name, const QByteArray& text)
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    // A window carrying the help component with its default properties, as ten windows do.
    static TForm* WindowWithHelp(const char* name)
    {
        auto* f = new TForm;
        f->LoadDefinitionText(QByteArray("object ") + name + ": TForm\n  object HtmlHelp1: THtmlHelp\n  end\nend\n");
        return f;
    }
    static THtmlHelp* HelpOf(TForm* f) { return qobject_cast<THtmlHelp*>(f->FindComponent("HtmlHelp1")); }
};

TEST_F(Help, PathsAndTheDefaultFile)
{
    TForm* f = WindowWithHelp("iconmain");
    THtmlHelp* h = HelpOf(f);
    ASSERT_NE(h, nullptr);
    // A help file without a folder goes beside the program.
    EXPECT_EQ(h->ChmFile(), ProgramFolder() + "dodozizozodazo.zed");
    EXPECT_EQ(h->BuildHelpPath("2_1.htm"), ProgramFolder() + "dodozizozodazo.zed::2_1.htm");
    h->SetWinDef("main");
    EXPECT_EQ(h->BuildHelpPath(""), ProgramFolder() + "dodozizozodazo.zed>main");
    h->SetDefaultFile(true);
    EXPECT_EQ(h->ChmFile(), "");
    delete f;

    // A full path is kept as it is.
    Application->SetHelpFile("/opt/help/other.zed");
    f = WindowWithHelp("iconmain");
    EXPECT_EQ(HelpOf(f)->ChmFile(), "/opt/help/other.zed");
    delete f;
}

TEST_F(Help, RequestsGoToTheNewestLivingInstanceWhateverOrderWindowsClose)
{
    EXPECT_FALSE(ApplicationHelpCommand(HELP_FINDER, 0));
    TForm* main = WindowWithHelp("iconmain");
    TForm* dialog = WindowWithHelp("createico");
    HelpOf(main)->SetWinDef("main");
    HelpOf(dialog)->SetChmFile(dir.filePath("missing/x.zed"));

    // The newest instance (the dialog's) serves; its help pages are missing, still handled.
    EXPECT_TRUE(ApplicationHelpCommand(HELP_FINDER, 0));
    EXPECT_EQ(HelpWindow(), nullptr);

    // The first window closes first: the dialog still serves, nothing dangles.
    delete main;
    EXPECT_TRUE(ApplicationHelpCommand(HELP_FINDER, 0));
    EXPECT_EQ(HelpWindow(), nullptr);

    TForm* main2 = WindowWithHelp("iconmain");
    delete dialog;
    // Now the second main window's instance serves and the contents open.
    EXPECT_TRUE(ApplicationHelpCommand(HELP_FINDER, 0));
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_EQ(HelpWindowPage(), "index.htm");

    // Other commands are swallowed; a negative context number is a range error.
    HtmlHelp(nullptr, QString(), HH_CLOSE_ALL, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(ApplicationHelpCommand(HELP_QUIT, 0));
    EXPECT_EQ(HelpWindow(), nullptr);
    EXPECT_THROW(ApplicationHelpContext(-1), Exception);
    EXPECT_TRUE(ApplicationHelpContext(15));
    EXPECT_EQ(HelpWindowPage(), "index.htm");
    delete main2;
    EXPECT_FALSE(ApplicationHelpCommand(HELP_FINDER, 0));
}

TEST_F(Help, TheHelpWindowGoesWithItsOwnerWindow)
{
    auto* owner = new TForm;
    QPointer<QWidget> w = HtmlHelp(owner, ProgramFolder() + "dodozizozodazo.zed::/2_1.htm#new", HH_DISPLAY_TOC, 0);
    ASSERT_FALSE(w.isNull());
    EXPECT_EQ(HelpWindowPage(), "2_1.htm#new");
    delete owner;
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(HelpWindow(), nullptr);
}

} // namespace
