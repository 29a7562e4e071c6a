#include "CSaveFile.h"

CSaveFile::CSaveFile(const QString &path, QObject *parent)
    : QSaveFile(path, parent)
{
    setDirectWriteFallback(true);
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
