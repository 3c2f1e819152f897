#include "settings/settings_classes.h"

#include "mainwindow/iconmain.h"
#include "skin/controls/message_dialog.h"

#include <QtCore/qglobal.h>

static void InitSettingsResources()
{
    Q_INIT_RESOURCE(settings);
}

void RegisterSettingsClasses()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    InitSettingsResources();
    RegisterMainWindowClasses();
    RegisterSkinDialogClasses();
}
