#include "mainwindow/iconmain_files.h"

#include "document/animation_builders.h"
#include "document/command_dialog.h"
#include "document/gif_options.h"
#include "framework/application.h"
#include "framework/combo_box.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/string_list.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/open_dispatch.h"
#include "mainwindow/save_dispatch.h"
#include "platform/program_paths.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QStandardPaths>
#include <QDropEvent>
#include <QMimeData>
#include <QStringList>
#include <QUrl>
#include <initializer_list>
#include <utility>

namespace {

const QString kCaption = QStringLiteral("Brelnova Studio");

// "desc|patterns|..." with every pattern also in capitals: names on Linux keep their case and
// APP.ICO is as much an icon as app.ico.
QString Filter(std::initializer_list<std::pair<const char*, const char*>> entries)
{
    QStringList parts;
    for (const auto& [description, patterns] : entries) {
        QStringList both;
        for (const QString& p : QString::fromLatin1(patterns).split(QLatin1Char(';')))
            both << p << p.toUpper();
        parts << QString::fromLatin1(description) << both.join(QLatin1Char(';'));
    }
    return parts.join(QLatin1Char('|'));
}

QString OpenFilter()
{
    return Filter({
        {"Icons (*.ico)", "*.ico"},
        {"Cursors (*.cur)", "*.cur"},
        {"Icon Libraries (*.icl)", "*.icl"},
        {"Program Files  (*.dll,*.exe)", "*.dll;*.exe"},
        {"Graphic Files (*.bmp,*.gif,*.jpg)", "*.bmp;*.gif;*.jpg"},
        {"Graphic Files (*.wmf,*.png,*.wbmp)", "*.wmf;*.png;*.wbmp"},
        {"Graphic Files (*.jpeg,*.dib,*.pcx)", "*.jpeg;*.dib;*.pcx"},
        {"Graphic Files (*.tga,*.tif,*.tiff)", "*.tga;*.tif;*.tiff"},
        {"Graphic Files (*.emf,*.pbm)", "*.emf;*.pbm"},
        {"Graphic Files (*.pcd,*.pgm)", "*.pcd;*.pgm"},
        {"Graphic Files (*.psd,*.psp,*.rle)", "*.psd;*.psp;*.rle"},
        {"Graphic Files (*.sgi,*.vda,*.vst)", "*.sgi;*.vda;*.vst"},
        {"All Supported Files (*.*)",
         "*.psd;*.gif;*.jpg;*.dib;*.jpeg;*.png;*.dll;*.bmp;*.ico;*.emf;*.wmf;*.exe;*.icl;*.ani;*.sgi;*.vda;"
         "*.vst;*.psp;*.rle;*.pcd;*.pgm;*.pbm;*.tga;*.tiff;*.tif;*.pcx;*.wbmp;*.cur"},
    });
}

QString SaveFilter()
{
    return Filter({
        {"Icons (*.ico)", "*.ico"},
        {"Cursors (*.cur)", "*.cur"},
        {"Icon Libraries (*.icl)", "*.icl"},
        {"Bitmaps (*.bmp)", "*.bmp"},
        {"CompuServe GIF Images (*.gif)", "*.gif"},
        {"Enhanced Metafiles (*.emf)", "*.emf"},
        {"Metafiles (*.wmf)", "*.wmf"},
        {"JPEG Image Files (*.jpg)", "*.jpg"},
        {"PNG Image Files (*.png)", "*.png"},
        {"TIF Image Files (*.tif)", "*.tif"},
        {"TGA Image Files (*.tga)", "*.tga"},
    });
}

// Until the windows that take these files over are installed, their roads say what is missing.
QString WithoutWindow(const char* need)
{
    return QString::fromLatin1(need) + QStringLiteral(", which this program was started without.");
}

// Where a save dialog starts: with the name the road proposes, in its folder; with no name, in
// the folder the dialog showed last, else the user's documents folder, never the program's own
// folder, where nothing of the user's belongs.
void StartWith(TOpenDialog* dialog, const QString& proposed)
{
    const QFileInfo file(proposed);
    if (!proposed.isEmpty() && file.isAbsolute() && file.dir().exists()) {
        dialog->SetInitialDir(file.absolutePath());
        dialog->SetFileName(file.absoluteFilePath());
        return;
    }
    dialog->SetFileName(QString());
    if (!dialog->InitialDir().isEmpty() && QDir(dialog->InitialDir()).exists())
        return;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    dialog->SetInitialDir(QDir(documents).exists() ? documents : QDir::homePath());
}

// The folder of the file chosen is where the dialog starts next time without a name.
void RememberFolder(TOpenDialog* dialog)
{
    const QFileInfo chosen(dialog->FileName());
    if (chosen.isAbsolute())
        dialog->SetInitialDir(chosen.absolutePath());
}

// The filters the definition does not give.
void PrepareDialog(TOpenDialog* dialog, const QString& filter, int index, const QString& folder)
{
    if (!dialog->Filter().isEmpty())
        return;
    dialog->SetFilter(filter);
    dialog->SetFilterIndex(index);
    if (!folder.isEmpty())
        dialog->SetInitialDir(folder);
}

} // namespace

TIconmainFiles::TIconmainFiles(Ticonmain& main)
    : TFileHost(main, {main.RecentPaths, main.RecentComboKeyState, main.LibraryIconCounter, main.ViewerCounter,
                       main.AniFrameCount, main.AniStepCount, main.AniRates, main.AniSequence}),
      main_(main)
{
    if (QObject* open = Component(QStringLiteral("OpenDialog1")))
        OpenFileName = open->property("FileName").toString();
    if (QObject* save = Component(QStringLiteral("SavePictureDialog1")))
        SaveFileName = save->property("FileName").toString();
}

TIconmainFiles::~TIconmainFiles()
{
    if (QObject* open = Component(QStringLiteral("OpenDialog1")))
        open->setProperty("FileName", OpenFileName);
    if (QObject* save = Component(QStringLiteral("SavePictureDialog1")))
        save->setProperty("FileName", SaveFileName);
}

QObject* TIconmainFiles::Component(const QString& name) const
{
    return main_.FindComponent(name);
}

bool TIconmainFiles::ExecuteOpenDialog()
{
    auto* dialog = qobject_cast<TOpenDialog*>(Component(QStringLiteral("OpenDialog1")));
    if (!dialog)
        return false;
    PrepareDialog(dialog, OpenFilter(), 13, ProgramPath(QStringLiteral("Example")));
    if (!dialog->Execute())
        return false;
    OpenFileName = dialog->FileName();
    return true;
}

bool TIconmainFiles::ExecuteSaveDialog(int& filterIndex)
{
    auto* dialog = qobject_cast<TOpenDialog*>(Component(QStringLiteral("SavePictureDialog1")));
    if (!dialog)
        return false;
    PrepareDialog(dialog, SaveFilter(), 1, QString());
    StartWith(dialog, SaveFileName);
    if (filterIndex > 0)
        dialog->SetFilterIndex(filterIndex);
    if (!dialog->Execute())
        return false;
    RememberFolder(dialog);
    SaveFileName = dialog->FileName();
    filterIndex = dialog->FilterIndex();
    return true;
}

bool TIconmainFiles::ExecutePngDialog(QString& fileName)
{
    auto* dialog = qobject_cast<TOpenDialog*>(Component(QStringLiteral("png")));
    if (!dialog)
        return false;
    PrepareDialog(dialog, Filter({{"PNG Files", "*.png"}}), 1, QString());
    StartWith(dialog, fileName);
    if (!dialog->Execute())
        return false;
    RememberFolder(dialog);
    fileName = dialog->FileName();
    return true;
}

void TIconmainFiles::ShowMessage(const QString& text, TMessageIcon icon)
{
    ::MessageBox(text, kCaption, icon == TMessageIcon::Warning ? MB_ICONWARNING : MB_ICONINFORMATION);
}

void TIconmainFiles::ShowPlainMessage(const QString& text)
{
    ::ShowMessage(text);
}

void TIconmainFiles::ShowStatus(const QString& text)
{
    // A label of its own: the pointer labels are rewritten whenever a document paints.
    main_.SetLabelText(QStringLiteral("openstatus"), text);
}

void TIconmainFiles::ShowJpegOptions()
{
    TGifOptions& dialog = JpegOptions();
    TakeMainWindowSkin(dialog);
    dialog.ShowModal();
}

void TIconmainFiles::MinimizeApplication()
{
    Application->Minimize();
}

void TIconmainFiles::SetRecentItemCaption(int k, const QString& caption)
{
    // An item stays greyed until a file of the history stands behind it.
    if (QObject* item = Component(QStringLiteral("N%1Untitled1").arg(k))) {
        item->setProperty("Caption", caption);
        item->setProperty("Enabled", true);
    }
}

void TIconmainFiles::AddRecentComboItem(const QString& path)
{
    if (auto* combo = qobject_cast<TCustomComboBox*>(Component(QStringLiteral("userfilename"))))
        combo->Items()->Add(path);
}

void TIconmainFiles::OpenPictureInImportWindow(const QString& path)
{
    if (FileWindowHooksInstalled())
        return TFileHost::OpenPictureInImportWindow(path);
    ShowMessage(WithoutWindow("Opening this picture needs the import window"), TMessageIcon::Information);
}

void TIconmainFiles::OpenLibraryInImportWindow(const QString& path)
{
    if (FileWindowHooksInstalled())
        return TFileHost::OpenLibraryInImportWindow(path);
    ShowMessage(WithoutWindow("Choosing among the icons of this file needs the import window"), TMessageIcon::Information);
}

void TIconmainFiles::OpenInViewer(const QString& path, int number, bool asGlobal, const QString& caption)
{
    if (FileWindowHooksInstalled())
        return TFileHost::OpenInViewer(path, number, asGlobal, caption);
    ShowMessage(WithoutWindow("Opening this file needs the multi-frame picture viewer"), TMessageIcon::Information);
}

QString TIconmainFiles::RecentComboText() const
{
    QObject* combo = Component(QStringLiteral("userfilename"));
    return combo ? combo->property("Text").toString() : QString();
}

void TIconmainFiles::EnsureAniBuilder()
{
    if (TAnimationBuilders* builders = AnimationBuilders())
        builders->EnsureAniBuilder();
}

bool TIconmainFiles::MayReplaceAniBuilderFrames()
{
    TAnimationBuilders* builders = AnimationBuilders();
    return !builders || builders->MayReplaceAniFrames();
}

void TIconmainFiles::HandFramesToAniBuilder(const std::vector<TAniBuilderFrame>& frames)
{
    TAnimationBuilders* builders = AnimationBuilders();
    if (!builders) {
        ShowMessage(WithoutWindow("The first frame opened as a project; the other frames need the animated cursor builder"),
                    TMessageIcon::Information);
        return;
    }
    QStringList files, durations;
    QList<QPoint> hotSpots;
    for (const TAniBuilderFrame& frame : frames) {
        files << frame.FileName;
        durations << frame.Duration;
        hotSpots << frame.HotSpot;
    }
    builders->HandAniFrames(files, durations, hotSpots);
}

// ---------------------------------------------------------------------------------------------
// The main window's handlers

void Ticonmain::AnimationCursorBuilder1Click(TObject*)
{
    if (TAnimationBuilders* builders = AnimationBuilders())
        builders->ShowAniBuilder();
    else
        MessageBox(QStringLiteral("This program was started without the animated cursor builder."),
                   QStringLiteral("Brelnova Studio"), MB_OK | MB_ICONINFORMATION);
}

namespace {

template <class Routine>
void WithFiles(Ticonmain* main, Routine routine)
{
    RunGuarded(
        [&] {
            TIconmainFiles files(*main);
            routine(files);
        },
        main);
}

class TFileDrops : public QObject {
public:
    explicit TFileDrops(Ticonmain& main) : QObject(&main), main_(main) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::DragEnter) {
            auto* enter = static_cast<QDragEnterEvent*>(event);
            if (enter->mimeData()->hasUrls()) {
                enter->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            QStringList files;
            for (const QUrl& url : drop->mimeData()->urls())
                if (url.isLocalFile())
                    files << url.toLocalFile();
            drop->acceptProposedAction();
            WithFiles(&main_, [&](TFileHost& host) { OpenDroppedFiles(host, files); });
            return true;
        }
        return false;
    }

private:
    Ticonmain& main_;
};

} // namespace

void AcceptDroppedFiles(Ticonmain& main)
{
    main.setAcceptDrops(true);
    main.installEventFilter(new TFileDrops(main));
}

void Ticonmain::ToolButton2Click(TObject*)
{
    WithFiles(this, [](TFileHost& host) { OpenCommand(host); });
}

void Ticonmain::ToolButton3Click(TObject*)
{
    WithFiles(this, [](TFileHost& host) { SaveCommand(host); });
}

void Ticonmain::Saveas1Click(TObject*)
{
    WithFiles(this, [](TFileHost& host) { SaveAsCommand(host); });
}

void Ticonmain::N39Click(TObject*)
{
    WithFiles(this, [](TFileHost& host) { ExportImagesCommand(host); });
}

void Ticonmain::Png1Click(TObject*)
{
    WithFiles(this, [](TFileHost& host) { ExportPngCommand(host); });
}

void Ticonmain::Senddasktop1Click(TObject*)
{
    WithFiles(this, [](TFileHost& host) { SendToDesktopCommand(host); });
}

#define RECENT_ITEM_HANDLER(k)                                                                      \
    void Ticonmain::N##k##Untitled1Click(TObject*)                                                  \
    {                                                                                               \
        WithFiles(this, [](TFileHost& host) { OpenRecentItem(host, k); });                          \
    }
RECENT_ITEM_HANDLER(1)
RECENT_ITEM_HANDLER(2)
RECENT_ITEM_HANDLER(3)
RECENT_ITEM_HANDLER(4)
RECENT_ITEM_HANDLER(5)
RECENT_ITEM_HANDLER(6)
RECENT_ITEM_HANDLER(7)
RECENT_ITEM_HANDLER(8)
RECENT_ITEM_HANDLER(9)
RECENT_ITEM_HANDLER(10)
#undef RECENT_ITEM_HANDLER

void Ticonmain::userfilenameSelect(TObject*)
{
    WithFiles(this, [](TFileHost& host) { RecentComboSelect(host); });
}

void Ticonmain::userfilenameKeyDown(TObject*, WORD& Key, TShiftState)
{
    const int key = Key;
    WithFiles(this, [key](TFileHost& host) { RecentComboKeyDown(host, key); });
}
