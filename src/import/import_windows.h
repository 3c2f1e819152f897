#pragma once

#include <QString>

// Installs the import window, the multi-frame viewer and the main window's file host behind the
// main window's open roads. Called once at start-up.
void InstallImportWindows();

class Tloadimagedorv;
// A new import window, 682 by 461 at (50, 50), showing the picture with that source code.
Tloadimagedorv* OpenImportWindow(const QString& path, int sourceCode);
// The GIF builder's frame to edit, in a new import window as above with its icon grid of six
// rows hidden.
void EditGifFrame(const QString& bitmapFile);

class Ticonmain;
// Binds the main window's disk search and capture commands (tool buttons and menu items) to the
// windows that do them.
void InstallImportCommands(Ticonmain* main);
// A new disk search window over the document area (at (-4, -2), the template document's size) in
// the main window's skin and style, shown.
void ShowDiskSearch();
