#pragma once

// The small dialogs of the main window share the document dialogs' routines: the main window's
// skin (TakeMainWindowSkin) and a title bar that only closes (KeepDialogTitleButtons).
#include "document/command_dialog.h"
