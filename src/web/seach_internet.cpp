#include "web/seach_internet.h"

#include "document/command_dialog.h"
#include "framework/controls.h"
#include "framework/dialogs.h"
#include "framework/edit.h"
#include "import/loadimagedorv.h"
#include "skin/controls/check_box.h"
#include "web/brelnovaforum.h"
#include "web/web_addresses.h"

#include <QUrl>

Tseach_internet* seach_internet = nullptr;

namespace {

template <class T> T* Part(const TForm* w, const char* name)
{
    return qobject_cast<T*>(w->FindComponent(QLatin1String(name)));
}


} // namespace

Tseach_internet::Tseach_internet(QWidget* owner) : TForm(owner)
{
    RegisterImportClasses();
    RegisterWebClasses();
    LoadDefinition(QStringLiteral(":/web/seach_internet.wdf"));
    seach_internet = this;
    if (auto* c = Part<TsuiRadioButton>(this, "click1"))
        c->SetCaption(WebAddresses().ImageSearch1Name);
    if (auto* c = Part<TsuiRadioButton>(this, "click2"))
        c->SetCaption(WebAddresses().ImageSearch2Name);
}

Tseach_internet::~Tseach_internet()
{
    if (seach_internet == this)
        seach_internet = nullptr;
}

void Tseach_internet::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

QString Tseach_internet::Keywords() const
{
    auto* edit = Part<TCustomEdit>(this, "seach");
    return edit ? TrimAddress(edit->Text()) : QString();
}

QString Tseach_internet::SearchAddress() const
{
    // Encoded, so that "&", "#" and "+" in the keywords reach the service as typed instead of
    // ending the query, starting a fragment or standing for a blank.
    const QString keywords = QString::fromLatin1(QUrl::toPercentEncoding(Keywords()));
    auto* second = Part<TsuiRadioButton>(this, "click2");
    if (second && second->Checked())
        return WebAddresses().ImageSearch2 + QStringLiteral("search/images?p=") + keywords
               + QStringLiteral("&csz=&ei=UTF-8&fr=FP-tab-img-t-158&cop=mss&tab=3&toggle=1");
    return WebAddresses().ImageSearch1 + QStringLiteral("images?q=") + keywords + QStringLiteral("&hl=en");
}

void Tseach_internet::suiButton1Click(TObject*)
{
    if (Keywords().isEmpty()) {
        MessageBox(QStringLiteral("Please type the keywords to search for."), QStringLiteral("Brelnova Studio"),
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    web::OpenWebWindow(SearchAddress(), true);
}

void Tseach_internet::suiButton2Click(TObject*)
{
    Close();
}

void ShowImageSearch()
{
    if (!seach_internet)
        new Tseach_internet;
    seach_internet->Show();
}
