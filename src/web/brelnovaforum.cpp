#include "web/brelnovaforum.h"

#include "document/command_dialog.h"
#include "framework/combo_box.h"
#include "framework/controls.h"
#include "framework/dialogs.h"
#include "framework/menus.h"
#include "framework/string_list.h"
#include "framework/tool_bar.h"
#include "import/import_windows.h"
#include "import/loadimagedorv.h"
#include "import/selectimage.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/web_window.h"
#include "skin/controls/status_bar.h"
#include "web/seach_internet.h"
#include "web/web_addresses.h"

#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace web {

Tbrelnovaforum* brelnovaforum = nullptr;

namespace {

template <class T> T* Part(const TForm* w, const char* name)
{
    return qobject_cast<T*>(w->FindComponent(QLatin1String(name)));
}

// An opener's address that the window cannot show: the user is told, and nothing opens.
bool AcceptAddress(const QString& url)
{
    if (WebAddressLoadable(url))
        return true;
    MessageBox(QStringLiteral("The web window cannot open \"%1\": it is not the address of a web page.").arg(url),
               QStringLiteral("BRELNOVA Community Forum"), MB_OK | MB_ICONWARNING);
    return false;
}

} // namespace

Tbrelnovaforum::Tbrelnovaforum(QWidget* owner) : TForm(owner)
{
    RegisterImportClasses();
    RegisterWebClasses();
    LoadDefinition(QStringLiteral(":/web/brelnovaforum.wdf"));
    brelnovaforum = this;
}

Tbrelnovaforum::~Tbrelnovaforum()
{
    if (brelnovaforum == this)
        brelnovaforum = nullptr;
}

void Tbrelnovaforum::FormCreate(TObject*)
{
    ProgressDots = 0;
    if (auto* bar = Part<TsuiStatusBar>(this, "StatusBar2")) {
        const std::pair<const char*, int> panels[] = {{"Status : ", 181}, {"Webpage status :", 200}};
        for (const auto& [text, width] : panels) {
            TStatusPanel* p = bar->Panels()->Add();
            p->SetText(QString::fromUtf8(text));
            p->SetWidth(width);
        }
    }
    if (auto* box = Part<TCustomComboBox>(this, "suiComboBox1")) {
        for (const QString& site : WebAddresses().Sites)
            box->Items()->Add(site);
        box->SetText(WebAddresses().StartPage);
    }
    auto* host = Part<QWidget>(this, "BrowserPanel");
    WebBrowser1 = new QWebEngineView(host);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(WebBrowser1);
    connect(WebBrowser1, &QWebEngineView::loadStarted, this, [this] {
        stopped_ = false;
        WebBrowser1DownloadBegin();
    });
    connect(WebBrowser1, &QWebEngineView::loadProgress, this, [this](int p) { WebBrowser1ProgressChange(p, 100); });
    connect(WebBrowser1, &QWebEngineView::loadFinished, this, [this](bool ok) {
        LastLoadOk = ok;
        ++LoadsFinished;
        WebBrowser1DownloadComplete(ok);
    });
}

void Tbrelnovaforum::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

QString Tbrelnovaforum::StatusText(int panel) const
{
    auto* bar = Part<TsuiStatusBar>(this, "StatusBar2");
    return bar && panel < bar->Panels()->Count() ? bar->Panels()->Items(panel)->Text() : QString();
}

void Tbrelnovaforum::SetStatus(int panel, const QString& text)
{
    auto* bar = Part<TsuiStatusBar>(this, "StatusBar2");
    if (bar && panel < bar->Panels()->Count())
        bar->Panels()->Items(panel)->SetText(text);
}

QString Tbrelnovaforum::Address() const
{
    auto* box = Part<TCustomComboBox>(this, "suiComboBox1");
    return box ? box->Text() : QString();
}

QStringList Tbrelnovaforum::AddressList() const
{
    QStringList out;
    auto* box = Part<TCustomComboBox>(this, "suiComboBox1");
    for (int i = 0; box && i < box->Items()->Count(); ++i)
        out << box->Items()->Strings(i);
    return out;
}

bool Tbrelnovaforum::Navigate(const QString& url)
{
    if (!WebAddressLoadable(url))
        return false;
    if (WebBrowser1)
        WebBrowser1->setUrl(QUrl::fromUserInput(TrimAddress(url)));
    return true;
}

bool Tbrelnovaforum::ShowAddress(const QString& url, bool addToList)
{
    if (!AcceptAddress(url))
        return false;
    if (auto* box = Part<TCustomComboBox>(this, "suiComboBox1")) {
        if (addToList)
            box->Items()->Add(url);
        settingAddress_ = true;
        box->SetText(url);
        settingAddress_ = false;
    }
    return Navigate(url);
}

void Tbrelnovaforum::ToolButton1Click(TObject*)
{
    WebBrowser1->back();
}

void Tbrelnovaforum::ToolButton2Click(TObject*)
{
    WebBrowser1->forward();
}

void Tbrelnovaforum::ToolButton3Click(TObject*)
{
    WebBrowser1->reload();
}

void Tbrelnovaforum::ToolButton4Click(TObject*)
{
    stopped_ = true;
    WebBrowser1->stop();
}

void Tbrelnovaforum::ToolButton5Click(TObject*)
{
    auto* menu = Part<TPopupMenu>(this, "suiPopupMenu2");
    auto* button = Part<QWidget>(this, "ToolButton5");
    if (menu && button) {
        const QPoint at = button->mapToGlobal(QPoint(0, button->height()));
        menu->Popup(at.x(), at.y());
    }
}

void Tbrelnovaforum::SiteClick(TObject* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item)
        return;
    const int n = item->objectName().mid(4).toInt();
    if (n >= 1 && n <= WebAddresses().Sites.size())
        ShowAddress(WebAddresses().Sites[n - 1], false);
}

void Tbrelnovaforum::ToolButton6Click(TObject*)
{
    if (iconmain)
        iconmain->CaptureFromBrowser = 1;
    StartCaptureTool();
}

void Tbrelnovaforum::suiComboBox1Change(TObject*)
{
    if (settingAddress_)
        return;
    // A half-typed address is no reason for a message box at every letter; the status bar says it.
    if (!Navigate(Address()))
        SetStatus(1, QStringLiteral("Status: not a web address"));
}

void Tbrelnovaforum::WebBrowser1DownloadBegin()
{
    SetStatus(0, QStringLiteral("Browse webpage"));
    SetStatus(1, QStringLiteral("Status: completed"));
}

void Tbrelnovaforum::WebBrowser1DownloadComplete(bool ok)
{
    SetStatus(0, QStringLiteral("Browse webpage"));
    if (ok)
        SetStatus(1, QStringLiteral("Status: completed"));
    else
        SetStatus(1, stopped_ ? QStringLiteral("Status: stopped") : QStringLiteral("Status: the page cannot be loaded"));
}

void Tbrelnovaforum::WebBrowser1ProgressChange(int progress, int maximum)
{
    if (ProgressDots > 7)
        ProgressDots = 1;
    SetStatus(0, QStringLiteral("Browse webpage"));
    SetStatus(1, QStringLiteral("Status: Load") + QString(ProgressDots + 1, QLatin1Char('.')));
    if (progress == maximum)
        SetStatus(1, QStringLiteral("Status: Completed"));
    ++ProgressDots;
}

Tbrelnovaforum* OpenWebWindow(const QString& url, bool addToList)
{
    if (!AcceptAddress(url))
        return brelnovaforum;
    if (!brelnovaforum)
        new Tbrelnovaforum;
    PlaceWebWindow(brelnovaforum);
    brelnovaforum->Show();
    brelnovaforum->ShowAddress(url, addToList);
    return brelnovaforum;
}

} // namespace web

void InstallWebWindows(Ticonmain* main)
{
    SetWebWindowOpener([](const QString& url, bool addToList) { web::OpenWebWindow(url, addToList); });
    if (!main)
        return;
    if (auto* item = qobject_cast<TMenuItem*>(main->FindComponent(QStringLiteral("OntheInternet1"))))
        item->OnClick = [](TObject*) { ShowImageSearch(); };
}
