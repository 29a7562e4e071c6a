#pragma once

#include <QList>
#include <QMainWindow>
#include <QModelIndex>
#include <QPoint>
#include <QString>
#include <QVector>

#include <memory>

class CPackageHierarchyNode;
class IPackageDelegate;
class QAction;
class QDelayedMimeData;
class QLabel;
class QLineEdit;
class QMenu;
class QSearchDialog;
class QSplitter;
class QTreeView;
class VPackageIcons;
class VPackagePropertiesDialog;
class VPackageTableModel;
class VPackageTableWidget;
class VPackageTreeModel;

// The package viewer: browses one map, GCF, NCF or VPK package read-only. A
// folder tree on the left shows the package tree; the table on the right
// lists the current folder (or search results). Both are views over models
// of the package's own nodes, so the largest archives show at once. Entries
// can be searched, shown with their properties, extracted, and opened in the
// program's own editors or with the desktop's associated application.
class VPackage : public QMainWindow
{
    Q_OBJECT

public:
    // Builds the window and opens the path in it; the empty path opens nothing.
    explicit VPackage(const QString &fileName);
    ~VPackage() override;

    // Opens a package of a known kind here, or, when this window already holds
    // one (or failed to), in a new viewer window. False only when the file
    // is refused (the reason has been shown).
    bool openPackage(const QString &path);

    // Roomy enough for the folder tree and the Name and Size columns: the
    // bare layout would open the viewer at its minimum size.
    QSize sizeHint() const override;

    IPackageDelegate *delegate() const { return m_delegate.get(); }
    const QString &fileName() const { return m_fileName; }
    QTreeView *tree() const { return m_tree; }
    VPackageTableWidget *table() const { return m_table; }
    VPackageTreeModel *treeModel() const { return m_treeModel; }
    VPackageTableModel *tableModel() const { return m_tableModel; }
    QSearchDialog *searchDialog() const { return m_searchDialog; }
    VPackagePropertiesDialog *propertiesDialog() const { return m_propertiesDialog; }

    // The tree's index of a node; invalid when the node is not in the tree.
    QModelIndex indexForNode(const CPackageHierarchyNode *node) const;
    // The node the tree's current item shows, or null.
    CPackageHierarchyNode *currentNode() const;
    // Appends one table row for a node (icon, name, size or item count).
    void appendTableRow(CPackageHierarchyNode *node);
    // In-package path of a node for messages: "/a/b"; empty for the root.
    static QString nodePath(const CPackageHierarchyNode *node);

    // Fills and runs the properties dialog for the node.
    void showProperties(CPackageHierarchyNode *node);
    // Extracts the nodes (files, and folders with everything below) into a
    // folder the user chooses.
    void extractNodes(const QVector<CPackageHierarchyNode *> &nodes);
    // Opens a file entry: ".vmt" in the material editor, ".vtf" in the texture
    // editor, anything else with the desktop's associated application from a
    // private temporary copy.
    void openEntry(CPackageHierarchyNode *node);

public slots:
    void dragReleasePoint(const QPoint &point);

protected slots:
    void fileOpen();
    void navigateBack();
    void navigateForward();
    void navigateUp();
    void packageSearch();
    void treeExpanded(const QModelIndex &index);
    void treeCollapsed(const QModelIndex &index);
    void treeCurrentChanged(const QModelIndex &current, const QModelIndex &previous);
    void tableDoubleClicked(const QModelIndex &index);
    void tablePressed(const QModelIndex &index);
    void showTreeContextMenu(const QPoint &point);
    void showTableContextMenu(const QPoint &point);
    void treeContextExtract();
    void tableContextExtract();
    void treeContextProperties();
    void tableContextProperties();
    void packageContextDefragment();
    void packageContextCopy();
    void delayedDataRequested(QDelayedMimeData *data, const QString &mimeType);

private:
    void buildToolBar();
    void buildViews();
    void buildMenus();
    void clearPackage();
    void setPackageWidgetsEnabled(bool enabled);
    void showFolder(CPackageHierarchyNode *node);
    // Makes the node current in the tree.
    void setCurrentNode(const CPackageHierarchyNode *node);
    // Makes the node current while Back or Forward runs.
    void navigateTo(CPackageHierarchyNode *target, QVector<CPackageHierarchyNode *> &from,
                    QVector<CPackageHierarchyNode *> &to, QAction *fromAction, QAction *toAction);
    void openWithDesktop(CPackageHierarchyNode *node);

    QString m_fileName;
    std::unique_ptr<IPackageDelegate> m_delegate;
    std::unique_ptr<VPackageIcons> m_icons;

    QAction *m_actionOpen = nullptr;
    QAction *m_actionBack = nullptr;
    QAction *m_actionForward = nullptr;
    QAction *m_actionUp = nullptr;
    QAction *m_actionSearch = nullptr;
    QLabel *m_pathCaption = nullptr;
    QLineEdit *m_pathField = nullptr;

    QMenu *m_treeMenu = nullptr;
    QAction *m_treeExtract = nullptr;
    QAction *m_treeProperties = nullptr;
    QMenu *m_tableMenu = nullptr;
    QAction *m_tableExtract = nullptr;
    QAction *m_tableProperties = nullptr;

    QSplitter *m_splitter = nullptr;
    QTreeView *m_tree = nullptr;
    VPackageTreeModel *m_treeModel = nullptr;
    VPackageTableWidget *m_table = nullptr;
    VPackageTableModel *m_tableModel = nullptr;
    VPackagePropertiesDialog *m_propertiesDialog = nullptr;
    QSearchDialog *m_searchDialog = nullptr;

    // The folder the tree's context actions and Back/Forward use.
    CPackageHierarchyNode *m_contextTreeNode = nullptr;
    // The entry under the pointer when the table's menu was last asked for,
    // and the column it was asked over.
    CPackageHierarchyNode *m_contextTableNode = nullptr;
    int m_contextTableColumn = 0;
    bool m_navigating = false;
    // Nodes the folder display recorded while Back/Forward ran.
    int m_recorded = 0;
    QVector<CPackageHierarchyNode *> m_backHistory;
    QVector<CPackageHierarchyNode *> m_forwardHistory;
};
