#pragma once

#include "CFileVMF.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <memory>

class QIODevice;

// The blocks a read skipped whole because it does not read them (a side's
// "point_data", a world's "editor", nested blocks of newer map editors): a
// document written from the read does not carry them.
struct VMFSkippedBlocks
{
    // Names listed at most: a line in the output pane, not a dump of a
    // hostile file.
    static constexpr int MaxNames = 20;

    int count = 0;
    // Each name once, as first met, up to MaxNames.
    QVector<QByteArray> names;
    // More names than listed were met.
    bool moreNames = false;

    // BspErrors::SkippedBlock(s) for the file at `path`.
    QString warning(const QString &path) const;
};

// Reads map-source text into a new document. Line by line: each line is split
// into a key and a value (quotes removed, "//" comments dropped) and the known
// blocks are walked; unknown keys are passed over and unknown blocks, at any
// depth, skipped whole (a "hidden" block at the top level is transparent),
// numbers that do not parse keep their defaults, and text that ends early
// gives what was read so far. Texts are kept as their bytes (Latin-1).
//
// Reads `length` bytes from the device's position, or to its end for -1 (also
// when fewer bytes are left). Null only when the device is not open or not
// readable. `skipped`, when given, receives what was skipped.
std::unique_ptr<CFileVMF> readVmf(QIODevice *device, qint64 length = -1,
                                  VMFSkippedBlocks *skipped = nullptr);
std::unique_ptr<CFileVMF> readVmf(const QByteArray &text, VMFSkippedBlocks *skipped = nullptr);

namespace VMFReaderLimits {
// Visgroups nested deeper than this are skipped with their contents: no real
// map comes near it, and a hostile file must not exhaust the stack.
constexpr int MaxVisgroupDepth = 256;
} // namespace VMFReaderLimits
