#include "framework/exceptions.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/web_window.h"
#include "mainwindow/welcome.h"
#include "platform/help_viewer.h"
#include "platform/program_paths.h"

#include <cerrno>
#include <cstring>

namespace {

// The web window over the document area, between the tool palette and the right panel.
void ShowWebPage(Ticonmain&, const QString& url)
{
    if (WebWindowOpener()) {
        WebWindowOpener()(url, false);
        return;
    }
    if (!brelnovaforum)
        new Tbrelnovaforum(nullptr);
    PlaceWebWindow(brelnovaforum);
    brelnovaforum->Show();
    brelnovaforum->WebBrowser1->Navigate(url);
}

} // namespace

void Ticonmain::Help1Click(TObject*)
{
    const QString help = ProgramFolder() + QStringLiteral("dodozizozodazo.zed::/2_1.htm");
    if (!HtmlHelp(this, help, HH_DISPLAY_TOC, 0))
        throw Exception(QStringLiteral("The help cannot be opened: %1 (%2).")
                            .arg(QString::fromLocal8Bit(std::strerror(errno)), MapHelpPath(help).Folder));
}

void Ticonmain::SubscribeNewsletters1Click(TObject*)
{
    ShowWebPage(*this, QLatin1String(kNewsletterPage));
}

void Ticonmain::BRELNOVACommunityForum1Click(TObject*)
{
    ShowWebPage(*this, QLatin1String(kForumPage));
}

void Ticonmain::Tipoftheday1Click(TObject*)
{
    auto* tips = new Twelcome(nullptr);
    tips->ShowModal();
    tips->Release();
}
