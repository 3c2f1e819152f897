#pragma once

// The paint bucket: fills the area of the pressed cell's colour (as the format shows over white)
// with the current fill, replacing the area's pixels, alpha included.

#include <cstdint>
#include <vector>

struct TDrawingTarget;

void BucketFill(TDrawingTarget& t);

// The cells connected to (x, y) through edge neighbours of exactly the colour of (x, y), as a
// mask of width * height bytes (1 inside the area); all zero when (x, y) lies outside. Scanline
// runs on an explicit stack: no recursion, whatever the area's shape.
std::vector<uint8_t> FloodArea(const std::vector<uint32_t>& cells, int width, int height, int x, int y);
