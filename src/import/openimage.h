#pragma once

// The multi-frame picture viewer: an animated GIF split into its frames, or a layered picture
// into its layers and composite, each kept as a PNG in the scratch folder, listed as thumbnails
// and shown zoomed; the whole picture or a dragged part goes to a new import window.

#include "framework/forms.h"
#include "framework/grids.h"

#include <QImage>
#include <QRect>

class Tloadimagedorv;
class Tformscreen;

class Topenimage : public TForm {
    Q_OBJECT

public:
    explicit Topenimage(QWidget* owner = nullptr);
    ~Topenimage() override;

    int ViewerNumber = 1;
    int FrameCount = 0;
    QString SourceKind;
    int SelectedFrame = 0;
    QImage ShownPicture;
    int ZoomX = 1;
    int ZoomY = 1;
    bool Dragging = false;
    // The dragged rectangle in pixels of the shown (zoomed) picture, normalised.
    QRect Selection;

    // Split the file; each returns false (having said why) when nothing could be listed.
    bool ExtractGifFrames(const QString& path);
    bool ExtractImagePages(const QString& path);
    // The scratch file of picture i (from 0).
    QString FrameFile(int i) const;
    // Shows picture r (from 0), as a click on its thumbnail does.
    void ShowFrame(int r);

    // The import window and full-screen viewer the last hand-overs made.
    Tloadimagedorv* LastImportWindow = nullptr;
    Tformscreen* LastFullScreen = nullptr;

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void FormClose(TObject* Sender, TCloseAction& Action);
    Q_INVOKABLE void suiDrawGrid1DrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    Q_INVOKABLE void suiDrawGrid1SelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    Q_INVOKABLE void suiDrawGrid1DblClick(TObject* Sender);
    Q_INVOKABLE void showimage0MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void showimageMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void showimageMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void ico1Click(TObject* Sender);
    Q_INVOKABLE void N1Click(TObject* Sender);
    Q_INVOKABLE void N3Click(TObject* Sender);
    Q_INVOKABLE void N7Click(TObject* Sender);
    Q_INVOKABLE void N8Click(TObject* Sender);
    Q_INVOKABLE void MenuItem9Click(TObject* Sender);
    Q_INVOKABLE void MenuItem10Click(TObject* Sender);

private:
    void AfterSplit(int count);
    void DrawShown(bool withSelection);
    void HandOver(const QImage& picture);
    void DockThumbnails(bool right);
    QPoint DragStart;
};

extern Topenimage* openimage;
