#include "imaging/gif/gif_animator.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/definition_reader.h"
#include "framework/streams.h"
#include "imaging/gif/gif_image.h"
#include "imaging/gif/graphic_utils.h"
#include "imaging/gif/graphic_utils_controls.h"
#include "imaging/gif/rx_timer.h"

#include <QPointer>
#include <algorithm>

namespace {

inline constexpr unsigned MinFrameDelay = 50;
inline constexpr unsigned MaxFrameDelay = 10000;

// Disposal methods of GIF 89a.
inline constexpr int DisposeBackground = 2;
inline constexpr int DisposePrevious = 3;

TRect FrameRect(TGIFFrame* frame)
{
    return Bounds(frame->Origin().X, frame->Origin().Y, frame->GetWidth(), frame->GetHeight());
}

} // namespace

TRxGIFAnimator::TRxGIFAnimator(QWidget* parent) : TRxImageControl(parent), image_(std::make_unique<TGIFImage>())
{
    image_->OnChange = [this](TObject*) {
        if (!updatingImage_)
            ImageUpdated();
    };
    SetAutoSize(true);
}

TRxGIFAnimator::~TRxGIFAnimator()
{
    OnChange = nullptr;
    BeginDestroy();
    animate_ = false;
    image_->OnChange = nullptr;
    DropCache();
}

// ---- Properties --------------------------------------------------------------------------------

void TRxGIFAnimator::SetImage(TGIFImage* value)
{
    {
        std::lock_guard lock(drawLock_);
        updatingImage_ = true;
        try {
            image_->Assign(value);
        } catch (...) {
            updatingImage_ = false;
            throw;
        }
        updatingImage_ = false;
    }
    ImageUpdated();
}

void TRxGIFAnimator::ImageUpdated()
{
    if (Destroying())
        return;
    {
        std::lock_guard lock(drawLock_);
        DropCache();
        frameIndex_ = image_->FrameIndex;
    }
    if (frameIndex_ >= 0 && image_->GetCount() > 0 && Timer())
        Timer()->SetInterval(FrameDelay());
    ContentChanged();
    Fire(OnChange, this);
}

void TRxGIFAnimator::DropCache()
{
    cache_.reset();
    cacheIndex_ = -1;
    cacheColor_ = clNone;
}

void TRxGIFAnimator::SetFrameIndex(int value)
{
    {
        std::lock_guard lock(drawLock_);
        if (value == frameIndex_ || value < 0 || value >= image_->GetCount())
            return;
        frameIndex_ = value;
    }
    if (Timer())
        Timer()->SetInterval(FrameDelay());
    QPointer<TRxGIFAnimator> self(this);
    Fire(OnFrameChanged, this);
    if (self)
        ContentChanged();
}

void TRxGIFAnimator::SetAnimate(bool value)
{
    if (value == animate_ || Destroying())
        return;
    if (value) {
        StartTimer();
        animate_ = Timer()->Enabled();
        Fire(OnStart, this);
    } else {
        StopPlaying();
    }
}

void TRxGIFAnimator::StopPlaying()
{
    StopTimer();
    animate_ = false;
    QPointer<TRxGIFAnimator> self(this);
    Fire(OnStop, this);
    if (self)
        ContentChanged();
}

void TRxGIFAnimator::SetCenter(bool value)
{
    if (value == center_)
        return;
    center_ = value;
    ContentChanged();
    if (animate_)
        PaintNow();
}

void TRxGIFAnimator::SetStretch(bool value)
{
    if (value == stretch_)
        return;
    stretch_ = value;
    ContentChanged();
    if (animate_)
        PaintNow();
}

void TRxGIFAnimator::SetTransparent(bool value)
{
    if (value == transparent_)
        return;
    {
        // The cached bitmap carries the old choice.
        std::lock_guard lock(drawLock_);
        transparent_ = value;
        DropCache();
    }
    ContentChanged();
    if (animate_)
        PaintNow();
}

unsigned TRxGIFAnimator::FrameDelay() const
{
    std::lock_guard lock(drawLock_);
    const int count = image_->GetCount();
    if (count < 2 || frameIndex_ < 0 || frameIndex_ >= count)
        return 0;
    return std::clamp<unsigned>(image_->GetFrame(frameIndex_)->Delay(), MinFrameDelay, MaxFrameDelay);
}

QSize TRxGIFAnimator::AutoSizeExtent() const
{
    if (image_->GetEmpty())
        return size();
    const int w = image_->GetScreenWidth(), h = image_->GetScreenHeight();
    const TAlign a = Align();
    return QSize(a == alNone || a == alLeft || a == alRight ? w : width(),
                 a == alNone || a == alTop || a == alBottom ? h : height());
}

// ---- Composition -------------------------------------------------------------------------------

// Sequential playing draws each frame on the cached bitmap of the previous one. Anything else
// starts over from the nearest frame that covers the whole screen by itself, replaying what lies
// between as GIF 89a disposes it: kept frames are drawn, background-disposed ones cleared, and
// restore-previous ones leave no trace.
TBitmap* TRxGIFAnimator::ComposeAnimationFrame(int index, TColor& transparentColor)
{
    std::lock_guard lock(drawLock_);
    const int count = image_->GetCount();
    if (count == 0) {
        transparentColor = clNone;
        return nullptr;
    }
    index = std::clamp(index, 0, count - 1);
    if (cache_ && cacheIndex_ == index) {
        transparentColor = cacheColor_;
        return cache_.get();
    }

    const bool reuse = cache_ && index > 0 && cacheIndex_ == index - 1
        && image_->GetFrame(index - 1)->Disposal() != DisposePrevious;
    std::unique_ptr<TBitmap> fresh;
    TBitmap* bitmap;
    if (reuse) {
        bitmap = cache_.get();
        transparentColor = cacheColor_;
    } else {
        DropCache();
        fresh = std::make_unique<TBitmap>(image_->GetScreenWidth(), image_->GetScreenHeight(), pf24bit);
        bitmap = fresh.get();
        transparentColor = clNone;
    }

    TCanvas* canvas = bitmap->Canvas();
    canvas->Lock();
    try {
        if (!reuse) {
            const int w = image_->GetScreenWidth(), h = image_->GetScreenHeight();
            // The background: the current frame's transparent colour, which then stands for
            // the transparent parts of the result; else the image's background colour when it
            // is transparent; else the window colour.
            TColor brush = clWindow;
            const int current = image_->FrameIndex;
            TGIFFrame* currentFrame = current >= 0 && current < count ? image_->GetFrame(current) : nullptr;
            if (currentFrame && currentFrame->TransparentColor() != clNone) {
                brush = ColorToRGB(currentFrame->TransparentColor());
                transparentColor = brush;
            } else if (image_->GetBackgroundColor() != clNone && image_->IsTransparent()) {
                brush = image_->GetBackgroundColor();
            }
            canvas->Brush()->SetColor(ColorToRGB(brush));
            canvas->Brush()->SetStyle(bsSolid);
            canvas->FillRect(Rect(0, 0, w, h));

            // A restore-previous frame before the target would need what lay under it, so it
            // cannot stand as a start.
            int start = 0;
            for (int i = index; i >= 1; --i) {
                TGIFFrame* f = image_->GetFrame(i);
                if (f->GetWidth() != w || f->GetHeight() != h)
                    continue;
                const bool opaque = f->TransparentColor() == clNone && (i == index || f->Disposal() != DisposePrevious);
                if (opaque || (f->Disposal() == DisposeBackground && i < index)) {
                    start = i;
                    break;
                }
            }
            for (int i = start; i < index; ++i) {
                TGIFFrame* f = image_->GetFrame(i);
                switch (f->Disposal()) {
                case 0:
                case 1:
                    f->Draw(canvas, FrameRect(f), true);
                    break;
                case DisposeBackground:
                    if (i > start)
                        canvas->FillRect(FrameRect(f));
                    break;
                default:
                    break;
                }
            }
        } else if (TGIFFrame* previous = image_->GetFrame(index - 1); previous->Disposal() == DisposeBackground) {
            canvas->FillRect(FrameRect(previous));
        }

        TGIFFrame* frame = image_->GetFrame(index);
        frame->Draw(canvas, FrameRect(frame), true);
        canvas->FinishDrawing();
        if (!reuse && transparentColor != clNone && transparent_) {
            bitmap->SetTransparentColor(transparentColor);
            bitmap->SetTransparent(true);
        }
    } catch (...) {
        canvas->Unlock();
        if (reuse)
            DropCache(); // half drawn
        throw;
    }
    canvas->Unlock();
    if (!reuse)
        cache_ = std::move(fresh);
    cacheIndex_ = index;
    cacheColor_ = transparentColor;
    return cache_.get();
}

void TRxGIFAnimator::DrawContent()
{
    std::lock_guard lock(drawLock_);
    if (image_->IsTransparent() || image_->GetEmpty())
        PaintParentBackground(this, Canvas());
    if (image_->GetEmpty() || image_->GetScreenWidth() < 1 || image_->GetScreenHeight() < 1)
        return;
    TColor transparentColor;
    TBitmap* bitmap = ComposeAnimationFrame(frameIndex_, transparentColor);
    if (!bitmap)
        return;
    const int bw = bitmap->Width(), bh = bitmap->Height();
    TRect dest;
    if (stretch_)
        dest = ClientRect();
    else if (center_)
        dest = Bounds((ClientWidth() - bw) / 2, (ClientHeight() - bh) / 2, bw, bh);
    else
        dest = Bounds(0, 0, bw, bh);
    DrawBitmapRectTransparent(Canvas(), dest.Left, dest.Top, dest.Width(), dest.Height(), Rect(0, 0, bw, bh), bitmap,
                              transparentColor != clNone && transparent_ ? transparentColor : clNone);
}

// ---- Playing -----------------------------------------------------------------------------------

bool TRxGIFAnimator::AdvanceFrame()
{
    const int count = image_->GetCount();
    if (count < 2)
        return false;
    const int next = frameIndex_ + 1;
    frameIndex_ = next >= count || next < 1 ? 0 : next;
    return true;
}

void TRxGIFAnimator::PrepareFrame()
{
    TColor transparentColor;
    ComposeAnimationFrame(frameIndex_, transparentColor);
}

bool TRxGIFAnimator::FrameAdvanced()
{
    if (!TRxImageControl::FrameAdvanced())
        return false;
    if (Timer())
        Timer()->SetInterval(FrameDelay());
    // The image's own looping flag and repeat count do not count here: Loop decides.
    if (!loop_ && frameIndex_ == 0)
        StopPlaying();
    return true;
}

// ---- Window definitions ------------------------------------------------------------------------

bool TRxGIFAnimator::BindEvent(const QString& name, const TMethodRef& handler)
{
    return BindEventTo(name, "OnChange", OnChange, handler, "TObject*") || TRxImageControl::BindEvent(name, handler);
}

bool TRxGIFAnimator::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    const bool file = name.compare(QLatin1String("Image"), Qt::CaseInsensitive) == 0;
    const bool data = name.compare(QLatin1String("Image.Data"), Qt::CaseInsensitive) == 0;
    if (!file && !data)
        return TRxImageControl::ReadDefinitionProperty(name, value, reader);
    TGIFImage loaded;
    try {
        if (file) {
            loaded.LoadFromFile(reader.AssetPath(reader.StringValue(value)));
        } else {
            if (value.Kind != TDefValue::vkBinary)
                reader.Error(QStringLiteral("Invalid property value"));
            TMemoryStream stream(value.Binary);
            loaded.ReadData(&stream);
        }
    } catch (const Exception& e) {
        reader.Error(QStringLiteral("Cannot load picture: %1").arg(e.Message()));
    }
    SetImage(&loaded);
    return true;
}
