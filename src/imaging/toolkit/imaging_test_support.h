#pragma once

// Helpers of the image control's tests: small pictures, fixtures encoded by the image library
// itself, low resource limits, and a reader of the two metafile forms our writers produce.

#include "imaging/toolkit/imaging_files.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>

namespace imaging_test {

inline void UseTestLimits()
{
    TImagingLimits limits;
    limits.MaxFileBytes = 4 * 1024 * 1024;
    limits.MaxSide = 1024;
    limits.MaxPixels = 512 * 1024;
    SetImagingLimits(limits);
}

class ImagingTest : public ::testing::Test {
protected:
    void SetUp() override { UseTestLimits(); }
};

inline uint8_t* Px(TRGBABuffer& p, int x, int y) { return p.Pixels.data() + (size_t(y) * p.Width + x) * 4; }
inline const uint8_t* Px(const TRGBABuffer& p, int x, int y)
{
    return p.Pixels.data() + (size_t(y) * p.Width + x) * 4;
}

inline TRGBABuffer Solid(int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    TRGBABuffer p;
    p.Width = w;
    p.Height = h;
    p.Pixels.resize(size_t(w) * h * 4);
    for (size_t i = 0; i < p.Pixels.size(); i += 4) {
        p.Pixels[i] = r;
        p.Pixels[i + 1] = g;
        p.Pixels[i + 2] = b;
        p.Pixels[i + 3] = a;
    }
    return p;
}

// A picture without symmetry: colour ramps, a fully transparent first column and half-transparent
// pixels in the last row.
inline TRGBABuffer Pattern(int w = 12, int h = 10)
{
    TRGBABuffer p = Solid(w, h, 0, 0, 0, 255);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* d = Px(p, x, y);
            d[0] = uint8_t(x * 255 / std::max(1, w - 1));
            d[1] = uint8_t(y * 255 / std::max(1, h - 1));
            d[2] = uint8_t((x * 7 + y * 13) % 256);
            d[3] = x == 0 ? 0 : y == h - 1 ? 128 : 255;
        }
    return p;
}

// Red, green, blue, white, black, grey and a transparent pixel, for round trips.
inline TRGBABuffer Swatches()
{
    TRGBABuffer p = Solid(4, 2, 0, 0, 0, 255);
    const uint8_t colours[8][4] = {{255, 0, 0, 255},     {0, 255, 0, 255}, {0, 0, 255, 255},  {255, 255, 255, 255},
                                   {0, 0, 0, 255},       {128, 128, 128, 255}, {10, 200, 90, 255}, {0, 0, 0, 0}};
    for (int i = 0; i < 8; ++i)
        std::copy_n(colours[i], 4, Px(p, i % 4, i / 4));
    return p;
}

inline QByteArray EncodeWith(const TRGBABuffer& picture, const char* magick)
{
    InitializeImaging();
    Magick::Image image;
    RGBAToMagick(picture, image);
    image.depth(8);
    image.magick(magick);
    Magick::Blob blob;
    image.write(&blob);
    return QByteArray(static_cast<const char*>(blob.data()), qsizetype(blob.length()));
}

inline void WriteFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(data);
}

inline QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

// ---- metafile reader: checks the structure and gives back the picture's pixels ----------------

inline uint32_t Word(const QByteArray& d, qsizetype at) { return uint8_t(d[at]) | uint32_t(uint8_t(d[at + 1])) << 8; }
inline uint32_t DWord(const QByteArray& d, qsizetype at) { return Word(d, at) | Word(d, at + 2) << 16; }

// A packed 24-bit bottom-up bitmap, as both writers store it.
inline bool ReadPackedDib(const QByteArray& d, qsizetype at, qsizetype end, TRGBABuffer& out, QString* why)
{
    if (end - at < 40 || DWord(d, at) != 40) {
        *why = QStringLiteral("bitmap header");
        return false;
    }
    const int w = int(DWord(d, at + 4)), h = int(DWord(d, at + 8));
    if (Word(d, at + 12) != 1 || Word(d, at + 14) != 24 || DWord(d, at + 16) != 0 || w <= 0 || h <= 0) {
        *why = QStringLiteral("bitmap format");
        return false;
    }
    const qsizetype stride = ((w * 24 + 31) / 32) * 4;
    if (at + 40 + stride * h > end) {
        *why = QStringLiteral("bitmap bits");
        return false;
    }
    out = Solid(w, h, 0, 0, 0, 255);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const qsizetype s = at + 40 + (h - 1 - y) * stride + x * 3;
            uint8_t* p = Px(out, x, y);
            p[0] = uint8_t(d[s + 2]);
            p[1] = uint8_t(d[s + 1]);
            p[2] = uint8_t(d[s]);
        }
    return true;
}

inline bool ReadWmf(const QByteArray& d, TRGBABuffer& out, QString* why)
{
    if (d.size() < 22 + 18 || DWord(d, 0) != 0x9AC6CDD7u) {
        *why = QStringLiteral("placeable key");
        return false;
    }
    uint32_t sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum ^= Word(d, i);
    if (sum != Word(d, 20)) {
        *why = QStringLiteral("placeable checksum");
        return false;
    }
    const int boxW = int(int16_t(Word(d, 10))) - int(int16_t(Word(d, 6)));
    const int boxH = int(int16_t(Word(d, 12))) - int(int16_t(Word(d, 8)));
    const qsizetype meta = 22;
    if (Word(d, meta) != 1 || Word(d, meta + 2) != 9 || Word(d, meta + 4) != 0x0300 ||
        qsizetype(DWord(d, meta + 6)) * 2 != d.size() - meta) {
        *why = QStringLiteral("metafile header");
        return false;
    }
    const uint32_t largest = DWord(d, meta + 12);
    qsizetype at = meta + 18;
    bool haveBits = false, ended = false;
    uint32_t seenLargest = 0;
    while (at + 6 <= d.size()) {
        const qsizetype words = DWord(d, at);
        const uint32_t function = Word(d, at + 4);
        if (words < 3 || at + words * 2 > d.size()) {
            *why = QStringLiteral("record size");
            return false;
        }
        seenLargest = std::max(seenLargest, uint32_t(words));
        if (function == 0) {
            ended = at + words * 2 == d.size();
            break;
        }
        if (function == 0x0F43) {
            if (DWord(d, at + 6) != 0x00CC0020) {
                *why = QStringLiteral("raster operation");
                return false;
            }
            const int srcH = int(Word(d, at + 12)), srcW = int(Word(d, at + 14));
            const int dstH = int(Word(d, at + 20)), dstW = int(Word(d, at + 22));
            if (!ReadPackedDib(d, at + 28, at + words * 2, out, why))
                return false;
            if (srcW != out.Width || srcH != out.Height || dstW != boxW || dstH != boxH) {
                *why = QStringLiteral("stretch sizes");
                return false;
            }
            haveBits = true;
        }
        at += words * 2;
    }
    if (!ended || !haveBits || seenLargest != largest) {
        *why = QStringLiteral("records");
        return false;
    }
    return true;
}

inline bool ReadEmf(const QByteArray& d, TRGBABuffer& out, QString* why)
{
    if (d.size() < 108 || DWord(d, 0) != 1 || DWord(d, 40) != 0x464D4520u || DWord(d, 44) != 0x10000 ||
        qsizetype(DWord(d, 48)) != d.size()) {
        *why = QStringLiteral("header");
        return false;
    }
    const uint32_t records = DWord(d, 52);
    const int boundsW = int(DWord(d, 16)) - int(DWord(d, 8)) + 1;
    const int boundsH = int(DWord(d, 20)) - int(DWord(d, 12)) + 1;
    qsizetype at = 0;
    uint32_t count = 0;
    bool haveBits = false, ended = false;
    while (at + 8 <= d.size()) {
        const uint32_t type = DWord(d, at);
        const qsizetype size = DWord(d, at + 4);
        if (size < 8 || size % 4 || at + size > d.size()) {
            *why = QStringLiteral("record size");
            return false;
        }
        ++count;
        if (type == 81) {
            const qsizetype offBmi = DWord(d, at + 48), cbBmi = DWord(d, at + 52);
            const qsizetype offBits = DWord(d, at + 56), cbBits = DWord(d, at + 60);
            if (offBmi + cbBmi != offBits || offBits + cbBits != size || DWord(d, at + 68) != 0x00CC0020) {
                *why = QStringLiteral("stretch offsets");
                return false;
            }
            if (!ReadPackedDib(d, at + offBmi, at + size, out, why))
                return false;
            const int cxDest = int(DWord(d, at + 72)), cyDest = int(DWord(d, at + 76));
            if (cxDest != out.Width || cyDest != out.Height || boundsW != out.Width || boundsH != out.Height) {
                *why = QStringLiteral("stretch sizes");
                return false;
            }
            haveBits = true;
        }
        at += size;
        if (type == 14) {
            ended = at == d.size() && DWord(d, at - 4) == uint32_t(size);
            break;
        }
    }
    if (!ended || !haveBits || count != records) {
        *why = QStringLiteral("records");
        return false;
    }
    return true;
}

} // namespace imaging_test
