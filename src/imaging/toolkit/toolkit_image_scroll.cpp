// Scrolling, pan window and magnifier of the toolkit image control.

#include "imaging/toolkit/toolkit_image.h"

struct TToolkitImage::TScrollState {
};

void TToolkitImage::TScrollStateDeleter::operator()(TScrollState* state) const
{
    delete state;
}

TToolkitImage::TScrollState& TToolkitImage::ScrollState()
{
    if (!scrollState_)
        scrollState_.reset(new TScrollState);
    return *scrollState_;
}

void TToolkitImage::ShutDownScroll() {}

void TToolkitImage::SetUpScrollBarsForPaint() {}
void TToolkitImage::UpdatePanWindow() {}
void TToolkitImage::UpdateMagnifier() {}
void TToolkitImage::RestartMagnifier() {}
void TToolkitImage::ClosePanWindow() {}

// ---- Properties ------------------------------------------------------------------------------

void TToolkitImage::SetAutoScroll(bool v)
{
    autoScroll_ = v;
    LastResult = 1;
}

void TToolkitImage::SetHScrollStep(int v)
{
    hScrollStep_ = v;
    LastResult = 1;
}

void TToolkitImage::SetVScrollStep(int v)
{
    vScrollStep_ = v;
    LastResult = 1;
}

void TToolkitImage::SetEnableScroll(bool v)
{
    enableScroll_ = v;
    LastResult = 1;
}

void TToolkitImage::SetEnableKeyboard(bool v)
{
    enableKeyboard_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPanWinX(int v)
{
    panWinX_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPanWinY(int v)
{
    panWinY_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPanWinWidth(int v)
{
    panWinWidth_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPanWinHeight(int v)
{
    panWinHeight_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPanWinPaintPalette(TPaletteType v)
{
    panWinPaintPalette_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPanWinBitonalScaling(TBitonalScaling v)
{
    panWinBitonalScaling_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPanWinPaintDither(TPaintDither v)
{
    panWinPaintDither_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPanWinPaintScaling(TPaintScaling v)
{
    panWinPaintScaling_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPanWinPointer(int v)
{
    panWinPointer_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPanWinRectColor(uint v)
{
    panWinRectColor_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPanWinSysMenu(bool v)
{
    panWinSysMenu_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPanWinTitle(const QString& v)
{
    panWinTitle_ = v;
    LastResult = 1;
}

void TToolkitImage::SetMagGlassPaintPalette(TPaletteType v)
{
    magGlassPaintPalette_ = v;
    LastResult = 1;
}

void TToolkitImage::SetMagGlassBitonalScaling(TBitonalScaling v)
{
    magGlassBitonalScaling_ = v;
    LastResult = 1;
}

void TToolkitImage::SetMagGlassPaintDither(TPaintDither v)
{
    magGlassPaintDither_ = v;
    LastResult = 1;
}

void TToolkitImage::SetMagGlassPaintScaling(TPaintScaling v)
{
    magGlassPaintScaling_ = v;
    LastResult = 1;
}

void TToolkitImage::SetMagGlassPointer(int v)
{
    magGlassPointer_ = v;
    LastResult = 1;
}

void TToolkitImage::SetEnableZoomInRect(bool v)
{
    enableZoomInRect_ = v;
    LastResult = 1;
}
