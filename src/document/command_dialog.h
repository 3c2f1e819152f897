#pragma once

// What the small dialogs share: the main window's skin when they are made or shown, a title bar
// that only closes (and opens help where there is help), the click on a control of the active
// document, the checkerboard under their previews and the drawing colours of the main window.

#include "framework/types.h"

#include <QString>
#include <cstdint>

class TBitmap32;
class TForm;
class Tnewiconview;

// A dialog kept for the program's life is never its main form, whenever it is made: closing it
// must not end the program.
void KeepAsSecondaryWindow(TForm& form);

// Hides the minimise and maximise buttons of the dialog's "suiForm1" title bar and, with help,
// adds the help button once.
void KeepDialogTitleButtons(TForm& dialog, bool help);

// The skin file and style of the main window on the dialog's own skin components.
void TakeMainWindowSkin(TForm& form);

// The document window named active on the main window, when it is a document.
Tnewiconview* ActiveDocument();

// Clicks the named control of the active document; nothing happens (false) when the document or
// the control is missing or the control has no click handler.
bool ClickActiveDocument(const QString& control);

// Fills the area with the checkerboard tile of the canvas, the tile's origin at (0, 0).
void FillWithTile(TBitmap32& bitmap, const TRect& area);

// The primary ("up") or secondary ("down") colour from the main window's hidden edits as ARGB;
// a text that is no number raises the conversion error.
uint32_t EditorColor(const QString& prefix);
