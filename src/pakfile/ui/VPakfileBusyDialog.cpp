#include "VPakfileBusyDialog.h"

#include "uifunctions.h"

VPakfileBusyDialog::VPakfileBusyDialog(QWidget *window, const QString &label, int maximum)
    : m_window(window)
    , m_dialog(label, QStringLiteral("Abort"), 0, maximum, window)
{
    m_dialog.setCancelButton(nullptr);
    m_dialog.setMinimumDuration(500);
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumWidth(400);
    m_dialog.setWindowTitle(window->windowTitle());
    const auto disable = [window] { window->setDisabled(true); };
    QObject::connect(&m_dialog, &QDialog::rejected, window, disable);
    QObject::connect(&m_dialog, &QProgressDialog::canceled, window, disable);
    centerWidget(&m_dialog, window);
    m_dialog.show();
}

VPakfileBusyDialog::~VPakfileBusyDialog()
{
    m_window->setEnabled(true);
}

void VPakfileBusyDialog::setValue(int value)
{
    if (m_throttle.due(value, m_dialog.maximum()))
        m_dialog.setValue(value);
}
