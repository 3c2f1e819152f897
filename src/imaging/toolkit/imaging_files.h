#pragma once

// Pictures in and out of the outside image library: which raster formats the image control
// decodes, how it recognises them, and the encoders of its save operations. Every picture is held
// as 8-bit red, green, blue, alpha (TRGBABuffer).

#include "framework/magick_bridge.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// Bounds that protect against pictures that would take unreasonable memory: a file larger than
// MaxFileBytes or a picture beyond MaxSide pixels on a side or MaxPixels in all is refused
// before its pixels are decoded.
struct TImagingLimits {
    int64_t MaxFileBytes = 256 * 1024 * 1024;
    int MaxSide = 16384;
    int64_t MaxPixels = 40 * 1024 * 1024;
};

// Initialises the image library on first use (once per process) and applies the limits; later
// calls only apply the limits.
void InitializeImaging();
const TImagingLimits& ImagingLimits();
void SetImagingLimits(const TImagingLimits& limits);

// The library's format name for the picture in data, from its content, or for the formats
// without a signature (TGA and its variants, WBMP, headerless DIB) from the lower-case extension
// with a leading dot. Empty when the data is no format the control reads. "EMF" is recognised
// so that callers can say why it is not read.
QString DetectPictureFormat(const QByteArray& data, const QString& extension);

enum class TPictureReadResult { Ok, Unrecognized, TooLarge };

// Decodes the first picture in data (the first frame or page of a multi-picture file).
TPictureReadResult ReadPictureData(const QByteArray& data, const QString& extension, TRGBABuffer& out);

// Encoders of the save operations; each returns the whole file. They raise Magick::Exception when
// the library fails.
QByteArray EncodePng(const TRGBABuffer& picture);
QByteArray EncodeTga(const TRGBABuffer& picture);
// A one-frame GIF. With transparent set, the pixels of colour (0x00BBGGRR, alpha ignored) are
// written transparent; pixels with alpha below half are transparent in any case.
QByteArray EncodeGif(const TRGBABuffer& picture, bool transparent, uint32_t colour);
// A BMP file with the classic 40-byte header and 32-bit pixels (alpha in the fourth byte).
QByteArray EncodeBmp(const TRGBABuffer& picture);
