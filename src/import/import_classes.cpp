#include "framework/component.h"
#include "imaging/bitmap/image32.h"
#include "imaging/gif/gif_controls.h"
#include "import/loadimagedorv.h"
#include "mainwindow/iconmain.h"

#include <QtCore/qglobal.h>

static void InitImportResources()
{
    Q_INIT_RESOURCE(import);
}

void RegisterImportClasses()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    InitImportResources();
    RegisterMainWindowClasses();
    RegisterImagingBitmapClasses();
    RegisterGifControlClasses();
}
