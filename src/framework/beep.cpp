#include "framework/beep.h"

#include <QApplication>

bool MessageBeep(uint32_t)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::beep();
    return true;
}
