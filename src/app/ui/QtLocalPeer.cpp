#include "QtLocalPeer.h"

#include "CSessionDirectory.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
const char AckByte = 'A';
const int HeaderBytes = 4;
// A connection that does not deliver its message in this time is dropped, so
// a stuck client cannot hold a socket forever.
const int ReceiveTimeoutMs = 5000;
const int RetryIntervalMs = 50;

bool isPrivateDirectory(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.isDir() || info.isSymLink())
        return false;
#ifdef Q_OS_UNIX
    if (info.ownerId() != uint(::geteuid()))
        return false;
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    if (info.permissions() & others)
        return false;
#endif
    return true;
}

QByteArray frameFor(const QString &message)
{
    const QByteArray payload = message.toUtf8();
    QByteArray frame;
    QDataStream stream(&frame, QIODevice::WriteOnly);
    stream.setByteOrder(QDataStream::LittleEndian);
    stream << quint32(payload.size());
    frame.append(payload);
    return frame;
}

// Reads one message from a connected client, answers it and hands it on.
class Receiver : public QObject
{
public:
    Receiver(QLocalSocket *socket, QtLocalPeer *peer)
        : QObject(socket)
        , m_socket(socket)
        , m_peer(peer)
    {
        connect(socket, &QLocalSocket::readyRead, this, [this] { readAvailable(); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(ReceiveTimeoutMs, socket, [socket] { socket->abort(); });
        readAvailable();
    }

private:
    void readAvailable()
    {
        if (m_done)
            return;
        m_buffer.append(m_socket->readAll());
        if (m_length < 0 && m_buffer.size() >= HeaderBytes) {
            QDataStream stream(m_buffer.left(HeaderBytes));
            stream.setByteOrder(QDataStream::LittleEndian);
            quint32 length = 0;
            stream >> length;
            if (length > QtLocalPeer::MaxMessageBytes) {
                m_done = true;
                m_socket->abort();
                return;
            }
            m_length = qint64(length);
        }
        if (m_length < 0 || m_buffer.size() - HeaderBytes < m_length)
            return;
        if (m_buffer.size() - HeaderBytes > m_length) {
            // More than one message per connection is not part of the
            // protocol.
            m_done = true;
            m_socket->abort();
            return;
        }
        m_done = true;
        const QString message =
            QString::fromUtf8(m_buffer.constData() + HeaderBytes, int(m_length));
        // Answer first: the sender waits for it, and the receiving slot may
        // run a modal dialog for a long time.
        m_socket->write(&AckByte, 1);
        m_socket->flush();
        m_socket->disconnectFromServer();
        const QPointer<QtLocalPeer> peer = m_peer;
        if (peer)
            emit peer->messageReceived(message);
    }

    QLocalSocket *m_socket;
    QPointer<QtLocalPeer> m_peer;
    QByteArray m_buffer;
    qint64 m_length = -1;
    bool m_done = false;
};
} // namespace

QtLocalPeer::QtLocalPeer(const QString &applicationId, QObject *parent)
    : QObject(parent)
    , m_applicationId(applicationId)
{
    const QString directory = runtimeDirectory();
    if (directory.isEmpty()) {
        qWarning("Single instance: no private runtime folder; running on its own.");
        m_primary = true;
        return;
    }
    // The identifier may hold anything; the file name keeps a short digest.
    const QByteArray digest =
        QCryptographicHash::hash(applicationId.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    m_serverName = directory + QStringLiteral("/ostrel-") + QString::fromLatin1(digest);
    m_lock = new QLockFile(m_serverName + QStringLiteral(".lock"));
    // A running first instance keeps its lock however old it gets; only a lock
    // whose process has gone is taken over.
    m_lock->setStaleLockTime(0);
    tryBecomePrimary();
}

QtLocalPeer::~QtLocalPeer()
{
    if (m_server)
        m_server->close();
    delete m_lock;
}

QString QtLocalPeer::runtimeDirectory()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (isPrivateDirectory(runtime))
        return runtime;
#ifdef Q_OS_UNIX
    const QString temporary = CSessionDirectory::temporaryFolder();
    if (temporary.isEmpty())
        return QString();
    const QString fallback =
        temporary + QStringLiteral("/ostrel-runtime-") + QString::number(::geteuid());
    if (!QFileInfo::exists(fallback) && QDir().mkdir(fallback))
        QFile::setPermissions(fallback, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Someone else may have made it first: then it is not ours to use.
    if (isPrivateDirectory(fallback))
        return fallback;
    return QString();
#else
    return runtime;
#endif
}

bool QtLocalPeer::tryBecomePrimary()
{
    if (m_primary)
        return true;
    if (!m_lock || !m_lock->tryLock(0))
        return false;
    m_primary = true;
    // Holding the lock, any socket left behind belongs to a dead instance.
    QLocalServer::removeServer(m_serverName);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_serverName)) {
        qWarning("Single instance: cannot listen on %s: %s", qPrintable(m_serverName),
                 qPrintable(m_server->errorString()));
        return true;
    }
    connect(m_server, &QLocalServer::newConnection, this, &QtLocalPeer::acceptConnections);
    return true;
}

bool QtLocalPeer::isClient()
{
    return !tryBecomePrimary();
}

void QtLocalPeer::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection())
        new Receiver(socket, this);
}

bool QtLocalPeer::sendMessage(const QString &message, int timeout)
{
    const QByteArray frame = frameFor(message);
    if (quint32(frame.size() - HeaderBytes) > MaxMessageBytes)
        return false;
    QDeadlineTimer deadline(qMax(timeout, 0));
    while (true) {
        if (tryBecomePrimary())
            return false;
        if (sendOnce(frame, int(qMax<qint64>(deadline.remainingTime(), 0))))
            return true;
        if (deadline.hasExpired())
            return false;
        // The first instance holds the lock but may not be listening yet.
        QThread::msleep(RetryIntervalMs);
    }
}

bool QtLocalPeer::sendOnce(const QByteArray &frame, int timeout)
{
    QDeadlineTimer deadline(timeout);
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    if (socket.write(frame) != frame.size())
        return false;
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    }
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    char answer = 0;
    return socket.read(&answer, 1) == 1 && answer == AckByte;
}
