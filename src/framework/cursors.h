#pragma once

// The framework's screen cursors: cursor numbers, the cursor table that maps them to shapes, and
// the application's current cursor. Numbers above 0 are the application's own cursors, added
// with SetCursorShape.

#include <QString>
#include <cstdint>

class QCursor;

using TCursor = int;

inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSize = -22;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

// The shape of a cursor number; an unknown number gives the arrow.
QCursor CursorShape(TCursor cursor);
// Adds or replaces the shape of a cursor number (the screen's Cursors[n] := ...).
void SetCursorShape(TCursor cursor, const QCursor& shape);
bool HasCursorShape(TCursor cursor);
// The cursor name for messages and stored settings ("crHandPoint"), or the number as text.
QString CursorToString(TCursor cursor);
// Parses a cursor name or number; false when it is neither.
bool StringToCursor(const QString& text, TCursor& cursor);

// Shows a cursor over the whole application (crDefault gives every window its own cursor back).
void SetApplicationCursor(TCursor cursor);
TCursor ApplicationCursor();
