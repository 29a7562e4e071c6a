#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "CPrompt.h"
#include "EditorTesting.h"
#include "PakfileFixture.h"
#include "QListDialog.h"
#include "QProgressDialogger.h"
#include "VPakfile.h"

#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTableWidget>
#include <QTextEdit>
#include <QtTest>

#include <functional>

using namespace MapFixtures;

namespace {

// An editor whose maps fail to save at one step of the flush.
struct FaultyMap : CDelegateBSP
{
    FlushStep step;
    bool flushFault(FlushStep at, int) const override { return at == step; }
};
struct FaultyEditor : VPakfile
{
    CDelegateBSP::FlushStep step;
    CDelegateBSP *createDelegate() override
    {
        auto *map = new FaultyMap;
        map->step = step;
        return map;
    }
};

QTableWidget *table(VPakfile &editor)
{
    return editor.findChild<QTableWidget *>(QStringLiteral("pakfileTable"));
}

QStringList column(VPakfile &editor, int c)
{
    return ::column(table(editor), c);
}

QString colours(VPakfile &editor)
{
    return ::colours(table(editor));
}

void select(VPakfile &editor, const QStringList &names)
{
    ::select(table(editor), names);
}

// Puts a node the delegate holds into a new last row.
void showRow(VPakfile &editor, CPackageHierarchyNode *node)
{
    table(editor)->setRowCount(table(editor)->rowCount() + 1);
    editor.updatePakfileRow(node, table(editor)->rowCount() - 1);
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? path : QString();
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

private slots:
    void init()
    {
        m_map.reset(new MapFile(pakfileMap().build()));
        m_editor.reset(new VPakfile);
        QVERIFY(m_editor->open(m_map->path()));
    }

    void opensTheMapsPakfile()
    {
        VPakfile &editor = *m_editor;
        QCOMPARE(editor.windowTitle(), QStringLiteral("map"));
        QCOMPARE(column(editor, 0), (QStringList{"a.vmt", "b.vtf", "readme.txt", "m.dx90.vtx"}));
        QCOMPARE(column(editor, 1), (QStringList{"/materials", "/materials/sub", "/", "/models"}));
        QCOMPARE(column(editor, 3), (QStringList{"Material", "Texture", "Text", "Mesh (DX9)"}));
        QCOMPARE(colours(editor), QStringLiteral("GGGG"));
        // Sizes sort as numbers; a second click on a column turns the order.
        editor.pakfileTableHeaderClicked(2);
        QCOMPARE(column(editor, 2), (QStringList{"1", "3", "5", "100"}));
        editor.pakfileTableHeaderClicked(2);
        QCOMPARE(column(editor, 2), (QStringList{"100", "5", "3", "1"}));
    }

    void failedOpenLeavesTheEmptyState_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("warning");
        QTest::newRow("missing") << "no/such/map.bsp" << QByteArray()
                                 << "File Error: Unable to open";
        QTest::newRow("magic") << "bad.bsp" << QByteArray(2000, 'x')
                               << "File Error: Magic number mismatch";
    }
    void failedOpenLeavesTheEmptyState()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString path = QFileInfo(m_map->path()).path() + '/' + name;
        if (!bytes.isEmpty())
            QVERIFY(!writeFile(path, bytes).isEmpty());
        Script script;
        // An empty path is refused before the open map is touched.
        QVERIFY(!m_editor->open(QString()));
        QCOMPARE(m_editor->windowTitle(), QStringLiteral("map"));
        QVERIFY(!m_editor->open(path));
        QTEST(script.said.value(1), "warning");
        QCOMPARE(script.said.value(0), QStringLiteral("Request Error: NULL file name"));
        QCOMPARE(m_editor->windowTitle(), QStringLiteral("Pakfile Lump Editor"));
        QCOMPARE(table(*m_editor)->rowCount(), 0);
        QVERIFY(!m_editor->delegate());
    }

    void closingAsksAboutChanges()
    {
        QPointer<VPakfile> editor = m_editor.take();
        select(*editor, {"m.dx90.vtx"});
        editor->pakFileDeleteToggle();
        QCOMPARE(colours(*editor), QStringLiteral("GGGR"));

        Script script;
        script.button(QMessageBox::Cancel).button(QMessageBox::Cancel);
        QVERIFY(!editor->close());
        // Another map waits for the same answer; Cancel keeps this one.
        QVERIFY(!editor->open(m_map->path()));
        const QString question = "Changes have been made.\n\nDiscard changes?";
        QCOMPARE(script.said, (QStringList{question, question}));
        QCOMPARE(colours(*editor), QStringLiteral("GGGR"));
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

    void deleteAndRevertFollowTheEntries()
    {
        VPakfile &editor = *m_editor;
        CDelegateBSP *map = editor.delegate();
        // Rows are found by their entries, whatever the order.
        editor.pakfileTableHeaderClicked(2);
        editor.pakfileTableHeaderClicked(2);
        QCOMPARE(column(editor, 0), (QStringList{"b.vtf", "a.vmt", "m.dx90.vtx", "readme.txt"}));
        CPackageHierarchyNode *b = map->findFile("materials/sub/b.vtf");
        QVERIFY(map->setData("new bytes", false, b));
        editor.updatePakfileRow(b, 0);
        showRow(editor, map->addFile("x", false, "new.txt"));
        QCOMPARE(colours(editor), QStringLiteral("CGGGY"));

        select(editor, {"a.vmt"});
        editor.pakFileDeleteToggle();
        select(editor, {"a.vmt", "readme.txt", "b.vtf"});
        editor.pakFileDeleteToggle();
        QCOMPARE(colours(editor), QStringLiteral("RGGRY"));
        // Revert keeps deletion marks and leaves new and unchanged entries.
        select(editor, {"b.vtf", "a.vmt", "new.txt"});
        editor.pakFileRevert();
        QCOMPARE(colours(editor), QStringLiteral("RGGRY"));
        QCOMPARE(table(editor)->item(0, 2)->text(), QStringLiteral("100"));
        // An entry only in memory leaves at once.
        select(editor, {"b.vtf", "new.txt"});
        editor.pakFileDeleteToggle();
        QCOMPARE(colours(editor), QStringLiteral("GGGR"));
        QVERIFY(!map->findFile("new.txt"));
    }

    void addPlacesFilesAndAsks()
    {
        QTemporaryDir local;
        const QString a = writeFile(local.path() + "/game/materials/a.vmt", "local a");
        const QString fresh = writeFile(local.path() + "/game/materials/new.vmt", "newer");
        const QString folder = writeFile(local.path() + "/x/materials/sub", "s");
        VPakfile &editor = *m_editor;
        editor.pakfileTableHeaderClicked(2);

        Script script;
        script.paths({a, fresh}).pick(componentOf(a, "materials")).button(QMessageBox::NoToAll);
        editor.pakAdd();
        QVERIFY(script.said.contains("Data already exists at \"/materials/a.vmt\""));
        QCOMPARE(colours(editor), QStringLiteral("GGGGY"));
        QCOMPARE(table(editor)->item(4, 1)->text(), QStringLiteral("/materials"));
        QCOMPARE(table(editor)->item(4, 2)->text(), QStringLiteral("5"));

        script.paths({a}).pick(componentOf(a, "materials")).button(QMessageBox::Yes);
        editor.pakAdd();
        QCOMPARE(colours(editor), QStringLiteral("GGCGY"));
        QCOMPARE(table(editor)->item(2, 2)->text(), QStringLiteral("7"));

        script.paths({folder}).pick(componentOf(folder, "materials"));
        editor.pakAdd();
        QVERIFY(script.said.last().contains("Delegate Error: Target node is not leaf"));
        QVERIFY(editor.delegate()->findNode("materials/sub")->isFolder());
    }

    void saveWritesTheMap()
    {
        QTemporaryDir local;
        const QString added = writeFile(local.path() + "/new.txt", "fresh bytes");
        VPakfile &editor = *m_editor;
        select(editor, {"readme.txt"});
        editor.pakFileDeleteToggle();
        Script script;
        script.paths({added}).pick(componentOf(added, "new.txt")).comment("saved comment");
        editor.pakAdd();
        editor.pakInfo();
        QCOMPARE(colours(editor), QStringLiteral("GGRGY"));
        QVERIFY(editor.hasChanges());

        editor.fileSave();
        QCOMPARE(column(editor, 0), (QStringList{"a.vmt", "b.vtf", "m.dx90.vtx", "new.txt"}));
        QCOMPARE(colours(editor), QStringLiteral("GGGG"));
        QVERIFY(!editor.hasChanges());
        CDelegateBSP fresh;
        QVERIFY(fresh.open(m_map->path(), true));
        QCOMPARE(fresh.pakfileEntries().size(), 4);
        QCOMPARE(fresh.pakfileComment(), QByteArray("saved comment"));
        QScopedPointer<QByteArray> bytes(fresh.readCurrent(fresh.findFile("new.txt")));
        QCOMPARE(*bytes, QByteArray("fresh bytes"));
    }

    void failedSaveKeepsWhatItCan_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("kept");
        QTest::newRow("temporary file") << int(CDelegateBSP::FlushStep::TemporaryFile)
                                        << "File Error: Unable to open temporary file" << true;
        QTest::newRow("reopen") << int(CDelegateBSP::FlushStep::Reopen)
                                << "Delegate Error: Flush finished successfully" << false;
    }
    void failedSaveKeepsWhatItCan()
    {
        QFETCH(int, step);
        QFETCH(QString, message);
        const QByteArray before = bytesOf(m_map->path());
        FaultyEditor editor;
        editor.step = CDelegateBSP::FlushStep(step);
        QVERIFY(editor.open(m_map->path()));
        select(editor, {"readme.txt"});
        editor.pakFileDeleteToggle();
        Script script;
        editor.fileSave();
        QCOMPARE(script.said.size(), 1);
        QVERIFY2(script.said[0].contains(message), qPrintable(script.said[0]));
        QVERIFY(editor.isEnabled());
        QFETCH(bool, kept);
        if (kept) {
            QCOMPARE(colours(editor), QStringLiteral("GGRG"));
            QCOMPARE(bytesOf(m_map->path()), before);
        } else {
            QCOMPARE(editor.windowTitle(), QStringLiteral("Pakfile Lump Editor"));
            QCOMPARE(table(editor)->rowCount(), 0);
        }
    }

    void savedEntriesStayInTheChosenFolder()
    {
        MapFile file(pakfileMap(nullptr, {{"../evil.txt", "e"}}).build());
        QTemporaryDir out;
        const QString flat = out.path() + "/flat";
        const QString tree = out.path() + "/tree";
        QVERIFY(!writeFile(flat + "/readme.txt", "old").isEmpty());
        VPakfile &editor = *m_editor;
        QVERIFY(editor.open(file.path()));
        CDelegateBSP *map = editor.delegate();
        QVERIFY(map->setData("changed", false, map->findFile("materials/a.vmt")));

        Script script;
        select(editor, {"a.vmt", "readme.txt", "evil.txt", "b.vtf"});
        script.paths({flat}).button(QMessageBox::No);
        script.button(QMessageBox::No).button(QMessageBox::NoToAll);
        editor.pakFileSave();
        QCOMPARE(bytesOf(flat + "/a.vmt"), QByteArray("alpha"));
        QCOMPARE(bytesOf(flat + "/readme.txt"), QByteArray("old"));
        QCOMPARE(bytesOf(flat + "/evil.txt"), QByteArray("e"));
        QCOMPARE(bytesOf(flat + "/b.vtf"), QByteArray(100, 'b'));

        select(editor, {"a.vmt", "evil.txt", "readme.txt"});
        script.paths({tree}).button(QMessageBox::Yes).button(QMessageBox::YesToAll);
        editor.pakFileSave();
        QCOMPARE(bytesOf(tree + "/materials/a.vmt"), QByteArray("changed"));
        QCOMPARE(bytesOf(tree + "/readme.txt"), QByteArray("r"));
        QVERIFY(!QFileInfo::exists(out.path() + "/evil.txt"));
        QVERIFY(script.said.last().contains(
            "File System Error: Refusing unsafe entry path \"../evil.txt\""));
    }

    void statusCountsAndComment()
    {
        VPakfile &editor = *m_editor;
        showRow(editor, editor.delegate()->addFile("x", false, "x/new.vmt"));
        QStringList shown;
        Script script;
        script.answer(QDialog::Accepted, {}, [&](QDialog *d) {
            shown << d->findChildren<QLabel *>().first()->text()
                  << d->findChild<QPlainTextEdit *>()->toPlainText();
            for (QFormLayout *form : d->findChildren<QFormLayout *>()) {
                for (int row = 0; row < form->rowCount(); ++row) {
                    for (auto role : {QFormLayout::LabelRole, QFormLayout::FieldRole})
                        shown << static_cast<QLabel *>(form->itemAt(row, role)->widget())->text();
                }
            }
            d->findChild<QPlainTextEdit *>()->setPlainText("  line\n\n");
        });
        editor.pakInfo();
        // The new file is not in the pakfile yet.
        QCOMPARE(shown.join('|'),
                 QStringLiteral("Version: 0   Offset: 1,065   Length: %1|abc|Material:|1|"
                                "Texture:|1|Texture (HDR):|0|Model:|0|Animation:|0|Vertex:|0|"
                                "Collision:|0|Mesh:|0|Mesh (Software):|0|Mesh (DX8):|0|"
                                "Mesh (DX9):|1|Mesh (XBox):|0|Sound:|0|Prop Data:|0|"
                                "Particle Cache:|0|Dictionary:|0|Text:|1|Faceposer Scene:|0|"
                                "Other:|0|Total:|4")
                     .arg(pakfileMap().lumps[40].size()));
        QCOMPARE(editor.delegate()->pakfileComment(), QByteArray("line"));
        QVERIFY(editor.hasChanges());

        // Too long for the end record: refused, and the dialog comes back.
        script.comment(QString(0x10000, 'c'));
        editor.pakInfo();
        QVERIFY(script.said.contains("Request Error: Comment longer than 65535 bytes"));
        QCOMPARE(editor.delegate()->pakfileComment(), QByteArray("line"));

        // Accepted, but too long once the export names the map.
        QTemporaryDir out;
        script.comment(QString(65500, 'c')).paths({out.path() + "/out.zip"});
        editor.pakInfo();
        editor.pakExtract();
        QCOMPARE(script.said.last(),
                 QStringLiteral("Unable to write modified ZIP comment; old comment too long"));
        QCOMPARE(bytesOf(out.path() + "/out.zip"), pakfileMap().lumps[40]);
    }

private:
    QScopedPointer<MapFile> m_map;
    QScopedPointer<VPakfile> m_editor;
};

QTEST_MAIN(TestPakfileEditor)
#include "tst_pakfileeditor.moc"
