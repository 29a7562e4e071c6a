#include "CProgressAside.h"

#include "QProgressDialogger.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
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
        } else if (auto *dialogger = qobject_cast<QProgressDialogger *>(window)) {
            // Finished, it shows its outcome and waits for Ok like any box;
            // hiding it would also end its modal loop.
            if (dialogger->buttonOk->isEnabled())
                continue;
        } else {
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
