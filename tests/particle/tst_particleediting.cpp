#include "EditingFixture.h"
#include "PCFEditing.h"

#include <QtTest>

#include <memory>

using namespace DmxBuild;
using Document = std::unique_ptr<CFilePCF>;

namespace {

DMXAttribute *systemsOf(const CFilePCF *document)
{
    return document->root()->attributes.first();
}

// True when every element the root reaches is listed in the document, which
// the writer needs.
bool everythingListed(const CFilePCF *document)
{
    const DMXReferenceList pairs = document->root()->flattenTree();
    for (const DMXReference &pair : pairs) {
        if (!document->elements.contains(pair.element))
            return false;
    }
    return true;
}

} // namespace

class TestParticleEditing : public QObject
{
    Q_OBJECT

private slots:
    void rowTexts();
    void addParticleSystem_data();
    void addParticleSystem();
    void addedSystemsAreIndependentCopies();
    void addFunctionElement();
    void childChoicesLeaveOutRelatives();
    void addChild();
    void addArrayItem_data();
    void addArrayItem();
    void renameElement_data();
    void renameElement();
    void arrayConversion();
    void dictionaryLines_data();
    void dictionaryLines();
    void deleteSystemDropsEveryLink();
    void deleteRefusesRootAndStrangers();
    void editsSurviveSaving();
};

void TestParticleEditing::rowTexts()
{
    Document document(EditingFixture::chainDocument());
    DMXElement *fire = document->findParticleSystem("fire");
    DMXAttribute *systems = systemsOf(document.get());

    std::unique_ptr<DMXAttribute> wrapper(PCFEditing::newItemWrapper(systems, 0));
    QVERIFY(wrapper);
    QCOMPARE(wrapper->ownsValue(), false);
    QCOMPARE(wrapper->element(), fire);
    QCOMPARE(PCFEditing::rowName(wrapper.get()), QStringLiteral("fire"));
    QCOMPARE(PCFEditing::rowType(wrapper.get()), QStringLiteral("ELEMENT"));
    QCOMPARE(PCFEditing::rowValue(wrapper.get()),
             QStringLiteral("DmeParticleSystemDefinition ") + fire->guid.toString());

    DMXAttribute *x = fire->attribute("x");
    std::unique_ptr<DMXAttribute> item(PCFEditing::newItemWrapper(x, 2));
    QCOMPARE(item->name(), QStringLiteral("x[2]"));
    QCOMPARE(item->value(), x->valueList()->at(2));
    QCOMPARE(PCFEditing::rowValue(item.get()), QStringLiteral("3"));
    QCOMPARE(PCFEditing::rowValue(x), QStringLiteral("3 Item(s)"));
    QVERIFY(!PCFEditing::newItemWrapper(x, 3));
    QVERIFY(!PCFEditing::newItemWrapper(fire->attribute("radius"), 0));
    QCOMPARE(PCFEditing::itemTexts(x), QStringList({"1", "2", "3"}));

    // A null reference in a list has its row, with an empty value.
    fire->attribute("operators")->elementList()->append(nullptr);
    std::unique_ptr<DMXAttribute> null(PCFEditing::newItemWrapper(fire->attribute("operators"), 1));
    QVERIFY(null && !null->element());
    QCOMPARE(PCFEditing::rowType(null.get()), QStringLiteral("ELEMENT"));
    QCOMPARE(PCFEditing::rowValue(null.get()), QString());
    // Only the null itself can be taken out by its place.
    QVERIFY(!PCFEditing::removeNullItem(fire->attribute("operators"), 0));
    QVERIFY(PCFEditing::removeNullItem(fire->attribute("operators"), 1));
    QCOMPARE(fire->attribute("operators")->itemCount(), 1);
}

void TestParticleEditing::addParticleSystem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("withTemplate");
    QTest::addColumn<QString>("added");

    QTest::newRow("new name, trimmed") << "  glow " << true << "glow";
    QTest::newRow("differs in case only") << "Fire" << true << "Fire";
    QTest::newRow("taken") << "fire" << true << "";
    QTest::newRow("taken after trimming") << " smoke" << true << "";
    QTest::newRow("spaces") << "   " << true << "";
    QTest::newRow("no template") << "glow" << false << "";
}

void TestParticleEditing::addParticleSystem()
{
    QFETCH(QString, name);
    QFETCH(bool, withTemplate);
    QFETCH(QString, added);

    Document document(EditingFixture::chainDocument());
    Document templates(EditingFixture::templateDocument());
    DMXAttribute *systems = systemsOf(document.get());
    const int systemCount = systems->itemCount();
    const int elementCount = document->elements.size();

    DMXElement *system = PCFEditing::addParticleSystem(
        document.get(), systems, withTemplate ? templates.get() : nullptr, name);
    if (added.isEmpty()) {
        QVERIFY(!system);
        QCOMPARE(systems->itemCount(), systemCount);
        QCOMPARE(document->elements.size(), elementCount);
        return;
    }
    QVERIFY(system);
    QCOMPARE(system->name, added);
    QCOMPARE(systems->elementList()->last(), system);
    // The system, its renderer, and nothing of the template.
    QCOMPARE(document->elements.size(), elementCount + 2);
    QVERIFY(everythingListed(document.get()));
    QVERIFY(!system->attribute("base"));
    QCOMPARE(shape(system),
             QStringList({"radius:3", "operators:15", "renderers:15", "children:15"}));
}

void TestParticleEditing::addedSystemsAreIndependentCopies()
{
    Document document(EditingFixture::chainDocument());
    Document templates(EditingFixture::templateDocument());
    DMXAttribute *systems = systemsOf(document.get());
    DMXElement *a = PCFEditing::addParticleSystem(document.get(), systems, templates.get(), "a");
    DMXElement *b = PCFEditing::addParticleSystem(document.get(), systems, templates.get(), "b");
    QVERIFY(a && b);

    QSet<QUuid> guids;
    for (const DMXElement *element : document->elements)
        guids.insert(element->guid);
    for (const DMXElement *element : templates->elements)
        guids.insert(element->guid);
    QCOMPARE(guids.size(), document->elements.size() + templates->elements.size());

    // Editing a copy leaves the template alone.
    *static_cast<float *>(a->attribute("radius")->value()) = 9.0f;
    QCOMPARE(templates->elementsNamed("empty").first()->attribute("radius")->valueString(),
             QStringLiteral("5"));
}

void TestParticleEditing::addFunctionElement()
{
    Document document(EditingFixture::chainDocument());
    Document templates(EditingFixture::templateDocument());
    const QList<DMXElement *> choices = PCFEditing::functionChoices(templates.get(), "operators");
    QCOMPARE(choices.size(), 2);
    QCOMPARE(choices[1]->name, QStringLiteral("Alpha Fade"));
    QVERIFY(PCFEditing::functionChoices(templates.get(), "emitters").isEmpty());
    QVERIFY(PCFEditing::functionChoices(nullptr, "operators").isEmpty());
    QVERIFY(PCFEditing::isFunctionList("constraints"));
    QVERIFY(!PCFEditing::isFunctionList("children"));

    DMXAttribute *operators = document->findParticleSystem("fire")->attribute("operators");
    DMXElement *added = PCFEditing::addFunctionElement(document.get(), operators, choices[1]);
    QVERIFY(added);
    QCOMPARE(operators->elementList()->last(), added);
    QCOMPARE(added->name, QStringLiteral("Alpha Fade"));
    QVERIFY(added->guid != choices[1]->guid);
    QVERIFY(document->elements.contains(added));
    QCOMPARE(added->attribute("fade time")->valueString(), QStringLiteral("1"));

    // A list that does not own its elements takes none.
    operators->setOwnsValue(false);
    QVERIFY(!PCFEditing::addFunctionElement(document.get(), operators, choices[0]));
    operators->setOwnsValue(true);
}

void TestParticleEditing::childChoicesLeaveOutRelatives()
{
    Document document(EditingFixture::chainDocument());
    DMXElement *glow = element("DmeParticleSystemDefinition", "glow");
    addList(glow, "children", {});
    addSystem(document.get(), glow);

    auto names = [&](const char *system) {
        QStringList out;
        for (const DMXElement *choice :
             PCFEditing::childChoices(document.get(), document->findParticleSystem(system)))
            out << choice->name;
        return out;
    };
    // fire -> smoke -> sparks: each reaches or is reached by the others.
    QCOMPARE(names("fire"), QStringList({"glow"}));
    QCOMPARE(names("sparks"), QStringList({"glow"}));
    QCOMPARE(names("glow"), QStringList({"fire", "smoke", "sparks"}));
}

void TestParticleEditing::addChild()
{
    Document document(EditingFixture::chainDocument());
    DMXElement *fire = document->findParticleSystem("fire");
    DMXElement *sparks = document->findParticleSystem("sparks");
    DMXElement *glow = element("DmeParticleSystemDefinition", "glow");
    addList(glow, "children", {});
    addSystem(document.get(), glow);

    // A link that would close a cycle, or to the system itself, is refused.
    QVERIFY(!PCFEditing::addChild(document.get(), sparks->attribute("children"), sparks, fire));
    QVERIFY(!PCFEditing::addChild(document.get(), fire->attribute("children"), fire, fire));

    DMXAttribute *children = glow->attribute("children");
    DMXElement *entry = PCFEditing::addChild(document.get(), children, glow, fire);
    QVERIFY(entry);
    QCOMPARE(entry->type, QStringLiteral("DmeParticleChild"));
    QCOMPARE(entry->name, QStringLiteral("fire"));
    QCOMPARE(shape(entry), QStringList({"delay:3", "child:1"}));
    QCOMPARE(entry->attribute("delay")->valueString(), QStringLiteral("0"));
    QCOMPARE(entry->attribute("child")->element(), fire);
    QCOMPARE(entry->attribute("child")->ownsValue(), false);
    QCOMPARE(children->elementList()->last(), entry);
    QVERIFY(document->elements.contains(entry));
    QVERIFY(glow->hasChildSystem(sparks));
}

void TestParticleEditing::addArrayItem_data()
{
    QTest::addColumn<uint>("type");
    QTest::addColumn<QString>("text");
    // One row per kind of default the item starts from.
    QTest::newRow("INTEGER_ARRAY") << uint(ATTRIBUTE_INTEGER_ARRAY) << "0";
    QTest::newRow("STRING_ARRAY") << uint(ATTRIBUTE_STRING_ARRAY) << "";
    QTest::newRow("COLOR_ARRAY") << uint(ATTRIBUTE_COLOR_ARRAY) << "0 0 0 0";
    QTest::newRow("MATRIX_ARRAY") << uint(ATTRIBUTE_MATRIX_ARRAY)
                                  << "1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1";
    QTest::newRow("ELEMENT_ARRAY") << uint(ATTRIBUTE_ELEMENT_ARRAY) << "";
}

void TestParticleEditing::addArrayItem()
{
    QFETCH(uint, type);
    QFETCH(QString, text);

    Document document(EditingFixture::chainDocument());
    DMXElement *fire = document->findParticleSystem("fire");
    DMXAttribute *array = add(fire, "list", type, newDmxAttributeValue(type));
    const int elementCount = document->elements.size();

    void *item = PCFEditing::addArrayItem(document.get(), array);
    QVERIFY(item);
    QCOMPARE(array->itemCount(), 1);
    std::unique_ptr<DMXAttribute> wrapper(PCFEditing::newItemWrapper(array, 0));
    QCOMPARE(wrapper->value(), item);
    if (type == ATTRIBUTE_ELEMENT_ARRAY) {
        QCOMPARE(wrapper->element()->name, QString());
        QCOMPARE(wrapper->element()->type, QString());
        QCOMPARE(document->elements.size(), elementCount + 1);
        QCOMPARE(document->elements.last(), item);
    } else {
        QCOMPARE(wrapper->valueString(), text);
        QCOMPARE(document->elements.size(), elementCount);
    }
    QVERIFY(!PCFEditing::addArrayItem(document.get(), fire->attribute("radius")));
}

void TestParticleEditing::renameElement_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("result");
    const auto row = [](const char *label, const char *target, const char *name,
                        const char *result) {
        QTest::newRow(label) << QString(target) << QString(name) << QString(result);
    };
    row("system, new name", "fire", " blaze ", "blaze");
    row("system, taken", "fire", "smoke", "fire");
    row("system, own name", "fire", "fire", "fire");
    row("system, empty", "fire", "  ", "fire");
    row("operator, system's name", "operator", "sparks", "Movement Basic");
    row("operator, new name", "operator", "Alpha Fade", "Alpha Fade");
}

void TestParticleEditing::renameElement()
{
    QFETCH(QString, target);
    QFETCH(QString, name);
    QFETCH(QString, result);

    Document document(EditingFixture::chainDocument());
    DMXElement *fire = document->findParticleSystem("fire");
    DMXElement *element =
        target == "fire" ? fire : fire->attribute("operators")->elementList()->first();
    const QString original = element->name;
    const bool renamed = PCFEditing::renameElement(document.get(), element, name);
    QCOMPARE(element->name, result);
    QCOMPARE(renamed, result != original);
}

void TestParticleEditing::arrayConversion()
{
    Document document(EditingFixture::chainDocument());
    DMXElement *fire = document->findParticleSystem("fire");
    DMXAttribute *position = add(fire, "position", ATTRIBUTE_VECTOR3, new DMXVector3{{1, 2, 3}});
    QVERIFY(PCFEditing::toArray(position));
    QCOMPARE(position->type(), uint(ATTRIBUTE_VECTOR3_ARRAY));
    QCOMPARE(position->valueString(), QStringLiteral("1 Item(s)"));
    QCOMPARE(PCFEditing::itemTexts(position), QStringList({"1 2 3"}));

    DMXAttribute *x = fire->attribute("x");
    QVERIFY(PCFEditing::fromArray(x, 1));
    QCOMPARE(x->type(), uint(ATTRIBUTE_FLOAT));
    QCOMPARE(x->valueString(), QStringLiteral("2"));

    DMXAttribute *empty = add(fire, "empty", ATTRIBUTE_FLOAT_ARRAY, new DMXValueList);
    QVERIFY(PCFEditing::fromArray(empty, -1));
    QCOMPARE(empty->type(), uint(ATTRIBUTE_FLOAT));
    QCOMPARE(empty->valueString(), QStringLiteral("0"));

    // Out of range, element lists and element values are refused unchanged.
    DMXAttribute *three = add(fire, "three", ATTRIBUTE_INTEGER_ARRAY,
                              new DMXValueList{new qint32(1), new qint32(2), new qint32(3)});
    QVERIFY(!PCFEditing::fromArray(three, 3));
    QCOMPARE(three->type(), uint(ATTRIBUTE_INTEGER_ARRAY));
    QVERIFY(!PCFEditing::fromArray(fire->attribute("operators"), 0));
    DMXAttribute *link =
        add(fire, "link", ATTRIBUTE_ELEMENT, document->findParticleSystem("smoke"), false);
    QVERIFY(!PCFEditing::toArray(link));
    QCOMPARE(link->type(), uint(ATTRIBUTE_ELEMENT));
    // A wrapper does not own its item and cannot be converted.
    std::unique_ptr<DMXAttribute> wrapper(PCFEditing::newItemWrapper(three, 0));
    QVERIFY(!PCFEditing::toArray(wrapper.get()));
}

void TestParticleEditing::dictionaryLines_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("firstAndLast");
    QTest::newRow("none") << 0 << QStringList{"", ""};
    QTest::newRow("nine") << 9 << QStringList{"0 : s0", "8 : s8"};
    QTest::newRow("ten") << 10 << QStringList{" 0 : s0", " 9 : s9"};
    QTest::newRow("375") << 375 << QStringList{"  0 : s0", "374 : s374"};
}

void TestParticleEditing::dictionaryLines()
{
    QFETCH(int, count);
    QFETCH(QStringList, firstAndLast);
    CFilePCF document;
    for (int i = 0; i < count; ++i)
        document.strings << QStringLiteral("s%1").arg(i);
    const QStringList lines = PCFEditing::dictionaryLines(&document);
    QCOMPARE(lines.size(), count);
    QCOMPARE(QStringList({lines.value(0), lines.value(count - 1)}), firstAndLast);
}

void TestParticleEditing::deleteSystemDropsEveryLink()
{
    Document document(EditingFixture::chainDocument());
    DMXElement *fire = document->findParticleSystem("fire");
    DMXElement *smoke = document->findParticleSystem("smoke");
    DMXElement *sparks = document->findParticleSystem("sparks");
    // A plain reference of another kind to the doomed system.
    add(fire, "favourite", ATTRIBUTE_ELEMENT, smoke, false);
    DMXElement *smokeEntry = fire->attribute("children")->elementList()->first();
    const int before = document->elements.size();

    PCFEditing::Removal removal;
    QVERIFY(PCFEditing::takeElement(document.get(), smoke, &removal));
    // smoke, its operator, its entry naming sparks; fire's entry naming smoke.
    QCOMPARE(removal.removed.size(), 4);
    QVERIFY(removal.removed.contains(smokeEntry));
    QCOMPARE(removal.tops, QList<DMXElement *>({smoke, smokeEntry}));
    QCOMPARE(document->elements.size(), before - 4);
    QCOMPARE(fire->attribute("children")->itemCount(), 0);
    QVERIFY(!fire->attribute("favourite"));
    QCOMPARE(systemsOf(document.get())->itemCount(), 2);
    QVERIFY(document->elements.contains(sparks));
    PCFEditing::freeRemoval(&removal);
    QVERIFY(removal.tops.isEmpty());

    QStringList before2, after2;
    QVERIFY(EditingFixture::roundTrip(document.get(), &before2, &after2));
    QCOMPARE(after2, before2);
}

void TestParticleEditing::deleteRefusesRootAndStrangers()
{
    Document document(EditingFixture::chainDocument());
    PCFEditing::Removal removal;
    QVERIFY(!PCFEditing::takeElement(document.get(), document->root(), &removal));
    std::unique_ptr<DMXElement> stranger(element("DmeParticleOperator", "x"));
    QVERIFY(!PCFEditing::takeElement(document.get(), stranger.get(), &removal));
    QVERIFY(removal.tops.isEmpty());

    // A chain of entries that only the doomed system's tree links to.
    DMXElement *fire = document->findParticleSystem("fire");
    QVERIFY(
        PCFEditing::takeElement(document.get(), document->findParticleSystem("sparks"), &removal));
    QCOMPARE(removal.tops.size(), 2);
    QVERIFY(PCFEditing::takeElement(document.get(), fire, &removal));
    PCFEditing::freeRemoval(&removal);
    QCOMPARE(systemsOf(document.get())->itemCount(), 1);
    QVERIFY(everythingListed(document.get()));
}

void TestParticleEditing::editsSurviveSaving()
{
    Document document(EditingFixture::chainDocument(3));
    Document templates(EditingFixture::templateDocument(3));
    DMXAttribute *systems = systemsOf(document.get());
    DMXElement *glow =
        PCFEditing::addParticleSystem(document.get(), systems, templates.get(), "glow");
    PCFEditing::addFunctionElement(document.get(), glow->attribute("operators"),
                                   PCFEditing::functionChoices(templates.get(), "operators")[0]);
    PCFEditing::addChild(document.get(), glow->attribute("children"), glow,
                         document->findParticleSystem("fire"));
    PCFEditing::addArrayItem(document.get(), glow->attribute("renderers"));
    PCFEditing::toArray(glow->attribute("radius"));
    PCFEditing::renameElement(document.get(), document->findParticleSystem("sparks"), "embers");
    PCFEditing::Removal removal;
    PCFEditing::takeElement(document.get(), document->findParticleSystem("smoke"), &removal);
    PCFEditing::freeRemoval(&removal);

    QStringList before, after;
    QVERIFY(EditingFixture::roundTrip(document.get(), &before, &after));
    QCOMPARE(after, before);
    QVERIFY(before.join('\n').contains("glow"));
    QVERIFY(before.join('\n').contains("embers"));
}

QTEST_GUILESS_MAIN(TestParticleEditing)
#include "tst_particleediting.moc"
