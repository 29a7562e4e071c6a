#include "CSaveFile.h"

CSaveFile::CSaveFile(const QString &path, QObject *parent)
    : QSaveFile(path, parent)
{
    setDirectWriteFallback(true);
}

bool CSaveFile::commit()
{
    const bool written = isOpen() && flush() && error() == QFileDevice::NoError;
    if (!written && isOpen())
        cancelWriting();
    // In place (no temporary file) the base reports success even after a
    // cancel; the target is then already changed, but the caller hears of it.
    return QSaveFile::commit() && written;
}

bool CSaveFile::writeAll(const QString &path, const QByteArray &bytes, QString *error)
{
    CSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
