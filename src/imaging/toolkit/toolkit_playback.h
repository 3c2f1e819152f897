#pragma once

// Playback of animations in the imaging toolkit: the pages of an animation are put one by one on a
// canvas bitmap of the animation's screen size, each at its offset, over what the earlier pages
// left there according to their disposal, and each is shown for its delay.
//
// A playback is a handle (0 is none). It is made over a canvas and either a bitmap list (all pages
// there) or nothing (pages are appended while a file loads, their rows validated as they arrive).
// The caller drives it: TK_ProcessPlayback does one step and answers a state; the caller paints,
// times the delays and calls again. Pages keep sharing their pixels with the records they came
// from; the canvas's pixels are written in place, so every record of the canvas shows the frame.
//
// Where a page lies on the screen, how long it shows and what becomes of it afterwards travel with
// its pixels: TK_SetBitmapFrameInfo tags a bitmap, and every record sharing those pixels (list
// items, copies of the record) reads the tag back with TK_GetBitmapFrameInfo.

#include "imaging/toolkit/toolkit_library.h"

#include <QString>

#include <cstdint>
#include <vector>

// What becomes of a page when the next one is shown.
enum : int32_t {
    TKFD_Unspecified = 0, // left as it is
    TKFD_Keep = 1,        // left as it is
    TKFD_Background = 2,  // its rectangle goes back to the background
    TKFD_Previous = 3,    // its rectangle goes back to what was there before it
};

struct TKFrameInfo {
    int32_t Left = 0; // offset on the animation's screen
    int32_t Top = 0;
    int32_t Delay = 0; // milliseconds the page shows
    int32_t Disposal = TKFD_Unspecified;
};

// Frame information of the pages of the file from page firstPage (from 1) onward, in page order,
// as the file gives it; formats without timing give none. Returns 1, or the code of a file that
// cannot be read.
int TK_ReadFrameInfo(const QString& name, int32_t firstPage, std::vector<TKFrameInfo>& frames);

// Tags the pixels of bitmap with info; a record without pixels is refused.
int TK_SetBitmapFrameInfo(const TKBitmap* bitmap, const TKFrameInfo* info);
// The tag of the bitmap's pixels: 1 and the tag, or 0 and the defaults (no offset, no delay,
// unspecified disposal) when the pixels carry none.
int TK_GetBitmapFrameInfo(const TKBitmap* bitmap, TKFrameInfo* info);

// A canvas for an animation: width x height at 32 bits, every pixel the background colour
// (0x00BBGGRR) fully transparent, so that the control's background shows where no page has drawn;
// its transparent colour is the background colour.
int TK_CreatePlaybackCanvas(TKBitmap* canvas, int32_t width, int32_t height, uint32_t background);

using TKPlayback = uint32_t;

// States TK_ProcessPlayback answers.
enum : int32_t {
    TKPS_NeedPages = 0, // the next page has not arrived (or not all of its rows): call again later
    TKPS_Paint = 4,     // a page has just been put on the canvas: paint the canvas, then call again
    TKPS_Waiting = 5,   // the page shown waits for its delay; TK_CancelPlaybackWait ends the wait
    TKPS_Shown = 6,     // the page on the canvas has been painted; it now shows for its delay
    TKPS_Ended = 10,    // every page has been shown; calling again starts over from the first page
};

// Makes a playback over canvas (32 bits; its pixels are drawn on in place) and the items of list,
// or, with list 0, over no pages yet (TK_AppendPlaybackPage adds them). It starts at page 0.
int TK_CreatePlayback(const TKBitmap* canvas, TKBitmapList list, TKPlayback* playback);
// Adds a page that is still arriving; its rows count as there once TK_ValidatePlaybackRows says
// so. info 0 takes the page's tag.
int TK_AppendPlaybackPage(TKPlayback playback, const TKBitmap* page, const TKFrameInfo* info);
// Rows firstRow .. firstRow + rowCount - 1 of the last page appended have arrived.
int TK_ValidatePlaybackRows(TKPlayback playback, int32_t firstRow, int32_t rowCount);
// One step; *state gets one of the TKPS_ states.
int TK_ProcessPlayback(TKPlayback playback, int32_t* state);
// The state the last step answered (TKPS_NeedPages before the first).
int TK_GetPlaybackState(TKPlayback playback, int32_t* state);
int TK_CancelPlaybackWait(TKPlayback playback);
// The delay of the page shown, in milliseconds.
int TK_GetPlaybackDelay(TKPlayback playback, int32_t* milliseconds);
// The page on the canvas, or the page to come when none has been shown yet.
int TK_GetPlaybackIndex(TKPlayback playback, int32_t* index);
// Makes page `index` the next to show: the canvas is drawn again from the background with the
// pages before it, so that the page shows over what it would show over in a run from the start.
int TK_SetPlaybackIndex(TKPlayback playback, int32_t index);
// Ends the playback. With list given, *list gets a new bitmap list holding its pages in order,
// each tagged with its frame information (0 when the playback had no pages).
int TK_DestroyPlayback(TKPlayback playback, TKBitmapList* list);
