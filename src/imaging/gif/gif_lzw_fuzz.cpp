// Decodes arbitrary frame data into a small frame, then checks that encoding the decoded pixels
// and decoding them again gives the same pixels.
#include "imaging/gif/gif_lzw.h"

#include "framework/streams.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const int width = 1 + data[0] % 64;
    const int height = 1 + data[1] % 64;
    static const int kDepths[3] = {1, 4, 8};
    const int bpp = kDepths[data[2] % 3];
    const bool interlaced = data[2] & 0x80;
    const int colorBits = 1 + (data[3] & 7);
    data += 4;
    size -= 4;

    const size_t bufferSize = size_t(GifRowStride(width, bpp)) * height;
    std::vector<uint8_t> pixels(bufferSize, 0);
    GifLzwDecodeBytes(data, size, width, height, bpp, interlaced, {}, pixels.data(), bufferSize, colorBits, true);

    TMemoryStream encoded;
    GifLzwEncode(&encoded, width, height, bpp, interlaced, {}, pixels.data());
    std::vector<uint8_t> again(bufferSize, 0);
    const bool corrupted = GifLzwDecodeBytes(reinterpret_cast<const uint8_t*>(encoded.Memory()), size_t(encoded.Size()),
                                             width, height, bpp, interlaced, {}, again.data(), bufferSize, 8, true);
    if (corrupted)
        std::abort();
    // Padding bits at the end of a row are not pixels.
    const int stride = GifRowStride(width, bpp);
    const int usedBits = width * bpp;
    for (int y = 0; y < height; ++y) {
        const uint8_t* a = pixels.data() + size_t(y) * stride;
        const uint8_t* b = again.data() + size_t(y) * stride;
        if (std::memcmp(a, b, size_t(usedBits / 8)) != 0)
            std::abort();
        if (usedBits % 8) {
            uint8_t mask = uint8_t(0xFF << (8 - usedBits % 8));
            if ((a[usedBits / 8] & mask) != (b[usedBits / 8] & mask))
                std::abort();
        }
    }
    return 0;
}
