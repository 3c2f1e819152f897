#include "mainwindow/file_host.h"

#include "document/editor_state.h"
#include "document/newiconview.h"
#include "framework/commands.h"
#include "framework/common_dialogs.h"
#include "framework/component.h"
#include "mainwindow/configuration_file.h"
#include "mainwindow/document_windows.h"

#include <Magick++.h>
#include <QApplication>
#include <QFile>

TFileHost::TFileHost(TEditorState& state)
    : TFileHost(state, {OwnRecentPaths, OwnRecentComboKeyState, OwnLibraryIconCounter, OwnViewerCounter,
                        OwnAniFrameCount, OwnAniStepCount, OwnAniRates, OwnAniSequence})
{
}

TFileHost::TFileHost(TEditorState& state, const TFileFields& fields)
    : State(state),
      RecentPaths(fields.RecentPaths),
      RecentComboKeyState(fields.RecentComboKeyState),
      LibraryIconCounter(fields.LibraryIconCounter),
      ViewerCounter(fields.ViewerCounter),
      AniFrameCount(fields.AniFrameCount),
      AniStepCount(fields.AniStepCount),
      AniRates(fields.AniRates),
      AniSequence(fields.AniSequence)
{
}

TFileHost::~TFileHost() = default;

bool TFileHost::ExecuteOpenDialog()
{
    return false;
}

bool TFileHost::ExecuteSaveDialog(int&)
{
    return false;
}

bool TFileHost::ExecutePngDialog(QString&)
{
    return false;
}

bool TFileHost::ConfirmReplace(const QString& path)
{
    return ConfirmReplaceFile(path);
}

void TFileHost::ShowMessage(const QString&, TMessageIcon) {}

void TFileHost::ShowPlainMessage(const QString&) {}

void TFileHost::ShowStatus(const QString&) {}

void TFileHost::MinimizeApplication() {}

void TFileHost::SetRecentItemCaption(int, const QString&) {}

void TFileHost::AddRecentComboItem(const QString&) {}

QString TFileHost::RecentComboText() const
{
    return QString();
}

void TFileHost::SetRecentComboText(const QString& text)
{
    State.SetLabelText(QStringLiteral("userfilename"), text);
}

QStringList TFileHost::ReadOpenHistory() const
{
    return ::ReadOpenHistory();
}

void TFileHost::AppendOpenHistory(const QString& path)
{
    ::AppendOpenHistory(path);
}

Tnewiconview* TFileHost::FindDocument(const QString& name) const
{
    for (QWidget* w : QApplication::allWidgets())
        if (auto* doc = qobject_cast<Tnewiconview*>(w))
            if (doc->objectName().compare(name, Qt::CaseInsensitive) == 0)
                return doc;
    return nullptr;
}

Tnewiconview* TFileHost::NewDocumentWindow(const QString& name, const QString& caption)
{
    return qobject_cast<Tnewiconview*>(CreateDocumentWindow(name, caption));
}

bool TFileHost::RunDocumentCommand(const QString& component, const QString& argument)
{
    Tnewiconview* doc = FindDocument(State.ActiveDocumentName);
    if (!doc)
        return false;
    QObject* target = FindComponent(doc, component);
    if (!target || !HasClickHandler(target))
        return false;
    State.CommandArgument = argument;
    // An export writes to the save dialog's file, which the routines keep here until they end.
    State.SetSaveDialogFileName(SaveFileName);
    return ClickComponent(target);
}

namespace {
TFileWindowHooks& FileWindowHooks()
{
    static TFileWindowHooks hooks;
    return hooks;
}
} // namespace

void SetFileWindowHooks(TFileWindowHooks hooks)
{
    FileWindowHooks() = std::move(hooks);
}

bool FileWindowHooksInstalled()
{
    return bool(FileWindowHooks().OpenPicture);
}

void TFileHost::OpenPictureInImportWindow(const QString& path)
{
    if (FileWindowHooks().OpenPicture)
        FileWindowHooks().OpenPicture(path);
}

void TFileHost::OpenLibraryInImportWindow(const QString& path)
{
    if (FileWindowHooks().OpenLibrary)
        FileWindowHooks().OpenLibrary(path);
}

void TFileHost::OpenInViewer(const QString& path, int number, bool asGlobal, const QString& caption)
{
    if (FileWindowHooks().OpenViewer)
        FileWindowHooks().OpenViewer(path, number, asGlobal, caption);
}

bool TFileHost::ViewerExists() const
{
    return FileWindowHooks().ViewerExists && FileWindowHooks().ViewerExists();
}

void TFileHost::EnsureAniBuilder() {}

bool TFileHost::MayReplaceAniBuilderFrames()
{
    return true;
}

void TFileHost::HandFramesToAniBuilder(const std::vector<TAniBuilderFrame>&) {}

void TFileHost::ShowJpegOptions() {}

bool TFileHost::ConvertPictureToPng(const QString& source, const QString& target)
{
    try {
        Magick::Image image;
        image.read(source.toStdString());
        image.magick("PNG");
        Magick::Blob blob;
        image.write(&blob);
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        return out.write(static_cast<const char*>(blob.data()), qint64(blob.length())) == qint64(blob.length());
    } catch (const Magick::Exception&) {
        return false;
    }
}
