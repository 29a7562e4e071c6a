#include "VPackage.h"

#include "CDelegateVPK.h"
#include "CFileIconCache.h"
#include "CPackageFactory.h"
#include "CPackageHierarchyNode.h"
#include "CPath.h"
#include "CPrompt.h"
#include "IMainWindow.h"
#include "IPackageDelegate.h"
#include "QSearchDialog.h"
#include "VPackagePropertiesDialog.h"
#include "VPackageTableWidget.h"
#include "VPackageTableWidgetItem.h"
#include "VPackageTreeWidgetItem.h"

#include <QAction>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <utility>

namespace {

const QString Title = QStringLiteral("Package Viewer");
const QString NoPath = QStringLiteral("...");
constexpr int RowHeight = 17;
constexpr QSize PreferredSize(720, 420);

CPackageHierarchyNode *nodeOf(QTreeWidgetItem *item)
{
    auto *packageItem = dynamic_cast<VPackageTreeWidgetItem *>(item);
    return packageItem ? packageItem->node : nullptr;
}

} // namespace

VPackage::VPackage(const QString &fileName)
    : m_fileName(fileName)
{
    setObjectName(QStringLiteral("VPackage"));
    buildToolBar();
    buildViews();
    m_propertiesDialog = new VPackagePropertiesDialog(this);
    m_searchDialog = new QSearchDialog(this);
    m_searchDialog->setObjectName(QStringLiteral("searchDialog"));
    buildMenus();

    setAttribute(Qt::WA_DeleteOnClose);
    setCentralWidget(m_splitter);
    setMinimumHeight(250);
    setWindowTitle(Title);
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/package_magnify")));
    openPackage(fileName);
}

VPackage::~VPackage()
{
    // Menus without a parent; the items point into the delegate's tree, so
    // they go before it.
    delete m_treeMenu;
    delete m_tableMenu;
    m_tree->clearSelection();
    m_table->clearContents();
    m_tree->clear();
    m_delegate.reset();
}

QSize VPackage::sizeHint() const
{
    return QMainWindow::sizeHint().expandedTo(PreferredSize);
}

void VPackage::buildToolBar()
{
    m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_toolBar->setFixedHeight(28);
    m_toolBar->setMovable(false);
    addToolBar(m_toolBar);

    auto addAction = [this](const QString &text, const QString &icon, const QString &name) {
        QAction *action =
            m_toolBar->addAction(QIcon(QStringLiteral(":/resources/icons/") + icon), text);
        action->setObjectName(name);
        if (QWidget *button = m_toolBar->widgetForAction(action))
            button->setFixedSize(24, 24);
        return action;
    };
    m_actionOpen = addAction(QStringLiteral("Open..."), QStringLiteral("folder_explore"),
                             QStringLiteral("actionOpen"));
    m_toolBar->addSeparator();
    m_actionBack = addAction(QStringLiteral("Back"), QStringLiteral("arrow_turn_left"),
                             QStringLiteral("actionBack"));
    m_actionForward = addAction(QStringLiteral("Forward"), QStringLiteral("arrow_turn_right"),
                                QStringLiteral("actionForward"));
    m_actionUp =
        addAction(QStringLiteral("Up"), QStringLiteral("folder_up"), QStringLiteral("actionUp"));
    m_toolBar->addSeparator();
    m_actionSearch = addAction(QStringLiteral("Search"), QStringLiteral("magnifier"),
                               QStringLiteral("actionSearch"));
    m_toolBar->addSeparator();

    m_pathCaption = new QLabel(QStringLiteral("Path:"), m_toolBar);
    m_pathCaption->setAlignment(Qt::AlignCenter);
    m_pathCaption->setFixedWidth(m_pathCaption->sizeHint().width() + 8);
    m_pathCaption->setEnabled(false);
    m_toolBar->addWidget(m_pathCaption);
    m_pathField = new QLineEdit(m_toolBar);
    m_pathField->setObjectName(QStringLiteral("pathField"));
    m_pathField->setReadOnly(true);
    m_pathField->setEnabled(false);
    m_toolBar->addWidget(m_pathField);

    m_actionBack->setEnabled(false);
    m_actionForward->setEnabled(false);
    m_actionUp->setEnabled(false);
    m_actionSearch->setEnabled(false);
    connect(m_actionOpen, &QAction::triggered, this, &VPackage::fileOpen);
    connect(m_actionBack, &QAction::triggered, this, &VPackage::navigateBack);
    connect(m_actionForward, &QAction::triggered, this, &VPackage::navigateForward);
    connect(m_actionUp, &QAction::triggered, this, &VPackage::navigateUp);
    connect(m_actionSearch, &QAction::triggered, this, &VPackage::packageSearch);
}

void VPackage::buildViews()
{
    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("tree"));
    m_tree->setColumnCount(1);
    m_tree->setHeaderHidden(true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->setEnabled(false);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setMinimumWidth(200);
    m_tree->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setSortingEnabled(false);
    m_tree->setTextElideMode(Qt::ElideNone);
    m_tree->setUniformRowHeights(true);
    m_tree->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(m_tree, &QTreeWidget::itemExpanded, this, &VPackage::treeItemExpanded);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &VPackage::treeCurrentItemChanged);
    connect(m_tree, &QTreeWidget::customContextMenuRequested, this, &VPackage::showTreeContextMenu);
    connect(m_tree, &QTreeWidget::itemChanged, this, &VPackage::treeItemChanged);
    connect(m_tree, &QTreeWidget::itemCollapsed, this, &VPackage::treeItemCollapsed);

    m_table = new VPackageTableWidget(0, 2);
    m_table->setObjectName(QStringLiteral("table"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Size")});
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    m_table->setEnabled(false);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setMinimumWidth(300);
    m_table->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setShowGrid(false);
    m_table->setTextElideMode(Qt::ElideRight);
    m_table->setSortingEnabled(false);
    m_table->verticalHeader()->hide();
    // Every row is 17 pixels high; a fixed default spares a resize per row in
    // folders of many thousand entries.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(RowHeight);
    QHeaderView *header = m_table->horizontalHeader();
    header->setMinimumSectionSize(100);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::Interactive);
    header->resizeSection(1, 100);
    connect(m_table, &QTableWidget::itemDoubleClicked, this, &VPackage::tableItemDoubleClicked);
    connect(m_table, &QTableWidget::itemPressed, this, &VPackage::tableItemPressed);
    connect(m_table, &QTableWidget::customContextMenuRequested, this,
            &VPackage::showTableContextMenu);

    m_splitter = new QSplitter(Qt::Horizontal);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_table);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 2);
}

void VPackage::buildMenus()
{
    const QIcon extractIcon(QStringLiteral(":/resources/icons/database_go.png"));
    const QIcon propertiesIcon(QStringLiteral(":/resources/icons/report.png"));
    m_treeMenu = new QMenu;
    m_treeExtract = m_treeMenu->addAction(extractIcon, QStringLiteral("Extract"));
    m_treeProperties = m_treeMenu->addAction(propertiesIcon, QStringLiteral("Properties"));
    m_tableMenu = new QMenu;
    m_tableExtract = m_tableMenu->addAction(extractIcon, QStringLiteral("Extract"));
    m_tableProperties = m_tableMenu->addAction(propertiesIcon, QStringLiteral("Properties"));
    // Defragmenting would rewrite a cache file, which these delegates never
    // do, so the menus offer only what works.
    connect(m_treeExtract, &QAction::triggered, this, &VPackage::treeContextExtract);
    connect(m_treeProperties, &QAction::triggered, this, &VPackage::treeContextProperties);
    connect(m_tableExtract, &QAction::triggered, this, &VPackage::tableContextExtract);
    connect(m_tableProperties, &QAction::triggered, this, &VPackage::tableContextProperties);
}

void VPackage::setPackageWidgetsEnabled(bool enabled)
{
    m_actionSearch->setEnabled(enabled);
    m_pathCaption->setEnabled(enabled);
    m_pathField->setEnabled(enabled);
    m_tree->setEnabled(enabled);
    m_table->setEnabled(enabled);
    m_pathField->setText(NoPath);
}

void VPackage::clearPackage()
{
    m_tree->clear();
    m_table->clearContents();
    m_table->setRowCount(0);
    m_contextTreeItem = nullptr;
    m_contextTableItem = nullptr;
    m_rootItem = nullptr;
    m_itemsByNode.clear();
    m_backHistory.clear();
    m_forwardHistory.clear();
    m_actionBack->setEnabled(false);
    m_actionForward->setEnabled(false);
    m_actionUp->setEnabled(false);
    m_delegate.reset();
}

void VPackage::openPackage(const QString &path)
{
    if (path.isEmpty())
        return;
    if (CPackageFactory::typeForPath(path) == 0) {
        // Said here, whether or not this window is free: a new viewer would
        // only stand empty beside the warning.
        if (!m_delegate)
            setPackageWidgetsEnabled(false);
        CPrompt::warning(this, Title, CPackageFactory::unsupportedMessage(path));
        return;
    }
    if (m_delegate && m_delegate->type() != 0) {
        // One package per window: the main window opens another viewer.
        if (IMainWindow *main = IMainWindow::instance()) {
            QMetaObject::invokeMethod(main->mainWindowWidget(), "showVPackage",
                                      Qt::DirectConnection, Q_ARG(QString, path));
        } else {
            auto *viewer = new VPackage(path);
            viewer->show();
        }
        return;
    }

    clearPackage();
    m_fileName = path;
    m_delegate.reset(CPackageFactory::create(path));
    if (auto *vpk = qobject_cast<CDelegateVPK *>(m_delegate.get())) {
        connect(vpk, &CDelegateVPK::notice, this, [](const QString &title, const QString &text) {
            CPrompt::information(nullptr, title, text);
        });
    }
    if (!m_delegate->open(path, true)) {
        CPrompt::warning(this, Title, m_delegate->lastError(), QMessageBox::Ok, QMessageBox::Ok);
        return;
    }

    mirrorTree();
    setPackageWidgetsEnabled(true);
    if (QTreeWidgetItem *first = m_tree->topLevelItem(0))
        m_tree->setCurrentItem(first);
    setWindowTitle(m_delegate->baseName());

    // What the delegate could read of a damaged package is shown; say so.
    // (Warnings of the open itself went to the output pane once already.)
    auto *vpk = qobject_cast<CDelegateVPK *>(m_delegate.get());
    if (vpk && !vpk->isComplete())
        CPrompt::warning(this, Title, vpk->lastError());
}

void VPackage::mirrorTree()
{
    CPackageHierarchyNode *root = m_delegate->root();
    if (!root)
        return;
    // Built without recursion: a hostile package can nest deeply. Each item
    // gets its children in one call, which keeps large folders fast.
    m_rootItem = new VPackageTreeWidgetItem(root);
    m_itemsByNode.insert(root, m_rootItem);
    std::vector<std::pair<CPackageHierarchyNode *, QTreeWidgetItem *>> pending{{root, m_rootItem}};
    while (!pending.empty()) {
        const auto [node, item] = pending.back();
        pending.pop_back();
        const int count = node->childCount();
        if (count == 0)
            continue;
        QList<QTreeWidgetItem *> children;
        children.reserve(count);
        for (int i = 0; i < count; ++i) {
            CPackageHierarchyNode *child = node->child(unsigned(i));
            auto *childItem = new VPackageTreeWidgetItem(child);
            m_itemsByNode.insert(child, childItem);
            children.append(childItem);
            if (child->isFolder())
                pending.emplace_back(child, childItem);
        }
        item->addChildren(children);
    }
    m_tree->addTopLevelItem(m_rootItem);
    assignChildIcons(m_tree->invisibleRootItem());
    m_tree->expandItem(m_rootItem);
}

QTreeWidgetItem *VPackage::itemForNode(const CPackageHierarchyNode *node) const
{
    return m_itemsByNode.value(node, nullptr);
}

QIcon VPackage::iconFor(const QString &name)
{
    CPath path;
    path.setFileName(name);
    CFileIconCache *cache =
        IMainWindow::instance() ? IMainWindow::instance()->iconCache() : nullptr;
    if (!cache) {
        if (!m_ownIconCache)
            m_ownIconCache = std::make_unique<CFileIconCache>();
        cache = m_ownIconCache.get();
    }
    return cache->icon(path.extension());
}

void VPackage::assignIcon(QTreeWidgetItem *item)
{
    auto *packageItem = dynamic_cast<VPackageTreeWidgetItem *>(item);
    if (!packageItem || packageItem->iconAssigned)
        return;
    packageItem->iconAssigned = true;
    const CPackageHierarchyNode *node = packageItem->node;
    if (node && node->isFolder())
        item->setIcon(0, QIcon(QStringLiteral(":/resources/icons/folder")));
    else
        item->setIcon(0, iconFor(item->text(0)));
}

void VPackage::assignIcons(const QVector<QTreeWidgetItem *> &items)
{
    {
        // An icon changes no item's size, and the view paints what it shows
        // from the items anyway: telling it about each of many thousand icons
        // would only cost time.
        const QSignalBlocker blocker(m_tree->model());
        for (QTreeWidgetItem *item : items)
            assignIcon(item);
    }
    m_tree->viewport()->update();
}

void VPackage::assignChildIcons(QTreeWidgetItem *item)
{
    if (!item)
        return;
    QVector<QTreeWidgetItem *> children;
    children.reserve(item->childCount());
    for (int i = 0; i < item->childCount(); ++i)
        children.append(item->child(i));
    assignIcons(children);
    m_tree->resizeColumnToContents(0);
}

void VPackage::treeItemExpanded(QTreeWidgetItem *item)
{
    assignChildIcons(item);
}

void VPackage::treeItemCollapsed(QTreeWidgetItem *)
{
    m_tree->resizeColumnToContents(0);
}

void VPackage::treeItemChanged(QTreeWidgetItem *, int)
{
    m_tree->resizeColumnToContents(0);
}

void VPackage::treeCurrentItemChanged(QTreeWidgetItem *item, QTreeWidgetItem *previous)
{
    if (previous) {
        m_backHistory.append(previous);
        m_actionBack->setEnabled(true);
        if (m_navigating)
            ++m_recorded;
    }
    if (!item) {
        m_contextTreeItem = nullptr;
        return;
    }
    CPackageHierarchyNode *node = nodeOf(item);
    if (node && node->isFolder())
        m_contextTreeItem = item;
    if (!m_navigating) {
        m_forwardHistory.clear();
        m_actionForward->setEnabled(false);
    }
    assignChildIcons(item);
    if (!node || node->isLeaf())
        return;
    showFolder(item);
}

void VPackage::showFolder(QTreeWidgetItem *item)
{
    CPackageHierarchyNode *node = nodeOf(item);
    m_actionUp->setEnabled(item->parent() != nullptr);
    m_pathField->setText(node == m_delegate->root() ? NoPath
                                                    : QStringLiteral(".../") + node->path(true));
    m_table->setUpdatesEnabled(false);
    m_table->clearContents();
    m_table->setRowCount(item->childCount());
    for (int i = 0; i < item->childCount(); ++i)
        fillRow(i, item->child(i));
    m_table->setUpdatesEnabled(true);
}

void VPackage::fillRow(int row, QTreeWidgetItem *item)
{
    auto *name = new VPackageTableWidgetItem;
    name->setData(Qt::DecorationRole, item->data(0, Qt::DecorationRole));
    name->setData(Qt::DisplayRole, item->data(0, Qt::DisplayRole));
    name->treeItem = item;
    auto *size = new VPackageTableWidgetItem;
    CPackageHierarchyNode *node = nodeOf(item);
    if (node && node->isFolder())
        size->setText(QStringLiteral("%1 Item(s)").arg(node->childCount()));
    else if (node && m_delegate)
        size->setText(QString::number(quint32(m_delegate->size(node->entryIndex))));
    m_table->setItem(row, 0, name);
    m_table->setItem(row, 1, size);
}

void VPackage::appendTableRow(QTreeWidgetItem *item)
{
    assignIcons({item});
    const int row = m_table->rowCount();
    m_table->setRowCount(row + 1);
    fillRow(row, item);
}

void VPackage::navigateTo(QTreeWidgetItem *target, QVector<QTreeWidgetItem *> &from,
                          QVector<QTreeWidgetItem *> &to, QAction *fromAction, QAction *toAction)
{
    m_navigating = true;
    if (m_contextTreeItem)
        to.append(m_contextTreeItem);
    m_recorded = 0;
    m_tree->setCurrentItem(target);
    // The folder display recorded the item left in the back history; a
    // navigation is not a visit.
    if (m_recorded > 0 && !m_backHistory.isEmpty())
        m_backHistory.removeLast();
    m_navigating = false;
    toAction->setEnabled(true);
    fromAction->setEnabled(!from.isEmpty());
}

void VPackage::navigateBack()
{
    if (m_backHistory.isEmpty()) {
        m_actionBack->setEnabled(false);
        return;
    }
    QTreeWidgetItem *target = m_backHistory.takeLast();
    navigateTo(target, m_backHistory, m_forwardHistory, m_actionBack, m_actionForward);
}

void VPackage::navigateForward()
{
    if (m_forwardHistory.isEmpty()) {
        m_actionForward->setEnabled(false);
        return;
    }
    // Taken before the current folder joins the back history.
    QTreeWidgetItem *target = m_forwardHistory.takeLast();
    navigateTo(target, m_forwardHistory, m_backHistory, m_actionForward, m_actionBack);
}

void VPackage::navigateUp()
{
    QTreeWidgetItem *current = m_tree->currentItem();
    if (current && current->parent())
        m_tree->setCurrentItem(current->parent());
}

void VPackage::tableItemDoubleClicked(QTableWidgetItem *cell)
{
    if (!cell || cell->tableWidget() != m_table)
        return;
    auto *name = dynamic_cast<VPackageTableWidgetItem *>(m_table->item(cell->row(), 0));
    if (!name || !name->treeItem)
        return;
    CPackageHierarchyNode *node = nodeOf(name->treeItem);
    if (!node)
        return;
    if (node->isFolder()) {
        m_tree->clearSelection();
        m_tree->setCurrentItem(name->treeItem);
        return;
    }
    openEntry(node);
}

void VPackage::showTreeContextMenu(const QPoint &point)
{
    m_contextTreeItem = m_tree->itemAt(point);
    if (!m_contextTreeItem)
        return;
    m_treeMenu->popup(QCursor::pos());
}

void VPackage::showTableContextMenu(const QPoint &point)
{
    m_contextTableItem = m_table->itemAt(point);
    if (!m_contextTableItem)
        return;
    m_tableMenu->popup(QCursor::pos());
}

void VPackage::treeContextProperties()
{
    showProperties(nodeOf(m_contextTreeItem));
}

void VPackage::tableContextProperties()
{
    auto *cell = dynamic_cast<VPackageTableWidgetItem *>(m_contextTableItem);
    if (cell && cell->treeItem)
        showProperties(nodeOf(cell->treeItem));
}

// Hooks of dragging rows out of the window, which is not offered: nothing to
// do yet.
void VPackage::dragReleasePoint(const QPoint &) {}
void VPackage::tableItemPressed(QTableWidgetItem *) {}
void VPackage::packageContextDefragment() {}
void VPackage::packageContextCopy() {}
void VPackage::delayedDataRequested(QDelayedMimeData *, const QString &) {}
