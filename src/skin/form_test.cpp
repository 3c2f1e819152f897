#include "skin/form.h"
#include "skin/skin_forms.h"

#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/definition_reader.h"
#include "framework/dialogs.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "framework/picture.h"
#include "skin/form_menu_bar.h"
#include "skin/menus.h"
#include "skin/skin_builder_testing.h"
#include "skin/skin_testing.h"
#include "skin/theme_pictures.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

struct SkinnedDialog {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    TsuiForm* skin;
    explicit SkinnedDialog(TsuiUIStyle style = DeepBlue, TFormBorderStyle border = bsSingle)
    {
        form->SetBorderStyle(border);
        form->SetBounds(60, 50, 320, 220);
        skin = new TsuiForm(form.get());
        skin->SetParent(form.get());
        skin->SetUIStyle(style);
        skin->SetCaption(QStringLiteral("Options"));
    }
};

int LeftPictureHeight(TsuiUIStyle style)
{
    TBitmap b;
    LoadBuiltinThemeFrame(style, ThemeItem::TitleBarLeftImage, &b, 0, 0);
    return b.Height();
}

TMenuItem* AddItem(TMenuItem* parent, const QString& caption, TShortCut shortcut = 0)
{
    auto* item = new TMenuItem(parent);
    item->SetCaption(caption);
    item->SetShortCut(shortcut);
    parent->Add(item);
    return item;
}

} // namespace

// The window loses its native frame and caption; the skinned form fills the client area inside
// a 3-pixel frame, with the title bar at its top as high as the left picture minus 3.
TEST(SuiForm, TakesOverTheWindowInEveryStyle)
{
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        SkinnedDialog d(style);
        SCOPED_TRACE(int(style));
        EXPECT_EQ(d.form->BorderStyle(), bsDialog);
        EXPECT_TRUE(d.form->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(d.skin->HostForm(), d.form.get());
        EXPECT_EQ(d.skin->BoundsRect(), Rect(3, 3, 317, 217));
        EXPECT_EQ(d.skin->GetTitleBarHeight(), LeftPictureHeight(style) - 3);
        EXPECT_EQ(d.skin->TitleBar()->BoundsRect(), Rect(0, 0, 314, LeftPictureHeight(style) - 3));
        EXPECT_EQ(d.form->Caption(), QStringLiteral("Options"));
        EXPECT_EQ(d.skin->Caption(), QStringLiteral("Options"));
        EXPECT_EQ(d.skin->BorderColor(), GetBuiltinThemeColor(style, ThemeItem::FormBorderColor));
        EXPECT_EQ(d.skin->Color(), GetBuiltinThemeColor(style, ThemeItem::FormBackgroundColor));
        EXPECT_EQ(d.skin->RoundCorner(), GetBuiltinThemeInteger(style, ThemeItem::FormRoundCornerInt));
        EXPECT_EQ(d.skin->Version(), QStringLiteral("5.5"));
    }
    // Sizeable windows stay sizeable.
    SkinnedDialog sizeable(DeepBlue, bsSizeable);
    EXPECT_EQ(sizeable.form->BorderStyle(), bsSizeable);
}

// Only the first skinned form of a window acts; a form built from a definition attaches when
// it gets its parent.
TEST(SuiForm, SecondOneStaysInertAndDefinitionsAttach)
{
    SkinnedDialog d;
    auto* second = new TsuiForm(d.form.get());
    EXPECT_EQ(second->HostForm(), nullptr);
    EXPECT_EQ(second->TitleBar(), nullptr);

    RegisterSkinFormClasses();
    TForm form;
    form.LoadDefinitionText("object Dlg: TForm\n"
                            "  Left = 10\n  Top = 10\n  Width = 300\n  Height = 200\n  BorderStyle = bsSingle\n"
                            "  object suiForm1: TsuiForm\n    UIStyle = WinXP\n    Caption = 'Hello'\n"
                            "    Font.Name = 'Arial'\n  end\nend\n");
    auto* skin = qobject_cast<TsuiForm*>(form.FindComponent(QStringLiteral("suiForm1")));
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->HostForm(), &form);
    EXPECT_EQ(form.BorderStyle(), bsDialog);
    EXPECT_EQ(skin->UIStyle(), WinXP);
    EXPECT_EQ(form.Caption(), QStringLiteral("Hello"));
    EXPECT_EQ(skin->TitleBarFont()->Name(), QStringLiteral("Arial"));
}

// The frame: BorderWidth pixels of the border colour on the left, right and bottom, the rest of
// the 3-pixel ring in the window's colour, its top rows continuing the title bar's pictures; a
// hidden title bar leaves a border line at the top.
TEST(SuiForm, PaintsItsFrameInTheThemeColours)
{
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, BlueGlass}) {
        SCOPED_TRACE(int(style));
        SkinnedDialog d(style);
        const QImage img = Shot(d.form.get());
        const int bw = GetBuiltinThemeInteger(style, ThemeItem::FormBorderWidthInt);
        const QRgb border = ColorToQColor(GetBuiltinThemeColor(style, ThemeItem::FormBorderColor)).rgb() & 0xFFFFFF;
        const QRgb inner = ColorToQColor(GetBuiltinThemeColor(style, ThemeItem::FormBackgroundColor)).rgb() & 0xFFFFFF;
        EXPECT_EQ(Px(img, 0, 150), border);
        EXPECT_EQ(Px(img, bw - 1, 150), border);
        EXPECT_EQ(Px(img, 319, 150), border);
        EXPECT_EQ(Px(img, 160, 219), border);
        if (bw < 3) {
            EXPECT_EQ(Px(img, 2, 150), inner);
            EXPECT_EQ(Px(img, 160, 217), inner);
        }
        // The top rows are the left picture's own top rows.
        TBitmap left;
        LoadBuiltinThemeFrame(style, ThemeItem::TitleBarLeftImage, &left, 0, 0);
        EXPECT_EQ(Px(img, 20, 1), left.PixelArgb(20, 1) & 0xFFFFFF);
    }
    SkinnedDialog d(DeepBlue);
    d.skin->SetTitleBarVisible(false);
    EXPECT_EQ(d.skin->GetTitleBarHeight(), 0);
    EXPECT_EQ(d.skin->RoundCorner(), 0);
    const QImage img = Shot(d.form.get());
    EXPECT_EQ(Px(img, 160, 0), 0x000000u);
    EXPECT_EQ(Px(img, 160, 1), 0xE8E8E8u);
    EXPECT_EQ(d.skin->BoundsRect(), Rect(3, 3, 317, 217));
}

// Round top corners cut the window's shape; the bottom corners stay square.
TEST(SuiForm, RoundTopCorners)
{
    SkinnedDialog d(WinXP);
    ASSERT_EQ(d.skin->RoundCorner(), 13);
    const QRegion mask = d.form->mask();
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_FALSE(mask.contains(QPoint(319, 0)));
    EXPECT_TRUE(mask.contains(QPoint(6, 6)));
    EXPECT_TRUE(mask.contains(QPoint(0, 219)));
    EXPECT_TRUE(mask.contains(QPoint(319, 219)));
    d.skin->SetUIStyle(DeepBlue);
    EXPECT_TRUE(d.form->mask().isEmpty());
}

TEST(SuiForm, MaximiseRestoreAndCreatedMaximised)
{
    SkinnedDialog d(DeepBlue, bsSizeable);
    ShowActive(d.form.get());
    d.form->SetWindowState(wsMaximized);
    QApplication::processEvents();
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(work.contains(d.form->geometry()));
    EXPECT_EQ(d.form->Width(), work.width());
    d.form->SetWindowState(wsNormal);
    QApplication::processEvents();
    EXPECT_EQ(d.form->BoundsRect(), Rect(60, 50, 380, 270));

    // A window created maximised comes back to its creation bounds when first restored.
    TForm form;
    form.SetBounds(30, 40, 300, 200);
    form.SetWindowState(wsMaximized);
    auto* skin = new TsuiForm(&form);
    skin->SetParent(&form);
    ShowActive(&form);
    EXPECT_EQ(form.WindowState(), wsMaximized);
    form.SetWindowState(wsNormal);
    QApplication::processEvents();
    EXPECT_EQ(form.BoundsRect(), Rect(30, 40, 330, 240));
}

// Dragging the frame of a sizeable window resizes it (our own loop where the system has none);
// the opposite edge stays and the minimum size holds. Dialogs do not resize.
TEST(SuiForm, ResizesAtItsEdges)
{
    SkinnedDialog d(DeepBlue, bsSizeable);
    ShowActive(d.form.get());
    TForm* f = d.form.get();
    Press(f, {1, 100});
    Mouse(f, QEvent::MouseMove, {-39, 100}, Qt::LeftButton);
    Release(f, {-39, 100});
    EXPECT_EQ(f->BoundsRect(), Rect(20, 50, 380, 270));
    Press(f, {200, 219});
    Mouse(f, QEvent::MouseMove, {200, 10}, Qt::LeftButton);
    Release(f, {200, 10});
    EXPECT_EQ(f->Top(), 50);
    EXPECT_EQ(f->Height(), 50);

    SkinnedDialog dialog;
    ShowActive(dialog.form.get());
    Press(dialog.form.get(), {1, 100});
    Mouse(dialog.form.get(), QEvent::MouseMove, {-39, 100}, Qt::LeftButton);
    Release(dialog.form.get(), {-39, 100});
    EXPECT_EQ(dialog.form->Width(), 320);
}

// The menu shows as a bar of buttons under the title bar; a button opens its submenu, Alt and
// its accelerator too, and the menu's shortcuts run while the window is active.
TEST(SuiForm, MenuBarButtonsAndShortcuts)
{
    SkinnedDialog d;
    auto* menu = new TsuiMainMenu(d.form.get());
    TMenuItem* file = AddItem(menu->Items(), QStringLiteral("&File"));
    int opened = 0;
    TMenuItem* open = AddItem(file, QStringLiteral("&Open"), ShortCut('O', TShiftState(ssCtrl)));
    open->OnClick = [&](TObject*) { ++opened; };
    AddItem(menu->Items(), QStringLiteral("&Edit"));
    TMenuItem* help = AddItem(menu->Items(), QStringLiteral("&Help"));
    AddItem(help, QStringLiteral("About"));
    menu->HookItems();
    d.skin->SetMenu(menu);

    TsuiFormMenuBar* bar = d.skin->MenuBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(menu->ShowingForm(), d.skin);
    ASSERT_EQ(bar->ButtonCount(), 3);
    EXPECT_EQ(bar->ButtonCaption(2), QStringLiteral("&Help"));
    EXPECT_EQ(bar->Top(), d.skin->GetTitleBarHeight());
    EXPECT_EQ(bar->Height(), 22);
    EXPECT_EQ(bar->Color(), d.skin->Color());

    ShowActive(d.form.get());
    Click(bar, bar->ButtonRect(2).center());
    ASSERT_NE(bar->OpenMenu(), nullptr);
    EXPECT_EQ(bar->OpenMenu(), help->SubMenu());
    EXPECT_TRUE(help->SubMenu()->isVisible());
    help->SubMenu()->hide();
    EXPECT_EQ(bar->OpenIndex(), -1);

    // A command chosen in the menu leaves the pointer off the bar: its button is no longer hot.
    Move(bar, bar->ButtonRect(0).center());
    EXPECT_EQ(bar->HotIndex(), 0);
    Click(bar, bar->ButtonRect(0).center());
    QCursor::setPos(bar->mapToGlobal(QPoint(bar->ButtonRect(0).center().x(), bar->Height() + 40)));
    file->SubMenu()->hide();
    EXPECT_EQ(bar->HotIndex(), -1);

    KeyClick(d.form.get(), Qt::Key_F, Qt::AltModifier, QStringLiteral("f"));
    EXPECT_EQ(bar->OpenMenu(), file->SubMenu());
    file->SubMenu()->hide();

    KeyClick(d.form.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(opened, 1);

    // Captions follow the items; without a menu the bar goes.
    help->SetCaption(QStringLiteral("&Info"));
    EXPECT_EQ(bar->ButtonCaption(2), QStringLiteral("&Info"));
    d.skin->SetMenu(nullptr);
    EXPECT_EQ(d.skin->MenuBar(), nullptr);
    EXPECT_EQ(menu->ShowingForm(), nullptr);
}

// A skin file whose ControlFontColor is 0x30000 colours the menu bar 0x996733 and its captions
// white.
TEST(SuiForm, SkinFileMenuBarColours)
{
    QTemporaryDir dir;
    SkinBuilder b;
    b.AddInt("FormBackgroundColor", 0x00F0F0F0).AddInt("ControlFontColor", 0x30000).AddInt("FormBorderWidthInt", 1);
    const QString path = dir.filePath(QStringLiteral("blue.sui"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(b.Build());
    }
    SkinnedDialog d;
    TsuiFileTheme theme(d.form.get());
    theme.SetThemeFile(path);
    ASSERT_TRUE(theme.IsLoaded());
    auto* menu = new TsuiMainMenu(d.form.get());
    AddItem(menu->Items(), QStringLiteral("&File"));
    d.skin->SetMenu(menu);
    d.skin->SetFileTheme(&theme);
    d.skin->SetUIStyle(FromThemeFile);
    EXPECT_EQ(d.skin->MenuBarColor(), 0x996733u);
    EXPECT_EQ(d.skin->MenuBar()->Color(), 0x996733u);
    const QImage img = Shot(d.skin->MenuBar());
    bool white = false;
    const QRect r = d.skin->MenuBar()->ButtonRect(0);
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            white = white || Px(img, x, y) == 0xFFFFFFu;
    EXPECT_TRUE(white);
    // Built-in styles colour the bar like the window.
    d.skin->SetUIStyle(WinXP);
    EXPECT_EQ(d.skin->MenuBarColor(), d.skin->Color());
    d.skin->SetFileTheme(nullptr);
}

// Alt+Space opens the window's own system menu below its own title bar.
TEST(SuiForm, AltSpaceOpensTheSystemMenuBelowTheTitleBar)
{
    SkinnedDialog d;
    ShowActive(d.form.get());
    KeyClick(d.form.get(), Qt::Key_Space, Qt::AltModifier, QStringLiteral(" "));
    QMenu* menu = d.skin->TitleBar()->SystemMenu()->PopupQMenu();
    ASSERT_TRUE(menu->isVisible());
    const TPoint below = d.skin->TitleBar()->ClientToScreen({0, d.skin->GetTitleBarHeight()});
    EXPECT_EQ(menu->pos(), QPoint(below.X, below.Y));
    menu->hide();
}

TEST(SuiForm, FormPanelAndFreedReferences)
{
    SkinnedDialog d;
    auto* panel = new TPanel(d.skin);
    panel->SetParent(d.skin);
    panel->SetCaption(QStringLiteral("x"));
    d.skin->SetFormPanel(panel);
    EXPECT_EQ(panel->Align(), alClient);
    EXPECT_EQ(panel->BevelOuter(), bvNone);
    EXPECT_TRUE(panel->Caption().isEmpty());
    {
        TDialogAnswererScope answer([](TDialogRequest& r) {
            r.Result = IDOK;
            return true;
        });
        d.skin->SetFormPanel(d.skin);
    }
    EXPECT_EQ(d.skin->FormPanel(), panel);
    delete panel;
    EXPECT_EQ(d.skin->FormPanel(), nullptr);

    auto* theme = new TsuiFileTheme(d.form.get());
    d.skin->SetUIStyle(WinXP);
    d.skin->SetFileTheme(theme);
    delete theme;
    EXPECT_EQ(d.skin->FileTheme(), nullptr);
    EXPECT_EQ(d.skin->UIStyle(), DeepBlue);
}

// Removing the skinned form gives the window its native frame back.
TEST(SuiForm, RemovalGivesTheNativeFrameBack)
{
    SkinnedDialog d(WinXP);
    delete d.skin;
    EXPECT_FALSE(d.form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(d.form->BorderWidth(), 0);
    EXPECT_TRUE(d.form->mask().isEmpty());
}

// An MDI child: frameless inside the frame; maximised it hides its title bar and moves its
// contents up into the bar's place, restored it takes both back.
TEST(SuiForm, MaximisedMdiChild)
{
    TForm frame;
    frame.SetFormStyle(fsMDIForm);
    frame.SetBounds(0, 0, 700, 500);
    Application->SetMainForm(&frame);
    ShowActive(&frame);
    auto* child = new TForm(&frame);
    child->SetFormStyle(fsMDIChild);
    child->SetBounds(10, 10, 300, 200);
    auto* skin = new TsuiForm(child);
    skin->SetParent(child);
    auto* label = new TPanel(skin);
    label->SetParent(skin);
    label->SetBounds(20, 60, 50, 20);
    child->Show();
    QApplication::processEvents();
    ASSERT_NE(child->MdiFrame(), nullptr);
    EXPECT_TRUE(child->MdiFrame()->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(child->Width(), 300);
    const int t = skin->GetTitleBarHeight();
    // Round corners cut the sub-window, whatever shape it gives itself on resizing.
    skin->SetUIStyle(WinXP);
    child->SetBounds(10, 10, 320, 210);
    QApplication::processEvents();
    EXPECT_FALSE(child->MdiFrame()->mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(child->MdiFrame()->mask().contains(QPoint(319, 209)));
    EXPECT_TRUE(child->mask().isEmpty());
    skin->SetUIStyle(DeepBlue);

    child->SetWindowState(wsMaximized);
    QApplication::processEvents();
    EXPECT_FALSE(skin->TitleBar()->Visible());
    EXPECT_EQ(label->Top(), 60 - (t - 3));
    EXPECT_EQ(child->BorderWidth(), 0);
    child->SetWindowState(wsNormal);
    QApplication::processEvents();
    EXPECT_TRUE(skin->TitleBar()->Visible());
    EXPECT_EQ(label->Top(), 60);
    EXPECT_EQ(child->BorderWidth(), 3);
    delete child;
    Application->SetMainForm(nullptr);
}
