#include "mainwindow/program_start.h"

#include "document/scratch_folder.h"
#include "framework/application.h"
#include "mainwindow/document_windows.h"
#include "mainwindow/form36.h"
#include "mainwindow/iconmain.h"

#include <QTimer>

namespace {

const char* const kPictureExtensions[] = {
    ".psd", ".gif", ".jpg", ".dib", ".jpeg", ".png", ".dll", ".bmp", ".ico", ".emf",
    ".wmf", ".exe", ".icl", ".ani", ".sgi", ".vda", ".vst", ".psp", ".rle", ".pcd",
    ".pgm", ".pbm", ".tga", ".tiff", ".tif", ".pcx", ".wbmp", ".cur",
};

// The system trims the working set of the process every two seconds where it can; a callback
// that comes round inside a nested loop (a modal dialog) must not start a second trim. There is
// nothing to trim here, so only the guard is kept.
void TrimWorkingSet()
{
    static bool busy = false;
    if (busy)
        return;
    busy = true;
    busy = false;
}

void StartWorkingSetTimer()
{
    static QTimer* timer = nullptr;
    if (timer)
        return;
    timer = new QTimer(Application);
    QObject::connect(timer, &QTimer::timeout, &TrimWorkingSet);
    timer->start(2000);
}

} // namespace

QString CommandLineFileToKeep(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        const QString lower = argument.toLower();
        for (const char* extension : kPictureExtensions)
            if (lower.contains(QLatin1String(extension)))
                return arguments.first();
    }
    return QString();
}

void StartProgram(const QStringList& arguments)
{
    StartWorkingSetTimer();
    const QString kept = CommandLineFileToKeep(arguments);

    auto* splash = new TForm36(nullptr);
    splash->Show();
    splash->repaint();

    Application->SetTitle(QStringLiteral("Brelnova Studio"));
    // Scratch folders of instances that have gone are cleared before this one starts its own.
    RemoveStaleScratchFolders();
    Application->CreateForm(iconmain);
    Application->SetMainForm(iconmain);
    TForm* templ = CreateTemplateDocument();
    Application->FormCreated(templ);

    iconmain->Show();
    iconmain->repaint();
    templ->Show();
    templ->repaint();
    ParkTemplateDocument(templ);

    if (!kept.isEmpty())
        iconmain->CommandLineFile = kept;

    splash->Hide();
    delete splash;
    iconmain->StartupDone = 1;
}
