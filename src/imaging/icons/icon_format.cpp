#include "imaging/icons/icon_format.h"

#include "framework/streams.h"

#include <cstring>

IconFileHeader ReadIconHeader(TStream* stream)
{
    uint8_t b[IconHeaderSize];
    stream->ReadBuffer(b, sizeof b);
    return {GetLE16(b), GetLE16(b + 2), GetLE16(b + 4)};
}

void WriteIconHeader(TStream* stream, const IconFileHeader& header)
{
    uint8_t b[IconHeaderSize];
    PutLE16(b, header.Reserved);
    PutLE16(b + 2, header.Type);
    PutLE16(b + 4, header.Count);
    stream->WriteBuffer(b, sizeof b);
}

void EntryToBytes(const IconDirEntry& entry, uint8_t out[IconEntryCommonSize])
{
    out[0] = entry.Width;
    out[1] = entry.Height;
    out[2] = entry.ColorCount;
    out[3] = entry.Reserved;
    PutLE16(out + 4, entry.Planes);
    PutLE16(out + 6, entry.BitCount);
    PutLE32(out + 8, entry.BytesInRes);
}

IconDirEntry EntryFromBytes(const uint8_t bytes[IconEntryCommonSize])
{
    IconDirEntry e;
    e.Width = bytes[0];
    e.Height = bytes[1];
    e.ColorCount = bytes[2];
    e.Reserved = bytes[3];
    e.Planes = GetLE16(bytes + 4);
    e.BitCount = GetLE16(bytes + 6);
    e.BytesInRes = GetLE32(bytes + 8);
    return e;
}

IconDirEntry ReadIconEntry(TStream* stream)
{
    uint8_t b[IconEntrySize];
    stream->ReadBuffer(b, sizeof b);
    IconDirEntry e = EntryFromBytes(b);
    e.ImageOffset = GetLE32(b + 12);
    return e;
}

IconDirEntry ReadGroupEntry(TStream* stream)
{
    uint8_t b[GroupEntrySize];
    stream->ReadBuffer(b, sizeof b);
    IconDirEntry e = EntryFromBytes(b);
    e.Id = GetLE16(b + 12);
    return e;
}

void WriteIconEntry(TStream* stream, const IconDirEntry& entry)
{
    uint8_t b[IconEntrySize];
    EntryToBytes(entry, b);
    PutLE32(b + 12, entry.ImageOffset);
    stream->WriteBuffer(b, sizeof b);
}

void WriteGroupEntry(TStream* stream, const IconDirEntry& entry)
{
    uint8_t b[GroupEntrySize];
    EntryToBytes(entry, b);
    PutLE16(b + 12, entry.Id);
    stream->WriteBuffer(b, sizeof b);
}

bool IsPngImage(const uint8_t* data, size_t size)
{
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return size >= sizeof signature && std::memcmp(data, signature, sizeof signature) == 0;
}

bool ParseIconImage(const uint8_t* data, size_t size, IconImageLayout& layout)
{
    if (size < size_t(IconBitmapHeaderSize))
        return false;
    IconBitmapHeader& h = layout.Header;
    h.Size = GetLE32(data);
    h.Width = int32_t(GetLE32(data + 4));
    h.Height = int32_t(GetLE32(data + 8));
    h.Planes = GetLE16(data + 12);
    h.BitCount = GetLE16(data + 14);
    h.Compression = GetLE32(data + 16);
    h.SizeImage = GetLE32(data + 20);
    h.XPelsPerMeter = int32_t(GetLE32(data + 24));
    h.YPelsPerMeter = int32_t(GetLE32(data + 28));
    h.ClrUsed = GetLE32(data + 32);
    h.ClrImportant = GetLE32(data + 36);

    const int64_t total = int64_t(size);
    if (h.Size < uint32_t(IconBitmapHeaderSize) || int64_t(h.Size) > total)
        return false;
    // Compressed DIB rows (run lengths, bit fields) are not part of the icon layout.
    if (h.Compression != 0)
        return false;
    const int64_t height = h.Height / 2;
    if (h.Width < 1 || h.Width > MaxIconSide || height < 1 || height > MaxIconSide)
        return false;
    const int bits = h.BitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;

    layout.Width = h.Width;
    layout.Height = int(height);
    layout.ColorTable = h.Size;
    layout.ColorCount = h.ClrUsed != 0 ? int64_t(h.ClrUsed) : (bits <= 8 ? int64_t(1) << bits : 0);
    layout.ColorBits = layout.ColorTable + layout.ColorCount * 4;
    layout.ColorRow = ScanlineBytes(h.Width, bits);
    layout.MaskBits = layout.ColorBits + layout.ColorRow * height;
    layout.MaskRow = ScanlineBytes(h.Width, 1);
    // All values are bounded above (the colour count by 2^32), so none of these sums overflows.
    const bool needsMask = bits != 32 && bits != 16;
    const int64_t end = layout.MaskBits + (needsMask ? layout.MaskRow * height : 0);
    return end <= total;
}
