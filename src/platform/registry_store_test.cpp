#include "platform/registry_store.h"

#include "testsupport/testdata.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class RegistryStoreTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString file;
    void SetUp() override
    {
        file = tmp.filePath("reg/registry.txt");
        qputenv("BRELNOVA_REGISTRY", file.toUtf8());
    }
    void TearDown() override { qunsetenv("BRELNOVA_REGISTRY"); }
    // The store file as another process (or a damaged disk) left it.
    void WriteStore(const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

} // namespace

TEST_F(RegistryStoreTest, RoundTripThroughTheFileWithoutRegardToCase)
{
    using namespace RegistryStore;
    EXPECT_EQ(FileName(), file);
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, "Software\\RX\\Title\\TAnimatorForm"));
    const QString key = "SOFTWARE\\rx\\title\\tanimatorform";
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, key));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key));

    const QString odd = "line1\nquote\" back\\slash \xc3\xa4";
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, key, "NormPos", RegistryValue::String("1,2,3,4")));
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, key, "", RegistryValue::String(odd)));
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, key, "Size", RegistryValue::DWord(0xFFFFFFB0)));
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, key, "Blob", RegistryValue::Binary(QByteArray("\0\x01\xff", 3))));
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, key, "normpos", RegistryValue::String("5,6,7,8")));

    // Another process's view: the file alone.
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("[HKEY_CURRENT_USER\\Software\\RX\\Title\\TAnimatorForm]"));
    f.close();
    // Force a reload by changing the file as another process would.
    QFile::remove(file);
    QFile g(file);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write(text);
    g.close();

    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, key), QStringList({"NormPos", "", "Size", "Blob"}));
    RegistryValue v;
    ASSERT_TRUE(GetValue(HKEY_CURRENT_USER, key, "NORMPOS", &v));
    EXPECT_EQ(v.type, uint32_t(REG_SZ));
    EXPECT_EQ(v.Text(), "5,6,7,8");
    ASSERT_TRUE(GetValue(HKEY_CURRENT_USER, key, "", &v));
    EXPECT_EQ(v.Text(), odd);
    ASSERT_TRUE(GetValue(HKEY_CURRENT_USER, key, "size", &v));
    EXPECT_EQ(v.type, uint32_t(REG_DWORD));
    EXPECT_EQ(v.DWordValue(), 0xFFFFFFB0u);
    ASSERT_TRUE(GetValue(HKEY_CURRENT_USER, key, "blob", &v));
    EXPECT_EQ(v.data, QByteArray("\0\x01\xff", 3));

    EXPECT_TRUE(DeleteValue(HKEY_CURRENT_USER, key, "blob"));
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, key, "Blob", &v));
}

TEST_F(RegistryStoreTest, SubkeysListInNameOrderAndDeleteWithTheirChildren)
{
    using namespace RegistryStore;
    for (const char* k : {"SOFTWARE\\Adobe\\Photoshop\\9.0\\Plug", "SOFTWARE\\Adobe\\Photoshop\\10.0",
                          "Software\\Adobe\\photoshop\\CS"})
        ASSERT_TRUE(CreateKey(HKEY_LOCAL_MACHINE, k));
    EXPECT_EQ(SubKeyNames(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adobe\\Photoshop"),
              QStringList({"10.0", "9.0", "CS"}));
    bool ok = true;
    EXPECT_TRUE(SubKeyNames(HKEY_LOCAL_MACHINE, "Software\\Nothing", &ok).isEmpty());
    EXPECT_FALSE(ok);

    EXPECT_TRUE(DeleteKey(HKEY_LOCAL_MACHINE, "software\\adobe\\photoshop\\9.0"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adobe\\Photoshop\\9.0\\Plug"));
    EXPECT_FALSE(DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adobe\\Photoshop\\9.0"));
    EXPECT_FALSE(DeleteKey(HKEY_LOCAL_MACHINE, ""));
    // Malformed paths and unknown roots are refused.
    EXPECT_FALSE(CreateKey(HKEY_CURRENT_USER, "a\\\\b"));
    EXPECT_FALSE(CreateKey(HKEY_PERFORMANCE_DATA, "a"));
    EXPECT_FALSE(SetValue(HKEY_CURRENT_USER, "Missing\\Key", "x", RegistryValue::String("y")));
}

TEST_F(RegistryStoreTest, FailedWriteLeavesStoreAndFileAsTheyWere)
{
    using namespace RegistryStore;
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, "Software\\A"));
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, "Software\\A", "v", RegistryValue::String("old")));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    // A folder in the store file's place makes the rewrite fail.
    const QString blocked = tmp.filePath("blocked");
    QDir().mkpath(blocked + "/registry.txt");
    qputenv("BRELNOVA_REGISTRY", (blocked + "/registry.txt").toUtf8());
    EXPECT_FALSE(CreateKey(HKEY_CURRENT_USER, "Software\\B"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\B"));

    qputenv("BRELNOVA_REGISTRY", file.toUtf8());
    RegistryValue v;
    ASSERT_TRUE(GetValue(HKEY_CURRENT_USER, "Software\\A", "v", &v));
    EXPECT_EQ(v.Text(), "old");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST_F(RegistryStoreTest, GarbageLinesAreSkippedAndDesktopIsAnswered)
{
    WriteStore("[HKEY_CURRENT_USER\\Good]\n\"a\"=\"1\"\n\"b\"=dword:zz\n\"c\"=\"unterminated\n"
               "junk\n[HKEY_NOWHERE\\X]\n\"d\"=\"2\"\n\"e\"=hex:0g\n");
    using namespace RegistryStore;
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, "Good"), QStringList({"a"}));
    RegistryValue v;
    ASSERT_TRUE(GetValue(HKEY_CURRENT_USER,
                         "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\EXPLORER\\SHELL FOLDERS", "DESKTOP", &v));
    EXPECT_FALSE(v.Text().isEmpty());
}

TEST_F(RegistryStoreTest, ADamagedStoreLoadsItsReadableLinesAndIsLeftAsItIs)
{
    // Made by the store's fuzz target: broken headers, cut values and a "\x-1" escape.
    QFile damaged(TestDataPath("platform/registry-store-crash.txt"));
    ASSERT_TRUE(damaged.open(QIODevice::ReadOnly));
    const QByteArray bytes = damaged.readAll();
    WriteStore(bytes);

    using namespace RegistryStore;
    RegistryValue v;
    ASSERT_TRUE(GetValue(HKEY_CURRENT_USER, "", "e", &v));
    EXPECT_EQ(v.type, uint32_t(REG_EXPAND_SZ));
    EXPECT_EQ(v.Text(), "%x%");
    ASSERT_TRUE(GetValue(HKEY_CURRENT_USER, "", "m", &v));
    EXPECT_EQ(v.type, uint32_t(REG_MULTI_SZ));
    EXPECT_EQ(v.data, QByteArray("a\0\0", 3));
    // "\x" takes exactly two hex digits; the rest of such a line is not read.
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, "", "bc", &v));

    // Reading changes nothing on disk; the first change of a value writes the store anew.
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), bytes);
    f.close();
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, "", "e", RegistryValue::String("new")));
    ASSERT_TRUE(GetValue(HKEY_CURRENT_USER, "", "m", &v));
    EXPECT_EQ(v.data, QByteArray("a\0\0", 3));
}

// A change written over a damaged store keeps the lines it could not read, each where it stood,
// so the damage can still be mended by hand and nothing the file held is lost.
TEST_F(RegistryStoreTest, AChangeKeepsTheLinesTheStoreCouldNotRead)
{
    const QStringList unread = {"junk before any key", "[HKEY_NOWHERE\\K]", "\"lost\"=\"under a bad root\"",
                                "\"bad\"=\"\\x-1\"", "\"cut"};
    WriteStore((unread[0] + "\n" + unread[1] + "\n" + unread[2] + "\n[HKEY_CURRENT_USER\\K]\n\"good\"=\"1\"\n"
                + unread[3] + "\n" + unread[4] + "\n")
                   .toUtf8());
    using namespace RegistryStore;
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, "K", "new", RegistryValue::String("2")));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList written = QString::fromUtf8(f.readAll()).split('\n');
    f.close();
    for (const QString& line : unread)
        EXPECT_TRUE(written.contains(line)) << line.toStdString();
    // Read again, the store holds the same values, and the next change writes the same lines.
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, "K"), QStringList({"good", "new"}));
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, "K", "new", RegistryValue::String("2")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()).split('\n'), written);
}

TEST_F(RegistryStoreTest, AnEscapeTakesExactlyTwoHexDigits)
{
    WriteStore("[HKEY_CURRENT_USER\\K]\n\"ok\"=\"a\\x0A\\x7fb\"\n\"minus\"=\"\\x-1\"\n\"plus\"=\"\\x+f\"\n"
               "\"blank\"=\"\\x f\"\n\"short\"=\"\\x1\"\n\"after\"=\"2\"\n");
    using namespace RegistryStore;
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, "K"), QStringList({"ok", "after"}));
    RegistryValue v;
    ASSERT_TRUE(GetValue(HKEY_CURRENT_USER, "K", "ok", &v));
    EXPECT_EQ(v.Text(), "a\n\x7f" "b");
}

TEST_F(RegistryStoreTest, KeysDeeperOrLongerThanTheOriginalAllowsAreRefused)
{
    using namespace RegistryStore;
    QStringList deep;
    for (int i = 0; i < 513; ++i)
        deep << "k";
    EXPECT_FALSE(CreateKey(HKEY_CURRENT_USER, deep.join('\\')));
    deep.removeLast();
    EXPECT_TRUE(CreateKey(HKEY_CURRENT_USER, deep.join('\\')));
    EXPECT_FALSE(CreateKey(HKEY_CURRENT_USER, QString(256, 'n')));
    EXPECT_TRUE(CreateKey(HKEY_CURRENT_USER, QString(255, 'n')));
}
