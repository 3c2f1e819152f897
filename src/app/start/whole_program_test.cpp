#include "app/start/testing_whole_program.h"

#include "framework/commands.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "import/loadimagedorv.h"
#include "testsupport/testdata.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <memory>

// The commands the entry used to bind after the main window's own start reach their windows
// when the program starts through the start routine.
TEST_F(WholeProgram, TheMainWindowsCommandsOpenTheOtherSubsystemsWindows)
{
    // Windows shown modally are answered at once; their names are kept.
    QStringList modal;
    TDialogAnswererScope answers([&modal](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkForm && r.Dialog)
            modal << r.Dialog->objectName();
        r.Result = r.Kind == TDialogRequest::dkForm ? 2 : IDCANCEL;
        return true;
    });
    const struct {
        const char* command;
        const char* window;
    } cases[] = {
        {"AnimationGIFBuilder1", "AnimatorForm"},
        {"ToolButton17", "AnimatorForm"},
        {"CustomizeWindowsIcons1", "set_window_icon"},
        {"ToolButton21", "searchimage"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        modal.clear();
        ASSERT_TRUE(ClickComponentByName(iconmain, QLatin1String(c.command)));
        if (modal.contains(QLatin1String(c.window), Qt::CaseInsensitive))
            continue;
        TForm* window = FindForm(QLatin1String(c.window));
        ASSERT_TRUE(window);
        EXPECT_TRUE(window->isVisible());
        window->Close();
    }
}

namespace {

// The program started from a shell with a file named relative to the shell's folder.
class StartedWithARelativeName : public WholeProgram {
protected:
    QStringList Arguments() override
    {
        QDir(shell.path()).mkpath(QStringLiteral("here"));
        EXPECT_TRUE(QFile::copy(TestDataPath("iconlib/many_groups.dll"), shell.filePath("here/many_groups.dll")));
        QDir::setCurrent(shell.path());
        return {QStringLiteral("here/many_groups.dll")};
    }
    void SetUp() override
    {
        person = std::make_unique<TDialogAnswererScope>([this](TDialogRequest& r) {
            messages << r.Text;
            r.Result = r.Kind == TDialogRequest::dkForm ? mrCancel : IDOK;
            return true;
        });
        WholeProgram::SetUp();
    }
    void TearDown() override
    {
        WholeProgram::TearDown();
        person.reset();
        QDir::setCurrent(startFolder);
    }

    const QString startFolder = QDir::currentPath();
    QTemporaryDir shell;
    QStringList messages;
    std::unique_ptr<TDialogAnswererScope> person;
};

TEST_F(StartedWithARelativeName, TheFileOfTheShellsFolderOpens)
{
    Tloadimagedorv* window = nullptr;
    for (TForm* f : Screen->FormList())
        if (auto* w = qobject_cast<Tloadimagedorv*>(f))
            window = w;
    ASSERT_TRUE(window);
    EXPECT_GT(window->GroupCount, 0);
    EXPECT_FALSE(messages.contains(QStringLiteral("This file holds no icons."))) << messages.join('\n').toStdString();
}

} // namespace

// The recent-file items of the File menu are greyed until a file of the open history stands
// behind them: a click on one would do nothing.
TEST_F(WholeProgram, RecentFileItemsWaitForAFileBehindThem)
{
    auto enabled = [](int k) {
        return iconmain->FindComponent(QStringLiteral("N%1Untitled1").arg(k))->property("Enabled").toBool();
    };
    for (int k = 1; k <= 10; ++k)
        EXPECT_FALSE(enabled(k)) << k;

    const QString mine = dir.filePath("mine.ico");
    ASSERT_TRUE(QFile::copy(TestDataPath("icons/pillow/hopper.ico"), mine));
    TDialogAnswererScope person([&mine](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkOpen) {
            static_cast<TOpenDialog*>(r.Dialog)->SetFileName(mine);
            r.Result = 1;
            return true;
        }
        r.Result = r.Kind == TDialogRequest::dkForm ? mrCancel : IDOK;
        return true;
    });
    ASSERT_TRUE(ClickComponentByName(iconmain, "Open1"));
    // The menu is filled from the history as the next start fills it.
    iconmain->LoadRecentFiles();
    EXPECT_TRUE(enabled(1));
    for (int k = 2; k <= 10; ++k)
        EXPECT_FALSE(enabled(k)) << k;
    EXPECT_TRUE(iconmain->FindComponent("N1Untitled1")->property("Caption").toString().endsWith("mine.ico"));
}
