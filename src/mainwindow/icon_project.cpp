#include "mainwindow/icon_project.h"

#include "document/document_files.h"
#include "document/editor_state.h"
#include "document/newiconview.h"
#include "document/scratch_folder.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/icons/file_icon.h"
#include "imaging/icons/icon_format.h"
#include "imaging/icons/icon_xp.h"
#include "imaging/icons/icon_xp_format.h"
#include "mainwindow/file_host.h"

#include <QFile>
#include <QImage>
#include <QPoint>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct TSourceImage {
    int Index = 0;
    int Width = 0;
    int Height = 0;
    QString Kind;
    QPoint HotSpot;
    QImage Picture;
    QByteArray Icon; // the image alone as a one-image .ico
};

constexpr const char* kOnlyLarge =
    "This icon holds only images larger than 255 pixels. Image formats are 1 to 255 pixels, so it opens no project.";
constexpr const char* kDamagedSkipped = "%1 damaged image(s) of this icon could not be read and were skipped.";
constexpr const char* kPastLastFormat =
    "A project holds %1 image formats: the images after them (%2) were left out of editing and are kept unchanged "
    "when the project is saved.";
// On the status bar, whose panel has room for a short line only.
constexpr const char* kKeptStatus = "%1 image(s) kept unedited";

// The decoded image as the format's picture, top row first and at its own size. Kinds without
// an alpha channel are transparent black wherever their mask is set, whatever colour the image
// holds there.
QImage FormatPicture(const TIconXPFormat& decoded, bool keepAlpha)
{
    const int dw = decoded.Width(), dh = decoded.Height();
    QImage own(dw, dh, QImage::Format_ARGB32);
    const TIconXPData& pixels = decoded.Pixels();
    for (int y = 0; y < dh; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(own.scanLine(y));
        const uint32_t* row = pixels.data() + size_t(dh - 1 - y) * size_t(dw);
        for (int x = 0; x < dw; ++x)
            line[x] = (!keepAlpha && (row[x] >> 24) == 0) ? 0u : row[x];
    }
    return own;
}

int FreeDocumentNumber(const TFileHost& host)
{
    int n = 1;
    while (n <= host.State.DocumentCounter && host.FindDocument(QStringLiteral("iconview%1").arg(n)))
        ++n;
    return n;
}

void SetFormat(Tnewiconview* doc, int f, const TSourceImage& image)
{
    doc->FormatTable.SetFormat(f, image.Width, image.Height, image.Kind);
    doc->SetFormatImage(f, GdipImageFromQImage(image.Picture));
    doc->FormatTable.SetUndoStateCount(f, 1);
    if (const int j = TFormatTable::StandardIndexOf(image.Width, image.Height, image.Kind))
        doc->FormatTable.SetStandardFormat(j, QString::number(image.Width), QString::number(image.Height),
                                           image.Kind, true);
}

// A palette format keeps the colour table its image came with, so that saving and strokes stay
// within the entry's own colours.
void KeepColorTable(Tnewiconview* doc, int f, TFileIcon& file, int index)
{
    TMemoryStream bytes;
    try {
        file.CopyImageData(&bytes, uint16_t(index));
    } catch (const Exception&) {
        return; // the kind's fixed table then
    }
    int bits = 0;
    const TPaletteEntries colors = IconImageColorTable(bytes.Bytes(), bits);
    if (bits == PaletteBitsOfKind(doc->FormatTable.Kind(f)))
        doc->SetFormatPalette(f, colors, bits);
}

} // namespace

QString ImageKindOfPixelFormat(int pixelFormat, const QString& currentKind)
{
    switch (pixelFormat) {
    case 1: return QStringLiteral("Mono");
    case 2: return QStringLiteral("16");
    case 3: return QStringLiteral("256");
    case 6: return QStringLiteral("16.8M");
    case 7: return QStringLiteral("XP");
    default: return currentKind;
    }
}

Tnewiconview* OpenIconAsProject(TFileHost& host, const QString& path, const TIconProjectOrigin& origin)
{
    TEditorState& s = host.State;
    host.AppendOpenHistory(origin.UserFile.isEmpty() ? path : origin.UserFile);

    const int n = FreeDocumentNumber(host);
    const QString copy = ScratchPath(QStringLiteral("ico%1.ico").arg(n));
    QFile::remove(copy);
    QFile::copy(path, copy);
    if (!QFile::exists(copy) && QFile::exists(path))
        host.ShowPlainMessage(QStringLiteral("The operation is error"));

    // A file that cannot be opened is the caller's error to show; one that opens but holds no
    // whole directory is no icon.
    std::unique_ptr<TFileIcon> opened;
    try {
        opened = std::make_unique<TFileIcon>(path);
    } catch (const EFOpenError&) {
        throw;
    } catch (const Exception&) {
        host.ShowMessage(QString::fromLatin1(IconXPText::InvalidIcon), TMessageIcon::Warning);
        return nullptr;
    }
    TFileIcon& file = *opened;

    // Each image is read and decoded on its own, so that one damaged image costs only itself.
    // Formats are 1..255 pixels and a project holds 100 of them: larger images, and images past
    // the hundredth, are kept as they are and written back with the project.
    std::vector<TSourceImage> images;
    std::vector<TKeptIconImage> kept;
    int damaged = 0, leftOut = 0;
    // Entries that share their bytes would multiply a small file; a sound file never holds more
    // image bytes than its own length.
    const int64_t fileSize = file.Stream()->Size();
    int64_t taken = 0;
    // Nor does it decode to more pixels than one picture may hold, however well its images pack.
    int64_t pixels = 0;
    QString kind = s.NewImageKind;
    for (int i = 0; file.Valid() && i < file.Count(); ++i) {
        uint8_t entry[IconEntryCommonSize] = {};
        file.GetEntry(uint16_t(i), entry);
        TMemoryStream one;
        TIconXPFormat decoded;
        const uint32_t bytes = EntryFromBytes(entry).BytesInRes;
        try {
            if (bytes == 0 || taken + bytes > fileSize)
                throw EReadError(QString::fromLatin1(FrameworkText::ReadError));
            file.SaveImageToStream(&one, uint16_t(i));
            const int64_t imageStart = IconHeaderSize + IconEntrySize;
            decoded.DecodeImage(reinterpret_cast<const uint8_t*>(one.Memory()) + imageStart,
                                size_t(one.Size() - imageStart),
                                std::min(TIconXPFormat::MaxImagePixels, MaxIconPixels - pixels));
        } catch (const Exception&) {
        }
        if (decoded.PixelFormat() == 0 || decoded.Pixels().empty()) {
            ++damaged;
            continue;
        }
        taken += bytes;
        pixels += int64_t(decoded.Width()) * decoded.Height();
        const QPoint hotSpot(GetLE16(entry + 4), GetLE16(entry + 6));
        const bool large = entry[0] == 0 || entry[1] == 0 || decoded.Width() > 255 || decoded.Height() > 255;
        if (large || images.size() == size_t(TFormatTable::MaxFormats)) {
            leftOut += large ? 0 : 1;
            kept.push_back({QByteArray(one.Memory(), qsizetype(one.Size())), int(images.size()), origin.Cursor, hotSpot});
            continue;
        }
        kind = ImageKindOfPixelFormat(decoded.PixelFormat(), kind);
        TSourceImage source;
        source.Index = i;
        // The bitmap's own size, not the directory's: a directory that lists another size would
        // stretch the picture, and saving would write it back stretched.
        source.Width = decoded.Width();
        source.Height = decoded.Height();
        source.Kind = kind;
        source.HotSpot = hotSpot;
        source.Picture = FormatPicture(decoded, kind == QLatin1String("XP"));
        source.Icon = QByteArray(one.Memory(), qsizetype(one.Size()));
        images.push_back(std::move(source));
    }
    if (images.empty()) {
        host.ShowMessage(kept.empty() ? QString::fromLatin1(IconXPText::InvalidIcon) : QString::fromLatin1(kOnlyLarge),
                         TMessageIcon::Warning);
        return nullptr;
    }
    QStringList notes;
    if (damaged > 0)
        notes << QString::fromLatin1(kDamagedSkipped).arg(damaged);
    if (leftOut > 0)
        notes << QString::fromLatin1(kPastLastFormat).arg(TFormatTable::MaxFormats).arg(leftOut);
    if (!notes.isEmpty())
        host.ShowMessage(notes.join(QLatin1Char('\n')), TMessageIcon::Information);

    // Each image alone as a one-image icon file, numbered from 1 after the document.
    if (file.Count() > 1) {
        for (size_t k = 0; k < images.size(); ++k) {
            try {
                TMemoryStream scratch;
                scratch.WriteBuffer(images[k].Icon.constData(), images[k].Icon.size());
                scratch.SaveToFile(ScratchPath(QStringLiteral("iconum%1_%2.ico").arg(n).arg(k + 1)));
            } catch (const Exception&) {
                // A scratch copy only: the format has its picture already.
            }
        }
    }

    const TSourceImage& first = images.front();
    s.NewImageWidth = first.Width;
    s.NewImageHeight = first.Height;
    s.NewImageKind = first.Kind;
    s.ActiveDocumentNumber = n;
    Tnewiconview* doc = host.NewDocumentWindow(QStringLiteral("iconview%1").arg(n), QStringLiteral("New Icon %1").arg(n));
    if (Tnewiconview* templ = host.FindDocument(QStringLiteral("newiconview")); templ && templ != doc)
        doc->SetBounds(-4, -2, templ->Width(), templ->Height());
    s.ActiveDocumentName = doc->objectName();

    SetFormat(doc, 1, first);
    doc->KeptImages = std::move(kept);
    // The save dialog starts from the file the user opened, even where Save may not write back.
    doc->LastFileName = origin.UserFile;
    if (images.size() == 1 && file.Count() == 1) {
        const QString recorded = origin.DocumentFile;
        doc->SavedFileName = recorded;
        if (!recorded.isEmpty()) {
            host.AddRecentComboItem(recorded);
            host.SetRecentComboText(recorded);
        }
    }
    for (size_t k = 1; k < images.size(); ++k)
        SetFormat(doc, int(k) + 1, images[k]);
    for (size_t k = 0; k < images.size(); ++k)
        KeepColorTable(doc, int(k) + 1, file, images[k].Index);
    if (origin.Cursor) {
        // Formats added later take the first image's hot spot.
        doc->HotSpotX = first.HotSpot.x();
        doc->HotSpotY = first.HotSpot.y();
        for (size_t k = 0; k < images.size(); ++k)
            doc->SetFormatHotSpot(int(k) + 1, images[k].HotSpot);
    }
    // The document was made at the first image's size and zoom; it opens on that format.
    doc->FormatTable.SetFormatCount(int(images.size()));
    doc->FormatTable.SetCurrentFormat(1);
    doc->CurrentWidth = first.Width;
    doc->CurrentHeight = first.Height;
    doc->CurrentKind = first.Kind;
    const TSourceImage& last = images.back();
    s.NewImageWidth = last.Width;
    s.NewImageHeight = last.Height;
    s.NewImageKind = last.Kind;

    // The line speaks of the file opened last; one that kept nothing clears it.
    host.ShowStatus(doc->KeptImages.empty() ? QString()
                                            : QString::fromLatin1(kKeptStatus).arg(doc->KeptImages.size()));
    doc->SyncFormatListItems();
    doc->RebuildView();
    doc->UpdateThumbnails();
    doc->Show();
    s.DocumentCounter = std::max(s.DocumentCounter, n);
    // The format list's click makes the colour panel, the menus and the new-image values follow
    // the current format.
    doc->MyListBox1Click(doc);
    doc->OpacityBaseStale = true;
    return doc;
}
