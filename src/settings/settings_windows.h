#pragma once

// Binds the main window's menu items and tool buttons of the settings windows (editing options,
// file associations, live update, skin chooser, Windows-icon customiser) to those windows. Called once at start-up, after the
// main window exists.
void InstallSettingsWindows();
