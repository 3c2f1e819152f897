#include "document/snapshot_sheet.h"

#include "document/icon_document.h"
#include "platform/gdip.h"

#include <QImage>
#include <algorithm>
#include <numeric>

namespace {

constexpr int kBaseLine = 255;
// Room a size label needs beyond its image when the image is narrower than the label.
constexpr int kLabelWidth = 120;
constexpr int kRightMargin = 50;

ARGB Argb(int a, int r, int g, int b)
{
    return ARGB(a) << 24 | ARGB(r) << 16 | ARGB(g) << 8 | ARGB(b);
}

void DrawText(GpGraphics* g, const QString& text, REAL size, ARGB colour, REAL x, REAL y)
{
    GpFontFamily* family = nullptr;
    GpFont* font = nullptr;
    GpSolidFill* brush = nullptr;
    GdipCreateFontFamilyFromName(QStringLiteral("Times New Roman"), nullptr, &family);
    GdipCreateFont(family, size, FontStyleRegular, UnitPixel, &font);
    GdipCreateSolidFill(colour, &brush);
    const GpPointF at{x, y};
    GdipDrawString(g, text, -1, font, &at, nullptr, brush);
    GdipDeleteBrush(brush);
    GdipDeleteFont(font);
    GdipDeleteFontFamily(family);
}

} // namespace

TSnapshotLayout LayOutSnapshot(const std::vector<int>& widths)
{
    TSnapshotLayout layout;
    if (widths.empty())
        return layout;
    int x = 50;
    for (size_t i = 0; i < widths.size(); ++i) {
        if (i == 1)
            x = widths[0] + 80;
        else if (i > 1)
            x += widths[i - 1] + 70;
        layout.Left.push_back(x);
    }
    const int sum = std::accumulate(widths.begin(), widths.end(), 0);
    layout.Width = widths[0] + 50 + 2 * sum + 150;
    // Many narrow formats reach past that width: the sheet grows so the last one and its label
    // are on it.
    const int lastEdge = layout.Left.back() + std::max(widths.back(), kLabelWidth) + kRightMargin;
    layout.Width = std::max(layout.Width, lastEdge);
    return layout;
}

QImage RenderSnapshotSheet(const TIconDocument& doc, const QString& caption)
{
    const int n = doc.FormatCount();
    std::vector<int> widths;
    for (int f = 1; f <= n; ++f)
        widths.push_back(doc.FormatTable.Width(f).toInt());
    const TSnapshotLayout layout = LayOutSnapshot(widths);
    if (layout.Width <= 0)
        return QImage();

    GpBitmap* sheet = nullptr;
    GdipCreateBitmapFromScan0(layout.Width, layout.Height, 0, PixelFormat32bppARGB, nullptr, &sheet);
    if (!sheet)
        return QImage();
    GpGraphics* g = nullptr;
    GdipGetImageGraphicsContext(sheet, &g);
    GdipSetTextRenderingHint(g, TextRenderingHintAntiAlias);
    DrawText(g, caption, 32, Argb(255, 255, 0, 250), REAL(layout.Height - 260), 30);
    for (int f = 1; f <= n; ++f) {
        const int x = layout.Left[size_t(f - 1)];
        GpBitmap* image = doc.FormatImages[size_t(f)];
        UINT w = 0, h = 0;
        GdipGetImageWidth(image, &w);
        GdipGetImageHeight(image, &h);
        GdipDrawImageRect(g, image, REAL(x), REAL(kBaseLine - int(h)), REAL(w), REAL(h));
        DrawText(g, QStringLiteral("________"), 12, Argb(255, 196, 0, 196), REAL(x), 250);
        const QString label = doc.FormatTable.Width(f) + QStringLiteral(" * ") + doc.FormatTable.Height(f) +
                              QStringLiteral(" - ") + doc.FormatTable.Kind(f);
        DrawText(g, label, 12, Argb(255, 196, 0, 196), REAL(x), 270);
    }
    GdipDeleteGraphics(g);
    QImage result = *GdipImageData(sheet);
    GdipDisposeImage(sheet);
    return result;
}
