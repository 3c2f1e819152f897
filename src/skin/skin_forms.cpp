#include "skin/skin_forms.h"

#include "framework/definition_reader.h"
#include "skin/form.h"
#include "skin/mdi_form.h"

void RegisterSkinFormClasses()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterComponentClass<TsuiForm>("TsuiForm");
    RegisterComponentClass<TsuiMDIForm>("TsuiMDIForm");
}
