#include "framework/streams.h"

#include "framework/exceptions.h"
#include "platform/atomic_file.h"

#include <QFile>
#include <algorithm>
#include <cstring>

TStream::~TStream() = default;

int64_t TStream::Size()
{
    int64_t pos = Seek(0, soCurrent);
    int64_t end = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return end;
}

void TStream::SetSize(int64_t)
{
}

void TStream::ReadBuffer(void* buffer, int64_t count)
{
    if (count < 0 || (count != 0 && Read(buffer, count) != count))
        throw EReadError(QString::fromLatin1(FrameworkText::ReadError));
}

void TStream::WriteBuffer(const void* buffer, int64_t count)
{
    if (count < 0 || (count != 0 && Write(buffer, count) != count))
        throw EWriteError(QString::fromLatin1(FrameworkText::WriteError));
}

int64_t TStream::CopyFrom(TStream* source, int64_t count)
{
    if (count == 0) {
        source->SetPosition(0);
        count = source->Size();
    }
    const int64_t total = count;
    char buf[65536];
    while (count > 0) {
        int64_t n = std::min<int64_t>(count, sizeof buf);
        source->ReadBuffer(buf, n);
        WriteBuffer(buf, n);
        count -= n;
    }
    return total;
}

uint8_t TStream::ReadByte()
{
    uint8_t b[1];
    ReadBuffer(b, 1);
    return b[0];
}

uint16_t TStream::ReadWord()
{
    uint8_t b[2];
    ReadBuffer(b, 2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t TStream::ReadDWord()
{
    uint8_t b[4];
    ReadBuffer(b, 4);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}

void TStream::WriteByte(uint8_t v)
{
    WriteBuffer(&v, 1);
}

void TStream::WriteWord(uint16_t v)
{
    uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    WriteBuffer(b, 2);
}

void TStream::WriteDWord(uint32_t v)
{
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    WriteBuffer(b, 4);
}

QByteArray TStream::ReadAll()
{
    int64_t rest = Size() - Position();
    if (rest <= 0)
        return {};
    QByteArray out(static_cast<qsizetype>(rest), Qt::Uninitialized);
    ReadBuffer(out.data(), rest);
    return out;
}

// ---------------------------------------------------------------------------------------------

TMemoryStream::TMemoryStream() = default;

TMemoryStream::TMemoryStream(const QByteArray& data) : data_(data), size_(data.size())
{
}

TMemoryStream::~TMemoryStream() = default;

int64_t TMemoryStream::Read(void* buffer, int64_t count)
{
    if (count <= 0 || pos_ < 0 || pos_ >= size_)
        return 0;
    int64_t n = std::min(count, size_ - pos_);
    std::memcpy(buffer, data_.constData() + pos_, static_cast<size_t>(n));
    pos_ += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0 || pos_ < 0)
        return 0;
    int64_t end = pos_ + count;
    if (end > size_)
        SetSize(end);
    std::memcpy(data_.data() + pos_, buffer, static_cast<size_t>(count));
    pos_ = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    switch (origin) {
    case soBeginning: pos_ = offset; break;
    case soCurrent: pos_ += offset; break;
    case soEnd: pos_ = size_ + offset; break;
    }
    return pos_;
}

void TMemoryStream::SetSize(int64_t newSize)
{
    if (newSize < 0)
        newSize = 0;
    if (newSize > data_.size()) {
        // Grow geometrically so that many small writes stay linear.
        int64_t cap = std::max<int64_t>(newSize, data_.size() + data_.size() / 2);
        cap = std::max<int64_t>(cap, 256);
        data_.resize(static_cast<qsizetype>(cap));
    }
    if (newSize > size_)
        std::memset(data_.data() + size_, 0, static_cast<size_t>(newSize - size_));
    size_ = newSize;
    if (pos_ > size_)
        pos_ = size_;
}

void TMemoryStream::Clear()
{
    data_.clear();
    size_ = 0;
    pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* source)
{
    source->SetPosition(0);
    int64_t n = source->Size();
    SetSize(n);
    pos_ = 0;
    if (n > 0)
        source->ReadBuffer(data_.data(), n);
}

void TMemoryStream::SaveToStream(TStream* dest) const
{
    if (size_ > 0)
        dest->WriteBuffer(data_.constData(), size_);
}

void TMemoryStream::LoadFromFile(const QString& fileName)
{
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}

void TMemoryStream::SaveToFile(const QString& fileName) const
{
    if (!WriteFileAtomically(fileName, QByteArray::fromRawData(data_.constData(), qsizetype(size_))))
        throw EFCreateError(QString::fromLatin1(FrameworkText::FCreateError).arg(fileName));
}

// ---------------------------------------------------------------------------------------------

TFileStream::TFileStream(const QString& fileName, uint16_t mode)
    : fileName_(fileName), file_(std::make_unique<QFile>(fileName))
{
    if (mode == fmCreate || (mode & 0xFF00) == fmCreate) {
        if (!file_->open(QIODevice::ReadWrite | QIODevice::Truncate))
            throw EFCreateError(QString::fromLatin1(FrameworkText::FCreateError).arg(fileName));
        return;
    }
    QIODevice::OpenMode m;
    switch (mode & 0x3) {
    case fmOpenWrite: m = QIODevice::WriteOnly; break;
    case fmOpenReadWrite: m = QIODevice::ReadWrite; break;
    default: m = QIODevice::ReadOnly; break;
    }
    // Opening for writing must not create a missing file, as on the original platform.
    if ((m & QIODevice::WriteOnly) && !file_->exists())
        throw EFOpenError(QString::fromLatin1(FrameworkText::FOpenError).arg(fileName));
    if (!file_->open(m | QIODevice::ExistingOnly))
        throw EFOpenError(QString::fromLatin1(FrameworkText::FOpenError).arg(fileName));
}

TFileStream::~TFileStream() = default;

int64_t TFileStream::Read(void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    qint64 n = file_->read(static_cast<char*>(buffer), count);
    return n < 0 ? 0 : n;
}

int64_t TFileStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    qint64 n = file_->write(static_cast<const char*>(buffer), count);
    return n < 0 ? 0 : n;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t target = offset;
    if (origin == soCurrent)
        target = file_->pos() + offset;
    else if (origin == soEnd)
        target = file_->size() + offset;
    if (target < 0)
        target = 0;
    file_->seek(target);
    return file_->pos();
}

int64_t TFileStream::Size()
{
    return file_->size();
}

void TFileStream::SetSize(int64_t newSize)
{
    file_->resize(newSize);
}
