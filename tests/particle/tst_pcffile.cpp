#include "CFilePCF.h"
#include "CSaveFile.h"
#include "DMXAttribute.h"
#include "DMXElement.h"
#include "DmxBuild.h"
#include "FileBytes.h"
#include "Fuzz.h"
#include "PCFDelegate.h"
#include "PcfBuilder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

namespace {

using Document = std::unique_ptr<CFilePCF>;

Document readBytes(const QByteArray &bytes, QString *error = nullptr, bool *ok = nullptr)
{
    Document document(new CFilePCF);
    PCFDelegate delegate;
    const bool success = delegate.readData(bytes, document.get());
    if (error)
        *error = delegate.error();
    if (ok)
        *ok = success;
    return document;
}

// The start of a small file: header, a dictionary of the names these cases
// use, the element headers (root, then systems "sys").
PcfBuilder smallStart(int encoding, int elementCount = 2,
                      const QList<QByteArray> &names = {"value", "child"})
{
    PcfBuilder b(encoding);
    b.header();
    QList<QByteArray> dictionary{"DmElement", "particleSystemDefinitions",
                                 "DmeParticleSystemDefinition"};
    dictionary << names;
    if (b.indexed())
        dictionary << "root"
                   << "sys";
    b.dictionary(dictionary);
    b.i32(elementCount);
    b.element("DmElement", "root", 0);
    for (int i = 1; i < elementCount; ++i)
        b.element("DmeParticleSystemDefinition", "sys", i);
    return b;
}

// Root body with the system list [1].
void rootBody(PcfBuilder &b)
{
    b.i32(1);
    b.attribute("particleSystemDefinitions", 15).i32(1).i32(1);
}

// A file of several MiB, longer than what the reader takes from a file at a
// time: a system with a long name (inline or in the dictionary), a long
// BINARY and STRING, and many small operators whose records straddle every
// boundary.
QByteArray largeFile(int encoding)
{
    const QByteArray longName(1200 * 1000, 'n');
    const QByteArray text(300 * 1000, 't');
    QByteArray binary(1536 * 1024, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char(i * 7);
    const int operators = 40000;
    PcfBuilder b(encoding);
    b.header();
    QList<QByteArray> dictionary = PcfFixture::rootAndSystem(b, longName);
    dictionary << "binary"
               << "text";
    if (b.indexed())
        dictionary << text;
    dictionary << "operators"
               << "DmeParticleOperator";
    if (b.indexed())
        dictionary << "op";
    dictionary << "rate";
    b.dictionary(dictionary);
    b.i32(2 + operators);
    b.element("DmElement", "root", 0);
    b.element("DmeParticleSystemDefinition", longName, 1);
    for (int i = 0; i < operators; ++i)
        b.element("DmeParticleOperator", "op", 2 + i);
    rootBody(b);
    b.i32(3);
    b.attribute("binary", 6).i32(binary.size()).bytes(binary);
    b.attribute("text", 5).text(text);
    b.attribute("operators", 15).i32(operators);
    for (int i = 0; i < operators; ++i)
        b.i32(2 + i);
    for (int i = 0; i < operators; ++i)
        b.i32(1).attribute("rate", 3).f32(float(i));
    return b.data();
}

// A root as the engine's own editor writes it ("editorType" before the
// system list), a "DmeParticleChild" whose child is the null reference -1 and
// an "operators" list holding it as an item.
QByteArray editorRootFile(int encoding)
{
    PcfBuilder b(encoding);
    QList<QByteArray> dictionary =
        QByteArray("DmElement root editorType pet particleSystemDefinitions "
                   "DmeParticleSystemDefinition fire children operators DmeParticleChild "
                   "smoke delay child")
            .split(' ');
    // Element names and texts stand inline outside encoding 3.
    for (const char *text : {"root", "pet", "fire", "smoke"}) {
        if (!b.indexed())
            dictionary.removeOne(text);
    }
    b.header().dictionary(dictionary);
    b.i32(3).element("DmElement", "root", 0).element("DmeParticleSystemDefinition", "fire", 1);
    b.element("DmeParticleChild", "smoke", 2);
    b.i32(2).attribute("editorType", 5).text("pet");
    b.attribute("particleSystemDefinitions", 15).i32(1).i32(1);
    b.i32(2).attribute("children", 15).i32(1).i32(2).attribute("operators", 15).i32(1).i32(-1);
    b.i32(2).attribute("delay", 3).f32(0).attribute("child", 1).i32(-1);
    return b.data();
}

float asFloat(const DMXAttribute *attribute)
{
    return *static_cast<const float *>(attribute->value());
}

} // namespace

class TestPcfFile : public QObject
{
    Q_OBJECT

private slots:
    void everyTypeRoundTrip_data();
    void everyTypeRoundTrip();
    void everyTypeValues();
    void stringArrayReadInEncoding3();
    void roundTripThroughFile();
    void largeFileThroughFile_data();
    void largeFileThroughFile();
    void readErrors_data();
    void readErrors();
    void headerVariants();
    void rootWithoutAttributes();
    void trimmedDictionaryStrings();
    void ownershipOfDamagedReferences();
    void childLinksDoNotOwn();
    void writeErrors_data();
    void writeErrors();
    void failedWriteKeepsOldFile();
    void dictionaryLimit_data();
    void dictionaryLimit();
    void writeFollowsRequestedVersion();
    void timeTicks_data();
    void timeTicks();
    void robustness_data();
    void robustness();
};

void TestPcfFile::everyTypeRoundTrip_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("fixture");
    QTest::addColumn<int>("elements");
    QTest::addColumn<int>("systemAttributes");
    QTest::addColumn<QString>("system");
    const char *const names[] = {"binary 2 pcf 1", "binary 3 pcf 2", "binary 4 pcf 2"};
    for (int encoding = 1; encoding <= 3; ++encoding) {
        QTest::newRow(names[encoding - 1])
            << encoding << PcfFixture::everyTypeFile(encoding) << 4
            << PcfFixture::everyType(encoding).size() << QStringLiteral("sys");
        QTest::addRow("editor root, null references, %s", names[encoding - 1])
            << encoding << editorRootFile(encoding) << 3 << 2 << QStringLiteral("fire");
    }
}

void TestPcfFile::everyTypeRoundTrip()
{
    QFETCH(int, encoding);
    QFETCH(QByteArray, fixture);
    QFETCH(int, elements);
    QFETCH(int, systemAttributes);
    QFETCH(QString, system);
    QString error;
    bool ok = false;
    Document document = readBytes(fixture, &error, &ok);
    QVERIFY2(ok, qPrintable(error));
    QCOMPARE(document->format, encoding);
    QCOMPARE(document->elements.size(), elements);
    QCOMPARE(document->elements[1]->attributes.size(), systemAttributes);
    QCOMPARE(document->findParticleSystem(system), document->elements[1]);

    PCFDelegate delegate;
    QByteArray written;
    QVERIFY2(delegate.writeData(document.get(), encoding, &written), qPrintable(delegate.error()));
    QCOMPARE(written.toHex(), fixture.toHex());
    QVERIFY(delegate.error().isEmpty());
}

void TestPcfFile::everyTypeValues()
{
    Document document = readBytes(PcfFixture::everyTypeFile(2));
    QCOMPARE(document->elements.size(), 4);
    DMXElement *root = document->elements[0];
    DMXElement *system = document->elements[1];
    QCOMPARE(root->type, QStringLiteral("DmElement"));
    QCOMPARE(root->name, QStringLiteral("root"));
    QCOMPARE(system->name, QStringLiteral("sys"));
    // data1 to data3 are stored little-endian.
    QCOMPARE(root->guid.toRfc4122().toHex(), QByteArray("03020100050407060809") + "0a0b0c0d0e0f");
    QCOMPARE(document->findParticleSystem(QStringLiteral("sys")), system);

    auto at = [&](const char *name) { return system->attribute(QString::fromLatin1(name)); };
    QCOMPARE(at("element")->element(), document->elements[2]);
    QVERIFY(at("element")->ownsValue());
    QCOMPARE(at("element_array")->elementList()->value(0), document->elements[3]);
    QCOMPARE(*static_cast<qint32 *>(at("integer")->value()), -123456);
    QCOMPARE(asFloat(at("float")), 1.5f);
    QCOMPARE(*static_cast<bool *>(at("boolean")->value()), true);
    QCOMPARE(*static_cast<QString *>(at("string")->value()), QStringLiteral("sys"));
    QCOMPARE(*static_cast<DMXBinary *>(at("binary")->value()), QByteArray("\x0A\xFF\x00", 3));
    QCOMPARE(asFloat(at("time")), 1.2345f);
    QCOMPARE(*static_cast<DMXColor *>(at("color")->value()), (DMXColor{{1, 2, 3, 4}}));
    QCOMPARE(at("matrix")->valueString(),
             QStringLiteral("0 0.5 1 1.5 2 2.5 3 3.5 4 4.5 5 5.5 6 6.5 7 7.5"));
    QCOMPARE(at("qangle")->valueString(), QStringLiteral("90 180 -45"));
    const DMXValueList *times = at("time_array")->valueList();
    QCOMPARE(times->size(), 2);
    QCOMPARE(*static_cast<float *>(times->at(1)), 1.2352f);
    const DMXValueList *binaries = at("binary_array")->valueList();
    QCOMPARE(static_cast<DMXBinary *>(binaries->at(1))->size(), 4);
    const DMXValueList *strings = at("string_array")->valueList();
    QCOMPARE(*static_cast<QString *>(strings->at(1)), QStringLiteral("b"));
}

void TestPcfFile::stringArrayReadInEncoding3()
{
    // Encoding 3 reads STRING_ARRAY items as dictionary indices, but no
    // writer of it keeps them.
    PcfBuilder b = smallStart(3);
    rootBody(b);
    b.i32(1).attribute("value", 19).i32(2).u16(b.index("sys")).u16(b.index("child"));
    QString error;
    bool ok = false;
    Document document = readBytes(b.data(), &error, &ok);
    QVERIFY2(ok, qPrintable(error));
    const DMXValueList *items = document->elements[1]->attributes[0]->valueList();
    QCOMPARE(*static_cast<QString *>(items->at(1)), QStringLiteral("child"));

    PCFDelegate delegate;
    QByteArray out;
    QVERIFY(!delegate.writeData(document.get(), 3, &out));
    QCOMPARE(
        delegate.error(),
        QStringLiteral(
            "Write Error: ATTRIBUTE_STRING_ARRAY not yet supported for format Binary 4 PCF 2"));
    // The other encodings write them inline.
    QVERIFY(delegate.writeData(document.get(), 2, &out));
}

void TestPcfFile::roundTripThroughFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("every.pcf"));
    const QByteArray fixture = PcfFixture::everyTypeFile(3);
    QVERIFY(writeFile(path, fixture));
    CFilePCF document;
    PCFDelegate delegate;
    QVERIFY(delegate.read(path, &document));
    const QString out = dir.filePath(QStringLiteral("out.pcf"));
    QVERIFY(delegate.write(out, &document, document.format));
    QCOMPARE(readFile(out).toHex(), fixture.toHex());

    // The document class itself goes the same way.
    QString error;
    std::unique_ptr<CFilePCF> loaded(CFilePCF::fromByteArray(fixture, error));
    QVERIFY2(loaded, qPrintable(error));
    QByteArray again;
    QVERIFY(loaded->write(&again));
    QCOMPARE(again.toHex(), fixture.toHex());

    QVERIFY(!delegate.read(dir.filePath(QStringLiteral("missing.pcf")), &document));
    QCOMPARE(delegate.error(), QStringLiteral("Read Error: Unable to open file"));
}

void TestPcfFile::largeFileThroughFile_data()
{
    QTest::addColumn<int>("encoding");
    QTest::newRow("binary 2 pcf 1") << 1;
    QTest::newRow("binary 4 pcf 2") << 3;
}

void TestPcfFile::largeFileThroughFile()
{
    // Read from a file a chunk at a time and written a chunk at a time, the
    // file comes back byte for byte.
    QFETCH(int, encoding);
    const QByteArray fixture = largeFile(encoding);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.pcf"));
    QVERIFY(writeFile(path, fixture));
    PCFDelegate delegate;
    CFilePCF document;
    QVERIFY2(delegate.read(path, &document), qPrintable(delegate.error()));
    QCOMPARE(document.elements.size(), 40002);
    const QString out = dir.filePath(QStringLiteral("out.pcf"));
    QVERIFY2(delegate.write(out, &document, encoding), qPrintable(delegate.error()));
    QVERIFY(readFile(out) == fixture);

    // A file cut anywhere, within a long record or between chunks, fails as
    // the same bytes held in memory do.
    for (int cut = 37; cut < fixture.size(); cut += fixture.size() / 29 + 4099) {
        const QByteArray prefix = fixture.left(cut);
        QString expected;
        bool ok = true;
        readBytes(prefix, &expected, &ok);
        QVERIFY(!ok);
        QVERIFY(writeFile(path, prefix));
        CFilePCF cutDocument;
        QVERIFY(!delegate.read(path, &cutDocument));
        QCOMPARE(delegate.error(), expected);
    }
}

void TestPcfFile::readErrors_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("format");
    const auto row = [](const char *name, const PcfBuilder &b, const char *message) {
        QTest::newRow(name) << b.data() << QString::fromLatin1(message) << b.encoding();
    };
    const auto root = [](int encoding) {
        PcfBuilder b(encoding);
        b.header().dictionary({"DmElement"});
        return b;
    };
    // A file whose root lists the system, up to the system's body.
    const auto system = [](int encoding) {
        PcfBuilder b = smallStart(encoding);
        rootBody(b);
        return b;
    };
    const QString unrecognized = QStringLiteral("Read Error: Invalid or unrecognized format");
    const char *const end = "Read Error: Unexpected end of file";

    QTest::newRow("empty file") << QByteArray() << unrecognized << 0;
    QTest::newRow("unknown header")
        << QByteArray("<!-- dmx encoding keyvalues2 1 format pcf 1 -->\n\0", 50) << unrecognized
        << 0;
    row("dmx 1 header", PcfBuilder(-1).header().u16(1).cstring("DmElement"),
        "Read Error: Format recognized but not supported");
    row("empty dictionary", PcfBuilder(1).header().u16(0), "Read Error: Empty string dictionary");
    row("negative dictionary", PcfBuilder(3).header().i32(-2),
        "Read Error: Invalid string dictionary size");
    row("huge dictionary", PcfBuilder(3).header().i32(0x7FFFFFFF).cstring("a"), end);
    row("string without NUL",
        PcfBuilder(1).header().u16(2).cstring("DmElement").bytes("unterminated"), end);
    row("no elements", root(2).i32(0), "Read Error: Empty element array");
    row("negative elements", root(2).i32(-1), "Read Error: Invalid element count");
    row("huge element count", root(2).i32(0x10000000).element("DmElement", "root", 0), end);
    row("type index", root(1).i32(1).u16(1).cstring("root").guid(0).i32(0),
        "Read Error: Element type name index out of bounds");
    row("name index", root(3).i32(1).u16(0).u16(0xFFFF).guid(0).i32(0),
        "Read Error: Element name index out of bounds");
    row("attribute name index", smallStart(1).i32(1).u16(77).u8(2).i32(0),
        "Read Error: Attribute name index out of bounds");
    row("element position past the end",
        smallStart(2).i32(1).attribute("particleSystemDefinitions", 15).i32(1).i32(2),
        "Read Error: Element index out of bounds");
    // -1 is the null reference; no other negative position is.
    row("negative element position", system(2).i32(1).attribute("value", 1).i32(-2),
        "Read Error: Element index out of bounds");
    row("negative element item", system(3).i32(1).attribute("value", 15).i32(2).i32(-1).i32(-3),
        "Read Error: Element index out of bounds");
    row("string index", system(3).i32(1).attribute("value", 5).u16(9),
        "Read Error: String index out of bounds");
    row("string array index", system(3).i32(1).attribute("value", 19).i32(1).u16(9),
        "Read Error: String index out of bounds");
    row("unknown type code",
        system(1).i32(2).attribute("value", 2).i32(5).attribute("value", 40).i32(0),
        "ERROR: Unable to set value: Element: 1 Attribute: 1");
    row("first attribute misnamed",
        smallStart(1).i32(1).attribute("value", 15).i32(1).i32(1).i32(0),
        "Read Error: Unexpected attribute");
    row("first attribute not a list",
        smallStart(1).i32(1).attribute("particleSystemDefinitions", 1).i32(1).i32(0),
        "Read Error: Unexpected attribute");
    row("negative attribute count", smallStart(1).i32(-3), "Read Error: Invalid count");
    row("negative array count", system(1).i32(1).attribute("value", 16).i32(-1),
        "Read Error: Invalid count");
    row("negative binary size", system(1).i32(1).attribute("value", 6).i32(-1),
        "Read Error: Invalid count");
    row("huge array count", system(1).i32(1).attribute("value", 28).i32(0x7FFFFFFF).f32(1), end);
    row("huge binary size", system(1).i32(1).attribute("value", 6).i32(0x7FFFFFF0).u8(1), end);
    row("huge attribute count", system(1).i32(0x7FFFFFFF).attribute("value", 2), end);
    row("short matrix", system(1).i32(1).attribute("value", 14).f32(1).f32(2), end);
    // Large announced element lists over a short file fail before anything
    // is reserved, in every encoding.
    row("huge element list 1", system(1).i32(1).attribute("value", 15).i32(0x7FFFFFFF), end);
    row("huge element list 2", system(2).i32(1).attribute("value", 15).i32(0x7FFFFFFF), end);
    row("huge element list 3", system(3).i32(1).attribute("value", 15).i32(0x7FFFFFFF), end);
}

void TestPcfFile::readErrors()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(int, format);
    QString error;
    bool ok = true;
    Document document = readBytes(bytes, &error, &ok);
    QVERIFY(!ok);
    QCOMPARE(error, message);
    QCOMPARE(document->format, format);
}

void TestPcfFile::headerVariants()
{
    // White space around the header text is trimmed before it is compared.
    for (const QByteArray &tail : {QByteArray("  \r\n"), QByteArray("\n")}) {
        PcfBuilder b(2);
        b.bytes("  " + PcfBuilder::headerText(2) + tail).u8(0);
        b.dictionary({"DmElement", "particleSystemDefinitions"});
        b.i32(1).element("DmElement", "root", 0);
        b.i32(1).attribute("particleSystemDefinitions", 15).i32(0);
        QString error;
        bool ok = false;
        Document document = readBytes(b.data(), &error, &ok);
        QVERIFY2(ok, qPrintable(error));
        QCOMPARE(document->format, 2);
    }
}

void TestPcfFile::rootWithoutAttributes()
{
    PcfBuilder b(1);
    b.header().dictionary({"DmElement"});
    b.i32(1).element("DmElement", "root", 0).i32(0);
    bool ok = false;
    Document document = readBytes(b.data(), nullptr, &ok);
    QVERIFY(ok);
    QVERIFY(!document->systemList());
    QVERIFY(!document->findParticleSystem(QStringLiteral("root")));
}

void TestPcfFile::trimmedDictionaryStrings()
{
    PcfBuilder b(1);
    // A name in UTF-8 ending in C3 A0 or E5 86 85 keeps its last byte.
    b.header().dictionary({" DmElement ", "particleSystemDefinitions\t", "DmElement\xC3\xA0"});
    b.i32(1).u16(2).cstring("  root\xE5\x86\x85 ").guid(0);
    b.i32(1).u16(1).u8(15).i32(0);
    Document document = readBytes(b.data());
    QCOMPARE(document->strings, (QStringList{"DmElement", "particleSystemDefinitions",
                                             QString::fromLatin1("DmElement\xC3\xA0")}));
    QCOMPARE(document->elements[0]->name, QString::fromLatin1("root\xE5\x86\x85"));
    QCOMPARE(document->elements[0]->typeIndex, quint16(2));
    QCOMPARE(document->stringCount, 3);
}

void TestPcfFile::ownershipOfDamagedReferences()
{
    // The system list names element 1 twice; element 1 owns itself and the
    // root; elements 2 and 3 own each other. Each element must still be freed
    // once, and the file writes back unchanged.
    PcfBuilder b = smallStart(1, 4, {"value"});
    b.i32(1).attribute("particleSystemDefinitions", 15).i32(2).i32(1).i32(1);
    b.i32(2).attribute("value", 1).i32(1).attribute("value", 15).i32(1).i32(0);
    b.i32(1).attribute("value", 1).i32(3);
    b.i32(1).attribute("value", 1).i32(2);
    const QByteArray bytes = b.data();

    QString error;
    bool ok = false;
    Document document = readBytes(bytes, &error, &ok);
    QVERIFY2(ok, qPrintable(error));
    const QList<DMXElement *> &elements = document->elements;
    QVERIFY(!elements[0]->attributes[0]->ownsValue());
    QVERIFY(!elements[1]->attributes[0]->ownsValue());
    QVERIFY(!elements[1]->attributes[1]->ownsValue());
    QVERIFY(elements[2]->attributes[0]->ownsValue() != elements[3]->attributes[0]->ownsValue());

    PCFDelegate delegate;
    QByteArray out;
    QVERIFY(delegate.writeData(document.get(), 1, &out));
    QCOMPARE(out.toHex(), bytes.toHex());

    // The walks end on the cycles.
    QCOMPARE(elements[2]->flattenTree().size(), 2);
    std::unique_ptr<DMXElement> copy(elements[2]->clone());
    QCOMPARE(copy->attributes[0]->element()->attributes[0]->element(), copy.get());
    elements[1]->renewGuid(true);
    QVERIFY(document->removeElement(elements[2], true));
    QCOMPARE(document->elements.size(), 2);
}

void TestPcfFile::childLinksDoNotOwn()
{
    PcfBuilder b = smallStart(1, 3);
    b.i32(1).attribute("particleSystemDefinitions", 15).i32(2).i32(1).i32(2);
    b.i32(2).attribute("child", 1).i32(2).attribute("value", 1).i32(2);
    b.i32(0);
    Document document = readBytes(b.data());
    const DMXElement *system = document->elements[1];
    QVERIFY(!system->attribute(QStringLiteral("child"))->ownsValue());
    // The list claimed element 2 first; the later owning reference is plain.
    QVERIFY(!system->attribute(QStringLiteral("value"))->ownsValue());
    QVERIFY(document->elements[0]->attributes[0]->ownsValue());
}

void TestPcfFile::writeErrors_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("message");
    QTest::newRow("version 0") << 0 << 0 << "Write Error: Invalid version specified";
    QTest::newRow("version 7") << 0 << 7 << "Write Error: Invalid version specified";
    QTest::newRow("type 0") << 1 << 2
                            << "Write Error: Attribute of unknown type: Element: 1   Attribute: 1";
    QTest::newRow("unreferenced element")
        << 2 << 2 << "Write Error: Unreferenced element: Element: 1   Attribute: 1";
    QTest::newRow("unreferenced item")
        << 3 << 1 << "Write Error: Unreferenced element: Element: 1    Attribute: 1   Item: 1";
}

void TestPcfFile::writeErrors()
{
    QFETCH(int, fault);
    QFETCH(int, version);
    QFETCH(QString, message);
    DMXElement unlisted;
    Document document(newDmxRoot(2));
    DMXElement *system = DmxBuild::addSystem(
        document.get(), DmxBuild::element(QStringLiteral("DmeParticleSystemDefinition"), "sys"));
    DmxBuild::add(system, "value", ATTRIBUTE_INTEGER, new qint32(3));
    if (fault == 1) {
        system->attributes.append(new DMXAttribute);
        system->attributes.last()->setName(QStringLiteral("faulty"));
    } else if (fault == 2) {
        DmxBuild::add(system, "faulty", ATTRIBUTE_ELEMENT, new DMXElement);
    } else if (fault == 3) {
        DmxBuild::add(system, "faulty", ATTRIBUTE_ELEMENT_ARRAY,
                      new DMXElementList{system, &unlisted}, false);
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.pcf"));
    PCFDelegate delegate;
    QVERIFY(!delegate.write(path, document.get(), version));
    QCOMPARE(delegate.error(), message);
    QVERIFY(!QFile::exists(path));

    QVERIFY(!delegate.write(path, nullptr, 1));
    QCOMPARE(delegate.error(), QStringLiteral("Write Error: No data specified"));
}

void TestPcfFile::failedWriteKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.pcf"));
    QVERIFY(writeFile(path, "old contents"));
    Document document(newDmxRoot(1));
    auto *broken = new DMXAttribute;
    broken->setName(QStringLiteral("broken"));
    document->root()->attributes.append(broken);
    PCFDelegate delegate;
    QVERIFY(!delegate.write(path, document.get(), 1));
    QCOMPARE(readFile(path), QByteArray("old contents"));

    // A target whose folder takes no temporary file: the folder is named.
    document->root()->attributes.removeAt(document->root()->attributes.size() - 1);
    delete broken;
    const QString missing = dir.filePath(QStringLiteral("missing/x.pcf"));
    QVERIFY(!delegate.write(missing, document.get(), 1));
    QCOMPARE(delegate.error(), CSaveFile::folderMessage(missing));
    // A later success keeps the last failure's text.
    QVERIFY(delegate.write(path, document.get(), 1));
    QCOMPARE(delegate.error(), CSaveFile::folderMessage(missing));
}

void TestPcfFile::dictionaryLimit_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("entries");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("encoding 1, 32767") << 1 << 32767 << true;
    QTest::newRow("encoding 2, 32768") << 2 << 32768 << false;
    QTest::newRow("encoding 3, 65536") << 3 << 65536 << true;
    QTest::newRow("encoding 3, 65537") << 3 << 65537 << false;
}

void TestPcfFile::dictionaryLimit()
{
    QFETCH(int, version);
    QFETCH(int, entries);
    QFETCH(bool, accepted);
    // The root's type and its list's name, then one attribute name each.
    Document document(newDmxRoot(version));
    for (int i = 2; i < entries; ++i)
        DmxBuild::add(document->root(), QString::number(i), ATTRIBUTE_INTEGER, new qint32(i));
    if (version == 3)
        document->root()->name = QStringLiteral("2");
    PCFDelegate delegate;
    QByteArray out;
    QCOMPARE(delegate.writeData(document.get(), version, &out), accepted);
    if (!accepted)
        QCOMPARE(delegate.error(),
                 QStringLiteral("Write Error: String dictionary contains too many entries"));
    else
        QCOMPARE(document->strings.size(), entries);
}

void TestPcfFile::writeFollowsRequestedVersion()
{
    // A document read as encoding 3, written as encoding 1: names and strings
    // inline and a u16 dictionary size, whatever `format` says.
    Document document = readBytes(PcfFixture::everyTypeFile(3));
    QVERIFY(document->elements[1]->attribute(QStringLiteral("string")));
    DMXAttribute *stringArray = document->elements[1]->attribute(QStringLiteral("string_array"));
    QVERIFY(!stringArray);
    auto *items =
        new DMXValueList{new QString(QStringLiteral("a")), new QString(QStringLiteral("b"))};
    auto *added = new DMXAttribute;
    added->setName(QStringLiteral("string_array"));
    added->setValue(ATTRIBUTE_STRING_ARRAY, items);
    // Put it where the encoding 1 fixture has it: after "string".
    DMXElement *system = document->elements[1];
    system->attributes.insert(
        system->attributes.indexOf(system->attribute(QStringLiteral("string"))) + 14, added);
    PCFDelegate delegate;
    QByteArray out;
    QVERIFY2(delegate.writeData(document.get(), 1, &out), qPrintable(delegate.error()));
    QCOMPARE(out.toHex(), PcfFixture::everyTypeFile(1).toHex());
    QCOMPARE(document->format, 3);
}

void TestPcfFile::timeTicks_data()
{
    QTest::addColumn<float>("seconds");
    QTest::addColumn<qint32>("ticks");
    QTest::newRow("0.12345") << 0.12345f << 1234;
    QTest::newRow("-0.00005") << -0.00005f << 0;
    QTest::newRow("0.0007") << 0.0007f << 7;
    QTest::newRow("1.2345") << 1.2345f << 12345;
    QTest::newRow("-2.5") << -2.5f << -25000;
    QTest::newRow("0.3") << 0.3f << 3000;
}

void TestPcfFile::timeTicks()
{
    QFETCH(float, seconds);
    QFETCH(qint32, ticks);
    Document document(newDmxRoot(1));
    DmxBuild::add(document->root(), "t", ATTRIBUTE_TIME, new float(seconds));
    PCFDelegate delegate;
    QByteArray out;
    QVERIFY(delegate.writeData(document.get(), 1, &out));
    qint32 written = 0;
    std::memcpy(&written, out.constData() + out.size() - 4, 4);
    QCOMPARE(qFromLittleEndian(written), ticks);

    // What is read back is written back unchanged, save after save.
    Document again = readBytes(out);
    QByteArray second;
    QVERIFY(delegate.writeData(again.get(), 1, &second));
    QCOMPARE(second.toHex(), out.toHex());
}

void TestPcfFile::robustness_data()
{
    everyTypeRoundTrip_data();
}

void TestPcfFile::robustness()
{
    QFETCH(int, encoding);
    QFETCH(QByteArray, fixture);
    // The intact system is the conversion's template.
    const Document reference = readBytes(fixture);
    const DMXElement *model = reference->elements[1];
    int successes = 0;
    auto load = [&](const QByteArray &bytes) {
        bool ok = false;
        QString error;
        Document document = readBytes(bytes, &error, &ok);
        if (!ok) {
            QVERIFY(!error.isEmpty());
            return;
        }
        ++successes;
        // Whatever reads must write (or refuse cleanly) and be freed once.
        PCFDelegate delegate;
        QByteArray out;
        if (!delegate.writeData(document.get(), encoding, &out))
            QVERIFY(!delegate.error().isEmpty());
        document->elements.value(0)->flattenTree();
        // The other walks over a damaged graph end and free what they make.
        if (DMXElementList *systems = document->systemList()) {
            QList<DMXElement *> copies;
            if (document->copySystems(*systems, &copies))
                qDeleteAll(copies);
        }
        QVERIFY(delegate.convert(document.get(), encoding, model).isNull());
        if (!delegate.writeData(document.get(), encoding, &out))
            QVERIFY(!delegate.error().isEmpty());
    };
    Fuzz::truncations(fixture, load);
    // Every prefix is short of something.
    QCOMPARE(successes, 0);
    Fuzz::byteFlips(fixture, 600, 1000 + quint32(encoding), load);
}

QTEST_GUILESS_MAIN(TestPcfFile)
#include "tst_pcffile.moc"
