#include "CFilePCF.h"
#include "DMXAttribute.h"
#include "DMXElement.h"
#include "DMXGuids.h"
#include "DmxBuild.h"

#include <QtTest>

#include <memory>

using namespace DmxBuild;

namespace {

const QString systemType = QStringLiteral("DmeParticleSystemDefinition");

// System "name" whose "children" list names the given systems.
DMXElement *system(const QString &name, const QList<DMXElement *> &children = {})
{
    DMXElement *out = element(systemType, name);
    QList<DMXElement *> entries;
    for (DMXElement *child : children)
        entries << childEntry(child);
    addList(out, QStringLiteral("children"), entries);
    return out;
}

} // namespace

class TestDmxModel : public QObject
{
    Q_OBJECT

private slots:
    void defaults_data();
    void defaults();
    void setValueRefusesNull();
    void valueText_data();
    void valueText();
    void elementText();
    void guidsOfNewAndCloned();
    void cloneFollowsChildren();
    void findParticleSystem();
    void guidUniqueness();
    void guidUniquenessIsLinear();
    void removeSystemLeavesChildLinks();
    void removeUnreachableElement();
    void copySystems();
    void copySystemsRefuses();
    void walksEndOnCycles();
    void deepChains();
    void typeNames();
};

void TestDmxModel::defaults_data()
{
    QTest::addColumn<uint>("type");
    QTest::addColumn<QString>("text");
    QTest::newRow("INTEGER") << uint(ATTRIBUTE_INTEGER) << "0";
    QTest::newRow("FLOAT") << uint(ATTRIBUTE_FLOAT) << "0";
    QTest::newRow("BOOLEAN") << uint(ATTRIBUTE_BOOLEAN) << "0";
    QTest::newRow("STRING") << uint(ATTRIBUTE_STRING) << "";
    QTest::newRow("BINARY") << uint(ATTRIBUTE_BINARY) << "";
    QTest::newRow("TIME") << uint(ATTRIBUTE_TIME) << "0";
    QTest::newRow("COLOR") << uint(ATTRIBUTE_COLOR) << "0 0 0 0";
    QTest::newRow("VECTOR2") << uint(ATTRIBUTE_VECTOR2) << "0 0";
    QTest::newRow("QANGLE") << uint(ATTRIBUTE_QANGLE) << "0 0 0";
    QTest::newRow("QUATERNION") << uint(ATTRIBUTE_QUATERNION) << "0 0 0 0";
    QTest::newRow("MATRIX") << uint(ATTRIBUTE_MATRIX) << "1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1";
    QTest::newRow("ELEMENT_ARRAY") << uint(ATTRIBUTE_ELEMENT_ARRAY) << "0 Item(s)";
    QTest::newRow("BINARY_ARRAY") << uint(ATTRIBUTE_BINARY_ARRAY) << "0 Item(s)";
    QTest::newRow("MATRIX_ARRAY") << uint(ATTRIBUTE_MATRIX_ARRAY) << "0 Item(s)";
}

void TestDmxModel::defaults()
{
    QFETCH(uint, type);
    QFETCH(QString, text);
    DMXAttribute attribute;
    QVERIFY(attribute.setValue(type, newDmxAttributeValue(type)));
    QCOMPARE(attribute.valueString(), text);
    // A copy is deep and equal.
    std::unique_ptr<DMXAttribute> copy(attribute.clone());
    QCOMPARE(copy->type(), type);
    QVERIFY(copy->value() != attribute.value());
    QCOMPARE(copy->valueString(), text);
}

void TestDmxModel::setValueRefusesNull()
{
    DMXAttribute attribute;
    QVERIFY(attribute.setValue(ATTRIBUTE_INTEGER, new qint32(4)));
    QVERIFY(!attribute.setValue(ATTRIBUTE_STRING, nullptr));
    QCOMPARE(attribute.type(), uint(ATTRIBUTE_UNKNOWN));
    QVERIFY(!attribute.value());
    // A null ELEMENT is the null reference.
    QVERIFY(attribute.setValue(ATTRIBUTE_ELEMENT, nullptr));
    QCOMPARE(attribute.type(), uint(ATTRIBUTE_ELEMENT));
    QVERIFY(!newDmxAttributeValue(ATTRIBUTE_UNKNOWN));
    QVERIFY(!newDmxAttributeValue(29));
    QVERIFY(!newDmxRoot(0));
}

void TestDmxModel::valueText_data()
{
    QTest::addColumn<uint>("type");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("shown");
    const QString parse = QStringLiteral("Unable to parse value from string.");
    const QString none;
    QTest::newRow("vector3 runs of spaces")
        << uint(ATTRIBUTE_VECTOR3) << "1   2    3" << none << "1 2 3";
    QTest::newRow("vector3 two parts") << uint(ATTRIBUTE_VECTOR3) << "1 2" << parse << "0 0 0";
    QTest::newRow("vector3 bad part") << uint(ATTRIBUTE_VECTOR3) << "1 x 3" << parse << "0 0 0";
    QTest::newRow("color clamped")
        << uint(ATTRIBUTE_COLOR) << "300 -5 10 255" << none << "255 0 10 255";
    QTest::newRow("color three parts") << uint(ATTRIBUTE_COLOR) << "1 2 3" << parse << "0 0 0 0";
    QTest::newRow("time whole ticks") << uint(ATTRIBUTE_TIME) << "1.23456" << none << "1.2345";
    QTest::newRow("time 0.0007") << uint(ATTRIBUTE_TIME) << "0.0007" << none << "0.0007";
    QTest::newRow("boolean 2") << uint(ATTRIBUTE_BOOLEAN) << "2" << none << "1";
    QTest::newRow("boolean word") << uint(ATTRIBUTE_BOOLEAN) << "true" << parse << "0";
    QTest::newRow("binary odd digit") << uint(ATTRIBUTE_BINARY) << "0a ff 1" << none << "0A FF";
    QTest::newRow("binary two digits shown")
        << uint(ATTRIBUTE_BINARY) << "0A FF 00 7f" << none << "0A FF 00 7F";
    QTest::newRow("binary empty") << uint(ATTRIBUTE_BINARY) << "  " << parse << "";
    QTest::newRow("binary not hex") << uint(ATTRIBUTE_BINARY) << "zz" << parse << "";
    QTest::newRow("integer") << uint(ATTRIBUTE_INTEGER) << " -42 " << none << "-42";
    QTest::newRow("integer fraction") << uint(ATTRIBUTE_INTEGER) << "1.5" << parse << "0";
    QTest::newRow("integer two parts") << uint(ATTRIBUTE_INTEGER) << "1 2" << parse << "0";
    QTest::newRow("float") << uint(ATTRIBUTE_FLOAT) << "2.0" << none << "2";
    QTest::newRow("float fraction") << uint(ATTRIBUTE_FLOAT) << "1.5" << none << "1.5";
    QTest::newRow("float empty") << uint(ATTRIBUTE_FLOAT) << "" << parse << "0";
    QTest::newRow("string") << uint(ATTRIBUTE_STRING) << " keeps spaces " << none
                            << " keeps spaces ";
    QTest::newRow("string cut at NUL")
        << uint(ATTRIBUTE_STRING) << QString::fromLatin1("ab\0cd", 5) << none << "ab";
    QTest::newRow("matrix short") << uint(ATTRIBUTE_MATRIX) << "1 2 3" << parse
                                  << "1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1";
    QTest::newRow("array") << uint(ATTRIBUTE_INTEGER_ARRAY) << "1"
                           << "Unable to set value of array type from string."
                           << "0 Item(s)";
    QTest::newRow("element") << uint(ATTRIBUTE_ELEMENT) << "x"
                             << "Unable to change attribute of unknown value type."
                             << "";
}

void TestDmxModel::valueText()
{
    QFETCH(uint, type);
    QFETCH(QString, input);
    QFETCH(QString, error);
    QFETCH(QString, shown);
    DMXAttribute attribute;
    attribute.setValue(type, newDmxAttributeValue(type));
    const void *before = attribute.value();
    QCOMPARE(attribute.setValueFromString(input), error);
    QCOMPARE(attribute.setValueFromString(input).isNull(), error.isNull());
    QCOMPARE(attribute.valueString(), shown);
    // Edited in place: the editor's rows keep pointing at the same object.
    QCOMPARE(attribute.value(), before);
    QCOMPARE(attribute.type(), type);
}

void TestDmxModel::elementText()
{
    DMXAttribute attribute;
    attribute.setValue(ATTRIBUTE_ELEMENT, element(systemType, QStringLiteral("smoke")));
    QCOMPARE(attribute.valueString(), QStringLiteral("smoke"));
    DMXAttribute empty;
    QCOMPARE(empty.valueString(), QString());
    QCOMPARE(empty.setValueFromString(QStringLiteral("1")),
             QStringLiteral("Unable to change attribute of unknown value type."));
}

void TestDmxModel::guidsOfNewAndCloned()
{
    std::unique_ptr<DMXElement> first(new DMXElement);
    std::unique_ptr<DMXElement> second(new DMXElement);
    QVERIFY(!first->guid.isNull());
    QVERIFY(first->guid != second->guid);
    addFloat(first.get(), QStringLiteral("radius"), 3);
    std::unique_ptr<DMXElement> copy(first->clone());
    QCOMPARE(copy->guid, first->guid);
    QCOMPARE(shape(copy.get()), shape(first.get()));
    QVERIFY(copy->attributes[0] != first->attributes[0]);
}

void TestDmxModel::cloneFollowsChildren()
{
    std::unique_ptr<CFilePCF> document(newDmxRoot(2));
    DMXElement *leaf = addSystem(document.get(), system(QStringLiteral("leaf")));
    DMXElement *top = addSystem(document.get(), system(QStringLiteral("top"), {leaf}));
    std::unique_ptr<DMXElement> copy(top->clone());
    const DMXReferenceList children = copy->childSystems(0, 0);
    QCOMPARE(children.size(), 1);
    QVERIFY(children[0].element != leaf);
    QCOMPARE(children[0].element->guid, leaf->guid);
    // The copied child system is owned by nobody in the copy; free it here.
    delete children[0].element;
    children[0].attribute->setValue(ATTRIBUTE_UNKNOWN, nullptr);
}

void TestDmxModel::findParticleSystem()
{
    std::unique_ptr<CFilePCF> document(newDmxRoot(1));
    QCOMPARE(document->root()->name, QStringLiteral("untitled"));
    DMXElement *smoke = addSystem(document.get(), system(QStringLiteral("smoke")));
    // The list is found by its name and type wherever it stands.
    auto *scalar = new DMXAttribute;
    scalar->setValue(ATTRIBUTE_INTEGER, new qint32(1));
    document->root()->attributes.prepend(scalar);
    QCOMPARE(document->findParticleSystem(QStringLiteral("smoke")), smoke);
    QVERIFY(!document->findParticleSystem(QStringLiteral("fire")));

    document->root()->attributes[1]->setName(QStringLiteral("renamed"));
    QVERIFY(!document->findParticleSystem(QStringLiteral("smoke")));
    QVERIFY(!document->systemList());
}

void TestDmxModel::guidUniqueness()
{
    std::unique_ptr<CFilePCF> first(newDmxRoot(1));
    std::unique_ptr<CFilePCF> second(newDmxRoot(1));
    std::unique_ptr<CFilePCF> third(newDmxRoot(1));
    DMXElement *a = addSystem(first.get(), system(QStringLiteral("a")));
    DMXElement *b = addSystem(second.get(), system(QStringLiteral("b")));
    const QUuid shared = a->guid;
    b->guid = shared;
    third->root()->guid = QUuid();
    QVector<PCFGuidRecord> records{
        {first.get(), false}, {second.get(), false}, {third.get(), false}};
    ensureGuidUniqueness(records);
    QCOMPARE(a->guid, shared);
    QVERIFY(b->guid != shared && !b->guid.isNull());
    QVERIFY(!third->root()->guid.isNull());
    QCOMPARE(records[0].changed, false);
    QCOMPARE(records[1].changed, true);
    QCOMPARE(records[2].changed, true);
}

void TestDmxModel::guidUniquenessIsLinear()
{
    std::vector<std::unique_ptr<DMXElement>> elements;
    QVector<DMXGuidRecord> records;
    const QUuid same = QUuid::createUuid();
    for (int i = 0; i < 20000; ++i) {
        elements.emplace_back(new DMXElement);
        elements.back()->guid = same;
        records.append({elements.back().get(), false});
    }
    // Quadratic work here runs into the test's time-out.
    regenerateGuids(records);
    QSet<QUuid> distinct;
    for (const auto &element : elements)
        distinct.insert(element->guid);
    QCOMPARE(distinct.size(), 20000);
    QCOMPARE(elements.front()->guid, same);
    QVERIFY(!records[0].changed && records[1].changed && records[19999].changed);
}

void TestDmxModel::removeSystemLeavesChildLinks()
{
    std::unique_ptr<CFilePCF> document(newDmxRoot(2));
    DMXElement *leaf = addSystem(document.get(), system(QStringLiteral("leaf")));
    DMXElement *top = addSystem(document.get(), system(QStringLiteral("top"), {leaf}));
    DMXElement *entry = top->attributes[0]->elementList()->first();
    const int before = document->elements.size();
    // Taken out without freeing: the caller owns it now.
    QVERIFY(document->removeElement(leaf, false));
    QCOMPARE(document->systemList()->size(), 1);
    QVERIFY(!document->elements.contains(leaf));
    QCOMPARE(document->elements.size(), before - 1);
    QCOMPARE(entry->attribute(QStringLiteral("child"))->element(), leaf);
    // The caller's clean-up: the referring entry goes, then the system.
    QVERIFY(document->removeElement(entry, true));
    QVERIFY(top->attributes[0]->elementList()->isEmpty());
    delete leaf;
    QVERIFY(!document->removeElement(document->root(), true));
}

void TestDmxModel::removeUnreachableElement()
{
    // An element cut loose from its owner (as the conversion does) still owns
    // its own sub-elements; removing it frees each of them once.
    std::unique_ptr<CFilePCF> document(newDmxRoot(2));
    DMXElement *smoke = system(QStringLiteral("smoke"));
    DMXElement *op = element(QStringLiteral("DmeParticleOperator"), QStringLiteral("op"));
    DMXElement *inner = element(QStringLiteral("DmElement"), QStringLiteral("inner"));
    add(op, QStringLiteral("inner"), ATTRIBUTE_ELEMENT, inner);
    addList(smoke, QStringLiteral("operators"), {op});
    addSystem(document.get(), smoke);
    QCOMPARE(document->elements.size(), 4);
    DMXAttribute *operators = smoke->attributes.takeLast();
    operators->setOwnsValue(false);
    delete operators;
    QSet<DMXElement *> removed;
    QVERIFY(document->removeElement(op, true, &removed));
    QCOMPARE(removed, (QSet<DMXElement *>{op, inner}));
    QCOMPARE(document->elements.size(), 2);
}

void TestDmxModel::copySystems()
{
    std::unique_ptr<CFilePCF> document(newDmxRoot(2));
    DMXElement *c = addSystem(document.get(), system(QStringLiteral("c")));
    DMXElement *b = addSystem(document.get(), system(QStringLiteral("b"), {c}));
    DMXElement *a = addSystem(document.get(), system(QStringLiteral("a"), {b, c}));
    // Same GUID on two systems: linking goes by identity, not by GUID.
    c->guid = b->guid;
    QList<DMXElement *> copies;
    QVERIFY(document->copySystems({a, b}, &copies));
    QCOMPARE(copies.size(), 3);
    QCOMPARE(copies[0]->name, QStringLiteral("a"));
    QCOMPARE(copies[1]->name, QStringLiteral("b"));
    QCOMPARE(copies[2]->name, QStringLiteral("c"));
    QCOMPARE(copies[0]->guid, a->guid);
    const DMXReferenceList aChildren = copies[0]->childSystems(0, 0);
    QCOMPARE(aChildren.size(), 2);
    QCOMPARE(aChildren[0].element, copies[1]);
    QCOMPARE(aChildren[1].element, copies[2]);
    QVERIFY(!aChildren[0].attribute->ownsValue());
    QCOMPARE(copies[1]->childSystems(0, 0).value(0).element, copies[2]);
    qDeleteAll(copies);
}

void TestDmxModel::copySystemsRefuses()
{
    std::unique_ptr<CFilePCF> document(newDmxRoot(2));
    DMXElement *a = addSystem(document.get(), system(QStringLiteral("a")));
    std::unique_ptr<DMXElement> outside(system(QStringLiteral("outside")));
    QList<DMXElement *> copies;
    QVERIFY(!document->copySystems({}, &copies));
    QVERIFY(!document->copySystems({a, outside.get()}, &copies));
    QVERIFY(!document->copySystems({document->root()}, &copies));
    // A child link to a system outside the document is followed and copied.
    a->attributes[0]->elementList()->append(childEntry(outside.get()));
    document->elements.append(a->attributes[0]->elementList()->last());
    QVERIFY(document->copySystems({a}, &copies));
    QCOMPARE(copies.size(), 2);
    qDeleteAll(copies);
    copies.clear();
    // A plain reference to something outside the copied set cannot be linked:
    // nothing is handed out (and nothing leaks).
    std::unique_ptr<DMXElement> stray(element(QStringLiteral("DmElement"), QStringLiteral("x")));
    add(a, QStringLiteral("other"), ATTRIBUTE_ELEMENT, stray.get(), false);
    QVERIFY(!document->copySystems({a}, &copies));
    QVERIFY(copies.isEmpty());
}

void TestDmxModel::walksEndOnCycles()
{
    std::unique_ptr<CFilePCF> document(newDmxRoot(2));
    DMXElement *a = addSystem(document.get(), system(QStringLiteral("a")));
    DMXElement *b = addSystem(document.get(), system(QStringLiteral("b"), {a}));
    DMXElement *entry = childEntry(b);
    a->attributes[0]->elementList()->append(entry);
    document->elements.append(entry);

    QCOMPARE(a->childSystems(DMX::NoDepthLimit, 0).size(), 2);
    QVERIFY(a->hasChildSystem(b));
    QVERIFY(b->hasChildSystem(a));
    QVERIFY(!a->hasChildSystem(nullptr));
    QCOMPARE(a->flattenTree().size(), 4);
    QCOMPARE(a->flattenTree(0, 0).size(), 0);
    a->renewGuid(true);
    QList<DMXElement *> copies;
    QVERIFY(document->copySystems({a}, &copies));
    QCOMPARE(copies.size(), 2);
    QCOMPARE(copies[1]->childSystems(0, 0).value(0).element, copies[0]);
    qDeleteAll(copies);
}

void TestDmxModel::deepChains()
{
    // Freeing, copying and walking a deep chain uses no deep recursion.
    auto *top = element(QStringLiteral("DmElement"), QStringLiteral("0"));
    DMXElement *last = top;
    for (int i = 1; i < 200000; ++i) {
        DMXElement *next = element(QStringLiteral("DmElement"), QString());
        add(last, QStringLiteral("next"), ATTRIBUTE_ELEMENT, next);
        last = next;
    }
    QCOMPARE(top->flattenTree().size(), 199999);
    std::unique_ptr<DMXElement> copy(top->clone());
    QCOMPARE(copy->guid, top->guid);
    delete top;
}

void TestDmxModel::typeNames()
{
    QCOMPARE(DMX::typeName(0), QStringLiteral("NULL"));
    QCOMPARE(DMX::typeName(14), QStringLiteral("MATRIX"));
    QCOMPARE(DMX::typeName(28), QStringLiteral("MATRIX_ARRAY"));
    QCOMPARE(DMX::typeName(29), QStringLiteral("UNKNOWN"));
    QCOMPARE(DMX::typeFromName(QStringLiteral("VECTOR3_ARRAY")), 24u);
    QCOMPARE(DMX::typeFromName(QStringLiteral("NULL")), 0u);
}

QTEST_GUILESS_MAIN(TestDmxModel)
#include "tst_dmxmodel.moc"
