#include "platform/font_families.h"

#include <QFontDatabase>

namespace {

struct TFontStandIn {
    const char* Windows;
    const char* Installed[2];
};

// The one table of stand-ins; each Windows font lists its choices in order of likeness.
const TFontStandIn kStandIns[] = {
    {"Times New Roman", {"Liberation Serif", "DejaVu Serif"}},
    // The Latin letters of this Chinese font are a plain serif face.
    {"Simsun", {"Liberation Serif", "DejaVu Serif"}},
    {"Tahoma", {"DejaVu Sans", "Liberation Sans"}},
};

QString Installed(const QStringList& families, const QString& name)
{
    for (const QString& f : families)
        if (f.compare(name, Qt::CaseInsensitive) == 0)
            return f;
    return QString();
}

} // namespace

QString InstalledFontFamily(const QString& name)
{
    if (name.trimmed().isEmpty())
        return QString();
    const QStringList families = QFontDatabase::families();
    QString found = Installed(families, name);
    if (!found.isEmpty())
        return found;
    for (const TFontStandIn& s : kStandIns) {
        if (name.compare(QLatin1String(s.Windows), Qt::CaseInsensitive) != 0)
            continue;
        for (const char* candidate : s.Installed) {
            found = Installed(families, QLatin1String(candidate));
            if (!found.isEmpty())
                return found;
        }
    }
    return QString();
}

QStringList InstalledFontFamilies()
{
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    return families;
}
