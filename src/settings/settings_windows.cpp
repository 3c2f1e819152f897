#include "settings/settings_windows.h"

#include "framework/menus.h"
#include "mainwindow/iconmain.h"
#include "settings/setfile.h"
#include "settings/setwindow.h"

#include <functional>

namespace {

void Bind(const char* item, const std::function<void()>& open)
{
    if (!iconmain)
        return;
    if (auto* menu = qobject_cast<TMenuItem*>(iconmain->FindComponent(QLatin1String(item))))
        menu->OnClick = [open](TObject*) { open(); };
}

} // namespace

void InstallSettingsWindows()
{
    Bind("EditingOptions1", ShowEditingOptions);
    Bind("FileAssociations1", ShowFileAssociations);
}
