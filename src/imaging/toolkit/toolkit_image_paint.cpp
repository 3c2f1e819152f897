// Painting of the toolkit image control.

#include "imaging/toolkit/toolkit_image.h"

#include "framework/canvas.h"
#include "framework/graphics.h"

#include <QByteArray>
#include <QImage>
#include <QPainter>

#include <algorithm>

struct TToolkitImage::TPaintState {
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

void TToolkitImage::ShutDownPaint() {}

void TToolkitImage::DirectRepaint()
{
    Invalidate();
}

QImage TToolkitImage::MakeDeviceImage(const TKBitmap&, int, int, int, int)
{
    return QImage();
}

void TToolkitImage::PaintBand(const TKBitmap&, const uint8_t*, int, int, uint32_t) {}

// The plain picture inside the frame; effects, transitions and transparency over other windows
// come with the rest of the painting.
void TToolkitImage::Paint()
{
    TCanvas* canvas = Canvas();
    QPainter* p = canvas ? canvas->Handle() : nullptr;
    if (!p)
        return;
    const QRect inner(inset_, inset_, std::max(0, ClientWidth() - 2 * inset_), std::max(0, ClientHeight() - 2 * inset_));
    if (!transparent_)
        p->fillRect(inner, QColor::fromRgba(ColorToArgb(backColor_)));
    if (HasBitmap && IsBitmapAllocated(&ToolkitBitmap) && view_.Width > 0 && view_.Height > 0) {
        const QImage::Format format = ToolkitBitmap.BitsPerPixel == 32 ? QImage::Format_ARGB32 : QImage::Format_BGR888;
        const QImage image(ToolkitBitmap.Row(0), ToolkitBitmap.Width, ToolkitBitmap.Height, ToolkitBitmap.RowBytes, format);
        p->save();
        p->setClipRect(inner);
        p->drawImage(QRect(view_.Left + inset_, view_.Top + inset_, view_.Width, view_.Height), image);
        p->restore();
    }
    Fire(OnPaint, this);
}

// ---- Properties ------------------------------------------------------------------------------

void TToolkitImage::SetBackColor(uint v)
{
    backColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetBackErase(bool v)
{
    backErase_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetTransparent(bool v)
{
    transparent_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetPaintContrast(int v)
{
    paintContrast_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetPaintIntensity(int v)
{
    paintIntensity_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetPaintGamma(uint v)
{
    paintGamma_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetPaintDither(TPaintDither v)
{
    paintDither_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetPaintPalette(TPaletteType v)
{
    paintPalette_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetPaintScaling(TPaintScaling v)
{
    paintScaling_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetBitonalScaling(TBitonalScaling v)
{
    bitonalScaling_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetPaintEffect(int v)
{
    paintEffect_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetTransitionEffect(int v)
{
    transitionEffect_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetTransitionStyle(TTransitionStyle v)
{
    transitionStyle_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetPaintMaxPasses(uint v)
{
    paintMaxPasses_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetEffectGrain(uint v)
{
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
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetUseTransparentColor(bool v)
{
    useTransparentColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetTransparentColor(uint v)
{
    transparentColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetWandSize(uint v)
{
    wandSize_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetWandColor(uint v)
{
    wandColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetGradientStyle(uint v)
{
    gradientStyle_ = v;
    LastResult = 1;
}

void TToolkitImage::SetGradientSteps(uint v)
{
    gradientSteps_ = v;
    LastResult = 1;
}

void TToolkitImage::SetGradientStartColor(uint v)
{
    gradientStartColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetGradientEndColor(uint v)
{
    gradientEndColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetPatternStyle(TPatternStyle v)
{
    patternStyle_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetPatternBackColor(uint v)
{
    patternBackColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetPatternForeColor(uint v)
{
    patternForeColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetFrameColor(uint v)
{
    frameColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetFrameInnerStyle(TFrameInnerStyle v)
{
    frameInnerStyle_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetFrameOuterStyle(TFrameOuterStyle v)
{
    frameOuterStyle_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetFrameInnerHiliteColor(uint v)
{
    frameInnerHiliteColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetFrameInnerShadowColor(uint v)
{
    frameInnerShadowColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetFrameOuterHiliteColor(uint v)
{
    frameOuterHiliteColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetFrameOuterShadowColor(uint v)
{
    frameOuterShadowColor_ = v;
    LastResult = 1;
    if (autoRepaint_)
        Invalidate();
}
