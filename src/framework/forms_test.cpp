#include "framework/application.h"
#include "framework/bit_btn.h"
#include "framework/button.h"
#include "framework/commands.h"
#include "framework/definition_reader.h"
#include "framework/dialogs.h"
#include "framework/forms.h"
#include "framework/image.h"
#include "framework/label.h"
#include "framework/menus.h"
#include "framework/panel.h"
#include "framework/picture.h"

#include <QApplication>
#include <QImage>
#include <QLayout>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QPointer>
#include <gtest/gtest.h>

// A window class as the program writes them: handlers are invokable methods bound by name from
// the definition, published fields receive their components.
class TSampleWindow : public TForm {
    Q_OBJECT
    Q_PROPERTY(TButton* Button1 MEMBER Button1)
    Q_PROPERTY(TPanel* Panel3 MEMBER Panel3)

public:
    explicit TSampleWindow(QWidget* owner = nullptr) : TForm(owner) {}

    TButton* Button1 = nullptr;
    TPanel* Panel3 = nullptr;
    QStringList Log;
    bool AllowClose = true;

    Q_INVOKABLE void FormCreate(TObject*) { Log << "create:" + Caption(); }
    Q_INVOKABLE void FormCloseQuery(TObject*, bool& CanClose)
    {
        Log << "closequery";
        CanClose = AllowClose;
    }
    Q_INVOKABLE void FormClose(TObject*, TCloseAction& Action)
    {
        Log << "close";
        Action = caFree;
    }
    Q_INVOKABLE void Button1Click(TObject* Sender)
    {
        Log << "click:" + static_cast<TControl*>(Sender)->Name();
    }
    Q_INVOKABLE void CheckClick(TObject*) { Log << "check"; }
    Q_INVOKABLE void MenuClick(TObject* Sender) { Log << "menu:" + static_cast<TMenuItem*>(Sender)->objectName(); }
    Q_INVOKABLE void BoomClick(TObject*) { throw EConvertError(QStringLiteral("'x' is not a valid integer value")); }
    Q_INVOKABLE void WrongShape(TObject*, int) {}
};

namespace {

QByteArray SampleDefinition(const QString& picturePath)
{
    return QStringLiteral(R"(object SampleWindow: TSampleWindow
  Left = 20
  Top = 30
  ClientWidth = 320
  ClientHeight = 200
  Caption = 'Sample'
  Color = clBtnFace
  Font.Name = 'Tahoma'
  Font.Height = -11
  OnCreate = FormCreate
  OnCloseQuery = FormCloseQuery
  OnClose = FormClose
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 100
    Height = 40
    Align = alTop
    Caption = 'Header'
    object Button1: TButton
      Left = 8
      Top = 8
      Width = 75
      Height = 25
      Caption = '&Go'
      OnClick = Button1Click
    end
  end
  object Status: TPanel
    Height = 22
    Align = alBottom
    BevelOuter = bvLowered
    Caption = 'Ready'
  end
  object Panel2: TPanel
    Width = 90
    Align = alLeft
    Color = clWhite
    object Label1: TLabel
      Left = 8
      Top = 8
      Caption = 'Formats'
    end
    object Check1: TCheckBox
      Left = 8
      Top = 30
      Caption = 'Grid'
      Checked = True
      OnClick = CheckClick
    end
  end
  object Panel3: TPanel
    Align = alClient
    BevelOuter = bvLowered
    Color = 14803425
    PopupMenu = PopupMenu1
    object Image1: TImage
      Left = 10
      Top = 10
      AutoSize = True
      Picture = '%1'
    end
    object Corner: TButton
      Left = 150
      Top = 100
      Width = 60
      Height = 20
      Anchors = [akRight, akBottom]
      Caption = 'Corner'
    end
  end
  object BitBtn21: TBitBtn
    Visible = False
    Enabled = False
    OnClick = Button1Click
  end
  object BitBtn22: TBitBtn
    Visible = False
    OnClick = BoomClick
  end
  object PopupMenu1: TPopupMenu
    object Grid2: TMenuItem
      Caption = '&Grid'
      Checked = True
      ShortCut = 16455
      OnClick = MenuClick
    end
    object N1: TMenuItem
      Caption = '-'
    end
    object Properties1: TMenuItem
      Caption = 'Properties'
      Enabled = False
      OnClick = MenuClick
    end
  end
end
)")
        .arg(picturePath)
        .toUtf8();
}

// A 24 x 16 picture: red left half, blue right half.
QString WritePicture(const QTemporaryDir& dir)
{
    QImage img(24, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            img.setPixel(x, y, x < 12 ? 0xFFFF0000 : 0xFF0000FF);
    const QString path = dir.filePath(QStringLiteral("pic.png"));
    img.save(path);
    return path;
}

struct Loaded {
    QTemporaryDir dir;
    TSampleWindow* w = new TSampleWindow;
    Loaded() { w->LoadDefinitionText(SampleDefinition(WritePicture(dir))); }
    ~Loaded() { delete w; }
};

TControl* Control(TForm* f, const char* name) { return qobject_cast<TControl*>(f->FindComponent(name)); }

} // namespace

TEST(Forms, DefinitionBuildsTheWindowAndRunsOnCreate)
{
    Loaded l;
    TSampleWindow* w = l.w;
    EXPECT_EQ(w->objectName(), "SampleWindow");
    EXPECT_EQ(w->Log, QStringList({"create:Sample"}));
    EXPECT_EQ(w->ClientWidth(), 320);
    EXPECT_EQ(w->ClientHeight(), 200);
    ASSERT_NE(w->Button1, nullptr);
    EXPECT_EQ(w->Button1, Control(w, "button1"));
    EXPECT_EQ(w->Button1->Parent(), Control(w, "Panel1"));
    EXPECT_EQ(w->Button1->Caption(), "&Go");
    EXPECT_EQ(w->Font()->Name(), "Tahoma");
    EXPECT_EQ(w->Button1->Font()->Name(), "Tahoma"); // inherited through ParentFont
    EXPECT_EQ(w->Button1->Font()->Height(), -11);
    auto* image = qobject_cast<TImage*>(w->FindComponent("Image1"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Picture()->Width(), 24);
    EXPECT_EQ(image->Picture()->Height(), 16);
    EXPECT_EQ(image->Width(), 24); // AutoSize after loading
    EXPECT_EQ(qobject_cast<TControl*>(w->FindComponent("Panel3"))->PopupMenu(), w->FindComponent("PopupMenu1"));
    // A checked box loaded from the definition did not click: handlers are quiet while building.
    EXPECT_FALSE(w->Log.contains("check"));
    auto* grid = qobject_cast<TMenuItem*>(w->FindComponent("grid2"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->ShortCut(), 16455);
    EXPECT_EQ(ShortCutToText(grid->ShortCut()), "Ctrl+G");
    auto* popup = qobject_cast<TPopupMenu*>(w->FindComponent("PopupMenu1"));
    EXPECT_EQ(popup->Items()->Count(), 3);
    EXPECT_TRUE(popup->Items()->Items(1)->IsLine());
}

TEST(Forms, AlignLayoutFollowsTheFrameworkOrder)
{
    Loaded l;
    TSampleWindow* w = l.w;
    // Top first across the whole width, then bottom, then left in what remains, client last.
    EXPECT_EQ(Control(w, "Panel1")->BoundsRect(), Bounds(0, 0, 320, 40));
    EXPECT_EQ(Control(w, "Status")->BoundsRect(), Bounds(0, 178, 320, 22));
    EXPECT_EQ(Control(w, "Panel2")->BoundsRect(), Bounds(0, 40, 90, 138));
    EXPECT_EQ(Control(w, "Panel3")->BoundsRect(), Bounds(90, 40, 230, 138));

    // The anchored button keeps its distance to the right and bottom edges as the client grows.
    TControl* corner = Control(w, "Corner");
    const TRect before = corner->BoundsRect();
    w->SetClientWidth(420);
    w->SetClientHeight(250);
    EXPECT_EQ(Control(w, "Panel3")->BoundsRect(), Bounds(90, 40, 330, 188));
    EXPECT_EQ(corner->BoundsRect(), Bounds(before.Left + 100, before.Top + 50, 60, 20));
    EXPECT_EQ(Control(w, "Status")->Top(), 228);

    // Hiding a top panel gives its room to the rest; two top panels stack in Top order.
    Control(w, "Panel1")->SetVisible(false);
    EXPECT_EQ(Control(w, "Panel2")->Top(), 0);
    auto* second = new TPanel;
    second->SetBounds(0, 5, 10, 30);
    second->SetAlign(alTop);
    second->SetParent(w);
    Control(w, "Panel1")->SetVisible(true);
    EXPECT_EQ(Control(w, "Panel1")->Top(), 0);
    EXPECT_EQ(second->Top(), 40);
    EXPECT_EQ(Control(w, "Panel2")->Top(), 70);
}

TEST(Forms, CommandsByNameRunHandlersDirectly)
{
    Loaded l;
    TSampleWindow* w = l.w;
    // A hidden, disabled command button still runs; names compare without case.
    EXPECT_TRUE(RunCommandByName("samplewindow", "bitbtn21"));
    EXPECT_EQ(w->Log.last(), "click:BitBtn21");
    // An enabled menu item runs, a disabled one does not.
    EXPECT_TRUE(RunCommandByName("SampleWindow", "GRID2"));
    EXPECT_EQ(w->Log.last(), "menu:Grid2");
    const int before = int(w->Log.size());
    EXPECT_FALSE(RunCommandByName("SampleWindow", "Properties1"));
    // Missing window, missing component, component without a click handler: nothing happens.
    EXPECT_FALSE(RunCommandByName("NoSuchWindow", "BitBtn21"));
    EXPECT_FALSE(RunCommandByName("SampleWindow", "NoSuchButton"));
    EXPECT_FALSE(RunCommandByName("SampleWindow", "Panel1"));
    EXPECT_EQ(w->Log.size(), before);
    // The protocol does not go through Qt's clicking: a disabled Qt button would not click.
    w->Button1->SetEnabled(false);
    EXPECT_TRUE(ClickComponentByName(w, "Button1"));
    EXPECT_EQ(w->Log.last(), "click:Button1");
}

TEST(Forms, ExceptionFromAHandlerReachesTheApplicationHandler)
{
    Loaded l;
    QStringList shown;
    Application->OnException = [&](TObject* sender, const Exception& e) {
        shown << e.Message() + "@" + qobject_cast<QObject*>(dynamic_cast<QObject*>(sender))->objectName();
    };
    EXPECT_TRUE(RunCommandByName("SampleWindow", "BitBtn22"));
    Application->OnException = nullptr;
    EXPECT_EQ(shown, QStringList({"'x' is not a valid integer value@BitBtn22"}));

    // Without a handler of its own the application shows the message in a box.
    QStringList boxes;
    TDialogAnswererScope scope([&](TDialogRequest& r) {
        boxes << r.Text;
        r.Result = IDOK;
        return true;
    });
    qobject_cast<TControl*>(l.w->FindComponent("BitBtn22"))->Click();
    EXPECT_EQ(boxes, QStringList({"'x' is not a valid integer value."}));
}

TEST(Forms, CloseQueryCanVetoAndCloseActionFrees)
{
    auto* w = new TSampleWindow;
    QTemporaryDir dir;
    w->LoadDefinitionText(SampleDefinition(WritePicture(dir)));
    QPointer<TSampleWindow> guard(w);
    w->Show();
    w->AllowClose = false;
    w->Close();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->Log.mid(1), QStringList({"closequery"}));
    w->AllowClose = true;
    w->Close();
    EXPECT_EQ(w->Log.mid(1), QStringList({"closequery", "closequery", "close"}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST(Forms, ShowModalReturnsTheModalResultOfTheButtonPressed)
{
    TForm dlg;
    dlg.LoadDefinitionText(R"(object Dlg: TForm
  ClientWidth = 200
  ClientHeight = 80
  object OK: TButton
    Left = 10
    Top = 40
    Caption = 'OK'
    Default = True
    ModalResult = 1
  end
  object Cancel: TButton
    Left = 100
    Top = 40
    Caption = 'Cancel'
    Cancel = True
    ModalResult = mrCancel
  end
end
)");
    QTimer::singleShot(0, [&] { qobject_cast<TButton*>(dlg.FindComponent("OK"))->Click(); });
    EXPECT_EQ(dlg.ShowModal(), mrOk);
    EXPECT_FALSE(dlg.isVisible());

    // Escape runs the cancel button through the form's dialog keys.
    QTimer::singleShot(0, [&] { dlg.DialogKey(VK_ESCAPE); });
    EXPECT_EQ(dlg.ShowModal(), mrCancel);

    // Closing the window ends the modal loop with mrCancel.
    QTimer::singleShot(0, [&] { dlg.Close(); });
    EXPECT_EQ(dlg.ShowModal(), mrCancel);

    // The seam answers without showing anything.
    TDialogAnswererScope scope([&](TDialogRequest& r) {
        if (r.Kind != TDialogRequest::dkForm || r.Dialog != &dlg)
            return false;
        r.Result = mrYes;
        return true;
    });
    EXPECT_EQ(dlg.ShowModal(), mrYes);
    EXPECT_FALSE(dlg.isVisible());
}

TEST(Forms, MessageDialogsAreAnsweredThroughTheSeam)
{
    std::vector<TDialogRequest> asked;
    TDialogAnswererScope scope([&](TDialogRequest& r) {
        asked.push_back(r);
        r.Result = r.Kind == TDialogRequest::dkMessageDlg ? mrNo : IDYES;
        return true;
    });
    EXPECT_EQ(MessageDlg("Save changes?", mtConfirmation, mbYesNoCancel), mrNo);
    EXPECT_EQ(MessageBox("Replace?", "Info", MB_YESNO | MB_ICONQUESTION), IDYES);
    ShowMessage("Done");
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0].Caption, "Confirm");
    EXPECT_EQ(asked[0].Flags >> 8, mbYesNoCancel);
    EXPECT_EQ(asked[1].Caption, "Info");
    EXPECT_EQ(asked[1].Flags, unsigned(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(asked[2].Text, "Done");
}

TEST(Forms, UnansweredDialogsOnAHeadlessScreenCancel)
{
    ASSERT_TRUE(HeadlessPlatform());
    EXPECT_EQ(MessageDlg("Save changes?", mtConfirmation, mbYesNoCancel), mrCancel);
    EXPECT_EQ(MessageBox("Go on?", "Info", MB_YESNO), IDNO);
}

TEST(Forms, LoadErrorsNameWhatIsWrong)
{
    struct Case {
        const char* body;
        const char* fragment;
    };
    const Case cases[] = {
        {"object X: TNoSuchClass\nend", "Class TNoSuchClass not found"},
        {"object B: TButton\n OnClick = NoSuchHandler\nend", "Method NoSuchHandler not found in TSampleWindow"},
        {"object B: TButton\n OnClick = WrongShape\nend", "Handler WrongShape(TObject*,int) does not fit OnClick(TObject*)"},
        {"object B: TButton\n NoSuchProperty = 1\nend", "Property NoSuchProperty does not exist"},
        {"object B: TButton\n Align = alSideways\nend", "Invalid property value alSideways"},
        {"object B: TButton\n Width = 'wide'\nend", "Invalid property value 'wide'"},
        {"object B: TButton\n PopupMenu = Missing1\nend", "Unresolved reference to Missing1"},
        {"object B: TButton\nend\nobject b: TButton\nend", "A component named b already exists"},
        {"object M: TMainMenu\n object P: TPanel\n end\nend", "Control P has no parent window"},
        {"object I: TImage\n Picture = 'no/such/picture.png'\nend", "Cannot load picture"},
    };
    for (const Case& c : cases) {
        TSampleWindow w;
        const QByteArray text = QByteArray("object W: TSampleWindow\n") + c.body + "\nend\n";
        try {
            w.LoadDefinitionText(text);
            ADD_FAILURE() << "no error for " << c.body;
        } catch (const EReadError& e) {
            EXPECT_TRUE(e.Message().contains(QString::fromLatin1(c.fragment))) << qPrintable(e.Message());
        }
    }
}

TEST(Forms, FindFormComparesNamesWithoutCase)
{
    TForm a, b;
    a.setObjectName("iconview1");
    b.setObjectName("iconview12");
    EXPECT_EQ(FindForm("ICONVIEW1"), &a);
    EXPECT_EQ(FindForm("IconView12"), &b);
    EXPECT_EQ(FindForm("iconview2"), nullptr);
    EXPECT_EQ(FindForm(""), nullptr);
}

TEST(Forms, ScreenshotOfALoadedWindow)
{
    Loaded l;
    l.w->Show();
    QCoreApplication::processEvents();
    const QImage shot = l.w->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(320, 200));
    // The picture sits at (10, 10) inside the client panel at (90, 40), drawn over its colour.
    EXPECT_EQ(shot.pixel(90 + 10 + 2, 40 + 10 + 2), 0xFFFF0000u);
    EXPECT_EQ(shot.pixel(90 + 10 + 20, 40 + 10 + 2), 0xFF0000FFu);
    EXPECT_EQ(QColor(shot.pixel(200, 150)), QColor(0xE1, 0xE1, 0xE1)); // 14803425 = 0xE1E1E1
    if (const QByteArray out = qgetenv("BRELNOVA_SCREENSHOT_DIR"); !out.isEmpty())
        shot.save(QString::fromLocal8Bit(out) + "/sample_window.png");
}

#include "forms_test.moc"

TEST(FormCaption, IsTheWindowTitle)
{
    TForm form(nullptr);
    form.SetCaption(QStringLiteral("Project 1"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Project 1"));
}

TEST(FormLifetime, ApplicationForgetsADestroyedMainForm)
{
    auto* form = new TForm(nullptr);
    if (Application->MainForm() == nullptr)
        Application->FormCreated(form);
    const bool wasMain = Application->MainForm() == form;
    delete form;
    if (wasMain)
        EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(FormLifetime, MdiFrameDeletedWithItsChildren)
{
    auto* frame = new TForm(nullptr);
    frame->SetFormStyle(fsMDIForm);
    auto* child = new TForm(nullptr);
    child->SetFormStyle(fsMDIChild);
    child->Show();
    QPointer<TForm> watch(child);
    delete frame; // the children go with their frame without touching a half-destroyed sub-window
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (watch)
        delete watch.data();
    SUCCEED();
}

TEST(FormLifetime, ClosingTheShownMainFormEndsTheEventLoop)
{
    // The main form is still on screen while its Close ends the program; the event loop must
    // end all the same, not wait for every window to agree to close first.
    auto* form = new TForm(nullptr);
    TForm* before = Application->MainForm();
    Application->SetMainForm(form);
    form->Show();
    bool gaveUp = false;
    QTimer::singleShot(0, form, [form] { form->Close(); });
    QTimer::singleShot(3000, [&gaveUp] {
        gaveUp = true;
        QCoreApplication::exit(1);
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(gaveUp);
    EXPECT_TRUE(Application->Terminated());
    Application->SetMainForm(before);
    delete form;
}

TEST(MessageBoxTitle, AShortMessageLeavesRoomForTheWholeCaption)
{
    // The title bar of a box sized for "OK." alone cut the program's name in the middle.
    QMessageBox box(QMessageBox::Information, QStringLiteral("Brelnova Studio"), QStringLiteral("OK."));
    FitCaption(box);
    QFont title = box.font();
    title.setBold(true);
    EXPECT_GE(box.layout()->totalMinimumSize().width(),
              QFontMetrics(title).horizontalAdvance(QStringLiteral("Brelnova Studio")) + 100);
}
