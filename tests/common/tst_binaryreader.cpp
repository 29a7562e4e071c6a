#include "ByteBuilder.h"
#include "CBinaryReader.h"

#include <QBuffer>
#include <QTemporaryFile>
#include <QtTest>

class TestBinaryReader : public QObject
{
    Q_OBJECT

private slots:
    void readsLittleEndianValues_data();
    void readsLittleEndianValues();
    void failureIsSticky();
    void countsAreCheckedWithoutOverflow();
    void subRangesAreCheckedAtBothEnds();
    void strings();
    void deviceBackedWindow();
    void sequentialDeviceIsRefused();
};

void TestBinaryReader::readsLittleEndianValues_data()
{
    QTest::addColumn<bool>("fromDevice");
    QTest::newRow("array") << false;
    QTest::newRow("device") << true;
}

void TestBinaryReader::readsLittleEndianValues()
{
    QFETCH(bool, fromDevice);
    ByteBuilder b;
    b.u8(0xAB).u16(0x1234).u32(0xDEADBEEF).u64(0x0102030405060708ULL).i32(-5).f32(1.5f);
    QByteArray data = b.data();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    CBinaryReader r = fromDevice ? CBinaryReader(&buffer) : CBinaryReader(data);

    QCOMPARE(r.size(), qint64(data.size()));
    QCOMPARE(r.u8(), quint8(0xAB));
    QCOMPARE(r.u16(), quint16(0x1234));
    QCOMPARE(r.u32(), 0xDEADBEEFu);
    QCOMPARE(r.u64(), 0x0102030405060708ULL);
    QCOMPARE(r.i32(), -5);
    QCOMPARE(r.f32(), 1.5f);
    QVERIFY(r.ok());
    QVERIFY(r.atEnd());
}

void TestBinaryReader::failureIsSticky()
{
    CBinaryReader r(QByteArray("\x01\x02\x03", 3));
    QCOMPARE(r.u16(), quint16(0x0201));
    QCOMPARE(r.u32(), 0u); // only one byte left
    QVERIFY(!r.ok());
    QCOMPARE(r.failOffset(), qint64(2));
    QCOMPARE(r.u8(), quint8(0)); // the byte is there, but the reader has failed
    QVERIFY(!r.seek(0));
    QVERIFY(!r.ok());
}

void TestBinaryReader::countsAreCheckedWithoutOverflow()
{
    CBinaryReader r(QByteArray(16, 'x'));
    QVERIFY(r.canHold(4, 4));
    QVERIFY(!r.canHold(5, 4));
    QVERIFY(!r.canHold(-1, 4));
    QVERIFY(!r.canHold(std::numeric_limits<qint64>::max(), 8));
    QVERIFY(r.canHold(0, 1 << 30));
    QVERIFY(!r.canRead(17));
    QVERIFY(!r.canRead(-1));
    QVERIFY(r.ok()); // asking never fails the reader

    QVERIFY(r.bytes(std::numeric_limits<qint64>::max()).isEmpty());
    QVERIFY(!r.ok());

    CBinaryReader s(QByteArray(16, 'x'));
    QVERIFY(!s.skip(-1));
    QVERIFY(!s.ok());
}

void TestBinaryReader::subRangesAreCheckedAtBothEnds()
{
    ByteBuilder b;
    b.u32(1).u32(2).u32(3);
    CBinaryReader r(b.data());

    CBinaryReader middle = r.sub(4, 4);
    QVERIFY(middle.ok());
    QCOMPARE(middle.size(), qint64(4));
    QCOMPARE(middle.u32(), 2u);
    QCOMPARE(middle.u8(), quint8(0)); // past the window's end
    QVERIFY(!middle.ok());
    QVERIFY(r.ok()); // the parent is unaffected by its child's failure

    QVERIFY(r.sub(12, 0).ok());
    QVERIFY(r.ok());

    const qint64 bad[][2] = {{13, 0}, {-1, 4}, {4, -1}, {8, 5}, {4, std::numeric_limits<qint64>::max()}};
    for (const auto &range : bad) {
        CBinaryReader parent(b.data());
        QVERIFY(!parent.sub(range[0], range[1]).ok());
        QVERIFY(!parent.ok());
    }
}

void TestBinaryReader::strings()
{
    ByteBuilder b;
    b.cstring("hello").fixed("ab", 4).bytes("tail");
    CBinaryReader r(b.data());
    QCOMPARE(r.cstring(64), QByteArray("hello"));
    QCOMPARE(r.fixedString(4), QByteArray("ab"));
    QCOMPARE(r.pos(), qint64(10));
    QVERIFY(r.cstring(64).isEmpty()); // no terminator before the end
    QVERIFY(!r.ok());

    CBinaryReader limited(b.data());
    QVERIFY(limited.cstring(3).isEmpty()); // terminator beyond the limit
    QVERIFY(!limited.ok());
}

void TestBinaryReader::deviceBackedWindow()
{
    QTemporaryFile file;
    QVERIFY(file.open());
    ByteBuilder b;
    b.u32(0x11111111).u32(0x22222222).u32(0x33333333);
    file.write(b.data());
    QVERIFY(file.flush());

    CBinaryReader r(&file);
    CBinaryReader window = r.sub(4, 8);
    QCOMPARE(window.u32(), 0x22222222u);
    QVERIFY(window.seek(0));
    QCOMPARE(window.bytes(8), b.data().mid(4, 8));
    QVERIFY(window.bytes(1).isEmpty());
    QVERIFY(!window.ok());
}

void TestBinaryReader::sequentialDeviceIsRefused()
{
    QFile stdinFile;
    CBinaryReader none(static_cast<QIODevice *>(nullptr));
    QVERIFY(!none.ok());
    QCOMPARE(none.size(), qint64(0));
    CBinaryReader closed(&stdinFile);
    QVERIFY(!closed.ok());
}

QTEST_GUILESS_MAIN(TestBinaryReader)
#include "tst_binaryreader.moc"
