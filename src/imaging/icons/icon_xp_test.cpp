#include "imaging/icons/icon_xp.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/picture.h"
#include "framework/streams.h"
#include "imaging/icons/icon_format.h"
#include "imaging/icons/icon_test_files.h"
#include "imaging/icons/icon_xp_format.h"
#include "testsupport/testdata.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace icontest;

namespace {

std::vector<Image> TwoImages()
{
    Dib a;
    a.Width = a.Height = 16;
    a.Pixel = [](int x, int y) { return 0xFF000000u | uint32_t(x * 16 + y); };
    Dib b;
    b.Width = b.Height = 48;
    b.Bits = 4;
    b.Palette.assign(16, 0x00ABCDEF);
    b.Mask = [](int x, int) { return x < 24; };
    return {MakeImage(a), MakeImage(b)};
}

void Load(TIconXP& icon, const QByteArray& bytes)
{
    TMemoryStream stream(bytes);
    icon.LoadFromStream(&stream);
}

} // namespace

// Images are read at their entries' offsets, wherever they lie; the file copy is the compact
// file, so a file laid out that way already comes back byte for byte.
TEST(IconXP, ReadsImagesAtTheirOffsetsAndKeepsACompactCopy)
{
    const auto images = TwoImages();
    TIconXP icon;
    int changes = 0;
    icon.OnChange = [&](TObject*) { ++changes; };
    Load(icon, MakeIco(images, {1, 0}, 5));
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(icon.Formats()->Count(), 2);
    const TIconXPFormat* a = icon.Formats()->GetItem(0);
    EXPECT_EQ(a->Width(), 16);
    EXPECT_EQ(a->PixelFormat(), 7);
    EXPECT_EQ(a->Pixels()[17], 0xFF000000u | (1 * 16 + 1));
    const TIconXPFormat* b = icon.Formats()->GetItem(1);
    EXPECT_EQ(b->PixelFormat(), 2);
    EXPECT_EQ(b->Pixels()[0], 0x00ABCDEFu);
    EXPECT_EQ(b->Pixels()[47], 0xFFABCDEFu);

    TMemoryStream saved;
    icon.SaveToStream(&saved);
    EXPECT_EQ(saved.Bytes(), MakeIco(images));

    for (const char* file : {"icons/pillow/python.ico", "icons/pillow/pillow.ico", "icons/gdk-pixbuf/bug785447.ico"}) {
        SCOPED_TRACE(file);
        const QByteArray bytes = ReadTestData(file);
        TIconXP real;
        Load(real, bytes);
        TMemoryStream out;
        real.SaveToStream(&out);
        EXPECT_EQ(out.Bytes(), bytes);
    }
}

TEST(IconXP, RefusesNonIconsAndKeepsWhatWasReadBeforeAShortImage)
{
    TIconXP icon;
    Load(icon, MakeIco(TwoImages()));
    EXPECT_THROW(Load(icon, ReadTestData("icons/pillow/deerstalker.cur")), EIconInvalid);
    EXPECT_TRUE(icon.GetEmpty());
    EXPECT_EQ(icon.FileCopy()->Size(), 0);

    // The second image is cut short: a read error, the first image stays, and the copy is a
    // whole one-image file.
    const auto images = TwoImages();
    const QByteArray full = MakeIco(images);
    int changes = 0;
    icon.OnChange = [&](TObject*) { ++changes; };
    EXPECT_THROW(Load(icon, full.left(full.size() - 10)), EReadError);
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(icon.Formats()->Count(), 1);
    TMemoryStream saved;
    icon.SaveToStream(&saved);
    EXPECT_EQ(saved.Bytes(), MakeIco({images[0]}));

    // Entries that share one image's bytes cannot make more of them than the file holds.
    QByteArray shared = MakeIco({images[1], images[1], images[1]});
    const uint32_t firstOffset = ReadLE32(shared, 6 + 12);
    for (int i = 1; i < 3; ++i)
        for (int k = 0; k < 4; ++k)
            shared[6 + 16 * i + 12 + k] = char(firstOffset >> (8 * k));
    shared.truncate(int(firstOffset) + images[1].Data.size());
    EXPECT_THROW(Load(icon, shared), EReadError);
    EXPECT_EQ(icon.Formats()->Count(), 1);
}

// Real files, good and malformed, all load or are refused cleanly with the expected images.
TEST(IconXP, RealFiles)
{
    enum Outcome { Loads, Invalid, ReadError };
    struct Case {
        const char* file;
        Outcome outcome;
        std::vector<int> pixelFormats;
        int firstWidth;
    } cases[] = {
        {"icons/pillow/pillow.ico", Loads, {7, 7, 7, 7, 7}, 256}, // 256-pixel PNG first
        {"icons/pillow/python.ico", Loads, {7, 7, 7}, 16},
        {"icons/pillow/hopper_draw.ico", Loads, {7}, 16}, // PNG
        {"icons/pillow/black_and_white.ico", Loads, {1}, 16},
        {"icons/pillow/hopper.ico", Loads, {3}, 16},
        {"icons/pillow/hopper_unexpected.ico", Loads, {3}, 16},
        {"icons/pillow/hopper_mask.ico", Loads, {1}, 16},
        {"icons/gdk-pixbuf/squares.ico", Loads, {2}, 100},
        {"icons/gdk-pixbuf/bug785447.ico", Loads, {2, 2, 2, 2, 7, 3, 3, 3, 3, 7, 7, 7, 7, 7, 7, 7, 7, 7}, 48},
        {"icons/pillow/decompression_bomb.ico", Loads, {0}, 0}, // header claims 65535 x 65535
        {"icons/gdk-pixbuf/invalid.1.ico", Loads, {0}, 0},      // compression field of garbage
        {"icons/gdk-pixbuf/bug779012.ico", ReadError, {}, 0},   // offset 0x7FFFFFFF
        {"icons/gdk-pixbuf/invalid.3.ico", Invalid, {}, 0},
        {"icons/gdk-pixbuf/bug778204.ico", Invalid, {}, 0},
        {"icons/pillow/no_cursors.cur", Invalid, {}, 0},
        {"icons/pillow/deerstalker.cur", Invalid, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TIconXP icon;
        const QByteArray bytes = ReadTestData(c.file);
        switch (c.outcome) {
        case Loads: Load(icon, bytes); break;
        case Invalid: EXPECT_THROW(Load(icon, bytes), EIconInvalid); break;
        case ReadError: EXPECT_THROW(Load(icon, bytes), EReadError); break;
        }
        std::vector<int> formats;
        for (int i = 0; i < icon.Formats()->Count(); ++i) {
            const TIconXPFormat* f = icon.Formats()->GetItem(i);
            formats.push_back(f->PixelFormat());
            EXPECT_EQ(f->Pixels().size(), size_t(f->Width()) * size_t(f->Height()));
        }
        EXPECT_EQ(formats, c.pixelFormats);
        if (!formats.empty()) {
            EXPECT_EQ(icon.Formats()->GetItem(0)->Width(), c.firstWidth);
        }
    }
}

// The PNG entry decodes to the same pixels as the PNG itself, rows bottom first.
TEST(IconXP, PngEntryMatchesItsPng)
{
    const QByteArray bytes = ReadTestData("icons/pillow/pillow.ico");
    TIconXP icon;
    Load(icon, bytes);
    const uint32_t size = ReadLE32(bytes, 6 + 8), offset = ReadLE32(bytes, 6 + 12);
    QImage png = QImage::fromData(bytes.mid(int(offset), int(size)), "PNG").convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(png.width(), 256);
    const TIconXPFormat* f = icon.Formats()->GetItem(0);
    int mismatches = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            mismatches += f->Pixels()[size_t((255 - y) * 256 + x)] != uint32_t(png.pixel(x, y));
    EXPECT_EQ(mismatches, 0);
}

TEST(IconXP, SizeAndDepthFollowTheChosenImage)
{
    TIconXP empty;
    EXPECT_EQ(empty.GetWidth(), 0);
    EXPECT_EQ(empty.GetHeight(), 0);
    EXPECT_EQ(empty.GetPixelFormat(), 0);
    empty.SetWidth(20);
    EXPECT_EQ(empty.GetWidth(), 20);

    TIconXP icon;
    Load(icon, ReadTestData("icons/pillow/pillow.ico"));
    EXPECT_EQ(icon.GetWidth(), 32);
    EXPECT_EQ(icon.GetPixelFormat(), 7);
    icon.SetWidth(200);
    icon.SetHeight(200);
    EXPECT_EQ(icon.GetWidth(), 256);
    EXPECT_EQ(icon.GetHeight(), 256);

    TIconXP copy;
    copy.Assign(&icon);
    ASSERT_EQ(copy.Formats()->Count(), 5);
    EXPECT_EQ(copy.Formats()->GetItem(2)->Pixels(), icon.Formats()->GetItem(2)->Pixels());
    EXPECT_EQ(copy.FileCopy()->Bytes(), icon.FileCopy()->Bytes());
}

TEST(IconXP, TakesOverIcoInThePictureRegistry)
{
    EXPECT_EQ(TPicture::FileFormatClass(QStringLiteral("ico")), GraphicClass<TIconXP>());
    TPicture picture;
    picture.LoadFromFile(TestDataPath("icons/pillow/python.ico"));
    auto* icon = dynamic_cast<TIconXP*>(picture.Graphic());
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->Formats()->Count(), 3);

    TClipFormat format = 0;
    QByteArray data;
    try {
        icon->SaveToClipboardFormat(format, data);
        ADD_FAILURE() << "clipboard accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Sorry, not supported yet!"));
    }
    EXPECT_THROW(icon->LoadFromClipboardFormat(format, data), Exception);
}

// Drawing blends by alpha with whole-number arithmetic, leaves alpha-0 pixels and the target's
// fourth byte alone, and cuts the image to the rectangle.
TEST(IconXP, DrawsWithTrueTransparency)
{
    Dib d;
    d.Width = d.Height = 4;
    // Bottom row: opaque red, half-transparent green, fully transparent blue, opaque white.
    const uint32_t row0[4] = {0xFFFF0000, 0x8000FF00, 0x000000FF, 0xFFFFFFFF};
    d.Pixel = [&](int x, int y) { return y == 0 ? row0[x] : 0xFF000000u; };
    TIconXP icon;
    Load(icon, MakeIco({MakeImage(d)}));

    TBitmap bitmap(6, 6, pf32bit);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            bitmap.SetPixelArgb(x, y, 0x40102030);
    icon.Draw(bitmap.Canvas(), Bounds(1, 1, 4, 4));
    bitmap.Canvas()->FinishDrawing();
    // Image row 0 is the bottom one: canvas row 1 + 3.
    EXPECT_EQ(bitmap.PixelArgb(1, 4), 0x40FF0000u);
    EXPECT_EQ(bitmap.PixelArgb(2, 4), 0x40000000u | ((127 * 0x10 + 0) / 255) << 16 |
                                          ((127 * 0x20 + 128 * 255) / 255) << 8 | ((127 * 0x30) / 255));
    EXPECT_EQ(bitmap.PixelArgb(3, 4), 0x40102030u);
    EXPECT_EQ(bitmap.PixelArgb(1, 1), 0x40000000u);
    EXPECT_EQ(bitmap.PixelArgb(5, 4), 0x40102030u); // outside the image

    TBitmap small(6, 6, pf32bit);
    small.Canvas()->Brush()->SetColor(clBlue);
    small.Canvas()->FillRect(Rect(0, 0, 6, 6));
    icon.Draw(small.Canvas(), Bounds(0, 0, 2, 2));
    small.Canvas()->FinishDrawing();
    EXPECT_EQ(small.PixelArgb(0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(small.PixelArgb(2, 0) & 0xFFFFFF, 0x0000FFu);

    TIconXP empty;
    empty.Draw(small.Canvas(), Bounds(0, 0, 6, 6));
    small.Canvas()->FinishDrawing();
    EXPECT_EQ(small.PixelArgb(5, 5) & 0xFFFFFF, 0x0000FFu);
}

TEST(IconXP, AssignsToATransparentBitmap)
{
    Dib d;
    d.Width = 3;
    d.Height = 2;
    d.Bits = 8;
    d.Palette.assign(256, 0x00336699);
    d.Mask = [](int x, int) { return x == 0; };
    TIconXP icon;
    Load(icon, MakeIco({MakeImage(d)}));
    TBitmap bitmap;
    icon.Formats()->GetItem(0)->AssignToBitmap(&bitmap);
    EXPECT_EQ(bitmap.GetWidth(), 3);
    EXPECT_EQ(bitmap.GetHeight(), 2);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_TRUE(bitmap.Transparent());
    EXPECT_EQ(bitmap.TransparentColor(), clWhite);
    bitmap.Canvas()->FinishDrawing();
    EXPECT_EQ(bitmap.PixelArgb(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(bitmap.PixelArgb(1, 1) & 0xFFFFFF, 0x336699u);
}
