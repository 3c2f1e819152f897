#include "framework/jpeg.h"

#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/streams.h"

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace {

constexpr unsigned kMaxSide = 32768;
constexpr uint64_t kMaxPixels = uint64_t(1) << 26;

struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

void ErrorExit(j_common_ptr info)
{
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    longjmp(err->jump, 1);
}

void SilentMessage(j_common_ptr) {}

// Plain C-style decoding: no object with a destructor lives across the setjmp.
int DecodeRaw(const unsigned char* data, unsigned long size, bool grayscale, std::vector<uint8_t>* pixels,
              unsigned* width, unsigned* height, int* components)
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.output_message = SilentMessage;
    if (setjmp(err.jump)) {
        const int code = err.pub.msg_code;
        jpeg_destroy_decompress(&cinfo);
        return code ? code : -1;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = grayscale ? JCS_GRAYSCALE : JCS_RGB;
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kMaxSide ||
        cinfo.image_height > kMaxSide || uint64_t(cinfo.image_width) * cinfo.image_height > kMaxPixels) {
        jpeg_destroy_decompress(&cinfo);
        return -2;
    }
    jpeg_start_decompress(&cinfo);
    *width = cinfo.output_width;
    *height = cinfo.output_height;
    *components = cinfo.output_components;
    pixels->resize(size_t(*width) * *height * size_t(*components));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels->data() + size_t(cinfo.output_scanline) * *width * size_t(*components);
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return 0;
}

int EncodeRaw(const uint8_t* pixels, unsigned width, unsigned height, int components, int quality,
              unsigned char** out, unsigned long* outSize)
{
    jpeg_compress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.output_message = SilentMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return -1;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + size_t(cinfo.next_scanline) * width * size_t(components));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return 0;
}

} // namespace

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

bool TJPEGImage::GetEmpty() const
{
    return !bitmap_ || bitmap_->Empty();
}

int TJPEGImage::GetWidth()
{
    return bitmap_ ? bitmap_->Width() : 0;
}

int TJPEGImage::GetHeight()
{
    return bitmap_ ? bitmap_->Height() : 0;
}

void TJPEGImage::Draw(TCanvas* canvas, const TRect& rect)
{
    if (bitmap_ && !bitmap_->Empty())
        bitmap_->Draw(canvas, rect);
}

bool TJPEGImage::Decode(const QByteArray& data, TBitmap& out, bool grayscale, int* errorCode)
{
    std::vector<uint8_t> pixels;
    unsigned w = 0, h = 0;
    int components = 0;
    const int code = DecodeRaw(reinterpret_cast<const unsigned char*>(data.constData()),
                               static_cast<unsigned long>(data.size()), grayscale, &pixels, &w, &h, &components);
    if (errorCode)
        *errorCode = code;
    if (code != 0 || (components != 1 && components != 3))
        return false;
    TBitmap result;
    if (components == 1) {
        TPaletteEntries grey;
        for (int i = 0; i < 256; ++i)
            grey.push_back(QRgb(i << 16 | i << 8 | i));
        result.SetPixelFormat(pf8bit);
        result.SetPalette(grey);
        result.SetSize(int(w), int(h));
        for (unsigned y = 0; y < h; ++y)
            std::memcpy(result.ScanLine(int(y)), pixels.data() + size_t(y) * w, w);
    } else {
        result.SetPixelFormat(pf24bit);
        result.SetSize(int(w), int(h));
        for (unsigned y = 0; y < h; ++y) {
            uint8_t* dst = result.ScanLine(int(y));
            const uint8_t* src = pixels.data() + size_t(y) * w * 3;
            for (unsigned x = 0; x < w; ++x) {
                dst[3 * x] = src[3 * x + 2];
                dst[3 * x + 1] = src[3 * x + 1];
                dst[3 * x + 2] = src[3 * x];
            }
        }
    }
    out.Assign(&result);
    return true;
}

QByteArray TJPEGImage::Encode(TBitmap& bitmap, int quality, bool grayscale)
{
    if (bitmap.Empty())
        return {};
    const int w = bitmap.Width(), h = bitmap.Height();
    const int components = grayscale ? 1 : 3;
    std::vector<uint8_t> pixels(size_t(w) * h * components);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t c = bitmap.PixelArgb(x, y);
            const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
            uint8_t* p = pixels.data() + (size_t(y) * w + x) * components;
            if (grayscale) {
                p[0] = uint8_t((77 * r + 150 * g + 29 * b) >> 8);
            } else {
                p[0] = uint8_t(r);
                p[1] = uint8_t(g);
                p[2] = uint8_t(b);
            }
        }
    }
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const int code = EncodeRaw(pixels.data(), unsigned(w), unsigned(h), components, quality, &buffer, &size);
    QByteArray out;
    if (code == 0 && buffer)
        out = QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    if (code != 0)
        throw EInvalidGraphic(QStringLiteral("JPEG error #%1").arg(code));
    return out;
}

void TJPEGImage::LoadFromStream(TStream* stream)
{
    const QByteArray bytes = stream->ReadAll();
    auto bitmap = std::make_unique<TBitmap>();
    int code = 0;
    if (!Decode(bytes, *bitmap, grayscale_, &code))
        throw EInvalidGraphic(QStringLiteral("JPEG error #%1").arg(code));
    data_ = bytes;
    bitmap_ = std::move(bitmap);
    Changed(this);
}

void TJPEGImage::SaveToStream(TStream* stream)
{
    if (data_.isEmpty() && bitmap_ && !bitmap_->Empty())
        data_ = Encode(*bitmap_, quality_, grayscale_);
    if (!data_.isEmpty())
        stream->WriteBuffer(data_.constData(), data_.size());
}

void TJPEGImage::Assign(TPersistent* source)
{
    if (auto* other = dynamic_cast<TJPEGImage*>(source)) {
        if (other == this)
            return;
        data_ = other->data_;
        quality_ = other->quality_;
        grayscale_ = other->grayscale_;
        bitmap_.reset();
        if (other->bitmap_) {
            bitmap_ = std::make_unique<TBitmap>();
            bitmap_->Assign(other->bitmap_.get());
        }
        Changed(this);
        return;
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
        bitmap_ = std::make_unique<TBitmap>();
        bitmap_->Assign(bitmap);
        data_.clear();
        Changed(this);
        return;
    }
    TGraphic::Assign(source);
}

void TJPEGImage::SetCompressionQuality(int value)
{
    value = std::clamp(value, 1, 100);
    if (value != quality_) {
        quality_ = value;
        // A new quality needs a new encoding of the pixels.
        if (bitmap_ && !bitmap_->Empty())
            data_.clear();
    }
}

void TJPEGImage::SetGrayscale(bool value)
{
    if (value != grayscale_) {
        grayscale_ = value;
        if (!data_.isEmpty()) {
            TMemoryStream copy(data_);
            LoadFromStream(&copy);
        }
    }
}

TBitmap* TJPEGImage::Bitmap()
{
    // The caller may change the pixels: the next save encodes them.
    data_.clear();
    if (!bitmap_)
        bitmap_ = std::make_unique<TBitmap>();
    return bitmap_.get();
}
