#include "animation/palette_form.h"

#include "controls/draw_grid.h"
#include "framework/dialogs.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint32_t> Ramp(int n)
{
    std::vector<uint32_t> p;
    for (int i = 0; i < n; ++i)
        p.push_back(uint32_t(i) << 16 | uint32_t(255 - i) << 8 | 7); // 0x00RRGGBB
    return p;
}

TEST(PaletteDialog, LaysTheGridOutByThePaletteSize)
{
    struct Case {
        int entries, cols, rows, cell;
    } cases[] = {{16, 8, 2, 31}, {256, 16, 16, 18}, {20, 16, 2, 18}, {2, 8, 2, 31}};
    for (const Case& c : cases) {
        TPaletteForm form;
        form.LoadPalette(Ramp(c.entries));
        EXPECT_EQ(form.Columns(), c.cols) << c.entries;
        EXPECT_EQ(form.Rows(), c.rows) << c.entries;
        EXPECT_EQ(form.CellSize(), c.cell) << c.entries;
        auto* grid = qobject_cast<TRxDrawGrid*>(form.FindComponent("ColorGrid"));
        EXPECT_EQ(grid->ColCount(), c.cols);
        EXPECT_EQ(form.ClientWidth(), c.cols * c.cell + 10 + 95) << c.entries;
    }
    // Cells beyond a 20-entry palette are grey.
    TPaletteForm form;
    form.LoadPalette(Ramp(20));
    EXPECT_EQ(form.CellColor(1, 15), TColor(0x808080));
    EXPECT_EQ(form.CellColor(1, 3), TColor(19 | (236 << 8) | (7 << 16)));
}

TEST(PaletteDialog, PicksTheConfirmedCellOrGivesTheColourBack)
{
    const std::vector<uint32_t> palette = Ramp(20);
    const TColor entry17 = TColor(17 | (238 << 8) | (7 << 16));
    int row = -1, col = -1;
    TRxDrawGrid* seenGrid = nullptr;
    int answer = mrOk;
    TDialogAnswererScope scope([&](TDialogRequest& r) {
        if (r.Kind != TDialogRequest::dkForm)
            return false;
        seenGrid = qobject_cast<TRxDrawGrid*>(static_cast<TForm*>(r.Dialog)->FindComponent("ColorGrid"));
        row = seenGrid->Row();
        col = seenGrid->Col();
        if (answer == mrOk) {
            seenGrid->SetRow(1);
            seenGrid->SetCol(15); // a grey cell beyond the palette
        }
        r.Result = answer;
        return true;
    });
    EXPECT_EQ(PickPaletteColor(&palette, entry17), TColor(0x808080));
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 1);
    answer = mrCancel;
    EXPECT_EQ(PickPaletteColor(&palette, entry17), entry17);
    // Without a palette nothing is shown.
    seenGrid = nullptr;
    EXPECT_EQ(PickPaletteColor(nullptr, clRed), clRed);
    EXPECT_EQ(seenGrid, nullptr);
}

} // namespace
