#pragma once

#include <QTreeWidgetItem>

class CDetailGroup;
class CDetailProp;
class CDetailType;

// A row of the detail tree: stands for exactly one record of the document (a
// type at the top level, a group below it, a prop below that) without owning
// it, and shows the record's name.
class VVBSPTreeWidgetItem : public QTreeWidgetItem
{
public:
    explicit VVBSPTreeWidgetItem(CDetailType *type);
    explicit VVBSPTreeWidgetItem(CDetailGroup *group);
    explicit VVBSPTreeWidgetItem(CDetailProp *prop);

    CDetailType *type = nullptr;
    CDetailGroup *group = nullptr;
    CDetailProp *prop = nullptr;
};
