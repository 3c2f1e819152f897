#include "platform/help_viewer.h"
#include "platform/program_paths.h"
#include "testsupport/testdata.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

class HelpViewer : public ::testing::Test {
protected:
    QTemporaryDir dir;
    void SetUp() override
    {
        SetProgramFolder(dir.path());
        QDir(dir.path()).mkpath("help");
        for (const char* page : {"help/index.htm", "help/2_1.htm", "help/3_1.htm"}) {
            QFile f(dir.filePath(page));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("<html><a href=\"2_1.htm\">Basics</a></html>");
        }
        QFile outside(dir.filePath("secret.htm"));
        ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
    }
    void TearDown() override
    {
        HtmlHelp(nullptr, QString(), HH_CLOSE_ALL, 0);
        SetProgramFolder(QString());
    }
};

TEST_F(HelpViewer, HelpPathsMapToPagesOfTheHelpFolder)
{
    const QString file = ProgramFolder() + "dodozizozodazo.zed";
    const QString folder = ProgramFolder() + "help/";
    struct Case {
        QString path;
        const char* page;
        const char* anchor;
        const char* window;
    } cases[] = {
        {file + "::/2_1.htm", "2_1.htm", "", ""},
        {file + "::/3_1.htm#15", "3_1.htm", "15", ""},
        {file + "::/2_1.htm#FiltersMenu>main", "2_1.htm", "FiltersMenu", "main"},
        {file, "index.htm", "", ""},
        {file + ">main", "index.htm", "", "main"},
        {file + "::/7_1.htm#x", "index.htm", "", ""},     // a missing topic: the contents
        {file + "::/../secret.htm", "index.htm", "", ""}, // never a page outside the folder
        {file + "::/", "index.htm", "", ""},
        // The program folder spelled Windows-style, with the doubled separator of one caller.
        {ProgramFolder() + "\\dodozizozodazo.zed::/2_1.htm", "2_1.htm", "", ""},
    };
    for (const Case& c : cases) {
        const HelpLocation where = MapHelpPath(c.path);
        EXPECT_EQ(where.Folder, folder) << c.path.toStdString();
        EXPECT_EQ(where.Page, c.page) << c.path.toStdString();
        EXPECT_EQ(where.Anchor, c.anchor) << c.path.toStdString();
        EXPECT_EQ(where.Window, c.window) << c.path.toStdString();
    }
}

TEST_F(HelpViewer, ShowsTheTopicInOneWindowAndFailsWithoutHelpPages)
{
    QWidget* w = HtmlHelp(nullptr, ProgramFolder() + "dodozizozodazo.zed::/3_1.htm#15", HH_DISPLAY_TOC, 0);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(HelpWindowPage(), "3_1.htm#15");
    EXPECT_EQ(HtmlHelp(nullptr, ProgramFolder() + "dodozizozodazo.zed::/2_1.htm", HH_DISPLAY_TOPIC, 0), w);
    EXPECT_EQ(HelpWindowPage(), "2_1.htm");

    errno = 0;
    EXPECT_EQ(HtmlHelp(nullptr, dir.filePath("nowhere/x.zed::/2_1.htm"), HH_DISPLAY_TOC, 0), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(HtmlHelp(nullptr, ProgramFolder() + "dodozizozodazo.zed", 0x99, 0), nullptr);
    EXPECT_EQ(errno, EINVAL);
}

// The pages the windows open exist in the shipped help, with their anchors, and every page is
// listed on the contents page.
TEST(HelpPages, TheShippedHelpHoldsEveryTopicTheWindowsOpen)
{
    const QString folder = TestDataPath("../assets/help/");
    const QString contents = QString::fromUtf8(ReadTestData("../assets/help/index.htm"));
    struct Topic {
        const char* page;
        const char* anchor;
    } topics[] = {{"2_1.htm", ""}, {"2_1.htm", "new"}, {"2_1.htm", "Text"}, {"2_1.htm", "FiltersMenu"},
                  {"3_1.htm", "15"}, {"6_1.htm", ""}, {"8_1.htm", ""}, {"9_1.htm", ""}};
    for (const Topic& t : topics) {
        const QString html = QString::fromUtf8(ReadTestData(QString("../assets/help/") + t.page));
        EXPECT_TRUE(contents.contains(QString("href=\"%1\"").arg(t.page))) << t.page;
        if (*t.anchor) {
            EXPECT_TRUE(html.contains(QRegularExpression(QString("(name|id)=\"%1\"").arg(t.anchor)))) << t.page << "#" << t.anchor;
        }
    }
}

} // namespace
