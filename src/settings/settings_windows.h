#pragma once

// Binds the main window's menu items of the settings windows (editing options, file
// associations, live update, skin chooser) to those windows. Called once at start-up, after the
// main window exists.
void InstallSettingsWindows();
