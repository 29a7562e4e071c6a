#pragma once

#include <QString>

class IPackageDelegate;

namespace PackageWalk {

// Uses an open package as the viewer and extraction do: walks the whole tree,
// finds a sample of nodes again by their paths, checks the folder totals and
// the node table against the tree, and reads every entry's stored bytes
// (into nothing). Returns the total length of the node names, the size of the
// tree the reader built, for holding against the input.
qint64 walk(IPackageDelegate &package);

// Opens the package at path read-only, holds the reader's work and the tree
// it built against the input's size, and walks it. False when the open
// failed (cleanly).
bool openAndWalk(IPackageDelegate &package, const QString &path, qint64 inputSize);

} // namespace PackageWalk
