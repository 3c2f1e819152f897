#include "skin/controls/draw_grid.h"

#include "framework/canvas.h"
#include "framework/forms.h"
#include "skin/controls/scroll_bar.h"
#include "skin/file_theme.h"
#include "skin/skin_builder_testing.h"
#include "skin/skin_testing.h"

#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

struct GridForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    TsuiDrawGrid* grid;
    explicit GridForm(TsuiUIStyle style = DeepBlue)
    {
        form->SetBounds(0, 0, 500, 400);
        grid = new TsuiDrawGrid(form.get());
        grid->SetParent(form.get());
        grid->SetBounds(20, 20, 300, 200);
        grid->SetUIStyle(style);
    }
    TsuiScrollBar* NewBar()
    {
        auto* b = new TsuiScrollBar(form.get());
        b->SetParent(form.get());
        return b;
    }
};

QRgb Rgb(TColor c) { return ColorToArgb(c) & 0xFFFFFF; }

} // namespace

TEST(SuiDrawGrid, ThemeColoursInEveryStyle)
{
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        GridForm f(style);
        TsuiDrawGrid* g = f.grid;
        EXPECT_EQ(g->BorderColor(), GetBuiltinThemeColor(style, ThemeItem::ControlBorderColor));
        EXPECT_EQ(g->FixedColor(), GetBuiltinThemeColor(style, ThemeItem::MenuSelectedBackgroundColor));
        EXPECT_EQ(g->Color(), GetBuiltinThemeColor(style, ThemeItem::ControlBackgroundColor));
        EXPECT_EQ(g->FixedFontColor(), GetBuiltinThemeColor(style, ThemeItem::MenuSelectedFontColor));
        EXPECT_EQ(g->FontColor(), GetBuiltinThemeColor(style, ThemeItem::MenuFontColor));
        const QImage shot = Shot(g);
        EXPECT_EQ(Px(shot, 0, 0), Rgb(g->BorderColor())) << int(style);
        EXPECT_EQ(Px(shot, 1, 5), Rgb(g->Color())) << int(style);
        // A fixed cell in the fixed colour.
        const TRect fixed = g->CellRect(0, 1);
        EXPECT_EQ(Px(shot, fixed.Left + 5, fixed.Top + 5), Rgb(g->FixedColor())) << int(style);
    }

    // A skin whose menu font is white gives black text.
    QTemporaryDir dir;
    const QString path = dir.filePath("white.sui");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(SkinBuilder().AddInt("MenuFontColor", 0xFFFFFF).AddInt("ControlBorderColor", 0x123456).Build());
    file.close();
    GridForm f(FromThemeFile);
    auto* theme = new TsuiFileTheme(f.form.get());
    theme->SetThemeFile(path);
    f.grid->SetFileTheme(theme);
    EXPECT_EQ(f.grid->BorderColor(), 0x123456u);
    EXPECT_EQ(f.grid->FontColor(), clBlack);
}

TEST(SuiDrawGrid, CellsAreFilledByStateBeforeOnDrawCell)
{
    GridForm f;
    TsuiDrawGrid* g = f.grid;
    g->SetOptions(g->Options() | goRangeSelect);
    ShowActive(f.form.get());
    g->SetFocus();
    QApplication::processEvents();
    // The handler paints the left half of every cell red.
    QList<QPair<int, int>> drawn;
    g->OnDrawCell = [&](TObject*, int col, int row, TRect r, TGridDrawState) {
        drawn << qMakePair(col, row);
        g->Canvas()->Brush()->SetColor(clRed);
        g->Canvas()->FillRect(Rect(r.Left, r.Top, r.Left + r.Width() / 2, r.Bottom));
    };
    g->SetFocusedColor(clGreen);
    g->SetSelectedColor(clYellow);
    g->SetRow(2);
    g->SetCol(2);
    const QImage shot = Shot(g);
    ASSERT_FALSE(drawn.isEmpty());
    const TRect focused = g->CellRect(2, 2);
    EXPECT_EQ(Px(shot, focused.Right - 3, focused.Top + 3), Rgb(clGreen));
    EXPECT_EQ(Px(shot, focused.Left + 3, focused.Top + 3), Rgb(clRed));
    const TRect plain = g->CellRect(3, 3);
    EXPECT_EQ(Px(shot, plain.Right - 3, plain.Top + 3), Rgb(g->Color()));

    // With DefaultDrawing off only the handler paints the cell.
    g->SetDefaultDrawing(false);
    const QImage bare = Shot(g);
    EXPECT_NE(Px(bare, focused.Right - 3, focused.Top + 3), Rgb(clGreen));
}

TEST(SuiDrawGrid, SelectingCellsByMouseAndKeys)
{
    GridForm f;
    TsuiDrawGrid* g = f.grid;
    g->SetRowCount(40);
    g->SetColCount(10);
    bool allow = true;
    QList<QPair<int, int>> asked;
    g->OnSelectCell = [&](TObject*, int c, int r, bool& can) {
        asked << qMakePair(c, r);
        can = allow;
    };
    const TRect r = g->CellRect(3, 2);
    Click(g, {r.Left + 2, r.Top + 2});
    EXPECT_EQ(g->Col(), 3);
    EXPECT_EQ(g->Row(), 2);
    allow = false;
    KeyClick(g, Qt::Key_Down);
    EXPECT_EQ(g->Row(), 2);
    allow = true;
    int topChanges = 0;
    g->OnTopLeftChanged = [&](TObject*) { ++topChanges; };
    for (int i = 0; i < 20; ++i)
        KeyClick(g, Qt::Key_Down);
    EXPECT_EQ(g->Row(), 22);
    // The current row stays in view.
    EXPECT_LE(g->TopRow(), 22);
    EXPECT_GE(g->TopRow() + g->VisibleRowCount(), 23);
    EXPECT_GT(topChanges, 0);
    EXPECT_EQ(g->NativeScrollBar(Qt::Vertical)->value(), g->TopRow());
}

TEST(SuiDrawGrid, AttachedScrollBarsFollowTheGridAndScrollIt)
{
    GridForm f;
    TsuiDrawGrid* g = f.grid;
    g->SetRowCount(60);
    g->SetColCount(20);
    TsuiScrollBar* v = f.NewBar();
    TsuiScrollBar* h = f.NewBar();
    g->SetVScrollBar(v);
    EXPECT_EQ(g->ScrollBars(), ssVertical);
    g->SetHScrollBar(h);
    EXPECT_EQ(g->ScrollBars(), ssBoth);
    EXPECT_EQ(v->Orientation(), suiVertical);
    // Laid over the grid's right and bottom edges, one pixel in, each shortened by the other.
    EXPECT_EQ(v->Left(), 20 + 300 - v->Width() - 1);
    EXPECT_EQ(v->Top(), 21);
    EXPECT_EQ(v->Height(), 200 - h->Height() - 1);
    EXPECT_EQ(h->Top(), 20 + 200 - h->Height() - 1);
    EXPECT_EQ(h->Width(), 300 - v->Width() - 1);

    QScrollBar* nv = g->NativeScrollBar(Qt::Vertical);
    EXPECT_EQ(v->Min(), nv->minimum());
    EXPECT_EQ(v->Max(), nv->maximum());
    EXPECT_GE(v->LineButton(), 18);
    EXPECT_TRUE(v->SliderVisible());
    g->SetTopRow(10);
    EXPECT_EQ(v->Position(), 10);
    // Moving the skinned bar scrolls the grid.
    v->SetPosition(25);
    EXPECT_EQ(g->TopRow(), 25);
    EXPECT_EQ(nv->value(), 25);
    h->SetPosition(4);
    EXPECT_EQ(g->LeftCol(), 4);
    // The horizontal bar steps by three pages of its own.
    EXPECT_EQ(h->SmallChange(), std::max(3 * h->PageSize(), 1));

    // A grid too low for the bar hides it on placement.
    g->SetBounds(20, 20, 300, 10);
    EXPECT_FALSE(h->Visible());
    // Detaching gives the bar back in its plain state.
    g->SetHScrollBar(nullptr);
    EXPECT_EQ(g->ScrollBars(), ssVertical);
    EXPECT_EQ(h->Max(), 100);
    EXPECT_EQ(h->LineButton(), 0);
    delete v;
    EXPECT_EQ(g->VScrollBar(), nullptr);
    EXPECT_EQ(g->ScrollBars(), ssNone);

    // When every row fits the native bar is gone and the skinned one shows no slider.
    TsuiScrollBar* v2 = f.NewBar();
    g->SetBounds(20, 20, 300, 200);
    g->SetRowCount(3);
    g->SetVScrollBar(v2);
    EXPECT_FALSE(v2->SliderVisible());
    EXPECT_FALSE(v2->Enabled());
}
