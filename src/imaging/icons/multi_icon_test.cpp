#include "imaging/icons/file_icon.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/icons/hi_res_icon.h"
#include "imaging/icons/icon_test_files.h"
#include "testsupport/testdata.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace icontest;

namespace {

QString WriteTemp(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::vector<Image> ThreeImages()
{
    Dib a;
    a.Width = a.Height = 16;
    a.Pixel = [](int x, int y) { return 0xFF000000u | uint32_t(x * 16 + y); };
    Dib b;
    b.Width = b.Height = 32;
    b.Bits = 8;
    b.Palette.assign(256, 0x00102030);
    Dib c;
    c.Width = c.Height = 48;
    c.Bits = 1;
    c.Palette = {0x00000000, 0x00FFFFFF};
    return {MakeImage(a), MakeImage(b), MakeImage(c)};
}

} // namespace

TEST(FileIcon, ReadsDirectoryOrRefusesHeader)
{
    struct Case {
        const char* file;
        bool valid;
        int count;
    } cases[] = {
        {"icons/pillow/pillow.ico", true, 5},
        {"icons/pillow/python.ico", true, 3},
        {"icons/gdk-pixbuf/bug785447.ico", true, 18},
        {"icons/gdk-pixbuf/bug779012.ico", true, 1}, // entry offset far past the end: read lazily
        {"icons/pillow/deerstalker.cur", false, 0},  // a cursor is not an icon here
        {"icons/pillow/no_cursors.cur", false, 0},
        {"icons/gdk-pixbuf/bug778204.ico", false, 0}, // cursor type with a truncated directory
        {"icons/gdk-pixbuf/invalid.3.ico", false, 0}, // text with a non-zero reserved field
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TFileIcon icon(TestDataPath(c.file));
        EXPECT_EQ(icon.Valid(), c.valid);
        EXPECT_EQ(icon.Count(), c.count);
    }
}

TEST(FileIcon, ShortDirectoryOrMissingFileRaises)
{
    QTemporaryDir dir;
    QByteArray ico = MakeIco(ThreeImages());
    const QString path = WriteTemp(dir, "short.ico", ico.left(6 + 16 * 2 + 5));
    EXPECT_THROW(TFileIcon{path}, EReadError);
    EXPECT_THROW(TFileIcon{dir.filePath("missing.ico")}, EFOpenError);
}

TEST(FileIcon, EntriesAndSizes)
{
    QTemporaryDir dir;
    TFileIcon icon(WriteTemp(dir, "a.ico", MakeIco(ThreeImages())));
    int w = -1, h = -1;
    icon.GetImageSize(1, w, h);
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 32);
    icon.GetImageSize(3, w, h);
    EXPECT_EQ(w, 0);
    uint8_t entry[12] = {};
    ASSERT_TRUE(icon.GetEntry(2, entry));
    EXPECT_EQ(entry[0], 48);
    EXPECT_EQ(entry[6], 1); // bit count
    uint8_t untouched[12] = {7};
    EXPECT_FALSE(icon.GetEntry(3, untouched));
    EXPECT_EQ(untouched[0], 7);
}

TEST(FileIcon, SaveToFileLaysImagesOutContiguously)
{
    QTemporaryDir dir;
    const auto images = ThreeImages();
    // Source images stored in reverse order with gaps: the written file is the compact one.
    TFileIcon icon(WriteTemp(dir, "src.ico", MakeIco(images, {2, 1, 0}, 7)));
    const QString out = dir.filePath("out.ico");
    icon.SaveToFile(out);
    const QByteArray saved = ReadFile(out);
    EXPECT_EQ(saved, MakeIco(images));
    const uint32_t s1 = uint32_t(images[0].Data.size()), s2 = uint32_t(images[1].Data.size());
    EXPECT_EQ(ReadLE32(saved, 6 + 12), 54u);
    EXPECT_EQ(ReadLE32(saved, 22 + 12), 54u + s1);
    EXPECT_EQ(ReadLE32(saved, 38 + 12), 54u + s1 + s2);

    // Written into a stream that already holds bytes, the offsets stay relative to the file.
    TMemoryStream stream;
    stream.WriteBuffer("prefix", 6);
    icon.SaveToStream(&stream);
    EXPECT_EQ(stream.Bytes().mid(6), MakeIco(images));
}

TEST(FileIcon, SaveImageToFileWritesOneImageAtOffset22)
{
    QTemporaryDir dir;
    const auto images = ThreeImages();
    TFileIcon icon(WriteTemp(dir, "src.ico", MakeIco(images, {2, 1, 0}, 3)));
    const QString out = dir.filePath("one.ico");
    icon.SaveImageToFile(out, 1);
    EXPECT_EQ(ReadFile(out), MakeIco({images[1]}));

    const QString none = dir.filePath("none.ico");
    icon.SaveImageToFile(none, 3);
    EXPECT_FALSE(QFile::exists(none));
}

TEST(FileIcon, NothingToWriteOrUnreadableImageLeavesFileUntouched)
{
    QTemporaryDir dir;
    const QString keep = WriteTemp(dir, "keep.ico", "old contents");

    TFileIcon empty(WriteTemp(dir, "empty.ico", MakeIco({})));
    EXPECT_TRUE(empty.Valid());
    EXPECT_EQ(empty.Count(), 0);
    empty.SaveToFile(keep);
    EXPECT_EQ(ReadFile(keep), QByteArray("old contents"));

    TFileIcon cursor(TestDataPath("icons/pillow/deerstalker.cur"));
    cursor.SaveToFile(keep);
    EXPECT_EQ(ReadFile(keep), QByteArray("old contents"));

    // Three entries share one image's bytes: writing them out would triple them.
    QByteArray shared = MakeIco(ThreeImages());
    const uint32_t firstOffset = ReadLE32(shared, 6 + 12), firstSize = ReadLE32(shared, 6 + 8);
    for (int i = 1; i < 3; ++i) {
        for (int k = 0; k < 4; ++k) {
            shared[6 + 16 * i + 8 + k] = char(firstSize >> (8 * k));
            shared[6 + 16 * i + 12 + k] = char(firstOffset >> (8 * k));
        }
    }
    shared.truncate(int(firstOffset + firstSize));
    TFileIcon sharing(WriteTemp(dir, "shared.ico", shared));
    EXPECT_THROW(sharing.SaveToFile(keep), EReadError);
    EXPECT_EQ(ReadFile(keep), QByteArray("old contents"));

    // The entry points past the end of its file: a clean read error, nothing written.
    TFileIcon broken(TestDataPath("icons/gdk-pixbuf/bug779012.ico"));
    EXPECT_THROW(broken.SaveToFile(keep), EReadError);
    EXPECT_THROW(broken.SaveImageToFile(keep, 0), EReadError);
    EXPECT_EQ(ReadFile(keep), QByteArray("old contents"));
}

TEST(FileIcon, HandlesAreMadeOnDemandAndRetriedAfterFailure)
{
    QTemporaryDir dir;
    const auto images = ThreeImages();
    QByteArray good = MakeIco(images);
    QByteArray broken = good;
    // Image 0's header claims a width that no icon has: no handle.
    const int first = int(ReadLE32(good, 6 + 12));
    broken[first + 4] = char(0xFF);
    broken[first + 5] = char(0x7F);
    const QString path = WriteTemp(dir, "a.ico", broken);
    TFileIcon icon(path);
    EXPECT_EQ(icon.GetIconHandle(0), nullptr);
    EXPECT_EQ(icon.GetIconHandle(3), nullptr);
    HICON second = icon.GetIconHandle(1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(icon.GetIconHandle(1), second); // cached
    int w = 0, h = 0;
    ASSERT_TRUE(GetIconSize(second, &w, &h));
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 32);

    // The file is mended in place: the next request tries again.
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write(good);
    }
    HICON mended = icon.GetIconHandle(0);
    ASSERT_NE(mended, nullptr);
    ASSERT_TRUE(GetIconSize(mended, &w, &h));
    EXPECT_EQ(w, 16);
}

TEST(HiResIcon, ReportsTheRealSizeOfItsIcon)
{
    EXPECT_EQ(THiResIcon().GetWidth(), 32); // the system icon size while empty
    EXPECT_EQ(THiResIcon().GetHeight(), 32);

    QTemporaryDir dir;
    Dib wide;
    wide.Width = 48;
    wide.Height = 20;
    wide.Pixel = [](int, int) { return 0xFF00FF00u; };
    Dib mono;
    mono.Width = mono.Height = 32;
    mono.Bits = 1;
    mono.Palette = {0x00000000, 0x00FFFFFF};
    mono.Pixel = [](int x, int) { return uint32_t(x >= 16); };
    TFileIcon icon(WriteTemp(dir, "a.ico", MakeIco({MakeImage(wide), MakeImage(mono)})));
    auto colour = icon.CreateHiResIcon(0);
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->GetWidth(), 48);
    EXPECT_EQ(colour->GetHeight(), 20);
    auto monochrome = icon.CreateHiResIcon(1);
    ASSERT_NE(monochrome, nullptr);
    EXPECT_EQ(monochrome->GetWidth(), 32);
    EXPECT_EQ(monochrome->GetHeight(), 32);
    EXPECT_EQ(icon.CreateHiResIcon(2), nullptr);

    // The dump: a block with the colour bitmap's size, its bits, then the mask's bits.
    TMemoryStream dump;
    colour->SaveToStream(&dump);
    const QByteArray b = dump.Bytes();
    EXPECT_EQ(ReadLE32(b, 4), 48u);
    EXPECT_EQ(ReadLE32(b, 8), 20u);
    EXPECT_EQ(b.size(), 40 + 48 * 20 * 4 + 6 * 20);
    TMemoryStream monoDump;
    monochrome->SaveToStream(&monoDump);
    EXPECT_EQ(monoDump.Bytes().left(40), QByteArray(40, '\0'));
    EXPECT_EQ(monoDump.Size(), 40 + 4 * 64);

    // Nothing to dump is an error, not a short file.
    TMemoryStream none;
    THiResIcon empty;
    EXPECT_THROW(empty.SaveToStream(&none), EInvalidGraphic);
    EXPECT_EQ(none.Size(), 0);
}

TEST(FileIcon, DrawsAnImageAtItsEntrySize)
{
    QTemporaryDir dir;
    Dib d;
    d.Width = d.Height = 16;
    d.Pixel = [](int x, int) { return x < 8 ? 0xFFFF0000u : 0x00000000u; };
    TFileIcon icon(WriteTemp(dir, "a.ico", MakeIco({MakeImage(d)})));
    TBitmap bitmap(20, 20, pf24bit);
    icon.DrawImage(bitmap.Canvas(), 2, 3, 0);
    icon.DrawImage(bitmap.Canvas(), 0, 0, 1); // no such image: nothing
    bitmap.Canvas()->FinishDrawing();
    EXPECT_EQ(bitmap.PixelArgb(2, 3) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(bitmap.PixelArgb(12, 3) & 0xFFFFFF, 0xFFFFFFu); // transparent half
    EXPECT_EQ(bitmap.PixelArgb(1, 3) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(bitmap.PixelArgb(9, 18) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(bitmap.PixelArgb(10, 18) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(bitmap.PixelArgb(9, 19) & 0xFFFFFF, 0xFFFFFFu); // below the image
}
