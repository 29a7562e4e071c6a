#include "VPackageTreeWidgetItem.h"

#include "CPackageHierarchyNode.h"

VPackageTreeWidgetItem::VPackageTreeWidgetItem(CPackageHierarchyNode *packageNode)
    : QTreeWidgetItem(0)
    , node(packageNode)
{
    if (node)
        setText(0, node->name());
}
