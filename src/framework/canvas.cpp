#include "framework/canvas.h"

#include "framework/bitmap.h"
#include "framework/graphic.h"

#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cstdlib>

TCanvasSurface::~TCanvasSurface() = default;

namespace {

inline uchar* Row(QImage* img, int y) { return const_cast<uchar*>(img->constScanLine(y)); }

// A pixel of a 32-bit or 24-bit image as 0xAARRGGBB (24-bit pixels are opaque).
inline uint32_t ReadPixel(const QImage& img, int x, int y)
{
    const uchar* row = img.constScanLine(y);
    switch (img.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        return reinterpret_cast<const uint32_t*>(row)[x];
    case QImage::Format_BGR888: {
        const uchar* p = row + 3 * x;
        return 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    default:
        return img.pixel(x, y);
    }
}

inline void WritePixel(QImage* img, int x, int y, uint32_t argb)
{
    uchar* row = Row(img, y);
    switch (img->format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        reinterpret_cast<uint32_t*>(row)[x] = argb;
        break;
    case QImage::Format_BGR888: {
        uchar* p = row + 3 * x;
        p[0] = uchar(argb);
        p[1] = uchar(argb >> 8);
        p[2] = uchar(argb >> 16);
        break;
    }
    default:
        img->setPixel(x, y, argb);
    }
}

// The ternary raster operation with truth-table byte `code`, applied bitwise to pattern, source
// and destination.
inline uint32_t Rop3(uint8_t code, uint32_t p, uint32_t s, uint32_t d)
{
    uint32_t r = 0;
    for (int i = 0; i < 8; ++i) {
        if (code & (1u << i))
            r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return r;
}

QPainter::CompositionMode ModeForRop(TCopyMode rop)
{
    switch (rop) {
    case cmSrcAnd:
        return QPainter::RasterOp_SourceAndDestination;
    case cmSrcPaint:
        return QPainter::RasterOp_SourceOrDestination;
    case cmSrcInvert:
        return QPainter::RasterOp_SourceXorDestination;
    case cmNotSrcCopy:
        return QPainter::RasterOp_NotSource;
    case cmSrcErase:
        return QPainter::RasterOp_SourceAndNotDestination;
    case cmNotSrcErase:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case cmMergePaint:
        return QPainter::RasterOp_NotSourceOrDestination;
    default:
        return QPainter::CompositionMode_Source;
    }
}

QPainter::CompositionMode ModeForPen(TPenMode mode)
{
    switch (mode) {
    case pmBlack:
    case pmWhite:
        return QPainter::CompositionMode_Source;
    case pmNop:
        return QPainter::CompositionMode_Destination;
    case pmNot:
        return QPainter::RasterOp_NotDestination;
    case pmNotCopy:
        return QPainter::RasterOp_NotSource;
    case pmMergePenNot:
        return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot:
        return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen:
        return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen:
        return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge:
        return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask:
        return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask:
        return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor:
        return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor:
        return QPainter::RasterOp_NotSourceXorDestination;
    case pmCopy:
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

TRect Normalized(TRect r)
{
    if (r.Right < r.Left)
        std::swap(r.Left, r.Right);
    if (r.Bottom < r.Top)
        std::swap(r.Top, r.Bottom);
    return r;
}

} // namespace

TCanvas::TCanvas() = default;

TCanvas::~TCanvas()
{
    FinishDrawing();
}

// ---- Target ------------------------------------------------------------------------------------

void TCanvas::DropTarget()
{
    FinishDrawing();
    surface_ = nullptr;
    bitsImage_.reset();
    device_ = nullptr;
    externalPainter_ = nullptr;
}

void TCanvas::SetSurface(TCanvasSurface* surface)
{
    DropTarget();
    surface_ = surface;
}

void TCanvas::SetBits(void* bits, int width, int height, int bytesPerLine)
{
    DropTarget();
    if (bits && width > 0 && height > 0)
        bitsImage_ = std::make_unique<QImage>(static_cast<uchar*>(bits), width, height, bytesPerLine,
                                              QImage::Format_RGB32);
}

void TCanvas::SetPaintDevice(QPaintDevice* device)
{
    DropTarget();
    device_ = device;
}

void TCanvas::SetPainter(QPainter* painter)
{
    DropTarget();
    externalPainter_ = painter;
}

QImage* TCanvas::SurfaceImage()
{
    if (bitsImage_)
        return bitsImage_.get();
    if (surface_) {
        if (!surfaceImage_)
            surfaceImage_ = surface_->AcquireImage();
        return surfaceImage_;
    }
    return nullptr;
}

QPainter* TCanvas::Painter()
{
    if (externalPainter_)
        return externalPainter_;
    if (ownPainter_ && ownPainter_->isActive())
        return ownPainter_.get();
    QPaintDevice* target = device_;
    if (!target)
        target = SurfaceImage();
    if (!target)
        return nullptr;
    ownPainter_ = std::make_unique<QPainter>();
    if (!ownPainter_->begin(target)) {
        ownPainter_.reset();
        return nullptr;
    }
    return ownPainter_.get();
}

QPainter* TCanvas::Handle()
{
    return Painter();
}

bool TCanvas::HandleAllocated() const
{
    return externalPainter_ || (ownPainter_ && ownPainter_->isActive());
}

void TCanvas::FinishDrawing()
{
    if (ownPainter_) {
        if (ownPainter_->isActive())
            ownPainter_->end();
        ownPainter_.reset();
    }
    if (surface_ && surfaceImage_) {
        surfaceImage_ = nullptr;
        surface_->ReleaseImage();
    }
}

TRect TCanvas::ClipRect()
{
    if (QImage* img = SurfaceImage())
        return Rect(0, 0, img->width(), img->height());
    if (QPainter* p = Painter()) {
        if (p->hasClipping()) {
            const QRect r = p->clipBoundingRect().toAlignedRect();
            return Rect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
        }
        if (p->device())
            return Rect(0, 0, p->device()->width(), p->device()->height());
    }
    return {};
}

// ---- Tools -------------------------------------------------------------------------------------

void TCanvas::ApplyPenMode(QPainter* p)
{
    p->setCompositionMode(ModeForPen(pen_.Mode()));
}

void TCanvas::PreparePen(QPainter* p)
{
    if (pen_.Style() == psClear || pen_.Mode() == pmNop) {
        p->setPen(Qt::NoPen);
        return;
    }
    QColor color = ColorToQColor(pen_.Color());
    if (pen_.Mode() == pmBlack)
        color = Qt::black;
    else if (pen_.Mode() == pmWhite)
        color = Qt::white;
    QPen pen(color);
    pen.setWidth(std::max(1, pen_.Width()));
    switch (pen_.Style()) {
    case psDash:
        pen.setStyle(Qt::DashLine);
        break;
    case psDot:
        pen.setStyle(Qt::DotLine);
        break;
    case psDashDot:
        pen.setStyle(Qt::DashDotLine);
        break;
    case psDashDotDot:
        pen.setStyle(Qt::DashDotDotLine);
        break;
    default:
        pen.setStyle(Qt::SolidLine);
    }
    // Wide pens end and join round, as the platform's geometric pens do by default.
    pen.setCapStyle(pen_.Width() > 1 ? Qt::RoundCap : Qt::FlatCap);
    pen.setJoinStyle(pen_.Width() > 1 ? Qt::RoundJoin : Qt::MiterJoin);
    p->setPen(pen);
}

void TCanvas::PrepareBrush(QPainter* p)
{
    if (brush_.Style() == bsClear) {
        p->setBrush(Qt::NoBrush);
        return;
    }
    if (TBitmap* pattern = brush_.Bitmap(); pattern && !pattern->Empty()) {
        QImage tile = pattern->ToImage();
        p->setBrush(QBrush(tile));
        p->setBrushOrigin(0, 0);
        return;
    }
    const QColor color = ColorToQColor(brush_.Color());
    Qt::BrushStyle style = Qt::SolidPattern;
    switch (brush_.Style()) {
    case bsHorizontal:
        style = Qt::HorPattern;
        break;
    case bsVertical:
        style = Qt::VerPattern;
        break;
    case bsFDiagonal:
        style = Qt::BDiagPattern;
        break;
    case bsBDiagonal:
        style = Qt::FDiagPattern;
        break;
    case bsCross:
        style = Qt::CrossPattern;
        break;
    case bsDiagCross:
        style = Qt::DiagCrossPattern;
        break;
    default:
        break;
    }
    p->setBrush(QBrush(color, style));
}

// ---- Lines and shapes --------------------------------------------------------------------------

void TCanvas::MoveTo(int x, int y)
{
    penPos_ = {x, y};
}

// Bresenham from `from` towards `to`, leaving out `to` itself.
void TCanvas::LinePoints(TPoint from, TPoint to, std::vector<TPoint>& out) const
{
    int x = from.X, y = from.Y;
    const int dx = std::abs(to.X - x), dy = -std::abs(to.Y - y);
    const int sx = x < to.X ? 1 : -1, sy = y < to.Y ? 1 : -1;
    int err = dx + dy;
    while (x != to.X || y != to.Y) {
        out.push_back({x, y});
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void TCanvas::LineTo(int x, int y)
{
    const TPoint from = penPos_;
    penPos_ = {x, y};
    QPainter* p = Painter();
    if (!p)
        return;
    Changing();
    p->save();
    p->setRenderHint(QPainter::Antialiasing, false);
    ApplyPenMode(p);
    PreparePen(p);
    if (pen_.Width() <= 1 && pen_.Style() == psSolid && pen_.Mode() != pmNop) {
        // Thin solid lines are plotted pixel by pixel so that the end point stays unpainted.
        std::vector<TPoint> pts;
        LinePoints(from, {x, y}, pts);
        QPolygon poly;
        poly.reserve(static_cast<int>(pts.size()));
        for (const TPoint& pt : pts)
            poly << QPoint(pt.X, pt.Y);
        p->drawPoints(poly);
    } else {
        p->drawLine(from.X, from.Y, x, y);
    }
    p->restore();
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    if (points.empty())
        return;
    MoveTo(points[0].X, points[0].Y);
    for (size_t i = 1; i < points.size(); ++i)
        LineTo(points[i].X, points[i].Y);
}

void TCanvas::Polygon(const std::vector<TPoint>& points)
{
    QPainter* p = Painter();
    if (!p || points.empty())
        return;
    Changing();
    QPolygon poly;
    for (const TPoint& pt : points)
        poly << QPoint(pt.X, pt.Y);
    p->save();
    p->setRenderHint(QPainter::Antialiasing, false);
    ApplyPenMode(p);
    PreparePen(p);
    PrepareBrush(p);
    p->drawPolygon(poly);
    p->restore();
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    QPainter* p = Painter();
    const TRect r = Normalized(Rect(x1, y1, x2, y2));
    if (!p || r.Width() < 1 || r.Height() < 1)
        return;
    Changing();
    p->save();
    p->setRenderHint(QPainter::Antialiasing, false);
    ApplyPenMode(p);
    PreparePen(p);
    PrepareBrush(p);
    // The shape covers Left..Right-1 with a pen; without one the interior is one pixel smaller.
    const QRect qr(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
    if (p->pen().style() == Qt::NoPen)
        p->fillRect(qr, p->brush());
    else
        p->drawRect(qr);
    p->restore();
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    QPainter* p = Painter();
    const TRect r = Normalized(Rect(x1, y1, x2, y2));
    if (!p || r.Width() < 1 || r.Height() < 1)
        return;
    Changing();
    p->save();
    p->setRenderHint(QPainter::Antialiasing, false);
    ApplyPenMode(p);
    PreparePen(p);
    PrepareBrush(p);
    p->drawEllipse(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
    p->restore();
    Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    QPainter* p = Painter();
    const TRect r = Normalized(Rect(x1, y1, x2, y2));
    if (!p || r.Width() < 1 || r.Height() < 1)
        return;
    Changing();
    p->save();
    p->setRenderHint(QPainter::Antialiasing, false);
    ApplyPenMode(p);
    PreparePen(p);
    PrepareBrush(p);
    p->drawRoundedRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1), x3 / 2.0, y3 / 2.0);
    p->restore();
    Changed();
}

void TCanvas::FillRect(const TRect& rect)
{
    const TRect r = Normalized(rect);
    if (r.Width() < 1 || r.Height() < 1 || brush_.Style() == bsClear)
        return;
    QPainter* p = Painter();
    if (!p)
        return;
    Changing();
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    PrepareBrush(p);
    p->fillRect(ToQRect(r), p->brush());
    p->restore();
    Changed();
}

void TCanvas::FrameRect(const TRect& rect)
{
    const TRect r = Normalized(rect);
    if (r.Width() < 1 || r.Height() < 1)
        return;
    QPainter* p = Painter();
    if (!p)
        return;
    Changing();
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    PrepareBrush(p);
    const QBrush b = p->brush().style() == Qt::NoBrush ? QBrush(ColorToQColor(brush_.Color())) : p->brush();
    p->fillRect(QRect(r.Left, r.Top, r.Width(), 1), b);
    p->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), b);
    p->fillRect(QRect(r.Left, r.Top, 1, r.Height()), b);
    p->fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), b);
    p->restore();
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& rect)
{
    const TRect r = Normalized(rect);
    QPainter* p = Painter();
    if (!p || r.Width() < 1 || r.Height() < 1)
        return;
    Changing();
    // A dotted frame by inversion: drawing it twice removes it.
    std::vector<QPoint> dots;
    for (int x = r.Left; x < r.Right; x += 2) {
        dots.push_back({x, r.Top});
        if (r.Bottom - 1 != r.Top)
            dots.push_back({x, r.Bottom - 1});
    }
    for (int y = r.Top + 2; y < r.Bottom - 1; y += 2) {
        dots.push_back({r.Left, y});
        if (r.Right - 1 != r.Left)
            dots.push_back({r.Right - 1, y});
    }
    p->save();
    p->setRenderHint(QPainter::Antialiasing, false);
    p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p->setPen(QPen(Qt::white, 1));
    p->drawPoints(dots.data(), static_cast<int>(dots.size()));
    p->restore();
    Changed();
}

// ---- Text --------------------------------------------------------------------------------------

void TCanvas::FillTextBackground(QPainter* p, const QRect& r)
{
    if (brush_.Style() != bsClear)
        p->fillRect(r, ColorToQColor(brush_.Color()));
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    QPainter* p = Painter();
    const QFont qf = font_.ToQFont();
    const QFontMetrics fm(qf);
    const int width = fm.horizontalAdvance(text);
    if (p) {
        Changing();
        p->save();
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->setFont(qf);
        FillTextBackground(p, QRect(x, y, width, fm.height()));
        p->setPen(ColorToQColor(font_.Color()));
        p->drawText(x, y + fm.ascent(), text);
        p->restore();
        Changed();
    }
    MoveTo(x + width, y);
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const QString& text)
{
    QPainter* p = Painter();
    if (!p)
        return;
    Changing();
    const QFont qf = font_.ToQFont();
    const QFontMetrics fm(qf);
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->setClipRect(ToQRect(rect), Qt::IntersectClip);
    FillTextBackground(p, ToQRect(rect));
    p->setFont(qf);
    p->setPen(ColorToQColor(font_.Color()));
    p->drawText(x, y + fm.ascent(), text);
    p->restore();
    Changed();
}

int TCanvas::TextWidth(const QString& text)
{
    return TextExtent(text).cx;
}

int TCanvas::TextHeight(const QString& text)
{
    return TextExtent(text).cy;
}

TSize TCanvas::TextExtent(const QString& text)
{
    const QFontMetrics fm(font_.ToQFont());
    return {fm.horizontalAdvance(text), fm.height()};
}

// ---- Graphics and blocks -----------------------------------------------------------------------

void TCanvas::Draw(int x, int y, TGraphic* graphic)
{
    if (graphic && !graphic->Empty())
        graphic->Draw(this, Rect(x, y, x + graphic->Width(), y + graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic)
{
    if (graphic && !graphic->Empty())
        graphic->Draw(this, r);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect)
{
    if (!source)
        return;
    QImage* src = source->SurfaceImage();
    if (!src)
        return;
    if (source == this) {
        // Copying within one canvas reads from a snapshot so that overlapping areas stay intact.
        const QImage copy = src->copy();
        BlitImage(dest, copy, sourceRect, copyMode_);
        return;
    }
    BlitImage(dest, *src, sourceRect, copyMode_);
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& sourceRect, TColor color)
{
    if (!bitmap || bitmap->Empty())
        return;
    const QImage src = bitmap->ToImage();
    const uint32_t key = ColorToArgb(color) & 0xFFFFFF;
    const uint32_t fill = ColorToArgb(brush_.Color());
    const bool clear = brush_.Style() == bsClear;
    // Replace the key colour by the brush first, then copy the block as usual.
    QImage work = src.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < work.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(work.scanLine(y));
        for (int x = 0; x < work.width(); ++x) {
            if ((row[x] & 0xFFFFFF) == key && !clear)
                row[x] = fill;
        }
    }
    BlitImage(dest, work, sourceRect, cmSrcCopy, clear ? color : clNone);
}

void TCanvas::BlitImage(const TRect& destRect, const QImage& image, const TRect& srcRect, TCopyMode rop,
                        TColor keyColor)
{
    if (image.isNull() || destRect.Width() == 0 || destRect.Height() == 0 || srcRect.Width() == 0 ||
        srcRect.Height() == 0)
        return;
    QImage* dst = SurfaceImage();
    const uint8_t code = uint8_t(rop >> 16);
    const bool keyed = keyColor != clNone;
    const uint32_t key = keyed ? (ColorToArgb(keyColor) & 0xFFFFFF) : 0;
    if (!dst) {
        QPainter* p = Painter();
        if (!p)
            return;
        Changing();
        QImage src = image.copy(ToQRect(Normalized(srcRect)));
        if (keyed) {
            src = src.convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < src.height(); ++y) {
                auto* row = reinterpret_cast<uint32_t*>(src.scanLine(y));
                for (int x = 0; x < src.width(); ++x)
                    row[x] = (row[x] & 0xFFFFFF) == key ? 0 : (row[x] | 0xFF000000);
            }
        } else if (src.format() == QImage::Format_ARGB32) {
            src = src.convertToFormat(QImage::Format_RGB32);
        }
        p->save();
        p->setCompositionMode(keyed ? QPainter::CompositionMode_SourceOver : ModeForRop(rop));
        const TRect d = Normalized(destRect);
        const bool mirrorX = (destRect.Width() < 0) != (srcRect.Width() < 0);
        const bool mirrorY = (destRect.Height() < 0) != (srcRect.Height() < 0);
        if (mirrorX || mirrorY)
            src = src.mirrored(mirrorX, mirrorY);
        p->drawImage(ToQRect(d), src);
        p->restore();
        Changed();
        return;
    }

    // Nearest-neighbour scaling with optional mirroring: a negative width or height on either
    // side mirrors that axis, as the platform's stretch copy does.
    const TRect d = Normalized(destRect);
    const TRect s = Normalized(srcRect);
    const bool mirrorX = (destRect.Width() < 0) != (srcRect.Width() < 0);
    const bool mirrorY = (destRect.Height() < 0) != (srcRect.Height() < 0);
    const int dw = d.Width(), dh = d.Height(), sw = s.Width(), sh = s.Height();
    const int x0 = std::max(d.Left, 0), x1 = std::min(d.Right, dst->width());
    const int y0 = std::max(d.Top, 0), y1 = std::min(d.Bottom, dst->height());
    if (x0 >= x1 || y0 >= y1)
        return;
    Changing();
    const uint32_t pattern = ColorToArgb(brush_.Color());
    const bool copy = code == 0xCC;
    const bool raw32 = copy && dst->format() == QImage::Format_RGB32 &&
                       (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32);
    for (int y = y0; y < y1; ++y) {
        int oy = static_cast<int>((2LL * (y - d.Top) + 1) * sh / (2LL * dh));
        if (mirrorY)
            oy = sh - 1 - oy;
        const int sy = s.Top + oy;
        if (sy < 0 || sy >= image.height())
            continue;
        for (int x = x0; x < x1; ++x) {
            int ox = static_cast<int>((2LL * (x - d.Left) + 1) * sw / (2LL * dw));
            if (mirrorX)
                ox = sw - 1 - ox;
            const int sx = s.Left + ox;
            if (sx < 0 || sx >= image.width())
                continue;
            const uint32_t sp = ReadPixel(image, sx, sy);
            if (keyed && (sp & 0xFFFFFF) == key)
                continue;
            if (raw32) {
                reinterpret_cast<uint32_t*>(Row(dst, y))[x] = sp;
            } else if (copy) {
                WritePixel(dst, x, y, sp | (dst->format() == QImage::Format_RGB32 ? 0 : 0xFF000000));
            } else {
                const uint32_t dp = ReadPixel(*dst, x, y);
                WritePixel(dst, x, y, (Rop3(code, pattern, sp, dp) & 0xFFFFFF) | 0xFF000000);
            }
        }
    }
    Changed();
}

void TCanvas::BlendImage(const TRect& destRect, const QImage& argb, const TRect& srcRect)
{
    if (argb.isNull())
        return;
    const QImage src = argb.format() == QImage::Format_ARGB32 ? argb : argb.convertToFormat(QImage::Format_ARGB32);
    QImage* dst = SurfaceImage();
    const TRect d = Normalized(destRect);
    const TRect s = Normalized(srcRect);
    if (d.Width() < 1 || d.Height() < 1 || s.Width() < 1 || s.Height() < 1)
        return;
    if (!dst) {
        QPainter* p = Painter();
        if (!p)
            return;
        Changing();
        p->save();
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->drawImage(ToQRect(d), src, ToQRect(s));
        p->restore();
        Changed();
        return;
    }
    const int x0 = std::max(d.Left, 0), x1 = std::min(d.Right, dst->width());
    const int y0 = std::max(d.Top, 0), y1 = std::min(d.Bottom, dst->height());
    if (x0 >= x1 || y0 >= y1)
        return;
    Changing();
    for (int y = y0; y < y1; ++y) {
        const int sy = s.Top + static_cast<int>((2LL * (y - d.Top) + 1) * s.Height() / (2LL * d.Height()));
        if (sy < 0 || sy >= src.height())
            continue;
        const auto* srow = reinterpret_cast<const uint32_t*>(src.constScanLine(sy));
        for (int x = x0; x < x1; ++x) {
            const int sx = s.Left + static_cast<int>((2LL * (x - d.Left) + 1) * s.Width() / (2LL * d.Width()));
            if (sx < 0 || sx >= src.width())
                continue;
            const uint32_t sp = srow[sx];
            const uint32_t a = sp >> 24;
            if (a == 0)
                continue;
            const uint32_t dp = ReadPixel(*dst, x, y);
            // The target's fourth byte is left as it is: the view treats it as opaque colour.
            uint32_t out = dp & 0xFF000000;
            for (int shift = 0; shift < 24; shift += 8) {
                const uint32_t sc = sp >> shift & 0xFF, dc = dp >> shift & 0xFF;
                out |= (((255 - a) * dc + a * sc) / 255) << shift;
            }
            WritePixel(dst, x, y, out);
        }
    }
    Changed();
}

// ---- Pixels ------------------------------------------------------------------------------------

TColor TCanvas::Pixel(int x, int y)
{
    QImage* img = SurfaceImage();
    if (!img || x < 0 || y < 0 || x >= img->width() || y >= img->height())
        return clNone;
    return ArgbToColor(ReadPixel(*img, x, y));
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    QImage* img = SurfaceImage();
    if (img) {
        if (x < 0 || y < 0 || x >= img->width() || y >= img->height())
            return;
        Changing();
        WritePixel(img, x, y, ColorToArgb(color));
        Changed();
        return;
    }
    if (QPainter* p = Painter()) {
        Changing();
        p->save();
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->setPen(QPen(ColorToQColor(color), 1));
        p->drawPoint(x, y);
        p->restore();
        Changed();
    }
}

// ---- Locking and notification ------------------------------------------------------------------

void TCanvas::Lock()
{
    lock_.lock();
    ++lockCount_;
}

void TCanvas::Unlock()
{
    --lockCount_;
    lock_.unlock();
}

bool TCanvas::TryLock()
{
    if (!lock_.try_lock())
        return false;
    ++lockCount_;
    return true;
}

void TCanvas::Changing()
{
    if (OnChanging)
        OnChanging(this);
}

void TCanvas::Changed()
{
    if (OnChange)
        OnChange(this);
}
