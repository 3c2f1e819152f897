#include "imaging/gif/color_reduction.h"

#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/gif/graphic_utils.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

uint8_t DefaultReductionMethod = MethodFrequency;

namespace {

constexpr uint8_t kLevels4[] = {0, 85, 170, 255};
constexpr uint8_t kLevels6[] = {0, 51, 102, 153, 204, 255};
constexpr uint8_t kLevels7[] = {0, 43, 85, 128, 170, 213, 255};
constexpr uint8_t kLevels8[] = {0, 36, 73, 109, 146, 182, 219, 255};

const uint8_t* LevelSet(int levels)
{
    switch (levels) {
    case 4: return kLevels4;
    case 6: return kLevels6;
    case 7: return kLevels7;
    default: return kLevels8;
    }
}

int ComputeNearest(int levels, int value)
{
    const uint8_t* set = LevelSet(levels);
    int best = 0;
    for (int i = 1; i < levels; ++i)
        if (std::abs(value - set[i]) < std::abs(value - set[best]))
            best = i;
    return best;
}

// Nearest-level lookup for every byte value, built once when the module starts.
struct LevelTables {
    uint8_t nearest[9][256];
    LevelTables()
    {
        for (int levels : {4, 6, 7, 8})
            for (int v = 0; v < 256; ++v)
                nearest[levels][v] = uint8_t(ComputeNearest(levels, v));
    }
};
const LevelTables kLevelTables;

int RowStride(int width, int bits)
{
    return int(((int64_t(width) * bits + 31) / 32) * 4);
}

// ---- Frequency of use ------------------------------------------------------------------------

constexpr int kMaxEntries = 2049;
// A power of two above twice the entries, so probes stay short and need no division.
constexpr int kHashSlots = 8192;

struct FreqEntry {
    uint8_t b, g, r;
    uint32_t count;
    uint8_t index;
};

class FrequencyPalette {
public:
    FrequencyPalette(const uint8_t* rows, int width, int height, int stride)
        : rows_(rows), width_(width), height_(height), stride_(stride)
    {
        entries_.reserve(kMaxEntries);
    }

    void Build(TPaletteEntry palette[256])
    {
        while (!CountColors()) {
            // Coarsen one channel and count again: blue first, then red, then green.
            if (maskR_ < maskG_)
                maskG_ = uint8_t(maskG_ << 1);
            else if (maskR_ > maskB_)
                maskR_ = uint8_t(maskR_ << 1);
            else
                maskB_ = uint8_t(maskB_ << 1);
        }
        PickFrequentColors(palette);
    }

    // Writes each pixel's palette index over the 24-bit rows (storage row y at y * outStride),
    // from the entries the last count noted for the pixels.
    void MapRows(uint8_t* rows, int outStride) const
    {
        uint8_t indexOf[kMaxEntries];
        for (size_t e = 0; e < entries_.size(); ++e)
            indexOf[e] = entries_[e].index;
        const uint16_t* noted = pixelEntries_.data();
        for (int y = 0; y < height_; ++y) {
            uint8_t* out = rows + int64_t(y) * outStride;
            for (int x = 0; x < width_; ++x)
                out[x] = indexOf[*noted++];
            std::memset(out + width_, 0, size_t(outStride - width_));
        }
    }

private:
    // Masked colours are keyed as 0x01BBGGRR, so that 0 marks an empty slot.
    static uint32_t Key(uint8_t b, uint8_t g, uint8_t r) { return 0x1000000u | uint32_t(b) << 16 | uint32_t(g) << 8 | r; }
    static uint32_t Hash(uint32_t key) { return (key * 0x9E3779B1u) >> (32 - 13); }

    bool CountColors()
    {
        static_assert(kHashSlots == 1 << 13);
        keys_.fill(0);
        entries_.clear();
        pixelEntries_.resize(size_t(width_) * size_t(height_));
        uint16_t* noted = pixelEntries_.data();
        uint32_t lastKey = 0;
        uint16_t lastEntry = 0;
        for (int y = 0; y < height_; ++y) {
            const uint8_t* p = rows_ + int64_t(y) * stride_;
            for (int x = 0; x < width_; ++x, p += 3) {
                const uint8_t b = p[0] & maskB_, g = p[1] & maskG_, r = p[2] & maskR_;
                const uint32_t key = Key(b, g, r);
                if (key != lastKey) {
                    uint32_t slot = Hash(key);
                    while (keys_[slot] != 0 && keys_[slot] != key)
                        slot = (slot + 1) & (kHashSlots - 1);
                    if (keys_[slot] == 0) {
                        if (int(entries_.size()) >= kMaxEntries)
                            return false;
                        keys_[slot] = key;
                        slotEntries_[slot] = uint16_t(entries_.size());
                        entries_.push_back({b, g, r, 0, 0});
                    }
                    lastKey = key;
                    lastEntry = slotEntries_[slot];
                }
                ++entries_[lastEntry].count;
                *noted++ = lastEntry;
            }
        }
        return true;
    }

    void PickFrequentColors(TPaletteEntry palette[256])
    {
        const int n = int(entries_.size());
        std::vector<bool> picked(n, false);
        std::vector<uint32_t> counts(n);
        for (int i = 0; i < n; ++i)
            counts[i] = entries_[i].count;
        int used = 0;
        for (; used < 256 && used < n; ++used) {
            int best = 0;
            for (int i = 1; i < n; ++i)
                if (counts[i] > counts[best])
                    best = i;
            entries_[best].index = uint8_t(used);
            counts[best] = 0;
            picked[best] = true;
            palette[used] = {entries_[best].b, entries_[best].g, entries_[best].r, 0};
        }
        for (int i = used; i < 256; ++i)
            palette[i] = {128, 128, 128, 0};
        for (int i = 0; i < n; ++i) {
            if (picked[i])
                continue;
            const FreqEntry& e = entries_[i];
            int best = 0;
            int bestDist = INT32_MAX;
            for (int k = 0; k < 256; ++k) {
                int dr = e.r - palette[k].Red, dg = e.g - palette[k].Green, db = e.b - palette[k].Blue;
                int d = dr * dr + dg * dg + db * db;
                if (d < bestDist) {
                    bestDist = d;
                    best = k;
                }
            }
            entries_[i].index = uint8_t(best);
        }
    }

    const uint8_t* rows_;
    int width_, height_, stride_;
    uint8_t maskR_ = 0xFF, maskG_ = 0xFF, maskB_ = 0xFF;
    std::array<uint32_t, kHashSlots> keys_;
    std::array<uint16_t, kHashSlots> slotEntries_;
    std::vector<FreqEntry> entries_;
    // The entry of every pixel in storage order, noted by the last count.
    std::vector<uint16_t> pixelEntries_;
};

// ---- Median cut ------------------------------------------------------------------------------

struct ColourCell {
    uint8_t r4 = 0, g4 = 0, b4 = 0;
    uint8_t box = 0;
    uint32_t count = 0;
};

struct ColourBox {
    uint8_t low[3] = {0, 0, 0};
    uint8_t extent[3] = {255, 255, 255};
    uint32_t total = 0;
    std::vector<uint16_t> cells;
};

// The cell of a blue, green, red pixel: the high four bits of red, green and blue.
inline uint16_t CellOf(const uint8_t* p)
{
    return uint16_t(((p[2] >> 4) << 8) | ((p[1] >> 4) << 4) | (p[0] >> 4));
}

uint8_t CellValue(const ColourCell& c, int axis)
{
    return axis == 0 ? c.r4 : axis == 1 ? c.g4 : c.b4;
}

void SortColorCells(uint16_t* a, int n, const ColourCell* cells, int axis)
{
    auto v = [&](uint16_t c) { return CellValue(cells[c], axis); };
    if (n < 8) {
        for (int j = 1; j < n; ++j) {
            uint16_t x = a[j];
            int i = j - 1;
            while (i >= 0 && v(a[i]) >= v(x)) {
                a[i + 1] = a[i];
                --i;
            }
            a[i + 1] = x;
        }
        return;
    }
    const uint8_t pivot = v(a[n / 2]);
    int i = 0, j = n - 1;
    for (;;) {
        while (v(a[i]) < pivot)
            ++i;
        while (v(a[j]) > pivot)
            --j;
        if (i >= j)
            break;
        std::swap(a[i], a[j]);
        ++i;
        --j;
    }
    SortColorCells(a, i, cells, axis);
    SortColorCells(a + i, n - i, cells, axis);
}

int MedianCutPalette(uint8_t* rows, int width, int height, int inStride, int outStride, TPaletteEntry palette[256])
{
    std::vector<ColourCell> cells(4096);
    for (int n = 0; n < 4096; ++n) {
        cells[n].r4 = uint8_t(n >> 8);
        cells[n].g4 = uint8_t((n >> 4) & 15);
        cells[n].b4 = uint8_t(n & 15);
    }
    for (int y = 0; y < height; ++y) {
        const uint8_t* p = rows + int64_t(y) * inStride;
        for (int x = 0; x < width; ++x, p += 3)
            ++cells[CellOf(p)].count;
    }
    std::vector<ColourBox> boxes(1);
    boxes.reserve(256);
    for (uint16_t n = 0; n < 4096; ++n)
        if (cells[n].count > 0)
            boxes[0].cells.push_back(n);
    boxes[0].total = uint32_t(width) * uint32_t(height);

    while (boxes.size() < 256) {
        int bestBox = -1, bestAxis = 0, bestExtent = -1;
        for (size_t b = 0; b < boxes.size(); ++b) {
            if (boxes[b].cells.size() <= 1)
                continue;
            for (int axis = 0; axis < 3; ++axis)
                if (boxes[b].extent[axis] > bestExtent) {
                    bestExtent = boxes[b].extent[axis];
                    bestBox = int(b);
                    bestAxis = axis;
                }
        }
        if (bestBox < 0)
            break;
        ColourBox& old = boxes[size_t(bestBox)];
        SortColorCells(old.cells.data(), int(old.cells.size()), cells.data(), bestAxis);
        const int count = int(old.cells.size());
        uint32_t first = cells[old.cells[0]].count;
        int split = 1;
        while (split < count - 1 && first + cells[old.cells[size_t(split)]].count <= old.total / 2)
            first += cells[old.cells[size_t(split++)]].count;

        ColourBox box;
        std::copy(std::begin(old.low), std::end(old.low), box.low);
        std::copy(std::begin(old.extent), std::end(old.extent), box.extent);
        box.cells.assign(old.cells.begin() + split, old.cells.end());
        old.cells.resize(size_t(split));
        old.total = 0;
        for (uint16_t c : old.cells)
            old.total += cells[c].count;
        for (uint16_t c : box.cells)
            box.total += cells[c].count;
        const uint8_t vLast = uint8_t(CellValue(cells[old.cells.back()], bestAxis) * 16);
        const uint8_t vFirst = uint8_t(CellValue(cells[box.cells.front()], bestAxis) * 16);
        box.low[bestAxis] = vFirst;
        box.extent[bestAxis] = uint8_t(old.low[bestAxis] + old.extent[bestAxis] - vFirst);
        old.extent[bestAxis] = uint8_t(vLast - old.low[bestAxis]);
        boxes.push_back(std::move(box));
    }

    std::fill_n(palette, 256, TPaletteEntry{});
    for (size_t b = 0; b < boxes.size(); ++b) {
        uint32_t sr = 0, sg = 0, sb = 0;
        for (uint16_t c : boxes[b].cells) {
            cells[c].box = uint8_t(b);
            sr += cells[c].r4;
            sg += cells[c].g4;
            sb += cells[c].b4;
        }
        const uint32_t n = uint32_t(boxes[b].cells.size());
        uint32_t r = (16 * sr + 15) / n, g = (16 * sg + 15) / n, bl = (16 * sb + 15) / n;
        if (r <= 16 && g <= 16 && bl <= 16)
            r = g = bl = 0;
        palette[b] = {uint8_t(bl), uint8_t(g), uint8_t(r), 0};
    }

    // Each pixel takes its cell's box, so the rows are mapped in storage order, bottom first:
    // outStride never exceeds inStride and a pixel is written no later than it is read, so no
    // 24-bit byte is overwritten before it was read.
    uint8_t boxOf[4096];
    for (int n = 0; n < 4096; ++n)
        boxOf[n] = cells[size_t(n)].box;
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = rows + int64_t(y) * inStride;
        uint8_t* out = rows + int64_t(y) * outStride;
        for (int x = 0; x < width; ++x, in += 3)
            out[x] = boxOf[CellOf(in)];
        std::memset(out + width, 0, size_t(outStride - width));
    }
    return int(boxes.size());
}

} // namespace

int NearestLevelIndex(int levels, uint8_t value)
{
    if (levels != 4 && levels != 6 && levels != 7 && levels != 8)
        return ComputeNearest(levels, value);
    return kLevelTables.nearest[levels][value];
}

int ReduceRows24To8(uint8_t* rows, int width, int height, uint8_t method, TPaletteEntry palette[256])
{
    const int inStride = RowStride(width, 24);
    const int outStride = RowStride(width, 8);
    std::fill_n(palette, 256, TPaletteEntry{});
    if (width <= 0 || height <= 0)
        return 0;

    if (method == MethodMedianCut)
        return MedianCutPalette(rows, width, height, inStride, outStride, palette);

    if (method == MethodFrequency) {
        FrequencyPalette freq(rows, width, height, inStride);
        freq.Build(palette);
        freq.MapRows(rows, outStride);
        return 0;
    }

    int important = 0;
    const auto& nearest = kLevelTables.nearest;
    switch (method) {
    case MethodTrunc784:
        for (int r = 0; r < 7; ++r)
            for (int g = 0; g < 8; ++g)
                for (int b = 0; b < 4; ++b)
                    palette[r * 32 + g * 4 + b] = {kLevels4[b], kLevels8[g], kLevels7[r], 0};
        for (int i = 224; i < 256; ++i)
            palette[i] = {128, 128, 128, 128};
        important = 224;
        break;
    case MethodTrunc666:
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    palette[r * 36 + g * 6 + b] = {kLevels6[b], kLevels6[g], kLevels6[r], 0};
        for (int i = 216; i < 256; ++i)
            palette[i] = {128, 128, 128, 128};
        important = 216;
        break;
    case MethodTripel:
        for (int k = 0; k < 64; ++k) {
            palette[k].Red = uint8_t(4 * k);
            palette[64 + k].Green = uint8_t(4 * k);
            palette[128 + k].Blue = uint8_t(4 * k);
        }
        break;
    default: // MethodGrayscale
        for (int i = 0; i < 256; ++i)
            palette[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
        break;
    }

    // Storage row y, bottom first; the 8-bit row never overtakes the 24-bit one it is read from.
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = rows + int64_t(y) * inStride;
        uint8_t* out = rows + int64_t(y) * outStride;
        for (int x = 0; x < width; ++x, in += 3) {
            const uint8_t b = in[0], g = in[1], r = in[2];
            uint8_t v;
            switch (method) {
            case MethodTrunc784: v = uint8_t(nearest[7][r] * 32 + nearest[8][g] * 4 + nearest[4][b]); break;
            case MethodTrunc666: v = uint8_t(nearest[6][r] * 36 + nearest[6][g] * 6 + nearest[6][b]); break;
            case MethodTripel:
                switch ((x + y) % 3) {
                case 0: v = uint8_t(r >> 2); break;
                case 1: v = uint8_t(64 + (g >> 2)); break;
                default: v = uint8_t(128 + (b >> 2)); break;
                }
                break;
            default: v = uint8_t((77 * r + 150 * g + 29 * b) >> 8); break;
            }
            out[x] = v;
        }
        for (int x = width; x < outStride; ++x)
            out[x] = 0;
    }
    return important;
}

bool ParseDib(const QByteArray& file, TDibInfo& info)
{
    const auto* d = reinterpret_cast<const uint8_t*>(file.constData());
    const int64_t size = file.size();
    if (size < 14 + 12 || d[0] != 'B' || d[1] != 'M')
        return false;
    const uint32_t offBits = qFromLittleEndian<uint32_t>(d + 10);
    const uint32_t infoSize = qFromLittleEndian<uint32_t>(d + 14);
    if (infoSize < 40 || 14 + int64_t(infoSize) > size)
        return false;
    const int32_t w = qFromLittleEndian<int32_t>(d + 18);
    const int32_t h = qFromLittleEndian<int32_t>(d + 22);
    const uint16_t bits = qFromLittleEndian<uint16_t>(d + 28);
    const uint32_t compression = qFromLittleEndian<uint32_t>(d + 30);
    const uint32_t used = qFromLittleEndian<uint32_t>(d + 46);
    const uint32_t important = qFromLittleEndian<uint32_t>(d + 50);
    if (compression != 0 || w <= 0 || h <= 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        return false;
    int colors = 0;
    if (bits <= 8)
        colors = used > 0 && used < (1u << bits) ? int(used) : 1 << bits;
    info.Width = w;
    info.Height = h;
    info.BitCount = bits;
    info.ColorCount = colors;
    info.PaletteOffset = 14 + infoSize;
    info.BitsOffset = offBits;
    info.ImportantColors = int(important);
    if (info.PaletteOffset + int64_t(colors) * 4 > size)
        return false;
    const int64_t need = int64_t(RowStride(w, bits)) * h;
    return int64_t(offBits) >= info.PaletteOffset && int64_t(offBits) + need <= size;
}

namespace {

int64_t DibBitsOffset(int bitCount)
{
    return 14 + 40 + (bitCount <= 8 ? int64_t(4) << bitCount : 0);
}

// The file header, the information header and the colour table of a BMP-file image, over the
// first DibBitsOffset(bitCount) bytes at d.
void FillDibHeaders(uint8_t* d, int width, int height, int bitCount, const TPaletteEntry* palette,
                    int paletteCount, int importantColors)
{
    const int tableEntries = bitCount <= 8 ? 1 << bitCount : 0;
    const int64_t imageSize = int64_t(RowStride(width, bitCount)) * height;
    const int64_t offBits = DibBitsOffset(bitCount);
    std::memset(d, 0, size_t(offBits));
    d[0] = 'B';
    d[1] = 'M';
    qToLittleEndian<uint32_t>(uint32_t(offBits + imageSize), d + 2);
    qToLittleEndian<uint32_t>(uint32_t(offBits), d + 10);
    qToLittleEndian<uint32_t>(40, d + 14);
    qToLittleEndian<int32_t>(width, d + 18);
    qToLittleEndian<int32_t>(height, d + 22);
    qToLittleEndian<uint16_t>(1, d + 26);
    qToLittleEndian<uint16_t>(uint16_t(bitCount), d + 28);
    qToLittleEndian<uint32_t>(uint32_t(imageSize), d + 34);
    qToLittleEndian<uint32_t>(uint32_t(importantColors), d + 50);
    for (int i = 0; i < tableEntries && i < paletteCount; ++i)
        std::memcpy(d + 54 + i * 4, &palette[i], 4);
}

// The bitmap's pixels as rows of blue, green and red, bottom row first, each padded with zeros
// to 4 bytes: the pixel data of a 24-bit BMP image of it, made in one pass.
void WriteRows24(TBitmap* bitmap, uint8_t* out)
{
    bitmap->ScanLine(0); // finishes any drawing still pending on its canvas
    const TBitmap& b = *bitmap;
    const int w = bitmap->Width(), h = bitmap->Height(), bits = b.BitsPerPixel();
    const int stride = RowStride(w, 24);
    for (int y = 0; y < h; ++y) {
        uint8_t* dst = out + int64_t(h - 1 - y) * stride;
        const uint8_t* src = b.ScanLine(y);
        if (bits == 24) {
            std::memcpy(dst, src, size_t(w) * 3);
        } else if (bits == 32) {
            for (int x = 0; x < w; ++x)
                std::memcpy(dst + 3 * x, src + 4 * x, 3);
        } else {
            for (int x = 0; x < w; ++x) {
                const uint32_t argb = b.PixelArgb(x, y);
                dst[3 * x] = uint8_t(argb);
                dst[3 * x + 1] = uint8_t(argb >> 8);
                dst[3 * x + 2] = uint8_t(argb >> 16);
            }
        }
        std::memset(dst + 3 * w, 0, size_t(stride - 3 * w));
    }
}

} // namespace

QByteArray MakeDibFile(int width, int height, int bitCount, const TPaletteEntry* palette,
                       int paletteCount, const uint8_t* rows, int importantColors)
{
    const int64_t imageSize = int64_t(RowStride(width, bitCount)) * height;
    const int64_t offBits = DibBitsOffset(bitCount);
    QByteArray out(qsizetype(offBits + imageSize), '\0');
    auto* d = reinterpret_cast<uint8_t*>(out.data());
    FillDibHeaders(d, width, height, bitCount, palette, paletteCount, importantColors);
    if (rows)
        std::memcpy(d + offBits, rows, size_t(imageSize));
    return out;
}

QByteArray ReduceDib24To8(const QByteArray& dib24, uint8_t method)
{
    TDibInfo info;
    if (!ParseDib(dib24, info) || info.BitCount != 24)
        throw EInvalidGraphic(QString::fromLatin1("Bitmap image is not valid"));
    std::vector<uint8_t> rows(dib24.begin() + info.BitsOffset,
                              dib24.begin() + info.BitsOffset + int64_t(RowStride(info.Width, 24)) * info.Height);
    TPaletteEntry palette[256];
    int important = ReduceRows24To8(rows.data(), info.Width, info.Height, method, palette);
    return MakeDibFile(info.Width, info.Height, 8, palette, 256, rows.data(), important);
}

namespace {

[[noreturn]] void InvalidBitmap()
{
    throw EInvalidGraphic(QString::fromLatin1(GraphicsText::InvalidBitmap));
}

int FormatBits(TPixelFormat format)
{
    switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf24bit: return 24;
    default: return 0;
    }
}

QByteArray SaveBitmap(TBitmap* bitmap)
{
    TMemoryStream s;
    bitmap->SaveToStream(&s);
    return s.Bytes();
}

// An image made from source keeps source's own information header: its resolution, and its
// count of important colours when the image names none of its own and the count fits its table.
QByteArray& KeepSourceHeader(QByteArray& image, const TBitmap& source)
{
    auto* info = reinterpret_cast<uint8_t*>(image.data()) + 14;
    qToLittleEndian<int32_t>(source.XPelsPerMeter(), info + 24);
    qToLittleEndian<int32_t>(source.YPelsPerMeter(), info + 28);
    const int bits = qFromLittleEndian<uint16_t>(info + 14);
    if (qFromLittleEndian<uint32_t>(info + 36) == 0 && bits <= 8 && source.ImportantColors() <= (1u << bits))
        qToLittleEndian<uint32_t>(source.ImportantColors(), info + 36);
    return image;
}

} // namespace

QByteArray BitmapToDIBFile(TBitmap* bitmap, const std::vector<QRgb>* palette, TPixelFormat format)
{
    if (!bitmap || bitmap->Empty())
        InvalidBitmap();
    int bits = FormatBits(format);
    if (bits == 0)
        bits = bitmap->BitsPerPixel();
    TBitmap copy;
    copy.Assign(bitmap);
    if (bits == copy.BitsPerPixel() && (bits > 8 || !palette || palette->empty()))
        return SaveBitmap(&copy);
    if (bits > 8 || !palette || palette->empty()) {
        copy.SetPixelFormat(bits == 1 ? pf1bit : bits == 4 ? pf4bit : bits == 8 ? pf8bit : bits == 32 ? pf32bit : pf24bit);
        QByteArray image = SaveBitmap(&copy);
        return KeepSourceHeader(image, *bitmap);
    }
    // Map onto the given colours.
    const int w = copy.Width(), h = copy.Height();
    std::vector<QRgb> table(palette->begin(), palette->begin() + std::min<size_t>(palette->size(), size_t(1) << bits));
    TColorMapper mapper(table);
    const int stride = RowStride(w, bits);
    std::vector<uint8_t> rows(size_t(stride) * h, 0);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = rows.data() + size_t(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const int i = mapper.IndexOf(copy.PixelArgb(x, y) & 0xFFFFFF);
            if (bits == 8)
                row[x] = uint8_t(i);
            else if (bits == 4)
                row[x / 2] |= uint8_t(x % 2 ? i : i << 4);
            else
                row[x / 8] |= uint8_t((i & 1) << (7 - x % 8));
        }
    }
    TPaletteEntry entries[256];
    for (size_t i = 0; i < table.size(); ++i)
        entries[i] = {uint8_t(qBlue(table[i])), uint8_t(qGreen(table[i])), uint8_t(qRed(table[i])), 0};
    QByteArray image = MakeDibFile(w, h, bits, entries, int(table.size()), rows.data());
    return KeepSourceHeader(image, *bitmap);
}

void DIBSizes(TBitmap* bitmap, TPixelFormat format, int& infoSize, int& imageSize)
{
    if (!bitmap)
        InvalidBitmap();
    int bits = FormatBits(format);
    if (bits == 0)
        bits = bitmap->BitsPerPixel();
    infoSize = 40 + (bits <= 8 ? 4 * (1 << bits) : 0);
    imageSize = RowStride(bitmap->Width(), bits) * std::abs(bitmap->Height());
}

TMemoryStream* ReduceBitmapColors(TBitmap* bitmap, TPixelFormat format, uint8_t method)
{
    if (!bitmap || bitmap->Empty())
        InvalidBitmap();
    const int bits = FormatBits(format);
    QByteArray image;
    if (bitmap->PixelFormat() == format && method != MethodGrayscale) {
        image = SaveBitmap(bitmap);
    } else if (bits == 0) {
        ShowNotImplemented();
    } else if (bits == 1 || bits == 4) {
        image = BitmapToDIBFile(bitmap, &bitmap->Palette(), format);
    } else if (bits == 24) {
        // The reduction methods make palette images; a 24-bit request gets the image as it is.
        image = BitmapToDIBFile(bitmap, nullptr, pf24bit);
    } else {
        // The picture is copied once, into 24-bit rows inside the image being made; the method
        // turns them into 8-bit rows in place, and the image ends after those.
        const int w = bitmap->Width(), h = bitmap->Height();
        const int64_t offBits = DibBitsOffset(8);
        image = QByteArray(qsizetype(offBits + int64_t(RowStride(w, 24)) * h), Qt::Uninitialized);
        auto* d = reinterpret_cast<uint8_t*>(image.data());
        WriteRows24(bitmap, d + offBits);
        TPaletteEntry palette[256];
        const int important = ReduceRows24To8(d + offBits, w, h, method, palette);
        FillDibHeaders(d, w, h, 8, palette, 256, important);
        image.resize(qsizetype(offBits + int64_t(RowStride(w, 8)) * h));
        KeepSourceHeader(image, *bitmap);
    }
    auto* stream = new TMemoryStream(image);
    stream->SetPosition(0);
    return stream;
}
