#pragma once

#include <QByteArray>
#include <QIODevice>

// A device that accepts at most `limit` bytes in total, then refuses writes
// and says so as a full disk does.
class LimitedDevice : public QIODevice
{
public:
    explicit LimitedDevice(qint64 limit)
        : m_limit(limit)
    {
        open(QIODevice::ReadWrite);
    }
    QByteArray m_written;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        const qint64 n = qMin(length, m_limit - qint64(m_written.size()));
        if (n < length)
            setErrorString(QStringLiteral("No space left on device"));
        if (n <= 0)
            return -1;
        m_written.append(data, int(n));
        return n;
    }

private:
    qint64 m_limit;
};
