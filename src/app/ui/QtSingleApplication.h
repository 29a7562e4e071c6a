#pragma once

#include <QApplication>
#include <QPointer>
#include <QString>

class QtLocalPeer;
class QWidget;

// The application object of a program that runs once per user: a later start
// can hand text messages to the running one (sendMessage), which receives
// them as messageReceived signals. Built on QApplication, so the first
// instance hosts the widgets.
class QtSingleApplication : public QApplication
{
    Q_OBJECT

public:
    // `argc` must outlive the application object (QApplication keeps a
    // reference to it).
    QtSingleApplication(const QString &id, int &argc, char **argv);
    ~QtSingleApplication() override;

    QString id() const;
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
