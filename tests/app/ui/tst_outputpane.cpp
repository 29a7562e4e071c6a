#include "CConfig.h"
#include "CPrompt.h"
#include "MessageHandler.h"
#include "OSTREL.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTemporaryFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QThread>
#include <QtTest>

#include <cstdio>
#include <memory>

#include <unistd.h>

namespace {
QString lastLine(const OSTREL &window)
{
    return window.outputPane()->document()->lastBlock().text();
}

int lineCount(const OSTREL &window)
{
    return window.outputPane()->document()->blockCount();
}
} // namespace

class TestOutputPane : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void appearance();
    void countsWhileMinimised();
    void visiblePaneDoesNotCount();
    void hiddenPaneCountsAndComesBackMinimised();
    void showOutputStateMachine();
    void prefixes_data();
    void prefixes();
    void markupStaysLiteral();
    void outputWithoutShowWritesNothing();
    void workerThreadMessageIsQueued();
    void noWindowMeansStderr();
    void fatalShowsABoxAndEnds();

private:
    void open(bool minimised);

    std::unique_ptr<OSTREL> m_window;
};

void TestOutputPane::open(bool minimised)
{
    CConfig::instance()->minimize_output_on_startup = minimised;
    m_window = std::make_unique<OSTREL>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    // Showing a window on the offscreen platform warns about size hints;
    // mark that as read so each test counts only its own lines.
    QCoreApplication::processEvents();
    QMetaObject::invokeMethod(m_window.get(), "resetMessageCount",
                              Q_ARG(Qt::WindowStates, Qt::WindowNoState),
                              Q_ARG(Qt::WindowStates, Qt::WindowNoState));
    QCOMPARE(m_window->unreadCount(), 0);
}

void TestOutputPane::cleanup()
{
    m_window.reset();
}

void TestOutputPane::appearance()
{
    open(true);
    QTextEdit *pane = m_window->outputPane();
    QVERIFY(pane->isReadOnly());
    QVERIFY(!pane->isUndoRedoEnabled());
    QCOMPARE(pane->minimumSize(), QSize(657, 305));
    QCOMPARE(pane->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(pane->palette().color(QPalette::Active, QPalette::Base), QColor(Qt::black));
    QCOMPARE(pane->palette().color(QPalette::Inactive, QPalette::Base), QColor(Qt::black));
    QCOMPARE(pane->palette().color(QPalette::Text), QColor(192, 192, 192));
    // What is asked for, not what the machine's fonts make of it: the face
    // first, and a fixed-pitch fallback wherever it is missing.
    const QFont font = pane->font();
    QCOMPARE(font.pointSize(), 8);
    QCOMPARE(font.family(), QStringLiteral("Lucida Console"));
    QCOMPARE(font.families().value(0), QStringLiteral("Lucida Console"));
    QCOMPARE(font.families().last(), QStringLiteral("monospace"));
    QCOMPARE(font.styleHint(), QFont::TypeWriter);
    QVERIFY(font.fixedPitch());
    QCOMPARE(m_window->outputSubWindow()->windowTitle(), QStringLiteral("Output"));
    QVERIFY(!m_window->outputSubWindow()->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(m_window->outputSubWindow()->isMinimized());
    // The banner names the program.
    QVERIFY(pane->toPlainText().startsWith(QStringLiteral("OSTREL")));
}

void TestOutputPane::countsWhileMinimised()
{
    open(true);
    QMdiSubWindow *sub = m_window->outputSubWindow();
    QVERIFY(sub->isMinimized());
    const int before = lineCount(*m_window);
    qWarning("first");
    qWarning("second");
    qWarning("third");
    QCOMPARE(lineCount(*m_window), before + 3);
    QCOMPARE(lastLine(*m_window), QStringLiteral("Warning: third"));
    QCOMPARE(m_window->unreadCount(), 3);
    QCOMPARE(sub->windowTitle(), QStringLiteral("Output (3)"));
    QCOMPARE(m_window->outputPane()->windowTitle(), QStringLiteral("Output (3)"));

    sub->showNormal();
    QCOMPARE(m_window->unreadCount(), 0);
    QCOMPARE(sub->windowTitle(), QStringLiteral("Output"));
}

void TestOutputPane::visiblePaneDoesNotCount()
{
    open(false);
    QMdiSubWindow *sub = m_window->outputSubWindow();
    QVERIFY(!sub->isMinimized());
    QVERIFY(m_window->outputPane()->isVisible());
    qWarning("seen");
    qDebug("seen too");
    QCOMPARE(lastLine(*m_window), QStringLiteral("Debug: seen too"));
    QCOMPARE(m_window->unreadCount(), 0);
    QCOMPARE(sub->windowTitle(), QStringLiteral("Output"));

    // Leaving maximised for normal resets too (nothing to reset here, but
    // the count must stay 0 and the title plain).
    sub->showMaximized();
    sub->showNormal();
    QCOMPARE(sub->windowTitle(), QStringLiteral("Output"));
}

void TestOutputPane::hiddenPaneCountsAndComesBackMinimised()
{
    open(false);
    QMdiSubWindow *sub = m_window->outputSubWindow();
    QVERIFY(sub->close());
    QVERIFY(sub->isHidden());
    QCOMPARE(m_window->outputSubWindow(), sub);

    qWarning("while hidden");
    qWarning("still hidden");
    QCOMPARE(lastLine(*m_window), QStringLiteral("Warning: still hidden"));
    QCOMPARE(m_window->unreadCount(), 2);

    m_window->showOUTPUT();
    QVERIFY(!sub->isHidden());
    QVERIFY(sub->isMinimized());
    QCOMPARE(sub->windowTitle(), QStringLiteral("Output (2)"));

    m_window->showOUTPUT();
    QVERIFY(!sub->isMinimized());
    QCOMPARE(sub->windowTitle(), QStringLiteral("Output"));
    QCOMPARE(m_window->unreadCount(), 0);
}

void TestOutputPane::showOutputStateMachine()
{
    open(true);
    QMdiSubWindow *sub = m_window->outputSubWindow();
    QMdiArea *area = m_window->mdiArea();

    // Minimised: restored.
    m_window->showOUTPUT();
    QVERIFY(!sub->isMinimized());
    QVERIFY(sub->isVisible());

    // Another sub-window active: the pane becomes the active one.
    m_window->showVVMT();
    QVERIFY(area->activeSubWindow() != sub);
    m_window->showOUTPUT();
    QCOMPARE(area->activeSubWindow(), sub);

    // Active: hidden.
    m_window->showOUTPUT();
    QVERIFY(sub->isHidden());

    // Hidden: back, minimised.
    m_window->showOUTPUT();
    QVERIFY(!sub->isHidden());
    QVERIFY(sub->isMinimized());
}

void TestOutputPane::prefixes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("line");

    QTest::newRow("debug") << int(QtDebugMsg) << "Debug: abc";
    QTest::newRow("warning") << int(QtWarningMsg) << "Warning: abc";
    QTest::newRow("critical") << int(QtCriticalMsg) << "Critical: abc";
    QTest::newRow("fatal") << int(QtFatalMsg) << "Fatal: abc";
    QTest::newRow("other") << 77 << "Unknown: abc";
}

void TestOutputPane::prefixes()
{
    QFETCH(int, type);
    QFETCH(QString, line);
    QCOMPARE(messageLine(QtMsgType(type), QStringLiteral("abc")), line);

    // Through the installed handler, exactly that line reaches the pane.
    if (type == int(QtFatalMsg))
        return;
    open(true);
    messageHandler(QtMsgType(type), QMessageLogContext(), QStringLiteral("abc"));
    QCOMPARE(lastLine(*m_window), line);
}

void TestOutputPane::markupStaysLiteral()
{
    open(true);
    const QString text = QStringLiteral("<b>bold</b> &amp; <a href=\"x\">link</a>\t<br>");
    qWarning("%s", qPrintable(text));
    QCOMPARE(lastLine(*m_window), QStringLiteral("Warning: ") + text);
    QVERIFY(m_window->outputPane()->toPlainText().endsWith(QStringLiteral("Warning: ") + text));
}

void TestOutputPane::outputWithoutShowWritesNothing()
{
    open(true);
    const QString before = m_window->outputPane()->toPlainText();
    m_window->output(QStringLiteral("hidden"), false);
    QCOMPARE(m_window->outputPane()->toPlainText(), before);
    QCOMPARE(m_window->unreadCount(), 0);
}

void TestOutputPane::workerThreadMessageIsQueued()
{
    open(true);
    QThread *worker = QThread::create([] { qWarning("from a worker"); });
    worker->start();
    QVERIFY(worker->wait(10000));
    delete worker;
    // The line waits for the interface thread's event loop.
    QVERIFY(lastLine(*m_window) != QStringLiteral("Warning: from a worker"));
    QTRY_COMPARE(lastLine(*m_window), QStringLiteral("Warning: from a worker"));
    QCOMPARE(m_window->unreadCount(), 1);
}

void TestOutputPane::noWindowMeansStderr()
{
    open(true);
    m_window.reset();
    // With the window gone, messages neither crash nor bring a window back:
    // each is one prefixed line on stderr, read back here from a file put in
    // its place.
    QTemporaryFile capture;
    QVERIFY(capture.open());
    std::fflush(stderr);
    const int savedStderr = ::dup(STDERR_FILENO);
    QVERIFY(savedStderr >= 0);
    QVERIFY(::dup2(capture.handle(), STDERR_FILENO) >= 0);
    qWarning("nobody listens");
    QThread *worker = QThread::create([] { qCritical("nobody listens either"); });
    worker->start();
    const bool finished = worker->wait(10000);
    delete worker;
    QCoreApplication::processEvents();
    std::fflush(stderr);
    ::dup2(savedStderr, STDERR_FILENO);
    ::close(savedStderr);
    QVERIFY(finished);
    QCOMPARE(OSTREL::existingInstance(), static_cast<OSTREL *>(nullptr));

    QFile written(capture.fileName());
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = written.readAll().split('\n');
    QVERIFY2(lines.contains("Warning: nobody listens"), lines.join('|').constData());
    QVERIFY2(lines.contains("Critical: nobody listens either"), lines.join('|').constData());
}

void TestOutputPane::fatalShowsABoxAndEnds()
{
    // The program ends, so the message is raised in a child run of this test.
    if (qEnvironmentVariableIsSet("OSTREL_FATAL_CHILD")) {
        open(true);
        OSTREL *window = m_window.get();
        CPrompt::setHandler([window](const CPrompt::Request &request) {
            std::printf("box critical=%d title=[%s] text=[%s] ok=%d default=%d pane=[%s]\n",
                        request.kind == CPrompt::Kind::Critical, qPrintable(request.title),
                        qPrintable(request.text), request.buttons == QMessageBox::Ok,
                        request.defaultButton == QMessageBox::NoButton,
                        qPrintable(lastLine(*window)));
            std::fflush(stdout);
            CPrompt::Answer answer;
            answer.button = QMessageBox::Ok;
            return answer;
        });
        qWarning("before");
        qFatal("boom <b>%d</b>", 7);
        std::printf("still running\n");
        return;
    }
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("OSTREL_FATAL_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                QStringList{QStringLiteral("fatalShowsABoxAndEnds")});
    QVERIFY(child.waitForFinished(60000));
    const QByteArray out = child.readAllStandardOutput();
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QVERIFY2(out.contains("box critical=1 title=[OSTREL] text=[Fatal: boom <b>7</b>] ok=1 "
                          "default=1 pane=[Warning: before]"),
             out.constData());
    QVERIFY(!out.contains("still running"));
}

QTEST_MAIN(TestOutputPane)
#include "tst_outputpane.moc"
