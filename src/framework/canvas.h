#pragma once

// TCanvas: the framework's drawing surface over QPainter. A canvas draws on one target: the
// pixels of a bitmap (through TCanvasSurface), a raw 32-bit pixel buffer (SetBits, for the
// imaging layer's ARGB bitmaps), any paint device (a widget in its paint event, a printer) or a
// painter that the caller already holds.
//
// Drawing on 32-bit pixels goes through an opaque-RGB view of the same memory: the canvas treats
// every target pixel as opaque colour, so shapes and text mix with the colour bytes only, never
// with a premultiplied form of the alpha channel. Block copies with the copy mode cmSrcCopy copy
// all four bytes of 32-bit pixels unchanged.

#include "framework/graphics.h"

#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QImage;
class QPainter;
class QPaintDevice;
class QRect;
class TGraphic;
class TBitmap;

// What a canvas draws on when it draws into pixels of its own.
class TCanvasSurface {
public:
    virtual ~TCanvasSurface();
    // The image to draw on: a view of the pixels in QImage::Format_RGB32 or Format_BGR888, or a
    // working copy in Format_RGB32 that ReleaseImage writes back. Null when there are no pixels.
    // The image stays valid until ReleaseImage.
    virtual QImage* AcquireImage() = 0;
    // Drawing pauses: a working copy goes back into the pixels and is dropped.
    virtual void ReleaseImage() = 0;
};

// Raster operations of block copies (the ternary operation codes of the original platform).
using TCopyMode = uint32_t;
inline constexpr TCopyMode cmBlackness = 0x00000042;
inline constexpr TCopyMode cmDstInvert = 0x00550009;
inline constexpr TCopyMode cmMergeCopy = 0x00C000CA;
inline constexpr TCopyMode cmMergePaint = 0x00BB0226;
inline constexpr TCopyMode cmNotSrcCopy = 0x00330008;
inline constexpr TCopyMode cmNotSrcErase = 0x001100A6;
inline constexpr TCopyMode cmPatCopy = 0x00F00021;
inline constexpr TCopyMode cmPatInvert = 0x005A0049;
inline constexpr TCopyMode cmPatPaint = 0x00FB0A09;
inline constexpr TCopyMode cmSrcAnd = 0x008800C6;
inline constexpr TCopyMode cmSrcCopy = 0x00CC0020;
inline constexpr TCopyMode cmSrcErase = 0x00440328;
inline constexpr TCopyMode cmSrcInvert = 0x00660046;
inline constexpr TCopyMode cmSrcPaint = 0x00EE0086;
inline constexpr TCopyMode cmWhiteness = 0x00FF0062;

class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // ---- Target ------------------------------------------------------------------------------
    void SetSurface(TCanvasSurface* surface);
    // A top-down buffer of 32-bit pixels (blue, green, red, alpha in memory); null detaches.
    void SetBits(void* bits, int width, int height, int bytesPerLine);
    // Draws on a paint device with a painter of the canvas's own, from the next drawing call
    // until the target changes; null detaches.
    void SetPaintDevice(QPaintDevice* device);
    // Draws with a painter the caller holds (and keeps active); null detaches.
    void SetPainter(QPainter* painter);

    // The painter for code that draws on the canvas's device directly; null when the canvas has
    // no target. The pen, brush and font of the canvas are not selected into it.
    QPainter* Handle();
    bool HandleAllocated() const;
    // Ends the canvas's own painter and lets a surface write back a working copy. Bitmaps call it
    // before they touch their pixels directly.
    void FinishDrawing();

    // ---- Tools ---------------------------------------------------------------------------------
    TPen* Pen() { return &pen_; }
    TBrush* Brush() { return &brush_; }
    TFont* Font() { return &font_; }
    TCopyMode CopyMode() const { return copyMode_; }
    void SetCopyMode(TCopyMode value) { copyMode_ = value; }
    TPoint PenPos() const { return penPos_; }
    void SetPenPos(const TPoint& p) { penPos_ = p; }
    // The drawable area: the target's bounds, or an empty rectangle without a target.
    TRect ClipRect();

    // ---- Drawing ---------------------------------------------------------------------------------
    void MoveTo(int x, int y);
    // A line from the pen position to (x, y), without its last pixel; the pen moves to (x, y).
    void LineTo(int x, int y);
    void Polyline(const std::vector<TPoint>& points);
    void Polygon(const std::vector<TPoint>& points);
    // Outline with the pen and interior with the brush; right and bottom are exclusive.
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    // Fills with the brush, no outline.
    void FillRect(const TRect& r);
    // A one-pixel frame in the brush colour.
    void FrameRect(const TRect& r);
    void DrawFocusRect(const TRect& r);

    // Text with its top-left cell corner at (x, y); the background is filled with the brush
    // unless the brush is bsClear. The pen position moves to the end of the text.
    void TextOut(int x, int y, const QString& text);
    // Like TextOut, clipped to r (whose background is filled first unless the brush is clear).
    void TextRect(const TRect& r, int x, int y, const QString& text);
    int TextWidth(const QString& text);
    int TextHeight(const QString& text);
    TSize TextExtent(const QString& text);

    // Graphics draw themselves (a transparent bitmap leaves its transparent colour out).
    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& r, TGraphic* graphic);
    // Copies a rectangle of another canvas (scaled to dest) with CopyMode.
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);
    // Copies a bitmap rectangle, replacing the pixels of colour by the brush.
    void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& sourceRect, TColor color);

    // The colour of a pixel (clNone outside the target or without readable pixels).
    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    // ---- Blocks of pixels (for graphics drawing themselves) -------------------------------------
    // Copies sourceRect of the image (32-bit or 24-bit pixels) scaled into dest with rop. With a
    // key colour (not clNone) source pixels of that colour are left out.
    void BlitImage(const TRect& dest, const QImage& image, const TRect& sourceRect, TCopyMode rop,
                   TColor keyColor = clNone);
    // Draws a non-premultiplied ARGB32 image scaled into dest, blended by its alpha.
    void BlendImage(const TRect& dest, const QImage& argb, const TRect& sourceRect);
    // The canvas's pixels when it draws into pixels of its own (surface or buffer), else null.
    QImage* SurfaceImage();

    // ---- Locking and notification ------------------------------------------------------------
    // Serialises drawing between threads: a canvas drawn from another thread is locked first.
    void Lock();
    void Unlock();
    bool TryLock();
    int LockCount() const { return lockCount_; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // Called around every drawing operation.
    void Changing();
    void Changed();

private:
    QPainter* Painter();
    void PreparePen(QPainter* p);
    void PrepareBrush(QPainter* p);
    void ApplyPenMode(QPainter* p);
    void DropTarget();
    void LinePoints(TPoint from, TPoint to, std::vector<TPoint>& out) const;
    void FillTextBackground(QPainter* p, const QRect& r);

    TPen pen_;
    TBrush brush_;
    TFont font_;
    TCopyMode copyMode_ = cmSrcCopy;
    TPoint penPos_;

    TCanvasSurface* surface_ = nullptr;
    QImage* surfaceImage_ = nullptr;
    std::unique_ptr<QImage> bitsImage_;
    QPaintDevice* device_ = nullptr;
    QPainter* externalPainter_ = nullptr;
    std::unique_ptr<QPainter> ownPainter_;

    std::recursive_mutex lock_;
    int lockCount_ = 0;
};
