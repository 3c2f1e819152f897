#include "drawing/paint_bucket.h"

#include "drawing/drawing_frame.h"
#include "framework/sysutils.h"
#include "imaging/bitmap/image32.h"

#include <QImage>

namespace {

// A pixel as it shows over white, opaque: what the area is told apart by.
uint32_t OverWhite(ARGB c)
{
    const int a = int(c >> 24);
    auto ch = [a](int v) { return uint32_t((v * a + 255 * (255 - a) + 127) / 255); };
    return 0xFF000000u | (ch(int((c >> 16) & 0xFF)) << 16) | (ch(int((c >> 8) & 0xFF)) << 8) | ch(int(c & 0xFF));
}

// The primary colour of the press: an erasing press (alpha text "0") fills with its own
// transparent colour, not with the eraser's opaque white that the edits hold during the press.
ARGB PrimaryOfPress(const TDrawingFrame& f)
{
    const TDrawingTarget& t = f.T;
    if (!f.Erasing())
        return EditColour(t, QStringLiteral("up"));
    const int r = StrToInt(t.StrokeColorR), g = StrToInt(t.StrokeColorG), b = StrToInt(t.StrokeColorB);
    return (ARGB(r & 0xFF) << 16) | (ARGB(g & 0xFF) << 8) | ARGB(b & 0xFF);
}

// The bucket's brush over the whole format: the pattern on "16" and "Mono"; else the fill style
// as a linear gradient (the radial style too: the bucket makes no radial brush) or the picture.
void BucketBrush(TDrawingFrame& f, const GpRect& q)
{
    const TDrawingTarget& t = f.T;
    if (f.PatternKind()) {
        f.PatternBrush(0);
        return;
    }
    if (t.FillStyle == 8) {
        f.FillStyleBrush(q, q, GpPointF{0, 0});
        return;
    }
    LinearGradientMode mode;
    switch (t.FillStyle) {
    case 1: case 3: case 4: mode = LinearGradientModeHorizontal; break;
    case 2: mode = LinearGradientModeVertical; break;
    case 5: mode = LinearGradientModeBackwardDiagonal; break;
    case 6: mode = LinearGradientModeForwardDiagonal; break;
    default: return; // no brush for other styles
    }
    const ARGB p = PrimaryOfPress(f);
    const ARGB s = EditColour(t, QStringLiteral("down"));
    const bool primaryFirst = t.StrokeButton == 1 || t.FillStyle == 5 || t.FillStyle == 6;
    const ARGB a = primaryFirst ? p : s;
    const ARGB b = t.FillStyle == 1 ? a : (primaryFirst ? s : p);
    GdipCreateLineBrushFromRectI(&q, a, b, mode, WrapModeTile, &f.Brush);
}

} // namespace

std::vector<uint8_t> FloodArea(const std::vector<uint32_t>& cells, int width, int height, int x, int y)
{
    std::vector<uint8_t> mask(size_t(std::max(0, width)) * size_t(std::max(0, height)), 0);
    if (x < 0 || y < 0 || x >= width || y >= height || cells.size() < mask.size())
        return mask;
    const uint32_t colour = cells[size_t(y) * width + x];
    auto inArea = [&](int cx, int cy) {
        const size_t i = size_t(cy) * width + cx;
        return !mask[i] && cells[i] == colour;
    };
    // Each entry is a seed cell; its whole run along the row is filled, and the rows above and
    // below are scanned for the starts of runs that touch it.
    std::vector<std::pair<int, int>> seeds{{x, y}};
    while (!seeds.empty()) {
        const auto [sx, sy] = seeds.back();
        seeds.pop_back();
        if (!inArea(sx, sy))
            continue;
        int left = sx, right = sx;
        while (left > 0 && inArea(left - 1, sy))
            --left;
        while (right + 1 < width && inArea(right + 1, sy))
            ++right;
        std::fill(mask.begin() + ptrdiff_t(size_t(sy) * width + left), mask.begin() + ptrdiff_t(size_t(sy) * width + right + 1), 1);
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= height)
                continue;
            bool inRun = false;
            for (int nx = left; nx <= right; ++nx) {
                const bool in = inArea(nx, ny);
                if (in && !inRun)
                    seeds.emplace_back(nx, ny);
                inRun = in;
            }
        }
    }
    return mask;
}

void BucketFill(TDrawingTarget& t)
{
    const int w = t.CurrentWidth, h = t.CurrentHeight;
    QImage* format = GdipImageData(t.FormatImage);
    if (!format || format->width() != w || format->height() != h)
        return;
    const int px = t.DragStartX, py = t.DragStartY;
    if (px < 0 || py < 0 || px >= w || py >= h)
        return;

    // The area is found on the format's look over white, so a transparent cell and an opaque
    // white one belong to the same area, and any colour, pure red included, can be filled.
    std::vector<uint32_t> shown(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const ARGB*>(format->constScanLine(y));
        for (int x = 0; x < w; ++x)
            shown[size_t(y) * w + x] = OverWhite(line[x]);
    }
    const std::vector<uint8_t> area = FloodArea(shown, w, h, px, py);

    TDrawingFrame f(t);
    f.ScratchLayer();
    const GpRect q{0, 0, w, h};
    BucketBrush(f, q);
    // A fill without a brush (a picture that cannot be read) leaves the area as it was rather
    // than clearing it.
    if (!f.Brush)
        return;
    GdipFillRectangleI(f.G, f.Brush, 0, 0, w, h);
    GdipDeleteGraphics(f.G); // the scratch layer's pixels are complete once its painter ends
    f.G = nullptr;
    const QImage* fill = GdipImageData(f.Scratch);
    if (!fill)
        return;
    // The fill replaces the area's pixels; it is not blended over them.
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const ARGB*>(fill->constScanLine(y));
        auto* dst = reinterpret_cast<ARGB*>(format->scanLine(y));
        const uint8_t* in = area.data() + size_t(y) * w;
        for (int x = 0; x < w; ++x)
            if (in[x])
                dst[x] = src[x];
    }

    if (!t.iconviewbg)
        return;
    f.CheckerboardFill(t.iconviewbg, t.iconviewbg->Width(), t.iconviewbg->Height());
    f.V = f.NewViewSurface(t.iconviewbg);
    f.DrawScaled(f.V, t.FormatImage);
    f.ReleaseView();
    if (t.iconview) {
        t.iconview->Bitmap()->DrawBitmap(0, 0, t.iconviewbg->Bitmap());
        t.iconview->Refresh();
    }
}
