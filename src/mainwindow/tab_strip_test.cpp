#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "framework/timer.h"
#include "mainwindow/document_windows.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/panel_art.h"
#include "mainwindow/testing_main_window.h"

namespace {

class TabStrip : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        main_ = new Ticonmain;
        main_->show();
    }

    TForm* OpenDocument(int n)
    {
        TForm* document = CreateDocumentWindow(QStringLiteral("iconview%1").arg(n), QStringLiteral("Project %1").arg(n));
        document->Show();
        main_->DocumentCounter = std::max(main_->DocumentCounter, n);
        return document;
    }
    // The tiles whose background is the highlighted picture.
    QList<int> Highlighted() const
    {
        const QImage highlighted = PanelPicture("imagebgbg");
        QList<int> found;
        for (int slot = 4; slot <= 27; ++slot)
            if (main_->Picture(QStringLiteral("iconbg%1").arg(slot)) == highlighted)
                found << slot;
        return found;
    }
    bool Shown(const char* name) const { return main_->FindComponent(name)->property("Visible").toBool(); }
    TTimer* Timer6() const { return qobject_cast<TTimer*>(main_->FindComponent("Timer6")); }
    int StripTop() const { return qobject_cast<TControl*>(main_->FindComponent("Panel1"))->Top(); }

    Ticonmain* main_ = nullptr;
};

} // namespace

TEST_F(TabStrip, TwentyFourTilesInTwoColumns)
{
    for (int n = 1; n <= 24; ++n) {
        ASSERT_TRUE(main_->HasDocumentTile(n)) << n;
        const TRect bg = main_->ControlBounds(QStringLiteral("iconbg%1").arg(n + 3));
        const TRect tile = main_->ControlBounds(QStringLiteral("icon%1").arg(n));
        EXPECT_EQ(bg.Top, (n - 1) / 2 * 48 + 1) << n;
        EXPECT_EQ(bg.Left < 50, n % 2 == 1) << n;
        EXPECT_TRUE(bg.Left <= tile.Left && tile.Right <= bg.Right && bg.Top <= tile.Top && tile.Bottom <= bg.Bottom) << n;
    }
    EXPECT_FALSE(main_->HasDocumentTile(25));
    EXPECT_EQ(main_->FindComponent("Panel1")->parent(), main_->FindComponent("Panel15"));
}

TEST_F(TabStrip, HighlightMarksOneTileOrNone)
{
    EXPECT_NE(PanelPicture("imagebgbg"), PanelPicture("Imageo15"));
    main_->HighlightDocumentTab(6);
    EXPECT_EQ(Highlighted(), QList<int>({6}));
    // The mouse-down of a tile highlights it before its click.
    {
        // Tile 7 has no document: the New command runs, and its dialog is cancelled.
        TDialogAnswererScope person([](TDialogRequest& r) {
            r.Result = mrCancel;
            return true;
        });
        ClickComponentByName(main_, "icon7");
    }
    main_->icon7MouseDown(nullptr, mbLeft, {}, 1, 1);
    EXPECT_EQ(Highlighted(), QList<int>({10}));
    // A document above 24 has no tile: nothing stays highlighted.
    main_->HighlightDocumentTab(28);
    EXPECT_TRUE(Highlighted().isEmpty());
}

TEST_F(TabStrip, ATileBringsItsDocumentOrStartsANewOne)
{
    QStringList boxes;
    TDialogAnswererScope answers([&](TDialogRequest& r) {
        boxes << r.Text;
        r.Result = IDOK;
        return true;
    });
    OpenDocument(1);
    OpenDocument(2);
    OpenDocument(3);
    delete FindForm("iconview2");
    main_->ActiveDocumentName = "iconview1";

    // The component is gone although the counter is 3: a new project, not a dead document.
    EXPECT_TRUE(ClickComponentByName(main_, "icon2"));
    EXPECT_EQ(main_->ActiveDocumentName, "iconview1");
    EXPECT_EQ(boxes.size(), 1);
    // The picture below the strip is tile 2.
    EXPECT_TRUE(ClickComponentByName(main_, "bgokbg"));
    EXPECT_EQ(boxes.size(), 2);
    // A tile above the counter starts a new project as well.
    EXPECT_TRUE(ClickComponentByName(main_, "icon9"));
    EXPECT_EQ(boxes.size(), 3);

    EXPECT_TRUE(ClickComponentByName(main_, "icon3"));
    EXPECT_EQ(main_->ActiveDocumentName, "iconview3");
    EXPECT_EQ(main_->ActiveDocumentNumber, 3);
    EXPECT_EQ(main_->FindComponent("projectcaption")->property("Caption").toString(), "Project 3");
    EXPECT_EQ(main_->ActiveMDIChild(), FindForm("iconview3"));
    EXPECT_TRUE(ClickComponentByName(main_, "iconbg4"));
    EXPECT_EQ(main_->ActiveDocumentName, "iconview1");
    EXPECT_EQ(main_->ActiveMDIChild(), FindForm("iconview1"));
}

TEST_F(TabStrip, ArrowsScrollTheStripAndStopAtTheEnds)
{
    main_->down_ok_listMouseDown(nullptr, mbLeft, {}, 1, 1);
    EXPECT_EQ(StripTop(), 0); // the first step comes with the first tick
    EXPECT_TRUE(Shown("down_down_list"));
    QList<int> tops;
    while (Timer6()->Enabled() && tops.size() < 20) {
        main_->Timer6Timer(nullptr);
        tops << StripTop();
    }
    EXPECT_EQ(tops, QList<int>({-47, -94, -141, -188, -235, -282, -288}));
    EXPECT_TRUE(Shown("down_ok_list"));

    main_->move_up_listMouseDown(nullptr, mbLeft, {}, 1, 1);
    main_->Timer6Timer(nullptr);
    EXPECT_EQ(StripTop(), -241);
    main_->move_ok_listMouseMove(nullptr, {}, 1, 1);
    EXPECT_FALSE(Timer6()->Enabled());
    EXPECT_TRUE(Shown("move_up_list"));
    EXPECT_FALSE(Shown("move_ok_list"));

    qobject_cast<TControl*>(main_->FindComponent("Panel1"))->SetTop(0);
    main_->move_ok_listMouseDown(nullptr, mbLeft, {}, 1, 1);
    main_->Timer6Timer(nullptr);
    EXPECT_EQ(StripTop(), 0);
    EXPECT_FALSE(Timer6()->Enabled());
}

TEST_F(TabStrip, TheRightPanelFoldsAndTheDocumentTakesItsRoom)
{
    TForm* document = OpenDocument(1);
    main_->ActiveDocumentName = "iconview1";
    const int before = document->Width();

    main_->move_ok_clickMouseMove(nullptr, {}, 1, 1);
    EXPECT_TRUE(Shown("move_ok_up"));
    EXPECT_FALSE(Shown("move_ok_click"));
    main_->move_ok_upMouseDown(nullptr, mbLeft, {}, 1, 1);
    EXPECT_FALSE(Shown("Panel4"));
    EXPECT_TRUE(Shown("Panel8"));
    EXPECT_TRUE(Shown("Image19"));
    const int folded = document->Width();
    EXPECT_GT(folded, before);

    main_->move_down_clickMouseMove(nullptr, {}, 1, 1);
    EXPECT_TRUE(Shown("Image20"));
    main_->move_down_upMouseDown(nullptr, mbLeft, {}, 1, 1);
    EXPECT_TRUE(Shown("Panel4"));
    EXPECT_TRUE(Shown("Panel9"));
    EXPECT_FALSE(Shown("Panel8"));
    EXPECT_TRUE(Shown("move_ok_click"));
    EXPECT_FALSE(Shown("move_ok_up"));
    EXPECT_EQ(document->Width(),
              main_->ControlBounds("Panel4").Left - main_->ControlBounds("Panel3").Width() + 4);
    EXPECT_LT(document->Width(), folded);
}

TEST_F(TabStrip, EveryControlOfThePanelsHasItsHandler)
{
    // Each picture or control a person can press or move over does something of its own.
    const struct {
        const char* Names;
        const char* Event;
    } bound[] = {
        {"up down Image43 Image42 coloredit bgokbg", "OnClick"},
        {"up down", "OnDblClick"},
        {"colorxp color256 color16 color1 move_ok move_up move_down down_ok down_up down_down", "OnMouseDown"},
        {"move_ok_list move_up_list move_down_list down_ok_list down_up_list down_down_list", "OnMouseDown"},
        {"move_ok_up Image20", "OnMouseDown"},
        {"colorxp color256 color16 color1 move_ok_click move_ok_up Image19 Image20 move_ok_list down_ok_list",
         "OnMouseMove"},
    };
    for (const auto& b : bound) {
        for (const QString& name : QString(b.Names).split(' ')) {
            auto* control = qobject_cast<TControl*>(main_->FindComponent(name));
            ASSERT_TRUE(control) << name.toStdString();
            const QString event = b.Event;
            const bool has = event == "OnClick"       ? bool(control->OnClick)
                             : event == "OnDblClick"  ? bool(control->OnDblClick)
                             : event == "OnMouseDown" ? bool(control->OnMouseDown)
                                                      : bool(control->OnMouseMove);
            EXPECT_TRUE(has) << name.toStdString() << " " << b.Event;
        }
    }
    for (int n = 1; n <= 24; ++n) {
        auto* tile = qobject_cast<TControl*>(main_->FindComponent(QStringLiteral("icon%1").arg(n)));
        auto* bg = qobject_cast<TControl*>(main_->FindComponent(QStringLiteral("iconbg%1").arg(n + 3)));
        EXPECT_TRUE(tile->OnClick && tile->OnMouseDown && bg->OnClick) << n;
    }
}
