#pragma once

// TJPEGImage: JPEG pictures, decoded and encoded with libjpeg. The decoded picture is kept as a
// 24-bit bitmap (8-bit grey with Grayscale) and drawn from it.

#include "framework/graphic.h"

#include <QByteArray>
#include <memory>

class TBitmap;

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;

    void Draw(TCanvas* canvas, const TRect& rect) override;
    bool GetEmpty() const override;
    int GetWidth() override;
    int GetHeight() override;
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    // A stream that is not a readable JPEG raises EInvalidGraphic ("JPEG error #n") and leaves
    // the picture as it was.
    void LoadFromStream(TStream* stream) override;
    // Writes the loaded file unchanged, or encodes the bitmap at CompressionQuality.
    void SaveToStream(TStream* stream) override;
    // From another JPEG, or from a bitmap (encoded on the next save).
    void Assign(TPersistent* source) override;

    // 1..100, default 90.
    int CompressionQuality() const { return quality_; }
    void SetCompressionQuality(int value);
    bool Grayscale() const { return grayscale_; }
    void SetGrayscale(bool value);
    // The decoded pixels (created empty when there are none); the next save encodes them anew.
    TBitmap* Bitmap();
    // Decodes data without keeping it; returns false for bad data.
    static bool Decode(const QByteArray& data, TBitmap& out, bool grayscale, int* errorCode = nullptr);
    static QByteArray Encode(TBitmap& bitmap, int quality, bool grayscale);

private:
    QByteArray data_;
    std::unique_ptr<TBitmap> bitmap_;
    int quality_ = 90;
    bool grayscale_ = false;
};
