// Reads arbitrary bytes as an icon library (16-bit or 32-bit, whichever the header says). Beyond
// not crashing, a library that loaded must write a 16-bit library that reads back and writes the
// same bytes again.
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "framework/string_list.h"
#include "imaging/icons/icl_reader.h"
#include "imaging/icons/icl_writer.h"
#include "imaging/icons/icon_library.h"
#include "imaging/icons/multi_icon.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

namespace {

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
    return path;
}

QByteArray Written(TIconLibrary& library)
{
    TMemoryStream stream;
    T16BitWriter(&library).WriteStream(&stream);
    return stream.Bytes();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, QStringLiteral("fuzz.icl"), QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    TIconLibrary library;
    try {
        library.LoadFromFile(path);
    } catch (const EResNotFound&) {
        return 0;
    }
    // A 16-bit library that the system's icon count refuses still goes through the reader.
    T16BitReader direct(path);
    direct.ReadIcons();

    TStringList* icons = library.Icons();
    for (int i = 0; i < icons->Count(); ++i) {
        auto* icon = dynamic_cast<TMultiIcon*>(icons->Objects(i));
        for (uint16_t k = 0; icon && k < icon->Count() && k < 4; ++k)
            icon->GetIconHandle(k);
    }
    if (icons->Count() == 0)
        return 0;
    QByteArray first;
    try {
        first = Written(library);
    } catch (const EICLReadError&) {
        return 0; // too many groups or images to write
    }
    const QString again = WriteFile(dir, QStringLiteral("again.icl"), first);
    TIconLibrary reread;
    reread.LoadFromFile(again);
    if (reread.Icons()->Count() != icons->Count() || Written(reread) != first)
        std::abort();
    return 0;
}
