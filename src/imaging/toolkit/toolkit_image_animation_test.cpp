#include "imaging/toolkit/toolkit_image.h"

#include "framework/timer.h"
#include "imaging/toolkit/toolkit_playback.h"
#include "imaging/toolkit/toolkit_regions.h"
#include "imaging/toolkit/toolkit_test_support.h"
#include "testsupport/testdata.h"

#include <Magick++.h>

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace imaging_test;
using namespace toolkit_test;

namespace {

QString Gif(const char* name)
{
    return TestDataPath(QStringLiteral("gif/suite/%1.gif").arg(QLatin1String(name)));
}

// Red, green, blue, alpha of every pixel, row after row; pixels with alpha 0 read as 0 throughout,
// whatever colour they keep.
QByteArray Rgba(const TKBitmap& b)
{
    QByteArray out;
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x) {
            const uint8_t* p = b.Row(y) + x * (b.BitsPerPixel / 8);
            const uint8_t a = b.BitsPerPixel == 32 ? p[3] : 255;
            const uint8_t px[4] = {a ? p[2] : uint8_t(0), a ? p[1] : uint8_t(0), a ? p[0] : uint8_t(0), a};
            out.append(reinterpret_cast<const char*>(px), 4);
        }
    return out;
}

QByteArray Expected(const QString& name)
{
    return ReadTestData(QStringLiteral("gif/suite/%1.rgba").arg(name));
}

class ToolkitAnimationTest : public ImagingTest {
protected:
    void SetUp() override
    {
        ImagingTest::SetUp();
        control = std::make_unique<TToolkitImage>();
        control->SetName(QStringLiteral("Anim"));
        control->OnAnimate = [this](TObject*, bool on) { animateEvents.push_back(on); };
    }
    QString Fixture(const char* name, const QByteArray& data) const
    {
        const QString path = dir.filePath(QLatin1String(name));
        WriteFile(path, data);
        return path;
    }
    TTimer* Timer() const { return control->findChild<TTimer*>(QStringLiteral("AnimationTimer")); }
    // One tick of the animation timer, as the event loop would give it.
    void Tick() const { Timer()->Timer(); }
    QByteArray Shown() const { return Rgba(control->ToolkitBitmap); }
    int32_t ListCount() const
    {
        int32_t count = -1;
        TK_GetBitmapListCount(control->BitmapList, &count);
        return count;
    }

    QTemporaryDir dir;
    std::unique_ptr<TToolkitImage> control;
    std::vector<bool> animateEvents;
};

QString Raised(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const EToolkitImageError& e) {
        return e.Message();
    }
    return QString();
}

// The playback puts each page at its offset over what the pages before left, as their disposal
// says, and starts over after the last page.
TEST_F(ToolkitAnimationTest, PlaybackComposesPagesWithOffsetsAndDisposal)
{
    const struct {
        const char* File;
        int Skip; // pages shown before the first expected frame
        const char* Frames;
    } cases[] = {
        {"animation", 0, "animation"},
        {"dispose-none", 0, "animation-fill"},
        {"dispose-restore-background", 0, "animation-erase"},
        {"dispose-restore-previous", 1, "animation"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        ASSERT_EQ(control->Load(Gif(c.File), 0, 1, -1), 1);
        TKBitmap canvas;
        ASSERT_EQ(TK_CreatePlaybackCanvas(&canvas, 2, 2, 0), TK_Success);
        TKPlayback playback = 0;
        ASSERT_EQ(TK_CreatePlayback(&canvas, control->BitmapList, &playback), TK_Success);
        const auto showNext = [&] {
            int32_t state = 0;
            TK_ProcessPlayback(playback, &state);
            if (state == TKPS_Waiting) {
                TK_CancelPlaybackWait(playback);
                TK_ProcessPlayback(playback, &state);
            }
            if (state == TKPS_Ended)
                TK_ProcessPlayback(playback, &state);
            EXPECT_EQ(state, TKPS_Paint);
            TK_ProcessPlayback(playback, &state);
            EXPECT_EQ(state, TKPS_Shown);
        };
        for (int round = 0; round < 2; ++round) {
            for (int i = 0; i < c.Skip; ++i)
                showNext();
            for (int i = 0; i < 4; ++i) {
                showNext();
                EXPECT_EQ(Rgba(canvas), Expected(QStringLiteral("%1.%2").arg(QLatin1String(c.Frames)).arg(i)))
                    << "round " << round << " frame " << i;
            }
            int32_t state = 0, delay = 0;
            TK_GetPlaybackDelay(playback, &delay);
            EXPECT_EQ(delay, 500);
            TK_CancelPlaybackWait(playback);
            TK_ProcessPlayback(playback, &state);
            EXPECT_EQ(state, TKPS_Ended);
        }
        // Starting at a page draws the pages before it first.
        ASSERT_EQ(TK_SetPlaybackIndex(playback, 2 + c.Skip), TK_Success);
        showNext();
        EXPECT_EQ(Rgba(canvas), Expected(QStringLiteral("%1.2").arg(QLatin1String(c.Frames))));
        TKBitmapList list = 0;
        ASSERT_EQ(TK_DestroyPlayback(playback, &list), TK_Success);
        int32_t count = 0;
        TK_GetBitmapListCount(list, &count);
        EXPECT_EQ(count, 4 + c.Skip);
        TK_DestroyBitmapList(list);
    }
}

// An animated file loaded with AutoAnimate plays on a canvas of its screen size: each tick shows
// the next frame and sets the timer to the frame's delay; everything else is refused meanwhile.
TEST_F(ToolkitAnimationTest, AutoAnimateLoadPlaysAndRefusesOtherOperations)
{
    control->SetAutoAnimate(true);
    std::vector<int> status;
    int pages = 0;
    control->SetEnableProgressEvent(true);
    control->OnStatus = [&](TObject*, int percent) { status.push_back(percent); };
    control->OnFilePage = [&](TObject*) { ++pages; };
    ASSERT_EQ(control->Load(Gif("dispose-none"), 0, 1, -1), 1);
    EXPECT_EQ(pages, 4);
    EXPECT_EQ(status, (std::vector<int>{0, 100, 0, 100, 0, 100, 0, 100}));
    EXPECT_TRUE(control->AnimationEnable());
    EXPECT_EQ(animateEvents, std::vector<bool>{true});
    EXPECT_EQ(ListCount(), 4);
    EXPECT_EQ(control->ToolkitBitmap.Width, 2);
    EXPECT_EQ(control->ToolkitBitmap.Height, 2);
    EXPECT_EQ(Shown(), Expected("animation-fill.0"));
    EXPECT_TRUE(Timer()->Enabled());
    EXPECT_GT(Timer()->Interval(), 400);
    EXPECT_LE(Timer()->Interval(), 500);
    Tick();
    EXPECT_EQ(Shown(), Expected("animation-fill.1"));
    Tick();
    EXPECT_EQ(Shown(), Expected("animation-fill.2"));

    const QString busy = QStringLiteral("Anim \nError code: -16\nAnimation: %1 ").arg(ToolkitErrorText(-16));
    EXPECT_EQ(Raised([&] { control->Save(dir.filePath("x.png"), TKFMT_PNG, 24, 0, 0); }), busy);
    EXPECT_EQ(Raised([&] { control->Load(Gif("animation"), 0, 1, -1); }), busy);
    EXPECT_EQ(Raised([&] { control->Rotate(90, 0, 0); }), busy);
    EXPECT_EQ(control->LastResult, -16);
    control->LastResult = 1;
    control->ExternalBitmapChange();
    EXPECT_EQ(control->LastResult, -16);

    // Stopping shows the current item again and lets operations through.
    control->SetAnimationEnable(false);
    EXPECT_FALSE(control->AnimationEnable());
    EXPECT_EQ(animateEvents, (std::vector<bool>{true, false}));
    EXPECT_FALSE(Timer()->Enabled());
    TKBitmap first;
    TK_GetBitmapListItem(control->BitmapList, 0, &first);
    EXPECT_EQ(control->ToolkitBitmap.Pixels, first.Pixels);
    EXPECT_EQ(control->Load(Gif("animation"), 0, 1, -1), 1);
}

// Frames without delay run fifty at a time, then the timer gets one tick.
TEST_F(ToolkitAnimationTest, ZeroDelaysRunFiftyFramesThenWaitATick)
{
    control->SetAutoAnimate(true);
    ASSERT_EQ(control->Load(Gif("animation-zero-delays"), 0, 1, -1), 1);
    // Frames 0 to 49 have been shown: 49 is frame 1 of the four.
    EXPECT_EQ(Shown(), Expected("animation.1"));
    EXPECT_TRUE(Timer()->Enabled());
    EXPECT_EQ(Timer()->Interval(), 1);
    Tick(); // frames 50 to 99
    EXPECT_EQ(Shown(), Expected("animation.3"));
    EXPECT_EQ(Timer()->Interval(), 1);
}

// A file that does not loop stops after its last frame has had its delay and shows the current
// item; one that loops, or AutoAnimationLoop 1, starts over.
TEST_F(ToolkitAnimationTest, LoopOrEnd)
{
    const QString once = Fixture("once.gif", MakeGif(3, false));
    const QString endless = Fixture("endless.gif", MakeGif(3, true));
    const QByteArray red = QByteArray::fromHex("ff0000ff").repeated(24);
    const QByteArray lime = QByteArray::fromHex("00ff00ff").repeated(24);
    const QByteArray blue = QByteArray::fromHex("0000ffff").repeated(24);
    const struct {
        const QString& File;
        int AutoLoop;
        bool Loops;
    } cases[] = {{once, 0, false}, {endless, 0, true}, {once, 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File.toStdString() + " " + std::to_string(c.AutoLoop));
        if (control->AnimationEnable())
            control->SetAnimationEnable(false);
        animateEvents.clear();
        control->SetAutoAnimate(true);
        control->SetAutoAnimationLoop(c.AutoLoop);
        ASSERT_EQ(control->Load(c.File, 0, 1, -1), 1);
        EXPECT_EQ(control->Animation.Loop, c.Loops);
        EXPECT_EQ(Shown(), red);
        EXPECT_LE(Timer()->Interval(), 100);
        Tick();
        EXPECT_EQ(Shown(), lime);
        Tick();
        EXPECT_EQ(Shown(), blue);
        Tick();
        EXPECT_EQ(control->AnimationEnable(), c.Loops);
        EXPECT_EQ(Shown(), red);
        EXPECT_EQ(animateEvents, (c.Loops ? std::vector<bool>{true} : std::vector<bool>{true, false}));
        EXPECT_EQ(ListCount(), 3);
        EXPECT_EQ(control->ToolkitBitmap.Width, 6);
    }
}

// AnimationEnable plays a list loaded without AutoAnimate with the file's timing, and False shows
// the item BitmapListIndex names again.
TEST_F(ToolkitAnimationTest, AnimationEnablePlaysTheListAndStopsOnTheCurrentItem)
{
    ASSERT_EQ(control->Load(Gif("dispose-restore-background"), 0, 1, -1), 1);
    EXPECT_FALSE(control->AnimationEnable());
    EXPECT_EQ(control->ToolkitBitmap.Width, 1); // the first frame as stored
    control->BitmapListIndex = 2;
    TK_GetBitmapListItem(control->BitmapList, 2, &control->ToolkitBitmap);
    TKRegionTransform identity;
    ASSERT_EQ(TK_SetBitmapRgnRect(&control->ToolkitBitmap, &identity, TRect{0, 0, 1, 1}, 1), TK_Success);
    control->SetAnimationEnable(true);
    EXPECT_EQ(control->LastResult, 1);
    TKBitmap current;
    TK_GetBitmapListItem(control->BitmapList, 2, &current);
    EXPECT_FALSE(TK_IsBitmapRgnPresent(&current)); // the region went before the list was played
    EXPECT_EQ(animateEvents, std::vector<bool>{true});
    EXPECT_TRUE(Timer()->Enabled());
    EXPECT_EQ(Timer()->Interval(), 1);
    Tick();
    EXPECT_EQ(Shown(), Expected("animation-erase.0"));
    EXPECT_GT(Timer()->Interval(), 400);
    Tick();
    EXPECT_EQ(Shown(), Expected("animation-erase.1"));

    control->LastResult = 0;
    control->SetAnimationEnable(true); // unchanged
    EXPECT_EQ(control->LastResult, 1);
    EXPECT_EQ(animateEvents.size(), 1u);

    control->SetAnimationEnable(false);
    TKBitmap item;
    TK_GetBitmapListItem(control->BitmapList, 2, &item);
    EXPECT_EQ(control->ToolkitBitmap.Pixels, item.Pixels);
    EXPECT_EQ(control->BitmapWidth, 1);
    EXPECT_EQ(control->HasBitmap, 1);
}

// The longest a frame waits is 32,767 ms, whatever the file says.
TEST_F(ToolkitAnimationTest, DelayIsCappedAt32767)
{
    std::list<Magick::Image> frames;
    for (const char* colour : {"red", "blue"}) {
        Magick::Image frame(Magick::Geometry(3, 3), Magick::Color(colour));
        frame.animationDelay(60000); // ten minutes
        frame.magick("GIF");
        frames.push_back(frame);
    }
    Magick::Blob blob;
    Magick::writeImages(frames.begin(), frames.end(), &blob, true);
    const QString path = Fixture("slow.gif", QByteArray(static_cast<const char*>(blob.data()), qsizetype(blob.length())));
    control->SetAutoAnimate(true);
    ASSERT_EQ(control->Load(path, 0, 1, -1), 1);
    EXPECT_GT(Timer()->Interval(), 32000);
    EXPECT_LE(Timer()->Interval(), 32767);
}

TEST_F(ToolkitAnimationTest, AnimationEnableErrors)
{
    EXPECT_EQ(Raised([&] { control->SetAnimationEnable(true); }), QStringLiteral("Anim \nAnimationEnable: No bitmap list."));
    EXPECT_EQ(control->LastResult, -2);
    control->SetEnableMethodErrors(false); // raises all the same
    EXPECT_EQ(Raised([&] { control->SetAnimationEnable(false); }), QStringLiteral("Anim \nAnimationEnable: No bitmap list."));

    // While a save runs, from its progress event.
    ASSERT_EQ(control->Load(Gif("animation"), 0, 1, -1), 1);
    control->SetEnableProgressEvent(true);
    QString inSave;
    control->OnStatus = [&](TObject*, int) {
        if (inSave.isEmpty())
            inSave = Raised([&] { control->SetAnimationEnable(true); });
    };
    control->Save(dir.filePath("a.bmp"), TKFMT_BMP, 24, 0, 0);
    EXPECT_EQ(inSave, QStringLiteral("Anim \nError code: 0\nProcessing not allowed: %1 ").arg(ToolkitErrorText(0)));
    EXPECT_FALSE(control->AnimationEnable());
}

// ---- Animated formats ------------------------------------------------------------------------

// Every format the toolkit reads as an animation plays its frames for their delays.
TEST_F(ToolkitAnimationTest, AnimatedFormatsPlayTheirFrames)
{
    const QByteArray red = QByteArray::fromHex("ff0000ff").repeated(24);
    const QByteArray lime = QByteArray::fromHex("00ff00ff").repeated(24);
    const QByteArray blue = QByteArray::fromHex("0000ffff").repeated(24);
    const struct {
        const char* Magick;
        const char* File;
        int Format;
    } cases[] = {{"GIF", "a.gif", TKFMT_GIF}, {"MNG", "a.mng", TKFMT_MNG}, {"WEBP", "a.webp", TKFMT_WEBP}};
    control->SetAutoAnimate(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Magick);
        ASSERT_EQ(control->Load(Fixture(c.File, MakeAnimation(3, true, c.Magick)), 0, 1, -1), 1);
        EXPECT_EQ(control->FileInfoFormat, c.Format);
        EXPECT_TRUE(control->AnimationEnable());
        EXPECT_EQ(ListCount(), 3);
        EXPECT_EQ(Shown(), red);
        EXPECT_GT(Timer()->Interval(), 50);
        EXPECT_LE(Timer()->Interval(), 100);
        Tick();
        EXPECT_EQ(Shown(), lime);
        Tick();
        EXPECT_EQ(Shown(), blue);
        control->SetAnimationEnable(false);
    }
}

// The library reads only the still picture of a PNG with animation chunks: such a file loads as
// that picture and does not count as animated.
QByteArray Chunk(const char* type, const QByteArray& data)
{
    static const std::vector<uint32_t> table = [] {
        std::vector<uint32_t> t(256);
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    const auto be = [](uint32_t v) {
        const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(b, 4);
    };
    const QByteArray body = QByteArray(type, 4) + data;
    uint32_t crc = 0xFFFFFFFFu;
    for (char ch : body)
        crc = table[(crc ^ uint8_t(ch)) & 0xFF] ^ (crc >> 8);
    return be(uint32_t(data.size())) + body + be(crc ^ 0xFFFFFFFFu);
}

// The data of the first chunk of the type in a PNG file.
QByteArray ChunkData(const QByteArray& png, const char* type)
{
    const qsizetype at = png.indexOf(QByteArray(type, 4));
    const qsizetype length = qsizetype(uint8_t(png[at - 4])) << 24 | qsizetype(uint8_t(png[at - 3])) << 16 |
                             qsizetype(uint8_t(png[at - 2])) << 8 | qsizetype(uint8_t(png[at - 1]));
    return png.mid(at + 4, length);
}

// Two frames of 6 x 4 pixels, red (the still picture) and lime, a tenth of a second each.
QByteArray MakeAnimatedPng()
{
    const auto frame = [](const char* colour) {
        Magick::Image image(Magick::Geometry(6, 4), Magick::Color(colour));
        image.magick("PNG24");
        Magick::Blob out;
        image.write(&out);
        return QByteArray(static_cast<const char*>(out.data()), qsizetype(out.length()));
    };
    const QByteArray first = frame("red"), second = frame("lime");
    const auto be = [](uint32_t v) {
        const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(b, 4);
    };
    const auto control = [&](uint32_t sequence) {
        const QByteArray delay = QByteArray::fromHex("0001000a"); // 1/10 s
        return Chunk("fcTL", be(sequence) + be(6) + be(4) + be(0) + be(0) + delay + QByteArray(2, '\0'));
    };
    return first.left(8) + Chunk("IHDR", ChunkData(first, "IHDR")) + Chunk("acTL", be(2) + be(0)) + control(0) +
           Chunk("IDAT", ChunkData(first, "IDAT")) + control(1) + Chunk("fdAT", be(2) + ChunkData(second, "IDAT")) +
           Chunk("IEND", QByteArray());
}

TEST_F(ToolkitAnimationTest, AnimatedPngLoadsAsItsStillPicture)
{
    control->SetAutoAnimate(true);
    ASSERT_EQ(control->Load(Fixture("a.png", MakeAnimatedPng()), 0, 1, -1), 1);
    EXPECT_EQ(control->FileInfoFormat, TKFMT_PNG);
    EXPECT_EQ(control->FileInfoPages, 1);
    EXPECT_FALSE(control->AnimationEnable());
    EXPECT_EQ(ListCount(), 1);
    EXPECT_EQ(Shown(), QByteArray::fromHex("ff0000ff").repeated(24));
}

} // namespace
