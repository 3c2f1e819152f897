#include "document/document_files.h"

#include <QByteArray>
#include <QImage>
#include <cstdint>

// The first two bytes give the width and height the caller expects; the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    QImage target(17, 9, QImage::Format_ARGB32);
    target.fill(0);
    const QByteArray file(reinterpret_cast<const char*>(data) + 2, qsizetype(size - 2));
    CopyXPIconPixels(file, data[0], data[1], target);
    int bits = 0;
    IconImageColorTable(file, bits);
    return 0;
}
