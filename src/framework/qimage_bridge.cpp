#include "framework/qimage_bridge.h"

#include "framework/bitmap.h"

#include <QImage>
#include <cstring>

QImage BitmapToQImage(TBitmap& bitmap)
{
    return ToArgb32(bitmap.ToImage());
}

void QImageToBitmap(const QImage& image, TBitmap& bitmap)
{
    if (image.isNull()) {
        bitmap.Assign(nullptr);
        return;
    }
    const QImage argb = ToArgb32(image);
    TBitmap result(argb.width(), argb.height(), pf32bit);
    for (int y = 0; y < argb.height(); ++y)
        std::memcpy(result.ScanLine(y), argb.constScanLine(y), size_t(argb.width()) * 4);
    bitmap.Assign(&result);
}

QImage ToArgb32(const QImage& image)
{
    if (image.isNull() || image.format() == QImage::Format_ARGB32)
        return image;
    if (image.format() == QImage::Format_RGB32) {
        // Same bytes; only the alpha byte is made opaque.
        QImage out = image.convertToFormat(QImage::Format_ARGB32);
        return out;
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}
