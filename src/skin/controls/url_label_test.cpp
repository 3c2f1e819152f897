#include "skin/controls/url_label.h"

#include "framework/forms.h"
#include "skin/skin_testing.h"

#include <QDesktopServices>
#include <QUrl>
#include <gtest/gtest.h>

using namespace SkinTest;

namespace {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened << url; }
};

} // namespace

TEST(SuiURLLabel, OpensTheLinkThenClicksAndChangesColourUnderTheMouse)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "Open");
    TForm form;
    auto* l = new TsuiURLLabel(&form);
    l->SetParent(&form);
    int clicks = 0;
    l->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_EQ(l->Font()->Color(), clBlue);
    EXPECT_TRUE(l->Font()->Style() & fsUnderline);
    EXPECT_EQ(l->Cursor(), crHandPoint);

    l->SetURL("  https://example.org/brelnova  ");
    Click(l, {2, 2});
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0].toString(), QStringLiteral("https://example.org/brelnova"));
    EXPECT_EQ(clicks, 1);
    for (const char* blank : {"", "   "}) {
        l->SetURL(blank);
        Click(l, {2, 2});
    }
    EXPECT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(clicks, 3);

    Enter(l);
    EXPECT_EQ(l->Font()->Color(), clRed);
    Leave(l);
    EXPECT_EQ(l->Font()->Color(), clBlue);
    l->SetFontLinkColor(clGreen);
    EXPECT_EQ(l->Font()->Color(), clGreen);
    QDesktopServices::unsetUrlHandler("https");
}

#include "url_label_test.moc"
