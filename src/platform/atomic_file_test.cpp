#include "platform/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

TEST(AtomicFile, AShortWriteKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("a.bin");
    ASSERT_TRUE(WriteFileAtomically(file, "old contents"));

    // The file-size limit cuts the write after 64 bytes, as a full disk would.
    struct sigaction ignore{}, old{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &old);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool ok = WriteFileAtomically(file, QByteArray(1000, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &old, nullptr);

    EXPECT_FALSE(ok);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"a.bin"}));
    EXPECT_FALSE(WriteFileAtomically(dir.filePath("missing/a.bin"), "x"));
}
