#pragma once

// The program's one key hook. Every key press of the program passes it once, before the focused
// control. A key that a menu item of the main window declares as its shortcut runs that item;
// otherwise the keyboard map below runs the command of the key: tool letters, arrows, function
// keys and a second set of Ctrl combinations. So a key served by both runs once. Keys typed into
// a text field (edits, spin edits, editable combo boxes) stay with the field: the map never acts
// there, and a Ctrl key the field edits with (Ctrl+Z, Ctrl+C, ...) goes to the field alone.
// The menu and the map serve the main window and its documents only, and only while no modal
// window is open: every other window (a dialog, a builder, a question) keeps its own keys.
// The hook is installed when the main window is made and stays for the rest of the program;
// windows coming and going never remove it.

#include <cstdint>
#include <vector>

class QKeyEvent;
class QWidget;

class TKeyboardDispatch {
public:
    enum TCondition {
        kcNone,
        kcDocument, // the active document window exists
        kcOverlay,  // the active document's selection overlay is visible
    };
    // A row of the keyboard map: the key (framework virtual-key code), whether Ctrl alone must
    // be held (otherwise neither Ctrl nor Alt may be), the condition, and the main window's
    // component whose click runs: a menu item (only while enabled), a tool button or a palette
    // picture.
    struct TKeyRow {
        uint16_t Key;
        bool CtrlAlone;
        TCondition Condition;
        const char* Component;
    };
    static const std::vector<TKeyRow>& KeyMap();

    // Installs the hook (once) and puts it ahead of every other key hook of the program.
    static void Install();
    // One key press for target; true when the key was used up here.
    static bool HandleKey(QWidget* target, QKeyEvent* e);
};
