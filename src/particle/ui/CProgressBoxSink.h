#pragma once

#include "CProgressThrottle.h"
#include "PCFProgressSink.h"

#include <QString>

class QProgressDialog;

// The particle batch run's progress on a standard QProgressDialog: every
// failure is a warning box over it, titled with the given title; other
// messages go to the output pane.
class CProgressBoxSink : public PCFProgressSink
{
public:
    CProgressBoxSink(QProgressDialog *dialog, const QString &title);

    void setLabel(const QString &text) override;
    void setRange(int minimum, int maximum) override;
    void setValue(int value) override;
    void message(const QString &text, bool isError) override;

private:
    QProgressDialog *m_dialog;
    QString m_title;
    CProgressThrottle m_throttle;
};
