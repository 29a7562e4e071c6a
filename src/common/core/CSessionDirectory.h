#pragma once

#include <QString>

// A private temporary folder for this run of the program (owner-only
// permissions, removed with everything in it when the program ends). Files
// taken out of packages to be opened elsewhere go here instead of the shared
// temporary folder, where another user could have placed a file or a link
// under the same name.
class CSessionDirectory
{
public:
    // The folder, created on first use; empty when it cannot be created.
    static QString path();

    // Where a file called `name` goes in the folder. Only the last part of the
    // name is used, so a name from a package cannot leave the folder; empty
    // when the folder is missing or the name has no usable last part.
    static QString filePath(const QString &name);

    // The folder for temporary files: QDir::tempPath() when it names an
    // existing folder, else the system's own ("/tmp"), else empty. A TMPDIR
    // naming a missing folder makes QDir::tempPath() empty, and "" + "/name"
    // would land in the root folder.
    static QString temporaryFolder();
};
