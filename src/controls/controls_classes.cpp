#include "controls/controls_classes.h"

#include "controls/combo_edit.h"
#include "controls/draw_grid.h"
#include "controls/html_help.h"
#include "controls/shadow_label.h"
#include "controls/speed_bar.h"
#include "controls/speed_button.h"
#include "controls/spin_edit.h"
#include "controls/storage/storage_classes.h"
#include "controls/tov_language.h"
#include "framework/definition_reader.h"

void RegisterControlsClasses()
{
    RegisterComponentClass<THtmlHelp>("THtmlHelp");
    RegisterComponentClass<TtovLanguage>("TtovLanguage");
    RegisterComponentClass<TRxSpinEdit>("TRxSpinEdit");
    RegisterComponentClass<TRxSpinButton>("TRxSpinButton");
    RegisterComponentClass<TRxSpeedButton>("TRxSpeedButton");
    RegisterComponentClass<TComboEdit>("TComboEdit");
    RegisterComponentClass<TRxLabel>("TRxLabel");
    RegisterComponentClass<TRxDrawGrid>("TRxDrawGrid");
    RegisterComponentClass<TSpeedBar>("TSpeedBar");
    RegisterComponentClass<TSpeedbarSection>("TSpeedbarSection");
    RegisterComponentClass<TSpeedItem>("TSpeedItem");
    RegisterStorageClasses();
}
