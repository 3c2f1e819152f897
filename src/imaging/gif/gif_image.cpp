#include "imaging/gif/gif_image.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/clipboard.h"
#include "framework/exceptions.h"
#include "framework/graphics.h"
#include "framework/palette.h"
#include "framework/picture.h"
#include "framework/streams.h"
#include "imaging/gif/color_reduction.h"
#include "imaging/gif/gif_texts.h"
#include "imaging/gif/graphic_utils.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

bool GifAcceptCorrupted = true;

namespace {

[[noreturn]] void RaiseGif(const char* text)
{
    throw EInvalidGraphicOperation(QString::fromLatin1(text));
}

// Smallest n of at least 1 with 2^n not below count.
int BitsForCount(int count)
{
    int n = 1;
    while ((1 << n) < count && n < 8)
        ++n;
    return n;
}

// Bits of a table count that must be a power of two from 2 to 256.
int BitsOfPowerCount(int count)
{
    for (int n = 1; n <= 8; ++n)
        if (count == (1 << n))
            return n;
    RaiseGif(GifText::WrongPaletteSize);
}

uint8_t GreyOf(int r, int g, int b)
{
    return uint8_t((77 * r + 150 * g + 29 * b) >> 8);
}

TColor GreyColor(TColor color)
{
    color = ColorToRGB(color);
    const uint8_t y = GreyOf(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    return y | (y << 8) | (y << 16);
}

void GreyTable(TGIFColorTable& table)
{
    for (int i = 0; i < table.Count && i < 256; ++i) {
        const uint8_t y = GreyOf(table.Colors[i][0], table.Colors[i][1], table.Colors[i][2]);
        table.Colors[i][0] = table.Colors[i][1] = table.Colors[i][2] = y;
    }
}

QByteArray SaveBitmapBytes(TBitmap* bitmap)
{
    TMemoryStream s;
    bitmap->SaveToStream(&s);
    return s.Bytes();
}

} // namespace

// Bounds-checked reading of a GIF held in memory: a short read takes what is there and reports it.
class GifReader {
public:
    explicit GifReader(const QByteArray& data)
        : data_(data), p_(reinterpret_cast<const uint8_t*>(data.constData())), size_(size_t(data.size()))
    {
    }

    bool AtEnd() const { return pos_ >= size_; }
    size_t Remaining() const { return size_ - pos_; }
    void JumpToEnd() { pos_ = size_; }

    // Copies count bytes; a short read copies what is left, zero-fills the rest and returns false.
    bool Read(void* target, size_t count)
    {
        size_t n = std::min(count, Remaining());
        std::memcpy(target, p_ + pos_, n);
        if (n < count)
            std::memset(static_cast<uint8_t*>(target) + n, 0, count - n);
        pos_ += n;
        return n == count;
    }

    // Up to count bytes, sharing the data's storage.
    QByteArray Take(size_t count)
    {
        size_t n = std::min(count, Remaining());
        QByteArray out = n > 0 ? Shared(p_ + pos_, n) : QByteArray(reinterpret_cast<const char*>(p_ + pos_), 0);
        pos_ += n;
        return out;
    }

    uint8_t Byte() { return AtEnd() ? 0 : p_[pos_++]; }

    // The next byte that is not zero; 0 at the end.
    uint8_t NextNonZero()
    {
        while (!AtEnd()) {
            uint8_t b = p_[pos_++];
            if (b != 0)
                return b;
        }
        return 0;
    }

    // Sub-blocks as lines, up to a zero length or the end; false when a block ran past the end.
    bool ReadLines(TStrings& lines)
    {
        while (!AtEnd()) {
            uint8_t len = p_[pos_++];
            if (len == 0)
                return true;
            bool whole = Remaining() >= len;
            lines.Add(QString::fromLatin1(Take(len)));
            if (!whole)
                return false;
        }
        return true;
    }

    const uint8_t* Here() const { return p_ + pos_; }
    void Skip(size_t n) { pos_ += std::min(n, Remaining()); }

    // The count bytes at here, which must lie in the data: they share the data's storage, which
    // they keep alive, rather than being copied. Writing to them copies them first, as ever.
    QByteArray Shared(const uint8_t* here, size_t count) const
    {
        QByteArray::DataPointer slice = const_cast<QByteArray&>(data_).data_ptr();
        if (!slice.d_ptr())
            return QByteArray(reinterpret_cast<const char*>(here), qsizetype(count));
        slice.setBegin(const_cast<char*>(reinterpret_cast<const char*>(here)));
        slice.size = qsizetype(count);
        return QByteArray(std::move(slice));
    }

private:
    const QByteArray& data_;
    const uint8_t* p_;
    size_t size_;
    size_t pos_ = 0;
};

namespace {

bool ReadColorTable(GifReader& in, TGIFColorTable& table, int bits)
{
    table = TGIFColorTable();
    table.Count = 1 << bits;
    return in.Read(table.Colors, size_t(table.Count) * 3);
}

void WriteLines(TStream* out, const TStrings& lines)
{
    for (int i = 0; i < lines.Count(); ++i) {
        QByteArray bytes = lines.Get(i).toLatin1();
        if (bytes.isEmpty())
            continue;
        const int n = std::min<int>(int(bytes.size()), 255);
        out->WriteByte(uint8_t(n));
        out->WriteBuffer(bytes.constData(), n);
    }
    out->WriteByte(0);
}

// Writes exactly size bytes of a fixed part, padding a short one with zeros.
void WriteFixed(TStream* out, QByteArray rec, int size)
{
    rec.resize(size, '\0');
    out->WriteBuffer(rec.constData(), size);
}

const char* const kLoopIds[] = {"NETSCAPE2.0", "ANIMEXTS1.0"};

} // namespace

// ---- Colour tables --------------------------------------------------------------------------

int FindTableColor(const TGIFColorTable& table, TColor color)
{
    if (color == GifNoColor)
        return -1;
    color = ColorToRGB(color);
    for (int i = 0; i < table.Count && i < 256; ++i)
        if (table.Color(i) == color)
            return i;
    return -1;
}

// The index the screen descriptor gives for the background colour (0 for none).
static uint8_t BackgroundIndex(TGIFColorTable& global, TColor background)
{
    if (background == GifNoColor)
        return 0;
    int index = FindTableColor(global, background);
    if (index >= 0)
        return uint8_t(index);
    // The screen's background is an index into the global table: a colour that is not there yet
    // is added, the table growing to the next power of two (a frame's indexes all stay valid).
    const TColor rgb = ColorToRGB(background);
    if (global.Count < 256) {
        const int grown = global.Count == 0 ? 2 : global.Count * 2;
        std::fill(&global.Colors[global.Count][0], &global.Colors[grown - 1][2] + 1, uint8_t(0));
        global.Colors[global.Count][0] = GetRValue(rgb);
        global.Colors[global.Count][1] = GetGValue(rgb);
        global.Colors[global.Count][2] = GetBValue(rgb);
        index = global.Count;
        global.Count = grown;
        return uint8_t(index);
    }
    // A full table: the nearest of its colours.
    TPaletteEntries entries(256);
    for (int i = 0; i < 256; ++i)
        entries[size_t(i)] = qRgb(global.Colors[i][0], global.Colors[i][1], global.Colors[i][2]);
    return uint8_t(NearestColorIndex(entries, qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb))));
}

QString GifVersionName(int version)
{
    switch (version) {
    case 1: return QStringLiteral("87a");
    case 2: return QStringLiteral("89a");
    default: return QString();
    }
}

// ---- TGIFItem, TExtension ---------------------------------------------------------------------

TGIFData::TGIFData(const TGIFData& other)
    : AspectRatio(other.AspectRatio), BitsPerPixel(other.BitsPerPixel), ColorResBits(other.ColorResBits),
      ColorMap(other.ColorMap)
{
    Comment.Assign(const_cast<TStringList*>(&other.Comment));
}

TGIFItem::TGIFItem() = default;
TGIFItem::~TGIFItem() = default;

uint8_t TExtension::Label(TGIFExtensionType type)
{
    static constexpr uint8_t kLabels[4] = {0xF9, 0x01, 0xFF, 0xFE};
    return kLabels[type & 3];
}

void TExtension::Assign(TPersistent* source)
{
    if (auto* other = dynamic_cast<TExtension*>(source)) {
        ExtType = other->ExtType;
        ExtRec = other->ExtRec;
        Data.Assign(&other->Data);
        return;
    }
    TPersistent::Assign(source);
}

// ---- TGIFFrame --------------------------------------------------------------------------------

TGIFFrame::TGIFFrame(TGIFImage* owner) : owner_(owner)
{
    ResetData();
}

TGIFFrame::~TGIFFrame() = default;

void TGIFFrame::ResetData()
{
    data_ = std::make_shared<TGIFItem>();
    grayScale_ = corrupted_ = interlaced_ = localColors_ = false;
    transparentColor_ = GifNoColor;
    origin_ = {};
    delay_ = 0;
    disposal_ = 0;
}

bool TGIFFrame::HasData() const
{
    return data_ && data_->ZData && data_->ZData->Size() > 0;
}

// The size of the data equals that of the bitmap decoded from it, so a frame need not be
// decoded to be measured.
int TGIFFrame::GetWidth()
{
    if (bitmap_ && !bitmap_->Empty())
        return bitmap_->Width();
    return HasData() ? data_->Width : 0;
}

int TGIFFrame::GetHeight()
{
    if (bitmap_ && !bitmap_->Empty())
        return bitmap_->Height();
    return HasData() ? data_->Height : 0;
}

TBitmap* TGIFFrame::GetBitmap()
{
    if (bitmap_ && !bitmap_->Empty())
        return bitmap_.get();
    // A frame of width or height 0 shows nothing: it stays an empty bitmap. Decoding goes
    // straight into the rows of a new bitmap, which becomes the frame's once it is whole; a
    // failed decoding leaves a new empty bitmap.
    if (HasData() && data_->Width > 0 && data_->Height > 0) {
        try {
            bitmap_ = DecodeToBitmap();
        } catch (...) {
            bitmap_ = std::make_unique<TBitmap>();
            throw;
        }
    } else {
        bitmap_ = std::make_unique<TBitmap>();
    }
    return bitmap_.get();
}

void TGIFFrame::Draw(TCanvas* canvas, const TRect& rect, bool transparent)
{
    TBitmap* bitmap = GetBitmap();
    if (transparent && transparentColor_ != GifNoColor)
        DrawBitmapRectTransparent(canvas, rect.Left, rect.Top, rect.Width(), rect.Height(),
                                  Bounds(0, 0, bitmap->Width(), bitmap->Height()), bitmap, transparentColor_);
    else
        canvas->StretchDraw(rect, bitmap);
}

void TGIFFrame::SetOrigin(const TPoint& origin)
{
    if (origin == origin_)
        return;
    origin_ = origin;
    if (owner_) {
        owner_->GrowScreen(origin.X + data_->Width, origin.Y + data_->Height);
        owner_->Changed();
    }
}

void TGIFFrame::SetDelay(uint16_t ms)
{
    if (ms == delay_)
        return;
    delay_ = ms;
    if (owner_) {
        if (ms != 0)
            owner_->Version = 2;
        owner_->Changed();
    }
}

void TGIFFrame::SetDisposal(uint8_t disposal)
{
    if (disposal == disposal_)
        return;
    disposal_ = disposal;
    if (owner_) {
        if (disposal != 0)
            owner_->Version = 2;
        owner_->Changed();
    }
}

void TGIFFrame::SetTransparentColor(TColor color)
{
    if (color == transparentColor_)
        return;
    transparentColor_ = color;
    if (owner_) {
        if (color != GifNoColor)
            owner_->Version = 2;
        owner_->Changed();
    }
}

TExtension* TGIFFrame::FindComment() const
{
    for (auto& ext : extensions_)
        if (ext->ExtType == etComment)
            return ext.get();
    return nullptr;
}

TStrings* TGIFFrame::GetComment()
{
    if (TExtension* ext = FindComment())
        return &ext->Data;
    auto ext = std::make_unique<TExtension>();
    ext->ExtType = etComment;
    extensions_.push_back(std::move(ext));
    return &extensions_.back()->Data;
}

void TGIFFrame::SetComment(TStrings* lines)
{
    GetComment()->Assign(lines);
}

TExtension* TGIFFrame::LastGraphicControl() const
{
    for (auto it = extensions_.rbegin(); it != extensions_.rend(); ++it)
        if ((*it)->ExtType == etGraphic)
            return it->get();
    return nullptr;
}

// Data that runs into the end of the file: the whole sub-blocks, then what is left of a block cut
// short as a block of its own (so that its bytes decode and the data stays well formed when
// written again), and the terminator the file lacks, so that the frame written again does not
// swallow the trailer. Returns whether a block was cut short.
static bool ReadCutData(GifReader& in, TMemoryStream& z, int codeSize, const uint8_t* blocks, size_t whole)
{
    bool cut = false;
    z.SetSize(int64_t(whole) + 2);
    z.SetPosition(0);
    z.WriteByte(uint8_t(codeSize));
    z.WriteBuffer(blocks, int64_t(whole));
    in.Skip(whole);
    if (!in.AtEnd()) {
        cut = true;
        const uint8_t rest = uint8_t(in.Remaining() - 1);
        if (rest > 0) {
            z.WriteByte(rest);
            z.WriteBuffer(blocks + whole + 1, rest);
        }
        in.JumpToEnd();
    }
    z.WriteByte(0);
    return cut;
}

bool TGIFFrame::ReadFrame(GifReader& in)
{
    data_->ZData.reset();
    uint8_t d[9];
    if (!in.Read(d, 9)) {
        data_->ZData = std::make_unique<TMemoryStream>();
        return false;
    }
    const int left = qFromLittleEndian<uint16_t>(d);
    const int top = qFromLittleEndian<uint16_t>(d + 2);
    int width = qFromLittleEndian<uint16_t>(d + 4);
    int height = qFromLittleEndian<uint16_t>(d + 6);
    const uint8_t packed = d[8];
    interlaced_ = packed & 0x40;
    if (packed & 0x80) {
        data_->BitsPerPixel = (packed & 7) + 1;
        if (!ReadColorTable(in, data_->ColorMap, data_->BitsPerPixel))
            corrupted_ = true;
        localColors_ = true;
    } else {
        // The global table is taken below.
        localColors_ = false;
    }

    int codeSize = 0;
    if (in.AtEnd()) {
        corrupted_ = true;
    } else {
        codeSize = in.Byte();
        // The whole sub-blocks are measured first.
        const uint8_t* blocks = in.Here();
        const size_t remaining = in.Remaining();
        size_t whole = 0;
        while (whole < remaining && blocks[whole] != 0 && remaining - whole - 1 >= blocks[whole])
            whole += size_t(blocks[whole]) + 1;
        if (whole < remaining && blocks[whole] == 0) {
            // Data that ends with its terminator is kept where it lies in the file's bytes.
            data_->ZData = std::make_unique<TMemoryStream>(in.Shared(blocks - 1, whole + 2));
            data_->ZData->SetPosition(int64_t(whole) + 2);
            in.Skip(whole + 1);
        } else {
            data_->ZData = std::make_unique<TMemoryStream>();
            corrupted_ = ReadCutData(in, *data_->ZData, codeSize, blocks, whole) || corrupted_;
        }
    }
    if (!data_->ZData)
        data_->ZData = std::make_unique<TMemoryStream>();
    TMemoryStream& z = *data_->ZData;
    if (corrupted_ && !GifAcceptCorrupted)
        RaiseGif(FrameworkText::ReadError);

    // A width or height of 0 is kept: such a frame is empty and shows nothing. When the file gave
    // it no data either, it gets the data of no pixels (code size 2, clear, end), so that it is
    // written back as a whole frame.
    if ((width == 0 || height == 0) && z.Size() == 0)
        z.WriteBuffer("\x02\x01\x2C\x00", 4);
    origin_ = {left, top};
    data_->Width = width;
    data_->Height = height;
    data_->PackedFields = packed;
    if (!localColors_)
        data_->ColorMap = owner_->header_->ColorMap;
    if (data_->ColorMap.Count == 0) {
        // No table at all: the frame decodes with a grey ramp from black to white over as many
        // entries as its minimum code size gives (8 bits for a size outside 1..8), so an 8-bit
        // index reads as its own grey level. The ramp is not written back: the file stays
        // without a table.
        data_->BitsPerPixel = codeSize >= 1 && codeSize <= 8 ? codeSize : 8;
        TGIFColorTable& ramp = data_->ColorMap;
        ramp.Count = 1 << data_->BitsPerPixel;
        for (int i = 0; i < ramp.Count; ++i) {
            const auto grey = uint8_t(i * 255 / (ramp.Count - 1));
            ramp.Colors[i][0] = ramp.Colors[i][1] = ramp.Colors[i][2] = grey;
        }
    }

    delay_ = 0;
    for (const auto& ext : extensions_) {
        if (ext->ExtType != etGraphic || ext->ExtRec.size() < 6)
            continue;
        const auto* rec = reinterpret_cast<const uint8_t*>(ext->ExtRec.constData());
        const uint8_t flags = rec[1];
        if (flags & 1) {
            if (rec[4] < data_->ColorMap.Count)
                transparentColor_ = data_->ColorMap.Color(rec[4]);
        } else {
            transparentColor_ = GifNoColor;
        }
        // The delay is kept in milliseconds in 16 bits; longer ones are held at the longest.
        const int ms = std::min(qFromLittleEndian<uint16_t>(rec + 2) * 10, 65535);
        delay_ = uint16_t(std::max<int>(ms, delay_));
        disposal_ = (flags >> 2) & 7;
    }
    return true;
}

int TGIFFrame::DecodeDepth() const
{
    const int bits = data_->BitsPerPixel;
    if (bits == 1)
        return 1;
    if (bits >= 2 && bits <= 4)
        return 4;
    if (bits >= 5 && bits <= 8)
        return 8;
    RaiseGif(GifText::WrongPaletteSize);
}

void TGIFFrame::DecodeRows(uint8_t* pixels, size_t size, int depth, bool topDown)
{
    if (!HasData() || data_->Width <= 0 || data_->Height <= 0)
        return;
    // Read through a const stream: data kept in the file's bytes is not copied for reading.
    const TMemoryStream& z = *data_->ZData;
    const auto* bytes = reinterpret_cast<const uint8_t*>(z.Memory());
    const bool bad = GifLzwDecodeBytes(bytes, size_t(data_->ZData->Size()), data_->Width, data_->Height,
                                       depth, interlaced_, owner_ ? owner_->OnProgress : TGifProgressProc(),
                                       pixels, size, data_->BitsPerPixel, GifAcceptCorrupted, nullptr, topDown);
    corrupted_ = corrupted_ || bad;
}

QByteArray TGIFFrame::DecodeToDib()
{
    const int depth = DecodeDepth();
    const int width = data_->Width, height = data_->Height;
    if (int64_t(width) * height > GifMaxFramePixels)
        RaiseGif(GifText::DecodeError);

    TPaletteEntry palette[256];
    for (int i = 0; i < (1 << depth); ++i) {
        if (i < data_->ColorMap.Count)
            palette[i] = {data_->ColorMap.Colors[i][2], data_->ColorMap.Colors[i][1], data_->ColorMap.Colors[i][0], 0};
        else
            palette[i] = {0x80, 0x80, 0x80, 0x80};
    }
    QByteArray dib = MakeDibFile(width, height, depth, palette, 1 << depth, nullptr);
    const int64_t offset = 14 + 40 + 4 * (int64_t(1) << depth);
    DecodeRows(reinterpret_cast<uint8_t*>(dib.data()) + offset, size_t(dib.size() - offset), depth, false);
    return dib;
}

std::unique_ptr<TBitmap> TGIFFrame::DecodeToBitmap()
{
    const int depth = DecodeDepth();
    const int width = data_->Width, height = data_->Height;
    if (int64_t(width) * height > GifMaxFramePixels)
        RaiseGif(GifText::DecodeError);
    // The bitmap a BMP image of the frame would load as: the frame's depth, its colour table with
    // grey (0x808080) after the table's last entry, index 0 wherever the data gives no pixel.
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(depth == 1 ? pf1bit : depth == 4 ? pf4bit : pf8bit);
    // Sizing fills the bitmap white; with white as the first entry that fill is index 0
    // everywhere, which is the zeroed rows the decoder writes into.
    // The tables handed over are kept per thread, so no frame allocates its own.
    static const TPaletteEntries white{0xFFFFFF};
    bitmap->SetPalette(white);
    bitmap->SetSize(width, height);
    thread_local TPaletteEntries palette;
    palette.assign(size_t(1) << depth, 0x808080);
    const int colors = std::min(1 << depth, data_->ColorMap.Count);
    const auto* rgb = data_->ColorMap.Colors;
    for (int i = 0; i < colors; ++i)
        palette[size_t(i)] = 0xFF000000u | uint32_t(rgb[i][0]) << 16 | uint32_t(rgb[i][1]) << 8 | rgb[i][2];
    bitmap->SetPalette(palette);
    const size_t size = size_t(bitmap->BytesPerLine()) * size_t(height);
    DecodeRows(bitmap->ScanLine(0), size, depth, true);
    return bitmap;
}

void TGIFFrame::EncodeFromDib(const QByteArray& dib)
{
    TDibInfo info;
    if (!ParseDib(dib, info) || (info.BitCount != 1 && info.BitCount != 4 && info.BitCount != 8))
        RaiseGif(GifText::EncodeError);
    const int colors = 1 << info.BitCount;
    interlaced_ = false;
    TGIFColorTable table;
    table.Count = colors;
    const auto* pal = reinterpret_cast<const uint8_t*>(dib.constData()) + info.PaletteOffset;
    for (int i = 0; i < colors && i < info.ColorCount; ++i) {
        table.Colors[i][0] = pal[i * 4 + 2];
        table.Colors[i][1] = pal[i * 4 + 1];
        table.Colors[i][2] = pal[i * 4];
    }
    data_->ColorMap = table;
    data_->ZData = std::make_unique<TMemoryStream>();
    try {
        GifLzwEncode(data_->ZData.get(), info.Width, info.Height, info.BitCount, false,
                     owner_ ? owner_->OnProgress : TGifProgressProc(),
                     reinterpret_cast<const uint8_t*>(dib.constData()) + info.BitsOffset);
    } catch (const EAbort&) {
        ResetData();
        throw;
    }
    data_->BitsPerPixel = BitsForCount(colors);
    if (owner_) {
        TGIFData& header = *owner_->header_;
        if (header.ColorMap.Count == 0) {
            header.ColorMap = table;
            header.BitsPerPixel = data_->BitsPerPixel;
            localColors_ = false;
        } else {
            localColors_ = true;
        }
    }
    data_->Width = info.Width;
    data_->Height = info.Height;
    if (owner_)
        owner_->GrowScreen(origin_.X + info.Width, origin_.Y + info.Height);
}

void TGIFFrame::UpdateExtensions()
{
    TExtension* ext = LastGraphicControl();
    if (!ext && (delay_ != 0 || transparentColor_ != GifNoColor || disposal_ != 0)) {
        auto gce = std::make_unique<TExtension>();
        gce->ExtType = etGraphic;
        gce->ExtRec = QByteArray("\x04\0\0\0\0\0", 6);
        ext = gce.get();
        extensions_.push_back(std::move(gce));
    }
    if (ext) {
        ext->ExtRec.resize(6, '\0');
        auto* rec = reinterpret_cast<uint8_t*>(ext->ExtRec.data());
        qToLittleEndian<uint16_t>(uint16_t(delay_ / 10), rec + 2);
        const int index = FindTableColor(data_->ColorMap, transparentColor_);
        if (index >= 0) {
            rec[4] = uint8_t(index);
            rec[1] |= 1;
        } else {
            rec[1] &= uint8_t(~1);
        }
        rec[1] = uint8_t((rec[1] & 0xE3) | ((disposal_ & 7) << 2));
    }
    extensions_.erase(std::remove_if(extensions_.begin(), extensions_.end(),
                                     [](const auto& e) { return e->ExtType == etComment && e->Data.Count() == 0; }),
                      extensions_.end());
    if (!extensions_.empty() && owner_)
        owner_->Version = 2;
}

void TGIFFrame::WriteFrame(TStream* out)
{
    for (const auto& ext : extensions_) {
        out->WriteByte(0x21);
        out->WriteByte(TExtension::Label(ext->ExtType));
        switch (ext->ExtType) {
        case etGraphic: WriteFixed(out, ext->ExtRec, 6); break;
        case etPlainText:
            WriteFixed(out, ext->ExtRec, 13);
            WriteLines(out, ext->Data);
            break;
        case etApplication:
            WriteFixed(out, ext->ExtRec, 12);
            WriteLines(out, ext->Data);
            break;
        case etComment: WriteLines(out, ext->Data); break;
        }
    }
    out->WriteByte(0x2C);
    out->WriteWord(uint16_t(origin_.X));
    out->WriteWord(uint16_t(origin_.Y));
    out->WriteWord(uint16_t(data_->Width));
    out->WriteWord(uint16_t(data_->Height));
    uint8_t packed = 0;
    if (localColors_) {
        const int n = BitsForCount(data_->ColorMap.Count);
        data_->BitsPerPixel = n;
        packed = uint8_t(0x80 | (n - 1));
    }
    if (interlaced_)
        packed |= 0x40;
    out->WriteByte(packed);
    if (localColors_) {
        // The table written is exactly the size the descriptor announces.
        const int entries = 1 << ((packed & 7) + 1);
        QByteArray table(entries * 3, '\0');
        std::memcpy(table.data(), data_->ColorMap.Colors, size_t(std::min(entries, data_->ColorMap.Count)) * 3);
        out->WriteBuffer(table.constData(), table.size());
    }
    if (const TMemoryStream* z = data_->ZData.get())
        out->WriteBuffer(z->Memory(), data_->ZData->Size());
}

void TGIFFrame::EncodeFrame()
{
    if (!bitmap_ || bitmap_->Empty())
        RaiseGif(GifText::NoGifData);
    QByteArray dib;
    const int bits = bitmap_->BitsPerPixel();
    if (bits == 1 || bits == 4 || bits == 8) {
        dib = SaveBitmapBytes(bitmap_.get());
    } else {
        const uint8_t method = grayScale_ ? uint8_t(MethodGrayscale) : DefaultReductionMethod;
        if (method == MethodGrayscale)
            grayScale_ = true;
        std::unique_ptr<TMemoryStream> reduced(ReduceBitmapColors(bitmap_.get(), pf8bit, method));
        dib = reduced->Bytes();
        if (dib.isEmpty())
            dib = SaveBitmapBytes(bitmap_.get());
    }
    EncodeFromDib(dib);
}

void TGIFFrame::ConvertToGrayscale(bool encode)
{
    if (grayScale_ || (!bitmap_ && !HasData()))
        return;
    if (HasData() && data_->ColorMap.Count > 0) {
        bitmap_.reset();
        const int index = FindTableColor(data_->ColorMap, transparentColor_);
        GreyTable(data_->ColorMap);
        transparentColor_ = index >= 0 ? data_->ColorMap.Color(index) : GifNoColor;
        grayScale_ = true;
        try {
            GetBitmap();
        } catch (const EAbort&) {
        }
        return;
    }
    std::unique_ptr<TMemoryStream> reduced(ReduceBitmapColors(GetBitmap(), pf8bit, MethodGrayscale));
    const QByteArray dib = reduced->Bytes();
    data_ = std::make_shared<TGIFItem>();
    if (encode)
        EncodeFromDib(dib);
    grayScale_ = true;
    if (transparentColor_ != GifNoColor)
        transparentColor_ = GreyColor(transparentColor_);
    auto bitmap = std::make_unique<TBitmap>();
    TMemoryStream s(dib);
    bitmap->LoadFromStream(&s);
    bitmap_ = std::move(bitmap);
}

void TGIFFrame::Assign(TPersistent* source)
{
    if (!source) {
        ResetData();
        bitmap_.reset();
    } else if (auto* frame = dynamic_cast<TGIFFrame*>(source)) {
        if (frame == this)
            return;
        data_ = frame->data_;
        localColors_ = frame->owner_ == owner_ ? frame->localColors_ : true;
        origin_ = frame->origin_;
        interlaced_ = frame->interlaced_;
        if (frame->bitmap_) {
            bitmap_ = std::make_unique<TBitmap>();
            bitmap_->Assign(frame->bitmap_.get());
        }
        transparentColor_ = frame->transparentColor_;
        delay_ = frame->delay_;
        disposal_ = frame->disposal_;
        grayScale_ = frame->grayScale_;
        corrupted_ = frame->corrupted_;
        if (TExtension* comment = frame->FindComment(); comment && comment->Data.Count() > 0)
            GetComment()->Assign(&comment->Data);
    } else if (auto* image = dynamic_cast<TGIFImage*>(source)) {
        if (image->GetCount() == 0)
            Assign(nullptr);
        else
            Assign(image->GetFrame(image->FrameIndex < 0 ? 0 : std::min(image->FrameIndex, image->GetCount() - 1)));
        return;
    } else if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
        if (graphic->Empty()) {
            Assign(nullptr);
            return;
        }
        data_ = std::make_shared<TGIFItem>();
        auto bitmap = std::make_unique<TBitmap>();
        if (auto* sourceBitmap = dynamic_cast<TBitmap*>(graphic)) {
            bitmap->Assign(sourceBitmap);
            if (graphic->Transparent())
                transparentColor_ = sourceBitmap->TransparentColor();
        } else {
            // Any other picture is drawn over a key colour that then stands for its transparent
            // parts.
            bitmap->SetSize(graphic->Width(), graphic->Height());
            bitmap->Canvas()->Brush()->SetColor(clFuchsia);
            bitmap->Canvas()->FillRect(Bounds(0, 0, graphic->Width(), graphic->Height()));
            bitmap->Canvas()->Draw(0, 0, graphic);
            bitmap->Canvas()->FinishDrawing();
            if (graphic->Transparent())
                transparentColor_ = ColorToRGB(bitmap->Canvas()->Brush()->Color());
        }
        bitmap_ = std::move(bitmap);
    } else {
        TPersistent::Assign(source);
        return;
    }
    if (owner_)
        owner_->RecomputeScreenSize();
}

void TGIFFrame::AssignTo(TPersistent* dest)
{
    if (dynamic_cast<TGIFFrame*>(dest) || dynamic_cast<TGIFImage*>(dest)) {
        dest->Assign(this);
    } else if (auto* graphic = dynamic_cast<TGraphic*>(dest)) {
        graphic->Assign(GetBitmap());
        if (auto* bitmap = dynamic_cast<TBitmap*>(dest); bitmap && transparentColor_ != GifNoColor) {
            bitmap->SetTransparentColor(ColorToRGB(transparentColor_));
            bitmap->SetTransparent(true);
        }
    } else {
        TPersistent::AssignTo(dest);
    }
}

// ---- TGIFImage --------------------------------------------------------------------------------

TGIFImage::TGIFImage()
{
    ResetImage();
    SetTransparent(true);
    SetModified(false);
}

TGIFImage::~TGIFImage() = default;

void TGIFImage::ResetImage()
{
    header_ = std::make_shared<TGIFData>();
    items_.clear();
    corrupted_ = false;
    FrameIndex = -1;
    backgroundColor_ = GifNoColor;
    RepeatCount = 1;
    Looping = false;
    Version = 0;
    screenWidth_ = screenHeight_ = 0;
}

void TGIFImage::Clear()
{
    ResetImage();
    Changed();
}

TGIFFrame* TGIFImage::GetFrame(int index) const
{
    if (index < 0 || index >= GetCount())
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
    return items_[size_t(index)].get();
}

void TGIFImage::SetFrameIndex(int index)
{
    index = std::clamp(index, -1, GetCount() - 1);
    if (index == FrameIndex)
        return;
    FrameIndex = index;
    paletteModified_ = true;
    Changed();
}

void TGIFImage::DeleteFrame(int index)
{
    GetFrame(index);
    items_.erase(items_.begin() + index);
    RecomputeScreenSize();
    if (FrameIndex >= GetCount())
        FrameIndex = GetCount() - 1;
    Changed();
}

void TGIFImage::MoveFrame(int from, int to)
{
    GetFrame(from);
    GetFrame(to);
    auto frame = std::move(items_[size_t(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(frame));
    FrameIndex = to;
    Changed();
}

void TGIFImage::SetLooping(bool value)
{
    if (value == Looping)
        return;
    Looping = value;
    Changed();
}

void TGIFImage::SetRepeatCount(uint16_t value)
{
    value = std::min<uint16_t>(value, 30000);
    if (value == RepeatCount)
        return;
    RepeatCount = value;
    Changed();
}

void TGIFImage::SetBackgroundColor(TColor color)
{
    if (color == backgroundColor_)
        return;
    backgroundColor_ = color;
    Changed();
}

bool TGIFImage::IsCorrupted() const
{
    if (corrupted_)
        return true;
    for (const auto& f : items_)
        if (f->corrupted_)
            return true;
    return false;
}

TColor TGIFImage::GetTransparentColor() const
{
    if (FrameIndex < 0 || FrameIndex >= GetCount())
        return GifNoColor;
    return items_[size_t(FrameIndex)]->transparentColor_;
}

// The logical screen as the file's header gave it, frames or no frames; a new or cleared image
// has none (0 by 0).
int TGIFImage::GetScreenWidth() const
{
    return screenWidth_;
}

int TGIFImage::GetScreenHeight() const
{
    return screenHeight_;
}

void TGIFImage::GrowScreen(int right, int bottom)
{
    screenWidth_ = uint16_t(std::clamp<int>(right, screenWidth_, 65535));
    screenHeight_ = uint16_t(std::clamp<int>(bottom, screenHeight_, 65535));
}

void TGIFImage::RecomputeScreenSize()
{
    int w = 0, h = 0;
    for (const auto& f : items_) {
        w = std::max(w, f->origin_.X + f->GetWidth());
        h = std::max(h, f->origin_.Y + f->GetHeight());
    }
    screenWidth_ = uint16_t(std::min(w, 65535));
    screenHeight_ = uint16_t(std::min(h, 65535));
}

TStrings* TGIFImage::GetComment()
{
    return &header_->Comment;
}

void TGIFImage::UnshareHeader()
{
    if (header_.use_count() > 1)
        header_ = std::make_shared<TGIFData>(*header_);
}

void TGIFImage::SetComment(TStrings* lines)
{
    UnshareHeader();
    header_->Comment.Assign(lines);
}

void TGIFImage::ReadExtensionBlocks(GifReader& in, uint8_t& separator, std::vector<std::unique_ptr<TExtension>>& list)
{
    while (separator == '!') {
        if (in.AtEnd()) {
            corrupted_ = true;
            separator = ';';
            break;
        }
        const uint8_t label = in.Byte();
        auto ext = std::make_unique<TExtension>();
        bool whole = true;
        switch (label) {
        case 0xF9:
            ext->ExtType = etGraphic;
            ext->ExtRec = in.Take(6);
            whole = ext->ExtRec.size() == 6;
            break;
        case 0xFE:
            ext->ExtType = etComment;
            whole = in.ReadLines(ext->Data);
            break;
        case 0x01:
            ext->ExtType = etPlainText;
            ext->ExtRec = in.Take(13);
            whole = ext->ExtRec.size() == 13 && in.ReadLines(ext->Data);
            break;
        case 0xFF:
            ext->ExtType = etApplication;
            ext->ExtRec = in.Take(12);
            whole = ext->ExtRec.size() == 12 && in.ReadLines(ext->Data);
            break;
        default: {
            // Extensions of other labels are skipped by their sub-blocks, as every GIF reader
            // must; they are not kept.
            TStringList skipped;
            if (!in.ReadLines(skipped))
                corrupted_ = true;
            separator = in.AtEnd() ? ';' : in.NextNonZero();
            continue;
        }
        }
        if (!whole)
            corrupted_ = true;
        if (ext->ExtType == etPlainText) {
            list.clear();
        } else if (ext->ExtType == etApplication) {
            const QByteArray& rec = ext->ExtRec;
            const int idSize = std::min<int>(rec.isEmpty() ? 0 : uint8_t(rec[0]), 11);
            bool loop = false;
            for (const char* id : kLoopIds)
                loop = loop || (rec.size() >= 1 + idSize && std::memcmp(rec.constData() + 1, id, size_t(idSize)) == 0);
            if (loop && ext->Data.Count() > 0) {
                const QString line = ext->Data.Get(0);
                if (line.size() >= 3 && line[0].unicode() == 1) {
                    Looping = true;
                    RepeatCount = uint16_t(std::min(30000, int(line[1].unicode()) + 256 * int(line[2].unicode())));
                }
            }
        } else if (ext->ExtType == etComment || ext->ExtRec.size() == 6) {
            list.push_back(std::move(ext));
        }
        separator = in.AtEnd() ? ';' : in.NextNonZero();
    }
}

void TGIFImage::ReadGif(int64_t count, TStream* source, bool decodeFirst)
{
    ResetImage();
    QByteArray buffer;
    if (count > 0) {
        // A size that the source cannot hold is refused before anything is allocated.
        if (count > source->Size() - source->Position())
            throw EReadError(QString::fromLatin1(FrameworkText::ReadError));
        auto* memory = dynamic_cast<TMemoryStream*>(source);
        if (memory && memory->Position() == 0 && count == memory->Size()) {
            // A whole file in memory is read where it lies: the buffer shares its bytes.
            buffer = memory->Bytes();
            memory->SetPosition(count);
        } else {
            buffer.resize(qsizetype(count));
            source->ReadBuffer(buffer.data(), count);
        }

        GifReader in(buffer);
        char sig[6];
        // Letters match in either case (a letter's case is its 0x20 bit).
        const auto letter = [](char c, char upper) { return (c & ~0x20) == upper; };
        if (!in.Read(sig, 6) || !letter(sig[0], 'G') || !letter(sig[1], 'I') || !letter(sig[2], 'F'))
            RaiseGif(GifText::UnknownVersion);
        if (sig[3] != '8' || (sig[4] != '7' && sig[4] != '9') || !letter(sig[5], 'A'))
            RaiseGif(GifText::UnknownVersion);
        Version = sig[4] == '7' ? 1 : 2;

        uint8_t lsd[7];
        if (!in.Read(lsd, 7))
            RaiseGif(FrameworkText::ReadError);
        screenWidth_ = qFromLittleEndian<uint16_t>(lsd);
        screenHeight_ = qFromLittleEndian<uint16_t>(lsd + 2);
        const uint8_t packed = lsd[4];
        header_->AspectRatio = lsd[6];
        header_->BitsPerPixel = (packed & 7) + 1;
        header_->ColorResBits = ((packed >> 4) & 7) + 1;
        if (packed & 0x80) {
            if (!ReadColorTable(in, header_->ColorMap, header_->BitsPerPixel))
                corrupted_ = true;
            if (lsd[5] < header_->ColorMap.Count)
                backgroundColor_ = header_->ColorMap.Color(lsd[5]);
        }

        uint8_t separator = in.NextNonZero();
        while (separator != 0 && separator != ';' && !in.AtEnd()) {
            std::vector<std::unique_ptr<TExtension>> extensions;
            ReadExtensionBlocks(in, separator, extensions);
            if (separator == ',') {
                auto frame = std::make_unique<TGIFFrame>(this);
                if (header_->ColorMap.Count > 0)
                    frame->data_->BitsPerPixel = BitsOfPowerCount(header_->ColorMap.Count);
                frame->extensions_ = std::move(extensions);
                if (!frame->ReadFrame(in)) {
                    // The descriptor itself was cut off: no frame to keep.
                    corrupted_ = true;
                    break;
                }
                items_.push_back(std::move(frame));
                if (in.AtEnd()) {
                    separator = ';';
                } else {
                    separator = in.NextNonZero();
                    if (separator != '!' && separator != ',' && separator != ';')
                        separator = 0;
                }
            } else if (header_->Comment.Count() == 0 && !extensions.empty()) {
                for (const auto& ext : extensions) {
                    if (ext->ExtType != etComment)
                        continue;
                    if (header_->Comment.Count() > 0)
                        header_->Comment.Add(QStringLiteral("\r\n\r\n"));
                    header_->Comment.AddStrings(&ext->Data);
                }
            } else if (separator != 0 && separator != ';') {
                RaiseGif(FrameworkText::ReadError);
            }
        }
    }
    if (!items_.empty()) {
        FrameIndex = 0;
        if (decodeFirst)
            DecodeFirstFrame();
    }
    paletteModified_ = true;
    Changed();
}

void TGIFImage::DecodeFirstFrame()
{
    try {
        items_.front()->GetBitmap();
    } catch (...) {
        items_.erase(items_.begin());
        FrameIndex = items_.empty() ? -1 : 0;
        throw;
    }
}

void TGIFImage::EncodeFrames(bool redecode)
{
    for (auto& frame : items_) {
        if (!frame->HasData()) {
            frame->data_->ZData.reset();
            frame->EncodeFrame();
            if (redecode && frame->bitmap_ && frame->bitmap_->BitsPerPixel() > 8) {
                // A deep bitmap is shown as it will be written.
                frame->bitmap_.reset();
                try {
                    frame->GetBitmap();
                } catch (const EAbort&) {
                }
            }
        }
        frame->UpdateExtensions();
    }
}

void TGIFImage::EncodeAllFrames()
{
    EncodeFrames(true);
}

void TGIFImage::DecodeAllFrames()
{
    for (size_t i = 0; i < items_.size(); ++i) {
        try {
            items_[i]->GetBitmap();
        } catch (const EAbort&) {
            items_.erase(items_.begin() + qsizetype(i), items_.end());
            corrupted_ = true;
            if (FrameIndex >= GetCount())
                FrameIndex = GetCount() - 1;
            return;
        }
    }
}

void TGIFImage::ConvertToGrayscale(bool encode)
{
    if (items_.empty())
        RaiseGif(GifText::NoGifData);
    for (auto& frame : items_)
        frame->ConvertToGrayscale(encode);
    if (backgroundColor_ != GifNoColor) {
        TGIFColorTable& global = header_->ColorMap;
        if (global.Count == 0) {
            backgroundColor_ = GreyColor(backgroundColor_);
        } else {
            const int index = FindTableColor(global, backgroundColor_);
            GreyTable(global);
            backgroundColor_ = index >= 0 ? global.Color(index) : GreyColor(backgroundColor_);
        }
    }
    paletteModified_ = true;
    Changed();
}

TBitmap* TGIFImage::CurrentBitmap()
{
    if (items_.empty()) {
        FrameIndex = 0;
        TBitmap empty;
        auto frame = std::make_unique<TGIFFrame>(this);
        frame->Assign(&empty);
        items_.push_back(std::move(frame));
    }
    const int index = FrameIndex >= 0 && FrameIndex < GetCount() ? FrameIndex : 0;
    return items_[size_t(index)]->GetBitmap();
}

int TGIFImage::AddFrame(TGraphic* graphic)
{
    items_.push_back(std::make_unique<TGIFFrame>(this));
    FrameIndex = GetCount() - 1;
    items_.back()->Assign(graphic);
    if (Version == 0)
        Version = 1;
    if (GetCount() > 1)
        Version = 2;
    return FrameIndex;
}

// ---- The picture ------------------------------------------------------------------------------

void TGIFImage::Draw(TCanvas* canvas, const TRect& rect)
{
    if (FrameIndex >= 0 && FrameIndex < GetCount())
        items_[size_t(FrameIndex)]->Draw(canvas, rect, IsTransparent());
}

bool TGIFImage::GetEmpty() const
{
    if (items_.empty())
        return true;
    const int index = FrameIndex < 0 ? 0 : std::min(FrameIndex, GetCount() - 1);
    const TGIFFrame* frame = items_[size_t(index)].get();
    if (frame->bitmap_)
        return false;
    return !frame->HasData();
}

int TGIFImage::GetWidth()
{
    if (items_.empty() || FrameIndex < 0 || FrameIndex >= GetCount())
        return 0;
    return items_[size_t(FrameIndex)]->GetWidth();
}

int TGIFImage::GetHeight()
{
    if (items_.empty() || FrameIndex < 0 || FrameIndex >= GetCount())
        return 0;
    return items_[size_t(FrameIndex)]->GetHeight();
}

void TGIFImage::SetWidth(int)
{
    RaiseGif(GifText::ChangeGifSize);
}

void TGIFImage::SetHeight(int)
{
    RaiseGif(GifText::ChangeGifSize);
}

std::vector<uint32_t> TGIFImage::GetPalette()
{
    if (items_.empty())
        return {};
    const auto& palette = CurrentBitmap()->Palette();
    return std::vector<uint32_t>(palette.begin(), palette.end());
}

bool TGIFImage::IsTransparent() const
{
    if (!Transparent())
        return false;
    for (const auto& f : items_)
        if (f->transparentColor_ != GifNoColor)
            return true;
    return false;
}

bool TGIFImage::Equals(TGraphic* other) const
{
    auto* gif = dynamic_cast<TGIFImage*>(other);
    return gif && gif->header_ == header_;
}

void TGIFImage::LoadFromStream(TStream* stream)
{
    ReadGif(stream->Size() - stream->Position(), stream, true);
}

void TGIFImage::SaveToStream(TStream* stream)
{
    WriteGif(stream, false);
}

void TGIFImage::ReadData(TStream* stream)
{
    const uint32_t count = stream->ReadDWord();
    ReadGif(int64_t(count), stream, true);
}

void TGIFImage::WriteData(TStream* stream)
{
    WriteGif(stream, true);
}

namespace {
bool EveryFrameHasData(TGIFImage* gif)
{
    for (int i = 0; i < gif->GetCount(); ++i)
        if (!gif->GetFrame(i)->HasData())
            return false;
    return true;
}
} // namespace

void TGIFImage::SaveToClipboardFormat(TClipFormat& format, QByteArray& data)
{
    if (items_.empty())
        RaiseGif(GifText::NoGifData);
    if (EveryFrameHasData(this)) {
        TMemoryStream s;
        WriteGif(&s, true);
        format = CF_GIFIMAGE;
        data = s.Bytes();
    } else {
        GetFrame(0)->GetBitmap()->SaveToClipboardFormat(format, data);
    }
}

void TGIFImage::CopyToClipboard()
{
    if (items_.empty())
        RaiseGif(GifText::NoGifData);
    QByteArray gif;
    if (EveryFrameHasData(this)) {
        TMemoryStream s;
        WriteGif(&s, true);
        gif = s.Bytes();
    }
    TClipFormat format = 0;
    QByteArray dib;
    GetFrame(0)->GetBitmap()->SaveToClipboardFormat(format, dib);
    TClipboard* clipboard = Clipboard();
    clipboard->Open();
    clipboard->Clear();
    clipboard->SetAsHandle(format, dib);
    if (!gif.isEmpty())
        clipboard->SetAsHandle(CF_GIFIMAGE, gif);
    clipboard->Close();
}

void TGIFImage::LoadFromClipboardFormat(TClipFormat format, const QByteArray& data)
{
    if (format == CF_GIFIMAGE && CF_GIFIMAGE != 0) {
        TMemoryStream s(data);
        const uint32_t count = s.ReadDWord();
        ReadGif(int64_t(count), &s, false);
        if (!items_.empty()) {
            FrameIndex = 0;
            // The bitmap placed beside the file shows the first frame as the copying side saw it.
            if (Clipboard()->HasFormat(CF_DIB)) {
                auto bitmap = std::make_unique<TBitmap>();
                bitmap->LoadFromDIB(Clipboard()->GetAsHandle(CF_DIB));
                items_.front()->bitmap_ = std::move(bitmap);
            }
        }
        return;
    }
    TBitmap bitmap;
    bitmap.LoadFromClipboardFormat(format, data);
    Assign(&bitmap);
}

void TGIFImage::Assign(TPersistent* source)
{
    if (!source) {
        ResetImage();
        Changed();
    } else if (auto* gif = dynamic_cast<TGIFImage*>(source)) {
        if (gif == this)
            return;
        header_ = gif->header_;
        Version = gif->Version;
        backgroundColor_ = gif->backgroundColor_;
        RepeatCount = gif->RepeatCount;
        Looping = gif->Looping;
        corrupted_ = gif->corrupted_;
        std::vector<std::unique_ptr<TGIFFrame>> frames;
        for (const auto& other : gif->items_) {
            auto frame = std::make_unique<TGIFFrame>(this);
            frame->Assign(other.get());
            frame->localColors_ = other->localColors_;
            frames.push_back(std::move(frame));
        }
        items_ = std::move(frames);
        screenWidth_ = gif->screenWidth_;
        screenHeight_ = gif->screenHeight_;
        FrameIndex = gif->FrameIndex;
        Changed();
    } else if (auto* frame = dynamic_cast<TGIFFrame*>(source)) {
        // The frame may belong to this image, which the reset empties: copy it first.
        std::shared_ptr<TGIFData> ownerHeader = frame->owner_ ? frame->owner_->header_ : nullptr;
        TGIFFrame copy(nullptr);
        copy.Assign(frame);
        ResetImage();
        items_.push_back(std::make_unique<TGIFFrame>(this));
        items_.back()->Assign(&copy);
        if (ownerHeader) {
            header_->AspectRatio = ownerHeader->AspectRatio;
            header_->BitsPerPixel = ownerHeader->BitsPerPixel;
            header_->ColorResBits = ownerHeader->ColorResBits;
            header_->ColorMap = ownerHeader->ColorMap;
        }
        FrameIndex = 0;
        if (Version == 0)
            Version = 1;
        RecomputeScreenSize();
        Changed();
    } else if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
        ResetImage();
        AddFrame(bitmap);
        Changed();
    } else {
        TGraphic::Assign(source);
    }
}

void TGIFImage::AssignTo(TPersistent* dest)
{
    if (dynamic_cast<TGIFImage*>(dest)) {
        dest->Assign(this);
    } else if (!dynamic_cast<TGraphic*>(dest)) {
        TGraphic::AssignTo(dest);
    } else if (GetEmpty()) {
        dest->Assign(nullptr);
    } else if (FrameIndex < 0 || FrameIndex >= GetCount()) {
        dest->Assign(CurrentBitmap());
    } else {
        items_[size_t(FrameIndex)]->AssignTo(dest);
    }
}

// ---- Registration -----------------------------------------------------------------------------

TClipFormat CF_GIFIMAGE = 0;

void RegisterGifFormat()
{
    if (CF_GIFIMAGE == 0)
        CF_GIFIMAGE = RegisterClipboardFormat(QStringLiteral("GIF Image"));
    TPicture::RegisterFileFormat(QStringLiteral("gif"), QString::fromLatin1(GifText::GifImageDescription),
                                 GraphicClass<TGIFImage>());
    TPicture::RegisterClipboardFormat(CF_GIFIMAGE, GraphicClass<TGIFImage>());
}

void UnregisterGifFormat()
{
    TPicture::UnregisterGraphicClass(GraphicClass<TGIFImage>());
}

namespace {
// Registered whenever this module is part of the program, before any window definition loads.
const bool kGifFormatRegistered = (RegisterGifFormat(), true);
} // namespace

void TGIFImage::WriteGif(TStream* target, bool sizePrefix)
{
    if (items_.empty())
        RaiseGif(GifText::NoGifData);
    EncodeFrames(false);
    if (header_->Comment.Count() > 0)
        Version = 2;

    TMemoryStream out;
    out.WriteBuffer("GIF", 3);
    out.WriteBuffer(Version == 2 ? "89a" : "87a", 3);
    RecomputeScreenSize();
    out.WriteWord(screenWidth_);
    out.WriteWord(screenHeight_);
    TGIFColorTable global = header_->ColorMap;
    const uint8_t background = BackgroundIndex(global, backgroundColor_);
    uint8_t packed = 0;
    if (global.Count > 0) {
        const int bits = BitsOfPowerCount(global.Count);
        // The size field always matches the table that follows.
        packed = uint8_t(0x80 | ((bits - 1) << 4) | (bits - 1));
    }
    out.WriteByte(packed);
    out.WriteByte(background);
    out.WriteByte(header_->AspectRatio);
    if (global.Count > 0)
        out.WriteBuffer(global.Colors, int64_t(global.Count) * 3);
    if (Looping && items_.size() > 1) {
        out.WriteBuffer("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
        out.WriteWord(RepeatCount);
        out.WriteByte(0);
    }
    for (auto& frame : items_)
        frame->WriteFrame(&out);
    if (header_->Comment.Count() > 0) {
        out.WriteByte(0x21);
        out.WriteByte(0xFE);
        WriteLines(&out, header_->Comment);
    }
    out.WriteByte(0x3B);
    if (sizePrefix)
        target->WriteDWord(uint32_t(out.Size()));
    target->WriteBuffer(out.Memory(), out.Size());
}
