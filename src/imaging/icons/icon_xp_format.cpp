#include "imaging/icons/icon_xp_format.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/icons/icon_format.h"

#include <QImage>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

inline uint32_t PaletteEntry(const uint8_t* p)
{
    return GetLE32(p);
}

} // namespace

TIconXPFormat::TIconXPFormat(TCollection* collection) : TCollectionItem(collection)
{
}

TIconXPFormat::~TIconXPFormat() = default;

void TIconXPFormat::LoadImage(TStream* source, const IconDirEntry& entry, TStream* fileCopy, int64_t maxPixels)
{
    // The caller has checked the size against the source, so these allocations are bounded by
    // the bytes that really exist.
    const int64_t size = entry.BytesInRes;
    if (auto* copy = dynamic_cast<TMemoryStream*>(fileCopy)) {
        // Straight into the copy, and decoded from there.
        const int64_t at = copy->Position();
        const int64_t oldSize = copy->Size();
        copy->SetSize(std::max(oldSize, at + size));
        try {
            source->ReadBuffer(copy->Memory() + at, size);
        } catch (...) {
            copy->SetSize(oldSize);
            copy->SetPosition(at);
            throw;
        }
        copy->SetPosition(at + size);
        DecodeImage(reinterpret_cast<const uint8_t*>(copy->Memory() + at), size_t(size), maxPixels);
        return;
    }
    std::unique_ptr<uint8_t[]> data(new uint8_t[std::max<size_t>(size_t(size), 1)]);
    source->ReadBuffer(data.get(), size);
    if (fileCopy)
        fileCopy->WriteBuffer(data.get(), size);
    DecodeImage(data.get(), size_t(size), maxPixels);
}

void TIconXPFormat::DecodeImage(const uint8_t* data, size_t size, int64_t maxPixels)
{
    width_ = 0;
    height_ = 0;
    pixelFormat_ = 0;
    pixels_.clear();
    if (IsPngImage(data, size))
        DecodePng(data, size, maxPixels);
    else
        DecodeDib(data, size, maxPixels);
}

void TIconXPFormat::DecodeDib(const uint8_t* data, size_t size, int64_t maxPixels)
{
    IconImageLayout l;
    if (!ParseIconImage(data, size, l) || int64_t(l.Width) * l.Height > maxPixels)
        return;
    const int w = l.Width;
    const int h = l.Height;
    const int bits = l.Header.BitCount;
    width_ = w;
    height_ = h;
    pixels_.resize(size_t(w) * size_t(h));

    // A palette index beyond the file's table reads as transparent black rather than as whatever
    // bytes follow the table.
    uint32_t palette[256] = {};
    if (bits <= 8) {
        const int64_t n = std::min<int64_t>(l.ColorCount, int64_t(1) << bits);
        for (int64_t i = 0; i < n; ++i)
            palette[i] = PaletteEntry(data + l.ColorTable + 4 * i);
    }

    uint32_t* out = pixels_.data();
    const uint8_t* row = data + l.ColorBits;
    switch (bits) {
    case 1:
        pixelFormat_ = 1;
        for (int y = 0; y < h; ++y, row += l.ColorRow)
            for (int x = 0; x < w; ++x)
                *out++ = palette[(row[x >> 3] >> (7 - (x & 7))) & 1];
        break;
    case 4:
        pixelFormat_ = 2;
        for (int y = 0; y < h; ++y, row += l.ColorRow)
            for (int x = 0; x < w; ++x)
                *out++ = palette[(x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4)];
        break;
    case 8:
        pixelFormat_ = 3;
        for (int y = 0; y < h; ++y, row += l.ColorRow)
            for (int x = 0; x < w; ++x)
                *out++ = palette[row[x]];
        break;
    case 16:
        // 16-bit icon images are listed with their depth but not decoded: transparent black.
        pixelFormat_ = 5;
        std::fill(pixels_.begin(), pixels_.end(), 0u);
        return;
    case 24:
        pixelFormat_ = 6;
        for (int y = 0; y < h; ++y, row += l.ColorRow) {
            const uint8_t* p = row;
            for (int x = 0; x < w; ++x, p += 3)
                *out++ = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
        }
        break;
    case 32:
        // The file's own alpha stands; the mask is not consulted.
        pixelFormat_ = 7;
        for (int y = 0; y < h; ++y, row += l.ColorRow, out += w) {
            static_assert(sizeof(uint32_t) == 4);
            for (int x = 0; x < w; ++x)
                out[x] = GetLE32(row + 4 * x);
        }
        return;
    }

    // The mask decides every pixel's alpha for the palette and 24-bit depths.
    out = pixels_.data();
    const uint8_t* mrow = data + l.MaskBits;
    for (int y = 0; y < h; ++y, mrow += l.MaskRow)
        for (int x = 0; x < w; ++x, ++out) {
            const bool transparent = (mrow[x >> 3] >> (7 - (x & 7))) & 1;
            *out = (*out & 0x00FFFFFFu) | (transparent ? 0u : 0xFF000000u);
        }
}

namespace {

struct PngSource {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

void PngRead(png_structp png, png_bytep out, size_t count)
{
    auto* src = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > src->size - src->pos)
        png_error(png, "truncated");
    std::memcpy(out, src->data + src->pos, count);
    src->pos += count;
}

void PngWarning(png_structp, png_const_charp)
{
}

// A broken PNG entry is an undecodable image, not a message on the console.
[[noreturn]] void PngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// Decodes a PNG stream into out as blue, green, red, alpha rows, bottom row first. Only plain data
// lives in this frame, so the error jump of the PNG library leaves nothing half-destroyed; out
// belongs to the caller.
bool DecodePngRows(const uint8_t* data, size_t size, int64_t maxPixels, TIconXPData* out, int* width, int* height)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    PngSource source{data, size, 0};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    // The dimensions are refused from the header, before any row buffer exists.
    png_set_user_limits(png, MaxIconSide, MaxIconSide);
    png_set_read_fn(png, &source, PngRead);
    // Every chunk's CRC already guards the compressed data; the second checksum inside the zlib
    // stream costs a pass over the decoded bytes and adds nothing.
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_read_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    const int colorType = png_get_color_type(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (w < 1 || h < 1 || w > png_uint_32(MaxIconSide) || h > png_uint_32(MaxIconSide) ||
        int64_t(w) * h > maxPixels || png_get_rowbytes(png, info) != size_t(w) * 4)
        png_error(png, "unexpected layout");
    out->resize(size_t(w) * h);
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < h; ++y)
            png_read_row(png, reinterpret_cast<png_bytep>(out->data() + size_t(h - 1 - y) * w), nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    *width = int(w);
    *height = int(h);
    return true;
}

} // namespace

void TIconXPFormat::DecodePng(const uint8_t* data, size_t size, int64_t maxPixels)
{
    TIconXPData pixels;
    int w = 0, h = 0;
    if (!DecodePngRows(data, size, maxPixels, &pixels, &w, &h))
        return;
    width_ = w;
    height_ = h;
    pixelFormat_ = 7;
    pixels_ = std::move(pixels);
}

void TIconXPFormat::DrawOnCanvas(TCanvas* canvas, const TRect& rect)
{
    if (!canvas || pixels_.empty())
        return;
    const int w = std::min(width_, rect.Width());
    const int h = std::min(height_, rect.Height());
    if (w < 1 || h < 1)
        return;
    // The canvas blends by the exact integer rule on pixels of its own, and through its painter
    // elsewhere; either way it wants top row first.
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        std::memcpy(image.scanLine(y), pixels_.data() + size_t(height_ - 1 - y) * size_t(width_), size_t(w) * 4);
    canvas->BlendImage(Bounds(rect.Left, rect.Top, w, h), image, Rect(0, 0, w, h));
}

void TIconXPFormat::AssignToBitmap(TBitmap* bitmap)
{
    if (!bitmap)
        return;
    bitmap->SetSize(width_, height_);
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetTransparentColor(clWhite);
    bitmap->SetTransparent(true);
    DrawOnCanvas(bitmap->Canvas(), Rect(0, 0, width_, height_));
}

void TIconXPFormat::Assign(TPersistent* source)
{
    if (auto src = dynamic_cast<TIconXPFormat*>(source)) {
        pixels_ = src->pixels_;
        height_ = src->height_;
        pixelFormat_ = src->pixelFormat_;
        width_ = src->width_;
        return;
    }
    TCollectionItem::Assign(source);
}

// ---------------------------------------------------------------------------------------------

TIconXPFormats::TIconXPFormats(TPersistent* owner) : TCollection(CollectionItemFactory<TIconXPFormat>(), owner)
{
}

TIconXPFormats::~TIconXPFormats() = default;

TIconXPFormat* TIconXPFormats::Add()
{
    return static_cast<TIconXPFormat*>(TCollection::Add());
}

TIconXPFormat* TIconXPFormats::GetItem(int index) const
{
    return static_cast<TIconXPFormat*>(Items(index));
}

void TIconXPFormats::Notify(TCollectionItem* item, TCollectionNotification action)
{
    if (action != cnAdded && item == current_)
        current_ = nullptr;
    TCollection::Notify(item, action);
}

TIconXPFormat* TIconXPFormats::FindExact(int width, int height, uint8_t pixelFormat) const
{
    for (int i = Count() - 1; i >= 0; --i) {
        TIconXPFormat* f = GetItem(i);
        if (f->Width() == width && f->Height() == height && f->PixelFormat() == pixelFormat)
            return f;
    }
    return nullptr;
}

TIconXPFormat* TIconXPFormats::FindBest(int width, int height, uint8_t pixelFormat) const
{
    if (Count() == 0)
        return nullptr;
    // Rank by distance, then an exact pixel format, then the deeper format. Scanning from the last
    // image and replacing only on a strictly better rank lets the later of equals win, as a stable
    // sort of the reversed list does.
    auto rank = [&](const TIconXPFormat* f, int64_t& dist, int& match, int& depth) {
        dist = (std::llabs(int64_t(width) - f->Width()) + std::llabs(int64_t(height) - f->Height())) / 2;
        match = f->PixelFormat() == pixelFormat ? 0 : 1;
        depth = -int(f->PixelFormat());
    };
    TIconXPFormat* best = nullptr;
    int64_t bd = 0;
    int bm = 0, bp = 0;
    for (int i = Count() - 1; i >= 0; --i) {
        TIconXPFormat* f = GetItem(i);
        int64_t d;
        int m, p;
        rank(f, d, m, p);
        if (!best || d < bd || (d == bd && (m < bm || (m == bm && m == 1 && p < bp)))) {
            best = f;
            bd = d;
            bm = m;
            bp = p;
        }
    }
    return best;
}

TIconXPFormat* TIconXPFormats::GetCurrent()
{
    if (Count() == 0)
        return nullptr;
    if (wantedWidth_ == 0)
        wantedWidth_ = 32;
    if (wantedHeight_ == 0)
        wantedHeight_ = 32;
    if (wantedPixelFormat_ == 0)
        wantedPixelFormat_ = 7;
    if (current_)
        return current_;
    current_ = FindBest(wantedWidth_, wantedHeight_, wantedPixelFormat_);
    wantedWidth_ = current_ ? current_->Width() : 0;
    wantedHeight_ = current_ ? current_->Height() : 0;
    wantedPixelFormat_ = current_ ? current_->PixelFormat() : 0;
    return current_;
}
