#include "document/format_list.h"

#include "document/icon_document.h"
#include "document/testing_editor_state.h"
#include "framework/palette.h"
#include "platform/program_paths.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class TListDocument : public TIconDocument {
public:
    TListDocument(int w, int h, const QString& kind, QRgb fill = 0xFF000000u)
    {
        InitFormatTable(w, h, kind);
        FormatTable.SetFormatCount(1);
        FormatTable.SetCurrentFormat(1);
        SetFormatImage(1, Filled(w, h, fill));
    }
    // A format appended as the commands append one: from the current format, reduced to its kind.
    int Add(int w, int h, const QString& kind)
    {
        SourceFormat = CurrentFormat();
        const int f = AppendFormat(*this, true, w, h, kind);
        BuildFormatImage(*this, "dorvelt");
        return f;
    }
    static GpBitmap* Filled(int w, int h, QRgb fill)
    {
        QImage img(w, h, QImage::Format_ARGB32);
        img.fill(fill);
        return GdipImageFromQImage(img);
    }
    QImage& Image(int f) { return *GdipImageData(FormatImages[size_t(f)]); }
    QStringList Order() const
    {
        QStringList out;
        for (int f = 1; f <= FormatCount(); ++f)
            out << FormatTable.Width(f) + "x" + FormatTable.Height(f) + " " + FormatTable.Kind(f);
        return out;
    }

protected:
    QString DocumentName() const override { return QStringLiteral("iconview1"); }
};

class FormatList : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolder(dir.path()); }
    void TearDown() override { SetProgramFolder(QString()); }
    QTemporaryDir dir;
    TTestingEditorState state;
};

} // namespace

TEST_F(FormatList, SortGroupsByKindWiderFirstAndPicturesFollow)
{
    struct Case {
        const char* name;
        std::vector<std::tuple<int, int, const char*>> adds; // after a first 48 x 48 "XP"
        QStringList order;
    } cases[] = {
        {"palette format after the XP ones", {{16, 16, "XP"}, {32, 32, "256"}}, {"48x48 XP", "16x16 XP", "32x32 256"}},
        {"kinds in their order", {{16, 16, "Mono"}, {32, 32, "16.8M"}, {24, 24, "16"}, {64, 64, "256"}},
         {"48x48 XP", "32x32 16.8M", "64x64 256", "24x24 16", "16x16 Mono"}},
        {"equal widths keep their order", {{32, 16, "XP"}, {32, 32, "XP"}}, {"48x48 XP", "32x16 XP", "32x32 XP"}},
        {"wider XP goes in front", {{128, 128, "XP"}}, {"128x128 XP", "48x48 XP"}},
    };
    for (const Case& c : cases) {
        TListDocument doc(48, 48, "XP");
        for (const auto& [w, h, kind] : c.adds) {
            doc.Add(w, h, kind);
            // Each picture carries its own size in pixel (0, 0) to follow it through the sort.
            doc.Image(doc.CurrentFormat()).setPixel(0, 0, qRgba(w, h, FormatKindRank(kind), 255));
            doc.FormatTable.SetUndoStateCount(doc.CurrentFormat(), 10 * w + h);
        }
        doc.Image(1).setPixel(0, 0, qRgba(48, 48, 0, 255));
        doc.FormatTable.SetUndoStateCount(1, 10 * 48 + 48);
        SortFormats(doc);
        EXPECT_EQ(doc.Order(), c.order) << c.name;
        for (int f = 1; f <= doc.FormatCount(); ++f) {
            const int w = doc.FormatTable.Width(f).toInt(), h = doc.FormatTable.Height(f).toInt();
            EXPECT_EQ(doc.Image(f).size(), QSize(w, h)) << c.name;
            EXPECT_EQ(doc.Image(f).pixel(0, 0), qRgba(w, h, FormatKindRank(doc.FormatTable.Kind(f)), 255)) << c.name;
            EXPECT_EQ(doc.FormatTable.UndoStateCount(f), 10 * w + h) << c.name;
        }
    }
}

TEST_F(FormatList, NewFormatsAreReducedToTheirKind)
{
    // Left half black at alpha 200, right half red at alpha 100.
    TListDocument doc(16, 16, "XP");
    QImage& src = doc.Image(1);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            src.setPixel(x, y, x < 8 ? qRgba(0, 0, 0, 200) : qRgba(255, 0, 0, 100));

    for (const char* kind : {"16.8M", "256", "16", "Mono"}) {
        doc.FormatTable.SetCurrentFormat(1);
        const int f = doc.Add(16, 16, kind);
        const QImage& img = doc.Image(f);
        const TPaletteEntries* palette =
            QString(kind) == "16.8M" ? nullptr : &FixedPaletteForBits(QString(kind) == "256" ? 8 : QString(kind) == "16" ? 4 : 1);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QRgb p = img.pixel(x, y);
                if (x < 8) {
                    EXPECT_EQ(qAlpha(p), 255) << kind;
                    // Black over white at alpha 200 is a dark grey, kept or mapped to a palette colour.
                    EXPECT_LT(qRed(p), 90) << kind;
                } else {
                    EXPECT_EQ(p, 0u) << kind << " " << x << "," << y;
                }
                if (palette && qAlpha(p) == 255) {
                    const bool inTable = std::find(palette->begin(), palette->end(), p & 0xFFFFFFu) != palette->end();
                    EXPECT_TRUE(inTable) << kind << " " << std::hex << p;
                }
            }
        EXPECT_FALSE(state.Visible.value("colorbara", true)) << kind;
        EXPECT_EQ(state.TrackBars.value("colorbara"), 255);
    }
    EXPECT_TRUE(state.Visible.value("color1"));
    EXPECT_FALSE(state.Visible.value("color16", true));

    // An XP format takes the source scaled, alpha and all.
    doc.FormatTable.SetCurrentFormat(1);
    const int f = doc.Add(32, 32, "XP");
    EXPECT_EQ(doc.Image(f).size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(doc.Image(f).pixel(4, 4)), 200);
    EXPECT_EQ(state.TrackBars.value("colorbara"), 155);
    EXPECT_EQ(state.NewImageWidth, 32);
    EXPECT_EQ(state.NewImageKind, "XP");
}

TEST_F(FormatList, RemovalMovesFormatsDownAndUnticksTheChecklist)
{
    TListDocument doc(48, 48, "XP");
    doc.Add(32, 32, "XP");
    doc.Add(20, 20, "XP");
    doc.Add(16, 16, "Mono");
    for (int f = 1; f <= 4; ++f)
        doc.Image(f).setPixel(0, 0, qRgba(f, 0, 0, 255));
    UpdateStandardChecklist(doc);
    EXPECT_EQ(doc.FormatTable.StandardFlag(2), "TRUE");

    doc.FormatTable.SetCurrentFormat(2);
    EXPECT_TRUE(RemoveCurrentFormat(doc));
    EXPECT_EQ(doc.Order(), QStringList({"48x48 XP", "20x20 XP", "16x16 Mono"}));
    EXPECT_EQ(doc.FormatTable.StandardFlag(2), "FALSE");
    EXPECT_EQ(doc.CurrentFormat(), 2);
    EXPECT_EQ(doc.CurrentWidth, 20);
    EXPECT_EQ(qRed(doc.Image(2).pixel(0, 0)), 3);
    EXPECT_EQ(doc.FormatImages[4], nullptr);

    // The last format gives way to the one before it.
    doc.FormatTable.SetCurrentFormat(3);
    EXPECT_TRUE(RemoveCurrentFormat(doc));
    EXPECT_EQ(doc.CurrentFormat(), 2);
    EXPECT_EQ(doc.FormatTable.StandardFlag(15), "FALSE");
    EXPECT_TRUE(RemoveCurrentFormat(doc));
    EXPECT_FALSE(RemoveCurrentFormat(doc));
    EXPECT_EQ(doc.Order(), QStringList({"48x48 XP"}));
}

TEST_F(FormatList, ChecklistOffersTheFirstMissingStandardFormat)
{
    TListDocument doc(48, 48, "XP");
    doc.Add(32, 32, "XP");
    UpdateStandardChecklist(doc);
    const int j = OfferStandardFormat(doc);
    EXPECT_EQ(j, 3);
    EXPECT_EQ(StandardFormatOfferCaption(doc, j), "Create 16 * 16 XP Image Format");
    EXPECT_TRUE(doc.AddingStandardFormat);
    EXPECT_EQ(doc.FormatTable.Width(3), "16");
    EXPECT_EQ(doc.FormatTable.Kind(3), "XP");

    // The offered format is added from the cells the offer wrote, and ticks its entry.
    doc.SourceFormat = 1;
    AppendFormat(doc, false);
    BuildFormatImage(doc, "dorvelt");
    EXPECT_EQ(doc.FormatTable.StandardFlag(3), "TRUE");
    EXPECT_EQ(doc.CurrentWidth, 16);
    UpdateStandardChecklist(doc);
    EXPECT_EQ(OfferStandardFormat(doc), 4);

    // A format of another height is not the standard one of its width.
    TListDocument tall(48, 48, "XP");
    tall.Add(32, 16, "XP");
    UpdateStandardChecklist(tall);
    EXPECT_EQ(tall.FormatTable.StandardFlag(2), "FALSE");
    EXPECT_EQ(OfferStandardFormat(tall), 2);

    // Texts stored with blanks, or stored as something other than "FALSE", count as written.
    TListDocument stored(16, 16, "Mono");
    for (int k = 1; k <= 15; ++k)
        stored.FormatTable.SetText(TFormatTable::StandardCell(k) + 3, k == 7 ? "FALSE" : "yes");
    EXPECT_EQ(OfferStandardFormat(stored), 7);
    for (int k = 1; k <= 15; ++k)
        stored.FormatTable.SetText(TFormatTable::StandardCell(k) + 3, "TRUE");
    EXPECT_EQ(OfferStandardFormat(stored), 0);
}

TEST_F(FormatList, NewFormatsAreCheckedBeforeTheyAreAdded)
{
    TListDocument doc(32, 32, "XP");
    struct Case {
        int w, h;
        const char* kind;
        const char* refusal;
    } cases[] = {
        {0, 16, "XP", "Please set image size"},
        {16, 0, "XP", "Please set image size"},
        {256, 16, "XP", "The image size must be from 1 to 255 pixels"},
        {-3, 16, "XP", "The image size must be from 1 to 255 pixels"},
        {32, 32, "XP", "The icon format has existed"},
        {16, 16, "Photo", "Unknown image format \"Photo\""},
        {32, 32, "256", ""},
        {255, 1, "Mono", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckNewFormat(doc, c.w, c.h, c.kind), QString(c.refusal)) << c.w << "x" << c.h << c.kind;

    for (int w = 1; doc.FormatCount() < 100; ++w)
        AppendFormat(doc, true, w, 7, "Mono");
    EXPECT_EQ(CheckNewFormat(doc, 33, 33, "XP"), "A project holds at most 100 image formats");
    // With the table full the offer still names the format but writes no cells past the last.
    EXPECT_EQ(OfferStandardFormat(doc), 1);
}
