#include "app/start/testing_window_seams.h"

#include "document/createico.h"
#include "framework/commands.h"
#include "framework/dialogs.h"
#include "platform/gdip.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <functional>

namespace {

// The keys of the main window's map and menu that change a document or open a window.
struct TKey {
    const char* Name;
    int Key;
    Qt::KeyboardModifiers Mods;
};
const TKey kKeys[] = {
    {"Ctrl+K", Qt::Key_K, Qt::ControlModifier}, {"Left", Qt::Key_Left, Qt::NoModifier},
    {"Down", Qt::Key_Down, Qt::NoModifier},     {"E", Qt::Key_E, Qt::NoModifier},
    {"F3", Qt::Key_F3, Qt::NoModifier},         {"Ctrl+O", Qt::Key_O, Qt::ControlModifier},
    {"Ctrl+W", Qt::Key_W, Qt::ControlModifier},
};

class WindowKeys : public WindowSeams {
protected:
    void SetUp() override
    {
        WindowSeams::SetUp();
        if (HasFatalFailure())
            return;
        // A picture that every shift and a clear change.
        QImage* image = GdipImageData(doc->CurrentImage());
        for (int y = 0; y < image->height(); ++y)
            for (int x = 0; x < image->width(); ++x)
                image->setPixel(x, y, x < 10 && y < 7 ? qRgba(200, 40 + x, 90 + y, 255) : 0);
    }

    static void Press(QWidget* target, const TKey& k)
    {
        const QString text = k.Mods == Qt::NoModifier && k.Key < 0x80 ? QString(QChar(k.Key)).toLower() : QString();
        QKeyEvent down(QEvent::KeyPress, k.Key, k.Mods, text);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, k.Key, k.Mods, text);
        QApplication::sendEvent(target, &up);
    }
    // Where a person's key goes in a window: its focused control, else the window.
    static QWidget* KeyTarget(QWidget* window)
    {
        QWidget* focused = window->focusWidget();
        return focused ? focused : window;
    }
    QImage Picture() const { return GdipImageData(doc->CurrentImage())->copy(); }
    static QStringList ShownForms()
    {
        QStringList shown;
        for (TForm* f : Screen->FormList())
            if (f->isVisible())
                shown << f->objectName();
        shown.sort();
        return shown;
    }
    // Presses every key in window and checks that none of them reached the main window: the
    // document keeps its picture, the tool stays, no window opens and nothing is asked.
    void PressAllAndExpectNothing(QWidget* window, QStringList& asked)
    {
        const QImage before = Picture();
        const int tool = iconmain->CurrentTool;
        const QStringList shown = ShownForms();
        for (const TKey& k : kKeys) {
            SCOPED_TRACE(k.Name);
            asked.clear();
            Press(KeyTarget(window), k);
            EXPECT_TRUE(asked.isEmpty()) << asked.join('|').toStdString();
            ASSERT_TRUE(FindForm("iconview1"));
            EXPECT_EQ(Picture(), before);
            EXPECT_EQ(iconmain->CurrentTool, tool);
            EXPECT_EQ(ShownForms(), shown);
        }
    }
};

} // namespace

// Keys typed in a modal dialog, a builder or the close question stay with that window; with the
// main window in front again each of them does its work there.
TEST_F(WindowKeys, KeysBelongToTheWindowInFront)
{
    QStringList asked;
    std::function<void(TDialogRequest&)> inWindow;
    TDialogAnswererScope person([&](TDialogRequest& r) {
        if (inWindow) {
            auto act = std::move(inWindow);
            inWindow = nullptr;
            act(r);
            return true;
        }
        asked << QString::number(r.Kind) + ':' + r.Text;
        r.Result = r.Kind == TDialogRequest::dkForm || r.Kind == TDialogRequest::dkMessageDlg ? int(mrCancel) : 0;
        return true;
    });

    {
        SCOPED_TRACE("the modal dialog \"Create a New Icon\"");
        bool shown = false;
        inWindow = [&](TDialogRequest& r) {
            auto* dialog = qobject_cast<Tcreateico*>(r.Dialog);
            ASSERT_TRUE(dialog);
            shown = true;
            // Shown modally as the program shows it.
            dialog->setWindowModality(Qt::ApplicationModal);
            dialog->show();
            PressAllAndExpectNothing(dialog, asked);
            dialog->hide();
            dialog->setWindowModality(Qt::NonModal);
            r.Result = mrCancel;
        };
        ASSERT_TRUE(ClickComponentByName(iconmain, "ToolButton1"));
        EXPECT_TRUE(shown);
    }
    for (const char* opener : {"AnimationGIFBuilder1", "AnimationCursorBuilder1"}) {
        SCOPED_TRACE(opener);
        const QStringList before = ShownForms();
        ASSERT_TRUE(ClickComponentByName(iconmain, opener));
        TForm* builder = nullptr;
        for (TForm* f : Screen->FormList())
            if (f->isVisible() && !before.contains(f->objectName()))
                builder = f;
        ASSERT_TRUE(builder);
        PressAllAndExpectNothing(builder, asked);
        builder->Hide();
    }
    {
        SCOPED_TRACE("the close question");
        bool shown = false;
        inWindow = [&](TDialogRequest& r) {
            shown = true;
            EXPECT_TRUE(r.Text.startsWith("Save changes")) << r.Text.toStdString();
            // The question as a window of its own over the main window, which asks it.
            QMessageBox box(QMessageBox::Warning, r.Caption, r.Text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                            iconmain);
            box.setWindowModality(Qt::ApplicationModal);
            box.show();
            PressAllAndExpectNothing(&box, asked);
            box.hide();
            r.Result = mrCancel;
        };
        ASSERT_TRUE(ClickComponentByName(iconmain, "Close1"));
        EXPECT_TRUE(shown);
    }

    // The main window in front again: every key works.
    ASSERT_TRUE(FindForm("iconview1"));
    const QImage start = Picture();
    Press(iconmain, kKeys[3]);
    EXPECT_EQ(iconmain->CurrentTool, 7);
    Press(iconmain, kKeys[1]);
    EXPECT_NE(Picture(), start);
    Press(iconmain, kKeys[0]);
    const QImage cleared = Picture();
    for (int y = 0; y < cleared.height(); ++y)
        for (int x = 0; x < cleared.width(); ++x)
            ASSERT_EQ(qAlpha(cleared.pixel(x, y)), 0) << x << "," << y;
    Press(iconmain, kKeys[4]);
    TForm* aniBuilder = FindForm("editani");
    ASSERT_TRUE(aniBuilder);
    EXPECT_TRUE(aniBuilder->isVisible());
    aniBuilder->Hide();
    asked.clear();
    Press(iconmain, kKeys[5]);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_TRUE(!asked.isEmpty() && asked[0].startsWith(QString::number(TDialogRequest::dkOpen) + ':'));
    asked.clear();
    Press(iconmain, kKeys[6]);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_TRUE(!asked.isEmpty() && asked[0].contains("Save changes"));
}
