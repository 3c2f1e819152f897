#include "animation/slot_picture.h"

#include "framework/bitmap.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"

#include <QPainter>

QImage CheckerTile()
{
    QImage tile(24, 24, QImage::Format_ARGB32);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            tile.setPixel(x, y, ((x / 6 + y / 6) & 1) ? 0xFFC0C0C0u : 0xFFFFFFFFu);
    return tile;
}

QImage SlotPicture(const QImage& frame)
{
    QImage slot(SlotSize, SlotSize, QImage::Format_ARGB32);
    QPainter painter(&slot);
    painter.fillRect(slot.rect(), QBrush(CheckerTile()));
    if (!frame.isNull())
        painter.drawImage(SlotInset, SlotInset, frame);
    return slot;
}

void DrawHotSpotMark(QImage& picture, int x, int y)
{
    // Whole pixels, no blending: the mark must sit exactly on the hot spot.
    const int cx = x + SlotInset, cy = y + SlotInset;
    for (int i = 0; i <= 4; ++i) {
        if (picture.valid(cx, cy + i))
            picture.setPixel(cx, cy + i, 0xFFFF0000u);
        if (picture.valid(cx + i, cy))
            picture.setPixel(cx + i, cy, 0xFFFF0000u);
    }
}

QImage ImageOf(TImage* image)
{
    TBitmap bitmap;
    if (image && image->Picture()->Graphic())
        bitmap.Assign(image->Picture()->Graphic());
    return BitmapToQImage(bitmap);
}

void SetImage(TImage* image, const QImage& picture)
{
    if (!image)
        return;
    TBitmap bitmap;
    QImageToBitmap(picture.convertToFormat(QImage::Format_ARGB32), bitmap);
    image->Picture()->Assign(&bitmap);
}
