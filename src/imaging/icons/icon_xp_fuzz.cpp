// Loads arbitrary bytes as an alpha icon picture. Beyond not crashing, a picture that loaded must
// write back a file that loads again to the same images.
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/icons/icon_xp.h"
#include "imaging/icons/icon_xp_format.h"

#include <QByteArray>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemoryStream stream(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    TIconXP icon;
    try {
        icon.LoadFromStream(&stream);
    } catch (const Exception&) {
    }
    icon.GetWidth();
    icon.SetPixelFormat(pf8bit);
    icon.GetHeight();

    TMemoryStream saved;
    icon.SaveToStream(&saved);
    if (saved.Size() == 0)
        return 0;
    saved.SetPosition(0);
    TIconXP again;
    again.LoadFromStream(&saved); // must not raise: the copy is always a whole file
    if (again.Formats()->Count() != icon.Formats()->Count())
        std::abort();
    for (int i = 0; i < icon.Formats()->Count(); ++i)
        if (again.Formats()->GetItem(i)->Pixels() != icon.Formats()->GetItem(i)->Pixels())
            std::abort();
    return 0;
}
