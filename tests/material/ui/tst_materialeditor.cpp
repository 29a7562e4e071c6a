#include "MaterialFixture.h"
#include "VVMT.h"
#include "initResources.h"

#include <QAction>
#include <QListWidget>
#include <QPointer>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

class TestMaterialEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void editKeepsEveryOtherByte_data();
    void editKeepsEveryOtherByte();
    void listClicksGoThroughTheTextRoutines();
    void openingInAWindowWithText();
    void entryBytesAskForAPathOnFirstSave();
    void failedSaveKeepsTheWindowModified();
    void failedOpenLeavesNoFile();
    void tabExtent();

private:
    static void click(QListWidget *list, int row)
    {
        emit list->clicked(list->model()->index(row, 0));
    }
};

void TestMaterialEditor::initTestCase()
{
    initResources();
    useMaterialVocabulary();
}

void TestMaterialEditor::editKeepsEveryOtherByte_data()
{
    QTest::addColumn<QByteArray>("newline");
    QTest::newRow("lf") << QByteArray("\n");
    QTest::newRow("crlf") << QByteArray("\r\n");
}

void TestMaterialEditor::editKeepsEveryOtherByte()
{
    QFETCH(QByteArray, newline);
    // Latin-1 letters, a no-break space and text that looks like markup.
    const QByteArray before =
        QByteArray("\"UnlitGeneric\"\n{\n\t\"$basetexture\" \"caf\xe9\xa0/x\"\n"
                   "\t// <b>not bold</b> &amp;\n}\n")
            .replace("\n", newline);
    const QByteArray after = QByteArray(before).replace("UnlitGeneric", "LightmappedGeneric");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wall.vmt"));
    QVERIFY(writeBytes(path, before));

    PromptScript script;
    VVMT window(path);
    QCOMPARE(window.windowTitle(), QStringLiteral("wall.vmt[*]"));
    QVERIFY(!window.isWindowModified());
    QVERIFY(window.editor->toPlainText().contains(QStringLiteral("<b>not bold</b> &amp;")));

    click(window.shaderList, 0);
    QVERIFY(window.isWindowModified());
    window.actionSave->trigger();
    QVERIFY(script.asked.isEmpty());
    QVERIFY(!window.isWindowModified());
    QCOMPARE(readBytes(path), after);
}

void TestMaterialEditor::listClicksGoThroughTheTextRoutines()
{
    VVMT window{QString()};
    QCOMPARE(window.tabs->tabText(0), QStringLiteral("Shaders"));
    QCOMPARE(window.shaderList->item(1)->toolTip(), QStringLiteral("Models"));
    QCOMPARE(window.proxyList->item(0)->toolTip(), QStringLiteral("Plays frames"));

    click(window.shaderList, 0);
    QCOMPARE(window.text(), QStringLiteral("\"LightmappedGeneric\"\n{\n}\n"));
    QVERIFY(window.isWindowModified());

    click(window.parameterList, 1);
    click(window.proxyList, 1); // no keys configured: a block without key lines
    click(window.proxyList, 0); // the empty part between "::" is skipped
    QCOMPARE(window.text(),
             QStringLiteral("\"LightmappedGeneric\"\n{\n\t\"$bumpmap\" \"\"\n\n\t\"Proxies\"\n\t{\n"
                            "\t\t\"PlayerColor\"\n\t\t{\n\t\t}\n\n\t\t\"AnimatedTexture\"\n\t\t{\n"
                            "\t\t\t\"animatedtexturevar\" \"\"\n"
                            "\t\t\t\"animatedtextureframerate\" \"\"\n\t\t}\n\t}\n}\n"));

    // An insertion is one step to undo.
    window.actionUndo->trigger();
    QVERIFY(!window.text().contains(QStringLiteral("AnimatedTexture")));

    // A routine that finds no place changes nothing, not even the mark.
    VVMT other{QString()};
    other.editor->setPlainText(QStringLiteral("no material here"));
    other.setWindowModified(false);
    click(other.parameterList, 0);
    QCOMPARE(other.text(), QStringLiteral("no material here"));
    QVERIFY(!other.isWindowModified());
}

void TestMaterialEditor::openingInAWindowWithText()
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("a.vmt"));
    const QString second = dir.filePath(QStringLiteral("b.vmt"));
    QVERIFY(writeBytes(first, "\"A\"\n{\n}\n"));
    QVERIFY(writeBytes(second, "\"B\"\n{\n}\n"));

    FakeMainWindow main;
    PromptScript script;
    VVMT window{QString()};
    script.path(first).path(second);
    window.actionOpen->trigger();
    QCOMPARE(script.asked.at(0).kind, CPrompt::Kind::OpenFileName);
    QCOMPARE(script.asked.at(0).title, QStringLiteral("Open VMT"));
    QCOMPARE(script.asked.at(0).filter, QStringLiteral("Valve Material Type (*.vmt)"));
    QCOMPARE(window.path(), first);
    QCOMPARE(window.text(), QStringLiteral("\"A\"\n{\n}\n"));

    // A window that holds a file hands a further one to the main window.
    window.actionOpen->trigger();
    QCOMPARE(window.path(), first);
    QCOMPARE(main.opened, QStringList{second});

    // So does one holding unsaved typing only.
    VVMT typed{QString()};
    typed.editor->setPlainText(QStringLiteral("x"));
    typed.openFile(first);
    QVERIFY(typed.path().isEmpty());
    QCOMPARE(main.opened, (QStringList{second, first}));

    window.actionNew->trigger();
    QCOMPARE(main.opened.last(), QString());
}

void TestMaterialEditor::entryBytesAskForAPathOnFirstSave()
{
    QTemporaryDir dir;
    PromptScript script;
    VVMT window(QByteArray("\"Water\"\n{\n}\n\0junk", 17), QStringLiteral("materials/crate01"));
    QCOMPARE(window.windowTitle(), QStringLiteral("crate01[*]"));
    QCOMPARE(window.text(), QStringLiteral("\"Water\"\n{\n}\n"));
    QVERIFY(!window.isWindowModified());
    QVERIFY(window.path().isEmpty());

    const QString path = dir.filePath(QStringLiteral("crate01.vmt"));
    script.path(path);
    window.actionSave->trigger();
    QCOMPARE(script.asked.at(0).kind, CPrompt::Kind::SaveFileName);
    QCOMPARE(script.asked.at(0).title, QStringLiteral("Save VMT"));
    QCOMPARE(window.path(), path);
    QCOMPARE(window.windowTitle(), QStringLiteral("crate01.vmt[*]"));
    QCOMPARE(readBytes(path), QByteArray("\"Water\"\n{\n}\n"));

    // A cancelled Save As leaves the window without a file.
    window.actionSaveAs->trigger();
    QVERIFY(window.path().isEmpty());
    window.actionSave->trigger();
    QCOMPARE(script.asked.size(), 3);
    QCOMPARE(script.asked.last().kind, CPrompt::Kind::SaveFileName);
}

void TestMaterialEditor::failedSaveKeepsTheWindowModified()
{
    QTemporaryDir dir;
    const QByteArray before("\"UnlitGeneric\"\n{\n}\n");
    const QString path = unwritableScript(dir.path(), before);
    QVERIFY(!path.isEmpty());

    PromptScript script;
    QPointer<VVMT> window = new VVMT(path);
    click(window->shaderList, 1);
    window->actionSave->trigger();
    QCOMPARE(script.asked.size(), 1);
    QCOMPARE(script.asked.at(0).kind, CPrompt::Kind::Warning);
    QVERIFY(!script.asked.at(0).text.isEmpty());
    QVERIFY(window->isWindowModified());
    QCOMPARE(readBytes(path), before);

    // Close, Save: the save fails, so the window stays open and modified.
    script.button(QMessageBox::Save);
    QVERIFY(!window->close());
    QCOMPARE(script.boxes.value(0),
             window->displayName() + QStringLiteral("|The document has been modified.|"
                                                    "Do you want to save your changes?"));
    QVERIFY(window->isWindowModified());

    // Close, Save on a window without a file, the dialog cancelled: stays.
    VVMT unsaved{QString()};
    unsaved.editor->setPlainText(QStringLiteral("x"));
    script.button(QMessageBox::Save).cancel();
    QVERIFY(!unsaved.close());
    QCOMPARE(script.boxes.last().section(QLatin1Char('|'), 0, 0), QStringLiteral("VMT Editor"));

    // Cancel keeps it; Discard closes it.
    script.button(QMessageBox::Cancel).button(QMessageBox::Discard);
    QVERIFY(!window->close());
    QVERIFY(window->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window.isNull());
    QCOMPARE(readBytes(path), before);
    restoreWritable(dir.path());
}

void TestMaterialEditor::failedOpenLeavesNoFile()
{
    QTemporaryDir dir;
    PromptScript script;
    VVMT window(dir.filePath(QStringLiteral("missing.vmt")));
    QCOMPARE(script.asked.size(), 1);
    QCOMPARE(script.asked.at(0).kind, CPrompt::Kind::Warning);
    QCOMPARE(script.asked.at(0).title, QStringLiteral("VMT Editor[*]"));
    QVERIFY(window.path().isEmpty());
    QCOMPARE(window.windowTitle(), QStringLiteral("VMT Editor[*]"));

    // The next file opens in this window.
    const QString path = dir.filePath(QStringLiteral("there.vmt"));
    QVERIFY(writeBytes(path, "\"A\"\n"));
    window.openFile(path);
    QCOMPARE(window.path(), path);
}

void TestMaterialEditor::tabExtent()
{
    QTabWidget empty;
    QCOMPARE(VVMT::tabBarExtent(&empty), QRect(0, 0, -1, -1));
    QVERIFY(!VVMT::tabBarExtent(nullptr).isValid());

    VVMT window{QString()};
    QTabBar *bar = window.tabs->tabBar();
    const QRect extent = VVMT::tabBarExtent(window.tabs);
    QCOMPARE(extent.height(),
             bar->tabRect(0).height() + bar->tabRect(1).height() + bar->tabRect(2).height());
    QCOMPARE(window.splitter->minimumHeight(), extent.height());
}

QTEST_MAIN(TestMaterialEditor)
#include "tst_materialeditor.moc"
