#include "imaging/icons/icon_image.h"

#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/icons/hi_res_icon.h"

#include <cstring>

// An .ico entry holds each side in one byte, 256 as 0.
static constexpr int kMaxEntrySide = 256;

TIconImage::TIconImage() = default;

TIconImage::~TIconImage()
{
    if (handle_)
        DestroyIcon(handle_);
}

std::unique_ptr<TIconImage> TIconImage::CreateCopy(TIconImage* source)
{
    auto image = std::make_unique<TIconImage>();
    if (!source)
        return image;
    image->entry_ = source->entry_;
    image->data_ = source->data_;
    if (HICON handle = source->GetHandle())
        image->handle_ = CopyIcon(handle);
    image->NormalizeSize();
    return image;
}

HICON TIconImage::GetHandle()
{
    if (!handle_ && !data_.isEmpty())
        handle_ = CreateIconFromResourceEx(reinterpret_cast<const uint8_t*>(data_.constData()),
                                           uint32_t(data_.size()), true, kIconResourceVersion, entry_.Width,
                                           entry_.Height, LR_DEFAULTCOLOR);
    return handle_;
}

std::unique_ptr<THiResIcon> TIconImage::CreateHiResIcon()
{
    auto icon = std::make_unique<THiResIcon>();
    if (HICON handle = GetHandle())
        icon->SetHandle(CopyIcon(handle));
    return icon;
}

void TIconImage::WriteData(TStream* stream) const
{
    if (!data_.isEmpty())
        stream->WriteBuffer(data_.constData(), data_.size());
}

void TIconImage::NormalizeSize()
{
    const auto* p = reinterpret_cast<const uint8_t*>(data_.constData());
    const size_t size = size_t(data_.size());
    int64_t width = 0;
    int64_t height = 0;
    if (IsPngImage(p, size)) {
        // A compressed image's size is in its first chunk, which must be the header chunk.
        static constexpr size_t kHeaderChunkEnd = 8 + 8 + 8;
        if (size < kHeaderChunkEnd || memcmp(p + 12, "IHDR", 4) != 0)
            return;
        auto be32 = [](const uint8_t* b) {
            return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | uint32_t(b[3]);
        };
        width = be32(p + 16);
        height = be32(p + 20);
    } else {
        if (size < size_t(IconBitmapHeaderSize) || GetLE32(p) < uint32_t(IconBitmapHeaderSize))
            return;
        width = int32_t(GetLE32(p + 4));
        height = int32_t(GetLE32(p + 8)) / 2;
    }
    if (width < 1 || width > kMaxEntrySide || height < 1 || height > kMaxEntrySide)
        return;
    entry_.Width = uint8_t(width);
    entry_.Height = uint8_t(height);
}

TFileIconImage::TFileIconImage(TStream* stream)
{
    entry_ = ReadIconEntry(stream);
    const int64_t afterEntry = stream->Position();
    const uint32_t offset = entry_.ImageOffset;
    entry_.ImageOffset = 0;
    // The stream's own length bounds what an entry can claim, so a broken entry neither reads
    // past the end nor asks for a huge buffer.
    if (int64_t(offset) + int64_t(entry_.BytesInRes) > stream->Size())
        throw EReadError(QString::fromLatin1(FrameworkText::ReadError));
    try {
        data_ = QByteArray(qsizetype(entry_.BytesInRes), Qt::Uninitialized);
        stream->SetPosition(offset);
        stream->ReadBuffer(data_.data(), data_.size());
    } catch (...) {
        stream->SetPosition(afterEntry);
        throw;
    }
    stream->SetPosition(afterEntry);
    NormalizeSize();
}
