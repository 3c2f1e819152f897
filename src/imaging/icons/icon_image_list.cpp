#include "imaging/icons/icon_image_list.h"

#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/icons/icon_format.h"
#include "imaging/icons/icon_image.h"

#include <algorithm>
#include <limits>

namespace {
constexpr int kMaxImages = std::numeric_limits<uint16_t>::max();
}

TIconImageList::TIconImageList() = default;

TIconImageList::~TIconImageList() = default;

void TIconImageList::SetCapacity(int n)
{
    capacity_ = uint16_t(std::clamp(std::max(n, int(Count())), 0, kMaxImages));
    items_.reserve(capacity_);
}

void TIconImageList::Add(std::unique_ptr<TIconImage> image)
{
    if (items_.size() >= size_t(kMaxImages))
        throw EListError(QString::fromLatin1(FrameworkText::ListCountError).arg(kMaxImages + 1));
    items_.push_back(std::move(image));
    if (Count() > capacity_)
        capacity_ = Count();
}

std::unique_ptr<TIconImage> TIconImageList::Delete(int index, bool freeImage)
{
    if (index < 0 || index >= int(items_.size()))
        return nullptr;
    std::unique_ptr<TIconImage> image = std::move(items_[size_t(index)]);
    items_.erase(items_.begin() + index);
    if (freeImage)
        image.reset();
    return image;
}

TIconImage* TIconImageList::GetItem(int index) const
{
    return index >= 0 && index < int(items_.size()) ? items_[size_t(index)].get() : nullptr;
}

void TIconImageList::TakeImageFrom(TAdvancedIcon* icon, int index)
{
    if (!icon || !icon->Images()->GetItem(index))
        return;
    // A full list refuses before the image leaves its source, so that nothing is lost.
    if (icon->Images() != this && items_.size() >= size_t(kMaxImages))
        throw EListError(QString::fromLatin1(FrameworkText::ListCountError).arg(kMaxImages + 1));
    Add(icon->Images()->Delete(index, false));
}

void TIconImageList::Clear()
{
    items_.clear();
    items_.shrink_to_fit();
    capacity_ = 0;
}

TAdvancedIcon::TAdvancedIcon()
    : images_(std::make_unique<TIconImageList>())
{
}

TAdvancedIcon::~TAdvancedIcon() = default;

void TAdvancedIcon::AssignIcon(TAdvancedIcon* source)
{
    if (source == this)
        return;
    images_->Clear();
    if (!source)
        return;
    TIconImageList* from = source->Images();
    images_->SetCapacity(from->Count());
    for (int i = 0; i < from->Count(); ++i)
        images_->Add(TIconImage::CreateCopy(from->GetItem(i)));
}

bool TAdvancedIcon::ReadHeader(TStream* stream, uint16_t& count)
{
    uint8_t b[IconHeaderSize];
    if (stream->Read(b, sizeof b) != int64_t(sizeof b) || GetLE16(b) != 0 || GetLE16(b + 2) != IconTypeIcon)
        return false;
    count = GetLE16(b + 4);
    images_->SetCapacity(count);
    return true;
}

bool TAdvancedIcon::LoadFromFile(const QString& fileName)
{
    images_->Clear();
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    return LoadFromStream(&stream);
}

bool TAdvancedIcon::LoadFromStream(TStream* stream)
{
    images_->Clear();
    stream->SetPosition(0);
    uint16_t count = 0;
    if (!ReadHeader(stream, count))
        return false;
    // Entries that share or overlap their bytes could otherwise multiply a small file into a huge
    // amount of memory; no well-formed file stores more image bytes than its own length.
    const int64_t fileSize = stream->Size();
    int64_t total = 0;
    try {
        for (int i = 0; i < count; ++i) {
            auto image = std::make_unique<TFileIconImage>(stream);
            total += image->Data().size();
            if (total > fileSize) {
                images_->Clear();
                return false;
            }
            images_->Add(std::move(image));
        }
    } catch (const EReadError&) {
        images_->Clear();
        return false;
    }
    return true;
}

void TAdvancedIcon::SaveToFile(const QString& fileName)
{
    TMemoryStream memory;
    SaveToStream(&memory);
    if (memory.Size() > 0)
        memory.SaveToFile(fileName);
}

void TAdvancedIcon::SaveToStream(TStream* stream)
{
    const int count = images_->Count();
    if (count == 0)
        return;
    const int64_t start = stream->Position();
    WriteIconHeader(stream, {0, IconTypeIcon, uint16_t(count)});
    for (int i = 0; i < count; ++i) {
        IconDirEntry entry = images_->GetItem(i)->Entry();
        // The directory tells readers how many bytes to take, so it follows the data held.
        entry.BytesInRes = uint32_t(images_->GetItem(i)->Data().size());
        entry.ImageOffset = 0;
        WriteIconEntry(stream, entry);
    }
    for (int i = 0; i < count; ++i) {
        const int64_t offset = stream->Position() - start;
        stream->SetPosition(start + IconHeaderSize + IconEntrySize * i + IconEntryCommonSize);
        stream->WriteDWord(uint32_t(offset));
        stream->SetPosition(start + offset);
        images_->GetItem(i)->WriteData(stream);
    }
}
