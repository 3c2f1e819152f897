#include "app/start/whole_program.h"

#include "animation/animator_form.h"
#include "animation/builders.h"
#include "controls/controls_classes.h"
#include "document/canvas_mouse.h"
#include "drawing/drawing_engines.h"
#include "framework/menus.h"
#include "framework/picture.h"
#include "imaging/bitmap/image32.h"
#include "imaging/gif/gif_image.h"
#include "imaging/icons/icon_xp.h"
#include "import/import_windows.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/program_start.h"
#include "settings/settings_windows.h"
#include "skin/controls/message_dialog.h"
#include "skin/controls/skin_controls.h"
#include "skin/skin_forms.h"
#include "web/brelnovaforum.h"

#include <QFileInfo>

#include <functional>

namespace {

void Bind(const char* name, std::function<void()> action)
{
    QObject* component = iconmain->FindComponent(QLatin1String(name));
    if (auto* item = qobject_cast<TMenuItem*>(component))
        item->OnClick = [action](TObject*) { action(); };
    else if (auto* control = qobject_cast<TControl*>(component))
        control->OnClick = [action](TObject*) { action(); };
}

} // namespace

void InstallProgramClassesAndHooks()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
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
    SetGifFrameEditor(EditGifFrame);
}

void StartWholeProgram(const QStringList& arguments)
{
    InstallProgramClassesAndHooks();
    // A file named relative to the folder the program was started in is that folder's file: the
    // program's own path rules would otherwise look for it beside the program.
    QStringList files;
    for (const QString& argument : arguments) {
        const QFileInfo named(argument);
        files << (named.isRelative() && named.exists() ? named.absoluteFilePath() : argument);
    }
    StartProgram(files);
    if (!iconmain)
        return;
    // The main window's tool button and menu item open the GIF builder; their keys run the same
    // items.
    Bind("ToolButton17", ShowGifBuilder);
    Bind("AnimationGIFBuilder1", ShowGifBuilder);
    // The Options and Help menus and the customiser's tool button open the settings windows.
    InstallSettingsWindows();
    // The disk search and capture commands open their windows.
    InstallImportCommands(iconmain);
    // Web links and the image search open the program's own browser window.
    InstallWebWindows(iconmain);
}
