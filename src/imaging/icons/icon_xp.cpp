#include "imaging/icons/icon_xp.h"

#include "framework/streams.h"
#include "imaging/icons/icon_format.h"
#include "imaging/icons/icon_xp_format.h"

#include <algorithm>
#include <vector>

TIconXP::TIconXP() : fileCopy_(std::make_unique<TMemoryStream>()), formats_(std::make_unique<TIconXPFormats>())
{
}

TIconXP::~TIconXP() = default;

void TIconXP::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TIconXP::LoadFromStream(TStream* stream)
{
    fileCopy_->Clear();
    formats_->Clear();
    const int64_t start = stream->Position();
    const IconFileHeader header = ReadIconHeader(stream);
    // A cursor (type 2) or anything else is refused; the reserved field is not looked at.
    if (header.Type != IconTypeIcon)
        throw EIconInvalid(QString::fromLatin1(IconXPText::InvalidIcon));

    std::vector<IconDirEntry> loaded;
    TMemoryStream images;
    // Whatever happens after the header, the picture ends consistent: the file copy describes
    // exactly the images that were read, and listeners hear of the change.
    auto finish = [&] {
        IconFileHeader h = header;
        h.Count = uint16_t(loaded.size());
        WriteIconHeader(fileCopy_.get(), h);
        uint32_t offset = uint32_t(IconHeaderSize + IconEntrySize * loaded.size());
        for (IconDirEntry e : loaded) {
            e.ImageOffset = offset;
            offset += e.BytesInRes;
            WriteIconEntry(fileCopy_.get(), e);
        }
        images.SaveToStream(fileCopy_.get());
        fileCopy_->SetPosition(0);
        formats_->ForgetCurrent();
        Changed();
    };
    try {
        std::vector<IconDirEntry> entries;
        entries.reserve(header.Count);
        for (int i = 0; i < header.Count; ++i)
            entries.push_back(ReadIconEntry(stream));
        const int64_t available = stream->Size() - start;
        int64_t consumed = stream->Position() - start;
        for (const IconDirEntry& e : entries) {
            // Each image is read where its entry says, and only when the stream holds all of it:
            // a size or offset field of gigabytes is a read error, not an allocation.
            if (int64_t(e.ImageOffset) + int64_t(e.BytesInRes) > available)
                throw EReadError(QString::fromLatin1(FrameworkText::ReadError));
            stream->SetPosition(start + int64_t(e.ImageOffset));
            TIconXPFormat* format = formats_->Add();
            try {
                format->LoadImage(stream, e, &images);
            } catch (...) {
                formats_->Delete(formats_->Count() - 1);
                throw;
            }
            loaded.push_back(e);
            consumed = std::max(consumed, int64_t(e.ImageOffset) + int64_t(e.BytesInRes));
        }
        // Leave the stream after the last byte that belongs to the file.
        stream->SetPosition(start + consumed);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TIconXP::SaveToStream(TStream* stream)
{
    fileCopy_->SaveToStream(stream);
}

bool TIconXP::GetEmpty() const
{
    return formats_->Count() == 0;
}

int TIconXP::GetWidth()
{
    formats_->GetCurrent();
    return formats_->WantedWidth();
}

int TIconXP::GetHeight()
{
    formats_->GetCurrent();
    return formats_->WantedHeight();
}

uint8_t TIconXP::GetPixelFormat()
{
    formats_->GetCurrent();
    return formats_->WantedPixelFormat();
}

void TIconXP::SetWidth(int value)
{
    formats_->SetWantedWidth(value);
    formats_->ForgetCurrent();
    Changed();
}

void TIconXP::SetHeight(int value)
{
    formats_->SetWantedHeight(value);
    formats_->ForgetCurrent();
    Changed();
}

void TIconXP::SetPixelFormat(uint8_t value)
{
    formats_->SetWantedPixelFormat(value);
    formats_->ForgetCurrent();
    Changed();
}

void TIconXP::Assign(TPersistent* source)
{
    if (auto src = dynamic_cast<TIconXP*>(source)) {
        if (src == this)
            return;
        fileCopy_->Clear();
        src->fileCopy_->SetPosition(0);
        fileCopy_->LoadFromStream(src->fileCopy_.get());
        fileCopy_->SetPosition(0);
        formats_->Clear();
        for (int i = 0; i < src->formats_->Count(); ++i)
            formats_->Add()->Assign(src->formats_->GetItem(i));
        formats_->ForgetCurrent();
        Changed();
        return;
    }
    TPersistent::Assign(source);
}
