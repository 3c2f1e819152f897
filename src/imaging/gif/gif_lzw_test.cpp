#include "imaging/gif/gif_lzw.h"

#include "framework/exceptions.h"
#include "framework/streams.h"

#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <random>
#include <vector>

namespace {

// Index rows top-down, one value per pixel.
using Indices = std::vector<uint8_t>;

// Packs top-down indices into a bottom-up buffer of bpp bits per pixel.
std::vector<uint8_t> Pack(const Indices& px, int w, int h, int bpp)
{
    const int stride = GifRowStride(w, bpp);
    std::vector<uint8_t> buf(size_t(stride) * h, 0);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = buf.data() + size_t(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            uint8_t v = px[size_t(y) * w + x];
            if (bpp == 8)
                row[x] = v;
            else if (bpp == 4)
                row[x / 2] |= uint8_t(x % 2 ? v : v << 4);
            else
                row[x / 8] |= uint8_t(v << (7 - x % 8));
        }
    }
    return buf;
}

Indices Unpack(const std::vector<uint8_t>& buf, int w, int h, int bpp)
{
    const int stride = GifRowStride(w, bpp);
    Indices px(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = buf.data() + size_t(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            uint8_t v;
            if (bpp == 8)
                v = row[x];
            else if (bpp == 4)
                v = x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4;
            else
                v = (row[x / 8] >> (7 - x % 8)) & 1;
            px[size_t(y) * w + x] = v;
        }
    }
    return px;
}

// Row order of the four-pass interlace: interlaced data holds the rows in this order.
std::vector<int> InterlaceOrder(int h)
{
    std::vector<int> order;
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int p = 0; p < 4; ++p)
        for (int y = start[p]; y < h; y += step[p])
            order.push_back(y);
    return order;
}

// A plain dictionary LZW writer, independent of the coder under test, for any minimum code size.
struct RefOptions {
    int leadingClears = 1; // clear codes before the data
    bool endCode = true;
};

std::vector<uint8_t> RefEncode(const Indices& px, int minCode, RefOptions opt = {})
{
    std::vector<uint8_t> bytes;
    uint64_t acc = 0;
    int bits = 0;
    const int clear = 1 << minCode;
    int codeSize = minCode + 1;
    auto put = [&](int code) {
        acc |= uint64_t(code) << bits;
        bits += codeSize;
        while (bits >= 8) {
            bytes.push_back(uint8_t(acc));
            acc >>= 8;
            bits -= 8;
        }
    };
    for (int i = 0; i < opt.leadingClears; ++i)
        put(clear);
    std::map<std::pair<int, int>, int> dict;
    int next = clear + 2;
    int w = px.empty() ? 0 : px[0];
    for (size_t i = 1; i < px.size(); ++i) {
        auto it = dict.find({w, px[i]});
        if (it != dict.end()) {
            w = it->second;
            continue;
        }
        put(w);
        if (next < 4096) {
            int code = next++;
            dict[{w, px[i]}] = code;
            if (code == (1 << codeSize) && codeSize < 12)
                ++codeSize;
        }
        w = px[i];
    }
    put(w);
    if (opt.endCode)
        put(clear + 1);
    if (bits > 0)
        bytes.push_back(uint8_t(acc));
    std::vector<uint8_t> out{uint8_t(minCode)};
    for (size_t i = 0; i < bytes.size(); i += 255) {
        size_t n = std::min<size_t>(255, bytes.size() - i);
        out.push_back(uint8_t(n));
        out.insert(out.end(), bytes.begin() + i, bytes.begin() + i + n);
    }
    out.push_back(0);
    return out;
}

Indices Noise(int n, int colors, unsigned seed)
{
    std::mt19937 rng(seed);
    Indices px(n);
    for (auto& v : px)
        v = uint8_t(rng() % colors);
    return px;
}

struct Decoded {
    Indices px;
    bool corrupted;
};

Decoded Decode(const std::vector<uint8_t>& data, int w, int h, int bpp, int colorBits,
               bool interlaced = false)
{
    std::vector<uint8_t> buf(size_t(GifRowStride(w, bpp)) * h, 0);
    bool c = GifLzwDecodeBytes(data.data(), data.size(), w, h, bpp, interlaced, {}, buf.data(),
                               buf.size(), colorBits, true);
    return {Unpack(buf, w, h, bpp), c};
}

std::vector<uint8_t> Encode(const Indices& px, int w, int h, int bpp, bool interlaced = false)
{
    auto buf = Pack(px, w, h, bpp);
    TMemoryStream out;
    GifLzwEncode(&out, w, h, bpp, interlaced, {}, buf.data());
    QByteArray b = out.Bytes();
    return std::vector<uint8_t>(b.begin(), b.end());
}

} // namespace

TEST(GifLzw, RoundTripAtEachDepthAndShape)
{
    struct Case {
        int w, h, bpp, colors;
        bool interlaced;
    } cases[] = {
        {1, 1, 1, 2, false},   {7, 5, 1, 2, false},    {33, 17, 1, 2, true},  {5, 3, 4, 16, false},
        {31, 9, 4, 16, true},  {64, 64, 8, 256, false}, {301, 211, 8, 256, false},
        {97, 13, 8, 256, true}, {40, 40, 8, 3, false},  // few colours: long strings, early codes
        {250, 250, 8, 1, false}, // one colour: every string repeats its first pixel
        {19, 23, 8, 2, false},   // odd rows a little wider than a copied chunk: long strings
        {21, 30, 4, 3, true},    // end near the rows' ends and across them
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " bpp " << c.bpp << " interlaced " << c.interlaced);
        Indices px = Noise(c.w * c.h, c.colors, unsigned(c.w * 31 + c.h));
        auto data = Encode(px, c.w, c.h, c.bpp, c.interlaced);
        EXPECT_EQ(data[0], c.bpp == 1 ? 2 : c.bpp);
        Decoded d = Decode(data, c.w, c.h, c.bpp, c.bpp, c.interlaced);
        EXPECT_FALSE(d.corrupted);
        EXPECT_EQ(d.px, px);
    }
}

TEST(GifLzw, EncoderWritesWellFormedSubBlocksAndRestartsItsTable)
{
    // Noise over 256 colours fills the table many times over.
    const int w = 400, h = 300;
    Indices px = Noise(w * h, 256, 7);
    auto data = Encode(px, w, h, 8);
    size_t pos = 1, blocks = 0;
    while (pos < data.size() && data[pos] != 0) {
        pos += 1 + data[pos];
        ++blocks;
    }
    EXPECT_EQ(pos, data.size() - 1) << "the terminator ends the data";
    EXPECT_GT(blocks, 100u);
    // Every block but the last is full.
    for (size_t p = 1, i = 0; i + 1 < blocks; ++i, p += 256)
        ASSERT_EQ(data[p], 255);
}

TEST(GifLzw, DecodesEveryMinimumCodeSizeFromAnotherWriter)
{
    for (int m = 2; m <= 11; ++m) {
        SCOPED_TRACE(m);
        const int w = 120, h = 70;
        Indices px = Noise(w * h, 1 << std::min(m, 8), unsigned(m));
        for (int bpp : {4, 8}) {
            if (std::min(m, 8) > bpp)
                continue;
            Decoded d = Decode(RefEncode(px, m), w, h, bpp, std::min(m, 8));
            EXPECT_FALSE(d.corrupted);
            EXPECT_EQ(d.px, px);
        }
    }
}

TEST(GifLzw, InterlacedRowsOfSmallHeightsLandInPlace)
{
    for (int h : {1, 2, 3, 4, 5, 8, 9, 13}) {
        SCOPED_TRACE(h);
        const int w = 3;
        Indices px(size_t(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px[size_t(y) * w + x] = uint8_t(y * 3 + x);
        // The data holds the rows in interlace order.
        Indices stream;
        for (int y : InterlaceOrder(h))
            stream.insert(stream.end(), px.begin() + y * w, px.begin() + (y + 1) * w);
        Decoded d = Decode(RefEncode(stream, 8), w, h, 8, 8, true);
        EXPECT_EQ(d.px, px);
    }
}

// A table may be larger than the code size needs; indices are the codes below the clear code.
TEST(GifLzw, SmallCodeSizeWithLargeColourTable)
{
    const int w = 50, h = 20;
    Indices px = Noise(w * h, 4, 3);
    Decoded d = Decode(RefEncode(px, 2), w, h, 8, 8);
    EXPECT_FALSE(d.corrupted);
    EXPECT_EQ(d.px, px);
}

TEST(GifLzw, UnusualButValidStreams)
{
    const int w = 64, h = 64;
    Indices px = Noise(w * h, 256, 11);
    // Data without a leading clear code reads as if it had one: the first code adds no entry,
    // which is how writers that leave the clear code out number their entries.
    struct Case {
        const char* name;
        RefOptions opt;
    } cases[] = {
        {"no leading clear", {0, true}},
        {"two leading clears", {2, true}},
        {"no end code", {1, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded d = Decode(RefEncode(px, 8, c.opt), w, h, 8, 8);
        EXPECT_FALSE(d.corrupted);
        EXPECT_EQ(d.px, px);
    }
    // A table that fills up without a clear code keeps its last entries.
    Indices big = Noise(300 * 300, 256, 5);
    Decoded d = Decode(RefEncode(big, 8), 300, 300, 8, 8);
    EXPECT_FALSE(d.corrupted);
    EXPECT_EQ(d.px, big);
}

TEST(GifLzw, ShortAndLongDataAreNotErrors)
{
    const int w = 40, h = 30;
    Indices px = Noise(w * h, 16, 9);
    auto data = RefEncode(px, 4);
    // Cut inside the data: decoded rows stay, the rest keeps index 0.
    std::vector<uint8_t> cut(data.begin(), data.begin() + data.size() / 2);
    Decoded d = Decode(cut, w, h, 8, 4);
    EXPECT_FALSE(d.corrupted);
    size_t good = 0;
    while (good < px.size() && d.px[good] == px[good])
        ++good;
    EXPECT_GT(good, px.size() / 4);
    for (size_t i = good + 64; i < px.size(); ++i)
        ASSERT_EQ(d.px[i], 0) << i;

    // More pixels than the frame holds: the extra ones are dropped.
    Indices more = px;
    more.insert(more.end(), 500, 7);
    d = Decode(RefEncode(more, 4), w, h, 8, 4);
    EXPECT_FALSE(d.corrupted);
    EXPECT_EQ(d.px, px);
}

// Eight-bit rows take whole strings at once; four-bit rows take them a pixel at a time. Cut
// anywhere, the two give the same pixels, and nothing past the last one.
TEST(GifLzw, EightBitRowsMatchFourBitRowsWhereverTheDataEnds)
{
    const int w = 40, h = 12;
    Indices px = Noise(w * h, 3, 10);
    for (size_t i = 0; i < px.size(); i += 7)
        px[i] = uint8_t(i % 16);
    const auto data = RefEncode(px, 4);
    for (size_t n = 2; n <= data.size(); ++n) {
        std::vector<uint8_t> cut(data.begin(), data.begin() + n);
        for (bool interlaced : {false, true}) {
            SCOPED_TRACE(testing::Message() << n << " bytes" << (interlaced ? " interlaced" : ""));
            Decoded wide = Decode(cut, w, h, 8, 4, interlaced);
            Decoded packed = Decode(cut, w, h, 4, 4, interlaced);
            ASSERT_EQ(wide.corrupted, packed.corrupted);
            ASSERT_EQ(wide.px, packed.px);
        }
    }
}

TEST(GifLzw, CorruptDataEndsTheFrame)
{
    // Two leading pixels 1, 2 then the broken part; a 1x8 frame with code size 2 (3-bit codes).
    auto pack3 = [](std::vector<int> codes, int minCode = 2) {
        std::vector<uint8_t> bytes;
        uint64_t acc = 0;
        int bits = 0;
        for (int c : codes) {
            acc |= uint64_t(c) << bits;
            bits += minCode + 1;
        }
        while (bits > 0) {
            bytes.push_back(uint8_t(acc));
            acc >>= 8;
            bits -= 8;
        }
        std::vector<uint8_t> out{uint8_t(minCode), uint8_t(bytes.size())};
        out.insert(out.end(), bytes.begin(), bytes.end());
        out.push_back(0);
        return out;
    };
    struct Case {
        const char* name;
        std::vector<uint8_t> data;
        Indices expect;
    } cases[] = {
        {"code beyond the table", pack3({4, 1, 7, 1}), {1, 0, 0, 0, 0, 0, 0, 0}},
        {"code size 12 keeps one pixel", {12, 2, 0x03, 0x00, 0}, {3, 0, 0, 0, 0, 0, 0, 0}},
        {"code size 1", {1, 1, 0x4C, 0}, {1, 0, 0, 0, 0, 0, 0, 0}},
        {"code size 0", {0, 1, 0x0C, 0}, {1, 0, 0, 0, 0, 0, 0, 0}},
        {"no data at all", {}, {0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded d = Decode(c.data, 8, 1, 8, 8);
        EXPECT_TRUE(d.corrupted);
        EXPECT_EQ(d.px, c.expect);
        // With corrupt data refused, the decoder raises instead.
        std::vector<uint8_t> buf(8);
        try {
            GifLzwDecodeBytes(c.data.data(), c.data.size(), 8, 1, 8, false, {}, buf.data(), buf.size(), 8, false);
            ADD_FAILURE() << "no exception";
        } catch (const EInvalidGraphicOperation& e) {
            bool codeSize = c.data.size() > 0 && (c.data[0] < 2 || c.data[0] > 9);
            EXPECT_EQ(e.Message(), codeSize ? "GIF code size not in range 2 to 9" : "GIF encoded data is corrupt");
        }
    }
}

// Indices beyond the colour table are drawn masked into it; such data is not corrupt. A code that
// names no entry right after a clear is drawn masked the same way and extends nothing.
TEST(GifLzw, IndicesOutsideTheTableAreMaskedWithoutCorruption)
{
    const int w = 37, h = 11;
    Indices px = Noise(w * h, 256, 21);
    Indices masked = px;
    for (auto& v : masked)
        v &= 15;
    Decoded d = Decode(RefEncode(px, 8), w, h, 8, 4);
    EXPECT_FALSE(d.corrupted);
    EXPECT_EQ(d.px, masked);

    // Few values give strings longer than a row of 7, each one masked as a whole.
    Indices few = Noise(7 * 40, 3, 22);
    for (auto& v : few)
        v = uint8_t(v * 101 + 5);
    masked = few;
    for (auto& v : masked)
        v &= 3;
    for (int colorBits : {2, 8}) {
        d = Decode(RefEncode(few, 8), 7, 40, 8, colorBits);
        EXPECT_FALSE(d.corrupted);
        EXPECT_EQ(d.px, colorBits == 2 ? masked : few);
    }

    // Code size 2 (3-bit codes): clear, 6 (no entry yet), 1, 6 (now the entry "1 1"), end.
    // With 256 colours 6 is drawn as it is and starts nothing; with 2 it masks to index 0, which
    // the next code extends.
    const std::vector<uint8_t> data{2, 2, 0x74, 0x5C, 0};
    d = Decode(data, 5, 1, 8, 8);
    EXPECT_FALSE(d.corrupted);
    EXPECT_EQ(d.px, (Indices{6, 1, 1, 1, 0}));
    d = Decode(data, 5, 1, 8, 1);
    EXPECT_FALSE(d.corrupted);
    EXPECT_EQ(d.px, (Indices{0, 1, 0, 1, 0}));
}

// Frames decoded one after another on a thread share the decoder's tables; each frame still
// decodes with its own code size and colour table, whatever the frame before it had.
TEST(GifLzw, FramesInARowEachKeepTheirOwnCodeSizeAndColours)
{
    const int w = 23, h = 9;
    struct Frame {
        int minCode, colorBits;
    } frames[] = {{6, 8}, {6, 3}, {8, 8}, {6, 8}, {2, 2}, {8, 4}, {6, 3}, {8, 8}};
    for (int round = 0; round < 2; ++round) {
        for (const Frame& f : frames) {
            SCOPED_TRACE(testing::Message() << "code size " << f.minCode << " colour bits " << f.colorBits);
            Indices px = Noise(w * h, 1 << f.minCode, unsigned(f.minCode * 7 + f.colorBits));
            Indices masked = px;
            for (auto& v : masked)
                v &= uint8_t((1 << f.colorBits) - 1);
            Decoded d = Decode(RefEncode(px, f.minCode), w, h, 8, f.colorBits);
            EXPECT_FALSE(d.corrupted);
            EXPECT_EQ(d.px, masked);
        }
    }
}

// Rows may run top-down (as a framework bitmap keeps them); each row lands in the same place
// as in the bottom-up buffer turned over, for every depth, odd widths and both row orders.
TEST(GifLzw, TopDownRowsAreTheBottomUpRowsTurnedOver)
{
    for (int bpp : {1, 4, 8})
        for (auto [w, h] : {std::pair{1, 1}, {3, 5}, {13, 9}, {33, 17}, {250, 3}})
            for (bool interlaced : {false, true}) {
                SCOPED_TRACE(testing::Message() << bpp << " bits " << w << "x" << h << (interlaced ? " interlaced" : ""));
                Indices px = Noise(w * h, 1 << bpp, unsigned(w * h + bpp));
                auto data = Encode(px, w, h, bpp, interlaced);
                const size_t stride = size_t(GifRowStride(w, bpp));
                std::vector<uint8_t> up(stride * h, 0), down(stride * h, 0);
                ASSERT_FALSE(GifLzwDecodeBytes(data.data(), data.size(), w, h, bpp, interlaced, {}, up.data(),
                                               up.size(), bpp, true));
                ASSERT_FALSE(GifLzwDecodeBytes(data.data(), data.size(), w, h, bpp, interlaced, {}, down.data(),
                                               down.size(), bpp, true, nullptr, true));
                EXPECT_EQ(Unpack(up, w, h, bpp), px);
                for (int y = 0; y < h; ++y)
                    ASSERT_TRUE(std::equal(down.begin() + y * stride, down.begin() + (y + 1) * stride,
                                           up.begin() + (h - 1 - y) * stride))
                        << "row " << y;
            }
}

// One- and four-bit rows end as writing pixel by pixel leaves them, over a buffer that is not
// zero: the first pixel of a byte sets the whole byte, later ones are or-ed in, and bytes past the
// last pixel and rows that do not fit the buffer keep what the caller put there.
TEST(GifLzw, PackedRowsEndWhereThePixelsEnd)
{
    const uint8_t fill = 0xA5;
    for (int bpp : {1, 4})
        for (int w : {13, 16})
            for (bool interlaced : {false, true})
                for (bool topDown : {false, true})
                    for (int count : {1, 6, 7, 8, 9, 13, 3 * 13 + 5, 16 * 7 - 1, 16 * 7}) {
                        SCOPED_TRACE(testing::Message() << bpp << " bits, width " << w << (interlaced ? " interlaced" : "")
                                                        << (topDown ? " top-down" : "") << ", " << count << " pixels");
                        const int h = 7;
                        const int stride = GifRowStride(w, bpp);
                        // The data ends with an end code after count pixels (values above the
                        // pixel's bits are masked off); the buffer holds 5 of the 7 rows.
                        const Indices px = Noise(count, 256, unsigned(count + w));
                        const auto data = RefEncode(px, 8);
                        const size_t size = size_t(stride) * 5;
                        std::vector<uint8_t> buf(size, fill);
                        EXPECT_FALSE(GifLzwDecodeBytes(data.data(), data.size(), w, h, bpp, interlaced, {}, buf.data(),
                                                       size, bpp, true, nullptr, topDown));

                        std::vector<uint8_t> expected(size, fill);
                        std::vector<int> rows = std::vector<int>(size_t(h));
                        std::iota(rows.begin(), rows.end(), 0);
                        if (interlaced)
                            rows = InterlaceOrder(h);
                        for (int i = 0; i < std::min(count, w * h); ++i) {
                            const int y = rows[size_t(i / w)], x = i % w;
                            const int at = topDown ? y : h - 1 - y;
                            if (at >= 5)
                                continue;
                            const int v = px[size_t(i)] & ((1 << bpp) - 1);
                            uint8_t& b = expected[size_t(at) * stride + size_t(x * bpp / 8)];
                            const int shift = 8 - bpp - (x * bpp) % 8;
                            b = uint8_t((shift == 8 - bpp ? 0 : b) | (v << shift));
                        }
                        ASSERT_EQ(buf, expected);
                    }
}

TEST(GifLzw, NeverWritesPastTheCallersBuffer)
{
    const int w = 100, h = 100;
    Indices px = Noise(w * h, 256, 1);
    auto data = RefEncode(px, 8);
    // Only the bottom 10 storage rows (the image's last rows) fit.
    std::vector<uint8_t> buf(size_t(w) * 10);
    EXPECT_FALSE(GifLzwDecodeBytes(data.data(), data.size(), w, h, 8, false, {}, buf.data(), buf.size(), 8, true));
    for (int y = 90; y < 100; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(buf[size_t(99 - y) * w + x], px[size_t(y) * w + x]);
}

TEST(GifLzw, StreamFormReportsProgressAndLeavesThePositionAfterTheData)
{
    const int w = 30, h = 20;
    Indices px = Noise(w * h, 16, 2);
    auto data = Encode(px, w, h, 4);
    TMemoryStream s;
    s.WriteBuffer(data.data(), int64_t(data.size()));
    s.WriteByte(0x3B);
    s.SetPosition(0);
    std::vector<std::pair<int, int>> reports;
    auto progress = [&](TGifProgressStage st, int pct, const QString&) { reports.push_back({st, pct}); };
    std::vector<uint8_t> buf(size_t(GifRowStride(w, 4)) * h);
    EXPECT_FALSE(GifLzwDecode(&s, w, h, 4, false, progress, buf.data(), buf.size(), 4, true));
    EXPECT_EQ(s.Position(), int64_t(data.size()));
    EXPECT_EQ(Unpack(buf, w, h, 4), px);
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front(), std::make_pair(int(gpsStarting), 0));
    EXPECT_EQ(reports.back(), std::make_pair(int(gpsEnding), 100));

    // An exception passing through is reported with its message.
    QString message;
    auto listen = [&](TGifProgressStage st, int pct, const QString& m) {
        if (st == gpsEnding)
            message = m;
    };
    uint8_t bad[] = {12, 1, 0, 0};
    EXPECT_THROW(GifLzwDecodeBytes(bad, sizeof bad, 1, 1, 8, false, listen, buf.data(), buf.size(), 8, false),
                 EInvalidGraphicOperation);
    EXPECT_EQ(message, "GIF code size not in range 2 to 9");
}
