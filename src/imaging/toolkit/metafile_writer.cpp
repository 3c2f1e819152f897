#include "imaging/toolkit/metafile_writer.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr uint32_t SRCCOPY = 0x00CC0020;
constexpr int PixelsPerInch = 96;

void PutWord(QByteArray& out, uint32_t v)
{
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

void PutDWord(QByteArray& out, uint32_t v)
{
    PutWord(out, v & 0xFFFF);
    PutWord(out, v >> 16);
}

void SetDWord(QByteArray& out, int at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = char((v >> (8 * i)) & 0xFF);
}

int Stride24(int width) { return ((width * 24 + 31) / 32) * 4; }

uint8_t OverWhite(uint8_t c, uint8_t a) { return uint8_t((c * a + 255 * (255 - a) + 127) / 255); }

// BITMAPINFOHEADER for 24-bit bottom-up rows, then the rows.
QByteArray PackedDib(const TRGBABuffer& picture)
{
    const int stride = Stride24(picture.Width);
    const uint32_t imageSize = uint32_t(stride) * uint32_t(picture.Height);
    QByteArray out;
    out.reserve(40 + int(imageSize));
    PutDWord(out, 40);
    PutDWord(out, uint32_t(picture.Width));
    PutDWord(out, uint32_t(picture.Height));
    PutWord(out, 1);
    PutWord(out, 24);
    PutDWord(out, 0); // BI_RGB
    PutDWord(out, imageSize);
    const uint32_t perMetre = (PixelsPerInch * 10000 + 127) / 254;
    PutDWord(out, perMetre);
    PutDWord(out, perMetre);
    PutDWord(out, 0);
    PutDWord(out, 0);
    const int start = out.size();
    out.resize(start + int(imageSize), '\0');
    for (int y = 0; y < picture.Height; ++y) {
        char* row = out.data() + start + size_t(picture.Height - 1 - y) * stride;
        const uint8_t* src = picture.Pixels.data() + size_t(y) * picture.Width * 4;
        for (int x = 0; x < picture.Width; ++x, src += 4) {
            row[x * 3 + 0] = char(OverWhite(src[2], src[3]));
            row[x * 3 + 1] = char(OverWhite(src[1], src[3]));
            row[x * 3 + 2] = char(OverWhite(src[0], src[3]));
        }
    }
    return out;
}

bool Usable(const TRGBABuffer& picture)
{
    return !picture.Empty() && picture.Pixels.size() >= size_t(picture.Width) * picture.Height * 4;
}

} // namespace

QByteArray WriteWmf(const TRGBABuffer& picture)
{
    if (!Usable(picture) || picture.Width > MaxWmfSide || picture.Height > MaxWmfSide)
        return QByteArray();
    const QByteArray dib = PackedDib(picture);
    const int w = picture.Width, h = picture.Height;

    QByteArray out;
    // Placeable header: key, no handle, bounding box in logical units, units per inch, reserved,
    // and the XOR of the ten words before the checksum.
    PutDWord(out, 0x9AC6CDD7);
    PutWord(out, 0);
    PutWord(out, 0);
    PutWord(out, 0);
    PutWord(out, uint32_t(w));
    PutWord(out, uint32_t(h));
    PutWord(out, PixelsPerInch);
    PutDWord(out, 0);
    uint16_t checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= uint16_t(uint8_t(out[i]) | uint8_t(out[i + 1]) << 8);
    PutWord(out, checksum);

    const int metaStart = out.size();
    // Header: memory metafile, 9 words, version 3.0, size and largest record filled in below.
    PutWord(out, 1);
    PutWord(out, 9);
    PutWord(out, 0x0300);
    PutDWord(out, 0);
    PutWord(out, 0);
    PutDWord(out, 0);
    PutWord(out, 0);

    uint32_t largest = 0;
    auto record = [&](uint16_t function, const QByteArray& params) {
        const uint32_t words = 3 + uint32_t(params.size() / 2);
        largest = std::max(largest, words);
        PutDWord(out, words);
        PutWord(out, function);
        out.append(params);
    };
    QByteArray p;
    PutWord(p, 0); // y, x
    PutWord(p, 0);
    record(0x020B, p); // META_SETWINDOWORG
    p.clear();
    PutWord(p, uint32_t(h));
    PutWord(p, uint32_t(w));
    record(0x020C, p); // META_SETWINDOWEXT
    p.clear();
    // META_STRETCHDIB: raster operation, colour usage, source height, width, y, x, destination
    // height, width, y, x (parameters in reverse order, as the format stores them), the bitmap.
    PutDWord(p, SRCCOPY);
    PutWord(p, 0); // DIB_RGB_COLORS
    PutWord(p, uint32_t(h));
    PutWord(p, uint32_t(w));
    PutWord(p, 0);
    PutWord(p, 0);
    PutWord(p, uint32_t(h));
    PutWord(p, uint32_t(w));
    PutWord(p, 0);
    PutWord(p, 0);
    p.append(dib);
    record(0x0F43, p);
    record(0x0000, QByteArray()); // end of file

    const uint32_t totalWords = uint32_t(out.size() - metaStart) / 2;
    SetDWord(out, metaStart + 6, totalWords);
    SetDWord(out, metaStart + 12, largest);
    return out;
}

QByteArray WriteEmf(const TRGBABuffer& picture)
{
    if (!Usable(picture))
        return QByteArray();
    const QByteArray dib = PackedDib(picture);
    const int w = picture.Width, h = picture.Height;
    constexpr uint32_t HeaderSize = 108;
    constexpr uint32_t StretchFixed = 80;
    const uint32_t stretchSize = StretchFixed + uint32_t(dib.size());
    constexpr uint32_t EofSize = 20;
    const uint32_t total = HeaderSize + stretchSize + EofSize;

    // The reference device is a 96-pixels-per-inch screen of 1920 by 1440 pixels (508 by 381
    // millimetres), so that one picture pixel is one device pixel.
    const auto hundredthsMm = [](int pixels) { return int32_t((int64_t(pixels) * 2540 + PixelsPerInch / 2) / PixelsPerInch); };

    QByteArray out;
    out.reserve(int(total));
    PutDWord(out, 1); // EMR_HEADER
    PutDWord(out, HeaderSize);
    PutDWord(out, 0); // bounds, inclusive, in device pixels
    PutDWord(out, 0);
    PutDWord(out, uint32_t(w - 1));
    PutDWord(out, uint32_t(h - 1));
    PutDWord(out, 0); // frame, inclusive, in 0.01 mm
    PutDWord(out, 0);
    PutDWord(out, uint32_t(hundredthsMm(w) - 1));
    PutDWord(out, uint32_t(hundredthsMm(h) - 1));
    PutDWord(out, 0x464D4520); // " EMF"
    PutDWord(out, 0x00010000);
    PutDWord(out, total);
    PutDWord(out, 3); // records
    PutWord(out, 1);  // handles: the reserved handle 0
    PutWord(out, 0);
    PutDWord(out, 0); // description length and offset
    PutDWord(out, 0);
    PutDWord(out, 0); // palette entries
    PutDWord(out, 1920);
    PutDWord(out, 1440);
    PutDWord(out, 508);
    PutDWord(out, 381);
    PutDWord(out, 0); // pixel format size and offset, no OpenGL
    PutDWord(out, 0);
    PutDWord(out, 0);
    PutDWord(out, 508000);
    PutDWord(out, 381000);

    PutDWord(out, 81); // EMR_STRETCHDIBITS
    PutDWord(out, stretchSize);
    PutDWord(out, 0);
    PutDWord(out, 0);
    PutDWord(out, uint32_t(w - 1));
    PutDWord(out, uint32_t(h - 1));
    PutDWord(out, 0); // xDest, yDest, xSrc, ySrc, cxSrc, cySrc
    PutDWord(out, 0);
    PutDWord(out, 0);
    PutDWord(out, 0);
    PutDWord(out, uint32_t(w));
    PutDWord(out, uint32_t(h));
    PutDWord(out, StretchFixed); // bitmap info offset and size
    PutDWord(out, 40);
    PutDWord(out, StretchFixed + 40); // bits offset and size
    PutDWord(out, uint32_t(dib.size() - 40));
    PutDWord(out, 0); // DIB_RGB_COLORS
    PutDWord(out, SRCCOPY);
    PutDWord(out, uint32_t(w));
    PutDWord(out, uint32_t(h));
    out.append(dib);

    PutDWord(out, 14); // EMR_EOF
    PutDWord(out, EofSize);
    PutDWord(out, 0);
    PutDWord(out, 16);
    PutDWord(out, EofSize);
    return out;
}
