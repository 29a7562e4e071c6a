#include "DurableFile.h"

#include "SiblingName.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <functional>

#ifdef Q_OS_UNIX
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr qint64 CopyChunk = 1 << 20;
// New names tried before a folder is taken to be full of them.
constexpr int FreshNameTries = 32;

bool failed(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

#ifdef Q_OS_UNIX
QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

DurableFile::FileState stateFrom(const struct stat &info)
{
    return DurableFile::FileState{DurableFile::FileId{quint64(info.st_dev), quint64(info.st_ino)},
                                  quint32(info.st_uid), quint32(info.st_gid),
                                  quint32(info.st_mode & 07777)};
}

// In a shared folder (sticky, as /tmp is) only its owner may rename or remove
// a file: a second name of another user's file would be one that this user
// can neither move onto the backup name nor take away again.
bool othersFileInSharedFolder(const QByteArray &from, const QByteArray &to)
{
    const uid_t me = ::geteuid();
    struct stat file;
    if (me == 0 || ::stat(from.constData(), &file) != 0 || file.st_uid == me)
        return false;
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(to)).absolutePath());
    struct stat shared;
    return ::stat(folder.constData(), &shared) == 0 && (shared.st_mode & S_ISVTX) &&
           shared.st_uid != me;
}
#endif

// Calls `make` with new names beside `target` until one is free: false from
// `make` with the name then taken means another file had it.
QString freshName(const QString &target, QString *error,
                  const std::function<bool(const QString &, QString *)> &make)
{
    for (int i = 0; i < FreshNameTries; ++i) {
        const QString name = SiblingName::temporary(target);
        QString reason;
        if (make(name, &reason))
            return name;
        if (!DurableFile::idAt(name).isValid()) {
            failed(error, reason);
            return QString();
        }
    }
    failed(error, QString::fromLocal8Bit(std::strerror(EEXIST)));
    return QString();
}

} // namespace

namespace DurableFile {

FileState stateOf(int handle)
{
#ifdef Q_OS_UNIX
    struct stat info;
    if (handle >= 0 && ::fstat(handle, &info) == 0)
        return stateFrom(info);
#else
    Q_UNUSED(handle)
#endif
    return FileState();
}

FileState stateAt(const QString &path, bool followLinks)
{
    FileState state;
#ifdef Q_OS_UNIX
    struct stat info;
    const QByteArray name = QFile::encodeName(path);
    if ((followLinks ? ::stat(name.constData(), &info) : ::lstat(name.constData(), &info)) == 0)
        state = stateFrom(info);
#else
    Q_UNUSED(followLinks)
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        state.id = FileId{0, 1};
#endif
    return state;
}

FileId idOf(const QFileDevice &file)
{
    return stateOf(file.handle()).id;
}

FileId idOf(int handle)
{
    return stateOf(handle).id;
}

FileId idAt(const QString &path, bool followLinks)
{
    return stateAt(path, followLinks).id;
}

bool takeOwnership(int handle, const FileState &old)
{
#ifdef Q_OS_UNIX
    if (handle < 0 || !old.id.isValid())
        return false;
    // Only root gives a file away; anyone may give their own file a group
    // they belong to.
    const bool owned = ::fchown(handle, uid_t(old.user), gid_t(old.group)) == 0;
    const bool grouped = owned || ::fchown(handle, uid_t(-1), gid_t(old.group)) == 0;
    // Last: a change of owner clears set-id bits.
    return ::fchmod(handle, mode_t(old.mode)) == 0 && owned && grouped;
#else
    Q_UNUSED(handle)
    Q_UNUSED(old)
    return false;
#endif
}

QString folderFailure(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat info;
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (::stat(folder.constData(), &info) != 0)
        return systemError();
    if (!S_ISDIR(info.st_mode))
        return QString::fromLocal8Bit(std::strerror(ENOTDIR));
#else
    Q_UNUSED(path)
#endif
    return QString();
}

bool isOthersFile(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && info.st_uid != ::geteuid();
#else
    Q_UNUSED(path)
    return false;
#endif
}

QString userTag()
{
#ifdef Q_OS_UNIX
    return QString::number(::geteuid());
#else
    return QString();
#endif
}

QString writeFailureReason(QFileDevice &file)
{
    // The text of a device that never set a reason.
    static const QString unset = QFile().errorString();
    if (file.error() != QFileDevice::NoError && file.errorString() != unset)
        return file.errorString();
#ifdef Q_OS_UNIX
    struct stat info;
    const int fd = file.handle();
    if (fd >= 0 && ::fstat(fd, &info) == 0 && ::pwrite(fd, "", 1, info.st_size) < 0)
        return systemError();
#endif
    return QString();
}

bool sync(QFileDevice &file, QString *error)
{
    if (!file.flush())
        return failed(error, file.errorString());
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0)
        return failed(error, systemError());
#endif
    return true;
}

void startWriteback(QFileDevice &file, qint64 from, qint64 to)
{
#ifdef Q_OS_LINUX
    if (to > from && file.flush())
        ::sync_file_range(file.handle(), from, to - from, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(file)
    Q_UNUSED(from)
    Q_UNUSED(to)
#endif
}

bool syncFolderOf(const QString &path)
{
#ifdef Q_OS_UNIX
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return synced;
#else
    Q_UNUSED(path)
    return true;
#endif
}

bool replace(const QString &from, const QString &to, QString *error)
{
#ifdef Q_OS_UNIX
    // QFile::rename refuses an existing target; rename(2) replaces it
    // atomically.
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return failed(error, systemError());
    return true;
#else
    // No atomic replacement through Qt's public API here: the old file goes
    // first, so a crash in between leaves only the new file under `from`.
    QFile::remove(to);
    QFile source(from);
    return source.rename(to) || failed(error, source.errorString());
#endif
}

bool placeNew(const QString &from, const QString &to, QString *error)
{
#ifdef Q_OS_UNIX
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return failed(error, systemError());
#endif
    // Where the file system has no such rename, a link refuses a taken name
    // as well.
    if (::link(source.constData(), target.constData()) != 0)
        return failed(error, systemError());
    ::unlink(source.constData());
    return true;
#else
    QFile source(from);
    return source.rename(to) || failed(error, source.errorString());
#endif
}

bool linkOrCopy(const QString &from, const QString &to, QString *error)
{
#ifdef Q_OS_UNIX
    const QByteArray fromName = QFile::encodeName(from), toName = QFile::encodeName(to);
    if (!othersFileInSharedFolder(fromName, toName)) {
        if (::link(fromName.constData(), toName.constData()) == 0)
            return true;
        // Only a file system without hard links is worth a copy; anything
        // else (the name is taken, no permission) would fail the copy too.
        if (errno != EPERM && errno != EXDEV && errno != EMLINK && errno != ENOTSUP &&
            errno != EOPNOTSUPP)
            return failed(error, systemError());
    }
#endif
    QFile source(from);
    QFile target(to);
    if (!source.open(QIODevice::ReadOnly))
        return failed(error, source.errorString());
    if (!target.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return failed(error, target.errorString());
    QByteArray chunk;
    bool copied = true;
    while (copied && !source.atEnd()) {
        chunk = source.read(CopyChunk);
        copied = !chunk.isEmpty() && target.write(chunk) == chunk.size();
    }
    if (copied)
        copied = sync(target, error);
    else if (error)
        *error =
            target.error() != QFileDevice::NoError ? target.errorString() : source.errorString();
    target.close();
    if (!copied)
        target.remove();
    return copied;
}

QString linkOrCopyBeside(const QString &from, const QString &target, QString *error)
{
    return freshName(target, error, [&from](const QString &name, QString *reason) {
        return linkOrCopy(from, name, reason);
    });
}

bool createBeside(QFile &file, const QString &target, QString *error)
{
    return !freshName(target, error, [&file](const QString &name, QString *reason) {
                file.setFileName(name);
                return file.open(QIODevice::ReadWrite | QIODevice::NewOnly) ||
                       failed(reason, file.errorString());
            }).isEmpty();
}

} // namespace DurableFile
