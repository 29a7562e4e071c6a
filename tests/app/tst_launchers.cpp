#include "CLauncherScript.h"
#include "COutsideTool.h"
#include "CRegistryKey.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {
using Launch = std::function<QString()>;
}
Q_DECLARE_METATYPE(Launch)

class TestLaunchers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void javaTools_data();
    void javaTools();
    void quotedCommand_data();
    void quotedCommand();
    void gcfscapeRegistration_data();
    void gcfscapeRegistration();

private:
    QString readScript(const QString &name) const;
    void registerGcfscape(const QString &value);

    QTemporaryDir *m_dir = nullptr;
    QString m_previousCurrent;
    QStringList m_started;
    bool m_startSucceeds = true;
};

void TestLaunchers::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    m_previousCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    CRegistryKey::setStoreFile(m_dir->filePath(QStringLiteral("store/registry.ini")));
    m_started.clear();
    m_startSucceeds = true;
    CLauncherScript::setStarter([this](const QString &program, const QString &) {
        // What the script would run, read while it still exists.
        QFile script(program);
        if (script.open(QIODevice::ReadOnly))
            m_started << QString::fromLocal8Bit(script.readAll());
        return m_startSucceeds;
    });
}

void TestLaunchers::cleanup()
{
    CLauncherScript::setStarter(nullptr);
    CRegistryKey::setStoreFile(QString());
    QDir::setCurrent(m_previousCurrent);
    delete m_dir;
    m_dir = nullptr;
}

QString TestLaunchers::readScript(const QString &name) const
{
    QFile file(m_dir->filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(file.readAll());
}

void TestLaunchers::registerGcfscape(const QString &value)
{
    CRegistryKey key;
    QVERIFY(key.create(CRegistryKey::ClassesRoot, QString::fromLatin1(COutsideTool::GcfscapeKey)));
    QVERIFY(key.writeString(QString(), value));
}

void TestLaunchers::javaTools_data()
{
    QTest::addColumn<Launch>("launch");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("tool");

    QTest::newRow("Entspy") << Launch(&COutsideTool::launchEntspy) << "run_entspy.bat"
                            << "java -jar ./entspy/entspy.jar"
                            << "Entspy";
    QTest::newRow("Pakrat") << Launch(&COutsideTool::launchPakrat) << "run_pakrat.bat"
                            << "java -jar ./pakrat/pakrat.jar"
                            << "Pakrat";
}

void TestLaunchers::javaTools()
{
    QFETCH(Launch, launch);
    QFETCH(QString, script);
    QFETCH(QString, commandLine);
    QFETCH(QString, tool);

    // Started: the script stays for the tool to run and delete.
    QCOMPARE(launch(), QString());
    const QString expected =
        QStringLiteral("#!/bin/sh\n") + commandLine + QStringLiteral("\nrm -f -- \"$0\"\n");
    QCOMPARE(m_started, QStringList{expected});
    QCOMPARE(readScript(script), expected);
    const QFile::Permissions permissions = QFileInfo(m_dir->filePath(script)).permissions();
    QVERIFY(permissions & QFile::ExeOwner);
    QVERIFY(!(permissions & (QFile::WriteGroup | QFile::WriteOther)));

    // Not started: the warning, and no file left.
    m_startSucceeds = false;
    QCOMPARE(launch(), QStringLiteral("Unable to start %1 as a detatched process.").arg(tool));
    QVERIFY(!QFileInfo::exists(m_dir->filePath(script)));

    // Not written (a folder holds the name): the other warning, nothing started.
    m_started.clear();
    QVERIFY(QDir(m_dir->path()).mkdir(script));
    QCOMPARE(launch(), QStringLiteral("Unable to initialize launcher for %1.").arg(tool));
    QVERIFY(m_started.isEmpty());
}

void TestLaunchers::quotedCommand_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("command");

    QTest::newRow("program and argument") << "\"C:\\Program Files\\GCFScape\\GCFScape.exe\" \"%1\""
                                          << "\"C:\\Program Files\\GCFScape\\GCFScape.exe\"";
    QTest::newRow("text before") << "x \"a b\" c"
                                 << "\"a b\"";
    QTest::newRow("no quotes") << "C:\\GCFScape\\GCFScape.exe %1" << QString();
    QTest::newRow("one quote") << "\"C:\\GCFScape\\GCFScape.exe %1" << QString();
    QTest::newRow("empty quotes") << "\"\" x"
                                  << "\"\"";
    QTest::newRow("empty") << QString() << QString();
}

void TestLaunchers::quotedCommand()
{
    QFETCH(QString, value);
    QFETCH(QString, command);
    QCOMPARE(COutsideTool::quotedCommand(value), command);
}

void TestLaunchers::gcfscapeRegistration_data()
{
    QTest::addColumn<QString>("value"); // empty: not registered
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QString>("commandLine");

    QTest::newRow("not registered")
        << QString() << "GCFScape doesn't appear to be installed." << QString();
    QTest::newRow("quoted program and argument")
        << "\"/opt/GCF Scape/gcfscape\" \"%1\"" << QString() << "'/opt/GCF Scape/gcfscape'";
    QTest::newRow("shell text stays a name")
        << "\"/opt/$(touch x);gcfscape\"" << QString() << "'/opt/$(touch x);gcfscape'";
    QTest::newRow("kept as Unicode") << QString::fromUtf8("\"/opt/ツール/gcfscape\"") << QString()
                                     << QString::fromUtf8("'/opt/ツール/gcfscape'");
    // Nothing between quotes: no script that would run nothing.
    QTest::newRow("no quotes") << "/opt/gcfscape %1"
                               << "Unable to resolve path of GCFScape.exe." << QString();
    QTest::newRow("empty quotes") << "\"\" \"%1\""
                                  << "Unable to resolve path of GCFScape.exe." << QString();
    QTest::newRow("254 characters") << "\"" + QString(252, QLatin1Char('g')) + "\"" << QString()
                                    << QString(252, QLatin1Char('g'));
    QTest::newRow("255 characters: too long for the value buffer")
        << "\"" + QString(253, QLatin1Char('g')) + "\""
        << "Unable to resolve path of GCFScape.exe." << QString();
}

void TestLaunchers::gcfscapeRegistration()
{
    QFETCH(QString, value);
    QFETCH(QString, warning);
    QFETCH(QString, commandLine);

    if (!value.isEmpty())
        registerGcfscape(value);
    const QString storeFile = CRegistryKey::storeFile();
    QByteArray storeBefore;
    QFile store(storeFile);
    if (store.open(QIODevice::ReadOnly))
        storeBefore = store.readAll();
    store.close();

    QCOMPARE(COutsideTool::launchGcfscape(), warning);
    if (warning.isEmpty()) {
        QCOMPARE(m_started, QStringList{QStringLiteral("#!/bin/sh\n") + commandLine +
                                        QStringLiteral("\nrm -f -- \"$0\"\n")});
    } else {
        QVERIFY(m_started.isEmpty());
        QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("run_gcfscape.bat"))));
    }
    // Looking up the registration never writes the store.
    QByteArray storeAfter;
    if (store.open(QIODevice::ReadOnly))
        storeAfter = store.readAll();
    QCOMPARE(storeAfter, storeBefore);
}

QTEST_GUILESS_MAIN(TestLaunchers)
#include "tst_launchers.moc"
