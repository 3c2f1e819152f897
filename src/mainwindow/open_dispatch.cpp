#include "mainwindow/open_dispatch.h"

#include "document/scratch_folder.h"
#include "framework/string_list.h"
#include "imaging/icons/icon_library.h"
#include "imaging/icons/multi_icon.h"
#include "mainwindow/cursor_reading.h"
#include "mainwindow/file_host.h"
#include "mainwindow/icon_project.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kNoIcons = QStringLiteral("The file does not include icon or icon format is error");

bool IsExistingFile(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

void OpenIconLibrary(TFileHost& host, const QString& path)
{
    TIconLibrary library;
    library.LoadFromFile(path);
    const int count = library.Icons()->Count();
    if (count == 0) {
        host.ShowMessage(kNoIcons, TMessageIcon::Warning);
    } else if (count == 1) {
        ++host.LibraryIconCounter;
        const QString copy = ScratchPath(QStringLiteral("icltoico%1.ico").arg(host.LibraryIconCounter));
        static_cast<TMultiIcon*>(library.Icons()->Objects(0))->SaveToFile(copy);
        // The copy goes with the scratch folder: the project keeps no file of its own, and the
        // history remembers the library.
        OpenIconAsProject(host, copy, {path, QString()});
    } else {
        host.OpenLibraryInImportWindow(path);
    }
}

void OpenConverted(TFileHost& host, const QString& path)
{
    // A picture that cannot be converted must not show the one converted before it.
    const QString png = ScratchPath(QStringLiteral("emforwmf.png"));
    QFile::remove(png);
    host.ConvertPictureToPng(path, png);
    host.OpenPictureInImportWindow(png);
}

void Dispatch(TFileHost& host, bool byName)
{
    const QString path = host.OpenFileName;
    host.EnsureAniBuilder();
    switch (OpenRoadOf(path)) {
    case TOpenRoad::Icon:
        OpenIconAsProject(host, path);
        break;
    case TOpenRoad::Cursor:
        OpenCursorAsProject(host, path);
        break;
    case TOpenRoad::AnimatedCursor:
        OpenAniAsProject(host, path);
        break;
    case TOpenRoad::IconLibrary:
        OpenIconLibrary(host, path);
        break;
    case TOpenRoad::Viewer:
        if (!byName) {
            host.ViewerCounter += 1;
            host.OpenInViewer(path, host.ViewerCounter, true, path);
        } else if (!host.ViewerExists()) {
            host.OpenInViewer(path, 1, true, QString());
        } else {
            host.ViewerCounter += 1;
            host.OpenInViewer(path, host.ViewerCounter, false, QString());
        }
        break;
    case TOpenRoad::Conversion:
        OpenConverted(host, path);
        break;
    case TOpenRoad::ImportWindow:
        host.OpenPictureInImportWindow(path);
        break;
    }
}

} // namespace

TOpenRoad OpenRoadOf(const QString& fileName)
{
    // Only the test is lower-cased: names on Linux are case-sensitive and the file opens under
    // its own.
    const QString name = fileName.toLower();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : name.mid(dot);
    if (ext == QLatin1String(".ico"))
        return TOpenRoad::Icon;
    if (ext == QLatin1String(".cur"))
        return TOpenRoad::Cursor;
    if (ext == QLatin1String(".ani"))
        return TOpenRoad::AnimatedCursor;
    if (ext == QLatin1String(".exe") || ext == QLatin1String(".dll") || ext == QLatin1String(".icl"))
        return TOpenRoad::IconLibrary;
    if (ext == QLatin1String(".gif") || ext == QLatin1String(".psd"))
        return TOpenRoad::Viewer;
    static const char* const converted[] = {".wmf", ".tga", ".jpeg", ".jpg", ".dib", ".pcx", ".tiff", ".pbm",
                                            ".bmp", ".psp", ".wbmp", ".rle", ".sgi", ".vda", ".vst"};
    for (const char* c : converted)
        if (ext == QLatin1String(c))
            return TOpenRoad::Conversion;
    return TOpenRoad::ImportWindow;
}

void OpenCommand(TFileHost& host)
{
    if (host.ExecuteOpenDialog())
        Dispatch(host, false);
}

void OpenFileByName(TFileHost& host)
{
    Dispatch(host, true);
}

void OpenDroppedFiles(TFileHost& host, const QStringList& files)
{
    if (files.isEmpty())
        return;
    host.OpenFileName = files.first();
    OpenFileByName(host);
}

QString RecentItemLabel(const QString& path)
{
    if (path.size() <= 30)
        return path;
    const int slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const QChar separator = slash >= 0 ? path[slash] : QLatin1Char('/');
    return path.left(20) + QStringLiteral("...") + separator + path.mid(slash + 1);
}

void FillRecentFiles(TFileHost& host)
{
    const QStringList history = host.ReadOpenHistory();
    QStringList paths;
    for (const QString& entry : history) {
        const QString full = QFileInfo(entry).absoluteFilePath();
        paths << full;
        host.AddRecentComboItem(full);
    }
    int c = 0;
    for (int k = std::max(0, int(paths.size()) - 10); k < paths.size(); ++k) {
        ++c;
        host.RecentPaths[size_t(c)] = paths[k];
        host.SetRecentItemCaption(c, QString::number(c) + QStringLiteral(" - ") + RecentItemLabel(paths[k]));
    }
}

void OpenRecentItem(TFileHost& host, int k)
{
    if (k < 1 || k > 10 || host.RecentPaths[size_t(k)].isEmpty())
        return;
    const QString& path = host.RecentPaths[size_t(k)];
    if (IsExistingFile(path)) {
        host.OpenFileName = path;
        OpenFileByName(host);
    } else {
        host.ShowMessage(k == 1 ? QStringLiteral("This file does not exist.")
                                : QStringLiteral("The current file does not exist."),
                         TMessageIcon::Information);
    }
}

void RecentComboKeyDown(TFileHost& host, int key)
{
    if (key == 13) {
        host.RecentComboKeyState = 0;
        RecentComboSelect(host);
    } else {
        host.RecentComboKeyState = 2;
    }
}

void RecentComboSelect(TFileHost& host)
{
    if (host.RecentComboKeyState != 0)
        return;
    const QString path = host.RecentComboText().trimmed();
    if (IsExistingFile(path)) {
        host.OpenFileName = path;
        OpenFileByName(host);
    } else {
        host.ShowMessage(QStringLiteral("This file does not exist."), TMessageIcon::Information);
    }
}
