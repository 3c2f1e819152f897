#include "platform/icon_handle.h"

#include "platform/system_metrics.h"

#include <QFile>
#include <QPainter>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

static_assert(sizeof(uintptr_t) == 8, "handle values assume a 64-bit address space");

// One icon, never changed after creation, so that handles made by CopyIcon can share it and a
// drawing thread can keep using it while another thread destroys the handle.
struct TIconObject {
    int Width = 0;
    int Height = 0;
    bool IsIcon = true;
    int HotX = 0;
    int HotY = 0;
    bool HasAlpha = false;   // drawn with its alpha; otherwise through the mask
    bool Monochrome = false; // no colour bitmap: the XOR bits are the bottom half of the mask
    QImage Color;            // ARGB32 when HasAlpha, else RGB32; black and white when Monochrome
    QImage Mask;             // Format_Mono, Height rows, bit 1 = background shows; null when an
                             // alpha image came without one (made from the alpha when asked for)

    // What only drawing and the info query need is made on first use, so that decoding an icon
    // costs no more than its pixels.
    const QImage& GetMask() const;
    const QImage& GetComposed() const; // ARGB32_Premultiplied: what DI_NORMAL draws

private:
    mutable std::once_flag FMaskOnce, FComposedOnce;
    mutable QImage FDerivedMask, FComposed;
};

using TIconPtr = std::shared_ptr<const TIconObject>;

// Handles are numbers above 2^32, so that no small integer (ExtractIcon returns a count in a
// handle) and no real address is ever taken for a live icon.
class THandleTable {
public:
    HICON Add(TIconPtr icon)
    {
        std::lock_guard<std::mutex> lock(FMutex);
        const uintptr_t value = FNext;
        FNext += 8;
        FIcons.emplace(value, std::move(icon));
        return reinterpret_cast<HICON>(value);
    }
    TIconPtr Get(HICON handle)
    {
        std::lock_guard<std::mutex> lock(FMutex);
        const auto it = FIcons.find(reinterpret_cast<uintptr_t>(handle));
        return it == FIcons.end() ? nullptr : it->second;
    }
    bool Remove(HICON handle)
    {
        std::lock_guard<std::mutex> lock(FMutex);
        return FIcons.erase(reinterpret_cast<uintptr_t>(handle)) > 0;
    }

private:
    std::mutex FMutex;
    uintptr_t FNext = uintptr_t(1) << 32;
    std::unordered_map<uintptr_t, TIconPtr> FIcons;
};

THandleTable& Handles()
{
    // Never destroyed: icons may be released by other objects' destructors at exit.
    static THandleTable* table = new THandleTable;
    return *table;
}

uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

bool MaskBit(const QImage& mask, int x, int y)
{
    return (mask.constScanLine(y)[x >> 3] >> (7 - (x & 7))) & 1;
}

// Makes every pixel opaque and labels the image RGB32 (a format conversion would premultiply first
// and turn the colours of zero-alpha pixels black).
QImage OpaqueRgb32(QImage argb)
{
    for (int y = 0; y < argb.height(); ++y) {
        auto* d = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            d[x] |= 0xFF000000u;
    }
    argb.reinterpretAsFormat(QImage::Format_RGB32);
    return argb;
}

QImage NewMask(int width, int height)
{
    QImage mask(width, height, QImage::Format_Mono);
    if (mask.isNull())
        return mask;
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    return mask;
}

QImage MaskFromAlpha(const QImage& color)
{
    QImage mask = NewMask(color.width(), color.height());
    mask.fill(0);
    for (int y = 0; y < color.height(); ++y) {
        const auto* c = reinterpret_cast<const QRgb*>(color.constScanLine(y));
        uint8_t* m = mask.scanLine(y);
        for (int x = 0; x < color.width(); ++x)
            if (qAlpha(c[x]) == 0)
                m[x >> 3] |= uint8_t(0x80 >> (x & 7));
    }
    return mask;
}

} // namespace

const QImage& TIconObject::GetMask() const
{
    if (!Mask.isNull())
        return Mask;
    std::call_once(FMaskOnce, [this] { FDerivedMask = MaskFromAlpha(Color); });
    return FDerivedMask;
}

// Mask icons: a set mask bit shows the background, including the "inverted" pixels (set bit,
// non-black colour), which a painter cannot invert.
const QImage& TIconObject::GetComposed() const
{
    std::call_once(FComposedOnce, [this] {
        QImage out(Width, Height, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < Height; ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(Color.constScanLine(y));
            auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
            if (HasAlpha) {
                for (int x = 0; x < Width; ++x)
                    dst[x] = qPremultiply(src[x]);
            } else {
                const uint8_t* m = Mask.constScanLine(y);
                for (int x = 0; x < Width; ++x)
                    dst[x] = ((m[x >> 3] >> (7 - (x & 7))) & 1) ? 0u : (src[x] | 0xFF000000u);
            }
        }
        FComposed = out;
    });
    return FComposed;
}

namespace {

// Nearest-pixel scaling, sampling the source pixel under each target pixel's centre.
inline int SourceIndex(int d, int srcSize, int dstSize)
{
    return int((int64_t(2 * d + 1) * srcSize) / (2 * int64_t(dstSize)));
}

QImage ScaleColor(const QImage& src, int w, int h)
{
    QImage out(w, h, src.format());
    for (int y = 0; y < h; ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(src.constScanLine(SourceIndex(y, src.height(), h)));
        auto* d = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x)
            d[x] = s[SourceIndex(x, src.width(), w)];
    }
    return out;
}

QImage ScaleMask(const QImage& src, int w, int h)
{
    QImage out = NewMask(w, h);
    out.fill(0);
    for (int y = 0; y < h; ++y) {
        const int sy = SourceIndex(y, src.height(), h);
        uint8_t* d = out.scanLine(y);
        for (int x = 0; x < w; ++x)
            if (MaskBit(src, SourceIndex(x, src.width(), w), sy))
                d[x >> 3] |= uint8_t(0x80 >> (x & 7));
    }
    return out;
}

// Decodes a DIB icon image (header, colour table, XOR rows, AND rows) into Color and Mask.
bool DecodeDib(const uint8_t* p, size_t n, TIconObject& icon)
{
    if (n < 40)
        return false;
    const uint32_t headerSize = Get32(p);
    const int32_t width = int32_t(Get32(p + 4));
    const int32_t heightField = int32_t(Get32(p + 8));
    const uint16_t bits = Get16(p + 14);
    const uint32_t compression = Get32(p + 16);
    const uint32_t colorsUsed = Get32(p + 32);
    if (headerSize < 40 || headerSize > n || compression != 0)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    // Icon images are stored bottom-up; the height field counts the XOR and the AND rows.
    if (width <= 0 || width > kMaxIconSide || heightField < 2 || heightField / 2 > kMaxIconSide)
        return false;
    const int w = width;
    const int h = heightField / 2;

    uint32_t palette[256];
    std::fill(std::begin(palette), std::end(palette), 0xFF000000u);
    uint64_t paletteEntries = colorsUsed;
    if (bits <= 8) {
        const uint32_t full = 1u << bits;
        if (colorsUsed == 0)
            paletteEntries = full;
        else if (colorsUsed > 256)
            return false;
    }
    const uint64_t xorStride = ((uint64_t(w) * bits + 31) / 32) * 4;
    const uint64_t andStride = ((uint64_t(w) + 31) / 32) * 4;
    const uint64_t xorOffset = uint64_t(headerSize) + paletteEntries * 4;
    const uint64_t andOffset = xorOffset + xorStride * uint64_t(h);
    const uint64_t end = andOffset + andStride * uint64_t(h);
    if (andOffset > n)
        return false;
    const bool hasMask = end <= n;
    // Only an image with its own alpha can do without the AND mask.
    if (!hasMask && bits != 32)
        return false;
    if (bits <= 8) {
        const uint64_t used = std::min<uint64_t>(paletteEntries, 256);
        for (uint64_t i = 0; i < used; ++i)
            palette[i] = Get32(p + headerSize + 4 * i) | 0xFF000000u;
    }

    QImage color(w, h, QImage::Format_ARGB32);
    if (color.isNull())
        return false;
    bool anyAlpha = false;
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = p + xorOffset + uint64_t(h - 1 - y) * xorStride;
        auto* d = reinterpret_cast<QRgb*>(color.scanLine(y));
        switch (bits) {
        case 1:
            for (int x = 0; x < w; ++x)
                d[x] = palette[(s[x >> 3] >> (7 - (x & 7))) & 1];
            break;
        case 4:
            for (int x = 0; x < w; ++x)
                d[x] = palette[(x & 1) ? (s[x >> 1] & 0x0F) : (s[x >> 1] >> 4)];
            break;
        case 8:
            for (int x = 0; x < w; ++x)
                d[x] = palette[s[x]];
            break;
        case 16:
            // 5-5-5 with the top bit unused; each component widened to 8 bits.
            for (int x = 0; x < w; ++x) {
                const uint16_t v = Get16(s + 2 * x);
                const uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                d[x] = qRgb(int((r << 3) | (r >> 2)), int((g << 3) | (g >> 2)), int((b << 3) | (b >> 2)));
            }
            break;
        case 24:
            for (int x = 0; x < w; ++x)
                d[x] = qRgb(s[3 * x + 2], s[3 * x + 1], s[3 * x]);
            break;
        case 32:
            std::memcpy(d, s, size_t(w) * 4); // blue, green, red, alpha is QImage's ARGB32 order
            for (int x = 0; x < w && !anyAlpha; ++x)
                anyAlpha = qAlpha(d[x]) != 0;
            break;
        }
    }
    // A 32-bit image whose alpha is all 0 was made for the mask, as 24-bit images are.
    if (!hasMask && !anyAlpha)
        return false;

    QImage mask;
    if (hasMask) {
        mask = NewMask(w, h);
        if (mask.isNull())
            return false;
        for (int y = 0; y < h; ++y)
            std::memcpy(mask.scanLine(y), p + andOffset + uint64_t(h - 1 - y) * andStride, size_t(andStride));
    }

    icon.Width = w;
    icon.Height = h;
    icon.HasAlpha = anyAlpha;
    icon.Monochrome = bits == 1 && palette[0] == 0xFF000000u && palette[1] == 0xFFFFFFFFu;
    icon.Color = anyAlpha ? color : OpaqueRgb32(color);
    icon.Mask = mask;
    return true;
}

bool IsPng(const uint8_t* p, size_t n)
{
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return n >= 8 && std::memcmp(p, kSignature, 8) == 0;
}

bool DecodePng(const uint8_t* p, size_t n, TIconObject& icon)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, p, n))
        return false;
    if (image.width == 0 || image.height == 0 || image.width > uint32_t(kMaxIconSide) ||
        image.height > uint32_t(kMaxIconSide)) {
        png_image_free(&image);
        return false;
    }
    // 8-bit BGRA output of the simplified reader is straight (not premultiplied) alpha, which is
    // QImage's ARGB32 layout in memory.
    image.format = PNG_FORMAT_BGRA;
    QImage color(int(image.width), int(image.height), QImage::Format_ARGB32);
    if (color.isNull()) {
        png_image_free(&image);
        return false;
    }
    if (!png_image_finish_read(&image, nullptr, color.bits(), png_int_32(color.bytesPerLine()), nullptr)) {
        png_image_free(&image);
        return false;
    }
    const int w = color.width(), h = color.height();
    icon.Width = w;
    icon.Height = h;
    icon.HasAlpha = true;
    icon.Monochrome = false;
    icon.Color = color;
    return true;
}

int DefaultSide(bool isIcon, bool horizontal)
{
    if (isIcon)
        return GetSystemMetrics(horizontal ? SM_CXICON : SM_CYICON);
    return GetSystemMetrics(horizontal ? SM_CXCURSOR : SM_CYCURSOR);
}

// Brings a decoded icon to the wanted size (cursor hot spot included) and registers it.
HICON Finish(std::shared_ptr<TIconObject> icon, int w, int h)
{
    if (w <= 0 || h <= 0 || w > kMaxIconSide || h > kMaxIconSide)
        return nullptr;
    if (w != icon->Width || h != icon->Height) {
        icon->HotX = int(int64_t(icon->HotX) * w / icon->Width);
        icon->HotY = int(int64_t(icon->HotY) * h / icon->Height);
        icon->Color = ScaleColor(icon->Color, w, h);
        if (!icon->Mask.isNull())
            icon->Mask = ScaleMask(icon->Mask, w, h);
        icon->Width = w;
        icon->Height = h;
    }
    if (icon->IsIcon) {
        icon->HotX = w / 2;
        icon->HotY = h / 2;
    }
    return Handles().Add(std::move(icon));
}

// The mask's AND bits and, for a monochrome icon, the XOR bits below them.
QImage InfoMask(const TIconObject& icon)
{
    if (!icon.Monochrome)
        return icon.GetMask();
    QImage mask = NewMask(icon.Width, icon.Height * 2);
    mask.fill(0);
    for (int y = 0; y < icon.Height; ++y) {
        std::memcpy(mask.scanLine(y), icon.Mask.constScanLine(y), size_t(icon.Mask.bytesPerLine()));
        const auto* c = reinterpret_cast<const QRgb*>(icon.Color.constScanLine(y));
        uint8_t* m = mask.scanLine(icon.Height + y);
        for (int x = 0; x < icon.Width; ++x)
            if ((c[x] & 0x00FFFFFFu) != 0)
                m[x >> 3] |= uint8_t(0x80 >> (x & 7));
    }
    return mask;
}

// A caller's mask image as bits: index 1 of a 1-bit image, or a light pixel of any other format.
QImage MaskFromImage(const QImage& src, int top, int height)
{
    QImage mask = NewMask(src.width(), height);
    if (mask.isNull())
        return mask;
    mask.fill(0);
    const bool indexed = src.format() == QImage::Format_Mono || src.format() == QImage::Format_MonoLSB;
    for (int y = 0; y < height; ++y) {
        uint8_t* m = mask.scanLine(y);
        for (int x = 0; x < src.width(); ++x) {
            const bool set = indexed ? src.pixelIndex(x, top + y) == 1 : qGray(src.pixel(x, top + y)) >= 128;
            if (set)
                m[x >> 3] |= uint8_t(0x80 >> (x & 7));
        }
    }
    return mask;
}

} // namespace

HICON CreateIconFromResourceEx(const uint8_t* presbits, uint32_t dwResSize, bool fIcon, uint32_t dwVer,
                               int cxDesired, int cyDesired, unsigned Flags)
{
    if (!presbits || (dwVer != kIconResourceVersion && dwVer != kIconResourceVersion2))
        return nullptr;
    if (cxDesired < 0 || cyDesired < 0 || cxDesired > kMaxIconSide || cyDesired > kMaxIconSide)
        return nullptr;
    auto icon = std::make_shared<TIconObject>();
    icon->IsIcon = fIcon;
    const uint8_t* p = presbits;
    size_t n = dwResSize;
    if (!fIcon) {
        // A cursor resource starts with its hot spot.
        if (n < 4)
            return nullptr;
        icon->HotX = Get16(p);
        icon->HotY = Get16(p + 2);
        p += 4;
        n -= 4;
    }
    const bool decoded = IsPng(p, n) ? DecodePng(p, n, *icon) : DecodeDib(p, n, *icon);
    if (!decoded)
        return nullptr;
    if (!fIcon) {
        icon->HotX = std::min(icon->HotX, icon->Width - 1);
        icon->HotY = std::min(icon->HotY, icon->Height - 1);
    }
    const bool defaultSize = (Flags & LR_DEFAULTSIZE) != 0;
    const int w = cxDesired ? cxDesired : (defaultSize ? DefaultSide(fIcon, true) : icon->Width);
    const int h = cyDesired ? cyDesired : (defaultSize ? DefaultSide(fIcon, false) : icon->Height);
    return Finish(std::move(icon), w, h);
}

HICON CreateIconFromResource(const uint8_t* presbits, uint32_t dwResSize, bool fIcon, uint32_t dwVer)
{
    return CreateIconFromResourceEx(presbits, dwResSize, fIcon, dwVer, 0, 0, LR_DEFAULTCOLOR);
}

HICON CreateIconIndirect(const ICONINFO* info)
{
    if (!info || info->hbmMask.isNull())
        return nullptr;
    auto icon = std::make_shared<TIconObject>();
    icon->IsIcon = info->fIcon;
    icon->HotX = int(std::min<uint32_t>(info->xHotspot, kMaxIconSide));
    icon->HotY = int(std::min<uint32_t>(info->yHotspot, kMaxIconSide));
    const QImage& maskSrc = info->hbmMask;
    if (info->hbmColor.isNull()) {
        if (maskSrc.height() < 2 || maskSrc.height() % 2 != 0)
            return nullptr;
        const int w = maskSrc.width(), h = maskSrc.height() / 2;
        if (w > kMaxIconSide || h > kMaxIconSide)
            return nullptr;
        icon->Width = w;
        icon->Height = h;
        icon->Monochrome = true;
        icon->Mask = MaskFromImage(maskSrc, 0, h);
        const QImage xorBits = MaskFromImage(maskSrc, h, h);
        QImage color(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) {
            auto* d = reinterpret_cast<QRgb*>(color.scanLine(y));
            for (int x = 0; x < w; ++x)
                d[x] = MaskBit(xorBits, x, y) ? 0xFFFFFFFFu : 0xFF000000u;
        }
        icon->Color = color;
    } else {
        const QImage& c = info->hbmColor;
        if (c.width() > kMaxIconSide || c.height() > kMaxIconSide || maskSrc.width() != c.width() ||
            maskSrc.height() != c.height())
            return nullptr;
        icon->Width = c.width();
        icon->Height = c.height();
        QImage color = c.convertToFormat(QImage::Format_ARGB32);
        bool anyAlpha = false;
        if (c.hasAlphaChannel()) {
            for (int y = 0; y < color.height() && !anyAlpha; ++y) {
                const auto* s = reinterpret_cast<const QRgb*>(color.constScanLine(y));
                for (int x = 0; x < color.width(); ++x)
                    if (qAlpha(s[x]) != 0) {
                        anyAlpha = true;
                        break;
                    }
            }
        }
        icon->HasAlpha = anyAlpha;
        icon->Color = anyAlpha ? color : OpaqueRgb32(color);
        icon->Mask = MaskFromImage(maskSrc, 0, c.height());
    }
    if (icon->Width <= 0 || icon->Height <= 0 || icon->Mask.isNull() || icon->Color.isNull())
        return nullptr;
    if (!icon->IsIcon) {
        icon->HotX = std::min(icon->HotX, icon->Width - 1);
        icon->HotY = std::min(icon->HotY, icon->Height - 1);
    }
    const int w = icon->Width, h = icon->Height;
    return Finish(std::move(icon), w, h);
}

HICON CopyIcon(HICON hIcon)
{
    TIconPtr icon = Handles().Get(hIcon);
    return icon ? Handles().Add(std::move(icon)) : nullptr;
}

bool DestroyIcon(HICON hIcon)
{
    return hIcon && Handles().Remove(hIcon);
}

bool GetIconInfo(HICON hIcon, ICONINFO* info)
{
    const TIconPtr icon = Handles().Get(hIcon);
    if (!icon || !info)
        return false;
    info->fIcon = icon->IsIcon;
    info->xHotspot = uint32_t(icon->HotX);
    info->yHotspot = uint32_t(icon->HotY);
    info->hbmMask = InfoMask(*icon);
    info->hbmColor = icon->Monochrome ? QImage() : icon->Color;
    return true;
}

bool GetIconSize(HICON hIcon, int* width, int* height)
{
    const TIconPtr icon = Handles().Get(hIcon);
    if (!icon)
        return false;
    if (width)
        *width = icon->Width;
    if (height)
        *height = icon->Height;
    return true;
}

QImage IconToImage(HICON hIcon)
{
    const TIconPtr icon = Handles().Get(hIcon);
    if (!icon)
        return QImage();
    if (icon->HasAlpha)
        return icon->Color;
    QImage out = icon->Color.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < icon->Height; ++y) {
        auto* d = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < icon->Width; ++x)
            d[x] = MaskBit(icon->Mask, x, y) ? 0u : (d[x] | 0xFF000000u);
    }
    return out;
}

bool DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, unsigned, void*,
                unsigned diFlags)
{
    const TIconPtr icon = Handles().Get(hIcon);
    if (!icon || !hdc || !hdc->isActive())
        return false;
    const bool defaultSize = (diFlags & DI_DEFAULTSIZE) != 0;
    const int w = cxWidth ? cxWidth : (defaultSize ? DefaultSide(icon->IsIcon, true) : icon->Width);
    const int h = cyWidth ? cyWidth : (defaultSize ? DefaultSide(icon->IsIcon, false) : icon->Height);
    if (w <= 0 || h <= 0)
        return false;

    QImage picture;
    switch (diFlags & DI_NORMAL) {
    case DI_MASK: {
        // The AND step alone: opaque pixels go black, the others leave the background.
        picture = QImage(icon->Width, icon->Height, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < icon->Height; ++y) {
            auto* d = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < icon->Width; ++x)
                d[x] = MaskBit(icon->GetMask(), x, y) ? 0u : 0xFF000000u;
        }
        break;
    }
    case DI_IMAGE:
        picture = icon->Color;
        break;
    default:
        picture = icon->GetComposed();
        break;
    }
    if (w != icon->Width || h != icon->Height)
        picture = ScaleColor(picture, w, h);

    hdc->save();
    hdc->setRenderHint(QPainter::SmoothPixmapTransform, false);
    hdc->setCompositionMode(QPainter::CompositionMode_SourceOver);
    hdc->drawImage(QPoint(xLeft, yTop), picture);
    hdc->restore();
    return true;
}

bool DrawIcon(HDC hdc, int x, int y, HICON hIcon)
{
    return DrawIconEx(hdc, x, y, hIcon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
}

int BestIconDirectoryEntry(const uint8_t* p, size_t size, bool fIcon, int cxDesired, int cyDesired,
                           bool fileEntries)
{
    if (!p || size < 6)
        return -1;
    const size_t entrySize = fileEntries ? 16 : 14;
    const uint16_t count = Get16(p + 4);
    if (size < 6 + entrySize * count)
        return -1;
    const int cx = cxDesired > 0 ? cxDesired : DefaultSide(fIcon, true);
    const int cy = cyDesired > 0 ? cyDesired : DefaultSide(fIcon, false);
    int best = -1;
    int64_t bestDistance = 0;
    int bestBits = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = p + 6 + entrySize * size_t(i);
        int w, h, bitCount;
        if (!fIcon && !fileEntries) {
            // Cursor-group entries carry 16-bit sizes, the height doubled as in the image header.
            w = Get16(e);
            h = Get16(e + 2) / 2;
            bitCount = Get16(e + 6);
        } else {
            w = e[0] ? e[0] : 256;
            h = e[1] ? e[1] : 256;
            // A cursor file keeps its hot spot where an icon keeps planes and bit count.
            bitCount = fIcon ? Get16(e + 6) : 0;
            if (fIcon && bitCount == 0 && e[2] != 0) {
                bitCount = 1;
                while ((1 << bitCount) < e[2] && bitCount < 8)
                    ++bitCount;
            }
        }
        const int64_t distance = std::abs(int64_t(w) - cx) + std::abs(int64_t(h) - cy);
        if (best < 0 || distance < bestDistance || (distance == bestDistance && bitCount > bestBits)) {
            best = i;
            bestDistance = distance;
            bestBits = bitCount;
        }
    }
    return best;
}

int LookupIconIdFromDirectoryEx(const uint8_t* presbits, size_t size, bool fIcon, int cxDesired, int cyDesired,
                                unsigned Flags)
{
    if (Flags & LR_DEFAULTSIZE) {
        cxDesired = cxDesired ? cxDesired : DefaultSide(fIcon, true);
        cyDesired = cyDesired ? cyDesired : DefaultSide(fIcon, false);
    }
    const int index = BestIconDirectoryEntry(presbits, size, fIcon, cxDesired, cyDesired, false);
    if (index < 0)
        return 0;
    return Get16(presbits + 6 + 14 * size_t(index) + 12);
}

HCURSOR LoadCursorFromFile(const QString& lpFileName)
{
    QFile file(lpFileName);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray head = file.read(6);
    const auto* h = reinterpret_cast<const uint8_t*>(head.constData());
    if (head.size() != 6 || Get16(h) != 0 || Get16(h + 2) != 2)
        return nullptr;
    const QByteArray directory = head + file.read(qint64(Get16(h + 4)) * 16);
    const auto* p = reinterpret_cast<const uint8_t*>(directory.constData());
    const int index = BestIconDirectoryEntry(p, size_t(directory.size()), false, 0, 0, true);
    if (index < 0)
        return nullptr;
    // The resource form of a cursor image is the entry's hot spot followed by the image.
    const uint8_t* e = p + 6 + 16 * size_t(index);
    const qint64 length = Get32(e + 8);
    const qint64 offset = Get32(e + 12);
    if (offset > file.size() || length > file.size() - offset || length > qint64(UINT32_MAX) - 4 || !file.seek(offset))
        return nullptr;
    QByteArray image = QByteArray(reinterpret_cast<const char*>(e + 4), 4) + file.read(length);
    if (image.size() != length + 4)
        return nullptr;
    return CreateIconFromResourceEx(reinterpret_cast<const uint8_t*>(image.constData()), uint32_t(image.size()), false,
                                    kIconResourceVersion, 0, 0, LR_DEFAULTSIZE);
}
