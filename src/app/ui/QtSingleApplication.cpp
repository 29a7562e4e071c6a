#include "QtSingleApplication.h"

#include "QtLocalPeer.h"

#include <QWidget>

QtSingleApplication::QtSingleApplication(const QString &id, int &argc, char **argv)
    : QApplication(argc, argv)
    , m_peer(new QtLocalPeer(id + QLatin1Char('@') +
                                 displayKey(platformName(), qEnvironmentVariable("DISPLAY"),
                                            qEnvironmentVariable("WAYLAND_DISPLAY")),
                             this))
{
    connect(m_peer, &QtLocalPeer::messageReceived, this, &QtSingleApplication::messageReceived);
}

QtSingleApplication::~QtSingleApplication() = default;

QString QtSingleApplication::id() const
{
    return m_peer->applicationId();
}

QString QtSingleApplication::displayKey(const QString &platform, const QString &x11Display,
                                        const QString &waylandDisplay)
{
    if (platform == QLatin1String("xcb")) {
        // ":0", ":0.0" and "unix:0" all name the first local display.
        QString display = x11Display;
        if (display.startsWith(QLatin1String("unix:")))
            display.remove(0, 4);
        const int colon = display.lastIndexOf(QLatin1Char(':'));
        const int dot = display.indexOf(QLatin1Char('.'), colon + 1);
        if (colon >= 0 && dot > colon)
            display.truncate(dot);
        return platform + display;
    }
    if (platform.startsWith(QLatin1String("wayland"))) {
        // The compositor's default socket when none is named.
        return QStringLiteral("wayland:") +
               (waylandDisplay.isEmpty() ? QStringLiteral("wayland-0") : waylandDisplay);
    }
    return platform;
}

bool QtSingleApplication::isRunning()
{
    return m_peer->isClient();
}

bool QtSingleApplication::sendMessage(const QString &message, int timeout)
{
    return m_peer->sendMessage(message, timeout);
}

void QtSingleApplication::setActivationWindow(QWidget *window, bool activateOnMessage)
{
    m_activationWindow = window;
    disconnect(m_peer, &QtLocalPeer::messageReceived, this, &QtSingleApplication::activateWindow);
    if (activateOnMessage)
        connect(m_peer, &QtLocalPeer::messageReceived, this, &QtSingleApplication::activateWindow);
}

QWidget *QtSingleApplication::activationWindow() const
{
    return m_activationWindow;
}

void QtSingleApplication::activateWindow()
{
    if (!m_activationWindow)
        return;
    m_activationWindow->setWindowState(m_activationWindow->windowState() & ~Qt::WindowMinimized);
    m_activationWindow->raise();
    m_activationWindow->activateWindow();
}
