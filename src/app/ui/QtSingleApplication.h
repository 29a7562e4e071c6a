#pragma once

#include <QApplication>
#include <QPointer>
#include <QString>

class QtLocalPeer;
class QWidget;

// The application object of a program that runs once per user and display: a
// later start can hand text messages to the running one (sendMessage), which
// receives them as messageReceived signals. Built on QApplication, so the
// first instance hosts the widgets. A start on another display, or one with
// another platform (a headless run), has an instance of its own, so nobody
// hands files to a window they cannot see.
class QtSingleApplication : public QApplication
{
    Q_OBJECT

public:
    // `argc` must outlive the application object (QApplication keeps a
    // reference to it).
    QtSingleApplication(const QString &id, int &argc, char **argv);
    ~QtSingleApplication() override;

    // The identifier the instances meet under: the one given, "@" and the
    // display key.
    QString id() const;

    // What tells displays apart: for X11 the platform and the display
    // without its screen number ("xcb:0" for ":0.0"), for Wayland its socket
    // name, otherwise the platform alone ("offscreen").
    static QString displayKey(const QString &platform, const QString &x11Display,
                              const QString &waylandDisplay);
    // True while another instance of the identifier runs.
    bool isRunning();

    // Hands `message` to the running instance; true when it took the message
    // within `timeout` ms. False when this is the running instance.
    bool sendMessage(const QString &message, int timeout = 5000);

    // The window brought forward by activateWindow(); with
    // `activateOnMessage` every received message brings it forward.
    void setActivationWindow(QWidget *window, bool activateOnMessage = true);
    QWidget *activationWindow() const;

public slots:
    // Restores, raises and activates the activation window.
    void activateWindow();

signals:
    void messageReceived(const QString &message);

private:
    QtLocalPeer *m_peer = nullptr;
    QPointer<QWidget> m_activationWindow;
};
