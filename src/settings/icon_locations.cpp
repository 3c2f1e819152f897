#include "settings/icon_locations.h"

#include "framework/ini_file.h"
#include "framework/sysutils.h"
#include "platform/atomic_file.h"
#include "platform/module.h"
#include "platform/program_paths.h"
#include "platform/registry_store.h"

#include <QFile>
#include <QFileInfo>

namespace IconLocations {

namespace {

QString windowsDirOverride;
QString versionName = QStringLiteral("Unknown");

constexpr ShellRow kStartMenu[kStartMenuRows] = {
    {"Program", 19}, {"Program Group", 36}, {"Document", 20}, {"Set", 21}, {"Search", 22},
    {"Help and support", 23}, {"Run", 24}, {"Logout", 25}, {"Shutdown", 27}, {"Undock(Exit PC)", 26},
};

constexpr ClassRow kDesktop[kDesktopRows] = {
    {"My Computer", "{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "", "explorer.exe", 0, "%SystemRoot%\\explorer.exe,0"},
    {"Network", "{208D2C60-3AEA-1069-A2D7-08002B30309D}", "", "system32\\shell32.dll", 17,
     "%SystemRoot%\\system32\\shell32.dll,17"},
    {"My Document", "{450d8fba-ad25-11d0-98a8-0800361b1103}", "", "SYSTEM32\\mydocs.dll", 0,
     "%SystemRoot%\\SYSTEM32\\mydocs.dll,0"},
    {"Briefcase", "{85BBD920-42A0-1069-A2E4-08002B30309D}", "", "SYSTEM32\\syncui.dll", 0,
     "%SystemRoot%\\system32\\syncui.dll,0"},
    {"Recycle(Empty)", "{645FF040-5081-101B-9F08-00AA002F954E}", "Empty", "system32\\shell32.dll", 31,
     "%SystemRoot%\\system32\\shell32.dll,31"},
    {"Recycle(Filled)", "{645FF040-5081-101B-9F08-00AA002F954E}", "Full", "system32\\shell32.dll", 32,
     "%SystemRoot%\\system32\\shell32.dll,32"},
    {"IE Internet Explore", "{871C5380-42A0-1069-A2EA-08002B30309D}", "", "system32\\shdoclc.dll", -190,
     "%SystemRoot%\\system32\\shdoclc.dll,-190"},
    {"Control Panel", "{21EC2020-3AEA-1069-A2DD-08002B30309D}", "", "system32\\shell32.dll", -137,
     "%SystemRoot%\\System32\\shell32.dll,-137"},
    {"Printer and Fax", "{2227A280-3AEA-1069-A2DE-08002B30309D}", "", "system32\\shell32.dll", -138,
     "%SystemRoot%\\System32\\shell32.dll,-138"},
    {"ActiveX high speedy buffer memory ", "{88C6C381-2E85-11D0-94DE-444553540000}", "", "System32\\occache.dll", 0,
     "%SystemRoot%\\System32\\occache.dll,0"},
    {"Plan Mission", "{D6277990-4C6A-11CF-8D87-00AA0060F5BF}", "", "System32\\mstask.dll", -100,
     "%SystemRoot%\\System32\\mstask.dll,-100"},
};

constexpr ClassRow kSystemClass[kSystemClassRows] = {
    {"Printer and Fax", "{2227A280-3AEA-1069-A2DE-08002B30309D}", "", "system32\\shell32.dll", -138,
     "%SystemRoot%\\System32\\shell32.dll,-138"},
    {"Activex high speedy buffer memory folder", "{88C6C381-2E85-11D0-94DE-444553540000}", "", "System32\\occache.dll",
     0, "%SystemRoot%\\System32\\occache.dll,0"},
    {"Web Folder", "{D6277990-4C6A-11CF-8D87-00AA0060F5BF}", "", "System32\\mstask.dll", -100,
     "%SystemRoot%\\System32\\mstask.dll,-100"},
};

constexpr ShellRow kSystemShell[kSystemRows - kSystemClassRows] = {
    {"Net IE Folder", 43}, {"Shortcut manner attached picture", 29}, {"Share Attached Picture", 28},
    {"Desktop", 34}, {"All Network", 13}, {"Window Network", 14}, {"Workgroup", 18}, {"Workstation", 15},
    {"CD Audio", 40}, {"Dial Network Folder", 33}, {"Close Folder", 3}, {"Open Folder", 4},
};

constexpr ShellRow kDrives[kDriveRows] = {
    {"5.25 Inch Disc", 5}, {"3.5 Inch Disc", 6}, {"Main Disc", 8}, {"Network Hard Disc (Online)", 9},
    {"Network Hard Disc(Offline)", 10}, {"CD-ROM Disc", 11}, {"Move Hard Disc", 7}, {"RAM Disc", 12},
};

struct VersionEntry {
    const char* Name;
    int Code;
};
constexpr VersionEntry kVersions[] = {
    {"Windows 95", 1}, {"Windows 97", 2}, {"Winodws 98", 3}, {"Winodws 98SE", 4}, {"Windows NT3", 5},
    {"Windows NT4", 6}, {"Winodws 2000", 7}, {"Winodws ME", 8}, {"Windows XP", 9},
};

QString Str(const char* s) { return QString::fromLatin1(s); }

QString ShellKey() { return Str(kShellIconsKey); }

QString DriveRootKey(QChar letter) { return Str(kDrivesKey) + QLatin1Char('\\') + letter + QStringLiteral("\\DefaultIcon"); }

QString ClassKey(const char* classId) { return Str(kUserClassRoot) + QLatin1Char('\\') + Str(classId) + QStringLiteral("\\DefaultIcon"); }

// Keys are opened for full access and made when missing, as the shell's own readers do.
bool OpenKey(HKEY root, const QString& path) { return RegistryStore::CreateKey(root, path); }

QString ReadValue(HKEY root, const QString& path, const QString& name)
{
    RegistryValue value;
    if (!RegistryStore::GetValue(root, path, name, &value))
        return {};
    return value.Text();
}

IconSource Resolved(const QString& value, bool programFilesRule)
{
    IconSource source;
    source.Loaded = true;
    source.Customised = 2;
    if (!ResolveIconValue(value, programFilesRule, &source.File, &source.Index))
        source.File.clear();
    return source;
}

IconSource Fallback(const QString& file, int index)
{
    IconSource source;
    source.Loaded = true;
    source.Customised = 1;
    source.File = file;
    source.Index = index;
    return source;
}

QString IniPath(const QString& folder) { return LocalPath(FolderWithSeparator(folder) + QStringLiteral("Desktop.ini")); }

bool IsSectionHeader(const QByteArray& line) { return line.trimmed().startsWith('['); }

bool IsIconLine(const QByteArray& line)
{
    const int eq = line.indexOf('=');
    if (eq < 0)
        return false;
    const QByteArray key = line.left(eq).trimmed().toLower();
    return key == "iconfile" || key == "iconindex";
}

// Rewrites the icon lines of ".ShellClassInfo": removes them, then (when lines is not empty)
// puts the new ones right below the section's header.
bool EditDesktopIni(const QString& folder, const QList<QByteArray>& iconLines, QString* error)
{
    const QString path = IniPath(folder);
    QList<QByteArray> lines;
    QFile file(path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            if (error)
                *error = QStringLiteral("Cannot read %1").arg(path);
            return false;
        }
        QByteArray data = file.readAll();
        file.close();
        data.replace("\r\n", "\n");
        lines = data.split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
    }
    int header = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().toLower() == "[.shellclassinfo]") {
            header = i;
            break;
        }
    }
    if (header >= 0) {
        for (int i = header + 1; i < lines.size() && !IsSectionHeader(lines[i]);) {
            if (IsIconLine(lines[i]))
                lines.removeAt(i);
            else
                ++i;
        }
    }
    if (!iconLines.isEmpty()) {
        if (header < 0) {
            lines.append("[.ShellClassInfo]");
            header = lines.size() - 1;
        }
        for (int i = 0; i < iconLines.size(); ++i)
            lines.insert(header + 1 + i, iconLines[i]);
    }
    bool onlyEmptySection = true;
    for (int i = 0; i < lines.size(); ++i)
        if (i != header && !lines[i].trimmed().isEmpty())
            onlyEmptySection = false;
    if (onlyEmptySection) {
        if (QFile::exists(path) && !QFile::remove(path)) {
            if (error)
                *error = QStringLiteral("Cannot delete %1").arg(path);
            return false;
        }
        return true;
    }
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + "\r\n";
    if (!WriteFileAtomically(path, out)) {
        if (error)
            *error = QStringLiteral("Cannot write %1").arg(path);
        return false;
    }
    return true;
}

} // namespace

void SetWindowsDirectory(const QString& folder) { windowsDirOverride = folder; }

QString GetWindowsDirPlain()
{
    if (!windowsDirOverride.isEmpty())
        return windowsDirOverride;
    // The buffer of the original holds 255 characters; a longer folder names nothing usable.
    QString dir = qEnvironmentVariable("Windir");
    if (dir.isEmpty())
        dir = qEnvironmentVariable("WINDIR");
    return dir.size() > 255 ? QString() : dir;
}

QString GetWindowsDirWithSlash()
{
    QString dir = GetWindowsDirPlain();
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('\\')))
        dir += QLatin1Char('\\');
    return dir;
}

QString InWindowsDir(const QString& file)
{
    const QString dir = GetWindowsDirWithSlash();
    return dir.isEmpty() ? QString() : dir + file;
}

QString ShellLibrary()
{
    const QString dir = GetWindowsDirWithSlash();
    if (dir.isEmpty())
        return {};
    const QString system32 = dir + QStringLiteral("system32\\shell32.dll");
    if (QFileInfo(LocalPath(system32)).isFile())
        return system32;
    return dir + QStringLiteral("system\\shell32.dll");
}

void SetWindowsVersionName(const QString& name) { versionName = name.isEmpty() ? QStringLiteral("Unknown") : name; }

QString WindowsVersionName() { return versionName; }

int WindowsVersionCode()
{
    for (const VersionEntry& v : kVersions)
        if (versionName == QLatin1String(v.Name))
            return v.Code;
    return 0;
}

const ShellRow* StartMenuRow(int row) { return row >= 1 && row <= kStartMenuRows ? &kStartMenu[row - 1] : nullptr; }
const ClassRow* DesktopRow(int row) { return row >= 1 && row <= kDesktopRows ? &kDesktop[row - 1] : nullptr; }
const ClassRow* SystemClassRow(int row) { return row >= 1 && row <= kSystemClassRows ? &kSystemClass[row - 1] : nullptr; }
const ShellRow* SystemShellRow(int row)
{
    return row > kSystemClassRows && row <= kSystemRows ? &kSystemShell[row - kSystemClassRows - 1] : nullptr;
}
const ShellRow* DriveRow(int row) { return row >= 1 && row <= kDriveRows ? &kDrives[row - 1] : nullptr; }

QString SystemRowCaption(int row)
{
    if (const ClassRow* c = SystemClassRow(row))
        return Str(c->Caption);
    if (const ShellRow* s = SystemShellRow(row))
        return Str(s->Caption);
    return {};
}

IconItemRecord MakeRecord(const ClassRow& row)
{
    IconItemRecord record;
    record.Key = ClassKey(row.ClassId);
    record.ValueName = Str(row.ValueName);
    record.DefaultData = Str(row.DefaultData);
    record.IconFile = InWindowsDir(Str(row.FallbackFile));
    return record;
}

bool ResolveIconValue(const QString& value, bool programFilesRule, QString* file, int* index)
{
    const QString v = value.trimmed();
    // The index follows the last comma: the picker writes a file path as it is, commas and all.
    const int comma = v.lastIndexOf(QLatin1Char(','));
    if (comma < 0)
        return false;
    int number = 0;
    if (!TryStrToInt(v.mid(comma + 1).trimmed(), number))
        return false;
    const int p = v.indexOf(QStringLiteral("%\\"));
    QString result;
    if (p >= 0 && p < comma) {
        const QString tail = v.mid(p + 1, comma - p - 1).trimmed();
        const QString windows = GetWindowsDirPlain();
        // Without a Windows folder the location names nothing here; the row shows no icon.
        if (!windows.isEmpty()) {
            result = windows + tail;
            if (programFilesRule && v.left(13) == QLatin1String("%programfiles"))
                result = windows.left(1) + QStringLiteral(":\\Program Files") + tail;
        }
    } else {
        result = v.left(comma).trimmed();
    }
    *file = result;
    *index = number;
    return true;
}

IconSource LoadShellIcon(int number)
{
    if (!OpenKey(HKEY_LOCAL_MACHINE, ShellKey()))
        return {};
    const QString value = ReadValue(HKEY_LOCAL_MACHINE, ShellKey(), QString::number(number)).trimmed();
    if (!value.isEmpty())
        return Resolved(value, true);
    return Fallback(ShellLibrary(), number);
}

IconSource LoadClassIcon(const ClassRow& row)
{
    const QString key = ClassKey(row.ClassId);
    if (!OpenKey(HKEY_CURRENT_USER, key))
        return {};
    const QString value = ReadValue(HKEY_CURRENT_USER, key, Str(row.ValueName)).trimmed();
    // The Recycle Bin rows count as customised only when they differ from their default data.
    const bool ownValue = *row.ValueName == '\0';
    const bool customised = ownValue ? !value.isEmpty() : !value.isEmpty() && value != Str(row.DefaultData);
    if (customised)
        return Resolved(value, false);
    return Fallback(InWindowsDir(Str(row.FallbackFile)), row.FallbackIndex);
}

IconSource LoadStartMenuIcon(int row)
{
    const ShellRow* item = StartMenuRow(row);
    if (!item)
        return {};
    const char* userClass = row == 5 ? "{2559a1f0-21d7-11d4-bdaf-00c04f60b9f0}"
                          : row == 7 ? "{2559a1f3-21d7-11d4-bdaf-00c04f60b9f0}"
                                     : nullptr;
    if (userClass) {
        const QString key = ClassKey(userClass);
        if (OpenKey(HKEY_CURRENT_USER, key)) {
            const QString value = ReadValue(HKEY_CURRENT_USER, key, QString()).trimmed();
            if (!value.isEmpty())
                return Resolved(value, false);
        }
    }
    return LoadShellIcon(item->Number);
}

IconSource LoadDesktopIcon(int row)
{
    const ClassRow* item = DesktopRow(row);
    return item ? LoadClassIcon(*item) : IconSource{};
}

IconSource LoadSystemIcon(int row)
{
    if (const ClassRow* c = SystemClassRow(row))
        return LoadClassIcon(*c);
    if (const ShellRow* s = SystemShellRow(row))
        return LoadShellIcon(s->Number);
    return {};
}

IconSource LoadDriveIcon(int row)
{
    const ShellRow* item = DriveRow(row);
    return item ? LoadShellIcon(item->Number) : IconSource{};
}

bool IsDriveRoot(const QString& item)
{
    // Only "X:\" is a drive root; a three-letter Linux path is a folder like any other.
    return item.size() == 3 && item[0].isLetter() && item[1] == QLatin1Char(':')
        && (item[2] == QLatin1Char('\\') || item[2] == QLatin1Char('/'));
}

QString FolderWithSeparator(const QString& folder)
{
    if (folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/')))
        return folder;
    const bool linuxPath = folder.startsWith(QLatin1Char('/'));
    return folder + (linuxPath ? QLatin1Char('/') : QLatin1Char('\\'));
}

IconSource LoadFolderItemIcon(const QString& text, QString* folderIconFile)
{
    const QString item = text.trimmed();
    if (folderIconFile)
        folderIconFile->clear();
    if (IsDriveRoot(item)) {
        const QString key = DriveRootKey(item[0]);
        if (!OpenKey(HKEY_CLASSES_ROOT, key))
            return {};
        const QString value = ReadValue(HKEY_CLASSES_ROOT, key, QString()).trimmed();
        if (!value.isEmpty())
            return Resolved(value, true);
        return Fallback(ShellLibrary(), 8);
    }
    if (item.isEmpty())
        return {};
    TIniFile ini(IniPath(item));
    const QString iconFile = ini.ReadString(QStringLiteral(".ShellClassInfo"), QStringLiteral("IconFile"),
                                            QStringLiteral("no")).trimmed();
    if (folderIconFile)
        *folderIconFile = iconFile;
    if (iconFile == QLatin1String("no"))
        return Fallback(ShellLibrary(), 3);
    QString index = ini.ReadString(QStringLiteral(".ShellClassInfo"), QStringLiteral("IconIndex"),
                                   QStringLiteral("300")).trimmed();
    if (index == QLatin1String("300"))
        index = QStringLiteral("1");
    return Resolved(iconFile + QLatin1Char(',') + index, true);
}

HICON ExtractSourceIcon(const IconSource& source)
{
    if (!source.Loaded || source.File.isEmpty())
        return nullptr;
    return ExtractIcon(nullptr, LocalPath(source.File), source.Index);
}

QString ReadShellValue(int number)
{
    if (!OpenKey(HKEY_LOCAL_MACHINE, ShellKey()))
        return {};
    return ReadValue(HKEY_LOCAL_MACHINE, ShellKey(), QString::number(number));
}

bool WriteShellValue(int number, const QString& value)
{
    return OpenKey(HKEY_LOCAL_MACHINE, ShellKey())
        && RegistryStore::SetValue(HKEY_LOCAL_MACHINE, ShellKey(), QString::number(number), RegistryValue::String(value));
}

bool DeleteShellValue(int number)
{
    if (!OpenKey(HKEY_LOCAL_MACHINE, ShellKey()))
        return false;
    RegistryStore::DeleteValue(HKEY_LOCAL_MACHINE, ShellKey(), QString::number(number));
    return true;
}

QString ReadClassValue(const IconItemRecord& record)
{
    if (!OpenKey(HKEY_CURRENT_USER, record.Key))
        return {};
    return ReadValue(HKEY_CURRENT_USER, record.Key, record.ValueName);
}

bool WriteClassValue(const IconItemRecord& record, const QString& value)
{
    return OpenKey(HKEY_CURRENT_USER, record.Key)
        && RegistryStore::SetValue(HKEY_CURRENT_USER, record.Key, record.ValueName, RegistryValue::String(value));
}

bool WriteDriveRootValue(QChar letter, const QString& value)
{
    const QString key = DriveRootKey(letter);
    return OpenKey(HKEY_CLASSES_ROOT, key)
        && RegistryStore::SetValue(HKEY_CLASSES_ROOT, key, QString(), RegistryValue::String(value));
}

bool DeleteDriveRoot(QChar letter)
{
    const QString key = Str(kDrivesKey) + QLatin1Char('\\') + letter;
    if (!RegistryStore::KeyExists(HKEY_CLASSES_ROOT, key))
        return true;
    return RegistryStore::DeleteKey(HKEY_CLASSES_ROOT, key);
}

bool WriteFolderIcon(const QString& folder, const QString& file, int index, QString* error)
{
    // A line break in the name would add lines of its own to the file.
    QString name = file;
    name.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return EditDesktopIni(folder, {("IconFile = " + name).toUtf8(), "IconIndex =" + QByteArray::number(index)}, error);
}

bool RemoveFolderIcon(const QString& folder, QString* error) { return EditDesktopIni(folder, {}, error); }

} // namespace IconLocations
