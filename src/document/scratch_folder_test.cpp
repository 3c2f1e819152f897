#include "document/scratch_folder.h"
#include "platform/program_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void Touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
}

// The number of a process that has ended.
qint64 DeadPid()
{
    QProcess p;
    p.start("true", {});
    p.waitForFinished();
    return p.processId() ? p.processId() : 999999;
}

} // namespace

TEST(ScratchFolder, EachInstanceWorksInItsOwnFolderUnderUndoTemp)
{
    QTemporaryDir dir;
    SetProgramFolder(dir.path());
    const QString mine = QDir(dir.path()).filePath("UndoTemp/" + QString::number(QCoreApplication::applicationPid()) + "/");
    EXPECT_EQ(ScratchFolder(), mine);
    EXPECT_TRUE(QDir(mine).exists());
    EXPECT_EQ(ScratchPath("newicon\\"), mine + "newicon/");
    EXPECT_EQ(ScratchPath("\\iconview1\\2_5.png"), mine + "iconview1/2_5.png");

    // A read-only installation keeps its scratch files in the user's data folder.
    QTemporaryDir data;
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    SetProgramFolder(dir.path(), true);
    EXPECT_TRUE(ScratchFolder().startsWith(UserDataFolder() + "UndoTemp/"));
    qputenv("XDG_DATA_HOME", oldData);
    SetProgramFolder(QString());
}

TEST(ScratchFolder, StaleFoldersGoAndLiveOnesStay)
{
    QTemporaryDir dir;
    SetProgramFolder(dir.path());
    const QString root = dir.path() + "/UndoTemp/";
    Touch(ScratchPath("iconview1/1_1.png"));

    // Another instance that still runs holds its lock; one that has gone left its lock behind.
    QLockFile live(root + "77777.lock");
    ASSERT_TRUE(live.tryLock(0));
    Touch(root + "77777/iconview1/1_1.png");
    const QString dead = QString::number(DeadPid());
    Touch(root + dead + "/iconview3/1_1.png");
    {
        QFile lock(root + dead + ".lock");
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write((dead + "\n" + QCoreApplication::applicationName() + "\n" + QSysInfo::machineHostName() + "\n").toUtf8());
    }
    Touch(root + "newicon/keep.txt"); // not an instance folder

    RemoveStaleScratchFolders();
    EXPECT_FALSE(QDir(root + dead).exists());
    EXPECT_TRUE(QFile::exists(root + "77777/iconview1/1_1.png"));
    EXPECT_TRUE(QFile::exists(ScratchPath("iconview1/1_1.png")));
    EXPECT_TRUE(QFile::exists(root + "newicon/keep.txt"));

    // Emptying takes this instance's files only and leaves its folders.
    EXPECT_TRUE(EmptyScratchFolder().isEmpty());
    EXPECT_FALSE(QFile::exists(ScratchPath("iconview1/1_1.png")));
    EXPECT_TRUE(QDir(ScratchFolder() + "iconview1").exists());
    EXPECT_TRUE(QFile::exists(root + "77777/iconview1/1_1.png"));
    SetProgramFolder(QString());
}

TEST(ScratchFolder, AnEarlierRunsFoldersGoWithoutFollowingLinks)
{
    QTemporaryDir dir, outside;
    const QString root = dir.path() + "/UndoTemp/";
    const QString mine = root + QString::number(QCoreApplication::applicationPid());
    // An earlier run that had this process's id left its undo steps and its lock.
    Touch(mine + "/iconview1/1_1.png");
    {
        QFile lock(mine + ".lock");
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write((QString::number(QCoreApplication::applicationPid()) + "\n" + QCoreApplication::applicationName() +
                    "\n" + QSysInfo::machineHostName() + "\n")
                       .toUtf8());
    }
    // A gone instance's folder holding a link to files elsewhere, and a link in an instance's place.
    Touch(outside.path() + "/keep/precious.txt");
    const QString dead = QString::number(DeadPid());
    Touch(root + dead + "/iconview2/1_1.png");
    ASSERT_TRUE(QFile::link(outside.path() + "/keep", root + dead + "/iconview2/link"));
    ASSERT_TRUE(QFile::link(outside.path() + "/keep", root + "424242"));

    SetProgramFolder(dir.path());
    EXPECT_FALSE(QFile::exists(ScratchPath("iconview1/1_1.png")));
    RemoveStaleScratchFolders();
    EXPECT_FALSE(QDir(root + dead).exists());
    EXPECT_TRUE(QFile::exists(outside.path() + "/keep/precious.txt"));
    EXPECT_TRUE(QFileInfo(root + "424242").isSymLink());
    SetProgramFolder(QString());
}
