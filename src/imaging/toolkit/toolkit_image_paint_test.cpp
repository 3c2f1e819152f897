#include "imaging/toolkit/toolkit_image.h"

#include "framework/canvas.h"
#include "framework/graphics.h"
#include "framework/panel.h"
#include "imaging/toolkit/toolkit_display.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr QRgb Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, White = 0xFFFFFFFF, Black = 0xFF000000;
constexpr QRgb Grey = 0xFF808080;

// A bitmap of one colour (0xAARRGGBB; 24-bit bitmaps drop the alpha).
TKBitmap Picture(int width, int height, int bits, QRgb argb)
{
    TKBitmap b;
    TK_InitBitmap(&b);
    EXPECT_EQ(TK_AllocateBitmap(&b, width, height, bits), TK_Success);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = b.Row(y) + x * (bits / 8);
            p[0] = uint8_t(qBlue(argb));
            p[1] = uint8_t(qGreen(argb));
            p[2] = uint8_t(qRed(argb));
            if (bits == 32)
                p[3] = uint8_t(qAlpha(argb));
        }
    return b;
}

void Put(TKBitmap& b, int x, int y, QRgb argb)
{
    uint8_t* p = b.Row(y) + x * (b.BitsPerPixel / 8);
    p[0] = uint8_t(qBlue(argb));
    p[1] = uint8_t(qGreen(argb));
    p[2] = uint8_t(qRed(argb));
    if (b.BitsPerPixel == 32)
        p[3] = uint8_t(qAlpha(argb));
}

// A canvas of one colour to paint on.
QImage Canvas(int width, int height, QRgb colour = White)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QRgb At(const QImage& image, int x, int y)
{
    return image.pixel(x, y);
}

int CountOf(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

TKEffect Effect(int code, int pass, int passes)
{
    TKEffect e;
    e.Code = code;
    e.Pass = pass;
    e.MaxPasses = passes;
    return e;
}

// Paints bitmap over the whole of image, one to one unless dest says otherwise.
int PaintInto(QImage& image, const TKBitmap& bitmap, const TKEffect* effect = nullptr, TRect dest = {},
              TKDisplayAdjust adjust = {})
{
    const TRect source = Rect(0, 0, BitmapViewWidth(bitmap), BitmapViewHeight(bitmap));
    if (IsRectEmpty(dest))
        dest = source;
    QPainter p(&image);
    const TRect clip = Rect(0, 0, image.width(), image.height());
    if (effect)
        return TK_EfxPaintBitmap(&p, &bitmap, source, source, dest, clip, *effect, adjust);
    return TK_PaintBitmap(&p, &bitmap, source, source, dest, clip, TK_SRCCOPY, adjust);
}

// The message of the exception fn raises, or an empty text.
QString Raised(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const EToolkitImageError& e) {
        return e.Message();
    }
    return QString();
}

class ToolkitPaintTest : public ::testing::Test {
protected:
    void SetUp() override { TK_SetDisplayMode(~0u, TKDM_TrueColour); }
    void TearDown() override { TK_SetDisplayMode(~0u, TKDM_TrueColour); }

    // A control of width x height showing picture.
    static std::unique_ptr<TToolkitImage> Control(int width, int height, const TKBitmap* picture = nullptr)
    {
        auto c = std::make_unique<TToolkitImage>();
        c->SetName(QStringLiteral("ToolkitImage1"));
        c->SetBounds(0, 0, width, height);
        c->SetBackColor(RGB(0, 0, 255));
        if (picture) {
            c->ToolkitBitmap = *picture;
            c->HasBitmap = 1;
            c->ImageChanged();
        }
        return c;
    }
    static QImage Shot(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_ARGB32); }
};

// ---- The toolkit's display calls --------------------------------------------------------------

TEST_F(ToolkitPaintTest, EffectPassesRevealTheirShareOfThePicture)
{
    const TKBitmap red = Picture(20, 10, 24, Red);
    // Pass 1 of 2: the half each effect shows first, tested at a pixel inside and one outside.
    const struct {
        int Code;
        QPoint Shown, Hidden;
    } halves[] = {
        {2000, {1, 5}, {18, 5}}, {2001, {18, 5}, {1, 5}}, {2002, {10, 1}, {10, 8}}, {2003, {10, 8}, {10, 1}},
        {2004, {10, 5}, {1, 5}}, {2005, {10, 5}, {10, 0}}, {2006, {1, 5}, {10, 5}}, {2007, {10, 0}, {10, 5}},
        {4000, {10, 5}, {0, 0}}, {4001, {0, 0}, {10, 5}}, {4002, {10, 5}, {0, 0}}, {4003, {0, 0}, {10, 5}},
    };
    for (const auto& c : halves) {
        QImage canvas = Canvas(20, 10);
        const TKEffect e = Effect(c.Code, 1, 2);
        EXPECT_EQ(PaintInto(canvas, red, &e), TK_Success) << c.Code;
        EXPECT_EQ(At(canvas, c.Shown.x(), c.Shown.y()), Red) << c.Code;
        EXPECT_EQ(At(canvas, c.Hidden.x(), c.Hidden.y()), White) << c.Code;
        // The last pass completes the picture.
        const TKEffect last = Effect(c.Code, 2, 2);
        PaintInto(canvas, red, &last);
        EXPECT_EQ(CountOf(canvas, Red), 200) << c.Code;
    }

    // Dissolve: squares of the grain, half of them after half of the passes, in the same order
    // every time.
    QImage dissolved = Canvas(20, 10);
    TKEffect dissolve = Effect(3000, 1, 2);
    dissolve.Grain = 5;
    PaintInto(dissolved, red, &dissolve);
    EXPECT_EQ(CountOf(dissolved, Red), 100);
    for (int y = 0; y < 10; y += 5)
        for (int x = 0; x < 20; x += 5)
            for (int i = 1; i < 5; ++i)
                EXPECT_EQ(At(dissolved, x + i, y + i), At(dissolved, x, y));
    QImage again = Canvas(20, 10);
    PaintInto(again, red, &dissolve);
    EXPECT_EQ(again, dissolved);

    // Each pass adds only its own share, so half-transparent pixels blend once whatever the
    // effect and the number of passes.
    const TKBitmap glass = Picture(20, 10, 32, 0x80FFFFFF);
    QImage once = Canvas(20, 10, Black);
    PaintInto(once, glass);
    for (int code : {1000, 2000, 2006, 2040, 3000, 3004, 4002, 4027, 5000, 6013, 7009, 9001, 10002, 11005, 12007,
                     13006, 14003, 15033, 16035}) {
        QImage passes = Canvas(20, 10, Black);
        for (int pass = 1; pass <= 4; ++pass) {
            const TKEffect e = Effect(code, pass, 4);
            PaintInto(passes, glass, &e);
        }
        EXPECT_EQ(passes, once) << code;
    }

    // Fade: each pass blends further, the last one fully.
    QImage faded = Canvas(20, 10, Black);
    const TKEffect fade = Effect(3001, 1, 2);
    PaintInto(faded, Picture(20, 10, 24, White), &fade);
    EXPECT_NEAR(qRed(At(faded, 3, 3)), 128, 2);
    const TKEffect fadeEnd = Effect(3001, 2, 2);
    PaintInto(faded, Picture(20, 10, 24, White), &fadeEnd);
    EXPECT_EQ(At(faded, 3, 3), White);
}

TEST_F(ToolkitPaintTest, EveryEffectCodeRevealsPartFirstAndAllLast)
{
    const TKBitmap red = Picture(32, 24, 24, Red);
    const int all = 32 * 24;
    int codes = 0;
    for (int code = 1002; code <= 16100; ++code) {
        if (!TK_IsEffectCode(code)) {
            EXPECT_FALSE(TK_IsEffectComputed(code)) << code;
            continue;
        }
        ++codes;
        EXPECT_TRUE(TK_IsEffectComputed(code)) << code;
        // The picture over a white canvas, and a solid transition pattern over a grey one.
        QImage picture = Canvas(32, 24), pattern = Canvas(32, 24, Grey);
        std::vector<int> shown;
        for (int pass = 1; pass <= 3; ++pass) {
            const TKEffect e = Effect(code, pass, 3);
            ASSERT_EQ(PaintInto(picture, red, &e), TK_Success) << code;
            QPainter p(&pattern);
            ASSERT_EQ(TK_EfxPaintTransition(&p, Rect(0, 0, 32, 24), 0, RGB(255, 0, 0), 0, 2, e), TK_Success) << code;
            p.end();
            shown.push_back(CountOf(picture, Red));
            EXPECT_EQ(CountOf(pattern, Red), shown.back()) << code << " pass " << pass;
        }
        if (code == 3001) { // the fade shows all of the picture, a third of its strength
            const QImage first = [&] {
                QImage c = Canvas(32, 24, Black);
                const TKEffect e = Effect(code, 1, 3);
                PaintInto(c, red, &e);
                return c;
            }();
            EXPECT_NEAR(qRed(At(first, 5, 5)), 85, 2);
        } else {
            // Every other family reveals in steps: a part first, strictly more at the second
            // pass, all at the last.
            EXPECT_GT(shown[0], 0) << code;
            EXPECT_LT(shown[0], all) << code;
            EXPECT_LT(shown[0], shown[1]) << code;
        }
        EXPECT_EQ(shown[2], all) << code;
    }
    EXPECT_EQ(codes, 2554 - 1999 + 6 + 30 + 264 + 526 + 264 + 260 + 2 + 4 + 7 + 10 + 8 + 8 + 36 + 36);

    QImage canvas = Canvas(8, 8);
    const TKBitmap small = Picture(8, 8, 24, Red);
    const TKEffect outside = Effect(1999, 1, 1);
    EXPECT_EQ(PaintInto(canvas, small, &outside), TK_ErrParameter);
    EXPECT_EQ(CountOf(canvas, Red), 0);
    // Effect 0, which only an old setting can hold, paints like no effect.
    const TKEffect none = Effect(0, 1, 1);
    EXPECT_EQ(PaintInto(canvas, small, &none), TK_Success);
    EXPECT_EQ(CountOf(canvas, Red), 64);
}

TEST_F(ToolkitPaintTest, EffectFamiliesRevealTheirShapes)
{
    // A 20 x 10 picture; the pixels a pass shows and the ones it leaves.
    const struct {
        int Code, Pass, Passes, Grain;
        std::vector<QPoint> Shown, Hidden;
    } cases[] = {
        // Wipe from the left in two strips: the lower strip runs from the right.
        {2016, 1, 2, 5, {{0, 0}, {9, 4}, {19, 9}, {10, 5}}, {{19, 0}, {10, 4}, {0, 9}, {9, 5}}},
        // Diagonal wipe from the top-left corner; diagonal split out from the rising diagonal.
        {2008, 1, 2, 5, {{0, 0}, {9, 1}}, {{19, 9}, {10, 8}}},
        {2012, 1, 2, 5, {{0, 9}, {19, 0}, {10, 5}}, {{0, 0}, {19, 9}}},
        // Rows, columns of the grain at random: whole rows, whole columns.
        {3002, 1, 2, 5, {}, {}},
        // Box from the top-left corner, cross (plus) out from the middle.
        {4010, 1, 2, 5, {{0, 0}, {9, 4}}, {{19, 9}, {10, 5}}},
        {4006, 1, 2, 5, {{10, 0}, {0, 5}}, {{0, 0}, {19, 9}}},
        // Blinds: two slats, each wiped from its left.
        {5000, 1, 2, 5, {{0, 0}, {4, 9}, {10, 0}, {14, 9}}, {{5, 0}, {9, 9}, {15, 0}, {19, 9}}},
        // Checkerboard of 2 x 2 cells wiped from the left: two cells first, the others after.
        {6000, 1, 2, 5, {{0, 0}, {9, 4}, {10, 5}, {19, 9}}, {{10, 0}, {19, 4}, {0, 5}, {9, 9}}},
        {6000, 2, 4, 5, {{0, 0}, {9, 4}}, {{10, 0}, {0, 5}}},
        // Spiral of 2 x 2 cells clockwise from the top-left: its third cell is the bottom-right.
        {7000, 3, 4, 5, {{15, 7}}, {{5, 7}}},
        {7000, 4, 4, 5, {{5, 7}}, {}},
        {7004, 1, 4, 5, {{5, 7}}, {{0, 0}, {19, 0}, {19, 9}}},
        // Clock hand from 12 o'clock: the first quarter is the top right.
        {10000, 1, 4, 5, {{15, 1}}, {{15, 8}, {4, 8}, {4, 1}}},
        {11000, 1, 4, 5, {{4, 1}}, {{15, 1}, {15, 8}, {4, 8}}},
        // Squares of the grain by rows: the first row first.
        {12000, 1, 2, 5, {{0, 0}, {19, 4}}, {{0, 5}, {19, 9}}},
        {12001, 1, 2, 5, {{0, 0}, {9, 9}}, {{10, 0}, {19, 9}}},
    };
    const TKBitmap red = Picture(20, 10, 24, Red);
    for (const auto& c : cases) {
        QImage canvas = Canvas(20, 10);
        for (int pass = 1; pass <= c.Pass; ++pass) {
            TKEffect e = Effect(c.Code, pass, c.Passes);
            e.Grain = c.Grain;
            PaintInto(canvas, red, &e);
        }
        for (const QPoint& p : c.Shown)
            EXPECT_EQ(At(canvas, p.x(), p.y()), Red) << c.Code << " pass " << c.Pass << " at " << p.x() << "," << p.y();
        for (const QPoint& p : c.Hidden)
            EXPECT_EQ(At(canvas, p.x(), p.y()), White) << c.Code << " pass " << c.Pass << " at " << p.x() << "," << p.y();
        if (c.Code == 3002) {
            EXPECT_EQ(CountOf(canvas, Red), 100);
            for (int y = 0; y < 10; ++y)
                EXPECT_EQ(CountOf(canvas.copy(0, y, 20, 1), Red) % 20, 0) << y;
        }
    }
}

TEST_F(ToolkitPaintTest, SlidesMoveThePictureIn)
{
    // Left half green, right half blue.
    TKBitmap halves = Picture(20, 10, 24, Green);
    for (int y = 0; y < 10; ++y)
        for (int x = 10; x < 20; ++x)
            Put(halves, x, y, Blue);
    const auto slide = [&](int code, int pass, int passes) {
        QImage canvas = Canvas(20, 10);
        const TKEffect e = Effect(code, pass, passes);
        EXPECT_EQ(PaintInto(canvas, halves, &e), TK_Success) << code;
        return canvas;
    };
    // From the left, halfway in: the right half of the picture fills the left of the area.
    const QImage left = slide(8000, 1, 2);
    EXPECT_EQ(CountOf(left.copy(0, 0, 10, 10), Blue), 100);
    EXPECT_EQ(CountOf(left.copy(10, 0, 10, 10), White), 100);
    // From the right: its left half fills the right of the area.
    const QImage right = slide(8001, 1, 2);
    EXPECT_EQ(CountOf(right.copy(10, 0, 10, 10), Green), 100);
    EXPECT_EQ(CountOf(right.copy(0, 0, 10, 10), White), 100);
    // In two strips from the top: the right strip comes up from the bottom.
    const QImage strips = slide(8006, 1, 2);
    EXPECT_EQ(CountOf(strips.copy(0, 0, 10, 5), Green), 50);
    EXPECT_EQ(CountOf(strips.copy(10, 5, 10, 5), Blue), 50);
    EXPECT_EQ(CountOf(strips.copy(0, 5, 10, 5), White), 50);
    // The last pass shows the picture where it belongs.
    const QImage done = slide(8002, 2, 2);
    EXPECT_EQ(At(done, 0, 0), Green);
    EXPECT_EQ(At(done, 19, 9), Blue);
    // A gradient slides in the same way: its end arrives first.
    QImage gradient = Canvas(16, 8);
    QPainter p(&gradient);
    TK_EfxPaintTransition(&p, Rect(0, 0, 16, 8), 1000, RGB(255, 0, 0), RGB(0, 0, 255), 2, Effect(8000, 1, 2));
    p.end();
    EXPECT_EQ(CountOf(gradient.copy(0, 0, 8, 8), Blue), 64);
    EXPECT_EQ(CountOf(gradient.copy(8, 0, 8, 8), White), 64);
}

TEST_F(ToolkitPaintTest, ScalingFollowsTheDisplayMode)
{
    // Two columns, black and white, shown four times as large.
    TKBitmap bars = Picture(2, 1, 24, White);
    Put(bars, 0, 0, Black);
    const TRect wide = Rect(0, 0, 8, 4);

    QImage nearest = Canvas(8, 4, Red);
    PaintInto(nearest, bars, nullptr, wide);
    EXPECT_EQ(CountOf(nearest, Black), 16);
    EXPECT_EQ(CountOf(nearest, White), 16);

    for (uint32_t mode : {uint32_t(TKDM_Resample), uint32_t(TKDM_Bicubic)}) {
        TK_SetDisplayMode(0x600, mode);
        QImage smooth = Canvas(8, 4, Red);
        EXPECT_EQ(PaintInto(smooth, bars, nullptr, wide), TK_Success);
        EXPECT_EQ(CountOf(smooth, Red), 0) << mode;
        const int middle = qRed(At(smooth, 4, 2));
        EXPECT_GT(middle, 0) << mode; // the edge between the bars is blended
        EXPECT_LT(middle, 255) << mode;
        EXPECT_EQ(At(smooth, 0, 0), Black) << mode;
    }
    TK_SetDisplayMode(0x600, 0);

    // A thin black line shrunk away by plain scaling is kept by the favour-black mode.
    TKBitmap line = Picture(4, 4, 24, White);
    for (int y = 0; y < 4; ++y)
        Put(line, 1, y, Black);
    QImage plain = Canvas(1, 1, Red);
    PaintInto(plain, line, nullptr, Rect(0, 0, 1, 1));
    EXPECT_EQ(At(plain, 0, 0), White);
    TK_SetDisplayMode(TKDM_FavorBlack, TKDM_FavorBlack);
    QImage favoured = Canvas(1, 1, Red);
    PaintInto(favoured, line, nullptr, Rect(0, 0, 1, 1));
    EXPECT_EQ(At(favoured, 0, 0), Black);
    TK_SetDisplayMode(TKDM_FavorBlack | TKDM_ScaleToGray, TKDM_ScaleToGray);
    QImage grey = Canvas(1, 1, Red);
    PaintInto(grey, line, nullptr, Rect(0, 0, 1, 1));
    EXPECT_NEAR(qRed(At(grey, 0, 0)), 191, 3);
}

TEST_F(ToolkitPaintTest, PicturesShowTurnedCutAndAdjusted)
{
    // Stored left to right red, green, blue; perspective 2 shows it mirrored.
    TKBitmap strip = Picture(3, 1, 24, Red);
    Put(strip, 1, 0, Green);
    Put(strip, 2, 0, Blue);
    strip.ViewPerspective = 2;
    QImage mirrored = Canvas(3, 1);
    PaintInto(mirrored, strip, nullptr);
    EXPECT_EQ(At(mirrored, 0, 0), Blue);
    EXPECT_EQ(At(mirrored, 2, 0), Red);
    // Perspective 5 shows the row as a column.
    strip.ViewPerspective = 5;
    QImage column = Canvas(1, 3);
    PaintInto(column, strip, nullptr);
    EXPECT_EQ(At(column, 0, 0), Red);
    EXPECT_EQ(At(column, 0, 2), Blue);
    strip.ViewPerspective = 1;

    // The source clip and the destination clip each cut the paint.
    QImage cut = Canvas(3, 1);
    {
        QPainter p(&cut);
        const TRect all = Rect(0, 0, 3, 1);
        TK_PaintBitmap(&p, &strip, all, Rect(1, 0, 3, 1), all, Rect(0, 0, 2, 1), TK_SRCCOPY, {});
    }
    EXPECT_EQ(At(cut, 0, 0), White);
    EXPECT_EQ(At(cut, 1, 0), Green);
    EXPECT_EQ(At(cut, 2, 0), White);

    // Intensity, contrast and gamma.
    const struct {
        TKDisplayAdjust Adjust;
        int Expected; // red of a light grey (192)
    } adjustments[] = {{{0, 100, 100}, 255}, {{0, -100, 100}, 0},   {{100, 0, 100}, 255},
                       {{-100, 0, 100}, 128}, {{0, 0, 200}, 221}, {{0, 0, 100}, 192}};
    for (const auto& a : adjustments) {
        QImage adjusted = Canvas(1, 1);
        PaintInto(adjusted, Picture(1, 1, 24, 0xFFC0C0C0), nullptr, {}, a.Adjust);
        EXPECT_NEAR(qRed(At(adjusted, 0, 0)), a.Expected, 1) << a.Adjust.Contrast << " " << a.Adjust.Intensity;
    }
}

TEST_F(ToolkitPaintTest, TransparentColoursAndAlphaLeaveTheBackground)
{
    TKBitmap picture = Picture(3, 1, 24, Red);
    Put(picture, 1, 0, Green);
    Put(picture, 2, 0, 0xFF00F000); // near green
    TKEffect keyed = Effect(1000, 1, 1);
    keyed.UseTransparentColor = true;
    keyed.TransparentColor = RGB(0, 255, 0);
    QImage exact = Canvas(3, 1, Blue);
    PaintInto(exact, picture, &keyed);
    EXPECT_EQ(At(exact, 0, 0), Red);
    EXPECT_EQ(At(exact, 1, 0), Blue);
    EXPECT_EQ(At(exact, 2, 0), 0xFF00F000u);
    keyed.WandSize = 16;
    QImage near = Canvas(3, 1, Blue);
    PaintInto(near, picture, &keyed);
    EXPECT_EQ(At(near, 2, 0), Blue);

    // The bitmap's own transparency applies to effect painting.
    picture.Flags |= TKBF_Transparent;
    picture.TransparentColor = RGB(255, 0, 0);
    QImage own = Canvas(3, 1, Blue);
    const TKEffect plain = Effect(1000, 1, 1);
    PaintInto(own, picture, &plain);
    EXPECT_EQ(At(own, 0, 0), Blue);
    EXPECT_EQ(At(own, 1, 0), Green);

    // 32-bit pixels blend by their alpha.
    QImage blended = Canvas(1, 1, Black);
    PaintInto(blended, Picture(1, 1, 32, 0x80FFFFFF));
    EXPECT_NEAR(qRed(At(blended, 0, 0)), 128, 1);
}

TEST_F(ToolkitPaintTest, TransitionsPaintGradientsAndPatterns)
{
    const auto transition = [](int style, uint32_t first, uint32_t second, int steps, int code = 1000, int pass = 1,
                               int passes = 1) {
        QImage image = Canvas(16, 8, Grey);
        QPainter p(&image);
        const int result =
            TK_EfxPaintTransition(&p, Rect(0, 0, 16, 8), style, first, second, steps, Effect(code, pass, passes));
        p.end();
        return std::make_pair(result, image);
    };
    // Two steps from red to blue: the left half red, the right half blue.
    auto [r1, linear] = transition(1000, RGB(255, 0, 0), RGB(0, 0, 255), 2);
    EXPECT_EQ(r1, TK_Success);
    EXPECT_EQ(At(linear, 7, 4), Red);
    EXPECT_EQ(At(linear, 8, 4), Blue);
    auto [r2, down] = transition(1002, RGB(255, 0, 0), RGB(0, 0, 255), 2);
    EXPECT_EQ(At(down, 8, 3), Red);
    EXPECT_EQ(At(down, 8, 4), Blue);
    auto [r3, radial] = transition(2000, RGB(255, 255, 255), RGB(0, 0, 0), 16);
    EXPECT_GT(qRed(At(radial, 8, 4)), qRed(At(radial, 0, 0)));
    // Patterns: solid back colour, transparent nothing, hatches in the fore colour.
    auto [r5, solid] = transition(0, RGB(255, 0, 0), RGB(0, 0, 255), 2);
    EXPECT_EQ(CountOf(solid, Red), 128);
    auto [r6, none] = transition(1, RGB(255, 0, 0), RGB(0, 0, 255), 2);
    EXPECT_EQ(CountOf(none, Grey), 128);
    auto [r7, cross] = transition(6, RGB(255, 0, 0), RGB(0, 0, 255), 2);
    EXPECT_GT(CountOf(cross, Blue), 0);
    EXPECT_GT(CountOf(cross, Red), CountOf(cross, Blue));
    // The transition's effect reveals it pass by pass.
    auto [r8, wiped] = transition(0, RGB(255, 0, 0), 0, 2, 2000, 1, 4);
    EXPECT_EQ(CountOf(wiped, Red), 32);
    EXPECT_EQ(transition(8, 0, 0, 2).first, TK_ErrParameter);
}

TEST_F(ToolkitPaintTest, GradientStylesRampFromStartToEnd)
{
    // In two steps over 16 x 8 a pixel is either in the first half of the ramp (red) or in the
    // second (blue).
    const auto gradient = [](int style, int steps = 2) {
        QImage image = Canvas(16, 8, Grey);
        QPainter p(&image);
        EXPECT_EQ(TK_EfxPaintTransition(&p, Rect(0, 0, 16, 8), style, RGB(255, 0, 0), RGB(0, 0, 255), steps,
                                        Effect(1000, 1, 1)),
                  TK_Success)
            << style;
        return image;
    };
    const struct {
        int Style;
        std::vector<QPoint> Start, End;
    } cases[] = {
        {1000, {{0, 4}, {7, 4}}, {{8, 4}, {15, 4}}},         // from the left
        {1003, {{8, 7}, {8, 4}}, {{8, 3}, {8, 0}}},          // from the bottom
        {1004, {{8, 4}, {5, 0}}, {{0, 4}, {15, 4}}},         // out from the middle, horizontally
        {1006, {{0, 4}, {15, 4}}, {{8, 4}}},                 // in from the edges
        {1008, {{0, 0}, {6, 2}}, {{15, 7}, {9, 5}}},         // from the top-left corner
        {1011, {{15, 7}}, {{0, 0}}},                         // from the bottom-right corner
        {1012, {{0, 7}, {15, 0}, {8, 4}}, {{0, 0}, {15, 7}}}, // out from the rising diagonal
        {1015, {{0, 7}, {15, 0}}, {{0, 0}, {15, 7}}},        // in to the falling diagonal
        {2000, {{8, 4}}, {{0, 0}, {15, 7}}},                 // circle
        {2001, {{0, 0}, {15, 7}}, {{8, 4}}},
        {2002, {{0, 0}, {4, 2}}, {{15, 7}, {15, 0}}},        // circle from the top-left
        {2005, {{15, 7}}, {{0, 0}}},                         // circle from the bottom-right
        {2006, {{8, 4}, {2, 4}}, {{0, 0}}},                  // ellipse
        {3000, {{8, 4}, {5, 3}}, {{1, 4}, {8, 0}}},          // box
        {3001, {{1, 4}, {8, 0}}, {{8, 4}}},
        {4000, {{8, 4}, {1, 4}}, {{3, 1}, {0, 0}}},          // diamond: (1, 4) lies inside, not the box
        {4001, {{0, 0}}, {{8, 4}}},
        {5000, {{12, 1}, {12, 6}}, {{3, 1}, {3, 6}}},        // angle from 12 o'clock, clockwise
        {5001, {{12, 6}, {3, 6}}, {{12, 1}, {3, 1}}},        // from 3 o'clock
        {5004, {{3, 1}, {3, 6}}, {{12, 1}, {12, 6}}},        // from 12 o'clock, anticlockwise
    };
    for (const auto& c : cases) {
        const QImage image = gradient(c.Style);
        for (const QPoint& p : c.Start)
            EXPECT_EQ(At(image, p.x(), p.y()), Red) << c.Style << " at " << p.x() << "," << p.y();
        for (const QPoint& p : c.End)
            EXPECT_EQ(At(image, p.x(), p.y()), Blue) << c.Style << " at " << p.x() << "," << p.y();
    }
    // Every style runs from the start colour to the end colour through the steps between.
    for (int style = 1000; style <= 5007; ++style) {
        if (!TK_IsGradientStyle(style)) {
            EXPECT_FALSE(TK_IsGradientComputed(style)) << style;
            continue;
        }
        EXPECT_TRUE(TK_IsGradientComputed(style)) << style;
        const QImage image = gradient(style, 3);
        EXPECT_GT(CountOf(image, Red), 0) << style;
        EXPECT_GT(CountOf(image, 0xFF800080), 0) << style;
        EXPECT_GT(CountOf(image, Blue), 0) << style;
        EXPECT_EQ(CountOf(image, Red) + CountOf(image, 0xFF800080) + CountOf(image, Blue), 128) << style;
    }
}

TEST_F(ToolkitPaintTest, FramesDrawTheirBandsFromTheOutsideIn)
{
    QImage image = Canvas(12, 12, Grey);
    QPainter p(&image);
    // Outer raised bevel of 1, frame of 2 in red, inner inset bevel of 1.
    EXPECT_EQ(TK_EfxDrawFrame(&p, Rect(0, 0, 12, 12), TKFR_OuterRaised, 2, RGB(255, 0, 0), 1, RGB(0, 0, 255),
                              RGB(0, 255, 0), 1, RGB(0, 0, 0), RGB(255, 255, 255)),
              TK_Success);
    p.end();
    EXPECT_EQ(At(image, 0, 5), White); // outer raised: highlight top and left
    EXPECT_EQ(At(image, 11, 5), Black);
    EXPECT_EQ(At(image, 1, 5), Red);
    EXPECT_EQ(At(image, 2, 5), Red);
    EXPECT_EQ(At(image, 3, 5), Blue); // inner inset: shadow top and left
    EXPECT_EQ(At(image, 5, 3), Blue);
    EXPECT_EQ(At(image, 8, 5), Green);
    EXPECT_EQ(At(image, 5, 5), Grey);
}

// ---- The control ---------------------------------------------------------------------------

TEST_F(ToolkitPaintTest, ControlShowsFrameBackgroundAndPicture)
{
    TKBitmap picture = Picture(10, 6, 24, Red);
    auto c = Control(40, 30, &picture);
    c->SetFrameThickness(2);
    c->SetFrameColor(RGB(0, 255, 0));
    c->SetFrameOuterThickness(0);
    c->SetFrameInnerThickness(0);
    const QImage shot = Shot(*c);
    EXPECT_EQ(At(shot, 0, 0), Green);
    EXPECT_EQ(At(shot, 1, 15), Green);
    EXPECT_EQ(At(shot, 2, 2), Red);  // the picture at the view's corner, inside the frame
    EXPECT_EQ(At(shot, 11, 7), Red);
    EXPECT_EQ(At(shot, 12, 7), Blue); // BackColor around it
    EXPECT_EQ(At(shot, 5, 8), Blue);
    EXPECT_EQ(c->Color(), RGB(0, 0, 255)); // BackColor is the control's colour too

    // A picture with alpha blends over BackColor.
    TKBitmap glass = Picture(4, 4, 32, 0x00FFFFFF);
    auto g = Control(10, 10, &glass);
    EXPECT_EQ(At(Shot(*g), 1, 1), Blue);

    // With BackErase and UseTransparentColor the keyed pixels show BackColor.
    Put(picture, 0, 0, White);
    auto k = Control(20, 20, &picture);
    k->SetUseTransparentColor(true);
    k->SetTransparentColor(RGB(255, 255, 255));
    k->SetPaintEffect(2000);
    const QImage keyed = Shot(*k);
    EXPECT_EQ(At(keyed, 0, 0), Blue);
    EXPECT_EQ(At(keyed, 1, 0), Red);
}

TEST_F(ToolkitPaintTest, EffectAndTransitionPassesNotifyAndEndComplete)
{
    TKBitmap picture = Picture(10, 10, 24, Red);
    auto c = Control(20, 20, &picture);
    c->SetPaintEffect(2002);
    c->SetPaintMaxPasses(3);
    c->SetTransitionStyle(TToolkitImage::etsPattern);
    c->SetPatternBackColor(RGB(0, 255, 0));
    std::vector<std::pair<uint, uint>> calls;
    int paints = 0;
    c->OnPaintNotify = [&](TObject*, uint pass, uint type) { calls.emplace_back(pass, type); };
    c->OnPaint = [&](TObject*) { ++paints; };
    const QImage shot = Shot(*c);
    const std::vector<std::pair<uint, uint>> expected = {{0, 0}, {1, 0}, {2, 0}, {3, 0},
                                                         {0, 1}, {1, 1}, {2, 1}, {3, 1}};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(CountOf(shot.copy(0, 0, 10, 10), Red), 100);
    EXPECT_EQ(At(shot, 15, 15), Blue);

    // A checkerboard, too, ends with the whole picture.
    c->SetPaintEffect(6000);
    c->SetTransitionStyle(TToolkitImage::etsNone);
    EXPECT_EQ(CountOf(Shot(*c).copy(0, 0, 10, 10), Red), 100);
}

TEST_F(ToolkitPaintTest, DoubleBufferOnlyWithoutEffects)
{
    TKBitmap picture = Picture(10, 10, 24, Red);
    auto c = Control(20, 20, &picture);
    c->DoubleBuffer = 1;
    int deviceType = -1;
    c->OnPaint = [&](TObject*) { deviceType = c->Canvas()->Handle()->device()->devType(); };
    const QImage buffered = Shot(*c);
    EXPECT_EQ(deviceType, QInternal::Image);
    EXPECT_EQ(At(buffered, 5, 5), Red);
    EXPECT_EQ(At(buffered, 15, 15), Blue);
    c->SetPaintEffect(2000);
    const QImage direct = Shot(*c);
    EXPECT_NE(deviceType, QInternal::Image);
    EXPECT_EQ(direct, buffered);
}

TEST_F(ToolkitPaintTest, FrameWiderThanHalfTheControlEndsThePaint)
{
    TKBitmap picture = Picture(10, 10, 24, Red);
    auto c = Control(20, 20, &picture);
    c->SetAutoScroll(false); // no scroll bars over the frame
    c->SetFrameColor(RGB(0, 255, 0));
    c->SetFrameThickness(11);
    bool painted = false;
    c->OnPaint = [&](TObject*) { painted = true; };
    const QImage shot = Shot(*c);
    EXPECT_FALSE(painted);
    EXPECT_EQ(CountOf(shot, Red), 0);
    EXPECT_EQ(At(shot, 10, 10), Green);
}

TEST_F(ToolkitPaintTest, TransparentControlShowsWhatLiesUnderIt)
{
    TPanel parent;
    parent.SetBevelOuter(bvNone);
    parent.SetBounds(0, 0, 60, 40);
    parent.SetColor(RGB(255, 0, 0));
    TPanel sibling(&parent);
    sibling.SetBevelOuter(bvNone);
    sibling.SetBounds(0, 0, 15, 40);
    sibling.SetColor(RGB(0, 255, 0));
    TKBitmap picture = Picture(4, 4, 24, White);
    TToolkitImage image(&parent);
    image.SetBounds(10, 10, 30, 20);
    image.SetBackColor(RGB(0, 0, 255));
    image.ToolkitBitmap = picture;
    image.HasBitmap = 1;
    image.ImageChanged();
    image.SetTransparent(true);
    EXPECT_FALSE(image.AutoScroll()); // Transparent turns AutoScroll off
    // Painted straight (an effect keeps the double buffer off) and through the double buffer.
    for (int effect : {2000, 1000}) {
        image.SetPaintEffect(effect);
        image.DoubleBuffer = 1;
        const QImage shot = Shot(parent);
        EXPECT_EQ(At(shot, 10, 10), White) << effect; // the picture
        EXPECT_EQ(At(shot, 12, 25), Green) << effect; // the sibling below, under the control
        EXPECT_EQ(At(shot, 30, 25), Red) << effect;   // the parent, under the control
    }
    image.SetTransparent(false);
    EXPECT_EQ(At(Shot(parent), 30, 25), Blue);
}

TEST_F(ToolkitPaintTest, SettersCheckTheirValuesAndKeepTheOldOne)
{
    auto c = Control(20, 20);
    const struct {
        const char* Property;
        std::function<void(uint)> Set;
        std::function<uint()> Get;
        std::vector<uint> Good, Bad;
        const char* Message;
    } cases[] = {
        {"PaintEffect", [&](uint v) { c->SetPaintEffect(int(v)); }, [&] { return uint(c->PaintEffect()); },
         {1000, 1001, 2554, 4029, 16035}, {0, 999, 1002, 2555, 16036}, "PaintEffect: Invalid Property value"},
        {"TransitionEffect", [&](uint v) { c->SetTransitionEffect(int(v)); },
         [&] { return uint(c->TransitionEffect()); }, {3005, 9001}, {3006, 17000}, "TransitionEffect: Invalid Property value"},
        {"GradientStyle", [&](uint v) { c->SetGradientStyle(v); }, [&] { return c->GradientStyle(); },
         {1015, 2007, 3001, 4001, 5007}, {1016, 2008, 0, 0xFFFFFFFF}, "GradientStyle: Invalid Property value"},
        {"EffectGrain", [&](uint v) { c->SetEffectGrain(v); }, [&] { return c->EffectGrain(); }, {1, 256}, {0, 257},
         "EffectGrain: Invalid Property value."},
        {"GradientSteps", [&](uint v) { c->SetGradientSteps(v); }, [&] { return c->GradientSteps(); }, {2, 265},
         {1, 266}, "GradientSteps: Invalid Property value."},
        {"PaintMaxPasses", [&](uint v) { c->SetPaintMaxPasses(v); }, [&] { return c->PaintMaxPasses(); }, {1, 64},
         {0, 65}, "PaintMaxPasses: Invalid Property value."},
    };
    c->SetEnableMethodErrors(false); // the checks raise whatever it says
    for (const auto& k : cases) {
        for (uint v : k.Good) {
            k.Set(v);
            EXPECT_EQ(k.Get(), v) << k.Property;
            EXPECT_EQ(c->LastResult, 1);
        }
        const uint kept = k.Get();
        for (uint v : k.Bad) {
            EXPECT_EQ(Raised([&] { k.Set(v); }), QStringLiteral("ToolkitImage1 \n") + QLatin1String(k.Message))
                << k.Property << " " << v;
            EXPECT_EQ(k.Get(), kept) << k.Property;
        }
    }
}

TEST_F(ToolkitPaintTest, PalettesChangeNothingOnTrueColour)
{
    TKBitmap picture = Picture(4, 4, 24, Red);
    auto c = Control(20, 20, &picture);
    EXPECT_FALSE(c->RealizePalette(false));
    EXPECT_EQ(c->WMQueryNewPalette(), 0);
    EXPECT_EQ(c->WMPaletteChanged(), 0);
    EXPECT_EQ(c->WMActivate(), 0);
    EXPECT_TRUE(c->PaletteChanged(true));
    EXPECT_FALSE(c->PaletteChanged(false));
    // The display mode is the control's only while it paints.
    c->SetPaintScaling(TToolkitImage::psBicubic);
    c->SetPaintPalette(TToolkitImage::ppFixedNetscape);
    Shot(*c);
    EXPECT_EQ(TK_GetDisplayMode(), uint32_t(TKDM_TrueColour));
}

} // namespace
