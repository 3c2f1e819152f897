#include "mainwindow/iconmain.h"

#include "document/scratch_folder.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/dialogs.h"
#include "framework/imagelist.h"
#include "framework/qimage_bridge.h"
#include "framework/testing_forms.h"
#include "framework/timer.h"
#include "imaging/icons/bitmap_icon_writer.h"
#include "mainwindow/form36.h"
#include "mainwindow/program_start.h"
#include "platform/program_paths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

void Touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
}

// A program folder of its own; every window the test made is gone afterwards.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        QDir(dir_.path()).mkpath("data");
        SetProgramFolder(dir_.path());
    }
    void TearDown() override
    {
        // Document windows go with the frame that holds them.
        FreeEveryForm();
        SetProgramFolder(QString());
    }

    void WriteConfiguration(const QByteArray& text)
    {
        QFile f(dir_.path() + "/data/rozazuvidodiro.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    QTemporaryDir dir_;
};

} // namespace

TEST(WindowsVersion, Table)
{
    const struct {
        bool Nt;
        int Major, Minor;
        const char* Service;
        int Code;
        const char* Name;
    } cases[] = {
        {true, 3, 51, "", 5, "Window NT3"},   {true, 4, 0, "", 6, "Window NT4"},
        {true, 5, 0, "", 7, "Winodw 2000"},   {true, 5, 1, "", 9, "Window xp"},
        {true, 5, 2, "", 9, "Window xp"},     {false, 4, 0, " B ", 2, "Window 97"},
        {false, 4, 0, "", 1, "Window 95"},    {false, 4, 10, "A", 4, "Winodw 98SE"},
        {false, 4, 10, "", 3, "Winodw 98"},   {false, 4, 90, "", 8, "Winodw ME"},
        {true, 6, 0, "", 0, "Unknowon"},      {false, 0, 0, "", 0, "Unknowon"},
    };
    for (const auto& c : cases) {
        const TWindowsVersion v = WindowsVersionFor(c.Nt, c.Major, c.Minor, c.Service);
        EXPECT_EQ(v.Code, c.Code) << c.Major << "." << c.Minor;
        EXPECT_STREQ(v.Name, c.Name);
    }
}

TEST(CommandLine, FirstArgumentIsKeptWhenAnyNamesAPicture)
{
    const struct {
        QStringList Args;
        const char* Kept;
    } cases[] = {
        {{}, ""},
        {{"C:\\Pics\\Logo.ICO"}, "C:\\Pics\\Logo.ICO"},
        {{"readme.txt", "x.png"}, "readme.txt"},
        {{"c:\\my.icons\\a.txt"}, "c:\\my.icons\\a.txt"},
        {{"notes.txt", "list.doc"}, ""},
        {{"/home/me/anim.GIF"}, "/home/me/anim.GIF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CommandLineFileToKeep(c.Args), c.Kept) << c.Args.join(' ').toStdString();
}

TEST_F(MainWindow, CreationLeavesTheStartState)
{
    auto* main = new Ticonmain;
    EXPECT_EQ(iconmain, main);
    EXPECT_EQ(EditorState(), main);
    EXPECT_EQ(main->StartupStage, 1);
    EXPECT_EQ(main->StartupDone, 0);
    EXPECT_EQ(main->CurrentTool, 2);
    EXPECT_EQ(main->ToolImageIndex, 2); // Line, the start tool
    EXPECT_EQ(main->PenWidth, 1);
    EXPECT_EQ(main->LineCapStyle, 1);
    EXPECT_EQ(main->FillStyle, 1);
    EXPECT_EQ(main->RadialCenterX, 1.0);
    EXPECT_EQ(main->RadialCenterY, 1.0);
    EXPECT_EQ(main->HotSpotX, 0);
    EXPECT_EQ(main->HotSpotY, 0);
    EXPECT_EQ(main->VersionText, "1.0");
    EXPECT_EQ(main->BuildText, "050206");
    EXPECT_EQ(main->PatternFile, "image\\16color\\17.bmp");
    EXPECT_EQ(main->ActiveDocumentName, "newiconview");
    EXPECT_EQ(main->ActiveDocumentNumber, 1);
    EXPECT_EQ(main->DocumentCounter, 1);
    EXPECT_EQ(main->ViewerCounter, 1);
    EXPECT_TRUE(main->SkinFileName.isEmpty());
    EXPECT_EQ(main->SkinStyle, 0);
    EXPECT_TRUE(main->ColorPanelLive);
    EXPECT_EQ(main->SwatchTarget, "up");
    EXPECT_EQ(main->WindowsVersionName, "Unknowon");
    EXPECT_EQ(main->NewImageWidth, 48);
    EXPECT_EQ(main->NewImageKind, "XP");
    EXPECT_EQ(main->GridColor1, 0xFF8E8C8Cu);
    for (int n = 0; n <= 32; ++n)
        EXPECT_EQ(main->PaletteSelected[size_t(n)], n == 13 || n == 21) << n;
    EXPECT_EQ(main->EditText("upa"), "255");
    EXPECT_EQ(main->EditText("upr"), "0");
    EXPECT_EQ(main->EditText("downb"), "255");
    EXPECT_TRUE(main->acceptDrops());
    EXPECT_EQ(main->WindowState(), wsMaximized);
    EXPECT_TRUE(main->CommandLineFile.isEmpty());
}

TEST_F(MainWindow, ToolImagesFillTheThreeListsAndMissingFilesLeaveEmptyPlaces)
{
    // Only two pictures are installed: the normal first one and the first disabled one.
    QImage red(24, 24, QImage::Format_ARGB32);
    red.fill(0xFFFF0000);
    TBitmap bitmap;
    QImageToBitmap(red, bitmap);
    SaveBitmapAsIcon(&bitmap, dir_.path() + "/data/icon0.ico", 24, 24, 24);
    SaveBitmapAsIcon(&bitmap, dir_.path() + "/data/icon47.ico", 24, 24, 24);

    auto* main = new Ticonmain;
    ASSERT_TRUE(main->ImageList1 && main->ImageList2 && main->ImageList3);
    EXPECT_EQ(main->ImageList1->Count(), 23);
    EXPECT_EQ(main->ImageList2->Count(), 24);
    EXPECT_EQ(main->ImageList3->Count(), 13);
    EXPECT_EQ(main->ImageList1->Image(0).pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(qAlpha(main->ImageList1->Image(1).pixel(5, 5)), 0);
    // Picture 47 stands first twice in the disabled list.
    EXPECT_EQ(main->ImageList3->Image(0).pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(main->ImageList3->Image(1).pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(qAlpha(main->ImageList3->Image(2).pixel(5, 5)), 0);
}

TEST_F(MainWindow, StartWithoutArgumentsOpensTheFirstProject)
{
    WriteConfiguration("[up_color]\na=200\nr=10\ng=20\nb=30\n");
    Touch(dir_.path() + "/Brelnova_Studio_up.exe");
    StartProgram({});
    ASSERT_TRUE(iconmain);
    EXPECT_EQ(iconmain->StartupDone, 1);
    EXPECT_EQ(Form36, nullptr); // the splash is gone
    EXPECT_TRUE(FindForm("newiconview"));
    EXPECT_FALSE(FindForm("iconview1"));
    EXPECT_EQ(Application->Title(), "Brelnova Studio");

    iconmain->Timer3Timer(nullptr);
    TForm* project = FindForm("iconview1");
    ASSERT_TRUE(project);
    EXPECT_EQ(project->Caption(), "Project 1");
    EXPECT_TRUE(project->isVisible());
    EXPECT_EQ(iconmain->ActiveDocumentName, "iconview1");
    EXPECT_EQ(iconmain->ActiveDocumentNumber, 1);
    EXPECT_EQ(iconmain->DocumentCounter, 1);
    EXPECT_EQ(iconmain->StartupStage, 2);
    EXPECT_FALSE(iconmain->Timer3->Enabled());
    EXPECT_TRUE(QFile::exists(dir_.path() + "/Brelnova_Studio_up.exe")) << "a downloaded installer was never run";
    // The colour panel starts from the primary colour, which it primes last.
    EXPECT_EQ(iconmain->SwatchTarget, "up");
    EXPECT_EQ(iconmain->FindComponent("colorbara")->property("Position").toInt(), 200);
    EXPECT_EQ(iconmain->FindComponent("colorbarb")->property("Position").toInt(), 30);
    EXPECT_FALSE(Screen->Cursors(10).pixmap().isNull());
}

TEST_F(MainWindow, AnIconArgumentReplacesTheEmptyProject)
{
    StartProgram({"/pics/Logo.ICO", "other.txt"});
    EXPECT_EQ(iconmain->CommandLineFile, "/pics/Logo.ICO");
    iconmain->Timer3Timer(nullptr);
    EXPECT_FALSE(FindForm("iconview1"));
    EXPECT_EQ(iconmain->FindComponent("OpenDialog1")->property("FileName").toString(), "/pics/Logo.ICO");
    EXPECT_EQ(iconmain->StartupStage, 2);
}

TEST_F(MainWindow, APictureArgumentOpensBesideTheFirstProject)
{
    StartProgram({"notes.txt", "x.png"});
    EXPECT_EQ(iconmain->CommandLineFile, "notes.txt");
    iconmain->Timer3Timer(nullptr);
    EXPECT_TRUE(FindForm("iconview1"));
    EXPECT_EQ(iconmain->FindComponent("OpenDialog1")->property("FileName").toString(), "notes.txt");
}

TEST_F(MainWindow, ClosingAsksForEveryProjectAndEmptiesOnlyThisInstancesScratchFiles)
{
    const struct {
        int Answer;
        bool Closes;
    } cases[] = {{mrCancel, false}, {mrYes, false}, {mrNo, true}};
    // Yes saves first; cancelling that Save dialog keeps the program and its changes.
    for (const auto& c : cases) {
        StartProgram({});
        iconmain->Timer3Timer(nullptr);
        const QString root = QDir(dir_.path()).absolutePath() + "/UndoTemp/";
        Touch(ScratchPath("iconview1/1_1.png"));
        Touch(ScratchPath("gif.bmp"));
        QFile::setPermissions(ScratchPath("gif.bmp"), QFile::ReadOwner);
        // Another instance that still runs keeps its undo steps whenever this one closes.
        QLockFile other(root + "77777.lock");
        ASSERT_TRUE(other.tryLock(0));
        Touch(root + "77777/iconview1/1_1.png");

        QStringList questions, boxes;
        int saveDialogs = 0;
        TDialogAnswererScope answers([&](TDialogRequest& r) {
            if (r.Kind == TDialogRequest::dkMessageDlg) {
                questions << r.Text;
                r.Result = c.Answer;
            } else if (r.Kind == TDialogRequest::dkSave) {
                // Yes saves the project, which has no file yet: Save asks for one, and is cancelled.
                ++saveDialogs;
                r.Result = 0;
            } else {
                boxes << r.Caption + ": " + r.Text;
                r.Result = IDOK;
            }
            return true;
        });
        iconmain->Exit1Click(nullptr);
        // The template never asks; the project does, once.
        EXPECT_EQ(questions, QStringList({"Save changes to the Brelnova Studio \"Project 1\"before closing ?"}))
            << c.Answer;
        EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
        EXPECT_EQ(saveDialogs, c.Answer == mrYes ? 1 : 0) << c.Answer;
        // Closing the main window ends the program (the flag stays once set).
        EXPECT_EQ(Application->Terminated(), c.Closes) << c.Answer;
        EXPECT_EQ(QFile::exists(ScratchPath("iconview1/1_1.png")), !c.Closes) << c.Answer;
        EXPECT_EQ(QFile::exists(ScratchPath("gif.bmp")), !c.Closes) << c.Answer;
        EXPECT_TRUE(QDir(ScratchPath("iconview1")).exists());
        EXPECT_TRUE(QFile::exists(root + "77777/iconview1/1_1.png"));
        other.unlock();
        TearDown();
        SetUp();
    }
}

TEST_F(MainWindow, AFileThatStaysIsReportedAndTheWalkGoesOn)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser deletes from read-only folders";
    auto* main = new Ticonmain;
    Touch(ScratchPath("locked/a.png"));
    Touch(ScratchPath("free/b.png"));
    QFile::setPermissions(ScratchPath("locked"), QFile::ReadOwner | QFile::ExeOwner);
    QStringList boxes;
    TDialogAnswererScope answers([&](TDialogRequest& r) {
        boxes << r.Caption + "|" + r.Text;
        r.Result = IDOK;
        return true;
    });
    main->DeleteFilesInTree();
    QFile::setPermissions(ScratchPath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0], "Info|Delete File:" + QDir::toNativeSeparators(QDir(ScratchPath("locked")).absolutePath()) +
                            "/a.png Error!");
    EXPECT_FALSE(QFile::exists(ScratchPath("free/b.png")));
}

TEST_F(MainWindow, SplashClosesOnAClickOnlyAfterStartUp)
{
    auto* main = new Ticonmain;
    auto* splash = new TForm36;
    EXPECT_EQ(splash->FindComponent("build")->property("Caption").toString(), "( Build 50206 )");
    EXPECT_TRUE(splash->FindComponent("Image1")->property("Visible").toBool());
    EXPECT_FALSE(splash->FindComponent("Image2")->property("Visible").toBool());
    splash->Show();
    splash->Image1MouseUp(splash, mbLeft, TShiftState(), 5, 5);
    EXPECT_TRUE(splash->isVisible());
    main->StartupDone = 1;
    splash->Image1MouseUp(splash, mbLeft, TShiftState(), 5, 5);
    EXPECT_FALSE(splash->isVisible());

    // A version ending in 1 shows the second picture.
    splash->VersionText = "1.1";
    splash->FormCreate(splash);
    EXPECT_FALSE(splash->FindComponent("Image1")->property("Visible").toBool());
    EXPECT_TRUE(splash->FindComponent("Image2")->property("Visible").toBool());
}
