#include "skin/controls/memo.h"

#include "framework/forms.h"
#include "framework/string_list.h"
#include "skin/skin_testing.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

struct MemoForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    TsuiMemo* memo;
    explicit MemoForm(TsuiUIStyle style = DeepBlue)
    {
        form->SetBounds(0, 0, 400, 300);
        memo = new TsuiMemo(form.get());
        memo->SetParent(form.get());
        memo->SetBounds(10, 10, 200, 120);
        memo->SetUIStyle(style);
        memo->SetWordWrap(false);
    }
    TsuiScrollBar* NewBar()
    {
        auto* b = new TsuiScrollBar(form.get());
        b->SetParent(form.get());
        return b;
    }
    void FillLines(int n, int width = 10)
    {
        QStringList lines;
        for (int i = 0; i < n; ++i)
            lines << QString(width, QLatin1Char('a' + i % 26));
        memo->Lines()->SetStrings(lines);
    }
};

} // namespace

TEST(SuiMemo, FrameAndBarStyleFollowTheTheme)
{
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        MemoForm f(style);
        TsuiScrollBar* v = f.NewBar();
        f.memo->SetVScrollBar(v);
        f.memo->SetUIStyle(style);
        EXPECT_EQ(f.memo->BorderColor(), GetBuiltinThemeColor(style, ThemeItem::ControlBorderColor));
        EXPECT_EQ(v->UIStyle(), style);
        const QImage shot = Shot(f.memo);
        EXPECT_EQ(Px(shot, 0, 50), ColorToArgb(f.memo->BorderColor()) & 0xFFFFFF) << int(style);
    }
    // Without a loaded file the bars stand in with DeepBlue.
    MemoForm f(FromThemeFile);
    TsuiScrollBar* v = f.NewBar();
    f.memo->SetVScrollBar(v);
    f.memo->SetUIStyle(FromThemeFile);
    EXPECT_EQ(v->UIStyle(), DeepBlue);
}

TEST(SuiMemo, AttachingSetsTheMemosOwnScrollBars)
{
    MemoForm f;
    TsuiScrollBar* v = f.NewBar();
    TsuiScrollBar* h = f.NewBar();
    f.memo->SetVScrollBar(v);
    f.memo->SetHScrollBar(h);
    EXPECT_EQ(f.memo->ScrollBars(), ssBoth);
    EXPECT_EQ(h->Orientation(), suiHorizontal);
    // Two pixels in from the right and bottom edges.
    EXPECT_EQ(v->Left(), 10 + 200 - v->Width() - 2);
    EXPECT_EQ(v->Top(), 11);
    EXPECT_EQ(v->Height(), 120 - h->Height() - 2);
    EXPECT_EQ(h->Left(), 11);
    EXPECT_EQ(h->Top(), 10 + 120 - h->Height() - 2);
    EXPECT_EQ(h->Width(), 200 - v->Width() - 2);

    f.memo->SetHScrollBar(nullptr);
    EXPECT_EQ(f.memo->ScrollBars(), ssVertical);
    EXPECT_EQ(h->Max(), 100);
    EXPECT_EQ(h->LineButton(), 0);
    EXPECT_TRUE(h->Enabled());
    f.memo->SetVScrollBar(nullptr);
    EXPECT_EQ(f.memo->ScrollBars(), ssNone);
}

TEST(SuiMemo, BarsAndTextStayInStep)
{
    MemoForm f;
    f.form->show();
    QApplication::processEvents();
    TsuiScrollBar* v = f.NewBar();
    f.memo->SetVScrollBar(v);
    QScrollBar* native = f.memo->Editor()->verticalScrollBar();
    // Too few lines: the skinned bar is disabled and shows no slider.
    f.FillLines(2);
    EXPECT_EQ(native->maximum(), 0);
    EXPECT_FALSE(v->Enabled());
    EXPECT_FALSE(v->SliderVisible());

    f.FillLines(80);
    ASSERT_GT(native->maximum(), 0);
    EXPECT_TRUE(v->Enabled());
    EXPECT_TRUE(v->SliderVisible());
    EXPECT_EQ(v->Max(), native->maximum());
    EXPECT_GE(v->LineButton(), 18);

    // The skinned bar scrolls the text.
    v->SetPosition(30);
    EXPECT_EQ(native->value(), 30);
    // Native scrolling (here the wheel) moves the skinned bar.
    QWheelEvent wheel(QPointF(20, 20), QPointF(f.memo->Editor()->viewport()->mapToGlobal(QPoint(20, 20))), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.memo->Editor()->viewport(), &wheel);
    QApplication::processEvents();
    EXPECT_GT(native->value(), 30);
    EXPECT_EQ(v->Position(), native->value());

    // Disabling the memo disables the bar.
    f.memo->SetEnabled(false);
    EXPECT_FALSE(v->Enabled());
    f.memo->SetEnabled(true);
    EXPECT_TRUE(v->Enabled());
    // A freed bar is forgotten and the memo's own bars follow.
    delete v;
    EXPECT_EQ(f.memo->VScrollBar(), nullptr);
    EXPECT_EQ(f.memo->ScrollBars(), ssNone);
}
