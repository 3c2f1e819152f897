#include "imaging/icons/file_icon.h"

#include "framework/streams.h"

#include <algorithm>

TFileIcon::TFileIcon(const QString& fileName)
{
    Reset();
    stream_ = std::make_unique<TFileStream>(fileName, fmOpenRead | fmShareDenyWrite);
    bool valid = false;
    uint16_t count = 0;
    ReadDirectory(stream_.get(), valid, count);
}

TFileIcon::~TFileIcon() = default;

void TFileIcon::CopyImageData(TStream* stream, uint16_t index)
{
    if (index >= Count())
        return;
    const IconDirEntry& e = Entry(index);
    if (e.BytesInRes == 0)
        return;
    stream_->SetPosition(e.ImageOffset);
    stream->CopyFrom(stream_.get(), e.BytesInRes);
}

int64_t TFileIcon::SourceSize()
{
    return stream_->Size();
}

QByteArray TFileIcon::ReadImageBytes(uint16_t index)
{
    if (index >= Count())
        return {};
    const IconDirEntry& e = Entry(index);
    // Only the bytes the file really holds: a size field of gigabytes in a small file asks for
    // nothing more than the rest of the file.
    const int64_t available = stream_->Size() - int64_t(e.ImageOffset);
    const int64_t n = std::min<int64_t>(e.BytesInRes, std::max<int64_t>(available, 0));
    if (n <= 0)
        return {};
    QByteArray data(qsizetype(n), Qt::Uninitialized);
    stream_->SetPosition(e.ImageOffset);
    stream_->ReadBuffer(data.data(), n);
    return data;
}
