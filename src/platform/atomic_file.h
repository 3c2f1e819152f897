#pragma once

// Replacing a file as one step: the bytes go to a temporary file beside it, which is flushed to
// disk and renamed over the old file only when every byte was written. A short write (disk full,
// size limit) leaves the old file as it was.

#include <QByteArray>
#include <QString>

bool WriteFileAtomically(const QString& fileName, const QByteArray& bytes);
