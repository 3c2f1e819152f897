// Draws the pictures of the main window's tool palette: the sheet "palette.png" (one 25 x 21
// cell per palette image number across; rows: normal, selected, hover), the palette background
// "palettebg.png" and the tile behind the radial-centre preview "radialtile.png".
//
//   paletteart OUT_DIR            writes OUT_DIR/src/mainwindow/art/...
//   paletteart --check ROOT       compares the pictures' pixels with those under ROOT

#include "raster.h"

#include <QImage>
#include <cmath>

namespace {

constexpr int kW = 25;
constexpr int kH = 21;
constexpr int kCells = 33;

const RGBA kFace = Rgb(0xECE9D8);
const RGBA kInk = Rgb(0x283040);
const RGBA kBlue = Rgb(0x2C64C8);
const RGBA kRed = Rgb(0xD04030);
const RGBA kGold = Rgb(0xF0B020);

Shape Rect(float x0, float y0, float x1, float y1) { return RoundRect(x0, y0, x1, y1, 0.f); }

Shape Frame(float x0, float y0, float x1, float y1, float w)
{
    return Minus(Rect(x0, y0, x1, y1), Rect(x0 + w, y0 + w, x1 - w, y1 - w));
}

// The swatch of a fill style: a 15 x 13 square in the middle of the cell.
void Swatch(Pic& p, const Paint& paint)
{
    p.Fill(Rect(5, 4, 20, 17), kInk);
    p.Fill(Rect(6, 5, 19, 16), paint);
}

Paint Radial(float cx, float cy, float r, RGBA inner, RGBA outer)
{
    return [=](float x, float y) {
        const float d = std::min(1.f, std::hypot(x - cx, y - cy) / r);
        return Mix(inner, outer, d);
    };
}

void Glyph(Pic& p, int n)
{
    const RGBA white = Rgb(0xFFFFFF);
    switch (n) {
    case 0: // selection: a dashed frame
        for (float x = 5; x < 20; x += 4) {
            p.Fill(Rect(x, 4, x + 2, 5), kInk);
            p.Fill(Rect(x, 16, x + 2, 17), kInk);
        }
        for (float y = 4; y < 17; y += 4) {
            p.Fill(Rect(5, y, 6, y + 2), kInk);
            p.Fill(Rect(19, y, 20, y + 2), kInk);
        }
        break;
    case 1: // pencil
        p.Fill(Stroke({{7, 15}, {17, 5}}, 3.4f), kGold);
        p.Fill(Polygon({{5, 17}, {6, 13.5f}, {8.5f, 16}}), kInk);
        p.Fill(Stroke({{16, 6}, {18, 4}}, 3.4f), kRed);
        break;
    case 2: // line
        p.Fill(Stroke({{5, 16}, {20, 5}}, 1.6f), kInk);
        break;
    case 3: // brush
        p.Fill(Stroke({{13, 9}, {19, 3}}, 2.2f), Rgb(0x8A5A20));
        p.Fill(Polygon({{10, 10}, {13, 8}, {15, 10}, {12, 14}, {6, 18}}), kBlue);
        break;
    case 4: // rectangle
        p.Fill(Frame(5, 5, 20, 16, 1.5f), kInk);
        break;
    case 5: // filled rectangle
        p.Fill(Rect(5, 5, 20, 16), kBlue);
        p.Fill(Frame(5, 5, 20, 16, 1.f), kInk);
        break;
    case 6: // ellipse
        p.Fill(Minus(Ellipse(12.5f, 10.5f, 7.5f, 6), Ellipse(12.5f, 10.5f, 6, 4.5f)), kInk);
        break;
    case 7: // filled ellipse
        p.Fill(Ellipse(12.5f, 10.5f, 7.5f, 6), kInk);
        p.Fill(Ellipse(12.5f, 10.5f, 6.5f, 5), kBlue);
        break;
    case 8: // text: a capital A
        p.Fill(Stroke({{7, 17}, {12.5f, 4}, {18, 17}}, 2.2f), kInk);
        p.Fill(Rect(9.5f, 12, 15.5f, 13.5f), kInk);
        break;
    case 9: // colour picker: a pipette
        p.Fill(Stroke({{6, 16}, {14, 8}}, 2.4f), white);
        p.Fill(Stroke({{6, 16}, {14, 8}}, 1.f), kInk);
        p.Fill(Stroke({{15, 7}, {18, 4}}, 4.f), kInk);
        break;
    case 10: // 3D frame: light top-left, dark bottom-right
        p.Fill(Rect(5, 4, 20, 17), Rgb(0xC8C4BC));
        p.Fill(Polygon({{5, 4}, {20, 4}, {18, 6}, {7, 6}, {7, 15}, {5, 17}}), white);
        p.Fill(Polygon({{20, 4}, {20, 17}, {5, 17}, {7, 15}, {18, 15}, {18, 6}}), Rgb(0x606060));
        break;
    case 11: // paint bucket
        p.Fill(Polygon({{6, 9}, {12, 4}, {18, 10}, {12, 16}}), kInk);
        p.Fill(Polygon({{7.5f, 9}, {12, 5.5f}, {16.5f, 10}, {12, 14.5f}}), white);
        p.Fill(Ellipse(18.5f, 14.5f, 1.6f, 2.4f), kBlue);
        break;
    case 12: // the diamond, greyed: the stand-in while Diamond Gradient is not offered
        Swatch(p, Solid(Rgb(0xC8C8C8)));
        p.Fill(Polygon({{12.5f, 5}, {19, 10.5f}, {12.5f, 16}, {6, 10.5f}}), Rgb(0xA0A0A0));
        break;
    case 13: case 14: case 15: case 16:
    case 17: case 18: case 19: case 20: {
        const float w = float(1 + 2 * ((n - 13) % 4));
        if (n <= 16)
            p.Fill(Rect(4, 10.5f - w / 2, 21, 10.5f + w / 2), kInk);
        else
            p.Fill(Stroke({{4 + w / 2, 10.5f}, {21 - w / 2, 10.5f}}, w), kInk);
        break;
    }
    case 21: Swatch(p, Solid(kBlue)); break;
    case 22: Swatch(p, VGrad({{5, white}, {16, kBlue}})); break;
    case 23: Swatch(p, HGrad({{6, white}, {19, kBlue}})); break;
    case 24: Swatch(p, Radial(12.5f, 10.5f, 8, white, kBlue)); break;
    case 29: Swatch(p, [&](float x, float y) { return Mix(white, kBlue, std::clamp((x - 6 + y - 5) / 24.f, 0.f, 1.f)); }); break;
    case 30: Swatch(p, [&](float x, float y) { return Mix(white, kBlue, std::clamp((19 - x + y - 5) / 24.f, 0.f, 1.f)); }); break;
    case 31:
        Swatch(p, [&](float x, float y) {
            return Mix(white, kBlue, std::clamp((std::abs(x - 12.5f) / 6.5f + std::abs(y - 10.5f) / 5.5f) / 1.2f, 0.f, 1.f));
        });
        break;
    case 32: // image: a small landscape
        Swatch(p, VGrad({{5, Rgb(0x90C8F0)}, {16, Rgb(0xD8ECF8)}}));
        p.Fill(Polygon({{6, 16}, {11, 9}, {14, 13}, {16, 11}, {19, 16}}), Rgb(0x3C9040));
        p.Fill(Ellipse(16, 7.5f, 1.6f, 1.6f), kGold);
        break;
    case 25: // flip vertical
        p.Fill(Polygon({{12.5f, 2}, {17, 7}, {8, 7}}), kInk);
        p.Fill(Polygon({{12.5f, 19}, {17, 14}, {8, 14}}), kBlue);
        p.Fill(Rect(4, 10, 21, 11), Rgb(0x808080));
        break;
    case 26: // flip horizontal
        p.Fill(Polygon({{3, 10.5f}, {8, 6}, {8, 15}}), kInk);
        p.Fill(Polygon({{22, 10.5f}, {17, 6}, {17, 15}}), kBlue);
        p.Fill(Rect(12, 3, 13, 18), Rgb(0x808080));
        break;
    case 27: case 28: { // rotate left / right: an arc with its arrow head
        Pic arc(kW, kH);
        std::vector<std::pair<float, float>> pts;
        for (int i = 0; i <= 20; ++i) {
            const float a = float((30 + 12 * i) * M_PI / 180);
            pts.emplace_back(12.5f + 6 * std::cos(a), 11 - 6 * std::sin(a));
        }
        arc.Fill(Stroke(pts, 2), kBlue);
        arc.Fill(Polygon({{14.5f, 2.5f}, {20, 6}, {14, 9}}), kBlue);
        p.Blit(n == 27 ? arc.FlipX() : arc, 0, 0);
        break;
    }
    default:
        break;
    }
}

enum { stNormal, stSelected, stHover };

Pic Cell(int n, int state)
{
    Pic p(kW, kH, kFace);
    if (state == stSelected) {
        p.Fill(Rect(0, 0, kW, kH), Rgb(0xD6E4F6));
        p.Fill(Frame(0, 0, kW, kH, 1), Rgb(0x316AC5));
    } else if (state == stHover) {
        p.Fill(Rect(0, 0, kW, kH), Rgb(0xFAF8F0));
        p.Fill(Frame(0, 0, kW, kH, 1), Rgb(0x9AB4DA));
    }
    Pic glyph(kW, kH);
    Glyph(glyph, n);
    p.Blit(glyph, 0, 0);
    return p;
}

QImage Sheet()
{
    Pic sheet(kW * kCells, kH * 3, kFace);
    for (int state = stNormal; state <= stHover; ++state)
        for (int n = 0; n < kCells; ++n)
            sheet.Blit(Cell(n, state), n * kW, state * kH);
    // Cell 12 of the second row: the tiny dark marks at the ends of two palette rows.
    sheet.Blit(Pic(3, 3, Rgb(0x505868)), 12 * kW, kH);
    return sheet.ToImage();
}

QImage Background()
{
    Pic p(106, 208, kFace);
    // Group separators under the tools, the fill styles and the widths.
    for (float y : {74.f, 124.f, 174.f})
        p.Fill(Rect(3, y, 103, y + 1), Rgb(0xACA899));
    return p.ToImage();
}

QImage RadialTile()
{
    Pic p(16, 16, Rgb(0xFFFFFF));
    p.Fill([](float x, float y) { return (int(x) / 8 + int(y) / 8) % 2 == 1; }, Rgb(0xCCCCCC));
    return p.ToImage();
}

} // namespace

int main(int argc, char** argv)
{
    return WriteOrCheckArt(argc, argv, "paletteart", QStringLiteral("src/mainwindow/art"),
                           {{"palette.png", Sheet}, {"palettebg.png", Background}, {"radialtile.png", RadialTile}});
}
