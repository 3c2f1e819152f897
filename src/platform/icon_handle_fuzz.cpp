// Feeds icon images to the icon decoder. An input that starts like an .ico or .cur file has each
// directory entry's bytes (clamped to the input) decoded; any input is also decoded whole, as an
// icon and as a cursor resource, at its own size and scaled.
#include "platform/icon_handle.h"

#include <QPainter>

#include <cstddef>
#include <cstdint>

namespace {

void Exercise(const uint8_t* p, size_t n, bool icon)
{
    const uint32_t size = uint32_t(std::min<size_t>(n, UINT32_MAX));
    HICON h = CreateIconFromResourceEx(p, size, icon, kIconResourceVersion, 0, 0, 0);
    if (h) {
        ICONINFO info;
        GetIconInfo(h, &info);
        HICON again = CreateIconIndirect(&info);
        DestroyIcon(again);
        QImage canvas(8, 8, QImage::Format_RGB32);
        QPainter painter(&canvas);
        DrawIconEx(&painter, -2, -2, h, 11, 5, 0, nullptr, DI_NORMAL);
        DrawIconEx(&painter, 0, 0, h, 0, 0, 0, nullptr, DI_MASK);
        DestroyIcon(h);
    }
    DestroyIcon(CreateIconFromResourceEx(p, size, icon, kIconResourceVersion, 7, 3, 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size >= 6 && data[0] == 0 && data[1] == 0 && (data[2] == 1 || data[2] == 2) && data[3] == 0) {
        const size_t count = data[4] | (data[5] << 8);
        BestIconDirectoryEntry(data, size, data[2] == 1, 0, 0, true);
        for (size_t i = 0; i < count && 6 + 16 * (i + 1) <= size; ++i) {
            const uint8_t* e = data + 6 + 16 * i;
            const uint64_t length = e[8] | (e[9] << 8) | (e[10] << 16) | (uint64_t(e[11]) << 24);
            const uint64_t offset = e[12] | (e[13] << 8) | (e[14] << 16) | (uint64_t(e[15]) << 24);
            if (offset >= size)
                continue;
            Exercise(data + offset, size_t(std::min<uint64_t>(length, size - offset)), true);
        }
    }
    Exercise(data, size, true);
    Exercise(data, size, false);
    return 0;
}
