#include "platform/program_paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A program folder and a per-user data folder in a temporary place, restored afterwards.
class ProgramPaths : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QByteArray oldData = qgetenv("XDG_DATA_HOME");
    QString prog, data;

    void SetUp() override
    {
        prog = tmp.filePath("prog/");
        data = tmp.filePath("share/brelnova-studio/");
        QDir().mkpath(prog + "data");
        qputenv("XDG_DATA_HOME", tmp.filePath("share").toUtf8());
        SetProgramFolder(prog);
    }
    void TearDown() override
    {
        SetProgramFolder(QString());
        qputenv("XDG_DATA_HOME", oldData);
    }
    static void Put(const QString& file, const QByteArray& bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray Get(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

} // namespace

TEST_F(ProgramPaths, ConversionTable)
{
    struct Case {
        const char* in;
        QString out;
    } cases[] = {
        {"data\\rozazuvidodiro.ini", prog + "data/rozazuvidodiro.ini"},
        {"UndoTemp\\iconview1\\", prog + "UndoTemp/iconview1/"},
        {"suk\\ziroz.sui", prog + "suk/ziroz.sui"},
        {"\\suk\\msn.sui", prog + "suk/msn.sui"},
        {"c:\\ttt.bmp", data + "drives/c/ttt.bmp"},
        {"C:/Program Files\\x.exe", data + "drives/c/Program Files/x.exe"},
        {"d:", data + "drives/d/"},
        {"/home/u/pic.ico", "/home/u/pic.ico"},
        {"/opt/b/\\suk\\\\msn.sui", "/opt/b/suk/msn.sui"},
        {"\\\\server\\share\\a.ico", "//server/share/a.ico"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LocalPath(QString::fromUtf8(c.in)), c.out) << c.in;
    EXPECT_TRUE(QDir(data + "drives/c").exists());
    EXPECT_EQ(ProgramFolder(), prog);
}

TEST_F(ProgramPaths, ExistingLinuxNameWithBackslashIsKept)
{
    const QString odd = tmp.filePath("we\\ird.ico");
    Put(odd, "x");
    EXPECT_EQ(LocalPath(odd), odd);
}

TEST_F(ProgramPaths, ReadOnlyInstallationWritesUnderUserData)
{
    Put(prog + "data/rozazuvidodiro.ini", "[default]\r\nx=32\r\n");
    Put(prog + "data/icon0.ico", "icon");

    // Writable installation: everything stays beside the program.
    EXPECT_EQ(WritablePath("data\\rozazuvidodiro.ini"), prog + "data/rozazuvidodiro.ini");
    EXPECT_FALSE(QDir(data).exists());

    SetProgramFolder(prog, true);
    // The configuration file is copied from the installation on first use, then the copy is used.
    const QString ini = WritablePath("data\\rozazuvidodiro.ini");
    EXPECT_EQ(ini, data + "data/rozazuvidodiro.ini");
    EXPECT_EQ(Get(ini), QByteArray("[default]\r\nx=32\r\n"));
    Put(ini, "changed");
    EXPECT_EQ(Get(WritablePath("data\\rozazuvidodiro.ini")), QByteArray("changed"));
    EXPECT_EQ(ProgramPath("data\\rozazuvidodiro.ini"), ini);
    // Read-only assets are still read from the installation.
    EXPECT_EQ(ProgramPath("data\\icon0.ico"), prog + "data/icon0.ico");
    // A scratch folder is created in the same layout.
    EXPECT_EQ(WritablePath("UndoTemp\\iconview2\\"), data + "UndoTemp/iconview2/");
    EXPECT_TRUE(QDir(data + "UndoTemp/iconview2").exists());
    EXPECT_EQ(LocalPath("\\data\\rozazuvidodiro.ini"), ini);
}

TEST(ProgramPathsFolders, WindowsFolderLookups)
{
    EXPECT_TRUE(WindowsFolder().endsWith("/brelnova-studio/"));
    EXPECT_EQ(SystemFolder(), "/usr/lib/");
    EXPECT_FALSE(DesktopFolder().endsWith('/'));
    EXPECT_TRUE(QDir::isAbsolutePath(DesktopFolder()));
    EXPECT_TRUE(ProgramFolder().endsWith('/'));
    EXPECT_TRUE(ProgramFileName().startsWith(ProgramFolder()));
}
