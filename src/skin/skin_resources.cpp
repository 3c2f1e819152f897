#include "skin/skin_resources.h"

#include <QFile>

// Outside any namespace: the resource initialiser is declared where it is named.
static void InitResources()
{
    // The resources live in a static library: nothing would pull them into the program unless
    // they are named once.
    static const bool done = [] {
        Q_INIT_RESOURCE(skinart);
        return true;
    }();
    (void)done;
}

QByteArray SkinResourceBytes(const QString& name)
{
    InitResources();
    const QString upper = name.toUpper();
    if (upper.isEmpty() || upper.contains(QLatin1Char('/')))
        return {};
    QFile f(QStringLiteral(":/skin/") + upper + (upper == QLatin1String("MAINICON") ? QStringLiteral(".ico") : QStringLiteral(".bmp")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}
