#include "imaging/icons/file_icon.h"

#include "framework/exceptions.h"
#include "framework/streams.h"
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
