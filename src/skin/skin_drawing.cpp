#include "skin/skin_drawing.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/application.h"
#include "framework/component.h"
#include "framework/forms.h"
#include "framework/graphics.h"
#include "skin/file_theme.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QWidget>
#include <algorithm>

void PaintParentUnderControl(TCanvas* canvas, QWidget* control)
{
    if (!canvas || !control)
        return;
    QWidget* parent = control->parentWidget();
    // Rendering a parent that is not shown would create native windows for a tree that has not
    // been placed yet (an MDI child before it is attached), and a form being destroyed has
    // controls half taken apart: in both cases there is nothing on screen to show through.
    if (!parent || !parent->isVisible())
        return;
    for (QWidget* w = parent; w; w = w->parentWidget())
        if (auto* form = qobject_cast<TForm*>(w); form && form->Destroying())
            return;
    QPainter* p = canvas->Handle();
    if (!p)
        return;
    canvas->Changing();
    p->save();
    p->translate(-control->x(), -control->y());
    p->setClipRect(QRect(0, 0, parent->width(), parent->height()), Qt::IntersectClip);
    // The parent's own background and painting; its children (this control among them) stay out.
    parent->render(p, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    p->restore();
    canvas->Changed();
}

void TilePicture(TCanvas* canvas, TGraphic* picture, const TRect& rect)
{
    if (!canvas || !picture || picture->Empty())
        return;
    const int w = picture->Width(), h = picture->Height();
    if (w <= 0 || h <= 0)
        return;
    for (int x = 0; x < w + rect.Width(); x += w)
        for (int y = 0; y < h + rect.Height(); y += h)
            canvas->Draw(x, y, picture);
}

namespace {

// The source part of a piece, clipped to the picture.
TRect ClipTo(const TRect& r, int sw, int sh)
{
    return {std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, sw), std::min(r.Bottom, sh)};
}

void DrawPiece(TCanvas* canvas, const QImage& src, int sw, int sh, const TRect& dest, const TRect& part, TColor key)
{
    const TRect s = ClipTo(part, sw, sh);
    if (dest.Width() <= 0 || dest.Height() <= 0 || s.Width() <= 0 || s.Height() <= 0)
        return;
    canvas->BlitImage(dest, src, s, cmSrcCopy, key);
}

} // namespace

// The nine pieces, laid out as the skinned buttons have always been drawn: the right and bottom
// pieces sit against target.Right and target.Bottom, the left and top ones against 0.
void StretchSkinImage(TBitmap* source, TCanvas* canvas, const TRect& target, bool transparent)
{
    if (!source || !canvas || source->Empty())
        return;
    const QImage src = source->ToImage();
    const int sw = src.width(), sh = src.height();
    const int hw = sw / 2, hh = sh / 2;
    const int W = target.Right - target.Left, H = target.Bottom - target.Top;
    const int hW = W / 2, hH = H / 2;
    const TColor cornerKey = transparent ? clFuchsia : clNone;
    auto piece = [](int a, int b) { return std::max(0, std::min(a, b)); };

    // Corners keep their outer edges when they have to shrink.
    const int tlW = piece(hw, hW), tlH = piece(hh, hH);
    const TRect TL{0, 0, tlW, tlH};
    DrawPiece(canvas, src, sw, sh, TL, {0, 0, tlW, tlH}, cornerKey);

    const int blW = piece(hw, hW), blH = piece(hh - 1, hH - 1);
    const TRect BL{0, target.Bottom - blH, blW, target.Bottom};
    DrawPiece(canvas, src, sw, sh, BL, {0, sh - blH, blW, sh}, cornerKey);

    const int leftW = std::min(hw, TL.Right);
    DrawPiece(canvas, src, sw, sh, {0, TL.Bottom, TL.Right, BL.Top}, {0, hh, leftW, sh - hh}, clFuchsia);

    const int trW = piece(hw - 1, hW - 1), trH = piece(hh, hH);
    const TRect TR{target.Right - trW, 0, target.Right, trH};
    DrawPiece(canvas, src, sw, sh, TR, {sw - trW, 0, sw, trH}, cornerKey);

    const int brW = piece(hw - 1, hW - 1), brH = piece(hh - 1, hH - 1);
    const TRect BR{target.Right - brW, target.Bottom - brH, target.Right, target.Bottom};
    DrawPiece(canvas, src, sw, sh, BR, {sw - brW, sh - brH, sw, sh}, cornerKey);

    const int rightW = std::min(hw - 1, TR.Right - TR.Left);
    DrawPiece(canvas, src, sw, sh, {TR.Left, TR.Bottom, TR.Right, BR.Top}, {sw - rightW, sh - hh, sw, hh + 2}, clFuchsia);

    const int topH = std::min(hh, TL.Bottom);
    DrawPiece(canvas, src, sw, sh, {TL.Right, 0, TR.Left, TL.Bottom}, {hw, 0, sw - hw + 1, topH}, clFuchsia);

    DrawPiece(canvas, src, sw, sh, {TL.Right, TL.Bottom, TR.Left, BR.Top - 1}, {hw, hh, sw - hw + 1, sh - hh}, clFuchsia);

    const int bottomH = std::min(hh, BR.Bottom - (BL.Top - 1));
    DrawPiece(canvas, src, sw, sh, {TL.Right - 1, BL.Top - 1, BR.Left, BR.Bottom}, {hw, sh - bottomH, sw - hw + 1, sh}, clFuchsia);
}

void DrawThreePartBar(TBitmap* strip, TCanvas* canvas, const TRect& rect, bool maskFromCorner)
{
    if (!strip || !canvas || strip->Empty())
        return;
    const QImage src = strip->ToImage();
    const int fw = src.width() / 3, h = src.height();
    if (fw <= 0)
        return;
    const TColor key = maskFromCorner ? ArgbToColor(src.pixel(0, 0)) : clFuchsia;
    canvas->BlitImage(Bounds(rect.Left, rect.Top, fw, h), src, {0, 0, fw, h}, cmSrcCopy, key);
    canvas->BlitImage(Bounds(rect.Right - fw, rect.Top, fw, h), src, {2 * fw, 0, 3 * fw, h}, cmSrcCopy, key);
    const TRect middle{rect.Left + fw, rect.Top, rect.Right - fw, rect.Bottom};
    if (middle.Width() > 0 && middle.Height() > 0)
        canvas->BlitImage(middle, src, {fw, 0, 2 * fw, h}, cmSrcCopy, clNone);
}

namespace {
// Rebuilds the bitmap at the turned size; source(x', y') names the old pixel each new one takes.
template <class Map>
void Turn(TBitmap* bitmap, Map source)
{
    if (!bitmap || bitmap->Empty())
        return;
    const int w = bitmap->Width(), h = bitmap->Height();
    std::vector<uint32_t> old(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            old[size_t(y) * size_t(w) + size_t(x)] = bitmap->PixelArgb(x, y);
    bitmap->SetSize(h, w);
    for (int y = 0; y < w; ++y)
        for (int x = 0; x < h; ++x) {
            const auto [ox, oy] = source(x, y, w, h);
            bitmap->SetPixelArgb(x, y, old[size_t(oy) * size_t(w) + size_t(ox)]);
        }
}
} // namespace

void RotateBitmapLeft(TBitmap* bitmap)
{
    // New (y, w - 1 - x) takes old (x, y).
    Turn(bitmap, [](int nx, int ny, int w, int) { return std::pair{w - 1 - ny, nx}; });
}

void RotateBitmapRight(TBitmap* bitmap)
{
    // New (x', y') takes old (y', h - 1 - x').
    Turn(bitmap, [](int nx, int ny, int, int h) { return std::pair{ny, h - 1 - nx}; });
}

QRegion RegionFromBitmap(TBitmap* bitmap, TColor transparentColor)
{
    QRegion region;
    if (!bitmap || bitmap->Empty())
        return region;
    const QImage img = bitmap->ToImage();
    const uint32_t key = ColorToArgb(transparentColor) & 0xFFFFFF;
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(img.constScanLine(y));
        int start = -1;
        for (int x = 0; x <= img.width(); ++x) {
            const bool opaque = x < img.width() && (row[x] & 0xFFFFFF) != key;
            if (opaque && start < 0)
                start = x;
            else if (!opaque && start >= 0) {
                region += QRect(start, y, x - start, 1);
                start = -1;
            }
        }
    }
    return region;
}

void SetWindowRegionFromBitmap(QWidget* window, TBitmap* bitmap, TColor transparentColor)
{
    if (!window)
        return;
    QRegion region = RegionFromBitmap(bitmap, transparentColor);
    // An empty mask would mean "no shape" to the toolkit; a picture without an opaque pixel
    // shapes the window to nothing instead.
    if (region.isEmpty())
        region = QRegion(-1, -1, 1, 1);
    window->setMask(region);
}

void DrawWindowFrame(TCanvas* canvas, const TSize& size, TColor borderColor, TColor innerColor, bool drawInner)
{
    if (!canvas)
        return;
    const TColor oldColor = canvas->Brush()->Color();
    canvas->Brush()->SetColor(ColorToRGB(borderColor));
    canvas->FrameRect({0, 0, size.cx, size.cy});
    if (drawInner) {
        canvas->Brush()->SetColor(ColorToRGB(innerColor));
        canvas->FrameRect({1, 1, size.cx - 1, size.cy - 1});
    }
    canvas->Brush()->SetColor(oldColor);
}

void DrawWindowFrame(QWidget* control, TColor borderColor, TColor innerColor, bool drawInner)
{
    if (!control)
        return;
    TCanvas canvas;
    canvas.SetPaintDevice(control);
    DrawWindowFrame(&canvas, {control->width(), control->height()}, borderColor, innerColor, drawInner);
    canvas.SetPaintDevice(nullptr);
}

bool IsPointInRectInclusive(int x, int y, const TRect& rect)
{
    return x >= rect.Left && x <= rect.Right && y >= rect.Top && y <= rect.Bottom;
}

bool IsPointInRectInclusive(const TPoint& point, const TRect& rect) { return IsPointInRectInclusive(point.X, point.Y, rect); }

void SetControlPos(QObject* control, const TPoint& point)
{
    SetPublishedProperty(control, QStringLiteral("Left"), point.X);
    SetPublishedProperty(control, QStringLiteral("Top"), point.Y);
}

void SetControlBounds(QObject* control, const TRect& rect)
{
    SetControlPos(control, rect.TopLeft());
    SetPublishedProperty(control, QStringLiteral("Width"), rect.Width());
    SetPublishedProperty(control, QStringLiteral("Height"), rect.Height());
}

void GetWorkAreaRect(TRect& rect)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        rect = {};
        return;
    }
    const QRect a = screen->availableGeometry();
    rect = {a.left(), a.top(), a.left() + a.width(), a.top() + a.height()};
}

void ContainerApplyUIStyle(QWidget* container, TsuiUIStyle style, TsuiFileTheme* fileTheme)
{
    if (!container)
        return;
    for (QWidget* child : ChildControls(container)) {
        if (!HasPublishedProperty(child, QStringLiteral("FileTheme")) ||
            !HasPublishedProperty(child, QStringLiteral("UIStyle")))
            continue;
        SetPublishedProperty(child, QStringLiteral("FileTheme"), QVariant::fromValue(fileTheme));
        SetPublishedProperty(child, QStringLiteral("UIStyle"), QVariant::fromValue(style));
    }
}

bool IsFormActive(TForm* form)
{
    TForm* mainForm = Application->MainForm();
    if (!mainForm)
        return form && form->Active();
    const bool mdiFrame = mainForm->FormStyle() == fsMDIForm;
    if (mdiFrame && form == mainForm)
        return true;
    // Another program in front: every drawn title bar shows its form inactive.
    if (!Application->Active())
        return false;
    if (!form || form == mainForm)
        return true;
    if (mdiFrame && mainForm->ActiveMDIChild() == form)
        return true;
    return form->Active();
}
