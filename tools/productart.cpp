// Draws the four product pictures of the Other Products page, "product1.png" to "product4.png":
// the GIF studio's film strip, the cursor studio's pointer, the screen studio's monitor and the
// icon studio's library of icons, each on a rounded tile of its own colour.
//
//   productart OUT_DIR            writes OUT_DIR/src/mainwindow/art/product<n>.png
//   productart --check ROOT       compares them with those under ROOT

#include "raster.h"

#include <cmath>

namespace {

constexpr int kSide = 128;

Shape Rect(float x0, float y0, float x1, float y1) { return RoundRect(x0, y0, x1, y1, 0.f); }

// The tile every picture stands on: a rounded square lit from the top, with a darker rim.
void Tile(Pic& p, uint32_t top, uint32_t bottom)
{
    const float s = float(kSide);
    p.Fill(RoundRect(4.f, 6.f, s - 4.f, s - 2.f, 20.f), Rgb(0x000000, 50));
    p.Fill(RoundRect(4.f, 4.f, s - 4.f, s - 4.f, 20.f), Darker(Rgb(bottom), 0.25f));
    p.Fill(RoundRect(6.f, 6.f, s - 6.f, s - 6.f, 18.f), VGrad({{6.f, Rgb(top)}, {s - 6.f, Rgb(bottom)}}));
    // A soft gloss over the upper half.
    p.Fill(Intersect(RoundRect(6.f, 6.f, s - 6.f, s - 6.f, 18.f), Ellipse(s / 2.f, 10.f, 70.f, 44.f)),
           VGrad({{6.f, Rgb(0xFFFFFF, 90)}, {54.f, Rgb(0xFFFFFF, 0)}}));
}

// A film strip of three frames in which a ball bounces.
Pic GifStudio()
{
    Pic p(kSide, kSide);
    Tile(p, 0x7FD0F0, 0x2070B8);
    const RGBA film = Rgb(0x202830);
    p.Fill(RoundRect(18.f, 30.f, 110.f, 98.f, 4.f), film);
    for (int i = 0; i < 7; ++i) {
        const float x = 23.f + 13.f * float(i);
        p.Fill(RoundRect(x, 34.f, x + 7.f, 40.f, 1.5f), Rgb(0xE8F0F8));
        p.Fill(RoundRect(x, 88.f, x + 7.f, 94.f, 1.5f), Rgb(0xE8F0F8));
    }
    const float heights[] = {52.f, 70.f, 58.f};
    for (int f = 0; f < 3; ++f) {
        const float x0 = 22.f + 29.f * float(f);
        p.Fill(Rect(x0, 44.f, x0 + 26.f, 84.f), VGrad({{44.f, Rgb(0xFFF6D8)}, {84.f, Rgb(0xF8E0A0)}}));
        p.Fill(Rect(x0, 80.f, x0 + 26.f, 84.f), Rgb(0x70A040));
        const float cy = heights[f];
        p.Fill(Ellipse(x0 + 13.f, cy + 1.5f, 8.f, 8.f), Rgb(0x000000, 40));
        p.Fill(Ellipse(x0 + 13.f, cy, 8.f, 8.f), Rgb(0xD83828));
        p.Fill(Ellipse(x0 + 10.5f, cy - 3.f, 2.5f, 2.5f), Rgb(0xFFFFFF, 170));
    }
    return p;
}

// The classic arrow pointer over a hot-spot cross.
Pic CursorStudio()
{
    Pic p(kSide, kSide);
    Tile(p, 0xF8D070, 0xD07818);
    const Shape cross = Union(Rect(28.f, 34.5f, 52.f, 37.5f), Rect(38.5f, 24.f, 41.5f, 48.f));
    p.Fill(cross, Rgb(0xC02018, 200));
    const Shape arrow = Polygon({{40.f, 36.f}, {40.f, 104.f}, {56.f, 88.f}, {67.f, 112.f}, {78.f, 107.f}, {67.f, 84.f},
                                 {90.f, 84.f}});
    p.Fill([arrow](float x, float y) { return arrow(x - 3.f, y - 3.f); }, Rgb(0x000000, 60));
    p.Fill(Stroke({{40.f, 36.f}, {40.f, 104.f}, {56.f, 88.f}, {67.f, 112.f}, {78.f, 107.f}, {67.f, 84.f}, {90.f, 84.f},
                   {40.f, 36.f}},
                  5.f),
           Rgb(0x101010));
    p.Fill(arrow, Rgb(0xFFFFFF));
    p.Fill(Ellipse(40.f, 36.f, 3.f, 3.f), Rgb(0xC02018));
    return p;
}

// A monitor whose screen holds a landscape and a dashed capture rectangle.
Pic ScreenStudio()
{
    Pic p(kSide, kSide);
    Tile(p, 0x9CE08C, 0x2E8C3C);
    p.Fill(Polygon({{52.f, 92.f}, {76.f, 92.f}, {82.f, 106.f}, {46.f, 106.f}}), Rgb(0x505860));
    p.Fill(RoundRect(38.f, 104.f, 90.f, 110.f, 3.f), Rgb(0x384048));
    p.Fill(RoundRect(16.f, 24.f, 112.f, 94.f, 6.f), Rgb(0x283038));
    const float x0 = 22.f, y0 = 30.f, x1 = 106.f, y1 = 86.f;
    p.Fill(Rect(x0, y0, x1, y1), VGrad({{y0, Rgb(0x78B8F0)}, {y1, Rgb(0xD8ECFF)}}));
    p.Fill(Intersect(Rect(x0, y0, x1, y1), Polygon({{x0, y1}, {46.f, 56.f}, {62.f, 70.f}, {80.f, 48.f}, {x1, y1}})),
           Rgb(0x3C7848));
    p.Fill(Ellipse(92.f, 42.f, 6.f, 6.f), Rgb(0xFFE060));
    // Dashes of the capture rectangle, four pixels on and three off.
    const float cx0 = 40.f, cy0 = 44.f, cx1 = 86.f, cy1 = 76.f;
    p.Fill(
        [=](float x, float y) {
            const bool onH = (std::fabs(y - cy0) < 1.f || std::fabs(y - cy1) < 1.f) && x >= cx0 - 1.f && x <= cx1 + 1.f;
            const bool onV = (std::fabs(x - cx0) < 1.f || std::fabs(x - cx1) < 1.f) && y >= cy0 - 1.f && y <= cy1 + 1.f;
            const float along = onH ? x - cx0 : y - cy0;
            return (onH || onV) && std::fmod(along + 7.f, 7.f) < 4.f;
        },
        Rgb(0xE02020));
    for (const auto& [hx, hy] : std::vector<std::pair<float, float>>{{cx0, cy0}, {cx1, cy0}, {cx0, cy1}, {cx1, cy1}})
        p.Fill(Rect(hx - 2.5f, hy - 2.5f, hx + 2.5f, hy + 2.5f), Rgb(0xFFFFFF));
    return p;
}

// A book of icons: three by three small tiles of many colours on an open page.
Pic IconStudio()
{
    Pic p(kSide, kSide);
    Tile(p, 0xC8A8F0, 0x6038B0);
    p.Fill(RoundRect(20.f, 26.f, 108.f, 104.f, 6.f), Rgb(0x000000, 50));
    p.Fill(RoundRect(18.f, 22.f, 106.f, 100.f, 6.f), Rgb(0xF8F6F0));
    p.Fill(Rect(61.f, 24.f, 63.f, 98.f), Rgb(0xC8C0B0));
    const uint32_t colours[] = {0xE04838, 0xF0A020, 0x48A848, 0x3878D8, 0x9850C8, 0x20A8B0, 0xE06898, 0x808890, 0xC8B820};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const float x = 26.f + 26.f * float(col) + (col == 2 ? 2.f : 0.f);
            const float y = 30.f + 23.f * float(row);
            const uint32_t c = colours[row * 3 + col];
            p.Fill(RoundRect(x, y, x + 18.f, y + 18.f, 4.f), VGrad({{y, Lighter(Rgb(c), 0.35f)}, {y + 18.f, Rgb(c)}}));
            p.Fill(RoundRect(x + 4.f, y + 4.f, x + 14.f, y + 8.f, 2.f), Rgb(0xFFFFFF, 120));
        }
    }
    return p;
}

} // namespace

int main(int argc, char** argv)
{
    return WriteOrCheckArt(argc, argv, "productart", QStringLiteral("src/mainwindow/art"),
                           {{"product1.png", [] { return GifStudio().ToImage(); }},
                            {"product2.png", [] { return CursorStudio().ToImage(); }},
                            {"product3.png", [] { return ScreenStudio().ToImage(); }},
                            {"product4.png", [] { return IconStudio().ToImage(); }}});
}
