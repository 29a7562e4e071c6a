#include "CFilePCF.h"
#include "CScanFoundList.h"
#include "CScanRecord.h"
#include "DmxBuild.h"
#include "GameFolder.h"
#include "PCFErrors.h"
#include "ParticleScanner.h"
#include "PcfBuilder.h"
#include "SoundScanner.h"

#include <QtTest>

#include <memory>

namespace {

// An empty key (": nothing") matches no character.
const QByteArray Configuration = "[soundchars]\n"
                                 "*:Streamed\n"
                                 "):Spatial\n"
                                 "#:Direct\n"
                                 ":nothing\n"
                                 "[/soundchars]\n"
                                 "[vpakfile]\n"
                                 "[vmttexturekeys]\n"
                                 "$basetexture\n"
                                 "[/vmttexturekeys]\n"
                                 "[/vpakfile]\n";

// A particle file (binary 3, pcf 2) with one system and its material.
QByteArray particleFile(const QByteArray &system, const QByteArray &material)
{
    PcfBuilder b(2);
    b.header();
    b.dictionary(
        {"DmElement", "particleSystemDefinitions", "DmeParticleSystemDefinition", "material"});
    b.i32(2);
    b.element("DmElement", "root", 0);
    b.element("DmeParticleSystemDefinition", system, 1);
    b.i32(1);
    b.attribute("particleSystemDefinitions", ATTRIBUTE_ELEMENT_ARRAY).i32(1).i32(1);
    b.i32(1);
    b.attribute("material", ATTRIBUTE_STRING).text(material);
    return b.data();
}

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

class TestSoundParticleScanners : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useConfiguration(Configuration); }
    void soundScript();
    void particleSystems_data();
    void particleSystems();
    void manifest();
};

void TestSoundParticleScanners::soundScript()
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

void TestSoundParticleScanners::particleSystems_data()
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

void TestSoundParticleScanners::particleSystems()
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

void TestSoundParticleScanners::manifest()
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

QTEST_GUILESS_MAIN(TestSoundParticleScanners)
#include "tst_soundparticlescanners.moc"
