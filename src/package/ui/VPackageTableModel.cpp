#include "VPackageTableModel.h"

#include "CPackageHierarchyNode.h"
#include "IPackageDelegate.h"
#include "VPackageIcons.h"

VPackageTableModel::VPackageTableModel(VPackageIcons *icons, QObject *parent)
    : QAbstractTableModel(parent)
    , m_icons(icons)
{}

void VPackageTableModel::setNodes(QVector<CPackageHierarchyNode *> nodes)
{
    beginResetModel();
    m_nodes = std::move(nodes);
    endResetModel();
}

void VPackageTableModel::showFolder(const CPackageHierarchyNode *folder)
{
    QVector<CPackageHierarchyNode *> children;
    const int count = folder ? folder->childCount() : 0;
    children.reserve(count);
    for (int i = 0; i < count; ++i)
        children.append(const_cast<CPackageHierarchyNode *>(folder)->child(unsigned(i)));
    setNodes(std::move(children));
}

void VPackageTableModel::appendNode(CPackageHierarchyNode *node)
{
    beginInsertRows({}, m_nodes.size(), m_nodes.size());
    m_nodes.append(node);
    endInsertRows();
}

CPackageHierarchyNode *VPackageTableModel::node(int row) const
{
    return row >= 0 && row < m_nodes.size() ? m_nodes[row] : nullptr;
}

int VPackageTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_nodes.size();
}

int VPackageTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QString VPackageTableModel::sizeText(const CPackageHierarchyNode *node) const
{
    if (node->isFolder())
        return QStringLiteral("%1 Item(s)").arg(node->childCount());
    // Unsigned decimal, no grouping and no unit.
    return m_delegate ? QString::number(quint32(m_delegate->size(node->entryIndex))) : QString();
}

QVariant VPackageTableModel::data(const QModelIndex &index, int role) const
{
    const CPackageHierarchyNode *n = index.isValid() ? node(index.row()) : nullptr;
    if (!n)
        return {};
    if (index.column() == Name) {
        if (role == Qt::DisplayRole)
            return n->name();
        if (role == Qt::DecorationRole)
            return m_icons->icon(n);
    } else if (index.column() == Size && role == Qt::DisplayRole) {
        return sizeText(n);
    }
    return {};
}

QVariant VPackageTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == Name)
        return QStringLiteral("Name");
    if (section == Size)
        return QStringLiteral("Size");
    return {};
}
