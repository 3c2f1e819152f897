// Draws the pictures the main window ships with: the tool-bar icons "data/icon<n>.ico" (n = 0..58:
// normal pictures 0..22, hot ones 23..46, disabled ones 47..58), the fill patterns
// "image/16color/<n>.bmp" and "image/1color/<n>.bmp" (n = 1..88, the cells of the two pattern
// palettes) and the two splash pictures. The icons are written by the program's own icon writer.
//
//   mainart OUT_DIR            writes OUT_DIR/assets/... and OUT_DIR/src/mainwindow/art/...
//   mainart --check ROOT       compares the icons and patterns with those under ROOT

#include "raster.h"

#include "framework/bitmap.h"
#include "framework/qimage_bridge.h"
#include "imaging/icons/bitmap_icon_writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kSide = 24;

enum class Tone { Normal, Hot, Disabled };

Tone g_tone = Tone::Normal;

// Every colour of a glyph passes here, so one drawing serves the three states of a button.
RGBA C(uint32_t rgb, int alpha = 255)
{
    const RGBA c = Rgb(rgb, alpha);
    switch (g_tone) {
    case Tone::Hot:
        return Lighter(c, 0.22f);
    case Tone::Disabled:
        return Lighter(Grey(c, 1.f), 0.45f);
    default:
        return c;
    }
}

// The shape shrunk by d pixels: a point is inside when its neighbours d away are.
Shape Inset(Shape s, float d)
{
    return [s, d](float x, float y) { return s(x, y) && s(x - d, y) && s(x + d, y) && s(x, y - d) && s(x, y + d); };
}

// A filled shape with a one-pixel darker outline.
void Outlined(Pic& p, const Shape& s, const RGBA& fill, const RGBA& line)
{
    p.Fill(s, line);
    p.Fill(Inset(s, 1.f), fill);
}

Shape Rect(float x0, float y0, float x1, float y1) { return RoundRect(x0, y0, x1, y1, 0.f); }

Shape Ring(float cx, float cy, float r, float width)
{
    return Minus(Ellipse(cx, cy, r, r), Ellipse(cx, cy, r - width, r - width));
}

std::vector<std::pair<float, float>> Arc(float cx, float cy, float r, float from, float to, int steps = 24)
{
    std::vector<std::pair<float, float>> pts;
    for (int i = 0; i <= steps; ++i) {
        const float a = (from + (to - from) * float(i) / float(steps)) * float(M_PI) / 180.f;
        pts.emplace_back(cx + r * std::cos(a), cy - r * std::sin(a));
    }
    return pts;
}

void Page(Pic& p, float x0, float y0, float x1, float y1)
{
    const float f = 5.f;
    const Shape sheet = Polygon({{x0, y0}, {x1 - f, y0}, {x1, y0 + f}, {x1, y1}, {x0, y1}});
    Outlined(p, sheet, C(0xFFFFFF), C(0x505868));
    p.Fill(Polygon({{x1 - f, y0}, {x1 - f, y0 + f}, {x1, y0 + f}}), C(0xB8C0CC));
    for (float y = y0 + 7.f; y < y1 - 2.f; y += 3.f)
        p.Fill(Rect(x0 + 3.f, y, x1 - 3.f, y + 1.f), C(0xA8B4C8));
}

void Magnifier(Pic& p, float cx, float cy, float r)
{
    p.Fill(Ellipse(cx, cy, r, r), C(0xDDEEFF, 200));
    p.Fill(Ring(cx, cy, r + 0.5f, 2.2f), C(0x384858));
    p.Fill(Stroke({{cx + r * 0.75f, cy + r * 0.75f}, {21.f, 21.f}}, 3.6f), C(0x8A5A20));
}

void Arrow(Pic& p, float x, float y, float s)
{
    const Shape arrow = Polygon({{x, y}, {x, y + 15 * s}, {x + 4 * s, y + 11.5f * s}, {x + 7 * s, y + 17 * s},
                                 {x + 9 * s, y + 16 * s}, {x + 6.5f * s, y + 10.5f * s}, {x + 11 * s, y + 10.5f * s}});
    Outlined(p, arrow, C(0xFFFFFF), C(0x101010));
}

Pic Glyph(int n)
{
    Pic p(kSide, kSide);
    switch (n) {
    case 0: // New
        Page(p, 4, 2, 19, 22);
        p.Fill(Polygon({{5, 1}, {6.2f, 4.2f}, {9.5f, 5}, {6.2f, 5.8f}, {5, 9}, {3.8f, 5.8f}, {0.5f, 5}, {3.8f, 4.2f}}),
               C(0xF0B000));
        break;
    case 1: // Open
        Outlined(p, TopRoundRect(2, 4, 10, 9, 1.5f), C(0xD89A20), C(0x8A5A10));
        Outlined(p, RoundRect(2, 7, 20, 20, 1.5f), C(0xE8B040), C(0x8A5A10));
        Outlined(p, Polygon({{6, 11}, {23, 11}, {19.5f, 20}, {2, 20}}), C(0xFAD070), C(0x8A5A10));
        break;
    case 2: // Save
        Outlined(p, RoundRect(3, 3, 21, 21, 2), C(0x3068C0), C(0x183868));
        p.Fill(Rect(7, 3, 17, 10), C(0xE8ECF0));
        p.Fill(Rect(13, 4.5f, 15.5f, 8.5f), C(0x405060));
        p.Fill(Rect(6, 13, 18, 21), C(0xF8F8F8));
        p.Fill(Rect(8, 15, 16, 16), C(0xA0A8B0));
        p.Fill(Rect(8, 18, 16, 19), C(0xA0A8B0));
        break;
    case 3: // Print
        Outlined(p, Rect(6, 2, 18, 11), C(0xFFFFFF), C(0x606870));
        Outlined(p, RoundRect(2, 9, 22, 18, 2), C(0xB0B8C0), C(0x505860));
        Outlined(p, Rect(6, 15, 18, 22), C(0xFFFFFF), C(0x606870));
        p.Fill(Ellipse(18.5f, 12, 1.2f, 1.2f), C(0x20C040));
        break;
    case 4: // Undo
    case 5: { // Redo
        Pic u(kSide, kSide);
        u.Fill(Stroke(Arc(12, 14, 6.5f, -60, 180), 3.2f), C(0x2060C8));
        u.Fill(Polygon({{0.5f, 12}, {11, 12}, {5.5f, 19}}), C(0x2060C8));
        p = n == 4 ? u : u.FlipX();
        break;
    }
    case 6: // Cut
        p.Fill(Stroke({{8, 15}, {16, 2}}, 2.2f), C(0x8090A0));
        p.Fill(Stroke({{16, 15}, {8, 2}}, 2.2f), C(0xA0B0C0));
        p.Fill(Ring(7, 18, 4, 1.8f), C(0xC02020));
        p.Fill(Ring(17, 18, 4, 1.8f), C(0xC02020));
        break;
    case 7: // Copy
        Page(p, 2, 2, 14, 17);
        Page(p, 9, 7, 21, 22);
        break;
    case 8: // Paste
        Outlined(p, RoundRect(3, 4, 17, 22, 2), C(0xB07830), C(0x6A4410));
        Outlined(p, RoundRect(7, 2, 13, 7, 1), C(0xC8CCD0), C(0x505860));
        Page(p, 10, 9, 21, 22);
        break;
    case 9: // Delete
        p.Fill(Stroke({{5, 5}, {19, 19}}, 4), C(0xD02020));
        p.Fill(Stroke({{19, 5}, {5, 19}}, 4), C(0xD02020));
        break;
    case 10: // Zoom In
    case 11: // Zoom Out
    case 12: // Fit
        Magnifier(p, 10, 10, 7);
        if (n == 12) {
            const RGBA b = C(0x2060C8);
            p.Fill(Stroke({{6, 8.5f}, {6, 6}, {8.5f, 6}}, 1.4f), b);
            p.Fill(Stroke({{11.5f, 6}, {14, 6}, {14, 8.5f}}, 1.4f), b);
            p.Fill(Stroke({{6, 11.5f}, {6, 14}, {8.5f, 14}}, 1.4f), b);
            p.Fill(Stroke({{11.5f, 14}, {14, 14}, {14, 11.5f}}, 1.4f), b);
        } else {
            p.Fill(Rect(6, 9, 14, 11), C(0x2060C8));
            if (n == 10)
                p.Fill(Rect(9, 6, 11, 14), C(0x2060C8));
        }
        break;
    case 13: // GIF builder
        Outlined(p, RoundRect(1, 4, 23, 20, 1.5f), C(0x303840), C(0x101418));
        for (float x = 3; x < 22; x += 4) {
            p.Fill(Rect(x, 5.5f, x + 2, 7), C(0xE0E0E0));
            p.Fill(Rect(x, 17, x + 2, 18.5f), C(0xE0E0E0));
        }
        p.Fill(Rect(3, 8.5f, 11, 15.5f), C(0x40A0F0));
        p.Fill(Rect(13, 8.5f, 21, 15.5f), C(0xF0A040));
        break;
    case 14: // Animated cursor builder
        for (int i = 0; i < 3; ++i)
            p.Fill(Rect(1, 5.f + 4.f * i, 6.f - i, 6.5f + 4.f * i), C(0x40A0F0));
        Arrow(p, 8, 2, 1.1f);
        break;
    case 15: // Capture
        Outlined(p, RoundRect(2, 7, 22, 20, 2), C(0x505860), C(0x202428));
        p.Fill(Rect(7, 4, 13, 7), C(0x505860));
        p.Fill(Ellipse(12, 13.5f, 5, 5), C(0x202830));
        p.Fill(Ellipse(12, 13.5f, 3, 3), C(0x4080D0));
        p.Fill(Ellipse(11, 12.5f, 1, 1), C(0xFFFFFF));
        p.Fill(Rect(17, 9, 20, 10.5f), C(0xF0D040));
        break;
    case 16: // Hot spot
        p.Fill(Ring(12, 12, 8, 1.8f), C(0x303840));
        p.Fill(Rect(11.2f, 1, 12.8f, 8), C(0x303840));
        p.Fill(Rect(11.2f, 16, 12.8f, 23), C(0x303840));
        p.Fill(Rect(1, 11.2f, 8, 12.8f), C(0x303840));
        p.Fill(Rect(16, 11.2f, 23, 12.8f), C(0x303840));
        p.Fill(Ellipse(12, 12, 2.2f, 2.2f), C(0xE02020));
        break;
    case 17: // Test current icon
        Arrow(p, 3, 1, 1.15f);
        p.Fill(Stroke({{13, 17}, {16, 20.5f}, {22, 12}}, 2.4f), C(0x20A040));
        break;
    case 18: // Search
        Outlined(p, Rect(2, 2, 18, 15), C(0x88C8F8), C(0x405060));
        p.Fill(Polygon({{3, 14}, {8, 8}, {12, 12}, {14, 10}, {17, 14}}), C(0x40A040));
        Magnifier(p, 14, 14, 5);
        break;
    case 19: // Customize Windows icons
        Outlined(p, RoundRect(1, 2, 23, 17, 1.5f), C(0x3080D0), C(0x303840));
        p.Fill(Rect(4, 5, 8, 9), C(0xF0D040));
        p.Fill(Rect(10, 5, 14, 9), C(0xFFFFFF));
        p.Fill(Rect(4, 11, 8, 15), C(0x60D060));
        p.Fill(Rect(8, 17, 16, 20), C(0x606870));
        p.Fill(Rect(5, 20, 19, 22), C(0x404850));
        break;
    case 20: // Live update
        p.Fill(Ellipse(11, 11, 9, 9), C(0x3070D0));
        p.Fill(Stroke({{2, 11}, {20, 11}}, 1.2f), C(0xA8D0F8));
        p.Fill(Minus(Ellipse(11, 11, 4.5f, 9), Ellipse(11, 11, 3.3f, 7.8f)), C(0xA8D0F8));
        p.Fill(Polygon({{15, 13}, {23, 13}, {19, 18}}), C(0x20A040));
        p.Fill(Rect(17.5f, 17, 20.5f, 23), C(0x20A040));
        p.Fill(Polygon({{14, 17}, {24, 17}, {19, 23}}), C(0x20A040));
        break;
    case 21: // Forum
        Outlined(p, Union(RoundRect(1, 2, 16, 12, 3), Polygon({{4, 11}, {4, 16}, {9, 11}})), C(0xF0D060), C(0x806010));
        Outlined(p, Union(RoundRect(8, 9, 23, 19, 3), Polygon({{19, 18}, {20, 23}, {14, 18}})), C(0x80C0F0), C(0x205080));
        break;
    case 22: // Help
        Outlined(p, Ellipse(12, 12, 10, 10), C(0x2868C8), C(0x183868));
        p.Fill(Stroke(Arc(12, 9, 3.5f, 160, -60, 16), 2.6f), C(0xFFFFFF));
        p.Fill(Stroke({{13.75f, 12}, {12, 14}, {12, 15}}, 2.6f), C(0xFFFFFF));
        p.Fill(Ellipse(12, 18, 1.5f, 1.5f), C(0xFFFFFF));
        break;
    default:
        break;
    }
    return p;
}

// The face of a tool button, which the keyed pictures are blended onto at their edges.
const RGBA kFace = Rgb(0xECE9D8);
const RGBA kKey = Rgb(0xD200FF); // the icon writer's transparent colour (red 210, blue 255)

Pic ToolPicture(int n)
{
    if (n <= 22) {
        g_tone = Tone::Normal;
        return Glyph(n);
    }
    if (n <= 46) {
        g_tone = Tone::Hot;
        // Picture 46 has no button of its own; it repeats the first.
        return Glyph(n == 46 ? 0 : n - 23);
    }
    g_tone = Tone::Disabled;
    // The disabled list is 47, 47, 48 .. 58: picture 46 + k serves button k.
    return Glyph(n - 46);
}

bool WriteToolIcon(int n, const QString& path)
{
    const Pic keyed = ToolPicture(n).Keyed(kKey, kFace);
    TBitmap bitmap;
    QImageToBitmap(keyed.ToImage(), bitmap);
    bitmap.SetPixelFormat(pf24bit);
    SaveBitmapAsIcon(&bitmap, path, kSide, kSide, 24);
    return QFile::exists(path);
}

// ---- fill patterns ----

constexpr int kPatternSide = 8;
constexpr int kPatternCount = 88;

// Eleven figures, one per row of the pattern palettes.
bool PatternBit(int figure, int x, int y, int phase)
{
    x = (x + phase) % kPatternSide;
    switch (figure) {
    case 0: return (x + y) % 2 == 0;                       // fine checker
    case 1: return y % 2 == 0;                             // horizontal lines
    case 2: return ((x / 2) + (y / 2)) % 2 == 0;           // checker
    case 3: return x % 2 == 0;                             // vertical lines
    case 4: return (x + y) % 4 == 0;                       // diagonal /
    case 5: return (x - y + 8) % 4 == 0;                   // diagonal \ .
    case 6: return x % 4 == 0 || y % 4 == 0;               // grid
    case 7: return x % 4 == 1 && y % 4 == 1;               // dots
    case 8: return y % 4 == 3 || (y < 4 ? x == 0 : x == 4); // bricks
    case 9: return std::abs(x - 4) + std::abs(y - 4) <= 3;  // diamond
    default: return (x + y) % 4 == 0 || (x - y + 8) % 4 == 0; // cross-hatch
    }
}

// Foreground and background of the eight columns of the 16-colour palette.
const uint32_t kPairs[8][2] = {
    {0x000000, 0xFFFFFF}, {0xFF0000, 0xFFFF00}, {0x000080, 0x00FFFF}, {0x008000, 0x00FF00},
    {0x800080, 0xFF00FF}, {0x808000, 0xFFFFFF}, {0x0000FF, 0xC0C0C0}, {0x800000, 0x808080},
};

QImage PatternImage(int n, bool sixteen)
{
    const int column = (n - 1) % 8, figure = (n - 1) / 8;
    QImage image(kPatternSide, kPatternSide, QImage::Format_ARGB32);
    uint32_t fg, bg;
    int phase = 0;
    if (sixteen) {
        fg = kPairs[column][0];
        bg = kPairs[column][1];
    } else {
        // Black on white on the left half of the palette, white on black on the right, each
        // column shifting the figure by one more pixel.
        fg = column < 4 ? 0x000000 : 0xFFFFFF;
        bg = column < 4 ? 0xFFFFFF : 0x000000;
        phase = column % 4;
    }
    for (int y = 0; y < kPatternSide; ++y)
        for (int x = 0; x < kPatternSide; ++x)
            image.setPixel(x, y, 0xFF000000 | (PatternBit(figure, x, y, phase) ? fg : bg));
    return image;
}

bool WritePattern(int n, bool sixteen, const QString& path)
{
    TBitmap bitmap;
    QImageToBitmap(PatternImage(n, sixteen), bitmap);
    bitmap.SetPixelFormat(sixteen ? pf4bit : pf1bit);
    bitmap.SaveToFile(path);
    return QFile::exists(path);
}

// ---- splash pictures ----

QImage Splash(int variant)
{
    const int w = 469, h = 317;
    const uint32_t top = variant == 1 ? 0x14243C : 0x2C1438;
    const uint32_t bottom = variant == 1 ? 0x3C6EA8 : 0x8C3C70;
    Pic p(w, h);
    p.Fill(Rect(0, 0, float(w), float(h)), VGrad({{0.f, Rgb(top)}, {float(h), Rgb(bottom)}}));
    // A big pixel-grid icon: the editor's zoomed canvas.
    const uint32_t cells[] = {0xF0B000, 0xE05030, 0x40A0F0, 0x40C070, 0xFFFFFF, 0x8060E0};
    for (int gy = 0; gy < 9; ++gy) {
        for (int gx = 0; gx < 9; ++gx) {
            const float dx = float(gx) - 4.f, dy = float(gy) - 4.f;
            if (dx * dx + dy * dy > 20.5f)
                continue;
            const float x = 300.f + 16.f * float(gx), y = 40.f + 16.f * float(gy);
            const uint32_t c = cells[size_t((gx * 7 + gy * 3 + variant) % 6)];
            p.Fill(RoundRect(x, y, x + 14.f, y + 14.f, 2.f), Rgb(c, 230));
        }
    }
    p.Fill(Rect(0, float(h) - 44.f, float(w), float(h)), Rgb(0x000000, 90));
    QImage image = p.ToImage();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::white);
    QFont title(QStringLiteral("DejaVu Sans"), 26, QFont::Bold);
    painter.setFont(title);
    painter.drawText(QRect(28, 70, 280, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Brelnova"));
    painter.drawText(QRect(28, 112, 280, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Studio"));
    QFont line(QStringLiteral("DejaVu Sans"), 10);
    painter.setFont(line);
    painter.setPen(QColor(220, 230, 245));
    painter.drawText(QRect(30, 170, 260, 60), Qt::AlignLeft | Qt::TextWordWrap,
                     QStringLiteral("Icons, cursors, animated cursors and animated GIFs"));
    painter.drawText(QRect(300, 284, 150, 20), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Version 1.0"));
    painter.end();
    return image;
}

bool SameFile(const QString& a, const QString& b)
{
    QFile fa(a), fb(b);
    return fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly) && fa.readAll() == fb.readAll();
}

bool WriteAll(const QString& out, bool withSplash)
{
    bool ok = QDir().mkpath(out + "/assets/data") && QDir().mkpath(out + "/assets/image/16color") &&
              QDir().mkpath(out + "/assets/image/1color");
    for (int n = 0; n <= 58 && ok; ++n)
        ok = WriteToolIcon(n, out + QStringLiteral("/assets/data/icon%1.ico").arg(n));
    for (int n = 1; n <= kPatternCount && ok; ++n) {
        ok = WritePattern(n, true, out + QStringLiteral("/assets/image/16color/%1.bmp").arg(n)) &&
             WritePattern(n, false, out + QStringLiteral("/assets/image/1color/%1.bmp").arg(n));
    }
    if (ok && withSplash) {
        ok = QDir().mkpath(out + "/src/mainwindow/art") &&
             Splash(1).save(out + "/src/mainwindow/art/splash1.png") &&
             Splash(2).save(out + "/src/mainwindow/art/splash2.png");
    }
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--check")) {
        // The splash pictures hold text, whose pixels depend on the fonts installed; only the
        // font-free pictures are held to their bytes.
        QTemporaryDir tmp;
        if (!tmp.isValid() || !WriteAll(tmp.path(), false))
            return 2;
        int bad = 0;
        QStringList files;
        for (int n = 0; n <= 58; ++n)
            files << QStringLiteral("assets/data/icon%1.ico").arg(n);
        for (int n = 1; n <= kPatternCount; ++n)
            files << QStringLiteral("assets/image/16color/%1.bmp").arg(n) << QStringLiteral("assets/image/1color/%1.bmp").arg(n);
        for (const QString& f : files) {
            if (!SameFile(tmp.path() + "/" + f, args[2] + "/" + f)) {
                std::fprintf(stderr, "%s differs from what mainart draws\n", qPrintable(f));
                ++bad;
            }
        }
        return bad ? 1 : 0;
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: mainart OUT_DIR | mainart --check ROOT\n");
        return 2;
    }
    return WriteAll(args[1], true) ? 0 : 1;
}
