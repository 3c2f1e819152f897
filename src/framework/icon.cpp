#include "framework/icon.h"

#include "framework/canvas.h"
#include "framework/exceptions.h"
#include "framework/picture.h"
#include "framework/streams.h"

#include <QImage>
#include <cstring>

namespace {

[[noreturn]] void InvalidIcon()
{
    throw EInvalidGraphic(QString::fromLatin1(GraphicsText::InvalidIcon));
}

inline uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
void Put16(QByteArray& out, uint16_t v)
{
    out.append(char(v));
    out.append(char(v >> 8));
}
void Put32(QByteArray& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char(v >> (8 * i)));
}

// The handle of the .ico file's image that best suits the system icon size.
HICON HandleFromFile(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    const size_t n = size_t(bytes.size());
    if (n < 6 || U16(p) != 0 || U16(p + 2) != 1)
        return nullptr;
    const int count = U16(p + 4);
    if (count == 0 || n < 6 + 16 * size_t(count))
        return nullptr;
    const int index = BestIconDirectoryEntry(p, n, true, 0, 0, true);
    if (index < 0 || index >= count)
        return nullptr;
    const uint8_t* entry = p + 6 + 16 * index;
    const uint32_t size = U32(entry + 8), offset = U32(entry + 12);
    if (offset > n || size > n - offset || size == 0)
        return nullptr;
    return CreateIconFromResourceEx(p + offset, size, true, kIconResourceVersion, 0, 0, LR_DEFAULTCOLOR);
}

} // namespace

TIcon::TIcon() = default;

TIcon::~TIcon()
{
    if (handle_)
        DestroyIcon(handle_);
}

void TIcon::Reset()
{
    if (handle_)
        DestroyIcon(handle_);
    handle_ = nullptr;
    data_.clear();
    delegate_.reset();
    width_ = height_ = 0;
}

bool TIcon::GetEmpty() const
{
    return !handle_ && !(delegate_ && !delegate_->Empty());
}

int TIcon::GetWidth()
{
    if (delegate_)
        return delegate_->Width();
    return width_;
}

int TIcon::GetHeight()
{
    if (delegate_)
        return delegate_->Height();
    return height_;
}

void TIcon::SetWidth(int value)
{
    if (value == GetWidth())
        return;
    if (!GetEmpty())
        throw EInvalidGraphicOperation(QString::fromLatin1(GraphicsText::ChangeIconSize));
    width_ = value;
}

void TIcon::SetHeight(int value)
{
    if (value == GetHeight())
        return;
    if (!GetEmpty())
        throw EInvalidGraphicOperation(QString::fromLatin1(GraphicsText::ChangeIconSize));
    height_ = value;
}

void TIcon::Draw(TCanvas* canvas, const TRect& rect)
{
    if (!canvas)
        return;
    if (delegate_) {
        delegate_->Draw(canvas, rect);
        return;
    }
    if (!handle_)
        return;
    const QImage image = IconToImage(handle_);
    canvas->BlendImage(rect, image, Rect(0, 0, image.width(), image.height()));
}

void TIcon::LoadFromStream(TStream* stream)
{
    const QByteArray bytes = stream->ReadAll();
    std::unique_ptr<TGraphic> delegate;
    TGraphicClass cls = TPicture::FileFormatClass(QStringLiteral("ico"));
    if (cls && cls != GraphicClass<TIcon>()) {
        delegate.reset(cls());
        if (dynamic_cast<TIcon*>(delegate.get())) {
            delegate.reset();
        } else {
            TMemoryStream copy(bytes);
            delegate->LoadFromStream(&copy);
        }
    }
    HICON handle = HandleFromFile(bytes);
    if (!handle && !delegate)
        InvalidIcon();
    Reset();
    handle_ = handle;
    data_ = bytes;
    if (handle_)
        GetIconSize(handle_, &width_, &height_);
    delegate_ = std::move(delegate);
    if (delegate_)
        delegate_->OnChange = [this](TObject*) { Changed(this); };
    Changed(this);
}

void TIcon::SaveToStream(TStream* stream)
{
    if (!data_.isEmpty()) {
        stream->WriteBuffer(data_.constData(), data_.size());
        return;
    }
    if (!handle_)
        return;
    // A one-image 32-bit icon: colours with alpha, and an AND mask of the transparent pixels.
    const QImage image = IconToImage(handle_);
    const int w = image.width(), h = image.height();
    const int maskStride = ((w + 31) / 32) * 4;
    const uint32_t bytesInRes = 40 + uint32_t(w) * h * 4 + uint32_t(maskStride) * h;
    QByteArray out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, 1);
    out.append(char(w >= 256 ? 0 : w));
    out.append(char(h >= 256 ? 0 : h));
    out.append(char(0));
    out.append(char(0));
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, bytesInRes);
    Put32(out, 22);
    Put32(out, 40);
    Put32(out, uint32_t(w));
    Put32(out, uint32_t(h * 2));
    Put16(out, 1);
    Put16(out, 32);
    for (int i = 0; i < 6; ++i)
        Put32(out, 0);
    for (int y = h - 1; y >= 0; --y)
        out.append(reinterpret_cast<const char*>(image.constScanLine(y)), w * 4);
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        const auto* px = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            if ((px[x] >> 24) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    stream->WriteBuffer(out.constData(), out.size());
}

void TIcon::Assign(TPersistent* source)
{
    if (auto* other = dynamic_cast<TIcon*>(source)) {
        if (other == this)
            return;
        if (!other->data_.isEmpty()) {
            TMemoryStream copy(other->data_);
            LoadFromStream(&copy);
            return;
        }
        Reset();
        if (other->handle_) {
            handle_ = CopyIcon(other->handle_);
            GetIconSize(handle_, &width_, &height_);
        }
        Changed(this);
        return;
    }
    TGraphic::Assign(source);
}

void TIcon::SetHandle(HICON value)
{
    if (value == handle_)
        return;
    Reset();
    handle_ = value;
    if (handle_)
        GetIconSize(handle_, &width_, &height_);
    Changed(this);
}

HICON TIcon::ReleaseHandle()
{
    HICON h = handle_;
    handle_ = nullptr;
    Reset();
    return h;
}

QImage TIcon::ToImage()
{
    return handle_ ? IconToImage(handle_) : QImage();
}
