#pragma once

// The fixed colour tables that pictures are reduced to, and nearest-colour mapping onto them.
// Colours in these tables are 0x00RRGGBB (QRgb without alpha), the order of a QImage colour
// table; a BMP colour table stores the same entries as blue, green, red, 0.

#include <QRgb>
#include <cstdint>
#include <unordered_map>
#include <vector>

using TPaletteEntries = std::vector<QRgb>;

// Black and white: the table of 1-bit pictures.
const TPaletteEntries& MonochromePalette();
// The 16 standard colours: black, maroon, green, olive, navy, purple, teal, grey, silver, red,
// lime, yellow, blue, fuchsia, aqua, white (indices 0..15).
const TPaletteEntries& StandardPalette16();
// The 256-colour halftone table used for every 8-bit reduction (bitmaps, icons, strokes):
//   0..9     black, maroon, green, olive, navy, purple, teal, silver, money green (192,220,192),
//            sky blue (166,202,240);
//   10..225  the 6x6x6 colour cube, levels 0, 51, 102, 153, 204, 255, index
//            10 + 36 * red level + 6 * green level + blue level;
//   226..245 twenty greys round(255 * k / 21) for k = 1..20;
//   246..255 cream (255,251,240), medium grey (160,160,164), grey, red, lime, yellow, blue,
//            fuchsia, aqua, white.
// Black and white also occur in the cube; nearest-colour mapping picks the first (0 and 255 are
// reached only through ties won by the lower index, which keeps lookups deterministic).
const TPaletteEntries& HalftonePalette();
// The fixed table for a pixel format with that many bits per pixel (1, 4 or 8).
const TPaletteEntries& FixedPaletteForBits(int bits);

// Index of the entry nearest to the colour by squared distance over red, green and blue; the
// lowest index wins a tie. An empty table gives 0.
int NearestColorIndex(const TPaletteEntries& palette, QRgb color);

// Repeated nearest-colour lookups against one table, remembering colours already seen.
class TColorMapper {
public:
    explicit TColorMapper(const TPaletteEntries& palette);
    int IndexOf(QRgb color);

private:
    const TPaletteEntries& palette_;
    std::unordered_map<uint32_t, uint8_t> cache_;
};
