#include "settings/settings_windows.h"

#include "framework/commands.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/registry.h"
#include "mainwindow/configuration_file.h"
#include "mainwindow/web_window.h"
#include "settings/liveupdate.h"
#include "settings/liveupdateok.h"
#include "settings/set_skin.h"
#include "settings/setfile.h"
#include "settings/setwindow.h"
#include "settings/testing_http_server.h"
#include "settings/testing_settings_program.h"
#include "settings/update_download.h"
#include "skin/controls/page_control.h"
#include "skin/form.h"
#include "testsupport/testdata.h"

namespace {

// Opens each settings window from the main window's menu and clicks every button, radio button
// and check box with a click handler by its name, as a person would; each click must show
// something, change what the window or the editor holds, or close the window.
class SettingsWindowsWalk : public SettingsProgram {
protected:
    void SetUp() override
    {
        qputenv("BRELNOVA_REGISTRY", (registry.path() + "/registry.txt").toUtf8());
        SettingsProgram::SetUp();
        // The update service stays silent, so a check or a download is under way until stopped;
        // only the one-byte probe is answered.
        server.Answer = [](const QByteArray& r) -> TTestingHttpServer::TAnswer {
            if (r.contains("RANGE: bytes=533263-533263"))
                return {"HTTP/1.1 416 Range Not Satisfiable\r\nContent-Length: 0\r\n\r\n"};
            return {QByteArray(), false};
        };
        WriteConfiguration("liveupdate", "server", server.Root());
    }
    void TearDown() override
    {
        SettingsProgram::TearDown();
        qunsetenv("BRELNOVA_REGISTRY");
    }

    // What a click can change, in one text.
    QString Observed(TForm* window) const
    {
        QStringList s;
        s << QString::number(dialogs) << QString::number(window->isVisible()) << LastShellOpen()
          << ReadConfiguration("liveupdate", "openorclose") << iconmain->SkinFileName << QString::number(iconmain->SkinStyle)
          << QString::number(iconmain->GridColor1);
        if (liveupdate)
            s << QString::number(liveupdate->Checking());
        if (set_skin)
            s << QString::number(set_skin->SkinChoice);
        if (setwindow)
            s << QString::number(setwindow->BackgroundTile.cacheKey());
        if (auto* download = qobject_cast<Tliveupdateok*>(window))
            s << QString::number(download->Download()->State()) << download->InstallerUrl
              << download->FindComponent("Memo1")->property("Text").toString();
        return s.join('|');
    }
    static QStringList Clickable(TForm* window)
    {
        QStringList names;
        for (QObject* c : window->findChildren<QObject*>()) {
            const QString cls = QString::fromLatin1(c->metaObject()->className());
            if (!c->objectName().isEmpty() && (cls.endsWith("Button") || cls.endsWith("CheckBox")) && HasClickHandler(c))
                names << c->objectName();
        }
        return names;
    }
    // Clicks each name on the shown window and returns the names whose click changed nothing.
    QStringList Walk(TForm* window, const QStringList& names)
    {
        QStringList idle;
        for (const QString& name : names) {
            window->Show();
            const QString before = Observed(window);
            if (!ClickComponentByName(window, name)) {
                idle << name + " (no handler)";
                continue;
            }
            // Answers from the server arrive a moment later.
            if (!TTestingHttpServer::WaitFor([&] { return Observed(window) != before; }, 2000))
                idle << name;
        }
        return idle;
    }

    QTemporaryDir registry;
    TTestingHttpServer server;
    int dialogs = 0;
};

TEST_F(SettingsWindowsWalk, EveryControlOfEverySettingsWindowDoesItsWork)
{
    TDialogAnswererScope scope([&](TDialogRequest& r) {
        ++dialogs;
        // Modal windows and questions are closed without OK; file dialogs are cancelled.
        r.Result = r.Kind == TDialogRequest::dkMessageBox ? IDOK : 2;
        return true;
    });

    const struct {
        const char* MenuItem;
        std::function<TForm*()> Window;
        QStringList Controls;
    } windows[] = {
        {"EditingOptions1", [] { return static_cast<TForm*>(setwindow); },
         {"suiButton1", "suiButton2", "suiButton10", "suiButton9", "suiButton3"}},
        {"FileAssociations1", [] { return static_cast<TForm*>(setfile); }, {"suiButton1", "suiButton2"}},
        {"FromOutsideFile1", [] { return static_cast<TForm*>(set_skin); },
         {"suiRadioButton1", "suiRadioButton2", "suiRadioButton3", "suiRadioButton4", "suiRadioButton5",
          "suiRadioButton6", "suiRadioButton7", "suiRadioButton8", "suiRadioButton9", "suiRadioButton10",
          "suiRadioButton11", "suiRadioButton12", "suiRadioButton13", "suiRadioButton14", "suiRadioButton15",
          "suiRadioButton16", "suiButton1", "suiButton3", "suiButton2"}},
        {"LiveUpdate1", [] { return static_cast<TForm*>(liveupdate); },
         {"suiCheckBox1", "suiButton1", "suiButton4", "suiButton3", "suiButton2"}},
    };
    for (const auto& w : windows) {
        const int before = dialogs;
        ASSERT_TRUE(ClickComponentByName(iconmain, w.MenuItem)) << w.MenuItem;
        TForm* window = w.Window();
        ASSERT_TRUE(window) << w.MenuItem;
        EXPECT_TRUE(window->isVisible() || dialogs > before) << w.MenuItem << " shows nothing";
        QStringList names = Clickable(window);
        names.sort();
        QStringList expected = w.Controls;
        expected.sort();
        EXPECT_EQ(names, expected) << w.MenuItem;
        EXPECT_EQ(Walk(window, w.Controls), QStringList()) << w.MenuItem;
        window->Close();
    }

    // The download window of "Get Update": Download, the progress Cancel, the window's Cancel and
    // the start and stop buttons of its hidden panel.
    auto* download = new Tliveupdateok(nullptr);
    QStringList names = Clickable(download);
    names.sort();
    EXPECT_EQ(names, QStringList({"Button1", "Button3", "Button4", "suiButton1", "suiButton3", "suiButton4"}));
    EXPECT_EQ(Walk(download, {"suiButton1", "suiButton4", "suiButton3", "Button1", "Button4", "Button3"}), QStringList());
    delete download;

    // The chooser's help button: without the help file beside the program it says so.
    ASSERT_TRUE(set_skin);
    EXPECT_THROW(set_skin->suiForm1TitleBarHelpBtnClick(nullptr, 0), Exception);
}

} // namespace

namespace {

TEST_F(SettingsWindowsWalk, EachWindowShowsItsControlsWholeBelowItsTitleBar)
{
    // The download window's test panel lies below its client area on purpose.
    const QStringList hidden = {"Edit1", "Edit2", "Button1", "Button3", "Button4", "Memo1"};
    const QList<TForm*> windows = {new Tliveupdate(nullptr), new Tliveupdateok(nullptr), new Tsetfile(nullptr),
                                   new Tset_skin(nullptr), new Tsetwindow(nullptr)};
    for (TForm* window : windows) {
        window->Show();
        const auto* skin = window->findChild<TsuiForm*>("suiForm1");
        ASSERT_TRUE(skin);
        const int title = skin->GetTitleBarHeight();
        EXPECT_GT(title, 10);
        auto* panel = window->findChild<QWidget*>("ClientPanel");
        ASSERT_TRUE(panel) << window->objectName().toStdString();
        for (QWidget* c : panel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (c->objectName().isEmpty() || !c->isVisible() || hidden.contains(c->objectName()))
                continue;
            const QRect r(c->mapTo(window, QPoint(0, 0)), c->size());
            EXPECT_GE(r.top(), title) << window->objectName().toStdString() << " " << c->objectName().toStdString();
            EXPECT_LE(r.bottom(), window->height()) << window->objectName().toStdString() << " " << c->objectName().toStdString();
            EXPECT_LE(r.right(), window->width()) << window->objectName().toStdString() << " " << c->objectName().toStdString();
        }
    }
    // A built-in style chosen in the main window reaches each window's frame.
    iconmain->ApplySkin(2);
    for (TForm* window : windows)
        EXPECT_EQ(window->findChild<TsuiForm*>("suiForm1")->UIStyle(), TsuiUIStyle(iconmain->SkinStyle))
            << window->objectName().toStdString();
    // Editing options open at their first page.
    auto* pages = setwindow->findChild<TsuiPageControl*>("suiPageControl1");
    EXPECT_EQ(pages->ActivePage(), setwindow->findChild<TsuiTabSheet*>("suiTabSheet1"));
}

} // namespace

namespace {

// The store left damaged (made by the store's own fuzz target): the program still starts.
class DamagedRegistry : public SettingsProgram {
protected:
    void SetUp() override
    {
        store = registry.path() + "/registry.txt";
        ASSERT_TRUE(QFile::copy(TestDataPath("platform/registry-store-crash.txt"), store));
        QFile f(store);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        bytes = f.readAll();
        qputenv("BRELNOVA_REGISTRY", store.toUtf8());
        SettingsProgram::SetUp();
    }
    void TearDown() override
    {
        SettingsProgram::TearDown();
        qunsetenv("BRELNOVA_REGISTRY");
    }

    QTemporaryDir registry;
    QString store;
    QByteArray bytes;
};

TEST_F(DamagedRegistry, TheProgramStartsWithItsReadableKeysAndLeavesTheFileAlone)
{
    ASSERT_TRUE(iconmain && iconmain->isVisible());
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\"));
    EXPECT_EQ(reg.ReadString("e"), "%x%");
    QFile f(store);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), bytes) << "nothing was changed by the user";
}

} // namespace
