#pragma once

// What every window of the animation builders shares: the classes their definitions name, the
// main window's skin, and finding one of their components by name.

#include "framework/component.h"

class TForm;

// Registers every component class the builders' window definitions name (once).
void RegisterAnimationClasses();

// Gives the window's skin components ("suiFileTheme1", "suiThemeManager1") the main window's skin
// file and style; nothing without a main window.
void CopyMainWindowSkin(QObject* window);

template <class T>
T* FindPart(const QObject* window, const QString& name)
{
    return qobject_cast<T*>(FindComponent(window, name));
}
