#pragma once

#include <QByteArray>

namespace MapExercise {

// A map's life in the program: opened read-write as the package viewer and
// the map tools open it (the reader's work held against the file's size),
// walked with every entry read, edited (entity lump replaced, a file added to
// the pakfile, the first pakfile file deleted) and flushed. A failed flush
// must leave the file as it was. A flush that succeeds must give a map that
// opens again, holds the edits, and keeps every other lump's and file's
// bytes; the delegate that flushed must show the same bytes.
void run(const QByteArray &map);

} // namespace MapExercise
