#include "framework/imagelist.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/exceptions.h"
#include "framework/icon.h"

#include <cstring>

TImageList::TImageList(QObject* owner)
    : QObject(owner)
{
}

TImageList::TImageList(int width, int height, QObject* owner)
    : QObject(owner)
    , width_(std::max(1, width))
    , height_(std::max(1, height))
{
}

TImageList::~TImageList() = default;

void TImageList::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TImageList::SetWidth(int value)
{
    value = std::max(1, value);
    if (value != width_) {
        width_ = value;
        images_.clear();
        Changed();
    }
}

void TImageList::SetHeight(int value)
{
    value = std::max(1, value);
    if (value != height_) {
        height_ = value;
        images_.clear();
        Changed();
    }
}

// Cuts a picture into Width-wide images (one when it is not wider than the list).
int TImageList::AddSplit(const QImage& argb)
{
    if (argb.isNull())
        return -1;
    const int first = Count();
    const int count = std::max(1, argb.width() / width_);
    for (int i = 0; i < count; ++i) {
        QImage part = argb.copy(i * width_, 0, std::min(width_, argb.width()), std::min(height_, argb.height()));
        if (part.width() != width_ || part.height() != height_) {
            QImage full(width_, height_, QImage::Format_ARGB32);
            full.fill(0);
            for (int y = 0; y < part.height(); ++y)
                std::memcpy(full.scanLine(y), part.constScanLine(y), size_t(part.width()) * 4);
            part = full;
        }
        images_.push_back(part);
    }
    Changed();
    return first;
}

namespace {

// The opaque pixels of a bitmap as ARGB32, with a set mask bit (or the key colour) transparent.
QImage MaskedImage(TBitmap* image, TBitmap* mask, bool keyed, TColor key)
{
    QImage argb = image->ToImage().convertToFormat(QImage::Format_ARGB32);
    const uint32_t keyRgb = keyed ? (ColorToArgb(key) & 0xFFFFFF) : 0;
    for (int y = 0; y < argb.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            bool transparent = false;
            if (mask && !mask->Empty() && x < mask->Width() && y < mask->Height())
                transparent = (mask->PixelArgb(x, y) & 0xFFFFFF) == 0xFFFFFF;
            else if (keyed)
                transparent = (row[x] & 0xFFFFFF) == keyRgb;
            row[x] = transparent ? 0 : (row[x] | 0xFF000000);
        }
    }
    return argb;
}

} // namespace

int TImageList::Add(TBitmap* image, TBitmap* mask)
{
    if (!image || image->Empty())
        return -1;
    return AddSplit(MaskedImage(image, mask, false, clNone));
}

int TImageList::AddMasked(TBitmap* image, TColor maskColor)
{
    if (!image || image->Empty())
        return -1;
    if (maskColor == clDefault)
        maskColor = ArgbToColor(image->PixelArgb(0, image->Height() - 1));
    return AddSplit(MaskedImage(image, nullptr, maskColor != clNone, maskColor));
}

int TImageList::AddIcon(TIcon* icon)
{
    if (!icon || icon->Empty())
        return -1;
    return AddImage(icon->ToImage());
}

int TImageList::AddImage(const QImage& image)
{
    if (image.isNull())
        return -1;
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    if (argb.width() != width_ || argb.height() != height_)
        argb = argb.scaled(width_, height_, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    images_.push_back(argb);
    Changed();
    return Count() - 1;
}

void TImageList::Replace(int index, TBitmap* image, TBitmap* mask)
{
    if (index < 0 || index >= Count())
        throw EInvalidOperation(QStringLiteral("Invalid image list index"));
    if (!image || image->Empty())
        return;
    QImage argb = MaskedImage(image, mask, false, clNone).copy(0, 0, width_, height_);
    images_[size_t(index)] = argb;
    Changed();
}

void TImageList::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw EInvalidOperation(QStringLiteral("Invalid image list index"));
    images_.erase(images_.begin() + index);
    Changed();
}

void TImageList::Clear()
{
    if (images_.empty())
        return;
    images_.clear();
    Changed();
}

QImage TImageList::Image(int index) const
{
    return index >= 0 && index < Count() ? images_[size_t(index)] : QImage();
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled)
{
    if (!canvas || index < 0 || index >= Count())
        return;
    QImage image = images_[size_t(index)];
    if (!enabled) {
        // Greyed: each pixel's brightness, blended half-way towards the button face.
        const uint32_t face = ColorToArgb(clBtnFace);
        for (int row = 0; row < image.height(); ++row) {
            auto* px = reinterpret_cast<uint32_t*>(image.scanLine(row));
            for (int col = 0; col < image.width(); ++col) {
                const uint32_t c = px[col];
                const int grey = (77 * int(c >> 16 & 0xFF) + 150 * int(c >> 8 & 0xFF) + 29 * int(c & 0xFF)) >> 8;
                const int r = (grey + int(face >> 16 & 0xFF)) / 2, g = (grey + int(face >> 8 & 0xFF)) / 2,
                          b = (grey + int(face & 0xFF)) / 2;
                px[col] = (c & 0xFF000000) | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
            }
        }
    }
    canvas->BlendImage(Rect(x, y, x + width_, y + height_), image, Rect(0, 0, width_, height_));
}

void TImageList::GetBitmap(int index, TBitmap* bitmap)
{
    if (!bitmap || index < 0 || index >= Count())
        return;
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(width_, height_);
    bitmap->Canvas()->Brush()->SetColor(clWhite);
    bitmap->Canvas()->FillRect(Rect(0, 0, width_, height_));
    Draw(bitmap->Canvas(), 0, 0, index, true);
}

void TImageList::Assign(TPersistent* source)
{
    if (auto* other = dynamic_cast<TImageList*>(source)) {
        width_ = other->width_;
        height_ = other->height_;
        images_ = other->images_;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}
