#pragma once

// Hand-over between the outside image library (Magick++) and our pictures through raw buffers of
// 8-bit red, green, blue, alpha bytes (not premultiplied), row after row, top row first.

#include <cstdint>
#include <vector>

class QImage;
namespace Magick {
class Image;
}

struct TRGBABuffer {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels; // Width * Height * 4 bytes

    bool Empty() const { return Width <= 0 || Height <= 0; }
};

TRGBABuffer MagickToRGBA(const Magick::Image& image);
// Raises the library's own exception for a buffer whose size does not match.
void RGBAToMagick(const TRGBABuffer& buffer, Magick::Image& image);

TRGBABuffer QImageToRGBA(const QImage& image);
// A Format_ARGB32 image of the buffer; a null image for an empty or short buffer.
QImage RGBAToQImage(const TRGBABuffer& buffer);
