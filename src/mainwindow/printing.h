#pragma once

// Printing the current image: the heading and the enlarged picture on one page.

#include "framework/types.h"

// Where "Print..." puts a picture of w by h pixels, in printer device units: from (1200, 1600),
// about 5.08 units per pixel.
TRect PrintPictureRect(int w, int h);
