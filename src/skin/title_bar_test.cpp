#include "skin/title_bar.h"

#include "framework/bitmap.h"
#include "framework/dialogs.h"
#include "framework/forms.h"
#include "framework/picture.h"
#include "skin/skin_testing.h"
#include "skin/theme_pictures.h"

#include <QFontMetrics>
#include <QMenu>
#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

struct BarForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    TsuiTitleBar* bar;
    explicit BarForm(TsuiUIStyle style = DeepBlue)
    {
        form->SetBounds(40, 30, 300, 200);
        bar = new TsuiTitleBar(form.get());
        bar->SetParent(form.get());
        bar->SetUIStyle(style);
        bar->SetCaption(QStringLiteral("Project 1"));
    }
    int IndexOf(TsuiTitleBarBtnType type) const
    {
        for (int i = 0; i < bar->Buttons()->Count(); ++i)
            if (bar->Button(i)->ButtonType() == type)
                return i;
        return -1;
    }
};

QRgb FramePx(TsuiUIStyle style, int frame, int x, int y)
{
    TBitmap b;
    LoadBuiltinThemeFrame(style, ThemeItem::TitleBarButtonImage, &b, 18, frame);
    return b.PixelArgb(x, y) & 0xFFFFFF;
}

} // namespace

TEST(SuiTitleBar, ButtonsSectionsAndHeightFromTheStyle)
{
    BarForm f;
    TsuiTitleBar* bar = f.bar;
    ASSERT_EQ(bar->Buttons()->Count(), 4);
    EXPECT_EQ(bar->Button(0)->ButtonType(), suiControlBox);
    EXPECT_EQ(bar->Button(1)->ButtonType(), suiClose);
    EXPECT_EQ(bar->Button(2)->ButtonType(), suiMax);
    EXPECT_EQ(bar->Button(3)->ButtonType(), suiMin);
    EXPECT_TRUE(bar->HasThreeSections());
    EXPECT_EQ(bar->Section(0)->Width(), 97);  // DeepBlue's left picture, sized to it
    EXPECT_EQ(bar->Section(2)->Align(), suiClient);
    EXPECT_EQ(bar->Height(), 32);
    EXPECT_EQ(bar->ButtonTop(), 2);
    EXPECT_EQ(bar->ButtonHeight(), 19);
    EXPECT_EQ(bar->Button(1)->PicNormal()->Width(), 342 / 18);
    EXPECT_EQ(f.form->Constraints().MinWidth, 130);

    // Caption colour: black in MacOS, white in the other built-in styles.
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        bar->SetUIStyle(style);
        EXPECT_EQ(bar->Font()->Color(), style == MacOS ? clBlack : clWhite) << int(style);
    }
    // A FileTheme change keeps the caption colour as it is.
    bar->Font()->SetColor(clRed);
    TsuiFileTheme theme(nullptr);
    bar->SetFileTheme(&theme);
    EXPECT_EQ(bar->Font()->Color(), clRed);
    bar->SetFileTheme(nullptr);
}

// Right-hand buttons from the right edge in collection order, hidden ones taking no space, the
// control box at the left; hit tests count the edges.
TEST(SuiTitleBar, ButtonHitTests)
{
    BarForm f;
    TsuiTitleBar* bar = f.bar;
    const int close = f.IndexOf(suiClose), max = f.IndexOf(suiMax), min = f.IndexOf(suiMin), box = f.IndexOf(suiControlBox);
    // 300 wide, DeepBlue: offsets 0, buttons 19 x 19 at row 2.
    struct Case {
        int x, y, expected;
    };
    const Case cases[] = {
        {299, 2, close}, {300, 20, close}, {281, 10, close}, {280, 10, max}, {261, 10, max},
        {260, 10, min},  {242, 10, min},   {241, 10, min},   {240, 10, -1},  {0, 2, box},
        {19, 21, box},   {20, 10, -1},     {290, 1, -1},     {290, 22, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bar->ButtonAt(c.x, c.y), c.expected) << c.x << "," << c.y;

    bar->Button(max)->SetVisible(false);
    EXPECT_EQ(bar->ButtonAt(270, 10), min);
    bar->SetButtonInterval(3);
    EXPECT_EQ(bar->ButtonAt(278, 10), close);
    EXPECT_EQ(bar->ButtonAt(277, 10), -1);

    // The hot button shows its mouse-over picture, pressed its pressed picture.
    bar->SetButtonInterval(0);
    bar->Button(max)->SetVisible(true);
    Move(bar, {290, 10});
    EXPECT_EQ(bar->HotIndex(), close);
    QImage shot = Shot(bar);
    EXPECT_EQ(Px(shot, 281 + 9, 2 + 1), FramePx(DeepBlue, 17, 9, 1));
    Press(bar, {290, 10});
    shot = Shot(bar);
    EXPECT_EQ(Px(shot, 281 + 9, 2 + 1), FramePx(DeepBlue, 18, 9, 1));
}

TEST(SuiTitleBar, CaptionPlacementAndShortening)
{
    BarForm f;
    TsuiTitleBar* bar = f.bar;
    const QFontMetrics fm(bar->Font()->ToQFont());
    // After the control box (19 wide + 5).
    EXPECT_EQ(bar->CaptionPos().X, 24);
    EXPECT_EQ(bar->CaptionPos().Y, (19 - fm.height()) / 2 + 2);
    EXPECT_EQ(bar->DrawnCaption(), QStringLiteral("Project 1"));

    // No control box and no offset: the caption starts at 6.
    bar->Button(f.IndexOf(suiControlBox))->SetVisible(false);
    EXPECT_EQ(bar->CaptionPos().X, 6);

    const int room = 241 - 6;
    QString longCaption;
    while (fm.horizontalAdvance(longCaption) <= room + 40)
        longCaption += QStringLiteral("Icon ");
    bar->SetCaption(longCaption);
    const QString drawn = bar->DrawnCaption();
    ASSERT_TRUE(drawn.endsWith(QStringLiteral("...")));
    const QString prefix = drawn.chopped(3);
    EXPECT_TRUE(longCaption.startsWith(prefix));
    EXPECT_LE(fm.horizontalAdvance(drawn), room);
    EXPECT_GT(fm.horizontalAdvance(longCaption.left(prefix.size() + 1) + QStringLiteral("...")), room);

    // Not even one character fits: "..." alone.
    f.form->SetConstraints({});
    f.form->SetBounds(40, 30, 70, 200);
    ASSERT_EQ(bar->Width(), 70);
    EXPECT_EQ(bar->DrawnCaption(), QStringLiteral("..."));
}

TEST(SuiTitleBar, WindowActionsOfTheButtons)
{
    BarForm f;
    TsuiTitleBar* bar = f.bar;
    ShowActive(f.form.get());
    int closes = 0;
    f.form->OnClose = [&](TObject*, TCloseAction& a) {
        ++closes;
        a = caNone;
    };
    Click(bar, {290, 10}); // close
    EXPECT_EQ(closes, 1);

    int customs = -1, helps = -1;
    bar->OnCustomBtnsClick = [&](TObject*, int i) { customs = i; };
    bar->OnHelpBtnClick = [&](TObject*, int i) { helps = i; };
    auto* help = static_cast<TsuiTitleBarButton*>(bar->Buttons()->Add());
    help->SetButtonType(suiHelp);
    auto* custom = static_cast<TsuiTitleBarButton*>(bar->Buttons()->Add());
    TBitmap pic(12, 12, pf24bit);
    TPicture picture;
    picture.SetGraphic(&pic);
    custom->SetPicNormal(&picture);
    // Help sits left of minimise (241 - 20 = 221), the custom button left of it (221 - 13).
    Click(bar, {225, 10});
    EXPECT_EQ(helps, 4);
    Click(bar, {212, 10});
    EXPECT_EQ(customs, 5);

    // Maximise and restore; the maximise picture follows the state.
    Click(bar, {265, 10});
    EXPECT_EQ(f.form->WindowState(), wsMaximized);
    TBitmap restore;
    LoadBuiltinThemeFrame(DeepBlue, ThemeItem::TitleBarButtonImage, &restore, 18, 10);
    EXPECT_EQ(bar->Button(f.IndexOf(suiMax))->PicNormal()->Bitmap()->PixelArgb(9, 9), restore.PixelArgb(9, 9));
    // Double click on an empty part toggles back.
    Mouse(bar, QEvent::MouseButtonDblClick, {150, 10});
    EXPECT_EQ(f.form->WindowState(), wsNormal);

    // Without a visible maximise button a double click does nothing.
    bar->Button(f.IndexOf(suiMax))->SetVisible(false);
    Mouse(bar, QEvent::MouseButtonDblClick, {150, 10});
    EXPECT_EQ(f.form->WindowState(), wsNormal);
}

TEST(SuiTitleBar, DraggingMovesTheWindowUnlessMaximised)
{
    BarForm f;
    TsuiTitleBar* bar = f.bar;
    ShowActive(f.form.get());
    const int left = f.form->Left(), top = f.form->Top();
    Press(bar, {150, 10});
    Move(bar, {170, 15});
    Release(bar, {170, 15});
    EXPECT_EQ(f.form->Left(), left + 20);
    EXPECT_EQ(f.form->Top(), top + 5);

    f.form->SetWindowState(wsMaximized);
    const int maxLeft = f.form->Left();
    Press(bar, {150, 10});
    Move(bar, {170, 15});
    Release(bar, {170, 15});
    EXPECT_EQ(f.form->Left(), maxLeft);
}

TEST(SuiTitleBar, SystemMenuFollowsVisibleButtons)
{
    BarForm f;
    TsuiTitleBar* bar = f.bar;
    bar->Button(f.IndexOf(suiMin))->SetVisible(false);
    bar->SystemMenu()->Popup(0, 0);
    EXPECT_FALSE(bar->SystemMenu()->MinimizeItem()->Enabled());
    EXPECT_TRUE(bar->SystemMenu()->MaximizeItem()->Enabled());
    EXPECT_TRUE(bar->SystemMenu()->CloseItem()->Enabled());
    EXPECT_EQ(bar->SystemMenu()->Items()->Items(0)->Caption(), QStringLiteral("Mi&nimize"));
    EXPECT_EQ(bar->SystemMenu()->Items()->Items(2)->Caption(), QStringLiteral("-"));
    bar->SystemMenu()->PopupQMenu()->hide();

    // A control box without a menu of its own opens the system menu.
    Click(bar, {5, 10});
    EXPECT_TRUE(bar->SystemMenu()->PopupQMenu()->isVisible());
    bar->SystemMenu()->PopupQMenu()->hide();
}

TEST(SuiTitleBar, RefusesASecondControlBoxAndClientSection)
{
    BarForm f;
    QStringList shown;
    TDialogAnswererScope answer([&](TDialogRequest& r) {
        shown << r.Text;
        r.Result = IDOK;
        return true;
    });
    auto* extra = static_cast<TsuiTitleBarButton*>(f.bar->Buttons()->Add());
    extra->SetButtonType(suiControlBox);
    EXPECT_EQ(extra->ButtonType(), suiCustom);
    f.bar->Section(0)->SetAlign(suiClient);
    EXPECT_EQ(f.bar->Section(0)->Align(), suiLeft);
    EXPECT_EQ(shown, (QStringList{TitleBarText::OneControlBox, TitleBarText::OneClientSection}));
}

TEST(SuiTitleBar, CustomBarKeepsItsPictures)
{
    BarForm f;
    TsuiTitleBar* bar = f.bar;
    bar->SetCustom(true);
    TBitmap pic(5, 40, pf24bit);
    TPicture picture;
    picture.SetGraphic(&pic);
    bar->Section(0)->SetPicture(&picture);
    bar->SetUIStyle(WinXP);
    EXPECT_EQ(bar->Section(0)->Picture()->Height(), 40);
    EXPECT_EQ(bar->UIStyle(), WinXP);
    // Its maximise button keeps the maximise picture on a maximised form.
    ShowActive(f.form.get());
    f.form->SetWindowState(wsMaximized);
    bar->RefreshMaxButton();
    TBitmap maxFrame;
    LoadBuiltinThemeFrame(DeepBlue, ThemeItem::TitleBarButtonImage, &maxFrame, 18, 7);
    EXPECT_EQ(bar->Button(f.IndexOf(suiMax))->PicNormal()->Bitmap()->PixelArgb(9, 9), maxFrame.PixelArgb(9, 9));
}

TEST(SuiTitleBar, FreedFileThemeAppliesDeepBlue)
{
    BarForm f(WinXP);
    auto* theme = new TsuiFileTheme(f.form.get());
    f.bar->SetUIStyle(FromThemeFile);
    f.bar->SetFileTheme(theme);
    delete theme;
    EXPECT_EQ(f.bar->FileTheme(), nullptr);
    EXPECT_EQ(f.bar->UIStyle(), DeepBlue);
}
