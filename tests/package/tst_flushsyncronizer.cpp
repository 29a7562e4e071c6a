#include "FlushSyncronizer.h"

#include <QSignalSpy>
#include <QtTest>

class TestFlushSyncronizer : public QObject
{
    Q_OBJECT

private slots:
    void resetOnFreshObjectIsSilent()
    {
        FlushSyncronizer s;
        QSignalSpy total(&s, &FlushSyncronizer::totalChanged);
        QSignalSpy processed(&s, &FlushSyncronizer::itemsProcessedChanged);
        QSignalSpy failed(&s, &FlushSyncronizer::itemsFailedChanged);
        s.reset();
        QCOMPARE(total.count() + processed.count() + failed.count(), 0);
    }

    void settersSignalOnlyChanges()
    {
        FlushSyncronizer s;
        QSignalSpy total(&s, &FlushSyncronizer::totalChanged);
        s.setTotal(5);
        s.setTotal(5);
        QCOMPARE(total.count(), 1);
        QCOMPARE(total.at(0).at(0).toInt(), 5);

        QSignalSpy processed(&s, &FlushSyncronizer::itemsProcessedChanged);
        s.incrementProcessed();
        s.incrementProcessed();
        s.setProcessed(2);
        s.setProcessed(7);
        QCOMPARE(processed.count(), 3);
        QCOMPARE(processed.at(1).at(0).toInt(), 2);
        QCOMPARE(s.itemsProcessed(), 7);

        QSignalSpy failed(&s, &FlushSyncronizer::itemsFailedChanged);
        s.incrementFailed();
        s.setFailed(1);
        QCOMPARE(failed.count(), 1);

        s.reset();
        QCOMPARE(total.last().at(0).toInt(), 0);
        QCOMPARE(processed.last().at(0).toInt(), 0);
        QCOMPARE(failed.last().at(0).toInt(), 0);
    }

    void messages()
    {
        FlushSyncronizer s;
        QSignalSpy any(&s, &FlushSyncronizer::newMessage);
        QSignalSpy counts(&s, &FlushSyncronizer::newMessageCount);
        QSignalSpy texts(&s, &FlushSyncronizer::newMessageString);
        QSignalSpy errors(&s, &FlushSyncronizer::newMessageError);
        s.addMessage("one", false);
        s.addMessage("two", true);
        s.addMessage("three", false);
        QCOMPARE(any.count(), 3);
        QCOMPARE(counts.count(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(counts.at(i).at(0).toInt(), i + 1);
        QCOMPARE(texts.at(1).at(0).toString(), QString("two"));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toInt(), 1);
        QCOMPARE(s.messageCount(), 3);
        QVERIFY(s.messages().at(1).isError);
        s.reset();
        QCOMPARE(s.messageCount(), 0);
        QVERIFY(s.messages().isEmpty());
    }

    void endingsSignalInOrder()
    {
        FlushSyncronizer s;
        QStringList order;
        connect(&s, qOverload<>(&FlushSyncronizer::flushFailed), [&] { order << "failed()"; });
        connect(&s, qOverload<bool>(&FlushSyncronizer::flushFailed),
                [&](bool v) { order << QStringLiteral("failed(%1)").arg(v); });
        connect(&s, qOverload<>(&FlushSyncronizer::flushFinished), [&] { order << "finished()"; });
        connect(&s, qOverload<bool>(&FlushSyncronizer::flushFinished),
                [&](bool v) { order << QStringLiteral("finished(%1)").arg(v); });
        connect(&s, qOverload<bool>(&FlushSyncronizer::flushCanceled),
                [&](bool v) { order << QStringLiteral("canceled(%1)").arg(v); });
        s.fail();
        s.finish();
        s.cancel();
        QCOMPARE(order, QStringList({"failed()", "failed(1)", "finished()", "finished(1)",
                                     "canceled(1)"}));
        QVERIFY(s.isFailed() && s.isFinished() && s.isCanceled());
        s.reset();
        QVERIFY(!s.isFailed() && !s.isFinished() && !s.isCanceled());
    }
};

QTEST_GUILESS_MAIN(TestFlushSyncronizer)
#include "tst_flushsyncronizer.moc"
