#include "settings/customisation_undo.h"

#include "document/scratch_folder.h"
#include "framework/ini_file.h"
#include "platform/registry_store.h"
#include "settings/icon_locations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace CustomisationUndo {

namespace {

QString Key(int row) { return QStringLiteral("icon") + QString::number(row); }
QString MarkKey(int row) { return QStringLiteral("icon_") + QString::number(row); }

// A value stays on its one line, whatever it holds.
QString OneLine(QString value) { return value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' ')); }

bool AppendLines(const QByteArray& lines, QString* error)
{
    const QString path = FileName();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::Append) || file.write(lines) != lines.size()) {
        if (error)
            *error = QStringLiteral("Cannot write %1").arg(path);
        return false;
    }
    return true;
}

void AddRow(QByteArray& out, int row, const QString& value)
{
    const QString v = value.trimmed();
    if (v.isEmpty())
        return;
    out += ("Icon" + QString::number(row) + "=" + OneLine(v)).toUtf8() + "\r\n";
    out += "Icon_" + QByteArray::number(row) + "=false\r\n";
}

} // namespace

// In this instance's own scratch folder, which its close empties: what one run recorded never
// turns up in the next, and two instances never share it.
QString FileName() { return ScratchPath(QStringLiteral("copy_icon_set.ini")); }

bool SnapshotStartMenuIcons(QString* error)
{
    using namespace IconLocations;
    if (!RegistryStore::CreateKey(HKEY_LOCAL_MACHINE, QString::fromLatin1(kShellIconsKey)))
        return true;
    QByteArray out = "[" + QByteArray(kStartMenuSection) + "]\r\n";
    for (int row = 1; row <= kStartMenuRows; ++row)
        AddRow(out, row, ReadShellValue(StartMenuRow(row)->Number));
    return AppendLines(out, error);
}

bool SnapshotDesktopIcons(QString* error)
{
    using namespace IconLocations;
    if (!RegistryStore::CreateKey(HKEY_CURRENT_USER, QString::fromLatin1(kUserClassRoot)))
        return true;
    QByteArray out = "[" + QByteArray(kDesktopSection) + "]\r\n";
    for (int row = 1; row <= kDesktopRows; ++row) {
        const IconItemRecord record = MakeRecord(*DesktopRow(row));
        if (RegistryStore::CreateKey(HKEY_CURRENT_USER, record.Key))
            AddRow(out, row, ReadClassValue(record));
    }
    return AppendLines(out, error);
}

void MarkChanged(const QString& section, int row, const QString& previousValue)
{
    const QString path = FileName();
    QDir().mkpath(QFileInfo(path).absolutePath());
    TIniFile ini(path);
    const QString recorded = ini.ReadString(section, Key(row), QStringLiteral("no")).trimmed();
    if (recorded.isEmpty() || recorded == QLatin1String("no")) {
        const QString previous = OneLine(previousValue).trimmed();
        ini.WriteString(section, Key(row), previous.isEmpty() ? QStringLiteral("true") : previous);
    }
    ini.WriteString(section, MarkKey(row), QStringLiteral("true"));
}

QString RecordedValue(const QString& section, int row)
{
    TIniFile ini(FileName());
    const QString v = ini.ReadString(section, Key(row), QStringLiteral("no")).trimmed();
    return v.isEmpty() ? QStringLiteral("no") : v;
}

bool UndoAvailable(const QString& section, int row)
{
    TIniFile ini(FileName());
    const QString recorded = ini.ReadString(section, Key(row), QStringLiteral("no")).trimmed();
    const QString mark = ini.ReadString(section, MarkKey(row), QStringLiteral("no")).trimmed();
    return !recorded.isEmpty() && recorded != QLatin1String("no") && mark == QLatin1String("true");
}

} // namespace CustomisationUndo
