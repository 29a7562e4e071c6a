#include "VPakfile.h"

#include "BspRecords.h"
#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "CPath.h"
#include "CPrompt.h"
#include "FileTypeName.h"
#include "MainWindowDialogs.h"
#include "PakfileErrors.h"
#include "QProgressDialogger.h"
#include "VPakfileBusyDialog.h"
#include "VPakfileTableWidgetItem.h"
#include "VPakfileTexts.h"
#include "uifunctions.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace T = VPakfileTexts;

namespace {

// The Name and Path columns' widths before a map fills them.
constexpr int NameColumnWidth = 288;
constexpr int PathColumnWidth = 320;
constexpr int TypeColumnWidth = 94;

QString text(const char *latin1)
{
    return QString::fromLatin1(latin1);
}

QHBoxLayout *groupLayout(QGroupBox *group)
{
    auto *layout = new QHBoxLayout(group);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(3);
    return layout;
}

// Fills the cell's existing item or places a new one.
QTableWidgetItem *cell(QTableWidget *table, int row, int column)
{
    QTableWidgetItem *item = table->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        table->setItem(row, column, item);
    }
    return item;
}

} // namespace

VPakfile::VPakfile()
{
    buildPakfilePage();
    buildScanPage();
    addWidget(m_pakfilePage);
    addWidget(m_scanPage);
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/vpakfile")));
    setMinimumSize(800, 400);
    setAttribute(Qt::WA_DeleteOnClose);
    clear();
}

VPakfile::~VPakfile()
{
    // Items point at nodes of the delegate's tree.
    m_pakfileTable->setRowCount(0);
    m_scanTable->setRowCount(0);
    delete m_delegate;
}

QPushButton *VPakfile::addButton(QHBoxLayout *layout, const QString &label, const char *name)
{
    auto *button = new QPushButton(label, layout->parentWidget());
    button->setObjectName(QString::fromLatin1(name));
    layout->addWidget(button);
    return button;
}

QTableWidget *VPakfile::buildTable(QWidget *parent, int sizeColumnWidth)
{
    auto *table = new QTableWidget(0, 4, parent);
    table->setHorizontalHeaderLabels({tr("Name"), tr("Path"), tr("Size"), tr("Type")});
    table->verticalHeader()->hide();
    QHeaderView *header = table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    const int widths[] = {NameColumnWidth, PathColumnWidth, sizeColumnWidth, TypeColumnWidth};
    for (int column = 0; column < 4; ++column)
        header->resizeSection(column, widths[column]);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    table->setMinimumHeight(104);
    table->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setDragDropMode(QAbstractItemView::NoDragDrop);
    table->setTextElideMode(Qt::ElideNone);
    return table;
}

void VPakfile::buildPakfilePage()
{
    m_pakfilePage = new QWidget(this);
    m_pakfileLayout = new QVBoxLayout(m_pakfilePage);
    m_pakfileOptions = new QWidget(m_pakfilePage);
    m_pakfileOptionsLayout = new QGridLayout(m_pakfileOptions);
    m_pakfileOptionsLayout->setSpacing(3);
    m_pakfileOptionsLayout->setContentsMargins(3, 3, 3, 3);

    m_bspGroup = new QGroupBox(tr("BSP Options"), m_pakfileOptions);
    m_bspLayout = groupLayout(m_bspGroup);
    m_bspOpen = addButton(m_bspLayout, tr("Open"), "bspOpen");
    m_bspSave = addButton(m_bspLayout, tr("Save"), "bspSave");
    m_fileGroup = new QGroupBox(tr("File Options"), m_pakfileOptions);
    m_fileLayout = groupLayout(m_fileGroup);
    m_fileRevert = addButton(m_fileLayout, tr("Revert"), "fileRevert");
    m_fileSave = addButton(m_fileLayout, tr("Save"), "fileSave");
    m_fileDeleteToggle = addButton(m_fileLayout, tr("Un/Delete"), "fileDeleteToggle");
    m_pakGroup = new QGroupBox(tr("Pakfile Options"), m_pakfileOptions);
    m_pakLayout = groupLayout(m_pakGroup);
    m_pakAdd = addButton(m_pakLayout, tr("Add"), "pakAdd");
    m_pakScan = addButton(m_pakLayout, tr("Scan"), "pakScan");
    m_pakExtract = addButton(m_pakLayout, tr("Extract"), "pakExtract");
    m_pakInfo = addButton(m_pakLayout, tr("Status"), "pakInfo");
    for (QPushButton *button : {m_bspOpen, m_bspSave, m_fileRevert, m_fileSave, m_fileDeleteToggle,
                                m_pakAdd, m_pakScan, m_pakExtract, m_pakInfo})
        button->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);
    m_pakfileOptionsLayout->addWidget(m_bspGroup, 0, 0, 1, 2);
    m_pakfileOptionsLayout->addWidget(m_fileGroup, 0, 2, 1, 3);
    m_pakfileOptionsLayout->addWidget(m_pakGroup, 0, 5, 1, 4);
    m_pakfileOptions->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    m_pakfileTable = buildTable(m_pakfilePage, textWidth(QStringLiteral("0000000000")) + 6);
    m_pakfileTable->setObjectName(QStringLiteral("pakfileTable"));
    connect(m_pakfileTable->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &VPakfile::pakfileTableHeaderClicked);
    connect(m_pakfileTable, &QTableWidget::itemSelectionChanged, this,
            &VPakfile::tableSelectionChanged);
    m_pakfileLayout->addWidget(m_pakfileOptions);
    m_pakfileLayout->addWidget(m_pakfileTable);

    connect(m_bspOpen, &QPushButton::clicked, this, &VPakfile::fileOpen);
    connect(m_bspSave, &QPushButton::clicked, this, &VPakfile::fileSave);
    connect(m_fileRevert, &QPushButton::clicked, this, &VPakfile::pakFileRevert);
    connect(m_fileSave, &QPushButton::clicked, this, &VPakfile::pakFileSave);
    connect(m_fileDeleteToggle, &QPushButton::clicked, this, &VPakfile::pakFileDeleteToggle);
    connect(m_pakAdd, &QPushButton::clicked, this, &VPakfile::pakAdd);
    connect(m_pakScan, &QPushButton::clicked, this, &VPakfile::pakScan);
    connect(m_pakExtract, &QPushButton::clicked, this, &VPakfile::pakExtract);
    connect(m_pakInfo, &QPushButton::clicked, this, &VPakfile::pakInfo);
}

void VPakfile::buildScanPage()
{
    m_scanPage = new QWidget(this);
    m_scanLayout = new QVBoxLayout(m_scanPage);
    m_scanOptions = new QWidget(m_scanPage);
    m_scanOptionsLayout = new QHBoxLayout(m_scanOptions);
    m_scanOptionsLayout->setSpacing(3);
    m_scanOptionsLayout->setContentsMargins(3, 3, 3, 3);

    m_scanDirectoryGroup = new QGroupBox(tr("Game Directory"), m_scanOptions);
    m_scanDirectoryLayout = groupLayout(m_scanDirectoryGroup);
    m_scanDirectory = new QLineEdit(m_scanDirectoryGroup);
    m_scanDirectory->setObjectName(QStringLiteral("scanDirectory"));
    m_scanDirectory->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);
    m_scanDirectoryLayout->addWidget(m_scanDirectory);
    m_scanBrowse = addButton(m_scanDirectoryLayout, tr("Browse"), "scanBrowse");
    m_scanOptionsButton = addButton(m_scanDirectoryLayout, tr("Options"), "scanOptions");
    m_scanScan = addButton(m_scanDirectoryLayout, tr("Scan"), "scanScan");
    m_scanApply = addButton(m_scanDirectoryLayout, tr("Apply"), "scanApply");
    m_scanCancel = addButton(m_scanDirectoryLayout, tr("Cancel"), "scanCancel");
    m_scanFileGroup = new QGroupBox(tr("File Options"), m_scanOptions);
    m_scanFileLayout = groupLayout(m_scanFileGroup);
    m_scanAdd = addButton(m_scanFileLayout, tr("Add"), "scanAdd");
    m_scanAuto = addButton(m_scanFileLayout, tr("Auto"), "scanAuto");
    m_scanRemove = addButton(m_scanFileLayout, tr("Remove"), "scanRemove");
    for (QPushButton *button : {m_scanBrowse, m_scanOptionsButton, m_scanScan, m_scanApply,
                                m_scanCancel, m_scanAdd, m_scanAuto, m_scanRemove}) {
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        button->setFixedWidth(textWidth(button->text()) + 10);
    }
    m_scanOptionsLayout->addWidget(m_scanDirectoryGroup);
    m_scanOptionsLayout->addWidget(m_scanFileGroup);
    m_scanOptions->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    m_scanTable = buildTable(m_scanPage, 68);
    m_scanTable->setObjectName(QStringLiteral("scanTable"));
    connect(m_scanTable->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &VPakfile::scanTableHeaderClicked);
    m_scanLayout->addWidget(m_scanOptions);
    m_scanLayout->addWidget(m_scanTable);

    connect(m_scanBrowse, &QPushButton::clicked, this, &VPakfile::pakScanBrowse);
    connect(m_scanOptionsButton, &QPushButton::clicked, this, &VPakfile::pakScanOptions);
    connect(m_scanScan, &QPushButton::clicked, this, &VPakfile::pakScanScan);
    connect(m_scanApply, &QPushButton::clicked, this, &VPakfile::pakScanApply);
    connect(m_scanCancel, &QPushButton::clicked, this, &VPakfile::pakScanCancel);
    connect(m_scanAdd, &QPushButton::clicked, this, &VPakfile::pakScanAdd);
    connect(m_scanAuto, &QPushButton::clicked, this, &VPakfile::pakScanAddMissing);
    connect(m_scanRemove, &QPushButton::clicked, this, &VPakfile::pakScanRemove);
}

CDelegateBSP *VPakfile::createDelegate()
{
    return new CDelegateBSP;
}

void VPakfile::dropMap()
{
    m_pakfileTable->setRowCount(0);
    m_scanTable->setRowCount(0);
    delete m_delegate;
    m_delegate = nullptr;
    m_commentChanged = false;
}

void VPakfile::clear()
{
    for (QPushButton *button : {m_bspSave, m_fileRevert, m_fileSave, m_fileDeleteToggle, m_pakAdd,
                                m_pakScan, m_pakExtract, m_pakInfo})
        button->setEnabled(false);
    dropMap();
    setCurrentWidget(m_pakfilePage);
    setWindowTitle(text(T::Title));
}

bool VPakfile::open(const QString &path)
{
    if (path.isEmpty()) {
        CPrompt::warning(this, windowTitle(), text(PakfileError::NullFileName));
        return false;
    }
    if (m_delegate) {
        if (!confirmDiscard())
            return false;
        dropMap();
        setWindowTitle(text(T::Title));
    }
    m_delegate = createDelegate();
    bool opened = false;
    {
        QProgressDialog indicator(text(T::Processing), QString(), 0, 0, this);
        indicator.setCancelButton(nullptr);
        indicator.setMinimumDuration(0);
        indicator.setWindowModality(Qt::WindowModal);
        indicator.show();
        opened = m_delegate->open(path, false);
    }
    if (!opened) {
        const QString error = m_delegate->lastError();
        CPrompt::warning(this, windowTitle(), error);
        clear();
        return false;
    }
    setWindowTitle(m_delegate->baseName());
    fillPakfileTable();
    for (QPushButton *button : {m_bspSave, m_pakAdd, m_pakScan, m_pakExtract, m_pakInfo})
        button->setEnabled(true);
    tableSelectionChanged();
    return true;
}

void VPakfile::fillPakfileTable()
{
    // Records that got no node (folder records, names shadowed by another)
    // get no row: a row without an entry could only show as a change.
    QVector<CPackageHierarchyNode *> nodes;
    for (int i = BspFormat::LumpCount; i < m_delegate->nodeCount(); ++i) {
        CPackageHierarchyNode *n = m_delegate->node(i);
        if (n && n->isLeaf())
            nodes.append(n);
    }
    m_pakfileTable->setRowCount(0);
    m_pakfileTable->setRowCount(nodes.size());
    for (int row = 0; row < nodes.size(); ++row)
        updatePakfileRow(nodes[row], row);
    fitPakfileColumns();
}

void VPakfile::fitPakfileColumns()
{
    // Long names show whole rather than cut at the width made for an empty
    // table, as far as Size and Type stay in sight beside them; paths get
    // what the names leave. Type texts are short and always show whole.
    QHeaderView *header = m_pakfileTable->horizontalHeader();
    const QAbstractItemView *view = m_pakfileTable;
    const int typeWidth =
        std::max({TypeColumnWidth, view->sizeHintForColumn(3), header->sectionSizeHint(3)});
    header->resizeSection(3, typeWidth);
    const int room = m_pakfileTable->viewport()->width() - header->sectionSize(2) - typeWidth;
    fitColumnToContents(m_pakfileTable, 0, qMax(NameColumnWidth, room));
    fitColumnToContents(m_pakfileTable, 1,
                        qMax(PathColumnWidth, room - m_pakfileTable->columnWidth(0)));
}

void VPakfile::updatePakfileRow(CPackageHierarchyNode *node, int row)
{
    if (!node || !m_delegate || row < 0 || row >= m_pakfileTable->rowCount())
        return;
    m_pakfileTable->setRowHeight(row, 17);
    VPakfileTableWidgetItem *name = nameItem(row);
    if (!name) {
        name = new VPakfileTableWidgetItem(node->name(), node);
        m_pakfileTable->setItem(row, 0, name);
    }
    name->setText(node->name());
    name->node = node;
    cell(m_pakfileTable, row, 1)->setText(QLatin1Char('/') + node->path(false));
    QTableWidgetItem *size = m_pakfileTable->item(row, 2);
    if (!size) {
        size = new QTableWidgetItem;
        size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_pakfileTable->setItem(row, 2, size);
    }
    // A number, not text, so that the column sorts by value.
    size->setData(Qt::DisplayRole, uint(quint32(m_delegate->size(node))));
    cell(m_pakfileTable, row, 3)->setText(fileTypeName(CPath(node->name(), true).extension()));
    for (int column = 0; column < m_pakfileTable->columnCount(); ++column)
        m_pakfileTable->item(row, column)->setForeground(QColor(0, 0, 0));
    name->updateColor(row);
}

bool VPakfile::hasChanges() const
{
    if (m_commentChanged)
        return true;
    for (int row = 0; row < m_pakfileTable->rowCount(); ++row) {
        const VPakfileTableWidgetItem *item = nameItem(row);
        if (!item || item->state() != VPakfileTableWidgetItem::State::Stored)
            return true;
    }
    return false;
}

bool VPakfile::confirmDiscard()
{
    return !hasChanges() || CPrompt::question(this, windowTitle(), text(T::DiscardChanges),
                                              QMessageBox::Discard | QMessageBox::Cancel,
                                              QMessageBox::Cancel) == QMessageBox::Discard;
}

void VPakfile::closeEvent(QCloseEvent *event)
{
    if (confirmDiscard())
        event->accept();
    else
        event->ignore();
}

void VPakfile::disable()
{
    setDisabled(true);
}

void VPakfile::tableSelectionChanged()
{
    const bool selected = m_pakfileTable->selectionModel()->hasSelection();
    for (QPushButton *button : {m_fileRevert, m_fileSave, m_fileDeleteToggle})
        button->setEnabled(selected);
}

void VPakfile::sortTable(QTableWidget *table, int column, quint8 &sortColumn,
                         Qt::SortOrder &sortOrder)
{
    VPakfileBusyDialog busy(this);
    if (column == sortColumn) {
        sortOrder = sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    } else {
        sortColumn = quint8(column);
        sortOrder = Qt::AscendingOrder;
    }
    table->sortItems(column, sortOrder);
    table->horizontalHeader()->setSortIndicatorShown(true);
    table->horizontalHeader()->setSortIndicator(column, sortOrder);
}

void VPakfile::pakfileTableHeaderClicked(int column)
{
    sortTable(m_pakfileTable, column, m_pakfileSortColumn, m_pakfileSortOrder);
}

void VPakfile::scanTableHeaderClicked(int column)
{
    sortTable(m_scanTable, column, m_scanSortColumn, m_scanSortOrder);
}

QHash<const CPackageHierarchyNode *, int> VPakfile::rowsByNode() const
{
    QHash<const CPackageHierarchyNode *, int> rows;
    // From the last row: the first row that holds a node wins.
    for (int row = m_pakfileTable->rowCount() - 1; row >= 0; --row) {
        if (const VPakfileTableWidgetItem *item = nameItem(row))
            rows.insert(item->node, row);
    }
    return rows;
}

VPakfileTableWidgetItem *VPakfile::nameItem(int row) const
{
    return dynamic_cast<VPakfileTableWidgetItem *>(m_pakfileTable->item(row, 0));
}

QList<int> VPakfile::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_pakfileTable->selectionModel()->selectedIndexes()) {
        if (index.column() == 0)
            rows << index.row();
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void VPakfile::showProgress(QProgressDialogger &progress)
{
    progress.setButtonCancelVisible(false);
    progress.setMinimumWidth(400);
    progress.setWindowModality(Qt::WindowModal);
    progress.setWindowTitle(windowTitle());
    connect(&progress, &QDialog::rejected, this, &VPakfile::disable);
    connect(&progress, &QProgressDialogger::canceled, this, &VPakfile::disable);
    centerWidget(&progress, this);
    progress.show();
}

void VPakfile::fileOpen()
{
    const QString path =
        MainWindowDialogs::openFileName(nullptr, text(T::OpenCaption), text(T::OpenFilter));
    if (!path.isEmpty())
        open(path);
}

void VPakfile::pakScanBrowse()
{
    const QString directory =
        MainWindowDialogs::existingDirectory(nullptr, text(T::ScanDirectoryCaption));
    if (!directory.isEmpty())
        m_scanDirectory->setText(directory);
}

void VPakfile::pakScanCancel()
{
    m_scanDirectory->setEnabled(true);
    m_scanBrowse->setEnabled(true);
    setCurrentWidget(m_pakfilePage);
    m_scanTable->setRowCount(0);
    setEnabled(true);
}
