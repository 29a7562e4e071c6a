#include "BspErrors.h"
#include "BspFixture.h"
#include "EntityLump.h"
#include "EntityMapSource.h"
#include "Fuzz.h"

#include <QtTest>

namespace E = BspErrors;

namespace {

// A literal's bytes, NULs included.
template <int N>
QByteArray raw(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

// Entities as "k=v;k=v", one after another separated by '|'.
QString describe(const QVector<CEntity> &entities)
{
    QStringList blocks;
    for (const CEntity &entity : entities)
        blocks << pairsText(entity);
    return blocks.join(QLatin1Char('|'));
}

// The reverse, for fixtures.
QVector<CEntity> entities(const QString &description)
{
    QVector<CEntity> list;
    for (const QString &block : description.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        CEntity entity;
        for (const QString &pair : block.split(QLatin1Char(';'))) {
            const int at = pair.indexOf(QLatin1Char('='));
            entity.insertKeyValue(pair.left(at), pair.mid(at + 1));
        }
        list << entity;
    }
    return list;
}

QVector<const CEntity *> view(const QVector<CEntity> &list)
{
    QVector<const CEntity *> pointers;
    for (const CEntity &entity : list)
        pointers << &entity;
    return pointers;
}

// A lump file by hand (version 7, map revision 99).
QByteArray lumpFile(qint32 headerSize, qint32 index, qint32 length, const QByteArray &text)
{
    return LumpMaps::lumpFile(headerSize, index, 7, length, 99,
                              QByteArray(headerSize - 20, '\0') + text);
}

const QByteArray SampleText =
    raw("{\n\"classname\" \"worldspawn\"\n\"message\" \"a//b\"\n}\n"
        "{\r\n\"origin\" \"1 2 3\"\r\n\"OnTrigger\" \"t,Kill,,0,-1\"\r\n}\n\0");

} // namespace

class TestEntityLump : public QObject
{
    Q_OBJECT

private slots:
    void parses_data();
    void parses();
    void buildsAndReadsBack();
    void insertsAtClampedPositions();
    void normalizes_data();
    void normalizes();
    void readsLumpFiles_data();
    void readsLumpFiles();
    void readsFromDevices();
    void survivesDamagedText();
    void convertsMapSources();
};

void TestEntityLump::parses_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("two blocks, duplicate keys kept")
        << QByteArray(
               "{\n\"classname\" \"light\"\n\"On\" \"a\"\n\"On\" \"b\"\n}\n{\n\"x\" \"1\"\n}\n")
        << "classname=light;On=a;On=b|x=1";
    QTest::newRow("empty values kept")
        << QByteArray("{\n\"a\" \"\"\n\"b\" \" \"\n\"c\"\"\"\n\"\" \"d\"\n}\n") << "a=;b=;c=;=d";
    QTest::newRow("quoted texts starting with //")
        << QByteArray("{\n\"//k\" \"// v\"\n\t\"url\"\t\"//a/b\" \n\"t\" \"//@x\" // c\n}\n")
        << "//k=// v;url=//a/b;t=//@x";
    QTest::newRow("brace on a pair line")
        << QByteArray("{\n{ \"classname\" \"x\"\n\"k\" \"v\" }\n}\n")
        << "{=classname\" \"x;k=\"v\" }";
    QTest::newRow("comments") << QByteArray(
                                     "{ // open\n{\n\"a\" \"b//c\" // d\n// \"e\" \"f\"\n}\n")
                              << "a=b//c";
    QTest::newRow("quoted blanks trimmed") << QByteArray("{\n\" a \" \" 1 2 \"\n}\n") << "a=1 2";
    QTest::newRow("bare words") << QByteArray("{\nkey value more\n}\n") << "key=value more";
    // More than one text after the key: all of it is the value, but a comment.
    QTest::newRow("quotes escaped with backslashes")
        << QByteArray("{\n\"e\" \"a \\\"b\\\" \\\\ c.\"\n\"k\"\t\" 1\" \"2 \" // x\n}\n")
        << "e=a \\\"b\\\" \\\\ c.;k= 1\" \"2 ";
    QTest::newRow("empty, reopened and unclosed blocks dropped")
        << QByteArray("{\n}\n{\n\"a\" \"1\"\n{\n\"b\" \"2\"\n}\n{\n\"c\" \"3\"\n") << "b=2";
    QTest::newRow("stray lines ignored")
        << QByteArray("}\n\"a\" \"1\"\n{\nlone\n\"{\"\n\"b\" \"2\"\n}\n}\n") << "b=2";
    QTest::newRow("CR, CR LF and NUL ends")
        << raw("{\r\"a\" \"1\"\r\n\"b\" \"2\"\0}\0") << "a=1;b=2";
    QTest::newRow("blanks round braces") << QByteArray(" \t{ \n\"a\" \"1\"\n  }\t\n") << "a=1";
    QTest::newRow("Latin-1") << QByteArray("{\n\"k\xe9\" \"\xff\"\n}\n")
                             << QString::fromUtf8("ké=ÿ");
    QTest::newRow("UTF-8 ends in 0x85 and 0xA0")
        << QByteArray("{\n\"\xA0k\" \"\xE5\x86\x85\"\t// c\n\x85 \xC2\xA0x\n}\n")
        << QString::fromLatin1("\xA0k=\xE5\x86\x85;\x85=\xC2\xA0x");
    QTest::newRow("just the NUL") << raw("\0") << "";
    QTest::newRow("quoted values over line ends, their ends kept")
        << QByteArray(
               "{\n\"message\" \"one\ntwo\"\n\"m2\" \"a\r\n b\r\"\n\"ke\ny\"\t\"v\" // c\n}\n")
        << "message=one\ntwo;m2=a\r\n b\r;ke\ny=v";
    QTest::newRow("quote closed only past a NUL opens nothing")
        << raw("{\n\"k\" \"open\n\0\"b\" \"2\"\n}\n") << "k=open;b=2";
    QTest::newRow("quotes in comments and words open nothing")
        << QByteArray("{\n\"a\" \"1\" // it's \"quoted\nb x\"y\n\"c\" \"3\"\n}\n")
        << "a=1;b=x\"y;c=3";
}

void TestEntityLump::parses()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    QCOMPARE(describe(EntityLump::parse(text)), expected);
}

void TestEntityLump::buildsAndReadsBack()
{
    const QVector<CEntity> world = entities(QStringLiteral("classname=worldspawn;mapversion=1"));
    QCOMPARE(EntityLump::build(view(world)),
             raw("{\n\"classname\" \"worldspawn\"\n\"mapversion\" \"1\"\n}\n\0"));
    QCOMPARE(EntityLump::build({}), QByteArray(1, '\0'));

    // One '?' per character above U+00FF, a surrogate pair being one.
    QVector<CEntity> wide(1);
    wide[0].insertKeyValue(QString::fromUtf8("é€"), QString::fromUtf8("a😀b"));
    QCOMPARE(EntityLump::build(view(wide)), raw("{\n\"\xe9?\" \"a?b\"\n}\n\0"));
    // The editor names the first such character; Latin-1 ones it takes.
    QCOMPARE(EntityLump::unstorable(wide[0].pairs()[0].key), QString::fromUtf8("€"));
    QVERIFY(EntityLump::unstorable(QString::fromLatin1("\xe9\xff")).isNull());

    // Order of entities and pairs, empty values and repeats survive.
    const QString list = QStringLiteral("b=2;a=;b=3|classname=light;targetname=l1|c=x y");
    const QByteArray text = EntityLump::build(view(entities(list)));
    QCOMPARE(describe(EntityLump::parse(text)), list);
    QCOMPARE(EntityLump::lumpFileBytes(text), LumpMaps::lumpFile(20, 0, 0, text.size(), 0, text));

    // A value written over lines by another tool, or holding quotes the
    // engine reads no escapes in, comes back as it was read.
    for (const QByteArray &kept :
         {raw("{\n\"classname\" \"game_text\"\n\"message\" \"Line one\r\nline two\n\"\n}\n\0"),
          raw("{\n\"escape_test\" \"a string which \\\"has quotes\\\" and \\\\ in it.\"\n}\n\0"),
          raw("{\n\"\xA0k\" \"voil\xC3\xA0\"\n\"message\" \"\xE5\x86\x85\"\n}\n\0")})
        QCOMPARE(EntityLump::build(view(EntityLump::parse(kept))), kept);
}

void TestEntityLump::insertsAtClampedPositions()
{
    CEntity e;
    e.insertKeyValue(QStringLiteral("b"), QStringLiteral("2"), 5);  // beyond the end: appended
    e.insertKeyValue(QStringLiteral("a"), QStringLiteral("1"), -7); // negative: first
    e.insertKeyValue(QStringLiteral("c"), QStringLiteral("3"), -1); // -1: appended
    e.insertKeyValue(QStringLiteral("a"), QStringLiteral("4"), 1);
    QCOMPARE(pairsText(e), QStringLiteral("a=1;a=4;b=2;c=3"));
}

void TestEntityLump::normalizes_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("given");

    QTest::newRow("three worlds in a row")
        << "x=1|classname=worldspawn;n=1|classname=worldspawn;n=2|classname=worldspawn;n=3|a=1"
        << "x=1;classname=info_null|classname=worldspawn;n=1|a=1;classname=info_null" << true;
    QTest::newRow("letter case is no world")
        << "classname=WorldSpawn|classname=worldspawn|classname=worldspawn"
        << "classname=WorldSpawn|classname=worldspawn" << false;
    QTest::newRow("first classname decides")
        << "classname=worldspawn|classname=light;classname=worldspawn"
        << "classname=worldspawn|classname=light;classname=worldspawn" << false;
}

void TestEntityLump::normalizes()
{
    QFETCH(QString, list);
    QFETCH(QString, expected);
    QFETCH(bool, given);
    QVector<CEntity> records = entities(list);
    QCOMPARE(EntityLump::normalize(records), given);
    QCOMPARE(describe(records), expected);
}

void TestEntityLump::readsLumpFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("read"); // the entities, or the error

    const QByteArray text = raw("{\n\"a\" \"1\"\n}\n\0");
    const int l = text.size();
    QTest::newRow("written form") << lumpFile(20, 0, l, text) << "a=1";
    QTest::newRow("custom size: padding read as empty lines")
        << lumpFile(20, 0, l, text + QByteArray(100, '\0')) << "a=1";
    QTest::newRow("larger header skipped") << lumpFile(28, 0, l, text) << "a=1";
    QTest::newRow("text past the length read")
        << lumpFile(20, 0, 0, text + "{\n\"b\" \"2\"\n}\n") << "a=1|b=2";
    // Bytes without a file name.
    const QString notLump = QString::fromLatin1(E::EntityNotLumpFile).arg("The file");
    QTest::newRow("header size below 20")
        << lumpFile(20, 0, l, text).replace(0, 1, "\x13") << E::EntityStartOfData;
    const QString cut = QString::fromLatin1(E::EntityLumpFileCut).arg("The file");
    QTest::newRow("one byte short") << lumpFile(20, 0, l + 1, text) << cut.arg(l + 1).arg(l);
    QTest::newRow("negative length") << lumpFile(20, 0, -1, text) << notLump;
    QTest::newRow("sum past 32 bits")
        << lumpFile(20, 0, 0x7ffffff0, text) << cut.arg(0x7ffffff0).arg(l);
    QTest::newRow("header past the end")
        << LumpMaps::lumpFile(40, 0, 7, 0, 99, text.left(5)) << notLump;
    QTest::newRow("shorter than a header") << QByteArray(12, '\0') << notLump;
    QTest::newRow("lump index 40") << lumpFile(20, 40, l, text) << E::NotEntityLump;
}

void TestEntityLump::readsLumpFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, read);
    QVector<CEntity> list;
    QString error;
    const bool ok = EntityLump::readLumpFile(file, list, error);
    QCOMPARE(ok ? describe(list) : error, read);
    QVERIFY(ok ? error.isEmpty() : list.isEmpty());
}

// The window reads files through these; whole files are read in its tests.
void TestEntityLump::readsFromDevices()
{
    // From the device's position up to the end position, where it is left.
    QByteArray bytes = "junk" + raw("{\n\"a\" \"1\"\n}\n{\n\"b\" \"2\"\n}\n\0");
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly) && buffer.seek(4));
    QCOMPARE(describe(EntityLump::parse(&buffer, 4 + 12)), QStringLiteral("a=1"));
    QCOMPARE(buffer.pos(), qint64(16));
    // An end past the data reads to the device's end.
    QCOMPARE(describe(EntityLump::parse(&buffer, 1 << 30)), QStringLiteral("b=2"));
}

void TestEntityLump::survivesDamagedText()
{
    const auto parse = [](const QByteArray &bytes) { EntityLump::parse(bytes); };
    Fuzz::truncations(SampleText, parse);
    Fuzz::byteFlips(SampleText, 400, 28, parse);
    const QByteArray file = lumpFile(20, 0, SampleText.size(), SampleText);
    const auto read = [](const QByteArray &bytes) {
        QVector<CEntity> list;
        QString error;
        EntityLump::readLumpFile(bytes, list, error);
    };
    Fuzz::truncations(file, read);
    Fuzz::byteFlips(file, 400, 29, read);
}

void TestEntityLump::convertsMapSources()
{
    const QVector<CEntity> list = entities(QStringLiteral(
        "classname=WORLDSPAWN;skyname=sky;OnMapSpawn=a,b,c,d,e;OnNewGame=r\033Use\033p,q\0330\033-1"
        "|classname=func_door;model=*1;OnOpen=x,y,z,0,-1"
        "|classname=prop;model=models/a.mdl;c1=a,b;c3=a,b,c,d;c4=a,b,c,d,e;c5=a,b,c,d,e,f"
        ";e4=t\033Kill\033\0330\033-1;e5=\033\033\033\033\033"
        "|classname=x;MODEL=*"));
    const CFileVMF doc = EntityMapSource::toDocument(view(list), {QStringLiteral("model")});
    const auto bytes = [](const char *text) { return QByteArray(text).split(' ').toVector(); };
    QCOMPARE(doc.world.keyValues, bytes("classname WORLDSPAWN skyname sky"));
    QCOMPARE(doc.world.connections,
             bytes("OnMapSpawn a,b,c,d,e OnNewGame r\033Use\033p,q\0330\033-1"));
    QCOMPARE(doc.entities.size(), 1);
    const VMFEntity &prop = doc.entities[0];
    QCOMPARE(prop.body.keyValues,
             bytes("classname prop model models/a.mdl c1 a,b c3 a,b,c,d c5 a,b,c,d,e,f e5 "
                   "\033\033\033\033\033"));
    QCOMPARE(prop.body.connections, bytes("c4 a,b,c,d,e e4 t\033Kill\033\0330\033-1"));
}

QTEST_GUILESS_MAIN(TestEntityLump)
#include "tst_entitylump.moc"
