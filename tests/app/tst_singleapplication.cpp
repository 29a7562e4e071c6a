#include "QtLocalPeer.h"
#include "QtSingleApplication.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <QtTest>

#include <functional>

#include <unistd.h>

namespace {
// Runs `work` on a thread of its own (a second instance must not share the
// first one's event loop) and waits for it while the caller's loop runs.
void runElsewhere(const std::function<void()> &work)
{
    QThread *thread = QThread::create(work);
    thread->start();
    QTRY_VERIFY_WITH_TIMEOUT(thread->isFinished(), 20000);
    delete thread;
}

QString uniqueId(const char *name)
{
    return QStringLiteral("tst-%1-%2")
        .arg(QLatin1String(name))
        .arg(QCoreApplication::applicationPid());
}
} // namespace

class TestSingleApplication : public QObject
{
    Q_OBJECT

private slots:
    void firstPeerTakesTheLock();
    void messagesArriveInOrderAsUtf8();
    void applicationForwardsAndActivates();
    void displaysKeepApart_data();
    void displaysKeepApart();
    void laterPeerTakesOverWhenFirstEnds();
    void leftoversOfACrashAreTakenOver();
    void lockAndSocketArePrivate();
    void oversizedMessageIsDropped();
    void simultaneousStartsHaveOneFirst();
};

void TestSingleApplication::firstPeerTakesTheLock()
{
    QtLocalPeer first(uniqueId("lock"));
    QtLocalPeer second(uniqueId("lock"));
    QtLocalPeer other(uniqueId("other"));
    QVERIFY(first.isPrimary());
    QVERIFY(!first.isClient());
    QVERIFY(!second.isPrimary());
    QVERIFY(second.isClient());
    QVERIFY(other.isPrimary());
    QVERIFY(first.serverName() != other.serverName());
    // The first instance has nobody to send to.
    QVERIFY(!first.sendMessage(QStringLiteral("x"), 100));
}

void TestSingleApplication::messagesArriveInOrderAsUtf8()
{
    const QString id = uniqueId("order");
    QtLocalPeer first(id);
    QStringList received;
    connect(&first, &QtLocalPeer::messageReceived, this,
            [&](const QString &message) { received << message; });
    const QStringList sent{QString(), QStringLiteral("maps/a.bsp"),
                           QString::fromUtf8("Ünïcode ツール.vtf"), QStringLiteral("c d.pcf")};
    QList<bool> results;
    runElsewhere([&] {
        QtLocalPeer second(id);
        for (const QString &message : sent)
            results << second.sendMessage(message, 5000);
    });
    QCOMPARE(results, QList<bool>({true, true, true, true}));
    QTRY_COMPARE(received, sent);
}

void TestSingleApplication::applicationForwardsAndActivates()
{
    auto *application = qobject_cast<QtSingleApplication *>(QCoreApplication::instance());
    QVERIFY(application);
    QVERIFY(!application->isRunning());
    QVERIFY(!application->sendMessage(QStringLiteral("x"), 100));

    QWidget window;
    window.showMinimized();
    application->setActivationWindow(&window, false);
    QCOMPARE(application->activationWindow(), &window);
    QStringList received;
    connect(application, &QtSingleApplication::messageReceived, this,
            [&](const QString &message) { received << message; });
    runElsewhere([&] { QtLocalPeer(application->id()).sendMessage(QStringLiteral("one"), 5000); });
    QTRY_COMPARE(received, QStringList{QStringLiteral("one")});
    QVERIFY(window.isMinimized()); // not raised without activateOnMessage

    application->setActivationWindow(&window, true);
    runElsewhere([&] { QtLocalPeer(application->id()).sendMessage(QStringLiteral("two"), 5000); });
    QTRY_COMPARE(received.size(), 2);
    QTRY_VERIFY(!window.isMinimized());
    application->setActivationWindow(nullptr, false);
}

void TestSingleApplication::displaysKeepApart_data()
{
    // Two starts, each as platform, DISPLAY and WAYLAND_DISPLAY; whether they
    // share one instance.
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::addColumn<bool>("shared");

    QTest::newRow("screen number and unix prefix")
        << QStringList{"xcb", ":0", ""} << QStringList{"xcb", "unix:0.1", ""} << true;
    QTest::newRow("other X display")
        << QStringList{"xcb", ":0", ""} << QStringList{"xcb", ":1", ""} << false;
    QTest::newRow("headless run beside a display")
        << QStringList{"xcb", ":0", ""} << QStringList{"offscreen", ":0", ""} << false;
    QTest::newRow("Wayland sockets") << QStringList{"wayland", "", "wayland-0"}
                                     << QStringList{"wayland", ":0", "wayland-1"} << false;
    QTest::newRow("X and Wayland") << QStringList{"xcb", ":0", "wayland-0"}
                                   << QStringList{"wayland", ":0", "wayland-0"} << false;
}

void TestSingleApplication::displaysKeepApart()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(bool, shared);
    const QString a = QtSingleApplication::displayKey(first.at(0), first.at(1), first.at(2));
    const QString b = QtSingleApplication::displayKey(second.at(0), second.at(1), second.at(2));
    QCOMPARE(a == b, shared);
    // This run's own key is part of the identifier instances meet under.
    auto *application = qobject_cast<QtSingleApplication *>(QCoreApplication::instance());
    QVERIFY(application->id().endsWith(
        QLatin1Char('@') + QtSingleApplication::displayKey(
                               QGuiApplication::platformName(), qEnvironmentVariable("DISPLAY"),
                               qEnvironmentVariable("WAYLAND_DISPLAY"))));
}

void TestSingleApplication::laterPeerTakesOverWhenFirstEnds()
{
    const QString id = uniqueId("takeover");
    auto *first = new QtLocalPeer(id);
    QtLocalPeer second(id);
    QVERIFY(second.isClient());
    delete first;
    // The second start waits in vain for an answer and becomes the first.
    QVERIFY(!second.sendMessage(QString(), 2000));
    QVERIFY(second.isPrimary());

    QStringList received;
    connect(&second, &QtLocalPeer::messageReceived, this,
            [&](const QString &message) { received << message; });
    bool sent = false;
    runElsewhere([&] { sent = QtLocalPeer(id).sendMessage(QStringLiteral("again"), 5000); });
    QVERIFY(sent);
    QTRY_COMPARE(received, QStringList{QStringLiteral("again")});
}

void TestSingleApplication::leftoversOfACrashAreTakenOver()
{
    const QString id = uniqueId("crash");
    QString serverName;
    {
        QtLocalPeer probe(id);
        serverName = probe.serverName();
    }
    QVERIFY(!serverName.isEmpty());
    // A dead process's lock and a socket file nobody listens on.
    QFile lock(serverName + QStringLiteral(".lock"));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write("2147483646\nostrel\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    QFile socket(serverName);
    QVERIFY(socket.open(QIODevice::WriteOnly));
    socket.close();

    QtLocalPeer first(id);
    QVERIFY(first.isPrimary());
    bool sent = false;
    runElsewhere([&] { sent = QtLocalPeer(id).sendMessage(QStringLiteral("x"), 5000); });
    QVERIFY(sent);
}

void TestSingleApplication::lockAndSocketArePrivate()
{
    const QString directory = QtLocalPeer::runtimeDirectory();
    QVERIFY(!directory.isEmpty());
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFileInfo(directory).permissions() & others, QFile::Permissions());
    QtLocalPeer first(uniqueId("private"));
    QVERIFY(first.serverName().startsWith(directory + QLatin1Char('/')));
    QVERIFY(QFileInfo::exists(first.serverName()));
    QCOMPARE(QFileInfo(first.serverName()).permissions() & others, QFile::Permissions());
}

void TestSingleApplication::oversizedMessageIsDropped()
{
    const QString id = uniqueId("oversize");
    QtLocalPeer first(id);
    int received = 0;
    connect(&first, &QtLocalPeer::messageReceived, this, [&] { ++received; });
    bool dropped = false;
    runElsewhere([&] {
        QLocalSocket socket;
        socket.connectToServer(first.serverName());
        if (!socket.waitForConnected(5000))
            return;
        QByteArray header;
        QDataStream stream(&header, QIODevice::WriteOnly);
        stream.setByteOrder(QDataStream::LittleEndian);
        stream << quint32(0xFFFFFFF0u);
        socket.write(header + "abc");
        socket.waitForBytesWritten(5000);
        dropped =
            socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(5000);
    });
    QVERIFY(dropped);
    QCOMPARE(received, 0);
    // The instance still takes well-formed messages.
    bool sent = false;
    runElsewhere([&] { sent = QtLocalPeer(id).sendMessage(QStringLiteral("ok"), 5000); });
    QVERIFY(sent);
    QTRY_COMPARE(received, 1);
}

void TestSingleApplication::simultaneousStartsHaveOneFirst()
{
    const QString id = uniqueId("race");
    const int starts = 5;
    QList<QProcess *> processes;
    for (int i = 0; i < starts; ++i) {
        auto *process = new QProcess(this);
        process->start(QStringLiteral(SINGLEAPP_HELPER),
                       {id, QString::number(starts - 1), QStringLiteral("m%1").arg(i)});
        processes << process;
    }
    int primaries = 0;
    QStringList got;
    for (QProcess *process : qAsConst(processes)) {
        QVERIFY(process->waitForFinished(30000));
        const QStringList lines =
            QString::fromUtf8(process->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        for (const QString &line : lines) {
            if (line == QLatin1String("primary"))
                ++primaries;
            else if (line.startsWith(QLatin1String("got:")))
                got << line.mid(4);
            else
                QCOMPARE(line, QStringLiteral("sent:1"));
        }
        delete process;
    }
    QCOMPARE(primaries, 1);
    QCOMPARE(got.size(), starts - 1);
}

int main(int argc, char *argv[])
{
    // Keep the sockets of this run away from any real instance of the user.
    QTemporaryDir runtime;
    if (!runtime.isValid())
        return 1;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QtSingleApplication application(QStringLiteral("tst-application-%1").arg(qint64(getpid())),
                                    argc, argv);
    TestSingleApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleapplication.moc"
