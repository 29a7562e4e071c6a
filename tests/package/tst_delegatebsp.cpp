#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "CPackageProperties.h"
#include "FlushSyncronizer.h"
#include "Fuzz.h"
#include "MapBuilder.h"
#include "PackageErrors.h"
#include "PackageInputs.h"
#include "WarningCapture.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace E = PackageErrors;
using namespace MapFixtures;

namespace {

QStringList childNames(const CPackageHierarchyNode *folder)
{
    QStringList names;
    for (int i = 0; i < folder->childCount(); ++i)
        names << folder->child(unsigned(i))->name();
    return names;
}

QByteArray stored(CDelegateBSP &d, int index)
{
    std::unique_ptr<QByteArray> bytes(d.readStored(index));
    return bytes ? *bytes : QByteArray("<failed>");
}

QByteArray int32s(const QVector<qint32> &values)
{
    ByteBuilder b;
    for (qint32 v : values)
        b.i32(v);
    return b.data();
}

// Shows what reading the pakfile took from the file.
class CountingMap : public CDelegateBSP
{
public:
    using CDelegateBSP::pakfileReads;
};

} // namespace

class TestDelegateBSP : public QObject
{
    Q_OBJECT

private slots:
    void versionsAndLayouts_data()
    {
        QTest::addColumn<int>("fileVersion");
        QTest::addColumn<bool>("layoutB");
        QTest::addColumn<int>("internal");
        QTest::addColumn<QString>("lump53");
        QTest::addColumn<QString>("lump63");
        QTest::addColumn<QString>("lump22");
        QTest::newRow("19") << 19 << false << 19 << "LUMP_53.lmp"
                            << "LUMP_63.lmp"
                            << "Portals.lmp";
        QTest::newRow("20") << 20 << false << 20 << "LightingHDR.lmp"
                            << "LUMP_63.lmp"
                            << "LUMP_22.lmp";
        QTest::newRow("21 layout B") << 21 << true << 21 << "LUMP_53.lmp"
                                     << "LUMP_63.lmp"
                                     << "PropCollision.lmp";
        QTest::newRow("21 layout A") << 21 << false << 22 << "LUMP_53.lmp"
                                     << "DispMultiBlend.lmp"
                                     << "PropCollision.lmp";
    }

    void versionsAndLayouts()
    {
        QFETCH(int, fileVersion);
        QFETCH(bool, layoutB);
        QFETCH(int, internal);
        QFETCH(QString, lump53);
        QFETCH(QString, lump63);
        QFETCH(QString, lump22);
        MapFixture m = typicalMap();
        m.version = fileVersion;
        m.layoutB = layoutB;
        m.lumpVersions[5] = 2;
        MapFile file(m.build());
        CDelegateBSP d;
        QVERIFY2(d.open(file.path(), true), qPrintable(d.lastError()));
        QCOMPARE(d.version(), internal);
        QCOMPARE(d.mapRevision(), 7);
        for (int lump : {0, 1, 5, 35, 40, 43, 63}) {
            QCOMPARE(d.lumpInfo(lump, 1), m.offsets[lump]);
            QCOMPARE(d.lumpInfo(lump, 2), m.lengths[lump]);
            QCOMPARE(d.lumpInfo(lump, 3), m.lumpVersions[lump]);
        }
        const CPackageHierarchyNode *lumps = d.root()->child(0);
        QCOMPARE(lumps->name(), QString("lumps"));
        QCOMPARE(lumps->childCount(), 64);
        QCOMPARE(d.node(53)->name(), lump53);
        QCOMPARE(d.node(63)->name(), lump63);
        QCOMPARE(d.node(22)->name(), lump22);
        QCOMPARE(d.node(0)->name(), QString("Entities.lmp"));
        QCOMPARE(d.node(40)->path(true), QString("lumps/Pakfile.lmp"));
        QCOMPARE(stored(d, 1), QByteArray(40, 'p'));
        QCOMPARE(d.type(), 1);
    }

    void lumpNames()
    {
        QCOMPARE(bspLumpName(19, 11), QString("Unused"));
        QCOMPARE(bspLumpName(21, 11), QString("FaceIDs"));
        QCOMPARE(bspLumpName(19, 51), QString("LightmapPages"));
        QCOMPARE(bspLumpName(22, 52), QString("LeafAmbientIndex"));
        QCOMPARE(bspLumpName(20, 49), QString("Unused"));
        QCOMPARE(bspLumpName(22, 49), QString("PropBlob"));
        QCOMPARE(bspLumpName(20, 62), QString("Unused"));
        QCOMPARE(bspLumpName(20, 64), QString("Unknown"));
        QCOMPARE(bspLumpName(20, -1), QString("Unknown"));
        QCOMPARE(bspLumpName(19, 57), QString("XZipPakFile"));
    }

    void layoutTie()
    {
        // Records that fit both layouts. File size minus header is 600; the
        // second column sums to 1100 and the third to 100: equally far.
        ByteBuilder b;
        b.u32(0x50534256).i32(21);
        b.i32(0).i32(1100).i32(100).u32(0);
        b.zeros(63 * 16);
        b.i32(1);
        b.zeros(600);
        MapFile file(b.data());
        CDelegateBSP d;
        QVERIFY(!d.open(file.path(), true));
        QCOMPARE(d.lastError(), QString(E::Bsp::UnknownLayout));
        QVERIFY(!d.isOpen());
    }

    void fourCharacterCodes()
    {
        MapFixture m = typicalMap();
        m.fourCC[2] = QByteArray("\0\0\0\x80", 4);
        MapFile file(m.build());
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), true));
        QCOMPARE(d.lumpInfo(1, 4), 0x4C5A4D41);
        QCOMPARE(d.lumpInfo(2, 4), 0x00000080);
        QCOMPARE(d.lumpInfo(1, 5), 0);
    }

    void headerFailures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const QByteArray good = typicalMap().build();
        QByteArray magic = good;
        magic[0] = 'X';
        QByteArray old = good;
        old[4] = 18;
        QByteArray young = good;
        young[4] = 22;
        QTest::newRow("1035 bytes") << good.left(1035) << QString(E::Bsp::SmallerThanHeader);
        QTest::newRow("magic") << magic << QString(E::Bsp::MagicMismatch);
        QTest::newRow("too old") << old << QString(E::TooOld);
        QTest::newRow("too new") << young << QString(E::TooNew);

        // A negative length (a lump past the end is cut instead).
        MapFixture m = typicalMap();
        QByteArray past = m.build();
        ByteBuilder negative;
        negative.bytes(past).patchU32(8 + 4 * 16 + 4, quint32(-5));
        QTest::newRow("negative length") << negative.data() << E::Bsp::lumpOutsideFile(4);
    }

    void headerFailures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        MapFile file(bytes);
        CDelegateBSP d;
        QVERIFY(!d.open(file.path(), true));
        QCOMPARE(d.lastError(), error);
        QVERIFY(!d.isOpen());
    }

    void openArguments()
    {
        CDelegateBSP d;
        QVERIFY(!d.open(QString(), true));
        QCOMPARE(d.lastError(), QString(E::InvalidFilePath));
        QVERIFY(!d.open("/nonexistent/dir/map.bsp", true));
        QCOMPARE(d.lastError(), QString(E::FileOpen));
        // Opening for writing must not leave an empty map behind.
        QTemporaryDir dir;
        QVERIFY(!d.open(dir.filePath("missing.bsp"), false));
        QCOMPARE(d.lastError(), E::withReason(E::FileOpen, "No such file or directory"));
        QVERIFY(!QFile::exists(dir.filePath("missing.bsp")));
    }

    void mapCutShortOpensButIsNotSaved_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("lump");
        QTest::addColumn<int>("length");
        QTest::addColumn<QStringList>("unread"); // the cut lump's reason line
        // The last lump in the file is LightingHDR, 12 bytes.
        const QByteArray map = typicalMap().build();
        QTest::newRow("tail missing") << map.left(map.size() - 5) << 53 << 7 << QStringList();
        ByteBuilder far;
        far.bytes(map).patchU32(8 + 1 * 16, quint32(map.size() + 100));
        QTest::newRow("lump past the end") << far.data() << 1 << 0 << QStringList();
        // One lump last, as compilers write; cut `keep` bytes into it or, for 0,
        // to 40%, where the other column's sum comes closer to the file size.
        const auto row = [](const char *name, int version, bool layoutB, int last, int keep,
                            const QStringList &unread) {
            ZipFixture z;
            MapFixture m = typicalMap(&z);
            m.version = version;
            m.layoutB = layoutB;
            z.add("big.vtf", QByteArray(200000, 'v'));
            m.lumps[40] = z.build();
            for (int i = 1; i <= 64; ++i)
                m.order.append((last + i) % 64);
            const QByteArray whole = m.build();
            const int size = keep ? m.offsets[last] + keep : whole.size() * 2 / 5;
            QTest::newRow(name) << whole.left(size) << last << size - m.offsets[last] << unread;
        };
        const QStringList noEnd{E::withReason(E::Bsp::PakfileShownEmpty, E::Bsp::NoEndRecord)};
        const QStringList noDirectory{
            E::withReason(E::Bsp::NoGameLumpsShown, E::Bsp::GameLumpDirectory)};
        row("21 {offset, length, version}, cut in the middle", 21, false, 40, 0, noEnd);
        row("21 {version, offset, length}, cut in the middle", 21, true, 40, 0, noEnd);
        row("19, cut inside the pakfile", 19, false, 40, 100, noEnd);
        row("20, cut inside the game-lump directory", 20, false, 35, 30, noDirectory);
        row("21, cut inside a game lump", 21, true, 35, 317, {});
    }

    void mapCutShortOpensButIsNotSaved()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, lump);
        QFETCH(int, length);
        QFETCH(QStringList, unread);
        MapFile file(bytes);
        CDelegateBSP d;
        QVERIFY2(d.open(file.path(), false), qPrintable(d.lastError()));
        QCOMPARE(d.warnings(), QStringList(E::Bsp::cutLumps({lump}, unread)));
        QCOMPARE(d.cutLumps(), QVector<int>({lump}));
        QCOMPARE(d.lumpInfo(lump, 2), length);
        QCOMPARE(stored(d, lump).size(), length);
        // Read in its own layout: the entities and every whole lump are there.
        QCOMPARE(stored(d, 0), typicalMap().lumps[0]);
        const QString reason = unread.value(0);
        QCOMPARE(d.gameLumps().size(), reason.startsWith(E::Bsp::NoGameLumpsShown) ? 0 : 3);
        // The pakfile is still there to browse and extract when it is whole.
        QCOMPARE(stored(d, 66), reason.startsWith(E::Bsp::PakfileShownEmpty) ? "<failed>" : "r");

        // Refused like every save, here the entity editor's, with lump 0 staged.
        QVERIFY(d.setData(QByteArray("{\n}\n"), false, d.node(0)));
        FlushSyncronizer s;
        QVERIFY(!d.flush(&s));
        QCOMPARE(d.lastError(), E::Bsp::cutMapNotSaved({lump}));
        QVERIFY(s.isFailed());
        QFile f(file.path());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bytes);
        QVERIFY(!QFile::exists(file.path() + ".tmp"));
        QVERIFY(!QFile::exists(file.path() + ".backup"));
    }

    void warningsAreReportedOncePerOpen()
    {
        MapFixture m = typicalMap();
        ZipFixture z;
        z.add("a.txt", "first");
        z.add("A.TXT", "second");
        m.lumps[40] = z.build();
        MapFile file(m.build());
        WarningCapture log;
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), false));
        QVERIFY(!d.isReadOnly());
        QCOMPARE(d.warnings().size(), 1);
        QCOMPARE(log.lines(), d.warnings());
        // Flushes, with their check of the written map, say nothing again.
        log.lines().clear();
        QVERIFY(d.flush(nullptr));
        QVERIFY(d.addFile(QByteArray("x"), false, "x.txt"));
        QVERIFY(d.flush(nullptr));
        QCOMPARE(log.lines(), QStringList());
    }

    void pakfileTree()
    {
        ZipFixture z;
        MapFixture m = typicalMap(&z);
        MapFile file(m.build());
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), true));
        QCOMPARE(childNames(d.root()), QStringList({"lumps", "materials", "readme.txt"}));
        QCOMPARE(d.nodeCount(), 67);
        QCOMPARE(d.node(64)->path(true), QString("materials/a.vmt"));
        QCOMPARE(d.node(65)->path(true), QString("materials/Sub/b.vtf"));
        QCOMPARE(d.node(66)->path(true), QString("readme.txt"));
        QCOMPARE(d.storedSize(65), 100);
        QCOMPARE(stored(d, 64), QByteArray("alpha"));
        QCOMPARE(stored(d, 66), QByteArray("r"));
        QCOMPARE(d.size("materials"), qint64(105));
        QCOMPARE(d.pakfileEntries().at(1)->dataOffset, quint32(m.offsets[40] + z.dataOffsets[1]));
        QCOMPARE(d.zipComment(), QByteArray("made by hand"));
        QCOMPARE(int(d.zipEntriesOnDisk()), 3);
        QVERIFY(d.hasFile(66));
        QVERIFY(!d.hasFile(67));
        QVERIFY(!d.hasFile(-1));
        QCOMPARE(d.storedSize(67), 0);
        QVERIFY(d.warnings().isEmpty());
        // Every count and offset of the tree agrees.
        QCOMPARE(d.root()->counts(), qMakePair(3, 67));
        QVERIFY(d.isReadOnly());
        QCOMPARE(d.baseName(), QString("map"));
        d.close();
        QVERIFY(!d.isOpen());
        QVERIFY(d.root()); // the tree stays after close
    }

    void oddPakfileNames()
    {
        // Thousands of levels would make building the tree quadratic.
        MapFixture m = typicalMap();
        m.lumps[40] = oddNamesPakfile().build();
        MapFile file(m.build());
        CDelegateBSP d;
        QVERIFY2(d.open(file.path(), true), qPrintable(d.lastError()));
        QCOMPARE(d.node(64)->path(true), QString("materials/foo/bar/x.vmt"));
        // Every record keeps its slot so that index 64 + n is record n.
        QCOMPARE(d.nodeCount(), 64 + 10);
        QVERIFY(!d.node(65));
        QVERIFY(!d.node(66));
        QVERIFY(d.findNode("sounds")->isFolder());
        QVERIFY(!d.node(67));
        QCOMPARE(d.node(68), d.findNode("sounds/a.wav"));
        QCOMPARE(stored(d, 68), QByteArray("second"));
        QVERIFY(!d.node(69));
        QCOMPARE(stored(d, 0), m.lumps[0]);
        QCOMPARE(d.node(70)->path(true), QString("last.txt"));
        QCOMPARE(stored(d, 70), QByteArray("L"));
        QVERIFY(!d.node(71));
        QVERIFY(!d.findNode("deep"));
        QVERIFY(!d.node(72) && !d.node(73));
        QCOMPARE(d.findFile("last.txt"), d.node(70));
        QCOMPARE(d.warnings().size(), 5);
        QVERIFY(d.warnings().at(0).contains("sounds/A.wav"));
        QVERIFY(d.warnings().at(2).startsWith("Pakfile Warning: \"deep/deep/"));
        QCOMPARE(d.warnings().at(3), E::folderClash("Pakfile", "last.txt/inner.txt"));
        QCOMPARE(d.warnings().at(4), E::folderClash("Pakfile", "sounds"));
    }

    void sizeOnDiskAddsZipOverhead()
    {
        MapFixture m = typicalMap();
        ZipFixture z;
        z.add("abcdef.txt", QByteArray(100, 'z'));
        m.lumps[40] = z.build();
        MapFile file(m.build());
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), true));
        QCOMPARE(d.sizeOnDisk(64), 196);
        QCOMPARE(d.sizeOnDisk(1), 40);
        CPackageHierarchyNode *added = d.addFile(QByteArray(7, 'n'), false, "new.txt");
        QCOMPARE(d.sizeOnDisk(added->entryIndex), 7);
        d.setData(QByteArray(10, 'q'), false, d.node(64));
        QCOMPARE(d.sizeOnDisk(64), 106);
    }

    void endRecordSearch()
    {
        MapFixture m = typicalMap();
        ZipFixture z;
        z.add("a.txt", "A");
        z.archiveComment = QByteArray(300, 'c');
        z.trailer = QByteArray(5, 't');
        z.gapBeforeDirectory = "junk";
        z.gapBetweenEntries = "xx";
        z.add("b.txt", "B");
        m.lumps[40] = z.build();
        MapFile file(m.build());
        CDelegateBSP d;
        QVERIFY2(d.open(file.path(), true), qPrintable(d.lastError()));
        QCOMPARE(d.zipComment(), QByteArray(300, 'c'));
        QCOMPARE(stored(d, 65), QByteArray("B"));

        // No signature in the lump at all.
        m.lumps[40] = QByteArray(200, 'n');
        file.write(m.build());
        QVERIFY(!d.open(file.path(), true));
        QCOMPARE(d.lastError(), QString(E::Bsp::NoEndRecord));

        // The signature only outside lump 40 (in the lump before it) is not taken.
        m.lumps[39] = ZipFixture().build();
        m.lumps[40] = QByteArray(10, 'n');
        file.write(m.build());
        QVERIFY(!d.open(file.path(), true));
        QCOMPARE(d.lastError(), QString(E::Bsp::NoEndRecord));
    }

    void dataDescriptorAndCompression()
    {
        MapFixture m = typicalMap();
        ZipFixture z;
        z.add("streamed.txt", "streamed bytes").descriptor = true;
        ZipFixture::Entry &deflated = z.add("deflated.txt", "not really deflated");
        deflated.method = 8;
        deflated.uncompressed = 5000;
        m.lumps[40] = z.build();
        MapFile file(m.build());
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), true));
        QCOMPARE(d.storedSize(64), 14);
        QCOMPARE(stored(d, 64), QByteArray("streamed bytes"));
        // A compressed file shows the size of its contents; it takes its
        // compressed bytes and its records.
        QCOMPARE(d.storedSize(65), 5000);
        QCOMPARE(d.size(65), 5000);
        QCOMPARE(d.sizeOnDisk(65), 19 + 76 + 2 * 12);
        const CPackageProperties p = CPackageProperties::describe(&d, d.node(65));
        QCOMPARE(p.values[CPackageProperties::Size], QString("5,000 Bytes"));
        QCOMPARE(p.values[CPackageProperties::SizeOnDisk], QString("119 Bytes"));
        QVERIFY(!d.readStored(65));
        QCOMPARE(d.lastError(), E::Bsp::compressedEntry("deflated.txt", 8));
        QVERIFY(d.lastError().startsWith("Read Error: "));
        QVERIFY(d.lastError().contains("deflate"));
    }

    void writeStoredShiftsGameLumps()
    {
        MapFixture m = typicalMap();
        MapFile file(m.build());
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), true));
        QCOMPARE(d.gameLumps().size(), 3);
        QCOMPARE(d.gameLumps().at(2).data, QByteArray(8, 'd'));
        QVERIFY(d.gameLumps().at(1).data.isEmpty());
        QCOMPARE(d.gameLumpIndex(0x6c707270), 2);
        QCOMPARE(d.gameLumpIndex(1), -1);

        QByteArray out;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        buffer.write(QByteArray(77, '-'));
        QVERIFY(d.writeStored(&buffer, 35));
        const qint32 delta = 77 - m.offsets[35];
        ByteBuilder expected;
        expected.bytes(QByteArray(77, '-')).i32(3);
        for (int i = 0; i < 3; ++i) {
            const auto &g = m.gameLumps[i];
            expected.i32(g.id).u16(g.flags).u16(g.version).i32(m.gameLumpOffsets[i] + delta);
            expected.i32(g.data.size());
        }
        expected.bytes(m.gameLumpGap);
        for (const auto &g : m.gameLumps)
            expected.bytes(g.data);
        QCOMPARE(out, expected.data());

        // Other lumps and pakfile files are copied as stored.
        QCOMPARE(stored(d, 43), m.lumps[43]);
        QCOMPARE(stored(d, 40), m.lumps[40]);
        QCOMPARE(stored(d, 2), QByteArray());
    }

    void writeStoredChecks()
    {
        MapFile file(typicalMap().build());
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), true));
        QByteArray out;
        QBuffer buffer(&out);
        QVERIFY(!d.writeStored(nullptr, 0));
        QCOMPARE(d.lastError(), QString(E::NullDevice));
        QVERIFY(!d.writeStored(&buffer, 0));
        QCOMPARE(d.lastError(), QString(E::DeviceNotOpen));
        buffer.open(QIODevice::ReadOnly);
        QVERIFY(!d.writeStored(&buffer, 0));
        QCOMPARE(d.lastError(), QString(E::DeviceNotWritable));
        buffer.close();
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(!d.writeStored(&buffer, 67));
        QCOMPARE(d.lastError(), QString(E::IndexOutOfBounds));
        QVERIFY(!d.writeStored(&buffer, static_cast<CPackageHierarchyNode *>(nullptr)));
        QVERIFY(!d.writeStored(&buffer, QString("no/such/file")));
        // Pending data is never used by writeStored.
        d.setData(QByteArray("pending"), false, d.node(1));
        QVERIFY(d.writeStored(&buffer, 1));
        QCOMPARE(out, QByteArray(40, 'p'));
    }

    void contentReaders()
    {
        MapFile file(typicalMap().build());
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), true));
        QCOMPARE(d.entityLines(), QVector<QByteArray>({"{", "\"classname\" \"worldspawn\"", "}"}));
        QCOMPARE(d.texdataStrings(),
                 QVector<QByteArray>({"tools/toolsnodraw", "METAL/Floor01", "", "last"}));
        const QVector<QByteArray> props = d.staticPropModelNames();
        QCOMPARE(props.size(), 2);
        // NUL is not white space: the names keep their padding.
        QVERIFY(props.at(0).startsWith("models/a.mdl\0"));
        QCOMPARE(props.at(0).size(), 128);
        QVERIFY(props.at(1).startsWith("models/b.mdl"));

        QVERIFY(d.setTexdataStrings({"a/b", "c"}));
        QCOMPARE(*d.node(43)->pendingData, QByteArray("a/b\0c\0", 6));
        QVERIFY(!d.node(44)->pendingData);
        // Read from the file, not from the pending data.
        QCOMPARE(d.texdataStrings().size(), 4);
    }

    void texdataTableFollowsTheStrings()
    {
        // Lump 43: "tools/toolsnodraw" at 0, "METAL\\Floor01 " at 18, "" at
        // 34, "last" at 35. Lump 44 points at them, once into the middle
        // of a name (a shared tail) and once at a name twice.
        MapFixture m = typicalMap();
        m.lumps[44] = int32s({0, 18, 34, 35, 25, 18});
        MapFile file(m.build());
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), false));
        QVERIFY(d.setTexdataStrings({"tools/toolsnodraw", "metal/floor01_longer", "", "last"}));
        QCOMPARE(*d.node(44)->pendingData, int32s({0, 18, 39, 40, 25, 18}));
        // A second edit starts from the first; a new string gets an entry.
        QVERIFY(d.setTexdataStrings({"a", "b", "", "last", "new"}));
        QCOMPARE(*d.node(43)->pendingData, QByteArray("a\0b\0\0last\0new\0", 14));
        QCOMPARE(*d.node(44)->pendingData, int32s({0, 2, 4, 5, 3, 2, 10}));
        // A table naming a string the list no longer has: nothing changes.
        QVERIFY(!d.setTexdataStrings({"only"}));
        QCOMPARE(d.lastError(), E::Bsp::texdataStringMissing(1));
        QCOMPARE(*d.node(43)->pendingData, QByteArray("a\0b\0\0last\0new\0", 14));

        // Written together, the names read right from the new map.
        QVERIFY(d.flush(nullptr));
        CDelegateBSP fresh;
        QVERIFY(fresh.open(file.path(), true));
        const QByteArray strings = stored(fresh, 43);
        const QByteArray table = stored(fresh, 44);
        QCOMPARE(strings.constData() + qFromLittleEndian<qint32>(table.constData() + 4 * 3),
                 QByteArray("last"));
        QCOMPARE(strings.constData() + qFromLittleEndian<qint32>(table.constData() + 4 * 6),
                 QByteArray("new"));
    }

    void staticPropCountIsBounded()
    {
        MapFixture m = typicalMap();
        ByteBuilder sprp;
        sprp.i32(0x7fffffff).fixed("models/only.mdl", 128).bytes("part");
        m.gameLumps[0].data = sprp.data();
        MapFile file(m.build());
        CDelegateBSP d;
        QVERIFY(d.open(file.path(), true));
        const QVector<QByteArray> props = d.staticPropModelNames();
        QCOMPARE(props.size(), 2);
        QCOMPARE(props.at(1), QByteArray("part"));
    }

    void noPakfileNoGameLumps()
    {
        MapFixture m;
        m.lumps[1] = QByteArray(64, 'x');
        MapFile file(m.build());
        MapFile withPak(typicalMap().build());
        CDelegateBSP d;
        // Nothing of a map opened before stays behind.
        QVERIFY(d.open(withPak.path(), true));
        QCOMPARE(d.pakfileEntries().size(), 3);
        QVERIFY2(d.open(file.path(), true), qPrintable(d.lastError()));
        QVERIFY(d.pakfileEntries().isEmpty());
        QVERIFY(d.gameLumps().isEmpty()); // empty lump 35 at offset 1036+...
        QVERIFY(d.zipComment().isNull());
        QVERIFY(!d.findNode("readme.txt"));
        QCOMPARE(childNames(d.root()), QStringList({"lumps"}));
        QCOMPARE(d.nodeCount(), 64);

        // An empty lump 35 at offset 0 must not read the map's magic as a count.
        ByteBuilder b;
        b.bytes(m.build()).patchU32(8 + 35 * 16, 0);
        file.write(b.data());
        QVERIFY(d.open(file.path(), true));
        QVERIFY(d.gameLumps().isEmpty());
        QCOMPARE(stored(d, 35), QByteArray());
    }

    void corruptPakfiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        ZipFixture z;
        MapFixture m = typicalMap(&z);
        const QByteArray map = m.build();
        const int L = m.offsets[40];
        auto patched = [&](int at, int size, quint32 value) {
            ByteBuilder b;
            b.bytes(map);
            if (size == 2)
                b.patchU16(L + at, quint16(value));
            else
                b.patchU32(L + at, value);
            return b.data();
        };
        const int end = z.endOffset;
        const int dir = z.directoryOffset;
        QTest::newRow("disks") << patched(end + 6, 2, 1) << QString(E::Bsp::DiskArrangement);
        QTest::newRow("directory offset past end")
            << patched(end + 16, 4, 0xfffffff0u) << QString(E::ReadSeekError);
        QTest::newRow("65535 entries")
            << patched(end + 8, 2, 0xffff) << QString(E::Bsp::NoCentralEntry);
        QTest::newRow("comment past lump") << patched(end + 20, 2, 0xffff) << QString(E::ReadError);
        QTest::newRow("central name length")
            << patched(dir + 28, 2, 0xffff) << QString(E::Bsp::FileNameRead);
        QTest::newRow("central extra length")
            << patched(dir + 30, 2, 0xffff) << QString(E::Bsp::ExtraFieldRead);
        QTest::newRow("central comment length")
            << patched(dir + 32, 2, 0xffff) << QString(E::Bsp::CommentRead);
        QTest::newRow("central signature gone")
            << patched(dir, 4, 0) << QString(E::Bsp::NoCentralEntry);
        QTest::newRow("local offset huge")
            << patched(dir + 42, 4, 0x7ffffff0u) << QString(E::ReadSeekErrorUpper);
        QTest::newRow("local signature gone")
            << patched(z.localOffsets[2], 4, 0) << QString(E::Bsp::NoLocalHeader);
        // A header one byte past where the directory says is not searched for.
        const int entry1 = dir + 46 + z.entries[0].name.size();
        QTest::newRow("local header displaced")
            << patched(entry1 + 42, 4, quint32(z.localOffsets[1] - 1))
            << QString(E::Bsp::NoLocalHeader);
        // Records of a real archive never share bytes; one that does is
        // named as its directory entry names it.
        QTest::newRow("two entries, one local header")
            << patched(entry1 + 42, 4, quint32(z.localOffsets[0]))
            << E::Bsp::overlappingEntry("materials\\Sub//b.vtf");
        QTest::newRow("data over the next header")
            << patched(z.localOffsets[0] + 18, 4, 50)
            << E::Bsp::overlappingEntry("materials\\Sub//b.vtf");
        {
            // Two bad records: the first in directory order is reported,
            // although the other one's header comes first in the file.
            ByteBuilder b;
            b.bytes(map)
                .patchU32(L + dir + 42, quint32(z.localOffsets[2] + 1))
                .patchU16(L + z.localOffsets[1] + 26, 0xffff);
            QTest::newRow("two bad records") << b.data() << QString(E::Bsp::NoLocalHeader);
        }
        QTest::newRow("local name length")
            << patched(z.localOffsets[2] + 26, 2, 0xffff) << QString(E::Bsp::FileNameRead);
        QTest::newRow("data past lump") << patched(z.localOffsets[2] + 18, 4, 0x10000000)
                                        << QString(E::Bsp::entryOutsidePakfile("readme.txt"));

        const int dirAt = m.offsets[35];
        ByteBuilder count;
        count.bytes(map).patchU32(dirAt, 0x7fffffff);
        QTest::newRow("game lump count") << count.data() << QString(E::Bsp::GameLumpDirectory);
        ByteBuilder negative;
        negative.bytes(map).patchU32(dirAt, quint32(-1));
        QTest::newRow("negative game lump count")
            << negative.data() << QString(E::Bsp::GameLumpDirectory);
        ByteBuilder offset;
        offset.bytes(map).patchU32(dirAt + 4 + 8, 0x7ffffff0u);
        QTest::newRow("game lump offset") << offset.data() << QString(E::ReadSeekErrorUpper);
        ByteBuilder length;
        length.bytes(map).patchU32(dirAt + 4 + 16 + 12, quint32(map.size()) - 10);
        QTest::newRow("game lump length") << length.data() << QString(E::ReadIncompleteRead);
    }

    void corruptPakfiles() { headerFailures(); }

    // Records that all claim a local header before a run of junk: the open
    // fails, reading each byte of the map at most about once and looking at
    // each record a bounded number of times, whatever the number of records
    // and the length of the junk.
    void junkBeforeLocalHeadersCostsLinearWork()
    {
        qint64 previous = 0;
        for (int scale = 1; scale <= 4; scale *= 2) {
            const int records = 500 * scale;
            const QByteArray map = PackageInputs::pakfileBeforeJunk(records, 64000 * scale);
            MapFile file(map);
            CountingMap d;
            QVERIFY(!d.open(file.path(), true));
            QCOMPARE(d.lastError(), QString(E::Bsp::NoLocalHeader));
            const CDelegateBSP::ReadCount work = d.pakfileReads();
            // The end record's tail (up to 64 KiB) and the directory overlap.
            QVERIFY2(work.bytes <= map.size() + 0x10000, qPrintable(QString::number(work.bytes)));
            QVERIFY(work.reads <= 3);
            QVERIFY2(work.steps <= 2 * records + 1000, qPrintable(QString::number(work.steps)));
            if (previous > 0)
                QVERIFY2(work.bytes <= 2 * previous + 1000,
                         qPrintable(QStringLiteral("%1 after %2").arg(work.bytes).arg(previous)));
            previous = work.bytes;
        }
    }

    // Many small files: their local headers come in a few large reads, not a
    // seek and a read each, and nothing is read twice.
    void localHeadersAreReadInFewReads()
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(PackageInputs::writeMap(buffer, 5000, 3000, 60));
        MapFile file(buffer.data());
        CountingMap d;
        QVERIFY2(d.open(file.path(), true), qPrintable(d.lastError()));
        QCOMPARE(d.pakfileEntries().size(), 3000);
        const CDelegateBSP::ReadCount work = d.pakfileReads();
        QVERIFY2(work.reads < 20, qPrintable(QString::number(work.reads)));
        QVERIFY2(work.bytes <= buffer.size() + 0x10000, qPrintable(QString::number(work.bytes)));
    }

    void manyGameLumpsOverTheSameBytes()
    {
        // 5000 records each claiming the whole map: reading them all would
        // take far more memory than the file has.
        MapFixture m = typicalMap();
        m.lumps[60] = QByteArray(5000 * 16, '\0');
        QByteArray map = m.build();
        ByteBuilder dir;
        dir.i32(5000);
        for (int i = 0; i < 5000; ++i)
            dir.i32(i).u16(0).u16(0).i32(0).i32(map.size());
        ByteBuilder b;
        b.bytes(map);
        const int at = m.offsets[60];
        for (int i = 0; i < dir.data().size() && at + i < map.size(); ++i)
            b.patchU8(at + i, quint8(dir.data()[i]));
        b.patchU32(8 + 35 * 16, quint32(at)).patchU32(8 + 35 * 16 + 4, quint32(5000 * 16));
        MapFile file(b.data());
        CDelegateBSP d;
        QVERIFY(!d.open(file.path(), true));
    }

    void robustness()
    {
        const QByteArray valid = typicalMap().build();
        QTemporaryDir dir;
        const QString path = dir.filePath("fuzz.bsp");
        int opened = 0;
        auto load = [&](const QByteArray &bytes) {
            QFile f(path);
            f.open(QIODevice::WriteOnly | QIODevice::Truncate);
            f.write(bytes);
            f.close();
            CDelegateBSP d;
            if (d.open(path, true)) {
                ++opened;
                // Everything reachable must stay safe on what did open.
                QByteArray sink;
                QBuffer buffer(&sink);
                buffer.open(QIODevice::WriteOnly);
                for (int i = 0; i < d.nodeCount(); ++i)
                    d.writeStored(&buffer, i);
                d.entityLines();
                d.texdataStrings();
                d.staticPropModelNames();
                d.sizes(d.root());
            } else {
                QVERIFY(!d.lastError().isEmpty());
                QVERIFY(!d.isOpen());
            }
        };
        Fuzz::truncations(valid, load);
        Fuzz::byteFlips(valid, 400, 6, load);
        QVERIFY(opened > 0);
    }
};

QTEST_GUILESS_MAIN(TestDelegateBSP)
#include "tst_delegatebsp.moc"
