#pragma once

// Colour reduction of 24-bit pixel rows to an 8-bit palette image, and the BMP-file images the
// GIF codec reads its frames from.

#include <QByteArray>
#include <cstdint>

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
