#pragma once

#include "PCFProgressSink.h"

class QProgressDialogger;

// The particle tools' progress on a QProgressDialogger: every message goes to
// its log.
class CDialoggerSink : public PCFProgressSink
{
public:
    explicit CDialoggerSink(QProgressDialogger *dialog);

    void setLabel(const QString &text) override;
    void setRange(int minimum, int maximum) override;
    void setValue(int value) override;
    void message(const QString &text, bool isError) override;

private:
    QProgressDialogger *m_dialog;
};
