#include "imaging/icons/icl_icon.h"

#include "framework/exceptions.h"
#include "imaging/icons/icl_reader.h"

#include <algorithm>

TICL32Icon::TICL32Icon(HMODULE module, const QString& groupName, TICLBudget* budget)
    : TResourceIcon(module, groupName)
{
    CopyImages(budget);
}

TICL32Icon::TICL32Icon(HMODULE module, int groupId, TICLBudget* budget) : TResourceIcon(module, groupId)
{
    CopyImages(budget);
}

TICL32Icon::~TICL32Icon() = default;

void TICL32Icon::CopyImages(TICLBudget* budget)
{
    if (budget)
        budget->Take(int64_t(Count()) * TICLBudget::EntryCost);
    images_.SetSize(4 * int64_t(Count()));
    images_.SetPosition(4 * int64_t(Count()));
    for (uint16_t i = 0; i < Count(); ++i) {
        const int64_t start = images_.Position();
        uint8_t offset[4];
        PutLE32(offset, uint32_t(start));
        images_.SetPosition(4 * int64_t(i));
        images_.WriteBuffer(offset, 4);
        images_.SetPosition(start);
        TResourceIcon::CopyImageData(&images_, i);
        const int64_t size = images_.Position() - start;
        Entry(i).BytesInRes = uint32_t(size);
        if (budget)
            budget->Take(size);
    }
}

QByteArray TICL32Icon::ReadImageBytes(uint16_t index)
{
    if (index >= Count())
        return {};
    const auto* table = reinterpret_cast<const uint8_t*>(images_.Memory());
    const int64_t offset = GetLE32(table + 4 * size_t(index));
    return QByteArray(images_.Memory() + offset, qsizetype(Entry(index).BytesInRes));
}

void TICL32Icon::CopyImageData(TStream* stream, uint16_t index)
{
    if (index >= Count())
        return;
    const QByteArray data = ReadImageBytes(index);
    stream->WriteBuffer(data.constData(), data.size());
}

TICL16Icon::TICL16Icon(T16BitReader* reader, int groupIndex)
{
    Reset();
    TMemoryStream directory;
    reader->ReadResource(groupIndex, reader->GroupTable(), name_, &directory);
    directory.SetPosition(0);
    bool valid = false;
    uint16_t count = 0;
    ReadDirectory(&directory, valid, count);
    reader->Budget().Take(int64_t(count) * TICLBudget::EntryCost);
    stored_.assign(count, 0);
    QString imageName;
    for (uint16_t i = 0; i < count; ++i) {
        IconDirEntry& e = Entry(i);
        e.ImageOffset = uint32_t(images_.Size());
        const int index = reader->FindResource(e.Id, reader->IconTable());
        images_.SetPosition(images_.Size());
        reader->ReadResource(index, reader->IconTable(), imageName, &images_);
        stored_[i] = images_.Size() - e.ImageOffset;
    }
}

TICL16Icon::~TICL16Icon() = default;

IconDirEntry TICL16Icon::ReadEntry(TStream* stream)
{
    return ReadGroupEntry(stream);
}

QByteArray TICL16Icon::ReadImageBytes(uint16_t index)
{
    if (index >= Count())
        return {};
    // An entry that claims more bytes than its resource held gets what there is, never the next
    // image's bytes.
    const int64_t length = std::min<int64_t>(Entry(index).BytesInRes, stored_[index]);
    return QByteArray(images_.Memory() + Entry(index).ImageOffset, qsizetype(length));
}

void TICL16Icon::CopyImageData(TStream* stream, uint16_t index)
{
    if (index >= Count())
        return;
    const QByteArray data = ReadImageBytes(index);
    stream->WriteBuffer(data.constData(), data.size());
}
