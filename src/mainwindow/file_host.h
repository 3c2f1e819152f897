#pragma once

// What the open, save and export routines need of the main window: the fields they keep, its
// dialogs, message box, recent-file menu and combo, the open history of its configuration file,
// the document windows, and the windows that take over some files (the import window, the
// multi-frame viewer, the animated cursor builder, the JPEG options dialog). The main window
// derives from this class and overrides what it has; the defaults do nothing, so the routines
// run headless in tests, where a double records what was asked.

#include <QPoint>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

class TEditorState;
class Tnewiconview;

// One frame handed to the animated cursor builder: its icon file, the builder's mode word
// ("open" or the step number), its duration text and the hot spot it had as a cursor ((-1, -1)
// for a frame stored as an icon).
struct TAniBuilderFrame {
    QString FileName;
    QString Mode;
    QString Duration;
    QPoint HotSpot{-1, -1};
    bool operator==(const TAniBuilderFrame&) const = default;
};

enum class TMessageIcon { Information, Warning };

// The main window's fields that these routines keep, by reference.
struct TFileFields {
    // Full paths behind the recent items 1..10 (slot 0 unused).
    std::array<QString, 11>& RecentPaths;
    // 2 after a key other than Enter in the recent-files combo, 0 after Enter.
    int& RecentComboKeyState;
    // Numbers the scratch icons of one-icon libraries.
    int& LibraryIconCounter;
    // Numbers the multi-frame viewers.
    int& ViewerCounter;
    // The animated cursor last read: counts, and rates and frames (from 0) by step, from index 1.
    int& AniFrameCount;
    int& AniStepCount;
    std::array<int, 1001>& AniRates;
    std::array<int, 1001>& AniSequence;
};

// Storage for the fields when no main window holds them (tests, tools).
struct TOwnFileFields {
    std::array<QString, 11> OwnRecentPaths;
    int OwnRecentComboKeyState = 0;
    int OwnLibraryIconCounter = 0;
    int OwnViewerCounter = 1;
    int OwnAniFrameCount = 0;
    int OwnAniStepCount = 0;
    std::array<int, 1001> OwnAniRates{};
    std::array<int, 1001> OwnAniSequence{};
};

// The windows that take over pictures, icon libraries and multi-frame files live above the main
// window; the program's start installs them here. Until then those roads do nothing.
struct TFileWindowHooks {
    std::function<void(const QString& path)> OpenPicture;
    std::function<void(const QString& path)> OpenLibrary;
    std::function<void(const QString& path, int number, bool asGlobal, const QString& caption)> OpenViewer;
    std::function<bool()> ViewerExists;
};
void SetFileWindowHooks(TFileWindowHooks hooks);
bool FileWindowHooksInstalled();

class TFileHost : private TOwnFileFields {
public:
    // The fields kept here.
    explicit TFileHost(TEditorState& state);
    // The fields of a main window.
    TFileHost(TEditorState& state, const TFileFields& fields);
    virtual ~TFileHost();
    TFileHost(const TFileHost&) = delete;
    TFileHost& operator=(const TFileHost&) = delete;

    TEditorState& State;

    std::array<QString, 11>& RecentPaths;
    int& RecentComboKeyState;
    int& LibraryIconCounter;
    int& ViewerCounter;
    int& AniFrameCount;
    int& AniStepCount;
    std::array<int, 1001>& AniRates;
    std::array<int, 1001>& AniSequence;
    // The hot spot of every frame (from 0) of the animated cursor last read, (-1, -1) where the
    // frame is an icon.
    std::vector<QPoint> AniHotSpots;

    // File names of the open dialog (the one input of opening by name) and of the save dialog
    // (the target of every export).
    QString OpenFileName;
    QString SaveFileName;

    // ---- dialogs and boxes ----
    // The open dialog; true when the user chose a file (into OpenFileName).
    virtual bool ExecuteOpenDialog();
    // The save dialog with its filter entries (1 "Icons (*.ico)" .. 11 "TGA Image Files (*.tga)"),
    // starting with the file name in SaveFileName (empty: no name, in the folder it showed last)
    // and, when filterIndex is above 0, that entry; true when the user chose a file (into
    // SaveFileName) and filterIndex.
    virtual bool ExecuteSaveDialog(int& filterIndex);
    // The "PNG Files" dialog, starting with fileName as the save dialog does.
    virtual bool ExecutePngDialog(QString& fileName);
    // Before a file that exists is written over: whether the user wants it replaced.
    virtual bool ConfirmReplace(const QString& path);
    // The main window's message box.
    virtual void ShowMessage(const QString& text, TMessageIcon icon);
    // A plain message box.
    virtual void ShowPlainMessage(const QString& text);
    // A line on the main window's status bar.
    virtual void ShowStatus(const QString& text);
    virtual void MinimizeApplication();

    // ---- recent files ----
    // Caption of the File-menu item "N" + k + "Untitled1" (k = 1..10).
    virtual void SetRecentItemCaption(int k, const QString& caption);
    // The "Recently Used:" combo: its list and its text.
    virtual void AddRecentComboItem(const QString& path);
    virtual QString RecentComboText() const;
    virtual void SetRecentComboText(const QString& text);
    // The open history of the configuration file, oldest first, and its appending.
    virtual QStringList ReadOpenHistory() const;
    virtual void AppendOpenHistory(const QString& path);

    // ---- document windows ----
    // The document window of that name (without regard to case), or null.
    virtual Tnewiconview* FindDocument(const QString& name) const;
    // A new document window in the main window's client area with that name and caption, made
    // with the editor state's new-image size and kind; not shown yet.
    virtual Tnewiconview* NewDocumentWindow(const QString& name, const QString& caption);
    // The command by name on the active document: the argument goes into CommandArgument and
    // the component is clicked when it has a click handler. False when nothing ran.
    virtual bool RunDocumentCommand(const QString& component, const QString& argument);

    // ---- windows that take over some files ----
    // A new import window, 682 by 461 at (50, 50) with its format grid hidden, opening a picture
    // (source code 0).
    virtual void OpenPictureInImportWindow(const QString& path);
    // A new import window over the document area listing an icon library.
    virtual void OpenLibraryInImportWindow(const QString& path);
    // A multi-frame viewer numbered number splitting the file; asGlobal is false for a further
    // viewer beside the global one, named "openimage" + number; an empty caption leaves the
    // viewer's own.
    virtual void OpenInViewer(const QString& path, int number, bool asGlobal, const QString& caption);
    // Whether a multi-frame viewer exists.
    virtual bool ViewerExists() const;
    // Creates the animated cursor builder unless it exists.
    virtual void EnsureAniBuilder();
    // Asks about the builder's unsaved frames before an opened file replaces them; false when
    // the user cancelled (the open does not go on).
    virtual bool MayReplaceAniBuilderFrames();
    // Clears the builder's frames, adds these, gives it the skin and shows it.
    virtual void HandFramesToAniBuilder(const std::vector<TAniBuilderFrame>& frames);
    // The JPEG options dialog, shown modally; its OK runs the document's export.
    virtual void ShowJpegOptions();
    // Writes a picture file as PNG for the import window; false when it cannot be read.
    virtual bool ConvertPictureToPng(const QString& source, const QString& target);
};
