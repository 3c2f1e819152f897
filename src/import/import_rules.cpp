#include "import/import_rules.h"

#include "framework/exceptions.h"
#include "framework/qimage_bridge.h"
#include "imaging/gif/gif_image.h"
#include "imaging/icons/icon_format.h"
#include "imaging/icons/multi_icon.h"
#include "imaging/toolkit/toolkit_image.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

namespace {

struct TDepthName {
    int Bits;
    const char* Text;
    const char* Tag;
};
constexpr TDepthName kDepths[] = {{1, "1 Bit", " 1B"},   {4, "4 Bit", " 4B"},   {8, "8 Bit", " 8B"},
                                  {15, "15 Bit", "15B"}, {16, "16 Bit", "16B"}, {24, "24 Bit", "24B"},
                                  {32, "32 Bit", "32B"}, {48, "48 Bit", "48B"}, {64, "64 Bit", "64B"}};

const TDepthName* FindDepth(int bits)
{
    for (const TDepthName& d : kDepths)
        if (d.Bits == bits)
            return &d;
    return nullptr;
}

constexpr int kStandardSizes[6] = {96, 72, 64, 48, 32, 16};
constexpr const char* kKinds[5] = {"XP", "16.8M", "256", "16", "Mono"};

} // namespace

QString DepthText(int bitCount)
{
    const TDepthName* d = FindDepth(bitCount);
    return d ? QString::fromLatin1(d->Text) : QString::number(bitCount) + QStringLiteral(" Bit");
}

QString DepthTag(int bitCount)
{
    const TDepthName* d = FindDepth(bitCount);
    return d ? QString::fromLatin1(d->Tag) : QString();
}

TIconEntryInfo IconEntryInfo(TMultiIcon* icon, int index)
{
    uint8_t entry[IconEntryCommonSize] = {};
    TIconEntryInfo info;
    if (!icon || index < 0 || !icon->GetEntry(uint16_t(index), entry))
        return info;
    info.Width = entry[0] ? entry[0] : 256;
    info.Height = entry[1] ? entry[1] : 256;
    info.BitCount = entry[6] | entry[7] << 8;
    return info;
}

int PickCellImage(TMultiIcon* icon, int sizeFilter, int depthFilter)
{
    const int count = icon ? icon->Count() : 0;
    for (int i = 0; i < count; ++i) {
        const TIconEntryInfo info = IconEntryInfo(icon, i);
        if (info.Width == sizeFilter && info.BitCount == depthFilter)
            return i;
    }
    return 0;
}

int GridRowCount(int count, int columns)
{
    return count / columns + (count % columns != 0 ? 1 : 0);
}

std::vector<TImportFormat> ImportFormatPlan(const bool sizes[7], int customWidth, int customHeight,
                                            const bool kinds[5], const TImportFormat& fallback)
{
    auto sizeOf = [&](int i) {
        return i < 6 ? std::pair{kStandardSizes[i], kStandardSizes[i]} : std::pair{customWidth, customHeight};
    };
    TImportFormat first = fallback;
    for (int i = 0; i < 7; ++i)
        if (sizes[i]) {
            std::tie(first.Width, first.Height) = sizeOf(i);
            break;
        }
    for (int k = 0; k < 5; ++k)
        if (kinds[k]) {
            first.Kind = QString::fromLatin1(kKinds[k]);
            break;
        }
    std::vector<TImportFormat> plan{first};
    for (int k = 0; k < 5; ++k) {
        if (!kinds[k])
            continue;
        for (int i = 0; i < 7; ++i) {
            if (!sizes[i])
                continue;
            const auto [w, h] = sizeOf(i);
            TImportFormat f{w, h, QString::fromLatin1(kKinds[k])};
            // A custom size equal to a standard one is one format, not two.
            if (std::find(plan.begin(), plan.end(), f) == plan.end())
                plan.push_back(f);
        }
    }
    return plan;
}

QString CheckCustomSide(const QString& text, const QString& what)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (text.trimmed().isEmpty())
        return QStringLiteral("Please enter the %1 of the custom size.").arg(what);
    if (!ok || value < 1 || value > 255)
        return QStringLiteral("The %1 of the custom size must be a whole number from 1 to 255.").arg(what);
    return QString();
}

int FitZoom(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return 1;
    const int zoom = pictureHeight < pictureWidth ? areaWidth / pictureWidth : areaHeight / pictureHeight;
    return std::max(zoom, 1);
}

QPoint CentredOrigin(int screenWidth, int screenHeight, int pictureWidth, int pictureHeight)
{
    // Halves are taken as whole-number division of the difference, rounding toward zero.
    return {(screenWidth - pictureWidth) / 2, (screenHeight - pictureHeight) / 2};
}

QImage ReadPicture(const QString& path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull())
        return image;
    return image.convertToFormat(QImage::Format_ARGB32);
}

int SplitGifFrames(const QString& path, const QString& prefix, QString* message)
{
    TGIFImage gif;
    try {
        gif.LoadFromFile(path);
    } catch (const Exception& e) {
        if (message)
            *message = e.Message();
        return 0;
    }
    const int count = gif.GetCount();
    for (int i = 0; i < count; ++i) {
        TGIFFrame* frame = gif.GetFrame(i);
        TBitmap* bitmap = frame ? frame->GetBitmap() : nullptr;
        QImage source = bitmap ? BitmapToQImage(*bitmap).convertToFormat(QImage::Format_RGB32) : QImage();
        QImage out(source.size(), QImage::Format_ARGB32);
        out.fill(0);
        // Each frame keeps its own transparent colour: frames of one file often differ in it.
        const TColor t = frame ? frame->TransparentColor() : GifNoColor;
        const bool hasTransparent = t != GifNoColor;
        const QRgb key = qRgb(int(t & 0xFF), int((t >> 8) & 0xFF), int((t >> 16) & 0xFF));
        for (int y = 0; y < source.height(); ++y) {
            const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
            QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < source.width(); ++x) {
                const QRgb c = in[x] | 0xFF000000u;
                if (!hasTransparent || c != key)
                    o[x] = c;
            }
        }
        if (!out.save(prefix + QString::number(i) + QStringLiteral(".png"), "PNG")) {
            if (message)
                *message = QStringLiteral("Unable to write ") + prefix + QString::number(i) + QStringLiteral(".png");
            return 0;
        }
    }
    if (count == 0 && message)
        *message = QStringLiteral("The file holds no frame.");
    return count;
}

int SplitImageLayers(const QString& path, const QString& prefix, QString* message)
{
    TToolkitImage composite;
    composite.DoubleBuffer = 1;
    if (composite.Load(path, 32, 1, 1) != 1) {
        if (message)
            *message = QStringLiteral("Unable to load image (unsupported format)");
        return 0;
    }
    const int layers = std::max(0, int(composite.InfoLayerCount));
    const QString compositeFile = prefix + QString::number(layers) + QStringLiteral(".png");
    try {
        composite.Save(compositeFile, TKFMT_PNG32, 32, 2, 0);
    } catch (const EToolkitImageError&) {
        if (message)
            *message = QStringLiteral("Unable to write ") + compositeFile;
        return 0;
    }
    // The toolkit chooses each layer's depth; a layer that cannot be read or written leaves no
    // file (not even one of an earlier split), its cell stays empty and the others go on.
    for (int i = 0; i < layers; ++i) {
        const QString file = prefix + QString::number(i) + QStringLiteral(".png");
        QFile::remove(file);
        TToolkitImage layer;
        layer.DoubleBuffer = 1;
        try {
            layer.LoadLayer(path, 0, i);
            layer.Save(file, TKFMT_PNG, 24, 2, 0);
        } catch (const EToolkitImageError&) {
            QFile::remove(file);
        }
    }
    return layers + 1;
}
