#include "ExchangeFixture.h"
#include "PCFErrors.h"
#include "PCFExchange.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace ExchangeFixture;

namespace {

using Document = std::unique_ptr<CFilePCF>;

QList<DMXElement *> systemsNamed(const CFilePCF *document, const QStringList &names)
{
    QList<DMXElement *> out;
    for (const QString &name : names)
        out << document->findParticleSystem(name);
    return out;
}

// Every element the root owns, directly or not, each once.
QSet<DMXElement *> ownedFromRoot(const CFilePCF *document)
{
    QSet<DMXElement *> out{document->root()};
    for (const DMXReference &reference : document->root()->flattenTree()) {
        if (reference.attribute->ownsValue())
            out.insert(reference.element);
    }
    return out;
}

// A system as real files carry it beyond the fixture template: a parameter
// and a function nothing names, and a function and a parameter of a known
// one that `keptLists()` names.
DMXElement *realLooking(const QString &name)
{
    using namespace DmxBuild;
    DMXElement *out = system(name);
    addFloat(out, "bogus", 1);
    DMXElement *mover = out->attribute("operators")->elementList()->first();
    addFloat(mover, "kept param", 2);
    addFloat(mover, "unknown param", 3);
    for (const char *function : {"Kept Function", "Unknown Function"}) {
        DMXElement *item = element("DmeParticleOperator", function);
        addFloat(item, "its own", 4);
        out->attribute("operators")->elementList()->append(item);
    }
    return out;
}

QVector<PCFKeptList> keptLists()
{
    QVector<PCFKeptList> out(4);
    QString error;
    for (int format = 1; format <= 3; ++format)
        out[format].add("function_kind\tfunction_name\tparameter_name\tdmx_type\tevidence\n"
                        "operator\tMovement Basic\tkept param\tfloat\t\n"
                        "operator\tkept function\t\t\t\n",
                        "kept.tsv", &error);
    return out;
}

} // namespace

class TestPcfExchange : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_templates = templates(); }
    void cleanup() { qDeleteAll(m_templates); }

    void uniqueNames_data();
    void uniqueNames();
    void childSystemsComeAlong();
    void targetKeepsWhatItHeld_data();
    void targetKeepsWhatItHeld();
    void guidsPreservedOrRenewed();
    void refusedTargets_data();
    void refusedTargets();
    void nothingToCopy();
    void conformFailureKeepsCopies();
    void exportToNewAndExistingFile();
    void exportToUnreadableFile();
    void ensureUniqueGuids();

private:
    QList<CFilePCF *> m_templates;
};

void TestPcfExchange::uniqueNames_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("imported");
    QTest::addColumn<QStringList>("after");

    const auto row = [](const char *name, const QStringList &present, const QStringList &imported,
                        const QStringList &after) {
        QTest::newRow(name) << present << imported << after;
    };
    row("free name", {"smoke"}, {"fire"}, {"smoke", "fire"});
    row("fire and fire_1 taken", {"fire", "fire_1"}, {"fire"}, {"fire", "fire_1", "fire_2"});
    row("case-sensitive", {"Fire"}, {"fire"}, {"Fire", "fire"});
    // Copies are unique among themselves too.
    row("x and x_1 into x", {"x"}, {"x", "x_1"}, {"x", "x_1", "x_1_1"});
    row("placeholder text in a name", {"a%1"}, {"a%1"}, {"a%1", "a%1_1"});
}

void TestPcfExchange::uniqueNames()
{
    QFETCH(QStringList, present);
    QFETCH(QStringList, imported);
    QFETCH(QStringList, after);
    Document source(document(2, imported));
    Document target(document(2, present));
    QString warning;
    QVERIFY(PCFExchange::mergeSystems(source.get(), systemsNamed(source.get(), imported),
                                      target.get(), false, m_templates, {}, nullptr, &warning));
    QCOMPARE(systemNames(target.get()), after);
    QCOMPARE(systemNames(source.get()), imported);
}

void TestPcfExchange::childSystemsComeAlong()
{
    Document source(document(2, {"fire", "smoke", "sparks", "other"}));
    DMXElement *fire = source->findParticleSystem("fire");
    DMXElement *smoke = source->findParticleSystem("smoke");
    link(fire, smoke, source.get());
    link(smoke, source->findParticleSystem("sparks"), source.get());
    Document target(document(2, {"smoke"}));

    // smoke is reached twice (chosen and as a child) and copied once.
    QString warning;
    QVERIFY(PCFExchange::mergeSystems(source.get(), {fire, smoke}, target.get(), false, m_templates,
                                      {}, nullptr, &warning));
    QCOMPARE(systemNames(target.get()), (QStringList{"smoke", "fire", "smoke_1", "sparks"}));

    DMXElement *copiedFire = target->findParticleSystem("fire");
    DMXElement *copiedSmoke = target->findParticleSystem("smoke_1");
    const DMXReferenceList children = copiedFire->childSystems(DMX::NoDepthLimit, 0);
    QCOMPARE(children.size(), 2);
    QCOMPARE(children[0].element, copiedSmoke);
    QCOMPARE(children[1].element, target->findParticleSystem("sparks"));

    // The flat list holds exactly what the root owns, and the file reads back.
    const QSet<DMXElement *> listed(target->elements.cbegin(), target->elements.cend());
    QCOMPARE(listed.size(), target->elements.size());
    QCOMPARE(listed, ownedFromRoot(target.get()));
    const QByteArray written = bytes(target.get());
    QVERIFY(!written.isEmpty());
    CFilePCF back;
    PCFDelegate delegate;
    QVERIFY(delegate.readData(written, &back));
    QCOMPARE(systemNames(&back), systemNames(target.get()));
}

void TestPcfExchange::targetKeepsWhatItHeld_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("target");
    QTest::newRow("into a copy of itself") << 2 << 2;
    QTest::newRow("into another encoding") << 1 << 2;
}

void TestPcfExchange::targetKeepsWhatItHeld()
{
    QFETCH(int, source);
    QFETCH(int, target);
    Document from(newDmxRoot(source));
    DmxBuild::addSystem(from.get(), realLooking("fire"));
    Document into(newDmxRoot(target));
    DMXElement *own = DmxBuild::addSystem(into.get(), realLooking("fire"));
    // A GUID the target repeats, and a parameter of the template it lacks,
    // are its own business.
    own->attribute("operators")->elementList()->first()->guid = own->guid;
    delete own->attributes.takeFirst();
    const QStringList held = DmxBuild::dump(own);
    QList<QUuid> guids;
    for (const DMXElement *element : into->elements)
        guids << element->guid;
    const int ownCount = into->elements.size();

    QString warning;
    PCFConversionReport report;
    QVERIFY(PCFExchange::mergeSystems(from.get(), systemsNamed(from.get(), {"fire"}), into.get(),
                                      false, m_templates, keptLists(), nullptr, &warning, &report));
    QCOMPARE(DmxBuild::dump(own), held);
    for (int i = 0; i < ownCount; ++i)
        QCOMPARE(into->elements[i]->guid, guids[i]);
    QVERIFY(guidsUnique(into->elements.mid(ownCount) << into->root()));

    // The copy is whole in its own encoding; in another it loses what that
    // encoding's games do not know, and says exactly that.
    const QStringList copied = DmxBuild::dump(into->findParticleSystem("fire_1"));
    if (source == target) {
        QCOMPARE(copied, DmxBuild::dump(from->findParticleSystem("fire")));
        QVERIFY(report.isEmpty());
        return;
    }
    QCOMPARE(conversionReportLines(report, "x"),
             QStringList{"Format Conversion: \"x\", system \"fire_1\": dropped 1 function(s): "
                         "operators \"Unknown Function\"; dropped 2 parameter(s): \"bogus\" of the "
                         "system, \"unknown param\" of \"Movement Basic\""});
}

void TestPcfExchange::guidsPreservedOrRenewed()
{
    Document source(document(2, {"fire"}));
    const QList<DMXElement *> chosen = systemsNamed(source.get(), {"fire"});
    QSet<QUuid> sourceGuids;
    for (const DMXElement *element : source->elements)
        sourceGuids.insert(element->guid);

    Document renewed(document(2, {}));
    QString warning;
    for (int i = 0; i < 2; ++i)
        QVERIFY(PCFExchange::mergeSystems(source.get(), chosen, renewed.get(), false, m_templates,
                                          {}, nullptr, &warning));
    QCOMPARE(systemNames(renewed.get()), (QStringList{"fire", "fire_1"}));
    QVERIFY(guidsUnique(renewed->elements));
    // The systems themselves always get new GUIDs; what they own only where
    // the target already has the GUID.
    for (const DMXElement *copy : systemsNamed(renewed.get(), {"fire", "fire_1"}))
        QVERIFY(!sourceGuids.contains(copy->guid));

    // Preserved GUIDs are kept, even where that makes duplicates.
    Document kept(document(2, {}));
    for (int i = 0; i < 2; ++i)
        QVERIFY(PCFExchange::mergeSystems(source.get(), chosen, kept.get(), true, m_templates, {},
                                          nullptr, &warning));
    const DMXElement *first = kept->findParticleSystem("fire");
    const DMXElement *second = kept->findParticleSystem("fire_1");
    QCOMPARE(first->guid, chosen[0]->guid);
    QCOMPARE(second->guid, chosen[0]->guid);
    QVERIFY(!guidsUnique(kept->elements));
}

void TestPcfExchange::refusedTargets_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("format 0") << 0;
    QTest::newRow("root without a system list") << 1;
    QTest::newRow("root without attributes") << 2;
    QTest::newRow("no target") << 3;
}

void TestPcfExchange::refusedTargets()
{
    QFETCH(int, kind);
    Document source(document(2, {"fire"}));
    Document target(document(2, {"smoke"}));
    DMXElement *root = target->root();
    if (kind == 0) {
        target->format = 0;
    } else if (kind == 1) {
        root->attributes.first()->setName(QStringLiteral("name"));
    } else if (kind == 2) {
        qDeleteAll(root->attributes);
        root->attributes.clear();
        target->elements = {root};
    }
    const int elementCount = target->elements.size();
    QString warning;
    QVERIFY(!PCFExchange::mergeSystems(source.get(), systemsNamed(source.get(), {"fire"}),
                                       kind == 3 ? nullptr : target.get(), false, m_templates, {},
                                       nullptr, &warning));
    QCOMPARE(warning, QString::fromLatin1(PCFError::ExportFormat));
    QCOMPARE(target->elements.size(), elementCount);
}

void TestPcfExchange::nothingToCopy()
{
    Document source(document(2, {"fire"}));
    Document target(document(2, {"smoke"}));
    DMXElement *op = source->elementsOfType("DmeParticleOperator").value(0);
    QVERIFY(op);
    QString warning;
    // Not a system, a foreign system, an empty list: true, target untouched.
    QVERIFY(PCFExchange::mergeSystems(source.get(), {op}, target.get(), false, m_templates, {},
                                      nullptr, &warning));
    QVERIFY(PCFExchange::mergeSystems(source.get(), systemsNamed(target.get(), {"smoke"}),
                                      target.get(), false, m_templates, {}, nullptr, &warning));
    QVERIFY(PCFExchange::mergeSystems(source.get(), {}, target.get(), false, m_templates, {},
                                      nullptr, &warning));
    QVERIFY(warning.isNull());
    QCOMPARE(systemNames(target.get()), QStringList{"smoke"});
}

void TestPcfExchange::conformFailureKeepsCopies()
{
    Document source(document(2, {"fire"}));
    Document target(document(3, {}));
    const QList<CFilePCF *> partial{nullptr, m_templates[1], m_templates[2]};
    QString warning;
    QVERIFY(!PCFExchange::mergeSystems(source.get(), systemsNamed(source.get(), {"fire"}),
                                       target.get(), false, partial, {}, nullptr, &warning));
    QCOMPARE(warning, QString::fromLatin1(PCFError::FormatTemplate));
    QCOMPARE(systemNames(target.get()), QStringList{"fire"});
}

void TestPcfExchange::exportToNewAndExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.pcf");
    Document source(document(1, {"fire", "smoke", "other"}));
    link(source->findParticleSystem("fire"), source->findParticleSystem("smoke"), source.get());
    const QByteArray sourceBefore = bytes(source.get());
    QString warning;

    QVERIFY(PCFExchange::exportSystems(path, source.get(), systemsNamed(source.get(), {"fire"}),
                                       true, m_templates, {}, nullptr, &warning));
    Document fresh(readDocument(path));
    QVERIFY(fresh);
    QCOMPARE(fresh->format, 1);
    QCOMPARE(systemNames(fresh.get()), (QStringList{"fire", "smoke"}));
    QCOMPARE(fresh->findParticleSystem("fire")->guid, source->findParticleSystem("fire")->guid);

    // Into an existing file of another encoding: what was there stays.
    QVERIFY(writeDocument(path, document(3, {"fire", "kept"})));
    QVERIFY(PCFExchange::exportSystems(path, source.get(), systemsNamed(source.get(), {"fire"}),
                                       false, m_templates, {}, nullptr, &warning));
    Document merged(readDocument(path));
    QVERIFY(merged);
    QCOMPARE(merged->format, 3);
    QCOMPARE(systemNames(merged.get()), (QStringList{"fire", "kept", "fire_1", "smoke"}));
    QVERIFY(guidsUnique(merged->elements));
    // The exported document itself is not changed.
    QCOMPARE(bytes(source.get()), sourceBefore);
}

void TestPcfExchange::exportToUnreadableFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("broken.pcf");
    const QByteArray junk("<!-- dmx encoding binary 9 format pcf 9 -->\n");
    QVERIFY(writeFile(path, junk));
    Document source(document(2, {"fire"}));
    QString warning;
    QVERIFY(!PCFExchange::exportSystems(path, source.get(), systemsNamed(source.get(), {"fire"}),
                                        false, m_templates, {}, nullptr, &warning));
    QCOMPARE(warning, QString::fromLatin1(PCFError::ReadUnknownFormat));
    QCOMPARE(readFile(path), junk);

    // A target the merge refuses is not written either.
    const QString empty = dir.filePath("new.pcf");
    source->format = 0;
    QVERIFY(!PCFExchange::exportSystems(empty, source.get(), {}, false, m_templates, {}, nullptr,
                                        &warning));
    QCOMPARE(warning, QString::fromLatin1(PCFError::ExportFormat));
    QVERIFY(!QFile::exists(empty));
}

void TestPcfExchange::ensureUniqueGuids()
{
    Document clean(document(2, {"fire", "smoke"}));
    QStringList before;
    for (const DMXElement *element : clean->elements)
        before << element->guid.toString();
    QVERIFY(!PCFExchange::ensureUniqueGuids(clean.get()));
    for (int i = 0; i < before.size(); ++i)
        QCOMPARE(clean->elements[i]->guid.toString(), before[i]);

    DMXElement *fire = clean->findParticleSystem("fire");
    DMXElement *smoke = clean->findParticleSystem("smoke");
    const QUuid fireGuid = fire->guid;
    smoke->guid = fireGuid;
    clean->root()->guid = QUuid();
    QVERIFY(PCFExchange::ensureUniqueGuids(clean.get()));
    QCOMPARE(fire->guid, fireGuid);
    QVERIFY(smoke->guid != fireGuid);
    QVERIFY(guidsUnique(clean->elements));
}

QTEST_GUILESS_MAIN(TestPcfExchange)
#include "tst_pcfexchange.moc"
