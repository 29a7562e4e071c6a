#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

#include <memory>

class CFileIconCache;
class CPackageHierarchyNode;

// Icons of package entries for the viewer's tree and table: the folder icon,
// or the desktop's icon for a file's extension, asked of the main window's
// icon cache (or one of its own when the viewer stands alone) once per
// extension and kept here.
class VPackageIcons
{
public:
    VPackageIcons();
    ~VPackageIcons();

    QIcon icon(const CPackageHierarchyNode *node);
    // The extension an entry name is shown with, as a path's extension is
    // taken: the text after the first "." of its last part, a leading "."
    // not counting ("archive.tar.gz" gives "tar.gz", ".hidden" nothing).
    static QString extension(const QString &name);

private:
    CFileIconCache *cache();

    QIcon m_folder;
    QHash<QString, QIcon> m_byExtension;
    std::unique_ptr<CFileIconCache> m_ownCache;
};
