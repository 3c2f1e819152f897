#include "web/brelnovaforum.h"

#include "framework/application.h"
#include "framework/combo_box.h"
#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/edit.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "framework/string_list.h"
#include "framework/testing_forms.h"
#include "import/capture_devices.h"
#include "import/selectimage.h"
#include "skin/controls/check_box.h"
#include "skin/form.h"
#include "skin/title_bar.h"
#include "web/seach_internet.h"
#include "web/web_addresses.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QUrlQuery>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebEngineHistory>
#include <QWebEngineView>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// A web server on 127.0.0.1 that answers every request with a small page naming its path, in a
// colour of its own so that a test can see which page is drawn, and remembers the requests'
// paths as sent. The path "/slow" is never answered.
class LoopbackServer : public QObject {
public:
    LoopbackServer()
    {
        server.listen(QHostAddress::LocalHost);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray request = s->readAll();
                    const QList<QByteArray> words = request.split(' ');
                    if (words.size() < 2)
                        return;
                    Paths << QString::fromLatin1(words[1]);
                    if (words[1] == "/slow")
                        return;
                    const QByteArray body = "<html><head><title>" + words[1] + "</title></head><body style=\"background:"
                                            + Colour(QString::fromLatin1(words[1])).name().toLatin1() + "\">" + words[1]
                                            + "</body></html>";
                    s->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: "
                             + QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
            }
        });
    }
    static QColor Colour(const QString& path)
    {
        const QByteArray h = QCryptographicHash::hash(path.toLatin1(), QCryptographicHash::Md5);
        return QColor(uint8_t(h[0]), uint8_t(h[1]), uint8_t(h[2]));
    }
    QString Base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort()); }
    QTcpServer server;
    QStringList Paths;
};

class WebWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (geteuid() == 0)
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    void SetUp() override
    {
        ASSERT_TRUE(server.server.isListening());
        WebAddresses().ImageSearch1 = server.Base();
        WebAddresses().ImageSearch2 = server.Base();
        SetDialogAnswerer([this](TDialogRequest& r) {
            Asked << r.Text;
            r.Result = IDOK;
            return true;
        });
    }
    void TearDown() override
    {
        SetDialogAnswerer(nullptr);
        FreeEveryForm();
        Tselectimage::SetDevices(nullptr, nullptr);
    }
    // Waits for the next load of the window to finish; true when one did.
    static bool LoadFinishes(web::Tbrelnovaforum* w, const std::function<void()>& action)
    {
        QSignalSpy finished(w->WebBrowser1, &QWebEngineView::loadFinished);
        action();
        return finished.wait(20000);
    }
    static QString Path(web::Tbrelnovaforum* w) { return w->WebBrowser1->url().path(); }
    // The page may be drawn before its load is reported finished: waits up to 20 s for done.
    static bool WaitUntil(const std::function<bool()>& done)
    {
        QElapsedTimer deadline;
        deadline.start();
        while (!done() && deadline.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    // Waits until the browser draws the page of path: its colour fills the middle of the view.
    static bool Shows(web::Tbrelnovaforum* w, const QString& path)
    {
        const QRgb want = LoopbackServer::Colour(path).rgb();
        QElapsedTimer deadline;
        deadline.start();
        while (deadline.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            const QImage shot = w->WebBrowser1->grab().toImage();
            if (shot.width() > 8 && shot.height() > 8 && (shot.pixel(shot.width() / 2, shot.height() / 2) | 0xFF000000u) == want)
                return true;
        }
        return false;
    }

    LoopbackServer server;
    QStringList Asked;
};

} // namespace

TEST_F(WebWindow, NavigatesBackForwardRefreshesStopsAndReportsAFailedLoad)
{
    // The window is made and sent off by the call; its first page arrives afterwards.
    web::Tbrelnovaforum* w = web::OpenWebWindow(server.Base() + "one", false);
    ASSERT_TRUE(Shows(w, "/one"));
    EXPECT_TRUE(WaitUntil([w] { return w->LastLoadOk; }));
    EXPECT_EQ(w->Address(), server.Base() + "one");
    EXPECT_EQ(w->StatusText(1), "Status: completed");

    w->ShowAddress(server.Base() + "two", false);
    ASSERT_TRUE(Shows(w, "/two"));
    ClickComponent(w->FindComponent("ToolButton1"));
    ASSERT_TRUE(Shows(w, "/one"));
    ClickComponent(w->FindComponent("ToolButton2"));
    ASSERT_TRUE(Shows(w, "/two"));
    const int asked = int(server.Paths.count("/two"));
    ASSERT_TRUE(LoadFinishes(w, [&] { ClickComponent(w->FindComponent("ToolButton3")); }));
    EXPECT_GT(server.Paths.count("/two"), asked);
    ASSERT_TRUE(Shows(w, "/two"));

    // Stop ends a load the server never answers; the page drawn stays.
    QSignalSpy started(w->WebBrowser1, &QWebEngineView::loadStarted);
    w->ShowAddress(server.Base() + "slow", false);
    ASSERT_TRUE(started.count() > 0 || started.wait(20000));
    ASSERT_TRUE(LoadFinishes(w, [&] { ClickComponent(w->FindComponent("ToolButton4")); }));
    EXPECT_FALSE(w->LastLoadOk);
    EXPECT_EQ(w->StatusText(1), "Status: stopped");
    EXPECT_TRUE(Shows(w, "/two"));

    // Nothing listens on a port just freed: the load fails, and its flag says so.
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    ASSERT_TRUE(LoadFinishes(w, [&] { w->ShowAddress(QStringLiteral("http://127.0.0.1:%1/gone").arg(port), false); }));
    EXPECT_FALSE(w->LastLoadOk);
    EXPECT_EQ(w->StatusText(1), "Status: the page cannot be loaded");

    // Typing in the address box goes to the address as it stands after each letter.
    auto* edit = w->FindComponent("suiComboBox1")->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    w->ShowAddress(server.Base() + "typ", false);
    ASSERT_TRUE(Shows(w, "/typ"));
    edit->setFocus();
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_E);
    ASSERT_TRUE(Shows(w, "/type"));
    EXPECT_EQ(w->Address(), server.Base() + "type");
}

TEST_F(WebWindow, AnAddressItCannotShowIsRefusedAndChangesNothing)
{
    // Before the window exists: a message, and no window.
    EXPECT_EQ(web::OpenWebWindow(QStringLiteral("mailto:someone@example.com"), true), nullptr);
    EXPECT_EQ(web::brelnovaforum, nullptr);
    ASSERT_EQ(Asked.size(), 1);
    EXPECT_TRUE(Asked[0].contains("cannot open \"mailto:someone@example.com\"")) << Asked[0].toStdString();

    web::Tbrelnovaforum* w = web::OpenWebWindow(server.Base() + "good", true);
    ASSERT_TRUE(Shows(w, "/good"));
    const QStringList list = w->AddressList();
    const int loads = w->LoadsFinished;
    for (const QString& bad : {QStringLiteral("  "), QStringLiteral("http://"), QStringLiteral("javascript:alert(1)")}) {
        Asked.clear();
        EXPECT_EQ(web::OpenWebWindow(bad, true), w);
        EXPECT_EQ(Asked.size(), 1) << bad.toStdString();
        EXPECT_EQ(w->AddressList(), list) << bad.toStdString();
        EXPECT_EQ(w->Address(), server.Base() + "good") << bad.toStdString();
    }

    // Pasted into the address box, the status bar says so at once; no box interrupts the typing.
    Asked.clear();
    auto* edit = w->FindComponent("suiComboBox1")->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    edit->insert("mailto:x");
    EXPECT_EQ(w->StatusText(1), "Status: not a web address");
    EXPECT_TRUE(Asked.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(w->LoadsFinished, loads);
    EXPECT_EQ(w->WebBrowser1->url().path(), "/good");
}

TEST_F(WebWindow, TheSitesButtonListsTheSixSitesAndEachOpensItsPage)
{
    for (int i = 0; i < WebAddresses().Sites.size(); ++i)
        WebAddresses().Sites[i] = server.Base() + QStringLiteral("site%1").arg(i + 1);
    web::Tbrelnovaforum* w = web::OpenWebWindow(server.Base() + "start", false);
    EXPECT_EQ(CommandsWithoutHandler(w), QStringList());
    ClickComponent(w->FindComponent("ToolButton5"));
    auto* menu = qobject_cast<TPopupMenu*>(w->FindComponent("suiPopupMenu2"));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->PopupQMenu()->isVisible());
    menu->PopupQMenu()->hide();
    for (int i = 1; i <= 6; ++i) {
        const QString name = QStringLiteral("Site%1").arg(i);
        ClickComponent(w->FindComponent(name));
        EXPECT_EQ(w->Address(), server.Base() + QStringLiteral("site%1").arg(i));
        ASSERT_TRUE(Shows(w, QStringLiteral("/site%1").arg(i))) << name.toStdString();
    }
}

TEST_F(WebWindow, ProgressDotsGrowAndStartAgain)
{
    web::Tbrelnovaforum w;
    w.ProgressDots = 0;
    QStringList seen;
    for (int i = 0; i < 9; ++i) {
        w.WebBrowser1ProgressChange(10, 100);
        seen << w.StatusText(1);
    }
    EXPECT_EQ(seen[0], "Status: Load.");
    EXPECT_EQ(seen[1], "Status: Load..");
    EXPECT_EQ(seen[7], "Status: Load........");
    EXPECT_EQ(seen[8], "Status: Load..");
    w.WebBrowser1ProgressChange(100, 100);
    EXPECT_EQ(w.StatusText(1), "Status: Completed");
    EXPECT_EQ(w.StatusText(0), "Browse webpage");
}

TEST_F(WebWindow, ImageSearchBuildsTheAddressesAndListsEachSearch)
{
    ShowImageSearch();
    ASSERT_NE(seach_internet, nullptr);
    EXPECT_EQ(CommandsWithoutHandler(seach_internet), QStringList());
    // Every control shows whole, below the skinned title bar.
    const QWidget* title = qobject_cast<TsuiForm*>(seach_internet->FindComponent("suiForm1"))->TitleBar();
    const int below = title->mapTo(seach_internet, QPoint(0, title->height())).y();
    for (const char* name : {"GroupBox1", "suiButton1", "suiButton2"}) {
        auto* part = qobject_cast<QWidget*>(seach_internet->FindComponent(name));
        const QRect at(part->mapTo(seach_internet, QPoint(0, 0)), part->size());
        EXPECT_GE(at.top(), below) << name;
        EXPECT_TRUE(seach_internet->rect().contains(at)) << name << " ends at " << at.bottom() << " of " << seach_internet->height();
    }
    auto* keywords = qobject_cast<TCustomEdit*>(seach_internet->FindComponent("seach"));
    keywords->SetText("  red apple \t");
    EXPECT_EQ(seach_internet->SearchAddress(), server.Base() + "images?q=red%20apple&hl=en");
    qobject_cast<TsuiRadioButton*>(seach_internet->FindComponent("click2"))->SetChecked(true);
    EXPECT_EQ(seach_internet->SearchAddress(),
              server.Base() + "search/images?p=red%20apple&csz=&ei=UTF-8&fr=FP-tab-img-t-158&cop=mss&tab=3&toggle=1");
    qobject_cast<TsuiRadioButton*>(seach_internet->FindComponent("click1"))->SetChecked(true);

    // Only blanks: the user is asked for keywords, and no window opens.
    keywords->SetText(" \t ");
    ClickComponent(seach_internet->FindComponent("suiButton1"));
    EXPECT_EQ(Asked, QStringList{"Please type the keywords to search for."});
    EXPECT_EQ(web::brelnovaforum, nullptr);
    EXPECT_TRUE(server.Paths.isEmpty());

    keywords->SetText(" red apple ");
    ClickComponent(seach_internet->FindComponent("suiButton1"));
    ASSERT_NE(web::brelnovaforum, nullptr);
    const int listed = int(web::brelnovaforum->AddressList().size());
    ClickComponent(seach_internet->FindComponent("suiButton1"));
    EXPECT_EQ(web::brelnovaforum->AddressList().size(), listed + 1); // the same search is listed again
    ASSERT_TRUE(Shows(web::brelnovaforum, "/images?q=red%20apple&hl=en"));
    EXPECT_TRUE(server.Paths.contains("/images?q=red%20apple&hl=en")) << server.Paths.join(", ").toStdString();

    // Characters that mean something in an address reach the service as the keywords typed, on
    // either engine.
    const struct {
        const char* Engine;
        const char* Path;
        const char* Keywords;
        const char* Last;
        const char* Value;
    } engines[] = {{"click1", "/images", "q", "hl", "en"}, {"click2", "/search/images", "p", "toggle", "1"}};
    for (const auto& e : engines) {
        qobject_cast<TsuiRadioButton*>(seach_internet->FindComponent(e.Engine))->SetChecked(true);
        keywords->SetText("AT&T c# c++");
        server.Paths.clear();
        ClickComponent(seach_internet->FindComponent("suiButton1"));
        // The page before may still ask for its icon; the search is the request for its path.
        QString search;
        ASSERT_TRUE(WaitUntil([&] {
            for (const QString& p : server.Paths)
                if (p.startsWith(QLatin1String(e.Path) + '?'))
                    search = p;
            return !search.isEmpty();
        })) << e.Engine;
        const QUrlQuery query(QUrl(server.Base() + search.mid(1)));
        EXPECT_EQ(query.queryItemValue(e.Keywords, QUrl::FullyDecoded), "AT&T c# c++") << search.toStdString();
        EXPECT_EQ(query.queryItemValue(e.Last), e.Value) << search.toStdString();
    }
    EXPECT_EQ(Asked, QStringList{"Please type the keywords to search for."});
    EXPECT_TRUE(seach_internet->isVisible());
    ClickComponent(seach_internet->FindComponent("suiButton2"));
    EXPECT_FALSE(seach_internet->isVisible());
}

namespace {
class QuietScreen : public TScreenSource {
public:
    QPoint PointerPos() override { return {5, 5}; }
    QImage Grab(const QRect& r) override
    {
        QImage i(r.size(), QImage::Format_ARGB32);
        i.fill(0xFF336699u);
        return i;
    }
};
class QuietKey : public THotKey {
public:
    bool held = false;
    bool Register(int, std::function<void(int)>) override { return held = true; }
    void Unregister(int) override { held = false; }
    bool IsRegistered(int) const override { return held; }
};
} // namespace

TEST_F(WebWindow, TheCaptureButtonStartsTheCaptureTool)
{
    Tselectimage::SetDevices(std::make_unique<QuietScreen>(), std::make_unique<QuietKey>());
    web::Tbrelnovaforum* w = web::OpenWebWindow(server.Base() + "page", false);
    ClickComponent(w->FindComponent("ToolButton6"));
    ASSERT_NE(selectimage, nullptr);
    EXPECT_TRUE(selectimage->isVisible());
    EXPECT_TRUE(Tselectimage::HotKey().IsRegistered(Tselectimage::kHotKeyId));
    EXPECT_TRUE(w->isVisible());
}
