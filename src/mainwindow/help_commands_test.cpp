#include "mainwindow/otherpage.h"

#include "framework/commands.h"
#include "framework/image.h"
#include "framework/label.h"
#include "mainwindow/testing_recording_document.h"
#include "mainwindow/web_window.h"
#include "skin/controls/page_control.h"

#include <QFontMetrics>

namespace {

class HelpLinks : public MainWindowWithDocument {
protected:
    void SetUp() override
    {
        MainWindowWithDocument::SetUp();
        SetWebWindowOpener([this](const QString& url, bool addToList) { opened << Opened{url, addToList}; });
    }
    void TearDown() override
    {
        SetWebWindowOpener(nullptr);
        MainWindowWithDocument::TearDown();
    }
    struct Opened {
        QString Url;
        bool Listed;
        bool operator==(const Opened&) const = default;
    };
    QList<Opened> opened;
};

} // namespace

// Each web item of the Help menu opens its own page of the maker in the web window; of the
// sites only the downloads go into the address list, every support page and the customer area
// do.
TEST_F(HelpLinks, EachWebItemOpensItsPageListedOnlyWhereItShouldBe)
{
    const struct {
        const char* Item;
        bool Listed;
        const char* Ends;
    } rows[] = {
        {"BrelnovaHomepage1", false, "brelnova.com/"},
        {"BrelnovaIconStudio1", false, "/"},
        {"BrelnovaGifStudio1", false, "/"},
        {"BrelnovaCursorStudio1", false, "/"},
        {"BrelnovaScreenStudio1", false, "/"},
        {"BrelnovaDownloads1", true, "/"},
        {"UpdatePage1", true, "brelnova.com/update.htm"},
        {"UpgradePage1", true, "brelnova.com/upgrade.htm"},
        {"BugReportandFeedback1", true, "brelnova.com/feedback.htm"},
        {"FAQPage1", true, "brelnova.com/faq.htm"},
        {"BrelnovaCustomerAdminArea1", true, "/"},
    };
    QStringList addresses;
    for (const auto& row : rows) {
        opened.clear();
        ASSERT_TRUE(ClickComponentByName(main, row.Item)) << row.Item;
        ASSERT_EQ(opened.size(), 1) << row.Item;
        EXPECT_EQ(opened[0].Listed, row.Listed) << row.Item;
        EXPECT_TRUE(opened[0].Url.startsWith("http://www.brelnova.") && opened[0].Url.endsWith(row.Ends))
            << row.Item << " " << opened[0].Url.toStdString();
        addresses << opened[0].Url;
    }
    EXPECT_EQ(addresses.removeDuplicates(), 0) << addresses.join(", ").toStdString();
    // The customer area is the root of the maker's second site.
    EXPECT_FALSE(addresses.last().startsWith("http://www.brelnova.com"));
    EXPECT_TRUE(requests.isEmpty()) << requests.join('\n').toStdString();

    // Without the program's browser window the stand-in gets the page.
    SetWebWindowOpener(nullptr);
    ASSERT_TRUE(ClickComponentByName(main, "FAQPage1"));
    ASSERT_TRUE(brelnovaforum);
    EXPECT_EQ(brelnovaforum->WebBrowser1->LocationURL(), addresses[9]);
}

TEST_F(HelpLinks, OtherProductsShowsFourProductsWhoseLinksOpenTheirPagesUnlisted)
{
    QStringList modal;
    TDialogAnswererScope person([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkForm)
            modal << r.Dialog->objectName();
        requests << r.Text;
        r.Result = mrOk;
        return true;
    });
    ASSERT_TRUE(ClickComponentByName(main, "OtherProducts1"));
    EXPECT_EQ(modal, QStringList{"otherpage"}) << requests.join("\n").toStdString();
    ASSERT_TRUE(otherpage);
    Totherpage* page = otherpage;
    ASSERT_TRUE(ClickComponentByName(main, "OtherProducts1"));
    EXPECT_EQ(otherpage, page) << "the page is kept";
    EXPECT_EQ(page->FormStyle(), fsStayOnTop);
    EXPECT_EQ(CommandsWithoutHandler(page), QStringList());

    // Four tabs, each with its product's picture, name and a description that shows whole.
    page->Show();
    auto* tabs = qobject_cast<TsuiPageControl*>(page->FindComponent("suiPageControl1"));
    ASSERT_TRUE(tabs);
    ASSERT_EQ(tabs->PageCount(), 4);
    const char* const descriptions[] = {"Label2", "Label4", "Label8", "Label16"};
    QStringList captions;
    for (int i = 0; i < 4; ++i) {
        captions << tabs->Pages(i)->Caption();
        tabs->SelectPage(i);
        auto* image = qobject_cast<TImage*>(page->FindComponent(QStringLiteral("Image%1").arg(i + 1)));
        ASSERT_TRUE(image && image->isVisible()) << i;
        const QImage picture = image->grab().toImage();
        EXPECT_EQ(picture.size(), QSize(128, 128)) << i;
        EXPECT_NE(picture.pixel(64, 64), picture.pixel(2, 2)) << i;
        auto* text = qobject_cast<TLabel*>(page->FindComponent(descriptions[i]));
        ASSERT_TRUE(text) << descriptions[i];
        const QRect needed = QFontMetrics(text->font()).boundingRect(QRect(0, 0, text->Width(), 10000),
                                                                      Qt::TextWordWrap, text->Caption());
        EXPECT_LE(needed.height(), text->Height()) << descriptions[i];
    }
    EXPECT_EQ(captions, QStringList({"GIF Studio", "Cursor Studio", "Screen Studio", "Icon Studio"}));

    // The "More..." links: the hand-point cursor, and the product's page in the web window,
    // the same page its Help menu item opens, left out of the address list.
    const struct {
        const char* Link;
        const char* HelpItem;
    } links[] = {{"Label7", "BrelnovaGifStudio1"},
                 {"Label10", "BrelnovaCursorStudio1"},
                 {"Label13", "BrelnovaScreenStudio1"},
                 {"Label15", "BrelnovaIconStudio1"}};
    for (const auto& l : links) {
        auto* label = qobject_cast<TLabel*>(page->FindComponent(l.Link));
        ASSERT_TRUE(label) << l.Link;
        EXPECT_EQ(label->Caption(), "More...");
        EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor) << l.Link;
        opened.clear();
        ClickComponent(label);
        EXPECT_EQ(opened, QList<Opened>({{FindMakerLink(l.HelpItem)->Address, false}})) << l.Link;
    }
    ClickComponentByName(page, "suiButton1");
    EXPECT_FALSE(page->isVisible());
}
