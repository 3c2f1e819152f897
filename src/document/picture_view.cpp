#include "document/picture_view.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/graphic.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "framework/scroll_box.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

void PlaceInScrollBox(TControl* box, TImage* control, int width, int height)
{
    if (!control)
        return;
    auto* scroll = qobject_cast<TScrollBox*>(box);
    if (!scroll) {
        control->SetBounds(0, 0, width, height);
        return;
    }
    scroll->HorzScrollBar()->SetPosition(0);
    scroll->VertScrollBar()->SetPosition(0);
    control->SetBounds(std::max(0, (scroll->ClientWidth() - width) / 2), std::max(0, (scroll->ClientHeight() - height) / 2),
                       width, height);
    scroll->UpdateScrollBars();
}

QImage PictureOfImage(TImage* tile)
{
    TGraphic* graphic = tile ? tile->Picture()->Graphic() : nullptr;
    if (!graphic || graphic->Empty())
        return QImage();
    TBitmap bitmap;
    bitmap.SetSize(graphic->Width(), graphic->Height());
    bitmap.Canvas()->Draw(0, 0, graphic);
    return BitmapToQImage(bitmap);
}

void ShowOnTile(TImage* control, TImage* tile, const QImage& picture)
{
    if (!control || control->Width() <= 0 || control->Height() <= 0)
        return;
    QImage shown(control->Width(), control->Height(), QImage::Format_ARGB32);
    shown.fill(0xFFFFFFFFu);
    {
        QPainter painter(&shown);
        const QImage pattern = PictureOfImage(tile);
        if (!pattern.isNull())
            painter.fillRect(shown.rect(), QBrush(pattern));
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QRect(0, 0, picture.width(), picture.height()), picture);
    }
    TBitmap bitmap;
    QImageToBitmap(shown, bitmap);
    control->Picture()->Assign(&bitmap);
}
