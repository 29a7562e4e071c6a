#include "CProgressThrottle.h"

#include <QtTest>

class TestProgressThrottle : public QObject
{
    Q_OBJECT

private slots:
    void shownSteps_data();
    void shownSteps();
    void restartsAndEndsAlwaysShow();
};

void TestProgressThrottle::shownSteps_data()
{
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("msPerStep");
    QTest::addColumn<int>("shown");

    // Values 1..steps. Per percent: the first value, 99 new percents and the
    // end.
    QTest::newRow("200000 items, no time passes") << 200000 << 200000 << 0 << 101;
    QTest::newRow("20000 items, no time passes") << 20000 << 20000 << 0 << 101;
    // Every step is a percent of its own.
    QTest::newRow("50 items") << 50 << 50 << 0 << 50;
    // Steps of 10 ms inside one percent: every third is due (0, 30, 60 ms...).
    QTest::newRow("slow steps within a percent") << 100000000 << 1000 << 10 << 334;
}

void TestProgressThrottle::shownSteps()
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

void TestProgressThrottle::restartsAndEndsAlwaysShow()
{
    CProgressThrottle throttle;
    QVERIFY(throttle.dueAt(0, 1000, 0));
    QVERIFY(!throttle.dueAt(5, 1000, 1));
    QVERIFY(throttle.dueAt(10, 1000, 2)); // 1 %
    // A lower value starts again (a second phase on the same dialog).
    QVERIFY(throttle.dueAt(0, 1000, 3));
    QVERIFY(!throttle.dueAt(1, 1000, 4));
    // So does a new maximum, and the maximum itself, each time it comes.
    QVERIFY(throttle.dueAt(1, 2000, 5));
    QVERIFY(throttle.dueAt(2000, 2000, 6));
    QVERIFY(throttle.dueAt(2000, 2000, 7));
    // A busy bar (no maximum) passes everything.
    QVERIFY(throttle.dueAt(0, 0, 8));
    QVERIFY(throttle.dueAt(0, 0, 9));
}

QTEST_GUILESS_MAIN(TestProgressThrottle)
#include "tst_progressthrottle.moc"
