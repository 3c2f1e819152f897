#include "imaging/icons/icon_xp_format.h"

#include "framework/exceptions.h"
#include "imaging/icons/icon_format.h"
#include "imaging/icons/icon_test_files.h"

#include <QBuffer>
#include <QImage>
#include <tuple>
#include <gtest/gtest.h>

using namespace icontest;

namespace {

std::unique_ptr<TIconXPFormat> Decode(const QByteArray& bytes)
{
    auto f = std::make_unique<TIconXPFormat>();
    f->DecodeImage(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    return f;
}

const std::vector<uint32_t> kGreys16 = [] {
    std::vector<uint32_t> p;
    for (uint32_t i = 0; i < 16; ++i)
        p.push_back(0x00010101u * (i * 17));
    return p;
}();

} // namespace

// Each depth decodes every pixel of odd-width rows, takes colours from the file's table and its
// alpha from the mask (or from the pixels at 32 bits).
TEST(IconXPFormat, DecodesEveryDepth)
{
    struct Case {
        const char* name;
        Dib dib;
        uint8_t pixelFormat;
        std::function<uint32_t(int, int)> expected;
    };
    auto checker = [](int x, int y) { return (x + y) % 2; };
    auto maskLeftColumn = [](int x, int) { return x == 0; };
    std::vector<Case> cases;
    {
        Dib d;
        d.Width = 20, d.Height = 3, d.Bits = 1;
        d.Palette = {0x00112233, 0x00445566};
        d.Pixel = [=](int x, int y) { return uint32_t(checker(x, y)); };
        d.Mask = maskLeftColumn;
        cases.push_back({"1 bit, 20 wide", d, 1, [=](int x, int y) {
                             return (x == 0 ? 0u : 0xFF000000u) | (checker(x, y) ? 0x445566u : 0x112233u);
                         }});
    }
    {
        // The file's own table decides the colours, not a fixed standard one.
        Dib d;
        d.Width = 15, d.Height = 2, d.Bits = 4;
        d.Palette = kGreys16;
        d.Pixel = [](int x, int) { return uint32_t(x); };
        d.Mask = maskLeftColumn;
        cases.push_back({"4 bit, 15 wide, own table", d, 2, [](int x, int) {
                             return (x == 0 ? 0u : 0xFF000000u) | (0x010101u * uint32_t(x * 17));
                         }});
    }
    {
        // Header says 4 colours: the table is 4 entries long and the bits follow it.
        Dib d;
        d.Width = 4, d.Height = 1, d.Bits = 4, d.ClrUsed = 4;
        d.Palette = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FFFFFF};
        d.Pixel = [](int x, int) { return uint32_t(3 - x); };
        const uint32_t want[4] = {0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
        cases.push_back({"4 bit, 4 colours used", d, 2, [=](int x, int) { return want[x]; }});
    }
    {
        Dib d;
        d.Width = 15, d.Height = 2, d.Bits = 8;
        for (uint32_t i = 0; i < 256; ++i)
            d.Palette.push_back(i * 0x010203u);
        d.Pixel = [](int x, int y) { return uint32_t(x * 10 + y); };
        d.Mask = [](int x, int y) { return x == 14 && y == 1; };
        cases.push_back({"8 bit, 15 wide, 256-entry table", d, 3, [](int x, int y) {
                             const uint32_t alpha = (x == 14 && y == 1) ? 0 : 0xFF000000u;
                             return alpha | (uint32_t(x * 10 + y) * 0x010203u);
                         }});
    }
    {
        Dib d;
        d.Width = 5, d.Height = 3, d.Bits = 24;
        d.Pixel = [](int x, int y) { return uint32_t(0x102030 + x + 256 * y); };
        d.Mask = maskLeftColumn;
        cases.push_back({"24 bit", d, 6, [](int x, int y) {
                             return (x == 0 ? 0u : 0xFF000000u) | uint32_t(0x102030 + x + 256 * y);
                         }});
    }
    {
        // The file's alpha stands even where the mask says transparent.
        Dib d;
        d.Width = 3, d.Height = 2, d.Bits = 32;
        d.Pixel = [](int x, int y) { return 0x80000000u | uint32_t(x + 16 * y); };
        d.Mask = [](int, int) { return true; };
        cases.push_back({"32 bit", d, 7, [](int x, int y) { return 0x80000000u | uint32_t(x + 16 * y); }});
    }
    {
        Dib d;
        d.Width = 4, d.Height = 2, d.Bits = 16;
        d.Pixel = [](int, int) { return 0xFFFFu; };
        cases.push_back({"16 bit stays transparent black", d, 5, [](int, int) { return 0u; }});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto f = Decode(MakeDib(c.dib));
        EXPECT_EQ(f->PixelFormat(), c.pixelFormat);
        ASSERT_EQ(f->Width(), c.dib.Width);
        ASSERT_EQ(f->Height(), c.dib.Height);
        ASSERT_EQ(f->Pixels().size(), size_t(c.dib.Width * c.dib.Height));
        for (int y = 0; y < c.dib.Height; ++y)
            for (int x = 0; x < c.dib.Width; ++x)
                ASSERT_EQ(f->Pixels()[size_t(y * c.dib.Width + x)], c.expected(x, y)) << x << "," << y;
    }
}

TEST(IconXPFormat, MalformedHeadersDecodeToNothing)
{
    Dib base;
    base.Width = base.Height = 16;
    base.Bits = 8;
    base.Palette.assign(256, 0);
    const QByteArray good = MakeDib(base);
    ASSERT_EQ(Decode(good)->PixelFormat(), 3);

    auto patched = [&](int at, uint32_t v) {
        QByteArray b = good;
        for (int i = 0; i < 4; ++i)
            b[at + i] = char(v >> (8 * i));
        return b;
    };
    auto patched16 = [&](int at, uint16_t v) {
        QByteArray b = good;
        b[at] = char(v);
        b[at + 1] = char(v >> 8);
        return b;
    };
    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"shorter than a header", good.left(39)},
        {"header size below 40", patched(0, 12)},
        {"header size beyond data", patched(0, 0x7FFFFFF0)},
        {"zero width", patched(4, 0)},
        {"negative width", patched(4, 0xFFFFFFF0)},
        {"gigantic width", patched(4, 0x7FFFFFFF)},
        {"gigantic height", patched(8, 0xFFFFFFFE)},
        {"height field 1", patched(8, 1)},
        {"bottom-up negative height", patched(8, uint32_t(-32))},
        {"unknown bit count", patched16(14, 3)},
        {"compressed", patched(16, 1)},
        {"colour count runs past data", patched(32, 0x40000000)},
        {"mask rows missing", good.left(good.size() - 1)},
        {"PNG signature, garbage after", QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(40, 'x')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto f = Decode(c.bytes);
        EXPECT_EQ(f->PixelFormat(), 0);
        EXPECT_TRUE(f->Pixels().empty());
    }

    // An image beyond the caller's pixel budget is not decoded either.
    TIconXPFormat f;
    f.DecodeImage(reinterpret_cast<const uint8_t*>(good.constData()), size_t(good.size()), 16 * 16 - 1);
    EXPECT_EQ(f.PixelFormat(), 0);
}

// A 32-bit image without its mask rows is still whole: its alpha is in the pixels.
TEST(IconXPFormat, ThirtyTwoBitNeedsNoMask)
{
    Dib d;
    d.Width = d.Height = 8;
    d.Pixel = [](int x, int) { return 0x40000000u | uint32_t(x); };
    const QByteArray b = MakeDib(d);
    const auto f = Decode(b.left(b.size() - 8 * 4));
    EXPECT_EQ(f->PixelFormat(), 7);
    EXPECT_EQ(f->Pixels()[3], 0x40000003u);
}

// PNG images decode as 32 bits with alpha, rows bottom first like every other image.
TEST(IconXPFormat, DecodesPngImages)
{
    QImage img(3, 2, QImage::Format_ARGB32);
    img.setPixel(0, 0, 0x80FF0000); // top-left, half-transparent red
    img.setPixel(1, 0, 0xFF00FF00);
    img.setPixel(2, 0, 0x00000000);
    img.setPixel(0, 1, 0xFF0000FF);
    img.setPixel(1, 1, 0x7F123456);
    img.setPixel(2, 1, 0xFFFFFFFF);
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(img.save(&buf, "PNG"));

    const auto f = Decode(png);
    EXPECT_EQ(f->PixelFormat(), 7);
    ASSERT_EQ(f->Width(), 3);
    ASSERT_EQ(f->Height(), 2);
    const TIconXPData want = {0xFF0000FF, 0x7F123456, 0xFFFFFFFF, 0x80FF0000, 0xFF00FF00, 0x00000000};
    EXPECT_EQ(f->Pixels(), want);

    // A PNG larger than any icon is refused from its header, before decoding.
    QImage big(MaxIconSide + 1, 1, QImage::Format_ARGB32);
    big.fill(0);
    QByteArray bigPng;
    QBuffer bigBuf(&bigPng);
    bigBuf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(big.save(&bigBuf, "PNG"));
    EXPECT_EQ(Decode(bigPng)->PixelFormat(), 0);
    EXPECT_EQ(Decode(png.left(png.size() / 2))->PixelFormat(), 0);
}

namespace {

std::unique_ptr<TIconXPFormats> MakeFormats(const std::vector<std::tuple<int, int, int>>& images)
{
    auto formats = std::make_unique<TIconXPFormats>();
    for (auto [w, h, bits] : images) {
        Dib d;
        d.Width = w, d.Height = h, d.Bits = bits;
        if (bits <= 8)
            d.Palette.assign(size_t(1) << bits, 0);
        const QByteArray b = MakeDib(d);
        formats->Add()->DecodeImage(reinterpret_cast<const uint8_t*>(b.constData()), size_t(b.size()));
    }
    return formats;
}

} // namespace

TEST(IconXPFormats, ChoosesTheNearestImage)
{
    {
        // 16 and 48 are equally far from 32: the later image in the file wins.
        auto a = MakeFormats({{16, 16, 32}, {48, 48, 32}});
        EXPECT_EQ(a->GetCurrent(), a->GetItem(1));
        EXPECT_EQ(a->WantedWidth(), 48);
        auto b = MakeFormats({{48, 48, 32}, {16, 16, 32}});
        EXPECT_EQ(b->GetCurrent(), b->GetItem(1));
        EXPECT_EQ(b->WantedWidth(), 16);
    }
    {
        // No 32-bit image: the deeper one; an exact wish beats depth.
        auto f = MakeFormats({{32, 32, 8}, {32, 32, 24}, {16, 16, 32}});
        EXPECT_EQ(f->GetCurrent(), f->GetItem(1));
        EXPECT_EQ(f->WantedPixelFormat(), 6);
        f->SetWantedPixelFormat(3);
        f->ForgetCurrent();
        EXPECT_EQ(f->GetCurrent(), f->GetItem(0));
        EXPECT_EQ(f->FindExact(32, 32, 6), f->GetItem(1));
        EXPECT_EQ(f->FindExact(32, 32, 7), nullptr);
        // Both exact: the later one.
        auto g = MakeFormats({{32, 32, 8}, {32, 32, 8}});
        EXPECT_EQ(g->FindBest(32, 32, 3), g->GetItem(1));
        EXPECT_EQ(g->FindExact(32, 32, 3), g->GetItem(1));
    }
    {
        TIconXPFormats empty;
        EXPECT_EQ(empty.GetCurrent(), nullptr);
        EXPECT_EQ(empty.WantedWidth(), 0);
        EXPECT_EQ(empty.WantedPixelFormat(), 0);
        EXPECT_THROW(empty.GetItem(0), EListError);
    }
}
