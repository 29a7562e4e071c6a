#pragma once

#include <QByteArray>
#include <QString>

// The game folder texts of the scan page. Only a drive prefix ("c:") is
// upper-cased, and the root of an absolute path ("/" on POSIX, "//" of a
// network path) is kept: "/home/u/game" must not turn into a relative
// "HOME/U/GAME".
namespace ScanDirectory {

// The folder field's default from the value of "VPROJECT" (empty when unset):
// drive letter upper-cased, separators and white space trimmed at both ends,
// every run of "\", "|" and "/" made one "/".
QString fromProject(const QByteArray &vproject);
// fromProject on the environment, read each time it is asked.
QString fromEnvironment();

// The scan's base directory from the field: normalised, ending in "/"; empty
// for an empty field.
QString base(const QString &field);

// The pakfile path of a scan row from its Path cell ("/" + folder) and name,
// or a null string when a part of it is empty, "." or "..": such a path would
// name an entry outside every folder of the archive.
QString entryPath(const QString &pathCell, const QString &name);

} // namespace ScanDirectory
