// Bytes handed to the toolkit image control other than as a file: a bitmap block, a blob of a
// data field, and the picture inside either, read from memory and fed in pieces through the
// toolkit layer, under low resource limits.
#include "imaging/toolkit/imaging_files.h"
#include "imaging/toolkit/toolkit_image.h"
#include "imaging/toolkit/toolkit_library.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace {

int KeepGoing(TKBitmap*, uint8_t*, uint32_t, int32_t, int32_t, void*)
{
    return 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool limited = [] {
        TImagingLimits limits;
        limits.MaxFileBytes = 1 << 20;
        limits.MaxSide = 512;
        limits.MaxPixels = 64 * 1024;
        SetImagingLimits(limits);
        return true;
    }();
    (void)limited;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    TKBitmap bitmap;
    if (TToolkitImage::ReadOCXBlock(bytes, bitmap) == TK_Success) {
        QByteArray again;
        TToolkitImage::MakeOCXBlock(bitmap, again);
    }

    QByteArray image;
    if (TToolkitImage::BlobImage(bytes, image) != TK_Success || image.isEmpty())
        return 0;
    TKFileInfo info;
    TKLoadOptions options;
    if (TK_FileInfoMemory(image.constData(), image.size(), &info, sizeof info, 1, &options) == TK_Success) {
        options.PageNumber = 2;
        TK_LoadBitmapMemory(image.constData(), image.size(), &bitmap, sizeof bitmap, 0, 1, &options, &info);
    }

    // Fed in two pieces; the stop decodes and, for data cut short, looks for the pages before the
    // cut.
    TKFeedHandle feed = 0;
    options.PageNumber = 1;
    if (TK_StartFeedLoad(&feed, &bitmap, sizeof bitmap, 32, 1, 19, KeepGoing, nullptr, &options) == TK_Success) {
        const qsizetype half = image.size() / 2;
        TK_FeedLoad(feed, image.constData(), int32_t(half));
        TK_FeedLoad(feed, image.constData() + half, int32_t(image.size() - half));
        TK_StopFeedLoad(feed);
    }
    return 0;
}
