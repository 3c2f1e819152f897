#pragma once

// The imaging toolkit's entry points, our own layer on the outside image library.
//
// Pictures are read and written by the outside library; bitmap records and bitmap lists are ours.
// Every call returns 1 for success or a toolkit code (toolkit_codes.h). The formats are told apart
// by their content, never by the library's own guess, and a picture beyond the size limits of the
// image control (imaging_files.h) is refused before its pixels are decoded.
//
// A layered picture (format TKFMT_PSD) reads as one page, the composite, with one layer per layer
// the file holds, in file order, each with its own size, offset and name. Other files read as one
// page per frame or page and hold no layers.
//
// Entry points whose work this layer cannot do here return TK_ErrNotSupported ("Feature not
// supported.").

#include "imaging/toolkit/toolkit_codes.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

// File-format codes. Reading reports the format of a file; saving writes the format of the code.
enum : int {
    TKFMT_DATA = 5,   // saved only: a lossless picture at 24 or 32 bits (the database link's default)
    TKFMT_GIF = 2,    // saved at 8 bits; a list is saved as an animation
    TKFMT_BMP = 6,
    TKFMT_TGA = 8,    // read back from files named .tga
    TKFMT_PNG = 10,   // saved at 24 bits, transparency over white
    TKFMT_JPEG = 12,  // saved at 24 bits with the quality of the save, 1 to 100 (0 or below: 75)
    TKFMT_TIFF = 14,  // the one format of many pages a save adds to (TKSaveOptions)
    TKFMT_PCX = 16,
    TKFMT_PSD = 31,   // saved at 32 bits, with layers through TK_SaveBitmapWithLayers
    TKFMT_SGI = 40,
    TKFMT_PNM = 41,
    TKFMT_PCD = 42,   // saved at its own fixed size, 768 x 512
    TKFMT_RLE = 43,   // read only: the library has no writer of it
    TKFMT_WMF = 44,   // saved at 24 bits by our own metafile writer
    TKFMT_ICO = 45,
    TKFMT_CUR = 46,   // saved with its hot spot at (0, 0)
    TKFMT_WBMP = 47,  // saved at 1 bit; read back from files named .wbmp
    TKFMT_DIB = 48,   // the picture without the file header; read back from files named .dib
    TKFMT_FRAME = 51, // a raster frame, saved at 576 x 720 whatever the bitmap's size
    TKFMT_MNG = 59,   // an animation, one page per frame; a save writes one frame
    TKFMT_WEBP = 119, // an animated one reads as one page per frame; saved lossless
    TKFMT_PNG32 = 75, // saved at 32 bits with alpha
};

// The size TKFMT_FRAME pictures are saved at.
enum : int {
    TKFRAME_Width = 576,
    TKFRAME_Height = 720,
};

// Flags of TKFileInfo::Flags.
enum : uint32_t {
    TKFI_Background = 0x08,
    TKFI_GlobalPalette = 0x10,
    TKFI_Loop = 0x20,
    TKFI_Resolution = 0x400,
    TKFI_ForcedFormat = 0x1000,
};

// What a file holds, filled by TK_FileInfo and TK_LoadFile. Before a load the caller may force a
// format (Format and TKFI_ForcedFormat) and a resolution for drawn formats (Resolution and
// TKFI_Resolution).
struct TKFileInfo {
    uint32_t StructSize = sizeof(TKFileInfo);
    int32_t Format = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t BitsPerPixel = 0;
    int32_t TotalPages = 0;
    uint32_t Flags = 0;
    int32_t LoopCount = 0; // 0 = endless, with TKFI_Loop
    int32_t ScreenWidth = 0;
    int32_t ScreenHeight = 0;
    uint32_t BackgroundColor = 0; // 0x00BBGGRR, with TKFI_Background
    uint32_t GlobalPalette[256] = {}; // 0x00BBGGRR, with TKFI_GlobalPalette
    int32_t LayerCount = 0;
    int32_t Compression = 0;
    int32_t XResolution = 0;
    int32_t YResolution = 0;
    int32_t ViewPerspective = 1;
    int32_t ColorsUsed = 0;
    int32_t AlphaPresent = 0;
    int32_t Interlaced = 0;
    int32_t Version = 0;
    char FormatText[20] = {};
    int32_t Resolution = 0;
};

// Flags of TKLoadOptions::Flags.
enum : uint32_t {
    TKLO_Resolution = 0x400,
};

struct TKLoadOptions {
    uint32_t StructSize = sizeof(TKLoadOptions);
    int32_t PageNumber = 1; // from 1
    int32_t Passes = 0;
    uint32_t Flags = 0;
    int32_t Resolution = 0;
};

// Flags of TKSaveOptions::Flags.
enum : uint32_t {
    TKSO_Background = 0x04,
    TKSO_Palette = 0x08,
    TKSO_Loop = 0x20,
    TKSO_InsertPage = 0x400,
    TKSO_ReplacePage = 0x800,
    TKSO_Value = 0x20000,
    TKSO_Values = 0x4000000,
};

struct TKSaveOptions {
    uint32_t StructSize = sizeof(TKSaveOptions);
    uint32_t Flags = 0;
    int32_t PageNumber = 1;
    int32_t Passes = 0;
    int32_t Value = 0;
    int32_t ScreenWidth = 0;
    int32_t ScreenHeight = 0;
    int32_t LoopCount = 0;
    uint32_t BackgroundColor = 0;
    uint32_t Palette[256] = {};
    int32_t Value1 = 0;
    int32_t Value2 = 0;
};

// One layer of a layered picture: where it lies on the composite, and its name (UTF-8).
struct TKLayerInfo {
    uint32_t StructSize = sizeof(TKLayerInfo);
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Visible = 1;
    int32_t Opacity = 255;
    char Name[256] = {};
};

// The record a load-information callback fills: eight values after its size.
struct TKLoadInfo {
    uint32_t StructSize = sizeof(TKLoadInfo);
    int32_t Values[8] = {};
};

struct TKVersionInfo {
    uint32_t StructSize = sizeof(TKVersionInfo);
    char Product[40] = {};
    char Copyright[52] = {};
    int32_t Major = 0;
    int32_t Minor = 0;
    int32_t Build = 0;
};

// Option families the toolkit keeps for the formats it draws rather than decodes. This layer
// draws none of them; it keeps what callers set and gives it back.
struct TKPDFOptions {
    uint32_t StructSize = sizeof(TKPDFOptions);
    int32_t UseLibFonts = -1;
    int32_t XResolution = 96;
    int32_t YResolution = 96;
    int32_t DisplayDepth = 24;
    int32_t TextAlpha = 4;
    int32_t GraphicsAlpha = 1;
    int32_t Reserved[8] = {};
};
struct TKRTFOptions {
    uint32_t StructSize = sizeof(TKRTFOptions);
    double LeftMargin = 1.0, TopMargin = 1.0, RightMargin = 1.25, BottomMargin = 1.25;
    double PageWidth = 8.27, PageHeight = 11.69;
};
struct TKPLTOptions {
    uint32_t StructSize = sizeof(TKPLTOptions);
    int32_t PenWidths[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    uint32_t PenColors[8] = {0xFFFFFF, 0x000000, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00};
};
struct TKPTKOptions {
    uint32_t StructSize = sizeof(TKPTKOptions);
    int32_t Resolution = 96;
};
struct TKJ2KOptions {
    uint32_t StructSize = sizeof(TKJ2KOptions);
    int32_t CompressionRatio = 10;
    int32_t QualityLayers = 1;
    int32_t ProgressionOrder = 0;
    int32_t Reserved[4] = {};
};
struct TKPDFSaveOptions {
    uint32_t StructSize = sizeof(TKPDFSaveOptions);
    int32_t Compression = 0;
    int32_t Quality = 75;
    int32_t PageWidth = 0;
    int32_t PageHeight = 0;
    int32_t Reserved[4] = {};
};

// The outside library's name of the format of a picture in data, as the toolkit reads it (name
// lends its extension to the formats without a signature); empty for data it does not read.
QString ToolkitFormatName(const QByteArray& data, const QString& name);

// Feed loads are handles; 0 is none.
using TKFeedHandle = uint32_t;

// Bitmap lists are handles; 0 is none.
using TKBitmapList = uint32_t;

// Flags of a row callback.
enum : uint32_t {
    TKRF_PageStart = 0x01, // the bitmap has been made for a new page
    TKRF_PageEnd = 0x02,   // the page is complete
    TKRF_FirstRows = 0x04,
    TKRF_LastRows = 0x08,
};

// Called for each band of rows of each page a load delivers; anything but 1 stops the load, which
// then returns that value.
using TKRowCallback = int (*)(TKBitmap* bitmap, uint8_t* rows, uint32_t flags, int32_t firstRow, int32_t rowCount,
                              void* userData);
// Progress of saves; 0 stops the save (nothing is written) and the save returns TK_ErrUserAbort.
using TKStatusCallback = int (*)(int32_t percent);
// Asked for the size and layout of a picture whose file does not say them. Every format this
// layer reads says them, so it never asks; the callback is kept for callers that install one.
using TKLoadInfoCallback = int (*)(TKLoadInfo* info);
// Gives row `row` of a picture saved row by row into buffer (rowBytes long); returns 1, or 0 to
// stop the save, which then writes nothing and returns TK_ErrUserAbort.
using TKRowSupplier = int (*)(uint8_t* buffer, int32_t row, int32_t rowBytes, void* userData);

int TK_VersionInfo(TKVersionInfo* info);

// Bitmaps. Allocating gives zeroed pixels at 24 or 32 bits per pixel.
int TK_InitBitmap(TKBitmap* bitmap);
int TK_AllocateBitmap(TKBitmap* bitmap, int32_t width, int32_t height, int32_t bits);
int TK_FreeBitmap(TKBitmap* bitmap);
int TK_CopyBitmap(const TKBitmap* source, TKBitmap* target);
// Resamples the pixels to width x height (as stored).
int TK_SizeBitmap(TKBitmap* bitmap, int32_t width, int32_t height);
// Copies row `row` into buffer; returns the number of bytes copied, or a code below 0.
int TK_GetBitmapRow(const TKBitmap* bitmap, int32_t row, uint8_t* buffer, int32_t bufferSize);
// Turns the pixels so that the bitmap shows as before from the given perspective.
int TK_ChangeBitmapViewPerspective(TKBitmap* bitmap, int32_t perspective);
// A point of the bitmap as shown (its view perspective) in stored coordinates.
int TK_PointToBitmap(const TKBitmap* bitmap, int32_t* x, int32_t* y);
int TK_AccessBitmap(TKBitmap* bitmap);
int TK_ReleaseBitmap(TKBitmap* bitmap);

// Bitmap lists. An item is a record referring to the pixels (the list keeps them alive); index -1
// appends.
int TK_CreateBitmapList(TKBitmapList* list);
int TK_DestroyBitmapList(TKBitmapList list);
int TK_GetBitmapListCount(TKBitmapList list, int32_t* count);
int TK_GetBitmapListItem(TKBitmapList list, int32_t index, TKBitmap* item);
int TK_InsertBitmapListItem(TKBitmapList list, int32_t index, const TKBitmap* item);
int TK_RemoveBitmapListItem(TKBitmapList list, int32_t index, TKBitmap* item);
int TK_SetBitmapListItem(TKBitmapList list, int32_t index, const TKBitmap* item);
int TK_DeleteBitmapListItems(TKBitmapList list, int32_t index, int32_t count);
int TK_CopyBitmapListItems(TKBitmapList target, TKBitmapList source, int32_t index, int32_t count);

// Options.
int TK_GetDefaultLoadFileOption(TKLoadOptions* options);
int TK_GetDefaultSaveFileOption(TKSaveOptions* options);
int TK_GetPDFOptions(TKPDFOptions* options);
int TK_SetPDFOptions(const TKPDFOptions* options);
int TK_Get2DViewMode(int32_t* mode);
int TK_Set2DViewMode(int32_t mode);
int TK_Get2DViewport(int32_t* width, int32_t* height);
int TK_Set2DViewport(int32_t width, int32_t height);
int TK_GetWMFResolution(int32_t* x, int32_t* y);
int TK_SetWMFResolution(int32_t x, int32_t y);
int TK_GetRTFOptions(TKRTFOptions* options);
int TK_SetRTFOptions(const TKRTFOptions* options);
int TK_GetPLTOptions(TKPLTOptions* options);
int TK_SetPLTOptions(const TKPLTOptions* options);
int TK_GetPTKOptions(TKPTKOptions* options);
int TK_SetPTKOptions(const TKPTKOptions* options);
int TK_GetCADColorScheme(int32_t* scheme);
int TK_SetCADColorScheme(int32_t scheme);
int TK_GetJ2KOptions(TKJ2KOptions* options);
int TK_SetJ2KOptions(const TKJ2KOptions* options);
int TK_GetPDFSaveOptions(TKPDFSaveOptions* options);
int TK_SetPDFSaveOptions(const TKPDFSaveOptions* options);

// Callbacks; each setter returns the callback it replaces.
TKStatusCallback TK_SetStatusCallBack(TKStatusCallback callback);
TKLoadInfoCallback TK_SetLoadInfoCallback(TKLoadInfoCallback callback);
// For the toolkit's own long operations: hands percent to the installed status callback; false
// when the callback stops the operation, which then returns TK_ErrUserAbort and changes nothing.
bool ToolkitStatus(int32_t percent);

// Files.
// flags: 1 reads the whole description (pages, layers, animation); the pixels are not decoded.
int TK_FileInfo(const QString& name, TKFileInfo* info, uint32_t infoSize, uint32_t flags, const TKLoadOptions* options);
// Loads pages from options->PageNumber onward, each into a new bitmap in *bitmap, delivered to
// callback in bands of rows, until the file ends or the callback returns anything but 1. bits:
// 24, 32, or 0 for 32 with transparency and 24 without. colourOrder: 1 or 4 (this layer keeps one
// order). flags: 16 asks for more than one page; without it the load ends after the first.
int TK_LoadFile(const QString& name, TKBitmap* bitmap, uint32_t bitmapSize, int32_t bits, int32_t colourOrder,
                uint32_t flags, TKRowCallback callback, void* userData, const TKLoadOptions* options, TKFileInfo* info);
// Loads layer `layer` (from 0) of a layered picture into *bitmap, at its own size; layerInfo gets
// where it lies and its name.
int TK_LoadLayer(const QString& name, TKBitmap* bitmap, uint32_t bitmapSize, int32_t bits, int32_t colourOrder,
                 int32_t layer, TKLayerInfo* layerInfo, const TKLoadOptions* options);
// Writes the file whole or not at all: a failed or stopped save leaves what stood at name. Options
// that ask for a page (PageNumber 2 appends the bitmap as the next page, TKSO_InsertPage puts it
// before page PageNumber, from 1 to the pages + 1, and TKSO_ReplacePage in place of page
// PageNumber) write all pages of a TIFF back with it; every other format has one page and
// answers TK_ErrNotSupported. The saves to memory, at an offset, of lists and with layers write
// no pages.
int TK_SaveBitmap(const QString& name, const TKBitmap* bitmap, int32_t format, int32_t bits, int32_t quality,
                  const TKSaveOptions* options);
int TK_SaveBitmapList(const QString& name, TKBitmapList list, int32_t format, int32_t bits, int32_t quality,
                      const TKSaveOptions* options);
int TK_SaveBitmapWithLayers(const QString& name, const TKBitmap* composite, int32_t format, int32_t bits,
                            int32_t quality, TKBitmapList layers, const TKLayerInfo* layerTable, int32_t layerCount,
                            const TKSaveOptions* options);
// Saves a picture of the size and depth of `shape` whose rows come from supplier.
int TK_SaveFile(const QString& name, const TKBitmap* shape, int32_t format, int32_t bits, int32_t quality,
                uint32_t flags, TKRowSupplier supplier, void* userData, const TKSaveOptions* options);
// The same for a picture in memory (size bytes at memory), read through the same checks as a
// file's; formats without a signature (told apart by a file's extension) are not recognised.
int TK_FileInfoMemory(const void* memory, int64_t size, TKFileInfo* info, uint32_t infoSize, uint32_t flags,
                      const TKLoadOptions* options);
// Loads page options->PageNumber of a picture in memory into *bitmap, without a row callback.
int TK_LoadBitmapMemory(const void* memory, int64_t size, TKBitmap* bitmap, uint32_t bitmapSize, int32_t bits,
                        int32_t colourOrder, const TKLoadOptions* options, TKFileInfo* info);
// Encodes the bitmap as TK_SaveBitmap would write it and gives the file's bytes in *memory.
int TK_SaveBitmapMemory(const TKBitmap* bitmap, int32_t format, int32_t bits, int32_t quality,
                        const TKSaveOptions* options, QByteArray* memory);

// A load fed in pieces: TK_StartFeedLoad takes what TK_LoadFile takes (the bitmap record must
// live until the stop), TK_FeedLoad adds bytes (1, or a failure code; a feed beyond the file size
// limit fails with TK_ErrNoMemory, and a failed feed only waits for its stop, which delivers
// nothing and returns the failure), and TK_StopFeedLoad ends it. The pages of a GIF are decoded
// and delivered to the row callback, as TK_LoadFile delivers them, by the feed call in which their
// last byte arrives; other formats are decoded at the stop, which also delivers what the feed
// calls could not (the pages after bytes that are no GIF block, or after a frame that does not
// decode on its own, decoded with the file as a whole).
//
// The callback answers 1 to go on, 2 when it wants no more pages (later bytes are ignored and the
// stop succeeds), 0 to stop (the feed call or the stop that delivered the page fails with
// TK_ErrUserAbort). When the data ends early, the pages that arrived whole are delivered and the
// stop returns TK_ErrReadFile. A stop ends the feed whatever it returns; a stop called from the
// callback delivers nothing more and returns TK_ErrUserAbort, and the feed call that was
// delivering returns 1.
int TK_StartFeedLoad(TKFeedHandle* handle, TKBitmap* bitmap, uint32_t bitmapSize, int32_t bits, int32_t colourOrder,
                     uint32_t flags, TKRowCallback callback, void* userData, const TKLoadOptions* options);
int TK_FeedLoad(TKFeedHandle handle, const void* buffer, int32_t size);
int TK_StopFeedLoad(TKFeedHandle handle);

// Writes the bitmap, encoded as TK_SaveBitmap would write it, into the file `name` at byte
// `offset` (at most the file's size; a missing file counts as empty) over what lies there, and
// gives the number of bytes written in *size. The rest of the file stays; the file is replaced in
// one step, so a failed save leaves it as it was.
int TK_SaveFileOffset(const QString& name, const TKBitmap* bitmap, int64_t offset, int64_t* size, int32_t format,
                      int32_t bits, int32_t quality, uint32_t flags, const TKSaveOptions* options);
