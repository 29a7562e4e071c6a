#include "CDelegateBSP.h"
#include "CFilePCF.h"
#include "CPackageHierarchyNode.h"
#include "CScanFoundList.h"
#include "CScanRecord.h"
#include "ContentScan.h"
#include "DmxBuild.h"
#include "GameFolder.h"
#include "MapBuilder.h"
#include "MaterialScanner.h"
#include "PCFErrors.h"
#include "ParticleScanner.h"
#include "PcfBuilder.h"
#include "ScanDirectory.h"
#include "ScanPath.h"
#include "SoundScanner.h"

#include <QtTest>

#include <memory>

using namespace MapFixtures;
namespace C = ContentScan;

namespace {

// An empty sound-character key matches no character.
const QStringList SoundCharacters = {"*", ")", "#", ""};

MaterialKeys materialKeys()
{
    MaterialKeys k;
    k.materialKeys = QStringList{"$bottommaterial", "$fallbackmaterial"};
    k.textureKeys = QStringList{"$basetexture", "$bumpmap"};
    k.textureExceptions = {QStringList{"_rt_Camera"}, QStringList()};
    return k;
}

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

// A particle file (binary 3, pcf 2) with one system and its material, its
// root as the engine's own editor writes it ("editorType" first).
QByteArray particleFile(const QByteArray &system, const QByteArray &material)
{
    PcfBuilder b(2);
    b.header();
    b.dictionary({"DmElement", "editorType", "particleSystemDefinitions",
                  "DmeParticleSystemDefinition", "material"});
    b.i32(2);
    b.element("DmElement", "root", 0);
    b.element("DmeParticleSystemDefinition", system, 1);
    b.i32(2).attribute("editorType", ATTRIBUTE_STRING).text("pet");
    b.attribute("particleSystemDefinitions", ATTRIBUTE_ELEMENT_ARRAY).i32(1).i32(1);
    b.i32(1);
    b.attribute("material", ATTRIBUTE_STRING).text(material);
    return b.data();
}

DMXElement *system(CFilePCF *document, const QString &name, const QString &material = {})
{
    DMXElement *s =
        DmxBuild::addSystem(document, DmxBuild::element("DmeParticleSystemDefinition", name));
    if (!material.isNull())
        DmxBuild::add(s, "material", ATTRIBUTE_STRING, new QString(material));
    return s;
}

void addChildren(DMXElement *parent, const QList<DMXElement *> &children)
{
    QList<DMXElement *> entries;
    for (DMXElement *child : children)
        entries.append(DmxBuild::childEntry(child));
    DmxBuild::addList(parent, "children", entries);
}

// The content scan's map, one entity per line of interest: a model twice in
// other capitals, a brush model, a key that is both a model and a sprite key,
// a sound, a key that is both a sound and a scene key, a scene key that is
// also a special key, a special template used twice, a particle system and an
// unsafe model. Also a packed script naming a texture that is packed too, four
// texture names (two ending in the script suffix, not added again) and two
// static props, one with bytes after its NUL.
QByteArray contentMap()
{
    MapFixture m;
    m.lumps[0] = "{\n\"classname\" \"worldspawn\"\n\"skyname\" \"sky_day\"\n"
                 "\"detailmaterial\" \"detail/detailsprites\"\n}\n"
                 "{\n\"model\" \"models/props/crate.mdl\"\n}\n"
                 "{\n\"model\" \"MODELS/Props/Crate.mdl\"\n}\n"
                 "{\n\"model\" \"*1\"\n}\n"
                 "{\n\"model\" \"materials/dual.vmt\"\n}\n"
                 "{\n\"message\" \"ambient\\\\wind.wav\"\n}\n"
                 "{\n\"both\" \"music/theme.mp3\"\n}\n"
                 "{\n\"scenefile\" \"scenes/intro.vcd\"\n}\n"
                 "{\n\"vscripts\" \"a.nut\"\n}\n{\n\"vscripts\" \"b.nut\"\n}\n"
                 "{\n\"effect_name\" \"fire_small\"\n}\n"
                 "{\n\"model\" \"../../etc/passwd.mdl\"\n}\n";
    m.lumps[43] = QByteArray("Brick/Wall01\0Big/Huge\0Rock/Cliff.vmt\0Rock/Moss.VMT\0", 51);
    m.gameLumps = {
        {Sprp, 0, 10,
         staticProps({QByteArray("models/Props/barrel.mdl\0junk", 28), "models/props/crate.mdl"})}};
    ZipFixture z;
    z.add("materials/packed.vmt", "\"$basetexture\" \"packed/tex\"\n");
    z.add("materials/packed/tex.vtf", "t");
    m.lumps[40] = z.build();
    return m.build();
}

C::Configuration contentConfiguration()
{
    C::Configuration c;
    c.studioKeys = QStringList{"model"};
    c.spriteKeys = QStringList{"Model"};
    c.soundKeys = QStringList{"message", "both"};
    c.sceneKeys = QStringList{"BOTH", "scenefile"};
    c.particleKeys = QStringList{"effect_name"};
    c.specialKeys = QStringList{"scenefile", "VScripts"};
    c.specialTemplates = QStringList{"never/*", "scripts/vscripts/*"};
    c.mapFiles = QStringList{"maps/*_extra.cfg", "MAPS/*_extra.cfg", "scripts/soundscapes_*.txt"};
    c.mapFileKinds = QStringList{"Other", "Other", "Soundscape"};
    c.materialKeys = materialKeys();
    c.soundCharacters = SoundCharacters;
    return c;
}

// Files in other capitals than the map names them; Huge.vmt is too large to
// be a script, dual.vmt is no model.
void fillContentGame(const GameFolder &game)
{
    game.write("materials/Brick/Wall01.vmt", "\"$basetexture\" \"brick/wall01\"\n");
    game.write("materials/Brick/Wall01.VTF", "vtf");
    game.write("materials/Big/Huge.vmt", QByteArray(), MaxScriptBytes + 1);
    game.write("materials/Rock/Cliff.vmt", "");
    game.write("materials/Rock/Moss.VMT", "");
    game.write("materials/Skybox/SKY_DAYup.vmt", "");
    game.write("materials/dual.vmt", "\"$basetexture\" \"dual\"\n");
    game.write("sound/Ambient/Wind.wav", "RIFF");
    // Sound characters are stripped, two of three at most.
    game.write("scripts/soundscapes_map.txt", "\"Weapon.Shot\"\r\n{\r\n\t\"rndwave\"\r\n\t{\r\n"
                                              "\t\t\"wave\" \"*)weapons/shot.wav\"\r\n"
                                              "\t\t\"Wave\" \"#*)ambient/three.wav\"\r\n"
                                              "\t\t\"wave\" \"*)\"\r\n"
                                              "\t\t\"wave\"\r\n"
                                              "\t\t\"wave\" \"weapons\\\\Shot.wav\"\r\n"
                                              "\t\t\"wave\" \"*../../etc/passwd\"\r\n"
                                              "\t}\r\n}\r\n");
    game.write("particles/Fire.pcf", particleFile("fire_small", "effects/flame.vmt"));
}

} // namespace

class TestScanners : public QObject
{
    Q_OBJECT

private slots:
    void splitLinesTable_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::newRow("lf and crlf") << QByteArray("a\r\nb\n") << QList<QByteArray>{"a", "b", ""};
        QTest::newRow("lone cr stays") << QByteArray("a\rb") << QList<QByteArray>{"a\rb"};
        QTest::newRow("one cr eaten") << QByteArray("a\r\r\nb") << QList<QByteArray>{"a\r", "b"};
        QTest::newRow("after nul ignored")
            << QByteArray("a\nb\0c\nd", 7) << QList<QByteArray>{"a", "b"};
    }
    void splitLinesTable()
    {
        QFETCH(QByteArray, bytes);
        QTEST(splitLines(bytes)->lines.toList(), "lines");
    }

    // Separators collapse; a followable path stays below the game folder ("|"
    // separates too).
    void pathTexts_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("collapsed");
        QTest::addColumn<bool>("followable");
        const auto add = [](const char *name, const char *path, const char *collapsed, bool ok) {
            QTest::newRow(name) << QString(path) << QString(collapsed) << ok;
        };
        add("each kind doubled", "a\\\\b||c//d", "a/b/c/d", false);
        add("mixed runs, ends, blanks", "/a\\|/ b |", "/a/ b /", false);
        add("dots inside names", "materials/a..b/.x.vmt", "materials/a..b/.x.vmt", true);
        add("parent behind bars", "materials/..|..|x.vmt", "materials/../../x.vmt", false);
        add("current", "./materials/a.vmt", "./materials/a.vmt", false);
        add("empty part", "materials/", "materials/", false);
        add("drive", "c:/windows/a.vmt", "c:/windows/a.vmt", false);
    }
    void pathTexts()
    {
        QFETCH(QString, path);
        QTEST(ScanPath::isFollowable(path), "followable");
        collapseSeparators(path);
        QTEST(path, "collapsed");
    }

    void materialScript()
    {
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
        scanMaterialScript(*splitLines(Wall), list, materialKeys(), game.base(), &log);
        QCOMPARE(list.paths(),
                 (QStringList{"materials/brick/wall.vmt", "materials/effects/spark.vmt",
                              "materials/Brick/Wall_Diffuse.vtf", "materials/Brick/wall_normal.vtf",
                              "materials/Brick/Base.vmt", "materials/brick/base.vtf",
                              "materials/Brick/Wall_Bottom.vmt",
                              "materials/brick/bottom_normal.vtf", "materials/effects/glow.vmt",
                              "materials/Effects/Glow.spr", "materials/effects/glow_sprite.vtf",
                              "materials/Brick/Locked.vmt", "materials/brick/anim.vtf"}));
        QCOMPARE(log, (QStringList{
                          "Read Error: Refusing unsafe path \"materials/../../../etc/passwd.vtf\"",
                          "Read Error: Unable to read \".../materials/Brick/Locked.vmt\""}));
        // Each folder is listed once however many names, in whatever capitals,
        // are looked up in it.
        QCOMPARE(list.listings().listingCount(), 4); // base, materials, Brick, Effects
    }

    void longChainStops()
    {
        // Each script includes the next: the scan stops at the nesting limit.
        GameFolder game;
        for (int i = 0; i < CScanFoundList::MaxNesting + 5; ++i)
            game.write(QString("materials/c%1.vmt").arg(i),
                       QString("\"include\" \"materials/c%1.vmt\"").arg(i + 1).toLatin1());
        CScanFoundList list;
        QStringList log;
        scanMaterialScript(*splitLines("\"include\" \"materials/c0.vmt\""), list, materialKeys(),
                           game.base(), &log);
        QCOMPARE(list.size(), CScanFoundList::MaxNesting + 1);
        QCOMPARE(log, QStringList{QString("Read Error: References nested too deeply at "
                                          "\"materials/c%1.vmt\"")
                                      .arg(CScanFoundList::MaxNesting)});
    }

    void particleSystems_data()
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
    void particleSystems()
    {
        QFETCH(QString, name);
        // A names B and C, B names C (shared), C names A (a cycle); C's
        // material is not a string; D is no child of A.
        const std::unique_ptr<CFilePCF> document(newDmxRoot(2));
        DMXElement *a = system(document.get(), "A", "effects\\a.vmt");
        DMXElement *b = system(document.get(), "B", "/\\effects//b.vmt");
        DMXElement *c = system(document.get(), "C");
        system(document.get(), "D", "effects/d.vmt");
        DmxBuild::addFloat(c, "material", 1);
        addChildren(a, {b, c});
        addChildren(b, {c});
        addChildren(c, {a});

        GameFolder game;
        game.write("materials/effects/d.vmt", QByteArray(), MaxScriptBytes + 1);
        CScanFoundList list;
        QStringList log;
        scanParticleSystems(*document, list, materialKeys(), game.base(), name, &log);
        QTEST(list.paths(), "found");
        QTEST(log, "errors");
    }

    void manifest()
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
        scanParticleManifestFile(game.base() + "maps/test_manifest.txt", found, materialKeys(),
                                 game.base(), &log);
        QCOMPARE(found.paths(), (QStringList{"particles/Fire.pcf", "materials/Effects/flame.vmt",
                                             "materials/effects/flame.vtf"}));
        QCOMPARE(log, (QStringList{PCFError::ReadUnknownFormat,
                                   "Read Error: Refusing unsafe path \"../outside.pcf\""}));
    }

    void contentScan_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<QStringList>("errors");
        QStringList sky = {"materials/Skybox/SKY_DAYup.vmt"};
        for (const char *side : {"dn", "lf", "rt", "ft", "bk"})
            sky << QString("materials/skybox/sky_day%1.vmt").arg(side);
        const QStringList mapFiles = {"maps/map_extra.cfg", "MAPS/map_extra.cfg",
                                      "scripts/soundscapes_map.txt", "sound/weapons/shot.wav",
                                      "sound/)ambient/three.wav"};
        const QStringList entities = {"materials/detail/detailsprites.vmt",
                                      "models/props/crate.mdl",
                                      "materials/dual.vmt",
                                      "sound/Ambient/Wind.wav",
                                      "sound/music/theme.mp3",
                                      "scenes/intro.vcd",
                                      "scripts/vscripts/a.nut",
                                      "scripts/vscripts/b.nut",
                                      "materials/effects/flame.vmt"};
        QTest::newRow("every phase")
            << int(C::DefaultMask)
            << QStringList{"materials/packed/tex.vtf",   "materials/Brick/Wall01.vmt",
                           "materials/Brick/Wall01.VTF", "materials/Big/Huge.vmt",
                           "materials/Rock/Cliff.vmt",   "materials/Rock/Moss.VMT"} +
                   sky + entities + QStringList{"models/Props/barrel.mdl"} + mapFiles
            << QStringList{"Read Error: Unable to read \".../materials/Big/Huge.vmt\"",
                           "Read Error: Unable to read \".../materials/dual.vmt\"",
                           "Read Error: Refusing unsafe path \"../../etc/passwd.mdl\""};
        QTest::newRow("mask 0") << 0 << QStringList() << QStringList();
        QTest::newRow("special files alone")
            << int(C::SpecialFiles) << QStringList() << QStringList();
        QTest::newRow("map files alone") << int(C::MapSpecificFiles) << mapFiles << QStringList();
    }
    void contentScan()
    {
        QFETCH(int, mask);
        GameFolder game;
        fillContentGame(game);
        MapFile file(contentMap());
        CDelegateBSP map;
        QVERIFY(map.open(file.path(), true));
        const C::Result result = C::run(map, quint16(mask), game.base(), contentConfiguration());
        QTEST(result.found.paths(), "found");
        QTEST(result.errors, "errors");

        // A row is packed only for a pakfile file, never a lump, and has a
        // size only below a game folder.
        QVERIFY(C::row(map, "materials/packed/tex.vtf", game.base()).packed);
        QVERIFY(!C::row(map, map.node(0)->path(true), game.base()).packed);
        QCOMPARE(C::row(map, "sound/Ambient/Wind.wav", game.base()).size, qint64(4));
        // Nor from the working folder or the root, where this path exists too.
        const QString wind =
            QDir::current().relativeFilePath(game.base() + "sound/Ambient/Wind.wav");
        QCOMPARE(C::row(map, wind, QString()).size, qint64(-1));
    }

    void gameFolderTexts_data()
    {
        QTest::addColumn<QByteArray>("vproject");
        QTest::addColumn<QString>("field");
        QTest::newRow("windows") << QByteArray("c:\\Games\\\\HL2\\hl2\\") << "C:/Games/HL2/hl2";
        QTest::newRow("unset") << QByteArray() << "";
        QTest::newRow("posix") << QByteArray(" /home/u/game/ ") << "/home/u/game";
        QTest::newRow("network") << QByteArray("\\\\server\\share\\game") << "//server/share/game";
    }
    void gameFolderTexts()
    {
        QFETCH(QByteArray, vproject);
        const QString field = ScanDirectory::fromProject(vproject);
        QTEST(field, "field");
        QCOMPARE(ScanDirectory::base(field), field.isEmpty() ? field : field + '/');
        qputenv("VPROJECT", vproject);
        if (vproject.isNull())
            qunsetenv("VPROJECT");
        QTEST(ScanDirectory::fromEnvironment(), "field");
    }
};

QTEST_GUILESS_MAIN(TestScanners)
#include "tst_scanners.moc"
