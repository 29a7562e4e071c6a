#pragma once

#include <QString>

class QFile;
class QFileDevice;

// File operations for saves that must survive a crash or a power cut at any
// moment: data reaches the disk before a file takes another's name, and a
// name moves to a new file in one step.
namespace DurableFile {

// Which file a name or an open file is: the same device and inode are the
// same file, whatever names it has had since.
struct FileId
{
    quint64 device = 0;
    quint64 inode = 0;
    bool isValid() const { return inode != 0; }
    bool operator==(const FileId &other) const
    {
        return isValid() && device == other.device && inode == other.inode;
    }
    bool operator!=(const FileId &other) const { return !(*this == other); }
};
// What the system keeps of a file beside its bytes: which file it is, who
// owns it and what its mode lets whom do (what a file that replaces it takes
// over).
struct FileState
{
    FileId id;
    quint32 user = 0;
    quint32 group = 0;
    // The permission bits, set-id and sticky bits included.
    quint32 mode = 0;
};
// The open file's state; its id invalid where the system cannot say.
FileState stateOf(int handle);
// The state of what `path` names: the link itself unless `followLinks`; its
// id invalid where nothing has the name.
FileState stateAt(const QString &path, bool followLinks = false);
// The identity of the open file, or of what `path` names, as above.
FileId idOf(const QFileDevice &file);
FileId idOf(int handle);
FileId idAt(const QString &path, bool followLinks = false);

// Gives the new file open as `handle` the owner and group of `old` where the
// system lets this user (the owner only for root, a group that this user
// belongs to for anyone), then its mode, which a change of owner may have cut
// short. Where it may not, the file keeps this user's as made. True when all
// three are the old file's.
bool takeOwnership(int handle, const FileState &old);

// The system's reason why the folder of `path` is not there (renamed, moved
// or removed); empty where it is.
QString folderFailure(const QString &path);

// True when `path` names a file of another user, which a shared (sticky)
// folder lets no one else replace or remove.
bool isOthersFile(const QString &path);
// This user's id as text, for the names of this user's own files; empty where
// the system has none.
QString userTag();

// Why writing to the file failed, after a write that did: Qt's reason when it
// kept one; else (Qt keeps none after a short write, nor after a copy in the
// kernel) the system's reason for one more byte at the file's end, which the
// failed file can take as it is going to be dropped. Empty when writing works
// again.
QString writeFailureReason(QFileDevice &file);
// Writes Qt's buffer and asks the system to put the file's data on the disk.
// False when either fails; `error`, when given, says why.
bool sync(QFileDevice &file, QString *error = nullptr);
// Asks the system to start writing [from, to) of the file to the disk now,
// without waiting (Qt's buffer goes out first): a later sync then has less
// left to wait for. Does nothing where the system offers no such request.
void startWriteback(QFileDevice &file, qint64 from, qint64 to);
// Makes the folder's entries (a rename into it) durable. Best effort: where a
// folder cannot be synced this does nothing and returns true.
bool syncFolderOf(const QString &path);
// Gives `from` the name `to` in one step, replacing a file already there, so
// that `to` names either the old file or the new one, never nothing.
bool replace(const QString &from, const QString &to, QString *error = nullptr);
// Gives `from` the name `to` in one step where nothing has that name, and
// fails with the system's reason where something does: a file that took the
// name meanwhile is never replaced.
bool placeNew(const QString &from, const QString &to, QString *error = nullptr);
// Makes `to` (which must not exist) a second name of `from`'s data: a hard
// link where the file system has them, else a copy synced to disk. `from` is
// never moved or changed.
bool linkOrCopy(const QString &from, const QString &to, QString *error = nullptr);
// linkOrCopy() to a new name beside `target`, one that no other file had
// (SiblingName::temporary()); that name, or empty with `error` set.
QString linkOrCopyBeside(const QString &from, const QString &target, QString *error = nullptr);
// Opens `file` read-write as a new file beside `target`, under a name that no
// other file had (SiblingName::temporary()). False with `error` set where the
// folder takes no new file.
bool createBeside(QFile &file, const QString &target, QString *error = nullptr);

} // namespace DurableFile
