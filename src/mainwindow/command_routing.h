#pragma once

// How the main window's commands reach the active document: the document window named by the
// editor state's ActiveDocumentName is looked up afresh for every control, the control by its
// component name (any letter case), and its click handler run. A command whose work is not part
// of the program yet says so through one message, naming the command.

#include <QString>

class QObject;
class TEditorState;
class TForm;

// The window named ActiveDocumentName, or null when none of that name exists.
TForm* ActiveDocumentWindow(const TEditorState& state);

// Runs control of the active document, putting argument (when given) into CommandArgument just
// before the click. Without the window nothing happens. A control that is missing or has no
// click handler is reported as not available yet under the name `what`; with `what` empty it is
// skipped silently (steps inside a larger command). Returns whether the click ran.
bool RunDocumentCommand(TEditorState& state, const QString& control, const QString& what = QString(),
                        const QString* argument = nullptr);

// The one message of a command whose work is not part of the program yet.
void ReportNotAvailable(const QString& what);

// What a menu item or button calls itself in messages: its caption without accelerator marks
// and trailing dots, or a tool button's hint.
QString CommandDisplayName(QObject* sender);
