// Saving as a person does it, through the main window's menus, keys and dialogs: a cursor keeps
// every image and hot spot, and no save writes over a file nobody chose.
#include "document/document_files.h"
#include "framework/commands.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/streams.h"
#include "imaging/icons/icon_format.h"
#include "imaging/icons/icon_test_files.h"
#include "imaging/icons/icon_xp.h"
#include "imaging/icons/icon_xp_format.h"
#include "mainwindow/testing_started_program.h"
#include "testsupport/testdata.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QStandardPaths>

using namespace icontest;

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The images of an icon or cursor file as the project's reader decodes them, transparent points
// as 0 whatever colour the file keeps under the mask.
std::vector<std::vector<uint32_t>> DecodedImages(QByteArray bytes)
{
    if (bytes.size() > 2)
        bytes[2] = 1; // the reader reads a cursor as the icon it is laid out as
    TMemoryStream stream(bytes);
    TIconXP icon;
    icon.LoadFromStream(&stream);
    std::vector<std::vector<uint32_t>> out;
    for (int i = 0; i < icon.Formats()->Count(); ++i) {
        std::vector<uint32_t> pixels(icon.Formats()->GetItem(i)->Pixels().begin(),
                                     icon.Formats()->GetItem(i)->Pixels().end());
        for (uint32_t& p : pixels)
            p = (p >> 24) == 0 ? 0 : p;
        out.push_back(pixels);
    }
    return out;
}

class SaveRoads : public StartedProgram {
protected:
    void SetUp() override
    {
        StartedProgram::SetUp();
        answer = std::make_unique<TDialogAnswererScope>([this](TDialogRequest& r) {
            if (r.Kind == TDialogRequest::dkOpen || r.Kind == TDialogRequest::dkSave) {
                auto* dialog = qobject_cast<TOpenDialog*>(r.Dialog);
                if (r.Kind == TDialogRequest::dkSave) {
                    started << dialog->FileName();
                    startedIn << dialog->InitialDir();
                }
                // Enter takes the dialog as it stands; else the name is typed and the entry chosen.
                if (!typed.isEmpty())
                    dialog->SetFileName(typed);
                if (entry > 0)
                    dialog->SetFilterIndex(entry);
                r.Result = 1;
                return true;
            }
            told << r.Text;
            r.Result = r.Kind == TDialogRequest::dkMessageDlg ? replace : IDOK;
            return true;
        });
    }
    void TearDown() override
    {
        answer.reset();
        StartedProgram::TearDown();
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    void Key(int key)
    {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(iconmain, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(iconmain, &up);
    }
    // File > Open with the file chosen in its dialog.
    void Open(const QString& path)
    {
        typed = path;
        entry = 0;
        ClickComponentByName(iconmain, "Open1");
    }

    QString typed;  // empty: Enter on what the dialog shows
    int entry = 0;  // 0: the entry the dialog shows
    int replace = mrNo;
    QStringList started, startedIn;
    QStringList told;
    std::unique_ptr<TDialogAnswererScope> answer;
};

} // namespace

TEST_F(SaveRoads, ACursorWithSeveralImagesKeepsEachImageAndHotSpot)
{
    // 32 x 32 at 8 bits with a colour table of its own, hot spot 3,4; 16 x 16 at 32 bits, 1,2.
    Dib paletted;
    paletted.Width = paletted.Height = 32;
    paletted.Bits = 8;
    for (uint32_t i = 0; i < 256; ++i)
        paletted.Palette.push_back((i * 0x010305u) & 0xFFFFFFu);
    paletted.Pixel = [](int x, int y) { return uint32_t((x * 7 + y * 3) % 256); };
    paletted.Mask = [](int x, int y) { return x < 4 && y < 4; };
    Dib deep;
    deep.Pixel = [](int x, int y) { return uint32_t(x * 16) << 24 | uint32_t(y * 15) << 8 | 0x40u; };
    QByteArray cursor = MakeIco({MakeImage(paletted), MakeImage(deep)}, {}, 0, 2);
    const QPoint hot[2] = {{3, 4}, {1, 2}};
    for (int i = 0; i < 2; ++i) {
        auto* e = reinterpret_cast<uint8_t*>(cursor.data()) + 6 + 16 * i;
        PutLE16(e + 4, uint16_t(hot[i].x()));
        PutLE16(e + 6, uint16_t(hot[i].y()));
    }
    WriteFile(Path("two.cur"), cursor);

    Open(Path("two.cur"));
    Tnewiconview* opened = qobject_cast<Tnewiconview*>(FindForm(iconmain->ActiveDocumentName));
    ASSERT_TRUE(opened && opened != doc);
    ASSERT_EQ(opened->FormatCount(), 2);
    // A cursor of several images has no file of its own: File > Save asks, here for "Cursors".
    typed = Path("out");
    entry = 2;
    ClickComponentByName(iconmain, "Save1");
    EXPECT_TRUE(told.isEmpty()) << told.join('|').toStdString();
    const QByteArray saved = ReadFile(Path("out.cur"));
    ASSERT_GE(saved.size(), 6 + 2 * 16);
    const auto* p = reinterpret_cast<const uint8_t*>(saved.constData());
    EXPECT_EQ(GetLE16(p + 2), 2);
    ASSERT_EQ(GetLE16(p + 4), 2);
    // The project lists its formats by kind, the 32-bit one first; each keeps its hot spot.
    const uint8_t* deepEntry = p + 6;
    const uint8_t* palettedEntry = p + 6 + 16;
    EXPECT_EQ(deepEntry[0], 16);
    EXPECT_EQ(palettedEntry[0], 32);
    EXPECT_EQ(QPoint(GetLE16(deepEntry + 4), GetLE16(deepEntry + 6)), QPoint(1, 2));
    EXPECT_EQ(QPoint(GetLE16(palettedEntry + 4), GetLE16(palettedEntry + 6)), QPoint(3, 4));
    auto decoded = DecodedImages(saved);
    ASSERT_EQ(decoded.size(), 2u);
    std::swap(decoded[0], decoded[1]);
    EXPECT_EQ(decoded, DecodedImages(cursor));
    int bits = 0;
    const TPaletteEntries table = IconImageColorTable(saved.mid(int(GetLE32(palettedEntry + 12))), bits);
    EXPECT_EQ(bits, 8);
    EXPECT_EQ(table, TPaletteEntries(paletted.Palette.begin(), paletted.Palette.end()));

    if (!QStandardPaths::findExecutable("icotool").isEmpty()) {
        QProcess icotool;
        icotool.start("icotool", {"-l", Path("out.cur")});
        ASSERT_TRUE(icotool.waitForFinished(20000));
        const QStringList lines = QString::fromLatin1(icotool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2);
        EXPECT_TRUE(lines[0].contains("--cursor") && lines[0].contains("--width=16") &&
                    lines[0].contains("--bit-depth=32") && lines[0].contains("--hotspot-x=1") &&
                    lines[0].contains("--hotspot-y=2"))
            << lines[0].toStdString();
        EXPECT_TRUE(lines[1].contains("--width=32") && lines[1].contains("--bit-depth=8") &&
                    lines[1].contains("--hotspot-x=3") && lines[1].contains("--hotspot-y=4"))
            << lines[1].toStdString();
    }
}

TEST_F(SaveRoads, SaveAsNeverWritesOverAnotherFileUnasked)
{
    // A new project: the dialog starts with no name, outside the program's folder.
    typed = Path("a.ico");
    entry = 1;
    Key(Qt::Key_F2);
    ASSERT_EQ(started.size(), 1);
    EXPECT_TRUE(started[0].isEmpty()) << started[0].toStdString();
    EXPECT_FALSE(startedIn[0].isEmpty());
    EXPECT_NE(QDir(startedIn[0]), QDir(dir.path()));
    const QByteArray a = ReadFile(Path("a.ico"));
    ASSERT_FALSE(a.isEmpty());

    // Another project, from a file of several images: F2 and Enter propose that file, and writing
    // over it is asked first.
    const QByteArray b = ReadTestData("icons/pillow/python.ico");
    WriteFile(Path("b.ico"), b);
    Open(Path("b.ico"));
    ASSERT_NE(iconmain->ActiveDocumentName, doc->objectName());
    typed.clear();
    entry = 0;
    Key(Qt::Key_F2);
    ASSERT_EQ(started.size(), 2);
    EXPECT_EQ(started[1], Path("b.ico"));
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("b.ico") && told[0].contains("replace")) << told[0].toStdString();
    EXPECT_EQ(ReadFile(Path("b.ico")), b);
    EXPECT_EQ(ReadFile(Path("a.ico")), a);
    // File > Save goes the same way: the project has no file Save may write to unasked.
    told.clear();
    ClickComponentByName(iconmain, "Save1");
    ASSERT_EQ(started.size(), 3);
    EXPECT_EQ(started[2], Path("b.ico"));
    EXPECT_EQ(told.size(), 1);
    EXPECT_EQ(ReadFile(Path("b.ico")), b);
    EXPECT_EQ(ReadFile(Path("a.ico")), a);

    // The other project's file typed in: asked too, and No keeps it.
    told.clear();
    typed = Path("a.ico");
    Key(Qt::Key_F2);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("a.ico")) << told[0].toStdString();
    EXPECT_EQ(ReadFile(Path("a.ico")), a);

    // Yes writes it.
    told.clear();
    replace = mrYes;
    Key(Qt::Key_F2);
    EXPECT_EQ(told.size(), 1);
    EXPECT_NE(ReadFile(Path("a.ico")), a);

    // A project made now starts with no name, in the folder the dialog showed last.
    ClickComponentByName(FindForm(iconmain->ActiveDocumentName), "NewIconProjectFromThisImage1");
    ASSERT_NE(iconmain->ActiveDocumentName, "iconview2");
    QDir(dir.path()).mkpath("sub");
    typed = Path("sub/c.ico");
    Key(Qt::Key_F2);
    EXPECT_TRUE(started.last().isEmpty()) << started.last().toStdString();
    EXPECT_EQ(QDir(startedIn.last()), QDir(dir.path()));
    ClickComponentByName(doc, "NewIconProjectFromThisImage1");
    Key(Qt::Key_F2);
    EXPECT_TRUE(started.last().isEmpty()) << started.last().toStdString();
    EXPECT_EQ(QDir(startedIn.last()), QDir(Path("sub")));
}
