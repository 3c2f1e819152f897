#pragma once

// Variable-length-code LZW coding of GIF image data. Pixel buffers are device-independent:
// rows bottom-up (the image's top row last in memory), each padded to a multiple of 4 bytes,
// 1, 4 or 8 bits per pixel with the leftmost pixel in the high bits of a byte.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>

class TStream;

// Progress of a coding run: stage 0 starting, 1 running, 2 ending; a percentage; and, when the
// run ends through an exception, that exception's message.
enum TGifProgressStage { gpsStarting = 0, gpsRunning = 1, gpsEnding = 2 };
using TGifProgressProc = std::function<void(TGifProgressStage stage, int percent, const QString& message)>;

// Bytes per row of a pixel buffer.
inline int GifRowStride(int width, int bitsPerPixel)
{
    return static_cast<int>(((static_cast<int64_t>(width) * bitsPerPixel + 31) / 32) * 4);
}

// Decodes one frame's data (minimum code size, sub-blocks, terminator) read from data at its
// position into pixels, a zero-filled buffer of bufferSize bytes for width x height pixels of
// bitsPerPixel (1, 4 or 8). colorBits (1..8) are the bits of the colour table that decodes the
// frame; an index beyond that table is drawn masked into it. Nothing is written outside the
// buffer. Returns true when the data was corrupt; with acceptCorrupted off, corrupt data raises
// EInvalidGraphicOperation instead. The stream is left after the bytes consumed.
bool GifLzwDecode(TStream* data, int width, int height, int bitsPerPixel, bool interlaced,
                  const TGifProgressProc& progress, uint8_t* pixels, size_t bufferSize,
                  int colorBits, bool acceptCorrupted);

// The same over bytes in memory; returns the corrupted flag and, in consumed, how many bytes the
// frame's data took. With topDown the buffer's rows run from the image's top row down instead
// (as a framework bitmap keeps them).
bool GifLzwDecodeBytes(const uint8_t* data, size_t size, int width, int height, int bitsPerPixel,
                       bool interlaced, const TGifProgressProc& progress, uint8_t* pixels,
                       size_t bufferSize, int colorBits, bool acceptCorrupted,
                       size_t* consumed = nullptr, bool topDown = false);

// Encodes width x height pixels of bitsPerPixel (1, 4 or 8) into target: the minimum-code-size
// byte, sub-blocks of at most 255 bytes and the terminating empty sub-block.
void GifLzwEncode(TStream* target, int width, int height, int bitsPerPixel, bool interlaced,
                  const TGifProgressProc& progress, const uint8_t* pixels);
