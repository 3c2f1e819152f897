#include "framework/picture.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/clipboard.h"
#include "framework/exceptions.h"
#include "framework/icon.h"
#include "framework/jpeg.h"
#include "framework/streams.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QMutex>
#include <QSet>
#include <algorithm>

namespace {

struct FileFormat {
    QString extension; // lower case, without the dot
    QString description;
    TGraphicClass graphicClass;
};

struct ClipFormat {
    TClipFormat format;
    TGraphicClass graphicClass;
};

// Formats the system reads with its own code: a Qt plugin never handles them, whatever is
// registered for them at the moment.
const QSet<QString>& OwnFormats()
{
    static const QSet<QString> own = {QStringLiteral("ico"), QStringLiteral("cur"), QStringLiteral("ani"),
                                      QStringLiteral("gif"), QStringLiteral("bmp"), QStringLiteral("dib"),
                                      QStringLiteral("rle"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                      QStringLiteral("icl")};
    return own;
}

struct Registry {
    QMutex mutex{};
    std::vector<FileFormat> files; // searched from the end: later registrations win
    std::vector<ClipFormat> clips;

    Registry()
    {
        // Qt's readers first, so that every class of our own comes later and wins.
        QStringList qtFormats;
        for (const QByteArray& f : QImageReader::supportedImageFormats())
            qtFormats << QString::fromLatin1(f).toLower();
        qtFormats.removeDuplicates();
        qtFormats.sort();
        for (const QString& ext : qtFormats) {
            if (OwnFormats().contains(ext) || ext == QLatin1String("svg") || ext == QLatin1String("svgz"))
                continue;
            files.push_back({ext, ext.toUpper() + QStringLiteral(" Image"), GraphicClass<TQtImage>()});
        }
        files.push_back({QStringLiteral("bmp"), QStringLiteral("Bitmaps"), GraphicClass<TBitmap>()});
        files.push_back({QStringLiteral("dib"), QStringLiteral("Bitmaps"), GraphicClass<TBitmap>()});
        files.push_back({QStringLiteral("rle"), QStringLiteral("Bitmaps"), GraphicClass<TBitmap>()});
        files.push_back({QStringLiteral("ico"), QStringLiteral("Icons"), GraphicClass<TIcon>()});
        files.push_back({QStringLiteral("jpg"), QStringLiteral("JPEG Image File"), GraphicClass<TJPEGImage>()});
        files.push_back({QStringLiteral("jpeg"), QStringLiteral("JPEG Image File"), GraphicClass<TJPEGImage>()});
        clips.push_back({CF_BITMAP, GraphicClass<TBitmap>()});
        clips.push_back({CF_DIB, GraphicClass<TBitmap>()});
    }
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

QString NormalExtension(QString ext)
{
    if (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    return ext.toLower();
}

} // namespace

// ---- Registry ----------------------------------------------------------------------------------

void TPicture::RegisterFileFormat(const QString& extension, const QString& description, TGraphicClass graphicClass)
{
    if (!graphicClass || extension.isEmpty())
        return;
    Registry& r = TheRegistry();
    QMutexLocker lock(&r.mutex);
    r.files.push_back({NormalExtension(extension), description, graphicClass});
}

void TPicture::RegisterClipboardFormat(TClipFormat format, TGraphicClass graphicClass)
{
    if (!graphicClass || !format)
        return;
    Registry& r = TheRegistry();
    QMutexLocker lock(&r.mutex);
    r.clips.push_back({format, graphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass graphicClass)
{
    Registry& r = TheRegistry();
    QMutexLocker lock(&r.mutex);
    std::erase_if(r.files, [&](const FileFormat& f) { return f.graphicClass == graphicClass; });
    std::erase_if(r.clips, [&](const ClipFormat& c) { return c.graphicClass == graphicClass; });
}

TGraphicClass TPicture::FileFormatClass(const QString& extension)
{
    const QString ext = NormalExtension(extension);
    Registry& r = TheRegistry();
    QMutexLocker lock(&r.mutex);
    for (auto it = r.files.rbegin(); it != r.files.rend(); ++it)
        if (it->extension == ext)
            return it->graphicClass;
    return nullptr;
}

bool TPicture::SupportsClipboardFormat(TClipFormat format)
{
    Registry& r = TheRegistry();
    QMutexLocker lock(&r.mutex);
    return std::any_of(r.clips.begin(), r.clips.end(), [&](const ClipFormat& c) { return c.format == format; });
}

std::vector<TClipFormat> TPicture::ClipboardFormats()
{
    Registry& r = TheRegistry();
    QMutexLocker lock(&r.mutex);
    std::vector<TClipFormat> out;
    for (auto it = r.clips.rbegin(); it != r.clips.rend(); ++it)
        if (std::find(out.begin(), out.end(), it->format) == out.end())
            out.push_back(it->format);
    return out;
}

QString TPicture::GraphicFilter(TGraphicClass graphicClass)
{
    Registry& r = TheRegistry();
    QMutexLocker lock(&r.mutex);
    // Each extension counts once, with the class that wins it.
    std::vector<const FileFormat*> live;
    QSet<QString> seen;
    for (auto it = r.files.rbegin(); it != r.files.rend(); ++it) {
        if (seen.contains(it->extension))
            continue;
        seen.insert(it->extension);
        if (!graphicClass || it->graphicClass == graphicClass)
            live.insert(live.begin(), &*it);
    }
    QStringList masks, parts;
    for (const FileFormat* f : live) {
        const QString mask = QStringLiteral("*.") + f->extension;
        masks << mask;
        parts << QStringLiteral("%1 (%2)|%2").arg(f->description, mask);
    }
    if (masks.size() > 1)
        parts.prepend(QStringLiteral("All (%1)|%1").arg(masks.join(QLatin1Char(';'))));
    return parts.join(QLatin1Char('|'));
}

QString TPicture::GraphicExtension(TGraphicClass graphicClass)
{
    Registry& r = TheRegistry();
    QMutexLocker lock(&r.mutex);
    for (const FileFormat& f : r.files)
        if (f.graphicClass == graphicClass)
            return f.extension;
    return {};
}

// ---- TPicture ----------------------------------------------------------------------------------

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TPicture::Adopt(TGraphic* graphic)
{
    graphic_.reset(graphic);
    if (graphic_)
        graphic_->OnChange = [this](TObject*) { Changed(); };
    Changed();
}

void TPicture::SetGraphic(TGraphic* graphic)
{
    if (!graphic) {
        Adopt(nullptr);
        return;
    }
    if (graphic == graphic_.get())
        return;
    // A copy of the same class; classes outside the registry copy through a bitmap.
    TGraphic* copy = nullptr;
    if (dynamic_cast<TBitmap*>(graphic) && typeid(*graphic) == typeid(TBitmap))
        copy = new TBitmap;
    else if (typeid(*graphic) == typeid(TIcon))
        copy = new TIcon;
    else if (typeid(*graphic) == typeid(TJPEGImage))
        copy = new TJPEGImage;
    else if (typeid(*graphic) == typeid(TQtImage))
        copy = new TQtImage;
    else {
        Registry& r = TheRegistry();
        QMutexLocker lock(&r.mutex);
        for (const FileFormat& f : r.files) {
            std::unique_ptr<TGraphic> probe(f.graphicClass());
            if (typeid(*probe) == typeid(*graphic)) {
                copy = probe.release();
                break;
            }
        }
    }
    if (!copy)
        throw EConvertError(QString::fromLatin1(FrameworkText::AssignError).arg(graphic->ClassName(), ClassName()));
    std::unique_ptr<TGraphic> holder(copy);
    holder->Assign(graphic);
    Adopt(holder.release());
}

TBitmap* TPicture::Bitmap()
{
    if (!dynamic_cast<TBitmap*>(graphic_.get()))
        Adopt(new TBitmap);
    return static_cast<TBitmap*>(graphic_.get());
}

TIcon* TPicture::Icon()
{
    if (!dynamic_cast<TIcon*>(graphic_.get()))
        Adopt(new TIcon);
    return static_cast<TIcon*>(graphic_.get());
}

int TPicture::Width() const
{
    return graphic_ ? graphic_->Width() : 0;
}

int TPicture::Height() const
{
    return graphic_ ? graphic_->Height() : 0;
}

void TPicture::LoadFromFile(const QString& fileName)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    TGraphicClass graphicClass = FileFormatClass(ext);
    if (!graphicClass)
        throw EInvalidGraphic(QString::fromLatin1(FrameworkText::UnknownExtension).arg(ext));
    std::unique_ptr<TGraphic> graphic(graphicClass());
    graphic->LoadFromFile(fileName);
    Adopt(graphic.release());
}

void TPicture::SaveToFile(const QString& fileName)
{
    if (graphic_)
        graphic_->SaveToFile(fileName);
}

void TPicture::LoadFromClipboardFormat(TClipFormat format, const QByteArray& data)
{
    TGraphicClass graphicClass = nullptr;
    {
        Registry& r = TheRegistry();
        QMutexLocker lock(&r.mutex);
        for (auto it = r.clips.rbegin(); it != r.clips.rend(); ++it)
            if (it->format == format) {
                graphicClass = it->graphicClass;
                break;
            }
    }
    if (!graphicClass)
        throw EInvalidGraphic(QString::fromLatin1(GraphicsText::UnknownClipboardFormat));
    std::unique_ptr<TGraphic> graphic(graphicClass());
    graphic->LoadFromClipboardFormat(format, data);
    Adopt(graphic.release());
}

void TPicture::SaveToClipboardFormat(TClipFormat& format, QByteArray& data)
{
    if (graphic_)
        graphic_->SaveToClipboardFormat(format, data);
}

void TPicture::Assign(TPersistent* source)
{
    if (!source) {
        SetGraphic(nullptr);
        return;
    }
    if (auto* picture = dynamic_cast<TPicture*>(source)) {
        SetGraphic(picture->Graphic());
        return;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
        SetGraphic(graphic);
        return;
    }
    TPersistent::Assign(source);
}

void TPicture::AssignTo(TPersistent* dest)
{
    if (graphic_ && dynamic_cast<TGraphic*>(dest)) {
        dest->Assign(graphic_.get());
        return;
    }
    TPersistent::AssignTo(dest);
}

// ---- TQtImage ----------------------------------------------------------------------------------

void TQtImage::Draw(TCanvas* canvas, const TRect& rect)
{
    if (canvas && !image_.isNull())
        canvas->BlendImage(rect, image_, Rect(0, 0, image_.width(), image_.height()));
}

void TQtImage::LoadFromStream(TStream* stream)
{
    const QByteArray bytes = stream->ReadAll();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format_.toLatin1());
    reader.setDecideFormatFromContent(format_.isEmpty());
    // Limit what a malformed header can ask for.
    reader.setAllocationLimit(256);
    QImage image = reader.read();
    if (image.isNull())
        throw EInvalidGraphic(QString::fromLatin1(GraphicsText::InvalidImage));
    image_ = image.convertToFormat(QImage::Format_ARGB32);
    Changed(this);
}

void TQtImage::SaveToStream(TStream* stream)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format_.toLatin1());
    if (!writer.write(image_))
        throw EInvalidGraphic(QString::fromLatin1(GraphicsText::InvalidImage));
    stream->WriteBuffer(buffer.data().constData(), buffer.data().size());
}

void TQtImage::LoadFromFile(const QString& fileName)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (!ext.isEmpty() && !OwnFormats().contains(ext))
        format_ = ext;
    TGraphic::LoadFromFile(fileName);
}

void TQtImage::SaveToFile(const QString& fileName)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (!ext.isEmpty() && !OwnFormats().contains(ext))
        format_ = ext;
    TGraphic::SaveToFile(fileName);
}

void TQtImage::Assign(TPersistent* source)
{
    if (auto* other = dynamic_cast<TQtImage*>(source)) {
        image_ = other->image_;
        format_ = other->format_;
        Changed(this);
        return;
    }
    TGraphic::Assign(source);
}

void TQtImage::SetImage(const QImage& image)
{
    image_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
    Changed(this);
}
