#include "skin/controls/panel.h"

#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/forms.h"
#include "framework/picture.h"
#include "skin/controls/button.h"
#include "skin/controls/group_box.h"
#include "skin/controls/skin_control.h"
#include "skin/controls/skin_controls.h"
#include "skin/controls/status_bar.h"
#include "skin/skin_testing.h"
#include "skin/theme_lookup.h"

#include <QFontMetrics>
#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

// A picture with a distinct colour in each quadrant.
void QuadPicture(TPicture& picture, int w, int h)
{
    TBitmap bmp(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bmp.SetPixelArgb(x, y, x < w / 2 ? (y < h / 2 ? 0xFFFF0000u : 0xFF00FF00u) : (y < h / 2 ? 0xFF0000FFu : 0xFFFFFF00u));
    picture.SetGraphic(&bmp);
}

QRgb Rgb(TColor c) { return ColorToArgb(c) & 0xFFFFFF; }

} // namespace

TEST(SuiImagePanel, AutoSizeFollowsAlignment)
{
    TForm form;
    form.SetBounds(0, 0, 300, 200);
    TPicture picture;
    QuadPicture(picture, 40, 30);
    auto* free = new TsuiImagePanel(&form);
    free->SetParent(&form);
    free->SetAutoSize(true);
    free->SetPicture(&picture);
    EXPECT_EQ(free->Width(), 40);
    EXPECT_EQ(free->Height(), 30);

    auto* top = new TsuiImagePanel(&form);
    top->SetParent(&form);
    top->SetAlign(alTop);
    top->SetAutoSize(true);
    top->SetPicture(&picture);
    EXPECT_EQ(top->Height(), 30);
    EXPECT_EQ(top->Width(), 300);
}

TEST(SuiImagePanel, NormalStretchTileAndColour)
{
    TForm form;
    form.SetBounds(0, 0, 300, 200);
    auto* panel = new TsuiImagePanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 80, 60);
    panel->SetColor(0x00FF00FF);
    EXPECT_EQ(Px(Shot(panel), 70, 50), 0xFF00FFu); // no picture: Color

    TPicture picture;
    QuadPicture(picture, 20, 20);
    panel->SetPicture(&picture);
    QImage shot = Shot(panel);
    EXPECT_EQ(Px(shot, 5, 5), 0xFF0000u);
    EXPECT_EQ(Px(shot, 15, 15), 0xFFFF00u);
    panel->SetDrawStyle(suiStretch);
    shot = Shot(panel);
    EXPECT_EQ(Px(shot, 30, 20), 0xFF0000u);
    EXPECT_EQ(Px(shot, 50, 40), 0xFFFF00u);
    panel->SetDrawStyle(suiTile);
    shot = Shot(panel);
    EXPECT_EQ(Px(shot, 25, 25), 0xFF0000u);
    EXPECT_EQ(Px(shot, 75, 55), 0xFFFF00u);
}

TEST(SuiImagePanel, CaptionAlignment)
{
    TForm form;
    auto* panel = new TsuiImagePanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 200, 40);
    panel->SetCaption(QStringLiteral("Frame"));
    const QFontMetrics fm(panel->Font()->ToQFont());
    const int tw = MnemonicTextExtent(panel->Font(), QStringLiteral("Frame")).cx;
    for (auto [alignment, left] : {std::pair{taLeftJustify, 0}, {taRightJustify, 200 - tw}, {taCenter, (200 - tw) / 2}}) {
        panel->SetAlignment(alignment);
        Shot(panel);
        EXPECT_EQ(panel->LastCaptionRect().Left, left);
        EXPECT_EQ(panel->LastCaptionRect().Top, (40 - fm.height()) / 2);
    }
}

struct PanelForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    TsuiPanel* panel;
    PanelForm()
    {
        form->SetBounds(0, 0, 300, 400);
        panel = new TsuiPanel(form.get());
        panel->SetParent(form.get());
        panel->SetUIStyle(DeepBlue); // caption bar picture 1 x 20
        panel->SetBounds(10, 10, 150, 200);
    }
};

// Collapsing a 200-pixel panel with a 20-pixel caption bar passes through 185, 170, ... 35 and
// then jumps to 20; expanding goes back the same way to the full height.
TEST(SuiPanel, PushAndPopInStepsOf15)
{
    PanelForm f;
    TsuiPanel* p = f.panel;
    std::vector<int> heights;
    p->OnResize = [&](TObject*) { heights.push_back(p->Height()); };
    int pushes = 0, pops = 0;
    p->OnPush = [&](TObject*) { ++pushes; };
    p->OnPop = [&](TObject*) { ++pops; };
    p->Push();
    std::vector<int> expected;
    for (int h = 185; h >= 35; h -= 15)
        expected.push_back(h);
    expected.push_back(20);
    EXPECT_EQ(heights, expected);
    EXPECT_FALSE(p->Expanded());
    EXPECT_EQ(pushes, 1);
    EXPECT_EQ(p->FullHeight(), 200);

    heights.clear();
    p->Pop();
    EXPECT_EQ(heights.front(), 35);
    EXPECT_EQ(heights.back(), 200);
    EXPECT_TRUE(p->Expanded());
    EXPECT_EQ(pops, 1);
}

TEST(SuiPanel, HeightOfACollapsedPanel)
{
    PanelForm f;
    TsuiPanel* p = f.panel;
    p->Push();
    p->setProperty("Height", 120);
    EXPECT_EQ(p->Height(), 20);
    EXPECT_EQ(p->FullHeight(), 120);
    p->Pop();
    EXPECT_EQ(p->Height(), 120);
}

TEST(SuiPanel, ButtonClickTogglesAndASecondClickWhileMovingIsIgnored)
{
    PanelForm f;
    TsuiPanel* p = f.panel;
    const TRect b = p->ButtonRect();
    ASSERT_GT(b.Width(), 0);
    EXPECT_EQ(b.Left, 150 - 1 - 13 - 4);
    const QPoint at(b.Left + 3, b.Top + 3);
    int nested = 0;
    p->OnResize = [&](TObject*) {
        if (p->Animating()) {
            Release(p, at);
            ++nested;
        }
    };
    Press(p, at);
    Release(p, at);
    EXPECT_GT(nested, 0);
    EXPECT_FALSE(p->Expanded());
    EXPECT_EQ(p->Height(), 20);
    p->OnResize = nullptr;
    Click(p, at);
    EXPECT_TRUE(p->Expanded());
    EXPECT_EQ(p->Height(), 200);
}

TEST(SuiPanel, CannotPushWhenAlignedToClientOrSide)
{
    for (TAlign a : {alClient, alLeft, alRight}) {
        PanelForm f;
        f.panel->SetAlign(a);
        const int h = f.panel->Height();
        try {
            f.panel->Push();
            FAIL() << "no exception";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), QString::fromLatin1(CannotPushPanelText));
        }
        EXPECT_EQ(f.panel->Height(), h);
        EXPECT_TRUE(f.panel->ButtonRect().Width() == 0);
    }
}

TEST(SuiPanel, StyleColoursAndChildArea)
{
    PanelForm f;
    TsuiPanel* p = f.panel;
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        p->SetUIStyle(style);
        EXPECT_EQ(p->Color(), clWhite);
        EXPECT_EQ(p->BorderColor(), GetBuiltinThemeColor(style, ThemeItem::ControlBorderColor));
        EXPECT_EQ(p->CaptionFontColor(),
                  style == MacOS ? clBlack : GetBuiltinThemeColor(style, ThemeItem::MenuSelectedFontColor));
    }
    p->SetUIStyle(DeepBlue);
    auto* child = new TsuiButton(p);
    child->SetParent(p);
    child->SetAlign(alClient);
    EXPECT_EQ(child->Left(), 3);
    EXPECT_EQ(child->Top(), 20 + 3);
    EXPECT_EQ(child->Width(), 150 - 6);
    EXPECT_EQ(child->Height(), 200 - 23 - 3);
}

TEST(SuiGroupBox, FrameWithAndWithoutCaption)
{
    TForm form;
    form.SetBounds(0, 0, 300, 200);
    auto* box = new TsuiGroupBox(&form);
    box->SetParent(&form);
    EXPECT_EQ(box->Width(), 185);
    EXPECT_EQ(box->Height(), 105);
    box->SetUIStyle(WinXP);
    const QRgb border = Rgb(GetBuiltinThemeColor(WinXP, ThemeItem::ControlBorderColor));
    const int y = std::abs(box->Font()->Height()) / 2 + 1;
    QImage shot = Shot(box);
    for (int x : {0, 1, 2, 10, 100, 184})
        EXPECT_EQ(Px(shot, x, y), border) << x;
    EXPECT_EQ(Px(shot, 0, 104), border);
    EXPECT_EQ(Px(shot, 184, 60), border);

    box->SetGroupCaption(QStringLiteral("Size"));
    const int cw = MnemonicTextExtent(box->Font(), QStringLiteral("Size")).cx;
    shot = Shot(box);
    EXPECT_EQ(Px(shot, 1, y), border);
    EXPECT_EQ(Px(shot, cw + 7, y), border);
    EXPECT_NE(Px(shot, 4, y), border);
    EXPECT_NE(Px(shot, cw + 6, y), border);
}

TEST(SuiGroupBox, PushesStyleIntoChildrenAndInsetsThem)
{
    TForm form;
    auto* box = new TsuiGroupBox(&form);
    box->SetParent(&form);
    auto* button = new TsuiButton(box);
    button->SetParent(box);
    button->SetAlign(alClient);
    box->SetUIStyle(Protein);
    EXPECT_EQ(button->UIStyle(), Protein);
    EXPECT_EQ(button->Left(), 3);
    EXPECT_EQ(button->Top(), std::abs(box->Font()->Height()) + 5);
    EXPECT_EQ(box->Font()->Color(), GetBuiltinThemeColor(Protein, ThemeItem::ControlFontColor));
    TsuiFileTheme* theme = new TsuiFileTheme(&form);
    box->SetFileTheme(theme);
    EXPECT_EQ(button->FileTheme(), theme);
    delete theme;
    EXPECT_EQ(box->UIStyle(), DeepBlue);
    EXPECT_EQ(button->UIStyle(), DeepBlue);
    EXPECT_EQ(button->FileTheme(), nullptr);
}

TEST(SuiStatusBar, ColourAndGripByWindowState)
{
    TForm form;
    form.SetBounds(0, 0, 300, 200);
    auto* bar = new TsuiStatusBar(&form);
    bar->SetParent(&form);
    bar->SetHeight(19);
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        bar->SetUIStyle(style);
        EXPECT_EQ(bar->PanelColor(), GetBuiltinThemeColor(style, ThemeItem::FormBackgroundColor));
    }
    ShowActive(&form);
    const TRect g = bar->GripRect();
    // The grip's first line runs from the bottom-left of the square to its top-right.
    const QRgb grip = Rgb(clInactiveCaption);
    QImage shot = Shot(bar);
    EXPECT_EQ(Px(shot, g.Left + 8, g.Bottom - 7), grip);
    EXPECT_TRUE(bar->GripActive());

    form.SetWindowState(wsMaximized);
    shot = Shot(bar);
    EXPECT_NE(Px(shot, g.Left + 8, g.Bottom - 7), grip);
    EXPECT_FALSE(bar->GripActive());
    const int w = form.Width();
    Press(bar, {g.Left + 5, g.Top + 5});
    Move(bar, {g.Left + 25, g.Top + 5});
    Release(bar, {g.Left + 25, g.Top + 5});
    EXPECT_EQ(form.Width(), w);
    form.SetWindowState(wsNormal);

    // Dragging the grip resizes a normal window.
    const int w0 = form.Width(), h0 = form.Height();
    Press(bar, {g.Left + 5, g.Top + 5});
    Move(bar, {g.Left + 25, g.Top + 15});
    Release(bar, {g.Left + 25, g.Top + 15});
    EXPECT_EQ(form.Width(), w0 + 20);
    EXPECT_EQ(form.Height(), h0 + 10);
}

TEST(SuiStatusBar, PanelsFromADefinitionAndTheirRectangles)
{
    RegisterSkinControlClasses();
    TForm form;
    form.LoadDefinitionText(R"(object F: TForm
  Width = 300
  Height = 200
  object Status: TsuiStatusBar
    Panels = <
      item
        Width = 80
        Text = 'Ready'
      end
      item
        Width = 60
      end>
  end
end
)");
    auto* bar = qobject_cast<TsuiStatusBar*>(form.FindComponent(QStringLiteral("Status")));
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->Panels()->Count(), 2);
    EXPECT_EQ(bar->Panels()->Items(0)->Text(), QStringLiteral("Ready"));
    EXPECT_EQ(bar->PanelRect(0).Right, 78);
    EXPECT_EQ(bar->PanelRect(1).Left, 80);
    EXPECT_EQ(bar->PanelRect(1).Right, bar->Width() - 2);
}

TEST(SuiSkinControl, ShapesTheControlOnceBothAreGiven)
{
    TForm form;
    auto* target = new TsuiImagePanel(&form);
    target->SetParent(&form);
    target->SetBounds(0, 0, 100, 100);
    TsuiSkinControl skin(&form);
    int changes = 0;
    skin.OnRegionChanged = [&](TObject*) { ++changes; };
    TBitmap glyph(30, 20, pf24bit);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            glyph.SetPixelArgb(x, y, x < 10 ? 0xFFFF00FFu : 0xFF000000u);
    skin.SetGlyph(&glyph);
    EXPECT_EQ(changes, 0);
    skin.SetControl(target);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(target->Width(), 30);
    EXPECT_EQ(target->Height(), 20);
    EXPECT_FALSE(target->mask().contains(QPoint(5, 5)));
    EXPECT_TRUE(target->mask().contains(QPoint(15, 5)));
    delete target;
    EXPECT_EQ(skin.Control(), nullptr);
}
