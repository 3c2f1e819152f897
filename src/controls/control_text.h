#pragma once

// Text drawing as the utility controls lay it out: word breaks, alignment, the '&' accelerator
// prefix and measuring, with the flag values the controls were written against. Also the beep the
// controls give when they refuse a key or a step.

#include "framework/controls.h"

#include <QString>
#include <cstdint>
#include <functional>

class QLineEdit;
class QPoint;
class TCanvas;

inline constexpr uint32_t DT_TOP = 0x0000;
inline constexpr uint32_t DT_LEFT = 0x0000;
inline constexpr uint32_t DT_CENTER = 0x0001;
inline constexpr uint32_t DT_RIGHT = 0x0002;
inline constexpr uint32_t DT_VCENTER = 0x0004;
inline constexpr uint32_t DT_BOTTOM = 0x0008;
inline constexpr uint32_t DT_WORDBREAK = 0x0010;
inline constexpr uint32_t DT_SINGLELINE = 0x0020;
inline constexpr uint32_t DT_EXPANDTABS = 0x0040;
inline constexpr uint32_t DT_NOCLIP = 0x0100;
inline constexpr uint32_t DT_CALCRECT = 0x0400;
inline constexpr uint32_t DT_NOPREFIX = 0x0800;

// Draws text in rect with the canvas's font and font colour (no background), or with DT_CALCRECT
// only measures it: rect keeps its top-left corner and takes the size of the text. Vertical
// centring and bottom alignment apply to single-line text only. Returns the height of the text,
// 0 for an empty text.
int DrawText(TCanvas* canvas, const QString& text, TRect& rect, uint32_t flags);

// The character that '&' marks in text ("&&" is a plain '&'), upper-cased; null when none.
QChar AcceleratorOf(const QString& text);

// The default beep (refused keys, steps on a read-only edit). Tests replace it to count beeps.
extern std::function<void()> DefaultBeep;

// Keys that change the text of a line edit without typing a character: deleting, cutting,
// pasting, undoing and the line edit's other editing shortcuts. Copying, selecting and moving
// are not among them. Edits that take no typing refuse these.
bool EditsTextWithoutCharacter(WORD key, TShiftState shift);
// The line edit's context menu with only copying and selecting enabled.
void ShowCopyOnlyContextMenu(QLineEdit* edit, const QPoint& globalPos);
