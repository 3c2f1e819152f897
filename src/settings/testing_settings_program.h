#pragma once

// The started program with the settings windows bound to the main window's menu. The start-up
// update check is left out: it would reach for the real update service.

#include "mainwindow/iconmain.h"
#include "mainwindow/testing_started_program.h"
#include "settings/settings_windows.h"

class SettingsProgram : public StartedProgram {
protected:
    void SetUp() override
    {
        SetStartupUpdateCheckRunner(nullptr);
        StartedProgram::SetUp();
        InstallSettingsWindows();
        SetStartupUpdateCheckRunner(nullptr);
    }
};
