#include "testsupport/testdata.h"

#include <QFile>
#include <gtest/gtest.h>

QString TestDataPath(const QString& relative)
{
    QString root = qEnvironmentVariable("BRELNOVA_TESTDATA");
#ifdef BRELNOVA_TESTDATA
    if (root.isEmpty())
        root = QStringLiteral(BRELNOVA_TESTDATA);
#endif
    return root + QLatin1Char('/') + relative;
}

QByteArray ReadTestData(const QString& relative)
{
    QFile f(TestDataPath(relative));
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read test data " << relative.toStdString();
        return {};
    }
    return f.readAll();
}
