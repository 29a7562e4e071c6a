#include "CFilePCF.h"
#include "DmxBuild.h"
#include "PCFDelegate.h"
#include "PcfBuilder.h"

#include <QtTest>

#include <memory>

using namespace DmxBuild;

namespace {

const QString systemType = QStringLiteral("DmeParticleSystemDefinition");
const QString operatorType = QStringLiteral("DmeParticleOperator");

// The template system "default": scalars, operator lists, an emitter element
// and an empty "children" list.
DMXElement *templateSystem()
{
    DMXElement *t = element(systemType, QStringLiteral("default"));
    add(t, QStringLiteral("max_particles"), ATTRIBUTE_INTEGER, new qint32(1000));
    addFloat(t, QStringLiteral("radius"), 5);
    add(t, QStringLiteral("color"), ATTRIBUTE_COLOR, new DMXColor{{255, 255, 255, 255}});
    DMXElement *decay = element(operatorType, QStringLiteral("Lifespan Decay"));
    addFloat(decay, QStringLiteral("fade"), 1);
    DMXElement *movement = element(operatorType, QStringLiteral("Movement Basic"));
    addList(t, QStringLiteral("operators"), {decay, movement});
    addList(t, QStringLiteral("renderers"), {});
    addList(t, QStringLiteral("children"), {});
    DMXElement *emitter = element(QStringLiteral("DmeEmitter"), QStringLiteral("emit"));
    addFloat(emitter, QStringLiteral("rate"), 10);
    add(t, QStringLiteral("emitter"), ATTRIBUTE_ELEMENT, emitter);
    add(t, QStringLiteral("tags"), ATTRIBUTE_STRING_ARRAY, new DMXValueList);
    return t;
}

struct Converted
{
    std::unique_ptr<CFilePCF> document{newDmxRoot(1)};
    DMXElement *system = nullptr;
    DMXElement *other = nullptr;
    DMXElement *keptOperator = nullptr;
    DMXElement *droppedOperator = nullptr;
    DMXElement *emitter = nullptr;
    DMXElement *withChild = nullptr;
    DMXElement *typedDelay = nullptr;
};

// A system with one case of every rule.
void build(Converted &c)
{
    CFilePCF *document = c.document.get();
    c.other = addSystem(document, element(systemType, QStringLiteral("other")));

    DMXElement *s = element(systemType, QStringLiteral("smoke"));
    add(s, QStringLiteral("radius"), ATTRIBUTE_INTEGER, new qint32(3)); // wrong type
    addFloat(s, QStringLiteral("bogus"), 1);                            // unknown
    add(s, QStringLiteral("max_particles"), ATTRIBUTE_INTEGER, new qint32(7));

    c.keptOperator = element(operatorType, QStringLiteral("Lifespan Decay"));
    add(c.keptOperator, QStringLiteral("junk"), ATTRIBUTE_STRING, new QString("x"));
    c.droppedOperator = element(operatorType, QStringLiteral("Unknown Operator"));
    add(c.droppedOperator, QStringLiteral("sub"), ATTRIBUTE_ELEMENT,
        element(QStringLiteral("DmElement"), QStringLiteral("owned by dropped")));
    DMXElement *wrongType = element(QStringLiteral("DmeOther"), QStringLiteral("Movement Basic"));
    addList(s, QStringLiteral("operators"), {c.keptOperator, c.droppedOperator, wrongType});

    c.withChild = childEntry(c.other);
    DMXElement *noChild = element(QStringLiteral("DmeParticleChild"), QStringLiteral("lost"));
    addFloat(noChild, QStringLiteral("delay"), 2);
    DMXElement *notAChild = element(QStringLiteral("DmElement"), QStringLiteral("stranger"));
    c.typedDelay = childEntry(c.other);
    add(c.typedDelay, QStringLiteral("delay"), ATTRIBUTE_INTEGER, new qint32(4));
    add(c.typedDelay, QStringLiteral("extra"), ATTRIBUTE_ELEMENT,
        element(QStringLiteral("DmElement"), QStringLiteral("extra")));
    addList(s, QStringLiteral("children"), {c.withChild, noChild, notAChild, c.typedDelay});

    c.emitter = element(QStringLiteral("DmeEmitter"), QStringLiteral("emit"));
    add(c.emitter, QStringLiteral("rate"), ATTRIBUTE_INTEGER, new qint32(3));
    add(s, QStringLiteral("emitter"), ATTRIBUTE_ELEMENT, c.emitter);
    add(s, QStringLiteral("stray"), ATTRIBUTE_ELEMENT,
        element(QStringLiteral("DmElement"), QStringLiteral("stray")));
    // A plain reference that the template lacks: dropped, its target stays.
    add(s, QStringLiteral("link"), ATTRIBUTE_ELEMENT, c.other, false);
    c.system = addSystem(document, s);
}

QStringList names(const QList<DMXElement *> &elements)
{
    QStringList out;
    for (const DMXElement *e : elements)
        out << e->name;
    return out;
}

} // namespace

class TestPcfConvert : public QObject
{
    Q_OBJECT

private slots:
    void refusals_data();
    void refusals();
    void conformsEverySystem();
    void ownEncodingKeepsEverything();
    void conformElementResult();
    void deepChainEnds();
    void rootListedAsSystem();
    void systemListedAsItsOwnChild();
    void cutLooseOwnerOfRemovedEntry();
};

void TestPcfConvert::refusals_data()
{
    QTest::addColumn<bool>("document");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("withTemplate");
    QTest::addColumn<QString>("message");
    QTest::newRow("no document") << false << 1 << 2 << true
                                 << "Formatting Error: No data specified";
    QTest::newRow("no source") << true << 0 << 2 << true
                               << "Formatting Error: Invalid source version specified";
    QTest::newRow("no target") << true << 1 << 0 << true
                               << "Formatting Error: Invalid target version specified";
    QTest::newRow("no template") << true << 1 << 2 << false
                                 << "Formatting Error: Template data for target version does "
                                    "not exist";
}

void TestPcfConvert::refusals()
{
    QFETCH(bool, document);
    QFETCH(int, format);
    QFETCH(int, target);
    QFETCH(bool, withTemplate);
    QFETCH(QString, message);
    std::unique_ptr<CFilePCF> pcf(newDmxRoot(1));
    pcf->format = format;
    std::unique_ptr<DMXElement> t(templateSystem());
    PCFDelegate delegate;
    QCOMPARE(
        delegate.convert(document ? pcf.get() : nullptr, target, withTemplate ? t.get() : nullptr),
        message);
    QCOMPARE(delegate.error(), message);
    QCOMPARE(pcf->format, format);
}

void TestPcfConvert::conformsEverySystem()
{
    Converted c;
    build(c);
    std::unique_ptr<DMXElement> t(templateSystem());
    PCFDelegate delegate;
    PCFConversionReport report;
    QVERIFY(delegate.convert(c.document.get(), 3, t.get(), &report).isNull());
    QCOMPARE(c.document->format, 1);

    // Nothing goes silently: one line for the system that lost anything,
    // none for "other", which only gained.
    QCOMPARE(conversionReportLines(report, QStringLiteral("fx")),
             QStringList{
                 "Format Conversion: \"fx\", system \"smoke\": dropped 4 function(s): children "
                 "\"lost\", children \"stranger\", operators \"Movement Basic\", operators "
                 "\"Unknown Operator\"; dropped 8 parameter(s): \"bogus\" of the system, \"link\" "
                 "of the system, \"radius\" of the system, \"stray\" of the system, \"junk\" of "
                 "\"Lifespan Decay\", \"rate\" of \"emit\", \"delay\" of \"other\", \"extra\" of "
                 "\"other\""});

    // Kept in order, then the template's missing scalars and non-element
    // arrays in template order.
    QCOMPARE(shape(c.system), (QStringList{"max_particles:2", "operators:15", "children:15",
                                           "emitter:1", "radius:3", "color:8", "tags:19"}));
    QCOMPARE(*static_cast<qint32 *>(c.system->attributes[0]->value()), 7);
    QCOMPARE(c.system->attribute(QStringLiteral("radius"))->valueString(), QStringLiteral("5"));

    // Operators: known name and type kept and conformed; the others freed.
    QCOMPARE(*c.system->attribute(QStringLiteral("operators"))->elementList(),
             QList<DMXElement *>{c.keptOperator});
    QCOMPARE(shape(c.keptOperator), QStringList{"fade:3"});

    // Children: entries with a child link, each with a FLOAT delay.
    QCOMPARE(*c.system->attribute(QStringLiteral("children"))->elementList(),
             (QList<DMXElement *>{c.withChild, c.typedDelay}));
    QCOMPARE(shape(c.withChild), (QStringList{"child:1", "delay:3"}));
    QCOMPARE(shape(c.typedDelay), (QStringList{"child:1", "delay:3"}));
    QCOMPARE(c.withChild->attribute(QStringLiteral("child"))->element(), c.other);

    // The emitter element follows its template element.
    QCOMPARE(shape(c.emitter), QStringList{"rate:3"});

    // The system named by child links stays; everything cut loose is gone
    // from the element list (and freed: the sanitizer build checks).
    QCOMPARE(
        names(c.document->elements),
        (QStringList{"untitled", "other", "smoke", "Lifespan Decay", "other", "other", "emit"}));
    QCOMPARE(shape(c.other), (QStringList{"max_particles:2", "radius:3", "color:8", "tags:19"}));

    // The result writes.
    QByteArray bytes;
    QVERIFY2(delegate.writeData(c.document.get(), 2, &bytes), qPrintable(delegate.error()));

    // A second conversion to the same template changes nothing more, and
    // says nothing.
    const QStringList before = shape(c.system);
    report.clear();
    QVERIFY(delegate.convert(c.document.get(), 3, t.get(), &report).isNull());
    QCOMPARE(shape(c.system), before);
    QVERIFY(report.isEmpty());
    QCOMPARE(c.document->elements.size(), 7);
}

void TestPcfConvert::ownEncodingKeepsEverything()
{
    // The games of the document's own encoding read all of it: nothing goes
    // but what the children list is cleaned of and an attribute of a name
    // the template types otherwise, which the template's replaces.
    Converted c;
    build(c);
    std::unique_ptr<DMXElement> t(templateSystem());
    PCFConversionReport report;
    QVERIFY(PCFDelegate().convert(c.document.get(), 1, t.get(), &report).isNull());
    QCOMPARE(conversionReportLines(report, "fx"),
             QStringList{"Format Conversion: \"fx\", system \"smoke\": dropped 2 function(s): "
                         "children \"lost\", children \"stranger\"; dropped 4 parameter(s): "
                         "\"radius\" of the system, \"rate\" of \"emit\", \"delay\" of \"other\", "
                         "\"extra\" of \"other\""});
    QCOMPARE(shape(c.system),
             (QStringList{"bogus:3", "max_particles:2", "operators:15", "children:15", "emitter:1",
                          "stray:1", "link:1", "radius:3", "color:8", "tags:19"}));
    QCOMPARE(names(*c.system->attribute(QStringLiteral("operators"))->elementList()),
             (QStringList{"Lifespan Decay", "Unknown Operator", "Movement Basic"}));
    QCOMPARE(shape(c.keptOperator), (QStringList{"junk:5", "fade:3"}));
    QCOMPARE(
        names(c.document->elements),
        (QStringList{"untitled", "other", "smoke", "Lifespan Decay", "Unknown Operator",
                     "owned by dropped", "Movement Basic", "other", "other", "emit", "stray"}));
}

void TestPcfConvert::conformElementResult()
{
    // The elements cut loose are handed back, not freed. A function is found
    // by its STRING functionName, else by its name, in any case; a child
    // entry whose child is null names no system.
    std::unique_ptr<DMXElement> t(templateSystem());
    std::unique_ptr<DMXElement> s(element(systemType, QStringLiteral("s")));
    DMXElement *unknown = element(operatorType, QStringLiteral("Unknown"));
    DMXElement *known = element(operatorType, QStringLiteral("movement basic"));
    DMXElement *renamed = element(operatorType, QStringLiteral("Lifespan Decay"));
    add(renamed, QStringLiteral("functionName"), ATTRIBUTE_STRING, new QString("Unknown"));
    addList(s.get(), QStringLiteral("operators"), {unknown, known, renamed});
    DMXElement *stray = element(QStringLiteral("DmElement"), QStringLiteral("stray"));
    add(s.get(), QStringLiteral("stray"), ATTRIBUTE_ELEMENT, stray);
    DMXElement *nullChild = element(QStringLiteral("DmeParticleChild"), QStringLiteral("gone"));
    add(nullChild, QStringLiteral("child"), ATTRIBUTE_ELEMENT, nullptr, false);
    addList(s.get(), QStringLiteral("children"), {nullChild});
    const QList<DMXElement *> removed = PCFDelegate::conformElement(s.get(), t.get());
    QCOMPARE(removed.size(), 4);
    QVERIFY(removed.contains(unknown) && removed.contains(stray) && removed.contains(renamed) &&
            removed.contains(nullChild));
    QCOMPARE(*s->attribute(QStringLiteral("operators"))->elementList(), QList<DMXElement *>{known});
    // A removed child entry stays listed until the document drops it.
    s->attribute(QStringLiteral("children"))->elementList()->clear();
    qDeleteAll(removed);
}

void TestPcfConvert::deepChainEnds()
{
    // A template whose element names itself, over a deep owned chain: the
    // conversion walks it without recursion and ends.
    std::unique_ptr<DMXElement> t(element(systemType, QStringLiteral("default")));
    add(t.get(), QStringLiteral("next"), ATTRIBUTE_ELEMENT, t.get(), false);
    std::unique_ptr<DMXElement> s(element(systemType, QStringLiteral("s")));
    DMXElement *last = s.get();
    for (int i = 0; i < 100000; ++i) {
        DMXElement *next = element(systemType, QString());
        add(last, QStringLiteral("next"), ATTRIBUTE_ELEMENT, next);
        addFloat(last, QStringLiteral("drop"), 1);
        last = next;
    }
    const QList<DMXElement *> removed = PCFDelegate::conformElement(s.get(), t.get());
    QVERIFY(removed.isEmpty());
    QCOMPARE(shape(s.get()), QStringList{"next:1"});
    QCOMPARE(shape(last), QStringList());
}

void TestPcfConvert::rootListedAsSystem()
{
    // A damaged file whose system list names the root: the root is not a
    // system to conform, so the list and the system in it survive.
    PcfBuilder b(1);
    b.header().dictionary(
        {"DmElement", "particleSystemDefinitions", "DmeParticleSystemDefinition", "radius"});
    b.i32(2).element("DmElement", "untitled", 0).element("DmeParticleSystemDefinition", "s", 1);
    b.i32(1).attribute("particleSystemDefinitions", 15).i32(2).i32(0).i32(1);
    b.i32(1).attribute("radius", 3).f32(3);
    CFilePCF document;
    PCFDelegate delegate;
    QVERIFY2(delegate.readData(b.data(), &document), qPrintable(delegate.error()));
    std::unique_ptr<DMXElement> t(templateSystem());
    QVERIFY(delegate.convert(&document, 2, t.get()).isNull());
    QCOMPARE(shape(document.root()), QStringList{"particleSystemDefinitions:15"});
    QCOMPARE(names(document.elements), (QStringList{"untitled", "s"}));
    QCOMPARE(shape(document.elements[1]),
             (QStringList{"radius:3", "max_particles:2", "color:8", "tags:19"}));
    QByteArray bytes;
    QVERIFY2(delegate.writeData(&document, 2, &bytes), qPrintable(delegate.error()));
    CFilePCF again;
    QVERIFY2(delegate.readData(bytes, &again), qPrintable(delegate.error()));
}

void TestPcfConvert::systemListedAsItsOwnChild()
{
    // A damaged file: a system of child-entry type whose "children" names
    // itself. It leaves its own list; nothing is freed under the walk.
    PcfBuilder b(1);
    b.header().dictionary(
        {"DmElement", "particleSystemDefinitions", "DmeParticleChild", "radius", "children"});
    b.i32(2).element("DmElement", "untitled", 0).element("DmeParticleChild", "s", 1);
    b.i32(1).attribute("particleSystemDefinitions", 15).i32(1).i32(1);
    b.i32(2).attribute("radius", 3).f32(3).attribute("children", 15).i32(1).i32(1);
    CFilePCF document;
    PCFDelegate delegate;
    QVERIFY2(delegate.readData(b.data(), &document), qPrintable(delegate.error()));
    std::unique_ptr<DMXElement> t(templateSystem());
    QVERIFY(delegate.convert(&document, 2, t.get()).isNull());
    DMXElement *system = document.elements.value(1);
    QVERIFY(system);
    QCOMPARE(shape(system),
             (QStringList{"radius:3", "children:15", "max_particles:2", "color:8", "tags:19"}));
    QCOMPARE(system->attribute(QStringLiteral("children"))->itemCount(), 0);
    QByteArray bytes;
    QVERIFY2(delegate.writeData(&document, 2, &bytes), qPrintable(delegate.error()));
}

void TestPcfConvert::cutLooseOwnerOfRemovedEntry()
{
    // A damaged file: the system list owns nothing (it repeats "L"), so "S2"'s
    // unknown attribute owns system "L", whose children list holds an entry
    // without a child. Converting frees that entry and then "L", cut loose
    // with "u": the entry must leave "L"'s list before it is freed.
    PcfBuilder b(1);
    b.header().dictionary({"DmElement", "particleSystemDefinitions", "DmeParticleSystemDefinition",
                           "children", "u", "DmeParticleChild"});
    b.i32(4).element("DmElement", "untitled", 0);
    b.element("DmeParticleSystemDefinition", "L", 1);
    b.element("DmeParticleSystemDefinition", "S2", 2);
    b.element("DmeParticleChild", "Z", 3);
    b.i32(1).attribute("particleSystemDefinitions", 15).i32(3).i32(1).i32(2).i32(1);
    b.i32(1).attribute("children", 15).i32(1).i32(3);
    b.i32(1).attribute("u", 1).i32(1);
    b.i32(0);
    CFilePCF document;
    PCFDelegate delegate;
    QVERIFY2(delegate.readData(b.data(), &document), qPrintable(delegate.error()));
    std::unique_ptr<DMXElement> t(templateSystem());
    QVERIFY(delegate.convert(&document, 2, t.get()).isNull());
    QCOMPARE(names(document.elements), (QStringList{"untitled", "S2"}));
    QCOMPARE(names(*document.systemList()), QStringList{"S2"});
    QByteArray bytes;
    QVERIFY2(delegate.writeData(&document, 2, &bytes), qPrintable(delegate.error()));
}

QTEST_GUILESS_MAIN(TestPcfConvert)
#include "tst_pcfconvert.moc"
