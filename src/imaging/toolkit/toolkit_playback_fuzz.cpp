// Animations played by the toolkit: every page of the file, placed by the file's own offsets and
// disposals on a canvas of its screen size, played through twice, under low resource limits.
#include "imaging/toolkit/imaging_files.h"
#include "imaging/toolkit/toolkit_library.h"
#include "imaging/toolkit/toolkit_playback.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <unistd.h>
#include <vector>

namespace {

struct TFuzzLoad {
    TKPlayback Playback = 0;
    const std::vector<TKFrameInfo>* Frames = nullptr;
    size_t Pages = 0;
};

int AppendPage(TKBitmap* bitmap, uint8_t*, uint32_t flags, int32_t firstRow, int32_t rowCount, void* userData)
{
    auto* load = static_cast<TFuzzLoad*>(userData);
    if (flags & TKRF_PageStart) {
        const TKFrameInfo info = load->Pages < load->Frames->size() ? (*load->Frames)[load->Pages] : TKFrameInfo();
        TK_AppendPlaybackPage(load->Playback, bitmap, &info);
        ++load->Pages;
    }
    TK_ValidatePlaybackRows(load->Playback, firstRow, rowCount);
    int32_t state = 0;
    TK_ProcessPlayback(load->Playback, &state);
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
        return QDir::temp().filePath(QStringLiteral("toolkit_playback_fuzz_%1.gif").arg(getpid()));
    }();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    TKFileInfo info;
    std::vector<TKFrameInfo> frames;
    if (TK_FileInfo(path, &info, sizeof info, 1, nullptr) == TK_Success &&
        TK_ReadFrameInfo(path, 1, frames) == TK_Success) {
        const int32_t width = info.ScreenWidth > 0 ? info.ScreenWidth : info.Width;
        const int32_t height = info.ScreenHeight > 0 ? info.ScreenHeight : info.Height;
        TKBitmap canvas;
        TFuzzLoad load;
        load.Frames = &frames;
        if (TK_CreatePlaybackCanvas(&canvas, width, height, info.BackgroundColor) == TK_Success &&
            TK_CreatePlayback(&canvas, 0, &load.Playback) == TK_Success) {
            TKBitmap bitmap;
            TKLoadOptions options;
            TK_LoadFile(path, &bitmap, sizeof bitmap, 0, 4, 19, AppendPage, &load, &options, nullptr);
            TKBitmapList list = 0;
            TK_DestroyPlayback(load.Playback, &list);
            TKPlayback replay = 0;
            if (list && TK_CreatePlayback(&canvas, list, &replay) == TK_Success) {
                for (size_t step = 0; step < 8 * (load.Pages + 1); ++step) {
                    int32_t state = 0;
                    TK_ProcessPlayback(replay, &state);
                    if (state == TKPS_Waiting)
                        TK_CancelPlaybackWait(replay);
                }
                TK_SetPlaybackIndex(replay, int32_t(load.Pages / 2));
                TK_DestroyPlayback(replay, nullptr);
            }
            if (list)
                TK_DestroyBitmapList(list);
        }
    }
    QFile::remove(path);
    return 0;
}
