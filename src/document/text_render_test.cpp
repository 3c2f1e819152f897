#include "document/text_render.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// Full blocks fill their whole cell, so every gradient shows at known places.
const QString kBlocks = QString(2, QChar(0x2588));

struct Rendered {
    QImage Picture;
    TRect Box;
    QImage Cropped;
};

Rendered Render(const TTextRenderChoice& c)
{
    Rendered r;
    GpBitmap* picture = RenderTextPicture(c, r.Box);
    if (picture)
        r.Picture = *GdipImageData(picture);
    GpBitmap* cropped = CropTextPicture(picture, r.Box);
    if (cropped)
        r.Cropped = *GdipImageData(cropped);
    GdipDisposeImage(cropped);
    GdipDisposeImage(picture);
    return r;
}

TTextRenderChoice Blocks(int mode, ARGB c1, ARGB c2)
{
    TTextRenderChoice c;
    c.Text = kBlocks;
    c.FontName = "DejaVu Sans";
    c.FillMode = mode;
    c.Color1 = c1;
    c.Color2 = c2;
    return c;
}

} // namespace

TEST(TextRender, PictureIsTwentyPixelsPerCharacterAndTheCropHoldsTheGlyphsAndOneRow)
{
    for (const char* font : {"Simsun", "Times New Roman", "Tahoma", "DejaVu Sans"}) {
        TTextRenderChoice c;
        c.Text = "Ab";
        c.FontName = font;
        const Rendered r = Render(c);
        ASSERT_EQ(r.Picture.size(), QSize(40, 61)) << font;
        // Windows fonts draw with their installed stand-ins.
        ASSERT_FALSE(IsRectEmpty(r.Box)) << font;
        ASSERT_EQ(r.Cropped.size(), QSize(r.Box.Right - r.Box.Left, r.Box.Bottom - r.Box.Top + 1)) << font;
        for (int y = 0; y < r.Cropped.height(); ++y)
            for (int x = 0; x < r.Cropped.width(); ++x) {
                const QRgb want = y == r.Cropped.height() - 1 ? 0u : r.Picture.pixel(r.Box.Left + x, r.Box.Top + y);
                ASSERT_EQ(r.Cropped.pixel(x, y), want) << font << " " << x << "," << y;
            }
        // The box is tight: its edge rows and columns hold ink.
        auto inked = [&](int x0, int y0, int x1, int y1) {
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x)
                    if (qAlpha(r.Picture.pixel(x, y)))
                        return true;
            return false;
        };
        const TRect& b = r.Box;
        EXPECT_TRUE(inked(b.Left, b.Top, b.Left, b.Bottom - 1) && inked(b.Right - 1, b.Top, b.Right - 1, b.Bottom - 1) &&
                    inked(b.Left, b.Top, b.Right - 1, b.Top) && inked(b.Left, b.Bottom - 1, b.Right - 1, b.Bottom - 1))
            << font;
    }
}

TEST(TextRender, LongTextKeepsEveryGlyphAndNothingDrawnGivesNoPicture)
{
    TTextRenderChoice c;
    c.FontName = "DejaVu Sans";
    c.Text = QString(20, QLatin1Char('m'));
    const Rendered r = Render(c);
    EXPECT_EQ(r.Picture.width(), 400);
    EXPECT_GT(r.Cropped.width(), 315);

    c.Text.clear();
    EXPECT_TRUE(Render(c).Picture.isNull());
    EXPECT_TRUE(Render(c).Cropped.isNull());
    // A font the system does not have draws nothing: the box is empty and nothing is cropped.
    c.Text = "Ab";
    c.FontName = "No Such Font Family";
    const Rendered none = Render(c);
    EXPECT_EQ(none.Picture.size(), QSize(40, 61));
    EXPECT_TRUE(IsRectEmpty(none.Box));
    EXPECT_TRUE(none.Cropped.isNull());
}

TEST(TextRender, EachGradientRunsFromTheFirstColourToTheSecond)
{
    const ARGB red = 0xFFFF0000, clearRed = 0x00FF0000, blue = 0xFF0000FF;
    // Fill mode 1 from opaque red to transparent: the alpha falls across the whole picture
    // width, and the box still spans every glyph.
    {
        const Rendered r = Render(Blocks(1, red, clearRed));
        ASSERT_FALSE(IsRectEmpty(r.Box));
        const int y = (r.Box.Top + r.Box.Bottom) / 2;
        const int w = r.Picture.width();
        for (int x : {r.Box.Left + 1, (r.Box.Left + r.Box.Right) / 2, r.Box.Right - 2}) {
            const QRgb p = r.Picture.pixel(x, y);
            const double t = (x + 0.5) / w;
            EXPECT_NEAR(qAlpha(p), 255 * (1 - t), 4) << x;
        }
        EXPECT_EQ(qRed(r.Picture.pixel(r.Box.Right - 2, y)), 255);
        const Rendered solid = Render(Blocks(1, red, red));
        EXPECT_EQ(r.Box, solid.Box);
    }
    // Modes 2 and 3: the first colour at the top, and at the top left.
    struct {
        int Mode;
        QPoint Near, Far;
    } const lines[] = {{2, {0, 0}, {0, 1}}, {3, {0, 0}, {1, 1}}};
    for (const auto& l : lines) {
        const Rendered r = Render(Blocks(l.Mode, red, blue));
        const TRect& b = r.Box;
        auto at = [&](QPoint f) {
            return r.Picture.pixel(f.x() ? b.Right - 2 : b.Left + 1, f.y() ? b.Bottom - 2 : b.Top + 1);
        };
        EXPECT_GT(qRed(at(l.Near)), qBlue(at(l.Near))) << l.Mode;
        EXPECT_GT(qBlue(at(l.Far)), qRed(at(l.Far))) << l.Mode;
        EXPECT_GT(qRed(at(l.Near)), qRed(at(l.Far)) + 40) << l.Mode;
    }
    // Mode 4: the second colour at the centre, (25, 25) until one is chosen, the first at the rim.
    for (const QPoint centre : {QPoint(200, 200), QPoint(10, 30)}) {
        TTextRenderChoice c = Blocks(4, red, blue);
        c.CenterX = centre.x();
        c.CenterY = centre.y();
        const Rendered r = Render(c);
        const QPoint used = centre == QPoint(200, 200) ? QPoint(25, 25) : centre;
        const QRgb middle = r.Picture.pixel(used);
        EXPECT_GT(qBlue(middle), 220) << used.x();
        EXPECT_LT(qRed(middle), 35) << used.x();
        const QRgb rim = r.Picture.pixel(r.Box.Right - 1, r.Box.Bottom - 1);
        EXPECT_GT(qRed(rim), qRed(middle) + 40) << used.x();
    }
}
