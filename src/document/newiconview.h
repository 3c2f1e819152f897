#pragma once

// The window of one icon project: the format list column, the zoomed pixel canvas with its
// checkerboard, grid and hover cell, the hidden backdrop previews start from, the thumbnails on
// the main window, undo and redo, and the hidden command buttons and popup items through which
// the main window and the dialogs drive it by name. The project's state (format table, format
// bitmaps, undo histories) is the TIconDocument part.

#include "document/icon_document.h"
#include "document/selection.h"
#include "framework/forms.h"
#include "framework/owner_draw.h"

#include <array>
#include <vector>

class QImage;
class TBitmap32;
class TCustomLayer;
class TImage;
class TImage32;
class TMenuItem;
class TMyListBox;
class TPositionedLayer;
class TsuiForm;

// One line of the canvas grid: along a row (Y1 == Y2) or a column, whole pixels.
struct TGridLine {
    int X1, Y1, X2, Y2;
    uint32_t Colour;
};

class Tnewiconview : public TForm, public TIconDocument, public TDocumentSelection {
    Q_OBJECT

public:
    // Builds the window from its definition and runs its creation. The first document made is
    // the template "newiconview"; later ones are projects, renamed by their creator.
    explicit Tnewiconview(QWidget* owner = nullptr);
    ~Tnewiconview() override;

    // Components the canvas routines use (found once the definition is loaded).
    TsuiForm* suiForm1 = nullptr;
    TImage32* iconview = nullptr;
    TImage32* iconviewbg = nullptr;
    TControl* ScrollBox2 = nullptr;
    TControl* PaintBox1 = nullptr;
    TControl* MyListBox1 = nullptr;
    TImage* bgimage = nullptr;
    TImage* copybm = nullptr;
    TPositionedLayer* GridLayer = nullptr;

    bool IsTemplate() const;

    // ---- format table and canvas ----
    void InitFormats(int width, int height, const QString& kind);
    void ClearBackdrop();
    void ResetBackdrop(const QString& marker);
    void ResetCanvas(const QString& marker);
    void RebuildView(const QString& marker = QStringLiteral("dorvelt"));
    // "big" zooms in, any other marker out.
    void ApplyZoom(const QString& marker);
    void CreateGridLayer(const QString& marker = QStringLiteral("dorvelt"));
    void ShowHoverCell(int x, int y);
    // The canvas without the hover cell.
    void HideHoverCell();
    void DrawFloatingOverlay(const QString& marker = QStringLiteral("dorvelt"));
    void UpdateThumbnails(const QString& marker = QStringLiteral("dorvelt"));
    void SelectWholeCanvas();
    // Loads an undo state file into the current format, or with "dorvelt" takes over a confirmed
    // screen capture; then redraws.
    void LoadUndoState(const QString& pathOrMarker) override;
    // The checkerboard over the target's whole control area, and the current format drawn zoomed
    // over it (nearest neighbour, half-pixel offset).
    void FillCheckerboard(TImage32* target);
    void FillCheckerboard(TImage32* target, int width, int height);
    void DrawFormatOver(TImage32* target);
    void RepaintFormatList();
    // The grid lines and border on a canvas buffer. With an area, only its pixels are drawn,
    // exactly as drawing the whole grid draws them; false (nothing drawn) when the grid reaches
    // past the buffer, which only the whole grid can draw.
    void PaintGrid(TBitmap32* buffer);
    bool PaintGrid(TBitmap32* buffer, const TRect& area);
    // Its lines, in the order they are drawn.
    std::vector<TGridLine> GridLines() const;

    // ---- handlers bound by the definition ----
    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void FormPaint(TObject* Sender);
    Q_INVOKABLE void FormCloseQuery(TObject* Sender, bool& CanClose);
    Q_INVOKABLE void FormClose(TObject* Sender, TCloseAction& Action);
    Q_INVOKABLE void FormDestroy(TObject* Sender);
    Q_INVOKABLE void suiForm1Click(TObject* Sender);
    Q_INVOKABLE void suiForm1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void ActivateMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void ActivateMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void Timer2Timer(TObject* Sender);
    Q_INVOKABLE void BitBtn1Click(TObject* Sender);
    Q_INVOKABLE void BitBtn2Click(TObject* Sender);
    Q_INVOKABLE void BitBtn3Click(TObject* Sender);
    Q_INVOKABLE void BitBtn5Click(TObject* Sender);
    Q_INVOKABLE void BitBtn7Click(TObject* Sender);
    Q_INVOKABLE void BitBtn8Click(TObject* Sender);
    Q_INVOKABLE void BitBtn19Click(TObject* Sender);
    Q_INVOKABLE void BitBtn20Click(TObject* Sender);
    Q_INVOKABLE void BitBtn23Click(TObject* Sender);
    Q_INVOKABLE void BitBtn24Click(TObject* Sender);
    Q_INVOKABLE void BitBtn26Click(TObject* Sender);
    Q_INVOKABLE void BitBtn40Click(TObject* Sender);
    Q_INVOKABLE void BitBtn41Click(TObject* Sender);
    Q_INVOKABLE void Button9Click(TObject* Sender);
    Q_INVOKABLE void Grid1Click(TObject* Sender);
    Q_INVOKABLE void Zoomin1Click(TObject* Sender);
    Q_INVOKABLE void Zoomout1Click(TObject* Sender);
    Q_INVOKABLE void FittoWindowZomm1Click(TObject* Sender);

    // ---- format list, format management and the document's files (newiconview_formats.cpp) ----
    TMyListBox* FormatList() const;
    // One list entry per format, the current one selected.
    void SyncFormatListItems();
    // Re-sorts the formats; the current format stays current at its new place.
    void SortFormatsKeepingCurrent();
    Q_INVOKABLE void MyListBox1Click(TObject* Sender);
    Q_INVOKABLE void MyListBox1DrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);
    Q_INVOKABLE void MyListBox1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void BitBtn18Click(TObject* Sender);
    Q_INVOKABLE void BitBtn21Click(TObject* Sender);
    Q_INVOKABLE void BitBtn22Click(TObject* Sender);
    Q_INVOKABLE void BitBtn37Click(TObject* Sender);
    Q_INVOKABLE void BitBtn46Click(TObject* Sender);
    Q_INVOKABLE void deleteformatClick(TObject* Sender);
    // Asks whether to remove the current format; OK runs deleteformat.
    Q_INVOKABLE void RemoveImageFormat1Click(TObject* Sender);
    // Shows a new new-format dialog; its OK runs BitBtn18 (newiconview_new_format.cpp).
    Q_INVOKABLE void addimageSHOW1Click(TObject* Sender);
    Q_INVOKABLE void Create3232WinXPImageFormat1Click(TObject* Sender);
    Q_INVOKABLE void ShowImageFormatList1Click(TObject* Sender);
    Q_INVOKABLE void ShowListonLeft1Click(TObject* Sender);
    Q_INVOKABLE void ShowListonRight1Click(TObject* Sender);
    Q_INVOKABLE void NewIconProjectFromThisImage1Click(TObject* Sender);
    Q_INVOKABLE void NewGifProjectFromThisImage1Click(TObject* Sender);
    Q_INVOKABLE void NewGifProjectFromThisImage2Click(TObject* Sender);

    // ---- whole-picture commands of the current format (newiconview_image_commands.cpp) ----
    Q_INVOKABLE void BitBtn9Click(TObject* Sender);
    Q_INVOKABLE void BitBtn10Click(TObject* Sender);
    Q_INVOKABLE void BitBtn11Click(TObject* Sender);
    Q_INVOKABLE void BitBtn12Click(TObject* Sender);
    Q_INVOKABLE void BitBtn13Click(TObject* Sender);
    Q_INVOKABLE void BitBtn14Click(TObject* Sender);
    Q_INVOKABLE void BitBtn32Click(TObject* Sender);
    Q_INVOKABLE void BitBtn33Click(TObject* Sender);
    Q_INVOKABLE void BitBtn34Click(TObject* Sender);
    Q_INVOKABLE void BitBtn35Click(TObject* Sender);
    Q_INVOKABLE void BitBtn36Click(TObject* Sender);
    Q_INVOKABLE void BitBtn39Click(TObject* Sender);
    Q_INVOKABLE void BitBtn42Click(TObject* Sender);
    Q_INVOKABLE void BitBtn43Click(TObject* Sender);
    Q_INVOKABLE void BitBtn45Click(TObject* Sender);
    Q_INVOKABLE void Button2Click(TObject* Sender);
    Q_INVOKABLE void Button3Click(TObject* Sender);
    Q_INVOKABLE void Button4Click(TObject* Sender);
    Q_INVOKABLE void Button5Click(TObject* Sender);
    Q_INVOKABLE void Button6Click(TObject* Sender);
    Q_INVOKABLE void Button7Click(TObject* Sender);
    Q_INVOKABLE void Button8Click(TObject* Sender);
    // ---- export, snapshot and hand-offs (newiconview_export.cpp) ----
    // Raised by each hand-off to Photoshop; numbers the hand-off files.
    int PhotoshopSendCount = 0;
    // The current format's picture (empty when it has none).
    QImage CurrentPicture() const;
    // The export of the current format in the format word of CommandArgument to the main
    // window's save dialog's file.
    Q_INVOKABLE void Button1Click(TObject* Sender);
    Q_INVOKABLE void BitBtn25Click(TObject* Sender);
    Q_INVOKABLE void BitBtn29Click(TObject* Sender);
    Q_INVOKABLE void Ps1Click(TObject* Sender);
    Q_INVOKABLE void PrintClick(TObject* Sender);
    Q_INVOKABLE void Properties1Click(TObject* Sender);
    Q_INVOKABLE void BitmapImage1Click(TObject* Sender);
    Q_INVOKABLE void PngwithTransparency1Click(TObject* Sender);
    Q_INVOKABLE void CreateSnapshot1Click(TObject* Sender);

    // ---- selection, floating pixels and the editor's clipboard (newiconview_selection.cpp) ----
    // Shows the marquee of the selection rectangle in the overlay's pen (dotted, 1 wide).
    void DrawSelectionMarquee();
    // Both canvases: the format with the floating pixels over it at the rectangle.
    void RedrawWithFloatingPixels();
    // Puts floating pasted or text pixels at the canvas's top-left corner (the overlay does it
    // once after each paste and text placement).
    void PlaceFloatingPixels();
    // The rectangle holds canvas pixels of the zoom it was made at: after a zoom change it is
    // brought to the same image cells at the document's zoom.
    void FitSelectionToZoom();
    // After a zoom change: the rectangle and what floats, shown at the new zoom.
    void ShowSelectionAtZoom();
    // Drops whatever floats into the current format: a save, or a switch to another format,
    // takes the picture the user sees.
    void CommitFloatingPixels();
    // The drop and redraw of BitBtn1 without its undo step; true when pixels floated.
    bool DropFloatingIntoFormat();
    // Composites the floating pixels into the current format at the image cells' top-left
    // corner; a palette format is reduced to its table and shown again.
    void LandFloatingPixels(const TRect& cells);
    // Lets go of what floats without dropping it: lifted pixels go back where they were lifted
    // from (true), a paste or text is discarded (false, as when nothing floats).
    bool CancelFloatingPixels();
    // Cut, copy or delete of the selected (or floating) pixels.
    enum class TCopyMode { Cut, Copy, Delete };
    // False when the document holds no selection of its own to cut, copy or delete.
    bool CopySelection(TCopyMode mode);
    Q_INVOKABLE void PaintBox1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void PaintBox1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void PaintBox1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void PaintBox1Paint(TObject* Sender);
    Q_INVOKABLE void BitBtn4Click(TObject* Sender);
    Q_INVOKABLE void BitBtn15Click(TObject* Sender);
    Q_INVOKABLE void BitBtn16Click(TObject* Sender);
    Q_INVOKABLE void BitBtn17Click(TObject* Sender);
    Q_INVOKABLE void BitBtn27Click(TObject* Sender);
    Q_INVOKABLE void BitBtn28Click(TObject* Sender);
    Q_INVOKABLE void BitBtn31Click(TObject* Sender);
    Q_INVOKABLE void BitBtn38Click(TObject* Sender);
    Q_INVOKABLE void Selectall1Click(TObject* Sender);
    Q_INVOKABLE void Copy1Click(TObject* Sender);
    Q_INVOKABLE void CancelSelect1Click(TObject* Sender);

protected:
    QString DocumentName() const override { return objectName(); }
    // The drawn title follows the window's caption, whoever sets it.
    void TextChanged() override;

private:
    void BindComponents();
    void FreeGridLayer();
    void SetCanvasSize(int width, int height);
    // Tells the canvas to repaint whole when the grid's lines changed since it last painted them.
    void NoteGridLines();
    std::array<int, 3> gridLines_{};
    // Puts the canvas into the scroll box at unscrolled coordinates and brings the scroll bars
    // in line with it.
    void PlaceCanvas(int left, int top, int width, int height);
    void RememberViewCentre();
    double anchorX_ = 0.5, anchorY_ = 0.5;
    // Copies the backdrop onto the canvas bitmap sized Zoom times the format, and repaints.
    void CopyBackdropToCanvas();
    void ShowStatusLabels();
    void SizeToMainWindow();
    int DocumentNumber() const;
    bool refitting_ = false;
    TMenuItem* MenuItem(const QString& name) const;
    void FinishFormatAdd();
    void PlaceFormatList(bool right);
    // Image commands' helpers.
    void TurnFormat(int turn);
    // Whether another format has the current one's size turned a quarter, and its kind.
    bool TurnedSizeTaken() const;
    // The current format takes its size turned a quarter and is shown at its sorted place.
    void TakeTurnedSize();
    // After a rotation or resize: the palette kinds reduced to their table, the list re-sorted
    // and the format shown.
    void PlacedOnFormat();
    // The undo step of the opacity bar's drag under way: the drag's number, the format and its
    // newest state.
    int opacityStepDrag_ = 0, opacityStepFormat_ = 0, opacityStepState_ = 0;
    void ShiftFormat(int dx, int dy);
    bool ReplaceFormatFrom(GpImage* source);
    void RebuildWithThumbnails();
    // The selection's pieces (newiconview_selection.cpp).
    void StartSelectionRectangle(int px, int py);
    void DropFloatingPixels();
    void PasteFrom(GpImage* picture, bool scaled);
    void SetCutCopyControls(bool enabled);
    // The floating pixels are one for the application: another document that still has some
    // drops them into its own format before this one takes the selection over.
    void ClaimSelection();
    // The rectangle is one for the application, but a selection belongs to the document it was
    // drawn in: only that one shows it and cuts, copies or deletes through it. A document that
    // starts a selection of its own takes the rectangle over, empty.
    bool OwnsSelection() const;
    void TakeSelection();
    void MarkFloatingOwner();
    void MarkCanvasTouched();
    void NoteFloatingPlace();
};

// The selection rectangle of the application (in canvas pixels), one for every document; it is
// kept by the pencil-size dialog's global instance, made when missing.
TRect& SelectionRect();
// The checkerboard tile chosen in the editing options; the options dialog sets it before it
// clicks every document's Button9.
void SetEditingOptionsTile(const QImage& tile);
QImage EditingOptionsTile();

// Registers the document's classes with the window-definition loader (and every class its
// definition uses); the program and the tests call it before making a document.
void RegisterDocumentClasses();

// Initial zoom of a format of that size, and the size of its preview on the main window.
int InitialZoom(int width, int height);
TSize PreviewSize(int width, int height);
