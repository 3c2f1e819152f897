#pragma once

// The program's start: the command-line scan, the splash picture, the main window with the
// template document, and the working-set timer. The caller then runs the message loop.

#include <QString>
#include <QStringList>

// Argument 1 when any argument contains one of the picture extensions (lower-cased, anywhere in
// the text, as "c:\my.icons\a.txt" does); else empty. arguments excludes the program's name.
QString CommandLineFileToKeep(const QStringList& arguments);

// Runs the start-up up to the message loop: splash shown, application titled, main window and
// template document created and shown, the kept argument stored, splash freed.
void StartProgram(const QStringList& arguments);
