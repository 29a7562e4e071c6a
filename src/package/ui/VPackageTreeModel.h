#pragma once

#include <QAbstractItemModel>
#include <QHash>

class CPackageHierarchyNode;
class VPackageIcons;

// The package viewer's folder tree as a model over the package's own nodes:
// one top-level row for the root, below it every node's children in their
// order, files included. Nothing is made per node; the view asks only for
// the rows it shows, so a package of hundreds of thousands of entries shows
// at once. The nodes must not change while the model shows them.
class VPackageTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit VPackageTreeModel(VPackageIcons *icons, QObject *parent = nullptr);

    // Shows the tree below `root` (null: nothing).
    void setRoot(CPackageHierarchyNode *root);
    CPackageHierarchyNode *root() const { return m_root; }

    CPackageHierarchyNode *node(const QModelIndex &index) const;
    // The index showing the node; invalid for a node outside the tree.
    QModelIndex indexOf(const CPackageHierarchyNode *node) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    // Position of a folder among its parent's children, learnt for all the
    // parent's folders at once the first time one is asked for.
    int folderRow(const CPackageHierarchyNode *folder) const;

    VPackageIcons *m_icons;
    CPackageHierarchyNode *m_root = nullptr;
    mutable QHash<const CPackageHierarchyNode *, int> m_folderRows;
};
