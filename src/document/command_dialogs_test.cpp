#include "document/command_dialog_fields.h"
#include "document/copyimageokok.h"
#include "document/deleteicon.h"
#include "document/fontopen.h"
#include "document/format_list.h"
#include "document/gif_options.h"
#include "document/iconset.h"
#include "document/my_list_box.h"
#include "document/newiconview.h"
#include "document/replace_colors.h"
#include "document/setsize.h"
#include "document/testing_editor_state.h"
#include "document/usericonset.h"
#include "framework/button.h"
#include "framework/commands.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/graphics.h"
#include "imaging/bitmap/bitmap32.h"
#include "imaging/bitmap/image32.h"
#include "platform/program_paths.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr QRgb kBlue = 0xFF0000FFu;
constexpr QRgb kRed = 0xFFFF0000u;
constexpr QRgb kGreen = 0xFF00FF00u;

class CommandDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(dir.path());
        templ = std::make_unique<Tnewiconview>();
    }
    void TearDown() override
    {
        delete iconset;
        delete copyimageokok;
        delete usericonset;
        delete replace_colors;
        delete deleteicon;
        delete GifOptions;
        delete setsize;
        docs.clear();
        templ.reset();
        delete fontopen;
        SetProgramFolder(QString());
    }
    Tnewiconview* NewProject(int n, int w, int h, QRgb fill = kBlue)
    {
        state.NewImageWidth = w;
        state.NewImageHeight = h;
        state.NewImageKind = "XP";
        auto* doc = new Tnewiconview;
        doc->setObjectName("iconview" + QString::number(n));
        Pixels(doc).fill(fill);
        docs.emplace_back(doc);
        state.ActiveDocumentName = doc->objectName();
        return doc;
    }
    static QImage& Pixels(Tnewiconview* doc) { return *GdipImageData(doc->CurrentImage()); }
    static QObject* Find(TForm& form, const char* name)
    {
        QObject* c = form.FindComponent(name);
        EXPECT_TRUE(c) << name;
        return c;
    }
    static void Set(TForm& form, const char* name, const char* property, const QVariant& value)
    {
        if (QObject* c = Find(form, name))
            c->setProperty(property, value);
    }
    static QVariant Get(TForm& form, const char* name, const char* property)
    {
        QObject* c = Find(form, name);
        return c ? c->property(property) : QVariant();
    }

    QTemporaryDir dir;
    TTestingEditorState state;
    std::unique_ptr<Tnewiconview> templ;
    std::vector<std::unique_ptr<Tnewiconview>> docs;
};

} // namespace

TEST_F(CommandDialogs, EveryButtonAndChoiceHasItsHandlerAndTheClosingButtonsClose)
{
    NewProject(1, 16, 16);
    struct {
        TForm* Dialog;
        std::vector<const char*> Handled;
        const char* Closing;
    } const dialogs[] = {
        {&IconSet(), {"suiButton1", "suiButton2", "suiRadioButton1", "suiRadioButton4", "suiRadioButton5",
                      "suiRadioButton6", "suiRadioButton7", "suiCheckBox1", "suiCheckBox2"}, "suiButton2"},
        {&FontOpen(), {"suiButton1"}, "suiButton1"},
        {&CopyImageOkOk(), {"suiButton1", "suiButton2", "suiRadioButton1", "suiRadioButton2"}, "suiButton2"},
        {&UserIconSet(), {"suiButton1", "suiButton2", "suiButton3", "suiButton4", "suiButton5", "suiButton6",
                          "suiRadioButton1", "suiRadioButton2", "ok90", "ok180", "ok270"}, "suiButton5"},
        {&ReplaceColors(), {"suiButton1", "suiButton2", "suiButton3", "Image321", "Image322"}, "suiButton3"},
        {&DeleteIcon(), {"suiButton1", "suiButton2"}, "suiButton2"},
        {&JpegOptions(), {"suiButton3", "suiButton4"}, "suiButton4"},
        {&SetSizeDialog(), {"suiButton1", "suiButton2"}, "suiButton2"},
    };
    for (const auto& d : dialogs) {
        const QString name = d.Dialog->objectName();
        for (const char* control : d.Handled)
            EXPECT_TRUE(HasClickHandler(d.Dialog->FindComponent(control))) << name.toStdString() << " " << control;
        d.Dialog->Show();
        ASSERT_TRUE(d.Dialog->isVisible()) << name.toStdString();
        EXPECT_TRUE(ClickComponentByName(d.Dialog, d.Closing));
        EXPECT_FALSE(d.Dialog->isVisible()) << name.toStdString();
    }
    EXPECT_EQ(IconSet().Caption(), "Text Options");
    EXPECT_EQ(FontOpen().Caption(), "Pencil size setting");
    EXPECT_EQ(JpegOptions().Caption(), "JPEG Options");
    EXPECT_EQ(ReplaceColors().Caption(), "Replace colors");
    EXPECT_EQ(SetSizeDialog().Caption(), "Resize");
}

TEST_F(CommandDialogs, PencilSizeSetsThePenAtOnceAndShowsItsSquareAtTheDocumentsZoom)
{
    Tnewiconview* doc = NewProject(1, 48, 48);
    Tfontopen& d = FontOpen();
    Set(d, "suiTrackBar1", "Position", 5);
    EXPECT_EQ(state.PenWidth, 5);
    EXPECT_EQ(Get(d, "Label2", "Caption").toString(), "5");

    auto* preview = qobject_cast<TImage32*>(Find(d, "up"));
    auto pixel = [&](int x, int y) { return *preview->Bitmap()->PixelAddress(x, y); };
    // Showing draws the square of the bar's width: 5 cells of zoom 10.
    d.Show();
    EXPECT_EQ(pixel(10, 10), 0xFF000000u);
    EXPECT_NE(pixel(9, 9), 0xFF000000u);
    d.Close();
    // The primary colour (opaque black here), 5 cells of zoom 12: 60 x 60 at (5, 5).
    doc->Zoom = 12;
    d.suiTrackBar1Change(nullptr);
    EXPECT_EQ(pixel(5, 5), 0xFF000000u);
    EXPECT_EQ(pixel(64, 64), 0xFF000000u);
    EXPECT_EQ(pixel(4, 4), pixel(4, 4 + 16)); // the checkerboard repeats outside the square
    EXPECT_NE(pixel(4, 4), 0xFF000000u);
    EXPECT_NE(pixel(65, 65), 0xFF000000u);
    // Zoom 20 fills the preview; a colour panel at all "0" shows the square in its own red.
    doc->Zoom = 20;
    for (const char* c : {"colora", "colorr", "colorg", "colorb"})
        state.Edits[c] = "0";
    d.suiTrackBar1Change(nullptr);
    for (QPoint p : {QPoint(1, 1), QPoint(68, 68), QPoint(35, 20)}) {
        const uint32_t v = pixel(p.x(), p.y());
        EXPECT_GT(qRed(v), qGreen(v) + 100) << p.x();
    }
    // A colour text that is no number is reported before the preview changes.
    for (const char* c : {"colora", "colorr", "colorg", "colorb"})
        state.Edits[c] = "";
    state.Edits["upr"] = "red";
    EXPECT_THROW(d.suiTrackBar1Change(nullptr), Exception);
}

TEST_F(CommandDialogs, TheSelectionRectangleLivesInThePencilDialogWithoutShowingIt)
{
    delete fontopen;
    SelectionRect() = Rect(10, 20, 30, 40);
    ASSERT_TRUE(fontopen);
    EXPECT_EQ(fontopen->SelectionRect, Rect(10, 20, 30, 40));
    EXPECT_FALSE(fontopen->isVisible());
    // Moving the pen's track bar leaves the rectangle alone.
    fontopen->suiTrackBar1Change(nullptr);
    EXPECT_EQ(SelectionRect(), Rect(10, 20, 30, 40));
}

TEST_F(CommandDialogs, PasteOkPastesInTheChosenModeAndTurnsOffCutCopyAndDelete)
{
    Tnewiconview* doc = NewProject(1, 16, 16);
    QImage picture(4, 2, QImage::Format_ARGB32);
    picture.fill(kRed);
    const struct {
        const char* Radio;
        int Mode;
        QSize Pasted;
    } cases[] = {{"suiRadioButton2", 2, {16, 16}}, {"suiRadioButton1", 1, {4, 2}}};
    for (const auto& c : cases) {
        GdipDisposeImage(state.SelectionBuffer);
        state.SelectionBuffer = GdipImageFromQImage(picture);
        state.PasteState = 1;
        state.Enabled.clear();
        Tcopyimageokok& d = CopyImageOkOk();
        d.Show();
        Set(d, c.Radio, "Checked", true);
        EXPECT_EQ(d.PasteMode, c.Mode);
        d.suiButton1Click(nullptr);
        EXPECT_FALSE(d.isVisible());
        for (const char* button : {"ToolButton8", "ToolButton9", "ToolButton11"})
            EXPECT_FALSE(state.Enabled.value(button, true)) << button;
        EXPECT_EQ(state.Hints.value("ToolButton11"), "Delete image format");
        ASSERT_TRUE(doc->FloatingSelection) << c.Mode;
        const TSize size = ImageSize(doc->PastedImage);
        EXPECT_EQ(QSize(size.cx, size.cy), c.Pasted) << c.Mode;
        doc->BitBtn1Click(doc);
    }
}

TEST_F(CommandDialogs, QuarterTurnsApplyAtOnceAndOkRotatesOnlyByAnAngleBelow999)
{
    Tnewiconview* doc = NewProject(1, 16, 16);
    Pixels(doc).setPixel(0, 0, kRed);
    Tusericonset& d = UserIconSet();
    d.Show();
    const struct {
        const char* Orientation;
        const char* Angle;
        QStringList Commands;
    } turns[] = {
        {"suiRadioButton2", "ok270", {"tool_28Click", "tool_28Click", "tool_28Click"}},
        {"suiRadioButton1", "ok90", {"tool_27Click"}},
        {"suiRadioButton1", "ok180", {"tool_27Click", "tool_27Click"}},
    };
    for (const auto& t : turns) {
        Set(d, t.Orientation, "Checked", true);
        state.Log.clear();
        Set(d, t.Angle, "Checked", true);
        EXPECT_EQ(state.Log, t.Commands) << t.Angle;
        for (const char* angle : {"ok90", "ok180", "ok270", "suiRadioButton6"})
            EXPECT_FALSE(Get(d, angle, "Checked").toBool()) << angle;
    }
    // OK then applies nothing more.
    state.Log.clear();
    state.NudgeCount = 3;
    d.suiButton6Click(nullptr);
    EXPECT_TRUE(state.Log.isEmpty());
    EXPECT_EQ(state.NudgeCount, 0);

    const QImage start = Pixels(doc);
    Set(d, "suiRadioButton6", "Checked", true);
    for (const char* angle : {"999", "0", "-5"}) {
        d.Show();
        Set(d, "Edit1", "Text", angle);
        d.suiButton6Click(nullptr);
        EXPECT_FALSE(d.isVisible()) << angle;
        EXPECT_EQ(Pixels(doc), start) << angle;
    }
    // A text that is no number is reported and keeps the dialog open.
    d.Show();
    Set(d, "Edit1", "Text", "4x5");
    EXPECT_THROW(d.suiButton6Click(nullptr), Exception);
    EXPECT_TRUE(d.isVisible());
    Set(d, "Edit1", "Text", "998");
    d.suiButton6Click(nullptr);
    EXPECT_NE(Pixels(doc), start);
}

TEST_F(CommandDialogs, CancelPutsBackThePictureFromBeforeTheShiftsOfThisShowing)
{
    Tnewiconview* doc = NewProject(1, 8, 8, 0);
    Pixels(doc).setPixel(3, 3, kRed);
    const QImage start = Pixels(doc);
    Tusericonset& d = UserIconSet();
    d.Show();
    d.UpClick(nullptr);
    d.RightClick(nullptr);
    EXPECT_EQ(Pixels(doc).pixel(4, 2), kRed);
    d.suiButton5Click(nullptr);
    EXPECT_EQ(Pixels(doc), start);
    EXPECT_EQ(state.NudgeCount, 0);

    // OK keeps the shifts; a later Cancel has nothing of them to put back.
    d.Show();
    d.DownClick(nullptr);
    d.LeftClick(nullptr);
    const QImage shifted = Pixels(doc);
    Set(d, "suiRadioButton6", "Checked", true);
    Set(d, "Edit1", "Text", "999");
    d.suiButton6Click(nullptr);
    d.Show();
    d.suiButton5Click(nullptr);
    EXPECT_EQ(Pixels(doc), shifted);
    EXPECT_EQ(shifted.pixel(2, 4), kRed);
}

TEST_F(CommandDialogs, ReplaceColoursTakesTheDrawingColoursWhenShownAndKeepsAChosenOne)
{
    Tnewiconview* doc = NewProject(1, 8, 8);
    Pixels(doc).setPixel(0, 0, kRed);
    state.Edits["upr"] = "255"; // primary opaque red, secondary opaque green
    state.Edits["downr"] = "0";
    state.Edits["downb"] = "0";
    Treplace_colors& d = ReplaceColors();
    d.StartMode(1);
    d.Show();
    EXPECT_EQ(Get(d, "Label1", "Caption").toString(), "- - - - - >");
    EXPECT_EQ(Get(d, "Label2", "Caption").toString(), "Color: FFFF0000");
    EXPECT_EQ(Get(d, "Label3", "Caption").toString(), "Color: FF00FF00");

    const struct {
        int Phase, Direction;
    } applies[] = {{1, 2}, {2, 1}, {2, 2}};
    for (const auto& a : applies) {
        d.suiButton1Click(nullptr);
        EXPECT_EQ(d.ApplyPhase, a.Phase);
        EXPECT_EQ(d.Direction, a.Direction);
        EXPECT_EQ(d.ApplyState, 1);
    }
    EXPECT_EQ(Pixels(doc).pixel(0, 0), kGreen);
    d.suiButton2Click(nullptr);
    EXPECT_EQ(Pixels(doc).pixel(0, 0), kRed);

    // The swatch's colour dialog: blue with the primary alpha, kept through repaints.
    state.Edits["upa"] = "255";
    TDialogAnswererScope person([](TDialogRequest& r) {
        if (auto* dialog = qobject_cast<TColorDialog*>(r.Dialog)) {
            dialog->SetColor(clBlue);
            r.Result = 1;
        }
        return true;
    });
    d.Image321Click(nullptr);
    EXPECT_EQ(Get(d, "Label2", "Caption").toString(), "Color:FF0000FF");
    d.repaint();
    EXPECT_EQ(std::vector<int>(d.LeftColor, d.LeftColor + 4), std::vector<int>({255, 0, 0, 255}));
    Pixels(doc).setPixel(1, 1, kBlue);
    d.suiButton1Click(nullptr); // Direction 1 with Replace: blue (left) becomes green (right)
    EXPECT_EQ(Pixels(doc).pixel(1, 1), kGreen);

    d.StartMode(2);
    EXPECT_EQ(d.ReplaceMode, 2);
    EXPECT_EQ(Get(d, "Label1", "Caption").toString(), "<- - - - - >");
}

TEST_F(CommandDialogs, RemovingAFormatAsksFirstAndOkRemovesIt)
{
    Tnewiconview* doc = NewProject(1, 16, 16);
    NewFormatChoice() = {32, 32, "256"};
    ASSERT_TRUE(ClickComponentByName(doc, "BitBtn18"));
    ASSERT_EQ(doc->FormatCount(), 2);
    for (const int answer : {int(mrCancel), int(mrOk)}) {
        QString shown;
        TDialogAnswererScope person([&](TDialogRequest& r) {
            auto* dialog = qobject_cast<Tdeleteicon*>(r.Dialog);
            if (!dialog)
                return false;
            shown = dialog->FindComponent("Label2")->property("Caption").toString();
            ClickComponentByName(dialog, answer == mrOk ? "suiButton1" : "suiButton2");
            r.Result = answer;
            return true;
        });
        doc->RemoveImageFormat1Click(nullptr);
        EXPECT_EQ(shown, "32 * 32 - 256");
        EXPECT_EQ(doc->FormatCount(), answer == mrOk ? 1 : 2);
    }
}

TEST_F(CommandDialogs, JpegOkExportsWithTheQualityOnTheTrackBar)
{
    // A document whose export records what it was asked for.
    TForm document;
    document.setObjectName("iconview7");
    auto* button = new TButton(&document);
    button->setObjectName("Button1");
    QStringList exports;
    button->OnClick = [&](TObject*) {
        exports << state.CommandArgument + " " + QString::number(JpegOptionsDialog().Quality());
    };
    state.ActiveDocumentName = "iconview7";
    TGifOptions& d = JpegOptions();
    EXPECT_EQ(JpegOptionsDialog().Quality(), 75);
    for (int quality : {0, 100, 42}) {
        d.Show();
        Set(d, "colorbara", "Position", quality);
        EXPECT_EQ(Get(d, "Edit1", "Text").toString(), QString::number(quality));
        d.suiButton3Click(nullptr);
        EXPECT_FALSE(d.isVisible());
    }
    EXPECT_EQ(exports, QStringList({"jpg 0", "jpg 100", "jpg 42"}));
    // Cancel exports nothing; a missing document is no error.
    d.suiButton4Click(nullptr);
    state.ActiveDocumentName = "iconview99";
    d.suiButton3Click(nullptr);
    EXPECT_EQ(exports.size(), 3);
}

TEST_F(CommandDialogs, ResizeStartsFromTheLastFormatSizeAndKeepsTheRatioWhenTicked)
{
    Tnewiconview* doc = NewProject(1, 16, 16, 0);
    Pixels(doc).setPixel(15, 15, kRed);
    const QImage start = Pixels(doc);
    state.NewImageWidth = 20;
    state.NewImageHeight = 30;
    Tsetsize& d = SetSizeDialog();
    d.StartFromLastFormat();
    d.Show();
    EXPECT_EQ(Get(d, "width", "Text").toString(), "20");
    EXPECT_EQ(Get(d, "height", "Text").toString(), "30");
    Set(d, "width", "Text", "12");
    EXPECT_EQ(Get(d, "height", "Text").toString(), "30");
    Set(d, "suiCheckBox1", "Checked", true);
    Set(d, "width", "Text", "32");
    EXPECT_EQ(Get(d, "height", "Text").toString(), "32");
    Set(d, "height", "Text", "8");
    EXPECT_EQ(Get(d, "width", "Text").toString(), "8");
    EXPECT_EQ(ResizeDialog().WidthText(), "8");
    d.suiButton1Click(nullptr);
    EXPECT_FALSE(d.isVisible());
    // Scaled to 8 x 8 inside the 16 x 16 format: the bottom-right pixel moved up to (7, 7).
    EXPECT_EQ(doc->CurrentWidth, 16);
    EXPECT_EQ(Pixels(doc).pixel(7, 7), kRed);
    EXPECT_EQ(Pixels(doc).pixel(15, 15), 0u);
}
