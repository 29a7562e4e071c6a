#include "CProgressAside.h"

#include "QProgressDialogger.h"

#include <QApplication>
#include <QProgressDialog>
#include <QTimer>

CProgressAside::CProgressAside(const QWidget *keep)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window == keep)
            continue;
        if (qobject_cast<QProgressDialog *>(window)) {
            // Its only timer is the one that shows it; stopping it keeps the
            // dialog's value and cancel state, which reset() would clear.
            for (QTimer *timer :
                 window->findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly))
                timer->stop();
        } else if (!qobject_cast<QProgressDialogger *>(window)) {
            continue;
        }
        if (window->isVisible()) {
            window->hide();
            m_hidden << window;
        }
    }
}

CProgressAside::~CProgressAside()
{
    for (const QPointer<QWidget> &window : m_hidden) {
        if (window)
            window->show();
    }
}

void CProgressAside::end(QProgressDialog &dialog)
{
    // reset() stops the timer but hides only a dialog that closes by itself.
    dialog.reset();
    dialog.hide();
}
