#include "MaterialFixture.h"
#include "VVMT.h"
#include "initResources.h"

#include <QAction>
#include <QListWidget>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

namespace {

void click(QListWidget *list, int row)
{
    emit list->clicked(list->model()->index(row, 0));
}

} // namespace

class TestMaterialEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void editKeepsEveryOtherByte_data();
    void editKeepsEveryOtherByte();
    void listClicksGoThroughTheTextRoutines();
    void furtherFilesOpenElsewhere();
    void entryBytesAskForAPath();
    void failedSaveKeepsTheWindowModified();
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
    const QByteArray before = QByteArray("\"UnlitGeneric\"\n{\n\t$basetexture \"caf\xe9\xa0\"\n"
                                         "\t// <b>not bold</b> &amp;\n}\n")
                                  .replace("\n", newline);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wall.vmt"));
    QVERIFY(writeBytes(path, before));

    VVMT window(path);
    QCOMPARE(window.windowTitle(), QStringLiteral("wall.vmt[*]"));
    QVERIFY(window.editor->toPlainText().contains(QStringLiteral("<b>not bold</b> &amp;")));
    click(window.shaderList, 0);
    QVERIFY(window.isWindowModified());
    window.actionSave->trigger();
    QVERIFY(!window.isWindowModified());
    QCOMPARE(readBytes(path), QByteArray(before).replace("UnlitGeneric", "LightmappedGeneric"));
}

void TestMaterialEditor::listClicksGoThroughTheTextRoutines()
{
    VVMT window{QString()};
    QCOMPARE(window.proxyList->item(0)->toolTip(), QStringLiteral("Plays frames"));
    click(window.shaderList, 0);
    QCOMPARE(window.text(), QStringLiteral("\"LightmappedGeneric\"\n{\n}\n"));
    QVERIFY(window.isWindowModified());

    click(window.parameterList, 1);
    click(window.proxyList, 1); // no keys configured: no key lines
    click(window.proxyList, 0); // the empty part of "framevar::rate" is skipped
    QCOMPARE(window.text(),
             QStringLiteral("\"LightmappedGeneric\"\n{\n\t\"$bumpmap\" \"\"\n\n\t\"Proxies\"\n\t{\n"
                            "\t\t\"PlayerColor\"\n\t\t{\n\t\t}\n\n\t\t\"AnimatedTexture\"\n\t\t{\n"
                            "\t\t\t\"framevar\" \"\"\n\t\t\t\"rate\" \"\"\n\t\t}\n\t}\n}\n"));
    // One click is one step to undo.
    window.actionUndo->trigger();
    QVERIFY(!window.text().contains(QStringLiteral("AnimatedTexture")));

    // No place found: nothing changes, not even the mark.
    VVMT other{QString()};
    other.editor->setPlainText(QStringLiteral("no material"));
    other.setWindowModified(false);
    click(other.parameterList, 0);
    QVERIFY(!other.isWindowModified());
}

void TestMaterialEditor::furtherFilesOpenElsewhere()
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.vmt"));
    QVERIFY(writeBytes(a, "\"A\"\n"));
    FakeMainWindow main;
    PromptScript script;

    // A file that cannot be read leaves the window empty, without a path
    // that a later save could write over.
    VVMT window(dir.filePath(QStringLiteral("missing.vmt")));
    QCOMPARE(script.asked.value(0).kind, CPrompt::Kind::Warning);
    QVERIFY(window.path().isEmpty());

    script.files({a}).files({a});
    window.actionOpen->trigger();
    QCOMPARE(script.asked.at(1).title, QStringLiteral("Open VMT"));
    QCOMPARE(script.asked.at(1).filter, QStringLiteral("Valve Material Type (*.vmt)"));
    QCOMPARE(window.text(), QStringLiteral("\"A\"\n"));
    window.actionOpen->trigger();
    QCOMPARE(main.opened, QStringList{a});

    // Unsaved typing counts as holding something too.
    VVMT typed{QString()};
    typed.editor->setPlainText(QStringLiteral("x"));
    typed.openFile(a);
    QVERIFY(typed.path().isEmpty());
    QCOMPARE(main.opened, (QStringList{a, a}));
}

void TestMaterialEditor::entryBytesAskForAPath()
{
    QTemporaryDir dir;
    PromptScript script;
    VVMT window(QByteArray("\"Water\"\n{\n}\n\0junk", 17), QStringLiteral("materials/crate01"));
    QCOMPARE(window.windowTitle(), QStringLiteral("crate01[*]"));
    QCOMPARE(window.text(), QStringLiteral("\"Water\"\n{\n}\n"));

    const QString path = dir.filePath(QStringLiteral("crate01.vmt"));
    script.files({path});
    window.actionSave->trigger();
    QCOMPARE(script.asked.at(0).kind, CPrompt::Kind::SaveFileName);
    QCOMPARE(script.asked.at(0).title, QStringLiteral("Save VMT"));
    QCOMPARE(window.windowTitle(), QStringLiteral("crate01.vmt[*]"));
    QCOMPARE(readBytes(path), QByteArray("\"Water\"\n{\n}\n"));

    // A cancelled Save As leaves the window without a file.
    window.actionSaveAs->trigger();
    window.actionSave->trigger();
    QCOMPARE(script.asked.last().kind, CPrompt::Kind::SaveFileName);
    QCOMPARE(script.asked.size(), 3);
}

void TestMaterialEditor::failedSaveKeepsTheWindowModified()
{
    QTemporaryDir dir;
    const QByteArray before("\"UnlitGeneric\"\n{\n}\n");
    const QString path = unwritableScript(dir.path(), before);
    PromptScript script;
    QPointer<VVMT> window = new VVMT(path);
    click(window->shaderList, 1);
    window->actionSave->trigger();
    QCOMPARE(script.asked.value(0).kind, CPrompt::Kind::Warning);
    QVERIFY(window->isWindowModified());

    // Closing with Save: the save fails, so the window stays.
    script.button(QMessageBox::Save);
    QVERIFY(!window->close());
    QCOMPARE(script.boxes.value(0), window->displayName() +
                                        "|The document has been modified.|Do you want to save "
                                        "your changes?");

    // Closing with Save, the path dialog cancelled: stays too.
    VVMT unsaved{QString()};
    unsaved.editor->setPlainText(QStringLiteral("x"));
    script.button(QMessageBox::Save);
    QVERIFY(!unsaved.close());
    QVERIFY(script.boxes.value(1).startsWith(QStringLiteral("VMT Editor|")));

    script.button(QMessageBox::Cancel).button(QMessageBox::Discard);
    QVERIFY(!window->close());
    QVERIFY(window->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window.isNull());
    QCOMPARE(readBytes(path), before);
    setFolderWritable(dir.path());
}

QTEST_MAIN(TestMaterialEditor)
#include "tst_materialeditor.moc"
