#include "imaging/gif/gif_lzw.h"

#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/gif/gif_texts.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeSize = 12;
// A string never holds more than one pixel per table entry; a longer walk means the table links
// back on itself.
constexpr int kStackLimit = 4097;

// Rows in the published four-pass interlace order, or straight down.
class RowWalker {
public:
    RowWalker(int height, bool interlaced) : height_(height), interlaced_(interlaced) {}
    int Row() const { return row_; }
    bool Done() const { return row_ >= height_; }
    void Next()
    {
        if (!interlaced_) {
            ++row_;
            return;
        }
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        row_ += kStep[pass_];
        while (row_ >= height_ && pass_ < 3) {
            ++pass_;
            row_ = kStart[pass_];
        }
    }

private:
    int height_;
    bool interlaced_;
    int row_ = 0;
    int pass_ = 0;
};

// Codes packed least-significant bit first across the bytes of consecutive sub-blocks. At the
// end of the data a code is formed from the bits at hand; once no bit is left, reading stops.
class CodeReader {
public:
    CodeReader(const uint8_t* p, const uint8_t* end) : p_(p), end_(end) {}

    bool Read(int codeSize, int& code)
    {
        if (bits_ < codeSize)
            Fill();
        if (bits_ == 0)
            return false;
        code = static_cast<int>(acc_ & ((1u << codeSize) - 1));
        acc_ >>= codeSize;
        bits_ = std::max(0, bits_ - codeSize);
        return true;
    }

    // Skips what is left of the data up to and including its terminating empty sub-block.
    void SkipRest()
    {
        while (!ended_) {
            size_t take = std::min<size_t>(blockLeft_, static_cast<size_t>(end_ - p_));
            p_ += take;
            blockLeft_ -= take;
            if (blockLeft_ > 0 || !NextBlock())
                ended_ = true;
        }
    }

    const uint8_t* Position() const { return p_; }

private:
    // Opens the next sub-block; false at the terminator or the end of the buffer.
    bool NextBlock()
    {
        if (p_ >= end_)
            return false;
        blockLeft_ = *p_++;
        return blockLeft_ != 0;
    }

    void Fill()
    {
        while (bits_ <= 56 && !ended_) {
            if (blockLeft_ == 0 && !NextBlock()) {
                ended_ = true;
                break;
            }
            if (p_ >= end_) {
                ended_ = true;
                break;
            }
            size_t n = std::min<size_t>({blockLeft_, static_cast<size_t>(end_ - p_), size_t((64 - bits_) / 8)});
            for (size_t i = 0; i < n; ++i) {
                acc_ |= uint64_t(p_[i]) << bits_;
                bits_ += 8;
            }
            p_ += n;
            blockLeft_ -= n;
        }
    }

    const uint8_t* p_;
    const uint8_t* end_;
    size_t blockLeft_ = 0;
    bool ended_ = false;
    uint64_t acc_ = 0;
    int bits_ = 0;
};

QString ExceptionText(const std::exception& e)
{
    if (auto* fe = dynamic_cast<const Exception*>(&e))
        return fe->Message();
    return QString::fromUtf8(e.what());
}

// Runs body between the starting and ending progress reports; an exception passing through is
// reported with 0 percent and its message before it continues.
template <class Body>
auto WithProgress(const TGifProgressProc& progress, Body&& body)
{
    if (progress)
        progress(gpsStarting, 0, QString());
    try {
        auto result = body();
        if (progress)
            progress(gpsEnding, 100, QString());
        return result;
    } catch (const std::exception& e) {
        if (progress)
            progress(gpsEnding, 0, ExceptionText(e));
        throw;
    }
}

// Writes 8-bit pixels in row order into the buffer (rows bottom-up, or top-down when asked),
// dropping those beyond the last row or outside the caller's buffer.
class PixelWriter {
public:
    PixelWriter(uint8_t* pixels, size_t bufferSize, int width, int height, bool interlaced, bool topDown)
        : pixels_(pixels), width_(width), height_(height), topDown_(topDown), walker_(height, interlaced)
    {
        stride_ = GifRowStride(width, 8);
        rowsInBuffer_ = stride_ > 0 ? static_cast<int64_t>(bufferSize / size_t(stride_)) : 0;
        SetRow();
    }

    bool Full() const { return walker_.Done(); }
    // The row being written (in walk order) and how many of its pixels are written.
    int Row() const { return walker_.Row(); }
    int Column() const { return col_; }

    // Writes count pixels that are stored in reverse in src (last pixel first).
    void PutReversed(const uint8_t* src, int count)
    {
        while (count > 0 && !walker_.Done()) {
            int n = std::min(count, width_ - col_);
            if (row_) {
                uint8_t* d = row_ + col_;
                for (int i = 0; i < n; ++i)
                    d[i] = src[count - 1 - i];
            }
            col_ += n;
            count -= n;
            if (col_ == width_)
                NextRow();
        }
    }

    void Put(uint8_t v) { PutReversed(&v, 1); }

    // Where n pixels of 8 bits go when they fit in what is left of the current row of the
    // buffer; null otherwise. Advance(n) moves past them.
    uint8_t* Room8(int n) const { return row_ && col_ + n <= width_ ? row_ + col_ : nullptr; }
    const uint8_t* RowEnd() const { return row_ + width_; }
    void Advance(int n)
    {
        col_ += n;
        if (col_ == width_)
            NextRow();
    }
    // Bytes of the current row up to end were written ahead of the pixels; they are pixels
    // still to come, unless the data ends first.
    void WroteAhead(uint8_t* end) { ahead_ = std::max(ahead_, end); }
    // Returns the bytes written ahead of the last pixel to zero, as the data gave no pixel there.
    void ClearAhead()
    {
        if (row_ && ahead_ > row_ + col_)
            std::memset(row_ + col_, 0, size_t(ahead_ - (row_ + col_)));
        ahead_ = nullptr;
    }

private:
    void NextRow()
    {
        col_ = 0;
        ahead_ = nullptr;
        walker_.Next();
        SetRow();
    }

    void SetRow()
    {
        row_ = nullptr;
        if (walker_.Done())
            return;
        int64_t storageRow = topDown_ ? walker_.Row() : height_ - 1 - walker_.Row();
        if (storageRow < rowsInBuffer_)
            row_ = pixels_ + storageRow * stride_;
    }

    uint8_t* pixels_;
    int width_;
    int height_;
    bool topDown_;
    int stride_ = 0;
    int64_t rowsInBuffer_ = 0;
    RowWalker walker_;
    int col_ = 0;
    uint8_t* row_ = nullptr;
    uint8_t* ahead_ = nullptr;
};

// Packs count 8-bit pixels (already masked to bpp bits) into a row of 1 or 4 bits, as pixel by
// pixel writing leaves it: the first pixel of a byte sets the whole byte, so bits after the last
// pixel of the byte are 0, and bytes past the last pixel are not touched.
void PackRow(const uint8_t* src, int count, int bpp, uint8_t* dst)
{
    if (bpp == 4) {
        const int pairs = count >> 1;
        for (int i = 0; i < pairs; ++i)
            dst[i] = uint8_t((src[2 * i] << 4) | src[2 * i + 1]);
        if (count & 1)
            dst[pairs] = uint8_t(src[count - 1] << 4);
        return;
    }
    const int bytes = count >> 3;
    for (int i = 0; i < bytes; ++i) {
        const uint8_t* s = src + 8 * i;
        dst[i] = uint8_t((s[0] << 7) | (s[1] << 6) | (s[2] << 5) | (s[3] << 4) | (s[4] << 3) | (s[5] << 2) |
                         (s[6] << 1) | s[7]);
    }
    if (const int rest = count & 7) {
        uint8_t b = 0;
        for (int x = 0; x < rest; ++x)
            b |= uint8_t(src[8 * bytes + x] << (7 - x));
        dst[bytes] = b;
    }
}

[[noreturn]] void RaiseCorrupt()
{
    throw EInvalidGraphicOperation(QString::fromLatin1(GifText::DecodeError));
}

// The decoder's tables. Only the entries of the indices are set up front: every other entry is
// written when its code is assigned, before any code can name it.
struct DecodeTables {
    static constexpr int kChunk = 16;
    // Each entry's string is its prefix's string and one pixel; length counts its pixels.
    // An entry only ever links to an older one made since the last clear code, so walking
    // length - 1 links from an entry always ends on an index.
    uint16_t prefix[kMaxCodes];
    uint16_t length[kMaxCodes];
    // Where an entry's string already stands whole in the buffer, or null. A string written
    // straight after the previous one continues it in memory, so the entry they make is a copy
    // of bytes already written (pixels are written once and never moved).
    const uint8_t* origin[kMaxCodes];
    uint8_t suffix[kMaxCodes];
    uint8_t roots[kMaxCodes + kChunk];
    uint8_t stack[kStackLimit + 1];
    // The entries of the indices are never written while decoding, so they stand as the last
    // frame set them up: for this clear code and pixel mask (none yet while negative).
    int readyClear = -1;
    int readyMask = -1;
};

// Each thread keeps one set of tables for the frames it decodes one after another; a decoding
// started while another is under way on the same thread (from a progress listener) gets a set of
// its own.
class TableLease {
public:
    TableLease()
    {
        Slot& slot = ThreadSlot();
        if (!slot.busy) {
            if (!slot.tables)
                slot.tables = std::make_unique_for_overwrite<DecodeTables>();
            slot.busy = true;
            tables_ = slot.tables.get();
        } else {
            own_ = std::make_unique_for_overwrite<DecodeTables>();
            tables_ = own_.get();
        }
    }
    ~TableLease()
    {
        if (!own_)
            ThreadSlot().busy = false;
    }
    TableLease(const TableLease&) = delete;
    TableLease& operator=(const TableLease&) = delete;
    DecodeTables* operator->() const { return tables_; }
    DecodeTables& operator*() const { return *tables_; }

private:
    struct Slot {
        std::unique_ptr<DecodeTables> tables;
        bool busy = false;
    };
    static Slot& ThreadSlot()
    {
        static thread_local Slot slot;
        return slot;
    }
    std::unique_ptr<DecodeTables> own_;
    DecodeTables* tables_;
};

// Decodes into 8-bit rows (pixels, bufferSize) with the pixel values masked to maskBpp bits;
// finish sees where writing stopped, however decoding ends.
template <class Finish>
bool DecodeCore8(const uint8_t* data, size_t size, int width, int height, int maskBpp, bool interlaced,
                 bool topDown, const TGifProgressProc& progress, uint8_t* pixels, size_t bufferSize,
                 int colorBits, bool acceptCorrupted, size_t* consumed, Finish&& finish);

bool DecodeCore(const uint8_t* data, size_t size, int width, int height, int bpp, bool interlaced,
                bool topDown, const TGifProgressProc& progress, uint8_t* pixels, size_t bufferSize,
                int colorBits, bool acceptCorrupted, size_t* consumed)
{
    if (bpp != 1 && bpp != 4 && bpp != 8)
        bpp = 8;
    if (bpp == 8 || width <= 0 || height <= 0 || size == 0)
        return DecodeCore8(data, size, width, height, bpp, interlaced, topDown, progress, pixels, bufferSize,
                           colorBits, acceptCorrupted, consumed, [](const PixelWriter&) {});
    // 1- and 4-bit rows: the pixels are decoded a byte each into rows of their own, where strings
    // are copied whole, and packed into the caller's rows when decoding ends. The rows packed
    // are those written, each up to its last pixel, so the buffer ends as writing pixel by pixel
    // leaves it.
    const int stride = GifRowStride(width, bpp);
    const int stride8 = GifRowStride(width, 8);
    const int64_t rows = std::min<int64_t>(height, int64_t(bufferSize / size_t(stride)));
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[size_t(stride8) * size_t(rows)]);
    auto pack = [&](const PixelWriter& out) {
        auto packRow = [&](int row, int count) {
            const int64_t at = topDown ? row : height - 1 - row;
            if (at < rows)
                PackRow(bytes.get() + at * stride8, count, bpp, pixels + at * stride);
        };
        const int lastRow = out.Full() ? -1 : out.Row();
        RowWalker walk(height, interlaced);
        for (; !walk.Done() && walk.Row() != lastRow; walk.Next())
            packRow(walk.Row(), width);
        if (!walk.Done() && out.Column() > 0)
            packRow(lastRow, out.Column());
    };
    return DecodeCore8(data, size, width, height, bpp, interlaced, topDown, progress, bytes.get(),
                       size_t(stride8) * size_t(rows), colorBits, acceptCorrupted, consumed, pack);
}

template <class Finish>
bool DecodeCore8(const uint8_t* data, size_t size, int width, int height, int maskBpp, bool interlaced,
                 bool topDown, const TGifProgressProc& progress, uint8_t* pixels, size_t bufferSize,
                 int colorBits, bool acceptCorrupted, size_t* consumed, Finish&& finish)
{
    if (size == 0) {
        if (consumed)
            *consumed = 0;
        if (!acceptCorrupted)
            RaiseCorrupt();
        return true;
    }
    bool corrupted = false;
    int minCodeSize = data[0];
    // Sizes of 10 and 11 leave little room in the table but are sound data; only a size whose
    // first codes would not fit 12 bits is corrupt.
    if (minCodeSize < 2 || minCodeSize > 11) {
        if (!acceptCorrupted)
            throw EInvalidGraphicOperation(QString::fromLatin1(GifText::BadCodeSize));
        corrupted = true;
        minCodeSize = std::clamp(minCodeSize, 2, 9);
    }
    colorBits = std::clamp(colorBits, 1, 8);
    // The index must also fit the target's pixel. An index beyond the colour table is drawn
    // masked into it; that is no fault of the data (many writers leave the table short).
    const int pixelMask = ((1 << colorBits) - 1) & ((1 << maskBpp) - 1);

    const int clear = 1 << minCodeSize;
    const int endCode = clear + 1;
    int codeSize = minCodeSize + 1;
    int capacity = 1 << codeSize;
    int nextFree = clear + 2;

    // The tables are reached through one base, which leaves the decoding loop registers for
    // its own state.
    const TableLease tables;
    DecodeTables& t = *tables;
    // Where the previous code's string was written, or null.
    const uint8_t* prevAt = nullptr;
    // Strings are copied 16 bytes at a time where the row has room for it; an index is copied
    // from its own masked value, which has 16 readable bytes after it too.
    constexpr int kChunk = DecodeTables::kChunk;
    const uint8_t* const pixelsEnd = pixels + bufferSize;

    if (t.readyClear != clear || t.readyMask != pixelMask) {
        for (int c = 0; c < clear; ++c) {
            t.roots[c] = uint8_t(c & pixelMask);
            t.origin[c] = &t.roots[c];
            t.length[c] = 1;
        }
        std::memset(t.roots + clear, 0, kChunk);
        t.readyClear = clear;
        t.readyMask = pixelMask;
    }

    CodeReader reader(data + 1, data + size);
    PixelWriter out(pixels, bufferSize, width, height, interlaced, topDown);
    // However decoding ends (an exception from a progress listener included), no byte written
    // ahead of the pixels stays in the buffer.
    struct ClearAheadOnExit {
        PixelWriter& writer;
        Finish& finish;
        ~ClearAheadOnExit()
        {
            writer.ClearAhead();
            finish(writer);
        }
    } clearAhead{out, finish};
    // Until the first string of a table has been read there is no previous code to extend,
    // whether or not the data starts with a clear code. Data that starts without one is read
    // as if it had one: its first code is a plain index that adds no entry, which is how the
    // writers that leave the clear code out number their entries (an entry made for the first
    // code would shift every later code by one and garble their pictures). The previous code is
    // negative while there is none.
    int prevCode = -1;
    uint8_t firstChar = 0;
    int lastPercent = -1;
    const bool listened = bool(progress);
    auto report = [&] {
        if (!listened)
            return;
        int percent = static_cast<int>(int64_t(reader.Position() - data) * 100 / int64_t(size));
        if (percent != lastPercent) {
            lastPercent = percent;
            progress(gpsRunning, percent, QString());
        }
    };

    int code = 0;
    bool haveCode = width > 0 && height > 0 && reader.Read(codeSize, code);
    while (haveCode && code != endCode && !out.Full()) {
        if (code == clear) {
            codeSize = minCodeSize + 1;
            capacity = 1 << codeSize;
            nextFree = clear + 2;
            prevCode = -1;
        } else if (prevCode < 0) {
            // The first code of a table names no entry yet: whatever it is, it is drawn as an
            // index, masked into the colour table. A code that is no index is not extended:
            // the next code starts afresh, unless its masked value is an index of its own.
            firstChar = uint8_t(code & pixelMask);
            out.Put(firstChar);
            if (code < clear || firstChar < clear) {
                prevCode = code < clear ? code : firstChar;
                prevAt = nullptr;
            }
        } else {
            // A frame found corrupt by its code size keeps only its first pixel.
            if (corrupted)
                break;
            // Only the code about to be assigned may stand for a string not yet in the table.
            if (code > nextFree) {
                corrupted = true;
                break;
            }
            const bool fresh = code == nextFree;
            const int prevLength = t.length[prevCode];
            const int n = fresh ? prevLength + 1 : t.length[code];
            uint8_t* d = out.Room8(n);
            if (d) {
                const uint8_t* from = fresh ? prevAt : t.origin[code];
                // Whole chunks: written within the row, read within the buffer or the indices.
                const int copied = ((fresh ? n - 1 : n) + kChunk - 1) & ~(kChunk - 1);
                if (from && d + copied <= out.RowEnd() && (code < clear || from + copied <= pixelsEnd)) {
                    // The bytes read lie before d (written earlier) or are garbage to be written
                    // over, so chunks that overlap their source still copy the string.
                    for (int i = 0; i < copied; i += kChunk) {
                        uint8_t chunk[kChunk];
                        std::memcpy(chunk, from + i, kChunk);
                        std::memcpy(d + i, chunk, kChunk);
                    }
                    out.WroteAhead(d + copied);
                    if (fresh)
                        d[n - 1] = firstChar;
                    firstChar = from[0];
                } else if (from) {
                    // Too near the row's end for whole chunks: the string is copied a byte at a
                    // time from where it stands whole (before d, so no byte read is written).
                    const int whole = fresh ? n - 1 : n;
                    for (int i = 0; i < whole; ++i)
                        d[i] = from[i];
                    if (fresh)
                        d[n - 1] = firstChar;
                    firstChar = from[0];
                } else {
                    // The string is written straight into the row, from its last pixel back.
                    uint8_t* p = d + n - 1;
                    int c = code;
                    if (code == nextFree) {
                        *p-- = firstChar;
                        c = prevCode;
                    }
                    for (; p > d; --p) {
                        *p = t.suffix[c];
                        c = t.prefix[c];
                    }
                    firstChar = uint8_t(c & pixelMask);
                    *d = firstChar;
                }
                out.Advance(n);
            } else {
                int sp = 0;
                int c = code;
                if (code == nextFree) {
                    t.stack[sp++] = firstChar;
                    c = prevCode;
                }
                while (c >= clear && sp < kStackLimit) {
                    t.stack[sp++] = t.suffix[c];
                    c = t.prefix[c];
                }
                firstChar = uint8_t(c & pixelMask);
                t.stack[sp++] = firstChar;
                out.PutReversed(t.stack, sp);
            }
            // Once the table holds every code of 12 bits, no entry is added until a clear code.
            if (nextFree < kMaxCodes) {
                t.prefix[nextFree] = uint16_t(prevCode);
                t.suffix[nextFree] = firstChar;
                t.length[nextFree] = uint16_t(prevLength + 1);
                t.origin[nextFree] = prevAt && d == prevAt + prevLength ? prevAt : nullptr;
                if (++nextFree >= capacity && codeSize < kMaxCodeSize) {
                    ++codeSize;
                    capacity <<= 1;
                }
            }
            prevCode = code;
            prevAt = d;
        }
        haveCode = reader.Read(codeSize, code);
        report();
    }
    if (corrupted && !acceptCorrupted)
        RaiseCorrupt();
    reader.SkipRest();
    if (consumed)
        *consumed = static_cast<size_t>(reader.Position() - data);
    return corrupted;
}

// Codes packed least-significant bit first into sub-blocks of 255 bytes.
class CodeWriter {
public:
    void Put(int code, int codeSize)
    {
        acc_ |= uint64_t(code) << bits_;
        bits_ += codeSize;
        while (bits_ >= 8) {
            block_[n_++] = uint8_t(acc_);
            acc_ >>= 8;
            bits_ -= 8;
            if (n_ == 255)
                EmitBlock();
        }
    }

    void Flush()
    {
        if (bits_ > 0) {
            block_[n_++] = uint8_t(acc_);
            acc_ = 0;
            bits_ = 0;
        }
        if (n_ > 0)
            EmitBlock();
        out_.push_back(0);
    }

    std::vector<uint8_t>& Output() { return out_; }

private:
    void EmitBlock()
    {
        out_.push_back(uint8_t(n_));
        out_.insert(out_.end(), block_, block_ + n_);
        n_ = 0;
    }

    uint64_t acc_ = 0;
    int bits_ = 0;
    uint8_t block_[256];
    int n_ = 0;
    std::vector<uint8_t> out_;
};

constexpr int kHashSize = 17777;
constexpr uint16_t kEmptySlot = 0xFFFF;

void EncodeCore(TStream* target, int width, int height, int bpp, bool interlaced,
                const TGifProgressProc& progress, const uint8_t* pixels)
{
    if (bpp != 1 && bpp != 4 && bpp != 8)
        throw EInvalidGraphicOperation(QString::fromLatin1(GifText::EncodeError));
    const int initialSize = bpp == 1 ? 3 : bpp + 1;
    const int clear = 1 << (initialSize - 1);
    const int endCode = clear + 1;
    int codeSize = initialSize;
    int capacity = 1 << codeSize;
    int lastCode = endCode;

    std::vector<uint16_t> hashSlots(kHashSize, kEmptySlot);
    std::vector<uint16_t> entryPrefix(kMaxCodes);
    std::vector<uint8_t> entryPixel(kMaxCodes);

    CodeWriter writer;
    writer.Output().push_back(uint8_t(initialSize - 1));
    writer.Put(clear, codeSize);

    const int stride = GifRowStride(width, bpp);
    int prefixCode = 0;
    unsigned k = 0;
    uint32_t h = 0;
    RowWalker rows(height, interlaced);
    int rowsDone = 0;
    while (width > 0 && !rows.Done()) {
        const uint8_t* row = pixels + int64_t(height - 1 - rows.Row()) * stride;
        for (int x = 0; x < width; ++x) {
            int p;
            if (bpp == 8)
                p = row[x];
            else if (bpp == 4)
                p = (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
            else
                p = (row[x >> 3] >> (7 - (x & 7))) & 1;
            k = (k + 1) & 0xFFFF;
            if (k == 1) {
                prefixCode = p;
                h = uint32_t(301 * p + 903);
                continue;
            }
            h = uint32_t((uint64_t(p) + k + 4) * h % kHashSize);
            for (;;) {
                uint16_t e = hashSlots[h];
                if (e == kEmptySlot)
                    break;
                if (entryPrefix[e] == prefixCode && entryPixel[e] == p)
                    break;
                if (++h == kHashSize)
                    h = 0;
            }
            if (hashSlots[h] != kEmptySlot) {
                prefixCode = hashSlots[h];
                continue;
            }
            writer.Put(prefixCode, codeSize);
            ++lastCode;
            hashSlots[h] = uint16_t(lastCode);
            entryPrefix[lastCode] = uint16_t(prefixCode);
            entryPixel[lastCode] = uint8_t(p);
            prefixCode = p;
            h = uint32_t(301 * p + 903);
            k = 1;
            if (lastCode == capacity) {
                capacity <<= 1;
                ++codeSize;
            } else if (lastCode >= 4094) {
                writer.Put(prefixCode, codeSize);
                writer.Put(clear, codeSize);
                k = 0;
                lastCode = endCode;
                codeSize = initialSize;
                capacity = 1 << codeSize;
                std::fill(hashSlots.begin(), hashSlots.end(), kEmptySlot);
            }
        }
        rows.Next();
        ++rowsDone;
        if (progress)
            progress(gpsRunning, int(int64_t(rowsDone) * 100 / height), QString());
    }
    // After a clear the pending pixel has been written already.
    if (k > 0)
        writer.Put(prefixCode, codeSize);
    writer.Put(endCode, codeSize);
    writer.Flush();
    const auto& out = writer.Output();
    target->WriteBuffer(out.data(), int64_t(out.size()));
}

} // namespace

bool GifLzwDecodeBytes(const uint8_t* data, size_t size, int width, int height, int bitsPerPixel,
                       bool interlaced, const TGifProgressProc& progress, uint8_t* pixels,
                       size_t bufferSize, int colorBits, bool acceptCorrupted, size_t* consumed,
                       bool topDown)
{
    return WithProgress(progress, [&] {
        return DecodeCore(data, size, width, height, bitsPerPixel, interlaced, topDown, progress,
                          pixels, bufferSize, colorBits, acceptCorrupted, consumed);
    });
}

bool GifLzwDecode(TStream* data, int width, int height, int bitsPerPixel, bool interlaced,
                  const TGifProgressProc& progress, uint8_t* pixels, size_t bufferSize,
                  int colorBits, bool acceptCorrupted)
{
    const int64_t start = data->Position();
    QByteArray owned;
    const uint8_t* bytes;
    size_t size;
    if (auto* mem = dynamic_cast<TMemoryStream*>(data)) {
        bytes = reinterpret_cast<const uint8_t*>(mem->Memory()) + start;
        size = size_t(std::max<int64_t>(0, mem->Size() - start));
    } else {
        owned = data->ReadAll();
        bytes = reinterpret_cast<const uint8_t*>(owned.constData());
        size = size_t(owned.size());
    }
    size_t used = 0;
    bool corrupted = GifLzwDecodeBytes(bytes, size, width, height, bitsPerPixel, interlaced, progress,
                                       pixels, bufferSize, colorBits, acceptCorrupted, &used);
    data->SetPosition(start + int64_t(used));
    return corrupted;
}

void GifLzwEncode(TStream* target, int width, int height, int bitsPerPixel, bool interlaced,
                  const TGifProgressProc& progress, const uint8_t* pixels)
{
    WithProgress(progress, [&] {
        EncodeCore(target, width, height, bitsPerPixel, interlaced, progress, pixels);
        return 0;
    });
}
