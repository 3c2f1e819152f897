#include "imaging/bitmap/bitmap32.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/clipboard.h"
#include "framework/exceptions.h"
#include "framework/graphics.h"
#include "framework/picture.h"
#include "framework/streams.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <typeinfo>

namespace {

// Guards the lock counters of every TThreadPersistent.
std::mutex& ProcessLock()
{
    static std::mutex lock;
    return lock;
}

const char* const AllocateError = "Can't allocate the DIB handle";
const char* const UnpairedEndUpdate = "Unpaired TThreadPersistent.EndUpdate";

// A section larger than this is refused like one the system cannot create (2 GB of pixels).
constexpr int64_t MaxPixelBytes = std::numeric_limits<int32_t>::max();

std::atomic<uintptr_t> nextDibHandle{1};

// Runs a step when the scope ends, also by an exception.
template <typename F> struct Finally {
    F f;
    ~Finally() { f(); }
};
template <typename F> Finally(F) -> Finally<F>;

} // namespace

// ---- TThreadPersistent -----------------------------------------------------------------------

TThreadPersistent::TThreadPersistent() = default;
TThreadPersistent::~TThreadPersistent() = default;

void TThreadPersistent::Changed()
{
    if (updateCount_ == 0 && OnChange)
        OnChange(this);
}

void TThreadPersistent::BeginUpdate()
{
    ++updateCount_;
}

void TThreadPersistent::EndUpdate()
{
    if (updateCount_ <= 0)
        RaiseAssertion(QString::fromLatin1(UnpairedEndUpdate));
    --updateCount_;
}

void TThreadPersistent::EnterLock()
{
    {
        std::lock_guard<std::mutex> g(ProcessLock());
        ++lockCount_;
    }
    lock_.lock();
}

void TThreadPersistent::LeaveLock()
{
    lock_.unlock();
    std::lock_guard<std::mutex> g(ProcessLock());
    --lockCount_;
}

int TThreadPersistent::LockCount() const
{
    std::lock_guard<std::mutex> g(ProcessLock());
    return lockCount_;
}

// ---- TCustomMap ------------------------------------------------------------------------------

bool TCustomMap::SetSize(int newWidth, int newHeight)
{
    if (newWidth < 0)
        newWidth = 0;
    if (newHeight < 0)
        newHeight = 0;
    if (newWidth == width_ && newHeight == height_)
        return false;
    AllocateSize(width_, height_, newWidth, newHeight);
    Changed();
    NotifyResized();
    return true;
}

void TCustomMap::MakeEmpty()
{
    SetSize(0, 0);
}

bool TCustomMap::IsEmpty() const
{
    return width_ == 0 || height_ == 0;
}

void TCustomMap::AllocateSize(int& width, int& height, int newWidth, int newHeight)
{
    width = newWidth;
    height = newHeight;
}

void TCustomMap::NotifyResized()
{
    if (OnResize)
        OnResize(this);
}

// ---- TBitmap32: life and size ----------------------------------------------------------------

TBitmap32::TBitmap32() = default;

TBitmap32::~TBitmap32()
{
    BeginUpdate();
    EnterLock();
    // The pixels go without the resize and handle events: listeners may already be half gone.
    if (canvas_) {
        canvas_->SetBits(nullptr, 0, 0, 0);
        canvas_.reset();
    }
    ReleasePixels();
    font_.reset();
    width_ = height_ = 0;
    LeaveLock();
}

void TBitmap32::ReleasePixels()
{
    std::free(bits_);
    bits_ = nullptr;
    dibHandle_ = 0;
}

void TBitmap32::AllocateSize(int& width, int& height, int newWidth, int newHeight)
{
    Finally notify{[this] { NotifyHandleChanged(); }};
    // The canvas lets go of the old pixels before they are freed.
    if (canvas_)
        canvas_->SetBits(nullptr, 0, 0, 0);
    ReleasePixels();
    width = height = 0;
    if (newWidth > 0 && newHeight > 0) {
        const int64_t pixels = int64_t(newWidth) * newHeight;
        // calloc hands out zeroed pages: a new section is transparent black.
        void* p = pixels <= MaxPixelBytes / int64_t(sizeof(TColor32))
                      ? std::calloc(size_t(pixels), sizeof(TColor32))
                      : nullptr;
        if (!p)
            throw EOutOfResources(QString::fromLatin1(AllocateError));
        bits_ = static_cast<TColor32*>(p);
        dibHandle_ = nextDibHandle.fetch_add(1);
    }
    // Stored also when nothing was created, so an empty bitmap can report a width alone.
    width = newWidth;
    height = newHeight;
}

void TBitmap32::NotifyHandleChanged()
{
    if (canvas_ && !IsEmpty())
        canvas_->SetBits(bits_, width_, height_, width_ * int(sizeof(TColor32)));
    if (OnHandleChanged)
        OnHandleChanged(this);
}

bool TBitmap32::IsEmpty() const
{
    return bits_ == nullptr || TCustomMap::IsEmpty();
}

// ---- settings --------------------------------------------------------------------------------

void TBitmap32::SetDrawMode(TDrawMode value)
{
    if (drawMode_ != value) {
        drawMode_ = value;
        Changed();
    }
}

void TBitmap32::SetMasterAlpha(uint32_t value)
{
    if (masterAlpha_ != value) {
        masterAlpha_ = value;
        Changed();
    }
}

void TBitmap32::SetStretchFilter(TStretchFilter value)
{
    if (stretchFilter_ != value) {
        stretchFilter_ = value;
        Changed();
    }
}

// ---- copying ---------------------------------------------------------------------------------

void TBitmap32::Assign(TPersistent* source)
{
    BeginUpdate();
    Finally done{[this] {
        EndUpdate();
        Changed();
    }};
    if (!source) {
        SetSize(0, 0);
        return;
    }
    if (auto src = dynamic_cast<TBitmap32*>(source)) {
        SetSize(src->Width(), src->Height());
        if (!IsEmpty()) {
            MoveColors(src->Bits(), bits_, width_ * height_);
            drawMode_ = src->drawMode_;
            masterAlpha_ = src->masterAlpha_;
            outerColor_ = src->outerColor_;
            stretchFilter_ = src->stretchFilter_;
        }
        return;
    }
    if (auto bitmap = dynamic_cast<TBitmap*>(source)) {
        AssignFromFrameworkBitmap(bitmap);
        return;
    }
    if (auto graphic = dynamic_cast<TGraphic*>(source)) {
        AssignFromGraphic(graphic);
        return;
    }
    if (auto picture = dynamic_cast<TPicture*>(source)) {
        if (auto bitmap = dynamic_cast<TBitmap*>(picture->Graphic()))
            AssignFromFrameworkBitmap(bitmap);
        else
            AssignFromGraphic(picture->Graphic());
        return;
    }
    if (auto clipboard = dynamic_cast<TClipboard*>(source)) {
        TPicture picture;
        picture.Assign(clipboard);
        AssignFromGraphic(picture.Graphic());
        return;
    }
    TThreadPersistent::Assign(source);
}

void TBitmap32::AssignFromFrameworkBitmap(TBitmap* bitmap)
{
    SetSize(bitmap->Width(), bitmap->Height());
    if (IsEmpty())
        return;
    // ToImage gives the stored alpha of a 32-bit bitmap and opaque pixels for the others.
    QImage image = bitmap->ToImage();
    if (image.format() != QImage::Format_ARGB32 && image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < height_; ++y)
        MoveColors(reinterpret_cast<const TColor32*>(image.constScanLine(y)), RowAddress(y), width_);
    if (bitmap->PixelFormat() != pf32bit)
        MakeOpaque();
}

void TBitmap32::AssignFromGraphic(TGraphic* graphic)
{
    // A picture without a graphic holds nothing to draw.
    if (!graphic) {
        SetSize(0, 0);
        return;
    }
    SetSize(graphic->Width(), graphic->Height());
    if (IsEmpty())
        return;
    {
        TCanvas canvas;
        canvas.SetBits(bits_, width_, height_, width_ * int(sizeof(TColor32)));
        graphic->Draw(&canvas, GetBounds());
        canvas.FinishDrawing();
    }
    MakeOpaque();
}

void TBitmap32::AssignTo(TPersistent* dest)
{
    if (auto picture = dynamic_cast<TPicture*>(dest)) {
        CopyToFrameworkBitmap(picture->Bitmap());
        return;
    }
    if (auto bitmap = dynamic_cast<TBitmap*>(dest)) {
        CopyToFrameworkBitmap(bitmap);
        return;
    }
    if (auto clipboard = dynamic_cast<TClipboard*>(dest)) {
        TBitmap bitmap;
        CopyToFrameworkBitmap(&bitmap);
        clipboard->Assign(&bitmap);
        return;
    }
    TThreadPersistent::AssignTo(dest);
}

void TBitmap32::CopyToFrameworkBitmap(TBitmap* bitmap)
{
    bitmap->SetPixelFormat(pf32bit);
    bitmap->SetHandleType(bmDIB);
    bitmap->SetSize(width_, height_);
    if (IsEmpty())
        return;
    // A source copy onto a 32-bit canvas moves all four bytes of every pixel.
    const QImage view(reinterpret_cast<const uchar*>(bits_), width_, height_,
                      width_ * int(sizeof(TColor32)), QImage::Format_ARGB32);
    bitmap->Canvas()->BlitImage(GetBounds(), view, GetBounds(), cmSrcCopy);
}

void TBitmap32::PaintToDC(QPainter* dc, int x, int y)
{
    if (IsEmpty() || !dc || !dc->isActive())
        return;
    QPaintDevice* device = dc->device();
    const QTransform t = dc->deviceTransform();
    if (device && device->devType() == QInternal::Image && t.type() <= QTransform::TxTranslate &&
        !dc->hasClipping()) {
        auto* image = static_cast<QImage*>(device);
        if (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32) {
            // Straight into the pixels: QPainter would premultiply and round low-alpha colours.
            const int dx = x + qRound(t.dx()), dy = y + qRound(t.dy());
            TRect r;
            IntersectRects(r, Bounds(dx, dy, width_, height_), MakeRect(0, 0, image->width(), image->height()));
            for (int row = r.Top; row < r.Bottom; ++row)
                MoveColors(PixelAddress(r.Left - dx, row - dy),
                           reinterpret_cast<TColor32*>(image->scanLine(row)) + r.Left, r.Right - r.Left);
            return;
        }
    }
    // Screens, printers and other devices take the colour bytes as opaque pixels. Qt trusts the
    // alpha byte of RGB32 images to be 255, so the copy says so.
    QImage opaque(width_, height_, QImage::Format_RGB32);
    for (int row = 0; row < height_; ++row) {
        const TColor32* s = RowAddress(row);
        auto* d = reinterpret_cast<TColor32*>(opaque.scanLine(row));
        for (int i = 0; i < width_; ++i)
            d[i] = s[i] | 0xFF000000u;
    }
    dc->save();
    dc->setCompositionMode(QPainter::CompositionMode_Source);
    dc->drawImage(x, y, opaque);
    dc->restore();
}

TCanvas* TBitmap32::GetCanvas()
{
    if (!canvas_) {
        canvas_ = std::make_unique<TCanvas>();
        canvas_->OnChange = [this](TObject*) { Changed(); };
        if (!IsEmpty())
            canvas_->SetBits(bits_, width_, height_, width_ * int(sizeof(TColor32)));
    }
    return canvas_.get();
}

QPainter* TBitmap32::DC()
{
    return IsEmpty() ? nullptr : GetCanvas()->Handle();
}

TFont* TBitmap32::Font()
{
    if (!font_)
        font_ = std::make_unique<TFont>();
    return font_.get();
}

// ---- fills -----------------------------------------------------------------------------------

void TBitmap32::Clear(TColor32 color)
{
    if (IsEmpty())
        return;
    FillColors(bits_, width_ * height_, color);
    Changed();
}

void TBitmap32::MakeOpaque()
{
    if (!IsEmpty()) {
        TColor32* p = bits_;
        for (int i = 0, n = width_ * height_; i < n; ++i)
            p[i] |= 0xFF000000u;
    }
    Changed();
}

void TBitmap32::FillRectPlain(int x1, int y1, int x2, int y2, TColor32 color)
{
    if (x2 > x1)
        for (int y = y1; y < y2; ++y)
            FillColors(PixelAddress(x1, y), x2 - x1, color);
    Changed();
}

void TBitmap32::FillRectPlainSafe(int x1, int y1, int x2, int y2, TColor32 color)
{
    if (x1 >= x2 || y1 >= y2 || x1 >= width_ || y1 >= height_ || x2 <= 0 || y2 <= 0)
        return;
    FillRectPlain(std::max(x1, 0), std::max(y1, 0), std::min(x2, width_), std::min(y2, height_), color);
}

void TBitmap32::FillRectBlend(int x1, int y1, int x2, int y2, TColor32 color)
{
    const uint32_t a = color >> 24;
    if (a == 255) {
        FillRectPlain(x1, y1, x2, y2, color);
        return;
    }
    Finally end{[] { EndBlending(); }};
    if (x2 > x1)
        for (int y = y1; y < y2; ++y)
            MixSpan(color, PixelAddress(x1, y), x2 - x1, a);
    Changed();
}

void TBitmap32::FillRectBlendSafe(int x1, int y1, int x2, int y2, TColor32 color)
{
    if (x1 >= x2 || y1 >= y2 || x1 >= width_ || y1 >= height_ || x2 <= 0 || y2 <= 0)
        return;
    FillRectBlend(std::max(x1, 0), std::max(y1, 0), std::min(x2, width_), std::min(y2, height_), color);
}

// ---- blended pixels and lines ----------------------------------------------------------------

void TBitmap32::BlendPixelSafe(int x, int y, TColor32 color)
{
    if (x >= 0 && x < width_ && y >= 0 && y < height_)
        BlendPixel(x, y, color);
}

void TBitmap32::HorzLineBlend(int x1, int y, int x2, TColor32 color)
{
    if (x2 < x1)
        return;
    // Blending one colour over a run is mixing it in with its own alpha as the weight, with the
    // same shortcuts at 0 and 255.
    MixSpan(color, PixelAddress(x1, y), x2 - x1 + 1, color >> 24);
    EndBlending();
}

void TBitmap32::HorzLineBlendSafe(int x1, int y, int x2, TColor32 color)
{
    if (y >= 0 && y < height_ && ClipSpan(x1, x2, width_))
        HorzLineBlend(x1, y, x2, color);
}

void TBitmap32::VertLineBlend(int x, int y1, int y2, TColor32 color)
{
    if (y2 < y1)
        return;
    TColor32* p = PixelAddress(x, y1);
    for (int y = y1; y <= y2; ++y, p += width_)
        BlendInto(color, *p);
    EndBlending();
}

void TBitmap32::VertLineBlendSafe(int x, int y1, int y2, TColor32 color)
{
    if (x >= 0 && x < width_ && ClipSpan(y1, y2, height_))
        VertLineBlend(x, y1, y2, color);
}

void TBitmap32::DrawBevel(int x1, int y1, int x2, int y2, int contrast)
{
    if (x1 >= x2 || y1 >= y2 || x1 >= width_ || y1 >= height_ || x2 <= 0 || y2 <= 0)
        return;
    Finally changed{[this] { Changed(); }};
    if (contrast == 0)
        return;
    TColor32 light, dark;
    if (contrast > 0) {
        light = WithAlpha(0x00FFFFFF, ClampByte(contrast * 512 / 100));
        dark = WithAlpha(0x00000000, ClampByte(contrast * 255 / 100));
    } else {
        light = WithAlpha(0x00000000, ClampByte(-contrast * 255 / 100));
        dark = WithAlpha(0x00FFFFFF, ClampByte(-contrast * 512 / 100));
    }
    HorzLineBlendSafe(x1, y1, x2 - 1, light);
    HorzLineBlendSafe(x1, y2 - 1, x2 - 1, dark);
    VertLineBlendSafe(x1, y1 + 1, y2 - 2, light);
    VertLineBlendSafe(x2 - 1, y1 + 1, y2 - 2, dark);
}

// ---- transfers -------------------------------------------------------------------------------

void TBitmap32::DrawBitmap(int x, int y, TBitmap32* source)
{
    if (source)
        source->DrawOnto(this, x, y);
}

void TBitmap32::DrawOnto(TBitmap32* target, int x, int y)
{
    if (IsEmpty() || !target || target->IsEmpty())
        return;
    TransferBlock(target, x, y, target->GetBounds(), this, GetBounds(), drawMode_, OnPixelCombine);
    target->Changed();
}

void TransferBlock(TBitmap32* dst, int x, int y, const TRect& dstClip, TBitmap32* src,
                   const TRect& srcRect, TDrawMode mode, const TPixelCombineEvent& combine)
{
    Finally end{[] { EndBlending(); }};
    if (mode == dmCustom && !combine)
        mode = dmOpaque;
    if (mode == dmBlend && src->MasterAlpha() == 0)
        return;
    const int sx = srcRect.Left;
    const int sy = srcRect.Top;
    TRect clip, rect;
    IntersectRects(clip, dstClip, dst->GetBounds());
    IntersectRects(rect, srcRect, src->GetBounds());
    OffsetRectBy(rect, x - sx, y - sy);
    IntersectRects(rect, rect, clip);
    if (IsEmptyRect(rect))
        return;
    TransferRows(dst, rect, src, rect.Left + sx - x, rect.Top + sy - y, mode, combine);
}

void TransferRows(TBitmap32* dst, const TRect& dstRect, TBitmap32* src, int srcX, int srcY,
                  TDrawMode mode, const TPixelCombineEvent& combine)
{
    const int count = dstRect.Right - dstRect.Left;
    const uint32_t master = src->MasterAlpha();
    for (int y = dstRect.Top, sy = srcY; y < dstRect.Bottom; ++y, ++sy) {
        const TColor32* s = src->PixelAddress(srcX, sy);
        TColor32* d = dst->PixelAddress(dstRect.Left, y);
        switch (mode) {
        case dmOpaque:
            MoveColors(s, d, count);
            break;
        case dmBlend:
            if (master >= 255)
                BlendSpan(s, d, count);
            else
                BlendSpanMaster(s, d, count, master);
            break;
        case dmCustom:
            for (int i = 0; i < count; ++i)
                combine(s[i], d[i], master);
            break;
        }
    }
}

// ---- the "Data" stream -----------------------------------------------------------------------

void TBitmap32::ReadPixelData(TStream* stream)
{
    Finally changed{[this] { Changed(); }};
    const int32_t w = int32_t(stream->ReadDWord());
    const int32_t h = int32_t(stream->ReadDWord());
    // Size the bitmap only for pixels the stream really holds: a damaged header must not
    // allocate gigabytes before the read fails.
    const int64_t pixels = w > 0 && h > 0 ? int64_t(w) * h : 0;
    if (pixels > (stream->Size() - stream->Position()) / int64_t(sizeof(TColor32)))
        throw EReadError(QString::fromLatin1(FrameworkText::ReadError));
    SetSize(w, h);
    if (!IsEmpty())
        stream->ReadBuffer(bits_, pixels * int64_t(sizeof(TColor32)));
}

void TBitmap32::WritePixelData(TStream* stream)
{
    stream->WriteDWord(uint32_t(width_));
    stream->WriteDWord(uint32_t(height_));
    if (!IsEmpty())
        stream->WriteBuffer(bits_, int64_t(width_) * height_ * int64_t(sizeof(TColor32)));
}

bool TBitmap32::HasPixelData(TPersistent* ancestor)
{
    if (ancestor) {
        auto a = dynamic_cast<TBitmap32*>(ancestor);
        return !a || !SameAs(a);
    }
    return !IsEmpty();
}

bool TBitmap32::SameAs(TBitmap32* other)
{
    const bool empty = IsEmpty();
    const bool otherEmpty = !other || other->IsEmpty();
    if (empty || otherEmpty)
        return empty && otherEmpty;
    if (typeid(*this) != typeid(*other))
        return false;
    // Two 32-bit framework bitmaps serialise to the same bytes exactly when their sizes and
    // pixels (alpha included) agree, so the pixels are compared directly.
    return width_ == other->width_ && height_ == other->height_ &&
           std::memcmp(bits_, other->bits_, size_t(width_) * size_t(height_) * sizeof(TColor32)) == 0;
}
