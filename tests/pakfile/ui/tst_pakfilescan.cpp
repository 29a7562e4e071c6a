#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "EditorScript.h"
#include "GameFolder.h"
#include "PakfileFixture.h"
#include "VPakfile.h"
#include "VScanTableWidgetItem.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QtEndian>
#include <QtTest>

using namespace MapFixtures;

namespace {

const QByteArray Configuration = "[vpakfile]\n[vmttexturekeys]\n$basetexture\n[/vmttexturekeys]\n"
                                 "[soundkeys]\nmessage\n[/soundkeys]\n[/vpakfile]\n";

// Texture "a" is packed and on disk and names a texture packed only; the
// sounds are on disk only, missing, and staged in the pakfile but not saved.
QByteArray scanMap()
{
    MapFixture m = pakfileMap();
    m.lumps[0] = "{\n\"classname\" \"worldspawn\"\n}\n"
                 "{\n\"message\" \"ambient/wind.wav\"\n}\n{\n\"message\" \"missing.wav\"\n}\n"
                 "{\n\"message\" \"new.wav\"\n}\n";
    m.lumps[43] = QByteArray("a\0", 2);
    return m.build();
}

QTableWidget *table(VPakfile &editor, const char *name)
{
    return editor.findChild<QTableWidget *>(QString::fromLatin1(name));
}

void click(VPakfile &editor, const char *button)
{
    editor.findChild<QPushButton *>(QString::fromLatin1(button))->click();
}

QStringList column(QTableWidget *rows, int c)
{
    QStringList texts;
    for (int row = 0; row < rows->rowCount(); ++row)
        texts << rows->item(row, c)->text();
    return texts;
}

// One letter per row for its colour: Yellow, Green, Cyan, Orange, Blue, Red.
QString colours(QTableWidget *rows)
{
    const QHash<QRgb, QChar> known{{qRgb(255, 255, 192), 'Y'}, {qRgb(192, 255, 192), 'G'},
                                   {qRgb(192, 255, 255), 'C'}, {qRgb(255, 224, 192), 'O'},
                                   {qRgb(192, 192, 255), 'B'}, {qRgb(255, 192, 192), 'R'}};
    QString letters;
    for (int row = 0; row < rows->rowCount(); ++row)
        letters += known.value(rows->item(row, 2)->background().color().rgb(), '?');
    return letters;
}

void selectRows(QTableWidget *rows, const QList<int> &chosen)
{
    rows->clearSelection();
    for (int row : chosen)
        rows->selectionModel()->select(rows->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// The pakfile (lump 40) of a saved map, file name -> bytes, as python's
// zipfile reads it after checking every CRC.
QMap<QString, QByteArray> savedPakfile(const QString &mapPath, const QString &folder)
{
    QFile map(mapPath);
    map.open(QIODevice::ReadOnly);
    const QByteArray bytes = map.readAll();
    const char *record = bytes.constData() + 8 + 40 * 16;
    const QByteArray lump =
        bytes.mid(qFromLittleEndian<qint32>(record), qFromLittleEndian<qint32>(record + 4));
    const QString zip = folder + "/pakfile.zip";
    QFile out(zip);
    out.open(QIODevice::WriteOnly);
    out.write(lump);
    out.close();
    QProcess python;
    python.start("python3", {"-c",
                             "import sys, zipfile\n"
                             "z = zipfile.ZipFile(sys.argv[1])\n"
                             "assert z.testzip() is None\n"
                             "for n in z.namelist(): print(n + '=' + z.read(n).hex())\n",
                             zip});
    python.waitForFinished(30000);
    QMap<QString, QByteArray> files;
    for (const QByteArray &line : python.readAllStandardOutput().split('\n')) {
        const int at = line.indexOf('=');
        if (at > 0)
            files.insert(QString::fromLatin1(line.left(at)), QByteArray::fromHex(line.mid(at + 1)));
    }
    return files;
}

} // namespace

class TestPakfileScan : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        useConfiguration(Configuration);
        m_game.reset(new GameFolder);
        m_game->write("materials/a.vmt", "\"$basetexture\" \"sub/b\"\n");
        m_game->write("sound/Ambient/Wind.wav", "RIFF-wind");
        m_game->write("sound/new.wav", "RIFF-new");
        m_map.reset(new MapFile(scanMap()));
        m_editor.reset(new VPakfile);
        QVERIFY(m_editor->open(m_map->path()));
        m_editor->delegate()->addFile(QFile::encodeName(m_game->base() + "sound/new.wav"), true,
                                      "sound/new.wav");
        m_scan = table(*m_editor, "scanTable");
        click(*m_editor, "pakScan");
        m_editor->findChild<QLineEdit *>("scanDirectory")->setText(m_game->dir.path());
        click(*m_editor, "scanScan");
    }

    void scanFillsTheTable()
    {
        QCOMPARE(column(m_scan, 0),
                 (QStringList{"a.vmt", "b.vtf", "Wind.wav", "missing.wav", "new.wav"}));
        QCOMPARE(column(m_scan, 1), (QStringList{"/materials", "/materials/sub", "/sound/Ambient",
                                                 "/sound", "/sound"}));
        QCOMPARE(column(m_scan, 2), (QStringList{"23", "N/A", "9", "N/A", "8"}));
        QCOMPARE(colours(m_scan), QStringLiteral("CBORC"));
        QVERIFY(!m_editor->findChild<QLineEdit *>("scanDirectory")->isEnabled());
        QVERIFY(m_editor->findChild<QPushButton *>("scanApply")->isEnabled());
    }

    // Auto skips what the map stores and what is missing; Add and Remove act
    // on the selected rows whose files exist.
    void marksRows()
    {
        click(*m_editor, "scanAuto");
        QCOMPARE(colours(m_scan), QStringLiteral("CBGRY"));
        selectRows(m_scan, {0, 3});
        click(*m_editor, "scanAdd");
        QCOMPARE(colours(m_scan), QStringLiteral("YBGRY"));
        selectRows(m_scan, {2, 3});
        click(*m_editor, "scanRemove");
        QCOMPARE(colours(m_scan), QStringLiteral("YBORY"));
    }

    // As a user would: scan, Auto, Add the stored file, Apply, Save; the
    // saved map's pakfile holds the files' bytes.
    void appliesAndSaves()
    {
        click(*m_editor, "scanAuto");
        selectRows(m_scan, {0});
        click(*m_editor, "scanAdd");
        click(*m_editor, "scanApply");
        QTableWidget *pakfile = table(*m_editor, "pakfileTable");
        QCOMPARE(m_editor->currentIndex(), 0);
        QCOMPARE(m_scan->rowCount(), 0);
        QVERIFY(m_editor->findChild<QLineEdit *>("scanDirectory")->isEnabled());
        QCOMPARE(column(pakfile, 0), (QStringList{"a.vmt", "b.vtf", "readme.txt", "m.dx90.vtx",
                                                  "Wind.wav", "new.wav"}));
        QCOMPARE(column(pakfile, 2), (QStringList{"23", "100", "1", "3", "9", "8"}));
        QCOMPARE(colours(pakfile), QStringLiteral("CGGGYY"));

        click(*m_editor, "bspSave");
        if (QStandardPaths::findExecutable("python3").isEmpty())
            QSKIP("python3 is not installed");
        const QMap<QString, QByteArray> saved = savedPakfile(m_map->path(), m_game->dir.path());
        QCOMPARE(saved.keys(),
                 (QStringList{"materials/a.vmt", "materials/sub/b.vtf", "models/m.dx90.vtx",
                              "readme.txt", "sound/Ambient/Wind.wav", "sound/new.wav"}));
        QCOMPARE(saved.value("materials/a.vmt"), QByteArray("\"$basetexture\" \"sub/b\"\n"));
        QCOMPARE(saved.value("sound/Ambient/Wind.wav"), QByteArray("RIFF-wind"));
    }

    // Rows that cannot be staged are logged; the rest are staged, and no path
    // outside the archive's folders reaches the pakfile.
    void applyLogsFailuresAndGoesOn()
    {
        const auto addRow = [this](const QString &name, const QString &folder) {
            const int row = m_scan->rowCount();
            m_scan->setRowCount(row + 1);
            auto *item = new VScanTableWidgetItem(name, nullptr, nullptr);
            item->marked = true;
            m_scan->setItem(row, 0, item);
            m_scan->setItem(row, 1, new QTableWidgetItem(folder));
        };
        addRow("evil.txt", "/..");
        addRow("materials", "/");
        selectRows(m_scan, {2});
        click(*m_editor, "scanAdd");
        Script script;
        click(*m_editor, "scanApply");
        QCOMPARE(script.said.value(0).split('\n'),
                 (QStringList{"Read Error: Refusing unsafe path \"/../evil.txt\"",
                              "Delegate Error: Unable to create leaf at \"materials\""}));
        CPackageHierarchyNode *root = m_editor->delegate()->root();
        QVERIFY(!root->findNode({"evil.txt"}));
        QVERIFY(root->findNode({"sound", "Ambient", "Wind.wav"}));
        QCOMPARE(m_scan->rowCount(), 0);
    }

    void optionsDialogKeepsTheMask()
    {
        QList<bool> shown;
        const auto record = [&shown](QDialog *d) {
            for (int bit = 0; bit < 13; ++bit)
                shown << d->findChild<QCheckBox *>(QString("scanOption%1").arg(bit))->isChecked();
        };
        const auto tick = [](bool all) {
            return [all](QDialog *d) {
                for (QCheckBox *box : d->findChildren<QCheckBox *>())
                    box->setChecked(all || box->objectName() == "scanOption12");
            };
        };
        Script script;
        script.answer(QDialog::Accepted, {}, [&](QDialog *d) {
            record(d);
            tick(false)(d);
        });
        script.answer(QDialog::Rejected, {}, [&](QDialog *d) {
            record(d);
            tick(true)(d);
        });
        script.answer(QDialog::Rejected, {}, record);
        for (int i = 0; i < 3; ++i)
            click(*m_editor, "scanOptions");
        QList<bool> expected;
        for (int bit = 0; bit < 13; ++bit)
            expected << ((0x1FF9 >> bit) & 1);
        for (int i = 0; i < 2; ++i) {
            for (int bit = 0; bit < 13; ++bit)
                expected << (bit == 12);
        }
        QCOMPARE(shown, expected);
        // Only the map-specific phase runs: this map's configuration names
        // no map files.
        click(*m_editor, "scanScan");
        QCOMPARE(m_scan->rowCount(), 0);
    }

    void projectFolderDefault_data()
    {
        QTest::addColumn<QByteArray>("vproject");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("windows") << QByteArray("e:\\Steam\\HL2\\") << ""
                                 << "E:/Steam/HL2";
        QTest::newRow("posix") << QByteArray("/home/u/game/") << ""
                               << "/home/u/game";
        QTest::newRow("unset") << QByteArray() << ""
                               << "";
        QTest::newRow("typed") << QByteArray("/home/u/game") << "/x"
                               << "/x";
    }
    void projectFolderDefault()
    {
        QFETCH(QByteArray, vproject);
        QFETCH(QString, field);
        click(*m_editor, "scanCancel");
        vproject.isNull() ? qunsetenv("VPROJECT") : qputenv("VPROJECT", vproject);
        auto *directory = m_editor->findChild<QLineEdit *>("scanDirectory");
        directory->setText(field);
        click(*m_editor, "pakScan");
        QTEST(directory->text(), "expected");
        QVERIFY(!m_editor->findChild<QPushButton *>("scanAdd")->isEnabled());
    }

private:
    QScopedPointer<GameFolder> m_game;
    QScopedPointer<MapFile> m_map;
    QScopedPointer<VPakfile> m_editor;
    QTableWidget *m_scan = nullptr;
};

QTEST_MAIN(TestPakfileScan)
#include "tst_pakfilescan.moc"
