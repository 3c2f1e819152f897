// Regions, floater and rubber band of the toolkit image control.

#include "imaging/toolkit/toolkit_image.h"

struct TToolkitImage::TRegionState {
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

void TToolkitImage::ShutDownRegion() {}

void TToolkitImage::PaintRegionOverlays() {}
void TToolkitImage::RedrawShownRubberBand() {}
bool TToolkitImage::HideFloaterForScroll()
{
    return false;
}
void TToolkitImage::ShowFloaterAfterScroll(bool) {}
void TToolkitImage::AfterExternalChange() {}

// ---- Properties ------------------------------------------------------------------------------

void TToolkitImage::SetEnableFloater(bool v)
{
    enableFloater_ = v;
    LastResult = 1;
}

void TToolkitImage::SetAutoFloater(bool v)
{
    autoFloater_ = v;
    LastResult = 1;
}
