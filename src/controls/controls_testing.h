#pragma once

// Test helpers of the utility controls: key and mouse events as a person gives them, on a window
// that is shown and active on the offscreen platform, and a count of the default beep.

#include "controls/control_text.h"
#include "framework/forms.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <memory>

namespace ControlsTest {

// A shown, active window of 400 by 300 pixels that the controls are put on.
struct Window {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    Window()
    {
        form->SetBounds(0, 0, 400, 300);
        form->SetVisible(true);
        form->show();
        form->activateWindow();
        QApplication::setActiveWindow(form.get());
        QApplication::processEvents();
    }
    template <class T>
    T* Add(int left, int top, int width, int height)
    {
        auto* c = new T(form.get());
        c->SetParent(form.get());
        c->SetBounds(left, top, width, height);
        c->Show();
        return c;
    }
};

// Counts the default beeps while it lives.
struct BeepCounter {
    int count = 0;
    std::function<void()> saved = DefaultBeep;
    BeepCounter() { DefaultBeep = [this] { ++count; }; }
    ~BeepCounter() { DefaultBeep = saved; }
};

inline void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}

// Types each character as its own key.
inline void Type(QWidget* w, const QString& text)
{
    for (QChar c : text)
        Key(w, 0, Qt::NoModifier, QString(c));
}

} // namespace ControlsTest
