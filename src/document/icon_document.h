#pragma once

// The state of one icon project apart from its window: the fields of the document, its format
// table and format bitmaps, and the undo history of every format (one PNG file per state in the
// document's scratch subfolder). The document window derives from it, so the fields are the
// window's own; the history works headless.

#include "document/format_table.h"
#include "framework/palette.h"
#include "platform/gdip.h"

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <array>
#include <vector>

// An image of an opened icon that is no format (wider or taller than 255 pixels, or past the
// hundredth image): kept as its own one-image .ico and written back unchanged, after the first
// Before formats, whenever the project is saved as an icon.
struct TKeptIconImage {
    QByteArray Icon;
    int Before = 0;
    // An image kept from a cursor carries the hot spot of its entry; any other is written into a
    // cursor with the document's.
    bool OwnHotSpot = false;
    QPoint HotSpot;
};

class TIconDocument {
public:
    TIconDocument();
    virtual ~TIconDocument();
    TIconDocument(const TIconDocument&) = delete;
    TIconDocument& operator=(const TIconDocument&) = delete;

    int EditState = 0;
    bool ListClicked = false;
    QString StrokeColorA, StrokeColorR, StrokeColorG, StrokeColorB;
    // Steps undone since the last recorded one, per format 1..100.
    std::array<int, TFormatTable::MaxFormats + 1> UndoneCount{};
    int ShiftMode = 1;
    bool GridOff = false;
    bool OpacityBaseStale = false;
    QString SavedFileName;
    int SourceFormat = 0;
    bool AddingStandardFormat = false;
    int StandardFormatIndex = 0;
    int DragStartX = 0, DragStartY = 0, DragEndX = 0, DragEndY = 0;
    bool MouseIsDown = false;
    QString CurrentKind;
    int Zoom = 1;
    int CurrentWidth = 0;
    int CurrentHeight = 0;
    // Slot f holds the 32-bit ARGB image of format f; slot 0 stays empty. Owned.
    std::array<GpBitmap*, TFormatTable::MaxFormats + 1> FormatImages{};
    GpBitmap* EraseBaseImage = nullptr;
    // The picture the master opacity is computed from; owned.
    GpBitmap* OpacityBase = nullptr;
    TFormatTable FormatTable;
    // The cursor hot spot of formats that have none of their own (new formats): the first
    // entry's of its cursor file, 0,0 for a new project.
    int HotSpotX = 0;
    int HotSpotY = 0;
    // The file the project came from or was last saved to (an .ico or .cur, or the file an icon
    // was taken from), where its save dialog starts. Unlike SavedFileName, nothing is written to
    // it without the user's choosing it.
    QString LastFileName;
    std::vector<TKeptIconImage> KeptImages;

    int CurrentFormat() const { return FormatTable.CurrentFormat(); }
    int FormatCount() const { return FormatTable.FormatCount(); }
    GpBitmap* CurrentImage() const { return FormatImages[size_t(CurrentFormat())]; }
    // Replaces the image of format f, freeing the old one.
    void SetFormatImage(int f, GpBitmap* image);
    // A new fully transparent ARGB bitmap.
    static GpBitmap* NewTransparentBitmap(int width, int height);

    // ---- colour tables of the palette kinds ----
    // The colour table that strokes of format f are mapped to and that its saves write: the
    // table its image brought from the file it was opened from, else the fixed table of its kind
    // ("256" halftone, "16" standard colours, "Mono" black and white); empty for "XP", "16.8M"
    // and numbers that hold no format.
    const TPaletteEntries& FormatPalette(int f) const;
    // The same for the current format: what the colour panel offers for it.
    const TPaletteEntries& ActiveFormatPalette() const { return FormatPalette(CurrentFormat()); }
    // Gives format f the colour table of its image (1 to 2^bits colours for a kind of that many
    // bits per pixel); an empty table, or one that does not fit, brings back the kind's fixed
    // table. The table is forgotten as soon as the format's kind no longer has that depth.
    void SetFormatPalette(int f, const TPaletteEntries& colors, int bits);

    // Writes the standard-format checklist, ticks the entry equal to the first format and makes
    // the first format's cells and the current size and kind.
    void InitFormatTable(int width, int height, const QString& kind);

    // ---- cursor hot spots ----
    // The hot spot format f is written with into a cursor: its own (read from its cursor entry,
    // or chosen for it), else the document's.
    QPoint FormatHotSpot(int f) const;
    void SetFormatHotSpot(int f, QPoint hotSpot);
    // Format f (a new one) takes the document's hot spot again.
    void ForgetFormatHotSpot(int f);
    // A hot spot chosen for the current format: it becomes the format's own and the document's,
    // which formats added later take.
    void SetCursorHotSpot(QPoint hotSpot);

    // ---- undo history of the current format ----
    // The document's history folder (scratch folder + window name + "/").
    QString HistoryFolder() const;
    // File of state n of format f.
    QString StateFilePath(int f, int n) const;
    // Saves the current format as state 1 when that file is missing.
    void EnsureBaseState();
    // Forgets the undone states before a new step.
    void DropRedoTail();
    // Saves the current format as the next state after the one shown (undone states are
    // forgotten).
    void RecordStep();
    // The same, without looking for the base state first.
    void RecordStepWithoutBaseCheck();
    // Saves the current format over the newest state: a change that continues the last step.
    void RenewNewestState();
    // A command that changes the current format is one step: Begin before the change (the
    // picture shown becomes a state Undo reaches, the base state when none is saved yet), End
    // after it. Between BeginStepGroup and EndStepGroup the commands make one step together.
    void BeginCommandStep();
    void EndCommandStep();
    void BeginStepGroup();
    void EndStepGroup();
    // One step back or forward: counters, the main window's undo and redo controls, and the state
    // loaded into the current format. Undo does nothing without a state before the one shown;
    // Redo returns false (and does nothing) while no step of the current format is undone.
    void UndoStep();
    bool RedoStep();
    // The main window's Undo and Redo controls for the current format: Undo while a state before
    // the one shown exists, Redo while a step is undone.
    void ShowHistoryControls() const;
    // Whether the main window acts on this document.
    bool IsActiveDocument() const;
    // Loads a state file into the current format at the format's size. A file that cannot be
    // loaded leaves the format as it was and returns false.
    bool LoadStateImage(const QString& path);
    // The same for a state already read; the picture stays the caller's.
    bool LoadStateImage(GpImage* state);
    // What Undo and Redo run to bring a state back; the window also redraws.
    virtual void LoadUndoState(const QString& path);

    // ---- histories and colour tables follow their pictures ----
    // After the formats were put in a new order: newOrder[k] is the old number of the format now
    // numbered k (k = 1..newOrder.size() - 1).
    void ReorderFormatHistories(const std::vector<int>& newOrder);
    // Format f was removed and the ones above it moved down by one; formatsBefore is the count
    // before the removal.
    void RemoveFormatHistory(int f, int formatsBefore);
    // Forgets the history of format f (its files and counters).
    void ClearFormatHistory(int f);

protected:
    // The document window's name: it names the history folder.
    virtual QString DocumentName() const = 0;

private:
    struct TOwnPalette {
        int Bits = 0;
        TPaletteEntries Colors;
    };
    std::array<TOwnPalette, TFormatTable::MaxFormats + 1> ownPalettes_{};
    struct TOwnHotSpot {
        bool Set = false;
        QPoint At;
    };
    std::array<TOwnHotSpot, TFormatTable::MaxFormats + 1> ownHotSpots_{};
    // The history folder this document has made its own: a folder of that name found before is
    // a closed document's (or an earlier run's) and is emptied first.
    mutable QString claimedHistoryFolder_;
    int stepGroupDepth_ = 0;
    bool stepGroupBegun_ = false;

    int StateFileNumber(int f, int n) const;
    void SaveState(int f, int fileNumber);
    void MakeHistoryFolder() const;
    // Drops the oldest state of f so that one more fits; its file number is reused for the new
    // newest state.
    void DropOldestState(int f);
    void AfterRecord(int f);
    void MoveHistories(const std::vector<std::pair<int, int>>& moves);
};

// Bits per pixel of a palette kind: 8 for "256", 4 for "16", 1 for "Mono", 0 for any other text.
int PaletteBitsOfKind(const QString& kind);

// The document's undo and redo controls on the main window.
void SetUndoControls(bool enabled);
void SetRedoControls(bool enabled);
