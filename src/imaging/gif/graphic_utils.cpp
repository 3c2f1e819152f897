#include "imaging/gif/graphic_utils.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QRegularExpression>
#include <QSysInfo>
#include <cstdlib>
#include <cstring>

void SwapIntegers(int& a, int& b)
{
    std::swap(a, b);
}

int MaxInteger(int a, int b)
{
    return a > b ? a : b;
}

int MinInteger(int a, int b)
{
    return a < b ? a : b;
}

int RectWidth(const TRect& r)
{
    return r.Right - r.Left;
}

int RectHeight(const TRect& r)
{
    return r.Bottom - r.Top;
}

bool IsPointWithinBounds(const TPoint& p, const TRect& r)
{
    return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
}

void* AllocGlobalBlock(int64_t size)
{
    if (size <= 0)
        return nullptr;
    return std::calloc(size_t(size), 1);
}

void FreeGlobalBlock(void*& block)
{
    if (block) {
        std::free(block);
        block = nullptr;
    }
}

void* OffsetPointer(void* p, int64_t offset)
{
    return static_cast<char*>(p) + offset;
}

void MoveBytes(void* target, const void* source, size_t count)
{
    if (count > 0)
        std::memmove(target, source, count);
}

bool SameBytes(const void* a, const void* b, size_t count)
{
    return count == 0 || std::memcmp(a, b, count) == 0;
}

QString CopyText(const QString& text)
{
    return text;
}

QString FormatKernelVersion(const QString& release)
{
    static const QRegularExpression re(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?(.*)$"));
    const auto m = re.match(release.trimmed());
    if (!m.hasMatch())
        return QStringLiteral("Linux %1").arg(release).trimmed();
    QString rest = m.captured(4);
    // The part behind the numbers plays the service pack's role; its separator is no text of it.
    while (rest.startsWith(u'-') || rest.startsWith(u'.') || rest.startsWith(u'+'))
        rest.remove(0, 1);
    return QStringLiteral("Linux %1.%2.%3 %4")
        .arg(m.captured(1).toInt())
        .arg(m.captured(2).toInt(), 2, 10, QLatin1Char('0'))
        .arg(m.captured(3).toInt(), 3, 10, QLatin1Char('0'))
        .arg(rest)
        .trimmed();
}

QString FormatWindowsVersion()
{
    return FormatKernelVersion(QSysInfo::kernelVersion());
}

void PlayMessageBeep()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::beep();
}

void DiscardPendingMessage(QObject* receiver, int eventType)
{
    // Qt offers no removal of a single posted event; all of that type for the receiver go, which
    // is what the callers want (they drop a repeated request). A quit request stays posted.
    if (eventType == QEvent::Quit)
        return;
    QCoreApplication::removePostedEvents(receiver, eventType);
}

bool OwnsActiveWindow()
{
    // Every window of the program belongs to the GUI thread.
    return qobject_cast<QApplication*>(QCoreApplication::instance()) && QApplication::activeWindow() != nullptr;
}
