#include "CProgressThrottle.h"
#include "QProgressDialogger.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

namespace {

// Counts posted events, to see whether a call let the event loop run.
class EventCounter : public QObject
{
public:
    int count = 0;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User) {
            ++count;
            return true;
        }
        return QObject::event(e);
    }
};

} // namespace

class TestProgressDialogger : public QObject
{
    Q_OBJECT

private slots:
    void initialState();
    void constructorWithLabelRangeAndLog();
    void takesParentTitleAndIcon();
    void valueStates_data();
    void valueStates();
    void autoCloseAndErrors_data();
    void autoCloseAndErrors();
    void logOpensOnce();
    void emptyFirstLogStillOpens();
    void incrementValue();
    void cancelButton();
    void cancelArrivesDuringSetValue();
    void closeButtonIsNotCancel();
    void manyItemsProcessEventsSeldom();
    void throttleShownSteps_data();
    void throttleShownSteps();
    void throttleRestartsAndEnds();
};

void TestProgressDialogger::initialState()
{
    QProgressDialogger d;
    QVERIFY(!d.isVisible());
    QVERIFY(d.isModal());
    QCOMPARE(d.autoClose, false);
    QCOMPARE(d.keepOpenOnError, true);
    QCOMPARE(d.openLogOnFirstMessage, true);
    QCOMPARE(d.isCanceled, false);
    QCOMPARE(d.hasError, false);
    QCOMPARE(d.label->text(), QStringLiteral("Processing..."));
    QVERIFY(d.extraLabel->text().isEmpty());
    QCOMPARE(d.progressBar->minimum(), 0);
    QCOMPARE(d.progressBar->maximum(), 100);
    QVERIFY(d.logEdit->isHidden());
    QVERIFY(d.logEdit->isReadOnly());
    QVERIFY(d.buttonToggleLog->isHidden());
    QCOMPARE(d.buttonToggleLog->text(), QStringLiteral("More >>"));
    QCOMPARE(d.buttonCancel->text(), QStringLiteral("Cancel"));
    QVERIFY(d.buttonCancel->isEnabled());
    QCOMPARE(d.buttonOk->text(), QStringLiteral("Ok"));
    QVERIFY(!d.buttonOk->isEnabled());
}

void TestProgressDialogger::constructorWithLabelRangeAndLog()
{
    QProgressDialogger d(QStringLiteral("Reading..."), 5, 9, QStringLiteral("<i>first</i>"),
                         nullptr);
    QCOMPARE(d.label->text(), QStringLiteral("Reading..."));
    QCOMPARE(d.progressBar->minimum(), 5);
    QCOMPARE(d.progressBar->maximum(), 9);
    QCOMPARE(d.logEdit->toPlainText(), QStringLiteral("<i>first</i>"));
    QVERIFY(!d.isVisible());

    // Messages are plain text, never markup.
    d.log(QStringLiteral("<b>materials/a.vmt</b> &amp; <br>"));
    QCOMPARE(d.logEdit->toPlainText(),
             QStringLiteral("<i>first</i>\n<b>materials/a.vmt</b> &amp; <br>"));
}

void TestProgressDialogger::takesParentTitleAndIcon()
{
    QWidget parent;
    parent.setWindowTitle(QStringLiteral("Pakfile Lump Editor"));
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    parent.setWindowIcon(QIcon(pixmap));
    QProgressDialogger d(&parent);
    QCOMPARE(d.windowTitle(), QStringLiteral("Pakfile Lump Editor"));
    QVERIFY(!d.windowIcon().isNull());
}

void TestProgressDialogger::valueStates_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("autoClose");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("okEnabled");

    QTest::newRow("below") << 3 << false << true << false;
    QTest::newRow("below, auto-close") << 3 << true << true << false;
    QTest::newRow("maximum") << 10 << false << true << true;
    QTest::newRow("maximum, auto-close") << 10 << true << false << true;
    QTest::newRow("beyond, auto-close") << 11 << true << false << true;
}

void TestProgressDialogger::valueStates()
{
    QFETCH(int, value);
    QFETCH(bool, autoClose);
    QFETCH(bool, visible);
    QFETCH(bool, okEnabled);

    QProgressDialogger d(QString(), 0, 10, QString(), nullptr);
    QSignalSpy canceled(&d, &QProgressDialogger::canceled);
    d.autoClose = autoClose;
    d.setValue(1);
    QVERIFY(d.isVisible());
    d.setValue(value);
    QCOMPARE(d.isVisible(), visible);
    QCOMPARE(d.buttonOk->isEnabled(), okEnabled);
    QCOMPARE(d.buttonCancel->isEnabled(), !okEnabled);
    // Finishing by itself is not the user closing the window.
    QCOMPARE(canceled.count(), 0);
    QCOMPARE(d.isCanceled, false);
}

void TestProgressDialogger::autoCloseAndErrors_data()
{
    QTest::addColumn<bool>("keepOpenOnError");
    QTest::addColumn<bool>("isError");
    QTest::addColumn<bool>("openAtEnd");

    QTest::newRow("error keeps open") << true << true << true;
    QTest::newRow("error, keep-open off") << false << true << false;
    QTest::newRow("plain message") << true << false << false;
}

void TestProgressDialogger::autoCloseAndErrors()
{
    QFETCH(bool, keepOpenOnError);
    QFETCH(bool, isError);
    QFETCH(bool, openAtEnd);

    QProgressDialogger d(QString(), 0, 2, QString(), nullptr);
    d.autoClose = true;
    d.keepOpenOnError = keepOpenOnError;
    d.setValue(1);
    d.log(QStringLiteral("Write Error: a.vmt"), isError);
    QCOMPARE(d.hasError, isError);
    d.setValue(2);
    QCOMPARE(d.isVisible(), openAtEnd);
    QVERIFY(d.buttonOk->isEnabled());
}

void TestProgressDialogger::logOpensOnce()
{
    QProgressDialogger d;
    d.setValue(1);
    d.log(QStringLiteral("one"));
    QVERIFY(!d.logEdit->isHidden());
    QCOMPARE(d.buttonToggleLog->text(), QStringLiteral("Less <<"));
    QCOMPARE(d.openLogOnFirstMessage, false);

    d.toggleLog(); // the user folds it away
    QVERIFY(d.logEdit->isHidden());
    QCOMPARE(d.buttonToggleLog->text(), QStringLiteral("More >>"));
    d.log(QStringLiteral("two"), true);
    QVERIFY(d.logEdit->isHidden());
    QCOMPARE(d.logEdit->toPlainText(), QStringLiteral("one\ntwo"));

    d.toggleLog();
    QVERIFY(!d.logEdit->isHidden());
}

void TestProgressDialogger::emptyFirstLogStillOpens()
{
    QProgressDialogger d;
    d.log(QString());
    QVERIFY(!d.logEdit->isHidden());
    QVERIFY(d.logEdit->toPlainText().isEmpty());
    QCOMPARE(d.hasError, false);

    // Folding works before the dialog is first shown, too.
    d.toggleLog();
    QVERIFY(d.logEdit->isHidden());
    QCOMPARE(d.buttonToggleLog->text(), QStringLiteral("More >>"));
}

void TestProgressDialogger::incrementValue()
{
    // The usual loop: range 0 to n, one increment per item, auto-close.
    QProgressDialogger d(QString(), 0, 2, QString(), nullptr);
    d.autoClose = true;
    EventCounter counter;

    d.incrementValue();
    QCOMPARE(d.progressBar->value(), 1);
    QVERIFY(d.isVisible());
    d.incrementValue();
    QCOMPARE(d.progressBar->value(), 2);
    QVERIFY(d.buttonOk->isEnabled());
    QVERIFY(!d.isVisible());

    QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
    d.incrementValue(); // at the maximum: nothing, not even event processing
    QCOMPARE(d.progressBar->value(), 2);
    QCOMPARE(counter.count, 0);
    d.setValue(2);
    QCOMPARE(counter.count, 1);

    QProgressDialogger offset(QString(), 5, 7, QString(), nullptr);
    offset.incrementValue();
    QCOMPARE(offset.progressBar->value(), 6);
}

void TestProgressDialogger::cancelButton()
{
    QProgressDialogger d(QString(), 0, 10, QString(), nullptr);
    QSignalSpy rejected(&d, &QDialog::rejected);
    d.setValue(1);
    QVERIFY(d.isVisible());
    d.buttonCancel->click();
    QCOMPARE(d.isCanceled, true);
    QVERIFY(!d.isVisible());
    QCOMPARE(rejected.count(), 1);

    d.setValue(2);
    QVERIFY(d.isVisible());
    d.unsetCanceled();
    QCOMPARE(d.isCanceled, false);
}

void TestProgressDialogger::cancelArrivesDuringSetValue()
{
    QProgressDialogger d(QString(), 0, 10, QString(), nullptr);
    d.setValue(1);
    QTimer::singleShot(0, d.buttonCancel, &QPushButton::click);
    QCOMPARE(d.isCanceled, false);
    d.setValue(2);
    QCOMPARE(d.isCanceled, true);
}

void TestProgressDialogger::closeButtonIsNotCancel()
{
    QProgressDialogger d(QString(), 0, 10, QString(), nullptr);
    QSignalSpy canceled(&d, &QProgressDialogger::canceled);
    d.setValue(1);
    QVERIFY(d.close());
    QCOMPARE(canceled.count(), 1);
    QCOMPARE(d.isCanceled, false);
    QVERIFY(!d.isVisible());
    d.setValue(2);
    QVERIFY(d.isVisible());
}

void TestProgressDialogger::manyItemsProcessEventsSeldom()
{
    // The bar follows every value, the events run seldom, the end always.
    constexpr int Items = 100000;
    QProgressDialogger d(QString(), 0, Items, QString(), nullptr);
    d.autoClose = true;
    EventCounter counter;
    int runs = 0; // times setValue let the event loop run
    bool pending = false;
    for (int i = 1; i <= Items; ++i) {
        if (!pending)
            QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
        pending = true;
        d.setValue(i);
        QCOMPARE(d.progressBar->value(), i);
        if (counter.count > 0) {
            counter.count = 0;
            pending = false;
            ++runs;
        }
    }
    QVERIFY2(runs >= 100 && runs < 1000, qPrintable(QString::number(runs)));
    QVERIFY(!pending);
    QVERIFY(d.buttonOk->isEnabled());
    QVERIFY(!d.isVisible());
}

void TestProgressDialogger::throttleShownSteps_data()
{
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("steps"); // values 1..steps
    QTest::addColumn<int>("msPerStep");
    QTest::addColumn<int>("shown");
    // The first value, 99 new percents and the end.
    QTest::newRow("200000 items, no time passes") << 200000 << 200000 << 0 << 101;
    QTest::newRow("50 items") << 50 << 50 << 0 << 50;
    // Within one percent every third step is due (0, 30, 60 ms...).
    QTest::newRow("slow steps within a percent") << 100000000 << 1000 << 10 << 334;
}

void TestProgressDialogger::throttleShownSteps()
{
    QFETCH(int, maximum);
    QFETCH(int, steps);
    QFETCH(int, msPerStep);
    QFETCH(int, shown);
    CProgressThrottle throttle;
    int count = 0;
    for (int step = 0; step < steps; ++step)
        count += throttle.dueAt(step + 1, maximum, qint64(step) * msPerStep) ? 1 : 0;
    QCOMPARE(count, shown);
}

void TestProgressDialogger::throttleRestartsAndEnds()
{
    CProgressThrottle throttle;
    QVERIFY(throttle.dueAt(0, 1000, 0));
    QVERIFY(!throttle.dueAt(5, 1000, 1));
    QVERIFY(throttle.dueAt(10, 1000, 2));
    // A lower value (a second phase), a new maximum and the end always show.
    QVERIFY(throttle.dueAt(0, 1000, 3));
    QVERIFY(!throttle.dueAt(1, 1000, 4));
    QVERIFY(throttle.dueAt(1, 2000, 5));
    QVERIFY(throttle.dueAt(2000, 2000, 6));
    QVERIFY(throttle.dueAt(2000, 2000, 7));
    // A busy bar (no maximum) passes everything.
    QVERIFY(throttle.dueAt(0, 0, 8));
    QVERIFY(throttle.dueAt(0, 0, 9));
}

QTEST_MAIN(TestProgressDialogger)
#include "tst_progressdialogger.moc"
