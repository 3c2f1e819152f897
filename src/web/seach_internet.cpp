#include "web/seach_internet.h"

#include "document/command_dialog.h"
#include "framework/controls.h"
#include "framework/edit.h"
#include "import/loadimagedorv.h"
#include "skin/controls/check_box.h"
#include "web/brelnovaforum.h"
#include "web/web_addresses.h"

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

QString Tseach_internet::SearchAddress() const
{
    auto* edit = Part<TCustomEdit>(this, "seach");
    const QString keywords = edit ? TrimAddress(edit->Text()) : QString();
    auto* second = Part<TsuiRadioButton>(this, "click2");
    if (second && second->Checked())
        return WebAddresses().ImageSearch2 + QStringLiteral("search/images?p=") + keywords
               + QStringLiteral("&csz=&ei=UTF-8&fr=FP-tab-img-t-158&cop=mss&tab=3&toggle=1");
    return WebAddresses().ImageSearch1 + QStringLiteral("images?q=") + keywords + QStringLiteral("&hl=en");
}

void Tseach_internet::suiButton1Click(TObject*)
{
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
