#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QVector>

#include <memory>

class CFileIconCache;
class CPackageHierarchyNode;
class IPackageDelegate;
class QAction;
class QDelayedMimeData;
class QLabel;
class QLineEdit;
class QMenu;
class QSearchDialog;
class QSplitter;
class QTableWidgetItem;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class VPackagePropertiesDialog;
class VPackageTableWidget;

// The package viewer: browses one map, GCF, NCF or VPK package read-only. A
// folder tree on the left mirrors the package tree; the table on the right
// lists the current folder (or search results). Entries can be searched,
// shown with their properties, extracted, and opened in the program's own
// editors or with the desktop's associated application.
class VPackage : public QMainWindow
{
    Q_OBJECT

public:
    // Builds the window and opens the path in it; the empty path opens nothing.
    explicit VPackage(const QString &fileName);
    ~VPackage() override;

    // Opens a package of a known kind here, or, when this window already holds
    // one (or failed to), in a new viewer window.
    void openPackage(const QString &path);

    // Roomy enough for the folder tree and the Name and Size columns: the
    // bare layout would open the viewer at its minimum size.
    QSize sizeHint() const override;

    IPackageDelegate *delegate() const { return m_delegate.get(); }
    const QString &fileName() const { return m_fileName; }
    QTreeWidget *tree() const { return m_tree; }
    VPackageTableWidget *table() const { return m_table; }
    QSearchDialog *searchDialog() const { return m_searchDialog; }
    VPackagePropertiesDialog *propertiesDialog() const { return m_propertiesDialog; }

    // The tree item showing a node, or null (nodes are mirrored when the
    // package opens).
    QTreeWidgetItem *itemForNode(const CPackageHierarchyNode *node) const;
    // Appends one table row for a tree item (icon, name, size or item count).
    void appendTableRow(QTreeWidgetItem *item);
    // In-package path of a tree item for messages: "/a/b"; empty for the root.
    static QString treeItemPath(QTreeWidgetItem *item);

    // Fills and runs the properties dialog for the node.
    void showProperties(CPackageHierarchyNode *node);
    // Extracts the entries behind the cells (Name cells; others are skipped)
    // into a folder the user chooses.
    void extractItems(const QList<QTableWidgetItem *> &items);
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
    void treeItemExpanded(QTreeWidgetItem *item);
    void treeItemCollapsed(QTreeWidgetItem *item);
    void treeItemChanged(QTreeWidgetItem *item, int column);
    void treeCurrentItemChanged(QTreeWidgetItem *item, QTreeWidgetItem *previous);
    void tableItemDoubleClicked(QTableWidgetItem *cell);
    void tableItemPressed(QTableWidgetItem *cell);
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
    void mirrorTree();
    void assignIcon(QTreeWidgetItem *item);
    void assignIcons(const QVector<QTreeWidgetItem *> &items);
    void assignChildIcons(QTreeWidgetItem *item);
    void showFolder(QTreeWidgetItem *item);
    // Fills a row from an item whose icon is assigned.
    void fillRow(int row, QTreeWidgetItem *item);
    // Makes the item current while Back or Forward runs.
    void navigateTo(QTreeWidgetItem *target, QVector<QTreeWidgetItem *> &from,
                    QVector<QTreeWidgetItem *> &to, QAction *fromAction, QAction *toAction);
    void openWithDesktop(CPackageHierarchyNode *node);
    QIcon iconFor(const QString &name);
    // The shared dialogs of the main window, or the prompt seam when the
    // viewer is shown alone.
    QString chooseDirectory();
    QString choosePackage();

    QString m_fileName;
    std::unique_ptr<IPackageDelegate> m_delegate;

    QToolBar *m_toolBar = nullptr;
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
    QTreeWidget *m_tree = nullptr;
    VPackageTableWidget *m_table = nullptr;
    VPackagePropertiesDialog *m_propertiesDialog = nullptr;
    QSearchDialog *m_searchDialog = nullptr;

    QTreeWidgetItem *m_contextTreeItem = nullptr;
    QTableWidgetItem *m_contextTableItem = nullptr;
    bool m_navigating = false;
    // Items the folder display recorded while Back/Forward ran.
    int m_recorded = 0;
    QVector<QTreeWidgetItem *> m_backHistory;
    QVector<QTreeWidgetItem *> m_forwardHistory;
    // Node -> the item showing it.
    QHash<const CPackageHierarchyNode *, QTreeWidgetItem *> m_itemsByNode;
    QTreeWidgetItem *m_rootItem = nullptr;
    // Used when no main window provides the shared cache (tools shown alone).
    std::unique_ptr<CFileIconCache> m_ownIconCache;
};
