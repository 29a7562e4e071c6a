#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

// A game folder (or any folder of local files) on disk: files are written at
// the exact (mixed-case) paths given, so that case-insensitive resolution is
// exercised.
struct GameFolder
{
    QTemporaryDir dir;

    QString base() const { return dir.path() + QLatin1Char('/'); }

    // With a size, the file is that long and sparse (an oversized script
    // that costs no disk). Returns the file's full path.
    QString write(const QString &relative, const QByteArray &bytes, qint64 size = -1) const
    {
        QDir().mkpath(QFileInfo(base() + relative).path());
        QFile file(base() + relative);
        if (file.open(QIODevice::WriteOnly))
            size < 0 ? void(file.write(bytes)) : void(file.resize(size));
        return file.fileName();
    }
};
