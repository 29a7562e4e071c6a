#include "MessageHandler.h"

#include "CPrompt.h"
#include "OSTREL.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>
#include <cstdlib>

void writeToStderr(const QString &line)
{
    const QByteArray bytes = line.toLocal8Bit();
    std::fprintf(stderr, "%s\n", bytes.constData());
    std::fflush(stderr);
}

bool onInterfaceThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

namespace {
void fatal(const QString &message)
{
    const QString line = messageLine(QtFatalMsg, message);
    writeToStderr(line);
    OSTREL *window = OSTREL::existingInstance();
    if (window && onInterfaceThread())
        CPrompt::critical(window, window->windowTitle(), line, QMessageBox::Ok,
                          QMessageBox::NoButton);
    std::abort();
}
} // namespace

void installMessageHandler()
{
    qInstallMessageHandler(messageHandler);
}

QString messageLine(QtMsgType type, const QString &message)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("Debug: ") + message;
    case QtWarningMsg:
        return QStringLiteral("Warning: ") + message;
    case QtCriticalMsg:
        return QStringLiteral("Critical: ") + message;
    case QtFatalMsg:
        return QStringLiteral("Fatal: ") + message;
    default:
        return QStringLiteral("Unknown: ") + message;
    }
}

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    Q_UNUSED(context);
    // Writing to the pane can itself raise a message (a warning from the text
    // layout, say); that one goes to stderr rather than back into the pane.
    static thread_local bool handling = false;
    if (type == QtFatalMsg)
        fatal(message);
    if (handling) {
        writeToStderr(messageLine(type, message));
        return;
    }
    handling = true;
    OSTREL::postMessage(messageLine(type, message));
    handling = false;
}
