#include "BspErrors.h"
#include "CFileVMF.h"
#include "CSaveFile.h"
#include "Fuzz.h"
#include "LimitedDevice.h"
#include "UnwritableFile.h"
#include "VMFReader.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

namespace E = BspErrors;

// Records are built by partial aggregate initialisation: the fields left out
// keep the defaults the records declare, which is the point.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

// Map-source text from lines separated by '|'; leading '>' characters stand
// for tabs, so that the indentation stays readable here.
QByteArray lines(const QStringList &blocks)
{
    QByteArray out;
    for (const QString &line : blocks.join(QLatin1Char('|')).split(QLatin1Char('|'))) {
        int tabs = 0;
        while (tabs < line.size() && line.at(tabs) == QLatin1Char('>'))
            ++tabs;
        out += QByteArray(tabs, '\t') + line.mid(tabs).toLatin1() + '\n';
    }
    return out;
}

QByteArray written(CFileVMF doc)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    doc.saveToDevice(&buffer);
    return bytes;
}

const QStringList DefaultText = {
    "versioninfo|{|>\"editorversion\" \"0\"|>\"editorbuild\" \"0\"|>\"mapversion\" \"0\"",
    ">\"formatversion\" \"100\"|>\"prefab\" \"0\"|}|visgroups|{|}|viewsettings|{",
    ">\"bSnapToGrid\" \"1\"|>\"bShowGrid\" \"1\"|>\"bShowLogicalGrid\" \"0\"",
    ">\"nGridSpacing\" \"8\"|>\"bShow3DGrid\" \"0\"|}|world|{|}|cameras|{",
    ">\"activecamera\" \"-1\"|}|cordon|{|>\"mins\" \"(-1024 -1024 -1024)\"",
    ">\"maxs\" \"(1024 1024 1024)\"|>\"active\" \"0\"|}"};

// Every kind of record: nested visgroups, a visible and a hidden world solid,
// a side with and one without displacement, groups, a visible entity with
// connections and a hidden one, two cameras. The side with a displacement is
// copied on purpose (the detach below makes the vector copy its elements): a
// copy must carry the displacement, without sharing it.
CFileVMF fullDocument()
{
    CFileVMF doc;
    doc.editorversion = 400;
    doc.prefab = true;
    doc.visgroups = {{"Lights", 1, "10 20 30", {{"Lamps", 2}}}};
    doc.nGridSpacing = 64;
    doc.world.keyValues = {"classname", "worldspawn", "skyname", "sky_caf\xe9"};
    VMFSolid plain{2, {{1, "(0 0 0) (1 0 0) (1 1 0)", "BRICK/WALL01", "[1 0 0 0] 0.25", "x", -90}}};
    plain.editor.visgroupids = {1};
    VMFSolid hidden{3, {{2}}};
    hidden.editor.visgroupshown = false;
    VMFSide &side = hidden.sides[0];
    side.smoothing_groups = qint32(0x80000000u);
    side.displacement.create() = {3,  "[0 0 0]", 0,  2.5f,      true, {"0 0 1", "0 0 0"},
                                  {}, {},        {}, {"0 255"}, {},   "-1 -1"};
    doc.world.solids = {plain, hidden};
    doc.world.solids[1].sides.detach();
    doc.world.groups = {{7, "0 100 0"}, {8, "255 255 255", 7, false}};
    VMFEntity light{{{"classname", "light"}, {"OnTrigger", "lamp,TurnOn,,0,-1"}},
                    {"220 30 220", 7, {1, 2}, true, true, "[0 500]", "a lamp"}};
    VMFEntity detail{{{"classname", "func_detail"}, {}, {{4}}}};
    detail.body.solids[0].editor.visgroupshown = false;
    detail.editor.visgroupshown = false;
    doc.entities = {light, detail};
    doc.activecamera = 1;
    doc.cameras = {{"[1 2 3]", "[4 5 6]"}, {}};
    doc.cordonActive = true;
    return doc;
}

const QStringList FullText = {
    "versioninfo|{|>\"editorversion\" \"400\"|>\"editorbuild\" \"0\"|>\"mapversion\" \"0\"",
    ">\"formatversion\" \"100\"|>\"prefab\" \"1\"|}|visgroups|{|>visgroup|>{",
    ">>\"name\" \"Lights\"|>>\"visgroupid\" \"1\"|>>\"color\" \"10 20 30\"|>>visgroup|>>{",
    ">>>\"name\" \"Lamps\"|>>>\"visgroupid\" \"2\"|>>>\"color\" \"255 255 255\"|>>}|>}|}",
    "viewsettings|{|>\"bSnapToGrid\" \"1\"|>\"bShowGrid\" \"1\"|>\"bShowLogicalGrid\" \"0\"",
    ">\"nGridSpacing\" \"64\"|>\"bShow3DGrid\" \"0\"|}|world|{|>\"classname\" \"worldspawn\"",
    QString::fromLatin1(">\"skyname\" \"sky_caf\xe9\""),
    ">solid|>{|>>\"id\" \"2\"|>>side|>>{|>>>\"id\" \"1\"",
    ">>>\"plane\" \"(0 0 0) (1 0 0) (1 1 0)\"|>>>\"material\" \"BRICK/WALL01\"",
    ">>>\"uaxis\" \"[1 0 0 0] 0.25\"|>>>\"vaxis\" \"x\"|>>>\"rotation\" \"-90\"",
    ">>>\"lightmapscale\" \"16\"|>>>\"smoothing_groups\" \"0\"|>>}|>>editor|>>{",
    ">>>\"color\" \"255 255 255\"|>>>\"visgroupid\" \"1\"|>>>\"visgroupshown\" \"1\"",
    ">>>\"visgroupautoshown\" \"1\"|>>}|>}",
    // A hidden world solid is wrapped; its side has a displacement.
    ">hidden|>{|>>solid|>>{|>>>\"id\" \"3\"|>>>side|>>>{|>>>>\"id\" \"2\"|>>>>\"plane\" \"\"",
    ">>>>\"material\" \"\"|>>>>\"uaxis\" \"\"|>>>>\"vaxis\" \"\"|>>>>\"rotation\" \"0\"",
    ">>>>\"lightmapscale\" \"16\"|>>>>\"smoothing_groups\" \"2147483648\"|>>>>dispinfo|>>>>{",
    ">>>>>\"power\" \"3\"|>>>>>\"startposition\" \"[0 0 0]\"|>>>>>\"flags\" \"0\"",
    ">>>>>\"elevation\" \"2.5\"|>>>>>\"subdiv\" \"1\"|>>>>>normals|>>>>>{",
    ">>>>>>\"row0\" \"0 0 1\"|>>>>>>\"row1\" \"0 0 0\"|>>>>>}|>>>>>alphas|>>>>>{",
    ">>>>>>\"row0\" \"0 255\"|>>>>>}|>>>>>allowed_verts|>>>>>{|>>>>>>\"10\" \"-1 -1\"|>>>>>}",
    ">>>>}|>>>}|>>>editor|>>>{|>>>>\"color\" \"255 255 255\"|>>>>\"visgroupshown\" \"0\"",
    ">>>>\"visgroupautoshown\" \"1\"|>>>}|>>}|>}",
    // Groups stand at one depth whatever holds them.
    ">group|>{|>>\"id\" \"7\"|>>editor|>>{|>>>\"color\" \"0 100 0\"|>>>\"visgroupshown\" \"1\"",
    ">>>\"visgroupautoshown\" \"1\"|>>}|>}|>group|>{|>>\"id\" \"8\"|>>editor|>>{",
    ">>>\"color\" \"255 255 255\"|>>>\"groupid\" \"7\"|>>>\"visgroupshown\" \"0\"",
    ">>>\"visgroupautoshown\" \"1\"|>>}|>}|}",
    "entity|{|>\"classname\" \"light\"|>connections|>{|>>\"OnTrigger\" \"lamp,TurnOn,,0,-1\"",
    ">}|>editor|>{|>>\"color\" \"220 30 220\"|>>\"groupid\" \"7\"|>>\"visgroupid\" \"1\"",
    ">>\"visgroupid\" \"2\"|>>\"visgroupshown\" \"1\"|>>\"visgroupautoshown\" \"1\"",
    ">>\"comments\" \"a lamp\"|>>\"logicalpos\" \"[0 500]\"|>}|}",
    // A hidden entity's solids get no wrapper of their own.
    "hidden|{|>entity|>{|>>\"classname\" \"func_detail\"|>>solid|>>{|>>>\"id\" \"4\"",
    ">>>editor|>>>{|>>>>\"color\" \"255 255 255\"|>>>>\"visgroupshown\" \"0\"",
    ">>>>\"visgroupautoshown\" \"1\"|>>>}|>>}|>>editor|>>{|>>>\"color\" \"255 255 255\"",
    ">>>\"visgroupshown\" \"0\"|>>>\"visgroupautoshown\" \"1\"|>>>\"logicalpos\" \"[0 0]\"",
    ">>}|>}|}|cameras|{|>\"activecamera\" \"1\"|>camera|>{|>>\"position\" \"[1 2 3]\"",
    ">>\"look\" \"[4 5 6]\"|>}|>camera|>{|>>\"position\" \"[0 0 0]\"|>>\"look\" \"[0 256 0]\"",
    ">}|}|cordon|{|>\"mins\" \"(-1024 -1024 -1024)\"|>\"maxs\" \"(1024 1024 1024)\"",
    ">\"active\" \"1\"|}"};

} // namespace

class TestVmf : public QObject
{
    Q_OBJECT

private slots:
    void writesAndReadsBack();
    void readerValues_data();
    void readerValues();
    void skipsUnknownBlocks();
    void readerLimits();
    void saveFailures();
    void survivesDamagedText();
};

void TestVmf::writesAndReadsBack()
{
    QCOMPARE(written(CFileVMF()), lines(DefaultText));
    const QByteArray text = lines(FullText);
    QCOMPARE(written(fullDocument()), text);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("caf\xe9.vmf"));
    QVERIFY(readVmf(text)->save(path));
    QCOMPARE(written(*readVmf(readFile(path))), text);
}

void TestVmf::readerValues_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("written"); // lines the document then writes

    QTest::newRow("camera without keys")
        << QByteArray("cameras\n{\n\"activecamera\" \"2\"\ncamera\n{\n}\n}\n")
        << QStringList{"\"activecamera\" \"2\"", "\"position\" \"[0 0 0]\"",
                       "\"look\" \"[0 256 0]\""};
    QTest::newRow("16-bit numbers keep their low bits, bad numbers the default")
        << QByteArray("versioninfo\n{\n\"editorbuild\" \"70000\"\n\"formatversion\" \"x\"\n}\n")
        << QStringList{"\"editorbuild\" \"4464\"", "\"formatversion\" \"100\""};
    QTest::newRow("rows in file order, last allowed_verts")
        << QByteArray(
               "world\n{\nsolid\n{\nside\n{\ndispinfo\n{\nnormals\n{\n\"row5\" \"a\"\n"
               "\"row0\" \"b\"\n}\nallowed_verts\n{\n\"10\" \"1\"\n\"10\" \"2\"\n}\n}\n}\n}\n"
               "}\n")
        << QStringList{"\"row0\" \"a\"\n\t\t\t\t\t\"row1\" \"b\"", "\"10\" \"2\""};
    QTest::newRow("editor keys match only as written")
        << QByteArray("entity\n{\neditor\n{\n\"Color\" \"1 2 3\"\n\"comments\" \"x\"\n}\n}\n")
        << QStringList{"\"color\" \"255 255 255\"", "\"comments\" \"x\""};
    QTest::newRow("keys keep their spelling, blocks match in any case")
        << QByteArray("WORLD\n{\n\"Classname\" \"a\"\nSOLID\n{\nSide\n{\n\"ID\" \"9\"\n}\n}\n}\n")
        << QStringList{"\"Classname\" \"a\"\n\tsolid", "side\n\t\t{\n\t\t\t\"id\" \"9\""};
    QTest::newRow("hidden blocks are transparent")
        << QByteArray("world\n{\nhidden\n{\nsolid\n{\neditor\n{\n\"visgroupshown\" \"0\"\n}\n}\n"
                      "}\n\"after\" \"1\"\n}\nhidden\n{\nentity\n{\n\"classname\" \"a\"\n}\n}\n")
        << QStringList{"\"after\" \"1\"\n\thidden\n\t{\n\t\tsolid", "entity\n{\n\t\"classname\""};
    QTest::newRow("unknown block skipped whole")
        << QByteArray("entity\n{\nodd\n{\n\"x\" \"1\"\n}\n\"late\" \"2\"\n}\n")
        << QStringList{"entity\n{\n\t\"late\" \"2\"\n\teditor"};
    QTest::newRow("quoted // texts and UTF-8 kept")
        << QByteArray("entity\n{\n\"t\" \"//@l\" // c\n\"\xA0k\" \"voil\xC3\xA0\"\nconnections\n{\n"
                      "\"On\" \"//b\0331\"\n}\n}\n")
        << QStringList{QString::fromLatin1("\t\"t\" \"//@l\"\n\t\"\xA0k\" \"voil\xC3\xA0\"\n"
                                           "\tconnections\n\t{\n\t\t\"On\" \"//b\0331\"\n")};
    QTest::newRow("a lone word skips nothing")
        << QByteArray("entity\n{\nlonely\n\"k\" \"v\"\n}\n\"top\" \"1\"\n")
        << QStringList{"entity\n{\n\t\"k\" \"v\"\n\teditor"};
}

void TestVmf::readerValues()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, written);

    const QByteArray out = ::written(*readVmf(text));
    for (const QString &part : written)
        QVERIFY2(out.contains(part.toLatin1()), qPrintable(part));
}

void TestVmf::skipsUnknownBlocks()
{
    // A newer editor's block in every block: each is skipped whole, known keys
    // and nested braces included.
    const QByteArray junk = "point_data\n{\n\"id\" \"99\"\n\"classname\" \"junk\"\n"
                            "\"row0\" \"x\"\nEditor\n{\n\"color\" \"1 1 1\"\n}\n}\n";
    const QByteArray text = lines(FullText);
    QByteArray withJunk = "palette_plus\r\n{\r\n\"color0\" \"255 0 0\"\r\n}\r\n";
    int blocks = 1;
    for (const QByteArray &line : text.split('\n')) {
        withJunk += line + '\n';
        if (line.trimmed() == "{") {
            withJunk += junk;
            ++blocks;
        }
    }
    withJunk.chop(1);
    VMFSkippedBlocks skipped;
    QCOMPARE(written(*readVmf(withJunk, &skipped)), text);
    QCOMPARE(skipped.count, blocks);
    QCOMPARE(skipped.names, (QVector<QByteArray>{"palette_plus", "point_data"}));
    // The plural message is checked where the entity window shows it.
    VMFSkippedBlocks one;
    readVmf(QByteArray("world\n{\neditor\n{\n\"color\" \"1\"\n}\n\"k\" \"v\"\n}\n"), &one);
    QCOMPARE(one.warning(QStringLiteral("w.vmf")),
             QStringLiteral("Map Source Warning: Import of \"w.vmf\" skipped 1 block it does not "
                            "read: editor"));

    // Names are listed up to a limit, each once whatever its case.
    QByteArray many = "world\n{\n";
    for (int i = 0; i < VMFSkippedBlocks::MaxNames + 5; ++i)
        many += "b" + QByteArray::number(i) + "\n{\n}\nB" + QByteArray::number(i) + "\n{\n}\n";
    VMFSkippedBlocks capped;
    readVmf(many + "}\n", &capped);
    QCOMPARE(capped.count, 2 * (VMFSkippedBlocks::MaxNames + 5));
    QCOMPARE(capped.names.size(), VMFSkippedBlocks::MaxNames);
    QVERIFY(capped.warning(QString()).endsWith(QLatin1String(", b19, ...")));
}

void TestVmf::readerLimits()
{
    // Visgroups are cut at the depth limit, what follows is still read.
    QByteArray deep = "visgroups\n{\n";
    const int depth = VMFReaderLimits::MaxVisgroupDepth + 50;
    for (int i = 0; i < depth; ++i)
        deep += "visgroup\n{\n\"visgroupid\" \"" + QByteArray::number(i) + "\"\n";
    deep += QByteArray(depth + 1, '}').replace("}", "}\n") + "cordon\n{\n\"active\" \"1\"\n}\n";
    std::unique_ptr<CFileVMF> doc = readVmf(deep);
    int levels = 0;
    for (const VMFVisgroup *g = &doc->visgroups.at(0); g; ++levels)
        g = g->children.isEmpty() ? nullptr : &g->children.at(0);
    QCOMPARE(levels, VMFReaderLimits::MaxVisgroupDepth);
    QVERIFY(doc->cordonActive);

    // A length of 0 reads nothing; one past the end reads to the end.
    QByteArray text = "junk\ncordon\n{\n\"active\" \"1\"\n}\n";
    QBuffer buffer(&text);
    QVERIFY(buffer.open(QIODevice::ReadOnly) && buffer.seek(5));
    QCOMPARE(written(*readVmf(&buffer, 0)), lines(DefaultText));
    QVERIFY(readVmf(&buffer, 1 << 30)->cordonActive);
    QBuffer closed;
    QVERIFY(!readVmf(&closed));
}

void TestVmf::saveFailures()
{
    CFileVMF doc;
    QVERIFY(!doc.save(QString()));
    QCOMPARE(doc.errorText(), QString::fromLatin1(E::InvalidFilePath));
    LimitedDevice full(0);
    QVERIFY(!doc.saveToDevice(&full));
    QCOMPARE(doc.errorText(), QString::fromLatin1(E::Incomplete));
    QBuffer closed;
    QVERIFY(!doc.saveToDevice(&closed));
    QCOMPARE(doc.errorText(), QString::fromLatin1(E::DeviceNotOpen));

    // A target that cannot be replaced keeps its old bytes. (Who may write
    // the file decides whether opening or committing fails.)
    QTemporaryDir dir;
    const UnwritableFile old(dir.path(), "old", ".vmf");
    REQUIRE_UNWRITABLE(old);
    QVERIFY(!doc.save(old.path));
    QCOMPARE(doc.errorText(), CSaveFile::folderMessage(old.path));
    QCOMPARE(readFile(old.path), QByteArray("old"));
}

void TestVmf::survivesDamagedText()
{
    const auto load = [](const QByteArray &bytes) { written(*readVmf(bytes)); };
    Fuzz::truncations(lines(FullText), load);
    Fuzz::byteFlips(lines(FullText), 400, 27, load);
}

QTEST_GUILESS_MAIN(TestVmf)
#include "tst_vmf.moc"
