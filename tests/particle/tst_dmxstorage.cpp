// How the particle model stores what it holds: pooled slots, attribute lists
// whose attributes never move, values inside or outside the attribute, the
// shared name table, and the GUID pass against the plain algorithm.
#include "CFilePCF.h"
#include "DMXAttribute.h"
#include "DMXElement.h"
#include "DMXGuids.h"
#include "DMXSlotPool.h"
#include "DmxBuild.h"
#include "PCFDelegate.h"
#include "PcfBuilder.h"

#include <QRandomGenerator>
#include <QtTest>

#include <memory>

namespace {

// The GUID pass as the model first had it, one record after another: the
// reference the sorting pass must agree with.
void plainGuidPass(QVector<DMXGuidRecord> &records)
{
    QSet<QUuid> taken;
    QSet<const DMXElement *> handled;
    for (DMXGuidRecord &record : records) {
        DMXElement *element = record.element;
        if (!element || handled.contains(element))
            continue;
        handled.insert(element);
        if (element->guid.isNull() || taken.contains(element->guid)) {
            element->guid = QUuid::createUuid();
            record.changed = true;
        }
        taken.insert(element->guid);
    }
}

} // namespace

class TestDmxStorage : public QObject
{
    Q_OBJECT

private slots:
    void slotPool();
    void listKeepsAttributesInPlace();
    void documentsGiveBackTheirSlots_data();
    void documentsGiveBackTheirSlots();
    void valuesInsideAndOutside_data();
    void valuesInsideAndOutside();
    void sharedNames();
    void guidPassAgreesWithPlainPass();
};

void TestDmxStorage::slotPool()
{
    DMXSlotPool pool(12);
    QVERIFY(!pool.allocateRun(0));
    QVERIFY(!pool.allocateRun(pool.capacity() + 1));
    // A full-slab run, then one that no longer fits it starts a new slab.
    auto *whole = static_cast<char *>(pool.allocateRun(pool.capacity()));
    auto *next = static_cast<char *>(pool.allocateRun(2));
    QVERIFY(whole && next);
    QVERIFY(next < whole || next >= whole + 12 * pool.capacity());
    void *single = pool.allocate();
    QCOMPARE(pool.liveSlots(), qint64(pool.capacity() + 3));
    // Slots of a run are freed one by one or together, and handed out again.
    pool.release(whole + 12 * 7);
    QCOMPARE(pool.allocate(), static_cast<void *>(whole + 12 * 7));
    pool.releaseRun(whole, pool.capacity());
    pool.releaseRun(next, 2);
    pool.release(single);
    QCOMPARE(pool.liveSlots(), qint64(0));
}

void TestDmxStorage::listKeepsAttributesInPlace()
{
    const qint64 before = DMXAttribute::pool().liveSlots();
    {
        DMXElement element;
        element.attributes.reserveRun(4);
        QList<DMXAttribute *> model;
        for (int i = 0; i < 5; ++i) {
            DMXAttribute *made = element.attributes.emplace();
            made->setName(QString::number(i));
            model << made;
        }
        // The fifth no longer fits the run and is made on its own.
        QCOMPARE(element.attributes.toList(), model);
        QCOMPARE(element.attributes.indexOf(model[3]), 3);

        // Every change keeps the others where they are.
        auto *added = new DMXAttribute;
        added->setName(QStringLiteral("added"));
        element.attributes.insert(1, added);
        model.insert(1, added);
        std::unique_ptr<DMXAttribute> taken(element.attributes.takeAt(3));
        QCOMPARE(taken.get(), model.takeAt(3));
        element.attributes.removeAt(0);
        delete model.takeAt(0);
        element.attributes.prepend(taken.release());
        model.prepend(element.attributes.first());
        QCOMPARE(element.attributes.toList(), model);

        DMXAttributeList copy = element.attributes;
        QCOMPARE(copy.toList(), model);
        copy.clear();
        QCOMPARE(element.attributes.size(), 5);
        QCOMPARE(element.attributes.value(5), nullptr);
    }
    QCOMPARE(DMXAttribute::pool().liveSlots(), before);
}

void TestDmxStorage::documentsGiveBackTheirSlots_data()
{
    QTest::addColumn<int>("encoding");
    QTest::newRow("binary 2 pcf 1") << 1;
    QTest::newRow("binary 4 pcf 2") << 3;
}

void TestDmxStorage::documentsGiveBackTheirSlots()
{
    QFETCH(int, encoding);
    const qint64 attributes = DMXAttribute::pool().liveSlots();
    const qint64 elements = DMXElement::pool().liveSlots();
    const QByteArray fixture = PcfFixture::everyTypeFile(encoding);
    PCFDelegate delegate;
    {
        CFilePCF document;
        QVERIFY(delegate.readData(fixture, &document));
        QVERIFY(DMXAttribute::pool().liveSlots() > attributes);
        // Copies, a conversion and a half-read file free everything too.
        QList<DMXElement *> copies;
        QVERIFY(document.copySystems({document.elements[1]}, &copies));
        qDeleteAll(copies);
        QVERIFY(delegate.convert(&document, encoding, document.elements[1]).isNull());
        CFilePCF broken;
        QVERIFY(!delegate.readData(fixture.left(fixture.size() - 3), &broken));
    }
    QCOMPARE(DMXAttribute::pool().liveSlots(), attributes);
    QCOMPARE(DMXElement::pool().liveSlots(), elements);
}

void TestDmxStorage::valuesInsideAndOutside_data()
{
    QTest::addColumn<uint>("type");
    // An ELEMENT_ARRAY wrapper would free the list object it is given.
    for (uint type = ATTRIBUTE_ELEMENT; type < DMX::TypeCount; ++type) {
        if (type != ATTRIBUTE_ELEMENT_ARRAY)
            QTest::newRow(qPrintable(DMX::typeName(type))) << type;
    }
}

void TestDmxStorage::valuesInsideAndOutside()
{
    QFETCH(uint, type);
    // A wrapper that does not own its value holds the very object given.
    void *given = newDmxAttributeValue(type);
    std::unique_ptr<DMXAttribute> wrapper(newDmxAttribute(type, given, QStringLiteral("w")));
    QCOMPARE(wrapper->value(), given);
    const QString text = wrapper->valueString();

    // An owned value equals what was given, kept inside the attribute when
    // small.
    DMXAttribute owner;
    QVERIFY(owner.setValue(type, newDmxAttributeValue(type)));
    QVERIFY(owner.value());
    QCOMPARE(owner.valueString(), text);
    const auto *begin = reinterpret_cast<const char *>(&owner);
    const auto *at = static_cast<const char *>(owner.value());
    QCOMPARE(at >= begin && at < begin + sizeof owner, DMXAttribute::storedInside(type));
    std::unique_ptr<DMXAttribute> copy(owner.clone());
    QCOMPARE(copy->valueString(), text);

    // An edit through the wrapper changes the item itself.
    static const QMap<uint, QString> edits{
        {ATTRIBUTE_INTEGER, "7"},
        {ATTRIBUTE_FLOAT, "7"},
        {ATTRIBUTE_BOOLEAN, "1"},
        {ATTRIBUTE_STRING, "seven"},
        {ATTRIBUTE_BINARY, "07"},
        {ATTRIBUTE_TIME, "7"},
        {ATTRIBUTE_COLOR, "7 7 7 7"},
        {ATTRIBUTE_VECTOR2, "7 7"},
        {ATTRIBUTE_VECTOR3, "7 7 7"},
        {ATTRIBUTE_VECTOR4, "7 7 7 7"},
        {ATTRIBUTE_QANGLE, "7 7 7"},
        {ATTRIBUTE_QUATERNION, "7 7 7 7"},
        {ATTRIBUTE_MATRIX, QString("7 ").repeated(16).trimmed()},
    };
    if (edits.contains(type)) {
        QVERIFY(wrapper->setValueFromString(edits[type]).isNull());
        std::unique_ptr<DMXAttribute> view(newDmxAttribute(type, given, QString()));
        QCOMPARE(view->valueString(), edits[type]);
        QCOMPARE(owner.valueString(), text);
    }
    DMX::deleteValue(type, given);
}

void TestDmxStorage::sharedNames()
{
    DMXAttribute a;
    DMXAttribute b;
    QCOMPARE(a.nameId(), quint32(0));
    QVERIFY(a.setName(QStringLiteral("emission_rate")));
    QVERIFY(b.setName(QString::fromLatin1("emission") + QStringLiteral("_rate")));
    QCOMPARE(a.nameId(), b.nameId());
    const QString *text = &a.name();
    QVERIFY(b.setName(QStringLiteral("another name")));
    QVERIFY(a.nameId() != b.nameId());
    QCOMPARE(&a.name(), text);
    QCOMPARE(a.name(), QStringLiteral("emission_rate"));
    QVERIFY(b.setName(QString()));
    QCOMPARE(b.nameId(), quint32(0));
}

void TestDmxStorage::guidPassAgreesWithPlainPass()
{
    // Lists of elements drawn from a few GUIDs (null among them), some
    // elements listed twice: the sorting pass renews the same records as the
    // plain one, and leaves every other GUID alone.
    QRandomGenerator random(20);
    const QUuid pool[] = {QUuid(), QUuid::createUuid(), QUuid::createUuid(), QUuid::createUuid()};
    for (int round = 0; round < 300; ++round) {
        const int count = 1 + int(random.bounded(60));
        std::vector<std::unique_ptr<DMXElement>> elements;
        QVector<DMXGuidRecord> records;
        for (int i = 0; i < count; ++i) {
            if (!elements.empty() && random.bounded(5) == 0) {
                records.append({elements[random.bounded(int(elements.size()))].get(), false});
                continue;
            }
            const QUuid guid =
                random.bounded(3) == 0 ? pool[random.bounded(4)] : QUuid::createUuid();
            elements.emplace_back(new DMXElement(guid));
            records.append({elements.back().get(), false});
        }
        QVector<QUuid> before;
        for (const auto &element : elements)
            before << element->guid;
        QVector<DMXGuidRecord> plain = records;
        plainGuidPass(plain);
        QVector<QUuid> expected;
        for (const auto &element : elements)
            expected << element->guid;
        for (size_t i = 0; i < elements.size(); ++i)
            elements[i]->guid = before[int(i)];

        regenerateGuids(records);
        QSet<QUuid> distinct;
        for (size_t i = 0; i < elements.size(); ++i) {
            const QUuid &guid = elements[i]->guid;
            QCOMPARE(guid == before[int(i)], expected[int(i)] == before[int(i)]);
            QVERIFY(!guid.isNull());
            distinct.insert(guid);
        }
        QCOMPARE(distinct.size(), int(elements.size()));
        for (int i = 0; i < records.size(); ++i)
            QCOMPARE(records[i].changed, plain[i].changed);
    }
}

QTEST_GUILESS_MAIN(TestDmxStorage)
#include "tst_dmxstorage.moc"
