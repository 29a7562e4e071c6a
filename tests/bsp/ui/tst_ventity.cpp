#include "BspErrors.h"
#include "BspFixture.h"
#include "CConfig.h"
#include "PackageErrors.h"
#include "SaveLock.h"
#include "ScriptedPrompt.h"
#include "VENTITY.h"
#include "VEntityListWidgetItem.h"
#include "VMFReader.h"
#include "WarningLog.h"

#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace E = BspErrors;
using namespace LumpMaps;

namespace {

const QByteArray Lump = QByteArray("{\n\"classname\" \"worldspawn\"\n\"origin\" \"1 2 0 0\"\n}\n"
                                   "{\n\"classname\" \"light\"\n\"targetname\" \"lamp1\"\n"
                                   "\"origin\" \"6 8 0\"\n}\n"
                                   "{\n\"classname\" \"light_spot\"\n\"origin\" \"6  7 0\"\n"
                                   "\"OnUser1\" \"a,b,c,d,e\"\n\"OnUser1\" \"f,g,h,i,j\"\n}\n"
                                   "{\n\"classname\" \"info_target\"\n\"origin\" \"200 0 0\"\n"
                                   "\"target\" \"lightning\"\n\"empty\" \"\"\n}\n") +
                        '\0';
const QString AllLabels = QStringLiteral("worldspawn,light (lamp1),light_spot,info_target");

QString labels(const VENTITY &window, bool visibleOnly = false)
{
    QStringList list;
    for (int row = 0; row < window.entityList()->count(); ++row) {
        if (!visibleOnly || !window.entityList()->isRowHidden(row))
            list << window.entityList()->item(row)->text();
    }
    return list.join(QLatin1Char(','));
}

QString title(const VENTITY &window)
{
    return window.findChild<QGroupBox *>(QStringLiteral("filterBox"))->title();
}

// Stands in for the main window's slot that opens a further file.
class Owner : public QWidget
{
    Q_OBJECT

public slots:
    void showVEntity(const QString &path) { opened << path; }

public:
    QStringList opened;
};

} // namespace

class TestVEntity : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void savesIntoTheMap_data();
    void savesIntoTheMap();
    void lumpFiles();
    void mapSources();
    void filters_data();
    void filters();
    void edits();

private:
    QTemporaryDir m_dir;
    QString m_map;
};

void TestVEntity::init()
{
    MapFixture m = map(20);
    m.lumps[0] = Lump;
    m_map = m_dir.filePath(QStringLiteral("ctf_a.bsp"));
    QVERIFY(writeFile(m_map, m.build()));
}

void TestVEntity::savesIntoTheMap_data()
{
    QTest::addColumn<bool>("preserve"); // the answer to the size question
    QTest::addColumn<bool>("flushFails");

    QTest::newRow("shorter, padded") << true << false;
    QTest::newRow("shorter, not padded") << false << false;
    QTest::newRow("another save of the map runs") << false << true;
}

void TestVEntity::savesIntoTheMap()
{
    QFETCH(bool, preserve);
    QFETCH(bool, flushFails);

    ScriptedPrompt script;
    auto *window = new VENTITY(nullptr, m_map);

    // Importing appends; the second world is dropped.
    script.files = QStringList{m_map};
    window->importFromBSP();
    QCOMPARE(labels(*window), AllLabels + QStringLiteral(",light (lamp1),light_spot,info_target"));
    QVERIFY(window->isWindowModified());
    for (int row : {6, 5, 4, 3}) {
        window->entityList()->setCurrentRow(row);
        window->entityDelete();
    }

    const QByteArray before = readFile(m_map);
    // As another window or program would while it saves the map.
    std::unique_ptr<SaveLock> otherSave(flushFails ? new SaveLock(m_map) : nullptr);
    const QString question =
        QStringLiteral("New entity lump smaller than original lump. Preserve original lump size?");
    script.buttons[question] = preserve ? QMessageBox::Yes : QMessageBox::No;
    // Answered as a user who takes their time: no progress dialog covers the boxes.
    script.slow.waitMs = 100;
    window->show();
    QCOMPARE(window->fileSave(), !flushFails);
    script.slow.waitMs = 0;
    QCOMPARE(script.slow.covered, 0);
    QCOMPARE(script.asked.value(1).text, question);
    QCOMPARE(script.asked.value(1).defaultButton, QMessageBox::No);
    QCOMPARE(window->isWindowModified(), flushFails);
    if (!flushFails) {
        QByteArray text = Lump.left(Lump.indexOf("{\n\"classname\" \"info_target\"")) + '\0';
        if (preserve)
            text += QByteArray(Lump.size() - text.size(), '\0');
        QCOMPARE(storedLump(m_map, 0), text);
        QCOMPARE(storedLump(m_map, 5), map(20).lumps[5]);
        QVERIFY(script.warnings.isEmpty());
        delete window;
        return;
    }
    QCOMPARE(script.warnings.value(0),
             QString::fromLatin1(E::SaveIncomplete) + '\n' + PackageErrors::Bsp::SaveInProgress);
    QCOMPARE(readFile(m_map), before);

    // Closing: Cancel keeps the window; Save, which fails, keeps it too;
    // Discard closes.
    QPointer<VENTITY> guard = window;
    for (int answer : {QMessageBox::Cancel, QMessageBox::Save, QMessageBox::Discard}) {
        script.result = answer;
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(guard.isNull(), answer == QMessageBox::Discard);
    }
    QCOMPARE(script.warnings.size(), 2);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files).filter(QStringLiteral(".tmp")),
             QStringList());
}

void TestVEntity::lumpFiles()
{
    ScriptedPrompt script;
    VENTITY window(nullptr, m_map);
    const QString lmp = m_dir.filePath(QStringLiteral("e.lmp"));
    script.files = QStringList{lmp};
    script.buttons[QStringLiteral("Specify custom lump size?")] = QMessageBox::Yes;
    script.number = Lump.size() + 100;
    window.exportAsLMP();
    QCOMPARE(script.asked.last().minimum, Lump.size());
    QCOMPARE(script.asked.last().maximum, 1073741823);
    QCOMPARE(readFile(lmp), lumpFile(20, 0, 0, Lump.size(), 0, Lump + QByteArray(100, '\0')));

    VENTITY fromLump(nullptr, lmp);
    QCOMPARE(labels(fromLump), AllLabels);
    fromLump.entityList()->setCurrentRow(1);
    fromLump.entityDelete();
    script.number = -1;
    QVERIFY(fromLump.fileSave());
    QCOMPARE(readFile(lmp).size(), 20 + Lump.indexOf("{\n\"classname\" \"light\"") + Lump.size() -
                                       Lump.indexOf("{\n\"classname\" \"light_spot\""));

    // A save that cannot write keeps the window modified and says why.
    fromLump.entityDelete();
    QVERIFY(QFile::remove(lmp) && QDir().mkdir(lmp));
    QVERIFY(!fromLump.fileSave());
    QVERIFY(fromLump.isWindowModified());
    QVERIFY(script.warnings.value(0).startsWith(QLatin1String("Save Error: ")));

    const QString wrong = m_dir.filePath(QStringLiteral("w.lmp"));
    QVERIFY(writeFile(wrong, lumpFile(20, 40, 0, 2, 0, "{}")));
    script.warnings.clear();
    VENTITY refused(nullptr, wrong);
    QCOMPARE(script.warnings, QStringList{E::NotEntityLump});
    QVERIFY(refused.path().isEmpty());
}

void TestVEntity::mapSources()
{
    const QString vmf = m_dir.filePath(QStringLiteral("m.vmf"));
    QVERIFY(writeFile(vmf, "world\n{\n\"classname\" \"worldspawn\"\n}\n"
                           "entity\n{\n\"classname\" \"info_target\"\neditor\n{\n"
                           "\"visgroupshown\" \"0\"\n}\n}\n"
                           "entity\n{\n\"classname\" \"func_door\"\n\"model\" \"*1\"\n}\n"
                           "entity\n{\n\"classname\" \"light\"\nconnections\n{\n"
                           "\"OnUser1\" \"a,b,c,d,e\"\n}\n}\n"));
    ScriptedPrompt script;
    script.buttons[QStringLiteral("Ignore hidden entities?")] = QMessageBox::Yes;
    Owner owner;
    VENTITY window(&owner, vmf);
    QCOMPARE(labels(window), QStringLiteral("func_door,light"));
    QCOMPARE(pairsText(*static_cast<VEntityListWidgetItem *>(window.entityList()->item(1))),
             QStringLiteral("classname=light;OnUser1=a,b,c,d,e"));
    QVERIFY(!window.fileSave());
    QCOMPARE(script.warnings, QStringList{"Unable to save: File type \"vmf\" not recognized"});

    script.buttons.clear();
    script.files = QStringList{vmf};
    window.importFromVMF();
    QCOMPARE(labels(window), QStringLiteral("func_door,light,info_target,func_door,light"));
    QVERIFY(window.isWindowModified());

    CConfig::instance()->studiokeys = QStringList{QStringLiteral("model")};
    const QString out = m_dir.filePath(QStringLiteral("out.vmf"));
    script.files = QStringList{out};
    window.exportAsVMF();
    QCOMPARE(readVmf(readFile(out))->entities.size(), 3); // the brush models left out

    // What the import skipped is said once in the output pane.
    const QString newer = m_dir.filePath(QStringLiteral("newer.vmf"));
    QVERIFY(writeFile(newer, "world\n{\n\"classname\" \"worldspawn\"\neditor\n{\n}\n}\n"
                             "entity\n{\n\"classname\" \"light\"\nsolid\n{\nside\n{\n"
                             "point_data\n{\n\"x\" \"1\"\n}\n}\n}\n\"k\" \"v\"\n}\n"));
    {
        WarningLog log;
        VENTITY clean(nullptr, vmf);
        QVERIFY(WarningLog::lines().isEmpty());
        VENTITY read(nullptr, newer);
        QCOMPARE(WarningLog::lines(),
                 QStringList{QStringLiteral("Map Source Warning: Import of \"%1\" skipped 2 "
                                            "blocks it does not read: editor, point_data")
                                 .arg(newer)});
    }

    // A missing map source is reported, not made.
    const QString gone = m_dir.filePath(QStringLiteral("gone.vmf"));
    VENTITY missing(nullptr, gone);
    QCOMPARE(script.warnings.last(), QString::fromLatin1(E::UnableToOpenFile).arg(gone));
    QVERIFY(!QFileInfo::exists(gone));

    // A window that holds a file opens the next in a new one.
    window.openFile(m_map);
    QCOMPARE(owner.opened, QStringList{m_map});
}

void TestVEntity::filters_data()
{
    QTest::addColumn<QStringList>("steps");  // slots to run, or "=text" to filter by
    QTest::addColumn<QStringList>("fields"); // the search dialog's answers
    QTest::addColumn<QString>("visible");

    const QString lights = QStringLiteral("light (lamp1),light_spot");
    const QString box = QStringLiteral("findEntitiesInRectangularPrism");
    const QString sphere = QStringLiteral("findEntitiesInSphere");
    const QStringList none;
    QTest::newRow("defaults") << QStringList{"=light"} << none << lights + ",info_target";
    QTest::newRow("class name only")
        << QStringList{"filterToggleKey", "filterToggleValue", "=light"} << none << lights;
    QTest::newRow("values only") << QStringList{"filterToggleClassname", "filterToggleKey",
                                                "=target"}
                                 << none << "info_target";
    QTest::newRow("case sensitive")
        << QStringList{"filterToggleCaseSensitive", "=LIGHT"} << none << "";
    QTest::newRow("substring off")
        << QStringList{"filterToggleSubstring", "=LIGHT"} << none << "light (lamp1)";
    QTest::newRow("invert, empty text")
        << QStringList{"filterToggleInvertResults", "="} << none << "";
    QTest::newRow("ignore hidden narrows")
        << QStringList{"filterToggleIgnoreHidden", "=light", "=a"} << none
        << lights + ",info_target";
    QTest::newRow("without, it starts over") << QStringList{"=light", "=a"} << none << AllLabels;
    QTest::newRow("box, bounds swapped")
        << QStringList{box} << QStringList{"100", "8", "1", "-100", "0", "-1"} << lights;
    QTest::newRow("box, a number that does not convert")
        << QStringList{box} << QStringList{"x"} << AllLabels;
    QTest::newRow("sphere: on the surface is outside")
        << QStringList{sphere} << QStringList{"0", "0", "0", "10"} << "light_spot";
    QTest::newRow("sphere, bad radius")
        << QStringList{sphere} << QStringList{"0", "0", "0", "r"} << "";
    QTest::newRow("ignore hidden narrows a search")
        << QStringList{"=lamp", "filterToggleIgnoreHidden", sphere}
        << QStringList{"0", "0", "0", "100"} << "light (lamp1)";
}

void TestVEntity::filters()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, fields);
    QFETCH(QString, visible);

    ScriptedPrompt script;
    script.fields = fields;
    VENTITY window(nullptr, m_map);
    QCOMPARE(window.filterFlags(), 0x17);
    window.entityList()->setCurrentRow(0);
    auto *edit = window.findChild<QLineEdit *>(QStringLiteral("filterEdit"));
    for (const QString &step : steps) {
        if (step.startsWith(QLatin1Char('='))) {
            edit->setText(step.mid(1));
            QTest::keyClick(edit, Qt::Key_Return);
        } else {
            QVERIFY(QMetaObject::invokeMethod(&window, step.toLatin1().constData()));
        }
    }
    QCOMPARE(labels(window, true), visible);
    QCOMPARE(title(window), QStringLiteral("Filter Options (%1/4)")
                                .arg(visible.isEmpty() ? 0 : visible.count(',') + 1));
    // A current row the filter hid is current no more.
    if (window.entityList()->isRowHidden(0))
        QVERIFY(!window.currentEntity());
}

void TestVEntity::edits()
{
    VENTITY window(nullptr, m_map);
    window.show();
    QListWidget *list = window.entityList();
    QTableWidget *table = window.keyvalueTable();
    const auto current = [&window] { return pairsText(*window.currentEntity()); };

    // A copy keeps every pair, repeated keys included, and lands below.
    list->setCurrentRow(2);
    window.entityCopy();
    QCOMPARE(list->currentRow(), 3);
    QCOMPARE(current(), QStringLiteral("classname=light_spot;origin=6  7 0;OnUser1=a,b,c,d,e;"
                                       "OnUser1=f,g,h,i,j"));
    QCOMPARE(title(window), QStringLiteral("Filter Options (5/5)"));
    QVERIFY(window.isWindowModified());

    table->setCurrentCell(0, 0);
    window.keyvalueAdd();
    table->setCurrentCell(2, 0);
    window.keyvalueCopy();
    QCOMPARE(current(), QStringLiteral("classname=light_spot;newKey=newValue;origin=6  7 0;"
                                       "origin=6  7 0;OnUser1=a,b,c,d,e;OnUser1=f,g,h,i,j"));

    // Edits in the cell editor relabel at once; other item changes edit nothing.
    const auto edit = [&](int row, int column, const QString &text) {
        emit table->itemDoubleClicked(table->item(row, column));
        auto *editor = table->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The commit is queued; the closed editor goes later still.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    edit(0, 1, QStringLiteral("light_dynamic"));
    edit(1, 0, QStringLiteral("targetname"));
    edit(1, 1, QStringLiteral("t1"));
    QCOMPARE(list->item(3)->text(), QStringLiteral("light_dynamic (t1)"));
    {
        // A character 8-bit text cannot hold is named, in a key or a value,
        // and the old text stays.
        ScriptedPrompt script;
        edit(1, 0, QString::fromUtf8("target✓"));
        edit(1, 1, QString::fromUtf8("t😀"));
        QCOMPARE(script.warnings,
                 QStringList({QString::fromUtf8("The character \"✓\" cannot be stored in an "
                                                "entity lump."),
                              QString::fromUtf8("The character \"😀\" cannot be stored in an "
                                                "entity lump.")}));
        QCOMPARE(table->item(1, 0)->text() + '=' + table->item(1, 1)->text(),
                 QStringLiteral("targetname=t1"));
        QCOMPARE(window.currentEntity()->value(QStringLiteral("targetname")), QStringLiteral("t1"));
    }
    table->item(2, 1)->setText(QStringLiteral("not an edit"));
    QCOMPARE(window.currentEntity()->value(QStringLiteral("origin")), QStringLiteral("6  7 0"));

    // Deleting the class gives the entity one back.
    table->setCurrentCell(0, 0);
    window.keyvalueDelete();
    QCOMPARE(list->item(3)->text(), QStringLiteral("info_null (t1)"));

    window.entityDelete();
    QCOMPARE(labels(window), AllLabels);
    list->setCurrentRow(-1);
    window.entityAdd();
    QCOMPARE(labels(window), AllLabels + QStringLiteral(",info_null"));
    QCOMPARE(current(), QStringLiteral("classname=info_null"));
}

QTEST_MAIN(TestVEntity)
#include "tst_ventity.moc"
