#include "document/scratch_folder.h"

#include "platform/program_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <map>
#include <memory>

namespace {

// An instance claims its subfolder with a lock file beside it ("1234.lock" for "1234/"): the
// lock outlives nothing but the process, so a folder whose lock can be taken belongs to an
// instance that has gone.
const QString kLockSuffix = QStringLiteral(".lock");

QString RootFolder()
{
    return WritablePath(QStringLiteral("UndoTemp/"));
}

QString InstanceName()
{
    return QString::number(QCoreApplication::applicationPid());
}

std::unique_ptr<QLockFile> NewLock(const QString& path)
{
    auto lock = std::make_unique<QLockFile>(path);
    // A live instance keeps its lock for hours: only a dead owner makes it stale.
    lock->setStaleLockTime(0);
    return lock;
}

// The locks this instance holds, one per scratch root it has used (tests move the program
// folder between roots). A lock whose folder was removed meanwhile is let go without unlocking.
struct TClaims {
    std::map<QString, std::unique_ptr<QLockFile>> locks;
    ~TClaims()
    {
        for (auto& [root, lock] : locks)
            if (!QFileInfo::exists(root))
                (void)lock.release();
    }
};

std::map<QString, std::unique_ptr<QLockFile>>& Claims()
{
    static TClaims claims;
    return claims.locks;
}

// Takes this instance's lock in root. A lock in this process's own id can only be an earlier
// run's whose process had the same number: it is taken over.
std::unique_ptr<QLockFile> ClaimLock(const QString& root)
{
    const QString path = root + InstanceName() + kLockSuffix;
    auto lock = NewLock(path);
    if (!lock->tryLock(0)) {
        qint64 pid = 0;
        QString host, app;
        if (lock->getLockInfo(&pid, &host, &app) && pid == QCoreApplication::applicationPid() &&
            host == QSysInfo::machineHostName()) {
            QFile::remove(path);
            lock->tryLock(0);
        }
    }
    return lock;
}

} // namespace

QString ScratchFolder()
{
    const QString root = RootFolder();
    const QString folder = root + InstanceName() + QLatin1Char('/');
    auto& claims = Claims();
    if (claims.find(root) == claims.end()) {
        QDir().mkpath(root);
        // This instance has written nothing here yet: a folder in its name was left by an earlier
        // run with the same process id, and its undo steps must not turn up in new documents.
        RemoveScratchSubfolder(folder.chopped(1));
        claims.emplace(root, ClaimLock(root));
    }
    QDir().mkpath(folder);
    return folder;
}

void RemoveScratchSubfolder(const QString& path)
{
    QString p = path;
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    const QFileInfo info(p);
    if (info.isSymLink())
        QFile::remove(p); // what a link points to is never the program's
    else if (info.isDir())
        QDir(p).removeRecursively(); // removes links inside, never what they point to
}

QString ScratchPath(const QString& name)
{
    QString rel = name;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    return ScratchFolder() + rel;
}

void RemoveStaleScratchFolders()
{
    const QString root = RootFolder();
    const QString mine = InstanceName();
    const QDir dir(root);
    // Links are listed as what they are, never entered: only real folders in the root are ours.
    for (const QFileInfo& entry : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        const QString name = entry.fileName();
        if (name == mine)
            continue;
        bool numeric = false;
        name.toLongLong(&numeric);
        if (!numeric)
            continue; // folders of the installation itself stay
        auto lock = NewLock(root + name + kLockSuffix);
        if (!lock->tryLock(0))
            continue; // its instance still runs
        RemoveScratchSubfolder(entry.filePath());
        lock->unlock(); // removes the lock file
    }
}

QStringList EmptyScratchFolder()
{
    QStringList failed;
    QDirIterator it(ScratchFolder(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (!QFile::remove(file))
            failed << file;
    }
    return failed;
}
