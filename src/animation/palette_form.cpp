#include "animation/palette_form.h"

#include "animation/animation_skin.h"
#include "document/command_dialog.h"
#include "controls/controls_classes.h"
#include "controls/draw_grid.h"
#include "framework/beep.h"
#include "framework/canvas.h"
#include "framework/graphics.h"
#include "framework/palette.h"
#include "framework/panel.h"

#include <algorithm>
#include <cstring>

TPaletteForm::TPaletteForm(QWidget* owner) : TForm(owner)
{
    RegisterAnimationClasses();
    std::memset(table_, 128, sizeof(table_));
    LoadDefinition(QStringLiteral(":/animation/palette_form.wdf"));
    if (auto* grid = FindPart<TRxDrawGrid>(this, QStringLiteral("ColorGrid")))
        grid->OnDrawCell = [this](TObject* s, int c, int r, TRect rect, TGridDrawState st) { ColorGridDrawCell(s, c, r, rect, st); };
}

int TPaletteForm::Columns() const { return count_ > 16 ? 16 : 8; }

int TPaletteForm::Rows() const
{
    if (count_ <= 16)
        return 2;
    return count_ / 16 + (count_ % 16 > 0 ? 1 : 0);
}

int TPaletteForm::CellSize() const { return count_ > 16 ? 18 : 31; }

void TPaletteForm::LoadPalette(const std::vector<uint32_t>& palette)
{
    count_ = int(std::min<size_t>(palette.size(), 256));
    std::memset(table_, 128, sizeof(table_));
    for (int i = 0; i < count_; ++i) {
        table_[i][0] = uint8_t(palette[size_t(i)] >> 16);
        table_[i][1] = uint8_t(palette[size_t(i)] >> 8);
        table_[i][2] = uint8_t(palette[size_t(i)]);
        table_[i][3] = 0;
    }
    loaded_ = true;
    auto* grid = FindPart<TRxDrawGrid>(this, QStringLiteral("ColorGrid"));
    auto* gridPanel = FindPart<TPanel>(this, QStringLiteral("GridPanel"));
    auto* rightPanel = FindPart<TPanel>(this, QStringLiteral("RightPanel"));
    if (!grid || !gridPanel || !rightPanel)
        return;
    grid->SetColCount(Columns());
    grid->SetRowCount(Rows());
    grid->SetDefaultColWidth(CellSize());
    grid->SetDefaultRowHeight(CellSize());
    const int border = gridPanel->BorderWidth();
    SetClientWidth(grid->Width() - grid->ClientWidth() + Columns() * CellSize() + 2 * border + rightPanel->Width());
    SetClientHeight(grid->Height() - grid->ClientHeight() + Rows() * CellSize() + 2 * border);
    grid->Invalidate();
}

void TPaletteForm::FindColorCell(TColor color, int& row, int& col) const
{
    row = col = -1;
    if (count_ == 0)
        return;
    const TColor rgb = ColorToRGB(color);
    TPaletteEntries entries;
    entries.reserve(size_t(count_));
    for (int i = 0; i < count_; ++i)
        entries.push_back(qRgb(table_[i][0], table_[i][1], table_[i][2]));
    const int index = NearestColorIndex(entries, qRgb(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF));
    if (index < count_) {
        row = index / Columns();
        col = index % Columns();
    }
}

TColor TPaletteForm::CellColor(int row, int col) const
{
    const int index = row * Columns() + col;
    if (index < 0 || index > 255)
        return TColor(0x808080);
    return TColor(table_[index][0] | (table_[index][1] << 8) | (table_[index][2] << 16));
}

void TPaletteForm::FormCreate(TObject*)
{
    if (auto* grid = FindPart<TRxDrawGrid>(this, QStringLiteral("ColorGrid"))) {
        grid->Canvas()->Brush()->SetStyle(bsSolid);
        grid->Canvas()->Pen()->SetColor(clBlack);
    }
}

void TPaletteForm::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void TPaletteForm::ColorGridDrawCell(TObject*, int ACol, int ARow, TRect Rect, TGridDrawState State)
{
    DrawColorCell(ARow, ACol, Rect, State.testFlag(gdFocused));
}

void TPaletteForm::DrawColorCell(int row, int col, TRect rect, bool focused)
{
    auto* grid = FindPart<TRxDrawGrid>(this, QStringLiteral("ColorGrid"));
    if (!grid)
        return;
    TCanvas* canvas = grid->Canvas();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clBtnFace);
    canvas->FillRect(rect);
    InflateRect(rect, -1, -1);
    Frame3D(canvas, rect, clBtnShadow, clBtnHighlight, 2);
    canvas->Brush()->SetColor(CellColor(row, col));
    canvas->FillRect(rect);
    if (focused) {
        canvas->Brush()->SetColor(Color());
        canvas->Pen()->SetColor(Color());
        InflateRect(rect, -1, -1);
        canvas->DrawFocusRect(rect);
    }
}

TColor PickPaletteColor(const std::vector<uint32_t>* palette, TColor color)
{
    if (!palette || palette->empty()) {
        MessageBeep(0);
        return color;
    }
    TPaletteForm form;
    form.LoadPalette(*palette);
    int row = -1, col = -1;
    form.FindColorCell(color, row, col);
    auto* grid = FindPart<TRxDrawGrid>(&form, QStringLiteral("ColorGrid"));
    if (grid && row >= 0 && col >= 0) {
        grid->SetRow(row);
        grid->SetCol(col);
    }
    if (grid)
        form.SetActiveControl(grid);
    if (form.ShowModal() == mrOk && grid)
        return form.CellColor(grid->Row(), grid->Col());
    return color;
}
