// The main road as a person walks it: start with a file, change the picture, use the Edit menu,
// and look at what the main window shows meanwhile.

#include "document/canvas_mouse.h"
#include "document/my_list_box.h"
#include "document/newiconview.h"
#include "document/testing_format_list.h"
#include "document/usericonset.h"
#include "drawing/drawing_engines.h"
#include "framework/common_dialogs.h"
#include "framework/scroll_box.h"
#include "imaging/bitmap/image32.h"
#include "framework/application.h"
#include "framework/combo_box.h"
#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "framework/testing_forms.h"
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
#include <QMouseEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class MainRoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir(dir.path()).mkpath("data");
        SetProgramFolder(dir.path());
        SetDrawingEngines(DrawingEngines());
    }
    void TearDown() override
    {
        FreeEveryForm();
        SetDrawingEngines(TDrawingEngines());
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
    QString Label(const char* name) const { return iconmain->FindComponent(name)->property("Caption").toString(); }
    // Opens a copy of a test file by name, as the recent items and the combo do.
    Tnewiconview* Open(const char* testFile, const QString& name, const QString& documentName)
    {
        const QString path = dir.filePath(name);
        QFile::copy(TestDataPath(testFile), path);
        iconmain->FindComponent("OpenDialog1")->setProperty("FileName", path);
        iconmain->OpenFileByName();
        return qobject_cast<Tnewiconview*>(FindForm(documentName));
    }

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

void SendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A drag on the canvas from one image cell to another (the same cell: a click), as the mouse
// makes it.
void DragCells(Tnewiconview* doc, QPoint from, QPoint to, Qt::MouseButton button)
{
    const int z = doc->Zoom;
    const QPoint a = from * z + QPoint(z / 2, z / 2), b = to * z + QPoint(z / 2, z / 2);
    SendMouse(doc->iconview, QEvent::MouseButtonPress, a, button, button);
    if (a != b) {
        SendMouse(doc->iconview, QEvent::MouseMove, (a + b) / 2, Qt::NoButton, button);
        SendMouse(doc->iconview, QEvent::MouseMove, b, Qt::NoButton, button);
    }
    SendMouse(doc->iconview, QEvent::MouseButtonRelease, b, button, Qt::NoButton);
}

void SetColour(const char* prefix, int a, int r, int g, int b)
{
    const int v[] = {a, r, g, b};
    const char* c[] = {"a", "r", "g", "b"};
    for (int i = 0; i < 4; ++i)
        iconmain->SetEditText(QLatin1String(prefix) + QLatin1String(c[i]), QString::number(v[i]));
}

// Pixels of the current format whose colour (ignoring alpha) is rgb, counting only pixels that
// show.
int CountShowing(Tnewiconview* doc, QRgb rgb)
{
    const QImage* image = GdipImageData(doc->CurrentImage());
    int n = 0;
    for (int y = 0; y < image->height(); ++y)
        for (int x = 0; x < image->width(); ++x)
            if (qAlpha(image->pixel(x, y)) > 0 && (image->pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF))
                ++n;
    return n;
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

TEST_F(MainRoad, UndoAndRedoFollowTheFormatInFront)
{
    Tnewiconview* doc = StartWith("icons/pillow/python.ico", "python.ico");
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->FormatCount(), 3);
    auto show = [&](int f) {
        ClickFormat(doc, f);
        ASSERT_EQ(doc->CurrentFormat(), f);
    };
    show(1);
    const QRgb before = Pixel(doc, 2, 2);
    SetColour("up", 255, 0, 255, 0);
    DragCells(doc, {2, 2}, {2, 2}, Qt::LeftButton);
    ASSERT_EQ(Pixel(doc, 2, 2), 0xFF00FF00u);

    // Away and back, with an Undo on a format without history between.
    show(2);
    EXPECT_FALSE(Enabled("ToolButton5"));
    EXPECT_FALSE(Enabled("ToolButton6"));
    ClickComponentByName(doc, "BitBtn23");
    show(1);
    EXPECT_TRUE(Enabled("ToolButton5"));
    EXPECT_TRUE(Enabled("Undo1"));
    EXPECT_FALSE(Enabled("ToolButton6"));
    EXPECT_TRUE(ClickComponentByName(iconmain, "ToolButton5"));
    EXPECT_EQ(Pixel(doc, 2, 2), before);
    EXPECT_FALSE(Enabled("ToolButton5"));

    // The step undone belongs to this format: Redo waits here for it.
    show(3);
    EXPECT_FALSE(Enabled("ToolButton6"));
    show(1);
    EXPECT_TRUE(Enabled("ToolButton6"));
    EXPECT_TRUE(ClickComponentByName(iconmain, "Redo1"));
    EXPECT_EQ(Pixel(doc, 2, 2), 0xFF00FF00u);
    EXPECT_FALSE(Enabled("ToolButton6"));
}

TEST_F(MainRoad, ImageCommandsOfAFreshlyOpenedIconAreOneUndoStepEach)
{
    Tnewiconview* doc = StartWith("icons/pillow/python.ico", "python.ico");
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->CurrentKind, "XP");
    auto picture = [&] { return GdipImageData(doc->CurrentImage())->copy(); };
    const QImage opened = picture();
    for (const char* command : {"tool_25", "tool_26", "tool_27", "tool_28", "ClearAll1"}) {
        const QImage before = picture();
        ASSERT_TRUE(ClickComponentByName(iconmain, command)) << command;
        const QImage after = picture();
        ASSERT_NE(after, before) << command;
        EXPECT_TRUE(ClickComponentByName(iconmain, "Undo1")) << command;
        EXPECT_EQ(picture(), before) << command;
        EXPECT_TRUE(ClickComponentByName(iconmain, "ToolButton6")) << command;
        EXPECT_EQ(picture(), after) << command;
    }

    // A drag of the opacity bar, however many positions it passes, is one step.
    const QImage beforeStroke = picture();
    DragCells(doc, {1, 1}, {1, 1}, Qt::LeftButton);
    const QImage beforeDrag = picture();
    auto* slider = iconmain->FindComponent("layer_a")->findChild<QSlider*>();
    ASSERT_TRUE(slider);
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = option.sliderValue = slider->value();
    const QRect handle = slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
    ASSERT_TRUE(handle.isValid());
    const QPoint grip = handle.center();
    SendMouse(slider, QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
    for (int dx : {8, 20, 30})
        SendMouse(slider, QEvent::MouseMove, grip - QPoint(dx, 0), Qt::NoButton, Qt::LeftButton);
    SendMouse(slider, QEvent::MouseButtonRelease, grip - QPoint(30, 0), Qt::LeftButton, Qt::NoButton);
    ASSERT_LT(slider->value(), 255);
    ASSERT_NE(picture(), beforeDrag);
    EXPECT_TRUE(ClickComponentByName(iconmain, "Undo1"));
    EXPECT_EQ(picture(), beforeDrag);
    EXPECT_TRUE(ClickComponentByName(iconmain, "Undo1"));
    EXPECT_EQ(picture(), beforeStroke);
    for (int k = 0; k < 20 && Enabled("ToolButton5"); ++k)
        ClickComponentByName(iconmain, "ToolButton5");
    EXPECT_EQ(picture(), opened);
}

TEST_F(MainRoad, AHalfTurnChosenInTheRotateDialogIsOneUndoStep)
{
    Tnewiconview* doc = StartWith("icons/pillow/python.ico", "python.ico");
    ASSERT_TRUE(doc);
    const QImage opened = GdipImageData(doc->CurrentImage())->copy();
    bool shown = false;
    TDialogAnswererScope person([&](TDialogRequest& r) {
        if (auto* d = qobject_cast<Tusericonset*>(r.Dialog)) {
            shown = true;
            d->FindComponent("suiRadioButton1")->setProperty("Checked", true);
            d->FindComponent("ok180")->setProperty("Checked", true);
            d->suiButton6Click(nullptr);
        }
        r.Result = mrOk;
        return true;
    });
    ASSERT_TRUE(ClickComponentByName(iconmain, "ArbitraryRotation1"));
    ASSERT_TRUE(shown);
    const int w = opened.width(), h = opened.height();
    EXPECT_EQ(Pixel(doc, 0, 0), opened.pixel(w - 1, h - 1));
    EXPECT_TRUE(ClickComponentByName(iconmain, "Undo1"));
    EXPECT_EQ(*GdipImageData(doc->CurrentImage()), opened);
    EXPECT_FALSE(Enabled("ToolButton5"));
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

TEST_F(MainRoad, TheActiveDocumentIsInFrontAndTheMainWindowShowsItsState)
{
    Tnewiconview* first = StartWith("icons/pillow/python.ico", "python.ico");
    ASSERT_TRUE(first);
    PaintPixel(first, 1, 1, 0xFF00FF00);
    ASSERT_TRUE(Enabled("ToolButton5"));

    // A newly opened document shows its own history, not the one before it.
    Tnewiconview* second = Open("icons/pillow/hopper.ico", "hopper.ico", "iconview2");
    ASSERT_TRUE(second);
    EXPECT_EQ(iconmain->ActiveDocumentName, "iconview2");
    EXPECT_TRUE(second->Active());
    EXPECT_FALSE(Enabled("ToolButton5"));
    EXPECT_EQ(Label("formaticon"), "16 * 16 - 256");

    // A click on the first brings it forward with its state.
    first->suiForm1Click(first);
    EXPECT_TRUE(first->Active());
    EXPECT_FALSE(second->Active());
    EXPECT_TRUE(Enabled("ToolButton5"));
    EXPECT_EQ(Label("formaticon"), "16 * 16 - XP");
    first->BitBtn2Click(first);
    first->suiForm1Click(first);
    EXPECT_EQ(Label("bigbig"), QString::number(first->Zoom * 100) + " %");

    // Closing the active document makes the other one active at once.
    TDialogAnswererScope answers([](TDialogRequest& r) {
        r.Result = r.Kind == TDialogRequest::dkMessageDlg ? int(mrNo) : IDOK;
        return true;
    });
    iconmain->Close1Click(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::sendPostedEvents();
    ASSERT_FALSE(FindForm("iconview1"));
    EXPECT_EQ(iconmain->ActiveDocumentName, "iconview2");
    EXPECT_EQ(iconmain->ActiveDocumentNumber, 2);
    EXPECT_TRUE(second->Active());
    EXPECT_EQ(Label("formaticon"), "16 * 16 - 256");
    EXPECT_EQ(Label("bigbig"), QString::number(second->Zoom * 100) + " %");
    EXPECT_FALSE(Enabled("ToolButton5"));

    // Close reaches it without the pointer passing over it; with none left the template is
    // the active document and nothing of a closed one stays on the status bar.
    iconmain->Close1Click(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(FindForm("iconview2"));
    EXPECT_EQ(iconmain->ActiveDocumentName, "newiconview");
    EXPECT_EQ(Label("formaticon"), "");
}

TEST_F(MainRoad, EveryOpenAndSaveRoadWritesOrSaysWhyNot)
{
    Tnewiconview* doc = StartWith("icons/pillow/python.ico", "python.ico");
    ASSERT_TRUE(doc);
    QStringList boxes;
    QStringList startFolders;
    struct Answer {
        QString FileName;
        int Filter; // 0: the one the dialog kept
    };
    QList<Answer> saves;
    TDialogAnswererScope answers([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkSave) {
            auto* dialog = qobject_cast<TOpenDialog*>(r.Dialog);
            startFolders << dialog->InitialDir();
            const Answer a = saves.takeFirst();
            dialog->SetFileName(a.FileName);
            if (a.Filter)
                dialog->SetFilterIndex(a.Filter);
            r.Result = 1;
        } else {
            boxes << r.Text;
            r.Result = r.Kind == TDialogRequest::dkMessageDlg ? int(mrOk) : IDOK;
        }
        return true;
    });

    // Pictures and multi-frame files need windows of their own: each road says so, once.
    QImage picture(4, 4, QImage::Format_ARGB32);
    picture.fill(0xFF336699);
    picture.save(dir.filePath("p.png"));
    picture.save(dir.filePath("p.bmp"));
    QFile::copy(TestDataPath("gif/suite/255-codes.gif"), dir.filePath("p.gif"));
    QFile psd(dir.filePath("p.psd"));
    ASSERT_TRUE(psd.open(QIODevice::WriteOnly));
    psd.write("8BPS");
    psd.close();
    for (const char* name : {"p.png", "p.bmp", "p.gif", "p.psd"}) {
        boxes.clear();
        iconmain->FindComponent("OpenDialog1")->setProperty("FileName", dir.filePath(name));
        iconmain->OpenFileByName();
        ASSERT_EQ(boxes.size(), 1) << name;
        EXPECT_TRUE(boxes[0].contains("which this program was started without")) << name;
    }

    // An export writes its file or says why not; the save dialog starts in the folder of the file
    // the project came from.
    boxes.clear();
    saves = {{dir.filePath("x.png"), 0}};
    iconmain->Png1Click(nullptr);
    EXPECT_TRUE(QFile::exists(dir.filePath("x.png")) || boxes.size() == 1);
    ASSERT_EQ(startFolders.size(), 1);
    EXPECT_EQ(QDir(startFolders[0]), QDir(dir.path()));

    boxes.clear();
    saves = {{dir.filePath("z.png"), 9}};
    iconmain->N39Click(nullptr);
    EXPECT_TRUE(QFile::exists(dir.filePath("z.png")) || boxes.size() == 1);

    // Whatever entry the dialog stands on, a cursor name is saved as a cursor.
    boxes.clear();
    saves = {{dir.filePath("y.cur"), 0}};
    iconmain->Saveas1Click(nullptr);
    EXPECT_TRUE(QFile::exists(dir.filePath("y.cur")));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();

    // Once the project has a file, the dialog starts in its folder.
    QDir(dir.path()).mkpath("sub");
    saves = {{dir.filePath("sub/w.ico"), 1}, {dir.filePath("sub/v.png"), 9}};
    iconmain->Saveas1Click(nullptr);
    ASSERT_TRUE(QFile::exists(dir.filePath("sub/w.ico")));
    iconmain->N39Click(nullptr);
    EXPECT_EQ(QDir(startFolders.last()), QDir(dir.filePath("sub")));
}

TEST_F(MainRoad, TheRightButtonDrawsWithTheSecondaryColourWithEveryTool)
{
    Tnewiconview* doc = StartWith("icons/pillow/python.ico", "python.ico");
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->CurrentKind, "XP");
    SetColour("up", 255, 0, 0, 0);
    SetColour("down", 255, 0, 255, 0);
    // The 3D frame draws with both colours, the right button putting the secondary one on the
    // top-left edges.
    const struct {
        int Tool;
        QPoint From, To;
    } cases[] = {{2, {2, 2}, {9, 6}},  {4, {2, 2}, {9, 6}}, {12, {2, 2}, {9, 6}}, {5, {2, 2}, {9, 6}},
                 {6, {2, 2}, {9, 6}},  {7, {2, 2}, {9, 9}}, {8, {2, 2}, {9, 9}},  {3, {5, 5}, {5, 5}},
                 {11, {2, 2}, {9, 6}}, {2, {4, 4}, {4, 4}}};
    for (const auto& c : cases) {
        GdipImageData(doc->CurrentImage())->fill(0);
        // A left drag before makes sure the colour comes from this press, not an earlier drag.
        iconmain->CurrentTool = 2;
        DragCells(doc, {0, 0}, {0, 3}, Qt::LeftButton);
        GdipImageData(doc->CurrentImage())->fill(0);
        iconmain->CurrentTool = c.Tool;
        DragCells(doc, c.From, c.To, Qt::RightButton);
        if (c.Tool == 11) {
            EXPECT_EQ(GdipImageData(doc->CurrentImage())->pixel(c.From.x(), c.From.y() + 2), 0xFF00FF00u);
            EXPECT_EQ(GdipImageData(doc->CurrentImage())->pixel(c.To.x(), c.To.y() - 2), 0xFF000000u);
            continue;
        }
        EXPECT_GT(CountShowing(doc, 0x00FF00), 0) << "tool " << c.Tool;
        EXPECT_EQ(CountShowing(doc, 0x000000), 0) << "tool " << c.Tool;
    }
}

TEST_F(MainRoad, TheHoverCellGoesWhenThePointerLeavesTheCanvas)
{
    Tnewiconview* doc = StartWith("icons/pillow/python.ico", "python.ico");
    ASSERT_TRUE(doc);
    SetColour("up", 255, 255, 0, 0);
    const int z = doc->Zoom;
    auto shown = [&] { return doc->iconview->Bitmap()->PixelAddress(z / 2, z / 2)[0] & 0xFFFFFF; };
    SendMouse(doc->iconview, QEvent::MouseMove, {z / 2, z / 2}, Qt::NoButton, Qt::NoButton);
    ASSERT_EQ(shown(), 0xFF0000u);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(doc->iconview, &leave);
    EXPECT_NE(shown(), 0xFF0000u);
}

TEST_F(MainRoad, AWalkFromOpeningToReopening)
{
    // Start with a multi-image icon and go to its largest format.
    Tnewiconview* doc = StartWith("icons/pillow/python.ico", "python.ico");
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->FormatCount(), 3);
    int largest = 0;
    for (int f = 1; f <= 3; ++f)
        if (doc->FormatTable.Width(f) == "48")
            largest = f;
    ASSERT_GT(largest, 0);
    doc->FormatList()->SetItemIndex(largest - 1);
    doc->MyListBox1Click(doc);
    ASSERT_EQ(doc->CurrentWidth, 48);

    // Zoom in as far as it goes, then scroll to the bottom-right corner.
    for (int i = 0, last = -1; i < 100 && doc->Zoom != last; ++i) {
        last = doc->Zoom;
        ClickComponentByName(iconmain, "ToolButton13");
    }
    auto* box = qobject_cast<TScrollBox*>(doc->ScrollBox2);
    ASSERT_TRUE(box);
    ASSERT_GT(doc->iconview->Width(), box->ClientWidth());
    box->HorzScrollBar()->SetPosition(1 << 20);
    box->VertScrollBar()->SetPosition(1 << 20);

    // A right click on the last pixel in view draws it in the secondary colour.
    SetColour("down", 255, 0, 255, 0);
    const QPoint corner(box->ClientWidth() - 1 - doc->iconview->Left(), box->ClientHeight() - 1 - doc->iconview->Top());
    SendMouse(doc->iconview, QEvent::MouseButtonPress, corner, Qt::RightButton, Qt::RightButton);
    SendMouse(doc->iconview, QEvent::MouseButtonRelease, corner, Qt::RightButton, Qt::NoButton);
    const QImage drawn = GdipImageData(doc->CurrentImage())->copy();
    EXPECT_EQ(drawn.pixel(47, 47), 0xFF00FF00u);

    // Another document, then back; close the other one, save this one.
    Tnewiconview* other = Open("icons/pillow/hopper.ico", "hopper.ico", "iconview2");
    ASSERT_TRUE(other);
    EXPECT_EQ(iconmain->ActiveDocumentName, "iconview2");
    doc->suiForm1Click(doc);
    EXPECT_EQ(iconmain->ActiveDocumentName, "iconview1");
    EXPECT_EQ(Label("formaticon"), "48 * 48 - XP");
    const QString saved = dir.filePath("walk.ico");
    TDialogAnswererScope answers([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkSave) {
            auto* dialog = qobject_cast<TOpenDialog*>(r.Dialog);
            dialog->SetFileName(saved);
            dialog->SetFilterIndex(1);
            r.Result = 1;
        } else {
            r.Result = r.Kind == TDialogRequest::dkMessageDlg ? int(mrNo) : IDOK;
        }
        return true;
    });
    other->Close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::sendPostedEvents();
    ASSERT_FALSE(FindForm("iconview2"));
    EXPECT_EQ(iconmain->ActiveDocumentName, "iconview1");
    ClickComponentByName(iconmain, "ToolButton3");
    ASSERT_TRUE(QFile::exists(saved));

    // Reopened, every pixel of every format is what was on screen.
    iconmain->FindComponent("OpenDialog1")->setProperty("FileName", saved);
    iconmain->OpenFileByName();
    auto* reopened = qobject_cast<Tnewiconview*>(FindForm("iconview2"));
    ASSERT_TRUE(reopened);
    ASSERT_EQ(reopened->FormatCount(), 3);
    for (int f = 1; f <= 3; ++f) {
        const QImage a = GdipImageData(doc->FormatImages[size_t(f)])->convertToFormat(QImage::Format_ARGB32);
        const QImage b = GdipImageData(reopened->FormatImages[size_t(f)])->convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(a, b) << "format " << f;
    }
    EXPECT_EQ(GdipImageData(reopened->FormatImages[size_t(largest)])->pixel(47, 47), 0xFF00FF00u);
}

TEST_F(MainRoad, TheFormatListShowsAStrokeWithoutThePointerPassingOverIt)
{
    Tnewiconview* doc = StartWith("icons/pillow/python.ico", "python.ico");
    ASSERT_TRUE(doc);
    QWidget* rows = doc->FormatList()->ListWidget()->viewport();
    QApplication::processEvents();
    struct PaintCounter : QObject {
        int Count = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            Count += e->type() == QEvent::Paint;
            return false;
        }
    } painted;
    rows->installEventFilter(&painted);
    iconmain->CurrentTool = 6;
    DragCells(doc, {1, 1}, {10, 10}, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_GT(painted.Count, 0);
}
