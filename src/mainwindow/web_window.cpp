#include "mainwindow/web_window.h"

#include "framework/dialogs.h"
#include "framework/label.h"
#include "mainwindow/iconmain.h"
#include "skin/file_theme.h"
#include "skin/theme_manager.h"

#include <QDesktopServices>
#include <QUrl>

Tbrelnovaforum* brelnovaforum = nullptr;

namespace {
QString lastShellOpen;

TWebWindowOpener& OpenerSlot()
{
    static TWebWindowOpener opener;
    return opener;
}
} // namespace

void SetWebWindowOpener(TWebWindowOpener opener)
{
    OpenerSlot() = std::move(opener);
}

const TWebWindowOpener& WebWindowOpener()
{
    return OpenerSlot();
}

QList<TMakerLink>& MakerLinks()
{
    const QString site = QLatin1String(kMakerHomePage);
    // Of the maker's sites only the downloads go into the address list; every support page and
    // the customer area do.
    static QList<TMakerLink> links{
        {QStringLiteral("BrelnovaHomepage1"), site, false},
        {QStringLiteral("BrelnovaIconStudio1"), site + QStringLiteral("iconstudio/"), false},
        {QStringLiteral("BrelnovaGifStudio1"), site + QStringLiteral("gifstudio/"), false},
        {QStringLiteral("BrelnovaCursorStudio1"), site + QStringLiteral("cursorstudio/"), false},
        {QStringLiteral("BrelnovaScreenStudio1"), site + QStringLiteral("screenstudio/"), false},
        {QStringLiteral("BrelnovaDownloads1"), site + QStringLiteral("download/"), true},
        {QStringLiteral("UpdatePage1"), site + QStringLiteral("update.htm"), true},
        {QStringLiteral("UpgradePage1"), site + QStringLiteral("upgrade.htm"), true},
        {QStringLiteral("BugReportandFeedback1"), site + QStringLiteral("feedback.htm"), true},
        {QStringLiteral("FAQPage1"), site + QStringLiteral("faq.htm"), true},
        {QStringLiteral("BrelnovaCustomerAdminArea1"), QStringLiteral("http://www.brelnova.net/"), true},
    };
    return links;
}

const TMakerLink* FindMakerLink(const QString& control)
{
    for (const TMakerLink& link : MakerLinks())
        if (link.Control.compare(control, Qt::CaseInsensitive) == 0)
            return &link;
    return nullptr;
}

void OpenWebPage(const QString& url, bool addToList)
{
    if (WebWindowOpener()) {
        WebWindowOpener()(url, addToList);
        return;
    }
    if (!brelnovaforum)
        new Tbrelnovaforum(nullptr);
    PlaceWebWindow(brelnovaforum);
    brelnovaforum->Show();
    brelnovaforum->WebBrowser1->Navigate(url);
}

void PlaceWebWindow(TForm* window)
{
    if (!iconmain)
        return;
    auto* palette = qobject_cast<TControl*>(iconmain->FindComponent(QStringLiteral("Panel3")));
    auto* right = qobject_cast<TControl*>(iconmain->FindComponent(QStringLiteral("Panel4")));
    if (!palette || !right)
        return;
    window->SetLeft(palette->Width() + 4);
    window->SetTop(palette->Top() + 4);
    window->SetWidth(right->Left() - palette->Width() - 2);
    window->SetHeight(right->Height() - 2);
}

void ShellOpen(const QString& target)
{
    lastShellOpen = target;
    if (HeadlessPlatform())
        return;
    // A desktop without a program for the address would leave the command without a trace.
    if (!QDesktopServices::openUrl(QUrl::fromUserInput(target)))
        MessageBox(QStringLiteral("No program on this desktop opens \"%1\".").arg(target), QStringLiteral("Brelnova Studio"),
                   MB_OK | MB_ICONWARNING);
}

QString LastShellOpen()
{
    return lastShellOpen;
}

TWebBrowser::TWebBrowser(QWidget* owner) : TControl(owner)
{
    text_ = new TLabel(this);
    text_->SetLeft(16);
    text_->SetTop(16);
    text_->SetWordWrap(true);
    text_->SetTransparent(true);
}

void TWebBrowser::Navigate(const QString& url)
{
    location_ = url;
    text_->SetWidth(std::max(100, Width() - 32));
    text_->SetCaption(QStringLiteral("The page opens in your web browser:\n") + url);
    ShellOpen(url);
}

Tbrelnovaforum::Tbrelnovaforum(QWidget* owner) : TForm(owner)
{
    RegisterMainWindowClasses();
    brelnovaforum = this;
    LoadDefinition(QStringLiteral(":/mainwindow/brelnovaforum.wdf"));
    WebBrowser1 = new TWebBrowser(qobject_cast<QWidget*>(FindComponent(QStringLiteral("Panel1"))));
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->SetAlign(alClient);
    WebBrowser1->SetVisible(true);
}

Tbrelnovaforum::~Tbrelnovaforum()
{
    if (brelnovaforum == this)
        brelnovaforum = nullptr;
}

void Tbrelnovaforum::FormShow(TObject*)
{
    if (!iconmain)
        return;
    if (auto* theme = qobject_cast<TsuiFileTheme*>(FindComponent(QStringLiteral("suiFileTheme1"))))
        theme->SetThemeFile(iconmain->MainThemeFile());
}
