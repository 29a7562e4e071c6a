// The editor's menus, widgets, layout and signal wiring.
#include "VFGD.h"

#include "FGDRecords.h"
#include "FGDText.h"
#include "NamedWidget.h"
#include "VFGDCellDelegate.h"
#include "VFGDListWidget.h"
#include "VFGDTableWidget.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace {

QIcon icon(const char *name)
{
    return QIcon(QStringLiteral(":/resources/icons/%1.png").arg(QLatin1String(name)));
}

// The tables' columns; every column but `stretch` sizes to its contents.
struct TableSpec
{
    const char *objectName;
    QStringList headers;
    int stretch;
};

QTableWidget *makeTable(QTableWidget *table, const TableSpec &spec)
{
    table->setObjectName(QLatin1String(spec.objectName));
    table->setColumnCount(spec.headers.size());
    table->setHorizontalHeaderLabels(spec.headers);
    table->verticalHeader()->hide();
    table->setWordWrap(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    for (int column = 0; column < spec.headers.size(); ++column)
        table->horizontalHeader()->setSectionResizeMode(
            column, column == spec.stretch ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    return table;
}

VFGDListWidget *makeList(const char *objectName, QSizePolicy::Policy horizontal)
{
    auto *list = new VFGDListWidget;
    list->setObjectName(QLatin1String(objectName));
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::DoubleClicked);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->setSizePolicy(horizontal, QSizePolicy::Ignored);
    return list;
}

QGroupBox *groupBox(const QString &title, QWidget *content)
{
    auto *box = new QGroupBox(title);
    auto *layout = new QGridLayout(box);
    layout->addWidget(content, 0, 0);
    return box;
}

QCheckBox *bareCheckBox(const char *objectName)
{
    auto *box = namedWidget<QCheckBox>(objectName);
    box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return box;
}

// A check box beside the widget it governs, both centred vertically.
QWidget *checkedRow(QCheckBox *check, QWidget *widget)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(check, 0, Qt::AlignVCenter);
    layout->addWidget(widget, 1, Qt::AlignVCenter);
    return row;
}

QMenu *popupMenu(QWidget *parent, const char *objectName)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QLatin1String(objectName));
    return menu;
}

} // namespace

void VFGD::buildMenus()
{
    QMenu *file = menuBar()->addMenu(tr("File"));
    m_actionNew = file->addAction(icon("page_white_add"), tr("New"), this, &VFGD::fgdNew);
    m_actionOpen = file->addAction(icon("folder_explore"), tr("Open..."), this, &VFGD::fgdOpen);
    m_actionSave = file->addAction(icon("disk"), tr("Save"), this, &VFGD::fgdSave);
    m_actionSaveAs =
        file->addAction(icon("page_white_disk"), tr("Save As..."), this, &VFGD::fgdSaveAs);
    m_actionSaveCopyAs = file->addAction(icon("page_white_disk_add"), tr("Save Copy As..."), this,
                                         &VFGD::fgdSaveCopyAs);
    file->addSeparator();
    m_actionImport =
        file->addAction(icon("page_white_get"), tr("Import..."), this, &VFGD::fgdImport);
    m_actionExport =
        file->addAction(icon("page_white_put"), tr("Export..."), this, &VFGD::fgdExport);
    file->addSeparator();
    m_actionExit = file->addAction(icon("cross"), tr("Exit"), this, &QWidget::close);
    for (QAction *action : {m_actionSave, m_actionSaveAs, m_actionSaveCopyAs, m_actionExport})
        action->setEnabled(false);

    QMenu *edit = menuBar()->addMenu(tr("Edit"));
    m_actionReloadIncludes = edit->addAction(icon("arrow_refresh"), tr("Reload Includes"), this,
                                             &VFGD::fgdReloadIncludes);
}

void VFGD::buildPopupMenus()
{
    m_listContextMenu = popupMenu(this, "listContextMenu");
    m_listContextMenu->addAction(icon("cross"), tr("Delete"), this, &VFGD::fgdContextDeleteList);

    m_entityTypeMenu = popupMenu(this, "entityTypeMenu");
    for (int type = 0; type < FGDClassTypeCount; ++type)
        m_entityTypeActions << m_entityTypeMenu->addAction(FGD::classTypeName(type), this,
                                                           &VFGD::fgdEntityTypeChanged);

    m_parameterTypeMenu = popupMenu(this, "parameterTypeMenu");
    for (int type = 0; type < FGDParameterTypeCount; ++type)
        m_parameterTypeActions << m_parameterTypeMenu->addAction(FGD::parameterTypeName(type), this,
                                                                 &VFGD::fgdParameterTypeChanged);
    m_parameterTypeActions.at(FGDFlags)->setEnabled(false);

    m_keyvalueContextMenu = popupMenu(this, "keyvalueContextMenu");
    m_keyvalueContextMenu->addAction(icon("lock"), tr("Toggle Readonly"), this,
                                     &VFGD::fgdContextReadonly);
    m_keyvalueContextMenu->addAction(icon("sphere"), tr("Toggle Sphere"), this,
                                     &VFGD::fgdContextSphere);
    m_keyvalueContextMenu->addSeparator();
    m_keyvalueContextMenu->addAction(icon("cross"), tr("Delete"), this,
                                     &VFGD::fgdContextDeleteTable);

    m_tableContextMenu = popupMenu(this, "tableContextMenu");
    m_tableContextMenu->addAction(icon("cross"), tr("Delete"), this, &VFGD::fgdContextDeleteTable);

    m_treeContextMenu = popupMenu(this, "treeContextMenu");
    m_treeContextMenu->addAction(icon("cross"), tr("Delete"), this, &VFGD::fgdContextDeleteTree);
}

void VFGD::buildTables()
{
    const QString name = tr("Name"), color = tr("Color"), source = tr("Source"),
                  target = tr("Target"), description = tr("Description"), unnamed = tr("???");
    m_entityTable = new VFGDTableWidget(this);
    makeTable(m_entityTable, {"entityTable", {name, tr("Type")}, 0});
    m_entityTable->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Ignored);
    m_entityTable->setTextElideMode(Qt::ElideRight);

    m_keyvalueTable =
        makeTable(new QTableWidget(this),
                  {"keyvalueTable", {tr("Key"), tr("Type"), name, tr("Default"), description}, 4});
    m_inputTable =
        makeTable(new QTableWidget(this), {"inputTable", {name, tr("Parameter"), description}, 2});
    m_outputTable =
        makeTable(new QTableWidget(this), {"outputTable", {name, tr("Parameter"), description}, 2});
    m_lineTable = makeTable(new QTableWidget(this), {"lineTable", {color, source, target}, 2});
    m_cylinderTable = makeTable(
        new QTableWidget(this),
        {"cylinderTable", {color, source, target, unnamed, unnamed, unnamed, unnamed}, 6});
    m_choiceTable =
        makeTable(new QTableWidget(this), {"choiceTable", {tr("Value"), description}, 1});
    for (QTableWidget *table : {m_lineTable, m_cylinderTable, m_choiceTable})
        table->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    m_choiceTable->hide();

    // The flag table keeps the default editing and selection: its texts are
    // edited in place, its defaults by the check boxes.
    m_flagTable = new QTableWidget(FGDEntityClass::FlagCount, 2, this);
    m_flagTable->setObjectName(QStringLiteral("flagTable"));
    m_flagTable->setHorizontalHeaderLabels({tr("Default"), description});
    m_flagTable->verticalHeader()->hide();
    m_flagTable->setWordWrap(false);
    for (int k = 0; k < FGDEntityClass::FlagCount; ++k) {
        auto *check = new QCheckBox(QStringLiteral("1 << %1").arg(k));
        check->setToolTip(QString::number(quint32(1) << k));
        m_flagTable->setCellWidget(k, 0, check);
        m_flagTable->setItem(k, 1, new QTableWidgetItem);
        m_flagChecks << check;
    }
    m_flagTable->resizeColumnToContents(0);
    m_flagTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    m_flagTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);

    QTableWidget *const tables[TableCount] = {m_entityTable, m_keyvalueTable, m_inputTable,
                                              m_outputTable, m_choiceTable,   m_flagTable,
                                              m_lineTable,   m_cylinderTable};
    std::copy(std::begin(tables), std::end(tables), m_tables);
    m_cellDelegate = new VFGDCellDelegate(this);
    for (QTableWidget *table : tables)
        table->setItemDelegate(m_cellDelegate);
}

QWidget *VFGD::buildLeftSide()
{
    m_includeList = makeList("includeList", QSizePolicy::MinimumExpanding);
    m_materialExcludeList = makeList("materialExcludeList", QSizePolicy::MinimumExpanding);

    m_visgroupTree = new QTreeWidget;
    m_visgroupTree->setObjectName(QStringLiteral("visgroupTree"));
    m_visgroupTree->setColumnCount(1);
    m_visgroupTree->setHeaderLabel(tr("Major Group / Minor Group / Entity"));
    m_visgroupTree->setEditTriggers(QAbstractItemView::DoubleClicked);
    m_visgroupTree->setSelectionMode(QAbstractItemView::NoSelection);
    m_visgroupTree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_visgroupTree->setSortingEnabled(false);
    m_visgroupTree->setUniformRowHeights(true);
    m_visgroupTree->header()->setSectionsClickable(false);
    m_visgroupTree->header()->setSectionsMovable(false);
    m_visgroupTree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_visgroupTree->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Ignored);

    m_propertiesSplitter = new QSplitter(Qt::Vertical);
    m_propertiesSplitter->addWidget(groupBox(tr("Includes"), m_includeList));
    m_propertiesSplitter->addWidget(groupBox(tr("Material Excludes"), m_materialExcludeList));
    m_propertiesSplitter->addWidget(groupBox(tr("Auto Visgroups"), m_visgroupTree));
    const int stretches[] = {1, 1, 2};
    for (int i = 0; i < 3; ++i)
        m_propertiesSplitter->setStretchFactor(i, stretches[i]);
    m_propertiesSplitter->setCollapsible(2, false);

    m_mainTabs = new QTabWidget;
    m_mainTabs->setObjectName(QStringLiteral("mainTabs"));
    m_mainTabs->setTabPosition(QTabWidget::North);
    m_mainTabs->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_mainTabs->addTab(m_entityTable, tr("Entities"));
    m_mainTabs->addTab(m_propertiesSplitter, tr("Properties"));
    return m_mainTabs;
}

QWidget *VFGD::buildRightPanel()
{
    m_descriptionEdit = namedWidget<QLineEdit>("descriptionEdit");
    m_iconSpriteEdit = namedWidget<QLineEdit>("iconSpriteEdit");
    m_studioCheck = bareCheckBox("studioCheck");
    m_studioEdit = namedWidget<QLineEdit>("studioEdit");
    m_studioPropEdit = namedWidget<QLineEdit>("studioPropEdit");
    m_colorCheck = bareCheckBox("colorCheck");
    m_colorButton = new QPushButton;
    m_colorButton->setObjectName(QStringLiteral("colorButton"));
    m_sizeEdit = namedWidget<QLineEdit>("sizeEdit");

    m_propertyTabs = new QTabWidget;
    m_propertyTabs->addTab(m_descriptionEdit, tr("Description"));
    m_propertyTabs->addTab(m_iconSpriteEdit, tr("Icon Sprite"));
    m_propertyTabs->addTab(checkedRow(m_studioCheck, m_studioEdit), tr("Studio"));
    m_propertyTabs->addTab(m_studioPropEdit, tr("Studio Prop"));
    m_propertyTabs->addTab(checkedRow(m_colorCheck, m_colorButton), tr("Color"));
    m_propertyTabs->addTab(m_sizeEdit, tr("Size"));
    m_propertyTabs->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    m_detailTabs = new QTabWidget;
    m_detailTabs->setObjectName(QStringLiteral("detailTabs"));
    m_detailTabs->addTab(m_keyvalueTable, tr("Keyvalues"));
    m_detailTabs->addTab(m_inputTable, tr("Inputs"));
    m_detailTabs->addTab(m_outputTable, tr("Outputs"));
    m_detailTabs->addTab(m_flagTable, tr("Flags"));
    m_detailTabs->addTab(m_lineTable, tr("Lines"));
    m_detailTabs->addTab(m_cylinderTable, tr("Cylinders"));
    m_detailTabs->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::MinimumExpanding);

    m_detailWidget = new QWidget;
    auto *detailLayout = new QVBoxLayout(m_detailWidget);
    detailLayout->setContentsMargins(0, 0, 0, 0);
    detailLayout->addWidget(m_detailTabs);
    detailLayout->addWidget(m_choiceTable);

    m_baseList = makeList("baseList", QSizePolicy::Preferred);
    m_lowerSplitter = new QSplitter(Qt::Horizontal);
    m_lowerSplitter->addWidget(groupBox(tr("Bases"), m_baseList));
    m_lowerSplitter->addWidget(m_detailWidget);
    m_lowerSplitter->setStretchFactor(0, 1);
    m_lowerSplitter->setStretchFactor(1, 3);
    m_lowerSplitter->setCollapsible(1, false);

    m_rightPanel = new QWidget;
    m_rightPanel->setObjectName(QStringLiteral("rightPanel"));
    auto *panelLayout = new QVBoxLayout(m_rightPanel);
    panelLayout->addWidget(m_propertyTabs);
    auto *lower = new QHBoxLayout;
    lower->addWidget(m_lowerSplitter);
    panelLayout->addLayout(lower);
    return m_rightPanel;
}

void VFGD::connectSignals()
{
    using T = QTableWidget;
    using L = QListWidget;
    connect(m_entityTable, &T::itemChanged, this, &VFGD::fgdEntityItemChanged);
    connect(m_entityTable, &T::itemClicked, this, &VFGD::fgdEntityItemClicked);
    connect(m_entityTable, &T::itemDoubleClicked, this, &VFGD::fgdEntityItemDoubleClicked);
    connect(m_entityTable, &T::customContextMenuRequested, this,
            &VFGD::fgdEntityContextMenuRequested);
    connect(m_entityTable, &VFGDTableWidget::upArrowPressed, this, &VFGD::fgdEntityUpArrowPressed);
    connect(m_entityTable, &VFGDTableWidget::downArrowPressed, this,
            &VFGD::fgdEntityDownArrowPressed);

    connect(m_includeList, &L::itemChanged, this, &VFGD::fgdIncludeItemChanged);
    connect(m_includeList, &L::customContextMenuRequested, this,
            &VFGD::fgdIncludeContextMenuRequested);
    connect(m_materialExcludeList, &L::itemChanged, this, &VFGD::fgdMaterialExcludeItemChanged);
    connect(m_materialExcludeList, &L::customContextMenuRequested, this,
            &VFGD::fgdMaterialExcludesContextMenuRequested);
    connect(m_baseList, &L::itemChanged, this, &VFGD::fgdBaseItemChanged);
    connect(m_baseList, &L::customContextMenuRequested, this, &VFGD::fgdBaseContextMenuRequested);
    connect(m_visgroupTree, &QTreeWidget::itemChanged, this, &VFGD::fgdVisgroupItemChanged);
    connect(m_visgroupTree, &QTreeWidget::customContextMenuRequested, this,
            &VFGD::fgdVisgroupContextMenuRequested);

    connect(m_descriptionEdit, &QLineEdit::editingFinished, this, &VFGD::fgdDescriptionChanged);
    connect(m_iconSpriteEdit, &QLineEdit::editingFinished, this, &VFGD::fgdIconspriteChanged);
    connect(m_studioCheck, &QCheckBox::stateChanged, this, &VFGD::fgdStudioCheckStateChanged);
    connect(m_studioEdit, &QLineEdit::editingFinished, this, &VFGD::fgdStudioChanged);
    connect(m_studioPropEdit, &QLineEdit::editingFinished, this, &VFGD::fgdStudioPropChanged);
    connect(m_colorCheck, &QCheckBox::stateChanged, this, &VFGD::fgdColorCheckStateChanged);
    connect(m_colorButton, &QPushButton::clicked, this, &VFGD::fgdColorButtonClicked);
    connect(m_sizeEdit, &QLineEdit::editingFinished, this, &VFGD::fgdSizeChanged);

    // The detail tables, all wired alike.
    struct Slots
    {
        QTableWidget *table;
        void (VFGD::*changed)(QTableWidgetItem *);
        void (VFGD::*clicked)(QTableWidgetItem *);
        void (VFGD::*doubleClicked)(QTableWidgetItem *);
        void (VFGD::*menu)(const QPoint &);
    };
    const Slots details[] = {
        {m_keyvalueTable, &VFGD::fgdKeyvalueItemChanged, &VFGD::fgdKeyvalueItemClicked,
         &VFGD::fgdKeyvalueItemDoubleClicked, &VFGD::fgdKeyvalueContextMenuRequested},
        {m_inputTable, &VFGD::fgdInputItemChanged, &VFGD::fgdInputItemClicked,
         &VFGD::fgdInputItemDoubleClicked, &VFGD::fgdInputContextMenuRequested},
        {m_outputTable, &VFGD::fgdOutputItemChanged, &VFGD::fgdOutputItemClicked,
         &VFGD::fgdOutputItemDoubleClicked, &VFGD::fgdOutputContextMenuRequested},
        {m_lineTable, &VFGD::fgdLineItemChanged, &VFGD::fgdLineItemClicked,
         &VFGD::fgdLineItemDoubleClicked, &VFGD::fgdLineContextMenuRequested},
        {m_cylinderTable, &VFGD::fgdCylinderItemChanged, &VFGD::fgdCylinderItemClicked,
         &VFGD::fgdCylinderItemDoubleClicked, &VFGD::fgdCylinderContextMenuRequested},
        {m_choiceTable, &VFGD::fgdChoicesItemChanged, &VFGD::fgdChoicesItemClicked,
         &VFGD::fgdChoicesItemDoubleClicked, &VFGD::fgdChoicesContextMenuRequested},
        {m_flagTable, &VFGD::fgdFlagItemChanged, &VFGD::fgdFlagItemClicked,
         &VFGD::fgdFlagItemDoubleClicked, nullptr},
    };
    for (const Slots &s : details) {
        connect(s.table, &T::itemChanged, this, s.changed);
        connect(s.table, &T::itemClicked, this, s.clicked);
        connect(s.table, &T::itemDoubleClicked, this, s.doubleClicked);
        if (s.menu)
            connect(s.table, &T::customContextMenuRequested, this, s.menu);
    }
    for (QCheckBox *check : qAsConst(m_flagChecks))
        connect(check, &QCheckBox::clicked, this, &VFGD::fgdFlagToggled);
}
