#include "skin/controls/list_view.h"

#include "framework/forms.h"
#include "skin/controls/scroll_bar_link.h"
#include "skin/skin_testing.h"

#include <QScrollBar>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

struct ListForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    TsuiListView* list;
    ListForm()
    {
        form->SetBounds(0, 0, 400, 300);
        list = new TsuiListView(form.get());
        list->SetParent(form.get());
        list->SetBounds(10, 10, 250, 150);
        list->SetViewStyle(vsReport);
        list->AddColumn()->SetCaption("Name");
        for (int i = 0; i < 60; ++i)
            list->Items()->Add()->SetCaption(QStringLiteral("File %1").arg(i));
    }
    TsuiScrollBar* NewBar()
    {
        auto* b = new TsuiScrollBar(form.get());
        b->SetParent(form.get());
        return b;
    }
};

} // namespace

TEST(SuiListView, DraggedBarScrollsTheReportLineByLine)
{
    ListForm f;
    f.form->show();
    QApplication::processEvents();
    TsuiScrollBar* v = f.NewBar();
    f.list->SetVScrollBar(v);
    EXPECT_EQ(v->SmallChange(), 5);
    // The list's own bars are left alone.
    QScrollBar* native = f.list->ReportWidget()->verticalScrollBar();
    ASSERT_GT(native->maximum(), 0);
    EXPECT_TRUE(v->Visible());
    EXPECT_EQ(v->Max(), native->maximum());
    const int before = native->value();
    int lineSteps = 0;
    QObject::connect(native, &QScrollBar::actionTriggered, [&](int a) {
        if (a == QAbstractSlider::SliderSingleStepAdd)
            ++lineSteps;
    });
    v->SetPosition(v->Position() + 3);
    EXPECT_EQ(lineSteps, 3);
    EXPECT_EQ(native->value(), before + 3);
    EXPECT_EQ(v->Position(), native->value());
    // Deleting items shortens the range and the bar follows.
    for (int i = 0; i < 50; ++i)
        f.list->Items()->Delete(0);
    QApplication::processEvents();
    EXPECT_EQ(v->Max(), native->maximum());
}

TEST(SuiListView, PlacementNeverHidesAndUnusableBarsHide)
{
    ListForm f;
    TsuiScrollBar* h = f.NewBar();
    f.list->SetHScrollBar(h);
    h->SetVisible(true);
    f.list->SetBounds(10, 10, 250, 10);
    // Too low for the bar: only its top moves to the list's top.
    EXPECT_TRUE(h->Visible() || !f.list->ReportWidget()->horizontalScrollBar()->maximum());
    EXPECT_EQ(h->Top(), 10);

    // Nothing to scroll across: the skinned bar hides.
    ListForm g;
    TsuiScrollBar* h2 = g.NewBar();
    g.list->SetHScrollBar(h2);
    EXPECT_FALSE(h2->Visible());
    EXPECT_FALSE(h2->Enabled());
}

TEST(SuiListView, FrameInTheBorderColour)
{
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        ListForm f;
        f.list->SetUIStyle(style);
        EXPECT_EQ(f.list->BorderColor(), GetBuiltinThemeColor(style, ThemeItem::ControlBorderColor));
        const QImage shot = Shot(f.list);
        EXPECT_EQ(Px(shot, 0, 40), ColorToArgb(f.list->BorderColor()) & 0xFFFFFF);
    }
}
