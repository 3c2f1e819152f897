#include "mainwindow/cursor_reading.h"

#include "document/scratch_folder.h"
#include "framework/exceptions.h"
#include "imaging/icons/ani_test_files.h"
#include "mainwindow/testing_file_host.h"
#include "testsupport/testdata.h"

#include <QFile>

using namespace anitest;

namespace {

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray AsIcon(QByteArray cursor)
{
    cursor[2] = 1;
    return cursor;
}

const QByteArray kRed = CursorFrame(0xFFFF0000);
const QByteArray kGreen = CursorFrame(0xFF00FF00, 32, 4, 5);
const QByteArray kBlue = CursorFrame(0xFF0000FF);

} // namespace

TEST_F(FileRoadsTest, CursorOpensAsAProjectThatSavesBackToTheCursor)
{
    const QString path = Write("Deer.CUR", ReadTestData("icons/pillow/deerstalker.cur"));
    // The hot spot is written into the copy so that a wrong one would show.
    QByteArray bytes = FileBytes(path);
    bytes[10] = 7;
    bytes[12] = 9;
    Write("Deer.CUR", bytes);

    Tnewiconview* doc = OpenCursorAsProject(host, path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(host.Editor.CurrentFilePath, path);
    EXPECT_EQ(doc->SavedFileName, path);
    EXPECT_EQ(host.ComboText, path);
    EXPECT_EQ(host.History, QStringList{path});
    EXPECT_EQ(doc->FormatTable.Kind(1), "XP");
    EXPECT_EQ(doc->FormatTable.Width(1), "32");
    EXPECT_EQ(host.Editor.HotSpotX, 7);
    EXPECT_EQ(host.Editor.HotSpotY, 9);
    EXPECT_EQ(FileBytes(ScratchPath("cur.ico")), AsIcon(bytes));
}

TEST_F(FileRoadsTest, AnimatedCursorFramesAndRatesGoToTheBuilder)
{
    // Three frames in order with their rates.
    const QString three =
        Write("three.ani", Riff(Header(3, 3) + Chunk("rate", Values({10, 20, 30})) + FrameList({kRed, kGreen, kBlue})));
    Tnewiconview* doc = OpenAniAsProject(host, three);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(host.AniFrameCount, 3);
    EXPECT_EQ(host.AniStepCount, 3);
    EXPECT_EQ(FileBytes(AniFramePath(1)), AsIcon(kRed));
    EXPECT_EQ(FileBytes(AniFramePath(3)), AsIcon(kBlue));
    const QString first = ScratchPath("icotoico.ico");
    // Each frame keeps its hot spot.
    EXPECT_EQ(host.BuilderFrames, (std::vector<TAniBuilderFrame>{{first, "open", "10", {0, 0}},
                                                                 {AniFramePath(2), "open", "20", {4, 5}},
                                                                 {AniFramePath(3), "open", "30", {0, 0}}}));
    // The project is the first frame's, with no file of its own; the history has the cursor.
    EXPECT_TRUE(doc->SavedFileName.isEmpty());
    EXPECT_EQ(host.History, QStringList{three});
    EXPECT_EQ(host.OpenFileName, three);
    EXPECT_EQ(GdipImageData(doc->FormatImages[1])->pixel(0, 0), 0xFFFF0000u);

    // Two frames over four steps; the project's scratch copy of its file (ico + N) never takes
    // a frame's place.
    const QString steps = Write("steps.ani", Riff(Header(2, 4) + Chunk("rate", Values({5, 6, 7, 8})) +
                                                  Chunk("seq ", Values({1, 0, 1, 0})) + FrameList({kRed, kGreen})));
    ASSERT_NE(OpenAniAsProject(host, steps), nullptr);
    EXPECT_EQ(host.AniStepCount, 4);
    EXPECT_FALSE(QFile::exists(AniFramePath(3))); // nothing of the earlier file stays
    EXPECT_EQ(host.AniRates[5], 0);
    EXPECT_EQ(FileBytes(AniFramePath(1)), AsIcon(kRed));
    EXPECT_EQ(FileBytes(AniFramePath(2)), AsIcon(kGreen));
    EXPECT_EQ(host.BuilderFrames, (std::vector<TAniBuilderFrame>{{first, "open", "5", {4, 5}},
                                                                 {AniFramePath(1), "2", "6", {0, 0}},
                                                                 {AniFramePath(2), "3", "7", {4, 5}},
                                                                 {AniFramePath(1), "4", "8", {0, 0}}}));
    // The first step shows frame 2, and so does the project.
    EXPECT_EQ(FileBytes(first), AsIcon(kGreen));
    EXPECT_EQ(host.Editor.ActiveDocumentName, "iconview2");
}

TEST_F(FileRoadsTest, PublishedAnimatedCursorSplitsIntoItsFrames)
{
    const QString path = Write("test-animation.ani", ReadTestData("open/test-animation.ani"));
    Tnewiconview* doc = OpenAniAsProject(host, path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(host.AniFrameCount, 18);
    ASSERT_EQ(host.BuilderFrames.size(), 18u);
    for (const TAniBuilderFrame& f : host.BuilderFrames)
        EXPECT_EQ(f.Duration, "2");
    ASSERT_EQ(doc->FormatCount(), 2);
    EXPECT_EQ(doc->FormatTable.Width(1), "48");
    EXPECT_EQ(doc->FormatTable.Width(2), "32");

    // The builder's own Open hands the steps over without a project.
    host.BuilderFrames.clear();
    OpenAniInEditor(host, path);
    EXPECT_TRUE(host.BuilderCreated);
    ASSERT_EQ(host.BuilderFrames.size(), 18u);
    EXPECT_EQ(host.BuilderFrames[0].FileName, AniFramePath(1));
    EXPECT_EQ(host.Documents.size(), 1u);
}

TEST_F(FileRoadsTest, BadAnimatedCursorsAreRefusedAndLeaveNoFrames)
{
    ASSERT_TRUE(OpenAniFile(host, Write("good.ani", Riff(Header(1, 1) + FrameList({kRed})))));
    ASSERT_TRUE(QFile::exists(AniFramePath(1)));
    for (const QByteArray& bad : {ReadTestData("open/CVE-2022-48622.ani"), QByteArray("plain text, no header"),
                                  QByteArray()}) {
        host.Messages.clear();
        EXPECT_EQ(OpenAniAsProject(host, Write("bad.ani", bad)), nullptr);
        EXPECT_EQ(host.Messages, QStringList{"This ANI file is error"});
        EXPECT_FALSE(QFile::exists(AniFramePath(1)));
        EXPECT_EQ(host.AniFrameCount, 0);
    }
    EXPECT_EQ(host.Documents.size(), 0u);
    EXPECT_THROW(OpenAniFile(host, Path("missing.ani")), EFOpenError);
}
