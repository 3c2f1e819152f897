#include "framework/magick_bridge.h"

#include "framework/qimage_bridge.h"

#include <Magick++.h>
#include <QImage>

TRGBABuffer MagickToRGBA(const Magick::Image& image)
{
    TRGBABuffer out;
    Magick::Image copy(image);
    out.Width = int(copy.columns());
    out.Height = int(copy.rows());
    if (out.Empty())
        return out;
    out.Pixels.resize(size_t(out.Width) * out.Height * 4);
    copy.write(0, 0, size_t(out.Width), size_t(out.Height), "RGBA", Magick::CharPixel, out.Pixels.data());
    return out;
}

void RGBAToMagick(const TRGBABuffer& buffer, Magick::Image& image)
{
    if (buffer.Empty() || buffer.Pixels.size() < size_t(buffer.Width) * buffer.Height * 4)
        throw Magick::ErrorImage("buffer size does not match its dimensions");
    image.read(size_t(buffer.Width), size_t(buffer.Height), "RGBA", Magick::CharPixel, buffer.Pixels.data());
}

TRGBABuffer QImageToRGBA(const QImage& image)
{
    TRGBABuffer out;
    if (image.isNull())
        return out;
    const QImage argb = ToArgb32(image);
    out.Width = argb.width();
    out.Height = argb.height();
    out.Pixels.resize(size_t(out.Width) * out.Height * 4);
    uint8_t* p = out.Pixels.data();
    for (int y = 0; y < out.Height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(argb.constScanLine(y));
        for (int x = 0; x < out.Width; ++x) {
            const uint32_t c = row[x];
            *p++ = uint8_t(c >> 16);
            *p++ = uint8_t(c >> 8);
            *p++ = uint8_t(c);
            *p++ = uint8_t(c >> 24);
        }
    }
    return out;
}

QImage RGBAToQImage(const TRGBABuffer& buffer)
{
    if (buffer.Empty() || buffer.Pixels.size() < size_t(buffer.Width) * buffer.Height * 4)
        return QImage();
    QImage out(buffer.Width, buffer.Height, QImage::Format_ARGB32);
    const uint8_t* p = buffer.Pixels.data();
    for (int y = 0; y < buffer.Height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(out.scanLine(y));
        for (int x = 0; x < buffer.Width; ++x, p += 4)
            row[x] = uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
    return out;
}
