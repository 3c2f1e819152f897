// A person's round trip through the commands: open a file, change a pixel in the document,
// File > Save, and read the file back.
#include "framework/streams.h"
#include "imaging/icons/icon_test_files.h"
#include "imaging/icons/icon_xp.h"
#include "imaging/icons/icon_xp_format.h"
#include "mainwindow/open_dispatch.h"
#include "mainwindow/save_dispatch.h"
#include "mainwindow/testing_file_host.h"
#include "testsupport/testdata.h"

#include <QFile>

namespace {

// Pixel (x, y), top row first, of image index of an icon or cursor file.
uint32_t FilePixel(const QString& path, int index, int x, int y)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 1;
    QByteArray bytes = f.readAll();
    bytes[2] = 1; // a cursor reads as an icon
    TMemoryStream stream(bytes);
    TIconXP icon;
    icon.LoadFromStream(&stream);
    const TIconXPFormat* image = icon.Formats()->GetItem(index);
    return image->Pixels()[size_t((image->Height() - 1 - y) * image->Width() + x)];
}

// Changes one pixel of the active document as a stroke of the canvas does: one undo step.
void ChangePixel(Tnewiconview* doc, int x, int y, uint32_t argb)
{
    doc->EnsureBaseState();
    doc->DropRedoTail();
    GdipImageData(doc->CurrentImage())->setPixel(x, y, argb);
    doc->RecordStep();
}

} // namespace

TEST_F(FileRoadsTest, OpenChangeSaveAndReadBackAnIcon)
{
    icontest::Dib dib;
    dib.Width = dib.Height = 32;
    dib.Pixel = [](int, int) { return 0xC0204080u; };
    host.OpenFileName = Write("App.ico", icontest::MakeIco({icontest::MakeImage(dib)}));
    OpenFileByName(host);
    ASSERT_EQ(host.Documents.size(), 1u);
    Tnewiconview* doc = host.Documents[0].get();
    EXPECT_EQ(host.Editor.ActiveDocumentName, doc->objectName());

    ChangePixel(doc, 5, 6, 0xFF00FF00);
    EXPECT_EQ(SaveCommand(host), Path("App.ico"));
    EXPECT_EQ(FilePixel(Path("App.ico"), 0, 5, 6), 0xFF00FF00u);
    EXPECT_EQ(FilePixel(Path("App.ico"), 0, 6, 6), 0xC0204080u);
    EXPECT_EQ(doc->SavedFileName, Path("App.ico"));
}

TEST_F(FileRoadsTest, OpenChangeSaveAndReadBackACursorWithItsHotSpot)
{
    QByteArray cursor = ReadTestData("icons/pillow/deerstalker.cur");
    cursor[10] = 3;
    cursor[12] = 4;
    host.OpenFileName = Write("Hat.cur", cursor);
    OpenFileByName(host);
    ASSERT_EQ(host.Documents.size(), 1u);

    ChangePixel(host.Documents[0].get(), 1, 2, 0xFFFF0000);
    EXPECT_EQ(SaveCommand(host), Path("Hat.cur"));
    QFile saved(Path("Hat.cur"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    EXPECT_EQ(bytes[2], 2);
    EXPECT_EQ(icontest::ReadLE32(bytes, 10), 3u | 4u << 16);
    EXPECT_EQ(FilePixel(Path("Hat.cur"), 0, 1, 2), 0xFFFF0000u);
}
