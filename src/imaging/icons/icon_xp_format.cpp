#include "imaging/icons/icon_xp_format.h"

#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/icons/icon_format.h"

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

TIconXPFormat::TIconXPFormat() = default;
TIconXPFormat::~TIconXPFormat() = default;

void TIconXPFormat::LoadImage(TStream* source, const IconDirEntry& entry, TStream* fileCopy)
{
    // The caller has checked the size against the source, so this allocation is bounded by the
    // bytes that really exist.
    std::vector<uint8_t> data(entry.BytesInRes);
    source->ReadBuffer(data.data(), int64_t(data.size()));
    if (fileCopy)
        fileCopy->WriteBuffer(data.data(), int64_t(data.size()));
    DecodeImage(data.data(), data.size());
}

void TIconXPFormat::DecodeImage(const uint8_t* data, size_t size)
{
    width_ = 0;
    height_ = 0;
    pixelFormat_ = 0;
    pixels_.clear();
    if (IsPngImage(data, size))
        DecodePng(data, size);
    else
        DecodeDib(data, size);
}

void TIconXPFormat::DecodeDib(const uint8_t* data, size_t size)
{
    IconImageLayout l;
    if (!ParseIconImage(data, size, l))
        return;
    const int w = l.Width;
    const int h = l.Height;
    const int bits = l.Header.BitCount;
    width_ = w;
    height_ = h;
    pixels_.assign(size_t(w) * size_t(h), 0);

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

void TIconXPFormat::DecodePng(const uint8_t* data, size_t size)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size))
        return;
    if (image.width < 1 || image.width > uint32_t(MaxIconSide) || image.height < 1 ||
        image.height > uint32_t(MaxIconSide)) {
        png_image_free(&image);
        return;
    }
    image.format = PNG_FORMAT_BGRA;
    TIconXPData pixels(size_t(image.width) * image.height);
    // A negative stride stores the rows bottom first, the order of every other icon image.
    const png_int_32 stride = -png_int_32(image.width * 4);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), stride, nullptr)) {
        png_image_free(&image);
        return;
    }
    width_ = int(image.width);
    height_ = int(image.height);
    pixelFormat_ = 7;
    pixels_ = std::move(pixels);
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
    TPersistent::Assign(source);
}

// ---------------------------------------------------------------------------------------------

TIconXPFormats::TIconXPFormats() = default;
TIconXPFormats::~TIconXPFormats() = default;

TIconXPFormat* TIconXPFormats::Add()
{
    items_.push_back(std::make_unique<TIconXPFormat>());
    return items_.back().get();
}

TIconXPFormat* TIconXPFormats::GetItem(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
    return items_[size_t(index)].get();
}

void TIconXPFormats::Delete(int index)
{
    TIconXPFormat* item = GetItem(index);
    if (item == current_)
        current_ = nullptr;
    items_.erase(items_.begin() + index);
}

void TIconXPFormats::Clear()
{
    current_ = nullptr;
    items_.clear();
}

TIconXPFormat* TIconXPFormats::FindExact(int width, int height, uint8_t pixelFormat) const
{
    for (auto it = items_.rbegin(); it != items_.rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height && (*it)->PixelFormat() == pixelFormat)
            return it->get();
    return nullptr;
}

TIconXPFormat* TIconXPFormats::FindBest(int width, int height, uint8_t pixelFormat) const
{
    if (items_.empty())
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
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        int64_t d;
        int m, p;
        rank(it->get(), d, m, p);
        if (!best || d < bd || (d == bd && (m < bm || (m == bm && m == 1 && p < bp)))) {
            best = it->get();
            bd = d;
            bm = m;
            bp = p;
        }
    }
    return best;
}

TIconXPFormat* TIconXPFormats::GetCurrent()
{
    if (items_.empty())
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
