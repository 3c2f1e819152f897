#include "imaging/icons/icl_writer.h"

#include "framework/streams.h"
#include "framework/string_list.h"
#include "imaging/icons/icon_image.h"
#include "imaging/icons/icon_image_list.h"
#include "imaging/icons/icon_library.h"
#include "imaging/icons/icon_library1.h"
#include "imaging/icons/library_name_text.h"
#include "imaging/icons/multi_icon.h"

#include <algorithm>

namespace {

constexpr int kHeaderSize = 192;
constexpr int64_t kNeHeader = 128;
constexpr int kMaxEntries = 32767;
constexpr uint16_t kMaxShift = 24;
constexpr uint16_t kResourceFlags = 0x1C30;
constexpr uint16_t kGroupType = 0x8000 | 14;
constexpr uint16_t kIconType = 0x8000 | 3;
constexpr int kPaddingBlock = 256;

[[noreturn]] void Fail(const char* text)
{
    throw EICLReadError(QString::fromLatin1(text));
}

int64_t AlignUp(int64_t value, uint16_t shift)
{
    const int64_t unit = int64_t(1) << shift;
    return (value + unit - 1) / unit * unit;
}

} // namespace

T16BitWriter::T16BitWriter(TIconLibrary* library)
{
    TStringList* icons = library->Icons();
    const int count = icons->Count();
    if (count == 0)
        Fail(ICLText::NoIcons);
    if (count > kMaxEntries)
        Fail(ICLText::TooMany);
    int64_t images = 0;
    for (int i = 0; i < count; ++i)
        if (auto* icon = dynamic_cast<TMultiIcon*>(icons->Objects(i)))
            images += icon->Count();
    if (images > kMaxEntries)
        Fail(ICLText::TooMany);
    groups_.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        Group& g = groups_[size_t(i)];
        g.Name = icons->Strings(i);
        auto* icon = dynamic_cast<TMultiIcon*>(icons->Objects(i));
        if (!icon)
            continue;
        g.Images.resize(icon->Count());
        for (uint16_t k = 0; k < icon->Count(); ++k) {
            icon->GetEntry(k, g.Images[k].Entry.data());
            TMemoryStream data;
            icon->CopyImageData(&data, k);
            g.Images[k].Data = data.Bytes();
        }
    }
    imageCount_ = int(images);
}

T16BitWriter::T16BitWriter(TIconLibrary1* library)
{
    TIconList* icons = library->Icons();
    const int count = icons->Count();
    if (count == 0)
        Fail(ICLText::NoIcons);
    if (count > kMaxEntries)
        Fail(ICLText::TooMany);
    int64_t images = 0;
    for (int i = 0; i < count; ++i)
        if (auto* icon = dynamic_cast<TAdvancedIcon*>(icons->Objects(i)))
            images += icon->Images()->Count();
    if (images > kMaxEntries)
        Fail(ICLText::TooMany);
    groups_.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        Group& g = groups_[size_t(i)];
        g.Name = icons->Strings(i);
        auto* icon = dynamic_cast<TAdvancedIcon*>(icons->Objects(i));
        if (!icon)
            continue;
        TIconImageList* list = icon->Images();
        g.Images.resize(list->Count());
        for (int k = 0; k < list->Count(); ++k) {
            EntryToBytes(list->GetItem(k)->Entry(), g.Images[size_t(k)].Entry.data());
            g.Images[size_t(k)].Data = list->GetItem(k)->Data();
        }
    }
    imageCount_ = int(images);
}

void T16BitWriter::WriteFile(const QString& fileName)
{
    TMemoryStream stream;
    WriteStream(&stream);
    stream.SaveToFile(fileName);
}

void T16BitWriter::WriteStream(TMemoryStream* stream)
{
    stream_ = stream;
    WriteHeader();
    WriteResourceTable();
    WriteNames();
    ComputeShift();
    WriteData();
    stream_ = nullptr;
}

void T16BitWriter::WriteHeader()
{
    uint8_t h[kHeaderSize] = {};
    h[0] = 'M';
    h[1] = 'Z';
    PutLE32(h + 60, uint32_t(kNeHeader));
    h[126] = 0x49;
    h[127] = 0x4D;
    h[128] = 'N';
    h[129] = 'E';
    PutLE16(h + 162, 64);
    PutLE16(h + 164, 64);
    PutLE16(h + 182, 2);
    h[191] = 3;
    namesFieldPos_ = 166;
    stream_->WriteBuffer(h, sizeof h);
}

void T16BitWriter::WriteResourceTable()
{
    resourceTablePos_ = stream_->Position();
    stream_->WriteWord(0);
    auto block = [&](uint16_t type, size_t count, std::vector<int64_t>& positions) {
        stream_->WriteWord(type);
        stream_->WriteWord(uint16_t(count));
        stream_->WriteDWord(0);
        positions.resize(count);
        for (size_t i = 0; i < count; ++i) {
            positions[i] = stream_->Position();
            uint8_t e[12] = {};
            PutLE16(e, 0x00FF);
            PutLE16(e + 2, 0xFF00);
            PutLE16(e + 4, kResourceFlags);
            PutLE16(e + 6, uint16_t(0x8001 + i));
            stream_->WriteBuffer(e, sizeof e);
        }
    };
    block(kGroupType, groups_.size(), groupEntryPos_);
    block(kIconType, size_t(imageCount_), iconEntryPos_);
    stream_->WriteWord(0);
}

void T16BitWriter::WriteNames()
{
    const int64_t here = stream_->Position();
    stream_->SetPosition(namesFieldPos_);
    stream_->WriteWord(uint16_t(here - kNeHeader));
    stream_->SetPosition(here);
    stream_->WriteByte(3);
    stream_->WriteBuffer("ICL", 3);
    for (const Group& g : groups_) {
        const QByteArray bytes = EncodeLibraryName(g.Name);
        stream_->WriteByte(uint8_t(bytes.size()));
        stream_->WriteBuffer(bytes.constData(), bytes.size());
    }
    stream_->WriteByte(0);
}

void T16BitWriter::ComputeShift()
{
    const int64_t namesEnd = stream_->Position();
    int64_t estimate = namesEnd;
    for (const Group& g : groups_) {
        estimate += IconHeaderSize;
        for (const Image& im : g.Images)
            estimate += GroupEntrySize + im.Data.size();
    }
    uint16_t s = 0;
    while (s < kMaxShift && estimate > (int64_t(0xFFFF) << s))
        ++s;
    // The estimate leaves out the padding of every block, which can carry the last blocks past
    // what 16-bit fields reach; the padded layout decides in the end.
    auto fits = [&](uint16_t shift) {
        const int64_t limit = int64_t(0xFFFF) << shift;
        int64_t pos = AlignUp(namesEnd, shift);
        auto place = [&](int64_t length) {
            const int64_t padded = AlignUp(length, shift);
            const bool ok = pos <= limit && padded <= limit;
            pos += padded;
            return ok;
        };
        for (const Group& g : groups_)
            if (!place(IconHeaderSize + int64_t(GroupEntrySize) * int64_t(g.Images.size())))
                return false;
        for (const Group& g : groups_)
            for (const Image& im : g.Images)
                if (!place(im.Data.size()))
                    return false;
        return pos <= limit;
    };
    while (!fits(s)) {
        if (s == kMaxShift)
            Fail(ICLText::TooMany);
        ++s;
    }
    shift_ = s;
    stream_->SetPosition(resourceTablePos_);
    stream_->WriteWord(s);
    stream_->SetPosition(namesEnd);
}

void T16BitWriter::Align()
{
    static const char zeros[kPaddingBlock] = {};
    int64_t missing = AlignUp(stream_->Position(), shift_) - stream_->Position();
    while (missing > 0) {
        const int64_t n = std::min<int64_t>(missing, kPaddingBlock);
        stream_->WriteBuffer(zeros, n);
        missing -= n;
    }
}

void T16BitWriter::FillEntry(int64_t entryPos, int64_t start, int64_t end)
{
    const int64_t here = stream_->Position();
    stream_->SetPosition(entryPos);
    stream_->WriteWord(uint16_t(start >> shift_));
    stream_->WriteWord(uint16_t((end - start) >> shift_));
    stream_->SetPosition(here);
}

void T16BitWriter::WriteData()
{
    Align();
    int number = 0;
    for (size_t g = 0; g < groups_.size(); ++g) {
        const int64_t start = stream_->Position();
        const Group& group = groups_[g];
        stream_->WriteWord(0);
        stream_->WriteWord(IconTypeIcon);
        stream_->WriteWord(uint16_t(group.Images.size()));
        for (const Image& im : group.Images) {
            uint8_t e[GroupEntrySize];
            std::copy(im.Entry.begin(), im.Entry.end(), e);
            // The size the reader goes by is that of the bytes really written.
            PutLE32(e + 8, uint32_t(im.Data.size()));
            PutLE16(e + 12, uint16_t(++number));
            stream_->WriteBuffer(e, sizeof e);
        }
        Align();
        FillEntry(groupEntryPos_[g], start, stream_->Position());
    }
    size_t icon = 0;
    for (const Group& group : groups_)
        for (const Image& im : group.Images) {
            const int64_t start = stream_->Position();
            stream_->WriteBuffer(im.Data.constData(), im.Data.size());
            Align();
            FillEntry(iconEntryPos_[icon++], start, stream_->Position());
        }
    stream_->WriteWord(0);
}
