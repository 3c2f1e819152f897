#include "controls/shadow_label.h"

#include "controls/controls_classes.h"
#include "controls/controls_testing.h"
#include "controls/spin_edit.h"
#include "framework/canvas.h"
#include "framework/edit.h"

#include <gtest/gtest.h>
#include <set>

using namespace ControlsTest;

namespace {

TSize Measure(TControl* c, const QString& text)
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    TCanvas canvas;
    canvas.SetBits(scratch.bits(), 1, 1, int(scratch.bytesPerLine()));
    canvas.Font()->Assign(c->Font());
    TRect r = Rect(0, 0, 1000, 0);
    DrawText(&canvas, text, r, DT_CALCRECT | DT_EXPANDTABS);
    canvas.SetBits(nullptr, 0, 0, 0);
    return {r.Width(), r.Height()};
}

std::set<uint32_t> Colours(TControl* c)
{
    const QImage shot = c->grab().toImage();
    std::set<uint32_t> colours;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            colours.insert(shot.pixel(x, y) | 0xFF000000u);
    return colours;
}

} // namespace

TEST(RxLabel, SizeFollowsTextAndShadow)
{
    Window w;
    auto* l = w.Add<TRxLabel>(10, 10, 65, 17);
    l->SetShadowSize(0);
    l->SetCaption(QStringLiteral("Repeat Count: "));
    const TSize t = Measure(l, l->Caption());
    EXPECT_EQ(l->Width(), t.cx + 2);
    EXPECT_EQ(l->Height(), t.cy);
    struct Case {
        int size;
        TShadowPosition pos;
        int growX, growY;
    } cases[] = {{2, spRightBottom, 2, 2}, {2, spLeftTop, 0, 0}, {3, spRightTop, 3, 0}, {3, spLeftBottom, 0, 3}, {0, spRightBottom, 0, 0}};
    for (const Case& c : cases) {
        l->SetShadowPos(c.pos);
        l->SetShadowSize(c.size);
        // The size is fitted when the shadow size changes.
        l->SetShadowSize(c.size + 1);
        l->SetShadowSize(c.size);
        EXPECT_EQ(l->Width(), t.cx + 2 + c.growX) << c.size << " " << int(c.pos);
        EXPECT_EQ(l->Height(), t.cy + c.growY) << c.size << " " << int(c.pos);
    }
    // An empty caption or a lone accelerator mark still measures one line high.
    l->SetShadowSize(0);
    l->SetCaption(QString());
    EXPECT_EQ(l->Height(), t.cy);
    l->SetCaption(QStringLiteral("&"));
    EXPECT_EQ(l->Height(), t.cy);

    // A right-aligned label keeps its right edge as its text grows.
    auto* r = w.Add<TRxLabel>(100, 50, 65, 17);
    r->SetAlignment(taRightJustify);
    r->SetCaption(QStringLiteral("Top:"));
    const int right = r->Left() + r->Width();
    r->SetCaption(QStringLiteral("Duration (1/100 s):  "));
    EXPECT_EQ(r->Left() + r->Width(), right);
    EXPECT_LT(r->Left(), 100);
}

TEST(RxLabel, DisabledTextIsGreyWithAHighlightShadow)
{
    Window w;
    auto* l = w.Add<TRxLabel>(10, 10, 65, 17);
    l->SetShadowSize(0);
    l->SetCaption(QStringLiteral("Transparent Color:  "));
    l->SetColor(clBtnFace);
    const uint32_t highlight = ColorToArgb(clBtnHighlight), grey = ColorToArgb(clGrayText);
    std::set<uint32_t> c = Colours(l);
    EXPECT_FALSE(c.count(highlight));
    EXPECT_FALSE(c.count(grey));
    l->SetEnabled(false);
    c = Colours(l);
    EXPECT_TRUE(c.count(highlight));
    EXPECT_TRUE(c.count(grey));
    EXPECT_FALSE(c.count(0xFF000000u));
}

TEST(RxLabel, AcceleratorFocusesTheControl)
{
    Window w;
    auto* spin = w.Add<TRxSpinEdit>(120, 10, 60, 21);
    auto* other = w.Add<TRxSpinEdit>(120, 60, 60, 21);
    auto* l = w.Add<TRxLabel>(10, 10, 65, 17);
    l->SetCaption(QStringLiteral("&Repeat Count: "));
    l->SetFocusControl(spin);
    l->SetShowFocus(true);
    other->SetFocus();
    QApplication::processEvents();
    QTest::keyClick(w.form.get(), Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(spin->Focused());
    EXPECT_TRUE(l->FocusControlFocused());
    // The focus rectangle shows while the control has the focus.
    const QImage focused = l->grab().toImage();
    other->SetFocus();
    QApplication::processEvents();
    EXPECT_FALSE(l->FocusControlFocused());
    EXPECT_NE(focused, l->grab().toImage());

    // Not with the accelerator shown as text, nor on a disabled label.
    l->SetShowAccelChar(false);
    QTest::keyClick(w.form.get(), Qt::Key_R, Qt::AltModifier);
    EXPECT_FALSE(spin->Focused());
    l->SetShowAccelChar(true);
    l->SetEnabled(false);
    QTest::keyClick(w.form.get(), Qt::Key_R, Qt::AltModifier);
    EXPECT_FALSE(spin->Focused());

    // A focus control that goes away leaves the label without one.
    delete spin;
    EXPECT_EQ(l->FocusControl(), nullptr);
}

TEST(RxLabel, LayoutPlacesTheTextInTheBox)
{
    Window w;
    auto* l = w.Add<TRxLabel>(10, 10, 80, 40);
    l->SetAutoSize(false);
    l->SetBounds(10, 10, 80, 40);
    l->SetShadowSize(0);
    l->SetCaption(QStringLiteral("Frame #"));
    l->SetColor(clWhite);
    auto firstInkRow = [&] {
        const QImage shot = l->grab().toImage();
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if ((shot.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                    return y;
        return -1;
    };
    const int top = firstInkRow();
    l->SetLayout(tlBottom);
    const int bottom = firstInkRow();
    l->SetLayout(tlCenter);
    const int centre = firstInkRow();
    const int textHeight = Measure(l, l->Caption()).cy;
    EXPECT_EQ(bottom - top, 40 - textHeight);
    EXPECT_EQ(centre - top, (40 - textHeight) / 2);
}

TEST(RxLabel, BuiltFromAWindowDefinition)
{
    RegisterControlsClasses();
    TForm form;
    form.LoadDefinitionText(R"(object AnimatorForm: TForm
  Width = 300
  Height = 200
  object RepeatCnt: TRxSpinEdit
    Left = 120
    Top = 8
    Width = 64
    Height = 21
  end
  object Label9: TRxLabel
    Left = 8
    Top = 10
    Width = 70
    Height = 13
    Caption = 'Repeat Count: '
    FocusControl = RepeatCnt
    ShadowSize = 0
  end
end
)");
    auto* l = qobject_cast<TRxLabel*>(form.FindComponent("Label9"));
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->FocusControl(), form.FindComponent("RepeatCnt"));
    EXPECT_EQ(l->ShadowSize(), 0);
    EXPECT_EQ(l->Width(), Measure(l, l->Caption()).cx + 2);
}
