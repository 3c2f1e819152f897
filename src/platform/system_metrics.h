#pragma once

// System metrics: the fixed sizes the window system reports. Icon and cursor sizes are those of a
// desktop at normal resolution; the screen size comes from the primary screen when a GUI
// application runs.

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;

// The value of a metric; 0 for one this layer does not know.
int GetSystemMetrics(int nIndex);
