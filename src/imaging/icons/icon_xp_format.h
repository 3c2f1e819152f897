#pragma once

// One decoded image of an icon file (TIconXPFormat) and the collection of them that an alpha icon
// picture owns (TIconXPFormats). Pixels are 32-bit blue, green, red, alpha with the rows in the
// file's order, bottom row first, whatever the image's own depth or compression.

#include "framework/collection.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

class TBitmap;
class TCanvas;
class TStream;
struct IconDirEntry;
struct TRect;

// Leaves new elements uninitialised: every decoder writes each pixel it allocates, and a 256-pixel
// image would otherwise be cleared once for nothing.
template <class T>
struct TUninitAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = TUninitAllocator<U>;
    };
    TUninitAllocator() = default;
    template <class U>
    TUninitAllocator(const TUninitAllocator<U>&) noexcept {}
    template <class U>
    void construct(U* p) noexcept
    {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

using TIconXPData = std::vector<uint32_t, TUninitAllocator<uint32_t>>;

class TIconXPFormat : public TCollectionItem {
public:
    explicit TIconXPFormat(TCollection* collection = nullptr);
    ~TIconXPFormat() override;
    TIconXPFormat(const TIconXPFormat&) = delete;
    TIconXPFormat& operator=(const TIconXPFormat&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Pixel-format value: 1 for 1 bit, 2 for 4, 3 for 8, 5 for 16, 6 for 24, 7 for 32 bits or a
    // PNG image; 0 when the image could not be decoded.
    uint8_t PixelFormat() const { return pixelFormat_; }
    const TIconXPData& Pixels() const { return pixels_; }

    // Reads the entry's bytes-in-resource bytes at the source's position (a short source raises
    // the framework's read error), appends them to fileCopy when given, and decodes them.
    virtual void LoadImage(TStream* source, const IconDirEntry& entry, TStream* fileCopy,
                           int64_t maxPixels = MaxImagePixels);
    // Decodes one image's bytes. Bytes that do not hold a decodable image, or an image of more
    // than maxPixels pixels, leave the image with PixelFormat 0 and no pixels; nothing outside
    // data..data+size is read.
    void DecodeImage(const uint8_t* data, size_t size, int64_t maxPixels = MaxImagePixels);

    static constexpr int64_t MaxImagePixels = int64_t(1024) * 1024;
    // Blends the image over the canvas with its top-left at the rectangle's, unscaled and cut to
    // the rectangle: each colour byte becomes ((255 - a) * background + a * pixel) / 255, pixels
    // of alpha 0 leave the background, the background's fourth byte is kept.
    virtual void DrawOnCanvas(TCanvas* canvas, const TRect& rect);
    // Makes the bitmap Width by Height at 24 bits, transparent white, and draws the image over
    // its content.
    virtual void AssignToBitmap(TBitmap* bitmap);

    void Assign(TPersistent* source) override;

private:
    void DecodeDib(const uint8_t* data, size_t size, int64_t maxPixels);
    void DecodePng(const uint8_t* data, size_t size, int64_t maxPixels);

    int width_ = 0;
    int height_ = 0;
    uint8_t pixelFormat_ = 0;
    TIconXPData pixels_;
};

class TIconXPFormats : public TCollection {
public:
    explicit TIconXPFormats(TPersistent* owner = nullptr);
    ~TIconXPFormats() override;

    // Appends an empty image.
    TIconXPFormat* Add();
    // Image #index; an index outside 0..Count-1 raises the list index error.
    TIconXPFormat* GetItem(int index) const;

    // The image with exactly these values; the last in file order when several match.
    virtual TIconXPFormat* FindExact(int width, int height, uint8_t pixelFormat) const;
    // The nearest image to the wish (see the definition).
    virtual TIconXPFormat* FindBest(int width, int height, uint8_t pixelFormat) const;
    // The image chosen for the wanted values, chosen once and kept until Forget().
    virtual TIconXPFormat* GetCurrent();

    TIconXPFormat* Current() const { return current_; }
    void ForgetCurrent() { current_ = nullptr; }
    int WantedWidth() const { return wantedWidth_; }
    int WantedHeight() const { return wantedHeight_; }
    uint8_t WantedPixelFormat() const { return wantedPixelFormat_; }
    void SetWantedWidth(int v) { wantedWidth_ = v; }
    void SetWantedHeight(int v) { wantedHeight_ = v; }
    void SetWantedPixelFormat(uint8_t v) { wantedPixelFormat_ = v; }

protected:
    // An image that leaves the collection is no longer the current one.
    void Notify(TCollectionItem* item, TCollectionNotification action) override;

private:
    TIconXPFormat* current_ = nullptr;
    int wantedWidth_ = 0;
    int wantedHeight_ = 0;
    uint8_t wantedPixelFormat_ = 0;
};
