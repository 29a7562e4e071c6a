#include "OSTREL.h"

#include "BuildInfo.h"
#include "CPrompt.h"
#include "FGDPrompts.h"
#include "MainWindowGeometry.h"
#include "MessageHandler.h"
#include "initResources.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMutex>
#include <QScreen>
#include <QTabBar>
#include <QTextEdit>
#include <QThread>
#include <QToolBar>

namespace {
// Guards the process-wide pointer: the message handler reads it from any
// thread, the window's construction and destruction change it.
QMutex &instanceMutex()
{
    static QMutex mutex;
    return mutex;
}

OSTREL *s_mainWindow = nullptr;

QIcon resourceIcon(const QString &name)
{
    return QIcon(QStringLiteral(":/resources/icons/") + name);
}
} // namespace

OSTREL *OSTREL::instance(int argc, char **argv)
{
    {
        QMutexLocker lock(&instanceMutex());
        if (s_mainWindow || !onInterfaceThread())
            return s_mainWindow;
    }
    // Only the interface thread gets here, so two first calls cannot race;
    // the constructor registers the window.
    return new OSTREL(argc, argv);
}

OSTREL *OSTREL::existingInstance()
{
    QMutexLocker lock(&instanceMutex());
    return s_mainWindow;
}

OSTREL::OSTREL(int argc, char **argv, QWidget *parent)
    : QMainWindow(parent)
{
    {
        QMutexLocker lock(&instanceMutex());
        if (!s_mainWindow) {
            s_mainWindow = this;
            setInstance(this);
        }
    }
    initResources();
    if (argv && argc > 0) {
        for (int i = 0; i < argc; ++i)
            m_arguments.append(QString::fromLocal8Bit(argv[i]));
    }

    setWindowTitle(QStringLiteral("OSTREL"));
    setWindowIcon(resourceIcon(QStringLiteral("ziver_oviraro_icon_16.png")));

    createActions();
    createToolBar();
    createDocumentArea();
    createOutputPane();
    m_splitterSubWindow = nullptr;
    setCentralWidget(m_mdiArea);

    // Placed once its bars exist, which the size must leave room for.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const bool virtualDesktop = screen && screen->virtualSiblings().size() > 1;
    const MainWindowPlacement placement =
        mainWindowPlacement(screen ? screen->geometry().size() : QSize(),
                            screen ? screen->availableGeometry() : QRect(), virtualDesktop,
                            MainWindowGeometry::LargestToolWindow + documentAreaChrome());
    setGeometry(placement.geometry);
    if (placement.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    installMessageHandler();
    // Entity definitions read from here on ask about unknown helpers.
    installFgdPrompts();
}

OSTREL::~OSTREL()
{
    // The sub-windows die with the base class and report a last state change
    // on the way; by then this is no longer an OSTREL to receive it.
    if (m_outputSubWindow)
        disconnect(m_outputSubWindow, nullptr, this, nullptr);
    QMutexLocker lock(&instanceMutex());
    if (s_mainWindow == this) {
        s_mainWindow = nullptr;
        setInstance(nullptr);
    }
}

QAction *OSTREL::addToolAction(QMenu *menu, const QString &text, const QString &icon)
{
    auto *action = new QAction(resourceIcon(icon), text, this);
    menu->addAction(action);
    return action;
}

void OSTREL::createActions()
{
    // No entry has a keyboard shortcut: the tools own Ctrl+S and friends.
    m_menuFile = menuBar()->addMenu(QStringLiteral("File"));
    m_actionExit = addToolAction(m_menuFile, QStringLiteral("Exit"), QStringLiteral("cross"));

    m_menuTools = menuBar()->addMenu(QStringLiteral("Tools"));
    m_actionVSplit = addToolAction(m_menuTools, QStringLiteral("Hammer Splitter Editor"),
                                   QStringLiteral("vsplit"));
    m_menuTools->addSeparator();
    m_actionVPackage = addToolAction(m_menuTools, QStringLiteral("Package Viewer"),
                                     QStringLiteral("package_magnify.png"));
    m_menuTools->addSeparator();
    m_actionVParticle = addToolAction(m_menuTools, QStringLiteral("Particle Editor"),
                                      QStringLiteral("particles.png"));
    m_actionVVBSP =
        addToolAction(m_menuTools, QStringLiteral("VBSP Editor"), QStringLiteral("icon_vbsp.png"));
    m_actionVVMT =
        addToolAction(m_menuTools, QStringLiteral("VMT Editor"), QStringLiteral("vvmt.png"));
    m_actionVMass =
        addToolAction(m_menuTools, QStringLiteral("Mass VMT Editor"), QStringLiteral("vmass.png"));
    m_actionVVTF =
        addToolAction(m_menuTools, QStringLiteral("VTF Editor"), QStringLiteral("vvtf.png"));
    m_actionVTFMass = addToolAction(m_menuTools, QStringLiteral("Mass VTF Editor"),
                                    QStringLiteral("vtfmass2.png"));
    m_menuTools->addSeparator();
    m_actionVBSPInfo =
        addToolAction(m_menuTools, QStringLiteral("BSP Info"), QStringLiteral("vbspinfo.png"));
    m_actionVEntity = addToolAction(m_menuTools, QStringLiteral("Entity Lump Editor"),
                                    QStringLiteral("ventity.png"));
    m_actionVPakfile = addToolAction(m_menuTools, QStringLiteral("Pakfile Lump Editor"),
                                     QStringLiteral("vpakfile.png"));
    m_menuTools->addSeparator();
    m_actionOutput = addToolAction(m_menuTools, QStringLiteral("Output"),
                                   QStringLiteral("application_output.png"));

    m_menuHelp = menuBar()->addMenu(QStringLiteral("Help"));
    m_actionAboutQt = addToolAction(m_menuHelp, QStringLiteral("About Qt"),
                                    QStringLiteral("qtcreator_logo_16.png"));
    m_actionAboutOSTREL = addToolAction(m_menuHelp, QStringLiteral("About OSTREL"),
                                        QStringLiteral("ziver_oviraro_icon_16.png"));

    connect(m_actionExit, &QAction::triggered, this, &QWidget::close);
    connect(m_actionVSplit, &QAction::triggered, this, &OSTREL::showVSplit);
    connect(m_actionVPackage, &QAction::triggered, this, qOverload<>(&OSTREL::showVPackage));
    connect(m_actionVParticle, &QAction::triggered, this, qOverload<>(&OSTREL::showVParticle));
    connect(m_actionVVBSP, &QAction::triggered, this, qOverload<>(&OSTREL::showVVBSP));
    connect(m_actionVVMT, &QAction::triggered, this, qOverload<>(&OSTREL::showVVMT));
    connect(m_actionVMass, &QAction::triggered, this, &OSTREL::showVMass);
    connect(m_actionVVTF, &QAction::triggered, this, qOverload<>(&OSTREL::showVVTF));
    connect(m_actionVTFMass, &QAction::triggered, this, &OSTREL::showVTFMass);
    connect(m_actionVBSPInfo, &QAction::triggered, this, qOverload<>(&OSTREL::showVBSPInfo));
    connect(m_actionVEntity, &QAction::triggered, this, qOverload<>(&OSTREL::showVEntity));
    connect(m_actionVPakfile, &QAction::triggered, this, qOverload<>(&OSTREL::showVPakfile));
    connect(m_actionOutput, &QAction::triggered, this, &OSTREL::showOUTPUT);
    connect(m_actionAboutQt, &QAction::triggered, this, &OSTREL::aboutQt);
    connect(m_actionAboutOSTREL, &QAction::triggered, this, &OSTREL::aboutOSTREL);
}

void OSTREL::createToolBar()
{
    m_toolBar = new QToolBar(QStringLiteral("Tools"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setAllowedAreas(Qt::TopToolBarArea);
    m_toolBar->setFloatable(false);
    m_toolBar->setMovable(false);
    // A custom policy with no receiver: the tool bar offers no context menu.
    m_toolBar->setContextMenuPolicy(Qt::CustomContextMenu);
    m_toolBar->addAction(m_actionVSplit);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_actionVPackage);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_actionVParticle);
    m_toolBar->addAction(m_actionVVBSP);
    m_toolBar->addAction(m_actionVVMT);
    m_toolBar->addAction(m_actionVMass);
    m_toolBar->addAction(m_actionVVTF);
    m_toolBar->addAction(m_actionVTFMass);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_actionVBSPInfo);
    m_toolBar->addAction(m_actionVEntity);
    m_toolBar->addAction(m_actionVPakfile);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void OSTREL::createDocumentArea()
{
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_mdiArea->setOption(QMdiArea::DontMaximizeSubWindowOnActivation, true);
    m_mdiArea->setViewMode(QMdiArea::TabbedView);
    m_mdiArea->setWindowIcon(QIcon());
    // A tool larger than the area (on a small screen) scrolls into view.
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

QSize OSTREL::documentAreaChrome() const
{
    const int frame = 2 * m_mdiArea->frameWidth();
    int height = menuBar()->sizeHint().height() + m_toolBar->sizeHint().height() + frame;
    // The area's tab bar, which exists once the view is tabbed.
    if (const auto *tabs = m_mdiArea->findChild<QTabBar *>())
        height += tabs->sizeHint().height();
    return QSize(frame, height);
}

// ---------------------------------------------------------------- output pane

void OSTREL::postMessage(const QString &line)
{
    QMutexLocker lock(&instanceMutex());
    OSTREL *window = s_mainWindow;
    if (!window || !QCoreApplication::instance()) {
        lock.unlock();
        writeToStderr(line);
        return;
    }
    if (QThread::currentThread() == window->thread()) {
        // The window lives on this thread, so it cannot go away meanwhile.
        lock.unlock();
        window->output(line, true);
        return;
    }
    // Widgets belong to the interface thread. While the lock is held the
    // window is alive; if it is destroyed before the event arrives, Qt drops
    // the event with it.
    QMetaObject::invokeMethod(
        window, [window, line] { window->output(line, true); }, Qt::QueuedConnection);
}

// ---------------------------------------------------------------- file dialogs

QString OSTREL::getOpenFileName(QWidget *parent, const QString &caption, const QString &filter,
                                const QString &directory)
{
    return CPrompt::getOpenFileName(parent, caption, directory, filter);
}

QStringList OSTREL::getOpenFileNames(QWidget *parent, const QString &caption, const QString &filter,
                                     const QString &directory)
{
    return CPrompt::getOpenFileNames(parent, caption, directory, filter);
}

QString OSTREL::getSaveFileName(QWidget *parent, const QString &caption, const QString &filter,
                                const QString &directory)
{
    return CPrompt::getSaveFileName(parent, caption, directory, filter);
}

QString OSTREL::getExistingDirectory(QWidget *parent, const QString &caption,
                                     const QString &directory)
{
    return CPrompt::getExistingDirectory(parent, caption, directory);
}

QString OSTREL::lastDirectory() const
{
    return CPrompt::lastDirectory();
}

// ---------------------------------------------------------------- sub-windows and lists

void OSTREL::openToolWindow(QWidget *tool)
{
    if (!tool)
        return;
    QMdiSubWindow *subWindow = m_mdiArea->addSubWindow(tool);
    subWindow->setAttribute(Qt::WA_DeleteOnClose);
    connect(tool, &QObject::destroyed, subWindow, &QWidget::close);
    tool->show();
    placeToolWindow(subWindow);
}

void OSTREL::placeToolWindow(QMdiSubWindow *subWindow)
{
    // The user cannot shrink a tool below the size at which all of its
    // controls show; where the area is smaller, it scrolls instead.
    subWindow->setMinimumSize(subWindow->minimumSizeHint());
    keepInsideDocumentArea(subWindow);
    // Not left to focus: a tool whose controls start disabled takes none,
    // and the focus coming back (from the menu that opened the tool) would
    // bring the window that kept it to the front again.
    m_mdiArea->setActiveSubWindow(subWindow);
    subWindow->setFocus();
}

bool OSTREL::openFileInToolWindow(QWidget *tool, const QString &path,
                                  const std::function<bool(const QString &)> &open)
{
    openToolWindow(tool);
    if (path.isEmpty() || open(path))
        return true;
    // The tool has said why it refused the file; an empty tab beside that
    // message would only pass for a file that opened.
    if (auto *subWindow = qobject_cast<QMdiSubWindow *>(tool->parentWidget()))
        subWindow->close();
    return false;
}

void OSTREL::keepInsideDocumentArea(QMdiSubWindow *subWindow)
{
    // The area places a new window beside the others even where it does not
    // fit; then part of it, title bar or buttons included, lies out of sight.
    const QRect area = m_mdiArea->viewport()->rect();
    if (!subWindow || !m_mdiArea->isVisible() || area.isEmpty())
        return;
    QRect frame = subWindow->geometry();
    frame.setSize(frame.size().boundedTo(area.size()).expandedTo(subWindow->minimumSizeHint()));
    if (frame.right() > area.right())
        frame.moveRight(area.right());
    if (frame.bottom() > area.bottom())
        frame.moveBottom(area.bottom());
    // A window larger than the area shows its top-left corner.
    if (frame.left() < area.left())
        frame.moveLeft(area.left());
    if (frame.top() < area.top())
        frame.moveTop(area.top());
    subWindow->setGeometry(frame);
}

QMdiSubWindow *OSTREL::addSubWindow(QWidget *widget, Qt::WindowFlags flags)
{
    if (!widget)
        return nullptr;
    QMdiSubWindow *subWindow = m_mdiArea->addSubWindow(widget, flags);
    if (!subWindow)
        return nullptr;
    subWindow->setAttribute(Qt::WA_DeleteOnClose);
    subWindow->show();
    placeToolWindow(subWindow);
    return subWindow;
}

void OSTREL::registerTemporaryFile(const QString &temporaryFile)
{
    if (!temporaryFile.isEmpty())
        m_temporaryFiles.append(temporaryFile);
}

void OSTREL::registerRecentFile(const QString &recentFile)
{
    if (recentFile.isEmpty())
        return;
    m_recentFiles.prepend(recentFile);
    while (m_recentFiles.size() > 10)
        m_recentFiles.removeLast();
}

void OSTREL::closeEvent(QCloseEvent *event)
{
    // Guarded: closing one tool may take another with it (a tool that deletes
    // a window it opened).
    QList<QPointer<QMdiSubWindow>> subWindows;
    for (QMdiSubWindow *subWindow : m_mdiArea->subWindowList(QMdiArea::CreationOrder))
        subWindows.append(subWindow);
    for (const QPointer<QMdiSubWindow> &subWindow : qAsConst(subWindows)) {
        if (!subWindow || subWindow == m_outputSubWindow)
            continue;
        // A tool with unsaved changes the user keeps refuses, which cancels
        // the shutdown; the tools closed so far stay closed.
        if (!subWindow->close()) {
            event->ignore();
            return;
        }
        subWindow->deleteLater();
    }
    for (const QString &path : qAsConst(m_temporaryFiles))
        QFile::remove(path);
    m_temporaryFiles.clear();
    event->accept();
}

// ---------------------------------------------------------------- about boxes

void OSTREL::aboutQt()
{
    QMessageBox::aboutQt(this, QStringLiteral("About Qt"));
}

void OSTREL::aboutOSTREL()
{
    QMessageBox box(this);
    box.setObjectName(QStringLiteral("aboutOSTREL"));
    box.setWindowTitle(QStringLiteral("About OSTREL"));
    box.setIconPixmap(resourceIcon(QStringLiteral("ziver_oviraro_icon_16")).pixmap(64, 64));
    box.setTextFormat(Qt::PlainText);
    box.setText(QStringLiteral("OSTREL"));
    box.setInformativeText(QStringLiteral("Built on ") + buildDate());
    box.setStandardButtons(QMessageBox::Ok);
    CPrompt::exec(&box);
}
