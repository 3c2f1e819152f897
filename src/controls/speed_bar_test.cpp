#include "controls/speed_bar.h"

#include "controls/controls_classes.h"
#include "controls/controls_testing.h"
#include "controls/speed_bar_customize.h"
#include "controls/storage/placement_store.h"
#include "framework/ini_file.h"
#include "framework/string_list.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ControlsTest;

namespace {

struct Bar {
    Window w;
    TSpeedBar* bar;
    Bar()
    {
        bar = new TSpeedBar(w.form.get());
        bar->SetParent(w.form.get());
        bar->setObjectName("SpeedBar1");
        bar->Show();
    }
    TSpeedItem* Item(const QString& name, int section = 0, bool visible = true)
    {
        auto* item = new TSpeedItem(w.form.get());
        item->SetName(name);
        bar->AddItem(section, item);
        item->SetVisible(visible);
        return item;
    }
};

void Mouse(QWidget* w, QEvent::Type type, TPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::MouseButtons held = Qt::LeftButton)
{
    const QPointF local(p.X, p.Y);
    QMouseEvent e(type, local, w->mapToGlobal(local), b, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Drags the bar by the mouse from a point of the bar to a point of its window.
void DragBar(TSpeedBar* bar, TPoint from, TPoint toInParent)
{
    Mouse(bar, QEvent::MouseButtonPress, from);
    const TPoint to = bar->ScreenToClient(bar->Parent()->ClientToScreen(toInParent));
    Mouse(bar, QEvent::MouseMove, {from.X + 10, from.Y + 10}, Qt::NoButton);
    Mouse(bar, QEvent::MouseMove, to, Qt::NoButton);
    Mouse(bar, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

// Where the focus frames drawn on the screen are.
QList<QRect> ScreenFrames()
{
    QList<QRect> frames;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("ScreenFocusFrame") && w->isVisible())
            frames << w->geometry();
    return frames;
}

// A customizing window that records what the bar tells it.
class EditorWindow : public QObject {
public:
    QList<QPair<int, QObject*>> Got;
    bool event(QEvent* e) override
    {
        if (e->type() != SpeedbarChangedMessage)
            return QObject::event(e);
        auto* c = static_cast<TSpeedbarChangedEvent*>(e);
        Got << qMakePair(c->Code, c->Subject);
        return true;
    }
};

} // namespace

TEST(SpeedBar, NewBarSizesAndSnapSteps)
{
    Bar b;
    TSpeedBar* bar = b.bar;
    EXPECT_EQ(bar->Height(), 2 * 3 + 23);
    EXPECT_EQ(bar->BtnOffsetHorz(), 3);
    EXPECT_EQ(bar->BtnOffsetVert(), 3);
    EXPECT_EQ(bar->BtnWidth(), 24);
    EXPECT_EQ(bar->BtnHeight(), 23);
    EXPECT_EQ(bar->HorzStep(), 8);
    EXPECT_EQ(bar->VertStep(), 23);
    EXPECT_EQ(bar->Options(), TSpeedbarOptions(sbAllowDrag) | sbGrayedBtns);
    EXPECT_EQ(bar->Align(), alTop);

    const std::pair<int, int> steps[] = {{24, 8}, {23, 1}, {25, 5}, {21, 7}, {20, 10}, {16, 8}, {12, 4}, {6, 2}, {5, 1}, {2, 1}, {1, 1}};
    for (auto [width, step] : steps) {
        bar->SetBtnWidth(width);
        EXPECT_EQ(bar->HorzStep(), step) << width;
    }
    bar->SetBtnWidth(24);

    // An offset below the smallest is raised to it and moves nothing.
    TSpeedItem* item = b.Item("Play");
    item->SetLeft(11);
    bar->SetBtnOffsetHorz(0);
    EXPECT_EQ(bar->BtnOffsetHorz(), 3);
    EXPECT_EQ(item->Left(), 11);
    bar->SetBtnOffsetHorz(7);
    EXPECT_EQ(item->Left(), 15);
    // Flat buttons need 2 pixels less; offsets above that stay.
    bar->SetOptions(bar->Options() | sbFlatBtns);
    EXPECT_EQ(bar->SmallestOffset(), 1);
    EXPECT_EQ(bar->BtnOffsetHorz(), 7);
    EXPECT_EQ(bar->BtnOffsetVert(), 3);
    EXPECT_TRUE(item->Button()->Flat());

    // Set from code, a turn to a vertical side keeps the thickness too.
    const int thickness = bar->Height();
    bar->SetAlign(alRight);
    EXPECT_EQ(bar->Width(), thickness);
    EXPECT_EQ(bar->Left(), b.w.form->ClientWidth() - thickness);
    EXPECT_EQ(bar->Height(), b.w.form->ClientHeight());
}

TEST(SpeedBar, SectionsItemsAndSnapping)
{
    Bar b;
    TSpeedBar* bar = b.bar;
    for (int i = 0; i < 3; ++i)
        bar->CreateSection("Tools");
    ASSERT_EQ(bar->SectionCount(), 3);
    EXPECT_EQ(bar->SectionAt(1)->Caption(), "Tools (1)");
    EXPECT_EQ(bar->SectionAt(2)->Caption(), "Tools (2)");
    EXPECT_THROW(bar->SectionAt(2)->SetCaption("Tools"), ESpeedbarError);
    EXPECT_EQ(bar->SectionAt(2)->Caption(), "Tools (2)");
    EXPECT_THROW(bar->SetAlign(alClient), ESpeedbarError);
    EXPECT_THROW(bar->SetAlign(alNone), ESpeedbarError);
    EXPECT_EQ(bar->Align(), alTop);

    TSpeedItem* play = b.Item("Play", 0);
    TSpeedItem* stop = b.Item("Stop", 5); // held to the last section
    EXPECT_EQ(stop->SectionIndex(), 2);
    EXPECT_EQ(play->Bar(), bar);
    EXPECT_EQ(play->Button()->parentWidget(), bar);
    EXPECT_EQ(play->Button()->Width(), 24);
    EXPECT_EQ(bar->ItemByName("STOP"), stop);

    // Left rounds to the step (halves to even), Top truncates to whole rows.
    const struct {
        int x, y, left, top;
    } moves[] = {{3, 3, 3, 3}, {6, 10, 3, 3}, {7, 25, 3, 3}, {15, 26, 19, 26}, {23, 3, 19, 3}};
    for (const auto& m : moves) {
        EXPECT_TRUE(bar->MoveItem(play, m.x, m.y));
        EXPECT_EQ(play->Left(), m.left) << m.x;
        EXPECT_EQ(play->Top(), m.top) << m.y;
    }
    // Outside the bar the item is hidden.
    EXPECT_FALSE(bar->MoveItem(play, 3, 200));
    EXPECT_FALSE(play->Visible());
    EXPECT_TRUE(play->Button()->isHidden());

    // Moving a section keeps its items' section index in step; detaching takes them off.
    bar->SectionAt(2)->SetIndex(0);
    EXPECT_EQ(stop->SectionIndex(), 0);
    bar->DetachSection(0);
    EXPECT_EQ(stop->Bar(), nullptr);
    EXPECT_EQ(stop->SectionIndex(), -1);
    EXPECT_EQ(bar->SectionCount(), 2);
    delete stop;
    // Deleting an item takes it off its section.
    delete play;
    EXPECT_EQ(bar->SectionAt(0)->Count(), 0);
}

TEST(SpeedBar, ItemHintFollowsItsCaption)
{
    const struct {
        QString hint, caption, expected;
    } cases[] = {
        {"", "Play", "Play|"},
        {"Play|", "Pause", "Pause|"},
        {"Play|Starts the show", "Pause", "Pause|Starts the show"},
        {"Play|Starts", "Stop|Stops it all", "Stop|Stops it all"},
        {"Play|Starts", "Stop|", "Stop|Starts"},
        {"Own text|long", "Pause", "Own text|long"}, // a short hint of its own stays
    };
    Bar b;
    for (const auto& c : cases) {
        auto* item = new TSpeedItem(b.w.form.get());
        item->SetCaption(c.hint.section('|', 0, 0) == "Own text" ? QString("Play") : c.hint.section('|', 0, 0));
        item->SetHint(c.hint);
        item->SetCaption(c.caption);
        EXPECT_EQ(item->Hint(), c.expected) << c.hint.toStdString() << " / " << c.caption.toStdString();
        delete item;
    }
}

TEST(SpeedBar, EnablingAndRepeatingItems)
{
    Bar b;
    TSpeedItem* play = b.Item("Play");
    TSpeedItem* step = b.Item("Forward");
    step->SetAllowTimer(true);
    EXPECT_TRUE(step->Button()->AllowTimer());
    play->SetEnabled(false);
    EXPECT_FALSE(play->Button()->Enabled());
    b.bar->SetEnabled(false);
    EXPECT_FALSE(step->Button()->Enabled());
    b.bar->SetEnabled(true);
    EXPECT_TRUE(step->Button()->Enabled());
    EXPECT_FALSE(play->Button()->Enabled());
    // An item on a disabled bar stays disabled when enabled itself.
    b.bar->SetEnabled(false);
    play->SetEnabled(true);
    EXPECT_FALSE(play->Button()->Enabled());
    b.bar->SetEnabled(true);

    // A held item with AllowTimer clicks again on every tick.
    int clicks = 0;
    step->OnClick() = [&](TObject*) { ++clicks; };
    step->Button()->SetInitPause(5000);
    Mouse(step->Button(), QEvent::MouseButtonPress, {5, 5});
    step->Button()->RepeatTick();
    step->Button()->RepeatTick();
    Mouse(step->Button(), QEvent::MouseButtonRelease, {5, 5}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 3);
    step->ClickButton();
    EXPECT_EQ(clicks, 4);
}

TEST(SpeedBar, DraggedToAnotherSideOfItsWindow)
{
    Bar b;
    TSpeedBar* bar = b.bar;
    TSpeedItem* play = b.Item("Play");
    TSpeedItem* stop = b.Item("Stop");
    bar->MoveItem(stop, 27, 3);
    int moved = 0;
    bar->OnPosChanged = [&](TObject*) { ++moved; };
    const int thickness = bar->Height();
    const int W = b.w.form->ClientWidth(), H = b.w.form->ClientHeight();

    // The lower triangle docks it at the bottom with the same height.
    DragBar(bar, {200, 10}, {W / 2, H - 10});
    EXPECT_EQ(bar->Align(), alBottom);
    EXPECT_EQ(bar->Height(), thickness);
    EXPECT_EQ(bar->Top(), H - thickness);
    EXPECT_EQ(moved, 1);

    // The left triangle turns it into a left bar as wide as it was high, its layout transposed.
    DragBar(bar, {200, 10}, {10, H / 2});
    EXPECT_EQ(bar->Align(), alLeft);
    EXPECT_EQ(bar->Width(), thickness);
    EXPECT_EQ(bar->BtnWidth(), 23);
    EXPECT_EQ(bar->BtnHeight(), 24);
    EXPECT_EQ(stop->Left(), 3);
    EXPECT_EQ(stop->Top(), 27);
    EXPECT_EQ(play->Button()->Width(), 23);
    EXPECT_EQ(bar->HorzStep(), 23);
    EXPECT_EQ(bar->VertStep(), 8);
    EXPECT_EQ(bar->CurrentOrientation(), Vertical);

    // A handler refusing the right side keeps the frame where it was accepted last.
    bar->OnApplyAlign = [](TObject*, TAlign a, bool& apply) { apply = a != alRight; };
    Mouse(bar, QEvent::MouseButtonPress, {10, 200});
    Mouse(bar, QEvent::MouseMove, {10, 220}, Qt::NoButton);
    const TPoint top = bar->ScreenToClient(b.w.form->ClientToScreen({W / 2, 10}));
    Mouse(bar, QEvent::MouseMove, top, Qt::NoButton);
    EXPECT_TRUE(bar->Dragging());
    EXPECT_EQ(bar->FrameAlign(), alTop);
    EXPECT_EQ(bar->DragFrame(), bar->DragFrameRect(alTop));
    const TRect frame = bar->DragFrame();
    EXPECT_EQ(ScreenFrames(), QList<QRect>{QRect(frame.Left, frame.Top, frame.Width(), frame.Height())})
        << "one frame on the screen, where the bar would go";
    const TPoint right = bar->ScreenToClient(b.w.form->ClientToScreen({W - 10, H / 2}));
    Mouse(bar, QEvent::MouseMove, right, Qt::NoButton);
    EXPECT_EQ(bar->FrameAlign(), alTop);
    Mouse(bar, QEvent::MouseButtonRelease, right, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(bar->Dragging());
    EXPECT_TRUE(ScreenFrames().isEmpty());
    EXPECT_EQ(bar->Align(), alTop);
    EXPECT_EQ(bar->Height(), thickness);

    // The preview window's bar cannot be dragged at all.
    bar->SetOptions(TSpeedbarOptions(sbGrayedBtns));
    DragBar(bar, {200, 10}, {W / 2, H - 10});
    EXPECT_FALSE(bar->Dragging());
    EXPECT_EQ(bar->Align(), alTop);
}

TEST(SpeedBar, LayoutIsStoredAndRestored)
{
    QTemporaryDir dir;
    Bar b;
    TSpeedBar* bar = b.bar;
    bar->SetOptions(bar->Options() | sbAllowResize);
    TSpeedItem* a = b.Item("Play");
    TSpeedItem* c = b.Item("Stop");
    TSpeedItem* d = b.Item("Rewind");
    TSpeedItem* hidden = b.Item("Back", 0, false);
    TSpeedItem* unstored = b.Item("Fast");
    unstored->SetStored(false);
    bar->MoveItem(c, 27, 3);
    bar->MoveItem(d, 51, 3);
    TIniFile ini(dir.filePath("bar.ini"));
    bar->WriteLayout(&ini, "Bar");
    TStringList keys;
    ini.ReadSection("Bar", &keys);
    EXPECT_EQ(keys.ToStringList(), QStringList({"Position", "Width", "Version", "PixelsPerInch", "BtnWidth", "BtnHeight",
                                                "Button1", "Button2", "Button3", "Count"}));
    EXPECT_EQ(ini.ReadString("Bar", "Button2", ""), "Stop,27,3");
    EXPECT_EQ(ini.ReadInteger("Bar", "Count", 0), 3);

    // Restored: exactly the listed items, never above or left of the offsets.
    ini.WriteString("Bar", "Button1", "Play,-5,0");
    ini.WriteString("Bar", "Button3", "Rewind,x,3");
    ini.WriteString("Bar", "Width", "40");
    ini.WriteString("Bar", "Position", "2");
    a->SetVisible(false);
    hidden->SetVisible(true);
    int moved = 0;
    bar->OnPosChanged = [&](TObject*) { ++moved; };
    bar->ReadLayout(&ini, "Bar");
    EXPECT_EQ(bar->Align(), alBottom);
    EXPECT_EQ(bar->Height(), 40);
    EXPECT_EQ(moved, 1);
    EXPECT_TRUE(a->Visible());
    EXPECT_EQ(a->Left(), 3);
    EXPECT_EQ(a->Top(), 3);
    EXPECT_TRUE(c->Visible());
    EXPECT_TRUE(d->Visible());
    EXPECT_EQ(d->Left(), 51); // a position that is no number keeps the item's own
    EXPECT_FALSE(hidden->Visible());
    EXPECT_FALSE(unstored->Visible());

    // Another resolution: only the side.
    ini.WriteString("Bar", "PixelsPerInch", "120");
    ini.WriteString("Bar", "Position", "1");
    ini.WriteString("Bar", "Width", "60");
    c->SetVisible(false);
    bar->ReadLayout(&ini, "Bar");
    EXPECT_EQ(bar->Align(), alTop);
    EXPECT_EQ(bar->Height(), 40);
    EXPECT_FALSE(c->Visible());
    // A layout older than the bar's version is ignored; a bad position gives alTop.
    bar->SetVersion(3);
    ini.WriteString("Bar", "PixelsPerInch", "96");
    ini.WriteString("Bar", "Position", "2");
    bar->ReadLayout(&ini, "Bar");
    EXPECT_EQ(bar->Align(), alTop);
    ini.WriteString("Bar", "Version", "3");
    ini.WriteString("Bar", "Position", "5");
    bar->ReadLayout(&ini, "Bar");
    EXPECT_EQ(bar->Align(), alTop);
}

TEST(SpeedBar, CustomizingModeMovesAndDropsButtons)
{
    Bar b;
    TSpeedBar* bar = b.bar;
    TSpeedItem* play = b.Item("Play");
    TSpeedItem* stop = b.Item("Stop");
    bar->MoveItem(stop, 27, 3);
    play->SetEnabled(false);
    bar->SetOptions(bar->Options() | sbFlatBtns);
    EditorWindow editor;
    bar->SetEditorWindow(&editor);
    EXPECT_TRUE(play->Customizing());
    EXPECT_TRUE(play->Button()->Enabled());
    EXPECT_FALSE(play->Button()->Flat());

    // Dragged to a new place on the bar: snapped there, and the window hears of the drop.
    TSpeedbarButton* button = stop->Button();
    Mouse(button, QEvent::MouseButtonPress, {5, 5});
    ASSERT_TRUE(button->DragImage());
    EXPECT_EQ(button->DragImage()->Width(), 24);
    const TPoint drop = button->ScreenToClient(bar->ClientToScreen({75 + 24, 3 + 23}));
    Mouse(button, QEvent::MouseMove, drop, Qt::NoButton);
    EXPECT_TRUE(button->DragImage()->isVisible());
    Mouse(button, QEvent::MouseButtonRelease, drop, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(button->DragImage());
    EXPECT_EQ(stop->Left(), 75);
    ASSERT_EQ(editor.Got.size(), 1);
    EXPECT_EQ(editor.Got[0], qMakePair(int(sbcButtonDropped), static_cast<QObject*>(stop)));

    // Dropped off the bar: the item leaves the layout and is no longer stored.
    const TPoint off = stop->Button()->ScreenToClient(bar->ClientToScreen({100, 200}));
    Mouse(stop->Button(), QEvent::MouseButtonPress, {5, 5});
    Mouse(stop->Button(), QEvent::MouseMove, off, Qt::NoButton);
    Mouse(stop->Button(), QEvent::MouseButtonRelease, off, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(stop->Visible());
    EXPECT_EQ(editor.Got.last(), qMakePair(int(sbcLayoutChanged), static_cast<QObject*>(bar)));
    QTemporaryDir dir;
    TIniFile ini(dir.filePath("bar.ini"));
    bar->WriteLayout(&ini, "Bar");
    EXPECT_EQ(ini.ReadInteger("Bar", "Count", -1), 1);

    // The inner edge sizes the bar by whole rows of buttons.
    bar->SetOptions(bar->Options() | sbAllowResize);
    const int h = bar->Height();
    Mouse(bar, QEvent::MouseButtonPress, {100, h - 1});
    EXPECT_TRUE(bar->Resizing());
    Mouse(bar, QEvent::MouseMove, {100, h + 30}, Qt::NoButton);
    EXPECT_EQ(bar->Height(), 2 * 23 + 2 * bar->BtnOffsetVert());
    Mouse(bar, QEvent::MouseButtonRelease, {100, h + 30}, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(bar->Resizing());

    // Out of the mode the buttons take the item's Enabled and the bar's flat look again.
    bar->SetEditorWindow(nullptr);
    EXPECT_FALSE(play->Customizing());
    EXPECT_FALSE(play->Button()->Enabled());
    EXPECT_TRUE(play->Button()->Flat());
}

TEST(SpeedBar, BuiltFromAWindowDefinition)
{
    RegisterControlsClasses();
    TForm form;
    form.LoadDefinitionText(R"(object Preview: TForm
  Width = 300
  Height = 200
  object SpeedBar1: TSpeedBar
    Align = alBottom
    BtnOffsetHorz = 3
    BtnOffsetVert = 3
    BtnWidth = 24
    BtnHeight = 23
    Color = clWhite
    Options = [sbGrayedBtns]
    BevelOuter = bvNone
    Sections = ('Tools')
    InternalVer = 1
    object PlayItem: TSpeedItem
      Caption = 'Play'
      Hint = 'Play|'
      Spacing = 1
      Left = 3
      Top = 3
      Visible = True
      SectionName = 'Tools'
    end
    object ForwardItem: TSpeedItem
      Caption = 'Forward One Frame'
      AllowTimer = True
      Left = 27
      Top = 3
      Visible = True
      SectionName = 'Tools'
    end
  end
end
)");
    auto* bar = qobject_cast<TSpeedBar*>(form.FindComponent("SpeedBar1"));
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->Align(), alBottom);
    EXPECT_EQ(bar->Options(), TSpeedbarOptions(sbGrayedBtns));
    ASSERT_EQ(bar->SectionCount(), 1);
    EXPECT_EQ(bar->SectionAt(0)->Caption(), "Tools");
    ASSERT_EQ(bar->SectionAt(0)->Count(), 2);
    auto* fwd = qobject_cast<TSpeedItem*>(form.FindComponent("ForwardItem"));
    ASSERT_TRUE(fwd);
    EXPECT_EQ(fwd->Bar(), bar);
    EXPECT_TRUE(fwd->AllowTimer());
    EXPECT_EQ(fwd->Left(), 27);
    EXPECT_EQ(fwd->Button()->parentWidget(), bar);
    EXPECT_EQ(bar->ItemByName("playitem")->Hint(), "Play|");
    form.Show();
    QApplication::processEvents();
    EXPECT_TRUE(fwd->Button()->isVisible());
    EXPECT_EQ(bar->Top(), form.ClientHeight() - bar->Height());
}
