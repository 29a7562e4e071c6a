#pragma once

#include "FileBytes.h"

#include <QFile>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

// A writable file that cannot be replaced, as no temporary file can be made
// beside it: in a read-only folder, for root (who ignores permissions) marked
// immutable too. A save must refuse it rather than write in place. The folder
// turns writable again at the end, so that it can go.
struct UnwritableFile
{
    UnwritableFile(const QString &in, const QByteArray &bytes, const char *suffix)
        : folder(in)
        , path(in + QLatin1Char('/') + QString(248, QLatin1Char('r')) + QLatin1String(suffix))
    {
        writeFile(path, bytes);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        setImmutable(true);
        // Root without the right to mark files immutable writes anywhere.
        QFile probe(folder + QLatin1String("/probe"));
        holds = !probe.open(QIODevice::WriteOnly | QIODevice::NewOnly);
        if (!holds)
            probe.remove();
    }
    ~UnwritableFile()
    {
        setImmutable(false);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void setImmutable(bool on) const
    {
        const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0)
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        ::close(fd);
    }
    const QString folder;
    const QString path;
    bool holds = false;
};

// Skips the rest of a test where the machine lets it write in any folder.
#define REQUIRE_UNWRITABLE(file)                                                                   \
    if (!(file).holds)                                                                             \
    QSKIP("This machine lets the test write in a read-only folder")
