#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/exceptions.h"
#include "framework/palette.h"
#include "framework/streams.h"
#include "testsupport/testdata.h"

#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

// The test program knows its data folder at build time; let the shared helpers find it when the
// environment does not name it.
const bool kDataFolderKnown = qEnvironmentVariableIsSet("BRELNOVA_TESTDATA") ||
                              qputenv("BRELNOVA_TESTDATA", QByteArray(BRELNOVA_TESTDATA));

void LoadBmp(TBitmap& b, const QString& relative)
{
    TMemoryStream s(ReadTestData(relative));
    b.LoadFromStream(&s);
}

QByteArray SaveBmp(TBitmap& b)
{
    TMemoryStream s;
    b.SaveToStream(&s);
    return s.Bytes();
}

// The largest channel difference between the bitmap and a reference rendering.
int WorstDifference(TBitmap& b, const QImage& reference)
{
    int worst = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const QRgb p = b.PixelArgb(x, y), r = reference.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(r)), std::abs(qGreen(p) - qGreen(r)),
                              std::abs(qBlue(p) - qBlue(r))});
        }
    return worst;
}

} // namespace

TEST(BitmapFiles, GoodFilesDecodeLikeTheirReferenceRendering)
{
    struct Case {
        const char* file;
        const char* reference;
        TPixelFormat format;
    };
    const Case cases[] = {
        {"pal1", "pal1", pf1bit},        {"pal1bg", "pal1bg", pf1bit},    {"pal4", "pal4", pf4bit},
        {"pal4rle", "pal4", pf4bit},     {"pal8", "pal8", pf8bit},        {"pal8-0", "pal8", pf8bit},
        {"pal8os2", "pal8", pf8bit},     {"pal8rle", "pal8", pf8bit},     {"pal8topdown", "pal8", pf8bit},
        {"pal8v4", "pal8", pf8bit},      {"pal8v5", "pal8", pf8bit},      {"rgb16", "rgb16", pf15bit},
        {"rgb16-565", "rgb16-565", pf16bit}, {"rgb24", "rgb24", pf24bit}, {"rgb32", "rgb24", pf32bit},
        {"rgb32bf", "rgb24", pf32bit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TBitmap b;
        LoadBmp(b, QStringLiteral("bmp/g/%1.bmp").arg(c.file));
        const QImage ref(TestDataPath(QStringLiteral("bmp/html/%1.png").arg(c.reference)));
        ASSERT_FALSE(ref.isNull());
        ASSERT_EQ(b.Width(), ref.width());
        ASSERT_EQ(b.Height(), ref.height());
        EXPECT_EQ(b.PixelFormat(), c.format);
        // The references round some palette entries by one; 16-bit ones widen 5-bit channels by
        // repeating bits where we scale by 255/31.
        EXPECT_LE(WorstDifference(b, ref), c.format == pf15bit || c.format == pf16bit ? 4 : 1);
    }
}

TEST(BitmapFiles, EveryFormatRoundTripsThroughTheClassicHeader)
{
    const char* files[] = {"pal1", "pal4", "pal4rle", "pal8", "pal8rle", "pal8topdown",
                           "rgb16", "rgb16-565", "rgb24", "rgb32"};
    for (const char* f : files) {
        SCOPED_TRACE(f);
        TBitmap a;
        LoadBmp(a, QStringLiteral("bmp/g/%1.bmp").arg(f));
        const QByteArray saved = SaveBmp(a);
        ASSERT_GE(saved.size(), 54);
        EXPECT_EQ(saved.left(2), QByteArray("BM"));
        EXPECT_EQ(uint8_t(saved[14]), 40); // information header size
        EXPECT_EQ(int(uint8_t(saved[2]) | uint8_t(saved[3]) << 8 | uint8_t(saved[4]) << 16), saved.size());
        TBitmap b;
        TMemoryStream s(saved);
        b.LoadFromStream(&s);
        EXPECT_EQ(b.PixelFormat(), a.PixelFormat());
        EXPECT_EQ(b.Palette(), a.Palette());
        ASSERT_EQ(b.Height(), a.Height());
        for (int y = 0; y < a.Height(); ++y)
            ASSERT_EQ(0, memcmp(a.ScanLine(y), b.ScanLine(y), size_t(a.BytesPerLine()))) << "row " << y;
        // Saving again gives the same bytes.
        EXPECT_EQ(SaveBmp(b), saved);
    }
}

TEST(BitmapFiles, ResolutionAndImportantColoursAreSavedAsRead)
{
    auto field = [](const QByteArray& file, int at) { return qFromLittleEndian<int32_t>(file.constData() + 14 + at); };
    for (const char* f : {"pal8", "rgb24"}) {
        SCOPED_TRACE(f);
        QByteArray file = ReadTestData(QStringLiteral("bmp/g/%1.bmp").arg(f));
        ASSERT_GE(file.size(), 54);
        // Values of its own, so that nothing passes by chance.
        qToLittleEndian<int32_t>(3780, file.data() + 14 + 24);
        qToLittleEndian<int32_t>(1890, file.data() + 14 + 28);
        qToLittleEndian<int32_t>(9, file.data() + 14 + 36);
        TBitmap b;
        TMemoryStream in(file);
        b.LoadFromStream(&in);
        EXPECT_EQ(b.XPelsPerMeter(), 3780);
        EXPECT_EQ(b.YPelsPerMeter(), 1890);
        EXPECT_EQ(b.ImportantColors(), 9u);
        const QByteArray saved = SaveBmp(b);
        EXPECT_EQ(field(saved, 24), 3780);
        EXPECT_EQ(field(saved, 28), 1890);
        EXPECT_EQ(field(saved, 36), 9);
        TBitmap copy;
        copy.Assign(&b);
        EXPECT_EQ(SaveBmp(copy), saved);
        // Another pixel format has another colour table: the count goes, the resolution stays.
        copy.SetPixelFormat(copy.PixelFormat() == pf8bit ? pf24bit : pf8bit);
        EXPECT_EQ(copy.ImportantColors(), 0u);
        EXPECT_EQ(copy.XPelsPerMeter(), 3780);
    }
}

TEST(BitmapFiles, ThirtyTwoBitAlphaBytesSurviveARoundTrip)
{
    TBitmap a(3, 2, pf32bit);
    const uint32_t px[6] = {0x00000000, 0x01FF0000, 0x80123456, 0xFF00FF00, 0x7F7F7F7F, 0x00FFFFFF};
    for (int i = 0; i < 6; ++i)
        a.SetPixelArgb(i % 3, i / 3, px[i]);
    const QByteArray saved = SaveBmp(a);
    TBitmap b;
    TMemoryStream s(saved);
    b.LoadFromStream(&s);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(b.PixelArgb(i % 3, i / 3), px[i]);
}

TEST(BitmapFiles, BadFilesRaiseTheFrameworkErrorAndKeepTheBitmap)
{
    struct Case {
        const char* file;
        bool loads; // faults in fields the reader does not need leave a readable picture
    };
    const Case cases[] = {
        {"badbitcount", false}, {"badbitssize", true},     {"baddens1", true},   {"baddens2", true},
        {"badfilesize", true},  {"badheadersize", false},  {"badpalettesize", false}, {"badplanes", false},
        {"badrle", false},      {"badwidth", false},       {"pal8badindex", true}, {"reallybig", false},
        {"rletopdown", false},  {"shortfile", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TBitmap b(5, 4, pf24bit);
        b.Canvas()->Brush()->SetColor(clRed);
        b.Canvas()->FillRect(Rect(0, 0, 5, 4));
        TMemoryStream s(ReadTestData(QStringLiteral("bmp/b/%1.bmp").arg(c.file)));
        bool raised = false;
        try {
            b.LoadFromStream(&s);
        } catch (const EInvalidGraphic& e) {
            raised = true;
            EXPECT_EQ(e.Message(), QStringLiteral("Bitmap image is not valid"));
        } catch (const EReadError& e) {
            raised = true;
            EXPECT_EQ(e.Message(), QStringLiteral("Stream read error"));
        }
        EXPECT_EQ(raised, !c.loads);
        if (raised) {
            EXPECT_EQ(b.Width(), 5);
            EXPECT_EQ(b.PixelArgb(4, 3), 0xFFFF0000u);
        } else {
            EXPECT_EQ(b.Width(), 127);
        }
    }
}

TEST(BitmapFiles, OutOfRangePaletteIndexShowsBlack)
{
    TBitmap b;
        LoadBmp(b, QStringLiteral("bmp/b/pal8badindex.bmp"));
    ASSERT_EQ(b.Palette().size(), 256u);
    // The file's table has 101 entries; the rest of the table is black.
    EXPECT_EQ(b.Palette()[200], 0u);
}

TEST(BitmapFiles, HeaderAsksForMoreThanTheFileHoldsWithoutAllocatingIt)
{
    // 30000 x 30000 at 24 bits, but only the headers in the file.
    QByteArray f("BM");
    auto put32 = [&](uint32_t v) { f.append(reinterpret_cast<const char*>(&v), 4); };
    put32(54);
    put32(0);
    put32(54);
    put32(40);
    put32(30000);
    put32(30000);
    f.append("\x01\x00\x18\x00", 4);
    for (int i = 0; i < 6; ++i)
        put32(0);
    TBitmap b;
    TMemoryStream s(f);
    EXPECT_THROW(b.LoadFromStream(&s), Exception);
    EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, NewPixelsAreWhiteAndResizingKeepsTheTopLeft)
{
    for (TPixelFormat pf : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfDevice}) {
        SCOPED_TRACE(int(pf));
        TBitmap b(4, 3, pf);
        EXPECT_EQ(b.PixelArgb(3, 2) & 0xFFFFFF, 0xFFFFFFu);
        b.SetPixelArgb(1, 1, 0xFF000000);
        b.SetSize(9, 5);
        EXPECT_EQ(b.PixelArgb(1, 1) & 0xFFFFFF, 0u);
        EXPECT_EQ(b.PixelArgb(8, 4) & 0xFFFFFF, 0xFFFFFFu);
        EXPECT_EQ(b.PixelArgb(2, 1) & 0xFFFFFF, 0xFFFFFFu);
    }
}

// Growing fills with the index of white in the colour table, pixel by pixel: the bits past the
// last pixel of a row stay zero.
TEST(Bitmap, NewPixelsTakeTheIndexOfWhiteAndLeaveTheRowPaddingZero)
{
    struct Case {
        TPixelFormat format;
        std::vector<uint8_t> row;
    };
    const Case cases[] = {
        {pf1bit, {0xF8, 0, 0, 0}},
        {pf4bit, {0x22, 0x22, 0x20, 0}},
        {pf8bit, {2, 2, 2, 2, 2, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.format));
        TBitmap b;
        b.SetPixelFormat(c.format);
        // White stands twice: the first one is taken (the only one in 1 bit).
        b.SetPalette(c.format == pf1bit ? TPaletteEntries{0x000000, 0xFFFFFF}
                                        : TPaletteEntries{0x000000, 0xFEFEFE, 0xFFFFFF, 0xFFFFFF});
        b.SetSize(5, 3);
        ASSERT_EQ(size_t(b.BytesPerLine()), c.row.size());
        for (int y = 0; y < 3; ++y)
            EXPECT_EQ(std::vector<uint8_t>(b.ScanLine(y), b.ScanLine(y) + b.BytesPerLine()), c.row) << y;
    }
}

TEST(Bitmap, ReducingMapsEveryPixelToTheNearestColourOfTheFixedTable)
{
    struct Case {
        TPixelFormat format;
        uint32_t in;
        uint32_t out;
    };
    const Case cases[] = {
        {pf1bit, 0xFF7F7F7F, 0xFF000000}, {pf1bit, 0xFF808080, 0xFFFFFFFF}, {pf1bit, 0xFFFF0000, 0xFF000000},
        {pf4bit, 0xFFFA0505, 0xFFFF0000}, {pf4bit, 0xFF707070, 0xFF808080}, {pf4bit, 0xFFB0B0B0, 0xFFC0C0C0},
        {pf8bit, 0xFFFA0000, 0xFFFF0000}, {pf8bit, 0xFF343434, 0xFF333333}, {pf8bit, 0xFFC0DCC0, 0xFFC0DCC0},
        {pf8bit, 0xFF0C0C0C, 0xFF0C0C0C},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.format) << " " << std::hex << c.in);
        TBitmap b(2, 1, pf24bit);
        b.SetPixelArgb(0, 0, c.in);
        b.SetPixelFormat(c.format);
        EXPECT_EQ(b.Palette(), FixedPaletteForBits(b.BitsPerPixel()));
        EXPECT_EQ(b.PixelArgb(0, 0), c.out);
    }
}

TEST(Palettes, TheFixedTablesAreWhatTheyDocument)
{
    const TPaletteEntries& h = HalftonePalette();
    ASSERT_EQ(h.size(), 256u);
    EXPECT_EQ(h[10], 0x000000u);
    EXPECT_EQ(h[10 + 36 * 5 + 6 * 2 + 1], 0xFF6633u);
    EXPECT_EQ(h[226], 0x0C0C0Cu);
    EXPECT_EQ(h[255], 0xFFFFFFu);
    for (QRgb c : StandardPalette16())
        EXPECT_NE(std::find(h.begin(), h.end(), c), h.end()) << std::hex << c;
    // Ties go to the lower index: pure black is entry 0, not the cube's black at 10.
    EXPECT_EQ(NearestColorIndex(h, 0x000000), 0);
    EXPECT_EQ(NearestColorIndex(StandardPalette16(), 0xFFFFFF), 15);
    EXPECT_EQ(NearestColorIndex(MonochromePalette(), 0x808080), 1);
}

TEST(Bitmap, AutomaticTransparentColourIsTheBottomLeftPixel)
{
    TBitmap b(3, 3, pf24bit);
    b.SetPixelArgb(0, 2, 0xFF102030);
    EXPECT_EQ(b.TransparentColor(), RGB(0x10, 0x20, 0x30));
    b.SetTransparentColor(clLime);
    EXPECT_EQ(b.TransparentMode(), tmFixed);
    EXPECT_EQ(b.TransparentColor(), clLime);
    b.SetTransparentMode(tmAuto);
    EXPECT_EQ(b.TransparentColor(), RGB(0x10, 0x20, 0x30));
}

TEST(Bitmap, ClipboardDibKeepsThePalette)
{
    TBitmap a;
        LoadBmp(a, QStringLiteral("bmp/g/pal4.bmp"));
    TClipFormat format = 0;
    QByteArray dib;
    a.SaveToClipboardFormat(format, dib);
    TBitmap b;
    b.LoadFromClipboardFormat(format, dib);
    EXPECT_EQ(b.PixelFormat(), pf4bit);
    EXPECT_EQ(b.Palette(), a.Palette());
    EXPECT_EQ(b.PixelArgb(10, 10), a.PixelArgb(10, 10));
}
