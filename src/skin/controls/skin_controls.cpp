#include "skin/controls/skin_controls.h"

#include "framework/definition_reader.h"
#include "skin/controls/button.h"
#include "skin/controls/check_box.h"
#include "skin/controls/group_box.h"
#include "skin/controls/panel.h"
#include "skin/controls/skin_control.h"
#include "skin/controls/status_bar.h"
#include "skin/controls/skin_entry_classes.h"
#include "skin/file_theme.h"
#include "skin/menus.h"
#include "skin/title_bar.h"
#include "skin/theme_lookup.h"
#include "skin/theme_manager.h"

void RegisterSkinControlClasses()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    InstallSkinFontSubstitutes();
    RegisterSkinEntryControlClasses();
    RegisterComponentClass<TsuiFileTheme>("TsuiFileTheme");
    RegisterComponentClass<TsuiThemeManager>("TsuiThemeManager");
    RegisterComponentClass<TsuiButton>("TsuiButton");
    RegisterComponentClass<TsuiImageButton>("TsuiImageButton");
    RegisterComponentClass<TsuiArrowButton>("TsuiArrowButton");
    RegisterComponentClass<TsuiToolBarSpeedButton>("TsuiToolBarSpeedButton");
    RegisterComponentClass<TsuiCheckBox>("TsuiCheckBox");
    RegisterComponentClass<TsuiRadioButton>("TsuiRadioButton");
    RegisterComponentClass<TsuiImagePanel>("TsuiImagePanel");
    RegisterComponentClass<TsuiPanel>("TsuiPanel");
    RegisterComponentClass<TsuiGroupBox>("TsuiGroupBox");
    RegisterComponentClass<TsuiStatusBar>("TsuiStatusBar");
    RegisterComponentClass<TsuiSkinControl>("TsuiSkinControl");
    RegisterComponentClass<TsuiPopupMenu>("TsuiPopupMenu");
    RegisterComponentClass<TsuiMainMenu>("TsuiMainMenu");
    RegisterComponentClass<TsuiTitleBar>("TsuiTitleBar");
}
