#include "skin/controls/message_dialog.h"

#include "framework/application.h"
#include "framework/clipboard.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/image.h"
#include "framework/label.h"
#include "skin/controls/button.h"
#include "skin/controls/edit.h"
#include "skin/file_theme.h"
#include "skin/form.h"
#include "skin/skin_testing.h"
#include "skin/theme_manager.h"
#include "skin/title_bar.h"

#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

using namespace SkinTest;

namespace {

// Runs action on the first visible window of type T once the modal loop runs.
template <class T>
void WhenShown(std::function<void(T*)> action)
{
    QTimer::singleShot(0, [action] {
        for (TForm* f : Screen->FormList())
            if (auto* w = qobject_cast<T*>(f); w && w->isVisible()) {
                QApplication::setActiveWindow(w);
                action(w);
                return;
            }
        ADD_FAILURE() << "no window shown";
    });
}

void Key(TForm* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* target = QApplication::focusWidget() && w->isAncestorOf(QApplication::focusWidget())
                        ? QApplication::focusWidget()
                        : static_cast<QWidget*>(w);
    KeyClick(target, key, mods);
}

TsuiMessageDialog* YesNoCancel(TsuiMessageDialog& d)
{
    d.SetButtonCount(3);
    d.SetButton1Caption(QStringLiteral("&Yes"));
    d.SetButton1ModalResult(mrOk);
    d.SetButton2Caption(QStringLiteral("&No"));
    d.SetButton2ModalResult(mrNo);
    d.SetButton3Caption(QStringLiteral("Cancel"));
    d.SetButton3ModalResult(mrCancel);
    return &d;
}

} // namespace

// Buttons from the right edge in 93-pixel steps with Button1 leftmost; the window as high as the
// lower of icon and text plus 65; no icon and fewer than three buttons: 64 pixels narrower.
TEST(SuiMessageDialog, Layout)
{
    TsuiMessageDialog d;
    YesNoCancel(d);
    d.SetIconType(suiWarning);
    d.SetText(QStringLiteral("Save changes?"));
    std::unique_ptr<TfrmMsg> w(d.BuildWindow());
    const int W = w->Width();
    ASSERT_EQ(W, 336);
    const QList<TsuiButton*> b = w->Buttons();
    ASSERT_EQ(b.size(), 3);
    EXPECT_EQ(b[2]->Caption(), QStringLiteral("&Yes"));
    EXPECT_EQ(b[2]->Left(), W - 283);
    EXPECT_EQ(b[1]->Left(), W - 190);
    EXPECT_EQ(b[0]->Left(), W - 97);
    EXPECT_EQ(b[0]->Caption(), QStringLiteral("Cancel"));
    EXPECT_EQ(b[0]->Top(), 64 + 42 + 20);
    EXPECT_EQ(b[0]->Width(), 73);
    EXPECT_EQ(w->Height(), 64 + 42 + 65);
    EXPECT_EQ(w->ActiveControl(), b[2]);
    EXPECT_TRUE(b[0]->Cancel());
    EXPECT_FALSE(b[0]->Default());
    EXPECT_TRUE(b[2]->Default());
    EXPECT_FALSE(b[1]->Default() || b[1]->Cancel());
    EXPECT_EQ(w->lbl->Left(), 88);
    EXPECT_TRUE(w->Image1->Visible());
    EXPECT_EQ(w->Image1->Width(), 42);
    EXPECT_EQ(w->suiForm1->Caption(), QStringLiteral("suiDialog"));
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);

    // One button, no icon, a long text.
    TsuiMessageDialog one;
    one.SetText(QString(40, QLatin1Char('w')).append(QLatin1Char(' ')).repeated(8));
    std::unique_ptr<TfrmMsg> w1(one.BuildWindow());
    EXPECT_EQ(w1->Width(), 336 - 64);
    EXPECT_FALSE(w1->Image1->Visible());
    EXPECT_EQ(w1->lbl->Left(), 24);
    EXPECT_GT(w1->lbl->Height(), 42);
    const int bottom = w1->lbl->Top() + w1->lbl->Height();
    ASSERT_EQ(w1->Buttons().size(), 1);
    EXPECT_EQ(w1->Buttons()[0]->Left(), w1->Width() - 97);
    EXPECT_EQ(w1->Buttons()[0]->Top(), bottom + 20);
    EXPECT_EQ(w1->Height(), bottom + 65);

    // Three buttons without an icon keep the full width; counts outside 1..3 are not taken.
    YesNoCancel(one);
    one.SetButtonCount(4);
    one.SetButtonCount(0);
    EXPECT_EQ(one.ButtonCount(), 3);
    std::unique_ptr<TfrmMsg> w3(one.BuildWindow());
    EXPECT_EQ(w3->Width(), 336);
}

// The result is the clicked button's; Escape answers Cancel only with a Cancel button, Enter the
// focused (default) button; closing by the title bar gives Cancel.
TEST(SuiMessageDialog, ResultsByClicksAndKeys)
{
    TsuiMessageDialog d;
    YesNoCancel(d);
    WhenShown<TfrmMsg>([](TfrmMsg* w) { Click(w->Buttons()[1], {10, 10}); });
    EXPECT_EQ(d.ShowModal(), mrNo);

    WhenShown<TfrmMsg>([](TfrmMsg* w) { Key(w, Qt::Key_Escape); });
    EXPECT_EQ(d.ShowModal(), mrCancel);

    WhenShown<TfrmMsg>([](TfrmMsg* w) { Key(w, Qt::Key_Return); });
    EXPECT_EQ(d.ShowModal(), mrOk);

    WhenShown<TfrmMsg>([](TfrmMsg* w) {
        TsuiTitleBar* bar = w->suiForm1->TitleBar();
        Click(bar, QPoint(bar->Width() - 10, bar->ButtonTop() + 5));
    });
    EXPECT_EQ(d.ShowModal(), mrCancel);

    // No Cancel button: Escape leaves the box open.
    TsuiMessageDialog ok;
    ok.SetButtonCount(2);
    ok.SetButton2Caption(QStringLiteral("&No"));
    ok.SetButton2ModalResult(mrNo);
    bool stillOpen = false;
    WhenShown<TfrmMsg>([&](TfrmMsg* w) {
        Key(w, Qt::Key_Escape);
        stillOpen = w->isVisible();
        w->Buttons()[0]->Click();
    });
    EXPECT_EQ(ok.ShowModal(), mrNo);
    EXPECT_TRUE(stillOpen);
}

TEST(SuiMessageDialog, CtrlCCopiesCaptionTextAndButtons)
{
    TsuiMessageDialog d;
    d.SetCaption(QStringLiteral("Error"));
    d.SetText(QStringLiteral("Disk full"));
    WhenShown<TfrmMsg>([](TfrmMsg* w) {
        Key(w, Qt::Key_C, Qt::ControlModifier);
        w->Buttons()[0]->Click();
    });
    d.ShowModal();
    const QString dashes(27, QLatin1Char('-'));
    EXPECT_EQ(Clipboard()->AsText(), dashes + "\r\nError\r\n" + dashes + "\r\nDisk full\r\n" + dashes + "\r\nOK\r\n" + dashes);
}

TEST(SuiMessageDialog, StyleFileAndCaptionFont)
{
    TsuiMessageDialog d;
    EXPECT_EQ(d.CaptionFont()->Color(), clWhite);
    EXPECT_EQ(d.ButtonCursor(), crHandPoint);
    d.SetUIStyle(MacOS);
    EXPECT_EQ(d.CaptionFont()->Color(), clBlack);
    d.SetCaption(QStringLiteral("Mac"));
    std::unique_ptr<TfrmMsg> w(d.BuildWindow());
    EXPECT_EQ(w->suiForm1->UIStyle(), MacOS);
    EXPECT_EQ(w->suiForm1->TitleBarFont()->Color(), clBlack);
    EXPECT_EQ(w->Buttons()[0]->UIStyle(), MacOS);
    EXPECT_EQ(w->Buttons()[0]->Cursor(), crHandPoint);
    EXPECT_EQ(w->Caption(), QStringLiteral("Mac"));

    auto* theme = new TsuiFileTheme(nullptr);
    d.SetFileTheme(theme);
    delete theme;
    EXPECT_EQ(d.FileTheme(), nullptr);
    EXPECT_EQ(d.UIStyle(), DeepBlue);
}

// The icon lies on the window's own background: at its corners the window shows what it shows
// there without the icon, in every style and with the default skin file.
TEST(SuiMessageDialog, TheIconLiesOnTheFormsOwnBackground)
{
    TForm owner;
    auto* file = new TsuiFileTheme(&owner);
    file->SetThemeFile(QStringLiteral(BRELNOVA_TESTDATA "/../assets/suk/ziroz.sui"));
    ASSERT_TRUE(file->IsLoaded());
    const struct {
        TsuiUIStyle style;
        TsuiFileTheme* file;
        const char* name;
    } cases[] = {{WinXP, nullptr, "WinXP"},     {Protein, nullptr, "Protein"},     {FromThemeFile, file, "ziroz.sui"},
                 {MacOS, nullptr, "MacOS"},     {DeepBlue, nullptr, "DeepBlue"},   {BlueGlass, nullptr, "BlueGlass"}};
    for (const auto& c : cases) {
        TsuiMessageDialog d;
        d.SetIconType(suiInformation);
        d.SetUIStyle(c.style);
        d.SetFileTheme(c.file);
        std::unique_ptr<TfrmMsg> w(d.BuildWindow());
        w->show();
        QApplication::processEvents();
        const QPoint at = w->Image1->mapTo(w.get(), QPoint(0, 0));
        EXPECT_EQ(w->Image1->mapTo(w->suiForm1, QPoint(0, 0)), QPoint(24, 64)) << c.name;
        const QImage with = Shot(w.get());
        w->Image1->SetVisible(false);
        const QImage without = Shot(w.get());
        for (QPoint p : {QPoint(0, 0), QPoint(41, 0), QPoint(0, 41), QPoint(41, 41), QPoint(3, 3)})
            EXPECT_EQ(Px(with, at.x() + p.x(), at.y() + p.y()), Px(without, at.x() + p.x(), at.y() + p.y()))
                << c.name << " at " << p.x() << "," << p.y();
        EXPECT_NE(Px(with, at.x() + 21, at.y() + 21), Px(without, at.x() + 21, at.y() + 21)) << c.name << ": no icon";
    }
}

// OK takes both texts, Cancel keeps the previous ones; the edits line up after the wider label.
TEST(SuiPasswordDialog, LayoutAndResults)
{
    TsuiPasswordDialog d;
    d.SetItem1Text(QStringLiteral("old"));
    std::unique_ptr<TfrmPass> w(d.BuildWindow());
    const int left = std::max(w->lbl1->Width(), w->lbl2->Width()) + 24 + 5;
    EXPECT_EQ(w->edt1->Left(), left);
    EXPECT_EQ(w->edt2->Left(), left);
    EXPECT_EQ(w->Width(), left + 121 + 24);
    EXPECT_EQ(w->btn1->Left(), w->Width() / 2 - 73 - 8);
    EXPECT_EQ(w->btn2->Left(), w->Width() / 2 + 8);
    EXPECT_EQ(w->edt2->PasswordChar(), QStringLiteral("*"));
    EXPECT_TRUE(w->edt1->PasswordChar().isEmpty());
    EXPECT_EQ(w->edt1->Text(), QStringLiteral("old"));
    EXPECT_TRUE(w->btn1->Default());
    EXPECT_TRUE(w->btn2->Cancel());

    WhenShown<TfrmPass>([](TfrmPass* p) {
        p->edt1->SetText(QStringLiteral("ann"));
        p->edt2->SetText(QStringLiteral("secret"));
        Key(p, Qt::Key_Escape);
    });
    EXPECT_EQ(d.ShowModal(), mrCancel);
    EXPECT_EQ(d.Item1Text(), QStringLiteral("old"));
    EXPECT_TRUE(d.Item2Text().isEmpty());

    WhenShown<TfrmPass>([](TfrmPass* p) {
        p->edt1->SetText(QStringLiteral("ann"));
        p->edt2->SetText(QStringLiteral("secret"));
        Click(p->btn1, {10, 10});
    });
    EXPECT_EQ(d.ShowModal(), mrOk);
    EXPECT_EQ(d.Item1Text(), QStringLiteral("ann"));
    EXPECT_EQ(d.Item2Text(), QStringLiteral("secret"));
}

// Exceptions the program does not catch appear in the skinned box, in the main window's skin.
TEST(SuiMessageDialog, ExceptionDisplay)
{
    TForm main;
    auto* file = new TsuiFileTheme(&main);
    file->SetName(QStringLiteral("suiFileTheme1"));
    auto* manager = new TsuiThemeManager(&main);
    manager->SetName(QStringLiteral("suiThemeManager1"));
    manager->SetUIStyle(WinXP);
    Application->SetMainForm(&main);
    InstallSkinnedExceptionDisplay();
    QString caption, text;
    int buttons = 0;
    bool icon = false;
    TsuiUIStyle style = DeepBlue;
    {
        TDialogAnswererScope answer([&](TDialogRequest& r) {
            auto* w = qobject_cast<TfrmMsg*>(r.Dialog);
            if (!w)
                return false;
            caption = w->suiForm1->Caption();
            text = w->lbl->Caption();
            buttons = int(w->Buttons().size());
            icon = w->Image1->Visible();
            style = w->suiForm1->UIStyle();
            r.Result = mrOk;
            return true;
        });
        ShowException(EConvertError(QStringLiteral("'x' is not a valid integer value")));
    }
    SetExceptionDisplay(nullptr);
    Application->SetMainForm(nullptr);
    EXPECT_EQ(text, QStringLiteral("'x' is not a valid integer value."));
    EXPECT_FALSE(caption.isEmpty());
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(icon);
    EXPECT_EQ(style, WinXP);
}
