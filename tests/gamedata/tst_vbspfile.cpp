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
#include <memory>

namespace {

QString number(float value)
{
    return QString::number(double(value));
}

QStringList describe(const CDetailProp &p)
{
    return {QStringLiteral("sprite=%1 %2 %3 %4 %5")
                .arg(p.xOrigin)
                .arg(p.yOrigin)
                .arg(p.xWidth)
                .arg(p.yHeight)
                .arg(p.textureDimension),
            QStringLiteral("spritesize=%1 %2 %3 %4")
                .arg(number(p.uOrigin), number(p.vOrigin), number(p.uWidth), number(p.vHeight)),
            "amount=" + number(p.amount),
            "orientation=" + QString::number(p.detailOrientation),
            "angles=" + number(p.minangle) + ' ' + number(p.maxangle),
            "upright=" + QString::number(p.upright),
            "shape=" + QString::fromStdString(p.sprite_shape) + ' ' + number(p.shape_angle) + ' ' +
                number(p.shape_size) + ' ' + number(p.sway),
            "model=" + QString::fromStdString(p.model)};
}

std::unique_ptr<CFileVBSP> read(const QByteArray &bytes)
{
    return std::unique_ptr<CFileVBSP>(readVbspData(bytes));
}

} // namespace

class TestVbspFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void writerLayout_data();
    void writerLayout();
    void propValues_data();
    void propValues();
    void structure_data();
    void structure();
    void roundTrip();
    void decimalCommaLocale();
    void failures();
    void damagedFiles();

private:
    QTemporaryDir m_dir;
    QString m_localeDir;
};

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
    if (QFileInfo::exists(folder + "/de_DE.UTF-8/LC_NUMERIC"))
        m_localeDir = folder;
}

void TestVbspFile::writerLayout_data()
{
    QTest::addColumn<QString>("recipe");
    QTest::addColumn<bool>("shapeSupport");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty") << "empty" << true << QByteArray("detail\r\n{\r\n}\r\n");
    QTest::newRow("types without groups, group without props")
        << "types" << true
        << crlf({"detail", "{", "\tgrass", "\t{", "\t\t\"density\" \"0.5\"", "", "\t\ttufts",
                 "\t\t{", "\t\t\t\"alpha\" \"0.25\"", "\t\t}", "\t}", "", "\trocks", "\t{",
                 "\t\t\"density\" \"2.5e+06\"", "\t}", "}"});
    const QList<QByteArray> sprite{"\"sprite\" \"0 0 0 0 1024\"", "\"spritesize\" \"0.5 0 0 0\"",
                                   "\"spriterandomscale\" \"0\"", "\"amount\" \"1\"",
                                   "\"detailOrientation\" \"2\""};
    QTest::newRow("new sprite") << "sprite" << true
                                << propFile(sprite + QList<QByteArray>{"\"sway\" \"0\""});
    QTest::newRow("new sprite, no shapes") << "sprite" << false << propFile(sprite);
    QTest::newRow("tri") << "tri" << true
                         << propFile({"\"sprite_shape\" \"tri\"", sprite[0], sprite[1], sprite[2],
                                      sprite[3], sprite[4], "\"shape_angle\" \"45\"",
                                      "\"shape_size\" \"0.125\"", "\"sway\" \"0.5\""});
    QTest::newRow("Tri") << "Tri" << true
                         << propFile({"\"sprite_shape\" \"Tri\"", sprite[0], sprite[1], sprite[2],
                                      sprite[3], sprite[4], "\"sway\" \"0.5\""});
    QTest::newRow("model") << "model" << true
                           << propFile({"\"model\" \"models/props/fern.mdl\"", "\"amount\" \"0.5\"",
                                        "\"minangle\" \"180.5\"", "\"upright\" \"1\""});
    QTest::newRow("numbers") << "numbers" << true
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
    QFETCH(QString, recipe);
    QFETCH(bool, shapeSupport);
    QFETCH(QByteArray, expected);

    CFileVBSP document;
    document.detailShapeSupport = shapeSupport;
    build(document, recipe);
    QCOMPARE(vbspBytes(document), expected);
}

void TestVbspFile::propValues_data()
{
    QTest::addColumn<QByteArray>("lines"); // key lines, one per "\n"
    QTest::addColumn<QString>("expected"); // values of describe(), one per "|"

    QTest::newRow("three sprite numbers")
        << QByteArray("\"sprite\" \"1 2 3\"") << "sprite=1 2 3 0 1024";
    QTest::newRow("sprite bounds")
        << QByteArray("\"sprite\" \"5000 -1 x 4096 7 8\"") << "sprite=4096 0 0 4096 7";
    QTest::newRow("sprite overflow")
        << QByteArray("\"sprite\" \"99999999999 -99999999999\"") << "sprite=4096 0 0 0 1024";
    QTest::newRow("spritesize three")
        << QByteArray("\"spritesize\" \"0 0 0\"") << "spritesize=0.5 0 0 0";
    QTest::newRow("spritesize four")
        << QByteArray("\"spritesize\" \"0  1 0.25 2\"") << "spritesize=0 1 0.25 1";
    QTest::newRow("orientation, upright")
        << QByteArray("\"detailOrientation\" \"7\"\n\"upright\" \"2\"")
        << "orientation=2|upright=1";
    QTest::newRow("clamped, not a number")
        << QByteArray("\"amount\" \"1.5\"\n\"sway\" \"nan\"\n\"sprite_shape\" \"cross\"\n"
                      "\"shape_angle\" \"400\"")
        << "amount=1|shape=cross 360 0 0";
    QTest::newRow("minangle 200 before its maximum")
        << QByteArray("\"minangle\" \"200\"\n\"maxangle\" \"250\"") << "angles=200 250";
    QTest::newRow("minimum above maximum")
        << QByteArray("\"maxangle\" \"100\"\n\"minangle\" \"200\"") << "angles=100 100";
    QTest::newRow("angles clamped")
        << QByteArray("\"minangle\" \"-5\"\n\"maxangle\" \"900\"") << "angles=0 360";
    QTest::newRow("unquoted value at line end") << QByteArray("\"amount\" 0.25") << "amount=0.25";
    QTest::newRow("keys compare with case")
        << QByteArray("\"Amount\" \"0\"\n\"model\" \"a b.mdl\"") << "amount=1|model=a b.mdl";
}

void TestVbspFile::propValues()
{
    QFETCH(QByteArray, lines);
    QFETCH(QString, expected);

    const auto document = read(propFile(lines.split('\n')));
    QVERIFY(document);
    QCOMPARE(outline(*document), QStringLiteral("t(0)[g(1)[p]]"));
    const QStringList got = describe(*document->types[0]->groups[0]->props[0]);
    for (const QString &value : expected.split('|'))
        QVERIFY2(got.contains(value), qPrintable(got.join(" | ")));
}

void TestVbspFile::structure_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no detail block") << QByteArray("grass\n{\n}\n") << "";
    QTest::newRow("brace on the detail line") << QByteArray("detail {\ngrass\n{\n}\n}\n") << "";
    QTest::newRow("LF, comments, clamps")
        << QByteArray("// head\ndetail\n{\n  grass // note\n  {\n  \"density\" \"-3\"\n"
                      "  \"Density\" \"4\"\n    tufts\n    {\n    \"alpha\" \"1.5\"\n    }\n"
                      "  }\n}\n")
        << "grass(0)[tufts(1)[]]";
    QTest::newRow("two blocks, no braces needed")
        << QByteArray("detail\na\n\"density\" \"2\"\n}\n}\ndetail\nb\n") << "a(2)[] b(0)[]";
    QTest::newRow("name with a blank is one level off")
        << crlf({"detail", "{", "\tmy type", "\t{", "\t\tg", "\t\t{", "\t\t\tp", "\t\t\t{",
                 "\t\t\t}", "\t\t}", "\t}", "\tlater", "\t{", "\t}", "}"})
        << "g(0)[p(0)[]]";
    QTest::newRow("missing closing braces")
        << QByteArray("detail\n{\na\n{\ng\n{\np\n{\n\"amount\" \"0.5\"") << "a(0)[g(0)[p]]";
    QTest::newRow("duplicate names kept")
        << QByteArray("detail\n{\na\n}\na\n}\n}\n") << "a(0)[] a(0)[]";
}

void TestVbspFile::structure()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);

    const auto document = read(file);
    QVERIFY(document);
    QVERIFY(document->detailShapeSupport);
    QCOMPARE(outline(*document), expected);
}

// Everything the writer writes reads back as it was, minimum angle above 180
// included; what it leaves out comes back at its new-prop value.
void TestVbspFile::roundTrip()
{
    CFileVBSP document;
    document.detailShapeSupport = false;
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
    QCOMPARE(back->path, path);
    QVERIFY(back->detailShapeSupport);
    back->detailShapeSupport = false;
    QCOMPARE(vbspBytes(*back), vbspBytes(document));

    const QStringList spriteBack = describe(*back->types[0]->groups[0]->props[0]);
    QVERIFY(spriteBack.contains("angles=200 250"));
    QVERIFY(spriteBack.contains("shape= 0 0 0")); // not written without shape support
    const QStringList modelBack = describe(*back->types[0]->groups[0]->props[1]);
    QVERIFY(modelBack.contains("sprite=0 0 0 0 1024"));
    QVERIFY(modelBack.contains("model=models/rock.mdl"));
}

void TestVbspFile::decimalCommaLocale()
{
    if (m_localeDir.isEmpty())
        QSKIP("no decimal-comma locale can be generated here");
    qputenv("LOCPATH", QFile::encodeName(m_localeDir));
    const QByteArray previous = std::setlocale(LC_ALL, nullptr);
    const bool switched = std::setlocale(LC_ALL, "de_DE.UTF-8");
    qunsetenv("LOCPATH");
    QVERIFY(switched);
    char probe[16];
    std::snprintf(probe, sizeof probe, "%g", 0.5);
    const QByteArray local(probe);

    CFileVBSP document;
    build(document, "numbers");
    const QByteArray written = vbspBytes(document);
    const auto back = read(propFile({"\"spritesize\" \"0.5 0.25 1 0\"", "\"amount\" \"0.75\""}));
    std::setlocale(LC_ALL, previous.constData());

    QCOMPARE(local, QByteArray("0,5"));
    QVERIFY(written.contains("\"spritesize\" \"0.123457 1e-05 123.457 0\""));
    QVERIFY(written.contains("\"maxangle\" \"359.9\""));
    const QStringList got = describe(*back->types[0]->groups[0]->props[0]);
    QVERIFY(got.contains("spritesize=0.5 0.25 1 0"));
    QVERIFY(got.contains("amount=0.75"));
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

    // A failed write says why and leaves no file behind.
    CFileVBSP document;
    const QString folderTarget = m_dir.filePath("folder.vbsp");
    QVERIFY(QDir().mkpath(folderTarget));
    const QString noFolder = m_dir.filePath("missing/x.vbsp");
    for (const QString &target : {folderTarget, noFolder}) {
        error.clear();
        QVERIFY(!writeVbspFile(document, QFile::encodeName(target).toStdString(), &error));
        QVERIFY(!error.isEmpty());
    }
    QVERIFY(QFileInfo(folderTarget).isDir());
    QVERIFY(!QFile::exists(noFolder));
}

void TestVbspFile::damagedFiles()
{
    CFileVBSP document;
    build(document, "tri");
    const QByteArray valid = vbspBytes(document) + propFile({"\"model\" \"m.mdl\""});
    const auto load = [](const QByteArray &bytes) {
        const auto damaged = read(bytes);
        QVERIFY(damaged);
        vbspBytes(*damaged);
    };
    Fuzz::truncations(valid, load);
    Fuzz::byteFlips(valid, 400, 0x5b5b, load);
}

QTEST_GUILESS_MAIN(TestVbspFile)
#include "tst_vbspfile.moc"
