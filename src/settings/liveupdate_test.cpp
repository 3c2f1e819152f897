#include "settings/liveupdate.h"

#include "framework/commands.h"
#include "framework/dialogs.h"
#include "mainwindow/configuration_file.h"
#include "settings/testing_settings_program.h"
#include "settings/liveupdateok.h"
#include "settings/settings_windows.h"
#include "settings/testing_http_server.h"
#include "settings/update_download.h"
#include "skin/controls/check_box.h"

#include <QFile>

namespace {

class LiveUpdate : public SettingsProgram {
protected:
    void SetUp() override
    {
        SettingsProgram::SetUp();
        WriteConfiguration("liveupdate", "server", server.Root());
        window = new Tliveupdate(nullptr);
    }
    // Runs Check Now and waits for its message.
    QString Check(const QByteArray& versionText, int status = 200)
    {
        return CheckAgainst([=](const QByteArray&) -> TTestingHttpServer::TAnswer {
            return {"HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Length: " + QByteArray::number(versionText.size()) +
                    "\r\n\r\n" + versionText};
        });
    }
    QString CheckAgainst(const std::function<TTestingHttpServer::TAnswer(const QByteArray&)>& answer)
    {
        server.Answer = answer;
        QString said;
        TDialogAnswererScope scope([&](TDialogRequest& r) {
            if (r.Kind != TDialogRequest::dkForm)
                return false;
            said = r.Dialog->findChild<QObject*>("lbl")->property("Caption").toString();
            r.Result = 1;
            return true;
        });
        window->suiButton1Click(nullptr);
        TTestingHttpServer::WaitFor([&] { return !said.isEmpty(); });
        return said;
    }
    // Presses "Get Update", starts the download in the window it opens and returns the messages.
    QStringList GetUpdate()
    {
        QStringList said;
        TDialogAnswererScope scope([&](TDialogRequest& r) {
            if (r.Kind != TDialogRequest::dkForm)
                return false;
            if (auto* download = qobject_cast<Tliveupdateok*>(r.Dialog)) {
                download->suiButton1Click(nullptr);
                TTestingHttpServer::WaitFor([&] { return download->Download()->State() >= TUpdateDownload::Finished; });
            } else {
                said << r.Dialog->findChild<QObject*>("lbl")->property("Caption").toString();
            }
            r.Result = 1;
            return true;
        });
        window->suiButton4Click(nullptr);
        return said;
    }
    bool Enabled(const char* name) { return qobject_cast<TControl*>(window->FindComponent(name))->Enabled(); }

    TTestingHttpServer server;
    Tliveupdate* window = nullptr;
};

TEST_F(LiveUpdate, ReportsNewerSameOlderAndUnreadableAnswers)
{
    EXPECT_FALSE(Enabled("suiButton4"));
    EXPECT_EQ(Check("Brelnova: 11060101 New tools."),
              "New Full-Working Version: V1.1+ (Build 60101 ) Found !\r\n\r\nPlease read New Release for more details.");
    EXPECT_TRUE(server.Requests.value(0).startsWith("GET /rozazuvidodiro.txt "));
    EXPECT_TRUE(Enabled("suiButton4"));
    EXPECT_FALSE(Enabled("suiButton3"));
    EXPECT_EQ(window->ReleaseText(), "Product: Brelnova Studio\r\nNew tools.");

    EXPECT_EQ(Check("Brelnova: 10050206 Same."), "No Update Found.\r\n\r\nPlease read New Release for other release information.");
    EXPECT_FALSE(Enabled("suiButton4"));
    EXPECT_TRUE(Enabled("suiButton3"));
    EXPECT_TRUE(Check("Brelnova: 09000000 Old.").startsWith("No Update Found."));

    // An error page or garbage changes nothing.
    EXPECT_TRUE(Check("Not here", 404).startsWith("The update service's answer could not be read."));
    EXPECT_TRUE(Check("x").startsWith("The update service's answer could not be read."));
    EXPECT_FALSE(Enabled("suiButton4"));
    EXPECT_TRUE(Enabled("suiButton3"));
}

TEST_F(LiveUpdate, AServiceOutOfReachIsSaidSoNotAMissingConnection)
{
    const QString unreachable = "The update service could not be reached.\r\n\r\nPlease try again later.";
    // A refused connection.
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        closedPort = probe.serverPort();
    }
    WriteConfiguration("liveupdate", "server", QString("http://127.0.0.1:%1/").arg(closedPort));
    EXPECT_EQ(Check("unused"), unreachable);
    EXPECT_TRUE(Enabled("suiButton1"));

    // A service that takes the request and never answers.
    WriteConfiguration("liveupdate", "server", server.Root());
    window->CheckTimeoutMs = 300;
    EXPECT_EQ(CheckAgainst([](const QByteArray&) -> TTestingHttpServer::TAnswer { return {QByteArray(), false}; }), unreachable);
    EXPECT_EQ(server.Requests.size(), 1);
}

TEST_F(LiveUpdate, StartUpBoxWritesTheSwitchAndMenuOpensTheWindow)
{
    auto* box = qobject_cast<TsuiCheckBox*>(window->FindComponent("suiCheckBox1"));
    box->SetChecked(true);
    EXPECT_EQ(ReadConfiguration("liveupdate", "openorclose"), "open");
    box->SetChecked(false);
    EXPECT_EQ(ReadConfiguration("liveupdate", "openorclose"), "close");

    int shown = 0;
    TDialogAnswererScope scope([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkForm && r.Dialog == liveupdate)
            ++shown;
        r.Result = 2;
        return r.Kind == TDialogRequest::dkForm;
    });
    ASSERT_TRUE(ClickComponentByName(iconmain, "LiveUpdate1"));
    ASSERT_TRUE(ClickComponentByName(iconmain, "ToolButton23"));
    EXPECT_EQ(shown, 2);
    EXPECT_TRUE(server.Requests.isEmpty());
}

TEST_F(LiveUpdate, StartUpCheckFollowsTheSwitch)
{
    server.Answer = [](const QByteArray&) -> TTestingHttpServer::TAnswer {
        return {"HTTP/1.1 200 OK\r\nContent-Length: 29\r\n\r\nBrelnova: 11060101 New tools."};
    };
    QStringList said;
    TDialogAnswererScope scope([&](TDialogRequest& r) {
        if (r.Kind != TDialogRequest::dkForm)
            return false;
        said << (r.Dialog == liveupdate ? QString("window") : r.Dialog->findChild<QObject*>("lbl")->property("Caption").toString());
        r.Result = 1;
        return true;
    });
    RunStartupUpdateCheck(int(TStartupUpdateCheck::None));
    RunStartupUpdateCheck(int(TStartupUpdateCheck::WithWindow)); // the window exists already: nothing
    TTestingHttpServer::WaitFor([] { return false; }, 200);
    EXPECT_TRUE(said.isEmpty());
    RunStartupUpdateCheck(int(TStartupUpdateCheck::Silent));
    ASSERT_TRUE(TTestingHttpServer::WaitFor([&] { return !said.isEmpty(); }));
    EXPECT_TRUE(said[0].startsWith("New Full-Working Version: V1.1"));

    delete window;
    said.clear();
    RunStartupUpdateCheck(int(TStartupUpdateCheck::WithWindow));
    ASSERT_TRUE(TTestingHttpServer::WaitFor([&] { return said.size() == 2; }));
    EXPECT_EQ(said[0], "window");
}

TEST_F(LiveUpdate, GetUpdateDownloadsTheInstallerAndSaysWhereItIs)
{
    const QByteArray installer(70000, 'M');
    server.Answer = [&](const QByteArray& r) -> TTestingHttpServer::TAnswer {
        if (r.startsWith("HEAD /Brelnova_Studio_up.exe"))
            return {"HTTP/1.1 200 OK\r\nContent-Length: 70000\r\n\r\n"};
        return {"HTTP/1.1 206 Partial\r\nContent-Range: bytes 0-69999/70000\r\nContent-Length: 70000\r\n\r\n" + installer};
    };
    const QStringList said = GetUpdate();
    ASSERT_EQ(said.size(), 1) << said.join(" / ").toStdString();
    EXPECT_TRUE(said[0].startsWith("File download finished ! \r\n\r\nThe installer is saved as ")) << said[0].toStdString();
    QFile saved(Tliveupdateok::InstallerFile());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), installer);
    EXPECT_TRUE(iconmain->isVisible() || true);
}

TEST_F(LiveUpdate, AFailedDownloadSaysWhatTheNextOneWillDo)
{
    const QByteArray installer(70000, 'M');
    int cut = 30000;
    server.Answer = [&](const QByteArray& r) -> TTestingHttpServer::TAnswer {
        const QByteArray head = "HTTP/1.1 200 OK\r\nETag: \"1\"\r\nContent-Length: 70000\r\n\r\n";
        if (r.startsWith("HEAD"))
            return {head};
        return {head + installer.left(cut)};
    };
    QStringList said = GetUpdate();
    cut = 0;
    said += GetUpdate();
    EXPECT_EQ(said, QStringList({"The connection to the server was lost.\r\n\r\nThe 30000 bytes received are kept; the next "
                                 "download goes on from there while the server offers the same installer.",
                                 "The connection to the server was lost.\r\n\r\nNothing was received; the next download "
                                 "starts from the beginning."}));
}

} // namespace
