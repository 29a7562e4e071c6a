// Runs the real program, headless (see CStartup): prompts and start-up
// traces arrive on standard error as lines.
#include "../package/MapBuilder.h"
#include "../particle/PcfBuilder.h"

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
    const QByteArray material = "\"UnlitGeneric\"\n{\n}\n";
    writeFile(m_dir->filePath(QStringLiteral("one/materials/two.vmt")), material);
    writeFile(m_dir->filePath(QStringLiteral("two/materials/two.vmt")), material);
    writeFile(m_dir->filePath(QStringLiteral("two/maps/m.bsp")), MapFixture().build());
    const QString nonAscii = m_dir->filePath(QString::fromUtf8("Ünïcode ツール.vmt"));
    writeFile(nonAscii, material);

    QProcess *first = start(program, {}, m_dir->filePath(QStringLiteral("one")));
    QVERIFY(waitForLine(first, QStringLiteral("ostrel: started, 1 windows")));

    // Started from another folder: relative names mean that folder's files,
    // and the running instance gets them as absolute paths.
    QProcess *second =
        start(program,
              {QStringLiteral("materials/two.vmt"), QStringLiteral("maps/../maps/m.bsp"),
               QStringLiteral("gone.vmt"), nonAscii},
              m_dir->filePath(QStringLiteral("two")));
    QVERIFY(second->waitForFinished(StartTimeoutMs));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY(lines(second).contains(QStringLiteral("ostrel: forwarded 4 files")));
    QVERIFY(!lines(second).contains(QStringLiteral("ostrel: main window shown")));

    const QString two = m_dir->filePath(QStringLiteral("two/materials/two.vmt"));
    const QString map = m_dir->filePath(QStringLiteral("two/maps/m.bsp"));
    const QString gone = m_dir->filePath(QStringLiteral("two/gone.vmt"));
    const QStringList expected{
        QStringLiteral("ostrel: message \"\""),
        QStringLiteral("ostrel: message \"%1\"").arg(two),
        QStringLiteral("ostrel: opened \"%1\" in VVMT, 2 windows").arg(two),
        QStringLiteral("ostrel: message \"%1\"").arg(map),
        QStringLiteral("ostrel: opened \"%1\" in VPackage, 3 windows").arg(map),
        QStringLiteral("ostrel: message \"%1\"").arg(gone),
        QStringLiteral("ostrel: output: Argument Failure: \"%1\" does not exist.").arg(gone),
        QStringLiteral("ostrel: message \"%1\"").arg(nonAscii),
        QStringLiteral("ostrel: opened \"%1\" in VVMT, 4 windows").arg(nonAscii)};
    QVERIFY(waitForLine(first, expected.last()));
    const QStringList received = lines(first);
    const int from = received.indexOf(expected.first());
    QVERIFY(from >= 0);
    QCOMPARE(received.mid(from, expected.size()), expected);
}

void TestEndToEnd::commandLineFilesAtStartUp()
{
    const QString program = install(QStringLiteral("app"));
    writeFile(m_dir->filePath(QStringLiteral("work/map.bsp")), MapFixture().build());
    writeFile(m_dir->filePath(QStringLiteral("work/effects.pcf")), PcfFixture::everyTypeFile(1));
    writeFile(m_dir->filePath(QStringLiteral("work/bad.VTF")), "not a texture");
    writeFile(m_dir->filePath(QStringLiteral("work/notes.txt")), "text");
    // Beside the program only: a relative name does not mean this one.
    writeFile(m_dir->filePath(QStringLiteral("app/here.vmt")), "\"UnlitGeneric\"\n{\n}\n");
    const QString work = m_dir->filePath(QStringLiteral("work"));
    QProcess *first =
        start(program,
              {QStringLiteral("map.bsp"), QStringLiteral("effects.pcf"), QStringLiteral("bad.VTF"),
               QStringLiteral("notes.txt"), QStringLiteral("here.vmt")},
              work);
    QVERIFY2(waitForLine(first, QStringLiteral("ostrel: started, 3 windows")),
             qPrintable(lines(first).join('\n')));
    const QStringList output = lines(first);
    for (const QString &line :
         {QStringLiteral("ostrel: opened \"%1/map.bsp\" in VPackage, 2 windows"),
          QStringLiteral("ostrel: opened \"%1/effects.pcf\" in VParticle, 3 windows"),
          QStringLiteral("ostrel: output: Argument Failure: \"%1/bad.VTF\" could not be opened: "
                         "File Error: Magic number mismatch"),
          QStringLiteral("ostrel: output: Argument Failure: \"%1/notes.txt\" is not a kind of file "
                         "the workbench opens."),
          QStringLiteral("ostrel: output: Argument Failure: \"%1/here.vmt\" does not exist.")})
        QVERIFY2(output.contains(line.arg(work)), qPrintable(line.arg(work)));
    // Valid files and an invalid texture (named in the pane) show no box.
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

    writeFile(m_dir->filePath(QStringLiteral("a/here.vmt")), "\"UnlitGeneric\"\n{\n}\n");
    QProcess *running = start(program,
                              {QStringLiteral("-setCurrent"), m_dir->filePath(QStringLiteral("b")),
                               QStringLiteral("here.vmt"), QStringLiteral("-SETCURRENT")},
                              m_dir->filePath(QStringLiteral("a")));
    // Files still come from the folder the program was started in.
    QVERIFY2(waitForLine(running, QStringLiteral("ostrel: started, 2 windows")),
             qPrintable(lines(running).join('\n')));
    QVERIFY(lines(running).contains(QStringLiteral("ostrel: opened \"%1\" in VVMT, 2 windows")
                                        .arg(m_dir->filePath(QStringLiteral("a/here.vmt")))));
    QVERIFY(lines(running).contains(
        QStringLiteral("ostrel: output: Argument Failure: \"%1\" does not exist.")
            .arg(m_dir->filePath(QStringLiteral("a/-SETCURRENT")))));
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
