// The document's ways out of the editor: the export of the current format, the snapshot sheet,
// the 1:1 view, the hand-off to Photoshop, the print page and the properties window.

#include "document/command_dialog_fields.h"
#include "document/editor_state.h"
#include "document/icon_info.h"
#include "document/iconsee.h"
#include "document/myiconshow.h"
#include "document/newiconview.h"
#include "document/picture_export.h"
#include "document/scratch_folder.h"
#include "document/snapshot_sheet.h"
#include "framework/dialogs.h"
#include "framework/registry.h"
#include "framework/string_list.h"
#include "platform/gdip.h"
#include "platform/registry_store.h"

#include <QImage>
#include <QProcess>

namespace {

const QString kCaption = QStringLiteral("Brelnova Studio");

TEditorState* State()
{
    return RequiredEditorState();
}

void Tell(const QString& text)
{
    MessageBox(text, kCaption, MB_OK | MB_ICONINFORMATION);
}

// Photoshop's program as its installation records it: the first version under
// "SOFTWARE\Adobe\Photoshop" of the machine's keys, its "ApplicationPath" + "Photoshop.exe".
// Empty when no version is recorded.
QString PhotoshopProgram()
{
    const QString root = QStringLiteral("SOFTWARE\\Adobe\\Photoshop");
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKeyReadOnly(root))
        return QString();
    TStringList versions;
    registry.GetKeyNames(&versions);
    registry.CloseKey();
    if (versions.Count() == 0 || !registry.OpenKeyReadOnly(root + QLatin1Char('\\') + versions.Strings(0).trimmed()))
        return QString();
    return (registry.ReadString(QStringLiteral("ApplicationPath")) + QStringLiteral("Photoshop.exe")).trimmed();
}

} // namespace

QImage Tnewiconview::CurrentPicture() const
{
    QImage* picture = GdipImageData(CurrentImage());
    return picture ? *picture : QImage();
}

void Tnewiconview::Button1Click(TObject*)
{
    TEditorState* s = State();
    TPictureWriteOptions options;
    options.Quality = JpegOptionsDialog().Quality();
    WritePictureFile(CurrentPicture(), s->CommandArgument, s->SaveDialogFileName(), options, this);
}

void Tnewiconview::BitBtn25Click(TObject*)
{
    // The main window makes the snapshot window and shows it before it asks for the sheet.
    if (!myiconshow)
        return;
    myiconshow->ShowSheet(RenderSnapshotSheet(*this, Caption()));
}

void Tnewiconview::BitBtn29Click(TObject*)
{
    Ticonsee& view = IconSee();
    view.ShowPicture(CurrentPicture());
    view.ShowModal();
}

void Tnewiconview::Ps1Click(TObject*)
{
    ++PhotoshopSendCount;
    const QString program = PhotoshopProgram();
    if (program.isEmpty()) {
        Tell(QStringLiteral("Photoshop is not installed, so the image cannot be sent to it."));
        return;
    }
    const QString handOff =
        ScratchPath(objectName() + QStringLiteral("_ps") + QString::number(PhotoshopSendCount) + QStringLiteral(".png"));
    WritePictureFile(CurrentPicture(), QStringLiteral("png"), handOff, TPictureWriteOptions{}, this);
    if (!QProcess::startDetached(program, {handOff}))
        Tell(QStringLiteral("Photoshop (\"%1\") could not be started.").arg(program));
}

void Tnewiconview::PrintClick(TObject*)
{
    if (!State()->ShowPrintPage(CurrentPicture(), Caption()))
        Tell(QStringLiteral("There is no print page to show the image on."));
}

void Tnewiconview::Properties1Click(TObject*)
{
    Ticon_info& info = IconInfo();
    info.ShowDocument(*this);
    info.ShowModal();
}

void Tnewiconview::BitmapImage1Click(TObject*)
{
    State()->RunMainCommand(QStringLiteral("ToolButton3Click"));
}

void Tnewiconview::PngwithTransparency1Click(TObject*)
{
    State()->RunMainCommand(QStringLiteral("Png1Click"));
}

void Tnewiconview::CreateSnapshot1Click(TObject*)
{
    State()->RunMainCommand(QStringLiteral("N34Click"));
}
