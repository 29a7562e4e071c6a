#include "EditingFixture.h"
#include "EditorScript.h"
#include "PCFFormatChoice.h"
#include "WarningLog.h"
#include "initResources.h"

#include <QHeaderView>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidgetItemIterator>
#include <QtTest>

namespace {

const QStringList psd{"particleSystemDefinitions"};

QStringList path(const QStringList &tail)
{
    return psd + tail;
}

QStringList actionTexts(const QMenu *menu)
{
    QStringList out;
    for (const QAction *action : menu->actions())
        out << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return out;
}

// Opens the context menu on a row and picks one of its entries.
void act(VParticle *window, const QStringList &row, QAction *VParticle::*entry)
{
    window->prepareContextMenu(rowAt(window->tree, row));
    (window->*entry)->trigger();
}

QImage iconImage(const QIcon &icon)
{
    return icon.pixmap(16, 16).toImage();
}

} // namespace

class TestParticleEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void init();
    void cleanup();

    void emptyWindow();
    void attachedDocument();
    void furtherDocumentsOpenElsewhere();
    void failedOpen();
    void treeRows();
    void deepDocument();
    void nameColumnFitsTheTemplates();
    void inPlaceEditing_data();
    void inPlaceEditing();
    void unchangedEditorStaysOutOfLaterEdits();
    void contextMenuEntries_data();
    void contextMenuEntries();
    void addAttribute();
    void addSystemElementAndChild();
    void addArrayItems();
    void renames();
    void scrambleGuid();
    void deleteSystem();
    void deleteRowsOfEachKind();
    void deleteNullItems();
    void arrayConversion();
    void saveAndClose();
    void convertFormat();
    void dictionaryAndFormatChoice();
    void addAttributeDialog();

private:
    VParticle *open(CFilePCF *document);

    FakeMainWindow *m_main = nullptr;
    QPointer<VParticle> m_window;
};

void TestParticleEditor::init()
{
    m_main = new FakeMainWindow;
}

void TestParticleEditor::cleanup()
{
    if (m_window) {
        m_window->setWindowModified(false);
        delete m_window;
    }
    delete m_main;
}

VParticle *TestParticleEditor::open(CFilePCF *document)
{
    m_window = new VParticle(m_main, document);
    return m_window;
}

void TestParticleEditor::emptyWindow()
{
    m_window = new VParticle(m_main);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Particle Editor"));
    QVERIFY(m_window->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(!m_window->tree->isEnabled());
    QCOMPARE(m_window->tree->headerItem()->text(2), QStringLiteral("Value"));

    const QList<QAction *> menus = m_window->menuBar()->actions();
    QCOMPARE(menus.size(), 3);
    QCOMPARE(actionTexts(m_window->menuFile),
             QStringList({"New", "Open...", "Save", "Save As...", "Save Copy As...", "-",
                          "Import...", "Export...", "-", "Exit"}));
    QCOMPARE(actionTexts(m_window->menuTools),
             QStringList({"Ensure GUID Uniqueness", "Find System...", "Generate Map Manifest",
                          "Mass Format...", "View String Dictionary", "-", "Replot Tree"}));
    QCOMPARE(actionTexts(m_window->menuGuid), QStringList({"(N/A)", "Multiple files..."}));
    QCOMPARE(actionTexts(m_window->menuFormat), pcfFormatNames());
    QCOMPARE(m_window->actionSave->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    for (QAction *action :
         {m_window->actionSave, m_window->actionSaveAs, m_window->actionExport,
          m_window->actionGuidSingle, m_window->actionStringDictionary, m_window->actionFormat[0]})
        QVERIFY(!action->isEnabled());
    QVERIFY(m_window->actionNew->isEnabled());
    QVERIFY(m_window->actionMassFormat->isEnabled());
    QCOMPARE(iconImage(m_window->actionSave->icon()), iconImage(QIcon(":/resources/icons/disk")));
    QVERIFY(!m_window->windowIcon().isNull());
    QVERIFY(!m_window->menuGuid->icon().isNull());
}

void TestParticleEditor::attachedDocument()
{
    VParticle *window = open(EditingFixture::chainDocument(2));
    QCOMPARE(window->windowTitle(), QStringLiteral("Untitled[*]"));
    QVERIFY(!window->isWindowModified());
    QVERIFY(window->tree->isEnabled());
    QVERIFY(window->actionSave->isEnabled());
    QCOMPARE(window->actionGuidSingle->text(), QStringLiteral("Untitled"));
    const QImage tick = iconImage(QIcon(":/resources/icons/tick"));
    QVERIFY(iconImage(window->actionFormat[1]->icon()) == tick);
    QVERIFY(iconImage(window->actionFormat[0]->icon()) != tick);
}

void TestParticleEditor::furtherDocumentsOpenElsewhere()
{
    EditorScript script;
    VParticle *window = open(EditingFixture::chainDocument());
    CFilePCF *first = window->document;
    CFilePCF *second = EditingFixture::chainDocument();
    window->setDocument(second);
    window->openFile(QStringLiteral("other.pcf"));
    script.text(pcfFormatNames()[2]);
    window->actionNew->trigger();
    QCOMPARE(window->document, first);
    QCOMPARE(m_main->paths, QStringList({"other.pcf"}));
    QCOMPARE(m_main->documents.size(), 2);
    QCOMPARE(m_main->documents[0], second);
    QCOMPARE(m_main->documents[1]->format, 3);
    QCOMPARE(script.asked[0].title, QStringLiteral("New Particle"));
    QCOMPARE(script.asked[0].text, QStringLiteral("Version:"));
}

void TestParticleEditor::failedOpen()
{
    EditorScript script;
    QTemporaryDir dir;
    const QString file = dir.filePath("bad.pcf");
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("<!-- dmx encoding binary 2 format dmx 1 -->\n", 45);
    out.close();
    m_window = new VParticle(m_main, file);
    QCOMPARE(script.asked.size(), 1);
    QCOMPARE(script.asked[0].kind, CPrompt::Kind::Warning);
    QCOMPARE(script.asked[0].text,
             QStringLiteral("Read Error: Format recognized but not supported"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Particle Editor"));
    QVERIFY(!m_window->document);
    QVERIFY(m_window->documentPath.isEmpty());
    QVERIFY(!m_window->actionSave->isEnabled());
    QVERIFY(!m_window->actionFormat[2]->isEnabled());
}

void TestParticleEditor::treeRows()
{
    VParticle *window = open(EditingFixture::chainDocument());
    QTreeWidget *tree = window->tree;
    QCOMPARE(tree->topLevelItemCount(), 1);
    VParticleTreeWidgetItem *systems = rowAt(tree, psd);
    QCOMPARE(systems->text(1), QStringLiteral("ELEMENT_ARRAY"));
    QCOMPARE(systems->text(2), QStringLiteral("3 Item(s)"));
    QVERIFY(systems->isExpanded());
    QCOMPARE(childNames(systems), QStringList({"fire", "smoke", "sparks"}));

    DMXElement *fire = window->document->findParticleSystem("fire");
    VParticleTreeWidgetItem *fireRow = rowAt(tree, path({"fire"}));
    QVERIFY(!fireRow->isExpanded());
    QCOMPARE(fireRow->text(2), "DmeParticleSystemDefinition " + fire->guid.toString());
    QCOMPARE(childNames(fireRow), QStringList({"radius", "x", "operators", "children"}));
    QCOMPARE(childNames(rowAt(tree, path({"fire", "x"}))), QStringList({"x[0]", "x[1]", "x[2]"}));
    QCOMPARE(rowAt(tree, path({"fire", "x", "x[1]"}))->text(1), QStringLiteral("FLOAT"));

    // "sparks" is listed under the systems, under smoke's child entry and
    // under the entry of the smoke that fire names.
    DMXElement *sparks = window->document->findParticleSystem("sparks");
    QCOMPARE(window->rows()->rowsOfValue(sparks).size(), 3);
    VParticleTreeWidgetItem *link = rowAt(tree, path({"fire", "children", "smoke", "smoke"}));
    QCOMPARE(link->text(2),
             "child " + window->document->findParticleSystem("smoke")->guid.toString());
    QCOMPARE(childNames(link), QStringList({"radius", "x", "operators", "children"}));

    // A system that names itself is shown, and then as a leaf.
    fire->attribute("children")->elementList()->append(DmxBuild::childEntry(fire));
    window->document->elements.append(fire->attribute("children")->elementList()->last());
    window->fillTree();
    VParticleTreeWidgetItem *self = rowAt(tree, path({"fire", "children", "fire", "fire"}));
    QVERIFY(self);
    QCOMPARE(self->childCount(), 0);
    QVERIFY(!self->expanded);
}

void TestParticleEditor::deepDocument()
{
    // Five thousand elements, each owning the next: the tree stops at a
    // bounded depth instead of exhausting the stack.
    CFilePCF *document = newDmxRoot(2);
    DMXElement *system = DmxBuild::element("DmeParticleSystemDefinition", "deep");
    DmxBuild::addSystem(document, system);
    DMXElement *last = system;
    for (int i = 0; i < 5000; ++i) {
        DMXElement *next = DmxBuild::element("DmeParticleOperator", QString::number(i));
        DmxBuild::add(last, "next", ATTRIBUTE_ELEMENT, next);
        document->elements.append(next);
        last = next;
    }
    VParticle *window = open(document);
    int depth = 0;
    for (QTreeWidgetItem *row = window->tree->topLevelItem(0); row && row->childCount() > 0;
         row = row->child(0))
        ++depth;
    QVERIFY(depth > VParticleTreeRows::MaxDepth / 2);
    QVERIFY(depth <= VParticleTreeRows::MaxDepth + 2);
}

void TestParticleEditor::nameColumnFitsTheTemplates()
{
    // A fresh editor shows every name of the shipped templates whole, all
    // rows unfolded; the user may still widen the column.
    for (const char *resource : {":/resources/data/particle_defaults_orangebox.pcf",
                                 ":/resources/data/particle_defaults_l4d.pcf",
                                 ":/resources/data/particle_defaults_l4d2.pcf"}) {
        auto *document = new CFilePCF;
        PCFDelegate reader;
        QVERIFY2(reader.read(QString::fromLatin1(resource), document), resource);
        VParticle window(m_main, document);
        QTreeWidget *tree = window.tree;
        QCOMPARE(tree->header()->sectionResizeMode(0), QHeaderView::Interactive);
        tree->expandAll();
        const int width = tree->columnWidth(0);
        int rows = 0;
        for (QTreeWidgetItemIterator it(tree); *it; ++it, ++rows) {
            const int textStart = tree->visualItemRect(*it).left();
            const int needed = textStart + tree->fontMetrics().horizontalAdvance((*it)->text(0));
            QVERIFY2(needed <= width, qPrintable((*it)->text(0)));
        }
        QVERIFY(rows > 100);
    }
}

void TestParticleEditor::inPlaceEditing_data()
{
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("modified");

    const auto row = [](const char *name, const QStringList &tail, bool opens, const char *typed,
                        const char *shown, bool modified) {
        QTest::newRow(name) << path(tail) << opens << QString(typed) << QString(shown) << modified;
    };
    row("float", {"smoke", "radius"}, true, "7.5", "7.5", true);
    row("float, letters", {"smoke", "radius"}, true, "abc", "2", false);
    row("array item", {"smoke", "x", "x[1]"}, true, " 9 ", "9", true);
    row("element", {"smoke"}, false, "", "", false);
    row("array", {"smoke", "x"}, false, "", "", false);
}

void TestParticleEditor::inPlaceEditing()
{
    QFETCH(QStringList, row);
    QFETCH(bool, opens);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, modified);

    VParticle *window = open(EditingFixture::chainDocument());
    window->show();
    VParticleTreeWidgetItem *target = rowAt(window->tree, row);
    QVERIFY(target);
    emit window->tree->itemClicked(target, 0);
    QVERIFY(!target->editorOpen);
    emit window->tree->itemClicked(target, 2);
    QCOMPARE(target->editorOpen, opens);
    QCOMPARE(target->editArmed, opens);
    if (!opens)
        return;
    target->setText(2, typed);
    QVERIFY(!target->editArmed);
    QCOMPARE(window->isWindowModified(), modified);
    // smoke is shown under the systems and under fire's child entry.
    const QList<VParticleTreeWidgetItem *> both =
        rowsAt(window->tree,
               QStringList{"particleSystemDefinitions", "fire", "children", "smoke", "smoke"} +
                   row.mid(2)) +
        rowsAt(window->tree, row);
    QCOMPARE(both.size(), 2);
    for (VParticleTreeWidgetItem *shownRow : both)
        QCOMPARE(shownRow->text(2), shown);
}

void TestParticleEditor::unchangedEditorStaysOutOfLaterEdits()
{
    // An editor left without a change keeps its row armed; refreshing that
    // row for an edit made at another place must not read its text back in.
    VParticle *window = open(EditingFixture::chainDocument());
    window->show();
    DMXAttribute *radius = window->document->findParticleSystem("smoke")->attribute("radius");
    VParticleTreeWidgetItem *first = rowAt(window->tree, path({"smoke", "radius"}));
    VParticleTreeWidgetItem *second =
        rowAt(window->tree, path({"fire", "children", "smoke", "smoke", "radius"}));
    emit window->tree->itemClicked(first, 2);
    QWidget *editor = window->tree->itemWidget(first, 2);
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(first->editArmed);

    // More precision than a cell shows is kept, and nothing else is marked.
    emit window->tree->itemClicked(second, 2);
    second->setText(2, QStringLiteral("0.0000001"));
    QVERIFY(*static_cast<float *>(radius->value()) == 0.0000001f);
    QCOMPARE(first->text(2), QStringLiteral("0"));
    QVERIFY(first->editArmed);
}

void TestParticleEditor::contextMenuEntries_data()
{
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<QStringList>("entries");

    const QStringList add{"Add Attribute"}, rename{"Rename Attribute"}, remove{"Delete"};
    const QStringList guid{"Scramble GUID"}, to{"To Array"}, from{"From Array"};
    QTest::newRow("top level") << psd << add + remove;
    QTest::newRow("system") << path({"fire"}) << add + rename + guid + remove;
    QTest::newRow("float") << path({"fire", "radius"}) << rename + to + remove;
    QTest::newRow("float array") << path({"fire", "x"}) << add + rename + from + remove;
    QTest::newRow("array item") << path({"fire", "x", "x[0]"}) << remove;
    QTest::newRow("element array") << path({"fire", "operators"}) << add + remove;
}

void TestParticleEditor::contextMenuEntries()
{
    QFETCH(QStringList, row);
    QFETCH(QStringList, entries);
    VParticle *window = open(EditingFixture::chainDocument());
    VParticleTreeWidgetItem *target = rowAt(window->tree, row);
    window->prepareContextMenu(target);
    QCOMPARE(window->contextItem, target);
    QCOMPARE(window->contextParent, target->parentRow());
    QCOMPARE(actionTexts(window->contextMenu()), entries);
}

void TestParticleEditor::addAttribute()
{
    EditorScript script;
    VParticle *window = open(EditingFixture::chainDocument());
    DMXElement *smoke = window->document->findParticleSystem("smoke");
    const int count = smoke->attributes.size();

    // Cancelled, and a name the element already has: nothing.
    script.cancel().attribute("radius", "MATRIX");
    for (int i = 0; i < 2; ++i)
        act(window, path({"smoke"}), &VParticle::contextAddAttributeAction);
    QCOMPARE(smoke->attributes.size(), count);
    QVERIFY(!window->isWindowModified());
    QCOMPARE(script.asked[0].title, QStringLiteral("Add Attribute"));

    script.attribute("spin", "MATRIX");
    act(window, path({"smoke"}), &VParticle::contextAddAttributeAction);
    QCOMPARE(smoke->attributes.size(), count + 1);
    QCOMPARE(smoke->attributes.last()->valueString(),
             QStringLiteral("1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1"));
    QCOMPARE(rowsAt(window->tree, path({"smoke", "spin"})).size(), 1);
    QCOMPARE(rowsAt(window->tree, path({"fire", "children", "smoke", "smoke", "spin"})).size(), 1);
    QVERIFY(window->isWindowModified());
}

void TestParticleEditor::addSystemElementAndChild()
{
    EditorScript script;
    TemplateScope templates({nullptr, EditingFixture::templateDocument(2)});
    VParticle *window = open(EditingFixture::chainDocument(2));
    auto trigger = [&](const QStringList &row) {
        act(window, row, &VParticle::contextAddAttributeAction);
    };

    // Cancelled and taken names change nothing.
    script.cancel().text(QStringLiteral("fire"));
    trigger(psd);
    trigger(psd);
    QVERIFY(!window->isWindowModified());

    script.text(QStringLiteral(" glow "));
    trigger(psd);
    QCOMPARE(script.asked.last().title, QStringLiteral("Add Particle System"));
    QCOMPARE(script.asked.last().text, QStringLiteral("System Name:"));
    QCOMPARE(childNames(rowAt(window->tree, psd)),
             QStringList({"fire", "smoke", "sparks", "glow"}));
    QCOMPARE(rowAt(window->tree, psd)->text(2), QStringLiteral("4 Item(s)"));
    QVERIFY(window->isWindowModified());

    script.pick(1);
    trigger(path({"glow", "operators"}));
    QCOMPARE(script.offered.last(), QStringList({"Movement Basic", "Alpha Fade"}));
    QCOMPARE(childNames(rowAt(window->tree, path({"glow", "operators"}))),
             QStringList({"Alpha Fade"}));

    // Add Child leaves out the system and its relatives; the chosen row, not
    // the first system of that name, is linked.
    script.text(QStringLiteral("halo"));
    trigger(psd);
    DMXElement *halo = window->document->findParticleSystem("halo");
    halo->name = QStringLiteral("fire");
    window->fillTree();
    script.cancel();
    trigger(path({"sparks", "children"}));
    QCOMPARE(script.offered.last(), QStringList({"glow", "fire"}));
    script.pick(3);
    trigger(path({"glow", "children"}));
    QCOMPARE(script.offered.last(), QStringList({"fire", "smoke", "sparks", "fire"}));
    const QList<VParticleTreeWidgetItem *> links =
        rowsAt(window->tree, path({"glow", "children", "fire", "fire"}));
    QCOMPARE(links.size(), 1);
    QCOMPARE(links[0]->element(), halo);
    QCOMPARE(links[0]->parentRow()->text(1), QStringLiteral("ELEMENT"));
    QCOMPARE(childNames(links[0]->parentRow()), QStringList({"delay", "fire"}));
    QVERIFY(window->document->findParticleSystem("glow")->hasChildSystem(halo));

    QStringList before, after;
    QVERIFY(EditingFixture::roundTrip(window->document, &before, &after));
    QCOMPARE(after, before);
}

void TestParticleEditor::addArrayItems()
{
    EditorScript script;
    VParticle *window = open(EditingFixture::chainDocument());
    act(window, path({"smoke", "x"}), &VParticle::contextAddAttributeAction);
    for (VParticleTreeWidgetItem *row :
         rowsAt(window->tree, path({"smoke", "x"})) +
             rowsAt(window->tree, path({"fire", "children", "smoke", "smoke", "x"}))) {
        QCOMPARE(childNames(row), QStringList({"x[0]", "x[1]", "x[2]", "x[3]"}));
        QCOMPARE(row->text(2), QStringLiteral("4 Item(s)"));
        QCOMPARE(row->child(3)->text(2), QStringLiteral("0"));
    }
    QVERIFY(script.asked.isEmpty());
    QVERIFY(window->isWindowModified());
}

void TestParticleEditor::renames()
{
    EditorScript script;
    VParticle *window = open(EditingFixture::chainDocument());
    auto rename = [&](const QStringList &row) {
        act(window, row, &VParticle::contextRenameAttributeAction);
    };
    // A sibling's name, an existing system's name: refused silently.
    script.text("radius").text("sparks").text("smoke");
    rename(path({"smoke", "x"}));
    rename(path({"smoke", "operators", "Movement Basic"}));
    rename(path({"smoke"}));
    QVERIFY(!window->isWindowModified());
    QCOMPARE(script.asked[1].title, QStringLiteral("Rename Element"));
    QCOMPARE(script.asked[1].initialText, QStringLiteral("Movement Basic"));

    script.text(" y ");
    rename(path({"smoke", "x"}));
    QCOMPARE(script.asked.last().title, QStringLiteral("Rename Attribute"));
    QCOMPARE(rowsAt(window->tree, path({"smoke", "y"})).size(), 1);
    QCOMPARE(childNames(rowAt(window->tree, path({"fire", "children", "smoke", "smoke", "y"}))),
             QStringList({"y[0]", "y[1]", "y[2]"}));

    script.text("haze");
    rename(path({"smoke"}));
    QCOMPARE(rowsAt(window->tree, path({"haze"})).size(), 1);
    QCOMPARE(rowsAt(window->tree, path({"fire", "children", "smoke", "haze"})).size(), 1);
    QVERIFY(window->isWindowModified());
}

void TestParticleEditor::scrambleGuid()
{
    VParticle *window = open(EditingFixture::chainDocument());
    DMXElement *sparks = window->document->findParticleSystem("sparks");
    const QUuid old = sparks->guid;
    act(window, path({"sparks"}), &VParticle::contextScrambleGUIDAction);
    QVERIFY(sparks->guid != old);
    const QList<VParticleTreeWidgetItem *> rows = window->rows()->rowsOfValue(sparks);
    QCOMPARE(rows.size(), 3);
    for (VParticleTreeWidgetItem *row : rows)
        QCOMPARE(row->text(2), row->attribute->name() + ' ' + sparks->guid.toString());
    QVERIFY(window->isWindowModified());
}

void TestParticleEditor::deleteSystem()
{
    VParticle *window = open(EditingFixture::chainDocument());
    CFilePCF *document = window->document;
    act(window, path({"smoke"}), &VParticle::contextDeleteAction);
    QVERIFY(!window->contextItem);
    QCOMPARE(childNames(rowAt(window->tree, psd)), QStringList({"fire", "sparks"}));
    QCOMPARE(rowAt(window->tree, psd)->text(2), QStringLiteral("2 Item(s)"));
    VParticleTreeWidgetItem *children = rowAt(window->tree, path({"fire", "children"}));
    QCOMPARE(children->childCount(), 0);
    QCOMPARE(children->text(2), QStringLiteral("0 Item(s)"));
    QCOMPARE(document->elementsOfType("DmeParticleChild").size(), 0);
    QVERIFY(window->isWindowModified());

    // What is left still writes and reads back the same.
    QStringList before, after;
    QVERIFY(EditingFixture::roundTrip(document, &before, &after));
    QCOMPARE(after, before);
}

void TestParticleEditor::deleteRowsOfEachKind()
{
    EditorScript script;
    VParticle *window = open(EditingFixture::chainDocument());
    CFilePCF *document = window->document;
    auto remove = [&](const QStringList &row) {
        act(window, row, &VParticle::contextDeleteAction);
    };

    // Top-level rows stay; a generic element reference warns and stays.
    DMXElement *fire = document->findParticleSystem("fire");
    DmxBuild::add(fire, "link", ATTRIBUTE_ELEMENT, document->findParticleSystem("sparks"), false);
    window->fillTree();
    remove(psd);
    remove(path({"fire", "sparks"}));
    QCOMPARE(script.asked.size(), 1);
    QCOMPARE(script.asked[0].text, QStringLiteral("No deletion rules for generic element!"));
    QVERIFY(!window->isWindowModified());
    QCOMPARE(rowAt(window->tree, psd)->childCount(), 3);

    // An item of a value array: the rest are renumbered at both places.
    remove(path({"smoke", "x", "x[1]"}));
    for (VParticleTreeWidgetItem *row :
         rowsAt(window->tree, path({"smoke", "x"})) +
             rowsAt(window->tree, path({"fire", "children", "smoke", "smoke", "x"}))) {
        QCOMPARE(childNames(row), QStringList({"x[0]", "x[1]"}));
        QCOMPARE(row->child(1)->text(2), QStringLiteral("3"));
        QCOMPARE(row->text(2), QStringLiteral("2 Item(s)"));
    }
    QVERIFY(window->isWindowModified());

    // An attribute of an element shown at two places goes at both.
    remove(path({"smoke", "radius"}));
    QVERIFY(!document->findParticleSystem("smoke")->attribute("radius"));
    QVERIFY(rowsAt(window->tree, path({"fire", "children", "smoke", "smoke", "radius"})).isEmpty());

    // The "child" row of an entry takes the entry with it.
    remove(path({"fire", "children", "smoke", "smoke"}));
    QCOMPARE(rowAt(window->tree, path({"fire", "children"}))->childCount(), 0);
    QVERIFY(document->findParticleSystem("smoke"));

    // An element list row empties the list and keeps the attribute.
    remove(path({"sparks", "operators"}));
    DMXAttribute *operators = document->findParticleSystem("sparks")->attribute("operators");
    QVERIFY(operators);
    QCOMPARE(operators->itemCount(), 0);
    QCOMPARE(rowAt(window->tree, path({"sparks", "operators"}))->childCount(), 0);

    QStringList before, after;
    QVERIFY(EditingFixture::roundTrip(document, &before, &after));
    QCOMPARE(after, before);
}

// A null reference has its own row in a list; Delete takes it out of the
// file, and it cannot be renamed (its name is only the row's).
void TestParticleEditor::deleteNullItems()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("nulls.pcf");
    {
        std::unique_ptr<CFilePCF> document(EditingFixture::chainDocument());
        document->root()->attribute("particleSystemDefinitions")->elementList()->insert(1, nullptr);
        document->findParticleSystem("fire")
            ->attribute("operators")
            ->elementList()
            ->prepend(nullptr);
        QVERIFY(PCFDelegate().write(file, document.get(), document->format));
    }
    EditorScript script;
    VParticle *window = new VParticle(m_main, file);
    m_window = window;
    const QList<QStringList> nulls{path({""}), path({"fire", "operators", ""})};
    for (const QStringList &row : nulls) {
        window->prepareContextMenu(rowAt(window->tree, row));
        QCOMPARE(actionTexts(window->contextMenu()), QStringList({"Delete"}));
        window->contextRenameAttributeAction->trigger();
    }
    QVERIFY(script.asked.isEmpty());
    QVERIFY(!window->isWindowModified());
    for (const QStringList &row : nulls)
        act(window, row, &VParticle::contextDeleteAction);
    QVERIFY(window->isWindowModified());
    QCOMPARE(childNames(rowAt(window->tree, psd)), QStringList({"fire", "smoke", "sparks"}));
    QCOMPARE(rowAt(window->tree, psd)->text(2), QStringLiteral("3 Item(s)"));

    window->actionSave->trigger();
    CFilePCF saved;
    QVERIFY(PCFDelegate().read(file, &saved));
    QCOMPARE(saved.root()->attribute("particleSystemDefinitions")->itemCount(), 3);
    QCOMPARE(saved.findParticleSystem("fire")->attribute("operators")->itemCount(), 1);
    QCOMPARE(EditingFixture::describe(&saved), EditingFixture::describe(window->document));
}

void TestParticleEditor::arrayConversion()
{
    EditorScript script;
    VParticle *window = open(EditingFixture::chainDocument());
    DMXElement *smoke = window->document->findParticleSystem("smoke");
    act(window, path({"smoke", "radius"}), &VParticle::contextToArrayAction);
    for (VParticleTreeWidgetItem *row :
         rowsAt(window->tree, path({"smoke", "radius"})) +
             rowsAt(window->tree, path({"fire", "children", "smoke", "smoke", "radius"}))) {
        QCOMPARE(row->text(1), QStringLiteral("FLOAT_ARRAY"));
        QCOMPARE(row->text(2), QStringLiteral("1 Item(s)"));
        QCOMPARE(childNames(row), QStringList({"radius[0]"}));
    }

    // Several items: the choice is asked; cancelled, nothing changes.
    script.cancel().pick(2);
    for (int i = 0; i < 2; ++i)
        act(window, path({"smoke", "x"}), &VParticle::contextFromArrayAction);
    QCOMPARE(script.offered[0], QStringList({"1", "2", "3"}));
    QCOMPARE(script.asked[0].title, QStringLiteral("Select Attribute"));
    QCOMPARE(smoke->attribute("x")->type(), uint(ATTRIBUTE_FLOAT));
    VParticleTreeWidgetItem *x =
        rowAt(window->tree, path({"fire", "children", "smoke", "smoke", "x"}));
    QCOMPARE(x->text(1), QStringLiteral("FLOAT"));
    QCOMPARE(x->text(2), QStringLiteral("3"));
    QCOMPARE(x->childCount(), 0);

    // One item: taken without asking.
    act(window, path({"smoke", "radius"}), &VParticle::contextFromArrayAction);
    QCOMPARE(script.asked.size(), 2);
    QCOMPARE(smoke->attribute("radius")->valueString(), QStringLiteral("2"));
}

void TestParticleEditor::saveAndClose()
{
    EditorScript script;
    QTemporaryDir dir;
    VParticle *window = open(EditingFixture::chainDocument(1));
    window->setWindowModified(true);

    // Save of a never-saved document asks for a path; cancelled, nothing.
    script.cancel();
    window->actionSave->trigger();
    QCOMPARE(script.asked.last().kind, CPrompt::Kind::SaveFileName);
    QCOMPARE(script.asked.last().title, QStringLiteral("Save PCF"));
    QCOMPARE(script.asked.last().filter, QStringLiteral("Particle Configuration File (*.pcf)"));
    QVERIFY(window->isWindowModified());

    // Closing with Save: a cancelled Save As keeps the window open.
    script.button(QMessageBox::Save).cancel();
    QVERIFY(!window->close());
    QVERIFY(m_window);
    QCOMPARE(script.messages,
             QStringList({"The file has been modified.|Do you want to save your changes?"}));

    // A failed Save As keeps title and path.
    script.text(dir.filePath("missing/folder/a.pcf"));
    window->actionSaveAs->trigger();
    QCOMPARE(script.asked.last().kind, CPrompt::Kind::Warning);
    QCOMPARE(window->windowTitle(), QStringLiteral("Untitled[*]"));
    QVERIFY(window->documentPath.isEmpty());

    const QString file = dir.filePath("effects.pcf");
    script.text(file);
    window->actionSaveAs->trigger();
    QCOMPARE(window->windowTitle(), QStringLiteral("effects[*]"));
    QCOMPARE(window->actionGuidSingle->text(), QStringLiteral("effects"));
    QVERIFY(!window->isWindowModified());

    // What was saved reads back as the document.
    VParticle reopened(m_main, file);
    QCOMPARE(EditingFixture::describe(reopened.document),
             EditingFixture::describe(window->document));
    QCOMPARE(reopened.windowTitle(), QStringLiteral("effects[*]"));

    // Cancel keeps the window; Discard closes it.
    window->setWindowModified(true);
    script.button(QMessageBox::Cancel).button(QMessageBox::Discard);
    QVERIFY(!window->close());
    QVERIFY(window->close());
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_window);
}

void TestParticleEditor::convertFormat()
{
    EditorScript script;
    VParticle *window = open(EditingFixture::chainDocument(2));
    {
        TemplateScope none({nullptr, nullptr, nullptr});
        window->actionFormat[2]->trigger();
    }
    QCOMPARE(script.asked.size(), 1);
    QCOMPARE(script.asked[0].text,
             QStringLiteral("Formatting Error: Template data for target version does not exist"));
    QCOMPARE(window->document->format, 2);
    QVERIFY(!window->isWindowModified());
    QCOMPARE(rowAt(window->tree, psd)->childCount(), 3);

    TemplateScope templates({nullptr, nullptr, EditingFixture::templateDocument(3)});
    {
        // What each system lost goes to the output pane.
        WarningLog log;
        window->actionFormat[2]->trigger();
        QStringList expected;
        for (const char *system : {"fire", "smoke", "sparks"})
            expected << QStringLiteral("Format Conversion: \"Untitled\", system \"%1\": dropped "
                                       "3 parameter(s): \"children\" of the system, \"radius\" of "
                                       "the system, \"x\" of the system")
                            .arg(system);
        QCOMPARE(log.lines(), expected);
    }
    QCOMPARE(window->document->format, 3);
    QVERIFY(window->isWindowModified());
    const QImage tick = iconImage(QIcon(":/resources/icons/tick"));
    QVERIFY(iconImage(window->actionFormat[2]->icon()) == tick);
    QVERIFY(iconImage(window->actionFormat[1]->icon()) != tick);
    // The template's "default" has no "x" or "radius": the systems lose them.
    QVERIFY(rowsAt(window->tree, path({"fire", "x"})).isEmpty());
    QVERIFY(rowAt(window->tree, path({"fire", "operators", "Movement Basic"})));
    // Converting again loses nothing and says nothing.
    WarningLog quiet;
    window->actionFormat[2]->trigger();
    QVERIFY(quiet.lines().isEmpty());
}

void TestParticleEditor::dictionaryAndFormatChoice()
{
    EditorScript script;
    VParticle *window = open(EditingFixture::chainDocument());
    window->document->strings = QStringList{"DmElement", "name"};
    script.button(QMessageBox::Ok);
    window->actionStringDictionary->trigger();
    QCOMPARE(script.asked[0].kind, CPrompt::Kind::Exec);
    QCOMPARE(script.asked[0].title, QStringLiteral("String Dictionary"));
    QCOMPARE(script.offered[0], QStringList({"0 : DmElement", "1 : name"}));

    script.cancel().text(pcfFormatNames()[1]);
    QCOMPARE(choosePcfFormat(window, "t"), 0);
    QCOMPARE(choosePcfFormat(window, "t"), 2);
    QCOMPARE(script.asked.last().items, pcfFormatNames());
    QCOMPARE(script.asked.last().editable, false);
}

void TestParticleEditor::addAttributeDialog()
{
    VParticleAddAttributeDialog dialog(nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Add Attribute"));
    QCOMPARE(dialog.typeCombo->count(), 26);
    QCOMPARE(dialog.typeCombo->itemText(0), QStringLiteral("INTEGER"));
    QCOMPARE(dialog.typeCombo->itemText(25), QStringLiteral("MATRIX_ARRAY"));
    for (int i = 0; i < dialog.typeCombo->count(); ++i)
        QVERIFY(!dialog.typeCombo->itemText(i).startsWith("ELEMENT"));

    dialog.open();
    dialog.okButton->click();
    QVERIFY(dialog.isVisible());
    dialog.nameEdit->setText("t");
    dialog.okButton->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    // A scripted TIME attribute comes with the default value.
    EditorScript script;
    script.attribute("t", "TIME");
    std::unique_ptr<DMXAttribute> added(dialog.getAttribute());
    QVERIFY(added);
    QCOMPARE(added->type(), uint(ATTRIBUTE_TIME));
    QCOMPARE(added->ownsValue(), true);
    QCOMPARE(added->valueString(), QStringLiteral("0"));
}

QTEST_MAIN(TestParticleEditor)
#include "tst_particleeditor.moc"
