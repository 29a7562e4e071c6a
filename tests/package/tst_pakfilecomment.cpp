#include "CDelegateBSP.h"
#include "MapBuilder.h"

#include <QtTest>

using namespace MapFixtures;

// The pakfile comment of a map: read at open, replaced in memory, written by
// the next flush. (A comment too long to store is refused: the pakfile editor's
// tests show that.)
class TestPakfileComment : public QObject
{
    Q_OBJECT

private slots:
    void replacedCommentIsWrittenByTheFlush_data()
    {
        QTest::addColumn<QByteArray>("comment");
        QTest::newRow("short") << QByteArray("packed by hand\r\nline two");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("longest") << QByteArray(0xFFFF, 'c');
    }
    void replacedCommentIsWrittenByTheFlush()
    {
        QFETCH(QByteArray, comment);
        MapFile file(typicalMap().build());
        CDelegateBSP map;
        QVERIFY(map.open(file.path(), false));
        QCOMPARE(map.pakfileComment(), QByteArray("made by hand"));

        QVERIFY(map.setPakfileComment(comment));
        QVERIFY2(map.flush(nullptr), qPrintable(map.lastError()));
        QCOMPARE(map.pakfileComment(), comment);
        CDelegateBSP fresh;
        QVERIFY(fresh.open(file.path(), true));
        QCOMPARE(fresh.pakfileComment(), comment);
        QCOMPARE(fresh.pakfileEntries().size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestPakfileComment)
#include "tst_pakfilecomment.moc"
