// The main road as a person walks it: start with a file, change the picture, use the Edit menu,
// and look at what the main window shows meanwhile.

#include "document/newiconview.h"
#include "framework/application.h"
#include "framework/combo_box.h"
#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/program_start.h"
#include "platform/gdip.h"
#include "platform/program_paths.h"
#include "testsupport/testdata.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class MainRoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir(dir.path()).mkpath("data");
        SetProgramFolder(dir.path());
    }
    void TearDown() override
    {
        QList<QPointer<TForm>> forms;
        for (TForm* f : Screen->FormList())
            forms << f;
        for (const QPointer<TForm>& f : forms)
            delete f.data();
        SetProgramFolder(QString());
    }
    // Starts the program with a copy of a test file and lets the start-up open it.
    Tnewiconview* StartWith(const char* testFile, const QString& name)
    {
        const QString path = dir.filePath(name);
        QFile::copy(TestDataPath(testFile), path);
        StartProgram({path});
        if (!iconmain)
            return nullptr;
        iconmain->Timer3Timer(nullptr);
        return qobject_cast<Tnewiconview*>(FindForm("iconview1"));
    }
    bool Enabled(const char* name) const { return iconmain->FindComponent(name)->property("Enabled").toBool(); }

    QTemporaryDir dir;
};

QRgb Pixel(Tnewiconview* doc, int x, int y)
{
    return GdipImageData(doc->CurrentImage())->pixel(x, y);
}

// One stroke's worth of history, as the canvas records it.
void PaintPixel(Tnewiconview* doc, int x, int y, QRgb argb)
{
    doc->EnsureBaseState();
    doc->DropRedoTail();
    GdipImageData(doc->CurrentImage())->setPixel(x, y, argb);
    doc->RecordStep();
}

} // namespace

TEST_F(MainRoad, TheRecentFilesLabelStaysWhenTheColourPanelSwitchesKind)
{
    // A sixteen-colour format hides the colour panel's alpha controls, not the combo's label.
    Tnewiconview* doc = StartWith("icons/gdk-pixbuf/squares.ico", "squares.ico");
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->CurrentKind, "16");
    TControl* label = nullptr;
    for (QObject* o : iconmain->findChildren<QObject*>())
        if (o->property("Caption").toString() == "Recently Used: ")
            label = qobject_cast<TControl*>(o);
    ASSERT_TRUE(label);
    EXPECT_TRUE(label->Visible());
    EXPECT_NE(label->objectName().toLower(), "label1");
}

TEST_F(MainRoad, UndoAndRedoReachTheActiveDocumentFromMenuAndButtons)
{
    Tnewiconview* doc = StartWith("icons/pillow/hopper.ico", "hopper.ico");
    ASSERT_TRUE(doc);
    const QRgb before = Pixel(doc, 3, 4);
    EXPECT_FALSE(Enabled("ToolButton5"));
    PaintPixel(doc, 3, 4, 0xFF00FF00);
    ASSERT_TRUE(Enabled("ToolButton5"));
    ASSERT_TRUE(Enabled("Undo1"));

    EXPECT_TRUE(ClickComponentByName(iconmain, "Undo1"));
    EXPECT_EQ(Pixel(doc, 3, 4), before);
    EXPECT_TRUE(Enabled("ToolButton6"));
    EXPECT_TRUE(ClickComponentByName(iconmain, "ToolButton6"));
    EXPECT_EQ(Pixel(doc, 3, 4), 0xFF00FF00u);
    EXPECT_TRUE(ClickComponentByName(iconmain, "ToolButton5"));
    EXPECT_EQ(Pixel(doc, 3, 4), before);
    EXPECT_TRUE(ClickComponentByName(iconmain, "Redo1"));
    EXPECT_EQ(Pixel(doc, 3, 4), 0xFF00FF00u);

    // A disabled Undo button reaches no document.
    iconmain->SetControlEnabled("ToolButton5", false);
    iconmain->ToolButton5Click(nullptr);
    EXPECT_EQ(Pixel(doc, 3, 4), 0xFF00FF00u);

    // The keys the menu shows.
    auto* undo = qobject_cast<TMenuItem*>(iconmain->FindComponent("Undo1"));
    auto* redo = qobject_cast<TMenuItem*>(iconmain->FindComponent("Redo1"));
    EXPECT_EQ(ShortCutToText(undo->ShortCut()), "Ctrl+Z");
    EXPECT_EQ(ShortCutToText(redo->ShortCut()), "Ctrl+Y");
}

TEST_F(MainRoad, EnterInTheRecentFilesComboOpensTheTypedFileOnce)
{
    StartProgram({});
    ASSERT_TRUE(iconmain);
    iconmain->Timer3Timer(nullptr);
    const QString path = dir.filePath("hopper.ico");
    QFile::copy(TestDataPath("icons/pillow/hopper.ico"), path);
    auto* combo = qobject_cast<TCustomComboBox*>(iconmain->FindComponent("userfilename"));
    ASSERT_TRUE(combo);
    combo->ComboWidget()->lineEdit()->setText(path);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(combo->ComboWidget(), &down);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(combo->ComboWidget(), &up);
    EXPECT_TRUE(FindForm("iconview2"));
    EXPECT_FALSE(FindForm("iconview3"));
}

TEST_F(MainRoad, ZoomButtonsAndTheGridItemReachTheActiveDocument)
{
    Tnewiconview* doc = StartWith("icons/pillow/hopper.ico", "hopper.ico");
    ASSERT_TRUE(doc);
    const int fitted = doc->Zoom;
    ASSERT_GT(fitted, 2);
    EXPECT_TRUE(ClickComponentByName(iconmain, "ToolButton14"));
    EXPECT_EQ(doc->Zoom, fitted - 1);
    EXPECT_TRUE(ClickComponentByName(iconmain, "ToolButton13"));
    EXPECT_EQ(doc->Zoom, fitted);
    // The document's own items zoom the way their captions say.
    EXPECT_TRUE(ClickComponentByName(doc, "Zoomin1"));
    EXPECT_EQ(doc->Zoom, fitted + 1);
    EXPECT_TRUE(ClickComponentByName(doc, "Zoomout1"));
    EXPECT_EQ(doc->Zoom, fitted);
    EXPECT_TRUE(ClickComponentByName(doc, "Zoomin1"));
    EXPECT_TRUE(ClickComponentByName(iconmain, "ToolButton16"));
    EXPECT_EQ(doc->Zoom, fitted);

    auto* grid = qobject_cast<TMenuItem*>(iconmain->FindComponent("LineGrid1"));
    ASSERT_TRUE(grid);
    EXPECT_TRUE(grid->Checked());
    EXPECT_TRUE(ClickComponentByName(iconmain, "LineGrid1"));
    EXPECT_TRUE(doc->GridOff);
    EXPECT_FALSE(grid->Checked());
    EXPECT_TRUE(ClickComponentByName(iconmain, "LineGrid1"));
    EXPECT_FALSE(doc->GridOff);
    EXPECT_TRUE(grid->Checked());
}

TEST_F(MainRoad, ASaveThatCannotWriteKeepsTheDocumentAndTheProgramOpen)
{
    // The file's folder went away while the document was open: Yes to the close question saves,
    // the write fails and is reported, and the changes stay on screen.
    QDir(dir.path()).mkpath("gone");
    Tnewiconview* doc = StartWith("icons/pillow/hopper.ico", "gone/x.ico");
    ASSERT_TRUE(doc);
    ASSERT_TRUE(QDir(dir.filePath("gone")).removeRecursively());
    PaintPixel(doc, 1, 1, 0xFF00FF00);
    QStringList errors;
    TDialogAnswererScope answers([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkMessageDlg)
            r.Result = mrYes;
        else {
            errors << r.Text;
            r.Result = IDOK;
        }
        return true;
    });
    QPointer<Tnewiconview> watch(doc);
    doc->Close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(watch);
    EXPECT_EQ(errors.size(), 1);
    iconmain->Exit1Click(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch);
    EXPECT_FALSE(Application->Terminated());
    EXPECT_EQ(errors.size(), 2);
    EXPECT_EQ(Pixel(doc, 1, 1), 0xFF00FF00u);
}

TEST_F(MainRoad, YesToACloseQuestionSavesTheDocumentItAskedAbout)
{
    // Two projects with files of their own; the one opened last is the active one.
    Tnewiconview* first = StartWith("icons/pillow/hopper.ico", "first.ico");
    ASSERT_TRUE(first);
    const QString second = dir.filePath("second.ico");
    QFile::copy(TestDataPath("icons/pillow/black_and_white.ico"), second);
    iconmain->FindComponent("OpenDialog1")->setProperty("FileName", second);
    iconmain->OpenFileByName();
    ASSERT_TRUE(FindForm("iconview2"));
    ASSERT_EQ(iconmain->ActiveDocumentName, "iconview2");
    auto bytes = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray firstBefore = bytes(dir.filePath("first.ico")), secondBefore = bytes(second);

    PaintPixel(first, 2, 3, 0xFF00FF00);
    TDialogAnswererScope yes([](TDialogRequest& r) {
        r.Result = mrYes;
        return true;
    });
    first->Close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(FindForm("iconview1"));
    EXPECT_EQ(iconmain->ActiveDocumentName, "iconview2");
    EXPECT_EQ(bytes(second), secondBefore);
    EXPECT_NE(bytes(dir.filePath("first.ico")), firstBefore);
}
