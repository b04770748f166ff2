#include "data/AtomicFile.h"

#include <QSaveFile>

bool writeFileAtomically(const QString& name, const QByteArray& data, QString* error)
{
    QSaveFile file(name);
    // Unbuffered: each write reaches the file at once, so a short write is seen here and
    // not in a flush hidden inside commit().
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return false;
    }
    qint64 done = 0;
    while (done < data.size()) {
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        if (n <= 0) {
            *error = file.error() != QFileDevice::NoError
                ? file.errorString()
                : QStringLiteral("The disk took only part of the file.");
            file.cancelWriting();
            return false;
        }
        done += n;
    }
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
