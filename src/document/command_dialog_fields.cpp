#include "document/command_dialog_fields.h"

#include "document/scratch_folder.h"
#include "platform/gdip.h"

#include <QFile>
#include <memory>

namespace {

// One slot per window: the installed fields, else a plain instance made on first use.
template <class T>
struct TFieldsSlot {
    T* installed = nullptr;
    std::unique_ptr<T> plain;
    T& Get()
    {
        if (installed)
            return *installed;
        if (!plain)
            plain = std::make_unique<T>();
        return *plain;
    }
};

template <class T>
TFieldsSlot<T>& Slot()
{
    static TFieldsSlot<T> slot;
    return slot;
}

void Release(GpImage*& image)
{
    GdipDisposeImage(image);
    image = nullptr;
}

} // namespace

TRotateDialogFields::~TRotateDialogFields()
{
    Release(PreNudgeImage);
}

void TRotateDialogFields::SetPreNudgeImage(GpImage* image, const TPictureTag& owner)
{
    if (image != PreNudgeImage)
        GdipDisposeImage(PreNudgeImage);
    PreNudgeImage = image;
    PreNudgeOwner = owner;
}

void TRotateDialogFields::DiscardPreNudgeImage()
{
    Release(PreNudgeImage);
    PreNudgeOwner = TPictureTag();
}

TResizeDialogFields::~TResizeDialogFields() = default;

TReplaceColorsFields::~TReplaceColorsFields() = default;

void TReplaceColorsFields::DiscardBackup()
{
    if (HasBackup())
        QFile::remove(ColorReplaceBackupPath());
    BackupOwner = TPictureTag();
}

void TReplaceColorsFields::BeginShowing()
{
    ApplyPhase = 0;
    DiscardBackup();
}

TJpegOptionsFields::~TJpegOptionsFields() = default;

TEffectsDialogFields::~TEffectsDialogFields()
{
    Release(OriginalImage);
    Release(PreviewBitmap);
}

TColorBalanceFields::~TColorBalanceFields()
{
    Release(OriginalImage);
    Release(ResultBitmap);
}

TCaptureWindowFields::~TCaptureWindowFields() = default;

TRotateDialogFields& RotateDialog() { return Slot<TRotateDialogFields>().Get(); }
TResizeDialogFields& ResizeDialog() { return Slot<TResizeDialogFields>().Get(); }
TReplaceColorsFields& ReplaceColorsDialog() { return Slot<TReplaceColorsFields>().Get(); }
TJpegOptionsFields& JpegOptionsDialog() { return Slot<TJpegOptionsFields>().Get(); }
TEffectsDialogFields& EffectsDialog() { return Slot<TEffectsDialogFields>().Get(); }
TColorBalanceFields& ColorBalanceDialog() { return Slot<TColorBalanceFields>().Get(); }
TCaptureWindowFields& CaptureWindow() { return Slot<TCaptureWindowFields>().Get(); }

void InstallRotateDialog(TRotateDialogFields* fields) { Slot<TRotateDialogFields>().installed = fields; }
void InstallResizeDialog(TResizeDialogFields* fields) { Slot<TResizeDialogFields>().installed = fields; }
void InstallReplaceColorsDialog(TReplaceColorsFields* fields) { Slot<TReplaceColorsFields>().installed = fields; }
void InstallJpegOptionsDialog(TJpegOptionsFields* fields) { Slot<TJpegOptionsFields>().installed = fields; }
void InstallEffectsDialog(TEffectsDialogFields* fields) { Slot<TEffectsDialogFields>().installed = fields; }
void InstallColorBalanceDialog(TColorBalanceFields* fields) { Slot<TColorBalanceFields>().installed = fields; }
void InstallCaptureWindow(TCaptureWindowFields* fields) { Slot<TCaptureWindowFields>().installed = fields; }

QString ColorReplaceBackupPath()
{
    return ScratchPath(QStringLiteral("colortocolor.png"));
}

void DiscardCommandBackups()
{
    RotateDialog().DiscardPreNudgeImage();
    ReplaceColorsDialog().DiscardBackup();
}
