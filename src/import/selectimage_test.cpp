#include "import/selectimage.h"

#include "document/newiconview.h"
#include "document/scratch_folder.h"
#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/menus.h"
#include "framework/string_list.h"
#include "framework/timer.h"
#include "import/capture_devices.h"
#include "import/import_windows.h"
#include "import/searchimage.h"
#include "mainwindow/testing_started_program.h"
#include "skin/controls/tab_control.h"
#include "skin/form.h"
#include "skin/title_bar.h"

#include <QImage>
#include <QPalette>
#include <QWidget>
#include <QProcessEnvironment>

namespace {

// A desktop of 200 by 100 pixels whose colour tells where each pixel is.
class FakeScreen : public TScreenSource {
public:
    QPoint Pointer{100, 50};
    QList<QRect> Grabs;
    QPoint PointerPos() override { return Pointer; }
    QImage Grab(const QRect& block) override
    {
        Grabs << block;
        QImage out(block.size(), QImage::Format_ARGB32);
        for (int y = 0; y < block.height(); ++y)
            for (int x = 0; x < block.width(); ++x)
                out.setPixel(x, y, qRgb((block.x() + x) & 0xFF, (block.y() + y) & 0xFF, 0x40));
        return out;
    }
};

class FakeHotKey : public THotKey {
public:
    std::map<int, std::function<void(int)>> Held;
    int Registrations = 0;
    bool Register(int id, std::function<void(int)> pressed) override
    {
        ++Registrations;
        Held[id] = std::move(pressed);
        return true;
    }
    void Unregister(int id) override { Held.erase(id); }
    bool IsRegistered(int id) const override { return Held.count(id) != 0; }
    void Press()
    {
        auto held = Held;
        for (auto& [id, f] : held)
            f(id);
    }
};

class CaptureTool : public StartedProgram {
protected:
    void SetUp() override
    {
        auto s = std::make_unique<FakeScreen>();
        auto k = std::make_unique<FakeHotKey>();
        screen = s.get();
        key = k.get();
        Tselectimage::SetDevices(std::move(s), std::move(k));
        StartedProgram::SetUp();
        SetDialogAnswerer([this](TDialogRequest& r) {
            Asked << r.Text;
            r.Result = r.Text.startsWith("Image file has changed") ? IDYES : Answer;
            return true;
        });
    }
    void TearDown() override
    {
        SetDialogAnswerer(nullptr);
        StartedProgram::TearDown();
        Tselectimage::SetDevices(nullptr, nullptr);
    }
    void Tick()
    {
        selectimage->Timer2Timer(nullptr);
        selectimage->Timer1Timer(nullptr);
    }
    FakeScreen* screen = nullptr;
    FakeHotKey* key = nullptr;
    QStringList Asked;
    int Answer = IDOK;
};

} // namespace

TEST_F(CaptureTool, EnterPastesTheBlockAroundThePointerIntoTheCurrentImage)
{
    iconmain->NewImageWidth = 32;
    iconmain->NewImageHeight = 16;
    StartCaptureTool();
    ASSERT_NE(selectimage, nullptr);
    EXPECT_TRUE(key->IsRegistered(1002));
    EXPECT_EQ(Asked.value(0), "Press the Enter Key to capture the selected picture.");
    Tick();
    ASSERT_EQ(screen->Grabs.size(), 1);
    EXPECT_EQ(screen->Grabs[0], QRect(100 - 16, 50 - 8, 32, 16));
    EXPECT_EQ(selectimage->SizeCaption(), "32 * 16");
    selectimage->FormPaint(nullptr);
    EXPECT_EQ(qobject_cast<TsuiTabControl*>(selectimage->FindComponent("suiTabControl3"))->TabList(), QStringList({"32 * 16"}));
    // The block, its tab and the pointer box lie whole below the skinned title bar.
    const QWidget* title = qobject_cast<TsuiForm*>(selectimage->FindComponent("suiForm1"))->TitleBar();
    const int below = title->mapTo(selectimage, QPoint(0, title->height())).y();
    for (const char* name : {"suiTabControl3", "Image1", "Edit1"}) {
        auto* part = qobject_cast<QWidget*>(selectimage->FindComponent(name));
        const QRect at(part->mapTo(selectimage, QPoint(0, 0)), part->size());
        EXPECT_GE(at.top(), below) << name;
        EXPECT_TRUE(selectimage->rect().contains(at)) << name;
    }
    Tick(); // the pointer has not moved: no new sample
    EXPECT_EQ(screen->Grabs.size(), 1);

    key->Press();
    key->Press(); // a second Enter asks nothing more
    EXPECT_EQ(Asked.count("Do you want to paste the picture that you just captured into the current icon?"), 1);
    EXPECT_FALSE(key->IsRegistered(1002));
    const QImage saved(ScratchPath("selectimage.bmp"));
    ASSERT_EQ(saved.size(), QSize(32, 16));
    EXPECT_EQ(saved.pixel(0, 0), qRgb(84, 42, 0x40));
    EXPECT_FALSE(selectimage->isVisible());
    // The document drew the block at its top left, over what was there.
    const QImage picture = Picture(doc);
    EXPECT_EQ(picture.pixel(0, 0), qRgb(84, 42, 0x40));
    EXPECT_EQ(picture.pixel(31, 15), qRgb(115, 57, 0x40));
}

TEST_F(CaptureTool, EnterBeforeAnySampleOrAfterCancelPastesNothing)
{
    StartCaptureTool();
    key->Press(); // no sample yet: the tool stays open and keeps sampling
    EXPECT_TRUE(selectimage->isVisible());
    EXPECT_EQ(Asked.size(), 1);
    Tick();
    EXPECT_EQ(screen->Grabs.size(), 1);
    Answer = IDCANCEL;
    key->Press();
    EXPECT_FALSE(selectimage->isVisible());
    EXPECT_FALSE(QFile::exists(ScratchPath("selectimage.bmp")));
    EXPECT_FALSE(key->IsRegistered(1002));
}

TEST_F(CaptureTool, OnlyTheFirstThreeStartsShowTheHintAndTheBrowserKeepsTheWindow)
{
    for (int i = 0; i < 4; ++i) {
        StartCaptureTool();
        selectimage->Close();
        EXPECT_FALSE(key->IsRegistered(1002)); // closing releases Enter
    }
    EXPECT_EQ(Asked.count("Press the Enter Key to capture the selected picture."), 3);
    EXPECT_EQ(key->Registrations, 4);
    iconmain->CaptureFromBrowser = 1;
    StartCaptureTool();
    EXPECT_EQ(iconmain->CaptureFromBrowser, 0);
}

TEST_F(CaptureTool, TheMainWindowsCommandsOpenTheTools)
{
    InstallImportCommands(iconmain);
    for (const char* name : {"ToolButton19", "CaptureTool1"}) {
        if (selectimage)
            selectimage->Close();
        Asked.clear();
        ClickComponent(iconmain->FindComponent(name));
        ASSERT_NE(selectimage, nullptr) << name;
        EXPECT_TRUE(selectimage->isVisible()) << name;
    }
    EXPECT_EQ(CommandsWithoutHandler(selectimage), QStringList());
    for (const char* name : {"ToolButton21", "OntheComputer1"}) {
        Tsearchimage* before = searchimage;
        ClickComponent(iconmain->FindComponent(name));
        EXPECT_NE(searchimage, before) << name;
        ASSERT_NE(searchimage, nullptr);
    }
}

// With a real X display (xvfb-run), the desktop's own devices grab pixels and take Enter.
TEST(CaptureDesktop, RealGrabUnderX11)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display";
    // A red window on the desktop: the block grabbed from its middle is red once it is drawn.
    QWidget red;
    red.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    red.setAutoFillBackground(true);
    QPalette palette = red.palette();
    palette.setColor(QPalette::Window, Qt::red);
    red.setPalette(palette);
    red.setGeometry(40, 40, 64, 64);
    red.show();
    auto screen = MakeDesktopScreen();
    QImage shot;
    for (int i = 0; i < 500; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        shot = screen->Grab(QRect(64, 64, 16, 8));
        if (shot.pixel(0, 0) == qRgb(255, 0, 0) && shot.pixel(15, 7) == qRgb(255, 0, 0))
            break;
    }
    ASSERT_EQ(shot.size(), QSize(16, 8));
    EXPECT_EQ(shot.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(15, 7), qRgb(255, 0, 0));
    auto key = MakeDesktopHotKey();
    EXPECT_TRUE(key->Register(1002, [](int) {}));
    key->Unregister(1002);
}
