#include "BspErrors.h"
#include "CConfig.h"
#include "CDelegateBSP.h"
#include "CPrompt.h"
#include "LumpMaps.h"
#include "VENTITY.h"
#include "VEntityListWidgetItem.h"
#include "VEntitySearchDialog.h"
#include "VMFReader.h"

#include <QBuffer>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

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

// Scripted answers; every question asked is kept.
struct Script
{
    QMap<QString, QMessageBox::StandardButton> answers; // by the question's text
    QString path;                                       // file dialogs
    int customSize = -1;                                // -1: the size box is cancelled
    QStringList fields;                                 // search dialog
    int closeAnswer = QMessageBox::Cancel;
    QList<CPrompt::Request> asked;
    QStringList warnings;

    CPrompt::Answer operator()(const CPrompt::Request &request)
    {
        asked << request;
        CPrompt::Answer answer;
        answer.ok = request.kind != CPrompt::Kind::Int || customSize >= 0;
        answer.text = path;
        answer.value = customSize;
        answer.button = answers.value(request.text, QMessageBox::No);
        if (request.kind == CPrompt::Kind::Warning)
            warnings << request.text;
        if (request.kind == CPrompt::Kind::Exec) {
            answer.result = closeAnswer;
            if (qobject_cast<VEntitySearchDialog *>(request.dialog)) {
                for (int i = 0; i < fields.size(); ++i)
                    request.dialog->findChild<QLineEdit *>(QStringLiteral("field%1").arg(i))
                        ->setText(fields[i]);
                answer.result = QDialog::Accepted;
            }
        }
        return answer;
    }
};

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

QString pairs(const VEntityListWidgetItem *entity)
{
    QStringList list;
    for (const CEntityKeyValue &pair : entity->pairs())
        list << pair.key + QLatin1Char('=') + pair.value;
    return list.join(QLatin1Char(';'));
}

QByteArray storedLump(const QString &map, int index)
{
    CDelegateBSP delegate;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!delegate.open(map, true) || !delegate.writeStored(&buffer, index))
        return "unreadable";
    return bytes;
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
    void closing();

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
    QTest::addColumn<QString>("preserve"); // the answer to the size question
    QTest::addColumn<bool>("flushFails");

    QTest::newRow("shorter, padded") << "Yes" << false;
    QTest::newRow("shorter, not padded") << "No" << false;
    QTest::newRow("flush fails") << "No" << true;
}

void TestVEntity::savesIntoTheMap()
{
    QFETCH(QString, preserve);
    QFETCH(bool, flushFails);

    Script script;
    CPrompt::ScopedHandler handler(std::ref(script));
    VENTITY window(nullptr, m_map);
    QCOMPARE(window.windowTitle(), QStringLiteral("ctf_a[*]"));
    QCOMPARE(labels(window), AllLabels);
    QVERIFY(!window.isWindowModified());

    // Importing appends; the second world is dropped.
    script.path = m_map;
    window.importFromBSP();
    QCOMPARE(labels(window), AllLabels + QStringLiteral(",light (lamp1),light_spot,info_target"));
    QVERIFY(window.isWindowModified());
    QCOMPARE(title(window), QStringLiteral("Filter Options (7/7)"));
    for (int row : {6, 5, 4, 3}) {
        window.entityList()->setCurrentRow(row);
        window.entityDelete();
    }
    QCOMPARE(labels(window), AllLabels.section(QLatin1Char(','), 0, 2));

    const QByteArray before = readFile(m_map);
    if (flushFails)
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("ctf_a.bsp.tmp")));
    const QString question =
        QStringLiteral("New entity lump smaller than original lump. Preserve original lump size?");
    script.answers[question] =
        preserve == QLatin1String("Yes") ? QMessageBox::Yes : QMessageBox::No;
    QCOMPARE(window.fileSave(), !flushFails);
    QCOMPARE(script.asked.value(1).text, question);
    QCOMPARE(script.asked.value(1).defaultButton, QMessageBox::No);
    QCOMPARE(window.isWindowModified(), flushFails);
    if (flushFails) {
        QCOMPARE(script.warnings.value(0).section(QLatin1Char('\n'), 0, 0),
                 QString::fromLatin1(E::SaveIncomplete));
        QCOMPARE(readFile(m_map), before);
        QDir(m_dir.path()).rmdir(QStringLiteral("ctf_a.bsp.tmp"));
        return;
    }
    QByteArray text = Lump.left(Lump.indexOf("{\n\"classname\" \"info_target\"")) + '\0';
    if (preserve == QLatin1String("Yes"))
        text += QByteArray(Lump.size() - text.size(), '\0');
    QCOMPARE(storedLump(m_map, 0), text);
    QCOMPARE(storedLump(m_map, 5), map(20).lumps[5]);
    QVERIFY(script.warnings.isEmpty());
}

void TestVEntity::lumpFiles()
{
    Script script;
    CPrompt::ScopedHandler handler(std::ref(script));
    VENTITY window(nullptr, m_map);
    const QString lmp = m_dir.filePath(QStringLiteral("e.lmp"));
    script.path = lmp;
    script.answers[QStringLiteral("Specify custom lump size?")] = QMessageBox::Yes;
    script.customSize = Lump.size() + 100;
    window.exportAsLMP();
    QCOMPARE(script.asked.last().minimum, Lump.size());
    QCOMPARE(script.asked.last().maximum, 1073741823);
    QCOMPARE(readFile(lmp), lumpFile(20, 0, 0, Lump.size(), 0, Lump + QByteArray(100, '\0')));

    VENTITY fromLump(nullptr, lmp);
    QCOMPARE(labels(fromLump), AllLabels);
    fromLump.entityList()->setCurrentRow(1);
    fromLump.entityDelete();
    script.customSize = -1;
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
    QCOMPARE(refused.windowTitle(), QStringLiteral("Entity Lump Editor"));
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
    Script script;
    CPrompt::ScopedHandler handler(std::ref(script));
    script.answers[QStringLiteral("Ignore hidden entities?")] = QMessageBox::Yes;
    Owner owner;
    VENTITY window(&owner, vmf);
    QCOMPARE(script.asked.size(), 1);
    QCOMPARE(labels(window), QStringLiteral("func_door,light"));
    QCOMPARE(pairs(static_cast<VEntityListWidgetItem *>(window.entityList()->item(1))),
             QStringLiteral("classname=light;OnUser1=a,b,c,d,e"));
    QVERIFY(!window.fileSave());
    QCOMPARE(script.warnings, QStringList{"Unable to save: File type \"vmf\" not recognized"});

    script.answers.clear();
    script.path = vmf;
    window.importFromVMF();
    QCOMPARE(labels(window), QStringLiteral("func_door,light,info_target,func_door,light"));
    QVERIFY(window.isWindowModified());

    CConfig::instance()->studiokeys = QStringList{QStringLiteral("model")};
    const QString out = m_dir.filePath(QStringLiteral("out.vmf"));
    script.path = out;
    window.exportAsVMF();
    QCOMPARE(readVmf(readFile(out))->entities.size(), 3); // the brush models left out

    // A window that holds a file opens the next in a new one.
    window.openFile(m_map);
    QCOMPARE(owner.opened, QStringList{m_map});
    QCOMPARE(window.path(), vmf);
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
    QTest::newRow("keys only") << QStringList{"filterToggleClassname", "filterToggleValue",
                                              "=target"}
                               << none << "light (lamp1),info_target";
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
    QTest::newRow("sphere, negative radius")
        << QStringList{sphere} << QStringList{"0", "0", "0", "-10"} << "light_spot";
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

    Script script;
    script.fields = fields;
    CPrompt::ScopedHandler handler(std::ref(script));
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
    const auto current = [&window] { return pairs(window.currentEntity()); };

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
    table->item(2, 1)->setText(QStringLiteral("not an edit"));
    QCOMPARE(window.currentEntity()->value(QStringLiteral("origin")), QStringLiteral("6  7 0"));

    // Deleting the class gives the entity one back.
    table->setCurrentCell(0, 0);
    window.keyvalueDelete();
    QCOMPARE(list->item(3)->text(), QStringLiteral("info_null (t1)"));
    QCOMPARE(window.currentEntity()->pairs().value(1).key, QStringLiteral("classname"));

    window.entityDelete();
    QCOMPARE(labels(window), AllLabels);
    list->setCurrentRow(-1);
    window.entityAdd();
    QCOMPARE(labels(window), AllLabels + QStringLiteral(",info_null"));
    QCOMPARE(current(), QStringLiteral("classname=info_null"));
}

void TestVEntity::closing()
{
    Script script;
    CPrompt::ScopedHandler handler(std::ref(script));
    QPointer<VENTITY> window = new VENTITY(nullptr, m_map);
    window->entityAdd();
    QVERIFY(script.asked.isEmpty());

    // Every save fails: the map's temporary name is taken.
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("ctf_a.bsp.tmp")));
    for (int answer : {QMessageBox::Cancel, QMessageBox::Save, QMessageBox::Discard}) {
        script.closeAnswer = answer;
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(window.isNull(), answer == QMessageBox::Discard);
    }
    QVERIFY(QDir(m_dir.path()).rmdir(QStringLiteral("ctf_a.bsp.tmp")));
    QCOMPARE(script.asked.first().title, QStringLiteral("ctf_a[*]"));
    QCOMPARE(script.warnings.size(), 1);
}

QTEST_MAIN(TestVEntity)
#include "tst_ventity.moc"
