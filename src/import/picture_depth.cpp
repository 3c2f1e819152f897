#include "import/picture_depth.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QtEndian>

namespace {

const QString k1 = QStringLiteral("1 Bit (2 Color)");
const QString k4 = QStringLiteral("4 Bit (16 Color)");
const QString k8 = QStringLiteral("8 Bit (256 Color)");
const QString k15 = QStringLiteral("15 Bit");
const QString k16 = QStringLiteral("16 Bit");
const QString k24 = QStringLiteral("24 Bit (16.8M)");
const QString k32 = QStringLiteral("32 Bit (non-Alpha)");
const QString k32Alpha = QStringLiteral("32 Bit (Window XP )");
const QString k48 = QStringLiteral("48 Bit");
const QString k64 = QStringLiteral("64 Bit");

uint16_t Le16(const QByteArray& b, int at)
{
    return qFromLittleEndian<uint16_t>(b.constData() + at);
}

uint32_t Le32(const QByteArray& b, int at)
{
    return qFromLittleEndian<uint32_t>(b.constData() + at);
}

QString BmpDepth(const QByteArray& head)
{
    if (head.size() < 30)
        return QString();
    const uint32_t headerSize = Le32(head, 14);
    // The old core header keeps its bit count two bytes earlier.
    const int bits = headerSize == 12 ? Le16(head, 24) : Le16(head, 28);
    const uint32_t compression = headerSize == 12 || head.size() < 34 ? 0 : Le32(head, 30);
    switch (bits) {
    case 1: return k1;
    case 4: return k4;
    case 8: return k8;
    case 16:
        // Without masks a 16-bit bitmap is 5-5-5; with them the green mask tells 5-6-5.
        if (compression == 3 && head.size() >= 62 && Le32(head, 58) == 0x07E0)
            return k16;
        return k15;
    case 24: return k24;
    case 32:
        // Only a header that names an alpha mask makes the fourth byte alpha.
        return headerSize >= 56 && head.size() >= 14 + 56 && Le32(head, 14 + 52) != 0 ? k32Alpha : k32;
    default: return QString();
    }
}

// The component count of the first start-of-frame segment.
QString JpegDepth(QFile& file)
{
    file.seek(2);
    for (;;) {
        const QByteArray marker = file.read(4);
        if (marker.size() < 4 || uchar(marker[0]) != 0xFF)
            return QString();
        const uchar kind = uchar(marker[1]);
        const int length = qFromBigEndian<uint16_t>(marker.constData() + 2);
        const bool frame = kind >= 0xC0 && kind <= 0xCF && kind != 0xC4 && kind != 0xC8 && kind != 0xCC;
        if (frame) {
            const QByteArray sof = file.read(6);
            if (sof.size() < 6)
                return QString();
            switch (uchar(sof[5])) {
            case 1: return k8;
            case 3: return k24;
            default: return QString(); // CMYK has no name of its own here
            }
        }
        if (length < 2 || !file.seek(file.pos() + length - 2))
            return QString();
    }
}

QString PngDepth(const QByteArray& head)
{
    if (head.size() < 26)
        return QString();
    const int bits = uchar(head[24]);
    switch (uchar(head[25])) {
    case 0: // grey
        return bits == 1 ? k1 : bits <= 4 ? k4 : bits == 8 ? k8 : k48;
    case 2: return bits == 16 ? k48 : k24;
    case 3: return bits == 1 ? k1 : bits <= 4 ? k4 : k8;
    case 4:
    case 6: return bits == 16 ? k64 : k32Alpha;
    default: return QString();
    }
}

// Formats without a reader here: the decoder's own format, which widens 24-bit pictures to 32
// bits, so that a 32-bit format without alpha counts as 24 bits.
QString DecodedDepth(const QString& path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage raw = reader.read();
    switch (raw.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: return k1;
    case QImage::Format_Indexed8: return raw.colorCount() <= 2 ? k1 : raw.colorCount() <= 16 ? k4 : k8;
    case QImage::Format_Grayscale8: return k8;
    case QImage::Format_RGB555: return k15;
    case QImage::Format_RGB16:
    case QImage::Format_Grayscale16: return k16;
    case QImage::Format_RGB888:
    case QImage::Format_RGB32: return k24;
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: return k32Alpha;
    case QImage::Format_RGBX64: return k48;
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied: return k64;
    default: return QString();
    }
}

} // namespace

QString PictureFileDepthText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray head = file.read(14 + 56);
    if (head.startsWith("BM"))
        return BmpDepth(head);
    if (head.startsWith("\xFF\xD8"))
        return JpegDepth(file);
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return k8;
    if (head.startsWith("\x89PNG\r\n\x1A\n"))
        return PngDepth(head);
    // An icon file is read as one 32-bit picture with alpha.
    if (head.size() >= 6 && Le16(head, 0) == 0 && Le16(head, 2) == 1 && Le16(head, 4) > 0)
        return k32Alpha;
    file.close();
    return DecodedDepth(path);
}
