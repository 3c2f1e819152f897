#include "document/picture_export.h"

#include "document/scratch_folder.h"
#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/qimage_bridge.h"
#include "imaging/toolkit/imaging_control.h"
#include "platform/gdip.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <memory>

namespace {

const char* const kExtensions[] = {"bmp", "gif", "emf", "wmf", "jpg", "png", "tif", "tga"};

struct TImageDeleter {
    void operator()(GpImage* image) const { GdipDisposeImage(image); }
};
using TImageHolder = std::unique_ptr<GpImage, TImageDeleter>;

// Encodes through the drawing layer's encoder of that MIME type. The layer writes through a
// temporary file, so a failed write keeps the old target.
void EncodeTo(const QImage& picture, const QString& mimeType, const QString& path, const EncoderParameters* params)
{
    CLSID encoder;
    if (FindEncoderByMimeType(mimeType, &encoder) < 0)
        throw EInvalidOperation(QStringLiteral("No picture encoder for \"%1\" is installed").arg(mimeType));
    TImageHolder image(GdipImageFromQImage(picture));
    if (GdipSaveImageToFile(image.get(), path, &encoder, params) != Ok)
        throw EFCreateError(QString::fromLatin1(FrameworkText::FCreateError).arg(path));
}

EncoderParameters LongParameter(const GUID& guid, uint32_t* value)
{
    EncoderParameters params{};
    params.Count = 1;
    params.Parameter[0] = EncoderParameter{guid, 1, EncoderParameterValueTypeLong, value};
    return params;
}

void WriteBmp(const QImage& picture, const QString& path)
{
    TBitmap bitmap;
    QImageToBitmap(FlattenOnWhite(picture), bitmap);
    bitmap.SaveToFile(path);
}

// The outside image control takes the picture from the PNG hand-over file, then writes it.
void WriteThroughControl(const QImage& picture, const QString& extension, const QString& path,
                         const TPictureWriteOptions& options, QObject* owner)
{
    const QString handOver = ScratchPath(QStringLiteral("gifgifgif.png"));
    EncodeTo(options.FlattenForControl ? FlattenOnWhite(picture) : picture, QStringLiteral("image/png"), handOver,
             nullptr);
    auto control = std::make_unique<ImagingControl>(owner);
    control->SetWidth(picture.width());
    control->SetHeight(picture.height());
    control->LoadFile(handOver);
    if (control->ImageWidth() <= 0)
        throw EOleError(QStringLiteral("The picture handed to the image control could not be read"));
    if (extension == QLatin1String("gif"))
        control->SaveGif(path, options.GifWhiteTransparent, options.GifWhiteTransparent ? 0xFFFFFF : 0);
    else if (extension == QLatin1String("emf"))
        control->SaveEmf(path);
    else if (extension == QLatin1String("wmf"))
        control->SaveWmf(path);
    else
        control->SaveTga(path);
}

} // namespace

bool IsExportExtension(const QString& extension)
{
    for (const char* e : kExtensions)
        if (extension == QLatin1String(e))
            return true;
    return false;
}

QString WithExportExtension(const QString& path, const QString& extension)
{
    const QString name = QFileInfo(path).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString own = dot < 0 ? QString() : name.mid(dot + 1);
    return own == extension ? path : path + QLatin1Char('.') + extension;
}

QImage FlattenOnWhite(const QImage& picture)
{
    QImage ground(picture.size(), QImage::Format_ARGB32);
    ground.fill(0xFFFFFFFFu);
    QPainter painter(&ground);
    painter.drawImage(0, 0, picture);
    return ground;
}

QString WritePictureFile(const QImage& picture, const QString& extension, const QString& path,
                         const TPictureWriteOptions& options, QObject* owner)
{
    if (!IsExportExtension(extension))
        throw EInvalidOperation(QStringLiteral("\"%1\" is no picture format the export writes").arg(extension));
    if (picture.isNull() || picture.width() < 1 || picture.height() < 1)
        throw EInvalidOperation(QStringLiteral("There is no picture to export"));
    if (path.trimmed().isEmpty())
        throw EInvalidOperation(QStringLiteral("No file name was given for the export"));
    const QString target = WithExportExtension(path, extension);
    if (QFileInfo(target).isDir())
        throw EFCreateError(QString::fromLatin1(FrameworkText::FCreateError).arg(target));
    if (extension == QLatin1String("bmp")) {
        WriteBmp(picture, target);
    } else if (extension == QLatin1String("jpg")) {
        uint32_t quality = uint32_t(std::clamp(options.Quality, 0, 100));
        const EncoderParameters params = LongParameter(EncoderQuality, &quality);
        EncodeTo(FlattenOnWhite(picture), QStringLiteral("image/jpeg"), target, &params);
    } else if (extension == QLatin1String("png")) {
        EncodeTo(picture, QStringLiteral("image/png"), target, nullptr);
    } else if (extension == QLatin1String("tif")) {
        uint32_t flag = EncoderValueMultiFrame;
        const EncoderParameters params = LongParameter(EncoderSaveFlag, &flag);
        EncodeTo(picture, QStringLiteral("image/tiff"), target, options.TiffSaveFlag ? &params : nullptr);
    } else {
        WriteThroughControl(picture, extension, target, options, owner);
    }
    return target;
}
