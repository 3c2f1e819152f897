#pragma once

// The editor's pixel store: a 32-bit ARGB bitmap (non-premultiplied 0xAARRGGBB, rows top to
// bottom, no padding) with an update counter, change events, fills, blended pixels and lines,
// bevels, transfers onto other bitmaps and its "Data" stream.

#include "framework/object.h"
#include "framework/types.h"
#include "imaging/bitmap/color32.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class QPainter;
class TBitmap;
class TCanvas;
class TFont;
class TGraphic;
class TStream;
class TBitmap32;

enum TDrawMode { dmOpaque = 0, dmBlend = 1, dmCustom = 2 };
enum TStretchFilter { sfNearest = 0, sfLinear = 1, sfSpline = 2, sfLanczos = 3, sfMitchell = 4 };

// Per-pixel combine of dmCustom: F the source pixel, B the target pixel, M the source's
// MasterAlpha.
using TPixelCombineEvent = std::function<void(TColor32 F, TColor32& B, TColor32 M)>;

// A persistent object with an update counter, a change event and a lock that painting threads
// hold while they read it.
class TThreadPersistent : public TPersistent {
public:
    TThreadPersistent();
    ~TThreadPersistent() override;

    // Fires OnChange unless an update is in progress.
    virtual void Changed();
    void BeginUpdate();
    // Lowers the counter only; raises EAssertionFailed "Unpaired TThreadPersistent.EndUpdate"
    // when no update is in progress.
    void EndUpdate();
    void EnterLock();
    void LeaveLock();

    int LockCount() const;
    int UpdateCount() const { return updateCount_; }

    TNotifyEvent OnChange;

private:
    std::recursive_mutex lock_;
    int lockCount_ = 0;
    int updateCount_ = 0;
};

// A width and a height with a resize event.
class TCustomMap : public TThreadPersistent {
public:
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Negative values count as 0. Returns false and does nothing when the size is unchanged.
    virtual bool SetSize(int newWidth, int newHeight);
    virtual void MakeEmpty();
    virtual bool IsEmpty() const;

    TNotifyEvent OnResize;

protected:
    virtual void AllocateSize(int& width, int& height, int newWidth, int newHeight);
    virtual void NotifyResized();

    int width_ = 0;
    int height_ = 0;
};

class TBitmap32 : public TCustomMap {
public:
    TBitmap32();
    ~TBitmap32() override;

    // From nothing (empties), another TBitmap32 (pixels, alpha and drawing settings), a framework
    // bitmap (its alpha when it has 32 bits per pixel, else opaque), any other graphic, a picture
    // or the clipboard (drawn, then made opaque).
    void Assign(TPersistent* source) override;
    bool IsEmpty() const override;

    // ---- pixel access (no bounds checks) ----
    TColor32* Bits() const { return bits_; }
    TColor32* RowAddress(int y) const { return bits_ + ptrdiff_t(y) * width_; }
    TColor32* PixelAddress(int x, int y) const { return bits_ + ptrdiff_t(y) * width_ + x; }
    TRect GetBounds() const { return {0, 0, width_, height_}; }
    // Identifies the current pixel section; 0 while empty, new on every reallocation.
    uintptr_t DIBHandle() const { return dibHandle_; }

    // ---- published settings (setters signal a change only when the value differs) ----
    TDrawMode DrawMode() const { return drawMode_; }
    void SetDrawMode(TDrawMode value);
    uint32_t MasterAlpha() const { return masterAlpha_; }
    void SetMasterAlpha(uint32_t value);
    TColor32 OuterColor() const { return outerColor_; }
    void SetOuterColor(TColor32 value) { outerColor_ = value; }
    TStretchFilter StretchFilter() const { return stretchFilter_; }
    void SetStretchFilter(TStretchFilter value);

    TColor32 PenColor() const { return penColor_; }
    void SetPenColor(TColor32 value) { penColor_ = value; }
    TFixed16 PenX() const { return penX_; }
    TFixed16 PenY() const { return penY_; }

    TNotifyEvent OnHandleChanged;
    TPixelCombineEvent OnPixelCombine;

    // ---- drawing through the framework (an opaque-RGB view of the same pixels) ----
    // Created on first use and kept across reallocations; its changes signal this bitmap's.
    TCanvas* GetCanvas();
    // The device context the system's drawing functions draw with (the canvas's painter); null
    // while the bitmap is empty.
    QPainter* DC();
    // Owned with the bitmap; nothing here draws text with it.
    TFont* Font();

    // Copies every pixel 1:1 to the device context at (x, y), without blending by alpha. Onto
    // 32-bit images (another bitmap's DC) all four bytes arrive unchanged.
    void PaintToDC(QPainter* dc, int x, int y);
    // Makes the framework bitmap a 32-bit one of this size with these pixels, alpha included.
    void CopyToFrameworkBitmap(TBitmap* bitmap);
    void AssignFromFrameworkBitmap(TBitmap* bitmap);

    // ---- fills (x2, y2 exclusive) ----
    void Clear(TColor32 color = 0xFF000000);
    void MakeOpaque();
    void FillRectPlain(int x1, int y1, int x2, int y2, TColor32 color);
    void FillRectPlainSafe(int x1, int y1, int x2, int y2, TColor32 color);
    void FillRectBlend(int x1, int y1, int x2, int y2, TColor32 color);
    void FillRectBlendSafe(int x1, int y1, int x2, int y2, TColor32 color);

    // ---- blended pixels and lines (the colour's alpha weighs; no change signal) ----
    void BlendPixel(int x, int y, TColor32 color)
    {
        BlendInto(color, *PixelAddress(x, y));
        EndBlending();
    }
    void BlendPixelSafe(int x, int y, TColor32 color);
    void HorzLineBlend(int x1, int y, int x2, TColor32 color);
    void HorzLineBlendSafe(int x1, int y, int x2, TColor32 color);
    void VertLineBlend(int x, int y1, int y2, TColor32 color);
    void VertLineBlendSafe(int x, int y1, int y2, TColor32 color);
    // One-pixel frame inside the rectangle; contrast > 0 raised, < 0 sunken (percent).
    void DrawBevel(int x1, int y1, int x2, int y2, int contrast);

    // ---- drawing onto other bitmaps (this bitmap's DrawMode, MasterAlpha and combine event) --
    void DrawBitmap(int x, int y, TBitmap32* source);
    void DrawOnto(TBitmap32* target, int x, int y);
    // The whole bitmap scaled into dstRect of target (clipped to it) by StretchFilter; nothing
    // when either bitmap is empty.
    void StretchOnto(TBitmap32* target, const TRect& dstRect);

    // ---- anti-aliased pen lines (pixel (i, j) is covered exactly by the point (i, j)) ----
    void MovePenTo(float x, float y);
    // From the pen position to (x, y) in PenColor, without the end point; the pen moves there.
    void SmoothLineTo(float x, float y);
    void SmoothLineToFixed(TFixed16 x, TFixed16 y);
    // Clipped to the bitmap (one pixel of margin left and top); a cut end point is drawn.
    void SmoothLineFixedClipped(TFixed16 x1, TFixed16 y1, TFixed16 x2, TFixed16 y2, TColor32 color,
                                bool withLastPoint);
    // Unclipped: for lines that stay more than a pixel clear of every edge.
    void SmoothLineFixed(TFixed16 x1, TFixed16 y1, TFixed16 x2, TFixed16 y2, TColor32 color,
                         bool withLastPoint);
    // One point in 24.8 fixed point spread over its 2 x 2 pixels with gamma weights.
    void PlotSubpixel(int x, int y, TColor32 color);
    void PlotSubpixelSafe(int x, int y, TColor32 color);

    // ---- the "Data" stream: Width, Height (int32 little-endian), then the pixels ----
    virtual void ReadPixelData(TStream* stream);
    virtual void WritePixelData(TStream* stream);
    // Whether "Data" is written: against an ancestor when it differs, else when not empty.
    bool HasPixelData(TPersistent* ancestor);
    bool SameAs(TBitmap32* other);

protected:
    // To a framework picture or bitmap (32 bits, alpha kept) and to the clipboard.
    void AssignTo(TPersistent* dest) override;
    void AllocateSize(int& width, int& height, int newWidth, int newHeight) override;
    virtual void NotifyHandleChanged();

private:
    void ReleasePixels();
    void AssignFromGraphic(TGraphic* graphic);

    std::unique_ptr<TCanvas> canvas_;
    std::unique_ptr<TFont> font_;

    TColor32* bits_ = nullptr;
    uintptr_t dibHandle_ = 0;
    TDrawMode drawMode_ = dmOpaque;
    uint32_t masterAlpha_ = 255;
    TColor32 outerColor_ = 0;
    TColor32 penColor_ = 0xFFFFFFFF;
    TStretchFilter stretchFilter_ = sfNearest;

protected:
    TFixed16 penX_ = 0;
    TFixed16 penY_ = 0;
};

// Draws srcRect of src at (x, y) of dst, clipped to dstClip and both bitmaps, with the given draw
// mode. Both bitmaps must be non-empty.
void TransferBlock(TBitmap32* dst, int x, int y, const TRect& dstClip, TBitmap32* src,
                   const TRect& srcRect, TDrawMode mode, const TPixelCombineEvent& combine);
// Lands the rows of dstRect (already clipped) from src starting at (srcX, srcY) by the draw mode;
// dmBlend and dmCustom use src's MasterAlpha.
void TransferRows(TBitmap32* dst, const TRect& dstRect, TBitmap32* src, int srcX, int srcY,
                  TDrawMode mode, const TPixelCombineEvent& combine);
// Cuts the line to the rectangle (bounds inclusive). False when nothing of it is inside.
bool ClipLineToRect(int& x1, int& y1, int& x2, int& y2, int minX, int minY, int maxX, int maxY);
