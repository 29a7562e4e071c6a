#include "CConfig.h"
#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "CPrompt.h"
#include "GameFolder.h"
#include "PackageErrors.h"
#include "PakfileFixture.h"
#include "PromptScript.h"
#include "QListDialog.h"
#include "QProgressDialogger.h"
#include "ScanConfiguration.h"
#include "VPakfile.h"
#include "VScanTableWidgetItem.h"

#include <QBuffer>
#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>
#include <QtTest>

#include <functional>

using namespace MapFixtures;

namespace {

// Answers the editor's questions in order and keeps each one's text (for a
// box run through exec its text, for a progress dialog its log).
struct Script : PromptQueue<Script>
{
    QStringList said;

    CPrompt::Answer answerRequest(const CPrompt::Request &r)
    {
        auto *box = qobject_cast<QMessageBox *>(r.dialog);
        auto *progress = qobject_cast<QProgressDialogger *>(r.dialog);
        said << (box ? box->text() : progress ? progress->logEdit->toPlainText() : r.text);
        return PromptQueue::answerRequest(r);
    }
    Script &comment(const QString &text)
    {
        return accept([text](QDialog *d) { d->findChild<QPlainTextEdit *>()->setPlainText(text); });
    }
};

QStringList column(QTableWidget *rows, int c)
{
    QStringList texts;
    for (int row = 0; row < rows->rowCount(); ++row)
        texts << rows->item(row, c)->text();
    return texts;
}

// One letter per row for its colour: Yellow, Green, Cyan, Orange, Blue, Red,
// or "?".
QString colours(QTableWidget *rows)
{
    const QHash<QRgb, QChar> known{{qRgb(255, 255, 192), 'Y'}, {qRgb(192, 255, 192), 'G'},
                                   {qRgb(192, 255, 255), 'C'}, {qRgb(255, 224, 192), 'O'},
                                   {qRgb(192, 192, 255), 'B'}, {qRgb(255, 192, 192), 'R'}};
    QString letters;
    for (int row = 0; row < rows->rowCount(); ++row)
        letters += known.value(rows->item(row, 0)->background().color().rgb(), '?');
    return letters;
}

// Selects the whole rows whose names are given.
void select(QTableWidget *rows, const QStringList &names)
{
    rows->clearSelection();
    for (int row = 0; row < rows->rowCount(); ++row) {
        if (names.contains(rows->item(row, 0)->text()))
            rows->selectionModel()->select(rows->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

// The editor's maps fail to save at this step of the flush (-1: none).
int faultAt = -1;
struct FaultyMap : CDelegateBSP
{
    bool flushFault(FlushStep at, int) const override { return int(at) == faultAt; }
};
struct FaultyEditor : VPakfile
{
    CDelegateBSP *createDelegate() override { return new FaultyMap; }
};

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The row of the list "Add" offers that names this folder of the path.
int componentOf(const QString &path, const QString &folder)
{
    return path.split('/', Qt::SkipEmptyParts).lastIndexOf(folder);
}

} // namespace

class TestPakfileEditor : public QObject
{
    Q_OBJECT

    void click(const char *button)
    {
        m_editor->findChild<QPushButton *>(QString::fromLatin1(button))->click();
    }
    QLineEdit *directory() { return m_editor->findChild<QLineEdit *>("scanDirectory"); }

    // Puts a node the delegate holds into a new last row.
    void showRow(CPackageHierarchyNode *node)
    {
        m_rows->setRowCount(m_rows->rowCount() + 1);
        m_editor->updatePakfileRow(node, m_rows->rowCount() - 1);
    }

    // Scans against a game folder in which texture "a" is packed and on disk
    // and names a texture that is packed only; of the sounds one is on disk
    // only, one missing, one staged but not saved.
    void scan()
    {
        m_game.reset(new GameFolder);
        m_game->write("materials/a.vmt", "\"$basetexture\" \"sub/b\"\n");
        m_game->write("sound/Ambient/Wind.wav", "RIFF-wind");
        m_game->write("sound/new.wav", "RIFF-new");
        m_editor->delegate()->addFile(QFile::encodeName(m_game->base() + "sound/new.wav"), true,
                                      "sound/new.wav");
        m_scan = m_editor->findChild<QTableWidget *>("scanTable");
        click("pakScan");
        directory()->setText(m_game->dir.path());
        click("scanScan");
    }

private slots:
    // The window reads the process-wide configuration.
    void initTestCase()
    {
        QBuffer buffer;
        buffer.setData("[vpakfile]\n[vmttexturekeys]\n$basetexture\n[/vmttexturekeys]\n"
                       "[soundkeys]\nmessage\n[/soundkeys]\n[/vpakfile]\n");
        CConfig::instance()->load(&buffer);
    }

    // The window hands the core copies of the configuration's lists: one left
    // out, or an exclusion list shifted against its key, would change what a
    // scan finds without a message.
    void everyListReachesTheScan()
    {
        QBuffer file;
        file.setData("[soundchars]\n*:Streamed\n#:Direct\n[/soundchars]\n[vpakfile]\n"
                     "[vmtmaterialkeys]\n$bottommaterial\n[/vmtmaterialkeys]\n[vmttexturekeys]\n"
                     "$basetexture\n$envmap:env_cubemap:_rt_a\n$bumpmap:\n[/vmttexturekeys]\n"
                     "[studiokeys]\nmodel\n[/studiokeys]\n[spritekeys]\nsprite\n[/spritekeys]\n"
                     "[soundkeys]\nmessage\n[/soundkeys]\n[scenekeys]\nscenefile\n[/scenekeys]\n"
                     "[particlekeys]\neffect_name\n[/particlekeys]\n[specialkeys]\n"
                     "vscripts:scripts/vscripts/*\nbare\n[/specialkeys]\n[mapfiles]\n"
                     "maps/*_particles.txt:Particle Manifest\n[/mapfiles]\n[/vpakfile]\n");
        CConfig config;
        QVERIFY(config.load(&file));

        const ContentScan::Configuration c = scanConfiguration(config);
        QCOMPARE(c.studioKeys + c.spriteKeys + c.soundKeys + c.sceneKeys + c.particleKeys,
                 (QStringList{"model", "sprite", "message", "scenefile", "effect_name"}));
        QCOMPARE(c.specialKeys + c.specialTemplates,
                 (QStringList{"vscripts", "bare", "scripts/vscripts/*", "/*"}));
        QCOMPARE(c.mapFiles + c.mapFileKinds,
                 (QStringList{"maps/*_particles.txt", "Particle Manifest"}));
        QCOMPARE(c.soundCharacters, (QStringList{"*", "#"}));
        QCOMPARE(c.materialKeys.materialKeys + c.materialKeys.textureKeys,
                 (QStringList{"$bottommaterial", "$basetexture", "$envmap", "$bumpmap"}));
        // One exclusion list per key, in step: none for a key without ":".
        QCOMPARE(c.materialKeys.textureExceptions,
                 (QList<QStringList>{{}, {"env_cubemap", "_rt_a"}, {}}));
    }

    // The pakfile map, whose entities name three sounds and whose one texture
    // is "a", for the scan.
    void init()
    {
        MapFixture m = pakfileMap();
        m.lumps[0] = "{\n\"message\" \"ambient/wind.wav\"\n}\n{\n\"message\" \"missing.wav\"\n}\n"
                     "{\n\"message\" \"new.wav\"\n}\n";
        m.lumps[43] = QByteArray("a\0", 2);
        m_map.reset(new MapFile(m.build()));
        faultAt = -1;
        m_editor.reset(new FaultyEditor);
        QVERIFY(m_editor->open(m_map->path()));
        m_rows = m_editor->findChild<QTableWidget *>("pakfileTable");
    }

    void listsDeletesAndReverts()
    {
        QCOMPARE(m_editor->windowTitle(), QStringLiteral("map"));
        QCOMPARE(column(m_rows, 0), (QStringList{"a.vmt", "b.vtf", "readme.txt", "m.dx90.vtx"}));
        QCOMPARE(column(m_rows, 1), (QStringList{"/materials", "/materials/sub", "/", "/models"}));
        QCOMPARE(column(m_rows, 3), (QStringList{"Material", "Texture", "Text", "Mesh (DX9)"}));
        QCOMPARE(colours(m_rows), QStringLiteral("GGGG"));
        // Sizes sort as numbers; a second click on a column turns the order.
        m_editor->pakfileTableHeaderClicked(2);
        QCOMPARE(column(m_rows, 2), (QStringList{"1", "3", "5", "100"}));
        m_editor->pakfileTableHeaderClicked(2);
        QCOMPARE(column(m_rows, 2), (QStringList{"100", "5", "3", "1"}));

        // Rows are found by their entries, whatever the order.
        CDelegateBSP *map = m_editor->delegate();
        CPackageHierarchyNode *b = map->findFile("materials/sub/b.vtf");
        QVERIFY(map->setData("new bytes", false, b));
        m_editor->updatePakfileRow(b, 0);
        showRow(map->addFile("x", false, "new.txt"));
        QCOMPARE(colours(m_rows), QStringLiteral("CGGGY"));
        select(m_rows, {"a.vmt"});
        m_editor->pakFileDeleteToggle();
        select(m_rows, {"a.vmt", "readme.txt", "b.vtf"});
        m_editor->pakFileDeleteToggle();
        QCOMPARE(colours(m_rows), QStringLiteral("RGGRY"));
        // Revert keeps deletion marks and leaves new and unchanged entries.
        select(m_rows, {"b.vtf", "a.vmt", "new.txt"});
        m_editor->pakFileRevert();
        QCOMPARE(colours(m_rows), QStringLiteral("RGGRY"));
        QCOMPARE(m_rows->item(0, 2)->text(), QStringLiteral("100"));
        // An entry only in memory leaves at once.
        select(m_rows, {"b.vtf", "new.txt"});
        m_editor->pakFileDeleteToggle();
        QCOMPARE(colours(m_rows), QStringLiteral("GGGR"));
        QVERIFY(!map->findFile("new.txt"));
    }

    // An empty path is refused before the open map is touched; a map that
    // does not open leaves the empty state with the delegate's text.
    void failedOpenLeavesTheEmptyState()
    {
        GameFolder local;
        const QString bad = local.write("bad.bsp", QByteArray(2000, 'x'));
        Script script;
        QVERIFY(!m_editor->open(QString()));
        QCOMPARE(m_editor->windowTitle(), QStringLiteral("map"));
        QVERIFY(!m_editor->open(bad));
        QCOMPARE(script.said, (QStringList{"Request Error: NULL file name",
                                           "File Error: Magic number mismatch"}));
        QCOMPARE(m_editor->windowTitle(), QStringLiteral("Pakfile Lump Editor"));
        QCOMPARE(m_rows->rowCount(), 0);
        QVERIFY(!m_editor->delegate());
    }

    void closingAsksAboutChanges()
    {
        QPointer<VPakfile> editor = m_editor.take();
        select(m_rows, {"m.dx90.vtx"});
        editor->pakFileDeleteToggle();
        QCOMPARE(colours(m_rows), QStringLiteral("GGGR"));

        Script script;
        script.button(QMessageBox::Cancel).button(QMessageBox::Cancel);
        QVERIFY(!editor->close());
        // Another map waits for the same answer; Cancel keeps this one.
        QVERIFY(!editor->open(m_map->path()));
        const QString question = "Changes have been made.\n\nDiscard changes?";
        QCOMPARE(script.said, (QStringList{question, question}));
        QCOMPARE(colours(m_rows), QStringLiteral("GGGR"));
        script.button(QMessageBox::Discard);
        QVERIFY(editor->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(editor.isNull());

        // No rows, no question.
        MapFile empty(MapFixture().build());
        VPakfile bare;
        QVERIFY(bare.open(empty.path()));
        QVERIFY(bare.close());
        QCOMPARE(script.said.size(), 3);
    }

    // "No to All" skips the other existing entries unasked, a dismissed
    // question counts as No, "Yes" replaces the entry in its row.
    void addPlacesFilesAndAsks()
    {
        GameFolder local;
        const QString b = local.write("game/materials/sub/b.vtf", "local b");
        const QString a = local.write("game/materials/a.vmt", "local a");
        const QString fresh = local.write("game/materials/new.vmt", "newer");
        const QString folder = local.write("x/materials/sub", "s");
        const int materials = componentOf(a, "materials");
        m_editor->pakfileTableHeaderClicked(2);

        Script script;
        script.files({b, a, fresh}).pick(materials).button(QMessageBox::NoToAll);
        m_editor->pakAdd();
        QCOMPARE(script.said.last(),
                 QStringLiteral("Data already exists at \"/materials/sub/b.vtf\""));
        QCOMPARE(colours(m_rows), QStringLiteral("GGGGY"));
        QCOMPARE(m_rows->item(4, 1)->text(), QStringLiteral("/materials"));

        script.files({a}).pick(materials);
        m_editor->pakAdd();
        QCOMPARE(colours(m_rows), QStringLiteral("GGGGY"));
        script.files({a}).pick(materials).button(QMessageBox::Yes);
        m_editor->pakAdd();
        QCOMPARE(colours(m_rows), QStringLiteral("GGCGY"));

        script.files({folder}).pick(componentOf(folder, "materials"));
        m_editor->pakAdd();
        QVERIFY(script.said.last().contains("Delegate Error: Target node is not leaf"));
        QVERIFY(m_editor->delegate()->findNode("materials/sub")->isFolder());
    }

    // A local file whose name would climb out of its folder or hold what a
    // pakfile name must not is refused by name, as is a typed folder with a
    // blank at its end; nothing is staged.
    void addRefusesUnsafeNames()
    {
        GameFolder local;
        const QString good = local.write("game/materials/my brick/wall 01.vmt", "good");
        const QStringList rowsBefore = column(m_rows, 0);
        Script script;
        for (const QString name : {"..\\..\\evil.cfg", " a.vmt", "a\\b.vmt", "c:d.vmt"}) {
            const QString file = local.write("game/materials/" + name, "bad");
            script.files({file}).pick(componentOf(file, "materials"));
            m_editor->pakAdd();
            QCOMPARE(script.said.last(), PackageErrors::invalidName("materials/" + name));
        }
        // The list cancelled, then a folder typed with a blank at its end.
        script.files({good}).cancel().text("materials/my brick ");
        m_editor->pakAdd();
        QCOMPARE(script.said.last(), PackageErrors::invalidName("materials/my brick /wall 01.vmt"));
        QCOMPARE(column(m_rows, 0), rowsBefore);
        QVERIFY(!m_editor->hasChanges());

        // Blanks inside names are ordinary.
        script.files({good}).pick(componentOf(good, "materials"));
        m_editor->pakAdd();
        QVERIFY(m_editor->delegate()->findFile("materials/my brick/wall 01.vmt"));
    }

    // After a delete, an add and a comment edit, the saved map reads back in a
    // fresh reader. A failed flush logs the step's text and keeps the rows and
    // the map; when only reopening the written map failed, the window empties.
    void saveWritesTheMap_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("message");
        QTest::newRow("saved") << -1 << QString();
        QTest::newRow("temporary file") << int(CDelegateBSP::FlushStep::TemporaryFile)
                                        << "File Error: Unable to open temporary file";
        QTest::newRow("reopen") << int(CDelegateBSP::FlushStep::Reopen)
                                << "Delegate Error: Flush finished successfully";
    }
    void saveWritesTheMap()
    {
        QFETCH(int, fault);
        QFETCH(QString, message);
        const QByteArray before = bytesOf(m_map->path());
        faultAt = fault;
        GameFolder local;
        const QString added = local.write("new.txt", "fresh bytes");
        select(m_rows, {"readme.txt"});
        m_editor->pakFileDeleteToggle();
        Script script;
        script.files({added}).pick(componentOf(added, "new.txt")).comment("saved comment");
        m_editor->pakAdd();
        m_editor->pakInfo();
        QCOMPARE(colours(m_rows), QStringLiteral("GGRGY"));

        Script saving;
        m_editor->fileSave();
        QCOMPARE(saving.said.size(), message.isEmpty() ? 0 : 1);
        QVERIFY2(saving.said.value(0).contains(message), qPrintable(saving.said.value(0)));
        QVERIFY(m_editor->isEnabled());
        if (fault == int(CDelegateBSP::FlushStep::Reopen)) {
            QCOMPARE(m_editor->windowTitle(), QStringLiteral("Pakfile Lump Editor"));
            QCOMPARE(m_rows->rowCount(), 0);
        } else if (fault >= 0) {
            QCOMPARE(colours(m_rows), QStringLiteral("GGRGY"));
            QCOMPARE(bytesOf(m_map->path()), before);
        } else {
            QCOMPARE(column(m_rows, 0), (QStringList{"a.vmt", "b.vtf", "m.dx90.vtx", "new.txt"}));
            QCOMPARE(colours(m_rows), QStringLiteral("GGGG"));
            QVERIFY(!m_editor->hasChanges());
            CDelegateBSP fresh;
            QVERIFY(fresh.open(m_map->path(), true));
            QCOMPARE(fresh.pakfileEntries().size(), 4);
            QCOMPARE(fresh.pakfileComment(), QByteArray("saved comment"));
            QScopedPointer<QByteArray> bytes(fresh.readCurrent(fresh.findFile("new.txt")));
            QCOMPARE(*bytes, QByteArray("fresh bytes"));
        }
    }

    // A dismissed overwrite question counts as No; with the structure kept, an
    // entry path that would leave the folder is refused and the rest saved.
    // Of two names that differ only in case, folders included, the row
    // (deleted here) shows the later's name and size. A long name and the
    // longest type show whole.
    void savedEntriesStayInTheChosenFolder()
    {
        const QString longName = "water_doublecross_0_-384_96_depth_48.vmt";
        MapFile file(pakfileMap(nullptr, {{"../evil.txt", "e"},
                                          {"Models/M.DX90.VTX", "upper"},
                                          {"materials/maps/" + longName.toLatin1(), "w"},
                                          {"materials/sky.hdr.vtf", "h"}})
                         .build());
        GameFolder out;
        out.write("flat/readme.txt", "old");
        for (const QSize size : {m_editor->minimumSize(), QSize(1280, 800)}) {
            m_editor->resize(size);
            m_editor->show();
            QVERIFY(m_editor->open(file.path()));
            QVERIFY(m_rows->columnWidth(0) >= m_rows->fontMetrics().horizontalAdvance(longName));
            const int margins =
                2 * (m_rows->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
            QVERIFY(m_rows->columnWidth(3) >=
                    m_rows->fontMetrics().horizontalAdvance("Texture (HDR)") + margins);
        }
        const int upper = column(m_rows, 0).indexOf("M.DX90.VTX");
        QCOMPARE(m_rows->item(upper, 1)->text() + '|' + m_rows->item(upper, 2)->text(),
                 QStringLiteral("/Models|5"));
        CDelegateBSP *map = m_editor->delegate();
        QVERIFY(map->setData("changed", false, map->findFile("materials/a.vmt")));

        Script script;
        select(m_rows, {"a.vmt", "readme.txt", "evil.txt", "b.vtf"});
        script.files({out.base() + "flat"}).button(QMessageBox::No).button(QMessageBox::No);
        m_editor->pakFileSave();
        QCOMPARE(bytesOf(out.base() + "flat/a.vmt"), QByteArray("alpha"));
        QCOMPARE(bytesOf(out.base() + "flat/readme.txt"), QByteArray("old"));
        QCOMPARE(bytesOf(out.base() + "flat/evil.txt"), QByteArray("e"));
        QCOMPARE(bytesOf(out.base() + "flat/b.vtf"), QByteArray(100, 'b'));

        select(m_rows, {"a.vmt", "evil.txt", "readme.txt"});
        script.files({out.base() + "tree"}).button(QMessageBox::Yes).button(QMessageBox::YesToAll);
        m_editor->pakFileSave();
        QCOMPARE(bytesOf(out.base() + "tree/materials/a.vmt"), QByteArray("changed"));
        QCOMPARE(bytesOf(out.base() + "tree/readme.txt"), QByteArray("r"));
        QVERIFY(!QFileInfo::exists(out.base() + "evil.txt"));
        QVERIFY(script.said.last().contains(
            "File System Error: Refusing unsafe entry path \"../evil.txt\""));

        select(m_rows, {"M.DX90.VTX"});
        m_editor->pakFileDeleteToggle();
        click("bspSave");
        if (!zipToolsPresent())
            QSKIP("python3 or unzip is not installed");
        QCOMPARE(pythonZip(file.path()).filter("models/", Qt::CaseInsensitive),
                 QStringList{"models/m.dx90.vtx=78797a"});
    }

    void statusCountsAndComment()
    {
        // An edited comment alone is a change.
        Script script;
        script.comment("  line\n\n");
        m_editor->pakInfo();
        QCOMPARE(m_editor->delegate()->pakfileComment(), QByteArray("line"));
        QVERIFY(m_editor->hasChanges());

        // A new file is not in the pakfile yet. A comment too long for the end
        // record is refused, and the dialog comes back.
        showRow(m_editor->delegate()->addFile("x", false, "x/new.vmt"));
        QStringList shown;
        script.accept([&](QDialog *d) {
            shown << d->findChildren<QLabel *>().first()->text()
                  << d->findChild<QPlainTextEdit *>()->toPlainText();
            // Each count as "label|count", the zero ones left out.
            for (QFormLayout *form : d->findChildren<QFormLayout *>()) {
                for (int row = 0; row < form->rowCount(); ++row) {
                    const auto text = [&](QFormLayout::ItemRole role) {
                        return static_cast<QLabel *>(form->itemAt(row, role)->widget())->text();
                    };
                    if (text(QFormLayout::FieldRole) != "0")
                        shown << text(QFormLayout::LabelRole) + '|' + text(QFormLayout::FieldRole);
                }
            }
            d->findChild<QPlainTextEdit *>()->setPlainText(QString(0x10000, 'c'));
        });
        m_editor->pakInfo();
        QCOMPARE(shown.join('|'),
                 QStringLiteral("Version: 0   Offset: 1,121   Length: %1|line|Material:|1|"
                                "Texture:|1|Mesh (DX9):|1|Text:|1|Total:|4")
                     .arg(pakfileMap().lumps[40].size()));
        QVERIFY(script.said.contains("Request Error: Comment longer than 65535 bytes"));
        QCOMPARE(m_editor->delegate()->pakfileComment(), QByteArray("line"));

        // Accepted, but too long once the export names the map.
        GameFolder out;
        script.comment(QString(65500, 'c')).files({out.base() + "out.zip"});
        m_editor->pakInfo();
        m_editor->pakExtract();
        QCOMPARE(script.said.last(),
                 QStringLiteral("Unable to write modified ZIP comment; old comment too long"));
        QCOMPARE(bytesOf(out.base() + "out.zip"), pakfileMap().lumps[40]);
    }

    // Auto skips what the map stores and what is missing; Add and Remove act
    // on the selected rows whose files exist. Apply stages the marked rows (a
    // pakfile row turns cyan in place, new rows are appended), logs those it
    // cannot stage and goes on, and returns to the pakfile; the next save puts
    // the files' bytes in the map, and nothing outside its folders.
    void scansMarksAndApplies()
    {
        scan();
        QCOMPARE(column(m_scan, 0),
                 (QStringList{"a.vmt", "b.vtf", "Wind.wav", "missing.wav", "new.wav"}));
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

        // Two marked rows that cannot be staged go first.
        for (const QString path : {"//materials", "/../evil.txt"}) {
            const int slash = path.lastIndexOf('/');
            auto *item = new VScanTableWidgetItem(path.mid(slash + 1), nullptr, nullptr);
            item->marked = true;
            m_scan->insertRow(0);
            m_scan->setItem(0, 0, item);
            m_scan->setItem(0, 1, new QTableWidgetItem(path.left(slash)));
        }
        Script script;
        click("scanApply");
        QCOMPARE(script.said.value(0).split('\n'),
                 (QStringList{"Read Error: Refusing unsafe path \"/../evil.txt\"",
                              "Delegate Error: Unable to create leaf at \"materials\""}));
        QCOMPARE(m_editor->currentIndex(), 0);
        QCOMPARE(m_scan->rowCount(), 0);
        QVERIFY(directory()->isEnabled());
        QCOMPARE(column(m_rows, 0),
                 (QStringList{"a.vmt", "b.vtf", "readme.txt", "m.dx90.vtx", "new.wav"}));
        QCOMPARE(colours(m_rows), QStringLiteral("CGGGY"));
        click("bspSave");
        if (!zipToolsPresent())
            QSKIP("python3 or unzip is not installed");
        QCOMPARE(
            pythonZip(m_map->path()),
            (QStringList{"materials/a.vmt=" + QByteArray("\"$basetexture\" \"sub/b\"\n").toHex(),
                         "materials/sub/b.vtf=" + QByteArray(100, 'b').toHex(), "readme.txt=72",
                         "models/m.dx90.vtx=78797a",
                         "sound/new.wav=" + QByteArray("RIFF-new").toHex(), "#616263"}));
    }

    // The columns fit the rows Apply adds as they fit a saved map's: a name
    // longer than every other is not cut.
    void applyFitsTheColumns()
    {
        m_editor->resize(1280, 800);
        m_editor->show();
        scan();
        const QString name = "a_sound_whose_name_outgrows_every_other_row.wav";
        m_game->write("sound/long/" + name, "RIFF-long");
        auto *item = new VScanTableWidgetItem(name, nullptr, nullptr);
        item->marked = true;
        m_scan->insertRow(0);
        m_scan->setItem(0, 0, item);
        m_scan->setItem(0, 1, new QTableWidgetItem("/sound/long"));
        click("scanApply");
        QCOMPARE(column(m_rows, 0).last(), name);
        const QAbstractItemView *view = m_rows;
        for (const int c : {0, 1, 3})
            QVERIFY2(m_rows->columnWidth(c) >= view->sizeHintForColumn(c),
                     qPrintable(QStringLiteral("column %1").arg(c)));
    }

    // Accepted, the ticked boxes of the options make the mask; cancelled, it
    // stays. The folder field takes "VPROJECT" only when it is empty.
    void scanOptionsAndFolder()
    {
        scan();
        QString shown;
        const auto tick = [&shown](bool all) {
            return [&shown, all](QDialog *d) {
                for (QCheckBox *box : d->findChildren<QCheckBox *>()) {
                    shown += box->isChecked() ? '1' : '0';
                    box->setChecked(all || box->objectName() == "scanOption12");
                }
            };
        };
        Script script;
        script.accept(tick(false)).then({}, tick(true));
        click("scanOptions");
        click("scanOptions");
        QCOMPARE(shown, QStringLiteral("1001111111111"
                                       "0000000000001"));
        // Only the map-specific phase runs, and no map files are configured.
        click("scanScan");
        QCOMPARE(m_scan->rowCount(), 0);

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
    QScopedPointer<MapFile> m_map;
    QScopedPointer<VPakfile> m_editor;
    QTableWidget *m_rows = nullptr;
    QScopedPointer<GameFolder> m_game;
    QTableWidget *m_scan = nullptr;
};

QTEST_MAIN(TestPakfileEditor)
#include "tst_pakfileeditor.moc"
