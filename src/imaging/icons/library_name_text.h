#pragma once

#include <QByteArray>
#include <QString>

// Icon-group names in a 16-bit library are bytes. Names are written in the Western Windows code
// page when every character has a byte there, so other programs show them; other names are
// written as UTF-8. Reading takes valid UTF-8 that is not plain ASCII as UTF-8, anything else as
// the Western code page.
QByteArray EncodeLibraryName(const QString& name);
QString DecodeLibraryName(const QByteArray& bytes);
