#include "CScanFoundList.h"
#include "CScanRecord.h"
#include "GameFolder.h"
#include "ScanPath.h"

#include <QtTest>

class TestScanRecord : public QObject
{
    Q_OBJECT

private slots:
    void splitLinesTable_data();
    void splitLinesTable();
    void collapseSeparatorsTable_data();
    void collapseSeparatorsTable();
    void readAndWriteFiles();
    void foundListIgnoresCase();
    void followablePaths_data();
    void followablePaths();
};

void TestScanRecord::splitLinesTable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::newRow("lf and crlf") << QByteArray("a\r\nb\n") << QList<QByteArray>{"a", "b", ""};
    QTest::newRow("lone cr stays") << QByteArray("a\rb") << QList<QByteArray>{"a\rb"};
    QTest::newRow("one cr eaten") << QByteArray("a\r\r\nb") << QList<QByteArray>{"a\r", "b"};
    QTest::newRow("after nul ignored")
        << QByteArray("a\nb\0c\nd", 7) << QList<QByteArray>{"a", "b"};
    QTest::newRow("nothing") << QByteArray() << QList<QByteArray>{""};
    QTest::newRow("empty lines kept") << QByteArray("\n\n") << QList<QByteArray>{"", "", ""};
}

void TestScanRecord::splitLinesTable()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QByteArray>, lines);
    const std::unique_ptr<CScanRecord> record = splitLines(bytes);
    QCOMPARE(record->lines.toList(), lines);
    QVERIFY(record->path.isEmpty());
}

void TestScanRecord::collapseSeparatorsTable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("each kind doubled") << "a\\\\b||c//d"
                                       << "a/b/c/d";
    QTest::newRow("mixed runs, ends and blanks kept") << "/a\\|/ b |"
                                                      << "/a/ b /";
}

void TestScanRecord::collapseSeparatorsTable()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    collapseSeparators(text);
    QCOMPARE(text, expected);
}

void TestScanRecord::readAndWriteFiles()
{
    GameFolder game;
    game.write("a.vmt", "one\r\ntwo");
    const std::unique_ptr<CScanRecord> record = readFileLines(game.base() + "a.vmt");
    QVERIFY(record);
    QCOMPARE(record->path, game.base() + "a.vmt");
    QCOMPARE(record->lines.toList(), (QList<QByteArray>{"one", "two"}));

    // Written back with bare line feeds, to its own path.
    QVERIFY(writeLines(*record));
    QFile written(game.base() + "a.vmt");
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("one\ntwo\n"));
    QVERIFY(!writeLines(CScanRecord()));

    QVERIFY(!readFileLines(game.base() + "missing.vmt"));
    QVERIFY(!readFileLines(game.base()));
    game.write("huge.vmt", QByteArray(), MaxScriptBytes + 1);
    QVERIFY(!readFileLines(game.base() + "huge.vmt"));

    // A static-prop name field is NUL-padded.
    QCOMPARE(ScanPath::textBeforeNul(QByteArray("models/a.mdl\0\0junk", 18)),
             QString("models/a.mdl"));
}

void TestScanRecord::foundListIgnoresCase()
{
    CScanFoundList found;
    QVERIFY(found.add("materials/Brick/Wall.vmt"));
    QVERIFY(!found.add("MATERIALS/brick/wall.VMT"));
    // The map-specific phase keeps spellings that differ in case.
    QVERIFY(found.addExact("maps/A.txt"));
    QVERIFY(!found.addExact("maps/A.txt"));
    QCOMPARE(found.paths(), (QStringList{"materials/Brick/Wall.vmt", "maps/A.txt"}));
    found.removeLast();
    QVERIFY(found.add("Maps/a.txt"));
}

void TestScanRecord::followablePaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("followable");
    QTest::newRow("relative") << "materials/a..b/.x.vmt" << true;
    QTest::newRow("parent") << "materials/../../etc/passwd" << false;
    QTest::newRow("parent behind bars") << "materials/..|..|x.vmt" << false;
    QTest::newRow("current") << "./materials/a.vmt" << false;
    QTest::newRow("empty part") << "materials/" << false;
    QTest::newRow("absolute") << "/etc/passwd" << false;
    QTest::newRow("drive") << "c:/windows/a.vmt" << false;
}

void TestScanRecord::followablePaths()
{
    QFETCH(QString, path);
    QFETCH(bool, followable);
    QCOMPARE(ScanPath::isFollowable(path), followable);
}

QTEST_GUILESS_MAIN(TestScanRecord)
#include "tst_scanrecord.moc"
