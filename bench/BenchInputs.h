#pragma once

#include <QString>

// Inputs the benchmarks make for themselves, written by hand from the file
// formats (never through the code being measured).
namespace BenchInputs {

// A version-20 map: one lump of `lumpBytes` bytes, an empty game-lump
// directory and a pakfile of `files` stored files of `fileSize` bytes each,
// 1,000 to a folder. Written in pieces, so a large map needs little memory.
bool writeMap(const QString &path, qint64 lumpBytes, int files, int fileSize);

// A version-1 VPK directory of `entries` files, 1,000 to a folder, all with
// their (empty) data in the directory file.
bool writeVpkDirectory(const QString &path, int entries);

} // namespace BenchInputs
