#pragma once

// What the small dialogs of the main window share: the main window's skin, and a title bar that
// only closes (and, where the dialog has help, opens help).

class TForm;

// Gives the dialog's skin components ("suiFileTheme1", "suiThemeManager1") the main window's
// skin file and style.
void TakeMainWindowSkin(TForm& dialog);
// Hides the minimise and maximise buttons of the dialog's "suiForm1" title bar and, with help,
// adds the help button once.
void KeepDialogTitleButtons(TForm& dialog, bool help);
