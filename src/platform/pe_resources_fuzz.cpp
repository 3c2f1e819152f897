// Feeds executables to the resource reader: the directory is parsed, every resource read, and
// every icon group's best image made into an icon, as icon extraction does.
#include "platform/icon_handle.h"
#include "platform/pe_resources.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto res = TExeResources::FromData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!res)
        return 0;
    res->Types();
    for (const TResourceEntry& entry : res->Entries()) {
        QByteArray bytes;
        if (!res->ReadData(entry, bytes) || !(entry.Type == TResourceId(RT_GROUP_ICON)))
            continue;
        const auto* dir = reinterpret_cast<const uint8_t*>(bytes.constData());
        const int id = LookupIconIdFromDirectoryEx(dir, size_t(bytes.size()), true, 0, 0, LR_DEFAULTSIZE);
        const TResourceEntry* icon = id ? res->Find(RT_ICON, TResourceId(id)) : nullptr;
        QByteArray image;
        if (icon && res->ReadData(*icon, image))
            DestroyIcon(CreateIconFromResourceEx(reinterpret_cast<const uint8_t*>(image.constData()),
                                                 uint32_t(image.size()), true, kIconResourceVersion, 32, 32, 0));
    }
    for (const TResourceId& name : res->Names(RT_GROUP_ICON))
        res->Find(RT_GROUP_ICON, name);
    return 0;
}
