#include "skin/mdi_form.h"

#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/definition_reader.h"
#include "framework/menus.h"
#include "skin/form.h"
#include "skin/form_menu_bar.h"
#include "skin/skin_forms.h"
#include "skin/menus.h"
#include "skin/skin_builder_testing.h"
#include "skin/skin_testing.h"
#include "skin/theme_pictures.h"
#include "skin/title_bar.h"

#include <QMdiArea>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

TMenuItem* AddItem(TMenuItem* parent, const QString& caption, TShortCut shortcut = 0)
{
    auto* item = new TMenuItem(parent);
    item->SetCaption(caption);
    item->SetShortCut(shortcut);
    parent->Add(item);
    return item;
}

struct MdiWindow {
    std::unique_ptr<TForm> frame = std::make_unique<TForm>();
    TsuiMDIForm* skin;
    // The frame's client area is sized to client (the frame around it, the title bar above it).
    explicit MdiWindow(QSize client = {600, 400}, TsuiUIStyle style = DeepBlue)
    {
        frame->SetFormStyle(fsMDIForm);
        skin = new TsuiMDIForm(frame.get());
        skin->SetUIStyle(style);
        Application->SetMainForm(frame.get());
        Resize(client);
        ShowActive(frame.get());
    }
    ~MdiWindow()
    {
        // Children go first: a child destroyed by its sub-window's destruction reads a half-gone
        // sub-window.
        QList<TForm*> children;
        for (int i = 0; i < frame->MDIChildCount(); ++i)
            children << frame->MDIChildren(i);
        qDeleteAll(children);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Application->SetMainForm(nullptr);
    }
    void Resize(QSize client)
    {
        const int bars = skin->TitleBar()->Height() + (skin->MenuBar()->Visible() ? skin->MenuBar()->Height() : 0);
        frame->SetBounds(0, 0, client.width() + 6, client.height() + 6 + bars);
    }
    TForm* AddChild(bool skinned = true, TMainMenu** menuOut = nullptr)
    {
        auto* child = new TForm(frame.get());
        child->SetFormStyle(fsMDIChild);
        child->SetBounds(10, 10, 200, 150);
        if (skinned) {
            auto* s = new TsuiForm(child);
            s->SetParent(child);
            if (menuOut) {
                auto* menu = new TsuiMainMenu(child);
                AddItem(menu->Items(), QStringLiteral("&Image"));
                s->SetMenu(menu);
                *menuOut = menu;
            }
        }
        child->Show();
        QApplication::processEvents();
        return child;
    }
};

} // namespace

TEST(SuiMDIForm, MustBeOwnedByAForm)
{
    TComponent owner(nullptr);
    try {
        TsuiMDIForm bad(&owner);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Sorry, TsuiMDIForm must be placed on a form"));
    }
    // A window definition makes it without an owner and gives it one.
    RegisterSkinFormClasses();
    TForm form;
    form.LoadDefinitionText("object Main: TForm\n  Width = 500\n  Height = 300\n  FormStyle = fsMDIForm\n"
                            "  Caption = 'Studio'\n"
                            "  object suiMDIForm1: TsuiMDIForm\n    UIStyle = BlueGlass\n  end\nend\n");
    auto* skin = qobject_cast<TsuiMDIForm*>(form.FindComponent(QStringLiteral("suiMDIForm1")));
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->HostForm(), &form);
    EXPECT_EQ(skin->UIStyle(), BlueGlass);
    EXPECT_EQ(skin->Caption(), QStringLiteral("Studio"));
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
}

// The frame: no native caption, the title bar at the top of the 3-pixel ring, the MDI client
// below it; the ring's inside in the menu-bar colour.
TEST(SuiMDIForm, FrameTitleBarAndColoursPerStyle)
{
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        SCOPED_TRACE(int(style));
        MdiWindow w({600, 400}, style);
        TBitmap left;
        LoadBuiltinThemeFrame(style, ThemeItem::TitleBarLeftImage, &left, 0, 0);
        EXPECT_EQ(w.skin->TitleBar()->BoundsRect(), Rect(3, 3, 603, 3 + left.Height() - 3));
        EXPECT_EQ(w.frame->ClientArea()->geometry(), QRect(3, left.Height(), 600, 400));
        EXPECT_EQ(w.skin->MenuBarColor(), GetBuiltinThemeColor(style, ThemeItem::FormBackgroundColor));
        const QImage img = Shot(w.frame.get());
        EXPECT_EQ(Px(img, 0, 200), ColorToQColor(w.skin->BorderColor()).rgb() & 0xFFFFFF);
        if (w.skin->BorderWidth() < 3)
            EXPECT_EQ(Px(img, 2, 200), ColorToQColor(w.skin->MenuBarColor()).rgb() & 0xFFFFFF);
    }

    // A skin file whose ControlFontColor is 0x30000 gives the bar 0x996733.
    QTemporaryDir dir;
    SkinBuilder b;
    b.AddInt("ControlFontColor", 0x30000).AddInt("FormBackgroundColor", 0xE0E0E0);
    const QString path = dir.filePath(QStringLiteral("s.sui"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(b.Build());
    f.close();
    MdiWindow w;
    TsuiFileTheme theme(w.frame.get());
    theme.SetThemeFile(path);
    w.skin->SetFileTheme(&theme);
    w.skin->SetUIStyle(FromThemeFile);
    EXPECT_EQ(w.skin->MenuBarColor(), 0x996733u);
    w.skin->SetFileTheme(nullptr);
}

// The bar shows the frame's menu, the active child's own menu while that child is active, and
// the frame's again when the child has none or child menus are off.
TEST(SuiMDIForm, MergesTheActiveChildsMenu)
{
    MdiWindow w;
    auto* menu = new TsuiMainMenu(w.frame.get());
    AddItem(menu->Items(), QStringLiteral("&File"));
    AddItem(menu->Items(), QStringLiteral("&Skins"));
    w.skin->SetMenu(menu);
    TsuiFormMenuBar* bar = w.skin->MenuBar();
    EXPECT_TRUE(bar->Visible());
    EXPECT_EQ(bar->ButtonCount(), 2);
    EXPECT_EQ(bar->Top(), w.skin->TitleBar()->Top() + w.skin->TitleBar()->Height());

    TMainMenu* childMenu = nullptr;
    TForm* withMenu = w.AddChild(true, &childMenu);
    EXPECT_EQ(w.skin->GetEffectiveMenu(), childMenu);
    ASSERT_EQ(bar->ButtonCount(), 1);
    EXPECT_EQ(bar->ButtonCaption(0), QStringLiteral("&Image"));

    TForm* plain = w.AddChild(true);
    EXPECT_EQ(w.skin->GetEffectiveMenu(), menu);
    EXPECT_EQ(bar->ButtonCount(), 2);

    withMenu->Show();
    QApplication::processEvents();
    EXPECT_EQ(bar->ButtonCount(), 1);
    w.skin->SetTitleBarDrawChildMenus(false);
    EXPECT_EQ(bar->ButtonCount(), 2);
    (void)plain;
}

// A maximised child shows its minimise, restore and close buttons at the right end of the
// frame's bar; they act on the active child and go when it is restored.
TEST(SuiMDIForm, MaximisedChildButtons)
{
    MdiWindow w;
    auto* menu = new TsuiMainMenu(w.frame.get());
    AddItem(menu->Items(), QStringLiteral("&File"));
    w.skin->SetMenu(menu);
    TForm* child = w.AddChild();
    for (int i = 1; i <= 3; ++i)
        EXPECT_FALSE(w.skin->ChildButton(i)->Visible());

    child->SetWindowState(wsMaximized);
    QApplication::processEvents();
    const int width = w.skin->MenuBar()->Width();
    EXPECT_EQ(w.skin->ChildButton(3)->Left(), width - 20);
    EXPECT_EQ(w.skin->ChildButton(2)->Left(), width - 38);
    EXPECT_EQ(w.skin->ChildButton(1)->Left(), width - 56);
    EXPECT_EQ(w.skin->ChildButton(3)->Tag(), -1381);
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(w.skin->ChildButton(i)->Visible()) << i;

    Click(w.skin->ChildButton(2), {5, 5});
    EXPECT_EQ(child->WindowState(), wsNormal);
    EXPECT_FALSE(w.skin->ChildButton(2)->Visible());

    // Only the buttons the child's title bar has.
    auto* skin = qobject_cast<TsuiForm*>(child->ControlList().first());
    ASSERT_NE(skin, nullptr);
    skin->TitleBarButtons()->Delete(3); // minimise
    child->SetWindowState(wsMaximized);
    QApplication::processEvents();
    EXPECT_FALSE(w.skin->ChildButton(1)->Visible());
    EXPECT_TRUE(w.skin->ChildButton(3)->Visible());

    int closes = 0;
    child->OnClose = [&](TObject*, TCloseAction& a) {
        ++closes;
        a = caNone;
    };
    Click(w.skin->ChildButton(3), {5, 5});
    EXPECT_EQ(closes, 1);
}

TEST(SuiMDIForm, CascadeAndTile)
{
    MdiWindow w({1000, 700});
    ASSERT_EQ(w.frame->ClientArea()->viewport()->size(), QSize(1000, 700));
    std::vector<TForm*> children;
    for (int i = 0; i < 5; ++i)
        children.push_back(w.AddChild());
    w.skin->Cascade();
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(children[size_t(i)]->BoundsRect(), Bounds(22 * i, 22 * i, 800, 420));
    }

    MdiWindow t({600, 600});
    std::vector<TForm*> three = {t.AddChild(), t.AddChild(), t.AddChild()};
    t.skin->Tile();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(three[size_t(i)]->BoundsRect(), Bounds(0, 198 * i, 596, 198)) << i;
    t.frame->SetTileMode(tbVertical);
    t.skin->Tile();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(three[size_t(i)]->BoundsRect(), Bounds(198 * i, 0, 198, 596)) << i;

    // A minimised child keeps its place and takes 25 pixels off the height.
    three[0]->SetWindowState(wsMinimized);
    QApplication::processEvents();
    t.frame->SetTileMode(tbHorizontal);
    t.skin->Tile();
    EXPECT_EQ(three[1]->BoundsRect(), Bounds(0, 0, 596, 285));
    EXPECT_EQ(three[2]->BoundsRect(), Bounds(0, 285, 596, 285));
}

// Keys anywhere in the frame run the shortcuts of the menu it shows.
TEST(SuiMDIForm, ShortcutsOfTheShownMenu)
{
    MdiWindow w;
    auto* menu = new TsuiMainMenu(w.frame.get());
    TMenuItem* file = AddItem(menu->Items(), QStringLiteral("&File"));
    int news = 0;
    AddItem(file, QStringLiteral("&New"), ShortCut('N', TShiftState(ssCtrl)))->OnClick = [&](TObject*) { ++news; };
    w.skin->SetMenu(menu);
    TForm* child = w.AddChild();
    KeyClick(child, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(news, 1);
    KeyClick(w.frame.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(news, 2);
}

// Removing the component gives the window its native frame back.
TEST(SuiMDIForm, RemovalGivesTheNativeFrameBack)
{
    MdiWindow w;
    delete w.skin;
    EXPECT_FALSE(w.frame->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(w.frame->BorderWidth(), 0);
}
