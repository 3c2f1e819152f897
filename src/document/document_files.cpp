#include "document/document_files.h"

#include "document/animation_builders.h"
#include "document/editor_state.h"
#include "document/icon_document.h"
#include "document/scratch_folder.h"
#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/graphic.h"
#include "framework/qimage_bridge.h"
#include "framework/streams.h"
#include "imaging/icons/bitmap_icon_writer.h"
#include "imaging/icons/icon_format.h"
#include "imaging/icons/icon_image_list.h"
#include "platform/program_paths.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

namespace {

constexpr int kXPHeaderSize = 62; // directory of one entry and the 40-byte info header
constexpr int kMaxFormatSide = 255;

TAnimationBuilders*& Builders()
{
    static TAnimationBuilders* builders = nullptr;
    return builders;
}

[[noreturn]] void RaiseInvalidBitmap()
{
    throw EInvalidGraphic(QString::fromLatin1(GraphicsText::InvalidBitmap));
}

// The picture of format f, checked against the size its cells give.
const QImage& FormatPicture(const TIconDocument& doc, int f, int& w, int& h)
{
    if (f < 1 || f > TFormatTable::MaxFormats)
        RaiseInvalidBitmap();
    w = doc.FormatTable.Width(f).trimmed().toInt();
    h = doc.FormatTable.Height(f).trimmed().toInt();
    const QImage* image = GdipImageData(doc.FormatImages[size_t(f)]);
    if (w < 1 || h < 1 || w > kMaxFormatSide || h > kMaxFormatSide || !image || image->width() != w ||
        image->height() != h)
        RaiseInvalidBitmap();
    return *image;
}

int MaskRowBytes(int w) { return int(ScanlineBytes(w, 1)); }

// The directory and info header of a one-image file holding a DIB of w x h at bits per pixel,
// its bytes-in-image field left for Finish.
QByteArray StartImageFile(uint16_t type, int w, int h, int bits, uint16_t field10, uint16_t field12,
                          uint32_t pixelBytes)
{
    QByteArray out(kXPHeaderSize, '\0');
    auto* p = reinterpret_cast<uint8_t*>(out.data());
    PutLE16(p + 2, type);
    PutLE16(p + 4, 1);
    p[6] = uint8_t(w);
    p[7] = uint8_t(h);
    PutLE16(p + 10, field10);
    PutLE16(p + 12, field12);
    PutLE32(p + 18, IconHeaderSize + IconEntrySize);
    PutLE32(p + 22, IconBitmapHeaderSize);
    PutLE32(p + 26, uint32_t(w));
    PutLE32(p + 30, uint32_t(2 * h));
    PutLE16(p + 34, 1);
    PutLE16(p + 36, uint16_t(bits));
    PutLE32(p + 42, pixelBytes + uint32_t(MaskRowBytes(w) * h));
    return out;
}

// Appends the mask (the last h mask rows of the format's one-image icon) and fills in the
// bytes-in-image field.
void FinishImageFile(QByteArray& out, const QByteArray& iconBytes, int w, int h)
{
    const qsizetype maskBytes = qsizetype(MaskRowBytes(w)) * h;
    if (iconBytes.size() < maskBytes + kXPHeaderSize)
        RaiseInvalidBitmap();
    out.append(iconBytes.right(maskBytes));
    PutLE32(reinterpret_cast<uint8_t*>(out.data()) + 14, uint32_t(out.size() - (IconHeaderSize + IconEntrySize)));
}

bool MaskBit(const QByteArray& iconBytes, int w, int h, int x, int y)
{
    const qsizetype row = MaskRowBytes(w);
    const qsizetype start = iconBytes.size() - row * h;
    const auto byte = uint8_t(iconBytes[start + qsizetype(h - 1 - y) * row + (x >> 3)]);
    return (byte >> (7 - (x & 7))) & 1;
}

void SaveBytes(const QByteArray& bytes, const QString& fileName)
{
    TMemoryStream memory;
    memory.WriteBuffer(bytes.constData(), bytes.size());
    memory.SaveToFile(fileName);
}

TEditorState* State()
{
    TEditorState* s = EditorState();
    if (!s)
        throw EInvalidOperation(QStringLiteral("The document needs the main window's editor state"));
    return s;
}

} // namespace

TAnimationBuilders::~TAnimationBuilders() = default;

TAnimationBuilders* AnimationBuilders() { return Builders(); }
void SetAnimationBuilders(TAnimationBuilders* builders) { Builders() = builders; }

int IconColorsOfKind(const QString& kind)
{
    if (kind == QLatin1String("XP") || kind == QLatin1String("16.8M"))
        return 24;
    const int bits = PaletteBitsOfKind(kind);
    return bits != 0 ? 1 << bits : 0;
}

QByteArray FormatIconBytes(const TIconDocument& doc, int f, const QString& kind)
{
    int w = 0, h = 0;
    const QImage& picture = FormatPicture(doc, f, w, h);
    const bool xp = kind == QLatin1String("XP");

    // The mask is made from the alpha itself rather than from a key colour, so an opaque pixel of
    // any colour stays opaque.
    QImage color(w, h, QImage::Format_RGB32);
    QImage mask(w, h, QImage::Format_Mono);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mask.fill(0);
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(color.scanLine(y));
        uint8_t* m = mask.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const QRgb p = src[x];
            if (qAlpha(p) == 0) {
                m[x >> 3] |= uint8_t(0x80 >> (x & 7));
                dst[x] = qRgb(0, 0, 0);
            } else {
                dst[x] = xp ? qRgb(0, 0, 255) : (p | 0xFF000000u);
            }
        }
    }
    ICONINFO info;
    info.fIcon = true;
    info.hbmMask = mask;
    info.hbmColor = color;
    HICON icon = CreateIconIndirect(&info);
    if (!icon)
        RaiseInvalidBitmap();
    // A palette kind is written with the format's own table, so an opened entry keeps its colours.
    const TPaletteEntries& table = doc.FormatPalette(f);
    const bool ownTable = PaletteBitsOfKind(kind) != 0 && PaletteBitsOfKind(kind) == PaletteBitsOfKind(doc.FormatTable.Kind(f));
    TMemoryStream memory;
    try {
        WriteIconFile(&memory, icon, IconColorsOfKind(kind), false, ownTable ? &table : nullptr);
    } catch (...) {
        DestroyIcon(icon);
        throw;
    }
    DestroyIcon(icon);
    return QByteArray(static_cast<const char*>(memory.Memory()), qsizetype(memory.Size()));
}

QByteArray WriteFormatIcon(const TIconDocument& doc, int f, const QString& kind)
{
    const QByteArray bytes = FormatIconBytes(doc, f, kind);
    SaveBytes(bytes, ScratchPath(QString::number(f) + QStringLiteral(".ico")));
    return bytes;
}

QByteArray BuildXPIconBytes(const TIconDocument& doc, int f, const QByteArray& iconBytes)
{
    int w = 0, h = 0;
    const QImage& picture = FormatPicture(doc, f, w, h);
    const uint32_t pixelBytes = uint32_t(4 * w * h);
    QByteArray out = StartImageFile(IconTypeIcon, w, h, 32, 1, 32, pixelBytes);
    out.reserve(out.size() + qsizetype(pixelBytes) + qsizetype(MaskRowBytes(w)) * h);
    for (int y = h - 1; y >= 0; --y) {
        const auto* src = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const char px[4] = {char(qBlue(src[x])), char(qGreen(src[x])), char(qRed(src[x])), char(qAlpha(src[x]))};
            out.append(px, 4);
        }
    }
    FinishImageFile(out, iconBytes, w, h);
    return out;
}

namespace {

// The project as one icon file: one image per format in the table's order ("XP" formats as
// 32-bit images, the others at their kind's depth), with the images kept from the opened file
// back in their places. hotSpots, when given, gets each image's hot spot for a cursor.
QByteArray ProjectIconBytes(const TIconDocument& doc, std::vector<QPoint>* hotSpots)
{
    const int count = doc.FormatCount();

    // Every one-image file is written before the collector is, so a failure on the way leaves the
    // target as it was.
    std::vector<QString> parts;
    for (int i = 1; i <= count; ++i) {
        const QString kind = doc.FormatTable.Kind(i);
        const QByteArray icon = WriteFormatIcon(doc, i, kind);
        QString part = ScratchPath(QString::number(i) + QStringLiteral(".ico"));
        if (kind == QLatin1String("XP")) {
            part = ScratchPath(QStringLiteral("11_") + QString::number(i) + QStringLiteral(".ico"));
            SaveBytes(BuildXPIconBytes(doc, i, icon), part);
        }
        parts.push_back(part);
    }

    TAdvancedIcon loader;
    TAdvancedIcon collector;
    auto take = [&](bool loaded, QPoint hotSpot) {
        if (!loaded)
            RaiseInvalidBitmap();
        collector.Images()->TakeImageFrom(&loader, 0);
        loader.Images()->Clear();
        if (hotSpots)
            hotSpots->push_back(hotSpot);
    };
    // Images kept from the opened file go back where they stood among the formats; those behind
    // formats removed since follow the last format.
    size_t kept = 0;
    auto takeKept = [&](int formatsBefore) {
        for (; kept < doc.KeptImages.size() && (doc.KeptImages[kept].Before <= formatsBefore || formatsBefore == count);
             ++kept) {
            const TKeptIconImage& image = doc.KeptImages[kept];
            TMemoryStream icon;
            icon.WriteBuffer(image.Icon.constData(), image.Icon.size());
            take(loader.LoadFromStream(&icon), image.OwnHotSpot ? image.HotSpot : QPoint(doc.HotSpotX, doc.HotSpotY));
        }
    };
    for (int i = 0; i < count; ++i) {
        takeKept(i);
        take(loader.LoadFromFile(parts[size_t(i)]), doc.FormatHotSpot(i + 1));
    }
    takeKept(count);
    TMemoryStream memory;
    collector.SaveToStream(&memory);
    if (memory.Size() == 0)
        RaiseInvalidBitmap();
    return QByteArray(static_cast<const char*>(memory.Memory()), qsizetype(memory.Size()));
}

} // namespace

void SaveProjectIcon(TIconDocument& doc, const QString& argument)
{
    const QString target = argument.trimmed();
    doc.EditState = 2;
    const QByteArray bytes = ProjectIconBytes(doc, nullptr);
    if (target == QLatin1String("icl")) {
        SaveBytes(bytes, ScratchPath(QStringLiteral("icl.ico")));
    } else {
        SaveBytes(bytes, target);
        doc.SavedFileName = target;
        doc.LastFileName = target;
    }
}

QByteArray ProjectCursorBytes(const TIconDocument& doc)
{
    std::vector<QPoint> hotSpots;
    QByteArray out = ProjectIconBytes(doc, &hotSpots);
    // A cursor is the same file with its own type, each entry keeping its hot spot where an icon
    // keeps planes and bit count.
    auto* p = reinterpret_cast<uint8_t*>(out.data());
    PutLE16(p + 2, 2);
    for (size_t i = 0; i < hotSpots.size(); ++i) {
        uint8_t* entry = p + IconHeaderSize + IconEntrySize * i;
        PutLE16(entry + 4, uint16_t(hotSpots[i].x()));
        PutLE16(entry + 6, uint16_t(hotSpots[i].y()));
    }
    return out;
}

void SaveProjectCursor(TIconDocument& doc, const QString& path)
{
    SaveBytes(ProjectCursorBytes(doc), path);
    doc.LastFileName = path;
}

QString TestCursorPath()
{
    return WritablePath(QStringLiteral("UndoTemp\\sethot.cur"));
}

QByteArray CurrentFormatCursorBytes(const TIconDocument& doc, int hotX, int hotY)
{
    const int c = doc.CurrentFormat();
    const QString kind = doc.FormatTable.Kind(c);
    const QByteArray icon = WriteFormatIcon(doc, c, kind);
    const auto hx = uint16_t(hotX), hy = uint16_t(hotY);

    if (kind != QLatin1String("XP") && kind != QLatin1String("16.8M")) {
        QByteArray out = icon;
        auto* p = reinterpret_cast<uint8_t*>(out.data());
        PutLE16(p + 2, 2);
        PutLE16(p + 10, hx);
        PutLE16(p + 12, hy);
        return out;
    }

    int w = 0, h = 0;
    const QImage& picture = FormatPicture(doc, c, w, h);
    const bool xp = kind == QLatin1String("XP");
    const int bpp = xp ? 32 : 24;
    const int row = int(ScanlineBytes(w, bpp));
    QByteArray out = StartImageFile(2, w, h, bpp, hx, hy, uint32_t(row * h));
    QByteArray line(row, '\0');
    for (int y = h - 1; y >= 0; --y) {
        const auto* src = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        auto* d = reinterpret_cast<uint8_t*>(line.data());
        for (int x = 0; x < w; ++x) {
            QRgb p = src[x];
            // A 24-bit image shows the screen through its mask only where its colour is black;
            // any other colour there would invert the screen instead of letting it through.
            if (!xp && MaskBit(icon, w, h, x, y))
                p = 0;
            *d++ = uint8_t(qBlue(p));
            *d++ = uint8_t(qGreen(p));
            *d++ = uint8_t(qRed(p));
            if (xp)
                *d++ = uint8_t(qAlpha(p));
        }
        out.append(line);
    }
    FinishImageFile(out, icon, w, h);
    return out;
}

void SaveCurrentFormatCursor(TIconDocument& doc, const QString& path, int hotX, int hotY)
{
    SaveBytes(CurrentFormatCursorBytes(doc, hotX, hotY), path);
}

QString MakeAniFrameIcon(const TIconDocument& doc, int frameNumber)
{
    const int c = doc.CurrentFormat();
    const QByteArray icon = WriteFormatIcon(doc, c, doc.FormatTable.Kind(c));
    const QString path = ScratchPath(QStringLiteral("ani_ico") + QString::number(frameNumber) + QStringLiteral(".ico"));
    SaveBytes(BuildXPIconBytes(doc, c, icon), path);
    return path;
}

bool CopyXPIconPixels(const QByteArray& data, int width, int height, QImage& target)
{
    if (width < 1 || height < 1 || width > kMaxFormatSide || height > kMaxFormatSide)
        return false;
    const int64_t needed = kXPHeaderSize + int64_t(4) * width * height;
    if (data.size() < needed)
        return false;
    // Byte 62 starts the pixels only in a one-image file whose image is a 32-bit DIB of this size.
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData());
    if (GetLE32(p + 18) != uint32_t(kXPHeaderSize - IconBitmapHeaderSize) || GetLE32(p + 22) != IconBitmapHeaderSize ||
        GetLE32(p + 26) != uint32_t(width) || GetLE16(p + 36) != 32)
        return false;
    if (target.format() != QImage::Format_ARGB32)
        return false;
    const int w = std::min(width, target.width()), h = std::min(height, target.height());
    for (int y = height - 1, r = 0; y >= 0; --y, ++r) {
        if (y >= h)
            continue;
        const uint8_t* src = p + kXPHeaderSize + size_t(r) * 4 * size_t(width);
        auto* dst = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int x = 0; x < w; ++x, src += 4)
            dst[x] = qRgba(src[2], src[1], src[0], src[3]);
    }
    return true;
}

void LoadXPIconPixels(TIconDocument* doc, int width, int height, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("I/O error 2"));
    // Never more than the largest image can need, whatever the file's size.
    const QByteArray data = file.read(kXPHeaderSize + int64_t(4) * kMaxFormatSide * kMaxFormatSide);
    QImage* target = doc ? GdipImageData(doc->CurrentImage()) : nullptr;
    QImage scratch(1, 1, QImage::Format_ARGB32);
    if (!CopyXPIconPixels(data, width, height, target ? *target : scratch))
        throw EInOutError(QStringLiteral("I/O error 100"));
}

void SaveIconCommand(TIconDocument& doc)
{
    SaveProjectIcon(doc, State()->CommandArgument);
}

void SaveCursorCommand(TIconDocument& doc)
{
    // The document's own hot spots: the editor-wide one follows whichever document was opened or
    // activated last.
    TEditorState* s = State();
    const QString target = s->CommandArgument;
    if (QFileInfo(target).absoluteFilePath() != QFileInfo(TestCursorPath()).absoluteFilePath()) {
        SaveProjectCursor(doc, target);
        return;
    }
    // The test cursor is the image in front, as the hot-spot dialog shows and sets it.
    const QPoint hotSpot = doc.FormatHotSpot(doc.CurrentFormat());
    SaveCurrentFormatCursor(doc, target, hotSpot.x(), hotSpot.y());
    s->HotSpotX = hotSpot.x();
    s->HotSpotY = hotSpot.y();
}

void NewGifProjectFromCurrentFormat(const TIconDocument& doc)
{
    int w = 0, h = 0;
    const QImage& picture = FormatPicture(doc, doc.CurrentFormat(), w, h);
    // Transparent pixels show the white ground; partly transparent ones are blended onto it.
    QImage ground(w, h, QImage::Format_ARGB32);
    ground.fill(0xFFFFFFFFu);
    {
        QPainter painter(&ground);
        painter.drawImage(0, 0, picture);
    }
    TBitmap bitmap;
    QImageToBitmap(ground, bitmap);
    TMemoryStream memory;
    bitmap.SaveToStream(&memory);
    const QString path = ScratchPath(QStringLiteral("gif.bmp"));
    memory.SaveToFile(path);
    if (TAnimationBuilders* builders = AnimationBuilders())
        builders->InsertGifPicture(path);
}

void NewAniProjectFromCurrentFormat(const TIconDocument& doc)
{
    TAnimationBuilders* builders = AnimationBuilders();
    MakeAniFrameIcon(doc, builders ? builders->AniFrameCount() : 0);
    if (builders)
        builders->AddAniFrame(QStringLiteral("dorvelt"), QStringLiteral("new"));
}

TPaletteEntries IconImageColorTable(const QByteArray& image, int& bits)
{
    bits = 0;
    const auto* p = reinterpret_cast<const uint8_t*>(image.constData());
    const qsizetype size = image.size();
    if (size < qsizetype(IconBitmapHeaderSize))
        return {};
    // A PNG image starts with its signature, never with a header size this small.
    const uint32_t headerSize = GetLE32(p);
    const int bitCount = GetLE16(p + 14);
    if (headerSize < IconBitmapHeaderSize || headerSize > uint32_t(size) ||
        (bitCount != 1 && bitCount != 4 && bitCount != 8) || GetLE32(p + 16) > 2) // plain or run-length
        return {};
    const uint32_t full = 1u << bitCount;
    uint32_t count = GetLE32(p + 32);
    if (count == 0 || count > full)
        count = full;
    const qsizetype available = (size - qsizetype(headerSize)) / 4;
    count = uint32_t(std::min<qsizetype>(count, available));
    if (count == 0)
        return {};
    TPaletteEntries colors;
    colors.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = p + headerSize + 4 * i;
        colors.push_back(qRgb(e[2], e[1], e[0]) & 0xFFFFFFu);
    }
    bits = bitCount;
    return colors;
}

int FreeDocumentNumber(int counter, const std::function<bool(int)>& exists)
{
    for (int n = 1; n <= counter; ++n)
        if (!exists(n))
            return n;
    return counter + 1;
}

void CopyCurrentFormatInto(const TIconDocument& source, TIconDocument& target)
{
    GpGraphics* g = nullptr;
    GdipGetImageGraphicsContext(target.CurrentImage(), &g);
    GdipDrawImageRectI(g, source.CurrentImage(), 0, 0, target.CurrentWidth, target.CurrentHeight);
    GdipDeleteGraphics(g);
}
