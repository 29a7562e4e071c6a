// A stand-alone instance for the single-instance race test:
//     singleapp_helper <identifier> <messages to wait for> <message to send>
// The first instance prints "primary" and then "got:<message>" for each
// message it receives; every other one prints "sent:1" or "sent:0".
#include "QtLocalPeer.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4)
        return 2;
    QtLocalPeer peer(arguments.at(1));
    if (!peer.isPrimary()) {
        const bool sent = peer.sendMessage(arguments.at(3), 5000);
        std::printf("sent:%d\n", sent ? 1 : 0);
        return 0;
    }
    std::printf("primary\n");
    std::fflush(stdout);
    const int expected = arguments.at(2).toInt();
    int received = 0;
    QObject::connect(&peer, &QtLocalPeer::messageReceived, [&](const QString &message) {
        std::printf("got:%s\n", message.toUtf8().constData());
        std::fflush(stdout);
        if (++received >= expected)
            application.quit();
    });
    QTimer::singleShot(15000, &application, &QCoreApplication::quit);
    if (expected > 0)
        application.exec();
    return 0;
}
