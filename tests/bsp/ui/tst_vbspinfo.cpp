#include "BspErrors.h"
#include "BspFixture.h"
#include "CConfig.h"
#include "PackageErrors.h"
#include "ScriptedPrompt.h"
#include "VBSPINFO.h"

#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace E = BspErrors;
using namespace LumpMaps;

namespace {

QString cell(const VBSPINFO &window, int row, int column)
{
    return window.table()->item(row, column)->text();
}

} // namespace

class TestVBSPInfo : public QObject
{
    Q_OBJECT

private slots:
    void showsTheDirectory_data();
    void showsTheDirectory();
    void copyMenuOnlyOverNumbers();
    void extracts();
    void replaceAcceptsOrRefuses_data();
    void replaceAcceptsOrRefuses();
    void writeProtectedMapIsShownNotReplaced();
};

void TestVBSPInfo::showsTheDirectory_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("names"); // rows 11, 22, 49, 53, 62, 63

    QTest::newRow("19") << 19 << "Unused Portals PhysCollideSurface Unused Unused Unused";
    QTest::newRow("20") << 20 << "FaceIDs Unused Unused LightingHDR Unused Unused";
    QTest::newRow("21") << 21 << "FaceIDs PropCollision PropBlob Unused PhysLevel Unused";
    QTest::newRow("22") << 22 << "FaceIDs PropCollision PropBlob Unused PhysLevel DispMultiBlend";
}

void TestVBSPInfo::showsTheDirectory()
{
    QFETCH(int, version);
    QFETCH(QString, names);

    MapFixture m = map(version);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ctf_a.bsp"));
    QVERIFY(writeFile(path, m.build()));
    CDelegateBSP delegate;
    QVERIFY(delegate.open(path, true));
    VBSPINFO fromDelegate(&delegate); // as the main window builds it
    VBSPINFO fromPath(path);
    for (VBSPINFO *window : {&fromDelegate, &fromPath}) {
        QCOMPARE(window->windowTitle(), QStringLiteral("ctf_a"));
        QStringList shown;
        for (int row : {11, 22, 49, 53, 62, 63})
            shown << window->table()->verticalHeaderItem(row)->text();
        QCOMPARE(shown.join(QLatin1Char(' ')), names);
        QCOMPARE(cell(*window, 1, 0), QString::number(m.offsets[1]));
        QCOMPARE(cell(*window, 1, 1), QStringLiteral("40"));
        QCOMPARE(cell(*window, 1, 2), QStringLiteral("3"));
        QCOMPARE(cell(*window, 1, 3), QStringLiteral("'L' (76) , 'Z' (90) , 'M' (77) , 'A' (65)"));
    }

    // In the document area a 1280 x 800 screen leaves, it opens with every
    // column whole and more rows than its minimum size shows.
    QMdiArea area;
    area.resize(1240, 660);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    auto *placed = new VBSPINFO(&delegate);
    area.addSubWindow(placed)->show();
    QTableWidget *table = placed->table();
    QTRY_VERIFY(table->rowAt(table->viewport()->height() - 1) > 20);
    QVERIFY(!table->horizontalScrollBar()->isVisible());

    // A map that does not open leaves the window empty and disabled.
    ScriptedPrompt script;
    VBSPINFO missing(dir.filePath(QStringLiteral("gone.bsp")));
    QCOMPARE(script.warnings, QStringList{PackageErrors::FileOpen});
    QCOMPARE(missing.windowTitle(), QStringLiteral("BSP Info"));
    QVERIFY(!missing.table()->isEnabled());
}

void TestVBSPInfo::copyMenuOnlyOverNumbers()
{
    MapFixtures::MapFile file(map(20).build());
    VBSPINFO window(file.path());
    window.resize(1000, 600);
    window.show();
    QTableWidget *table = window.table();
    for (int column = 0; column < 4; ++column) {
        emit table->customContextMenuRequested(
            table->visualItemRect(table->item(1 + column, column)).center());
        QCOMPARE(window.contextMenu()->isVisible(), column < 2);
        window.contextMenu()->hide();
    }
    // The menu's action copies the cell it was offered over.
    emit table->customContextMenuRequested(table->visualItemRect(table->item(1, 0)).center());
    window.contextMenu()->actions().value(0)->trigger();
    QCOMPARE(QApplication::clipboard()->text(), cell(window, 1, 0));
}

void TestVBSPInfo::extracts()
{
    MapFixture m = map(21);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ctf_a.bsp"));
    QVERIFY(writeFile(path, m.build()));
    VBSPINFO window(path);
    ScriptedPrompt script;
    script.button = QStringLiteral("extractButton");
    script.files = QStringList{dir.path()};
    window.lumpHeaderSectionClicked(40);
    QCOMPARE(script.asked.value(0).title, QStringLiteral("Lump Pakfile"));
    QCOMPARE(script.asked.value(2).text, QStringLiteral("Save as *.lmp?"));
    QCOMPARE(script.asked.value(2).defaultButton, QMessageBox::Yes);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("ctf_a_l_40"))), m.lumps[40]);

    CConfig::instance()->saveLumpNameNotNumber = true;
    script.buttons[QStringLiteral("Save as")] = QMessageBox::Yes;
    window.lumpHeaderSectionClicked(40);
    CConfig::instance()->saveLumpNameNotNumber = false;
    QCOMPARE(readFile(dir.filePath(QStringLiteral("ctf_a_Pakfile.lmp"))),
             lumpFile(20, 40, 0, m.lumps[40].size(), Revision, m.lumps[40]));

    // An existing file is replaced only when the user agrees.
    script.buttons[QStringLiteral("Save as")] = QMessageBox::No;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("ctf_a_l_1")), "mine"));
    window.lumpHeaderSectionClicked(1);
    QCOMPARE(script.asked.last().text,
             QStringLiteral("File ctf_a_l_1 already exists.\n\nOverwrite?"));
    QCOMPARE(script.asked.last().defaultButton, QMessageBox::Cancel);
    // Agreed, but the map is gone: the old file stays.
    QVERIFY(QFile::remove(path));
    script.buttons[QStringLiteral("File ")] = QMessageBox::Ok;
    window.lumpHeaderSectionClicked(1);
    QCOMPARE(script.warnings, QStringList{PackageErrors::FileOpen});
    QCOMPARE(readFile(dir.filePath(QStringLiteral("ctf_a_l_1"))), QByteArray("mine"));
}

void TestVBSPInfo::replaceAcceptsOrRefuses_data()
{
    QTest::addColumn<int>("lump");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("warning");

    const QByteArray h("hello");
    QTest::newRow("raw of any size") << 1 << "planes.raw" << QByteArray("xyz") << QString();
    QTest::newRow("lump file") << 1 << "p.lmp" << lumpFile(20, 1, 3, 5, Revision, h) << QString();
    QTest::newRow("capital suffix, other map revision")
        << 1 << "P.LMP" << lumpFile(20, 1, 3, 5, 99, h) << QString();
    const QString notLump = QString::fromLatin1(E::NotLumpFile).arg("\"p.lmp\"");
    const QString cut = QString::fromLatin1(E::LumpFileCut).arg("\"p.lmp\"");
    QTest::newRow("huge length") << 1 << "p.lmp" << lumpFile(20, 1, 3, 0x7fffffff, Revision, h)
                                 << cut.arg(0x7fffffff).arg(5);
    QTest::newRow("longer than its length")
        << 1 << "p.lmp" << lumpFile(20, 1, 3, 4, Revision, h) << notLump;
    QTest::newRow("shorter than a header") << 1 << "p.lmp" << QByteArray(19, '\0') << notLump;
    QTest::newRow("empty lump") << 1 << "p.lmp" << lumpFile(20, 1, 3, 0, Revision, {})
                                << E::UnexpectedEndOfFile;
    QTest::newRow("header size") << 1 << "p.lmp" << lumpFile(24, 1, 3, 5, Revision, h)
                                 << E::UnexpectedStartOfData;
    QTest::newRow("other lump") << 1 << "p.lmp" << lumpFile(20, 2, 3, 5, Revision, h)
                                << E::LumpTypeMismatch;
    QTest::newRow("other version")
        << 1 << "p.lmp" << lumpFile(20, 1, 4, 5, Revision, h) << E::LumpVersionMismatch;
    QTest::newRow("missing file") << 1 << "" << QByteArray() << E::UnableToOpenFile;
    // A game-lump directory larger than its lump: the new map would not open
    // again, so the flush refuses it and says why.
    QTest::newRow("flush refuses")
        << 35 << "games.raw" << QByteArray("\xff\xff\xff\x7f", 4)
        << PackageErrors::Bsp::readBack(PackageErrors::Bsp::GameLumpDirectory);
}

void TestVBSPInfo::replaceAcceptsOrRefuses()
{
    QFETCH(int, lump);
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, warning);

    const QByteArray original = map(20).build();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("map.bsp"));
    QVERIFY(writeFile(path, original));
    VBSPINFO window(path);
    ScriptedPrompt script;
    script.button = QStringLiteral("replaceButton");
    const QString chosen = dir.filePath(name.isEmpty() ? QStringLiteral("gone.lmp") : name);
    script.files = QStringList{chosen};
    // Answered slowly once the map work has begun: its busy dialog stays off the box.
    const QByteArray tag = QTest::currentDataTag();
    if (tag == "other version" || tag == "flush refuses")
        script.slow.waitMs = 100;
    window.show();
    QVERIFY(name.isEmpty() || writeFile(chosen, content));
    window.lumpHeaderSectionClicked(lump);
    QCOMPARE(script.slow.covered, 0);

    QCOMPARE(script.asked.value(1).filter, QStringLiteral("Lump File (*.lmp);;All Files (*.*)"));
    if (!warning.isEmpty()) {
        const bool namesTheFile = warning.contains(QLatin1String("%1"));
        QCOMPARE(script.warnings, QStringList{namesTheFile ? warning.arg(chosen) : warning});
        QCOMPARE(script.asked.last().title, QStringLiteral("map"));
        QCOMPARE(readFile(path), original);
        return;
    }
    QVERIFY(script.warnings.isEmpty());
    const QByteArray expected = name.endsWith(QLatin1String("raw")) ? content : content.mid(20);
    QCOMPARE(storedLump(path, 1), expected);
    QCOMPARE(cell(window, 1, 1), QString::number(expected.size())); // the table follows
}

void TestVBSPInfo::writeProtectedMapIsShownNotReplaced()
{
    MapFixture m = map(20);
    const QByteArray original = m.build();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("map.bsp"));
    QVERIFY(writeFile(path, original));
    QFile::setPermissions(path, QFile::ReadOwner);
    if (QFile(path).open(QIODevice::ReadWrite))
        QSKIP("permissions are not enforced for this user");

    VBSPINFO window(path);
    ScriptedPrompt script;
    script.button = QStringLiteral("extractButton");
    script.files = QStringList{dir.path()};
    window.lumpHeaderSectionClicked(5);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("map_l_5"))), m.lumps[5]);

    script.button = QStringLiteral("replaceButton");
    script.files = QStringList{dir.filePath(QStringLiteral("map_l_5"))};
    window.lumpHeaderSectionClicked(5);
    QCOMPARE(script.warnings, QStringList{PackageErrors::FileOpen});
    QCOMPARE(readFile(path), original);
}

QTEST_MAIN(TestVBSPInfo)
#include "tst_vbspinfo.moc"
