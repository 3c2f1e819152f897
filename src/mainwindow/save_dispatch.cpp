#include "mainwindow/save_dispatch.h"

#include "document/editor_state.h"
#include "document/newiconview.h"
#include "document/picture_export.h"
#include "document/scratch_folder.h"
#include "framework/registry.h"
#include "imaging/icons/icon_image_list.h"
#include "imaging/icons/icon_library1.h"
#include "mainwindow/file_host.h"
#include "platform/program_paths.h"
#include "platform/registry_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

namespace {

bool EndsWith(const QString& path, const char* extension)
{
    return path.endsWith(QLatin1String(extension), Qt::CaseInsensitive);
}

const QString kNoProject = QStringLiteral("There is no project to save.");
const QString kNoExport = QStringLiteral("There is no project to export.");

// The extension of each entry of the save dialog's filter, 1-based.
const char* const kEntryExtensions[] = {nullptr, ".ico", ".cur", ".icl", ".bmp", ".gif", ".emf",
                                        ".wmf", ".jpg", ".png", ".tif", ".tga"};

// A name typed with the extension of another entry is saved as that kind: the dialog keeps the
// entry of its last use, and a .cur typed under PNG must not become a PNG named .cur.
int EntryOfName(const QString& name, int chosen)
{
    for (int entry = 1; entry <= 11; ++entry)
        if (name.endsWith(QLatin1String(kEntryExtensions[entry]), Qt::CaseInsensitive))
            return entry;
    return chosen;
}

// The file the active document was last saved to or came from, or empty (a new project).
QString DocumentFile(const TFileHost& host)
{
    const Tnewiconview* doc = host.FindDocument(host.State.ActiveDocumentName);
    if (!doc)
        return QString();
    return doc->LastFileName.isEmpty() ? doc->SavedFileName.trimmed() : doc->LastFileName;
}

// The file name the save dialog starts with: the document's own file, whole for a save with the
// filter entry of its extension (a file of another kind, as an animated cursor or an icon
// library, proposes an icon of its name), without its extension for an export; empty for a new
// project, whose dialog starts in the folder it showed last. Never another project's file.
QString ProposedName(const TFileHost& host, bool save, int& entry)
{
    entry = 0;
    const QString file = DocumentFile(host);
    if (file.isEmpty())
        return QString();
    const QFileInfo info(file);
    const QString bare = info.dir().filePath(info.completeBaseName());
    if (!save)
        return bare;
    entry = EntryOfName(file, 0);
    if (entry == 1 || entry == 2)
        return file;
    entry = 1;
    return bare + QStringLiteral(".ico");
}

// Runs a document command that writes a file; says so when there is none to run it.
bool RunWriter(TFileHost& host, const QString& component, const QString& argument, const QString& missing)
{
    if (host.RunDocumentCommand(component, argument))
        return true;
    host.ShowMessage(missing, TMessageIcon::Information);
    return false;
}

// The project as a one-icon library: the document writes its .ico into the scratch folder and
// the library is built from it.
void SaveIconLibrary(TFileHost& host, const QString& fileName)
{
    const QString target = WithExtension(fileName, ".icl");
    const QString scratch = ScratchPath(QStringLiteral("icl.ico"));
    // A library must never be built from the icon of an earlier save.
    QFile::remove(scratch);
    if (!RunWriter(host, QStringLiteral("BitBtn21"), QStringLiteral("icl"), kNoProject))
        return;
    auto icon = std::make_unique<TAdvancedIcon>();
    icon->LoadFromFile(scratch);
    host.State.CommandArgument = target;
    TIconLibrary1 library;
    library.Icons()->AddIcon(QString(), std::move(icon));
    host.State.SaveNotDone = true;
    library.SaveToFile(target);
    host.State.SaveNotDone = false;
}

// The file an entry of the save dialog writes for the name chosen.
QString TargetOfEntry(const QString& name, int entry)
{
    static const char* const exports[] = {nullptr, nullptr, nullptr, nullptr, "bmp", "gif", "emf",
                                          "wmf", "jpg", "png", "tif", "tga"};
    if (entry >= 1 && entry <= 3)
        return WithExtension(name, QLatin1String(kEntryExtensions[entry]));
    if (entry >= 4 && entry <= 11)
        return WithExportExtension(name, QLatin1String(exports[entry]));
    return name;
}

QString SaveThroughDialog(TFileHost& host, bool save)
{
    int entry = 0;
    host.SaveFileName = ProposedName(host, save, entry);
    if (!host.ExecuteSaveDialog(entry)) {
        host.State.SaveNotDone = true;
        return QString();
    }
    const QString name = host.SaveFileName;
    // A dialog confirmed without a name names no file (".ico" alone would land in the working
    // folder).
    if (name.trimmed().isEmpty()) {
        host.State.SaveNotDone = true;
        return QString();
    }
    static const char* const exports[] = {nullptr, nullptr, nullptr, nullptr, "bmp", "gif", "emf",
                                          "wmf", nullptr, "png", "tif", "tga"};
    entry = EntryOfName(name, entry);
    // Asked here, with the name that will be written: the dialog cannot know the extension its
    // entry adds.
    if (!host.ConfirmReplace(TargetOfEntry(name, entry))) {
        host.State.SaveNotDone = true;
        return QString();
    }
    switch (entry) {
    case 1: {
        const QString target = WithExtension(name, ".ico");
        return RunWriter(host, QStringLiteral("BitBtn21"), target, kNoProject) ? target : QString();
    }
    case 2: {
        const QString target = WithExtension(name, ".cur");
        return RunWriter(host, QStringLiteral("BitBtn22"), target, kNoProject) ? target : QString();
    }
    case 3:
        SaveIconLibrary(host, name);
        return QString();
    case 8:
        host.ShowJpegOptions();
        return QString();
    default:
        if (entry >= 4 && entry <= 11 && exports[entry])
            RunWriter(host, QStringLiteral("Button1"), QString::fromLatin1(exports[entry]), kNoExport);
        return QString();
    }
}

// Runs the dialog road with the current path and the combo cleared, then puts them back.
QString ThroughDialogKeepingPath(TFileHost& host, bool save)
{
    const QString path = host.State.CurrentFilePath;
    const QString combo = host.RecentComboText().trimmed();
    host.State.CurrentFilePath.clear();
    host.SetRecentComboText(QString());
    const QString written = SaveThroughDialog(host, save);
    host.State.CurrentFilePath = path;
    host.SetRecentComboText(combo);
    return written;
}

} // namespace

QString WithExtension(const QString& fileName, const QString& extension)
{
    return fileName.endsWith(extension, Qt::CaseInsensitive) ? fileName : fileName + extension;
}

QString SaveCommand(TFileHost& host)
{
    const QString path = host.RecentComboText().trimmed();
    host.State.CurrentFilePath = path;
    if (EndsWith(path, ".ico"))
        return RunWriter(host, QStringLiteral("BitBtn21"), path, kNoProject) ? path : QString();
    if (EndsWith(path, ".cur"))
        return RunWriter(host, QStringLiteral("BitBtn22"), path, kNoProject) ? path : QString();
    // No path, or one that names no file Save can write (typed into the combo): ask.
    return SaveThroughDialog(host, true);
}

void SaveAsCommand(TFileHost& host)
{
    const QString written = ThroughDialogKeepingPath(host, true);
    if (!written.isEmpty()) {
        host.State.CurrentFilePath = written;
        host.SetRecentComboText(written);
    }
}

void ExportImagesCommand(TFileHost& host)
{
    ThroughDialogKeepingPath(host, false);
}

void ExportPngCommand(TFileHost& host)
{
    int entry = 0;
    QString name = ProposedName(host, false, entry);
    if (!host.ExecutePngDialog(name) || name.trimmed().isEmpty())
        return;
    if (!host.ConfirmReplace(WithExportExtension(name, QStringLiteral("png"))))
        return;
    host.SaveFileName = name;
    RunWriter(host, QStringLiteral("Button1"), QStringLiteral("png"), kNoExport);
}

void SendToDesktopCommand(TFileHost& host)
{
    const QString desktop = GetDesktopFolder();
    // A desktop is always there for the shell; a Linux home may not have the folder yet.
    QDir().mkpath(desktop);
    const QString target = desktop + QStringLiteral("/project%1.ico").arg(host.State.ActiveDocumentNumber);
    if (host.ConfirmReplace(target))
        host.RunDocumentCommand(QStringLiteral("BitBtn21"), target);
    host.MinimizeApplication();
}

QString GetDesktopFolder()
{
    TRegistry registry;
    registry.SetRootKey(HKEY_CURRENT_USER);
    QString folder;
    if (registry.OpenKeyReadOnly(QStringLiteral("SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\EXPLORER\\SHELL FOLDERS")) &&
        registry.ValueExists(QStringLiteral("DESKTOP")))
        folder = registry.ReadString(QStringLiteral("DESKTOP"));
    if (folder.isEmpty())
        folder = DesktopFolder();
    while (folder.endsWith(QLatin1Char('/')) && folder.size() > 1)
        folder.chop(1);
    return folder;
}
