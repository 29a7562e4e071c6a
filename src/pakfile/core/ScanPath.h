#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class CDirectoryListings;
class CScanFoundList;

// Path steps every dependency scanner shares.
namespace ScanPath {

// The bytes up to the first NUL as Latin-1 text. Name fields of binary files
// (static-prop names, include names) are NUL-padded; the content scan cuts
// static-prop model names with this before it uses them.
QString textBeforeNul(const QByteArray &bytes);

// Clean-up of a value read from a file: separators and white space trimmed at
// both ends (a leading "/" too: the scanners build paths relative to the game
// folder), "\" turned into "/", doubled separators collapsed.
void clean(QString &path);
// The same on the bytes up to the first NUL.
void clean(QByteArray &path);
// collapseSeparators, then the leading "/" a scanner put in front dropped.
QString collapsed(const QString &path);

// True for a relative path whose every part names something inside its folder:
// no empty, "." or ".." part, no leading separator, no drive ("c:").
bool isFollowable(const QString &path);

// The entry under which a built path is recorded: with a game folder, the path
// as spelled on disk when every part of it is found there without regard to
// case; otherwise the path as built. The folders are looked up in the scan's
// listings.
QString resolved(const QString &path, const QString &baseDirectory, CDirectoryListings &listings);

// The entry for a path built from a file's contents, or a null string when
// nothing is to be recorded: the path is refused as unsafe (logged), or the
// list already holds it (compared without regard to case, before the disk is
// asked; a resolved path differs from the built one only in case).
QString admit(const QString &path, const CScanFoundList &found, const QString &baseDirectory,
              QStringList *errors);

// True when a game folder is given and base + entry is a regular file.
bool isFileBelow(const QString &baseDirectory, const QString &entry);

// Appends the text, with %1 replaced by the entry, when there is a list.
void log(QStringList *errors, const char *text, const QString &entry);

// The whole file when it opens, is a regular file no larger than
// MaxScriptBytes and reads in full; otherwise false.
bool readWhole(const QString &path, QByteArray &bytes);

} // namespace ScanPath
