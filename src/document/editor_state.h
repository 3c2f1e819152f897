#pragma once

// The editor-wide state that document windows read and write, and the few controls and routines
// of the main window they touch. The main window implements this interface and installs itself
// with SetEditorState; there is one for the program. The fields carry the main window's own
// names and start values; the controls are named as the main window names them ("bigbig",
// "ToolButton5", "layer_a", ...), so a document addresses them as it would on the main window.

#include "framework/types.h"

#include <QImage>
#include <QString>
#include <cstdint>

struct GpImage;

class TEditorState {
public:
    virtual ~TEditorState();

    // ---- tool and drawing settings ----
    int CurrentTool = 2; // 1 Selection .. 12 Pencil
    int ToolImageIndex = 0;
    int PenWidth = 1;
    int LineCapStyle = 1;
    int FillStyle = 1;
    double RadialCenterX = 1.0;
    double RadialCenterY = 1.0;
    QString PatternFile = QStringLiteral("image\\16color\\17.bmp");
    QString GradientImageFile;

    // ---- new images and documents ----
    int NewImageWidth = 48;
    int NewImageHeight = 48;
    QString NewImageKind = QStringLiteral("XP");
    QString ActiveDocumentName = QStringLiteral("newiconview");
    int ActiveDocumentNumber = 1;
    int DocumentCounter = 1;
    QString CurrentFilePath;
    QString CommandArgument;
    int ClosingForUpdate = 0;
    // Set when a Save writes nothing: its Save dialog was cancelled, or writing the file failed.
    // A close that asked to save first then stays open instead of losing the changes.
    bool SaveNotDone = false;
    // The active document's cursor hot spot, for showing and setting it; every document keeps and
    // writes its own (TIconDocument::HotSpotX), so a change made here must reach that document.
    int HotSpotX = 0;
    int HotSpotY = 0;
    int NudgeCount = 0;
    // The master-opacity bar ("layer_a"): held while the mouse drags it, and the drags counted;
    // the changes of one drag make one undo step.
    bool OpacityBarHeld = false;
    int OpacityBarDrags = 0;
    int CanvasTouched = 0;
    int ShortcutsSuspended = 0;

    // ---- the pixel buffers shared by all documents (held here, made by the documents) ----
    GpImage* SelectionBuffer = nullptr;
    GpImage* PasteBuffer = nullptr;
    int PasteState = 0;
    GpImage* FloatingImage = nullptr;

    // ---- look ----
    QString SkinFileName;
    int SkinStyle = 0;
    // The editing options' colours, 0xAARRGGBB like every colour handed between windows.
    uint32_t GridColor1 = 0xFF8E8C8C;
    uint32_t GridColor2 = 0xFFC0C0C0;
    uint32_t SelectionColor = 0xFF000000;

    // ---- controls of the main window ----
    // Texts of its edits: the hidden colour edits "upa".."upb", "downa".."downb", the panel's
    // "colora".."colorb" and "opacity".
    virtual QString EditText(const QString& name) const = 0;
    virtual void SetEditText(const QString& name, const QString& text) = 0;
    // Status labels ("bigbig", "beginxy", "whsize", "formaticon", "title", "projectcaption") and
    // the text of the combo "userfilename".
    virtual void SetLabelText(const QString& name, const QString& text) = 0;
    // Tool buttons and menu items ("ToolButton5", "Undo1", ...), colour wells and panels.
    virtual void SetControlEnabled(const QString& name, bool enabled) = 0;
    virtual void SetControlVisible(const QString& name, bool visible) = 0;
    virtual void SetMenuChecked(const QString& name, bool checked) = 0;
    virtual void SetControlCaption(const QString& name, const QString& caption) = 0;
    virtual void SetControlHint(const QString& name, const QString& hint) = 0;
    // Track bars ("layer_a", "colorbara".."colorbarb"): as a person moving them, change handler
    // included when the position changes.
    virtual void SetTrackBarPosition(const QString& name, int position) = 0;
    virtual int TrackBarPosition(const QString& name) const = 0;
    // Bounds of a control in its parent ("Panel3", "Panel4", "Panel17", "CoolBar1", "iconbg4",
    // "Imageoo"); the empty name gives the main window's own bounds.
    virtual TRect ControlBounds(const QString& name) const = 0;

    // ---- the document strip and the preview ----
    // Whether the strip has a tile for document number n (1..24).
    virtual bool HasDocumentTile(int n) const = 0;
    // Places tile n at bounds (in the strip) showing picture.
    virtual void SetDocumentTile(int n, const TRect& bounds, const QImage& picture) = 0;
    // Shows tile n empty (the "bgokbg" picture).
    virtual void ClearDocumentTile(int n) = 0;
    // Places the preview "iconshow" at bounds (beside "Imageoo") showing picture.
    virtual void SetPreview(const TRect& bounds, const QImage& picture) = 0;
    // Shows the preview empty: the "bgokbg" pattern over 76 x 76 pixels.
    virtual void ClearPreview() = 0;
    // A picture of the main window ("copybm", "bgokbg").
    virtual QImage Picture(const QString& name) const = 0;

    // ---- routines of the main window ----
    virtual void ActivateDocument(int number) = 0;
    virtual void HighlightDocumentTab(int tile) = 0;
    virtual void RedrawToolImages() = 0;
    virtual void SelectToolImage(int n, int group) = 0;
    // Runs a handler of the main window by its name: "ToolButton3Click" (Save),
    // "ToolButton13Click", "ToolButton14Click", "ToolButton16Click" (zoom), "Png1Click",
    // "N34Click", "N30Click", "colorbarrChange", "colorbaraChange", "tool_" + n + "Click", ...
    virtual void RunMainCommand(const QString& handlerName) = 0;

    // The file name of the main window's picture save dialog ("SavePictureDialog1"): the target
    // of every export. The main window keeps it in its dialog.
    virtual QString SaveDialogFileName() const { return saveDialogFileName_; }
    virtual void SetSaveDialogFileName(const QString& name) { saveDialogFileName_ = name; }
    // The print page of the main window with the picture under the title, shown modally; false
    // when the program has no print page.
    virtual bool ShowPrintPage(const QImage& picture, const QString& title)
    {
        (void)picture;
        (void)title;
        return false;
    }

    // The skin file and style of the main window's own skin components.
    virtual QString MainThemeFile() const { return SkinFileName; }
    virtual int MainUIStyle() const { return SkinStyle; }

private:
    QString saveDialogFileName_;
};

// The program's editor state; null until the main window (or a test) installs one.
TEditorState* EditorState();
void SetEditorState(TEditorState* state);
// The same for the document's routines, which cannot run without one: raises
// EInvalidOperation while none is installed.
TEditorState* RequiredEditorState();
