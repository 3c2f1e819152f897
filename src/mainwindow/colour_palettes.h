#pragma once

// The palettes above the colour panel: the rules of a pick and of a scroll step, apart from the
// controls.

#include <QString>

// The pattern cell under (x, y): cells of 12 pixels, 8 to a row, numbered from 1; 0 when the
// point lies in no cell of the row (left of it or beyond its eighth column) or above the first.
int PatternNumberAt(int x, int y);

// One scroll step of a palette picture: its new top, kept between lowest and 0.
int PaletteStepTop(int top, int step, int lowest, bool down);

// One scroll step of the document tab strip: 47 pixels, kept between -288 and 0.
int TabStripStepTop(int top, bool down);
