#include "platform/shell_notify.h"

#include <QMutex>
#include <QMutexLocker>

namespace {

QMutex logLock;
QStringList& Log()
{
    static QStringList log;
    return log;
}

void Record(const QString& line)
{
    QMutexLocker lock(&logLock);
    // A long session must not grow without bound; the newest entries are the ones that matter.
    if (Log().size() >= 1000)
        Log().removeFirst();
    Log().append(line);
}

} // namespace

void BroadcastMessage(unsigned message, uintptr_t wParam, intptr_t lParam)
{
    Record(QStringLiteral("SendMessage 0x%1 %2 %3").arg(message, 0, 16).arg(wParam).arg(lParam));
}

void BroadcastMessageTimeout(unsigned message, uintptr_t wParam, intptr_t lParam, unsigned, unsigned)
{
    Record(QStringLiteral("SendMessageTimeout 0x%1 %2 %3").arg(message, 0, 16).arg(wParam).arg(lParam));
}

void SHChangeNotify(long eventId, unsigned flags, const void*, const void*)
{
    Record(QStringLiteral("SHChangeNotify 0x%1 0x%2").arg(eventId, 0, 16).arg(flags, 0, 16));
}

QStringList ShellNotificationLog()
{
    QMutexLocker lock(&logLock);
    return Log();
}

void ClearShellNotificationLog()
{
    QMutexLocker lock(&logLock);
    Log().clear();
}
