// Painting of the toolkit image control.
//
// Qt paints every widget into its window's back buffer and composes child widgets itself: a
// Transparent control leaves what lies under it (its parent and the siblings below) to Qt, which
// paints them first because such a control is not marked opaque; children and windows above are
// composed the same way. Paints never run inside a scroll step here (scrolled-in parts are painted
// after the step), so the background rules read as "no scroll step is being applied".

#include "imaging/toolkit/toolkit_image.h"

#include "framework/canvas.h"
#include "framework/graphics.h"
#include "imaging/toolkit/toolkit_display.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScopeGuard>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

// Paints under way in the process, nested ones included.
int g_paintDepth = 0;

QRect ToQRect(const TRect& r)
{
    return QRect(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
}

TRect Intersection(const TRect& a, const TRect& b)
{
    TRect r;
    IntersectRect(r, a, b);
    return r;
}

// The pause between effect passes: a plain wait, no messages are handled meanwhile.
void PassDelay(uint milliseconds)
{
    if (milliseconds)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// The largest picture MakeDeviceImage makes.
constexpr int MaxDeviceSide = 32767;
constexpr int64_t MaxDevicePixels = int64_t(1) << 26;

} // namespace

struct TToolkitImage::TPaintState {
    enum TMode { pmWhole, pmDirect, pmBand };
    bool Painting = false;
    TMode Mode = pmWhole;
    // Double-buffered paints start from a BackColor fill unless this is on.
    bool SkipBackgroundFill = false;
    TKDoubleBuffer Buffer = 0;
    TKPalette Palette = 0;
    uint32_t Rop = TK_SRCCOPY;
    TRect CanvasClip;
    // A band of a load painted at once: its bitmap and the part of the picture it covers.
    TKBitmap BandBitmap;
    TRect BandSource;

    ~TPaintState()
    {
        if (Palette)
            TK_DeletePalette(Palette);
        if (Buffer)
            TK_DestroyDoubleBuffer(Buffer);
    }
};

void TToolkitImage::TPaintStateDeleter::operator()(TPaintState* state) const
{
    delete state;
}

TToolkitImage::TPaintState& TToolkitImage::PaintState()
{
    if (!paintState_)
        paintState_.reset(new TPaintState);
    return *paintState_;
}

void TToolkitImage::ShutDownPaint()
{
    paintState_.reset();
}

bool TToolkitImage::PaintUnderWay() const
{
    return paintState_ && paintState_->Painting;
}

// ---- Helpers ---------------------------------------------------------------------------------

void TToolkitImage::FillBack(QPainter* dc, const TRect& area) const
{
    if (backColor_ == clNone || IsRectEmpty(area))
        return;
    dc->fillRect(ToQRect(area), QColor::fromRgba(ColorToArgb(backColor_)));
}

void TToolkitImage::FillOutside(QPainter* dc, const TRect& area, const TRect& hole) const
{
    if (backColor_ == clNone || IsRectEmpty(area))
        return;
    const QRegion rest = QRegion(ToQRect(area)).subtracted(QRegion(ToQRect(hole)));
    const QColor colour = QColor::fromRgba(ColorToArgb(backColor_));
    for (const QRect& r : rest)
        dc->fillRect(r, colour);
}

// Sets the toolkit's display mode from the paint properties; returns the mode to put back.
uint32_t TToolkitImage::ApplyDisplayModes() const
{
    const uint32_t old = TK_GetDisplayMode();
    TK_SetDisplayMode(32, 32);
    TK_SetDisplayMode(1, paintDither_ == pdOrdered ? 1 : 0);
    switch (bitonalScaling_) {
    case btsNormal: TK_SetDisplayMode(64, 0); TK_SetDisplayMode(16, 0); break;
    case btsFavorBlack: TK_SetDisplayMode(64, 64); break;
    case btsScaleToGray: TK_SetDisplayMode(16, 16); break;
    }
    switch (paintPalette_) {
    case ppAuto: TK_SetDisplayMode(384, 0); break;
    case ppFixed: TK_SetDisplayMode(384, 128); break;
    case ppAutoNetscape: TK_SetDisplayMode(256, 256); break;
    case ppFixedNetscape: TK_SetDisplayMode(128, 128); TK_SetDisplayMode(256, 256); break;
    }
    switch (paintScaling_) {
    case psNormal: TK_SetDisplayMode(1536, 0); break;
    case psResample: TK_SetDisplayMode(1536, 512); break;
    case psBicubic: TK_SetDisplayMode(1536, 1024); break;
    }
    return old;
}

void TToolkitImage::RunPaintNotify(uint pass, uint type)
{
    Fire(OnPaintNotify, this, pass, type);
}

// ---- Paint -----------------------------------------------------------------------------------

void TToolkitImage::paintEvent(QPaintEvent* e)
{
    const QRect r = e->rect();
    PaintState().CanvasClip = Bounds(r.x(), r.y(), r.width(), r.height());
    TCustomPanel::paintEvent(e);
}

void TToolkitImage::PaintControl()
{
    Paint();
}

void TToolkitImage::Paint()
{
    TCanvas* canvas = Canvas();
    QPainter* window = canvas ? canvas->Handle() : nullptr;
    if (!window || !Visible() || PaintUnderWay())
        return;
    // Without a transparent look every pixel of the control is painted below, so Qt need not
    // paint what lies under it first.
    const bool opaque = !transparent_ && backColor_ != clNone;
    if (testAttribute(Qt::WA_OpaquePaintEvent) != opaque)
        setAttribute(Qt::WA_OpaquePaintEvent, opaque);
    if (PaintState().Mode == TPaintState::pmWhole)
        PaintWhole(window);
    else
        PaintPictureOnly(window);
}

void TToolkitImage::PaintWhole(QPainter* window)
{
    TPaintState& s = PaintState();
    TCanvas* canvas = Canvas();
    s.Painting = true;
    ++g_paintDepth;
    QPainter* dc = window;
    window->save();
    // Whatever happens in the paint, the control leaves it in order and the buffer reaches the
    // window.
    auto finish = qScopeGuard([&] {
        --g_paintDepth;
        s.Painting = false;
        if (dc != window) {
            dc->restore();
            FireGuarded([&] { NotifyPainted(dc); });
            canvas->SetPainter(window);
            TK_EndDoubleBuffer(s.Buffer);
        } else {
            FireGuarded([&] { NotifyPainted(dc); });
        }
        window->restore();
    });

    if (autoScroll_ && !AutoSize())
        SetUpScrollBarsForPaint();

    TRect client = ClientRect();
    TRect clip = IsRectEmpty(s.CanvasClip) ? client : Intersection(s.CanvasClip, client);
    const bool hasImage = HasBitmap && IsBitmapAllocated(&ToolkitBitmap);
    const bool transparentBit = hasImage && (ToolkitBitmap.Flags & TKBF_Transparent);
    const bool effects = (paintEffect_ != 0 && paintEffect_ != 1000) || paintMaxPasses_ > 1 ||
                         (transparentBit && (backErase_ || transparent_));

    if (!s.Buffer)
        TK_CreateDoubleBuffer(&s.Buffer);
    TK_EnableDoubleBuffer(s.Buffer, DoubleBuffer && !effects);
    // A Transparent control's buffer starts clear, so that what lies under it still shows.
    QPainter* buffered = TK_BeginDoubleBuffer(s.Buffer, window, client, transparent_);
    if (buffered != window) {
        dc = buffered;
        dc->save();
        canvas->SetPainter(dc);
        if (!s.SkipBackgroundFill && !transparent_)
            FillBack(dc, client);
    }
    dc->setClipRect(ToQRect(clip));

    if (pending_ & pwPalette) {
        if (s.Palette)
            TK_DeletePalette(s.Palette);
        s.Palette = 0;
        if (hasImage)
            TK_CreatePaintPalette(&ToolkitBitmap, &s.Palette);
    }
    if (pending_ & pwGeometry)
        UpdateRects();
    pending_ &= uint8_t(~(pwPalette | pwGeometry));

    if (inset_ > 0) {
        uint32_t flags = 0;
        if (frameInnerStyle_ == fisRaised)
            flags |= TKFR_InnerRaised;
        if (frameOuterStyle_ == fosRaised)
            flags |= TKFR_OuterRaised;
        TK_EfxDrawFrame(dc, client, flags, int32_t(frameThickness_), frameColor_, int32_t(frameInnerThickness_),
                        frameInnerShadowColor_, frameInnerHiliteColor_, int32_t(frameOuterThickness_),
                        frameOuterShadowColor_, frameOuterHiliteColor_);
        InflateRect(client, -inset_, -inset_);
        clip = Intersection(clip, client);
        if (IsRectEmpty(clip))
            return;
        dc->setClipRect(ToQRect(clip));
    }

    TRect displayClip = Bounds(ViewLeft, ViewTop, ViewWidth + scrollX_, ViewHeight + scrollY_);
    OffsetRect(displayClip, inset_, inset_);
    displayClip = Intersection(displayClip, client);
    const TRect source = Bounds(source_.Left, source_.Top, source_.Width, source_.Height);
    const TRect sourceClip = Bounds(sourceClip_.Left, sourceClip_.Top, sourceClip_.Width, sourceClip_.Height);
    const TRect dest = Bounds(view_.Left + inset_, view_.Top + inset_, view_.Width, view_.Height);
    const TRect transitionArea = Intersection(dest, client);
    const TRect paintClip = Intersection(displayClip, clip);

    if (!transparent_ && !backErase_ && hasImage)
        FillOutside(dc, clip, Intersection(paintClip, dest));

    bool transitionRan = false;
    if (transitionStyle_ != etsNone) {
        if (!transparent_ && backErase_)
            FillBack(dc, clip);
        const bool gradient = transitionStyle_ == etsGradient;
        const int32_t style = gradient ? int32_t(gradientStyle_) : int32_t(patternStyle_);
        const uint32_t first = gradient ? gradientStartColor_ : patternBackColor_;
        const uint32_t second = gradient ? gradientEndColor_ : patternForeColor_;
        TKEffect effect;
        effect.Code = transitionEffect_;
        effect.Grain = int32_t(effectGrain_);
        effect.Delay = int32_t(effectDelay_);
        effect.Speed = int32_t(effectSpeed_);
        effect.Cycles = int32_t(effectCycles_);
        effect.MaxPasses = int32_t(paintMaxPasses_);
        effect.UseTransparentColor = useTransparentColor_;
        effect.TransparentColor = transparentColor_;
        effect.WandSize = wandSize_;
        effect.WandColor = wandColor_;
        effect.Rop = s.Rop;
        uint pass = 1;
        RunPaintNotify(0, 0);
        for (uint i = 1; i <= paintMaxPasses_; ++i) {
            effect.Pass = int32_t(pass);
            TK_EfxPaintTransition(dc, transitionArea, style, first, second, int32_t(gradientSteps_), effect);
            ++pass;
            PassDelay(paintNotificationDelay_);
            RunPaintNotify(pass - 1, 0);
            UpdatePanWindow();
        }
        UpdateMagnifier();
        transitionRan = true;
    }

    if (hasImage) {
        if (!transparent_ && (backErase_ || useTransparentColor_) && !transitionRan)
            FillBack(dc, clip);
    } else if (!transitionRan && !transparent_) {
        FillBack(dc, clip);
    }

    if (hasImage) {
        TKDisplayAdjust adjust;
        adjust.Contrast = paintContrast_;
        adjust.Intensity = paintIntensity_;
        adjust.Gamma = paintGamma_;
        if (!transparent_) {
            if (backErase_)
                FillBack(dc, client);
            else
                FillOutside(dc, client, paintClip);
            // A picture with an alpha channel blends over the background, not over whatever the
            // window held before.
            if (!backErase_ && !transitionRan && ToolkitBitmap.BitsPerPixel == 32)
                FillBack(dc, Intersection(paintClip, dest));
        }
        const uint32_t oldMode = ApplyDisplayModes();
        auto restoreMode = qScopeGuard([oldMode] { TK_SetDisplayMode(~0u, oldMode); });
        if (s.Palette)
            TK_RealizePalette(s.Palette, true);
        TKEffect effect;
        effect.Rop = s.Rop;
        if (animating_) {
            effect.Code = 1000;
            effect.UseTransparentColor = transparentBit;
            effect.TransparentColor = ToolkitBitmap.TransparentColor;
            TK_EfxPaintBitmap(dc, &ToolkitBitmap, source, sourceClip, dest, displayClip, effect, adjust);
        } else if (paintRgnOnly_) {
            // Regions of the bitmap are drawn by the regions code; until one is set the whole
            // picture is the region.
            TK_PaintBitmap(dc, &ToolkitBitmap, source, sourceClip, dest, paintClip, s.Rop, adjust);
        } else {
            uint pass = 1;
            RunPaintNotify(0, 1);
            const uint total = paintEffect_ == 1000 ? 1 : paintMaxPasses_;
            if ((paintEffect_ != 0 && paintEffect_ != 1000) || total > 1 || transparentBit) {
                effect.Code = paintEffect_;
                effect.Grain = int32_t(effectGrain_);
                effect.Delay = int32_t(effectDelay_);
                effect.Speed = int32_t(effectSpeed_);
                effect.Cycles = int32_t(effectCycles_);
                effect.MaxPasses = int32_t(total);
                effect.UseTransparentColor = useTransparentColor_;
                effect.TransparentColor = transparentColor_;
                effect.WandSize = wandSize_;
                effect.WandColor = wandColor_;
                for (uint i = 1; i <= paintMaxPasses_; ++i) {
                    effect.Pass = int32_t(pass);
                    TK_EfxPaintBitmap(dc, &ToolkitBitmap, source, sourceClip, dest, paintClip, effect, adjust);
                    ++pass;
                    PassDelay(paintNotificationDelay_);
                    RunPaintNotify(pass - 1, 1);
                    UpdatePanWindow();
                }
            } else {
                TK_PaintBitmap(dc, &ToolkitBitmap, source, sourceClip, dest, paintClip, s.Rop, adjust);
            }
        }
        restoreMode.dismiss();
        TK_SetDisplayMode(~0u, oldMode);
        RedrawShownRubberBand();
    }

    Fire(OnPaint, this);
    PaintRegionOverlays();
}

// An animation frame or a band of a load: only the picture, straight over what the window shows.
void TToolkitImage::PaintPictureOnly(QPainter* window)
{
    TPaintState& s = PaintState();
    const bool band = s.Mode == TPaintState::pmBand;
    const TKBitmap& bitmap = band ? s.BandBitmap : ToolkitBitmap;
    if (!IsBitmapAllocated(&bitmap))
        return;
    s.Painting = true;
    window->save();
    const uint32_t oldMode = ApplyDisplayModes();
    TKPalette bandPalette = 0;
    auto finish = qScopeGuard([&] {
        TK_SetDisplayMode(~0u, oldMode);
        if (bandPalette)
            TK_DeletePalette(bandPalette);
        window->restore();
        s.Painting = false;
    });
    TRect client = ClientRect();
    InflateRect(client, -inset_, -inset_);
    TRect displayClip = Bounds(ViewLeft, ViewTop, ViewWidth + scrollX_, ViewHeight + scrollY_);
    OffsetRect(displayClip, inset_, inset_);
    displayClip = Intersection(displayClip, client);
    const TRect source = Bounds(source_.Left, source_.Top, source_.Width, source_.Height);
    const TRect sourceClip =
        band ? s.BandSource : Bounds(sourceClip_.Left, sourceClip_.Top, sourceClip_.Width, sourceClip_.Height);
    const TRect dest = Bounds(view_.Left + inset_, view_.Top + inset_, view_.Width, view_.Height);
    TKDisplayAdjust adjust;
    adjust.Contrast = paintContrast_;
    adjust.Intensity = paintIntensity_;
    adjust.Gamma = paintGamma_;
    if (band) {
        if (TK_CreatePaintPalette(&bitmap, &bandPalette) == TK_Success)
            TK_RealizePalette(bandPalette, true);
        TK_PaintBitmap(window, &bitmap, source, sourceClip, dest, displayClip, TK_SRCCOPY, adjust);
        return;
    }
    if (s.Palette)
        TK_RealizePalette(s.Palette, true);
    if (bitmap.Flags & TKBF_Transparent) {
        TKEffect effect;
        effect.Code = 1000;
        effect.UseTransparentColor = true;
        effect.TransparentColor = bitmap.TransparentColor;
        effect.Rop = s.Rop;
        TK_EfxPaintBitmap(window, &bitmap, source, sourceClip, dest, displayClip, effect, adjust);
    } else {
        TK_PaintBitmap(window, &bitmap, source, sourceClip, dest, displayClip, s.Rop, adjust);
    }
}

void TToolkitImage::DirectRepaint()
{
    TPaintState& s = PaintState();
    if (!HasBitmap || s.Painting || s.Mode != TPaintState::pmWhole)
        return;
    TRect client = ClientRect();
    InflateRect(client, -inset_, -inset_);
    const TRect area = Intersection(Bounds(view_.Left + inset_, view_.Top + inset_, view_.Width, view_.Height), client);
    if (!IsRectEmpty(area)) {
        s.Mode = TPaintState::pmDirect;
        auto back = qScopeGuard([&s] { s.Mode = TPaintState::pmWhole; });
        repaint(ToQRect(area));
    }
    UpdatePanWindow();
    UpdateMagnifier();
}

void TToolkitImage::PaintBand(const TKBitmap& bitmap, const uint8_t*, int firstRow, int rowCount, uint32_t flags)
{
    TPaintState& s = PaintState();
    if (!IsBitmapAllocated(&bitmap) || s.Painting || s.Mode != TPaintState::pmWhole || rowCount == 0)
        return;
    // The stored rows of the band, then the part of the picture as shown that they make.
    int count = std::abs(rowCount);
    int first = (flags & 0x10) ? firstRow - count + 1 : firstRow;
    first = std::clamp(first, 0, bitmap.Height);
    count = std::clamp(count, 0, bitmap.Height - first);
    if (count == 0)
        return;
    const int h = bitmap.Height;
    TRect shown;
    switch (bitmap.ViewPerspective) {
    case 3: case 4: shown = Rect(0, h - first - count, bitmap.Width, h - first); break;
    case 5: case 8: shown = Rect(first, 0, first + count, bitmap.Width); break;
    case 6: case 7: shown = Rect(h - first - count, 0, h - first, bitmap.Width); break;
    default: shown = Rect(0, first, bitmap.Width, first + count); break;
    }
    const TRect sourceClip = Bounds(sourceClip_.Left, sourceClip_.Top, sourceClip_.Width, sourceClip_.Height);
    s.BandSource = Intersection(shown, sourceClip);
    if (IsRectEmpty(s.BandSource) || source_.Width <= 0 || source_.Height <= 0)
        return;
    // Where the band lands on the window, with a pixel to spare for scaling.
    const double zx = double(view_.Width) / source_.Width, zy = double(view_.Height) / source_.Height;
    const int left = view_.Left + inset_ + int((s.BandSource.Left - source_.Left) * zx) - 1;
    const int top = view_.Top + inset_ + int((s.BandSource.Top - source_.Top) * zy) - 1;
    const int right = view_.Left + inset_ + int((s.BandSource.Right - source_.Left) * zx) + 2;
    const int bottom = view_.Top + inset_ + int((s.BandSource.Bottom - source_.Top) * zy) + 2;
    TRect client = ClientRect();
    InflateRect(client, -inset_, -inset_);
    const TRect area = Intersection(Rect(left, top, right, bottom), client);
    if (IsRectEmpty(area))
        return;
    s.BandBitmap = bitmap;
    s.Mode = TPaintState::pmBand;
    auto back = qScopeGuard([&s] {
        s.Mode = TPaintState::pmWhole;
        s.BandBitmap = TKBitmap();
    });
    repaint(ToQRect(area));
}

QImage TToolkitImage::MakeDeviceImage(const TKBitmap& bitmap, int width, int height, int offsetX, int offsetY)
{
    if (!IsBitmapAllocated(&bitmap) || width <= 0 || height <= 0 || width > MaxDeviceSide ||
        height > MaxDeviceSide || int64_t(width) * height > MaxDevicePixels)
        return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(backColor_ == clNone ? QColor(Qt::black) : QColor::fromRgba(ColorToArgb(backColor_)));
    QPainter p(&image);
    const uint32_t oldMode = ApplyDisplayModes();
    TKPalette palette = 0;
    if (TK_CreatePaintPalette(&bitmap, &palette) == TK_Success)
        TK_RealizePalette(palette, true);
    TKDisplayAdjust adjust;
    adjust.Contrast = paintContrast_;
    adjust.Intensity = paintIntensity_;
    adjust.Gamma = paintGamma_;
    const TRect whole = Rect(0, 0, BitmapViewWidth(bitmap), BitmapViewHeight(bitmap));
    TK_PaintBitmap(&p, &bitmap, whole, whole, Bounds(offsetX, offsetY, width, height), Rect(0, 0, width, height),
                   PaintState().Rop, adjust);
    if (palette)
        TK_DeletePalette(palette);
    TK_SetDisplayMode(~0u, oldMode);
    return image;
}

// ---- Palettes --------------------------------------------------------------------------------

bool TToolkitImage::RealizePalette(bool background)
{
    TPaintState& s = PaintState();
    if (s.Palette)
        TK_DeletePalette(s.Palette);
    s.Palette = 0;
    if (!HasBitmap || TK_CreatePaintPalette(&ToolkitBitmap, &s.Palette) != TK_Success)
        return false;
    if (TK_RealizePalette(s.Palette, background) > 0) {
        Invalidate();
        return true;
    }
    return false;
}

int TToolkitImage::WMQueryNewPalette()
{
    const int answer = RealizePalette(false) ? 1 : 0;
    if (!PaintUnderWay())
        Invalidate();
    return answer;
}

int TToolkitImage::WMPaletteChanged()
{
    RealizePalette(true);
    Invalidate();
    return 0;
}

int TToolkitImage::WMActivate()
{
    RealizePalette(false);
    return 0;
}

bool TToolkitImage::PaletteChanged(bool foreground)
{
    if (foreground)
        return true;
    const bool changed = RealizePalette(true);
    Invalidate();
    return changed;
}

// ---- Properties ------------------------------------------------------------------------------

namespace {

[[noreturn]] void InvalidPropertyValue(TToolkitImage* control, int32_t& lastResult, const char* text)
{
    lastResult = TK_ErrParameter;
    throw EToolkitImageError(QStringLiteral("%1 \n%2").arg(control->Name(), QLatin1String(text)));
}

} // namespace

void TToolkitImage::SetBackColor(uint v)
{
    if (TCanvas* canvas = Canvas())
        canvas->Brush()->SetColor(v);
    LastResult = 1;
    backColor_ = v;
    SetColor(v);
}

void TToolkitImage::SetBackErase(bool v)
{
    backErase_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetTransparent(bool v)
{
    LastResult = 1;
    if (v == transparent_)
        return;
    if (v)
        SetAutoScroll(false);
    transparent_ = v;
    // What the window system did by making the window again: Qt learns whether to paint what
    // lies under the control first.
    setAttribute(Qt::WA_OpaquePaintEvent, !v && backColor_ != clNone);
    setAutoFillBackground(false);
    LastResult = 1;
    Invalidate();
}

void TToolkitImage::SetPaintContrast(int v)
{
    paintContrast_ = v;
    pending_ |= pwPalette;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetPaintIntensity(int v)
{
    paintIntensity_ = v;
    pending_ |= pwPalette;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetPaintGamma(uint v)
{
    paintGamma_ = v;
    pending_ |= pwPalette;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetPaintDither(TPaintDither v)
{
    paintDither_ = v;
    LastResult = 1;
    Repaint();
}

void TToolkitImage::SetPaintPalette(TPaletteType v)
{
    paintPalette_ = v;
    TPaintState& s = PaintState();
    if (s.Palette)
        TK_DeletePalette(s.Palette);
    s.Palette = 0;
    pending_ |= pwPalette;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetPaintScaling(TPaintScaling v)
{
    paintScaling_ = v;
    LastResult = 1;
    Repaint();
}

void TToolkitImage::SetBitonalScaling(TBitonalScaling v)
{
    bitonalScaling_ = v;
    LastResult = 1;
    Repaint();
}

void TToolkitImage::SetPaintEffect(int v)
{
    if (!TK_IsEffectCode(v))
        InvalidPropertyValue(this, LastResult, "PaintEffect: Invalid Property value");
    paintEffect_ = v;
    if (autoRepaint_)
        Invalidate();
    LastResult = 1;
}

void TToolkitImage::SetTransitionEffect(int v)
{
    if (!TK_IsEffectCode(v))
        InvalidPropertyValue(this, LastResult, "TransitionEffect: Invalid Property value");
    transitionEffect_ = v;
    if (autoRepaint_)
        Invalidate();
    LastResult = 1;
}

void TToolkitImage::SetTransitionStyle(TTransitionStyle v)
{
    transitionStyle_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetPaintMaxPasses(uint v)
{
    if (v < 1 || v > 64)
        InvalidPropertyValue(this, LastResult, "PaintMaxPasses: Invalid Property value.");
    paintMaxPasses_ = v;
    if (autoRepaint_)
        Invalidate();
    LastResult = 1;
}

void TToolkitImage::SetEffectGrain(uint v)
{
    if (v < 1 || v > 256)
        InvalidPropertyValue(this, LastResult, "EffectGrain: Invalid Property value.");
    effectGrain_ = v;
    LastResult = 1;
}

void TToolkitImage::SetEffectDelay(uint v)
{
    effectDelay_ = v;
    LastResult = 1;
}

void TToolkitImage::SetEffectSpeed(uint v)
{
    effectSpeed_ = v;
    LastResult = 1;
}

void TToolkitImage::SetEffectCycles(uint v)
{
    effectCycles_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPaintNotificationDelay(uint v)
{
    paintNotificationDelay_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPaintRgnOnly(bool v)
{
    paintRgnOnly_ = v;
    if (autoRepaint_)
        Refresh();
    LastResult = 1;
}

void TToolkitImage::SetUseTransparentColor(bool v)
{
    useTransparentColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetTransparentColor(uint v)
{
    transparentColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetWandSize(uint v)
{
    wandSize_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetWandColor(uint v)
{
    wandColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetGradientStyle(uint v)
{
    if (v > uint(INT32_MAX) || !TK_IsGradientStyle(int32_t(v)))
        InvalidPropertyValue(this, LastResult, "GradientStyle: Invalid Property value");
    gradientStyle_ = v;
    LastResult = 1;
}

void TToolkitImage::SetGradientSteps(uint v)
{
    if (v < 2 || v > 265)
        InvalidPropertyValue(this, LastResult, "GradientSteps: Invalid Property value.");
    gradientSteps_ = v;
    LastResult = 1;
}

void TToolkitImage::SetGradientStartColor(uint v)
{
    gradientStartColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetGradientEndColor(uint v)
{
    gradientEndColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetPatternStyle(TPatternStyle v)
{
    patternStyle_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetPatternBackColor(uint v)
{
    patternBackColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetPatternForeColor(uint v)
{
    patternForeColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetFrameColor(uint v)
{
    frameColor_ = v;
    LastResult = 1;
    Refresh();
}

void TToolkitImage::SetFrameInnerStyle(TFrameInnerStyle v)
{
    frameInnerStyle_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetFrameOuterStyle(TFrameOuterStyle v)
{
    frameOuterStyle_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetFrameInnerHiliteColor(uint v)
{
    frameInnerHiliteColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetFrameInnerShadowColor(uint v)
{
    frameInnerShadowColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetFrameOuterHiliteColor(uint v)
{
    frameOuterHiliteColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}

void TToolkitImage::SetFrameOuterShadowColor(uint v)
{
    frameOuterShadowColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Repaint();
}
