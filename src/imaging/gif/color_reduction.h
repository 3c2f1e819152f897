#pragma once

// Colour reduction of 24-bit pixel rows to an 8-bit palette image, and the BMP-file images the
// GIF codec reads its frames from.

#include <QByteArray>
#include <QRgb>
#include <cstdint>
#include <vector>

class TBitmap;
class TMemoryStream;
enum TPixelFormat : uint8_t;

enum : uint8_t {
    MethodFrequency = 0,
    MethodMedianCut = 1,
    MethodTrunc784 = 2,
    MethodTrunc666 = 3,
    MethodTripel = 4,
    MethodGrayscale = 5,
};

// The method the GIF codec reduces deep frames with; the GIF builder lets the user choose it.
extern uint8_t DefaultReductionMethod;

// One colour-table entry as a BMP file stores it.
struct TPaletteEntry {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
    uint8_t Reserved = 0;
};

// Index (0-based) of the level nearest to value in a level set of 4, 6, 7 or 8 levels; the lower
// index wins a tie.
int NearestLevelIndex(int levels, uint8_t value);

// Reduces rows of blue-green-red pixels, stored bottom-up with each row padded to 4 bytes, in place
// into rows of 8-bit indices (each padded to 4 bytes) and fills the 256-entry palette. Returns the
// count of important colours the method reports, or 0 when it reports none.
int ReduceRows24To8(uint8_t* rows, int width, int height, uint8_t method, TPaletteEntry palette[256]);

// A BMP-file image in memory, as the codec reads and writes frame pictures.
struct TDibInfo {
    int Width = 0;
    int Height = 0;         // positive: rows bottom-up
    int BitCount = 0;
    int64_t BitsOffset = 0; // from the start of the file image
    int ColorCount = 0;     // entries in the colour table
    int64_t PaletteOffset = 0;
    int ImportantColors = 0;
};

// Reads the headers of a BMP-file image; false when they do not describe an uncompressed image
// whose table and rows lie inside the data.
bool ParseDib(const QByteArray& file, TDibInfo& info);

// Builds a BMP-file image: file header, 40-byte information header, colour table of 2^bits
// entries for 1, 4 and 8 bits (none above), then the rows as given (bottom-up, padded to 4).
QByteArray MakeDibFile(int width, int height, int bitCount, const TPaletteEntry* palette,
                       int paletteCount, const uint8_t* rows, int importantColors = 0);

// A 24-bit BMP-file image reduced to 8 bits with the given method.
QByteArray ReduceDib24To8(const QByteArray& dib24, uint8_t method);

// The bitmap as a BMP-file image in a pixel format of 1, 4, 8 or 24 bits; for a format of 8 bits
// or less the colours map to the nearest entries of palette when one is given (0x00RRGGBB
// entries), else of the framework's table for that depth. Raises EInvalidGraphic ("Bitmap image
// is not valid") for a missing or empty bitmap.
QByteArray BitmapToDIBFile(TBitmap* bitmap, const std::vector<QRgb>* palette, TPixelFormat format);
// Size of the information header with its colour table, and of the pixel rows, of the bitmap in
// that format.
void DIBSizes(TBitmap* bitmap, TPixelFormat format, int& infoSize, int& imageSize);

// The bitmap as a BMP-file image in a new stream (positioned at 0, owned by the caller) in the
// requested format: 8 bits through the reduction method, 1 and 4 bits through the nearest
// colours, 24 bits as they are; a bitmap already in that format (and no greyscale wanted) as it
// is saved. Other formats show "Function not yet implemented" and abort silently.
TMemoryStream* ReduceBitmapColors(TBitmap* bitmap, TPixelFormat format, uint8_t method);
