#include "VPackageTreeModel.h"

#include "CPackageHierarchyNode.h"
#include "VPackageIcons.h"

VPackageTreeModel::VPackageTreeModel(VPackageIcons *icons, QObject *parent)
    : QAbstractItemModel(parent)
    , m_icons(icons)
{}

void VPackageTreeModel::setRoot(CPackageHierarchyNode *root)
{
    beginResetModel();
    m_root = root;
    m_folderRows.clear();
    endResetModel();
}

CPackageHierarchyNode *VPackageTreeModel::node(const QModelIndex &index) const
{
    return index.isValid() && index.model() == this
               ? static_cast<CPackageHierarchyNode *>(index.internalPointer())
               : nullptr;
}

int VPackageTreeModel::folderRow(const CPackageHierarchyNode *folder) const
{
    const auto known = m_folderRows.constFind(folder);
    if (known != m_folderRows.constEnd())
        return *known;
    const CPackageHierarchyNode *parent = folder->parent();
    if (!parent)
        return -1;
    // Only folders are ever asked for (a parent is a folder): one pass over
    // the siblings serves them all.
    int found = -1;
    for (int i = 0; i < parent->childCount(); ++i) {
        const CPackageHierarchyNode *sibling = parent->child(unsigned(i));
        if (sibling->isFolder())
            m_folderRows.insert(sibling, i);
        if (sibling == folder)
            found = i;
    }
    return found;
}

QModelIndex VPackageTreeModel::indexOf(const CPackageHierarchyNode *node) const
{
    if (!node || !m_root)
        return {};
    if (node == m_root)
        return createIndex(0, 0, const_cast<CPackageHierarchyNode *>(node));
    const CPackageHierarchyNode *parent = node->parent();
    if (!parent)
        return {};
    const int row = node->isFolder() ? folderRow(node) : node->row();
    return row < 0 ? QModelIndex() : createIndex(row, 0, const_cast<CPackageHierarchyNode *>(node));
}

QModelIndex VPackageTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0 || !m_root)
        return {};
    if (!parent.isValid())
        return row == 0 ? createIndex(0, 0, m_root) : QModelIndex();
    CPackageHierarchyNode *folder = node(parent);
    CPackageHierarchyNode *child = folder ? folder->child(unsigned(row)) : nullptr;
    return child ? createIndex(row, 0, child) : QModelIndex();
}

QModelIndex VPackageTreeModel::parent(const QModelIndex &child) const
{
    const CPackageHierarchyNode *n = node(child);
    if (!n || n == m_root)
        return {};
    return indexOf(n->parent());
}

int VPackageTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_root ? 1 : 0;
    const CPackageHierarchyNode *n = node(parent);
    return n && parent.column() == 0 ? n->childCount() : 0;
}

int VPackageTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

bool VPackageTreeModel::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0;
}

QVariant VPackageTreeModel::data(const QModelIndex &index, int role) const
{
    const CPackageHierarchyNode *n = node(index);
    if (!n)
        return {};
    if (role == Qt::DisplayRole)
        return n->name();
    if (role == Qt::DecorationRole)
        return m_icons->icon(n);
    return {};
}
