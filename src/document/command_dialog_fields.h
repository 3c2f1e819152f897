#pragma once

// What the document's image commands read and keep in the windows that click them: the rotate
// and shift dialog, the resize dialog, the replace-colours dialog, the JPEG options dialog, the
// effects and colour-balance dialogs and the screen-capture window. Each window's global instance installs its fields here
// when it is made; until one is installed, a plain instance made on first use stands in, as the
// commands create a missing global instance themselves. Installed instances are not owned.

#include <QString>

struct GpImage;

// The picture a backup was taken from: one format of one document window. A project holds one
// format of each size and kind, so size and kind name the format wherever sorting moves it.
struct TPictureTag {
    QString Document;
    int Width = 0;
    int Height = 0;
    QString Kind;
    friend bool operator==(const TPictureTag&, const TPictureTag&) = default;
};

// The rotate and shift dialog ("usericonset").
class TRotateDialogFields {
public:
    virtual ~TRotateDialogFields();
    // The text of the angle edit "Edit1".
    virtual QString AngleText() const { return Angle; }
    QString Angle = QStringLiteral("45");

    // The format as it was before the first of a series of one-pixel shifts; owned.
    GpImage* PreNudgeImage = nullptr;
    TPictureTag PreNudgeOwner;
    void SetPreNudgeImage(GpImage* image, const TPictureTag& owner);
    // OK keeps the shifts: the copy is dropped, so no later Cancel puts it back.
    void DiscardPreNudgeImage();
    // A new showing starts without a copy from an earlier one.
    void BeginShowing() { DiscardPreNudgeImage(); }
};

// The resize dialog ("setsize").
class TResizeDialogFields {
public:
    virtual ~TResizeDialogFields();
    // The texts of the spin edits "width" and "height".
    virtual QString WidthText() const { return Width; }
    virtual QString HeightText() const { return Height; }
    QString Width = QStringLiteral("48");
    QString Height = QStringLiteral("48");
};

// The replace-colours dialog ("replace_colors").
class TReplaceColorsFields {
public:
    virtual ~TReplaceColorsFields();
    // Alpha, red, green, blue (0..255; only the low byte counts).
    int LeftColor[4] = {0, 0, 0, 0};
    int RightColor[4] = {0, 0, 0, 0};
    int ApplyPhase = 0; // 0 before the first Apply, 1 at the first, 2 later
    int Direction = 1;  // switched between 1 and 2 by every Apply
    int ReplaceMode = 1; // 1 Replace Colors, 2 Exchange Colors
    int ApplyState = 1; // 1 Apply, 2 Undo

    // The picture whose state before the first Apply the undo file holds; empty when none.
    TPictureTag BackupOwner;
    bool HasBackup() const { return !BackupOwner.Document.isEmpty(); }
    // Forgets the undo file and deletes it.
    void DiscardBackup();
    // A new showing starts at phase 0 without an undo file from an earlier one.
    void BeginShowing();
};

// The JPEG options dialog ("GifOptions"): the export's JPEG quality.
class TJpegOptionsFields {
public:
    virtual ~TJpegOptionsFields();
    // The quality track bar's position, 0..100.
    virtual int Quality() const { return 75; }
};

// The effects dialog ("set_color").
class TEffectsDialogFields {
public:
    virtual ~TEffectsDialogFields();
    int EffectCode = 0;
    GpImage* OriginalImage = nullptr; // owned
    GpImage* PreviewBitmap = nullptr; // owned
};

// The colour-balance dialog ("userRGBForm").
class TColorBalanceFields {
public:
    virtual ~TColorBalanceFields();
    GpImage* OriginalImage = nullptr; // owned
    GpImage* ResultBitmap = nullptr;  // owned
};

// The screen-capture window ("selectimage").
class TCaptureWindowFields {
public:
    virtual ~TCaptureWindowFields();
    int HandOffStage = 1;
    int CaptureArmed = 0;
    int ConfirmDone = 0;
    int PasteConfirmed = 0;
    // The window's capture confirmation: asks whether to paste the capture and, on Yes, saves it
    // as "selectimage.bmp" in the scratch folder and sets PasteConfirmed.
    virtual void Confirm() {}
    virtual void CloseWindow() {}
};

TRotateDialogFields& RotateDialog();
TResizeDialogFields& ResizeDialog();
TReplaceColorsFields& ReplaceColorsDialog();
TJpegOptionsFields& JpegOptionsDialog();
TEffectsDialogFields& EffectsDialog();
TColorBalanceFields& ColorBalanceDialog();
TCaptureWindowFields& CaptureWindow();
// A window installs its fields while it lives (null uninstalls, falling back to a plain one).
void InstallRotateDialog(TRotateDialogFields* fields);
void InstallResizeDialog(TResizeDialogFields* fields);
void InstallReplaceColorsDialog(TReplaceColorsFields* fields);
void InstallJpegOptionsDialog(TJpegOptionsFields* fields);
void InstallEffectsDialog(TEffectsDialogFields* fields);
void InstallColorBalanceDialog(TColorBalanceFields* fields);
void InstallCaptureWindow(TCaptureWindowFields* fields);

// The replace-colours undo file in the scratch folder.
QString ColorReplaceBackupPath();

// Drops the pre-shift copy and the replace-colours undo file: a backup belongs to the document
// it was taken from, and a newly opened document may reuse that document's name.
void DiscardCommandBackups();
