#include "CConfig.h"
#include "ScanConfiguration.h"

#include <QBuffer>
#include <QtTest>

// The window hands the core copies of the configuration's lists; a list left
// out or an exclusion list shifted against its key would change what a scan
// finds without any message.
class TestScanConfiguration : public QObject
{
    Q_OBJECT

private slots:
    void everyListReachesTheScan()
    {
        QBuffer file;
        file.setData("[soundchars]\n*:Streamed\n#:Direct\n[/soundchars]\n"
                     "[vpakfile]\n"
                     "[vmtmaterialkeys]\n$bottommaterial\n[/vmtmaterialkeys]\n"
                     "[vmttexturekeys]\n$basetexture\n$envmap:env_cubemap:_rt_a\n$bumpmap:\n"
                     "[/vmttexturekeys]\n"
                     "[studiokeys]\nmodel\n[/studiokeys]\n[spritekeys]\nsprite\n[/spritekeys]\n"
                     "[soundkeys]\nmessage\n[/soundkeys]\n[scenekeys]\nscenefile\n[/scenekeys]\n"
                     "[particlekeys]\neffect_name\n[/particlekeys]\n"
                     "[specialkeys]\nvscripts:scripts/vscripts/*\nbare\n[/specialkeys]\n"
                     "[mapfiles]\nmaps/*_particles.txt:Particle Manifest\n[/mapfiles]\n"
                     "[/vpakfile]\n");
        CConfig config;
        QVERIFY(config.load(&file));

        const ContentScan::Configuration c = scanConfiguration(config);
        QCOMPARE(c.studioKeys, QStringList{"model"});
        QCOMPARE(c.spriteKeys, QStringList{"sprite"});
        QCOMPARE(c.soundKeys, QStringList{"message"});
        QCOMPARE(c.sceneKeys, QStringList{"scenefile"});
        QCOMPARE(c.particleKeys, QStringList{"effect_name"});
        QCOMPARE(c.specialKeys, (QStringList{"vscripts", "bare"}));
        QCOMPARE(c.specialTemplates, (QStringList{"scripts/vscripts/*", "/*"}));
        QCOMPARE(c.mapFiles, QStringList{"maps/*_particles.txt"});
        QCOMPARE(c.mapFileKinds, QStringList{"Particle Manifest"});
        QCOMPARE(c.soundCharacters, (QStringList{"*", "#"}));
        QCOMPARE(c.materialKeys.materialKeys, QStringList{"$bottommaterial"});
        QCOMPARE(c.materialKeys.textureKeys, (QStringList{"$basetexture", "$envmap", "$bumpmap"}));
        // One exclusion list per key, in step: none for a key without ":".
        QCOMPARE(c.materialKeys.textureExceptions,
                 (QList<QStringList>{{}, {"env_cubemap", "_rt_a"}, {}}));
    }
};

QTEST_GUILESS_MAIN(TestScanConfiguration)
#include "tst_scanconfiguration.moc"
