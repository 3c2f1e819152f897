// Files handed to the toolkit image control: the description, every page and every layer, read
// through the toolkit layer the control loads with, under low resource limits.
#include "imaging/toolkit/imaging_files.h"
#include "imaging/toolkit/toolkit_library.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <unistd.h>

namespace {

int KeepGoing(TKBitmap*, uint8_t*, uint32_t, int32_t, int32_t, void*)
{
    return 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString path = [] {
        TImagingLimits limits;
        limits.MaxFileBytes = 1 << 20;
        limits.MaxSide = 512;
        limits.MaxPixels = 64 * 1024;
        SetImagingLimits(limits);
        return QDir::temp().filePath(QStringLiteral("toolkit_image_fuzz_%1.psd").arg(getpid()));
    }();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    TKFileInfo info;
    if (TK_FileInfo(path, &info, sizeof info, 1, nullptr) == TK_Success) {
        TKBitmap bitmap;
        TKLoadOptions options;
        TK_LoadFile(path, &bitmap, sizeof bitmap, 32, 4, 19, KeepGoing, nullptr, &options, nullptr);
        for (int32_t layer = 0; layer < info.LayerCount && layer < 64; ++layer)
            TK_LoadLayer(path, &bitmap, sizeof bitmap, 0, 4, layer, nullptr, nullptr);
    }
    QFile::remove(path);
    return 0;
}
