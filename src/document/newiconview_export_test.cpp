#include "document/format_list.h"
#include "document/icon_info.h"
#include "document/iconsee.h"
#include "document/myiconshow.h"
#include "document/newiconview.h"
#include "document/picture_view.h"
#include "document/scratch_folder.h"
#include "document/testing_editor_state.h"
#include "framework/commands.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/image.h"
#include "framework/menus.h"
#include "framework/picture.h"
#include "platform/program_paths.h"
#include "platform/registry_store.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class DocumentExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(dir.path());
        templ = std::make_unique<Tnewiconview>();
    }
    void TearDown() override
    {
        delete myiconshow;
        delete iconsee;
        delete icon_info;
        docs.clear();
        templ.reset();
        SetProgramFolder(QString());
    }
    // A project of one w by h format filled with colour, named iconview + n.
    Tnewiconview* NewProject(int n, int w, int h, QRgb fill = 0xFF2040C0u)
    {
        state.NewImageWidth = w;
        state.NewImageHeight = h;
        state.NewImageKind = "XP";
        auto* doc = new Tnewiconview;
        doc->setObjectName("iconview" + QString::number(n));
        doc->SetCaption("Project " + QString::number(n));
        GdipImageData(doc->CurrentImage())->fill(fill);
        docs.emplace_back(doc);
        return doc;
    }
    static void AddFormat(Tnewiconview* doc, int w, int h, QRgb fill)
    {
        NewFormatChoice() = {w, h, QStringLiteral("XP")};
        ASSERT_TRUE(ClickComponentByName(doc, "BitBtn18"));
        GdipImageData(doc->CurrentImage())->fill(fill);
    }
    QString Path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    TTestingEditorState state;
    std::unique_ptr<Tnewiconview> templ;
    std::vector<std::unique_ptr<Tnewiconview>> docs;
};

TEST_F(DocumentExport, Button1WritesTheCurrentFormatInTheWordsFormatToTheSaveDialogsFile)
{
    Tnewiconview* doc = NewProject(1, 20, 10, 0x80FF0000u);
    for (const char* word : {"bmp", "png", "jpg", "tif", "gif", "emf", "wmf", "tga"}) {
        SCOPED_TRACE(word);
        state.SetSaveDialogFileName(Path(QStringLiteral("export")));
        state.CommandArgument = word;
        ASSERT_TRUE(ClickComponentByName(doc, "Button1"));
        EXPECT_TRUE(QFile::exists(Path(QStringLiteral("export.") + word)));
    }
    const QImage png(Path("export.png"));
    EXPECT_EQ(png.size(), QSize(20, 10));
    EXPECT_EQ(png.pixel(3, 3), 0x80FF0000u);
    // The export changes neither the format nor the document's own file.
    EXPECT_EQ(GdipImageData(doc->CurrentImage())->pixel(3, 3), 0x80FF0000u);
    EXPECT_TRUE(doc->SavedFileName.isEmpty());

    // A word that names no format, and a target that cannot be written, say so.
    QStringList told;
    TDialogAnswererScope answer([&](TDialogRequest& r) {
        told << r.Text;
        r.Result = IDOK;
        return true;
    });
    state.CommandArgument = "xyz";
    ClickComponentByName(doc, "Button1");
    state.CommandArgument = "png";
    state.SetSaveDialogFileName(Path("export.png/inside"));
    ClickComponentByName(doc, "Button1");
    ASSERT_EQ(told.size(), 2);
    EXPECT_TRUE(told[0].contains("\"xyz\" is no picture format")) << told[0].toStdString();
    EXPECT_TRUE(told[1].contains("export.png/inside.png")) << told[1].toStdString();
}

TEST_F(DocumentExport, SnapshotSheetStandsEveryFormatOnOneLine)
{
    Tnewiconview* doc = NewProject(1, 48, 48, 0xFFFF0000u);
    AddFormat(doc, 32, 32, 0xFF00FF00u);
    AddFormat(doc, 16, 16, 0xFF0000FFu);
    ASSERT_EQ(doc->FormatCount(), 3);
    auto* window = new Tmyiconshow(nullptr);
    window->SetBounds(0, 0, 600, 500);
    ASSERT_TRUE(ClickComponentByName(doc, "BitBtn25"));

    const QImage& sheet = window->SnapshotImage;
    ASSERT_EQ(sheet.size(), QSize(440, 350));
    EXPECT_EQ(window->showico->Width(), 440);
    EXPECT_EQ(window->showico->Height(), 350);
    // Left edges 50, 128 and 230; every bottom on y = 255.
    const struct {
        int left, size;
        QRgb colour;
    } images[] = {{50, 48, 0xFFFF0000u}, {128, 32, 0xFF00FF00u}, {230, 16, 0xFF0000FFu}};
    for (const auto& i : images) {
        EXPECT_EQ(sheet.pixel(i.left, 255 - i.size), i.colour) << i.left;
        EXPECT_EQ(sheet.pixel(i.left + i.size - 1, 254), i.colour) << i.left;
        EXPECT_NE(sheet.pixel(i.left - 1, 254), i.colour) << i.left;
        EXPECT_NE(sheet.pixel(i.left, 255 - i.size - 1), i.colour) << i.left;
    }
    // The caption and the labels are written; elsewhere the sheet stays transparent.
    auto inked = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (qAlpha(sheet.pixel(x, y)) != 0)
                    return true;
        return false;
    };
    EXPECT_TRUE(inked(90, 30, 300, 75));
    EXPECT_TRUE(inked(50, 270, 120, 290));
    EXPECT_FALSE(inked(0, 300, 440, 350));

    // "Save image" writes the sheet as chosen in the window's dialog.
    TDialogAnswererScope answer([&](TDialogRequest& r) {
        if (r.Kind != TDialogRequest::dkSave)
            return false;
        auto* dialog = qobject_cast<TSaveDialog*>(r.Dialog);
        dialog->SetFileName(Path("sheet"));
        dialog->SetFilterIndex(6);
        r.Result = 1;
        return true;
    });
    TMenuItem* save = qobject_cast<TMenuItem*>(window->FindComponent("Saveimage1"));
    ASSERT_NE(save, nullptr);
    save->Click();
    const QImage written(Path("sheet.png"));
    ASSERT_EQ(written.size(), QSize(440, 350));
    EXPECT_EQ(written.pixel(50, 207), 0xFFFF0000u);
    EXPECT_EQ(qAlpha(written.pixel(5, 340)), 0);
}

TEST_F(DocumentExport, OneToOneViewShowsTheFormatAtItsSizeCentred)
{
    Tnewiconview* doc = NewProject(1, 24, 16, 0xFF112233u);
    int shown = 0;
    TDialogAnswererScope answer([&](TDialogRequest& r) {
        if (r.Kind != TDialogRequest::dkForm)
            return false;
        ++shown;
        r.Result = mrCancel;
        return true;
    });
    ASSERT_TRUE(ClickComponentByName(doc, "BitBtn29"));
    ASSERT_NE(iconsee, nullptr);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(iconsee->Caption(), "Original size");
    TImage* image = iconsee->showico;
    EXPECT_EQ(image->Width(), 24);
    EXPECT_EQ(image->Height(), 16);
    EXPECT_EQ(image->Left(), (iconsee->ScrollBox1->ClientWidth() - 24) / 2);
    EXPECT_EQ(image->Top(), (iconsee->ScrollBox1->ClientHeight() - 16) / 2);
    const QImage picture = PictureOfImage(image);
    EXPECT_EQ(picture.pixel(10, 10) & 0xFFFFFFu, 0x112233u);

    // The view is kept and shows the next format asked for.
    Ticonsee* first = iconsee;
    Tnewiconview* other = NewProject(2, 40, 40);
    ASSERT_TRUE(ClickComponentByName(other, "BitBtn29"));
    EXPECT_EQ(iconsee, first);
    EXPECT_EQ(iconsee->showico->Width(), 40);
}

TEST_F(DocumentExport, PropertiesShowTheFileAndEveryFormat)
{
    TDialogAnswererScope answer([](TDialogRequest& r) {
        r.Result = mrOk;
        return r.Kind == TDialogRequest::dkForm;
    });
    Tnewiconview* doc = NewProject(1, 32, 32);
    AddFormat(doc, 16, 16, 0xFF000000u);
    ASSERT_TRUE(ClickComponentByName(doc, "Properties1"));
    ASSERT_NE(icon_info, nullptr);
    EXPECT_EQ(icon_info->Caption(), "Icon Properties");
    for (const char* label : {"filename", "tel", "filesize"})
        EXPECT_EQ(icon_info->LabelText(label), "-") << label;
    EXPECT_EQ(icon_info->FormatLines(), "1) 32 * 32 - XP\r\n2) 16 * 16 - XP\r\n");

    // A saved project shows its file; a file that went away shows no stale size.
    state.CommandArgument = Path("saved.ico");
    ASSERT_TRUE(ClickComponentByName(doc, "BitBtn21"));
    ASSERT_TRUE(ClickComponentByName(doc, "Properties2"));
    EXPECT_EQ(icon_info->LabelText("filename"), Path("saved.ico"));
    EXPECT_EQ(icon_info->LabelText("tel"), "saved.ico");
    EXPECT_EQ(icon_info->LabelText("filesize"), QString::number(QFile(Path("saved.ico")).size()));
    QFile::remove(Path("saved.ico"));
    ASSERT_TRUE(ClickComponentByName(doc, "Properties1"));
    EXPECT_EQ(icon_info->LabelText("filesize"), "-");

    Tnewiconview* second = NewProject(2, 48, 48);
    ASSERT_TRUE(ClickComponentByName(second, "Properties1"));
    EXPECT_EQ(icon_info->FormatLines(), "1) 48 * 48 - XP\r\n");
    EXPECT_EQ(icon_info->LabelText("filename"), "-");
}

TEST_F(DocumentExport, PhotoshopHandOffSaysWhenThereIsNoPhotoshopAndNumbersItsFiles)
{
    QStringList told;
    TDialogAnswererScope answer([&](TDialogRequest& r) {
        told << r.Text;
        r.Result = IDOK;
        return true;
    });
    Tnewiconview* doc = NewProject(1, 16, 16);
    ASSERT_TRUE(ClickComponentByName(doc, "Ps1"));
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("Photoshop is not installed"));
    EXPECT_EQ(doc->PhotoshopSendCount, 1);

    // With Photoshop recorded (here a program that does not exist) the image is handed over.
    const QString key = "SOFTWARE\\Adobe\\Photoshop\\9.0";
    ASSERT_TRUE(RegistryStore::CreateKey(HKEY_LOCAL_MACHINE, key));
    ASSERT_TRUE(RegistryStore::SetValue(HKEY_LOCAL_MACHINE, key, "ApplicationPath",
                                        RegistryValue::String(Path("nowhere/"))));
    ASSERT_TRUE(ClickComponentByName(doc, "SendthisimagetoPhotoshop1"));
    EXPECT_EQ(doc->PhotoshopSendCount, 2);
    EXPECT_TRUE(QFile::exists(ScratchPath("iconview1_ps2.png")));
    EXPECT_TRUE(told.last().contains("could not be started"));
    Tnewiconview* other = NewProject(2, 16, 16);
    ASSERT_TRUE(ClickComponentByName(other, "Ps1"));
    EXPECT_TRUE(QFile::exists(ScratchPath("iconview2_ps1.png")));
    RegistryStore::DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adobe");
}

TEST_F(DocumentExport, EveryControlOfTheseCommandsRunsItsWork)
{
    Tnewiconview* doc = NewProject(1, 16, 16);
    QStringList told;
    TDialogAnswererScope answer([&](TDialogRequest& r) {
        told << r.Text;
        r.Result = r.Kind == TDialogRequest::dkForm ? mrOk : IDOK;
        return true;
    });
    // Items that hand over to the main window.
    const struct {
        const char* item;
        const char* command;
    } roads[] = {{"BitmapImage1", "ToolButton3Click"},        {"BitmapImage2", "ToolButton3Click"},
                 {"PngwithTransparency1", "Png1Click"},        {"PngwithTransparency2", "Png1Click"},
                 {"CreateSnapshot1", "N34Click"}};
    for (const auto& road : roads) {
        state.Log.clear();
        ASSERT_TRUE(ClickComponentByName(doc, road.item)) << road.item;
        EXPECT_EQ(state.Log, QStringList(road.command)) << road.item;
    }
    // Without a print page the print command says so.
    ASSERT_TRUE(ClickComponentByName(doc, "Print"));
    EXPECT_TRUE(told.last().contains("print page"));
    // The rest are walked by the tests above; each has its handler.
    for (const char* name : {"Button1", "BitBtn25", "BitBtn29", "Ps1", "SendthisimagetoPhotoshop1", "Properties1",
                             "Properties2"})
        EXPECT_TRUE(HasClickHandler(doc->FindComponent(name))) << name;
    Tmyiconshow window;
    EXPECT_TRUE(HasClickHandler(window.FindComponent("Saveimage1")));
}

} // namespace
