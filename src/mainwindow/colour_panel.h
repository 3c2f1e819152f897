#pragma once

// The colour panel's rules that stand apart from its controls: which image kinds hold a palette,
// the colour such a format can hold, the six-digit colour text and the swatch picture.

#include <QRgb>
#include <QString>
#include <cstdint>
#include <vector>

class QImage;
class TImage32;
class Ticonmain;

// "256", "16" and "Mono": kinds whose pixels come from a colour table.
bool IsPaletteKind(const QString& kind);

// The colour of the kind's table nearest to rgb (alpha dropped); other kinds keep rgb. A format
// opened from a file brings its own table (ownTable, when not empty); otherwise the kind's fixed
// table serves. Every reduction of a picked colour goes through here, so the colours offered are
// those the format is saved with.
QRgb ReduceToFormatPalette(const QString& kind, QRgb rgb, const std::vector<QRgb>* ownTable = nullptr);

// Red, green and blue as six upper-case hexadecimal digits, red first.
QString HtmlColorText(int red, int green, int blue);

// The colour-value text: trimmed, exactly six characters, read as three hexadecimal pairs.
// Returns false, setting nothing, for any other length; raises the framework's conversion error
// when six characters are not all hexadecimal.
bool ParseHtmlColor(const QString& text, int& red, int& green, int& blue);

// A swatch: the transparency pattern tiled from the top-left corner, the ARGB colour blended
// over all but its last row and column.
void PaintSwatch(TImage32* swatch, const QImage& pattern, uint32_t argb);

// Gives the panels of the main window their pictures and lets a click anywhere in the read-only
// colour-value box reach the box's own click.
void PreparePanels(Ticonmain& main);
