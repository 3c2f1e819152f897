#pragma once

// Test files of the GIF tests. The path comes from the environment when set, else from the
// test program's compile definition, so the tests also find their files when the environment
// of the test runner does not reach them.

#include <QByteArray>
#include <QFile>
#include <QString>

inline QString GifTestDataPath(const QString& relative)
{
    QString root = qEnvironmentVariable("BRELNOVA_TESTDATA");
#ifdef BRELNOVA_TESTDATA
    if (root.isEmpty())
        root = QStringLiteral(BRELNOVA_TESTDATA);
#endif
    return root + QLatin1Char('/') + relative;
}

inline QByteArray ReadGifTestData(const QString& relative)
{
    QFile f(GifTestDataPath(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
