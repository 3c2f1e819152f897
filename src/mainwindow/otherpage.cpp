#include "mainwindow/otherpage.h"

#include "mainwindow/dialog_skin.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/web_window.h"

Totherpage* otherpage = nullptr;

Totherpage* OtherProductsPage()
{
    if (!otherpage)
        new Totherpage(nullptr);
    return otherpage;
}

Totherpage::Totherpage(QWidget* owner) : TForm(owner)
{
    RegisterMainWindowClasses();
    LoadDefinition(QStringLiteral(":/mainwindow/otherpage.wdf"));
    otherpage = this;
    KeepDialogTitleButtons(*this, false);
    KeepAsSecondaryWindow(*this);
}

Totherpage::~Totherpage()
{
    if (otherpage == this)
        otherpage = nullptr;
}

void Totherpage::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

namespace {

// A product's page is the one the Help menu names it by; the page's links leave the web
// window's address list as it is.
void OpenProductPage(const char* helpItem)
{
    if (const TMakerLink* link = FindMakerLink(QLatin1String(helpItem)))
        OpenWebPage(link->Address, false);
}

} // namespace

void Totherpage::Label7Click(TObject*)
{
    OpenProductPage("BrelnovaGifStudio1");
}

void Totherpage::Label10Click(TObject*)
{
    OpenProductPage("BrelnovaCursorStudio1");
}

void Totherpage::Label13Click(TObject*)
{
    OpenProductPage("BrelnovaScreenStudio1");
}

void Totherpage::Label15Click(TObject*)
{
    OpenProductPage("BrelnovaIconStudio1");
}

void Totherpage::suiButton1Click(TObject*)
{
    Close();
}
