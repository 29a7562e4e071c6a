#include "CPrompt.h"
#include "MainWindowDialogs.h"
#include "MainWindowTools.h"
#include "ScriptedMainWindow.h"

#include <QWidget>
#include <QtTest>

Q_DECLARE_METATYPE(CPrompt::Kind)

namespace {

// A main window whose dialogs all answer "main" and record the parent asked with.
class RecordingMainWindow : public ScriptedMainWindow
{
public:
    QString getOpenFileName(QWidget *p, const QString &, const QString &, const QString &) override
    {
        return answer(p);
    }
    QStringList getOpenFileNames(QWidget *p, const QString &, const QString &,
                                 const QString &) override
    {
        return {answer(p)};
    }
    QString getSaveFileName(QWidget *p, const QString &, const QString &, const QString &) override
    {
        return answer(p);
    }
    QString getExistingDirectory(QWidget *p, const QString &, const QString &) override
    {
        return answer(p);
    }

    QWidget *askedParent = nullptr;

private:
    QString answer(QWidget *parent)
    {
        askedParent = parent;
        return QStringLiteral("main");
    }
};

// A main window with one show-slot, keeping what it was handed.
class ToolMainWindow : public ScriptedMainWindow
{
    Q_OBJECT

public:
    QStringList shown;

public slots:
    void showTool(const QString &path, int page) { shown << path + '#' + QString::number(page); }
};

// Asks the dialog of `kind` and gives the (first) chosen path.
QString ask(CPrompt::Kind kind, QWidget *parent)
{
    const QString caption = QStringLiteral("Caption");
    const QString filter = QStringLiteral("Files (*.x)");
    switch (kind) {
    case CPrompt::Kind::OpenFileName:
        return MainWindowDialogs::openFileName(parent, caption, filter);
    case CPrompt::Kind::OpenFileNames:
        return MainWindowDialogs::openFileNames(parent, caption, filter).value(0);
    case CPrompt::Kind::SaveFileName:
        return MainWindowDialogs::saveFileName(parent, caption, filter);
    default:
        return MainWindowDialogs::existingDirectory(parent, caption);
    }
}

} // namespace

class TestMainWindowDialogs : public QObject
{
    Q_OBJECT

private slots:
    void mainWindowFirstThenPrompt_data();
    void mainWindowFirstThenPrompt();
    void toolOpensOnlyThroughAMatchingSlot();
};

void TestMainWindowDialogs::mainWindowFirstThenPrompt_data()
{
    QTest::addColumn<CPrompt::Kind>("kind");
    QTest::addColumn<QString>("filter");
    QTest::newRow("open") << CPrompt::Kind::OpenFileName << "Files (*.x)";
    QTest::newRow("open several") << CPrompt::Kind::OpenFileNames << "Files (*.x)";
    QTest::newRow("save") << CPrompt::Kind::SaveFileName << "Files (*.x)";
    QTest::newRow("directory") << CPrompt::Kind::ExistingDirectory << QString();
}

void TestMainWindowDialogs::mainWindowFirstThenPrompt()
{
    QFETCH(CPrompt::Kind, kind);
    QFETCH(QString, filter);
    QList<CPrompt::Request> asked;
    CPrompt::ScopedHandler script([&asked](const CPrompt::Request &request) {
        asked << request;
        CPrompt::Answer answer;
        answer.ok = true;
        answer.text = QStringLiteral("/prompt/a.x");
        answer.texts = QStringList{answer.text};
        return answer;
    });
    QWidget parent;

    // Without a main window the prompt seam asks, with the caller's parent.
    QCOMPARE(ask(kind, &parent), QStringLiteral("/prompt/a.x"));
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0].kind, kind);
    QCOMPARE(asked[0].parent, &parent);
    QCOMPARE(asked[0].title, QStringLiteral("Caption"));
    QCOMPARE(asked[0].filter, filter);

    // With one, its shared dialogs answer, with the same parent.
    RecordingMainWindow main;
    QCOMPARE(ask(kind, &parent), QStringLiteral("main"));
    QCOMPARE(main.askedParent, &parent);
    QCOMPARE(asked.size(), 1);
}

void TestMainWindowDialogs::toolOpensOnlyThroughAMatchingSlot()
{
    const QString path = QStringLiteral("/maps/a.bsp");
    const int page = 2;
    // Without a main window nothing takes the document: the caller keeps it.
    QVERIFY(!MainWindowTools::open("showTool", Q_ARG(QString, path), Q_ARG(int, page)));
    ToolMainWindow main;
    QVERIFY(MainWindowTools::open("showTool", Q_ARG(QString, path), Q_ARG(int, page)));
    // A slot the window lacks, or one taking other arguments, opens nothing.
    for (int i = 0; i < 2; ++i)
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("^QMetaObject::invokeMethod: No such"));
    QVERIFY(!MainWindowTools::open("showOther", Q_ARG(QString, path)));
    QVERIFY(!MainWindowTools::open("showTool", Q_ARG(QString, path)));
    QVERIFY(!MainWindowTools::openIn(nullptr, "showTool", Q_ARG(QString, path), Q_ARG(int, page)));
    QVERIFY(MainWindowTools::openIn(&main, "showTool", Q_ARG(QString, path), Q_ARG(int, 3)));
    QCOMPARE(main.shown, (QStringList{"/maps/a.bsp#2", "/maps/a.bsp#3"}));
}

QTEST_MAIN(TestMainWindowDialogs)
#include "tst_mainwindowdialogs.moc"
