#pragma once

// How the main window's commands reach the active document: the document window named by the
// editor state's ActiveDocumentName is looked up afresh for every control, the control by its
// component name (any letter case), and its click handler run.

#include <QString>

class TEditorState;
class TForm;

// The window named ActiveDocumentName, or null when none of that name exists.
TForm* ActiveDocumentWindow(const TEditorState& state);

// The active document window when it is a project; null when none is active or the template
// document is, which only stands behind the projects and holds no picture of the user's.
TForm* ActiveProjectWindow(const TEditorState& state);

// Runs control of the active document, putting argument (when given) into CommandArgument just
// before the click. Without the window, the control or its click handler nothing happens and
// nothing is said: a document that has no part for a command simply does not take it. Returns
// whether the click ran.
bool RunDocumentCommand(TEditorState& state, const QString& control, const QString* argument = nullptr);
