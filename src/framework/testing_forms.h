#pragma once

// Test support: every form of the application freed, as the end of a program frees them. A form
// may free others with it, so each is reached through a guard.

#include "framework/application.h"
#include "framework/forms.h"

#include <QList>
#include <QPointer>

inline void FreeEveryForm()
{
    QList<QPointer<TForm>> forms;
    for (TForm* f : Screen->FormList())
        forms << f;
    for (const QPointer<TForm>& f : forms)
        delete f.data();
}
