#pragma once

// The scratch folder "UndoTemp": undo steps and the picture files windows hand each other. It
// lives beside the program (under the per-user data folder when the program's folder is
// read-only), and each running instance works in a subfolder of its own, so that one instance
// emptying its scratch files at shutdown never takes another's undo steps. Every scratch path
// is built here.

#include <QString>
#include <QStringList>

// This instance's scratch folder, with a trailing "/"; created and claimed on first use.
QString ScratchFolder();
// A file or folder in this instance's scratch folder. The name may use either separator
// ("newicon\", "iconview1/2_5.png").
QString ScratchPath(const QString& name);
// Removes a folder of the scratch folder with everything in it. A link standing in its place is
// removed itself; no link is ever followed.
void RemoveScratchSubfolder(const QString& path);
// Removes the subfolders of instances that no longer run (at start-up).
void RemoveStaleScratchFolders();
// Deletes every file in this instance's scratch folder and its subfolders, leaving the folders.
// Returns the files that could not be deleted.
QStringList EmptyScratchFolder();
