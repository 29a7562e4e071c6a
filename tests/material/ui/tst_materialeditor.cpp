#include "CSaveFile.h"
#include "MaterialFixture.h"
#include "VVMT.h"
#include "initResources.h"

#include <QAction>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

class TestMaterialEditor : public QObject
{
    Q_OBJECT

    static void click(QListWidget *list, int row)
    {
        emit list->clicked(list->model()->index(row, 0));
    }

private slots:
    void initTestCase()
    {
        initResources();
        useMaterialVocabulary();
    }
    void editKeepsEveryOtherByte();
    void listClicksGoThroughTheTextRoutines();
    void furtherFilesOpenElsewhere();
    void savesOnlyWhenWritten();
    void keepsLineEnds();
};

void TestMaterialEditor::editKeepsEveryOtherByte()
{
    // CR LF line ends, Latin-1 letters, a no-break space, text that looks
    // like markup, and the file's own permissions.
    const QByteArray before("// <b>not bold</b> &amp;\r\n\"UnlitGeneric\"\r\n{\r\n"
                            "\t$basetexture \"caf\xe9\xa0\"\r\n}\r\n");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wall.vmt"));
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(writeFile(path, before) && QFile::setPermissions(path, mode));

    VVMT window(path);
    QVERIFY(window.editor->toPlainText().contains(QStringLiteral("<b>not bold</b> &amp;")));
    click(window.shaderList, 0);
    window.actionSave->trigger();
    QVERIFY(!window.isWindowModified());
    QCOMPARE(readFile(path), QByteArray(before).replace("UnlitGeneric", "LightmappedGeneric"));
    QCOMPARE(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser), mode);
}

void TestMaterialEditor::listClicksGoThroughTheTextRoutines()
{
    VVMT window{QString()};
    click(window.shaderList, 0);
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
}

void TestMaterialEditor::furtherFilesOpenElsewhere()
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.vmt"));
    QVERIFY(writeFile(a, "\"A\"\n"));
    FakeMainWindow main;
    ScriptedPrompt script;

    // A file that cannot be read leaves the window empty, without a path
    // that a later save could write over.
    VVMT window(dir.filePath(QStringLiteral("missing.vmt")));
    QCOMPARE(script.asked.value(0).kind, CPrompt::Kind::Warning);
    QVERIFY(window.path().isEmpty());

    script.files = QStringList{a};
    window.actionOpen->trigger();
    QCOMPARE(window.text(), QStringLiteral("\"A\"\n"));

    // A window with a file, or just with unsaved typing, opens no other.
    window.actionOpen->trigger();
    VVMT typed{QString()};
    typed.editor->setPlainText(QStringLiteral("x"));
    typed.openFile(a);
    QCOMPARE(main.opened, (QStringList{a, a}));
}

void TestMaterialEditor::savesOnlyWhenWritten()
{
    // Text up to the first NUL, titled with the entry's base name; the first
    // save asks for a path.
    QTemporaryDir dir;
    ScriptedPrompt script;
    const QString path = dir.filePath(QStringLiteral("crate01.vmt"));
    script.files = QStringList{path};
    auto *window = new VVMT(QByteArray("\"Water\"\n{\n}\n\0junk", 17), QStringLiteral("a/crate01"));
    QCOMPARE(window->windowTitle(), QStringLiteral("crate01[*]"));
    window->actionSave->trigger();
    QCOMPARE(window->windowTitle(), QStringLiteral("crate01.vmt[*]"));
    QCOMPARE(readFile(path), QByteArray("\"Water\"\n{\n}\n"));

    // A cancelled Save As leaves the window without a file: Save asks again.
    script.files.clear();
    window->actionSaveAs->trigger();
    window->actionSave->trigger();
    QCOMPARE(script.asked.size(), 3);

    // A save that fails keeps the window modified and the old file.
    const UnwritableFile locked(dir.filePath(QStringLiteral("locked")), "old", ".vmt");
    REQUIRE_UNWRITABLE(locked);
    script.files = QStringList{locked.path};
    click(window->shaderList, 1);
    window->actionSaveAs->trigger();
    QCOMPARE(script.warnings, QStringList{CSaveFile::folderMessage(locked.path)});
    QVERIFY(window->isWindowModified());
    // Closing with Save, which fails, or Cancel keeps the window; Discard
    // closes it.
    for (int answer : {QMessageBox::Save, QMessageBox::Cancel, QMessageBox::Discard}) {
        script.result = answer;
        QCOMPARE(window->close(), answer == QMessageBox::Discard);
    }
    QCOMPARE(script.boxes.value(0), QStringLiteral("crate01.vmt|The document has been modified.|Do "
                                                   "you want to save your changes?"));
    QCOMPARE(readFile(locked.path), QByteArray("old"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Written back as read without an edit; after one, with the most common end
// (CR here) throughout, also on a later save.
void TestMaterialEditor::keepsLineEnds()
{
    const QByteArray mixed("\"UnlitGeneric\"\r{\r\n\t$basetexture a\n\t$alpha 1\r}\r");
    const QByteArray edited("\"LightmappedGeneric\"\r{\r\t$basetexture a\r\t$alpha 1\r}\r");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mixed.vmt"));
    QVERIFY(writeFile(path, mixed));
    VVMT window(path);
    window.actionSave->trigger();
    QCOMPARE(readFile(path), mixed);
    click(window.shaderList, 0);
    window.actionSave->trigger();
    QCOMPARE(readFile(path), edited);
    window.actionSave->trigger();
    QCOMPARE(readFile(path), edited);
}

QTEST_MAIN(TestMaterialEditor)
#include "tst_materialeditor.moc"
