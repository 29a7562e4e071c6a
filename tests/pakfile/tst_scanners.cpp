#include "CFilePCF.h"
#include "CScanFoundList.h"
#include "CScanRecord.h"
#include "DmxBuild.h"
#include "GameFolder.h"
#include "MaterialScanner.h"
#include "PCFErrors.h"
#include "ParticleFixture.h"
#include "ParticleScanner.h"
#include "ScanPath.h"
#include "SoundScanner.h"

#include <QtTest>

#include <memory>

namespace {

// An empty sound-character key (": nothing") matches no character.
const QByteArray Configuration = "[soundchars]\n*:Streamed\n):Spatial\n#:Direct\n:nothing\n"
                                 "[/soundchars]\n"
                                 "[vpakfile]\n"
                                 "[vmtmaterialkeys]\n$bottommaterial\n$fallbackmaterial\n"
                                 "[/vmtmaterialkeys]\n"
                                 "[vmttexturekeys]\n$basetexture:_rt_Camera\n$bumpmap\n"
                                 "[/vmttexturekeys]\n"
                                 "[/vpakfile]\n";

// Each key kind, an exclusion in other capitals, suffixes already present, a
// mutual include, a sprite sibling, an unsafe value, an unreadable script and
// a key inside a nested block.
const QByteArray Wall = "\"LightmappedGeneric\"\r\n{\r\n"
                        "\t\"$basetexture\" \"brick/wall_diffuse.VTF\"\r\n"
                        "\t\"$basetexture\" \"_RT_camera\"\r\n"
                        "\t\"$bumpmap\" \"\\\\Brick\\\\\\\\wall_normal\\\\ \"\r\n"
                        "\t\"include\" \"materials/brick/base.vmt\"\r\n"
                        "\t\"$bottommaterial\" \"brick/wall_bottom.VMT\"\r\n"
                        "\t\"$fallbackmaterial\" \"effects/glow\"\r\n"
                        "\t\"$fallbackmaterial\" \"effects/spark\"\r\n"
                        "\t\"$bumpmap\" \"../../../etc/passwd\"\r\n"
                        "\t\"$bottommaterial\" \"Brick/Locked\"\r\n"
                        "\t\"Proxies\"\r\n\t{\r\n\t\t\"AnimatedTexture\"\r\n\t\t{\r\n"
                        "\t\t\t\"$basetexture\" \"brick/anim\"\r\n\t\t}\r\n\t}\r\n}\r\n";

const QString Unsafe = "Read Error: Refusing unsafe path \"materials/../../../etc/passwd.vtf\"";

DMXElement *system(CFilePCF *document, const QString &name)
{
    return DmxBuild::addSystem(document, DmxBuild::element("DmeParticleSystemDefinition", name));
}

void addMaterial(DMXElement *system, const QString &material)
{
    DmxBuild::add(system, "material", ATTRIBUTE_STRING, new QString(material));
}

void addChildren(DMXElement *parent, const QList<DMXElement *> &children)
{
    QList<DMXElement *> entries;
    for (DMXElement *child : children)
        entries.append(DmxBuild::childEntry(child));
    DmxBuild::addList(parent, "children", entries);
}

} // namespace

class TestScanners : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useConfiguration(Configuration); }
    void splitLinesTable_data();
    void splitLinesTable();
    void collapseSeparatorsTable_data();
    void collapseSeparatorsTable();
    void readFiles();
    void foundListIgnoresCase();
    void followablePaths_data();
    void followablePaths();
    void materialScript_data();
    void materialScript();
    void longChainStops();
    void soundScript();
    void particleSystems_data();
    void particleSystems();
    void manifest();
};

void TestScanners::splitLinesTable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::newRow("lf and crlf") << QByteArray("a\r\nb\n") << QList<QByteArray>{"a", "b", ""};
    QTest::newRow("lone cr stays") << QByteArray("a\rb") << QList<QByteArray>{"a\rb"};
    QTest::newRow("one cr eaten") << QByteArray("a\r\r\nb") << QList<QByteArray>{"a\r", "b"};
    QTest::newRow("after nul ignored")
        << QByteArray("a\nb\0c\nd", 7) << QList<QByteArray>{"a", "b"};
    QTest::newRow("nothing") << QByteArray() << QList<QByteArray>{""};
    QTest::newRow("empty lines kept") << QByteArray("\n\n") << QList<QByteArray>{"", "", ""};
}

void TestScanners::splitLinesTable()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QByteArray>, lines);
    const std::unique_ptr<CScanRecord> record = splitLines(bytes);
    QCOMPARE(record->lines.toList(), lines);
    QVERIFY(record->path.isEmpty());
}

void TestScanners::collapseSeparatorsTable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("each kind doubled") << "a\\\\b||c//d"
                                       << "a/b/c/d";
    QTest::newRow("mixed runs, ends and blanks kept") << "/a\\|/ b |"
                                                      << "/a/ b /";
}

void TestScanners::collapseSeparatorsTable()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    collapseSeparators(text);
    QCOMPARE(text, expected);
}

void TestScanners::readFiles()
{
    GameFolder game;
    game.write("a.vmt", "one\r\ntwo");
    const std::unique_ptr<CScanRecord> record = readFileLines(game.base() + "a.vmt");
    QVERIFY(record);
    QCOMPARE(record->path, game.base() + "a.vmt");
    QCOMPARE(record->lines.toList(), (QList<QByteArray>{"one", "two"}));

    QVERIFY(!readFileLines(game.base() + "missing.vmt"));
    QVERIFY(!readFileLines(game.base()));
    game.write("huge.vmt", QByteArray(), MaxScriptBytes + 1);
    QVERIFY(!readFileLines(game.base() + "huge.vmt"));

    // A static-prop name field is NUL-padded.
    QCOMPARE(ScanPath::textBeforeNul(QByteArray("models/a.mdl\0\0junk", 18)),
             QString("models/a.mdl"));
}

void TestScanners::foundListIgnoresCase()
{
    CScanFoundList found;
    QVERIFY(found.add("materials/Brick/Wall.vmt"));
    QVERIFY(!found.add("MATERIALS/brick/wall.VMT"));
    // The map-specific phase keeps spellings that differ in case.
    QVERIFY(found.addExact("maps/A.txt"));
    QVERIFY(!found.addExact("maps/A.txt"));
    QCOMPARE(found.paths(), (QStringList{"materials/Brick/Wall.vmt", "maps/A.txt"}));
    found.removeLast();
    QVERIFY(found.add("Maps/a.txt"));
}

void TestScanners::followablePaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("followable");
    QTest::newRow("relative") << "materials/a..b/.x.vmt" << true;
    QTest::newRow("parent behind bars") << "materials/..|..|x.vmt" << false;
    QTest::newRow("current") << "./materials/a.vmt" << false;
    QTest::newRow("empty part") << "materials/" << false;
    QTest::newRow("drive") << "c:/windows/a.vmt" << false;
}

void TestScanners::followablePaths()
{
    QFETCH(QString, path);
    QFETCH(bool, followable);
    QCOMPARE(ScanPath::isFollowable(path), followable);
}

void TestScanners::materialScript_data()
{
    QTest::addColumn<bool>("withBase");
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QStringList>("errors");
    QTest::newRow("game folder")
        << true
        << QStringList{"materials/brick/wall.vmt",          "materials/effects/spark.vmt",
                       "materials/Brick/Wall_Diffuse.vtf",  "materials/Brick/wall_normal.vtf",
                       "materials/Brick/Base.vmt",          "materials/brick/base.vtf",
                       "materials/Brick/Wall_Bottom.vmt",   "materials/brick/bottom_normal.vtf",
                       "materials/effects/glow.vmt",        "materials/Effects/Glow.spr",
                       "materials/effects/glow_sprite.vtf", "materials/Brick/Locked.vmt",
                       "materials/brick/anim.vtf"}
        << QStringList{Unsafe, "Read Error: Unable to read "
                               "\".../materials/Brick/Locked.vmt\""};
    QTest::newRow("no game folder")
        << false
        << QStringList{"materials/brick/wall.vmt",         "materials/effects/spark.vmt",
                       "materials/brick/wall_diffuse.vtf", "materials/Brick/wall_normal.vtf",
                       "materials/brick/base.vmt",         "materials/brick/wall_bottom.vmt",
                       "materials/effects/glow.vmt",       "materials/Brick/Locked.vmt",
                       "materials/brick/anim.vtf"}
        << QStringList{Unsafe};
}

void TestScanners::materialScript()
{
    QFETCH(bool, withBase);
    QFETCH(QStringList, found);
    QFETCH(QStringList, errors);

    GameFolder game;
    game.write("materials/Brick/Wall.vmt", Wall);
    game.write("materials/Brick/Base.vmt", "\"include\" \"materials/Brick/wall.vmt\"\n"
                                           "\"$basetexture\" \"brick/base\"\n");
    game.write("materials/Brick/Wall_Bottom.vmt", "\"$bumpmap\" \"brick/bottom_normal\"");
    game.write("materials/Brick/Wall_Diffuse.vtf", "VTF");
    game.write("materials/Effects/Glow.spr", "\"$basetexture\" \"effects/glow_sprite\"");
    game.write("materials/Effects/Spark.spr", "\"$basetexture\" \"effects/spark_sprite\"");
    game.write("materials/Brick/Locked.vmt", QByteArray(), MaxScriptBytes + 1);

    // As the content scan leaves it: the script itself and one material
    // already found, whose sprite sibling is then not looked for.
    CScanFoundList list;
    list.add("materials/brick/wall.vmt");
    list.add("materials/effects/spark.vmt");
    QStringList log;
    const std::unique_ptr<CScanRecord> record = splitLines(Wall);
    scanMaterialScript(*record, list, withBase ? game.base() : QString(), &log);

    QCOMPARE(list.paths(), found);
    QCOMPARE(log, errors);
}

void TestScanners::longChainStops()
{
    // Each script includes the next: the scan stops at the nesting limit.
    GameFolder game;
    const int length = CScanFoundList::MaxNesting + 5;
    for (int i = 0; i < length; ++i)
        game.write(QString("materials/c%1.vmt").arg(i),
                   QString("\"include\" \"materials/c%1.vmt\"").arg(i + 1).toLatin1());
    CScanFoundList list;
    QStringList log;
    scanMaterialScript(*splitLines("\"include\" \"materials/c0.vmt\""), list, game.base(), &log);
    QCOMPARE(list.size(), CScanFoundList::MaxNesting + 1);
    QCOMPARE(log, QStringList{QString("Read Error: References nested too deeply at "
                                      "\"materials/c%1.vmt\"")
                                  .arg(CScanFoundList::MaxNesting)});
}

void TestScanners::soundScript()
{
    GameFolder game;
    game.write("scripts/game_sounds.txt", "\"Weapon.Shot\"\r\n{\r\n\t\"rndwave\"\r\n\t{\r\n"
                                          "\t\t\"wave\" \"*)weapons/shot.wav\"\r\n"
                                          "\t\t\"Wave\" \"#*)ambient/three.wav\"\r\n"
                                          "\t\t\"wave\" \"*)\"\r\n"
                                          "\t\t\"wave\"\r\n"
                                          "\t\t\"wave\" \"weapons\\\\Shot.wav\"\r\n"
                                          "\t\t\"wave\" \"*../../etc/passwd\"\r\n"
                                          "\t}\r\n}\r\n");
    CScanFoundList found;
    scanSoundScriptFile(game.base() + "scripts/game_sounds.txt", found);
    scanSoundScriptFile(game.base() + "scripts/missing.txt", found);
    QCOMPARE(found.paths(), (QStringList{"sound/weapons/shot.wav", "sound/)ambient/three.wav"}));
}

void TestScanners::particleSystems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QStringList>("errors");
    QTest::newRow("system and cyclic children")
        << "A" << QStringList{"materials/effects/a.vmt", "materials/effects/b.vmt"}
        << QStringList();
    QTest::newRow("every system")
        << ""
        << QStringList{"materials/effects/a.vmt", "materials/effects/b.vmt",
                       "materials/effects/d.vmt"}
        << QStringList{"Read Error: Unable to read \"...materials/effects/d.vmt\""};
    QTest::newRow("unknown system") << "Z" << QStringList() << QStringList();
}

void TestScanners::particleSystems()
{
    QFETCH(QString, name);
    QFETCH(QStringList, found);
    QFETCH(QStringList, errors);

    // A names B and C, B names C (shared), C names A (a cycle); C's material
    // is not a string; D is no child of A.
    const std::unique_ptr<CFilePCF> document(newDmxRoot(2));
    DMXElement *a = system(document.get(), "A");
    DMXElement *b = system(document.get(), "B");
    DMXElement *c = system(document.get(), "C");
    DMXElement *d = system(document.get(), "D");
    addMaterial(a, "effects\\a.vmt");
    addMaterial(b, "/\\effects//b.vmt");
    DmxBuild::addFloat(c, "material", 1);
    addMaterial(d, "effects/d.vmt");
    addChildren(a, {b, c});
    addChildren(b, {c});
    addChildren(c, {a});

    GameFolder game;
    game.write("materials/effects/d.vmt", QByteArray(), MaxScriptBytes + 1);
    CScanFoundList list;
    QStringList log;
    scanParticleSystems(*document, list, game.base(), name, &log);
    QCOMPARE(list.paths(), found);
    QCOMPARE(log, errors);
}

void TestScanners::manifest()
{
    GameFolder game;
    game.write("particles/Fire.pcf", particleFile("fire", "effects/Flame.vmt"));
    game.write("particles/junk.pcf", "not a particle file");
    game.write("materials/Effects/flame.vmt", "\"$basetexture\" \"effects/flame\"");
    game.write("maps/test_manifest.txt", "particles_manifest\n{\n"
                                         "\t\"file\" \"!particles/fire.pcf\"\n"
                                         "\t\"file\" \"particles/FIRE.pcf\"\n"
                                         "\t\"file\" \"particles/missing.pcf\"\n"
                                         "\t\"file\" \"particles/junk.pcf\"\n"
                                         "\t\"file\" \"!\"\n"
                                         "\t\"file\" \"../outside.pcf\"\n"
                                         "}\n");
    CScanFoundList found;
    QStringList log;
    scanParticleManifestFile(game.base() + "maps/test_manifest.txt", found, game.base(), &log);
    QCOMPARE(found.paths(), (QStringList{"particles/Fire.pcf", "materials/Effects/flame.vmt",
                                         "materials/effects/flame.vtf"}));
    QCOMPARE(log, (QStringList{PCFError::ReadUnknownFormat,
                               "Read Error: Refusing unsafe path \"../outside.pcf\""}));

    // Without a game folder nothing can be tested on disk, so nothing counts.
    CScanFoundList none;
    scanParticleManifestFile(game.base() + "maps/test_manifest.txt", none, QString(), &log);
    QVERIFY(none.isEmpty());
}

QTEST_GUILESS_MAIN(TestScanners)
#include "tst_scanners.moc"
