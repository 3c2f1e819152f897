#include "animation/animation_skin.h"

#include "controls/controls_classes.h"
#include "framework/dialogs.h"
#include "framework/forms.h"
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

bool AskToSaveAnimation(const std::function<void()>& save, const std::function<bool()>& saved)
{
    const int answer = MessageDlg(QStringLiteral("Save changes to current animation?"), mtWarning, mbYesNoCancel);
    if (answer == mrCancel || answer == mrNone)
        return false;
    if (answer == mrYes) {
        save();
        return saved();
    }
    return true;
}
