#include "imaging/icons/bitmap_icon_writer.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/exceptions.h"
#include "framework/graphic.h"
#include "framework/icon.h"
#include "framework/palette.h"
#include "framework/streams.h"
#include "imaging/icons/icon_format.h"

#include <QImage>
#include <cstring>

namespace {

// An .ico entry holds each side in one byte, 256 as 0.
constexpr int kMaxEntrySide = 256;

[[noreturn]] void RaiseInvalidBitmap()
{
    throw EInvalidGraphic(QString::fromLatin1(GraphicsText::InvalidBitmap));
}

int BitsForColors(const QImage& bitmap, int colors)
{
    switch (colors) {
    case 2: return 1;
    case 16: return 4;
    case 256: return 8;
    case 24: return 24;
    default: break;
    }
    // The bitmap's own depth, as far as an icon image can carry it.
    const int depth = bitmap.depth();
    return depth == 1 || depth == 4 || depth == 8 || depth == 24 ? depth : 32;
}

bool IsMono(const QImage& image)
{
    return image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
}

void PutHeader(uint8_t* p, const IconBitmapHeader& h)
{
    PutLE32(p, h.Size);
    PutLE32(p + 4, uint32_t(h.Width));
    PutLE32(p + 8, uint32_t(h.Height));
    PutLE16(p + 12, h.Planes);
    PutLE16(p + 14, h.BitCount);
    PutLE32(p + 16, h.Compression);
    PutLE32(p + 20, h.SizeImage);
    PutLE32(p + 24, uint32_t(h.XPelsPerMeter));
    PutLE32(p + 28, uint32_t(h.YPelsPerMeter));
    PutLE32(p + 32, h.ClrUsed);
    PutLE32(p + 36, h.ClrImportant);
}

void PackIndex(uint8_t* row, int x, int bits, int index)
{
    switch (bits) {
    case 8: row[x] = uint8_t(index); break;
    case 4: row[x >> 1] |= (x & 1) ? uint8_t(index) : uint8_t(index << 4); break;
    default:
        if (index)
            row[x >> 3] |= uint8_t(0x80 >> (x & 7));
        break;
    }
}

} // namespace

void InitBitmapInfoHeader(const QImage& bitmap, IconBitmapHeader& header, int colors)
{
    if (bitmap.isNull())
        RaiseInvalidBitmap();
    header = IconBitmapHeader();
    header.Size = IconBitmapHeaderSize;
    header.Width = bitmap.width();
    header.Height = bitmap.height();
    header.Planes = 1;
    header.BitCount = uint16_t(BitsForColors(bitmap, colors));
    header.SizeImage = uint32_t(ScanlineBytes(header.Width, header.BitCount) * header.Height);
}

void GetDIBSizes(const QImage& bitmap, int colors, int64_t& infoHeaderSize, int64_t& imageSize)
{
    IconBitmapHeader header;
    InitBitmapInfoHeader(bitmap, header, colors);
    infoHeaderSize = IconBitmapHeaderSize + (header.BitCount <= 8 ? 4 * (int64_t(1) << header.BitCount) : 0);
    imageSize = header.SizeImage;
}

void GetDIBBits(const QImage& bitmap, int colors, std::vector<uint8_t>& bits, std::vector<uint8_t>& infoHeader,
                const TPaletteEntries* ownTable)
{
    IconBitmapHeader header;
    InitBitmapInfoHeader(bitmap, header, colors);
    const int bpp = header.BitCount;
    const int w = header.Width, h = header.Height;

    const bool own = bpp <= 8 && ownTable && !ownTable->empty() && ownTable->size() <= (size_t(1) << bpp);
    const TPaletteEntries* table = bpp <= 8 ? (own ? ownTable : &FixedPaletteForBits(bpp)) : nullptr;
    infoHeader.assign(size_t(IconBitmapHeaderSize) + (table ? 4 * (size_t(1) << bpp) : 0), 0);
    PutHeader(infoHeader.data(), header);
    if (table)
        for (size_t i = 0; i < table->size(); ++i) {
            uint8_t* e = infoHeader.data() + IconBitmapHeaderSize + 4 * i;
            e[0] = uint8_t(qBlue((*table)[i]));
            e[1] = uint8_t(qGreen((*table)[i]));
            e[2] = uint8_t(qRed((*table)[i]));
        }

    const size_t stride = size_t(ScanlineBytes(w, bpp));
    bits.assign(stride * size_t(h), 0);
    const bool copyIndices = bpp == 1 && !own && IsMono(bitmap);
    const QImage argb =
        copyIndices || bitmap.format() == QImage::Format_ARGB32 || bitmap.format() == QImage::Format_RGB32
            ? bitmap
            : bitmap.convertToFormat(bitmap.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const bool keepAlpha = argb.format() == QImage::Format_ARGB32;
    TColorMapper mapper(table ? *table : MonochromePalette());
    for (int y = 0; y < h; ++y) {
        uint8_t* row = bits.data() + size_t(h - 1 - y) * stride;
        if (copyIndices) {
            for (int x = 0; x < w; ++x)
                PackIndex(row, x, 1, argb.pixelIndex(x, y));
            continue;
        }
        const auto* src = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = src[x];
            if (table) {
                PackIndex(row, x, bpp, mapper.IndexOf(c & 0xFFFFFFu));
            } else {
                uint8_t* p = row + size_t(x) * size_t(bpp / 8);
                p[0] = uint8_t(qBlue(c));
                p[1] = uint8_t(qGreen(c));
                p[2] = uint8_t(qRed(c));
                // Without an alpha channel the fourth byte stays 0, as the mask is the truth.
                if (bpp == 32 && keepAlpha)
                    p[3] = uint8_t(qAlpha(c));
            }
        }
    }
}

void WriteIconFile(TStream* stream, HICON icon, int colors, bool withLength, const TPaletteEntries* table)
{
    ICONINFO info;
    if (!GetIconInfo(icon, &info) || info.hbmMask.isNull())
        RaiseInvalidBitmap();
    QImage color = info.hbmColor;
    QImage mask = info.hbmMask;
    if (color.isNull()) {
        // A monochrome icon keeps its AND mask above its XOR bits in one bitmap.
        const int h = mask.height() / 2;
        color = mask.copy(0, h, mask.width(), h);
        color.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        mask = mask.copy(0, 0, mask.width(), h);
    }
    if (color.width() < 1 || color.height() < 1 || color.width() > kMaxEntrySide ||
        color.height() > kMaxEntrySide || mask.size() != color.size())
        RaiseInvalidBitmap();

    std::vector<uint8_t> colorHeader, colorBits, maskHeader, maskBits;
    GetDIBBits(color, colors, colorBits, colorHeader, table);
    GetDIBBits(mask, 2, maskBits, maskHeader);
    const uint16_t bitCount = GetLE16(colorHeader.data() + 14);
    if (bitCount == 32 && !color.hasAlphaChannel()) {
        // Readers that trust a 32-bit image's alpha would find it all zero; the mask says it.
        const size_t colorRow = size_t(ScanlineBytes(color.width(), 32));
        const size_t maskRow = size_t(ScanlineBytes(color.width(), 1));
        for (int y = 0; y < color.height(); ++y)
            for (int x = 0; x < color.width(); ++x) {
                const bool transparent = (maskBits[size_t(y) * maskRow + size_t(x >> 3)] >> (7 - (x & 7))) & 1;
                colorBits[size_t(y) * colorRow + 4 * size_t(x) + 3] = transparent ? 0 : 255;
            }
    }
    const uint32_t bytesInRes = uint32_t(colorHeader.size() + colorBits.size() + maskBits.size());

    if (withLength)
        stream->WriteDWord(IconHeaderSize + IconEntrySize + bytesInRes);
    WriteIconHeader(stream, {0, IconTypeIcon, 1});
    IconDirEntry entry;
    entry.Width = uint8_t(color.width());
    entry.Height = uint8_t(color.height());
    // Other programs pick an icon's image by these fields, so they say what the image holds.
    entry.ColorCount = bitCount < 8 ? uint8_t(1u << bitCount) : 0;
    entry.Reserved = 0;
    entry.Planes = 1;
    entry.BitCount = bitCount;
    entry.BytesInRes = bytesInRes;
    entry.ImageOffset = IconHeaderSize + IconEntrySize;
    WriteIconEntry(stream, entry);
    // The image's height field counts the colour rows and the mask rows.
    PutLE32(colorHeader.data() + 8, uint32_t(color.height() * 2));
    stream->WriteBuffer(colorHeader.data(), int64_t(colorHeader.size()));
    stream->WriteBuffer(colorBits.data(), int64_t(colorBits.size()));
    stream->WriteBuffer(maskBits.data(), int64_t(maskBits.size()));
}

void SaveIconToFile(TIcon* icon, const QString& fileName, int colors)
{
    TMemoryStream memory;
    WriteIconFile(&memory, icon ? icon->Handle() : nullptr, colors, false);
    memory.SaveToFile(fileName);
}

std::unique_ptr<TIcon> BitmapToMaskedIcon(TGraphic* picture, int width, int height)
{
    auto icon = std::make_unique<TIcon>();
    if (width < 1 || height < 1 || width > kMaxIconSide || height > kMaxIconSide)
        return icon;

    TBitmap work(width, height, pf24bit);
    if (picture)
        work.Canvas()->Draw(0, 0, picture);
    QImage color = work.ToImage().convertToFormat(QImage::Format_RGB32);

    // The mask comes straight from the key colour, so every other colour, black included, stays
    // as it was drawn.
    const QRgb key = qRgb(int(IconKeyColor & 0xFF), int((IconKeyColor >> 8) & 0xFF), int((IconKeyColor >> 16) & 0xFF));
    QImage mask(width, height, QImage::Format_Mono);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mask.fill(0);
    for (int y = 0; y < height; ++y) {
        auto* c = reinterpret_cast<QRgb*>(color.scanLine(y));
        uint8_t* m = mask.scanLine(y);
        for (int x = 0; x < width; ++x)
            if ((c[x] & 0xFFFFFFu) == (key & 0xFFFFFFu)) {
                m[x >> 3] |= uint8_t(0x80 >> (x & 7));
                c[x] = qRgb(0, 0, 0);
            }
    }

    ICONINFO info;
    info.fIcon = true;
    info.hbmMask = mask;
    info.hbmColor = color;
    if (HICON handle = CreateIconIndirect(&info))
        icon->SetHandle(handle);
    return icon;
}

void SaveBitmapAsIcon(TGraphic* bitmap, const QString& fileName, int width, int height, int colors)
{
    const std::unique_ptr<TIcon> icon = BitmapToMaskedIcon(bitmap, width, height);
    SaveIconToFile(icon.get(), fileName, colors);
}
