#pragma once

#include <QTreeWidgetItem>

class CPackageHierarchyNode;

// A folder-tree item of the package viewer: one node of the package tree.
class VPackageTreeWidgetItem : public QTreeWidgetItem
{
public:
    explicit VPackageTreeWidgetItem(CPackageHierarchyNode *node);

    // Shown, not owned: the delegate owns the node tree.
    CPackageHierarchyNode *node = nullptr;
    // Icons are looked up only when the item is first shown.
    bool iconAssigned = false;
};
