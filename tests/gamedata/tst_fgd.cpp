#include "CFileFGD.h"
#include "FGDDump.h"
#include "FGDText.h"
#include "Fuzz.h"

#include <QBuffer>
#include <QFile>
#include <QtTest>

#include <memory>

namespace {

// A hand-written definition file using every directive, helper and body form.
const char *const Sample = R"FGD(// Sample definitions written for these tests.
@include "base.fgd"
@include "BASE.fgd"
@include "extra.FGD"
@include "notes.txt"
@include shared.fgd // bare name
@mapsize(-16384, 16384)
@MaterialExclusion
[
	// never packed
	"tools"
	"Tools"
	"debug/extra"
]
@AutoVisGroup = "Triggers"
[
	"Once" [ "trigger_once" ]
	"Many"
	[
		"trigger_multiple"
		"trigger_" + "hurt"
	]
]
@BaseClass = Targetname
[
	targetname(target_source) : "Name" : : "What others " +
		"call it."
	input Kill(void) : "Removes it."
	output OnUser1(void) : "Fired by FireUser1."
]
@PointClass base(Targetname, Parent) iconsprite("editor/lamp.vmt") sphere(glow) sphere() color(255 255 0) size(-4 -4 -4, 4 4 4) = env_lamp : "A lamp."
[
	glow(float) : "Glow radius" : "64"
	Radius(float) : "Reach" : 128 : "How far."
	level(Integer) readonly : "Level" : 200
	mode(choices) : "Mode" : 1 : "How it shines." =
	[
		0 : "Off"
		"2" : "Flicker"
	]
	spawnflags(flags) =
	[
		1 : "Start off" : 0
		64 : "Editor only" : 1
	]
	input SetLevel(integer) : "Sets the level."
	output OnLit(void)
]
@NPCClass base(Targetname) studio("models/guard.mdl") size(-16 -16 0, 16 16 72) = npc_guard : "A guard." []
@SolidClass = trigger_zone [ wait(integer) : "Delay" : 1 ]
@KeyFrameClass line(255 255 255, targetname, nextkey) studio() = move_key []
@MoveClass cylinder(255 0 0, targetname, target, radius, targetname, parentname, radius) studioprop("models/rail.mdl") = move_rail []
@FilterClass halfgridsnap() = filter_thing [ filtername(filterclass) : "Filter"
	gadget(widget) : "Unknown type" ]
% not read: @PointClass = nope [
)FGD";

const char *const SampleDump = R"(include base.fgd
include shared.fgd
exclude tools
exclude debug/extra
visgroup "Triggers"
 minor "Once": trigger_once
 minor "Many": trigger_multiple,trigger_hurt
class 0 Targetname ""
 kv "targetname" 22 "Name" "" "What others call it."
 input "Kill" 0 "Removes it."
 output "OnUser1" 0 "Fired by FireUser1."
class 1 env_lamp "A lamp."
 bases Targetname,Parent
 models "editor/lamp.vmt" "" ""
 helpers 1 color ffffff00
 size -4 -4 -4, 4 4 4
 flags 65 defaults 64
 flag 0 "Start off"
 flag 6 "Editor only"
 kv "glow" 4 "Glow radius" "64" "" sphere
 kv "Radius" 4 "Reach" "128" "How far." sphere
 kv "level" 3 "Level" "200" "" readonly
 kv "mode" 1 "Mode" "1" "How it shines."
  choice "0" "Off"
  choice "2" "Flicker"
 input "SetLevel" 3 "Sets the level."
 output "OnLit" 0 ""
class 2 npc_guard "A guard."
 bases Targetname
 models "" "" "models/guard.mdl"
 size -16 -16 0, 16 16 72
class 3 trigger_zone ""
 kv "wait" 3 "Delay" "1" ""
class 4 move_key ""
 helpers 2 color ffff00ff
 line ffffffff targetname nextkey
class 5 move_rail ""
 models "" "models/rail.mdl" ""
 cylinder ffff0000 targetname,target,radius,targetname,parentname,radius
class 6 filter_thing ""
 kv "filtername" 9 "Filter" "" ""
 kv "gadget" 2 "Unknown type" "" "")";

} // namespace

class TestFgd : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void documentDefaults();
    void sample();
    void texts_data();
    void texts();
    void deviceErrors();
    void damagedInputEnds();

private:
    QList<QByteArray> m_unknown;
    CFileFGD::UnknownItemHook m_previousHook;
};

void TestFgd::init()
{
    m_unknown.clear();
    m_previousHook =
        CFileFGD::setUnknownItemHook([this](const QByteArray &name) { m_unknown << name; });
}

void TestFgd::cleanup()
{
    CFileFGD::setUnknownItemHook(m_previousHook);
}

void TestFgd::documentDefaults()
{
    CFileFGD fgd;
    QCOMPARE(fgd.displayName(), QStringLiteral("untitled"));
    QCOMPARE(FGD::classTypeName(6), QStringLiteral("@FilterClass"));
    QCOMPARE(FGD::classTypeName(7), QString());
    QCOMPARE(FGD::parameterTypeName(21), QStringLiteral("target_name_or_class"));
    QCOMPARE(FGD::parameterTypeName(26), QString());
    QCOMPARE(FGD::parameterTypeName(-1), QString());

    QByteArray bytes("kept"); // never written
    QVERIFY(!fgd.write(&bytes));
    QCOMPARE(bytes, QByteArray("kept"));
}

void TestFgd::sample()
{
    QString error;
    std::unique_ptr<CFileFGD> fgd(CFileFGD::fromByteArray(QByteArray(Sample), error));
    QVERIFY2(fgd, qPrintable(error));
    QCOMPARE(dump(*fgd), QString::fromLatin1(SampleDump));
    QCOMPARE(m_unknown, QList<QByteArray>{"halfgridsnap"});
}

void TestFgd::texts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expected"); // unknown helpers last, or the error

    QTest::newRow("empty") << QByteArray() << "";
    QTest::newRow("byte-order mark")
        << QByteArray("\xEF\xBB\xBF@SolidClass = a []") << "class 3 a \"\"";
    QTest::newRow("size one value")
        << QByteArray("@PointClass size(8) = a []") << "class 1 a \"\"\n size 8 0 0";
    QTest::newRow("size fraction")
        << QByteArray("@PointClass size(0.5 1 1) = a []") << "class 1 a \"\"\n size 0 1 1";
    QTest::newRow("colour of two")
        << QByteArray("@PointClass color(255 128) = a []") << "class 1 a \"\"";
    QTest::newRow("colour clamped") << QByteArray("@PointClass color(300 -5 10) = a []")
                                    << "class 1 a \"\"\n helpers 1 color ffff000a";
    QTest::newRow("spheres per class")
        << QByteArray("@PointClass sphere() = a [ radius(float) : \"R\" ]\n@PointClass = b [ "
                      "radius(float) : \"R\" ]")
        << "class 1 a \"\"\n kv \"radius\" 4 \"R\" \"\" \"\" sphere\nclass 1 b \"\"\n kv "
           "\"radius\" 4 \"R\" \"\" \"\"";
    QTest::newRow("flags not single bits")
        << QByteArray("@PointClass = a [ spawnflags(Flags) = [ 3 : \"x\" : 1\n 0 : \"y\" : 1\n -4 "
                      ": \"z\" : 1\n x : \"w\" ] ]")
        << "class 1 a \"\"";
    QTest::newRow("input needs its space")
        << QByteArray("@PointClass = a [ inputKill(void) : \"K\" ]")
        << "class 1 a \"\"\n kv \"inputKill\" 0 \"K\" \"\" \"\"";
    QTest::newRow("unterminated body") << QByteArray("@SolidClass = a [ k(string) : \"K\"")
                                       << "class 3 a \"\"\n kv \"k\" 2 \"K\" \"\" \"\"";
    QTest::newRow("unknown helper") << QByteArray("@PointClass Wirebox (mins, maxs) base(X) = a []")
                                    << "class 1 a \"\"\n bases X\nunknown wirebox ";
    // Directives in any case; blanks inside a type's parentheses are no part of it.
    QTest::newRow("real spellings")
        << QByteArray(
               "@INCLUDE \"a.fgd\"\n@AutoVisgroup = \"L\" [ \"P\" [ \"x\" ] ]\n@PointClass = a "
               "[ spawnflags( Flags ) = [ 4 : \"F\" ] input K(\tvoid ) : \"\" ]")
        << "include a.fgd\nvisgroup \"L\"\n minor \"P\": x\nclass 1 a \"\"\n flags 4 defaults 0\n "
           "flag "
           "2 \"F\"\n input \"K\" 0 \"\"";
    // Syntax errors fail the whole read.
    QTest::newRow("no body") << QByteArray("@PointClass = a\n\n")
                             << "error Read Error: Expected '[' at line 3";
    QTest::newRow("visgroup without =")
        << QByteArray("@AutoVisGroup \"a\" []") << "error Read Error: Expected '=' at line 1";
    QTest::newRow("minor without [") << QByteArray("@AutoVisGroup = \"a\" [ \"b\" \"c\" ]")
                                     << "error Read Error: Expected '[' at line 1";
    // An unquoted name would never be passed over.
    QTest::newRow("bare visgroup entry")
        << QByteArray("@AutoVisGroup = \"a\" [ \"b\" [ \"c\"\n d ] ]")
        << "error Read Error: Expected '\"' at line 2";
    QTest::newRow("choices without [") << QByteArray("@PointClass = a [ m(choices) : \"M\" = 0 ]")
                                       << "error Read Error: Expected '[' at line 1";
    QTest::newRow("text outside") << QByteArray("@SolidClass = a []\nstray")
                                  << "error Read Error: Unexpected text at line 2";
}

void TestFgd::texts()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    QString error;
    std::unique_ptr<CFileFGD> fgd(CFileFGD::fromByteArray(text, error));
    QStringList actual{fgd ? dump(*fgd) : QStringLiteral("error ") + error};
    for (const QByteArray &name : m_unknown)
        actual << QStringLiteral("unknown ") + QString::fromLatin1(name);
    actual.removeAll(QString());
    QCOMPARE(actual.join(QLatin1Char('\n')), expected);
}

void TestFgd::deviceErrors()
{
    QFile missing(QStringLiteral("/nonexistent/definitions.fgd"));
    QBuffer writeOnly;
    writeOnly.open(QIODevice::WriteOnly);
    QDataStream noDevice, unopenable(&missing), unreadable(&writeOnly);
    CFileFGD fgd;
    QStringList errors;
    for (QDataStream *stream : {&noDevice, &unopenable, &unreadable}) {
        QVERIFY(!fgd.read(*stream));
        errors << fgd.error();
    }
    QCOMPARE(errors, (QStringList{"Device Error: Not valid", "Device Error: Not open",
                                  "Device Error: Not readable"}));
}

void TestFgd::damagedInputEnds()
{
    const QByteArray valid(Sample);
    auto load = [](const QByteArray &bytes) { delete CFileFGD::fromByteArray(bytes); };
    Fuzz::truncations(valid, load);
    Fuzz::byteFlips(valid, 300, 0x46474431, load);
    // Replacements by the bytes the grammar turns on.
    static const char structure[] = "[]()\"=:+@%/ \n";
    QRandomGenerator rng(7);
    for (int i = 0; i < 300; ++i) {
        QByteArray copy = valid;
        for (int f = 0; f < 3; ++f)
            copy[int(rng.bounded(copy.size()))] = structure[rng.bounded(int(sizeof structure) - 1)];
        load(copy);
    }
    // Work stays linear in the number of names kept unique.
    QByteArray many;
    for (int i = 0; i < 100000; ++i)
        many += "@include \"f" + QByteArray::number(i) + ".fgd\"\n";
    std::unique_ptr<CFileFGD> fgd(CFileFGD::fromByteArray(many));
    QVERIFY(fgd);
    QCOMPARE(fgd->includes.size(), 100000);
}

QTEST_GUILESS_MAIN(TestFgd)
#include "tst_fgd.moc"
