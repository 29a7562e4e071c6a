#pragma once

#include <QAtomicInt>
#include <QList>
#include <QObject>
#include <QString>

// One message produced by a flush.
struct FlushMessage
{
    QString text;
    bool isError = false;
};

// Carries the progress of one package flush to whoever watches it: how many
// items it will process, how many it processed or failed, its messages and
// how it ended. The delegate calls the setters while it writes; watchers
// connect to the signals (the overloaded ones through qOverload). Reset it
// between flushes to reuse it.
class FlushSyncronizer : public QObject
{
    Q_OBJECT

public:
    explicit FlushSyncronizer(QObject *parent = nullptr);

    int total() const { return m_total; }
    int itemsProcessed() const { return m_itemsProcessed.loadRelaxed(); }
    int itemsFailed() const { return m_itemsFailed.loadRelaxed(); }
    int messageCount() const { return m_messageCount.loadRelaxed(); }
    const QList<FlushMessage> &messages() const { return m_messages; }
    bool isCanceled() const { return m_canceled; }
    bool isFailed() const { return m_failed; }
    bool isFinished() const { return m_finished; }

    void setTotal(int count);
    void incrementProcessed();
    void setProcessed(int count);
    void incrementFailed();
    void setFailed(int count);
    void addMessage(const QString &text, bool isError);
    void cancel();
    void fail();
    void finish();
    // Counters to 0 (signalling only what changes), messages and flags cleared.
    void reset();

signals:
    void totalChanged(int count);
    void itemsProcessedChanged(int count);
    void itemsFailedChanged(int count);
    void newMessage();
    void newMessageString(const QString &text);
    void newMessageCount(int index);
    void newMessageError(int index);
    void flushCanceled();
    void flushCanceled(bool canceled);
    void flushFailed();
    void flushFailed(bool failed);
    void flushFinished();
    void flushFinished(bool finished);

private:
    int m_total = 0;
    QAtomicInt m_itemsProcessed = 0;
    QAtomicInt m_itemsFailed = 0;
    QAtomicInt m_messageCount = 0;
    QList<FlushMessage> m_messages;
    bool m_canceled = false;
    bool m_failed = false;
    bool m_finished = false;
};
