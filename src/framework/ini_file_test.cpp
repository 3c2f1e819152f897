#include "framework/exceptions.h"
#include "framework/ini_file.h"
#include "framework/string_list.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

class IniFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("test.ini");

    void Put(const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray Get()
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

} // namespace

TEST_F(IniFile, ReadsLikeTheProfileFunctions)
{
    Put("top=ignored\r\n"
        "[Default]\r\n"
        "  X = 48  \r\n"
        "; y=1\r\n"
        "x=99\r\n"
        "q1=\"  quoted  \"\r\n"
        "q2='single'\r\n"
        "q3=\"unbalanced'\r\n"
        "hex=0x1F\r\n"
        "dollar=$10\r\n"
        "bad=12a\r\n"
        "flag=1\r\n"
        "bare line\r\n"
        "[default]\r\n"
        "late=1\r\n"
        "[Language]\r\n"
        "iconmain.Label1.Caption=Open~~File\r\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("DEFAULT", "x", "no"), "48");
    EXPECT_EQ(ini.ReadString("default", "y", "no"), "no");
    EXPECT_EQ(ini.ReadString("default", "top", "no"), "no");
    EXPECT_EQ(ini.ReadString("default", "q1", ""), "  quoted  ");
    EXPECT_EQ(ini.ReadString("default", "q2", ""), "single");
    EXPECT_EQ(ini.ReadString("default", "q3", ""), "\"unbalanced'");
    EXPECT_EQ(ini.ReadString("default", "late", "no"), "no"); // hidden behind the first [default]
    EXPECT_EQ(ini.ReadInteger("default", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("default", "dollar", 0), 16);
    EXPECT_EQ(ini.ReadInteger("default", "bad", 5), 5);
    EXPECT_EQ(ini.ReadInteger("default", "missing", 7), 7);
    EXPECT_TRUE(ini.ReadBool("default", "flag", false));
    EXPECT_TRUE(ini.ValueExists("default", "BARE LINE"));
    EXPECT_TRUE(ini.SectionExists("language"));
    EXPECT_FALSE(ini.SectionExists("nothing"));

    TStringList keys;
    ini.ReadSection("default", &keys);
    EXPECT_EQ(keys.ToStringList(),
              QStringList({"X", "x", "q1", "q2", "q3", "hex", "dollar", "bad", "flag", "bare line"}));
    ini.ReadSections(&keys);
    EXPECT_EQ(keys.ToStringList(), QStringList({"Default", "Language"}));
    TStringList values;
    ini.ReadSectionValues("language", &values);
    EXPECT_EQ(values.ToStringList(), QStringList({"iconmain.Label1.Caption=Open~~File"}));

    // A long value is cut as the profile functions cut it.
    ini.WriteString("long", "v", QString(3000, 'a'));
    EXPECT_EQ(ini.ReadString("long", "v", "").size(), 2047);
}

TEST_F(IniFile, WritesKeepEverythingElseOfTheFile)
{
    // A line in another encoding, a comment, blank lines and CR LF line ends all stay as they are.
    const QByteArray before = "; settings\r\n"
                              "[default]\r\n"
                              "X=48\r\n"
                              "name=\xb0\xa1\r\n"
                              "\r\n"
                              "; colours\r\n"
                              "[up_color]\r\n"
                              "a=255\r\n";
    Put(before);
    TIniFile ini(path);
    ini.WriteString("Default", "x", "32");
    ini.WriteString("DEFAULT", "color", "XP");
    ini.WriteInteger("useropenfile", "filenum", 1);
    ini.WriteBool("up_color", "b", true);
    EXPECT_EQ(Get(), QByteArray("; settings\r\n"
                                "[default]\r\n"
                                "X=32\r\n"
                                "name=\xb0\xa1\r\n"
                                "color=XP\r\n"
                                "\r\n"
                                "; colours\r\n"
                                "[up_color]\r\n"
                                "a=255\r\n"
                                "b=1\r\n"
                                "\r\n"
                                "[useropenfile]\r\n"
                                "filenum=1\r\n"));

    // A value cannot smuggle in a line of its own.
    ini.WriteString("default", "color", "XP\r\n[evil]\nk=v");
    EXPECT_EQ(ini.ReadString("default", "color", ""), "XP [evil] k=v");
    EXPECT_FALSE(ini.SectionExists("evil"));

    ini.DeleteKey("DEFAULT", "NAME");
    ini.EraseSection("up_color");
    ini.DeleteKey("default", "missing");
    EXPECT_EQ(Get(), QByteArray("; settings\r\n"
                                "[default]\r\n"
                                "X=32\r\n"
                                "color=XP [evil] k=v\r\n"
                                "\r\n"
                                "; colours\r\n"
                                "\r\n"
                                "[useropenfile]\r\n"
                                "filenum=1\r\n"));
}

TEST_F(IniFile, SeesChangesOfOtherWritersAndCreatesNoFolder)
{
    TIniFile a(path), b(path);
    EXPECT_EQ(a.ReadString("s", "k", "none"), "none");
    b.WriteString("s", "k", "1");
    EXPECT_EQ(a.ReadString("s", "k", "none"), "1");
    b.WriteString("s", "k", "2"); // same size, same moment
    EXPECT_EQ(a.ReadString("s", "k", "none"), "2");
    EXPECT_EQ(Get(), QByteArray("[s]\nk=2\n"));

    TIniFile nowhere(dir.filePath("data/rozazuvidodiro.ini"));
    EXPECT_EQ(nowhere.ReadString("default", "x", "no"), "no");
    try {
        nowhere.WriteString("default", "x", "48");
        FAIL();
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + dir.filePath("data/rozazuvidodiro.ini"));
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("data")));
}

TEST_F(IniFile, AFailedWriteLeavesTheOldFile)
{
    const QByteArray before = "[default]\nx=48\n";
    Put(before);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("default", "x", ""), "48");

    // The rewrite runs into the file-size limit half way.
    struct sigaction ignore{}, old{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &old);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(ini.WriteString("default", "y", QString(500, 'v')), EIniFileException);
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &old, nullptr);

    EXPECT_EQ(Get(), before);
    EXPECT_EQ(ini.ReadString("default", "y", "none"), "none");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"test.ini"}));
}
