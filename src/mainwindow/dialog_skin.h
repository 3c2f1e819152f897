#pragma once

// What the small dialogs of the main window share: the main window's skin, and a title bar that
// only closes (and, where the dialog has help, opens help).

// TakeMainWindowSkin: the main window's skin file and style on the dialog's skin components.
#include "document/command_dialog.h"

class TForm;

// Hides the minimise and maximise buttons of the dialog's "suiForm1" title bar and, with help,
// adds the help button once.
void KeepDialogTitleButtons(TForm& dialog, bool help);
