#include "VSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void defaultsWithoutFile();
    void keyNamesDifferFromConfig();
    void syntaxSwitchesAtTopLevel();
    void spriteShapesAlternate_data();
    void spriteShapesAlternate();
    void proxiesKeepEmptyParameters();
    void keyGroups();
    void commaInValueIsKept();

private:
    // Writes the INI text by hand and reads it through a fresh object.
    VSettings *read(const QByteArray &ini);

    QTemporaryDir m_dir;
    int m_files = 0;
    QScopedPointer<VSettings> m_settings;
};

void TestSettings::init()
{
    m_settings.reset();
}

VSettings *TestSettings::read(const QByteArray &ini)
{
    // A new file each time: QSettings keeps what it read per path and re-reads
    // only when the size or the millisecond time stamp changes, so two cases
    // of equal length written in one millisecond would see the first one.
    const QString path = m_dir.filePath(QStringLiteral("zura-%1.ini").arg(++m_files));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return nullptr;
    file.write(ini);
    file.close();
    m_settings.reset(new VSettings(path, QSettings::IniFormat));
    return m_settings.data();
}

void TestSettings::defaultsWithoutFile()
{
    VSettings s(m_dir.filePath(QStringLiteral("missing.ini")), QSettings::IniFormat);
    QCOMPARE(s.minimize_output_on_startup, true);
    QCOMPARE(s.log_output_to_file, false);
    QCOMPARE(s.check_for_updates_on_startup, false);
    QCOMPARE(s.windows_command_run, QStringLiteral("start *"));
    QCOMPARE(s.linux_command_run, QStringLiteral("xdg-open *"));
    QCOMPARE(s.use_formal_syntax, false);
    QCOMPARE(s.save_formal_syntax, true);
    QCOMPARE(s.saveLumpNameNotNumber, false);
    QCOMPARE(s.scan_pak_vmts, true);
    QCOMPARE(s.scan_pak_mdls, false);
    QCOMPARE(s.scan_pak_phys, false);
    QCOMPARE(s.new_pakfile_extra_reserve, 0u);
    QVERIFY(s.shaders.isEmpty());
    QVERIFY(s.studiokeys.isEmpty());
    QVERIFY(s.spriteshapes.isEmpty());
    QCOMPARE(s.particleTemplates.size(), 4);
    QCOMPARE(s.particleTemplates.at(0), nullptr);
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("missing.ini"))));
}

void TestSettings::keyNamesDifferFromConfig()
{
    // The configuration file's key names sit beside the mirror's own and must
    // be ignored.
    VSettings *s = read("[ostrel]\n"
                        "minimize_output_on_startup=false\n"
                        "log_output_to_file=true\n"
                        "check_for_updates_on_startup=false\n"
                        "check_for_updates_on_start=true\n"
                        "windows_command_run=cmd /c start *\n"
                        "linux_command_run=gio open *\n"
                        "[general]\n"
                        "minimize_output_on_startup=true\n"
                        "[vbspinfo]\n"
                        "saveLumpNameNotNumber=false\n"
                        "save_lump_name_not_number=true\n"
                        "[vpakfile]\n"
                        "scan_pak_vmts=true\n"
                        "scanPakVMTs=false\n"
                        "scan_pak_mdls=false\n"
                        "scanPakMDLs=true\n"
                        "scanPakPHYs=true\n"
                        "new_pakfile_extra_reserve=4096\n");
    QVERIFY(s);
    QCOMPARE(s->minimize_output_on_startup, false);
    QCOMPARE(s->log_output_to_file, true);
    QCOMPARE(s->check_for_updates_on_startup, true);
    QCOMPARE(s->windows_command_run, QStringLiteral("cmd /c start *"));
    QCOMPARE(s->linux_command_run, QStringLiteral("gio open *"));
    QCOMPARE(s->saveLumpNameNotNumber, true);
    QCOMPARE(s->scan_pak_vmts, false);
    QCOMPARE(s->scan_pak_mdls, true);
    QCOMPARE(s->scan_pak_phys, true);
    QCOMPARE(s->new_pakfile_extra_reserve, 4096u);
}

void TestSettings::syntaxSwitchesAtTopLevel()
{
    VSettings *s = read("[General]\n"
                        "use_formal_syntax=true\n"
                        "save_formal_syntax=false\n"
                        "[ostrel]\n"
                        "use_formal_syntax=false\n");
    QVERIFY(s);
    QCOMPARE(s->use_formal_syntax, true);
    QCOMPARE(s->save_formal_syntax, false);
}

void TestSettings::spriteShapesAlternate_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QStringList>("shapes");
    QTest::addColumn<QStringList>("labels");

    QTest::newRow("pairs") << QByteArray("Tri:Triangle:cross:Cross")
                           << QStringList({"Tri", "cross"}) << QStringList({"Triangle", "Cross"});
    QTest::newRow("odd loses last")
        << QByteArray("tri:Triangle:lone") << QStringList({"tri"}) << QStringList({"Triangle"});
    QTest::newRow("empty parts dropped")
        << QByteArray("::tri::Triangle:") << QStringList({"tri"}) << QStringList({"Triangle"});
    QTest::newRow("one part") << QByteArray("lone") << QStringList() << QStringList();
}

void TestSettings::spriteShapesAlternate()
{
    QFETCH(QByteArray, value);
    QFETCH(QStringList, shapes);
    QFETCH(QStringList, labels);
    VSettings *s =
        read("[vvbsp]\nsprite_shapes=" + value + "\ndetail_orientations=Normal::Screen Aligned:\n");
    QVERIFY(s);
    QCOMPARE(s->spriteshapes, shapes);
    QCOMPARE(s->spriteshapeLabels, labels);
    QCOMPARE(s->detailorientations, QStringList({"Normal", "Screen Aligned"}));
}

void TestSettings::proxiesKeepEmptyParameters()
{
    VSettings *s = read("[vmt%3Aproxies]\n"
                        "Sine=Swings:sinemin::sineperiod\n"
                        "Empty=\n"
                        "[vmt:shaders]\n"
                        "Water=Water surfaces\n"
                        "[vmt%3Aparameters]\n"
                        "$basetexture=The main texture\n");
    QVERIFY(s);
    QCOMPARE(s->proxies, QStringList({"Empty", "Sine"}));
    QCOMPARE(s->proxyTips, QStringList({"", "Swings"}));
    QCOMPARE(s->proxyParameters.size(), 2);
    QCOMPARE(s->proxyParameters.at(0), QStringList());
    QCOMPARE(s->proxyParameters.at(1), QStringList({"sinemin", "", "sineperiod"}));
    QCOMPARE(s->shaders, QStringList({"Water"}));
    QCOMPARE(s->shaderTips, QStringList({"Water surfaces"}));
    QCOMPARE(s->parameters, QStringList({"$basetexture"}));
}

void TestSettings::keyGroups()
{
    VSettings *s = read("[soundchars]\n"
                        "%23=Direct\n"
                        "*=Streamed\n"
                        "[contentdirectories]\n"
                        "materials=ignored\n"
                        "models=\n"
                        "[referencedcontent%3Avmt%3Atexturekeys]\n"
                        "%24envmap=env_cubemap::_rt_a:\n"
                        "%24bumpmap=\n"
                        "[referencedcontent%3Aentity%3Astudiokeys]\n"
                        "model=\n"
                        "[referencedcontent%3Aentity%3Aparticlekeys]\n"
                        "effect_name=\n"
                        "[referencedcontent%3Aentity%3Aspecialkeys]\n"
                        "skyname=materials/skybox/*up.vmt\n"
                        "detailvbsp=\n"
                        "[referencedcontent%3Absp%3Afiles]\n"
                        "*_particles.txt=Particle Manifest\n");
    QVERIFY(s);
    QCOMPARE(s->soundchars, QStringList({"#", "*"}));
    QCOMPARE(s->soundcharValues, QStringList({"Direct", "Streamed"}));
    QCOMPARE(s->contentdirectories, QStringList({"materials", "models"}));
    QCOMPARE(s->vmttexturekeys, QStringList({"$bumpmap", "$envmap"}));
    QCOMPARE(s->vmttextureExceptions,
             QList<QStringList>({QStringList(), QStringList({"env_cubemap", "_rt_a"})}));
    QCOMPARE(s->studiokeys, QStringList({"model"}));
    QCOMPARE(s->studiokeyValues.size(), 1);
    QCOMPARE(s->particlekeys, QStringList({"effect_name"}));
    QCOMPARE(s->specialkeys, QStringList({"detailvbsp", "skyname"}));
    QCOMPARE(s->specialkeyPaths, QStringList({"", "materials/skybox/*up.vmt"}));
    QCOMPARE(s->mapfiles, QStringList({"*_particles.txt"}));
    QCOMPARE(s->mapfileKinds, QStringList({"Particle Manifest"}));
}

void TestSettings::commaInValueIsKept()
{
    VSettings *s = read("[vmt%3Ashaders]\n"
                        "Water=Water, with fog\n"
                        "[vvbsp]\n"
                        "detail_orientations=Normal:Screen, aligned\n");
    QVERIFY(s);
    QCOMPARE(s->shaderTips, QStringList({"Water, with fog"}));
    QCOMPARE(s->detailorientations, QStringList({"Normal", "Screen, aligned"}));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
