#include "imaging/icons/icon_image_list.h"

#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/icons/bitmap_icon_writer.h"
#include "imaging/icons/hi_res_icon.h"
#include "imaging/icons/icon_image.h"
#include "imaging/icons/icon_test_files.h"
#include "imaging/icons/icon_xp_format.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
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

Image FourBit(int side, uint32_t index)
{
    Dib d;
    d.Width = d.Height = side;
    d.Bits = 4;
    d.Palette.assign(16, 0);
    d.Palette[index] = 0x00336699;
    d.Pixel = [=](int, int) { return index; };
    return MakeImage(d);
}

QByteArray Saved(TAdvancedIcon& icon)
{
    TMemoryStream s;
    icon.SaveToStream(&s);
    return s.Bytes();
}

} // namespace

// The document's road: one-image files loaded one by one, each image moved into a collector,
// the loader emptied, the collector written as one file.
TEST(AdvancedIcon, CollectsImagesOfSeveralFilesIntoOne)
{
    QTemporaryDir dir;
    const Image a = FourBit(16, 3), b = FourBit(32, 5);
    ASSERT_EQ(a.Data.size(), 296);
    ASSERT_EQ(b.Data.size(), 744);
    TAdvancedIcon loader, collector;
    for (const Image& im : {a, b}) {
        ASSERT_TRUE(loader.LoadFromFile(WriteTemp(dir, "one.ico", MakeIco({im}, {}, 7))));
        ASSERT_EQ(loader.Images()->Count(), 1);
        collector.Images()->TakeImageFrom(&loader, 0);
        EXPECT_EQ(loader.Images()->Count(), 0);
        loader.Images()->Clear();
    }
    ASSERT_EQ(collector.Images()->Count(), 2);
    const QString out = dir.filePath("all.ico");
    collector.SaveToFile(out);
    const QByteArray f = ReadFile(out);
    ASSERT_EQ(f.size(), 38 + 296 + 744);
    EXPECT_EQ(f.left(6), QByteArray("\0\0\1\0\2\0", 6));
    EXPECT_EQ(ReadLE32(f, 6 + 8), 296u);
    EXPECT_EQ(ReadLE32(f, 6 + 12), 38u);
    EXPECT_EQ(ReadLE32(f, 22 + 8), 744u);
    EXPECT_EQ(ReadLE32(f, 22 + 12), 334u);
    EXPECT_EQ(f.mid(38, 296), a.Data);
    EXPECT_EQ(f.mid(334), b.Data);
    EXPECT_EQ(f.mid(6, 12), QByteArray("\x10\x10\0\0\1\0\4\0\x28\x01\0\0", 12));

    // Reading it back gives the same images; writing into a stream that already holds bytes
    // keeps the offsets relative to where the icon starts.
    TAdvancedIcon again;
    ASSERT_TRUE(again.LoadFromFile(out));
    EXPECT_EQ(Saved(again), f);
    TMemoryStream s;
    s.WriteDWord(0xDEADBEEF);
    again.SaveToStream(&s);
    EXPECT_EQ(s.Bytes().mid(4), f);
}

TEST(AdvancedIcon, LoadRefusesWhatIsNoWholeIcon)
{
    QTemporaryDir dir;
    const QByteArray good = MakeIco({FourBit(16, 1), FourBit(16, 2)});
    QByteArray shared = good; // both entries claim all the file's bytes
    for (int e = 0; e < 2; ++e) {
        const int at = 6 + 16 * e;
        for (int i = 0; i < 4; ++i) {
            shared[at + 8 + i] = char((good.size() >> (8 * i)) & 0xFF);
            shared[at + 12 + i] = 0;
        }
    }
    QByteArray huge = good;
    huge[6 + 8 + 3] = char(0x7F); // two gigabytes in a tiny file
    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"cursor", MakeIco({FourBit(16, 1)}, {}, 0, 2)},
        {"reserved", QByteArray("\1\0\1\0\0\0", 6)},
        {"short header", QByteArray("\0\0\1", 3)},
        {"short directory", good.left(6 + 16 + 8)},
        {"short image", good.left(good.size() - 1)},
        {"huge image", huge},
        {"shared bytes", shared},
    };
    TAdvancedIcon icon;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(icon.LoadFromFile(WriteTemp(dir, "good.ico", good)));
        EXPECT_FALSE(icon.LoadFromFile(WriteTemp(dir, "bad.ico", c.bytes)));
        EXPECT_EQ(icon.Images()->Count(), 0);
    }
    EXPECT_THROW(icon.LoadFromFile(dir.filePath("missing.ico")), EFOpenError);
}

// Each entry lists the image's real size, whatever the file said; 256 becomes 0. Bytes that are
// no bitmap keep the file's entry.
TEST(AdvancedIcon, EntriesTakeTheImagesOwnSize)
{
    auto dib = [](int w, int h) {
        Dib d;
        d.Width = w;
        d.Height = h;
        d.Bits = 1;
        d.Palette = {0, 0xFFFFFF};
        Image im = MakeImage(d);
        im.Width = im.Height = 32; // what a careless writer put in the directory
        return im;
    };
    // Compressed images: the size comes from the header chunk; without one the entry stays.
    auto png = [](uint32_t w, uint32_t h, const char* chunk = "IHDR") {
        QByteArray b("\x89PNG\r\n\x1a\n\0\0\0\x0d", 12);
        b += QByteArray(chunk, 4);
        for (uint32_t v : {w, h})
            for (int shift = 24; shift >= 0; shift -= 8)
                b += char((v >> shift) & 0xFF);
        b += QByteArray(9, '\0');
        return Image{b, 20, 10, 32, 0};
    };
    QTemporaryDir dir;
    TAdvancedIcon icon;
    ASSERT_TRUE(icon.LoadFromFile(WriteTemp(dir, "s.ico",
                                            MakeIco({dib(48, 32), dib(32, 48), dib(256, 1), png(64, 40),
                                                     png(256, 256), png(300, 16), png(64, 64, "IDAT")}))));
    const std::pair<int, int> expected[] = {{48, 32}, {32, 48}, {0, 1}, {64, 40}, {0, 0}, {20, 10}, {20, 10}};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(icon.Images()->GetItem(i)->Entry().Width, expected[i].first);
        EXPECT_EQ(icon.Images()->GetItem(i)->Entry().Height, expected[i].second);
    }
    const QByteArray f = Saved(icon);
    EXPECT_EQ(uint8_t(f[6]), 48);
    EXPECT_EQ(uint8_t(f[7]), 32);

    // The handle is made at that size, so a non-square image is not squeezed.
    int w = 0, h = 0;
    ASSERT_TRUE(GetIconSize(icon.Images()->GetItem(0)->GetHandle(), &w, &h));
    EXPECT_EQ(w, 48);
    EXPECT_EQ(h, 32);
}

TEST(IconImageList, MovesAndDeletesKeepOwnershipClear)
{
    QTemporaryDir dir;
    TAdvancedIcon source, target;
    ASSERT_TRUE(source.LoadFromFile(WriteTemp(dir, "two.ico", MakeIco({FourBit(16, 1), FourBit(32, 2)}))));
    TIconImageList* list = target.Images();

    // A missing index or a null icon changes neither side.
    list->TakeImageFrom(&source, 2);
    list->TakeImageFrom(nullptr, 0);
    list->TakeImageFrom(&source, -1);
    EXPECT_EQ(source.Images()->Count(), 2);
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(source.Images()->GetItem(2), nullptr);

    TIconImage* second = source.Images()->GetItem(1);
    list->TakeImageFrom(&source, 1);
    EXPECT_EQ(list->GetItem(0), second);
    EXPECT_EQ(list->Capacity(), 1);

    std::unique_ptr<TIconImage> back = source.Images()->Delete(0, false);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Entry().Width, 16);
    EXPECT_EQ(source.Images()->Count(), 0);
    EXPECT_EQ(source.Images()->Delete(0, true), nullptr);

    list->SetCapacity(0);
    EXPECT_EQ(list->Capacity(), 1);
    list->Clear();
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->Capacity(), 0);
}

// Copies own their bytes and handles: they keep working after the source is gone.
TEST(AdvancedIcon, CopiesOutliveTheirSource)
{
    QTemporaryDir dir;
    TAdvancedIcon copy;
    QByteArray original;
    {
        TAdvancedIcon source;
        ASSERT_TRUE(source.LoadFromFile(WriteTemp(dir, "two.ico", MakeIco({FourBit(16, 1), FourBit(32, 2)}))));
        original = Saved(source);
        copy.AssignIcon(&source);
        ASSERT_NE(source.Images()->GetItem(1)->Handle(), nullptr); // made on the source by the copy
        EXPECT_NE(copy.Images()->GetItem(1)->Handle(), source.Images()->GetItem(1)->Handle());
    }
    copy.AssignIcon(&copy);
    ASSERT_EQ(copy.Images()->Count(), 2);
    EXPECT_EQ(Saved(copy), original);
    int w = 0, h = 0;
    ASSERT_TRUE(GetIconSize(copy.Images()->GetItem(1)->Handle(), &w, &h));
    EXPECT_EQ(w, 32);
    const std::unique_ptr<THiResIcon> picture = copy.Images()->GetItem(1)->CreateHiResIcon();
    EXPECT_EQ(picture->Width(), 32);
    EXPECT_NE(picture->Handle(), copy.Images()->GetItem(1)->Handle());
}

TEST(AdvancedIcon, SavingNoImagesLeavesTheFile)
{
    QTemporaryDir dir;
    const QString path = WriteTemp(dir, "kept.ico", "old");
    TAdvancedIcon empty;
    empty.SaveToFile(path);
    EXPECT_EQ(ReadFile(path), QByteArray("old"));
    empty.SaveToFile(dir.filePath("none.ico"));
    EXPECT_FALSE(QFile::exists(dir.filePath("none.ico")));
}

// A project of formats of every depth and shape goes through the writer and the image lists into
// one file that another program lists entry by entry and that decodes to the pixels drawn.
TEST(AdvancedIcon, ProjectFileFromWrittenFormats)
{
    struct Format {
        int w, h, colors;
        const char* listing;
    } formats[] = {
        {48, 48, 24, "--icon --index=1 --width=48 --height=48 --bit-depth=24 --palette-size=0"},
        {48, 32, 256, "--icon --index=2 --width=48 --height=32 --bit-depth=8 --palette-size=256"},
        {20, 36, 16, "--icon --index=3 --width=20 --height=36 --bit-depth=4 --palette-size=16"},
        {16, 16, 2, "--icon --index=4 --width=16 --height=16 --bit-depth=1 --palette-size=2"},
    };
    QTemporaryDir dir;
    TAdvancedIcon loader, collector;
    std::vector<TIconXPData> expected;
    for (int i = 0; i < 4; ++i) {
        const Format& f = formats[i];
        // Colours of the depth's own table, so that the reduction keeps them.
        const TPaletteEntries& table = FixedPaletteForBits(f.colors == 24 ? 8 : f.colors == 256 ? 8 : f.colors == 16 ? 4 : 1);
        TBitmap bmp(f.w, f.h, pf24bit);
        TIconXPData pixels(size_t(f.w * f.h));
        for (int y = 0; y < f.h; ++y)
            for (int x = 0; x < f.w; ++x) {
                const bool key = (x * 3 + y) % 7 == 0;
                const QRgb c = table[size_t(x * 5 + y * 11) % table.size()] & 0xFFFFFF;
                bmp.SetPixelArgb(x, y, key ? 0xFFD200FFu : 0xFF000000u | c);
                pixels[size_t((f.h - 1 - y) * f.w + x)] = key ? 0u : 0xFF000000u | c;
            }
        expected.push_back(pixels);
        const QString path = dir.filePath(QStringLiteral("%1.ico").arg(i + 1));
        SaveBitmapAsIcon(&bmp, path, f.w, f.h, f.colors);
        ASSERT_TRUE(loader.LoadFromFile(path));
        collector.Images()->TakeImageFrom(&loader, 0);
        loader.Images()->Clear();
    }
    const QString project = dir.filePath("project.ico");
    collector.SaveToFile(project);

    const QByteArray file = ReadFile(project);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const uint32_t size = ReadLE32(file, 6 + 16 * i + 8), offset = ReadLE32(file, 6 + 16 * i + 12);
        ASSERT_LE(offset + size, uint32_t(file.size()));
        TIconXPFormat image;
        image.DecodeImage(reinterpret_cast<const uint8_t*>(file.constData()) + offset, size);
        EXPECT_EQ(image.Width(), formats[i].w);
        EXPECT_EQ(image.Height(), formats[i].h);
        EXPECT_EQ(image.Pixels(), expected[size_t(i)]);
    }

    const QString icotool = QStandardPaths::findExecutable(QStringLiteral("icotool"));
    if (icotool.isEmpty())
        GTEST_SKIP() << "icotool is not installed";
    QProcess p;
    p.start(icotool, {QStringLiteral("-l"), project});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QList<QByteArray> lines = p.readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(lines[i].toStdString(), formats[i].listing);
    EXPECT_EQ(p.readAllStandardError().trimmed().toStdString(), "");
}
