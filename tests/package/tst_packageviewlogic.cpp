#include "CCacheDirectoryEntry.h"
#include "CDelegateBSP.h"
#include "CDelegateGCF.h"
#include "CDelegateNCF.h"
#include "CDelegateVPK.h"
#include "CPackageExtraction.h"
#include "CPackageFactory.h"
#include "CPackageHierarchyNode.h"
#include "CPackageProperties.h"
#include "CPackageSearch.h"
#include "CacheFixture.h"
#include "MapBuilder.h"
#include "VpkFixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Row = CPackageProperties::Row;

namespace {

QString writeTemp(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    return VpkFixture::writeFile(path, bytes) ? path : QString();
}

// The rows a description shows, by caption, for readable failures.
QStringList shownRows(const CPackageProperties &p)
{
    QStringList rows;
    for (int i = 0; i < CPackageProperties::RowCount; ++i) {
        if (p.visible[i])
            rows << CPackageProperties::caption(Row(i));
    }
    return rows;
}

} // namespace

class TestPackageViewLogic : public QObject
{
    Q_OBJECT

private slots:
    void searchModes_data();
    void searchModes();
    void packageKindBySuffix_data();
    void packageKindBySuffix();
    void textForms();
    void vpkProperties();
    void cacheProperties_data();
    void cacheProperties();
    void mapProperties();
    void extractionNames_data();
    void extractionNames();
    void temporaryNamesAreUniqueAndTame();
};

void TestPackageViewLogic::searchModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("match");
    const int sub = CPackageSearch::Substring, whole = CPackageSearch::WholeString,
              wild = CPackageSearch::Wildcard, regex = CPackageSearch::RegularExpression;
    const auto row = [](const char *name, int mode, bool caseSensitive, const char *query,
                        const char *entry, bool match) {
        QTest::newRow(name) << mode << caseSensitive << QString(query) << QString(entry) << match;
    };
    row("substring", sub, false, "ick", "brick.vtf", true);
    row("substring case", sub, true, "ICK", "brick.vtf", false);
    row("substring no case", sub, false, "ICK", "brick.vtf", true);
    row("whole no case", whole, false, "brick.VTF", "brick.vtf", true);
    row("whole case", whole, true, "brick.VTF", "brick.vtf", false);
    row("whole is not part", whole, false, "brick", "brick.vtf", false);
    row("wildcard unanchored", wild, false, "*.vtf", "brick.vtf.bak", true);
    row("wildcard ?", wild, false, "br?ck", "BRICK.vmt", true);
    row("wildcard case", wild, true, "*.VTF", "brick.vtf", false);
    row("wildcard miss", wild, false, "*.vmt", "brick.vtf", false);
    row("regex unanchored", regex, false, "r[aeiou]c", "brick", true);
    row("regex anchored by user", regex, false, "^rick", "brick", false);
    row("invalid regex", regex, false, "(", "(", false);
    row("root folder", sub, false, "roo", "root", true);
    row("empty query", sub, false, "", "root", false);
    row("unknown mode is substring", 9, false, "ick", "brick", true);
}

void TestPackageViewLogic::searchModes()
{
    QFETCH(int, mode);
    QFETCH(bool, caseSensitive);
    QFETCH(QString, query);
    QFETCH(QString, name);
    QFETCH(bool, match);
    QCOMPARE(CPackageSearch(query, mode, caseSensitive).matches(name), match);
}

void TestPackageViewLogic::packageKindBySuffix_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("type");
    QTest::newRow("map") << "/maps/cp_x.bsp" << 1;
    QTest::newRow("upper case") << "MAP.BSP" << 1;
    QTest::newRow("dotted name") << "cp_x_b1.1.bsp" << 1;
    QTest::newRow("gcf") << "a/b.GcF" << 2;
    QTest::newRow("ncf") << "b.ncf" << 3;
    QTest::newRow("vpk") << "x.tar.vpk" << 4;
    QTest::newRow("other") << "x.vpk.tar" << 0;
    QTest::newRow("none") << "vpk" << 0;
}

void TestPackageViewLogic::packageKindBySuffix()
{
    QFETCH(QString, path);
    QFETCH(int, type);
    QCOMPARE(CPackageFactory::typeForPath(path), type);
    std::unique_ptr<IPackageDelegate> delegate(CPackageFactory::create(path));
    QCOMPARE(delegate ? delegate->type() : 0, type);
}

void TestPackageViewLogic::textForms()
{
    QCOMPARE(CPackageProperties::hex8(0x1F), QString("0x0000001F"));
    QCOMPARE(CPackageProperties::hex8(0xDEADBEEF), QString("0xDEADBEEF"));
    QCOMPARE(CPackageProperties::bytes(1234567), QString("1,234,567 Bytes"));
    QCOMPARE(CPackageProperties::bytes(0), QString("0 Bytes"));
    QCOMPARE(CPackageProperties::percent(12.5f), QString("12.5000%"));
    QCOMPARE(CPackageProperties::percent(100.0f / 3.0f), QString("33.3333%"));
}

void TestPackageViewLogic::vpkProperties()
{
    QTemporaryDir dir;
    VpkTree t;
    t.ext("vtf").path("materials/brick").file("wall", 0, 0, 100, QByteArray(16, 'p'), 0x1F);
    t.ext("txt").path(" ").file("readme", VpkTree::InDirectory, 0, 3);
    const QString path =
        writeTemp(dir, "pak01_dir.vpk", VpkFixture::directory(1, t.finish(), "abc"));
    CDelegateVPK vpk;
    QVERIFY(vpk.open(path, true));

    const CPackageProperties file =
        CPackageProperties::describe(&vpk, vpk.findFile("materials/brick/wall.vtf"));
    QVERIFY(file.valid);
    QCOMPARE(shownRows(file), QStringList({"Type:", "Path:", "Size:", "Size On Disk:",
                                           "Preload Bytes:", "Archive:", "CRC:"}));
    QVERIFY(file.lineVisible);
    QCOMPARE(file.title, QString("wall.vtf"));
    QCOMPARE(file.values[Row::Type], QString("VTF File"));
    QCOMPARE(file.values[Row::Path], QString(".../materials/brick"));
    QCOMPARE(file.values[Row::Size], QString("116 Bytes"));
    QCOMPARE(file.values[Row::PreloadBytes], QString("16"));
    QCOMPARE(file.values[Row::Archive], QString("0"));
    QCOMPARE(file.values[Row::Crc], QString("0x0000001F"));

    const CPackageProperties top = CPackageProperties::describe(&vpk, vpk.findFile("readme.txt"));
    QCOMPARE(top.values[Row::Archive], QString("(Directory)"));
    QCOMPARE(top.values[Row::Path], QString(".../"));

    const CPackageProperties folder = CPackageProperties::describe(&vpk, vpk.findNode("materials"));
    QCOMPARE(shownRows(folder),
             QStringList({"Type:", "Path:", "Size:", "Size On Disk:", "Contents:"}));
    QVERIFY(!folder.lineVisible);
    QCOMPARE(folder.values[Row::Type], QString("Folder"));
    QCOMPARE(folder.values[Row::Contents], QString("1 Folder(s), 1 File(s)"));

    const CPackageProperties root = CPackageProperties::describe(&vpk, vpk.root());
    QCOMPARE(root.title, QString("root"));
    QCOMPARE(root.values[Row::Path], QString("..."));
    QCOMPARE(root.values[Row::Size], QString("119 Bytes"));

    QVERIFY(!CPackageProperties::describe(&vpk, nullptr).valid);
    QVERIFY(!CPackageProperties::describe(nullptr, vpk.root()).valid);
}

void TestPackageViewLogic::cacheProperties_data()
{
    QTest::addColumn<bool>("gcf");
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<QStringList>("answers"); // encrypted, make, overwrite, backup
    QTest::newRow("gcf 0x4001") << true << 0x4001u
                                << QStringList{"False", "False", "False", "False"};
    QTest::newRow("gcf 0x0142") << true << 0x0142u << QStringList{"True", "True", "True", "True"};
    QTest::newRow("ncf 0x4008") << false << 0x4008u
                                << QStringList{"False", "True", "True", "False"};
}

void TestPackageViewLogic::cacheProperties()
{
    QFETCH(bool, gcf);
    QFETCH(quint32, flags);
    QFETCH(QStringList, answers);
    CacheFixture f;
    f.gcf = gcf;
    f.items.append(CacheItem::folder("", CacheFixture::NoParent));
    f.items.append(CacheItem::folder("maps", 0));
    f.items.append(CacheItem::file("a.bsp", 1, QByteArray(40, 'a'), {5, 6, 9}, flags));
    f.items.append(CacheItem::file("b", 1, QByteArray(8, 'b'), {0}));
    QTemporaryDir dir;
    const QString path = writeTemp(dir, gcf ? "x.gcf" : "x.ncf", f.build().bytes);
    std::unique_ptr<CDelegateNCF> delegate(gcf ? new CDelegateGCF : new CDelegateNCF);
    QVERIFY2(delegate->open(path, true), qPrintable(delegate->lastError()));

    const CPackageProperties file =
        CPackageProperties::describe(delegate.get(), delegate->findFile("maps/a.bsp"));
    QVERIFY(file.valid);
    QStringList expected = {"Type:", "Path:", "Size:", "Size On Disk:"};
    if (gcf)
        expected << "Fragmentation:";
    expected << "Flags:"
             << "Encrypted:"
             << "Make Local Copy:"
             << "Overwrite Local Copy:"
             << "Backup Local Copy:";
    QCOMPARE(shownRows(file), expected);
    QCOMPARE(file.values[Row::Type], QString("BSP File"));
    QCOMPARE(file.values[Row::Flags], CPackageProperties::hex8(flags));
    QCOMPARE(file.values[Row::Encrypted], answers[0]);
    QCOMPARE(file.values[Row::MakeLocalCopy], answers[1]);
    QCOMPARE(file.values[Row::OverwriteLocalCopy], answers[2]);
    QCOMPARE(file.values[Row::BackupLocalCopy], answers[3]);
    QCOMPARE(file.values[Row::SizeOnDisk], QString(gcf ? "48 Bytes" : "0 Bytes"));
    if (gcf)
        QCOMPARE(file.values[Row::Fragmentation], QString("33.3333%"));

    // A file without extension is just "File".
    QCOMPARE(CPackageProperties::describe(delegate.get(), delegate->findFile("maps/b"))
                 .values[Row::Type],
             QString("File"));

    // Folders of a cache show their flags (and a GCF its fragmentation).
    const CPackageProperties folder =
        CPackageProperties::describe(delegate.get(), delegate->findNode("maps"));
    expected = QStringList{"Type:", "Path:", "Size:", "Size On Disk:", "Contents:"};
    if (gcf)
        expected << "Fragmentation:";
    expected << "Flags:";
    QCOMPARE(shownRows(folder), expected);
    QVERIFY(folder.lineVisible);
    QCOMPARE(folder.values[Row::Flags], QString("0x00000000"));
    if (gcf)
        QCOMPARE(folder.values[Row::Fragmentation], QString("25.0000%"));
}

void TestPackageViewLogic::mapProperties()
{
    ZipFixture zip;
    zip.add("materials/x.vmt", "shader {}");
    MapFixture map;
    map.lumps[0] = QByteArray(10, 'e');
    map.lumpVersions[0] = 3;
    map.fourCC[0] = "ABCD";
    map.lumps[40] = zip.build();
    QTemporaryDir dir;
    const QString path = writeTemp(dir, "m.bsp", map.build());
    CDelegateBSP bsp;
    QVERIFY2(bsp.open(path, true), qPrintable(bsp.lastError()));

    CPackageHierarchyNode *lump = bsp.node(0);
    QVERIFY(lump);
    const CPackageProperties lumpProperties = CPackageProperties::describe(&bsp, lump);
    QVERIFY(lumpProperties.valid);
    QVERIFY(lumpProperties.visible[Row::Offset] && lumpProperties.visible[Row::Version] &&
            lumpProperties.visible[Row::FourCC]);
    QVERIFY(!lumpProperties.visible[Row::Crc] && !lumpProperties.visible[Row::LocalHeaderOffset]);
    QCOMPARE(lumpProperties.values[Row::Offset], QString::number(map.offsets[0]));
    QCOMPARE(lumpProperties.values[Row::Version], QString("3"));
    QCOMPARE(lumpProperties.values[Row::FourCC], CPackageProperties::hex8(bsp.lumpInfo(0, 4)));

    CPackageHierarchyNode *packed = bsp.findFile("materials/x.vmt");
    QVERIFY(packed);
    const CPackageProperties packedProperties = CPackageProperties::describe(&bsp, packed);
    QVERIFY(packedProperties.visible[Row::Crc] && packedProperties.visible[Row::LocalHeaderOffset]);
    QVERIFY(!packedProperties.visible[Row::Offset]);
    QCOMPARE(packedProperties.values[Row::LocalHeaderOffset], QString("0"));
    QCOMPARE(packedProperties.values[Row::Type], QString("VMT File"));
}

void TestPackageViewLogic::extractionNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::newRow("plain") << "brick.vtf" << true;
    QTest::newRow("dotfile") << ".txt" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("slash") << "a/b" << false;
    QTest::newRow("backslash") << "..\\x" << false;
    QTest::newRow("nul") << QString("a") + QChar(0) + "b" << false;
}

void TestPackageViewLogic::extractionNames()
{
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(CPackageExtraction::isSafeName(name), safe);
}

void TestPackageViewLogic::temporaryNamesAreUniqueAndTame()
{
    QCOMPARE(CPackageExtraction::outputFolder("D:/out/"), QString("D:/out"));
    QCOMPARE(CPackageExtraction::outputFolder("/home/u/out/"), QString("/home/u/out"));

    QTemporaryDir dir;
    const QString first = CPackageExtraction::uniqueFilePath(dir.path(), "notes.txt");
    QCOMPARE(first, dir.filePath("notes.txt"));
    QVERIFY(VpkFixture::writeFile(first, "x"));
    QCOMPARE(CPackageExtraction::uniqueFilePath(dir.path(), "notes.txt"),
             dir.filePath("notes (2).txt"));
    QCOMPARE(CPackageExtraction::uniqueFilePath(dir.path(), "..\\..\\evil:name?.txt"),
             dir.filePath("evil_name_.txt"));
    QCOMPARE(CPackageExtraction::uniqueFilePath(dir.path(), ".."), dir.filePath("entry"));
    QVERIFY(CPackageExtraction::uniqueFilePath(QString(), "a").isEmpty());

    CPackageHierarchyNode folder;
    folder.makeFolder();
    auto *child = new CPackageHierarchyNode;
    child->setName("a");
    folder.addChild(child);
    QCOMPARE(CPackageExtraction::workTotal(&folder), 2);
    QCOMPARE(CPackageExtraction::workTotal(child), 1);
    QCOMPARE(CPackageExtraction::workTotal(nullptr), 0);
}

QTEST_GUILESS_MAIN(TestPackageViewLogic)
#include "tst_packageviewlogic.moc"
