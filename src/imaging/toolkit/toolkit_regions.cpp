#include "imaging/toolkit/toolkit_regions.h"

#include "imaging/toolkit/toolkit_library.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QRegion>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <map>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// The stored pixel a view of the given perspective shows at (x, y); w and h are the stored size.
void StoredOf(int perspective, int w, int h, int x, int y, int& sx, int& sy)
{
    switch (perspective) {
    case 2: sx = w - 1 - x; sy = y; break;
    case 3: sx = w - 1 - x; sy = h - 1 - y; break;
    case 4: sx = x; sy = h - 1 - y; break;
    case 5: sx = y; sy = x; break;
    case 6: sx = y; sy = h - 1 - x; break;
    case 7: sx = w - 1 - y; sy = h - 1 - x; break;
    case 8: sx = w - 1 - y; sy = x; break;
    default: sx = x; sy = y; break;
    }
}

// Where the stored pixel (sx, sy) shows in a view of the given perspective.
void ViewOf(int perspective, int w, int h, int sx, int sy, int& x, int& y)
{
    switch (perspective) {
    case 2: x = w - 1 - sx; y = sy; break;
    case 3: x = w - 1 - sx; y = h - 1 - sy; break;
    case 4: x = sx; y = h - 1 - sy; break;
    case 5: x = sy; y = sx; break;
    case 6: x = h - 1 - sy; y = sx; break;
    case 7: x = h - 1 - sy; y = w - 1 - sx; break;
    case 8: x = sy; y = w - 1 - sx; break;
    default: x = sx; y = sy; break;
    }
}

bool ValidPerspective(int perspective)
{
    return perspective >= 1 && perspective <= 8;
}

bool ValidTransform(const TKRegionTransform& t)
{
    return ValidPerspective(t.ViewPerspective) && t.XScaleNumerator > 0 && t.XScaleDenominator > 0 &&
           t.YScaleNumerator > 0 && t.YScaleDenominator > 0;
}

TKRegionTransform TransformOrIdentity(const TKRegionTransform* transform)
{
    return transform ? *transform : TKRegionTransform();
}

// Scales without overflow: the quotient of two 32-bit factors over a third fits, the product not.
int Scaled(int64_t value, int32_t numerator, int32_t denominator)
{
    const __int128 product = __int128(value) * numerator;
    __int128 q = product / denominator;
    if (product % denominator != 0 && product < 0)
        --q;
    return int(std::clamp<__int128>(q, INT32_MIN / 2, INT32_MAX / 2));
}

int InX(const TKRegionTransform& t, int x)
{
    return Scaled(int64_t(x) + t.XOffset, t.XScaleNumerator, t.XScaleDenominator);
}

int InY(const TKRegionTransform& t, int y)
{
    return Scaled(int64_t(y) + t.YOffset, t.YScaleNumerator, t.YScaleDenominator);
}

int OutX(const TKRegionTransform& t, int x)
{
    return int(std::clamp<int64_t>(int64_t(Scaled(x, t.XScaleNumerator, t.XScaleDenominator)) + t.XOffset,
                                   INT32_MIN / 2, INT32_MAX / 2));
}

int OutY(const TKRegionTransform& t, int y)
{
    return int(std::clamp<int64_t>(int64_t(Scaled(y, t.YScaleNumerator, t.YScaleDenominator)) + t.YOffset,
                                   INT32_MIN / 2, INT32_MAX / 2));
}

QRect QRectOf(const TRect& r)
{
    return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
}

TRect TRectOf(const QRect& r)
{
    return Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
}

// Both inclusive corners turned; a rectangle again since the perspectives only turn and mirror.
QRect MapRect(const QRect& r, bool toStored, int perspective, int w, int h)
{
    if (r.isEmpty() || perspective == 1)
        return r;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (toStored) {
        StoredOf(perspective, w, h, r.left(), r.top(), x1, y1);
        StoredOf(perspective, w, h, r.right(), r.bottom(), x2, y2);
    } else {
        ViewOf(perspective, w, h, r.left(), r.top(), x1, y1);
        ViewOf(perspective, w, h, r.right(), r.bottom(), x2, y2);
    }
    return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)));
}

QRegion MapRegion(const QRegion& region, bool toStored, int perspective, int w, int h)
{
    if (perspective == 1)
        return region;
    QRegion out;
    for (const QRect& r : region)
        out += MapRect(r, toStored, perspective, w, h);
    return out;
}

// A rectangle of outside coordinates as view coordinates of the bitmap.
QRect InRect(const TKRegionTransform& t, const TRect& r)
{
    const int left = InX(t, r.Left), top = InY(t, r.Top), right = InX(t, r.Right), bottom = InY(t, r.Bottom);
    if (right <= left || bottom <= top)
        return QRect();
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// The region of a filled shape in view coordinates. Regions are made row by row, so a shape far
// larger than the bitmap is cut to the view of the bitmap first; what lies outside is dropped later
// anyway.
QRegion ShapeRegion(const QPainterPath& shape, const TKBitmap& bitmap, int perspective)
{
    const bool transposed = perspective >= 5;
    const QRectF view(-1, -1, (transposed ? bitmap.Height : bitmap.Width) + 2,
                      (transposed ? bitmap.Width : bitmap.Height) + 2);
    if (view.contains(shape.boundingRect()))
        return QRegion(shape.toFillPolygon().toPolygon(), shape.fillRule());
    QPainterPath bounds;
    bounds.addRect(view);
    const QPainterPath cut = shape.intersected(bounds);
    return QRegion(cut.toFillPolygon().toPolygon(), cut.fillRule());
}

// A rectangle with rounded corners (an ellipse when the radii are half its sides), row by row
// over the view of the bitmap only: a pixel belongs to it when its centre lies inside.
QRegion RoundedRows(const QRectF& r, double rx, double ry, const TKBitmap& bitmap, int perspective)
{
    const bool transposed = perspective >= 5;
    const int viewW = transposed ? bitmap.Height : bitmap.Width;
    const int viewH = transposed ? bitmap.Width : bitmap.Height;
    QRegion out;
    const int first = int(std::max(-1.0, std::floor(r.top())));
    const int last = int(std::min(double(viewH), std::ceil(r.bottom())));
    for (int y = first; y <= last; ++y) {
        const double yc = y + 0.5;
        if (yc < r.top() || yc > r.bottom())
            continue;
        double inset = 0;
        const double d = std::max(r.top() + ry - yc, yc - (r.bottom() - ry));
        if (d > 0 && ry > 0) {
            const double k = d / ry;
            if (k >= 1)
                continue;
            inset = rx * (1 - std::sqrt(1 - k * k));
        }
        const double x1 = std::max(-1.0, std::ceil(r.left() + inset - 0.5));
        const double x2 = std::min(double(viewW), std::floor(r.right() - inset - 0.5));
        if (x2 >= x1)
            out += QRect(int(x1), y, int(x2 - x1) + 1, 1);
    }
    return out;
}

// Meets the region already on the bitmap and cuts the result to the bitmap.
int PutRegion(TKBitmap* bitmap, const TKRegionTransform& t, const QRegion& view, uint32_t combine)
{
    const QRegion shape = MapRegion(view, true, t.ViewPerspective, bitmap->Width, bitmap->Height);
    const QRegion old = bitmap->Region ? *bitmap->Region : QRegion();
    QRegion result;
    switch (combine) {
    case TKRGN_Replace: result = shape; break;
    case TKRGN_Union: result = old.united(shape); break;
    case TKRGN_Intersect: result = old.intersected(shape); break;
    case TKRGN_Xor: result = old.xored(shape); break;
    case TKRGN_Subtract: result = old.subtracted(shape); break;
    default: return TK_ErrParameter;
    }
    result &= QRect(0, 0, bitmap->Width, bitmap->Height);
    bitmap->Region = std::make_shared<const QRegion>(result);
    return TK_Success;
}

// The checks every region call shares.
int CheckRegionCall(const TKBitmap* bitmap, const TKRegionTransform& t)
{
    if (!IsBitmapAllocated(bitmap) || !bitmap->Pixels)
        return TK_ErrBitmapHandle;
    if (!ValidTransform(t))
        return TK_ErrParameter;
    return TK_Success;
}

bool ValidRecord(const TKBitmap* bitmap)
{
    return HasBitmapPixels(bitmap);
}

QImage ImageOf(const TKBitmap& bitmap)
{
    if (bitmap.BitsPerPixel <= 8)
        return BitmapImage(bitmap);
    const QImage::Format format = bitmap.BitsPerPixel == 32 ? QImage::Format_ARGB32 : QImage::Format_BGR888;
    return QImage(bitmap.Row(0), bitmap.Width, bitmap.Height, bitmap.RowBytes, format).convertToFormat(QImage::Format_ARGB32);
}

} // namespace

// ---- Regions -----------------------------------------------------------------------------------

int TK_SetBitmapRgnRect(TKBitmap* bitmap, const TKRegionTransform* transform, const TRect& rect, uint32_t combine)
{
    const TKRegionTransform t = TransformOrIdentity(transform);
    if (const int r = CheckRegionCall(bitmap, t); r != TK_Success)
        return r;
    return PutRegion(bitmap, t, QRegion(InRect(t, rect)), combine);
}

int TK_SetBitmapRgnRoundRect(TKBitmap* bitmap, const TKRegionTransform* transform, const TRect& rect,
                             int32_t cornerWidth, int32_t cornerHeight, uint32_t combine)
{
    const TKRegionTransform t = TransformOrIdentity(transform);
    if (const int r = CheckRegionCall(bitmap, t); r != TK_Success)
        return r;
    if (cornerWidth < 0 || cornerHeight < 0)
        return TK_ErrParameter;
    const QRect view = InRect(t, rect);
    if (view.isEmpty())
        return PutRegion(bitmap, t, QRegion(), combine);
    const double rx = std::min(view.width() / 2.0, double(cornerWidth) * t.XScaleNumerator / t.XScaleDenominator / 2);
    const double ry = std::min(view.height() / 2.0, double(cornerHeight) * t.YScaleNumerator / t.YScaleDenominator / 2);
    const QRectF shape(view.left(), view.top(), view.width(), view.height());
    const bool transposed = t.ViewPerspective >= 5;
    const QRect near(-1, -1, (transposed ? bitmap->Height : bitmap->Width) + 2,
                     (transposed ? bitmap->Width : bitmap->Height) + 2);
    if (!near.contains(view))
        return PutRegion(bitmap, t, RoundedRows(shape, rx, ry, *bitmap, t.ViewPerspective), combine);
    QPainterPath path;
    path.addRoundedRect(shape, rx, ry);
    return PutRegion(bitmap, t, QRegion(path.toFillPolygon().toPolygon()) & view, combine);
}

int TK_SetBitmapRgnEllipse(TKBitmap* bitmap, const TKRegionTransform* transform, const TRect& rect, uint32_t combine)
{
    const TKRegionTransform t = TransformOrIdentity(transform);
    if (const int r = CheckRegionCall(bitmap, t); r != TK_Success)
        return r;
    const QRect view = InRect(t, rect);
    if (view.isEmpty())
        return PutRegion(bitmap, t, QRegion(), combine);
    const bool transposed = t.ViewPerspective >= 5;
    const QRect near(-1, -1, (transposed ? bitmap->Height : bitmap->Width) + 2,
                     (transposed ? bitmap->Width : bitmap->Height) + 2);
    if (near.contains(view))
        return PutRegion(bitmap, t, QRegion(view, QRegion::Ellipse), combine);
    const QRectF shape(view.left(), view.top(), view.width(), view.height());
    return PutRegion(bitmap, t, RoundedRows(shape, shape.width() / 2, shape.height() / 2, *bitmap, t.ViewPerspective),
                     combine);
}

int TK_SetBitmapRgnPolygon(TKBitmap* bitmap, const TKRegionTransform* transform, const TPoint* points, int32_t count,
                           int32_t fillMode, uint32_t combine)
{
    const TKRegionTransform t = TransformOrIdentity(transform);
    if (const int r = CheckRegionCall(bitmap, t); r != TK_Success)
        return r;
    if (!points || count < 0 || (fillMode != TKFILL_Alternate && fillMode != TKFILL_Winding))
        return TK_ErrParameter;
    QPolygon polygon;
    polygon.reserve(count);
    for (int32_t i = 0; i < count; ++i)
        polygon << QPoint(InX(t, points[i].X), InY(t, points[i].Y));
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    path.setFillRule(fillMode == TKFILL_Alternate ? Qt::OddEvenFill : Qt::WindingFill);
    const QRegion view = count < 3 ? QRegion() : ShapeRegion(path, *bitmap, t.ViewPerspective);
    return PutRegion(bitmap, t, view, combine);
}

int TK_SetBitmapRgnHandle(TKBitmap* bitmap, const TKRegionTransform* transform, const QRegion& region,
                          uint32_t combine)
{
    const TKRegionTransform t = TransformOrIdentity(transform);
    if (const int r = CheckRegionCall(bitmap, t); r != TK_Success)
        return r;
    QRegion view;
    for (const QRect& r : region)
        view += InRect(t, TRectOf(r));
    return PutRegion(bitmap, t, view, combine);
}

int TK_GetBitmapRgnHandle(const TKBitmap* bitmap, const TKRegionTransform* transform, QRegion* region)
{
    const TKRegionTransform t = TransformOrIdentity(transform);
    if (const int r = CheckRegionCall(bitmap, t); r != TK_Success)
        return r;
    if (!region)
        return TK_ErrParameter;
    *region = QRegion();
    if (!bitmap->Region)
        return TK_Success;
    const QRegion view = MapRegion(*bitmap->Region, false, t.ViewPerspective, bitmap->Width, bitmap->Height);
    for (const QRect& r : view) {
        const int left = OutX(t, r.left()), top = OutY(t, r.top());
        const int right = OutX(t, r.right() + 1), bottom = OutY(t, r.bottom() + 1);
        if (right > left && bottom > top)
            *region += QRect(left, top, right - left, bottom - top);
    }
    return TK_Success;
}

int TK_GetBitmapRgnBounds(const TKBitmap* bitmap, TRect* bounds)
{
    if (!bounds)
        return TK_ErrParameter;
    *bounds = TRect{};
    if (!IsBitmapAllocated(bitmap))
        return TK_ErrBitmapHandle;
    if (bitmap->Region && !bitmap->Region->isEmpty())
        *bounds = TRectOf(bitmap->Region->boundingRect());
    return TK_Success;
}

int TK_FreeBitmapRgn(TKBitmap* bitmap)
{
    if (!bitmap)
        return TK_ErrParameter;
    bitmap->Region.reset();
    return TK_Success;
}

bool TK_IsBitmapRgnPresent(const TKBitmap* bitmap)
{
    return bitmap && bitmap->Region;
}

TRect TK_StoredRectToView(const TKBitmap& bitmap, int32_t perspective, const TRect& rect)
{
    if (!ValidPerspective(perspective) || rect.Right <= rect.Left || rect.Bottom <= rect.Top)
        return rect;
    return TRectOf(MapRect(QRectOf(rect), false, perspective, bitmap.Width, bitmap.Height));
}

TRect TK_ViewRectToStored(const TKBitmap& bitmap, int32_t perspective, const TRect& rect)
{
    if (!ValidPerspective(perspective) || rect.Right <= rect.Left || rect.Bottom <= rect.Top)
        return rect;
    return TRectOf(MapRect(QRectOf(rect), true, perspective, bitmap.Width, bitmap.Height));
}

// ---- Pixels --------------------------------------------------------------------------------------

int TK_CopyBitmapRect(const TKBitmap* source, TKBitmap* target, const TRect& rect)
{
    if (!target)
        return TK_ErrParameter;
    if (!ValidRecord(source))
        return TK_ErrBitmapHandle;
    TRect cut;
    if (!IntersectRect(cut, rect, Rect(0, 0, source->Width, source->Height)))
        return TK_ErrWidthHeight;
    TKBitmap copy;
    const int r = TK_AllocateBitmap(&copy, cut.Width(), cut.Height(), source->BitsPerPixel);
    if (r != TK_Success)
        return r;
    copy.ViewPerspective = source->ViewPerspective;
    copy.XResolution = source->XResolution;
    copy.YResolution = source->YResolution;
    copy.TransparentColor = source->TransparentColor;
    copy.Palette = source->Palette;
    copy.Flags = source->Flags | TKBF_Allocated;
    const int c = TK_CombineBitmap(&copy, 0, 0, source, cut, TKCB_Copy);
    if (c != TK_Success)
        return c;
    *target = std::move(copy);
    return TK_Success;
}

int TK_CombineBitmap(TKBitmap* target, int32_t x, int32_t y, const TKBitmap* source, const TRect& sourceRect,
                     int32_t code)
{
    if (!ValidRecord(target) || !ValidRecord(source))
        return TK_ErrBitmapHandle;
    if (code != TKCB_Copy)
        return TK_ErrNotSupported;
    // Indexes mean nothing in another palette or in colour pixels.
    const bool indexed = source->BitsPerPixel <= 8 || target->BitsPerPixel <= 8;
    if (indexed && source->BitsPerPixel != target->BitsPerPixel)
        return TK_ErrBitsPerPixel;
    TRect from;
    if (!IntersectRect(from, sourceRect, Rect(0, 0, source->Width, source->Height)))
        return TK_Success;
    // Where the cut source rectangle lands, cut again at the target's edges and its region.
    const int64_t dx = int64_t(x) - sourceRect.Left, dy = int64_t(y) - sourceRect.Top;
    const int64_t landLeft = from.Left + dx, landTop = from.Top + dy;
    if (landLeft >= target->Width || landTop >= target->Height || landLeft + from.Width() <= 0 ||
        landTop + from.Height() <= 0)
        return TK_Success;
    QRegion mask(QRect(int(landLeft), int(landTop), from.Width(), from.Height()));
    mask &= QRect(0, 0, target->Width, target->Height);
    if (target->Region)
        mask &= *target->Region;
    if (indexed) {
        for (const QRect& r : mask)
            for (int ty = r.top(); ty <= r.bottom(); ++ty)
                for (int tx = r.left(); tx <= r.right(); ++tx)
                    SetBitmapPixel(*target, tx, ty, BitmapPixel(*source, int(tx - dx), int(ty - dy)));
        return TK_Success;
    }
    const int sb = source->BitsPerPixel / 8, tb = target->BitsPerPixel / 8;
    for (const QRect& r : mask) {
        for (int ty = r.top(); ty <= r.bottom(); ++ty) {
            const int sy = int(ty - dy);
            const uint8_t* in = source->Row(sy) + size_t(r.left() - dx) * size_t(sb);
            uint8_t* out = target->Row(ty) + size_t(r.left()) * size_t(tb);
            if (sb == tb) {
                std::memcpy(out, in, size_t(r.width()) * size_t(tb));
                continue;
            }
            for (int i = 0; i < r.width(); ++i, in += sb, out += tb) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
                if (tb == 4)
                    out[3] = 255;
            }
        }
    }
    return TK_Success;
}

int TK_RotateBitmap(TKBitmap* bitmap, double angle, uint32_t flags, uint32_t fillColor)
{
    if (!ValidRecord(bitmap))
        return TK_ErrBitmapHandle;
    if (!std::isfinite(angle) || (flags & ~TKROT_Smooth) != 0)
        return TK_ErrParameter;
    TKBitmap upright = *bitmap;
    // The region turns with the pixels: first as the picture shows, then by the angle.
    QRegion shape = bitmap->Region ? MapRegion(*bitmap->Region, false, bitmap->ViewPerspective, bitmap->Width,
                                               bitmap->Height)
                                   : QRegion();
    if (upright.ViewPerspective != 1) {
        const int r = TK_ChangeBitmapViewPerspective(&upright, 1);
        if (r != TK_Success)
            return r;
    }
    const double turn = std::fmod(angle, 360.0);
    const double rad = turn * M_PI / 180.0;
    const double c = std::fabs(std::cos(rad)), s = std::fabs(std::sin(rad));
    const int w = upright.Width, h = upright.Height;
    const int nw = std::max(1, int(std::lround(w * c + h * s - 1e-6)));
    const int nh = std::max(1, int(std::lround(w * s + h * c - 1e-6)));
    TKBitmap turned;
    int r = TK_AllocateBitmap(&turned, nw, nh, upright.BitsPerPixel);
    if (r != TK_Success)
        return r;
    QTransform turning;
    turning.translate(nw / 2.0, nh / 2.0);
    turning.rotate(turn);
    turning.translate(-w / 2.0, -h / 2.0);
    QImage out(nw, nh, QImage::Format_ARGB32);
    out.fill(QColor(int(fillColor & 0xFF), int(fillColor >> 8 & 0xFF), int(fillColor >> 16 & 0xFF)));
    // Turned in bands of rows, each reported, so that a long turn shows progress and can stop.
    if (!ToolkitStatus(0))
        return TK_ErrUserAbort;
    const QImage source = ImageOf(upright);
    const int band = std::max(1, (nh + 9) / 10);
    for (int top = 0; top < nh; top += band) {
        const int rows = std::min(band, nh - top);
        {
            QPainter painter(&out);
            painter.setClipRect(0, top, nw, rows);
            painter.setCompositionMode(upright.BitsPerPixel == 32 ? QPainter::CompositionMode_Source
                                                                  : QPainter::CompositionMode_SourceOver);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, (flags & TKROT_Smooth) != 0);
            painter.setTransform(turning);
            painter.drawImage(0, 0, source);
        }
        if (!ToolkitStatus(int32_t(int64_t(top + rows) * 100 / nh)))
            return TK_ErrUserAbort;
    }
    if (turned.BitsPerPixel <= 8) {
        // A palette picture stays one: each turned colour takes the nearest entry.
        turned.Palette = upright.Palette;
        std::map<uint32_t, uint32_t> nearest;
        for (int y = 0; y < nh; ++y) {
            const auto* in = reinterpret_cast<const uint32_t*>(out.constScanLine(y));
            for (int x = 0; x < nw; ++x) {
                const uint32_t c = in[x] & 0xFFFFFF;
                auto found = nearest.find(c);
                if (found == nearest.end())
                    found = nearest.emplace(c, NearestPaletteEntry(turned.Palette, c)).first;
                SetBitmapPixel(turned, x, y, found->second);
            }
        }
    } else {
        const int bytes = turned.BitsPerPixel / 8;
        for (int y = 0; y < nh; ++y) {
            const auto* in = reinterpret_cast<const uint8_t*>(out.constScanLine(y));
            uint8_t* row = turned.Row(y);
            for (int x = 0; x < nw; ++x, in += 4, row += bytes)
                std::memcpy(row, in, size_t(bytes));
        }
    }
    turned.Flags = upright.Flags | TKBF_Allocated;
    turned.XResolution = upright.XResolution;
    turned.YResolution = upright.YResolution;
    turned.TransparentColor = upright.TransparentColor;
    if (bitmap->Region) {
        QPainterPath path;
        path.addRegion(shape);
        // The outline without inner edges, so that no seams open between the turned rows.
        QRegion turnedShape(turning.map(path.simplified()).toFillPolygon().toPolygon(), Qt::OddEvenFill);
        turned.Region = std::make_shared<const QRegion>(turnedShape & QRect(0, 0, nw, nh));
    }
    *bitmap = std::move(turned);
    return TK_Success;
}

int TK_RotateBitmapViewPerspective(TKBitmap* bitmap, int32_t angle)
{
    if (!IsBitmapAllocated(bitmap))
        return TK_ErrBitmapHandle;
    if (angle % 90 != 0 || !ValidPerspective(bitmap->ViewPerspective))
        return TK_ErrParameter;
    if (!ToolkitStatus(0))
        return TK_ErrUserAbort;
    const int quarters = ((angle / 90) % 4 + 4) % 4;
    // Each quarter turn looks for the perspective that shows every pixel where the old one,
    // turned clockwise, shows it; a small picture of unequal sides tells them all apart.
    const int w = 3, h = 2;
    int perspective = bitmap->ViewPerspective;
    for (int q = 0; q < quarters; ++q) {
        const bool transposed = perspective >= 5;
        const int viewHeight = transposed ? w : h;
        int found = 0;
        for (int candidate = 1; candidate <= 8 && !found; ++candidate) {
            bool same = true;
            for (int sy = 0; sy < h && same; ++sy)
                for (int sx = 0; sx < w && same; ++sx) {
                    int vx = 0, vy = 0, cx = 0, cy = 0;
                    ViewOf(perspective, w, h, sx, sy, vx, vy);
                    ViewOf(candidate, w, h, sx, sy, cx, cy);
                    same = cx == viewHeight - 1 - vy && cy == vx;
                }
            if (same)
                found = candidate;
        }
        perspective = found;
    }
    if (!ToolkitStatus(100))
        return TK_ErrUserAbort;
    bitmap->ViewPerspective = perspective;
    return TK_Success;
}
