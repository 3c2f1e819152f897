#include "platform/icon_handle.h"
#include "platform/system_metrics.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QPainter>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// A file under testdata/ (the test program is built with its location).
QByteArray ReadTestData(const char* relative)
{
    QFile f(QStringLiteral(BRELNOVA_TESTDATA "/") + QLatin1String(relative));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << relative;
    return f.readAll();
}

void Put16(Bytes& b, size_t at, uint16_t v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

// One DIB icon image. pixels holds, top row first, a palette index (1 to 8 bits) or a
// 0xAARRGGBB colour (16 to 32 bits); mask holds the AND bits, top row first.
Bytes MakeDib(int w, int h, int bits, const std::vector<uint32_t>& palette, const std::vector<uint32_t>& pixels,
              const std::vector<int>& mask)
{
    const size_t xorStride = ((w * bits + 31) / 32) * 4;
    const size_t andStride = ((w + 31) / 32) * 4;
    Bytes b(40 + 4 * palette.size() + (xorStride + andStride) * h, 0);
    Put32(b, 0, 40);
    Put32(b, 4, uint32_t(w));
    Put32(b, 8, uint32_t(2 * h));
    Put16(b, 12, 1);
    Put16(b, 14, uint16_t(bits));
    Put32(b, 32, uint32_t(palette.size()));
    for (size_t i = 0; i < palette.size(); ++i)
        Put32(b, 40 + 4 * i, palette[i] & 0xFFFFFF);
    const size_t xorAt = 40 + 4 * palette.size();
    const size_t andAt = xorAt + xorStride * h;
    for (int y = 0; y < h; ++y) {
        uint8_t* row = b.data() + xorAt + xorStride * (h - 1 - y);
        uint8_t* mrow = b.data() + andAt + andStride * (h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const uint32_t v = pixels[y * w + x];
            switch (bits) {
            case 1: row[x / 8] |= uint8_t((v & 1) << (7 - x % 8)); break;
            case 4: row[x / 2] |= uint8_t((v & 15) << (x % 2 ? 0 : 4)); break;
            case 8: row[x] = uint8_t(v); break;
            case 16: {
                const uint16_t p = uint16_t((((v >> 19) & 31) << 10) | (((v >> 11) & 31) << 5) | ((v >> 3) & 31));
                row[2 * x] = uint8_t(p);
                row[2 * x + 1] = uint8_t(p >> 8);
                break;
            }
            case 24:
                row[3 * x] = uint8_t(v);
                row[3 * x + 1] = uint8_t(v >> 8);
                row[3 * x + 2] = uint8_t(v >> 16);
                break;
            case 32: std::memcpy(row + 4 * x, &v, 4); break;
            }
            if (mask[y * w + x])
                mrow[x / 8] |= uint8_t(0x80 >> (x % 8));
        }
    }
    return b;
}

HICON Create(const Bytes& b, bool icon = true, int cx = 0, int cy = 0, unsigned flags = 0)
{
    return CreateIconFromResourceEx(b.data(), uint32_t(b.size()), icon, kIconResourceVersion, cx, cy, flags);
}

std::vector<QRgb> Pixels(HICON h)
{
    const QImage img = IconToImage(h);
    std::vector<QRgb> out;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            out.push_back(img.pixel(x, y));
    return out;
}

// The image data of entry i of an .ico or .cur file; toEnd takes everything from the entry's
// offset on (the truth-table cursors understate their sizes).
Bytes EntryData(const QByteArray& file, int i = 0, bool toEnd = false)
{
    if (file.size() < 6 + 16 * (i + 1))
        return {};
    const auto* p = reinterpret_cast<const uint8_t*>(file.constData());
    const uint8_t* e = p + 6 + 16 * i;
    const uint32_t size = e[8] | (e[9] << 8) | (e[10] << 16) | (uint32_t(e[11]) << 24);
    const uint32_t offset = e[12] | (e[13] << 8) | (e[14] << 16) | (uint32_t(e[15]) << 24);
    if (offset > uint32_t(file.size()) || (!toEnd && size > uint32_t(file.size()) - offset))
        return {};
    return Bytes(p + offset, toEnd ? p + file.size() : p + offset + size);
}

QByteArray PngBytes(const QImage& img)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return out;
}

constexpr QRgb kClear = 0;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;

TEST(IconHandle, MaskTruthTableOfRealCursors)
{
    // Top to bottom: AND 0 XOR 0, AND 0 XOR 1, AND 1 XOR 0, AND 1 XOR 1 (inverted: shows through).
    for (const char* name : {"platform/mask_1.cur", "platform/mask_L.cur"}) {
        SCOPED_TRACE(name);
        const Bytes data = EntryData(ReadTestData(name), 0, true);
        HICON h = Create(data);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(Pixels(h), (std::vector<QRgb>{kBlack, kWhite, kClear, kClear}));
        DestroyIcon(h);
    }
}

TEST(IconHandle, EveryDepthDecodesItsPixels)
{
    // 3 by 2 pixels: an odd width pads every row; the mask clears one pixel.
    const std::vector<int> mask = {0, 0, 1, 0, 0, 0};
    const std::vector<uint32_t> pal16 = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080,
                                         0x808080, 0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF,
                                         0x00FFFF, 0x123456};
    std::vector<uint32_t> pal256(256);
    for (int i = 0; i < 256; ++i)
        pal256[i] = uint32_t(i * 0x010203) & 0xFFFFFF;
    struct Case {
        int bits;
        std::vector<uint32_t> palette;
        std::vector<uint32_t> pixels;
        std::vector<QRgb> expected;
    };
    const std::vector<Case> cases = {
        {1, {0x102030, 0xF0E0D0}, {1, 0, 1, 0, 1, 1},
         {0xFFF0E0D0, 0xFF102030, kClear, 0xFF102030, 0xFFF0E0D0, 0xFFF0E0D0}},
        // The file's own 4-bit table is used, including an entry that is no standard colour.
        {4, pal16, {15, 9, 3, 12, 0, 7},
         {0xFF123456, 0xFFFF0000, kClear, 0xFF0000FF, kBlack, 0xFF808080}},
        {8, pal256, {255, 1, 2, 128, 0, 77},
         {0xFF000000 | (255 * 0x010203 & 0xFFFFFF), 0xFF010203, kClear, 0xFF000000 | (128 * 0x010203 & 0xFFFFFF),
          kBlack, 0xFF000000 | (77 * 0x010203 & 0xFFFFFF)}},
        // 5 bits per component, widened by repeating the top bits.
        {16, {}, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808080, 0xFF000000, 0xFFFFFFFF},
         {0xFFFF0000, 0xFF00FF00, kClear, 0xFF848484, kBlack, kWhite}},
        {24, {}, {0xFF112233, 0xFF445566, 0xFF778899, 0xFFAABBCC, 0xFF000000, 0xFFFFFFFF},
         {0xFF112233, 0xFF445566, kClear, 0xFFAABBCC, kBlack, kWhite}},
        // Alpha of its own: the mask does not count.
        {32, {}, {0x80112233, 0xFF445566, 0x40778899, 0x00AABBCC, 0x01000000, 0xFFFFFFFF},
         {0x80112233, 0xFF445566, 0x40778899, 0x00AABBCC, 0x01000000, 0xFFFFFFFF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        HICON h = Create(MakeDib(3, 2, c.bits, c.palette, c.pixels, mask));
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(Pixels(h), c.expected);
        DestroyIcon(h);
    }
}

TEST(IconHandle, ThirtyTwoBitsWithoutAlphaUseTheMask)
{
    HICON h = Create(MakeDib(2, 1, 32, {}, {0x00112233, 0x00445566}, {0, 1}));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(Pixels(h), (std::vector<QRgb>{0xFF112233, kClear}));
    DestroyIcon(h);
}

TEST(IconHandle, PngEntriesDecodeWithAlpha)
{
    QImage src(3, 2, QImage::Format_ARGB32);
    const std::vector<QRgb> colours = {0x80FF0000, 0xFF00FF00, 0x00000000, 0x200000FF, 0xFFFFFFFF, 0x7F102030};
    for (int i = 0; i < 6; ++i)
        src.setPixel(i % 3, i / 3, colours[i]);
    const QByteArray png = PngBytes(src);
    const Bytes data(png.begin(), png.end());
    HICON h = Create(data);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(Pixels(h), colours);
    DestroyIcon(h);

    // A real file whose directory does not say PNG.
    const Bytes real = EntryData(ReadTestData("platform/hopper_draw.ico"));
    h = Create(real);
    ASSERT_NE(h, nullptr);
    int w = 0, hh = 0;
    EXPECT_TRUE(GetIconSize(h, &w, &hh));
    EXPECT_EQ(w, 16);
    EXPECT_EQ(hh, 16);
    DestroyIcon(h);

    // A PNG cut short gives no icon.
    const Bytes cut(data.begin(), data.begin() + data.size() / 2);
    EXPECT_EQ(Create(cut), nullptr);
}

TEST(IconHandle, MalformedImagesGiveNoIcon)
{
    const Bytes good = MakeDib(4, 4, 8, std::vector<uint32_t>(256), std::vector<uint32_t>(16), std::vector<int>(16));
    ASSERT_NE(Create(good), nullptr);
    auto with = [&](auto change) {
        Bytes b = good;
        change(b);
        return b;
    };
    struct Case {
        const char* what;
        Bytes data;
    };
    const std::vector<Case> cases = {
        {"empty", {}},
        {"shorter than a header", Bytes(good.begin(), good.begin() + 39)},
        {"header size past the data", with([](Bytes& b) { Put32(b, 0, uint32_t(b.size() + 1)); })},
        {"header size below 40", with([](Bytes& b) { Put32(b, 0, 12); })},
        {"width 0", with([](Bytes& b) { Put32(b, 4, 0); })},
        {"negative width", with([](Bytes& b) { Put32(b, 4, 0xFFFFFFFF); })},
        {"height field 1", with([](Bytes& b) { Put32(b, 8, 1); })},
        {"top-down height", with([](Bytes& b) { Put32(b, 8, uint32_t(-8)); })},
        {"more rows than the data holds", with([](Bytes& b) { Put32(b, 8, 10); })},
        {"huge size", with([](Bytes& b) { Put32(b, 4, 65535); Put32(b, 8, 131070); })},
        {"7 bits", with([](Bytes& b) { Put16(b, 14, 7); })},
        {"0 bits", with([](Bytes& b) { Put16(b, 14, 0); })},
        {"compressed", with([](Bytes& b) { Put32(b, 16, 1); })},
        {"palette over the data", with([](Bytes& b) { Put16(b, 14, 8); Put32(b, 32, 257); })},
        {"mask cut off", Bytes(good.begin(), good.end() - 1)},
        {"the real bomb", EntryData(ReadTestData("platform/decompression_bomb.ico"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CreateIconFromResourceEx(c.data.data(), uint32_t(c.data.size()), true, kIconResourceVersion, 0, 0, 0),
                  nullptr);
    }
    EXPECT_EQ(CreateIconFromResourceEx(good.data(), uint32_t(good.size()), true, 0x00010000, 0, 0, 0), nullptr);
    EXPECT_EQ(Create(good, true, 100000, 100000), nullptr);
    EXPECT_EQ(Create(Bytes(3, 0), false), nullptr); // a cursor without room for its hot spot
}

TEST(IconHandle, DesiredSizeScalesByNearestPixel)
{
    HICON h = Create(MakeDib(2, 2, 24, {}, {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF000000}, {0, 0, 0, 1}), true, 4, 4);
    ASSERT_NE(h, nullptr);
    const QRgb b = 0xFF0000FF, g = 0xFF00FF00, r = 0xFFFF0000;
    EXPECT_EQ(Pixels(h), (std::vector<QRgb>{b, b, g, g, b, b, g, g, r, r, kClear, kClear, r, r, kClear, kClear}));
    DestroyIcon(h);

    const Bytes big = MakeDib(16, 16, 24, {}, std::vector<uint32_t>(256, 0xFF336699), std::vector<int>(256));
    h = Create(big, true, 0, 0, LR_DEFAULTSIZE);
    int w = 0, hh = 0;
    ASSERT_TRUE(GetIconSize(h, &w, &hh));
    EXPECT_EQ(w, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(hh, GetSystemMetrics(SM_CYICON));
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
    DestroyIcon(h);
}

TEST(IconHandle, HandlesCopiesAndInfo)
{
    const Bytes data = EntryData(ReadTestData("platform/black_and_white.ico"));
    HICON h = Create(data);
    ASSERT_NE(h, nullptr);
    HICON copy = CopyIcon(h);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, h);
    const std::vector<QRgb> before = Pixels(h);
    EXPECT_TRUE(DestroyIcon(h));
    EXPECT_FALSE(DestroyIcon(h));
    EXPECT_TRUE(IconToImage(h).isNull());
    EXPECT_EQ(Pixels(copy), before);

    // A monochrome icon has no colour bitmap and a mask of twice its height.
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(copy, &info));
    EXPECT_TRUE(info.fIcon);
    EXPECT_TRUE(info.hbmColor.isNull());
    EXPECT_EQ(info.hbmMask.size(), QSize(16, 32));
    EXPECT_EQ(info.xHotspot, 8u);
    // and comes back whole through CreateIconIndirect.
    HICON rebuilt = CreateIconIndirect(&info);
    EXPECT_EQ(Pixels(rebuilt), before);
    DestroyIcon(rebuilt);
    DestroyIcon(copy);

    EXPECT_FALSE(DestroyIcon(nullptr));
    EXPECT_FALSE(DestroyIcon(reinterpret_cast<HICON>(uintptr_t(12345))));
    EXPECT_EQ(CopyIcon(nullptr), nullptr);
}

TEST(IconHandle, AlphaIconRoundTripsThroughInfo)
{
    const Bytes data = EntryData(ReadTestData("platform/python.ico"), 1);
    HICON h = Create(data);
    ASSERT_NE(h, nullptr);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(h, &info));
    EXPECT_EQ(info.hbmColor.format(), QImage::Format_ARGB32);
    EXPECT_EQ(info.hbmColor.size(), QSize(32, 32));
    EXPECT_EQ(info.hbmMask.size(), QSize(32, 32));
    HICON rebuilt = CreateIconIndirect(&info);
    EXPECT_EQ(Pixels(rebuilt), Pixels(h));

    info.hbmMask = QImage(8, 8, QImage::Format_Mono); // sizes disagree
    EXPECT_EQ(CreateIconIndirect(&info), nullptr);
    DestroyIcon(rebuilt);
    DestroyIcon(h);
}

TEST(IconHandle, CursorHotSpots)
{
    const QByteArray file = ReadTestData("platform/deerstalker.cur");
    Bytes data = {7, 0, 9, 0};
    const Bytes image = EntryData(file);
    data.insert(data.end(), image.begin(), image.end());
    HCURSOR c = Create(data, false);
    ASSERT_NE(c, nullptr);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(c, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 7u);
    EXPECT_EQ(info.yHotspot, 9u);
    // Scaling moves the hot spot with the picture.
    HCURSOR half = Create(data, false, 16, 16);
    ASSERT_TRUE(GetIconInfo(half, &info));
    EXPECT_EQ(info.xHotspot, 3u);
    EXPECT_EQ(info.yHotspot, 4u);
    DestroyCursor(half);
    DestroyCursor(c);
}

TEST(IconHandle, CursorFiles)
{
    // The entry's hot spot, on a copy whose entry says (5, 9).
    QByteArray file = ReadTestData("platform/deerstalker.cur");
    file[10] = 5;
    file[12] = 9;
    QTemporaryDir dir;
    const QString path = dir.filePath("moved.cur");
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(file);
    out.close();
    HCURSOR c = LoadCursorFromFile(path);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(c, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 5u);
    EXPECT_EQ(info.yHotspot, 9u);
    EXPECT_EQ(info.hbmColor.size(), QSize(32, 32));
    DestroyCursor(c);
    // Icon files and broken cursor files are no cursors.
    EXPECT_EQ(LoadCursorFromFile(QStringLiteral(BRELNOVA_TESTDATA "/platform/python.ico")), nullptr);
    EXPECT_EQ(LoadCursorFromFile(QStringLiteral(BRELNOVA_TESTDATA "/fuzz/icon_handle_fuzz/no_cursors.cur")), nullptr);
    EXPECT_EQ(LoadCursorFromFile(QStringLiteral(BRELNOVA_TESTDATA "/fuzz/icon_handle_fuzz/bug778204.ico")), nullptr);
    EXPECT_EQ(LoadCursorFromFile(dir.filePath("missing.cur")), nullptr);
}

TEST(IconHandle, DrawingKeepsTheBackgroundWhereTheIconIsClear)
{
    HICON mono = Create(EntryData(ReadTestData("platform/mask_1.cur"), 0, true));
    HICON alpha = Create(MakeDib(1, 1, 32, {}, {0x80FF0000}, {0}));
    QImage canvas(4, 8, QImage::Format_RGB32);
    canvas.fill(qRgb(0, 0, 255));
    {
        QPainter p(&canvas);
        EXPECT_TRUE(DrawIconEx(&p, 0, 0, mono, 0, 0, 0, nullptr, DI_NORMAL));
        EXPECT_TRUE(DrawIconEx(&p, 2, 0, mono, 2, 8, 0, nullptr, DI_NORMAL)); // stretched
        EXPECT_TRUE(DrawIconEx(&p, 1, 7, alpha, 0, 0, 0, nullptr, DI_NORMAL));
        EXPECT_TRUE(DrawIconEx(&p, 1, 0, mono, 0, 0, 0, nullptr, DI_MASK));
        EXPECT_FALSE(DrawIconEx(&p, 0, 0, nullptr, 0, 0, 0, nullptr, DI_NORMAL));
    }
    const QRgb blue = qRgb(0, 0, 255);
    EXPECT_EQ(canvas.pixel(0, 0), kBlack);
    EXPECT_EQ(canvas.pixel(0, 1), kWhite);
    EXPECT_EQ(canvas.pixel(0, 2), blue);
    EXPECT_EQ(canvas.pixel(0, 3), blue);
    for (int y = 0; y < 8; ++y)
        EXPECT_EQ(canvas.pixel(3, y), y < 2 ? kBlack : y < 4 ? kWhite : blue) << y;
    EXPECT_EQ(canvas.pixel(1, 0), kBlack);
    EXPECT_EQ(canvas.pixel(1, 1), kBlack);
    EXPECT_EQ(canvas.pixel(1, 2), blue);
    const QRgb blended = canvas.pixel(1, 7);
    EXPECT_NEAR(qRed(blended), 128, 2);
    EXPECT_NEAR(qBlue(blended), 127, 2);
    DestroyIcon(mono);
    DestroyIcon(alpha);
}

// An icon group: header and 14-byte entries of (width, height, bit count, identifier).
Bytes GroupDirectory(const std::vector<std::array<int, 4>>& entries)
{
    Bytes b(6 + 14 * entries.size(), 0);
    Put16(b, 2, 1);
    Put16(b, 4, uint16_t(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        const size_t at = 6 + 14 * i;
        b[at] = uint8_t(entries[i][0]);
        b[at + 1] = uint8_t(entries[i][1]);
        Put16(b, at + 4, 1);
        Put16(b, at + 6, uint16_t(entries[i][2]));
        Put16(b, at + 12, uint16_t(entries[i][3]));
    }
    return b;
}

TEST(IconHandle, BestImageOfADirectory)
{
    const Bytes dir = GroupDirectory({{16, 16, 32, 1}, {32, 32, 8, 2}, {32, 32, 32, 3}, {48, 48, 32, 4}, {0, 0, 32, 5}});
    EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), dir.size(), true, 0, 0, LR_DEFAULTCOLOR), 3);
    EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), dir.size(), true, 16, 16, 0), 1);
    EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), dir.size(), true, 40, 40, 0), 3); // tie 32/48: first
    EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), dir.size(), true, 256, 256, 0), 5);
    EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), dir.size() - 1, true, 0, 0, 0), 0);
    EXPECT_EQ(BestIconDirectoryEntry(dir.data(), 5, true, 0, 0, false), -1);
}

} // namespace
