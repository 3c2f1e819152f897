#include "imaging/bitmap/bitmap32.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/clipboard.h"
#include "framework/exceptions.h"
#include "framework/graphics.h"
#include "framework/picture.h"
#include "framework/streams.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Counts the events a bitmap fires.
struct Events {
    int change = 0, resize = 0, handle = 0;
    explicit Events(TBitmap32& b)
    {
        b.OnChange = [this](TObject*) { ++change; };
        b.OnResize = [this](TObject*) { ++resize; };
        b.OnHandleChanged = [this](TObject*) { ++handle; };
    }
    int total() const { return change + resize + handle; }
};

std::vector<TColor32> Pixels(const TBitmap32& b)
{
    if (b.IsEmpty())
        return {};
    return {b.Bits(), b.Bits() + b.Width() * b.Height()};
}

// Rows of a bitmap as text, one character per pixel from a legend: makes clipping faults readable.
std::string Map(const TBitmap32& b, TColor32 on)
{
    std::string s;
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x)
            s += *b.PixelAddress(x, y) == on ? '#' : '.';
        s += '\n';
    }
    return s;
}

} // namespace

TEST(Bitmap32, StartsEmptyWithDefaults)
{
    TBitmap32 b;
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(b.Bits(), nullptr);
    EXPECT_EQ(b.DIBHandle(), 0u);
    EXPECT_EQ(b.DrawMode(), dmOpaque);
    EXPECT_EQ(b.MasterAlpha(), 255u);
    EXPECT_EQ(b.OuterColor(), 0u);
    EXPECT_EQ(b.PenColor(), 0xFFFFFFFFu);
    EXPECT_EQ(b.StretchFilter(), sfNearest);
}

TEST(Bitmap32, SetSizeNegativeWidthKeepsHeightAndReportsOnce)
{
    TBitmap32 b;
    Events ev(b);
    EXPECT_TRUE(b.SetSize(-5, 10));
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 10);
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(ev.change, 1);
    EXPECT_EQ(ev.resize, 1);
    EXPECT_EQ(ev.handle, 1);
    EXPECT_FALSE(b.SetSize(-5, 10));
    EXPECT_EQ(ev.total(), 3);
}

TEST(Bitmap32, EverySizeChangeGivesTransparentBlackAndANewSection)
{
    TBitmap32 b;
    b.SetSize(3, 2);
    b.Clear(0xFF112233);
    const auto first = b.DIBHandle();
    EXPECT_NE(first, 0u);
    b.SetSize(2, 3);
    EXPECT_NE(b.DIBHandle(), first);
    EXPECT_EQ(Pixels(b), std::vector<TColor32>(6, 0));
    EXPECT_EQ(b.RowAddress(1), b.Bits() + 2);
    EXPECT_EQ(b.PixelAddress(1, 2), b.Bits() + 5);
    EXPECT_EQ(b.GetBounds(), MakeRect(0, 0, 2, 3));
    b.MakeEmpty();
    EXPECT_EQ(b.Bits(), nullptr);
    EXPECT_EQ(b.DIBHandle(), 0u);
}

TEST(Bitmap32, OversizedSectionFailsAndLeavesTheBitmapEmpty)
{
    for (int side : {100000, 0x7FFFFFFF}) {
        TBitmap32 b;
        b.SetSize(4, 4);
        Events ev(b);
        try {
            b.SetSize(side, side);
            FAIL() << "no exception";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "Can't allocate the DIB handle");
        }
        EXPECT_TRUE(b.IsEmpty());
        EXPECT_EQ(b.Width(), 0);
        EXPECT_EQ(b.Height(), 0);
        EXPECT_EQ(ev.handle, 1);
    }
}

TEST(Bitmap32, SettersSignalOnlyRealChanges)
{
    TBitmap32 b;
    Events ev(b);
    b.SetDrawMode(dmOpaque);
    b.SetMasterAlpha(255);
    b.SetStretchFilter(sfNearest);
    EXPECT_EQ(ev.change, 0);
    b.SetDrawMode(dmBlend);
    b.SetMasterAlpha(10);
    b.SetStretchFilter(sfLinear);
    EXPECT_EQ(ev.change, 3);
}

TEST(Bitmap32, UpdateCounterAndUnpairedEndUpdate)
{
    TBitmap32 b;
    b.SetSize(2, 2);
    Events ev(b);
    try {
        b.EndUpdate();
        FAIL() << "no exception";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), "Unpaired TThreadPersistent.EndUpdate");
    }
    EXPECT_EQ(b.UpdateCount(), 0);

    b.BeginUpdate();
    b.BeginUpdate();
    b.Clear(0);
    b.FillRectPlain(0, 0, 1, 1, 0);
    b.EndUpdate();
    b.Clear(0);
    EXPECT_EQ(ev.change, 0);
    b.EndUpdate(); // lowers the counter and says nothing by itself
    EXPECT_EQ(ev.change, 0);
    EXPECT_EQ(b.UpdateCount(), 0);
    b.Clear(0);
    EXPECT_EQ(ev.change, 1);
}

TEST(Bitmap32, LockIsRecursiveAndCounted)
{
    TBitmap32 b;
    b.EnterLock();
    b.EnterLock();
    EXPECT_EQ(b.LockCount(), 2);
    b.LeaveLock();
    b.LeaveLock();
    EXPECT_EQ(b.LockCount(), 0);
}

TEST(Bitmap32, ClearAndMakeOpaque)
{
    TBitmap32 b;
    Events ev(b);
    b.Clear();
    EXPECT_EQ(ev.total(), 0);
    b.SetSize(2, 1);
    b.Clear();
    EXPECT_EQ(Pixels(b), (std::vector<TColor32>{0xFF000000, 0xFF000000}));
    b.Clear(0x00123456);
    *b.PixelAddress(1, 0) = 0x7F654321;
    b.MakeOpaque();
    EXPECT_EQ(Pixels(b), (std::vector<TColor32>{0xFF123456, 0xFF654321}));
}

TEST(Bitmap32, FillRectBlendResults)
{
    // The installed (SIMD) set decides the exact mix.
    struct { TColor32 pixel, color, out; } cases[] = {
        {0x00000000, 0xFF123456, 0xFF123456}, // opaque over transparent: stored unchanged
        {0xFF000000, 0x80FF0000, 0xC0800000}, // alpha 192
        {0x00000000, 0x80FF0000, 0x40800000}, // alpha 64, red 128
        {0x12345678, 0x00FFFFFF, 0x12345678}, // alpha 0 leaves the pixel
    };
    for (auto& c : cases) {
        TBitmap32 b;
        b.SetSize(3, 2);
        b.Clear(c.pixel);
        Events ev(b);
        b.FillRectBlend(1, 0, 3, 2, c.color);
        EXPECT_EQ(ev.change, 1);
        EXPECT_EQ(*b.PixelAddress(0, 1), c.pixel);
        EXPECT_EQ(*b.PixelAddress(1, 0), c.out) << std::hex << c.color;
        EXPECT_EQ(*b.PixelAddress(2, 1), c.out) << std::hex << c.color;
    }
}

TEST(Bitmap32, SafeFillsClipAndSkipWhatLiesOutside)
{
    const TColor32 on = 0xFF00FF00;
    struct { int x1, y1, x2, y2; const char* map; } cases[] = {
        {-2, -2, 2, 1, "##..\n....\n....\n"},
        {3, 1, 9, 9, "....\n...#\n...#\n"},
        {-5, 1, 0, 3, nullptr},   // x2 <= 0
        {4, 0, 8, 3, nullptr},    // wholly right of the bitmap
        {1, 3, 2, 5, nullptr},    // wholly below
        {2, 1, 2, 3, nullptr},    // zero width
        {3, 2, 1, 0, nullptr},    // inverted
    };
    for (bool blend : {false, true}) {
        for (auto& c : cases) {
            TBitmap32 b;
            b.SetSize(4, 3);
            Events ev(b);
            if (blend)
                b.FillRectBlendSafe(c.x1, c.y1, c.x2, c.y2, on);
            else
                b.FillRectPlainSafe(c.x1, c.y1, c.x2, c.y2, on);
            const std::string where = std::to_string(c.x1) + "," + std::to_string(c.y1) + "," +
                                      std::to_string(c.x2) + "," + std::to_string(c.y2);
            if (c.map) {
                EXPECT_EQ(Map(b, on), c.map) << where;
                EXPECT_EQ(ev.change, 1) << where;
            } else {
                EXPECT_EQ(Map(b, on), "....\n....\n....\n") << where;
                EXPECT_EQ(ev.change, 0) << where;
            }
        }
    }
    // A blended fill with some alpha mixes over what is there, within the clip only.
    TBitmap32 b;
    b.SetSize(2, 1);
    b.FillRectBlendSafe(-1, -1, 1, 5, 0x80FF0000);
    EXPECT_EQ(Pixels(b), (std::vector<TColor32>{0x40800000, 0}));
}

TEST(Bitmap32, BlendedPixelsAndLinesClipInTheirSafeForms)
{
    const TColor32 on = 0xFFFFFFFF;
    TBitmap32 b;
    b.SetSize(5, 4);
    Events ev(b);
    b.BlendPixelSafe(-1, 0, on);
    b.BlendPixelSafe(5, 0, on);
    b.BlendPixelSafe(0, 4, on);
    b.BlendPixelSafe(4, 3, on);
    b.HorzLineBlendSafe(3, 0, -7, on);    // reversed and clipped: 0..3
    b.HorzLineBlendSafe(0, -1, 4, on);    // row outside
    b.VertLineBlendSafe(4, 9, 1, on);     // reversed and clipped: 1..3
    b.VertLineBlendSafe(5, 0, 3, on);     // column outside
    b.HorzLineBlend(2, 2, 1, on);         // x2 < x1: nothing
    b.VertLineBlend(0, 3, 2, on);         // y2 < y1: nothing
    b.HorzLineBlend(0, 2, 1, on);
    EXPECT_EQ(Map(b, on), "####.\n....#\n##..#\n....#\n");
    EXPECT_EQ(ev.change, 0);

    // The colour's alpha weighs each pixel; alpha 0 leaves it alone.
    b.Clear(0xFF000000);
    b.BlendPixel(0, 0, 0x80FF0000);
    b.VertLineBlend(1, 0, 1, 0x80FF0000);
    b.HorzLineBlend(2, 0, 3, 0x00FFFFFF);
    EXPECT_EQ(*b.PixelAddress(0, 0), 0xC0800000u);
    EXPECT_EQ(*b.PixelAddress(1, 1), 0xC0800000u);
    EXPECT_EQ(*b.PixelAddress(3, 0), 0xFF000000u);
}

TEST(Bitmap32, DrawBevelRaisedAndSunken)
{
    const TColor32 bg = 0xFF808080;
    TColor32 black127 = bg, white255 = 0xFFFFFFFF;
    BlendInto(0x7F000000, black127);
    for (int contrast : {50, -50}) {
        TBitmap32 b;
        b.SetSize(10, 10);
        b.Clear(bg);
        Events ev(b);
        b.DrawBevel(0, 0, 10, 10, contrast);
        EXPECT_EQ(ev.change, 1);
        const TColor32 light = contrast > 0 ? white255 : black127;
        const TColor32 dark = contrast > 0 ? black127 : white255;
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(*b.PixelAddress(i, 0), light) << i;
            EXPECT_EQ(*b.PixelAddress(i, 9), dark) << i;
        }
        for (int i = 1; i < 9; ++i) {
            EXPECT_EQ(*b.PixelAddress(0, i), light) << i;
            EXPECT_EQ(*b.PixelAddress(9, i), dark) << i;
            EXPECT_EQ(*b.PixelAddress(5, i), bg) << i;
        }
    }
    TBitmap32 b;
    b.SetSize(4, 4);
    Events ev(b);
    b.DrawBevel(0, 0, 4, 4, 0);
    EXPECT_EQ(ev.change, 1);
    EXPECT_EQ(Pixels(b), std::vector<TColor32>(16, 0));
    b.DrawBevel(4, 0, 8, 4, 50);
    b.DrawBevel(2, 2, 2, 4, 50);
    EXPECT_EQ(ev.change, 1);
}

TEST(Bitmap32, DrawBitmapByDrawMode)
{
    TBitmap32 target, src;
    target.SetSize(2, 2);
    src.SetSize(2, 2);
    const TColor32 base = 0xFF336699;

    // Alpha-0 source: opaque copies the transparency, blend leaves the target.
    src.Clear(0x00FFFFFF);
    target.Clear(base);
    target.DrawBitmap(0, 0, &src);
    EXPECT_EQ(Pixels(target), std::vector<TColor32>(4, 0x00FFFFFF));
    target.Clear(base);
    src.SetDrawMode(dmBlend);
    target.DrawBitmap(0, 0, &src);
    EXPECT_EQ(Pixels(target), std::vector<TColor32>(4, base));

    // Blend at full master alpha and with master alpha below 255.
    src.Clear(0x80FF0000);
    target.Clear(0xFF000000);
    target.DrawBitmap(0, 0, &src);
    EXPECT_EQ(*target.Bits(), 0xC0800000u);
    src.Clear(0xFFFF0000);
    src.SetMasterAlpha(127);
    target.Clear(0xFF000000);
    target.DrawBitmap(0, 0, &src);
    EXPECT_EQ(*target.Bits(), BlendColorsMaster(0xFFFF0000, 0xFF000000, 127));

    // Master alpha 0 draws nothing but the target still reports.
    src.SetMasterAlpha(0);
    target.Clear(base);
    Events ev(target);
    target.DrawBitmap(0, 0, &src);
    EXPECT_EQ(Pixels(target), std::vector<TColor32>(4, base));
    EXPECT_EQ(ev.change, 1);

    // Custom: the event sees source, target and master alpha; without it the copy is opaque.
    src.SetMasterAlpha(77);
    src.SetDrawMode(dmCustom);
    target.DrawBitmap(0, 0, &src);
    EXPECT_EQ(Pixels(target), std::vector<TColor32>(4, 0xFFFF0000));
    target.Clear(base);
    src.OnPixelCombine = [](TColor32 F, TColor32& B, TColor32 M) { B = (F & 0xFF0000) | (B & 0xFF) | (M << 24); };
    target.DrawBitmap(0, 0, &src);
    EXPECT_EQ(Pixels(target), std::vector<TColor32>(4, 0x4DFF0099));

    // Nothing to draw from or onto.
    TBitmap32 empty;
    target.DrawBitmap(0, 0, nullptr);
    target.DrawBitmap(0, 0, &empty);
    src.DrawOnto(&empty, 0, 0);
    src.DrawOnto(nullptr, 0, 0);
    EXPECT_EQ(Pixels(target), std::vector<TColor32>(4, 0x4DFF0099));
}

TEST(Bitmap32, DrawBitmapDrawsOnlyTheOverlap)
{
    TBitmap32 src, target;
    src.SetSize(3, 3);
    for (int i = 0; i < 9; ++i)
        src.Bits()[i] = 0xFF000000u | TColor32(i + 1);
    target.SetSize(4, 4);
    struct { int x, y; std::vector<TColor32> rows; } cases[] = {
        {-1, -2, {8, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {2, 3, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2}},
        {1, 0, {0, 1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 0, 0, 0}},
        {4, 0, std::vector<TColor32>(16, 0)},
        {-3, 0, std::vector<TColor32>(16, 0)},
    };
    for (auto& c : cases) {
        target.Clear(0);
        target.DrawBitmap(c.x, c.y, &src);
        auto got = Pixels(target);
        for (auto& p : got)
            p &= 0xFFFFFF;
        EXPECT_EQ(got, c.rows) << c.x << "," << c.y;
    }
}

TEST(Bitmap32, TransferBlockClipsToTheGivenRectangles)
{
    TBitmap32 src, target;
    src.SetSize(4, 4);
    src.Clear(0xFFFFFFFF);
    target.SetSize(4, 4);
    // Source rectangle partly outside the source, clip smaller than the target.
    TransferBlock(&target, 0, 0, MakeRect(1, 0, 4, 4), &src, MakeRect(-2, 0, 2, 2), dmOpaque, {});
    EXPECT_EQ(Map(target, 0xFFFFFFFF), "..##\n..##\n....\n....\n");
}

TEST(Bitmap32, DataStreamLayoutAndRoundTrip)
{
    TBitmap32 b;
    b.SetSize(2, 1);
    b.Bits()[0] = 0x80112233;
    b.Bits()[1] = 0x00445566;
    TMemoryStream s;
    b.WritePixelData(&s);
    const QByteArray expect = QByteArray::fromHex("02000000" "01000000" "33221180" "66554400");
    EXPECT_EQ(s.Bytes(), expect);

    TBitmap32 c;
    Events ev(c);
    s.SetPosition(0);
    c.ReadPixelData(&s);
    EXPECT_EQ(Pixels(c), Pixels(b));
    EXPECT_EQ(ev.change, 2); // the resize, then the read
    EXPECT_TRUE(c.SameAs(&b));
    EXPECT_FALSE(c.HasPixelData(&b));
    EXPECT_TRUE(c.HasPixelData(nullptr));
}

TEST(Bitmap32, DamagedDataStreamFailsWithoutAllocating)
{
    struct { const char* hex; } cases[] = {
        {"0200000001000000332211"},          // pixels cut short
        {"a0860100a0860100"},                // 100000 x 100000 claimed, nothing follows
        {"ffffff7fffffff7f00000000"},        // 2^31-1 squared
        {"020000"},                          // header cut short
    };
    for (auto& c : cases) {
        TBitmap32 b;
        b.SetSize(1, 1);
        *b.Bits() = 0xFF010203;
        Events ev(b);
        TMemoryStream s(QByteArray::fromHex(c.hex));
        try {
            b.ReadPixelData(&s);
            FAIL() << c.hex;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), "Stream read error");
        }
        EXPECT_EQ(ev.change, 1) << c.hex;
        EXPECT_EQ(b.Width(), 1) << c.hex;
        EXPECT_EQ(*b.Bits(), 0xFF010203u);
    }
    // Negative sizes count as empty and read no pixels.
    TBitmap32 b;
    TMemoryStream s(QByteArray::fromHex("fbffffff0a000000"));
    b.ReadPixelData(&s);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 10);
}

TEST(Bitmap32, AssignCopiesPixelsAndSettingsButNotEventsOrPen)
{
    TBitmap32 src;
    src.SetSize(2, 2);
    src.Clear(0x80A0B0C0);
    src.SetDrawMode(dmBlend);
    src.SetMasterAlpha(99);
    src.SetOuterColor(0x12345678);
    src.SetStretchFilter(sfLanczos);
    src.SetPenColor(0xFF00FF00);
    bool srcEvent = false;
    src.OnChange = [&](TObject*) { srcEvent = true; };

    TBitmap32 dst;
    Events ev(dst);
    dst.Assign(&src);
    EXPECT_EQ(Pixels(dst), Pixels(src));
    EXPECT_EQ(dst.DrawMode(), dmBlend);
    EXPECT_EQ(dst.MasterAlpha(), 99u);
    EXPECT_EQ(dst.OuterColor(), 0x12345678u);
    EXPECT_EQ(dst.StretchFilter(), sfLanczos);
    EXPECT_EQ(dst.PenColor(), 0xFFFFFFFFu);
    EXPECT_FALSE(srcEvent);
    EXPECT_EQ(ev.change, 1); // one notification for the whole copy
    EXPECT_EQ(ev.resize, 1);

    dst.Assign(nullptr);
    EXPECT_TRUE(dst.IsEmpty());
    EXPECT_EQ(dst.Width(), 0);
}

TEST(Bitmap32, AssignFromAnUnknownClassFailsButClosesItsUpdate)
{
    struct Other : TPersistent {};
    Other other;
    TBitmap32 b;
    Events ev(b);
    EXPECT_THROW(b.Assign(&other), EConvertError);
    EXPECT_EQ(b.UpdateCount(), 0);
    EXPECT_EQ(ev.change, 1);
}

TEST(Bitmap32, SameAsAndHasPixelData)
{
    TBitmap32 a, b, empty;
    EXPECT_TRUE(a.SameAs(&empty));
    EXPECT_FALSE(a.HasPixelData(nullptr));
    a.SetSize(2, 2);
    b.SetSize(2, 2);
    EXPECT_FALSE(a.SameAs(&empty));
    EXPECT_TRUE(a.SameAs(&b));
    b.Bits()[3] = 0x01000000; // alpha alone differs
    EXPECT_FALSE(a.SameAs(&b));
    b.SetSize(4, 1);
    EXPECT_FALSE(a.SameAs(&b));
    struct NotABitmap : TPersistent {} other;
    EXPECT_TRUE(a.HasPixelData(&other));
    EXPECT_TRUE(a.HasPixelData(&b));
}

TEST(Bitmap32, DestructionFiresNoEvents)
{
    int events = 0;
    {
        TBitmap32 b;
        b.SetSize(3, 3);
        b.OnChange = b.OnResize = b.OnHandleChanged = [&](TObject*) { ++events; };
    }
    EXPECT_EQ(events, 0);
}

// ---- the framework side: colours, canvas, framework bitmaps, pictures, clipboard -------------

TEST(Bitmap32Framework, ColorToColor32)
{
    EXPECT_EQ(ColorToColor32(0x000000FF), 0xFFFF0000u);
    EXPECT_EQ(ColorToColor32(0x00123456), 0xFF563412u);
    const TColor face = ColorToRGB(clBtnFace);
    EXPECT_EQ(ColorToColor32(clBtnFace), 0xFF000000u | MakeColor32(GetRValue(face), GetGValue(face), GetBValue(face)));
}

TEST(Bitmap32Framework, CanvasDrawsIntoThePixelsAndFollowsReallocation)
{
    TBitmap32 b;
    EXPECT_EQ(b.DC(), nullptr);
    b.SetSize(4, 3);
    b.Clear(0x10203040);
    Events ev(b);
    TCanvas* canvas = b.GetCanvas();
    canvas->Brush()->SetColor(clRed);
    canvas->FillRect(MakeRect(1, 1, 3, 2));
    EXPECT_GE(ev.change, 1);
    EXPECT_EQ(*b.PixelAddress(1, 1) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(*b.PixelAddress(2, 1) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(*b.PixelAddress(0, 1), 0x10203040u); // outside the rectangle nothing moves
    EXPECT_EQ(*b.PixelAddress(1, 0), 0x10203040u);
    EXPECT_NE(b.DC(), nullptr);

    // The same canvas draws into the new pixels after a resize.
    b.SetSize(2, 2);
    EXPECT_EQ(b.GetCanvas(), canvas);
    canvas->Brush()->SetColor(clBlue);
    canvas->FillRect(MakeRect(0, 0, 2, 2));
    EXPECT_EQ(*b.PixelAddress(1, 1) & 0xFFFFFF, 0x0000FFu);

    b.MakeEmpty();
    EXPECT_EQ(b.DC(), nullptr);
    canvas->FillRect(MakeRect(0, 0, 2, 2)); // no pixels: nothing to draw on, no crash
}

TEST(Bitmap32Framework, PaintToAnotherBitmapsDCCopiesAllFourBytes)
{
    TBitmap32 src, dst;
    src.SetSize(2, 2);
    src.Bits()[0] = 0x01FF8040;
    src.Bits()[1] = 0x00FFFFFF;
    src.Bits()[2] = 0x80112233;
    src.Bits()[3] = 0xFF445566;
    dst.SetSize(3, 3);
    src.PaintToDC(dst.DC(), 1, -1);
    EXPECT_EQ(Pixels(dst), (std::vector<TColor32>{0, 0x80112233, 0xFF445566, 0, 0, 0, 0, 0, 0}));
    // A painter on any other device gets opaque colour.
    QImage screen(2, 2, QImage::Format_ARGB32_Premultiplied);
    screen.fill(0);
    {
        QPainter p(&screen);
        src.PaintToDC(&p, 0, 0);
    }
    EXPECT_EQ(screen.pixel(0, 0), 0xFFFF8040u);
    EXPECT_EQ(screen.pixel(1, 0), 0xFFFFFFFFu);
}

TEST(Bitmap32Framework, AssignFromFrameworkBitmaps)
{
    // 24 bits: opaque everywhere.
    TBitmap bmp24(2, 1, pf24bit);
    bmp24.SetPixelArgb(0, 0, 0xFF102030);
    bmp24.SetPixelArgb(1, 0, 0xFFA0B0C0);
    TBitmap32 b;
    b.Assign(&bmp24);
    EXPECT_EQ(Pixels(b), (std::vector<TColor32>{0xFF102030, 0xFFA0B0C0}));

    // 32 bits: the alpha bytes as they are, low-alpha colours unrounded.
    TBitmap bmp32(2, 1, pf32bit);
    bmp32.SetPixelArgb(0, 0, 0x01FF8040);
    bmp32.SetPixelArgb(1, 0, 0x00123456);
    b.Assign(&bmp32);
    EXPECT_EQ(Pixels(b), (std::vector<TColor32>{0x01FF8040, 0x00123456}));

    // Through a picture holding a bitmap.
    TPicture picture;
    picture.SetGraphic(&bmp32);
    TBitmap32 c;
    c.Assign(&picture);
    EXPECT_EQ(Pixels(c), Pixels(b));
}

TEST(Bitmap32Framework, AssignFromOtherGraphicsDrawsThemOpaque)
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(QColor(255, 0, 0, 255));
    image.setPixel(0, 0, 0x00000000);
    TQtImage graphic;
    graphic.SetImage(image);
    TPicture picture;
    picture.SetGraphic(&graphic);
    for (TPersistent* source : {static_cast<TPersistent*>(&graphic), static_cast<TPersistent*>(&picture)}) {
        TBitmap32 b;
        b.Assign(source);
        ASSERT_EQ(b.Width(), 3);
        ASSERT_EQ(b.Height(), 2);
        EXPECT_EQ(*b.PixelAddress(0, 0), 0xFF000000u); // transparent over the zeroed pixels
        EXPECT_EQ(*b.PixelAddress(2, 1), 0xFFFF0000u);
    }
    TPicture empty;
    TBitmap32 b;
    b.SetSize(2, 2);
    b.Assign(&empty);
    EXPECT_TRUE(b.IsEmpty());
}

TEST(Bitmap32Framework, AssignToBitmapPictureAndClipboard)
{
    TBitmap32 b;
    b.SetSize(2, 2);
    b.Bits()[0] = 0x01FF8040;
    b.Bits()[1] = 0x00FFFFFF;
    b.Bits()[2] = 0x80112233;
    b.Bits()[3] = 0xFF445566;

    TBitmap bmp(5, 5, pf24bit);
    bmp.Assign(&b);
    EXPECT_EQ(bmp.PixelFormat(), pf32bit);
    ASSERT_EQ(bmp.Width(), 2);
    ASSERT_EQ(bmp.Height(), 2);
    EXPECT_EQ(bmp.PixelArgb(0, 0), 0x01FF8040u);
    EXPECT_EQ(bmp.PixelArgb(1, 0), 0x00FFFFFFu);
    EXPECT_EQ(bmp.PixelArgb(0, 1), 0x80112233u);

    TPicture picture;
    picture.Assign(&b);
    auto held = dynamic_cast<TBitmap*>(picture.Graphic());
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->PixelArgb(1, 1), 0xFF445566u);

    // Round trip through the system clipboard: the colours come back, opaque.
    Clipboard()->Assign(&b);
    TBitmap32 back;
    back.Assign(Clipboard());
    EXPECT_EQ(Pixels(back), (std::vector<TColor32>{0xFFFF8040, 0xFFFFFFFF, 0xFF112233, 0xFF445566}));

    struct Other : TPersistent {} other;
    EXPECT_THROW(other.Assign(&b), EConvertError);
}
