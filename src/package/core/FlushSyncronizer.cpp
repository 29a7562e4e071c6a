#include "FlushSyncronizer.h"

FlushSyncronizer::FlushSyncronizer(QObject *parent)
    : QObject(parent)
{
    reset();
}

void FlushSyncronizer::setTotal(int count)
{
    if (m_total == count)
        return;
    m_total = count;
    emit totalChanged(count);
}

void FlushSyncronizer::incrementProcessed()
{
    emit itemsProcessedChanged(m_itemsProcessed.fetchAndAddOrdered(1) + 1);
}

void FlushSyncronizer::setProcessed(int count)
{
    if (m_itemsProcessed.loadRelaxed() == count)
        return;
    m_itemsProcessed.storeRelaxed(count);
    emit itemsProcessedChanged(count);
}

void FlushSyncronizer::incrementFailed()
{
    emit itemsFailedChanged(m_itemsFailed.fetchAndAddOrdered(1) + 1);
}

void FlushSyncronizer::setFailed(int count)
{
    if (m_itemsFailed.loadRelaxed() == count)
        return;
    m_itemsFailed.storeRelaxed(count);
    emit itemsFailedChanged(count);
}

void FlushSyncronizer::addMessage(const QString &text, bool isError)
{
    m_messages.append(FlushMessage{text, isError});
    m_messageCount.fetchAndAddOrdered(1);
    const int count = m_messages.size();
    emit newMessage();
    emit newMessageCount(count);
    emit newMessageString(m_messages.last().text);
    if (isError)
        emit newMessageError(count - 1);
}

void FlushSyncronizer::cancel()
{
    m_canceled = true;
    emit flushCanceled();
    emit flushCanceled(true);
}

void FlushSyncronizer::fail()
{
    m_failed = true;
    emit flushFailed();
    emit flushFailed(true);
}

void FlushSyncronizer::finish()
{
    m_finished = true;
    emit flushFinished();
    emit flushFinished(true);
}

void FlushSyncronizer::reset()
{
    setTotal(0);
    setProcessed(0);
    setFailed(0);
    m_messageCount.storeRelaxed(0);
    m_messages.clear();
    m_canceled = false;
    m_failed = false;
    m_finished = false;
}
