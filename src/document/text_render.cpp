#include "document/text_render.h"

#include <QImage>
#include <algorithm>

namespace {

GpBitmap* NewPicture(int width, int height)
{
    GpBitmap* picture = nullptr;
    GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &picture);
    return picture;
}

// Draws the text with the brush at (1, 10); a font the system cannot find draws nothing.
void DrawText(GpBitmap* picture, const TTextRenderChoice& c, const GpBrush* brush, bool smooth)
{
    GpGraphics* g = nullptr;
    GdipGetImageGraphicsContext(picture, &g);
    if (smooth)
        GdipSetSmoothingMode(g, SmoothingModeHighQuality);
    GdipSetTextRenderingHint(g, TextRenderingHintAntiAlias);
    GpFontFamily* family = nullptr;
    GdipCreateFontFamilyFromName(c.FontName, nullptr, &family);
    GpFont* font = nullptr;
    GdipCreateFont(family, REAL(c.FontSize), c.FontStyle, UnitPixel, &font);
    const GpPointF at{1, 10};
    GdipDrawString(g, c.Text, -1, font, &at, nullptr, brush);
    GdipDeleteFont(font);
    GdipDeleteFontFamily(family);
    GdipDeleteGraphics(g);
}

GpBrush* MakeBrush(const TTextRenderChoice& c, int width)
{
    const GpRect rect{0, 0, width, kTextPictureHeight};
    GpBrush* brush = nullptr;
    if (c.FillMode >= 1 && c.FillMode <= 3) {
        GpLineGradient* line = nullptr;
        GdipCreateLineBrushFromRectI(&rect, c.Color1, c.Color2, LinearGradientMode(c.FillMode - 1), WrapModeTile,
                                     &line);
        return line;
    }
    if (c.FillMode == 4) {
        GpPath* path = nullptr;
        GdipCreatePath(FillModeAlternate, &path);
        GdipAddPathRectangleI(path, 0, 0, width, kTextPictureHeight);
        GpPathGradient* gradient = nullptr;
        GdipCreatePathGradientFromPath(path, &gradient);
        const bool chosen = !(c.CenterX == 200 && c.CenterY == 200);
        const GpPoint centre{chosen ? c.CenterX : 25, chosen ? c.CenterY : 25};
        GdipSetPathGradientCenterPointI(gradient, &centre);
        GdipSetPathGradientCenterColor(gradient, c.Color2);
        INT one = 1;
        GdipSetPathGradientSurroundColorsWithCount(gradient, &c.Color1, &one);
        GdipDeletePath(path);
        return gradient;
    }
    return brush;
}

} // namespace

GpBitmap* RenderTextPicture(const TTextRenderChoice& c, TRect& box)
{
    box = TRect();
    const int width = TextPictureWidth(c.Text);
    if (width <= 0)
        return nullptr;
    GpBitmap* picture = NewPicture(width, kTextPictureHeight);
    if (!picture)
        return nullptr;
    GpBrush* brush = MakeBrush(c, width);
    DrawText(picture, c, brush, c.Smooth);
    GdipDeleteBrush(brush);

    // The box comes from the same glyphs drawn opaque, so transparent colours or a gradient that
    // fades out still leave the whole text inside it.
    GpBitmap* mask = NewPicture(width, kTextPictureHeight);
    GpSolidFill* black = nullptr;
    GdipCreateSolidFill(0xFF000000, &black);
    DrawText(mask, c, black, c.Smooth);
    GdipDeleteBrush(black);
    const QImage& m = *GdipImageData(mask);
    int left = width, top = kTextPictureHeight, right = -1, bottom = -1;
    for (int y = 0; y < m.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(m.constScanLine(y));
        for (int x = 0; x < m.width(); ++x) {
            if (qAlpha(row[x]) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    GdipDisposeImage(mask);
    if (right >= 0)
        box = Rect(left, top, right + 1, bottom + 1);
    return picture;
}

GpBitmap* CropTextPicture(GpBitmap* picture, const TRect& box)
{
    if (!picture || box.Right <= box.Left || box.Bottom <= box.Top)
        return nullptr;
    const int w = box.Right - box.Left, h = box.Bottom - box.Top;
    GpBitmap* cropped = NewPicture(w, h + 1);
    if (!cropped)
        return nullptr;
    const QImage& from = *GdipImageData(picture);
    QImage& to = *GdipImageData(cropped);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            to.setPixel(x, y, from.pixel(box.Left + x, box.Top + y));
    return cropped;
}
