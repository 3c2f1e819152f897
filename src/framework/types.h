#pragma once

// Plain value types shared by every layer of the framework: rectangles and points with the
// classic Left/Top/Right/Bottom fields (Right and Bottom exclusive), sizes and the framework colour.

#include <cstdint>

// Framework colour 0x00BBGGRR; a value with the top byte 0xFF names a system colour.
using TColor = uint32_t;

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    TPoint TopLeft() const { return {Left, Top}; }
    TPoint BottomRight() const { return {Right, Bottom}; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(int x, int y) { return {x, y}; }
inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }

inline bool IsRectEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
inline bool PtInRect(const TRect& r, const TPoint& p)
{
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}
// Intersection of two rectangles; returns false (and an all-zero rectangle) when they do not meet.
bool IntersectRect(TRect& dst, const TRect& a, const TRect& b);
// Smallest rectangle holding both; an empty operand does not count.
bool UnionRect(TRect& dst, const TRect& a, const TRect& b);
void OffsetRect(TRect& r, int dx, int dy);
void InflateRect(TRect& r, int dx, int dy);
