#include "mainwindow/panel_art.h"

#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/forms.h"
#include "framework/image.h"
#include "framework/palette.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "platform/program_paths.h"

#include <QColor>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr QRgb kFace = 0xFFE4E7EC;
constexpr QRgb kLine = 0xFF8A919C;

QImage Blank(int w, int h, QRgb fill = kFace)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(fill);
    return image;
}

// Hue across, white above the pure colours and black below them, greys at the foot.
QImage SpectrumPalette()
{
    QImage image = Blank(97, 405);
    for (int x = 0; x < 97; ++x) {
        const QColor hue = QColor::fromHsvF(double(x) / 97.0, 1.0, 1.0);
        for (int y = 0; y < 180; ++y) {
            const double t = double(y) / 179.0;
            image.setPixel(x, y, qRgb(int(255 + (hue.red() - 255) * t + 0.5), int(255 + (hue.green() - 255) * t + 0.5),
                                      int(255 + (hue.blue() - 255) * t + 0.5)));
        }
        for (int y = 180; y < 360; ++y) {
            const double t = 1.0 - double(y - 180) / 179.0;
            image.setPixel(x, y, qRgb(int(hue.red() * t + 0.5), int(hue.green() * t + 0.5), int(hue.blue() * t + 0.5)));
        }
        const int grey = x * 255 / 96;
        for (int y = 362; y < 405; ++y)
            image.setPixel(x, y, qRgb(grey, grey, grey));
    }
    return image;
}

// Cells of 12 pixels, eight to a row, with a one-pixel line to the right and below each.
void FillCell(QImage& image, int cell, const QImage& pattern, QRgb color)
{
    const int x0 = (cell % 8) * 12, y0 = (cell / 8) * 12;
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            QRgb c = kLine;
            if (x < 11 && y < 11)
                c = pattern.isNull() ? color : (pattern.pixel(x % pattern.width(), y % pattern.height()) | 0xFF000000u);
            if (image.valid(x0 + x, y0 + y))
                image.setPixel(x0 + x, y0 + y, c);
        }
    }
}

QImage TablePalette()
{
    QImage image = Blank(99, 385);
    const TPaletteEntries& table = HalftonePalette();
    for (int i = 0; i < 256; ++i)
        FillCell(image, i, QImage(), table[size_t(i)] | 0xFF000000u);
    return image;
}

QImage PatternPalette(const QString& folder)
{
    QImage image = Blank(97, 133);
    for (int n = 1; n <= 88; ++n) {
        QImage pattern;
        const QString file = ProgramPath(folder + QString::number(n) + QStringLiteral(".bmp"));
        if (QFileInfo(file).isFile()) {
            try {
                TBitmap bitmap;
                bitmap.LoadFromFile(file);
                pattern = BitmapToQImage(bitmap);
            } catch (const Exception&) {
                pattern = QImage();
            }
        }
        // A cell whose pattern is missing shows the face colour, and picks nothing.
        FillCell(image, n - 1, pattern, kFace);
    }
    return image;
}

QImage Checker(int w, int h, int square)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, ((x / square + y / square) % 2) ? 0xFFCCCCCCu : 0xFFFFFFFFu);
    return image;
}

enum class TLook { Normal, Hover, Pressed };

// A bar with a triangle pointing up or down.
QImage ArrowBar(bool up, TLook look)
{
    const int w = 105, h = 11;
    QImage image = Blank(w, h, look == TLook::Normal ? 0xFFD5DAE2 : look == TLook::Hover ? 0xFFE8EEF8 : 0xFFB4C0D2);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(kLine));
    p.drawRect(0, 0, w - 1, h - 1);
    QPainterPath arrow;
    const double cx = w / 2.0, cy = h / 2.0 + (look == TLook::Pressed ? 1 : 0);
    if (up) {
        arrow.moveTo(cx - 5, cy + 2.5);
        arrow.lineTo(cx + 5, cy + 2.5);
        arrow.lineTo(cx, cy - 2.5);
    } else {
        arrow.moveTo(cx - 5, cy - 2.5);
        arrow.lineTo(cx + 5, cy - 2.5);
        arrow.lineTo(cx, cy + 2.5);
    }
    arrow.closeSubpath();
    p.fillPath(arrow, QColor(look == TLook::Hover ? 0xFF2F6FC0 : 0xFF404854));
    return image;
}

QImage TileBackground(bool highlighted)
{
    QImage image = Blank(49, 46, highlighted ? 0xFF9CC2F0 : 0xFFEEF0F3);
    QPainter p(&image);
    p.setPen(QColor(highlighted ? 0xFF2F6FC0 : 0xFFC4C9D1));
    p.drawRect(0, 0, 48, 45);
    if (highlighted)
        p.drawRect(1, 1, 46, 43);
    return image;
}

// The folding buttons: a thin bar with a chevron pointing the way the panel will go.
QImage FoldBar(bool right, bool hover)
{
    QImage image = Blank(4, 60, hover ? 0xFF6E9FDB : 0xFFB9C1CC);
    for (int i = 0; i < 4; ++i) {
        const int x = right ? i : 3 - i;
        for (int y = 26 + i; y < 34 - i; ++y)
            image.setPixel(x, y, hover ? 0xFFFFFFFFu : 0xFF404854u);
    }
    return image;
}

// Two overlapping squares with a bent arrow: exchange the colours.
QImage SwapPicture()
{
    QImage image = Blank(12, 12, 0);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xFF303640), 1.2));
    p.drawArc(QRectF(1.5, 1.5, 9, 9), 0 * 16, 90 * 16);
    p.setBrush(QColor(0xFF303640));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({{8.5, 5.0}, {11.5, 5.0}, {10.0, 8.0}}));
    p.drawPolygon(QPolygonF({{5.0, 0.5}, {5.0, 3.5}, {2.0, 2.0}}));
    return image;
}

// A small black square over a white one: the default colours.
QImage DefaultsPicture()
{
    QImage image = Blank(12, 12, 0);
    QPainter p(&image);
    p.setPen(QColor(0xFF303640));
    p.setBrush(Qt::white);
    p.drawRect(4, 4, 7, 7);
    p.setBrush(Qt::black);
    p.drawRect(0, 0, 7, 7);
    return image;
}

} // namespace

QImage PanelPicture(const QString& name)
{
    if (name == QLatin1String("colorxp"))
        return SpectrumPalette();
    if (name == QLatin1String("color256"))
        return TablePalette();
    if (name == QLatin1String("color16"))
        return PatternPalette(QStringLiteral("image\\16color\\"));
    if (name == QLatin1String("color1"))
        return PatternPalette(QStringLiteral("image\\1color\\"));
    const struct {
        const char* Name;
        bool Up;
        TLook Look;
    } arrows[] = {
        {"move_ok", true, TLook::Normal},       {"move_up", true, TLook::Hover},
        {"move_down", true, TLook::Pressed},    {"down_ok", false, TLook::Normal},
        {"down_up", false, TLook::Hover},       {"down_down", false, TLook::Pressed},
        {"move_ok_list", true, TLook::Normal},  {"move_up_list", true, TLook::Hover},
        {"move_down_list", true, TLook::Pressed}, {"down_ok_list", false, TLook::Normal},
        {"down_up_list", false, TLook::Hover},  {"down_down_list", false, TLook::Pressed},
    };
    for (const auto& a : arrows)
        if (name == QLatin1String(a.Name))
            return ArrowBar(a.Up, a.Look);
    if (name == QLatin1String("Imageo15"))
        return TileBackground(false);
    if (name == QLatin1String("imagebgbg"))
        return TileBackground(true);
    if (name.startsWith(QLatin1String("iconbg")))
        return TileBackground(false);
    if (name == QLatin1String("bgokbg"))
        return Checker(38, 38, 4);
    if (name == QLatin1String("upok"))
        return Checker(25, 25, 4);
    if (name == QLatin1String("move_ok_click"))
        return FoldBar(true, false);
    if (name == QLatin1String("move_ok_up"))
        return FoldBar(true, true);
    if (name == QLatin1String("Image19"))
        return FoldBar(false, false);
    if (name == QLatin1String("Image20"))
        return FoldBar(false, true);
    if (name == QLatin1String("Image43"))
        return SwapPicture();
    if (name == QLatin1String("Image42"))
        return DefaultsPicture();
    return QImage();
}

void InstallPanelPictures(TForm& form)
{
    for (TImage* image : form.findChildren<TImage*>()) {
        const QImage picture = PanelPicture(image->objectName());
        if (picture.isNull())
            continue;
        TBitmap bitmap;
        QImageToBitmap(picture, bitmap);
        image->Picture()->Assign(&bitmap);
    }
}
