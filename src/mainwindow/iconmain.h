#pragma once

// The main window: the multiple-document frame of the editor and the hub of its editor-wide
// state. Document windows, drawing engines and dialogs read and write that state through the
// global instance `iconmain` (or, from below the main window, through EditorState()); the main
// window implements the few routines of its own that documents call.

#include "document/editor_state.h"
#include "framework/forms.h"

#include <array>

struct TMsg;
class TImageList;
class TTimer;

class Ticonmain : public TForm, public TEditorState {
    Q_OBJECT

public:
    // Builds the window from its definition; its create handler sets the start state. The
    // window installs itself as the program's editor state.
    explicit Ticonmain(QWidget* owner = nullptr);
    ~Ticonmain() override;

    // ---- state of the main window (the fields documents see are in TEditorState) ----
    bool MasterOpacityFromTrackBar = false;
    int RecentComboKeyState = 0;
    bool SystemCursorReplaced = false;
    std::array<QString, 11> RecentPaths;  // numbered 1..10
    int LibraryIconCounter = 0;
    QString WindowsVersionName;
    bool PaletteDragging = false;
    bool PaletteScrollDown = false;
    bool TabStripScrollDown = false;
    int CaptureStartCount = 0;
    std::array<bool, 33> PaletteSelected{};
    QString CommandLineFile;
    int StartupDone = 0;
    int CaptureFromBrowser = 0;
    int StartupStage = 1;
    QString VersionText;
    QString BuildText;
    bool HotSpotForCursor = false;
    int AniFrameCount = 0;
    int AniStepCount = 0;
    std::array<int, 1001> AniRates{};    // used from index 1
    std::array<int, 1001> AniSequence{}; // used from index 1
    int ViewerCounter = 1;
    bool ColorPanelLive = true;
    QString SwatchTarget = QStringLiteral("up");

    // ---- routines ----
    // The Windows version code and name of the running system: on Linux always "Unknowon" (0),
    // which makes the tool bars take their pictures from the icon files.
    static int GetWindowsVersionCode();
    void LoadEditColorsAndOsName();
    void LoadEditorDefaults();
    // Fills the tool bars' normal, hot and disabled image lists from "data\icon" + n + ".ico".
    void LoadToolImages();
    // Empties this instance's scratch folder, reporting each file that stays.
    void DeleteFilesInTree();
    // The first empty project, "iconview1" captioned "Project 1".
    void CreateFirstProject();
    // Opens the file named in OpenDialog1 by its extension.
    void OpenFileByName();
    // Fills the recent-file menu and the "Recently Used:" list from the open history.
    void LoadRecentFiles();
    // The update check of the start-up (the live-update window is not part of this program yet).
    void RunStartupUpdateCheck();
    // The application's key hook (the keyboard map); never marks a message handled.
    void HandleAppMessage(TMsg& Msg, bool& Handled);

    TImageList* ImageList1 = nullptr;
    TImageList* ImageList2 = nullptr;
    TImageList* ImageList3 = nullptr;
    TTimer* Timer3 = nullptr;

    // ---- handlers bound by the definition ----
    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormClose(TObject* Sender, TCloseAction& Action);
    Q_INVOKABLE void FormDestroy(TObject* Sender);
    Q_INVOKABLE void FormPaint(TObject* Sender);
    Q_INVOKABLE void Timer3Timer(TObject* Sender);
    Q_INVOKABLE void BitBtn1Click(TObject* Sender);
    Q_INVOKABLE void Close1Click(TObject* Sender);
    Q_INVOKABLE void Exit1Click(TObject* Sender);
    Q_INVOKABLE void About1Click(TObject* Sender);
    // Edit > Undo and Redo and their tool buttons: the active document's history.
    Q_INVOKABLE void ToolButton5Click(TObject* Sender);
    Q_INVOKABLE void ToolButton6Click(TObject* Sender);
    // View: the active document's zoom in, zoom out, fit to window and grid.
    Q_INVOKABLE void ToolButton13Click(TObject* Sender);
    Q_INVOKABLE void ToolButton14Click(TObject* Sender);
    Q_INVOKABLE void ToolButton16Click(TObject* Sender);
    Q_INVOKABLE void LineGrid1Click(TObject* Sender);

    // ---- opening and saving files (iconmain_files.cpp) ----
    Q_INVOKABLE void ToolButton2Click(TObject* Sender);
    Q_INVOKABLE void ToolButton3Click(TObject* Sender);
    Q_INVOKABLE void Saveas1Click(TObject* Sender);
    Q_INVOKABLE void N39Click(TObject* Sender);
    Q_INVOKABLE void Png1Click(TObject* Sender);
    Q_INVOKABLE void Senddasktop1Click(TObject* Sender);
    Q_INVOKABLE void N1Untitled1Click(TObject* Sender);
    Q_INVOKABLE void N2Untitled1Click(TObject* Sender);
    Q_INVOKABLE void N3Untitled1Click(TObject* Sender);
    Q_INVOKABLE void N4Untitled1Click(TObject* Sender);
    Q_INVOKABLE void N5Untitled1Click(TObject* Sender);
    Q_INVOKABLE void N6Untitled1Click(TObject* Sender);
    Q_INVOKABLE void N7Untitled1Click(TObject* Sender);
    Q_INVOKABLE void N8Untitled1Click(TObject* Sender);
    Q_INVOKABLE void N9Untitled1Click(TObject* Sender);
    Q_INVOKABLE void N10Untitled1Click(TObject* Sender);
    Q_INVOKABLE void userfilenameSelect(TObject* Sender);
    Q_INVOKABLE void userfilenameKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);

    // ---- TEditorState ----
    QString EditText(const QString& name) const override;
    void SetEditText(const QString& name, const QString& text) override;
    void SetLabelText(const QString& name, const QString& text) override;
    void SetControlEnabled(const QString& name, bool enabled) override;
    void SetControlVisible(const QString& name, bool visible) override;
    void SetMenuChecked(const QString& name, bool checked) override;
    void SetControlCaption(const QString& name, const QString& caption) override;
    void SetControlHint(const QString& name, const QString& hint) override;
    void SetTrackBarPosition(const QString& name, int position) override;
    int TrackBarPosition(const QString& name) const override;
    TRect ControlBounds(const QString& name) const override;
    bool HasDocumentTile(int n) const override;
    void SetDocumentTile(int n, const TRect& bounds, const QImage& picture) override;
    void ClearDocumentTile(int n) override;
    void SetPreview(const TRect& bounds, const QImage& picture) override;
    void ClearPreview() override;
    QImage Picture(const QString& name) const override;
    void ActivateDocument(int number) override;
    void HighlightDocumentTab(int tile) override;
    void RedrawToolImages() override;
    void SelectToolImage(int n, int group) override;
    void RunMainCommand(const QString& handlerName) override;
    QString MainThemeFile() const override;
    int MainUIStyle() const override;

private:
    void PrimeColorPanel();
    void SetComponentProperty(const QString& name, const char* property, const QVariant& value);
    TControl* Control(const QString& name) const;
};

extern Ticonmain* iconmain;

// The window version table: code and name for a version record of the system.
struct TWindowsVersion {
    int Code;
    const char* Name;
};
TWindowsVersion WindowsVersionFor(bool ntFamily, int major, int minor, const QString& servicePack);

// Registers the main window's definitions and pictures and every class they name.
void RegisterMainWindowClasses();
