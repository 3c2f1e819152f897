// Animation of the toolkit image control.

#include "imaging/toolkit/toolkit_image.h"

struct TToolkitImage::TAnimationState {
};

void TToolkitImage::TAnimationStateDeleter::operator()(TAnimationState* state) const
{
    delete state;
}

TToolkitImage::TAnimationState& TToolkitImage::AnimationState()
{
    if (!animationState_)
        animationState_.reset(new TAnimationState);
    return *animationState_;
}

void TToolkitImage::ShutDownAnimation() {}


// ---- Properties ------------------------------------------------------------------------------

void TToolkitImage::SetAutoAnimate(bool v)
{
    autoAnimate_ = v;
    LastResult = 1;
}

void TToolkitImage::SetAutoAnimationLoop(int v)
{
    autoAnimationLoop_ = v;
    LastResult = 1;
}
