// The main window's unconnected slots, reached by name as the system reaches
// them, with the prompts answered by a script.
#include "CLauncherScript.h"
#include "CPrompt.h"
#include "CRegistryKey.h"
#include "OSTREL.h"

#include <QDir>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QtTest>

class TestLauncherSlots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void boxes_data();
    void boxes();
    void doDummy1();

private:
    QList<CPrompt::Request> invoke(const char *slot, const QString &chosenFile = QString());

    QTemporaryDir m_dir;
    QString m_previousCurrent;
    OSTREL *m_window = nullptr;
};

void TestLauncherSlots::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_previousCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    CRegistryKey::setStoreFile(m_dir.filePath(QStringLiteral("registry.ini")));
    CLauncherScript::setStarter([](const QString &, const QString &) { return false; });
    m_window = OSTREL::instance();
}

void TestLauncherSlots::cleanupTestCase()
{
    // The window lives until the process ends, as in the program.
    CLauncherScript::setStarter(nullptr);
    CRegistryKey::setStoreFile(QString());
    QDir::setCurrent(m_previousCurrent);
}

void TestLauncherSlots::init()
{
    CPrompt::setHandler(nullptr);
}

QList<CPrompt::Request> TestLauncherSlots::invoke(const char *slot, const QString &chosenFile)
{
    QList<CPrompt::Request> requests;
    CPrompt::ScopedHandler script([&](const CPrompt::Request &request) {
        requests << request;
        CPrompt::Answer answer;
        answer.button = QMessageBox::Ok;
        answer.ok = !chosenFile.isEmpty();
        answer.text = chosenFile;
        return answer;
    });
    if (!QMetaObject::invokeMethod(m_window, slot))
        qWarning("no slot %s", slot);
    return requests;
}

void TestLauncherSlots::boxes_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");

    QTest::newRow("Entspy") << QByteArray("showENTSPY") << int(CPrompt::Kind::Warning)
                            << "Unable to start Entspy as a detatched process.";
    QTest::newRow("Pakrat") << QByteArray("showPAKRAT") << int(CPrompt::Kind::Warning)
                            << "Unable to start Pakrat as a detatched process.";
    QTest::newRow("GCFScape") << QByteArray("showGCFSCAPE") << int(CPrompt::Kind::Warning)
                              << "GCFScape doesn't appear to be installed.";
    QTest::newRow("options") << QByteArray("options") << int(CPrompt::Kind::Information)
                             << "Not yet implemented. See zedidavurur.ini.";
    QTest::newRow("TODO") << QByteArray("TODO") << int(CPrompt::Kind::Information)
                          << "Not yet implemented.";
}

void TestLauncherSlots::boxes()
{
    QFETCH(QByteArray, slot);
    QFETCH(int, kind);
    QFETCH(QString, text);

    const QList<CPrompt::Request> requests = invoke(slot.constData());
    QCOMPARE(requests.size(), 1);
    const CPrompt::Request &box = requests.first();
    QCOMPARE(int(box.kind), kind);
    QCOMPARE(box.parent, static_cast<QWidget *>(m_window));
    QCOMPARE(box.title, m_window->windowTitle());
    QCOMPARE(box.text, text);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box.defaultButton, QMessageBox::Ok);
    // A launcher that did not start leaves no script behind.
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*.bat")}, QDir::Files), QStringList());
}

void TestLauncherSlots::doDummy1()
{
    const int windows = m_window->mdiArea()->subWindowList().size();
    // The plain dialog: it neither starts in nor changes the folder the
    // main window's dialogs remember.
    CPrompt::setLastDirectory(QStringLiteral("/remembered"));

    // Cancelled: nothing more.
    QList<CPrompt::Request> requests = invoke("doDummy1");
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.first().kind, CPrompt::Kind::OpenFileName);
    QCOMPARE(requests.first().directory, QString());
    QCOMPARE(requests.first().title, QStringLiteral("Load"));
    QCOMPARE(requests.first().filter, QStringLiteral("Forge Game Data (*.fgd)"));

    // A missing file: the loader's text in an untitled box, no editor.
    requests = invoke("doDummy1", m_dir.filePath(QStringLiteral("missing.fgd")));
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(1).kind, CPrompt::Kind::Information);
    QCOMPARE(requests.at(1).title, QString());
    QCOMPARE(requests.at(1).text, QStringLiteral("Read Error: File does not exist"));
    QCOMPARE(requests.at(1).defaultButton, QMessageBox::NoButton);
    QCOMPARE(m_window->mdiArea()->subWindowList().size(), windows);
    QCOMPARE(CPrompt::lastDirectory(), QStringLiteral("/remembered"));

    // A definition file: the parser asks about the helper it does not know,
    // then the editor opens over the document.
    QFile definitions(m_dir.filePath(QStringLiteral("small.fgd")));
    QVERIFY(definitions.open(QIODevice::WriteOnly));
    definitions.write("@PointClass wirebox(mins, maxs) = box : \"A box.\" []\n");
    definitions.close();
    requests = invoke("doDummy1", definitions.fileName());
    QCOMPARE(requests.size(), 3);
    QCOMPARE(requests.at(1).kind, CPrompt::Kind::Information);
    QCOMPARE(requests.at(1).title, QStringLiteral("Unknown Item"));
    QCOMPARE(requests.at(1).text, QStringLiteral("wirebox"));
    QCOMPARE(requests.at(1).parent, static_cast<QWidget *>(nullptr));
    QCOMPARE(m_window->mdiArea()->subWindowList().size(), windows + 1);
}

QTEST_MAIN(TestLauncherSlots)
#include "tst_launcherslots.moc"
