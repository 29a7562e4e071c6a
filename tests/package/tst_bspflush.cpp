#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "ChildRun.h"
#include "FlushSyncronizer.h"
#include "Fuzz.h"
#include "MapBuilder.h"
#include "OwnedSave.h"
#include "PackageErrors.h"
#include "WarningCapture.h"
#include "functions.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <functional>
#include <memory>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace E = PackageErrors;
using namespace MapFixtures;
using Step = CDelegateBSP::FlushStep;

Q_DECLARE_METATYPE(CDelegateBSP::FlushStep)

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// The temporary files of saves left in the folder of `map`.
QStringList temporaries(const QString &map)
{
    return QDir(QFileInfo(map).path())
        .entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::System | QDir::Hidden);
}

// The lump table of a written map, read straight from its bytes.
struct MapView
{
    explicit MapView(const QByteArray &data, bool recordsB = false)
        : bytes(data)
        , layoutB(recordsB)
    {}
    qint32 at(int offset) const { return qFromLittleEndian<qint32>(bytes.constData() + offset); }
    qint32 version() const { return at(4); }
    qint32 field(int lump, int column) const { return at(8 + 16 * lump + 4 * column); }
    qint32 offset(int lump) const { return field(lump, layoutB ? 1 : 0); }
    qint32 length(int lump) const { return field(lump, layoutB ? 2 : 1); }
    qint32 lumpVersion(int lump) const { return field(lump, layoutB ? 0 : 2); }
    QByteArray fourCC(int lump) const { return bytes.mid(8 + 16 * lump + 12, 4); }
    QByteArray lump(int lump) const { return bytes.mid(offset(lump), length(lump)); }

    QByteArray bytes;
    bool layoutB;
};

// Game-lump directory of lump 35 with every offset moved by delta.
QByteArray shiftedGameLumps(const QByteArray &lump35, qint32 delta)
{
    QByteArray out = lump35;
    const qint32 count = qFromLittleEndian<qint32>(out.constData());
    for (int i = 0; i < count; ++i) {
        char *offset = out.data() + 4 + 16 * i + 8;
        qToLittleEndian<qint32>(qFromLittleEndian<qint32>(offset) + delta, offset);
    }
    return out;
}

// The typical map with pakfile names as a flush writes them and real CRCs,
// so that its pakfile is exactly what a flush of it must give back.
MapFixture canonicalMap(int version, bool layoutB, ZipFixture *zipOut = nullptr)
{
    MapFixture m = typicalMap();
    m.version = version;
    m.layoutB = layoutB;
    ZipFixture z;
    z.add("materials/a.vmt", "alpha").crc = 0xd0e0396a;
    z.add("materials/Sub/b.vtf", QByteArray(100, 'b')).crc = 0x250162db;
    z.add("readme.txt", "r").crc = 0x6c09ff9d;
    z.archiveComment = "made by hand";
    m.lumps[40] = z.build();
    // Lumps out of number order, the pakfile in the middle, so that the
    // rewrite must follow the old offsets.
    m.order = {3, 40, 0, 35, 1, 43, 53, 2};
    for (int i = 4; i < 64; ++i) {
        if (!m.order.contains(i))
            m.order.append(i);
    }
    if (zipOut)
        *zipOut = z;
    return m;
}

// A map delegate whose flush asks `fault` before each step: true fails it.
class FaultyMap : public CDelegateBSP
{
public:
    std::function<bool(Step, int)> fault;
    void failAt(Step step, int item)
    {
        fault = [step, item](Step s, int i) { return s == step && i == item; };
    }

protected:
    bool flushFault(Step s, int i) const override { return fault && fault(s, i); }
};

// The state of a delegate's pending edits, to show that a failed flush left
// them alone.
QStringList editState(CDelegateBSP &d)
{
    QStringList state;
    for (int i = 0; i < d.nodeCount(); ++i) {
        const CPackageHierarchyNode *n = d.node(i);
        if (!n) {
            state << QStringLiteral("%1 -").arg(i);
            continue;
        }
        state << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(i)
                     .arg(n->path(true))
                     .arg(n->pendingData ? QString::fromLatin1(n->pendingData->toHex()) : "none")
                     .arg(n->deleted)
                     .arg(n->entryIndex);
    }
    return state;
}

// Flushes, expecting it to fail with `message` alone, told as an error.
void expectFailedFlush(CDelegateBSP &d, const QString &message)
{
    FlushSyncronizer s;
    QVERIFY(!d.flush(&s));
    QCOMPARE(d.lastError(), message);
    QVERIFY(s.isFailed() && !s.isFinished());
    QCOMPARE(s.messages().size(), 1);
    QCOMPARE(s.messages().last().text, message);
    QVERIFY(s.messages().last().isError);
}

// python3's zipfile verdict on an archive: every entry and testzip's answer.
QJsonObject pythonZip(const QString &archive)
{
    static const char script[] =
        "import json, sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "print(json.dumps({'bad': z.testzip(), 'comment': z.comment.decode('latin-1'),\n"
        "  'entries': [[i.filename, i.flag_bits, i.compress_type, i.create_version,\n"
        "               i.extract_version, list(i.date_time), i.file_size,\n"
        "               z.read(i).decode('latin-1')] for i in z.infolist()]}))\n";
    QProcess p;
    p.start("python3", {"-c", script, archive});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QJsonObject{{"error", QString::fromLocal8Bit(p.readAllStandardError())}};
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

bool unzipAccepts(const QString &archive, QString *output)
{
    QProcess p;
    p.start("unzip", {"-t", archive});
    const bool ok = p.waitForFinished(30000) && p.exitCode() == 0;
    *output = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    return ok;
}

// Builds a zip with the zip tool from the given files; empty when it fails.
QByteArray zipTool(const QString &dir, const QStringList &options,
                   const QList<QPair<QString, QByteArray>> &files, bool piped)
{
    QStringList names;
    for (const auto &f : files) {
        QDir(dir).mkpath(QFileInfo(dir + "/" + f.first).path());
        writeFile(dir + "/" + f.first, f.second);
        names << f.first;
    }
    QProcess p;
    p.setWorkingDirectory(dir);
    const QString target = dir + "/tool.zip";
    QFile::remove(target);
    // A pipe makes zip write data descriptors.
    p.start("zip", options + QStringList{piped ? QString("-") : target} + names);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QByteArray();
    return piped ? p.readAllStandardOutput() : readFile(target);
}

// Every record of a zip as (name, stored bytes), read by the zip format
// alone, in central directory order.
QList<QPair<QByteArray, QByteArray>> zipListing(const QByteArray &zip)
{
    QList<QPair<QByteArray, QByteArray>> records;
    const int end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0)
        return records;
    auto u16 = [&](int at) { return int(qFromLittleEndian<quint16>(zip.constData() + at)); };
    auto u32 = [&](int at) { return int(qFromLittleEndian<quint32>(zip.constData() + at)); };
    int at = u32(end + 16);
    for (int i = 0; i < u16(end + 10); ++i) {
        const int nameLength = u16(at + 28);
        const int local = u32(at + 42);
        const int data = local + 30 + u16(local + 26) + u16(local + 28);
        records.append({zip.mid(at + 46, nameLength), zip.mid(data, u32(at + 20))});
        at += 46 + nameLength + u16(at + 30) + u16(at + 32);
    }
    return records;
}

// A pakfile as another tool makes it: `zip -0 -r` (folder records included)
// or python3's zipfile (folder records, names differing in case, folders
// included, beside a file of the folder, a deflated file). Empty when the
// tool is missing.
QByteArray toolArchive(const QString &tool, const QString &dir)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    if (tool == "zip") {
        QDir(dir).mkpath("materials/sub");
        writeFile(dir + "/materials/a.vmt", "shader");
        writeFile(dir + "/materials/sub/b.vtf", QByteArray(300, 'v'));
        writeFile(dir + "/top.txt", "top");
        p.start("zip", {"-0", "-r", "-q", "out.zip", "materials", "top.txt"});
    } else {
        static const char script[] =
            "import zipfile\n"
            "with zipfile.ZipFile('out.zip', 'w') as z:\n"
            "    z.writestr('maps/', b'')\n"
            "    z.writestr('maps/x.txt', b'first')\n"
            "    z.writestr('maps/y.txt', b'beside')\n"
            "    z.writestr('Maps/X.TXT', b'second')\n"
            "    z.writestr('docs/long.txt', b'words ' * 200, zipfile.ZIP_DEFLATED)\n"
            "    z.writestr('top.txt', b'top')\n";
        p.start("python3", {"-c", script});
    }
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QByteArray();
    return readFile(dir + "/out.zip");
}

} // namespace

class TestBspFlush : public QObject
{
    Q_OBJECT

private slots:
    void noOpFlushKeepsEveryLump_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("layoutB");
        QTest::newRow("19") << 19 << false;
        QTest::newRow("20") << 20 << false;
        QTest::newRow("21 layout B") << 21 << true;
        QTest::newRow("21 layout A") << 21 << false;
    }

    void noOpFlushKeepsEveryLump()
    {
        QFETCH(int, version);
        QFETCH(bool, layoutB);
        ZipFixture z;
        MapFixture m = canonicalMap(version, layoutB, &z);
        const QByteArray original = m.build();
        MapFile file(original);
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), true));
        const int internal = d.version();

        FlushSyncronizer s;
        QSignalSpy totals(&s, &FlushSyncronizer::totalChanged);
        QVERIFY2(d.flush(&s), qPrintable(d.lastError()));
        QCOMPARE(totals.size(), 1);
        QCOMPARE(s.total(), 64 + 2 * 3);
        QCOMPARE(s.itemsProcessed(), 64 + 2 * 3);
        QVERIFY(s.isFinished() && !s.isFailed());
        QVERIFY(s.messages().isEmpty());

        QCOMPARE(readFile(file.path() + ".backup"), original);
        QVERIFY(temporaries(file.path()).isEmpty());
        const MapView out(readFile(file.path()), layoutB);
        const MapView in(original, layoutB);
        QCOMPARE(out.version(), version);
        QCOMPARE(out.at(0), 0x50534256);
        QCOMPARE(out.at(1032), m.revision);

        // Packed from the header on, in old file order, the pakfile last.
        qint32 at = 1036;
        for (int lump : qAsConst(m.order)) {
            if (lump == 40)
                continue;
            QCOMPARE(out.offset(lump), at);
            at += out.length(lump);
            QCOMPARE(out.lumpVersion(lump), in.lumpVersion(lump));
            QCOMPARE(out.fourCC(lump), in.fourCC(lump));
            if (lump != 35)
                QCOMPARE(out.lump(lump), m.lumps[lump]);
        }
        QCOMPARE(out.lump(35), shiftedGameLumps(m.lumps[35], out.offset(35) - in.offset(35)));
        QCOMPARE(out.offset(40), at);
        QCOMPARE(out.offset(40) + out.length(40), out.bytes.size());
        // Names as written, real CRCs, nothing else: exactly the fixture.
        QCOMPARE(out.lump(40), z.build());

        // The delegate goes on with the new file, read-write.
        QVERIFY(d.isOpen() && !d.isReadOnly());
        QCOMPARE(d.version(), internal);
        QCOMPARE(d.lumpInfo(40, 1), out.offset(40));
        QCOMPARE(d.gameLumps().size(), 3);
        QCOMPARE(d.gameLumps()[2].data, QByteArray(8, 'd'));
        std::unique_ptr<QByteArray> b(d.readStored(d.findFile("materials/sub/b.vtf")));
        QVERIFY(b);
        QCOMPARE(*b, QByteArray(100, 'b'));

        // A second flush of the result gives it back byte for byte, empty
        // lumps that share an offset with the next lump included.
        QVERIFY(d.flush(nullptr));
        QCOMPARE(readFile(file.path()), out.bytes);
        QCOMPARE(readFile(file.path() + ".backup"), out.bytes);
    }

    void editsLandWithTheirNamesAndBytes()
    {
        QTemporaryDir dir;
        const QString local = dir.filePath("local.bin");
        writeFile(local, "before");
        MapFixture m = typicalMap();
        MapFile file(m.build());
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), false));

        QVERIFY(d.setData(QByteArray("HDRHDR"), false, d.node(53)));
        QVERIFY(d.remove(d.node(1)));
        // No game lumps, then bytes the directory does not account for.
        const QByteArray gameLumps("\0\0\0\0pending", 11);
        QVERIFY(d.setData(gameLumps, false, d.node(35)));
        QVERIFY(d.setData(QByteArray("new readme"), false, d.findFile("readme.txt")));
        QVERIFY(d.remove("materials/a.vmt"));
        CPackageHierarchyNode *added = d.addFile(QByteArray("hello"), false, "added/new.txt");
        QVERIFY(added);
        CPackageHierarchyNode *ref = d.addFile(local.toLocal8Bit() + '\0', true, "added/ref.bin");
        QVERIFY(ref);
        // Referenced files are read when the flush runs.
        writeFile(local, "after, and longer");
        // An in-memory file removed again leaves an empty slot behind.
        QVERIFY(!d.remove(d.addFile(QByteArray("gone"), false, "added/gone.txt")));

        FlushSyncronizer s;
        QVERIFY2(d.flush(&s), qPrintable(d.lastError()));
        QCOMPARE(s.total(), 64 + 2 * 4);
        QCOMPARE(s.itemsProcessed(), 64 + 2 * 4);

        const MapView out(readFile(file.path()));
        QCOMPARE(out.lump(53), QByteArray("HDRHDR"));
        QCOMPARE(out.lump(35), gameLumps);
        // A deleted lump ends empty where its turn came.
        QCOMPARE(out.length(1), 0);
        QCOMPARE(out.offset(1), out.offset(0) + out.length(0));
        QCOMPARE(out.offset(2), out.offset(1));

        // The delegate's tree follows the archive: indexes close up behind
        // the deleted file, pending data is now stored data.
        QVERIFY(!d.findNode("materials/a.vmt"));
        QCOMPARE(d.nodeCount(), 64 + 4);
        QCOMPARE(d.findFile("materials/sub/b.vtf")->entryIndex, 64);
        QCOMPARE(d.findFile("readme.txt")->entryIndex, 65);
        QCOMPARE(added->entryIndex, 66);
        QCOMPARE(ref->entryIndex, 67);
        QVERIFY(!added->pendingData && !ref->pendingData && !added->modified);
        QCOMPARE(d.size(67), 17);
        // Lump nodes keep what they had.
        QVERIFY(d.node(53)->pendingData);
        QVERIFY(d.node(1)->deleted);

        // A fresh look at the new file.
        CDelegateBSP fresh;
        QVERIFY2(fresh.open(file.path(), true), qPrintable(fresh.lastError()));
        QCOMPARE(fresh.pakfileEntries().size(), 4);
        const QStringList expected{"materials/Sub/b.vtf", "readme.txt", "added/new.txt",
                                   "added/ref.bin"};
        const QList<QByteArray> bytes{QByteArray(100, 'b'), "new readme", "hello",
                                      "after, and longer"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(fresh.node(64 + i)->path(true), expected[i]);
            std::unique_ptr<QByteArray> data(fresh.readStored(64 + i));
            QVERIFY(data);
            QCOMPARE(*data, bytes[i]);
        }
        const CZipCentralDirectoryHeader &fresh3 = fresh.pakfileEntries()[2]->central;
        QCOMPARE(fresh3.versionNeeded, quint16(10));
        QCOMPARE(fresh3.versionMadeBy, quint16(20));
        QCOMPARE(fresh3.time, quint16(0));
        QCOMPARE(fresh3.date, quint16(0));
        QCOMPARE(fresh3.crc32, 0x3610a686u);
        QCOMPARE(fresh.pakfileEntries()[1]->local.crc32, 0x658f1e1bu);
        QCOMPARE(fresh.zipComment(), QByteArray("made by hand"));

        // Lumps still pending are written again, with the same bytes.
        QVERIFY(d.flush(nullptr));
        QCOMPARE(MapView(readFile(file.path())).lump(53), QByteArray("HDRHDR"));
    }

    void emptyPakfileGetsItsEndRecord()
    {
        // No pakfile at all.
        MapFixture plain;
        plain.lumps[1] = QByteArray(64, 'x');
        MapFile first(plain.build());
        CDelegateBSP d;
        QVERIFY(d.open(first.path(), false));
        FlushSyncronizer s;
        QVERIFY(d.flush(&s));
        QCOMPARE(s.itemsProcessed(), 64);
        ZipFixture none;
        QCOMPARE(MapView(readFile(first.path())).lump(40), none.build());
        QCOMPARE(none.build().size(), 22);

        // Every file deleted: the comment stays.
        MapFile second(typicalMap().build());
        QVERIFY(d.open(second.path(), false));
        for (int i = 64; i < 67; ++i)
            QVERIFY(d.remove(d.node(i)));
        QVERIFY(d.flush(nullptr));
        none.archiveComment = "made by hand";
        QCOMPARE(MapView(readFile(second.path())).lump(40), none.build());
        QCOMPARE(d.nodeCount(), 64);
        QCOMPARE(d.root()->fileCount(), 64);
    }

    void wholePakfileLumpIsWritten()
    {
        MapFile file(typicalMap().build());
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), false));
        ZipFixture other;
        other.add("other/one.txt", "1");
        other.add("two.txt", "22");
        const QByteArray archive = other.build();
        QVERIFY(d.setData(archive, false, d.node(40)));
        FlushSyncronizer s;
        QVERIFY2(d.flush(&s), qPrintable(d.lastError()));
        QCOMPARE(s.total(), 64);
        QCOMPARE(s.itemsProcessed(), 64);
        const MapView out(readFile(file.path()));
        QCOMPARE(out.lump(40), archive);
        QCOMPARE(out.offset(40) + out.length(40), out.bytes.size());
        // The new archive's files are the pakfile now.
        QVERIFY(!d.findNode("readme.txt"));
        QVERIFY(!d.findNode("materials"));
        QCOMPARE(d.nodeCount(), 66);
        QCOMPARE(d.findFile("other/one.txt")->entryIndex, 64);
        std::unique_ptr<QByteArray> two(d.readStored(65));
        QVERIFY(two);
        QCOMPARE(*two, QByteArray("22"));

        // Bytes that are no archive still land; only the listing is empty.
        QVERIFY(d.setData(QByteArray("not a zip"), false, d.node(40)));
        QVERIFY(d.flush(&s));
        QCOMPARE(MapView(readFile(file.path())).lump(40), QByteArray("not a zip"));
        QCOMPARE(d.nodeCount(), 64);
        QCOMPARE(s.messages().last().text, QString(E::Bsp::NoEndRecord));
        QVERIFY(!s.messages().last().isError);
    }

    void injectedFailuresLeaveEverything_data()
    {
        QTest::addColumn<Step>("step");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("message");
        const QString shortWrite = QString::fromLatin1(DeviceError::ShortWrite).arg(9).arg(9);
        const QString shortRead = QString::fromLatin1(DeviceError::ShortRead).arg(5).arg(5);
        QTest::newRow("temporary file")
            << Step::TemporaryFile << 0 << E::Bsp::temporaryOpen("<folder>", QString());
        QTest::newRow("header space") << Step::Header << 0 << E::Bsp::HeaderWrite;
        QTest::newRow("lump 5") << Step::Lump << 5
                                << "Write Error: Unable to write lump 5 (Nodes)\n" + shortWrite;
        QTest::newRow("stored read")
            << Step::StoredRead << 0
            << "Read Error: Unable to read pakfile file \"materials/a.vmt\"\n" + shortRead;
        QTest::newRow("local entry")
            << Step::LocalEntry << 1
            << "Write Error: Incomplete write of local directory entry for "
               "\"materials/Sub/b.vtf\"";
        QTest::newRow("central entry")
            << Step::CentralEntry << 2
            << "Write Error: Incomplete write of pakfile central directory entry for "
               "\"added/new.txt\"";
        QTest::newRow("end record") << Step::EndRecord << 0 << E::Bsp::EndRecordWrite;
        QTest::newRow("header") << Step::Header << 1 << E::Bsp::HeaderWrite;
        QTest::newRow("finish") << Step::FinishTemporary << 0 << E::Bsp::TemporaryFinish;
        QTest::newRow("sync") << Step::SyncTemporary << 0 << E::Bsp::TemporarySync;
        QTest::newRow("read back")
            << Step::ReadBack << 0 << E::Bsp::readBack(QString::fromLatin1(E::FileOpen));
        // The map's path and folder are filled in by the test.
        QTest::newRow("backup") << Step::Backup << 0
                                << E::Bsp::backupFailed("<backup>", "Unknown error");
        QTest::newRow("backup takes its name")
            << Step::Backup << 1 << E::Bsp::backupFailed("<backup>", "Unknown error");
        QTest::newRow("replace") << Step::Replace << 0
                                 << E::withReason(E::Bsp::SwapUndone, "Unknown error");
    }

    void injectedFailuresLeaveEverything()
    {
        QFETCH(Step, step);
        QFETCH(int, item);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString local = dir.filePath("local.bin");
        writeFile(local, "referenced");
        const QByteArray original = typicalMap().build();
        MapFile file(original);
        FaultyMap d;
        QVERIFY(d.open(file.path(), false));
        QVERIFY(d.setData(QByteArray("new nodes"), false, d.node(5)));
        QVERIFY(d.remove("readme.txt"));
        QVERIFY(d.addFile(QByteArray("hello"), false, "added/new.txt"));
        QVERIFY(d.addFile(local.toLocal8Bit() + '\0', true, "added/ref.bin"));
        const QStringList before = editState(d);
        message.replace("<backup>", file.path() + ".backup")
            .replace("<folder>", QFileInfo(file.path()).absolutePath());

        d.failAt(step, item);
        expectFailedFlush(d, message);
        if (QTest::currentTestFailed())
            return;

        QCOMPARE(readFile(file.path()), original);
        QVERIFY(temporaries(file.path()).isEmpty());
        // Only a failed last step finds the backup made: the old map itself.
        if (step == Step::Replace)
            QCOMPARE(readFile(file.path() + ".backup"), original);
        else
            QVERIFY(!QFile::exists(file.path() + ".backup"));
        QCOMPARE(editState(d), before);
        QVERIFY(d.isOpen());
        std::unique_ptr<QByteArray> stored(d.readStored(66));
        QVERIFY(stored);
        QCOMPARE(*stored, QByteArray("r"));

        // Nothing was lost: the same edits flush once the fault is gone, and
        // leave nothing beside the map (the backup a failed swap left is a
        // second name of it, onto which a rename does nothing).
        d.fault = nullptr;
        QVERIFY2(d.flush(nullptr), qPrintable(d.lastError()));
        QCOMPARE(MapView(readFile(file.path())).lump(5), QByteArray("new nodes"));
        QCOMPARE(readFile(file.path() + ".backup"), original);
        QVERIFY(temporaries(file.path()).isEmpty());
    }

    void reopenFailureAfterTheSwap_data()
    {
        QTest::addColumn<bool>("readOnlyToo");
        QTest::newRow("read-write only") << false;
        QTest::newRow("read-only too") << true;
    }

    void reopenFailureAfterTheSwap()
    {
        QFETCH(bool, readOnlyToo);
        const QByteArray original = typicalMap().build();
        MapFile file(original);
        FaultyMap d;
        QVERIFY(d.open(file.path(), false));
        QVERIFY(d.addFile(QByteArray("new"), false, "new.txt"));
        d.fault = [readOnlyToo](Step s, int item) {
            return s == Step::Reopen && (item == 0 || readOnlyToo);
        };
        FlushSyncronizer s;
        if (readOnlyToo) {
            // Nothing left to read the map with: the delegate says so.
            QVERIFY(!d.flush(&s));
            QCOMPARE(d.lastError(), QString(E::Bsp::SwapFailed));
            QVERIFY(!d.isOpen());
        } else {
            // The map is saved; a delegate that can read it goes on with it.
            QVERIFY(d.flush(&s));
            QVERIFY(s.isFinished());
            QCOMPARE(s.messages().last().text, QString(E::Bsp::ReopenedReadOnly));
            QVERIFY(!s.messages().last().isError);
            QVERIFY(d.isOpen() && d.isReadOnly());
            QCOMPARE(d.findFile("new.txt")->entryIndex, 67);
            std::unique_ptr<QByteArray> added(d.readStored(67));
            QVERIFY(added);
            QCOMPARE(*added, QByteArray("new"));
        }
        // The new map is in place and whole; the old one is the backup.
        QCOMPARE(readFile(file.path() + ".backup"), original);
        CDelegateBSP fresh;
        QVERIFY(fresh.open(file.path(), true));
        QCOMPARE(fresh.pakfileEntries().size(), 4);
        QVERIFY(temporaries(file.path()).isEmpty());
    }

    // A disk that fills up (a file size limit, in a child process): the
    // message keeps the system's reason, the map stays as it was.
    void fullDiskKeepsTheReason()
    {
        const QByteArray original = typicalMap().build();
        MapFile file(original);
        ChildRun::Limits limits;
        limits.fileSize = original.size() + 100;
        const ChildRun::Result result = ChildRun::run(limits, [&] {
            CDelegateBSP d;
            if (!d.open(file.path(), false) ||
                !d.setData(QByteArray(original.size(), 'n'), false, d.node(5)) || d.flush(nullptr))
                return false;
            if (d.lastError().endsWith(" (File too large)"))
                return true;
            qWarning("%s", qPrintable(d.lastError()));
            return false;
        });
        if (result == ChildRun::Unavailable)
            QSKIP("This machine does not let the test limit file sizes");
        QCOMPARE(result, ChildRun::Succeeded);
        QCOMPARE(readFile(file.path()), original);
        QVERIFY(temporaries(file.path()).isEmpty());
    }

    void realFailures()
    {
        QTemporaryDir dir;
        const QByteArray original = typicalMap().build();
        MapFile file(original);
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), false));

        // A folder where saves once put their temporary file is in no one's way.
        QVERIFY(QDir().mkdir(file.path() + ".tmp"));
        QVERIFY2(d.flush(nullptr), qPrintable(d.lastError()));
        QVERIFY(QDir().rmdir(file.path() + ".tmp"));
        writeFile(file.path(), original);
        QVERIFY(d.open(file.path(), false));

        // A lump's local file is gone.
        const QString missing = dir.filePath("missing.lmp");
        QVERIFY(d.setData(missing.toLocal8Bit(), true, d.node(0)));
        QVERIFY(!d.flush(nullptr));
        QCOMPARE(d.lastError(), QString("Write Error: Unable to write lump 0 (Entities)\n"
                                        "Read Error: Unable to open referenced file"));
        QVERIFY(d.revert(d.node(0)));

        // A pakfile file's local file is gone.
        CPackageHierarchyNode *n = d.addFile(missing.toLocal8Bit(), true, "x/missing.txt");
        QVERIFY(!d.flush(nullptr));
        QCOMPARE(d.lastError(), QString("File Error: Unable to open \"%1\" referenced by "
                                        "\"x/missing.txt\"")
                                    .arg(missing));
        QVERIFY(!d.remove(n));

        // The backup name is a folder that cannot be removed: no backup can
        // be made, so the map is not replaced and stays open.
        QVERIFY(QFile::remove(file.path() + ".backup"));
        QVERIFY(QDir().mkpath(file.path() + ".backup/inside"));
        QVERIFY(!d.flush(nullptr));
        const QString backupError = E::Bsp::backupFailed(file.path() + ".backup", "why");
        QVERIFY2(d.lastError().startsWith(backupError.left(backupError.size() - 4)),
                 qPrintable(d.lastError()));
        QVERIFY(d.isOpen());
        QVERIFY(temporaries(file.path()).isEmpty());
        QCOMPARE(readFile(file.path()), original);
        QVERIFY(QDir(file.path() + ".backup").removeRecursively());

        // The map lost its tail under the delegate: reading a lump fails.
        QFile::resize(file.path(), original.size() - 4);
        QVERIFY(!d.flush(nullptr));
        QVERIFY2(d.lastError().startsWith("Write Error: Unable to write lump 53 (LightingHDR)\n"
                                          "Read Error: "),
                 qPrintable(d.lastError()));
        QVERIFY(temporaries(file.path()).isEmpty());
    }

    void linksNeverTurnTheSaveAside()
    {
        // Links and second names planted where saves once put their temporary
        // file stay as they are, their files untouched; a map opened through
        // a link saves the file it names.
        MapFile file(typicalMap().build());
        QTemporaryDir other;
        const QString victim = other.filePath("victim.txt"), opened = other.filePath("link.bsp");
        writeFile(victim, "victim");
        QVERIFY(QFile::link(file.path(), opened) && QFile::link(victim, file.path() + ".tmp"));
        CDelegateBSP d;
        QVERIFY(d.open(opened, false) && d.addFile(QByteArray("new"), false, "added.txt"));
        QVERIFY2(d.flush(nullptr), qPrintable(d.lastError()));
        QVERIFY(QFile::remove(file.path() + ".tmp"));
        QCOMPARE(::link(qPrintable(victim), qPrintable(file.path() + ".tmp")), 0);
        QVERIFY2(d.flush(nullptr), qPrintable(d.lastError()));
        QCOMPARE(readFile(victim), QByteArray("victim"));
        QCOMPARE(readFile(file.path() + ".tmp"), QByteArray("victim"));
        QVERIFY(readFile(file.path()).contains("added.txt"));
        QCOMPARE(temporaries(file.path()), QStringList{"map.bsp.tmp"});
        QVERIFY(QFileInfo(opened).isSymLink());
        QCOMPARE(QDir(other.path()).entryList(QDir::Files),
                 QStringList({"link.bsp", "victim.txt"}));
    }

    void limitsAreCheckedBeforeWriting()
    {
        MapFile file(typicalMap().build());
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), false));
        QTemporaryDir dir;

        // A local file of 3 GiB (sparse) would push the map past 2 GiB.
        const QString huge = dir.filePath("huge.bin");
        {
            QFile f(huge);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(qint64(3) << 30));
        }
        QVERIFY(d.setData(huge.toLocal8Bit(), true, d.node(8)));
        QVERIFY(!d.flush(nullptr));
        QCOMPARE(d.lastError(), QString(E::Bsp::MapTooLarge));
        QVERIFY(temporaries(file.path()).isEmpty());
        QVERIFY(d.revert(d.node(8)));

        // The end record counts files in 16 bits.
        for (int i = 0; i < 65536 - 3; ++i)
            QVERIFY(d.addFile(QByteArray(), false, QStringLiteral("many/%1").arg(i)));
        QVERIFY(!d.flush(nullptr));
        QCOMPARE(d.lastError(), QString(E::Bsp::TooManyPakfileFiles));
        QVERIFY(temporaries(file.path()).isEmpty());
        QVERIFY(!d.remove(d.findNode("many/0")));
        FlushSyncronizer s;
        QVERIFY(d.flush(&s));
        QCOMPARE(s.total(), 64 + 2 * 65535);
        QCOMPARE(d.pakfileEntries().size(), 65535);
    }

    void flushOfDamagedMaps()
    {
        const QByteArray valid = typicalMap().build();
        QTemporaryDir dir;
        const QString path = dir.filePath("fuzz.bsp");
        int flushed = 0;
        Fuzz::byteFlips(valid, 150, 11, [&](const QByteArray &bytes) {
            writeFile(path, bytes);
            QFile::remove(path + ".backup");
            CDelegateBSP d;
            if (!d.open(path, false))
                return;
            QVector<QByteArray> lumps;
            for (int i = 0; i < 64; ++i) {
                std::unique_ptr<QByteArray> lump(d.readStored(i));
                lumps.append(lump ? *lump : QByteArray("<unreadable>"));
            }
            if (!d.flush(nullptr)) {
                QCOMPARE(readFile(path), bytes);
                QVERIFY(temporaries(path).isEmpty());
                return;
            }
            ++flushed;
            // What was read before is read back from the new map.
            CDelegateBSP again;
            QVERIFY2(again.open(path, true), qPrintable(again.lastError()));
            for (int i = 0; i < 64; ++i) {
                if (i == 35 || i == 40)
                    continue;
                std::unique_ptr<QByteArray> lump(again.readStored(i));
                QVERIFY(lump);
                QCOMPARE(*lump, lumps[i]);
            }
        });
        QVERIFY(flushed > 0);
    }

    void mapsThatWouldNotReadBackAreKept_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        const QString outside = E::Bsp::readBack(E::Bsp::gameLumpOutside(0));
        QTest::newRow("stored offset into the header") << "header" << outside;
        QTest::newRow("staged with absolute offsets") << "staged" << outside;
        QTest::newRow("last game lump past the new end")
            << "tail" << E::Bsp::readBack(QString::fromLatin1(E::ReadIncompleteRead));
    }

    void mapsThatWouldNotReadBackAreKept()
    {
        // Game lumps that do not move with lump 35 land on other bytes, or
        // past the end of the shorter map: the flush must not report
        // success, and leaves the map and the edits as they were.
        QFETCH(QString, fault);
        QFETCH(QString, message);
        MapFixture m = typicalMap();
        QByteArray bytes = m.build();
        // The first game lump points into the header, which is rewritten.
        if (fault == "header")
            qToLittleEndian<qint32>(20, bytes.data() + m.offsets[35] + 4 + 8);
        // The last game lump runs from inside lump 35 to the end of the file;
        // without lump 1 the rewritten map is 40 bytes shorter.
        if (fault == "tail") {
            qToLittleEndian<qint32>(bytes.size() - m.gameLumpOffsets[2],
                                    bytes.data() + m.offsets[35] + 4 + 16 * 2 + 12);
        }
        MapFile file(bytes);
        CDelegateBSP d;
        QVERIFY2(d.open(file.path(), false), qPrintable(d.lastError()));
        if (fault == "tail")
            QVERIFY(d.remove(d.node(1)));
        else
            QVERIFY(d.setData(QByteArray("x"), false, d.node(1)));
        // Offsets as they lie in the file, not counted from the lump.
        if (fault == "staged")
            QVERIFY(d.setData(m.lumps[35], false, d.node(35)));
        const QStringList before = editState(d);

        expectFailedFlush(d, message);
        QCOMPARE(readFile(file.path()), bytes);
        QVERIFY(temporaries(file.path()).isEmpty());
        QVERIFY(!QFile::exists(file.path() + ".backup"));
        QCOMPARE(editState(d), before);
        QVERIFY(d.isOpen());
    }

    void extractAndReplaceEveryLumpChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("relative");
        QTest::newRow("version 20") << typicalMap().build() << false;
        QTest::newRow("version 21, layout B") << canonicalMap(21, true).build() << false;
        // Some builds count game-lump offsets from lump 35's first byte.
        MapFixture m = typicalMap();
        QByteArray relative = m.build();
        for (int i = 0; i < m.gameLumps.size(); ++i) {
            qToLittleEndian<qint32>(m.gameLumpOffsets[i] - m.offsets[35],
                                    relative.data() + m.offsets[35] + 4 + 16 * i + 8);
        }
        QTest::newRow("relative game-lump offsets") << relative << true;
    }

    void extractAndReplaceEveryLumpChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, relative);
        MapFile file(bytes);
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), false));
        QCOMPARE(d.gameLumpOffsetsRelative(), relative);
        QCOMPARE(d.staticPropModelNames().size(), 2);
        QCOMPARE(d.gameLumps()[2].data, QByteArray(8, 'd'));
        QVERIFY(d.flush(nullptr));
        const QByteArray written = readFile(file.path());

        // Every lump as extracted (lump 35's offsets then count from its
        // first byte), given back: the map comes out the same.
        for (int i = 0; i < 64; ++i) {
            std::unique_ptr<QByteArray> lump(d.readStored(i));
            QVERIFY2(lump, qPrintable(d.lastError()));
            QVERIFY(d.setData(*lump, false, d.node(i)));
        }
        QVERIFY2(d.flush(nullptr), qPrintable(d.lastError()));
        QCOMPARE(readFile(file.path()), written);
        // Still staged (all but the pakfile), written again at the same place.
        QVERIFY(d.node(35)->pendingData && !d.node(40)->pendingData);
        QVERIFY(d.flush(nullptr));
        QCOMPARE(readFile(file.path()), written);
        QCOMPARE(d.gameLumps()[2].data, QByteArray(8, 'd'));
    }

    void recordsWithoutNodesSurviveEveryFlush_data()
    {
        QTest::addColumn<QString>("source");
        // A file renamed in case only, and the name it is saved under.
        QTest::addColumn<QStringList>("renamed");
        QTest::newRow("by hand") << "hand" << QStringList{"sounds/a.wav", "SOUNDS/A.WAV"};
        QTest::newRow("zip -0 -r") << "zip" << QStringList{"top.txt", "TOP.TXT"};
        QTest::newRow("python zipfile") << "python" << QStringList{"maps/x.txt", "Maps/x.txt"};
    }

    void recordsWithoutNodesSurviveEveryFlush()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, renamed);
        QTemporaryDir dir;
        QByteArray archive;
        if (source == "hand") {
            archive = oddNamesPakfile().build();
        } else {
            archive = toolArchive(source, dir.path());
            if (archive.isEmpty())
                QSKIP("the tool is not installed");
        }
        MapFixture m = typicalMap();
        m.lumps[40] = archive;
        MapFile file(m.build());
        CDelegateBSP d;
        QVERIFY2(d.open(file.path(), false), qPrintable(d.lastError()));
        QVERIFY(d.nodeCount() > d.root()->fileCount());
        const auto before = zipListing(archive);

        // A no-op flush keeps every record, those without a node included,
        // and every other lump.
        QVERIFY2(d.flush(nullptr), qPrintable(d.lastError()));
        MapView out(readFile(file.path()));
        QCOMPARE(zipListing(out.lump(40)), before);
        for (int i = 0; i < 64; ++i) {
            if (i != 35 && i != 40)
                QCOMPARE(out.lump(i), m.lumps[i]);
        }
        // And so does every later flush with edits.
        QVERIFY(d.addFile(QByteArray("added"), false, "added.txt"));
        CPackageHierarchyNode *n = d.findFile(renamed[0]);
        QVERIFY(d.rename(n, renamed[1].section('/', -1)));
        auto expected = before;
        expected[n->entryIndex - 64].first = renamed[1].toLatin1();
        QVERIFY(d.flush(nullptr));
        out = MapView(readFile(file.path()));
        expected.append(qMakePair(QByteArray("added.txt"), QByteArray("added")));
        QCOMPARE(zipListing(out.lump(40)), expected);
        CDelegateBSP fresh;
        QVERIFY(fresh.open(file.path(), true));
        QCOMPARE(fresh.pakfileEntries().size(), expected.size());
        QCOMPARE(fresh.nodeCount(), d.nodeCount());
    }

    void headersThatDisagreeAreKeptAsRead_data()
    {
        QTest::addColumn<bool>("central");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("value");
        QTest::newRow("directory says method 256") << true << 10 << 256;
        QTest::newRow("local header says deflate") << false << 8 << 8;
        QTest::newRow("directory says encrypted") << true << 8 << 1;
    }

    void headersThatDisagreeAreKeptAsRead()
    {
        // Read by one header and written by the other, the file would change
        // its meaning: it is left out of the tree, and every flush writes its
        // headers and bytes back as they were.
        QFETCH(bool, central);
        QFETCH(int, field);
        QFETCH(int, value);
        ZipFixture z;
        MapFixture m = typicalMap(&z);
        const int entry = z.directoryOffset + 46 + z.entries[0].name.size();
        const int entrySize = 46 + z.entries[1].name.size();
        ByteBuilder zip;
        zip.bytes(m.lumps[40])
            .patchU16((central ? entry : z.localOffsets[1]) + field, quint16(value));
        m.lumps[40] = zip.data();
        const QByteArray local =
            zip.data().mid(z.localOffsets[1], z.localOffsets[2] - z.localOffsets[1]);
        // The directory entry without its local header offset.
        const auto withoutOffset = [](const QByteArray &e) { return e.left(42) + e.mid(46); };
        const QByteArray directoryEntry = withoutOffset(zip.data().mid(entry, entrySize));
        MapFile file(m.build());
        const QString warning = E::Bsp::headersDisagree("materials/Sub/b.vtf");

        CDelegateBSP d;
        {
            WarningCapture w;
            QVERIFY(d.open(file.path(), false));
            QCOMPARE(w.lines(), QStringList{warning});
        }
        QVERIFY(!d.findNode("materials/Sub/b.vtf"));
        QCOMPARE(d.root()->fileCount(), 64 + 2);
        QVERIFY(d.addFile(QByteArray("added"), false, "added.txt"));
        QVERIFY2(d.flush(nullptr), qPrintable(d.lastError()));
        const QByteArray written = readFile(file.path());
        const QByteArray pak = MapView(written).lump(40);
        // Behind "materials/a.vmt" with its 5 bytes, as second file and entry;
        // the end record and its 12-byte comment close the lump.
        QCOMPARE(pak.mid(50, local.size()), local);
        const int directory = qFromLittleEndian<qint32>(pak.constData() + pak.size() - 34 + 16);
        QCOMPARE(withoutOffset(pak.mid(directory + 46 + 15, entrySize)), directoryEntry);
        QCOMPARE(zipListing(pak).size(), 4);

        CDelegateBSP again;
        {
            WarningCapture w;
            QVERIFY(again.open(file.path(), false));
            QCOMPARE(w.lines(), QStringList{warning});
        }
        QVERIFY(again.flush(nullptr));
        QCOMPARE(readFile(file.path()), written);
    }

    void setAsideRecordsYieldToTheTree_data()
    {
        QTest::addColumn<QStringList>("names");
        // "remove:path", "rename:path>name", "refuse:path>name" (a rename
        // refused) or "add:path", in order.
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("kept");
        // "Folder" is set aside: "FOLDER/a.txt" made the folder first.
        const QStringList folder{"FOLDER/a.txt", "Folder", "folder\\b.txt"};
        QTest::newRow("file where the folder's first file was")
            << folder << QStringList{"remove:FOLDER/a.txt"} << "folder/b.txt";
        QTest::newRow("file added below the set-aside file's path")
            << folder
            << QStringList{"remove:FOLDER/a.txt", "remove:folder/b.txt", "add:folder/new.txt"}
            << "folder/new.txt";
        // "two.txt" is set aside: "TWO.TXT" hides it. Its name is taken.
        QTest::newRow("file added at a hidden file's path")
            << QStringList{"one.txt", "two.txt", "TWO.TXT"}
            << QStringList{"rename:TWO.TXT>three.txt", "refuse:one.txt>two.txt", "add:two.txt"}
            << "two.txt";
        QTest::newRow("file renamed in case only")
            << QStringList{"upper.vmt", "UPPER.VMT"}
            << QStringList{"refuse:UPPER.VMT>upper.vmt", "rename:UPPER.VMT>Upper.vmt"}
            << "upper.vmt";
        QTest::newRow("folder renamed in case only")
            << QStringList{"a/x.txt", "A/x.txt"} << QStringList{"refuse:A>a", "rename:A>b"}
            << "b/x.txt";
    }

    void setAsideRecordsYieldToTheTree()
    {
        // Opened again, the saved map shows the file where the tree had it:
        // the set-aside record is not written where it would take the path.
        QFETCH(QStringList, names);
        QFETCH(QStringList, edits);
        QFETCH(QString, kept);
        MapFixture m = typicalMap();
        ZipFixture z;
        for (const QString &name : names)
            z.add(name.toLatin1(), "bytes of " + name.toLatin1());
        m.lumps[40] = z.build();
        MapFile file(m.build());
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), false));
        for (const QString &edit : edits) {
            const QString verb = edit.section(':', 0, 0);
            const QString path = edit.section(':', 1).section('>', 0, 0);
            if (verb == "remove")
                QVERIFY(d.remove(path));
            else if (verb == "rename")
                QVERIFY(d.rename(d.findNode(path), edit.section('>', 1)));
            else if (verb == "refuse")
                QVERIFY(!d.rename(d.findNode(path), edit.section('>', 1)) &&
                        d.lastError() == E::unableToRename(path, edit.section('>', 1)));
            else
                QVERIFY(d.addFile(QByteArray("added"), false, path));
        }
        const std::unique_ptr<QByteArray> bytes(d.readCurrent(kept));
        QVERIFY(bytes);
        QVERIFY2(d.flush(nullptr), qPrintable(d.lastError()));

        CDelegateBSP again;
        QVERIFY(again.open(file.path(), true));
        const std::unique_ptr<QByteArray> reread(again.readCurrent(kept));
        QVERIFY(reread);
        QCOMPARE(*reread, *bytes);
        QCOMPARE(again.pakfileEntries().size(), d.pakfileEntries().size());
    }

    void killAtAnyStepLeavesAWholeMap()
    {
        const QByteArray original = typicalMap().build();
        MapFile file(original);
        const QString folder = QFileInfo(file.path()).path();
        FaultyMap d;
        QVERIFY(d.open(file.path(), false));
        // A backup from an earlier save stands before this one starts.
        QVERIFY(d.flush(nullptr));
        const QByteArray before = readFile(file.path());
        QVERIFY(d.addFile(QByteArray("new"), false, "added.txt"));
        // What a kill just before each step leaves on disk, leftovers included.
        QVector<QMap<QString, QByteArray>> snapshots;
        d.fault = [&](Step, int) {
            QMap<QString, QByteArray> files;
            for (const QString &name : QDir(folder).entryList(QDir::Files))
                files[name] = readFile(folder + "/" + name);
            snapshots.append(files);
            return false;
        };
        QVERIFY(d.flush(nullptr));
        const QByteArray flushed = readFile(file.path());

        int oldMaps = 0;
        for (int i = 0; i < snapshots.size(); ++i) {
            const QMap<QString, QByteArray> &files = snapshots[i];
            // The map's path holds a whole map, old or new, and a backup
            // stands at every moment: the map before this save once the new
            // one is in place.
            const QByteArray map = files.value("map.bsp");
            QVERIFY2(map == before || map == flushed, qPrintable(QString::number(i)));
            oldMaps += map == before;
            const QByteArray backup = files.value("map.bsp.backup");
            QVERIFY2(backup == before || (backup == original && map == before),
                     qPrintable(QString::number(i)));
            // The next session opens it and saves, and the leftovers go.
            QTemporaryDir after;
            for (auto it = files.begin(); it != files.end(); ++it)
                writeFile(after.filePath(it.key()), it.value());
            CDelegateBSP next;
            QVERIFY(next.open(after.filePath("map.bsp"), false));
            QVERIFY(next.addFile(QByteArray("later"), false, "later.txt"));
            QVERIFY2(next.flush(nullptr), qPrintable(next.lastError()));
            QCOMPARE(readFile(after.filePath("map.bsp.backup")), map);
            QVERIFY(temporaries(after.filePath("map.bsp")).isEmpty());
            CDelegateBSP check;
            QVERIFY(check.open(after.filePath("map.bsp"), true));
            QVERIFY(check.findFile("later.txt"));
        }
        // Snapshots were taken on both sides of the replacement.
        QVERIFY(oldMaps > 0 && oldMaps < snapshots.size());
    }

    // While one save of a map runs (writing, and once the new map has its
    // name) a second one, in this process or another, is refused at once.
    void secondSaveOfAMapIsRefused()
    {
        MapFile file(typicalMap().build());
        FaultyMap first;
        CDelegateBSP second;
        QVERIFY(first.open(file.path(), false) && second.open(file.path(), false));
        QVERIFY(first.addFile(QByteArray("first"), false, "first.txt"));
        QVERIFY(second.addFile(QByteArray("second"), false, "second.txt"));
        QStringList refused;
        first.fault = [&](Step step, int item) {
            if ((step == Step::Header && item == 1) || step == Step::Reopen) {
                refused << (second.flush(nullptr) ? QString("saved") : second.lastError());
                refused << QString::number(ChildRun::run({}, [&] {
                    CDelegateBSP d;
                    return d.open(file.path(), false) && !d.flush(nullptr) &&
                           d.lastError() == E::Bsp::SaveInProgress;
                }));
            }
            return false;
        };
        QVERIFY2(first.flush(nullptr), qPrintable(first.lastError()));
        const QString busy(E::Bsp::SaveInProgress);
        QCOMPARE(refused, QStringList({busy, "1", busy, "1"}));
        // Once the first is done, the second, written from the map as it was
        // before, would drop the first one's edits.
        QVERIFY(!second.flush(nullptr));
        QCOMPARE(second.lastError(), QString(E::Bsp::MapReplaced));
        QVERIFY(readFile(file.path()).contains("first.txt"));
        QVERIFY(!readFile(file.path()).contains("second.txt"));
    }

    // A save killed part way blocks no later save, which removes its new
    // file and backup in the making (a name of the map), long names too, but
    // no link, pipe, file a live save holds or other name. Kills before each
    // step are checked above.
    void killedSaveDoesNotBlockTheNext_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Step>("step");
        for (const QString &name : {QString("map.bsp"), QString(251, 'm') + ".bsp"}) {
            QTest::addRow("%d, writing", name.size()) << name << Step::Header;
            QTest::addRow("%d, backing up", name.size()) << name << Step::Backup;
        }
    }

    void killedSaveDoesNotBlockTheNext()
    {
        QFETCH(QString, name);
        QFETCH(Step, step);
        QTemporaryDir dir;
        const QString path = dir.filePath(name), victim = dir.filePath("victim");
        writeFile(path, typicalMap().build());
        QCOMPARE(ChildRun::run({},
                               [&] {
                                   FaultyMap d;
                                   d.fault = [step](Step s, int i) {
                                       return s == step && i == 1 && ::raise(SIGKILL);
                                   };
                                   return d.open(path, false) && d.flush(nullptr);
                               }),
                 ChildRun::Failed);
        QCOMPARE(temporaries(path).size(), step == Step::Backup ? 2 : 1);
        QStringList kept{"map.bsp.a1B2c.tmp", "map.bsp.a1-2c3.tmp", "other.bsp.a1B2c3.tmp",
                         "map.bsp.held00.tmp"};
        for (const QString &file : kept + QStringList{"victim"})
            writeFile(dir.filePath(file), "kept");
        const int held = ::open(qPrintable(dir.filePath(kept.last())), O_RDONLY);
        QVERIFY(held >= 0 && ::flock(held, LOCK_EX) == 0);
        kept << "map.bsp.link00.tmp"
             << "map.bsp.pipe00.tmp";
        QVERIFY(QFile::link(victim, dir.filePath(kept[4])) &&
                ::mkfifo(qPrintable(dir.filePath(kept[5])), 0600) == 0);

        CDelegateBSP d;
        const bool saved = d.open(path, false) &&
                           d.addFile(QByteArray("later"), false, "later.txt") && d.flush(nullptr);
        ::close(held);
        QVERIFY2(saved, qPrintable(d.lastError()));
        QStringList left = temporaries(path);
        left.sort();
        kept.sort();
        QCOMPARE(left, kept);
        QCOMPARE(readFile(victim), QByteArray("kept"));
    }

    // In a shared folder (sticky, as /tmp is) a user replaces only their own
    // files. Another's map, though writable, is refused with the system's
    // reason at every save, never for the backup the last one left; one's
    // own map beside another's backup saves, its backup beside theirs.
    void sharedFolderSaves()
    {
        if (::geteuid() != 0)
            QSKIP("Needs files of other users: run as root");
        QTemporaryDir dir;
        const QByteArray original = typicalMap().build();
        const QString others = dir.filePath("others.bsp"), own = dir.filePath("own.bsp");
        writeFile(others, original);
        writeFile(own, original);
        writeFile(own + ".backup", "theirs");
        QVERIFY(::chmod(QFile::encodeName(dir.path()), 01777) == 0 &&
                ::chown(QFile::encodeName(others), 65533, 65533) == 0 &&
                ::chmod(QFile::encodeName(others), 0666) == 0 &&
                ::chown(QFile::encodeName(own + ".backup"), 65533, 65533) == 0 &&
                ::chown(QFile::encodeName(own), 65534, 65534) == 0);
        const QString refused = E::withReason(E::Bsp::SwapUndone, "Operation not permitted");
        const ChildRun::Result result = ChildRun::run({true}, [&] {
            for (const char *added : {"one.txt", "two.txt"}) {
                CDelegateBSP theirs, mine;
                if (!theirs.open(others, false) || !theirs.addFile("x", false, added) ||
                    theirs.flush(nullptr) || theirs.lastError() != refused)
                    return false;
                const QByteArray before = readFile(own);
                if (!mine.open(own, false) || !mine.addFile("x", false, added) ||
                    !mine.flush(nullptr) || readFile(own + ".65534.backup") != before)
                    return false;
            }
            return true;
        });
        if (result == ChildRun::Unavailable)
            QSKIP("This machine does not let the test change its user");
        QCOMPARE(result, ChildRun::Succeeded);
        QCOMPARE(readFile(others), original);
        QCOMPARE(readFile(own + ".backup"), QByteArray("theirs"));
    }

    // A map deleted while open is saved anew from its open file, with no
    // backup; into a folder that went, never. Nothing else is written.
    void mapGoneFromItsName_data()
    {
        // The row's name is the change made while the map is open.
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("files");
        const QString gone = E::withReason(E::FileOpen, "No such file or directory");
        QTest::newRow("deleted") << QString() << "maps/map.bsp=saved";
        QTest::newRow("folder renamed") << gone << "moved/map.bsp=old";
    }

    void mapGoneFromItsName()
    {
        QFETCH(QString, message);
        QFETCH(QString, files);
        const QString change = QTest::currentDataTag();
        QTemporaryDir dir;
        const QString folder = dir.filePath("maps"), map = folder + "/map.bsp";
        const QByteArray old = typicalMap().build();
        QVERIFY(QDir().mkpath(folder));
        writeFile(map, old);
        CDelegateBSP d;
        QVERIFY(d.open(map, false) && d.addFile(QByteArray("new"), false, "added.txt"));
        if (change == "deleted")
            QVERIFY(QFile::remove(map));
        else
            QVERIFY(QDir().rename(folder, dir.filePath("moved")));
        if (message.isEmpty())
            QVERIFY2(d.flush(nullptr), qPrintable(d.lastError()));
        else
            expectFailedFlush(d, message);

        QStringList found;
        for (QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            const QByteArray bytes = readFile(it.next());
            const QByteArray kind = bytes == old                  ? QByteArray("old")
                                    : bytes.contains("added.txt") ? QByteArray("saved")
                                                                  : bytes;
            found << QDir(dir.path()).relativeFilePath(it.filePath()) + "=" + kind;
        }
        found.sort();
        QCOMPARE(found.join(' '), files);
    }

    // A map of another user or group keeps its owner, group and mode where
    // the saver may give them.
    void ownerAndGroupKept_data() { OwnedSave::addRows(); }

    void ownerAndGroupKept()
    {
        MapFile file(typicalMap().build());
        OwnedSave::check(file.path(), [&] {
            CDelegateBSP d;
            return d.open(file.path(), false) && d.addFile(QByteArray("x"), false, "x.txt") &&
                   d.flush(nullptr);
        });
    }

    // Only the file a save wrote takes the map's name: here another map took
    // the temporary file's name.
    void temporaryReplacedUnderTheSave()
    {
        const QByteArray original = typicalMap().build(), planted = canonicalMap(20, false).build();
        MapFile file(original);
        FaultyMap d;
        QVERIFY(d.open(file.path(), false) && d.addFile(QByteArray("new"), false, "new.txt"));
        QString temporary;
        d.fault = [&](Step step, int item) {
            if (step == Step::Backup && item == 0) {
                temporary = QFileInfo(file.path()).path() + "/" + temporaries(file.path()).value(0);
                QFile::remove(temporary);
                writeFile(temporary, planted);
            }
            return false;
        };
        expectFailedFlush(d, E::Bsp::TemporaryReplaced);
        QCOMPARE(readFile(file.path()), original);
        QCOMPARE(readFile(temporary), planted);
        d.fault = nullptr;
        QVERIFY2(d.isOpen() && d.flush(nullptr), qPrintable(d.lastError()));
    }

    // Every name the file system takes saves again and again; a backup name
    // too long to take (past 248 bytes) is cut short, never inside a letter.
    void longNamesSaveTwice_data()
    {
        QTest::addColumn<QString>("name");
        for (int length : {240, 248, 249, 255})
            QTest::newRow(qPrintable(QString::number(length))) << QString(length - 4, 'm') + ".bsp";
        QTest::newRow("255, two-byte letters") << QString(120, QChar(0xe9)) + "mmmmmmmmmmm.bsp";
    }

    void longNamesSaveTwice()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        writeFile(dir.filePath(name), typicalMap().build());
        CDelegateBSP d;
        QVERIFY2(d.open(dir.filePath(name), false), qPrintable(d.lastError()));
        for (const char *added : {"one.txt", "two.txt"}) {
            const QByteArray before = readFile(dir.filePath(name));
            QVERIFY(d.addFile(QByteArray(added), false, added));
            QVERIFY2(d.flush(nullptr), qPrintable(d.lastError()));
            const QStringList files = QDir(dir.path()).entryList(QDir::Files);
            const QString backup = files.filter(".backup").value(0);
            QCOMPARE(files.size(), 2);
            QCOMPARE(backup == name + ".backup", name.toUtf8().size() <= 248);
            QVERIFY(!backup.contains(QChar::ReplacementCharacter));
            QCOMPARE(readFile(dir.filePath(backup)), before);
        }
    }

    void pakfileEditsBesideAWholeNewPakfile_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("none") << "none" << true;
        QTest::newRow("added, removed again") << "added and removed" << true;
        QTest::newRow("new bytes") << "bytes" << false;
        QTest::newRow("deleted") << "delete" << false;
        QTest::newRow("added") << "add" << false;
        QTest::newRow("renamed") << "rename" << false;
    }

    void pakfileEditsBesideAWholeNewPakfile()
    {
        QFETCH(QString, edit);
        QFETCH(bool, allowed);
        // Names the tree files differently ("materials\\Sub//b.vtf") and a
        // record without a node are no edits.
        ZipFixture z;
        MapFixture m = typicalMap(&z);
        z.add("Materials/", "");
        m.lumps[40] = z.build();
        const QByteArray original = m.build();
        MapFile file(original);
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), false));
        if (edit == "added and removed")
            QVERIFY(!d.remove(d.addFile(QByteArray("gone"), false, "gone.txt")));
        if (edit == "bytes")
            QVERIFY(d.setData(QByteArray("new"), false, d.findFile("readme.txt")));
        if (edit == "delete")
            QVERIFY(d.remove("readme.txt"));
        if (edit == "add")
            QVERIFY(d.addFile(QByteArray("x"), false, "x.txt"));
        if (edit == "rename")
            QVERIFY(d.rename(d.findNode("materials/sub"), "Other"));
        ZipFixture other;
        other.add("other/one.txt", "1");
        QVERIFY(d.setData(other.build(), false, d.node(40)));

        if (!allowed) {
            // Both cannot apply; neither is dropped without a word.
            FlushSyncronizer s;
            QVERIFY(!d.flush(&s));
            QCOMPARE(d.lastError(), QString(E::Bsp::PakfileEditsWithWholeLump));
            QVERIFY(s.isFailed());
            QCOMPARE(readFile(file.path()), original);
            QVERIFY(temporaries(file.path()).isEmpty());
            return;
        }
        QVERIFY2(d.flush(nullptr), qPrintable(d.lastError()));
        // The new archive is the pakfile now, and edits of it are kept by
        // the next flush.
        QVERIFY(!d.node(40)->pendingData);
        QVERIFY(d.addFile(QByteArray("later"), false, "later.txt"));
        QVERIFY2(d.flush(nullptr), qPrintable(d.lastError()));
        CDelegateBSP fresh;
        QVERIFY(fresh.open(file.path(), true));
        QCOMPARE(fresh.pakfileEntries().size(), 2);
        std::unique_ptr<QByteArray> one(fresh.readCurrent("other/one.txt"));
        std::unique_ptr<QByteArray> later(fresh.readCurrent("later.txt"));
        QVERIFY(one && later);
        QCOMPARE(*one + *later, QByteArray("1later"));
    }

    void pakfileNamesMustBeLatin1()
    {
        MapFile file(typicalMap().build());
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), false));
        // Written as "?", two such names would collide and one hide the other.
        const QString japanese = QString::fromUtf8("materials/\u65e5\u672c.vmt");
        QVERIFY(!d.addFile(QByteArray("x"), false, japanese));
        QCOMPARE(d.lastError(), E::Bsp::notLatin1(japanese));
        QCOMPARE(d.nodeCount(), 67);
        CPackageHierarchyNode *readme = d.findFile("readme.txt");
        const QString other = QString::fromUtf8("\u65e5.txt");
        QVERIFY(!d.rename(readme, other));
        QCOMPARE(d.lastError(), E::Bsp::notLatin1(other));
        QCOMPARE(readme->name(), QString("readme.txt"));
        // Lumps keep their names; a name is one path component.
        QVERIFY(!d.rename(d.node(0), "x.lmp"));
        QVERIFY(!d.rename(d.findNode("materials"), "a/b"));
        // Latin-1 beyond ASCII is fine.
        const QString cafe = QString::fromUtf8("caf\u00e9.vmt");
        QVERIFY(d.addFile(QByteArray("e"), false, "materials/" + cafe));
        QVERIFY(d.rename(d.findNode("materials"), "Textures"));
        // A node renamed behind the delegate's back is refused by the flush.
        readme->setName(other);
        QVERIFY(!d.flush(nullptr));
        QCOMPARE(d.lastError(), E::Bsp::notLatin1(other));
        readme->setName("README.txt");
        QVERIFY2(d.flush(nullptr), qPrintable(d.lastError()));
        CDelegateBSP fresh;
        QVERIFY(fresh.open(file.path(), true));
        QCOMPARE(fresh.node(66)->path(true), QString("README.txt"));
        QCOMPARE(fresh.node(67)->path(true), "Textures/" + cafe);
        QCOMPARE(fresh.pakfileEntries()[3]->central.fileName, QByteArray("Textures/caf\xe9.vmt"));
    }

    void outsideToolsAcceptThePakfile_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("piped");
        QTest::addColumn<bool>("edit");
        QTest::newRow("stored, no-op") << QStringList{"-0", "-D", "-X"} << false << false;
        QTest::newRow("stored, edited") << QStringList{"-0", "-D"} << false << true;
        QTest::newRow("descriptors, edited") << QStringList{"-0", "-D"} << true << true;
        QTest::newRow("deflated, no-op") << QStringList{"-D"} << false << false;
        QTest::newRow("deflated, edited") << QStringList{"-D"} << true << true;
    }

    void outsideToolsAcceptThePakfile()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, piped);
        QFETCH(bool, edit);
        if (QStandardPaths::findExecutable("zip").isEmpty() ||
            QStandardPaths::findExecutable("unzip").isEmpty() ||
            QStandardPaths::findExecutable("python3").isEmpty())
            QSKIP("zip, unzip or python3 is not installed");
        QTemporaryDir dir;
        const QList<QPair<QString, QByteArray>> files{
            {"materials/a.vmt", QByteArray(2000, 'a')},
            {"materials/sub/b.vtf", QByteArray("vtf bytes ") + QByteArray(3000, 'v')},
            {"top.txt", "top"}};
        const QByteArray archive = zipTool(dir.path(), options, files, piped);
        QVERIFY(!archive.isEmpty());
        MapFixture m = typicalMap();
        m.lumps[40] = archive;
        MapFile file(m.build());
        CDelegateBSP d;
        QVERIFY2(d.open(file.path(), false), qPrintable(d.lastError()));
        QMap<QString, QByteArray> expected;
        for (const auto &f : files)
            expected[f.first] = f.second;
        if (edit) {
            QVERIFY(d.setData(QByteArray("replaced"), false, d.findFile("materials/a.vmt")));
            QVERIFY(d.remove("top.txt"));
            QVERIFY(d.addFile(QByteArray("added file"), false, "new/added.txt"));
            expected["materials/a.vmt"] = "replaced";
            expected.remove("top.txt");
            expected["new/added.txt"] = "added file";
        }
        QVERIFY2(d.flush(nullptr), qPrintable(d.lastError()));

        const QString pak = dir.filePath("written.zip");
        writeFile(pak, MapView(readFile(file.path())).lump(40));
        QString output;
        QVERIFY2(unzipAccepts(pak, &output), qPrintable(output));
        const QJsonObject verdict = pythonZip(pak);
        QVERIFY2(!verdict.contains("error"), qPrintable(verdict["error"].toString()));
        QVERIFY2(verdict["bad"].isNull(), qPrintable(verdict["bad"].toString()));
        const QJsonArray entries = verdict["entries"].toArray();
        QCOMPARE(entries.size(), expected.size());
        for (const QJsonValue &v : entries) {
            const QJsonArray e = v.toArray();
            const QString name = e[0].toString();
            QVERIFY2(expected.contains(name), qPrintable(name));
            QCOMPARE(e[7].toString().toLatin1(), expected[name]);
            // No data descriptors are written.
            QCOMPARE(e[1].toInt() & 8, 0);
            const bool replaced = edit && name != "materials/sub/b.vtf";
            if (replaced)
                QCOMPARE(e[2].toInt(), 0);
            if (name == "new/added.txt") {
                QCOMPARE(e[3].toInt(), 20);
                QCOMPARE(e[4].toInt(), 10);
                QCOMPARE(e[5].toArray()[0].toInt(), 1980);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestBspFlush)
#include "tst_bspflush.moc"
