#pragma once

#include "CConfig.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

// A game folder on disk for scanner tests: files are written at the exact
// (mixed-case) paths given, so that case-insensitive resolution is exercised.
struct GameFolder
{
    QTemporaryDir dir;

    QString base() const { return dir.path() + QLatin1Char('/'); }

    void write(const QString &relative, const QByteArray &bytes) const
    {
        const QString path = base() + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    // A file that exists but is larger than any script is read: sparse, so it
    // costs no disk.
    void writeOversized(const QString &relative, qint64 size) const
    {
        const QString path = base() + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.resize(size);
    }
};

// Replaces the process-wide configuration with the given text.
inline void useConfiguration(const QByteArray &text)
{
    QBuffer buffer;
    buffer.setData(text);
    CConfig::instance()->load(&buffer);
}
