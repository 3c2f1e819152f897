#include "framework/application.h"
#include "framework/canvas.h"
#include "framework/check_box.h"
#include "framework/combo_box.h"
#include "framework/common_dialogs.h"
#include "framework/definition_reader.h"
#include "framework/dialogs.h"
#include "framework/edit.h"
#include "framework/forms.h"
#include "framework/group_box.h"
#include "framework/list_box.h"
#include "framework/list_view.h"
#include "framework/memo.h"
#include "framework/menus.h"
#include "framework/page_control.h"
#include "framework/panel.h"
#include "framework/scroll_box.h"
#include "framework/speed_button.h"
#include "framework/splitter.h"
#include "framework/status_bar.h"
#include "framework/string_list.h"
#include "framework/tool_bar.h"
#include "framework/tree_view.h"
#include "framework/up_down.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

class TControlsWindow : public TForm {
    Q_OBJECT
public:
    explicit TControlsWindow(QWidget* owner = nullptr) : TForm(owner) {}
    QStringList Log;
    QList<int> Drawn;

    Q_INVOKABLE void ComboChange(TObject*) { Log << "combo:" + QString::number(qobject_cast<TComboBox*>(FindComponent("Combo1"))->ItemIndex()); }
    Q_INVOKABLE void ListDrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)
    {
        Drawn << Index;
        TCanvas* c = Control->Canvas();
        c->Brush()->SetColor(Index == 1 ? clRed : clLime);
        c->FillRect(Rect);
        Q_UNUSED(State);
    }
    Q_INVOKABLE void PagesChange(TObject*) { Log << "page:" + QString::number(qobject_cast<TPageControl*>(FindComponent("Pages"))->ActivePageIndex()); }
    Q_INVOKABLE void PagesChanging(TObject*, bool& AllowChange) { AllowChange = !Log.contains("locked"); }
    Q_INVOKABLE void ViewSelectItem(TObject*, TListItem* Item, bool Selected)
    {
        Log << QStringLiteral("select:%1:%2").arg(Item->Caption()).arg(Selected);
    }
    Q_INVOKABLE void EditKeyPress(TObject*, QChar& Key)
    {
        // Digits only; letters are turned upper case.
        if (Key.isLetter())
            Key = Key.toUpper();
        else if (!Key.isDigit() && Key.unicode() >= 32)
            Key = QChar();
    }
    Q_INVOKABLE void FormKeyDown(TObject*, WORD& Key, TShiftState Shift)
    {
        if (Key == VK_F1 + 1 && !(Shift & ssCtrl)) {
            Log << "F2";
            Key = 0;
        }
    }
};

namespace {

void SendKey(QWidget* target, int key, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(pos), target->mapToGlobal(QPointF(pos)), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &e);
}

const char* const Definition = R"(object ControlsWindow: TControlsWindow
  ClientWidth = 400
  ClientHeight = 300
  KeyPreview = True
  OnKeyDown = FormKeyDown
  object ToolBar1: TToolBar
    ButtonWidth = 30
    object ToolButton2: TToolButton
      Left = 40
      Caption = 'Second'
    end
    object ToolButton1: TToolButton
      Left = 0
      Caption = 'First'
      Style = tbsCheck
      Grouped = True
    end
    object Sep: TToolButton
      Left = 80
      Width = 8
      Style = tbsSeparator
    end
  end
  object StatusBar1: TStatusBar
    Panels = <
      item
        Text = 'Zoom'
        Width = 80
      end
      item
        Text = '32 x 32'
        Width = 60
      end>
  end
  object Left1: TPanel
    Width = 120
    Align = alLeft
    object List1: TListBox
      Align = alClient
      Style = lbOwnerDrawFixed
      ItemHeight = 20
      Items.Strings = (
        'XP 48'
        'XP 32'
        'XP 16')
      OnDrawItem = ListDrawItem
    end
  end
  object Splitter1: TSplitter
    Left = 120
    Width = 4
  end
  object Pages: TPageControl
    Align = alClient
    ActivePage = Sheet2
    OnChange = PagesChange
    OnChanging = PagesChanging
    object Sheet1: TTabSheet
      Caption = 'One'
      object Combo1: TComboBox
        Left = 8
        Top = 8
        Style = csDropDownList
        ItemIndex = 1
        Items.Strings = (
          'Solid'
          'Gradient'
          'Image')
        OnChange = ComboChange
      end
      object Edit1: TEdit
        Left = 8
        Top = 40
        OnKeyPress = EditKeyPress
      end
      object Memo1: TMemo
        Left = 8
        Top = 70
        Lines.Strings = (
          'first'
          'second')
      end
    end
    object Sheet2: TTabSheet
      Caption = 'Two'
      object View1: TListView
        Align = alClient
        ViewStyle = vsReport
        Columns = <
          item
            Caption = 'Name'
            Width = 120
          end
          item
            Caption = 'Size'
            Width = 50
          end>
        OnSelectItem = ViewSelectItem
      end
    end
    object Sheet3: TTabSheet
      Caption = 'Three'
      object Radio1: TRadioGroup
        Left = 8
        Top = 8
        Width = 150
        Height = 90
        ItemIndex = 2
        Items.Strings = (
          'Left'
          'Middle'
          'Right')
      end
      object Scroll1: TScrollBox
        Left = 8
        Top = 100
        Width = 100
        Height = 80
        BorderStyle = bsNone
        object Far1: TPanel
          Left = 0
          Top = 150
          Width = 40
          Height = 40
        end
      end
    end
  end
end
)";

struct Window {
    TControlsWindow* w = new TControlsWindow;
    Window()
    {
        w->LoadDefinitionText(Definition);
        w->Show();
        QCoreApplication::processEvents();
    }
    ~Window() { delete w; }
    template <class T>
    T* Get(const char* name) const
    {
        T* c = qobject_cast<T*>(w->FindComponent(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
};

} // namespace

TEST(Controls, ListsAndCombosKeepIndexSetBeforeItemsAndChangeOnlyForAPerson)
{
    Window win;
    auto* combo = win.Get<TComboBox>("Combo1");
    EXPECT_EQ(combo->ItemIndex(), 1); // set before the items in the definition
    EXPECT_EQ(combo->Text(), "Gradient");
    combo->SetItemIndex(2);
    EXPECT_TRUE(win.w->Log.isEmpty()) << "setting ItemIndex from code is quiet";
    // A person picking an item runs OnChange.
    combo->ComboWidget()->setCurrentIndex(0);
    emit combo->ComboWidget()->activated(0);
    EXPECT_EQ(win.w->Log, QStringList({"combo:0"}));

    auto* memo = win.Get<TMemo>("Memo1");
    EXPECT_EQ(memo->Lines()->Count(), 2);
    EXPECT_EQ(memo->Text(), "first\r\nsecond");
    memo->Lines()->Add("third");
    EXPECT_EQ(memo->Editor()->toPlainText(), "first\nsecond\nthird");

    auto* radio = win.Get<TRadioGroup>("Radio1");
    EXPECT_EQ(radio->ItemIndex(), 2);
    EXPECT_TRUE(radio->Buttons(2)->Checked());
    radio->Buttons(0)->SetChecked(true);
    EXPECT_EQ(radio->ItemIndex(), 0);
    EXPECT_FALSE(radio->Buttons(2)->Checked());
}

TEST(Controls, OwnerDrawnListPaintsEveryRowThroughItsHandler)
{
    Window win;
    auto* list = win.Get<TListBox>("List1");
    const QImage shot = win.w->grab().toImage();
    if (const QByteArray out = qgetenv("BRELNOVA_SCREENSHOT_DIR"); !out.isEmpty())
        shot.save(QString::fromLocal8Bit(out) + "/controls_window.png");
    EXPECT_EQ(win.w->Drawn.size() >= 3, true);
    EXPECT_TRUE(win.w->Drawn.contains(0) && win.w->Drawn.contains(2));
    // Row 1 was painted red by the handler, 20 pixels high.
    const TRect r = list->ItemRect(1);
    EXPECT_EQ(r.Height(), 20);
    const QPoint inWindow = list->mapTo(win.w, QPoint(r.Left + 5, r.Top + 10));
    EXPECT_EQ(QColor(shot.pixel(inWindow)), QColor(Qt::red));
}

TEST(Controls, PagesToolBarsAndStatusPanelsFromTheDefinition)
{
    Window win;
    auto* pages = win.Get<TPageControl>("Pages");
    EXPECT_EQ(pages->PageCount(), 3);
    EXPECT_EQ(pages->ActivePage(), win.Get<TTabSheet>("Sheet2"));
    EXPECT_TRUE(win.Get<TTabSheet>("Sheet2")->isVisible());
    // Sheets fill the page area below the tabs.
    EXPECT_EQ(win.Get<TTabSheet>("Sheet2")->Top(), pages->TabBar()->height() + 4);
    EXPECT_EQ(win.Get<TTabSheet>("Sheet2")->Width(), pages->Width() - 8);
    EXPECT_FALSE(win.Get<TTabSheet>("Sheet1")->isVisible());
    // A tab click asks OnChanging, then changes and tells OnChange.
    pages->TabBar()->setCurrentIndex(0);
    EXPECT_EQ(win.w->Log, QStringList({"page:0"}));
    win.w->Log << "locked";
    pages->TabBar()->setCurrentIndex(2);
    EXPECT_EQ(pages->ActivePageIndex(), 0);
    EXPECT_EQ(pages->TabBar()->currentIndex(), 0);

    // Tool buttons line up in their order from the left, whatever the order of creation.
    auto* bar = win.Get<TToolBar>("ToolBar1");
    ASSERT_EQ(bar->ButtonCount(), 3);
    EXPECT_EQ(bar->Buttons(0)->Caption(), "First");
    EXPECT_EQ(bar->Buttons(1)->Left(), 30);
    EXPECT_EQ(bar->Buttons(2)->Left(), 60);
    EXPECT_EQ(bar->Buttons(2)->Width(), 8);
    bar->Buttons(0)->Click();
    EXPECT_TRUE(bar->Buttons(0)->Down());

    auto* status = win.Get<TStatusBar>("StatusBar1");
    ASSERT_EQ(status->PanelCount(), 2);
    EXPECT_EQ(status->Panels(1)->Text(), "32 x 32");
    EXPECT_EQ(status->PanelRect(1).Right, 398); // the last panel reaches the edge
    EXPECT_EQ(status->Top(), 300 - status->Height());
}

TEST(Controls, ListViewItemsColumnsAndSelectionEvents)
{
    Window win;
    auto* view = win.Get<TListView>("View1");
    ASSERT_EQ(view->ColumnCount(), 2);
    EXPECT_EQ(view->Column(0)->Caption(), "Name");
    TListItem* a = view->Items()->Add();
    a->SetCaption("b.ico");
    a->SubItems()->Add("2 KB");
    TListItem* b = view->Items()->Add();
    b->SetCaption("a.ico");
    EXPECT_EQ(view->ReportWidget()->topLevelItem(0)->text(1), "2 KB");
    view->SetSelected(a);
    view->SetSelected(b);
    EXPECT_EQ(win.w->Log, QStringList({"select:b.ico:1", "select:b.ico:0", "select:a.ico:1"}));
    EXPECT_EQ(view->ItemIndex(), 1);
    view->AlphaSort();
    EXPECT_EQ(view->Items()->Item(0), b);
    EXPECT_EQ(view->Selected(), b);
    // Switching to icons keeps the selection.
    view->SetViewStyle(vsIcon);
    EXPECT_EQ(view->Selected(), b);
    view->Items()->Delete(0);
    EXPECT_EQ(view->Items()->Count(), 1);
    EXPECT_EQ(win.w->Log.last(), "select:a.ico:0");
}

TEST(Controls, KeysGoThroughFormPreviewAndKeyPressMayChangeOrEatThem)
{
    Window win;
    win.Get<TPageControl>("Pages")->SetActivePageIndex(0);
    auto* edit = win.Get<TEdit>("Edit1");
    edit->SetFocus();
    for (QChar ch : QStringLiteral("a1-b"))
        SendKey(edit->focusProxy(), ch == QLatin1Char('-') ? Qt::Key_Minus : ch.isDigit() ? Qt::Key_0 + ch.digitValue() : Qt::Key_A + (ch.unicode() - 'a'), QString(ch));
    EXPECT_EQ(edit->Text(), "A1B");
    SendKey(edit->focusProxy(), Qt::Key_F2);
    EXPECT_EQ(win.w->Log, QStringList({"F2"}));
}

TEST(Controls, ScrollBoxScrollsItsChildrenAndSplitterResizesItsNeighbour)
{
    Window win;
    auto* box = win.Get<TScrollBox>("Scroll1");
    auto* far = win.Get<TPanel>("Far1");
    EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
    EXPECT_FALSE(box->HorzScrollBar()->IsScrollBarVisible());
    box->VertScrollBar()->SetPosition(1000); // held at the end of the range
    EXPECT_EQ(box->VertScrollBar()->Position(), 190 - box->ClientHeight());
    EXPECT_EQ(far->Top() + far->Height(), box->ClientHeight());
    box->VertScrollBar()->SetPosition(0);
    EXPECT_EQ(far->Top(), 150);

    auto* splitter = win.Get<TSplitter>("Splitter1");
    auto* left = win.Get<TPanel>("Left1");
    ASSERT_EQ(splitter->ResizeControl(), left);
    SendMouse(splitter, QEvent::MouseButtonPress, QPoint(1, 50), Qt::LeftButton);
    SendMouse(splitter, QEvent::MouseMove, QPoint(31, 50), Qt::LeftButton);
    SendMouse(splitter, QEvent::MouseButtonRelease, QPoint(1, 50), Qt::NoButton);
    EXPECT_EQ(left->Width(), 150);
    EXPECT_EQ(splitter->Left(), 150);
    EXPECT_EQ(win.Get<TPageControl>("Pages")->Left(), 154);
}

TEST(Controls, CommonDialogsAnswerThroughTheSeam)
{
    TSaveDialog save;
    save.SetFilter("Icon files (*.ico)|*.ico|Cursor files (*.cur)|*.cur");
    save.SetDefaultExt("ico");
    EXPECT_EQ(save.QtFilters(), QStringList({"Icon files (*.ico) (*.ico)", "Cursor files (*.cur) (*.cur)"}));
    TDialogAnswererScope scope([](TDialogRequest& r) {
        if (auto d = qobject_cast<TOpenDialog*>(r.Dialog)) {
            d->SetFileName("/tmp/project1");
            d->SetFilterIndex(2);
            r.Result = 1;
            return true;
        }
        if (r.Kind == TDialogRequest::dkBrowseFolder) {
            r.Text = "/tmp/icons";
            r.Result = 1;
            return true;
        }
        if (r.Kind == TDialogRequest::dkColor) {
            static_cast<TColorDialog*>(r.Dialog)->SetColor(clRed);
            r.Result = 1;
            return true;
        }
        r.Result = 0;
        return true;
    });
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName(), "/tmp/project1.ico"); // DefaultExt added to a bare name
    EXPECT_EQ(save.FilterIndex(), 2);
    EXPECT_EQ(save.Files()->Strings(0), "/tmp/project1.ico");
    QString dir = "/tmp";
    EXPECT_TRUE(SelectDirectory("Pick", "", dir));
    EXPECT_EQ(dir, "/tmp/icons");
    TColorDialog colour;
    EXPECT_TRUE(colour.Execute());
    EXPECT_EQ(colour.Color(), clRed);
    TFontDialog font;
    EXPECT_FALSE(font.Execute());
}

TEST(Controls, EveryFrameworkClassIsRegistered)
{
    for (const char* name : {"TPanel", "TBevel", "TImage", "TPaintBox", "TShape", "TLabel", "TStaticText", "TButton",
                             "TBitBtn", "TSpeedButton", "TEdit", "TMemo", "TMaskEdit", "TComboBox", "TListBox",
                             "TCheckBox", "TRadioButton", "TRadioGroup", "TGroupBox", "TScrollBox", "TScrollBar",
                             "TTrackBar", "TProgressBar", "TUpDown", "TPageControl", "TTabSheet", "TTabControl",
                             "TListView", "TTreeView", "TStatusBar", "TToolBar", "TToolButton", "TSplitter", "TTimer",
                             "TMainMenu", "TPopupMenu", "TMenuItem", "TImageList", "TOpenDialog", "TSaveDialog",
                             "TColorDialog", "TFontDialog", "TPrintDialog", "TPrinterSetupDialog"}) {
        std::unique_ptr<QObject> o(CreateComponentByClassName(name));
        ASSERT_NE(o, nullptr) << name;
        EXPECT_EQ(QString::fromLatin1(o->metaObject()->className()), QString::fromLatin1(name));
    }
}

#include "controls_test.moc"

TEST(ListViewLifetime, DestroyedWithItemsAndACurrentRow)
{
    auto* view = new TListView(nullptr);
    view->SetViewStyle(vsReport);
    for (int i = 0; i < 3; ++i)
        view->Items()->Add()->SetCaption(QString::number(i));
    view->ReportWidget()->setCurrentItem(view->ReportWidget()->topLevelItem(1));
    delete view; // must not reach the destroyed item list
    SUCCEED();
}

TEST(MenuItems, ALineIsASeparatorWithoutText)
{
    // Styles that print a separator's text would show the "-" beside the line.
    TMenuItem item;
    item.SetCaption("-");
    QAction* action = item.Action();
    EXPECT_TRUE(action->isSeparator());
    EXPECT_TRUE(action->text().isEmpty());
    item.SetCaption("&Open"); // a language file may make a line an item
    EXPECT_FALSE(action->isSeparator());
    EXPECT_EQ(action->text(), "&Open");
}

TEST(Controls, ComboSelectsOnlyFromItsListNotWhenTheEditIsCommitted)
{
    // Enter and leaving the edit belong to the edit (OnKeyDown, OnExit); a typed text that
    // matches an item must not also run OnSelect, nor join the list.
    TComboBox combo(nullptr);
    combo.SetStyle(csDropDown);
    combo.Items()->Add("one.ico");
    combo.Items()->Add("two.ico");
    int selects = 0;
    combo.OnSelect = [&](TObject*) { ++selects; };
    QComboBox* widget = combo.ComboWidget();
    auto press = [&](int key) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(widget, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(widget, &up);
    };
    for (const char* typed : {"two.ico", "three.ico"}) {
        widget->lineEdit()->setText(typed);
        press(Qt::Key_Return);
        EXPECT_EQ(selects, 0) << typed;
    }
    EXPECT_EQ(widget->count(), 2);
    widget->lineEdit()->setText("one.ico");
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &out);
    EXPECT_EQ(selects, 0);
    // Moving through the list with the arrow keys still selects.
    widget->setCurrentIndex(0);
    press(Qt::Key_Down);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(combo.ItemIndex(), 1);
}
