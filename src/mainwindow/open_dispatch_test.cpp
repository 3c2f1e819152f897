#include "mainwindow/open_dispatch.h"

#include "document/scratch_folder.h"
#include "imaging/icons/ani_test_files.h"
#include "imaging/icons/icon_image_list.h"
#include "imaging/icons/icon_library1.h"
#include "mainwindow/testing_file_host.h"
#include "testsupport/testdata.h"

#include <QFile>
#include <QImage>

TEST(OpenDispatch, ExtensionDecidesTheRoadWithoutRegardToCase)
{
    const struct {
        const char* name;
        TOpenRoad road;
    } cases[] = {
        {"/pics/App.ICO", TOpenRoad::Icon},         {"photo.jpeg.ico", TOpenRoad::Icon},
        {"icons.ico.bak", TOpenRoad::ImportWindow}, {"a.Cur", TOpenRoad::Cursor},
        {"a.ani", TOpenRoad::AnimatedCursor},       {"a.EXE", TOpenRoad::IconLibrary},
        {"a.dll", TOpenRoad::IconLibrary},          {"a.icl", TOpenRoad::IconLibrary},
        {"a.gif", TOpenRoad::Viewer},               {"a.PSD", TOpenRoad::Viewer},
        {"a.bmp", TOpenRoad::Conversion},           {"a.jpeg", TOpenRoad::Conversion},
        {"a.rle", TOpenRoad::Conversion},           {"a.tiff", TOpenRoad::Conversion},
        {"a.wbmp", TOpenRoad::Conversion},          {"a.png", TOpenRoad::ImportWindow},
        {"a.tif", TOpenRoad::ImportWindow},         {"a.emf", TOpenRoad::ImportWindow},
        {"noextension", TOpenRoad::ImportWindow},   {"a.rie", TOpenRoad::ImportWindow},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OpenRoadOf(c.name), c.road) << c.name;
}

TEST_F(FileRoadsTest, EachRoadOpensWhatItShould)
{
    // An icon under a name with capitals opens under that name.
    host.OpenFileName = Write("Logo.ICO", ReadTestData("icons/pillow/hopper.ico"));
    OpenFileByName(host);
    EXPECT_TRUE(host.BuilderCreated);
    ASSERT_EQ(host.Documents.size(), 1u);
    EXPECT_EQ(host.Documents[0]->SavedFileName, Path("Logo.ICO"));

    host.OpenFileName = Write("arrow.cur", ReadTestData("icons/pillow/deerstalker.cur"));
    OpenFileByName(host);
    ASSERT_EQ(host.Documents.size(), 2u);
    EXPECT_EQ(host.Documents[1]->SavedFileName, Path("arrow.cur"));

    using namespace anitest;
    host.OpenFileName = Write("spin.ani", Riff(Header(1, 1) + FrameList({CursorFrame(0xFF123456)})));
    OpenFileByName(host);
    EXPECT_EQ(host.Documents.size(), 3u);
    EXPECT_EQ(host.BuilderFrames.size(), 1u);
    EXPECT_EQ(host.OpenFileName, Path("spin.ani"));

    // Pictures: converted ones reach the import window as PNG, the rest as they are.
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(0xFF00FF00);
    picture.save(Path("Pic.BMP"), "BMP");
    host.OpenFileName = Path("Pic.BMP");
    OpenFileByName(host);
    const QString png = ScratchPath("emforwmf.png");
    EXPECT_EQ(host.Log, (QStringList{"Convert " + Path("Pic.BMP"), "ImportPicture " + png}));
    EXPECT_EQ(QImage(png).size(), QSize(3, 2));
    // A picture that cannot be converted leaves no earlier conversion behind.
    host.OpenFileName = Write("broken.jpg", "not a picture");
    OpenFileByName(host);
    EXPECT_FALSE(QFile::exists(png));
    host.Log.clear();
    host.OpenFileName = Path("shot.png");
    OpenFileByName(host);
    EXPECT_EQ(host.Log, QStringList{"ImportPicture " + Path("shot.png")});
}

TEST_F(FileRoadsTest, IconLibrariesWithNoneOneOrSeveralIcons)
{
    host.OpenFileName = Write("text.exe", "MZ but nothing more");
    OpenFileByName(host);
    EXPECT_EQ(host.Messages, QStringList{"The file does not include icon or icon format is error"});
    EXPECT_EQ(host.MessageIcons, std::vector<TMessageIcon>{TMessageIcon::Warning});
    // Icons whose bytes lie past the end of the file: the same answer, not an error escaping.
    host.Messages.clear();
    host.OpenFileName = Write("outside.dll", ReadTestData("fuzz/pe_resources_fuzz/bad_data.dll"));
    EXPECT_NO_THROW(OpenFileByName(host));
    EXPECT_EQ(host.Messages, QStringList{"The file does not include icon or icon format is error"});
    host.Messages.clear();

    {
        TIconLibrary1 library;
        auto icon = std::make_unique<TAdvancedIcon>();
        ASSERT_TRUE(icon->LoadFromFile(TestDataPath("icons/pillow/python.ico")));
        library.Icons()->AddIcon("one", std::move(icon));
        library.SaveToFile(Path("One.icl"));
    }
    host.OpenFileName = Path("One.icl");
    OpenFileByName(host);
    ASSERT_EQ(host.Documents.size(), 1u);
    EXPECT_EQ(host.Documents[0]->FormatCount(), 3);
    EXPECT_EQ(host.LibraryIconCounter, 1);
    EXPECT_TRUE(QFile::exists(ScratchPath("icltoico1.ico")));
    // The project keeps no file in the scratch folder; the history keeps the library.
    EXPECT_TRUE(host.Documents[0]->SavedFileName.isEmpty());
    EXPECT_EQ(host.History, QStringList{Path("One.icl")});

    host.OpenFileName = TestDataPath("iconlib/many_groups.dll");
    OpenFileByName(host);
    EXPECT_EQ(host.Log, QStringList{"ImportLibrary " + TestDataPath("iconlib/many_groups.dll")});
    EXPECT_EQ(host.Documents.size(), 1u);
}

TEST_F(FileRoadsTest, ViewersAreNumberedByTheirRoad)
{
    host.DialogAnswer = Path("a.gif");
    OpenCommand(host);
    host.OpenFileName = Path("b.psd");
    OpenFileByName(host);
    OpenFileByName(host);
    EXPECT_EQ(host.Log, (QStringList{"Viewer " + Path("a.gif") + " 2 global [" + Path("a.gif") + "]",
                                     "Viewer " + Path("b.psd") + " 3 further []",
                                     "Viewer " + Path("b.psd") + " 4 further []"}));

    // The first viewer opened by name is the global one, number 1.
    host.ViewerOpen = false;
    host.Log.clear();
    OpenFileByName(host);
    EXPECT_EQ(host.Log, QStringList{"Viewer " + Path("b.psd") + " 1 global []"});

    // A cancelled dialog opens nothing.
    host.DialogAnswer.clear();
    host.Log.clear();
    OpenCommand(host);
    EXPECT_TRUE(host.Log.isEmpty());
}

TEST_F(FileRoadsTest, RecentMenuShowsTheLastTenOfTheHistory)
{
    for (int k = 1; k <= 12; ++k)
        host.History << Path(QStringLiteral("f%1.ico").arg(k));
    host.History[11] = "/aaaaaaaaaa/bbbbbbbbbb/cccccccccc/eeeeee.ico";
    FillRecentFiles(host);
    EXPECT_EQ(host.ComboItems.size(), 12);
    ASSERT_EQ(host.RecentCaptions.size(), 10);
    EXPECT_EQ(host.RecentPaths[1], Path("f3.ico"));
    EXPECT_EQ(host.RecentCaptions[10], "10 - /aaaaaaaaaa/bbbbbbbb.../eeeeee.ico");
    EXPECT_EQ(RecentItemLabel("c:\\aaaaaaaaaa\\bbbbbbbbbb\\cccccc.ico"), "c:\\aaaaaaaaaa\\bbbbbb...\\cccccc.ico");
    EXPECT_EQ(RecentItemLabel("/short/name.ico"), "/short/name.ico");

    // Missing files are reported by item; an existing one opens.
    OpenRecentItem(host, 1);
    OpenRecentItem(host, 2);
    EXPECT_EQ(host.Messages, (QStringList{"This file does not exist.", "The current file does not exist."}));
    Write("f4.ico", ReadTestData("icons/pillow/hopper.ico"));
    OpenRecentItem(host, 2);
    EXPECT_EQ(host.Documents.size(), 1u);
}

TEST_F(FileRoadsTest, RecentMenuWithoutHistoryKeepsItsPlaceholders)
{
    FillRecentFiles(host);
    EXPECT_TRUE(host.RecentCaptions.isEmpty());
    OpenRecentItem(host, 1);
    EXPECT_TRUE(host.Messages.isEmpty());
}

TEST_F(FileRoadsTest, ComboOpensOnlyAfterEnterAndDropsOpenTheirFirstFile)
{
    host.ComboText = "  " + Write("pick.ico", ReadTestData("icons/pillow/hopper.ico")) + " ";
    RecentComboKeyDown(host, 'A');
    RecentComboSelect(host);
    EXPECT_TRUE(host.Documents.empty());
    RecentComboKeyDown(host, 13);
    EXPECT_EQ(host.Documents.size(), 1u);
    host.ComboText = Path("gone.ico");
    RecentComboSelect(host);
    EXPECT_EQ(host.Messages, QStringList{"This file does not exist."});

    OpenDroppedFiles(host, {Path("pick.ico"), Path("x.png"), Path("y.png")});
    EXPECT_EQ(host.Documents.size(), 2u);
    EXPECT_TRUE(host.Log.isEmpty());
}
