#include "document/canvas_mouse.h"
#include "document/newiconview.h"
#include "document/testing_editor_state.h"
#include "drawing/drawing_target.h"
#include "imaging/bitmap/image32.h"
#include "platform/program_paths.h"
#include "testsupport/testdata.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Engines that only note what they were called with.
QStringList calls;
void Note(const char* name, TDrawingTarget& t, const QString& marker)
{
    calls << QString("%1 %2 %3,%4-%5,%6").arg(name, marker).arg(t.DragStartX).arg(t.DragStartY).arg(t.DragEndX).arg(t.DragEndY);
}
#define NOTE_ENGINE(name) \
    void name(TDrawingTarget& t, const QString& m) { Note(#name, t, m); }
NOTE_ENGINE(LinePreview)
NOTE_ENGINE(LineCommit)
NOTE_ENGINE(FreehandStroke)
NOTE_ENGINE(RectanglePreview)
NOTE_ENGINE(RectangleCommit)
NOTE_ENGINE(FilledRectanglePreview)
NOTE_ENGINE(FilledRectangleCommit)
NOTE_ENGINE(EllipsePreview)
NOTE_ENGINE(EllipseCommit)
NOTE_ENGINE(FilledEllipsePreview)
NOTE_ENGINE(FilledEllipseCommit)
NOTE_ENGINE(Frame3DPreview)
NOTE_ENGINE(Frame3DCommit)
void BucketFill(TDrawingTarget& t) { Note("BucketFill", t, ""); }

TDrawingEngines NotingEngines()
{
    TDrawingEngines e;
    e.LinePreview = LinePreview;
    e.LineCommit = LineCommit;
    e.FreehandStroke = FreehandStroke;
    e.RectanglePreview = RectanglePreview;
    e.RectangleCommit = RectangleCommit;
    e.FilledRectanglePreview = FilledRectanglePreview;
    e.FilledRectangleCommit = FilledRectangleCommit;
    e.EllipsePreview = EllipsePreview;
    e.EllipseCommit = EllipseCommit;
    e.FilledEllipsePreview = FilledEllipsePreview;
    e.FilledEllipseCommit = FilledEllipseCommit;
    e.Frame3DPreview = Frame3DPreview;
    e.Frame3DCommit = Frame3DCommit;
    e.BucketFill = BucketFill;
    return e;
}

class CanvasMouse : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(dir.path());
        state.NewImageWidth = 16;
        state.NewImageHeight = 16;
        templ = std::make_unique<Tnewiconview>();
        SetDrawingEngines(NotingEngines());
        calls.clear();
    }
    void TearDown() override
    {
        doc.reset();
        templ.reset();
        SetDrawingEngines(TDrawingEngines());
        SetProgramFolder(QString());
    }
    Tnewiconview* NewProject(const QString& kind = "XP", int w = 16, int h = 16)
    {
        state.NewImageWidth = w;
        state.NewImageHeight = h;
        state.NewImageKind = kind;
        doc = std::make_unique<Tnewiconview>();
        doc->setObjectName("iconview1");
        AttachCanvasMouse(doc.get());
        return doc.get();
    }
    // Mouse events as the window system delivers them to the canvas, at image cells.
    void Mouse(QEvent::Type type, int cx, int cy, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const int z = doc->Zoom;
        const QPointF p(cx * z + z / 2, cy * z + z / 2);
        QMouseEvent e(type, p, doc->iconview->mapToGlobal(p), button, held, mods);
        QApplication::sendEvent(doc->iconview, &e);
    }
    void Press(int cx, int cy, Qt::MouseButton b = Qt::LeftButton) { Mouse(QEvent::MouseButtonPress, cx, cy, b, b); }
    void Move(int cx, int cy, Qt::MouseButtons held = Qt::LeftButton, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        Mouse(QEvent::MouseMove, cx, cy, Qt::NoButton, held, mods);
    }
    void Release(int cx, int cy, Qt::MouseButton b = Qt::LeftButton) { Mouse(QEvent::MouseButtonRelease, cx, cy, b, Qt::NoButton); }
    QImage Format() const { return *GdipImageData(doc->CurrentImage()); }

    QTemporaryDir dir;
    TTestingEditorState state;
    std::unique_ptr<Tnewiconview> templ;
    std::unique_ptr<Tnewiconview> doc;
};

} // namespace

TEST_F(CanvasMouse, EachToolReachesItsEnginesByTheShapeOfTheDrag)
{
    struct Case {
        int tool;
        int ex, ey; // the drag runs from cell (5, 5)
        const char* move;
        const char* release;
    };
    const Case cases[] = {
        {2, 5, 5, "LinePreview xy 5,5-5,5", "LineCommit dorvelt 5,5-5,5"},
        {2, 9, 5, "LinePreview dorvelt 5,5-9,5", "LineCommit dorvelt 5,5-9,5"},
        {2, 9, 8, "LinePreview dorvelt 5,5-9,8", "LineCommit dorvelt 5,5-9,8"},
        {4, 5, 5, "LinePreview xy 5,5-5,5", "LineCommit dorvelt 5,5-5,5"},
        {4, 5, 9, "FreehandStroke dorvelt 5,5-5,9", "LineCommit dorvelt 5,5-5,9"},
        {12, 9, 8, "FreehandStroke dorv 5,5-9,8", "LineCommit dorvelt 5,5-9,8"},
        {5, 5, 5, "LinePreview xy 5,5-5,5", "LineCommit dorvelt 5,5-5,5"},
        {5, 5, 9, "LinePreview dorvelt 5,5-5,9", "LineCommit dorvelt 5,5-5,9"},
        {5, 9, 8, "RectanglePreview dorvelt 5,5-9,8", "RectangleCommit dorvelt 5,5-9,8"},
        {6, 9, 5, "", "LineCommit dorvelt 5,5-9,5"},
        {6, 9, 8, "FilledRectanglePreview dorvelt 5,5-9,8", "FilledRectangleCommit dorvelt 5,5-9,8"},
        {7, 5, 9, "", "LineCommit dorvelt 5,5-5,9"},
        {7, 2, 1, "EllipsePreview dorvelt 5,5-2,1", "EllipseCommit dorvelt 5,5-2,1"},
        {8, 9, 8, "FilledEllipsePreview dorvelt 5,5-9,8", "FilledEllipseCommit dorvelt 5,5-9,8"},
        {11, 9, 5, "Frame3DPreview dorvelt 5,5-9,5", "LineCommit dorvelt 5,5-9,5"},
        {11, 9, 8, "Frame3DPreview dorvelt 5,5-9,8", "Frame3DCommit dorvelt 5,5-9,8"},
    };
    NewProject();
    for (const Case& c : cases) {
        state.CurrentTool = c.tool;
        calls.clear();
        Press(5, 5);
        Move(c.ex, c.ey);
        Release(c.ex, c.ey);
        QStringList expected;
        if (*c.move)
            expected << c.move;
        expected << c.release;
        EXPECT_EQ(calls, expected) << "tool " << c.tool << " to " << c.ex << "," << c.ey;
    }
    // A click without a move commits a single point.
    state.CurrentTool = 8;
    calls.clear();
    Press(3, 4);
    Release(3, 4);
    EXPECT_EQ(calls, QStringList{"LineCommit dorvelt 3,4-3,4"});
    // The selection, text and picker tools call no engine; the bucket fills at the press only.
    for (int tool : {1, 9, 10, 3}) {
        state.CurrentTool = tool;
        calls.clear();
        Press(3, 4);
        Move(9, 9);
        Release(9, 9);
        EXPECT_EQ(calls, tool == 3 ? QStringList{"BucketFill  3,4-3,4"} : QStringList()) << tool;
    }
}

TEST_F(CanvasMouse, PressSetsTheDragUp)
{
    NewProject();
    state.Edits["upa"] = " 200 ";
    state.Edits["upr"] = "1";
    state.CurrentTool = 2;
    Press(3, 7);
    EXPECT_TRUE(doc->MouseIsDown);
    EXPECT_EQ(doc->EditState, 1);
    EXPECT_EQ(doc->DragStartX, 3);
    EXPECT_EQ(doc->DragEndY, 7);
    EXPECT_EQ(doc->StrokeColorA, "200");
    EXPECT_EQ(doc->StrokeColorR, "1");
    EXPECT_EQ(state.Labels["bigbig"], QString::number(doc->Zoom * 100) + " %");
    EXPECT_EQ(state.Labels["beginxy"], "4,8");
    EXPECT_EQ(state.Labels["formaticon"], "16 * 16 - XP");
    for (const char* off : {"ToolButton8", "ToolButton9", "ToolButton11", "Cut1", "Copy1", "Delete1"})
        EXPECT_FALSE(state.Enabled.value(off, true)) << off;
    EXPECT_TRUE(state.Enabled.value("ToolButton5"));
    EXPECT_EQ(state.Hints["ToolButton11"], "Delete image format");
    EXPECT_EQ(state.TrackBars["layer_a"], 255);
    EXPECT_TRUE(QFile::exists(doc->StateFilePath(1, 1)));
    Move(8, 8);
    EXPECT_EQ(state.Labels["whsize"], "9,9");
    Release(8, 8);
    EXPECT_FALSE(doc->MouseIsDown);
}

TEST_F(CanvasMouse, MovesNoteTheButtonAndShift)
{
    NewProject();
    state.CurrentTool = 5;
    Press(2, 2, Qt::RightButton);
    Move(6, 6, Qt::RightButton);
    EXPECT_EQ(doc->FormatTable.StrokeButton(), 2);
    EXPECT_EQ(doc->ShiftMode, 1);
    Move(7, 6, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(doc->FormatTable.StrokeButton(), 1);
    EXPECT_EQ(doc->ShiftMode, 2);
    Release(7, 6);
}

TEST_F(CanvasMouse, ErasingStrokeHoldsOpaqueWhiteUntilTheRelease)
{
    NewProject();
    GdipImageData(doc->CurrentImage())->fill(0x80102030);
    state.Edits["upa"] = "0";
    state.Edits["upr"] = "7";
    Press(1, 1);
    EXPECT_EQ(state.Edits["upa"], "255");
    EXPECT_EQ(state.Edits["upr"], "255");
    ASSERT_NE(doc->EraseBaseImage, nullptr);
    EXPECT_EQ(GdipImageData(doc->EraseBaseImage)->pixel(4, 4), 0x80102030u);
    Move(5, 5);
    EXPECT_EQ(state.Edits["upb"], "255");
    Release(5, 5);
    EXPECT_EQ(state.Edits["upa"], "0");
    EXPECT_EQ(state.Edits["upr"], "7");
}

TEST_F(CanvasMouse, ReleaseRecordsOneUndoStepAndAReleaseWithoutPressNone)
{
    NewProject();
    state.CurrentTool = 2;
    state.Log.clear();
    Release(3, 3);
    EXPECT_EQ(doc->FormatTable.UndoStateCount(1), 1);
    EXPECT_TRUE(state.Log.isEmpty()) << "no activation either";
    Press(3, 3);
    Release(3, 3);
    EXPECT_EQ(doc->FormatTable.UndoStateCount(1), 2);
    EXPECT_TRUE(state.Enabled.value("ToolButton5"));
    EXPECT_TRUE(state.Enabled.value("Undo1"));
    EXPECT_TRUE(state.Log.contains("ActivateDocument 1"));
    EXPECT_FALSE(state.Preview.isNull()) << "the thumbnails follow";
}

TEST_F(CanvasMouse, PaletteFormatsAreReducedAtTheRelease)
{
    struct Case {
        QString kind;
        QRgb before;
        QRgb after;
    };
    const Case cases[] = {
        {"16", 0x81123456, 0x00000000},  // alpha 129: transparent
        {"16", 0xC8FF0000, 0xFFFF0000},  // red over white is (255, 55, 55): red of the 16 colours
        {"256", 0xC8FF0000, 0xFFFF3333}, // the nearest of the halftone cube
        {"256", 0x82000000, 0xFF808080}, // alpha 130: opaque; black over white (125) to the nearest grey
        {"Mono", 0xC8FF0000, 0xFF000000},
        {"Mono", 0xFFC0C0C0, 0xFFFFFFFF},
        {"XP", 0x81123456, 0x81123456},  // never reduced
        {"16.8M", 0x81123456, 0x81123456},
    };
    for (const Case& c : cases) {
        NewProject(c.kind);
        state.CurrentTool = 9; // a tool whose canvas release draws nothing
        GdipImageData(doc->CurrentImage())->fill(c.before);
        Press(2, 2);
        Release(2, 2);
        EXPECT_EQ(Format().pixel(9, 9), c.after) << c.kind.toStdString() << " " << std::hex << c.before;
    }
}

TEST_F(CanvasMouse, AFormatsOwnColourTableTakesTheStrokeTheLowerIndexOnATie)
{
    NewProject("16");
    doc->SetFormatPalette(1, {0x303030, 0x101010, 0xFF0000}, 4);
    state.CurrentTool = 9;
    GdipImageData(doc->CurrentImage())->fill(0xFF202020); // as near the first colour as the second
    GdipImageData(doc->CurrentImage())->setPixel(1, 1, 0xFFF00000);
    Press(2, 2);
    Release(2, 2);
    EXPECT_EQ(Format().pixel(9, 9), 0xFF303030u);
    EXPECT_EQ(Format().pixel(1, 1), 0xFFFF0000u);
}

TEST_F(CanvasMouse, ColourPickerTakesThePressedCellAndHandsBack)
{
    NewProject();
    GdipImageData(doc->CurrentImage())->setPixel(4, 6, 0x80102030);
    state.CurrentTool = 10;
    state.ToolImageIndex = 5;
    state.Log.clear();
    Press(4, 6);
    Move(9, 9);
    Release(9, 9);
    EXPECT_EQ(state.Edits["colora"], "128");
    EXPECT_EQ(state.Edits["colorr"], "16");
    EXPECT_EQ(state.Edits["upg"], "32");
    EXPECT_EQ(state.Edits["upb"], "48");
    EXPECT_EQ(state.TrackBars["colorbarb"], 48);
    EXPECT_EQ(state.Log.count("colorbarrChange"), 2);
    EXPECT_TRUE(state.Log.contains("SelectToolImage 5 1"));
    EXPECT_EQ(state.Log.last(), "tool_5Click");
    // Chosen as the current tool by its own image, the picker stays.
    state.ToolImageIndex = 10;
    state.Log.clear();
    Press(4, 6);
    Release(4, 6);
    EXPECT_FALSE(state.Log.contains("tool_10Click"));
}

TEST_F(CanvasMouse, HoverShowsTheCellAndTheToolsCursor)
{
    // The cursors as the installation holds them.
    QDir(dir.path()).mkpath("cursors");
    for (int n = 1; n <= 11; ++n) {
        const QString name = QString("cursors/MY%1.cur").arg(n);
        QFile::copy(TestDataPath("../assets/" + name), dir.filePath(name));
    }
    NewProject();
    state.CurrentTool = 12;
    Move(3, 4, Qt::NoButton);
    EXPECT_EQ(state.Labels["beginxy"], "4,5");
    EXPECT_EQ(doc->iconview->Cursor(), 4) << "the pencil shares the brush's cursor";
    const QCursor pick = ToolCursor(10);
    EXPECT_EQ(pick.pixmap().size(), QSize(32, 32));
    EXPECT_EQ(pick.hotSpot(), QPoint(1, 30));
    for (int n = 1; n <= 11; ++n)
        EXPECT_FALSE(ToolCursor(n).pixmap().isNull()) << n;
    QFile::remove(dir.filePath("cursors/MY2.cur"));
    EXPECT_EQ(ToolCursor(2).shape(), Qt::ArrowCursor);
}
