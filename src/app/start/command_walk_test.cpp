#include "app/start/testing_whole_program.h"

#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/menus.h"
#include "framework/tool_bar.h"
#include "import/searchimage.h"
#include "mainwindow/web_window.h"
#include "skin/file_theme.h"
#include "skin/theme_manager.h"
#include "web/brelnovaforum.h"

#include <QApplication>
#include <QTcpServer>
#include <QUrl>
#include <unistd.h>

namespace {

class CommandWalk : public WholeProgram {
protected:
    static void SetUpTestSuite()
    {
        // The browser engine's sandbox cannot run for the superuser.
        if (geteuid() == 0)
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    void SetUp() override
    {
        WholeProgram::SetUp();
        // Web pages go to a port nothing listens on: the web window opens them for real, and
        // no test reaches the internet.
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost);
        const QString local = QStringLiteral("http://127.0.0.1:%1").arg(closed.serverPort());
        closed.close();
        realOpener = WebWindowOpener();
        ASSERT_TRUE(realOpener);
        SetWebWindowOpener([this, local](const QString& url, bool addToList) {
            opened << url;
            const QUrl u(url);
            realOpener(local + u.path() + QStringLiteral("?site=") + u.host(), addToList);
        });
    }
    void TearDown() override
    {
        SetWebWindowOpener(realOpener);
        if (iconmain && iconmain->SystemCursorReplaced)
            iconmain->ToolButton28Click(nullptr);
        WholeProgram::TearDown();
    }

    // Every item of the main menu and every tool button of the main window, leaves only, in the
    // order of the window's definition.
    QList<QObject*> Commands() const
    {
        QList<QObject*> controls;
        QObject* menu = iconmain->FindComponent(QStringLiteral("MainMenu1"));
        for (TMenuItem* item : iconmain->findChildren<TMenuItem*>())
            if (item->Count() == 0 && !item->IsLine() && item->GetParentMenu() == menu)
                controls << item;
        for (TToolButton* button : iconmain->findChildren<TToolButton*>())
            if (button->Style() != ToolBarTypes::tbsSeparator)
                controls << button;
        return controls;
    }

    TWebWindowOpener realOpener;
    QStringList opened;
};

QWidgetList VisibleWindows()
{
    QWidgetList shown;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            shown << w;
    return shown;
}

bool SaysNotThere(const QString& text)
{
    return text.contains(QLatin1String("not available"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("started without"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("not part of this program"), Qt::CaseInsensitive);
}

} // namespace

// The program as its start routine builds it: every menu item and tool button of the main
// window has its work, and none of them answers that it is not there.
TEST_F(CommandWalk, EveryMenuItemAndToolButtonDoesItsWork)
{
    QStringList answers;
    TDialogAnswererScope person([&answers](TDialogRequest& r) {
        answers << r.Text;
        // Every question is declined and every dialog cancelled, so nothing is written or left.
        r.Result = r.Kind == TDialogRequest::dkMessageBox ? IDCANCEL : r.Kind == TDialogRequest::dkMessageDlg ? 2 : 0;
        if (r.Kind == TDialogRequest::dkForm)
            r.Result = 2;
        return true;
    });
    QList<QObject*> commands = Commands();
    ASSERT_GT(commands.size(), 150);
    // Leaving ends the program; closing the project goes last so the others find it.
    QObject* close = nullptr;
    for (QObject* c : commands) {
        if (c->objectName() == QLatin1String("Close1"))
            close = c;
    }
    commands.removeAll(close);
    commands << close;
    int clicked = 0;
    for (QObject* control : commands) {
        const QString name = control->objectName();
        if (name == QLatin1String("Exit1"))
            continue;
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(HasClickHandler(control));
        if (auto* item = qobject_cast<TMenuItem*>(control))
            item->SetEnabled(true);
        else
            qobject_cast<TControl*>(control)->SetEnabled(true);
        answers.clear();
        const QWidgetList before = VisibleWindows();
        ClickComponent(control);
        ++clicked;
        for (const QString& text : answers)
            EXPECT_FALSE(SaysNotThere(text)) << text.toStdString();
        for (QWidget* w : VisibleWindows())
            if (!before.contains(w) && w != iconmain)
                w->hide();
    }
    EXPECT_EQ(clicked, commands.size() - 1);
}

// The Help menu's web links reach the program's own web window, and only the downloads, the
// support pages and the customer area go into its address list.
TEST_F(CommandWalk, TheHelpMenusWebLinksOpenTheWebWindow)
{
    TDialogAnswererScope person([](TDialogRequest& r) {
        ADD_FAILURE() << r.Text.toStdString();
        r.Result = IDOK;
        return true;
    });
    const struct {
        const char* Item;
        bool Listed;
    } rows[] = {
        {"BrelnovaHomepage1", false},     {"BrelnovaIconStudio1", false}, {"BrelnovaGifStudio1", false},
        {"BrelnovaCursorStudio1", false}, {"BrelnovaScreenStudio1", false}, {"BrelnovaDownloads1", true},
        {"UpdatePage1", true},            {"UpgradePage1", true},          {"BugReportandFeedback1", true},
        {"FAQPage1", true},               {"BrelnovaCustomerAdminArea1", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Item);
        const int listed = web::brelnovaforum ? int(web::brelnovaforum->AddressList().size()) : -1;
        opened.clear();
        ASSERT_TRUE(ClickComponentByName(iconmain, QLatin1String(row.Item)));
        ASSERT_EQ(opened.size(), 1);
        ASSERT_TRUE(web::brelnovaforum);
        EXPECT_TRUE(web::brelnovaforum->isVisible());
        const QUrl shown(web::brelnovaforum->Address());
        EXPECT_EQ(shown.path(), QUrl(opened[0]).path());
        EXPECT_EQ(shown.query(), QStringLiteral("site=") + QUrl(opened[0]).host());
        if (listed >= 0)
            EXPECT_EQ(web::brelnovaforum->AddressList().size(), listed + (row.Listed ? 1 : 0));
        web::brelnovaforum->Close();
    }
}

namespace {

template <class T> T* Part(const TForm* form, const char* name)
{
    return qobject_cast<T*>(form->FindComponent(QLatin1String(name)));
}

} // namespace

// Each disk search is a new window over the document area, where the template document lies,
// in the main window's skin and style.
TEST_F(CommandWalk, EveryDiskSearchOpensANewWindowOverTheDocuments)
{
    TForm* templ = FindForm(QStringLiteral("newiconview"));
    ASSERT_TRUE(templ);
    ASSERT_TRUE(ClickComponentByName(iconmain, QStringLiteral("DeepBlue1")));
    QList<Tsearchimage*> windows;
    for (const char* command : {"ToolButton21", "OntheComputer1"}) {
        ASSERT_TRUE(ClickComponentByName(iconmain, QLatin1String(command)));
        ASSERT_TRUE(searchimage) << command;
        EXPECT_FALSE(windows.contains(searchimage)) << command;
        windows << searchimage;
        EXPECT_TRUE(searchimage->isVisible());
        EXPECT_EQ(QRect(searchimage->Left(), searchimage->Top(), searchimage->Width(), searchimage->Height()),
                  QRect(-4, -2, templ->Width(), templ->Height()))
            << command;
        EXPECT_EQ(Part<TsuiThemeManager>(searchimage, "suiThemeManager1")->UIStyle(), iconmain->MainUIStyle()) << command;
        EXPECT_EQ(Part<TsuiFileTheme>(searchimage, "suiFileTheme1")->ThemeFile(), iconmain->MainThemeFile()) << command;
    }
}
