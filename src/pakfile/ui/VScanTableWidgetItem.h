#pragma once

#include <QColor>
#include <QString>
#include <QTableWidgetItem>

class CPackageHierarchyNode;

// The "Name" cell of a scan table row: whether the asset is chosen for
// packing, the pakfile entry at the same path (not owned, null when the
// pakfile has none) and the window's scan folder (not owned).
class VScanTableWidgetItem : public QTableWidgetItem
{
public:
    VScanTableWidgetItem(const QString &text, CPackageHierarchyNode *entry,
                         const QString *scanDirectory);

    // The scan folder + "/" + the row's Path cell + "/" + this name is a file.
    bool fileExists() const;
    static QColor color(bool exists, bool isMarked, bool packed);
    void updateColor();

    bool marked = false;
    CPackageHierarchyNode *node = nullptr;
    const QString *baseDirectory = nullptr;
};
