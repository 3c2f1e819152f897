#pragma once

// Every file handed to the editor arrives here: File > Open (and File > Import), the recent
// items of the File menu, the "Recently Used:" combo, files dropped on the main window, the
// command line and the disk search. The extension decides what the file becomes: an icon
// project, a cursor or animated cursor opened as a project, an icon library split into its
// icons, a multi-frame viewer, or a picture for the import window.

#include <QString>
#include <QStringList>

class TFileHost;

enum class TOpenRoad { Icon, Cursor, AnimatedCursor, IconLibrary, Viewer, Conversion, ImportWindow };

// The road of a file by its extension, compared without regard to case.
TOpenRoad OpenRoadOf(const QString& fileName);

// File > Open (ToolButton2Click): the open dialog, then the file chosen.
void OpenCommand(TFileHost& host);
// Opens the file named by the open dialog's file name (OpenFileByName).
void OpenFileByName(TFileHost& host);
// The dropped-files message: the first file of the drop, by name.
void OpenDroppedFiles(TFileHost& host, const QStringList& files);

// The label of a recent item: the path, or for a path of more than 30 characters its first 20,
// "...", a separator and its file name.
QString RecentItemLabel(const QString& path);
// Fills the combo's list with the open history and the recent items 1..10 with its last ten
// entries, oldest first (once, at start-up).
void FillRecentFiles(TFileHost& host);
// Recent item k (1..10) clicked.
void OpenRecentItem(TFileHost& host, int k);
// The combo: a key went down (13 is Enter), or an entry was chosen.
void RecentComboKeyDown(TFileHost& host, int key);
void RecentComboSelect(TFileHost& host);
