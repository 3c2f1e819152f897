#include "controls/combo_edit.h"

#include "controls/controls_classes.h"
#include "controls/controls_testing.h"
#include "framework/bitmap.h"
#include "framework/button.h"

#include <QClipboard>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace ControlsTest;

namespace {

QLineEdit* EditOf(TCustomComboEdit* e) { return e->findChild<QLineEdit*>(); }

std::vector<int> DotColumns(TBitmap* b)
{
    std::vector<int> dots;
    for (int x = 0; x < b->Width(); ++x)
        if ((b->PixelArgb(x, 1) & 0xFFFFFF) == 0 && (x == 0 || (b->PixelArgb(x - 1, 1) & 0xFFFFFF) != 0))
            dots.push_back(x);
    return dots;
}

// A combo edit with a popup that offers one value.
class TValuePopupEdit : public TCustomComboEdit {
public:
    explicit TValuePopupEdit(QWidget* parent) : TCustomComboEdit(parent), list(new TWinControl(nullptr))
    {
        list->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        list->SetBounds(0, 0, 150, 60);
        SetPopup(list.get());
    }
    std::unique_ptr<TWinControl> list;
    QString offered = QStringLiteral("chosen");
    QString pushed;
    bool accept = true;

protected:
    void PushPopupValue(const QVariant& v) override { pushed = v.toString(); }
    void PullPopupValue(QVariant& v) override { v = offered; }
    bool AcceptPopup(QVariant&) override { return accept; }
};

} // namespace

TEST(ComboEdit, EllipsisGlyphFollowsTheButtonWidth)
{
    struct Case {
        int buttonWidth, glyphWidth;
        std::vector<int> dots;
    } cases[] = {{17, 11, {0, 4, 8}}, {21, 15, {1, 6, 11}}, {12, 6, {0, 3}}, {4, 1, {}}};
    for (const Case& c : cases) {
        auto g = MakeEllipsisGlyph(c.buttonWidth);
        EXPECT_EQ(g->Width(), c.glyphWidth) << c.buttonWidth;
        EXPECT_EQ(g->Height(), 4);
        if (c.buttonWidth >= 17)
            EXPECT_EQ(DotColumns(g.get()), c.dots) << c.buttonWidth;
    }
    Window w;
    auto* e = w.Add<TComboEdit>(10, 10, 120, 21);
    e->SetGlyphKind(gkEllipsis);
    e->SetButtonWidth(17);
    ASSERT_NE(e->Glyph(), nullptr);
    EXPECT_EQ(e->Glyph()->Width(), 11);
    EXPECT_EQ(e->NumGlyphs(), 1);
    e->SetNumGlyphs(3);
    EXPECT_EQ(e->NumGlyphs(), 1);
}

TEST(ComboEdit, ButtonSitsInsideTheRightEdge)
{
    Window w;
    auto* e = w.Add<TComboEdit>(10, 10, 120, 21);
    EXPECT_EQ(e->ButtonWidth(), 21);
    EXPECT_EQ(e->ButtonContainer()->geometry(), QRect(120 - 21 - 2, 2, 21, 17));
    e->SetBorderStyle(bsNone);
    e->SetButtonWidth(17);
    EXPECT_EQ(e->ButtonContainer()->geometry(), QRect(120 - 17, 0, 17, 21));
    // Widths of 1 or less hide the button; widths as wide as the edit are refused.
    e->SetButtonWidth(1);
    EXPECT_FALSE(e->ButtonContainer()->isVisible());
    e->SetButtonWidth(17);
    EXPECT_TRUE(e->ButtonContainer()->isVisible());
    e->SetButtonWidth(500);
    EXPECT_EQ(e->ButtonWidth(), 17);
    // The edit is never lower than its font allows.
    e->SetHeight(5);
    EXPECT_EQ(e->Height(), e->MinHeight());
}

TEST(ComboEdit, WithoutDirectInputOnlyTheButtonChangesTheText)
{
    Window w;
    auto* e = w.Add<TComboEdit>(10, 10, 120, 21);
    int clicks = 0;
    e->OnButtonClick = [&](TObject*) { ++clicks; };
    e->SetDirectInput(false);
    e->SetText("black");
    e->SetFocus();
    QApplication::processEvents();
    QApplication::clipboard()->setText("pasted");
    Type(EditOf(e), "x\b");
    Key(EditOf(e), Qt::Key_Delete);
    Key(EditOf(e), Qt::Key_V, Qt::ControlModifier);
    Key(EditOf(e), Qt::Key_Insert, Qt::ShiftModifier);
    e->SelectAll();
    e->PasteFromClipboard();
    e->CutToClipboard();
    EXPECT_EQ(e->Text(), "black");
    // The caret still shows where the focus is.
    EXPECT_TRUE(e->Focused());
    EXPECT_FALSE(EditOf(e)->isReadOnly());

    Key(EditOf(e), Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(e->Button(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicks, 2);

    // Read-only: neither the button nor Alt+Down act, and typing stays refused.
    e->SetDirectInput(true);
    e->SetReadOnly(true);
    Key(EditOf(e), Qt::Key_Down, Qt::AltModifier);
    QTest::mouseClick(e->Button(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    Type(EditOf(e), "y");
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(e->Text(), "black");

    e->SetReadOnly(false);
    e->SetSelStart(5);
    Type(EditOf(e), "y");
    EXPECT_EQ(e->Text(), "blacky");
}

TEST(ComboEdit, EnterPressesTheDefaultButtonAndInsertsNothing)
{
    Window w;
    auto* e = w.Add<TComboEdit>(10, 10, 120, 21);
    auto* ok = w.Add<TButton>(150, 10, 75, 25);
    ok->SetDefault(true);
    int pressed = 0;
    ok->OnClick = [&](TObject*) { ++pressed; };
    e->SetText("abc");
    e->SetFocus();
    Key(EditOf(e), Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(e->Text(), "abc");
}

TEST(ComboEdit, PopupDropsUnderTheEditAndHandsBackItsValue)
{
    Window w;
    auto* e = new TValuePopupEdit(w.form.get());
    e->SetParent(w.form.get());
    e->SetBounds(200, 40, 120, 21);
    e->Show();
    auto* other = w.Add<TComboEdit>(10, 100, 120, 21);
    int changes = 0;
    e->OnChange = [&](TObject*) { ++changes; };
    e->SetText("start");

    QTest::mouseClick(e->Button(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    ASSERT_TRUE(e->PopupVisible());
    EXPECT_EQ(e->pushed, "start");
    // Under the edit, right edges lined up.
    const QPoint origin = e->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(e->list->pos(), QPoint(origin.x() + 120 - 150, origin.y() + e->Height()));
    // Typing is off while the popup is down.
    EXPECT_TRUE(EditOf(e)->isReadOnly());

    // Escape closes without taking the value; Enter takes it.
    Key(EditOf(e), Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    EXPECT_FALSE(e->PopupVisible());
    EXPECT_FALSE(EditOf(e)->isReadOnly());
    EXPECT_EQ(e->Text(), "start");
    e->DropDown(true);
    Key(EditOf(e), Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(e->Text(), "chosen");
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(e->Modified());

    // A press on the button while the popup is down only closes it, taking the value.
    e->offered = "again";
    e->DropDown(true);
    QTest::mouseClick(e->Button(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(e->PopupVisible());
    EXPECT_EQ(e->Text(), "again");

    // A press elsewhere closes it without taking the value; so does a refusal.
    e->offered = "elsewhere";
    e->DropDown(true);
    QTest::mouseClick(EditOf(other), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(e->PopupVisible());
    EXPECT_EQ(e->Text(), "again");
    e->accept = false;
    e->DropDown(true);
    e->PopupCloseUp(true);
    EXPECT_EQ(e->Text(), "again");

    // A read-only combo edit does not drop down.
    e->SetReadOnly(true);
    e->DropDown(true);
    EXPECT_FALSE(e->PopupVisible());
}

TEST(ComboEdit, BuiltFromAWindowDefinition)
{
    RegisterControlsClasses();
    TForm form;
    form.LoadDefinitionText(R"(object AnimatorForm: TForm
  Width = 300
  Height = 200
  object TransColor: TComboEdit
    Left = 8
    Top = 8
    Width = 90
    Height = 21
    Color = clBlack
    DirectInput = False
    GlyphKind = gkEllipsis
    ButtonWidth = 17
    NumGlyphs = 1
    TabOrder = 0
  end
end
)");
    auto* e = qobject_cast<TComboEdit*>(form.FindComponent("TransColor"));
    ASSERT_NE(e, nullptr);
    EXPECT_FALSE(e->DirectInput());
    EXPECT_EQ(e->GlyphKind(), gkEllipsis);
    EXPECT_EQ(e->ButtonWidth(), 17);
    EXPECT_EQ(e->Color(), clBlack);
    ASSERT_NE(e->Glyph(), nullptr);
    EXPECT_EQ(e->Glyph()->Width(), 11);
}
