#include "web/web_addresses.h"

#include "import/loadimagedorv.h"
#include <QUrl>
#include <QtCore/qglobal.h>

TWebAddresses& WebAddresses()
{
    static TWebAddresses addresses;
    return addresses;
}

QString TrimAddress(const QString& text)
{
    int from = 0, to = int(text.size());
    while (from < to && text[from].unicode() <= 32)
        ++from;
    while (to > from && text[to - 1].unicode() <= 32)
        --to;
    return text.mid(from, to - from);
}

bool WebAddressLoadable(const QString& address)
{
    const QString text = TrimAddress(address);
    if (text.isEmpty())
        return false;
    const QUrl url = QUrl::fromUserInput(text);
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return !url.host().isEmpty();
    return scheme == QLatin1String("file") || scheme == QLatin1String("about");
}

static void InitWebResources()
{
    Q_INIT_RESOURCE(web);
}

void RegisterWebClasses()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    InitWebResources();
}
