#include "imaging/icons/multi_icon.h"

#include "framework/canvas.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/icons/hi_res_icon.h"

TMultiIcon::TMultiIcon() = default;

TMultiIcon::~TMultiIcon()
{
    DestroyHandles();
}

void TMultiIcon::DestroyHandles()
{
    for (HICON h : handles_)
        if (h)
            DestroyIcon(h);
    handles_.clear();
}

void TMultiIcon::Reset()
{
    DestroyHandles();
    valid_ = false;
    count_ = 0;
    entries_.clear();
}

HICON TMultiIcon::CreateIconFromData(const QByteArray& data)
{
    if (data.isEmpty())
        return nullptr;
    // Size 0 asks for the image's own size: what a DIB header says, and what a PNG image (which
    // has no such header) says in its own.
    return CreateIconFromResourceEx(reinterpret_cast<const uint8_t*>(data.constData()), uint32_t(data.size()), true,
                                    kIconResourceVersion, 0, 0, LR_DEFAULTCOLOR);
}

HICON TMultiIcon::GetIconHandle(uint16_t index)
{
    if (index >= count_)
        return nullptr;
    if (!handles_[index])
        handles_[index] = CreateIconFromData(ReadImageBytes(index));
    return handles_[index];
}

IconDirEntry TMultiIcon::ReadEntry(TStream* stream)
{
    return ReadIconEntry(stream);
}

void TMultiIcon::ReadDirectory(TStream* stream, bool& valid, uint16_t& count)
{
    const IconFileHeader header = ReadIconHeader(stream);
    valid = header.Reserved == 0 && header.Type == IconTypeIcon;
    count = 0;
    DestroyHandles();
    valid_ = valid;
    count_ = 0;
    entries_.clear();
    if (!valid)
        return;
    // At most 65535 entries of 16 bytes: the table is small whatever the header claims, and a
    // short directory stops at the first missing entry.
    std::vector<IconDirEntry> entries;
    entries.reserve(header.Count);
    for (int i = 0; i < header.Count; ++i)
        entries.push_back(ReadEntry(stream));
    entries_ = std::move(entries);
    handles_.assign(entries_.size(), nullptr);
    count_ = header.Count;
    count = count_;
}

void TMultiIcon::DrawImage(TCanvas* canvas, int x, int y, uint16_t index)
{
    if (!canvas || index >= count_)
        return;
    HICON icon = GetIconHandle(index);
    QPainter* dc = icon ? canvas->Handle() : nullptr;
    if (!dc)
        return;
    canvas->Changing();
    DrawIconEx(dc, x, y, icon, entries_[index].Width, entries_[index].Height, 0, nullptr, DI_NORMAL);
    canvas->Changed();
}

std::unique_ptr<THiResIcon> TMultiIcon::CreateHiResIcon(uint16_t index)
{
    HICON icon = GetIconHandle(index);
    if (!icon)
        return nullptr;
    auto result = std::make_unique<THiResIcon>();
    result->SetHandle(CopyIcon(icon));
    return result;
}

void TMultiIcon::GetImageSize(uint16_t index, int& width, int& height)
{
    width = 0;
    height = 0;
    if (index >= count_)
        return;
    width = entries_[index].Width;
    height = entries_[index].Height;
}

bool TMultiIcon::GetEntry(uint16_t index, uint8_t entry[IconEntryCommonSize])
{
    if (index >= count_)
        return false;
    EntryToBytes(entries_[index], entry);
    return true;
}

void TMultiIcon::SaveToFile(const QString& fileName)
{
    if (count_ == 0)
        return;
    TMemoryStream stream;
    SaveToStream(&stream);
    stream.SaveToFile(fileName);
}

void TMultiIcon::SaveToStream(TStream* stream)
{
    if (count_ == 0)
        return;
    const int64_t limit = SourceSize();
    if (limit >= 0) {
        int64_t total = 0;
        for (const IconDirEntry& e : entries_)
            total += e.BytesInRes;
        if (total > limit)
            throw EReadError(QString::fromLatin1(FrameworkText::ReadError));
    }
    // Offsets and patch positions are both taken relative to where the file starts, so the file
    // is right inside a stream that already holds other data.
    const int64_t start = stream->Position();
    WriteIconHeader(stream, {0, IconTypeIcon, count_});
    for (uint16_t i = 0; i < count_; ++i) {
        uint8_t common[IconEntryCommonSize];
        GetEntry(i, common);
        IconDirEntry e = EntryFromBytes(common);
        e.ImageOffset = 0;
        WriteIconEntry(stream, e);
    }
    for (uint16_t i = 0; i < count_; ++i) {
        const int64_t offset = stream->Position() - start;
        CopyImageData(stream, i);
        const int64_t end = stream->Position();
        // The size field follows what was really copied: an icon resource may be longer or
        // shorter than its group entry says, and a reader goes by the field.
        uint8_t patch[8];
        PutLE32(patch, uint32_t(end - start - offset));
        PutLE32(patch + 4, uint32_t(offset));
        stream->SetPosition(start + IconHeaderSize + int64_t(IconEntrySize) * i + 8);
        stream->WriteBuffer(patch, sizeof patch);
        stream->SetPosition(end);
    }
}

void TMultiIcon::SaveImageToFile(const QString& fileName, uint16_t index)
{
    if (index >= count_)
        return;
    TMemoryStream stream;
    SaveImageToStream(&stream, index);
    stream.SaveToFile(fileName);
}

void TMultiIcon::SaveImageToStream(TStream* stream, uint16_t index)
{
    if (index >= count_)
        return;
    const int64_t start = stream->Position();
    WriteIconHeader(stream, {0, IconTypeIcon, 1});
    uint8_t common[IconEntryCommonSize];
    GetEntry(index, common);
    IconDirEntry e = EntryFromBytes(common);
    e.ImageOffset = IconHeaderSize + IconEntrySize;
    WriteIconEntry(stream, e);
    const int64_t imageStart = stream->Position();
    CopyImageData(stream, index);
    const int64_t end = stream->Position();
    uint8_t size[4];
    PutLE32(size, uint32_t(end - imageStart));
    stream->SetPosition(start + IconHeaderSize + 8);
    stream->WriteBuffer(size, sizeof size);
    stream->SetPosition(end);
}
