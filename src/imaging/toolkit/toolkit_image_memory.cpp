// Memory, feed and database loading of the toolkit image control.

#include "imaging/toolkit/toolkit_image.h"

#include <QByteArray>
#include <QImage>

struct TToolkitImage::TMemoryState {
};

void TToolkitImage::TMemoryStateDeleter::operator()(TMemoryState* state) const
{
    delete state;
}

TToolkitImage::TMemoryState& TToolkitImage::MemoryState()
{
    if (!memoryState_)
        memoryState_.reset(new TMemoryState);
    return *memoryState_;
}

void TToolkitImage::ShutDownMemory() {}

void TToolkitImage::MarkDataModified() {}
void TToolkitImage::FreeGlobalBitmapCopy() {}

QByteArray TToolkitImage::OCXBitmap()
{
    return QByteArray();
}

void TToolkitImage::SetOCXBitmap(const QByteArray&) {}

int TToolkitImage::StartFeedLoad(int, int, int)
{
    return LastResult = TK_ErrNotSupported;
}

int TToolkitImage::FeedLoad(const uint8_t*, int)
{
    return LastResult = TK_ErrNotSupported;
}

int TToolkitImage::StopFeedLoad()
{
    return LastResult = TK_ErrNotSupported;
}

// ---- Properties ------------------------------------------------------------------------------

void TToolkitImage::SetDataField(const QString& v)
{
    dataField_ = v;
    LastResult = 1;
}

void TToolkitImage::SetReadOnly(bool v)
{
    readOnly_ = v;
    LastResult = 1;
}

void TToolkitImage::SetDataLoadBits(int v)
{
    dataLoadBits_ = v;
    LastResult = 1;
}

void TToolkitImage::SetDataSaveBits(int v)
{
    dataSaveBits_ = v;
    LastResult = 1;
}

void TToolkitImage::SetDataSaveFormat(int v)
{
    dataSaveFormat_ = v;
    LastResult = 1;
}

void TToolkitImage::SetDataSaveQuality(int v)
{
    dataSaveQuality_ = v;
    LastResult = 1;
}

void TToolkitImage::SetRefBitmap(bool v)
{
    refBitmap_ = v;
    LastResult = 1;
}
