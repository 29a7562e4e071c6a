#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// The one way the program saves a whole file: written to a temporary file
// beside the target, which replaces the target only on commit(), so a failed
// save leaves the old file as it was. In a folder the user cannot write to
// (no room for the temporary file) but whose file they may write, the file is
// written in place instead: not atomic, but the only way to save there.
class CSaveFile : public QSaveFile
{
public:
    explicit CSaveFile(const QString &path, QObject *parent = nullptr);

    // QSaveFile::commit(), except that it fails when the last buffered bytes
    // cannot be written out. QSaveFile writes them while closing and ignores
    // a failure there (a disk that fills up), replacing the target with a cut
    // file; here they go out first and a failure cancels the save. Hides the
    // base's commit(): call it on a CSaveFile.
    bool commit();

    // Writes the bytes and commits. On failure the target is untouched (apart
    // from the in-place case) and `error`, when given, holds the file's reason.
    static bool writeAll(const QString &path, const QByteArray &bytes, QString *error = nullptr);
};
