#include "document/canvas_mouse.h"
#include "document/my_list_box.h"
#include "document/newiconview.h"
#include "document/testing_canvas.h"
#include "document/testing_editor_state.h"
#include "framework/commands.h"
#include "framework/menus.h"
#include "imaging/bitmap/image32.h"
#include "platform/program_paths.h"
#include "skin/theme_items.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class Selection : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(dir.path());
        templ = std::make_unique<Tnewiconview>();
        state.CurrentTool = 1;
    }
    void TearDown() override
    {
        SetTextImageSource(nullptr);
        docs.clear();
        templ.reset();
        SelectionRect() = TRect();
        SetProgramFolder(QString());
    }
    Tnewiconview* NewProject(int n, int w = 8, int h = 8)
    {
        state.NewImageWidth = w;
        state.NewImageHeight = h;
        state.NewImageKind = "XP";
        auto* doc = new Tnewiconview;
        doc->setObjectName("iconview" + QString::number(n));
        docs.emplace_back(doc);
        doc->Zoom = 10;
        doc->RebuildView();
        state.ActiveDocumentName = doc->objectName();
        state.ActiveDocumentNumber = n;
        return doc;
    }
    // Mouse events at the centre of an image cell, to the control the window system would give
    // them: the overlay once it shows, the canvas before.
    void Mouse(Tnewiconview* doc, QEvent::Type type, int cx, int cy, Qt::MouseButtons held)
    {
        const int z = doc->Zoom;
        const QPointF p(cx * z + z / 2, cy * z + z / 2);
        QWidget* target = doc->PaintBox1->Visible() && type == QEvent::MouseButtonPress ? doc->PaintBox1
                                                                                          : grabber;
        if (type == QEvent::MouseButtonPress)
            grabber = target;
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, p, target->mapToGlobal(p), button, held, Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    }
    void Press(Tnewiconview* doc, int cx, int cy)
    {
        if (!doc->PaintBox1->Visible())
            grabber = doc->iconview;
        Mouse(doc, QEvent::MouseButtonPress, cx, cy, Qt::LeftButton);
    }
    void Move(Tnewiconview* doc, int cx, int cy) { Mouse(doc, QEvent::MouseMove, cx, cy, Qt::LeftButton); }
    void Release(Tnewiconview* doc, int cx, int cy) { Mouse(doc, QEvent::MouseButtonRelease, cx, cy, Qt::NoButton); }
    void Drag(Tnewiconview* doc, int x0, int y0, int x1, int y1)
    {
        Press(doc, x0, y0);
        Move(doc, x1, y1);
        Release(doc, x1, y1);
    }
    void Click(Tnewiconview* doc, int cx, int cy)
    {
        Press(doc, cx, cy);
        Release(doc, cx, cy);
    }
    static QImage& Format(Tnewiconview* doc) { return *GdipImageData(doc->CurrentImage()); }
    static QImage Picture(GpImage* image) { return image ? *GdipImageData(image) : QImage(); }
    static int Steps(Tnewiconview* doc) { return doc->FormatTable.UndoStateCount(doc->CurrentFormat()); }
    // A 2 x 2 block at cells (2..3, 2..3) of distinct colours, one of them half transparent.
    static void PaintBlock(Tnewiconview* doc)
    {
        Format(doc).setPixel(2, 2, 0xFFFF0000);
        Format(doc).setPixel(3, 2, 0xFF00FF00);
        Format(doc).setPixel(2, 3, 0xFF0000FF);
        Format(doc).setPixel(3, 3, 0x80FFFF00);
    }
    static void ExpectBlockAt(const QImage& image, int x, int y)
    {
        EXPECT_EQ(image.pixel(x, y), 0xFFFF0000u);
        EXPECT_EQ(image.pixel(x + 1, y), 0xFF00FF00u);
        EXPECT_EQ(image.pixel(x, y + 1), 0xFF0000FFu);
        EXPECT_EQ(image.pixel(x + 1, y + 1), 0x80FFFF00u);
    }

    QTemporaryDir dir;
    TTestingEditorState state;
    std::unique_ptr<Tnewiconview> templ;
    std::vector<std::unique_ptr<Tnewiconview>> docs;
    QWidget* grabber = nullptr;
};

} // namespace

TEST_F(Selection, SelectLiftMoveAndDrop)
{
    Tnewiconview* doc = NewProject(1);
    PaintBlock(doc);
    Format(doc).setPixel(5, 6, 0xFF202020); // under the block's half-transparent pixel once moved

    Drag(doc, 2, 2, 3, 3);
    EXPECT_EQ(SelectionRect(), Rect(20, 20, 40, 40));
    EXPECT_TRUE(doc->PaintBox1->Visible());
    // The release hands the selected pixels to the clipboard for a paste.
    ExpectBlockAt(Picture(state.SelectionBuffer), 0, 0);
    EXPECT_EQ(state.Enabled.value("Cut1"), true);
    EXPECT_EQ(state.Hints.value("ToolButton11"), "Delete");

    // A press inside lifts the pixels; they follow the pointer cell by cell.
    Press(doc, 3, 3);
    EXPECT_TRUE(doc->SelectionLifted);
    EXPECT_EQ(Format(doc).pixel(2, 2), 0u);
    ExpectBlockAt(Picture(state.FloatingImage), 0, 0);
    Move(doc, 5, 6);
    Release(doc, 5, 6);
    EXPECT_EQ(SelectionRect(), Rect(40, 50, 60, 70));
    EXPECT_EQ(Format(doc).pixel(4, 5), 0u); // not in the format until dropped

    // A press outside drops them at their own size, source over, and starts a new rectangle;
    // the click is an undo step.
    const int before = Steps(doc);
    Click(doc, 0, 0);
    EXPECT_EQ(Steps(doc), before + 1);
    EXPECT_TRUE(state.Enabled.value("ToolButton5"));
    const QImage& f = Format(doc);
    EXPECT_EQ(f.pixel(4, 5), 0xFFFF0000u);
    EXPECT_EQ(f.pixel(5, 5), 0xFF00FF00u);
    EXPECT_EQ(f.pixel(4, 6), 0xFF0000FFu);
    EXPECT_EQ(f.pixel(5, 6), 0xFF909010u); // half yellow over dark grey
    EXPECT_EQ(f.pixel(6, 6), 0u);
    for (int x = 2; x < 4; ++x)
        for (int y = 2; y < 4; ++y)
            EXPECT_EQ(f.pixel(x, y), 0u) << x << "," << y; // the source stays cleared
    EXPECT_EQ(doc->FindComponent("BitBtn5")->property("Caption").toString(), "true");
    EXPECT_TRUE(IsRectEmpty(SelectionRect())); // the click dropped the new rectangle again
}

TEST_F(Selection, MovedRectangleOverTheEdgeIsCutOffWhenDropped)
{
    Tnewiconview* doc = NewProject(1);
    PaintBlock(doc);
    // A rectangle dragged with the pointer ends at the canvas's edge.
    Drag(doc, 6, 6, 20, 30);
    EXPECT_EQ(SelectionRect(), Rect(60, 60, 80, 80));
    Click(doc, 0, 0);
    Drag(doc, 2, 2, 3, 3);
    Press(doc, 2, 2);
    Move(doc, 7, 7); // the block now hangs over the right and bottom edges
    Release(doc, 7, 7);
    Click(doc, 0, 0);
    EXPECT_EQ(Format(doc).pixel(7, 7), 0xFFFF0000u);
    EXPECT_EQ(Format(doc).pixel(6, 6), 0u);
}

TEST_F(Selection, CutAndPasteBetweenDocumentsAreOneUndoStepEach)
{
    Tnewiconview* one = NewProject(1);
    PaintBlock(one);
    Drag(one, 2, 2, 3, 3);
    int before = Steps(one);
    state.PasteState = 1; // what the main window's Cut does before it clicks
    RunCommandByName("iconview1", "BitBtn27");
    EXPECT_EQ(Steps(one), before + 1);
    ExpectBlockAt(Picture(state.SelectionBuffer), 0, 0);
    EXPECT_EQ(Format(one).pixel(2, 2), 0u);
    EXPECT_EQ(Format(one).pixel(3, 3), 0u);

    Tnewiconview* two = NewProject(2);
    two->EnsureBaseState(); // a document with a history
    before = Steps(two);
    RunCommandByName("iconview2", "BitBtn15");
    EXPECT_EQ(Steps(two), before + 1);
    EXPECT_TRUE(two->FloatingSelection);
    EXPECT_EQ(SelectionRect(), Rect(0, 0, 20, 20));
    EXPECT_EQ(state.PasteState, 2);
    EXPECT_EQ(state.Enabled.value("ToolButton10"), true);
    EXPECT_EQ(state.Enabled.value("ToolButton8"), false);
    EXPECT_EQ(Format(two).pixel(0, 0), 0u); // floating, not yet in the format

    // The release after a paste keeps Cut and Copy off; a click on it drops it at the corner.
    Click(two, 0, 0);
    EXPECT_EQ(state.Enabled.value("Cut1"), false);
    ExpectBlockAt(Format(two), 0, 0);

    // A selection drag meanwhile refreshes the clipboard picture; the next paste still gives the
    // last cut's picture.
    Drag(two, 5, 5, 6, 6);
    RunCommandByName("iconview2", "BitBtn15");
    ExpectBlockAt(Picture(two->PastedImage), 0, 0);
    // Moved and pasted over, it lands where it was moved to.
    Drag(two, 0, 0, 4, 4);
    RunCommandByName("iconview2", "BitBtn15");
    ExpectBlockAt(Format(two), 4, 4);
    ExpectBlockAt(Picture(two->PastedImage), 0, 0);

    // A whole-format copy from the popup does not change which picture the next paste takes.
    RunCommandByName("iconview2", "BitBtn1");
    RunCommandByName("iconview2", "Copy2");
    RunCommandByName("iconview2", "BitBtn15");
    EXPECT_EQ(Picture(two->PastedImage).size(), QSize(2, 2));
}

TEST_F(Selection, ScaledPasteStretchesToTheFormatAndRecordsNoStep)
{
    Tnewiconview* one = NewProject(1);
    PaintBlock(one);
    Drag(one, 2, 2, 3, 3);
    state.PasteState = 1;
    RunCommandByName("iconview1", "BitBtn28");
    EXPECT_EQ(Format(one).pixel(2, 2), 0xFFFF0000u); // copy leaves the format alone

    Tnewiconview* two = NewProject(2, 6, 4);
    const int before = Steps(two);
    RunCommandByName("iconview2", "BitBtn16");
    EXPECT_EQ(Steps(two), before);
    EXPECT_FALSE(two->JustPasted);
    const QImage pasted = Picture(two->PastedImage);
    ASSERT_EQ(pasted.size(), QSize(6, 4));
    EXPECT_EQ(pasted.pixel(2, 1), 0xFFFF0000u);
    EXPECT_EQ(pasted.pixel(3, 1), 0xFF00FF00u);
    EXPECT_EQ(pasted.pixel(5, 3), 0x80FFFF00u);
    EXPECT_EQ(SelectionRect(), Rect(0, 0, 60, 40));
}

TEST_F(Selection, DeleteClearsTheSelectionOrDiscardsWhatFloats)
{
    Tnewiconview* doc = NewProject(1);
    PaintBlock(doc);
    Format(doc).setPixel(6, 6, 0xFF123456);
    Drag(doc, 2, 2, 2, 3);
    const int before = Steps(doc);
    RunCommandByName("iconview1", "BitBtn31");
    EXPECT_EQ(Steps(doc), before + 1);
    EXPECT_EQ(Format(doc).pixel(2, 2), 0u);
    EXPECT_EQ(Format(doc).pixel(3, 2), 0xFF00FF00u);
    EXPECT_TRUE(IsRectEmpty(SelectionRect()));

    // Lifted and moved over other pixels, a delete lets go of the lifted ones only.
    Drag(doc, 3, 2, 3, 3);
    Press(doc, 3, 2);
    Move(doc, 6, 6);
    Release(doc, 6, 6);
    RunCommandByName("iconview1", "BitBtn31");
    EXPECT_EQ(Format(doc).pixel(6, 6), 0xFF123456u);
    EXPECT_EQ(Format(doc).pixel(3, 2), 0u);
    Click(doc, 0, 0);
    EXPECT_EQ(Format(doc).pixel(6, 6), 0xFF123456u);
}

TEST_F(Selection, SelectAllTakesAnExtraCellButReadsAndWritesOnlyTheFormat)
{
    Tnewiconview* doc = NewProject(1, 5, 3);
    state.CurrentTool = 2;
    Format(doc).fill(0xFF336699);
    RunCommandByName("iconview1", "BitBtn38");
    EXPECT_EQ(SelectionRect(), Rect(0, 0, 60, 40));
    EXPECT_EQ(state.CurrentTool, 1);
    EXPECT_TRUE(state.Log.contains("SelectToolImage 0 1"));
    EXPECT_TRUE(doc->PaintBox1->Visible());
    for (const char* control : {"ToolButton8", "ToolButton9", "ToolButton11", "Cut1", "Copy1", "Delete1"})
        EXPECT_TRUE(state.Enabled.value(control)) << control;

    state.PasteState = 1;
    RunCommandByName("iconview1", "BitBtn27");
    // The clipboard holds the format itself, so a scaled paste is not distorted by the extra cell.
    const QImage cut = Picture(state.SelectionBuffer);
    EXPECT_EQ(cut.size(), QSize(5, 3));
    EXPECT_EQ(cut.pixel(4, 2), 0xFF336699u);
    EXPECT_EQ(Format(doc).pixel(4, 2), 0u);

    // Lifting the whole canvas and dropping it back changes nothing.
    Format(doc).fill(0xFF336699);
    RunCommandByName("iconview1", "BitBtn38");
    Press(doc, 1, 1);
    Release(doc, 1, 1);
    EXPECT_EQ(Format(doc).pixel(4, 2), 0xFF336699u);
    EXPECT_EQ(Format(doc).pixel(0, 0), 0xFF336699u);
}

TEST_F(Selection, ClicksAndCopiesNeverLoseTheClipboardOrLiftedPixels)
{
    Tnewiconview* doc = NewProject(1);
    PaintBlock(doc);
    Drag(doc, 2, 2, 3, 3);
    state.PasteState = 1;
    RunCommandByName("iconview1", "BitBtn28");

    // A click of the selection tool leaves the copied picture in place.
    Click(doc, 7, 0);
    Click(doc, 7, 0);
    ExpectBlockAt(Picture(state.SelectionBuffer), 0, 0);
    // So does copying with nothing selected.
    RunCommandByName("iconview1", "BitBtn28");
    ExpectBlockAt(Picture(state.SelectionBuffer), 0, 0);

    // Copying lifted, moved pixels copies them and leaves them floating where they are.
    Drag(doc, 2, 2, 3, 3);
    Press(doc, 2, 2);
    Move(doc, 5, 5);
    Release(doc, 5, 5);
    ReplaceImage(state.SelectionBuffer, nullptr);
    RunCommandByName("iconview1", "BitBtn28");
    ExpectBlockAt(Picture(state.SelectionBuffer), 0, 0);
    Click(doc, 0, 7);
    ExpectBlockAt(Format(doc), 5, 5);

    // Cutting them takes them and leaves the format under them as it was.
    Format(doc).setPixel(2, 6, 0xFF654321);
    Drag(doc, 5, 5, 6, 6);
    Press(doc, 5, 5);
    Move(doc, 1, 5);
    Release(doc, 1, 5);
    RunCommandByName("iconview1", "BitBtn27");
    ExpectBlockAt(Picture(state.SelectionBuffer), 0, 0);
    EXPECT_EQ(Format(doc).pixel(2, 6), 0xFF654321u);
    EXPECT_EQ(Format(doc).pixel(5, 5), 0u);
    Click(doc, 7, 0);
    EXPECT_EQ(Format(doc).pixel(1, 5), 0u);
    EXPECT_EQ(Format(doc).pixel(2, 6), 0xFF654321u);
}

TEST_F(Selection, PastesAndOtherDocumentsDropLiftedPixelsInsteadOfLosingThem)
{
    Tnewiconview* one = NewProject(1);
    PaintBlock(one);
    Drag(one, 2, 2, 3, 3);
    state.PasteState = 1;
    RunCommandByName("iconview1", "BitBtn28");
    Press(one, 2, 2);
    Move(one, 4, 4);
    Release(one, 4, 4);
    RunCommandByName("iconview1", "BitBtn16");
    ExpectBlockAt(Format(one), 4, 4);
    RunCommandByName("iconview1", "BitBtn1");

    // Pixels lifted in one document land in it when another document takes the selection.
    Drag(one, 4, 4, 5, 5);
    Press(one, 4, 4);
    Move(one, 0, 0);
    Release(one, 0, 0);
    Tnewiconview* two = NewProject(2);
    Drag(two, 6, 6, 7, 7);
    ExpectBlockAt(Format(one), 0, 0);
    EXPECT_EQ(Format(two).pixel(0, 0), 0u);
}

TEST_F(Selection, TextPlacementFloatsTheRenderedPictureAtTheCorner)
{
    Tnewiconview* doc = NewProject(1);
    RunCommandByName("iconview1", "BitBtn17"); // no text rendered yet: nothing floats
    EXPECT_FALSE(doc->FloatingSelection);

    QImage text(3, 2, QImage::Format_ARGB32);
    text.fill(0xFF0000FF);
    GpImage* rendered = GdipImageFromQImage(text);
    SetTextImageSource([rendered] { return rendered; });
    SelectionRect() = Rect(30, 30, 50, 50);
    RunCommandByName("iconview1", "BitBtn17");
    EXPECT_TRUE(doc->FloatingSelection);
    doc->PlaceFloatingPixels();
    EXPECT_EQ(SelectionRect(), Rect(0, 0, 30, 20));
    RunCommandByName("iconview1", "BitBtn1");
    EXPECT_EQ(Format(doc).pixel(2, 1), 0xFF0000FFu);
    EXPECT_EQ(Format(doc).pixel(3, 1), 0u);
    GdipDisposeImage(rendered);
}

TEST_F(Selection, EveryCommandOfTheSelectionHasItsHandler)
{
    Tnewiconview* doc = NewProject(1);
    for (const char* name : {"BitBtn4", "BitBtn15", "BitBtn16", "BitBtn17", "BitBtn27", "BitBtn28", "BitBtn31",
                             "BitBtn38", "Selectall1", "Copy1", "Copy2", "ClearAll1", "CancelSelect1"}) {
        QObject* c = doc->FindComponent(name);
        ASSERT_NE(c, nullptr) << name;
        if (auto* item = qobject_cast<TMenuItem*>(c))
            EXPECT_TRUE(bool(item->OnClick)) << name;
        else
            EXPECT_TRUE(bool(qobject_cast<TControl*>(c)->OnClick)) << name;
    }
    EXPECT_TRUE(bool(doc->PaintBox1->OnMouseDown) && bool(doc->PaintBox1->OnMouseMove) &&
                bool(doc->PaintBox1->OnMouseUp));

    RunCommandByName("iconview1", "CancelSelect1");
    EXPECT_TRUE(state.Log.contains("N30Click"));
    Format(doc).fill(0xFF112233);
    RunCommandByName("iconview1", "Copy2");
    EXPECT_EQ(Picture(state.SelectionBuffer).size(), QSize(8, 8));
    EXPECT_EQ(Picture(state.SelectionBuffer).pixel(7, 7), 0xFF112233u);
    doc->FloatingPlaced = true;
    RunCommandByName("iconview1", "BitBtn4");
    EXPECT_FALSE(doc->FloatingPlaced);
}

TEST_F(Selection, MarqueeIsADottedOutlineThatInvertsTheCanvas)
{
    state.SkinStyle = WinXP; // a style other than the default skin's
    Tnewiconview* doc = NewProject(1);
    PaintBlock(doc);
    doc->RebuildView();
    doc->Show();
    doc->PaintBox1->Show();
    auto shot = [&] {
        const QImage image = doc->grab().toImage();
        return image.copy(QRect(doc->PaintBox1->mapTo(doc, QPoint(0, 0)) * image.devicePixelRatio(),
                                QSize(80, 80)));
    };
    SelectionRect() = TRect();
    const QImage plain = shot();
    // A rectangle drawn in this document (the marquee shows in the document that owns it).
    RunCommandByName("iconview1", "Selectall1");
    SelectionRect() = Rect(10, 10, 50, 40);
    doc->DrawSelectionMarquee();
    const QImage marked = shot();
    const QString out = qEnvironmentVariable("BRELNOVA_SCREENSHOT_DIR");
    if (!out.isEmpty())
        doc->grab().toImage().save(out + "/selection_marquee_winxp.png");
    int inverted = 0, other = 0;
    for (int x = 10; x < 50; ++x) {
        const QRgb before = plain.pixel(x, 10) & 0xFFFFFF, after = marked.pixel(x, 10) & 0xFFFFFF;
        if (after == (before ^ 0xFFFFFF))
            ++inverted;
        else if (after != before)
            ++other;
    }
    EXPECT_GE(inverted, 10); // dotted: about every other pixel
    EXPECT_LT(inverted, 40);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(marked.pixel(30, 25), plain.pixel(30, 25)); // the inside is left alone

    // One image cell wide: no outline.
    SelectionRect() = Rect(10, 10, 20, 40);
    doc->DrawSelectionMarquee();
    EXPECT_EQ(shot(), plain);
}

TEST_F(Selection, FloatingPixelsKeepTheirCellsThroughAZoomChangeOrAnEmptiedRectangle)
{
    Tnewiconview* doc = NewProject(1);
    PaintBlock(doc);
    Drag(doc, 2, 2, 3, 3);
    Press(doc, 2, 2);
    Move(doc, 4, 1);
    Release(doc, 4, 1);
    const int before = doc->Zoom;
    RunCommandByName("iconview1", "BitBtn3"); // zoom out
    ASSERT_NE(doc->Zoom, before);
    EXPECT_EQ(SelectionRect(), Rect(4 * doc->Zoom, 1 * doc->Zoom, 6 * doc->Zoom, 3 * doc->Zoom));
    Click(doc, 0, 7);
    ExpectBlockAt(Format(doc), 4, 1);

    // Choosing the selection tool again empties the shared rectangle before it drops.
    Drag(doc, 4, 1, 5, 2);
    Press(doc, 4, 1);
    Move(doc, 1, 5);
    Release(doc, 1, 5);
    SelectionRect() = TRect();
    RunCommandByName("iconview1", "BitBtn4");
    RunCommandByName("iconview1", "BitBtn1");
    ExpectBlockAt(Format(doc), 1, 5);
    EXPECT_EQ(Format(doc).pixel(0, 0), 0u);
}

TEST_F(Selection, TheCanvasShowsTheFormatWhileSelectingWithTheEraserColour)
{
    Tnewiconview* doc = NewProject(1);
    Format(doc).fill(0xFF0000FF);
    doc->RebuildView();
    state.Edits["upa"] = "0";
    Press(doc, 1, 1);
    EXPECT_EQ(doc->iconview->Bitmap()->PixelAddress(45, 45)[0] & 0xFFFFFFu, 0x0000FFu);
    Release(doc, 1, 1);
    EXPECT_EQ(state.Edits.value("upa"), "0");
}

TEST_F(Selection, SavingOrClickingTheFormatListTakesTheFloatingPixels)
{
    Tnewiconview* doc = NewProject(1);
    PaintBlock(doc);
    Drag(doc, 2, 2, 3, 3);
    Press(doc, 2, 2);
    Move(doc, 5, 0);
    Release(doc, 5, 0);
    state.CommandArgument = dir.filePath("saved.ico");
    RunCommandByName("iconview1", "BitBtn21");
    ASSERT_TRUE(QFile::exists(state.CommandArgument));
    EXPECT_FALSE(doc->HasFloatingPixels());
    ExpectBlockAt(Format(doc), 5, 0);

    Drag(doc, 5, 0, 6, 1);
    Press(doc, 5, 0);
    Move(doc, 0, 5);
    Release(doc, 0, 5);
    doc->FormatList()->SetItemIndex(0);
    RunCommandByName("iconview1", "BitBtn46");
    ExpectBlockAt(Format(doc), 0, 5);
}

TEST_F(Selection, UndoPutsMovedPixelsBackAndTakesAPasteAway)
{
    Tnewiconview* doc = NewProject(1);
    PaintBlock(doc);
    Drag(doc, 2, 2, 3, 3);
    const int steps = Steps(doc);
    Press(doc, 2, 2);
    Move(doc, 5, 5);
    Release(doc, 5, 5);
    RunCommandByName("iconview1", "BitBtn23");
    EXPECT_EQ(Steps(doc), steps); // the move was not a step: nothing else is undone
    ExpectBlockAt(Format(doc), 2, 2);
    EXPECT_FALSE(doc->HasFloatingPixels());
    RunCommandByName("iconview1", "BitBtn1"); // nothing floats that could land twice
    EXPECT_EQ(Format(doc).pixel(5, 5), 0u);

    state.PasteState = 1;
    Drag(doc, 2, 2, 3, 3);
    RunCommandByName("iconview1", "BitBtn28");
    doc->EnsureBaseState();
    RunCommandByName("iconview1", "BitBtn15");
    Press(doc, 0, 0);
    Move(doc, 5, 4);
    Release(doc, 5, 4);
    RunCommandByName("iconview1", "BitBtn23");
    EXPECT_FALSE(doc->HasFloatingPixels());
    RunCommandByName("iconview1", "BitBtn1");
    EXPECT_EQ(Format(doc).pixel(5, 4), 0u);
    ExpectBlockAt(Format(doc), 2, 2);

    // Dropped by a tool change (or by a press outside and a drag), a move is one step of its own:
    // undo takes back the move and no more.
    for (bool byToolChange : {true, false}) {
        Drag(doc, 2, 2, 3, 3);
        Press(doc, 2, 2);
        Move(doc, 5, 5);
        Release(doc, 5, 5);
        if (byToolChange) {
            RunCommandByName("iconview1", "BitBtn1");
        } else {
            Press(doc, 0, 7);
            Move(doc, 1, 7);
            Release(doc, 1, 7);
        }
        ExpectBlockAt(Format(doc), 5, 5);
        RunCommandByName("iconview1", "BitBtn23");
        ExpectBlockAt(Format(doc), 2, 2);
        EXPECT_EQ(Format(doc).pixel(5, 5), 0u) << byToolChange;
    }
}

TEST_F(Selection, FloatingPixelsRepaintedInPartsShowAsWhenRepaintedWhole)
{
    Tnewiconview* doc = NewProject(1);
    PaintBlock(doc);
    TImage32* canvas = doc->iconview;
    ASSERT_TRUE(canvas->PartialRepaint());
    canvas->grab();
    Drag(doc, 2, 2, 3, 3);
    ExpectPartsRepaintedAsWhole(canvas, "selected");
    Press(doc, 3, 3);
    ExpectPartsRepaintedAsWhole(canvas, "lifted");
    Move(doc, 5, 6);
    ExpectPartsRepaintedAsWhole(canvas, "moved");
    Move(doc, 9, 4);
    Release(doc, 9, 4);
    ExpectPartsRepaintedAsWhole(canvas, "moved again");
    Click(doc, 0, 20);
    ExpectPartsRepaintedAsWhole(canvas, "dropped");
}
