#include "imaging/icons/bitmap_icon_writer.h"

#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/icon.h"
#include "framework/palette.h"
#include "framework/streams.h"
#include "imaging/icons/icon_format.h"
#include "imaging/icons/icon_test_files.h"
#include "imaging/icons/icon_xp_format.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace icontest;

namespace {

constexpr uint32_t kKeyArgb = 0xFFD200FF; // red 210, green 0, blue 255

// A 24-bit bitmap painted pixel by pixel (0xAARRGGBB, alpha ignored).
std::unique_ptr<TBitmap> Paint(int w, int h, const std::function<uint32_t(int, int)>& pixel)
{
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->SetPixelArgb(x, y, pixel(x, y) | 0xFF000000u);
    return b;
}

QByteArray WriteToMemory(TBitmap* bitmap, int colors, bool withLength = false)
{
    const std::unique_ptr<TIcon> icon = BitmapToMaskedIcon(bitmap, bitmap->Width(), bitmap->Height());
    TMemoryStream s;
    WriteIconFile(&s, icon->Handle(), colors, withLength);
    return s.Bytes();
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

uint16_t Le16(const QByteArray& b, int at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }

// The image of a one-image file decoded by the project's own reader: 0xAARRGGBB, bottom row first.
TIconXPData Decode(const QByteArray& file)
{
    TIconXPFormat image;
    image.DecodeImage(reinterpret_cast<const uint8_t*>(file.constData()) + 22, size_t(file.size() - 22));
    return image.Pixels();
}

} // namespace

// The one-image file at each depth, byte for byte: header, entry, info header, colour table,
// XOR rows and the AND mask made from the key colour.
TEST(BitmapIconWriter, WritesOneImageFileAtEachDepth)
{
    struct Case {
        int colors;
        uint32_t right;  // colour of the right half
        int bits;
        int colorCount;  // entry's colour-count byte
        int index;       // the right half's table index (or -1 for 24 bits)
    } cases[] = {
        {2, 0xFFFFFF, 1, 2, 1},
        {16, 0xFF0000, 4, 16, 9},     // red
        {256, 0x336699, 8, 0, 61},    // cube levels 1, 2, 3
        {24, 0x123456, 24, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colors);
        auto bmp = Paint(16, 16, [&](int x, int) { return x < 8 ? kKeyArgb : c.right; });
        const QByteArray f = WriteToMemory(bmp.get(), c.colors);

        const int palette = c.bits <= 8 ? 4 << c.bits : 0;
        const int row = int(ScanlineBytes(16, c.bits));
        const uint32_t bytesInRes = uint32_t(40 + palette + 16 * row + 16 * 4);
        ASSERT_EQ(f.size(), 22 + int(bytesInRes));
        if (c.colors == 256) {
            EXPECT_EQ(bytesInRes, 1384u);
        }
        // Header and the one entry.
        EXPECT_EQ(Le16(f, 0), 0);
        EXPECT_EQ(Le16(f, 2), 1);
        EXPECT_EQ(Le16(f, 4), 1);
        EXPECT_EQ(uint8_t(f[6]), 16);
        EXPECT_EQ(uint8_t(f[7]), 16);
        EXPECT_EQ(uint8_t(f[8]), c.colorCount);
        EXPECT_EQ(uint8_t(f[9]), 0);
        EXPECT_EQ(Le16(f, 10), 1);
        EXPECT_EQ(Le16(f, 12), c.bits);
        EXPECT_EQ(ReadLE32(f, 14), bytesInRes);
        EXPECT_EQ(ReadLE32(f, 18), 22u);
        // Info header with the doubled height.
        EXPECT_EQ(ReadLE32(f, 22), 40u);
        EXPECT_EQ(ReadLE32(f, 26), 16u);
        EXPECT_EQ(ReadLE32(f, 30), 32u);
        EXPECT_EQ(Le16(f, 34), 1);
        EXPECT_EQ(Le16(f, 36), c.bits);
        EXPECT_EQ(ReadLE32(f, 38), 0u);
        EXPECT_EQ(ReadLE32(f, 42), uint32_t(16 * row));
        // The whole fixed table of the depth, blue, green, red, 0.
        if (palette) {
            const TPaletteEntries& table = FixedPaletteForBits(c.bits);
            for (int i = 0; i < (1 << c.bits); ++i)
                ASSERT_EQ(ReadLE32(f, 62 + 4 * i), table[size_t(i)] & 0xFFFFFF) << i;
        }
        // Every XOR row: the key half black (index 0), the right half its colour.
        const int xorAt = 62 + palette;
        QByteArray expectRow(row, '\0');
        for (int x = 8; x < 16; ++x) {
            switch (c.bits) {
            case 1: expectRow[x / 8] = char(uint8_t(expectRow[x / 8]) | (0x80 >> (x % 8))); break;
            case 4: expectRow[x / 2] = char(uint8_t(expectRow[x / 2]) | (c.index << (x % 2 ? 0 : 4))); break;
            case 8: expectRow[x] = char(c.index); break;
            case 24:
                expectRow[3 * x] = char(c.right & 0xFF);
                expectRow[3 * x + 1] = char((c.right >> 8) & 0xFF);
                expectRow[3 * x + 2] = char(c.right >> 16);
                break;
            }
        }
        for (int y = 0; y < 16; ++y)
            ASSERT_EQ(f.mid(xorAt + y * row, row), expectRow) << "row " << y;
        // The file ends with the AND mask: the left half set.
        const QByteArray maskRow("\xFF\x00\x00\x00", 4);
        for (int y = 0; y < 16; ++y)
            ASSERT_EQ(f.mid(xorAt + 16 * row + 4 * y, 4), maskRow) << "mask row " << y;
    }
}

// Rows go bottom row first and are padded to 4 bytes; the sides need not be equal.
TEST(BitmapIconWriter, NonSquareRowsBottomUpAndPadded)
{
    auto bmp = Paint(17, 5, [](int x, int y) { return y == 0 && x == 16 ? kKeyArgb : uint32_t(y * 40 << 16 | x); });
    const QByteArray f = WriteToMemory(bmp.get(), 24);
    EXPECT_EQ(uint8_t(f[6]), 17);
    EXPECT_EQ(uint8_t(f[7]), 5);
    EXPECT_EQ(ReadLE32(f, 30), 10u);
    ASSERT_EQ(f.size(), 22 + 40 + 5 * 52 + 5 * 4);
    for (int fileRow = 0; fileRow < 5; ++fileRow) {
        const int y = 4 - fileRow;
        const QByteArray r = f.mid(62 + 52 * fileRow, 52);
        EXPECT_EQ(uint8_t(r[0]), 0);
        EXPECT_EQ(uint8_t(r[2]), y * 40);
        EXPECT_EQ(uint8_t(r[3 * 5]), 5);
        EXPECT_EQ(uint8_t(r[51]), 0); // padding
        const QByteArray m = f.mid(62 + 5 * 52 + 4 * fileRow, 4);
        EXPECT_EQ(QByteArray(m.constData(), 3), QByteArray(y == 0 ? "\x00\x00\x80" : "\x00\x00\x00", 3));
    }
}

// Only the key colour is transparent: black and the near-white that once stood in for black keep
// their colours and stay opaque.
TEST(BitmapIconWriter, MaskComesFromKeyColourOnly)
{
    const uint32_t colours[4] = {kKeyArgb, 0x000000, 0xFAF9F8, 0xD200FE};
    auto bmp = Paint(4, 1, [&](int x, int) { return colours[x]; });
    const QByteArray f = WriteToMemory(bmp.get(), 24);
    const TIconXPData px = Decode(f);
    ASSERT_EQ(px.size(), 4u);
    EXPECT_EQ(px[0], 0x00000000u);
    EXPECT_EQ(px[1], 0xFF000000u);
    EXPECT_EQ(px[2], 0xFFFAF9F8u);
    EXPECT_EQ(px[3], 0xFFD200FEu);
    EXPECT_EQ(uint8_t(f[f.size() - 4]), 0x80);
}

// Colours of the depth's own table come back exactly, whatever their position.
TEST(BitmapIconWriter, TableColoursPassThroughUnchanged)
{
    for (int colors : {2, 16, 256}) {
        SCOPED_TRACE(colors);
        const int bits = colors == 2 ? 1 : colors == 16 ? 4 : 8;
        const TPaletteEntries& table = FixedPaletteForBits(bits);
        auto bmp = Paint(16, 16, [&](int x, int y) { return table[size_t(y * 16 + x) % table.size()]; });
        const TIconXPData px = Decode(WriteToMemory(bmp.get(), colors));
        ASSERT_EQ(px.size(), 256u);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(px[size_t((15 - y) * 16 + x)], 0xFF000000u | table[size_t(y * 16 + x) % table.size()])
                    << x << "," << y;
    }
}

TEST(BitmapIconWriter, LengthPrefixAndOwnDepth)
{
    auto bmp = Paint(3, 2, [](int x, int) { return x == 0 ? kKeyArgb : 0x804020; });
    const QByteArray f = WriteToMemory(bmp.get(), 24, true);
    EXPECT_EQ(ReadLE32(f, 0), uint32_t(f.size() - 4));
    EXPECT_EQ(f.mid(4), WriteToMemory(bmp.get(), 24));

    // 0 keeps the icon's own 32 bits, with the alpha that the mask gives.
    const QByteArray own = WriteToMemory(bmp.get(), 0);
    EXPECT_EQ(Le16(own, 12), 32);
    EXPECT_EQ(uint8_t(own[8]), 0);
    const TIconXPData px = Decode(own);
    ASSERT_EQ(px.size(), 6u);
    EXPECT_EQ(px[0], 0u);
    EXPECT_EQ(px[1], 0xFF804020u);
}

TEST(BitmapIconWriter, RefusesWhatNoIconEntryCanHold)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.ico");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    auto bmp = Paint(4, 4, [](int, int) { return 0x112233; });
    for (auto [w, h] : {std::pair{0, 4}, {4, -1}, {257, 16}, {16, 300}, {100000, 100000}}) {
        SCOPED_TRACE(w);
        try {
            SaveBitmapAsIcon(bmp.get(), path, w, h, 24);
            FAIL() << "no error";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Bitmap image is not valid"));
        }
        EXPECT_EQ(ReadFile(path), QByteArray("old"));
    }
    TMemoryStream s;
    EXPECT_THROW(WriteIconFile(&s, nullptr, 24, false), EInvalidGraphic);
    EXPECT_EQ(s.Size(), 0);
}

// A picture smaller than the icon is drawn at 0, 0 over white; the icon's side 256 is listed as 0.
TEST(BitmapIconWriter, SizesTheIconNotThePicture)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.ico");
    auto bmp = Paint(2, 2, [](int, int) { return kKeyArgb; });
    SaveBitmapAsIcon(bmp.get(), path, 256, 3, 256);
    const QByteArray f = ReadFile(path);
    EXPECT_EQ(uint8_t(f[6]), 0);
    EXPECT_EQ(uint8_t(f[7]), 3);
    const TIconXPData px = Decode(f);
    ASSERT_EQ(px.size(), 256u * 3);
    EXPECT_EQ(px[256 * 2 + 0], 0u);          // top row, key colour
    EXPECT_EQ(px[256 * 2 + 2], 0xFFFFFFFFu); // beyond the picture
    EXPECT_EQ(px[0], 0xFFFFFFFFu);           // bottom row
}

// A monochrome icon handle (its XOR bits under its AND mask in one bitmap) writes too.
TEST(BitmapIconWriter, WritesMonochromeHandle)
{
    Dib d;
    d.Width = d.Height = 8;
    d.Bits = 1;
    d.Palette = {0x000000, 0xFFFFFF};
    d.Pixel = [](int x, int) { return uint32_t(x & 1); };
    d.Mask = [](int x, int y) { return x == 0 && y == 0; };
    const QByteArray dib = MakeDib(d);
    HICON h = CreateIconFromResource(reinterpret_cast<const uint8_t*>(dib.constData()), uint32_t(dib.size()), true,
                                     kIconResourceVersion);
    ASSERT_NE(h, nullptr);
    TMemoryStream s;
    WriteIconFile(&s, h, 0, false);
    DestroyIcon(h);
    const QByteArray f = s.Bytes();
    EXPECT_EQ(Le16(f, 12), 1);
    EXPECT_EQ(f.mid(22 + 40), dib.mid(40));
}

// Every file the writer makes is listed correctly by another program.
TEST(BitmapIconWriter, OtherProgramListsTheFiles)
{
    const QString icotool = QStandardPaths::findExecutable(QStringLiteral("icotool"));
    if (icotool.isEmpty())
        GTEST_SKIP() << "icotool is not installed";
    QTemporaryDir dir;
    struct Case {
        int w, h, colors;
        const char* listing;
    } cases[] = {
        {16, 16, 2, "--icon --index=1 --width=16 --height=16 --bit-depth=1 --palette-size=2"},
        {32, 32, 16, "--icon --index=1 --width=32 --height=32 --bit-depth=4 --palette-size=16"},
        {48, 32, 256, "--icon --index=1 --width=48 --height=32 --bit-depth=8 --palette-size=256"},
        {255, 7, 24, "--icon --index=1 --width=255 --height=7 --bit-depth=24 --palette-size=0"},
        {256, 256, 0, "--icon --index=1 --width=256 --height=256 --bit-depth=32 --palette-size=0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.listing);
        auto bmp = Paint(c.w, c.h, [](int x, int y) { return (x + y) % 5 == 0 ? kKeyArgb : uint32_t(x * 997 + y * 31); });
        const QString path = dir.filePath(QStringLiteral("%1.ico").arg(c.w));
        SaveBitmapAsIcon(bmp.get(), path, c.w, c.h, c.colors);
        QProcess p;
        p.start(icotool, {QStringLiteral("-l"), path});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.readAllStandardOutput().trimmed().toStdString(), c.listing);
        EXPECT_EQ(p.readAllStandardError().trimmed().toStdString(), "");
    }
}
