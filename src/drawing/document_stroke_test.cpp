// Strokes on a document window from press to release, through its canvas's mouse events, with
// this library's engines installed.

#include "document/canvas_mouse.h"
#include "document/newiconview.h"
#include "document/testing_editor_state.h"
#include "drawing/drawing_engines.h"
#include "framework/palette.h"
#include "imaging/bitmap/image32.h"
#include "platform/program_paths.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class DocumentStroke : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(dir.path());
        QDir(dir.path()).mkpath("image/16color");
        QImage pattern(4, 4, QImage::Format_RGB32);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                pattern.setPixel(x, y, (x + y) % 2 ? 0xFF000080 : 0xFFFFFF00);
        pattern.save(dir.filePath("image/16color/17.bmp"), "BMP");
        templ = std::make_unique<Tnewiconview>();
        SetDrawingEngines(DrawingEngines());
    }
    void TearDown() override
    {
        doc.reset();
        templ.reset();
        SetDrawingEngines(TDrawingEngines());
        SetProgramFolder(QString());
    }
    Tnewiconview* NewProject(const QString& kind = "XP", int size = 32)
    {
        state.NewImageWidth = size;
        state.NewImageHeight = size;
        state.NewImageKind = kind;
        doc = std::make_unique<Tnewiconview>();
        doc->setObjectName("iconview1");
        AttachCanvasMouse(doc.get());
        return doc.get();
    }
    void Mouse(QEvent::Type type, int cx, int cy, Qt::MouseButton button, Qt::MouseButtons held)
    {
        const int z = doc->Zoom;
        const QPointF p(cx * z + z / 2, cy * z + z / 2);
        QMouseEvent e(type, p, doc->iconview->mapToGlobal(p), button, held, Qt::NoModifier);
        QApplication::sendEvent(doc->iconview, &e);
    }
    void Stroke(const std::vector<QPoint>& cells)
    {
        Mouse(QEvent::MouseButtonPress, cells[0].x(), cells[0].y(), Qt::LeftButton, Qt::LeftButton);
        for (size_t i = 1; i < cells.size(); ++i)
            Mouse(QEvent::MouseMove, cells[i].x(), cells[i].y(), Qt::NoButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, cells.back().x(), cells.back().y(), Qt::LeftButton, Qt::NoButton);
    }
    QRgb Pixel(int x, int y) const { return GdipImageData(doc->CurrentImage())->pixel(x, y); }
    QRgb CanvasCell(int x, int y) const
    {
        const int z = doc->Zoom;
        return doc->iconview->Bitmap()->PixelAddress(x * z + z / 2, y * z + z / 2)[0] | 0xFF000000u;
    }
    void SetPrimary(int a, int r, int g, int b)
    {
        state.Edits["upa"] = QString::number(a);
        state.Edits["upr"] = QString::number(r);
        state.Edits["upg"] = QString::number(g);
        state.Edits["upb"] = QString::number(b);
    }

    QTemporaryDir dir;
    TTestingEditorState state;
    std::unique_ptr<Tnewiconview> templ;
    std::unique_ptr<Tnewiconview> doc;
};

} // namespace

TEST_F(DocumentStroke, LinePreviewsOnTheCanvasCommitsAtTheReleaseAndUndoesInOneStep)
{
    NewProject("16.8M");
    state.CurrentTool = 2;
    SetPrimary(255, 0, 160, 0);
    Mouse(QEvent::MouseButtonPress, 2, 2, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, 12, 2, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(CanvasCell(7, 2), 0xFF00A000u);
    EXPECT_EQ(Pixel(7, 2), 0u) << "a preview leaves the format";
    Mouse(QEvent::MouseMove, 12, 20, Qt::NoButton, Qt::LeftButton);
    EXPECT_NE(CanvasCell(7, 2), 0xFF00A000u) << "the earlier preview is gone";
    Mouse(QEvent::MouseButtonRelease, 12, 20, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Pixel(2, 2), 0xFF00A000u);
    EXPECT_EQ(Pixel(12, 20), 0xFF00A000u);
    EXPECT_EQ(CanvasCell(12, 20), 0xFF00A000u);
    EXPECT_EQ(doc->FormatTable.UndoStateCount(1), 2);

    doc->UndoStep();
    EXPECT_EQ(Pixel(2, 2), 0u);
    EXPECT_EQ(Pixel(12, 20), 0u);
}

TEST_F(DocumentStroke, BrushAndPencilDrawIntoTheFormatDuringTheDrag)
{
    for (int tool : {4, 12}) {
        NewProject("XP");
        state.CurrentTool = tool;
        state.PenWidth = 3;
        SetPrimary(255, 200, 0, 0);
        Mouse(QEvent::MouseButtonPress, 3, 3, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseMove, 20, 9, Qt::NoButton, Qt::LeftButton);
        EXPECT_EQ(Pixel(12, 6) >> 24, 255u) << tool;
        EXPECT_EQ(doc->DragStartX, 20) << tool;
        Mouse(QEvent::MouseMove, 25, 25, Qt::NoButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, 25, 25, Qt::LeftButton, Qt::NoButton);
        bool partial = false;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                partial |= qAlpha(Pixel(x, y)) != 0 && qAlpha(Pixel(x, y)) != 255;
        EXPECT_EQ(partial, tool == 4) << "only the brush antialiases";
        EXPECT_EQ(Pixel(25, 25), 0xFFC80000u);
        EXPECT_EQ(doc->FormatTable.UndoStateCount(1), 2) << "one step for the whole stroke";
    }
}

TEST_F(DocumentStroke, PencilOnASixteenColourFormatEndsOpaqueOrTransparent)
{
    NewProject("16", 16);
    state.CurrentTool = 12;
    state.PenWidth = 3;
    SetPrimary(128, 255, 0, 0);
    Stroke({{1, 1}, {8, 12}, {14, 3}});
    const TPaletteEntries& sixteen = StandardPalette16();
    int painted = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb c = Pixel(x, y);
            ASSERT_TRUE(qAlpha(c) == 0 || qAlpha(c) == 255) << x << "," << y;
            if (qAlpha(c) == 255) {
                ++painted;
                EXPECT_NE(std::find(sixteen.begin(), sixteen.end(), c & 0xFFFFFF), sixteen.end());
            }
        }
    EXPECT_GT(painted, 20);
}

TEST_F(DocumentStroke, ErasingStrokeTakesAlphaAndUndoGivesItBack)
{
    NewProject("XP", 16);
    GdipImageData(doc->CurrentImage())->fill(0xFF336699);
    state.CurrentTool = 12;
    SetPrimary(0, 0, 0, 0);
    GdipImageData(doc->CurrentImage())->setPixel(3, 3, 0x00A0B0C0); // transparent before the stroke
    Stroke({{1, 8}, {8, 8}, {14, 8}});
    // Every segment keeps the colour channels it erased, the earlier ones too.
    EXPECT_EQ(Pixel(4, 8), 0x00336699u);
    EXPECT_EQ(Pixel(12, 8), 0x00336699u);
    EXPECT_EQ(Pixel(7, 7), 0xFF336699u);
    EXPECT_EQ(Pixel(3, 3), 0x00A0B0C0u);
    EXPECT_EQ(state.Edits["upa"], "0");
    doc->UndoStep();
    EXPECT_EQ(Pixel(4, 8), 0xFF336699u);
}

TEST_F(DocumentStroke, BucketFillsWithThePairOfTheButtonJustPressed)
{
    NewProject("XP", 16);
    SetPrimary(255, 0, 160, 0);
    for (const char* e : {"downa", "downb"})
        state.Edits[e] = "255";
    state.Edits["downr"] = "0";
    state.Edits["downg"] = "0";
    // A drag with the left button first, then a bucket click with the right one.
    state.CurrentTool = 2;
    Stroke({{0, 8}, {15, 8}});
    state.CurrentTool = 3;
    Mouse(QEvent::MouseButtonPress, 3, 3, Qt::RightButton, Qt::RightButton);
    Mouse(QEvent::MouseButtonRelease, 3, 3, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(Pixel(3, 3), 0xFF0000FFu);
    EXPECT_EQ(Pixel(3, 12), 0u) << "the line bounds the area";
    EXPECT_EQ(CanvasCell(3, 3), 0xFF0000FFu);
    Mouse(QEvent::MouseButtonPress, 3, 12, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, 3, 12, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Pixel(3, 12), 0xFF00A000u);
    EXPECT_EQ(doc->FormatTable.UndoStateCount(1), 4) << "one step per fill";
    doc->UndoStep();
    EXPECT_EQ(Pixel(3, 12), 0u);
    EXPECT_EQ(Pixel(3, 3), 0xFF0000FFu);
}
