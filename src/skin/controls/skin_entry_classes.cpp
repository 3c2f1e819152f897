#include "skin/controls/skin_entry_classes.h"

#include "framework/definition_reader.h"
#include "skin/controls/color_box.h"
#include "skin/controls/combo_box.h"
#include "skin/controls/draw_grid.h"
#include "skin/controls/edit.h"
#include "skin/controls/list_view.h"
#include "skin/controls/memo.h"
#include "skin/controls/page_control.h"
#include "skin/controls/progress_bar.h"
#include "skin/controls/scroll_bar.h"
#include "skin/controls/spin_edit.h"
#include "skin/controls/tab_control.h"
#include "skin/controls/track_bar.h"
#include "skin/controls/url_label.h"

void RegisterSkinEntryControlClasses()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterComponentClass<TsuiTrackBar>("TsuiTrackBar");
    RegisterComponentClass<TsuiScrollBar>("TsuiScrollBar");
    RegisterComponentClass<TsuiProgressBar>("TsuiProgressBar");
    RegisterComponentClass<TsuiTabControl>("TsuiTabControl");
    RegisterComponentClass<TsuiPageControl>("TsuiPageControl");
    RegisterComponentClass<TsuiTabSheet>("TsuiTabSheet");
    RegisterComponentClass<TsuiEdit>("TsuiEdit");
    RegisterComponentClass<TsuiSpinEdit>("TsuiSpinEdit");
    RegisterComponentClass<TsuiSpinButtons>("TsuiSpinButtons");
    RegisterComponentClass<TsuiURLLabel>("TsuiURLLabel");
    RegisterComponentClass<TsuiDrawGrid>("TsuiDrawGrid");
    RegisterComponentClass<TsuiMemo>("TsuiMemo");
    RegisterComponentClass<TsuiComboBox>("TsuiComboBox");
    RegisterComponentClass<TsuiDriveComboBox>("TsuiDriveComboBox");
    RegisterComponentClass<TsuiColorBox>("TsuiColorBox");
    RegisterComponentClass<TsuiListView>("TsuiListView");
}
