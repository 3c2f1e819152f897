#include "document/animation_builders.h"
#include "document/format_list.h"
#include "document/my_list_box.h"
#include "document/newiconview.h"
#include "document/scratch_folder.h"
#include "document/testing_editor_state.h"
#include "document/testing_format_list.h"
#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/menus.h"
#include "imaging/icons/file_icon.h"
#include "platform/program_paths.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class FormatWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(dir.path());
        templ = std::make_unique<Tnewiconview>();
    }
    void TearDown() override
    {
        docs.clear();
        templ.reset();
        SetProgramFolder(QString());
    }
    Tnewiconview* NewProject(int n, int w, int h, const QString& kind, QRgb fill = 0xFF2040C0u)
    {
        state.NewImageWidth = w;
        state.NewImageHeight = h;
        state.NewImageKind = kind;
        auto* doc = new Tnewiconview;
        doc->setObjectName("iconview" + QString::number(n));
        doc->SetCaption("Project " + QString::number(n));
        GdipImageData(doc->CurrentImage())->fill(fill);
        docs.emplace_back(doc);
        state.ActiveDocumentName = doc->objectName();
        return doc;
    }
    static void AddFormat(Tnewiconview* doc, int w, int h, const QString& kind)
    {
        NewFormatChoice() = {w, h, kind};
        ASSERT_TRUE(ClickComponentByName(doc, "BitBtn18"));
    }
    static QStringList Order(Tnewiconview* doc)
    {
        QStringList out;
        for (int f = 1; f <= doc->FormatCount(); ++f)
            out << FormatCaption(*doc, f);
        return out;
    }
    static TMenuItem* Item(Tnewiconview* doc, const char* name)
    {
        return qobject_cast<TMenuItem*>(doc->FindComponent(name));
    }

    QTemporaryDir dir;
    TTestingEditorState state;
    std::unique_ptr<Tnewiconview> templ;
    std::vector<std::unique_ptr<Tnewiconview>> docs;
};

} // namespace

TEST_F(FormatWindow, AddingFromTheDialogSortsAndKeepsTheNewFormatCurrent)
{
    Tnewiconview* doc = NewProject(1, 16, 16, "XP");
    TMyListBox* list = doc->FormatList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Count(), 1);

    AddFormat(doc, 32, 32, "256");
    // Wider than the XP format but of a later kind: appended behind it.
    EXPECT_EQ(Order(doc), QStringList({"16 * 16 - XP", "32 * 32 - 256"}));
    EXPECT_EQ(doc->CurrentFormat(), 2);
    AddFormat(doc, 48, 48, "XP");
    // Sorted in front: the new format is current at its new place.
    EXPECT_EQ(Order(doc), QStringList({"48 * 48 - XP", "16 * 16 - XP", "32 * 32 - 256"}));
    EXPECT_EQ(doc->CurrentFormat(), 1);
    EXPECT_EQ(doc->CurrentWidth, 48);
    EXPECT_EQ(list->Count(), 3);
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_EQ(GdipImageData(doc->CurrentImage())->size(), QSize(48, 48));
    EXPECT_EQ(GdipImageData(doc->FormatImages[3])->pixel(3, 3) >> 24, 255u);

    // Refusals say why and change nothing.
    QStringList asked;
    TDialogAnswererScope scope([&](TDialogRequest& r) {
        asked << r.Text;
        r.Result = mrOk;
        return true;
    });
    AddFormat(doc, 0, 16, "XP");
    AddFormat(doc, 16, 16, "XP");
    AddFormat(doc, 300, 16, "XP");
    EXPECT_EQ(asked, QStringList({"Please set image size", "The icon format has existed",
                                  "The image size must be from 1 to 255 pixels"}));
    EXPECT_EQ(doc->FormatCount(), 3);
    EXPECT_EQ(list->Count(), 3);
}

TEST_F(FormatWindow, HoverOffersTheMissingStandardFormatAndItsItemAddsIt)
{
    Tnewiconview* doc = NewProject(1, 48, 48, "XP");
    AddFormat(doc, 32, 32, "XP");
    doc->MyListBox1MouseMove(doc, TShiftState(), 5, 5);
    EXPECT_EQ(Item(doc, "Create3232WinXPImageFormat1")->Caption(), "Create 16 * 16 XP Image Format");
    EXPECT_EQ(state.Captions.value("addnow1"), "Create 16 * 16 XP Image Format");
    EXPECT_TRUE(RunCommandByName("iconview1", "Create3232WinXPImageFormat1"));
    EXPECT_EQ(Order(doc), QStringList({"48 * 48 - XP", "32 * 32 - XP", "16 * 16 - XP"}));
    EXPECT_EQ(doc->FormatTable.StandardFlag(3), "TRUE");
    EXPECT_EQ(Item(doc, "Create3232WinXPImageFormat1")->Caption(), "Create 48 * 48 16.8M Image Format");
}

TEST_F(FormatWindow, ListClickSwitchesTheColourPanelByKind)
{
    Tnewiconview* doc = NewProject(1, 32, 32, "XP");
    for (const char* kind : {"16.8M", "256", "16", "Mono"})
        AddFormat(doc, 32, 32, kind);
    struct Case {
        int entry;
        const char* kind;
        bool xp, colorxp;
        const char* well; // the palette well shown, if any
        const char* handler;
    } cases[] = {{0, "XP", true, true, nullptr, "colorbaraChange"},
                 {1, "16.8M", false, true, nullptr, "colorbarrChange"},
                 {2, "256", false, false, "color256", "colorbarrChange"},
                 {3, "16", false, false, "color16", nullptr},
                 {4, "Mono", false, false, "color1", nullptr}};
    TMyListBox* list = doc->FormatList();
    for (const Case& c : cases) {
        state.Log.clear();
        state.Edits["colora"] = "77";
        list->SetItemIndex(c.entry);
        ASSERT_TRUE(ClickComponentByName(doc, "BitBtn46"));
        EXPECT_EQ(doc->CurrentFormat(), c.entry + 1);
        EXPECT_EQ(doc->CurrentKind, c.kind);
        EXPECT_EQ(state.NewImageKind, c.kind);
        EXPECT_EQ(state.Labels.value("title"), QString("32 * 32 - ") + c.kind);
        EXPECT_EQ(state.Visible.value("layer_a"), c.xp) << c.kind;
        EXPECT_EQ(state.Visible.value("opacity"), c.xp) << c.kind;
        EXPECT_EQ(state.Visible.value("colorxp"), c.colorxp) << c.kind;
        for (const char* well : {"color256", "color16", "color1"})
            EXPECT_EQ(state.Visible.value(well), c.well && QString(well) == c.well) << c.kind << well;
        EXPECT_EQ(state.Edits.value("colora"), c.xp ? "77" : "255") << c.kind;
        EXPECT_EQ(state.Log.contains("colorbaraChange"), c.handler && QString(c.handler) == "colorbaraChange");
        EXPECT_EQ(state.Log.contains("colorbarrChange"), c.handler && QString(c.handler) == "colorbarrChange");
        EXPECT_TRUE(state.Enabled.value("ToolButton11"));
        EXPECT_TRUE(state.Log.contains("ActivateDocument 1"));
        EXPECT_EQ(state.Hints.value("ToolButton11"), "Delete image format");
    }
}

TEST_F(FormatWindow, RemovingTheLastFormatSelectsTheOneBeforeIt)
{
    Tnewiconview* doc = NewProject(1, 48, 48, "XP");
    AddFormat(doc, 32, 32, "XP");
    AddFormat(doc, 16, 16, "Mono");
    ASSERT_EQ(doc->CurrentFormat(), 3);
    ASSERT_TRUE(RunCommandByName("iconview1", "deleteformat"));
    EXPECT_EQ(Order(doc), QStringList({"48 * 48 - XP", "32 * 32 - XP"}));
    EXPECT_EQ(doc->CurrentFormat(), 2);
    EXPECT_EQ(doc->FormatList()->Count(), 2);
    EXPECT_EQ(doc->FormatList()->ItemIndex(), 1);
    EXPECT_EQ(doc->CurrentKind, "XP");
    EXPECT_EQ(doc->FormatTable.StandardFlag(15), "FALSE");
    ASSERT_TRUE(RunCommandByName("iconview1", "deleteformat"));
    ASSERT_TRUE(RunCommandByName("iconview1", "deleteformat"));
    EXPECT_EQ(doc->FormatCount(), 1);
    EXPECT_EQ(doc->FormatList()->Count(), 1);
}

TEST_F(FormatWindow, EntriesShowThePictureCaptionAndSize)
{
    Tnewiconview* doc = NewProject(1, 64, 64, "XP", 0xFFFF0000u);
    AddFormat(doc, 16, 16, "XP");
    GdipImageData(doc->FormatImages[2])->fill(0xFF00FF00u);
    doc->resize(700, 600);
    doc->show();
    QApplication::processEvents();
    TMyListBox* list = doc->FormatList();
    QListWidget* view = list->ListWidget();
    const QImage shot = view->viewport()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRect first = view->visualItemRect(view->item(0));
    const QRect second = view->visualItemRect(view->item(1));
    ASSERT_EQ(first.height(), 72);
    const int lw = first.width();
    // The 64 x 64 picture shrinks into 48 x 48 below the top; the 16 x 16 one stands 1:1 centred.
    const int x0 = (lw - 48) / 2 + first.left() - 1, y0 = first.top() + 6;
    EXPECT_EQ(shot.pixel(x0 + 2, y0 + 2), 0xFFFF0000u);
    EXPECT_EQ(shot.pixel(x0 + 45, y0 + 45), 0xFFFF0000u);
    EXPECT_NE(shot.pixel(x0 + 24, y0 + 50), 0xFFFF0000u);
    const int x1 = (lw - 16) / 2 + second.left() - 1, y1 = (72 - 16) / 2 + second.top() - 8;
    EXPECT_EQ(shot.pixel(x1, y1), 0xFF00FF00u);
    EXPECT_EQ(shot.pixel(x1 + 15, y1 + 15), 0xFF00FF00u);
    EXPECT_NE(shot.pixel(x1 + 16, y1 + 8), 0xFF00FF00u);
    EXPECT_NE(shot.pixel(x1 - 1, y1 + 8), 0xFF00FF00u);
    // The caption line holds dark text pixels.
    bool text = false;
    for (int x = 12; x < 80 && !text; ++x)
        for (int y = first.top() + 53; y < first.top() + 68 && !text; ++y)
            text = qGray(shot.pixel(x, y)) < 100;
    EXPECT_TRUE(text);
}

TEST_F(FormatWindow, ANewProjectShowsItsFirstEntryAtOnce)
{
    // A new project's format is transparent: its entry shows only the caption line, and the
    // refresh run just after creation selects that entry before anything has been clicked.
    state.NewImageWidth = 48;
    state.NewImageHeight = 48;
    state.NewImageKind = "XP";
    auto* doc = new Tnewiconview;
    docs.emplace_back(doc);
    doc->setObjectName("iconview1");
    doc->resize(700, 600);
    doc->show();
    ASSERT_TRUE(ClickComponentByName(doc, "BitBtn37"));
    QApplication::processEvents();
    TMyListBox* list = doc->FormatList();
    ASSERT_EQ(list->Count(), 1);
    ASSERT_EQ(list->ItemIndex(), 0);
    QListWidget* view = list->ListWidget();
    ASSERT_TRUE(view->item(0)->isSelected());
    const QImage shot = view->viewport()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRect entry = view->visualItemRect(view->item(0));
    int dark = 0;
    for (int x = 12; x < 100; ++x)
        for (int y = entry.top() + 53; y < entry.top() + 70; ++y)
            dark += qGray(shot.pixel(x, y)) < 100;
    EXPECT_GT(dark, 20) << "the caption \"48 * 48 - XP\" is not readable";
}

TEST_F(FormatWindow, ListColumnCommands)
{
    Tnewiconview* doc = NewProject(1, 32, 32, "XP");
    auto* column = qobject_cast<TControl*>(doc->FindComponent("Panel1"));
    ASSERT_TRUE(RunCommandByName("iconview1", "ShowImageFormatList2"));
    EXPECT_FALSE(column->Visible());
    EXPECT_FALSE(Item(doc, "ShowImageFormatList1")->Checked());
    EXPECT_FALSE(state.Checked.value("ShowImageFormatList2", true));

    ASSERT_TRUE(RunCommandByName("iconview1", "ShowListonRight1"));
    EXPECT_TRUE(column->Visible());
    EXPECT_EQ(column->Align(), alRight);
    EXPECT_TRUE(Item(doc, "ShowListonRight2")->Checked());
    EXPECT_FALSE(Item(doc, "ShowListonLeft1")->Checked());
    EXPECT_TRUE(state.Checked.value("ShowListonRight2"));
    ASSERT_TRUE(RunCommandByName("iconview1", "ShowListonLeft2"));
    EXPECT_EQ(column->Align(), alLeft);
    EXPECT_TRUE(Item(doc, "ShowListonLeft1")->Checked());
    EXPECT_FALSE(state.Checked.value("ShowListonRight2", true));

    // The same side again changes nothing; with one of its two items unticked, both tick again.
    for (const char* name : {"ShowListonLeft1", "ShowListonLeft2"}) {
        ASSERT_TRUE(RunCommandByName("iconview1", name));
        EXPECT_EQ(column->Align(), alLeft);
        EXPECT_TRUE(Item(doc, "ShowListonLeft1")->Checked());
        EXPECT_TRUE(Item(doc, "ShowListonLeft2")->Checked());
        EXPECT_FALSE(Item(doc, "ShowListonRight1")->Checked());
    }
    Item(doc, "ShowListonLeft2")->SetChecked(false);
    ASSERT_TRUE(RunCommandByName("iconview1", "ShowListonLeft1"));
    EXPECT_TRUE(Item(doc, "ShowListonLeft2")->Checked());
    EXPECT_EQ(column->Align(), alLeft);
}

TEST_F(FormatWindow, SaveCommandsAndNewProjectsByName)
{
    Tnewiconview* doc = NewProject(1, 32, 32, "XP", 0x80FF8000u);
    AddFormat(doc, 16, 16, "16");
    const QString ico = dir.filePath("saved.ico");
    state.CommandArgument = ico;
    ASSERT_TRUE(RunCommandByName("iconview1", "BitBtn21"));
    TFileIcon icon(ico);
    EXPECT_EQ(icon.Count(), 2);
    EXPECT_EQ(doc->SavedFileName, ico);
    const QString cur = dir.filePath("saved.cur");
    state.CommandArgument = cur;
    ASSERT_TRUE(RunCommandByName("iconview1", "BitBtn22"));
    EXPECT_TRUE(QFile::exists(cur));
    EXPECT_EQ(doc->SavedFileName, ico);

    // A new icon project takes the first free number and the current picture.
    NewProject(3, 8, 8, "XP");
    doc->FormatList()->SetItemIndex(0);
    ClickComponentByName(doc, "BitBtn46");
    state.DocumentCounter = 3;
    state.Log.clear();
    ASSERT_TRUE(RunCommandByName("iconview1", "NewIconProjectFromThisImage2"));
    std::unique_ptr<Tnewiconview> made;
    for (QWidget* w : QApplication::allWidgets())
        if (w->objectName() == "iconview2")
            made.reset(qobject_cast<Tnewiconview*>(w));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Caption(), "Project 2");
    EXPECT_EQ(state.ActiveDocumentName, "iconview2");
    EXPECT_EQ(state.DocumentCounter, 3);
    EXPECT_TRUE(state.Log.contains("HighlightDocumentTab 5"));
    EXPECT_EQ(FormatCaption(*made, 1), "32 * 32 - XP");
    EXPECT_EQ(GdipImageData(made->CurrentImage())->pixel(10, 10), 0x80FF8000u);
    EXPECT_EQ(made->FormatTable.StandardFlag(2), "TRUE");

    // GIF and animated-cursor projects go to the builders.
    struct Builders : TAnimationBuilders {
        Builders() { SetAnimationBuilders(this); }
        ~Builders() override { SetAnimationBuilders(nullptr); }
        void InsertGifPicture(const QString& f) override { log << f; }
        int AniFrameCount() override { return 2; }
        void AddAniFrame(const QString& m, const QString& mode) override { log << m + " " + mode; }
        QStringList log;
    } builders;
    ASSERT_TRUE(RunCommandByName("iconview1", "NewGifProjectFromThisImage3"));
    ASSERT_TRUE(RunCommandByName("iconview1", "NewAniProjectFromThisImage1"));
    EXPECT_EQ(builders.log, QStringList({ScratchPath("gif.bmp"), "dorvelt new"}));
    EXPECT_TRUE(QFile::exists(ScratchPath("ani_ico2.ico")));
}

TEST_F(FormatWindow, PixelsAFormatSwitchDropsAreUndoneInTheirOwnFormat)
{
    Tnewiconview* doc = NewProject(1, 16, 16, "XP");
    AddFormat(doc, 32, 32, "XP");
    ClickFormatOfWidth(doc, 16);
    const QImage before = GdipImageData(doc->CurrentImage())->copy();
    QImage pasted(3, 3, QImage::Format_ARGB32);
    pasted.fill(0xFFFF0000u);
    GdipDisposeImage(state.SelectionBuffer);
    state.SelectionBuffer = GdipImageFromQImage(pasted);
    state.PasteState = 1;
    ASSERT_TRUE(ClickComponentByName(doc, "BitBtn15"));
    // The other format's click drops the pasted pixels here first.
    ClickFormatOfWidth(doc, 32);
    EXPECT_FALSE(state.Enabled.value("ToolButton5"));
    ClickFormatOfWidth(doc, 16);
    ASSERT_EQ(GdipImageData(doc->CurrentImage())->pixel(1, 1), 0xFFFF0000u);
    EXPECT_TRUE(state.Enabled.value("ToolButton5"));
    ASSERT_TRUE(ClickComponentByName(doc, "BitBtn23"));
    EXPECT_EQ(*GdipImageData(doc->CurrentImage()), before);
    EXPECT_TRUE(state.Enabled.value("ToolButton6"));
    ASSERT_TRUE(ClickComponentByName(doc, "BitBtn24"));
    EXPECT_EQ(GdipImageData(doc->CurrentImage())->pixel(1, 1), 0xFFFF0000u);
}
