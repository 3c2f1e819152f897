#pragma once

// Making document windows: the template "newiconview" that lives for the whole run, and project
// windows "iconview" + number. Both are owned by the application and live in the main window's
// client area. A project window made here becomes the active document whenever the frame
// activates it, and when the active one goes, the next one takes its place.

#include <QString>

class TEditorState;
class TForm;

TForm* CreateTemplateDocument();
// After its first showing the template is parked: below the visible area and hidden, so that
// no list of the frame's windows (Tile, Cascade, Ctrl+Tab, the next window) holds it.
void ParkTemplateDocument(TForm* templ);
// A project window with that name and caption (window caption and drawn title), not shown yet.
TForm* CreateDocumentWindow(const QString& name, const QString& caption);

// The last step of making a document active: the project window "iconview" + number comes to
// the front, and the main window shows the active document's caption, zoom, format and undo and
// redo state.
void ActivateDocumentWindow(TEditorState& state, int number);
// The main window's zoom, format, and Undo and Redo state shown again for the active document
// (after work on one of its formats or on a document behind it).
void ShowActiveDocumentState(TEditorState& state);

// Tile (in the frame's tile direction) or Cascade of the user's document windows in the frame's
// client area. The template is none of them: it stays parked where it is, out of sight.
void ArrangeDocumentWindows(TForm& frame, bool tile);
