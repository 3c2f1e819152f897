#include "imaging/toolkit/metafile_writer.h"

#include "imaging/toolkit/imaging_test_support.h"

#include <gtest/gtest.h>

using namespace imaging_test;

namespace {

// What the metafile should show: every pixel laid over white.
TRGBABuffer OverWhite(TRGBABuffer p)
{
    for (size_t i = 0; i < p.Pixels.size(); i += 4) {
        const int a = p.Pixels[i + 3];
        for (int c = 0; c < 3; ++c)
            p.Pixels[i + c] = uint8_t((p.Pixels[i + c] * a + 255 * (255 - a) + 127) / 255);
        p.Pixels[i + 3] = 255;
    }
    return p;
}

using Reader = bool (*)(const QByteArray&, TRGBABuffer&, QString*);
using Writer = QByteArray (*)(const TRGBABuffer&);

struct MetafileCase {
    const char* name;
    Writer write;
    Reader read;
};

class MetafileWriters : public ::testing::TestWithParam<MetafileCase> {};

} // namespace

TEST_P(MetafileWriters, PixelsReadBackOverWhiteForOddWidths)
{
    // Widths 1, 5 and 7 give row padding of 1, 1 and 3 bytes in the 24-bit rows.
    for (const TRGBABuffer& picture : {Pattern(1, 1), Pattern(5, 3), Pattern(7, 4), Swatches()}) {
        const QByteArray file = GetParam().write(picture);
        TRGBABuffer back;
        QString why;
        ASSERT_TRUE(GetParam().read(file, back, &why)) << why.toStdString();
        EXPECT_EQ(back.Width, picture.Width);
        EXPECT_EQ(back.Height, picture.Height);
        EXPECT_EQ(back.Pixels, OverWhite(picture).Pixels);
    }
}

TEST_P(MetafileWriters, EmptyPictureWritesNothing)
{
    EXPECT_TRUE(GetParam().write(TRGBABuffer()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Both, MetafileWriters,
                         ::testing::Values(MetafileCase{"Wmf", WriteWmf, ReadWmf}, MetafileCase{"Emf", WriteEmf, ReadEmf}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MetafileWriter, WmfRefusesSidesBeyondSixteenBits)
{
    TRGBABuffer wide;
    wide.Width = MaxWmfSide + 1;
    wide.Height = 1;
    wide.Pixels.assign(size_t(wide.Width) * 4, 255);
    EXPECT_TRUE(WriteWmf(wide).isEmpty());
    EXPECT_FALSE(WriteEmf(wide).isEmpty());
}

TEST(MetafileWriter, EmfFrameIsThePictureAtNinetySixPerInch)
{
    const QByteArray emf = WriteEmf(Solid(96, 48, 1, 2, 3, 255));
    // rclFrame in hundredths of a millimetre, inclusive: 96 pixels are one inch, 2540.
    EXPECT_EQ(DWord(emf, 32), 2539u);
    EXPECT_EQ(DWord(emf, 36), 1269u);
}

TEST(MetafileWriter, WmfReadsBackThroughTheImageLibrary)
{
    // An independent reader of the format gives the same size and colours.
    UseTestLimits();
    const TRGBABuffer picture = Solid(16, 8, 200, 40, 10, 255);
    TRGBABuffer back;
    ASSERT_EQ(ReadPictureData(WriteWmf(picture), QStringLiteral(".wmf"), back), TPictureReadResult::Ok);
    EXPECT_EQ(back.Width, 16);
    EXPECT_EQ(back.Height, 8);
    const uint8_t* centre = Px(back, 8, 4);
    EXPECT_NEAR(centre[0], 200, 2);
    EXPECT_NEAR(centre[1], 40, 2);
    EXPECT_NEAR(centre[2], 10, 2);
}
