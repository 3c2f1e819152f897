#pragma once

#include <QByteArray>
#include <QString>

// Icon-group names in a 16-bit library are bytes. Names are written in the Western Windows code
// page when every character has a byte there, so other programs show them; other names are
// written as UTF-8. Many Western names are valid UTF-8 as well ("Ã¼ber" is the bytes of "über"),
// so reading takes UTF-8 only where it gives a character the code page has not; a name whose
// bytes would still be misread either way is written as UTF-8 behind a byte-order mark, which
// reading always takes as UTF-8. Every name written reads back as it was (cut to 255 bytes).
QByteArray EncodeLibraryName(const QString& name);
QString DecodeLibraryName(const QByteArray& bytes);
