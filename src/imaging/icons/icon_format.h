#pragma once

// The .ico layout shared by every reader and writer of icon data in the system: the 6-byte file
// header, the 16-byte directory entry of files, the 14-byte entry of icon-group resources and the
// checks on an image's own bitmap information header. All numbers are little-endian.

#include <cstddef>
#include <cstdint>

class TStream;

struct IconFileHeader {
    uint16_t Reserved = 0;
    uint16_t Type = 0; // 1 icon, 2 cursor
    uint16_t Count = 0;
};

// The 12 bytes that a file entry and a group entry have in common, then the file entry's image
// offset or the group entry's resource identifier.
struct IconDirEntry {
    uint8_t Width = 0;
    uint8_t Height = 0;
    uint8_t ColorCount = 0;
    uint8_t Reserved = 0;
    uint16_t Planes = 0;
    uint16_t BitCount = 0;
    uint32_t BytesInRes = 0;
    uint32_t ImageOffset = 0; // file entries
    uint16_t Id = 0;          // group entries
};

constexpr int IconHeaderSize = 6;
constexpr int IconEntrySize = 16;
constexpr int GroupEntrySize = 14;
constexpr int IconEntryCommonSize = 12;
constexpr uint16_t IconTypeIcon = 1;

// Largest side accepted for a decoded image: the format itself stops at 256, larger PNG entries
// exist in the wild, and anything bigger is a broken or hostile header.
constexpr int MaxIconSide = 1024;
// Pixels one picture decodes at most over all its images (64 MB of pixels): a few thousand tiny
// compressed entries that each inflate to the largest side must not add up to gigabytes.
constexpr int64_t MaxIconPixels = int64_t(16) << 20;

// Raw (de)serialisation of the records. The Read functions raise the framework's read error when
// the stream is short.
IconFileHeader ReadIconHeader(TStream* stream);
void WriteIconHeader(TStream* stream, const IconFileHeader& header);
IconDirEntry ReadIconEntry(TStream* stream);
IconDirEntry ReadGroupEntry(TStream* stream);
void WriteIconEntry(TStream* stream, const IconDirEntry& entry);
void WriteGroupEntry(TStream* stream, const IconDirEntry& entry);
// The 12 common bytes of an entry.
void EntryToBytes(const IconDirEntry& entry, uint8_t out[IconEntryCommonSize]);
IconDirEntry EntryFromBytes(const uint8_t bytes[IconEntryCommonSize]);

// Row length in bytes of a bitmap row, padded to 4 bytes.
inline int64_t ScanlineBytes(int64_t width, int bits)
{
    return ((width * bits + 31) & ~int64_t(31)) / 8;
}

inline uint16_t GetLE16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t GetLE32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void PutLE16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void PutLE32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

// The 40-byte bitmap information header at the start of a DIB image.
struct IconBitmapHeader {
    uint32_t Size = 0;
    int32_t Width = 0;
    int32_t Height = 0; // colour rows and mask rows together
    uint16_t Planes = 0;
    uint16_t BitCount = 0;
    uint32_t Compression = 0;
    uint32_t SizeImage = 0;
    int32_t XPelsPerMeter = 0;
    int32_t YPelsPerMeter = 0;
    uint32_t ClrUsed = 0;
    uint32_t ClrImportant = 0;
};
constexpr int IconBitmapHeaderSize = 40;

// True when the image bytes start with the PNG signature (compressed icon images).
bool IsPngImage(const uint8_t* data, size_t size);

// Layout of a DIB icon image worked out from its header, after checking that every part the
// decoder reads lies inside the image's bytes.
struct IconImageLayout {
    IconBitmapHeader Header;
    int Width = 0;
    int Height = 0;          // half the header's height field
    int64_t ColorTable = 0;  // byte offset of the colour table
    int64_t ColorCount = 0;  // entries in the colour table
    int64_t ColorBits = 0;   // byte offset of the colour rows
    int64_t ColorRow = 0;    // bytes per colour row
    int64_t MaskBits = 0;    // byte offset of the mask rows
    int64_t MaskRow = 0;     // bytes per mask row
};

// Reads and checks a DIB image header: header size at least 40, no compression, width and height
// from 1 to MaxIconSide, a bit count of 1, 4, 8, 16, 24 or 32, and the colour table and colour
// rows inside the size bytes, and the mask too for the bit counts whose transparency comes from it
// (1, 4, 8 and 24). False when any check fails.
bool ParseIconImage(const uint8_t* data, size_t size, IconImageLayout& layout);
