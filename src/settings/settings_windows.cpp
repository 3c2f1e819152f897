#include "settings/settings_windows.h"

#include "framework/menus.h"
#include "mainwindow/iconmain.h"
#include "settings/liveupdate.h"
#include "settings/set_skin.h"
#include "settings/set_window_icon.h"
#include "settings/setfile.h"
#include "settings/setwindow.h"

#include <functional>

namespace {

void Bind(const char* item, const std::function<void()>& open)
{
    if (!iconmain)
        return;
    QObject* component = iconmain->FindComponent(QLatin1String(item));
    if (auto* menu = qobject_cast<TMenuItem*>(component))
        menu->OnClick = [open](TObject*) { open(); };
    else if (auto* button = qobject_cast<TControl*>(component))
        button->OnClick = [open](TObject*) { open(); };
}

} // namespace

void InstallSettingsWindows()
{
    Bind("EditingOptions1", ShowEditingOptions);
    Bind("FileAssociations1", ShowFileAssociations);
    Bind("LiveUpdate1", ShowLiveUpdate);
    Bind("ToolButton23", ShowLiveUpdate);
    Bind("FromOutsideFile1", ShowSkinChooser);
    Bind("ToolButton22", ShowWindowsIconCustomiser);
    Bind("CustomizeWindowsIcons1", ShowWindowsIconCustomiser);
    SetStartupUpdateCheckRunner(RunStartupUpdateCheck);
}
