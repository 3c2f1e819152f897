#pragma once

#include <QByteArray>
#include <QString>

// Path of a file under the project's testdata/ folder.
QString TestDataPath(const QString& relative);
// Whole contents of a file under testdata/; fails the current test when it cannot be read.
QByteArray ReadTestData(const QString& relative);
