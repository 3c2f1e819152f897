#include "skin/controls/page_control.h"
#include "skin/controls/tab_control.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/edit.h"
#include "framework/forms.h"
#include "framework/string_list.h"
#include "skin/controls/skin_entry_classes.h"
#include "skin/skin_testing.h"
#include "skin/theme_pictures.h"

#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

constexpr TsuiUIStyle AllStyles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};

int CaptionWidth(TControl* c, const QString& text)
{
    TBitmap b(10, 10);
    b.Canvas()->Font()->Assign(c->Font());
    return b.Canvas()->TextWidth(text);
}

struct TabForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    TsuiTabControl* tabs;
    QStringList log;
    explicit TabForm(const QStringList& captions, TsuiUIStyle style = DeepBlue, int width = 300)
    {
        form->SetBounds(0, 0, 400, 300);
        tabs = new TsuiTabControl(form.get());
        tabs->SetParent(form.get());
        tabs->SetBounds(0, 0, width, 120);
        tabs->SetUIStyle(style);
        tabs->SetTabList(captions);
        tabs->OnTabActive = [this](TObject*, int i) { log << QStringLiteral("active %1").arg(i); };
        tabs->OnChange = [this](TObject*) { log << QStringLiteral("change"); };
    }
    void ClickTab(int index)
    {
        const TRect r = tabs->Strip()->TabRect(index);
        Press(tabs->Strip(), {r.Left + r.Width() / 2, r.Height() / 2});
        Release(tabs->Strip(), {r.Left + r.Width() / 2, r.Height() / 2});
    }
};

struct PageForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    TsuiPageControl* pc;
    QList<TsuiTabSheet*> pages;
    QStringList log;
    explicit PageForm(int count)
    {
        form->SetBounds(0, 0, 400, 300);
        pc = new TsuiPageControl(form.get());
        pc->SetParent(form.get());
        pc->SetBounds(0, 0, 300, 200);
        for (int i = 0; i < count; ++i) {
            auto* p = new TsuiTabSheet(form.get());
            p->setObjectName(QStringLiteral("Page%1").arg(i));
            p->SetPageControl(pc);
            p->SetCaption(QStringLiteral("Page %1").arg(i));
            p->OnShow = [this, i](TObject*) { log << QStringLiteral("show %1").arg(i); };
            p->OnHide = [this, i](TObject*) { log << QStringLiteral("hide %1").arg(i); };
            pages << p;
        }
        pc->OnChanging = [this](TObject*, bool&) { log << QStringLiteral("changing"); };
        pc->OnTabActive = [this](TObject*, int i) { log << QStringLiteral("active %1").arg(i); };
        pc->OnChange = [this](TObject*) { log << QStringLiteral("change"); };
    }
    void ClickTab(int index)
    {
        const TRect r = pc->Strip()->TabRect(index);
        ASSERT_GT(r.Width(), 0);
        Press(pc->Strip(), {r.Left + r.Width() / 2, r.Height() / 2});
        Release(pc->Strip(), {r.Left + r.Width() / 2, r.Height() / 2});
    }
};

} // namespace

TEST(SuiTabControl, StyleSizesTheStripAndColoursTheControl)
{
    for (TsuiUIStyle style : AllStyles) {
        TabForm f({"One"}, style);
        TBitmap tab, bar;
        LoadBuiltinThemeImage(style, ThemeItem::TabControlTabImage, &tab);
        LoadBuiltinThemeImage(style, ThemeItem::TabControlBarImage, &bar);
        TsuiTabControlTopPanel* strip = f.tabs->Strip();
        EXPECT_EQ(strip->Height(), tab.Height() + bar.Height()) << int(style);
        EXPECT_EQ(strip->Width(), 300);
        EXPECT_EQ(f.tabs->Color(), style == WinXP ? clWhite : GetBuiltinThemeColor(style, ThemeItem::ControlBackgroundColor));
        EXPECT_EQ(f.tabs->BorderColor(), GetBuiltinThemeColor(style, ThemeItem::ControlBorderColor));
        TBitmap buttons;
        LoadBuiltinThemeImage(style, ThemeItem::ScrollButtonImage, &buttons);
        EXPECT_EQ(strip->ScrollButtonSize().cx, buttons.Width() / 4);
        // Children are laid out inside the frame below the strip.
        auto* child = new TEdit(f.form.get());
        child->SetParent(f.tabs);
        child->SetAlign(alClient);
        EXPECT_EQ(child->BoundsRect(), Rect(3, strip->Height() + 3, 297, 117)) << int(style);
        // The bottom border line is drawn in the border colour.
        const QImage shot = Shot(f.tabs);
        EXPECT_EQ(Px(shot, 150, 119), ColorToArgb(f.tabs->BorderColor()) & 0xFFFFFF);
    }
}

TEST(SuiTabControl, TabWidthsFollowTheCaptions)
{
    TabForm f({"Options", "", "W"});
    TsuiTabControlTopPanel* strip = f.tabs->Strip();
    const int w0 = CaptionWidth(f.tabs, "Options") + 20;
    const int w2 = std::max(CaptionWidth(f.tabs, "W") + 20, 15);
    EXPECT_EQ(strip->TabRect(0), Rect(10, 0, 10 + w0, strip->TabRect(0).Bottom));
    EXPECT_EQ(strip->TabRect(1).Width(), 80);
    EXPECT_EQ(strip->TabRect(2).Left, 10 + w0 + 80);
    EXPECT_EQ(strip->TabRect(2).Width(), w2);
    EXPECT_FALSE(strip->ScrollButtonsShown());

    // The active tab is drawn one pixel lower than an inactive one: its top row shows what lies
    // behind the strip.
    TBitmap active, inactive;
    LoadBuiltinThemeFrame(DeepBlue, ThemeItem::TabControlTabImage, &active, 2, 1);
    LoadBuiltinThemeFrame(DeepBlue, ThemeItem::TabControlTabImage, &inactive, 2, 2);
    const QImage& pic = strip->Picture();
    const int mid0 = 10 + w0 / 2, mid1 = strip->TabRect(1).Left + 40;
    EXPECT_EQ(Px(pic, mid0, 1), inactive.Empty() ? 0u : active.PixelArgb(active.Width() / 2, 0) & 0xFFFFFF);
    EXPECT_EQ(Px(pic, mid1, 0), inactive.PixelArgb(inactive.Width() / 2, 0) & 0xFFFFFF);
    f.tabs->SetLeftMargin(25);
    EXPECT_EQ(strip->TabRect(0).Left, 25);
}

TEST(SuiTabControl, IndexRulesAndEvents)
{
    TabForm f({"A", "B", "C"});
    f.tabs->SetTabIndex(5);
    EXPECT_EQ(f.tabs->TabIndex(), 0);
    EXPECT_TRUE(f.log.isEmpty());
    f.tabs->SetTabIndex(-1);
    EXPECT_EQ(f.tabs->TabIndex(), -1);
    EXPECT_EQ(f.log, (QStringList{"active -1", "change"}));
    f.log.clear();
    f.tabs->SetTabIndex(-1);
    EXPECT_TRUE(f.log.isEmpty());

    // A click asks OnChanging, which can refuse; code does not ask.
    bool allow = false;
    int asked = 0;
    f.tabs->OnChanging = [&](TObject*, bool& a) {
        ++asked;
        a = allow;
    };
    f.ClickTab(2);
    EXPECT_EQ(f.tabs->TabIndex(), -1);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(f.log.isEmpty());
    allow = true;
    f.ClickTab(2);
    EXPECT_EQ(f.tabs->TabIndex(), 2);
    EXPECT_EQ(f.log, (QStringList{"active 2", "change"}));
    f.tabs->SetTabIndex(1);
    EXPECT_EQ(asked, 2);

    // Emptied tabs hold the index at -1.
    TStringList none;
    f.tabs->SetTabs(&none);
    f.tabs->SetTabIndex(0);
    EXPECT_EQ(f.tabs->TabIndex(), -1);
}

TEST(SuiTabControl, TabsBeyondTheStripScroll)
{
    QStringList captions;
    for (int i = 0; i < 12; ++i)
        captions << QStringLiteral("Caption %1").arg(i);
    TabForm f(captions, DeepBlue, 260);
    TsuiTabControlTopPanel* strip = f.tabs->Strip();
    EXPECT_TRUE(strip->ScrollButtonsShown());
    const int bw = strip->ScrollButtonSize().cx;
    const int cutAt = 260 - 2 * bw - 2;
    // The tab at the limit is cut there; the ones after it are not drawn.
    const int last = strip->LastWholeTab();
    ASSERT_GE(last, 0);
    EXPECT_EQ(strip->TabRect(last + 1).Right, cutAt);
    EXPECT_EQ(strip->TabRect(last + 2), TRect{});
    const int firstLeft = strip->TabRect(0).Left;

    // The right scroll button shifts the shown tabs by one, the left one back.
    const TRect right = strip->RightScrollButtonRect();
    EXPECT_EQ(right.Right, 258);
    Click(strip, {right.Left + 2, right.Top + 2});
    EXPECT_EQ(strip->FirstShownTab(), 1);
    EXPECT_EQ(strip->TabRect(0), TRect{});
    EXPECT_EQ(strip->TabRect(1).Left, firstLeft);
    EXPECT_EQ(f.tabs->TabIndex(), 0);
    const TRect left = strip->LeftScrollButtonRect();
    Click(strip, {left.Left + 2, left.Top + 2});
    EXPECT_EQ(strip->FirstShownTab(), 0);
    Click(strip, {left.Left + 2, left.Top + 2});
    EXPECT_EQ(strip->FirstShownTab(), 0);

    // Choosing a tab out of view brings it into view.
    f.tabs->SetTabIndex(11);
    EXPECT_GE(strip->LastWholeTab(), 11);
    EXPECT_GT(strip->FirstShownTab(), 0);
    EXPECT_GT(strip->TabRect(11).Width(), 0);
    // An active tab scrolled off to the left comes back into view.
    f.tabs->SetTabIndex(0);
    EXPECT_EQ(strip->FirstShownTab(), 0);
    EXPECT_EQ(strip->TabRect(0).Left, firstLeft);
}

TEST(SuiTabControl, MoreThanSixtyFourTabsStayUsable)
{
    PageForm f(70);
    f.pages[68]->SetTabVisible(false);
    EXPECT_FALSE(f.pc->Strip()->TabVisible(68));
    f.pc->SetActivePage(f.pages[69]);
    EXPECT_EQ(f.pc->TabIndex(), 69);
    f.log.clear();
    f.ClickTab(66);
    EXPECT_EQ(f.pc->ActivePage(), f.pages[66]);
}

TEST(SuiPageControl, SwitchingPagesRunsHandlersInOrder)
{
    PageForm f(3);
    EXPECT_EQ(f.pc->PageCount(), 3);
    EXPECT_EQ(f.pc->Strip()->Tabs()->ToStringList(), (QStringList{"Page 0", "Page 1", "Page 2"}));
    // Each added page became active in turn.
    EXPECT_EQ(f.pc->ActivePage(), f.pages[2]);
    f.log.clear();

    f.ClickTab(0);
    EXPECT_EQ(f.log, (QStringList{"changing", "hide 2", "show 0", "active 0", "change"}));
    EXPECT_EQ(f.pc->ActivePage(), f.pages[0]);
    EXPECT_FALSE(f.pages[2]->Enabled());
    EXPECT_TRUE(f.pages[0]->Enabled());

    f.log.clear();
    f.pc->SetActivePage(f.pages[1]);
    EXPECT_EQ(f.log, (QStringList{"hide 0", "show 1", "active 1", "change", "show 1"}));
    EXPECT_EQ(f.pc->TabIndex(), 1);
}

TEST(SuiPageControl, HidingTheActivePageActivatesANeighbour)
{
    PageForm f(3);
    f.pc->SetActivePage(f.pages[1]);
    f.pages[1]->SetTabVisible(false);
    EXPECT_EQ(f.pc->ActivePage(), f.pages[0]);
    EXPECT_FALSE(f.pc->Strip()->TabVisible(1));
    EXPECT_EQ(f.pc->Strip()->TabRect(1), TRect{});
    // The tab after the hidden one follows the first directly.
    EXPECT_EQ(f.pc->Strip()->TabRect(2).Left, f.pc->Strip()->TabRect(0).Right);

    PageForm g(3);
    g.pc->SetActivePage(g.pages[0]);
    g.pages[0]->SetTabVisible(false);
    EXPECT_EQ(g.pc->ActivePage(), g.pages[1]);
}

TEST(SuiPageControl, PageIndexMovesAndRemovalSelectsThePrevious)
{
    PageForm f(3);
    f.pages[2]->SetPageIndex(0);
    EXPECT_EQ(f.pc->Pages(0), f.pages[2]);
    EXPECT_EQ(f.pages[0]->PageIndex(), 1);
    EXPECT_EQ(f.pc->Strip()->Tabs()->ToStringList(), (QStringList{"Page 2", "Page 0", "Page 1"}));
    f.pages[1]->SetPageIndex(7);
    EXPECT_EQ(f.pages[1]->PageIndex(), 2);
    f.pages[0]->SetCaption("First");
    EXPECT_EQ(f.pc->Strip()->Tabs()->Get(1), QStringLiteral("First"));

    f.pc->SetActivePage(f.pages[0]);
    delete f.pages[0];
    EXPECT_EQ(f.pc->PageCount(), 2);
    EXPECT_EQ(f.pc->ActivePage(), f.pages[2]);
    EXPECT_EQ(f.pc->Strip()->Tabs()->ToStringList(), (QStringList{"Page 2", "Page 1"}));
}

TEST(SuiPageControl, DefinitionOrdersPagesByStoredNames)
{
    RegisterSkinEntryControlClasses();
    TForm form;
    form.LoadDefinitionText(R"(object Dlg: TForm
  Width = 400
  Height = 300
  object suiPageControl1: TsuiPageControl
    Width = 300
    Height = 200
    ActivePage = suiTabSheet2
    UIStyle = WinXP
    Pages = (
      'suiTabSheet2'
      'suiTabSheet1')
    object suiTabSheet1: TsuiTabSheet
      Caption = 'General'
      PageControl = suiPageControl1
    end
    object suiTabSheet2: TsuiTabSheet
      Caption = 'Advanced'
      PageControl = suiPageControl1
    end
  end
  object suiTabControl1: TsuiTabControl
    Top = 210
    Width = 300
    Tabs.Strings = (
      'Colors')
    TabIndex = 0
  end
end
)");
    auto* pc = form.findChild<TsuiPageControl*>("suiPageControl1");
    ASSERT_TRUE(pc);
    EXPECT_EQ(pc->Strip()->Tabs()->ToStringList(), (QStringList{"Advanced", "General"}));
    EXPECT_EQ(pc->ActivePage()->objectName(), QStringLiteral("suiTabSheet2"));
    EXPECT_EQ(pc->TabIndex(), 0);
    EXPECT_EQ(pc->ActivePage()->Color(), clWhite);
    auto* tc = form.findChild<TsuiTabControl*>("suiTabControl1");
    ASSERT_TRUE(tc);
    EXPECT_EQ(tc->TabList(), QStringList{"Colors"});
}
