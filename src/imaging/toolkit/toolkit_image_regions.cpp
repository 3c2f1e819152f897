// Regions, floater and rubber band of the toolkit image control.
//
// Shapes being drawn, the rubber band, the region's outline and the floater are drawn by an
// overlay widget laid over the control: a window cannot be drawn on with inverted pixels here, so
// what would be drawn and erased again is painted over the picture and taken away by repainting.

#include "imaging/toolkit/toolkit_image.h"

#include "framework/timer.h"
#include "imaging/toolkit/toolkit_panwindow.h"
#include "imaging/toolkit/toolkit_regions.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QRegion>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace {

QRect QRectOf(const TRect& r)
{
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

TRect Normalised(const TPoint& a, const TPoint& b)
{
    return Rect(std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y));
}

// The picture of a bitmap at the given size without the display settings, for when the painting
// code gives none.
QImage PlainImage(const TKBitmap& bitmap, int width, int height)
{
    if (!IsBitmapAllocated(&bitmap) || !bitmap.Pixels || width <= 0 || height <= 0)
        return QImage();
    const QImage::Format format = bitmap.BitsPerPixel == 32 ? QImage::Format_ARGB32 : QImage::Format_BGR888;
    const QImage image = bitmap.BitsPerPixel <= 8
                             ? BitmapImage(bitmap)
                             : QImage(bitmap.Row(0), bitmap.Width, bitmap.Height, bitmap.RowBytes, format);
    return image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

// Paints what the control shows over its picture; it lets the mouse through to the control.
class TRegionOverlay : public QWidget {
public:
    explicit TRegionOverlay(TToolkitImage* owner) : QWidget(owner), owner_(owner)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(owner->rect());
        owner->installEventFilter(this);
    }

protected:
    void paintEvent(QPaintEvent*) override;
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched == owner_ && e->type() == QEvent::Resize)
            setGeometry(owner_->rect());
        return false;
    }

private:
    TToolkitImage* owner_;
};

struct TToolkitImage::TRegionState {
    uint32_t CombineMode = TKRGN_Replace;
    int Phase = 0;
    std::vector<TPoint> Polygon;
    int PolygonCount = 0;
    bool Tracking = false;
    bool Captured = false;
    TPoint Start{}, End{};
    bool BandShown = false;
    int BandScrollX = 0, BandScrollY = 0;

    // The floater: its pixels with a region in floater coordinates, and what lies under it.
    TKBitmap Floater;
    TKBitmap Background;
    TPoint BackgroundAt{};
    QImage FloaterImage;
    QRegion FloaterRegion; // client pixels, relative to the floater's corner
    QRegion ClientRegion;  // client coordinates where the floater was lifted
    TRect FloaterClient{}; // client coordinates where the floater was lifted
    TRect FloaterRect{};   // bitmap coordinates
    int DragX = 0, DragY = 0;
    TPoint Last{};
    bool Dragging = false;
    uint8_t Visible = 0;

    // An image operation under way.
    TKBitmap Kept;
    bool Aborted = false;

    TTimer* OutlineTimer = nullptr;
    TRegionOverlay* Overlay = nullptr;
};

void TToolkitImage::TRegionStateDeleter::operator()(TRegionState* state) const
{
    delete state;
}

TToolkitImage::TRegionState& TToolkitImage::RegionState()
{
    if (!regionState_)
        regionState_.reset(new TRegionState);
    return *regionState_;
}

// The work of this file, with the control's private members at hand.
struct TToolkitImageRegions {
    using C = TToolkitImage;

    static TRect Inner(const C& c)
    {
        return Rect(c.inset_, c.inset_, c.ClientWidth() - c.inset_, c.ClientHeight() - c.inset_);
    }

    static TRect Destination(const C& c)
    {
        return Bounds(c.view_.Left + c.inset_, c.view_.Top + c.inset_, c.view_.Width, c.view_.Height);
    }

    static bool HasView(const C& c)
    {
        return c.HasBitmap && IsBitmapAllocated(&c.ToolkitBitmap) && c.view_.Width > 0 && c.view_.Height > 0 &&
               c.source_.Width > 0 && c.source_.Height > 0;
    }

    // Client pixels to bitmap pixels. The bitmap's own perspective maps the picture as it shows
    // onto its stored pixels, so a shape lands where it was drawn however the picture is turned.
    static TKRegionTransform ClientToBitmap(const C& c)
    {
        TKRegionTransform t;
        t.ViewPerspective = c.ToolkitBitmap.ViewPerspective;
        t.XScaleNumerator = c.source_.Width;
        t.XScaleDenominator = c.view_.Width;
        t.YScaleNumerator = c.source_.Height;
        t.YScaleDenominator = c.view_.Height;
        t.XOffset = -(c.view_.Left + c.inset_);
        t.YOffset = -(c.view_.Top + c.inset_);
        return t;
    }

    static TKRegionTransform BitmapToClient(const C& c)
    {
        TKRegionTransform t;
        t.ViewPerspective = c.ToolkitBitmap.ViewPerspective;
        t.XScaleNumerator = c.view_.Width;
        t.XScaleDenominator = c.source_.Width;
        t.YScaleNumerator = c.view_.Height;
        t.YScaleDenominator = c.source_.Height;
        t.XOffset = c.view_.Left + c.inset_;
        t.YOffset = c.view_.Top + c.inset_;
        return t;
    }

    static bool HasRegion(const C& c)
    {
        return c.HasBitmap && TK_IsBitmapRgnPresent(&c.ToolkitBitmap);
    }

    // Presses and moves wait for an animation, an image operation and a running magnifier.
    static bool MouseBlocked(const C& c)
    {
        return c.animating_ || c.processing_ || (c.busy_ & C::bsProcessing) || c.MagGlassActive();
    }

    static void StoreBitmap(C& c)
    {
        if (c.BitmapList && IsBitmapAllocated(&c.ToolkitBitmap))
            TK_SetBitmapListItem(c.BitmapList, c.BitmapListIndex, &c.ToolkitBitmap);
    }

    [[noreturn]] static void Raise(C& c, int code, const QString& text)
    {
        c.LastResult = code;
        throw EToolkitImageError(text.arg(c.MessageName()));
    }

    static void Down(C& c, TShiftState shift, int x, int y);
    static void Move(C& c, TShiftState shift, int x, int y);
    static void Up(C& c, TShiftState shift);

    // ---- Overlay -----------------------------------------------------------------------------

    static TRegionOverlay* EnsureOverlay(C& c)
    {
        auto& s = c.RegionState();
        if (!s.Overlay) {
            s.Overlay = new TRegionOverlay(&c);
            s.Overlay->show();
        }
        // Paints call this: the overlay is raised only when something came over it since.
        const QObjectList& siblings = c.children();
        if (siblings.isEmpty() || siblings.last() != s.Overlay)
            s.Overlay->raise();
        return s.Overlay;
    }

    static void UpdateOverlay(C& c)
    {
        EnsureOverlay(c)->update();
    }

    // The outline's pattern: four dark and four light pixels, moved on by a pixel per phase.
    static void DrawOutline(QPainter& p, const QRegion& region, int phase)
    {
        QPainterPath path;
        path.addRegion(region);
        path = path.simplified().translated(0.5, 0.5);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 1));
        p.drawPath(path);
        QPen dashes(Qt::black, 1);
        dashes.setDashPattern({4, 4});
        dashes.setDashOffset(phase);
        p.setPen(dashes);
        p.drawPath(path);
    }

    static void DrawShape(C& c, QPainter& p)
    {
        auto& s = c.RegionState();
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        const TRect r = Normalised(s.Start, s.End);
        const QRect q(r.Left, r.Top, r.Width(), r.Height());
        switch (c.RegionTool) {
        case 1: p.drawRect(q); break;
        case 2: p.drawRoundedRect(q, 25, 25); break;
        case 3: p.drawEllipse(q); break;
        case 4: {
            QPolygon line;
            for (int i = 0; i < s.PolygonCount && i < int(s.Polygon.size()); ++i)
                line << QPoint(s.Polygon[size_t(i)].X, s.Polygon[size_t(i)].Y);
            p.drawPolyline(line);
            break;
        }
        default: break;
        }
    }

    static void PaintOverlay(C& c, QPainter& p)
    {
        auto& s = c.RegionState();
        const TRect inner = Inner(c);
        if (inner.Width() <= 0 || inner.Height() <= 0)
            return;
        p.setClipRect(QRectOf(inner));
        if (c.RegionFrameKind && HasRegion(c) && HasView(c)) {
            QRegion region;
            const TKRegionTransform t = BitmapToClient(c);
            if (TK_GetBitmapRgnHandle(&c.ToolkitBitmap, &t, &region) == TK_Success && !region.isEmpty()) {
                p.save();
                TRect display;
                if (IntersectRect(display, Destination(c), inner))
                    p.setClipRect(QRectOf(display), Qt::IntersectClip);
                if (c.RegionFrameKind == 3)
                    p.fillPath([&] { QPainterPath path; path.addRegion(region); return path; }(),
                               QColor::fromRgb(int(c.RegionFillColor & 0xFF), int(c.RegionFillColor >> 8 & 0xFF),
                                               int(c.RegionFillColor >> 16 & 0xFF)));
                else
                    DrawOutline(p, region, s.Phase);
                p.restore();
                KeepOutlineMoving(c);
            }
        }
        if (s.Tracking && c.RegionTool)
            DrawShape(c, p);
        if (!c.RegionTool) {
            if (s.Tracking && c.RubberBandEnabled) {
                p.setPen(QPen(Qt::black, 1));
                p.setBrush(Qt::NoBrush);
                p.drawRect(QRectOf(Normalised(s.Start, s.End)));
            } else if (s.BandShown) {
                TRect band = c.RubberBandRect;
                OffsetRect(band, s.BandScrollX - c.scrollX_, s.BandScrollY - c.scrollY_);
                p.setPen(QPen(Qt::black, 1));
                p.setBrush(Qt::NoBrush);
                p.drawRect(QRectOf(band));
            }
        }
        if (s.Dragging && !s.FloaterImage.isNull()) {
            p.save();
            const QPoint at(s.FloaterClient.Left + s.DragX, s.FloaterClient.Top + s.DragY);
            p.setClipRegion(s.ClientRegion.translated(s.DragX, s.DragY), Qt::IntersectClip);
            p.drawImage(at, s.FloaterImage);
            p.restore();
        } else if (!c.autoFloater_ && s.Visible && !s.FloaterImage.isNull()) {
            p.save();
            TRect clip = c.FloaterDestClip;
            OffsetRect(clip, c.inset_, c.inset_);
            p.setClipRect(QRectOf(clip), Qt::IntersectClip);
            const QPoint at(c.FloaterDestRect.Left + c.inset_, c.FloaterDestRect.Top + c.inset_);
            p.setClipRegion(s.FloaterRegion.translated(at), Qt::IntersectClip);
            p.drawImage(at, s.FloaterImage);
            p.restore();
        }
    }

    // ---- Region ------------------------------------------------------------------------------

    static TRect RegionBounds(const C& c)
    {
        TRect bounds{};
        TK_GetBitmapRgnBounds(&c.ToolkitBitmap, &bounds);
        return bounds;
    }

    static void UpdateRegionBounds(C& c)
    {
        const TRect b = HasRegion(c) ? RegionBounds(c) : TRect{};
        c.RegionLeft = b.Left;
        c.RegionTop = b.Top;
        c.RegionWidth = b.Width();
        c.RegionHeight = b.Height();
        c.LastResult = TK_Success;
    }

    static void StartOutlineTimer(C& c)
    {
        auto& s = c.RegionState();
        if (!s.OutlineTimer) {
            s.OutlineTimer = new TTimer(&c);
            s.OutlineTimer->setObjectName(QStringLiteral("RegionOutlineTimer"));
            s.OutlineTimer->SetEnabled(false);
            s.OutlineTimer->OnTimer = [&c](TObject*) { OutlineTick(c); };
        }
        s.OutlineTimer->SetInterval(1000);
        s.OutlineTimer->SetEnabled(true);
    }

    static void OutlineTick(C& c)
    {
        auto& s = c.RegionState();
        if (c.RegionFrameKind != 1 && c.RegionFrameKind != 2) {
            if (s.OutlineTimer)
                s.OutlineTimer->SetEnabled(false);
            return;
        }
        if (!HasRegion(c))
            return;
        if (c.RegionFrameKind == 2)
            s.Phase = (s.Phase + 1) % 8;
        UpdateOverlay(c);
    }

    // The moving outline ticks once it has been shown while no region tool draws.
    static void KeepOutlineMoving(C& c)
    {
        auto& s = c.RegionState();
        if (c.RegionFrameKind == 2 && !c.RegionTool && HasRegion(c) && (!s.OutlineTimer || !s.OutlineTimer->Enabled()))
            StartOutlineTimer(c);
    }

    // After paints and region changes: the outline shows on the overlay.
    static void ShowRegionFrame(C& c, bool repaint)
    {
        if (!c.RegionFrameKind || !HasRegion(c))
            return;
        TRegionOverlay* overlay = EnsureOverlay(c);
        if (repaint)
            overlay->update();
        KeepOutlineMoving(c);
    }

    static void RegionChanged(C& c)
    {
        UpdateRegionBounds(c);
        if (c.RegionWidth <= 0 || c.RegionHeight <= 0) {
            TK_FreeBitmapRgn(&c.ToolkitBitmap);
            if (c.enableFloater_)
                FreeFloaterBuffers(c);
        } else if (c.enableFloater_) {
            const int r = CopyBackground(c, RegionBounds(c));
            if (r != TK_Success) {
                c.LastResult = r;
                if (c.enableMethodErrors_)
                    throw EToolkitImageError(QStringLiteral("%1 \nError code: %2\nError Allocating Floater Bitmaps: %3 ")
                                                 .arg(c.MessageName())
                                                 .arg(r)
                                                 .arg(ToolkitErrorText(r)));
            }
        }
        StoreBitmap(c);
        if (c.paintRgnOnly_ || c.RegionFrameKind) {
            c.Invalidate();
            ShowRegionFrame(c, true);
        }
        c.Fire(c.OnRgnChange, &c);
    }

    // ---- Floater -----------------------------------------------------------------------------

    // What lies under rect (bitmap coordinates) becomes the background copy.
    static int CopyBackground(C& c, const TRect& rect)
    {
        auto& s = c.RegionState();
        TK_FreeBitmap(&s.Background);
        TRect cut;
        if (!IntersectRect(cut, rect, Rect(0, 0, c.ToolkitBitmap.Width, c.ToolkitBitmap.Height)))
            return TK_ErrWidthHeight;
        TKBitmap plain = c.ToolkitBitmap;
        plain.Region.reset();
        const int r = TK_CopyBitmapRect(&plain, &s.Background, cut);
        s.BackgroundAt = TPoint{cut.Left, cut.Top};
        return r;
    }

    static void FreeFloaterBuffers(C& c)
    {
        auto& s = c.RegionState();
        const bool shown = s.Dragging || s.Visible;
        TK_FreeBitmap(&s.Background);
        s.FloaterImage = QImage();
        s.FloaterRegion = QRegion();
        s.ClientRegion = QRegion();
        s.Dragging = false;
        if (shown && s.Overlay)
            s.Overlay->update();
    }

    static QImage DeviceImage(C& c, const TKBitmap& bitmap, int width, int height)
    {
        QImage image = c.MakeDeviceImage(bitmap, width, height, 0, 0);
        return image.isNull() ? PlainImage(bitmap, width, height) : image;
    }

    // Lifts the region's pixels into the floater; the bitmap keeps what lay under them.
    static void Lift(C& c)
    {
        auto& s = c.RegionState();
        const TRect bounds = RegionBounds(c);
        s.FloaterRect = bounds;
        QRegion inFloater;
        TKRegionTransform ident;
        TK_GetBitmapRgnHandle(&c.ToolkitBitmap, &ident, &inFloater);
        inFloater.translate(-bounds.Left, -bounds.Top);
        const TKRegionTransform toClient = BitmapToClient(c);
        TK_GetBitmapRgnHandle(&c.ToolkitBitmap, &toClient, &s.ClientRegion);
        const QRect client = s.ClientRegion.boundingRect();
        s.FloaterClient = Bounds(client.left(), client.top(), client.width(), client.height());
        TK_FreeBitmapRgn(&c.ToolkitBitmap);
        TK_FreeBitmap(&s.Floater);
        int r = TK_CopyBitmapRect(&c.ToolkitBitmap, &s.Floater, bounds);
        if (r == TK_Success)
            s.Floater.Region = std::make_shared<const QRegion>(inFloater);
        s.FloaterImage = r == TK_Success ? DeviceImage(c, s.Floater, client.width(), client.height()) : QImage();
        if (IsBitmapAllocated(&s.Background)) {
            TK_CombineBitmap(&c.ToolkitBitmap, s.BackgroundAt.X, s.BackgroundAt.Y, &s.Background,
                             Rect(0, 0, s.Background.Width, s.Background.Height), TKCB_Copy);
        } else if (r == TK_Success) {
            TKBitmap plain = s.Floater;
            plain.Region.reset();
            TK_CopyBitmap(&plain, &s.Background);
            s.BackgroundAt = TPoint{bounds.Left, bounds.Top};
        }
        c.Invalidate();
        if (r != TK_Success || s.FloaterImage.isNull() || !IsBitmapAllocated(&s.Background) || s.ClientRegion.isEmpty()) {
            FreeFloaterBuffers(c);
            Raise(c, r != TK_Success ? r : TK_ErrNoMemory, QStringLiteral("%1 \nError Allocating Floater Bitmaps."));
        }
    }

    static void MoveFloater(C& c, int x, int y)
    {
        auto& s = c.RegionState();
        s.DragX += x - s.Last.X;
        s.DragY += y - s.Last.Y;
        s.Last = TPoint{x, y};
        UpdateOverlay(c);
    }

    // Client pixels dragged, in bitmap pixels: a drag to the left or up moves at least one pixel,
    // one to the right or down moves only whole pixels.
    static int DragToBitmap(int total, int sourceSize, int viewSize)
    {
        if (viewSize <= 0)
            return 0;
        const int64_t scaled = int64_t(total) * sourceSize;
        return int(total < 0 ? (scaled - viewSize + 1) / viewSize : scaled / viewSize);
    }

    // Puts the floater's pixels and region on the bitmap at (left, top), keeping what lies there.
    static int PutFloater(C& c, int left, int top)
    {
        auto& s = c.RegionState();
        const int r = CopyBackground(c, Bounds(left, top, s.Floater.Width, s.Floater.Height));
        if (r != TK_Success)
            TK_FreeBitmap(&s.Background);
        TKRegionTransform at;
        at.XOffset = left;
        at.YOffset = top;
        const QRegion shape = s.Floater.Region ? *s.Floater.Region : QRegion(0, 0, s.Floater.Width, s.Floater.Height);
        TK_SetBitmapRgnHandle(&c.ToolkitBitmap, &at, shape, TKRGN_Replace);
        TK_CombineBitmap(&c.ToolkitBitmap, left, top, &s.Floater, Rect(0, 0, s.Floater.Width, s.Floater.Height),
                         TKCB_Copy);
        return r;
    }

    static void Drop(C& c)
    {
        auto& s = c.RegionState();
        s.Dragging = false;
        const int perspective = c.ToolkitBitmap.ViewPerspective;
        TRect shown = TK_StoredRectToView(c.ToolkitBitmap, perspective, s.FloaterRect);
        OffsetRect(shown, DragToBitmap(s.DragX, c.source_.Width, c.view_.Width),
                   DragToBitmap(s.DragY, c.source_.Height, c.view_.Height));
        const TRect place = TK_ViewRectToStored(c.ToolkitBitmap, perspective, shown);
        if (IsBitmapAllocated(&s.Floater))
            PutFloater(c, place.Left, place.Top);
        c.Invalidate();
        c.UpdatePanWindow();
        c.UpdateMagnifier();
        ShowRegionFrame(c, true);
        UpdateRegionBounds(c);
        StoreBitmap(c);
        c.Fire(c.OnRgnChange, &c);
        s.Captured = false;
        UpdateOverlay(c);
    }

    // A floater set from outside: its picture at FloaterDestRect's size.
    static int RebuildFloater(C& c)
    {
        auto& s = c.RegionState();
        s.FloaterImage = QImage();
        s.FloaterRegion = QRegion();
        const int w = c.FloaterDestRect.Width(), h = c.FloaterDestRect.Height();
        if (!IsBitmapAllocated(&s.Floater) || w <= 0 || h <= 0)
            return TK_ErrNoMemory;
        TKRegionTransform scale;
        scale.XScaleNumerator = w;
        scale.XScaleDenominator = s.Floater.Width;
        scale.YScaleNumerator = h;
        scale.YScaleDenominator = s.Floater.Height;
        if (s.Floater.Region)
            TK_GetBitmapRgnHandle(&s.Floater, &scale, &s.FloaterRegion);
        else
            s.FloaterRegion = QRegion(0, 0, w, h);
        s.FloaterImage = DeviceImage(c, s.Floater, w, h);
        if (s.FloaterImage.isNull()) {
            s.FloaterRegion = QRegion();
            return TK_ErrNoMemory;
        }
        return TK_Success;
    }

    static bool PointOnFloater(C& c, int x, int y)
    {
        auto& s = c.RegionState();
        if (c.autoFloater_ || !s.Visible || !IsBitmapAllocated(&s.Floater))
            return false;
        const TPoint p{x - c.inset_, y - c.inset_};
        TRect area;
        if (!IntersectRect(area, c.FloaterDestRect, c.FloaterDestClip) || !PtInRect(area, p))
            return false;
        const int w = c.FloaterDestRect.Width(), h = c.FloaterDestRect.Height();
        const int fx = int(int64_t(p.X - c.FloaterDestRect.Left) * s.Floater.Width / w);
        const int fy = int(int64_t(p.Y - c.FloaterDestRect.Top) * s.Floater.Height / h);
        return !s.Floater.Region || s.Floater.Region->contains(QPoint(fx, fy));
    }

    static bool PointInRegion(C& c, int x, int y)
    {
        if (!HasRegion(c) || !HasView(c))
            return false;
        const TKRegionTransform t = ClientToBitmap(c);
        const auto floorDiv = [](int64_t a, int64_t b) { return int(a / b - ((a % b != 0) && ((a < 0) != (b < 0)))); };
        int bx = floorDiv((int64_t(x) + t.XOffset) * t.XScaleNumerator, t.XScaleDenominator);
        int by = floorDiv((int64_t(y) + t.YOffset) * t.YScaleNumerator, t.YScaleDenominator);
        TK_PointToBitmap(&c.ToolkitBitmap, &bx, &by);
        return c.ToolkitBitmap.Region->contains(QPoint(bx, by));
    }

    // ---- Image operations --------------------------------------------------------------------

    static void BeginProcess(C& c, TKBitmap* target)
    {
        c.BusyCheck();
        auto& s = c.RegionState();
        c.busy_ |= C::bsProcessing;
        s.Aborted = false;
        // The toolkit gives a turned picture pixels of its own, so the record is a true copy.
        s.Kept = *target;
        c.BeginStatus();
    }

    // The toolkit's part of an image operation. An event handler that raises during it ends the
    // operation as an abort would, so that the control is not left busy.
    template <class F>
    static int Run(C& c, TKBitmap* target, F work)
    {
        try {
            return work();
        } catch (...) {
            c.RegionState().Aborted = true;
            c.EndProcess(target);
            throw;
        }
    }

    // The rotated floater goes back centred on where it was, over the background put back first.
    static void PutRotatedFloaterBack(C& c)
    {
        auto& s = c.RegionState();
        const TRect old = s.FloaterRect;
        TK_FreeBitmapRgn(&c.ToolkitBitmap);
        if (IsBitmapAllocated(&s.Background))
            TK_CombineBitmap(&c.ToolkitBitmap, s.BackgroundAt.X, s.BackgroundAt.Y, &s.Background,
                             Rect(0, 0, s.Background.Width, s.Background.Height), TKCB_Copy);
        const int left = old.Left + (old.Width() - s.Floater.Width) / 2;
        const int top = old.Top + (old.Height() - s.Floater.Height) / 2;
        if (PutFloater(c, left, top) != TK_Success) {
            c.Invalidate();
            Raise(c, TK_ErrNoMemory, QStringLiteral("%1 \nNot enough memory to allocate background bitmap."));
        }
        s.FloaterRect = Bounds(left, top, s.Floater.Width, s.Floater.Height);
        c.Invalidate();
    }
};

void TRegionOverlay::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    TToolkitImageRegions::PaintOverlay(*owner_, p);
}

void TToolkitImage::ShutDownRegion()
{
    if (!regionState_)
        return;
    auto& s = *regionState_;
    delete s.OutlineTimer;
    s.OutlineTimer = nullptr;
    delete s.Overlay;
    s.Overlay = nullptr;
}

// ---- Hooks of the other parts ----------------------------------------------------------------

void TToolkitImage::PaintRegionOverlays()
{
    // The overlay is painted after the control by itself; a paint only needs it to be there.
    TToolkitImageRegions::ShowRegionFrame(*this, false);
}

void TToolkitImage::RedrawShownRubberBand()
{
    if (regionState_ && regionState_->BandShown && !RegionTool)
        TToolkitImageRegions::UpdateOverlay(*this);
}

bool TToolkitImage::HideFloaterForScroll()
{
    if (!regionState_ || autoFloater_ || !regionState_->Visible || !IsBitmapAllocated(&regionState_->Floater))
        return false;
    regionState_->Visible = 0;
    TToolkitImageRegions::UpdateOverlay(*this);
    return true;
}

void TToolkitImage::ShowFloaterAfterScroll(bool wasVisible)
{
    // The outline and the rubber band go with the picture.
    if (regionState_ && regionState_->Overlay)
        regionState_->Overlay->update();
    if (!wasVisible)
        return;
    auto& s = RegionState();
    s.Visible = 1;
    TToolkitImageRegions::RebuildFloater(*this);
    TToolkitImageRegions::UpdateOverlay(*this);
}

void TToolkitImage::AfterExternalChange()
{
    if (autoFloater_) {
        if (enableFloater_)
            TToolkitImageRegions::FreeFloaterBuffers(*this);
        if (HasBitmap)
            FreeRgn();
    } else if (regionState_ && IsBitmapAllocated(&regionState_->Floater)) {
        TToolkitImageRegions::RebuildFloater(*this);
        TToolkitImageRegions::UpdateOverlay(*this);
    }
}

// ---- Mouse -----------------------------------------------------------------------------------

// The mouse's work runs guarded: an error it raises goes to the application's handler rather than
// through the window system's event loop.
void TToolkitImage::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (MaybeStartOleDrag(button))
        return;
    TCustomPanel::MouseDown(button, shift, x, y);
    FireGuarded([&] { TToolkitImageRegions::Down(*this, shift, x, y); });
}

void TToolkitImageRegions::Down(TToolkitImage& c, TShiftState shift, int x, int y)
{
    using R = TToolkitImageRegions;
    if ((shift & ssDouble) || R::MouseBlocked(c) || R::PointOnFloater(c, x, y))
        return;
    auto& s = c.RegionState();
    s.Tracking = false;
    const TPoint p{x, y};
    if (!R::HasView(c) || !PtInRect(R::Inner(c), p) || !PtInRect(R::Destination(c), p))
        return;
    if (c.enableFloater_ && R::PointInRegion(c, x, y)) {
        c.SetFocus();
        R::Lift(c);
        s.DragX = s.DragY = 0;
        s.Last = p;
        s.Dragging = true;
        s.Captured = true;
        R::UpdateOverlay(c);
        return;
    }
    if (c.RegionTool) {
        if (c.autoFloater_)
            R::FreeFloaterBuffers(c);
        if (c.RegionFrameKind && R::HasRegion(c))
            c.Refresh();
        if (R::HasRegion(c))
            c.FreeRgn();
    }
    if (!c.RegionTool && !c.RubberBandEnabled)
        return;
    c.SetFocus();
    s.Tracking = true;
    s.Captured = true;
    s.CombineMode = TKRGN_Replace;
    if (c.RegionTool == 4) {
        c.SetPolygonSize(50);
        s.Polygon[0] = p;
        s.PolygonCount = 1;
    }
    if (!c.RegionTool) {
        s.BandShown = false;
        c.RubberBandRect = TRect{};
    }
    s.Start = s.End = p;
    R::UpdateOverlay(c);
}

void TToolkitImage::MouseMove(TShiftState shift, int x, int y)
{
    FireGuarded([&] { TToolkitImageRegions::Move(*this, shift, x, y); });
    TCustomPanel::MouseMove(shift, x, y);
}

void TToolkitImageRegions::Move(TToolkitImage& c, TShiftState shift, int x, int y)
{
    using R = TToolkitImageRegions;
    auto* s = c.regionState_.get();
    if (s && s->Captured && !(shift & ssDouble) && !R::MouseBlocked(c)) {
        if (s->Dragging) {
            R::MoveFloater(c, x, y);
        } else if (s->Tracking) {
            TRect area;
            if (IntersectRect(area, R::Inner(c), R::Destination(c))) {
                const TPoint p{std::clamp(x, area.Left, area.Right), std::clamp(y, area.Top, area.Bottom)};
                s->End = p;
                if (c.RegionTool == 4) {
                    if (s->PolygonCount >= int(s->Polygon.size()))
                        s->Polygon.resize(size_t(s->PolygonCount) + 50);
                    s->Polygon[size_t(s->PolygonCount)] = p;
                    ++s->PolygonCount;
                    if (s->PolygonCount >= int(s->Polygon.size()))
                        s->Polygon.resize(s->Polygon.size() + 50);
                } else if (!c.RegionTool) {
                    c.RubberBandRect = Rect(s->Start.X, s->Start.Y, p.X, p.Y);
                }
                R::UpdateOverlay(c);
            }
        }
    }
}

void TToolkitImage::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    FireGuarded([&] { TToolkitImageRegions::Up(*this, shift); });
    if (regionState_) {
        regionState_->Tracking = false;
        regionState_->Captured = false;
    }
    TCustomPanel::MouseUp(button, shift, x, y);
}

void TToolkitImageRegions::Up(TToolkitImage& c, TShiftState shift)
{
    using R = TToolkitImageRegions;
    auto* s = c.regionState_.get();
    if (s && !(shift & ssDouble) && !c.animating_ && !c.processing_ && !(c.busy_ & TToolkitImage::bsProcessing)) {
        if (s->Dragging) {
            R::Drop(c);
        } else if (s->Tracking && c.RegionTool) {
            s->Tracking = false;
            R::UpdateOverlay(c);
            int result = TK_ErrBitmapHandle;
            if (R::HasView(c)) {
                const TKRegionTransform t = R::ClientToBitmap(c);
                const TRect r = Normalised(s->Start, s->End);
                switch (c.RegionTool) {
                case 1: result = TK_SetBitmapRgnRect(&c.ToolkitBitmap, &t, r, s->CombineMode); break;
                case 2: result = TK_SetBitmapRgnRoundRect(&c.ToolkitBitmap, &t, r, 50, 50, s->CombineMode); break;
                case 3: result = TK_SetBitmapRgnEllipse(&c.ToolkitBitmap, &t, r, s->CombineMode); break;
                case 4:
                    result = TK_SetBitmapRgnPolygon(&c.ToolkitBitmap, &t, s->Polygon.data(),
                                                    std::min(s->PolygonCount, int(s->Polygon.size())), TKFILL_Alternate,
                                                    s->CombineMode);
                    break;
                default: result = TK_ErrParameter; break;
                }
            }
            s->Polygon.clear();
            s->PolygonCount = 0;
            c.LastResult = result;
            if (result == TK_Success)
                R::RegionChanged(c);
        } else if (s->Tracking) {
            s->Tracking = false;
            c.RubberBandRect = Normalised(TPoint{c.RubberBandRect.Left, c.RubberBandRect.Top},
                                        TPoint{c.RubberBandRect.Right, c.RubberBandRect.Bottom});
            s->BandScrollX = c.scrollX_;
            s->BandScrollY = c.scrollY_;
            s->BandShown = true;
            R::UpdateOverlay(c);
            c.Fire(c.OnRubberBand, &c);
        }
    }
}

// ---- Region ----------------------------------------------------------------------------------

int TToolkitImage::FreeRgn()
{
    BusyCheck();
    if (!HasBitmap)
        TToolkitImageRegions::Raise(*this, TK_ErrBitmapHandle, QStringLiteral("%1 \nFreeRgn: Image not allocated."));
    const bool had = TK_IsBitmapRgnPresent(&ToolkitBitmap);
    const int r = TK_FreeBitmapRgn(&ToolkitBitmap);
    if (enableFloater_)
        TToolkitImageRegions::FreeFloaterBuffers(*this);
    TToolkitImageRegions::StoreBitmap(*this);
    RegionLeft = RegionTop = RegionWidth = RegionHeight = 0;
    if (had && regionState_ && regionState_->Overlay)
        regionState_->Overlay->update();
    return ResultCheck("FreeRgn", r);
}

QRegion TToolkitImage::GetRgnHandle()
{
    if (!HasBitmap)
        TToolkitImageRegions::Raise(*this, TK_ErrBitmapHandle, QStringLiteral("%1 \nGetRgnHandle: Image not allocated."));
    QRegion region;
    TKRegionTransform identity;
    ResultCheck("GetRgnHandle", TK_GetBitmapRgnHandle(&ToolkitBitmap, &identity, &region));
    return region;
}

bool TToolkitImage::HasRgn()
{
    LastResult = 1;
    return TToolkitImageRegions::HasRegion(*this);
}

void TToolkitImage::SetPolygonPoint(int index, const TPoint& point)
{
    auto& s = RegionState();
    if (index < 0 || index >= int(s.Polygon.size())) {
        LastResult = 0;
        throw ERangeError(QStringLiteral("%1 \nPolygonPoint[]: Index out of range.").arg(MessageName()));
    }
    s.Polygon[size_t(index)] = point;
    LastResult = 1;
}

int TToolkitImage::PolygonSize() const
{
    return regionState_ ? int(regionState_->Polygon.size()) : 0;
}

void TToolkitImage::SetPolygonSize(int count)
{
    auto& s = RegionState();
    s.Polygon.resize(size_t(std::max(0, count)));
    s.PolygonCount = std::min(s.PolygonCount, int(s.Polygon.size()));
    LastResult = 1;
}

// ---- Floater ---------------------------------------------------------------------------------

int TToolkitImage::Floater()
{
    auto& s = RegionState();
    const TRect bounds = TToolkitImageRegions::RegionBounds(*this);
    TK_FreeBitmap(&s.Floater);
    int r = TK_CopyBitmapRect(&ToolkitBitmap, &s.Floater, bounds);
    if (r == TK_Success) {
        QRegion inFloater;
        TKRegionTransform identity;
        TK_GetBitmapRgnHandle(&ToolkitBitmap, &identity, &inFloater);
        s.Floater.Region = std::make_shared<const QRegion>(inFloater.translated(-bounds.Left, -bounds.Top));
        s.FloaterRect = bounds;
    }
    return ResultCheck("Floater", r);
}

const TKBitmap& TToolkitImage::FloaterBitmap() const
{
    static const TKBitmap none;
    return regionState_ ? regionState_->Floater : none;
}

void TToolkitImage::SetFloaterBitmap(const TKBitmap* bitmap)
{
    using R = TToolkitImageRegions;
    ImageCheck("FloaterBitmap", 0);
    auto& s = RegionState();
    autoFloater_ = false;
    if (IsBitmapAllocated(&s.Floater)) {
        TK_FreeBitmap(&s.Floater);
        R::FreeFloaterBuffers(*this);
    }
    if (!bitmap || !IsBitmapAllocated(bitmap))
        return;
    // The shape comes with the bounds from the bitmap given, so that the two always match; a
    // bitmap without a region is a floater of its whole size.
    TRect bounds{};
    TK_GetBitmapRgnBounds(bitmap, &bounds);
    if (bounds.Width() <= 0 || bounds.Height() <= 0)
        bounds = Rect(0, 0, bitmap->Width, bitmap->Height);
    TKBitmap plain = *bitmap;
    plain.Region.reset();
    const int r = TK_CopyBitmapRect(&plain, &s.Floater, bounds);
    if (r == TK_Success) {
        if (bitmap->Region)
            s.Floater.Region = std::make_shared<const QRegion>(bitmap->Region->translated(-bounds.Left, -bounds.Top));
        if (autoSetRects_) {
            FloaterDestRect = Rect(0, 0, bounds.Width(), bounds.Height());
            FloaterDestClip = Rect(0, 0, ClientWidth() - 2 * inset_, ClientHeight() - 2 * inset_);
        }
    }
    LastResult = r;
    R::RebuildFloater(*this);
    if (s.Visible)
        R::UpdateOverlay(*this);
}

uint8_t TToolkitImage::FloaterVisible() const
{
    return regionState_ ? regionState_->Visible : 0;
}

void TToolkitImage::SetFloaterVisible(uint8_t v)
{
    auto& s = RegionState();
    s.Visible = v;
    if (!IsBitmapAllocated(&s.Floater))
        return;
    if (v)
        LastResult = TToolkitImageRegions::RebuildFloater(*this);
    TToolkitImageRegions::UpdateOverlay(*this);
}

// ---- Image operations ------------------------------------------------------------------------

void TToolkitImage::EndProcess(TKBitmap* target)
{
    auto& s = RegionState();
    if (EndStatus())
        s.Aborted = true;
    if (s.Aborted)
        *target = s.Kept;
    TK_FreeBitmap(&s.Kept);
    if (LastResult == 1)
        MarkDataModified();
    if (!autoFloater_ && IsBitmapAllocated(&s.Floater))
        TToolkitImageRegions::RebuildFloater(*this);
    TToolkitImageRegions::StoreBitmap(*this);
    pending_ |= pwPalette;
    busy_ &= uint8_t(~bsProcessing);
    UpdatePanWindow();
    UpdateMagnifier();
    if (autoRepaint_)
        Invalidate();
    if (!s.Aborted)
        Fire(OnChange, this);
}

int TToolkitImage::Rotate(double Angle, uint32_t Flags, uint32_t FillColor)
{
    using R = TToolkitImageRegions;
    BusyCheck();
    if (!HasBitmap)
        return ResultCheck("Rotate", TK_ErrBitmapHandle);
    auto& s = RegionState();
    const bool floater = enableFloater_ && R::HasRegion(*this);
    TKBitmap* target = &ToolkitBitmap;
    if (floater) {
        if (Floater() != TK_Success)
            return LastResult;
        target = &s.Floater;
    }
    R::BeginProcess(*this, target);
    int result = R::Run(*this, target, [&] { return TK_RotateBitmap(target, Angle, Flags, FillColor); });
    LastResult = result;
    if (result == TK_Success) {
        NotifyRotated(Angle);
        ResetView();
    }
    EndProcess(target);
    if (floater && result == TK_Success)
        R::PutRotatedFloaterBack(*this);
    if (result == TK_Success)
        R::UpdateRegionBounds(*this);
    return ResultCheck("Rotate", result);
}

int TToolkitImage::FastRotate(int Angle)
{
    using R = TToolkitImageRegions;
    BusyCheck();
    if (enableFloater_ && R::HasRegion(*this)) {
        LastResult = TK_ErrNotSupported;
        throw EToolkitImageError(QStringLiteral("%1 \nError code: %2\nFastRotate: %3 ")
                                     .arg(MessageName())
                                     .arg(TK_ErrNotSupported)
                                     .arg(ToolkitErrorText(TK_ErrNotSupported)));
    }
    if (!HasBitmap)
        return ResultCheck("FastRotate", TK_ErrBitmapHandle);
    R::BeginProcess(*this, &ToolkitBitmap);
    const int result = R::Run(*this, &ToolkitBitmap, [&] { return TK_RotateBitmapViewPerspective(&ToolkitBitmap, Angle); });
    LastResult = result;
    if (result == TK_Success && !RegionState().Aborted) {
        ResetView();
        NotifyFastRotated(Angle);
    }
    EndProcess(&ToolkitBitmap);
    return ResultCheck("FastRotate", result);
}

// ---- Properties ------------------------------------------------------------------------------

void TToolkitImage::SetEnableFloater(bool v)
{
    if (!autoFloater_ || (regionState_ && regionState_->Dragging)) {
        LastResult = 0;
        return;
    }
    enableFloater_ = v;
    if (!v)
        TToolkitImageRegions::FreeFloaterBuffers(*this);
    LastResult = 1;
}

void TToolkitImage::SetAutoFloater(bool v)
{
    autoFloater_ = v;
    if (v) {
        if (regionState_) {
            TK_FreeBitmap(&regionState_->Floater);
            regionState_->Visible = 0;
        }
        TToolkitImageRegions::FreeFloaterBuffers(*this);
    } else {
        TToolkitImageRegions::FreeFloaterBuffers(*this);
        enableFloater_ = false;
    }
    LastResult = 1;
}
