#pragma once

#include <QString>

class SaveLock;

// What saves of a file that were cut off (a killed process, a power cut)
// left beside it: their new files and backups in the making, each under a
// name of SiblingName::temporary(), each as large as the file. No one else
// removes them.
namespace SaveLeftovers {

// Removes every regular file beside `target` under a name that
// SiblingName::temporary(target) gives and that no live save holds: each save
// keeps the system's lock (flock) on its new file from the moment it is made,
// and a file that `lock` itself holds (the target, under a further name) is
// a leftover too. Links, folders and all other names stay. Does nothing
// unless `lock` is held, when no other save of the target runs. The number
// of files removed.
int remove(const QString &target, const SaveLock &lock);

} // namespace SaveLeftovers
