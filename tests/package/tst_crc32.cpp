#include "ZipCrc32.h"

#include <QtTest>

class TestCrc32 : public QObject
{
    Q_OBJECT

private slots:
    void knownValues_data();
    void knownValues();
    void tableMatchesTheBitwiseDefinition();
    void chunkedEqualsWhole();
};

void TestCrc32::knownValues_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<quint32>("crc");
    QTest::newRow("empty") << QByteArray() << 0u;
    QTest::newRow("check") << QByteArray("123456789") << 0xCBF43926u;
    QTest::newRow("a") << QByteArray("a") << 0xE8B7BE43u;
    QTest::newRow("fox") << QByteArray("The quick brown fox jumps over the lazy dog")
                         << 0x414FA339u;
    QTest::newRow("zeros32") << QByteArray(32, '\0') << 0x190A55ADu;
    QTest::newRow("ones32") << QByteArray(32, '\xff') << 0xFF6CAB0Bu;
}

void TestCrc32::knownValues()
{
    QFETCH(QByteArray, data);
    QFETCH(quint32, crc);
    QCOMPARE(computeCrc32(crc32Table(), data.constData(), data.size()), crc);
    QCOMPARE(updateCrc32(0, data.constData(), data.size()), crc);
}

void TestCrc32::tableMatchesTheBitwiseDefinition()
{
    QCOMPARE(reflectBits(0x1, 8), 0x80u);
    QCOMPARE(reflectBits(0x04C11DB7u, 32), 0xEDB88320u);
    const quint32 *table = crc32Table();
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        QCOMPARE(table[i], c);
    }
    // A copy of the table takes the plain path and must agree with the fast one.
    quint32 copy[256];
    std::copy(table, table + 256, copy);
    const QByteArray data = QByteArray("unaligned tail bytes!").repeated(7);
    for (int off = 0; off < 9; ++off)
        QCOMPARE(computeCrc32(copy, data.constData() + off, data.size() - off),
                 computeCrc32(table, data.constData() + off, data.size() - off));
}

void TestCrc32::chunkedEqualsWhole()
{
    QByteArray data(100003, Qt::Uninitialized);
    for (int i = 0; i < data.size(); ++i)
        data[i] = char((i * 131) ^ (i >> 7));
    const quint32 whole = computeCrc32(crc32Table(), data.constData(), data.size());
    quint32 crc = 0;
    for (int at = 0; at < data.size(); at += 1021)
        crc = updateCrc32(crc, data.constData() + at, qMin(1021, data.size() - at));
    QCOMPARE(crc, whole);
}

QTEST_GUILESS_MAIN(TestCrc32)
#include "tst_crc32.moc"
