#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "CScanRecord.h"
#include "ContentScan.h"
#include "GameFolder.h"
#include "MapBuilder.h"
#include "ParticleFixture.h"
#include "ScanDirectory.h"

#include <QtTest>

using namespace MapFixtures;
namespace C = ContentScan;

namespace {

// One entity per line of interest: a model twice in other capitals, a brush
// model, a key that is both a model and a sprite key, a sound, a key that is
// both a sound and a scene key, a scene key that is also a special key, a
// special template used twice, a particle system and an unsafe model.
const QByteArray Entities = "{\n\"classname\" \"worldspawn\"\n\"skyname\" \"sky_day\"\n"
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

C::Configuration configuration()
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
    return c;
}

// The map: a packed script naming a texture that is packed too, two texture
// names, the entities above and two static props, one with bytes after its NUL.
QByteArray map()
{
    MapFixture m;
    m.lumps[0] = Entities;
    m.lumps[43] = QByteArray("Brick/Wall01\0Big/Huge\0", 22);
    m.gameLumps = {
        {Sprp, 0, 10,
         staticProps({QByteArray("models/Props/barrel.mdl\0junk", 28), "models/props/crate.mdl"})}};
    ZipFixture z;
    z.add("materials/packed.vmt", "\"$basetexture\" \"packed/tex\"\n");
    z.add("materials/packed/tex.vtf", "t");
    m.lumps[40] = z.build();
    return m.build();
}

// Files in other capitals than the map names them; Huge.vmt is too large to
// be a script, dual.vmt is no model.
void fillGame(const GameFolder &game)
{
    game.write("materials/Brick/Wall01.vmt", "\"$basetexture\" \"brick/wall01\"\n");
    game.write("materials/Brick/Wall01.VTF", "vtf");
    game.write("materials/Big/Huge.vmt", QByteArray(), MaxScriptBytes + 1);
    game.write("materials/Skybox/SKY_DAYup.vmt", "");
    game.write("materials/dual.vmt", "\"$basetexture\" \"dual\"\n");
    game.write("sound/Ambient/Wind.wav", "RIFF");
    game.write("scripts/soundscapes_map.txt", "\"wave\" \"ambient/birds.wav\"\n");
    game.write("particles/Fire.pcf", particleFile("fire_small", "effects/flame.vmt"));
}

const QStringList SkyAsBuilt = {"materials/skybox/sky_dayup.vmt", "materials/skybox/sky_daydn.vmt",
                                "materials/skybox/sky_daylf.vmt", "materials/skybox/sky_dayrt.vmt",
                                "materials/skybox/sky_dayft.vmt", "materials/skybox/sky_daybk.vmt"};
const QStringList Entity = {"materials/detail/detailsprites.vmt", "models/props/crate.mdl",
                            "materials/dual.vmt"};
const QStringList Scripts = {"scenes/intro.vcd", "scripts/vscripts/a.nut",
                             "scripts/vscripts/b.nut"};
const QStringList MapFiles = {"maps/map_extra.cfg", "MAPS/map_extra.cfg"};
const QString Unsafe = "Read Error: Refusing unsafe path \"../../etc/passwd.mdl\"";

} // namespace

class TestContentScan : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useConfiguration("[vpakfile]\n[vmttexturekeys]\n$basetexture\n[/vmttexturekeys]\n"
                         "[/vpakfile]\n");
    }

    void scansTheMapAndTheGameFolder_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<bool>("withGame");
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<QStringList>("errors");
        QStringList sky = SkyAsBuilt;
        sky[0] = "materials/Skybox/SKY_DAYup.vmt";
        QTest::newRow("every phase")
            << int(C::DefaultMask) << true
            << QStringList{"materials/packed/tex.vtf", "materials/Brick/Wall01.vmt",
                           "materials/Brick/Wall01.VTF", "materials/Big/Huge.vmt"} +
                   sky + Entity + QStringList{"sound/Ambient/Wind.wav", "sound/music/theme.mp3"} +
                   Scripts + QStringList{"materials/effects/flame.vmt", "models/Props/barrel.mdl"} +
                   MapFiles + QStringList{"scripts/soundscapes_map.txt", "sound/ambient/birds.wav"}
            << QStringList{"Read Error: Unable to read \".../materials/Big/Huge.vmt\"",
                           "Read Error: Unable to read \".../materials/dual.vmt\"", Unsafe};
        // Nothing is read from disk: no particle systems, no followed files.
        QTest::newRow("no game folder")
            << int(C::DefaultMask) << false
            << QStringList{"materials/packed/tex.vtf", "materials/Brick/Wall01.vmt",
                           "materials/Big/Huge.vmt"} +
                   SkyAsBuilt + Entity +
                   QStringList{"sound/ambient/wind.wav", "sound/music/theme.mp3"} + Scripts +
                   QStringList{"models/Props/barrel.mdl"} + MapFiles +
                   QStringList{"scripts/soundscapes_map.txt"}
            << QStringList{Unsafe};
        QTest::newRow("mask 0") << 0 << true << QStringList() << QStringList();
        QTest::newRow("special files alone")
            << int(C::SpecialFiles) << true << QStringList() << QStringList();
        QTest::newRow("map files alone")
            << int(C::MapSpecificFiles) << true
            << MapFiles + QStringList{"scripts/soundscapes_map.txt", "sound/ambient/birds.wav"}
            << QStringList();
    }
    void scansTheMapAndTheGameFolder()
    {
        QFETCH(int, mask);
        QFETCH(bool, withGame);
        GameFolder game;
        fillGame(game);
        MapFile file(map());
        CDelegateBSP delegate;
        QVERIFY(delegate.open(file.path(), true));
        const C::Result result =
            C::run(delegate, quint16(mask), withGame ? game.base() : QString(), configuration());
        QTEST(result.found.paths(), "found");
        QTEST(result.errors, "errors");
    }

    // A row knows its packed file (never a lump) and its size on disk.
    void buildsRows()
    {
        GameFolder game;
        fillGame(game);
        MapFile file(map());
        CDelegateBSP delegate;
        QVERIFY(delegate.open(file.path(), true));
        const C::Row packed = C::row(delegate, "materials/packed/tex.vtf", game.base());
        QCOMPARE(packed.name + '|' + packed.directory, QStringLiteral("tex.vtf|materials/packed"));
        QVERIFY(packed.packed && packed.size == -1);
        QCOMPARE(C::row(delegate, "sound/Ambient/Wind.wav", game.base()).size, qint64(4));
        QCOMPARE(C::row(delegate, "sound/Ambient/Wind.wav", QString()).size, qint64(-1));
        QVERIFY(!C::row(delegate, delegate.node(0)->path(true), game.base()).packed);
    }

    void gameFolderTexts_data()
    {
        QTest::addColumn<QByteArray>("vproject");
        QTest::addColumn<QString>("field");
        const auto add = [](const char *name, const QByteArray &vproject, const char *field) {
            QTest::newRow(name) << vproject << QString::fromLatin1(field);
        };
        add("windows", "c:\\Games\\\\HL2\\hl2\\", "C:/Games/HL2/hl2");
        add("unset", QByteArray(), "");
        add("posix", " /home/u/game/ ", "/home/u/game");
        add("network", "\\\\server\\share\\game", "//server/share/game");
        add("bars", "d:/x||y//Z/", "D:/x/y/Z");
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

QTEST_GUILESS_MAIN(TestContentScan)
#include "tst_contentscan.moc"
