#include "framework/bitmap.h"

#include "framework/canvas.h"
#include "framework/clipboard.h"
#include "framework/exceptions.h"
#include "framework/streams.h"

#include <QImage>
#include <algorithm>
#include <cstring>

namespace {

// Limits that keep a malformed header from asking for absurd amounts of memory. The pixel count
// is what costs; the side limit only keeps row arithmetic small (a GIF frame of 65535 by 1 is
// sound).
constexpr int kMaxSide = 65535;
constexpr int64_t kMaxPixels = int64_t(1) << 26;

[[noreturn]] void InvalidBitmap()
{
    throw EInvalidGraphic(QString::fromLatin1(GraphicsText::InvalidBitmap));
}

inline uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
inline int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }
inline void Put16(QByteArray& out, uint16_t v)
{
    out.append(char(v));
    out.append(char(v >> 8));
}
inline void Put32(QByteArray& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char(v >> (8 * i)));
}

inline int StrideFor(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

// One channel of a bit-field pixel scaled to 0..255.
struct Field {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;
    explicit Field(uint32_t m = 0)
        : mask(m)
    {
        if (!m)
            return;
        while (!((m >> shift) & 1))
            ++shift;
        max = m >> shift;
    }
    int Get(uint32_t v) const { return max ? int(((v & mask) >> shift) * 255 / max) : 0; }
};

} // namespace

int BitsOfPixelFormat(TPixelFormat format)
{
    switch (format) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf15bit:
    case pf16bit:
        return 16;
    case pf32bit:
        return 32;
    default:
        return 24;
    }
}

// ---- Canvas surface ----------------------------------------------------------------------------

// 24-bit and 32-bit pixels are drawn in place; the other formats through a 32-bit working copy
// whose changed pixels go back to the nearest palette entry (or 16-bit value) when drawing ends.
class TBitmap::Surface : public TCanvasSurface {
public:
    explicit Surface(TBitmap* owner)
        : owner_(owner)
    {
    }

    QImage* AcquireImage() override
    {
        TBitmap* b = owner_;
        if (b->Empty())
            return nullptr;
        if (b->bits_ == 32) {
            image_ = QImage(b->data_.data(), b->width_, b->height_, b->stride_, QImage::Format_RGB32);
        } else if (b->bits_ == 24) {
            image_ = QImage(b->data_.data(), b->width_, b->height_, b->stride_, QImage::Format_BGR888);
        } else {
            image_ = QImage(b->width_, b->height_, QImage::Format_RGB32);
            for (int y = 0; y < b->height_; ++y) {
                auto* row = reinterpret_cast<uint32_t*>(const_cast<uchar*>(image_.constScanLine(y)));
                for (int x = 0; x < b->width_; ++x)
                    row[x] = b->PixelArgb(x, y);
            }
            working_ = true;
        }
        return &image_;
    }

    void ReleaseImage() override
    {
        if (working_) {
            TBitmap* b = owner_;
            for (int y = 0; y < b->height_ && y < image_.height(); ++y) {
                const auto* row = reinterpret_cast<const uint32_t*>(image_.constScanLine(y));
                for (int x = 0; x < b->width_ && x < image_.width(); ++x) {
                    // Only changed pixels are mapped again, so equal palette entries keep their
                    // own indices.
                    if ((row[x] & 0xFFFFFF) != (b->PixelArgb(x, y) & 0xFFFFFF))
                        b->SetPixelArgb(x, y, row[x] | 0xFF000000);
                }
            }
        }
        working_ = false;
        image_ = QImage();
    }

private:
    TBitmap* owner_;
    QImage image_;
    bool working_ = false;
};

// ---- TBitmap -----------------------------------------------------------------------------------

// The drawing surface is made with the canvas, on first use: most bitmaps are never drawn on.
TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format)
    : TBitmap()
{
    format_ = format;
    bits_ = BitsOfPixelFormat(format);
    if (bits_ <= 8)
        palette_ = FixedPaletteForBits(bits_);
    SetSize(width, height);
}

TBitmap::~TBitmap()
{
    if (canvas_)
        canvas_->SetSurface(nullptr);
}

TCanvas* TBitmap::Canvas()
{
    if (!canvas_) {
        if (!surface_)
            surface_ = std::make_unique<Surface>(this);
        canvas_ = std::make_unique<TCanvas>();
        canvas_->SetSurface(surface_.get());
        canvas_->OnChange = [this](TObject*) { Notify(); };
    }
    return canvas_.get();
}

void TBitmap::FlushCanvas()
{
    if (canvas_)
        canvas_->FinishDrawing();
}

void TBitmap::Allocate(int width, int height, TPixelFormat format)
{
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    format_ = format;
    bits_ = BitsOfPixelFormat(format);
    stride_ = StrideFor(width_, bits_);
    data_.assign(size_t(stride_) * size_t(height_), 0);
    if (bits_ <= 8) {
        if (palette_.empty())
            palette_ = FixedPaletteForBits(bits_);
        palette_.resize(size_t(1) << bits_, 0);
    } else {
        palette_.clear();
    }
}

void TBitmap::SetSize(int width, int height)
{
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == width_ && height == height_)
        return;
    if (int64_t(width) * height > kMaxPixels || width > kMaxSide || height > kMaxSide)
        throw EOutOfResources(QString::fromLatin1(GraphicsText::OutOfResources));
    FlushCanvas();
    const int oldW = width_, oldH = height_, oldStride = stride_;
    std::vector<uint8_t> old;
    old.swap(data_);
    Allocate(width, height, format_);
    if (Empty()) {
        Notify();
        return;
    }
    // New pixels are white: fill the first row, then repeat it. The rows start zeroed, so a
    // white that comes out as zero bytes (index 0 of a palette) needs no repeating. With a colour
    // table white maps to one index, looked up once.
    if (bits_ <= 8) {
        const int white = NearestColorIndex(palette_, 0xFFFFFF);
        uint8_t* row = data_.data();
        for (int x = 0; x < width_ && white != 0; ++x) {
            if (bits_ == 8)
                row[x] = uint8_t(white);
            else if (bits_ == 4)
                row[x >> 1] |= (x & 1) ? uint8_t(white) : uint8_t(white << 4);
            else
                row[x >> 3] |= uint8_t(0x80 >> (x & 7));
        }
    } else {
        for (int x = 0; x < width_; ++x)
            SetPixelArgb(x, 0, 0xFFFFFFFF);
    }
    const bool zeroRow = std::all_of(data_.begin(), data_.begin() + stride_, [](uint8_t b) { return b == 0; });
    for (int y = 1; y < height_ && !zeroRow; ++y)
        std::memcpy(&data_[size_t(y) * stride_], data_.data(), size_t(stride_));
    // The old picture keeps its place at the top left.
    const int keepW = std::min(oldW, width_);
    for (int y = 0; y < std::min(oldH, height_); ++y) {
        const uint8_t* src = old.data() + size_t(y) * oldStride;
        uint8_t* dst = data_.data() + size_t(y) * stride_;
        const int wholeBytes = keepW * bits_ / 8;
        std::memcpy(dst, src, size_t(wholeBytes));
        for (int x = wholeBytes * 8 / bits_; x < keepW; ++x) {
            const int bitPos = x * bits_;
            const int shift = 8 - bits_ - bitPos % 8;
            const uint8_t mask = uint8_t(((1 << bits_) - 1) << shift);
            dst[bitPos / 8] = uint8_t((dst[bitPos / 8] & ~mask) | (src[bitPos / 8] & mask));
        }
    }
    Notify();
}

uint32_t TBitmap::PixelArgb(int x, int y) const
{
    const uint8_t* row = data_.data() + size_t(y) * stride_;
    switch (bits_) {
    case 1: {
        const int i = (row[x >> 3] >> (7 - (x & 7))) & 1;
        return 0xFF000000u | palette_[i];
    }
    case 4: {
        const int i = (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
        return 0xFF000000u | palette_[i];
    }
    case 8:
        return 0xFF000000u | palette_[row[x]];
    case 16: {
        const uint16_t v = U16(row + 2 * x);
        int r, g, b;
        if (format_ == pf16bit) {
            r = (v >> 11) & 31;
            g = (v >> 5) & 63;
            b = v & 31;
            return 0xFF000000u | uint32_t(r * 255 / 31) << 16 | uint32_t(g * 255 / 63) << 8 | uint32_t(b * 255 / 31);
        }
        r = (v >> 10) & 31;
        g = (v >> 5) & 31;
        b = v & 31;
        return 0xFF000000u | uint32_t(r * 255 / 31) << 16 | uint32_t(g * 255 / 31) << 8 | uint32_t(b * 255 / 31);
    }
    case 24: {
        const uint8_t* p = row + 3 * x;
        return 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    default:
        return U32(row + 4 * x);
    }
}

void TBitmap::SetPixelArgb(int x, int y, uint32_t argb)
{
    uint8_t* row = data_.data() + size_t(y) * stride_;
    switch (bits_) {
    case 1:
    case 4:
    case 8: {
        const int i = NearestColorIndex(palette_, argb & 0xFFFFFF);
        if (bits_ == 8) {
            row[x] = uint8_t(i);
        } else if (bits_ == 4) {
            uint8_t& b = row[x >> 1];
            b = (x & 1) ? uint8_t((b & 0xF0) | i) : uint8_t((b & 0x0F) | i << 4);
        } else {
            uint8_t& b = row[x >> 3];
            const uint8_t bit = uint8_t(0x80 >> (x & 7));
            b = i ? (b | bit) : (b & ~bit);
        }
        break;
    }
    case 16: {
        const int r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
        uint16_t v;
        if (format_ == pf16bit)
            v = uint16_t((r * 31 + 127) / 255 << 11 | (g * 63 + 127) / 255 << 5 | (b * 31 + 127) / 255);
        else
            v = uint16_t((r * 31 + 127) / 255 << 10 | (g * 31 + 127) / 255 << 5 | (b * 31 + 127) / 255);
        row[2 * x] = uint8_t(v);
        row[2 * x + 1] = uint8_t(v >> 8);
        break;
    }
    case 24: {
        uint8_t* p = row + 3 * x;
        p[0] = uint8_t(argb);
        p[1] = uint8_t(argb >> 8);
        p[2] = uint8_t(argb >> 16);
        break;
    }
    default:
        std::memcpy(row + 4 * x, &argb, 4);
    }
}

void TBitmap::SetResolution(int32_t xPelsPerMeter, int32_t yPelsPerMeter)
{
    xPelsPerMeter_ = xPelsPerMeter;
    yPelsPerMeter_ = yPelsPerMeter;
}

void TBitmap::SetPixelFormat(TPixelFormat value)
{
    if (value == pfCustom)
        value = pfDevice;
    if (value == format_)
        return;
    FlushCanvas();
    importantColors_ = 0;
    const int newBits = BitsOfPixelFormat(value);
    if (Empty()) {
        format_ = value;
        bits_ = newBits;
        palette_ = newBits <= 8 ? FixedPaletteForBits(newBits) : TPaletteEntries();
        stride_ = StrideFor(width_, bits_);
        data_.assign(size_t(stride_) * size_t(height_), 0);
        Notify();
        return;
    }
    TBitmap old;
    old.width_ = width_;
    old.height_ = height_;
    old.format_ = format_;
    old.bits_ = bits_;
    old.stride_ = stride_;
    old.data_.swap(data_);
    old.palette_ = palette_;
    palette_ = newBits <= 8 ? FixedPaletteForBits(newBits) : TPaletteEntries();
    Allocate(width_, height_, value);
    if (newBits <= 8) {
        TColorMapper mapper(palette_);
        for (int y = 0; y < height_; ++y) {
            uint8_t* row = data_.data() + size_t(y) * stride_;
            for (int x = 0; x < width_; ++x) {
                const int i = mapper.IndexOf(old.PixelArgb(x, y));
                if (bits_ == 8)
                    row[x] = uint8_t(i);
                else if (bits_ == 4)
                    row[x >> 1] |= (x & 1) ? uint8_t(i) : uint8_t(i << 4);
                else if (i)
                    row[x >> 3] |= uint8_t(0x80 >> (x & 7));
            }
        }
    } else {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                SetPixelArgb(x, y, old.PixelArgb(x, y) | (old.bits_ == 32 ? 0 : 0xFF000000));
    }
    Notify();
}

void TBitmap::SetMonochrome(bool value)
{
    if (value != Monochrome())
        SetPixelFormat(value ? pf1bit : pfDevice);
}

void TBitmap::SetPalette(const TPaletteEntries& palette)
{
    if (bits_ > 8)
        return;
    FlushCanvas();
    palette_.assign(palette.begin(), palette.begin() + std::min(palette.size(), size_t(1) << bits_));
    for (QRgb& c : palette_)
        c &= 0xFFFFFF;
    palette_.resize(size_t(1) << bits_, 0);
    Notify();
}

TColor TBitmap::TransparentColor()
{
    if (transparentMode_ == tmFixed)
        return transparentColor_;
    if (Empty())
        return clDefault;
    FlushCanvas();
    return ArgbToColor(PixelArgb(0, height_ - 1));
}

void TBitmap::SetTransparentColor(TColor value)
{
    if (value == transparentColor_ && transparentMode_ == (value == clDefault ? tmAuto : tmFixed))
        return;
    transparentColor_ = value;
    transparentMode_ = value == clDefault ? tmAuto : tmFixed;
    Notify();
}

void TBitmap::SetTransparentMode(TTransparentMode value)
{
    if (value == transparentMode_)
        return;
    if (value == tmAuto)
        SetTransparentColor(clDefault);
    else
        SetTransparentColor(TransparentColor());
}

uint8_t* TBitmap::ScanLine(int row)
{
    FlushCanvas();
    if (row < 0 || row >= height_)
        throw EInvalidGraphicOperation(QStringLiteral("Scan line index out of range"));
    return data_.data() + size_t(row) * stride_;
}

const uint8_t* TBitmap::ScanLine(int row) const
{
    if (row < 0 || row >= height_)
        throw EInvalidGraphicOperation(QStringLiteral("Scan line index out of range"));
    return data_.data() + size_t(row) * stride_;
}

QImage TBitmap::ToImage()
{
    FlushCanvas();
    if (Empty())
        return QImage();
    if (bits_ == 32)
        return QImage(data_.data(), width_, height_, stride_, QImage::Format_ARGB32).copy();
    if (bits_ == 24)
        return QImage(data_.data(), width_, height_, stride_, QImage::Format_BGR888).convertToFormat(QImage::Format_RGB32);
    QImage image(width_, height_, QImage::Format_RGB32);
    for (int y = 0; y < height_; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < width_; ++x)
            row[x] = PixelArgb(x, y);
    }
    return image;
}

// The pixels as an image for block copies: a view for 24 and 32 bits, a copy otherwise.
QImage TBitmap::SourceImage()
{
    FlushCanvas();
    if (Empty())
        return QImage();
    if (bits_ == 32)
        return QImage(data_.data(), width_, height_, stride_, QImage::Format_ARGB32);
    if (bits_ == 24)
        return QImage(data_.data(), width_, height_, stride_, QImage::Format_BGR888);
    return ToImage();
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect)
{
    if (!canvas || Empty())
        return;
    if (canvas == canvas_.get()) {
        // Drawing a bitmap onto itself reads from a snapshot.
        const QImage snapshot = ToImage();
        canvas->BlitImage(rect, snapshot, Rect(0, 0, width_, height_), canvas->CopyMode(),
                          Transparent() ? TransparentColor() : clNone);
        return;
    }
    const TColor key = Transparent() ? TransparentColor() : clNone;
    const QImage src = SourceImage();
    canvas->BlitImage(rect, src, Rect(0, 0, width_, height_), canvas->CopyMode(), key);
}

void TBitmap::Assign(TPersistent* source)
{
    if (!source) {
        FlushCanvas();
        width_ = height_ = 0;
        data_.clear();
        stride_ = 0;
        Notify();
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(source)) {
        if (b == this)
            return;
        b->FlushCanvas();
        FlushCanvas();
        width_ = b->width_;
        height_ = b->height_;
        format_ = b->format_;
        bits_ = b->bits_;
        stride_ = b->stride_;
        data_ = b->data_;
        palette_ = b->palette_;
        transparentColor_ = b->transparentColor_;
        transparentMode_ = b->transparentMode_;
        handleType_ = b->handleType_;
        xPelsPerMeter_ = b->xPelsPerMeter_;
        yPelsPerMeter_ = b->yPelsPerMeter_;
        importantColors_ = b->importantColors_;
        SetTransparent(b->Transparent());
        Notify();
        return;
    }
    TGraphic::Assign(source);
}

// ---- BMP reading -------------------------------------------------------------------------------

void TBitmap::LoadFromStream(TStream* stream)
{
    const QByteArray bytes = stream->ReadAll();
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    const size_t n = size_t(bytes.size());
    if (n < 14 || p[0] != 'B' || p[1] != 'M')
        InvalidBitmap();
    const uint32_t offBits = U32(p + 10);
    ReadDIB(p + 14, n - 14, offBits >= 14 ? int64_t(offBits) - 14 : -1);
}

void TBitmap::LoadFromDIB(const QByteArray& dib)
{
    ReadDIB(reinterpret_cast<const uint8_t*>(dib.constData()), size_t(dib.size()), -1);
}

void TBitmap::LoadFromClipboardFormat(TClipFormat format, const QByteArray& data)
{
    if (format != CF_DIB && format != CF_BITMAP)
        TGraphic::LoadFromClipboardFormat(format, data);
    LoadFromDIB(data);
}

// Decodes a packed device-independent bitmap: header, colour masks, colour table and pixels.
// bitsOffset is where the pixels start counted from the header (-1: right after the table).
void TBitmap::ReadDIB(const uint8_t* d, size_t n, int64_t bitsOffset)
{
    if (n < 4)
        throw EReadError(QString::fromLatin1(FrameworkText::ReadError));
    const uint32_t headerSize = U32(d);
    const bool core = headerSize == 12;
    const bool os2v2 = headerSize == 16 || headerSize == 64;
    if (!core && !os2v2 && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
        headerSize != 124)
        InvalidBitmap();
    if (n < headerSize)
        throw EReadError(QString::fromLatin1(FrameworkText::ReadError));

    int64_t width, height;
    int planes, bpp;
    uint32_t compression = 0, colorsUsed = 0, colorsImportant = 0;
    int32_t xPelsPerMeter = 0, yPelsPerMeter = 0;
    if (core) {
        width = U16(d + 4);
        height = U16(d + 6);
        planes = U16(d + 8);
        bpp = U16(d + 10);
    } else {
        width = I32(d + 4);
        height = I32(d + 8);
        planes = U16(d + 12);
        bpp = U16(d + 14);
        if (headerSize >= 20)
            compression = U32(d + 16);
        if (headerSize >= 36)
            colorsUsed = U32(d + 32);
        if (headerSize >= 40) {
            xPelsPerMeter = I32(d + 24);
            yPelsPerMeter = I32(d + 28);
            colorsImportant = U32(d + 36);
        }
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (planes != 1 || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        int64_t(width) * height > kMaxPixels)
        InvalidBitmap();
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        InvalidBitmap();
    // The OS/2 header numbers its compressions differently; only uncompressed and RLE are read.
    enum { kRGB = 0, kRLE8 = 1, kRLE4 = 2, kBitFields = 3, kAlphaBitFields = 6 };
    const bool rle = compression == kRLE8 || compression == kRLE4;
    if (compression == kRLE8 && bpp != 8)
        InvalidBitmap();
    if (compression == kRLE4 && bpp != 4)
        InvalidBitmap();
    if ((compression == kBitFields || compression == kAlphaBitFields) && (os2v2 || (bpp != 16 && bpp != 32)))
        InvalidBitmap();
    if (compression != kRGB && !rle && compression != kBitFields && compression != kAlphaBitFields)
        InvalidBitmap();
    if (rle && topDown)
        InvalidBitmap();

    // Colour masks: in the header from version 2 on, else right after a 40-byte header.
    size_t pos = headerSize;
    uint32_t masks[4] = {0, 0, 0, 0};
    if (compression == kBitFields || compression == kAlphaBitFields) {
        if (headerSize >= 52) {
            for (int i = 0; i < 3; ++i)
                masks[i] = U32(d + 40 + 4 * i);
            if (headerSize >= 56)
                masks[3] = U32(d + 52);
        } else {
            const int count = compression == kAlphaBitFields ? 4 : 3;
            if (n < pos + 4 * size_t(count))
                throw EReadError(QString::fromLatin1(FrameworkText::ReadError));
            for (int i = 0; i < count; ++i)
                masks[i] = U32(d + pos + 4 * i);
            pos += 4 * size_t(count);
        }
    } else if (bpp == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (bpp == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0xFF00;
        masks[2] = 0xFF;
    }

    // Colour table.
    TPaletteEntries palette;
    if (bpp <= 8) {
        const uint32_t maxColors = 1u << bpp;
        const uint32_t count = colorsUsed ? colorsUsed : maxColors;
        if (count > maxColors)
            InvalidBitmap();
        const size_t entry = core ? 3 : 4;
        if (n < pos + entry * count)
            throw EReadError(QString::fromLatin1(FrameworkText::ReadError));
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* e = d + pos + entry * i;
            palette.push_back(qRgb(e[2], e[1], e[0]) & 0xFFFFFF);
        }
        pos += entry * count;
        // Indices beyond a short table show black.
        palette.resize(maxColors, 0);
    }
    if (bitsOffset >= 0 && size_t(bitsOffset) >= pos && size_t(bitsOffset) <= n)
        pos = size_t(bitsOffset);
    else if (bitsOffset >= 0 && size_t(bitsOffset) > n)
        throw EReadError(QString::fromLatin1(FrameworkText::ReadError));

    // Target format.
    TPixelFormat format;
    bool rawCopy = true;
    if (bpp == 1)
        format = pf1bit;
    else if (bpp == 4)
        format = pf4bit;
    else if (bpp == 8)
        format = pf8bit;
    else if (bpp == 24)
        format = pf24bit;
    else if (bpp == 16) {
        if (masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F && !masks[3])
            format = pf15bit;
        else if (masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F && !masks[3])
            format = pf16bit;
        else {
            format = masks[3] ? pf32bit : pf24bit;
            rawCopy = false;
        }
    } else {
        format = pf32bit;
        rawCopy = masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF &&
                  (masks[3] == 0 || masks[3] == 0xFF000000);
    }

    const int w = int(width), h = int(height);
    const int srcStride = StrideFor(w, bpp);
    TBitmap result;
    result.palette_ = palette;
    result.Allocate(w, h, format);
    if (bpp <= 8)
        result.palette_ = palette;

    if (rle) {
        // Rows are counted from the bottom; pixels not named by the stream keep index 0.
        const uint8_t* s = d + pos;
        const uint8_t* end = d + n;
        int x = 0, y = 0;
        auto put = [&](int value) {
            if (x >= w || y >= h)
                InvalidBitmap();
            uint8_t* row = result.data_.data() + size_t(h - 1 - y) * result.stride_;
            if (bpp == 8)
                row[x] = uint8_t(value);
            else
                row[x >> 1] |= (x & 1) ? uint8_t(value & 15) : uint8_t((value & 15) << 4);
            ++x;
        };
        while (s + 2 <= end) {
            const int count = s[0], value = s[1];
            s += 2;
            if (count > 0) {
                for (int i = 0; i < count; ++i)
                    put(bpp == 8 ? value : ((i & 1) ? value & 15 : value >> 4));
                continue;
            }
            if (value == 0) {
                x = 0;
                ++y;
            } else if (value == 1) {
                break;
            } else if (value == 2) {
                if (s + 2 > end)
                    break;
                x += s[0];
                y += s[1];
                s += 2;
            } else {
                const size_t bytes = bpp == 8 ? size_t(value) : size_t(value + 1) / 2;
                if (size_t(end - s) < bytes)
                    throw EReadError(QString::fromLatin1(FrameworkText::ReadError));
                for (int i = 0; i < value; ++i)
                    put(bpp == 8 ? s[i] : ((i & 1) ? s[i / 2] & 15 : s[i / 2] >> 4));
                s += (bytes + 1) & ~size_t(1);
            }
        }
    } else {
        if (n < pos || n - pos < size_t(srcStride) * size_t(h))
            throw EReadError(QString::fromLatin1(FrameworkText::ReadError));
        const Field fr(masks[0]), fg(masks[1]), fb(masks[2]), fa(masks[3]);
        for (int y = 0; y < h; ++y) {
            const uint8_t* src = d + pos + size_t(topDown ? y : h - 1 - y) * srcStride;
            uint8_t* dst = result.data_.data() + size_t(y) * result.stride_;
            if (rawCopy) {
                std::memcpy(dst, src, size_t(std::min(srcStride, result.stride_)));
                continue;
            }
            for (int x = 0; x < w; ++x) {
                const uint32_t v = bpp == 16 ? U16(src + 2 * x) : U32(src + 4 * x);
                const uint32_t a = masks[3] ? uint32_t(fa.Get(v)) : 255;
                result.SetPixelArgb(x, y, a << 24 | uint32_t(fr.Get(v)) << 16 | uint32_t(fg.Get(v)) << 8 | uint32_t(fb.Get(v)));
            }
        }
    }

    FlushCanvas();
    width_ = result.width_;
    height_ = result.height_;
    format_ = result.format_;
    bits_ = result.bits_;
    stride_ = result.stride_;
    data_.swap(result.data_);
    palette_.swap(result.palette_);
    xPelsPerMeter_ = xPelsPerMeter;
    yPelsPerMeter_ = yPelsPerMeter;
    importantColors_ = colorsImportant;
    Notify();
}

// ---- BMP writing -------------------------------------------------------------------------------

void TBitmap::WriteDIB(QByteArray& out, bool fileHeader)
{
    FlushCanvas();
    const bool fields = format_ == pf16bit;
    const uint32_t tableSize = bits_ <= 8 ? uint32_t(palette_.size()) * 4 : (fields ? 12 : 0);
    const uint32_t imageSize = uint32_t(stride_) * uint32_t(height_);
    const uint32_t offset = 14 + 40 + tableSize;
    out.reserve(int(offset + imageSize));
    if (fileHeader) {
        out.append("BM", 2);
        Put32(out, offset + imageSize);
        Put32(out, 0);
        Put32(out, offset);
    }
    Put32(out, 40);
    Put32(out, uint32_t(width_));
    Put32(out, uint32_t(height_));
    Put16(out, 1);
    Put16(out, uint16_t(bits_));
    Put32(out, fields ? 3 : 0);
    Put32(out, imageSize);
    Put32(out, uint32_t(xPelsPerMeter_));
    Put32(out, uint32_t(yPelsPerMeter_));
    Put32(out, 0);
    Put32(out, importantColors_);
    if (bits_ <= 8) {
        for (QRgb c : palette_) {
            out.append(char(qBlue(c)));
            out.append(char(qGreen(c)));
            out.append(char(qRed(c)));
            out.append(char(0));
        }
    } else if (fields) {
        Put32(out, 0xF800);
        Put32(out, 0x07E0);
        Put32(out, 0x001F);
    }
    for (int y = height_ - 1; y >= 0; --y)
        out.append(reinterpret_cast<const char*>(data_.data()) + size_t(y) * stride_, stride_);
}

void TBitmap::SaveToStream(TStream* stream)
{
    QByteArray out;
    if (Empty()) {
        // An empty bitmap writes nothing, as the framework's does.
        return;
    }
    WriteDIB(out, true);
    stream->WriteBuffer(out.constData(), out.size());
}

QByteArray TBitmap::SaveToDIB()
{
    QByteArray out;
    if (!Empty())
        WriteDIB(out, false);
    return out;
}

void TBitmap::SaveToClipboardFormat(TClipFormat& format, QByteArray& data)
{
    format = CF_DIB;
    data = SaveToDIB();
}
