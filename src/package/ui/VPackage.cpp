#include "VPackage.h"

#include "CDelegateVPK.h"
#include "CFileIconCache.h"
#include "CPackageFactory.h"
#include "CPackageHierarchyNode.h"
#include "CPath.h"
#include "CPrompt.h"
#include "IPackageDelegate.h"
#include "MainWindowTools.h"
#include "QSearchDialog.h"
#include "VPackageIcons.h"
#include "VPackagePropertiesDialog.h"
#include "VPackageTableModel.h"
#include "VPackageTableWidget.h"
#include "VPackageTreeModel.h"

#include <QAction>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

namespace {

const QString Title = QStringLiteral("Package Viewer");
const QString NoPath = QStringLiteral("...");
constexpr int RowHeight = 17;
constexpr QSize PreferredSize(720, 420);

} // namespace

VPackage::VPackage(const QString &fileName)
    : m_fileName(fileName)
    , m_icons(std::make_unique<VPackageIcons>())
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
    // Menus without a parent; the models show the delegate's tree, so they
    // let go of it before it goes.
    delete m_treeMenu;
    delete m_tableMenu;
    m_tableModel->clear();
    m_treeModel->setRoot(nullptr);
    m_delegate.reset();
}

QSize VPackage::sizeHint() const
{
    return QMainWindow::sizeHint().expandedTo(PreferredSize);
}

void VPackage::buildToolBar()
{
    auto *toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    toolBar->setFixedHeight(28);
    toolBar->setMovable(false);
    addToolBar(toolBar);

    auto addAction = [toolBar](const QString &text, const QString &icon, const QString &name) {
        QAction *action =
            toolBar->addAction(QIcon(QStringLiteral(":/resources/icons/") + icon), text);
        action->setObjectName(name);
        if (QWidget *button = toolBar->widgetForAction(action))
            button->setFixedSize(24, 24);
        return action;
    };
    m_actionOpen = addAction(QStringLiteral("Open..."), QStringLiteral("folder_explore"),
                             QStringLiteral("actionOpen"));
    toolBar->addSeparator();
    m_actionBack = addAction(QStringLiteral("Back"), QStringLiteral("arrow_turn_left"),
                             QStringLiteral("actionBack"));
    m_actionForward = addAction(QStringLiteral("Forward"), QStringLiteral("arrow_turn_right"),
                                QStringLiteral("actionForward"));
    m_actionUp =
        addAction(QStringLiteral("Up"), QStringLiteral("folder_up"), QStringLiteral("actionUp"));
    toolBar->addSeparator();
    m_actionSearch = addAction(QStringLiteral("Search"), QStringLiteral("magnifier"),
                               QStringLiteral("actionSearch"));
    toolBar->addSeparator();

    m_pathCaption = new QLabel(QStringLiteral("Path:"), toolBar);
    m_pathCaption->setAlignment(Qt::AlignCenter);
    m_pathCaption->setFixedWidth(m_pathCaption->sizeHint().width() + 8);
    m_pathCaption->setEnabled(false);
    toolBar->addWidget(m_pathCaption);
    m_pathField = new QLineEdit(toolBar);
    m_pathField->setObjectName(QStringLiteral("pathField"));
    m_pathField->setReadOnly(true);
    m_pathField->setEnabled(false);
    toolBar->addWidget(m_pathField);

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
    m_treeModel = new VPackageTreeModel(m_icons.get(), this);
    m_tree = new QTreeView;
    m_tree->setObjectName(QStringLiteral("tree"));
    m_tree->setModel(m_treeModel);
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
    connect(m_tree, &QTreeView::expanded, this, &VPackage::treeExpanded);
    connect(m_tree, &QTreeView::collapsed, this, &VPackage::treeCollapsed);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &VPackage::treeCurrentChanged);
    connect(m_tree, &QTreeView::customContextMenuRequested, this, &VPackage::showTreeContextMenu);

    m_tableModel = new VPackageTableModel(m_icons.get(), this);
    m_table = new VPackageTableWidget;
    m_table->setObjectName(QStringLiteral("table"));
    m_table->setModel(m_tableModel);
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
    connect(m_table, &QTableView::doubleClicked, this, &VPackage::tableDoubleClicked);
    connect(m_table, &QTableView::pressed, this, &VPackage::tablePressed);
    connect(m_table, &QTableView::customContextMenuRequested, this,
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
    m_tableModel->clear();
    m_tableModel->setDelegate(nullptr);
    m_treeModel->setRoot(nullptr);
    m_contextTreeNode = nullptr;
    m_contextTableNode = nullptr;
    m_backHistory.clear();
    m_forwardHistory.clear();
    m_actionBack->setEnabled(false);
    m_actionForward->setEnabled(false);
    m_actionUp->setEnabled(false);
    m_delegate.reset();
}

bool VPackage::openPackage(const QString &path)
{
    if (path.isEmpty())
        return true;
    if (CPackageFactory::typeForPath(path) == 0) {
        // Said here, whether or not this window is free: a new viewer would
        // only stand empty beside the warning.
        if (!m_delegate)
            setPackageWidgetsEnabled(false);
        CPrompt::warning(this, Title, CPackageFactory::unsupportedMessage(path));
        return false;
    }
    if (m_delegate && m_delegate->type() != 0) {
        // One package per window: the main window opens another viewer.
        if (!MainWindowTools::open("showVPackage", Q_ARG(QString, path)))
            (new VPackage(path))->show();
        return true;
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
        return false;
    }

    // The views show the delegate's own tree: nothing is copied, whatever
    // its size.
    m_tableModel->setDelegate(m_delegate.get());
    m_treeModel->setRoot(m_delegate->root());
    const QModelIndex root = m_treeModel->index(0, 0);
    m_tree->expand(root);
    setPackageWidgetsEnabled(true);
    if (root.isValid())
        m_tree->setCurrentIndex(root);
    setWindowTitle(m_delegate->baseName());

    // What the delegate could read of a damaged package is shown; say so.
    // (Warnings of the open itself went to the output pane once already.)
    auto *vpk = qobject_cast<CDelegateVPK *>(m_delegate.get());
    if (vpk && !vpk->isComplete())
        CPrompt::warning(this, Title, vpk->lastError());
    return true;
}

QModelIndex VPackage::indexForNode(const CPackageHierarchyNode *node) const
{
    return m_treeModel->indexOf(node);
}

CPackageHierarchyNode *VPackage::currentNode() const
{
    return m_treeModel->node(m_tree->currentIndex());
}

void VPackage::setCurrentNode(const CPackageHierarchyNode *node)
{
    m_tree->setCurrentIndex(indexForNode(node));
}

void VPackage::treeExpanded(const QModelIndex &)
{
    m_tree->resizeColumnToContents(0);
}

void VPackage::treeCollapsed(const QModelIndex &)
{
    m_tree->resizeColumnToContents(0);
}

void VPackage::treeCurrentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    if (CPackageHierarchyNode *left = m_treeModel->node(previous)) {
        m_backHistory.append(left);
        m_actionBack->setEnabled(true);
        if (m_navigating)
            ++m_recorded;
    }
    CPackageHierarchyNode *node = m_treeModel->node(current);
    if (!node) {
        m_contextTreeNode = nullptr;
        return;
    }
    if (node->isFolder())
        m_contextTreeNode = node;
    if (!m_navigating) {
        m_forwardHistory.clear();
        m_actionForward->setEnabled(false);
    }
    m_tree->resizeColumnToContents(0);
    if (node->isLeaf())
        return;
    showFolder(node);
}

void VPackage::showFolder(CPackageHierarchyNode *node)
{
    m_actionUp->setEnabled(node->parent() != nullptr);
    m_pathField->setText(node == m_delegate->root() ? NoPath
                                                    : QStringLiteral(".../") + node->path(true));
    m_tableModel->showFolder(node);
}

void VPackage::appendTableRow(CPackageHierarchyNode *node)
{
    if (node)
        m_tableModel->appendNode(node);
}

void VPackage::navigateTo(CPackageHierarchyNode *target, QVector<CPackageHierarchyNode *> &from,
                          QVector<CPackageHierarchyNode *> &to, QAction *fromAction,
                          QAction *toAction)
{
    m_navigating = true;
    if (m_contextTreeNode)
        to.append(m_contextTreeNode);
    m_recorded = 0;
    setCurrentNode(target);
    // The folder display recorded the node left in the back history; a
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
    CPackageHierarchyNode *target = m_backHistory.takeLast();
    navigateTo(target, m_backHistory, m_forwardHistory, m_actionBack, m_actionForward);
}

void VPackage::navigateForward()
{
    if (m_forwardHistory.isEmpty()) {
        m_actionForward->setEnabled(false);
        return;
    }
    // Taken before the current folder joins the back history.
    CPackageHierarchyNode *target = m_forwardHistory.takeLast();
    navigateTo(target, m_forwardHistory, m_backHistory, m_actionForward, m_actionBack);
}

void VPackage::navigateUp()
{
    CPackageHierarchyNode *current = currentNode();
    if (current && current->parent())
        setCurrentNode(current->parent());
}

void VPackage::tableDoubleClicked(const QModelIndex &index)
{
    // Any cell of a row stands for the row's entry.
    if (!index.isValid() || index.model() != m_tableModel)
        return;
    CPackageHierarchyNode *node = m_tableModel->node(index.row());
    if (!node)
        return;
    if (node->isFolder()) {
        m_tree->clearSelection();
        setCurrentNode(node);
        return;
    }
    openEntry(node);
}

void VPackage::showTreeContextMenu(const QPoint &point)
{
    m_contextTreeNode = m_treeModel->node(m_tree->indexAt(point));
    if (!m_contextTreeNode)
        return;
    m_treeMenu->popup(QCursor::pos());
}

void VPackage::showTableContextMenu(const QPoint &point)
{
    const QModelIndex index = m_table->indexAt(point);
    m_contextTableNode = index.isValid() ? m_tableModel->node(index.row()) : nullptr;
    m_contextTableColumn = index.column();
    if (!m_contextTableNode)
        return;
    m_tableMenu->popup(QCursor::pos());
}

void VPackage::treeContextProperties()
{
    showProperties(m_contextTreeNode);
}

void VPackage::tableContextProperties()
{
    // The Name cell stands for the entry; a Size cell is only a figure.
    if (m_contextTableNode && m_contextTableColumn == VPackageTableModel::Name)
        showProperties(m_contextTableNode);
}

// Hooks of dragging rows out of the window, which is not offered: nothing to
// do yet.
void VPackage::dragReleasePoint(const QPoint &) {}
void VPackage::tablePressed(const QModelIndex &) {}
void VPackage::packageContextDefragment() {}
void VPackage::packageContextCopy() {}
void VPackage::delayedDataRequested(QDelayedMimeData *, const QString &) {}
