#include "animation/animation_skin.h"

#include "controls/controls_classes.h"
#include "imaging/gif/gif_controls.h"
#include "skin/controls/skin_controls.h"
#include "skin/skin_forms.h"

// Q_INIT_RESOURCE names a function of the global namespace.
static void InitAnimationResources() { Q_INIT_RESOURCE(animation); }

void RegisterAnimationClasses()
{
    static const bool once = [] {
        InitAnimationResources();
        RegisterSkinControlClasses();
        RegisterSkinFormClasses();
        RegisterControlsClasses();
        RegisterGifControlClasses();
        return true;
    }();
    (void)once;
}
