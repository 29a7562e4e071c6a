#pragma once

#include <QString>
#include <QStringList>

class PCFProgressSink;

namespace PCFSystemSearch {

// The paths, in their order, whose particle file defines a system of exactly
// that name. Files are read from the last to the first; one that cannot be
// read is reported as an error ("\"path\" : reason") and left out. A path
// listed twice is kept twice.
QStringList filesDefining(const QStringList &paths, const QString &systemName,
                          PCFProgressSink *sink = nullptr);

} // namespace PCFSystemSearch
