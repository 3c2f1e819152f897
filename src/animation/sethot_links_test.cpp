#include "animation/sethot.h"

#include "mainwindow/testing_main_window.h"
#include "mainwindow/web_window.h"

#include <QDesktopServices>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

using HotSpotLinks = MainWindowTest;

// The four links of the hot-spot dialog's sample page open the maker's pages in the program's
// web window, none in the desktop's browser, and none goes into the address list.
TEST_F(HotSpotLinks, OpenInTheProgramsWebWindow)
{
    // A text browser stands in for the desktop's browser: its source is the last address it got.
    QTextBrowser desktop;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &desktop, "setSource");
    QStringList web;
    SetWebWindowOpener([&web](const QString& url, bool addToList) { web << url + (addToList ? " listed" : ""); });

    Tsethot* dialog = HotSpotDialog();
    dialog->Show();
    for (const char* name : {"URLLabel1", "URLLabel2", "URLLabel3", "URLLabel4"}) {
        auto* link = qobject_cast<QWidget*>(dialog->FindComponent(QLatin1String(name)));
        ASSERT_TRUE(link) << name;
        QTest::mouseClick(link, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    }
    EXPECT_EQ(web, QStringList({"http://www.brelnova.com/", "http://www.brelnova.com/icons.htm",
                                "http://www.brelnova.com/support.htm", "http://www.brelnova.com/download.htm"}));
    EXPECT_TRUE(desktop.source().isEmpty()) << desktop.source().toString().toStdString();

    SetWebWindowOpener(nullptr);
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}
