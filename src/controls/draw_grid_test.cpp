#include "controls/draw_grid.h"

#include "controls/controls_testing.h"
#include "controls/storage/form_placement.h"
#include "controls/storage/placement_store.h"
#include "framework/canvas.h"
#include "framework/ini_file.h"
#include "framework/string_list.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace ControlsTest;

namespace {

void Mouse(QWidget* w, QEvent::Type type, TPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::MouseButtons held = Qt::LeftButton)
{
    const QPointF local(p.X, p.Y);
    QMouseEvent e(type, local, w->mapToGlobal(local), b, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

TPoint Centre(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
QRgb Px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }
QRgb Rgb(TColor c) { return ColorToArgb(c) & 0xFFFFFF; }

struct EditGrid {
    Window w;
    TRxDrawGrid* grid;
    std::map<std::pair<int, int>, QString> cells;
    EditGrid()
    {
        grid = w.Add<TRxDrawGrid>(10, 10, 330, 200);
        grid->SetOptions(grid->Options() | goEditing);
        grid->OnGetEditText = [this](TObject*, int c, int r, QString& v) { v = cells[{c, r}]; };
        grid->OnSetEditText = [this](TObject*, int c, int r, const QString& v) { cells[{c, r}] = v; };
        grid->SetFocus();
        QApplication::processEvents();
    }
    TRxInplaceEdit* Editor() const { return static_cast<TRxInplaceEdit*>(grid->InplaceEditor()); }
    QWidget* EditorKeys() const { return Editor()->focusProxy(); }
};

} // namespace

TEST(RxDrawGrid, NewGridHasItsOwnDefaults)
{
    TRxDrawGrid g;
    EXPECT_EQ(g.DefaultRowHeight(), 18);
    EXPECT_EQ(g.Options(), TGridOptions(goFixedVertLine) | goFixedHorzLine | goVertLine | goHorzLine | goDrawFocusSelected | goColSizing);
    EXPECT_FALSE(g.FixedButtons());
    EXPECT_EQ(g.PressedCell(), (TGridCoord{-1, -1}));
}

TEST(RxDrawGrid, WithoutDefaultDrawingOnlyTheHandlerPaints)
{
    // The palette window's grid: 16 by 16 cells of 15 pixels, no lines, no fixed cells.
    Window w;
    auto* g = w.Add<TRxDrawGrid>(0, 0, 240, 240);
    g->SetBorderWidth(0);
    g->SetScrollBars(ssNone);
    g->SetColCount(16);
    g->SetRowCount(16);
    g->SetFixedCols(0);
    g->SetFixedRows(0);
    g->SetDefaultColWidth(15);
    g->SetDefaultRowHeight(15);
    g->SetGridLineWidth(0);
    g->SetOptions({});
    g->SetDefaultDrawing(false);
    g->OnDrawCell = [g](TObject*, int c, int r, TRect rect, TGridDrawState) {
        g->Canvas()->Brush()->SetColor(TColor(c * 16 + r * 16 * 256));
        g->Canvas()->FillRect(rect);
    };
    g->SetFocus();
    g->SetCol(3);
    g->SetRow(2);
    const QImage shot = g->grab().toImage();
    // Every pixel of the focused cell and of a plain one is the handler's colour: no
    // highlight, edge or focus rectangle.
    for (const TGridCoord cell : {TGridCoord{3, 2}, TGridCoord{0, 0}, TGridCoord{15, 15}}) {
        const TRect r = g->CellRect(cell.X, cell.Y);
        ASSERT_EQ(r.Width(), 15);
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                ASSERT_EQ(Px(shot, x, y), Rgb(TColor(cell.X * 16 + cell.Y * 16 * 256))) << cell.X << "," << cell.Y;
    }
}

TEST(RxDrawGrid, FixedCellsPressLikeButtons)
{
    Window w;
    auto* g = w.Add<TRxDrawGrid>(10, 10, 330, 200);
    g->SetFixedButtons(true);
    TRect drawn;
    g->OnDrawCell = [&](TObject*, int c, int r, TRect rect, TGridDrawState) {
        if (c == 2 && r == 0)
            drawn = rect;
    };
    QList<TGridCoord> clicks;
    g->OnFixedCellClick = [&](TObject*, int c, int r) { clicks << TGridCoord{c, r}; };
    const TRect header = g->CellRect(2, 0);
    const TPoint inside = Centre(header);

    QImage shot = g->grab().toImage();
    EXPECT_EQ(drawn, header);
    EXPECT_EQ(Px(shot, header.Left, header.Top + 3), Rgb(clBtnHighlight)); // raised

    Mouse(g, QEvent::MouseButtonPress, inside);
    EXPECT_TRUE(g->PressedDown());
    shot = g->grab().toImage();
    EXPECT_EQ(Px(shot, header.Left, header.Top + 3), Rgb(cl3DDkShadow)); // sunken
    EXPECT_EQ(drawn.Left, header.Left + 1);                               // content moved by the line
    EXPECT_EQ(drawn.Top, header.Top + 1);

    // Leaving the cell raises it; releasing outside clicks nothing.
    Mouse(g, QEvent::MouseMove, {header.Right + 20, inside.Y}, Qt::NoButton);
    EXPECT_FALSE(g->PressedDown());
    EXPECT_EQ(Px(g->grab().toImage(), header.Left, header.Top + 3), Rgb(clBtnHighlight));
    Mouse(g, QEvent::MouseButtonRelease, {header.Right + 20, inside.Y}, Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(clicks.isEmpty());

    // Pressed and released on it: one click, and the current cell stays.
    Mouse(g, QEvent::MouseButtonPress, inside);
    Mouse(g, QEvent::MouseButtonRelease, inside, Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0], (TGridCoord{2, 0}));
    EXPECT_EQ(g->Col(), 1);
    EXPECT_EQ(g->PressedCell(), (TGridCoord{-1, -1}));

    // A refused button beeps and does nothing else.
    BeepCounter beeps;
    g->OnCheckButton = [](TObject*, int c, int, bool& enabled) { enabled = c != 2; };
    Mouse(g, QEvent::MouseButtonPress, inside);
    EXPECT_FALSE(g->PressedDown());
    Mouse(g, QEvent::MouseButtonRelease, inside, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(beeps.count, 1);
    EXPECT_EQ(clicks.size(), 1);

    // Without FixedButtons a fixed cell is no button.
    g->SetFixedButtons(false);
    Mouse(g, QEvent::MouseButtonPress, Centre(g->CellRect(3, 0)));
    Mouse(g, QEvent::MouseButtonRelease, Centre(g->CellRect(3, 0)), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks.size(), 1);
}

TEST(RxDrawGrid, EscapeCancelsTheEditUnlessTheEditorAlwaysShows)
{
    EditGrid e;
    e.cells[{1, 1}] = "kept";
    int cancels = 0, changes = 0;
    e.grid->OnCancelEdit = [&](TObject*) { ++cancels; };
    e.grid->OnEditChange = [&](TObject*) { ++changes; };
    e.grid->ShowEditor();
    ASSERT_TRUE(e.grid->EditorShowing());
    EXPECT_EQ(changes, 0); // loading the cell is no change
    Type(e.EditorKeys(), "new");
    EXPECT_EQ(changes, 3);
    Key(e.EditorKeys(), Qt::Key_Escape);
    EXPECT_FALSE(e.grid->EditorShowing());
    EXPECT_EQ(e.cells[std::pair(1, 1)], "kept");
    EXPECT_EQ(cancels, 1);

    // Committed by Enter instead, the text is written.
    e.grid->ShowEditor();
    Type(e.EditorKeys(), "new");
    Key(e.EditorKeys(), Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(e.cells[std::pair(1, 1)], "new");

    // With goAlwaysShowEditor Esc takes the framework's way: the editor stays, nothing is
    // cancelled, and every change goes to the cell as it is typed.
    e.grid->SetOptions(e.grid->Options() | goAlwaysShowEditor);
    ASSERT_TRUE(e.grid->EditorShowing());
    Type(e.EditorKeys(), "x");
    EXPECT_EQ(e.cells[std::pair(1, 1)], "x");
    Key(e.EditorKeys(), Qt::Key_Escape);
    EXPECT_TRUE(e.grid->EditorShowing());
    EXPECT_EQ(cancels, 1);

    // OnShowEditor can refuse a cell.
    e.grid->SetOptions(e.grid->Options() & ~TGridOptions(goAlwaysShowEditor));
    e.grid->OnShowEditor = [](TObject*, int c, int, bool& allow) { allow = c != 2; };
    e.grid->SetCol(2);
    e.grid->ShowEditor();
    EXPECT_FALSE(e.grid->EditorShowing());
    EXPECT_FALSE(e.grid->EditorMode());
}

TEST(RxDrawGrid, EditorAlignsItsTextAndClicksItsEllipsisButton)
{
    EditGrid e;
    e.grid->OnGetEditAlign = [](TObject*, int, int, TAlignment& a) { a = taRightJustify; };
    e.grid->OnGetEditStyle = [](TObject*, int, int, TEditStyle& s) { s = esEllipsis; };
    int clicks = 0;
    e.grid->OnEditButtonClick = [&](TObject*) { ++clicks; };
    e.grid->ShowEditor();
    TRxInplaceEdit* ed = e.Editor();
    ASSERT_TRUE(ed);
    EXPECT_EQ(ed->Alignment(), taRightJustify);
    EXPECT_EQ(ed->EditStyle(), esEllipsis);
    const TRect button = ed->ButtonRect();
    EXPECT_EQ(button.Right, ed->Width());
    EXPECT_EQ(button.Width(), ed->ButtonWidth());
    // The text keeps clear of the button.
    EXPECT_LE(ed->focusProxy()->geometry().right(), button.Left - 1);

    // Three black dots in the middle of the button.
    const QImage shot = ed->grab().toImage();
    const int g = std::clamp((ed->ButtonWidth() - 12) / 2, 1, 3);
    const int x = button.Left + (ed->ButtonWidth() - 6 - 2 * g) / 2, y = (ed->ClientHeight() - 2) / 2;
    for (int dot = 0; dot < 3; ++dot)
        EXPECT_EQ(Px(shot, x + dot * (g + 2), y), 0u) << dot;

    // A press released off the button does not click; on it, it does.
    Mouse(ed, QEvent::MouseButtonPress, Centre(button));
    EXPECT_TRUE(ed->ButtonPressed());
    Mouse(ed, QEvent::MouseMove, {2, 2}, Qt::NoButton);
    EXPECT_FALSE(ed->ButtonPressed());
    Mouse(ed, QEvent::MouseButtonRelease, {2, 2}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 0);
    Mouse(ed, QEvent::MouseButtonPress, Centre(button));
    Mouse(ed, QEvent::MouseButtonRelease, Centre(button), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 1);
    // Ctrl+Enter clicks it from the keyboard, and does not end the edit.
    Key(e.EditorKeys(), Qt::Key_Return, Qt::ControlModifier, "\r");
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(e.grid->EditorShowing());
}

TEST(RxDrawGrid, PickListDropsDownSizedByItsItemsAndPicks)
{
    EditGrid e;
    QStringList items = {"Red", "Green", "Blue"};
    e.grid->OnGetEditStyle = [](TObject*, int, int, TEditStyle& s) { s = esPickList; };
    e.grid->OnGetPicklist = [&](TObject*, int, int, TStrings* list) {
        for (const QString& s : items)
            list->Add(s);
    };
    e.cells[{1, 1}] = "Green";
    e.grid->ShowEditor();
    TRxInplaceEdit* ed = e.Editor();
    ASSERT_EQ(ed->EditStyle(), esPickList);
    Key(e.EditorKeys(), Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(ed->ListVisible());
    TPopupListbox* list = ed->ActiveList();
    const int row = list->ListWidget()->sizeHintForRow(0);
    EXPECT_EQ(list->Height(), 3 * row + 4);
    EXPECT_EQ(list->Width(), ed->Width());
    EXPECT_EQ(list->ItemIndex(), 1); // the editor's text
    EXPECT_FALSE(list->ListWidget()->verticalScrollBar()->isVisible());
    EXPECT_EQ(list->mapToGlobal(QPoint(0, 0)), ed->mapToGlobal(QPoint(0, ed->Height())));
    EXPECT_TRUE(e.EditorKeys()->hasFocus());
    // Keys go to the open list; Enter closes it and takes the item.
    Key(e.EditorKeys(), Qt::Key_Down);
    EXPECT_EQ(list->ItemIndex(), 2);
    Key(e.EditorKeys(), Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_FALSE(ed->ListVisible());
    EXPECT_EQ(ed->Text(), "Blue");
    EXPECT_TRUE(e.grid->EditorShowing());
    // Esc closes without taking.
    Key(e.EditorKeys(), Qt::Key_Down, Qt::AltModifier);
    Key(e.EditorKeys(), Qt::Key_Up);
    Key(e.EditorKeys(), Qt::Key_Escape);
    EXPECT_FALSE(ed->ListVisible());
    EXPECT_EQ(ed->Text(), "Blue");

    // Twelve items: eight rows shown and a scroll bar's width more.
    items.clear();
    for (int i = 0; i < 12; ++i)
        items << QStringLiteral("Item %1").arg(i);
    Mouse(ed, QEvent::MouseButtonPress, Centre(ed->ButtonRect()));
    ASSERT_TRUE(ed->ListVisible());
    Mouse(ed, QEvent::MouseButtonRelease, Centre(ed->ButtonRect()), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(list->Height(), 8 * row + 4);
    EXPECT_EQ(list->Width(), ed->Width() + ed->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    // A release over the list picks the item under it.
    const QRect third = list->ListWidget()->visualItemRect(list->ListWidget()->item(3));
    QWidget* viewport = list->ListWidget()->viewport();
    Mouse(viewport, QEvent::MouseButtonPress, {third.center().x(), third.center().y()});
    Mouse(viewport, QEvent::MouseButtonRelease, {third.center().x(), third.center().y()}, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(ed->ListVisible());
    EXPECT_EQ(ed->Text(), "Item 3");
}

TEST(RxDrawGrid, PickListSearchesWhatWasTypedLately)
{
    EditGrid e;
    e.grid->OnGetEditStyle = [](TObject*, int, int, TEditStyle& s) { s = esPickList; };
    e.grid->OnGetPicklist = [](TObject*, int, int, TStrings* list) {
        for (const char* s : {"apple", "banana", "berry", "blueberry", "cherry"})
            list->Add(s);
    };
    e.grid->ShowEditor();
    Key(e.EditorKeys(), Qt::Key_Down, Qt::AltModifier);
    TPopupListbox* list = e.Editor()->ActiveList();
    qint64 now = 100000;
    list->Clock = [&] { return now; };
    Key(e.EditorKeys(), Qt::Key_B, Qt::NoModifier, "b");
    EXPECT_EQ(list->ItemIndex(), 1);
    now += 500;
    Key(e.EditorKeys(), Qt::Key_L, Qt::NoModifier, "l");
    EXPECT_EQ(list->ItemIndex(), 3);
    EXPECT_EQ(list->SearchText(), "bl");
    now += 4001;
    Key(e.EditorKeys(), Qt::Key_C, Qt::NoModifier, "c");
    EXPECT_EQ(list->SearchText(), "c");
    EXPECT_EQ(list->ItemIndex(), 4);
}

TEST(RxDrawGrid, ColumnWidthsAreKeptWithThePlacement)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("grid.ini");
    Window w;
    auto* placement = new TFormPlacement(w.form.get());
    placement->SetIniFileName(ini);
    auto* g = w.Add<TRxDrawGrid>(10, 10, 330, 200);
    g->setObjectName("ColorGrid");
    g->SetColCount(4);
    g->SetIniStorage(placement);
    EXPECT_EQ(g->IniStorage(), placement);
    placement->RestoreFromStore();
    g->SetColWidths(0, 20);
    g->SetColWidths(3, 90);
    placement->SaveToStore();

    const QString section = DefaultStorageSection(g);
    {
        TIniFile file(ini);
        TStringList keys;
        file.ReadSection(section, &keys);
        EXPECT_EQ(keys.ToStringList(), QStringList({"Item0", "Item1", "Item2", "Item3"}));
        EXPECT_EQ(file.ReadInteger(section, "Item3", 0), 90);
        // A missing key keeps the column's width.
        file.DeleteKey(section, "Item1");
        file.UpdateFile();
    }
    g->SetColWidths(0, 64);
    g->SetColWidths(1, 33);
    g->SetColWidths(3, 64);
    placement->RestoreFromStore();
    EXPECT_EQ(g->ColWidths(0), 20);
    EXPECT_EQ(g->ColWidths(1), 33);
    EXPECT_EQ(g->ColWidths(3), 90);

    // A grid without a name keeps nothing.
    g->setObjectName(QString());
    g->SetColWidths(3, 50);
    placement->SaveToStore();
    placement->RestoreFromStore();
    EXPECT_EQ(g->ColWidths(3), 50);
}
