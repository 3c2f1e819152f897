#pragma once

// Icons from ordinary bitmaps: pixels of one key colour become transparent, and an icon handle is
// written as a one-image .ico file at a chosen colour depth. The document builds every image of a
// saved project this way before the image lists put the file together.

#include "framework/palette.h"
#include "framework/types.h"
#include "platform/icon_handle.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class QImage;
class TGraphic;
class TIcon;
class TStream;
struct IconBitmapHeader;

// Pixels of exactly this colour (red 210, green 0, blue 255) are transparent in the icon.
constexpr TColor IconKeyColor = 0xFF00D2;

// Colour-count argument of the writer: 2 gives 1 bit per pixel (black and white), 16 gives 4 (the
// 16 standard colours), 256 gives 8 (the halftone table), 24 gives 24 bits. 0 and any other value
// keep the bitmap's own depth.

// Makes a width by height icon of the picture and writes it to the file as a one-image .ico at
// the depth of colors. An existing file is replaced only once the whole icon is written.
void SaveBitmapAsIcon(TGraphic* bitmap, const QString& fileName, int width, int height, int colors);

// A new icon, owned by the caller, of width by height pixels: the picture drawn at 0, 0 over white,
// with the mask set exactly where the pixel has the key colour (those pixels black in the colour
// part); every other pixel opaque with its own colour. A size outside 1..kMaxIconSide gives an icon
// without a handle.
std::unique_ptr<TIcon> BitmapToMaskedIcon(TGraphic* picture, int width, int height);

// Writes the icon's handle as a one-image .ico file (created or replaced).
void SaveIconToFile(TIcon* icon, const QString& fileName, int colors);

// Appends a one-image .ico of the icon, preceded by its length as a uint32 when withLength is set.
// An icon whose bitmaps cannot be read, or larger than 256 pixels a side, raises EInvalidGraphic
// ("Bitmap image is not valid") and writes nothing. At 32 bits an icon without alpha takes its
// alpha from the mask (0 where transparent, 255 elsewhere). A table given for a 1-, 4- or 8-bit
// depth replaces the fixed one (see GetDIBBits).
void WriteIconFile(TStream* stream, HICON icon, int colors, bool withLength, const TPaletteEntries* table = nullptr);

// The device-independent form of a bitmap at the depth of colors: its 40-byte header (bottom-up
// rows, no compression, image size filled in). A null bitmap raises EInvalidGraphic.
void InitBitmapInfoHeader(const QImage& bitmap, IconBitmapHeader& header, int colors);
// Bytes of the header with its full colour table, and of the rows.
void GetDIBSizes(const QImage& bitmap, int colors, int64_t& infoHeaderSize, int64_t& imageSize);
// The header with its colour table (the fixed table of the depth) and the rows, bottom row first.
// Pixels of a 1-, 4- or 8-bit depth take the nearest colour of the table; a 1-bit bitmap written at
// 1 bit keeps its bits as they are. A null bitmap raises as InitBitmapInfoHeader does.
// With ownTable (1 to 2^depth colours) the pixels take the nearest of its colours instead, and the
// colour table holds it, padded with black to the depth's full size.
void GetDIBBits(const QImage& bitmap, int colors, std::vector<uint8_t>& bits, std::vector<uint8_t>& infoHeader,
                const TPaletteEntries* ownTable = nullptr);
