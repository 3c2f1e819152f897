// What a file brings in goes back out: palette entries keep their colours, cursors their own hot
// spots, and a close question saves the document it asks about.
#include "document/canvas_mouse.h"
#include "document/document_files.h"
#include "framework/palette.h"
#include "framework/streams.h"
#include "imaging/icons/icon_format.h"
#include "imaging/icons/icon_xp.h"
#include "imaging/icons/icon_xp_format.h"
#include "mainwindow/open_dispatch.h"
#include "mainwindow/save_dispatch.h"
#include "mainwindow/testing_file_host.h"
#include "testsupport/testdata.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Pixels of a transparent point are one value whatever colour the file keeps under the mask.
QImage Normalised(QImage image)
{
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 0)
                image.setPixel(x, y, 0);
    return image;
}

// The 1-, 4- and 8-bit images of an icon file by "width x height x bits", decoded by the
// project's reader.
QMap<QString, QImage> PaletteImages(const QString& path)
{
    QMap<QString, QImage> images;
    TMemoryStream stream(ReadFile(path));
    TIconXP icon;
    icon.LoadFromStream(&stream);
    static const int bitsOf[] = {0, 1, 4, 8};
    for (int i = 0; i < icon.Formats()->Count(); ++i) {
        const TIconXPFormat* f = icon.Formats()->GetItem(i);
        if (f->PixelFormat() < 1 || f->PixelFormat() > 3)
            continue;
        QImage image(f->Width(), f->Height(), QImage::Format_ARGB32);
        for (int y = 0; y < f->Height(); ++y)
            for (int x = 0; x < f->Width(); ++x)
                image.setPixel(x, y, f->Pixels()[size_t((f->Height() - 1 - y) * f->Width() + x)]);
        images.insert(QStringLiteral("%1x%2x%3").arg(f->Width()).arg(f->Height()).arg(bitsOf[f->PixelFormat()]),
                      Normalised(image));
    }
    return images;
}

// The same as icotool extracts them; empty when icotool is not installed.
QMap<QString, QImage> IcotoolPaletteImages(const QString& path, const QString& folder)
{
    QMap<QString, QImage> images;
    if (QStandardPaths::findExecutable(QStringLiteral("icotool")).isEmpty())
        return images;
    QDir().mkpath(folder);
    QProcess p;
    p.start(QStringLiteral("icotool"), {QStringLiteral("-x"), QStringLiteral("-o"), folder, path});
    p.waitForFinished(20000);
    for (const QString& name : QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files)) {
        const QString key = name.section(QLatin1Char('_'), -1).chopped(4);
        if (key.endsWith(QLatin1String("x1")) || key.endsWith(QLatin1String("x4")) || key.endsWith(QLatin1String("x8")))
            images.insert(key, Normalised(QImage(QDir(folder).filePath(name))));
    }
    return images;
}

int DifferentPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

} // namespace

TEST_F(FileRoadsTest, PaletteEntriesOpenAndSaveWithoutChangingAPixel)
{
    for (const char* name : {"icons/gdk-pixbuf/bug785447.ico", "icons/gdk-pixbuf/squares.ico", "icons/pillow/hopper.ico",
                             "icons/pillow/black_and_white.ico"}) {
        SCOPED_TRACE(name);
        const QString in = Write("in.ico", ReadTestData(name));
        host.OpenFileName = in;
        OpenFileByName(host);
        ASSERT_FALSE(host.Documents.empty());
        host.ComboText = Path("out.ico");
        ASSERT_EQ(SaveCommand(host), Path("out.ico"));

        const auto before = PaletteImages(in), after = PaletteImages(Path("out.ico"));
        ASSERT_FALSE(before.isEmpty());
        for (auto it = before.begin(); it != before.end(); ++it) {
            ASSERT_TRUE(after.contains(it.key())) << it.key().toStdString();
            EXPECT_EQ(DifferentPixels(it.value(), after.value(it.key())), 0) << it.key().toStdString();
        }
        const auto theirs = IcotoolPaletteImages(in, Path("x-in")), ours = IcotoolPaletteImages(Path("out.ico"), Path("x-out"));
        for (auto it = theirs.begin(); it != theirs.end(); ++it)
            EXPECT_EQ(DifferentPixels(it.value(), ours.value(it.key())), 0) << "icotool " << it.key().toStdString();
        QDir(Path("x-in")).removeRecursively();
        QDir(Path("x-out")).removeRecursively();
        host.Documents.clear();
    }
}

TEST_F(FileRoadsTest, AStrokeOnAPaletteEntryChangesOnlyTheStrokedPixels)
{
    const QString in = Write("squares.ico", ReadTestData("icons/gdk-pixbuf/squares.ico"));
    host.OpenFileName = in;
    OpenFileByName(host);
    ASSERT_EQ(host.Documents.size(), 1u);
    Tnewiconview* doc = host.Documents[0].get();
    ASSERT_EQ(doc->CurrentKind, "16");

    // A colour of no table lands on the nearest colour of the entry's own table.
    int bits = 0;
    const QByteArray bytes = ReadFile(in);
    const TPaletteEntries own = IconImageColorTable(bytes.mid(22), bits);
    ASSERT_EQ(bits, 4);
    EXPECT_EQ(doc->ActiveFormatPalette(), own);
    const QRgb painted = 0xFF3A6B21;
    GdipImageData(doc->CurrentImage())->setPixel(40, 50, painted);
    ReducePaletteFormat(*doc);
    const QRgb expected = 0xFF000000u | own[size_t(NearestColorIndex(own, painted & 0xFFFFFF))];
    EXPECT_EQ(GdipImageData(doc->CurrentImage())->pixel(40, 50), expected);

    host.ComboText = Path("out.ico");
    ASSERT_EQ(SaveCommand(host), Path("out.ico"));
    const QImage before = PaletteImages(in).value("100x100x4");
    const QImage after = PaletteImages(Path("out.ico")).value("100x100x4");
    ASSERT_FALSE(after.isNull());
    EXPECT_EQ(after.pixel(40, 50), expected);
    EXPECT_EQ(DifferentPixels(before, after), before.pixel(40, 50) == expected ? 0 : 1);
}

TEST_F(FileRoadsTest, EachCursorSavesItsOwnHotSpot)
{
    QByteArray first = ReadTestData("icons/pillow/deerstalker.cur");
    QByteArray second = first;
    first[10] = 3;
    first[12] = 4;
    second[10] = 20;
    second[12] = 25;
    host.OpenFileName = Write("First.cur", first);
    OpenFileByName(host);
    host.OpenFileName = Write("Second.cur", second);
    OpenFileByName(host);
    ASSERT_EQ(host.Documents.size(), 2u);
    EXPECT_EQ(host.Editor.HotSpotX, 20);

    // Back to the first cursor, as a click on its window does, and save it.
    host.Documents[0]->suiForm1Click(host.Documents[0].get());
    host.ComboText = Path("First.cur");
    EXPECT_EQ(host.Editor.HotSpotX, 3);
    ASSERT_EQ(SaveCommand(host), Path("First.cur"));
    const QByteArray saved = ReadFile(Path("First.cur"));
    ASSERT_GE(saved.size(), 14);
    EXPECT_EQ(GetLE16(reinterpret_cast<const uint8_t*>(saved.constData()) + 10), 3);
    EXPECT_EQ(GetLE16(reinterpret_cast<const uint8_t*>(saved.constData()) + 12), 4);

    // A new project has the hot spot 0,0.
    EXPECT_EQ(templ->HotSpotX, 0);
    EXPECT_EQ(templ->HotSpotY, 0);
}
