#pragma once

// Where the Windows shell keeps the icons of its fixed items, of folders and of drive roots, how a
// stored icon location ("file,index") turns into the file and index of the icon shown, and what an
// item gets back when it is set to its default. Everything lives in our registry store and in
// real "Desktop.ini" files; nothing here changes the Linux desktop.

#include <QString>

struct HICON_tag;
using HICON = HICON_tag*;

namespace IconLocations {

inline constexpr const char* kShellIconsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Icons";
inline constexpr const char* kUserClassRoot = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID";
inline constexpr const char* kDrivesKey = "Applications\\explorer.exe\\Drives";

// The Windows folder: the environment variable "Windir" when set, else none (every lookup in it
// then fails and rows draw without icons). Tests set a fixture folder; an empty text goes back
// to the environment.
void SetWindowsDirectory(const QString& folder);
QString GetWindowsDirPlain();
QString GetWindowsDirWithSlash();
// "system32\shell32.dll" of the Windows folder when it exists there, else "system\shell32.dll".
QString ShellLibrary();
// A file named as in the Windows folder; empty without a Windows folder.
QString InWindowsDir(const QString& file);

// The running Windows version's name and code; "Unknown" (0) here unless a test sets another.
void SetWindowsVersionName(const QString& name);
QString WindowsVersionName();
int WindowsVersionCode();

struct ShellRow {
    const char* Caption;
    int Number;
};
struct ClassRow {
    const char* Caption;
    const char* ClassId;
    const char* ValueName;
    const char* FallbackFile;
    int FallbackIndex;
    const char* DefaultData;
};

inline constexpr int kStartMenuRows = 10;
inline constexpr int kDesktopRows = 11;
inline constexpr int kSystemRows = 15;
inline constexpr int kSystemClassRows = 3;
inline constexpr int kDriveRows = 8;

// Rows are numbered from 1; an out-of-range row gives null.
const ShellRow* StartMenuRow(int row);
const ClassRow* DesktopRow(int row);
// System Icons rows 1 to 3 are class rows, 4 to 15 Shell Icons rows.
const ClassRow* SystemClassRow(int row);
const ShellRow* SystemShellRow(int row);
const ShellRow* DriveRow(int row);
QString SystemRowCaption(int row);

// One per-user class item: where its value lives and what its default is.
struct IconItemRecord {
    QString Key;       // path below HKEY_CURRENT_USER
    QString ValueName; // empty for the default value
    QString DefaultData;
    QString IconFile;  // the resolved file of the item's current icon
};
IconItemRecord MakeRecord(const ClassRow& row);

// An item's current icon: the file and index to extract, and whether the item has its own value
// (Customised 2) or shows the shell's (1). Loaded false: the key could not be opened.
struct IconSource {
    bool Loaded = false;
    QString File;
    int Index = 0;
    int Customised = 0;
};

// The file and index a stored location names. False for a text without a comma or whose index is
// not a decimal integer: such a value is shown without an icon and left as it is.
bool ResolveIconValue(const QString& value, bool programFilesRule, QString* file, int* index);

IconSource LoadShellIcon(int number);
IconSource LoadClassIcon(const ClassRow& row);
// Start Menu rows 5 and 7 are shown from a per-user class key when that names an icon.
IconSource LoadStartMenuIcon(int row);
IconSource LoadDesktopIcon(int row);
IconSource LoadSystemIcon(int row);
IconSource LoadDriveIcon(int row);

// The Folders box: "X:\" is a drive root, anything else a folder.
bool IsDriveRoot(const QString& item);
// A folder's path with its trailing separator, so "Desktop.ini" lands inside it.
QString FolderWithSeparator(const QString& folder);
// The icon of a drive root or folder; *folderIconFile receives the folder's "IconFile" ("no" when
// none, empty for a drive root).
IconSource LoadFolderItemIcon(const QString& item, QString* folderIconFile);

// The icon handle of a source; null when nothing could be extracted. The caller destroys it.
HICON ExtractSourceIcon(const IconSource& source);

// Reading and writing the stored values. Shell Icons values live under HKEY_LOCAL_MACHINE, class
// values under HKEY_CURRENT_USER, drive roots under HKEY_CLASSES_ROOT. False when the key cannot
// be opened or written.
QString ReadShellValue(int number);
bool WriteShellValue(int number, const QString& value);
bool DeleteShellValue(int number);
QString ReadClassValue(const IconItemRecord& record);
bool WriteClassValue(const IconItemRecord& record, const QString& value);
bool WriteDriveRootValue(QChar letter, const QString& value);
bool DeleteDriveRoot(QChar letter);

// A folder's "Desktop.ini": the icon lines of section ".ShellClassInfo" are set or removed and
// every other line is kept; a file left with nothing but the empty section is deleted. False (with
// *error) when the file cannot be written.
bool WriteFolderIcon(const QString& folder, const QString& file, int index, QString* error = nullptr);
bool RemoveFolderIcon(const QString& folder, QString* error = nullptr);

} // namespace IconLocations
