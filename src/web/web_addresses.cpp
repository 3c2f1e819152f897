#include "web/web_addresses.h"

#include "import/loadimagedorv.h"
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
