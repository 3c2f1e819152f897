// Loads arbitrary bytes as an editable icon from a file. Beyond not crashing, an icon that loaded
// must write a file that loads again to the same bytes, and so must a copy of it.
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/icons/icon_image_list.h"

#include <QByteArray>
#include <QTemporaryFile>
#include <cstdlib>

namespace {

QByteArray Saved(TAdvancedIcon& icon)
{
    TMemoryStream s;
    icon.SaveToStream(&s);
    return s.Bytes();
}

bool LoadBytes(TAdvancedIcon& icon, const QByteArray& bytes)
{
    QTemporaryFile file;
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        std::abort();
    return icon.LoadFromFile(file.fileName());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TAdvancedIcon icon;
    if (!LoadBytes(icon, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))))
        return 0;
    const QByteArray saved = Saved(icon);
    TAdvancedIcon copy;
    copy.AssignIcon(&icon);
    if (Saved(copy) != saved)
        std::abort();
    if (saved.isEmpty())
        return 0;
    TAdvancedIcon again;
    if (!LoadBytes(again, saved) || Saved(again) != saved)
        std::abort();
    return 0;
}
