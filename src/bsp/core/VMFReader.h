#pragma once

#include "CFileVMF.h"

#include <QByteArray>

#include <memory>

class QIODevice;

// Reads map-source text into a new document. Line by line: each line is split
// into a key and a value (quotes removed, "//" comments dropped) and the known
// blocks are walked; unknown keys and blocks are passed over, numbers that do
// not parse keep their defaults, and text that ends early gives what was read
// so far. Texts are kept as their bytes (Latin-1).
//
// Reads `length` bytes from the device's position, or to its end for -1 (also
// when fewer bytes are left). Null only when the device is not open or not
// readable.
std::unique_ptr<CFileVMF> readVmf(QIODevice *device, qint64 length = -1);
std::unique_ptr<CFileVMF> readVmf(const QByteArray &text);

namespace VMFReaderLimits {
// Visgroups nested deeper than this are skipped with their contents: no real
// map comes near it, and a hostile file must not exhaust the stack.
constexpr int MaxVisgroupDepth = 256;
} // namespace VMFReaderLimits
