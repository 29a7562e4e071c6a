#pragma once

#include <QTableWidgetItem>

class QTreeWidgetItem;

// A cell of the package viewer's entry table. The Name cell of a row links to
// the tree item of its entry; the Size cell links to nothing.
class VPackageTableWidgetItem : public QTableWidgetItem
{
public:
    VPackageTableWidgetItem()
        : QTableWidgetItem(0)
    {}

    QTreeWidgetItem *treeItem = nullptr;
};
