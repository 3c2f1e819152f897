#include "framework/grids.h"

#include "framework/forms.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

struct GridWindow {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    TDrawGrid* grid;
    std::map<std::pair<int, int>, QString> cells;
    GridWindow()
    {
        form->SetBounds(0, 0, 500, 400);
        grid = new TDrawGrid(form.get());
        grid->SetParent(form.get());
        grid->SetBounds(10, 10, 300, 200);
        grid->OnGetEditText = [this](TObject*, int c, int r, QString& v) { v = cells[{c, r}]; };
        grid->OnSetEditText = [this](TObject*, int c, int r, const QString& v) { cells[{c, r}] = v; };
        form->show();
        form->activateWindow();
        QApplication::setActiveWindow(form.get());
        grid->SetFocus();
        QApplication::processEvents();
    }
};

void Mouse(QWidget* w, QEvent::Type type, TPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::MouseButtons held = Qt::LeftButton)
{
    const QPointF local(p.X, p.Y);
    QMouseEvent e(type, local, w->mapToGlobal(local), b, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Key(QWidget* w, int key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
}

QWidget* FocusTarget(TControl* c) { return c->focusProxy() ? c->focusProxy() : c; }

} // namespace

TEST(Grid, CellGeometryFollowsColumnWidthsRowHeightsAndScrolling)
{
    GridWindow w;
    TDrawGrid* g = w.grid;
    g->SetScrollBars(ssNone);
    g->SetBorderWidth(0);
    g->SetColCount(6);
    g->SetRowCount(30);
    g->SetDefaultColWidth(40);
    g->SetDefaultRowHeight(20);
    g->SetColWidths(2, 70);
    // Fixed column 0, then 1 and 2 (each followed by its one-pixel line).
    EXPECT_EQ(g->CellRect(0, 0), Rect(0, 0, 40, 20));
    EXPECT_EQ(g->CellRect(2, 1), Rect(82, 21, 152, 41));
    int col = -1, row = -1;
    ASSERT_TRUE(g->MouseToCell(100, 30, col, row));
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 1);
    // The line after a cell belongs to it.
    ASSERT_TRUE(g->MouseToCell(152, 41, col, row));
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(g->MouseCoord(299, 5).X, -1); // past the last column

    // 200 pixels: the fixed row and 8 whole rows of 21.
    EXPECT_EQ(g->VisibleRowCount(), 8);
    g->SetRow(20);
    EXPECT_EQ(g->TopRow(), 13);
    EXPECT_TRUE(g->CellRect(1, 12).Width() == 0);
    EXPECT_EQ(g->CellRect(1, 13).Top, 21);
    EXPECT_EQ(g->CellRect(1, 20).Bottom, 21 + 8 * 21 - 1);
    // The last rows can be scrolled to but not past.
    g->SetTopRow(100);
    EXPECT_EQ(g->TopRow(), 22);
    // Scroll bars appear when cells are out of view and take the cell area with them.
    g->SetScrollBars(ssBoth);
    EXPECT_FALSE(g->NativeScrollBar(Qt::Vertical)->isHidden());
    EXPECT_EQ(g->CellArea().Right, 300 - g->NativeScrollBar(Qt::Vertical)->width());
    EXPECT_EQ(g->NativeScrollBar(Qt::Vertical)->value(), g->TopRow());
}

TEST(Grid, ColumnLineDraggedInTheFixedRowSizesTheColumn)
{
    GridWindow w;
    TDrawGrid* g = w.grid;
    g->SetBorderWidth(0);
    g->SetOptions(g->Options() | goColSizing);
    const int edge = g->CellRect(1, 0).Right; // the line after column 1
    Mouse(g, QEvent::MouseButtonPress, {edge, 5});
    EXPECT_EQ(g->GridState(), gsColSizing);
    Mouse(g, QEvent::MouseMove, {edge + 30, 5}, Qt::NoButton);
    Mouse(g, QEvent::MouseButtonRelease, {edge + 30, 5}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(g->ColWidths(1), 64 + 30);
    EXPECT_EQ(g->GridState(), gsNormal);
    // The same line in a cell below the headings only selects.
    const TRect cell = g->CellRect(2, 2);
    Mouse(g, QEvent::MouseButtonPress, {cell.Left + 3, cell.Top + 3});
    Mouse(g, QEvent::MouseButtonRelease, {cell.Left + 3, cell.Top + 3}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(g->ColWidths(1), 94);
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 2);
}

TEST(Grid, TypingEditsTheCellAndMovingOnWritesItBack)
{
    GridWindow w;
    TDrawGrid* g = w.grid;
    w.cells[{1, 1}] = "old";
    w.cells[{1, 2}] = "below";
    g->SetOptions(g->Options() | goEditing);
    // A typed letter starts editing and replaces the text.
    Key(g, Qt::Key_X, "x");
    ASSERT_TRUE(g->EditorShowing());
    TInplaceEdit* ed = g->InplaceEditor();
    EXPECT_EQ(ed->Text(), "x");
    EXPECT_EQ(ed->BoundsRect(), g->CellRect(1, 1));
    Key(FocusTarget(ed), Qt::Key_Y, "y");
    // Down goes to the grid: the text is written and the editor follows to the next row.
    Key(FocusTarget(ed), Qt::Key_Down);
    EXPECT_EQ(w.cells[std::pair(1, 1)], "xy");
    EXPECT_EQ(g->Row(), 2);
    ASSERT_TRUE(g->EditorShowing());
    EXPECT_EQ(ed->Text(), "below");
    EXPECT_EQ(ed->BoundsRect(), g->CellRect(1, 2));
    // Enter ends editing and writes the cell; F2 starts it again.
    ed->SetText("changed");
    Key(FocusTarget(ed), Qt::Key_Return, "\r");
    EXPECT_FALSE(g->EditorShowing());
    EXPECT_EQ(w.cells[std::pair(1, 2)], "changed");
    EXPECT_FALSE(g->EditorMode());
    Key(g, Qt::Key_F2);
    EXPECT_TRUE(g->EditorShowing());
    EXPECT_EQ(ed->Text(), "changed");

    // With goAlwaysShowEditor the editor stays on the current cell.
    g->SetOptions(g->Options() | goAlwaysShowEditor);
    EXPECT_TRUE(g->EditorShowing());
    g->SetCol(3);
    EXPECT_TRUE(g->EditorShowing());
    EXPECT_EQ(ed->BoundsRect(), g->CellRect(3, 2));
}

TEST(Grid, ShiftExtendsTheSelectionAndRowSelectTakesWholeRows)
{
    GridWindow w;
    TDrawGrid* g = w.grid;
    g->SetRowCount(10);
    Key(g, Qt::Key_Down, {}, Qt::ShiftModifier);
    Key(g, Qt::Key_Right, {}, Qt::ShiftModifier);
    EXPECT_EQ(g->Selection(), (TGridRect{1, 1, 2, 2}));
    Key(g, Qt::Key_Down);
    EXPECT_EQ(g->Selection(), (TGridRect{2, 3, 2, 3}));
    g->SetOptions(g->Options() | goRowSelect);
    g->SetRow(5);
    EXPECT_EQ(g->Selection(), (TGridRect{1, 5, 4, 5}));
    // A refused cell keeps the current one.
    g->OnSelectCell = [](TObject*, int, int r, bool& can) { can = r != 6; };
    Key(g, Qt::Key_Down);
    EXPECT_EQ(g->Row(), 5);
}
