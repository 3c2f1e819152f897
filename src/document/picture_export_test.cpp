#include "document/picture_export.h"
#include "document/scratch_folder.h"
#include "document/snapshot_sheet.h"
#include "framework/exceptions.h"
#include "imaging/toolkit/imaging_control.h"
#include "imaging/toolkit/imaging_test_support.h"
#include "imaging/toolkit/metafile_writer.h"
#include "platform/program_paths.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Blocks of opaque red, half-transparent blue, fully transparent green and opaque white in a
// row, large enough for JPEG to keep their colours.
constexpr int kBlock = 16;
QImage Sample()
{
    const QRgb colours[] = {0xFFFF0000u, 0x800000FFu, 0x0000FF00u, 0xFFFFFFFFu};
    QImage picture(4 * kBlock, kBlock, QImage::Format_ARGB32);
    for (int y = 0; y < kBlock; ++y)
        for (int x = 0; x < 4 * kBlock; ++x)
            picture.setPixel(x, y, colours[x / kBlock]);
    return picture;
}

bool Near(QRgb a, QRgb b, int tolerance)
{
    // A transparent pixel has no colour worth comparing.
    if (qAlpha(a) == 0 && qAlpha(b) == 0)
        return true;
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance && std::abs(qAlpha(a) - qAlpha(b)) <= tolerance;
}

QImage ReadBack(const QString& path, const QString& extension)
{
    if (extension == "emf" || extension == "wmf") {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        TRGBABuffer buffer;
        QString why;
        const QByteArray bytes = file.readAll();
        const bool read = extension == "emf" ? imaging_test::ReadEmf(bytes, buffer, &why) : imaging_test::ReadWmf(bytes, buffer, &why);
        EXPECT_TRUE(read) << why.toStdString();
        return RGBAToQImage(buffer);
    }
    if (extension == "tga") {
        ImagingControl control;
        control.LoadFile(path);
        return RGBAToQImage(control.Picture());
    }
    QImageReader reader(path);
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

class PictureExport : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolder(dir.path()); }
    void TearDown() override { SetProgramFolder(QString()); }
    QString Path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

struct FormatCase {
    const char* extension;
    // What each of the four sample pixels reads back as.
    QRgb expected[4];
    int tolerance;
};

// PNG and TIFF keep the alpha; the others lay the picture over white, and the GIF then makes
// white its transparent colour.
const FormatCase kFormats[] = {
    {"png", {0xFFFF0000u, 0x800000FFu, 0x0000FF00u, 0xFFFFFFFFu}, 0},
    {"tif", {0xFFFF0000u, 0x800000FFu, 0x0000FF00u, 0xFFFFFFFFu}, 1},
    {"bmp", {0xFFFF0000u, 0xFF7F7FFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}, 1},
    {"jpg", {0xFFFF0000u, 0xFF7F7FFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}, 8},
    {"tga", {0xFFFF0000u, 0xFF7F7FFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}, 1},
    {"emf", {0xFFFF0000u, 0xFF7F7FFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}, 1},
    {"wmf", {0xFFFF0000u, 0xFF7F7FFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}, 1},
};

TEST_F(PictureExport, EveryFormatReadsBackWithItsTreatmentOfAlpha)
{
    for (const FormatCase& c : kFormats) {
        SCOPED_TRACE(c.extension);
        const QString written = WritePictureFile(Sample(), c.extension, Path("out"), {}, nullptr);
        EXPECT_EQ(written, Path(QStringLiteral("out.") + c.extension));
        const QImage back = ReadBack(written, c.extension);
        ASSERT_EQ(back.size(), Sample().size());
        for (int x = 0; x < 4; ++x)
            EXPECT_TRUE(Near(back.pixel(x * kBlock + kBlock / 2, kBlock / 2), c.expected[x], c.tolerance))
                << x << ": " << std::hex << back.pixel(x * kBlock + kBlock / 2, kBlock / 2);
    }
}

TEST_F(PictureExport, GifMakesWhiteTransparentForTheExportButNotForTheSheet)
{
    const QImage exported = ReadBack(WritePictureFile(Sample(), "gif", Path("a"), {}, nullptr), "gif");
    ASSERT_EQ(exported.size(), Sample().size());
    EXPECT_EQ(qAlpha(exported.pixel(3 * kBlock, 0)), 0);
    EXPECT_EQ(qAlpha(exported.pixel(2 * kBlock, 0)), 0); // transparent became white, then transparent
    EXPECT_TRUE(Near(exported.pixel(0, 0), 0xFFFF0000u, 8));

    TPictureWriteOptions sheet;
    sheet.FlattenForControl = false;
    sheet.GifWhiteTransparent = false;
    const QImage saved = ReadBack(WritePictureFile(Sample(), "gif", Path("b"), sheet, nullptr), "gif");
    ASSERT_EQ(saved.size(), Sample().size());
    EXPECT_EQ(qAlpha(saved.pixel(3 * kBlock, 0)), 255);
    // The hand-over file is the picture as given.
    EXPECT_EQ(QImage(ScratchPath("gifgifgif.png")).pixel(kBlock, 0), 0x800000FFu);
}

TEST_F(PictureExport, JpegQualityReachesTheEncoder)
{
    QImage noisy(64, 64, QImage::Format_ARGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            noisy.setPixel(x, y, 0xFF000000u | uint32_t((x * 7919 + y * 104729) & 0xFFFFFF));
    TPictureWriteOptions low, high;
    low.Quality = 0;
    high.Quality = 100;
    const qint64 small = QFile(WritePictureFile(noisy, "jpg", Path("low"), low, nullptr)).size();
    const qint64 large = QFile(WritePictureFile(noisy, "jpg", Path("high"), high, nullptr)).size();
    EXPECT_LT(small * 3, large);
}

TEST(ExportExtension, IsAppendedUnlessThePathEndsInExactlyIt)
{
    const struct {
        const char* path;
        const char* expected;
    } cases[] = {
        {"/t/a.png", "/t/a.png"},
        {"/t/a", "/t/a.png"},
        {"/t/a.PNG", "/t/a.PNG.png"},
        {"/t/a.jpg", "/t/a.jpg.png"},
        {"/t/dir.png/a", "/t/dir.png/a.png"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithExportExtension(c.path, "png"), QString(c.expected)) << c.path;
}

TEST_F(PictureExport, FailuresRaiseAndWriteNothing)
{
    QFile blocker(Path("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    for (const char* extension : {"png", "bmp", "jpg", "gif", "emf"}) {
        SCOPED_TRACE(extension);
        // A folder inside a plain file cannot be made.
        EXPECT_THROW(WritePictureFile(Sample(), extension, Path("file/out"), {}, nullptr), Exception);
    }
    EXPECT_THROW(WritePictureFile(Sample(), "xyz", Path("out"), {}, nullptr), EInvalidOperation);
    EXPECT_THROW(WritePictureFile(QImage(), "png", Path("out"), {}, nullptr), EInvalidOperation);
    EXPECT_THROW(WritePictureFile(Sample(), "png", "  ", {}, nullptr), EInvalidOperation);
    EXPECT_FALSE(QFile::exists(Path("out.png")));
}

TEST_F(PictureExport, AFailedWriteLeavesTheGoodFileWhole)
{
    const QString target = WritePictureFile(Sample(), "wmf", Path("good"), {}, nullptr);
    const QByteArray before = [&] {
        QFile f(target);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    // A metafile cannot hold a picture this wide.
    QImage wide(MaxWmfSide + 1, 1, QImage::Format_ARGB32);
    wide.fill(0xFF00FF00u);
    EXPECT_THROW(WritePictureFile(wide, "wmf", Path("good"), {}, nullptr), EOleError);
    QFile after(target);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

TEST(SnapshotLayout, PlacesFormatsOnOneLineAndGrowsForManyNarrowOnes)
{
    const TSnapshotLayout three = LayOutSnapshot({48, 32, 16});
    EXPECT_EQ(three.Width, 440);
    EXPECT_EQ(three.Height, 350);
    EXPECT_EQ(three.Left, (std::vector<int>{50, 128, 230}));

    // Fifteen standard formats: the last one starts past the width the widths alone give.
    std::vector<int> standard;
    for (int k = 0; k < 5; ++k)
        standard.insert(standard.end(), {48, 32, 16});
    const TSnapshotLayout all = LayOutSnapshot(standard);
    EXPECT_GE(all.Width, all.Left.back() + 120);
}

} // namespace
