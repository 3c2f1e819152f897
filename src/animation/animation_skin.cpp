#include "animation/animation_skin.h"

#include "controls/controls_classes.h"
#include "document/editor_state.h"
#include "imaging/gif/gif_controls.h"
#include "skin/controls/skin_controls.h"
#include "skin/file_theme.h"
#include "skin/skin_forms.h"
#include "skin/theme_manager.h"

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

void CopyMainWindowSkin(QObject* window)
{
    TEditorState* state = EditorState();
    if (!state)
        return;
    if (auto* theme = FindPart<TsuiFileTheme>(window, QStringLiteral("suiFileTheme1")))
        theme->SetThemeFile(state->MainThemeFile());
    if (auto* manager = FindPart<TsuiThemeManager>(window, QStringLiteral("suiThemeManager1")))
        manager->SetUIStyle(TsuiUIStyle(state->MainUIStyle()));
}
