#pragma once

// Builders of small icon files for the tests of this folder: one DIB image in the .ico layout
// and whole files around a list of images.

#include <QByteArray>
#include <QtGlobal>
#include <cstdint>
#include <functional>
#include <vector>

namespace icontest {

#ifdef BRELNOVA_TESTDATA
// The test registration does not always pass the data folder on in the environment; the compiled-in
// folder stands in for it so that TestDataPath finds the files either way.
inline const bool kTestDataFolderKnown = [] {
    if (qEnvironmentVariableIsEmpty("BRELNOVA_TESTDATA"))
        qputenv("BRELNOVA_TESTDATA", BRELNOVA_TESTDATA);
    return true;
}();
#endif

inline void Put16(QByteArray& b, uint16_t v)
{
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}

inline void Put32(QByteArray& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

struct Dib {
    int Width = 16;
    int Height = 16;
    int Bits = 32;
    uint32_t ClrUsed = 0;
    std::vector<uint32_t> Palette; // written as given (BGRA words)
    // Value of pixel (x, row) where row 0 is the bottom row: a palette index for 1 to 8 bits,
    // 0x00RRGGBB for 24 bits, 0xAARRGGBB for 32 bits.
    std::function<uint32_t(int, int)> Pixel = [](int, int) { return 0u; };
    std::function<bool(int, int)> Mask = [](int, int) { return false; };
};

inline QByteArray MakeDib(const Dib& d)
{
    QByteArray b;
    Put32(b, 40);
    Put32(b, uint32_t(d.Width));
    Put32(b, uint32_t(d.Height * 2));
    Put16(b, 1);
    Put16(b, uint16_t(d.Bits));
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, d.ClrUsed);
    Put32(b, 0);
    for (uint32_t c : d.Palette)
        Put32(b, c);
    const int rowBytes = ((d.Width * d.Bits + 31) / 32) * 4;
    for (int y = 0; y < d.Height; ++y) {
        QByteArray row(rowBytes, '\0');
        for (int x = 0; x < d.Width; ++x) {
            const uint32_t v = d.Pixel(x, y);
            switch (d.Bits) {
            case 1: row[x / 8] = char(row[x / 8] | ((v & 1) << (7 - x % 8))); break;
            case 4: row[x / 2] = char(row[x / 2] | ((v & 15) << (x % 2 ? 0 : 4))); break;
            case 8: row[x] = char(v); break;
            case 16: row[2 * x] = char(v); row[2 * x + 1] = char(v >> 8); break;
            case 24:
                for (int i = 0; i < 3; ++i)
                    row[3 * x + i] = char(v >> (8 * i));
                break;
            case 32:
                for (int i = 0; i < 4; ++i)
                    row[4 * x + i] = char(v >> (8 * i));
                break;
            }
        }
        b.append(row);
    }
    const int maskBytes = ((d.Width + 31) / 32) * 4;
    for (int y = 0; y < d.Height; ++y) {
        QByteArray row(maskBytes, '\0');
        for (int x = 0; x < d.Width; ++x)
            if (d.Mask(x, y))
                row[x / 8] = char(row[x / 8] | (1 << (7 - x % 8)));
        b.append(row);
    }
    return b;
}

struct Image {
    QByteArray Data;
    uint8_t Width = 0;
    uint8_t Height = 0;
    uint16_t Bits = 32;
    uint8_t ColorCount = 0;
};

inline Image MakeImage(const Dib& d)
{
    return {MakeDib(d), uint8_t(d.Width), uint8_t(d.Height), uint16_t(d.Bits), 0};
}

// An .ico file. order lists the images in the order their bytes are laid out after the directory
// (empty: directory order), gap adds that many filler bytes before each image.
inline QByteArray MakeIco(const std::vector<Image>& images, std::vector<int> order = {}, int gap = 0,
                          uint16_t type = 1)
{
    if (order.empty())
        for (int i = 0; i < int(images.size()); ++i)
            order.push_back(i);
    std::vector<uint32_t> offsets(images.size());
    QByteArray body;
    const uint32_t base = 6 + 16 * uint32_t(images.size());
    for (int i : order) {
        body.append(QByteArray(gap, char(0xEE)));
        offsets[size_t(i)] = base + uint32_t(body.size());
        body.append(images[size_t(i)].Data);
    }
    QByteArray f;
    Put16(f, 0);
    Put16(f, type);
    Put16(f, uint16_t(images.size()));
    for (size_t i = 0; i < images.size(); ++i) {
        const Image& im = images[i];
        f.append(char(im.Width));
        f.append(char(im.Height));
        f.append(char(im.ColorCount));
        f.append('\0');
        Put16(f, 1);
        Put16(f, im.Bits);
        Put32(f, uint32_t(im.Data.size()));
        Put32(f, offsets[i]);
    }
    return f + body;
}

inline uint32_t ReadLE32(const QByteArray& b, int at)
{
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

} // namespace icontest
