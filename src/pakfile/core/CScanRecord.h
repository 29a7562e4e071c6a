#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <memory>

// A text file held as lines, the form in which the dependency scanners read
// material scripts.
struct CScanRecord
{
    // The file name the record was read from, as it was opened; empty for
    // text that came from memory (a pakfile entry).
    QString path;
    // One element per line, terminators removed, empty lines kept.
    QVector<QByteArray> lines;
};

// Largest text file the scanners read whole. Scripts are a few kilobytes; a
// file beyond this is not one and is treated as unreadable.
constexpr qint64 MaxScriptBytes = 64 * 1024 * 1024;

// The bytes up to the first NUL, split at every LF together with one CR
// directly before it. Empty parts stay: text ending in LF gives a last empty
// line, no text gives one empty line; a lone CR stays inside its line.
std::unique_ptr<CScanRecord> splitLines(const QByteArray &bytes);
// The whole file split as splitLines does, with `path` set to the name given.
// Null when the file cannot be opened, is not a regular file, is larger than
// MaxScriptBytes or reads short.
std::unique_ptr<CScanRecord> readFileLines(const QString &path);
// Writes each line followed by one LF to `path`, or to the record's own path
// when `path` is empty. False when both are empty or the save fails; the old
// file is then left as it was.
bool writeLines(const CScanRecord &record, const QString &path = QString());

// Every run of "\", "|" and "/" becomes one "/"; nothing is trimmed.
void collapseSeparators(QString &text);
