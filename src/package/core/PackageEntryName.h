#pragma once

#include <QString>

// The one check of a name a user or a scan gives to a package entry. A
// refused name is refused, never tidied into another: the entry would land
// under a name the user did not type.
namespace PackageEntryName {

// True for a name of one path component: not empty, "." or "..", no blank
// at either end, no "/", "\", ":" or control character.
bool isValidComponent(const QString &name);

// True for a relative path of valid components joined by "/": no leading
// "/" (an absolute path), no empty component.
bool isValidPath(const QString &path);

} // namespace PackageEntryName
