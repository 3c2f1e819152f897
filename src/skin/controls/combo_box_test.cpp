#include "skin/controls/color_box.h"
#include "skin/controls/combo_box.h"

#include "framework/dialogs.h"
#include "framework/common_dialogs.h"
#include "framework/forms.h"
#include "framework/string_list.h"
#include "skin/controls/skin_entry_classes.h"
#include "skin/skin_testing.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QStorageInfo>
#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

QRgb Rgb(TColor c) { return ColorToArgb(c) & 0xFFFFFF; }

template <class T>
T* NewOn(TForm* form, TsuiUIStyle style = DeepBlue)
{
    auto* c = new T(form);
    c->SetParent(form);
    c->SetBounds(10, 10, 150, 21);
    c->SetUIStyle(style);
    return c;
}

} // namespace

TEST(SuiComboBox, ButtonAndArrowByStyle)
{
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        TForm form;
        auto* c = NewOn<TsuiComboBox>(&form, style);
        c->Items()->Add("One");
        EXPECT_EQ(c->ArrowColor(), clBlack);
        EXPECT_EQ(c->BorderColor(), GetBuiltinThemeColor(style, ThemeItem::ControlBorderColor));
        EXPECT_EQ(c->ButtonColor(), GetBuiltinThemeColor(style, ThemeItem::FormBackgroundColor));
        QImage shot = Shot(c);
        EXPECT_EQ(Px(shot, 0, 0), Rgb(c->BorderColor())) << int(style);
        const TRect b = c->ButtonRect();
        ASSERT_GT(b.Width(), 6);
        const int x = b.Left + b.Width() / 2 - 3, y = b.Height() / 2;
        if (style != WinXP)
            EXPECT_EQ(Px(shot, x + 3, y + 1), 0x000000u) << int(style);
        if (style != MacOS && style != WinXP) {
            // A flat button in the form colour with a border line on its left.
            EXPECT_EQ(Px(shot, b.Right - 2, b.Top + 2), Rgb(c->ButtonColor())) << int(style);
            EXPECT_EQ(Px(shot, b.Left, b.Top + 3), Rgb(c->BorderColor())) << int(style);
            // Disabled: a grey arrow over a white shadow one pixel down and right.
            c->SetEnabled(false);
            shot = Shot(c);
            EXPECT_EQ(Px(shot, x + 3, y + 1), 0x808080u);
            EXPECT_EQ(Px(shot, x + 4, y + 3), 0xFFFFFFu);
        } else {
            EXPECT_NE(Px(shot, b.Right - 2, b.Top + 2), Rgb(c->ButtonColor())) << int(style);
        }
    }
}

TEST(SuiComboBox, SelectionAndDropDown)
{
    TForm form;
    auto* c = NewOn<TsuiComboBox>(&form);
    c->SetStyle(csDropDownList);
    c->Items()->SetStrings({"16", "32", "48"});
    QStringList log;
    c->OnSelect = [&](TObject*) { log << "select"; };
    c->OnChange = [&](TObject*) { log << "change"; };
    c->OnDropDown = [&](TObject*) { log << "drop"; };
    c->OnCloseUp = [&](TObject*) { log << "close"; };
    c->SetItemIndex(1);
    EXPECT_EQ(c->Text(), QStringLiteral("32"));
    EXPECT_TRUE(log.isEmpty());
    c->SetDroppedDown(true);
    c->SetDroppedDown(false);
    c->ComboWidget()->setCurrentIndex(2);
    emit c->ComboWidget()->activated(2);
    EXPECT_EQ(log, (QStringList{"drop", "close", "select", "change"}));
    EXPECT_EQ(c->ItemIndex(), 2);
}

TEST(SuiComboBox, TheOpenListIsFramedInTheBorderColour)
{
    for (TsuiUIStyle style : {MacOS, WinXP, Protein}) {
        TForm form;
        form.SetBounds(0, 0, 300, 200);
        auto* c = NewOn<TsuiComboBox>(&form, style);
        c->SetStyle(csDropDownList);
        c->Items()->SetStrings({"16", "32", "48"});
        form.show();
        c->SetDroppedDown(true);
        QWidget* list = c->ComboWidget()->view()->window();
        ASSERT_TRUE(list->isVisible()) << int(style);
        const QImage shot = list->grab().toImage();
        const QRgb border = Rgb(c->BorderColor());
        for (QPoint p : {QPoint(0, 0), QPoint(shot.width() - 1, shot.height() / 2), QPoint(shot.width() / 2, shot.height() - 1),
                         QPoint(0, shot.height() - 1)})
            EXPECT_EQ(Px(shot, p.x(), p.y()), border) << int(style) << " at " << p.x() << "," << p.y();
        c->SetDroppedDown(false);
    }
}

TEST(SuiDriveComboBox, ListsMountPointsRootFirst)
{
    TForm form;
    auto* d = NewOn<TsuiDriveComboBox>(&form);
    ASSERT_GT(d->Items()->Count(), 0);
    EXPECT_EQ(d->Items()->Get(0), QStringLiteral("/"));
    EXPECT_EQ(d->Drive(), QStringLiteral("/"));
    const QStringList points = TsuiDriveComboBox::MountPoints(QStorageInfo::mountedVolumes());
    EXPECT_EQ(d->Items()->ToStringList(), points);
    EXPECT_FALSE(points.contains(QStringLiteral("/proc")));
    d->SetDrive(QStringLiteral("/no/such/mount"));
    EXPECT_EQ(d->Drive(), QStringLiteral("/"));
}

TEST(SuiColorBox, ListsNamedColoursInTableOrder)
{
    TForm form;
    auto* box = NewOn<TsuiColorBox>(&form);
    ASSERT_EQ(box->ColorCount(), 20 + 30);
    const TColor firsts[] = {clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clGray,
                             clSilver, clRed, clLime, clYellow, clBlue, clFuchsia, clAqua, clWhite,
                             clMoneyGreen, clSkyBlue, clCream, clMedGray};
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(box->Colors(i), firsts[i]) << i;
    EXPECT_EQ(box->ColorNames(16), QStringLiteral("clMoneyGreen"));
    for (int i = 20; i < box->ColorCount(); ++i) {
        EXPECT_EQ(box->Colors(i) & 0xFF000000u, clSystemColor) << i;
        EXPECT_NE(box->Colors(i), clNone);
        EXPECT_NE(box->Colors(i), clDefault);
    }
    struct Case {
        TColorBoxStyle style;
        int count;
        TColor first;
    } cases[] = {
        {cbStandardColors, 16, clBlack},
        {cbExtendedColors, 4, clMoneyGreen},
        {TColorBoxStyle(cbSystemColors) | cbIncludeNone | cbIncludeDefault, 32, clActiveBorder},
    };
    for (const Case& c : cases) {
        box->SetStyle(c.style);
        EXPECT_EQ(box->ColorCount(), c.count);
        EXPECT_EQ(box->Colors(0), c.first);
    }
    // The custom entry heads the list and starts with the colour the first entry had.
    box->SetStyle(TColorBoxStyle(cbStandardColors) | cbCustomColor);
    EXPECT_EQ(box->ColorCount(), 17);
    EXPECT_EQ(box->Colors(0), clActiveBorder);
    EXPECT_EQ(box->Colors(1), clBlack);
    EXPECT_EQ(box->ColorNames(0), QStringLiteral("Custom..."));
    box->SetStyle(TColorBoxStyle(cbExtendedColors) | cbSystemColors | cbPrettyNames);
    EXPECT_EQ(box->ColorNames(0), QStringLiteral("Money Green"));
    EXPECT_TRUE(box->Items()->ToStringList().contains(QStringLiteral("Btn Face")));
    // No colour group at all: nothing to choose from.
    box->SetStyle(cbPrettyNames);
    EXPECT_EQ(box->ColorCount(), 0);
    EXPECT_FALSE(box->Enabled());
}

TEST(SuiColorBox, SelectedFindsTheEntryOrTheCustomOne)
{
    TForm form;
    auto* box = NewOn<TsuiColorBox>(&form);
    box->SetSelected(clFuchsia);
    EXPECT_EQ(box->ItemIndex(), 13);
    EXPECT_EQ(box->Selected(), clFuchsia);
    box->SetSelected(0x123456);
    EXPECT_EQ(box->ItemIndex(), -1);
    EXPECT_EQ(box->Selected(), NoColorSelected);
    // Changing the style keeps "nothing selected" rather than choosing clScrollBar.
    box->SetStyle(TColorBoxStyle(cbStandardColors) | cbSystemColors | cbIncludeNone);
    EXPECT_EQ(box->ItemIndex(), 0);

    box->SetStyle(TColorBoxStyle(cbStandardColors) | cbCustomColor);
    box->SetSelected(0x123456);
    EXPECT_EQ(box->ItemIndex(), 0);
    EXPECT_EQ(box->Colors(0), 0x123456u);
    EXPECT_EQ(box->Selected(), 0x123456u);
    box->SetSelected(clRed);
    EXPECT_EQ(box->ItemIndex(), 10);
}

TEST(SuiColorBox, CustomEntryFromTheListAsksForAColour)
{
    TForm form;
    auto* box = NewOn<TsuiColorBox>(&form);
    box->SetStyle(TColorBoxStyle(cbStandardColors) | cbCustomColor);
    box->SetSelected(clRed);
    int changes = 0, selects = 0;
    box->OnChange = [&](TObject*) { ++changes; };
    box->OnSelect = [&](TObject*) { ++selects; };
    bool accept = false;
    QString customList;
    TDialogAnswererScope answer([&](TDialogRequest& r) {
        if (r.Kind != TDialogRequest::dkColor)
            return false;
        auto* dlg = static_cast<TColorDialog*>(r.Dialog);
        customList = dlg->CustomColors()->Text();
        if (accept)
            dlg->SetColor(0x00ABCDEF);
        r.Result = accept ? 1 : 0;
        return true;
    });
    auto pickFromList = [&](int index) {
        box->SetDroppedDown(true);
        box->SetDroppedDown(false);
        box->ComboWidget()->setCurrentIndex(index);
        emit box->ComboWidget()->activated(index);
    };
    pickFromList(0);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(selects, 0);
    EXPECT_EQ(customList.trimmed(), QStringLiteral("ColorA=00000000"));
    accept = true;
    pickFromList(0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(box->Selected(), 0x00ABCDEFu);
    // Choosing an ordinary entry asks nothing.
    customList.clear();
    pickFromList(3);
    EXPECT_TRUE(customList.isEmpty());
    EXPECT_EQ(changes, 2);
}

TEST(SuiColorBox, SwatchFrames)
{
    EXPECT_EQ(TsuiCustomColorBox::SwatchFrameColor(clWhite, false), clBlack);
    EXPECT_EQ(TsuiCustomColorBox::SwatchFrameColor(clYellow, true), clBlack);
    EXPECT_EQ(TsuiCustomColorBox::SwatchFrameColor(clNavy, false), clNavy);
    EXPECT_EQ(TsuiCustomColorBox::SwatchFrameColor(clNavy, true), clWhite);
    // System colours are looked at through their colour value.
    EXPECT_EQ(TsuiCustomColorBox::SwatchFrameColor(clWindow, false), ColorToRGB(clWindow) & 0xFF ? clBlack : clWindow);
}

TEST(SuiColorBox, DefinitionFillsTheListAfterLoading)
{
    RegisterSkinEntryControlClasses();
    TForm form;
    form.LoadDefinitionText(R"(object Dlg: TForm
  object suiColorBox1: TsuiColorBox
    Style = [cbStandardColors, cbPrettyNames]
    Selected = 65535
  end
end
)");
    auto* box = form.findChild<TsuiColorBox*>("suiColorBox1");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->ColorCount(), 16);
    EXPECT_EQ(box->ColorNames(0), QStringLiteral("Black"));
    EXPECT_EQ(box->Selected(), clYellow);
}
