#include "skin/controls/spin_edit.h"

#include "framework/forms.h"
#include "skin/controls/button.h"
#include "skin/skin_testing.h"
#include "skin/theme_items.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

struct SpinForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    TsuiSpinEdit* spin;
    TsuiEdit* other;
    SpinForm()
    {
        form->SetBounds(0, 0, 300, 200);
        spin = new TsuiSpinEdit(form.get());
        spin->SetParent(form.get());
        spin->SetBounds(10, 10, 80, 21);
        spin->SetMinValue(1);
        spin->SetMaxValue(255);
        spin->SetValue(48);
        other = new TsuiEdit(form.get());
        other->SetParent(form.get());
        other->SetBounds(10, 50, 80, 21);
    }
    void Type(const QString& text)
    {
        for (QChar c : text)
            KeyClick(spin->Editor(), 0, Qt::NoModifier, QString(c));
    }
};

} // namespace

TEST(SuiEdit, FrameInTheThemeBorderColourInEveryStyle)
{
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        TForm form;
        auto* e = new TsuiEdit(&form);
        e->SetParent(&form);
        e->SetBounds(0, 0, 100, 21);
        e->SetUIStyle(style);
        e->SetColor(clWhite);
        const TColor border = GetBuiltinThemeColor(style, ThemeItem::ControlBorderColor);
        EXPECT_EQ(e->BorderColor(), border);
        const QImage shot = Shot(e);
        EXPECT_EQ(Px(shot, 0, 0), ColorToArgb(border) & 0xFFFFFF) << int(style);
        EXPECT_EQ(Px(shot, 99, 20), ColorToArgb(border) & 0xFFFFFF) << int(style);
        EXPECT_EQ(Px(shot, 1, 10), 0xFFFFFFu) << int(style);
        // The text field starts inside the two-pixel border.
        EXPECT_EQ(e->Editor()->geometry(), QRect(2, 2, 96, 17));
    }
}

TEST(SuiSpinEdit, ValueIsHeldWithinTheLimits)
{
    SpinForm f;
    struct Case {
        const char* text;
        int min, max;
        const char* shown; // after the focus leaves
    } cases[] = {
        {"300", 1, 255, "255"}, {"abc", 1, 255, "1"}, {"-4", 1, 255, "1"}, {"77", 1, 255, "77"},
        {"", 1, 255, "1"},      {"9999", 0, 0, "9999"}, {"-9999", 0, 0, "-9999"},
    };
    for (const Case& c : cases) {
        f.spin->SetMinValue(c.min);
        f.spin->SetMaxValue(c.max);
        f.spin->SetFocus();
        f.spin->SetText(QString::fromLatin1(c.text));
        ShowActive(f.form.get());
        f.spin->Editor()->setFocus();
        QApplication::processEvents();
        f.other->Editor()->setFocus();
        QApplication::processEvents();
        EXPECT_EQ(f.spin->Text(), QString::fromLatin1(c.shown)) << c.text;
    }
    f.spin->SetMinValue(1);
    f.spin->SetMaxValue(255);
    f.spin->SetText("abc");
    EXPECT_EQ(f.spin->Value(), 1);
}

TEST(SuiSpinEdit, TypingAcceptsOnlyDigitsAndMinus)
{
    SpinForm f;
    f.spin->SetText(QString());
    f.Type("1+2.3-a4");
    EXPECT_EQ(f.spin->Text(), QStringLiteral("123-4"));
    // Without the editor even digits are refused; the arrow keys still step.
    f.spin->SetEditorEnabled(false);
    f.spin->SetText("10");
    f.Type("5");
    KeyClick(f.spin->Editor(), Qt::Key_Backspace, Qt::NoModifier, "\b");
    EXPECT_EQ(f.spin->Text(), QStringLiteral("10"));
    KeyClick(f.spin->Editor(), Qt::Key_Up);
    EXPECT_EQ(f.spin->Text(), QStringLiteral("11"));
    EXPECT_FALSE(f.spin->IsValidChar(QLatin1Char('\b')));
    EXPECT_TRUE(f.spin->IsValidChar(QChar(9)));
    EXPECT_FALSE(f.spin->IsValidChar(QChar(13)));
}

TEST(SuiSpinEdit, ArrowsAndKeysStepByIncrement)
{
    SpinForm f;
    f.spin->SetIncrement(10);
    f.spin->SetValue(248);
    KeyClick(f.spin->Editor(), Qt::Key_Up);
    EXPECT_EQ(f.spin->Value(), 255);
    KeyClick(f.spin->Editor(), Qt::Key_Down);
    EXPECT_EQ(f.spin->Value(), 245);
    Click(f.spin->Buttons()->DownButton(), {3, 3});
    EXPECT_EQ(f.spin->Value(), 235);
    Click(f.spin->Buttons()->UpButton(), {3, 3});
    EXPECT_EQ(f.spin->Value(), 245);
    // Held, a button steps every 400 ms and once more when let go over it.
    Press(f.spin->Buttons()->UpButton(), {3, 3});
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 450)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(f.spin->Value(), 255);
    f.spin->SetValue(100);
    Release(f.spin->Buttons()->UpButton(), {3, 3});
    EXPECT_EQ(f.spin->Value(), 110);
    // Read-only: the buttons change nothing.
    f.spin->SetReadOnly(true);
    Click(f.spin->Buttons()->UpButton(), {3, 3});
    EXPECT_EQ(f.spin->Value(), 110);
}

TEST(SuiSpinEdit, ButtonsSitInsideTheFrameAndHalvesOverlap)
{
    SpinForm f;
    TsuiSpinButtons* b = f.spin->Buttons();
    EXPECT_EQ(b->BoundsRect(), Rect(80 - 15 - 2, 2, 78, 19));
    EXPECT_EQ(b->UpButton()->BoundsRect(), Rect(0, 0, 15, 9));
    EXPECT_EQ(b->DownButton()->BoundsRect(), Rect(0, 8, 15, 17));
    EXPECT_EQ(f.spin->Editor()->textMargins().right(), 17);
    b->SetBounds(0, 0, 5, 30);
    EXPECT_EQ(b->Width(), 15);
    f.spin->SetUIStyle(MacOS);
    EXPECT_EQ(b->UIStyle(), MacOS);
    EXPECT_EQ(b->DownButton()->UIStyle(), MacOS);
}
