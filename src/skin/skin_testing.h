#pragma once

// Test helpers: mouse, key and hover events sent straight to a widget, windows made active on
// the offscreen platform, and pixels of a widget's picture.

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace SkinTest {

inline void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    if (type == QEvent::MouseMove)
        buttons = QApplication::mouseButtons();
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), type == QEvent::MouseMove ? Qt::NoButton : button,
                  buttons, mods);
    QApplication::sendEvent(w, &e);
}

inline void Press(QWidget* w, QPoint pos, Qt::MouseButton b = Qt::LeftButton) { Mouse(w, QEvent::MouseButtonPress, pos, b); }
inline void Release(QWidget* w, QPoint pos, Qt::MouseButton b = Qt::LeftButton) { Mouse(w, QEvent::MouseButtonRelease, pos, b); }
inline void Move(QWidget* w, QPoint pos) { Mouse(w, QEvent::MouseMove, pos, Qt::NoButton); }
inline void Click(QWidget* w, QPoint pos)
{
    Press(w, pos);
    Release(w, pos);
}

inline void Enter(QWidget* w, QPoint pos = {1, 1})
{
    QEnterEvent e{QPointF(pos), QPointF(pos), QPointF(w->mapToGlobal(pos))};
    QApplication::sendEvent(w, &e);
}

inline void Leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

inline void Key(QWidget* w, QEvent::Type type, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent e(type, key, mods, text);
    QApplication::sendEvent(w, &e);
}

inline void KeyClick(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
{
    Key(w, QEvent::KeyPress, key, mods, text);
    Key(w, QEvent::KeyRelease, key, mods, text);
}

// Shows the window and makes it the active one, so that focus and shortcuts work.
inline void ShowActive(QWidget* window)
{
    // A framework window keeps its own Visible flag.
    if (window->property("Visible").isValid())
        window->setProperty("Visible", true);
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QApplication::processEvents();
}

// The widget's picture as the screen would show it.
inline QImage Shot(QWidget* w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QRgb Px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

} // namespace SkinTest
