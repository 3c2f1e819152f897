#include "framework/commands.h"
#include "mainwindow/testing_recording_document.h"
#include "mainwindow/xyset.h"
#include "skin/file_theme.h"
#include "skin/form.h"
#include "skin/theme_manager.h"
#include "testsupport/testdata.h"

#include <QFile>

namespace {

class Skins : public MainWindowWithDocument {
protected:
    void SetUp() override
    {
        MainWindowWithDocument::SetUp();
        QDir(dir_.path()).mkpath("suk");
        ASSERT_TRUE(QFile::copy(TestDataPath("../assets/suk/ziroz.sui"), QDir(dir_.path()).filePath("suk/ziroz.sui")));
        third = std::make_unique<TRecordingDocument>("iconview3");
        main->DocumentCounter = 3; // document 2 was closed
        dialog = new Txyset(nullptr);
    }
    void TearDown() override
    {
        third.reset();
        MainWindowWithDocument::TearDown();
    }
    static int Style(TForm* form)
    {
        return int(qobject_cast<TsuiThemeManager*>(form->FindComponent("suiThemeManager1"))->UIStyle());
    }
    static QString File(TForm* form)
    {
        return qobject_cast<TsuiFileTheme*>(form->FindComponent("suiFileTheme1"))->ThemeFile();
    }

    std::unique_ptr<TRecordingDocument> third;
    Txyset* dialog = nullptr;
};

} // namespace

TEST_F(Skins, AStyleReachesEveryOpenWindowAndEveryDocument)
{
    const struct {
        const char* Item;
        int Style;
    } rows[] = {{"MacOS1", 1}, {"WinXP1", 2}, {"DeepBlue1", 3}, {"Proteim1", 4}, {"BlueGlass1", 5}};
    for (const auto& row : rows) {
        ClickComponentByName(main, row.Item);
        EXPECT_EQ(main->SkinStyle, row.Style) << row.Item;
        EXPECT_EQ(Style(main), row.Style) << row.Item;
        EXPECT_EQ(Style(dialog), row.Style) << row.Item;
        EXPECT_EQ(document->Take(), QStringList{"BitBtn19"}) << row.Item;
        EXPECT_EQ(third->Take(), QStringList{"BitBtn19"}) << row.Item;
    }
    // A window made afterwards takes the style when it is shown.
    delete dialog;
    Txyset later;
    later.FormShow(&later);
    EXPECT_EQ(Style(&later), 5);
    EXPECT_TRUE(requests.isEmpty());
}

TEST_F(Skins, RestoreDefaultLoadsTheShippedSkinFileEverywhere)
{
    ClickComponentByName(main, "DeepBlue1");
    document->Take();
    ClickComponentByName(main, "RestoreDefault1");
    EXPECT_EQ(main->SkinStyle, 0);
    EXPECT_TRUE(main->SkinFileName.endsWith("suk\\ziroz.sui"));
    EXPECT_EQ(File(main), LocalPath(main->SkinFileName));
    EXPECT_EQ(File(dialog), LocalPath(main->SkinFileName));
    EXPECT_EQ(Style(dialog), 0);
    EXPECT_EQ(document->Take(), QStringList{"BitBtn19"});
    EXPECT_FALSE(main->isMinimized());
}

TEST_F(Skins, ABrokenSkinFileReachesNoWindowAndTheProgramComesBack)
{
    ClickComponentByName(main, "Proteim1");
    document->Take();
    third->Take();
    const QString before = File(dialog);
    QFile bad(QDir(dir_.path()).filePath("suk/bad.sui"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a skin at all");
    bad.close();
    main->SkinFileName = QDir(dir_.path()).filePath("suk/bad.sui");

    EXPECT_THROW(main->ApplySkin(5), Exception);
    EXPECT_FALSE(main->isMinimized());
    EXPECT_EQ(main->SkinStyle, 4);
    EXPECT_EQ(Style(main), 4);
    EXPECT_EQ(Style(dialog), 4);
    EXPECT_EQ(File(dialog), before);
    EXPECT_TRUE(document->Take().isEmpty());
    EXPECT_TRUE(third->Take().isEmpty());
}

TEST_F(Skins, TileAlternatesVerticalAndHorizontal)
{
    ClickComponentByName(main, "Tile1");
    EXPECT_EQ(main->TileMode(), tbVertical);
    ClickComponentByName(main, "Tile1");
    EXPECT_EQ(main->TileMode(), tbHorizontal);
    ClickComponentByName(main, "Cascade1");
    EXPECT_TRUE(requests.isEmpty());
}

TEST_F(Skins, TheFrameOfEveryWindowTakesTheStyleWhateverItsManagerLists)
{
    // One window without a theme manager, one whose manager lists nothing.
    auto* bare = new TForm(nullptr);
    bare->setObjectName("bare");
    auto* frame = new TsuiForm(bare);
    frame->setObjectName("suiForm1");
    auto* listed = new TForm(nullptr);
    listed->setObjectName("listed");
    auto* listedFrame = new TsuiForm(listed);
    listedFrame->setObjectName("suiForm1");
    (new TsuiThemeManager(listed))->setObjectName("suiThemeManager1");
    const struct {
        const char* Item;
        TsuiUIStyle Style;
    } rows[] = {{"DeepBlue1", DeepBlue}, {"MacOS1", MacOS}, {"RestoreDefault1", FromThemeFile}};
    for (const auto& row : rows) {
        ClickComponentByName(main, row.Item);
        EXPECT_EQ(frame->UIStyle(), row.Style) << row.Item;
        EXPECT_EQ(listedFrame->UIStyle(), row.Style) << row.Item;
    }
    EXPECT_TRUE(requests.isEmpty());
}
