#include "imaging/gif/gif_animator.h"

#include "framework/bitmap.h"
#include "framework/forms.h"
#include "framework/streams.h"
#include "imaging/gif/gif_controls.h"
#include "imaging/gif/gif_image.h"
#include "imaging/gif/rx_timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

constexpr uint32_t Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, Yellow = 0xFFFFFF00;

bool WaitFor(const std::function<bool()>& cond, int ms = 4000)
{
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

struct FrameSpec {
    int x, y, w, h;
    uint32_t argb;
    int disposal;
    int delay = 0;
    // Pixels of the left half get this colour, which is the frame's transparent colour.
    uint32_t transparentLeftHalf = 0;
};

std::unique_ptr<TGIFImage> MakeGif(const std::vector<FrameSpec>& frames)
{
    auto gif = std::make_unique<TGIFImage>();
    for (const FrameSpec& f : frames) {
        TBitmap b(f.w, f.h, pf24bit);
        for (int y = 0; y < f.h; ++y)
            for (int x = 0; x < f.w; ++x)
                b.SetPixelArgb(x, y, f.transparentLeftHalf && x < f.w / 2 ? f.transparentLeftHalf : f.argb);
        const int i = gif->AddFrame(&b);
        TGIFFrame* frame = gif->GetFrame(i);
        frame->SetOrigin({f.x, f.y});
        frame->SetDisposal(uint8_t(f.disposal));
        frame->SetDelay(uint16_t(f.delay));
        if (f.transparentLeftHalf)
            frame->SetTransparentColor(f.transparentLeftHalf & 0xFFFFFF);
    }
    gif->RecomputeScreenSize();
    gif->SetFrameIndex(0);
    return gif;
}

QImage Pixels(TBitmap* b)
{
    return b ? b->ToImage().convertToFormat(QImage::Format_RGB32) : QImage();
}

// A 4 x 4 screen: a red base, a green corner cleared to the background afterwards, a blue corner
// that restores what was before it, and a yellow dot.
std::unique_ptr<TGIFImage> DisposalGif()
{
    return MakeGif({{0, 0, 4, 4, Red, 1},
                    {0, 0, 2, 2, Green, 2},
                    {2, 2, 2, 2, Blue, 3},
                    {3, 0, 1, 1, Yellow, 1}});
}

} // namespace

TEST(RxGIFAnimator, ComposesDisposalsAlikeInSequenceAndFromScratch)
{
    auto gif = DisposalGif();
    TRxGIFAnimator sequential;
    sequential.SetImage(gif.get());
    std::vector<QImage> played;
    for (int i = 0; i < 4; ++i) {
        TColor key;
        played.push_back(Pixels(sequential.ComposeAnimationFrame(i, key)));
        EXPECT_EQ(key, clNone);
    }
    for (int i = 0; i < 4; ++i) {
        TRxGIFAnimator fresh;
        fresh.SetImage(gif.get());
        TColor key;
        EXPECT_EQ(Pixels(fresh.ComposeAnimationFrame(i, key)), played[size_t(i)]) << "frame " << i;
    }
    const QRgb background = played[2].pixel(0, 0);
    EXPECT_NE(background, Red);
    EXPECT_EQ(played[1].pixel(1, 1), Green);
    EXPECT_EQ(played[2].pixel(1, 1), background) << "green cleared to the background";
    EXPECT_EQ(played[2].pixel(3, 3), Blue);
    EXPECT_EQ(played[3].pixel(3, 3), Red) << "blue frame restored what was before it";
    EXPECT_EQ(played[3].pixel(3, 0), Yellow);
    EXPECT_EQ(played[3].pixel(0, 0), background);
}

// A full-screen frame that restores what was before it cannot be where composition starts: the
// picture under it is the one before.
TEST(RxGIFAnimator, FullScreenRestorePreviousFrameIsNotAStart)
{
    auto gif = MakeGif({{0, 0, 3, 3, Red, 1}, {0, 0, 3, 3, Green, 3}, {0, 0, 1, 1, Yellow, 1}});
    TRxGIFAnimator animator;
    animator.SetImage(gif.get());
    TColor key;
    const QImage last = Pixels(animator.ComposeAnimationFrame(2, key));
    EXPECT_EQ(last.pixel(0, 0), Yellow);
    EXPECT_EQ(last.pixel(2, 2), Red);
}

TEST(RxGIFAnimator, TransparentFramesShowWhatLiesBelow)
{
    auto gif = MakeGif({{0, 0, 4, 2, Red, 1}, {0, 0, 4, 2, Blue, 1, 0, Green}});
    TRxGIFAnimator animator;
    animator.SetImage(gif.get());
    TColor key;
    const QImage composed = Pixels(animator.ComposeAnimationFrame(1, key));
    EXPECT_EQ(composed.pixel(0, 0), Red);
    EXPECT_EQ(composed.pixel(3, 1), Blue);
}

TEST(RxGIFAnimator, FrameDelayIsClampedAndOnlyForAnimations)
{
    struct Case {
        int delay;
        unsigned expected;
    } cases[] = {{0, 50}, {20, 50}, {120, 120}, {60000, 10000}};
    for (const Case& c : cases) {
        auto gif = MakeGif({{0, 0, 2, 2, Red, 1, c.delay}, {0, 0, 2, 2, Blue, 1, c.delay}});
        TRxGIFAnimator animator;
        animator.SetImage(gif.get());
        EXPECT_EQ(animator.FrameDelay(), c.expected) << c.delay;
        EXPECT_EQ(animator.Timer()->Interval(), c.expected) << c.delay;
    }
    auto single = MakeGif({{0, 0, 2, 2, Red, 1, 500}});
    TRxGIFAnimator still;
    still.SetImage(single.get());
    EXPECT_EQ(still.FrameDelay(), 0u);
    still.SetAnimate(true);
    EXPECT_FALSE(still.Timer()->ThreadRunning()) << "a single frame never ticks";
}

TEST(RxGIFAnimator, FrameIndexOutsideTheFramesChangesNothing)
{
    auto gif = DisposalGif();
    TRxGIFAnimator animator;
    animator.SetImage(gif.get());
    int changes = 0;
    animator.OnFrameChanged = [&](TObject*) { ++changes; };
    for (int bad : {4, -1, 0})
        animator.SetFrameIndex(bad);
    EXPECT_EQ(changes, 0);
    animator.SetFrameIndex(3);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(animator.FrameIndex(), 3);
    // A new image resets the frame to its own current one.
    animator.SetImage(gif.get());
    EXPECT_EQ(animator.FrameIndex(), 0);
}

TEST(RxGIFAnimator, AutoSizeTakesTheLogicalScreen)
{
    auto gif = MakeGif({{0, 0, 7, 5, Red, 1}, {2, 1, 9, 6, Blue, 1}});
    TRxGIFAnimator animator;
    EXPECT_EQ(animator.Width(), 105);
    animator.SetImage(gif.get());
    EXPECT_EQ(animator.Width(), 11);
    EXPECT_EQ(animator.Height(), 7);
}

class RxGIFAnimatorPlay : public ::testing::TestWithParam<bool> {};

// Without looping three frames play 1, 2, 0 and stop on frame 0, in both drawing modes; the
// notifications always run on the GUI thread.
TEST_P(RxGIFAnimatorPlay, PlaysOnceWithoutLoop)
{
    auto gif = MakeGif({{0, 0, 2, 2, Red, 1}, {0, 0, 2, 2, Green, 1}, {0, 0, 2, 2, Blue, 1}});
    TForm form;
    auto* animator = new TRxGIFAnimator(&form);
    animator->SetAsyncDrawing(GetParam());
    animator->SetImage(gif.get());
    animator->SetLoop(false);
    std::vector<int> shown;
    bool onGui = true, started = false, stopped = false;
    animator->OnFrameChanged = [&](TObject*) {
        shown.push_back(animator->FrameIndex());
        onGui = onGui && QThread::currentThread() == qApp->thread();
    };
    animator->OnStart = [&](TObject*) { started = true; };
    animator->OnStop = [&](TObject*) { stopped = true; };
    animator->SetAnimate(true);
    EXPECT_TRUE(started);
    ASSERT_TRUE(WaitFor([&] { return stopped; }));
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 0}));
    EXPECT_TRUE(onGui);
    EXPECT_FALSE(animator->Animate());
    EXPECT_EQ(animator->FrameIndex(), 0);
    EXPECT_FALSE(animator->Timer()->ThreadRunning());
}

TEST_P(RxGIFAnimatorPlay, DestroyedWhilePlaying)
{
    auto gif = MakeGif({{0, 0, 2, 2, Red, 1}, {0, 0, 2, 2, Green, 1}});
    for (int round = 0; round < 15; ++round) {
        TForm form;
        auto* animator = new TRxGIFAnimator(&form);
        animator->SetAsyncDrawing(GetParam());
        animator->SetImage(gif.get());
        int changes = 0;
        animator->OnFrameChanged = [&](TObject*) { ++changes; };
        animator->SetAnimate(true);
        ASSERT_TRUE(WaitFor([&] { return changes > 0; }));
        // Let the next tick get under way on the timer thread, then destroy.
        std::this_thread::sleep_for(std::chrono::milliseconds(round * 7 % 60));
        delete animator;
        QCoreApplication::processEvents();
    }
}

INSTANTIATE_TEST_SUITE_P(Drawing, RxGIFAnimatorPlay, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Async" : "OnGuiThread"; });

TEST(RxGIFAnimator, NoTickWithoutAParent)
{
    auto gif = MakeGif({{0, 0, 2, 2, Red, 1}, {0, 0, 2, 2, Green, 1}});
    TRxGIFAnimator animator;
    animator.SetImage(gif.get());
    animator.SetAnimate(true);
    EXPECT_TRUE(animator.Animate());
    WaitFor([] { return false; }, 200);
    EXPECT_EQ(animator.FrameIndex(), 0);
}

TEST(RxGIFAnimator, PaintsFrameOverTheParentWhereTransparent)
{
    // Blue right half over a transparent left half.
    auto gif = MakeGif({{0, 0, 4, 4, Blue, 1, 0, Green}});
    TForm form;
    form.SetColor(0x0000FF); // red as a framework colour
    form.resize(40, 40);
    auto* animator = new TRxGIFAnimator(&form);
    animator->SetColor(0x00FFFF); // yellow: what the control's own colour would show
    animator->SetImage(gif.get());
    animator->SetBounds(10, 10, 4, 4);
    form.show();
    const QImage shot = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel(11, 11), Red);
    EXPECT_EQ(shot.pixel(13, 12), Blue);

    animator->SetAutoSize(false);
    animator->SetStretch(true);
    animator->SetBounds(10, 10, 8, 8);
    const QImage stretched = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(stretched.pixel(16, 16), Blue);
    EXPECT_EQ(stretched.pixel(12, 16), Red);
}

// Form data from a definition: Animate comes before the image, which then sets the delay.
TEST(RxGIFAnimator, DefinitionWithAnimateBeforeTheImageData)
{
    RegisterGifControlClasses();
    auto gif = MakeGif({{0, 0, 3, 2, Red, 1, 300}, {0, 0, 3, 2, Blue, 1, 300}});
    gif->EncodeAllFrames();
    TMemoryStream data;
    gif->WriteData(&data);
    const QByteArray hex = data.Bytes().toHex().toUpper();
    TForm form;
    form.LoadDefinitionText("object AnimForm: TForm\n"
                            "  Width = 100\n  Height = 100\n"
                            "  object Anim1: TRxGIFAnimator\n"
                            "    Animate = True\n"
                            "    FrameIndex = 1\n"
                            "    Image.Data = {" + hex + "}\n"
                            "  end\n"
                            "end\n");
    auto* animator = qobject_cast<TRxGIFAnimator*>(FindComponent(&form, QStringLiteral("Anim1")));
    ASSERT_NE(animator, nullptr);
    EXPECT_TRUE(animator->Animate());
    EXPECT_EQ(animator->Image()->GetCount(), 2);
    EXPECT_EQ(animator->FrameIndex(), 0);
    EXPECT_EQ(animator->Timer()->Interval(), 300u);
    EXPECT_EQ(animator->Width(), 3);
}
