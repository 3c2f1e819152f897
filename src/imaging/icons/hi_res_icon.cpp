#include "imaging/icons/hi_res_icon.h"

#include "framework/canvas.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/icons/icon_format.h"
#include "platform/system_metrics.h"

#include <QImage>

THiResIcon::THiResIcon() : width_(GetSystemMetrics(SM_CXICON)), height_(GetSystemMetrics(SM_CYICON))
{
}

THiResIcon::~THiResIcon() = default;

void THiResIcon::Changed(TObject* sender)
{
    TIcon::Changed(sender);
    sizeStale_ = true;
}

void THiResIcon::UpdateSize()
{
    if (!sizeStale_)
        return;
    sizeStale_ = false;
    ICONINFO info;
    if (!Handle() || !GetIconInfo(Handle(), &info))
        return;
    if (!info.hbmColor.isNull()) {
        width_ = info.hbmColor.width();
        height_ = info.hbmColor.height();
    } else {
        // A monochrome icon's mask holds the AND and the XOR bits one above the other.
        width_ = info.hbmMask.width();
        height_ = info.hbmMask.height() / 2;
    }
}

int THiResIcon::GetWidth()
{
    UpdateSize();
    return width_;
}

int THiResIcon::GetHeight()
{
    UpdateSize();
    return height_;
}

void THiResIcon::Draw(TCanvas* canvas, const TRect& rect)
{
    UpdateSize();
    if (!canvas || !Handle())
        return;
    if (QPainter* dc = canvas->Handle()) {
        canvas->Changing();
        DrawIconEx(dc, rect.Left, rect.Top, Handle(), width_, height_, 0, nullptr, DI_NORMAL);
        canvas->Changed();
    }
}

namespace {

// A bitmap's bits as the window system keeps them for a device: rows top first, each padded to
// an even number of bytes.
bool DeviceBits(const QImage& image, int bits, QByteArray& out, int& rowBytes)
{
    rowBytes = ((image.width() * bits + 15) / 16) * 2;
    if (image.isNull() || image.depth() != bits || image.bytesPerLine() < rowBytes)
        return false;
    for (int y = 0; y < image.height(); ++y)
        out.append(reinterpret_cast<const char*>(image.constScanLine(y)), rowBytes);
    return true;
}

} // namespace

void THiResIcon::SaveToStream(TStream* stream)
{
    ICONINFO info;
    if (!Handle() || !GetIconInfo(Handle(), &info))
        throw EInvalidGraphic(QString::fromLatin1(GraphicsText::InvalidIcon));
    // The whole dump is made first: bits that cannot be had raise before a byte is written.
    QByteArray block(40, '\0');
    QByteArray colourBits, maskBits;
    int rowBytes = 0;
    if (!info.hbmColor.isNull()) {
        const QImage colour = info.hbmColor.convertToFormat(QImage::Format_ARGB32);
        if (!DeviceBits(colour, 32, colourBits, rowBytes))
            throw EInvalidGraphic(QString::fromLatin1(GraphicsText::InvalidIcon));
        auto* b = reinterpret_cast<uint8_t*>(block.data());
        PutLE32(b + 4, uint32_t(colour.width()));
        PutLE32(b + 8, uint32_t(colour.height()));
        PutLE16(b + 12, 1);
        PutLE16(b + 14, 32);
    }
    if (!DeviceBits(info.hbmMask.convertToFormat(QImage::Format_Mono), 1, maskBits, rowBytes))
        throw EInvalidGraphic(QString::fromLatin1(GraphicsText::InvalidIcon));
    stream->WriteBuffer(block.constData(), block.size());
    stream->WriteBuffer(colourBits.constData(), colourBits.size());
    stream->WriteBuffer(maskBits.constData(), maskBits.size());
}
