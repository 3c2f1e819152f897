#pragma once

// Installs the import window, the multi-frame viewer and the main window's file host behind the
// main window's open roads. Called once at start-up.
void InstallImportWindows();
