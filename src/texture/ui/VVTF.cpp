#include "VVTF.h"

#include "CFileVTF.h"
#include "uifunctions.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QTabWidget>

namespace {
// How often the animation shows the next frame.
constexpr int AnimationInterval = 200;

QIcon icon(const char *name)
{
    return QIcon(QStringLiteral(":/resources/icons/") + QLatin1String(name));
}

QAction *addEntry(QMenu *menu, const QString &label, const char *iconName, bool enabled)
{
    QAction *action = menu->addAction(icon(iconName), label);
    action->setEnabled(enabled);
    return action;
}
} // namespace

VVTF::VVTF(const QString &path)
{
    initialize();
    vtfOpen(path);
}

VVTF::VVTF(CFileVTF *document)
{
    initialize();
    if (document) {
        m_document = document;
        vtfOpenShared();
    }
}

VVTF::~VVTF()
{
    // The timer must not fire into a half-destroyed window.
    m_animationTimer.stop();
    delete m_document;
}

void VVTF::initialize()
{
    m_displayBuffer.clear();
    m_animationTimer.setInterval(AnimationInterval);
    connect(&m_animationTimer, &QTimer::timeout, this, &VVTF::vtfAnimationCycle);

    buildMenus();
    buildTreeMenu();

    tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->setTabPosition(QTabWidget::East);
    tabs->addTab(buildLayoutPage(), tr("Layout"));
    tabs->addTab(buildImagePage(), tr("Image"));
    tabs->addTab(buildFlagsPage(), tr("Flags"));
    tabs->addTab(buildInfoPage(), tr("Info"));
    tabs->addTab(buildResourcesPage(), tr("Resources"));
    tabs->setEnabled(false);

    buildImageArea();
    connectCommands();

    auto *central = new QWidget;
    auto *layout = new QHBoxLayout(central);
    layout->addWidget(tabs);
    layout->addWidget(imageArea, 1);
    setCentralWidget(central);

    setWindowTitle(QStringLiteral("VTF Editor"));
    setWindowIcon(icon("vvtf"));
    setAttribute(Qt::WA_DeleteOnClose);
    adjustSize();
    m_naturalSize = size();
    // The 512 x 512 minimum only sized the window; the label takes each
    // picture's size from now on.
    imageLabel->setMinimumSize(1, 1);
    imageLabel->setFixedSize(1, 1);
}

QSize VVTF::sizeHint() const
{
    return m_naturalSize.isValid() ? m_naturalSize : QMainWindow::sizeHint();
}

void VVTF::buildMenus()
{
    menuFile = menuBar()->addMenu(tr("File"));
    actionNew = addEntry(menuFile, tr("New"), "page_white_add.png", true);
    actionOpen = addEntry(menuFile, tr("Open..."), "folder_explore.png", true);
    actionSave = addEntry(menuFile, tr("Save"), "disk.png", false);
    actionSaveAs = addEntry(menuFile, tr("Save As..."), "page_white_disk.png", false);
    actionSaveCopyAs = addEntry(menuFile, tr("Save Copy As..."), "page_white_disk_add.png", false);
    menuFile->addSeparator();
    actionImport = addEntry(menuFile, tr("Import..."), "page_white_get.png", true);
    actionExport = addEntry(menuFile, tr("Export..."), "page_white_put.png", false);
    menuFile->addSeparator();
    actionExit = addEntry(menuFile, tr("Exit"), "cross.png", true);
    connect(actionNew, &QAction::triggered, this, &VVTF::vtfNew);
    connect(actionOpen, &QAction::triggered, this, qOverload<>(&VVTF::vtfOpen));
    connect(actionImport, &QAction::triggered, this, &VVTF::vtfImport);
    connect(actionExit, &QAction::triggered, this, &QWidget::close);

    menuEdit = menuBar()->addMenu(tr("Edit"));
    actionCopy = addEntry(menuEdit, tr("Copy"), "page_copy.png", false);
    actionPaste = addEntry(menuEdit, tr("Paste"), "page_paste.png", false);
    menuEdit->addSeparator();
    actionComputeReflectivity =
        addEntry(menuEdit, tr("Compute Reflectivity..."), "chart_bar.png", false);
    actionCorrectGamma = addEntry(menuEdit, tr("Correct Gamma..."), "contrast.png", false);
    actionGenerateMipmaps =
        addEntry(menuEdit, tr("Generate Mipmaps..."), "shape_move_forwards_lightning.png", false);
    actionGenerateSpheremaps = addEntry(menuEdit, tr("Generate Spheremaps..."), "world.png", false);
    menuEdit->addSeparator();
    actionMipmapCount = addEntry(menuEdit, tr("Mipmap Count..."), "shape_move_forwards.png", false);
    actionFrameCount = addEntry(menuEdit, tr("Frame Count..."), "shape_move_front.png", false);
    menuFaceCount = menuEdit->addMenu(icon("shape_handles.png"), tr("Face Count"));
    menuFaceCount->setEnabled(false);
    actionFacesOne = addEntry(menuFaceCount, tr("One (Non-envmap)"), "blank.png", true);
    actionFacesSix = addEntry(menuFaceCount, tr("Six (Envmap)"), "blank.png", true);
    actionFacesSeven = addEntry(menuFaceCount, tr("Seven (Envmap + Spheremap)"), "blank.png", true);
    actionSliceCount = addEntry(menuEdit, tr("Slice Count..."), "shading.png", false);

    menuView = menuBar()->addMenu(tr("View"));
    actionChannelRGB = addEntry(menuView, tr("RGB"), "image.png", false);
    actionChannelRed = addEntry(menuView, tr("Red"), "channel_red.png", false);
    actionChannelGreen = addEntry(menuView, tr("Green"), "channel_green.png", false);
    actionChannelBlue = addEntry(menuView, tr("Blue"), "channel_blue.png", false);
    actionChannelAlpha = addEntry(menuView, tr("Alpha"), "channel_alpha.png", false);
    menuView->addSeparator();
    actionMask = addEntry(menuView, tr("Mask"), "cross.png", false);
    actionTile = addEntry(menuView, tr("Tile"), "cross.png", false);
    connect(actionChannelRGB, &QAction::triggered, this, &VVTF::vtfShowChannelRGB);
    connect(actionChannelRed, &QAction::triggered, this, &VVTF::vtfShowChannelRed);
    connect(actionChannelGreen, &QAction::triggered, this, &VVTF::vtfShowChannelGreen);
    connect(actionChannelBlue, &QAction::triggered, this, &VVTF::vtfShowChannelBlue);
    connect(actionChannelAlpha, &QAction::triggered, this, &VVTF::vtfShowChannelAlpha);
    connect(actionMask, &QAction::triggered, this, &VVTF::vtfToggleMask);
    connect(actionTile, &QAction::triggered, this, &VVTF::vtfToggleTile);
}

void VVTF::buildTreeMenu()
{
    // Popped up, and its entries enabled, by the image tree's own handling.
    treeMenu = new QMenu(this);
    treeActionCopy = addEntry(treeMenu, tr("Copy"), "page_copy.png", true);
    treeActionPaste = addEntry(treeMenu, tr("Paste"), "page_paste.png", false);
    treeMenu->addSeparator();
    treeActionFromFile = addEntry(treeMenu, tr("From File..."), "image.png", true);
    treeActionFromImage = addEntry(treeMenu, tr("From Image..."), "picture_go.png", true);
    treeMenu->addSeparator();
    treeActionCorrectGamma = addEntry(treeMenu, tr("Correct Gamma..."), "contrast.png", true);
    treeActionComputeReflectivity =
        addEntry(treeMenu, tr("Compute Reflectivity..."), "chart_bar.png", true);
    treeActionGenerateMipmaps =
        addEntry(treeMenu, tr("Generate Mipmaps..."), "shape_move_forwards_lightning.png", true);
    treeActionGenerateSpheremaps =
        addEntry(treeMenu, tr("Generate Spheremaps..."), "world.png", true);
}

void VVTF::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!isWindowModified())
        return;
    const QMessageBox::StandardButton answer = askToSaveChanges(this);
    // The window goes only once the texture is really on disk.
    if (answer == QMessageBox::Save ? !saveDocument() : answer != QMessageBox::Discard)
        event->ignore();
}
