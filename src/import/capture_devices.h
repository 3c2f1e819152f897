#pragma once

// What the capture tool needs of the desktop, behind small interfaces so tests can stand in for
// the screen and the keyboard: the pointer position, a copy of a block of the screen, and Enter
// as a key taken from every program while the tool runs.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>

class TScreenSource {
public:
    virtual ~TScreenSource();
    virtual QPoint PointerPos() = 0;
    // The block of the desktop in screen pixels; parts off the screen come as the screen gives them.
    virtual QImage Grab(const QRect& block) = 0;
};

class THotKey {
public:
    virtual ~THotKey();
    // Takes Enter (without modifiers) for the whole desktop; false when it cannot, in which case
    // Enter works only while one of the program's windows has the focus.
    virtual bool Register(int id, std::function<void(int id)> pressed) = 0;
    virtual void Unregister(int id) = 0;
    virtual bool IsRegistered(int id) const = 0;
    // Why a desktop-wide key is not to be had here, or empty when it is.
    virtual QString Limitation() const { return QString(); }
};

// The devices of the running desktop: Qt's pointer and screens; under X11 the key grab of the
// X server (with the NumLock and CapsLock variants), elsewhere Enter in the program's windows.
std::unique_ptr<TScreenSource> MakeDesktopScreen();
std::unique_ptr<THotKey> MakeDesktopHotKey();
