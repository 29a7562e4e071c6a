#include "BspFixture.h"
#include "Fuzz.h"
#include "LumpFile.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace LumpMaps;

namespace {

// Lump 35 of a built fixture with its game-lump offsets counted from `base`.
QByteArray gameLumpsFrom(const MapFixture &m, qint32 base)
{
    QByteArray lump = m.lumps[35];
    for (int i = 0; i < m.gameLumpOffsets.size(); ++i)
        qToLittleEndian<qint32>(m.gameLumpOffsets[i] - m.offsets[35] + base,
                                lump.data() + 4 + 16 * i + 8);
    return lump;
}

QByteArray gameLumpDirectory(std::initializer_list<std::pair<qint32, qint32>> records, int data)
{
    ByteBuilder b;
    b.i32(qint32(records.size()));
    for (const auto &r : records)
        b.i32(MapFixtures::Sprp).u16(0).u16(1).i32(r.first).i32(r.second);
    return b.fill(data, 'd').data();
}

} // namespace

class TestLumpFile : public QObject
{
    Q_OBJECT

private slots:
    void extractThenReplace_data();
    void extractThenReplace();
    void rebasesOnlyOffsetsInside();
    void survivesDamagedLumpFiles();
};

void TestLumpFile::extractThenReplace_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("lump");
    QTest::addColumn<bool>("asLumpFile");

    for (int version : {19, 20, 21, 22}) {
        for (int lump : {1, 2, 35, 40}) {
            for (bool asLumpFile : {false, true})
                QTest::addRow("v%d lump %d %s", version, lump, asLumpFile ? "lmp" : "raw")
                    << version << lump << asLumpFile;
        }
    }
}

void TestLumpFile::extractThenReplace()
{
    QFETCH(int, version);
    QFETCH(int, lump);
    QFETCH(bool, asLumpFile);

    MapFixture m = map(version);
    const QByteArray original = m.build();
    MapFixtures::MapFile file(original);
    QTemporaryDir dir;
    const QString lumpPath = dir.filePath(QStringLiteral("l\xe4mp.lmp"));
    QString error;
    {
        CDelegateBSP delegate;
        QVERIFY(delegate.open(file.path(), true));
        QFile out(lumpPath);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QVERIFY2(LumpFile::extract(delegate, lump, &out, asLumpFile, error), qPrintable(error));
    }
    // Game-lump offsets count from the extraction's first byte: the lump's
    // own in a raw file, the file's in a lump file.
    const int header = asLumpFile ? LumpFile::HeaderSize : 0;
    QByteArray expected = lump == 35 ? gameLumpsFrom(m, header) : m.lumps[lump];
    if (asLumpFile)
        expected.prepend(lumpFile(20, lump, m.lumpVersions[lump], expected.size(), Revision, {}));
    QCOMPARE(readFile(lumpPath), expected);
    if (asLumpFile && m.lumps[lump].isEmpty())
        return; // refused on replace: nothing follows the header

    CDelegateBSP delegate;
    QVERIFY(delegate.open(file.path(), false));
    if (asLumpFile) {
        QFile in(lumpPath);
        QVERIFY(in.open(QIODevice::ReadOnly));
        LumpFile::Header h;
        QByteArray data;
        QVERIFY2(LumpFile::read(&in, lump, h, data, error), qPrintable(error));
        QVERIFY2(LumpFile::stage(delegate, h, data, error), qPrintable(error));
    } else {
        QVERIFY2(LumpFile::stageRaw(delegate, lump, lumpPath, error), qPrintable(error));
    }
    QVERIFY2(delegate.flush(nullptr), qPrintable(delegate.lastError()));
    QCOMPARE(readFile(file.path()), original);
}

void TestLumpFile::rebasesOnlyOffsetsInside()
{
    // Data starts 20 bytes into the file; the lump spans 20 to 20 + 4 +
    // 4 * 16 + 8. Offsets before, past or with a negative length stay.
    QByteArray lump = gameLumpDirectory({{88, 4}, {10, 4}, {108, 8}, {88, -1}, {96, 0}}, 8);
    QVERIFY(LumpFile::rebaseGameLumps(lump, 20));
    QCOMPARE(lump, gameLumpDirectory({{68, 4}, {10, 4}, {108, 8}, {88, -1}, {76, 0}}, 8));

    for (QByteArray bad : {QByteArray("\x01", 1), QByteArray("\xff\xff\xff\xff", 4),
                           gameLumpDirectory({{20, 0}}, 0).replace(0, 1, "\x02")}) {
        const QByteArray before = bad;
        QVERIFY(!LumpFile::rebaseGameLumps(bad, 20));
        QCOMPARE(bad, before);
    }
}

void TestLumpFile::survivesDamagedLumpFiles()
{
    MapFixture m = map(20);
    m.build();
    const QByteArray games = gameLumpsFrom(m, LumpFile::HeaderSize);
    const QByteArray valid = lumpFile(20, 35, 0, games.size(), 5, games);
    const auto load = [](const QByteArray &bytes) {
        LumpFile::Header header;
        QByteArray data;
        QString error;
        if (LumpFile::read(bytes, 35, header, data, error))
            LumpFile::rebaseGameLumps(data, LumpFile::HeaderSize);
    };
    Fuzz::truncations(valid, load);
    Fuzz::byteFlips(valid, 300, 35, load);
}

QTEST_GUILESS_MAIN(TestLumpFile)
#include "tst_lumpfile.moc"
