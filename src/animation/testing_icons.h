#pragma once

// Small icon files for the builder's tests: every image a plain bitmap of one colour.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <vector>

struct TTestImage {
    int Size = 32;
    int Bits = 32;
};

// An .ico file of these images in order: 32-bit images are filled with colour, others left at
// palette index 0.
inline QByteArray TestIconFile(const std::vector<TTestImage>& images, uint32_t colour = 0xFF20A040u)
{
    auto le16 = [](QByteArray& b, int v) { b.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF)); };
    auto le32 = [](QByteArray& b, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.append(char(v >> (8 * i) & 0xFF));
    };
    std::vector<QByteArray> bodies;
    for (const TTestImage& im : images) {
        const int n = im.Size;
        const int palette = im.Bits <= 8 ? (1 << im.Bits) : 0;
        const int xorRow = ((n * im.Bits + 31) / 32) * 4, andRow = ((n + 31) / 32) * 4;
        QByteArray b;
        for (uint32_t v : {40u, uint32_t(n), uint32_t(2 * n)})
            le32(b, v);
        le16(b, 1);
        le16(b, im.Bits);
        for (int i = 0; i < 6; ++i)
            le32(b, 0);
        for (int i = 0; i < palette; ++i)
            le32(b, i == 0 ? 0x00FF0000u : 0x00FFFFFFu);
        for (int y = 0; y < n; ++y) {
            QByteArray row(xorRow, '\0');
            if (im.Bits == 32)
                for (int x = 0; x < n; ++x)
                    for (int k = 0; k < 4; ++k)
                        row[4 * x + k] = char(colour >> (8 * k) & 0xFF);
            b.append(row);
        }
        b.append(QByteArray(andRow * n, '\0'));
        bodies.push_back(b);
    }
    QByteArray file;
    le16(file, 0);
    le16(file, 1);
    le16(file, int(images.size()));
    uint32_t offset = 6 + 16 * uint32_t(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        file.append(char(images[i].Size & 0xFF)).append(char(images[i].Size & 0xFF));
        file.append(char(images[i].Bits <= 8 ? (1 << images[i].Bits) & 0xFF : 0)).append('\0');
        le16(file, 1);
        le16(file, images[i].Bits);
        le32(file, uint32_t(bodies[i].size()));
        le32(file, offset);
        offset += uint32_t(bodies[i].size());
    }
    for (const QByteArray& b : bodies)
        file.append(b);
    return file;
}

inline QString WriteTestFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    return path;
}
