#include "BspErrors.h"
#include "CFileVMF.h"
#include "Fuzz.h"
#include "VMFReader.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

namespace E = BspErrors;

namespace {

// Lines joined with LF; leading '>' characters stand for tabs, so that the
// indentation stays readable here.
QByteArray lines(const QStringList &text)
{
    QByteArray out;
    for (const QString &line : text) {
        int tabs = 0;
        while (tabs < line.size() && line.at(tabs) == QLatin1Char('>'))
            ++tabs;
        out += QByteArray(tabs, '\t') + line.mid(tabs).toLatin1() + '\n';
    }
    return out;
}

QByteArray written(const CFileVMF &doc)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CFileVMF copy = doc;
    copy.saveToDevice(&buffer);
    return bytes;
}

const QStringList DefaultHead = {"versioninfo",
                                 "{",
                                 ">\"editorversion\" \"0\"",
                                 ">\"editorbuild\" \"0\"",
                                 ">\"mapversion\" \"0\"",
                                 ">\"formatversion\" \"100\"",
                                 ">\"prefab\" \"0\"",
                                 "}",
                                 "visgroups",
                                 "{",
                                 "}",
                                 "viewsettings",
                                 "{",
                                 ">\"bSnapToGrid\" \"1\"",
                                 ">\"bShowGrid\" \"1\"",
                                 ">\"bShowLogicalGrid\" \"0\"",
                                 ">\"nGridSpacing\" \"8\"",
                                 ">\"bShow3DGrid\" \"0\"",
                                 "}"};
const QStringList DefaultTail = {"cameras",
                                 "{",
                                 ">\"activecamera\" \"-1\"",
                                 "}",
                                 "cordon",
                                 "{",
                                 ">\"mins\" \"(-1024 -1024 -1024)\"",
                                 ">\"maxs\" \"(1024 1024 1024)\"",
                                 ">\"active\" \"0\"",
                                 "}"};

// A document with every kind of record: nested visgroups, a visible and a
// hidden world solid, a side with and one without displacement, groups, a
// visible entity with connections and a hidden one, two cameras.
CFileVMF fullDocument()
{
    CFileVMF doc;
    doc.editorversion = 400;
    doc.editorbuild = 8;
    doc.mapversion = 3;
    doc.prefab = true;
    VMFVisgroup lights;
    lights.name = "Lights";
    lights.visgroupid = 1;
    lights.color = "10 20 30";
    VMFVisgroup lamps;
    lamps.name = "Lamps";
    lamps.visgroupid = 2;
    lights.children.append(lamps);
    doc.visgroups.append(lights);
    doc.nGridSpacing = 64;
    doc.bShow3DGrid = true;

    doc.world.keyValues << "classname"
                        << "worldspawn"
                        << "skyname"
                        << "sky_caf\xe9";
    VMFSolid plain;
    plain.id = 2;
    VMFSide side;
    side.id = 1;
    side.plane = "(0 0 0) (1 0 0) (1 1 0)";
    side.material = "BRICK/WALL01";
    side.uaxis = "[1 0 0 0] 0.25";
    side.vaxis = "[0 -1 0 0] 0.25";
    side.rotation = -90;
    plain.sides.append(side);
    plain.editor.visgroupids.append(1);
    doc.world.solids.append(plain);

    VMFSolid hidden;
    hidden.id = 3;
    hidden.editor.visgroupshown = false;
    VMFSide displaced;
    displaced.id = 2;
    displaced.smoothing_groups = qint32(0x80000000u);
    VMFDispInfo &disp = displaced.displacement.create();
    disp.power = 3;
    disp.startposition = "[0 0 0]";
    disp.flags = 0;
    disp.elevation = 2.5f;
    disp.subdiv = true;
    disp.normals << "0 0 1 0 0 1"
                 << "0 0 1 0 0 0";
    disp.alphas << "0 255";
    disp.allowed_verts = "-1 -1";
    hidden.sides.append(displaced);
    doc.world.solids.append(hidden);

    VMFGroup group;
    group.id = 7;
    group.color = "0 100 0";
    doc.world.groups.append(group);
    VMFGroup inner;
    inner.id = 8;
    inner.groupid = 7;
    inner.visgroupshown = false;
    doc.world.groups.append(inner);

    VMFEntity light;
    light.body.keyValues << "classname"
                         << "light"
                         << "targetname"
                         << "lamp";
    light.body.connections << "OnTrigger"
                           << "lamp,TurnOn,,0,-1";
    light.editor.color = "220 30 220";
    light.editor.groupid = 7;
    light.editor.visgroupids << 1 << 2;
    light.editor.comments = "a lamp";
    light.editor.logicalpos = "[0 500]";
    doc.entities.append(light);

    VMFEntity detail;
    detail.body.keyValues << "classname"
                          << "func_detail";
    VMFSolid brush;
    brush.id = 4;
    brush.editor.visgroupshown = false;
    detail.body.solids.append(brush);
    detail.editor.visgroupshown = false;
    doc.entities.append(detail);

    doc.activecamera = 1;
    VMFCamera camera;
    camera.position = "[1 2 3]";
    camera.look = "[4 5 6]";
    doc.cameras << camera << VMFCamera();
    doc.cordonMins = "(-1 -1 -1)";
    doc.cordonMaxs = "(1 1 1)";
    doc.cordonActive = true;
    return doc;
}

const QStringList FullText = {
    "versioninfo", "{", ">\"editorversion\" \"400\"", ">\"editorbuild\" \"8\"",
    ">\"mapversion\" \"3\"", ">\"formatversion\" \"100\"", ">\"prefab\" \"1\"", "}", "visgroups",
    "{", ">visgroup", ">{", ">>\"name\" \"Lights\"", ">>\"visgroupid\" \"1\"",
    ">>\"color\" \"10 20 30\"", ">>visgroup", ">>{", ">>>\"name\" \"Lamps\"",
    ">>>\"visgroupid\" \"2\"", ">>>\"color\" \"255 255 255\"", ">>}", ">}", "}", "viewsettings",
    "{", ">\"bSnapToGrid\" \"1\"", ">\"bShowGrid\" \"1\"", ">\"bShowLogicalGrid\" \"0\"",
    ">\"nGridSpacing\" \"64\"", ">\"bShow3DGrid\" \"1\"", "}", "world", "{",
    ">\"classname\" \"worldspawn\"", QString::fromLatin1(">\"skyname\" \"sky_caf\xe9\""),
    // The visible solid.
    ">solid", ">{", ">>\"id\" \"2\"", ">>side", ">>{", ">>>\"id\" \"1\"",
    ">>>\"plane\" \"(0 0 0) (1 0 0) (1 1 0)\"", ">>>\"material\" \"BRICK/WALL01\"",
    ">>>\"uaxis\" \"[1 0 0 0] 0.25\"", ">>>\"vaxis\" \"[0 -1 0 0] 0.25\"",
    ">>>\"rotation\" \"-90\"", ">>>\"lightmapscale\" \"16\"", ">>>\"smoothing_groups\" \"0\"",
    ">>}", ">>editor", ">>{", ">>>\"color\" \"255 255 255\"", ">>>\"visgroupid\" \"1\"",
    ">>>\"visgroupshown\" \"1\"", ">>>\"visgroupautoshown\" \"1\"", ">>}", ">}",
    // The hidden solid with a displacement.
    ">hidden", ">{", ">>solid", ">>{", ">>>\"id\" \"3\"", ">>>side", ">>>{", ">>>>\"id\" \"2\"",
    ">>>>\"plane\" \"\"", ">>>>\"material\" \"\"", ">>>>\"uaxis\" \"\"", ">>>>\"vaxis\" \"\"",
    ">>>>\"rotation\" \"0\"", ">>>>\"lightmapscale\" \"16\"",
    ">>>>\"smoothing_groups\" \"2147483648\"", ">>>>dispinfo", ">>>>{", ">>>>>\"power\" \"3\"",
    ">>>>>\"startposition\" \"[0 0 0]\"", ">>>>>\"flags\" \"0\"", ">>>>>\"elevation\" \"2.5\"",
    ">>>>>\"subdiv\" \"1\"", ">>>>>normals", ">>>>>{", ">>>>>>\"row0\" \"0 0 1 0 0 1\"",
    ">>>>>>\"row1\" \"0 0 1 0 0 0\"", ">>>>>}", ">>>>>alphas", ">>>>>{", ">>>>>>\"row0\" \"0 255\"",
    ">>>>>}", ">>>>>allowed_verts", ">>>>>{", ">>>>>>\"10\" \"-1 -1\"", ">>>>>}", ">>>>}", ">>>}",
    ">>>editor", ">>>{", ">>>>\"color\" \"255 255 255\"", ">>>>\"visgroupshown\" \"0\"",
    ">>>>\"visgroupautoshown\" \"1\"", ">>>}", ">>}", ">}",
    // Groups stand at one depth.
    ">group", ">{", ">>\"id\" \"7\"", ">>editor", ">>{", ">>>\"color\" \"0 100 0\"",
    ">>>\"visgroupshown\" \"1\"", ">>>\"visgroupautoshown\" \"1\"", ">>}", ">}", ">group", ">{",
    ">>\"id\" \"8\"", ">>editor", ">>{", ">>>\"color\" \"255 255 255\"", ">>>\"groupid\" \"7\"",
    ">>>\"visgroupshown\" \"0\"", ">>>\"visgroupautoshown\" \"1\"", ">>}", ">}", "}",
    // The visible entity.
    "entity", "{", ">\"classname\" \"light\"", ">\"targetname\" \"lamp\"", ">connections", ">{",
    ">>\"OnTrigger\" \"lamp,TurnOn,,0,-1\"", ">}", ">editor", ">{", ">>\"color\" \"220 30 220\"",
    ">>\"groupid\" \"7\"", ">>\"visgroupid\" \"1\"", ">>\"visgroupid\" \"2\"",
    ">>\"visgroupshown\" \"1\"", ">>\"visgroupautoshown\" \"1\"", ">>\"comments\" \"a lamp\"",
    ">>\"logicalpos\" \"[0 500]\"", ">}", "}",
    // The hidden entity: its solid gets no wrapper of its own.
    "hidden", "{", ">entity", ">{", ">>\"classname\" \"func_detail\"", ">>solid", ">>{",
    ">>>\"id\" \"4\"", ">>>editor", ">>>{", ">>>>\"color\" \"255 255 255\"",
    ">>>>\"visgroupshown\" \"0\"", ">>>>\"visgroupautoshown\" \"1\"", ">>>}", ">>}", ">>editor",
    ">>{", ">>>\"color\" \"255 255 255\"", ">>>\"visgroupshown\" \"0\"",
    ">>>\"visgroupautoshown\" \"1\"", ">>>\"logicalpos\" \"[0 0]\"", ">>}", ">}", "}", "cameras",
    "{", ">\"activecamera\" \"1\"", ">camera", ">{", ">>\"position\" \"[1 2 3]\"",
    ">>\"look\" \"[4 5 6]\"", ">}", ">camera", ">{", ">>\"position\" \"[0 0 0]\"",
    ">>\"look\" \"[0 256 0]\"", ">}", "}", "cordon", "{", ">\"mins\" \"(-1 -1 -1)\"",
    ">\"maxs\" \"(1 1 1)\"", ">\"active\" \"1\"", "}"};

// A device that takes nothing: every write fails.
class RefusingDevice : public QIODevice
{
protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override { return -1; }
};

} // namespace

class TestVmf : public QObject
{
    Q_OBJECT

private slots:
    void writesDefaultDocument();
    void writesEveryRecord();
    void readsBackWhatItWrote();
    void readerValues_data();
    void readerValues();
    void readerBlocks();
    void readsOnlyTheGivenLength();
    void copiesOwnTheirDisplacement();
    void saveFailures();
    void survivesDamagedText();
};

void TestVmf::writesDefaultDocument()
{
    QCOMPARE(written(CFileVMF()),
             lines(DefaultHead + QStringList{"world", "{", "}"} + DefaultTail));
}

void TestVmf::writesEveryRecord()
{
    QCOMPARE(written(fullDocument()), lines(FullText));
}

void TestVmf::readsBackWhatItWrote()
{
    const QByteArray text = lines(FullText);
    std::unique_ptr<CFileVMF> doc = readVmf(text);
    QVERIFY(doc);
    QCOMPARE(written(*doc), text);
    // Through a file, as the entity lump editor reads and writes it.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("caf\xe9.vmf"));
    QVERIFY(doc->save(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    std::unique_ptr<CFileVMF> again = readVmf(&file);
    QVERIFY(again);
    QCOMPARE(written(*again), text);
    const VMFSide &side = again->world.solids.at(1).sides.at(0);
    QVERIFY(side.displacement);
    QCOMPARE(side.displacement->elevation, 2.5f);
    QCOMPARE(quint32(side.smoothing_groups), 0x80000000u);
    QCOMPARE(again->world.keyValues.at(3), QByteArray("sky_caf\xe9"));
    QVERIFY(!again->entities.at(1).editor.visgroupshown);
}

void TestVmf::readerValues_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no active camera")
        << QByteArray("cameras\n{\n\"activecamera\" \"-1\"\n}\n") << "activecamera"
        << "-1";
    QTest::newRow("active camera")
        << QByteArray("cameras\n{\n\"activecamera\" \"2\"\n}\n") << "activecamera"
        << "2";
    QTest::newRow("16-bit numbers keep their low bits")
        << QByteArray("versioninfo\n{\n\"editorbuild\" \"70000\"\n}\n") << "editorbuild"
        << "4464";
    QTest::newRow("bad number keeps the default")
        << QByteArray("viewsettings\n{\n\"nGridSpacing\" \"wide\"\n}\n") << "grid"
        << "8";
    QTest::newRow("camera without keys")
        << QByteArray("cameras\n{\n\tcamera\n\t{\n\t}\n}\n") << "camera"
        << "[0 0 0]|[0 256 0]";
    QTest::newRow("rows in file order")
        << QByteArray("world\n{\nsolid\n{\nside\n{\ndispinfo\n{\nnormals\n{\n\"row5\" \"a\"\n"
                      "\"row0\" \"b\"\n\"row0\" \"c\"\n}\n}\n}\n}\n}\n")
        << "normals"
        << "a|b|c";
    QTest::newRow("last allowed_verts wins")
        << QByteArray("world\n{\nsolid\n{\nside\n{\ndispinfo\n{\nallowed_verts\n{\n"
                      "\"10\" \"1\"\n\"10\" \"2\"\n}\n}\n}\n}\n}\n")
        << "allowed_verts"
        << "2";
    QTest::newRow("editor keys match only as written")
        << QByteArray("entity\n{\neditor\n{\n\"Color\" \"1 2 3\"\n\"comments\" \"x\"\n}\n}\n")
        << "entity editor"
        << "255 255 255|x";
    QTest::newRow("keys keep their spelling, blocks match in any case")
        << QByteArray("WORLD\n{\n\"Classname\" \"worldspawn\"\nSOLID\n{\nSide\n{\n"
                      "\"ID\" \"9\"\n}\n}\n}\n")
        << "world"
        << "Classname|worldspawn|9";
    QTest::newRow("hidden blocks are transparent")
        << QByteArray("world\n{\nhidden\n{\nsolid\n{\neditor\n{\n\"visgroupshown\" \"0\"\n}\n}\n"
                      "}\n\"after\" \"1\"\n}\nhidden\n{\nentity\n{\n\"classname\" \"a\"\n}\n}\n")
        << "hidden"
        << "solids 1 hidden|world keys 2|entities 1";
    QTest::newRow("unknown block ends the entity")
        << QByteArray("entity\n{\n\"classname\" \"a\"\nodd\n{\n\"x\" \"1\"\n}\n\"late\" \"2\"\n}\n"
                      "cordon\n{\n\"active\" \"1\"\n}\n")
        << "entity keys"
        << "classname|a|x|1|cordon 1";
    QTest::newRow("8-bit text") << QByteArray("world\n{\n\"message\" \"gr\xfc\xdf\"\n}\n")
                                << "world" << QString::fromLatin1("message|gr\xfc\xdf");
}

void TestVmf::readerValues()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, field);
    QFETCH(QString, expected);

    std::unique_ptr<CFileVMF> doc = readVmf(text);
    QVERIFY(doc);
    const auto join = [](const QVector<QByteArray> &list) {
        QStringList parts;
        for (const QByteArray &b : list)
            parts << QString::fromLatin1(b);
        return parts.join(QLatin1Char('|'));
    };
    QString actual;
    if (field == QLatin1String("activecamera")) {
        actual = QString::number(doc->activecamera);
    } else if (field == QLatin1String("editorbuild")) {
        actual = QString::number(doc->editorbuild);
    } else if (field == QLatin1String("grid")) {
        actual = QString::number(doc->nGridSpacing);
    } else if (field == QLatin1String("camera")) {
        QCOMPARE(doc->cameras.size(), 1);
        actual = QString::fromLatin1(doc->cameras[0].position + '|' + doc->cameras[0].look);
    } else if (field == QLatin1String("normals")) {
        actual = join(doc->world.solids.value(0).sides.value(0).displacement->normals);
    } else if (field == QLatin1String("allowed_verts")) {
        actual = QString::fromLatin1(
            doc->world.solids.value(0).sides.value(0).displacement->allowed_verts);
    } else if (field == QLatin1String("entity editor")) {
        const VMFEditor &editor = doc->entities.value(0).editor;
        actual = QString::fromLatin1(editor.color + '|' + editor.comments);
    } else if (field == QLatin1String("world")) {
        actual = join(doc->world.keyValues);
        if (!doc->world.solids.isEmpty())
            actual += QStringLiteral("|%1").arg(doc->world.solids[0].sides.value(0).id);
    } else if (field == QLatin1String("hidden")) {
        actual = QStringLiteral("solids %1 %2|world keys %3|entities %4")
                     .arg(doc->world.solids.size())
                     .arg(doc->world.solids.value(0).editor.visgroupshown ? "shown" : "hidden")
                     .arg(doc->world.keyValues.size())
                     .arg(doc->entities.size());
    } else if (field == QLatin1String("entity keys")) {
        actual = join(doc->entities.value(0).body.keyValues) +
                 QStringLiteral("|cordon %1").arg(doc->cordonActive);
    }
    QCOMPARE(actual, expected);
}

void TestVmf::readerBlocks()
{
    // Deeply nested visgroups are cut at the depth limit, their contents
    // skipped, and what follows is still read.
    QByteArray deep = "visgroups\n{\n";
    const int depth = VMFReaderLimits::MaxVisgroupDepth + 50;
    for (int i = 0; i < depth; ++i)
        deep += "visgroup\n{\n\"visgroupid\" \"" + QByteArray::number(i) + "\"\n";
    for (int i = 0; i < depth; ++i)
        deep += "}\n";
    deep += "}\ncordon\n{\n\"active\" \"1\"\n}\n";
    std::unique_ptr<CFileVMF> doc = readVmf(deep);
    QVERIFY(doc);
    int levels = 0;
    for (const VMFVisgroup *g = &doc->visgroups.at(0); g; ++levels)
        g = g->children.isEmpty() ? nullptr : &g->children.at(0);
    QCOMPARE(levels, VMFReaderLimits::MaxVisgroupDepth);
    QVERIFY(doc->cordonActive);

    // A device that cannot be read gives no document.
    QBuffer closed;
    QVERIFY(!readVmf(&closed));
}

void TestVmf::readsOnlyTheGivenLength()
{
    QByteArray text = "junk\ncordon\n{\n\"active\" \"1\"\n}\n";
    QBuffer buffer(&text);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    buffer.seek(5);
    std::unique_ptr<CFileVMF> none = readVmf(&buffer, 0);
    QVERIFY(none);
    QCOMPARE(written(*none), written(CFileVMF()));
    // A length past the end reads to the end and stops there.
    std::unique_ptr<CFileVMF> rest = readVmf(&buffer, 1 << 30);
    QVERIFY(rest);
    QVERIFY(rest->cordonActive);
}

void TestVmf::copiesOwnTheirDisplacement()
{
    VMFSide side;
    side.displacement.create().startposition = "[1 1 1]";
    VMFSide copy = side;
    copy.displacement->startposition = "[2 2 2]";
    QCOMPARE(side.displacement->startposition, QByteArray("[1 1 1]"));
    VMFSide assigned;
    assigned = copy;
    copy.displacement.reset();
    QCOMPARE(assigned.displacement->startposition, QByteArray("[2 2 2]"));
    // The sanitizer build reports a double free here if copies shared it.
}

void TestVmf::saveFailures()
{
    CFileVMF doc;
    QVERIFY(!doc.save(QString()));
    QCOMPARE(doc.errorText(), QString::fromLatin1(E::InvalidFilePath));

    // A folder where the file should go: refused, and left alone.
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("taken.vmf"));
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(!doc.save(folder));
    QVERIFY(doc.errorText().startsWith(QLatin1String("Write Error: ")));
    QVERIFY(QFileInfo(folder).isDir());

    // A device that takes nothing: the stream's failure is reported.
    RefusingDevice refusing;
    refusing.open(QIODevice::WriteOnly);
    QVERIFY(!doc.saveToDevice(&refusing));
    QCOMPARE(doc.errorText(), QString::fromLatin1(E::Incomplete));
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    QVERIFY(!doc.saveToDevice(&readOnly));
    QCOMPARE(doc.errorText(), QString::fromLatin1(E::DeviceNotWritable));
    QBuffer closed;
    QVERIFY(!doc.saveToDevice(&closed));
    QCOMPARE(doc.errorText(), QString::fromLatin1(E::DeviceNotOpen));

    // A save over an existing file replaces it whole.
    const QString path = dir.filePath(QStringLiteral("map.vmf"));
    QVERIFY(fullDocument().save(path));
    QVERIFY(doc.save(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), written(doc));

    // A folder that refuses new files keeps the old file whole.
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    QFile::setPermissions(path, QFile::ReadOwner);
    QFile probe(dir.filePath(QStringLiteral("probe")));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QSKIP("permissions are not enforced for this user");
    }
    CFileVMF full = fullDocument();
    QVERIFY(!full.save(path));
    QVERIFY(full.errorText().startsWith(QLatin1String("Write Error: ")));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    file.seek(0);
    QCOMPARE(file.readAll(), written(doc));
}

void TestVmf::survivesDamagedText()
{
    const QByteArray text = lines(FullText);
    const auto load = [](const QByteArray &bytes) {
        std::unique_ptr<CFileVMF> doc = readVmf(bytes);
        QVERIFY(doc);
        written(*doc);
    };
    Fuzz::truncations(text, load);
    Fuzz::byteFlips(text, 400, 27, load);
}

QTEST_GUILESS_MAIN(TestVmf)
#include "tst_vmf.moc"
