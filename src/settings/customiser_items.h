#pragma once

// What the customiser's list pages and its icon picker do to the stored icons: Undo, Default and
// Restore all per page, and the picker's writing of a chosen icon by mode.

#include <QString>

namespace CustomiserItems {

enum class Page { StartMenu, Desktop, System, Drives };

QString SectionOf(Page page);
int RowCount(Page page);

// Undo is offered for the row (System Icons rows 1 to 3 never have one).
bool UndoAvailable(Page page, int row);
// Each returns false and does nothing for a row that names no item (nothing selected yet) or
// without an undo for it; each ends with the broadcast the page uses.
bool UndoRow(Page page, int row);
bool DefaultRow(Page page, int row);
void RestoreAll(Page page);

// Modes of the icon picker: what its OK writes and its Default restores.
enum PickerMode {
    ModeStartMenu = 3,
    ModeDesktop = 4,
    ModeSystemClass = 5,
    ModeShellIcon = 6,
    ModeFolder = 830,
    ModeDriveRoot = 830820,
};

struct PickedIcon {
    int Mode = 0;
    Page FromPage = Page::System; // mode 6: the page that opened the picker
    int ShellIconNumber = 0;
    int ItemRow = 0;
    QString File;      // the picker's file box
    int SelectedCell = 0;
    QString FolderBox; // the customiser's Folders box (modes 830 and 830820)
};

// The location text OK writes: file, a comma and the chosen icon's index (0 for an .ico shown in
// mode 3).
QString PickedValue(const PickedIcon& pick);
// Writes the chosen icon to where the item lives, marks the change for Undo and rebuilds the
// icon cache. False with *error when nothing could be written.
bool WritePickedIcon(const PickedIcon& pick, QString* error);
// The picker's Default: modes 3 and 4 return the item to its default; every mode then tells the
// shell.
void PickerDefault(const PickedIcon& pick);

} // namespace CustomiserItems
