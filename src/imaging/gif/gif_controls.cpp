#include "imaging/gif/gif_controls.h"

#include "framework/definition_reader.h"
#include "imaging/gif/animated_image.h"
#include "imaging/gif/gif_animator.h"
#include "imaging/gif/rx_timer.h"
#include "imaging/gif/window_hook.h"

void RegisterGifControlClasses()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterComponentClass<TRxTimer>("TRxTimer");
    RegisterComponentClass<TRxWindowHook>("TRxWindowHook");
    RegisterComponentClass<TRxGIFAnimator>("TRxGIFAnimator");
    RegisterComponentClass<TAnimatedImage>("TAnimatedImage");
}
