#include "ArchiveErrors.h"
#include "CDelegateVPK.h"
#include "CPackageHierarchyNode.h"
#include "CVPKDirectoryEntry.h"
#include "FlushSyncronizer.h"
#include "Fuzz.h"
#include "PackageErrors.h"
#include "VpkFixture.h"

#include <QBuffer>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QByteArray Archive0 = "hello worldabc";
const QByteArray Archive12 = "0123ABCDEFGH";
const QByteArray Embedded = "xxinside";

// Bitwise CRC-32 (zip polynomial): the value a packer stores for each file.
quint32 crcOf(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFF;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (crc & 1 ? 0xEDB88320u : 0u);
    }
    return ~crc;
}

// Every kind of storage: archive 0, archive 12 after preload bytes, data in
// the directory file, preload bytes only (its archive does not exist), a blank
// path, a blank extension.
QByteArray standardTree()
{
    VpkTree t;
    t.ext("txt")
        .path("docs")
        .file("readme", 0, 0, 11, {}, crcOf("hello world"))
        .file("notes", 12, 4, 5, "pre:", crcOf("pre:ABCDE"))
        .path(" ")
        .file("top", VpkTree::InDirectory, 2, 6, {}, crcOf("inside"));
    t.ext("cfg").path("/cfg/sub/").file("preonly", 5, 0, 0, "PRELOAD ONLY", crcOf("PRELOAD ONLY"));
    t.ext(" ").path("bin").file("noext", 0, 11, 3, {}, crcOf("abc"));
    return t.finish();
}

struct Expected
{
    QString path;
    QByteArray bytes;
};

const QVector<Expected> StandardFiles = {
    {"docs/readme.txt", "hello world"},
    {"docs/notes.txt", "pre:ABCDE"},
    {"top.txt", "inside"},
    {"cfg/sub/preonly.cfg", "PRELOAD ONLY"},
    {"bin/noext", "abc"},
};

QByteArray readAll(CDelegateVPK &vpk, const QString &path)
{
    std::unique_ptr<QByteArray> bytes(vpk.readCurrent(path));
    return bytes ? *bytes : QByteArray("<failed: " + vpk.lastError().toLatin1() + ">");
}

// A device whose every write fails.
class RefusingDevice : public QIODevice
{
protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override { return -1; }
};

} // namespace

class TestDelegateVPK : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryKindOfStorage_data();
    void readsEveryKindOfStorage();
    void footerLengthIsANoticeNotADialog();
    void refusesVersionThree();
    void archiveNamesAndTheirFailures();
    void offsetsAreCheckedAgainstTheArchive_data();
    void offsetsAreCheckedAgainstTheArchive();
    void treeCutShortKeepsEarlierEntries_data();
    void treeCutShortKeepsEarlierEntries();
    void treeShapes();
    void unsignedDirectoryIsABareTree();
    void requestsAndFlush();
    void survivesDamagedDirectories();
    void opensLargeDirectory_data();
    void opensLargeDirectory();
    void stringsLongerThanTheReadBuffer();

private:
    QString writePackage(const QTemporaryDir &dir, const QString &dirName, const QByteArray &bytes,
                         const QString &archive0 = "pak01_000.vpk",
                         const QString &archive12 = "pak01_012.vpk")
    {
        VpkFixture::writeFile(dir.filePath(archive0), Archive0);
        VpkFixture::writeFile(dir.filePath(archive12), Archive12);
        const QString path = dir.filePath(dirName);
        VpkFixture::writeFile(path, bytes);
        return path;
    }
};

void TestDelegateVPK::readsEveryKindOfStorage_data()
{
    QTest::addColumn<quint32>("version");
    QTest::addColumn<QString>("dirName");
    QTest::addColumn<QString>("archive0");
    QTest::addColumn<QString>("archive12");
    const QString dir("pak01_dir.vpk"), a0("pak01_000.vpk"), a12("pak01_012.vpk");
    QTest::newRow("v1") << 1u << dir << a0 << a12;
    QTest::newRow("v2") << 2u << dir << a0 << a12;
    QTest::newRow("v2 names in other case")
        << 2u << QString("pak01_DIR.vpk") << QString("PAK01_000.vpk") << QString("pak01_012.VPK");
}

void TestDelegateVPK::readsEveryKindOfStorage()
{
    QFETCH(quint32, version);
    QFETCH(QString, dirName);
    QFETCH(QString, archive0);
    QFETCH(QString, archive12);
    QTemporaryDir dir;
    const QString path =
        writePackage(dir, dirName, VpkFixture::directory(version, standardTree(), Embedded),
                     archive0, archive12);

    CDelegateVPK vpk;
    QVERIFY2(vpk.open(path, false), qPrintable(vpk.lastError()));
    QCOMPARE(vpk.type(), 4);
    QCOMPARE(vpk.version(), version);
    QVERIFY(vpk.isComplete());
    QCOMPARE(vpk.fileName(), path);
    QCOMPARE(vpk.entries().size(), StandardFiles.size());
    QCOMPARE(vpk.nodeCount(), StandardFiles.size());
    QCOMPARE(vpk.root()->name(), QString("root"));
    QCOMPARE(vpk.root()->counts(), qMakePair(4, 5)); // docs, cfg, cfg/sub, bin

    for (int i = 0; i < StandardFiles.size(); ++i) {
        const Expected &e = StandardFiles[i];
        CPackageHierarchyNode *node = vpk.findFile(e.path);
        QVERIFY2(node, qPrintable(e.path));
        QCOMPARE(node->entryIndex, i);
        QCOMPARE(node->path(true), e.path);
        QCOMPARE(vpk.storedSize(i), e.bytes.size());
        QCOMPARE(vpk.sizeOnDisk(i), e.bytes.size());
        QCOMPARE(readAll(vpk, e.path), e.bytes);
        QCOMPARE(vpk.entries()[i]->crc, crcOf(e.bytes));
    }
    QCOMPARE(vpk.entries()[2]->archiveIndex, CVPKDirectoryEntry::DirectoryArchive);
    QCOMPARE(vpk.size(vpk.root()), qint64(11 + 9 + 6 + 12 + 3));
    // Reads leave the file pointed at the archive last used; the directory
    // name stays what was opened.
    QCOMPARE(vpk.fileName(), path);
}

void TestDelegateVPK::footerLengthIsANoticeNotADialog()
{
    QTemporaryDir dir;
    const QString v2 = writePackage(dir, "pak01_dir.vpk",
                                    VpkFixture::directory(2, standardTree(), Embedded, 4242));
    CDelegateVPK vpk;
    QSignalSpy spy(&vpk, &CDelegateVPK::notice);
    QVERIFY(vpk.open(v2, true));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString("Footer Length"));
    QCOMPARE(spy.at(0).at(1).toString(), QString("4242"));
    QCOMPARE(vpk.headerExtra(1), 4242u);
    QVERIFY(vpk.open(v2, true));
    QCOMPARE(spy.count(), 2);

    VpkFixture::writeFile(v2, VpkFixture::directory(1, standardTree()));
    QVERIFY(vpk.open(v2, true));
    QCOMPARE(spy.count(), 2);
}

void TestDelegateVPK::refusesVersionThree()
{
    QTemporaryDir dir;
    const QString path =
        writePackage(dir, "pak01_dir.vpk", VpkFixture::directory(3, standardTree(), Embedded));
    CDelegateVPK vpk;
    QSignalSpy spy(&vpk, &CDelegateVPK::notice);
    QVERIFY(!vpk.open(path, true));
    QCOMPARE(vpk.lastError(), QString(PackageErrors::TooNew));
    QCOMPARE(spy.count(), 0);
    QVERIFY(!vpk.isOpen());
    QVERIFY(!vpk.root());
}

void TestDelegateVPK::archiveNamesAndTheirFailures()
{
    QTemporaryDir dir;
    const QByteArray bytes = VpkFixture::directory(1, standardTree(), Embedded);

    CDelegateVPK vpk;
    const QString path = writePackage(dir, "pak01_DIR.vpk", bytes);
    QVERIFY(vpk.open(path, true));
    QCOMPARE(vpk.archiveBase(), dir.filePath("pak01"));
    QCOMPARE(vpk.archivePath(3), dir.filePath("pak01_003.vpk"));
    QCOMPARE(vpk.archivePath(12), dir.filePath("pak01_012.vpk"));
    QCOMPARE(vpk.archivePath(123), dir.filePath("pak01_123.vpk"));

    // A missing archive fails only the entries stored in it.
    QVERIFY(QFile::remove(dir.filePath("pak01_012.vpk")));
    QCOMPARE(readAll(vpk, "docs/notes.txt"),
             QByteArray("<failed: File Error: Package does not exist>"));
    QCOMPARE(readAll(vpk, "docs/readme.txt"), QByteArray("hello world"));
    QCOMPARE(readAll(vpk, "cfg/sub/preonly.cfg"), QByteArray("PRELOAD ONLY"));

    // A directory named only "_dir.vpk" has its folder as the base.
    const QString bare = writePackage(dir, "_dir.vpk", bytes, "_000.vpk", "_012.vpk");
    QVERIFY(vpk.open(bare, true));
    QCOMPARE(vpk.archivePath(12), dir.filePath("_012.vpk"));
    QCOMPARE(readAll(vpk, "docs/notes.txt"), QByteArray("pre:ABCDE"));

    // Without "_dir.vpk" in its name a directory cannot name archives, but its
    // own data and preload bytes stay readable.
    const QString single = dir.filePath("single.vpk");
    VpkFixture::writeFile(single, bytes);
    QVERIFY(vpk.open(single, true));
    QVERIFY(!vpk.isMultiArchive());
    QCOMPARE(
        readAll(vpk, "docs/readme.txt"),
        QByteArray("<failed: Request Error: File name not compatible with archive segmentation>"));
    QCOMPARE(readAll(vpk, "top.txt"), QByteArray("inside"));
    QCOMPARE(readAll(vpk, "cfg/sub/preonly.cfg"), QByteArray("PRELOAD ONLY"));

    // "_dir.vpk" in a folder name does not make archives outside the folder.
    QVERIFY(QDir(dir.path()).mkdir("x_dir.vpk"));
    const QString nested = dir.filePath("x_dir.vpk/plain.vpk");
    VpkFixture::writeFile(nested, bytes);
    QVERIFY(vpk.open(nested, true));
    QVERIFY(!vpk.isMultiArchive());
    QVERIFY(vpk.archivePath(0).isEmpty());
}

void TestDelegateVPK::offsetsAreCheckedAgainstTheArchive_data()
{
    QTest::addColumn<quint16>("archive");
    QTest::addColumn<quint32>("offset");
    QTest::addColumn<quint32>("length");
    QTest::addColumn<QString>("error");
    QTest::newRow("offset past archive end")
        << quint16(0) << 0x7FFFFFF0u << 4u << QString(PackageErrors::StreamSeekError);
    QTest::newRow("length past archive end")
        << quint16(0) << 10u << 0xFFFFFFF0u << QString(PackageErrors::StreamIncompleteRead);
    QTest::newRow("directory data past file end")
        << CVPKDirectoryEntry::DirectoryArchive << 0u << 4096u
        << QString(PackageErrors::StreamIncompleteRead);
}

void TestDelegateVPK::offsetsAreCheckedAgainstTheArchive()
{
    QFETCH(quint16, archive);
    QFETCH(quint32, offset);
    QFETCH(quint32, length);
    QFETCH(QString, error);
    QTemporaryDir dir;
    VpkTree t;
    t.ext("bin").path("p").file("big", archive, offset, length);
    const QString path = writePackage(dir, "pak01_dir.vpk", VpkFixture::directory(1, t.finish()));
    CDelegateVPK vpk;
    QVERIFY(vpk.open(path, true));
    const int only = 0;
    QCOMPARE(vpk.storedSize(only), int(qMin<qint64>(length, INT_MAX)));
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QVERIFY(!vpk.writeStored(&out, 0));
    QCOMPARE(vpk.lastError(), error);
    QVERIFY(out.data().isEmpty());
}

void TestDelegateVPK::treeCutShortKeepsEarlierEntries_data()
{
    QTest::addColumn<QByteArray>("file");
    // A tree cut right after its first record, then `tail`, in a signed file.
    const auto cut = [](const QByteArray &tail, bool signature = true) {
        VpkTree t;
        t.ext("txt").path("a").file("first", 0, 0, 5);
        const QByteArray tree = t.finish().chopped(3) + tail;
        return signature ? VpkFixture::directory(1, tree) : tree;
    };
    // The second record claims 200 preload bytes; 3 follow.
    ByteBuilder record;
    record.cstring("second").u32(0).u16(200).u16(0).u32(0).u32(0).u16(0xFFFF).bytes("abc");
    QTest::newRow("preload bytes") << cut(record.data());
    QTest::newRow("where a file name would begin") << cut({});
    QTest::newRow("inside a folder name") << cut(QByteArray("\0b/c", 4));
    QTest::newRow("inside an extension") << cut(QByteArray("\0\0cf", 4));
    QTest::newRow("without the signature") << cut({}, false);
}

void TestDelegateVPK::treeCutShortKeepsEarlierEntries()
{
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    const QString path = writePackage(dir, "pak01_dir.vpk", file);
    CDelegateVPK vpk;
    QVERIFY(vpk.open(path, true));
    QVERIFY(!vpk.isComplete());
    QCOMPARE(vpk.lastError(), QString(PackageErrors::ReadIncompleteRead));
    QCOMPARE(vpk.entries().size(), 1);
    QCOMPARE(readAll(vpk, "a/first.txt"), QByteArray("hello"));
}

void TestDelegateVPK::treeShapes()
{
    QTemporaryDir dir;
    CDelegateVPK vpk;

    // A path listed twice names one file carrying the later record.
    VpkTree dup;
    dup.ext("txt")
        .path("a")
        .file("same", 0, 0, 5)
        .file("other", 0, 6, 5)
        .path("A")
        .file("SAME", 0, 11, 3);
    QString path = writePackage(dir, "pak01_dir.vpk", VpkFixture::directory(1, dup.finish()));
    QVERIFY(vpk.open(path, true));
    QCOMPARE(vpk.nodeCount(), 3);
    QVERIFY(!vpk.node(0));
    QCOMPARE(vpk.node(2), vpk.findFile("a/same.txt"));
    QCOMPARE(vpk.root()->counts(), qMakePair(1, 2));
    QCOMPARE(readAll(vpk, "a/same.txt"), QByteArray("abc"));

    // Names that would climb out of an extraction folder, and paths too long
    // for one, are left out, and the open says so once.
    VpkTree unsafe;
    unsafe.ext("txt")
        .path("../../etc")
        .file("passwd", 0, 0, 5)
        .path("ok/./x")
        .file("y", 0, 0, 5)
        .path("fine")
        .file("f", 0, 0, 5)
        .file(" ", 0, 0, 1)
        .file("../../up", 0, 0, 1)
        .file("g", 0, 0, 1)
        .file("h", 0, 0, 1)
        .path("long")
        .file(QByteArray(1100, 'n'), 0, 0, 1);
    unsafe.ext(" ").path("p").file(" ", 0, 0, 1).file("..", 0, 0, 1);
    path = writePackage(dir, "pak01_dir.vpk", VpkFixture::directory(1, unsafe.finish()));
    QVERIFY(vpk.open(path, true));
    QCOMPARE(vpk.setAsideCount(), 6);
    QCOMPARE(vpk.nodeCount(), 10);
    QVERIFY(vpk.findFile("fine/f.txt"));
    QVERIFY(vpk.findFile("fine/.txt"));
    QCOMPARE(vpk.root()->counts(), qMakePair(1, 4));
    QCOMPARE(vpk.warnings(),
             QStringList("Package Warning: 6 files are left out because their paths "
                         "cannot be extracted safely: \"../../etc/passwd.txt\", "
                         "\"ok/./x/y.txt\", \"fine/../../up.txt\", \"long/" +
                         QString(195, 'n') + "\", \"p/\" and 1 more"));

    // UTF-8 names keep their last bytes: 0x85 and 0xA0 are no white space.
    VpkTree utf8;
    utf8.ext("txt").path("voil\xC3\xA0").file("\xE5\x86\x85", 0, 0, 5);
    path = writePackage(dir, "pak01_dir.vpk", VpkFixture::directory(1, utf8.finish()));
    QVERIFY(vpk.open(path, true));
    QCOMPARE(readAll(vpk, QString::fromLatin1("voil\xC3\xA0/\xE5\x86\x85.txt")),
             QByteArray("hello"));

    // Paths nested deeper than any real package are set aside, and a hostile
    // one of 100,000 levels costs no time.
    VpkTree deep;
    QByteArray levels;
    for (int i = 0; i < CDelegateVPK::MaxTreeDepth - 1; ++i)
        levels += "d/";
    deep.ext("txt").path(levels).file("ok", 0, 0, 5).path(levels + "x").file("deeper", 0, 0, 5);
    QByteArray hostile;
    for (int i = 0; i < 100000; ++i)
        hostile += "a/";
    deep.path(hostile).file("f", 0, 0, 5);
    path = writePackage(dir, "pak01_dir.vpk", VpkFixture::directory(1, deep.finish()));
    QVERIFY(vpk.open(path, true));
    QCOMPARE(vpk.setAsideCount(), 2);
    QVERIFY(vpk.node(0) && !vpk.node(1) && !vpk.node(2));
    QCOMPARE(readAll(vpk, QString(levels) + "ok.txt"), QByteArray("hello"));

    // A file where a folder is needed, and the other way round: those
    // entries are set aside with a warning, the rest of the archive opens.
    VpkTree clash;
    clash.ext(" ").path("a").file("b", 0, 0, 1).path("a/b").file("c", 0, 0, 1);
    clash.path("d/e").file("f", 0, 0, 1).path("d").file("e", 0, 0, 1).path("g").file("h", 0, 0, 1);
    path = writePackage(dir, "pak01_dir.vpk", VpkFixture::directory(1, clash.finish()));
    QVERIFY2(vpk.open(path, true), qPrintable(vpk.lastError()));
    QCOMPARE(vpk.setAsideCount(), 2);
    QVERIFY(vpk.node(0) && !vpk.node(1) && vpk.node(2) && !vpk.node(3) && vpk.node(4));
    QCOMPARE(vpk.warnings(), QStringList({PackageErrors::folderClash("Package", "a/b/c"),
                                          PackageErrors::folderClash("Package", "d/e")}));
    QCOMPARE(readAll(vpk, "g/h"), QByteArray("h"));
}

void TestDelegateVPK::unsignedDirectoryIsABareTree()
{
    QTemporaryDir dir;
    const QString path = writePackage(dir, "pak01_dir.vpk", standardTree());
    CDelegateVPK vpk;
    QVERIFY(vpk.open(path, true));
    QVERIFY(!vpk.hasSignature());
    QCOMPARE(vpk.version(), 0u);
    QCOMPARE(vpk.entries().size(), StandardFiles.size());
    QCOMPARE(readAll(vpk, "docs/notes.txt"), QByteArray("pre:ABCDE"));

    // A file whose tree gives no whole record is no directory.
    VpkFixture::writeFile(path, "a text file\n");
    QVERIFY(!vpk.open(path, true));
    QCOMPARE(vpk.lastError(), QString(ArchiveErrors::VpkHeader));
}

void TestDelegateVPK::requestsAndFlush()
{
    QTemporaryDir dir;
    const QString path =
        writePackage(dir, "pak01_dir.vpk", VpkFixture::directory(1, standardTree(), Embedded));
    CDelegateVPK vpk;
    QVERIFY(!vpk.open(QString(), true));
    QCOMPARE(vpk.lastError(), QString(PackageErrors::InvalidFilePath));
    QVERIFY(!vpk.open(dir.filePath("missing_dir.vpk"), true));
    QCOMPARE(vpk.lastError(), QString(PackageErrors::FileOpen));

    QVERIFY(vpk.open(path, false));
    QVERIFY(vpk.isReadOnly());
    QBuffer closed;
    QVERIFY(!vpk.writeStored(nullptr, 0));
    QCOMPARE(vpk.lastError(), QString(PackageErrors::DeviceInvalid));
    QVERIFY(!vpk.writeStored(&closed, 0));
    QCOMPARE(vpk.lastError(), QString(PackageErrors::DeviceNotOpen));
    closed.open(QIODevice::ReadOnly);
    QVERIFY(!vpk.writeStored(&closed, 0));
    QCOMPARE(vpk.lastError(), QString(PackageErrors::DeviceNotWritable));
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QVERIFY(!vpk.writeStored(&out, StandardFiles.size()));
    QCOMPARE(vpk.lastError(), QString(PackageErrors::FileIndexOutOfBounds));
    QCOMPARE(vpk.storedSize(-1), 0);

    // Preload bytes that cannot be written fail the read.
    RefusingDevice refusing;
    refusing.open(QIODevice::WriteOnly);
    QVERIFY(!vpk.writeStored(&refusing, 3));
    QCOMPARE(vpk.lastError(), QString(PackageErrors::StreamIncompleteWrite));

    // Pending data counts for the size on disk.
    CPackageHierarchyNode *node = vpk.findFile("top.txt");
    QVERIFY(vpk.setData(QByteArray(100, 'x'), false, node));
    QCOMPARE(vpk.sizeOnDisk(node->entryIndex), 100);
    QCOMPARE(vpk.storedSize(node->entryIndex), 6);

    FlushSyncronizer sync;
    QVERIFY(!vpk.flush(&sync));
    QVERIFY(sync.isFailed());
    QCOMPARE(vpk.lastError(), QString(PackageErrors::NoFlushLogic));
    QVERIFY(!vpk.flush(nullptr));
}

void TestDelegateVPK::survivesDamagedDirectories()
{
    QTemporaryDir dir;
    const QByteArray valid = VpkFixture::directory(2, standardTree(), Embedded);
    const QString path = writePackage(dir, "pak01_dir.vpk", valid);
    CDelegateVPK vpk;
    auto load = [&](const QByteArray &bytes) {
        VpkFixture::writeFile(path, bytes);
        if (!vpk.open(path, true))
            return;
        for (int i = 0; i < vpk.entries().size(); ++i)
            delete vpk.readStored(i);
        vpk.size(vpk.root());
    };
    Fuzz::truncations(valid, load);
    Fuzz::byteFlips(valid, 400, 0x5EED0008, load);
}

void TestDelegateVPK::opensLargeDirectory_data()
{
    QTest::addColumn<int>("folders");
    QTest::newRow("100 folders of 1000") << 100;
    QTest::newRow("one folder of 100,000") << 1;
}

void TestDelegateVPK::opensLargeDirectory()
{
    QFETCH(int, folders);
    const int perFolder = 100000 / folders;
    QTemporaryDir dir;
    VpkTree t;
    t.ext("vmt");
    for (int folder = 0; folder < folders; ++folder) {
        t.path("materials/set" + QByteArray::number(folder));
        for (int file = 0; file < perFolder; ++file)
            t.file("material_" + QByteArray::number(file), quint16(folder % 3), quint32(file), 10);
    }
    const QString path = writePackage(dir, "pak01_dir.vpk", VpkFixture::directory(2, t.finish()));

    CDelegateVPK vpk;
    QVERIFY(vpk.open(path, true));
    QCOMPARE(vpk.nodeCount(), 100000);
    QCOMPARE(vpk.root()->fileCount(), 100000);
    QVERIFY(vpk.findFile(
        QString("MATERIALS/Set%1/material_%2.vmt").arg(folders - 1).arg(perFolder - 1)));
    // Records that straddle the reader's pieces come out whole.
    for (int i = 0; i < 100000; ++i) {
        const CVPKDirectoryEntry *e = vpk.entries()[i];
        QCOMPARE(e->offset, quint32(i % perFolder));
        QCOMPARE(e->archiveIndex, quint16(i / perFolder % 3));
        QCOMPARE(e->fileName, QString("material_%1.vmt").arg(i % perFolder));
    }
}

void TestDelegateVPK::stringsLongerThanTheReadBuffer()
{
    // A name and a folder far longer than the piece the tree is read in, and
    // a last name that runs to the end of the file without its NUL.
    const QByteArray longName(700000, 'n');
    const QByteArray longFolder = QByteArray(300000, 'd') + "/" + QByteArray(300000, 'e');
    VpkTree t;
    t.ext("txt").path(longFolder).file(longName, VpkTree::InDirectory, 0, 2, "pre");
    t.path("b").file("after", VpkTree::InDirectory, 2, 1);
    QByteArray tree = t.finish();
    tree.chop(3); // the end markers of the path, the extension and the tree
    tree.append(QByteArray("tail", 4));
    QTemporaryDir dir;
    const QString path = writePackage(dir, "pak01_dir.vpk", VpkFixture::directory(1, tree, "xyz"));
    CDelegateVPK vpk;
    QVERIFY(vpk.open(path, true));
    QCOMPARE(vpk.entries().size(), 2);
    // Read whole, then set aside: no file system takes so long a path.
    QCOMPARE(vpk.entries()[0]->fileName, QString());
    QCOMPARE(vpk.entries()[0]->path, QString(longFolder));
    QCOMPARE(vpk.setAsideCount(), 1);
    QCOMPARE(vpk.entries()[0]->preloadData, QByteArray("pre"));
    // "tail" starts a record that the file ends inside of.
    QVERIFY(!vpk.isComplete());
    QCOMPARE(readAll(vpk, "b/after.txt"), QByteArray("z"));
    QCOMPARE(vpk.root()->childByName("b")->childCount(), 1);
}

QTEST_GUILESS_MAIN(TestDelegateVPK)
#include "tst_delegatevpk.moc"
