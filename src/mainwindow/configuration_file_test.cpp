#include "mainwindow/configuration_file.h"

#include "document/testing_editor_state.h"
#include "platform/program_paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A program folder of its own with a "data" folder, and optionally a configuration file.
class ConfigurationFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        QDir(dir_.path()).mkpath("data");
        SetProgramFolder(dir_.path());
    }
    void TearDown() override { SetProgramFolder(QString()); }

    void Write(const QByteArray& text)
    {
        QFile f(dir_.path() + "/data/rozazuvidodiro.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray Contents() const
    {
        QFile f(dir_.path() + "/data/rozazuvidodiro.ini");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
};

} // namespace

TEST_F(ConfigurationFile, NoFileGivesEveryDefault)
{
    TTestingEditorState state;
    state.NewImageWidth = state.NewImageHeight = 0;
    state.NewImageKind.clear();
    state.Edits.clear();
    LoadEditColors(state);
    LoadEditorDefaults(state);
    EXPECT_EQ(state.NewImageWidth, 48);
    EXPECT_EQ(state.NewImageHeight, 48);
    EXPECT_EQ(state.NewImageKind, "XP");
    const QHash<QString, QString> edits{{"upa", "255"}, {"upr", "0"}, {"upg", "0"}, {"upb", "0"},
                                        {"downa", "255"}, {"downr", "255"}, {"downg", "255"}, {"downb", "255"}};
    EXPECT_EQ(state.Edits, edits);
    EXPECT_EQ(state.GridColor1, 0xFF8E8C8Cu);
    EXPECT_EQ(state.GridColor2, 0xFFC0C0C0u);
    EXPECT_EQ(state.SelectionColor, 0xFF000000u);
    EXPECT_TRUE(ReadOpenHistory().isEmpty());
    EXPECT_EQ(ReadStartupUpdateCheck(), TStartupUpdateCheck::Silent);
    EXPECT_FALSE(QFile::exists(dir_.path() + "/data/rozazuvidodiro.ini"));
}

TEST_F(ConfigurationFile, NewImageSideFallsBackOutsideOneTo255)
{
    const struct {
        const char* Value;
        int Side;
    } cases[] = {
        {"255", 255}, {"300", 48}, {"256", 48}, {"1", 1}, {"0", 48}, {"-5", 48},
        {"abc", 48},  {"12.5", 48}, {" 32 ", 32}, {"no", 48}, {"", 48},
    };
    for (const auto& c : cases) {
        Write(QByteArray("[default]\nx=") + c.Value + "\ny=" + c.Value + "\n");
        EXPECT_EQ(ReadNewImageSide("x"), c.Side) << c.Value;
        EXPECT_EQ(ReadNewImageSide("y"), c.Side) << c.Value;
    }
}

TEST_F(ConfigurationFile, ValuesAreReadAndBadOnesTakeTheirDefaults)
{
    Write("[default]\nx=32\ny=16\ncolor=Gray\nmovecolor1=clRed\nmovecolor2=$FF102030\nmovecolor3=junk\n"
          "[up_color]\na=128\nr=300\ng=-1\nb=abc\n"
          "[down_color]\na=no\nr=7\n");
    TTestingEditorState state;
    LoadEditColors(state);
    LoadEditorDefaults(state);
    EXPECT_EQ(state.NewImageWidth, 32);
    EXPECT_EQ(state.NewImageHeight, 16);
    EXPECT_EQ(state.NewImageKind, "Gray"); // the kind is taken as it stands
    EXPECT_EQ(state.GridColor1, 0xFFFF0000u); // a colour name is that colour, opaque
    EXPECT_EQ(state.GridColor2, 0xFF102030u);
    EXPECT_EQ(state.SelectionColor, 0xFF000000u); // unreadable: keeps its default
    EXPECT_EQ(state.Edits["upa"], "128");
    EXPECT_EQ(state.Edits["upr"], "255");
    EXPECT_EQ(state.Edits["upg"], "0");
    EXPECT_EQ(state.Edits["upb"], "0");
    EXPECT_EQ(state.Edits["downa"], "255"); // "no" means missing
    EXPECT_EQ(state.Edits["downr"], "7");
    EXPECT_EQ(state.Edits["downg"], "255");
}

TEST_F(ConfigurationFile, ColourTexts)
{
    const struct {
        const char* Text;
        bool Ok;
        uint32_t Color;
    } cases[] = {
        {"clBlack", true, 0x000000}, {"clwhite", true, 0xFFFFFF}, {"clBtnFace", true, 0xFF00000F},
        {"$FF8E8C8C", true, 0xFF8E8C8C}, {"0x00FF00", true, 0x00FF00}, {"255", true, 255},
        {"-16777201", true, 0xFF00000F}, {"clNoSuch", false, 0}, {"$XYZ", false, 0}, {"", false, 0},
    };
    for (const auto& c : cases) {
        uint32_t color = 0;
        EXPECT_EQ(TryStringToColor(c.Text, color), c.Ok) << c.Text;
        if (c.Ok)
            EXPECT_EQ(color, c.Color) << c.Text;
    }
}

TEST_F(ConfigurationFile, OpenHistoryGrowsByOneKeyPerFile)
{
    AppendOpenHistory("/pics/a.ico");
    AppendOpenHistory("/pics/b.ico");
    AppendOpenHistory("/pics/c.ico");
    EXPECT_EQ(ReadConfiguration("useropenfile", "filenum"), "3");
    EXPECT_EQ(ReadConfiguration("useropenfile", "filename1"), "/pics/a.ico");
    EXPECT_EQ(ReadConfiguration("useropenfile", "filename3"), "/pics/c.ico");
    EXPECT_EQ(ReadOpenHistory(), QStringList({"/pics/a.ico", "/pics/b.ico", "/pics/c.ico"}));

    // A damaged count neither hangs the reader nor invents entries.
    Write("[useropenfile]\nfilenum=2000000000\nfilename1=/x.ico\nfilename2=/y.ico\n");
    EXPECT_EQ(ReadOpenHistory(), QStringList({"/x.ico", "/y.ico"}));
    Write("[useropenfile]\nfilenum=many\nfilename1=/x.ico\n");
    EXPECT_TRUE(ReadOpenHistory().isEmpty());
    AppendOpenHistory("/z.ico");
    EXPECT_EQ(ReadOpenHistory(), QStringList({"/z.ico"}));
}

TEST_F(ConfigurationFile, UpdateCheckSwitch)
{
    const struct {
        const char* Line;
        TStartupUpdateCheck Check;
    } cases[] = {
        {"", TStartupUpdateCheck::Silent},
        {"openorclose=no\n", TStartupUpdateCheck::Silent},
        {"openorclose=open\n", TStartupUpdateCheck::WithWindow},
        {"openorclose=close\n", TStartupUpdateCheck::None},
        {"openorclose=sometimes\n", TStartupUpdateCheck::None},
    };
    for (const auto& c : cases) {
        Write(QByteArray("[liveupdate]\n") + c.Line);
        EXPECT_EQ(ReadStartupUpdateCheck(), c.Check) << c.Line;
    }
}

TEST_F(ConfigurationFile, ReadOnlyInstallationWritesTheUsersCopy)
{
    Write("[default]\nx=32\n");
    QTemporaryDir data;
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    SetProgramFolder(dir_.path(), true);
    EXPECT_TRUE(ConfigurationFileName().startsWith(UserDataFolder()));
    EXPECT_EQ(ReadNewImageSide("x"), 32); // starts from the shipped file
    WriteConfiguration("default", "x", "16");
    EXPECT_EQ(ReadNewImageSide("x"), 16);
    EXPECT_EQ(Contents(), QByteArray("[default]\nx=32\n")); // the installation is left alone
    qputenv("XDG_DATA_HOME", oldData);
}
