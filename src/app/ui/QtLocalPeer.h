#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// The instance guard under QtSingleApplication: the first peer of an
// identifier takes a lock file and listens on a local socket; later peers
// hand their messages to it through that socket.
//
// The lock decides who is first, so two starts at the same moment cannot both
// become the first instance; the socket only carries messages. Lock and
// socket live in a folder only the user can enter (the session's runtime
// folder, or a private folder in the temporary folder), and the socket itself
// is restricted to the user, so no other user can talk to the instance.
//
// A message travels as UTF-8, prefixed by its length (32-bit, little-endian);
// the first instance answers one byte once it has taken the message.
class QtLocalPeer : public QObject
{
    Q_OBJECT

public:
    // Messages longer than this are refused unread.
    static constexpr quint32 MaxMessageBytes = 1024 * 1024;

    explicit QtLocalPeer(const QString &applicationId, QObject *parent = nullptr);
    ~QtLocalPeer() override;

    QString applicationId() const { return m_applicationId; }
    // Where the first instance listens; empty when no private folder exists.
    QString serverName() const { return m_serverName; }

    // True when this peer holds the lock (it is the first instance).
    bool isPrimary() const { return m_primary; }
    // True when another instance holds the lock. Becomes false (and this peer
    // primary) when that instance has gone away meanwhile.
    bool isClient();

    // Hands `message` to the first instance and waits up to `timeout` ms for
    // it to take the message. False when this peer is the first instance or
    // no instance took the message in time.
    bool sendMessage(const QString &message, int timeout);

    // The user's private folder for locks and sockets; empty when none can be
    // made safely.
    static QString runtimeDirectory();

signals:
    void messageReceived(const QString &message);

private:
    bool tryBecomePrimary();
    void acceptConnections();
    bool sendOnce(const QByteArray &frame, int timeout);

    QString m_applicationId;
    QString m_serverName;
    QLockFile *m_lock = nullptr;
    QLocalServer *m_server = nullptr;
    bool m_primary = false;
};
