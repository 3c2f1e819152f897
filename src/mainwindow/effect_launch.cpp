// The launch of the filters and effects from the main window's Effects and Filters menus, and of
// the colour balance dialog.

#include "document/newiconview.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/menus.h"
#include "mainwindow/command_routing.h"
#include "mainwindow/dialog_skin.h"
#include "mainwindow/effect_table.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/set_color.h"
#include "mainwindow/userrgbform.h"

#include <QMenu>

namespace {

void Tell(const QString& text)
{
    MessageDlg(text, mtInformation, MsgDlgButtons({mbOK}));
}

const QString kNoProject = QStringLiteral("Open or create an icon project first.");
const QString kNoPicture = QStringLiteral("The current image format has no picture to work on.");

} // namespace

void Ticonmain::EffectItemClick(TObject* Sender)
{
    auto* item = dynamic_cast<QObject*>(Sender);
    const TEffectSpec* spec = item ? FindEffectItem(item->objectName()) : nullptr;
    if (!spec) {
        Tell(QStringLiteral("The effects table holds no effect for \"%1\".").arg(item ? item->objectName() : QString()));
        return;
    }
    LaunchEffect(spec->Code);
}

void Ticonmain::LaunchEffect(int code)
{
    const TEffectSpec* spec = FindEffect(code);
    if (!spec)
        return;
    TForm* document = ActiveProjectWindow(*this);
    if (!document) {
        Tell(kNoProject);
        return;
    }
    int maskColour = 0;
    if (spec->Mode == TEffectMode::AtOnceAfterColour) {
        // Asked before anything is taken, so that a cancel leaves every window as it was.
        auto* dialog = qobject_cast<TColorDialog*>(FindComponent(QStringLiteral("ColorDialog1")));
        if (!dialog || !dialog->Execute())
            return;
        maskColour = int(dialog->Color());
    }
    if (!set_color)
        new Tset_color(nullptr);
    Tset_color& d = *set_color;
    if (!d.TakeSourceFrom(document)) {
        Tell(kNoPicture);
        return;
    }
    d.MaskColor = maskColour;
    const bool ready = spec->Geometric ? d.SetupDistortEffect(code) : d.SetupFilterEffect(code);
    if (!ready)
        return;
    if (spec->Mode == TEffectMode::Dialog) {
        // A dialog already open is not shown anew, so it takes the skin here too.
        TakeMainWindowSkin(d);
        d.Show();
        return;
    }
    d.RunCurrentEffect();
    d.suiButton1Click(this);
}

void Ticonmain::ColorBalance1Click(TObject*)
{
    TForm* document = ActiveProjectWindow(*this);
    if (!document) {
        Tell(kNoProject);
        return;
    }
    if (!userRGBForm)
        new TuserRGBForm(nullptr);
    TuserRGBForm& d = *userRGBForm;
    if (!d.TakeSourceFrom(document)) {
        Tell(kNoPicture);
        return;
    }
    d.LoadBalanceWorkCopy();
    d.ShowModal();
}

void Ticonmain::UpdateEffectItems()
{
    const bool enabled = ActiveProjectWindow(*this) != nullptr;
    for (const TEffectSpec& spec : EffectTable())
        if (auto* item = qobject_cast<TMenuItem*>(FindComponent(QLatin1String(spec.Component))))
            item->SetEnabled(enabled);
    if (auto* item = qobject_cast<TMenuItem*>(FindComponent(QStringLiteral("ColorBalance1"))))
        item->SetEnabled(enabled);
}

void Ticonmain::ConnectEffectMenus()
{
    for (const char* name : {"Effects1", "Filters1"})
        if (auto* item = qobject_cast<TMenuItem*>(FindComponent(QLatin1String(name))))
            connect(item->SubMenu(), &QMenu::aboutToShow, this, [this] { UpdateEffectItems(); });
}
