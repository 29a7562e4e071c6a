#include "CConfig.h"
#include "CFileVBSP.h"
#include "CPrompt.h"
#include "ScriptedMainWindow.h"
#include "VVBSP.h"
#include "VVBSPTreeWidget.h"
#include "VVBSPTreeWidgetItem.h"
#include "VbspFile.h"
#include "VbspFixture.h"
#include "initResources.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Answers the editor's questions in order and keeps what was asked.
class Script
{
public:
    Script()
        : m_handler([this](const CPrompt::Request &request) {
            requests << request;
            return answers.isEmpty() ? CPrompt::Answer() : answers.takeFirst();
        })
    {}
    Script &add(bool ok, const QString &text = QString(), int value = 0, int button = 0)
    {
        CPrompt::Answer a;
        a.ok = ok;
        a.text = text;
        a.value = value;
        a.button = QMessageBox::StandardButton(button);
        a.result = button;
        answers << a;
        return *this;
    }
    Script &text(const QString &text) { return add(true, text); }
    Script &value(int value) { return add(true, QString(), value); }
    Script &button(int button) { return add(false, QString(), 0, button); }
    Script &cancel() { return add(false); }
    QStringList texts() const
    {
        QStringList out;
        for (const CPrompt::Request &r : requests)
            out << r.title + '|' + r.text;
        return out;
    }

    QList<CPrompt::Request> requests;
    QList<CPrompt::Answer> answers;

private:
    CPrompt::ScopedHandler m_handler;
};

// The main window as the editor reaches it: keeps what is handed on.
class FakeMainWindow : public ScriptedMainWindow
{
    Q_OBJECT

public:
    ~FakeMainWindow() override { qDeleteAll(documents); }

    QStringList paths;
    QList<CFileVBSP *> documents;

public slots:
    void showVVBSP(const QString &path) { paths << path; }
    void showVVBSP(CFileVBSP *document) { documents << document; }
};

// grass(0.5)[tufts[fern(model), blade], moss[]] rocks[]
CFileVBSP *sample(const std::string &path = std::string())
{
    auto *document = new CFileVBSP(path);
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

VVBSPTreeWidgetItem *itemAt(QTreeWidget *tree, const QStringList &path)
{
    QTreeWidgetItem *item = nullptr;
    for (const QString &name : path) {
        const int count = item ? item->childCount() : tree->topLevelItemCount();
        QTreeWidgetItem *next = nullptr;
        for (int i = 0; i < count && !next; ++i) {
            QTreeWidgetItem *child = item ? item->child(i) : tree->topLevelItem(i);
            if (child->text(0) == name)
                next = child;
        }
        item = next;
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

// Types the text as a user would (through the validator) and presses Return.
void type(QWidget *window, const QString &field, const QString &text)
{
    auto *edit = window->findChild<QLineEdit *>(field);
    QVERIFY2(edit, qPrintable(field));
    edit->clear();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    QCOMPARE(out.write(bytes), qint64(bytes.size()));
}

QString shown(QWidget *window, const QString &field)
{
    return window->findChild<QLineEdit *>(field)->text();
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
    void saveFlows();
    void closeFlow_data();
    void closeFlow();
    void textureSize_data();
    void textureSize();
    void panelClamps_data();
    void panelClamps();
    void fieldEnabling();
    void treeMoves();
    void contextMenu_data();
    void contextMenu();
    void addPasteRename();
    void deleteCurrentRecords();

private:
    VVBSP *open(CFileVBSP *document);
    QString file(const QString &name) const { return m_dir->filePath(name); }

    FakeMainWindow *m_main = nullptr;
    QTemporaryDir *m_dir = nullptr;
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
    m_main = new FakeMainWindow;
    m_dir = new QTemporaryDir;
}

void TestVbspEditor::cleanup()
{
    delete m_window;
    delete m_main;
    delete m_dir;
}

VVBSP *TestVbspEditor::open(CFileVBSP *document)
{
    m_window = new VVBSP(document);
    return m_window;
}

void TestVbspEditor::emptyWindowAndNew()
{
    m_window = new VVBSP;
    QCOMPARE(m_window->windowTitle(), QStringLiteral("VBSP Editor[*]"));
    QVERIFY(!m_window->tree()->isEnabled());
    const QStringList gated{"Save", "Save As...", "Save Copy As...", "Set Texture Dimension...",
                            "Detail Shape Support"};
    for (const QString &text : gated)
        QVERIFY2(!action(m_window, text)->isEnabled(), qPrintable(text));
    m_window->fileSave();

    m_window->fileNew();
    QVERIFY(m_window->document());
    QVERIFY(m_window->tree()->isEnabled());
    QVERIFY(!m_window->isWindowModified());
    for (const QString &text : gated)
        QVERIFY2(action(m_window, text)->isEnabled(), qPrintable(text));

    // Shape support: the writer follows the toggle.
    auto *shapes = m_window->findChild<QGroupBox *>("detailShapeOptions");
    QVERIFY(shapes->isEnabledTo(shapes->parentWidget()));
    m_window->toggleDetailShapeSupport();
    QVERIFY(!m_window->document()->detailShapeSupport);
    QVERIFY(!shapes->isEnabledTo(shapes->parentWidget()));
    QVERIFY(m_window->isWindowModified());

    // A further New goes to a new window.
    m_window->fileNew();
    QCOMPARE(m_main->documents.size(), 1);
}

void TestVbspEditor::openFiles()
{
    const QString withProps = file("meadow.vbsp");
    writeFile(withProps, propFile({"\"sprite\" \"0 0 8 8 512\""}));
    m_window = new VVBSP(withProps);
    QCOMPARE(m_window->textureSize(), 512);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("meadow[*]"));
    QVERIFY(itemAt(m_window->tree(), {"t", "g", "p"}));

    // A window that holds a document opens further files elsewhere.
    Script script;
    script.text(withProps);
    m_window->fileOpen();
    QCOMPARE(m_main->paths, QStringList{withProps});
    delete m_window;

    const QString noProps = file("bare.vbsp");
    writeFile(noProps, "detail\n{\na\n{\ng\n{\n}\n}\n}\n");
    m_window = new VVBSP(noProps);
    QCOMPARE(m_window->textureSize(), -1);
    delete m_window;

    const QString missing = file("missing.vbsp");
    m_window = new VVBSP(missing);
    QCOMPARE(script.texts().last(),
             QStringLiteral("VBSP Editor[*]|Unable to read \"%1\"").arg(missing));
    QVERIFY(!m_window->document());
    QVERIFY(!m_window->tree()->isEnabled());
}

void TestVbspEditor::saveFlows()
{
    const QString bad = file("missing/out.vbsp");
    open(sample());
    m_window->setWindowModified(true);
    Script script;
    script.cancel();
    m_window->fileSave();
    QVERIFY(m_window->path().isEmpty());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("VBSP Editor[*]"));

    // Save As to a place that cannot be written: the name is taken all the same.
    script.text(bad);
    m_window->fileSaveAs();
    QCOMPARE(script.texts().last(), QStringLiteral("out[*]|Unable to write \"%1\"").arg(bad));
    QCOMPARE(m_window->path(), bad);
    QVERIFY(m_window->isWindowModified());

    const QString copy = file("copy.vbsp");
    script.text(copy);
    m_window->fileSaveCopyAs();
    QFile written(copy);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), vbspBytes(*m_window->document()));
    QCOMPARE(m_window->path(), bad);
    QVERIFY(m_window->isWindowModified());
}

void TestVbspEditor::closeFlow_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("target"); // "" asks for a path, which is cancelled
    QTest::addColumn<bool>("closes");

    QTest::newRow("discard") << int(QMessageBox::Discard) << "" << true;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << "" << false;
    QTest::newRow("save, dialog cancelled") << int(QMessageBox::Save) << "" << false;
    QTest::newRow("save fails") << int(QMessageBox::Save) << "missing/x.vbsp" << false;
    QTest::newRow("save") << int(QMessageBox::Save) << "x.vbsp" << true;
}

void TestVbspEditor::closeFlow()
{
    QFETCH(int, answer);
    QFETCH(QString, target);
    QFETCH(bool, closes);

    const QString path = target.isEmpty() ? QString() : file(target);
    open(sample(QFile::encodeName(path).toStdString()));
    QVERIFY(m_window->close()); // unmodified: no question
    open(sample(QFile::encodeName(path).toStdString()));
    m_window->setWindowModified(true);
    Script script;
    script.button(answer);
    QCOMPARE(m_window->close(), closes);
    QCOMPARE(script.requests.first().title, m_window->windowTitle());
    QCOMPARE(QFile::exists(path), closes && !path.isEmpty());
}

void TestVbspEditor::textureSize_data()
{
    QTest::addColumn<int>("entered");
    QTest::addColumn<int>("size");

    QTest::newRow("1000") << 1000 << 512;
    QTest::newRow("1024") << 1024 << 1024;
    QTest::newRow("1") << 1 << 1;
}

void TestVbspEditor::textureSize()
{
    QFETCH(int, entered);
    QFETCH(int, size);

    open(sample());
    Script script;
    script.value(entered);
    m_window->setTextureDimension();
    QCOMPARE(m_window->textureSize(), size);
    QCOMPARE(m_window->isWindowModified(), size == entered);
    if (size != entered)
        QCOMPARE(script.requests.last().text,
                 QStringLiteral("Size must be a power of two between 1 and 4096."));
    QCOMPARE(m_window->document()->types[0]->groups[0]->props[0]->textureDimension, 512);
}

void TestVbspEditor::panelClamps_data()
{
    QTest::addColumn<QStringList>("item");
    QTest::addColumn<QStringList>("steps"); // field, typed, shown

    QTest::newRow("alpha") << QStringList{"grass", "tufts"}
                           << QStringList{"detailgroupAlphaEdit", "1.5", "1",
                                          "detailgroupAlphaEdit", "0.5", "0.5"};
    QTest::newRow("density") << QStringList{"grass"}
                             << QStringList{"detailtypeDensityEdit", "-3",    "0",
                                            "detailtypeDensityEdit", "12.25", "12.25"};
    QTest::newRow("angles") << QStringList{"grass", "tufts", "blade"}
                            << QStringList{"detailpropEdit_minangle", "200", "180",
                                           "detailpropEdit_maxangle", "90",  "180",
                                           "detailpropEdit_minangle", "0",   "0",
                                           "detailpropEdit_maxangle", "400", "360"};
    QTest::newRow("sheet") << QStringList{"grass", "tufts", "blade"}
                           << QStringList{"detailpropEdit_xOrigin",     "5000",      "4096",
                                          "detailpropEdit_yHeight",     "-2",        "0",
                                          "detailpropEdit_uWidth",      "0.1234567", "0.123456",
                                          "detailpropEdit_shape_angle", "361",       "360"};
}

void TestVbspEditor::panelClamps()
{
    QFETCH(QStringList, item);
    QFETCH(QStringList, steps);

    open(sample());
    QTreeWidgetItem *row = itemAt(m_window->tree(), item);
    m_window->tree()->setCurrentItem(row);
    QMap<QString, QString> last;
    for (int i = 0; i < steps.size(); i += 3) {
        type(m_window, steps[i], steps[i + 1]);
        QCOMPARE(shown(m_window, steps[i]), steps[i + 2]);
        last[steps[i]] = steps[i + 2];
    }
    QVERIFY(m_window->isWindowModified());
    // Shown again from the record.
    m_window->tree()->setCurrentItem(nullptr);
    m_window->tree()->setCurrentItem(row);
    for (auto it = last.cbegin(); it != last.cend(); ++it)
        QCOMPARE(shown(m_window, it.key()), it.value());
}

void TestVbspEditor::fieldEnabling()
{
    CFileVBSP *document = sample();
    CDetailProp *blade = document->types[0]->groups[0]->props[1];
    blade->sprite_shape = "CROSS";
    document->types[0]->groups[0]->props[0]->sprite_shape = "odd";
    open(document);
    QTreeWidget *tree = m_window->tree();
    const QStringList fields{"detailpropEdit_amount",    "detailpropEdit_model",
                             "detailpropEdit_minangle",  "detailpropCombo_detailOrientation",
                             "detailpropCheck_Upright",  "detailpropEdit_xOrigin",
                             "detailpropEdit_vHeight",   "detailpropCombo_sprite_shape",
                             "detailpropEdit_sway",      "detailpropEdit_shape_angle",
                             "detailpropEdit_shape_size"};
    const auto enabled = [&] {
        QStringList out;
        for (const QString &name : fields) {
            if (m_window->findChild<QWidget *>(name)->isEnabled())
                out << name;
        }
        return out;
    };
    auto *shape = m_window->findChild<QComboBox *>("detailpropCombo_sprite_shape");

    tree->setCurrentItem(itemAt(tree, {"grass", "tufts", "fern"}));
    QCOMPARE(enabled(), fields.mid(0, 2));
    QCOMPARE(shape->currentIndex(), 0);
    QCOMPARE(document->types[0]->groups[0]->props[0]->sprite_shape, std::string("odd"));
    tree->setCurrentItem(itemAt(tree, {"grass", "tufts", "blade"}));
    QCOMPARE(enabled(), fields);
    QCOMPARE(shape->currentIndex(), 2);
    QCOMPARE(blade->sprite_shape, std::string("CROSS"));

    const QList<QStringList> byShape{fields.mid(0, 8), fields, fields.mid(0, 9)};
    for (int index : {0, 2, 1}) {
        shape->setCurrentIndex(index);
        emit shape->activated(index);
        QCOMPARE(enabled(), byShape[index]);
    }
    QCOMPARE(blade->sprite_shape, std::string("tri"));
    QVERIFY(m_window->isWindowModified());

    tree->setCurrentItem(itemAt(tree, {"rocks"}));
    QVERIFY(m_window->findChild<QGroupBox *>("detailTypeOptions")->isEnabled());
    QVERIFY(!m_window->findChild<QGroupBox *>("detailGroupOptions")->isEnabled());
    QVERIFY(!m_window->findChild<QGroupBox *>("detailPropOptions")->isEnabled());
    QCOMPARE(shown(m_window, "detailpropEdit_amount"), QString());
    QCOMPARE(shape->count(), 0);
}

void TestVbspEditor::treeMoves()
{
    const QString path = file("moves.vbsp");
    open(sample(QFile::encodeName(path).toStdString()));
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

    m_window->fileSave();
    QVERIFY(!m_window->isWindowModified());
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    QVERIFY(bytes.indexOf("\trocks\r\n") < bytes.indexOf("\tgrass\r\n"));
    QVERIFY(bytes.indexOf("\t\t\tblade\r\n") < bytes.indexOf("\t\t\tfern\r\n"));
}

void TestVbspEditor::contextMenu_data()
{
    QTest::addColumn<QStringList>("target");
    QTest::addColumn<QStringList>("copied");
    QTest::addColumn<QString>("entries");

    const QStringList space, type{"grass"}, group{"grass", "tufts"}, prop{"grass", "tufts", "fern"};
    QTest::newRow("space") << space << QStringList() << "Add Type, Delete";
    QTest::newRow("space, type copied") << space << type << "Add Type, Paste, Delete";
    QTest::newRow("space, group copied") << space << group << "Add Type, Paste-, Delete";
    QTest::newRow("type, group copied") << type << group << "Add Group, Copy, Paste, Delete";
    QTest::newRow("group, type copied") << group << type << "Add Prop, Copy, Paste-, Delete";
    QTest::newRow("group, prop copied") << group << prop << "Add Prop, Copy, Paste, Delete";
    QTest::newRow("prop, prop copied") << prop << prop << "Copy, Delete";
}

void TestVbspEditor::contextMenu()
{
    QFETCH(QStringList, target);
    QFETCH(QStringList, copied);
    QFETCH(QString, entries);

    open(sample());
    QTreeWidget *tree = m_window->tree();
    if (!copied.isEmpty()) {
        m_window->prepareContextMenu(itemAt(tree, copied));
        m_window->contextCopy();
    }
    m_window->prepareContextMenu(target.isEmpty() ? nullptr : itemAt(tree, target));
    QStringList texts;
    for (const QAction *a : m_window->contextMenu()->actions())
        texts << a->text() + (a->isEnabled() ? "" : "-");
    QCOMPARE(texts.join(", "), entries);
    QVERIFY(!m_window->isWindowModified());
}

void TestVbspEditor::addPasteRename()
{
    m_window = new VVBSP;
    m_window->fileNew();
    QTreeWidget *tree = m_window->tree();
    CFileVBSP *document = m_window->document();
    Script script;
    script.text("grass").text("grass").text("tall grass").text("rocks");
    for (int i = 0; i < 4; ++i) {
        m_window->prepareContextMenu(nullptr);
        m_window->contextAddType();
    }
    QCOMPARE(topNames(tree), (QStringList{"grass", "rocks"}));
    script.text("tufts").text("tufts");
    m_window->prepareContextMenu(itemAt(tree, {"grass"}));
    m_window->contextAddGroup();
    m_window->prepareContextMenu(itemAt(tree, {"rocks"}));
    m_window->contextAddGroup();
    QCOMPARE(outline(*document), QStringLiteral("grass(0)[tufts(0)[]] rocks(0)[tufts(0)[]]"));

    // The first prop needs the sheet size; cancelling it adds nothing.
    script.requests.clear();
    script.cancel().value(256).text("fern");
    m_window->prepareContextMenu(itemAt(tree, {"grass", "tufts"}));
    m_window->contextAddProp();
    QCOMPARE(script.requests.size(), 1);
    m_window->contextAddProp();
    QCOMPARE(document->types[0]->groups[0]->props.at(0)->textureDimension, 256);
    QVERIFY(itemAt(tree, {"grass", "tufts", "fern"}));

    m_window->prepareContextMenu(itemAt(tree, {"grass"}));
    m_window->contextCopy();
    for (int i = 0; i < 2; ++i) {
        m_window->prepareContextMenu(nullptr);
        m_window->contextPaste();
    }
    QCOMPARE(topNames(tree), (QStringList{"grass", "rocks", "grass_1", "grass_2"}));
    QVERIFY(itemAt(tree, {"grass_2", "tufts", "fern"}));
    QCOMPARE(outline(*document).count("fern"), 3);

    // Renaming to a sibling's name, or to its own, does nothing.
    script.requests.clear();
    script.text("grass").text("rocks").text("stones");
    for (int i = 0; i < 3; ++i)
        m_window->itemDoubleClicked(itemAt(tree, {"rocks"}), 0);
    QCOMPARE(script.texts(), (QStringList{"Rename Item|New name:", "Rename Item|New name:",
                                          "Rename Item|New name:", "|stones"}));
    QVERIFY(!script.requests.last().parent);
    QCOMPARE(document->types[1]->name, std::string("stones"));
    QCOMPARE(topNames(tree)[1], QStringLiteral("stones"));
}

// Deleting records the panels show leaves no panel pointing at freed memory;
// the sanitizer build checks the edits that follow.
void TestVbspEditor::deleteCurrentRecords()
{
    open(sample());
    QTreeWidget *tree = m_window->tree();
    tree->setCurrentItem(itemAt(tree, {"grass", "tufts", "blade"}));
    auto *amount = m_window->findChild<QLineEdit *>("detailpropEdit_amount");
    amount->setText("0.5");
    m_window->prepareContextMenu(itemAt(tree, {"grass"}));
    m_window->contextDelete();
    emit amount->editingFinished();
    m_window->detailtypeDensityEditEdited();
    m_window->detailpropCombo_sprite_shapeChanged(1);
    QCOMPARE(outline(*m_window->document()), QStringLiteral("rocks(0)[]"));
    QVERIFY(!m_window->findChild<QGroupBox *>("detailPropOptions")->isEnabled());

    m_window->prepareContextMenu(itemAt(tree, {"rocks"}));
    m_window->contextDelete();
    QCOMPARE(tree->topLevelItemCount(), 0);
    for (const char *box : {"detailTypeOptions", "detailGroupOptions", "detailPropOptions"})
        QVERIFY(!m_window->findChild<QGroupBox *>(box)->isEnabled());
    QVERIFY(m_window->isWindowModified());
}

QTEST_MAIN(TestVbspEditor)
#include "tst_vbspeditor.moc"
