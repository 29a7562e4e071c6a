#pragma once

#include "CProgressThrottle.h"

#include <QProgressDialog>

// The busy indicator the pakfile editor's row commands run behind. It has no
// cancel button and the work never checks it: dismissing it only disables
// the window until the command ends. Leaving the scope enables the window
// again.
class VPakfileBusyDialog
{
public:
    explicit VPakfileBusyDialog(QWidget *window,
                                const QString &label = QStringLiteral("Processing..."),
                                int maximum = 0);
    ~VPakfileBusyDialog();

    VPakfileBusyDialog(const VPakfileBusyDialog &) = delete;
    VPakfileBusyDialog &operator=(const VPakfileBusyDialog &) = delete;

    QProgressDialog &dialog() { return m_dialog; }
    // One step of the command; the dialog shows only the steps the throttle
    // lets through.
    void setValue(int value);

private:
    QWidget *m_window;
    QProgressDialog m_dialog;
    CProgressThrottle m_throttle;
};
