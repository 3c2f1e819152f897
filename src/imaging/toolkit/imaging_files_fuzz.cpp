// Pictures handed to the image control: our recognition of the format and the guarded decode.
// The last byte picks the name the file comes under, so that the formats known only by their
// extension are reached as well.
#include "imaging/toolkit/imaging_files.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        TImagingLimits limits;
        limits.MaxFileBytes = 1 << 20;
        limits.MaxSide = 512;
        limits.MaxPixels = 64 * 1024;
        SetImagingLimits(limits);
        return true;
    }();
    (void)ready;
    static const char* const extensions[] = {".png", ".tga", ".wbmp", ".dib", ".pcx", ".wmf", ".vst", ".ico"};
    const char* extension = extensions[size ? data[size - 1] % 8 : 0];
    TRGBABuffer out;
    ReadPictureData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), QLatin1String(extension), out);
    return 0;
}
