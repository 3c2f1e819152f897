#pragma once

// Lossless hand-over between QImage and the framework's bitmaps. The QImage side is always
// QImage::Format_ARGB32: not premultiplied, so that every alpha and colour byte passes unchanged.

class QImage;
class TBitmap;

// A 32-bit bitmap gives its alpha bytes as they stand; every other format gives alpha 255.
QImage BitmapToQImage(TBitmap& bitmap);
// The bitmap becomes a 32-bit bitmap holding exactly the image's non-premultiplied bytes (an image
// in another format is converted to Format_ARGB32 first). A null image empties the bitmap.
void QImageToBitmap(const QImage& image, TBitmap& bitmap);
// Any image as Format_ARGB32 (a no-op for one that already is).
QImage ToArgb32(const QImage& image);
