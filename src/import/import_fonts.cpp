#include "import/import_fonts.h"

#include <QFontDatabase>
#include <QStringList>

QString ImportFontFamily(const QString& name)
{
    struct TFontMap {
        const char* Name;
        QStringList Candidates;
    };
    static const TFontMap table[] = {
        {"MS gothic", {"Noto Sans Mono CJK JP", "IPAGothic", "TakaoGothic", "VL Gothic", "DejaVu Sans Mono"}},
        {"MS PGothic", {"Noto Sans CJK JP", "IPAPGothic", "TakaoPGothic", "VL PGothic", "DejaVu Sans"}},
    };
    const QStringList installed = QFontDatabase::families();
    for (const TFontMap& m : table) {
        if (name.compare(QLatin1String(m.Name), Qt::CaseInsensitive) != 0)
            continue;
        for (const QString& c : m.Candidates)
            if (installed.contains(c, Qt::CaseInsensitive))
                return c;
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }
    return name;
}
