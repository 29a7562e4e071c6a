#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects what goes to the warning channel while it lives (one at a time).
class WarningCapture
{
public:
    WarningCapture()
    {
        s_lines.clear();
        m_previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &, const QString &text) {
                if (type == QtWarningMsg)
                    s_lines << text;
            });
    }
    ~WarningCapture() { qInstallMessageHandler(m_previous); }
    WarningCapture(const WarningCapture &) = delete;
    WarningCapture &operator=(const WarningCapture &) = delete;

    QStringList &lines() { return s_lines; }

private:
    static inline QStringList s_lines;
    QtMessageHandler m_previous;
};
