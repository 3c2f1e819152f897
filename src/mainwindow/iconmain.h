#pragma once

// The main window: the multiple-document frame of the editor and the hub of its editor-wide
// state. Document windows, drawing engines and dialogs read and write that state through the
// global instance `iconmain` (or, from below the main window, through EditorState()); the main
// window implements the few routines of its own that documents call.

#include "document/editor_state.h"
#include "framework/forms.h"

#include <array>

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
    // The update check of the start-up, through the runner the settings windows install.
    void RunStartupUpdateCheck();

    TImageList* ImageList1 = nullptr;
    TImageList* ImageList2 = nullptr;
    TImageList* ImageList3 = nullptr;
    TTimer* Timer3 = nullptr;

    // ---- handlers bound by the definition ----
    Q_INVOKABLE void FormCreate(TObject* Sender);
    // After the documents' questions, each builder asks about its unsaved work.
    Q_INVOKABLE void FormCloseQuery(TObject* Sender, bool& CanClose);
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

    // ---- menu and tool-bar commands that drive the active document (command_routing.cpp) ----
    Q_INVOKABLE void ToolButton8Click(TObject* Sender);
    Q_INVOKABLE void ToolButton9Click(TObject* Sender);
    Q_INVOKABLE void ToolButton10Click(TObject* Sender);
    Q_INVOKABLE void ToolButton11Click(TObject* Sender);
    Q_INVOKABLE void Selectall1Click(TObject* Sender);
    Q_INVOKABLE void ClearAll1Click(TObject* Sender);
    Q_INVOKABLE void N30Click(TObject* Sender);
    Q_INVOKABLE void Create3232WinXPImageFormat1Click(TObject* Sender);
    Q_INVOKABLE void CreateaNewImageFormat1Click(TObject* Sender);
    Q_INVOKABLE void NewGIFProjectFromCurrentImage1Click(TObject* Sender);
    Q_INVOKABLE void NewANIProjectFromCurrentImage1Click(TObject* Sender);
    Q_INVOKABLE void AnimationCursorBuilder1Click(TObject* Sender);
    Q_INVOKABLE void NewIconProjectFromCurrentImage1Click(TObject* Sender);
    Q_INVOKABLE void RemoveThisImageFormat1Click(TObject* Sender);
    Q_INVOKABLE void Properties1Click(TObject* Sender);
    Q_INVOKABLE void ShowImageFormatList1Click(TObject* Sender);
    Q_INVOKABLE void ShowListonLeft1Click(TObject* Sender);
    Q_INVOKABLE void ShowListonRight1Click(TObject* Sender);
    Q_INVOKABLE void ShiftLeft1Click(TObject* Sender);
    Q_INVOKABLE void ShiftRight1Click(TObject* Sender);
    Q_INVOKABLE void ShiftUp1Click(TObject* Sender);
    Q_INVOKABLE void ShiftDown1Click(TObject* Sender);
    Q_INVOKABLE void layer_aChange(TObject* Sender);
    Q_INVOKABLE void iconshowClick(TObject* Sender);
    Q_INVOKABLE void SetRadialAngle1Click(TObject* Sender);

    // ---- filters and effects (effect_launch.cpp) ----
    // Every effect item of the Effects and Filters menus; the item's name picks its table row.
    Q_INVOKABLE void EffectItemClick(TObject* Sender);
    Q_INVOKABLE void ColorBalance1Click(TObject* Sender);
    // Launches the effect of the code on the active document.
    void LaunchEffect(int code);
    // The effect items are enabled only while a project document is active; the menus check
    // each time they open.
    void UpdateEffectItems();
    void ConnectEffectMenus();
    // The strip under the tool palette: the primary colour becomes fully transparent
    // (transparent_colour.cpp).
    Q_INVOKABLE void bgtmClick(TObject* Sender);
    void DrawTransparentStrip();

    // ---- tool palette (tool_palette.cpp) ----
    // One click handler per palette image, named as the documents call them to re-apply a tool.
    Q_INVOKABLE void tool_0Click(TObject*) { ToolImageClick(0); }
    Q_INVOKABLE void tool_1Click(TObject*) { ToolImageClick(1); }
    Q_INVOKABLE void tool_2Click(TObject*) { ToolImageClick(2); }
    Q_INVOKABLE void tool_3Click(TObject*) { ToolImageClick(3); }
    Q_INVOKABLE void tool_4Click(TObject*) { ToolImageClick(4); }
    Q_INVOKABLE void tool_5Click(TObject*) { ToolImageClick(5); }
    Q_INVOKABLE void tool_6Click(TObject*) { ToolImageClick(6); }
    Q_INVOKABLE void tool_7Click(TObject*) { ToolImageClick(7); }
    Q_INVOKABLE void tool_8Click(TObject*) { ToolImageClick(8); }
    Q_INVOKABLE void tool_9Click(TObject*) { ToolImageClick(9); }
    Q_INVOKABLE void tool_10Click(TObject*) { ToolImageClick(10); }
    Q_INVOKABLE void tool_11Click(TObject*) { ToolImageClick(11); }
    Q_INVOKABLE void tool_13Click(TObject*) { ToolImageClick(13); }
    Q_INVOKABLE void tool_14Click(TObject*) { ToolImageClick(14); }
    Q_INVOKABLE void tool_15Click(TObject*) { ToolImageClick(15); }
    Q_INVOKABLE void tool_16Click(TObject*) { ToolImageClick(16); }
    Q_INVOKABLE void tool_17Click(TObject*) { ToolImageClick(17); }
    Q_INVOKABLE void tool_18Click(TObject*) { ToolImageClick(18); }
    Q_INVOKABLE void tool_19Click(TObject*) { ToolImageClick(19); }
    Q_INVOKABLE void tool_20Click(TObject*) { ToolImageClick(20); }
    Q_INVOKABLE void tool_21Click(TObject*) { ToolImageClick(21); }
    Q_INVOKABLE void tool_22Click(TObject*) { ToolImageClick(22); }
    Q_INVOKABLE void tool_23Click(TObject*) { ToolImageClick(23); }
    Q_INVOKABLE void tool_24Click(TObject*) { ToolImageClick(24); }
    Q_INVOKABLE void tool_25Click(TObject*) { ToolImageClick(25); }
    Q_INVOKABLE void tool_26Click(TObject*) { ToolImageClick(26); }
    Q_INVOKABLE void tool_27Click(TObject*) { ToolImageClick(27); }
    Q_INVOKABLE void tool_28Click(TObject*) { ToolImageClick(28); }
    Q_INVOKABLE void tool_29Click(TObject*) { ToolImageClick(29); }
    Q_INVOKABLE void tool_30Click(TObject*) { ToolImageClick(30); }
    Q_INVOKABLE void tool_31Click(TObject*) { ToolImageClick(31); }
    Q_INVOKABLE void tool_32Click(TObject*) { ToolImageClick(32); }
    void ToolImageClick(int n);
    void HoverToolImage(int n, int group);
    // Resets the active document's selection drawing after a tool change.
    void RestartDrawingSurface();
    // Opens the radial-centre dialog (created on first use) modally.
    void ShowRadialCenterDialog();

    // ---- the document's command dialogs, each made on first use (command_dialogs.cpp) ----
    void ShowPencilSizeDialog();
    void ShowTextOptions();
    void ShowPasteDialog();
    // New: the new-project dialog, made once and kept.
    Q_INVOKABLE void ToolButton1Click(TObject* Sender);
    Q_INVOKABLE void Image14Click(TObject* Sender);
    Q_INVOKABLE void Scan1Click(TObject* Sender);
    Q_INVOKABLE void ReplaceColors1Click(TObject* Sender);
    Q_INVOKABLE void ExchangeColors1Click(TObject* Sender);
    int PaletteGroup(int n) const;

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

    // ---- colour panel (colour_panel.cpp) ----
    Q_INVOKABLE void colorbaraChange(TObject* Sender);
    Q_INVOKABLE void colorbarrChange(TObject* Sender);
    Q_INVOKABLE void colorbargChange(TObject* Sender);
    Q_INVOKABLE void colorbarbChange(TObject* Sender);
    Q_INVOKABLE void coloraChange(TObject* Sender);
    Q_INVOKABLE void colorrChange(TObject* Sender);
    Q_INVOKABLE void colorgChange(TObject* Sender);
    Q_INVOKABLE void colorbChange(TObject* Sender);
    Q_INVOKABLE void coloraKeyPress(TObject* Sender, QChar& Key);
    Q_INVOKABLE void colorrKeyPress(TObject* Sender, QChar& Key);
    Q_INVOKABLE void colorgKeyPress(TObject* Sender, QChar& Key);
    Q_INVOKABLE void colorbKeyPress(TObject* Sender, QChar& Key);
    Q_INVOKABLE void upClick(TObject* Sender);
    Q_INVOKABLE void downClick(TObject* Sender);
    Q_INVOKABLE void Timer1Timer(TObject* Sender);
    Q_INVOKABLE void upDblClick(TObject* Sender);
    Q_INVOKABLE void downDblClick(TObject* Sender);
    Q_INVOKABLE void Image43Click(TObject* Sender);
    Q_INVOKABLE void Image42Click(TObject* Sender);
    Q_INVOKABLE void coloreditClick(TObject* Sender);
    Q_INVOKABLE void opacityChange(TObject* Sender);
    Q_INVOKABLE void opacityKeyPress(TObject* Sender, QChar& Key);
    // Loads both stored colours into the panel, secondary first, leaving the primary edited.
    void PrimeColorPanel();

    // ---- colour palettes (colour_palettes.cpp) ----
    Q_INVOKABLE void colorxpMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void color256MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void color16MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void color1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void colorxpMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void colorxpMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void color256MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void color256MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void color16MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void color16MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void color1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void color1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void move_okMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void down_okMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void move_okMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void down_okMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void Timer4Timer(TObject* Sender);

    // ---- document tab strip (tab_strip.cpp) ----
    Q_INVOKABLE void icon1Click(TObject*) { DocumentTileClick(1); }
    Q_INVOKABLE void icon2Click(TObject*) { DocumentTileClick(2); }
    Q_INVOKABLE void icon3Click(TObject*) { DocumentTileClick(3); }
    Q_INVOKABLE void icon4Click(TObject*) { DocumentTileClick(4); }
    Q_INVOKABLE void icon5Click(TObject*) { DocumentTileClick(5); }
    Q_INVOKABLE void icon6Click(TObject*) { DocumentTileClick(6); }
    Q_INVOKABLE void icon7Click(TObject*) { DocumentTileClick(7); }
    Q_INVOKABLE void icon8Click(TObject*) { DocumentTileClick(8); }
    Q_INVOKABLE void icon9Click(TObject*) { DocumentTileClick(9); }
    Q_INVOKABLE void icon10Click(TObject*) { DocumentTileClick(10); }
    Q_INVOKABLE void icon11Click(TObject*) { DocumentTileClick(11); }
    Q_INVOKABLE void icon12Click(TObject*) { DocumentTileClick(12); }
    Q_INVOKABLE void icon13Click(TObject*) { DocumentTileClick(13); }
    Q_INVOKABLE void icon14Click(TObject*) { DocumentTileClick(14); }
    Q_INVOKABLE void icon15Click(TObject*) { DocumentTileClick(15); }
    Q_INVOKABLE void icon16Click(TObject*) { DocumentTileClick(16); }
    Q_INVOKABLE void icon17Click(TObject*) { DocumentTileClick(17); }
    Q_INVOKABLE void icon18Click(TObject*) { DocumentTileClick(18); }
    Q_INVOKABLE void icon19Click(TObject*) { DocumentTileClick(19); }
    Q_INVOKABLE void icon20Click(TObject*) { DocumentTileClick(20); }
    Q_INVOKABLE void icon21Click(TObject*) { DocumentTileClick(21); }
    Q_INVOKABLE void icon22Click(TObject*) { DocumentTileClick(22); }
    Q_INVOKABLE void icon23Click(TObject*) { DocumentTileClick(23); }
    Q_INVOKABLE void icon24Click(TObject*) { DocumentTileClick(24); }
    Q_INVOKABLE void icon1MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(4); }
    Q_INVOKABLE void icon2MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(5); }
    Q_INVOKABLE void icon3MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(6); }
    Q_INVOKABLE void icon4MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(7); }
    Q_INVOKABLE void icon5MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(8); }
    Q_INVOKABLE void icon6MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(9); }
    Q_INVOKABLE void icon7MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(10); }
    Q_INVOKABLE void icon8MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(11); }
    Q_INVOKABLE void icon9MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(12); }
    Q_INVOKABLE void icon10MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(13); }
    Q_INVOKABLE void icon11MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(14); }
    Q_INVOKABLE void icon12MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(15); }
    Q_INVOKABLE void icon13MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(16); }
    Q_INVOKABLE void icon14MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(17); }
    Q_INVOKABLE void icon15MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(18); }
    Q_INVOKABLE void icon16MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(19); }
    Q_INVOKABLE void icon17MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(20); }
    Q_INVOKABLE void icon18MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(21); }
    Q_INVOKABLE void icon19MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(22); }
    Q_INVOKABLE void icon20MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(23); }
    Q_INVOKABLE void icon21MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(24); }
    Q_INVOKABLE void icon22MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(25); }
    Q_INVOKABLE void icon23MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(26); }
    Q_INVOKABLE void icon24MouseDown(TObject*, TMouseButton, TShiftState, int, int) { HighlightDocumentTab(27); }
    Q_INVOKABLE void move_up_listMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void move_ok_listMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void move_down_listMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void down_up_listMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void down_ok_listMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void down_down_listMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void move_up_listMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void move_ok_listMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void move_down_listMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void down_up_listMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void down_ok_listMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void down_down_listMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void Timer6Timer(TObject* Sender);
    Q_INVOKABLE void move_ok_upMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void move_down_upMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void move_ok_clickMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void move_ok_upMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void move_down_clickMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void move_down_upMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    // Tile n clicked: its document comes to the front, or a new project starts on an empty tile.
    void DocumentTileClick(int n);
    // The slot HighlightDocumentTab marked last (0: none).
    int HighlightedTab = 0;

    // ---- skins and window arrangement (skin_application.cpp) ----
    // Pushes a skin into every window that exists: choice 0..4 a built-in style, 5 the skin file
    // SkinFileName. The program is minimised meanwhile and restored in every case; a skin file
    // that cannot be loaded reaches no window and is reported after the restore.
    void ApplySkin(int choice);
    bool TileVertically = false;
    Q_INVOKABLE void MacOS1Click(TObject* Sender);
    Q_INVOKABLE void WinXP1Click(TObject* Sender);
    Q_INVOKABLE void DeepBlue1Click(TObject* Sender);
    Q_INVOKABLE void Proteim1Click(TObject* Sender);
    Q_INVOKABLE void BlueGlass1Click(TObject* Sender);
    Q_INVOKABLE void RestoreDefault1Click(TObject* Sender);
    Q_INVOKABLE void Tile1Click(TObject* Sender);
    Q_INVOKABLE void Cascade1Click(TObject* Sender);

    // ---- frame controls and commands that open windows (frame_controls.cpp) ----
    Q_INVOKABLE void minClick(TObject* Sender);
    Q_INVOKABLE void mnoClick(TObject* Sender);
    Q_INVOKABLE void clsClick(TObject* Sender);
    Q_INVOKABLE void minMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void mnoMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void clsMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void ToolBar1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void ToolButton28Click(TObject* Sender);
    Q_INVOKABLE void ToolButton18Click(TObject* Sender);
    Q_INVOKABLE void N34Click(TObject* Sender);
    Q_INVOKABLE void clicknoMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void Panel13MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void Image17Click(TObject* Sender);
    Q_INVOKABLE void Image37Click(TObject* Sender);
    Q_INVOKABLE void RxGIFAnimator2Click(TObject* Sender);
    // The scratch cursor the hot-spot command and the cursor test write and load.
    QString HotSpotCursorPath() const;
    // Gives the caption buttons and the Photoshop button their pictures (at creation).
    void SetUpFrameControls();
    // Places the caption buttons at the right end of the tool-bar area.
    void PlaceCaptionButtons();

    // ---- Photoshop exchange (photoshop_exchange.cpp) ----
    Q_INVOKABLE void Timer2Timer(TObject* Sender);
    Q_INVOKABLE void SendthisimagetoPhotoshop1Click(TObject* Sender);
    Q_INVOKABLE void clicknoClick(TObject* Sender);
    Q_INVOKABLE void clickupClick(TObject* Sender);
    Q_INVOKABLE void SaveBack1Click(TObject* Sender);

    // ---- printing (printing.cpp) ----
    Q_INVOKABLE void PrintSetup1Click(TObject* Sender);
    Q_INVOKABLE void PrintwithPreview1Click(TObject* Sender);
    Q_INVOKABLE void Print1Click(TObject* Sender);

    // ---- help menu and tip of the day (help_commands.cpp) ----
    Q_INVOKABLE void Help1Click(TObject* Sender);
    Q_INVOKABLE void SubscribeNewsletters1Click(TObject* Sender);
    Q_INVOKABLE void BRELNOVACommunityForum1Click(TObject* Sender);
    // The Help menu's links to the maker's pages, each opening its page in the web window.
    Q_INVOKABLE void WebLinkClick(TObject* Sender);
    Q_INVOKABLE void OtherProducts1Click(TObject* Sender);
    Q_INVOKABLE void Tipoftheday1Click(TObject* Sender);

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
    QString SaveDialogFileName() const override;
    void SetSaveDialogFileName(const QString& name) override;
    bool ShowPrintPage(const QImage& picture, const QString& title) override;
    int MainUIStyle() const override;

private:
    // Steps of the colour panel shared by its handlers (colour_panel.cpp).
    void ColorBarChanged(bool opacity);
    void ColorEditChanged(const char* channel);
    void SelectSwatch(const QString& target);
    void PaintSwatchFromStore(const QString& target);
    // Puts the colour under a palette pick into the panel's edits (colour_palettes.cpp).
    void PickPaletteColor(const QString& palette, int x, int y);
    void PickPattern(const QString& palette, const QString& folder, int x, int y);
    void ScrollPalettes();
    void ShowArrowImages(const char* const names[3], int shown);
    void SetComponentProperty(const QString& name, const char* property, const QVariant& value);
    TControl* Control(const QString& name) const;

    // Binds every palette picture's mouse handlers and gives it its picture (tool_palette.cpp).
    void SetUpToolPalette();
    void ShowToolImageState(int n, int state);
    void ChooseDrawingTool(int n);
    void ChooseSelectionTool();
    void ChooseImageGradient();
    void CheckToolsMenuItem(int n);
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

// Runs the start-up update check in the mode read from the configuration (TStartupUpdateCheck);
// installed at start-up by the window that makes the check. Without one no check runs.
using TStartupUpdateCheckRunner = void (*)(int mode);
void SetStartupUpdateCheckRunner(TStartupUpdateCheckRunner runner);
