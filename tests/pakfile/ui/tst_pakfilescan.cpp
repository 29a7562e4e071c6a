#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "EditorTesting.h"
#include "GameFolder.h"
#include "PakfileFixture.h"
#include "VPakfile.h"
#include "VScanTableWidgetItem.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using namespace MapFixtures;

namespace {

// Texture "a" is packed and on disk and names a texture that is packed only;
// the sounds are on disk only, missing, and staged but not saved.
QByteArray scanMap()
{
    MapFixture m = pakfileMap();
    m.lumps[0] = "{\n\"message\" \"ambient/wind.wav\"\n}\n{\n\"message\" \"missing.wav\"\n}\n"
                 "{\n\"message\" \"new.wav\"\n}\n";
    m.lumps[43] = QByteArray("a\0", 2);
    return m.build();
}

// "name=hex" per file of the map's lump 40, as python's zipfile reads it
// after checking every CRC.
QString savedPakfile(const QString &mapPath)
{
    QProcess python;
    python.start("python3", {"-c",
                             "import io, struct, sys, zipfile\n"
                             "d = open(sys.argv[1], 'rb').read()\n"
                             "o, n = struct.unpack_from('<ii', d, 8 + 40 * 16)\n"
                             "z = zipfile.ZipFile(io.BytesIO(d[o:o + n]))\n"
                             "assert z.testzip() is None\n"
                             "print(' '.join(f + '=' + z.read(f).hex() for f in z.namelist()))\n",
                             mapPath});
    python.waitForFinished(30000);
    return QString::fromLatin1(python.readAllStandardOutput()).trimmed();
}

} // namespace

class TestPakfileScan : public QObject
{
    Q_OBJECT

    void click(const char *button)
    {
        m_editor->findChild<QPushButton *>(QString::fromLatin1(button))->click();
    }
    QLineEdit *directory() { return m_editor->findChild<QLineEdit *>("scanDirectory"); }

private slots:
    void init()
    {
        useConfiguration("[vpakfile]\n[vmttexturekeys]\n$basetexture\n[/vmttexturekeys]\n"
                         "[soundkeys]\nmessage\n[/soundkeys]\n[/vpakfile]\n");
        m_game.reset(new GameFolder);
        m_game->write("materials/a.vmt", "\"$basetexture\" \"sub/b\"\n");
        m_game->write("sound/Ambient/Wind.wav", "RIFF-wind");
        m_game->write("sound/new.wav", "RIFF-new");
        m_map.reset(new MapFile(scanMap()));
        m_editor.reset(new VPakfile);
        QVERIFY(m_editor->open(m_map->path()));
        m_editor->delegate()->addFile(QFile::encodeName(m_game->base() + "sound/new.wav"), true,
                                      "sound/new.wav");
        m_scan = m_editor->findChild<QTableWidget *>("scanTable");
        click("pakScan");
        directory()->setText(m_game->dir.path());
        click("scanScan");
    }

    // Auto skips what the map stores and what is missing; Add and Remove act
    // on the selected rows whose files exist.
    void scansAndMarksRows()
    {
        QCOMPARE(column(m_scan, 0),
                 (QStringList{"a.vmt", "b.vtf", "Wind.wav", "missing.wav", "new.wav"}));
        QCOMPARE(column(m_scan, 1), (QStringList{"/materials", "/materials/sub", "/sound/Ambient",
                                                 "/sound", "/sound"}));
        QCOMPARE(column(m_scan, 2), (QStringList{"23", "N/A", "9", "N/A", "8"}));
        QCOMPARE(colours(m_scan), QStringLiteral("CBORC"));
        QVERIFY(!directory()->isEnabled());
        click("scanAuto");
        QCOMPARE(colours(m_scan), QStringLiteral("CBGRY"));
        select(m_scan, {"a.vmt", "missing.wav"});
        click("scanAdd");
        QCOMPARE(colours(m_scan), QStringLiteral("YBGRY"));
        select(m_scan, {"Wind.wav", "missing.wav"});
        click("scanRemove");
        QCOMPARE(colours(m_scan), QStringLiteral("YBORY"));
    }

    // As a user would: scan, Auto, Add the stored file, Apply, Save.
    void appliesAndSaves()
    {
        click("scanAuto");
        select(m_scan, {"a.vmt"});
        click("scanAdd");
        click("scanApply");
        QTableWidget *pakfile = m_editor->findChild<QTableWidget *>("pakfileTable");
        QCOMPARE(m_editor->currentIndex(), 0);
        QCOMPARE(m_scan->rowCount(), 0);
        QVERIFY(directory()->isEnabled());
        QCOMPARE(column(pakfile, 0), (QStringList{"a.vmt", "b.vtf", "readme.txt", "m.dx90.vtx",
                                                  "Wind.wav", "new.wav"}));
        QCOMPARE(column(pakfile, 2), (QStringList{"23", "100", "1", "3", "9", "8"}));
        QCOMPARE(colours(pakfile), QStringLiteral("CGGGYY"));

        click("bspSave");
        if (QStandardPaths::findExecutable("python3").isEmpty())
            QSKIP("python3 is not installed");
        QCOMPARE(savedPakfile(m_map->path()).split(' '),
                 (QStringList{
                     "materials/a.vmt=" + QByteArray("\"$basetexture\" \"sub/b\"\n").toHex(),
                     "materials/sub/b.vtf=" + QByteArray(100, 'b').toHex(), "readme.txt=72",
                     "models/m.dx90.vtx=78797a", "sound/new.wav=" + QByteArray("RIFF-new").toHex(),
                     "sound/Ambient/Wind.wav=" + QByteArray("RIFF-wind").toHex()}));
    }

    // Rows that cannot be staged are logged and skipped; nothing outside the
    // archive's folders reaches the pakfile.
    void applyLogsFailuresAndGoesOn()
    {
        for (const QString path : {"/../evil.txt", "//materials"}) {
            const int row = m_scan->rowCount();
            const int slash = path.lastIndexOf('/');
            m_scan->setRowCount(row + 1);
            auto *item = new VScanTableWidgetItem(path.mid(slash + 1), nullptr, nullptr);
            item->marked = true;
            m_scan->setItem(row, 0, item);
            m_scan->setItem(row, 1, new QTableWidgetItem(path.left(slash)));
        }
        select(m_scan, {"Wind.wav"});
        click("scanAdd");
        Script script;
        click("scanApply");
        QCOMPARE(script.said.value(0).split('\n'),
                 (QStringList{"Read Error: Refusing unsafe path \"/../evil.txt\"",
                              "Delegate Error: Unable to create leaf at \"materials\""}));
        CPackageHierarchyNode *root = m_editor->delegate()->root();
        QVERIFY(!root->findNode({"evil.txt"}));
        QVERIFY(root->findNode({"sound", "Ambient", "Wind.wav"}));
    }

    // Accepted, the ticked boxes make the mask; cancelled, it stays.
    void optionsDialogKeepsTheMask()
    {
        QString shown;
        const auto fill = [&shown](bool tickAll) {
            return [&shown, tickAll](QDialog *d) {
                for (QCheckBox *box : d->findChildren<QCheckBox *>()) {
                    shown += box->isChecked() ? '1' : '0';
                    box->setChecked(tickAll || box->objectName() == "scanOption12");
                }
            };
        };
        Script script;
        script.answer(QDialog::Accepted, {}, fill(false)).answer(QDialog::Rejected, {}, fill(true));
        script.answer(QDialog::Rejected, {}, fill(false));
        for (int i = 0; i < 3; ++i)
            click("scanOptions");
        QCOMPARE(shown, QStringLiteral("1001111111111"
                                       "0000000000001"
                                       "0000000000001"));
        // Only the map-specific phase runs, and no map files are configured.
        click("scanScan");
        QCOMPARE(m_scan->rowCount(), 0);
    }

    void projectFolderFillsOnlyAnEmptyField()
    {
        click("scanCancel");
        qputenv("VPROJECT", "c:\\Steam\\HL2\\");
        click("pakScan");
        QCOMPARE(directory()->text(), m_game->dir.path());
        directory()->clear();
        click("pakScan");
        QCOMPARE(directory()->text(), QStringLiteral("C:/Steam/HL2"));
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
