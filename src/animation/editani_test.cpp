#include "animation/editani.h"

#include "animation/animated_cursor.h"
#include "animation/ani_writer.h"
#include "animation/builders.h"
#include "animation/selectinput.h"
#include "animation/sethot.h"
#include "animation/slot_picture.h"
#include "animation/testing_icons.h"
#include "document/animation_builders.h"
#include "document/scratch_folder.h"
#include "framework/commands.h"
#include "framework/cursors.h"
#include "framework/dialogs.h"
#include "framework/list_box.h"
#include "framework/menus.h"
#include "framework/string_list.h"
#include "imaging/icons/ani_file.h"
#include "mainwindow/cursor_reading.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/iconmain_files.h"
#include "mainwindow/testing_main_window.h"
#include "skin/controls/spin_edit.h"
#include "testsupport/testdata.h"

#include <QFile>

namespace {

class AniBuilderTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        b = AniBuilder();
    }
    void TearDown() override
    {
        TAnimatedCursor::Instance().Stop();
        MainWindowTest::TearDown();
    }
    // A one-image 32 by 32 icon of its own colour.
    QString Icon(const QString& name, uint32_t colour, const std::vector<TTestImage>& images = {{32, 32}})
    {
        return WriteTestFile(dir_.filePath(name), TestIconFile(images, colour));
    }
    // The colour of frame k's picture.
    uint32_t Colour(int k) const { return b->Thumbnails[size_t(k - 1)].pixel(16, 16); }
    QString Caption(const char* name) const { return b->FindComponent(name)->property("Caption").toString(); }
    void Answer(int result)
    {
        answer.reset();
        answer = std::make_unique<TDialogAnswererScope>([result, this](TDialogRequest& r) {
            asked << r.Text;
            r.Result = result;
            return true;
        });
    }

    Teditani* b = nullptr;
    QStringList asked;
    std::unique_ptr<TDialogAnswererScope> answer;
};

} // namespace

TEST_F(AniBuilderTest, InsertPutsEachFrameBeforeTheCurrentOne)
{
    const uint32_t red = 0xFFFF0000u, green = 0xFF00FF00u, blue = 0xFF0000FFu;
    b->InsertFile(Icon("a.ico", red));
    b->InsertFile(Icon("b.ICO", green)); // the extension is compared without case
    b->InsertFile(Icon("c.ico", blue));
    ASSERT_EQ(b->FrameCount(), 3);
    EXPECT_EQ(Colour(1), blue);
    EXPECT_EQ(Colour(2), green);
    EXPECT_EQ(Colour(3), red);
    EXPECT_EQ(b->CurrentFrame, 1);
    EXPECT_EQ(Caption("Label1"), "Total : 3");
    EXPECT_EQ(Caption("cap"), "Current Frame : 1");
    // The builder works on copies in the scratch folder, never on the user's files.
    for (const QString& f : b->FrameFiles)
        EXPECT_TRUE(f.startsWith(ScratchFolder())) << f.toStdString();

    // A cursor file goes in as an icon; a file of any other kind is refused with a message.
    QByteArray cur = TestIconFile({{32, 32}}, red);
    cur[2] = 2;
    b->InsertFile(WriteTestFile(dir_.filePath("d.cur"), cur));
    EXPECT_EQ(b->FrameCount(), 4);
    Answer(mrOk);
    b->InsertFile(WriteTestFile(dir_.filePath("e.png"), "png"));
    EXPECT_EQ(b->FrameCount(), 4);
    EXPECT_EQ(asked.size(), 1);
}

TEST_F(AniBuilderTest, InsertTakesOnlyThirtyTwoPixelImagesOrAsks)
{
    b->InsertFile(Icon("three.ico", 0xFF123456u, {{16, 32}, {32, 32}, {48, 32}}));
    EXPECT_EQ(b->FrameCount(), 1);

    // No 32 by 32 image: a one-image file asks and inserts on OK, nothing on Cancel.
    Answer(mrCancel);
    b->InsertFile(Icon("one48.ico", 0xFF123456u, {{48, 32}}));
    EXPECT_EQ(b->FrameCount(), 1);
    Answer(mrOk);
    b->InsertFile(Icon("one48.ico", 0xFF123456u, {{48, 32}}));
    EXPECT_EQ(b->FrameCount(), 2);
    EXPECT_EQ(asked.last(), "Current icon is not 32*32,Do you still want to insert.");

    // Several images: the frame picker lists them; its second line goes in before the current.
    const int before = b->CurrentFrame;
    QStringList lines;
    int height = 0;
    TDialogAnswererScope person([&](TDialogRequest& r) {
        if (auto* picker = qobject_cast<Tselectinput*>(r.Dialog)) {
            auto* list = qobject_cast<TCustomListBox*>(picker->FindComponent("IconListBox"));
            for (int i = 0; i < list->Items()->Count(); ++i)
                lines << picker->ItemText(i);
            height = list->ItemHeight();
            list->SetItemIndex(1);
            picker->IconListBoxDblClick(nullptr);
        }
        asked << r.Text;
        r.Result = mrOk;
        return true;
    });
    b->InsertFile(Icon("two.ico", 0xFF654321u, {{16, 4}, {48, 32}}));
    EXPECT_EQ(asked.last(), "") << "the picker is a window of its own";
    EXPECT_TRUE(asked.contains("Current multi-format icons without 32*32 icon,Please select and insert."));
    EXPECT_EQ(lines, (QStringList{"16 * 16 - 16 (4 bit)", "48 * 48 - XP (32 bit)"}));
    EXPECT_EQ(height, 48);
    ASSERT_EQ(b->FrameCount(), 3);
    EXPECT_EQ(b->CurrentFrame, before);
    EXPECT_EQ(b->Thumbnails[size_t(before - 1)].pixel(16, 16), 0xFF654321u);

    // A file without an icon header adds nothing and says so.
    Answer(mrOk);
    asked.clear();
    b->InsertFile(WriteTestFile(dir_.filePath("bad.ico"), QByteArray("\0\0\7\0\1\0", 6)));
    EXPECT_EQ(b->FrameCount(), 3);
    EXPECT_EQ(asked, QStringList{"这不是标准的ico"});
}

TEST_F(AniBuilderTest, FrameListOperations)
{
    for (int i = 1; i <= 10; ++i)
        b->AddAniFrame(Icon(QString("f%1.ico").arg(i), 0xFF000000u | uint32_t(i)), "open");
    EXPECT_EQ(b->CurrentFrame, 10);
    EXPECT_EQ(b->SlotFrame(1), 4);
    EXPECT_EQ(b->SlotFrame(7), 10);
    b->suiButton1Click(nullptr); // <<
    EXPECT_EQ(b->CurrentFrame, 9);
    EXPECT_EQ(b->SlotFrame(1), 3);
    EXPECT_EQ(Caption("No1"), "Frame# 3");

    // A click on a slot makes its frame current; the slot is outlined.
    b->Image1MouseDown(dynamic_cast<TObject*>(b->FindComponent("Image2")), mbLeft, TShiftState(), 5, 5);
    EXPECT_EQ(b->CurrentFrame, 4);
    EXPECT_NE(b->SlotImage(4).pixel(2, 20), b->SlotImage(3).pixel(2, 20));

    // Durations follow their frames through moves.
    auto* delay = qobject_cast<TsuiSpinEdit*>(b->FindComponent("DelayTime"));
    delay->SetText("42");
    EXPECT_EQ(b->FrameDurations[3], "42");
    delay->SetText("abc"); // not a duration: the frame keeps its own
    EXPECT_EQ(b->FrameDurations[3], "42");
    b->ToolButton9Click(nullptr);
    EXPECT_EQ(b->CurrentFrame, 3);
    EXPECT_EQ(b->FrameDurations[2], "42");
    EXPECT_EQ(Colour(3), 0xFF000004u);
    b->DownBtnClick(nullptr);
    b->DownBtnClick(nullptr);
    EXPECT_EQ(b->CurrentFrame, 5);
    EXPECT_EQ(Colour(5), 0xFF000004u);

    // Move Backward on the first and Move Forward on the last frame do nothing.
    b->CurrentFrame = 1;
    b->ToolButton9Click(nullptr);
    EXPECT_EQ(b->CurrentFrame, 1);
    b->CurrentFrame = 10;
    b->DownBtnClick(nullptr);
    EXPECT_EQ(b->CurrentFrame, 10);

    // Copy and Paste append the copied frame; Cut asks, then removes.
    b->CopyBtnClick(nullptr);
    b->PasteBtnClick(nullptr);
    EXPECT_EQ(b->FrameCount(), 11);
    EXPECT_EQ(b->FrameFiles[10], b->FrameFiles[9]);
    Answer(mrCancel);
    b->CutBtnClick(nullptr);
    EXPECT_EQ(b->FrameCount(), 11);
    Answer(mrOk);
    b->CurrentFrame = 1;
    b->CutBtnClick(nullptr);
    EXPECT_EQ(b->FrameCount(), 10);
    EXPECT_EQ(b->CurrentFrame, 1);
    EXPECT_TRUE(asked.contains("Are you Sure ?"));

    // New empties the list; deleting the only frame leaves none current.
    b->NewBtnClick(nullptr);
    EXPECT_EQ(Caption("Label1"), "Total : 0");
    b->AddAniFrame(Icon("x.ico", 0xFF0000FFu), "new");
    b->DeleteBtnClick(nullptr);
    EXPECT_EQ(b->FrameCount(), 0);
    EXPECT_EQ(b->CurrentFrame, 0);
    EXPECT_EQ(Caption("Label1"), "Total : 0");

    // Close only hides the builder: its frames stay for the next showing.
    b->Show();
    b->suiButton6Click(nullptr);
    EXPECT_FALSE(b->isVisible());
    EXPECT_EQ(editani, b);

    // A file that is no icon adds nothing.
    EXPECT_ANY_THROW(b->AddAniFrame(WriteTestFile(dir_.filePath("no.ico"), "text"), "open"));
    EXPECT_EQ(b->FrameCount(), 0);
}

TEST_F(AniBuilderTest, CapacityAndSaveName)
{
    const QString icon = Icon("a.ico", 0xFF00FF00u);
    for (int i = 0; i < Teditani::FrameCapacity; ++i)
        b->AddAniFrame(icon, "open");
    Answer(mrOk);
    EXPECT_FALSE(b->AddAniFrame(icon, "open"));
    EXPECT_EQ(b->FrameCount(), Teditani::FrameCapacity);
    EXPECT_EQ(asked.size(), 1);

    const struct {
        const char *Chosen, *Saved;
    } names[] = {{"anim", "anim.ani"}, {"anim.ani", "anim.ani"}, {"anim.ANI", "anim.ANI.ani"}, {"a.ani.txt", "a.ani.txt.ani"}};
    for (const auto& n : names)
        EXPECT_EQ(Teditani::AniSaveName(n.Chosen), n.Saved);
}

TEST_F(AniBuilderTest, SaveAndTestWriteTheHotSpotOnEveryFrame)
{
    b->AddAniFrame(Icon("a.ico", 0xFFFF0000u), "open");
    b->AddAniFrame(Icon("b.ico", 0xFF0000FFu), "open");
    b->FrameDurations[1] = "30";
    const QString chosen = dir_.filePath("out");
    TDialogAnswererScope person([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkSave)
            r.Dialog->setProperty("FileName", chosen);
        r.Result = 1;
        return true;
    });
    b->SaveBtnClick(nullptr);
    EXPECT_EQ(b->SavePath, chosen + ".ani");
    QFile saved(chosen + ".ani");
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const TAniCursor ani = ReadAniCursor(saved.readAll());
    EXPECT_EQ(ani.Rates, (std::vector<int>{10, 30}));

    // Test: Apply with 31, 31 marks the preview and writes the hot spot into the test file.
    b->suiButton3Click(nullptr);
    Tsethot* dialog = HotSpotDialog();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(ApplicationCursor(), AnimatedCursorNumber);
    EXPECT_EQ(TAnimatedCursor::Instance().StepCount(), 2);
    qobject_cast<TsuiSpinEdit*>(dialog->FindComponent("setx"))->SetText("31");
    qobject_cast<TsuiSpinEdit*>(dialog->FindComponent("sety"))->SetText("31");
    dialog->suiButton1Click(nullptr);
    EXPECT_EQ(b->HotSpotX(), 31);
    EXPECT_EQ(TAnimatedCursor::Instance().HotSpot(0), QPoint(31, 31));
    QFile test(ScratchPath(QString("testani%1.ani").arg(b->FileCounter)));
    ASSERT_TRUE(test.open(QIODevice::ReadOnly));
    for (const QByteArray& f : ReadAniCursor(test.readAll()).Frames)
        EXPECT_EQ(f.mid(10, 4), QByteArray("\x1F\0\x1F\0", 4));
    const QImage preview = dialog->Preview();
    for (QPoint p : {QPoint(42, 42), QPoint(42, 46), QPoint(46, 42)})
        EXPECT_EQ(preview.pixel(p), 0xFFFF0000u) << p.x() << "," << p.y();
    EXPECT_NE(preview.pixel(43, 43), 0xFFFF0000u);

    // Bad values change nothing; Quit gives every window its own cursor back.
    qobject_cast<TsuiSpinEdit*>(dialog->FindComponent("setx"))->SetText("32");
    dialog->suiButton1Click(nullptr);
    EXPECT_EQ(b->HotSpotX(), 31);
    dialog->suiButton4Click(nullptr);
    EXPECT_EQ(ApplicationCursor(), crDefault);
    EXPECT_FALSE(TAnimatedCursor::Instance().Playing());
}

TEST_F(AniBuilderTest, SaveStartsWithTheAnimationsOwnFileAndAsksBeforeReplacingOne)
{
    b->AddAniFrame(Icon("a.ico", 0xFFFF0000u), "open");
    const QString taken = WriteTestFile(dir_.filePath("taken.ani"), "mine");
    QStringList started, questions;
    int reply = mrNo;
    TDialogAnswererScope person([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkSave) {
            started << r.Dialog->property("FileName").toString();
            r.Dialog->setProperty("FileName", dir_.filePath("taken"));
            r.Result = 1;
            return true;
        }
        questions << r.Text;
        r.Result = reply;
        return true;
    });
    b->SaveBtnClick(nullptr);
    EXPECT_EQ(started, QStringList{QString()});
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains("taken.ani")) << questions[0].toStdString();
    QFile file(taken);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "mine");
    file.close();
    EXPECT_TRUE(b->SavePath.isEmpty());

    reply = mrYes;
    b->SaveBtnClick(nullptr);
    EXPECT_EQ(b->SavePath, taken);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("RIFF"));
    b->SaveBtnClick(nullptr);
    EXPECT_EQ(started.last(), taken);
}

TEST_F(AniBuilderTest, OpeningAnAnimatedCursorFillsTheBuilder)
{
    InstallAnimationBuilders();
    auto* main = new Ticonmain;
    b->AddAniFrame(Icon("old.ico", 0xFF000000u), "open");
    const QString a = Icon("a.ico", 0xFFFF0000u), c = Icon("c.ico", 0xFF0000FFu);
    WriteAniFile({a, c, a}, {"5", "6", "7"}, 0, 0, 1, dir_.filePath("three.ani"));
    {
        TIconmainFiles files(*main);
        OpenAniInEditor(files, dir_.filePath("three.ani"));
    }
    ASSERT_EQ(b->FrameCount(), 3);
    EXPECT_EQ(Colour(1), 0xFFFF0000u);
    EXPECT_EQ(Colour(2), 0xFF0000FFu);
    EXPECT_EQ(b->FrameDurations, (std::vector<QString>{"5", "6", "7"}));
    EXPECT_TRUE(b->isVisible());

    // The main window's command shows the builder; a document's hand-off frame joins it unchanged.
    b->Hide();
    ClickComponentByName(main, "AnimationCursorBuilder1");
    EXPECT_TRUE(b->isVisible());
    const QString handOff = WriteTestFile(ScratchPath("ani_ico3.ico"), TestIconFile({{32, 32}}, 0xFF00FF00u));
    AnimationBuilders()->AddAniFrame("dorvelt", "new");
    ASSERT_EQ(b->FrameCount(), 4);
    // The builder keeps a copy of its own: the document's next hand-off may reuse the name.
    EXPECT_NE(b->FrameFiles[3], handOff);
    QFile own(b->FrameFiles[3]);
    ASSERT_TRUE(own.open(QIODevice::ReadOnly));
    EXPECT_EQ(own.readAll(), TestIconFile({{32, 32}}, 0xFF00FF00u));
    EXPECT_EQ(Colour(4), 0xFF00FF00u);

    // Edit opens the current frame as a project of its own, which has no file to save back to.
    const QString before = main->ActiveDocumentName;
    b->CurrentFrame = 2;
    b->editClick(nullptr);
    EXPECT_NE(main->ActiveDocumentName, before);
    EXPECT_TRUE(FindForm(main->ActiveDocumentName));

    // The hot-spot dialog opened by the main window's command gives its Apply back to it, even
    // after the builder's Test used the dialog.
    b->suiButton3Click(nullptr);
    AnimationBuilders()->ShowCursorHotSpot(QImage(32, 32, QImage::Format_ARGB32));
    Tsethot* dialog = HotSpotDialog();
    EXPECT_EQ(dialog->Preview().pixel(11, 11), 0xFFFF0000u);
    qobject_cast<TsuiSpinEdit*>(dialog->FindComponent("setx"))->SetText("4");
    qobject_cast<TsuiSpinEdit*>(dialog->FindComponent("sety"))->SetText("6");
    Answer(mrOk);
    dialog->suiButton1Click(nullptr);
    EXPECT_EQ(main->HotSpotX, 4);
    EXPECT_EQ(main->HotSpotY, 6);
    EXPECT_EQ(b->HotSpotX(), 0) << "the builder's hot spot stays";
    SetAnimationBuilders(nullptr);
}

// Test and Edit without a frame say so, and the builder stays on screen.
TEST_F(AniBuilderTest, TestAndEditWithoutAFrameSaySo)
{
    b->Show();
    Answer(IDOK);
    ASSERT_TRUE(ClickComponentByName(b, "suiButton3"));
    ASSERT_TRUE(ClickComponentByName(b, "suiButton4"));
    EXPECT_EQ(asked, (QStringList{"There are no frames to test.", "There are no frames to edit."}));
    EXPECT_TRUE(b->isVisible());
}

TEST_F(AniBuilderTest, OneFrameIsAnAnimationThatCanBeSavedCutAndDeleted)
{
    auto enabled = [this](const char* name) { return b->FindComponent(name)->property("Enabled").toBool(); };
    for (const char* name : {"SaveBtn", "Save1", "CutBtn", "Cut1", "DeleteBtn", "Delete1"})
        EXPECT_FALSE(enabled(name)) << name;
    b->InsertFile(Icon("one.ico", 0xFF00FF00u));
    ASSERT_EQ(b->FrameCount(), 1);
    for (const char* name : {"SaveBtn", "Save1", "CutBtn", "Cut1", "DeleteBtn", "Delete1"})
        EXPECT_TRUE(enabled(name)) << name;
    const QString chosen = dir_.filePath("one.ani");
    TDialogAnswererScope person([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkSave)
            r.Dialog->setProperty("FileName", chosen);
        r.Result = 1;
        return true;
    });
    ASSERT_TRUE(ClickComponentByName(b, "SaveBtn"));
    QFile saved(chosen);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const TAniCursor ani = ReadAniCursor(saved.readAll());
    EXPECT_EQ(ani.FrameCount, 1);
    EXPECT_EQ(ani.StepCount, 1);
}

TEST_F(AniBuilderTest, UnsavedFramesAreAskedAboutBeforeNewOpenOrCloseDropsThem)
{
    const QString opened = dir_.filePath("two.ani");
    WriteAniFile({Icon("r.ico", 0xFFFF0000u), Icon("g.ico", 0xFF00FF00u)}, {"5", "6"}, 0, 0, 1, opened);
    new Ticonmain; // the builder's Open reads through the main window
    InstallAnimationBuilders();
    QStringList questions;
    int answer = mrCancel;
    QString saveAs;
    TDialogAnswererScope person([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkMessageDlg) {
            questions << r.Text;
            r.Result = answer;
        } else if (r.Kind == TDialogRequest::dkOpen || r.Kind == TDialogRequest::dkSave) {
            const QString chosen = r.Kind == TDialogRequest::dkOpen ? opened : saveAs;
            r.Dialog->setProperty("FileName", chosen);
            r.Result = chosen.isEmpty() ? 0 : 1;
        } else {
            r.Result = IDOK;
        }
        return true;
    });
    const QString question = "Save changes to current animation?";
    b->Show();
    b->AddAniFrame(Icon("mine.ico", 0xFF123456u), "open");

    // Cancel keeps the frames through New, the builder's Open and Close.
    ASSERT_TRUE(ClickComponentByName(b, "NewBtn"));
    ASSERT_TRUE(ClickComponentByName(b, "OpenBtn"));
    ASSERT_TRUE(ClickComponentByName(b, "suiButton6"));
    EXPECT_EQ(questions, QStringList({question, question, question}));
    EXPECT_EQ(b->FrameCount(), 1);
    EXPECT_TRUE(b->isVisible());

    // Yes saves first; a save dialog that is cancelled keeps the frames.
    answer = mrYes;
    ASSERT_TRUE(ClickComponentByName(b, "OpenBtn"));
    EXPECT_EQ(b->FrameCount(), 1);
    saveAs = dir_.filePath("mine.ani");
    ASSERT_TRUE(ClickComponentByName(b, "OpenBtn"));
    EXPECT_TRUE(QFile::exists(saveAs));
    ASSERT_EQ(b->FrameCount(), 2);
    EXPECT_EQ(Colour(1), 0xFFFF0000u);

    // An opened file, and a saved one, have nothing to ask about.
    questions.clear();
    ASSERT_TRUE(ClickComponentByName(b, "suiButton6"));
    EXPECT_FALSE(b->isVisible());
    b->Show();
    b->DownBtnClick(nullptr);
    b->CurrentFrame = 1;
    b->DownBtnClick(nullptr);
    saveAs = dir_.filePath("mine-again.ani");
    ASSERT_TRUE(ClickComponentByName(b, "SaveBtn"));
    ASSERT_TRUE(ClickComponentByName(b, "NewBtn"));
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_EQ(b->FrameCount(), 0);

    // No lets the frames go.
    b->AddAniFrame(Icon("mine.ico", 0xFF123456u), "open");
    answer = mrNo;
    ASSERT_TRUE(ClickComponentByName(b, "NewBtn"));
    EXPECT_EQ(questions, QStringList({question}));
    EXPECT_EQ(b->FrameCount(), 0);
    SetAnimationBuilders(nullptr);
}

TEST_F(AniBuilderTest, AnOpenedAnimatedCursorKeepsItsHotSpotsAndShowsItsFrameSize)
{
    auto* main = new Ticonmain;
    InstallAnimationBuilders();
    auto open = [&](const QString& path) {
        TIconmainFiles files(*main);
        OpenAniInEditor(files, path);
    };
    auto saved = [&](const char* name) {
        const QString path = dir_.filePath(name);
        b->WriteAniFile(path);
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? ReadAniCursor(file.readAll()) : TAniCursor();
    };
    // A published file: 18 frames of 48 by 48 pixels (and a 32 by 32 image each), hot spot 1, 12.
    open(WriteTestFile(dir_.filePath("published.ani"), ReadTestData("open/test-animation.ani")));
    ASSERT_EQ(b->FrameCount(), 18);
    EXPECT_EQ(b->HotSpotX(), 1);
    EXPECT_EQ(b->HotSpotY(), 12);
    EXPECT_EQ(Caption("FrameW"), "48");
    EXPECT_EQ(Caption("FrameH"), "48");
    EXPECT_EQ(saved("published-again.ani").HotSpots, std::vector<QPoint>(18, QPoint(1, 12)));

    // Frames with hot spots of their own keep them; a frame added later takes the first one's.
    QFile two(dir_.filePath("two.ani"));
    ASSERT_TRUE(two.open(QIODevice::WriteOnly));
    two.write(BuildAniFile({Icon("a.ico", 0xFFFF0000u), Icon("b.ico", 0xFF0000FFu)}, {"10", "10"}, 0, 0,
                           {QPoint(3, 4), QPoint(20, 30)}));
    two.close();
    open(two.fileName());
    EXPECT_EQ(Caption("FrameW"), "32");
    b->AddAniFrame(Icon("c.ico", 0xFF00FF00u), "open");
    EXPECT_EQ(saved("two-again.ani").HotSpots, (std::vector<QPoint>{{3, 4}, {20, 30}, {3, 4}}));

    // The hot-spot dialog's Apply sets every frame's.
    b->SetHotSpot(5, 6);
    EXPECT_TRUE(b->Modified);
    EXPECT_EQ(saved("applied.ani").HotSpots, std::vector<QPoint>(3, QPoint(5, 6)));
    SetAnimationBuilders(nullptr);
}

TEST_F(AniBuilderTest, EveryControlHasItsHandler)
{
    for (TForm* form : std::initializer_list<TForm*>{b, HotSpotDialog(), FramePicker()})
        for (QObject* c : form->Components()) {
            const bool command = qobject_cast<TMenuItem*>(c) || c->objectName().endsWith("Btn") ||
                                 c->objectName().startsWith("suiButton");
            if (command && !c->objectName().isEmpty() && c->property("Caption").toString() != "-")
                EXPECT_TRUE(HasClickHandler(c)) << form->objectName().toStdString() << "." << c->objectName().toStdString();
        }
}
