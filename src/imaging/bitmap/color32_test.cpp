#include "imaging/bitmap/color32.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

TEST(Color32, ConversionsAndClamps)
{
    EXPECT_EQ(MakeColor32(255, 0, 0, 128), 0x80FF0000u);
    EXPECT_EQ(MakeColor32(0x12, 0x34, 0x56), 0xFF123456u);
    EXPECT_EQ(WithAlpha(0x12345678, -5), 0x00345678u);
    EXPECT_EQ(WithAlpha(0x12345678, 300), 0xFF345678u);
    EXPECT_EQ(WithAlpha(0x12345678, 0x9A), 0x9A345678u);
    EXPECT_EQ(ClampByte(-1), 0);
    EXPECT_EQ(ClampByte(256), 255);
    EXPECT_EQ(ClampInt(5, 7, 9), 7);
    EXPECT_EQ(ClampInt(10, 7, 9), 9);

    struct { float in; TFixed16 out; } fixed[] = {
        {1.0f, 65536}, {-1.5f, -98304},
        {0.5f / 65536, 0}, {1.5f / 65536, 2}, {2.5f / 65536, 2}, {-2.5f / 65536, -2}, // halves to even
        {1e10f, INT_MAX}, {-1e10f, INT_MIN},
    };
    for (auto& c : fixed)
        EXPECT_EQ(FloatToFixed(c.in), c.out) << c.in;
}

TEST(Color32, RectanglesAndPoints)
{
    TRect r;
    // Touching along an edge: true with a zero-width result.
    EXPECT_TRUE(IntersectRects(r, MakeRect(0, 0, 10, 10), MakeRect(10, 2, 20, 8)));
    EXPECT_EQ(r, MakeRect(10, 2, 10, 8));
    EXPECT_TRUE(IsEmptyRect(r));
    r = MakeRect(1, 2, 3, 4);
    EXPECT_FALSE(IntersectRects(r, MakeRect(0, 0, 10, 10), MakeRect(11, 0, 20, 10)));
    EXPECT_EQ(r, TRect{});
    EXPECT_TRUE(IntersectRects(r, MakeRect(0, 0, 10, 10), MakeRect(-5, 3, 4, 30)));
    EXPECT_EQ(r, MakeRect(0, 3, 4, 10));

    OffsetRectBy(r, -2, 5);
    EXPECT_EQ(r, MakeRect(-2, 8, 2, 15));
    EXPECT_TRUE(IsPointInRect(MakeRect(0, 0, 2, 2), MakePoint(0, 1)));
    EXPECT_FALSE(IsPointInRect(MakeRect(0, 0, 2, 2), MakePoint(2, 1)));
    EXPECT_FALSE(IsPointInRect(MakeRect(0, 0, 2, 2), MakePoint(1, -1)));
    EXPECT_EQ(MakeFloatRect(1, 2, 3, 4), (TFloatRect{1, 2, 3, 4}));
}

TEST(Color32, IntegerRoutines)
{
    struct { int a, b, c, out; } md[] = {
        {7, 3, 2, 11}, {-7, 3, 2, -11}, {7, -3, 2, -11}, {7, 3, -2, -11}, {-7, -3, -2, -11},
        {-7, -3, 2, 11}, {1, 1, 3, 0}, {2, 1, 3, 1}, {0, 5, -3, 0},
        {0x40000000, 4, 1, -1},      // quotient beyond 31 bits
        {0x7FFFFFFF, 2, 1, -1},      // between 2^31 and 2^32: the product's high word alone misses it
        {0x7FFFFFFF, 2, 2, 0x7FFFFFFF},
        {5, 5, 0, -1},               // no division by zero
    };
    for (auto& c : md)
        EXPECT_EQ(MulDivRound(c.a, c.b, c.c), c.out) << c.a << "*" << c.b << "/" << c.c;

    struct { int a, b, size; bool ok; int ca, cb; } spans[] = {
        {2, 5, 10, true, 2, 5}, {5, 2, 10, true, 2, 5}, {-3, 20, 10, true, 0, 9},
        {10, 12, 10, false, 10, 9}, {-5, -1, 10, false, 0, -1}, {0, 0, 1, true, 0, 0},
    };
    for (auto& c : spans) {
        int a = c.a, b = c.b;
        EXPECT_EQ(ClipSpan(a, b, c.size), c.ok) << c.a << ".." << c.b;
        EXPECT_EQ(a, c.ca);
        EXPECT_EQ(b, c.cb);
    }

    TColor32 buf[4] = {1, 2, 3, 4};
    FillColors(buf, 0, 9);
    FillColors(buf, -3, 9);
    MoveColors(buf + 2, buf, 0);
    EXPECT_EQ(buf[0], 1u);
    FillColors(buf + 1, 2, 9);
    EXPECT_EQ(buf[0], 1u);
    EXPECT_EQ(buf[1], 9u);
    EXPECT_EQ(buf[2], 9u);
    EXPECT_EQ(buf[3], 4u);
}

TEST(Color32, GammaTable)
{
    EXPECT_EQ(GammaTable[0], 0);
    EXPECT_EQ(GammaTable[128], 157);
    EXPECT_EQ(GammaTable[255], 255);
    for (int i = 1; i < 256; ++i)
        EXPECT_GE(GammaTable[i], GammaTable[i - 1]);
}

TEST(Color32, SimdSetIsInstalledOnThisProcessor)
{
    EXPECT_TRUE(HasMMX());
    EXPECT_TRUE(UseSimdBlending);
    const TBlendRoutines* spans = SimdWideBlendRoutines() ? SimdWideBlendRoutines() : &SimdBlendRoutines;
    EXPECT_EQ(BlendInto, SimdBlendRoutines.BlendInto);
    EXPECT_EQ(MixColors, SimdBlendRoutines.MixColors);
    EXPECT_EQ(BlendSpan, spans->BlendSpan);
    EXPECT_EQ(BlendSpanMaster, spans->BlendSpanMaster);
    EXPECT_EQ(MixSpan, spans->MixSpan);
}

// ---- the two routine sets --------------------------------------------------------------------

namespace {

struct BlendSet {
    const char* name;
    const TBlendRoutines* r;
    bool simd;
};

int ScalarChannel(int x, int y, int w) { return ((x * w + 128) >> 8) + ((y * (255 - w) + 128) >> 8); }
int SimdChannel(int x, int y, int w) { return (y * 256 + 128 + (x - y) * w) >> 8; }

TColor32 ReferenceMix(bool simd, TColor32 x, TColor32 y, int w)
{
    TColor32 out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int xc = (x >> shift) & 0xFF, yc = (y >> shift) & 0xFF;
        out |= TColor32(simd ? SimdChannel(xc, yc, w) : ScalarChannel(xc, yc, w)) << shift;
    }
    return out;
}

void PrintTo(const BlendSet& s, std::ostream* os) { *os << s.name; }

class BlendSetTest : public ::testing::TestWithParam<BlendSet> {};

} // namespace

TEST_P(BlendSetTest, MixMatchesItsFormulaForEveryChannelValue)
{
    const auto& s = GetParam();
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 256; ++y)
            for (int w = 1; w < 255; ++w) {
                const TColor32 X = TColor32(x) * 0x01010101u, Y = TColor32(y) * 0x01010101u;
                const TColor32 expect = TColor32(s.simd ? SimdChannel(x, y, w) : ScalarChannel(x, y, w)) * 0x01010101u;
                const TColor32 got = s.r->MixColors(X, Y, w);
                if (got != expect)
                    FAIL() << s.name << " x=" << x << " y=" << y << " w=" << w << " got " << std::hex << got;
            }
    // Channels stay apart.
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i) {
        const TColor32 X = rng(), Y = rng();
        const int w = 1 + int(rng() % 254);
        ASSERT_EQ(s.r->MixColors(X, Y, w), ReferenceMix(s.simd, X, Y, w));
    }
}

TEST_P(BlendSetTest, ShortcutsAndKnownValues)
{
    const auto& s = GetParam();
    const auto& r = *s.r;
    // Alpha 0 leaves the pixel, alpha and all; alpha 255 stores the foreground exactly.
    TColor32 p = 0x12345678;
    r.BlendInto(0x00FFFFFF, p);
    EXPECT_EQ(p, 0x12345678u);
    r.BlendInto(0xFF010203, p);
    EXPECT_EQ(p, 0xFF010203u);
    p = 0x12345678;
    r.MixInto(0xAABBCCDD, p, 0);
    EXPECT_EQ(p, 0x12345678u);
    r.MixInto(0xAABBCCDD, p, 255);
    EXPECT_EQ(p, 0xAABBCCDDu);

    // 0x80FF0000 with weight 128 into opaque black and into transparent black.
    p = 0xFF000000;
    r.MixInto(0x80FF0000, p, 128);
    EXPECT_EQ(p, s.simd ? 0xC0800000u : 0xBF800000u);
    p = 0;
    r.MixInto(0x80FF0000, p, 128);
    EXPECT_EQ(p, 0x40800000u);
    // The two sets differ: 0 over 255 at weight 128.
    EXPECT_EQ(r.MixColors(0, 0xFFFFFFFF, 128), s.simd ? 0x80808080u : 0x7F7F7F7Fu);

    // Where there is no shortcut at full weight, 255 over 0 gives 254.
    EXPECT_EQ(r.BlendColorsMaster(0xFFFFFFFF, 0, 255), 0xFEFEFEFEu);
    EXPECT_EQ(r.MixColors(0xFFFFFFFF, 0, 255), s.simd ? 0xFEFEFEFEu : 0xFFFFFFFFu);
    EXPECT_EQ(r.BlendColors(0xFFFFFFFF, 0), s.simd ? 0xFEFEFEFEu : 0xFFFFFFFFu);
    EXPECT_EQ(r.BlendColors(0x00FFFFFF, 0x11223344), 0x11223344u);

    // Master alpha: weight ((M + 1) * A) >> 8; M = 0 never changes a pixel.
    for (TColor32 f : {0xFFFFFFFFu, 0x80FF00FFu, 0x01FFFFFFu}) {
        p = 0x12345678;
        r.BlendIntoMaster(f, p, 0);
        EXPECT_EQ(p, 0x12345678u);
        EXPECT_EQ(r.BlendColorsMaster(f, 0x12345678, 0), 0x12345678u);
    }
    p = 0xFF000000;
    r.BlendIntoMaster(0xFFFF0000, p, 128); // weight (129 * 255) >> 8 = 128
    EXPECT_EQ(p, ReferenceMix(s.simd, 0xFFFF0000, 0xFF000000, 128));
}

TEST_P(BlendSetTest, SpansMatchThePerPixelRoutines)
{
    const auto& r = *GetParam().r;
    std::mt19937 rng(11);
    const TColor32 alphas[] = {0, 255, 1, 128, 254};
    for (int n : {1, 3, 4, 7, 8, 13, 37, 64}) {
        std::vector<TColor32> src(n), dst(n);
        for (int i = 0; i < n; ++i) {
            // Runs of equal alpha exercise the all-opaque and all-clear fast paths.
            const TColor32 a = (i / 4) % 2 == 0 ? alphas[(i / 8) % 5] : rng() >> 24;
            src[i] = (rng() & 0x00FFFFFF) | (a << 24);
            dst[i] = rng();
        }
        auto expect = dst;
        auto got = dst;
        for (int i = 0; i < n; ++i)
            r.BlendInto(src[i], expect[i]);
        r.BlendSpan(src.data(), got.data(), n);
        EXPECT_EQ(got, expect) << "BlendSpan " << n;

        for (uint32_t m : {0u, 1u, 127u, 254u, 255u}) {
            expect = got = dst;
            for (int i = 0; i < n; ++i)
                r.BlendIntoMaster(src[i], expect[i], m);
            r.BlendSpanMaster(src.data(), got.data(), n, m);
            EXPECT_EQ(got, expect) << "BlendSpanMaster " << n << " m=" << m;
        }
        for (uint32_t w : {0u, 1u, 128u, 254u, 255u}) {
            expect = got = dst;
            for (int i = 0; i < n; ++i)
                r.MixInto(src[3 % n], expect[i], w);
            r.MixSpan(src[3 % n], got.data(), n, w);
            EXPECT_EQ(got, expect) << "MixSpan " << n << " w=" << w;
        }
    }
    // Counts of 0 or less touch nothing.
    TColor32 one = 0x12345678, f = 0x80FFFFFF;
    r.BlendSpan(&f, &one, 0);
    r.BlendSpanMaster(&f, &one, -1, 255);
    r.MixSpan(f, &one, 0, 128);
    EXPECT_EQ(one, 0x12345678u);
}

// The span routines compute their mixes differently from the per-pixel ones (lanes in place,
// rounding multiplies); every pair of channel values at every weight gives the same bytes.
TEST_P(BlendSetTest, SpansMatchThePerPixelRoutinesForEveryChannelPair)
{
    const auto& r = *GetParam().r;
    std::vector<TColor32> src(65536 + 5), dst(src.size());
    for (uint32_t a = 0; a < 256; ++a) {
        for (uint32_t i = 0; i < src.size(); ++i) {
            const uint32_t x = i & 255, y = (i >> 8) & 255;
            src[i] = a << 24 | x << 16 | (255 - y) << 8 | y;
            dst[i] = (x ^ 0x5A) << 24 | y << 16 | x << 8 | (255 - x);
        }
        auto expect = dst;
        for (size_t i = 0; i < src.size(); ++i)
            r.BlendInto(src[i], expect[i]);
        r.BlendSpan(src.data(), dst.data(), int(dst.size()));
        ASSERT_EQ(dst, expect) << "alpha " << a;
    }
}

// The slots run the SIMD set's per-pixel routines inline and any other routine through its
// pointer; either way the installed routine's bytes come out, for every channel pair and weight.
TEST_P(BlendSetTest, SlotsGiveTheInstalledRoutinesResults)
{
    const auto& r = *GetParam().r;
    const TBlendInto savedBlend = BlendInto;
    const TMixInto savedMix = MixInto;
    BlendInto = r.BlendInto;
    MixInto = r.MixInto;
    std::vector<TColor32> src(65536), viaSlot(src.size()), viaRoutine(src.size());
    for (uint32_t a = 0; a < 256; ++a) {
        for (uint32_t i = 0; i < src.size(); ++i) {
            const uint32_t x = i & 255, y = i >> 8;
            src[i] = a << 24 | x << 16 | (255 - y) << 8 | y;
            viaSlot[i] = viaRoutine[i] = (x ^ 0x5A) << 24 | y << 16 | x << 8 | (255 - x);
        }
        for (size_t i = 0; i < src.size(); ++i) {
            BlendInto(src[i], viaSlot[i]);
            r.BlendInto(src[i], viaRoutine[i]);
        }
        ASSERT_EQ(viaSlot, viaRoutine) << "alpha " << a;
        // Weights past 255 count as 255.
        for (uint32_t w : {a, a + 200}) {
            for (size_t i = 0; i < src.size(); ++i) {
                MixInto(src[i], viaSlot[i], w);
                r.MixInto(src[i], viaRoutine[i], w);
            }
            ASSERT_EQ(viaSlot, viaRoutine) << "weight " << w;
        }
    }
    BlendInto = savedBlend;
    MixInto = savedMix;
}

static std::vector<BlendSet> AllSets()
{
    std::vector<BlendSet> sets{{"scalar", &ScalarBlendRoutines, false}, {"simd", &SimdBlendRoutines, true}};
    if (SimdWideBlendRoutines())
        sets.push_back({"simdwide", SimdWideBlendRoutines(), true});
    return sets;
}

INSTANTIATE_TEST_SUITE_P(Sets, BlendSetTest, ::testing::ValuesIn(AllSets()),
                         [](const auto& info) { return std::string(info.param.name); });
