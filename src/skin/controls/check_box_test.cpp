#include "skin/controls/check_box.h"

#include "framework/bitmap.h"
#include "framework/dialogs.h"
#include "framework/forms.h"
#include "framework/panel.h"
#include "skin/controls/button.h"
#include "skin/controls/skin_controls.h"
#include "skin/skin_builder_testing.h"
#include "skin/skin_testing.h"
#include "skin/theme_pictures.h"

#include <QFile>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

QRgb FramePx(TsuiUIStyle style, int item, int frame, int x, int y)
{
    TBitmap b;
    LoadBuiltinThemeFrame(style, item, &b, 4, frame);
    return b.PixelArgb(x, y) & 0xFFFFFF;
}

} // namespace

// The picture shows frame 1 to 4 for checked, unchecked, checked disabled and unchecked
// disabled, in every style.
TEST(SuiCheckBox, FrameByStateInEveryStyle)
{
    TForm form;
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        auto* box = new TsuiCheckBox(&form);
        box->SetParent(&form);
        box->SetUIStyle(style);
        box->SetCaption(QStringLiteral("Grid"));
        TBitmap pic;
        LoadBuiltinThemeFrame(style, ThemeItem::CheckBoxImage, &pic, 4, 1);
        const int top = (box->ClientHeight() - pic.Height()) / 2;
        const int cx = 1 + pic.Width() / 2, cy = top + pic.Height() / 2;
        struct Case {
            bool checked, enabled;
            int frame;
        };
        for (const Case c : {Case{true, true, 1}, Case{false, true, 2}, Case{true, false, 3}, Case{false, false, 4}}) {
            box->SetEnabled(c.enabled);
            box->SetChecked(c.checked);
            const QImage shot = Shot(box);
            EXPECT_EQ(Px(shot, cx, cy), FramePx(style, ThemeItem::CheckBoxImage, c.frame, cx - 1, cy - top))
                << int(style) << " frame " << c.frame;
        }
        delete box;
    }
}

TEST(SuiCheckBox, AutoSizeFromPictureAndFont)
{
    TForm form;
    auto* box = new TsuiCheckBox(&form);
    box->SetParent(&form);
    box->SetCaption(QStringLiteral("Show grid"));
    const QFontMetrics fm(box->Font()->ToQFont());
    // DeepBlue's picture is 13 x 13.
    EXPECT_EQ(box->Height(), std::max(fm.height() + 2, 13) + 4);
    EXPECT_EQ(box->Width(), 13 + fm.horizontalAdvance(QStringLiteral("Show grid")) + 8);
    // MacOS has 15 x 17 frames.
    box->SetUIStyle(MacOS);
    EXPECT_EQ(box->Height(), std::max(fm.height() + 2, 17) + 4);
    box->SetAutoSize(false);
    box->SetBounds(0, 0, 120, 30);
    box->SetUIStyle(WinXP);
    EXPECT_EQ(box->Width(), 120);
}

TEST(SuiCheckBox, CheckedFromCodeFiresOnceAndNotWhileLoading)
{
    RegisterSkinControlClasses();
    TForm form;
    auto* box = new TsuiCheckBox(&form);
    box->SetParent(&form);
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box->SetState(cbGrayed);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(clicks, 2);

    // Clicking a checked box unchecks it and fires.
    box->SetChecked(true);
    clicks = 0;
    Click(box, {3, 3});
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(clicks, 1);
}

class TCheckWindow : public TForm {
    Q_OBJECT
public:
    explicit TCheckWindow(QWidget* owner = nullptr) : TForm(owner) {}
    int Clicks = 0;
    Q_INVOKABLE void BoxClick(TObject*) { ++Clicks; }
};

TEST(SuiCheckBox, StoredCheckedFiresNothing)
{
    RegisterSkinControlClasses();
    TCheckWindow w;
    w.LoadDefinitionText(R"(object W: TCheckWindow
  object Box: TsuiCheckBox
    Caption = 'Box'
    Checked = True
    OnClick = BoxClick
  end
  object Radio: TsuiRadioButton
    Caption = 'Radio'
    Checked = True
    OnClick = BoxClick
  end
end
)");
    EXPECT_EQ(w.Clicks, 0);
    auto* box = qobject_cast<TsuiCheckBox*>(w.FindComponent(QStringLiteral("Box")));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->Checked());
    box->SetChecked(false);
    EXPECT_EQ(w.Clicks, 1);
}

// Radio buttons of one parent and GroupIndex exclude each other; OnClick fires on the checked
// one only; other parents and groups keep their state.
TEST(SuiRadioButton, GroupsByParentAndGroupIndex)
{
    TForm form;
    auto* panelA = new TPanel(&form);
    panelA->SetParent(&form);
    auto* panelB = new TPanel(&form);
    panelB->SetParent(&form);
    auto radio = [](TWinControl* parent, int group) {
        auto* r = new TsuiRadioButton(parent);
        r->SetParent(parent);
        r->SetGroupIndex(group);
        return r;
    };
    TsuiRadioButton* a1 = radio(panelA, 0);
    TsuiRadioButton* a2 = radio(panelA, 0);
    TsuiRadioButton* a3 = radio(panelA, 0);
    TsuiRadioButton* g1 = radio(panelA, 1);
    TsuiRadioButton* b1 = radio(panelB, 0);
    QStringList log;
    int n = 0;
    for (TsuiRadioButton* r : {a1, a2, a3, g1, b1}) {
        r->SetName(QStringLiteral("r%1").arg(n++));
        r->OnClick = [&log](TObject* s) { log << static_cast<TControl*>(s)->Name(); };
    }
    g1->SetChecked(true);
    b1->SetChecked(true);
    a1->SetChecked(true);
    a2->SetChecked(true);
    log.clear();
    a3->SetChecked(true);
    EXPECT_EQ(log, QStringList{"r2"});
    EXPECT_FALSE(a1->Checked());
    EXPECT_FALSE(a2->Checked());
    EXPECT_TRUE(g1->Checked());
    EXPECT_TRUE(b1->Checked());

    // Unchecking from code and clicking a checked radio button fire nothing.
    log.clear();
    g1->SetChecked(false);
    Click(a3, {3, 3});
    EXPECT_TRUE(a3->Checked());
    EXPECT_TRUE(log.isEmpty());
    Click(a1, {3, 3});
    EXPECT_EQ(log, QStringList{"r0"});
    EXPECT_FALSE(a3->Checked());
}

TEST(SuiCheckBox, SpaceTogglesCheckBoxButNotRadio)
{
    TForm form;
    form.SetBounds(0, 0, 200, 100);
    auto* box = new TsuiCheckBox(&form);
    box->SetParent(&form);
    auto* radio = new TsuiRadioButton(&form);
    radio->SetParent(&form);
    radio->SetTop(30);
    ShowActive(&form);
    box->SetFocus();
    KeyClick(box, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_TRUE(box->Checked());
    KeyClick(box, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_FALSE(box->Checked());
    radio->SetFocus();
    KeyClick(radio, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_FALSE(radio->Checked());

    // The accelerator focuses and clicks.
    radio->SetCaption(QStringLiteral("&Mono"));
    box->SetFocus();
    KeyClick(box, Qt::Key_M, Qt::AltModifier);
    EXPECT_TRUE(radio->Checked());
    EXPECT_TRUE(radio->Focused());
}

TEST(SuiCheckBox, FreedFileThemeGoesBackToDeepBlue)
{
    TForm form;
    auto* box = new TsuiCheckBox(&form);
    box->SetParent(&form);
    auto* theme = new TsuiFileTheme(&form);
    box->SetUIStyle(FromThemeFile);
    box->SetFileTheme(theme);
    delete theme;
    EXPECT_EQ(box->FileTheme(), nullptr);
    EXPECT_EQ(box->UIStyle(), DeepBlue);
}

// A skin file whose pictures are not bitmaps: the controls stay drawable, the button with the
// blank picture its paint falls back on.
TEST(SuiCheckBox, UnreadableSkinPicturesLeaveControlsDrawable)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.sui"));
    {
        SkinBuilder b;
        b.Add("CheckBoxImage", 0, QByteArray("BMnot a bitmap at all"));
        b.Add("ButtonImage", 0, QByteArray("garbage"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(b.Build());
    }
    // An error escaping a paint would be shown in a box.
    QStringList shown;
    TDialogAnswererScope answer([&](TDialogRequest& r) {
        shown << r.Text;
        return true;
    });
    TForm form;
    auto* theme = new TsuiFileTheme(&form);
    theme->SetThemeFile(path);
    ASSERT_TRUE(theme->IsLoaded());
    auto* box = new TsuiCheckBox(&form);
    box->SetParent(&form);
    box->SetCaption(QStringLiteral("Grid"));
    box->SetUIStyle(FromThemeFile);
    box->SetFileTheme(theme);
    const QImage shot = Shot(box);
    EXPECT_FALSE(shot.isNull());
    EXPECT_EQ(box->Height(), QFontMetrics(box->Font()->ToQFont()).height() + 2 + 4);

    auto* button = new TsuiButton(&form);
    button->SetParent(&form);
    button->SetUIStyle(FromThemeFile);
    button->SetFileTheme(theme);
    button->SetCaption(QStringLiteral("OK"));
    EXPECT_FALSE(Shot(button).isNull());
    EXPECT_TRUE(shown.isEmpty()) << shown.join(QLatin1Char('\n')).toStdString();
}

#include "check_box_test.moc"
