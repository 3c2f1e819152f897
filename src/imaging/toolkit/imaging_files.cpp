#include "imaging/toolkit/imaging_files.h"

#include "framework/bitmap.h"
#include "framework/streams.h"

#include <Magick++.h>

#include <cstring>
#include <mutex>

namespace {

TImagingLimits g_limits;

// Metafiles are drawn at the resolution of a usual screen, where one pixel of a picture stored at
// 96 pixels per inch is one pixel.
constexpr size_t ScreenDpi = 96;

void ApplyLibraryLimits()
{
    // The library's own limits back up our checks for coders that learn the size only while
    // decoding; pixels beyond the memory limit go to disk, beyond that the read fails. They lie
    // above ours, as a coder that meets them gives no size at all and the picture could not be
    // told apart from a damaged one.
    Magick::ResourceLimits::width(MagickCore::MagickSizeType(g_limits.MaxSide) * 4);
    Magick::ResourceLimits::height(MagickCore::MagickSizeType(g_limits.MaxSide) * 4);
    Magick::ResourceLimits::area(MagickCore::MagickSizeType(g_limits.MaxPixels) * 4);
    Magick::ResourceLimits::memory(MagickCore::MagickSizeType(g_limits.MaxPixels) * 16);
    Magick::ResourceLimits::map(MagickCore::MagickSizeType(g_limits.MaxPixels) * 16);
    Magick::ResourceLimits::disk(MagickCore::MagickSizeType(g_limits.MaxPixels) * 16);
}

uint16_t Word(const QByteArray& d, int at)
{
    return uint16_t(uint8_t(d[at]) | uint8_t(d[at + 1]) << 8);
}

uint32_t DWord(const QByteArray& d, int at)
{
    return uint32_t(Word(d, at)) | uint32_t(Word(d, at + 2)) << 16;
}

bool StartsWith(const QByteArray& d, const char* magic, int length, int at = 0)
{
    return d.size() >= at + length && std::memcmp(d.constData() + at, magic, size_t(length)) == 0;
}

bool LooksLikePcx(const QByteArray& d)
{
    if (d.size() < 128 || uint8_t(d[0]) != 0x0A || uint8_t(d[2]) != 1)
        return false;
    const uint8_t version = uint8_t(d[1]);
    const uint8_t bits = uint8_t(d[3]);
    return (version == 0 || version == 2 || version == 3 || version == 4 || version == 5) &&
           (bits == 1 || bits == 2 || bits == 4 || bits == 8);
}

bool LooksLikeTga(const QByteArray& d)
{
    if (d.size() < 18)
        return false;
    const uint8_t mapType = uint8_t(d[1]);
    const uint8_t type = uint8_t(d[2]);
    const uint8_t bits = uint8_t(d[16]);
    const bool knownType = type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
    const bool knownBits = bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
    return mapType <= 1 && knownType && knownBits && Word(d, 12) > 0 && Word(d, 14) > 0;
}

bool LooksLikeWbmp(const QByteArray& d)
{
    // Type 0, a fixed header of 0, then width and height as multi-byte integers.
    return d.size() >= 4 && d[0] == 0 && (uint8_t(d[1]) & 0x9F) == 0;
}

bool LooksLikeWmf(const QByteArray& d)
{
    if (StartsWith(d, "\xD7\xCD\xC6\x9A", 4))
        return true;
    if (d.size() < 18)
        return false;
    const uint16_t type = Word(d, 0);
    const uint16_t headerWords = Word(d, 2);
    const uint16_t version = Word(d, 4);
    return (type == 1 || type == 2) && headerWords == 9 && (version == 0x0100 || version == 0x0300);
}

// Width and height from a PNM header: the magic, then two decimal numbers among blanks and
// comments. False when they cannot be read.
bool PnmSize(const QByteArray& d, size_t& width, size_t& height)
{
    qsizetype at = 2;
    size_t values[2] = {0, 0};
    for (size_t& v : values) {
        for (;;) {
            if (at >= d.size())
                return false;
            if (d[at] == '#') {
                while (at < d.size() && d[at] != '\n')
                    ++at;
            } else if (QByteArrayView(" \t\r\n").contains(d[at])) {
                ++at;
            } else {
                break;
            }
        }
        int digits = 0;
        while (at < d.size() && d[at] >= '0' && d[at] <= '9') {
            if (++digits > 9)
                return false;
            v = v * 10 + size_t(d[at++] - '0');
        }
        if (digits == 0)
            return false;
    }
    width = values[0];
    height = values[1];
    return true;
}

bool IsIconOrCursor(const QByteArray& d, uint16_t type)
{
    return d.size() >= 22 && Word(d, 0) == 0 && Word(d, 2) == type && Word(d, 4) > 0;
}

} // namespace

void InitializeImaging()
{
    static std::once_flag once;
    std::call_once(once, [] { Magick::InitializeMagick(nullptr); });
    ApplyLibraryLimits();
}

const TImagingLimits& ImagingLimits() { return g_limits; }

void SetImagingLimits(const TImagingLimits& limits)
{
    g_limits = limits;
    InitializeImaging();
}

QString DetectPictureFormat(const QByteArray& d, const QString& extension)
{
    // Formats are named from the content wherever it carries a signature and the library is then
    // told which coder to use: it never guesses from the data on its own, so a file cannot bring
    // in one of its script-like formats (drawing commands, text, other files by name).
    if (StartsWith(d, "\x89PNG\r\n\x1A\n", 8))
        return QStringLiteral("PNG");
    if (StartsWith(d, "\xFF\xD8\xFF", 3))
        return QStringLiteral("JPEG");
    if (StartsWith(d, "GIF87a", 6) || StartsWith(d, "GIF89a", 6))
        return QStringLiteral("GIF");
    if (StartsWith(d, "BM", 2) && d.size() >= 26)
        return QStringLiteral("BMP");
    if (StartsWith(d, "II*\0", 4) || StartsWith(d, "MM\0*", 4))
        return QStringLiteral("TIFF");
    if (StartsWith(d, "\x01\xDA", 2) && d.size() >= 512)
        return QStringLiteral("SGI");
    if (d.size() >= 3 && d[0] == 'P' && d[1] >= '1' && d[1] <= '6' && QByteArrayView(" \t\r\n#").contains(d[2]))
        return QStringLiteral("PNM");
    if (StartsWith(d, "\x52\xCC", 2) && d.size() >= 15)
        return QStringLiteral("RLE");
    if (StartsWith(d, "PCD_IPI", 7, 2048) || StartsWith(d, "PCD_OPA", 7))
        return QStringLiteral("PCD");
    if (d.size() >= 44 && DWord(d, 0) == 1 && StartsWith(d, " EMF", 4, 40))
        return QStringLiteral("EMF");
    if (LooksLikeWmf(d))
        return QStringLiteral("WMF");
    if (IsIconOrCursor(d, 1))
        return QStringLiteral("ICO");
    if (IsIconOrCursor(d, 2))
        return QStringLiteral("CUR");
    if (LooksLikePcx(d))
        return QStringLiteral("PCX");

    const QString ext = extension.toLower();
    if ((ext == QLatin1String(".tga") || ext == QLatin1String(".vda") || ext == QLatin1String(".vst") ||
         ext == QLatin1String(".icb")) &&
        LooksLikeTga(d))
        return QStringLiteral("TGA");
    if (ext == QLatin1String(".wbmp") && LooksLikeWbmp(d))
        return QStringLiteral("WBMP");
    if (ext == QLatin1String(".dib") && d.size() >= 40) {
        // A packed bitmap: the info header without the file header.
        const uint32_t headerSize = DWord(d, 0);
        if (headerSize == 40 || headerSize == 108 || headerSize == 124)
            return QStringLiteral("DIB");
    }
    return QString();
}

TPictureReadResult ReadPictureData(const QByteArray& data, const QString& extension, TRGBABuffer& out)
{
    InitializeImaging();
    const QString format = DetectPictureFormat(data, extension);
    // This build of the library has no EMF coder.
    if (format.isEmpty() || format == QLatin1String("EMF"))
        return TPictureReadResult::Unrecognized;
    if (data.size() > g_limits.MaxFileBytes)
        return TPictureReadResult::TooLarge;

    const Magick::Blob blob(data.constData(), size_t(data.size()));
    const std::string magick = format.toStdString();
    try {
        size_t w = 0, h = 0;
        if (format == QLatin1String("PNM")) {
            // The library's probe of this format loses a little memory each time.
            if (!PnmSize(data, w, h))
                return TPictureReadResult::Unrecognized;
        } else {
            Magick::Image probe;
            probe.quiet(true);
            probe.subImage(0);
            probe.subRange(1);
            probe.magick(magick);
            if (format == QLatin1String("WMF"))
                probe.density(Magick::Geometry(ScreenDpi, ScreenDpi));
            probe.ping(blob);
            w = probe.columns();
            h = probe.rows();
        }
        if (w == 0 || h == 0)
            return TPictureReadResult::Unrecognized;
        if (w > size_t(g_limits.MaxSide) || h > size_t(g_limits.MaxSide) ||
            int64_t(w) * int64_t(h) > g_limits.MaxPixels)
            return TPictureReadResult::TooLarge;

        Magick::Image image;
        image.quiet(true);
        image.subImage(0);
        image.subRange(1);
        image.magick(magick);
        if (format == QLatin1String("WMF"))
            image.density(Magick::Geometry(ScreenDpi, ScreenDpi));
        image.read(blob);
        if (image.columns() == 0 || image.rows() == 0)
            return TPictureReadResult::Unrecognized;
        if (image.columns() > size_t(g_limits.MaxSide) || image.rows() > size_t(g_limits.MaxSide) ||
            int64_t(image.columns()) * int64_t(image.rows()) > g_limits.MaxPixels)
            return TPictureReadResult::TooLarge;
        const MagickCore::ColorspaceType space = image.colorSpace();
        if (space != Magick::sRGBColorspace && space != Magick::RGBColorspace &&
            space != Magick::GRAYColorspace)
            image.colorSpace(Magick::sRGBColorspace);
        out = MagickToRGBA(image);
    } catch (const Magick::ErrorResourceLimit&) {
        return TPictureReadResult::TooLarge;
    } catch (const Magick::Exception&) {
        // Covers a resource limit reached while decoding as well as damaged data.
        return TPictureReadResult::Unrecognized;
    }
    return out.Empty() ? TPictureReadResult::Unrecognized : TPictureReadResult::Ok;
}

namespace {

QByteArray Encode(Magick::Image& image, const char* magick)
{
    image.magick(magick);
    Magick::Blob blob;
    image.write(&blob);
    return QByteArray(static_cast<const char*>(blob.data()), qsizetype(blob.length()));
}

Magick::Image ToImage(const TRGBABuffer& picture)
{
    InitializeImaging();
    Magick::Image image;
    image.quiet(true);
    RGBAToMagick(picture, image);
    image.depth(8);
    return image;
}

} // namespace

QByteArray EncodePng(const TRGBABuffer& picture)
{
    Magick::Image image = ToImage(picture);
    return Encode(image, "PNG32");
}

QByteArray EncodeTga(const TRGBABuffer& picture)
{
    Magick::Image image = ToImage(picture);
    return Encode(image, "TGA");
}

QByteArray EncodeGif(const TRGBABuffer& picture, bool transparent, uint32_t colour)
{
    TRGBABuffer copy = picture;
    const uint8_t r = uint8_t(colour), g = uint8_t(colour >> 8), b = uint8_t(colour >> 16);
    for (size_t i = 0; i + 3 < copy.Pixels.size(); i += 4) {
        uint8_t* p = &copy.Pixels[i];
        if (transparent && p[0] == r && p[1] == g && p[2] == b)
            p[3] = 0;
        if (p[3] < 128) {
            // One colour for every transparent pixel, so that they share one table entry; it is
            // the chosen colour where there is one, so that readers that take the entry's colour
            // as the key find that colour.
            p[0] = transparent ? r : 0;
            p[1] = transparent ? g : 0;
            p[2] = transparent ? b : 0;
            p[3] = 0;
        } else {
            p[3] = 255;
        }
    }
    Magick::Image image = ToImage(copy);
    return Encode(image, "GIF");
}

QByteArray EncodeBmp(const TRGBABuffer& picture)
{
    TBitmap bitmap(picture.Width, picture.Height, pf32bit);
    for (int y = 0; y < picture.Height; ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        const uint8_t* src = picture.Pixels.data() + size_t(y) * picture.Width * 4;
        for (int x = 0; x < picture.Width; ++x, src += 4, row += 4) {
            row[0] = src[2];
            row[1] = src[1];
            row[2] = src[0];
            row[3] = src[3];
        }
    }
    TMemoryStream stream;
    bitmap.SaveToStream(&stream);
    return stream.Bytes();
}
