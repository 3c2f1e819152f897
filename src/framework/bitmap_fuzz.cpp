// BMP and packed-DIB reading must reject any input with the framework's errors, never crash.
#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/streams.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        TBitmap b;
        TMemoryStream s(bytes);
        b.LoadFromStream(&s);
        TMemoryStream out;
        b.SaveToStream(&out);
    } catch (const Exception&) {
    }
    try {
        TBitmap b;
        b.LoadFromDIB(bytes.mid(14));
        b.SetPixelFormat(pf8bit);
    } catch (const Exception&) {
    }
    return 0;
}
