// The animation builders as a user meets them beside the documents: frames handed over from a
// document, the exit questions, an animated cursor opened through File > Open, the builders'
// frames opened as projects.

#include "app/start/testing_whole_program.h"

#include "animation/animator_form.h"
#include "animation/editani.h"
#include "animation/sethot.h"
#include "document/scratch_folder.h"
#include "framework/commands.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/icon.h"
#include "imaging/gif/gif_image.h"
#include "imaging/icons/ani_file.h"
#include "mainwindow/configuration_file.h"
#include "platform/gdip.h"
#include "testsupport/testdata.h"

#include <QApplication>
#include <QFile>
#include <QImage>

namespace {

class BuildersSeams : public WholeProgram {
protected:
    // The answers of the person at the screen: every question's text is kept.
    QStringList questions;
    std::vector<int> answers;  // to the questions, in turn; Cancel once they run out
    QString openFile, saveFile; // what the open and save dialogs choose; empty cancels them
    // For each question, whether a window of the program stayed on top of it.
    std::vector<bool> underAWindowOnTop;
    std::unique_ptr<TDialogAnswererScope> person;

    void SetUp() override
    {
        WholeProgram::SetUp();
        person = std::make_unique<TDialogAnswererScope>([this](TDialogRequest& r) {
            if (r.Kind == TDialogRequest::dkOpen || r.Kind == TDialogRequest::dkSave) {
                const QString chosen = r.Kind == TDialogRequest::dkOpen ? openFile : saveFile;
                static_cast<TOpenDialog*>(r.Dialog)->SetFileName(chosen);
                r.Result = chosen.isEmpty() ? 0 : 1;
                return true;
            }
            if (r.Kind == TDialogRequest::dkMessageDlg) {
                questions << r.Text;
                underAWindowOnTop.push_back(AWindowStaysOnTop());
                r.Result = questions.size() <= int(answers.size()) ? answers[size_t(questions.size() - 1)] : mrCancel;
                return true;
            }
            r.Result = r.Kind == TDialogRequest::dkForm ? mrCancel : IDOK;
            return true;
        });
    }
    void TearDown() override
    {
        person.reset();
        WholeProgram::TearDown();
    }

    static bool AWindowStaysOnTop()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && (w->windowFlags() & Qt::WindowStaysOnTopHint) && w->windowType() != Qt::ToolTip &&
                !(w->windowFlags() & Qt::WindowDoesNotAcceptFocus))
                return true;
        return false;
    }
    // The document's picture becomes one colour and goes to the animated cursor builder.
    void HandOver(QRgb colour)
    {
        GdipImageData(doc->CurrentImage())->fill(colour);
        ASSERT_TRUE(ClickComponentByName(iconmain, "NewANIProjectFromCurrentImage1"));
    }
    // The colour in the middle of each frame of an animated cursor file.
    std::vector<QRgb> FrameColours(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        std::vector<QRgb> colours;
        const TAniCursor ani = ReadAniCursor(file.readAll());
        for (size_t k = 0; k < ani.Frames.size(); ++k) {
            const QString frame = dir.filePath(QStringLiteral("frame%1.ico").arg(k));
            QFile out(frame);
            out.open(QIODevice::WriteOnly);
            out.write(ani.Frames[k]);
            out.close();
            TIcon icon;
            icon.LoadFromFile(frame);
            const QImage picture = icon.ToImage();
            colours.push_back(picture.pixel(picture.width() / 2, picture.height() / 2));
        }
        return colours;
    }
};

const QString kAnimationQuestion = QStringLiteral("Save changes to current animation?");

} // namespace

TEST_F(BuildersSeams, AFrameHandedOverNeverTakesTheFileOfAnotherFrame)
{
    const QRgb a = 0xFFFF0000u, b = 0xFF00FF00u, c = 0xFF0000FFu, d = 0xFFFFFF00u;
    HandOver(a);
    HandOver(b);
    HandOver(c);
    Teditani* builder = editani;
    ASSERT_TRUE(builder);
    ASSERT_EQ(builder->FrameCount(), 3);
    // Frame A goes; the next hand-over would once have reused the last frame's file.
    builder->Image1MouseDown(dynamic_cast<TObject*>(builder->FindComponent("Image1")), mbLeft, TShiftState(), 5, 5);
    answers = {mrOk};
    ASSERT_TRUE(ClickComponentByName(builder, "DeleteBtn"));
    ASSERT_EQ(builder->FrameCount(), 2);
    HandOver(d);
    ASSERT_EQ(builder->FrameCount(), 3);
    std::vector<QRgb> shown;
    for (const QImage& thumb : builder->Thumbnails)
        shown.push_back(thumb.pixel(16, 16));
    EXPECT_EQ(shown, (std::vector<QRgb>{b, c, d}));

    saveFile = dir.filePath("handed.ani");
    ASSERT_TRUE(ClickComponentByName(builder, "SaveBtn"));
    EXPECT_EQ(FrameColours(saveFile), (std::vector<QRgb>{b, c, d}));
}

TEST_F(BuildersSeams, ExitAsksEachBuilderAboutItsWorkAfterTheDocumentsWithNoBuilderOnTopOfTheQuestion)
{
    HandOver(0xFFFF0000u);
    ASSERT_TRUE(ClickComponentByName(iconmain, "NewGIFProjectFromCurrentImage1"));
    ASSERT_TRUE(AnimatorForm && AnimatorForm->Image()->GetCount() == 1);
    ASSERT_TRUE(ClickComponentByName(iconmain, "SetHotSpotforCursors1"));
    ASSERT_TRUE(editani->isVisible() && HotSpotDialog()->isVisible());
    ASSERT_TRUE(AWindowStaysOnTop());
    const QString documentQuestion = QStringLiteral("Save changes to the Brelnova Studio \"Project 1\"before closing ?");

    // The document: No; the GIF builder: No; the animated cursor builder: Cancel.
    answers = {mrNo, mrNo, mrCancel};
    ASSERT_TRUE(ClickComponentByName(iconmain, "Exit1"));
    EXPECT_EQ(questions, QStringList({documentQuestion, kAnimationQuestion, kAnimationQuestion}));
    EXPECT_EQ(underAWindowOnTop, std::vector<bool>(3, false));
    EXPECT_FALSE(Application->Terminated());
    EXPECT_TRUE(iconmain->isVisible());
    EXPECT_EQ(editani->FrameCount(), 1);
    // The builders step up again once the questions are answered.
    EXPECT_TRUE(editani->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(HotSpotDialog()->windowFlags() & Qt::WindowStaysOnTopHint);

    // Cancel for the GIF builder's work keeps the program open too.
    questions.clear();
    answers = {mrNo, mrCancel};
    ASSERT_TRUE(ClickComponentByName(iconmain, "Exit1"));
    EXPECT_EQ(questions.size(), 2);
    EXPECT_FALSE(Application->Terminated());

    // Yes saves the animated cursor before the program ends.
    questions.clear();
    answers = {mrNo, mrNo, mrYes};
    saveFile = dir.filePath("kept.ani");
    ASSERT_TRUE(ClickComponentByName(iconmain, "Exit1"));
    EXPECT_EQ(questions.size(), 3);
    EXPECT_EQ(FrameColours(saveFile), std::vector<QRgb>{0xFFFF0000u});
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(BuildersSeams, FileOpenOfAnAnimatedCursorAsksAboutUnsavedFramesAndKeepsItsHotSpot)
{
    HandOver(0xFF00FF00u);
    Teditani* builder = editani;
    openFile = dir.filePath("published.ani");
    QFile published(openFile);
    ASSERT_TRUE(published.open(QIODevice::WriteOnly));
    published.write(ReadTestData("open/test-animation.ani"));
    published.close();

    // Cancel: the builder keeps its frame and nothing opens.
    ASSERT_TRUE(ClickComponentByName(iconmain, "Open1"));
    EXPECT_EQ(questions, QStringList{kAnimationQuestion});
    EXPECT_EQ(builder->FrameCount(), 1);
    EXPECT_FALSE(FindForm("iconview2"));

    // No: the file's frames replace it, with their hot spot and size.
    answers = {mrNo};
    questions.clear();
    ASSERT_TRUE(ClickComponentByName(iconmain, "Open1"));
    EXPECT_EQ(questions, QStringList{kAnimationQuestion});
    ASSERT_EQ(builder->FrameCount(), 18);
    EXPECT_TRUE(FindForm("iconview2"));
    EXPECT_EQ(builder->HotSpotX(), 1);
    EXPECT_EQ(builder->HotSpotY(), 12);
    EXPECT_EQ(builder->FindComponent("FrameW")->property("Caption").toString(), "48");
    EXPECT_EQ(builder->FindComponent("FrameH")->property("Caption").toString(), "48");
    saveFile = dir.filePath("again.ani");
    ASSERT_TRUE(ClickComponentByName(builder, "SaveBtn"));
    QFile again(saveFile);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(ReadAniCursor(again.readAll()).HotSpots, std::vector<QPoint>(18, QPoint(1, 12)));

    // Frames just opened or saved are no unsaved work.
    questions.clear();
    ASSERT_TRUE(ClickComponentByName(iconmain, "Open1"));
    ASSERT_TRUE(ClickComponentByName(builder, "suiButton6"));
    EXPECT_TRUE(questions.isEmpty());
}

TEST_F(BuildersSeams, ScratchFilesOpenedAsProjectsAreNoRecentFiles)
{
    HandOver(0xFF0000FFu);
    // The builder's Edit opens its frame, a file of the scratch folder, as a project.
    ASSERT_TRUE(ClickComponentByName(editani, "suiButton4"));
    ASSERT_TRUE(FindForm("iconview2"));
    // A file of the user's own is remembered.
    openFile = dir.filePath("mine.ico");
    ASSERT_TRUE(QFile::copy(TestDataPath("icons/pillow/hopper.ico"), openFile));
    ASSERT_TRUE(ClickComponentByName(iconmain, "Open1"));
    ASSERT_TRUE(FindForm("iconview3"));
    EXPECT_EQ(ReadOpenHistory(), QStringList{openFile});
}
