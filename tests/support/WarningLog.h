#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects the warnings raised while it lives: the lines the program's
// message handler would put in the output pane. One at a time.
class WarningLog
{
public:
    WarningLog()
    {
        lines().clear();
        m_previous = qInstallMessageHandler(&WarningLog::collect);
    }
    ~WarningLog() { qInstallMessageHandler(m_previous); }
    WarningLog(const WarningLog &) = delete;
    WarningLog &operator=(const WarningLog &) = delete;

    static QStringList &lines()
    {
        static QStringList collected;
        return collected;
    }

private:
    static void collect(QtMsgType type, const QMessageLogContext &, const QString &text)
    {
        if (type == QtWarningMsg)
            lines() << text;
    }

    QtMessageHandler m_previous = nullptr;
};
