#include "framework/exceptions.h"
#include "framework/registry.h"
#include "framework/string_list.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class Registry : public ::testing::Test {
protected:
    QTemporaryDir dir;
    void SetUp() override { qputenv("BRELNOVA_REGISTRY", dir.filePath("registry.txt").toUtf8()); }
    void TearDown() override { qunsetenv("BRELNOVA_REGISTRY"); }
};

QString RegErrorText(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const ERegistryException& e) {
        return e.Message();
    }
    return "<no error>";
}

} // namespace

TEST_F(Registry, KeysAndValuesRoundTripWithoutRegardToCase)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.OpenKey("SOFTWARE\\Adobe\\Photoshop", false));
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\Adobe\\Photoshop\\9.0", true));
    reg.WriteString("ApplicationPath", "/opt/ps/");
    reg.WriteInteger("Count", -3);
    reg.WriteBool("On", true);
    reg.WriteBinaryData("Blob", QByteArray("\x01\x02\x03", 3));
    reg.WriteString("", "default");
    reg.CloseKey();

    TRegistry other(KEY_READ);
    other.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(other.OpenKey("software\\ADOBE\\photoshop", false));
    TStringList names;
    other.GetKeyNames(&names);
    EXPECT_EQ(names.ToStringList(), QStringList({"9.0"}));
    // A relative path goes below the open key, a leading "\" starts at the root.
    ASSERT_TRUE(other.OpenKey("9.0", false));
    EXPECT_EQ(other.CurrentPath(), "software\\ADOBE\\photoshop\\9.0");
    EXPECT_EQ(other.ReadString("applicationpath"), "/opt/ps/");
    EXPECT_EQ(other.ReadInteger("COUNT"), -3);
    EXPECT_TRUE(other.ReadBool("on"));
    EXPECT_EQ(other.ReadBinaryData("blob"), QByteArray("\x01\x02\x03", 3));
    EXPECT_EQ(other.ReadString(""), "default");
    EXPECT_EQ(other.ReadString("missing"), "");
    EXPECT_EQ(other.GetDataType("Count"), rdInteger);
    EXPECT_EQ(other.GetDataSize("ApplicationPath"), 9);
    EXPECT_EQ(other.GetDataSize("missing"), -1);
    other.GetValueNames(&names);
    EXPECT_EQ(names.ToStringList(), QStringList({"ApplicationPath", "Count", "On", "Blob", ""}));
    ASSERT_TRUE(other.OpenKey("\\SOFTWARE", false));
    EXPECT_EQ(other.CurrentPath(), "SOFTWARE");
    EXPECT_TRUE(other.HasSubKeys());

    // Roots are separate.
    TRegistry user;
    EXPECT_FALSE(user.KeyExists("SOFTWARE\\Adobe"));

    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\Adobe", false));
    EXPECT_TRUE(reg.DeleteKey("photoshop"));
    EXPECT_FALSE(reg.KeyExists("\\SOFTWARE\\Adobe\\Photoshop\\9.0"));
}

TEST_F(Registry, ErrorsCarryTheFrameworkTexts)
{
    TRegistry reg;
    EXPECT_EQ(RegErrorText([&] { reg.WriteString("x", "y"); }), "Failed to set data for 'x'");
    ASSERT_TRUE(reg.OpenKey("Software\\Test", true));
    reg.WriteString("text", "12");
    EXPECT_EQ(RegErrorText([&] { reg.ReadInteger("text"); }), "Invalid data type for 'text'");
    EXPECT_EQ(RegErrorText([&] { reg.ReadInteger("none"); }), "Failed to get data for 'none'");
    reg.WriteInteger("n", 5);
    EXPECT_EQ(RegErrorText([&] { reg.ReadString("n"); }), "Invalid data type for 'n'");
    char small[1];
    reg.WriteBinaryData("b", QByteArray("ab"));
    EXPECT_EQ(RegErrorText([&] { reg.ReadBinaryData("b", small, 1); }), "Failed to get data for 'b'");
    EXPECT_EQ(RegErrorText([&] { reg.CreateKey("a\\\\b"); }), "Failed to create key a\\\\b");

    TRegistry ro;
    ASSERT_TRUE(ro.OpenKeyReadOnly("Software\\Test"));
    EXPECT_EQ(ro.ReadInteger("n"), 5);
    EXPECT_EQ(RegErrorText([&] { ro.WriteInteger("n", 6); }), "Failed to set data for 'n'");
    EXPECT_FALSE(ro.DeleteValue("n"));
    EXPECT_EQ(ro.ReadInteger("n"), 5);
}

TEST_F(Registry, RegIniFileStoresTextInSectionSubkeys)
{
    {
        TRegIniFile ini("Software\\RX\\Brelnova Studio");
        ini.WriteString("TAnimatorForm", "NormPos", "1,2,3,4");
        ini.WriteInteger("TAnimatorForm", "FormVersion", 0);
        ini.WriteBool("TAnimatorForm", "Visible", true);
        ini.WriteString("TAnimatorForm", "OpenDialog_InitialDir", "/home/u/pics");
        EXPECT_EQ(ini.CurrentPath(), "Software\\RX\\Brelnova Studio");
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("software\\rx\\brelnova studio\\tanimatorform", false));
    EXPECT_EQ(reg.GetDataType("FormVersion"), rdString);
    EXPECT_EQ(reg.ReadString("Visible"), "1");
    reg.WriteInteger("Dword", 77);
    reg.WriteString("Bad", "x1");

    TRegIniFile ini("Software\\RX\\Brelnova Studio");
    EXPECT_EQ(ini.ReadString("tanimatorform", "normpos", ""), "1,2,3,4");
    EXPECT_EQ(ini.ReadInteger("TAnimatorForm", "FormVersion", 9), 0);
    EXPECT_EQ(ini.ReadInteger("TAnimatorForm", "Dword", 9), 77);
    EXPECT_EQ(ini.ReadInteger("TAnimatorForm", "Bad", 9), 9);
    EXPECT_TRUE(ini.ReadBool("TAnimatorForm", "Visible", false));
    EXPECT_EQ(ini.ReadString("Nowhere", "NormPos", "def"), "def");
    EXPECT_FALSE(ini.KeyExists("Nowhere")); // reading did not create the section
    TStringList values;
    ini.ReadSectionValues("TAnimatorForm", &values);
    EXPECT_EQ(values.Values("OpenDialog_InitialDir"), "/home/u/pics");
    EXPECT_EQ(values.Values("Dword"), "77");
    ini.ReadSections(&values);
    EXPECT_EQ(values.ToStringList(), QStringList({"TAnimatorForm"}));
    ini.DeleteKey("TAnimatorForm", "Bad");
    EXPECT_FALSE(ini.ValueExists("TAnimatorForm", "Bad"));
    ini.EraseSection("TAnimatorForm");
    EXPECT_FALSE(ini.SectionExists("TAnimatorForm"));
    EXPECT_EQ(ini.CurrentPath(), "Software\\RX\\Brelnova Studio");
}
