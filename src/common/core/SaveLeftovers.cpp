#include "SaveLeftovers.h"

#include "DurableFile.h"
#include "SaveLock.h"
#include "SiblingName.h"

#include <QFile>
#include <QFileInfo>
#include <QVector>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// The regular file `name` of the folder open as `folder`, not through a link;
// invalid for anything else.
DurableFile::FileId regularFileAt(int folder, const QByteArray &name)
{
    struct stat info;
    if (::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode))
        return DurableFile::FileId();
    return DurableFile::FileId{quint64(info.st_dev), quint64(info.st_ino)};
}

bool removeLeftover(int folder, const QByteArray &name, const SaveLock &lock)
{
    const DurableFile::FileId named = regularFileAt(folder, name);
    if (!named.isValid())
        return false;
    // Not blocking on a pipe put there since; the file must be the one seen.
    const int fd =
        ::openat(folder, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const DurableFile::FileId id = DurableFile::idOf(fd);
    // Held while the name goes, so that no save takes it up meanwhile.
    const bool unheld = id == named && (lock.holds(id) || ::flock(fd, LOCK_EX | LOCK_NB) == 0);
    const bool removed =
        unheld && regularFileAt(folder, name) == id && ::unlinkat(folder, name.constData(), 0) == 0;
    ::close(fd);
    return removed;
}
#endif

} // namespace

namespace SaveLeftovers {

int remove(const QString &target, const SaveLock &lock)
{
    int removed = 0;
#ifdef Q_OS_UNIX
    if (lock.state() != SaveLock::Held)
        return 0;
    const QFileInfo info(target);
    const int folder = ::open(QFile::encodeName(info.absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return 0;
    // The names first: the folder changes as they go.
    QVector<QByteArray> names;
    const int listed = ::dup(folder);
    if (DIR *entries = listed >= 0 ? ::fdopendir(listed) : nullptr) {
        while (const dirent *entry = ::readdir(entries)) {
            const QByteArray name(entry->d_name);
            if (name != QFile::encodeName(info.fileName()) &&
                SiblingName::isTemporary(target, QFile::decodeName(name)))
                names.append(name);
        }
        ::closedir(entries);
    } else if (listed >= 0) {
        ::close(listed);
    }
    for (const QByteArray &name : qAsConst(names))
        removed += removeLeftover(folder, name, lock);
    ::close(folder);
#else
    Q_UNUSED(target)
    Q_UNUSED(lock)
#endif
    return removed;
}

} // namespace SaveLeftovers
