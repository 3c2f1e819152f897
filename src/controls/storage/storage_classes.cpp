#include "controls/storage/storage_classes.h"

#include "controls/storage/form_placement.h"
#include "controls/storage/form_storage.h"
#include "framework/definition_reader.h"

void RegisterStorageClasses()
{
    RegisterComponentClass<TFormPlacement>("TFormPlacement");
    RegisterComponentClass<TFormStorage>("TFormStorage");
}
