#pragma once

#include "QProgressDialogger.h"

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

// A user who takes `waitMs` over each question. `covered` counts the
// questions a progress dialog at work then stands over, or is about to (the
// toolkit's dialog shows itself from its only timer): modal, it would take the
// question's input for good. A finished dialogger waits for Ok like any box.
struct SlowAnswer
{
    int waitMs = 0;
    int covered = 0;

    void wait(const QWidget *running)
    {
        if (waitMs <= 0)
            return;
        QEventLoop loop;
        QTimer::singleShot(waitMs, &loop, &QEventLoop::quit);
        loop.exec();
        for (const QWidget *window : QApplication::topLevelWidgets()) {
            bool pending = false;
            for (const QTimer *timer :
                 window->findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly))
                pending = pending || timer->isActive();
            if (auto *dialogger = qobject_cast<const QProgressDialogger *>(window))
                covered +=
                    window != running && window->isVisible() && !dialogger->buttonOk->isEnabled();
            else if (window != running && window->inherits("QProgressDialog"))
                covered += window->isVisible() || pending;
        }
    }
};
