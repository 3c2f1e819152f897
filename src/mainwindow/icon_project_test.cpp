#include "mainwindow/icon_project.h"

#include "document/scratch_folder.h"
#include "framework/exceptions.h"
#include "imaging/icons/icon_test_files.h"
#include "mainwindow/testing_file_host.h"
#include "testsupport/testdata.h"

#include <QFile>
#include <QImage>

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

TEST_F(FileRoadsTest, ImagesOf256PixelsAreLeftOutAndCounted)
{
    // A 256-pixel PNG image first, then 48, 32, 24 and 16 pixels.
    Tnewiconview* doc = OpenIconAsProject(host, TestDataPath("icons/pillow/pillow.ico"));
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->FormatCount(), 4);
    for (int f = 1; f <= 4; ++f) {
        EXPECT_NE(doc->FormatTable.Width(f), "0");
        EXPECT_NE(doc->FormatTable.Width(f), "256");
    }
    EXPECT_EQ(doc->FormatTable.Width(1), "48");
    ASSERT_EQ(host.Status.size(), 1);
    EXPECT_TRUE(host.Status[0].startsWith("1 image(s) of 256 pixels left out"));

    // Nothing but a 256-pixel image (a 0 in the directory): no document at all.
    host.Status.clear();
    Dib tiny;
    tiny.Width = tiny.Height = 1;
    const QString big = Write("big.ico", MakeIco({{MakeDib(tiny), 0, 0, 32, 0}}));
    EXPECT_EQ(OpenIconAsProject(host, big), nullptr);
    EXPECT_EQ(host.Status.size(), 1);
    EXPECT_EQ(host.Messages.value(0), "Invalid icon format!");
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
