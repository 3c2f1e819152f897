#include "document/format_list.h"

#include "document/editor_state.h"
#include "document/icon_document.h"
#include "framework/bitmap.h"
#include "framework/qimage_bridge.h"

#include <QImage>
#include <algorithm>

namespace {

constexpr int kMaxSide = 255;
// Below this source alpha a pixel of a palette kind is left transparent.
constexpr int kOpaqueAlpha = 130;

int Side(const QString& text) { return text.trimmed().toInt(); }

// A new ARGB bitmap of w x h holding source scaled to it with the given modes.
GpBitmap* ScaledCopy(GpBitmap* source, int w, int h, InterpolationMode interpolation, bool setInterpolation)
{
    GpBitmap* out = TIconDocument::NewTransparentBitmap(w, h);
    GpGraphics* g = nullptr;
    GdipGetImageGraphicsContext(out, &g);
    if (setInterpolation)
        GdipSetInterpolationMode(g, interpolation);
    GdipSetPixelOffsetMode(g, PixelOffsetModeHalf);
    GdipSetSmoothingMode(g, SmoothingModeHighQuality);
    GdipDrawImageRectI(g, source, 0, 0, w, h);
    GdipDeleteGraphics(g);
    return out;
}

TPixelFormat PixelFormatOfKind(const QString& kind)
{
    if (kind == QLatin1String("256"))
        return pf8bit;
    if (kind == QLatin1String("16"))
        return pf4bit;
    if (kind == QLatin1String("Mono"))
        return pf1bit;
    return pf24bit;
}

void ShowWellsFor(TEditorState* s, const QString& kind)
{
    if (kind == QLatin1String("XP")) {
        s->SetControlVisible(QStringLiteral("colorxp"), true);
        s->SetControlVisible(QStringLiteral("color1"), false);
    } else if (kind == QLatin1String("Mono")) {
        s->SetControlVisible(QStringLiteral("color1"), true);
        s->SetControlVisible(QStringLiteral("colorxp"), false);
    }
}

} // namespace

int FormatKindRank(const QString& kind)
{
    for (int i = 0; i < 5; ++i)
        if (kind == QLatin1String(FormatKindOrder[i]))
            return i;
    return 5;
}

TNewFormatChoice& NewFormatChoice()
{
    static TNewFormatChoice choice;
    return choice;
}

QString FormatCaption(const TIconDocument& doc, int f)
{
    return doc.FormatTable.Width(f) + QStringLiteral(" * ") + doc.FormatTable.Height(f) + QStringLiteral(" - ") +
           doc.FormatTable.Kind(f);
}

QString CheckNewFormat(const TIconDocument& doc, int width, int height, const QString& kind)
{
    if (width == 0 || height == 0)
        return QStringLiteral("Please set image size");
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return QStringLiteral("The image size must be from 1 to 255 pixels");
    if (FormatKindRank(kind) > 4)
        return QStringLiteral("Unknown image format \"%1\"").arg(kind);
    for (int f = 1; f <= doc.FormatCount(); ++f)
        if (doc.FormatTable.Width(f) == QString::number(width) && doc.FormatTable.Height(f) == QString::number(height) &&
            doc.FormatTable.Kind(f) == kind)
            return QStringLiteral("The icon format has existed");
    if (doc.FormatCount() >= TFormatTable::MaxFormats)
        return QStringLiteral("A project holds at most 100 image formats");
    return QString();
}

void MakeFormatCurrent(TIconDocument& doc, int f)
{
    doc.FormatTable.SetCurrentFormat(f);
    doc.CurrentWidth = Side(doc.FormatTable.Width(f));
    doc.CurrentHeight = Side(doc.FormatTable.Height(f));
    doc.CurrentKind = doc.FormatTable.Kind(f);
    if (TEditorState* s = EditorState()) {
        s->NewImageWidth = doc.CurrentWidth;
        s->NewImageHeight = doc.CurrentHeight;
        s->NewImageKind = doc.CurrentKind;
    }
    // Undo and Redo take the steps of the format in front.
    if (doc.IsActiveDocument())
        doc.ShowHistoryControls();
}

int AppendFormat(TIconDocument& doc, bool setCells, int width, int height, const QString& kind)
{
    const int f = doc.FormatCount() + 1;
    if (setCells)
        doc.FormatTable.SetFormat(f, width, height, kind);
    // A number that a removed format left behind starts with no history, and a picture made here
    // takes its kind's fixed colour table and the document's hot spot.
    doc.ClearFormatHistory(f);
    doc.SetFormatPalette(f, {}, 0);
    doc.ForgetFormatHotSpot(f);
    if (doc.AddingStandardFormat) {
        const int j = doc.StandardFormatIndex;
        if (j >= 1 && j <= TFormatTable::StandardFormatCount)
            doc.FormatTable.SetStandardFormat(j, doc.FormatTable.StandardWidth(j), doc.FormatTable.StandardHeight(j),
                                              doc.FormatTable.StandardKind(j), true);
    }
    doc.FormatTable.SetFormatCount(f);
    MakeFormatCurrent(doc, f);
    if (TEditorState* s = EditorState())
        ShowWellsFor(s, doc.CurrentKind);
    return f;
}

void SwitchColorPanel(const QString& kind, bool asListClick)
{
    TEditorState* s = EditorState();
    if (!s)
        return;
    const bool xp = kind == QLatin1String("XP");
    if (asListClick && !xp) {
        s->SetEditText(QStringLiteral("colora"), QStringLiteral("255"));
        s->SetEditText(QStringLiteral("downa"), QStringLiteral("255"));
    }
    for (const char* name : {"colorbara", "colora", "ca"})
        s->SetControlVisible(QLatin1String(name), xp);
    s->SetControlVisible(QStringLiteral("colorxp"), xp || kind == QLatin1String("16.8M"));
    s->SetControlVisible(QStringLiteral("color256"), kind == QLatin1String("256"));
    s->SetControlVisible(QStringLiteral("color16"), kind == QLatin1String("16"));
    s->SetControlVisible(QStringLiteral("color1"), kind == QLatin1String("Mono"));
    s->SetControlVisible(QStringLiteral("layer_a"), xp);
    s->SetControlVisible(QStringLiteral("layerok"), xp);
    if (asListClick) {
        if (xp)
            s->RunMainCommand(QStringLiteral("colorbaraChange"));
        else if (kind == QLatin1String("16.8M") || kind == QLatin1String("256"))
            s->RunMainCommand(QStringLiteral("colorbarrChange"));
    }
    for (const char* name : {"Panel14", "Label1", "Label11", "opacity"})
        s->SetControlVisible(QLatin1String(name), xp);
}

void BuildFormatImage(TIconDocument& doc, const QString& marker)
{
    const int w = doc.CurrentWidth, h = doc.CurrentHeight;
    const int f = doc.CurrentFormat();
    doc.SetFormatImage(f, TIconDocument::NewTransparentBitmap(w, h));
    const int sf = doc.SourceFormat;
    GpBitmap* source = sf >= 1 && sf <= TFormatTable::MaxFormats ? doc.FormatImages[size_t(sf)] : nullptr;
    TEditorState* s = EditorState();

    if (doc.CurrentKind == QLatin1String("XP")) {
        if (s) {
            s->SetControlVisible(QStringLiteral("colorbara"), false);
            s->SetTrackBarPosition(QStringLiteral("colorbara"), 155);
            s->SetControlVisible(QStringLiteral("colora"), false);
            s->SetControlVisible(QStringLiteral("ca"), false);
        }
        if (source && marker != QLatin1String("load"))
            doc.SetFormatImage(f, ScaledCopy(source, w, h, InterpolationModeDefault, false));
        return;
    }

    SwitchColorPanel(doc.CurrentKind, false);
    if (s)
        s->SetTrackBarPosition(QStringLiteral("colorbara"), 255);
    if (!source)
        return;
    GpBitmap* coverage = ScaledCopy(source, w, h, InterpolationModeNearestNeighbor, true);
    // Partly transparent pixels are blended over white before the colours are reduced.
    QImage white(w, h, QImage::Format_ARGB32);
    white.fill(0xFFFFFFFFu);
    GpBitmap* ground = GdipImageFromQImage(white);
    GpGraphics* g = nullptr;
    GdipGetImageGraphicsContext(ground, &g);
    GdipSetInterpolationMode(g, InterpolationModeHighQualityBicubic);
    GdipSetPixelOffsetMode(g, PixelOffsetModeHalf);
    GdipSetSmoothingMode(g, SmoothingModeHighQuality);
    GdipDrawImageRectI(g, source, 0, 0, w, h);
    GdipDeleteGraphics(g);
    TBitmap reduced;
    QImageToBitmap(*GdipImageData(ground), reduced);
    reduced.SetPixelFormat(PixelFormatOfKind(doc.CurrentKind));

    const QImage& alpha = *GdipImageData(coverage);
    QImage& target = *GdipImageData(doc.FormatImages[size_t(f)]);
    for (int y = 0; y < h; ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(alpha.constScanLine(y));
        auto* t = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int x = 0; x < w; ++x)
            t[x] = qAlpha(a[x]) >= kOpaqueAlpha ? (reduced.PixelArgb(x, y) | 0xFF000000u) : 0u;
    }
    GdipDisposeImage(coverage);
    GdipDisposeImage(ground);
}

std::vector<int> SortFormats(TIconDocument& doc)
{
    const int count = doc.FormatCount();
    struct Entry {
        QString w, h, kind;
        int old;
    };
    std::vector<Entry> entries;
    for (int f = 1; f <= count; ++f)
        entries.push_back({doc.FormatTable.Width(f), doc.FormatTable.Height(f), doc.FormatTable.Kind(f), f});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int ra = FormatKindRank(a.kind), rb = FormatKindRank(b.kind);
        if (ra != rb)
            return ra < rb;
        return Side(a.w) > Side(b.w);
    });

    std::vector<int> order(size_t(count) + 1, 0);
    std::vector<GpBitmap*> pictures(size_t(count) + 1, nullptr);
    for (int k = 1; k <= count; ++k) {
        const Entry& e = entries[size_t(k - 1)];
        order[size_t(k)] = e.old;
        pictures[size_t(k)] = doc.FormatImages[size_t(e.old)];
        doc.FormatTable.SetText(TFormatTable::WidthCell(k), e.w);
        doc.FormatTable.SetText(TFormatTable::HeightCell(k), e.h);
        doc.FormatTable.SetText(TFormatTable::KindCell(k), e.kind);
    }
    // The pictures change places: none is freed.
    for (int k = 1; k <= count; ++k)
        doc.FormatImages[size_t(k)] = pictures[size_t(k)];
    doc.ReorderFormatHistories(order);
    return order;
}

bool RemoveCurrentFormat(TIconDocument& doc)
{
    const int count = doc.FormatCount();
    const int c = doc.CurrentFormat();
    if (count < 2 || c < 1 || c > count)
        return false;
    const int w = Side(doc.FormatTable.Width(c)), h = Side(doc.FormatTable.Height(c));
    if (const int j = TFormatTable::StandardIndexOf(w, h, doc.FormatTable.Kind(c)))
        doc.FormatTable.SetStandardFormat(j, doc.FormatTable.StandardWidth(j), doc.FormatTable.StandardHeight(j),
                                          doc.FormatTable.StandardKind(j), false);

    GdipDisposeImage(doc.FormatImages[size_t(c)]);
    for (int i = c; i < count; ++i) {
        doc.FormatTable.SetText(TFormatTable::WidthCell(i), doc.FormatTable.Width(i + 1));
        doc.FormatTable.SetText(TFormatTable::HeightCell(i), doc.FormatTable.Height(i + 1));
        doc.FormatTable.SetText(TFormatTable::KindCell(i), doc.FormatTable.Kind(i + 1));
        doc.FormatImages[size_t(i)] = doc.FormatImages[size_t(i + 1)];
    }
    doc.FormatImages[size_t(count)] = nullptr;
    doc.RemoveFormatHistory(c, count);
    doc.FormatTable.SetFormatCount(count - 1);
    MakeFormatCurrent(doc, c == count ? c - 1 : c);
    return true;
}

void UpdateStandardChecklist(TIconDocument& doc)
{
    TFormatTable& t = doc.FormatTable;
    for (int f = 1; f <= doc.FormatCount(); ++f)
        for (int j = 1; j <= TFormatTable::StandardFormatCount; ++j)
            if (t.Width(f).trimmed() == t.StandardWidth(j).trimmed() &&
                t.Height(f).trimmed() == t.StandardHeight(j).trimmed() && t.Kind(f).trimmed() == t.StandardKind(j).trimmed())
                t.SetStandardFormat(j, t.StandardWidth(j), t.StandardHeight(j), t.StandardKind(j), true);
}

int OfferStandardFormat(TIconDocument& doc)
{
    TFormatTable& t = doc.FormatTable;
    for (int j = 1; j <= TFormatTable::StandardFormatCount; ++j) {
        if (t.StandardPresent(j))
            continue;
        const int next = doc.FormatCount() + 1;
        if (next <= TFormatTable::MaxFormats) {
            t.SetText(TFormatTable::WidthCell(next), t.StandardWidth(j).trimmed());
            t.SetText(TFormatTable::HeightCell(next), t.StandardHeight(j).trimmed());
            t.SetText(TFormatTable::KindCell(next), t.StandardKind(j).trimmed());
        }
        doc.StandardFormatIndex = j;
        doc.AddingStandardFormat = true;
        return j;
    }
    return 0;
}

QString StandardFormatOfferCaption(const TIconDocument& doc, int j)
{
    const TFormatTable& t = doc.FormatTable;
    return QStringLiteral("Create ") + t.StandardWidth(j).trimmed() + QStringLiteral(" * ") +
           t.StandardHeight(j).trimmed() + QLatin1Char(' ') + t.StandardKind(j).trimmed() +
           QStringLiteral(" Image Format");
}
