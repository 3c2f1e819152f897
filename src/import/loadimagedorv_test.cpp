#include "import/loadimagedorv.h"

#include "document/scratch_folder.h"
#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/list_box.h"
#include "framework/menus.h"
#include "framework/string_list.h"
#include "imaging/icons/file_icon.h"
#include "imaging/icons/icon_library.h"
#include "imaging/icons/icon_test_files.h"
#include "imaging/icons/multi_icon.h"
#include "imaging/toolkit/imaging_test_support.h"
#include "import/import_rules.h"
#include "import/import_test_support.h"
#include "import/import_windows.h"
#include "mainwindow/file_host.h"
#include "platform/gdip.h"
#include "platform/program_paths.h"
#include "skin/controls/status_bar.h"

#include <QClipboard>
#include <QFileInfo>
#include <QImage>
#include <QPointer>

using namespace importtest;

namespace {

QString WritePng(const QString& path, int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba(x * 4, y * 4, 200, 255));
    EXPECT_TRUE(image.save(path, "PNG"));
    return path;
}

icontest::Image Square(int side, int bits, uint32_t colour)
{
    icontest::Dib d;
    d.Width = d.Height = side;
    d.Bits = bits;
    if (bits <= 8)
        for (int i = 0; i < (1 << bits); ++i)
            d.Palette.push_back(i == 1 ? colour : 0u);
    d.Pixel = [bits, colour](int, int) { return bits <= 8 ? 1u : colour; };
    return icontest::MakeImage(d);
}

class ImportPicture : public ImportWindowTest {
protected:
    Tloadimagedorv* Open(const QString& path, int code = 0)
    {
        auto* window = new Tloadimagedorv;
        window->Show();
        window->OpenPictureFile(path, code);
        return window;
    }
    void Check(Tloadimagedorv* w, int box, bool on)
    {
        w->FindComponent(QStringLiteral("suiCheckBox%1").arg(box))->setProperty("Checked", on);
    }
};

} // namespace

TEST_F(ImportPicture, StartStateMakesEighteenFormatsFromThePicture)
{
    const QString png = WritePng(dir.filePath("pic.png"), 40, 30);
    Tloadimagedorv* w = Open(png);
    EXPECT_EQ(w->FindComponent("Label5")->property("Caption").toString(), "40 * 30");
    EXPECT_EQ(w->SelectedPicture.size(), QSize(40, 30));
    auto* bar = qobject_cast<TsuiStatusBar*>(w->FindComponent("suiStatusBar1"));
    ASSERT_EQ(bar->Panels()->Count(), 2);
    EXPECT_EQ(bar->Panels()->Items(1)->Text(), png);
    EXPECT_TRUE(ClickComponent(w->FindComponent("suiButton1")));
    Tnewiconview* doc = w->ImportedDocument;
    ASSERT_NE(doc, nullptr) << Messages.join('|').toStdString();
    EXPECT_EQ(doc->objectName(), "iconview2");
    EXPECT_EQ(state.DocumentCounter, 2);
    ASSERT_EQ(doc->FormatCount(), 18);
    const int sides[] = {96, 72, 64, 48, 32, 16};
    const char* kinds[] = {"XP", "16.8M", "256"};
    for (int f = 1; f <= 18; ++f) {
        // The document keeps its formats grouped by kind, larger first: the import's own order.
        EXPECT_EQ(doc->FormatTable.Width(f), QString::number(sides[(f - 1) % 6])) << f;
        EXPECT_EQ(doc->FormatTable.Kind(f), kinds[(f - 1) / 6]) << f;
        const QImage* image = GdipImageData(doc->FormatImages[size_t(f)]);
        EXPECT_EQ(image->width(), sides[(f - 1) % 6]) << f;
        // Every format holds the picture, opaque where the picture is.
        EXPECT_EQ(qAlpha(image->pixel(image->width() / 2, image->height() / 2)), 255) << f;
    }
    // Format 1 holds the picture: its top-left corner is the picture's.
    EXPECT_EQ(GdipImageData(doc->FormatImages[1])->pixel(0, 0) | 0xFF000000u, qRgb(0, 0, 200) | 0xFF000000u);
    EXPECT_EQ(state.Enabled.value("Timer2"), true);
}

TEST_F(ImportPicture, ProjectTakesTheFirstFreeNumber)
{
    const QString png = WritePng(dir.filePath("pic.png"), 8, 8);
    TPlainFileHost host(state);
    host.NewDocumentWindow("iconview1", "New Icon 1");
    host.NewDocumentWindow("iconview3", "New Icon 3");
    state.DocumentCounter = 3;
    for (const char* expected : {"iconview2", "iconview4"}) {
        Tloadimagedorv* w = Open(png);
        ClickComponent(w->FindComponent("suiButton1"));
        ASSERT_NE(w->ImportedDocument, nullptr);
        EXPECT_EQ(w->ImportedDocument->objectName(), expected);
        EXPECT_EQ(w->ImportedDocument->Caption(), QString("New Icon ") + QString(expected).mid(8));
        EXPECT_EQ(state.ActiveDocumentName, expected);
    }
    EXPECT_EQ(state.DocumentCounter, 4);
}

TEST_F(ImportPicture, CustomSizeIsCheckedBeforeAnythingIsMade)
{
    const QString png = WritePng(dir.filePath("pic.png"), 20, 20);
    struct {
        const char* Width;
        const char* Height;
        bool Made;
    } cases[] = {{"", "10", false}, {"0", "10", false}, {"256", "10", false}, {"20", "10", true}};
    int made = 0;
    for (const auto& c : cases) {
        Messages.clear();
        Tloadimagedorv* w = Open(png);
        for (int box = 1; box <= 6; ++box)
            Check(w, box, false);
        Check(w, 7, true);
        w->suiCheckBox7Click(w);
        EXPECT_TRUE(qobject_cast<TControl*>(w->FindComponent("Edit1"))->Enabled());
        w->FindComponent("Edit1")->setProperty("Text", c.Width);
        w->FindComponent("Edit2")->setProperty("Text", c.Height);
        ClickComponent(w->FindComponent("suiButton1"));
        EXPECT_EQ(w->ImportedDocument != nullptr, c.Made) << c.Width;
        EXPECT_EQ(Messages.isEmpty(), c.Made) << c.Width;
        if (c.Made) {
            ++made;
            EXPECT_EQ(w->ImportedDocument->FormatTable.Width(1), "20");
            EXPECT_EQ(w->ImportedDocument->FormatTable.Height(1), "10");
            EXPECT_EQ(w->ImportedDocument->FormatCount(), 3);
        } else {
            delete w;
        }
    }
    EXPECT_EQ(made, 1);
}

TEST_F(ImportPicture, DraggedRectangleIsWhatIsImportedWhicheverWayItWasDragged)
{
    const QString png = WritePng(dir.filePath("pic.png"), 40, 30);
    Tloadimagedorv* w = Open(png);
    // The preview draws the picture 2 pixels in: (12, 7)..(22, 17) is picture (10, 5) of 10 by 10.
    for (auto [from, to] : {std::pair{QPoint(12, 7), QPoint(22, 17)}, std::pair{QPoint(22, 17), QPoint(12, 7)}}) {
        w->upMouseDown(w, mbLeft, {}, from.x(), from.y(), nullptr);
        w->upMouseMove(w, {}, to.x(), to.y(), nullptr);
        w->upMouseUp(w, mbLeft, {}, to.x(), to.y(), nullptr);
        EXPECT_EQ(w->SelectionRect, QRect(12, 7, 10, 10));
        ASSERT_EQ(w->SelectedPicture.size(), QSize(10, 10));
        EXPECT_EQ(w->SelectedPicture.pixel(0, 0), qRgba(40, 20, 200, 255));
    }
    // A drag level with its start on one axis keeps the last rectangle.
    w->upMouseDown(w, mbLeft, {}, 5, 5, nullptr);
    w->upMouseMove(w, {}, 30, 5, nullptr);
    w->upMouseUp(w, mbLeft, {}, 30, 5, nullptr);
    EXPECT_EQ(w->SelectedPicture.size(), QSize(10, 10));
    ClickComponent(w->FindComponent("suiButton7"));
    EXPECT_EQ(w->SelectedPicture.size(), QSize(40, 30));
}

TEST_F(ImportPicture, ScratchAndExchangeFilesGoWithTheImport)
{
    const QString scratch = WritePng(ScratchPath("myselect.png"), 8, 8);
    ClickComponent(Open(scratch, 1)->FindComponent("suiButton1"));
    EXPECT_FALSE(QFile::exists(scratch));

    const QString exchange = LocalPath("c:\\deduriveredovizur.bmp");
    ASSERT_TRUE(QImage(8, 8, QImage::Format_RGB32).save(exchange, "BMP"));
    Tloadimagedorv* w = Open("c:\\deduriveredovizur.bmp", 119);
    EXPECT_EQ(w->SelectedPicture.size(), QSize(8, 8));
    ClickComponent(w->FindComponent("suiButton2"));
    QApplication::processEvents();
    EXPECT_FALSE(QFile::exists(exchange));
}

TEST_F(ImportPicture, CopyAndPasteGoThroughTheDriveFolder)
{
    const QString png = WritePng(dir.filePath("pic.png"), 12, 9);
    Tloadimagedorv* w = Open(png);
    EXPECT_FALSE(qobject_cast<TControl*>(w->FindComponent("suiButton3"))->Enabled());
    ClickComponent(w->FindComponent("suiButton4"));
    EXPECT_TRUE(qobject_cast<TControl*>(w->FindComponent("suiButton3"))->Enabled());
    ClickComponent(w->FindComponent("suiButton3"));
    EXPECT_EQ(w->PictureFile, "c:\\ttt.bmp");
    EXPECT_TRUE(QFile::exists(DriveFolder('c') + "ttt.bmp"));
    EXPECT_EQ(w->SelectedPicture.size(), QSize(12, 9));
}

// "Image Color" names the depth the file holds, not the one its picture is widened to.
TEST_F(ImportPicture, ImageColorNamesTheDepthTheFileHolds)
{
    QImage colour(6, 4, QImage::Format_RGB888);
    colour.fill(qRgb(10, 120, 230));
    QImage alpha(6, 4, QImage::Format_ARGB32);
    alpha.fill(qRgba(10, 120, 230, 100));
    QImage grey = colour.convertToFormat(QImage::Format_Grayscale8);
    QImage indexed = colour.convertToFormat(QImage::Format_Indexed8);
    indexed.setColorCount(256);
    QImage mono = colour.convertToFormat(QImage::Format_Mono);
    const struct {
        const char* File;
        QImage Picture;
        const char* Format;
        const char* Text;
    } cases[] = {
        {"c24.bmp", colour, "BMP", "24 Bit (16.8M)"},
        {"c8.bmp", indexed, "BMP", "8 Bit (256 Color)"},
        {"c1.bmp", mono, "BMP", "1 Bit (2 Color)"},
        {"c.jpg", colour, "JPEG", "24 Bit (16.8M)"},
        {"g.jpg", grey, "JPEG", "8 Bit (256 Color)"},
        {"c.png", colour, "PNG", "24 Bit (16.8M)"},
        {"a.png", alpha, "PNG", "32 Bit (Window XP )"},
        {"c.tif", colour, "TIFF", "24 Bit (16.8M)"},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QLatin1String(c.File));
        ASSERT_TRUE(c.Picture.save(path, c.Format)) << c.File;
        Tloadimagedorv* w = Open(path);
        EXPECT_EQ(w->FindComponent("Label6")->property("Caption").toString(), c.Text) << c.File;
    }
    Tloadimagedorv* w = Open(Write("f.gif", MakeGif(2, 2, {{{0, 1, 2, 3}}})));
    EXPECT_EQ(w->FindComponent("Label6")->property("Caption").toString(), "8 Bit (256 Color)");
}

// The GIF builder's frame to edit comes up in a new window at (50, 50), 682 by 461, with the
// icon grid of six rows hidden behind the picture.
TEST_F(ImportPicture, AGifFrameToEditOpensInANewWindowAtItsPlace)
{
    const QString frame = WritePng(dir.filePath("gif0.bmp.png"), 20, 10);
    Tloadimagedorv* first = nullptr;
    for (int i = 0; i < 2; ++i) {
        EditGifFrame(frame);
        Tloadimagedorv* w = loadimagedorv;
        ASSERT_TRUE(w);
        EXPECT_NE(w, first);
        first = w;
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(QRect(w->Left(), w->Top(), w->Width(), w->Height()), QRect(50, 50, 682, 461));
        QObject* grid = w->FindComponent("DrawGrid1");
        EXPECT_EQ(grid->property("RowCount").toInt(), 6);
        EXPECT_FALSE(grid->property("Visible").toBool());
        EXPECT_EQ(w->Picture.size(), QSize(20, 10));
        EXPECT_EQ(w->SourceCode, 0);
    }
}

TEST_F(ImportPicture, UnreadablePictureIsRefusedWithAMessage)
{
    const QString bad = Write("broken.png", "not a picture");
    const QString other = Write("thing.xyz", "whatever");
    for (const QString& path : {bad, other}) {
        Messages.clear();
        Tloadimagedorv* w = Open(path);
        EXPECT_TRUE(w->SelectedPicture.isNull());
        ClickComponent(w->FindComponent("suiButton1"));
        EXPECT_EQ(w->ImportedDocument, nullptr);
        ASSERT_FALSE(Messages.isEmpty());
        for (const QString& m : Messages)
            EXPECT_EQ(m, "Unable to load image (unsupported format)");
        if (path == other)
            EXPECT_EQ(qobject_cast<TsuiStatusBar*>(w->FindComponent("suiStatusBar1"))->SimpleText(), "No image loaded");
    }
}

// Formats the picture classes do not read are shown and imported through the outside control.
TEST_F(ImportPicture, OutsideFormatsComeThroughTheOutsideControl)
{
    const QString tga = Write("solid.tga", imaging_test::EncodeWith(imaging_test::Solid(5, 4, 10, 200, 30, 255), "TGA"));
    Tloadimagedorv* w = Open(tga);
    ASSERT_NE(w->ImagingHost, nullptr);
    EXPECT_EQ(qobject_cast<TsuiStatusBar*>(w->FindComponent("suiStatusBar1"))->SimpleText(),
              "Width = 5 pixels, Height = 4 pixels");
    ASSERT_EQ(w->SelectedPicture.size(), QSize(5, 4));
    EXPECT_EQ(w->SelectedPicture.pixel(2, 2), qRgba(10, 200, 30, 255));
    ClickComponent(w->FindComponent("suiButton1"));
    EXPECT_NE(w->ImportedDocument, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Library mode

class ImportLibrary : public ImportWindowTest {
protected:
    // A library of `groups` groups; group 1 holds 48-pixel images at 8 and 32 bits, group 2 a
    // 32-pixel 4-bit image and a 48-pixel 16-bit one, the others one 16-pixel 32-bit image each.
    QString MakeLibrary(int groups, const QString& name = "lib.icl")
    {
        TIconLibrary library;
        for (int g = 1; g <= groups; ++g) {
            std::vector<icontest::Image> images;
            if (g == 1)
                images = {Square(48, 8, 0x0000FF00u), Square(48, 32, 0xFF0000FFu)};
            else if (g == 2)
                images = {Square(32, 4, 0x00FF0000u), Square(48, 16, 0x00FF0000u)};
            else
                images = {Square(16, 32, 0xFF000000u | uint32_t(g))};
            const QString ico = Write(QStringLiteral("g%1.ico").arg(g), icontest::MakeIco(images));
            library.Icons()->AddObject(QStringLiteral("G%1").arg(g), new TFileIcon(ico));
        }
        const QString path = dir.filePath(name);
        library.SaveToFile(path);
        return path;
    }
    Tloadimagedorv* Open(const QString& path)
    {
        auto* window = new Tloadimagedorv;
        window->Show();
        window->OpenIconLibraryFile(path);
        return window;
    }
    int Rows(Tloadimagedorv* w) { return w->FindComponent("DrawGrid1")->property("RowCount").toInt(); }
    void Select(Tloadimagedorv* w, int n)
    {
        bool ok = true;
        w->DrawGrid1SelectCell(w, (n - 1) % 7, (n - 1) / 7, ok);
    }
};

TEST_F(ImportLibrary, GroupsFillRowsOfSevenAndDeleteMovesTheSelectionOn)
{
    Tloadimagedorv* w = Open(MakeLibrary(8, "lib.dll"));
    EXPECT_TRUE(w->LibraryMode);
    EXPECT_EQ(w->GroupCount, 8);
    EXPECT_EQ(Rows(w), 2);
    Select(w, 3);
    ClickComponent(w->FindComponent("N11"));
    EXPECT_EQ(w->GroupCount, 7);
    EXPECT_EQ(Rows(w), 1);
    EXPECT_EQ(w->SelectedCell, 3);
    EXPECT_EQ(w->CurrentGroup, w->Group(3));
    EXPECT_EQ(w->Library->Icons()->Strings(2), "G4");
}

TEST_F(ImportLibrary, CellsPickTheImageTheFiltersAskFor)
{
    Tloadimagedorv* w = Open(MakeLibrary(2));
    EXPECT_EQ(PickCellImage(w->Group(1), w->SizeFilter, w->DepthFilter), 1);
    struct {
        const char* Button;
        int Group;
        int Picked;
    } cases[] = {{"ToolButton3", 1, 0}, {"ToolButton2", 2, 0}, {"ToolButton1", 1, 0}, {"ToolButton4", 1, 1}};
    for (const auto& c : cases) {
        ClickComponent(w->FindComponent(c.Button));
        EXPECT_EQ(PickCellImage(w->Group(c.Group), w->SizeFilter, w->DepthFilter), c.Picked) << c.Button;
    }
    // The 4-bit depth button finds the 4-bit image once the size asks for it too.
    ClickComponent(w->FindComponent("ToolButton14"));
    ClickComponent(w->FindComponent("ToolButton2"));
    EXPECT_EQ(w->DepthFilter, 4);
    EXPECT_EQ(PickCellImage(w->Group(2), w->SizeFilter, w->DepthFilter), 0);
    ClickComponent(w->FindComponent("ToolButton13"));
    EXPECT_EQ(w->SizeFilter, 16);
}

TEST_F(ImportLibrary, GroupsAndImagesAreSavedAddedAndExportedAndReadBack)
{
    Tloadimagedorv* w = Open(MakeLibrary(2));
    Select(w, 1);
    auto* list = qobject_cast<TListBox*>(w->FindComponent("ListBox1"));
    ASSERT_EQ(list->Items()->Count(), 2);
    EXPECT_EQ(w->ItemImage(0), 1);

    // Save group: ".ico" added only when missing.
    for (const char* typed : {"one", "two.ico", "Three.ICO"}) {
        FileAnswer = dir.filePath(typed);
        ClickComponent(w->FindComponent("N5"));
    }
    EXPECT_TRUE(QFile::exists(dir.filePath("one.ico")));
    EXPECT_TRUE(QFile::exists(dir.filePath("two.ico")));
    EXPECT_FALSE(QFile::exists(dir.filePath("two.ico.ico")));
    EXPECT_EQ(TFileIcon(dir.filePath("one.ico")).Count(), 2);

    // Save image: nothing until an item was clicked; then the item's image alone.
    FileAnswer = dir.filePath("single");
    ClickComponent(w->FindComponent("MenuItem3"));
    EXPECT_FALSE(QFile::exists(dir.filePath("single.ico")));
    list->SetItemIndex(0);
    w->ListBox1Click(list);
    ClickComponent(w->FindComponent("MenuItem4"));
    TFileIcon single(dir.filePath("single.ico"));
    ASSERT_EQ(single.Count(), 1);
    EXPECT_EQ(IconEntryInfo(&single, 0).BitCount, 32);

    // Add Icon: a valid file becomes a group; an invalid one changes nothing.
    FileAnswer = Write("extra.ico", icontest::MakeIco({Square(24, 32, 0xFF123456u)}));
    ClickComponent(w->FindComponent("dddd"));
    EXPECT_EQ(w->GroupCount, 3);
    EXPECT_EQ(w->Library->Icons()->Strings(2), "extra.ico");
    FileAnswer = Write("bad.ico", "nonsense");
    ClickComponent(w->FindComponent("dddd"));
    EXPECT_EQ(w->GroupCount, 3);

    // Export ICL from the grid adds ".icl"; from the list the name stays as typed.
    FileAnswer = dir.filePath("out");
    ClickComponent(w->FindComponent("ICL1"));
    FileAnswer = dir.filePath("exact.bin");
    ClickComponent(w->FindComponent("MenuItem9"));
    for (const char* name : {"out.icl", "exact.bin"}) {
        TIconLibrary back;
        back.LoadFromFile(dir.filePath(name));
        ASSERT_EQ(back.Icons()->Count(), 3) << name;
        EXPECT_EQ(static_cast<TMultiIcon*>(back.Icons()->Objects(2))->Count(), 1) << name;
    }
}

// Every save road of the window asks before it writes over a file that is there, and writes
// nothing when the answer is No.
TEST_F(ImportLibrary, SavesAskBeforeReplacingAFile)
{
    Tloadimagedorv* w = Open(MakeLibrary(2));
    Select(w, 1);
    auto* list = qobject_cast<TListBox*>(w->FindComponent("ListBox1"));
    list->SetItemIndex(0);
    w->ListBox1Click(list);
    const struct {
        const char* Command;
        const char* Typed;
        const char* Written;
    } roads[] = {{"N5", "group", "group.ico"}, {"MenuItem4", "image", "image.ico"},
                 {"ICL1", "library", "library.icl"}, {"MenuItem9", "exact.bin", "exact.bin"}};
    for (const auto& road : roads) {
        SCOPED_TRACE(road.Command);
        const QString written = Write(QLatin1String(road.Written), "keep");
        for (const int answer : {int(mrNo), int(mrYes)}) {
            QStringList asked;
            TDialogAnswererScope answers([&](TDialogRequest& r) {
                if (r.Kind == TDialogRequest::dkSave) {
                    r.Dialog->setProperty("FileName", dir.filePath(QLatin1String(road.Typed)));
                    r.Result = 1;
                } else {
                    asked << r.Text;
                    r.Result = answer;
                }
                return true;
            });
            ClickComponent(w->FindComponent(road.Command));
            ASSERT_EQ(asked.size(), 1);
            EXPECT_TRUE(asked[0].contains(QLatin1String(road.Written)));
            QFile file(written);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll() == "keep", answer == int(mrNo));
        }
    }
}

TEST_F(ImportLibrary, OpenGroupAndOpenImageMakeProjects)
{
    Tloadimagedorv* w = Open(MakeLibrary(2));
    Messages.clear();
    ClickComponent(w->FindComponent("N1"));
    EXPECT_EQ(state.DocumentCounter, 1); // nothing selected: nothing made
    Select(w, 1);
    ClickComponent(w->FindComponent("N1"));
    Tnewiconview* group = MakeImportFileHost()->FindDocument(state.ActiveDocumentName);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->FormatCount(), 2) << Messages.join('|').toStdString() << state.ActiveDocumentName.toStdString();
    EXPECT_TRUE(QFile::exists(ScratchPath("usertoico1.ico")));
    auto* list = qobject_cast<TListBox*>(w->FindComponent("ListBox1"));
    list->SetItemIndex(1);
    w->ListBox1Click(list);
    ClickComponent(w->FindComponent("MenuItem1"));
    Tnewiconview* image = MakeImportFileHost()->FindDocument(state.ActiveDocumentName);
    ASSERT_NE(image, nullptr);
    ASSERT_NE(image, group);
    EXPECT_EQ(image->FormatCount(), 1);
    EXPECT_EQ(image->FormatTable.Kind(1), "256");
    EXPECT_TRUE(w->isVisible());
}

namespace {

// A 32-bit program with no sections at all, so no resources and no icons.
QByteArray ProgramWithoutIcons()
{
    QByteArray pe(512, '\0');
    pe[0] = 'M';
    pe[1] = 'Z';
    pe[60] = char(0x80);
    pe.replace(0x80, 4, QByteArray("PE\0\0", 4));
    pe[0x84] = char(0x4C); // i386
    pe[0x85] = char(0x01);
    pe[0x94] = char(0xE0); // optional header size
    pe[0x96] = char(0x02); // executable
    pe[0x98] = char(0x0B); // PE32
    pe[0x99] = char(0x01);
    return pe;
}

} // namespace

// A program or library that gives no icon says so, and no empty window stays behind.
TEST_F(ImportLibrary, AFileWithoutIconsSaysSoAndTheWindowGoes)
{
    for (const auto& [name, bytes] : {std::pair{"tool.exe", ProgramWithoutIcons()}, {"junk.icl", QByteArray(300, 'x')}}) {
        Messages.clear();
        QPointer<Tloadimagedorv> w = Open(Write(QLatin1String(name), bytes));
        EXPECT_EQ(Messages, QStringList{"This file holds no icons."}) << name;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(w.isNull()) << name;
    }
}

// Every command of the window does its work or says why not; none is left unbound.
TEST_F(ImportLibrary, EveryButtonAndMenuItemHasAHandler)
{
    Tloadimagedorv* w = Open(MakeLibrary(2));
    for (const char* name : {"ToolButton1", "ToolButton2", "ToolButton3", "ToolButton4", "ToolButton6", "ToolButton7",
                             "ToolButton8", "ToolButton10", "ToolButton11", "ToolButton13", "ToolButton14", "ToolButton15",
                             "suiButton1", "suiButton2", "suiButton3", "suiButton4", "suiButton5", "suiButton6", "suiButton7",
                             "N1", "N5", "dddd", "ICL1", "N11", "MenuItem1", "MenuItem3", "MenuItem4", "MenuItem9"})
        EXPECT_TRUE(HasClickHandler(w->FindComponent(name))) << name;
    // Run them all with nothing chosen: none may fail.
    FileAnswer.clear();
    for (const char* name : {"ToolButton6", "ToolButton7", "ToolButton8", "ToolButton10", "ToolButton11", "N5", "MenuItem3",
                             "MenuItem4", "ICL1", "MenuItem9", "dddd"})
        ClickComponent(w->FindComponent(name));
    EXPECT_EQ(w->GroupCount, 2);
}

