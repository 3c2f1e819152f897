#pragma once

// The imaging toolkit's pan window, magnifier and screen capture, on Qt.
//
// Pan window: a small top-level window of its own that shows the whole picture of a control
// scaled to fit, with the part the control shows framed. Dragging the frame (or clicking beside
// it, which centres the frame there) asks the control to show that part: the callback gets kind 1
// with the frame's top-left corner in pixels of the picture as shown. The callback also hears of
// the window's creation (kind 0, inside TK_CreatePanWindow) and of its end (kind 2: the user
// closed it, or TK_DestroyPanWindow ran); after kind 2 the handle is gone.
//
// Magnifier: a glass over a control's window that follows the mouse and shows the picture under
// it enlarged. It is a child widget of the window that lets every mouse event through to it.
//
// Screen capture: pixels of the screen into a toolkit bitmap, and a rectangle outline drawn over
// a window (where other systems draw an inverted frame) that is taken away again by handle.

#include "framework/exceptions.h"
#include "imaging/toolkit/toolkit_codes.h"

#include <QString>

#include <cstdint>

class QImage;
class QWidget;

// A rectangle as the toolkit takes it: corner and size.
struct TKRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    friend bool operator==(const TKRect&, const TKRect&) = default;
};

// ---- Pan window ------------------------------------------------------------------------------

// Flags of the pan window and paint flags of the magnifier. On a true-colour screen only the
// scaling bits change the picture (resample and bicubic scale smoothly, normal takes the nearest
// pixel); the dither, bitonal and palette bits are kept.
enum : uint32_t {
    TKPW_Ordered = 0x1,          // ordered dither (else diffusion)
    TKPW_ScaleToGray = 0x10,
    TKPW_FavorBlack = 0x40,
    TKPW_PaletteFixed = 0x80,
    TKPW_PaletteNetscape = 0x100,
    TKPW_Resample = 0x200,
    TKPW_Bicubic = 0x400,
    TKPW_SmoothMask = 0x600,
    TKPW_NewFrame = 0x10000000,  // an update brings a new frame rectangle, frame colour and title
};

using TKPanWindow = QWidget*;
// kind 0 created, 1 the user moved the frame to (x, y), 2 destroyed. The answer is not used.
using TKPanWinCallback = int (*)(TKPanWindow window, int32_t kind, int32_t x, int32_t y, void* userData);

// Creates and shows the pan window of `owner` (whose client area is what the frame stands for)
// at (x, y) on the screen with the given outer size. className names the kind of window (its Qt
// object name); icon may be null or an empty image; cursor is a framework cursor number (0 the
// arrow) shown over the picture; without sysMenu the window has no close button. The callback
// hears kind 0 before this returns. Returns 1, or TK_ErrParameter without an owner, a bitmap or a
// window to return.
int TK_CreatePanWindow(QWidget* owner, const TKBitmap* bitmap, uint32_t flags, int32_t x, int32_t y, int32_t width,
                       int32_t height, const QString& className, const QImage* icon, int32_t cursor, bool sysMenu,
                       TKPanWinCallback callback, void* userData, TKPanWindow* window);
// The picture and the frame. frame is where the whole picture lies in the owner's client
// coordinates (so the owner's client rectangle is the part shown). With TKPW_NewFrame the frame,
// its colour (0x00BBGGRR) and the title are taken; without it only the picture and the flags.
// Returns TK_ErrParameter for an unknown window, TK_ErrBitmapHandle for a bitmap without pixels.
int TK_UpdatePanWindow(TKPanWindow window, const TKBitmap* bitmap, uint32_t flags, const TKRect& frame,
                       uint32_t frameColor, const QString& title);
// Places the window (outer size) on the screen.
int TK_MovePanWindow(TKPanWindow window, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint);
// The window's outer rectangle on the screen; false for an unknown window.
bool TK_PanWindowRect(TKPanWindow window, TKRect* rect);
bool TK_IsPanWindowVisible(TKPanWindow window);
void TK_HidePanWindow(TKPanWindow window);
// Closes the window: the callback hears kind 2 and the handle is gone.
int TK_DestroyPanWindow(TKPanWindow window);
// The frame as the pan window draws it, in its picture's pixels as shown (for tests and
// descendants); false for an unknown window.
bool TK_PanWindowFrame(TKPanWindow window, TKRect* frame);
// What a drag of the frame to (x, y) in the pan window's client coordinates does: the frame's
// new top-left corner goes to the callback as kind 1. For tests: a real drag does the same.
int TK_DragPanWindowFrame(TKPanWindow window, int32_t x, int32_t y);

// ---- Magnifier -------------------------------------------------------------------------------

// The magnifier's options, 68 bytes. A1 to A11 are the eleven values of the control's
// StartMagGlass, in its order:
//   A1  width of the glass in screen pixels (0 or less: 120, at most 1024)
//   A2  height of the glass (0 or less: 120, at most 1024)
//   A3  magnification in percent of the picture as the control shows it (below 100: 200, at most 3200)
//   A4  border width in pixels (0 none, at most 16)
//   A5  border colour, 0x00BBGGRR
//   A6  (-1 or 0) an elliptic glass instead of a rectangular one
//   A7  offset of the glass's centre from the mouse, in pixels, right and down
//   A8  (-1 or 0) the glass shows only while the left button is held
//   A9  colour of the cross hair, 0x00BBGGRR
//   A10 (-1 or 0) the glass keeps inside the destination rectangle
//   A11 (-1 or 0) a cross hair marks the pixel under the mouse
// Cursor is a framework cursor number shown over the destination (0: the window's own); Flags 2
// leaves the cursor to the window's owner; the mask is reserved (0).
struct TKMagOptions {
    uint32_t StructSize = sizeof(TKMagOptions);
    int32_t A1 = 0, A2 = 0, A3 = 0, A4 = 0;
    int32_t Cursor = 0;
    int32_t A5 = 0, A6 = 0, A7 = 0, A8 = 0;
    uint32_t PaintFlags = 0; // TKPW_* scaling bits
    uint32_t Mask = 0;
    uint32_t MaskSize = 0;
    uint32_t Flags = 0;
    int32_t A9 = 0, A10 = 0, A11 = 0;
};
static_assert(sizeof(TKMagOptions) == 68, "the magnifier options are 68 bytes");

enum : uint32_t {
    TKMF_OwnerCursor = 2,
};

// Called as the glass moves: kind 0 the glass shows bitmap pixel (x, y), 1 the left button went
// down there, 2 the glass left the picture. The toolkit passes (kind, y, x). An answer other than
// 1 ends the calls.
using TKMagCallback = int (*)(int32_t kind, int32_t y, int32_t x, void* userData);

// Starts a magnifier on window over `bitmap` drawn at dest (window client coordinates). The
// bitmap record is kept (its pixels are shared). Returns TK_ErrParameter for a missing window or
// options of another size, TK_ErrBitmapHandle for a bitmap without pixels, TK_ErrNotSupported when
// the window already has one.
int TK_StartMagnifier(QWidget* window, const TKBitmap* bitmap, const TKRect& dest, const TKMagOptions* options,
                      TKMagCallback callback, void* userData);
// Stops the window's magnifier; TK_ErrParameter when it has none.
int TK_StopMagnifier(QWidget* window);
bool TK_IsMagnifierOn(QWidget* window);
int TK_UpdateMagnifier(QWidget* window, const TKRect& dest, uint32_t paintFlags);
// A value the magnifier keeps for its painting; its bits are reserved.
int TK_SetMagnifierPaintOptions(QWidget* window, int32_t options);
// Shows the glass as for the mouse at (x, y) in window client coordinates and paints it into an
// image of the glass's size (for tests and descendants); a null image without a magnifier or
// when (x, y) is outside the destination.
QImage TK_MagnifierGlassAt(QWidget* window, int32_t x, int32_t y);

// ---- Screen ----------------------------------------------------------------------------------

// The screen's pixels inside rect (screen coordinates) as a new 24-bit bitmap. Parts beyond the
// screens are black. TK_ErrWidthHeight for an empty rectangle, TK_ErrNotSupported when the
// platform gives no screen pixels.
int TK_CaptureScreenRect(const TKRect& rect, TKBitmap* bitmap);
// The outline of rect (screen coordinates) drawn over window in colour, one pixel wide; returns a
// handle for TK_RemoveScreenFrame, or null without a window.
QWidget* TK_DrawScreenFrame(QWidget* window, const TKRect& rect, uint32_t color);
void TK_RemoveScreenFrame(QWidget* frame);
