#pragma once

#include <QString>

// Names of the files a save keeps beside its target: its temporary file and
// its backup. Each fits the folder's limit on the length of a name whatever
// the length of the target's own name, which the file system accepted.
namespace SiblingName {

// `target` + `suffix` where that fits; else the target's name cut short (on a
// UTF-8 character boundary), "." and eight hex digits of a hash of the whole
// name, then `suffix`, so that two long names that start alike get siblings
// of their own; `room` bytes of the limit are left unused. The same target
// and suffix always give the same name.
QString of(const QString &target, const QString &suffix, int room = 0);
// The backup of `target`: "<target>.backup" where that fits.
QString backup(const QString &target);
// A name for a new temporary file beside `target`, different on every call:
// of(target, "." + six random letters and digits + ".tmp"), leaving `room`
// bytes of the folder's limit for a suffix added later.
QString temporary(const QString &target, int room = 0);
// True when `name`, a file name in the folder of `target`, is one that
// temporary(target) gives (`room` 0): the target's part and the suffix as
// there, six letters or digits between.
bool isTemporary(const QString &target, const QString &name);
// The longest name, in bytes, that the folder of `target` takes.
int maxLength(const QString &target);

} // namespace SiblingName
