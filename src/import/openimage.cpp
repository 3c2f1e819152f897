#include "import/openimage.h"

#include "document/editor_state.h"
#include "document/scratch_folder.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/dialogs.h"
#include "framework/grids.h"
#include "framework/image.h"
#include "framework/menus.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "import/formscreen.h"
#include "import/import_fonts.h"
#include "import/import_rules.h"
#include "import/import_windows.h"
#include "import/loadimagedorv.h"
#include "skin/file_theme.h"
#include "skin/theme_manager.h"

#include <QCursor>
#include <QPainter>

Topenimage* openimage = nullptr;

namespace {

QImage ThumbBackground(bool selected)
{
    QImage cell(125, 67, QImage::Format_ARGB32);
    cell.fill(selected ? qRgb(0x3A, 0x6E, 0xC8) : qRgb(0xF2, 0xF2, 0xF2));
    return cell;
}

QImage ViewerTile()
{
    QImage tile(24, 24, QImage::Format_ARGB32);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            tile.setPixel(x, y, ((x / 8 + y / 8) & 1) ? qRgb(0xCC, 0xCC, 0xCC) : qRgb(0xFF, 0xFF, 0xFF));
    return tile;
}

} // namespace

Topenimage::Topenimage(QWidget* owner) : TForm(owner)
{
    RegisterImportClasses();
    LoadDefinition(QStringLiteral(":/import/openimage.wdf"));
    if (!openimage)
        openimage = this;
}

Topenimage::~Topenimage()
{
    if (openimage == this)
        openimage = nullptr;
}

void Topenimage::FormCreate(TObject*)
{
    SetBounds(-2, -2, 732, 614);
}

void Topenimage::FormShow(TObject*)
{
    TEditorState* state = EditorState();
    if (!state)
        return;
    if (auto* theme = qobject_cast<TsuiFileTheme*>(FindComponent(QStringLiteral("suiFileTheme1"))))
        theme->SetThemeFile(state->MainThemeFile());
    if (auto* manager = qobject_cast<TsuiThemeManager*>(FindComponent(QStringLiteral("suiThemeManager1"))))
        manager->SetUIStyle(TsuiUIStyle(state->MainUIStyle()));
}

void Topenimage::FormClose(TObject*, TCloseAction& Action)
{
    Action = caFree;
}

QString Topenimage::FrameFile(int i) const
{
    return ScratchPath(QStringLiteral("gif_%1_%2.png").arg(ViewerNumber).arg(i));
}

void Topenimage::AfterSplit(int count)
{
    FrameCount = count;
    SourceKind = QStringLiteral("gif");
    if (auto* grid = qobject_cast<TDrawGrid*>(FindComponent(QStringLiteral("suiDrawGrid1")))) {
        grid->SetRowCount(std::max(count, 1));
        grid->Invalidate();
    }
}

bool Topenimage::ExtractGifFrames(const QString& path)
{
    QString why;
    const QString prefix = FrameFile(0).chopped(5);
    const int count = SplitGifFrames(path, prefix, &why);
    if (count == 0) {
        MessageDlg(why, mtWarning, MsgDlgButtons({mbOK}));
        return false;
    }
    AfterSplit(count);
    ShowFrame(0);
    return true;
}

bool Topenimage::ExtractImagePages(const QString& path)
{
    QString why;
    const QString prefix = FrameFile(0).chopped(5);
    const int count = SplitImageLayers(path, prefix, &why);
    if (count == 0) {
        MessageDlg(why, mtWarning, MsgDlgButtons({mbOK}));
        return false;
    }
    AfterSplit(count);
    return true;
}

void Topenimage::suiDrawGrid1DrawCell(TObject* Sender, int, int ARow, TRect Rect, TGridDrawState)
{
    const int n = ARow + 1;
    auto* grid = dynamic_cast<TDrawGrid*>(Sender);
    if (!grid || SourceKind != QLatin1String("gif") || n > FrameCount)
        return;
    QPainter* p = grid->Canvas()->Handle();
    if (!p)
        return;
    p->drawImage(Rect.Left, Rect.Top + (75 - 67) / 2 - 2, ThumbBackground(n == SelectedFrame));
    const QImage picture = ReadPicture(FrameFile(ARow));
    if (!picture.isNull()) {
        const int w = std::min(picture.width(), 80), h = std::min(picture.height(), 50);
        p->drawImage(QRect(Rect.Left + (125 - w) / 2 - 5, Rect.Top + (75 - 67) / 2 + 3, w, h), picture);
    }
    QFont font(ImportFontFamily(QStringLiteral("MS PGothic")));
    font.setPixelSize(10);
    p->setFont(font);
    p->setPen(n == SelectedFrame ? Qt::white : Qt::black);
    p->drawText(Rect.Left + (125 - 40) / 2, Rect.Top + 75 - 18 + QFontMetrics(font).ascent(), QStringLiteral("Layer ") + QString::number(n));
}

void Topenimage::suiDrawGrid1SelectCell(TObject*, int, int ARow, bool&)
{
    if (SourceKind == QLatin1String("gif"))
        ShowFrame(ARow);
}

void Topenimage::ShowFrame(int r)
{
    const QImage picture = ReadPicture(FrameFile(r));
    // A picture that cannot be read is not shown.
    if (picture.isNull())
        return;
    SelectedFrame = r + 1;
    ShownPicture = picture;
    Selection = QRect();
    auto* area = qobject_cast<TControl*>(FindComponent(QStringLiteral("Image17")));
    auto* shown = qobject_cast<TControl*>(FindComponent(QStringLiteral("showimage")));
    const int aw = area ? area->ClientWidth() : 400, ah = area ? area->ClientHeight() : 300;
    ZoomX = ZoomY = FitZoom(aw, ah, picture.width(), picture.height());
    const int w = picture.width() * ZoomX, h = picture.height() * ZoomY;
    if (shown)
        shown->SetBounds((aw - w) / 2 + 21, (ah - h) / 2, w, h);
    DrawShown(false);
    if (auto* grid = qobject_cast<TControl*>(FindComponent(QStringLiteral("suiDrawGrid1"))))
        grid->Invalidate();
}

void Topenimage::DrawShown(bool withSelection)
{
    auto* shown = qobject_cast<TImage*>(FindComponent(QStringLiteral("showimage")));
    if (!shown || ShownPicture.isNull())
        return;
    const int w = ShownPicture.width() * ZoomX, h = ShownPicture.height() * ZoomY;
    QImage canvas(w, h, QImage::Format_ARGB32);
    QPainter p(&canvas);
    p.fillRect(canvas.rect(), QBrush(ViewerTile()));
    p.drawImage(QRect(0, 0, w, h), ShownPicture);
    if (withSelection && !Selection.isEmpty()) {
        p.setPen(QPen(Qt::black, 2));
        p.drawRect(Selection);
    }
    p.end();
    TBitmap bitmap;
    QImageToBitmap(canvas, bitmap);
    shown->Picture()->Assign(&bitmap);
}

void Topenimage::showimage0MouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y)
{
    const bool inside = X > Selection.left() && X < Selection.right() && Y > Selection.top() && Y < Selection.bottom();
    if (Button == mbRight && inside) {
        if (auto* menu = qobject_cast<TPopupMenu*>(FindComponent(QStringLiteral("suiPopupMenu1"))))
            menu->Popup(QCursor::pos().x(), QCursor::pos().y());
        return;
    }
    Dragging = true;
    DragStart = QPoint(X, Y);
    Selection = QRect();
    if (Button == mbRight) {
        Dragging = false;
        DrawShown(false);
        if (auto* menu = qobject_cast<TPopupMenu*>(FindComponent(QStringLiteral("suiPopupMenu2"))))
            menu->Popup(QCursor::pos().x(), QCursor::pos().y());
    }
}

void Topenimage::showimageMouseMove(TObject*, TShiftState Shift, int X, int Y)
{
    if (!Dragging || !Shift.testFlag(ssLeft))
        return;
    Selection = QRect(QPoint(std::min(X, DragStart.x()), std::min(Y, DragStart.y())),
                      QPoint(std::max(X, DragStart.x()), std::max(Y, DragStart.y())));
    DrawShown(true);
}

void Topenimage::showimageMouseUp(TObject*, TMouseButton, TShiftState, int, int)
{
    Dragging = false;
}

void Topenimage::HandOver(const QImage& picture)
{
    const QString file = ScratchPath(QStringLiteral("myselect.png"));
    if (picture.isNull() || !picture.save(file, "PNG")) {
        MessageDlg(QStringLiteral("Please choose a picture first."), mtInformation, MsgDlgButtons({mbOK}));
        return;
    }
    LastImportWindow = OpenImportWindow(file, 1);
}

void Topenimage::ico1Click(TObject*)
{
    if (ShownPicture.isNull() || Selection.isEmpty() || ZoomX < 1) {
        MessageDlg(QStringLiteral("Please drag out a part of the picture first."), mtInformation, MsgDlgButtons({mbOK}));
        return;
    }
    const QRect part(QPoint(Selection.left() / ZoomX, Selection.top() / ZoomY),
                     QPoint(Selection.right() / ZoomX - 1, Selection.bottom() / ZoomY - 1));
    if (part.isEmpty()) {
        MessageDlg(QStringLiteral("Please drag out a part of the picture first."), mtInformation, MsgDlgButtons({mbOK}));
        return;
    }
    HandOver(ShownPicture.copy(part));
}

void Topenimage::N1Click(TObject*)
{
    HandOver(ShownPicture);
}

void Topenimage::suiDrawGrid1DblClick(TObject* Sender)
{
    N1Click(Sender);
}

void Topenimage::N3Click(TObject*)
{
    if (ShownPicture.isNull()) {
        MessageDlg(QStringLiteral("Please choose a picture first."), mtInformation, MsgDlgButtons({mbOK}));
        return;
    }
    auto* screen = new Tformscreen;
    screen->ShowPicture(ShownPicture);
    LastFullScreen = screen;
}

void Topenimage::DockThumbnails(bool right)
{
    if (auto* panel = qobject_cast<TControl*>(FindComponent(QStringLiteral("Panel1"))))
        panel->SetAlign(right ? alRight : alLeft);
}

void Topenimage::N7Click(TObject*) { DockThumbnails(false); }
void Topenimage::N8Click(TObject*) { DockThumbnails(true); }
void Topenimage::MenuItem9Click(TObject*) { DockThumbnails(false); }
void Topenimage::MenuItem10Click(TObject*) { DockThumbnails(true); }
