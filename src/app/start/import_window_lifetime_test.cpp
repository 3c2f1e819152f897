// The import window opened on a library through File > Open, as a user meets it: closing it,
// freeing it, or ending the program with it still open takes it down whole.

#include "app/start/testing_whole_program.h"

#include "framework/commands.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "import/loadimagedorv.h"
#include "testsupport/testdata.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>

namespace {

class ImportWindowLifetime : public WholeProgram {
protected:
    QPointer<Tloadimagedorv> OpenLibrary()
    {
        TDialogAnswererScope person([](TDialogRequest& r) {
            if (r.Kind == TDialogRequest::dkOpen) {
                static_cast<TOpenDialog*>(r.Dialog)->SetFileName(TestDataPath("iconlib/many_groups.dll"));
                r.Result = 1;
                return true;
            }
            r.Result = r.Kind == TDialogRequest::dkForm ? mrCancel : IDOK;
            return true;
        });
        EXPECT_TRUE(ClickComponentByName(iconmain, "Open1"));
        QApplication::processEvents();
        for (TForm* f : Screen->FormList())
            if (auto* window = qobject_cast<Tloadimagedorv*>(f))
                return window;
        return nullptr;
    }
    static void Settle()
    {
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
};

TEST_F(ImportWindowLifetime, ClosedOrFreedItGoesWhole)
{
    QPointer<Tloadimagedorv> window = OpenLibrary();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->LibraryMode);
    window->Close();
    Settle();
    EXPECT_FALSE(window);

    window = OpenLibrary();
    ASSERT_TRUE(window);
    delete window.data();
    Settle();
    // The main window goes on working: the library opens once more.
    window = OpenLibrary();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(ImportWindowLifetime, LeftOpenItGoesWithTheProgram)
{
    QPointer<Tloadimagedorv> window = OpenLibrary();
    ASSERT_TRUE(window);
    delete iconmain;
    Settle();
    EXPECT_FALSE(window);
}

} // namespace
