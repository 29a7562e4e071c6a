#pragma once

#include <QString>

class QFileDevice;

// File operations for saves that must survive a crash or a power cut at any
// moment: data reaches the disk before a file takes another's name, and a
// name moves to a new file in one step.
namespace DurableFile {

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
// Makes `to` (which must not exist) a second name of `from`'s data: a hard
// link where the file system has them, else a copy synced to disk. `from` is
// never moved or changed.
bool linkOrCopy(const QString &from, const QString &to, QString *error = nullptr);

} // namespace DurableFile
