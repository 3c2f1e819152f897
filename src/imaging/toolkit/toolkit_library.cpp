#include "imaging/toolkit/toolkit_library.h"

#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/gif/gif_image.h"
#include "imaging/toolkit/imaging_files.h"
#include "imaging/toolkit/metafile_writer.h"

#include <Magick++.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace {

// ---- Process state -------------------------------------------------------------------------

struct TOptionState {
    TKPDFOptions Pdf;
    int32_t ViewMode2D = 1;
    int32_t ViewportWidth = 640;
    int32_t ViewportHeight = 480;
    int32_t WmfX = 0;
    int32_t WmfY = 0;
    TKRTFOptions Rtf;
    TKPLTOptions Plt;
    TKPTKOptions Ptk;
    int32_t CadColorScheme = 0;
    TKJ2KOptions J2k;
    TKPDFSaveOptions PdfSave;
};

struct TState {
    std::mutex Lock;
    std::map<TKBitmapList, std::vector<TKBitmap>> Lists;
    TKBitmapList NextList = 1;
    TOptionState Options;
    TKStatusCallback Status = nullptr;
    TKLoadInfoCallback LoadInfo = nullptr;
};

TState& State()
{
    static TState state;
    return state;
}

std::vector<TKBitmap>* FindList(TKBitmapList list)
{
    auto& lists = State().Lists;
    const auto it = lists.find(list);
    return it == lists.end() ? nullptr : &it->second;
}

// ---- Formats -------------------------------------------------------------------------------

struct TFormatRow {
    int Code;
    const char* Magick;
};

// Formats as the outside library names them. PSB is the large form of PSD.
constexpr TFormatRow ReadFormats[] = {
    {TKFMT_GIF, "GIF"},   {TKFMT_BMP, "BMP"},   {TKFMT_TGA, "TGA"},   {TKFMT_PNG, "PNG"},   {TKFMT_JPEG, "JPEG"},
    {TKFMT_TIFF, "TIFF"}, {TKFMT_PCX, "PCX"},   {TKFMT_PSD, "PSD"},   {TKFMT_PSD, "PSB"},   {TKFMT_SGI, "SGI"},
    {TKFMT_PNM, "PNM"},   {TKFMT_PCD, "PCD"},   {TKFMT_RLE, "RLE"},   {TKFMT_WMF, "WMF"},   {TKFMT_ICO, "ICO"},
    {TKFMT_CUR, "CUR"},   {TKFMT_WBMP, "WBMP"}, {TKFMT_DIB, "DIB"},   {TKFMT_FRAME, "SUN"},
    {TKFMT_MNG, "MNG"},   {TKFMT_WEBP, "WEBP"},
};

int CodeOfMagick(const QString& magick)
{
    for (const TFormatRow& row : ReadFormats)
        if (magick == QLatin1String(row.Magick))
            return row.Code;
    return 0;
}

const char* MagickOfCode(int code)
{
    for (const TFormatRow& row : ReadFormats)
        if (row.Code == code)
            return row.Magick;
    return nullptr;
}

// The formats saves write: the library's encoder, the bits per pixel it takes (bit n set for n
// bits) and the bits a save of 0 bits gets when the bitmap's own are not among them.
struct TSaveFormat {
    int Code;
    const char* Magick;
    uint64_t Depths;
    int DefaultBits;
};

constexpr uint64_t Depth(int bits)
{
    return uint64_t(1) << bits;
}

constexpr uint64_t AnyDepth = Depth(1) | Depth(4) | Depth(8) | Depth(24) | Depth(32);

// Every format the toolkit reads is written but TKFMT_RLE, which the library only reads. TKFMT_WMF
// is written by our own metafile writer, not the library.
constexpr TSaveFormat SaveFormats[] = {
    {TKFMT_DATA, "PNG", Depth(24) | Depth(32), 24},
    {TKFMT_GIF, "GIF", Depth(8), 8},
    {TKFMT_BMP, "BMP", AnyDepth, 24},
    {TKFMT_TGA, "TGA", Depth(8) | Depth(24) | Depth(32), 24},
    {TKFMT_PNG, "PNG24", Depth(24), 24},
    {TKFMT_JPEG, "JPEG", Depth(24), 24},
    {TKFMT_TIFF, "TIFF", AnyDepth, 24},
    {TKFMT_PCX, "PCX", Depth(1) | Depth(4) | Depth(8) | Depth(24), 24},
    {TKFMT_PSD, "PSD", Depth(32), 32},
    {TKFMT_DIB, "DIB", AnyDepth, 24},
    {TKFMT_FRAME, "SUN", Depth(24), 24},
    {TKFMT_PNG32, "PNG32", Depth(32), 32},
    {TKFMT_SGI, "SGI", Depth(24) | Depth(32), 24},
    {TKFMT_PNM, "PNM", Depth(24), 24},
    {TKFMT_PCD, "PCD", Depth(24), 24},
    {TKFMT_ICO, "ICO", Depth(24) | Depth(32), 32},
    {TKFMT_CUR, "ICO", Depth(24) | Depth(32), 32}, // the icon, marked a cursor afterwards
    {TKFMT_WBMP, "WBMP", Depth(1), 1},
    {TKFMT_MNG, "MNG", Depth(24) | Depth(32), 24},
    {TKFMT_WEBP, "WEBP", Depth(24) | Depth(32), 24},
    {TKFMT_WMF, "WMF", Depth(24), 24},
};

// The encoder of a save and its bits (0 asks for the bitmap's own, else those of the format),
// or the failure code.
int FindSaveFormat(int32_t format, int32_t& bits, int32_t ownBits, const TSaveFormat*& out)
{
    for (const TSaveFormat& f : SaveFormats) {
        if (f.Code != format)
            continue;
        if (bits == 0)
            bits = ownBits > 0 && ownBits < 64 && (f.Depths & Depth(ownBits)) ? ownBits : f.DefaultBits;
        if (bits <= 0 || bits >= 64 || !(f.Depths & Depth(bits)))
            return TK_ErrBitsPerPixel;
        out = &f;
        return TK_Success;
    }
    return MagickOfCode(format) ? TK_ErrNotSupported : TK_ErrFileFormat;
}

// ---- The outside library -------------------------------------------------------------------

struct TMagickList {
    MagickCore::Image* First = nullptr;
    TMagickList() = default;
    TMagickList(const TMagickList&) = delete;
    TMagickList& operator=(const TMagickList&) = delete;
    ~TMagickList() { Reset(); }
    void Reset(MagickCore::Image* image = nullptr)
    {
        if (First)
            MagickCore::DestroyImageList(First);
        First = image;
    }
    size_t Length() const { return First ? MagickCore::GetImageListLength(First) : 0; }
    MagickCore::Image* At(size_t index) const
    {
        return First ? MagickCore::GetImageFromList(First, ssize_t(index)) : nullptr;
    }
};

struct TMagickInfo {
    MagickCore::ImageInfo* Info = MagickCore::AcquireImageInfo();
    MagickCore::ExceptionInfo* Exception = MagickCore::AcquireExceptionInfo();
    TMagickInfo() = default;
    TMagickInfo(const TMagickInfo&) = delete;
    TMagickInfo& operator=(const TMagickInfo&) = delete;
    ~TMagickInfo()
    {
        MagickCore::DestroyImageInfo(Info);
        MagickCore::DestroyExceptionInfo(Exception);
    }
    // Names the coder so that the library never guesses the format from the data.
    void SetMagick(const char* magick)
    {
        MagickCore::CopyMagickString(Info->magick, magick, MaxTextExtent);
        const std::string name = std::string(magick) + ":";
        MagickCore::CopyMagickString(Info->filename, name.c_str(), MaxTextExtent);
    }
    MagickCore::ExceptionType Severity() const { return Exception->severity; }
};

// The nearest toolkit code of a failure of the outside library.
int CodeOfSeverity(MagickCore::ExceptionType severity, bool writing)
{
    using namespace MagickCore;
    switch (severity) {
    case ResourceLimitError:
    case ResourceLimitFatalError:
    case ResourceLimitWarning:
        return TK_ErrNoMemory;
    case MissingDelegateError:
    case MissingDelegateWarning:
    case DelegateError:
        return TK_ErrFileFormat;
    case CorruptImageError:
    case CorruptImageWarning:
    case CorruptImageFatalError:
        return TK_ErrReadFile;
    case FileOpenError:
    case FileOpenWarning:
        return writing ? TK_ErrWriteFile : TK_ErrOpenFile;
    case OptionError:
        return TK_ErrParameter;
    case ImageError:
        return TK_ErrWidthHeight;
    default:
        return writing ? TK_ErrWriteFile : TK_ErrReadFile;
    }
}

// A read failed when the library reports an error, or damaged data even as a warning: a picture
// it patched up is not the one in the file.
bool ReadFailed(MagickCore::ExceptionType severity)
{
    return severity >= MagickCore::ErrorException || severity == MagickCore::CorruptImageWarning;
}

int ReadFileData(const QString& name, QByteArray& data)
{
    if (name.isEmpty())
        return TK_ErrFileName;
    const QFileInfo info(name);
    if (!info.exists())
        return TK_ErrFileNotFound;
    QFile file(name);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        return TK_ErrOpenFile;
    // Read at most one byte past the limit: a device or a growing file has no size to trust.
    const int64_t limit = ImagingLimits().MaxFileBytes;
    if (file.size() > limit)
        return TK_ErrNoMemory;
    data = file.read(limit + 1);
    if (data.size() > limit)
        return TK_ErrNoMemory;
    if (file.error() != QFileDevice::NoError)
        return TK_ErrReadFile;
    return data.isEmpty() ? TK_ErrFileFormat : TK_Success;
}

bool StartsWith(const QByteArray& d, const char* magic, int length)
{
    return d.size() >= length && std::memcmp(d.constData(), magic, size_t(length)) == 0;
}

// The library's name of the picture's format from its content (the name only for the formats
// without a signature), or the failure code.
int DetectFormat(const QByteArray& data, const QString& name, const TKFileInfo* forced, QString& magick)
{
    if (forced && (forced->Flags & TKFI_ForcedFormat)) {
        const char* m = MagickOfCode(forced->Format);
        if (!m)
            return TK_ErrFileFormat;
        magick = QLatin1String(m);
        return TK_Success;
    }
    if (StartsWith(data, "8BPS\0\1", 6)) {
        magick = QStringLiteral("PSD");
        return TK_Success;
    }
    if (StartsWith(data, "8BPS\0\2", 6)) {
        magick = QStringLiteral("PSB");
        return TK_Success;
    }
    if (StartsWith(data, "8BPS", 4))
        return TK_ErrSubType;
    // The frames of TKFMT_FRAME are read back by the toolkit only, never by the other readers.
    if (StartsWith(data, "\x59\xA6\x6A\x95", 4) && data.size() >= 32) {
        magick = QStringLiteral("SUN");
        return TK_Success;
    }
    // The animated formats are read by the toolkit only, never by the other readers.
    if (StartsWith(data, "\x8AMNG\r\n\x1A\n", 8)) {
        magick = QStringLiteral("MNG");
        return TK_Success;
    }
    if (StartsWith(data, "RIFF", 4) && data.size() >= 16 && data.mid(8, 4) == "WEBP") {
        magick = QStringLiteral("WEBP");
        return TK_Success;
    }
    magick = DetectPictureFormat(data, QLatin1Char('.') + QFileInfo(name).suffix());
    if (magick == QLatin1String("EMF"))
        return TK_ErrNotSupported; // this build of the library has no EMF coder
    return magick.isEmpty() ? TK_ErrFileFormat : TK_Success;
}

// Whether the composite's pixel data of a layered picture is all there. The library fills a
// composite cut short with blank pixels and reports nothing.
bool LayeredDataComplete(const QByteArray& d)
{
    const auto be = [&](qsizetype at, int bytes) {
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v = v << 8 | uint8_t(d[at + i]);
        return v;
    };
    if (d.size() < 26)
        return false;
    const bool large = be(4, 2) == 2;
    const uint64_t channels = be(12, 2), height = be(14, 4), width = be(18, 4), depth = be(22, 2);
    uint64_t at = 26;
    for (int section = 0; section < 3; ++section) {
        const int lengthBytes = section == 2 && large ? 8 : 4;
        if (at + uint64_t(lengthBytes) > uint64_t(d.size()))
            return false;
        at += uint64_t(lengthBytes) + be(qsizetype(at), lengthBytes);
    }
    if (at + 2 > uint64_t(d.size()))
        return false;
    const uint64_t compression = be(qsizetype(at), 2);
    at += 2;
    const uint64_t left = uint64_t(d.size()) - at;
    const uint64_t rows = channels * height;
    if (compression == 0)
        return double(left) >= double(rows) * std::ceil(double(width) * double(depth) / 8);
    if (compression != 1)
        return true; // compressed streams are checked by their decoder
    const int countBytes = large ? 4 : 2;
    if (left < rows * uint64_t(countBytes))
        return false;
    uint64_t total = 0;
    for (uint64_t row = 0; row < rows; ++row)
        total += be(qsizetype(at + row * uint64_t(countBytes)), countBytes);
    return left - rows * uint64_t(countBytes) >= total;
}

bool IsLayered(const QString& magick)
{
    return magick == QLatin1String("PSD") || magick == QLatin1String("PSB");
}

// The WMF resolution drawn metafiles are read at: the toolkit's current one, or the one a feed
// took when it started.
struct TWmfResolution {
    int32_t X = -1, Y = -1;
};

void PrepareRead(TMagickInfo& mi, const QString& magick, TWmfResolution wmf = {})
{
    mi.SetMagick(magick.toLatin1().constData());
    if (magick == QLatin1String("WMF")) {
        if (wmf.X < 0) {
            wmf.X = State().Options.WmfX;
            wmf.Y = State().Options.WmfY;
        }
        const int dpi = wmf.X > 0 ? wmf.X : 96;
        const std::string density = std::to_string(dpi) + "x" + std::to_string(wmf.Y > 0 ? wmf.Y : dpi);
        MagickCore::CloneString(&mi.Info->density, density.c_str());
    }
}

bool WithinLimits(size_t width, size_t height)
{
    const TImagingLimits& limits = ImagingLimits();
    return width <= size_t(limits.MaxSide) && height <= size_t(limits.MaxSide) &&
           int64_t(width) * int64_t(height) <= limits.MaxPixels;
}

// Every frame of the file described without its pixels. Sizes beyond the limits are refused here,
// before anything is decoded.
int PingFrames(const QByteArray& data, const QString& magick, TMagickList& out, size_t count = 0,
               TWmfResolution wmf = {})
{
    InitializeImaging();
    TMagickInfo mi;
    PrepareRead(mi, magick, wmf);
    mi.Info->number_scenes = count;
    out.Reset(MagickCore::PingBlob(mi.Info, data.constData(), size_t(data.size()), mi.Exception));
    if (ReadFailed(mi.Severity()))
        return CodeOfSeverity(mi.Severity(), false);
    if (!out.First)
        return TK_ErrFileFormat;
    for (MagickCore::Image* f = out.First; f; f = f->next) {
        if (f->columns == 0 || f->rows == 0)
            return TK_ErrWidthHeight;
        if (!WithinLimits(f->columns, f->rows))
            return TK_ErrWidthHeight;
    }
    return TK_Success;
}

// Decodes frames first .. first + count - 1 (count 0: to the end). Coders that cannot start at a
// frame return every frame of the file.
int ReadFrames(const QByteArray& data, const QString& magick, size_t first, size_t count, TMagickList& out,
               TWmfResolution wmf = {})
{
    InitializeImaging();
    TMagickInfo mi;
    PrepareRead(mi, magick, wmf);
    mi.Info->scene = first;
    mi.Info->number_scenes = count;
    out.Reset(MagickCore::BlobToImage(mi.Info, data.constData(), size_t(data.size()), mi.Exception));
    if (ReadFailed(mi.Severity()))
        return CodeOfSeverity(mi.Severity(), false);
    // Some coders (TIFF) give an empty frame for each page before the first one asked for.
    while (out.First && out.First->scene < first && (out.First->columns == 0 || out.First->rows == 0))
        MagickCore::DestroyImage(MagickCore::RemoveFirstImageFromList(&out.First));
    if (!out.First)
        return TK_ErrFileFormat;
    for (MagickCore::Image* f = out.First; f; f = f->next)
        if (f->columns == 0 || f->rows == 0 || !WithinLimits(f->columns, f->rows))
            return TK_ErrWidthHeight;
    return TK_Success;
}

int32_t RowBytesOf(int32_t width, int32_t bits)
{
    return int32_t(((int64_t(width) * bits + 31) / 32) * 4);
}

int Allocate(TKBitmap& bitmap, int32_t width, int32_t height, int32_t bits)
{
    if (width <= 0 || height <= 0)
        return TK_ErrWidthHeight;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return TK_ErrBitsPerPixel;
    if (!WithinLimits(size_t(width), size_t(height)))
        return TK_ErrNoMemory;
    const int32_t rowBytes = RowBytesOf(width, bits);
    auto pixels = std::make_shared<std::vector<uint8_t>>(size_t(rowBytes) * size_t(height), uint8_t(0));
    bitmap = TKBitmap();
    bitmap.Width = width;
    bitmap.Height = height;
    bitmap.BitsPerPixel = bits;
    bitmap.RowBytes = rowBytes;
    bitmap.Flags = TKBF_Allocated;
    bitmap.Pixels = std::move(pixels);
    if (bits <= 8) {
        // A grey ramp until the caller gives the colours.
        const uint32_t count = 1u << bits;
        bitmap.Palette.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t v = i * 255 / (count - 1);
            bitmap.Palette[i] = v | v << 8 | v << 16;
        }
    }
    return TK_Success;
}

int32_t Dpi(double value, MagickCore::ResolutionType units)
{
    if (value <= 0)
        return 0;
    if (units == MagickCore::PixelsPerCentimeterResolution)
        value *= 2.54;
    return int32_t(std::lround(std::min(value, 1.0e6)));
}

uint32_t ColorOf(const MagickCore::PixelPacket& p);

// A decoded frame as a palette bitmap of 1, 4 or 8 bits. A frame of that many colours or fewer
// keeps its palette and its indexes as the file has them; others are reduced to that many.
int FrameToPaletteBitmap(MagickCore::Image* frame, int32_t bits, TKBitmap& out)
{
    using namespace MagickCore;
    ExceptionInfo* exception = AcquireExceptionInfo();
    MagickCore::Image* reduced = nullptr;
    struct TRelease {
        ExceptionInfo* e;
        MagickCore::Image*& image;
        ~TRelease()
        {
            if (image)
                DestroyImage(image);
            DestroyExceptionInfo(e);
        }
    } release{exception, reduced};

    const size_t colours = size_t(1) << bits;
    MagickCore::Image* image = frame;
    if (frame->storage_class != PseudoClass || frame->colors == 0 || frame->colors > colours || !frame->colormap) {
        reduced = CloneImage(frame, 0, 0, MagickTrue, exception);
        if (!reduced)
            return TK_ErrNoMemory;
        if (reduced->colorspace != sRGBColorspace && reduced->colorspace != RGBColorspace &&
            reduced->colorspace != GRAYColorspace)
            TransformImageColorspace(reduced, sRGBColorspace);
        QuantizeInfo quantize;
        GetQuantizeInfo(&quantize);
        quantize.number_colors = colours;
        quantize.dither = MagickFalse;
        quantize.dither_method = NoDitherMethod;
        if (!QuantizeImage(&quantize, reduced) || reduced->storage_class != PseudoClass || !reduced->colormap)
            return TK_ErrNoMemory;
        image = reduced;
    }
    const int r = Allocate(out, int32_t(image->columns), int32_t(image->rows), bits);
    if (r != TK_Success)
        return r;
    const size_t used = std::min(size_t(image->colors), colours);
    std::fill(out.Palette.begin(), out.Palette.end(), 0u);
    for (size_t i = 0; i < used; ++i)
        out.Palette[i] = ColorOf(image->colormap[i]);
    for (int y = 0; y < out.Height; ++y) {
        const PixelPacket* pixels = GetVirtualPixels(image, 0, y, image->columns, 1, exception);
        const IndexPacket* indexes = GetVirtualIndexQueue(image);
        if (!pixels || !indexes)
            return CodeOfSeverity(exception->severity, false);
        for (int x = 0; x < out.Width; ++x)
            SetBitmapPixel(out, x, y, std::min<uint32_t>(uint32_t(GetPixelIndex(indexes + x)), uint32_t(used - 1)));
    }
    out.XResolution = Dpi(frame->x_resolution, frame->units);
    out.YResolution = Dpi(frame->y_resolution, frame->units);
    out.ViewPerspective = frame->orientation >= 1 && frame->orientation <= 8 ? int32_t(frame->orientation) : 1;
    return TK_Success;
}

// A decoded frame as a bitmap of the bits asked for (0: 32 with transparency, 24 without; 1, 4
// and 8 with a palette).
int FrameToBitmap(MagickCore::Image* frame, int32_t bits, TKBitmap& out)
{
    if (bits == 1 || bits == 4 || bits == 8)
        return FrameToPaletteBitmap(frame, bits, out);
    using namespace MagickCore;
    ExceptionInfo* exception = AcquireExceptionInfo();
    struct TRelease {
        ExceptionInfo* e;
        ~TRelease() { DestroyExceptionInfo(e); }
    } release{exception};

    if (frame->colorspace != sRGBColorspace && frame->colorspace != RGBColorspace &&
        frame->colorspace != GRAYColorspace)
        TransformImageColorspace(frame, sRGBColorspace);
    if (bits == 0)
        bits = frame->matte ? 32 : 24;
    const int r = Allocate(out, int32_t(frame->columns), int32_t(frame->rows), bits);
    if (r != TK_Success)
        return r;
    const size_t tight = size_t(out.Width) * size_t(bits / 8);
    std::vector<uint8_t> rows(tight * size_t(out.Height));
    if (!ExportImagePixels(frame, 0, 0, frame->columns, frame->rows, bits == 32 ? "BGRA" : "BGR", CharPixel,
                           rows.data(), exception))
        return CodeOfSeverity(exception->severity, false);
    // Some readers leave the alpha of a picture without one unset: such pictures are opaque.
    if (bits == 32 && !frame->matte)
        for (size_t i = 3; i < rows.size(); i += 4)
            rows[i] = 255;
    for (int y = 0; y < out.Height; ++y)
        std::memcpy(out.Row(y), rows.data() + tight * size_t(y), tight);
    out.XResolution = Dpi(frame->x_resolution, frame->units);
    out.YResolution = Dpi(frame->y_resolution, frame->units);
    out.ViewPerspective = frame->orientation >= 1 && frame->orientation <= 8 ? int32_t(frame->orientation) : 1;
    return TK_Success;
}

void CopyText(char* target, size_t size, const QByteArray& text)
{
    const size_t n = std::min(size - 1, size_t(text.size()));
    std::memcpy(target, text.constData(), n);
    target[n] = '\0';
}

uint32_t ColorOf(const MagickCore::PixelPacket& p)
{
    const auto c = [](MagickCore::Quantum q) { return uint32_t(MagickCore::ScaleQuantumToChar(q)); };
    return c(p.red) | c(p.green) << 8 | c(p.blue) << 16;
}

// The logical screen and the global colour table of a GIF, read from its header.
void ReadGifScreen(const QByteArray& d, TKFileInfo& info)
{
    if (d.size() < 13)
        return;
    const auto byte = [&](int at) { return uint32_t(uint8_t(d[at])); };
    info.ScreenWidth = int32_t(byte(6) | byte(7) << 8);
    info.ScreenHeight = int32_t(byte(8) | byte(9) << 8);
    const uint32_t packed = byte(10);
    if (!(packed & 0x80))
        return;
    const int entries = 2 << (packed & 7);
    if (d.size() < 13 + entries * 3)
        return;
    for (int i = 0; i < entries; ++i)
        info.GlobalPalette[i] = byte(13 + i * 3) | byte(14 + i * 3) << 8 | byte(15 + i * 3) << 16;
    info.Flags |= TKFI_GlobalPalette;
    const uint32_t background = byte(11);
    if (int(background) < entries) {
        info.BackgroundColor = info.GlobalPalette[background];
        info.Flags |= TKFI_Background;
    }
}

void FillInfo(const QByteArray& data, const QString& magick, const TMagickList& frames, TKFileInfo& info)
{
    const uint32_t keepSize = info.StructSize;
    info = TKFileInfo();
    info.StructSize = keepSize;
    MagickCore::Image* first = frames.First;
    const size_t count = frames.Length();
    info.Format = CodeOfMagick(magick);
    info.Width = int32_t(first->columns);
    info.Height = int32_t(first->rows);
    info.AlphaPresent = first->matte ? 1 : 0;
    if (first->storage_class == MagickCore::PseudoClass && first->colors > 0 && first->colors <= 256)
        info.BitsPerPixel = first->colors <= 2 ? 1 : first->colors <= 16 ? 4 : 8;
    else
        info.BitsPerPixel = first->matte ? 32 : 24;
    if (IsLayered(magick)) {
        info.TotalPages = 1;
        info.LayerCount = int32_t(count - 1);
    } else {
        info.TotalPages = int32_t(count);
    }
    info.Compression = int32_t(first->compression);
    info.XResolution = Dpi(first->x_resolution, first->units);
    info.YResolution = Dpi(first->y_resolution, first->units);
    info.ViewPerspective = first->orientation >= 1 && first->orientation <= 8 ? int32_t(first->orientation) : 1;
    info.ColorsUsed = int32_t(std::min<size_t>(first->colors, 1u << 24));
    info.Interlaced = first->interlace != MagickCore::NoInterlace ? 1 : 0;
    CopyText(info.FormatText, sizeof(info.FormatText), magick.toLatin1());
    info.ScreenWidth = int32_t(first->page.width ? first->page.width : first->columns);
    info.ScreenHeight = int32_t(first->page.height ? first->page.height : first->rows);
    if (magick == QLatin1String("GIF")) {
        info.Version = StartsWith(data, "GIF89a", 6) ? 89 : 87;
        ReadGifScreen(data, info);
        // The library gives 0 only when the file asks for endless looping.
        if (first->iterations == 0) {
            info.Flags |= TKFI_Loop;
            info.LoopCount = 0;
        }
    } else if (first->matte == MagickCore::MagickFalse) {
        info.BackgroundColor = ColorOf(first->background_color);
    }
}

// ---- Layered pictures ----------------------------------------------------------------------

struct TLayer {
    TKBitmap Bitmap; // 32 bits
    TKLayerInfo Info;
    int Result = TK_Success; // of reading this layer
};

// The layers of the layered picture read last, so that reading them one by one decodes the file
// once.
struct TLayerCache {
    std::mutex Lock;
    QByteArray Data;
    std::vector<TLayer> Layers;
};

TLayerCache& LayerCache()
{
    static TLayerCache cache;
    return cache;
}

// A layer the library decoded, with where it lies, its visibility and its name.
int LayerOf(MagickCore::Image* f, TLayer& layer)
{
    const int r = FrameToBitmap(f, 32, layer.Bitmap);
    if (r != TK_Success)
        return r;
    layer.Info.Left = int32_t(f->page.x);
    layer.Info.Top = int32_t(f->page.y);
    layer.Info.Width = int32_t(f->columns);
    layer.Info.Height = int32_t(f->rows);
    const char* invisible = MagickCore::GetImageArtifact(f, "psd:layer.invisible");
    layer.Info.Visible =
        f->compose == MagickCore::NoCompositeOp || (invisible && std::strcmp(invisible, "true") == 0) ? 0 : 1;
    if (const char* label = MagickCore::GetImageProperty(f, "label"))
        CopyText(layer.Info.Name, sizeof(layer.Info.Name), QByteArray(label));
    return TK_Success;
}

// One file per layer of a layered picture that holds pixels: the picture with every other layer
// taken out of its layer section. The library reads all layers of a file or none, so without
// these one layer it cannot decode would take the others with it. False when the layer section
// is not laid out as it should be.
bool SingleLayerFiles(const QByteArray& d, std::vector<QByteArray>& files)
{
    const auto size = uint64_t(d.size());
    const auto be = [&](uint64_t at, int bytes, uint64_t& v) {
        if (at + uint64_t(bytes) > size)
            return false;
        v = 0;
        for (int i = 0; i < bytes; ++i)
            v = v << 8 | uint8_t(d[qsizetype(at) + i]);
        return true;
    };
    const auto put = [](QByteArray& out, uint64_t v, int bytes) {
        for (int i = bytes - 1; i >= 0; --i)
            out.append(char(uint8_t(v >> (8 * i))));
    };
    uint64_t version = 0, v = 0;
    if (!be(4, 2, version))
        return false;
    const int lengthBytes = version == 2 ? 8 : 4;
    uint64_t at = 26;
    for (int block = 0; block < 2; ++block) { // colour mode data, image resources
        if (!be(at, 4, v))
            return false;
        at += 4 + v;
    }
    const uint64_t section = at;
    uint64_t sectionLength = 0, infoLength = 0, rawCount = 0;
    if (!be(section, lengthBytes, sectionLength) || !be(section + lengthBytes, lengthBytes, infoLength) ||
        !be(section + 2 * uint64_t(lengthBytes), 2, rawCount))
        return false;
    const uint64_t sectionEnd = section + lengthBytes + sectionLength;
    const uint64_t infoStart = section + 2 * uint64_t(lengthBytes);
    const uint64_t infoEnd = infoStart + infoLength;
    if (sectionLength > size || infoLength > sectionLength || sectionEnd > size || infoEnd > sectionEnd)
        return false;
    const auto count = int16_t(uint16_t(rawCount));
    const int layers = std::abs(int(count));
    struct TRecord {
        uint64_t Start = 0, End = 0, DataBytes = 0;
        bool Empty = false;
    };
    std::vector<TRecord> records(static_cast<size_t>(layers));
    at = infoStart + 2;
    for (TRecord& record : records) {
        record.Start = at;
        uint64_t top = 0, left = 0, bottom = 0, right = 0, channels = 0, extra = 0;
        if (!be(at, 4, top) || !be(at + 4, 4, left) || !be(at + 8, 4, bottom) || !be(at + 12, 4, right) ||
            !be(at + 16, 2, channels))
            return false;
        record.Empty = int32_t(uint32_t(bottom)) <= int32_t(uint32_t(top)) ||
                       int32_t(uint32_t(right)) <= int32_t(uint32_t(left));
        at += 18;
        for (uint64_t c = 0; c < channels; ++c) {
            if (!be(at + 2, lengthBytes, v) || v > size)
                return false;
            record.DataBytes += v;
            at += 2 + uint64_t(lengthBytes);
        }
        at += 12; // blend signature and mode, opacity, clipping, flags, filler
        if (!be(at, 4, extra))
            return false;
        at += 4 + extra;
        record.End = at;
        if (at > infoEnd || record.DataBytes > size)
            return false;
    }
    files.clear();
    for (const TRecord& record : records) {
        const uint64_t data = at;
        at += record.DataBytes;
        if (at > infoEnd)
            return false;
        if (record.Empty)
            continue; // the library lists no layer without pixels
        QByteArray info;
        put(info, count < 0 ? uint16_t(-1) : 1u, 2);
        info += d.mid(qsizetype(record.Start), qsizetype(record.End - record.Start));
        info += d.mid(qsizetype(data), qsizetype(record.DataBytes));
        if (info.size() % 2)
            info.append('\0');
        QByteArray layerSection;
        put(layerSection, uint64_t(info.size()), lengthBytes);
        layerSection += info;
        layerSection += d.mid(qsizetype(infoEnd), qsizetype(sectionEnd - infoEnd)); // the global mask and more
        QByteArray file = d.left(qsizetype(section));
        put(file, uint64_t(layerSection.size()), lengthBytes);
        file += layerSection;
        file += d.mid(qsizetype(sectionEnd)); // the composite
        files.push_back(std::move(file));
    }
    return true;
}

int DecodeLayers(const QByteArray& data, const QString& magick, std::vector<TLayer>& layers)
{
    TMagickList frames;
    int r = PingFrames(data, magick, frames);
    if (r != TK_Success)
        return r;
    int64_t pixels = 0;
    for (MagickCore::Image* f = frames.First; f; f = f->next)
        pixels += int64_t(f->columns) * int64_t(f->rows);
    if (pixels > ImagingLimits().MaxPixels * 4)
        return TK_ErrNoMemory;
    const size_t described = frames.Length() - 1;
    layers.clear();
    r = ReadFrames(data, magick, 0, 0, frames);
    if (r == TK_Success) {
        for (MagickCore::Image* f = frames.At(1); f; f = f->next) {
            TLayer layer;
            if ((r = LayerOf(f, layer)) != TK_Success)
                return r;
            layers.push_back(std::move(layer));
        }
        return TK_Success;
    }
    // The layers one by one: those that read come back, the others keep their failure.
    std::vector<QByteArray> singles;
    if (!SingleLayerFiles(data, singles) || singles.size() != described)
        return r;
    bool any = false;
    for (const QByteArray& single : singles) {
        TLayer layer;
        TMagickList one;
        layer.Result = ReadFrames(single, magick, 0, 0, one);
        if (layer.Result == TK_Success)
            layer.Result = one.Length() == 2 ? LayerOf(one.At(1), layer) : TK_ErrReadFile;
        any = any || layer.Result == TK_Success;
        layers.push_back(std::move(layer));
    }
    return any ? TK_Success : r;
}

// A picture of palette indexes in the outside library's terms: its colour map is the palette,
// so that writers keep both the colours and their order.
MagickCore::Image* IndexedImage(int w, int h, const std::vector<uint32_t>& palette,
                                const std::function<uint32_t(int, int)>& indexAt, MagickCore::ExceptionInfo* exception)
{
    using namespace MagickCore;
    ImageInfo* info = AcquireImageInfo();
    MagickCore::Image* image = AcquireImage(info);
    DestroyImageInfo(info);
    if (!image)
        return nullptr;
    if (palette.empty() || !SetImageExtent(image, size_t(w), size_t(h)) || !AcquireImageColormap(image, palette.size())) {
        DestroyImage(image);
        return nullptr;
    }
    const auto quantum = [](uint32_t v) { return Quantum((v & 0xFF) * (QuantumRange / 255.0) + 0.5); };
    for (size_t i = 0; i < palette.size(); ++i) {
        const uint32_t c = palette[i];
        image->colormap[i].red = quantum(c);
        image->colormap[i].green = quantum(c >> 8);
        image->colormap[i].blue = quantum(c >> 16);
        image->colormap[i].opacity = OpaqueOpacity;
    }
    const uint32_t last = uint32_t(palette.size() - 1);
    for (int y = 0; y < h; ++y) {
        PixelPacket* q = QueueAuthenticPixels(image, 0, y, size_t(w), 1, exception);
        IndexPacket* indexes = GetAuthenticIndexQueue(image);
        if (!q || !indexes) {
            DestroyImage(image);
            return nullptr;
        }
        for (int x = 0; x < w; ++x) {
            const uint32_t index = std::min(indexAt(x, y), last);
            SetPixelIndex(indexes + x, index);
            q[x] = image->colormap[index];
        }
        if (!SyncAuthenticPixels(image, exception)) {
            DestroyImage(image);
            return nullptr;
        }
    }
    return image;
}

// A bitmap as the outside library's picture at the bits of a save: 24-bit targets get
// transparency over white; targets of 8 bits or fewer get a colour map, the bitmap's own palette
// when it has one that fits, else the bitmap's colours reduced to that many.
MagickCore::Image* ToMagick(const TKBitmap& bitmap, int targetBits, MagickCore::ExceptionInfo* exception)
{
    const int w = bitmap.Width, h = bitmap.Height;
    MagickCore::Image* image = nullptr;
    if (targetBits <= 8 && bitmap.BitsPerPixel <= targetBits) {
        std::vector<uint32_t> palette(size_t(1) << targetBits, 0u);
        std::copy_n(bitmap.Palette.begin(), std::min(palette.size(), bitmap.Palette.size()), palette.begin());
        image = IndexedImage(w, h, palette, [&](int x, int y) { return BitmapPixel(bitmap, x, y); }, exception);
    } else {
        const bool withAlpha = targetBits != 24;
        const int outBytes = withAlpha ? 4 : 3;
        std::vector<uint8_t> tight(size_t(w) * size_t(h) * size_t(outBytes));
        uint8_t* out = tight.data();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint32_t c = BitmapColour(bitmap, x, y);
                const uint8_t b = uint8_t(c), g = uint8_t(c >> 8), r = uint8_t(c >> 16), a = uint8_t(c >> 24);
                if (withAlpha) {
                    *out++ = b;
                    *out++ = g;
                    *out++ = r;
                    *out++ = a;
                } else {
                    const auto over = [a](uint8_t v) { return uint8_t((v * a + 255 * (255 - a) + 127) / 255); };
                    *out++ = over(b);
                    *out++ = over(g);
                    *out++ = over(r);
                }
            }
        image = MagickCore::ConstituteImage(size_t(w), size_t(h), withAlpha ? "BGRA" : "BGR", MagickCore::CharPixel,
                                            tight.data(), exception);
        if (image && targetBits <= 8) {
            MagickCore::QuantizeInfo quantize;
            MagickCore::GetQuantizeInfo(&quantize);
            quantize.number_colors = size_t(1) << targetBits;
            quantize.dither = MagickCore::MagickFalse;
            quantize.dither_method = MagickCore::NoDitherMethod;
            if (!MagickCore::QuantizeImage(&quantize, image)) {
                MagickCore::DestroyImage(image);
                image = nullptr;
            }
        }
    }
    if (image && bitmap.XResolution > 0 && bitmap.YResolution > 0) {
        image->x_resolution = bitmap.XResolution;
        image->y_resolution = bitmap.YResolution;
        image->units = MagickCore::PixelsPerInchResolution;
    }
    return image;
}

// The palette index of the transparent colour of a GIF frame, -1 for none: the last graphic
// control block before the frame decides, as the GIF reader reads it.
int TransparentIndexOf(const TGIFFrame& frame)
{
    int index = -1;
    for (const auto& ext : frame.Extensions()) {
        if (ext->ExtType != etGraphic || ext->ExtRec.size() < 6)
            continue;
        const auto* rec = reinterpret_cast<const uint8_t*>(ext->ExtRec.constData());
        index = (rec[1] & 1) ? rec[4] : -1;
    }
    return index;
}

// A GIF read by the program's own GIF reader, frame by frame as the library gives them: each at
// its own size and place on the screen, its colour table the frame's (with the reader's grey for
// indexes past its end) and its transparent index transparent. The library refuses GIFs that
// reader opens (damaged data it will not patch up, codes past the colour table, frames of no
// size), and the toolkit loads every GIF the program shows. A frame without pixels is a single
// transparent pixel, so that the pages stay those of the file.
int OwnGifFrames(const QByteArray& data, TMagickList& out)
{
    InitializeImaging();
    TGIFImage gif;
    try {
        TMemoryStream stream(data);
        gif.LoadFromStream(&stream);
    } catch (const Exception&) {
        return TK_ErrReadFile;
    }
    if (gif.GetCount() == 0)
        return TK_ErrReadFile;
    // As a load of every page may take: the frames are decoded all at once.
    int64_t pixels = 0;
    for (int i = 0; i < gif.GetCount(); ++i) {
        const auto& item = gif.GetFrame(i)->ImageData();
        const int w = item ? item->Width : 0, h = item ? item->Height : 0;
        if (!WithinLimits(size_t(std::max(w, 0)), size_t(std::max(h, 0))))
            return TK_ErrWidthHeight;
        pixels += int64_t(std::max(w, 1)) * int64_t(std::max(h, 1));
    }
    if (pixels > ImagingLimits().MaxPixels * 4)
        return TK_ErrNoMemory;
    MagickCore::ExceptionInfo* exception = MagickCore::AcquireExceptionInfo();
    struct TRelease {
        MagickCore::ExceptionInfo* e;
        ~TRelease() { MagickCore::DestroyExceptionInfo(e); }
    } release{exception};
    TMagickList frames;
    for (int i = 0; i < gif.GetCount(); ++i) {
        TGIFFrame* frame = gif.GetFrame(i);
        const TGIFItem* item = frame->ImageData().get();
        std::unique_ptr<TBitmap> bitmap;
        if (item && item->Width > 0 && item->Height > 0) {
            try {
                bitmap = frame->DecodeToBitmap();
            } catch (const Exception&) {
                return TK_ErrReadFile;
            }
        }
        const bool empty = !bitmap || bitmap->Width() != item->Width || bitmap->Height() != item->Height;
        const int w = empty ? 1 : item->Width, h = empty ? 1 : item->Height;
        const int bits = empty ? 8 : bitmap->BitsPerPixel();
        const auto indexAt = [&](int x, int y) -> uint32_t {
            if (empty)
                return 0;
            const uint8_t* row = bitmap->ScanLine(y);
            return bits == 8   ? row[x]
                   : bits == 4 ? (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F
                               : (row[x / 8] >> (7 - x % 8)) & 1;
        };
        // The table as the library keeps it, as long as the indexes used need.
        const TPaletteEntries& entries = empty ? TPaletteEntries{0} : bitmap->Palette(); // 0x..RRGGBB
        size_t used = empty ? 1 : size_t(std::clamp(item->ColorMap.Count, 1, int(entries.size())));
        for (int y = 0; y < h && !empty; ++y)
            for (int x = 0; x < w; ++x)
                used = std::max(used, size_t(indexAt(x, y)) + 1);
        std::vector<uint32_t> palette(used);
        for (size_t k = 0; k < used; ++k) {
            const uint32_t c = k < entries.size() ? entries[k] : 0x808080;
            palette[k] = (c >> 16 & 0xFF) | (c & 0xFF00) | (c & 0xFF) << 16;
        }
        MagickCore::Image* image = IndexedImage(w, h, palette, indexAt, exception);
        if (!image)
            return TK_ErrNoMemory;
        const int transparent = empty ? 0 : TransparentIndexOf(*frame);
        if (transparent >= 0 && size_t(transparent) < used) {
            using MagickCore::Quantum;
            image->colormap[transparent].opacity = TransparentOpacity;
            image->matte = MagickCore::MagickTrue;
            MagickCore::SyncImage(image);
        }
        image->page.x = empty ? 0 : frame->Origin().X;
        image->page.y = empty ? 0 : frame->Origin().Y;
        image->page.width = size_t(gif.GetScreenWidth());
        image->page.height = size_t(gif.GetScreenHeight());
        image->iterations = gif.Looping ? gif.RepeatCount : 1;
        image->delay = frame->Delay() / 10;
        MagickCore::AppendImageToList(&frames.First, image);
    }
    out.Reset(frames.First);
    frames.First = nullptr;
    return TK_Success;
}

bool Opaque(const TKBitmap& bitmap)
{
    if (bitmap.BitsPerPixel != 32)
        return true;
    for (int y = 0; y < bitmap.Height; ++y)
        for (int x = 0; x < bitmap.Width; ++x)
            if (bitmap.Row(y)[x * 4 + 3] != 255)
                return false;
    return true;
}

// A bitmap written in the given palette: a palette bitmap whose palette begins the given one keeps
// its indexes, other pixels take the nearest colour.
MagickCore::Image* InPalette(const TKBitmap& bitmap, const std::vector<uint32_t>& palette,
                             MagickCore::ExceptionInfo* exception)
{
    const bool same = bitmap.BitsPerPixel <= 8 && bitmap.Palette.size() <= palette.size() &&
                      std::equal(bitmap.Palette.begin(), bitmap.Palette.end(), palette.begin());
    std::map<uint32_t, uint32_t> nearest;
    const auto indexAt = [&](int x, int y) -> uint32_t {
        if (same)
            return BitmapPixel(bitmap, x, y);
        const uint32_t c = BitmapColour(bitmap, x, y) & 0xFFFFFF; // 0x00RRGGBB
        const auto found = nearest.find(c);
        if (found != nearest.end())
            return found->second;
        const uint32_t best = NearestPaletteEntry(palette, c);
        nearest.emplace(c, best);
        return best;
    };
    return IndexedImage(bitmap.Width, bitmap.Height, palette, indexAt, exception);
}

// Asks the status callback; false when it stops the work.
bool ReportStatus(int32_t percent)
{
    const TKStatusCallback status = State().Status;
    return !status || status(percent) != 0;
}

// Encodes the list in memory; a quality above 0 is the encoder's.
int EncodeFrames(TMagickList& frames, const char* magick, QByteArray& bytes, size_t quality = 0)
{
    if (!ReportStatus(0))
        return TK_ErrUserAbort;
    TMagickInfo mi;
    mi.SetMagick(magick);
    mi.Info->adjoin = MagickCore::MagickTrue;
    if (quality > 0)
        mi.Info->quality = quality;
    // The library writes palette DIBs run-length encoded by default, a form its own reader
    // refuses; they are written plain.
    const bool plain = std::strcmp(magick, "DIB") == 0;
    if (plain)
        mi.Info->compression = MagickCore::NoCompression;
    // WebP is written lossless: the toolkit's quality factor is no WebP quality, and pictures of
    // icons must keep their pixels.
    if (std::strcmp(magick, "WEBP") == 0)
        MagickCore::SetImageOption(mi.Info, "webp:lossless", "true");
    for (MagickCore::Image* f = frames.First; f; f = f->next) {
        MagickCore::CopyMagickString(f->magick, magick, MaxTextExtent);
        if (quality > 0)
            f->quality = quality;
        if (plain)
            f->compression = MagickCore::NoCompression;
    }
    size_t length = 0;
    unsigned char* blob = MagickCore::ImagesToBlob(mi.Info, frames.First, &length, mi.Exception);
    if (!blob || length == 0 || mi.Severity() >= MagickCore::ErrorException) {
        if (blob)
            MagickCore::RelinquishMagickMemory(blob);
        return CodeOfSeverity(mi.Severity(), true);
    }
    bytes = QByteArray(reinterpret_cast<const char*>(blob), qsizetype(length));
    MagickCore::RelinquishMagickMemory(blob);
    if (!ReportStatus(100))
        return TK_ErrUserAbort;
    return TK_Success;
}

// Replaces the file with bytes in one step.
int WriteBytes(const QString& name, const QByteArray& bytes)
{
    try {
        TMemoryStream(bytes).SaveToFile(name);
    } catch (const Exception&) {
        return TK_ErrWriteFile;
    }
    return TK_Success;
}

// Encodes the list in memory and replaces the file with it in one step.
int WriteFrames(const QString& name, TMagickList& frames, const char* magick)
{
    QByteArray bytes;
    const int r = EncodeFrames(frames, magick, bytes);
    if (r != TK_Success)
        return r;
    return WriteBytes(name, bytes);
}

// Whether the options ask for a page among those of the file there rather than a new file: page
// 2 appends, the insert and replace flags take the page number the options give.
bool PageSave(const TKSaveOptions* options)
{
    return options && ((options->Flags & (TKSO_InsertPage | TKSO_ReplacePage)) || options->PageNumber > 1);
}

// Saves that write a new file, or the bytes of one: a page among others has nowhere to go.
int CheckSave(const QString& name, const TKSaveOptions* options)
{
    if (name.isEmpty())
        return TK_ErrFileName;
    return PageSave(options) ? TK_ErrNotSupported : TK_Success;
}

// Turns the picture as a view perspective shows it: the pixel the view shows at (x, y) of a
// width x height view, in stored coordinates.
void SourceOf(int perspective, int w, int h, int x, int y, int& sx, int& sy)
{
    switch (perspective) {
    case 2: sx = w - 1 - x; sy = y; break;
    case 3: sx = w - 1 - x; sy = h - 1 - y; break;
    case 4: sx = x; sy = h - 1 - y; break;
    case 5: sx = y; sy = x; break;
    case 6: sx = y; sy = h - 1 - x; break;
    case 7: sx = w - 1 - y; sy = h - 1 - x; break;
    case 8: sx = w - 1 - y; sy = x; break;
    default: sx = x; sy = y; break;
    }
}

} // namespace

QString ToolkitFormatName(const QByteArray& data, const QString& name)
{
    QString magick;
    return DetectFormat(data, name, nullptr, magick) == TK_Success ? magick : QString();
}

// ---- Version -------------------------------------------------------------------------------

int TK_VersionInfo(TKVersionInfo* info)
{
    if (!info)
        return TK_ErrParameter;
    *info = TKVersionInfo();
    CopyText(info->Product, sizeof(info->Product), QByteArrayLiteral("Imaging toolkit"));
    CopyText(info->Copyright, sizeof(info->Copyright), QByteArray(MagickCore::GetMagickCopyright()));
    size_t version = 0;
    MagickCore::GetMagickVersion(&version);
    info->Major = int32_t(version >> 8 & 0xF);
    info->Minor = int32_t(version >> 4 & 0xF);
    info->Build = int32_t(version & 0xF);
    return TK_Success;
}

// ---- Bitmaps -------------------------------------------------------------------------------

int TK_InitBitmap(TKBitmap* bitmap)
{
    if (!bitmap)
        return TK_ErrParameter;
    *bitmap = TKBitmap();
    return TK_Success;
}

int TK_AllocateBitmap(TKBitmap* bitmap, int32_t width, int32_t height, int32_t bits)
{
    if (!bitmap)
        return TK_ErrParameter;
    return Allocate(*bitmap, width, height, bits);
}

int TK_FreeBitmap(TKBitmap* bitmap)
{
    if (!bitmap)
        return TK_ErrParameter;
    *bitmap = TKBitmap();
    return TK_Success;
}

int TK_CopyBitmap(const TKBitmap* source, TKBitmap* target)
{
    if (!target)
        return TK_ErrParameter;
    if (!IsBitmapAllocated(source) || !source->Pixels)
        return TK_ErrBitmapHandle;
    TKBitmap copy = *source;
    copy.Pixels = std::make_shared<std::vector<uint8_t>>(*source->Pixels);
    *target = std::move(copy);
    return TK_Success;
}

int TK_SizeBitmap(TKBitmap* bitmap, int32_t width, int32_t height)
{
    if (!IsBitmapAllocated(bitmap) || !bitmap->Pixels)
        return TK_ErrBitmapHandle;
    if (width == bitmap->Width && height == bitmap->Height)
        return TK_Success;
    TKBitmap sized;
    int r = Allocate(sized, width, height, bitmap->BitsPerPixel);
    if (r != TK_Success)
        return r;
    if (bitmap->BitsPerPixel <= 8) {
        // Indexes are not blended: each pixel takes its nearest source pixel.
        sized.Palette = bitmap->Palette;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                SetBitmapPixel(sized, x, y,
                               BitmapPixel(*bitmap, int(int64_t(x) * bitmap->Width / width),
                                           int(int64_t(y) * bitmap->Height / height)));
    } else {
        const bool alpha = bitmap->BitsPerPixel == 32;
        const QImage::Format format = alpha ? QImage::Format_ARGB32 : QImage::Format_BGR888;
        const QImage from(bitmap->Row(0), bitmap->Width, bitmap->Height, bitmap->RowBytes, format);
        const QImage to =
            from.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(format);
        const size_t bytes = size_t(width) * size_t(bitmap->BitsPerPixel / 8);
        for (int y = 0; y < height; ++y)
            std::memcpy(sized.Row(y), to.constScanLine(y), bytes);
    }
    sized.Flags = bitmap->Flags;
    sized.ViewPerspective = bitmap->ViewPerspective;
    sized.XResolution = bitmap->XResolution;
    sized.YResolution = bitmap->YResolution;
    sized.TransparentColor = bitmap->TransparentColor;
    *bitmap = std::move(sized);
    return TK_Success;
}

int TK_GetBitmapRow(const TKBitmap* bitmap, int32_t row, uint8_t* buffer, int32_t bufferSize)
{
    if (!IsBitmapAllocated(bitmap) || !bitmap->Pixels)
        return TK_ErrBitmapHandle;
    if (!buffer || row < 0 || row >= bitmap->Height || bufferSize < 0)
        return TK_ErrParameter;
    const int32_t n = std::min(bufferSize, bitmap->RowBytes);
    std::memcpy(buffer, bitmap->Row(row), size_t(n));
    return n;
}

int TK_ChangeBitmapViewPerspective(TKBitmap* bitmap, int32_t perspective)
{
    if (!IsBitmapAllocated(bitmap) || !bitmap->Pixels)
        return TK_ErrBitmapHandle;
    if (perspective < 1 || perspective > 8 || bitmap->ViewPerspective < 1 || bitmap->ViewPerspective > 8)
        return TK_ErrParameter;
    if (perspective == bitmap->ViewPerspective)
        return TK_Success;
    // The picture as shown stays; the pixels are stored anew so that the new perspective shows it.
    const int viewWidth = BitmapViewWidth(*bitmap), viewHeight = BitmapViewHeight(*bitmap);
    const bool transposed = perspective >= 5;
    TKBitmap turned;
    const int r = Allocate(turned, transposed ? viewHeight : viewWidth, transposed ? viewWidth : viewHeight,
                           bitmap->BitsPerPixel);
    if (r != TK_Success)
        return r;
    for (int y = 0; y < viewHeight; ++y)
        for (int x = 0; x < viewWidth; ++x) {
            int fromX = 0, fromY = 0, toX = 0, toY = 0;
            SourceOf(bitmap->ViewPerspective, bitmap->Width, bitmap->Height, x, y, fromX, fromY);
            SourceOf(perspective, turned.Width, turned.Height, x, y, toX, toY);
            SetBitmapPixel(turned, toX, toY, BitmapPixel(*bitmap, fromX, fromY));
        }
    const bool swapped = IsViewTransposed(*bitmap) != transposed;
    turned.Flags = bitmap->Flags;
    turned.XResolution = swapped ? bitmap->YResolution : bitmap->XResolution;
    turned.YResolution = swapped ? bitmap->XResolution : bitmap->YResolution;
    turned.TransparentColor = bitmap->TransparentColor;
    turned.Palette = bitmap->Palette;
    turned.ViewPerspective = perspective;
    *bitmap = std::move(turned);
    return TK_Success;
}

int TK_PointToBitmap(const TKBitmap* bitmap, int32_t* x, int32_t* y)
{
    if (!bitmap || !x || !y)
        return TK_ErrParameter;
    int sx = *x, sy = *y;
    SourceOf(bitmap->ViewPerspective, bitmap->Width, bitmap->Height, *x, *y, sx, sy);
    *x = sx;
    *y = sy;
    return TK_Success;
}

int TK_AccessBitmap(TKBitmap* bitmap)
{
    return IsBitmapAllocated(bitmap) ? TK_Success : TK_ErrBitmapHandle;
}

int TK_ReleaseBitmap(TKBitmap* bitmap)
{
    return IsBitmapAllocated(bitmap) ? TK_Success : TK_ErrBitmapHandle;
}

// ---- Bitmap lists --------------------------------------------------------------------------

int TK_CreateBitmapList(TKBitmapList* list)
{
    if (!list)
        return TK_ErrParameter;
    TState& s = State();
    std::lock_guard<std::mutex> lock(s.Lock);
    const TKBitmapList handle = s.NextList++;
    if (s.NextList == 0)
        s.NextList = 1;
    s.Lists[handle];
    *list = handle;
    return TK_Success;
}

int TK_DestroyBitmapList(TKBitmapList list)
{
    TState& s = State();
    std::lock_guard<std::mutex> lock(s.Lock);
    return s.Lists.erase(list) ? TK_Success : TK_ErrBitmapHandle;
}

int TK_GetBitmapListCount(TKBitmapList list, int32_t* count)
{
    std::lock_guard<std::mutex> lock(State().Lock);
    const auto* items = FindList(list);
    if (!items)
        return TK_ErrBitmapHandle;
    if (!count)
        return TK_ErrParameter;
    *count = int32_t(items->size());
    return TK_Success;
}

int TK_GetBitmapListItem(TKBitmapList list, int32_t index, TKBitmap* item)
{
    std::lock_guard<std::mutex> lock(State().Lock);
    const auto* items = FindList(list);
    if (!items)
        return TK_ErrBitmapHandle;
    if (!item || index < 0 || size_t(index) >= items->size())
        return TK_ErrParameter;
    *item = (*items)[size_t(index)];
    return TK_Success;
}

int TK_InsertBitmapListItem(TKBitmapList list, int32_t index, const TKBitmap* item)
{
    std::lock_guard<std::mutex> lock(State().Lock);
    auto* items = FindList(list);
    if (!items)
        return TK_ErrBitmapHandle;
    if (!IsBitmapAllocated(item))
        return TK_ErrBitmapHandle;
    if (index < -1 || index > int32_t(items->size()))
        return TK_ErrParameter;
    if (index == -1)
        items->push_back(*item);
    else
        items->insert(items->begin() + index, *item);
    return TK_Success;
}

int TK_RemoveBitmapListItem(TKBitmapList list, int32_t index, TKBitmap* item)
{
    std::lock_guard<std::mutex> lock(State().Lock);
    auto* items = FindList(list);
    if (!items)
        return TK_ErrBitmapHandle;
    if (!item || index < 0 || size_t(index) >= items->size())
        return TK_ErrParameter;
    *item = std::move((*items)[size_t(index)]);
    items->erase(items->begin() + index);
    return TK_Success;
}

int TK_SetBitmapListItem(TKBitmapList list, int32_t index, const TKBitmap* item)
{
    std::lock_guard<std::mutex> lock(State().Lock);
    auto* items = FindList(list);
    if (!items)
        return TK_ErrBitmapHandle;
    if (!IsBitmapAllocated(item))
        return TK_ErrBitmapHandle;
    if (index < 0 || size_t(index) >= items->size())
        return TK_ErrParameter;
    (*items)[size_t(index)] = *item;
    return TK_Success;
}

int TK_DeleteBitmapListItems(TKBitmapList list, int32_t index, int32_t count)
{
    std::lock_guard<std::mutex> lock(State().Lock);
    auto* items = FindList(list);
    if (!items)
        return TK_ErrBitmapHandle;
    if (index < 0 || count < 0 || int64_t(index) + count > int64_t(items->size()))
        return TK_ErrParameter;
    items->erase(items->begin() + index, items->begin() + index + count);
    return TK_Success;
}

int TK_CopyBitmapListItems(TKBitmapList target, TKBitmapList source, int32_t index, int32_t count)
{
    std::lock_guard<std::mutex> lock(State().Lock);
    auto* to = FindList(target);
    const auto* from = FindList(source);
    if (!to || !from)
        return TK_ErrBitmapHandle;
    if (count == -1)
        count = int32_t(from->size()) - index;
    if (index < 0 || count < 0 || int64_t(index) + count > int64_t(from->size()))
        return TK_ErrParameter;
    std::vector<TKBitmap> copies;
    for (int32_t i = index; i < index + count; ++i) {
        const TKBitmap& item = (*from)[size_t(i)];
        TKBitmap copy = item;
        copy.Pixels = std::make_shared<std::vector<uint8_t>>(*item.Pixels);
        copies.push_back(std::move(copy));
    }
    to->insert(to->end(), copies.begin(), copies.end());
    return TK_Success;
}

// ---- Options -------------------------------------------------------------------------------

int TK_GetDefaultLoadFileOption(TKLoadOptions* options)
{
    if (!options)
        return TK_ErrParameter;
    *options = TKLoadOptions();
    return TK_Success;
}

int TK_GetDefaultSaveFileOption(TKSaveOptions* options)
{
    if (!options)
        return TK_ErrParameter;
    *options = TKSaveOptions();
    return TK_Success;
}

namespace {

template <class T>
int GetOption(T* target, const T& value)
{
    if (!target)
        return TK_ErrParameter;
    std::lock_guard<std::mutex> lock(State().Lock);
    *target = value;
    return TK_Success;
}

template <class T>
int SetOption(T& target, const T* value)
{
    if (!value || value->StructSize != sizeof(T))
        return TK_ErrParameter;
    std::lock_guard<std::mutex> lock(State().Lock);
    target = *value;
    return TK_Success;
}

} // namespace

int TK_GetPDFOptions(TKPDFOptions* options) { return GetOption(options, State().Options.Pdf); }
int TK_SetPDFOptions(const TKPDFOptions* options) { return SetOption(State().Options.Pdf, options); }
int TK_GetRTFOptions(TKRTFOptions* options) { return GetOption(options, State().Options.Rtf); }
int TK_SetRTFOptions(const TKRTFOptions* options) { return SetOption(State().Options.Rtf, options); }
int TK_GetPLTOptions(TKPLTOptions* options) { return GetOption(options, State().Options.Plt); }
int TK_SetPLTOptions(const TKPLTOptions* options) { return SetOption(State().Options.Plt, options); }
int TK_GetPTKOptions(TKPTKOptions* options) { return GetOption(options, State().Options.Ptk); }
int TK_SetPTKOptions(const TKPTKOptions* options) { return SetOption(State().Options.Ptk, options); }
int TK_GetJ2KOptions(TKJ2KOptions* options) { return GetOption(options, State().Options.J2k); }
int TK_SetJ2KOptions(const TKJ2KOptions* options) { return SetOption(State().Options.J2k, options); }
int TK_GetPDFSaveOptions(TKPDFSaveOptions* options) { return GetOption(options, State().Options.PdfSave); }
int TK_SetPDFSaveOptions(const TKPDFSaveOptions* options) { return SetOption(State().Options.PdfSave, options); }

int TK_Get2DViewMode(int32_t* mode)
{
    return GetOption(mode, State().Options.ViewMode2D);
}

int TK_Set2DViewMode(int32_t mode)
{
    if (mode < 0 || mode > 3)
        return TK_ErrParameter;
    std::lock_guard<std::mutex> lock(State().Lock);
    State().Options.ViewMode2D = mode;
    return TK_Success;
}

int TK_Get2DViewport(int32_t* width, int32_t* height)
{
    if (!width || !height)
        return TK_ErrParameter;
    std::lock_guard<std::mutex> lock(State().Lock);
    *width = State().Options.ViewportWidth;
    *height = State().Options.ViewportHeight;
    return TK_Success;
}

int TK_Set2DViewport(int32_t width, int32_t height)
{
    if (width < 0 || height < 0)
        return TK_ErrParameter;
    std::lock_guard<std::mutex> lock(State().Lock);
    State().Options.ViewportWidth = width;
    State().Options.ViewportHeight = height;
    return TK_Success;
}

int TK_GetWMFResolution(int32_t* x, int32_t* y)
{
    if (!x || !y)
        return TK_ErrParameter;
    std::lock_guard<std::mutex> lock(State().Lock);
    *x = State().Options.WmfX;
    *y = State().Options.WmfY;
    return TK_Success;
}

int TK_SetWMFResolution(int32_t x, int32_t y)
{
    if (x < 0 || y < 0 || x > 4800 || y > 4800)
        return TK_ErrParameter;
    std::lock_guard<std::mutex> lock(State().Lock);
    State().Options.WmfX = x;
    State().Options.WmfY = y;
    return TK_Success;
}

int TK_GetCADColorScheme(int32_t* scheme)
{
    return GetOption(scheme, State().Options.CadColorScheme);
}

int TK_SetCADColorScheme(int32_t scheme)
{
    std::lock_guard<std::mutex> lock(State().Lock);
    State().Options.CadColorScheme = scheme;
    return TK_Success;
}

TKStatusCallback TK_SetStatusCallBack(TKStatusCallback callback)
{
    return std::exchange(State().Status, callback);
}

TKLoadInfoCallback TK_SetLoadInfoCallback(TKLoadInfoCallback callback)
{
    return std::exchange(State().LoadInfo, callback);
}

bool ToolkitStatus(int32_t percent)
{
    return ReportStatus(percent);
}

// ---- Files ---------------------------------------------------------------------------------

namespace {

// Names the format of a picture in memory and describes its frames. name only lends its extension
// to the formats without a signature.
int DescribeData(const QByteArray& data, const QString& name, const TKFileInfo* forced, QString& magick,
                 TMagickList& frames)
{
    int r = DetectFormat(data, name, forced, magick);
    if (r != TK_Success)
        return r;
    if (magick == QLatin1String("PNM")) {
        // The library's probe of this format loses memory; it is decoded (one page) instead.
        return ReadFrames(data, magick, 0, 1, frames);
    }
    r = PingFrames(data, magick, frames);
    if (r != TK_Success && magick == QLatin1String("GIF"))
        r = OwnGifFrames(data, frames);
    return r;
}

// Decodes the frames a load asks for; a GIF whose pages the library described but cannot decode
// is read whole by the program's own reader, which must find the pages described.
int ReadAskedFrames(const QByteArray& data, const QString& magick, size_t first, size_t count, size_t pages,
                    TMagickList& frames, TWmfResolution wmf = {})
{
    int r = ReadFrames(data, magick, first, count, frames, wmf);
    if (r != TK_Success && magick == QLatin1String("GIF") && OwnGifFrames(data, frames) == TK_Success)
        r = frames.Length() == pages ? TK_Success : TK_ErrReadFile;
    return r;
}

// Reads the file, names its format and describes its frames.
int Describe(const QString& name, const TKFileInfo* forced, QByteArray& data, QString& magick, TMagickList& frames)
{
    const int r = ReadFileData(name, data);
    if (r != TK_Success)
        return r;
    return DescribeData(data, name, forced, magick, frames);
}

// Bytes handed over in memory, as a file's would be read: within the size limit, not empty.
int TakeMemory(const void* memory, int64_t size, QByteArray& data)
{
    if (!memory || size < 0)
        return TK_ErrParameter;
    if (size > ImagingLimits().MaxFileBytes)
        return TK_ErrNoMemory;
    if (size == 0)
        return TK_ErrFileFormat;
    data = QByteArray(static_cast<const char*>(memory), qsizetype(size));
    return TK_Success;
}

// The encoder of a save format at the bits of the save.
const char* EncoderOf(const TSaveFormat& format, int32_t bits)
{
    if (format.Code == TKFMT_DATA)
        return bits == 32 ? "PNG32" : "PNG24";
    if (format.Code == TKFMT_BMP && bits != 32)
        return "BMP3"; // the classic header every reader takes; only alpha needs the later one
    return format.Magick;
}

// The quality JPEG is written at, or the failure code.
int JpegQuality(int32_t quality, size_t& out)
{
    if (quality > 100)
        return TK_ErrQFactor;
    out = quality > 0 ? size_t(quality) : 75;
    return TK_Success;
}

// A placeable metafile of the bitmap, by our own writer: the library writes none.
int EncodeMetafile(const TKBitmap& bitmap, QByteArray& bytes)
{
    if (!ReportStatus(0))
        return TK_ErrUserAbort;
    TRGBABuffer picture;
    picture.Width = bitmap.Width;
    picture.Height = bitmap.Height;
    picture.Pixels.resize(size_t(bitmap.Width) * size_t(bitmap.Height) * 4);
    uint8_t* out = picture.Pixels.data();
    for (int y = 0; y < bitmap.Height; ++y)
        for (int x = 0; x < bitmap.Width; ++x, out += 4) {
            const uint32_t c = BitmapColour(bitmap, x, y);
            out[0] = uint8_t(c >> 16);
            out[1] = uint8_t(c >> 8);
            out[2] = uint8_t(c);
            out[3] = uint8_t(c >> 24);
        }
    bytes = WriteWmf(picture);
    if (bytes.isEmpty())
        return TK_ErrWidthHeight;
    return ReportStatus(100) ? TK_Success : TK_ErrUserAbort;
}

// The library writes cursors as icons: the directory's type becomes a cursor's, and each entry's
// planes and bit count, which a cursor reads as its hot spot, become (0, 0).
void MarkCursor(QByteArray& bytes)
{
    if (bytes.size() < 6)
        return;
    bytes[2] = 2;
    bytes[3] = 0;
    const int count = uint8_t(bytes[4]) | uint8_t(bytes[5]) << 8;
    for (int i = 0; i < count && 6 + 16 * (i + 1) <= bytes.size(); ++i)
        std::fill_n(bytes.begin() + 6 + 16 * i + 4, 4, '\0');
}

// A bitmap encoded as a save of format and bits writes it; bits 0 asks for the bitmap's own.
int EncodeBitmap(const TKBitmap& bitmap, int32_t format, int32_t bits, int32_t quality, QByteArray& bytes)
{
    const TSaveFormat* save = nullptr;
    int r = FindSaveFormat(format, bits, bitmap.BitsPerPixel, save);
    if (r != TK_Success)
        return r;
    size_t jpegQuality = 0;
    if (format == TKFMT_JPEG && (r = JpegQuality(quality, jpegQuality)) != TK_Success)
        return r;
    if (format == TKFMT_WMF)
        return EncodeMetafile(bitmap, bytes);
    const TKBitmap* source = &bitmap;
    TKBitmap sized;
    if (format == TKFMT_FRAME && (bitmap.Width != TKFRAME_Width || bitmap.Height != TKFRAME_Height)) {
        r = TK_CopyBitmap(&bitmap, &sized);
        if (r == TK_Success)
            r = TK_SizeBitmap(&sized, TKFRAME_Width, TKFRAME_Height);
        if (r != TK_Success)
            return r;
        source = &sized;
    }
    InitializeImaging();
    TMagickInfo mi;
    TMagickList frames;
    // The GIF writer reduces other pictures itself, keeping their transparency.
    const int magickBits = format == TKFMT_GIF && source->BitsPerPixel > 8 ? 32 : bits;
    frames.Reset(ToMagick(*source, magickBits, mi.Exception));
    if (!frames.First)
        return CodeOfSeverity(mi.Severity(), true);
    r = EncodeFrames(frames, EncoderOf(*save, bits), bytes, jpegQuality);
    if (r == TK_Success && format == TKFMT_CUR)
        MarkCursor(bytes);
    return r;
}

// Pages `page` (from 1) onward of described frames: `count` of them (0 all), refused when they
// hold more pixels than a load may take.
int CheckPages(const QString& magick, const TMagickList& frames, size_t page, size_t& count)
{
    const size_t pages = IsLayered(magick) ? 1 : frames.Length();
    if (page > pages)
        return -309; // "Invalid page number."
    if (count == 0 || count > pages - page + 1)
        count = pages - page + 1;
    int64_t pixels = 0;
    for (size_t i = page - 1; i < page - 1 + count; ++i)
        pixels += int64_t(frames.At(i)->columns) * int64_t(frames.At(i)->rows);
    if (pixels > ImagingLimits().MaxPixels * 4)
        return TK_ErrNoMemory;
    return TK_Success;
}

// Frames taken out of a list, freed unless they go back into one.
struct TLooseFrames {
    std::vector<MagickCore::Image*> Items;
    TLooseFrames() = default;
    TLooseFrames(const TLooseFrames&) = delete;
    TLooseFrames& operator=(const TLooseFrames&) = delete;
    ~TLooseFrames()
    {
        for (MagickCore::Image* f : Items)
            MagickCore::DestroyImage(f);
    }
    void TakeFrom(TMagickList& list)
    {
        while (list.First)
            Items.push_back(MagickCore::RemoveFirstImageFromList(&list.First));
    }
    void GiveTo(TMagickList& list)
    {
        for (MagickCore::Image* f : Items)
            MagickCore::AppendImageToList(&list.First, f);
        Items.clear();
    }
};

// Puts the bitmap among the pages of the TIFF file at name (none when there is no file) and
// writes them all back in one step: page 2 of the options appends it, the insert flag puts it
// before page PageNumber (1 to the pages + 1), the replace flag in place of page PageNumber.
int SaveTiffPage(const QString& name, const TKBitmap& bitmap, int32_t bits, const TKSaveOptions& options)
{
    const TSaveFormat* save = nullptr;
    int r = FindSaveFormat(TKFMT_TIFF, bits, bitmap.BitsPerPixel, save);
    if (r != TK_Success)
        return r;
    TMagickList pages;
    if (QFileInfo::exists(name)) {
        QByteArray data;
        QString magick;
        r = Describe(name, nullptr, data, magick, pages);
        if (r != TK_Success)
            return r;
        if (magick != QLatin1String("TIFF"))
            return TK_ErrFileFormat; // a file of another format has no pages to add to
        size_t count = 0;
        if ((r = CheckPages(magick, pages, 1, count)) != TK_Success)
            return r;
        pages.Reset();
        if ((r = ReadFrames(data, magick, 0, 0, pages)) != TK_Success)
            return r;
    }
    TLooseFrames loose;
    loose.TakeFrom(pages);
    const auto count = int64_t(loose.Items.size());
    const int64_t page = options.PageNumber;
    int64_t at = count;
    const bool replace = (options.Flags & TKSO_ReplacePage) != 0;
    if (replace || (options.Flags & TKSO_InsertPage)) {
        if (page < 1 || page > (replace ? count : count + 1))
            return -309; // "Invalid page number."
        at = page - 1;
    }
    InitializeImaging();
    TMagickInfo mi;
    MagickCore::Image* frame = ToMagick(bitmap, bits, mi.Exception);
    if (!frame)
        return CodeOfSeverity(mi.Severity(), true);
    if (replace) {
        MagickCore::DestroyImage(loose.Items[size_t(at)]);
        loose.Items[size_t(at)] = frame;
    } else {
        loose.Items.insert(loose.Items.begin() + at, frame);
    }
    loose.GiveTo(pages);
    return WriteFrames(name, pages, save->Magick);
}

// Where page `page` lies among decoded frames. Coders start at the page asked for, or read from
// the first frame on (up to the last one asked for, or all of them).
size_t FirstAsked(const TMagickList& frames, size_t pages, size_t count, const QString& magick, size_t page)
{
    if (IsLayered(magick))
        return 0;
    return frames.Length() > count || frames.Length() == pages ? page - 1 : 0;
}

// Bands small enough that progress moves, large enough that the calls cost nothing.
constexpr int32_t BandRows = 64;

// Hands decoded frames to a row callback, each in a new bitmap in *bitmap, band by band with the
// page flags. Returns 1, a failure, or the callback's first answer other than 1 (in `answer`).
int DeliverFrames(const TMagickList& frames, size_t index, size_t count, int32_t bits, TKBitmap* bitmap,
                  TKRowCallback callback, void* userData, int& answer)
{
    answer = TK_Success;
    for (size_t i = 0; i < count; ++i) {
        MagickCore::Image* frame = frames.At(index + i);
        if (!frame)
            return TK_ErrReadFile;
        const int r = FrameToBitmap(frame, bits, *bitmap);
        if (r != TK_Success)
            return r;
        const int32_t height = bitmap->Height;
        for (int32_t row = 0; row < height; row += BandRows) {
            const int32_t rows = std::min(BandRows, height - row);
            uint32_t rowFlags = 0;
            if (row == 0)
                rowFlags |= TKRF_PageStart | TKRF_FirstRows;
            if (row + rows == height)
                rowFlags |= TKRF_PageEnd | TKRF_LastRows;
            // The callback may free or take the bitmap at the end of a page; the band pointer is
            // taken before it runs.
            answer = callback(bitmap, bitmap->Row(row), rowFlags, row, rows, userData);
            if (answer != TK_Success)
                return answer;
            if (!bitmap->Pixels)
                break;
        }
    }
    return TK_Success;
}

} // namespace

namespace {

// The bits a load may ask for: 0 (32 with transparency, 24 without), a palette depth, 24 or 32.
bool LoadBits(int32_t bits)
{
    return bits == 0 || bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
}

} // namespace

int TK_FileInfo(const QString& name, TKFileInfo* info, uint32_t infoSize, uint32_t flags, const TKLoadOptions*)
{
    (void)flags;
    if (!info || infoSize != sizeof(TKFileInfo))
        return TK_ErrParameter;
    QByteArray data;
    QString magick;
    TMagickList frames;
    const int r = Describe(name, nullptr, data, magick, frames);
    if (r != TK_Success)
        return r;
    FillInfo(data, magick, frames, *info);
    return TK_Success;
}

int TK_FileInfoMemory(const void* memory, int64_t size, TKFileInfo* info, uint32_t infoSize, uint32_t flags,
                      const TKLoadOptions*)
{
    (void)flags;
    if (!info || infoSize != sizeof(TKFileInfo))
        return TK_ErrParameter;
    QByteArray data;
    int r = TakeMemory(memory, size, data);
    if (r != TK_Success)
        return r;
    QString magick;
    TMagickList frames;
    r = DescribeData(data, QString(), nullptr, magick, frames);
    if (r != TK_Success)
        return r;
    FillInfo(data, magick, frames, *info);
    return TK_Success;
}

int TK_LoadFile(const QString& name, TKBitmap* bitmap, uint32_t bitmapSize, int32_t bits, int32_t colourOrder,
                uint32_t flags, TKRowCallback callback, void* userData, const TKLoadOptions* options, TKFileInfo* info)
{
    if (!bitmap || bitmapSize != sizeof(TKBitmap) || !callback || (colourOrder != 1 && colourOrder != 4))
        return TK_ErrParameter;
    if (!LoadBits(bits))
        return TK_ErrBitsPerPixel;
    QByteArray data;
    QString magick;
    TMagickList frames;
    int r = Describe(name, info, data, magick, frames);
    if (r != TK_Success)
        return r;
    if (IsLayered(magick) && !LayeredDataComplete(data))
        return TK_ErrReadFile;
    const size_t pages = IsLayered(magick) ? 1 : frames.Length();
    const size_t page = size_t(std::max(1, options ? options->PageNumber : 1));
    size_t count = (flags & 0x10) ? 0 : 1;
    r = CheckPages(magick, frames, page, count);
    if (r != TK_Success)
        return r;
    if (info) {
        const TKFileInfo asked = *info;
        FillInfo(data, magick, frames, *info);
        if (asked.Flags & TKFI_Resolution) {
            info->Resolution = asked.Resolution;
            info->Flags |= TKFI_Resolution;
        }
    }
    frames.Reset();

    r = ReadAskedFrames(data, magick, page - 1, IsLayered(magick) ? 1 : count, pages, frames);
    if (r != TK_Success)
        return r;
    const size_t index = FirstAsked(frames, pages, count, magick, page);
    int answer = TK_Success;
    return DeliverFrames(frames, index, count, bits, bitmap, callback, userData, answer);
}

int TK_LoadBitmapMemory(const void* memory, int64_t size, TKBitmap* bitmap, uint32_t bitmapSize, int32_t bits,
                        int32_t colourOrder, const TKLoadOptions* options, TKFileInfo* info)
{
    if (!bitmap || bitmapSize != sizeof(TKBitmap) || (colourOrder != 1 && colourOrder != 4))
        return TK_ErrParameter;
    if (!LoadBits(bits))
        return TK_ErrBitsPerPixel;
    QByteArray data;
    int r = TakeMemory(memory, size, data);
    if (r != TK_Success)
        return r;
    QString magick;
    TMagickList frames;
    r = DescribeData(data, QString(), info, magick, frames);
    if (r != TK_Success)
        return r;
    if (IsLayered(magick) && !LayeredDataComplete(data))
        return TK_ErrReadFile;
    const size_t pages = IsLayered(magick) ? 1 : frames.Length();
    const size_t page = size_t(std::max(1, options ? options->PageNumber : 1));
    size_t count = 1;
    r = CheckPages(magick, frames, page, count);
    if (r != TK_Success)
        return r;
    if (info) {
        const TKFileInfo asked = *info;
        FillInfo(data, magick, frames, *info);
        if (asked.Flags & TKFI_Resolution) {
            info->Resolution = asked.Resolution;
            info->Flags |= TKFI_Resolution;
        }
    }
    frames.Reset();
    r = ReadAskedFrames(data, magick, page - 1, 1, pages, frames);
    if (r != TK_Success)
        return r;
    const size_t index = FirstAsked(frames, pages, 1, magick, page);
    MagickCore::Image* frame = frames.At(index);
    if (!frame)
        return TK_ErrReadFile;
    TKBitmap out;
    r = FrameToBitmap(frame, bits, out);
    if (r == TK_Success)
        *bitmap = std::move(out);
    return r;
}

// ---- Feed loads ----------------------------------------------------------------------------

namespace {

// Where the frames of a GIF arriving in pieces end. The walk goes on from where it stopped each
// time bytes come in, so each byte is looked at once; a frame is whole once its last data block
// has arrived.
struct TGifWalk {
    qsizetype Prefix = 0;     // end of the header and the global colour table; 0 until they are there
    qsizetype FrameStart = 0; // where the blocks of the next frame begin (its extensions first)
    qsizetype Block = 0;      // the block being read
    qsizetype Cursor = 0;     // the next data-block length of that block; 0 until its head is read
    bool Image = false;       // the block is a frame's picture
    std::vector<std::pair<qsizetype, qsizetype>> Frames; // blocks of each whole frame, [from, to)
    bool Ended = false;  // the trailer arrived
    bool Broken = false; // bytes that are no block: what follows is left to the stop
};

void WalkGif(const QByteArray& d, TGifWalk& w)
{
    const qsizetype size = d.size();
    const auto byte = [&](qsizetype at) { return uint8_t(d[at]); };
    if (w.Prefix == 0) {
        if (size < 13)
            return;
        const uint8_t packed = byte(10);
        const qsizetype end = 13 + ((packed & 0x80) ? 3 * (qsizetype(2) << (packed & 7)) : 0);
        if (size < end)
            return;
        w.Prefix = w.FrameStart = w.Block = end;
    }
    while (!w.Ended && !w.Broken) {
        if (w.Cursor == 0) {
            if (w.Block >= size)
                return;
            const uint8_t introducer = byte(w.Block);
            if (introducer == 0x3B) {
                w.Ended = true;
                return;
            }
            if (introducer == 0x21) {
                if (w.Block + 2 > size)
                    return;
                w.Image = false;
                w.Cursor = w.Block + 2;
            } else if (introducer == 0x2C) {
                if (w.Block + 10 > size)
                    return;
                const uint8_t packed = byte(w.Block + 9);
                const qsizetype table = (packed & 0x80) ? 3 * (qsizetype(2) << (packed & 7)) : 0;
                // The descriptor, the local table and the code size come before the data blocks.
                if (w.Block + 10 + table + 1 > size)
                    return;
                w.Image = true;
                w.Cursor = w.Block + 10 + table + 1;
            } else {
                w.Broken = true;
                return;
            }
        }
        while (w.Cursor < size && byte(w.Cursor) != 0)
            w.Cursor += 1 + byte(w.Cursor);
        if (w.Cursor >= size)
            return;
        const qsizetype end = w.Cursor + 1;
        if (w.Image) {
            w.Frames.emplace_back(w.FrameStart, end);
            w.FrameStart = end;
        }
        w.Block = end;
        w.Cursor = 0;
    }
}

// Width and height of the frame whose blocks are [from, to).
bool GifFrameSize(const QByteArray& d, qsizetype from, qsizetype to, size_t& width, size_t& height)
{
    // The frame's picture is its last block; its extensions come before it.
    qsizetype at = from;
    while (at < to && uint8_t(d[at]) == 0x21) {
        at += 2;
        while (at < to && uint8_t(d[at]) != 0)
            at += 1 + uint8_t(d[at]);
        ++at;
    }
    if (at + 10 > to || uint8_t(d[at]) != 0x2C)
        return false;
    width = size_t(uint8_t(d[at + 5])) | size_t(uint8_t(d[at + 6])) << 8;
    height = size_t(uint8_t(d[at + 7])) | size_t(uint8_t(d[at + 8])) << 8;
    return true;
}

// A load fed in pieces. Frames of a GIF are decoded and delivered as soon as their bytes are all
// there, each as a file of its own: the header and global table, the frame's blocks, the trailer;
// so every byte is decoded once however the data is cut. Other formats cannot be decoded a piece
// at a time, and decoding what has arrived on every piece would cost the square of the picture's
// size: their bytes are kept and decoded when the feed stops.
struct TFeed {
    TKBitmap* Bitmap = nullptr;
    int32_t Bits = 0;
    uint32_t Flags = 0;
    TKRowCallback Callback = nullptr;
    void* UserData = nullptr;
    int32_t Page = 1;
    TWmfResolution Wmf; // drawn formats are read as the toolkit was set when the feed started
    QByteArray Data;
    int Failed = TK_Success; // a failed piece ends the feed: its stop delivers nothing
    bool Progressive = false; // a GIF, walked as it arrives
    TGifWalk Walk;
    size_t Walked = 0;     // whole frames looked at so far, from the first of the file
    size_t Delivered = 0;  // pages handed to the callback, from Page on
    int64_t Pixels = 0;    // in the pages delivered
    bool Done = false;     // the callback has the pages it wants
    bool Delivering = false;
    bool Stopped = false;  // stopped from within the callback
};

std::map<TKFeedHandle, std::shared_ptr<TFeed>>& Feeds()
{
    static std::map<TKFeedHandle, std::shared_ptr<TFeed>> feeds;
    return feeds;
}

// How many frames from the start of data decode whole. The library gives nothing at all for a
// stream cut short, but it stops reading once it has the frames asked for, so the pages before the
// cut are found by asking for fewer.
size_t LeadingFrames(const QByteArray& data, const QString& magick, TWmfResolution wmf, TMagickList& out)
{
    const auto whole = [&](size_t k, TMagickList& frames) {
        return PingFrames(data, magick, frames, k, wmf) == TK_Success && frames.Length() == k &&
               ReadFrames(data, magick, 0, k, frames, wmf) == TK_Success && frames.Length() == k;
    };
    TMagickList probe;
    size_t good = 0, bad = 0;
    for (size_t k = 1;; k *= 2) {
        if (!whole(k, probe)) {
            bad = k;
            break;
        }
        good = k;
        if (k >= 4096)
            return 0; // not a stream cut short: its frames would have decoded together
    }
    while (bad - good > 1) {
        const size_t mid = good + (bad - good) / 2;
        if (whole(mid, probe))
            good = mid;
        else
            bad = mid;
    }
    if (good > 0 && !whole(good, out))
        return 0;
    return good;
}

// The pages a feed still wants: all (0) or what is left of the one page asked for.
bool WantsMore(const TFeed& feed)
{
    return !feed.Done && ((feed.Flags & 0x10) || feed.Delivered == 0);
}

// Takes a callback's answer for the feed: 2 has all it wants, 0 stops the load.
void TakeAnswer(TFeed& feed, int delivered, int answer)
{
    if (answer == 2)
        feed.Done = true;
    else if (answer == 0)
        feed.Failed = TK_ErrUserAbort;
    else if (delivered != TK_Success)
        feed.Failed = delivered;
}

// Decodes and delivers the frames of a GIF feed that have become whole. A frame that does not
// decode on its own ends the walk: the stop decodes the rest with the file as a whole.
void DeliverArrivedFrames(TFeed& feed)
{
    WalkGif(feed.Data, feed.Walk);
    const std::vector<std::pair<qsizetype, qsizetype>>& frames = feed.Walk.Frames;
    while (feed.Walked < frames.size() && WantsMore(feed) && feed.Failed == TK_Success && !feed.Stopped) {
        const auto [from, to] = frames[feed.Walked];
        if (feed.Walked + 1 < size_t(feed.Page)) {
            ++feed.Walked;
            continue;
        }
        size_t width = 0, height = 0;
        if (!GifFrameSize(feed.Data, from, to, width, height) || width == 0 || height == 0) {
            feed.Walk.Broken = true;
            return;
        }
        if (!WithinLimits(width, height)) {
            feed.Failed = TK_ErrWidthHeight;
            return;
        }
        if (feed.Pixels + int64_t(width) * int64_t(height) > ImagingLimits().MaxPixels * 4) {
            feed.Failed = TK_ErrNoMemory;
            return;
        }
        QByteArray single = feed.Data.left(feed.Walk.Prefix);
        single.append(feed.Data.constData() + from, to - from);
        single.append(char(0x3B));
        TMagickList decoded;
        if (ReadFrames(single, QStringLiteral("GIF"), 0, 1, decoded, feed.Wmf) != TK_Success ||
            decoded.Length() != 1) {
            feed.Walk.Broken = true;
            return;
        }
        ++feed.Walked;
        ++feed.Delivered;
        feed.Pixels += int64_t(width) * int64_t(height);
        int answer = TK_Success;
        feed.Delivering = true;
        const int delivered =
            DeliverFrames(decoded, 0, 1, feed.Bits, feed.Bitmap, feed.Callback, feed.UserData, answer);
        feed.Delivering = false;
        if (!feed.Stopped)
            TakeAnswer(feed, delivered, answer);
    }
}

std::shared_ptr<TFeed> FindFeed(TKFeedHandle handle)
{
    std::lock_guard<std::mutex> lock(State().Lock);
    const auto it = Feeds().find(handle);
    return it == Feeds().end() ? nullptr : it->second;
}

} // namespace

int TK_StartFeedLoad(TKFeedHandle* handle, TKBitmap* bitmap, uint32_t bitmapSize, int32_t bits, int32_t colourOrder,
                     uint32_t flags, TKRowCallback callback, void* userData, const TKLoadOptions* options)
{
    if (!handle || !bitmap || bitmapSize != sizeof(TKBitmap) || !callback || (colourOrder != 1 && colourOrder != 4))
        return TK_ErrParameter;
    if (!LoadBits(bits))
        return TK_ErrBitsPerPixel;
    auto feed = std::make_shared<TFeed>();
    feed->Bitmap = bitmap;
    feed->Bits = bits;
    feed->Flags = flags;
    feed->Callback = callback;
    feed->UserData = userData;
    feed->Page = std::max(1, options ? options->PageNumber : 1);
    TState& s = State();
    std::lock_guard<std::mutex> lock(s.Lock);
    feed->Wmf.X = s.Options.WmfX;
    feed->Wmf.Y = s.Options.WmfY;
    static TKFeedHandle next = 1;
    const TKFeedHandle h = next++;
    if (next == 0)
        next = 1;
    Feeds()[h] = std::move(feed);
    *handle = h;
    return TK_Success;
}

int TK_FeedLoad(TKFeedHandle handle, const void* buffer, int32_t size)
{
    const std::shared_ptr<TFeed> found = FindFeed(handle);
    if (!found)
        return TK_ErrParameter;
    TFeed& feed = *found;
    if (size < 0 || (size > 0 && !buffer) || feed.Delivering)
        return TK_ErrParameter;
    if (feed.Failed != TK_Success)
        return feed.Failed;
    if (feed.Done)
        return TK_Success; // the rest of the data is not wanted
    if (int64_t(feed.Data.size()) + size > ImagingLimits().MaxFileBytes) {
        feed.Data.clear();
        feed.Failed = TK_ErrNoMemory;
        return TK_ErrNoMemory;
    }
    const bool first = feed.Data.size() < 6;
    feed.Data.append(static_cast<const char*>(buffer), size);
    if (first && feed.Data.size() >= 6)
        feed.Progressive = StartsWith(feed.Data, "GIF87a", 6) || StartsWith(feed.Data, "GIF89a", 6);
    if (feed.Progressive && !feed.Walk.Broken && !feed.Walk.Ended) {
        InitializeImaging();
        DeliverArrivedFrames(feed);
        if (feed.Stopped)
            return TK_Success; // the callback ended the feed itself; the bytes were taken
    }
    return feed.Failed == TK_Success ? int(TK_Success) : feed.Failed;
}

int TK_StopFeedLoad(TKFeedHandle handle)
{
    std::shared_ptr<TFeed> found;
    {
        std::lock_guard<std::mutex> lock(State().Lock);
        const auto it = Feeds().find(handle);
        if (it == Feeds().end())
            return TK_ErrParameter;
        found = std::move(it->second);
        Feeds().erase(it);
    }
    TFeed& feed = *found;
    if (feed.Delivering) {
        // Stopped by the callback of a page being delivered: nothing more comes.
        feed.Stopped = true;
        return TK_ErrUserAbort;
    }
    if (feed.Failed != TK_Success)
        return feed.Failed;
    if (feed.Done)
        return TK_Success;
    if (feed.Progressive && feed.Walk.Ended && !feed.Walk.Broken && feed.Delivered > 0)
        return TK_Success; // every page went out as it arrived
    if (feed.Data.isEmpty())
        return TK_ErrReadFile;
    QString magick;
    int r = DetectFormat(feed.Data, QString(), nullptr, magick);
    if (r != TK_Success)
        return r;
    const auto finish = [](int delivered, int answer, int complete) {
        if (answer == 2)
            return int(TK_Success); // the callback has all it wants
        if (answer == 0)
            return int(TK_ErrUserAbort);
        if (delivered != TK_Success)
            return delivered;
        return complete;
    };
    TMagickList frames;
    r = PingFrames(feed.Data, magick, frames, 0, feed.Wmf);
    // A GIF that arrived up to its trailer but that the library cannot describe is read by the
    // program's own reader, as the file would be.
    if (r != TK_Success && magick == QLatin1String("GIF") && (feed.Walk.Ended || feed.Data.endsWith(char(0x3B))))
        r = OwnGifFrames(feed.Data, frames);
    const bool whole = r == TK_Success && !(IsLayered(magick) && !LayeredDataComplete(feed.Data));
    size_t count = (feed.Flags & 0x10) ? 0 : 1;
    size_t index = 0;
    const size_t page = size_t(feed.Page);
    int complete = TK_Success;
    if (whole) {
        r = CheckPages(magick, frames, page, count);
        if (r != TK_Success)
            return r;
        const size_t pages = IsLayered(magick) ? 1 : frames.Length();
        frames.Reset();
        r = ReadAskedFrames(feed.Data, magick, page - 1, IsLayered(magick) ? 1 : count, pages, frames, feed.Wmf);
        if (r != TK_Success)
            return r;
        index = FirstAsked(frames, pages, count, magick, page);
    } else {
        // The data ended early: the pages that arrived whole are delivered, and the stop still
        // reports the read error.
        complete = TK_ErrReadFile;
        if (IsLayered(magick))
            return complete;
        const int failure = r == TK_Success ? complete : r;
        const size_t arrived = LeadingFrames(feed.Data, magick, feed.Wmf, frames);
        if (arrived == 0)
            return feed.Delivered > 0 ? complete : failure;
        if (arrived < page)
            return complete;
        const size_t available = arrived - page + 1;
        if (count == 0 || count > available)
            count = available;
        int64_t pixels = 0;
        for (size_t i = page - 1; i < page - 1 + count; ++i)
            pixels += int64_t(frames.At(i)->columns) * int64_t(frames.At(i)->rows);
        if (pixels > ImagingLimits().MaxPixels * 4)
            return TK_ErrNoMemory;
        index = page - 1;
    }
    // The pages delivered while the data arrived are not delivered again.
    const size_t skip = std::min(feed.Delivered, count);
    if (skip == count)
        return complete;
    int answer = TK_Success;
    const int delivered = DeliverFrames(frames, index + skip, count - skip, feed.Bits, feed.Bitmap, feed.Callback,
                                        feed.UserData, answer);
    return finish(delivered, answer, complete);
}

int TK_LoadLayer(const QString& name, TKBitmap* bitmap, uint32_t bitmapSize, int32_t bits, int32_t colourOrder,
                 int32_t layer, TKLayerInfo* layerInfo, const TKLoadOptions*)
{
    if (!bitmap || bitmapSize != sizeof(TKBitmap) || (colourOrder != 1 && colourOrder != 4))
        return TK_ErrParameter;
    if (bits != 0 && bits != 24 && bits != 32)
        return TK_ErrBitsPerPixel;
    QByteArray data;
    int r = ReadFileData(name, data);
    if (r != TK_Success)
        return r;
    QString magick;
    r = DetectFormat(data, name, nullptr, magick);
    if (r != TK_Success)
        return r;
    if (!IsLayered(magick))
        return TK_ErrNoLayers;
    if (layer < 0)
        return TK_ErrLayerIndex;

    TLayerCache& cache = LayerCache();
    std::lock_guard<std::mutex> lock(cache.Lock);
    if (cache.Data != data) {
        cache.Data.clear();
        cache.Layers.clear();
        std::vector<TLayer> layers;
        r = DecodeLayers(data, magick, layers);
        if (r != TK_Success)
            return r;
        cache.Data = data;
        cache.Layers = std::move(layers);
    }
    if (cache.Layers.empty())
        return TK_ErrNoLayers;
    if (size_t(layer) >= cache.Layers.size())
        return TK_ErrLayerIndex;
    const TLayer& found = cache.Layers[size_t(layer)];
    if (found.Result != TK_Success)
        return found.Result;
    // Layers keep their transparency unless 24 bits are asked for.
    if (bits != 24) {
        r = TK_CopyBitmap(&found.Bitmap, bitmap);
    } else {
        TKBitmap out;
        r = Allocate(out, found.Bitmap.Width, found.Bitmap.Height, 24);
        if (r == TK_Success) {
            for (int y = 0; y < out.Height; ++y) {
                const uint8_t* s = found.Bitmap.Row(y);
                uint8_t* d = out.Row(y);
                for (int x = 0; x < out.Width; ++x, s += 4, d += 3)
                    std::memcpy(d, s, 3);
            }
            out.XResolution = found.Bitmap.XResolution;
            out.YResolution = found.Bitmap.YResolution;
            *bitmap = std::move(out);
        }
    }
    if (r == TK_Success && layerInfo) {
        const uint32_t keep = layerInfo->StructSize;
        *layerInfo = found.Info;
        layerInfo->StructSize = keep;
    }
    return r;
}

int TK_SaveBitmap(const QString& name, const TKBitmap* bitmap, int32_t format, int32_t bits, int32_t quality,
                  const TKSaveOptions* options)
{
    if (!IsBitmapAllocated(bitmap) || !bitmap->Pixels)
        return TK_ErrBitmapHandle;
    if (PageSave(options) && !name.isEmpty()) {
        if (format == TKFMT_TIFF)
            return SaveTiffPage(name, *bitmap, bits, *options);
        // Every other format holds one page.
        const TSaveFormat* save = nullptr;
        const int r = FindSaveFormat(format, bits, bitmap->BitsPerPixel, save);
        return r != TK_Success ? r : TK_ErrNotSupported;
    }
    int r = CheckSave(name, options);
    if (r != TK_Success)
        return r;
    QByteArray bytes;
    r = EncodeBitmap(*bitmap, format, bits, quality, bytes);
    if (r != TK_Success)
        return r;
    return WriteBytes(name, bytes);
}

int TK_SaveBitmapMemory(const TKBitmap* bitmap, int32_t format, int32_t bits, int32_t quality,
                        const TKSaveOptions* options, QByteArray* memory)
{
    if (!memory)
        return TK_ErrParameter;
    if (!IsBitmapAllocated(bitmap) || !bitmap->Pixels)
        return TK_ErrBitmapHandle;
    if (PageSave(options))
        return TK_ErrNotSupported;
    QByteArray bytes;
    const int r = EncodeBitmap(*bitmap, format, bits, quality, bytes);
    if (r == TK_Success)
        *memory = bytes;
    return r;
}

int TK_SaveBitmapList(const QString& name, TKBitmapList list, int32_t format, int32_t bits, int32_t quality,
                      const TKSaveOptions* options)
{
    std::vector<TKBitmap> items;
    {
        std::lock_guard<std::mutex> lock(State().Lock);
        const auto* found = FindList(list);
        if (!found)
            return TK_ErrBitmapHandle;
        items = *found;
    }
    if (items.empty())
        return TK_ErrBitmapHandle;
    if (format != TKFMT_GIF) {
        // Only an animation holds more than one picture among the formats written here.
        if (items.size() > 1)
            return TK_ErrNotSupported;
        return TK_SaveBitmap(name, &items[0], format, bits, quality, options);
    }
    int r = CheckSave(name, options);
    if (r != TK_Success)
        return r;
    const TSaveFormat* save = nullptr;
    r = FindSaveFormat(format, bits, 0, save);
    if (r != TK_Success)
        return r;
    InitializeImaging();
    TMagickInfo mi;
    TMagickList frames;
    // With the palette flag every opaque frame is written in the palette, which the writer then
    // takes for the file's global colour table; frames with transparency keep it through the
    // writer's own reduction.
    const bool withPalette = options && (options->Flags & TKSO_Palette) != 0;
    const std::vector<uint32_t> palette = withPalette ? std::vector<uint32_t>(options->Palette, options->Palette + 256)
                                                      : std::vector<uint32_t>();
    for (const TKBitmap& item : items) {
        MagickCore::Image* frame = nullptr;
        if (withPalette && Opaque(item))
            frame = InPalette(item, palette, mi.Exception);
        else
            frame = ToMagick(item, item.BitsPerPixel <= 8 ? bits : 32, mi.Exception);
        if (!frame)
            return CodeOfSeverity(mi.Severity(), true);
        if (options) {
            frame->page.width = size_t(std::max(options->ScreenWidth, item.Width));
            frame->page.height = size_t(std::max(options->ScreenHeight, item.Height));
            frame->iterations = (options->Flags & TKSO_Loop) ? size_t(std::max(0, options->LoopCount)) : 1;
            if (options->Flags & TKSO_Background) {
                const uint32_t c = options->BackgroundColor;
                using MagickCore::Quantum;
                const auto q = [](uint32_t v) { return Quantum((v & 0xFF) * (QuantumRange / 255.0)); };
                frame->background_color.red = q(c);
                frame->background_color.green = q(c >> 8);
                frame->background_color.blue = q(c >> 16);
            }
        }
        frame->dispose = MagickCore::BackgroundDispose;
        if (frames.First)
            MagickCore::AppendImageToList(&frames.First, frame);
        else
            frames.First = frame;
    }
    return WriteFrames(name, frames, save->Magick);
}

int TK_SaveBitmapWithLayers(const QString& name, const TKBitmap* composite, int32_t format, int32_t bits, int32_t,
                            TKBitmapList layers, const TKLayerInfo* layerTable, int32_t layerCount,
                            const TKSaveOptions* options)
{
    if (!IsBitmapAllocated(composite) || !composite->Pixels)
        return TK_ErrBitmapHandle;
    if (format != TKFMT_PSD)
        return TK_ErrNotSupported;
    std::vector<TKBitmap> items;
    {
        std::lock_guard<std::mutex> lock(State().Lock);
        const auto* found = FindList(layers);
        if (!found)
            return TK_ErrBitmapHandle;
        items = *found;
    }
    if (layerCount < 0 || (layerTable && size_t(layerCount) < items.size()))
        return TK_ErrParameter;
    int r = CheckSave(name, options);
    if (r != TK_Success)
        return r;
    const TSaveFormat* save = nullptr;
    r = FindSaveFormat(format, bits, 0, save);
    if (r != TK_Success)
        return r;
    InitializeImaging();
    TMagickInfo mi;
    TMagickList frames;
    frames.Reset(ToMagick(*composite, 32, mi.Exception));
    if (!frames.First)
        return CodeOfSeverity(mi.Severity(), true);
    for (size_t i = 0; i < items.size(); ++i) {
        MagickCore::Image* frame = ToMagick(items[i], 32, mi.Exception);
        if (!frame)
            return CodeOfSeverity(mi.Severity(), true);
        frame->page.width = size_t(composite->Width);
        frame->page.height = size_t(composite->Height);
        if (layerTable) {
            const TKLayerInfo& l = layerTable[i];
            frame->page.x = l.Left;
            frame->page.y = l.Top;
            QByteArray label(l.Name, int(strnlen(l.Name, sizeof(l.Name))));
            MagickCore::SetImageProperty(frame, "label", label.constData());
        }
        MagickCore::AppendImageToList(&frames.First, frame);
    }
    return WriteFrames(name, frames, save->Magick);
}

int TK_SaveFile(const QString& name, const TKBitmap* shape, int32_t format, int32_t bits, int32_t quality,
                uint32_t, TKRowSupplier supplier, void* userData, const TKSaveOptions* options)
{
    if (!shape || !supplier)
        return TK_ErrParameter;
    TKBitmap rows;
    int r = Allocate(rows, shape->Width, shape->Height, shape->BitsPerPixel);
    if (r != TK_Success)
        return r;
    rows.XResolution = shape->XResolution;
    rows.YResolution = shape->YResolution;
    if (rows.BitsPerPixel <= 8)
        rows.Palette = shape->Palette;
    for (int32_t y = 0; y < rows.Height; ++y)
        if (supplier(rows.Row(y), y, rows.RowBytes, userData) != 1)
            return TK_ErrUserAbort;
    return TK_SaveBitmap(name, &rows, format, bits, quality, options);
}

int TK_SaveFileOffset(const QString& name, const TKBitmap* bitmap, int64_t offset, int64_t* size, int32_t format,
                      int32_t bits, int32_t quality, uint32_t, const TKSaveOptions* options)
{
    if (!size || offset < 0)
        return TK_ErrParameter;
    if (!IsBitmapAllocated(bitmap) || !bitmap->Pixels)
        return TK_ErrBitmapHandle;
    int r = CheckSave(name, options);
    if (r != TK_Success)
        return r;
    QByteArray file;
    if (QFileInfo::exists(name) && (r = ReadFileData(name, file)) != TK_Success && r != TK_ErrFileFormat)
        return r;
    if (offset > file.size())
        return TK_ErrSeek;
    QByteArray bytes;
    r = EncodeBitmap(*bitmap, format, bits, quality, bytes);
    if (r != TK_Success)
        return r;
    if (offset + bytes.size() > ImagingLimits().MaxFileBytes)
        return TK_ErrNoMemory;
    const qsizetype at = qsizetype(offset);
    file.replace(at, std::min<qsizetype>(bytes.size(), file.size() - at), bytes);
    r = WriteBytes(name, file);
    if (r == TK_Success)
        *size = bytes.size();
    return r;
}
