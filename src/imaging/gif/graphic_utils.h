#pragma once

// Small routines the controls share: integers and rectangles, raw memory, text, the system's
// version text, the nested wait cursor and message helpers.

#include "framework/exceptions.h"
#include "framework/types.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class QObject;
class TBitmap;
class TCanvas;

// The silent abort: ends an operation without a message.
BRELNOVA_EXCEPTION(EAbort, Exception)

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
// Removes the first pending posted event of that type (0: of any type) for the receiver (null: for
// any receiver); the others of that type stay queued in their order, behind the events posted
// before the call. A quit request that happens to be removed is posted again. GUI thread only.
void DiscardPendingMessage(QObject* receiver, int eventType);
// Shows "Function not yet implemented" and ends the current operation with a silent abort.
[[noreturn]] void ShowNotImplemented();
// How ShowNotImplemented shows its message; a message box unless replaced (tests replace it).
extern std::function<void(const QString& text)> ShowInformationMessage;

// The colour with system colours resolved, marked palette-relative.
TColor ToPaletteRGB(TColor color);
// Entries of a colour table.
int GetPaletteSize(const std::vector<uint32_t>& palette);

// Shortens text with "..." until it fits width on the canvas.
QString FitTextWithEllipsis(const QString& text, TCanvas* canvas, int width);

// Stretches the source rectangle of the bitmap onto the canvas, leaving out the pixels of the key
// colour (clNone: none; clDefault: the colour of the bottom-left pixel). A width or height below 1
// takes the bitmap's.
void DrawBitmapTransparent(TCanvas* canvas, int x, int y, int width, int height, TBitmap* bitmap,
                           int srcX, int srcY, int srcWidth, int srcHeight, TColor keyColor);
void DrawBitmapRectTransparent(TCanvas* canvas, int x, int y, int width, int height, const TRect& source,
                               TBitmap* bitmap, TColor keyColor);
// A disabled-looking copy: the shape of the pixels not of the background colour in the shadow
// colour, with its highlight one pixel right and down, on the face colour. The caller frees it.
TBitmap* MakeDisabledBitmapEx(TBitmap* bitmap, TColor backColor, TColor faceColor, bool highlight,
                              TColor shadowColor, TColor highlightColor);
TBitmap* MakeDisabledBitmap(TBitmap* bitmap, TColor backColor);
// Draws count nested one-pixel focus rectangles on the screen, each one pixel inside the one
// before, the first on the edge of rect (screen coordinates); drawing the same frame again takes
// it away. The frame is a window of its own over everything, since the screen cannot be drawn on
// by inversion here.
void DrawScreenFocusFrame(const TRect& rect, int count);

// Screen cursors of the program: a hand and a drag cursor, added at start-up.
inline constexpr int CursorHand = 14000;
inline constexpr int CursorDrag = 14001;
// The private clipboard format of icons.
extern uint32_t CF_ICON;
// Adds the two cursors and registers the icon clipboard format; done once at start-up.
void RegisterGraphicUtilities();
