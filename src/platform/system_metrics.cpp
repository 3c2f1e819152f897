#include "platform/system_metrics.h"

#include <QGuiApplication>
#include <QScreen>

int GetSystemMetrics(int nIndex)
{
    switch (nIndex) {
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
        // Only a GUI application has screens; a console tool asks for nothing it could use.
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return 0;
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen)
            return 0;
        const QSize size = screen->size();
        return nIndex == SM_CXSCREEN ? size.width() : size.height();
    }
    default:
        return 0;
    }
}
