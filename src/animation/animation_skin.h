#pragma once

// What every window of the animation builders shares: the classes their definitions name,
// finding one of their components by name, and the question about unsaved work.

#include "framework/component.h"

#include <functional>

class TForm;

// Registers every component class the builders' window definitions name (once).
void RegisterAnimationClasses();

// "Save changes to current animation?" with Yes, No and Cancel, asked by both builders before
// their unsaved work goes: Yes runs save, and saved then tells whether it happened. False when
// the work must stay (Cancel, or a Yes whose save did not happen: its dialog was cancelled or the
// file could not be written).
bool AskToSaveAnimation(const std::function<void()>& save, const std::function<bool()>& saved);

template <class T>
T* FindPart(const QObject* window, const QString& name)
{
    return qobject_cast<T*>(FindComponent(window, name));
}
