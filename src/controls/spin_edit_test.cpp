#include "controls/spin_edit.h"

#include "controls/controls_classes.h"
#include "controls/controls_testing.h"
#include "framework/button.h"
#include "framework/exceptions.h"

#include <QLineEdit>
#include <QLocale>
#include <gtest/gtest.h>

using namespace ControlsTest;

namespace {

// The builders' spin edits: up-down buttons, whole numbers from 0.
TRxSpinEdit* BuilderSpin(Window& w, double maxValue)
{
    auto* s = w.Add<TRxSpinEdit>(10, 10, 80, 22);
    s->SetButtonKind(bkStandard);
    s->SetDecimal(0);
    s->SetMaxValue(maxValue);
    return s;
}

QLineEdit* EditOf(TRxSpinEdit* s) { return s->findChild<QLineEdit*>(); }

struct LocaleScope {
    QLocale saved;
    explicit LocaleScope(const QLocale& l) { QLocale::setDefault(l); }
    ~LocaleScope() { QLocale::setDefault(saved); }
};

} // namespace

TEST(RxSpinEdit, ValuesAreWrittenInTheFormOfTheValueType)
{
    LocaleScope c(QLocale::c());
    Window w;
    auto* s = w.Add<TRxSpinEdit>(0, 0, 80, 22);
    EXPECT_EQ(s->Text(), "0");
    struct Case {
        TValueType type;
        int decimal;
        double min, max, value;
        const char* text;
    } cases[] = {
        {vtInteger, 2, 0, 0, 2.5, "2"},      {vtInteger, 2, 0, 0, 3.5, "4"},      {vtInteger, 2, 0, 0, -2.5, "-2"},
        {vtInteger, 2, 0, 0, -7, "-7"},      {vtInteger, 2, 0, 100, 250, "100"},  {vtInteger, 2, 10, 100, -3, "10"},
        {vtHex, 2, 0, 0, 255, "FF"},         {vtHex, 2, 0, 0, 0, "0"},            {vtFloat, 2, 0, 0, 1.5, "1.50"},
        {vtFloat, 2, 0, 0, 2.675, "2.68"},   {vtFloat, 0, 0, 0, 2.5, "3"},        {vtFloat, 3, 0, 0, -0.0001, "0.000"},
        {vtFloat, 2, 0, 0, 99.999, "100.00"}, {vtFloat, 2, -1, 1, 5, "1.00"},
    };
    for (const Case& k : cases) {
        s->SetValueType(k.type);
        s->SetDecimal(k.decimal);
        s->SetMinValue(k.min);
        s->SetMaxValue(k.max);
        s->SetValue(k.value);
        EXPECT_EQ(s->Text(), QString::fromLatin1(k.text)) << k.value;
    }
}

TEST(RxSpinEdit, TextIsReadWithoutClampingAndFallsBackToTheLowerBound)
{
    LocaleScope c(QLocale::c());
    Window w;
    auto* s = w.Add<TRxSpinEdit>(0, 0, 80, 22);
    struct Case {
        TValueType type;
        double min, max;
        const char* text;
        double value;
    } cases[] = {
        {vtInteger, 0, 32767, "40000", 40000}, {vtInteger, 3.7, 10, "", 3},       {vtInteger, -3.7, 10, "x", -3},
        {vtInteger, 0, 0, " -12", -12},        {vtInteger, 0, 0, "99999999999", 0}, {vtInteger, 0, 0, "12 ", 0},
        {vtHex, 0, 0, "ff", 255},              {vtHex, 0, 0, "FFFFFFFF", -1},       {vtHex, 5, 9, "100000000", 5},
        {vtHex, 0, 0, "-1", 0},                {vtFloat, 1.5, 9, "", 1.5},          {vtFloat, 0, 0, "2.5e1", 25},
        {vtFloat, 0, 0, "1,5", 0},
    };
    for (const Case& k : cases) {
        s->SetValueType(k.type);
        s->SetMinValue(k.min);
        s->SetMaxValue(k.max);
        s->SetText(QString::fromLatin1(k.text));
        EXPECT_EQ(s->GetValue(), k.value) << k.text;
    }
    s->SetValueType(vtFloat);
    s->SetMinValue(0);
    s->SetMaxValue(0);
    s->SetText("-2.7");
    EXPECT_EQ(s->GetValueAsInteger(), -2);
}

TEST(RxSpinEdit, ChangingTheValueTypeKeepsTheNumber)
{
    LocaleScope c(QLocale::c());
    Window w;
    auto* s = w.Add<TRxSpinEdit>(0, 0, 80, 22);
    s->SetValue(255);
    s->SetIncrement(2.5);
    s->SetValueType(vtHex);
    EXPECT_EQ(s->Text(), "FF");
    s->SetValueType(vtFloat);
    EXPECT_EQ(s->Text(), "255.00");
    s->SetIncrement(0.4);
    s->SetValueType(vtInteger);
    EXPECT_EQ(s->Text(), "255");
    // A whole-number type steps by a whole number, at least 1.
    EXPECT_EQ(s->Increment(), 1);
}

TEST(RxSpinEdit, TypedNumberIsClampedWhenTheFocusLeaves)
{
    Window w;
    TRxSpinEdit* s = BuilderSpin(w, 32767);
    auto* other = w.Add<TRxSpinEdit>(10, 60, 80, 22);
    s->SetFocus();
    QApplication::processEvents();
    s->SetText(QString());
    Type(EditOf(s), "40000");
    EXPECT_EQ(s->Text(), "40000");
    EXPECT_EQ(s->GetValue(), 40000);
    other->SetFocus();
    QApplication::processEvents();
    EXPECT_EQ(s->Text(), "32767");

    // Without bounds nothing is clamped, negative numbers included.
    other->SetText("-500");
    s->SetFocus();
    QApplication::processEvents();
    EXPECT_EQ(other->Text(), "-500");
}

TEST(RxSpinEdit, KeysOutsideTheNumberFormBeepAndAreDropped)
{
    Window w;
    BeepCounter beeps;
    auto* s = w.Add<TRxSpinEdit>(0, 0, 80, 22);
    s->SetText(QString());
    s->SetFocus();
    Type(EditOf(s), "1a2.-");
    EXPECT_EQ(s->Text(), "12-");
    EXPECT_EQ(beeps.count, 2);

    s->SetValueType(vtHex);
    s->SetText(QString());
    Type(EditOf(s), "fFg0");
    EXPECT_EQ(s->Text(), "fF0");
    EXPECT_EQ(beeps.count, 3);

    {
        LocaleScope german(QLocale(QLocale::German, QLocale::Germany));
        s->SetValueType(vtFloat);
        s->SetDecimal(2);
        s->SetValue(1.5);
        EXPECT_EQ(s->Text(), "1,50");
        EXPECT_EQ(s->GetValue(), 1.5);
        EXPECT_FALSE(s->IsValidChar(QLatin1Char(',')));
        EXPECT_FALSE(s->IsValidChar(QLatin1Char('.')));
        s->SetText("3");
        Type(EditOf(s), "e,,");
        EXPECT_EQ(s->Text(), "3e,");
        EXPECT_FALSE(s->IsValidChar(QLatin1Char('E')));
        EXPECT_EQ(beeps.count, 4);
    }

    // Without the editor only non-printing keys other than backspace pass; arrows still step.
    s->SetValueType(vtInteger);
    s->SetEditorEnabled(false);
    s->SetText("10");
    Type(EditOf(s), "5\b");
    Key(EditOf(s), Qt::Key_Delete);
    Key(EditOf(s), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(s->Text(), "10");
    EXPECT_EQ(beeps.count, 6);
    EXPECT_TRUE(s->IsValidChar(QChar(9)));
    Key(EditOf(s), Qt::Key_Up);
    EXPECT_EQ(s->Text(), "11");
}

TEST(RxSpinEdit, EnterPressesTheDefaultButtonAndInsertsNothing)
{
    Window w;
    auto* s = w.Add<TRxSpinEdit>(0, 0, 80, 22);
    auto* ok = w.Add<TButton>(100, 0, 75, 25);
    auto* cancel = w.Add<TButton>(100, 40, 75, 25);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    QStringList log;
    ok->OnClick = [&](TObject*) { log << "ok"; };
    cancel->OnClick = [&](TObject*) { log << "cancel"; };
    s->SetFocus();
    s->SetText("7");
    Key(EditOf(s), Qt::Key_Return, Qt::NoModifier, "\r");
    Key(EditOf(s), Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    EXPECT_EQ(log, (QStringList{"ok", "cancel"}));
    EXPECT_EQ(s->Text(), "7");
}

TEST(RxSpinEdit, ArrowKeysStepAndReportOnce)
{
    Window w;
    BeepCounter beeps;
    TRxSpinEdit* s = BuilderSpin(w, 100);
    s->SetValue(10);
    int changes = 0, top = 0, bottom = 0;
    s->OnChange = [&](TObject*) { ++changes; };
    s->OnTopClick = [&](TObject*) { ++top; };
    s->OnBottomClick = [&](TObject*) { ++bottom; };
    s->SetFocus();
    Key(EditOf(s), Qt::Key_Up);
    Key(EditOf(s), Qt::Key_Up);
    Key(EditOf(s), Qt::Key_Down);
    EXPECT_EQ(s->Text(), "11");
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(top, 2);
    EXPECT_EQ(bottom, 1);
    EXPECT_TRUE(s->Modified());

    // At the bound the text stays, so no change is reported, but the step still is.
    s->SetValue(100);
    changes = 0;
    s->StepUp();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(top, 3);

    // A read-only edit beeps and does not step.
    s->SetReadOnly(true);
    Key(EditOf(s), Qt::Key_Down);
    EXPECT_EQ(s->Text(), "100");
    EXPECT_EQ(bottom, 1);
    EXPECT_EQ(beeps.count, 1);

    s->SetReadOnly(false);
    s->SetArrowKeys(false);
    Key(EditOf(s), Qt::Key_Down);
    EXPECT_EQ(s->Text(), "100");
}

TEST(RxSpinEdit, ButtonsAreMadeForTheKindAndStep)
{
    Window w;
    auto* s = w.Add<TRxSpinEdit>(10, 10, 121, 21);
    ASSERT_NE(s->SpinButton(), nullptr);
    EXPECT_EQ(s->UpDown(), nullptr);
    // The square button: 3 pixels smaller than the edit, clipped by the sunken border.
    EXPECT_EQ(s->SpinButton()->Width(), 18);
    EXPECT_EQ(s->SpinButton()->Height(), 18);
    EXPECT_EQ(s->SpinButton()->FocusControl(), s);

    s->SetButtonKind(bkStandard);
    EXPECT_EQ(s->SpinButton(), nullptr);
    ASSERT_NE(s->UpDown(), nullptr);
    EXPECT_EQ(s->UpDown()->Width(), UpDownButtonWidth());
    EXPECT_LE(UpDownButtonWidth(), 15);
    s->UpDown()->SetBounds(0, 0, 40, 10);
    EXPECT_EQ(s->UpDown()->Width(), UpDownButtonWidth());

    auto* other = w.Add<TRxSpinEdit>(10, 60, 80, 22);
    other->SetFocus();
    s->SetValue(5);
    s->UpDown()->Step(btNext);
    s->UpDown()->Step(btNext);
    s->UpDown()->Step(btPrev);
    EXPECT_EQ(s->Text(), "6");
    EXPECT_EQ(s->UpDown()->Position(), 0);
    EXPECT_TRUE(s->Focused());
}

TEST(RxSpinButton, HalvesFollowTheDiagonalAndRepeatWhileHeld)
{
    Window w;
    auto* b = w.Add<TRxSpinButton>(10, 10, 30, 20);
    EXPECT_EQ(b->HalfAt(20, 12), TRxSpinButton::sbBottomDown);
    EXPECT_EQ(b->HalfAt(20, 6), TRxSpinButton::sbTopDown);
    EXPECT_EQ(b->HalfAt(3, 19), TRxSpinButton::sbBottomDown);
    EXPECT_EQ(b->HalfAt(0, 19), TRxSpinButton::sbTopDown);
    EXPECT_EQ(b->HalfAt(29, 0), TRxSpinButton::sbTopDown);

    QStringList log;
    b->OnTopClick = [&](TObject*) { log << "top"; };
    b->OnBottomClick = [&](TObject*) { log << "bottom"; };
    QTest::mousePress(b, Qt::LeftButton, Qt::NoModifier, QPoint(20, 12));
    EXPECT_EQ(log, QStringList{"bottom"});
    EXPECT_EQ(b->Down(), TRxSpinButton::sbBottomDown);
    // Dragging into the other half shows nothing pressed; back below the diagonal it is again.
    QTest::mouseMove(b, QPoint(10, 2));
    EXPECT_EQ(b->Down(), TRxSpinButton::sbNotDown);
    b->RepeatTick();
    EXPECT_EQ(log.size(), 1);
    QTest::mouseMove(b, QPoint(25, 18));
    EXPECT_EQ(b->Down(), TRxSpinButton::sbBottomDown);
    b->RepeatTick();
    b->RepeatTick();
    EXPECT_EQ(log, (QStringList{"bottom", "bottom", "bottom"}));
    QTest::mouseMove(b, QPoint(50, 18));
    EXPECT_EQ(b->Down(), TRxSpinButton::sbNotDown);
    QTest::mouseMove(b, QPoint(25, 18));
    QTest::mouseRelease(b, Qt::LeftButton, Qt::NoModifier, QPoint(25, 18));
    EXPECT_EQ(b->Down(), TRxSpinButton::sbNotDown);
    b->RepeatTick();
    EXPECT_EQ(log.size(), 3);

    // A handler that fails stops the repeating and its error goes on.
    QTest::mousePress(b, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    b->OnTopClick = [&](TObject*) { throw Exception("stop"); };
    EXPECT_THROW(b->RepeatTick(), Exception);
    QTest::mouseRelease(b, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    EXPECT_EQ(log, (QStringList{"bottom", "bottom", "bottom", "top"}));
}

TEST(RxSpinButton, RepeatsAfterAPauseWhileTheMouseIsHeld)
{
    Window w;
    auto* s = w.Add<TRxSpinEdit>(10, 10, 121, 21);
    TRxSpinButton* b = s->SpinButton();
    int clicks = 0;
    s->OnTopClick = [&](TObject*) { ++clicks; };
    QTest::mousePress(b, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(s->Focused());
    QTest::qWait(650);
    QTest::mouseRelease(b, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    // 400 ms, then every 100 ms: two or three more by 650 ms.
    EXPECT_GE(clicks, 2);
    EXPECT_LE(clicks, 5);
    const int held = clicks;
    QTest::qWait(250);
    EXPECT_EQ(clicks, held);
    EXPECT_EQ(s->GetValue(), clicks);
}

TEST(RxSpinEdit, BuiltFromAWindowDefinition)
{
    RegisterControlsClasses();
    TForm form;
    form.LoadDefinitionText(R"(object AnimatorForm: TForm
  Width = 300
  Height = 200
  object RepeatCnt: TRxSpinEdit
    Left = 8
    Top = 8
    Width = 64
    Height = 21
    ButtonKind = bkStandard
    Decimal = 0
    MaxValue = 30000.000000000000000000
    MaxLength = 5
    TabOrder = 0
  end
end
)");
    auto* s = qobject_cast<TRxSpinEdit*>(form.FindComponent("RepeatCnt"));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->ButtonKind(), bkStandard);
    EXPECT_EQ(s->MaxValue(), 30000);
    EXPECT_EQ(s->MaxLength(), 5);
    EXPECT_EQ(s->Text(), "0");
    ASSERT_NE(s->UpDown(), nullptr);
    s->SetValue(123456);
    EXPECT_EQ(s->GetValueAsInteger(), 30000);
}
