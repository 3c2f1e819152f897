#include "settings/update_service.h"

#include "mainwindow/configuration_file.h"

namespace {

QString TrimControls(const QString& s)
{
    int from = 0;
    int to = s.size();
    while (from < to && s.at(from).unicode() <= 32)
        ++from;
    while (to > from && s.at(to - 1).unicode() <= 32)
        --to;
    return s.mid(from, to - from);
}

bool AllDigits(const QString& s)
{
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return !s.isEmpty();
}

} // namespace

QUrl UpdateServiceRoot()
{
    const QString configured = ReadConfiguration(QStringLiteral("liveupdate"), QStringLiteral("server")).trimmed();
    QUrl url(configured, QUrl::StrictMode);
    if (ConfigurationValueMissing(configured) || !url.isValid() || url.scheme() != QLatin1String("http") || url.host().isEmpty())
        url = QUrl(QStringLiteral("http://www.brelnova.com/"));
    QString path = url.path();
    if (!path.endsWith(QLatin1Char('/')))
        url.setPath(path + QLatin1Char('/'));
    return url;
}

QUrl UpdateVersionTextUrl()
{
    return UpdateServiceRoot().resolved(QUrl(QStringLiteral("rozazuvidodiro.txt")));
}

QUrl UpdateDetailsUrl()
{
    return UpdateServiceRoot().resolved(QUrl(QStringLiteral("update.htm")));
}

TUpdateReport EvaluateVersionText(const QByteArray& bytes, const QString& version, const QString& build)
{
    const QString s = QString::fromLatin1(bytes);
    const QString t = TrimControls(s);
    TUpdateReport report;
    // The notes run from position 20 to the end, their last character included.
    report.Release = QStringLiteral("Product: Brelnova Studio\r\n") + t.mid(19);
    const QString field = t.mid(10, 8);
    const QString own = QString(version).remove(QLatin1Char('.')) + build;
    if (field.size() != 8 || !AllDigits(field) || own.size() != 8 || !AllDigits(own)) {
        report.Kind = TUpdateReport::Unreadable;
        report.Message = QStringLiteral("The update service's answer could not be read.\r\n\r\nPlease try again later.");
        return report;
    }
    if (field.toLongLong() <= own.toLongLong()) {
        report.Kind = TUpdateReport::NoUpdate;
        report.Message = QStringLiteral("No Update Found.\r\n\r\nPlease read New Release for other release information.");
        return report;
    }
    report.Kind = TUpdateReport::NewVersion;
    report.Message = QStringLiteral("New Full-Working Version: V") + field.at(0) + QLatin1Char('.') + field.at(1) +
                     QStringLiteral("+ (Build ") + field.mid(3, 5) + QStringLiteral(" ) Found !\r\n\r\nPlease read New Release for more details.");
    return report;
}
