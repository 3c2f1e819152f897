#include "skin/file_theme.h"

#include "framework/exceptions.h"
#include "platform/program_paths.h"
#include "skin/skin_builder_testing.h"
#include "skin/theme_file_reader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace ThemeItem;

class FileThemeTest : public ::testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    static QByteArray Skin(int32_t minWidth, uint8_t transparent = 1)
    {
        SkinBuilder b;
        b.AddInt("FormMinWidthInt", minWidth).AddInt("FormBorderColor", 0x00123456).AddBool("ButtonTransparentBool", transparent);
        return b.Build();
    }
    void TearDown() override { SetProgramFolder(QString()); }

    QTemporaryDir dir;
    TsuiFileTheme theme{nullptr};
};

TEST_F(FileThemeTest, NoFileGivesNothing)
{
    EXPECT_FALSE(theme.IsLoaded());
    EXPECT_EQ(theme.GetInteger(FormMinWidthInt), 0);
    EXPECT_EQ(theme.GetColor(FormBorderColor), 0u);
    EXPECT_FALSE(theme.GetBool(ButtonTransparentBool));
}

TEST_F(FileThemeTest, LoadsValuesAndMissingItemsGiveMinusOne)
{
    const QString path = Write("a.sui", Skin(222));
    theme.SetThemeFile(path);
    EXPECT_TRUE(theme.IsLoaded());
    EXPECT_EQ(theme.ThemeFile(), path);
    EXPECT_EQ(theme.GetInteger(FormMinWidthInt), 222);
    EXPECT_EQ(theme.GetColor(FormBorderColor), 0x00123456u);
    EXPECT_TRUE(theme.GetBool(ButtonTransparentBool));
    EXPECT_EQ(theme.GetInteger(FormRoundCornerInt), -1);
    EXPECT_EQ(theme.GetColor(MenuBarColor), 0xFFFFFFFFu);
    EXPECT_FALSE(theme.GetBool(TitleBarButtonTransparentBool));
    EXPECT_EQ(theme.GetInteger(0), -1);
}

TEST_F(FileThemeTest, SameTextDoesNothingOtherSpellingReloads)
{
    const QString path = Write("a.sui", Skin(100));
    theme.SetThemeFile(path);
    Write("a.sui", Skin(200));
    theme.SetThemeFile(path);
    EXPECT_EQ(theme.GetInteger(FormMinWidthInt), 100);
    const QString other = dir.path() + "/./a.sui";
    theme.SetThemeFile(other);
    EXPECT_EQ(theme.GetInteger(FormMinWidthInt), 200);
    EXPECT_EQ(theme.ThemeFile(), other);
}

TEST_F(FileThemeTest, NamesThatFindNoFileAreIgnored)
{
    const QString path = Write("a.sui", Skin(100));
    theme.SetThemeFile(path);
    for (const QString& name : {QString(), QString("nowhere.sui"), dir.filePath("missing.sui"), dir.path()}) {
        theme.SetThemeFile(name);
        EXPECT_EQ(theme.ThemeFile(), path);
        EXPECT_TRUE(theme.IsLoaded());
        EXPECT_EQ(theme.GetInteger(FormMinWidthInt), 100);
    }
}

TEST_F(FileThemeTest, BareNameIsFoundInTheProgramFolderButNotInSuk)
{
    SetProgramFolder(dir.path());
    Write("suk/only_in_suk.sui", Skin(1));
    Write("beside.sui", Skin(2));
    theme.SetThemeFile("only_in_suk.sui");
    EXPECT_FALSE(theme.IsLoaded());
    theme.SetThemeFile("beside.sui");
    EXPECT_TRUE(theme.IsLoaded());
    EXPECT_EQ(theme.ThemeFile(), QDir(dir.path()).filePath("beside.sui"));
    // The system's own spelling of a file beside the program.
    theme.SetThemeFile("suk\\only_in_suk.sui");
    EXPECT_EQ(theme.GetInteger(FormMinWidthInt), 1);
}

TEST_F(FileThemeTest, BadFilesRaiseAndKeepTheLoadedSkin)
{
    const QString good = Write("good.sui", Skin(100));
    theme.SetThemeFile(good);

    QByteArray noMagic = Skin(5);
    noMagic[0] = 'X';
    SkinBuilder loop;
    loop.AddInt("FormMinWidthInt", 5).AddInt("FormBorderColor", 1);
    loop.Records[1].Next = 24;
    SkinBuilder wideInt;
    wideInt.AddInt("FormMinWidthInt", 5);
    wideInt.Records[0].DataSize = 64;
    for (const QByteArray& bad : {noMagic, loop.Build(), wideInt.Build()}) {
        const QString path = Write("bad.sui", bad);
        try {
            theme.SetThemeFile(path);
            ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), QString(InvalidSkinFileText));
        }
        EXPECT_EQ(theme.ThemeFile(), good);
        EXPECT_TRUE(theme.IsLoaded());
        EXPECT_EQ(theme.GetInteger(FormMinWidthInt), 100);
        QFile::remove(path);
    }
}

TEST(UsingFileTheme, DecidesBetweenFileAndBuiltinStyle)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("s.sui");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(SkinBuilder().Build());
    f.close();
    TsuiFileTheme loaded(nullptr);
    loaded.SetThemeFile(path);
    TsuiFileTheme empty(nullptr);

    struct Case {
        const TsuiFileTheme* File;
        int Style;
        bool UseFile;
        TsuiUIStyle Effective;
    };
    const Case cases[] = {
        {&loaded, FromThemeFile, true, FromThemeFile},
        {&empty, FromThemeFile, false, DeepBlue},
        {nullptr, FromThemeFile, false, DeepBlue},
        {&loaded, WinXP, false, WinXP},
        {nullptr, BlueGlass, false, BlueGlass},
    };
    for (const Case& c : cases) {
        TsuiUIStyle eff = MacOS;
        EXPECT_EQ(TsuiFileTheme::UsingFileTheme(c.File, c.Style, eff), c.UseFile) << c.Style;
        EXPECT_EQ(eff, c.Effective) << c.Style;
    }
}

} // namespace
