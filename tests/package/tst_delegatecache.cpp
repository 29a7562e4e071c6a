#include "ArchiveErrors.h"
#include "CCacheDirectoryEntry.h"
#include "CDelegateGCF.h"
#include "CDelegateNCF.h"
#include "CPackageHierarchyNode.h"
#include "CacheFixture.h"
#include "FlushSyncronizer.h"
#include "Fuzz.h"
#include "PackageErrors.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

QByteArray pattern(int n, char seed)
{
    QByteArray out(n, '\0');
    for (int i = 0; i < n; ++i)
        out[i] = char(seed + i * 7);
    return out;
}

const QByteArray FragData = pattern(40, 'a');  // blocks 5, 6, 9
const QByteArray ExactData = pattern(16, 'b'); // block 0
const QByteArray PlusData = pattern(17, 'c');  // blocks 1, 2
const QByteArray SplitData = pattern(40, 'd'); // entry {3}, entry {7, 8}

// Items: 0 root, 1 maps/, 2 maps/frag.bin, 3 maps/exact.bin, 4 plus.bin,
// 5 empty.txt, 6 split.bin. Block size 16, twelve blocks.
CacheFixture standardCache(bool gcf, quint32 terminatorMode = 1)
{
    CacheFixture f;
    f.gcf = gcf;
    f.terminatorMode = terminatorMode;
    f.items.append(CacheItem::folder("", CacheFixture::NoParent));
    f.items.append(CacheItem::folder("maps", 0));
    f.items.append(CacheItem::file("frag.bin", 1, FragData, {5, 6, 9}));
    f.items.append(CacheItem::file("exact.bin", 1, ExactData, {0}));
    f.items.append(CacheItem::file("plus.bin", 0, PlusData, {1, 2}));
    f.items.append(CacheItem::file("empty.txt", 0, QByteArray()));
    CacheItem split = CacheItem::file("split.bin", 0, SplitData);
    split.segments = {{3}, {7, 8}};
    f.items.append(split);
    return f;
}

QString writeTemp(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        return QString();
    return path;
}

QByteArray readAll(IPackageDelegate &d, const QString &path)
{
    std::unique_ptr<QByteArray> bytes(d.readCurrent(path));
    return bytes ? *bytes : QByteArray("<failed: " + d.lastError().toLatin1() + ">");
}

void patch(QByteArray &bytes, int at, quint32 value)
{
    qToLittleEndian(value, reinterpret_cast<uchar *>(bytes.data() + at));
}

} // namespace

class TestDelegateCache : public QObject
{
    Q_OBJECT

private slots:
    void gcfExtractsEveryFile_data();
    void gcfExtractsEveryFile();
    void gcfFragmentation();
    void ncfHasDirectoryOnly();
    void clashingAndStrandedItemsAreSetAside();
    void deepTreesAreBounded();
    void corruptDirectoriesFailToOpen_data();
    void corruptDirectoriesFailToOpen();
    void corruptChainsFailToRead_data();
    void corruptChainsFailToRead();
    void requestsAndFlush();
    void survivesDamagedFiles_data();
    void survivesDamagedFiles();
};

void TestDelegateCache::gcfExtractsEveryFile_data()
{
    QTest::addColumn<quint32>("terminatorMode");
    QTest::newRow("chains end at 0xFFFF") << 0u;
    QTest::newRow("chains end at 0xFFFFFFFF") << 1u;
}

void TestDelegateCache::gcfExtractsEveryFile()
{
    QFETCH(quint32, terminatorMode);
    QTemporaryDir dir;
    const CacheLayout layout = standardCache(true, terminatorMode).build();
    const QString path = writeTemp(dir, "test.gcf", layout.bytes);

    CDelegateGCF gcf;
    QVERIFY2(gcf.open(path, false), qPrintable(gcf.lastError()));
    QVERIFY(gcf.isOpen());
    QCOMPARE(gcf.type(), 2);
    QCOMPARE(gcf.terminator(), terminatorMode ? 0xFFFFFFFFu : 0xFFFFu);
    QCOMPARE(gcf.nodeCount(), 7);
    QCOMPARE(gcf.root(), gcf.node(0));
    QCOMPARE(gcf.root()->name(), QString("root"));
    QCOMPARE(gcf.root()->counts(), qMakePair(1, 5));
    QCOMPARE(gcf.node(1)->path(true), QString("maps"));

    struct Row
    {
        const char *path;
        QByteArray data;
        int onDisk;
    };
    const Row rows[] = {{"maps/frag.bin", FragData, 48},
                        {"maps/exact.bin", ExactData, 16},
                        {"plus.bin", PlusData, 32},
                        {"empty.txt", QByteArray(), 0},
                        {"split.bin", SplitData, 48}};
    for (const Row &row : rows) {
        CPackageHierarchyNode *node = gcf.findFile(row.path);
        QVERIFY2(node, row.path);
        QCOMPARE(gcf.storedSize(node->entryIndex), row.data.size());
        QCOMPARE(gcf.sizeOnDisk(node->entryIndex), row.onDisk);
        QCOMPARE(readAll(gcf, row.path), row.data);
    }
    QCOMPARE(gcf.sizes(gcf.root()),
             qMakePair(qint64(40 + 16 + 17 + 40), qint64(48 + 16 + 32 + 48)));
    QVERIFY(!gcf.hasFile(1)); // a folder has an index but no data
}

void TestDelegateCache::gcfFragmentation()
{
    QTemporaryDir dir;
    CDelegateGCF gcf;
    QVERIFY(gcf.open(writeTemp(dir, "test.gcf", standardCache(true).build().bytes), true));

    QCOMPARE(gcf.blockFragments(gcf.findFile("maps/frag.bin")), qMakePair(1, 3));
    QCOMPARE(gcf.blockFragments(gcf.findFile("plus.bin")), qMakePair(0, 2));
    QCOMPARE(gcf.blockFragments(gcf.findFile("split.bin")), qMakePair(1, 3));
    QCOMPARE(gcf.blockFragments(gcf.findFile("empty.txt")), qMakePair(0, 0));
    QCOMPARE(gcf.blockFragments(gcf.findNode("maps")), qMakePair(0, 0));

    QCOMPARE(gcf.fragmentation(gcf.findFile("maps/frag.bin")), 100.0f / 3.0f);
    QCOMPARE(gcf.fragmentation(2), 100.0f / 3.0f);
    QCOMPARE(gcf.fragmentation(QString("maps/exact.bin")), 0.0f);
    // Folders: summed fragments over summed blocks, not a mean of percentages.
    QCOMPARE(gcf.fragmentation(gcf.findNode("maps")), 25.0f);
    QCOMPARE(gcf.fragmentation(QString("MAPS")), 25.0f);
    QCOMPARE(gcf.fragmentation(gcf.root()), 200.0f / 9.0f);
    QCOMPARE(gcf.fragmentation(1), 0.0f);
    QCOMPARE(gcf.fragmentation(QString("nothing")), 0.0f);
    QCOMPARE(gcf.fragmentation(static_cast<CPackageHierarchyNode *>(nullptr)), 0.0f);
}

void TestDelegateCache::ncfHasDirectoryOnly()
{
    QTemporaryDir dir;
    const QString path = writeTemp(dir, "test.ncf", standardCache(false).build().bytes);
    CDelegateNCF ncf;
    QVERIFY2(ncf.open(path, false), qPrintable(ncf.lastError()));
    QCOMPARE(ncf.type(), 3);
    QVERIFY(!ncf.isOpen());
    QCOMPARE(ncf.root()->counts(), qMakePair(1, 5));
    QCOMPARE(ncf.size(QString("maps/frag.bin")), qint64(40));
    QCOMPARE(ncf.sizeOnDisk(ncf.root()), qint64(0));
    QCOMPARE(readAll(ncf, "plus.bin"),
             QByteArray("<failed: Request Error: NCF files do not contain data>"));
    QCOMPARE(ncf.directoryEntries().size(), 7);
    QCOMPARE(ncf.directoryEntries()[2]->directoryFlags, 0x4000u);

    // The file is not held: it can be replaced while the package is shown.
    QVERIFY(QFile::remove(path));
    QCOMPARE(ncf.size(QString("plus.bin")), qint64(17));
}

void TestDelegateCache::clashingAndStrandedItemsAreSetAside()
{
    CacheFixture f = standardCache(true);
    f.items.append(CacheItem::file("Readme.txt", 0, "first", {4}));   // 7
    f.items.append(CacheItem::file("README.TXT", 0, "second", {10})); // 8: clash
    f.items.append(CacheItem::folder("Docs", 0));                     // 9
    f.items.append(CacheItem::folder("docs", 0));                     // 10: clash
    f.items.append(CacheItem::file("inner.txt", 10, "x", {11}));      // 11: goes with 10
    f.items.append(CacheItem::folder("a", 13));                       // 12: cycle
    f.items.append(CacheItem::folder("b", 12));                       // 13: cycle
    f.items.append(CacheItem::file("c", 13, QByteArray()));           // 14: below the cycle
    f.items.append(CacheItem::file("..", 0, QByteArray()));           // 15: unusable name
    f.items.append(CacheItem::file("x/y", 0, QByteArray()));          // 16: unusable name
    f.items.append(CacheItem::file("under", 2, QByteArray()));        // 17: parent is a file
    f.items.append(CacheItem::file("", 0, QByteArray()));             // 18: no name
    f.items.append(CacheItem::file(QByteArray(255, 'n'), 0, "long")); // 19: longest name
    f.items.append(CacheItem::file(QByteArray(256, 'm'), 0, "x"));    // 20: too long
    f.items[2].flags = 0x0001; // a file without the leaf mark can be a parent
    QTemporaryDir dir;
    const QString path = writeTemp(dir, "test.gcf", f.build().bytes);

    CDelegateGCF gcf;
    QVERIFY2(gcf.open(path, true), qPrintable(gcf.lastError()));
    QCOMPARE(gcf.nodeCount(), f.items.size());
    for (int i : {8, 10, 11, 12, 13, 14, 15, 16, 17, 18, 20})
        QVERIFY2(!gcf.node(i), qPrintable(QString::number(i)));
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 9, 19})
        QVERIFY2(gcf.node(i), qPrintable(QString::number(i)));
    QCOMPARE(gcf.root()->counts(), qMakePair(2, 7));
    QCOMPARE(readAll(gcf, "readme.TXT"), QByteArray("first"));
    QVERIFY(!gcf.hasFile(8));
}

void TestDelegateCache::deepTreesAreBounded()
{
    // Folder i + 1 inside folder i: the last of the chain lies 20,000 levels
    // down. Items below the depth limit stay, the rest are set aside, and
    // opening stays quick.
    CacheFixture f;
    f.gcf = false;
    f.items.append(CacheItem::folder("", CacheFixture::NoParent));
    const int chain = 20000;
    for (int i = 1; i <= chain; ++i)
        f.items.append(CacheItem::folder("f", quint32(i - 1)));
    QTemporaryDir dir;
    CDelegateNCF ncf;
    QVERIFY(ncf.open(writeTemp(dir, "deep.ncf", f.build().bytes), true));
    QCOMPARE(ncf.root()->folderCount(), CDelegateNCF::MaxTreeDepth);
    QVERIFY(ncf.node(CDelegateNCF::MaxTreeDepth));
    QVERIFY(!ncf.node(CDelegateNCF::MaxTreeDepth + 1));
    QVERIFY(!ncf.node(chain));
}

void TestDelegateCache::corruptDirectoriesFailToOpen_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("error");
    QTest::newRow("block size 0") << "blockSize" << 0u << QString(ArchiveErrors::BlockSizeZero);
    QTest::newRow("huge block count")
        << "blockCount" << 0x7FFFFFFFu << ArchiveErrors::tableOutsideFile("Block entry");
    QTest::newRow("huge item count")
        << "itemCount" << 0x10000000u << ArchiveErrors::tableOutsideFile("Directory entry");
    QTest::newRow("huge name table")
        << "nameSize" << 0xFFFFFFF0u << QString(PackageErrors::ItemNames);
    QTest::newRow("huge info count")
        << "infoCount" << 0x40000000u << ArchiveErrors::tableOutsideFile("Info entry");
    QTest::newRow("data past the end")
        << "dataOffset" << 0x7FFFFFFFu << QString(PackageErrors::StreamSeekError);
    QTest::newRow("second root") << "parent1" << CacheFixture::NoParent
                                 << QString(PackageErrors::MultipleRoots);
    QTest::newRow("no root") << "parent0" << 1u << QString(PackageErrors::NoRoot);
    QTest::newRow("parent out of range")
        << "parent2" << 1000u << ArchiveErrors::parentOutOfRange(2);
    QTest::newRow("parent is leaf") << "flags1" << 0x4000u << QString(PackageErrors::ParentIsLeaf);
}

void TestDelegateCache::corruptDirectoriesFailToOpen()
{
    QFETCH(QString, field);
    QFETCH(quint32, value);
    QFETCH(QString, error);
    CacheLayout layout = standardCache(true).build();
    const QHash<QString, int> offsets = {
        {"blockSize", 32},
        {"blockCount", 36},
        {"itemCount", layout.directoryHeader + 12},
        {"nameSize", layout.directoryHeader + 28},
        {"infoCount", layout.directoryHeader + 32},
        {"dataOffset", layout.dataBlockHeader + 12},
        {"parent0", layout.entryField(0, 4)},
        {"parent1", layout.entryField(1, 4)},
        {"parent2", layout.entryField(2, 4)},
        {"flags1", layout.entryField(1, 3)},
    };
    QVERIFY(offsets.contains(field));
    patch(layout.bytes, offsets.value(field), value);
    QTemporaryDir dir;
    CDelegateGCF gcf;
    QVERIFY(!gcf.open(writeTemp(dir, "bad.gcf", layout.bytes), true));
    QCOMPARE(gcf.lastError(), error);
    QVERIFY(!gcf.isOpen());
    QVERIFY(!gcf.root());
}

void TestDelegateCache::corruptChainsFailToRead_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("error");
    QTest::newRow("looping chain") << "loop"
                                   << "maps/frag.bin" << ArchiveErrors::blockChainLoops(2);
    QTest::newRow("block out of range")
        << "range"
        << "maps/frag.bin" << ArchiveErrors::blockOutOfRange(2, 100);
    QTest::newRow("chain ends early")
        << "short"
        << "maps/frag.bin" << QString(PackageErrors::ReadIncompleteRead);
    QTest::newRow("no block entry") << "map"
                                    << "maps/frag.bin" << QString(PackageErrors::EntryHasNoData);
    QTest::newRow("encrypted") << "encrypted"
                               << "maps/frag.bin" << ArchiveErrors::entryEncrypted(2);
    QTest::newRow("looping block entries") << "entries"
                                           << "split.bin" << ArchiveErrors::blockChainLoops(6);
    QTest::newRow("blocks past the end") << "truncated"
                                         << "maps/frag.bin"
                                         << "Read Error: Unable to read 8 of 8 bytes";
}

void TestDelegateCache::corruptChainsFailToRead()
{
    QFETCH(QString, fault);
    QFETCH(QString, path);
    QFETCH(QString, error);
    CacheFixture f = standardCache(true);
    if (fault == "entries")
        f.items[6].sizeOverride = 100;
    CacheLayout layout = f.build();
    if (fault == "loop")
        patch(layout.bytes, layout.fragmentationEntry(6), 5);
    else if (fault == "range")
        patch(layout.bytes, layout.fragmentationEntry(6), 100);
    else if (fault == "short")
        patch(layout.bytes, layout.fragmentationEntry(6), f.terminator());
    else if (fault == "map")
        patch(layout.bytes, layout.directoryMap + 2 * 4, 1000);
    else if (fault == "encrypted")
        patch(layout.bytes, layout.entryField(2, 3), 0x4100);
    else if (fault == "entries") // split.bin's second block entry leads back to its first
        patch(layout.bytes, layout.blockEntryField(4, 4), 3);
    else if (fault == "truncated") // cut inside block 9, the last of frag.bin
        layout.bytes.truncate(layout.dataBlocks + 9 * 16 + 4);

    QTemporaryDir dir;
    CDelegateGCF gcf;
    QVERIFY2(gcf.open(writeTemp(dir, "bad.gcf", layout.bytes), true), qPrintable(gcf.lastError()));
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QVERIFY(!gcf.writeStored(&out, gcf.findFile(path)));
    QCOMPARE(gcf.lastError(), error);
    // The other files stay readable.
    QCOMPARE(readAll(gcf, "plus.bin"), PlusData);
}

void TestDelegateCache::requestsAndFlush()
{
    QTemporaryDir dir;
    const QString path = writeTemp(dir, "test.gcf", standardCache(true).build().bytes);
    CDelegateGCF gcf;
    QVERIFY(!gcf.open(QString(), true));
    QCOMPARE(gcf.lastError(), QString(PackageErrors::InvalidFilePath));
    QVERIFY(!gcf.open(dir.filePath("missing.gcf"), true));
    QCOMPARE(gcf.lastError(), QString(PackageErrors::FileOpen));

    QVERIFY(gcf.open(path, false));
    QVERIFY(gcf.isReadOnly());
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QVERIFY(!gcf.writeStored(&out, 1));
    QCOMPARE(gcf.lastError(), QString(PackageErrors::FileIndexOutOfBounds));
    QVERIFY(!gcf.writeStored(&out, 7));
    QCOMPARE(gcf.lastError(), QString(PackageErrors::FileIndexOutOfBounds));
    QVERIFY(!gcf.writeStored(nullptr, 2));
    QCOMPARE(gcf.lastError(), QString(PackageErrors::DeviceInvalid));
    gcf.close();
    QVERIFY(!gcf.writeStored(&out, 2));
    QCOMPARE(gcf.lastError(), QString(PackageErrors::FileNotOpen));

    FlushSyncronizer sync;
    QVERIFY(!gcf.flush(&sync));
    QVERIFY(sync.isFailed());
    QCOMPARE(gcf.lastError(), QString(PackageErrors::NoFlushLogic));
    CDelegateNCF ncf;
    QVERIFY(!ncf.flush(nullptr));
    QCOMPARE(ncf.lastError(), QString(PackageErrors::NoFlushLogic));
}

void TestDelegateCache::survivesDamagedFiles_data()
{
    QTest::addColumn<bool>("gcf");
    QTest::newRow("gcf") << true;
    QTest::newRow("ncf") << false;
}

void TestDelegateCache::survivesDamagedFiles()
{
    QFETCH(bool, gcf);
    QTemporaryDir dir;
    const QByteArray valid = standardCache(gcf).build().bytes;
    const QString path = dir.filePath("fuzz.bin");
    std::unique_ptr<CDelegateNCF> delegate(gcf ? new CDelegateGCF : new CDelegateNCF);
    auto load = [&](const QByteArray &bytes) {
        writeTemp(dir, "fuzz.bin", bytes);
        if (!delegate->open(path, true))
            return;
        for (int i = 0; i < delegate->nodeCount(); ++i)
            delete delegate->readStored(i);
        delegate->sizes(delegate->root());
        if (gcf)
            static_cast<CDelegateGCF *>(delegate.get())->fragmentation(delegate->root());
    };
    Fuzz::truncations(valid, load);
    Fuzz::byteFlips(valid, 600, gcf ? 0x6CF : 0x2CF, load);
}

QTEST_GUILESS_MAIN(TestDelegateCache)
#include "tst_delegatecache.moc"
