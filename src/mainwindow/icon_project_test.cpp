#include "mainwindow/icon_project.h"

#include "document/document_files.h"
#include "document/scratch_folder.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/icons/icon_test_files.h"
#include "imaging/icons/icon_xp.h"
#include "imaging/icons/icon_xp_format.h"
#include "mainwindow/save_dispatch.h"
#include "mainwindow/testing_file_host.h"
#include "testsupport/testdata.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <tuple>

using namespace icontest;

namespace {

uint32_t Pixel(Tnewiconview* doc, int f, int x, int y)
{
    return GdipImageData(doc->FormatImages[size_t(f)])->pixel(x, y);
}

Dib Paletted(int side, int bits, std::function<uint32_t(int, int)> pixel, std::function<bool(int, int)> mask)
{
    Dib d;
    d.Width = d.Height = side;
    d.Bits = bits;
    for (int i = 0; i < (1 << bits); ++i)
        d.Palette.push_back(i == 0 ? 0x000000u : i == 1 ? 0xFFFFFFu : 0x00102030u * uint32_t(i % 8));
    d.Pixel = std::move(pixel);
    d.Mask = std::move(mask);
    return d;
}

struct TEntryImage {
    int Side = 0; // the directory's width byte
    QByteArray Data;
};

// The images of an .ico file as its directory lists them.
std::vector<TEntryImage> EntryImages(const QByteArray& ico)
{
    std::vector<TEntryImage> out;
    const int count = ico.size() >= 6 ? int(uint8_t(ico[4]) | uint8_t(ico[5]) << 8) : 0;
    for (int i = 0; i < count && 6 + 16 * (i + 1) <= ico.size(); ++i) {
        const int e = 6 + 16 * i;
        out.push_back({uint8_t(ico[e]), ico.mid(ReadLE32(ico, e + 12), ReadLE32(ico, e + 8))});
    }
    return out;
}

QByteArray Png(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(0x80402010u);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST_F(FileRoadsTest, EveryImageBecomesAFormatOfItsOwnSizeAndKind)
{
    Dib xp;
    xp.Width = xp.Height = 48;
    xp.Pixel = [](int, int) { return 0x80FF0000u; };
    const Dib d256 = Paletted(32, 8, [](int, int) { return 1u; }, [](int, int) { return false; });
    // Rows count from the bottom; the left half is masked in every row.
    const Dib mono = Paletted(16, 1, [](int, int) { return 1u; }, [](int x, int) { return x < 8; });
    const QString path = Write("Mixed.ico", MakeIco({MakeImage(xp), MakeImage(d256), MakeImage(mono)}));

    Tnewiconview* doc = OpenIconAsProject(host, path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->objectName(), "iconview1");
    EXPECT_EQ(doc->Caption(), "New Icon 1");
    EXPECT_EQ(host.Editor.ActiveDocumentName, "iconview1");
    EXPECT_EQ(host.Editor.ActiveDocumentNumber, 1);
    ASSERT_EQ(doc->FormatCount(), 3);
    const char* kinds[] = {"XP", "256", "Mono"};
    const int sides[] = {48, 32, 16};
    for (int f = 1; f <= 3; ++f) {
        EXPECT_EQ(doc->FormatTable.Width(f), QString::number(sides[f - 1]));
        EXPECT_EQ(doc->FormatTable.Height(f), QString::number(sides[f - 1]));
        EXPECT_EQ(doc->FormatTable.Kind(f), kinds[f - 1]);
        EXPECT_EQ(GdipImageData(doc->FormatImages[size_t(f)])->width(), sides[f - 1]);
        EXPECT_TRUE(QFile::exists(ScratchPath(QStringLiteral("iconum1_%1.ico").arg(f))));
    }
    EXPECT_TRUE(doc->FormatTable.StandardPresent(TFormatTable::StandardIndexOf(48, 48, "XP")));
    EXPECT_TRUE(doc->FormatTable.StandardPresent(TFormatTable::StandardIndexOf(16, 16, "Mono")));
    EXPECT_EQ(Pixel(doc, 1, 3, 3), 0x80FF0000u); // the image's own alpha
    EXPECT_EQ(Pixel(doc, 2, 3, 3), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(doc, 3, 2, 5), 0u);          // masked: transparent black
    EXPECT_EQ(Pixel(doc, 3, 12, 5), 0xFFFFFFFFu);
    EXPECT_EQ(doc->CurrentFormat(), 1);
    // The new-image values follow the current format; a file of several images is no one's file.
    EXPECT_EQ(host.Editor.NewImageWidth, 48);
    EXPECT_EQ(host.Editor.NewImageKind, "XP");
    EXPECT_TRUE(doc->SavedFileName.isEmpty());
    EXPECT_TRUE(host.ComboItems.isEmpty());
    EXPECT_EQ(host.History, QStringList{path});
    EXPECT_TRUE(QFile::exists(ScratchPath("ico1.ico")));
    EXPECT_EQ(host.Editor.DocumentCounter, 1);
}

TEST_F(FileRoadsTest, OneImageFileBecomesTheDocumentsFile)
{
    const QString path = Write("Hopper.ICO", ReadTestData("icons/pillow/hopper.ico"));
    Tnewiconview* doc = OpenIconAsProject(host, path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->FormatTable.Kind(1), "256");
    EXPECT_EQ(doc->SavedFileName, path);
    EXPECT_EQ(host.ComboText, path);
    EXPECT_EQ(host.ComboItems, QStringList{path});

    // A 16-bit image keeps the kind the editor has.
    Dib hi;
    hi.Bits = 16;
    hi.Pixel = [](int, int) { return 0x7C00u; };
    host.Editor.NewImageKind = "16.8M";
    Tnewiconview* second = OpenIconAsProject(host, Write("hi.ico", MakeIco({MakeImage(hi)})));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->objectName(), "iconview2");
    EXPECT_EQ(second->FormatTable.Kind(1), "16.8M");
}

TEST_F(FileRoadsTest, DocumentNumberFillsTheFirstGap)
{
    for (int n : {1, 3}) {
        host.NewDocumentWindow(QStringLiteral("iconview%1").arg(n), "Project");
    }
    host.Editor.DocumentCounter = 3;
    const QString path = TestDataPath("icons/pillow/python.ico");
    Tnewiconview* doc = OpenIconAsProject(host, path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->objectName(), "iconview2");
    EXPECT_EQ(doc->Caption(), "New Icon 2");
    EXPECT_EQ(host.Editor.DocumentCounter, 3);
    ASSERT_NE(OpenIconAsProject(host, path), nullptr);
    EXPECT_EQ(host.Editor.ActiveDocumentName, "iconview4");
    EXPECT_EQ(host.Editor.DocumentCounter, 4);
}

TEST_F(FileRoadsTest, LargeImagesAreKeptAndWrittenBackInTheirPlaces)
{
    // A 256-pixel PNG image first, then 48, 32, 24 and 16 pixels.
    const QByteArray original = ReadTestData("icons/pillow/pillow.ico");
    const QString path = Write("pillow.ico", original);
    Tnewiconview* doc = OpenIconAsProject(host, path);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->FormatCount(), 4);
    EXPECT_EQ(doc->FormatTable.Width(1), "48");
    EXPECT_EQ(host.Status, QStringList{"1 image(s) kept unedited"});
    EXPECT_TRUE(host.Messages.isEmpty());

    // Saved without a stroke: the large image comes back first, byte for byte.
    SaveProjectIcon(*doc, path);
    const std::vector<TEntryImage> before = EntryImages(original), after = EntryImages(ReadFile(path));
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after[0].Side, 0);
    EXPECT_EQ(after[0].Data, before[0].Data);
    for (size_t i = 1; i < after.size(); ++i)
        EXPECT_EQ(after[i].Side, before[i].Side);

    // Between formats it stays between them; with the formats behind it removed it follows the last.
    Dib small;
    small.Width = small.Height = 2;
    const Image big = {Png(256, 256), 0, 0, 32, 0};
    const QString middle = Write("middle.ico", MakeIco({MakeImage(small), big, MakeImage(small)}));
    doc = OpenIconAsProject(host, middle);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->FormatCount(), 2);
    SaveProjectIcon(*doc, Path("out.ico"));
    std::vector<TEntryImage> saved = EntryImages(ReadFile(Path("out.ico")));
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[0].Side, 2);
    EXPECT_EQ(saved[1].Side, 0);
    EXPECT_EQ(saved[1].Data, big.Data);
    doc->FormatTable.SetFormatCount(1);
    SaveProjectIcon(*doc, Path("out.ico"));
    saved = EntryImages(ReadFile(Path("out.ico")));
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[1].Side, 0);

    // Nothing but large images: no document, and a message that says why.
    host.Messages.clear();
    EXPECT_EQ(OpenIconAsProject(host, Write("big.ico", MakeIco({big, big}))), nullptr);
    ASSERT_EQ(host.Messages.size(), 1);
    EXPECT_TRUE(host.Messages[0].contains("larger than 255 pixels")) << host.Messages[0].toStdString();
}

TEST_F(FileRoadsTest, ImagesPastTheHundredthAreKeptAndNamed)
{
    Dib d;
    d.Width = d.Height = 1;
    d.Pixel = [](int, int) { return 0xFF102030u; };
    const std::vector<Image> images(103, MakeImage(d));
    const QString path = Write("many.ico", MakeIco(images));
    Tnewiconview* doc = OpenIconAsProject(host, path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->FormatCount(), 100);
    ASSERT_EQ(host.Messages.size(), 1);
    EXPECT_TRUE(host.Messages[0].contains("(3)")) << host.Messages[0].toStdString();
    EXPECT_EQ(host.Status, QStringList{"3 image(s) kept unedited"});
    SaveProjectIcon(*doc, path);
    EXPECT_EQ(EntryImages(ReadFile(path)).size(), 103u);
}

TEST_F(FileRoadsTest, OnlyImagesThatDecodeBecomeFormats)
{
    Dib xp;
    xp.Width = xp.Height = 8;
    xp.Pixel = [](int, int) { return 0xFF00FF00u; };
    Dib mono;
    mono.Width = mono.Height = 8;
    mono.Bits = 1;
    mono.Palette = {0, 0xFFFFFF};
    Image garbage = MakeImage(xp);
    garbage.Data.fill('\x7f', 40);
    // A damaged image between two sound ones.
    Tnewiconview* doc = OpenIconAsProject(host, Write("damaged.ico", MakeIco({MakeImage(xp), garbage, MakeImage(mono)})));
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->FormatCount(), 2);
    EXPECT_EQ(doc->FormatTable.Kind(1), "XP");
    EXPECT_EQ(doc->FormatTable.Kind(2), "Mono");
    EXPECT_EQ(host.Messages, QStringList{"1 damaged image(s) of this icon could not be read and were skipped."});
    EXPECT_EQ(host.Status, QStringList{QString()}); // nothing kept

    // Cut short inside the last image: the images before it open, the cut one is counted.
    host.Messages.clear();
    const QByteArray whole = MakeIco({MakeImage(xp), MakeImage(mono)});
    doc = OpenIconAsProject(host, Write("cut.ico", whole.left(whole.size() - 10)));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->FormatCount(), 1);
    EXPECT_EQ(doc->FormatTable.Kind(1), "XP");
    EXPECT_EQ(host.Messages.size(), 1);

    // Cut inside the first image, so nothing decodes: no phantom formats.
    host.Messages.clear();
    const size_t open = host.Documents.size();
    EXPECT_EQ(OpenIconAsProject(host, Write("cut2.ico", whole.left(6 + 2 * 16 + 30))), nullptr);
    EXPECT_EQ(host.Messages, QStringList{"Invalid icon format!"});
    EXPECT_EQ(host.Documents.size(), open);
}

TEST_F(FileRoadsTest, BrokenFilesOpenNothingAfterTheirHistoryEntry)
{
    for (const char* name : {"icons/gdk-pixbuf/bug778204.ico", "icons/pillow/no_cursors.cur"}) {
        host.Messages.clear();
        const QString path = Write("broken.ico", ReadTestData(name));
        EXPECT_EQ(OpenIconAsProject(host, path), nullptr) << name;
        EXPECT_EQ(host.Messages, QStringList{"Invalid icon format!"}) << name;
        EXPECT_EQ(host.History.last(), path);
    }
    EXPECT_EQ(host.Editor.DocumentCounter, 1);
    EXPECT_TRUE(host.Documents.empty());

    EXPECT_THROW(OpenIconAsProject(host, Path("gone.ico")), EFOpenError);
    EXPECT_EQ(host.History.last(), Path("gone.ico"));
}

TEST_F(FileRoadsTest, AnImageListedAtAnotherSizeKeepsItsOwnSizeAndPixels)
{
    // The directory lists 16 x 32; the bitmap is 16 x 16.
    const QByteArray original = ReadTestData("icons/pillow/hopper_unexpected.ico");
    ASSERT_EQ(uint8_t(original[7]), 32);
    const QString path = Write("unexpected.ico", original);
    Tnewiconview* doc = OpenIconAsProject(host, path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->FormatTable.Width(1), "16");
    EXPECT_EQ(doc->FormatTable.Height(1), "16");
    host.ComboText = path;
    ASSERT_EQ(SaveCommand(host), path);

    auto decode = [](const QByteArray& bytes) {
        TMemoryStream stream(bytes);
        TIconXP icon;
        icon.LoadFromStream(&stream);
        EXPECT_EQ(icon.Formats()->Count(), 1);
        const TIconXPFormat* f = icon.Formats()->GetItem(0);
        // A transparent point is one value whatever colour the file keeps under the mask.
        std::vector<uint32_t> pixels(f->Pixels().begin(), f->Pixels().end());
        for (uint32_t& p : pixels)
            p = (p >> 24) == 0 ? 0 : p;
        return std::make_tuple(f->Width(), f->Height(), pixels);
    };
    const QByteArray saved = ReadFile(path);
    ASSERT_EQ(EntryImages(saved).size(), 1u);
    EXPECT_EQ(uint8_t(saved[6]), 16);
    EXPECT_EQ(uint8_t(saved[7]), 16);
    const auto [w, h, pixels] = decode(saved);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 16);
    EXPECT_EQ(pixels, std::get<2>(decode(original)));
}
