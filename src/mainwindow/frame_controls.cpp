#include "document/animation_builders.h"
#include "document/command_dialog.h"
#include "document/document_files.h"
#include "document/myiconshow.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/combo_box.h"
#include "framework/commands.h"
#include "framework/cursors.h"
#include "framework/dialogs.h"
#include "framework/forms.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "framework/string_list.h"
#include "mainwindow/command_routing.h"
#include "framework/menus.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/web_window.h"
#include "platform/icon_handle.h"
#include "platform/program_paths.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPixmap>

namespace {

// Cursor number of the hot-spot command's cursor in the application's cursor table.
constexpr TCursor kHotSpotCursor = 100;

TImage* ImageOf(const Ticonmain& main, const char* name)
{
    return qobject_cast<TImage*>(main.FindComponent(QLatin1String(name)));
}

void SetImagePicture(TImage* image, const QImage& picture)
{
    if (!image)
        return;
    TBitmap bitmap;
    QImageToBitmap(picture, bitmap);
    image->Picture()->Assign(&bitmap);
    image->repaint();
}

// The caption buttons' pictures: kind 0 minimise, 1 restore, 2 close; hover on a lit ground.
QImage CaptionButtonPicture(int kind, bool hover)
{
    QImage image(15, 15, QImage::Format_ARGB32);
    image.fill(hover ? QColor(0xC8, 0xDC, 0xF5) : QColor(0xEC, 0xEC, 0xEC));
    QPainter p(&image);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(0, 0, 14, 14);
    p.setPen(QPen(hover ? QColor(0x10, 0x30, 0x80) : Qt::black, 1));
    switch (kind) {
    case 0:
        p.fillRect(4, 10, 7, 2, p.pen().color());
        break;
    case 1:
        p.drawRect(6, 3, 6, 5);
        p.fillRect(3, 6, 7, 6, image.pixelColor(1, 1));
        p.drawRect(3, 6, 6, 5);
        p.drawLine(3, 7, 9, 7);
        break;
    default:
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(p.pen().color(), 1.6));
        p.drawLine(QPointF(4, 4), QPointF(11, 11));
        p.drawLine(QPointF(11, 4), QPointF(4, 11));
        break;
    }
    return image;
}

QImage PhotoshopButtonPicture(bool hover)
{
    QImage image(105, 20, QImage::Format_ARGB32);
    image.fill(hover ? QColor(0xD8, 0xE6, 0xF8) : QColor(0xEC, 0xEC, 0xEC));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x1F, 0x3C, 0x88));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(3, 2, 16, 16), 3, 3);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(3, 2, 16, 16), Qt::AlignCenter, QStringLiteral("Ps"));
    p.setPen(hover ? QColor(0x10, 0x30, 0x80) : Qt::black);
    font.setBold(false);
    p.setFont(font);
    p.drawText(QRect(24, 2, 80, 16), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("To Photoshop"));
    return image;
}

QImage ArrowPicture(bool down)
{
    QImage image(16, 19, QImage::Format_ARGB32);
    image.fill(QColor(0xEC, 0xEC, 0xEC));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    if (down)
        p.drawPolygon(QPolygonF({QPointF(4, 7), QPointF(12, 7), QPointF(8, 12)}));
    else
        p.drawPolygon(QPolygonF({QPointF(5, 5), QPointF(11, 9.5), QPointF(5, 14)}));
    return image;
}

QImage BannerPicture()
{
    QImage image(96, 34, QImage::Format_ARGB32);
    image.fill(QColor(0xEC, 0xEC, 0xEC));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setPixelSize(14);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x1F, 0x3C, 0x88));
    p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Brelnova"));
    return image;
}

// Gives min, mno and cls the pictures of the hidden images: hovered one the hover picture.
void ShowCaptionButtons(Ticonmain& main, int hovered)
{
    static const char* const buttons[] = {"min", "mno", "cls"};
    static const char* const normal[] = {"trr1", "trr2", "trr3"};
    static const char* const hover[] = {"tr1", "tr2", "tr3"};
    for (int i = 0; i < 3; ++i) {
        TImage* button = ImageOf(main, buttons[i]);
        TImage* source = ImageOf(main, i == hovered ? hover[i] : normal[i]);
        if (!button || !source)
            continue;
        button->Picture()->Assign(source->Picture());
        button->repaint();
    }
}

void HideCaptionButtons(Ticonmain& main)
{
    for (const char* panel : {"minok", "mnook", "clsok"})
        main.SetControlVisible(QLatin1String(panel), false);
}

// Writes the active document's current image as the scratch cursor, when there is a document
// to write it.
void WriteHotSpotCursor(Ticonmain& main)
{
    const QString path = main.HotSpotCursorPath();
    RunDocumentCommand(main, QStringLiteral("BitBtn22"), &path);
}

// The cursor in the scratch file and its picture; false when the file holds none.
bool LoadScratchCursor(const QString& path, QCursor& cursor, QImage* picture = nullptr)
{
    HCURSOR handle = LoadCursorFromFile(path);
    if (!handle)
        return false;
    ICONINFO info;
    const QImage image = IconToImage(handle);
    const bool ok = GetIconInfo(handle, &info) && !image.isNull();
    if (ok) {
        cursor = QCursor(QPixmap::fromImage(image), int(info.xHotspot), int(info.yHotspot));
        if (picture)
            *picture = image;
    }
    DestroyCursor(handle);
    return ok;
}

} // namespace

QString Ticonmain::HotSpotCursorPath() const
{
    QDir().mkpath(WritablePath(QStringLiteral("UndoTemp\\")));
    return TestCursorPath();
}

void Ticonmain::SetUpFrameControls()
{
    static const char* const normal[] = {"trr1", "trr2", "trr3"};
    static const char* const hover[] = {"tr1", "tr2", "tr3"};
    for (int i = 0; i < 3; ++i) {
        SetImagePicture(ImageOf(*this, normal[i]), CaptionButtonPicture(i, false));
        SetImagePicture(ImageOf(*this, hover[i]), CaptionButtonPicture(i, true));
    }
    ShowCaptionButtons(*this, -1);
    SetImagePicture(ImageOf(*this, "clickno"), PhotoshopButtonPicture(false));
    SetImagePicture(ImageOf(*this, "clickup"), PhotoshopButtonPicture(true));
    SetImagePicture(ImageOf(*this, "Image17"), ArrowPicture(true));
    SetImagePicture(ImageOf(*this, "Image37"), ArrowPicture(false));
    SetImagePicture(ImageOf(*this, "RxGIFAnimator2"), BannerPicture());
}

void Ticonmain::PlaceCaptionButtons()
{
    TControl* bar = Control(QStringLiteral("CoolBar1"));
    TControl* banner = Control(QStringLiteral("RxGIFAnimator2"));
    if (!bar)
        return;
    if (banner)
        banner->SetLeft(bar->Width() - banner->Width() - 4);
    int right = banner ? banner->Left() - 4 : bar->Width() - 4;
    for (const char* panel : {"clsok", "mnook", "minok"}) {
        if (TControl* c = Control(QLatin1String(panel))) {
            right -= c->Width() + 2;
            c->SetLeft(right);
        }
    }
}

// ---- caption buttons of a maximised document ----

void Ticonmain::minClick(TObject*)
{
    if (TForm* document = ActiveDocumentWindow(*this))
        document->SetWindowState(wsMinimized);
    HideCaptionButtons(*this);
}

void Ticonmain::mnoClick(TObject*)
{
    if (TForm* document = ActiveDocumentWindow(*this)) {
        document->SetWindowState(wsNormal);
        RunDocumentCommand(*this, QStringLiteral("BitBtn46"));
    }
    HideCaptionButtons(*this);
}

void Ticonmain::clsClick(TObject*)
{
    if (TForm* document = ActiveDocumentWindow(*this))
        document->Close();
    HideCaptionButtons(*this);
}

void Ticonmain::minMouseMove(TObject*, TShiftState, int, int)
{
    ShowCaptionButtons(*this, 0);
}

void Ticonmain::mnoMouseMove(TObject*, TShiftState, int, int)
{
    ShowCaptionButtons(*this, 1);
}

void Ticonmain::clsMouseMove(TObject*, TShiftState, int, int)
{
    ShowCaptionButtons(*this, 2);
}

void Ticonmain::ToolBar1MouseMove(TObject*, TShiftState, int, int)
{
    ShowCaptionButtons(*this, -1);
}

// ---- the image as a live cursor ----

// On Linux no program may replace the desktop's cursor, so the test shows the image as the
// cursor over this program's own windows; a second use gives them their cursors back. The
// program stays on screen, since the cursor shows only over its windows.
void Ticonmain::ToolButton28Click(TObject*)
{
    if (SystemCursorReplaced) {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        SystemCursorReplaced = false;
        return;
    }
    WriteHotSpotCursor(*this);
    QCursor cursor;
    if (!LoadScratchCursor(HotSpotCursorPath(), cursor)) {
        // Without a project nothing was written to test.
        MessageBox(QStringLiteral("There is no image to test: open or make an icon project first."),
                   QStringLiteral("Brelnova Studio"), MB_OK | MB_ICONINFORMATION);
        return;
    }
    QApplication::setOverrideCursor(cursor);
    SystemCursorReplaced = true;
}

void Ticonmain::ToolButton18Click(TObject*)
{
    HotSpotForCursor = true;
    WriteHotSpotCursor(*this);
    QCursor cursor;
    QImage picture;
    if (LoadScratchCursor(HotSpotCursorPath(), cursor, &picture)) {
        SetCursorShape(kHotSpotCursor, cursor);
        Screen->SetCursor(kHotSpotCursor);
    }
    TAnimationBuilders* builders = AnimationBuilders();
    if (!builders) {
        MessageBox(QStringLiteral("This program was started without the hot-spot dialog."), QStringLiteral("Brelnova Studio"),
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    builders->ShowCursorHotSpot(picture);
}

void Ticonmain::N34Click(TObject*)
{
    // A new window for every snapshot; earlier ones stay open until the user closes them.
    auto* snapshot = new Tmyiconshow(nullptr);
    snapshot->SetFormStyle(fsMDIChild);
    TakeMainWindowSkin(*snapshot);
    // Placed once shown: only then does the frame around a child window have its final size.
    snapshot->Show();
    if (TForm* templ = FindForm(QStringLiteral("newiconview")))
        snapshot->SetBounds(-4, -3, templ->Width(), templ->Height());
    else
        snapshot->SetBounds(-4, -3, snapshot->Width(), snapshot->Height());
    RunDocumentCommand(*this, QStringLiteral("BitBtn25"));
}

// ---- the Photoshop button, the recent-files combo and the banner ----

void Ticonmain::clicknoMouseMove(TObject*, TShiftState, int, int)
{
    SetControlVisible(QStringLiteral("clickno"), false);
    SetControlVisible(QStringLiteral("clickup"), true);
}

void Ticonmain::Panel13MouseMove(TObject*, TShiftState, int, int)
{
    SetControlVisible(QStringLiteral("clickno"), true);
    SetControlVisible(QStringLiteral("clickup"), false);
}

void Ticonmain::Image17Click(TObject*)
{
    auto* combo = qobject_cast<TComboBox*>(FindComponent(QStringLiteral("userfilename")));
    if (!combo)
        return;
    // An empty list has nothing to drop down; the arrow says why.
    if (combo->Items()->Count() == 0) {
        MessageBox(QStringLiteral("No file has been opened yet."), QStringLiteral("Recently Used"),
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    combo->SetDroppedDown(true);
}

void Ticonmain::Image37Click(TObject*)
{
    userfilenameSelect(this);
}

void Ticonmain::RxGIFAnimator2Click(TObject*)
{
    ShellOpen(QLatin1String(kMakerHomePage));
}
