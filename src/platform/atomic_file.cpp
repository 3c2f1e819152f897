#include "platform/atomic_file.h"

#include <QSaveFile>

bool WriteFileAtomically(const QString& fileName, const QByteArray& bytes)
{
    QSaveFile f(fileName);
    // Unbuffered, so a short write shows in write()'s count: a buffered flush can lose it and
    // let commit() rename a cut file over the good one.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = f.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            f.cancelWriting();
            f.commit();
            return false;
        }
        done += n;
    }
    return f.commit();
}
