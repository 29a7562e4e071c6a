#include "CConfig.h"
#include "CFileVTF.h"
#include "CPrompt.h"
#include "CRegistryKey.h"
#include "CStartup.h"
#include "FileBytes.h"
#include "MainWindowGeometry.h"
#include "OSTREL.h"
#include "VPakfile.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolBar>
#include <QtTest>

#include <memory>

namespace {
// A tool window whose user keeps unsaved changes: it refuses to close until
// told otherwise.
class RefusingTool : public QWidget
{
public:
    bool refuse = true;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (refuse)
            event->ignore();
        else
            event->accept();
    }
};

QImage iconImage(const QIcon &icon)
{
    return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Menu or tool-bar entries as text, "-" standing for a separator.
QStringList entryTexts(const QList<QAction *> &actions)
{
    QStringList texts;
    for (const QAction *action : actions)
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QMenu *menuNamed(OSTREL &window, const QString &title)
{
    for (QAction *action : window.menuBar()->actions()) {
        if (action->text() == title)
            return action->menu();
    }
    return nullptr;
}

QAction *actionNamed(OSTREL &window, const QString &text)
{
    for (QAction *menuAction : window.menuBar()->actions()) {
        for (QAction *action : menuAction->menu()->actions()) {
            if (action->text() == text)
                return action;
        }
    }
    return nullptr;
}

QList<QMdiSubWindow *> toolSubWindows(OSTREL &window)
{
    QList<QMdiSubWindow *> list = window.mdiArea()->subWindowList(QMdiArea::CreationOrder);
    list.removeAll(window.outputSubWindow());
    return list;
}

// The splitter editor's registry values, so that it opens without warnings.
void storeSplitterValues(quint32 topLeftView)
{
    CRegistryKey splitter;
    splitter.create(CRegistryKey::CurrentUser, QStringLiteral("Software\\Valve\\Hammer\\Splitter"));
    for (const char *name : {"DrawType0,0", "DrawType0,1", "DrawType1,0", "DrawType1,1"})
        splitter.writeDword(QString::fromLatin1(name), topLeftView);
    CRegistryKey views;
    views.create(CRegistryKey::CurrentUser, QStringLiteral("Software\\Valve\\Hammer\\3D Views"));
    for (const char *name : {"BackPlane", "ModelDistance", "DetailDistance"})
        views.writeDword(QString::fromLatin1(name), 4096);
}

// A map of lumps that are all empty: the header alone.
QByteArray emptyMap()
{
    return QByteArray("VBSP\x14\0\0\0", 8) + QByteArray(64 * 16 + 4, '\0');
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menus_data();
    void menus();
    void toolBar();
    void toolSlotsOpenTheirWindows_data();
    void toolSlotsOpenTheirWindows();
    void eachRequestOpensANewWindow();
    void toolDeletingItselfTakesItsSubWindow();
    void toolWindowsOpenInsideTheArea();
    void argumentsOpenByTheirSuffix_data();
    void argumentsOpenByTheirSuffix();
    void pakfileEditorOpensThePath();
    void splitterEditorIsSingle();
    void bspInfoFailureWarns();
    void geometryRule_data();
    void geometryRule();
    void everyToolShowsWhole();
    void dialogArgumentsReachThePrompt();
    void recentAndTemporaryLists();
    void closeStopsAtARefusingTool();
    void aboutBoxNamesTheBuild();
    void instanceIsTheFirstWindow();

private:
    std::unique_ptr<OSTREL> m_window;
    QTemporaryDir m_dir;
};

void TestMainWindow::init()
{
    CPrompt::setLastDirectory(QString());
    CRegistryKey::setStoreFile(m_dir.filePath(QStringLiteral("registry.ini")));
    storeSplitterValues(0);
    m_window = std::make_unique<OSTREL>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestMainWindow::cleanup()
{
    CPrompt::setHandler(CPrompt::Handler());
    m_window.reset();
    flushDeletes();
    CRegistryKey::setStoreFile(QString());
}

void TestMainWindow::menus_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("entries"); // "text|icon", "-" for a separator

    QTest::newRow("File") << "File" << QStringList{"Exit|cross"};
    QTest::newRow("Tools") << "Tools"
                           << QStringList{"Hammer Splitter Editor|vsplit",
                                          "-",
                                          "Package Viewer|package_magnify.png",
                                          "-",
                                          "Particle Editor|particles.png",
                                          "VBSP Editor|icon_vbsp.png",
                                          "VMT Editor|vvmt.png",
                                          "Mass VMT Editor|vmass.png",
                                          "VTF Editor|vvtf.png",
                                          "Mass VTF Editor|vtfmass2.png",
                                          "-",
                                          "BSP Info|vbspinfo.png",
                                          "Entity Lump Editor|ventity.png",
                                          "Pakfile Lump Editor|vpakfile.png",
                                          "-",
                                          "Output|application_output.png"};
    QTest::newRow("Help") << "Help"
                          << QStringList{"About Qt|qtcreator_logo_16.png",
                                         "About OSTREL|ziver_oviraro_icon_16.png"};
}

void TestMainWindow::menus()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, entries);

    QCOMPARE(entryTexts(m_window->menuBar()->actions()), (QStringList{"File", "Tools", "Help"}));
    QMenu *found = menuNamed(*m_window, menu);
    QVERIFY(found);
    const QList<QAction *> actions = found->actions();
    QCOMPARE(actions.size(), entries.size());
    for (int i = 0; i < actions.size(); ++i) {
        QAction *action = actions.at(i);
        const QString text = entries.at(i).section(QLatin1Char('|'), 0, 0);
        const QString icon = entries.at(i).section(QLatin1Char('|'), 1);
        QCOMPARE(action->isSeparator() ? QStringLiteral("-") : action->text(), text);
        QVERIFY2(action->shortcuts().isEmpty(), qPrintable(action->text()));
        if (action->isSeparator())
            continue;
        const QIcon expected(QStringLiteral(":/resources/icons/") + icon);
        QVERIFY2(!expected.isNull(), qPrintable(icon));
        QVERIFY2(!action->icon().isNull(), qPrintable(action->text()));
        QCOMPARE(iconImage(action->icon()), iconImage(expected));
    }
}

void TestMainWindow::toolBar()
{
    QToolBar *bar = m_window->toolBar();
    QVERIFY(bar);
    QCOMPARE(m_window->toolBarArea(bar), Qt::TopToolBarArea);
    QCOMPARE(bar->allowedAreas(), Qt::TopToolBarArea);
    QVERIFY(!bar->isFloatable());
    QVERIFY(!bar->isMovable());
    QCOMPARE(bar->contextMenuPolicy(), Qt::CustomContextMenu);
    // The Tools menu without its last separator and "Output".
    QCOMPARE(entryTexts(bar->actions()),
             entryTexts(menuNamed(*m_window, QStringLiteral("Tools"))->actions()).mid(0, 14));
    // The tool bar shares the menu's actions, icons included.
    for (QAction *action : bar->actions()) {
        if (!action->isSeparator())
            QCOMPARE(action, actionNamed(*m_window, action->text()));
    }
}

void TestMainWindow::toolSlotsOpenTheirWindows_data()
{
    // "menu entry|class|base class|window title"
    QTest::addColumn<QString>("row");
    for (const char *row : {"Hammer Splitter Editor|VSPLIT|QWidget|Hammer Splitter Editor",
                            "Package Viewer|VPackage|QMainWindow|Package Viewer",
                            "Particle Editor|VParticle|QMainWindow|Particle Editor",
                            "VBSP Editor|VVBSP|QMainWindow|VBSP Editor[*]",
                            "VMT Editor|VVMT|QMainWindow|VMT Editor[*]",
                            "Mass VMT Editor|VMass|QSplitter|Mass VMT Editor",
                            "VTF Editor|VVTF|QMainWindow|VTF Editor",
                            "Mass VTF Editor|VTFMass|QWidget|Mass VTF Editor",
                            "Entity Lump Editor|VENTITY|QMainWindow|Entity Lump Editor",
                            "Pakfile Lump Editor|VPakfile|QStackedWidget|Pakfile Lump Editor"})
        QTest::newRow(row) << QString::fromLatin1(row);
}

void TestMainWindow::toolSlotsOpenTheirWindows()
{
    QFETCH(QString, row);
    const QStringList fields = row.split(QLatin1Char('|'));
    const QString &className = fields[1], &baseClass = fields[2], &title = fields[3];

    // Opened over a texture editor that has the focus, it comes in front and
    // stays there when the focus comes back from the menu.
    m_window->showVVTF(new CFileVTF(4, 4));
    toolSubWindows(*m_window).value(0)->widget()->setFocus();
    QWidget menu;
    menu.show();
    menu.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&menu));
    QAction *action = actionNamed(*m_window, fields[0]);
    QVERIFY(action);
    action->trigger();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    const QList<QMdiSubWindow *> tools = toolSubWindows(*m_window);
    QCOMPARE(tools.size(), 2);
    QCOMPARE(m_window->mdiArea()->activeSubWindow(), tools.last());
    QWidget *tool = tools.last()->widget();
    QVERIFY(tool);
    QCOMPARE(QString::fromLatin1(tool->metaObject()->className()), className);
    QCOMPARE(QString::fromLatin1(tool->metaObject()->superClass()->className()), baseClass);
    QCOMPARE(tool->windowTitle(), title);
    QVERIFY(tool->isVisible());
}

void TestMainWindow::eachRequestOpensANewWindow()
{
    m_window->showVVMT();
    m_window->showVVMT();
    QList<QMdiSubWindow *> tools = toolSubWindows(*m_window);
    QCOMPARE(tools.size(), 2);
    QVERIFY(tools.at(0)->testAttribute(Qt::WA_DeleteOnClose));

    // Closing one deletes it and leaves the other.
    QPointer<QMdiSubWindow> first = tools.at(0);
    QVERIFY(first->close());
    flushDeletes();
    QVERIFY(first.isNull());
    QCOMPARE(toolSubWindows(*m_window).size(), 1);
}

void TestMainWindow::toolDeletingItselfTakesItsSubWindow()
{
    auto *tool = new QWidget;
    m_window->openToolWindow(tool);
    QPointer<QMdiSubWindow> subWindow = toolSubWindows(*m_window).value(0);
    QVERIFY(subWindow);
    delete tool;
    flushDeletes();
    QVERIFY(subWindow.isNull());
}

void TestMainWindow::toolWindowsOpenInsideTheArea()
{
    // However many tools are open and however large they would like to be,
    // a new one starts where the user sees all of it (or, when it cannot be
    // made that small, its top-left corner).
    auto *large = new QWidget;
    large->resize(3000, 2000);
    large->setMinimumSize(200, 150);
    m_window->openToolWindow(large);
    for (int i = 0; i < 6; ++i) {
        m_window->showVParticle();
        m_window->showVPackage();
    }
    auto *tooLarge = new QWidget;
    tooLarge->setMinimumSize(4000, 3000);
    m_window->openToolWindow(tooLarge);
    const QRect area = m_window->mdiArea()->viewport()->rect();
    for (QMdiSubWindow *subWindow : toolSubWindows(*m_window)) {
        const QRect frame = subWindow->geometry();
        if (subWindow->widget() == tooLarge)
            QCOMPARE(frame.topLeft(), area.topLeft());
        else
            QVERIFY2(area.contains(frame), subWindow->widget()->metaObject()->className());
    }
}

void TestMainWindow::argumentsOpenByTheirSuffix_data()
{
    // Made in the test folder from the bytes (none: not made), or a folder
    // when the name ends in "/".
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("className"); // empty: no tab stays
    QTest::addColumn<QString>("boxTitle");  // of the tool's refusal; empty: none
    QTest::addColumn<QString>("paneLine");  // "%1": the file's full path

    const QByteArray junk("not what the name says");
    QTest::newRow("map") << "m.BSP" << emptyMap() << "VPackage" << QString() << QString();
    QTest::newRow("material") << "m.vmt" << junk << "VVMT" << QString() << QString();
    // Refused by the tool: its box says why, its tab goes again, and the
    // output pane names the file with the box's text.
    const QString refused = QStringLiteral("Argument Failure: \"%1\" could not be opened: ");
    QTest::newRow("broken archive") << "a.vpk" << QByteArray("\x34\x12\xaa\x55\x07\0\0\0", 8)
                                    << QString() << "Package Viewer" << refused;
    QTest::newRow("broken map") << "b.bsp" << junk << QString() << "Package Viewer" << refused;
    QTest::newRow("broken cache") << "c.gcf" << junk << QString() << "Package Viewer" << refused;
    QTest::newRow("broken network cache")
        << "n.ncf" << junk << QString() << "Package Viewer" << refused;
    QTest::newRow("broken particles")
        << "p.pcf" << junk << QString() << "Particle Editor" << refused;
    QTest::newRow("unreadable material")
        << "folder.vmt/" << QByteArray() << QString() << "VMT Editor[*]" << refused;
    // Refused before any tool opens: only the output pane names it.
    QTest::newRow("broken texture") << "t.Vtf" << junk << QString() << QString() << refused;
    QTest::newRow("other suffix")
        << "notes.txt" << junk << QString() << QString()
        << "Argument Failure: \"%1\" is not a kind of file the workbench opens.";
    QTest::newRow("missing") << "gone.vmt" << QByteArray() << QString() << QString()
                             << "Argument Failure: \"%1\" does not exist.";
}

void TestMainWindow::argumentsOpenByTheirSuffix()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, className);
    QFETCH(QString, boxTitle);
    QFETCH(QString, paneLine);

    QStringList boxes;
    QString boxText;
    CPrompt::setHandler([&](const CPrompt::Request &request) {
        boxes << request.title;
        boxText = request.text;
        CPrompt::Answer answer;
        answer.button = QMessageBox::Ok;
        return answer;
    });
    if (file.endsWith(QLatin1Char('/'))) {
        file.chop(1);
        QVERIFY(QDir(m_dir.path()).mkdir(file));
    }
    const QString path = m_dir.filePath(file);
    if (!bytes.isEmpty())
        QVERIFY(writeFile(path, bytes));
    m_window->outputSubWindow()->showMinimized();
    CStartup::setBaseDirectory(m_dir.path());
    m_window->processArgument(file);
    CStartup::setBaseDirectory(QString());
    QFile::remove(path);
    flushDeletes();

    const QList<QMdiSubWindow *> tools = toolSubWindows(*m_window);
    QCOMPARE(boxes, boxTitle.isEmpty() ? QStringList() : QStringList{boxTitle});
    if (className.isEmpty()) {
        QCOMPARE(tools.size(), 0);
    } else {
        QCOMPARE(tools.size(), 1);
        QCOMPARE(QString::fromLatin1(tools.first()->widget()->metaObject()->className()),
                 className);
    }
    if (paneLine.isEmpty()) {
        QVERIFY(!m_window->outputPane()->toPlainText().contains(QLatin1String("Argument")));
        QVERIFY(m_window->outputSubWindow()->isMinimized());
    } else {
        // Named where the user sees it: the pane comes up restored.
        const QString line = m_window->outputPane()->document()->lastBlock().text();
        QVERIFY2(line.startsWith(paneLine.arg(path)), qPrintable(line));
        if (!boxTitle.isEmpty())
            QCOMPARE(line, paneLine.arg(path) + boxText);
        QVERIFY(!m_window->outputSubWindow()->isMinimized());
        QVERIFY(m_window->outputSubWindow()->isVisible());
    }
    // The probe of a later start opens and says nothing.
    const int lines = m_window->outputPane()->document()->blockCount();
    m_window->processArgument(QString());
    QCOMPARE(toolSubWindows(*m_window).size(), tools.size());
    QCOMPARE(m_window->outputPane()->document()->blockCount(), lines);
}

void TestMainWindow::pakfileEditorOpensThePath()
{
    // A map of lumps that are all empty: the header alone.
    const QString path = m_dir.filePath(QStringLiteral("ctf_2fort.bsp"));
    QByteArray header("VBSP\x14\0\0\0", 8);
    header.append(QByteArray(64 * 16 + 4, '\0'));
    QFile map(path);
    QVERIFY(map.open(QIODevice::WriteOnly) && map.write(header) == header.size());
    map.close();
    m_window->showVPakfile(path);
    auto *editor = qobject_cast<VPakfile *>(toolSubWindows(*m_window).value(0)->widget());
    QVERIFY(editor);
    QCOMPARE(editor->windowTitle(), QStringLiteral("ctf_2fort"));

    // A map it refuses: the warning, and no empty editor beside it.
    QList<CPrompt::Kind> asked;
    CPrompt::ScopedHandler script([&](const CPrompt::Request &request) {
        asked << request.kind;
        return CPrompt::Answer();
    });
    m_window->showVPakfile(m_dir.filePath(QStringLiteral("missing.bsp")));
    flushDeletes();
    QCOMPARE(asked, QList<CPrompt::Kind>{CPrompt::Kind::Warning});
    QCOMPARE(toolSubWindows(*m_window).size(), 1);
}

void TestMainWindow::splitterEditorIsSingle()
{
    m_window->showVSplit();
    QPointer<QMdiSubWindow> splitter = m_window->splitterSubWindow();
    QVERIFY(splitter);
    QCOMPARE(toolSubWindows(*m_window).size(), 1);
    QVERIFY(!splitter->testAttribute(Qt::WA_DeleteOnClose));

    // Another tool active: the request activates the splitter editor.
    m_window->showVVMT();
    QVERIFY(m_window->mdiArea()->activeSubWindow() != splitter);
    m_window->showVSplit();
    QCOMPARE(m_window->mdiArea()->activeSubWindow(), splitter.data());
    QCOMPARE(toolSubWindows(*m_window).size(), 2);

    // Minimised: restored.
    splitter->showMinimized();
    m_window->showVSplit();
    QVERIFY(!splitter->isMinimized());

    // Active: closed, and its sub-window goes with the editor.
    m_window->mdiArea()->setActiveSubWindow(splitter);
    m_window->showVSplit();
    flushDeletes();
    QVERIFY(splitter.isNull());
    QVERIFY(!m_window->splitterSubWindow());

    // So a later request builds a new editor, which reads the registry again.
    storeSplitterValues(7);
    m_window->showVSplit();
    QVERIFY(m_window->splitterSubWindow());
    QWidget *editor = m_window->splitterSubWindow()->widget();
    QCOMPARE(QString::fromLatin1(editor->metaObject()->className()), QStringLiteral("VSPLIT"));
    QCOMPARE(editor->findChild<QComboBox *>(QStringLiteral("topLeft"))->currentIndex(), 7);
}

void TestMainWindow::bspInfoFailureWarns()
{
    const QString missing = m_dir.filePath(QStringLiteral("missing.bsp"));
    QList<CPrompt::Request> asked;
    CPrompt::ScopedHandler script([&](const CPrompt::Request &request) {
        asked << request;
        CPrompt::Answer answer;
        if (request.kind == CPrompt::Kind::OpenFileName) {
            answer.ok = true;
            answer.text = missing;
        }
        answer.button = QMessageBox::Ok;
        return answer;
    });
    m_window->showVBSPInfo();
    QCOMPARE(asked.size(), 2);
    QCOMPARE(asked.at(0).title, QStringLiteral("Open BSP"));
    QCOMPARE(asked.at(0).filter, QStringLiteral("Valve Binary Space Partition (*.bsp)"));
    QCOMPARE(asked.at(1).kind, CPrompt::Kind::Warning);
    QCOMPARE(asked.at(1).title, QStringLiteral("BSP Info"));
    QVERIFY(!asked.at(1).text.isEmpty());
    QVERIFY(toolSubWindows(*m_window).isEmpty());

    // Cancelling the file dialog opens nothing and asks nothing more.
    asked.clear();
    CPrompt::ScopedHandler cancel([&](const CPrompt::Request &request) {
        asked << request;
        return CPrompt::Answer();
    });
    m_window->showVBSPInfo();
    QCOMPARE(asked.size(), 1);
    QVERIFY(toolSubWindows(*m_window).isEmpty());
}

void TestMainWindow::geometryRule_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<bool>("virtualDesktop");
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<QRect>("geometry");

    // The window needs 904 x 700 to show its largest tool whole.
    const auto row = [](const char *name, QSize screen, QRect available, bool virtualDesktop,
                        bool maximized, QRect geometry) {
        QTest::newRow(name) << screen << available << virtualDesktop << maximized << geometry;
    };
    row("1600x1000, no panel", {1600, 1000}, {0, 0, 1600, 1000}, false, false, {80, 50, 1440, 900});
    row("1280x800 without a window manager", {1280, 800}, {0, 0, 1280, 800}, false, true,
        {64, 40, 1152, 720});
    row("1920x1080 with a top panel", {1920, 1080}, {0, 32, 1920, 1048}, false, false,
        {96, 84, 1728, 943});
    row("1279x960", {1279, 960}, {0, 0, 1279, 960}, false, true, {64, 48, 1151, 864});
    // The share would cut the tool off: the window takes what it needs.
    row("1024x768", {1024, 768}, {0, 0, 1024, 768}, false, true, {51, 34, 921, 700});
    // Smaller than what it needs: the whole screen, and the tools scroll.
    row("1024x600", {1024, 600}, {0, 0, 1024, 600}, false, true, {51, 0, 921, 600});
    row("800x600", {800, 600}, {0, 0, 800, 600}, false, true, {0, 0, 800, 600});
    row("virtual small", {800, 600}, {0, 0, 800, 600}, true, false, {0, 0, 800, 600});
    row("no screen", {}, {}, false, true, {0, 0, 904, 700});
}

void TestMainWindow::geometryRule()
{
    QFETCH(QSize, screen);
    QFETCH(QRect, available);
    QFETCH(bool, virtualDesktop);
    QFETCH(bool, maximized);
    QFETCH(QRect, geometry);

    const MainWindowPlacement placement =
        mainWindowPlacement(screen, available, virtualDesktop, QSize(904, 700));
    QCOMPARE(placement.maximized, maximized);
    QCOMPARE(placement.geometry, geometry);
}

void TestMainWindow::everyToolShowsWhole()
{
    // Placed as start-up places it on a 1280x800 screen without a window manager.
    const QSize screen(1280, 800);
    const MainWindowPlacement placement =
        mainWindowPlacement(screen, QRect(QPoint(0, 0), screen), false,
                            MainWindowGeometry::LargestToolWindow + m_window->documentAreaChrome());
    m_window->setGeometry(placement.geometry);
    QTRY_COMPARE(m_window->size(), placement.geometry.size());
    const QRect area = m_window->mdiArea()->viewport()->rect();

    const QString map = m_dir.filePath(QStringLiteral("info.bsp"));
    QVERIFY(writeFile(map, emptyMap()));
    for (QAction *action : menuNamed(*m_window, QStringLiteral("Tools"))->actions()) {
        const QString text = action->text();
        if (action->isSeparator() || text == QLatin1String("Output"))
            continue;
        if (text == QLatin1String("BSP Info"))
            m_window->showVBSPInfo(map);
        else
            action->trigger();
        QMdiSubWindow *subWindow = toolSubWindows(*m_window).value(0);
        QVERIFY2(subWindow, qPrintable(text));
        // Never smaller than what shows every control, and that fits.
        const QSize minimum = subWindow->minimumSize();
        const QString what =
            QStringLiteral("%1: %2 x %3").arg(text).arg(minimum.width()).arg(minimum.height());
        QCOMPARE(minimum, subWindow->minimumSizeHint());
        QVERIFY2(minimum.boundedTo(MainWindowGeometry::LargestToolWindow) == minimum,
                 qPrintable(what));
        QVERIFY2(area.contains(subWindow->geometry()), qPrintable(what));
        subWindow->close();
        flushDeletes();
        QVERIFY2(toolSubWindows(*m_window).isEmpty(), qPrintable(text));
    }
}

void TestMainWindow::dialogArgumentsReachThePrompt()
{
    // The main window takes the filter before the directory; the prompt the
    // other way round.
    QList<CPrompt::Request> asked;
    CPrompt::ScopedHandler script([&](const CPrompt::Request &request) {
        asked << request;
        return CPrompt::Answer();
    });
    QWidget parent;
    m_window->getOpenFileName(&parent, "Open Texture", "Valve Texture File (*.vtf)", "/tex");
    m_window->getOpenFileNames(&parent, "Open Many", "Valve Material Type (*.vmt)", "/mat");
    m_window->getSaveFileName(&parent, "Save Map", "Valve Map File (*.vmf *.vmx)", "/src");
    m_window->getExistingDirectory(&parent, "Choose", "/dir");
    QCOMPARE(asked.size(), 4);
    const CPrompt::Kind kinds[] = {CPrompt::Kind::OpenFileName, CPrompt::Kind::OpenFileNames,
                                   CPrompt::Kind::SaveFileName, CPrompt::Kind::ExistingDirectory};
    const char *captions[] = {"Open Texture", "Open Many", "Save Map", "Choose"};
    const char *filters[] = {"Valve Texture File (*.vtf)", "Valve Material Type (*.vmt)",
                             "Valve Map File (*.vmf *.vmx)", ""};
    const char *directories[] = {"/tex", "/mat", "/src", "/dir"};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(asked.at(i).kind, kinds[i]);
        QCOMPARE(asked.at(i).parent, &parent);
        QCOMPARE(asked.at(i).title, QString::fromLatin1(captions[i]));
        QCOMPARE(asked.at(i).filter, QString::fromLatin1(filters[i]));
        QCOMPARE(asked.at(i).directory, QString::fromLatin1(directories[i]));
    }
    // No directory given: the prompt's remembered one.
    CPrompt::setLastDirectory(QStringLiteral("/remembered"));
    m_window->getOpenFileName(&parent, "Open", "All (*)");
    QCOMPARE(asked.last().directory, QStringLiteral("/remembered"));
}

void TestMainWindow::recentAndTemporaryLists()
{
    m_window->registerRecentFile(QStringLiteral("a.bsp"));
    m_window->registerRecentFile(QStringLiteral("a.bsp"));
    m_window->registerRecentFile(QString());
    QCOMPARE(m_window->recentFiles(), (QStringList{"a.bsp", "a.bsp"}));
    for (int i = 0; i < 10; ++i)
        m_window->registerRecentFile(QStringLiteral("f%1").arg(i));
    const QStringList recent = m_window->recentFiles();
    QCOMPARE(recent.size(), 10);
    QCOMPARE(recent.first(), QStringLiteral("f9"));
    QCOMPARE(recent.last(), QStringLiteral("f0"));

    m_window->registerTemporaryFile(QString());
    QVERIFY(m_window->temporaryFiles().isEmpty());
    m_window->registerTemporaryFile(QStringLiteral("/tmp/x"));
    QCOMPARE(m_window->temporaryFiles(), QStringList{"/tmp/x"});
}

void TestMainWindow::closeStopsAtARefusingTool()
{
    QStringList temporary;
    for (const char *name : {"one.vtf", "two.wav"}) {
        const QString path = m_dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
        file.close();
        temporary << path;
        m_window->registerTemporaryFile(path);
    }

    m_window->showVVMT();
    QPointer<QMdiSubWindow> earlier = toolSubWindows(*m_window).value(0);
    auto *refusing = new RefusingTool;
    m_window->openToolWindow(refusing);
    QPointer<QMdiSubWindow> refusingWindow = toolSubWindows(*m_window).value(1);
    m_window->showVVTF();
    QPointer<QMdiSubWindow> later = toolSubWindows(*m_window).value(2);
    QVERIFY(earlier && refusingWindow && later);

    QVERIFY(!m_window->close());
    flushDeletes();
    QVERIFY(m_window->isVisible());
    QVERIFY(earlier.isNull());
    QVERIFY(refusingWindow);
    QVERIFY(later);
    for (const QString &path : temporary)
        QVERIFY(QFile::exists(path));

    refusing->refuse = false;
    QVERIFY(m_window->close());
    flushDeletes();
    QVERIFY(refusingWindow.isNull());
    QVERIFY(later.isNull());
    for (const QString &path : temporary)
        QVERIFY(!QFile::exists(path));
    // The output pane is hidden with the window, never deleted.
    QVERIFY(m_window->outputSubWindow());
}

void TestMainWindow::aboutBoxNamesTheBuild()
{
    QString title, text;
    CPrompt::ScopedHandler script([&](const CPrompt::Request &request) {
        auto *box = qobject_cast<QMessageBox *>(request.dialog);
        if (box) {
            title = box->windowTitle();
            text = box->text() + QLatin1Char('\n') + box->informativeText();
        }
        CPrompt::Answer answer;
        answer.result = QDialog::Accepted;
        return answer;
    });
    m_window->aboutOSTREL();
    QCOMPARE(title, QStringLiteral("About OSTREL"));
    QVERIFY(text.startsWith(QStringLiteral("OSTREL\n")));
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("\\d{4}-\\d{2}-\\d{2}"))),
             qPrintable(text));
}

void TestMainWindow::instanceIsTheFirstWindow()
{
    QCOMPARE(OSTREL::instance(), m_window.get());
    QCOMPARE(OSTREL::existingInstance(), m_window.get());
    // Tool libraries see the same window through the services interface.
    IMainWindow *services = IMainWindow::instance();
    QCOMPARE(services, static_cast<IMainWindow *>(m_window.get()));
    QCOMPARE(services->mainWindowWidget(), static_cast<QWidget *>(m_window.get()));
    QCOMPARE(services->iconCache(), m_window->iconCache());
    const QString temporary = m_dir.filePath(QStringLiteral("entry.wav"));
    services->registerTemporaryFile(temporary);
    QCOMPARE(m_window->temporaryFiles(), QStringList{temporary});
    auto *tool = new QWidget;
    services->openToolWindow(tool);
    QCOMPARE(toolSubWindows(*m_window).value(0)->widget(), tool);
    {
        OSTREL second;
        QCOMPARE(OSTREL::instance(), m_window.get());
        QCOMPARE(IMainWindow::instance(), static_cast<IMainWindow *>(m_window.get()));
    }
    m_window.reset();
    QCOMPARE(OSTREL::existingInstance(), static_cast<OSTREL *>(nullptr));
    QCOMPARE(IMainWindow::instance(), static_cast<IMainWindow *>(nullptr));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
