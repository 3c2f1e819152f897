#pragma once

// The whole program's start: every class a window definition names, the hooks between the
// subsystems' windows, the main window with its template document, and the commands that open
// the builders, the import, search and capture windows, the settings windows and the web window.
// The program's entry runs this and then the message loop; tests that drive the program as a
// user meets it start it the same way.

#include <QStringList>

// Runs once per process; the classes and hooks stay installed for any later start.
void InstallProgramClassesAndHooks();

// InstallProgramClassesAndHooks, then the start-up of the main window and the bindings of its
// commands to the other subsystems' windows. arguments excludes the program's name.
void StartWholeProgram(const QStringList& arguments);
