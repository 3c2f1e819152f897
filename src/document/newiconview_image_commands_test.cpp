#include "document/command_dialog_fields.h"
#include "document/format_list.h"
#include "document/my_list_box.h"
#include "document/image_commands.h"
#include "document/newiconview.h"
#include "document/scratch_folder.h"
#include "document/testing_editor_state.h"
#include "framework/bitmap.h"
#include "framework/commands.h"
#include "framework/dialogs.h"
#include "imaging/bitmap/image32.h"
#include "skin/theme_items.h"
#include "platform/program_paths.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr QRgb kBlue = 0xFF0000FFu;
constexpr QRgb kRed = 0xFFFF0000u;
constexpr QRgb kGreen = 0xFF00FF00u;

class CaptureFields : public TCaptureWindowFields {
public:
    void Confirm() override
    {
        ++Confirmed;
        PasteConfirmed = 1;
    }
    void CloseWindow() override { ++Closed; }
    int Confirmed = 0;
    int Closed = 0;
};

class DocumentImageCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(dir.path());
        InstallRotateDialog(&rotate);
        InstallResizeDialog(&resize);
        InstallReplaceColorsDialog(&replace);
        InstallEffectsDialog(&effects);
        InstallColorBalanceDialog(&balance);
        InstallCaptureWindow(&capture);
        templ = std::make_unique<Tnewiconview>();
    }
    void TearDown() override
    {
        docs.clear();
        templ.reset();
        for (auto* install : {+[] { InstallRotateDialog(nullptr); }, +[] { InstallResizeDialog(nullptr); },
                              +[] { InstallReplaceColorsDialog(nullptr); }, +[] { InstallEffectsDialog(nullptr); },
                              +[] { InstallColorBalanceDialog(nullptr); }, +[] { InstallCaptureWindow(nullptr); }})
            install();
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
    static void Click(Tnewiconview* doc, const char* name) { ASSERT_TRUE(ClickComponentByName(doc, name)) << name; }
    // Answers every message with answer and keeps its text.
    std::unique_ptr<TDialogAnswererScope> Answer(int answer)
    {
        return std::make_unique<TDialogAnswererScope>([this, answer](TDialogRequest& r) {
            asked << r.Text;
            captions << r.Caption;
            r.Result = answer;
            return true;
        });
    }

    QTemporaryDir dir;
    TTestingEditorState state;
    TRotateDialogFields rotate;
    TResizeDialogFields resize;
    TReplaceColorsFields replace;
    TEffectsDialogFields effects;
    TColorBalanceFields balance;
    CaptureFields capture;
    std::unique_ptr<Tnewiconview> templ;
    std::vector<std::unique_ptr<Tnewiconview>> docs;
    QStringList asked, captions;
};

} // namespace

TEST_F(DocumentImageCommands, EveryCommandHasItsHandler)
{
    Tnewiconview* doc = NewProject(1, 16, 16);
    for (const char* name : {"BitBtn9", "BitBtn10", "BitBtn11", "BitBtn12", "BitBtn13", "BitBtn14", "BitBtn32",
                             "BitBtn33", "BitBtn34", "BitBtn35", "BitBtn36", "BitBtn39", "BitBtn42", "bitbtn43",
                             "BitBtn45", "Button2", "Button3", "Button4", "Button5", "Button6", "Button7", "Button8",
                             "ClearAll1"})
        EXPECT_TRUE(HasClickHandler(doc->FindComponent(name))) << name;
}

TEST_F(DocumentImageCommands, MasterOpacityWorksFromOneBaseWhileEditing)
{
    Tnewiconview* doc = NewProject(1, 16, 16);
    Pixels(doc).setPixel(0, 0, 0x80102030u);
    Pixels(doc).setPixel(1, 0, 0u);
    state.TrackBars["layer_a"] = 100;
    // After a save (or before any stroke) the track bar changes nothing.
    doc->EditState = 2;
    Click(doc, "BitBtn9");
    EXPECT_EQ(Pixels(doc).pixel(2, 2), kBlue);

    doc->EditState = 1;
    Click(doc, "BitBtn9");
    EXPECT_EQ(Pixels(doc).pixel(2, 2), 0x640000FFu);
    EXPECT_EQ(Pixels(doc).pixel(0, 0), 0x00102030u);
    EXPECT_EQ(Pixels(doc).pixel(1, 0), 0u);
    // Back to 255: the same base gives its alpha back exactly.
    state.TrackBars["layer_a"] = 255;
    Click(doc, "BitBtn9");
    EXPECT_EQ(Pixels(doc).pixel(2, 2), kBlue);
    EXPECT_EQ(Pixels(doc).pixel(0, 0), 0x80102030u);
    state.TrackBars["layer_a"] = 0;
    Click(doc, "BitBtn9");
    EXPECT_EQ(Pixels(doc).pixel(2, 2), 0x000000FFu);
}

TEST_F(DocumentImageCommands, QuarterTurnsOfANonSquareFormatTakeTheTurnedSize)
{
    Tnewiconview* doc = NewProject(1, 32, 16);
    doc->EnsureBaseState();
    Pixels(doc).setPixel(0, 0, kRed);
    doc->RecordStep();
    Pixels(doc).setPixel(1, 0, kGreen);
    doc->RecordStep();
    Click(doc, "BitBtn13"); // Rotate Right: (x, y) -> (H - 1 - y, x)
    EXPECT_EQ(doc->CurrentWidth, 16);
    EXPECT_EQ(doc->CurrentHeight, 32);
    EXPECT_EQ(FormatCaption(*doc, doc->CurrentFormat()), "16 * 32 - XP");
    ASSERT_EQ(Pixels(doc).size(), QSize(16, 32));
    EXPECT_EQ(Pixels(doc).pixel(15, 0), kRed);
    EXPECT_EQ(state.NewImageWidth, 16);
    const QImage turnedPicture = Pixels(doc);
    // Undo takes the turn back, size and all; the stroke before it is a step of its own.
    Click(doc, "BitBtn23");
    EXPECT_EQ(FormatCaption(*doc, doc->CurrentFormat()), "32 * 16 - XP");
    ASSERT_EQ(Pixels(doc).size(), QSize(32, 16));
    EXPECT_EQ(Pixels(doc).pixel(0, 0), kRed);
    EXPECT_EQ(Pixels(doc).pixel(1, 0), kGreen);
    Click(doc, "BitBtn23");
    EXPECT_EQ(Pixels(doc).pixel(1, 0), kBlue);
    Click(doc, "BitBtn24");
    Click(doc, "BitBtn24");
    EXPECT_EQ(FormatCaption(*doc, doc->CurrentFormat()), "16 * 32 - XP");
    EXPECT_EQ(Pixels(doc), turnedPicture);

    // A turn that would give a second format of one size and kind is refused.
    NewFormatChoice() = {32, 16, "XP"};
    Click(doc, "BitBtn18");
    const int turned = FormatCaption(*doc, 1) == "16 * 32 - XP" ? 1 : 2;
    doc->FormatList()->SetItemIndex(turned - 1);
    doc->MyListBox1Click(doc);
    ASSERT_EQ(doc->CurrentWidth, 16);
    const QImage before = Pixels(doc);
    auto answer = Answer(mrOk);
    Click(doc, "BitBtn12");
    EXPECT_EQ(asked, QStringList({"The icon format has existed"}));
    EXPECT_EQ(Pixels(doc), before);
    EXPECT_EQ(FormatCaption(*doc, doc->CurrentFormat()), "16 * 32 - XP");
}

TEST_F(DocumentImageCommands, ShiftsKeepOneCopyThatOnlyTheirOwnPictureGetsBack)
{
    Tnewiconview* doc = NewProject(1, 16, 16);
    Pixels(doc).setPixel(5, 5, kRed);
    const QImage start = Pixels(doc);
    for (int k = 0; k < 4; ++k)
        Click(doc, "BitBtn32");
    EXPECT_EQ(state.NudgeCount, 4);
    EXPECT_EQ(Pixels(doc).pixel(5, 1), kRed);
    EXPECT_EQ(Pixels(doc).pixel(5, 15), 0u);
    Click(doc, "BitBtn36");
    EXPECT_EQ(Pixels(doc), start);
    EXPECT_EQ(state.NudgeCount, 0);
    EXPECT_EQ(rotate.PreNudgeImage, nullptr);

    // Another document's Cancel never receives this picture.
    Click(doc, "BitBtn34");
    Tnewiconview* other = NewProject(2, 16, 16, kGreen);
    EXPECT_EQ(rotate.PreNudgeImage, nullptr); // a new document drops the old copy
    Click(doc, "BitBtn34");
    Click(other, "BitBtn36");
    EXPECT_EQ(Pixels(other).pixel(0, 0), kGreen);
    EXPECT_EQ(rotate.PreNudgeImage, nullptr);

    // The copy follows its format when adding another renumbers the formats, and a format of
    // the same size but another kind does not receive it.
    Click(doc, "BitBtn33");
    NewFormatChoice() = {16, 16, "256"};
    Click(doc, "BitBtn18");
    NewFormatChoice() = {32, 32, "XP"};
    Click(doc, "BitBtn18");
    ASSERT_EQ(FormatCaption(*doc, 2), "16 * 16 - XP");
    ASSERT_EQ(FormatCaption(*doc, 3), "16 * 16 - 256");
    doc->FormatList()->SetItemIndex(2);
    doc->MyListBox1Click(doc);
    const QImage other256 = Pixels(doc);
    Click(doc, "BitBtn36");
    EXPECT_EQ(Pixels(doc), other256);
    EXPECT_EQ(rotate.PreNudgeImage, nullptr);
    doc->FormatList()->SetItemIndex(1);
    doc->MyListBox1Click(doc);
    Click(doc, "BitBtn33");
    const QImage again = GdipImageData(rotate.PreNudgeImage)->copy();
    NewFormatChoice() = {48, 48, "XP"};
    Click(doc, "BitBtn18");
    ASSERT_EQ(FormatCaption(*doc, 3), "16 * 16 - XP");
    doc->FormatList()->SetItemIndex(2);
    doc->MyListBox1Click(doc);
    Click(doc, "BitBtn36");
    EXPECT_EQ(Pixels(doc), again);

    // OK of the rotate dialog keeps the shifts.
    Click(doc, "BitBtn35");
    rotate.DiscardPreNudgeImage();
    const QImage shifted = Pixels(doc);
    Click(doc, "BitBtn36");
    EXPECT_EQ(Pixels(doc), shifted);
}

TEST_F(DocumentImageCommands, ClearIsOneStepFromTheBaseState)
{
    Tnewiconview* doc = NewProject(1, 16, 16);
    const QString base = doc->StateFilePath(1, 1);
    QFile::remove(base);
    EXPECT_TRUE(RunCommandByName("iconview1", "ClearAll1"));
    EXPECT_TRUE(QFile::exists(base));
    EXPECT_EQ(QImage(base).pixel(3, 3), kBlue);
    QImage clear(16, 16, QImage::Format_ARGB32);
    clear.fill(0);
    EXPECT_EQ(Pixels(doc), clear);
    EXPECT_EQ(doc->FormatTable.UndoStateCount(1), 2);
    // Clear refits the canvas; the zoom label follows.
    EXPECT_EQ(state.Labels.value("bigbig"), QString::number(doc->Zoom * 100) + " %");
}

TEST_F(DocumentImageCommands, EveryCommandIsOneStepThatUndoTakesBackAndRedoGivesAgain)
{
    const auto replaceRedByGreen = [this] {
        replace.BeginShowing();
        const int red[4] = {255, 255, 0, 0}, green[4] = {255, 0, 255, 0};
        std::copy(red, red + 4, replace.LeftColor);
        std::copy(green, green + 4, replace.RightColor);
        replace.ApplyPhase = 1;
        replace.ApplyState = 1;
    };
    const struct {
        const char* command;
        std::function<void(Tnewiconview*)> prepare;
    } commands[] = {
        {"BitBtn9", [this](Tnewiconview* d) { d->EditState = 1; state.TrackBars["layer_a"] = 90; }},
        {"BitBtn10", nullptr},
        {"BitBtn11", nullptr},
        {"BitBtn12", nullptr},
        {"BitBtn13", nullptr},
        {"BitBtn32", nullptr},
        {"BitBtn33", nullptr},
        {"BitBtn34", nullptr},
        {"BitBtn35", nullptr},
        {"BitBtn36", [](Tnewiconview* d) { Click(d, "BitBtn33"); Click(d, "BitBtn32"); }},
        {"BitBtn42", nullptr},
        {"bitbtn43", [&](Tnewiconview*) { replaceRedByGreen(); }},
        {"bitbtn43",
         [&](Tnewiconview* d) {
             replaceRedByGreen();
             Click(d, "bitbtn43");
             replace.ApplyState = 2;
         }},
        {"BitBtn45", [this](Tnewiconview*) { rotate.Angle = "30"; }},
        {"Button8",
         [this](Tnewiconview*) {
             resize.Width = "10";
             resize.Height = "7";
         }},
        {"BitBtn39",
         [this](Tnewiconview*) {
             QImage shot(3, 2, QImage::Format_ARGB32);
             shot.fill(kGreen);
             ASSERT_TRUE(shot.save(ScratchPath("selectimage.bmp"), "BMP"));
             capture.CaptureArmed = 1;
             capture.ConfirmDone = 0;
         }},
    };
    for (const bool stroked : {false, true}) {
        for (const auto& c : commands) {
            const std::string what = std::string(c.command) + (stroked ? " after a stroke" : " on a fresh picture");
            docs.clear();
            Tnewiconview* doc = NewProject(1, 16, 16);
            Pixels(doc).setPixel(0, 0, kRed);
            Pixels(doc).setPixel(3, 1, kRed);
            Pixels(doc).setPixel(9, 12, 0x80FF0000u);
            const QImage opened = Pixels(doc);
            if (stroked) {
                doc->EnsureBaseState();
                Pixels(doc).setPixel(5, 2, kRed);
                doc->RecordStep();
            }
            if (c.prepare)
                c.prepare(doc);
            const QImage before = Pixels(doc);
            const int states = doc->FormatTable.UndoStateCount(1);
            auto yes = Answer(IDYES);
            Click(doc, c.command);
            const QImage after = Pixels(doc);
            ASSERT_NE(after, before) << what;
            EXPECT_EQ(doc->FormatTable.UndoStateCount(1), std::max(states, 1) + 1) << what;
            EXPECT_TRUE(state.Enabled.value("ToolButton5")) << what;

            Click(doc, "BitBtn23");
            EXPECT_EQ(Pixels(doc), before) << what;
            EXPECT_TRUE(state.Enabled.value("ToolButton6")) << what;
            Click(doc, "BitBtn24");
            EXPECT_EQ(Pixels(doc), after) << what;
            EXPECT_FALSE(state.Enabled.value("ToolButton6")) << what;
            // The stroke is a step of its own, and the oldest state ends the history.
            for (int k = 0; k < 10 && state.Enabled.value("ToolButton5"); ++k)
                Click(doc, "BitBtn23");
            EXPECT_EQ(Pixels(doc), opened) << what;
        }
    }
}

TEST_F(DocumentImageCommands, ADragOfTheOpacityBarIsOneStep)
{
    Tnewiconview* doc = NewProject(1, 16, 16);
    doc->EditState = 1;
    const QImage start = Pixels(doc);
    // The bar set back to full by a press or an undo changes nothing and records nothing.
    Click(doc, "BitBtn9");
    EXPECT_EQ(doc->FormatTable.UndoStateCount(1), 1);

    state.OpacityBarHeld = true;
    state.OpacityBarDrags = 1;
    for (int position : {200, 120, 60}) {
        state.TrackBars["layer_a"] = position;
        Click(doc, "BitBtn9");
    }
    state.OpacityBarHeld = false;
    const QImage dragged = Pixels(doc);
    EXPECT_EQ(qAlpha(dragged.pixel(1, 1)), 60);
    EXPECT_EQ(doc->FormatTable.UndoStateCount(1), 2);

    // The next drag is a step of its own, from the same base picture.
    state.OpacityBarHeld = true;
    state.OpacityBarDrags = 2;
    for (int position : {100, 30}) {
        state.TrackBars["layer_a"] = position;
        Click(doc, "BitBtn9");
    }
    state.OpacityBarHeld = false;
    EXPECT_EQ(qAlpha(Pixels(doc).pixel(1, 1)), 30);
    EXPECT_EQ(doc->FormatTable.UndoStateCount(1), 3);
    Click(doc, "BitBtn23");
    EXPECT_EQ(Pixels(doc), dragged);
    Click(doc, "BitBtn23");
    EXPECT_EQ(Pixels(doc), start);
    EXPECT_FALSE(state.Enabled.value("ToolButton5"));
}

TEST_F(DocumentImageCommands, QuarterTurnsOfOneDialogChoiceMakeOneStep)
{
    Tnewiconview* doc = NewProject(1, 16, 16);
    Pixels(doc).setPixel(0, 0, kRed);
    const QImage start = Pixels(doc);
    doc->BeginStepGroup();
    Click(doc, "BitBtn12");
    Click(doc, "BitBtn12");
    doc->EndStepGroup();
    EXPECT_EQ(Pixels(doc).pixel(15, 15), kRed);
    EXPECT_EQ(doc->FormatTable.UndoStateCount(1), 2);
    Click(doc, "BitBtn23");
    EXPECT_EQ(Pixels(doc), start);
}

TEST_F(DocumentImageCommands, PatternChoiceBecomesThePrimaryPattern)
{
    Tnewiconview* doc = NewProject(1, 16, 16);
    state.PatternFile = "image\\16color\\5.bmp";
    Click(doc, "BitBtn14");
    EXPECT_EQ(doc->FormatTable.PatternPath(0), "image\\16color\\5.bmp");
    EXPECT_EQ(doc->FormatTable.PatternPath(1), "image\\16color\\18.bmp");
}

TEST_F(DocumentImageCommands, ExchangeGoesBothWaysAndUndoBringsBackItsOwnPicture)
{
    Tnewiconview* doc = NewProject(1, 4, 1);
    Pixels(doc).setPixel(0, 0, kRed);
    Pixels(doc).setPixel(1, 0, kBlue);
    Pixels(doc).setPixel(2, 0, 0xFEFF0000u);
    const QImage start = Pixels(doc);
    replace.BeginShowing();
    replace.ReplaceMode = 2;
    const int red[4] = {255, 255, 0, 0}, blue[4] = {255, 0, 0, 255};
    std::copy(red, red + 4, replace.LeftColor);
    std::copy(blue, blue + 4, replace.RightColor);
    // The dialog's Apply: phase, state and direction, then the click.
    auto apply = [&] {
        replace.ApplyPhase = replace.ApplyPhase == 0 ? 1 : 2;
        replace.ApplyState = 1;
        replace.Direction = replace.Direction == 1 ? 2 : 1;
        Click(doc, "bitbtn43");
    };
    apply();
    EXPECT_EQ(Pixels(doc).pixel(0, 0), kBlue);
    EXPECT_EQ(Pixels(doc).pixel(2, 0), 0xFEFF0000u); // alpha differs: no match
    apply();
    // Back the other way: the changed pixel and the one that was blue before.
    EXPECT_EQ(Pixels(doc).pixel(0, 0), kRed);
    EXPECT_EQ(Pixels(doc).pixel(1, 0), kRed);
    apply();
    replace.ApplyState = 2;
    Click(doc, "bitbtn43");
    EXPECT_EQ(Pixels(doc), start);

    // Replace mode always goes left to right.
    replace.ReplaceMode = 1;
    for (int k = 0; k < 2; ++k)
        apply();
    EXPECT_EQ(Pixels(doc).pixel(0, 0), kBlue);
    EXPECT_EQ(Pixels(doc).pixel(1, 0), kBlue);

    // The undo file belongs to this document: another one is told and keeps its picture.
    Tnewiconview* other = NewProject(2, 4, 1, kGreen);
    auto answer = Answer(mrOk);
    replace.ApplyState = 2;
    Click(other, "bitbtn43");
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(Pixels(other).pixel(0, 0), kGreen);
}

TEST_F(DocumentImageCommands, RotationAndResizeCheckTheirTextsBeforeTouchingThePicture)
{
    Tnewiconview* doc = NewProject(1, 16, 16);
    Pixels(doc).setPixel(0, 0, kRed);
    const QImage start = Pixels(doc);
    auto answer = Answer(mrOk);
    rotate.Angle = "4x5";
    Click(doc, "BitBtn45");
    EXPECT_EQ(asked, QStringList({"'4x5' is not a valid integer value."}));
    EXPECT_EQ(Pixels(doc), start);

    const struct {
        const char* w;
        const char* h;
        const char* message;
    } refused[] = {{"abc", "16", "'abc' is not a valid integer value."},
                   {"16", "", "'' is not a valid integer value."},
                   {"0", "16", "Please set image size"},
                   {"16", "256", "The image size must be from 1 to 255 pixels"}};
    for (const auto& c : refused) {
        asked.clear();
        resize.Width = c.w;
        resize.Height = c.h;
        Click(doc, "Button8");
        EXPECT_EQ(asked, QStringList({c.message}));
        EXPECT_EQ(Pixels(doc), start) << c.w << "x" << c.h;
    }

    // A 16 x 16 picture turns about its own middle and keeps its content.
    rotate.Angle = "90";
    Click(doc, "BitBtn45");
    EXPECT_EQ(Pixels(doc).pixel(15, 0), kRed);
    EXPECT_EQ(Pixels(doc).pixel(0, 0), kBlue);
    EXPECT_EQ(Pixels(doc).pixel(0, 15), kBlue);

    resize.Width = "8";
    resize.Height = "8";
    Click(doc, "Button8");
    EXPECT_EQ(Pixels(doc).size(), QSize(16, 16));
    EXPECT_EQ(Pixels(doc).pixel(7, 7), kBlue);
    EXPECT_EQ(Pixels(doc).pixel(8, 8), 0u);
}

TEST_F(DocumentImageCommands, EffectAndBalanceHandOversReplaceThePictureAtTheFormatsSize)
{
    Tnewiconview* doc = NewProject(1, 16, 16);
    Click(doc, "Button2");
    ASSERT_NE(effects.OriginalImage, nullptr);
    EXPECT_EQ(GdipImageData(effects.OriginalImage)->pixel(3, 3), kBlue);

    QImage red(8, 8, QImage::Format_ARGB32);
    red.fill(kRed);
    effects.PreviewBitmap = GdipImageFromQImage(red);
    Click(doc, "Button3");
    EXPECT_EQ(Pixels(doc).size(), QSize(16, 16));
    EXPECT_EQ(Pixels(doc).pixel(15, 15), kRed);

    // Most effects revert to the dialog's copy.
    effects.EffectCode = 12;
    Click(doc, "Button4");
    EXPECT_EQ(Pixels(doc).pixel(15, 15), kBlue);

    // The file effects revert from the scratch file, drawn into the format's own size.
    QImage green(32, 32, QImage::Format_ARGB32);
    green.fill(kGreen);
    const QString file = ScratchPath("gif88gif.png");
    ASSERT_TRUE(green.save(file));
    for (int code : {30, 45, 403, 408}) {
        Pixels(doc).fill(kRed);
        effects.EffectCode = code;
        Click(doc, "Button4");
        EXPECT_EQ(Pixels(doc).size(), QSize(16, 16)) << code;
        EXPECT_EQ(Pixels(doc).pixel(15, 15), kGreen) << code;
    }
    // Without the file the format stays as it was, and the user hears why.
    QFile::remove(file);
    Pixels(doc).fill(kRed);
    auto answer = Answer(mrOk);
    Click(doc, "Button4");
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(Pixels(doc).size(), QSize(16, 16));
    EXPECT_EQ(Pixels(doc).pixel(15, 15), kRed);

    // Colour balance: the work copy keeps alpha; result and revert replace the picture.
    Pixels(doc).setPixel(0, 0, 0x40112233u);
    Click(doc, "Button5");
    TBitmap work;
    work.LoadFromFile(ScratchPath("temp.bmp"));
    EXPECT_EQ(work.PixelArgb(0, 0), 0x40112233u);
    EXPECT_EQ(work.PixelArgb(5, 5), kRed);
    balance.ResultBitmap = GdipImageFromQImage(green);
    Click(doc, "Button6");
    EXPECT_EQ(Pixels(doc).pixel(5, 5), kGreen);
    Click(doc, "Button7");
    EXPECT_EQ(Pixels(doc).pixel(0, 0), 0x40112233u);
    EXPECT_EQ(Pixels(doc).pixel(5, 5), kRed);
}

TEST_F(DocumentImageCommands, CaptureIsTakenOverOnlyWhileArmedAndNotYetTaken)
{
    Tnewiconview* doc = NewProject(1, 16, 16);
    QImage shot(4, 4, QImage::Format_ARGB32);
    shot.fill(kRed);
    ASSERT_TRUE(shot.save(ScratchPath("selectimage.bmp")));
    auto answer = Answer(IDYES);

    Click(doc, "BitBtn39"); // not armed
    EXPECT_EQ(capture.HandOffStage, 2);
    capture.CaptureArmed = 1;
    templ->FormatTable.SetCaptureState(2); // the template holds a capture already taken
    Click(doc, "BitBtn39");
    EXPECT_EQ(capture.Confirmed, 0);
    EXPECT_TRUE(asked.isEmpty());

    templ->FormatTable.SetCaptureState(1);
    Click(doc, "BitBtn39");
    EXPECT_EQ(capture.Confirmed, 1);
    EXPECT_EQ(capture.ConfirmDone, 1);
    EXPECT_EQ(asked, QStringList({"Image file has changed, Save changes or not?"}));
    EXPECT_EQ(captions, QStringList({"Brelnova Studio"}));
    EXPECT_EQ(Pixels(doc).pixel(0, 0), kRed);
    EXPECT_EQ(Pixels(doc).pixel(8, 8), kBlue);
    EXPECT_EQ(capture.Closed, 1);

    Click(doc, "BitBtn39"); // once per confirmed capture
    EXPECT_EQ(capture.Confirmed, 1);

    // A capture file that cannot be read is reported and leaves the picture alone.
    QFile bad(ScratchPath("selectimage.bmp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("BM not a bitmap");
    bad.close();
    capture.ConfirmDone = 0;
    Pixels(doc).fill(kBlue);
    asked.clear();
    Click(doc, "BitBtn39");
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[1].startsWith("The captured picture cannot be read: ")) << asked[1].toStdString();
    EXPECT_EQ(Pixels(doc).pixel(0, 0), kBlue);
}

TEST_F(DocumentImageCommands, CanvasShowsTheTurnedAndRotatedPictureInEachStyle)
{
    for (int style : {0, int(WinXP)}) {
        state.SkinStyle = style;
        Tnewiconview* doc = NewProject(style + 1, 32, 16);
        QImage& format = Pixels(doc);
        format.fill(0);
        for (int x = 0; x < 32; ++x)
            format.setPixel(x, 2, kRed); // a bar across the top
        format.setPixel(0, 15, kGreen);
        doc->Show();
        doc->FormPaint(doc);
        Click(doc, "BitBtn12"); // Rotate Left: (x, y) -> (y, W - 1 - x)
        ASSERT_EQ(doc->CurrentWidth, 16);
        ASSERT_EQ(doc->CurrentHeight, 32);
        const int z = doc->Zoom;
        EXPECT_EQ(doc->iconview->Width(), 16 * z);
        EXPECT_EQ(doc->iconview->Height(), 32 * z);
        QImage shot = doc->grab().toImage();
        const QPoint origin = doc->iconview->mapTo(doc, QPoint(0, 0)) * shot.devicePixelRatio();
        auto at = [&](int cx, int cy) { return shot.pixel(origin + QPoint(cx * z + z / 2, cy * z + z / 2)) & 0xFFFFFFu; };
        // The bar now runs down column 2, the green pixel sits at the bottom right.
        EXPECT_EQ(at(2, 0), 0xFF0000u);
        EXPECT_EQ(at(2, 31), 0xFF0000u);
        EXPECT_EQ(at(15, 31), 0x00FF00u);
        const QString out = qEnvironmentVariable("BRELNOVA_SCREENSHOT_DIR");
        if (!out.isEmpty())
            shot.save(out + QStringLiteral("/document_turned_style%1.png").arg(style));

        rotate.Angle = "45";
        Click(doc, "BitBtn45");
        shot = doc->grab().toImage();
        if (!out.isEmpty())
            shot.save(out + QStringLiteral("/document_rotated45_style%1.png").arg(style));
        // The bar turns about the format's middle (8, 16): cell (2, 16) lands near (3, 12).
        EXPECT_NE(at(2, 0), 0xFF0000u);
        EXPECT_GT(qAlpha(Pixels(doc).pixel(3, 12)), 128);
        EXPECT_EQ(qRed(Pixels(doc).pixel(3, 12)), 255);
        docs.clear();
    }
}

TEST_F(DocumentImageCommands, PicturesPlacedOnAPaletteFormatTakeItsTableAtOnce)
{
    // Every pixel fully transparent or an opaque colour of the format's table.
    auto onTable = [](Tnewiconview* d) {
        const TPaletteEntries& table = d->ActiveFormatPalette();
        const QImage& p = Pixels(d);
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                const QRgb c = p.pixel(x, y);
                if (c != 0 && (qAlpha(c) != 255 || std::find(table.begin(), table.end(), c & 0xFFFFFFu) == table.end()))
                    return testing::AssertionFailure() << std::hex << c << " at " << std::dec << x << "," << y;
            }
        return testing::AssertionSuccess();
    };
    QImage picture(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            picture.setPixel(x, y, qRgba(x * 8, 255 - y * 8, 90, 255));
    const struct {
        const char* kind;
        std::function<void(Tnewiconview*)> place;
    } cases[] = {
        {"16", [this](Tnewiconview* d) { rotate.Angle = "30"; Click(d, "BitBtn45"); }},
        {"256", [this](Tnewiconview* d) { rotate.Angle = "30"; Click(d, "BitBtn45"); }},
        {"Mono", [this](Tnewiconview* d) { rotate.Angle = "30"; Click(d, "BitBtn45"); }},
        {"16", [this](Tnewiconview* d) { resize.Width = "45"; resize.Height = "20"; Click(d, "Button8"); }},
        {"256",
         [this](Tnewiconview* d) {
             QImage pasted(5, 4, QImage::Format_ARGB32);
             pasted.fill(qRgba(200, 40, 160, 180));
             GdipDisposeImage(state.SelectionBuffer);
             state.SelectionBuffer = GdipImageFromQImage(pasted);
             state.PasteState = 1;
             Click(d, "BitBtn15");
             Click(d, "BitBtn1");
         }},
    };
    for (const auto& c : cases) {
        docs.clear();
        state.NewImageKind = c.kind;
        state.NewImageWidth = state.NewImageHeight = 32;
        auto* doc = new Tnewiconview;
        doc->setObjectName("iconview1");
        docs.emplace_back(doc);
        state.ActiveDocumentName = doc->objectName();
        Pixels(doc) = picture;
        c.place(doc);
        EXPECT_TRUE(onTable(doc)) << c.kind;
    }
}
