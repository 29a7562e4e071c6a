#pragma once

#include <QByteArray>
#include <QString>

class QFile;
class QIODevice;

// Copies of a byte range of an open file, in large pieces (between two files
// on Linux inside the kernel, without passing through this process). They
// fail as copyDevice() does, with its texts and with the byte counts it would
// give, counted in its 1 KiB steps: "Read Error: Unable to read 976 of 2000
// bytes".
namespace FileRangeCopy {

// Writes [start, start + length) of `source` to `target` at its position,
// which moves past them. With `writeback`, a file target is asked to start
// writing each piece to the disk as soon as it is there, so that a sync
// afterwards has little left to wait for.
bool copy(QFile &source, qint64 start, qint64 length, QIODevice *target, QString *error,
          bool writeback = false);
// [start, start + length) of `source` into `out` (resized to fit).
bool read(QFile &source, qint64 start, qint64 length, QByteArray &out, QString *error);

} // namespace FileRangeCopy
