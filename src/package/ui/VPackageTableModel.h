#pragma once

#include <QAbstractTableModel>
#include <QVector>

class CPackageHierarchyNode;
class IPackageDelegate;
class VPackageIcons;

// The package viewer's entry table as a model over a list of nodes (a
// folder's children or search results): "Name" with the entry's icon, and
// "Size", the number of a folder's entries ("3 Item(s)") or a file's current
// size in bytes. Texts are made only for the rows the view shows.
class VPackageTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Name = 0,
        Size = 1
    };

    VPackageTableModel(VPackageIcons *icons, QObject *parent = nullptr);

    void setDelegate(IPackageDelegate *delegate) { m_delegate = delegate; }
    // Replaces the rows.
    void setNodes(QVector<CPackageHierarchyNode *> nodes);
    // The children of a folder, in their order.
    void showFolder(const CPackageHierarchyNode *folder);
    void appendNode(CPackageHierarchyNode *node);
    void clear() { setNodes({}); }

    CPackageHierarchyNode *node(int row) const;
    const QVector<CPackageHierarchyNode *> &nodes() const { return m_nodes; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QString sizeText(const CPackageHierarchyNode *node) const;

    VPackageIcons *m_icons;
    IPackageDelegate *m_delegate = nullptr;
    QVector<CPackageHierarchyNode *> m_nodes;
};
