#pragma once

#include <QString>

// The bulk material editor's rules for one file, apart from the shared text
// routines of vmtfunctions.h.

// Where the first "materials" folder between two separators ("/" or "\",
// case-sensitive) ends, just past its trailing separator; -1 without one.
int vmtMaterialsEnd(const QString &path);
// The file's path below that folder without extension: "brick/wall01" for
// ".../materials/brick/wall01.vmt"; empty without a "materials" folder.
QString vmtRelativePath(const QString &path);
// The material written for a texture that has none: LightmappedGeneric with
// the texture as its base texture ("brick/wall01").
QString vmtTextureMaterial(const QString &texture);

// The value of the first of the material's key lines (vmtblocks.h) whose key
// is exactly `key`, a patch's "replace" block before its "insert" block;
// empty when there is none.
QString vmtKeyValue(const QString &text, const QString &key);
// Removes the material's key lines (none in its Proxies block or another
// nested block, none of a patch's own lines such as "include"): all of them
// for an empty key; else those whose key matches ignoring case and,
// when `value` is not empty, whose value matches ignoring case too.
void removeVmtKeyValues(QString &text, const QString &key, const QString &value);
