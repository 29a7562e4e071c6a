#include "VENTITY.h"

#include "CPrompt.h"
#include "EntitySearch.h"
#include "IMainWindow.h"
#include "MainWindowTools.h"
#include "VEntityListWidgetItem.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace S = EntitySearch;

namespace {

QIcon icon(const QString &name)
{
    return QIcon(QStringLiteral(":/resources/icons/") + name);
}

// The group boxes' layouts sit close under their titles.
void setBoxMargins(QLayout *layout)
{
    layout->setContentsMargins(3, 0, 3, 3);
}

} // namespace

VENTITY::VENTITY(QWidget *owner, const QString &path)
    : m_owner(owner)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Entity Lump Editor"));
    setWindowIcon(icon(QStringLiteral("ventity")));
    setMinimumSize(600, 400);
    setContentsMargins(0, 0, 0, 0);

    createMenus();
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setContentsMargins(0, 0, 0, 0);
    m_splitter->setChildrenCollapsible(false);
    createEntityPanel();
    createKeyvaluePanel();
    m_splitter->addWidget(m_entityPanel);
    m_splitter->addWidget(m_keyvaluePanel);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 3);
    setCentralWidget(m_splitter);

    for (int flag : {S::ClassName, S::Key, S::Value, S::Substring})
        toggleFilter(flag);
    openFile(path);
}

VENTITY::~VENTITY()
{
    delete m_filterMenu;
}

QAction *VENTITY::addAction(QMenu *menu, const QString &text, const QString &iconName,
                            const QString &name)
{
    QAction *action = menu->addAction(icon(iconName), text);
    action->setObjectName(name);
    return action;
}

void VENTITY::createMenus()
{
    m_fileMenu = menuBar()->addMenu(QStringLiteral("File"));
    m_openAction = addAction(m_fileMenu, QStringLiteral("Open..."),
                             QStringLiteral("folder_explore"), QStringLiteral("openAction"));
    m_saveAction = addAction(m_fileMenu, QStringLiteral("Save"), QStringLiteral("disk"),
                             QStringLiteral("saveAction"));
    m_saveAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    m_fileMenu->addSeparator();
    m_importMenu =
        m_fileMenu->addMenu(icon(QStringLiteral("page_white_get")), QStringLiteral("Import..."));
    m_importBspAction = addAction(m_importMenu, QStringLiteral("From BSP ..."),
                                  QStringLiteral("icon_bsp"), QStringLiteral("importBspAction"));
    m_importLmpAction = addAction(m_importMenu, QStringLiteral("From LMP ..."),
                                  QStringLiteral("icon_lmp"), QStringLiteral("importLmpAction"));
    m_importVmfAction = addAction(m_importMenu, QStringLiteral("From VMF ..."),
                                  QStringLiteral("icon_vmf"), QStringLiteral("importVmfAction"));
    m_exportMenu =
        m_fileMenu->addMenu(icon(QStringLiteral("page_white_put")), QStringLiteral("Export..."));
    m_exportLmpAction = addAction(m_exportMenu, QStringLiteral("As LMP ..."),
                                  QStringLiteral("icon_lmp"), QStringLiteral("exportLmpAction"));
    m_exportVmfAction = addAction(m_exportMenu, QStringLiteral("As VMF ..."),
                                  QStringLiteral("icon_vmf"), QStringLiteral("exportVmfAction"));
    m_fileMenu->addSeparator();
    m_closeAction = addAction(m_fileMenu, QStringLiteral("Close"), QStringLiteral("cross"),
                              QStringLiteral("closeAction"));

    m_advancedMenu = menuBar()->addMenu(QStringLiteral("Advanced Filter"));
    m_boxAction = addAction(m_advancedMenu, QStringLiteral("Find In Rectangular Prism..."),
                            QStringLiteral("cube_wireframe"), QStringLiteral("boxAction"));
    m_sphereAction = addAction(m_advancedMenu, QStringLiteral("Find In Sphere..."),
                               QStringLiteral("sphere"), QStringLiteral("sphereAction"));

    // Enabled once a file is open.
    for (QAction *action : {m_saveAction, m_importMenu->menuAction(), m_importBspAction,
                            m_importLmpAction, m_importVmfAction, m_exportMenu->menuAction(),
                            m_exportLmpAction, m_exportVmfAction, m_boxAction, m_sphereAction})
        action->setEnabled(false);

    connect(m_openAction, &QAction::triggered, this, &VENTITY::fileOpen);
    connect(m_saveAction, &QAction::triggered, this, &VENTITY::fileSave);
    connect(m_importBspAction, &QAction::triggered, this, &VENTITY::importFromBSP);
    connect(m_importLmpAction, &QAction::triggered, this, &VENTITY::importFromLMP);
    connect(m_importVmfAction, &QAction::triggered, this, &VENTITY::importFromVMF);
    connect(m_exportLmpAction, &QAction::triggered, this, &VENTITY::exportAsLMP);
    connect(m_exportVmfAction, &QAction::triggered, this, &VENTITY::exportAsVMF);
    connect(m_closeAction, &QAction::triggered, this, &QWidget::close);
    connect(m_boxAction, &QAction::triggered, this, &VENTITY::findEntitiesInRectangularPrism);
    connect(m_sphereAction, &QAction::triggered, this, &VENTITY::findEntitiesInSphere);

    struct Option
    {
        const char *text;
        void (VENTITY::*slot)();
    };
    static const Option options[] = {
        {"Class Name", &VENTITY::filterToggleClassname},
        {"Key", &VENTITY::filterToggleKey},
        {"Value", &VENTITY::filterToggleValue},
        {"Case Sensitive", &VENTITY::filterToggleCaseSensitive},
        {"Substring", &VENTITY::filterToggleSubstring},
        {"Ignore Hidden", &VENTITY::filterToggleIgnoreHidden},
        {"Invert Results", &VENTITY::filterToggleInvertResults},
    };
    m_filterMenu = new QMenu;
    for (int i = 0; i < int(m_filterActions.size()); ++i) {
        if (i == 3)
            m_filterMenu->addSeparator();
        m_filterActions[i] = m_filterMenu->addAction(QString::fromLatin1(options[i].text));
        m_filterActions[i]->setIcon(icon(QStringLiteral("cross")));
        connect(m_filterActions[i], &QAction::triggered, this, options[i].slot);
    }
}

QPushButton *VENTITY::addButton(QGridLayout *layout, const QString &text, const QString &name,
                                int column)
{
    auto *button = new QPushButton(text);
    button->setObjectName(name);
    button->setEnabled(false);
    layout->addWidget(button, 0, column);
    return button;
}

void VENTITY::createEntityPanel()
{
    m_entityPanel = new QWidget;
    m_entityPanel->setContentsMargins(0, 0, 0, 0);
    m_entityLayout = new QVBoxLayout(m_entityPanel);
    m_entityLayout->setContentsMargins(0, 0, 0, 0);

    m_entityList = new QListWidget;
    m_entityList->setObjectName(QStringLiteral("entityList"));
    m_entityList->setMovement(QListView::Static);
    m_entityList->setUniformItemSizes(true);
    m_entityList->setWordWrap(false);
    m_entityList->setWrapping(false);
    m_entityList->setTextElideMode(Qt::ElideNone);
    m_entityList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_entityList->setMinimumWidth(250);
    m_entityLayout->addWidget(m_entityList);

    m_filterBox = new QGroupBox(QStringLiteral("Filter Options (0/0)"));
    m_filterBox->setObjectName(QStringLiteral("filterBox"));
    m_filterLayout = new QHBoxLayout(m_filterBox);
    setBoxMargins(m_filterLayout);
    m_filterEdit = new QLineEdit;
    m_filterEdit->setObjectName(QStringLiteral("filterEdit"));
    m_filterEdit->setEnabled(false);
    m_filterButton = new QPushButton(QStringLiteral("Filter"));
    m_filterButton->setObjectName(QStringLiteral("filterButton"));
    m_filterButton->setMenu(m_filterMenu);
    m_filterButton->setEnabled(false);
    m_filterLayout->addWidget(m_filterEdit);
    m_filterLayout->addWidget(m_filterButton);
    m_entityLayout->addWidget(m_filterBox);

    m_entityOptions = new QGroupBox(QStringLiteral("Entity Options"));
    m_entityOptionsLayout = new QGridLayout(m_entityOptions);
    setBoxMargins(m_entityOptionsLayout);
    m_entityAddButton =
        addButton(m_entityOptionsLayout, QStringLiteral("Add"), QStringLiteral("entityAdd"), 0);
    m_entityCopyButton =
        addButton(m_entityOptionsLayout, QStringLiteral("Copy"), QStringLiteral("entityCopy"), 1);
    m_entityDeleteButton = addButton(m_entityOptionsLayout, QStringLiteral("Delete"),
                                     QStringLiteral("entityDelete"), 2);
    m_entityLayout->addWidget(m_entityOptions);

    connect(m_entityList, &QListWidget::currentRowChanged, this, &VENTITY::entityListRowChanged);
    connect(m_filterEdit, &QLineEdit::returnPressed, this, &VENTITY::filterEntities);
    connect(m_filterButton, &QPushButton::clicked, this, &VENTITY::filterEntities);
    connect(m_entityAddButton, &QPushButton::clicked, this, &VENTITY::entityAdd);
    connect(m_entityCopyButton, &QPushButton::clicked, this, &VENTITY::entityCopy);
    connect(m_entityDeleteButton, &QPushButton::clicked, this, &VENTITY::entityDelete);
}

void VENTITY::createKeyvaluePanel()
{
    m_keyvaluePanel = new QWidget;
    m_keyvaluePanel->setContentsMargins(0, 0, 0, 0);
    m_keyvalueLayout = new QVBoxLayout(m_keyvaluePanel);
    m_keyvalueLayout->setContentsMargins(0, 0, 0, 0);

    m_keyvalueTable = new QTableWidget(0, 2);
    m_keyvalueTable->setObjectName(QStringLiteral("keyvalueTable"));
    m_keyvalueTable->setHorizontalHeaderLabels({QStringLiteral("Key"), QStringLiteral("Value")});
    QHeaderView *header = m_keyvalueTable->horizontalHeader();
    header->setSectionsClickable(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    header->setMinimumSectionSize(112);
    header->resizeSection(0, 112);
    m_keyvalueTable->verticalHeader()->hide();
    m_keyvalueTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_keyvalueTable->setSelectionMode(QAbstractItemView::SingleSelection);
    // Editing starts only from a double click, which the window follows.
    m_keyvalueTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_keyvalueTable->setDragDropMode(QAbstractItemView::NoDragDrop);
    m_keyvalueTable->setTextElideMode(Qt::ElideRight);
    m_keyvalueLayout->addWidget(m_keyvalueTable);

    m_keyvalueOptions = new QGroupBox(QStringLiteral("Keyvalue Options"));
    m_keyvalueOptionsLayout = new QGridLayout(m_keyvalueOptions);
    setBoxMargins(m_keyvalueOptionsLayout);
    m_keyvalueAddButton =
        addButton(m_keyvalueOptionsLayout, QStringLiteral("Add"), QStringLiteral("keyvalueAdd"), 0);
    m_keyvalueCopyButton = addButton(m_keyvalueOptionsLayout, QStringLiteral("Copy"),
                                     QStringLiteral("keyvalueCopy"), 1);
    m_keyvalueDeleteButton = addButton(m_keyvalueOptionsLayout, QStringLiteral("Delete"),
                                       QStringLiteral("keyvalueDelete"), 2);
    m_keyvalueLayout->addWidget(m_keyvalueOptions);

    connect(m_keyvalueTable, &QTableWidget::currentItemChanged, this,
            &VENTITY::keyvalueTableCurrentItemChanged);
    connect(m_keyvalueTable, &QTableWidget::itemDoubleClicked, this,
            &VENTITY::keyvalueTableItemDoubleClicked);
    connect(m_keyvalueTable, &QTableWidget::itemChanged, this, &VENTITY::keyvalueTableItemChanged);
    connect(m_keyvalueTable, &QTableWidget::itemSelectionChanged, this,
            &VENTITY::keyvalueTableItemSelectionChanged);
    connect(m_keyvalueAddButton, &QPushButton::clicked, this, &VENTITY::keyvalueAdd);
    connect(m_keyvalueCopyButton, &QPushButton::clicked, this, &VENTITY::keyvalueCopy);
    connect(m_keyvalueDeleteButton, &QPushButton::clicked, this, &VENTITY::keyvalueDelete);
}

void VENTITY::warn(const QString &text)
{
    CPrompt::warning(this, windowTitle(), text, QMessageBox::Ok);
}

void VENTITY::openElsewhere(const QString &path)
{
    QWidget *main = m_owner;
    if (!main && IMainWindow::instance())
        main = IMainWindow::instance()->mainWindowWidget();
    if (MainWindowTools::openIn(main, "showVEntity", Q_ARG(QString, path)))
        return;
    // Without a main window the further editor stands on its own.
    auto *window = new VENTITY(nullptr, path);
    window->show();
}

void VENTITY::closeEvent(QCloseEvent *event)
{
    if (!isWindowModified()) {
        event->accept();
        return;
    }
    QMessageBox box(QMessageBox::Question, windowTitle(), QStringLiteral("Data has been modified."),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setInformativeText(QStringLiteral("Do you want to save your changes?"));
    box.setDefaultButton(QMessageBox::Save);
    switch (CPrompt::exec(&box)) {
    case QMessageBox::Save:
        // A failed save keeps the window, and the changes, open.
        if (fileSave())
            event->accept();
        else
            event->ignore();
        break;
    case QMessageBox::Discard:
        event->accept();
        break;
    default:
        event->ignore();
        break;
    }
}
