#include "document/document_files.h"

#include "document/animation_builders.h"
#include "document/icon_document.h"
#include "document/scratch_folder.h"
#include "document/testing_editor_state.h"
#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/qimage_bridge.h"
#include "imaging/icons/file_icon.h"
#include "imaging/icons/icon_format.h"
#include "platform/icon_handle.h"
#include "platform/program_paths.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class TFilesDocument : public TIconDocument {
public:
    TFilesDocument() { FormatTable.SetFormatCount(0); }
    // Appends a format whose pixels come from fill(x, y) and makes it current.
    int Add(int w, int h, const QString& kind, const std::function<QRgb(int, int)>& fill)
    {
        const int f = FormatCount() + 1;
        FormatTable.SetFormatCount(f);
        FormatTable.SetFormat(f, w, h, kind);
        QImage img(w, h, QImage::Format_ARGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                img.setPixel(x, y, fill(x, y));
        SetFormatImage(f, GdipImageFromQImage(img));
        Select(f);
        return f;
    }
    void Select(int f)
    {
        FormatTable.SetCurrentFormat(f);
        CurrentWidth = FormatTable.Width(f).toInt();
        CurrentHeight = FormatTable.Height(f).toInt();
        CurrentKind = FormatTable.Kind(f);
    }
    QImage Image(int f) const { return *GdipImageData(FormatImages[size_t(f)]); }

protected:
    QString DocumentName() const override { return QStringLiteral("iconview1"); }
};

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const uint8_t* U8(const QByteArray& b) { return reinterpret_cast<const uint8_t*>(b.constData()); }

// The decoded pixels of image i of an .ico file, as the project's own reader gives them.
QImage DecodeEntry(TFileIcon& icon, int i)
{
    return IconToImage(icon.GetIconHandle(uint16_t(i)));
}

// icotool's listing of a file, or empty when icotool is not installed.
QString IcotoolList(const QString& path)
{
    if (QStandardPaths::findExecutable(QStringLiteral("icotool")).isEmpty())
        return QString();
    QProcess p;
    p.start(QStringLiteral("icotool"), {QStringLiteral("-l"), path});
    p.waitForFinished(10000);
    return QString::fromLatin1(p.readAllStandardOutput());
}

class RecordingBuilders : public TAnimationBuilders {
public:
    RecordingBuilders() { SetAnimationBuilders(this); }
    ~RecordingBuilders() override { SetAnimationBuilders(nullptr); }
    void InsertGifPicture(const QString& fileName) override { Log << "gif " + fileName; }
    int AniFrameCount() override { return Frames; }
    void AddAniFrame(const QString& marker, const QString& mode) override
    {
        Log << "ani " + marker + " " + mode;
        ++Frames;
    }
    int Frames = 0;
    QStringList Log;
};

class DocumentFiles : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolder(dir.path()); }
    void TearDown() override { SetProgramFolder(QString()); }
    QString Target(const QString& name) const { return out.filePath(name); }

    QTemporaryDir dir;
    QTemporaryDir out;
    TTestingEditorState state;
    TFilesDocument doc;
};

QRgb Checker(int x, int y) { return ((x + y) & 1) ? 0xFF000000u : 0xFFFFFFFFu; }

} // namespace

TEST_F(DocumentFiles, ProjectIconHoldsOneEntryPerFormatInTableOrder)
{
    // Partial alpha, an opaque pixel and a fully transparent one that keeps a colour.
    doc.Add(48, 48, "XP", [](int x, int y) -> QRgb {
        if (x == 0 && y == 0)
            return 0x00FF0000u;
        return x < 24 ? 0x80336699u : 0xFF102030u;
    });
    doc.Add(32, 32, "256", [](int x, int y) { return x == 5 && y == 6 ? 0u : Checker(x, y); });
    doc.Add(16, 16, "Mono", [](int x, int) { return x < 8 ? 0xFF000000u : 0xFFFFFFFFu; });
    const QString path = Target("project.ico");
    state.CommandArgument = "  " + path + " ";
    SaveIconCommand(doc);

    EXPECT_EQ(doc.SavedFileName, path);
    EXPECT_EQ(doc.EditState, 2);
    TFileIcon icon(path);
    ASSERT_EQ(icon.Count(), 3);
    struct Want {
        int side, bits, colors;
    } want[] = {{48, 32, 0}, {32, 8, 0}, {16, 1, 2}};
    for (int i = 0; i < 3; ++i) {
        uint8_t e[IconEntryCommonSize];
        ASSERT_TRUE(icon.GetEntry(uint16_t(i), e));
        EXPECT_EQ(e[0], want[i].side);
        EXPECT_EQ(e[1], want[i].side);
        EXPECT_EQ(e[2], want[i].colors) << i;
        EXPECT_EQ(e[3], 0);
        EXPECT_EQ(GetLE16(e + 4), 1);
        EXPECT_EQ(GetLE16(e + 6), want[i].bits) << i;
    }
    const QImage xp = DecodeEntry(icon, 0);
    EXPECT_EQ(qAlpha(xp.pixel(0, 0)), 0);
    EXPECT_EQ(xp.pixel(3, 3), 0x80336699u);
    EXPECT_EQ(xp.pixel(30, 3), 0xFF102030u);
    const QImage i256 = DecodeEntry(icon, 1);
    EXPECT_EQ(i256.pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(i256.pixel(1, 0), 0xFF000000u);
    EXPECT_EQ(qAlpha(i256.pixel(5, 6)), 0);
    const QImage mono = DecodeEntry(icon, 2);
    EXPECT_EQ(mono.pixel(2, 2), 0xFF000000u);
    EXPECT_EQ(mono.pixel(12, 2), 0xFFFFFFFFu);

    // The XP entry's mask is set only where the alpha is 0.
    QByteArray xpData = ReadAll(path);
    const uint32_t offset = GetLE32(U8(xpData) + 6 + 12);
    const int maskStart = int(offset) + 40 + 4 * 48 * 48;
    const int row = 8; // 48 bits padded to 4 bytes
    // Image row 0 is the last mask row.
    EXPECT_EQ(uint8_t(xpData[maskStart + 47 * row]), 0x80);
    for (int r = 0; r < 47; ++r)
        EXPECT_EQ(uint8_t(xpData[maskStart + r * row]), 0) << r;

    const QString listing = IcotoolList(path);
    if (listing.isEmpty())
        GTEST_SKIP() << "icotool is not installed";
    const QStringList lines = listing.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3) << listing.toStdString();
    EXPECT_TRUE(lines[0].contains("--width=48 --height=48 --bit-depth=32 --palette-size=0")) << listing.toStdString();
    EXPECT_TRUE(lines[1].contains("--width=32 --height=32 --bit-depth=8 --palette-size=256")) << listing.toStdString();
    EXPECT_TRUE(lines[2].contains("--width=16 --height=16 --bit-depth=1 --palette-size=2")) << listing.toStdString();
}

TEST_F(DocumentFiles, IconLibraryHandOffWritesTheScratchFileOnly)
{
    doc.Add(16, 16, "XP", Checker);
    doc.SavedFileName = "/somewhere/kept.ico";
    QDir::setCurrent(out.path());
    SaveProjectIcon(doc, " icl ");
    EXPECT_TRUE(QFile::exists(ScratchPath("icl.ico")));
    EXPECT_FALSE(QFile::exists(Target("icl")));
    EXPECT_EQ(doc.SavedFileName, "/somewhere/kept.ico");
    TFileIcon icon(ScratchPath("icl.ico"));
    EXPECT_EQ(icon.Count(), 1);
}

TEST_F(DocumentFiles, OpaquePixelOfTheOldKeyColourStaysOpaque)
{
    const QRgb key = qRgb(210, 0, 255);
    doc.Add(16, 16, "16.8M", [key](int x, int) { return x == 3 ? key : 0xFF00FF00u; });
    const QString ico = Target("key.ico");
    SaveProjectIcon(doc, ico);
    TFileIcon icon(ico);
    EXPECT_EQ(DecodeEntry(icon, 0).pixel(3, 3), key);

    const QByteArray cur = CurrentFormatCursorBytes(doc, 0, 0);
    const int maskStart = 62 + 48 * 16;
    for (int r = 0; r < 16; ++r)
        EXPECT_EQ(GetLE32(U8(cur) + maskStart + 4 * r), 0u) << r;
}

TEST_F(DocumentFiles, LargeXPFormatKeepsItsWholeSize)
{
    doc.Add(128, 128, "XP", [](int x, int) { return x % 2 ? 0xFF123456u : 0x40FFFFFFu; });
    const QString path = Target("big.ico");
    SaveProjectIcon(doc, path);
    const QByteArray bytes = ReadAll(path);
    ASSERT_GE(bytes.size(), 22);
    EXPECT_EQ(GetLE32(U8(bytes) + 6 + 8), 67624u);
    EXPECT_EQ(bytes.size(), 22 + 67624);
    const QByteArray one = ReadAll(ScratchPath("11_1.ico"));
    EXPECT_EQ(GetLE32(U8(one) + 14), 67624u);
    EXPECT_EQ(GetLE32(U8(one) + 42), uint32_t(65536 + 2048));
    TFileIcon icon(path);
    EXPECT_EQ(DecodeEntry(icon, 0).pixel(1, 127), 0xFF123456u);
}

TEST_F(DocumentFiles, CursorLayoutsByKind)
{
    // 17 x 17 at 24 bits: rows of 51 colour bytes and one pad byte, mask rows of 4 bytes.
    doc.Add(17, 17, "16.8M", [](int x, int y) { return x == 16 && y == 0 ? 0x00ABCDEFu : 0xFF112233u; });
    QByteArray cur = CurrentFormatCursorBytes(doc, 3, 4);
    ASSERT_EQ(cur.size(), 62 + 52 * 17 + 4 * 17);
    EXPECT_EQ(GetLE16(U8(cur) + 2), 2);
    EXPECT_EQ(cur[8], 0);
    EXPECT_EQ(GetLE16(U8(cur) + 10), 3);
    EXPECT_EQ(GetLE16(U8(cur) + 12), 4);
    EXPECT_EQ(GetLE32(U8(cur) + 14), uint32_t(cur.size() - 22));
    EXPECT_EQ(GetLE32(U8(cur) + 30), 34u);
    EXPECT_EQ(GetLE16(U8(cur) + 36), 24);
    // Bottom image row first; the top-right pixel is in the last colour row.
    const uint8_t* top = U8(cur) + 62 + 52 * 16;
    EXPECT_EQ(top[0], 0x33);
    EXPECT_EQ(top[51], 0);
    // Transparent there: mask bit set and the colour black, so the screen shows through.
    EXPECT_EQ(top[48], 0);
    EXPECT_EQ(top[49], 0);
    EXPECT_EQ(top[50], 0);
    const uint8_t* topMask = U8(cur) + 62 + 52 * 17 + 4 * 16;
    EXPECT_EQ(topMask[2], 0x80);

    // Palette kinds are the one-image icon with the cursor type and the hot spot.
    doc.Add(32, 32, "16", Checker);
    cur = CurrentFormatCursorBytes(doc, 5, 9);
    const QByteArray icon = FormatIconBytes(doc, 2, "16");
    ASSERT_EQ(cur.size(), icon.size());
    EXPECT_EQ(GetLE16(U8(cur) + 2), 2);
    EXPECT_EQ(GetLE16(U8(cur) + 10), 5);
    EXPECT_EQ(GetLE16(U8(cur) + 12), 9);
    EXPECT_EQ(cur[8], 16);
    EXPECT_EQ(cur[9], 0);
    EXPECT_EQ(cur.mid(14), icon.mid(14));

    // An XP cursor keeps its alpha; written whole to the target with the document's own hot spot,
    // whatever another cursor opened since left in the editor.
    TFilesDocument one;
    one.Add(8, 8, "XP", [](int x, int y) { return qRgba(x * 30, y * 30, 7, 10 + x + 8 * y); });
    const QString path = Target("pointer.cur");
    state.CommandArgument = path;
    one.HotSpotX = 2;
    one.HotSpotY = 6;
    state.HotSpotX = 9;
    state.HotSpotY = 1;
    SaveCursorCommand(one);
    cur = ReadAll(path);
    ASSERT_EQ(cur.size(), 62 + 4 * 64 + 4 * 8);
    EXPECT_EQ(GetLE16(U8(cur) + 36), 32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(U8(cur)[62 + 4 * ((7 - y) * 8 + x) + 3], 10 + x + 8 * y);
    EXPECT_TRUE(one.SavedFileName.isEmpty());
    EXPECT_EQ(GetLE16(U8(cur) + 10), 2);
    EXPECT_EQ(GetLE16(U8(cur) + 12), 6);
    const QString listing = IcotoolList(path);
    if (!listing.isEmpty()) {
        EXPECT_TRUE(listing.contains("--hotspot-x=2 --hotspot-y=6")) << listing.toStdString();
    }
}

TEST_F(DocumentFiles, ACursorHoldsEveryFormatWithItsOwnHotSpot)
{
    doc.Add(32, 32, "256", Checker);
    doc.Add(16, 16, "XP", [](int x, int y) { return qRgba(x * 15, y * 15, 7, 20 + x + 16 * y); });
    doc.Add(24, 24, "Mono", Checker);
    doc.HotSpotX = 7;
    doc.HotSpotY = 8;
    doc.SetFormatHotSpot(1, {3, 4});
    doc.SetFormatHotSpot(2, {1, 2});
    // An image kept unedited after the first format, with the hot spot of its cursor entry.
    doc.KeptImages.push_back({FormatIconBytes(doc, 3, "Mono"), 1, true, {9, 9}});

    const QByteArray cur = ProjectCursorBytes(doc);
    SaveProjectIcon(doc, Target("same.ico"));
    const QByteArray ico = ReadAll(Target("same.ico"));
    ASSERT_EQ(cur.size(), ico.size());
    EXPECT_EQ(GetLE16(U8(cur) + 2), 2);
    ASSERT_EQ(GetLE16(U8(cur) + 4), 4);
    // Laid out as the icon, each entry with its hot spot where the icon has planes and bit count:
    // its own, the kept image's, and the document's for a format without one.
    const struct {
        int side, x, y;
    } entries[] = {{32, 3, 4}, {24, 9, 9}, {16, 1, 2}, {24, 7, 8}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const uint8_t* e = U8(cur) + 6 + 16 * i;
        EXPECT_EQ(e[0], entries[i].side);
        EXPECT_EQ(GetLE16(e + 4), entries[i].x);
        EXPECT_EQ(GetLE16(e + 6), entries[i].y);
        EXPECT_EQ(cur.mid(6 + 16 * i + 8, 8), ico.mid(6 + 16 * i + 8, 8));
    }
    EXPECT_EQ(cur.mid(6 + 4 * 16), ico.mid(6 + 4 * 16));

    // Hot spots go with their formats: a format removed takes its own along, and a format added
    // takes the document's.
    doc.RemoveFormatHistory(1, 3);
    EXPECT_EQ(doc.FormatHotSpot(1), QPoint(1, 2));
    EXPECT_EQ(doc.FormatHotSpot(2), QPoint(7, 8));
    doc.SetFormatHotSpot(3, {5, 5});
    doc.ForgetFormatHotSpot(3);
    EXPECT_EQ(doc.FormatHotSpot(3), QPoint(7, 8));
    // A hot spot chosen for the format in front is its own and the document's.
    doc.Select(2);
    doc.SetCursorHotSpot({6, 1});
    EXPECT_EQ(doc.FormatHotSpot(2), QPoint(6, 1));
    EXPECT_EQ(doc.FormatHotSpot(1), QPoint(1, 2));
    EXPECT_EQ(QPoint(doc.HotSpotX, doc.HotSpotY), QPoint(6, 1));
}

TEST_F(DocumentFiles, AniFrameRoundTripsThroughTheLoader)
{
    doc.Add(8, 8, "256", [](int x, int y) { return qRgba(x * 30, y * 30, 99, x == y ? 0 : 255); });
    RecordingBuilders builders;
    builders.Frames = 3;
    NewAniProjectFromCurrentFormat(doc);
    EXPECT_EQ(builders.Log, QStringList{"ani dorvelt new"});
    const QString frame = ScratchPath("ani_ico3.ico");
    ASSERT_EQ(ReadAll(frame).size(), 62 + 4 * 64 + 4 * 8);

    TFilesDocument other;
    other.Add(8, 8, "XP", [](int, int) { return 0u; });
    LoadXPIconPixels(&other, 8, 8, frame);
    EXPECT_EQ(other.Image(1), doc.Image(1));
}

TEST_F(DocumentFiles, LoaderRefusesShortOrForeignFilesAndKeepsTheFormat)
{
    doc.Add(8, 8, "XP", Checker);
    const QString good = MakeAniFrameIcon(doc, 0);
    const QByteArray bytes = ReadAll(good);
    TFilesDocument other;
    other.Add(8, 8, "XP", [](int, int) { return 0xFF0000FFu; });
    const QImage before = other.Image(1);

    struct Case {
        const char* name;
        QByteArray data;
        int w, h;
    } cases[] = {
        {"short", bytes.left(62 + 4 * 64 - 1), 8, 8},
        {"header only", bytes.left(40), 8, 8},
        {"wider than the file says", bytes, 9, 8},
        {"24-bit", [&] { QByteArray b = bytes; b[36] = 24; return b; }(), 8, 8},
    };
    for (const Case& c : cases) {
        QFile f(Target(c.name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.data);
        f.close();
        EXPECT_THROW(LoadXPIconPixels(&other, c.w, c.h, Target(c.name)), EInOutError) << c.name;
        EXPECT_EQ(other.Image(1), before) << c.name;
    }
    EXPECT_THROW(LoadXPIconPixels(&other, 8, 8, Target("missing")), EInOutError);
}

TEST_F(DocumentFiles, FailedSaveLeavesTheOldFileWhole)
{
    doc.Add(16, 16, "XP", Checker);
    const QString path = Target("keep.ico");
    SaveProjectIcon(doc, path);
    const QByteArray good = ReadAll(path);
    // A second format whose picture does not match its cells.
    doc.Add(16, 16, "256", Checker);
    doc.SetFormatImage(2, TIconDocument::NewTransparentBitmap(8, 8));
    EXPECT_THROW(SaveProjectIcon(doc, path), EInvalidGraphic);
    EXPECT_EQ(ReadAll(path), good);
}

TEST_F(DocumentFiles, GifProjectGetsTheFormatOverWhite)
{
    doc.Add(4, 2, "XP", [](int x, int) { return x == 0 ? 0u : x == 1 ? 0x80000000u : 0xFF0000FFu; });
    RecordingBuilders builders;
    NewGifProjectFromCurrentFormat(doc);
    const QString path = ScratchPath("gif.bmp");
    EXPECT_EQ(builders.Log, QStringList{"gif " + path});
    TBitmap bmp;
    bmp.LoadFromFile(path);
    const QImage img = BitmapToQImage(bmp);
    ASSERT_EQ(img.size(), QSize(4, 2));
    EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_NEAR(qRed(img.pixel(1, 0)), 127, 2);
    EXPECT_EQ(img.pixel(2, 1) & 0xFFFFFF, 0x0000FFu);
}

TEST(NewIconProject, TakesTheFirstFreeNumber)
{
    auto exists = [](std::initializer_list<int> taken) {
        return [taken](int n) { return std::find(taken.begin(), taken.end(), n) != taken.end(); };
    };
    EXPECT_EQ(FreeDocumentNumber(3, exists({1, 3})), 2);
    EXPECT_EQ(FreeDocumentNumber(3, exists({1, 2, 3})), 4);
    EXPECT_EQ(FreeDocumentNumber(0, exists({})), 1);
}

TEST_F(DocumentFiles, PaletteFormatsKeepTheirOwnColourTable)
{
    // Colours of no fixed table, one repeated: the first of equal colours takes the pixels.
    const TPaletteEntries own = {0x123456, 0xA0B0C0, 0x123456, 0x0F0E0D, 0xFEDCBA};
    const QRgb picture[4] = {0xFF123456, 0xFFA0B0C0, 0xFF0F0E0D, 0x00000000};
    doc.Add(4, 2, "16", [&](int x, int) { return picture[x]; });
    doc.SetFormatPalette(1, own, 4);
    EXPECT_EQ(doc.ActiveFormatPalette(), own);

    const QByteArray icon = FormatIconBytes(doc, 1, "16");
    const uint8_t* dib = U8(icon) + 22;
    ASSERT_EQ(GetLE16(dib + 14), 4);
    for (size_t i = 0; i < 16; ++i) {
        const QRgb expected = i < own.size() ? own[i] : 0;
        EXPECT_EQ(qRgb(dib[40 + 4 * i + 2], dib[40 + 4 * i + 1], dib[40 + 4 * i]) & 0xFFFFFF, expected) << i;
    }
    EXPECT_EQ(dib[40 + 64], 0x01); // bottom row: index 0 then 1
    EXPECT_EQ(dib[40 + 65] >> 4, 3);
    QFile file(Target("own.ico"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(icon);
    file.close();
    TFileIcon read(Target("own.ico"));
    const QImage decoded = DecodeEntry(read, 0);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(decoded.pixel(x, 0), picture[x]) << x;

    // The table follows its picture when the formats are sorted or one is removed, and a format of
    // another depth or a new one has its kind's fixed table.
    doc.Add(4, 2, "16", [](int, int) { return 0xFF000000u; });
    doc.ReorderFormatHistories({0, 2, 1});
    EXPECT_EQ(doc.FormatPalette(1), StandardPalette16());
    EXPECT_EQ(doc.FormatPalette(2), own);
    doc.RemoveFormatHistory(1, 2);
    EXPECT_EQ(doc.FormatPalette(1), own);
    EXPECT_EQ(doc.FormatPalette(2), StandardPalette16());
    doc.FormatTable.SetFormat(1, 4, 2, "256");
    EXPECT_EQ(doc.FormatPalette(1), HalftonePalette());
    doc.FormatTable.SetFormat(1, 4, 2, "XP");
    EXPECT_TRUE(doc.FormatPalette(1).empty());
}

TEST(IconImageColorTable, ReadsOnlyWhatTheImageHolds)
{
    // A 40-byte header with depth, compression and colours used, then count table entries.
    auto image = [](int bits, int compression, int used, int entries) {
        QByteArray b(40 + 4 * entries, '\0');
        auto* p = reinterpret_cast<uint8_t*>(b.data());
        PutLE32(p, 40);
        PutLE16(p + 14, uint16_t(bits));
        PutLE32(p + 16, uint32_t(compression));
        PutLE32(p + 32, uint32_t(used));
        for (int i = 0; i < entries; ++i)
            p[40 + 4 * i + 2] = uint8_t(i + 1); // red i + 1
        return b;
    };
    const struct {
        const char* what;
        QByteArray bytes;
        int bits;
        size_t colors;
    } cases[] = {
        {"colours used", image(4, 0, 3, 16), 4, 3},
        {"all of the depth", image(1, 0, 0, 2), 1, 2},
        {"more used than the depth has", image(1, 0, 9, 2), 1, 2},
        {"run-length coded", image(8, 1, 0, 256), 8, 256},
        {"table cut short", image(8, 0, 0, 10), 8, 10},
        {"no table at all", image(8, 0, 0, 0), 0, 0},
        {"24 bits", image(24, 0, 0, 4), 0, 0},
        {"unknown compression", image(8, 3, 0, 256), 0, 0},
        {"PNG", QByteArray("\x89PNG\r\n\x1a\n").append(QByteArray(60, '\0')), 0, 0},
        {"shorter than a header", image(4, 0, 0, 0).left(39), 0, 0},
    };
    for (const auto& c : cases) {
        int bits = -1;
        const TPaletteEntries table = IconImageColorTable(c.bytes, bits);
        EXPECT_EQ(bits, c.bits) << c.what;
        ASSERT_EQ(table.size(), c.colors) << c.what;
        if (!table.empty())
            EXPECT_EQ(table.back(), qRgb(int(c.colors), 0, 0) & 0xFFFFFFu) << c.what;
    }
}
