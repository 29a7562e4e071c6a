#include "CConfig.h"
#include "CFileVBSP.h"
#include "EditorMainWindow.h"
#include "FileBytes.h"
#include "FullDisk.h"
#include "PromptScript.h"
#include "VVBSP.h"
#include "VVBSPPanels.h"
#include "VVBSPTreeWidget.h"
#include "VVBSPTreeWidgetItem.h"
#include "VbspFixture.h"
#include "initResources.h"

#include <memory>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// grass(0.5)[tufts[fern(model), blade], moss[]] rocks[]
CFileVBSP *sample(const QString &path = QString())
{
    auto *document = new CFileVBSP(QFile::encodeName(path).toStdString());
    CDetailProp *fern = framedProp(*document);
    CDetailType *grass = document->types[0];
    grass->name = "grass";
    grass->density = 0.5f;
    grass->groups[0]->name = "tufts";
    fern->name = "fern";
    fern->model = "models/fern.mdl";
    fern->textureDimension = 512;
    auto *blade = new CDetailProp;
    blade->name = "blade";
    grass->groups[0]->props.push_back(blade);
    auto *moss = new CDetailGroup;
    moss->name = "moss";
    grass->groups.push_back(moss);
    auto *rocks = new CDetailType;
    rocks->name = "rocks";
    document->types.push_back(rocks);
    return document;
}

// The item at a path of names from the top level down; null when there is none.
VVBSPTreeWidgetItem *itemAt(QTreeWidget *tree, const QStringList &path)
{
    QTreeWidgetItem *item = tree->invisibleRootItem();
    for (const QString &name : path) {
        QTreeWidgetItem *parent = item;
        item = nullptr;
        for (int i = 0; parent && i < parent->childCount() && !item; ++i)
            item = parent->child(i)->text(0) == name ? parent->child(i) : nullptr;
    }
    return static_cast<VVBSPTreeWidgetItem *>(item);
}

QStringList topNames(QTreeWidget *tree)
{
    QStringList out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        out << tree->topLevelItem(i)->text(0);
    return out;
}

QAction *action(QWidget *window, const QString &text)
{
    for (QAction *a : window->findChildren<QAction *>()) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

} // namespace

class TestVbspEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void emptyWindowAndNew();
    void openFiles();
    void closeFlow_data();
    void closeFlow();
    void panelClamps_data();
    void panelClamps();
    void fieldEnabling();
    void treeMoves();
    void addPasteRename();
    void deleteCurrentRecords();

private:
    QString file(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    EditorMainWindow *m_main = nullptr;
    QPointer<VVBSP> m_window;
};

void TestVbspEditor::initTestCase()
{
    initResources();
    CConfig *config = CConfig::instance();
    config->detailorientations = QStringList{"Normal", "Screen Aligned", "Screen Aligned Vertical"};
    config->spriteshapes = QStringList{"", "tri", "cross"};
    config->spriteshapeLabels = QStringList{"Sprite", "Triangle", "Cross"};
    // Numbers are typed with a full stop even where the decimal point is a comma.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void TestVbspEditor::init()
{
    m_main = new EditorMainWindow;
}

void TestVbspEditor::cleanup()
{
    delete m_window;
    delete m_main;
}

void TestVbspEditor::emptyWindowAndNew()
{
    m_window = new VVBSP;
    QVERIFY(!m_window->tree()->isEnabled());
    const QStringList gated{"Save", "Save As...", "Save Copy As...", "Set Texture Dimension...",
                            "Detail Shape Support"};
    for (const QString &text : gated)
        QVERIFY2(!action(m_window, text)->isEnabled(), qPrintable(text));
    m_window->fileSave();

    m_window->fileNew();
    QVERIFY(m_window->tree()->isEnabled());
    QVERIFY(!m_window->isWindowModified());
    for (const QString &text : gated)
        QVERIFY2(action(m_window, text)->isEnabled(), qPrintable(text));

    // Shape support: the writer follows the toggle.
    QGroupBox *shapes = m_window->panels()->shapeBox;
    QVERIFY(shapes->isEnabledTo(shapes->parentWidget()));
    m_window->toggleDetailShapeSupport();
    QVERIFY(!m_window->document()->detailShapeSupport);
    QVERIFY(!shapes->isEnabledTo(shapes->parentWidget()));
    QVERIFY(m_window->isWindowModified());

    // A further New goes to a new window.
    m_window->fileNew();
    QCOMPARE(m_main->vbspDocuments.size(), 1);
}

void TestVbspEditor::openFiles()
{
    const QString meadow = file("meadow.vbsp");
    QVERIFY(writeFile(
        meadow, propFile({"\"sprite\" \"0 0 8 8 512\"", "\"spritesize\" \"0.5 0 32 48.5\""})));
    m_window = new VVBSP(meadow);
    QCOMPARE(m_window->textureSize(), 512);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("meadow[*]"));
    m_window->tree()->setCurrentItem(itemAt(m_window->tree(), {"t", "g", "p"}));
    QCOMPARE(m_window->panels()->vHeight->text(), QStringLiteral("48.5"));
    delete m_window;

    PromptScript script;
    const QString missing = file("missing.vbsp");
    m_window = new VVBSP(missing);
    QCOMPARE(script.texts(), QStringList("VBSP Editor[*]|Unable to read \"" + missing + '"'));
    QVERIFY(!m_window->document());
    delete m_window;

    // A file with text but no listing opens nothing and says where.
    QVERIFY(writeFile(missing, "grass\r\n{\r\n}\r\n"));
    m_window = new VVBSP(missing);
    QCOMPARE(script.texts().last(), "VBSP Editor[*]|Unable to read \"" + missing +
                                        "\" (Read Error: Expected 'detail' at line 1)");
}

void TestVbspEditor::closeFlow_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("target"); // the save dialog's answer; "" cancels it
    QTest::addColumn<bool>("closes");

    QTest::newRow("discard") << int(QMessageBox::Discard) << "" << true;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << "" << false;
    QTest::newRow("save, dialog cancelled") << int(QMessageBox::Save) << "" << false;
    QTest::newRow("save fails") << int(QMessageBox::Save) << "missing/x.vbsp" << false;
    QTest::newRow("disk full") << int(QMessageBox::Save) << "full.vbsp" << false;
    QTest::newRow("save") << int(QMessageBox::Save) << "x.vbsp" << true;
}

void TestVbspEditor::closeFlow()
{
    QFETCH(int, answer);
    QFETCH(QString, target);
    QFETCH(bool, closes);

    m_window = new VVBSP(sample());
    QVERIFY(m_window->close()); // unmodified: no question
    m_window = new VVBSP(sample());
    m_window->setWindowModified(true);
    const QString path = target.isEmpty() ? QString() : file(target);
    PromptScript script;
    script.button(answer).text(path);
    std::unique_ptr<FullDisk> disk(target.startsWith("full") ? new FullDisk : nullptr);
    QCOMPARE(m_window->close(), closes);
    QCOMPARE(script.asked.first().title, QStringLiteral("VBSP Editor[*]"));
    QCOMPARE(QFile::exists(path), closes && !path.isEmpty());
    // A failed write says why; the document keeps the new name and its
    // changes stay marked.
    if (target.startsWith("missing")) {
        QCOMPARE(script.texts().last(), "x[*]|" + CSaveFile::folderMessage(path));
        QCOMPARE(m_window->path(), path);
        QVERIFY(m_window->isWindowModified());
    }
    if (target.startsWith("full")) {
        QCOMPARE(script.texts().last(),
                 "full[*]|Unable to write \"" + path + "\" (No space left on device)");
        QVERIFY(m_window->isWindowModified());
    }
}

void TestVbspEditor::panelClamps_data()
{
    QTest::addColumn<QStringList>("item");
    QTest::addColumn<QString>("steps"); // "field typed shown", one per ", "

    const QStringList blade{"grass", "tufts", "blade"};
    QTest::newRow("alpha") << QStringList{"grass", "tufts"}
                           << "detailgroupAlphaEdit 1.5 1, detailgroupAlphaEdit 0.5 0.5";
    QTest::newRow("density") << QStringList{"grass"} << "detailtypeDensityEdit -3 0";
    QTest::newRow("angles") << blade
                            << "detailpropEdit_minangle 200 180, detailpropEdit_maxangle 90 180, "
                               "detailpropEdit_minangle 0 0, detailpropEdit_maxangle 400 360";
    QTest::newRow("sheet") << blade
                           << "detailpropEdit_xOrigin 5000 4096, detailpropEdit_yHeight -2 0, "
                              "detailpropEdit_uWidth 0.1234567 0.123456, "
                              "detailpropEdit_shape_angle 361 360";
    QTest::newRow("sprite size") << blade
                                 << "detailpropEdit_uOrigin 1.5 1, detailpropEdit_vHeight -2 0, "
                                    "detailpropEdit_uWidth 4096.5 4096.5";
}

void TestVbspEditor::panelClamps()
{
    QFETCH(QStringList, item);
    QFETCH(QString, steps);

    m_window = new VVBSP(sample());
    QTreeWidgetItem *row = itemAt(m_window->tree(), item);
    m_window->tree()->setCurrentItem(row);
    QMap<QLineEdit *, QString> last;
    for (const QString &step : steps.split(", ")) {
        // Typed as a user would (through the validator), then Return.
        const QStringList parts = step.split(' ');
        auto *edit = m_window->findChild<QLineEdit *>(parts[0]);
        edit->clear();
        QTest::keyClicks(edit, parts[1]);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), parts[2]);
        last[edit] = parts[2];
    }
    QVERIFY(m_window->isWindowModified());
    // Shown again from the record.
    m_window->tree()->setCurrentItem(nullptr);
    m_window->tree()->setCurrentItem(row);
    for (auto it = last.cbegin(); it != last.cend(); ++it)
        QCOMPARE(it.key()->text(), it.value());
}

void TestVbspEditor::fieldEnabling()
{
    CFileVBSP *document = sample();
    CDetailProp *blade = document->types[0]->groups[0]->props[1];
    blade->sprite_shape = "CROSS";
    m_window = new VVBSP(document);
    QTreeWidget *tree = m_window->tree();
    VVBSPPanels *p = m_window->panels();
    const auto enabled = [p] {
        QString out;
        for (QWidget *field : std::initializer_list<QWidget *>{
                 p->amount, p->model, p->minAngle, p->orientation, p->upright, p->xOrigin,
                 p->vHeight, p->shape, p->sway, p->shapeAngle, p->shapeSize})
            out += field->isEnabled() ? '+' : '-';
        return out;
    };

    tree->setCurrentItem(itemAt(tree, {"grass", "tufts", "fern"}));
    QCOMPARE(enabled(), QStringLiteral("++---------"));
    // Showing a prop applies only the model rule; the shape key matches
    // without regard to case.
    tree->setCurrentItem(itemAt(tree, {"grass", "tufts", "blade"}));
    QCOMPARE(enabled(), QStringLiteral("+++++++++++"));
    QCOMPARE(p->shape->currentIndex(), 2);
    const char *const byShape[] = {"++++++++---", "+++++++++++", "+++++++++--"};
    for (int index : {0, 2, 1}) {
        p->shape->setCurrentIndex(index);
        emit p->shape->activated(index);
        QCOMPARE(enabled(), QString::fromLatin1(byShape[index]));
    }
    QCOMPARE(blade->sprite_shape, std::string("tri"));
    QVERIFY(m_window->isWindowModified());
}

void TestVbspEditor::treeMoves()
{
    const QString path = file("moves.vbsp");
    m_window = new VVBSP(sample(path));
    QTreeWidget *tree = m_window->tree();
    tree->setCurrentItem(itemAt(tree, {"grass"}));
    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(topNames(tree), (QStringList{"rocks", "grass"}));
    QTest::keyClick(tree, Qt::Key_Down); // already last
    QKeyEvent repeated(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(tree, &repeated);
    QCOMPARE(topNames(tree), (QStringList{"rocks", "grass"}));
    QCOMPARE(tree->currentItem()->text(0), QStringLiteral("grass"));

    tree->setCurrentItem(itemAt(tree, {"grass", "tufts", "blade"}));
    QTest::keyClick(tree, Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(tree, Qt::Key_Up);
    QCOMPARE(tree->currentItem()->text(0), QStringLiteral("blade"));
    QVERIFY(m_window->isWindowModified());

    // A copy takes the bytes but not the name or the state; Save writes the
    // same bytes to the document's own file.
    PromptScript script;
    script.text(file("copy.vbsp"));
    m_window->fileSaveCopyAs();
    QCOMPARE(m_window->path(), path);
    QVERIFY(m_window->isWindowModified());
    m_window->fileSave();
    QVERIFY(!m_window->isWindowModified());
    const QByteArray bytes = readFile(path);
    QCOMPARE(readFile(file("copy.vbsp")), bytes);
    QVERIFY(bytes.indexOf("\trocks\r\n") < bytes.indexOf("\tgrass\r\n"));
    QVERIFY(bytes.indexOf("\t\t\tblade\r\n") < bytes.indexOf("\t\t\tfern\r\n"));
}

void TestVbspEditor::addPasteRename()
{
    m_window = new VVBSP;
    m_window->fileNew();
    QTreeWidget *tree = m_window->tree();
    CFileVBSP *document = m_window->document();
    // The context menu over an item, "-" marking a disabled entry.
    const auto entries = [&](const QStringList &path) {
        m_window->prepareContextMenu(path.isEmpty() ? nullptr : itemAt(tree, path));
        QStringList texts;
        for (const QAction *a : m_window->contextMenu()->actions())
            texts << a->text() + (a->isEnabled() ? "" : "-");
        return texts.join(", ");
    };
    QCOMPARE(entries({}), QStringLiteral("Add Type, Delete"));
    PromptScript script;
    script.text("grass").text("grass").text("tall grass").text("rocks").text("tufts");
    for (int i = 0; i < 4; ++i) {
        m_window->prepareContextMenu(nullptr);
        m_window->contextAddType();
    }
    QCOMPARE(topNames(tree), (QStringList{"grass", "rocks"}));
    m_window->prepareContextMenu(itemAt(tree, {"grass"}));
    m_window->contextAddGroup();

    // The first prop needs the sheet size: cancelled or refused, nothing is
    // added; a power of two is taken.
    script.asked.clear();
    script.cancel().value(1000).cancel().value(1024).text("fern");
    m_window->prepareContextMenu(itemAt(tree, {"grass", "tufts"}));
    for (int i = 0; i < 3; ++i)
        m_window->contextAddProp();
    QCOMPARE(script.asked.at(2).text,
             QStringLiteral("Size must be a power of two between 1 and 4096."));
    QCOMPARE(script.asked.size(), 5);
    QCOMPARE(m_window->textureSize(), 1024);
    QCOMPARE(document->types[0]->groups[0]->props.at(0)->textureDimension, 1024);

    QCOMPARE(entries({"grass", "tufts", "fern"}), QStringLiteral("Copy, Delete"));

    // Paste is offered where the copied kind fits; each paste is a copy of
    // its own.
    m_window->prepareContextMenu(itemAt(tree, {"grass"}));
    m_window->contextCopy();
    QCOMPARE(entries({"grass", "tufts"}), QStringLiteral("Add Prop, Copy, Paste-, Delete"));
    QCOMPARE(entries({}), QStringLiteral("Add Type, Paste, Delete"));
    m_window->contextPaste();
    m_window->prepareContextMenu(nullptr);
    m_window->contextPaste();
    QCOMPARE(outline(*document),
             QStringLiteral("grass(0)[tufts(0)[fern]] rocks(0)[] "
                            "grass_1(0)[tufts(0)[fern]] grass_2(0)[tufts(0)[fern]]"));
    QVERIFY(itemAt(tree, {"grass_2", "tufts", "fern"}));

    // Renaming to a sibling's name, or to its own, does nothing.
    script.asked.clear();
    script.text("grass").text("rocks").text("stones");
    for (int i = 0; i < 3; ++i)
        m_window->itemDoubleClicked(itemAt(tree, {"rocks"}), 0);
    QCOMPARE(script.texts(), (QStringList{"Rename Item|New name:", "Rename Item|New name:",
                                          "Rename Item|New name:", "|stones"}));
    QCOMPARE(document->types[1]->name, std::string("stones"));
    QCOMPARE(topNames(tree)[1], QStringLiteral("stones"));
}

// Deleting records the panels show leaves no panel pointing at freed memory;
// the sanitizer build checks the edits that follow.
void TestVbspEditor::deleteCurrentRecords()
{
    m_window = new VVBSP(sample());
    QTreeWidget *tree = m_window->tree();
    VVBSPPanels *p = m_window->panels();
    tree->setCurrentItem(itemAt(tree, {"grass", "tufts", "blade"}));
    p->amount->setText("0.5");
    m_window->prepareContextMenu(itemAt(tree, {"grass"}));
    m_window->contextDelete();
    emit p->amount->editingFinished();
    m_window->detailtypeDensityEditEdited();
    m_window->detailpropCombo_sprite_shapeChanged(1);
    QCOMPARE(outline(*m_window->document()), QStringLiteral("rocks(0)[]"));

    m_window->prepareContextMenu(itemAt(tree, {"rocks"}));
    m_window->contextDelete();
    QCOMPARE(tree->topLevelItemCount(), 0);
    for (QGroupBox *box : {p->typeBox, p->groupBox, p->propBox})
        QVERIFY(!box->isEnabled());
}

QTEST_MAIN(TestVbspEditor)
#include "tst_vbspeditor.moc"
