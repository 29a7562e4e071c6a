// Runs the real program, headless (see CStartup): prompts and start-up
// traces arrive on standard error as lines.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const int StartTimeoutMs = 60000;
}

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startWithoutArgumentsShowsTheWindow();
    void secondStartForwardsToTheFirst();
    void commandLineFilesAtStartUp();
    void earlyStops_data();
    void earlyStops();
    void setCurrentMovesOnlyTheProgramPath();

private:
    // The program as a link in `folder` (created), so that the folder is the
    // program's own; with `configuration` the shipped "zedidavurur.ini" too.
    QString install(const QString &folder, bool configuration = true);
    QProcess *start(const QString &program, const QStringList &arguments,
                    const QString &workingDirectory);
    QStringList lines(QProcess *process);
    bool waitForLine(QProcess *process, const QString &line);
    void writeFile(const QString &path, const QByteArray &bytes);

    QTemporaryDir *m_dir = nullptr;
    QList<QProcess *> m_processes;
    QHash<QProcess *, QByteArray> m_stderr;
};

void TestEndToEnd::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    // The instance's lock and socket live here, away from a real instance.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("runtime")));
    QVERIFY(QFile::setPermissions(m_dir->filePath(QStringLiteral("runtime")),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void TestEndToEnd::cleanup()
{
    for (QProcess *process : qAsConst(m_processes)) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(10000);
        }
        delete process;
    }
    m_processes.clear();
    m_stderr.clear();
    delete m_dir;
    m_dir = nullptr;
}

QString TestEndToEnd::install(const QString &folder, bool configuration)
{
    const QString directory = m_dir->filePath(folder);
    QDir().mkpath(directory);
    const QString program = directory + QStringLiteral("/ostrel");
    if (!QFile::link(QStringLiteral(OSTREL_EXECUTABLE), program))
        return QString();
    if (configuration)
        QFile::copy(QStringLiteral(OSTREL_CONFIGURATION),
                    directory + QStringLiteral("/zedidavurur.ini"));
    return program;
}

QProcess *TestEndToEnd::start(const QString &program, const QStringList &arguments,
                              const QString &workingDirectory)
{
    auto *process = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("OSTREL_HEADLESS"), QStringLiteral("1"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                       m_dir->filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("OSTREL_REGISTRY_FILE"),
                       m_dir->filePath(QStringLiteral("registry.ini")));
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(workingDirectory);
    process->setProcessChannelMode(QProcess::SeparateChannels);
    connect(process, &QProcess::readyReadStandardError, this,
            [this, process] { m_stderr[process] += process->readAllStandardError(); });
    process->start(program, arguments);
    m_processes << process;
    return process;
}

QStringList TestEndToEnd::lines(QProcess *process)
{
    m_stderr[process] += process->readAllStandardError();
    return QString::fromLocal8Bit(m_stderr.value(process)).split(QLatin1Char('\n'));
}

bool TestEndToEnd::waitForLine(QProcess *process, const QString &line)
{
    QElapsedTimer timer;
    timer.start();
    while (!lines(process).contains(line)) {
        if (timer.elapsed() > StartTimeoutMs || process->state() == QProcess::NotRunning)
            return lines(process).contains(line);
        QTest::qWait(20);
    }
    return true;
}

void TestEndToEnd::writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TestEndToEnd::startWithoutArgumentsShowsTheWindow()
{
    const QString program = install(QStringLiteral("app"));
    QProcess *first = start(program, {}, m_dir->path());
    // The output pane is the one sub-window.
    QVERIFY2(waitForLine(first, QStringLiteral("ostrel: started, 1 windows")),
             qPrintable(lines(first).join('\n')));
    QVERIFY(lines(first).contains(QStringLiteral("ostrel: main window shown")));
    QCOMPARE(first->state(), QProcess::Running);
}

void TestEndToEnd::secondStartForwardsToTheFirst()
{
    const QString program = install(QStringLiteral("app"));
    writeFile(m_dir->filePath(QStringLiteral("app/one.vmt")), "\"LightmappedGeneric\"\n{\n}\n");
    writeFile(m_dir->filePath(QStringLiteral("app/materials/two.VMT")), "\"UnlitGeneric\"\n{\n}\n");
    writeFile(m_dir->filePath(QStringLiteral("elsewhere/materials/three.vmt")), "x");
    const QString nonAscii = QString::fromUtf8("app/Ünïcode ツール.vmt");
    writeFile(m_dir->filePath(nonAscii), "\"UnlitGeneric\"\n{\n}\n");

    QProcess *first = start(program, {}, m_dir->path());
    QVERIFY(waitForLine(first, QStringLiteral("ostrel: started, 1 windows")));

    // Started from another folder: "materials/two.VMT" exists only beside the
    // first instance, "materials/three.vmt" only beside the second.
    const QStringList forwarded{m_dir->filePath(QStringLiteral("app/one.vmt")),
                                QStringLiteral("materials/two.VMT"),
                                QStringLiteral("materials/three.vmt"), m_dir->filePath(nonAscii)};
    QProcess *second = start(program, forwarded, m_dir->filePath(QStringLiteral("elsewhere")));
    QVERIFY(second->waitForFinished(StartTimeoutMs));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY(lines(second).contains(QStringLiteral("ostrel: forwarded 4 arguments")));
    QVERIFY(!lines(second).contains(QStringLiteral("ostrel: main window shown")));

    const QStringList expected{
        QStringLiteral("ostrel: message \"\""),
        QStringLiteral("ostrel: message \"%1\"").arg(forwarded.at(0)),
        QStringLiteral("ostrel: opened \"%1\" as 3, 2 windows").arg(forwarded.at(0)),
        QStringLiteral("ostrel: message \"materials/two.VMT\""),
        QStringLiteral("ostrel: opened \"%1\" as 3, 3 windows")
            .arg(m_dir->filePath(QStringLiteral("app/materials/two.VMT"))),
        QStringLiteral("ostrel: message \"materials/three.vmt\""),
        QStringLiteral("ostrel: ignored \"materials/three.vmt\""),
        QStringLiteral("ostrel: message \"%1\"").arg(forwarded.at(3)),
        QStringLiteral("ostrel: opened \"%1\" as 3, 4 windows").arg(forwarded.at(3))};
    QVERIFY(waitForLine(first, expected.last()));
    const QStringList received = lines(first);
    const int from = received.indexOf(expected.first());
    QVERIFY(from >= 0);
    QCOMPARE(received.mid(from, expected.size()), expected);
}

void TestEndToEnd::commandLineFilesAtStartUp()
{
    const QString program = install(QStringLiteral("app"));
    writeFile(m_dir->filePath(QStringLiteral("app/bad.VTF")), "not a texture");
    writeFile(m_dir->filePath(QStringLiteral("app/notes.txt")), "text");
    QProcess *first = start(
        program,
        {QStringLiteral("bad.VTF"), QStringLiteral("notes.txt"), QStringLiteral("missing.vtf")},
        m_dir->path());
    QVERIFY(waitForLine(first, QStringLiteral("ostrel: started, 2 windows")));
    const QStringList output = lines(first);
    QVERIFY(output.contains(QStringLiteral("ostrel: opened \"%1\" as 4, 2 windows")
                                .arg(m_dir->filePath(QStringLiteral("app/bad.VTF")))));
    // An invalid texture opens an empty editor and shows nothing.
    for (const QString &line : output)
        QVERIFY2(!line.contains(QLatin1Char('|')), qPrintable(line));
}

void TestEndToEnd::earlyStops_data()
{
    QTest::addColumn<bool>("configuration");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("box");

    QTest::newRow("configuration missing")
        << false << QStringList()
        << "Critical|OSTREL|Configuration file \"zedidavurur.ini\" not found in working "
           "directory.";
    QTest::newRow("-setCurrent without folder")
        << true << QStringList{"x.vpk", "-setCurrent"}
        << "Warning|OSTREL|Argument Failure: No directory specified.";
    QTest::newRow("-setCurrent to a missing folder")
        << true << QStringList{"-setCurrent", "/nonexistent/folder"}
        << "Warning|OSTREL|Argument Failure: Unable to set working directory.";
}

void TestEndToEnd::earlyStops()
{
    QFETCH(bool, configuration);
    QFETCH(QStringList, arguments);
    QFETCH(QString, box);

    const QString program = install(QStringLiteral("app"), configuration);
    QProcess *process = start(program, arguments, m_dir->path());
    QVERIFY(process->waitForFinished(StartTimeoutMs));
    QCOMPARE(process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(process->exitCode(), 1);
    QVERIFY2(lines(process).contains(box), qPrintable(lines(process).join('\n')));
    QVERIFY(!lines(process).contains(QStringLiteral("ostrel: main window shown")));
}

void TestEndToEnd::setCurrentMovesOnlyTheProgramPath()
{
    // The same relative program path names a copy without configuration from
    // "a" and one with configuration from "b".
    install(QStringLiteral("a/app"), false);
    install(QStringLiteral("b/app"));
    writeFile(m_dir->filePath(QStringLiteral("b/app/here.vmt")), "\"UnlitGeneric\"\n{\n}\n");
    const QString program = QStringLiteral("app/ostrel");
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("elsewhere"))));

    QProcess *stopped = start(
        program, {QStringLiteral("-setCurrent"), m_dir->filePath(QStringLiteral("elsewhere"))},
        m_dir->filePath(QStringLiteral("b")));
    QVERIFY(stopped->waitForFinished(StartTimeoutMs));
    QCOMPARE(stopped->exitCode(), 1);
    QVERIFY(lines(stopped).contains(
        QStringLiteral("Critical|OSTREL|Unable to set working directory.")));

    QProcess *running = start(program,
                              {QStringLiteral("-setCurrent"), m_dir->filePath(QStringLiteral("b")),
                               QStringLiteral("here.vmt"), QStringLiteral("-SETCURRENT")},
                              m_dir->filePath(QStringLiteral("a")));
    // The working folder is the program's: "here.vmt" opens from there.
    QVERIFY2(waitForLine(running, QStringLiteral("ostrel: started, 2 windows")),
             qPrintable(lines(running).join('\n')));
    QVERIFY(lines(running).contains(QStringLiteral("ostrel: opened \"%1\" as 3, 2 windows")
                                        .arg(m_dir->filePath(QStringLiteral("b/app/here.vmt")))));
    QVERIFY(lines(running).contains(QStringLiteral("ostrel: ignored \"-SETCURRENT\"")));
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
