// Reads arbitrary bytes as a GIF, decodes every frame and writes the picture back out.
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/gif/gif_image.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemoryStream in(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    TGIFImage gif;
    try {
        gif.ReadGif(int64_t(size), &in, true);
    } catch (const Exception&) {
    }
    for (int i = 0; i < gif.GetCount(); ++i) {
        try {
            gif.GetFrame(i)->DecodeToDib();
        } catch (const Exception&) {
        }
    }
    if (gif.GetCount() > 0) {
        TMemoryStream out;
        try {
            gif.WriteGif(&out, false);
        } catch (const Exception&) {
        }
    }
    return 0;
}
