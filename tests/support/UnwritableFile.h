#pragma once

#include "FileBytes.h"

// A writable file that cannot be replaced, as no temporary file can be made
// beside it: in a read-only folder and, as root ignores permissions, named so
// long that no temporary name fits. A save must refuse it rather than write
// in place. The folder turns writable again at the end, so that it can go.
struct UnwritableFile
{
    UnwritableFile(const QString &in, const QByteArray &bytes, const char *suffix)
        : folder(in)
        , path(in + QLatin1Char('/') + QString(248, QLatin1Char('r')) + QLatin1String(suffix))
    {
        writeFile(path, bytes);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~UnwritableFile()
    {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QString folder;
    const QString path;
};
