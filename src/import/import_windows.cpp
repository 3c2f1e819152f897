#include "import/import_windows.h"

#include "document/command_dialog.h"
#include "document/editor_state.h"
#include "document/newiconview.h"
#include "import/loadimagedorv.h"
#include "import/openimage.h"
#include "import/searchimage.h"
#include "import/selectimage.h"
#include "framework/menus.h"
#include "mainwindow/file_host.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/iconmain_files.h"
#include "mainwindow/photoshop_exchange.h"

#include <QFileInfo>

namespace {

// The template document gives the size of the document area.
void PlaceOverDocuments(TForm* window)
{
    std::unique_ptr<TFileHost> host = MakeImportFileHost();
    if (TForm* tmpl = host->FindDocument(QStringLiteral("newiconview")))
        window->SetBounds(-4, -2, tmpl->Width(), tmpl->Height());
}

void OpenPicture(const QString& path)
{
    OpenImportWindow(path, 0);
}

void OpenLibrary(const QString& path)
{
    auto* window = new Tloadimagedorv;
    if (iconmain)
        window->SetFormStyle(fsMDIChild);
    PlaceOverDocuments(window);
    window->Show();
    window->OpenIconLibraryFile(path);
}

void OpenViewer(const QString& path, int number, bool asGlobal, const QString& caption)
{
    auto* viewer = new Topenimage;
    if (asGlobal)
        openimage = viewer;
    else
        viewer->setObjectName(QStringLiteral("openimage") + QString::number(number));
    viewer->ViewerNumber = number;
    if (iconmain)
        viewer->SetFormStyle(fsMDIChild);
    PlaceOverDocuments(viewer);
    bool split = false;
    try {
        split = QFileInfo(path).suffix().compare(QLatin1String("gif"), Qt::CaseInsensitive) == 0
                    ? viewer->ExtractGifFrames(path)
                    : viewer->ExtractImagePages(path);
    } catch (...) {
        // The error goes on to be shown; the viewer it leaves half made does not stay behind.
        viewer->deleteLater();
        throw;
    }
    if (!split) {
        viewer->deleteLater();
        return;
    }
    if (!caption.isEmpty())
        viewer->SetCaption(caption);
    viewer->Show();
}

} // namespace

Tloadimagedorv* OpenImportWindow(const QString& path, int sourceCode)
{
    auto* window = new Tloadimagedorv;
    if (iconmain)
        window->SetFormStyle(fsMDIChild);
    // Placed once shown: only then does the frame around a child window have its final size.
    window->Show();
    window->SetBounds(50, 50, 682, 461);
    window->OpenPictureFile(path, sourceCode);
    return window;
}

void EditGifFrame(const QString& bitmapFile)
{
    Tloadimagedorv* window = OpenImportWindow(bitmapFile, 0);
    if (QObject* grid = window->FindComponent(QStringLiteral("DrawGrid1"))) {
        grid->setProperty("RowCount", 6);
        grid->setProperty("Visible", false);
    }
}

void InstallImportWindows()
{
    SetImportFileHostMaker([]() -> std::unique_ptr<TFileHost> {
        if (iconmain)
            return std::make_unique<TIconmainFiles>(*iconmain);
        return std::make_unique<TFileHost>(*RequiredEditorState());
    });
    TFileWindowHooks hooks;
    hooks.OpenPicture = OpenPicture;
    hooks.OpenLibrary = OpenLibrary;
    hooks.OpenViewer = OpenViewer;
    hooks.ViewerExists = [] { return openimage != nullptr; };
    SetFileWindowHooks(std::move(hooks));
    // The Photoshop exchange bitmap shows with the format grid of six rows.
    SetExchangeReceiver([](const QString& path, int source) {
        Tloadimagedorv* window = OpenImportWindow(path, source);
        if (QObject* grid = window->FindComponent(QStringLiteral("DrawGrid1"))) {
            grid->setProperty("Visible", true);
            grid->setProperty("RowCount", 6);
        }
    });
}

namespace {

void Bind(Ticonmain* main, const char* name, std::function<void()> action)
{
    QObject* c = main->FindComponent(QLatin1String(name));
    if (auto* control = qobject_cast<TControl*>(c))
        control->OnClick = [action](TObject*) { action(); };
    else if (auto* item = qobject_cast<TMenuItem*>(c))
        item->OnClick = [action](TObject*) { action(); };
}

} // namespace

void ShowDiskSearch()
{
    auto* window = new Tsearchimage;
    if (iconmain)
        window->SetFormStyle(fsMDIChild);
    TakeMainWindowSkin(*window);
    window->Show();
    PlaceOverDocuments(window);
}

void InstallImportCommands(Ticonmain* main)
{
    if (!main)
        return;
    Bind(main, "ToolButton21", ShowDiskSearch);
    Bind(main, "OntheComputer1", ShowDiskSearch);
    Bind(main, "ToolButton19", StartCaptureTool);
    Bind(main, "CaptureTool1", StartCaptureTool);
}
