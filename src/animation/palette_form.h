#pragma once

// The colour-select dialog: one cell per entry of a GIF picture's palette; the user confirms the
// cell whose colour is wanted (the transparent or the background colour of the GIF builder).

#include "framework/forms.h"
#include "framework/grids.h"

#include <cstdint>
#include <vector>

class TPaletteForm : public TForm {
    Q_OBJECT

public:
    explicit TPaletteForm(QWidget* owner = nullptr);

    // Entries as 0x00RRGGBB; more than 256 are cut off. Lays the grid out and sizes the dialog.
    void LoadPalette(const std::vector<uint32_t>& palette);
    int PaletteCount() const { return count_; }
    int Columns() const;
    int Rows() const;
    int CellSize() const;
    // The cell of the palette entry nearest to color (system colours resolved); (-1, -1) when the
    // nearest index lies outside the palette.
    void FindColorCell(TColor color, int& row, int& col) const;
    // The colour of a cell as a TColor; cells beyond the palette are grey (128, 128, 128).
    TColor CellColor(int row, int col) const;

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    void ColorGridDrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    void DrawColorCell(int row, int col, TRect rect, bool focused);

private:
    uint8_t table_[256][4];
    int count_ = 0;
    bool loaded_ = false;
};

// Shows the dialog with the palette and the entry nearest to color current; returns the colour
// of the confirmed cell, or color on Cancel. Without a palette (null): a beep and color back.
TColor PickPaletteColor(const std::vector<uint32_t>* palette, TColor color);
