#pragma once

// The import window. In picture mode it shows one picture, lets the user take all of it or drag
// out a rectangle, copy it to and paste it from the clipboard, and makes a new icon project whose
// formats are that picture at every checked size and kind. In library mode it shows the icon
// groups of an icon library or executable as a grid, lists the images of the selected group and
// opens, saves, adds, deletes and exports groups.

#include "framework/forms.h"
#include "framework/grids.h"
#include "framework/owner_draw.h"

#include <functional>

#include <QImage>
#include <QRect>
#include <memory>

class ImagingControl;
class TCustomLayer;
class TIconLibrary;
class TMultiIcon;
class Tnewiconview;
class TFileHost;

class Tloadimagedorv : public TForm {
    Q_OBJECT

public:
    explicit Tloadimagedorv(QWidget* owner = nullptr);
    ~Tloadimagedorv() override;

    // ---- picture mode ----
    QString PictureFile;
    int SourceCode = 0;
    QImage SelectedPicture;
    QRect SelectionRect;
    bool Dragging = false;
    QPoint DragStart;
    QPoint DragCurrent;
    bool RectangleDrawn = false;
    bool LibraryMode = false;
    // The picture as read when the window opened it; null when it could not be decoded.
    QImage Picture;
    // The outside image control that shows a picture of a format read by neither the picture
    // classes nor this window; null otherwise.
    ImagingControl* ImagingHost = nullptr;

    // ---- library mode ----
    std::unique_ptr<TIconLibrary> Library;
    int GroupCount = 0;
    int SelectedCell = 0;
    TMultiIcon* CurrentGroup = nullptr;
    int SizeFilter = 48;
    int DepthFilter = 32;
    int SelectedFormatItem = 0;

    void OpenPictureFile(const QString& path, int sourceCode);
    void OpenIconLibraryFile(const QString& path);
    // The project made by the last Import Now (null before one).
    Tnewiconview* ImportedDocument = nullptr;

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormClose(TObject* Sender, TCloseAction& Action);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void suiButton3Click(TObject* Sender);
    Q_INVOKABLE void suiButton4Click(TObject* Sender);
    Q_INVOKABLE void suiButton5Click(TObject* Sender);
    Q_INVOKABLE void suiButton6Click(TObject* Sender);
    Q_INVOKABLE void suiButton7Click(TObject* Sender);
    Q_INVOKABLE void suiCheckBox7Click(TObject* Sender);
    Q_INVOKABLE void Edit1KeyPress(TObject* Sender, QChar& Key);
    Q_INVOKABLE void Edit2KeyPress(TObject* Sender, QChar& Key);
    Q_INVOKABLE void upMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y, TCustomLayer* Layer);
    Q_INVOKABLE void upMouseMove(TObject* Sender, TShiftState Shift, int X, int Y, TCustomLayer* Layer);
    Q_INVOKABLE void upMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y, TCustomLayer* Layer);

    Q_INVOKABLE void DrawGrid1DrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    Q_INVOKABLE void DrawGrid1SelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    Q_INVOKABLE void DrawGrid1DblClick(TObject* Sender);
    Q_INVOKABLE void ListBox1DrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);
    Q_INVOKABLE void ListBox1Click(TObject* Sender);
    Q_INVOKABLE void ListBox1DblClick(TObject* Sender);
    Q_INVOKABLE void ToolButton1Click(TObject* Sender);
    Q_INVOKABLE void ToolButton2Click(TObject* Sender);
    Q_INVOKABLE void ToolButton3Click(TObject* Sender);
    Q_INVOKABLE void ToolButton4Click(TObject* Sender);
    Q_INVOKABLE void ToolButton6Click(TObject* Sender);
    Q_INVOKABLE void ToolButton7Click(TObject* Sender);
    Q_INVOKABLE void ToolButton8Click(TObject* Sender);
    Q_INVOKABLE void ToolButton10Click(TObject* Sender);
    Q_INVOKABLE void ToolButton11Click(TObject* Sender);
    Q_INVOKABLE void ToolButton13Click(TObject* Sender);
    Q_INVOKABLE void ToolButton14Click(TObject* Sender);
    Q_INVOKABLE void ToolButton15Click(TObject* Sender);
    Q_INVOKABLE void N1Click(TObject* Sender);
    Q_INVOKABLE void N5Click(TObject* Sender);
    Q_INVOKABLE void ddddClick(TObject* Sender);
    Q_INVOKABLE void ICL1Click(TObject* Sender);
    Q_INVOKABLE void N11Click(TObject* Sender);
    Q_INVOKABLE void MenuItem1Click(TObject* Sender);
    Q_INVOKABLE void MenuItem3Click(TObject* Sender);
    Q_INVOKABLE void MenuItem4Click(TObject* Sender);
    Q_INVOKABLE void MenuItem9Click(TObject* Sender);

    // The group of a grid cell (from 1), or null.
    TMultiIcon* Group(int n) const;
    // The image index the format-list item (from 0) shows.
    int ItemImage(int item) const;

private:
    QObject* Part(const char* name) const;
    void SetVisible(const char* name, bool visible);
    void SetCaptionOf(const char* name, const QString& text);
    bool Checked(int box) const;
    QImage LoadThroughOutsideControl(const QString& path);
    void DrawPreview();
    void RestorePreview();
    void ShowPreviewImage(const QImage& image);
    void SetDepthFilter(int depth);
    void SetSizeFilter(int size);
    void FillGrid();
    void FillFormatList();
    void SaveGroup();
    void SaveImage();
    void ExportLibrary(bool appendExtension);
    void OpenScratchAsProject(const QString& path);
    void DeleteExchangeBitmap();
    QImage PreviewImage;
};

extern Tloadimagedorv* loadimagedorv;

// How the window reaches the main window's open routines: the app installs a maker of the main
// window's file host; without one a plain host on the editor state is used.
void SetImportFileHostMaker(std::function<std::unique_ptr<TFileHost>()> maker);
std::unique_ptr<TFileHost> MakeImportFileHost();

// Registers the classes the import windows' definitions name.
void RegisterImportClasses();
