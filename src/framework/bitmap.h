#pragma once

// TBitmap: the framework's bitmap. Its pixels are kept as the rows of a device-independent
// bitmap (top row first, each row padded to 4 bytes) in one of the pixel formats 1, 4 and 8 bits
// with a colour table, 15 and 16 bits, 24 bits (blue, green, red) and 32 bits (blue, green, red,
// alpha). It reads and writes BMP files and draws through its canvas.

#include "framework/graphic.h"
#include "framework/graphics.h"
#include "framework/palette.h"

class QImage;
#include <memory>
#include <vector>

class TCanvas;

enum TTransparentMode : uint8_t { tmAuto, tmFixed };
enum TBitmapHandleType : uint8_t { bmDIB, bmDDB };

class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = pfDevice);
    ~TBitmap() override;

    void Draw(TCanvas* canvas, const TRect& rect) override;
    bool GetEmpty() const override { return width_ <= 0 || height_ <= 0; }
    int GetWidth() override { return width_; }
    int GetHeight() override { return height_; }
    void SetWidth(int value) override { SetSize(value, height_); }
    void SetHeight(int value) override { SetSize(width_, value); }
    // Keeps the pixels that stay inside; new pixels are white.
    void SetSize(int width, int height);

    // BMP files: 1, 4 and 8 bits with a colour table (RLE4 and RLE8 too), 16, 24 and 32 bits,
    // bottom-up or top-down rows. A malformed file raises EInvalidGraphic ("Bitmap image is not
    // valid") or EReadError for a short one and leaves the bitmap unchanged.
    void LoadFromStream(TStream* stream) override;
    // Writes a BMP file with the classic 40-byte header, rows bottom-up.
    void SaveToStream(TStream* stream) override;
    // CF_DIB / CF_BITMAP: a packed device-independent bitmap (a BMP file without its 14-byte
    // file header).
    void LoadFromClipboardFormat(TClipFormat format, const QByteArray& data) override;
    void SaveToClipboardFormat(TClipFormat& format, QByteArray& data) override;
    void LoadFromDIB(const QByteArray& dib);
    QByteArray SaveToDIB();

    void Assign(TPersistent* source) override;

    TCanvas* Canvas();

    // pfDevice keeps 24-bit pixels. Changing the format converts the pixels; reducing to 1, 4
    // or 8 bits maps every pixel to the nearest colour of the fixed table for that depth
    // (black and white, the 16 standard colours, the halftone table) and makes it the palette.
    TPixelFormat PixelFormat() const { return format_; }
    void SetPixelFormat(TPixelFormat value);
    int BitsPerPixel() const { return bits_; }
    bool Monochrome() const { return bits_ == 1; }
    void SetMonochrome(bool value);
    // The colour table of a 1-, 4- or 8-bit bitmap (0x00RRGGBB entries); empty for others.
    const TPaletteEntries& Palette() const { return palette_; }
    // Replaces the colour table (indices stay); at most 2^bits entries are used.
    void SetPalette(const TPaletteEntries& palette);

    // Of the information header the bitmap was read with: its resolution in pixels per metre and
    // its count of important colours, written again on saving (0 for a bitmap made in memory).
    // A change of pixel format drops the count, which belongs to the old colour table.
    int32_t XPelsPerMeter() const { return xPelsPerMeter_; }
    int32_t YPelsPerMeter() const { return yPelsPerMeter_; }
    void SetResolution(int32_t xPelsPerMeter, int32_t yPelsPerMeter);
    uint32_t ImportantColors() const { return importantColors_; }
    void SetImportantColors(uint32_t value) { importantColors_ = value; }

    // With tmAuto the transparent colour is the bottom-left pixel.
    TColor TransparentColor();
    void SetTransparentColor(TColor value);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode value);

    // Row y of the pixels, top row 0; BytesPerLine bytes long.
    uint8_t* ScanLine(int row);
    const uint8_t* ScanLine(int row) const;
    int BytesPerLine() const { return stride_; }

    TBitmapHandleType HandleType() const { return handleType_; }
    void SetHandleType(TBitmapHandleType value) { handleType_ = value; }
    bool HandleAllocated() const { return !data_.empty(); }
    // Nothing to release on this platform.
    void Dormant() {}
    void FreeImage() {}

    // A pixel as 0xAARRGGBB (alpha 255 unless 32-bit).
    uint32_t PixelArgb(int x, int y) const;
    void SetPixelArgb(int x, int y, uint32_t argb);

    // A copy of the pixels: 32-bit bitmaps give Format_ARGB32 (the alpha bytes as stored, not
    // premultiplied), all others Format_RGB32.
    QImage ToImage();

private:
    class Surface;
    friend class Surface;

    void Allocate(int width, int height, TPixelFormat format);
    void FlushCanvas();
    QImage SourceImage();
    void ReadDIB(const uint8_t* data, size_t size, int64_t bitsOffset);
    void WriteDIB(QByteArray& out, bool fileHeader);
    void Notify() { Changed(this); }

    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = pfDevice;
    int bits_ = 24;
    int stride_ = 0;
    std::vector<uint8_t> data_;
    TPaletteEntries palette_;
    TColor transparentColor_ = clDefault;
    TTransparentMode transparentMode_ = tmAuto;
    TBitmapHandleType handleType_ = bmDIB;
    int32_t xPelsPerMeter_ = 0;
    int32_t yPelsPerMeter_ = 0;
    uint32_t importantColors_ = 0;
    std::unique_ptr<Surface> surface_;
    std::unique_ptr<TCanvas> canvas_;
};

// Bits per pixel of a pixel format as stored by TBitmap.
int BitsOfPixelFormat(TPixelFormat format);
