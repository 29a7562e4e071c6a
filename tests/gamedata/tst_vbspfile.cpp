#include "CFileVBSP.h"
#include "Fuzz.h"
#include "VbspFile.h"
#include "VbspFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <clocale>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

// The outline, then the first prop's values as "key=value" texts.
QStringList describe(const CFileVBSP &document)
{
    const QStringList out{outline(document)};
    const auto &types = document.types;
    if (types.empty() || types[0]->groups.empty() || types[0]->groups[0]->props.empty())
        return out;
    const CDetailProp &p = *types[0]->groups[0]->props[0];
    return out + QStringList{QString::asprintf("sprite=%d %d %d %d %d", p.xOrigin, p.yOrigin,
                                               p.xWidth, p.yHeight, p.textureDimension),
                             QString::asprintf("spritesize=%g %g %g %g", p.uOrigin, p.vOrigin,
                                               p.uWidth, p.vHeight),
                             QString::asprintf("amount=%g", p.amount),
                             QString::asprintf("orientation=%d", p.detailOrientation),
                             QString::asprintf("angles=%g %g", p.minangle, p.maxangle),
                             QString::asprintf("upright=%d", p.upright),
                             QString::asprintf("shape=%s %g %g %g", p.sprite_shape.c_str(),
                                               p.shape_angle, p.shape_size, p.sway),
                             QString::asprintf("model=%s", p.model.c_str())};
}

template <typename T>
QString names(const std::vector<T *> &list)
{
    QStringList out;
    for (const T *element : list)
        out << QString::fromStdString(element->name);
    return out.join(' ');
}

template <typename T>
T *named(const std::string &name)
{
    auto *element = new T;
    element->name = name;
    return element;
}

std::unique_ptr<CFileVBSP> read(const QByteArray &bytes)
{
    return std::unique_ptr<CFileVBSP>(readVbspData(bytes));
}

} // namespace

// The detail document: its list rules (shared by the three levels, each rule
// checked at the level where the editor leans on it most) and its file format.
class TestVbspFile : public QObject
{
    Q_OBJECT

private slots:
    void addNames_data();
    void addNames();
    void pasteAndSwap();
    void ownership();

    void initTestCase();
    void writerLayout_data();
    void writerLayout();
    void reading_data();
    void reading();
    void roundTrip();
    void failures();
    void damagedFiles();

private:
    // Runs `work` under a decimal-comma C locale, when one could be made.
    void inDecimalComma(const std::function<void()> &work) const;

    QTemporaryDir m_dir;
    QString m_localeDir;
};

void TestVbspFile::addNames_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("taken") << QByteArray("Grass") << false;
    QTest::newRow("other case") << QByteArray("grass") << true;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("blank") << QByteArray("tall grass") << false;
    QTest::newRow("carriage return") << QByteArray("grass\r") << false;
    QTest::newRow("quote") << QByteArray("gr\"ass") << false;
    QTest::newRow("brace") << QByteArray("}") << false;
    QTest::newRow("comment") << QByteArray("//grass") << false;
    QTest::newRow("braces in a word") << QByteArray("{grass}") << true;
    QTest::newRow("slashes inside") << QByteArray("a//b") << true;
}

void TestVbspFile::addNames()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, accepted);

    CDetailGroup group;
    QVERIFY(group.addProp("Grass"));
    QCOMPARE(bool(group.addProp(name.toStdString())), accepted);
    QCOMPARE(int(group.props.size()), accepted ? 2 : 1);
    // The same rule at the other levels.
    CFileVBSP document;
    CDetailType *type = document.addType("Grass");
    QCOMPARE(bool(document.addType(name.toStdString())), accepted);
    QVERIFY(type->addGroup("Grass"));
    QCOMPARE(bool(type->addGroup(name.toStdString())), accepted);
}

void TestVbspFile::pasteAndSwap()
{
    CFileVBSP document;
    document.addType("Grass");
    document.addType("Grass_1");
    for (const char *name : {"Grass", "Moss", "Grass", "Grass_1"})
        document.pasteType(named<CDetailType>(name));
    QCOMPARE(names(document.types), QStringLiteral("Grass Grass_1 Grass_2 Moss Grass_3 Grass_1_1"));

    // An element the list already holds is not appended a second time.
    CDetailGroup group;
    CDetailProp *prop = group.addProp("p");
    group.pasteProp(prop);
    group.pasteProp(nullptr);
    group.pasteProp(named<CDetailProp>("p"));
    QCOMPARE(names(group.props), QStringLiteral("p p_1"));

    // Swaps naming a place at or past the end do nothing.
    CFileVBSP abc;
    CDetailType type;
    for (const char *name : {"a", "b", "c"}) {
        abc.addType(name);
        type.addGroup(name);
    }
    for (const auto &[i, j] : {std::pair<uint, uint>(0, 3), {7, 0}, {0, 2}}) {
        abc.swapTypes(i, j);
        type.swapGroups(i, j);
    }
    QCOMPARE(names(abc.types), QStringLiteral("c b a"));
    QCOMPARE(names(type.groups), QStringLiteral("c b a"));
}

// Run under the sanitizers: a pointer listed twice is freed once, one taken
// out without freeing stays the caller's, and copies share nothing.
void TestVbspFile::ownership()
{
    auto *document = new CFileVBSP("x.vbsp");
    CDetailType *type = document->addType("t");
    CDetailGroup *group = type->addGroup("g");
    CDetailProp *prop = group->addProp("p");
    group->props.push_back(prop);
    type->groups.push_back(group);
    document->types.push_back(type);
    CDetailType stranger;
    document->removeType(&stranger, true);
    document->removeTypeAt(2, true);
    QCOMPARE(names(document->types), QStringLiteral("t t"));
    delete document;

    CDetailGroup props;
    CDetailProp *p = props.addProp("p");
    CDetailProp *q = props.addProp("q");
    props.props.push_back(p);
    props.removeProp(p, true);
    QCOMPARE(names(props.props), QStringLiteral("q"));
    props.removePropAt(0, false);
    QCOMPARE(props.indexOfProp(q), -1);
    delete q;

    auto *original = new CDetailType;
    original->density = 0.5f;
    original->addGroup("g")->addProp("p")->model = "a.mdl";
    CDetailType copy(*original);
    QCOMPARE(copy.density, 0.5f);
    copy.groups[0]->props[0]->model = "b.mdl";
    QCOMPARE(original->groups[0]->props[0]->model, std::string("a.mdl"));
    CDetailGroup groupCopy(*copy.groups[0]);
    delete original;
    QCOMPARE(groupCopy.props[0]->model, std::string("b.mdl"));
}

// A decimal-comma locale, generated into a folder of the test's own when the
// system's locale sources and localedef are there.
void TestVbspFile::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString folder = m_dir.filePath(QStringLiteral("locales"));
    QDir().mkpath(folder);
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"),
                    {"-i", "de_DE", "-f", "UTF-8", folder + "/de_DE.UTF-8"});
    localedef.waitForFinished(-1);
    if (!QFileInfo::exists(folder + "/de_DE.UTF-8/LC_NUMERIC")) {
        qWarning(
            "No decimal-comma locale can be generated here: numbers read in the C locale only");
        return;
    }
    m_localeDir = folder;
    char probe[16] = {};
    inDecimalComma([&] { std::snprintf(probe, sizeof probe, "%g", 0.5); });
    QCOMPARE(QByteArray(probe), QByteArray("0,5"));
}

void TestVbspFile::inDecimalComma(const std::function<void()> &work) const
{
    if (m_localeDir.isEmpty())
        return;
    qputenv("LOCPATH", QFile::encodeName(m_localeDir));
    const QByteArray previous = std::setlocale(LC_ALL, nullptr);
    const bool switched = std::setlocale(LC_ALL, "de_DE.UTF-8");
    qunsetenv("LOCPATH");
    if (switched)
        work();
    std::setlocale(LC_ALL, previous.constData());
    QVERIFY(switched);
}

void TestVbspFile::writerLayout_data()
{
    QTest::addColumn<bool>("shapeSupport");
    QTest::addColumn<QByteArray>("expected");
    // The row's name is the recipe of build(): "types" holds a type without
    // groups and a group without props.
    QTest::newRow("empty") << true << QByteArray("detail\r\n{\r\n}\r\n");
    QTest::newRow("types") << true
                           << crlf({"detail", "{", "\tgrass", "\t{", "\t\t\"density\" \"0.5\"", "",
                                    "\t\ttufts", "\t\t{", "\t\t\t\"alpha\" \"0.25\"", "\t\t}",
                                    "\t}", "", "\trocks", "\t{", "\t\t\"density\" \"2.5e+06\"",
                                    "\t}", "}"});
    const QList<QByteArray> sprite{"\"sprite\" \"0 0 0 0 1024\"", "\"spritesize\" \"0.5 0 0 0\"",
                                   "\"spriterandomscale\" \"0\"", "\"amount\" \"1\"",
                                   "\"detailOrientation\" \"2\""};
    QTest::newRow("sprite") << true << propFile(sprite + QList<QByteArray>{"\"sway\" \"0\""});
    QTest::newRow("sprite without shapes") << false << propFile(sprite);
    QTest::newRow("tri") << true
                         << propFile({"\"sprite_shape\" \"tri\"", sprite[0], sprite[1], sprite[2],
                                      sprite[3], sprite[4], "\"shape_angle\" \"45\"",
                                      "\"shape_size\" \"0.125\"", "\"sway\" \"0.5\""});
    QTest::newRow("Tri") << true
                         << propFile({"\"sprite_shape\" \"Tri\"", sprite[0], sprite[1], sprite[2],
                                      sprite[3], sprite[4], "\"sway\" \"0.5\""});
    QTest::newRow("model") << true
                           << propFile({"\"model\" \"models/props/fern.mdl\"", "\"amount\" \"0.5\"",
                                        "\"minangle\" \"180.5\"", "\"upright\" \"1\""});
    QTest::newRow("numbers") << true
                             << propFile({"\"sprite\" \"-3 0 0 0 512\"",
                                          "\"spritesize\" \"0.123457 1e-05 123.457 0\"", sprite[2],
                                          sprite[3], sprite[4], "\"sway\" \"0\"",
                                          "\"maxangle\" \"359.9\""});
}

namespace {

void build(CFileVBSP &document, const QString &recipe)
{
    if (recipe == "types") {
        auto *grass = new CDetailType;
        grass->name = "grass";
        grass->density = 0.5f;
        auto *tufts = new CDetailGroup;
        tufts->name = "tufts";
        tufts->alpha = 0.25f;
        grass->groups.push_back(tufts);
        auto *rocks = new CDetailType;
        rocks->name = "rocks";
        rocks->density = 2500000.0f;
        document.types = {grass, rocks};
    } else if (recipe != "empty") {
        CDetailProp &prop = *framedProp(document);
        if (recipe.compare("tri", Qt::CaseInsensitive) == 0) {
            prop.sprite_shape = recipe.toStdString();
            prop.shape_angle = 45;
            prop.shape_size = 0.125f;
            prop.sway = 0.5f;
        } else if (recipe == "model") {
            prop.model = "models/props/fern.mdl";
            prop.amount = 0.5f;
            prop.minangle = 180.5f;
            prop.upright = true;
        } else if (recipe == "numbers") {
            prop.xOrigin = -3;
            prop.textureDimension = 512;
            prop.uOrigin = 0.1234567f;
            prop.vOrigin = 0.00001f;
            prop.uWidth = 123.4567f;
            prop.maxangle = 359.9f;
        }
    }
}

} // namespace

void TestVbspFile::writerLayout()
{
    QFETCH(bool, shapeSupport);
    QFETCH(QByteArray, expected);

    CFileVBSP document;
    document.detailShapeSupport = shapeSupport;
    build(document, QTest::currentDataTag());
    QCOMPARE(vbspBytes(document), expected);
    QByteArray local = expected;
    inDecimalComma([&] { local = vbspBytes(document); });
    QCOMPARE(local, expected);
}

void TestVbspFile::reading_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected"); // outline(), then values of describe() after "|"

    const QString p = QStringLiteral("t(0)[g(1)[p]]|");
    QTest::newRow("short lists") << propFile({"\"sprite\" \"1 2 3\"", "\"spritesize\" \"0 0 0\""})
                                 << p + "sprite=1 2 3 0 1024|spritesize=0.5 0 0 0";
    // The sprite's origin is a fraction (0..1), its width and height world units.
    QTest::newRow("bounds") << propFile({"\"sprite\" \"5000 -1 x 4096 7 8\"",
                                         "\"spritesize\" \"0  1.5 -0.25 32\""})
                            << p + "sprite=4096 0 0 4096 7|spritesize=0 1 0 32";
    QTest::newRow("sprite overflow")
        << propFile({"\"sprite\" \"99999999999 -99999999999\""}) << p + "sprite=4096 0 0 0 1024";
    QTest::newRow("clamped, not a number")
        << propFile({"\"amount\" \"1.5\"", "\"sway\" \"nan\"", "\"sprite_shape\" \"cross\"",
                     "\"shape_angle\" \"400\"", "\"detailOrientation\" \"7\"", "\"upright\" \"2\""})
        << p + "amount=1|shape=cross 360 0 0|orientation=2|upright=1";
    QTest::newRow("minimum above maximum")
        << propFile({"\"maxangle\" \"100\"", "\"minangle\" \"200\""}) << p + "angles=100 100";
    QTest::newRow("angles clamped")
        << propFile({"\"minangle\" \"-5\"", "\"maxangle\" \"900\""}) << p + "angles=0 360";
    QTest::newRow("unquoted value at line end")
        << propFile({"\"amount\" 0.25"}) << p + "amount=0.25";
    QTest::newRow("keys compare with case")
        << propFile({"\"Amount\" \"0\"", "\"model\" \"a b.mdl\""}) << p + "amount=1|model=a b.mdl";
    QTest::newRow("no text") << QByteArray("\xEF\xBB\xBF\r\n  // only a note\r\n\t\r\n") << "";
    QTest::newRow("LF, comments, clamps")
        << QByteArray("// head\ndetail\n{\n  grass // note\n  {\n  \"density\" \"-3\"\n"
                      "  \"Density\" \"4\"\n    tufts\n    {\n    \"alpha\" \"1.5\"\n    }\n"
                      "  }\n}\n")
        << "grass(0)[tufts(1)[]]";
    QTest::newRow("two blocks, no braces needed")
        << QByteArray("detail\na\n\"density\" \"2\"\n}\n}\ndetail\nb\n}\n}") << "a(2)[] b(0)[]";
    QTest::newRow("name with a blank is one level off")
        << crlf({"detail", "{", "\tmy type", "\t{", "\t\tg", "\t\t{", "\t\t\tp", "\t\t\t{",
                 "\t\t\t}", "\t\t}", "\t}", "\tlater", "\t{", "\t}", "}"})
        << "g(0)[p(0)[]]";
    QTest::newRow("duplicate names kept")
        << QByteArray("detail\n{\na\n}\na\n}\n}\n") << "a(0)[] a(0)[]";
    // Text the reader did not take is refused, so that a save cannot write an
    // empty listing over it.
    QTest::newRow("text, no detail block")
        << QByteArray("\xEF\xBB\xBF// types\r\n\r\ngrass\r\n{\r\n}\r\n")
        << "Read Error: Expected 'detail' at line 3";
    QTest::newRow("cut inside a prop") << QByteArray("detail\n{\na\n{\ng\n{\np\n{\n\"amount\" 1")
                                       << "Read Error: Block \"p\" at line 7 is not closed";
    QTest::newRow("one brace missing") << crlf({"detail", "{", "\ta", "\t{", "\t}"})
                                       << "Read Error: Block \"detail\" at line 1 is not closed";
}

// Also read in a decimal-comma locale.
void TestVbspFile::reading()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);

    if (expected.startsWith(QLatin1String("Read Error"))) {
        QString error;
        QVERIFY(!readVbspData(file, "x.vbsp", &error));
        QCOMPARE(error, expected);
        return;
    }
    auto document = read(file);
    QVERIFY(document && document->detailShapeSupport);
    const QStringList got = describe(*document);
    const QStringList values = expected.split('|');
    QCOMPARE(got[0], values[0]);
    for (const QString &value : values.mid(1))
        QVERIFY2(got.contains(value), qPrintable(got.join(" | ")));
    inDecimalComma([&] { document = read(file); });
    QCOMPARE(describe(*document), got);
}

// Everything the writer writes reads back as it was, a minimum angle above 180
// and a leading byte-order mark included.
void TestVbspFile::roundTrip()
{
    CFileVBSP document;
    document.detailShapeSupport = false;
    document.byteOrderMark = true;
    CDetailProp &sprite = *framedProp(document);
    sprite.xOrigin = 64;
    sprite.uWidth = 0.25f;
    sprite.minangle = 200;
    sprite.maxangle = 250;
    sprite.sprite_shape = "tri";
    sprite.sway = 0.5f;
    auto *model = new CDetailProp(sprite);
    model->name = "m";
    model->model = "models/rock.mdl";
    document.types[0]->groups[0]->props.push_back(model);

    const std::string path = QFile::encodeName(m_dir.filePath("round.vbsp")).toStdString();
    QVERIFY(writeVbspFile(document, path));
    QString error;
    std::unique_ptr<CFileVBSP> back(readVbspFile(path, &error));
    QVERIFY2(back, qPrintable(error));
    back->detailShapeSupport = false;
    QVERIFY(vbspBytes(document).startsWith("\xEF\xBB\xBF"
                                           "detail\r\n"));
    QCOMPARE(vbspBytes(*back), vbspBytes(document));
}

void TestVbspFile::failures()
{
    QString error;
    const std::string missing = QFile::encodeName(m_dir.filePath("none.vbsp")).toStdString();
    QVERIFY(!readVbspFile(missing, &error));
    QCOMPARE(error, QStringLiteral("Read Error: Unable to open file"));

    QVERIFY(!readVbspData(QByteArray(VbspFile::MaxFileBytes + 1, '\n'), {}, &error));
    QCOMPARE(error, QStringLiteral("Read Error: File larger than 8388608 bytes"));

    QByteArray many("detail\n");
    for (std::size_t i = 0; i <= VbspFile::MaxRecords; ++i)
        many += "t\n}\n";
    QVERIFY(!readVbspData(many, {}, &error));
    QCOMPARE(error, QStringLiteral("Read Error: More than 100000 detail records"));

    // A failed write says why and leaves the target as it was.
    const QString target = m_dir.filePath("folder.vbsp");
    QVERIFY(QDir().mkpath(target));
    error.clear();
    QVERIFY(!writeVbspFile(CFileVBSP(), QFile::encodeName(target).toStdString(), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(target).isDir());
}

void TestVbspFile::damagedFiles()
{
    CFileVBSP document;
    build(document, "tri");
    const QByteArray valid = vbspBytes(document) + propFile({"\"model\" \"m.mdl\""});
    // A cut listing is refused with a reason; a read one writes.
    const auto load = [](const QByteArray &bytes) {
        QString error;
        const std::unique_ptr<CFileVBSP> damaged(readVbspData(bytes, {}, &error));
        QVERIFY(damaged || !error.isEmpty());
        if (damaged)
            vbspBytes(*damaged);
    };
    Fuzz::truncations(valid, load);
    Fuzz::byteFlips(valid, 400, 0x5b5b, load);
}

QTEST_GUILESS_MAIN(TestVbspFile)
#include "tst_vbspfile.moc"
