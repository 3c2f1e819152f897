#include "document/myiconshow.h"

#include "document/command_dialog.h"
#include "document/newiconview.h"
#include "document/picture_export.h"
#include "document/picture_view.h"
#include "framework/common_dialogs.h"
#include "framework/image.h"

Tmyiconshow* myiconshow = nullptr;

namespace {

// The save dialog's filter entries, 1-based.
const char* const kSheetExtensions[] = {nullptr, "bmp", "gif", "emf", "wmf", "jpg", "png", "tif"};

} // namespace

Tmyiconshow::Tmyiconshow(QWidget* owner) : TForm(owner)
{
    RegisterDocumentClasses();
    LoadDefinition(QStringLiteral(":/document/myiconshow.wdf"));
    KeepAsSecondaryWindow(*this);
    ScrollBox2 = qobject_cast<TControl*>(FindComponent(QStringLiteral("ScrollBox2")));
    showico = qobject_cast<TImage*>(FindComponent(QStringLiteral("showico")));
    bgimage = qobject_cast<TImage*>(FindComponent(QStringLiteral("bgimage")));
    myiconshow = this;
}

Tmyiconshow::~Tmyiconshow()
{
    if (myiconshow == this)
        myiconshow = nullptr;
}

void Tmyiconshow::ShowSheet(const QImage& sheet)
{
    SnapshotImage = sheet;
    PlaceInScrollBox(ScrollBox2, showico, sheet.width(), sheet.height());
    ShowOnTile(showico, bgimage, sheet);
}

void Tmyiconshow::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void Tmyiconshow::FormClose(TObject*, TCloseAction& Action)
{
    Action = caFree;
}

void Tmyiconshow::Saveimage1Click(TObject*)
{
    auto* dialog = qobject_cast<TSaveDialog*>(FindComponent(QStringLiteral("SavePictureDialog1")));
    if (!dialog || !dialog->Execute() || dialog->FileName().trimmed().isEmpty())
        return;
    const int entry = dialog->FilterIndex();
    const QString extension = QLatin1String(kSheetExtensions[entry >= 1 && entry <= 7 ? entry : 1]);
    TPictureWriteOptions options;
    options.Quality = 100;
    options.FlattenForControl = false;
    options.GifWhiteTransparent = false;
    options.TiffSaveFlag = false;
    if (!ConfirmReplaceFile(WithExportExtension(dialog->FileName(), extension)))
        return;
    WritePictureFile(SnapshotImage, extension, dialog->FileName(), options, this);
}
