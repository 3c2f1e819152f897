#include "import/openimage.h"

#include "document/scratch_folder.h"
#include "framework/commands.h"
#include "framework/menus.h"
#include "imaging/toolkit/toolkit_test_support.h"
#include "import/formscreen.h"
#include "import/import_test_support.h"
#include "import/import_windows.h"
#include "import/loadimagedorv.h"
#include "mainwindow/file_host.h"
#include "testsupport/testdata.h"

#include <QImage>

using namespace importtest;

namespace {

constexpr QRgb kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;

class Viewer : public ImportWindowTest {
protected:
    Topenimage* Make(int number = 3)
    {
        auto* viewer = new Topenimage;
        viewer->ViewerNumber = number;
        viewer->Show();
        return viewer;
    }
};

} // namespace

TEST_F(Viewer, GifFramesKeepTheirOwnTransparentColour)
{
    // Frame 1 makes red transparent, frame 2 green.
    const QString gif = Write("two.gif", MakeGif(2, 2, {{{0, 1, 2, 3}, 0}, {{0, 1, 2, 3}, 1}, {{2, 2, 2, 2}, -1}}));
    Topenimage* v = Make();
    ASSERT_TRUE(v->ExtractGifFrames(gif));
    EXPECT_EQ(v->FrameCount, 3);
    EXPECT_EQ(v->SourceKind, "gif");
    EXPECT_EQ(v->SelectedFrame, 1);
    const QImage f0(ScratchPath("gif_3_0.png")), f1(ScratchPath("gif_3_1.png")), f2(ScratchPath("gif_3_2.png"));
    ASSERT_FALSE(f0.isNull());
    ASSERT_FALSE(f1.isNull());
    EXPECT_EQ(f0.pixel(0, 0), 0u);
    EXPECT_EQ(f0.pixel(1, 0), kGreen);
    EXPECT_EQ(f1.pixel(0, 0), kRed);
    EXPECT_EQ(f1.pixel(1, 0) >> 24, 0u);
    EXPECT_EQ(f1.pixel(0, 1), kBlue);
    EXPECT_EQ(f2.pixel(1, 1), kBlue);
}

TEST_F(Viewer, LayeredPictureGivesLayersThenComposite)
{
    const QString psd = Write("three.psd", toolkit_test::ThreeLayerPsd());
    Topenimage* v = Make(4);
    ASSERT_TRUE(v->ExtractImagePages(psd));
    EXPECT_EQ(v->FrameCount, 4);
    EXPECT_EQ(v->SelectedFrame, 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(QFile::exists(ScratchPath(QStringLiteral("gif_4_%1.png").arg(i)))) << i;
    EXPECT_EQ(QImage(ScratchPath("gif_4_3.png")).size(), QSize(32, 24));
}

TEST_F(Viewer, ALayerThatCannotBeReadLeavesItsCellEmptyAndTheSplitGoesOn)
{
    InstallImportWindows();
    SetImportFileHostMaker([this] { return std::make_unique<TPlainFileHost>(state); });
    QByteArray damaged = toolkit_test::ThreeLayerPsd();
    toolkit_test::DamageLayerData(damaged, 1);
    TFileHost host(state);
    host.OpenInViewer(Write("damaged.psd", damaged), 6, true, "damaged.psd");
    ASSERT_NE(openimage, nullptr);
    EXPECT_TRUE(openimage->Visible());
    EXPECT_EQ(openimage->FrameCount, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(QFile::exists(ScratchPath(QStringLiteral("gif_6_%1.png").arg(i))), i != 1) << i;
    EXPECT_EQ(QImage(ScratchPath("gif_6_2.png")).size(), QSize(6, 6));
    SetFileWindowHooks({});
    SetImportFileHostMaker(nullptr);
}

TEST_F(Viewer, UnreadableFilesAreRefusedWithAMessage)
{
    const QString gif = Write("bad.gif", "GIF89a garbage");
    const QString psd = Write("bad.psd", "8BPS garbage");
    Topenimage* v = Make();
    EXPECT_FALSE(v->ExtractGifFrames(gif));
    EXPECT_FALSE(v->ExtractImagePages(psd));
    EXPECT_EQ(v->FrameCount, 0);
    EXPECT_EQ(Messages.size(), 2);
}

TEST_F(Viewer, SelectionIsHandedToANewImportWindow)
{
    std::vector<uint8_t> pixels(16 * 16, 3);
    for (int y = 4; y < 8; ++y)
        for (int x = 2; x < 6; ++x)
            pixels[size_t(y * 16 + x)] = 2;
    const QString gif = Write("big.gif", MakeGif(16, 16, {{pixels, -1}}));
    Topenimage* v = Make();
    v->resize(732, 614);
    ASSERT_TRUE(v->ExtractGifFrames(gif));
    const int z = v->ZoomX;
    ASSERT_GE(z, 1);
    // Drag from bottom right to top left over picture cells (2, 4)..(5, 7).
    v->showimage0MouseDown(v, mbLeft, {}, 6 * z, 8 * z);
    v->showimageMouseMove(v, TShiftState(ssLeft), 2 * z, 4 * z);
    v->showimageMouseUp(v, mbLeft, {}, 2 * z, 4 * z);
    EXPECT_EQ(v->Selection, QRect(QPoint(2 * z, 4 * z), QPoint(6 * z, 8 * z)));
    ClickComponent(v->FindComponent("ico1"));
    ASSERT_NE(v->LastImportWindow, nullptr);
    EXPECT_EQ(v->LastImportWindow->SourceCode, 1);
    const QImage part = v->LastImportWindow->SelectedPicture;
    ASSERT_EQ(part.size(), QSize(4, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(part.pixel(x, y), kBlue);

    // The whole picture through the other menu, then full screen.
    ClickComponent(v->FindComponent("MenuItem1"));
    EXPECT_EQ(v->LastImportWindow->SelectedPicture.size(), QSize(16, 16));
    ClickComponent(v->FindComponent("MenuItem2"));
    ASSERT_NE(v->LastFullScreen, nullptr);
    EXPECT_EQ(v->LastFullScreen->ShownPicture.size(), QSize(16, 16));
}

TEST_F(Viewer, EveryMenuItemHasAHandler)
{
    Topenimage* v = Make();
    for (const char* name : {"ico1", "N1", "N3", "N7", "N8", "MenuItem1", "MenuItem2", "MenuItem9", "MenuItem10"})
        EXPECT_TRUE(HasClickHandler(v->FindComponent(name))) << name;
    // Nothing shown yet: each says so rather than doing nothing.
    for (const char* name : {"ico1", "N1", "N3"})
        ClickComponent(v->FindComponent(name));
    EXPECT_EQ(Messages.size(), 3);
    ClickComponent(v->FindComponent("N8"));
    EXPECT_EQ(qobject_cast<TControl*>(v->FindComponent("Panel1"))->Align(), alRight);
    ClickComponent(v->FindComponent("MenuItem9"));
    EXPECT_EQ(qobject_cast<TControl*>(v->FindComponent("Panel1"))->Align(), alLeft);
}

TEST_F(Viewer, FullScreenCentresThePictureAndClosesOnClick)
{
    auto* screen = new Tformscreen;
    screen->SetBounds(0, 0, 1024, 768);
    QImage picture(100, 50, QImage::Format_ARGB32);
    picture.fill(kRed);
    screen->ShowPicture(picture);
    EXPECT_EQ(screen->PictureOrigin(), QPoint(462, 359));
    const QImage shot = screen->grab().toImage();
    EXPECT_EQ(shot.pixel(462, 359), kRed);
    EXPECT_EQ(shot.pixel(461, 359), 0xFF000000u);
    ClickComponent(screen);
    screen->FormClick(screen);
    EXPECT_FALSE(screen->isVisible());
}

TEST_F(Viewer, OpenRoadsReachTheInstalledWindows)
{
    InstallImportWindows();
    // No main window here: projects are plain windows.
    SetImportFileHostMaker([this] { return std::make_unique<TPlainFileHost>(state); });
    TFileHost host(state);
    EXPECT_FALSE(host.ViewerExists());
    host.OpenInViewer(Write("anim.gif", MakeGif(2, 2, {{{0, 1, 2, 3}, -1}, {{3, 3, 3, 3}, -1}})), 5, true, "anim.gif");
    ASSERT_NE(openimage, nullptr);
    EXPECT_TRUE(host.ViewerExists());
    EXPECT_EQ(openimage->FrameCount, 2);
    EXPECT_TRUE(QFile::exists(ScratchPath("gif_5_1.png")));

    QImage picture(6, 4, QImage::Format_ARGB32);
    picture.fill(kGreen);
    picture.save(dir.filePath("p.png"));
    host.OpenPictureInImportWindow(dir.filePath("p.png"));
    ASSERT_NE(loadimagedorv, nullptr);
    EXPECT_EQ(loadimagedorv->SelectedPicture.size(), QSize(6, 4));
    EXPECT_FALSE(loadimagedorv->LibraryMode);

    const QString library = Write("many.dll", ReadTestData("iconlib/many_groups.dll"));
    host.OpenLibraryInImportWindow(library);
    EXPECT_TRUE(loadimagedorv->LibraryMode);
    EXPECT_GT(loadimagedorv->GroupCount, 7);
    SetFileWindowHooks({});
    SetImportFileHostMaker(nullptr);
}
