#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// The one way the program saves a whole file: written to a temporary file
// beside the target, which replaces the target only on commit(), once whole
// and on the disk, so a failed save leaves the old file as it was. Where no
// temporary file can be made beside the target, the save fails: a file is
// never written in place, where a full disk or a crash would cut it. A target
// whose name leaves no room for QSaveFile's longer temporary name is written
// under a shorter new name beside it first, which then takes the target's.
class CSaveFile : public QSaveFile
{
public:
    explicit CSaveFile(const QString &path, QObject *parent = nullptr);

    // QSaveFile::open(); when the folder takes no temporary file,
    // folderRefused() turns true and errorString() is folderMessage().
    bool open(OpenMode mode) override;
    // True after open() or commit() failed because the folder takes no
    // temporary file: the system refused it for want of rights, a read-only
    // disk or a folder gone. After any other failure (a target name too long
    // for any folder) errorString() is the system's reason.
    bool folderRefused() const { return m_folderRefused; }

    // QSaveFile::commit(), except that it fails when the last buffered bytes
    // cannot be written out or synced. QSaveFile writes them while closing
    // and ignores a failure there (a disk that fills up), replacing the
    // target with a cut file; here they go out first and a failure cancels
    // the save, errorString() keeping the system's reason. Hides the base's
    // commit(): call it on a CSaveFile.
    bool commit();
    // The target, also while a shorter name stands in for it.
    QString fileName() const override;
    // QSaveFile::cancelWriting(), except that errorString() keeps the reason
    // of the failure that led to the cancel. Hides the base's.
    void cancelWriting();

    // The message of a failed save: the folder message when the folder
    // refused, else `text` followed by " (<reason>)" unless it ends with the
    // reason already.
    QString failure(const QString &text) const;
    // The folder message when the folder refused, else `text` as it is (for
    // a text that holds the reason already).
    QString folderOr(const QString &text) const;

    // "Unable to save \"<name>\": the folder \"<folder>\" cannot be written
    // to. Save to another folder."
    static QString folderMessage(const QString &path);
    // The file a save of `path` writes: the one a symbolic link names (through
    // every link of a chain), else `path` itself.
    static QString savedPath(const QString &path);

    // Writes the bytes and commits. On failure the target is untouched and
    // `error`, when given, holds the file's reason or the folder message.
    static bool writeAll(const QString &path, const QByteArray &bytes, QString *error = nullptr);

    // For tests, as a full disk: every save may write this many more bytes in
    // all, then writes fail with the system's "No space left on device". A
    // negative value lifts the limit.
    static void setSpaceForTesting(qint64 bytes);

protected:
    qint64 writeData(const char *data, qint64 length) override;

private:
    // Whether the reason of a failed open() or commit() (errorString()) puts
    // the blame on the folder.
    bool refusedByFolder() const;
    // Keeps the system's reason for a failed write as errorString().
    void failWrite(const QString &reason);

    // The name the file is written under when it is not the target's.
    QString m_stage;
    const QString m_target;
    bool m_folderRefused = false;
    bool m_writeFailed = false;
};
