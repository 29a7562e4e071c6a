#include "CConfig.h"
#include "CFilePCF.h"
#include "DmxBuild.h"
#include "Fuzz.h"
#include "PCFDelegate.h"
#include "PCFParameterTable.h"
#include "PCFTemplates.h"
#include "ParameterData.h"
#include "PcfBuilder.h"
#include "initResources.h"

#include <QFile>
#include <QtTest>

#include <memory>

namespace {

using Document = std::unique_ptr<CFilePCF>;

Document readResource(int format, QString *error = nullptr)
{
    Document document(new CFilePCF);
    PCFDelegate delegate;
    if (!delegate.read(PCFTemplates::resourcePath(format), document.get())) {
        if (error)
            *error = delegate.error();
        return nullptr;
    }
    return document;
}

QStringList attributeNames(const DMXElement *element)
{
    QStringList out;
    for (const DMXAttribute *attribute : element->attributes)
        out << attribute->name();
    return out;
}

QStringList itemNames(const DMXElement *system, const char *list)
{
    QStringList out;
    for (const DMXElement *item : *system->attribute(QString::fromLatin1(list))->elementList())
        out << item->name;
    return out;
}

QString text(const DMXElement *element, const char *name)
{
    const DMXAttribute *attribute = element->attribute(QString::fromLatin1(name));
    return attribute ? attribute->valueString() : QStringLiteral("<missing>");
}

// The attributes formats 1 and 2 lack, from the system table.
const QStringList missingInFormat1{"fallback replacement definition",
                                   "fallback max count",
                                   "control point to only enable rendering if it is the camera",
                                   "screen space effect",
                                   "draw through leafsystem",
                                   "aggregation radius",
                                   "minimum free particles to aggregate",
                                   "minimum simulation time step",
                                   "minimum CPU level",
                                   "minimum GPU level",
                                   "freeze simulation after time"};

// A hand-built file of an encoding: root and one system "s" with the given
// scalar attributes (INTEGER, FLOAT or BOOLEAN from their value text) and an
// "operators" list holding "Movement Basic" and "Bogus".
QByteArray handBuilt(int encoding, const QList<QPair<QByteArray, int>> &integers,
                     const QList<QPair<QByteArray, float>> &floats)
{
    PcfBuilder b(encoding);
    b.header();
    QList<QByteArray> dictionary = PcfFixture::rootAndSystem(b, "s");
    for (const auto &entry : integers)
        dictionary << entry.first;
    for (const auto &entry : floats)
        dictionary << entry.first;
    dictionary << "operators"
               << "DmeParticleOperator";
    if (b.indexed())
        dictionary << "Movement Basic";
    dictionary << "functionName";
    if (b.indexed())
        dictionary << "Bogus";
    b.dictionary(dictionary);
    b.i32(4);
    b.element("DmElement", "root", 0);
    b.element("DmeParticleSystemDefinition", "s", 1);
    b.element("DmeParticleOperator", "Movement Basic", 2);
    b.element("DmeParticleOperator", "Bogus", 3);
    b.i32(1).attribute("particleSystemDefinitions", 15).i32(1).i32(1);
    b.i32(integers.size() + floats.size() + 1);
    for (const auto &entry : integers)
        b.attribute(entry.first, 2).i32(entry.second);
    for (const auto &entry : floats)
        b.attribute(entry.first, 3).f32(entry.second);
    b.attribute("operators", 15).i32(2).i32(2).i32(3);
    b.i32(1).attribute("functionName", 5).text("Movement Basic");
    b.i32(1).attribute("functionName", 5).text("Bogus");
    return b.data();
}

// What the games of one encoding know of functions, from the data files read
// plainly: keys "list\nfunction" (in any case) and
// "list\nfunction\nparameter\ntype code".
struct Known
{
    // Parameters of the tables and the kept list together.
    QSet<QString> functions, whole, parameters;
};

QString functionKey(const QString &list, const QString &function)
{
    return list + '\n' + function.toCaseFolded();
}

QString parameterKey(const QString &list, const QString &function, const QString &name, uint type)
{
    return functionKey(list, function) + '\n' + name + '\n' + QString::number(type);
}

Known known(int format)
{
    using namespace ParameterData;
    Known out;
    QVector<Row> rows = readFunctions(format);
    if (format == 3)
        rows += read(QStringLiteral("format3-candidates.tsv"));
    for (const Row &row : rows) {
        out.functions << functionKey(listOf(row), row.function);
        out.parameters << parameterKey(listOf(row), row.function, row.name, typeCode(row.type));
    }
    for (const Row &row : readKept(format)) {
        if (row.name.isEmpty())
            out.whole << functionKey(listOf(row), row.function);
        else
            out.parameters << parameterKey(listOf(row), row.function, row.name, typeCode(row.type));
    }
    return out;
}

// A function element as real files carry it: its name, the last parameter
// the source's tables give it, every parameter a kept list names for it (in
// any encoding), and one that nothing names.
DMXElement *realFunction(const QString &list, const QString &name, int source)
{
    using namespace ParameterData;
    DMXElement *out = DmxBuild::element(QStringLiteral("DmeParticleOperator"), name);
    DmxBuild::add(out, "functionName", ATTRIBUTE_STRING, new QString(name));
    const auto add = [&](const Row &row) {
        const uint type = typeCode(row.type);
        if (listOf(row) != list || row.function.compare(name, Qt::CaseInsensitive) ||
            row.name.isEmpty() || out->attribute(row.name))
            return;
        const int count = type == ATTRIBUTE_COLOR ? 4 : qMax(1, DMX::floatCount(type));
        DMXAttribute *attribute = DmxBuild::add(out, row.name, type, newDmxAttributeValue(type));
        QVERIFY(attribute->setValueFromString(QString("3 ").repeated(count).trimmed()).isNull());
    };
    Row last;
    for (const Row &row : readFunctions(source)) {
        if (listOf(row) == list && !row.function.compare(name, Qt::CaseInsensitive))
            last = row;
    }
    add(last);
    for (int format = 1; format <= 3; ++format) {
        for (const Row &row : readKept(format))
            add(row);
    }
    add(Row{name, list.chopped(1), "bogus parameter", "float", QString()});
    return out;
}

// Per list, functions the tables of every encoding know (the kept lists name
// parameters of them), functions some kept lists name whole, and one nothing
// names; some spelled in other capitals than the lists spell them.
const QList<QPair<QString, QStringList>> realFunctions{
    {"renderers", {"render_sprite_trail", "Render models"}},
    {"operators", {"color fade", "alpha fade in simple", "Bogus Function"}},
    {"initializers", {"Color Random", "Position Along Ring"}},
    {"emitters", {"emit_continuously", "emit to maintain count"}},
    {"forces", {"random force", "turbulent force"}},
    {"constraints", {"Collision via traces", "Constrain particles to a box"}},
};

} // namespace

class TestPcfTemplates : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void documents_data();
    void documents();
    void systemValues();
    void functionElements_data();
    void functionElements();
    void colorRandomPositions();
    void matchesParameterData_data();
    void matchesParameterData();
    void parameterTableRefusals_data();
    void parameterTableRefusals();
    void parameterTableDamage();
    void engineFileKeepsEveryParameter_data();
    void engineFileKeepsEveryParameter();
    void regeneratesIdenticalBytes_data();
    void regeneratesIdenticalBytes();
    void configurationLoadsTemplates();
    void conversion_data();
    void conversion();

private:
    QVector<PCFKeptList> m_kept;
};

void TestPcfTemplates::initTestCase()
{
    initResources();
    PCFTemplates::reloadKept(m_kept);
}

void TestPcfTemplates::documents_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("elements");
    QTest::addColumn<int>("systemAttributes");
    // How many functions each list holds follows from the data files (see
    // matchesParameterData).
    QTest::newRow("orangebox") << 1 << 87 << 34;
    QTest::newRow("l4d") << 2 << 100 << 44;
    QTest::newRow("l4d2") << 3 << 121 << 45;
}

void TestPcfTemplates::documents()
{
    QFETCH(int, format);
    QFETCH(int, elements);
    QFETCH(int, systemAttributes);

    QFile file(PCFTemplates::resourcePath(format));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith(PcfBuilder::headerText(format) + "\n"));

    QString error;
    Document document = readResource(format, &error);
    QVERIFY2(document, qPrintable(error));
    QCOMPARE(document->format, format);
    QCOMPARE(document->elements.size(), elements);
    const DMXElement *root = document->root();
    QCOMPARE(root->type, QStringLiteral("DmElement"));
    QCOMPARE(root->name, QStringLiteral("untitled"));
    QCOMPARE(attributeNames(root), QStringList{"particleSystemDefinitions"});
    QCOMPARE(itemNames(root, "particleSystemDefinitions"), (QStringList{"default", "empty"}));

    const DMXElement *defaults = document->findParticleSystem(QStringLiteral("default"));
    const DMXElement *empty = document->findParticleSystem(QStringLiteral("empty"));
    QCOMPARE(defaults->attributes.size(), systemAttributes);
    QCOMPARE(attributeNames(empty), attributeNames(defaults));
    const QStringList lists{"renderers", "operators", "initializers", "emitters",
                            "children",  "forces",    "constraints"};
    QCOMPARE(attributeNames(defaults).mid(0, 7), lists);
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(defaults->attributes[i]->type(), uint(ATTRIBUTE_ELEMENT_ARRAY));
        QCOMPARE(empty->attributes[i]->itemCount(), 0);
    }
    for (int i = 7; i < defaults->attributes.size(); ++i)
        QCOMPARE(empty->attributes[i]->type(), defaults->attributes[i]->type());
    for (const QString &missing : missingInFormat1)
        QCOMPARE(bool(defaults->attribute(missing)),
                 format == 3 || (format == 2 && missing != "freeze simulation after time"));

    // Every function element is listed once, in one list, and nothing else
    // is in the document.
    QSet<const DMXElement *> listed;
    for (int i = 0; i < 7; ++i)
        for (const DMXElement *item : *defaults->attributes[i]->elementList())
            QVERIFY(!listed.contains(item) && (listed.insert(item), true));
    QCOMPARE(listed.size() + 3, elements);

    // Formats 1 and 2 list each function once, case-insensitively sorted.
    if (format != 3) {
        for (const QString &list : lists) {
            QStringList names = itemNames(defaults, list.toLatin1().constData());
            QStringList sorted = names;
            std::stable_sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
                return QString::compare(a, b, Qt::CaseInsensitive) < 0;
            });
            QCOMPARE(names, sorted);
            QCOMPARE(names.removeDuplicates(), 0);
        }
    }
}

void TestPcfTemplates::systemValues()
{
    Document one = readResource(1);
    Document three = readResource(3);
    const DMXElement *d1 = one->findParticleSystem(QStringLiteral("default"));
    const DMXElement *d3 = three->findParticleSystem(QStringLiteral("default"));
    const DMXElement *e3 = three->findParticleSystem(QStringLiteral("empty"));
    QCOMPARE(text(d1, "max_particles"), QStringLiteral("1000"));
    QCOMPARE(text(d1, "material"), QStringLiteral("vgui/white"));
    QCOMPARE(text(d1, "maximum time step"), QStringLiteral("0.1"));
    QCOMPARE(text(d1, "Sort particles"), QStringLiteral("1"));
    QCOMPARE(text(d3, "max_particles"), QStringLiteral("10002"));
    QCOMPARE(text(d3, "material"), QStringLiteral("vgui/white2"));
    QCOMPARE(text(d3, "bounding_box_max"), QStringLiteral("10 10 102"));
    QCOMPARE(text(d3, "color"), QStringLiteral("255 255 255 2"));
    QCOMPARE(text(d3, "cull_replacement_definition"), QStringLiteral("2"));
    // The new system of a format-3 document starts from "empty".
    QCOMPARE(text(e3, "max_particles"), QStringLiteral("52"));
    QCOMPARE(text(e3, "bounding_box_min"), QStringLiteral("-10 -10 -2"));
    QCOMPARE(text(e3, "color"), QStringLiteral("255 255 255 22"));
    QCOMPARE(text(e3, "maximum time step"), QStringLiteral("0.100002"));
    QCOMPARE(text(e3, "freeze simulation after time"), QStringLiteral("10026002"));
    QCOMPARE(text(e3, "radius"), QStringLiteral("52"));
    // In formats 1 and 2 "empty" holds the values of "default".
    const DMXElement *e1 = one->findParticleSystem(QStringLiteral("empty"));
    for (int i = 7; i < d1->attributes.size(); ++i)
        QCOMPARE(e1->attributes[i]->valueString(), d1->attributes[i]->valueString());
}

void TestPcfTemplates::functionElements_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("1") << 1;
    QTest::newRow("2") << 2;
    QTest::newRow("3") << 3;
}

void TestPcfTemplates::functionElements()
{
    QFETCH(int, format);
    Document document = readResource(format);
    const QStringList fade{"operator start fadein", "operator end fadein", "operator start fadeout",
                           "operator end fadeout", "operator fade oscillate"};
    for (int i = 3; i < document->elements.size(); ++i) {
        const DMXElement *function = document->elements[i];
        QCOMPARE(function->type, QStringLiteral("DmeParticleOperator"));
        QCOMPARE(text(function, "functionName"), function->name);
        QCOMPARE(function->attributes[0]->name(), QStringLiteral("functionName"));
        const QStringList names = attributeNames(function);
        if (format != 3) {
            QCOMPARE(names.mid(1, 5), fade);
            QVERIFY(names.size() >= 6 && names.size() <= 51);
            continue;
        }
        // Format 3: the "operator " parameters close the list.
        int firstOperator = names.size();
        for (int k = names.size() - 1; k >= 1 && names[k].startsWith("operator "); --k)
            firstOperator = k;
        for (int k = 1; k < firstOperator; ++k)
            QVERIFY(!names[k].startsWith("operator "));
        const bool mover = function->name == "Move Particles Between 2 Control Points";
        QCOMPARE(names.contains("operator strength scale seed"), !mover);
        QCOMPARE(names.contains("operator time strength random scale max"), !mover);
        QVERIFY(names.contains("operator time scale seed"));
        QCOMPARE(names.size() - firstOperator, mover ? 13 : 15);
        QVERIFY2(names.size() >= 16 && names.size() <= 61, qPrintable(function->name));
    }
}

void TestPcfTemplates::colorRandomPositions()
{
    Document document = readResource(3);
    const DMXElement *defaults = document->findParticleSystem(QStringLiteral("default"));
    const QStringList names = itemNames(defaults, "initializers");
    QVector<int> positions;
    for (int i = 0; i < names.size(); ++i)
        if (names[i] == "Color Random")
            positions << i + 1;
    QCOMPARE(positions, (QVector<int>{3, 14, 15, 16, 17, 18, 19, 23, 24, 25, 39}));
    QStringList others = names;
    others.removeAll("Color Random");
    QStringList sorted = others;
    std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    QCOMPARE(others, sorted);
    QCOMPARE(others.size(), 42);
    // Eleven distinct elements with different values.
    QSet<QString> colours;
    for (const DMXElement *item : *defaults->attribute("initializers")->elementList())
        if (item->name == "Color Random")
            colours.insert(text(item, "color1"));
    QCOMPARE(colours.size(), 11);
}

void TestPcfTemplates::matchesParameterData_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("attributes");
    // Format 1 holds exactly its 961 + 77 rows; format 3 repeats "Color
    // Random" (23 rows) ten more times and adds the candidate rows.
    QTest::newRow("1") << 1 << 961 + 77;
    QTest::newRow("2") << 2 << 1012 + 115;
    QTest::newRow("3") << 3 << 2061 + 210 + 10 * 23 + 15;
}

void TestPcfTemplates::matchesParameterData()
{
    QFETCH(int, format);
    QFETCH(int, attributes);
    using namespace ParameterData;
    using Key = QPair<QString, QString>;
    QMap<Key, QVector<Row>> rows;
    for (const Row &row : readFunctions(format))
        rows[Key(listOf(row), row.function)].append(row);
    QMap<Key, QVector<Row>> candidates;
    if (format == 3) {
        for (const Row &row : read(QStringLiteral("format3-candidates.tsv")))
            candidates[Key(listOf(row), row.function)].append(row);
        QCOMPARE(candidates.size(), 3);
    }
    QVERIFY(!rows.isEmpty());

    Document document = readResource(format);
    const DMXElement *defaults = document->findParticleSystem(QStringLiteral("default"));
    QSet<Key> seen;
    int total = 0;
    for (int i = 0; i < 7; ++i) {
        const DMXAttribute *list = defaults->attributes[i];
        for (const DMXElement *function : *list->elementList()) {
            const Key key(list->name(), function->name);
            QVERIFY2(rows.contains(key), qPrintable(function->name));
            seen.insert(key);
            total += function->attributes.size();
            // The file's rows in its order, the candidates among them.
            QStringList names;
            for (const DMXAttribute *attribute : function->attributes)
                names << attribute->name();
            QStringList expected;
            for (const Row &row : rows[key])
                expected << row.name;
            for (const Row &row : candidates.value(key))
                names.removeOne(row.name);
            QCOMPARE(names, expected);
            for (const Row &row : rows[key] + candidates.value(key)) {
                const DMXAttribute *attribute = function->attribute(row.name);
                QVERIFY2(attribute, qPrintable(function->name + ": " + row.name));
                QCOMPARE(attribute->type(), typeCode(row.type));
                // Each "Color Random" of format 3 has its own first colour.
                if (format == 3 && function->name == "Color Random" && row.name == "color1")
                    continue;
                QCOMPARE(components(attribute), components(row, false));
            }
        }
    }
    QCOMPARE(seen.size(), rows.size());
    QCOMPARE(total, attributes);
}

void TestPcfTemplates::parameterTableRefusals_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("candidates");
    QTest::addColumn<QString>("error");
    const QByteArray header =
        "function_name\tfunction_kind\tparameter_name\tdmx_type\tdefault_text\n";
    const QByteArray start = header + "F\toperator\tfunctionName\tstring\tF\n";
    const auto row = [](const char *name, const QByteArray &text, bool candidates,
                        const char *error) {
        QTest::newRow(name) << text << candidates << "Template Error: " + QString(error);
    };
    row("header", "name\tkind\n", false, "Unexpected column names in \"t.tsv\"");
    row("columns", start + "F\toperator\tp\tint\n", false, "Too few columns in \"t.tsv\" line 3");
    row("kind", header + "F\tmodifier\tfunctionName\tstring\tF\n", false,
        "Unknown function kind \"modifier\" in \"t.tsv\" line 2");
    row("type", start + "F\toperator\tp\tdouble\t1\n", false,
        "Unknown parameter type \"double\" in \"t.tsv\" line 3");
    row("default", start + "F\toperator\tp\tint\t1.5\n", false,
        "Default \"1.5\" does not parse in \"t.tsv\" line 3");
    row("twice", start + "F\toperator\tp\tint\t1\n\nF\toperator\tp\tint\t2\n", false,
        "Parameter \"p\" listed twice in \"t.tsv\" line 5");
    row("first", header + "F\toperator\tp\tint\t1\n", false,
        "Function \"F\" does not start with \"functionName\" in \"t.tsv\" line 2");
    row("candidate", header + "F\toperator\tp\tint\t1\n", true,
        "Unknown function \"F\" in \"t.tsv\" line 2");
}

void TestPcfTemplates::parameterTableRefusals()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, candidates);
    QFETCH(QString, error);
    PCFParameterTable table;
    QString reason;
    QVERIFY(!table.add(text, QStringLiteral("t.tsv"), candidates, &reason));
    QCOMPARE(reason, error);
}

void TestPcfTemplates::parameterTableDamage()
{
    // Damaged copies of a data file read or fail with a reason, never worse.
    QFile file(QStringLiteral(PARTICLE_PARAMETER_DIR "/format1.tsv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.read(3000);
    const auto load = [](const QByteArray &bytes) {
        PCFParameterTable table;
        QString reason;
        QVERIFY(table.add(bytes, "d.tsv", false, &reason) || reason.startsWith("Template Error"));
    };
    Fuzz::truncations(text, load);
    Fuzz::byteFlips(text, 300, 5, load);
}

void TestPcfTemplates::engineFileKeepsEveryParameter_data()
{
    QTest::addColumn<int>("target");
    // Function attributes that keep the file's value: every one, and the
    // later function's (6 rows, twice), which formats 2 and 3 know and which
    // a file of format 1 holds for its own games.
    QTest::addColumn<int>("kept");
    QTest::newRow("to 1") << 1 << 961 + 77 + 12;
    QTest::newRow("to 2") << 2 << 961 + 77 + 12;
    QTest::newRow("to 3") << 3 << 961 + 77 + 12;
}

void TestPcfTemplates::engineFileKeepsEveryParameter()
{
    QFETCH(int, target);
    QFETCH(int, kept);
    // A first-generation file as the engine's tools write one: a system with
    // every function of the first generation, every parameter set away from
    // its default, and twice a function that only later generations know.
    // Some element names and functionName texts are spelled as real files
    // spell them (element name, functionName).
    const QHash<QString, QPair<QByteArray, QByteArray>> spelled{
        {"Remap Initial Scalar", {"remap initial scalar", "Remap Initial Scalar"}},
        {"Color Light from Control Point",
         {"Color Light From Control Point", "Color Light From Control Point"}},
        {"Remap Control Point to Scalar", {"CP Scale Size", "Remap Control Point to Scalar"}},
        {"render_animated_sprites", {"sprite_anim", "render_animated_sprites"}}};
    const auto spelling = [&](const QString &function) {
        return spelled.value(function, {function.toLatin1(), function.toLatin1()});
    };
    using namespace ParameterData;
    QVector<Row> rows = readFunctions(1);
    QVERIFY(!rows.isEmpty());
    QVector<Row> later;
    for (const Row &row : read(QStringLiteral("format2.tsv"))) {
        if (row.function == "Normal Lock to Control Point")
            later << row;
    }
    QVERIFY(!later.isEmpty());
    QList<QPair<QString, QVector<Row>>> functions; // list, rows of one function
    for (const Row &row : rows + later + later) {
        if (row.name == "functionName")
            functions.append({listOf(row), {}});
        functions.last().second.append(row);
    }
    QStringList lists;
    QList<QByteArray> dictionary{"DmElement", "particleSystemDefinitions",
                                 "DmeParticleSystemDefinition", "DmeParticleOperator"};
    for (const auto &function : functions) {
        if (!lists.contains(function.first)) {
            lists << function.first;
            dictionary << function.first.toLatin1();
        }
        for (const Row &row : function.second) {
            if (!dictionary.contains(row.name.toLatin1()))
                dictionary << row.name.toLatin1();
        }
    }
    PcfBuilder b(1);
    b.header().dictionary(dictionary);
    b.i32(2 + functions.size());
    b.element("DmElement", "untitled", 0).element("DmeParticleSystemDefinition", "engine", 1);
    for (int i = 0; i < functions.size(); ++i)
        b.element("DmeParticleOperator", spelling(functions[i].second[0].function).first, 2 + i);
    b.i32(1).attribute("particleSystemDefinitions", 15).i32(1).i32(1);
    b.i32(lists.size());
    for (const QString &list : lists) {
        QVector<int> members;
        for (int i = 0; i < functions.size(); ++i) {
            if (functions[i].first == list)
                members << 2 + i;
        }
        b.attribute(list.toLatin1(), 15).i32(members.size());
        for (int member : members)
            b.i32(member);
    }
    for (const auto &function : functions) {
        b.i32(function.second.size());
        for (const Row &row : function.second) {
            if (row.name == "functionName")
                b.attribute("functionName", 5).text(spelling(row.function).second);
            else
                write(b, row, true);
        }
    }

    Document document(new CFilePCF);
    PCFDelegate delegate;
    QVERIFY2(delegate.readData(b.data(), document.get()), qPrintable(delegate.error()));
    Document templates = readResource(target);
    PCFConversionReport report;
    QVERIFY(
        delegate.convert(document.get(), target, templates->findParticleSystem("default"), &report)
            .isNull());

    // Nothing goes anywhere.
    QVERIFY(report.isEmpty());
    // Every function the target's tables list stays, in order, with every
    // parameter they list for it holding the file's value; in its own
    // encoding the later function too.
    QVector<Row> known = readFunctions(target);
    if (target == 3)
        known += read(QStringLiteral("format3-candidates.tsv"));
    if (target == 1)
        known += later;
    const auto key = [](const Row &row, bool parameter) {
        return QStringList{listOf(row), row.function, parameter ? row.name + ':' + row.type : ""}
            .join('\n');
    };
    QSet<QString> keys;
    for (const Row &row : known)
        keys << key(row, false) << key(row, true);
    int next = 2;
    int checked = 0;
    for (const auto &function : functions) {
        if (!keys.contains(key(function.second[0], false)))
            continue;
        const DMXElement *element = document->elements.value(next++);
        QVERIFY(element);
        const auto names = spelling(function.second[0].function);
        QCOMPARE(element->name, QString::fromLatin1(names.first));
        for (const Row &row : function.second) {
            if (!keys.contains(key(row, true)))
                continue;
            const DMXAttribute *attribute = element->attribute(row.name);
            QVERIFY2(attribute, qPrintable(row.function + ": " + row.name));
            QCOMPARE(components(attribute), row.name == "functionName"
                                                ? QVariantList{QString::fromLatin1(names.second)}
                                                : components(row, true));
            ++checked;
        }
    }
    QCOMPARE(document->elements.size(), next);
    QCOMPARE(checked, kept);
}

void TestPcfTemplates::regeneratesIdenticalBytes_data()
{
    functionElements_data();
}

void TestPcfTemplates::regeneratesIdenticalBytes()
{
    QFETCH(int, format);
    QFile file(PCFTemplates::resourcePath(format));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray shipped = file.readAll();
    PCFParameterTable parameters;
    QString error;
    QVERIFY2(PCFTemplates::loadParameters(format, PARTICLE_PARAMETER_DIR, &parameters, &error),
             qPrintable(error));
    Document built(PCFTemplates::build(format, parameters));
    PCFDelegate delegate;
    QByteArray bytes;
    QVERIFY(delegate.writeData(built.get(), format, &bytes));
    QCOMPARE(bytes.size(), shipped.size());
    QVERIFY(bytes == shipped);
    // And the resource writes back as it is.
    Document read = readResource(format);
    QVERIFY(delegate.writeData(read.get(), format, &bytes));
    QVERIFY(bytes == shipped);
    QVERIFY(!PCFTemplates::build(0, parameters));
    QVERIFY(PCFTemplates::resourcePath(4).isNull());
}

void TestPcfTemplates::configurationLoadsTemplates()
{
    CConfig config;
    QVERIFY(!config.load(QStringLiteral("/nonexistent/zedidavurur.ini")));
    QCOMPARE(config.particleTemplates.size(), 4);
    QVERIFY(!config.particleTemplates[0]);
    for (int format = 1; format <= 3; ++format) {
        QVERIFY(config.particleTemplates[format]);
        QCOMPARE(config.particleTemplates[format]->format, format);
        QVERIFY(config.particleTemplates[format]->findParticleSystem(QStringLiteral("default")));
    }
    // And every row of what real files of each format carry beyond it.
    QCOMPARE(config.particleKept.size(), 4);
    QCOMPARE(config.particleKept[0].rowCount(), 0);
    for (int format = 1; format <= 3; ++format) {
        QVERIFY(config.particleKept[format].rowCount() > 0);
        QCOMPARE(config.particleKept[format].rowCount(), ParameterData::readKept(format).size());
    }
    // Loading again replaces the documents (the old ones are freed).
    config.load(QStringLiteral("/nonexistent/zedidavurur.ini"));
    QCOMPARE(config.particleTemplates.size(), 4);
}

void TestPcfTemplates::conversion_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("target");
    for (int source = 1; source <= 3; ++source)
        for (int target = 1; target <= 3; ++target)
            QTest::newRow(qPrintable(QStringLiteral("%1 to %2").arg(source).arg(target)))
                << source << target;
}

void TestPcfTemplates::conversion()
{
    QFETCH(int, source);
    QFETCH(int, target);
    // Each source carries attributes of its own generation.
    QList<QPair<QByteArray, int>> integers{{"max_particles", 7}};
    QList<QPair<QByteArray, float>> floats{{"radius", 3}};
    if (source >= 2)
        integers << qMakePair(QByteArray("fallback max count"), 3);
    if (source == 3)
        floats << qMakePair(QByteArray("freeze simulation after time"), 5.0f);
    Document document(new CFilePCF);
    PCFDelegate delegate;
    QVERIFY2(delegate.readData(handBuilt(source, integers, floats), document.get()),
             qPrintable(delegate.error()));
    // Beside them, function elements of every kind as real files carry them.
    // Each function's list, name and attributes.
    QVector<std::tuple<QString, QString, QStringList>> functions;
    DMXElement *s = document->findParticleSystem(QStringLiteral("s"));
    for (const auto &list : realFunctions) {
        DMXAttribute *items = s->attribute(list.first);
        if (!items)
            items = DmxBuild::addList(s, list.first, {});
        for (const QString &name : list.second) {
            DMXElement *function = realFunction(list.first, name, source);
            items->elementList()->append(function);
            document->elements.append(function);
            functions.append({list.first, name, DmxBuild::dump(function)});
        }
    }

    Document templates = readResource(target);
    const DMXElement *model = templates->findParticleSystem(QStringLiteral("default"));
    PCFConversionReport report;
    QVERIFY(delegate.convert(document.get(), target, model, &report, &m_kept[target]).isNull());
    document->format = target;
    const DMXElement *system = document->findParticleSystem(QStringLiteral("s"));

    // A function stays where the target's games know it: always in the
    // file's own encoding, else where the target's tables or kept list do,
    // and so does each parameter; a function the tables lack but the kept
    // list names stays whole. Values are never changed. The report names
    // exactly what went.
    const Known games = known(target);
    QSet<QString> dropped;
    int staying = 0;
    for (const auto &[list, name, before] : functions) {
        const QString key = functionKey(list, name);
        const bool inTables = games.functions.contains(key);
        const DMXElement *after = nullptr;
        for (const DMXElement *item : *system->attribute(list)->elementList())
            after = item->name == name ? item : after;
        if (source != target && !inTables && !games.whole.contains(key)) {
            QVERIFY2(!after, qPrintable(name));
            dropped << list + " " + name;
            continue;
        }
        QVERIFY2(after, qPrintable(name));
        ++staying;
        const QStringList now = DmxBuild::dump(after);
        for (const QString &attribute : before) {
            const QString parameter = attribute.section('=', 0, 0);
            const bool stays =
                source == target || !inTables ||
                games.parameters.contains(parameterKey(list, name, parameter.section(':', 0, -2),
                                                       parameter.section(':', -1).toUInt()));
            QVERIFY2(stays == now.contains(attribute), qPrintable(name + ": " + attribute));
            if (!stays)
                dropped << name + " " + parameter.section(':', 0, -2);
        }
    }
    QSet<QString> reported;
    for (const PCFConversionLoss &loss : report) {
        for (auto it = loss.functions().cbegin(); it != loss.functions().cend(); ++it)
            reported << it.key().first + " " + it.key().second;
        for (auto it = loss.parameters().cbegin(); it != loss.parameters().cend(); ++it)
            reported << it.key().first + " " + it.key().second;
    }
    for (const QString &other :
         QStringList{"operators Bogus", " fallback max count", " freeze simulation after time"})
        reported.remove(other);
    QCOMPARE(reported, dropped);

    // Exactly the template's attributes (each once), the source's values
    // kept; element lists are not added, so of those only the file's own.
    QStringList expected;
    for (const DMXAttribute *attribute : model->attributes)
        if (attribute->type() != ATTRIBUTE_ELEMENT_ARRAY || s->attribute(attribute->name()))
            expected << attribute->name();
    QStringList names = attributeNames(system);
    std::sort(expected.begin(), expected.end());
    std::sort(names.begin(), names.end());
    QCOMPARE(names, expected);
    QCOMPARE(text(system, "max_particles"), QStringLiteral("7"));
    QCOMPARE(text(system, "radius"), QStringLiteral("3"));
    // What the target's "default" adds (format 2 states its own defaults,
    // format 3 its marked values).
    const bool two = target == 2;
    if (target >= 2)
        QCOMPARE(text(system, "fallback max count"), source >= 2 ? QStringLiteral("3")
                                                     : two       ? QStringLiteral("-1")
                                                                 : "-12");
    if (source < 2 && target >= 2) {
        QCOMPARE(text(system, "fallback replacement definition"), two ? QString() : "2");
        QCOMPARE(text(system, "control point to only enable rendering if it is the camera"),
                 two ? "-1" : "-2");
        QCOMPARE(text(system, "screen space effect"), two ? "0" : "1");
        QCOMPARE(text(system, "draw through leafsystem"), two ? "1" : "0");
        QCOMPARE(text(system, "aggregation radius"), two ? "0" : "2");
        QCOMPARE(text(system, "minimum GPU level"), two ? "0" : "2");
    }
    if (target == 3)
        QCOMPARE(*static_cast<float *>(system->attribute("freeze simulation after time")->value()),
                 source == 3 ? 5.0f : 1.02e10f);

    // The known operator stays and takes the template's parameters; the
    // unknown one is gone, but for the games of its own encoding.
    const QStringList operators = itemNames(system, "operators");
    QCOMPARE(operators.first(), QStringLiteral("Movement Basic"));
    QCOMPARE(operators.contains("Bogus"), source == target);
    const DMXElement *mover = system->attribute("operators")->elementList()->first();
    const DMXElement *moverModel = nullptr;
    for (const DMXElement *item : *model->attribute("operators")->elementList())
        if (item->name == "Movement Basic")
            moverModel = item;
    QCOMPARE(attributeNames(mover), attributeNames(moverModel));
    QCOMPARE(document->elements.size(), (source == target ? 4 : 3) + staying);

    // And it writes in the target encoding.
    QByteArray bytes;
    QVERIFY2(delegate.writeData(document.get(), target, &bytes), qPrintable(delegate.error()));
    QVERIFY(bytes.startsWith(PcfBuilder::headerText(target)));
}

QTEST_GUILESS_MAIN(TestPcfTemplates)
#include "tst_pcftemplates.moc"
