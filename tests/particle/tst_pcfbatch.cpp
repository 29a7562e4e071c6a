#include "ExchangeFixture.h"
#include "PCFBatch.h"
#include "PCFErrors.h"
#include "PCFSystemSearch.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace ExchangeFixture;

namespace {

using Document = std::unique_ptr<CFilePCF>;

// Fixture files in a temporary folder, with their bytes as written.
struct Files
{
    QTemporaryDir dir;
    QStringList paths;
    QList<QByteArray> before;

    QString add(const QString &name, CFilePCF *document)
    {
        const QByteArray data = bytes(document);
        delete document;
        return addRaw(name, data);
    }
    QString addRaw(const QString &name, const QByteArray &data)
    {
        const QString path = dir.filePath(name);
        writeFile(path, data);
        paths << path;
        before << data;
        return path;
    }
    bool unchanged(int index) const { return readFile(paths[index]) == before[index]; }
};

} // namespace

class TestPcfBatch : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_templates = templates(); }
    void cleanup() { qDeleteAll(m_templates); }

    void guidUniquenessWritesOnlyChangedFiles();
    void massFormat();
    void massFormatFailuresLeaveFilesAlone();
    void unreadableFiles();
    void otherModes();
    void findSystem();

private:
    QList<CFilePCF *> m_templates;
};

void TestPcfBatch::guidUniquenessWritesOnlyChangedFiles()
{
    Files files;
    CFilePCF *first = document(2, {"fire"});
    CFilePCF *second = document(1, {"smoke"});
    // The later file repeats a GUID of the earlier one.
    second->findParticleSystem("smoke")->guid = first->findParticleSystem("fire")->guid;
    const QUuid shared = first->findParticleSystem("fire")->guid;
    files.add("a.pcf", first);
    files.add("b.pcf", second);
    files.add("c.pcf", document(3, {"sparks"}));

    RecordingSink sink;
    PCFBatch batch(nullptr, &sink);
    QVERIFY(batch.run(PCFBatch::EnsureUniqueGuids, files.paths));
    QCOMPARE(batch.written(), QStringList{files.paths[1]});
    QVERIFY(files.unchanged(0));
    QVERIFY(files.unchanged(2));
    QVERIFY(sink.messages.isEmpty());
    // Root, system and operator: three elements per file.
    QCOMPARE(sink.labels,
             (QStringList{"Reading...", "Checking 9 element(s) in 3 file(s)...", "Writing..."}));
    QCOMPARE(sink.values, (QList<int>{1, 2, 3, 1, 2, 3}));

    Document rewritten(readDocument(files.paths[1]));
    QVERIFY(rewritten);
    QCOMPARE(rewritten->format, 1);
    QVERIFY(rewritten->findParticleSystem("smoke")->guid != shared);

    // Distinct GUIDs everywhere: nothing is written.
    PCFBatch again(nullptr, nullptr);
    QVERIFY(again.run(PCFBatch::EnsureUniqueGuids, files.paths));
    QVERIFY(again.written().isEmpty());
}

void TestPcfBatch::massFormat()
{
    Files files;
    // What the target's template lacks is dropped from a file of another
    // encoding, and said: one line per system, as a message that is no
    // failure, and in the run's log. A file already in the target encoding
    // is converted and written too, and keeps all it had.
    const auto withExtras = [](int format, const QString &name) {
        CFilePCF *out = document(format, {name});
        DMXElement *system = out->findParticleSystem(name);
        DmxBuild::addFloat(system, "bogus", 1);
        DMXElement *extra = DmxBuild::element("DmeParticleOperator", "Old Operator");
        system->attribute("operators")->elementList()->append(extra);
        out->elements.append(extra);
        return out;
    };
    files.add("a.pcf", withExtras(3, "fire"));
    files.add("b.pcf", withExtras(2, "smoke"));
    RecordingSink sink;
    PCFBatch batch(nullptr, &sink);
    QVERIFY(batch.run(PCFBatch::MassFormat, files.paths, 3, m_templates));
    QCOMPARE(batch.written(), files.paths);
    Document own(readDocument(files.paths[0]));
    QVERIFY(own);
    QCOMPARE(DmxBuild::shape(own->findParticleSystem("fire")),
             (QStringList{"radius:3", "operators:15", "children:15", "bogus:3"}));
    QCOMPARE(own->findParticleSystem("fire")->attribute("operators")->itemCount(), 2);
    QCOMPARE(sink.labels[1], QStringLiteral("Formatting 2 files..."));
    const QString line = "Format Conversion: \"" + files.paths[1] +
                         "\", system \"smoke\": dropped 1 function(s): operators \"Old "
                         "Operator\"; dropped 1 parameter(s): \"bogus\" of the system";
    QCOMPARE(sink.messages, QStringList{line});
    QCOMPARE(sink.errors, QList<bool>{false});
    QCOMPARE(batch.log(), sink.messages);
    for (const QString &path : files.paths) {
        Document back(readDocument(path));
        QVERIFY(back);
        QCOMPARE(back->format, 3);
    }
}

void TestPcfBatch::massFormatFailuresLeaveFilesAlone()
{
    Files files;
    files.add("a.pcf", document(1, {"fire"}));
    files.add("b.pcf", document(2, {"smoke"}));
    // The root's string list cannot be written in encoding 3.
    CFilePCF *tagged = document(2, {"sparks"});
    DmxBuild::add(tagged->root(), "tags", ATTRIBUTE_STRING_ARRAY,
                  new DMXValueList{new QString("a")});
    files.add("c.pcf", tagged);

    RecordingSink sink;
    PCFBatch batch(nullptr, &sink);
    batch.read(files.paths);
    QCOMPARE(batch.paths(), files.paths);
    // A document the converter refuses.
    batch.document(1)->format = 0;
    batch.convert(3, m_templates);
    QVERIFY(batch.changed(0));
    QVERIFY(!batch.changed(1));
    QVERIFY(batch.changed(2));
    batch.writeChanged();
    QCOMPARE(batch.written(), QStringList{files.paths[0]});
    QVERIFY(!files.unchanged(0));
    QVERIFY(files.unchanged(1));
    QVERIFY(files.unchanged(2));
    QCOMPARE(sink.messages, (QStringList{QString::fromLatin1(PCFError::FormatSource),
                                         QString::fromLatin1(PCFError::WriteStringArray)}));

    // Without the target's template every conversion fails; nothing is written.
    const QList<CFilePCF *> none{nullptr};
    RecordingSink refused;
    PCFBatch noTemplate(nullptr, &refused);
    QVERIFY(noTemplate.run(PCFBatch::MassFormat, files.paths.mid(1, 1), 1, none));
    QVERIFY(noTemplate.written().isEmpty());
    QCOMPARE(refused.messages, QStringList{QString::fromLatin1(PCFError::FormatTemplate)});
    QVERIFY(files.unchanged(1));
}

void TestPcfBatch::unreadableFiles()
{
    Files files;
    files.addRaw("junk.pcf", QByteArray("not a particle file"));
    const QString missing = files.dir.filePath("missing.pcf");
    files.paths << missing;
    files.before << QByteArray();
    files.add("ok.pcf", document(2, {"fire"}));

    for (int mode : {0, 1}) {
        RecordingSink sink;
        PCFBatch batch(nullptr, &sink);
        // Every file fails: the run still completes.
        QVERIFY(batch.run(mode, files.paths.mid(0, 2), 2, m_templates));
        // Each refusal names its file.
        QCOMPARE(
            sink.messages,
            (QStringList{'"' + files.paths[0] + "\" : Read Error: Invalid or unrecognized format",
                         '"' + missing + "\" : Read Error: Unable to open file"}));
        QCOMPARE(sink.labels.last(), QStringLiteral("Writing..."));
        QVERIFY(batch.written().isEmpty());
        QVERIFY(files.unchanged(0));
        QVERIFY(!QFile::exists(missing));

        // The readable file keeps its place among the others.
        PCFBatch mixed(nullptr, nullptr);
        mixed.read(files.paths);
        QCOMPARE(mixed.paths(), QStringList{files.paths[2]});
        QCOMPARE(mixed.elementTotal(), 3);
    }
    RecordingSink sink;
    PCFBatch batch(nullptr, &sink);
    QVERIFY(batch.run(PCFBatch::EnsureUniqueGuids, files.paths.mid(0, 2)));
    QCOMPARE(sink.labels[1], QStringLiteral("Checking 0 element(s) in 0 file(s)..."));
}

void TestPcfBatch::otherModes()
{
    Files files;
    files.add("a.pcf", document(1, {"fire"}));
    RecordingSink sink;
    PCFBatch batch(nullptr, &sink);
    QVERIFY(!batch.run(2, files.paths, 3, m_templates));
    QVERIFY(!batch.run(-1, files.paths, 3, m_templates));
    QVERIFY(sink.labels.isEmpty());
    QVERIFY(batch.paths().isEmpty());
    QVERIFY(files.unchanged(0));
}

void TestPcfBatch::findSystem()
{
    Files files;
    files.add("a.pcf", document(2, {"fire", "smoke"}));
    files.addRaw("bad.pcf", QByteArray("junk"));
    files.add("b.pcf", document(1, {"Fire"}));
    files.add("c.pcf", document(3, {"fire"}));
    const QStringList paths{files.paths[0], files.paths[1], files.paths[2], files.paths[3],
                            files.paths[0]};

    RecordingSink sink;
    const QStringList found = PCFSystemSearch::filesDefining(paths, "fire", &sink);
    // Kept in list order, duplicates included; the name is case-sensitive.
    QCOMPARE(found, (QStringList{paths[0], paths[3], paths[4]}));
    QCOMPARE(sink.messages,
             QStringList{QStringLiteral("\"%1\" : %2")
                             .arg(paths[1], QString::fromLatin1(PCFError::ReadUnknownFormat))});
    QCOMPARE(sink.errors, QList<bool>{true});
    // From the last path to the first, the value reaching the maximum last.
    QCOMPARE(sink.labels, (QStringList{paths[4], paths[3], paths[2], paths[1], paths[0]}));
    QCOMPARE(sink.values, (QList<int>{1, 2, 3, 4, 5}));

    QVERIFY(PCFSystemSearch::filesDefining(paths, "nowhere").isEmpty());
    QVERIFY(PCFSystemSearch::filesDefining({}, "fire").isEmpty());
}

QTEST_GUILESS_MAIN(TestPcfBatch)
#include "tst_pcfbatch.moc"
