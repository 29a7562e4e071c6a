#include "CFileFGD.h"
#include "EditorMainWindow.h"
#include "FGDDump.h"
#include "FileBytes.h"
#include "PromptScript.h"
#include "VFGD.h"
#include "initResources.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {

// Targetname (base), light (every helper, table and flag), trigger_once, npc.
CFileFGD *sample()
{
    auto *fgd = new CFileFGD;
    fgd->setDisplayName(QStringLiteral("sample"));
    fgd->includes << QStringLiteral("base.fgd");
    fgd->materialExclusions << QStringLiteral("tools");
    fgd->autoVisgroups.append({"Lights", {{"Point", {"light", "light_spot"}}}});

    FGDEntityClass base;
    base.classname = "Targetname";
    base.keyvalues << FGDKeyvalue{"targetname", FGDTargetSource, "Name", "", "", false, false, {}};
    base.inputs << FGDInputOutput{"Kill", FGDVoid, "Removes it."};
    base.outputs << FGDInputOutput{"OnUser1", FGDVoid, "Fired."};

    FGDEntityClass light;
    light.type = FGDPointClass;
    light.classname = "light";
    light.description = "A light.";
    light.bases << "Targetname";
    light.helperFlags = FGDEntityClass::HasColor;
    light.color = QColor(255, 255, 0);
    light.sizeMin = CVector3(-8, -8, -8);
    light.hasSizeMax = true;
    light.sizeMax = CVector3(8, 8, 8);
    light.keyvalues << FGDKeyvalue{"_light", FGDColor255, "Brightness", "", "", false, false, {}}
                    << FGDKeyvalue{"_distance", FGDInteger, "Distance", "", "", false, true, {}}
                    << FGDKeyvalue{"style", FGDChoices, "Appearance", "", "", false, false, {}}
                    << FGDKeyvalue{"pattern", FGDString, "Pattern", "", "", true, true, {}};
    light.keyvalues[2].choices << FGDChoice{"0", "Normal"} << FGDChoice{"1", "Flicker"};
    light.flagMask = 3;
    light.flagDefaults = 2;
    light.flagTexts[0] = "Initially dark";
    light.flagTexts[1] = "Never fade";
    light.lines << FGDLine{QColor(255, 255, 255), "targetname", "target"};
    light.cylinders << FGDCylinder{QColor(255, 255, 255), "a", "b", "c", "d", "e", "f"};

    FGDEntityClass trigger;
    trigger.type = FGDSolidClass;
    trigger.classname = "trigger_once";
    FGDEntityClass npc;
    npc.type = FGDNPCClass;
    npc.classname = "npc";
    npc.studioModel = "models/citizen.mdl";
    fgd->classes << base << light << trigger << npc;
    return fgd;
}

// The lines of `after` that `before` lacks.
QStringList added(const QString &before, const QString &after)
{
    QStringList old = before.split(QLatin1Char('\n'));
    QStringList out;
    for (const QString &line : after.split(QLatin1Char('\n'))) {
        if (!old.removeOne(line))
            out << line;
    }
    return out;
}

} // namespace

class TestFgdEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void init();
    void cleanup() { m_window.reset(); }

    void emptyWindow();
    void fillAndShow();
    void edits_data();
    void edits();
    void keyboardEdits();
    void adds_data();
    void adds();
    void typeMenus();
    void contextMenus();
    void properties();
    void orderFollowsMovesAndDeletes_data();
    void orderFollowsMovesAndDeletes();
    void open();

private:
    template <typename T = QTableWidget>
    T *widget(const char *name) const
    {
        return m_window->findChild<T *>(QLatin1String(name));
    }
    CFileFGD &fgd() const { return *m_window->document(); }
    void reveal(QWidget *widget) const;
    void click(const char *table, int row, int column) const;
    // Asks for the context menu over the cell (empty space past the rows for
    // row -1) and triggers the menu's entry.
    void contextAction(const char *table, int row, int column, const char *menu,
                       const QString &entry) const;
    QAction *menuAction(const char *menu, const QString &text) const;

    std::unique_ptr<VFGD> m_window;
};

void TestFgdEditor::init()
{
    m_window = std::make_unique<VFGD>(sample());
    m_window->resize(1000, 700);
    m_window->show();
}

// Brings the tab pages holding the widget to the front.
void TestFgdEditor::reveal(QWidget *widget) const
{
    for (QWidget *page = widget; page->parentWidget(); page = page->parentWidget()) {
        if (auto *tabs = qobject_cast<QTabWidget *>(page->parentWidget()->parentWidget()))
            tabs->setCurrentWidget(page);
    }
}

void TestFgdEditor::click(const char *name, int row, int column) const
{
    QTableWidget *table = widget(name);
    reveal(table);
    table->setCurrentCell(row, column);
    emit table->itemClicked(table->item(row, column));
}

void TestFgdEditor::contextAction(const char *name, int row, int column, const char *menu,
                                  const QString &entry) const
{
    QAbstractItemView *view = widget<QAbstractItemView>(name);
    reveal(view);
    QApplication::processEvents();
    const QModelIndex index = view->model()->index(row, column);
    const QPoint point =
        row < 0 ? QPoint(5, view->viewport()->height() - 5) : view->visualRect(index).center();
    emit view->customContextMenuRequested(point);
    menuAction(menu, entry)->trigger();
}

QAction *TestFgdEditor::menuAction(const char *menu, const QString &text) const
{
    for (QAction *action : widget<QMenu>(menu)->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

void TestFgdEditor::emptyWindow()
{
    m_window = std::make_unique<VFGD>();
    QStringList enabled;
    for (QAction *menu : m_window->menuBar()->actions()) {
        for (QAction *action : menu->menu()->actions()) {
            if (!action->isSeparator())
                enabled << action->text() + (action->isEnabled() ? "+" : "-");
        }
    }
    QCOMPARE(enabled, QStringList({"New+", "Open...+", "Save-", "Save As...-", "Save Copy As...-",
                                   "Import...+", "Export...-", "Exit+", "Reload Includes+"}));
    QTableWidget *flags = widget("flagTable");
    QCOMPARE(flags->rowCount(), 32);
    QCOMPARE(flags->cellWidget(31, 0)->toolTip(), QStringLiteral("2147483648"));

    m_window->fgdReloadIncludes(); // no document: nothing to show, nothing asked
    m_window->fgdNew();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("untitled"));
    QCOMPARE(widget("entityTable")->rowCount(), 1);
    QVERIFY(!widget<QWidget>("rightPanel")->isEnabled());
}

void TestFgdEditor::fillAndShow()
{
    QTableWidget *entities = widget("entityTable");
    QCOMPARE(entities->rowCount(), 5);
    QCOMPARE(entities->item(3, 0)->text(), QStringLiteral("npc"));
    QCOMPARE(entities->item(3, 1)->text(), QStringLiteral("@NPCClass"));
    QVERIFY(qobject_cast<QPushButton *>(entities->cellWidget(4, 0)));
    QVERIFY(entities->item(0, 0)->font().bold());
    auto *tree = widget<QTreeWidget>("visgroupTree");
    QCOMPARE(tree->topLevelItem(0)->child(0)->child(1)->text(0), QStringLiteral("light_spot"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("sample"));

    // Showing changes nothing: current cells in every table, then another
    // entity over them.
    const QString before = dump(fgd());
    click("entityTable", 1, 0);
    for (const char *table : {"lineTable", "cylinderTable", "flagTable"})
        click(table, 0, 1);
    click("keyvalueTable", 2, 0);
    click("choiceTable", 0, 0);
    QVERIFY(widget("choiceTable")->isVisibleTo(m_window.get()));
    QCOMPARE(widget<QLineEdit>("sizeEdit")->text(), QStringLiteral("-8 -8 -8 , 8 8 8"));
    QVERIFY(widget<QCheckBox>("colorCheck")->isChecked());
    click("entityTable", 3, 0);
    QVERIFY(widget("choiceTable")->isHidden());
    QCOMPARE(widget<QLineEdit>("sizeEdit")->text(), QStringLiteral("0 0 0"));
    click("entityTable", 1, 0);
    QCOMPARE(dump(fgd()), before);
    QVERIFY(!qobject_cast<QCheckBox *>(widget("flagTable")->cellWidget(0, 0))->isChecked());
    QVERIFY(qobject_cast<QCheckBox *>(widget("flagTable")->cellWidget(1, 0))->isChecked());
}

void TestFgdEditor::edits_data()
{
    QTest::addColumn<int>("entity");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("changed");
    QTest::addColumn<QString>("shown");

    QTest::newRow("keyvalue default")
        << 1 << "keyvalueTable" << 0 << 3 << "128"
        << QStringList{" kv \"_light\" 7 \"Brightness\" \"128\" \"\""} << "128";
    QTest::newRow("keyvalue type column is no edit")
        << 1 << "keyvalueTable" << 0 << 1 << "float" << QStringList() << "float";
    QTest::newRow("input name") << 0 << "inputTable" << 0 << 0 << "Kill2"
                                << QStringList{" input \"Kill2\" 0 \"Removes it.\""} << "Kill2";
    QTest::newRow("output description") << 0 << "outputTable" << 0 << 2 << "Now."
                                        << QStringList{" output \"OnUser1\" 0 \"Now.\""} << "Now.";
    QTest::newRow("choice text") << 1 << "choiceTable" << 1 << 1 << "Strobe"
                                 << QStringList{"  choice \"1\" \"Strobe\""} << "Strobe";
    QTest::newRow("flag text") << 1 << "flagTable" << 5 << 1 << "Starts off"
                               << QStringList{" flag 5 \"Starts off\""} << "Starts off";
    QTest::newRow("line colour") << 1 << "lineTable" << 0 << 0 << " 10  20 30"
                                 << QStringList{" line ff0a141e targetname target"} << "10 20 30";
    QTest::newRow("line colour too short")
        << 1 << "lineTable" << 0 << 0 << "5" << QStringList() << "255 255 255";
    QTest::newRow("line target") << 1 << "lineTable" << 0 << 2 << "parent"
                                 << QStringList{" line ffffffff targetname parent"} << "parent";
    QTest::newRow("cylinder column 4") << 1 << "cylinderTable" << 0 << 4 << "r"
                                       << QStringList{" cylinder ffffffff a,b,c,r,e,f"} << "r";
    QTest::newRow("cylinder colour keeps text")
        << 1 << "cylinderTable" << 0 << 0 << "1 2 3 4"
        << QStringList{" cylinder ff010203 a,b,c,d,e,f"} << "1 2 3 4";
    QTest::newRow("entity name") << 1 << "entityTable" << 2 << 0 << "trigger_multiple"
                                 << QStringList{"class 3 trigger_multiple \"\""}
                                 << "trigger_multiple";
    QTest::newRow("include trimmed") << 0 << "includeList" << 0 << 0 << "  extra.fgd "
                                     << QStringList{"include extra.fgd"} << "  extra.fgd ";
    QTest::newRow("base trimmed") << 1 << "baseList" << 0 << 0 << " Parent"
                                  << QStringList{" bases Parent"} << " Parent";
}

void TestFgdEditor::edits()
{
    QFETCH(int, entity);
    QFETCH(QString, table);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    click("entityTable", entity, 0);
    if (table == QLatin1String("choiceTable"))
        click("keyvalueTable", 2, 0);
    const QString before = dump(fgd());
    const QByteArray name = table.toLatin1();
    QListWidgetItem *entry = nullptr;
    QTableWidgetItem *cell = nullptr;
    if (auto *list = widget<QListWidget>(name)) {
        entry = list->item(row);
        entry->setText(text);
    } else {
        click(name, row, column);
        cell = widget(name)->item(row, column);
        cell->setText(text);
    }
    QTEST(added(before, dump(fgd())), "changed");
    QTEST(entry ? entry->text() : cell->text(), "shown");
}

// However an edit typed into a cell ends (Tab, arrows, Return), its text
// reaches the document; Tab opens no editor on a type, which its menu sets.
void TestFgdEditor::keyboardEdits()
{
    click("entityTable", 1, 0);
    click("keyvalueTable", 2, 0);
    const QString before = dump(fgd());
    QTableWidget *view = nullptr;
    const auto edit = [&](const char *name, int row, int column) {
        click(name, row, column);
        view = widget(name);
        view->editItem(view->currentItem());
    };
    const auto type = [&](const QString &text, Qt::Key end) {
        QWidget *editor = view->indexWidget(view->currentIndex());
        QVERIFY(editor);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, end);
        QCoreApplication::processEvents(); // Return writes back once the editor saw it
    };
    edit("choiceTable", 0, 1);
    type("Steady", Qt::Key_Tab);
    type("7", Qt::Key_Up);
    edit("flagTable", 2, 1);
    type("Dark", Qt::Key_Down);
    edit("keyvalueTable", 0, 2);
    type("Glow", Qt::Key_Tab);
    type("200", Qt::Key_Return);
    edit("keyvalueTable", 1, 0);
    type("far", Qt::Key_Tab);
    QVERIFY(!view->indexWidget(view->currentIndex()));
    QCOMPARE(added(before, dump(fgd())),
             QStringList({" flag 2 \"Dark\"", " kv \"_light\" 7 \"Glow\" \"200\" \"\"",
                          " kv \"far\" 3 \"Distance\" \"\" \"\" sphere",
                          "  choice \"0\" \"Steady\"", "  choice \"7\" \"Flicker\""}));
}

void TestFgdEditor::adds_data()
{
    QTest::addColumn<QString>("line"); // the row's name is the widget's
    QTest::newRow("entityTable") << "class 0  \"\"";
    QTest::newRow("keyvalueTable") << " kv \"\" 2 \"\" \"\" \"\"";
    QTest::newRow("inputTable") << " input \"\" 0 \"\"";
    QTest::newRow("outputTable") << " output \"\" 0 \"\"";
    QTest::newRow("choiceTable") << "  choice \"\" \"\"";
    QTest::newRow("lineTable") << " line ffffffff  ";
    QTest::newRow("cylinderTable") << " cylinder ffffffff ,,,,,";
    QTest::newRow("includeList") << "include ";
    QTest::newRow("materialExcludeList") << "exclude ";
    QTest::newRow("baseList") << " bases Targetname,";
}

void TestFgdEditor::adds()
{
    QFETCH(QString, line);
    click("entityTable", 1, 0);
    click("keyvalueTable", 2, 0);
    auto *view = widget<QAbstractItemView>(QTest::currentDataTag());
    reveal(view);
    auto *table = qobject_cast<QTableWidget *>(view);
    auto *list = qobject_cast<QListWidget *>(view);
    const int rows = view->model()->rowCount();
    // Clicked with the mouse, twice, each time on the button the previous
    // click put in place.
    for (int round = 1; round <= 2; ++round) {
        const QString before = dump(fgd());
        auto *button =
            qobject_cast<QPushButton *>(table ? table->cellWidget(table->rowCount() - 1, 0)
                                              : list->itemWidget(list->item(list->count() - 1)));
        QVERIFY(button && button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(view->model()->rowCount(), rows + round);
        const QStringList changed = added(before, dump(fgd()));
        QCOMPARE(changed.size(), 1);
        if (round == 1)
            QCOMPARE(changed, QStringList{line});
    }
    const int last = view->model()->rowCount() - 1;
    QVERIFY(table ? table->cellWidget(last, 0) && table->item(last - 1, 0)
                  : list->itemWidget(list->item(last)) && !list->itemWidget(list->item(last - 1)));
    // The details keep showing the class shown before.
    QCOMPARE(m_window->shownClass(), &fgd().classes[1]);
}

void TestFgdEditor::typeMenus()
{
    click("entityTable", 1, 0);
    QAction *solid = menuAction("entityTypeMenu", "@SolidClass");
    click("entityTable", 3, 1);
    QVERIFY(widget<QMenu>("entityTypeMenu")->isVisible());
    solid->trigger();
    QCOMPARE(fgd().classes[3].type, 3);
    QCOMPARE(widget("entityTable")->item(3, 1)->text(), QStringLiteral("@SolidClass"));
    QCOMPARE(m_window->shownClass(), &fgd().classes[1]);
    // Outside the classes (the add row) a type goes nowhere; with no spare
    // room in the lists, the sanitizers see any write past their ends.
    fgd().classes.squeeze();
    fgd().classes[1].keyvalues.squeeze();
    const QString before = dump(fgd());
    widget("entityTable")->setCurrentCell(4, 0);
    solid->trigger();
    widget("keyvalueTable")->setCurrentCell(4, 0);
    menuAction("parameterTypeMenu", "float")->trigger();
    QCOMPARE(dump(fgd()), before);

    auto offered = [this] {
        QString out;
        for (const char *type : {"void", "choices", "string", "flags"})
            out += menuAction("parameterTypeMenu", type)->isEnabled() ? "+" : "-";
        return out;
    };
    click("entityTable", 0, 0);
    click("inputTable", 0, 1);
    QCOMPARE(offered(), QStringLiteral("+-+-"));
    click("entityTable", 1, 0);
    click("keyvalueTable", 0, 1);
    QCOMPARE(offered(), QStringLiteral("-++-"));

    // The current keyvalue becomes choices: its (empty) table shows, and it
    // keeps the choices added there when it goes back to string.
    click("keyvalueTable", 0, 0);
    click("keyvalueTable", 0, 1);
    menuAction("parameterTypeMenu", "choices")->trigger();
    QCOMPARE(fgd().classes[1].keyvalues[0].type, 1);
    QCOMPARE(widget("keyvalueTable")->item(0, 1)->text(), QStringLiteral("choices"));
    QVERIFY(widget("choiceTable")->isVisibleTo(m_window.get()));
    m_window->fgdAddChoices();
    menuAction("parameterTypeMenu", "string")->trigger();
    QVERIFY(widget("choiceTable")->isHidden());
    QCOMPARE(fgd().classes[1].keyvalues[0].choices.size(), 1);
}

void TestFgdEditor::contextMenus()
{
    click("entityTable", 1, 0);
    // The key cell's icon follows each readonly and sphere combination.
    const auto icon = [this](const char *file) {
        const QIcon shown = widget("keyvalueTable")->item(3, 0)->icon();
        const QImage image =
            QIcon(QStringLiteral(":/resources/icons/%1.png").arg(file)).pixmap(16).toImage();
        return *file ? !image.isNull() && shown.pixmap(16).toImage() == image : shown.isNull();
    };
    QVERIFY(icon("spherelockright"));
    const QString readonly = QStringLiteral("Toggle Readonly");
    contextAction("keyvalueTable", 3, 0, "keyvalueContextMenu", readonly);
    QVERIFY(!fgd().classes[1].keyvalues[3].readonly);
    QVERIFY(icon("sphere"));
    contextAction("keyvalueTable", 3, 2, "keyvalueContextMenu", QStringLiteral("Toggle Sphere"));
    QVERIFY(icon(""));
    contextAction("keyvalueTable", 3, 4, "keyvalueContextMenu", readonly);
    QVERIFY(icon("lock"));

    // A cell remembered before its table was refilled is forgotten.
    const QString before = dump(fgd());
    emit widget("keyvalueTable")
        ->customContextMenuRequested(
            widget("keyvalueTable")->visualItemRect(widget("keyvalueTable")->item(0, 0)).center());
    click("entityTable", 1, 0);
    menuAction("keyvalueContextMenu", "Delete")->trigger();
    click("lineTable", 0, 0);
    click("entityTable", 1, 0);
    widget("lineTable")->item(0, 0)->setText("1 2 3");
    contextAction("lineTable", -1, 0, "tableContextMenu", "Delete");
    contextAction("visgroupTree", 0, 0, "treeContextMenu", "Delete");
    QCOMPARE(dump(fgd()), before);

    // Deleting the chosen keyvalue chooses the one that moves up into its row.
    click("entityTable", 1, 0);
    click("keyvalueTable", 2, 0);
    QVERIFY(!widget("choiceTable")->isHidden());
    contextAction("keyvalueTable", 2, 4, "keyvalueContextMenu", "Delete");
    QCOMPARE(fgd().classes[1].keyvalues.size(), 3);
    QCOMPARE(m_window->selectedKeyvalue(), &fgd().classes[1].keyvalues[2]);
    QVERIFY(widget("choiceTable")->isHidden());
    contextAction("lineTable", 0, 1, "tableContextMenu", "Delete");
    QVERIFY(fgd().classes[1].lines.isEmpty());
    QCOMPARE(widget("lineTable")->rowCount(), 1);

    contextAction("includeList", 0, 0, "listContextMenu", "Delete");
    QVERIFY(fgd().includes.isEmpty());
    QCOMPARE(widget<QListWidget>("includeList")->count(), 1);
}

void TestFgdEditor::properties()
{
    click("entityTable", 1, 0);
    FGDEntityClass &light = fgd().classes[1];
    auto *description = widget<QLineEdit>("descriptionEdit");
    description->setText("Bright.");
    emit description->editingFinished();
    QCOMPARE(light.description, QByteArray("Bright."));

    widget<QCheckBox>("studioCheck")->click();
    QCOMPARE(light.helperFlags, quint32(3));
    QVERIFY(!widget<QLineEdit>("studioEdit")->isEnabled());

    // Shown again in the normal form: empty parts are dropped, a fraction
    // reads as 0, a single triple has no maximum, and nothing readable keeps
    // the size.
    auto *size = widget<QLineEdit>("sizeEdit");
    for (const auto &[typed, shown] :
         {std::pair<const char *, const char *>("-16 -16 0, 16 16 72", "-16 -16 0 , 16 16 72"),
          {", 7 ,, 9", "7 0 0 , 9 0 0"},
          {" 8.5  2", "0 2 0"},
          {"", "0 2 0"}}) {
        size->setText(typed);
        emit size->editingFinished();
        QCOMPARE(size->text(), QString(shown));
    }

    qobject_cast<QCheckBox *>(widget("flagTable")->cellWidget(31, 0))->click();
    QCOMPARE(quint32(light.flagDefaults), 0x80000002u);

    PromptScript script;
    script.cancel().color(QColor(1, 2, 3));
    widget<QCheckBox>("colorCheck")->click();
    QCOMPARE(light.helperFlags, quint32(2));
    widget<QPushButton>("colorButton")->click();
    QCOMPARE(light.color, QColor(255, 255, 0));
    widget<QPushButton>("colorButton")->click();
    QCOMPARE(light.color, QColor(1, 2, 3));
    QCOMPARE(light.helperFlags, quint32(3));
    QCOMPARE(script.asked.size(), 2);
    QCOMPARE(script.asked[0].title, QStringLiteral("Entity Color"));
    QCOMPARE(script.asked[0].color, QColor(255, 255, 0));
}

void TestFgdEditor::orderFollowsMovesAndDeletes_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<char>("shown");
    QTest::addColumn<QString>("order");
    // cN shows row N, uN and dN press Up and Down on row N, xN deletes row N
    // through its context menu, a adds a class (named _); - shows none.
    QTest::newRow("up on the first") << "u0" << 'a' << "a b c d";
    QTest::newRow("up on row 2") << "u2" << 'a' << "a c b d";
    QTest::newRow("down on the second-to-last") << "d2" << 'a' << "a b d c";
    QTest::newRow("down on the last") << "d3" << 'a' << "a b c d";
    QTest::newRow("down on the add row") << "a d4" << 'a' << "a b c d _";
    QTest::newRow("shown class moves along") << "c1 d1 d2" << 'b' << "a c d b";
    QTest::newRow("delete the last of three") << "x3 c0 x2" << 'b' << "a b";
    QTest::newRow("delete all") << "x0 x2 x0 x0" << '-' << "";
    QTest::newRow("mixed") << "a d3 u4 x1 c3 u3 x0 d0 a" << 'c' << "_ c d _";
}

void TestFgdEditor::orderFollowsMovesAndDeletes()
{
    QFETCH(QString, script);
    auto *document = new CFileFGD;
    for (const char *name : {"a", "b", "c", "d"}) {
        FGDEntityClass c;
        c.classname = name;
        document->classes << c;
    }
    m_window = std::make_unique<VFGD>(document);
    QTableWidget *table = widget("entityTable");
    auto names = [&] {
        QStringList out;
        for (const FGDEntityClass &c : document->classes)
            out << (c.classname.isEmpty() ? QStringLiteral("_") : QString::fromLatin1(c.classname));
        return out;
    };
    for (const QString &step : script.split(' ', Qt::SkipEmptyParts)) {
        const int row = step.mid(1).toInt();
        if (step[0] == 'c')
            click("entityTable", row, 0);
        else if (step[0] == 'x')
            contextAction("entityTable", row, 0, "tableContextMenu", "Delete");
        else if (step[0] == 'a')
            qobject_cast<QPushButton *>(table->cellWidget(table->rowCount() - 1, 0))->click();
        else {
            table->setCurrentCell(row, 0);
            QTest::keyClick(table, step[0] == 'u' ? Qt::Key_Up : Qt::Key_Down);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QStringList shown;
        for (int r = 0; r < document->classes.size(); ++r)
            shown << (table->item(r, 0)->text().isEmpty() ? "_" : table->item(r, 0)->text());
        QCOMPARE(shown, names());
        QCOMPARE(table->rowCount(), names().size() + 1);
        QVERIFY(table->cellWidget(table->rowCount() - 1, 0));
    }
    QTEST(names().join(' '), "order");
    const FGDEntityClass *shown = m_window->shownClass();
    const QString name = shown ? names().value(int(shown - document->classes.constData())) : "-";
    QTEST(name.at(0).toLatin1(), "shown");
    QCOMPARE(widget<QWidget>("rightPanel")->isEnabled(), shown != nullptr);
}

void TestFgdEditor::open()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("mod.fgd"), "@PointClass = info_target : \"Target\" []\n"));
    QVERIFY(writeFile(dir.filePath("broken.fgd"), "@PointClass = info_target\n"));
    EditorMainWindow main;
    PromptScript script;
    script.cancel().text(dir.filePath("missing.fgd")).text(dir.filePath("broken.fgd"));
    script.text(dir.filePath("mod.fgd"));
    for (int i = 0; i < 4; ++i)
        m_window->fgdOpen();
    // Only the four file questions: a failure says nothing.
    QCOMPARE(script.asked.size(), 4);
    QCOMPARE(main.fgdDocuments.size(), 1);
    QCOMPARE(main.fgdDocuments[0]->displayName(), QStringLiteral("mod"));
    QCOMPARE(main.fgdDocuments[0]->classes.value(0).classname, QByteArray("info_target"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("sample"));
}

QTEST_MAIN(TestFgdEditor)
#include "tst_fgdeditor.moc"
