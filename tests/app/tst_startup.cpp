#include "CPrompt.h"
#include "CStartup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void setCurrent_data();
    void setCurrent();
    void programDirectory_data();
    void programDirectory();
    void configurationPath_data();
    void configurationPath();
    void route_data();
    void route();
    void firstFileDialogOpensInTheStartFolder();
    void fileArguments_data();
    void fileArguments();

private:
    void touch(const QString &relativePath);

    QTemporaryDir *m_dir = nullptr;
    QString m_previousCurrent;
};

void TestStartup::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    m_previousCurrent = QDir::currentPath();
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("a/b")));
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("c")));
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void TestStartup::cleanup()
{
    CStartup::setBaseDirectory(QString());
    QDir::setCurrent(m_previousCurrent);
    delete m_dir;
    m_dir = nullptr;
}

void TestStartup::touch(const QString &relativePath)
{
    QFile file(m_dir->filePath(relativePath));
    QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void TestStartup::setCurrent_data()
{
    QTest::addColumn<QStringList>("arguments"); // after the program path
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("current"); // relative to the test folder

    QTest::newRow("none") << QStringList{"x.vpk"} << QString() << ".";
    QTest::newRow("one pair") << QStringList{"x.vpk", "-setCurrent", "a"} << QString() << "a";
    QTest::newRow("pairs in order")
        << QStringList{"-setCurrent", "a", "-setCurrent", "b", "-setCurrent", "../../c"}
        << QString() << "c";
    QTest::newRow("other letter case is a path")
        << QStringList{"-SetCurrent", "a"} << QString() << ".";
    QTest::newRow("no folder") << QStringList{"-setCurrent", "a", "-setCurrent"}
                               << CStartup::ErrorSetCurrentMissing << "a";
    QTest::newRow("missing folder") << QStringList{"-setCurrent", "nowhere", "-setCurrent"}
                                    << CStartup::ErrorSetCurrentFailed << ".";
}

void TestStartup::setCurrent()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    QFETCH(QString, current);

    arguments.prepend(QStringLiteral("ostrel"));
    QString reported;
    QCOMPARE(CStartup::applySetCurrent(arguments, &reported), error.isEmpty());
    QCOMPARE(reported, error);
    QCOMPARE(QDir::currentPath(), QDir::cleanPath(m_dir->filePath(current)));
}

void TestStartup::programDirectory_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("directory"); // relative to the test folder; "@" the runner's

    QTest::newRow("relative") << QString("a/b/ostrel") << QString("a/b");
    QTest::newRow("dot") << QString("./ostrel") << QString(".");
    QTest::newRow("absolute") << QString("%1/c/ostrel") << QString("c");
    QTest::newRow("bare name beside us") << QString("present") << QString(".");
    QTest::newRow("bare name from the search path") << QString("absent") << QString("@");
}

void TestStartup::programDirectory()
{
    QFETCH(QString, program);
    QFETCH(QString, directory);
    touch(QStringLiteral("present"));
    if (program.contains(QLatin1String("%1")))
        program = program.arg(m_dir->path());
    const QString expected = directory == QLatin1String("@")
                                 ? QCoreApplication::applicationDirPath()
                                 : QDir::cleanPath(m_dir->filePath(directory));
    QCOMPARE(QDir::cleanPath(CStartup::programDirectory(program)), expected);
}

void TestStartup::configurationPath_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("path");

    QTest::newRow("plain") << QString("/opt/ostrel") << QString("/opt/ostrel/zedidavurur.ini");
    QTest::newRow("slash") << QString("/") << QString("/zedidavurur.ini");
    QTest::newRow("backslash") << QString("C:\\") << QString("C:\\zedidavurur.ini");
}

void TestStartup::configurationPath()
{
    QFETCH(QString, directory);
    QFETCH(QString, path);
    QCOMPARE(CStartup::configurationPath(directory), path);
}

void TestStartup::route_data()
{
    QTest::addColumn<QString>("file"); // created in the folder "a"
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("route");

    // The argument names the file unless given.
    const auto row = [](const char *name, const QString &file, int route,
                        const QString &argument = QStringLiteral("=")) {
        QTest::newRow(name) << file << (argument == QLatin1String("=") ? file : argument) << route;
    };
    row("map", "m.bsp", CStartup::RoutePackage);
    row("capitals", "M.BSP", CStartup::RoutePackage);
    row("gcf", "x.Gcf", CStartup::RoutePackage);
    row("ncf", "x.ncf", CStartup::RoutePackage);
    row("last suffix counts", "x.tar.vpk", CStartup::RoutePackage);
    row("particles", "p.PCF", CStartup::RouteParticle);
    row("material", "m.vmt", CStartup::RouteMaterial);
    row("texture", "t.vtf", CStartup::RouteTexture);
    row("only the last suffix", "t.vtf.bak", CStartup::RouteNone);
    row("unknown", "notes.txt", CStartup::RouteNone);
    row("missing", "m.bsp", CStartup::RouteNone, "other.bsp");
    row("empty", "m.bsp", CStartup::RouteNone, QString());
    row("the switch", "m.bsp", CStartup::RouteNone, "-setCurrent");
    row("absolute", "m.vmt", CStartup::RouteMaterial, "%1/a/m.vmt");
    row("non-ASCII", QString::fromUtf8("ツール.pcf"), CStartup::RouteParticle);
}

void TestStartup::route()
{
    QFETCH(QString, file);
    QFETCH(QString, argument);
    QFETCH(int, route);

    touch(QStringLiteral("a/") + file);
    if (argument.contains(QLatin1String("%1")))
        argument = argument.arg(m_dir->path());
    // Relative names are taken from the folder the instance was started in,
    // not the current one (the program's own by then).
    CStartup::setBaseDirectory(m_dir->filePath(QStringLiteral("a")));
    QVERIFY(QDir::setCurrent(m_dir->filePath(QStringLiteral("c"))));
    QCOMPARE(int(CStartup::routeFor(argument)), route);
    if (route != CStartup::RouteNone)
        QCOMPARE(CStartup::resolvedPath(argument), m_dir->filePath(QStringLiteral("a/") + file));
}

void TestStartup::firstFileDialogOpensInTheStartFolder()
{
    // Start-up moves to the program's folder; the dialogs stay with the user.
    const QString start = m_dir->filePath(QStringLiteral("a"));
    CStartup::setBaseDirectory(start);
    QVERIFY(QDir::setCurrent(m_dir->filePath(QStringLiteral("c"))));
    QStringList asked;
    CPrompt::ScopedHandler script([&](const CPrompt::Request &request) {
        asked << request.directory;
        CPrompt::Answer answer;
        answer.ok = true;
        answer.text = QStringLiteral("/elsewhere/m.bsp");
        return answer;
    });
    CPrompt::getOpenFileName(nullptr, QStringLiteral("Open"));
    CPrompt::getSaveFileName(nullptr, QStringLiteral("Save"));
    QCOMPARE(asked, (QStringList{start, QStringLiteral("/elsewhere")}));
}

void TestStartup::fileArguments_data()
{
    QTest::addColumn<QStringList>("arguments"); // after the program path
    QTest::addColumn<QStringList>("files");     // "%1" the start folder

    QTest::newRow("relative from the start folder")
        << QStringList{"m.bsp", "maps/p.pcf"} << QStringList{"%1/m.bsp", "%1/maps/p.pcf"};
    QTest::newRow("climbing is cleaned, absolute stays")
        << QStringList{"../x.vmt", "./a/../y.vtf", "/data/m.bsp"}
        << QStringList{"%1/../x.vmt", "%1/y.vtf", "/data/m.bsp"};
    QTest::newRow("switch and its folder name no file, empty argument")
        << QStringList{"-setCurrent", "a", "m.bsp", QString(), "-setCurrent"}
        << QStringList{"%1/m.bsp"};
}

void TestStartup::fileArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, files);

    const QString start = m_dir->filePath(QStringLiteral("c"));
    for (QString &file : files)
        file = QDir::cleanPath(file.arg(start));
    arguments.prepend(QStringLiteral("/opt/ostrel/ostrel"));
    QCOMPARE(CStartup::fileArguments(arguments, start), files);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
