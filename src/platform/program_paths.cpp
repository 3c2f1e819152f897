#include "platform/program_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>
#include <unistd.h>

namespace {

QMutex g_mutex;
QString g_programFolderOverride;
bool g_forceReadOnly = false;

QString WithSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString ExecutablePath()
{
    // /proc/self/exe works before (and without) an application object.
    const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    return exe;
}

QString XdgFolder(const char* variable, const QString& fallbackUnderHome)
{
    QString base = qEnvironmentVariable(variable);
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QLatin1Char('/') + fallbackUnderHome;
    return WithSlash(base) + QStringLiteral("brelnova-studio/");
}

// Backslashes to "/", runs of separators collapsed (a leading "//" of a network path kept).
QString Normalised(const QString& path)
{
    QString s = path;
    s.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool network = s.startsWith(QLatin1String("//"));
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        if (c == QLatin1Char('/') && out.endsWith(QLatin1Char('/')))
            continue;
        out += c;
    }
    if (network)
        out.prepend(QLatin1Char('/'));
    return out;
}

// A program-relative name without leading separators.
QString Relative(const QString& relative)
{
    QString rel = Normalised(relative);
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    return rel;
}

bool IsDrivePath(const QString& s)
{
    return s.size() >= 2 && s[1] == QLatin1Char(':') && s[0].isLetter() && s[0].unicode() < 128
        && (s.size() == 2 || s[2] == QLatin1Char('\\') || s[2] == QLatin1Char('/'));
}

} // namespace

QString ProgramFileName()
{
    return ExecutablePath();
}

QString ProgramFolder()
{
    {
        QMutexLocker lock(&g_mutex);
        if (!g_programFolderOverride.isEmpty())
            return g_programFolderOverride;
    }
    return WithSlash(QFileInfo(ExecutablePath()).absolutePath());
}

void SetProgramFolder(const QString& folder, bool forceReadOnly)
{
    QMutexLocker lock(&g_mutex);
    g_programFolderOverride = folder.isEmpty() ? QString() : WithSlash(Normalised(folder));
    g_forceReadOnly = forceReadOnly;
}

bool ProgramFolderWritable()
{
    {
        QMutexLocker lock(&g_mutex);
        if (g_forceReadOnly)
            return false;
    }
    return ::access(QFile::encodeName(ProgramFolder()).constData(), W_OK) == 0;
}

QString UserDataFolder()
{
    return XdgFolder("XDG_DATA_HOME", QStringLiteral(".local/share"));
}

QString UserConfigFolder()
{
    return XdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

QString ProgramPath(const QString& relative)
{
    const QString rel = Relative(relative);
    const QString installed = ProgramFolder() + rel;
    if (ProgramFolderWritable())
        return installed;
    const QString user = UserDataFolder() + rel;
    return QFileInfo::exists(user) ? user : installed;
}

QString WritablePath(const QString& relative)
{
    const QString rel = Relative(relative);
    if (ProgramFolderWritable())
        return ProgramFolder() + rel;

    const QString user = UserDataFolder() + rel;
    if (rel.isEmpty() || rel.endsWith(QLatin1Char('/'))) {
        QDir().mkpath(user);
        return user;
    }
    const QFileInfo info(user);
    if (!info.exists()) {
        QDir().mkpath(info.absolutePath());
        const QFileInfo installed(ProgramFolder() + rel);
        if (installed.isDir())
            QDir().mkpath(user);
        else if (installed.isFile())
            QFile::copy(installed.filePath(), user);
    }
    return user;
}

QString DriveFolder(QChar drive)
{
    const QString folder = UserDataFolder() + QStringLiteral("drives/") + drive.toLower() + QLatin1Char('/');
    QDir().mkpath(folder);
    return folder;
}

QString LocalPath(const QString& path)
{
    if (path.isEmpty())
        return path;
    if (IsDrivePath(path)) {
        QString rest = Relative(path.mid(2));
        return DriveFolder(path[0]) + rest;
    }
    if (path.startsWith(QLatin1String("\\\\")))
        return Normalised(path);
    if (path.startsWith(QLatin1Char('/'))) {
        // A Linux file may carry a backslash in its name; an existing path is taken as it is.
        if (!path.contains(QLatin1Char('\\')) || QFileInfo::exists(path))
            return path;
        return Normalised(path);
    }
    return ProgramPath(path);
}

QString WindowsFolder()
{
    // Profile files named without a folder are written there, so it must exist as the original's
    // Windows folder always does.
    const QString folder = UserConfigFolder();
    QDir().mkpath(folder);
    return folder;
}

QString SystemFolder()
{
    return QStringLiteral("/usr/lib/");
}

QString DesktopFolder()
{
    QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (desktop.isEmpty())
        desktop = QDir::homePath() + QStringLiteral("/Desktop");
    while (desktop.size() > 1 && desktop.endsWith(QLatin1Char('/')))
        desktop.chop(1);
    return desktop;
}
