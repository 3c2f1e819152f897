#pragma once

// Small routines the controls share: integers and rectangles, raw memory, text, the system's
// version text, the nested wait cursor and message helpers.

#include "framework/types.h"

#include <QString>
#include <cstddef>
#include <cstdint>

class QObject;

void SwapIntegers(int& a, int& b);
int MaxInteger(int a, int b);
int MinInteger(int a, int b);
int RectWidth(const TRect& r);
int RectHeight(const TRect& r);
// True also on the right and bottom edges.
bool IsPointWithinBounds(const TPoint& p, const TRect& r);

// A zero-filled block; none for a size of 0 or less. FreeGlobalBlock frees and clears the variable.
void* AllocGlobalBlock(int64_t size);
void FreeGlobalBlock(void*& block);
void* OffsetPointer(void* p, int64_t offset);
void MoveBytes(void* target, const void* source, size_t count);
bool SameBytes(const void* a, const void* b, size_t count);
QString CopyText(const QString& text);

// "Linux" and the kernel release in the layout of the system's version text:
// "Linux major.minor(2 digits).patch(3 digits) rest".
QString FormatWindowsVersion();
// The same layout from a release text such as "6.1.0-18-amd64".
QString FormatKernelVersion(const QString& release);

// Nested wait cursor: the first begin shows it, the matching last end restores the cursor.
void BeginWaitCursor();
void EndWaitCursor();
int WaitCursorNesting();

void PlayMessageBeep();
// True when one of the program's windows is the active window.
bool OwnsActiveWindow();
// Removes one pending posted event of that type for the receiver; a quit request that happens to
// be removed is posted again.
void DiscardPendingMessage(QObject* receiver, int eventType);
// Shows "Function not yet implemented" and ends the current operation with a silent abort.
[[noreturn]] void ShowNotImplemented();
