#include "EditingFixture.h"
#include "EditorScript.h"
#include "ExchangeFixture.h"
#include "MapBuilder.h"
#include "PCFFormatChoice.h"
#include "QFileListDialog.h"
#include "QProgressDialogger.h"
#include "WarningLog.h"
#include "initResources.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

using namespace ExchangeFixture;

namespace {

const QStringList psd{"particleSystemDefinitions"};

// Selects these rows of a list dialog and sets its GUID box.
EditorScript::Fill choose(const QList<int> &rows, bool preserve)
{
    return [rows, preserve](QDialog *dialog) {
        auto *list = qobject_cast<QListDialog *>(dialog);
        for (int row : rows)
            list->list->item(row)->setSelected(true);
        if (auto *box = dialog->findChild<QCheckBox *>("preserveGuids"))
            box->setChecked(preserve);
    };
}

// Fills a file list dialog with these paths (added once).
EditorScript::Fill fileList(const QStringList &paths)
{
    return [paths](QDialog *dialog) {
        auto *files = qobject_cast<QFileListDialog *>(dialog);
        if (files->list->count() == 0)
            files->list->addItems(paths);
    };
}

QList<CPrompt::Kind> kinds(const EditorScript &script)
{
    QList<CPrompt::Kind> out;
    for (const CPrompt::Request &request : script.asked)
        out << request.kind;
    return out;
}

} // namespace

class TestParticleTools : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void init();
    void cleanup();

    void importSystems();
    void importRefusals();
    void exportSystems();
    void guidUniquenessSingle();
    void massFormat();
    void findSystem();
    void mapManifest();

private:
    VParticle *open(CFilePCF *document);

    FakeMainWindow *m_main = nullptr;
    QPointer<VParticle> m_window;
    TemplateScope *m_templates = nullptr;
    QTemporaryDir *m_dir = nullptr;
};

void TestParticleTools::init()
{
    m_main = new FakeMainWindow;
    m_templates = new TemplateScope(templates().mid(1));
    m_dir = new QTemporaryDir;
}

void TestParticleTools::cleanup()
{
    if (m_window) {
        m_window->setWindowModified(false);
        delete m_window;
    }
    delete m_main;
    delete m_templates;
    delete m_dir;
}

VParticle *TestParticleTools::open(CFilePCF *document)
{
    m_window = new VParticle(m_main, document);
    return m_window;
}

void TestParticleTools::importSystems()
{
    const QString source = m_dir->filePath("source.pcf");
    CFilePCF *sourceDocument = document(1, {"smoke", "fire"});
    const QUuid fireGuid = sourceDocument->findParticleSystem("fire")->guid;
    QVERIFY(writeDocument(source, sourceDocument));
    VParticle *window = open(document(2, {"fire", "fire_1"}));

    EditorScript script;
    script.text(source);
    script.accept(choose({1}, true));
    script.button(QMessageBox::Ok);
    window->actionImport->trigger();

    QCOMPARE(kinds(script), (QList<CPrompt::Kind>{CPrompt::Kind::OpenFileName, CPrompt::Kind::Exec,
                                                  CPrompt::Kind::Information}));
    QCOMPARE(script.asked[0].title, QStringLiteral("Source PCF"));
    QCOMPARE(script.asked[0].filter, QStringLiteral("Particle Configuration File (*.pcf)"));
    QCOMPARE(script.asked[1].title, QStringLiteral("Import Particle Systems"));
    QCOMPARE(script.offered, (QList<QStringList>{{"smoke", "fire"}}));
    QCOMPARE(script.asked[2].text, QStringLiteral("Operation complete."));
    QCOMPARE(systemNames(window->document), (QStringList{"fire", "fire_1", "fire_2"}));
    QCOMPARE(window->document->findParticleSystem("fire_2")->guid, fireGuid);
    QVERIFY(window->isWindowModified());
    QCOMPARE(rowAt(window->tree, psd)->childCount(), 3);

    // Cancelling the choice copies nothing.
    EditorScript cancelled;
    cancelled.text(source).cancel();
    window->setWindowModified(false);
    window->actionImport->trigger();
    QCOMPARE(systemNames(window->document).size(), 3);
    QVERIFY(!window->isWindowModified());
}

void TestParticleTools::importRefusals()
{
    VParticle *window = open(document(2, {"fire"}));
    const QString junk = m_dir->filePath("junk.pcf");
    QVERIFY(writeFile(junk, "junk"));
    EditorScript script;
    script.text(junk).button(QMessageBox::Ok);
    script.text(m_dir->filePath("missing.pcf"));
    window->actionImport->trigger();
    window->actionImport->trigger();
    QCOMPARE(kinds(script),
             (QList<CPrompt::Kind>{CPrompt::Kind::OpenFileName, CPrompt::Kind::Warning,
                                   CPrompt::Kind::OpenFileName}));
    QCOMPARE(script.asked[1].text, QStringLiteral("Read Error: Invalid or unrecognized format"));
    QVERIFY(!window->isWindowModified());

    // A conforming failure keeps the copies, marks the window and warns.
    const QString source = m_dir->filePath("source.pcf");
    QVERIFY(writeDocument(source, document(1, {"smoke"})));
    TemplateScope none({nullptr, nullptr, nullptr});
    EditorScript failing;
    failing.text(source);
    failing.accept(choose({0}, false));
    failing.button(QMessageBox::Ok);
    window->actionImport->trigger();
    QCOMPARE(failing.asked.last().kind, CPrompt::Kind::Warning);
    QCOMPARE(failing.asked.last().text,
             QStringLiteral("Formatting Error: Template data for target version does not exist"));
    QCOMPARE(systemNames(window->document), (QStringList{"fire", "smoke"}));
    QVERIFY(window->isWindowModified());
}

void TestParticleTools::exportSystems()
{
    VParticle *window = open(document(2, {"fire", "smoke"}));
    const QString target = m_dir->filePath("out.pcf");
    EditorScript script;
    script.accept(choose({1}, false));
    script.text(target).button(QMessageBox::Ok);
    window->actionExport->trigger();
    QCOMPARE(kinds(script), (QList<CPrompt::Kind>{CPrompt::Kind::Exec, CPrompt::Kind::SaveFileName,
                                                  CPrompt::Kind::Information}));
    QCOMPARE(script.asked[0].title, QStringLiteral("Export Particle Systems"));
    QCOMPARE(script.asked[1].title, QStringLiteral("Target PCF"));
    QVERIFY(!window->isWindowModified());
    std::unique_ptr<CFilePCF> written(readDocument(target));
    QVERIFY(written);
    QCOMPARE(written->format, 2);
    QCOMPARE(systemNames(written.get()), QStringList{"smoke"});

    // An unreadable target is reported and left alone.
    QVERIFY(writeFile(target, "junk"));
    EditorScript refused;
    refused.accept(choose({0}, false));
    refused.text(target).button(QMessageBox::Ok);
    window->actionExport->trigger();
    QCOMPARE(refused.asked.last().kind, CPrompt::Kind::Warning);
    QCOMPARE(readFile(target), QByteArray("junk"));
}

void TestParticleTools::guidUniquenessSingle()
{
    VParticle *window = open(document(2, {"fire", "smoke"}));
    EditorScript script;
    script.button(QMessageBox::Ok).button(QMessageBox::Ok);
    window->actionGuidSingle->trigger();
    QVERIFY(!window->isWindowModified());
    QCOMPARE(script.asked.last().text, QStringLiteral("Operation complete."));

    window->document->findParticleSystem("smoke")->guid =
        window->document->findParticleSystem("fire")->guid;
    window->actionGuidSingle->trigger();
    QVERIFY(window->isWindowModified());
    QVERIFY(guidsUnique(window->document->elements));
    QCOMPARE(script.asked.size(), 2);
}

void TestParticleTools::massFormat()
{
    const QString good = m_dir->filePath("good.pcf");
    const QString junk = m_dir->filePath("junk.pcf");
    CFilePCF *lossy = document(1, {"fire"});
    DmxBuild::addFloat(lossy->findParticleSystem("fire"), "bogus", 1);
    QVERIFY(writeDocument(good, lossy));
    QVERIFY(writeFile(junk, "junk"));
    VParticle *window = open(document(2, {"fire"}));

    EditorScript script;
    script.accept(fileList({junk, good}));
    script.text(pcfFormatNames()[2]);
    script.button(QMessageBox::Ok).button(QMessageBox::Ok);
    // Answered slowly: the batch's progress dialog covers neither the per-file
    // warning nor the final box.
    script.slow.waitMs = 100;
    window->show();
    WarningLog log;
    window->actionMassFormat->trigger();
    QCOMPARE(script.slow.covered, 0);
    // What the conversion dropped is no failure: a line in the output pane,
    // no box.
    QCOMPARE(log.lines(), QStringList{"Format Conversion: \"" + good +
                                      "\", system \"fire\": dropped 1 parameter(s): \"bogus\" of "
                                      "the system"});
    QCOMPARE(kinds(script),
             (QList<CPrompt::Kind>{CPrompt::Kind::Exec, CPrompt::Kind::Item, CPrompt::Kind::Warning,
                                   CPrompt::Kind::Information}));
    QCOMPARE(script.asked[0].title, QStringLiteral("Mass Format"));
    // Per-file warnings sit on the progress dialog (gone by now), the end on the window.
    QVERIFY(script.asked[2].parent && script.asked[2].parent != window);
    QCOMPARE(script.asked[3].parent, window);
    QCOMPARE(script.asked[2].text, '"' + junk + "\" : Read Error: Invalid or unrecognized format");
    QCOMPARE(script.asked[3].text, QStringLiteral("Operation complete."));
    std::unique_ptr<CFilePCF> converted(readDocument(good));
    QCOMPARE(converted->format, 3);

    // Cancelling the format choice ends the run before anything is read.
    EditorScript cancelled;
    cancelled.accept(fileList({junk}));
    cancelled.cancel();
    window->actionMassFormat->trigger();
    QCOMPARE(cancelled.asked.size(), 2);

    // GUID uniqueness over files: titled after its mode.
    EditorScript guids;
    guids.accept(fileList({good}));
    guids.button(QMessageBox::Ok);
    window->actionGuidMultiple->trigger();
    QCOMPARE(guids.asked[0].title, QStringLiteral("Ensure GUID Uniqueness"));
    QCOMPARE(guids.asked.last().text, QStringLiteral("Operation complete."));
}

void TestParticleTools::findSystem()
{
    const QString a = m_dir->filePath("a.pcf");
    const QString b = m_dir->filePath("b.pcf");
    QVERIFY(writeDocument(a, document(1, {"fire"})));
    QVERIFY(writeDocument(b, document(2, {"smoke"})));
    VParticle *window = open(document(2, {"fire"}));

    QStringList results;
    QString log;
    EditorScript script;
    script.accept(fileList({a, b, a}));
    script.text("fire");
    script.accept([&log](QDialog *dialog) {
        log = qobject_cast<QProgressDialogger *>(dialog)->logEdit->toPlainText();
    });
    script.accept([&results](QDialog *dialog) { results = EditorScript::listTexts(dialog); });
    // Again with the same files; the name box is preset; then the tool ends.
    script.accept(fileList({}));
    script.cancel();
    window->actionFindSystem->trigger();

    QCOMPARE(results, (QStringList{a, a}));
    QVERIFY(log.isEmpty());
    const QList<CPrompt::Request> &r = script.asked;
    QCOMPARE(r[0].title, QStringLiteral("Find System"));
    QCOMPARE(r[1].kind, CPrompt::Kind::Text);
    QCOMPARE(r[1].title, QStringLiteral("System Name"));
    QCOMPARE(r[1].text, QStringLiteral("Enter system name:"));
    QVERIFY(r[1].initialText.isEmpty());
    QCOMPARE(r[3].title, QStringLiteral("Search Results"));
    QCOMPARE(r[5].kind, CPrompt::Kind::Text);
    QCOMPARE(r[5].initialText, QStringLiteral("fire"));
    QCOMPARE(r.size(), 7);
}

void TestParticleTools::mapManifest()
{
    const QString folder = m_dir->filePath("particles");
    QDir().mkpath(folder);
    const QString mapPath = m_dir->filePath("de_test.bsp");
    MapFixture map;
    map.lumps[0] = "{\n\"effect_name\" \"fire\"\n}\n{\n\"effect_name\" \"ghost\"\n}\n";
    QVERIFY(writeFile(mapPath, map.build()));
    VParticle *window = open(document(2, {"fire"}));

    // An empty folder: a warning and nothing more.
    EditorScript empty;
    empty.text(mapPath).text(folder).button(QMessageBox::Ok);
    window->actionMapManifest->trigger();
    QCOMPARE(empty.asked.last().kind, CPrompt::Kind::Warning);
    QCOMPARE(empty.asked.last().text, QStringLiteral("No particles found."));
    QCOMPARE(empty.asked[0].title, QStringLiteral("Select BSP"));
    QCOMPARE(empty.asked[0].filter, QStringLiteral("Valve Binary Space Partition (*.bsp)"));
    QCOMPARE(empty.asked[1].title, QStringLiteral("Select Particle Directory"));

    QVERIFY(writeDocument(folder + "/fx.pcf", document(2, {"fire"})));
    QString label;
    QString log;
    bool okEnabled = false;
    EditorScript script;
    script.text(mapPath).text(folder);
    script.accept([&](QDialog *dialog) {
        auto *progress = qobject_cast<QProgressDialogger *>(dialog);
        label = progress->label->text();
        log = progress->logEdit->toPlainText();
        okEnabled = progress->buttonOk->isEnabled();
    });
    window->actionMapManifest->trigger();
    const QString manifest = m_dir->filePath("de_test_manifest.txt");
    QCOMPARE(label, QStringLiteral("Operation complete."));
    QVERIFY(okEnabled);
    QCOMPARE(log, "System \"ghost\" not found.\nWrote \"" + manifest + "\"");
    QCOMPARE(readFile(manifest),
             QByteArray("particles_manifest\n{\n\tfile\t\"particles/fx.pcf\"\n}\n"));
}

QTEST_MAIN(TestParticleTools)
#include "tst_particletools.moc"
