#include "imaging/icons/icon_xp.h"

#include "framework/icon.h"
#include "framework/picture.h"
#include "framework/streams.h"
#include "imaging/icons/icon_format.h"
#include "imaging/icons/icon_xp_format.h"

#include <QCoreApplication>
#include <algorithm>
#include <vector>

namespace {

// Start-up and shutdown of this module: "ico" goes from the framework's icon to this class while
// the application runs.
bool registered = false;

void UnregisterIconXP()
{
    if (!registered)
        return;
    TPicture::UnregisterGraphicClass(GraphicClass<TIconXP>());
    registered = false;
}

void RegisterIconXP()
{
    if (registered)
        return;
    TPicture::UnregisterGraphicClass(GraphicClass<TIcon>());
    TPicture::RegisterFileFormat(QStringLiteral("ico"), QString::fromLatin1(IconXPText::Description),
                                 GraphicClass<TIconXP>());
    registered = true;
    qAddPostRoutine(UnregisterIconXP);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(RegisterIconXP)

TIconXP::TIconXP() : fileCopy_(std::make_unique<TMemoryStream>()), formats_(std::make_unique<TIconXPFormats>(this))
{
}

TIconXP::~TIconXP() = default;

void TIconXP::Draw(TCanvas* canvas, const TRect& rect)
{
    if (TIconXPFormat* current = formats_->GetCurrent())
        current->DrawOnCanvas(canvas, rect);
}

void TIconXP::LoadFromClipboardFormat(TClipFormat, const QByteArray&)
{
    throw Exception(QString::fromLatin1(IconXPText::NotSupported));
}

void TIconXP::SaveToClipboardFormat(TClipFormat&, QByteArray&)
{
    throw Exception(QString::fromLatin1(IconXPText::NotSupported));
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

    int loaded = 0;
    std::vector<IconDirEntry> entries;
    try {
        entries.reserve(header.Count);
        for (int i = 0; i < header.Count; ++i)
            entries.push_back(ReadIconEntry(stream));
        // The copy is written as it will stand when every image loads: the directory with the
        // offsets of images laid out one after another, then each image as it is read.
        const int64_t directorySize = IconHeaderSize + int64_t(IconEntrySize) * header.Count;
        WriteIconHeader(fileCopy_.get(), header);
        int64_t offset = directorySize;
        for (IconDirEntry e : entries) {
            e.ImageOffset = uint32_t(offset);
            offset += e.BytesInRes;
            WriteIconEntry(fileCopy_.get(), e);
        }
        // Each image is read where its entry says, and only when the stream holds all of it.
        // Images may not take more bytes together than the stream has: entries that all point
        // at one large image would otherwise multiply it in memory. Past either limit the
        // load ends with a read error, keeping the images before.
        const int64_t available = stream->Size() - start;
        size_t fitting = 0;
        int64_t total = 0;
        for (const IconDirEntry& e : entries) {
            if (int64_t(e.ImageOffset) + int64_t(e.BytesInRes) > available || total + e.BytesInRes > available)
                break;
            total += e.BytesInRes;
            ++fitting;
        }
        const int64_t at = fileCopy_->Position();
        fileCopy_->SetSize(at + total);
        fileCopy_->SetSize(at);
        int64_t consumed = directorySize;
        int64_t pixels = 0;
        for (size_t i = 0; i < entries.size(); ++i) {
            const IconDirEntry& e = entries[i];
            if (i >= fitting)
                throw EReadError(QString::fromLatin1(FrameworkText::ReadError));
            stream->SetPosition(start + int64_t(e.ImageOffset));
            TIconXPFormat* format = formats_->Add();
            try {
                format->LoadImage(stream, e, fileCopy_.get(),
                                  std::min(TIconXPFormat::MaxImagePixels, MaxIconPixels - pixels));
            } catch (...) {
                formats_->Delete(formats_->Count() - 1);
                throw;
            }
            pixels += int64_t(format->Width()) * format->Height();
            ++loaded;
            consumed = std::max(consumed, int64_t(e.ImageOffset) + int64_t(e.BytesInRes));
        }
        // Leave the stream after the last byte that belongs to the file.
        stream->SetPosition(start + consumed);
    } catch (...) {
        // The copy describes exactly the images that were read, so it stays a whole file.
        TruncateFileCopy(header, entries, loaded);
        fileCopy_->SetPosition(0);
        formats_->ForgetCurrent();
        Changed(this);
        throw;
    }
    fileCopy_->SetPosition(0);
    formats_->ForgetCurrent();
    Changed(this);
}

void TIconXP::TruncateFileCopy(const IconFileHeader& header, const std::vector<IconDirEntry>& entries, int loaded)
{
    const int64_t oldDirectory = IconHeaderSize + int64_t(IconEntrySize) * int64_t(entries.size());
    QByteArray images;
    if (fileCopy_->Size() > oldDirectory)
        images = fileCopy_->Bytes().mid(qsizetype(oldDirectory));
    fileCopy_->Clear();
    IconFileHeader h = header;
    h.Count = uint16_t(loaded);
    WriteIconHeader(fileCopy_.get(), h);
    int64_t offset = IconHeaderSize + int64_t(IconEntrySize) * loaded;
    for (int i = 0; i < loaded; ++i) {
        IconDirEntry e = entries[size_t(i)];
        e.ImageOffset = uint32_t(offset);
        offset += e.BytesInRes;
        WriteIconEntry(fileCopy_.get(), e);
    }
    fileCopy_->WriteBuffer(images.constData(), images.size());
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

TPixelFormat TIconXP::GetPixelFormat()
{
    formats_->GetCurrent();
    return TPixelFormat(formats_->WantedPixelFormat());
}

void TIconXP::SetWidth(int value)
{
    formats_->SetWantedWidth(value);
    formats_->ForgetCurrent();
    Changed(this);
}

void TIconXP::SetHeight(int value)
{
    formats_->SetWantedHeight(value);
    formats_->ForgetCurrent();
    Changed(this);
}

void TIconXP::SetPixelFormat(TPixelFormat value)
{
    formats_->SetWantedPixelFormat(value);
    formats_->ForgetCurrent();
    Changed(this);
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
        Changed(this);
        return;
    }
    TGraphic::Assign(source);
}
