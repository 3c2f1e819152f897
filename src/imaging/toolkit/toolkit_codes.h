#pragma once

// The imaging toolkit's return codes with their English texts, and its bitmap record.
//
// Every toolkit call returns 1 for success or one of the codes below. ToolkitErrorText gives the
// sentence the toolkit image control puts into its error messages.

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QImage;
class QRegion;

// Codes our own toolkit layer returns; the whole table is in ToolkitErrorText.
enum : int {
    TK_DialogOk = 100,
    TK_Success = 1,
    TK_Failure = 0,
    TK_ErrNoMemory = -1,
    TK_ErrBitmapHandle = -2,
    TK_ErrSeek = -4,
    TK_ErrWriteFile = -5,
    TK_ErrReadFile = -7,
    TK_ErrFileName = -8,
    TK_ErrFileFormat = -9,
    TK_ErrFileNotFound = -10,
    TK_ErrWidthHeight = -11,
    TK_ErrSubType = -12,
    TK_ErrParameter = -13,
    TK_ErrOpenFile = -14,
    TK_ErrNotSupported = -16,
    TK_ErrQFactor = -21,
    TK_ErrBitsPerPixel = -27,
    TK_ErrUserAbort = -29,
    TK_ErrLayerIndex = -800,
    TK_ErrNoLayers = -801,
};

// The text of a toolkit code; "Undefined Error: " and the code for a code the table does not hold.
void ToolkitErrorText(int code, QString& text);
QString ToolkitErrorText(int code);
// Whether the table holds a text of its own for the code.
bool IsToolkitCode(int code);

// Bits of TKBitmap::Flags.
enum : uint32_t {
    TKBF_Allocated = 0x01,
    TKBF_Transparent = 0x80,
};

// The toolkit's bitmap record. Rows run from the top; 32-bit pixels are blue, green, red, alpha
// (not premultiplied), 24-bit ones blue, green, red; 1-, 4- and 8-bit pixels are indexes into
// the palette, the leftmost pixel in the high bits of its byte; each row is padded to four bytes.
//
// A copy of the record refers to the same pixels, as the toolkit's records do; TK_CopyBitmap makes
// one with pixels of its own. Pixels live as long as a record refers to them, so a record that
// outlives the list or the load that filled it never points at freed memory.
//
// The region (toolkit_regions.h) is a value of the record: a region is never changed in place but
// replaced, so copies of a record keep the region they were made with.
struct TKBitmap {
    uint32_t StructSize = sizeof(TKBitmap);
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t BitsPerPixel = 0;
    int32_t RowBytes = 0;
    uint32_t Flags = 0;
    // 1 top-left (as stored) to 8; 5 to 8 exchange rows and columns on display.
    int32_t ViewPerspective = 1;
    int32_t XResolution = 0; // dots per inch
    int32_t YResolution = 0;
    uint32_t TransparentColor = 0; // 0x00BBGGRR, meaningful with TKBF_Transparent
    std::vector<uint32_t> Palette; // 0x00BBGGRR, 2^bits entries at 8 bits per pixel or fewer
    std::shared_ptr<std::vector<uint8_t>> Pixels;
    // In stored pixel coordinates; null when the bitmap has none.
    std::shared_ptr<const QRegion> Region;

    uint8_t* Row(int y) { return Pixels->data() + size_t(y) * size_t(RowBytes); }
    const uint8_t* Row(int y) const { return Pixels->data() + size_t(y) * size_t(RowBytes); }
};

// A record is allocated when it is given and its allocated bit is set.
bool IsBitmapAllocated(const TKBitmap* bitmap);
// View perspectives 5 to 8 show rows as columns.
bool IsViewTransposed(const TKBitmap& bitmap);
// The size as shown: width and height exchanged for the transposed perspectives.
int BitmapViewWidth(const TKBitmap& bitmap);
int BitmapViewHeight(const TKBitmap& bitmap);

// The stored value of pixel (x, y), for every depth: the palette index at 1, 4 and 8 bits per
// pixel (the leftmost pixel in the high bits of its byte), blue | green << 8 | red << 16 at 24
// and, with alpha << 24, at 32. The caller keeps (x, y) inside the bitmap.
uint32_t BitmapPixel(const TKBitmap& bitmap, int x, int y);
// The colour of pixel (x, y) as 0xAARRGGBB; palette and 24-bit pixels are opaque.
uint32_t BitmapColour(const TKBitmap& bitmap, int x, int y);
// Whether the record holds pixels that fit its size and depth (1, 4, 8 with a whole palette, 24
// or 32 bits per pixel).
bool HasBitmapPixels(const TKBitmap* bitmap);
// The stored pixels (not turned by the view perspective) as a Format_ARGB32 picture of their own;
// a null picture without pixels.
QImage BitmapImage(const TKBitmap& bitmap);
// The index of the palette entry (0x00BBGGRR) nearest to colour (0x00RRGGBB).
uint32_t NearestPaletteEntry(const std::vector<uint32_t>& palette, uint32_t colour);
void SetBitmapPixel(TKBitmap& bitmap, int x, int y, uint32_t value);
