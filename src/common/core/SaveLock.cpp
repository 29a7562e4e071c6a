#include "SaveLock.h"

#include "DurableFile.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

// A name that moves on to new files faster than a lock can be taken is a
// file that other saves keep busy.
constexpr int LockTries = 8;

#ifdef Q_OS_UNIX
enum class Outcome
{
    Locked,
    Busy,
    Unavailable,
    // Nothing has the name.
    Missing,
};

Outcome lockWithoutWaiting(int fd)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return Outcome::Locked;
    return errno == EWOULDBLOCK ? Outcome::Busy : Outcome::Unavailable;
}

// Opens the file and locks it without waiting; the handle, or -1.
int openLocked(const QString &path, Outcome &outcome)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        outcome = errno == ENOENT ? Outcome::Missing : Outcome::Unavailable;
        return -1;
    }
    outcome = lockWithoutWaiting(fd);
    if (outcome == Outcome::Locked)
        return fd;
    ::close(fd);
    return -1;
}

// A handle of its own on the open file: the file's may be closed long before
// the lock goes.
int handleOf(const QFileDevice &file)
{
    return file.handle() >= 0 ? ::fcntl(file.handle(), F_DUPFD_CLOEXEC, 0) : -1;
}
#endif

} // namespace

SaveLock::SaveLock(const QString &path, const QFileDevice *opened)
{
#ifdef Q_OS_UNIX
    if (path.isEmpty())
        return;
    for (int i = 0; i < LockTries; ++i) {
        Outcome outcome;
        const int fd = openLocked(path, outcome);
        if (outcome == Outcome::Missing && opened) {
            holdOpened(*opened);
            return;
        }
        if (outcome != Outcome::Locked) {
            m_state = outcome == Outcome::Busy ? Busy : Unavailable;
            return;
        }
        // The name may have moved on to another file (a save that ended)
        // between the open and the lock: then that file is locked instead.
        if (DurableFile::idOf(fd) == DurableFile::idAt(path, true)) {
            m_handles.append(fd);
            m_state = Held;
            return;
        }
        ::close(fd);
    }
    m_state = Busy;
#else
    Q_UNUSED(path)
    Q_UNUSED(opened)
#endif
}

SaveLock::~SaveLock()
{
#ifdef Q_OS_UNIX
    for (int fd : qAsConst(m_handles))
        ::close(fd);
#endif
}

void SaveLock::holdOpened(const QFileDevice &file)
{
#ifdef Q_OS_UNIX
    const int fd = handleOf(file);
    const Outcome outcome = fd >= 0 ? lockWithoutWaiting(fd) : Outcome::Unavailable;
    if (outcome == Outcome::Locked) {
        m_handles.append(fd);
        m_state = Held;
        return;
    }
    m_state = outcome == Outcome::Busy ? Busy : Unavailable;
    if (fd >= 0)
        ::close(fd);
#else
    Q_UNUSED(file)
#endif
}

bool SaveLock::holds(const DurableFile::FileId &id) const
{
    for (int fd : m_handles) {
        if (DurableFile::idOf(fd) == id)
            return true;
    }
    return false;
}

void SaveLock::alsoHold(const QFileDevice &file)
{
#ifdef Q_OS_UNIX
    const int fd = handleOf(file);
    if (fd < 0)
        return;
    // A new file no one else knows of: nothing holds it, and where the file
    // system has no locks there is nothing to take.
    ::flock(fd, LOCK_EX | LOCK_NB);
    m_handles.append(fd);
#else
    Q_UNUSED(file)
#endif
}
