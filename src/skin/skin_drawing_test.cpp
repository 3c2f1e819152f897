#include "skin/skin_drawing.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/controls.h"
#include "framework/graphics.h"
#include "skin/file_theme.h"

#include <QPainter>
#include <QRegion>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

constexpr uint32_t Back = 0xFF404040;
constexpr uint32_t Key = 0xFFFF00FF;

// A picture whose every pixel tells where it came from, with 0xFF00FF where asked.
std::unique_ptr<TBitmap> Numbered(int w, int h, std::initializer_list<std::pair<int, int>> keyed = {})
{
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->SetPixelArgb(x, y, 0xFF000000u | uint32_t(0x10 + x) << 8 | uint32_t(0x10 + y));
    for (auto [x, y] : keyed)
        b->SetPixelArgb(x, y, Key);
    return b;
}
uint32_t At(int x, int y) { return 0xFF000000u | uint32_t(0x10 + x) << 8 | uint32_t(0x10 + y); }

std::unique_ptr<TBitmap> Surface(int w, int h)
{
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->SetPixelArgb(x, y, Back);
    return b;
}

TEST(StretchSkinImage, CornersKeepTheirSizeAndTheRestStretches)
{
    auto src = Numbered(9, 7);
    auto dst = Surface(50, 40);
    StretchSkinImage(src.get(), dst->Canvas(), {0, 0, 40, 30}, false);
    // Corners: top-left 4x3, top-right 3x3, bottom-left 4x2, bottom-right 3x2, unscaled.
    EXPECT_EQ(dst->PixelArgb(0, 0), At(0, 0));
    EXPECT_EQ(dst->PixelArgb(3, 2), At(3, 2));
    EXPECT_EQ(dst->PixelArgb(37, 0), At(6, 0));
    EXPECT_EQ(dst->PixelArgb(39, 2), At(8, 2));
    EXPECT_EQ(dst->PixelArgb(0, 28), At(0, 5));
    EXPECT_EQ(dst->PixelArgb(39, 29), At(8, 6));
    // Edges repeat the middle row or columns of the picture.
    EXPECT_EQ(dst->PixelArgb(0, 15), At(0, 3));
    const uint32_t top = dst->PixelArgb(20, 0);
    EXPECT_TRUE(top == At(4, 0) || top == At(5, 0));
    EXPECT_EQ(dst->PixelArgb(38, 15), At(7, 4));
    // The centre holds the centre of the picture.
    const uint32_t c = dst->PixelArgb(20, 15);
    EXPECT_TRUE(c == At(4, 3) || c == At(5, 3));
    // Nothing outside the target.
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 50; ++x) {
            if (x >= 40 || y >= 30) {
                ASSERT_EQ(dst->PixelArgb(x, y), Back) << x << "," << y;
            }
        }
    }
}

TEST(StretchSkinImage, FuchsiaIsTransparentInEdgesWhateverTheFlag)
{
    // Keyed corner pixel (0,0) and a keyed pixel of the left edge row (0,3).
    auto src = Numbered(9, 7, {{0, 0}, {0, 3}});
    for (bool transparent : {false, true}) {
        auto dst = Surface(30, 20);
        StretchSkinImage(src.get(), dst->Canvas(), {0, 0, 30, 20}, transparent);
        EXPECT_EQ(dst->PixelArgb(0, 0), transparent ? Back : Key);
        EXPECT_EQ(dst->PixelArgb(0, 10), Back) << transparent;
        EXPECT_EQ(dst->PixelArgb(1, 10), At(1, 3));
    }
}

TEST(StretchSkinImage, SmallPicturesAndTargetsStayInsideTheTarget)
{
    struct Case {
        int Sw, Sh, W, H;
    };
    // Pictures 1 or 2 pixels high or wide used to be read past their last row; tiny targets
    // lose corners. Whatever is drawn stays inside the target and inside the picture's colours.
    const Case cases[] = {{9, 2, 20, 10}, {9, 1, 20, 10}, {2, 9, 10, 20}, {1, 1, 10, 10},
                          {9, 7, 4, 4},  {9, 7, 1, 1},  {9, 7, 0, 5},  {74, 21, 80, 27}};
    for (const Case& c : cases) {
        auto src = Numbered(c.Sw, c.Sh);
        auto dst = Surface(100, 40);
        StretchSkinImage(src.get(), dst->Canvas(), {0, 0, c.W, c.H}, true);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 100; ++x) {
                const uint32_t p = dst->PixelArgb(x, y);
                if (x >= c.W || y >= c.H) {
                    ASSERT_EQ(p, Back) << c.Sw << "x" << c.Sh << " into " << c.W << "x" << c.H << " at " << x << "," << y;
                    continue;
                }
                if (p == Back)
                    continue;
                const int sx = int((p >> 8) & 0xFF) - 0x10, sy = int(p & 0xFF) - 0x10;
                ASSERT_TRUE(sx >= 0 && sx < c.Sw && sy >= 0 && sy < c.Sh) << std::hex << p;
            }
    }
}

TEST(DrawThreePartBar, CapsUnscaledMiddleStretchedMasked)
{
    auto strip = std::make_unique<TBitmap>(9, 3, pf24bit);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 9; ++x)
            strip->SetPixelArgb(x, y, x < 3 ? 0xFFC00000 : x < 6 ? 0xFF00C000 : 0xFF0000C0);
    strip->SetPixelArgb(1, 1, 0xFFFFFF00); // top-left colour of the mask-from-corner case
    strip->SetPixelArgb(0, 0, 0xFFFFFF00);
    strip->SetPixelArgb(8, 2, Key);
    strip->SetPixelArgb(4, 1, Key); // opaque in the middle frame

    auto dst = Surface(30, 10);
    DrawThreePartBar(strip.get(), dst->Canvas(), {5, 2, 25, 5}, false);
    EXPECT_EQ(dst->PixelArgb(5, 0 + 2), 0xFFFFFF00u);
    EXPECT_EQ(dst->PixelArgb(7, 3), 0xFFC00000u);
    EXPECT_EQ(dst->PixelArgb(24, 4), Back); // fuchsia cap pixel left out
    EXPECT_EQ(dst->PixelArgb(22, 2), 0xFF0000C0u);
    EXPECT_EQ(dst->PixelArgb(8, 2), 0xFF00C000u);
    EXPECT_EQ(dst->PixelArgb(21, 4), 0xFF00C000u);
    EXPECT_EQ(dst->PixelArgb(15, 3), Key); // the middle is opaque
    EXPECT_EQ(dst->PixelArgb(4, 3), Back);
    EXPECT_EQ(dst->PixelArgb(25, 3), Back);

    auto dst2 = Surface(30, 10);
    DrawThreePartBar(strip.get(), dst2->Canvas(), {5, 2, 25, 5}, true);
    EXPECT_EQ(dst2->PixelArgb(5, 2), Back);
    EXPECT_EQ(dst2->PixelArgb(6, 3), Back);
    EXPECT_EQ(dst2->PixelArgb(24, 4), Key);

    // Narrower than both caps: the right cap lands over the left one and no middle is drawn
    // (not even mirrored).
    auto dst3 = Surface(30, 10);
    DrawThreePartBar(strip.get(), dst3->Canvas(), {5, 2, 8, 5}, false);
    EXPECT_EQ(dst3->PixelArgb(5, 3), 0xFF0000C0u);
    EXPECT_EQ(dst3->PixelArgb(8, 3), Back);
    EXPECT_EQ(dst3->PixelArgb(4, 3), Back);
}

TEST(TilePicture, TilesFromTheOriginOneBeyondTheRect)
{
    auto pic = Numbered(3, 2);
    auto dst = Surface(12, 9);
    TilePicture(dst->Canvas(), pic.get(), {4, 4, 9, 7}); // extent 5 x 3
    EXPECT_EQ(dst->PixelArgb(0, 0), At(0, 0));
    EXPECT_EQ(dst->PixelArgb(7, 5), At(1, 1));
    EXPECT_EQ(dst->PixelArgb(8, 5), At(2, 1));
    EXPECT_EQ(dst->PixelArgb(9, 0), Back);
    EXPECT_EQ(dst->PixelArgb(0, 6), Back);
    TBitmap empty;
    TilePicture(dst->Canvas(), &empty, {0, 0, 5, 5});
}

TEST(RotateBitmap, QuarterTurnsBothWays)
{
    auto b = Numbered(3, 2);
    RotateBitmapLeft(b.get());
    ASSERT_EQ(b->Width(), 2);
    ASSERT_EQ(b->Height(), 3);
    EXPECT_EQ(b->PixelArgb(0, 0), At(2, 0)); // old top-right
    EXPECT_EQ(b->PixelArgb(1, 2), At(0, 1));
    RotateBitmapRight(b.get());
    auto orig = Numbered(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(b->PixelArgb(x, y), orig->PixelArgb(x, y));
    RotateBitmapRight(b.get());
    EXPECT_EQ(b->PixelArgb(0, 0), At(0, 1)); // old bottom-left
}

TEST(WindowRegion, OpaquePixelsIncludingTheLastColumn)
{
    auto glyph = Numbered(5, 3, {{0, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}});
    QRegion expected;
    expected += QRect(0, 0, 5, 1);
    expected += QRect(1, 1, 1, 1);
    expected += QRect(3, 1, 2, 1);
    EXPECT_EQ(RegionFromBitmap(glyph.get(), clFuchsia), expected);

    QWidget w;
    w.resize(5, 3);
    SetWindowRegionFromBitmap(&w, glyph.get(), clFuchsia);
    EXPECT_EQ(w.mask(), expected);
    auto none = Numbered(2, 2, {{0, 0}, {1, 0}, {0, 1}, {1, 1}});
    SetWindowRegionFromBitmap(&w, none.get(), clFuchsia);
    EXPECT_FALSE(w.mask().isEmpty());
    EXPECT_FALSE(w.mask().intersects(QRect(0, 0, 2, 2)));
}

TEST(DrawWindowFrame, OneOrTwoFrames)
{
    auto dst = Surface(6, 5);
    DrawWindowFrame(dst->Canvas(), {6, 5}, 0x0000FF, 0x00FF00, true);
    EXPECT_EQ(dst->PixelArgb(0, 0), 0xFFFF0000u);
    EXPECT_EQ(dst->PixelArgb(5, 4), 0xFFFF0000u);
    EXPECT_EQ(dst->PixelArgb(1, 1), 0xFF00FF00u);
    EXPECT_EQ(dst->PixelArgb(4, 3), 0xFF00FF00u);
    EXPECT_EQ(dst->PixelArgb(2, 2), Back);
    auto dst2 = Surface(6, 5);
    DrawWindowFrame(dst2->Canvas(), {6, 5}, 0x0000FF, 0x00FF00, false);
    EXPECT_EQ(dst2->PixelArgb(1, 1), Back);
}

TEST(IsPointInRectInclusive, AllEdgesCount)
{
    const TRect r{2, 3, 6, 8};
    const std::tuple<int, int, bool> cases[] = {{2, 3, true}, {6, 8, true}, {6, 3, true}, {4, 5, true},
                                                {1, 5, false}, {7, 5, false}, {4, 2, false}, {4, 9, false}};
    for (auto [x, y, in] : cases) {
        EXPECT_EQ(IsPointInRectInclusive(x, y, r), in) << x << "," << y;
        EXPECT_EQ(IsPointInRectInclusive(TPoint{x, y}, r), in);
    }
}

TEST(ControlPlacement, PositionAndBoundsThroughThePublishedWriters)
{
    TWinControl control;
    SetControlPos(&control, {7, 9});
    EXPECT_EQ(control.geometry().topLeft(), QPoint(7, 9));
    SetControlBounds(&control, {3, 4, 23, 14});
    EXPECT_EQ(control.geometry(), QRect(3, 4, 20, 10));
    TRect work;
    GetWorkAreaRect(work);
    EXPECT_FALSE(IsRectEmpty(work));
}

// A parent that paints column x in a colour of its own, and a child that must not show.
class StripedParent : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        for (int x = 0; x < width(); ++x)
            p.fillRect(x, 0, 1, height(), QColor(x, 100, 50));
    }
};

TEST(PaintParentUnderControl, ShowsTheParentUnderTheControlOnly)
{
    StripedParent parent;
    parent.resize(40, 30);
    QWidget control(&parent);
    control.setGeometry(10, 5, 8, 6);
    QWidget sibling(&parent);
    sibling.setGeometry(12, 6, 3, 3);
    sibling.setAutoFillBackground(true);
    sibling.setPalette(QPalette(Qt::red));
    // A parent that is not shown has nothing on screen to show through.
    auto hidden = Surface(8, 6);
    PaintParentUnderControl(hidden->Canvas(), &control);
    hidden->Canvas()->FinishDrawing();
    EXPECT_EQ(hidden->PixelArgb(3, 2), Back);

    parent.show();
    auto off = Surface(8, 6);
    PaintParentUnderControl(off->Canvas(), &control);
    off->Canvas()->FinishDrawing();
    EXPECT_EQ(off->PixelArgb(0, 0), 0xFF0A6432u);
    EXPECT_EQ(off->PixelArgb(7, 5), 0xFF116432u);
    EXPECT_EQ(off->PixelArgb(3, 2), 0xFF0D6432u);

    QWidget orphan;
    auto untouched = Surface(2, 2);
    PaintParentUnderControl(untouched->Canvas(), &orphan);
    EXPECT_EQ(untouched->PixelArgb(0, 0), Back);
}

// A child that publishes both skin properties and records the order of their writers.
class SkinnedChild : public QWidget {
    Q_OBJECT
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)

public:
    using QWidget::QWidget;
    TsuiUIStyle UIStyle() const { return style; }
    void SetUIStyle(TsuiUIStyle s)
    {
        style = s;
        calls << "UIStyle";
    }
    TsuiFileTheme* FileTheme() const { return file; }
    void SetFileTheme(TsuiFileTheme* f)
    {
        file = f;
        calls << "FileTheme";
    }
    TsuiUIStyle style = DeepBlue;
    TsuiFileTheme* file = nullptr;
    QStringList calls;
};

class StyleOnlyChild : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int UIStyle READ UIStyle WRITE SetUIStyle)
public:
    using QWidget::QWidget;
    int UIStyle() const { return style; }
    void SetUIStyle(int s) { style = s; }
    int style = 3;
};

TEST(ContainerApplyUIStyle, DirectChildrenPublishingBothGetFileThenStyle)
{
    QWidget container;
    auto* a = new SkinnedChild(&container);
    auto* styleOnly = new StyleOnlyChild(&container);
    auto* inner = new SkinnedChild(a); // a grandchild is left to its own container
    TsuiFileTheme file(nullptr);
    ContainerApplyUIStyle(&container, BlueGlass, &file);
    EXPECT_EQ(a->calls, QStringList({"FileTheme", "UIStyle"}));
    EXPECT_EQ(a->style, BlueGlass);
    EXPECT_EQ(a->file, &file);
    EXPECT_EQ(styleOnly->style, 3);
    EXPECT_TRUE(inner->calls.isEmpty());
}

} // namespace

#include "skin_drawing_test.moc"
