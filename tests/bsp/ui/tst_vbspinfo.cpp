#include "BspErrors.h"
#include "CConfig.h"
#include "CDelegateBSP.h"
#include "CPrompt.h"
#include "LumpMaps.h"
#include "PackageErrors.h"
#include "VBSPINFO.h"
#include "VBSPInfoLumpOptionDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace E = BspErrors;
using namespace LumpMaps;

namespace {

// Scripted answers for one lump action; every question asked is kept.
struct Script
{
    QString button = QStringLiteral("extractButton");
    QString chosen; // directory or file
    QMessageBox::StandardButton lumpFileAnswer = QMessageBox::Yes;
    QMessageBox::StandardButton overwriteAnswer = QMessageBox::Ok;
    QList<CPrompt::Request> asked;

    QStringList warnings() const
    {
        QStringList texts;
        for (const CPrompt::Request &r : asked) {
            if (r.kind == CPrompt::Kind::Warning)
                texts << r.text;
        }
        return texts;
    }

    CPrompt::Answer operator()(const CPrompt::Request &request)
    {
        asked << request;
        CPrompt::Answer answer;
        switch (request.kind) {
        case CPrompt::Kind::Exec:
            if (auto *b = request.dialog->findChild<QPushButton *>(button))
                b->click();
            answer.result = request.dialog->result();
            break;
        case CPrompt::Kind::ExistingDirectory:
        case CPrompt::Kind::OpenFileName:
            answer.ok = !chosen.isEmpty();
            answer.text = chosen;
            break;
        case CPrompt::Kind::Question:
            answer.button = request.text.startsWith(QLatin1String("Save as")) ? lumpFileAnswer
                                                                              : overwriteAnswer;
            break;
        default:
            answer.button = QMessageBox::Ok;
            break;
        }
        return answer;
    }
};

QString cell(const VBSPINFO &window, int row, int column)
{
    return window.table()->item(row, column)->text();
}

QString rowName(const VBSPINFO &window, int row)
{
    return window.table()->verticalHeaderItem(row)->text();
}

} // namespace

class TestVBSPInfo : public QObject
{
    Q_OBJECT

private slots:
    void showsTheDirectory_data();
    void showsTheDirectory();
    void copyMenuOnlyOverNumbers_data();
    void copyMenuOnlyOverNumbers();
    void extracts_data();
    void extracts();
    void extractAsksBeforeOverwriting();
    void replaceAcceptsOrRefuses_data();
    void replaceAcceptsOrRefuses();
    void replaceShowsWhyTheWriteFailed();
    void writeProtectedMapIsShownNotReplaced();
};

void TestVBSPInfo::showsTheDirectory_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QStringList>("names"); // rows 11, 22, 49, 53, 62, 63

    QTest::newRow("19") << 19 << QStringList{"Unused", "Portals", "PhysCollideSurface",
                                             "Unused", "Unused",  "Unused"};
    QTest::newRow("20") << 20 << QStringList{"FaceIDs",     "Unused", "Unused",
                                             "LightingHDR", "Unused", "Unused"};
    QTest::newRow("21") << 21 << QStringList{"FaceIDs", "PropCollision", "PropBlob",
                                             "Unused",  "PhysLevel",     "Unused"};
    QTest::newRow("22") << 22 << QStringList{"FaceIDs", "PropCollision", "PropBlob",
                                             "Unused",  "PhysLevel",     "DispMultiBlend"};
}

void TestVBSPInfo::showsTheDirectory()
{
    QFETCH(int, version);
    QFETCH(QStringList, names);

    MapFixture m = map(version);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ctf_a.bsp"));
    QVERIFY(writeFile(path, m.build()));

    CDelegateBSP delegate;
    QVERIFY(delegate.open(path, true));
    VBSPINFO fromDelegate(&delegate);
    VBSPINFO fromPath(path);
    for (VBSPINFO *window : {&fromDelegate, &fromPath}) {
        QVERIFY(window->table()->isEnabled());
        QCOMPARE(window->windowTitle(), QStringLiteral("ctf_a"));
        QCOMPARE(window->mapPath(), path);
        QStringList shown;
        for (int row : {11, 22, 49, 53, 62, 63})
            shown << rowName(*window, row);
        QCOMPARE(shown, names);
        QCOMPARE(rowName(*window, 40), QStringLiteral("Pakfile"));
        QCOMPARE(cell(*window, 1, 0), QString::number(m.offsets[1]));
        QCOMPARE(cell(*window, 1, 1), QStringLiteral("40"));
        QCOMPARE(cell(*window, 1, 2), QStringLiteral("3"));
        QCOMPARE(cell(*window, 1, 3), QStringLiteral("'L' (76) , 'Z' (90) , 'M' (77) , 'A' (65)"));
        QCOMPARE(cell(*window, 53, 2), QStringLiteral("1"));
    }

    // A path that does not open leaves the window empty and disabled.
    Script script;
    CPrompt::ScopedHandler handler(std::ref(script));
    VBSPINFO missing(dir.filePath(QStringLiteral("gone.bsp")));
    QCOMPARE(script.warnings(), QStringList{PackageErrors::FileOpen});
    QCOMPARE(script.asked.value(0).title, QStringLiteral("BSP Info"));
    QCOMPARE(missing.windowTitle(), QStringLiteral("BSP Info"));
    QVERIFY(!missing.table()->isEnabled());
    QVERIFY(missing.mapPath().isEmpty());
    QCOMPARE(rowName(missing, 40), QStringLiteral("LUMP 40"));
}

void TestVBSPInfo::copyMenuOnlyOverNumbers_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("offered");

    QTest::newRow("offset") << 0 << true;
    QTest::newRow("length") << 1 << true;
    QTest::newRow("version") << 2 << false;
    QTest::newRow("four cc") << 3 << false;
}

void TestVBSPInfo::copyMenuOnlyOverNumbers()
{
    QFETCH(int, column);
    QFETCH(bool, offered);

    MapFixtures::MapFile file(map(20).build());
    VBSPINFO window(file.path());
    window.resize(1000, 600);
    window.show();
    QTableWidget *table = window.table();
    const QRect rect = table->visualItemRect(table->item(1, column));
    QApplication::clipboard()->setText(QStringLiteral("before"));
    emit table->customContextMenuRequested(rect.center());
    QCOMPARE(window.contextMenu()->isVisible(), offered);
    window.contextMenu()->hide();
    window.tableItemCopy();
    QCOMPARE(QApplication::clipboard()->text(),
             offered ? cell(window, 1, column) : QStringLiteral("before"));
}

void TestVBSPInfo::extracts_data()
{
    QTest::addColumn<bool>("asLumpFile");
    QTest::addColumn<bool>("byName");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("raw by number") << false << false << "ctf_a_l_40";
    QTest::newRow("lump file by number") << true << false << "ctf_a_l_40.lmp";
    QTest::newRow("raw by name") << false << true << "ctf_a_Pakfile";
    QTest::newRow("lump file by name") << true << true << "ctf_a_Pakfile.lmp";
}

void TestVBSPInfo::extracts()
{
    QFETCH(bool, asLumpFile);
    QFETCH(bool, byName);
    QFETCH(QString, fileName);

    MapFixture m = map(21);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ctf_a.bsp"));
    QVERIFY(writeFile(path, m.build()));
    VBSPINFO window(path);

    Script script;
    script.chosen = dir.path();
    script.lumpFileAnswer = asLumpFile ? QMessageBox::Yes : QMessageBox::No;
    CPrompt::ScopedHandler handler(std::ref(script));
    CConfig::instance()->saveLumpNameNotNumber = byName;
    window.lumpHeaderSectionClicked(40);
    CConfig::instance()->saveLumpNameNotNumber = false;

    QCOMPARE(script.asked.value(0).title, QStringLiteral("Lump Pakfile"));
    QCOMPARE(script.asked.value(1).title, QStringLiteral("Save Lump"));
    QCOMPARE(script.asked.value(2).text, QStringLiteral("Save as *.lmp?"));
    QCOMPARE(script.asked.value(2).defaultButton, QMessageBox::Yes);
    QVERIFY(script.warnings().isEmpty());
    QByteArray expected = m.lumps[40];
    if (asLumpFile)
        expected.prepend(lumpFile(20, 40, 0, expected.size(), Revision, {}));
    QCOMPARE(readFile(dir.filePath(fileName)), expected);
}

void TestVBSPInfo::extractAsksBeforeOverwriting()
{
    MapFixture m = map(20);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("map.bsp"));
    QVERIFY(writeFile(path, m.build()));
    VBSPINFO window(path);
    const QString target = dir.filePath(QStringLiteral("map_l_1"));
    QVERIFY(writeFile(target, "mine"));

    Script script;
    script.chosen = dir.path();
    script.lumpFileAnswer = QMessageBox::No;
    script.overwriteAnswer = QMessageBox::Cancel;
    {
        CPrompt::ScopedHandler handler(std::ref(script));
        window.lumpHeaderSectionClicked(1);
    }
    QCOMPARE(script.asked.last().text,
             QStringLiteral("File map_l_1 already exists.\n\nOverwrite?"));
    QCOMPARE(script.asked.last().defaultButton, QMessageBox::Cancel);
    QCOMPARE(readFile(target), QByteArray("mine"));

    // The map is gone: nothing is written, the old file stays.
    QVERIFY(QFile::rename(path, path + QStringLiteral(".away")));
    script.overwriteAnswer = QMessageBox::Ok;
    {
        CPrompt::ScopedHandler handler(std::ref(script));
        window.lumpHeaderSectionClicked(1);
    }
    QCOMPARE(script.warnings(), QStringList{PackageErrors::FileOpen});
    QCOMPARE(readFile(target), QByteArray("mine"));

    QVERIFY(QFile::rename(path + QStringLiteral(".away"), path));
    {
        CPrompt::ScopedHandler handler(std::ref(script));
        window.lumpHeaderSectionClicked(1);
    }
    QCOMPARE(readFile(target), m.lumps[1]);

    // Cancel in the option dialog asks nothing more.
    script.asked.clear();
    script.button = QStringLiteral("cancelButton");
    {
        CPrompt::ScopedHandler handler(std::ref(script));
        window.lumpHeaderSectionClicked(1);
    }
    QCOMPARE(script.asked.size(), 1);
}

void TestVBSPInfo::replaceAcceptsOrRefuses_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QByteArray>("newLump");

    const QByteArray hello("hello");
    QTest::newRow("raw of any size")
        << "planes.raw" << QByteArray("xyz") << QString() << QByteArray("xyz");
    QTest::newRow("lump file") << "planes.lmp" << lumpFile(20, 1, 3, 5, Revision, hello)
                               << QString() << hello;
    QTest::newRow("suffix in capitals")
        << "PLANES.LMP" << lumpFile(20, 1, 3, 5, Revision, hello) << QString() << hello;
    QTest::newRow("other map revision")
        << "planes.lmp" << lumpFile(20, 1, 3, 5, 99, hello) << QString() << hello;
    QTest::newRow("empty lump") << "planes.lmp" << lumpFile(20, 1, 3, 0, Revision, {})
                                << E::UnexpectedEndOfFile << QByteArray();
    QTest::newRow("header size") << "planes.lmp" << lumpFile(24, 1, 3, 5, Revision, hello)
                                 << E::UnexpectedStartOfData << QByteArray();
    QTest::newRow("length") << "planes.lmp" << lumpFile(20, 1, 3, 6, Revision, hello)
                            << E::UnexpectedEndOfData << QByteArray();
    QTest::newRow("other lump") << "planes.lmp" << lumpFile(20, 2, 3, 5, Revision, hello)
                                << E::LumpTypeMismatch << QByteArray();
    QTest::newRow("other version") << "planes.lmp" << lumpFile(20, 1, 4, 5, Revision, hello)
                                   << E::LumpVersionMismatch << QByteArray();
    QTest::newRow("missing file") << "" << QByteArray() << E::UnableToOpenFile << QByteArray();
}

void TestVBSPInfo::replaceAcceptsOrRefuses()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, warning);
    QFETCH(QByteArray, newLump);

    MapFixture m = map(20);
    const QByteArray original = m.build();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("map.bsp"));
    QVERIFY(writeFile(path, original));
    VBSPINFO window(path);

    Script script;
    script.button = QStringLiteral("replaceButton");
    script.chosen = dir.filePath(name.isEmpty() ? QStringLiteral("gone.lmp") : name);
    if (!name.isEmpty())
        QVERIFY(writeFile(script.chosen, content));
    {
        CPrompt::ScopedHandler handler(std::ref(script));
        window.lumpHeaderSectionClicked(1);
    }
    QCOMPARE(script.asked.value(1).title, QStringLiteral("Select Lump"));
    QCOMPARE(script.asked.value(1).filter, QStringLiteral("Lump File (*.lmp);;All Files (*.*)"));
    if (!warning.isEmpty()) {
        const bool namesTheFile = warning.contains(QLatin1String("%1"));
        QCOMPARE(script.warnings(),
                 QStringList{namesTheFile ? warning.arg(script.chosen) : warning});
        QCOMPARE(script.asked.last().title, QStringLiteral("map"));
        QCOMPARE(readFile(path), original);
        return;
    }
    QVERIFY(script.warnings().isEmpty());
    CDelegateBSP written;
    QVERIFY(written.open(path, true));
    std::unique_ptr<QByteArray> lump(written.readCurrent(1));
    QCOMPARE(*lump, newLump);
    QCOMPARE(cell(window, 1, 1), QString::number(newLump.size()));
    QCOMPARE(cell(window, 2, 0), QString::number(written.lumpInfo(2, 1)));
}

void TestVBSPInfo::replaceShowsWhyTheWriteFailed()
{
    MapFixture m = map(20);
    const QByteArray original = m.build();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("map.bsp"));
    QVERIFY(writeFile(path, original));
    VBSPINFO window(path);

    // A game-lump directory larger than its lump: the new map would not
    // open again, so the flush refuses it.
    Script script;
    script.button = QStringLiteral("replaceButton");
    script.chosen = dir.filePath(QStringLiteral("games.raw"));
    QVERIFY(writeFile(script.chosen, QByteArray("\xff\xff\xff\x7f", 4)));
    {
        CPrompt::ScopedHandler handler(std::ref(script));
        window.lumpHeaderSectionClicked(35);
    }
    QCOMPARE(script.warnings(),
             QStringList{PackageErrors::Bsp::readBack(PackageErrors::Bsp::GameLumpDirectory)});
    QCOMPARE(readFile(path), original);
}

void TestVBSPInfo::writeProtectedMapIsShownNotReplaced()
{
    MapFixture m = map(20);
    const QByteArray original = m.build();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("map.bsp"));
    QVERIFY(writeFile(path, original));
    QFile::setPermissions(path, QFile::ReadOwner);
    QFile probe(path);
    if (probe.open(QIODevice::ReadWrite))
        QSKIP("permissions are not enforced for this user");

    VBSPINFO window(path);
    QVERIFY(window.table()->isEnabled());
    Script script;
    script.chosen = dir.path();
    script.lumpFileAnswer = QMessageBox::No;
    {
        CPrompt::ScopedHandler handler(std::ref(script));
        window.lumpHeaderSectionClicked(5);
    }
    QCOMPARE(readFile(dir.filePath(QStringLiteral("map_l_5"))), m.lumps[5]);

    script.button = QStringLiteral("replaceButton");
    script.chosen = dir.filePath(QStringLiteral("map_l_5"));
    {
        CPrompt::ScopedHandler handler(std::ref(script));
        window.lumpHeaderSectionClicked(5);
    }
    QCOMPARE(script.warnings(), QStringList{PackageErrors::FileOpen});
    QCOMPARE(readFile(path), original);
}

QTEST_MAIN(TestVBSPInfo)
#include "tst_vbspinfo.moc"
