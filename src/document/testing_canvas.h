#pragma once

// For tests of the document's canvas: its buffer as a partial repaint left it against a repaint
// of everything, over the part of the buffer the canvas shows.

#include "imaging/bitmap/image32.h"

#include <gtest/gtest.h>

#include <vector>

// Paints what is pending, compares with a whole repaint, then paints whole once more so that the
// next change is repainted in parts again.
inline void ExpectPartsRepaintedAsWhole(TImage32* canvas, const char* step)
{
    SCOPED_TRACE(step);
    canvas->grab();
    const TBitmap32* b = canvas->Buffer();
    std::vector<TColor32> part;
    for (int y = 0; y < canvas->Height(); ++y)
        part.insert(part.end(), b->PixelAddress(0, y), b->PixelAddress(canvas->Width(), y));
    canvas->SetPartialRepaint(false);
    canvas->Invalidate();
    canvas->grab();
    for (int y = 0, i = 0; y < canvas->Height(); ++y)
        for (int x = 0; x < canvas->Width(); ++x, ++i)
            ASSERT_EQ(part[size_t(i)], *b->PixelAddress(x, y)) << x << "," << y;
    canvas->SetPartialRepaint(true);
    canvas->Invalidate();
    canvas->grab();
}
