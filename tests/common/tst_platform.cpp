#include "CDesktopFile.h"
#include "CLauncherScript.h"
#include "CRegistryKey.h"
#include "CSessionDirectory.h"
#include "PrivateDesktop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void registryRoundTrip_data();
    void registryRoundTrip();
    void registryKeyMustExist();
    void registryReadOnlyRefusesWrites();
    void registryHandEditedValues_data();
    void registryHandEditedValues();
    void registryHandEditedStrings_data();
    void registryHandEditedStrings();
    void registryFileLayout();

    void scriptQuoting_data();
    void scriptQuoting();
    void launchWritesScriptAndStarts();
    void launchFailuresLeaveNoFile();
    void launchReplacesLinkInsteadOfFollowingIt();
    void launchedScriptRunsAndDeletesItself();

    void desktopOpenHandsOverAbsolutePath();
    void desktopAssociations_data();
    void desktopAssociations();
    void sessionDirectoryIsPrivate();
    void temporaryFolderOfAMissingTmpdir();
    void sessionFilePathStaysInside_data();
    void sessionFilePathStaysInside();

private:
    QTemporaryDir *m_dir = nullptr;
    QString storePath() const { return m_dir->filePath(QStringLiteral("registry.ini")); }
    void writeStore(const QByteArray &text);
    QByteArray readStore() const;
    void writeFile(const QString &relativePath, const QByteArray &text);
};

void TestPlatform::writeFile(const QString &relativePath, const QByteArray &text)
{
    const QString path = m_dir->filePath(relativePath);
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

void TestPlatform::writeStore(const QByteArray &text)
{
    writeFile(QStringLiteral("registry.ini"), text);
}

QByteArray TestPlatform::readStore() const
{
    QFile file(storePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestPlatform::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    CRegistryKey::setStoreFile(storePath());
}

void TestPlatform::cleanup()
{
    CRegistryKey::setStoreFile(QString());
    CLauncherScript::setStarter(nullptr);
    CDesktopFile::setOpener(nullptr);
    delete m_dir;
    m_dir = nullptr;
}

void TestPlatform::registryRoundTrip_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("number");

    QTest::newRow("comma in name") << "Software\\Valve\\Hammer\\Splitter"
                                   << "DrawType0,1" << QString() << quint32(11);
    QTest::newRow("space in key") << "Software\\Valve\\Hammer\\3D Views"
                                  << "BackPlane" << QString() << quint32(4294967295u);
    QTest::newRow("default value")
        << "\\Applications\\GCFScape.exe\\shell\\open\\command" << QString()
        << "\"C:\\GCFScape\\gcfscape.exe\" \"%1\"" << quint32(0);
    QTest::newRow("slashes and percent in name") << "A/B"
                                                 << "x/y\\z%2F"
                                                 << "v" << quint32(0);
    QTest::newRow("non-ASCII text")
        << "Software\\Tëst"
        << "Pfad" << QString::fromUtf8("C:\\Ünïcode\\ツール.exe") << quint32(0);
}

void TestPlatform::registryRoundTrip()
{
    QFETCH(QString, key);
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(quint32, number);

    CRegistryKey writer;
    QVERIFY(writer.create(CRegistryKey::CurrentUser, key));
    if (text.isEmpty())
        QVERIFY(writer.writeDword(name, number));
    else
        QVERIFY(writer.writeString(name, text));

    CRegistryKey reader;
    QVERIFY(reader.open(CRegistryKey::CurrentUser, key, CRegistryKey::ReadOnly));
    QString readText;
    quint32 readNumber = 0;
    if (text.isEmpty()) {
        QVERIFY(reader.readDword(name, &readNumber));
        QCOMPARE(readNumber, number);
        QVERIFY(!reader.readString(name, &readText)); // the other type
    } else {
        QVERIFY(reader.readString(name, &readText));
        QCOMPARE(readText, text);
        QVERIFY(!reader.readDword(name, &readNumber));
    }
    // Roots are separate trees.
    QVERIFY(!CRegistryKey().open(CRegistryKey::ClassesRoot, key));
}

void TestPlatform::registryKeyMustExist()
{
    CRegistryKey key;
    QVERIFY(!key.open(CRegistryKey::CurrentUser, QStringLiteral("Software\\Valve\\Hammer")));
    QVERIFY(!key.isOpen());
    quint32 value = 0;
    QVERIFY(!key.readDword(QStringLiteral("x"), &value));
    QVERIFY(!key.writeDword(QStringLiteral("x"), 1));
    QVERIFY(!QFile::exists(storePath()));

    // A parent of a key with values opens; a missing value in an open key
    // does not read.
    CRegistryKey child;
    QVERIFY(child.create(CRegistryKey::CurrentUser,
                         QStringLiteral("Software\\Valve\\Hammer\\Splitter")));
    QVERIFY(child.writeDword(QStringLiteral("DrawType0,0"), 2));
    QVERIFY(key.open(CRegistryKey::CurrentUser, QStringLiteral("Software/Valve\\\\Hammer")));
    QVERIFY(!key.readDword(QStringLiteral("DrawType0,0"), &value));
}

void TestPlatform::registryReadOnlyRefusesWrites()
{
    CRegistryKey key;
    QVERIFY(key.create(CRegistryKey::ClassesRoot, QStringLiteral("K")));
    QVERIFY(key.writeString(QString(), QStringLiteral("old")));
    QVERIFY(key.open(CRegistryKey::ClassesRoot, QStringLiteral("K"), CRegistryKey::ReadOnly));
    QVERIFY(!key.writeString(QString(), QStringLiteral("new")));
    // A text that would read back as a number is refused, not mangled.
    QVERIFY(key.create(CRegistryKey::ClassesRoot, QStringLiteral("K")));
    QVERIFY(!key.writeString(QString(), QStringLiteral("dword:00000001")));
    QString value;
    QVERIFY(key.readString(QString(), &value));
    QCOMPARE(value, QStringLiteral("old"));
}

void TestPlatform::registryHandEditedValues_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("readsNumber");
    QTest::addColumn<quint32>("number");

    QTest::newRow("space inside") << QByteArray("v=dword:0000dd b4") << false << quint32(0);
    QTest::newRow("valid") << QByteArray("v=dword:0000ddb4") << true << quint32(56756);
    QTest::newRow("too long for 32 bits") << QByteArray("v=dword:100000000") << false << quint32(0);
    QTest::newRow("one digit") << QByteArray("v=dword:1") << true << quint32(1);
    QTest::newRow("five digits") << QByteArray("v=dword:BaCe0") << true << quint32(0xbace0);
    QTest::newRow("no digits") << QByteArray("v=dword:") << false << quint32(0);
    QTest::newRow("hex prefix") << QByteArray("v=dword:0x1") << false << quint32(0);
    QTest::newRow("not hex") << QByteArray("v=dword:zzzzzzzz") << false << quint32(0);
    QTest::newRow("list") << QByteArray("v=a, b") << false << quint32(0);
}

void TestPlatform::registryHandEditedValues()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, readsNumber);
    QFETCH(quint32, number);

    QFile file(storePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[HKEY_CURRENT_USER]\n" + line + "\n");
    file.close();

    CRegistryKey key;
    QVERIFY(key.open(CRegistryKey::CurrentUser, QString()));
    quint32 value = 0;
    QCOMPARE(key.readDword(QStringLiteral("v"), &value), readsNumber);
    QCOMPARE(value, number);
}

void TestPlatform::registryHandEditedStrings_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value"); // empty: not readable as a string

    const QByteArray key =
        "[HKEY_CLASSES_ROOT\\Applications\\GCFScape.exe\\shell\\open\\command]\n";
    QTest::newRow("quotes, backslashes and %1")
        << key + "@=\"C:\\Program Files\\GCFScape\\GCFScape.exe\" \"%1\"\n"
        << QString() << "\"C:\\Program Files\\GCFScape\\GCFScape.exe\" \"%1\"";
    QTest::newRow("blanks around, Windows line end")
        << key + "@ = \"/opt/gcf scape/gcfscape\" \"%1\"  \r\n"
        << QString() << "\"/opt/gcf scape/gcfscape\" \"%1\"";
    QTest::newRow("letter case, = in the value")
        << QByteArray("[hkey_classes_root\\APPLICATIONS\\gcfscape.exe/shell\\open\\Command]\n"
                      "Path=a=b;c\n")
        << "path"
        << "a=b;c";
    QTest::newRow("quoted @ is a name, not the default") << key + "\"@\"=named\n;@=comment\n"
                                                         << QString() << QString();
}

void TestPlatform::registryHandEditedStrings()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, name);
    QFETCH(QString, value);

    writeStore(text);
    CRegistryKey key;
    QVERIFY(key.open(CRegistryKey::ClassesRoot,
                     QStringLiteral("\\Applications\\GCFScape.exe\\shell\\open\\command"),
                     CRegistryKey::ReadOnly));
    QString read;
    QCOMPARE(key.readString(name, &read), !value.isEmpty());
    QCOMPARE(read, value);
}

void TestPlatform::registryFileLayout()
{
    // A hand-made file: its comment, order and blank lines stay; a new value
    // joins its key's section, a changed one changes in place, a new key
    // gets a section of its own at the end.
    writeStore("; mine\n"
               "[HKEY_CURRENT_USER\\Software\\A]\n"
               "x=1\n"
               "\n"
               "[HKEY_CURRENT_USER\\Software\\B]\n"
               "y=2\n");
    CRegistryKey key;
    QVERIFY(key.create(CRegistryKey::CurrentUser, QStringLiteral("Software/A")));
    QVERIFY(key.writeDword(QStringLiteral("z"), 3));
    QVERIFY(key.create(CRegistryKey::CurrentUser, QStringLiteral("software\\b")));
    QVERIFY(key.writeString(QStringLiteral("Y"), QStringLiteral("\"q\" \\ %1")));
    QVERIFY(key.create(CRegistryKey::ClassesRoot, QStringLiteral("C")));
    QVERIFY(key.writeString(QString(), QStringLiteral("d")));
    QVERIFY(key.writeString(QStringLiteral("@"), QStringLiteral("e")));
    // A line break would smuggle a key of its own into the file.
    QVERIFY(!key.writeString(QStringLiteral("f"), QStringLiteral("x\n[HKEY_CLASSES_ROOT\\Evil]")));
    QCOMPARE(readStore(), QByteArray("; mine\n"
                                     "[HKEY_CURRENT_USER\\Software\\A]\n"
                                     "x=1\n"
                                     "z=dword:00000003\n"
                                     "\n"
                                     "[HKEY_CURRENT_USER\\Software\\B]\n"
                                     "Y=\"q\" \\ %1\n"
                                     "\n"
                                     "[HKEY_CLASSES_ROOT\\C]\n"
                                     "@=d\n"
                                     "\"@\"=e\n"));
}

void TestPlatform::scriptQuoting_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("commandLine");

    QTest::newRow("plain words") << "java" << QStringList{"-jar", "./entspy/entspy.jar"}
                                 << "java -jar ./entspy/entspy.jar";
    QTest::newRow("spaces") << "/opt/GCF Scape/gcfscape" << QStringList()
                            << "'/opt/GCF Scape/gcfscape'";
    QTest::newRow("substitution stays text")
        << "/x/$(touch pwned)`id`" << QStringList{"a;b", "it's"}
        << "'/x/$(touch pwned)`id`' 'a;b' 'it'\\''s'";
    QTest::newRow("no program") << QString() << QStringList{"ignored"} << QString();
}

void TestPlatform::scriptQuoting()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, commandLine);
#ifdef Q_OS_WIN
    QSKIP("POSIX script text");
#endif
    QCOMPARE(CLauncherScript::scriptText(program, arguments),
             QStringLiteral("#!/bin/sh\n") + commandLine + QStringLiteral("\nrm -f -- \"$0\"\n"));
}

void TestPlatform::launchWritesScriptAndStarts()
{
    QString startedProgram, startedIn;
    CLauncherScript::setStarter([&](const QString &program, const QString &directory) {
        startedProgram = program;
        startedIn = directory;
        return true;
    });
    const QString script = m_dir->filePath(QStringLiteral("run_tool.bat"));
    // An old script of the same name is replaced.
    QFile old(script);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old contents that are longer than the new ones ...............................");
    old.close();
    QVERIFY(old.setPermissions(old.permissions() | QFile::WriteOther));

    QCOMPARE(CLauncherScript::launch(script, QStringLiteral("java"), {QStringLiteral("-jar")}),
             CLauncherScript::Started);
    QCOMPARE(startedProgram, QFileInfo(script).absoluteFilePath());
    QCOMPARE(startedIn, QFileInfo(script).absolutePath());
    QFile file(script);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromLocal8Bit(file.readAll()),
             CLauncherScript::scriptText(QStringLiteral("java"), {QStringLiteral("-jar")}));
    const QFile::Permissions permissions = file.permissions();
    QVERIFY(permissions & QFile::ExeOwner);
    QVERIFY(permissions & QFile::WriteOwner);
    QVERIFY(!(permissions & (QFile::WriteOther | QFile::WriteGroup)));
}

void TestPlatform::launchFailuresLeaveNoFile()
{
    int starts = 0;
    CLauncherScript::setStarter([&](const QString &, const QString &) {
        ++starts;
        return false;
    });
    const QString script = m_dir->filePath(QStringLiteral("run_tool.bat"));
    QCOMPARE(CLauncherScript::launch(script, QStringLiteral("tool"), {}),
             CLauncherScript::StartFailed);
    QCOMPARE(starts, 1);
    QVERIFY(!QFileInfo::exists(script));

    const QString unwritable = m_dir->filePath(QStringLiteral("missing/run_tool.bat"));
    QCOMPARE(CLauncherScript::launch(unwritable, QStringLiteral("tool"), {}),
             CLauncherScript::WriteFailed);
    QCOMPARE(starts, 1);
    QVERIFY(!QFileInfo::exists(unwritable));
}

void TestPlatform::launchReplacesLinkInsteadOfFollowingIt()
{
    CLauncherScript::setStarter([](const QString &, const QString &) { return true; });
    const QString victim = m_dir->filePath(QStringLiteral("victim.txt"));
    QFile file(victim);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();
    const QString script = m_dir->filePath(QStringLiteral("run_tool.bat"));
    if (!QFile::link(victim, script))
        QSKIP("no symbolic links here");

    QCOMPARE(CLauncherScript::launch(script, QStringLiteral("tool"), {}), CLauncherScript::Started);
    QVERIFY(!QFileInfo(script).isSymLink());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me"));
}

void TestPlatform::launchedScriptRunsAndDeletesItself()
{
#ifdef Q_OS_WIN
    QSKIP("POSIX shell");
#endif
    const QString touch = QStandardPaths::findExecutable(QStringLiteral("touch"));
    if (touch.isEmpty())
        QSKIP("no touch");
    const QString marker = m_dir->filePath(QStringLiteral("it ran $(x)"));
    const QString script = m_dir->filePath(QStringLiteral("run_tool.bat"));
    QCOMPARE(CLauncherScript::launch(script, touch, {marker}), CLauncherScript::Started);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(marker) && !QFileInfo::exists(script), 10000);
}

void TestPlatform::desktopOpenHandsOverAbsolutePath()
{
    const PrivateDesktop desktop(m_dir->path());
    QVERIFY(desktop.write("data-home/applications/viewer.desktop",
                          "[Desktop Entry]\nMimeType=text/plain;\n"));
    QStringList opened;
    CDesktopFile::setOpener([&](const QString &path) {
        opened << path;
        return true;
    });
    QCOMPARE(CDesktopFile::open(QString()), CDesktopFile::NoFile);
    QCOMPARE(CDesktopFile::open(m_dir->filePath(QStringLiteral("missing.txt"))),
             CDesktopFile::NoFile);
    QCOMPARE(CDesktopFile::open(m_dir->path()), CDesktopFile::NoFile);
    QVERIFY(opened.isEmpty());

    const QString name = QStringLiteral("notes; rm -rf ~.txt");
    QFile file(m_dir->filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    const CDesktopFile::Result result = CDesktopFile::open(name);
    QDir::setCurrent(previous);
    QCOMPARE(result, CDesktopFile::Opened);
    QCOMPARE(opened, QStringList{QFileInfo(file).absoluteFilePath()});
}

void TestPlatform::desktopAssociations_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("setting"); // relative path in the test folder
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("opened");

    const QByteArray entry = "[Desktop Entry]\nMimeType=text/html;text/plain;\n";
    QTest::newRow("nothing associated")
        << "entry.bin"
        << "data-home/applications/viewer.desktop" << entry << false;
    QTest::newRow("system desktop file in a subfolder")
        << "entry.txt"
        << "data-dirs/applications/kde/viewer.desktop" << entry << true;
    QTest::newRow("a type it belongs to")
        << "entry.c"
        << "data-home/applications/viewer.desktop" << entry << true;
    QTest::newRow("user's default")
        << "entry.txt"
        << "config-home/mimeapps.list"
        << QByteArray("[Default Applications]\ntext/plain=viewer.desktop\n") << true;
}

void TestPlatform::desktopAssociations()
{
    QFETCH(QString, file);
    QFETCH(QString, setting);
    QFETCH(QByteArray, text);
    QFETCH(bool, opened);
#if !defined(Q_OS_UNIX) || defined(Q_OS_DARWIN)
    QSKIP("freedesktop.org associations");
#endif
    const PrivateDesktop desktop(m_dir->path());
    QVERIFY(desktop.write(setting, text));
    writeFile(file, QByteArray("\0\1\2\3", 4));
    int openings = 0;
    CDesktopFile::setOpener([&](const QString &) { return ++openings > 0; });
    QCOMPARE(CDesktopFile::open(m_dir->filePath(file)),
             opened ? CDesktopFile::Opened : CDesktopFile::NoApplication);
    QCOMPARE(openings, int(opened));
}

void TestPlatform::sessionDirectoryIsPrivate()
{
    const QString path = CSessionDirectory::path();
    QVERIFY(!path.isEmpty());
    QCOMPARE(CSessionDirectory::path(), path); // one per run
    const QFileInfo info(path);
    QVERIFY(info.isDir());
    QCOMPARE(info.permissions() & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             QFile::Permissions());
}

void TestPlatform::temporaryFolderOfAMissingTmpdir()
{
    // Qt answers "" for it, and "" + "/name" would be a file in "/".
    const QByteArray saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(m_dir->filePath(QStringLiteral("missing"))));
    const QString folder = CSessionDirectory::temporaryFolder();
    qputenv("TMPDIR", saved);
    QCOMPARE(folder,
             QFileInfo(QStringLiteral("/tmp")).isDir() ? QStringLiteral("/tmp") : QString());
}

void TestPlatform::sessionFilePathStaysInside_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("plain") << "notes.txt"
                           << "notes.txt";
    QTest::newRow("package folders") << "materials\\dev/readme.txt"
                                     << "readme.txt";
    QTest::newRow("climbing") << "../../etc/passwd"
                              << "passwd";
    QTest::newRow("dot dot") << "a/.." << QString();
    QTest::newRow("folder only") << "a/" << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestPlatform::sessionFilePathStaysInside()
{
    QFETCH(QString, name);
    QFETCH(QString, fileName);
    const QString path = CSessionDirectory::filePath(name);
    if (fileName.isEmpty()) {
        QVERIFY(path.isEmpty());
        return;
    }
    QCOMPARE(path, CSessionDirectory::path() + QLatin1Char('/') + fileName);
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
