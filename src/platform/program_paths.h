#pragma once

// Where the program's files live on Linux. The system names its files relative to the program's
// folder, Windows-style ("data\rozazuvidodiro.ini", "UndoTemp\", "\suk\msn.sui") and a few on
// fixed drives ("c:\ttt.bmp"); every such name is turned into a real path here.
//
// Folders returned by these functions end with "/", as the program folder of the original ends
// with its separator, so "folder + name" concatenation works unchanged.

#include <QString>

// The executable's folder, with a trailing "/".
QString ProgramFolder();
// The executable's full path.
QString ProgramFileName();
// Points the program folder elsewhere (tests, tools); an empty text goes back to the executable's.
// forceReadOnly makes the folder count as read-only whatever its permissions say.
void SetProgramFolder(const QString& folder, bool forceReadOnly = false);
bool ProgramFolderWritable();

// Per-user folder for what the program writes when its own folder is read-only:
// $XDG_DATA_HOME/brelnova-studio/.
QString UserDataFolder();
// Per-user folder for settings files: $XDG_CONFIG_HOME/brelnova-studio/.
QString UserConfigFolder();

// A file of the installation, named relative to the program folder in either spelling. When the
// program folder is read-only and the user has a copy of the file in the per-user data folder,
// that copy is the one meant.
QString ProgramPath(const QString& relative);
// A file or folder (trailing separator) the program writes, relative to the program folder. In a
// read-only installation it lives under UserDataFolder() in the same layout: its folders are
// created there and an installed file of that name is copied there first, so the user's copy
// starts from the shipped one.
QString WritablePath(const QString& relative);

// The one conversion for paths the system spells Windows-style:
// - "x:\..." (any drive letter) goes under DriveFolder(x);
// - a relative name ("data\a.ini") and one with a single leading separator ("\suk\msn.sui") are
//   relative to the program folder (as ProgramPath);
// - a Linux absolute path stays, with backslashes turned into "/" unless the path exists as it is;
// - "\\server\share\..." keeps its form with "/" separators.
// Doubled separators collapse; a trailing separator is kept.
QString LocalPath(const QString& path);

// The per-user folder standing for a drive letter: UserDataFolder() + "drives/c/". Created on
// first use.
QString DriveFolder(QChar drive);

// The Windows folder: where profile files named without a folder land. The per-user settings
// folder, UserConfigFolder(), created when missing.
QString WindowsFolder();
// The System folder: the system's shared libraries, "/usr/lib/".
QString SystemFolder();
// The user's desktop folder (XDG desktop directory), without a trailing separator, as the shell
// folder value of the registry holds it.
QString DesktopFolder();
