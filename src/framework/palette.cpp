#include "framework/palette.h"

#include <cmath>

namespace {

TPaletteEntries BuildHalftone()
{
    TPaletteEntries p;
    p.reserve(256);
    const QRgb low[10] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                          0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0};
    p.insert(p.end(), low, low + 10);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back(qRgb(r * 51, g * 51, b * 51) & 0xFFFFFF);
    for (int k = 1; k <= 20; ++k) {
        const int v = static_cast<int>(std::lround(255.0 * k / 21.0));
        p.push_back(qRgb(v, v, v) & 0xFFFFFF);
    }
    const QRgb high[10] = {0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00,
                           0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    p.insert(p.end(), high, high + 10);
    return p;
}

} // namespace

const TPaletteEntries& MonochromePalette()
{
    static const TPaletteEntries p = {0x000000, 0xFFFFFF};
    return p;
}

const TPaletteEntries& StandardPalette16()
{
    static const TPaletteEntries p = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                      0x008080, 0x808080, 0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00,
                                      0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    return p;
}

const TPaletteEntries& HalftonePalette()
{
    static const TPaletteEntries p = BuildHalftone();
    return p;
}

const TPaletteEntries& FixedPaletteForBits(int bits)
{
    if (bits <= 1)
        return MonochromePalette();
    if (bits <= 4)
        return StandardPalette16();
    return HalftonePalette();
}

int NearestColorIndex(const TPaletteEntries& palette, QRgb color)
{
    const int r = qRed(color), g = qGreen(color), b = qBlue(color);
    int best = 0;
    int bestDistance = 0x7FFFFFFF;
    for (size_t i = 0; i < palette.size(); ++i) {
        const int dr = qRed(palette[i]) - r, dg = qGreen(palette[i]) - g, db = qBlue(palette[i]) - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
            if (d == 0)
                break;
        }
    }
    return best;
}

TColorMapper::TColorMapper(const TPaletteEntries& palette)
    : palette_(palette)
{
}

int TColorMapper::IndexOf(QRgb color)
{
    const uint32_t key = color & 0xFFFFFF;
    auto it = cache_.find(key);
    if (it != cache_.end())
        return it->second;
    const int index = NearestColorIndex(palette_, key);
    cache_.emplace(key, static_cast<uint8_t>(index));
    return index;
}
