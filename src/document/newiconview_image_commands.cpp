// The document window's whole-picture commands: the hidden buttons that the main window and the
// command dialogs click for master opacity, flips and quarter turns, one-pixel shifts, the
// pattern path, clearing, colour replacement, rotation, resizing, the effect and colour-balance
// hand-overs and the screen-capture take-over. Each change of the picture is one undo step (a
// drag of the opacity bar is one); the effect and colour-balance dialogs record their own.

#include "document/canvas_mouse.h"
#include "document/command_dialog_fields.h"
#include "document/editor_state.h"
#include "document/format_list.h"
#include "document/image_commands.h"
#include "document/newiconview.h"
#include "document/scratch_folder.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/dialogs.h"
#include "framework/sysutils.h"

#include <QApplication>
#include <QImage>

namespace {

const QString kProgramCaption = QStringLiteral("Brelnova Studio");

TEditorState* State()
{
    return RequiredEditorState();
}

ARGB ColorOf(const int (&c)[4])
{
    return (ARGB(c[0] & 0xFF) << 24) | (ARGB(c[1] & 0xFF) << 16) | (ARGB(c[2] & 0xFF) << 8) | ARGB(c[3] & 0xFF);
}

Tnewiconview* TemplateDocument()
{
    for (QWidget* w : QApplication::allWidgets())
        if (auto* doc = qobject_cast<Tnewiconview*>(w); doc && doc->IsTemplate())
            return doc;
    return nullptr;
}

void Tell(const QString& text)
{
    MessageDlg(text, mtWarning, MsgDlgButtons({mbOK}));
}

bool SavePng(GpImage* image, const QString& path)
{
    CLSID png;
    return FindEncoderByMimeType(QStringLiteral("image/png"), &png) >= 0 &&
           GdipSaveImageToFile(image, path, &png, nullptr) == Ok;
}

// The picture tag of a document's current format.
TPictureTag TagOf(const TIconDocument& doc, const QString& name)
{
    return {name, doc.CurrentWidth, doc.CurrentHeight, doc.CurrentKind};
}

bool SamePixels(GpImage* a, GpImage* b)
{
    const QImage* pa = GdipImageData(a);
    const QImage* pb = GdipImageData(b);
    return pa && pb && *pa == *pb;
}

bool IsFileEffect(int code)
{
    return (code >= 403 && code <= 408) || (code >= 30 && code <= 45);
}

} // namespace

void Tnewiconview::RebuildWithThumbnails()
{
    RebuildView();
    UpdateThumbnails();
    // The format's entry in the list shows the changed picture too.
    RepaintFormatList();
}

// ---------------------------------------------------------------------------------------------
// Master opacity

void Tnewiconview::BitBtn9Click(TObject*)
{
    if (EditState != 1 || !CurrentImage())
        return;
    TEditorState* s = State();
    UINT bw = 0, bh = 0;
    GdipGetImageWidth(OpacityBase, &bw);
    GdipGetImageHeight(OpacityBase, &bh);
    if (OpacityBaseStale || !OpacityBase || int(bw) != CurrentWidth || int(bh) != CurrentHeight) {
        GdipDisposeImage(OpacityBase);
        OpacityBase = nullptr;
        GdipCloneImage(CurrentImage(), &OpacityBase);
    }
    GpImage* result = nullptr;
    GdipCloneImage(CurrentImage(), &result);
    ApplyMasterOpacity(OpacityBase, result, s->TrackBarPosition(QStringLiteral("layer_a")));
    // The bar is set back to full by presses, undo and selections: that changes nothing and is no
    // step. The changes of one drag are one step, renewed as the drag goes on.
    const int f = CurrentFormat();
    const bool changed = !SamePixels(result, CurrentImage());
    const bool continuing = s->OpacityBarHeld && opacityStepDrag_ == s->OpacityBarDrags && opacityStepFormat_ == f &&
                            opacityStepState_ == FormatTable.UndoStateCount(f) && UndoneCount[size_t(f)] == 0;
    if (changed) {
        if (!continuing)
            BeginCommandStep();
        SetFormatImage(f, result);
    } else {
        GdipDisposeImage(result);
    }
    RebuildView();
    OpacityBaseStale = false;
    UpdateThumbnails();
    RepaintFormatList();
    if (!changed)
        return;
    if (continuing) {
        RenewNewestState();
    } else {
        EndCommandStep();
        opacityStepDrag_ = s->OpacityBarHeld ? s->OpacityBarDrags : 0;
        opacityStepFormat_ = CurrentFormat();
        opacityStepState_ = FormatTable.UndoStateCount(CurrentFormat());
    }
}

// ---------------------------------------------------------------------------------------------
// Flips and quarter turns

bool Tnewiconview::TurnedSizeTaken() const
{
    const int f = CurrentFormat();
    for (int other = 1; other <= FormatCount(); ++other)
        if (other != f && FormatTable.Width(other).trimmed().toInt() == CurrentHeight &&
            FormatTable.Height(other).trimmed().toInt() == CurrentWidth && FormatTable.Kind(other) == CurrentKind)
            return true;
    return false;
}

void Tnewiconview::TakeTurnedSize()
{
    const int f = CurrentFormat();
    FormatTable.SetFormat(f, CurrentHeight, CurrentWidth, CurrentKind);
    MakeFormatCurrent(*this, f);
    SortFormatsKeepingCurrent();
    MyListBox1Click(this);
}

void Tnewiconview::TurnFormat(int turn)
{
    const auto kind = TQuarterTurn(turn);
    if (!CurrentImage())
        return;
    const bool exchanges = (kind == TQuarterTurn::RotateLeft || kind == TQuarterTurn::RotateRight) &&
                           CurrentWidth != CurrentHeight;
    // The format takes the turned size; a project holds one format of each size and kind.
    if (exchanges && TurnedSizeTaken()) {
        Tell(QStringLiteral("The icon format has existed"));
        return;
    }
    BeginCommandStep();
    ApplyQuarterTurn(CurrentImage(), kind);
    // The states before the turn keep their size: undoing the turn gives the format that size back.
    if (exchanges)
        TakeTurnedSize();
    else
        RebuildWithThumbnails();
    EndCommandStep();
}

void Tnewiconview::BitBtn10Click(TObject*) { TurnFormat(int(TQuarterTurn::FlipVertical)); }
void Tnewiconview::BitBtn11Click(TObject*) { TurnFormat(int(TQuarterTurn::FlipHorizontal)); }
void Tnewiconview::BitBtn12Click(TObject*) { TurnFormat(int(TQuarterTurn::RotateLeft)); }
void Tnewiconview::BitBtn13Click(TObject*) { TurnFormat(int(TQuarterTurn::RotateRight)); }

// ---------------------------------------------------------------------------------------------
// One-pixel shifts and their restore

void Tnewiconview::ShiftFormat(int dx, int dy)
{
    if (!CurrentImage())
        return;
    TEditorState* s = State();
    TRotateDialogFields& dialog = RotateDialog();
    const TPictureTag tag = TagOf(*this, objectName());
    s->NudgeCount += 1;
    // A series starts with a copy of this picture; a copy of any other picture is not this
    // series' starting point, whatever the count says.
    if (s->NudgeCount == 1 || !dialog.PreNudgeImage || dialog.PreNudgeOwner != tag) {
        GpImage* copy = nullptr;
        GdipCloneImage(CurrentImage(), &copy);
        dialog.SetPreNudgeImage(copy, tag);
        s->NudgeCount = 1;
    }
    BeginCommandStep();
    SetFormatImage(CurrentFormat(), ShiftedCopy(CurrentImage(), dx, dy));
    FormPaint(this);
    RebuildWithThumbnails();
    EndCommandStep();
}

void Tnewiconview::BitBtn32Click(TObject*) { ShiftFormat(0, -1); }
void Tnewiconview::BitBtn33Click(TObject*) { ShiftFormat(-1, 0); }
void Tnewiconview::BitBtn34Click(TObject*) { ShiftFormat(1, 0); }
void Tnewiconview::BitBtn35Click(TObject*) { ShiftFormat(0, 1); }

void Tnewiconview::BitBtn36Click(TObject*)
{
    State()->NudgeCount = 0;
    TRotateDialogFields& dialog = RotateDialog();
    if (!dialog.PreNudgeImage)
        return;
    if (dialog.PreNudgeOwner != TagOf(*this, objectName())) {
        dialog.DiscardPreNudgeImage();
        return;
    }
    GpImage* copy = dialog.PreNudgeImage;
    dialog.PreNudgeImage = nullptr;
    dialog.DiscardPreNudgeImage();
    BeginCommandStep();
    SetFormatImage(CurrentFormat(), copy);
    FormPaint(this);
    RebuildWithThumbnails();
    EndCommandStep();
}

// ---------------------------------------------------------------------------------------------
// Pattern path and clear

void Tnewiconview::BitBtn14Click(TObject*)
{
    FormatTable.SetPatternPath(0, State()->PatternFile);
}

void Tnewiconview::BitBtn42Click(TObject*)
{
    if (CurrentWidth < 1 || CurrentHeight < 1)
        return;
    BeginCommandStep();
    SetFormatImage(CurrentFormat(), NewTransparentBitmap(CurrentWidth, CurrentHeight));
    FormPaint(this);
    RebuildWithThumbnails();
    EndCommandStep();
}

// ---------------------------------------------------------------------------------------------
// Replace or exchange colours

void Tnewiconview::BitBtn43Click(TObject*)
{
    TReplaceColorsFields& d = ReplaceColorsDialog();
    if (!CurrentImage())
        return;
    const TPictureTag tag = TagOf(*this, objectName());
    const QString backup = ColorReplaceBackupPath();
    if (d.ApplyState == 1) {
        // The undo file holds this picture as it was before this showing's first Apply.
        if (d.ApplyPhase == 1 || d.BackupOwner != tag) {
            d.DiscardBackup();
            if (SavePng(CurrentImage(), backup))
                d.BackupOwner = tag;
        }
        const bool leftToRight = d.ReplaceMode == 1 || d.Direction == 2;
        const ARGB find = ColorOf(leftToRight ? d.LeftColor : d.RightColor);
        const ARGB replacement = ColorOf(leftToRight ? d.RightColor : d.LeftColor);
        BeginCommandStep();
        ReplaceExactColor(CurrentImage(), find, replacement);
    } else if (d.ApplyState == 2) {
        GpImage* saved = nullptr;
        if (d.BackupOwner == tag)
            GdipLoadImageFromFile(backup, &saved);
        if (!saved) {
            Tell(QStringLiteral("There is no colour change of this image to undo"));
            return;
        }
        GpBitmap* restored = NewTransparentBitmap(CurrentWidth, CurrentHeight);
        GpGraphics* g = nullptr;
        GdipGetImageGraphicsContext(restored, &g);
        GdipDrawImageI(g, saved, 0, 0);
        GdipDeleteGraphics(g);
        GdipDisposeImage(saved);
        BeginCommandStep();
        SetFormatImage(CurrentFormat(), restored);
    } else {
        return;
    }
    RebuildWithThumbnails();
    EndCommandStep();
}

// ---------------------------------------------------------------------------------------------
// Rotation by an angle and resize

void Tnewiconview::BitBtn45Click(TObject*)
{
    // A text that is no number stops here, before the picture is touched.
    const int angle = StrToInt(RotateDialog().AngleText());
    if (!CurrentImage())
        return;
    BeginCommandStep();
    SetFormatImage(CurrentFormat(), RotatedCopy(CurrentImage(), angle));
    PlacedOnFormat();
    EndCommandStep();
}

void Tnewiconview::Button8Click(TObject*)
{
    TResizeDialogFields& d = ResizeDialog();
    // Both sizes are checked before anything of the picture is cleared.
    const int nw = StrToInt(d.WidthText());
    const int nh = StrToInt(d.HeightText());
    if (nw < 1 || nh < 1) {
        Tell(QStringLiteral("Please set image size"));
        return;
    }
    if (nw > 255 || nh > 255) {
        Tell(QStringLiteral("The image size must be from 1 to 255 pixels"));
        return;
    }
    if (!CurrentImage())
        return;
    BeginCommandStep();
    SetFormatImage(CurrentFormat(), ResizedCopy(CurrentImage(), nw, nh));
    PlacedOnFormat();
    EndCommandStep();
}

void Tnewiconview::PlacedOnFormat()
{
    // A palette format holds its table's colours from the moment a picture lands in it.
    ReducePaletteFormat(*this);
    SortFormatsKeepingCurrent();
    UpdateThumbnails();
    MyListBox1Click(this);
}

// ---------------------------------------------------------------------------------------------
// Effect and colour-balance hand-overs

bool Tnewiconview::ReplaceFormatFrom(GpImage* source)
{
    GpBitmap* picture = StretchedCopy(source, CurrentWidth, CurrentHeight);
    // A hand-over without a picture leaves the format as it is.
    if (!picture)
        return false;
    SetFormatImage(CurrentFormat(), picture);
    RebuildWithThumbnails();
    return true;
}

void Tnewiconview::Button2Click(TObject*)
{
    TEffectsDialogFields& d = EffectsDialog();
    GdipDisposeImage(d.OriginalImage);
    d.OriginalImage = StretchedCopy(CurrentImage(), CurrentWidth, CurrentHeight);
}

void Tnewiconview::Button3Click(TObject*)
{
    ReplaceFormatFrom(EffectsDialog().PreviewBitmap);
}

void Tnewiconview::Button4Click(TObject*)
{
    TEffectsDialogFields& d = EffectsDialog();
    if (!IsFileEffect(d.EffectCode)) {
        ReplaceFormatFrom(d.OriginalImage);
        return;
    }
    // These effects leave the picture from before them in a file of the scratch folder.
    GpImage* saved = nullptr;
    const QString path = ScratchPath(QStringLiteral("gif88gif.png"));
    GdipLoadImageFromFile(path, &saved);
    if (!saved) {
        Tell(QStringLiteral("The picture from before the effect cannot be read: ") + path);
        return;
    }
    ReplaceFormatFrom(saved);
    GdipDisposeImage(saved);
}

void Tnewiconview::Button5Click(TObject*)
{
    QImage* pixels = GdipImageData(CurrentImage());
    if (!pixels)
        return;
    // The colour-balance dialog's work copy keeps the format's alpha in a 32-bit bitmap.
    TBitmap work(pixels->width(), pixels->height(), pf32bit);
    for (int y = 0; y < pixels->height(); ++y) {
        const auto* line = reinterpret_cast<const ARGB*>(pixels->constScanLine(y));
        for (int x = 0; x < pixels->width(); ++x)
            work.SetPixelArgb(x, y, line[x]);
    }
    work.SaveToFile(ScratchPath(QStringLiteral("temp.bmp")));
    TColorBalanceFields& d = ColorBalanceDialog();
    GdipDisposeImage(d.OriginalImage);
    d.OriginalImage = StretchedCopy(CurrentImage(), CurrentWidth, CurrentHeight);
}

void Tnewiconview::Button6Click(TObject*)
{
    ReplaceFormatFrom(ColorBalanceDialog().ResultBitmap);
}

void Tnewiconview::Button7Click(TObject*)
{
    ReplaceFormatFrom(ColorBalanceDialog().OriginalImage);
}

// ---------------------------------------------------------------------------------------------
// Screen-capture take-over

void Tnewiconview::BitBtn39Click(TObject*)
{
    TCaptureWindowFields& capture = CaptureWindow();
    capture.HandOffStage = 2;
    // The capture window's confirmation marks the template once a capture is taken over.
    Tnewiconview* templ = TemplateDocument();
    const int state = (templ ? templ : this)->FormatTable.CaptureState();
    if (capture.CaptureArmed != 1 || state != 1 || capture.ConfirmDone != 0)
        return;
    Application->Restore();
    capture.Confirm();
    capture.ConfirmDone = 1;
    const int answer = Application->MessageBox(QStringLiteral("Image file has changed, Save changes or not?"),
                                               kProgramCaption, MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES)
        return;
    const bool pasting = capture.PasteConfirmed == 1;
    if (pasting)
        BeginCommandStep();
    LoadUndoState(QStringLiteral("dorvelt"));
    if (pasting)
        EndCommandStep();
}
