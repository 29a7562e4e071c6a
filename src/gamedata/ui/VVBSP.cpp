#include "VVBSP.h"

#include "CFileVBSP.h"
#include "CPath.h"
#include "CPrompt.h"
#include "CSaveFile.h"
#include "GamedataErrors.h"
#include "MainWindowDialogs.h"
#include "MainWindowTools.h"
#include "VVBSPPanels.h"
#include "VVBSPTexts.h"
#include "VVBSPTreeWidget.h"
#include "VVBSPTreeWidgetItem.h"
#include "VbspFile.h"
#include "functions.h"
#include "uifunctions.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QVBoxLayout>

using namespace VVBSPText;

namespace {

QIcon icon(const char *name)
{
    return QIcon(QStringLiteral(":/resources/icons/") + QLatin1String(name));
}

QString quoted(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}

std::string encodedPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

QString decodedPath(const std::string &path)
{
    return QFile::decodeName(path.c_str());
}

// The sheet size of the first prop of the first group that has props.
bool firstSheetSize(const CFileVBSP &document, int32_t &size)
{
    for (const CDetailType *type : document.types) {
        if (!type)
            continue;
        for (const CDetailGroup *group : type->groups) {
            if (group && !group->props.empty() && group->props.front()) {
                size = group->props.front()->textureDimension;
                return true;
            }
        }
    }
    return false;
}

} // namespace

VVBSP::VVBSP()
{
    initialize();
}

VVBSP::VVBSP(const QString &path)
{
    initialize();
    openFile(path);
}

VVBSP::VVBSP(CFileVBSP *document)
{
    initialize();
    if (document)
        setDocument(document);
}

VVBSP::~VVBSP()
{
    hide();
    // The tree goes first, so that nothing it signals on its way out reaches
    // records that are already freed.
    m_tree->disconnect(this);
    delete m_tree;
    m_tree = nullptr;
    m_currentType = nullptr;
    m_currentGroup = nullptr;
    m_currentProp = nullptr;
    delete m_document;
    clearClipboard();
    delete m_panels;
}

void VVBSP::initialize()
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QLatin1String(Title));
    setWindowIcon(icon("icon_vbsp"));

    m_tree = new VVBSPTreeWidget;
    m_tree->setObjectName(QStringLiteral("detailTree"));
    m_tree->header()->hide();
    m_tree->setUniformRowHeights(true);
    m_tree->setSortingEnabled(false);
    m_tree->setColumnCount(1);
    m_tree->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setExpandsOnDoubleClick(false);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setEnabled(false);

    m_panels = new VVBSPPanels;
    auto *left = new QWidget;
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(m_tree);
    auto *boxes = new QHBoxLayout;
    boxes->addWidget(m_panels->typeBox);
    boxes->addWidget(m_panels->groupBox);
    leftLayout->addLayout(boxes);

    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(left);
    splitter->addWidget(m_panels->propBox);
    setCentralWidget(splitter);

    buildMenus();
    buildContextActions();
    connect(m_tree, &QWidget::customContextMenuRequested, this, &VVBSP::showContextMenu);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &VVBSP::itemDoubleClicked);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &VVBSP::currentItemChanged);
    connect(m_tree, &VVBSPTreeWidget::keyUpPressed, this, &VVBSP::moveItemUp);
    connect(m_tree, &VVBSPTreeWidget::keyDownPressed, this, &VVBSP::moveItemDown);
    connectPanels();
}

void VVBSP::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("File"));
    m_actionNew = file->addAction(icon("page_white_add"), QStringLiteral("New"));
    m_actionOpen = file->addAction(icon("folder_explore"), QStringLiteral("Open..."));
    m_actionSave = file->addAction(icon("disk"), QStringLiteral("Save"));
    m_actionSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_actionSaveAs = file->addAction(icon("page_white_disk"), QStringLiteral("Save As..."));
    m_actionSaveCopyAs =
        file->addAction(icon("page_white_disk_add"), QStringLiteral("Save Copy As..."));
    file->addSeparator();
    m_actionClose = file->addAction(icon("cross"), QStringLiteral("Close"));

    QMenu *options = menuBar()->addMenu(QStringLiteral("Options"));
    m_actionTextureDimension =
        options->addAction(icon("ruler"), QStringLiteral("Set Texture Dimension..."));
    m_actionShapeSupport =
        options->addAction(icon("empty"), QStringLiteral("Detail Shape Support"));

    // Usable once a document is shown.
    for (QAction *action : {m_actionSave, m_actionSaveAs, m_actionSaveCopyAs,
                            m_actionTextureDimension, m_actionShapeSupport})
        action->setEnabled(false);

    connect(m_actionNew, &QAction::triggered, this, &VVBSP::fileNew);
    connect(m_actionOpen, &QAction::triggered, this, &VVBSP::fileOpen);
    connect(m_actionSave, &QAction::triggered, this, &VVBSP::fileSave);
    connect(m_actionSaveAs, &QAction::triggered, this, &VVBSP::fileSaveAs);
    connect(m_actionSaveCopyAs, &QAction::triggered, this, &VVBSP::fileSaveCopyAs);
    connect(m_actionClose, &QAction::triggered, this, &QWidget::close);
    connect(m_actionTextureDimension, &QAction::triggered, this, &VVBSP::setTextureDimension);
    connect(m_actionShapeSupport, &QAction::triggered, this, &VVBSP::toggleDetailShapeSupport);
}

QString VVBSP::path() const
{
    return m_document ? decodedPath(m_document->path) : QString();
}

void VVBSP::warn(const QString &text)
{
    CPrompt::warning(this, windowTitle(), text, QMessageBox::Ok);
}

void VVBSP::setDocument(CFileVBSP *document)
{
    m_document = document;
    refreshTree();
}

void VVBSP::openElsewhere(const QString &path)
{
    if (MainWindowTools::open("showVVBSP", Q_ARG(QString, path)))
        return;
    // Without a main window the further editor stands on its own.
    (new VVBSP(path))->show();
}

void VVBSP::openElsewhere(CFileVBSP *document)
{
    if (MainWindowTools::open("showVVBSP", Q_ARG(CFileVBSP *, document)))
        return;
    (new VVBSP(document))->show();
}

void VVBSP::fileNew()
{
    auto *document = new CFileVBSP;
    if (m_document)
        openElsewhere(document);
    else
        setDocument(document);
}

void VVBSP::fileOpen()
{
    const QString caption = QLatin1String(OpenCaption);
    const QString filter = QLatin1String(Filter);
    openFile(MainWindowDialogs::openFileName(nullptr, caption, filter));
}

bool VVBSP::openFile(const QString &path)
{
    if (path.isEmpty())
        return true;
    if (m_document) {
        openElsewhere(path);
        return true;
    }
    QString reason;
    CFileVBSP *document = readVbspFile(encodedPath(path), &reason);
    if (!document) {
        // A file that opened but was refused says why, with its line.
        QString text = QLatin1String(UnableToRead) + quoted(path);
        if (!reason.isEmpty() && reason != QLatin1String(GamedataError::VbspUnableToOpen))
            text += QStringLiteral(" (%1)").arg(reason);
        warn(text);
        return false;
    }
    setDocument(document);
    return true;
}

QString VVBSP::askSavePath()
{
    const QString caption = QLatin1String(SaveCaption);
    const QString filter = QLatin1String(Filter);
    return MainWindowDialogs::saveFileName(nullptr, caption, filter);
}

bool VVBSP::writeTo(const QString &path)
{
    QString reason;
    if (writeVbspFile(*m_document, encodedPath(path), &reason))
        return true;
    // The folder's own message says it all; any other failure keeps its reason.
    if (reason == CSaveFile::folderMessage(path))
        warn(reason);
    else
        warn(QLatin1String(UnableToWrite) + quoted(path) + QStringLiteral(" (%1)").arg(reason));
    return false;
}

// True only when the document reached its file.
bool VVBSP::save()
{
    if (!m_document)
        return false;
    if (m_document->path.empty()) {
        const QString path = askSavePath();
        if (path.isEmpty())
            return false;
        // The document takes the new name even when writing to it fails.
        m_document->path = encodedPath(path);
        updateTitle();
    }
    if (!writeTo(decodedPath(m_document->path)))
        return false;
    setWindowModified(false);
    return true;
}

void VVBSP::fileSave()
{
    save();
}

void VVBSP::fileSaveAs()
{
    if (!m_document)
        return;
    const QString path = askSavePath();
    if (path.isEmpty())
        return;
    m_document->path = encodedPath(path);
    updateTitle();
    save();
}

void VVBSP::fileSaveCopyAs()
{
    if (!m_document)
        return;
    const QString path = askSavePath();
    if (!path.isEmpty())
        writeTo(path);
}

void VVBSP::updateTitle()
{
    if (m_document && !m_document->path.empty())
        setWindowTitle(CPath(decodedPath(m_document->path), true).fileName(false) +
                       QStringLiteral("[*]"));
    else
        setWindowTitle(QLatin1String(Title));
}

void VVBSP::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!isWindowModified())
        return;
    const QMessageBox::StandardButton answer = askToSaveChanges(this);
    // A cancelled or failed save keeps the window, and the changes, open.
    if ((answer == QMessageBox::Save && !save()) ||
        (answer != QMessageBox::Save && answer != QMessageBox::Discard))
        event->ignore();
}

void VVBSP::refreshTree()
{
    for (CDetailType *type : m_document->types) {
        if (type)
            addTypeItem(type);
    }
    for (QAction *action : {m_actionSave, m_actionSaveAs, m_actionSaveCopyAs,
                            m_actionTextureDimension, m_actionShapeSupport})
        action->setEnabled(true);
    m_tree->setEnabled(true);
    refreshShapeSupport();

    // New props take the sheet size of the first prop there is.
    firstSheetSize(*m_document, m_textureSize);
    updateTitle();
}

void VVBSP::refreshShapeSupport()
{
    const bool on = m_document && m_document->detailShapeSupport;
    m_actionShapeSupport->setIcon(icon(on ? "tick" : "cross"));
    m_panels->shapeBox->setEnabled(on);
}

VVBSPTreeWidgetItem *VVBSP::addTypeItem(CDetailType *type)
{
    auto *item = new VVBSPTreeWidgetItem(type);
    for (CDetailGroup *group : type->groups) {
        if (group)
            addGroupItem(group, item);
    }
    m_tree->addTopLevelItem(item);
    return item;
}

VVBSPTreeWidgetItem *VVBSP::addGroupItem(CDetailGroup *group, QTreeWidgetItem *parent)
{
    auto *item = new VVBSPTreeWidgetItem(group);
    for (CDetailProp *prop : group->props) {
        if (prop)
            addPropItem(prop, item);
    }
    parent->addChild(item);
    return item;
}

VVBSPTreeWidgetItem *VVBSP::addPropItem(CDetailProp *prop, QTreeWidgetItem *parent)
{
    auto *item = new VVBSPTreeWidgetItem(prop);
    parent->addChild(item);
    return item;
}

void VVBSP::setTextureDimension()
{
    bool ok = false;
    const int size =
        CPrompt::getInt(this, QLatin1String(TextureSizeTitle), QLatin1String(TextureSizeLabel),
                        m_textureSize, 1, VbspFile::MaxSpriteCoordinate, 0, &ok);
    if (!ok)
        return;
    if (size <= 0 || size > VbspFile::MaxSpriteCoordinate ||
        powerOfTwoExponent(quint64(size)) < 0) {
        warn(QLatin1String(TextureSizeWarning));
        return;
    }
    m_textureSize = size;
    setWindowModified(true);
}

void VVBSP::toggleDetailShapeSupport()
{
    if (!m_document)
        return;
    m_document->detailShapeSupport = !m_document->detailShapeSupport;
    refreshShapeSupport();
    setWindowModified(true);
}

void VVBSP::lineEditEdited(const QString &)
{
    setWindowModified(true);
}
