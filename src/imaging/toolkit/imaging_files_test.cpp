#include "imaging/toolkit/imaging_files.h"

#include "imaging/toolkit/imaging_test_support.h"
#include "imaging/toolkit/metafile_writer.h"

#include <gtest/gtest.h>

using namespace imaging_test;

namespace {

struct FormatCase {
    const char* magick;    // how the fixture is made
    const char* extension; // the name it is loaded under
    int tolerance;         // lossy formats
    bool bilevel;          // black and white formats: compared by brightness
    bool alpha;            // the format keeps transparency
};

// Black and white pixels only, so that bilevel formats keep them.
TRGBABuffer BlackAndWhite()
{
    TRGBABuffer p = Solid(9, 3, 255, 255, 255, 255);
    for (int x = 0; x < 9; x += 2)
        std::fill_n(Px(p, x, 1), 3, 0);
    std::fill_n(Px(p, 8, 2), 3, 0);
    return p;
}

class ReadableFormats : public ImagingTest, public ::testing::WithParamInterface<FormatCase> {};

} // namespace

TEST_P(ReadableFormats, DecodeToTheSamePixels)
{
    const FormatCase& c = GetParam();
    const TRGBABuffer source = c.bilevel ? BlackAndWhite() : c.alpha ? Swatches() : Solid(5, 3, 30, 160, 220, 255);
    QByteArray data = EncodeWith(source, c.magick);
    if (QByteArray(c.magick) == "DIB")
        ASSERT_NE(data.left(2), "BM"); // the headerless form
    TRGBABuffer back;
    ASSERT_EQ(ReadPictureData(data, QLatin1String(c.extension), back), TPictureReadResult::Ok) << c.magick;
    ASSERT_EQ(back.Width, source.Width);
    ASSERT_EQ(back.Height, source.Height);
    for (int y = 0; y < source.Height; ++y)
        for (int x = 0; x < source.Width; ++x) {
            const uint8_t* s = Px(source, x, y);
            const uint8_t* b = Px(back, x, y);
            SCOPED_TRACE(testing::Message() << c.magick << " at " << x << "," << y);
            if (s[3] == 0) {
                EXPECT_EQ(b[3], 0);
                continue;
            }
            EXPECT_EQ(b[3], 255);
            for (int k = 0; k < 3; ++k)
                if (c.bilevel)
                    EXPECT_EQ(b[k] > 127, s[k] > 127);
                else
                    EXPECT_NEAR(b[k], s[k], c.tolerance);
        }
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ReadableFormats,
    ::testing::Values(FormatCase{"PNG", ".png", 0, false, true}, FormatCase{"GIF", ".gif", 0, false, true},
                      FormatCase{"BMP", ".bmp", 0, false, true}, FormatCase{"DIB", ".dib", 0, false, false},
                      FormatCase{"TIFF", ".tiff", 0, false, true}, FormatCase{"JPEG", ".jpg", 6, false, false},
                      FormatCase{"PCX", ".pcx", 0, false, true}, FormatCase{"SGI", ".sgi", 0, false, true},
                      FormatCase{"PBM", ".pbm", 0, true, false}, FormatCase{"PPM", ".ppm", 0, false, false},
                      FormatCase{"TGA", ".tga", 0, false, true}, FormatCase{"TGA", ".vda", 0, false, true},
                      FormatCase{"TGA", ".VST", 0, false, true}, FormatCase{"WBMP", ".wbmp", 0, true, false},
                      FormatCase{"ICO", ".ico", 0, false, true}, FormatCase{"CUR", ".cur", 0, false, true}),
    [](const auto& info) { return std::string(info.param.magick) + "_" + std::to_string(info.index); });

TEST_F(ImagingTest, FormatsWithoutSignatureNeedTheirExtensionAndAPlausibleHeader)
{
    const QByteArray tga = EncodeWith(Swatches(), "TGA");
    EXPECT_EQ(DetectPictureFormat(tga, QStringLiteral(".tga")), QStringLiteral("TGA"));
    EXPECT_EQ(DetectPictureFormat(tga, QStringLiteral(".bin")), QString());
    QByteArray badType = tga;
    badType[2] = 42;
    EXPECT_EQ(DetectPictureFormat(badType, QStringLiteral(".tga")), QString());
    EXPECT_EQ(DetectPictureFormat(QByteArray("\x01\x00", 2), QStringLiteral(".wbmp")), QString());
    // A file that carries a signature is taken by it, whatever its name says.
    EXPECT_EQ(DetectPictureFormat(EncodeWith(Swatches(), "PNG"), QStringLiteral(".tga")), QStringLiteral("PNG"));
}

TEST_F(ImagingTest, RefusedData)
{
    struct Case {
        const char* what;
        QByteArray data;
        const char* extension;
    };
    const Case cases[] = {
        {"empty", QByteArray(), ".png"},
        {"text", QByteArray("just some words\n"), ".jpg"},
        // Drawing commands and vector text that read other files must never reach the library.
        {"drawing commands", QByteArray("push graphic-context\nviewbox 0 0 8 8\nimage over 0,0 8,8 'png:/etc/hostname'\n"), ".png"},
        {"svg", QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"8\" height=\"8\"/>"), ".svg"},
        {"emf", WriteEmf(Solid(4, 4, 1, 2, 3, 255)), ".emf"},
        {"truncated png", EncodeWith(Pattern(), "PNG").left(40), ".png"},
        {"png signature only", QByteArray("\x89PNG\r\n\x1A\n", 8), ".png"},
        {"no coder here", QByteArray(1024, '\x7E'), ".psp"},
    };
    for (const Case& c : cases) {
        TRGBABuffer out;
        EXPECT_EQ(ReadPictureData(c.data, QLatin1String(c.extension), out), TPictureReadResult::Unrecognized) << c.what;
        EXPECT_TRUE(out.Empty()) << c.what;
    }
}

TEST_F(ImagingTest, PicturesBeyondTheLimitsAreRefusedBeforeDecoding)
{
    const QByteArray wide = EncodeWith(Solid(65, 2, 0, 0, 0, 255), "PNG");
    const QByteArray many = EncodeWith(Solid(40, 40, 0, 0, 0, 255), "GIF");
    const QByteArray fits = EncodeWith(Solid(64, 16, 0, 0, 0, 255), "TGA");
    const QByteArray bmp = EncodeWith(Pattern(8, 8), "BMP");
    TImagingLimits limits = ImagingLimits();
    limits.MaxSide = 64;
    limits.MaxPixels = 64 * 16;
    SetImagingLimits(limits);
    TRGBABuffer out;
    EXPECT_EQ(ReadPictureData(wide, ".png", out), TPictureReadResult::TooLarge);
    EXPECT_EQ(ReadPictureData(many, ".gif", out), TPictureReadResult::TooLarge);
    EXPECT_EQ(ReadPictureData(fits, ".tga", out), TPictureReadResult::Ok);
    EXPECT_EQ(ReadPictureData(QByteArray("P4\n# a comment\n70000 2\n"), ".pbm", out), TPictureReadResult::TooLarge);
    EXPECT_EQ(ReadPictureData(QByteArray("P4\n# no size\n"), ".pbm", out), TPictureReadResult::Unrecognized);
    limits.MaxFileBytes = bmp.size() - 1;
    SetImagingLimits(limits);
    EXPECT_EQ(ReadPictureData(bmp, ".bmp", out), TPictureReadResult::TooLarge);
}

TEST_F(ImagingTest, MultiPictureFilesGiveTheirFirstPicture)
{
    InitializeImaging();
    std::vector<Magick::Image> frames;
    for (const TRGBABuffer& p : {Solid(3, 2, 255, 0, 0, 255), Solid(5, 4, 0, 0, 255, 255)}) {
        frames.emplace_back();
        RGBAToMagick(p, frames.back());
    }
    Magick::Blob blob;
    Magick::writeImages(frames.begin(), frames.end(), &blob, true);
    // The library names the format from the list's first image; make it a TIFF with two pages.
    frames.front().magick("TIFF");
    Magick::writeImages(frames.begin(), frames.end(), &blob, true);
    TRGBABuffer out;
    ASSERT_EQ(ReadPictureData(QByteArray(static_cast<const char*>(blob.data()), qsizetype(blob.length())), ".tif", out),
              TPictureReadResult::Ok);
    EXPECT_EQ(out.Width, 3);
    EXPECT_EQ(Px(out, 0, 0)[0], 255);
}

TEST_F(ImagingTest, GifMarksTheChosenColourTransparent)
{
    TRGBABuffer picture = Swatches();
    TRGBABuffer back;
    // White (0x00FFFFFF) as the export passes it; the transparent swatch stays transparent too.
    ASSERT_EQ(ReadPictureData(EncodeGif(picture, true, 0xFFFFFF), ".gif", back), TPictureReadResult::Ok);
    EXPECT_EQ(Px(back, 3, 0)[3], 0);
    EXPECT_EQ(Px(back, 3, 1)[3], 0);
    EXPECT_EQ(Px(back, 0, 0)[3], 255);
    EXPECT_EQ(Px(back, 0, 0)[0], 255);
    EXPECT_EQ(Px(back, 2, 0)[2], 255);
    // Without the flag white stays; the colour is red | green << 8 | blue << 16.
    ASSERT_EQ(ReadPictureData(EncodeGif(picture, false, 0xFFFFFF), ".gif", back), TPictureReadResult::Ok);
    EXPECT_EQ(Px(back, 3, 0)[3], 255);
    ASSERT_EQ(ReadPictureData(EncodeGif(picture, true, 0x5AC80A), ".gif", back), TPictureReadResult::Ok);
    EXPECT_EQ(Px(back, 2, 1)[3], 0);
    EXPECT_EQ(Px(back, 3, 0)[3], 255);
}

TEST_F(ImagingTest, TgaPngAndBmpKeepEveryByte)
{
    const TRGBABuffer picture = Pattern(7, 5);
    for (const auto& [name, data] : {std::pair{".tga", EncodeTga(picture)}, std::pair{".png", EncodePng(picture)}}) {
        TRGBABuffer back;
        ASSERT_EQ(ReadPictureData(data, QLatin1String(name), back), TPictureReadResult::Ok) << name;
        // Transparent pixels may lose their colour; all else is exact.
        for (int y = 0; y < 5; ++y)
            for (int x = 1; x < 7; ++x)
                ASSERT_TRUE(std::equal(Px(back, x, y), Px(back, x, y) + 4, Px(picture, x, y))) << name << x << "," << y;
    }
    const QByteArray bmp = EncodeBmp(picture);
    ASSERT_EQ(bmp.left(2), "BM");
    EXPECT_EQ(DWord(bmp, 14), 40u);
    EXPECT_EQ(Word(bmp, 28), 32u);
}
