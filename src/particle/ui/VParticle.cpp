#include "VParticle.h"

#include "CConfig.h"
#include "CFilePCF.h"
#include "CPath.h"
#include "CPrompt.h"
#include "MainWindowDialogs.h"
#include "MainWindowTools.h"
#include "PCFDelegate.h"
#include "PCFEditing.h"
#include "PCFExchange.h"
#include "PCFFormatChoice.h"
#include "QListDialog.h"
#include "VParticleAddAttributeDialog.h"
#include "VParticleDictionaryView.h"
#include "VParticleTexts.h"
#include "VParticleTreeRows.h"
#include "VParticleTreeWidgetItem.h"
#include "uifunctions.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDebug>
#include <QHeaderView>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollBar>
#include <QTreeWidget>

using VParticleText::latin1;

namespace {

const char *const BlankIcon = ":/resources/icons/blank";
const char *const TickIcon = ":/resources/icons/tick";
constexpr int NameColumnWidth = 212;

// The Name column's width that shows every name of the shipped templates
// whole, indentation included: measured on a hidden tree laid out like
// `tree`, with every row open, once for the configuration's templates.
int templateNameWidth(const QTreeWidget *tree)
{
    const QList<CFilePCF *> &templates = CConfig::instance()->particleTemplates;
    static QList<CFilePCF *> measured;
    static int width = 0;
    if (!measured.isEmpty() && measured == templates)
        return width;
    measured = templates;
    width = 0;
    struct Probe : QTreeWidget
    {
        using QTreeWidget::sizeHintForColumn;
    } probe;
    probe.setColumnCount(tree->columnCount());
    probe.setFont(tree->font());
    probe.setIndentation(tree->indentation());
    VParticleTreeRows rows(&probe);
    for (const CFilePCF *document : templates) {
        if (!document)
            continue;
        rows.fill(document);
        probe.expandAll();
        width = qMax(width, probe.sizeHintForColumn(0));
    }
    // The rows own wrappers of array items: they go before the rows' builder.
    probe.clear();
    return width;
}

} // namespace

VParticle::VParticle(QWidget *mainWindowWidget)
    : mainWindow(mainWindowWidget)
{
    buildWindow();
}

VParticle::VParticle(QWidget *mainWindowWidget, const QString &path)
    : mainWindow(mainWindowWidget)
{
    buildWindow();
    openFile(path);
}

VParticle::VParticle(QWidget *mainWindowWidget, CFilePCF *newDocument)
    : mainWindow(mainWindowWidget)
{
    buildWindow();
    setDocument(newDocument);
}

VParticle::~VParticle()
{
    // Rows may point into the document: they go first.
    tree->clear();
    m_contextMenu->clear();
    delete m_rows;
    delete document;
    delete delegate;
}

QSize VParticle::sizeHint() const
{
    const int valueWidth = 240;
    const int frame = tree->verticalScrollBar()->sizeHint().width() + 2 * tree->frameWidth();
    return QMainWindow::sizeHint().expandedTo(
        QSize(tree->columnWidth(0) + tree->columnWidth(1) + valueWidth + frame, 480));
}

void VParticle::buildWindow()
{
    delegate = new PCFDelegate;

    tree = new QTreeWidget(this);
    tree->setObjectName(QStringLiteral("particleTree"));
    tree->setColumnCount(3);
    // The user may widen or narrow every column.
    tree->header()->setSectionResizeMode(QHeaderView::Interactive);
    tree->setColumnWidth(0, qMax(NameColumnWidth, templateNameWidth(tree)));
    // Wide enough for the longest type name, so that "ELEMENT_ARRAY" and the
    // other array types are not cut short.
    const int typeWidth = tree->fontMetrics().horizontalAdvance(QStringLiteral("QUATERNION_ARRAY"));
    tree->setColumnWidth(1, typeWidth + 16);
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    tree->setSortingEnabled(false);
    tree->setUniformRowHeights(true);
    tree->header()->setSectionsClickable(false);
    tree->header()->setSectionsMovable(false);
    tree->setSelectionMode(QAbstractItemView::NoSelection);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setHeaderLabels({tr("Name"), tr("Data Type"), tr("Value")});
    connect(tree, &QTreeWidget::itemClicked, this, &VParticle::itemClicked);
    connect(tree, &QTreeWidget::currentItemChanged, this, &VParticle::currentItemChanged);
    connect(tree, &QTreeWidget::itemChanged, this, &VParticle::itemChanged);
    connect(tree, &QWidget::customContextMenuRequested, this, &VParticle::showContextMenu);
    tree->setEnabled(false);
    m_rows = new VParticleTreeRows(tree);

    buildMenus();
    buildContextMenu();

    addAttributeDialog = new VParticleAddAttributeDialog(this);
    listDialog = new QListDialog(this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

    setCentralWidget(tree);
    setMinimumSize(600, 400);
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/particles")));
    setWindowTitle(tr("Particle Editor"));
    setAttribute(Qt::WA_DeleteOnClose);
}

QAction *VParticle::menuAction(QMenu *menu, const QString &label, const QString &icon,
                               void (VParticle::*slot)())
{
    QAction *action = menu->addAction(QIcon(icon), label);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

void VParticle::buildMenus()
{
    menuFile = menuBar()->addMenu(tr("File"));
    actionNew = menuAction(menuFile, tr("New"), QStringLiteral(":/resources/icons/page_white_add"),
                           &VParticle::particleNew);
    actionOpen =
        menuAction(menuFile, tr("Open..."), QStringLiteral(":/resources/icons/folder_explore"),
                   &VParticle::particleOpen);
    actionSave = menuAction(menuFile, tr("Save"), QStringLiteral(":/resources/icons/disk"),
                            &VParticle::particleSave);
    actionSave->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    actionSaveAs =
        menuAction(menuFile, tr("Save As..."), QStringLiteral(":/resources/icons/page_white_disk"),
                   &VParticle::particleSaveAs);
    actionSaveCopyAs = menuAction(menuFile, tr("Save Copy As..."),
                                  QStringLiteral(":/resources/icons/page_white_disk_add"),
                                  &VParticle::particleSaveCopyAs);
    menuFile->addSeparator();
    actionImport =
        menuAction(menuFile, tr("Import..."), QStringLiteral(":/resources/icons/page_white_get"),
                   &VParticle::particleImport);
    actionExport =
        menuAction(menuFile, tr("Export..."), QStringLiteral(":/resources/icons/page_white_put"),
                   &VParticle::particleExport);
    menuFile->addSeparator();
    actionExit = menuFile->addAction(QIcon(QStringLiteral(":/resources/icons/cross")), tr("Exit"));
    connect(actionExit, &QAction::triggered, this, &QWidget::close);
    for (QAction *action : {actionSave, actionSaveAs, actionSaveCopyAs, actionImport, actionExport})
        action->setEnabled(false);

    menuTools = menuBar()->addMenu(tr("Tools"));
    menuGuid =
        menuTools->addMenu(QIcon(QStringLiteral(":/resources/icons_fugue/icons/fingerprint")),
                           tr("Ensure GUID Uniqueness"));
    actionGuidSingle = menuAction(menuGuid, tr("(N/A)"), latin1(BlankIcon),
                                  &VParticle::particleEnsureUniqueGUIDsingle);
    actionGuidSingle->setEnabled(false);
    actionGuidMultiple = menuAction(menuGuid, tr("Multiple files..."), latin1(BlankIcon),
                                    &VParticle::particleEnsureUniqueGUIDmultiple);
    actionFindSystem =
        menuAction(menuTools, tr("Find System..."), QStringLiteral(":/resources/icons/magnifier"),
                   &VParticle::particleFindSystem);
    actionMapManifest = menuAction(menuTools, tr("Generate Map Manifest"),
                                   QStringLiteral(":/resources/icons/database_lightning"),
                                   &VParticle::particleGenerateMapManifest);
    actionMassFormat = menuAction(menuTools, tr("Mass Format..."),
                                  QStringLiteral(":/resources/icons/page_white_stack"),
                                  &VParticle::particleMassFormat);
    actionStringDictionary = menuAction(menuTools, tr("View String Dictionary"),
                                        QStringLiteral(":/resources/icons/book"),
                                        &VParticle::particleShowStringDictionary);
    actionStringDictionary->setEnabled(false);
    menuTools->addSeparator();
    actionReplotTree =
        menuAction(menuTools, tr("Replot Tree"),
                   QStringLiteral(":/resources/icons/chart_organisation"), &VParticle::replotTree);
    actionReplotTree->setEnabled(false);

    menuFormat = menuBar()->addMenu(tr("Format"));
    const QStringList names = pcfFormatNames();
    void (VParticle::*formatSlots[3])() = {&VParticle::formatOrangeBox, &VParticle::formatL4D,
                                           &VParticle::formatL4D2};
    for (int i = 0; i < 3; ++i) {
        actionFormat[i] = menuAction(menuFormat, names[i], latin1(BlankIcon), formatSlots[i]);
        actionFormat[i]->setEnabled(false);
    }
}

void VParticle::buildContextMenu()
{
    m_contextMenu = new QMenu(this);
    auto entry = [this](const QString &label, const char *icon, void (VParticle::*slot)()) {
        auto *action = new QAction(QIcon(latin1(icon)), label, this);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    contextAddAttributeAction = entry(tr("Add Attribute"), ":/resources/icons/tag_blue_add",
                                      &VParticle::contextAddAttribute);
    contextRenameAttributeAction = entry(tr("Rename Attribute"), ":/resources/icons/tag_blue_edit",
                                         &VParticle::contextRenameAttribute);
    contextFromArrayAction =
        entry(tr("From Array"), ":/resources/icons/sitemap_inverse", &VParticle::contextFromArray);
    contextToArrayAction =
        entry(tr("To Array"), ":/resources/icons/sitemap", &VParticle::contextToArray);
    contextScrambleGUIDAction = entry(tr("Scramble GUID"), ":/resources/icons/egg_scrambled",
                                      &VParticle::contextScrambleGUID);
    contextDeleteAction =
        entry(tr("Delete"), ":/resources/icons/tag_blue_delete", &VParticle::contextDelete);
}

void VParticle::setDocument(CFilePCF *newDocument)
{
    if (!newDocument || newDocument == document)
        return;
    if (document) {
        openElsewhere(newDocument);
        return;
    }
    document = newDocument;
    refreshDocumentState();
}

QString VParticle::displayName() const
{
    if (documentPath.isEmpty())
        return tr("Untitled");
    return CPath(documentPath, true).fileName(false);
}

void VParticle::refreshDocumentState()
{
    fillTree();
    for (QAction *action : {actionSave, actionSaveAs, actionSaveCopyAs, actionImport, actionExport,
                            actionGuidSingle, actionStringDictionary, actionReplotTree,
                            actionFormat[0], actionFormat[1], actionFormat[2]})
        action->setEnabled(true);
    tree->setEnabled(true);
    const QString name = displayName();
    actionGuidSingle->setText(name);
    setWindowTitle(name + QStringLiteral("[*]"));
    showFormatTicks();
}

void VParticle::showFormatTicks()
{
    for (int i = 0; i < 3; ++i) {
        const bool current = document && document->format == i + 1;
        actionFormat[i]->setIcon(QIcon(latin1(current ? TickIcon : BlankIcon)));
    }
}

bool VParticle::openFile(const QString &path)
{
    if (path.isEmpty())
        return true;
    if (!documentPath.isEmpty() || document) {
        openElsewhere(path);
        return true;
    }
    documentPath = path;
    auto *loaded = new CFilePCF;
    if (delegate->read(path, loaded)) {
        document = loaded;
        refreshDocumentState();
        return true;
    }
    documentPath.clear();
    delete loaded;
    warn(delegate->error());
    return false;
}

void VParticle::openElsewhere(const QString &path)
{
    if (MainWindowTools::openIn(mainWindow, "showVParticle", Q_ARG(QString, path)))
        return;
    // Without a main window the further editor stands on its own.
    auto *editor = new VParticle(nullptr, path);
    editor->show();
}

void VParticle::openElsewhere(CFilePCF *otherDocument)
{
    if (MainWindowTools::openIn(mainWindow, "showVParticle", Q_ARG(CFilePCF *, otherDocument)))
        return;
    auto *editor = new VParticle(nullptr, otherDocument);
    editor->show();
}

void VParticle::warn(const QString &message)
{
    CPrompt::warning(this, windowTitle(), message, QMessageBox::Ok);
}

void VParticle::reportLosses(const PCFConversionReport &report, const QString &subject)
{
    for (const QString &line : conversionReportLines(report, subject))
        qWarning().noquote() << line;
}

void VParticle::particleNew()
{
    const int format = choosePcfFormat(this, tr("New Particle"));
    if (format > 0)
        setDocument(newDmxRoot(format));
}

void VParticle::particleOpen()
{
    openFile(
        MainWindowDialogs::openFileName(nullptr, tr("Open PCF"), latin1(VParticleText::PcfFilter)));
}

bool VParticle::saveDocument()
{
    if (!document)
        return false;
    if (documentPath.isEmpty())
        return saveDocumentAs();
    if (!delegate->write(documentPath, document, document->format)) {
        warn(delegate->error());
        return false;
    }
    setWindowModified(false);
    return true;
}

bool VParticle::saveDocumentAs()
{
    if (!document)
        return false;
    const QString path =
        MainWindowDialogs::saveFileName(nullptr, tr("Save PCF"), latin1(VParticleText::PcfFilter));
    if (path.isEmpty())
        return false;
    // The window takes the new name only once the file is really there.
    const QString previous = documentPath;
    documentPath = path;
    if (!saveDocument()) {
        documentPath = previous;
        return false;
    }
    const QString name = displayName();
    actionGuidSingle->setText(name);
    setWindowTitle(name + QStringLiteral("[*]"));
    setWindowModified(false);
    return true;
}

void VParticle::particleSave()
{
    saveDocument();
}

void VParticle::particleSaveAs()
{
    saveDocumentAs();
}

void VParticle::particleSaveCopyAs()
{
    if (!document)
        return;
    const QString path =
        MainWindowDialogs::saveFileName(nullptr, tr("Save PCF"), latin1(VParticleText::PcfFilter));
    if (!path.isEmpty() && !delegate->write(path, document, document->format))
        warn(delegate->error());
}

void VParticle::particleShowStringDictionary()
{
    if (!document)
        return;
    VParticleDictionaryView view(this, document);
    view.execute();
}

const CFilePCF *VParticle::templateDocument(int formatCode)
{
    if (formatCode < 1)
        return nullptr;
    return CConfig::instance()->particleTemplates.value(formatCode);
}

void VParticle::convertFormat(int formatCode)
{
    if (!document)
        return;
    const CFilePCF *templates = templateDocument(formatCode);
    const DMXElement *templateSystem =
        templates ? templates->findParticleSystem(latin1(PCFEditing::Names::DefaultSystem))
                  : nullptr;
    // The rows point into what the conversion frees: they go first.
    tree->clear();
    contextItem = contextParent = nullptr;
    PCFConversionReport losses;
    const QString error =
        delegate->convert(document, formatCode, templateSystem, &losses,
                          PCFExchange::keptList(CConfig::instance()->particleKept, formatCode));
    if (!error.isNull()) {
        fillTree();
        warn(error);
        return;
    }
    reportLosses(losses, displayName());
    document->format = formatCode;
    showFormatTicks();
    fillTree();
    setWindowModified(true);
}

void VParticle::formatOrangeBox()
{
    convertFormat(1);
}

void VParticle::formatL4D()
{
    convertFormat(2);
}

void VParticle::formatL4D2()
{
    convertFormat(3);
}

void VParticle::replotTree()
{
    if (document)
        fillTree();
}

void VParticle::fillTree()
{
    contextItem = contextParent = nullptr;
    m_rows->fill(document);
}

VParticleTreeWidgetItem *VParticle::addAttributeRow(QTreeWidgetItem *parent,
                                                    DMXAttribute *attribute, bool ownsAttribute)
{
    return m_rows->addAttributeRow(parent, attribute, ownsAttribute);
}

void VParticle::addArrayItemRows(VParticleTreeWidgetItem *row, DMXAttribute *array)
{
    m_rows->addArrayItemRows(row, array);
}

void VParticle::itemClicked(QTreeWidgetItem *item, int column)
{
    auto *row = static_cast<VParticleTreeWidgetItem *>(item);
    if (!row)
        return;
    const uint type = row->attributeType();
    if (column == 2 && !row->editorOpen && type >= ATTRIBUTE_INTEGER && type <= ATTRIBUTE_MATRIX) {
        row->editArmed = true;
        row->editorOpen = true;
        tree->editItem(row, 2);
        return;
    }
    row->editorOpen = false;
    tree->closePersistentEditor(row, column);
}

void VParticle::currentItemChanged(QTreeWidgetItem *, QTreeWidgetItem *previous)
{
    if (previous)
        static_cast<VParticleTreeWidgetItem *>(previous)->editorOpen = false;
}

void VParticle::itemChanged(QTreeWidgetItem *item, int column)
{
    auto *row = static_cast<VParticleTreeWidgetItem *>(item);
    if (!row || !row->editArmed)
        return;
    row->editArmed = false;
    if (column != 2 || !row->attribute)
        return;
    DMXAttribute *attribute = row->attribute;
    const QString error = attribute->setValueFromString(row->text(2));
    // Every row of the same value: the attribute's own rows and the wrappers of
    // the same array item under other occurrences of the array.
    const QList<VParticleTreeWidgetItem *> shown = m_rows->rowsOfValue(attribute->value());
    for (VParticleTreeWidgetItem *other : shown)
        other->showValue();
    row->showValue();
    if (error.isNull())
        setWindowModified(true);
}

void VParticle::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!isWindowModified())
        return;
    const int answer = askToSaveChanges(this);
    if (answer == QMessageBox::Save) {
        // A failed or cancelled save keeps the window, and the changes, open.
        if (!saveDocument())
            event->ignore();
    } else if (answer != QMessageBox::Discard) {
        event->ignore();
    }
}

void VParticle::showContextMenu(const QPoint &point)
{
    auto *row = static_cast<VParticleTreeWidgetItem *>(tree->itemAt(point));
    if (!row)
        return;
    prepareContextMenu(row);
    m_contextMenu->popup(QCursor::pos());
}
