#pragma once

// What every window of the animation builders shares: the classes their definitions name and
// finding one of their components by name.

#include "framework/component.h"

class TForm;

// Registers every component class the builders' window definitions name (once).
void RegisterAnimationClasses();

template <class T>
T* FindPart(const QObject* window, const QString& name)
{
    return qobject_cast<T*>(FindComponent(window, name));
}
