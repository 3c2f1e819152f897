#include "imaging/gif/animated_image.h"

#include "framework/bitmap.h"
#include "framework/forms.h"
#include "imaging/gif/gif_controls.h"
#include "imaging/gif/rx_timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

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

// A strip of square cells, cell i filled with colors[i] (0xAARRGGBB), the bottom-left pixel of
// every cell in the key colour.
std::unique_ptr<TBitmap> Strip(int cell, const std::vector<uint32_t>& colors, bool vertical = false, uint32_t key = 0xFFFF00FF)
{
    const int n = int(colors.size());
    auto b = std::make_unique<TBitmap>(vertical ? cell : cell * n, vertical ? cell * n : cell, pf24bit);
    for (int i = 0; i < n; ++i)
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x) {
                const int px = vertical ? x : i * cell + x, py = vertical ? i * cell + y : y;
                b->SetPixelArgb(px, py, x == 0 && y == cell - 1 ? key : colors[size_t(i)]);
            }
    return b;
}

} // namespace

TEST(AnimatedImage, Defaults)
{
    TAnimatedImage image;
    EXPECT_FALSE(image.Active());
    EXPECT_EQ(image.NumGlyphs(), 1);
    EXPECT_EQ(image.InactiveGlyph(), -1);
    EXPECT_EQ(image.TransparentColor(), clNone);
    EXPECT_EQ(image.Orientation(), goHorizontal);
    EXPECT_TRUE(image.Stretch());
    EXPECT_EQ(image.Interval(), 100u);
    EXPECT_FALSE(image.Timer()->Enabled());
}

TEST(AnimatedImage, GlyphsAreCountedFromTheStrip)
{
    struct Case {
        int w, h;
        TGlyphOrientation orientation;
        int glyphs, glyphW, glyphH;
    } cases[] = {
        {64, 16, goHorizontal, 4, 16, 16},
        {60, 16, goHorizontal, 1, 60, 16},
        {16, 64, goVertical, 4, 16, 16},
        {16, 64, goHorizontal, 1, 16, 64},
        {0, 0, goHorizontal, 1, 0, 0},
    };
    for (const Case& c : cases) {
        TAnimatedImage image;
        image.SetOrientation(c.orientation);
        TBitmap strip(c.w, c.h, pf24bit);
        image.SetGlyph(&strip);
        EXPECT_EQ(image.NumGlyphs(), c.glyphs) << c.w << "x" << c.h;
        EXPECT_EQ(image.GlyphWidth(), c.glyphW) << c.w << "x" << c.h;
        EXPECT_EQ(image.GlyphHeight(), c.glyphH) << c.w << "x" << c.h;
        if (c.glyphW > 0) {
            EXPECT_EQ(image.Width(), c.glyphW);
            EXPECT_EQ(image.Height(), c.glyphH);
        }
    }
}

TEST(AnimatedImage, WritersIgnoreGlyphsOutsideTheStrip)
{
    TAnimatedImage image;
    auto strip = Strip(4, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00});
    image.SetGlyph(strip.get());
    image.SetGlyphNum(3);
    int changes = 0;
    image.OnFrameChanged = [&](TObject*) { ++changes; };
    image.SetGlyphNum(4);
    image.SetGlyphNum(-1);
    image.SetInactiveGlyph(4);
    EXPECT_EQ(image.GlyphNum(), 3);
    EXPECT_EQ(image.InactiveGlyph(), -1);
    EXPECT_EQ(changes, 0);
    // Fewer glyphs: the one shown must still lie inside the strip.
    image.SetNumGlyphs(2);
    EXPECT_EQ(image.GlyphNum(), 0);
    EXPECT_EQ(image.GlyphWidth(), 8);
    image.SetNumGlyphs(0);
    EXPECT_EQ(image.NumGlyphs(), 1);
    EXPECT_EQ(image.GlyphWidth(), 16);
}

class AnimatedImagePlay : public ::testing::TestWithParam<bool> {};

// With inactive glyph 2 of four the stopped control shows 2, playing shows 3, 0, 1, 3, 0, 1, ...
// and stopping shows 2 again.
TEST_P(AnimatedImagePlay, InactiveGlyphIsSkippedWhilePlaying)
{
    TForm form;
    auto* image = new TAnimatedImage(&form);
    image->SetAsyncDrawing(GetParam());
    auto strip = Strip(4, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00});
    image->SetGlyph(strip.get());
    image->SetInactiveGlyph(2);
    EXPECT_EQ(image->ShownGlyph(), 2);
    image->SetInterval(5);
    std::vector<int> shown;
    image->OnFrameChanged = [&](TObject*) {
        if (image->Active())
            shown.push_back(image->GlyphNum());
    };
    image->SetActive(true);
    ASSERT_TRUE(WaitFor([&] { return shown.size() >= 6; }));
    image->SetActive(false);
    shown.resize(6);
    EXPECT_EQ(shown, (std::vector<int>{3, 0, 1, 3, 0, 1}));
    EXPECT_EQ(image->ShownGlyph(), 2);
    EXPECT_EQ(image->GlyphNum(), 2);
    EXPECT_FALSE(image->Timer()->ThreadRunning());
}

INSTANTIATE_TEST_SUITE_P(Drawing, AnimatedImagePlay, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Async" : "OnGuiThread"; });

TEST(AnimatedImage, HiddenOrParentlessControlDoesNotStep)
{
    auto strip = Strip(4, {0xFFFF0000, 0xFF00FF00});
    TAnimatedImage orphan;
    orphan.SetGlyph(strip.get());
    orphan.SetInterval(5);
    orphan.SetActive(true);
    TForm form;
    auto* hidden = new TAnimatedImage(&form);
    hidden->SetGlyph(strip.get());
    hidden->SetVisible(false);
    hidden->SetInterval(5);
    hidden->SetActive(true);
    WaitFor([] { return false; }, 150);
    EXPECT_EQ(orphan.GlyphNum(), 0);
    EXPECT_EQ(hidden->GlyphNum(), 0);
}

TEST(AnimatedImage, DrawsTheCellLeavingOutTheKeyColour)
{
    TForm form;
    form.SetColor(0x00FF00); // green as a framework colour
    form.resize(40, 40);
    auto* image = new TAnimatedImage(&form);
    image->SetColor(0xFFFFFF);
    auto strip = Strip(4, {0xFFFF0000, 0xFF0000FF}, true);
    image->SetOrientation(goVertical);
    image->SetGlyph(strip.get());
    EXPECT_EQ(image->TransparentColor(), 0xFF00FFu) << "the strip's bottom-left pixel";
    image->SetGlyphNum(1);
    image->SetLeft(10);
    image->SetTop(10);
    form.show();
    QImage shot = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel(12, 11), 0xFF0000FFu);
    EXPECT_EQ(shot.pixel(10, 13), 0xFF00FF00u) << "key colour shows the parent";

    // Opaque: the control's own colour instead of the parent; centred and not stretched.
    image->SetOpaque(true);
    image->SetAutoSize(false);
    image->SetStretch(false);
    image->SetCenter(true);
    image->SetBounds(10, 10, 8, 8);
    shot = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel(10, 10), 0xFFFFFFFFu);
    EXPECT_EQ(shot.pixel(15, 13), 0xFF0000FFu);
    EXPECT_EQ(shot.pixel(12, 15), 0xFFFFFFFFu) << "key colour over the control's colour";
}

TEST(AnimatedImage, DefinitionKeepsAnInactiveGlyphSetBeforeTheStrip)
{
    RegisterGifControlClasses();
    TForm form;
    form.LoadDefinitionText(R"(object GlyphForm: TForm
  Width = 100
  Height = 100
  object Anim1: TAnimatedImage
    InactiveGlyph = 3
    NumGlyphs = 4
    Interval = 40
  end
end
)");
    auto* image = qobject_cast<TAnimatedImage*>(FindComponent(&form, QStringLiteral("Anim1")));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->InactiveGlyph(), 3);
    EXPECT_EQ(image->ShownGlyph(), 3);
    EXPECT_EQ(image->Interval(), 40u);
}
