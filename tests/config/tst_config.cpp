#include "CConfig.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Loads the text as a configuration file and hands the object back.
struct Loaded
{
    explicit Loaded(const QByteArray &text)
    {
        QBuffer buffer;
        buffer.setData(text);
        ok = config.load(&buffer);
    }
    CConfig config;
    bool ok = false;
};

QStringList exceptions(const CConfig &c, int index)
{
    const QStringList *list = c.vmttextureExceptions.at(index);
    return list ? *list : QStringList{QStringLiteral("<null>")};
}

} // namespace

class TestConfig : public QObject
{
    Q_OBJECT

private slots:
    void defaultsWhenFileIsMissing();
    void generalKeys_data();
    void generalKeys();
    void textValueKeepsColons();
    void sectionContentIsNotTrimmed();
    void closerMustMatchExactly();
    void emptySectionClosesAtOnce();
    void lastLineOfUnclosedSectionCounts();
    void commentsBySection();
    void pairsSplitAtFirstColon();
    void proxyForms();
    void textureKeyExceptions();
    void nestedSectionsReturnToParent();
    void nestedOpenersOnlyInsideTheirParent();
    void specialKeysAndMapFiles();
    void spriteShapes();
    void repeatedSectionsAddUp();
    void version_data();
    void version();
    void crlfLineEnds();
    void reloadStartsFromDefaults();
    void configurationIsOpenedReadOnly();
    void shippedFileParsesCleanly();
    void instanceReadsWorkingDirectory();
};

void TestConfig::defaultsWhenFileIsMissing()
{
    CConfig c;
    QVERIFY(!c.load(QStringLiteral("/nonexistent/zedidavurur.ini")));
    QCOMPARE(c.minimize_output_on_startup, true);
    QCOMPARE(c.log_output_to_file, false);
    QCOMPARE(c.check_for_updates_on_startup, false);
    QCOMPARE(c.windows_command_run, QStringLiteral("start *"));
    QCOMPARE(c.linux_command_run, QStringLiteral("xdg-open *"));
    QCOMPARE(c.saveLumpNameNotNumber, false);
    QCOMPARE(c.scan_pak_vmts, false);
    QCOMPARE(c.new_pakfile_extra_reserve, 0);
    QCOMPARE(c.version, 0u);
    QVERIFY(c.shaders.isEmpty());
    QVERIFY(c.vmttexturekeys.isEmpty());
    QCOMPARE(c.particleTemplates.size(), 4);
    QCOMPARE(c.particleTemplates.at(0), nullptr);
}

void TestConfig::generalKeys_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("logToFile");

    QTest::newRow("lower") << QByteArray("log_output_to_file:true") << true;
    QTest::newRow("capitals") << QByteArray("log_output_to_file:TRUE") << true;
    QTest::newRow("mixed") << QByteArray("log_output_to_file:tRuE") << true;
    QTest::newRow("space after colon") << QByteArray("log_output_to_file: true") << false;
    QTest::newRow("trailing space") << QByteArray("log_output_to_file:true ") << false;
    QTest::newRow("digit") << QByteArray("log_output_to_file:1") << false;
    QTest::newRow("empty") << QByteArray("log_output_to_file:") << false;
    QTest::newRow("space before colon") << QByteArray("log_output_to_file :true") << false;
    QTest::newRow("key case") << QByteArray("Log_Output_To_File:true") << false;
    QTest::newRow("indented key") << QByteArray(" log_output_to_file:true") << false;
    QTest::newRow("no colon") << QByteArray("log_output_to_file") << false;
}

void TestConfig::generalKeys()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, logToFile);
    Loaded l("[general]\n" + line + "\nminimize_output_on_startup:false\n[/general]\n");
    QVERIFY(l.ok);
    QCOMPARE(l.config.log_output_to_file, logToFile);
    QCOMPARE(l.config.minimize_output_on_startup, false);
}

void TestConfig::textValueKeepsColons()
{
    Loaded l("[general]\n"
             "windows_command_run:cmd /c start \"\" *:x\n"
             "linux_command_run: gio open *\n"
             "check_for_updates_on_startup:true\n"
             "[/general]\n");
    QCOMPARE(l.config.windows_command_run, QStringLiteral("cmd /c start \"\" *:x"));
    QCOMPARE(l.config.linux_command_run, QStringLiteral(" gio open *"));
    QCOMPARE(l.config.check_for_updates_on_startup, true);
}

void TestConfig::sectionContentIsNotTrimmed()
{
    Loaded l("   [shaders]   \n"
             "  Padded : tip with spaces \n"
             "\t\n"
             "[/shaders]\n");
    QCOMPARE(l.config.shaders, QStringList({QStringLiteral("  Padded "), QStringLiteral("\t")}));
    QCOMPARE(l.config.shaderTips,
             QStringList({QStringLiteral(" tip with spaces "), QStringLiteral("\t")}));
}

void TestConfig::closerMustMatchExactly()
{
    // A closer with a trailing space does not close; the rest of the file is
    // read with the open section's rules, other openers included.
    Loaded l("[shaders]\n"
             "A:a\n"
             "[/shaders] \n"
             "[parameters]\n"
             "$p:p\n"
             "[/parameters]\n"
             " [/shaders]\n"
             "[/Shaders]\n"
             "[/shaders]\n"
             "[parameters]\n"
             "$q:q\n"
             "[/parameters]\n");
    QCOMPARE(l.config.shaders, QStringList({"A", "[/shaders] ", "[parameters]", "$p",
                                            "[/parameters]", " [/shaders]", "[/Shaders]"}));
    QCOMPARE(l.config.parameters, QStringList({"$q"}));
}

void TestConfig::emptySectionClosesAtOnce()
{
    Loaded l("[shaders]\n[/shaders]\n[parameters]\n$p\n[/parameters]\n");
    QVERIFY(l.config.shaders.isEmpty());
    QCOMPARE(l.config.parameters, QStringList({"$p"}));
}

void TestConfig::lastLineOfUnclosedSectionCounts()
{
    Loaded l("[shaders]\nA\nB:b");
    QCOMPARE(l.config.shaders, QStringList({"A", "B"}));
    QCOMPARE(l.config.shaderTips, QStringList({"A", "b"}));

    Loaded nested("[vpakfile]\n[studiokeys]\nmodel\nworldmodel");
    QCOMPARE(nested.config.studiokeys, QStringList({"model", "worldmodel"}));
}

void TestConfig::commentsBySection()
{
    Loaded l("[soundchars]\n"
             "#:direct\n"
             ";:comment\n"
             "*\n"
             "[/soundchars]\n"
             "[shaders]\n"
             "#Hidden:not a shader\n"
             ";Hidden\n"
             " #Shown:indented hash is content\n"
             "[/shaders]\n"
             "[vpakfile]\n"
             "[vmttexturekeys]\n"
             "#$basetexture\n"
             "$bumpmap\n"
             "[/vmttexturekeys]\n"
             "[/vpakfile]\n");
    QCOMPARE(l.config.soundchars, QStringList({"#", "*"}));
    QCOMPARE(l.config.soundcharValues, QStringList({"direct", "*"}));
    QCOMPARE(l.config.shaders, QStringList({" #Shown"}));
    QCOMPARE(l.config.vmttexturekeys, QStringList({"$bumpmap"}));
}

void TestConfig::pairsSplitAtFirstColon()
{
    Loaded l("[parameters]\n"
             "$a:b:c\n"
             "$bare\n"
             ":no name\n"
             "$empty:\n"
             "[/parameters]\n"
             "[vbspinfo]\n"
             "[bsplumps]\n"
             "40:Pakfile\n"
             "[/bsplumps]\n"
             "[/vbspinfo]\n");
    QCOMPARE(l.config.parameters, QStringList({"$a", "$bare", "", "$empty"}));
    QCOMPARE(l.config.parameterTips, QStringList({"b:c", "$bare", "no name", ""}));
    QCOMPARE(l.config.bsplumps, QStringList({"40"}));
    QCOMPARE(l.config.bsplumpValues, QStringList({"Pakfile"}));
}

void TestConfig::proxyForms()
{
    Loaded l("[proxies]\n"
             "Empty\n"
             "WaterLOD:First line\\second line\n"
             "Sine:Swings\\between bounds:sinemin:sinemax::resultvar\n"
             "Odd::p\n"
             "[/proxies]\n");
    const CConfig &c = l.config;
    QCOMPARE(c.proxies, QStringList({"Empty", "WaterLOD", "Sine", "Odd"}));
    QCOMPARE(c.proxyTips,
             QStringList({"Empty", "First line\nsecond line", "Swings\nbetween bounds", ""}));
    QCOMPARE(c.proxyParameters, QStringList({"", "", "sinemin:sinemax::resultvar", "p"}));
}

void TestConfig::textureKeyExceptions()
{
    Loaded l("[vpakfile]\n"
             "[vmttexturekeys]\n"
             "$basetexture\n"
             "$envmap:env_cubemap\n"
             "$refract:_rt_a::_rt_b:\n"
             "$colon:\n"
             "[/vmttexturekeys]\n"
             "[/vpakfile]\n");
    const CConfig &c = l.config;
    QCOMPARE(c.vmttexturekeys, QStringList({"$basetexture", "$envmap", "$refract", "$colon"}));
    QCOMPARE(c.vmttextureExceptions.size(), 4);
    QCOMPARE(c.vmttextureExceptions.at(0), nullptr);
    QCOMPARE(exceptions(c, 1), QStringList({"env_cubemap"}));
    QCOMPARE(exceptions(c, 2), QStringList({"_rt_a", "_rt_b"}));
    QVERIFY(c.vmttextureExceptions.at(3));
    QVERIFY(c.vmttextureExceptions.at(3)->isEmpty());
}

void TestConfig::nestedSectionsReturnToParent()
{
    Loaded l("[vpakfile]\n"
             "scan_pak_vmts:true\n"
             "[studiokeys]\n"
             "model\n"
             "scan_pak_mdls:true\n"
             "[/studiokeys]\n"
             "scan_pak_phys:true\n"
             "new_pakfile_extra_reserve:1024\n"
             "[soundkeys]\n"
             "message\n"
             "[/soundkeys]\n"
             "[/vpakfile]\n"
             "[vbspinfo]\n"
             "[bsplumps]\n"
             "0:Entities\n"
             "[/bsplumps]\n"
             "saveLumpNameNotNumber:TRUE\n"
             "[/vbspinfo]\n"
             "[vvbsp]\n"
             "[detailorientations]\n"
             "Normal\n"
             "[/detailorientations]\n"
             "[spriteshapes]\n"
             "tri:Triangle\n"
             "[/spriteshapes]\n"
             "[/vvbsp]\n"
             "[shaders]\n"
             "After\n"
             "[/shaders]\n");
    const CConfig &c = l.config;
    QCOMPARE(c.studiokeys, QStringList({"model", "scan_pak_mdls:true"}));
    QCOMPARE(c.scan_pak_vmts, true);
    QCOMPARE(c.scan_pak_mdls, false);
    QCOMPARE(c.scan_pak_phys, true);
    QCOMPARE(c.new_pakfile_extra_reserve, 1024);
    QCOMPARE(c.soundkeys, QStringList({"message"}));
    QCOMPARE(c.bsplumps, QStringList({"0"}));
    QCOMPARE(c.saveLumpNameNotNumber, true);
    QCOMPARE(c.detailorientations, QStringList({"Normal"}));
    QCOMPARE(c.spriteshapes, QStringList({"tri"}));
    QCOMPARE(c.shaders, QStringList({"After"}));
}

void TestConfig::nestedOpenersOnlyInsideTheirParent()
{
    Loaded l("[studiokeys]\n"
             "model\n"
             "[/studiokeys]\n"
             "[bsplumps]\n"
             "0:Entities\n"
             "[/bsplumps]\n"
             "[vpakfile]\n"
             " [spritekeys]\n"
             "sprite\n"
             "[/spritekeys]\n"
             "[detailorientations]\n"
             "Normal\n"
             "[/detailorientations]\n"
             "[scenekeys]\n"
             "scenefile\n"
             "[/scenekeys]\n"
             "[/vpakfile]\n"
             "[unknown]\n"
             "[general]\n"
             "log_output_to_file:true\n"
             "[/general]\n");
    const CConfig &c = l.config;
    QVERIFY(c.studiokeys.isEmpty());
    QVERIFY(c.bsplumps.isEmpty());
    QVERIFY(c.spritekeys.isEmpty());
    QVERIFY(c.detailorientations.isEmpty());
    QCOMPARE(c.scenekeys, QStringList({"scenefile"}));
    QCOMPARE(c.log_output_to_file, true);
}

void TestConfig::specialKeysAndMapFiles()
{
    Loaded l("[vpakfile]\n"
             "[specialkeys]\n"
             "skyname:materials/skybox/*up.vmt\n"
             "detailvbsp\n"
             "odd:a:b\n"
             "[/specialkeys]\n"
             "[mapfiles]\n"
             "maps/*.nav:Navigation Mesh\n"
             "maps/*_extra.txt\n"
             "[/mapfiles]\n"
             "[/vpakfile]\n");
    const CConfig &c = l.config;
    QCOMPARE(c.specialkeys, QStringList({"skyname", "detailvbsp", "odd"}));
    QCOMPARE(c.specialkeyPaths, QStringList({"materials/skybox/*up.vmt", "/*", "a:b"}));
    QCOMPARE(c.mapfiles, QStringList({"maps/*.nav", "maps/*_extra.txt"}));
    QCOMPARE(c.mapfileKinds, QStringList({"Navigation Mesh", "Other"}));
}

void TestConfig::spriteShapes()
{
    Loaded l("[vvbsp]\n"
             "[spriteshapes]\n"
             ":Plain\n"
             "TRI:Triangle With Angle\n"
             "Cross\n"
             "[/spriteshapes]\n"
             "[/vvbsp]\n");
    QCOMPARE(l.config.spriteshapes, QStringList({"", "tri", "cross"}));
    QCOMPARE(l.config.spriteshapeLabels, QStringList({"Plain", "Triangle With Angle", ""}));
}

void TestConfig::repeatedSectionsAddUp()
{
    Loaded l("[shaders]\nA\n[/shaders]\n"
             "[general]\nlinux_command_run:first\n[/general]\n"
             "[shaders]\nB\n[/shaders]\n"
             "[general]\nlinux_command_run:second\n[/general]\n");
    QCOMPARE(l.config.shaders, QStringList({"A", "B"}));
    QCOMPARE(l.config.linux_command_run, QStringLiteral("second"));
}

void TestConfig::version_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<uint>("version");

    QTest::newRow("plain") << QByteArray("# ZEDIDAVURUR VERSION 3") << 3u;
    QTest::newRow("lower case") << QByteArray("# zedidavurur version 7") << 7u;
    QTest::newRow("blanks") << QByteArray("   # Zedidavurur Version \t 12  ") << 12u;
    QTest::newRow("no blank") << QByteArray("# ZEDIDAVURUR VERSION5") << 5u;
    QTest::newRow("not a number") << QByteArray("# ZEDIDAVURUR VERSION one") << 0u;
    QTest::newRow("negative") << QByteArray("# ZEDIDAVURUR VERSION -1") << 0u;
    QTest::newRow("other comment") << QByteArray("# VERSION 9") << 0u;
}

void TestConfig::version()
{
    QFETCH(QByteArray, line);
    QFETCH(uint, version);
    Loaded l(line + "\n");
    QCOMPARE(l.config.version, version);
}

void TestConfig::crlfLineEnds()
{
    Loaded l("# ZEDIDAVURUR VERSION 2\r\n[shaders]\r\nA:tip\r\nB\r\n[/shaders]\r\n"
             "[parameters]\r\n$p\r\n[/parameters]\r\n");
    QCOMPARE(l.config.version, 2u);
    QCOMPARE(l.config.shaders, QStringList({"A", "B"}));
    QCOMPARE(l.config.shaderTips, QStringList({"tip", "B"}));
    QCOMPARE(l.config.parameters, QStringList({"$p"}));
}

void TestConfig::reloadStartsFromDefaults()
{
    CConfig c;
    QBuffer first;
    first.setData(
        "[shaders]\nA\n[/shaders]\n[general]\nminimize_output_on_startup:false\n"
        "[/general]\n[vpakfile]\n[vmttexturekeys]\nk:e\n[/vmttexturekeys]\n[/vpakfile]\n");
    QVERIFY(c.load(&first));
    QCOMPARE(c.shaders.size(), 1);
    QCOMPARE(c.vmttextureExceptions.size(), 1);

    QBuffer second;
    second.setData("[shaders]\nB\n[/shaders]\n");
    QVERIFY(c.load(&second));
    QCOMPARE(c.shaders, QStringList({"B"}));
    QCOMPARE(c.minimize_output_on_startup, true);
    QVERIFY(c.vmttextureExceptions.isEmpty());
}

namespace {
// A file that refuses to be opened for writing, whoever asks: what a file on
// a read-only medium does, which write permission bits cannot show to root.
class WriteRefusingFile : public QFile
{
public:
    using QFile::QFile;
    QIODevice::OpenMode requested;
    bool open(QIODevice::OpenMode mode) override
    {
        requested = mode;
        if (mode & QIODevice::WriteOnly)
            return false;
        return QFile::open(mode);
    }
};
} // namespace

void TestConfig::configurationIsOpenedReadOnly()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    WriteRefusingFile file(dir.filePath(QStringLiteral("zedidavurur.ini")));
    QVERIFY(file.QFile::open(QIODevice::WriteOnly));
    file.write("[general]\nlog_output_to_file:true\n[/general]\n");
    file.close();

    CConfig c;
    QVERIFY(c.load(&file));
    QCOMPARE(file.requested, QIODevice::ReadOnly | QIODevice::Text);
    QCOMPARE(c.log_output_to_file, true);

    // By path: a file no process may write, root included (the kernel's
    // read-only settings refuse write access to everyone).
    const QString readOnly = QStringLiteral("/proc/sys/kernel/osrelease");
    if (!QFileInfo(readOnly).isReadable())
        QSKIP("no read-only kernel setting to read");
    QVERIFY(c.load(readOnly));
}

// Opening lines of the shipped file and the content lines that belong to
// each section, counted from the text alone. Comments are the lines the file
// itself documents as comments.
static QHash<QString, int> countSectionLines(const QStringList &lines)
{
    QHash<QString, int> counts;
    QStringList open;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("[/"))) {
            const QString name = line.mid(2, line.size() - 3);
            if (!open.isEmpty() && open.last() == name)
                open.removeLast();
            else
                counts[QStringLiteral("<unbalanced>")] += 1;
            continue;
        }
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            open << line.mid(1, line.size() - 2);
            counts[open.last()] += 0;
            continue;
        }
        if (open.isEmpty() || line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('#')) && open.last() != QLatin1String("soundchars"))
            continue;
        if (line.contains(QLatin1Char(':')) &&
            (open.last() == QLatin1String("general") || open.last() == QLatin1String("vpakfile") ||
             open.last() == QLatin1String("vbspinfo")))
            continue; // keys, not list entries
        counts[open.last()] += 1;
    }
    if (!open.isEmpty())
        counts[QStringLiteral("<unclosed>")] += open.size();
    return counts;
}

void TestConfig::shippedFileParsesCleanly()
{
    const QString path = QStringLiteral(OSTREL_SHIPPED_CONFIG);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    const QHash<QString, int> counts = countSectionLines(lines);
    QVERIFY(!counts.contains(QStringLiteral("<unbalanced>")));
    QVERIFY(!counts.contains(QStringLiteral("<unclosed>")));
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const bool holdsOnlySections =
            it.key() == QLatin1String("vvbsp") || it.key() == QLatin1String("vpakfile") ||
            it.key() == QLatin1String("vbspinfo") || it.key() == QLatin1String("general");
        if (!holdsOnlySections)
            QVERIFY2(it.value() > 0, qPrintable(it.key() + QLatin1String(" is empty")));
    }
    for (const QString &line : lines) {
        // Content is taken untrimmed, so indentation would become part of it.
        if (!line.isEmpty() && !line.startsWith(QLatin1Char(';')))
            QVERIFY2(!line.at(0).isSpace() && !line.at(line.size() - 1).isSpace(),
                     qPrintable(line));
    }

    CConfig c;
    QVERIFY(c.load(path));
    QVERIFY(c.version > 0);
    QCOMPARE(c.minimize_output_on_startup, true);
    // Nothing runs these commands: the shipped file does not offer them.
    for (const QString &line : lines)
        QVERIFY2(!line.contains(QLatin1String("command_run")), qPrintable(line));

    // Every list holds exactly the section's content lines: nothing stray
    // (an unclosed section or a comment taken as content) and nothing lost.
    const QList<QPair<QString, const QStringList *>> lists = {
        {"soundchars", &c.soundchars},
        {"shaders", &c.shaders},
        {"parameters", &c.parameters},
        {"proxies", &c.proxies},
        {"bsplumps", &c.bsplumps},
        {"contentdirectories", &c.contentdirectories},
        {"vmtmaterialkeys", &c.vmtmaterialkeys},
        {"vmttexturekeys", &c.vmttexturekeys},
        {"studiokeys", &c.studiokeys},
        {"materialkeys", &c.materialkeys},
        {"spritekeys", &c.spritekeys},
        {"soundkeys", &c.soundkeys},
        {"scenekeys", &c.scenekeys},
        {"particlekeys", &c.particlekeys},
        {"specialkeys", &c.specialkeys},
        {"mapfiles", &c.mapfiles},
        {"detailorientations", &c.detailorientations},
        {"spriteshapes", &c.spriteshapes},
    };
    for (const auto &entry : lists) {
        QVERIFY2(!entry.second->isEmpty(), qPrintable(entry.first));
        QVERIFY2(entry.second->size() == counts.value(entry.first), qPrintable(entry.first));
        for (const QString &item : *entry.second)
            QVERIFY2(!item.startsWith(QLatin1Char('[')), qPrintable(item));
    }

    QCOMPARE(c.soundcharValues.size(), c.soundchars.size());
    QCOMPARE(c.shaderTips.size(), c.shaders.size());
    QCOMPARE(c.parameterTips.size(), c.parameters.size());
    QCOMPARE(c.proxyTips.size(), c.proxies.size());
    QCOMPARE(c.proxyParameters.size(), c.proxies.size());
    QCOMPARE(c.vmttextureExceptions.size(), c.vmttexturekeys.size());
    QCOMPARE(c.specialkeyPaths.size(), c.specialkeys.size());
    QCOMPARE(c.mapfileKinds.size(), c.mapfiles.size());
    QCOMPARE(c.spriteshapeLabels.size(), c.spriteshapes.size());
    QVERIFY(c.soundchars.contains(QStringLiteral("#")));
    for (const QString &tip : c.shaderTips + c.parameterTips + c.proxyTips)
        QVERIFY(!tip.isEmpty());
    for (const QString &pattern : c.specialkeyPaths + c.mapfiles)
        QVERIFY2(pattern.contains(QLatin1Char('*')) && pattern != QLatin1String("/*"),
                 qPrintable(pattern));
    // The content scan takes the first special key that matches and ends the
    // entity line there: a repeated key is dead, and "skyname" or
    // "detailmaterial" would shut out the scan's own sky and detail steps.
    QStringList seenKeys;
    for (const QString &key : qAsConst(c.specialkeys)) {
        const QString lower = key.toLower();
        QVERIFY2(!seenKeys.contains(lower), qPrintable(key));
        QVERIFY2(lower != QLatin1String("skyname") && lower != QLatin1String("detailmaterial"),
                 qPrintable(key));
        seenKeys << lower;
    }
    for (const char *kind : {"Soundscape", "Soundscript", "Particle Manifest"})
        QVERIFY2(c.mapfileKinds.contains(QLatin1String(kind)), kind);
    QVERIFY(!c.mapfileKinds.contains(QStringLiteral("Other")));
    // The detail editor relies on three orientations and on the plain shape
    // and the angled "tri" shape coming first.
    QCOMPARE(c.detailorientations.size(), 3);
    QCOMPARE(c.spriteshapes.value(1), QStringLiteral("tri"));
    for (const QString &label : c.spriteshapeLabels)
        QVERIFY(!label.isEmpty());
}

void TestConfig::instanceReadsWorkingDirectory()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    {
        QFile file(dir.filePath(QString::fromLatin1(CConfig::FileName)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[shaders]\nFromWorkingDirectory\n[/shaders]\n");
    }
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    CConfig *config = CConfig::instance();
    QDir::setCurrent(previous);
    QVERIFY(config);
    QCOMPARE(CConfig::instance(), config);
    QCOMPARE(config->shaders, QStringList({"FromWorkingDirectory"}));
}

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
