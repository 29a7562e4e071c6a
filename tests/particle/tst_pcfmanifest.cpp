#include "ExchangeFixture.h"
#include "Fuzz.h"
#include "MapBuilder.h"
#include "PCFErrors.h"
#include "PCFManifest.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace ExchangeFixture;

namespace {

// Entities naming systems: "fire" (defined in two files), "ghost" (in none,
// twice), a key in other capitals and, after the first NUL, one more name.
const QByteArray entities("{\n\"classname\" \"worldspawn\"\n}\n"
                          "{\n\"classname\" \"info_particle_system\"\n\"effect_name\" \"fire\"\n}\n"
                          "{\n\"Effect_Name\" \"smoke\"\r\n\"effect_name\" \"ghost\"\n}\n"
                          "{\n\"effect_name\" ghost\n}\n"
                          "\0{\n\"effect_name\" \"late\"\n}\n",
                          188);

QByteArray mapWith(const QByteArray &entityLump)
{
    MapFixture map;
    map.lumps[0] = entityLump;
    return map.build();
}

struct Scene
{
    QTemporaryDir dir;
    QString folder;
    QString mapPath;

    Scene()
    {
        QDir(dir.path()).mkpath("particles/sub.pcf");
        QDir(dir.path()).mkpath("maps");
        folder = dir.filePath("particles");
        mapPath = dir.filePath("maps/test.bsp");
        writeDocument(folder + "/b.pcf", document(2, {"fire", "other"}));
        writeDocument(folder + "/a.pcf", document(1, {"fire"}));
        writeDocument(folder + "/c.pcf", document(3, {"smoke", "late"}));
        writeFile(folder + "/d.pcf", "junk");
        writeFile(folder + "/notes.txt", "not a particle file");
        QFile::link(folder + "/a.pcf", folder + "/link.pcf");
        writeFile(mapPath, mapWith(entities));
    }
    QString manifest() const { return dir.filePath("maps/test_manifest.txt"); }
};

} // namespace

class TestPcfManifest : public QObject
{
    Q_OBJECT

private slots:
    void manifestPath_data();
    void manifestPath();
    void listing();
    void wholeRun();
    void nothingToManifest();
    void unreadableMapOrManifest();
    void damagedMaps();
};

void TestPcfManifest::manifestPath_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<QString>("manifest");
    for (const QStringList &row : {QStringList{"/m/de_x.bsp", "/m/de_x_manifest.txt"},
                                   QStringList{"/m/de_x.BSP", "/m/de_x_manifest.txt"},
                                   QStringList{"/m/de_x.map", "/m/de_x.map_manifest.txt"},
                                   QStringList{"/m/bsp", "/m/bsp_manifest.txt"}})
        QTest::newRow(qPrintable(row[0])) << row[0] << row[1];
}

void TestPcfManifest::manifestPath()
{
    QFETCH(QString, map);
    QFETCH(QString, manifest);
    QCOMPARE(PCFManifest::manifestPath(map), manifest);
}

void TestPcfManifest::listing()
{
    Scene scene;
    QCOMPARE(PCFManifest::particleFiles(scene.folder),
             (QStringList{"a.pcf", "b.pcf", "c.pcf", "d.pcf"}));
    QVERIFY(PCFManifest::particleFiles(scene.dir.filePath("maps")).isEmpty());
    QVERIFY(PCFManifest::particleFiles(QString()).isEmpty());
}

void TestPcfManifest::wholeRun()
{
    Scene scene;
    // An older manifest is replaced.
    QVERIFY(writeFile(scene.manifest(), QByteArray(500, 'o')));
    RecordingSink sink;
    PCFManifest manifest(&sink);
    manifest.run(scene.mapPath, scene.folder, PCFManifest::particleFiles(scene.folder));

    QCOMPARE(manifest.loadedFiles(), (QStringList{"a.pcf", "b.pcf", "c.pcf"}));
    QCOMPARE(manifest.usedFiles(), (QStringList{"a.pcf", "b.pcf"}));
    QCOMPARE(readFile(scene.manifest()), QByteArray("particles_manifest\n"
                                                    "{\n"
                                                    "\tfile\t\"particles/a.pcf\"\n"
                                                    "\tfile\t\"particles/b.pcf\"\n"
                                                    "}\n"));
    const QString bad = scene.folder + "/d.pcf";
    QCOMPARE(sink.messages,
             (QStringList{"\"" + bad + "\" : " + QString::fromLatin1(PCFError::ReadUnknownFormat),
                          "System \"ghost\" not found.", "System \"ghost\" not found.",
                          "Wrote \"" + scene.manifest() + "\""}));
    QCOMPARE(sink.errors, (QList<bool>{true, true, true, false}));
    QCOMPARE(sink.labels.mid(0, 4),
             (QStringList{"Loading \"" + scene.folder + "/a.pcf\"",
                          "Loading \"" + scene.folder + "/b.pcf\"",
                          "Loading \"" + scene.folder + "/c.pcf\"", "Loading \"" + bad + "\""}));
    QCOMPARE(sink.labels.last(), QStringLiteral("Scanning..."));
    QCOMPARE(sink.ranges, (QList<QPair<int, int>>{{0, 4}, {0, int(entities.size())}}));
    QCOMPARE(sink.values.mid(0, 4), (QList<int>{1, 2, 3, 4}));
    QCOMPARE(sink.values.last(), int(entities.size()));
    // The scan positions grow and stop at the NUL.
    const QList<int> scan = sink.values.mid(4, sink.values.size() - 5);
    QVERIFY(!scan.isEmpty());
    QVERIFY(std::is_sorted(scan.begin(), scan.end()));
    QCOMPARE(scan.last(), int(entities.indexOf('\0')));
}

void TestPcfManifest::nothingToManifest()
{
    Scene scene;
    const QByteArray older("older manifest");
    QVERIFY(writeFile(scene.manifest(), older));
    writeFile(scene.mapPath, mapWith("{\n\"effect_name\" \"ghost\"\n}\n"));
    RecordingSink sink;
    PCFManifest manifest(&sink);
    manifest.run(scene.mapPath, scene.folder, {"a.pcf"});
    QCOMPARE(sink.messages, (QStringList{"System \"ghost\" not found.", "No files to manifest."}));
    QCOMPARE(readFile(scene.manifest()), older);

    // An empty entity lump names nothing either.
    writeFile(scene.mapPath, mapWith(QByteArray()));
    RecordingSink empty;
    PCFManifest again(&empty);
    again.run(scene.mapPath, scene.folder, {"a.pcf"});
    QCOMPARE(empty.messages, QStringList{"No files to manifest."});
}

void TestPcfManifest::unreadableMapOrManifest()
{
    Scene scene;
    // No file loads: the map is not even opened.
    RecordingSink none;
    PCFManifest noFiles(&none);
    noFiles.run(scene.dir.filePath("missing.bsp"), scene.folder, {"d.pcf"});
    QCOMPARE(none.messages.size(), 1);

    RecordingSink sink;
    PCFManifest missingMap(&sink);
    missingMap.run(scene.dir.filePath("missing.bsp"), scene.folder, {"a.pcf"});
    QCOMPARE(sink.messages, QStringList{"File Error: Unable to open"});
    QVERIFY(!QFile::exists(scene.dir.filePath("missing_manifest.txt")));

    // A folder where the manifest should go.
    QVERIFY(QDir(scene.dir.path()).mkpath("maps/test_manifest.txt"));
    RecordingSink blocked;
    PCFManifest manifest(&blocked);
    manifest.run(scene.mapPath, scene.folder, {"a.pcf"});
    QCOMPARE(blocked.messages.last(),
             "Unable to write \"" + scene.manifest() + "\" (Filename refers to a directory)");
    QCOMPARE(blocked.errors.last(), true);
}

void TestPcfManifest::damagedMaps()
{
    Scene scene;
    const QByteArray valid = mapWith(entities);
    PCFManifest manifest(nullptr);
    QCOMPARE(manifest.load(scene.folder, {"a.pcf", "b.pcf"}), 2);
    auto scan = [&](const QByteArray &bytes) {
        writeFile(scene.mapPath, bytes);
        manifest.scanMap(scene.mapPath);
    };
    Fuzz::truncations(valid, scan);
    Fuzz::byteFlips(valid, 300, 0x5ca9, scan);
    // Whatever the entity bytes, the scan ends.
    Fuzz::byteFlips(entities, 500, 0xe771,
                    [&](const QByteArray &bytes) { manifest.scanEntities(bytes); });
    QVERIFY(manifest.scanMap(scene.dir.filePath("missing.bsp")) == false);
}

QTEST_GUILESS_MAIN(TestPcfManifest)
#include "tst_pcfmanifest.moc"
