#pragma once

#include <QString>
#include <QStringList>

// Where "Add" of the pakfile editor puts local files in the pakfile. The
// user picks, among the components of the first file's path, the folder that
// becomes the first pakfile folder; the components before it are dropped.
namespace PakfileAddPaths {

// The placeholder for the file name when several files were chosen.
inline const char *const Different = "<different>";

// The components of a local path, split at "/" with empty parts dropped. A
// Windows path (one starting with a drive "D:" or with "\\") is split at "\\"
// too and loses its drive; elsewhere a "\\" belongs to the name, which the
// pakfile then refuses.
QStringList components(const QString &localPath);

// The choices offered: the first file's components, its name replaced by
// Different when more files were chosen. Empty for no files.
QStringList choices(const QStringList &localPaths);

// The pakfile path of a local file when the choice at `row` names the first
// pakfile folder: the file's components from that row on, joined by "/". The
// last row (the file name) puts the file at the root.
QString pathFromChoice(const QString &localPath, int row);

// The pakfile path of a local file under a folder typed by the user: the text
// as typed, without one "/" at either end (a leading one names the pakfile's
// root), then "/" and the file's name. Nothing else is tidied: a path the
// package refuses stays refused.
QString pathUnderFolder(const QString &localPath, const QString &typedFolder);

// The first file's directory: its path up to the last separator.
QString localDirectory(const QString &localPath);

} // namespace PakfileAddPaths
