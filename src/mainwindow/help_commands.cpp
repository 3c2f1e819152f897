#include "framework/exceptions.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "mainwindow/dialog_skin.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/otherpage.h"
#include "mainwindow/web_window.h"
#include "mainwindow/welcome.h"
#include "platform/help_viewer.h"
#include "platform/program_paths.h"

#include <cerrno>
#include <cstring>

void Ticonmain::Help1Click(TObject*)
{
    const QString help = ProgramFolder() + QStringLiteral("dodozizozodazo.zed::/2_1.htm");
    if (!HtmlHelp(this, help, HH_DISPLAY_TOC, 0))
        throw Exception(QStringLiteral("The help cannot be opened: %1 (%2).")
                            .arg(QString::fromLocal8Bit(std::strerror(errno)), MapHelpPath(help).Folder));
}

void Ticonmain::SubscribeNewsletters1Click(TObject*)
{
    OpenWebPage(QLatin1String(kNewsletterPage), false);
}

void Ticonmain::BRELNOVACommunityForum1Click(TObject*)
{
    OpenWebPage(QLatin1String(kForumPage), false);
}

void Ticonmain::WebLinkClick(TObject* Sender)
{
    auto* item = dynamic_cast<QObject*>(Sender);
    if (const TMakerLink* link = item ? FindMakerLink(item->objectName()) : nullptr)
        OpenWebPage(link->Address, link->AddToList);
}

void Ticonmain::OtherProducts1Click(TObject*)
{
    Totherpage* page = OtherProductsPage();
    TakeMainWindowSkin(*page);
    page->ShowModal();
}

void Ticonmain::Tipoftheday1Click(TObject*)
{
    auto* tips = new Twelcome(nullptr);
    tips->ShowModal();
    tips->Release();
}
