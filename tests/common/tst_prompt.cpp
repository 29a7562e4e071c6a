#include "CPrompt.h"
#include "QProgressDialogger.h"
#include "SlowAnswer.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// Answers with `answer` and records what was asked.
struct Script
{
    explicit Script(const CPrompt::Answer &reply)
        : guard([this](const CPrompt::Request &request) {
            asked << request;
            return answer;
        })
        , answer(reply)
    {}
    CPrompt::ScopedHandler guard;
    CPrompt::Answer answer;
    QList<CPrompt::Request> asked;
};

CPrompt::Answer accepted(const QString &text = QString())
{
    CPrompt::Answer answer;
    answer.ok = true;
    answer.text = text;
    return answer;
}

} // namespace

class TestPrompt : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void messageBoxes_data();
    void messageBoxes();
    void inputs();
    void rememberedDirectory();
    void saveAddsTheFilterSuffix_data();
    void saveAddsTheFilterSuffix();
    void realSaveDialogAddsTheSuffix();
    void execRunsDialogWiring();
    void scopedHandlerRestores();
    void realMessageBoxIsAnswered();
    void progressDialogsStepAside_data();
    void progressDialogsStepAside();
};

void TestPrompt::init()
{
    CPrompt::setHandler({});
    CPrompt::setLastDirectory(QString());
}

void TestPrompt::messageBoxes_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("question") << int(CPrompt::Kind::Question);
    QTest::newRow("information") << int(CPrompt::Kind::Information);
    QTest::newRow("warning") << int(CPrompt::Kind::Warning);
    QTest::newRow("critical") << int(CPrompt::Kind::Critical);
}

void TestPrompt::messageBoxes()
{
    QFETCH(int, kind);
    CPrompt::Answer reply;
    reply.button = QMessageBox::No;
    Script script(reply);
    QWidget parent;
    const auto buttons = QMessageBox::Yes | QMessageBox::No;
    QMessageBox::StandardButton got = QMessageBox::NoButton;
    switch (CPrompt::Kind(kind)) {
    case CPrompt::Kind::Question:
        got = CPrompt::question(&parent, "Title", "Text", buttons, QMessageBox::Yes);
        break;
    case CPrompt::Kind::Information:
        got = CPrompt::information(&parent, "Title", "Text", buttons, QMessageBox::Yes);
        break;
    case CPrompt::Kind::Warning:
        got = CPrompt::warning(&parent, "Title", "Text", buttons, QMessageBox::Yes);
        break;
    default:
        got = CPrompt::critical(&parent, "Title", "Text", buttons, QMessageBox::Yes);
        break;
    }
    QCOMPARE(got, QMessageBox::No);
    QCOMPARE(script.asked.size(), 1);
    const CPrompt::Request &r = script.asked.first();
    QCOMPARE(int(r.kind), kind);
    QCOMPARE(r.parent, &parent);
    QCOMPARE(r.title, QStringLiteral("Title"));
    QCOMPARE(r.text, QStringLiteral("Text"));
    QCOMPARE(r.buttons, buttons);
    QCOMPARE(r.defaultButton, QMessageBox::Yes);
}

void TestPrompt::inputs()
{
    bool ok = false;
    {
        Script script(accepted("typed"));
        QCOMPARE(CPrompt::getText(nullptr, "System Name", "Enter system name:", QLineEdit::Normal,
                                  "preset", &ok),
                 QStringLiteral("typed"));
        QVERIFY(ok);
        QCOMPARE(script.asked.first().initialText, QStringLiteral("preset"));
        QCOMPARE(script.asked.first().text, QStringLiteral("Enter system name:"));
    }
    {
        Script script{CPrompt::Answer()};
        QVERIFY(CPrompt::getText(nullptr, "T", "L", QLineEdit::Normal, "preset", &ok).isEmpty());
        QVERIFY(!ok);
        QCOMPARE(CPrompt::getItem(nullptr, "T", "L", {"a", "b"}, 1, false, &ok),
                 QStringLiteral("b"));
        QVERIFY(!ok);
        QCOMPARE(CPrompt::getInt(nullptr, "T", "L", 7, 0, 10, 1, &ok), 7);
        QVERIFY(!ok);
    }
    {
        CPrompt::Answer reply = accepted("a");
        reply.value = 99;
        Script script(reply);
        QCOMPARE(CPrompt::getItem(nullptr, "T", "L", {"a", "b"}, 1, false, &ok),
                 QStringLiteral("a"));
        QVERIFY(ok);
        QCOMPARE(script.asked.first().items, QStringList({"a", "b"}));
        QCOMPARE(CPrompt::getInt(nullptr, "T", "L", 7, 0, 10, 1, &ok), 10);
        QVERIFY(ok);
    }
}

void TestPrompt::rememberedDirectory()
{
    Script script(accepted("/games/maps/a.bsp"));
    QCOMPARE(CPrompt::getOpenFileName(nullptr, "Open BSP", QString(), "*.bsp"),
             QStringLiteral("/games/maps/a.bsp"));
    QCOMPARE(script.asked.last().directory, QString());
    QCOMPARE(script.asked.last().filter, QStringLiteral("*.bsp"));
    QCOMPARE(CPrompt::lastDirectory(), QStringLiteral("/games/maps"));

    // An empty directory opens the remembered one; a given one is used as is.
    script.answer = accepted("/other/b.pcf");
    CPrompt::getSaveFileName(nullptr, "Save PCF");
    QCOMPARE(script.asked.last().directory, QStringLiteral("/games/maps"));
    QCOMPARE(CPrompt::lastDirectory(), QStringLiteral("/other"));
    CPrompt::getOpenFileName(nullptr, "Open", "/given");
    QCOMPARE(script.asked.last().directory, QStringLiteral("/given"));

    // A cancel keeps it.
    script.answer = CPrompt::Answer();
    QVERIFY(CPrompt::getOpenFileName().isEmpty());
    QVERIFY(CPrompt::getOpenFileNames().isEmpty());
    QVERIFY(CPrompt::getExistingDirectory().isEmpty());
    QCOMPARE(CPrompt::lastDirectory(), QStringLiteral("/other"));

    script.answer = accepted();
    script.answer.texts = QStringList({"/first/x.pcf", "/second/y.pcf"});
    QCOMPARE(CPrompt::getOpenFileNames().size(), 2);
    QCOMPARE(CPrompt::lastDirectory(), QStringLiteral("/first"));

    // A chosen directory remembers its parent.
    script.answer = accepted("/out/extract");
    QCOMPARE(CPrompt::getExistingDirectory(nullptr, "Select Directory"),
             QStringLiteral("/out/extract"));
    QCOMPARE(script.asked.last().kind, CPrompt::Kind::ExistingDirectory);
    QCOMPARE(CPrompt::lastDirectory(), QStringLiteral("/out"));

    // The root folder is a folder too: "/", not "none".
    script.answer = accepted("/top.bsp");
    CPrompt::getOpenFileName();
    QCOMPARE(CPrompt::lastDirectory(), QStringLiteral("/"));
    script.answer = accepted("/games");
    CPrompt::getExistingDirectory();
    QCOMPARE(CPrompt::lastDirectory(), QStringLiteral("/"));
}

void TestPrompt::saveAddsTheFilterSuffix_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("chosenFilter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");

    const QString pcf = QStringLiteral("Particle Configuration File (*.pcf)");
    const QString maps = QStringLiteral("Valve Map File (*.vmf *.vmx);;Lump File (*.lmp)");
    QTest::newRow("no suffix") << pcf << QString() << "/out/test_edited"
                               << "/out/test_edited.pcf";
    QTest::newRow("own suffix kept") << pcf << QString() << "/out/test.edited"
                                     << "/out/test.edited";
    QTest::newRow("first of several patterns") << maps << QString() << "/out/m"
                                               << "/out/m.vmf";
    QTest::newRow("chosen filter") << maps << "Lump File (*.lmp)"
                                   << "/out/m"
                                   << "/out/m.lmp";
    QTest::newRow("dot in the folder only") << pcf << QString() << "/out.d/x"
                                            << "/out.d/x.pcf";
    QTest::newRow("any file") << "All Files (*)" << QString() << "/out/x"
                              << "/out/x";
}

void TestPrompt::saveAddsTheFilterSuffix()
{
    QFETCH(QString, filter);
    QFETCH(QString, chosenFilter);
    QFETCH(QString, typed);
    QFETCH(QString, saved);

    CPrompt::Answer answer = accepted(typed);
    answer.filter = chosenFilter;
    Script script(answer);
    QCOMPARE(CPrompt::getSaveFileName(nullptr, "Save", QString(), filter), saved);
}

void TestPrompt::realSaveDialogAddsTheSuffix()
{
    // The real dialog adds the suffix itself, so it asks before replacing
    // the file the name with suffix names; a timer types the name and agrees.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile existing(dir.filePath(QStringLiteral("test_edited.pcf")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();
    bool asked = false;
    bool typed = false;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&asked, &typed] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            asked = true;
            box->button(QMessageBox::Yes)->click();
        } else if (auto *dialog = qobject_cast<QFileDialog *>(modal); dialog && !typed) {
            typed = true;
            dialog->selectFile(QStringLiteral("test_edited"));
            // Queued: the question runs a loop of its own, in which this
            // timer must fire again to answer it.
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        }
    });
    timer.start(10);
    QCOMPARE(CPrompt::getSaveFileName(nullptr, "Save PCF", dir.path(),
                                      "Particle Configuration File (*.pcf)"),
             existing.fileName());
    QVERIFY(asked);
}

void TestPrompt::execRunsDialogWiring()
{
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Find System"));
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QSignalSpy rejected(&dialog, &QDialog::rejected);

    CPrompt::Answer reply;
    reply.result = QDialog::Accepted;
    Script script(reply);
    QCOMPARE(CPrompt::exec(&dialog), int(QDialog::Accepted));
    QCOMPARE(script.asked.first().dialog, &dialog);
    QCOMPARE(script.asked.first().title, QStringLiteral("Find System"));
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    script.answer.result = QDialog::Rejected;
    QCOMPARE(CPrompt::exec(&dialog), int(QDialog::Rejected));
    QCOMPARE(rejected.count(), 1);
    QCOMPARE(CPrompt::exec(nullptr), int(QDialog::Rejected));
}

void TestPrompt::scopedHandlerRestores()
{
    QVERIFY(!CPrompt::hasHandler());
    {
        CPrompt::ScopedHandler outer([](const CPrompt::Request &) {
            CPrompt::Answer a;
            a.button = QMessageBox::Yes;
            return a;
        });
        {
            CPrompt::ScopedHandler inner([](const CPrompt::Request &) {
                CPrompt::Answer a;
                a.button = QMessageBox::No;
                return a;
            });
            QCOMPARE(CPrompt::question(nullptr, "T", "Q"), QMessageBox::No);
        }
        QCOMPARE(CPrompt::question(nullptr, "T", "Q"), QMessageBox::Yes);
    }
    QVERIFY(!CPrompt::hasHandler());
}

void TestPrompt::realMessageBoxIsAnswered()
{
    // Without a handler the real box is shown; a timer answers it.
    QTimer timer;
    connect(&timer, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(QMessageBox::No)->click();
    });
    timer.start(10);
    QCOMPARE(CPrompt::question(nullptr, "OSTREL", "Continue?"), QMessageBox::No);
}

void TestPrompt::progressDialogsStepAside_data()
{
    QTest::addColumn<QString>("ask");
    for (const char *ask : {"question", "text", "save", "exec", "real box"})
        QTest::newRow(ask) << QString::fromLatin1(ask);
}

void TestPrompt::progressDialogsStepAside()
{
    QFETCH(QString, ask);
    QWidget window;
    window.show();
    // One waiting for its timer, one shown, the project's own at work and
    // finished (a box of its own, left as it is).
    QProgressDialog pending(QStringLiteral("Pending"), QString(), 0, 10, &window);
    pending.setMinimumDuration(50);
    QProgressDialog shown(QStringLiteral("Shown"), QString(), 0, 10, &window);
    shown.show();
    QProgressDialogger working(QStringLiteral("Working"), 0, 10, QString(), &window);
    working.setValue(3);
    QProgressDialogger finished(QStringLiteral("Done"), 0, 1, QString(), &window);
    finished.setValue(1);
    finished.show();

    SlowAnswer slow;
    slow.waitMs = 300;
    if (ask == QLatin1String("real box")) {
        QTimer::singleShot(0, [&] {
            slow.wait(nullptr);
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                box->button(QMessageBox::Ok)->click();
        });
        CPrompt::information(&window, "T", "Done");
    } else {
        CPrompt::ScopedHandler handler([&](const CPrompt::Request &request) {
            slow.wait(request.dialog);
            return CPrompt::Answer();
        });
        if (ask == QLatin1String("question"))
            CPrompt::question(&window, "T", "Q?");
        else if (ask == QLatin1String("text"))
            CPrompt::getText(&window, "T", "Name:");
        else if (ask == QLatin1String("save"))
            CPrompt::getSaveFileName(&window, "T", QString(), "All (*)");
        else
            CPrompt::exec(&working); // the dialog run is never stepped aside
    }
    QCOMPARE(slow.covered, 0);
    // Shown again for the work after the answer; the pending one only when
    // that work says so.
    QVERIFY(shown.isVisible() && finished.isVisible());
    QCOMPARE(working.isVisible(), ask != QLatin1String("exec"));
    QVERIFY(!pending.isVisible());
    pending.setValue(5);
    QVERIFY(pending.isVisible());
}

QTEST_MAIN(TestPrompt)
#include "tst_prompt.moc"
