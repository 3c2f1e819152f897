#include "app/start/testing_whole_program.h"

#include "framework/commands.h"
#include "framework/dialogs.h"

#include <QStringList>

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
