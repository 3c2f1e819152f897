#include "animation/animator_form.h"
#include "animation/builders.h"
#include "framework/application.h"
#include "framework/menus.h"
#include "framework/picture.h"
#include "imaging/bitmap/image32.h"
#include "imaging/gif/gif_image.h"
#include "imaging/icons/icon_xp.h"
#include "import/import_windows.h"
#include "web/brelnovaforum.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/program_start.h"
#include "settings/settings_windows.h"
#include "settings/set_window_icon.h"
#include "skin/controls/message_dialog.h"
#include "skin/controls/skin_controls.h"
#include "skin/skin_forms.h"
#include "controls/controls_classes.h"
#include "document/canvas_mouse.h"
#include "drawing/drawing_engines.h"

#include <unistd.h>

int main(int argc, char** argv)
{
    // The browser engine's sandbox cannot run for the superuser; only then is it switched off.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The browser engine shares its drawing contexts with the program's windows.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TQtApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brelnova Studio"));

    // Every class a window definition may name, and the picture classes of ".ico" and ".gif".
    RegisterImagingBitmapClasses();
    RegisterSkinControlClasses();
    RegisterSkinFormClasses();
    RegisterSkinDialogClasses();
    RegisterControlsClasses();
    RegisterGifFormat();
    // Naming the class keeps its registration, which runs as the application starts, linked in.
    (void)GraphicClass<TIconXP>();
    // The canvas of every document reaches the drawing tools through this table.
    SetDrawingEngines(DrawingEngines());
    // Errors reach the user through the skinned message box.
    InstallSkinnedExceptionDisplay();

    // Documents and the main window hand frames to the animation builders.
    InstallAnimationBuilders();

    // Pictures, icon libraries and multi-frame files open in the import windows.
    InstallImportWindows();
    SetGifFrameEditor([](const QString& bitmapFile) { OpenImportWindow(bitmapFile, 0); });
    StartProgram(QApplication::arguments().mid(1));
    // The main window's tool button, menu item and keys open the GIF builder.
    if (iconmain) {
        if (auto* button = qobject_cast<TControl*>(iconmain->FindComponent(QStringLiteral("ToolButton17"))))
            button->OnClick = [](TObject*) { ShowGifBuilder(); };
        if (auto* item = qobject_cast<TMenuItem*>(iconmain->FindComponent(QStringLiteral("AnimationGIFBuilder1"))))
            item->OnClick = [](TObject*) { ShowGifBuilder(); };
        // The tool button, the menu item and its key open the Windows-icon customiser.
        if (auto* button = qobject_cast<TControl*>(iconmain->FindComponent(QStringLiteral("ToolButton22"))))
            button->OnClick = [](TObject*) { ShowWindowsIconCustomiser(); };
        if (auto* item = qobject_cast<TMenuItem*>(iconmain->FindComponent(QStringLiteral("CustomizeWindowsIcons1"))))
            item->OnClick = [](TObject*) { ShowWindowsIconCustomiser(); };
    }
    // The Options and Help menus open the settings windows.
    InstallSettingsWindows();
    // The disk search and capture commands open their windows.
    InstallImportCommands(iconmain);
    // Web links and the image search open the program's own browser window.
    InstallWebWindows(iconmain);
    Application->Run();
    return 0;
}
